#include "textutil/cookie_views.h"

#include <functional>

namespace paperdl::cookie_views {
namespace {

bool IsLeadByte(char byte) {
  return static_cast<unsigned char>(byte) >= 0x80;
}

bool IsFullWidthBlankAt(std::string_view text, std::size_t i) {
  return i + 1 < text.size() && text[i] == '\xA1' && text[i + 1] == '\xA1';
}

std::string_view Trim(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    if (text[begin] == ' ') {
      ++begin;
    } else if (IsFullWidthBlankAt(text, begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  std::size_t end = text.size();
  std::size_t runStart = std::string_view::npos;  // start of the current run of blanks
  std::size_t i = begin;
  while (i < text.size()) {
    const bool lead = IsLeadByte(text[i]);
    if (lead && i + 1 == text.size()) {
      // A lone lead byte is dropped; blanks before it stay.
      runStart = std::string_view::npos;
      end = i;
      break;
    }
    const bool blank = text[i] == ' ' || IsFullWidthBlankAt(text, i);
    if (!blank) {
      runStart = std::string_view::npos;
    } else if (runStart == std::string_view::npos) {
      runStart = i;
    }
    i += lead ? 2 : 1;
  }
  if (runStart != std::string_view::npos) end = runStart;
  return text.substr(begin, end - begin);
}

}  // namespace

Pieces Split(std::string_view text, std::string_view delimiter) {
  Pieces pieces;
  std::size_t pieceStart = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == delimiter[0] && text.substr(i).starts_with(delimiter)) {
      pieces.push_back(text.substr(pieceStart, i - pieceStart));
      i += delimiter.size();
      pieceStart = i;
    } else if (IsLeadByte(text[i])) {
      if (i + 1 == text.size()) break;
      i += 2;
    } else {
      ++i;
    }
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

bool EndsInLoneLeadByte(std::string_view text) {
  std::size_t i = 0;
  while (i + 1 < text.size()) i += IsLeadByte(text[i]) ? 2 : 1;
  return i + 1 == text.size() && IsLeadByte(text[i]);
}

std::string_view Name(std::string_view pair) {
  for (std::size_t i = 0; i < pair.size(); i += IsLeadByte(pair[i]) ? 2 : 1) {
    if (pair[i] == '=') return Trim(pair.substr(0, i));
  }
  return Trim(pair);
}

ViewSet::ViewSet(std::size_t expectedCount) {
  std::size_t capacity = 16;
  while (capacity < 2 * expectedCount) capacity *= 2;
  slots_.resize(capacity);
  texts_.reserve(expectedCount);
}

bool ViewSet::Insert(std::string_view text) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = std::hash<std::string_view>{}(text)&mask;
  for (; slots_[i] != 0; i = (i + 1) & mask) {
    if (texts_[slots_[i] - 1] == text) return false;
  }
  texts_.push_back(text);
  if (2 * texts_.size() > slots_.size()) {
    Grow();
  } else {
    slots_[i] = static_cast<std::uint32_t>(texts_.size());
  }
  return true;
}

void ViewSet::Grow() {
  slots_.assign(slots_.size() * 2, 0);
  for (std::uint32_t number = 1; number <= texts_.size(); ++number) Place(number);
}

void ViewSet::Place(std::uint32_t number) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = std::hash<std::string_view>{}(texts_[number - 1]) & mask;
  while (slots_[i] != 0) i = (i + 1) & mask;
  slots_[i] = number;
}

}  // namespace paperdl::cookie_views
