#pragma once

#include <string>

#include "link/client/client_socket.h"
#include "link/codec/param_list.h"

namespace mero::app {

// What the download of the updated files tells whoever shows its progress.
class DownloadProgress {
 public:
  virtual ~DownloadProgress() = default;
  // The download of count files begins.
  virtual void Start(int count) = 0;
  // File index (from 0) has arrived and is being written; the name is empty
  // when the reply named none.
  virtual void File(int index, const std::string& name) = 0;
  // The download has ended, finished or not.
  virtual void Done() = 0;
};

// The message of a file skipped for its name (the name follows it).
const std::string& RefusedNameMessage();

// "Ενημέρωση Νέων Φορμών": fetches every file the server offers (request
// 2000 for the count, 2001 for each file) into the current directory.
// "No Files!" and "File Count=0!" when there is nothing to fetch. A file that
// cannot be written ends the download with the file error; the files before
// it stay.
void DownLoadRecentFiles1Click(link::TLinkClientSocket& socket, DownloadProgress* progress = nullptr);

// What became of one file.
enum class DownloadResult {
  Written,
  NoFile,       // no reply, or one with fewer than three parameters
  RefusedName,  // the name is not a plain relative one; shown to the user
};

// Fetches the file at the index and writes it (WriteDownloadedFile).
DownloadResult DownloadFile(link::TLinkClientSocket& socket, int index, DownloadProgress* progress = nullptr);

// Writes the file of a reply to request 2001: parameter 0 the content,
// 1 the name, 2 the modification time (local date-time, 0 when null). The
// name resolves against the current directory; a name that is not plain
// relative is shown with RefusedNameMessage and nothing is written. The file
// is replaced whole or not at all; a failure raises the file error.
DownloadResult WriteDownloadedFile(const link::TLinkParamList& reply);

}  // namespace mero::app
