// Header blocks: header lines joined by "\r\n", each "Name: value".
#pragma once

#include "textutil/text.h"

namespace paperdl {

// Capitalises every header name word by word and drops lines without a colon;
// the result has no "\r\n" after its last line.
Text NormalizeHeaderBlock(const Text& headerBlock);
Text CapitalizeFirst(const Text& text);

}  // namespace paperdl
