// Length, cutting, joining and the Bytes counterparts: plain byte counts.
#include <algorithm>
#include <cstring>

#include "textutil/text.h"

namespace paperdl {
namespace {

int ClampedLength(std::size_t size) {
  return size > INT32_MAX ? INT32_MAX : static_cast<int>(size);
}

}  // namespace

int TextLength(const Text& text) {
  return ClampedLength(text.size());
}

Text TextLeft(const Text& text, int n) {
  if (n <= 0) return {};
  return text.substr(0, static_cast<std::size_t>(n));
}

Text TextRight(const Text& text, int n) {
  if (n <= 0) return {};
  const auto count = std::min(text.size(), static_cast<std::size_t>(n));
  return text.substr(text.size() - count);
}

Text TextMid(const Text& text, int start, int n) {
  if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

Text ConcatText(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (auto part : parts) total += part.size();
  Text joined;
  joined.reserve(total);
  for (auto part : parts) joined.append(part);
  return joined;
}

Text BlankText(int n) {
  return n <= 0 ? Text{} : Text(static_cast<std::size_t>(n), ' ');
}

Text CharFromCode(int code) {
  const auto byte = static_cast<char>(static_cast<unsigned>(code) & 0xFFu);
  return byte == 0 ? Text{} : Text(1, byte);
}

int CharCode(const Text& text, int position) {
  if (position < 1 || static_cast<std::size_t>(position) > text.size()) return 0;
  return static_cast<signed char>(text[static_cast<std::size_t>(position) - 1]);
}

int BytesLength(const Bytes& data) {
  return ClampedLength(data.size());
}

Bytes BytesLeft(const Bytes& data, int n) {
  if (n <= 0) return {};
  const auto count = std::min(data.size(), static_cast<std::size_t>(n));
  return Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count));
}

Bytes BytesMid(const Bytes& data, int start, int n) {
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (n <= 0 || from >= data.size()) return {};
  const auto count = std::min(data.size() - from, static_cast<std::size_t>(n));
  const auto begin = data.begin() + static_cast<std::ptrdiff_t>(from);
  return Bytes(begin, begin + static_cast<std::ptrdiff_t>(count));
}

Bytes BlankBytes(int n) {
  return n <= 0 ? Bytes{} : Bytes(static_cast<std::size_t>(n), 0);
}

Bytes ConcatBytes(std::initializer_list<const Bytes*> parts) {
  std::size_t total = 0;
  for (const Bytes* part : parts) total += part ? part->size() : 0;
  Bytes joined;
  joined.reserve(total);
  for (const Bytes* part : parts) {
    if (part) joined.insert(joined.end(), part->begin(), part->end());
  }
  return joined;
}

Bytes BytesFromPointer(const void* address, int n) {
  if (n <= 0 || address == nullptr) return {};
  const auto* first = static_cast<const std::uint8_t*>(address);
  return Bytes(first, first + n);
}

}  // namespace paperdl
