// Cookie merging over arbitrary bytes: no crash, no leak, and exactly the
// results of the step-by-step merge written with list scans.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "tests/textutil/cookies_reference.h"
#include "textutil/cookies.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const paperdl::Text delimiter = input.ConsumeRandomLengthString(4);
  const paperdl::Text oldText = input.ConsumeRandomLengthString();
  const paperdl::Text newText = input.ConsumeRemainingBytesAsString();

  paperdl::Text oldCookies = oldText, newCookies = newText;
  paperdl::Text oldExpected = oldText, newExpected = newText;
  const paperdl::Text merged = paperdl::MergeCookies(oldCookies, newCookies);
  Require(merged == paperdl::reference::MergeCookies(oldExpected, newExpected));
  Require(oldCookies == merged && oldCookies == oldExpected && newCookies == newExpected);

  Require(paperdl::SplitUniqueJoin(oldText, delimiter, true) ==
          paperdl::reference::SplitUniqueJoin(oldText, delimiter));
  paperdl::TextList characters;
  const int count = paperdl::SplitCharacters(newText, characters);
  paperdl::Text rejoined;
  for (const paperdl::Text& character : characters) rejoined += character;
  Require(count == static_cast<int>(characters.size()) && rejoined == newText);
  paperdl::SplitUniqueJoin(newText, delimiter, false);
  return 0;
}
