// The request side of WinHttpVisit: the verb and the request header block.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; any other GET.
Text MethodVerb(int method);

// The caller's lines, the default lines the block lacks, normalisation, the
// keep-alive line removed and the Cookie line added.
Text BuildRequestHeaderBlock(const Text& headers, int method, const Text& cookies,
                             bool completeHeaders, bool normalizeHeaders);

}  // namespace paperdl
