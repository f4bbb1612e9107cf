// The next match at the far end of a 200 MB document (an ASCII text of 200 million units, as a
// 200 MB UTF-8 file decodes): the view's search, case-insensitive and case-sensitive, against
// QStringView::indexOf and std::boyer_moore_horspool_searcher on the same text. Each reports
// the time of one whole search and the units searched per second.
#include <benchmark/benchmark.h>

#include <QString>
#include <algorithm>
#include <functional>

#include "platform/textview/text_search.h"

namespace {

constexpr qsizetype kUnits = 200 * 1000 * 1000;
const char16_t kNeedle[] = u"zephyrine";

// English-like words with spaces and line ends, so the first letters of the needle come by
// often; the needle itself only at the very end.
const QString& document() {
  static const QString text = [] {
    static const char* const kWords[] = {"the ", "quick ", "brown ", "fox ", "jumps ", "over ", "lazy ", "dog ",
                                         "and ", "zeal ", "of ", "every ", "reader\r\n", "Zero ", "hour "};
    QString built;
    built.reserve(kUnits);
    uint32_t seed = 12345;
    while (built.size() < kUnits - 32) {
      seed = seed * 1103515245u + 12345u;
      built += QLatin1String(kWords[(seed >> 16) % (sizeof kWords / sizeof kWords[0])]);
    }
    built += QStringLiteral(" Zephyrine.");
    return built;
  }();
  return text;
}

void report(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * document().size());
}

void ours(benchmark::State& state, bool matchCase) {
  const QString& text = document();
  for (auto _ : state) {
    const int64_t at = platform::textview::findInText(text, kNeedle, 0, -1, {true, matchCase, false});
    benchmark::DoNotOptimize(at);
    if (matchCase != (at < 0)) state.SkipWithError("wrong result");
  }
  report(state);
}

void ourBackward(benchmark::State& state) {
  const QString& text = document();
  for (auto _ : state) {
    // From the end towards the start: the needle is not there before the end.
    benchmark::DoNotOptimize(platform::textview::findInText(text, u"zzzq", text.size(), 0, {false, false, false}));
  }
  report(state);
}

void qt(benchmark::State& state, Qt::CaseSensitivity sensitivity) {
  const QString& text = document();
  for (auto _ : state) benchmark::DoNotOptimize(QStringView(text).indexOf(QStringView(kNeedle), 0, sensitivity));
  report(state);
}

void horspool(benchmark::State& state) {
  const QString& text = document();
  const std::u16string_view needle(kNeedle);
  const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
  const auto* begin = reinterpret_cast<const char16_t*>(text.utf16());
  for (auto _ : state) benchmark::DoNotOptimize(std::search(begin, begin + text.size(), searcher));
  report(state);
}

}  // namespace

BENCHMARK_CAPTURE(ours, FarEnd_IgnoreCase, false)->Name("Find/FarEnd/ignore-case/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, FarEnd_MatchCase, true)->Name("Find/FarEnd/match-case/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(ourBackward)->Name("Find/FarEnd/backward/ours")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qt, IgnoreCase, Qt::CaseInsensitive)->Name("Find/FarEnd/ignore-case/qt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qt, MatchCase, Qt::CaseSensitive)->Name("Find/FarEnd/match-case/qt")->Unit(benchmark::kMillisecond);
BENCHMARK(horspool)->Name("Find/FarEnd/match-case/horspool")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
