// Cutting pieces out of a Text by marker texts: titles out of pages, values out
// of header lines, hosts out of addresses. A missing marker gives empty text.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// "#引号" in either marker stands for a double quote.
Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int startPosition = 0, bool ignoreCase = false);
// startPosition >= 0 searches forward from it; below 0 searches backward.
Text TextLeftOf(const Text& text, const Text& marker, int startPosition = 0,
                bool ignoreCase = false);
// startPosition >= 0 excludes that many bytes at the back; below 0 searches forward.
Text TextRightOf(const Text& text, const Text& marker, int startPosition = 0,
                 bool ignoreCase = false);
// The value of the first line that begins with name (case-sensitive).
Text HeaderValue(const Text& headerBlock, const Text& name);

// The placeholder a literal uses for a double quote.
const Text& QuotePlaceholder();

}  // namespace paperdl
