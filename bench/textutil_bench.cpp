// The scanning primitives over 16 MB of mixed ASCII and GBK text, with
// std::string_view::find on the same data as the reference.
#include <benchmark/benchmark.h>

#include <string_view>

#include "textutil/markers.h"
#include "textutil/text.h"

namespace paperdl {
namespace {

constexpr std::size_t kSize = 16 << 20;

// Lines of a paper page: ASCII markup with Chinese text between.
const Text& MixedText() {
  static const Text text = [] {
    const Text line = Gbk("<p class=\"q\">第12题 已知函数 f(x)=x²+2x，求 f(3) 的值。</p>\r\n");
    Text t;
    t.reserve(kSize + line.size());
    while (t.size() < kSize) t += line;
    return t;
  }();
  return text;
}

const Text kAbsent = "<needle/>";  // not in the text: every scan runs to the end

void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_StringViewFind(benchmark::State& state) {
  const std::string_view text = MixedText();
  for (auto _ : state) benchmark::DoNotOptimize(text.find(kAbsent));
  SetBytes(state, MixedText().size());
}

void BM_FindText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(MixedText(), kAbsent));
  SetBytes(state, MixedText().size());
}

void BM_FindTextIgnoreCase(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindText(MixedText(), "<NEEDLE/>", 1, true));
  SetBytes(state, MixedText().size());
}

void BM_ReplaceText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(MixedText(), "</p>", "</P>"));
  SetBytes(state, MixedText().size());
}

void BM_SplitText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(MixedText(), "\r\n"));
  SetBytes(state, MixedText().size());
}

void BM_TrimBoth(benchmark::State& state) {
  const Text padded = "   " + MixedText() + Gbk("　 ");
  for (auto _ : state) benchmark::DoNotOptimize(TrimBoth(padded));
  SetBytes(state, padded.size());
}

void BM_TextBetween(benchmark::State& state) {
  const Text page = "<title>" + MixedText() + "</title>";
  for (auto _ : state) benchmark::DoNotOptimize(TextBetween(page, "<title>", "</t"));
  SetBytes(state, page.size());
}

void BM_ToInt(benchmark::State& state) {
  const Text digits(kSize, '7');
  for (auto _ : state) benchmark::DoNotOptimize(ToInt(digits));
  SetBytes(state, digits.size());
}

BENCHMARK(BM_StringViewFind)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextBetween)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToInt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace paperdl

BENCHMARK_MAIN();
