// Taking arbitrary addresses apart: no crash or leak, a path is never empty.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "wininet/url_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool rootOnly = input.ConsumeBool();
  const bool keepPort = input.ConsumeBool();
  const bool withDots = input.ConsumeBool();
  const int suffixDots = input.ConsumeIntegralInRange<int>(-2, 6);
  const paperdl::Text url = input.ConsumeRemainingBytesAsString();
  paperdl::HostOf(url, rootOnly, keepPort,
                  withDots ? std::optional<int>(suffixDots) : std::nullopt);
  paperdl::HostOf(url);
  paperdl::PortOf(url);
  if (paperdl::PathOf(url).empty()) std::abort();
  return 0;
}
