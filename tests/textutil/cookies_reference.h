// Cookie merging written step by step with the primitives and list scans, the
// plain quadratic way. The fast merge must give exactly its results.
#pragma once

#include "textutil/cookies.h"

namespace paperdl::reference {

inline Text SplitUniqueJoin(const Text& text, const Text& delimiter) {
  TextList seen;
  Text joined;
  for (const Text& item : SplitText(text, delimiter)) {
    if (FindInList(seen, item) != -1) continue;
    seen.push_back(item);
    joined = ConcatText({joined, item, delimiter});
  }
  return TextLeft(joined, TextLength(joined) - TextLength(delimiter));
}

inline void TrimCookieText(Text& cookies) {
  cookies = TrimBoth(cookies);
  if (TextRight(cookies, 1) == ";") cookies = ConcatText({cookies, " "});
}

inline Text MergeCookies(Text& oldCookies, Text& newCookies) {
  TrimCookieText(oldCookies);
  TrimCookieText(newCookies);
  const TextList oldPairs = SplitText(oldCookies, "; ");
  TextList newPairs = SplitText(newCookies, "; ");
  for (const Text& pair : oldPairs) {
    if (!HasCookieName(newPairs, CookieName(pair))) newPairs.push_back(pair);
  }
  oldCookies.clear();
  for (const Text& pair : newPairs) {
    if (TextLength(pair) >= 8 && TextRight(pair, 8) == "=deleted") continue;
    oldCookies = ConcatText({oldCookies, pair, "; "});
  }
  oldCookies = TextLeft(oldCookies, TextLength(oldCookies) - 2);
  oldCookies = SplitUniqueJoin(oldCookies, "; ");
  return oldCookies;
}

}  // namespace paperdl::reference
