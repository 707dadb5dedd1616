#include "base/file_names.h"

namespace mero::base {

bool IsPlainRelativeName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\' || c == ':') return false;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = name.find('/', start);
    const std::string_view part = name.substr(start, slash == std::string_view::npos ? slash : slash - start);
    // An empty first part is a leading '/', an empty last one a trailing '/'.
    if (part.empty() || part == "." || part == "..") return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

}  // namespace mero::base
