#include "textutil/markers.h"

namespace paperdl {

const Text& QuotePlaceholder() {
  static const Text placeholder = Gbk("#引号");
  return placeholder;
}

namespace {

Text WithQuotes(const Text& marker) {
  return ReplaceText(marker, QuotePlaceholder(), "\"", 1, std::nullopt, true);
}

}  // namespace

Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int startPosition, bool ignoreCase) {
  const Text start = WithQuotes(startMarker);
  const Text end = WithQuotes(endMarker);
  int p = FindText(text, start, startPosition, ignoreCase);
  if (p == -1) return {};
  p += TextLength(start);
  const int q = FindText(text, end, p, ignoreCase);
  if (q == -1) return {};
  return TextMid(text, p, q - p);
}

Text TextLeftOf(const Text& text, const Text& marker, int startPosition, bool ignoreCase) {
  int p;
  if (startPosition >= 0) {
    p = FindText(text, marker, startPosition == 0 ? 1 : startPosition, ignoreCase);
  } else {
    const int excluded = startPosition == -1 ? 0 : -startPosition;
    p = FindTextReverse(text, marker, TextLength(text) - excluded + 1, ignoreCase);
  }
  return p == -1 ? Text{} : TextLeft(text, p - 1);
}

Text TextRightOf(const Text& text, const Text& marker, int startPosition, bool ignoreCase) {
  const int length = TextLength(text);
  int p;
  if (startPosition >= 0) {
    p = FindTextReverse(text, marker, length - startPosition + 1, ignoreCase);
  } else {
    p = FindText(text, marker, -startPosition, ignoreCase);
  }
  return p == -1 ? Text{} : TextRight(text, length - TextLength(marker) - p + 1);
}

Text HeaderValue(const Text& headerBlock, const Text& name) {
  for (const Text& line : SplitText(headerBlock, "\r\n")) {
    if (line.compare(0, name.size(), name) == 0) return TextRightOf(line, name + ": ");
  }
  return {};
}

}  // namespace paperdl
