// WinHttpVisit: one complete HTTP request over the WinHTTP operations, the
// response returned as Text (converted from the charset the page declares).
#pragma once

#include "textutil/text.h"

namespace paperdl {

// Out- and in-out parameters are the caller's variables; nullptr leaves one out.
// A failure stores one of the numbered failure texts in *statusText and
// returns empty text.
Text WinHttpVisit(const Text& url, int method = 0, const Text& textBody = {},
                  Text* cookies = nullptr, Text* returnedCookies = nullptr,
                  const Text& headers = {}, Text* returnedHeaders = nullptr,
                  bool noRedirect = false, const Text& userName = {}, const Text& password = {},
                  const Text& proxy = {}, const Text& proxyUser = {},
                  const Text& proxyPassword = {}, int timeoutSeconds = 0, Text* location = nullptr,
                  Text* statusText = nullptr, Bytes* responseBytes = nullptr,
                  bool mergeCookies = true, bool completeHeaders = true,
                  const Bytes& bytesBody = {}, bool normalizeHeaders = true);

}  // namespace paperdl
