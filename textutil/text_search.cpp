// Searching, case folding, trimming, replacing, splitting and comparing, all
// stepping over double-byte characters as units.
#include <algorithm>

#include "textutil/text.h"
#include "textutil/text_scan.h"

namespace paperdl {

using scan::IsLead;
using scan::npos;

int FindText(const Text& text, const Text& sought, int startPosition, bool ignoreCase) {
  const std::size_t from = startPosition < 1 ? 0 : static_cast<std::size_t>(startPosition) - 1;
  if (from >= text.size()) return -1;
  if (sought.empty()) return 1;
  const std::size_t p = scan::FindAligned(text, sought, from, ignoreCase);
  return p == npos ? -1 : static_cast<int>(p + 1);
}

int FindTextReverse(const Text& text, const Text& sought, std::optional<int> startPosition,
                    bool ignoreCase) {
  std::size_t region = text.size();
  if (startPosition && static_cast<std::size_t>(std::max(*startPosition, 0)) <= text.size())
    region = *startPosition <= 1 ? 0 : static_cast<std::size_t>(*startPosition) - 1;
  if (region == 0) return -1;
  if (sought.empty()) return 1;
  const std::string_view view(text.data(), region);
  // Overlapping occurrences count, so the last aligned one is found by walking forward.
  std::size_t last = npos;
  for (std::size_t p = scan::FindAligned(view, sought, 0, ignoreCase); p != npos;) {
    last = p;
    const std::size_t next = p + (IsLead(view[p]) ? 2 : 1);
    p = next < view.size() ? scan::FindAligned(view, sought, next, ignoreCase) : npos;
  }
  return last == npos ? -1 : static_cast<int>(last + 1);
}

namespace {

template <typename Change>
Text ChangeLetters(const Text& text, Change change) {
  Text changed = text;
  for (std::size_t i = 0; i < changed.size(); i += IsLead(changed[i]) ? 2 : 1) {
    changed[i] = change(changed[i]);
  }
  return changed;
}

}  // namespace

Text ToUpper(const Text& text) {
  return ChangeLetters(text, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
}

Text ToLower(const Text& text) {
  return ChangeLetters(text, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; });
}

Text TrimBoth(const Text& text) {
  const auto fullWidthBlankAt = [&](std::size_t i) {
    return i + 1 < text.size() && text[i] == '\xA1' && text[i + 1] == '\xA1';
  };
  std::size_t begin = 0;
  while (begin < text.size()) {
    if (text[begin] == ' ')
      ++begin;
    else if (fullWidthBlankAt(begin))
      begin += 2;
    else
      break;
  }
  std::size_t end = begin;  // end of the last character that is not a blank
  std::size_t i = begin;
  while (i < text.size()) {
    if (IsLead(text[i]) && i + 1 >= text.size()) {
      end = i;  // a lone lead byte at the end is dropped; the blanks before it stay
      break;
    }
    const bool blank = text[i] == ' ' || fullWidthBlankAt(i);
    i += IsLead(text[i]) ? 2 : 1;
    if (!blank) end = i;
  }
  return text.substr(begin, end - begin);
}

int CompareText(const Text& a, const Text& b, bool caseSensitive) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = caseSensitive ? static_cast<unsigned char>(a[i]) : scan::FoldCase(a[i]);
    const unsigned char y = caseSensitive ? static_cast<unsigned char>(b[i]) : scan::FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace paperdl
