// The editors' solid brush cache on the grid's paint path: every cell asks
// for the brushes of its background and button colours. A hit is a binary
// search; a miss in a full cache evicts the least used colour, deletes its
// brush and makes a new one.
#include <benchmark/benchmark.h>

#include <vector>

#include "library/editors/core/cxEditPaintUtils.h"

namespace {

std::vector<TColor> Colours(Integer ACount) {
  std::vector<TColor> colours;
  for (Integer i = 0; i < ACount; ++i) colours.push_back(static_cast<TColor>(win::RGB(i * 7 % 256, i, 99)));
  return colours;
}

// Cells painted with a palette that fits the cache.
void BM_SolidBrushHit(benchmark::State& state) {
  TcxSolidBrushCache* cache = New<TcxSolidBrushCache>();
  const std::vector<TColor> colours = Colours(static_cast<Integer>(state.range(0)));
  for (TColor c : colours) cache->GetBrush(c);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cache->GetBrush(colours[i]));
    if (++i == colours.size()) i = 0;
  }
  cache->Free();
}
BENCHMARK(BM_SolidBrushHit)->Arg(8)->Arg(128);

// More colours than the cache holds, asked for in turn: every request
// misses and evicts.
void BM_SolidBrushMiss(benchmark::State& state) {
  TcxSolidBrushCache* cache = New<TcxSolidBrushCache>();
  const std::vector<TColor> colours = Colours(256);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cache->GetBrush(colours[i]));
    if (++i == colours.size()) i = 0;
  }
  state.counters["cached"] = cache->GetCount();
  cache->Free();
}
BENCHMARK(BM_SolidBrushMiss);

// System colours bypass the cache.
void BM_SolidBrushSystemColour(benchmark::State& state) {
  TcxSolidBrushCache* cache = New<TcxSolidBrushCache>();
  for (auto _ : state) benchmark::DoNotOptimize(cache->GetBrush(clBtnFace));
  cache->Free();
}
BENCHMARK(BM_SolidBrushSystemColour);

}  // namespace
