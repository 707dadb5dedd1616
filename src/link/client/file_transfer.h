#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "link/codec/param_list.h"

namespace mero::link {

// What one file piece did.
struct FilePiece {
  std::string name;
  std::int64_t pieceSize = 0;
  std::int64_t fileSize = 0;  // "FileSize" as the server announced it
  std::int64_t written = 0;   // bytes written to the file so far
  bool finished = false;
};

// Files the server sends piece by piece (parameter-list message -75008): one
// open output file per local file name until its last piece.
class TLinkFileTransfer {
 public:
  // Appends the piece's "Data" to the file "LocalFileName" (creating the
  // missing folders and the file with its first piece) and closes it when
  // "Finished" is "True" in any case. The name must be a plain relative one
  // (base::IsPlainRelativeName). A file that cannot be written, or a name
  // refused, raises base::Exception "Cannot write file <name>: <reason>"; the
  // transfer of that name stays open.
  FilePiece Write(const TLinkParamList& piece);
  // Files with a transfer in progress.
  std::size_t OpenCount() const { return files_.size(); }
  bool IsOpen(const std::string& name) const { return files_.count(name) != 0; }

 private:
  struct OpenFile {
    std::ofstream out;
    std::int64_t written = 0;
  };
  std::map<std::string, std::unique_ptr<OpenFile>> files_;
};

}  // namespace mero::link
