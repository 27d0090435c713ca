// Replacing and splitting: one pass over the text, no rescans of replacements.
#include "textutil/text.h"
#include "textutil/text_scan.h"

namespace paperdl {

using scan::IsLead;
using scan::npos;

namespace {

// How many items a split will make, so the list is allocated once.
std::size_t CountAligned(const Text& text, const Text& delimiter) {
  std::size_t count = 0;
  for (std::size_t p = scan::FindAligned(text, delimiter, 0, false); p != npos;
       p = scan::FindAligned(text, delimiter, p + delimiter.size(), false)) {
    ++count;
  }
  return count;
}

}  // namespace

Text ReplaceText(const Text& text, const Text& sought, const Text& replacement, int startPosition,
                 std::optional<int> count, bool caseSensitive) {
  const std::size_t from = startPosition < 1 ? 0 : static_cast<std::size_t>(startPosition) - 1;
  if (text.empty() || sought.empty() || from >= text.size() || (count && *count == 0)) return text;
  int remaining = count.value_or(-1);  // a negative count never runs out
  Text result;
  result.reserve(text.size());
  result.append(text, 0, from);
  std::size_t pos = from;  // always a character boundary
  while (remaining != 0) {
    const std::size_t match = scan::FindAligned(text, sought, pos, !caseSensitive);
    if (match == npos) break;
    result.append(text, pos, match - pos);
    result.append(replacement);
    pos = match + sought.size();
    if (remaining > 0) --remaining;
  }
  // A one-byte sought text lets the scan reach the last byte; a lone lead byte there is dropped.
  const bool scanReachesEnd = remaining != 0 && sought.size() == 1;
  if (scanReachesEnd && pos < text.size() && IsLead(text.back()) &&
      scan::IsBoundary(text, pos, text.size() - 1)) {
    result.append(text, pos, text.size() - 1 - pos);
    return result;
  }
  result.append(text, pos, npos);
  return result;
}

TextList SplitText(const Text& text, const Text& delimiter, std::optional<int> maxCount) {
  TextList items;
  if (text.empty() || (maxCount && *maxCount <= 0)) return items;
  if (delimiter.empty()) return {text};
  items.reserve(CountAligned(text, delimiter) + 1);
  std::size_t itemStart = 0;
  while (itemStart <= text.size()) {
    const std::size_t match = scan::FindAligned(text, delimiter, itemStart, false);
    if (match == npos) break;
    items.emplace_back(text, itemStart, match - itemStart);
    itemStart = match + delimiter.size();
    if (maxCount && items.size() >= static_cast<std::size_t>(*maxCount)) return items;
  }
  if (itemStart < text.size()) items.emplace_back(text, itemStart, npos);
  return items;
}

}  // namespace paperdl
