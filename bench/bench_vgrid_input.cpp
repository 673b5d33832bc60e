// The vertical grid's input: Down across 1,000 rows (with ImmediateEditor
// and AlwaysShowEditor each on and off, so that an editor opens and closes
// on every row when asked), and one mouse move of a divider drag. A step
// of Down costs the same wherever the focus is; a move of the drag costs a
// layout of what is on show.
#include <benchmark/benchmark.h>

#include <vector>

#include "RatioReporter.h"
#include "library/grid/GridStartup.h"
#include "library/grid/cxVGrid.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"

namespace {

struct Bench {
  Bench() {
    RegisterGridUnits();
    session = new forms::test::Session;
    form = TCustomForm::CreateNew<TForm>(nullptr);
    form->SetBoundsRect({0, 0, 820, 640});
    form->Show();
    grid = New<TcxVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 800, 600);
  }
  ~Bench() {
    form->Free();
    delete session;
  }
  // ACount editor rows of integers under one category, and the focus on
  // the category.
  void Build(Integer ACount) {
    grid->BeginUpdate();
    TcxCustomRow* category = grid->AddChild(nullptr, TcxCategoryRow::StaticClass());
    for (Integer i = 0; i < ACount; ++i) {
      auto* row = static_cast<TcxEditorRow*>(grid->AddChild(category, TcxEditorRow::StaticClass()));
      row->GetProperties()->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
      row->GetProperties()->SetValue(Variant(i));
    }
    grid->EndUpdate();
    grid->SetFocus();
    grid->SetFocusedRow(category);
    win::test::PumpUntilIdle();
  }
  forms::test::Session* session;
  TForm* form;
  TcxVerticalGrid* grid;
};

// Range 0: plain; 1: ImmediateEditor; 2: AlwaysShowEditor.
void BM_DownAcross1000Rows(benchmark::State& state) {
  Bench bench;
  bench.Build(1000);
  TcxvgOptionsBehavior* behavior = bench.grid->GetOptionsBehavior();
  behavior->SetImmediateEditor(state.range(0) == 1);
  behavior->SetAlwaysShowEditor(state.range(0) == 2);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      win::test::KeyPress(win::VK_DOWN);
      win::test::PumpUntilIdle();
    }
    state.PauseTiming();
    win::test::KeyDown(win::VK_CONTROL);
    win::test::KeyPress(win::VK_PRIOR);
    win::test::KeyUp(win::VK_CONTROL);
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DownAcross1000Rows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One mouse move of a drag of the header divider, at 100 .. 100,000 rows.
void BM_DividerDragMove(benchmark::State& state) {
  Bench bench;
  bench.Build(static_cast<Integer>(state.range(0)));
  TcxvgCustomViewInfo* viewInfo = bench.grid->GetVGViewInfo();
  const Integer x = bench.grid->GetOptionsView()->GetRowHeaderWidth() + viewInfo->GetVertLineWidth();
  win::test::MouseMove(bench.grid->GetHandle(), {x, 40});
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  Integer step = 0;
  for (auto _ : state) {
    win::test::MouseMove(bench.grid->GetHandle(), {x + (++step % 2 ? 1 : 0), 40});
    win::test::PumpUntilIdle();
  }
  win::test::MouseUp();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_DividerDragMove)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

ORV_RATIO_BENCHMARK_MAIN()
