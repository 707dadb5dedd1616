#include "link/client/file_transfer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/file_names.h"
#include "base/file_routines.h"
#include "base/number_format.h"
#include "base/text_routines.h"

namespace mero::link {
FilePiece TLinkFileTransfer::Write(const TLinkParamList& piece) {
  FilePiece out;
  out.name = piece.GetByName("LocalFileName").ValueText();
  const std::string& data = piece.GetByName("Data").RawValue();
  std::int64_t fileSize = 0;
  if (const TLinkParamItem* size = piece.FindByName("FileSize")) base::TryStrToInt64(size->ValueText(), fileSize);
  const TLinkParamItem* finished = piece.FindByName("Finished");
  out.finished = finished != nullptr && base::UpperStr(base::StrTrim(finished->ValueText())) == "TRUE";
  out.fileSize = fileSize;
  out.pieceSize = static_cast<std::int64_t>(data.size());
  if (out.name.empty()) base::RaiseCannotWrite(out.name, "no file name");
  // The server names the file; it may not reach outside the current directory.
  if (!base::IsPlainRelativeName(out.name)) base::RaiseCannotWrite(out.name, "not a plain relative file name");

  auto it = files_.find(out.name);
  if (it == files_.end()) {
    const std::filesystem::path path(out.name);
    if (path.has_parent_path()) {
      std::error_code ec;
      std::filesystem::create_directories(path.parent_path(), ec);
      if (ec) base::RaiseCannotWrite(out.name, ec.message());
    }
    auto file = std::make_unique<OpenFile>();
    file->out.open(path, std::ios::binary | std::ios::trunc);
    if (!file->out) base::RaiseCannotWrite(out.name, std::strerror(errno));
    it = files_.emplace(out.name, std::move(file)).first;
  }
  OpenFile& file = *it->second;
  file.out.write(data.data(), static_cast<std::streamsize>(data.size()));
  file.out.flush();
  if (!file.out) {
    file.out.clear();
    base::RaiseCannotWrite(out.name, std::strerror(errno));
  }
  file.written += out.pieceSize;
  out.written = file.written;
  if (out.finished) {
    file.out.close();
    files_.erase(it);
  }
  return out;
}

}  // namespace mero::link
