// The 1252 collation against the C library's byte comparisons, on 10^5
// random words of mixed case with some accented letters, compared pairwise
// in a sliding window: the cost of one comparison in a sort or a lookup.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/Collation.h"
#include "platform/rtl/StringList.h"

namespace {

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\xE9\xE8\xE0\xFC\xC9\xF6";
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> len(3, 12), pick(0, letters.size() - 1);
    std::vector<std::string> out(100000);
    for (auto& w : out) {
      w.resize(len(rng));
      for (char& c : w) c = letters[pick(rng)];
    }
    return out;
  }();
  return words;
}

template <class Compare>
void Run(benchmark::State& state, Compare compare) {
  const auto& words = Words();
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& a = words[i];
    const std::string& b = words[(i + 1) % words.size()];
    benchmark::DoNotOptimize(compare(a, b));
    if (++i == words.size()) i = 0;
  }
}

void BM_strcmp(benchmark::State& state) {
  Run(state, [](const std::string& a, const std::string& b) { return std::strcmp(a.c_str(), b.c_str()); });
}
void BM_strcasecmp(benchmark::State& state) {
  Run(state, [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()); });
}
void BM_AnsiCompareStr(benchmark::State& state) {
  Run(state, [](const std::string& a, const std::string& b) { return AnsiCompareStr(a, b); });
}
void BM_AnsiCompareText(benchmark::State& state) {
  Run(state, [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b); });
}
// Equal words of differing case: every level of the collation is walked.
void BM_AnsiCompareText_CaseTies(benchmark::State& state) {
  Run(state, [](const std::string& a, const std::string&) {
    std::string upper = AnsiUpperCase(a);
    return AnsiCompareText(a, upper);
  });
}

void BM_SortedStringList_Add(benchmark::State& state) {
  const auto& words = Words();
  for (auto _ : state) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (std::size_t i = 0; i < 10000; ++i) list.Add(words[i]);
    benchmark::DoNotOptimize(list.GetCount());
  }
}

void BM_StringList_Sort(benchmark::State& state) {
  const auto& words = Words();
  for (auto _ : state) {
    state.PauseTiming();
    TStringList list;
    for (const auto& w : words) list.Add(w);
    state.ResumeTiming();
    list.Sort();
    benchmark::DoNotOptimize(list.GetCount());
  }
}

}  // namespace

BENCHMARK(BM_strcmp);
BENCHMARK(BM_strcasecmp);
BENCHMARK(BM_AnsiCompareStr);
BENCHMARK(BM_AnsiCompareText);
BENCHMARK(BM_AnsiCompareText_CaseTies);
BENCHMARK(BM_SortedStringList_Add)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringList_Sort)->Unit(benchmark::kMillisecond);
