// Cookie texts ("a=1; b=2") and their merging.
#pragma once

#include "textutil/text.h"

namespace paperdl {

// New pairs first, then old pairs whose name no new pair carries; "=deleted"
// pairs dropped. Both arguments are changed (oldCookies receives the result).
Text MergeCookies(Text& oldCookies, Text& newCookies);
Text CookieName(const Text& pair);
bool HasCookieName(const TextList& pairs, const Text& name);
Text SplitUniqueJoin(const Text& text, const Text& delimiter, bool splitAtDelimiter);
int SplitCharacters(const Text& text, TextList& characters);
int FindInList(const TextList& list, const Text& item);

}  // namespace paperdl
