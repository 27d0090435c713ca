// WinInetVisit: one complete HTTP request over the WinInet operations, the
// body returned as Bytes whatever the status.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// cookies == nullptr means "not supplied": WinInet's own cookie store is used
// and no merge happens. Other pointers are optional out/in-out parameters.
Bytes WinInetVisit(const Text& url, int method = 0, const Text& textBody = {},
                   Text* cookies = nullptr, Text* returnedCookies = nullptr,
                   const Text& headers = {}, Text* returnedHeaders = nullptr,
                   bool noRedirect = false, Bytes* bytesBody = nullptr, const Text& proxy = {},
                   bool mergeCookies = true, bool completeHeaders = true,
                   bool normalizeHeaders = true);

// The text after the first ":" of line, trimmed; empty when there is none.
Text HeaderLineValue(const Text& line);

}  // namespace paperdl
