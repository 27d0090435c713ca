// Numbers, Text and Bytes into one another.
#include <cstring>

#include "textutil/text.h"
#include "textutil/text_scan.h"

namespace paperdl {
namespace {

bool IsWhiteSpace(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a Text with full-width ASCII forms (and the full-width blank) turned
// into their one-byte counterparts, one character at a time.
class HalfWidthReader {
 public:
  explicit HalfWidthReader(const Text& text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  unsigned char Peek() const {
    const auto lead = static_cast<unsigned char>(text_[pos_]);
    if (lead < 0x80 || pos_ + 1 >= text_.size()) return lead;
    const auto trail = static_cast<unsigned char>(text_[pos_ + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
      return static_cast<unsigned char>(trail - 0x80);
    if (lead == 0xA1 && trail == 0xA1) return ' ';
    return lead;  // another double-byte character: no digit, sign or blank
  }

  void Advance() { pos_ += scan::IsLead(text_[pos_]) ? 2 : 1; }

 private:
  const Text& text_;
  std::size_t pos_ = 0;
};

Text TextUpToZero(const std::uint8_t* first, std::size_t size) {
  const auto* chars = reinterpret_cast<const char*>(first);
  const void* zero = size == 0 ? nullptr : std::memchr(chars, 0, size);
  return Text(chars,
              zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - chars) : size);
}

}  // namespace

int ToInt(const Text& text) {
  HalfWidthReader reader(text);
  while (!reader.AtEnd() && IsWhiteSpace(reader.Peek())) reader.Advance();
  bool negative = false;
  if (!reader.AtEnd() && (reader.Peek() == '+' || reader.Peek() == '-')) {
    negative = reader.Peek() == '-';
    reader.Advance();
  }
  std::uint32_t value = 0;  // wraps modulo 2^32, as the digits are read without a check
  while (!reader.AtEnd() && reader.Peek() >= '0' && reader.Peek() <= '9') {
    value = value * 10u + static_cast<std::uint32_t>(reader.Peek() - '0');
    reader.Advance();
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

Text ToText(int number) {
  return std::to_string(number);
}

Text ToText(const Bytes& data) {
  return TextUpToZero(data.data(), data.size());
}

Bytes ToBytes(const Text& text) {
  return Bytes(text.begin(), text.end());
}

Text ReadTypedFromBytes(const Bytes& data, int kind, int position) {
  if (kind != kReadText || position < 1 || static_cast<std::size_t>(position) > data.size())
    return {};
  const auto from = static_cast<std::size_t>(position) - 1;
  return TextUpToZero(data.data() + from, data.size() - from);
}

int BitOr(std::initializer_list<std::uint32_t> values) {
  std::uint32_t combined = 0;
  for (auto value : values) combined |= value;
  return static_cast<int>(combined);
}

}  // namespace paperdl
