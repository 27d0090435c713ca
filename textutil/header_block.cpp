#include "textutil/header_block.h"

namespace paperdl {

Text CapitalizeFirst(const Text& text) {
  if (text.empty()) return {};
  return ToUpper(TextLeft(text, 1)) + TextMid(text, 2, TextLength(text));
}

namespace {

Text CapitalizeWords(const Text& name) {
  if (FindText(name, "-") == -1) return CapitalizeFirst(name);
  Text joined;
  const TextList words = SplitText(name, "-");
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) joined += '-';
    joined += CapitalizeFirst(words[i]);
  }
  return joined;
}

}  // namespace

Text NormalizeHeaderBlock(const Text& headerBlock) {
  Text result;
  for (const Text& line : SplitText(headerBlock, "\r\n")) {
    const int colon = FindText(line, ":");
    if (colon == -1) continue;  // no header on this line
    const Text name = CapitalizeWords(TextMid(line, 1, colon - 1));
    result += name;
    result += TextRight(line, TextLength(line) - TextLength(name));
    result += "\r\n";
  }
  return TextLeft(result, TextLength(result) - 2);
}

}  // namespace paperdl
