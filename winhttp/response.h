// What WinHttpVisit does with a response once its body has been read: headers,
// status text, cookies, redirect target, body and the page's charset.
#pragma once

#include "platform/winhttp.h"
#include "textutil/regex_object.h"
#include "textutil/text.h"

namespace paperdl {

// The caller's variables, or locals standing in for the omitted ones.
struct VisitResults {
  Text* cookies;  // in-out: receives the merged cookie text; null when omitted
  Text& returnedCookies;
  Text& returnedHeaders;
  Text& location;
  Text& statusText;
  Bytes* responseBytes;  // null when omitted
};

// Status text of a raw header block: from its tenth byte to the first line break
// at or after it; empty without a line break.
Text StatusTextOf(const Text& rawHeaders);

// Collects "Set-Cookie" pieces and "Location: " targets line by line, handling
// window messages after each line; drops the last "; " of the cookies.
void ReadHeaderLines(const Text& rawHeaders, Text& returnedCookies, Text& location);

// The body as text, decoded from the charset its first 1024 bytes declare
// unless that is "gbk" or "gb2312".
Text BodyText(const Bytes& body, RegexObject& regex);

// Steps 1 to 11 of the response: nothing changes when the headers cannot be
// read, and the result is then empty text.
Text HandleResponse(platform::WinHttpHandle* request, const Bytes& body, bool mergeCookies,
                    RegexObject& regex, VisitResults& results);

}  // namespace paperdl
