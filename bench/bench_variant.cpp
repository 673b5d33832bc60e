// Variant copy, comparison and addition per kind pair: summaries add and
// compare millions of these, so numbers must stay allocation-free.
#include <benchmark/benchmark.h>

#include "platform/rtl/Locale.h"
#include "platform/rtl/Variant.h"

namespace {

enum Kind { kInt, kInt64, kDouble, kCurrency, kDate, kBool, kString, kNumericText, kBcd };

Variant Make(int kind, int i) {
  switch (kind) {
    case kInt: return i;
    case kInt64: return Int64(i) << 20;
    case kDouble: return i * 0.5;
    case kCurrency: return Currency::FromRaw(Int64(i) * 125);
    case kDate: return TDateTime(45000.0 + i * 0.25);
    case kBool: return (i & 1) != 0;
    case kString: return AnsiString("value ") + std::to_string(i);
    case kNumericText: return AnsiString(std::to_string(i)) + ".5";
    default: return StrToBcd(std::to_string(i) + ".25");
  }
}

const char* Name(int kind) {
  static const char* names[] = {"Integer", "Int64", "Double", "Currency", "Date", "Boolean", "String", "NumericText", "FMTBcd"};
  return names[kind];
}

constexpr int kValues = 256;

std::vector<Variant> Column(int kind) {
  std::vector<Variant> v;
  for (int i = 0; i < kValues; ++i) v.push_back(Make(kind, i + 1));
  return v;
}

void Copy(benchmark::State& state) {
  std::vector<Variant> src = Column(static_cast<int>(state.range(0)));
  std::vector<Variant> dst(kValues);
  for (auto _ : state) {
    for (int i = 0; i < kValues; ++i) dst[i] = src[i];
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * kValues);
  state.SetLabel(Name(static_cast<int>(state.range(0))));
}

void Compare(benchmark::State& state) {
  ScopedLocale locale("en-US");
  std::vector<Variant> a = Column(static_cast<int>(state.range(0)));
  std::vector<Variant> b = Column(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    int less = 0;
    for (int i = 0; i < kValues; ++i) less += VarCompareValue(a[i], b[kValues - 1 - i]) == vrLessThan;
    benchmark::DoNotOptimize(less);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
  state.SetLabel(std::string(Name(static_cast<int>(state.range(0)))) + " vs " + Name(static_cast<int>(state.range(1))));
}

void Add(benchmark::State& state) {
  ScopedLocale locale("en-US");
  std::vector<Variant> values = Column(static_cast<int>(state.range(1)));
  Variant start = Make(static_cast<int>(state.range(0)), 1);
  for (auto _ : state) {
    Variant sum = start;
    for (const Variant& v : values) sum = sum + v;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
  state.SetLabel(std::string(Name(static_cast<int>(state.range(0)))) + " + " + Name(static_cast<int>(state.range(1))));
}

}  // namespace

BENCHMARK(Copy)->DenseRange(kInt, kBcd);
BENCHMARK(Compare)
    ->Args({kInt, kInt})
    ->Args({kInt, kInt64})
    ->Args({kInt, kDouble})
    ->Args({kDouble, kDouble})
    ->Args({kCurrency, kCurrency})
    ->Args({kCurrency, kDouble})
    ->Args({kDate, kDate})
    ->Args({kBool, kInt})
    ->Args({kString, kString})
    ->Args({kNumericText, kDouble})
    ->Args({kBcd, kBcd});
BENCHMARK(Add)
    ->Args({kInt, kInt})
    ->Args({kInt64, kInt64})
    ->Args({kInt, kDouble})
    ->Args({kDouble, kDouble})
    ->Args({kCurrency, kCurrency})
    ->Args({kCurrency, kInt})
    ->Args({kDate, kDouble})
    ->Args({kInt, kNumericText})
    ->Args({kBcd, kBcd});
