// The regular-expression object over arbitrary patterns, subjects and
// replacements: nothing crashes, leaks or hangs, and the readers stay consistent.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "platform/com.h"
#include "textutil/regex_object.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void ReadEverything(const paperdl::RegexObject& regex, FuzzedDataProvider& input) {
  const int count = regex.MatchCount();
  Require(count >= 0 && regex.SubMatchCount() >= 0);
  for (int index = 0; index <= count + 1; ++index) {
    int position = 0;
    const paperdl::Text text = regex.MatchText(index, &position);
    Require(position >= -2);
    if (index < 1 || index > count) Require(text.empty());
    const int group = input.ConsumeIntegralInRange<int>(-1, 4);
    regex.SubMatchText(index, group, &position);
    Require(position >= -2);
  }
  regex.GetPattern();
  regex.Replace(input.ConsumeRandomLengthString(16));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool caseSensitive = input.ConsumeBool();
  const bool multiline = input.ConsumeBool();
  const bool global = input.ConsumeBool();
  const bool quotePlaceholder = input.ConsumeBool();
  const paperdl::Text pattern = input.ConsumeRandomLengthString(64);
  const paperdl::Text subject = input.ConsumeRandomLengthString();
  const int before = platform::ComInitCount();
  {
    paperdl::RegexObject regex;
    const bool ok =
        regex.Execute(pattern, subject, caseSensitive, multiline, global, quotePlaceholder);
    if (!ok) Require(regex.MatchCount() == 0 && regex.Replace("x").empty());
    const paperdl::RegexObject copy(regex);
    ReadEverything(copy, input);
    ReadEverything(regex, input);
  }
  Require(platform::ComInitCount() == before);
  return 0;
}
