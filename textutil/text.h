// Text, Bytes and TextList, and the primitives every routine is written in.
//
// A Text is a byte string in code page 936 (GBK). Positions are 1-based byte
// positions and a failed search yields -1. Scanning operations treat any byte
// of 0x80 or above as the lead byte of a double-byte character and step over it
// together with its trail byte, so nothing is ever matched from a trail byte.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperdl {

using Text = std::string;
using Bytes = std::vector<std::uint8_t>;
using TextList = std::vector<Text>;

// Code-page-936 text from a UTF-8 literal: sources are UTF-8, Text is GBK.
Text Gbk(std::string_view utf8);
// The UTF-8 form of a Text, for the terminal, the window and test messages.
std::string Utf8(const Text& text);

// Length, cutting and joining (cuts count plain bytes).
int TextLength(const Text& text);
Text TextLeft(const Text& text, int n);
Text TextRight(const Text& text, int n);
Text TextMid(const Text& text, int start, int n);
Text ConcatText(std::initializer_list<std::string_view> parts);
Text BlankText(int n);
Text CharFromCode(int code);
int CharCode(const Text& text, int position = 1);

// Searching.
int FindText(const Text& text, const Text& sought, int startPosition = 1, bool ignoreCase = false);
// An omitted startPosition searches the whole text; 1 or less searches nothing.
int FindTextReverse(const Text& text, const Text& sought,
                    std::optional<int> startPosition = std::nullopt, bool ignoreCase = false);

// Changing and splitting.
Text ToUpper(const Text& text);
Text ToLower(const Text& text);
Text TrimBoth(const Text& text);
// An omitted count replaces every occurrence.
Text ReplaceText(const Text& text, const Text& sought, const Text& replacement = {},
                 int startPosition = 1, std::optional<int> count = std::nullopt,
                 bool caseSensitive = false);
// An omitted maxCount is unlimited; a supplied value below 1 gives no items.
TextList SplitText(const Text& text, const Text& delimiter = ",",
                   std::optional<int> maxCount = std::nullopt);
int CompareText(const Text& a, const Text& b, bool caseSensitive = false);

// Conversions.
int ToInt(const Text& text);
Text ToText(int number);
Text ToText(const Bytes& data);
Bytes ToBytes(const Text& text);
// Only kind 10 (a zero-terminated Text) exists in this program.
inline constexpr int kReadText = 10;
Text ReadTypedFromBytes(const Bytes& data, int kind, int position = 1);
int BitOr(std::initializer_list<std::uint32_t> values);

// Bytes.
int BytesLength(const Bytes& data);
Bytes BytesLeft(const Bytes& data, int n);
Bytes BytesMid(const Bytes& data, int start, int n);
Bytes BlankBytes(int n);
Bytes ConcatBytes(std::initializer_list<const Bytes*> parts);
Bytes BytesFromPointer(const void* address, int n);

// Environment.
Text RunDirectory();
// Replaces the file at path only when every byte was written (see files.cpp).
bool WriteBytesToFile(const Text& path, std::initializer_list<const Bytes*> data);
inline bool WriteBytesToFile(const Text& path, const Bytes& data) {
  return WriteBytesToFile(path, {&data});
}

}  // namespace paperdl
