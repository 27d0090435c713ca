#include "winhttp/codepage.h"

#include <cstring>

#include "platform/codepage.h"

namespace paperdl {
namespace {
constexpr unsigned kCompositeCheck = 0x200;
}

Bytes AnsiToUtf16(const Text& text, bool dropTerminator) {
  if (text.empty()) return {};
  const int units =
      platform::MultiByteToWideChar(platform::kCodePage936, 0, text.c_str(), -1, nullptr, 0);
  Bytes buffer = BlankBytes(2 * units);
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  platform::MultiByteToWideChar(platform::kCodePage936, 0, text.c_str(), -1, wide.data(), units);
  std::memcpy(buffer.data(), wide.data(), buffer.size());
  if (dropTerminator) buffer = BytesLeft(buffer, BytesLength(buffer) - 2);
  return buffer;
}

Text Utf16ToAnsi(const Bytes& wide) {
  const int units = BytesLength(wide) / 2;
  if (units == 0) return {};
  std::u16string source(static_cast<std::size_t>(units), u'\0');
  std::memcpy(source.data(), wide.data(), source.size() * 2);  // wide may be unaligned
  const int size = platform::WideCharToMultiByte(platform::kCodePage936, kCompositeCheck,
                                                 source.data(), units, nullptr, 0);
  Bytes buffer = BlankBytes(size);
  platform::WideCharToMultiByte(platform::kCodePage936, kCompositeCheck, source.data(), units,
                                reinterpret_cast<char*>(buffer.data()), size);
  return ReadTypedFromBytes(buffer, kReadText);
}

}  // namespace paperdl
