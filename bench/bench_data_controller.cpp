// The data controller at 10^3 .. 10^6 records: filling, reloading with each
// kind of sort, grouping, filtering, the incremental filter per keystroke,
// one value change in a sorted and grouped view, and focus and selection.
// After the run, each benchmark's time is compared with the one ten times
// smaller: a ratio well above 10 (over 15) points at a quadratic path.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "RatioReporter.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxData.h"

namespace {

class BenchItem : public TObject {};

class BenchController : public TcxDataController {
 public:
  explicit BenchController(TComponent* AOwner) : TcxDataController(AOwner) {}
  ~BenchController() override {
    for (BenchItem* i : Items) i->Free();
  }
  TObject* GetItem(Integer AIndex) override { return Items.at(static_cast<size_t>(AIndex)); }
  Integer Add(TcxValueTypeClass AType) {
    Items.push_back(New<BenchItem>());
    AddItem(Items.back());
    ChangeValueTypeClass(GetItemCount() - 1, AType);
    return GetItemCount() - 1;
  }
  std::vector<BenchItem*> Items;
};

// Item 0: integer 0..999, item 1: text of 8 letters, item 2: group A (0..9),
// item 3: group B (0..99), item 4: group C (0..999).
BenchController* MakeController(Integer ACount) {
  auto* c = New<BenchController>(nullptr);
  c->Add(TcxIntegerValueType::Class());
  c->Add(TcxStringValueType::Class());
  c->Add(TcxIntegerValueType::Class());
  c->Add(TcxIntegerValueType::Class());
  c->Add(TcxIntegerValueType::Class());
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
  for (Integer r = 0; r < ACount; ++r) {
    const unsigned v = next();
    c->SetValue(r, 0, static_cast<Integer>(v % 1000));
    char text[9];
    for (int k = 0; k < 8; ++k) text[k] = static_cast<char>((k % 2 ? 'a' : 'A') + (next() % 26));
    text[8] = 0;
    c->SetValue(r, 1, text);
    c->SetValue(r, 2, static_cast<Integer>(v % 10));
    c->SetValue(r, 3, static_cast<Integer>(v % 100));
    c->SetValue(r, 4, static_cast<Integer>(v % 1000));
  }
  c->EndUpdate();
  return c;
}

// One controller per size, kept across benchmarks that do not change it.
BenchController* Shared(Integer ACount) {
  static std::map<Integer, BenchController*> controllers;
  auto& c = controllers[ACount];
  if (!c) c = MakeController(ACount);
  return c;
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (Integer n : {1000, 10000, 100000, 1000000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

void BM_Fill(benchmark::State& state) {
  for (auto _ : state) {
    BenchController* c = MakeController(static_cast<Integer>(state.range(0)));
    state.PauseTiming();
    c->Free();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Fill)->Apply(Sizes)->Iterations(1);

void Reload(benchmark::State& state, Integer AItem, TcxDataControllerOptions AOptions) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  c->SetOptions(AOptions);
  c->ChangeSorting(AItem, soAscending);
  for (auto _ : state) c->Refresh();
  c->ClearSorting(false);
  c->SetOptions(cxDataControllerDefaultOptions);
}

void BM_RefreshUnsorted(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  for (auto _ : state) c->Refresh();
}
BENCHMARK(BM_RefreshUnsorted)->Apply(Sizes);

void BM_RefreshSortInteger(benchmark::State& state) { Reload(state, 0, cxDataControllerDefaultOptions); }
BENCHMARK(BM_RefreshSortInteger)->Apply(Sizes);

void BM_RefreshSortText(benchmark::State& state) { Reload(state, 1, cxDataControllerDefaultOptions); }
BENCHMARK(BM_RefreshSortText)->Apply(Sizes);

void BM_RefreshSortTextCaseInsensitive(benchmark::State& state) {
  Reload(state, 1, cxDataControllerDefaultOptions + dcoCaseInsensitive);
}
BENCHMARK(BM_RefreshSortTextCaseInsensitive)->Apply(Sizes)->Iterations(1);

void BM_RefreshSortTextLocale(benchmark::State& state) {
  Reload(state, 1, cxDataControllerDefaultOptions + dcoAnsiSort);
}
BENCHMARK(BM_RefreshSortTextLocale)->Apply(Sizes)->Iterations(1);

void Group(benchmark::State& state, int ALevels) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    c->BeginUpdate();
    for (int l = 0; l < ALevels; ++l) c->GetGroups()->ChangeGrouping(2 + l, l);
    c->EndUpdate();
    state.PauseTiming();
    c->GetGroups()->ClearGrouping();
    state.ResumeTiming();
  }
}
void BM_Group1(benchmark::State& state) { Group(state, 1); }
void BM_Group2(benchmark::State& state) { Group(state, 2); }
void BM_Group3(benchmark::State& state) { Group(state, 3); }
BENCHMARK(BM_Group1)->Apply(Sizes);
BENCHMARK(BM_Group2)->Apply(Sizes);
BENCHMARK(BM_Group3)->Apply(Sizes);

void BM_FilterCriteria(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->AddItem(c->Items[0], foLess, 500, "500");
  for (auto _ : state) {
    filter->SetActive(true);
    state.PauseTiming();
    filter->SetActive(false);
    state.ResumeTiming();
  }
  filter->Clear();
}
BENCHMARK(BM_FilterCriteria)->Apply(Sizes);

void BM_IncrementalFilterKeystroke(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  const char* typed[] = {"A", "Ab", "Abc"};
  for (auto _ : state)
    for (const char* t : typed) benchmark::DoNotOptimize(c->SetIncrementalFilter(1, t));
  c->ResetIncrementalFilter();
}
BENCHMARK(BM_IncrementalFilterKeystroke)->Apply(Sizes);

void BM_SetValueSortedGrouped(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  c->BeginUpdate();
  c->ChangeSorting(0, soAscending);
  c->GetGroups()->ChangeGrouping(2, 0);
  c->EndUpdate();
  Integer value = 0;
  for (auto _ : state) c->SetValue(c->GetRecordCount() / 2, 0, value++ % 1000);
  c->BeginUpdate();
  c->ClearSorting(false);
  c->GetGroups()->ClearGrouping();
  c->EndUpdate();
}
BENCHMARK(BM_SetValueSortedGrouped)->Apply(Sizes);

void BM_FocusMoves(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  c->ChangeSorting(0, soAscending);
  const Integer rows = c->GetRowCount();
  for (auto _ : state)
    for (Integer k = 0; k < 100; ++k) c->ChangeFocusedRecordIndex((k * 7919) % rows);
  c->ClearSorting(false);
}
BENCHMARK(BM_FocusMoves)->Apply(Sizes);

void BM_SelectAllThenResort(benchmark::State& state) {
  BenchController* c = Shared(static_cast<Integer>(state.range(0)));
  c->SetMultiSelect(true);
  for (auto _ : state) {
    c->SelectAll();
    c->ChangeSorting(0, soAscending);
    state.PauseTiming();
    c->ClearSorting(false);
    c->ClearSelection();
    state.ResumeTiming();
  }
  c->SetMultiSelect(false);
}
BENCHMARK(BM_SelectAllThenResort)->Apply(Sizes)->Iterations(1);

}  // namespace

ORV_RATIO_BENCHMARK_MAIN()
