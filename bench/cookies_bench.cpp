// Cookie merging should stay close to linear in the number of pairs.
#include <benchmark/benchmark.h>

#include "textutil/cookies.h"

namespace {

// count pairs named from firstName on, "name123=value123" style.
paperdl::Text CookieText(int firstName, int count) {
  paperdl::Text text;
  for (int i = firstName; i < firstName + count; ++i) {
    if (!text.empty()) text += "; ";
    text += "name" + std::to_string(i) + "=value" + std::to_string(i);
  }
  return text;
}

// Half of the new names replace old ones; every tenth new pair is a deletion.
void BM_MergeCookies(benchmark::State& state) {
  const int pairs = static_cast<int>(state.range(0));
  const paperdl::Text oldText = CookieText(0, pairs);
  paperdl::Text newText = CookieText(pairs / 2, pairs);
  for (int i = pairs / 2; i < pairs / 2 + pairs; i += 10) {
    newText += "; name" + std::to_string(i) + "=deleted";
  }
  for (auto _ : state) {
    paperdl::Text oldCookies = oldText;
    paperdl::Text newCookies = newText;
    benchmark::DoNotOptimize(paperdl::MergeCookies(oldCookies, newCookies));
  }
  state.SetComplexityN(pairs);
}
BENCHMARK(BM_MergeCookies)->RangeMultiplier(2)->Range(64, 4096)->Complexity();

}  // namespace

BENCHMARK_MAIN();
