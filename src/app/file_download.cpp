#include "app/file_download.h"

#include "base/encoding.h"
#include "base/file_names.h"
#include "base/file_routines.h"
#include "base/message_seam.h"
#include "base/variant.h"

namespace mero::app {
namespace {

using namespace base::literals;

constexpr int kFileCount = 2000;
constexpr int kFileFetch = 2001;
constexpr int kReplyItems = 3;

// Done is reported however the loop ends, the file error included.
class ProgressScope {
 public:
  ProgressScope(DownloadProgress* progress, int count) : progress_(progress) {
    if (progress_ != nullptr) progress_->Start(count);
  }
  ~ProgressScope() {
    if (progress_ != nullptr) progress_->Done();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  DownloadProgress* progress_;
};

}  // namespace

const std::string& RefusedNameMessage() {
  static const std::string text = "Το αρχείο δεν αποθηκεύτηκε, το όνομά του δεν είναι αποδεκτό: "_gr;
  return text;
}

void DownLoadRecentFiles1Click(link::TLinkClientSocket& socket, DownloadProgress* progress) {
  const std::optional<link::TLinkParamList> reply = socket.RequestParamList(kFileCount, link::TLinkParamList());
  if (!reply || reply->Count() == 0) {
    base::ShowMess("No Files!");
    return;
  }
  const int count = reply->ItemAt(0).ValueInt();
  if (count == 0) {
    base::ShowMess("File Count=0!");
    return;
  }
  ProgressScope scope(progress, count);
  for (int i = 0; i < count; ++i) DownloadFile(socket, i, progress);
}

DownloadResult DownloadFile(link::TLinkClientSocket& socket, int index, DownloadProgress* progress) {
  link::TLinkParamList asked;
  asked.AddValue(base::Variant::Integer(index));
  const std::optional<link::TLinkParamList> reply = socket.RequestParamList(kFileFetch, asked);
  if (!reply) return DownloadResult::NoFile;
  if (progress != nullptr) progress->File(index, reply->Count() > 1 ? reply->ItemAt(1).ValueText() : std::string());
  return WriteDownloadedFile(*reply);
}

DownloadResult WriteDownloadedFile(const link::TLinkParamList& reply) {
  // A reply short of a name or a time is no file to write, and no reason
  // to give up the ones after it.
  if (reply.Count() < kReplyItems) return DownloadResult::NoFile;
  const std::string name = reply.ItemAt(1).ValueText();
  if (!base::IsPlainRelativeName(name)) {
    base::ShowMess(RefusedNameMessage() + name);
    return DownloadResult::RefusedName;
  }
  const std::time_t modified = base::FileTimeOf(reply.ItemAt(2).ValueFloat());
  // The file system names files in UTF-8; the link carries the system's text.
  base::ReplaceFile(base::Win1253ToUtf8(name), reply.ItemAt(0).RawValue(), modified, name);
  return DownloadResult::Written;
}

}  // namespace mero::app
