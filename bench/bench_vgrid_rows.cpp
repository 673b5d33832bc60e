// The vertical grid's row tree at 10^2 .. 10^5 rows: generated trees (depth
// up to 4, every third row a category, editor rows of Integer, Float,
// String and Boolean values, seeded) built row by row outside and inside
// an update bracket, expanded and collapsed whole, cleared, and searched
// by absolute index, flat index and ID. The grid lies on a shown form, so
// every change outside a bracket reaches its layout. Building, expanding
// and clearing should grow ten times per size step; a search should cost
// the same at every size.
#include <benchmark/benchmark.h>

#include <vector>

#include "RatioReporter.h"
#include "library/grid/GridStartup.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"

namespace {

void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t n : {100, 1000, 10000, 100000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

struct Bench {
  Bench() {
    RegisterGridUnits();
    session = new forms::test::Session;
    form = TCustomForm::CreateNew<TForm>(nullptr);
    form->SetBoundsRect({0, 0, 400, 300});
    form->Show();
  }
  ~Bench() {
    form->Free();
    delete session;
  }
  TcxVerticalGrid* NewGrid() {
    auto* grid = New<TcxVerticalGrid>(form);
    grid->SetParent(form);
    return grid;
  }
  forms::test::Session* session;
  TForm* form;
};

// Adds ACount rows: every third a category (at most three deep), the
// others editor rows under the open category, of four value types.
std::vector<TcxCustomRow*> Build(TcxVerticalGrid* AGrid, Integer ACount) {
  static const TcxValueTypeClass kTypes[] = {TcxIntegerValueType::Class(), TcxFloatValueType::Class(),
                                             TcxStringValueType::Class(), TcxBooleanValueType::Class()};
  std::vector<TcxCustomRow*> rows;
  rows.reserve(static_cast<size_t>(ACount));
  std::vector<TcxCustomRow*> open;
  unsigned seed = 2024;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
  for (Integer i = 0; i < ACount; ++i) {
    // Close some categories, so that the tree spreads as well as deepens.
    while (!open.empty() && next() % 4 == 0) open.pop_back();
    TcxCustomRow* parent = open.empty() ? nullptr : open.back();
    if (i % 3 == 0) {
      TcxCustomRow* category = AGrid->AddChild(parent, TcxCategoryRow::StaticClass());
      if (open.size() < 3) open.push_back(category);
      rows.push_back(category);
      continue;
    }
    auto* row = static_cast<TcxEditorRow*>(AGrid->AddChild(parent, TcxEditorRow::StaticClass()));
    row->GetProperties()->GetDataBinding()->SetValueTypeClass(kTypes[next() % 4]);
    rows.push_back(row);
  }
  return rows;
}

void BM_AddRowsOutsideBracket(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    TcxVerticalGrid* grid = bench.NewGrid();
    benchmark::DoNotOptimize(Build(grid, static_cast<Integer>(state.range(0))));
    state.PauseTiming();
    grid->Free();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddRowsOutsideBracket)->Apply(Sizes)->Iterations(1);

void BM_AddRowsInsideBracket(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    TcxVerticalGrid* grid = bench.NewGrid();
    grid->BeginUpdate();
    benchmark::DoNotOptimize(Build(grid, static_cast<Integer>(state.range(0))));
    grid->EndUpdate();
    state.PauseTiming();
    grid->Free();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddRowsInsideBracket)->Apply(Sizes)->Iterations(1);

void BM_FullCollapseThenFullExpand(benchmark::State& state) {
  Bench bench;
  TcxVerticalGrid* grid = bench.NewGrid();
  Build(grid, static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    grid->FullCollapse();
    grid->FullExpand();
  }
  grid->Free();
}
BENCHMARK(BM_FullCollapseThenFullExpand)->Apply(Sizes)->Iterations(5);

void BM_ClearRows(benchmark::State& state) {
  Bench bench;
  for (auto _ : state) {
    state.PauseTiming();
    TcxVerticalGrid* grid = bench.NewGrid();
    Build(grid, static_cast<Integer>(state.range(0)));
    state.ResumeTiming();
    grid->ClearRows();
    state.PauseTiming();
    grid->Free();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClearRows)->Apply(Sizes)->Iterations(1);

// One search of each kind for a row spread over the tree.
void BM_FindRow(benchmark::State& state) {
  Bench bench;
  TcxVerticalGrid* grid = bench.NewGrid();
  std::vector<TcxCustomRow*> rows = Build(grid, static_cast<Integer>(state.range(0)));
  TcxVerticalGridRows* all = grid->GetRows();
  all->GetCount();
  size_t i = 0;
  for (auto _ : state) {
    TcxCustomRow* row = rows[(i += 7919) % rows.size()];
    benchmark::DoNotOptimize(row->GetAbsoluteIndex());
    benchmark::DoNotOptimize(all->IndexOf(row));
    benchmark::DoNotOptimize(all->FindRowByID(row->GetID()));
  }
  grid->Free();
}
BENCHMARK(BM_FindRow)->Apply(Sizes)->Unit(benchmark::kNanosecond);

}  // namespace

ORV_RATIO_BENCHMARK_MAIN()
