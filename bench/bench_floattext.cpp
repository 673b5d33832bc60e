// Number text in the hot paths of grid painting and data loading.
#include <benchmark/benchmark.h>

#include "platform/rtl/FloatText.h"
#include "platform/rtl/Locale.h"

namespace {

const double kValues[] = {0.0, 1.0, 0.1, 2.5, 123456.789, -98765.4321, 1E20, 1.5E-10, 3.141592653589793, 42.0};

void BM_FloatToStr(benchmark::State& state) {
  ScopedLocale locale("en-US");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FloatToStr(kValues[i++ % std::size(kValues)]));
  }
}
BENCHMARK(BM_FloatToStr);

void BM_FloatToStrFNumber(benchmark::State& state) {
  ScopedLocale locale("de-DE");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FloatToStrF(kValues[i++ % std::size(kValues)], ffNumber, 15, 2));
  }
}
BENCHMARK(BM_FloatToStrFNumber);

void BM_StrToFloat(benchmark::State& state) {
  ScopedLocale locale("en-US");
  const char* texts[] = {"0", "1", "0.1", "2.5", "123456.789", "-98765.4321", "1E20", "1.5E-10", "3.14159265358979"};
  std::size_t i = 0;
  for (auto _ : state) {
    double v;
    benchmark::DoNotOptimize(TryStrToFloat(texts[i++ % std::size(texts)], v));
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_StrToFloat);

}  // namespace
