#pragma once

// What the fuzz targets share: a reader that splits one input into the
// choices and pieces a target needs, and a check that stops the run with a
// message when a decoder breaks a promise of its own (libFuzzer then keeps
// the input as a crash file).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace mero::fuzz {

// Takes bytes from the front of the input; past the end every read gives 0
// or an empty piece, so a short input is still a valid one.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return b;
  }
  std::int32_t Int32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  // The next n bytes, or fewer at the end.
  std::string_view Take(std::size_t n) {
    const std::string_view piece = bytes_.substr(0, n);
    bytes_.remove_prefix(piece.size());
    return piece;
  }
  // Up to the next separator byte (dropped), or the rest.
  std::string_view Until(char separator) {
    const std::size_t at = bytes_.find(separator);
    if (at == std::string_view::npos) return Rest();
    const std::string_view piece = bytes_.substr(0, at);
    bytes_.remove_prefix(at + 1);
    return piece;
  }
  std::string_view Rest() {
    const std::string_view piece = bytes_;
    bytes_ = {};
    return piece;
  }
  bool Empty() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

// Where a target keeps its files: in memory where the system offers it,
// since they are written on every run.
inline std::filesystem::path ScratchRoot() {
  return std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path();
}

// A file of this process that each run writes its input to; removed at exit,
// with the ".new" file a save writes beside it.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& extension)
      : path_((ScratchRoot() / ("mero-fuzz-" + std::to_string(::getpid()) + extension)).string()) {}
  ~ScratchFile() {
    std::remove(path_.c_str());
    std::remove((path_ + ".new").c_str());
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }
  void Write(const std::uint8_t* data, std::size_t size) const {
    if (std::FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
  }

 private:
  std::string path_;
};

[[noreturn]] inline void Broken(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
  std::abort();
}

}  // namespace mero::fuzz

// A promise of the code under test; a false one is a finding.
#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::mero::fuzz::Broken(__FILE__, __LINE__, #condition))
