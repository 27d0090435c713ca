// Conversions between code page 936, UTF-16LE and UTF-8 (iconv on Linux).
// In the manner of the Windows functions they stand in for: they never fail on
// bad input, never read past it, and report sizes the same way.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr unsigned kCodePage936 = 936;

// srcLength -1: src is zero-terminated and the terminator is converted too.
// With dst null (or dstChars 0) returns the number of UTF-16 units needed;
// otherwise writes at most dstChars units and returns the number written.
// Sequences code page 936 does not define become U+FFFD.
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* src, int srcLength,
                        char16_t* dst, int dstChars);
// The reverse; characters code page 936 lacks become its default character "?".
int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* src, int srcLength,
                        char* dst, int dstBytes);

// Edge conversions for file names, the window and the terminal.
std::string Cp936ToUtf8(std::string_view cp936);
std::string Utf8ToCp936(std::string_view utf8);

// Decodes bytes in a named web charset ("utf-8", "big5", "x-gbk", ...) into
// code page 936. Returns false, leaving out empty, when no converter knows it.
bool DecodeCharset(std::string_view bytes, std::string_view charsetName, std::string& out);

}  // namespace platform
