#include "base/encoding.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace mero::base {
namespace {

// One iconv descriptor per direction and thread: opening one costs far more
// than converting a short text.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input; an input sequence the target cannot hold (or an
  // invalid one) becomes one '?' and conversion goes on after it.
  std::string Convert(std::string_view in, std::size_t badInputStep) {
    std::string out;
    out.resize(in.size() * 4 + 8);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
      if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        const std::size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
        continue;
      }
      // EILSEQ or EINVAL: skip the offending sequence and mark it.
      std::size_t step = badInputStep == 0 ? Utf8SequenceLength(src, srcLeft) : badInputStep;
      step = std::min(step, srcLeft);
      src += step;
      srcLeft -= step;
      if (dstLeft == 0) {
        const std::size_t used = out.size();
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
      }
      *dst++ = '?';
      --dstLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  // Length of the (possibly broken) UTF-8 sequence at p: the lead byte and
  // the continuation bytes that follow it, as far as the lead announces.
  static std::size_t Utf8SequenceLength(const char* p, std::size_t left) {
    const auto lead = static_cast<unsigned char>(p[0]);
    std::size_t want = 1;
    if (lead >= 0xC0 && lead < 0xE0) want = 2;
    else if (lead >= 0xE0 && lead < 0xF0) want = 3;
    else if (lead >= 0xF0 && lead < 0xF8) want = 4;
    std::size_t n = 1;
    while (n < want && n < left && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80) ++n;
    return n;
  }

  iconv_t cd_;
};

Converter& FromUtf8() {
  thread_local Converter c("WINDOWS-1253", "UTF-8");
  return c;
}
Converter& ToUtf8() {
  thread_local Converter c("UTF-8", "WINDOWS-1253");
  return c;
}
Converter& ToCp737() {
  thread_local Converter c("CP737", "WINDOWS-1253");
  return c;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string Utf8ToWin1253(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return FromUtf8().Convert(utf8, 0);
}

std::string Win1253ToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return ToUtf8().Convert(text, 1);
}

std::string Win1253ToCp737(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return ToCp737().Convert(text, 1);
}

}  // namespace mero::base
