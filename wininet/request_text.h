// The pieces WinInetVisit builds and reads: the verb, the request flags, the
// agent, the request header block and its cookie line, and the cookies
// collected from a raw response header block.
#pragma once

#include <cstdint>

#include "textutil/text.h"

namespace paperdl {

inline constexpr char kDefaultAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The verb for a method index; an index outside 0 to 7 is taken as 0 (GET).
int KnownMethod(int method);
const char* VerbOf(int method);
// True when the first 8 bytes, lower-cased, are "https://".
bool IsHttpsAddress(const Text& url);
// The HttpOpenRequestA flags: 0x80004010 for a plain address alone.
std::uint32_t RequestFlags(bool https, bool cookiesSupplied, bool noRedirect);
// The User-Agent line's value from the header block, or the default agent.
Text AgentFrom(const Text& headers);
// Adds Accept, Referer, Accept-Language and (for POST) Content-Type lines
// that the block lacks, each looked for in any letter case.
Text CompleteRequestHeaders(Text headers, const Text& url, int method);
// Appends the cookie line for a supplied, non-empty cookie text.
Text AddCookieLine(Text headers, const Text* cookies);
// "a=1; b=2" from the block's "Set-Cookie: " lines, in order.
Text CollectSetCookies(const Text& rawHeaders);

}  // namespace paperdl
