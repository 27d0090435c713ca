// Code page 936 <-> UTF-16LE / UTF-8 over iconv, with replacement instead of failure.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/codepage.h"

namespace platform {
namespace {

constexpr size_t kPieceBytes = 1024;

enum class Encoding { kCp936, kUtf16, kUtf8 };

const char* IconvName(Encoding e) {
  switch (e) {
    case Encoding::kCp936:
      return "CP936";
    case Encoding::kUtf16:
      return "UTF-16LE";
    case Encoding::kUtf8:
      return "UTF-8";
  }
  return "";
}

class Converter {
 public:
  Converter(Encoding to, Encoding from)
      : to_(to), from_(from), cd_(iconv_open(IconvName(to), IconvName(from))) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // All of in converted; what the source cannot express becomes a substitute.
  std::string Convert(std::string_view in) {
    std::string out(in.size() * (to_ == Encoding::kCp936 ? 1 : 3) + 8, '\0');
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      // Small pieces: after a bad character glibc converts the piece again up to it.
      size_t pieceLeft = std::min(srcLeft, kPieceBytes);
      const size_t pieceSize = pieceLeft;
      const size_t rc = iconv(cd_, &src, &pieceLeft, &dst, &dstLeft);
      srcLeft -= pieceSize - pieceLeft;
      used = out.size() - dstLeft;
      if (rc != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      if (errno == EINVAL && srcLeft > pieceLeft) continue;  // a character cut by the piece
      const size_t skip = std::min(srcLeft, BadSequenceLength(src, srcLeft));
      out.replace(used, Substitute().size(), Substitute());
      used += Substitute().size();
      if (out.size() - used < 8) out.resize(out.size() * 2);
      src += skip;
      srcLeft -= skip;
    }
    out.resize(used);
    return out;
  }

 private:
  // U+FFFD going to Unicode; code page 936's default character "?" coming back.
  std::string_view Substitute() const {
    switch (to_) {
      case Encoding::kUtf16:
        return {"\xFD\xFF", 2};
      case Encoding::kUtf8:
        return "\xEF\xBF\xBD";
      case Encoding::kCp936:
        break;
    }
    return "?";
  }

  // How much input one substitute stands for.
  size_t BadSequenceLength(const char* src, size_t left) const {
    const auto lead = static_cast<unsigned char>(src[0]);
    if (from_ == Encoding::kCp936) return 1;  // keep an ASCII byte after a bad lead byte
    if (from_ == Encoding::kUtf16) {
      const bool highSurrogate = left >= 4 && (static_cast<unsigned char>(src[1]) & 0xFC) == 0xD8 &&
                                 (static_cast<unsigned char>(src[3]) & 0xFC) == 0xDC;
      return highSurrogate ? 4 : 2;
    }
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (size_t i = 1; i < length; ++i) {
      if (i >= left || (static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) return i;
    }
    return length;
  }

  Encoding to_;
  Encoding from_;
  iconv_t cd_;
};

Converter& ConverterFor(Encoding to, Encoding from) {
  thread_local Converter cp936ToUtf16(Encoding::kUtf16, Encoding::kCp936);
  thread_local Converter cp936ToUtf8(Encoding::kUtf8, Encoding::kCp936);
  thread_local Converter utf16ToCp936(Encoding::kCp936, Encoding::kUtf16);
  thread_local Converter utf8ToCp936(Encoding::kCp936, Encoding::kUtf8);
  if (to == Encoding::kCp936) return from == Encoding::kUtf8 ? utf8ToCp936 : utf16ToCp936;
  return to == Encoding::kUtf8 ? cp936ToUtf8 : cp936ToUtf16;
}

size_t LengthOf(const char* src, int srcLength) {
  return srcLength < 0 ? std::char_traits<char>::length(src) + 1 : static_cast<size_t>(srcLength);
}

size_t LengthOf(const char16_t* src, int srcLength) {
  return srcLength < 0 ? std::char_traits<char16_t>::length(src) + 1
                       : static_cast<size_t>(srcLength);
}

}  // namespace

int MultiByteToWideChar(unsigned, unsigned, const char* src, int srcLength, char16_t* dst,
                        int dstChars) {
  if (src == nullptr || srcLength == 0) return 0;
  const std::string wide =
      ConverterFor(Encoding::kUtf16, Encoding::kCp936).Convert({src, LengthOf(src, srcLength)});
  const int needed = static_cast<int>(wide.size() / 2);
  if (dst == nullptr || dstChars <= 0) return needed;
  const int written = std::min(needed, dstChars);
  std::char_traits<char>::copy(reinterpret_cast<char*>(dst), wide.data(),
                               static_cast<size_t>(written) * 2);
  return written;
}

int WideCharToMultiByte(unsigned, unsigned, const char16_t* src, int srcLength, char* dst,
                        int dstBytes) {
  if (src == nullptr || srcLength == 0) return 0;
  const std::string narrow =
      ConverterFor(Encoding::kCp936, Encoding::kUtf16)
          .Convert({reinterpret_cast<const char*>(src), LengthOf(src, srcLength) * 2});
  const int needed = static_cast<int>(narrow.size());
  if (dst == nullptr || dstBytes <= 0) return needed;
  const int written = std::min(needed, dstBytes);
  std::char_traits<char>::copy(dst, narrow.data(), static_cast<size_t>(written));
  return written;
}

std::string Cp936ToUtf8(std::string_view cp936) {
  return ConverterFor(Encoding::kUtf8, Encoding::kCp936).Convert(cp936);
}

std::string Utf8ToCp936(std::string_view utf8) {
  return ConverterFor(Encoding::kCp936, Encoding::kUtf8).Convert(utf8);
}

}  // namespace platform
