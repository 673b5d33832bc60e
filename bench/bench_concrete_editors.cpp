// The concrete editors as a grid shows them: 1,000 cells without editor
// windows (500 radio-group cells of four items), each laid out by one view
// data at its place (CalculateEx), given its value (EditValueToDrawValue)
// and painted by its own view info into a memory bitmap (PaintEx). Each
// frame of spin, check-box or radio-group cells is measured beside a frame
// of the text editor's cells of the same size in the same run: the counter
// "per_cell" is one cell's time, "to_text" its ratio to a text cell's
// (budget: the check box at most 1, the spin cell at most 1.5, the radio
// group at most 3). Also one step of a focused spin editor with its text,
// which a held key repeats about 30 times a second, and a shown radio
// group given 64 items one by one (one window and one layout each): the
// counter "last_to_first" compares the last 16 additions with the first
// 16 and stays near 1 while the cost grows linearly.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "EditorBenchCells.h"
#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/rtl/Owned.h"

namespace {

using namespace editor_bench;

void MeasureAgainstText(benchmark::State& state, TcxCustomEditProperties* AProperties, std::vector<Variant> AValues,
                        Integer ACells = kCells, Integer ACellHeight = kCellHeight) {
  editor_bench::MeasureAgainstText(state, AProperties, std::move(AValues), CellValue::Edit,
                                   {Variant("12345"), Variant("678"), Variant("90.25")}, ACells, ACellHeight);
}

void StartUnits() { StartConcreteUnits(); }

void BM_TextCells(benchmark::State& state) {
  StartUnits();
  CellFrame frame(New<TcxTextEditProperties>(nullptr), {Variant("12345"), Variant("678"), Variant("90.25")});
  for (auto _ : state) frame.Paint();
  state.counters["per_cell"] = benchmark::Counter(static_cast<double>(state.iterations()) * kCells,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TextCells)->Unit(benchmark::kMillisecond);

void BM_SpinCells(benchmark::State& state) {
  auto* properties = New<TcxSpinEditProperties>(nullptr);
  properties->SetValueType(vtInt);
  properties->SetMinValue(-1000);
  properties->SetMaxValue(100000);
  MeasureAgainstText(state, properties, {Variant(Int64(12345)), Variant(Int64(678)), Variant(Int64(90))});
}
BENCHMARK(BM_SpinCells)->Unit(benchmark::kMillisecond);

void BM_CheckBoxCells(benchmark::State& state) {
  auto* properties = New<TcxCheckBoxProperties>(nullptr);
  properties->SetValueUnchecked(Variant(0));
  properties->SetValueChecked(Variant(5));
  MeasureAgainstText(state, properties, {Variant(5), Variant(0), Null()});
}
BENCHMARK(BM_CheckBoxCells)->Unit(benchmark::kMillisecond);

// The front end's list rows: four items, values Min + j.
void BM_RadioGroupCells(benchmark::State& state) {
  auto* properties = New<TcxRadioGroupProperties>(nullptr);
  properties->SetDefaultValue(Variant(1));
  for (Integer j = 0; j < 4; ++j) {
    TcxRadioGroupItem* item = properties->GetItems()->Add();
    item->SetCaption("Level " + std::to_string(j));
    item->SetValue(Variant(1 + j));
  }
  MeasureAgainstText(state, properties, {Variant(1), Variant(3), Variant(4), Variant(9)}, 500, 4 * 16 + 2);
}
BENCHMARK(BM_RadioGroupCells)->Unit(benchmark::kMillisecond);

// 64 items added one by one to a shown radio group.
void BM_RadioGroupAddItems(benchmark::State& state) {
  StartUnits();
  editor_bench::Screen& screen = editor_bench::TheScreen();
  auto* group = New<TcxRadioGroup>(screen.form);
  group->SetBoundsRect({10, 10, 590, 290});
  group->GetProperties()->SetColumns(4);
  group->SetParent(screen.form);
  win::test::PumpUntilIdle();
  TcxRadioGroupItems* items = group->GetProperties()->GetItems();
  double first = 0, last = 0;
  for (auto _ : state) {
    for (Integer i = 0; i < 64; ++i) {
      const auto start = std::chrono::steady_clock::now();
      items->Add()->SetCaption("Item");
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (i < 16) first += seconds;
      if (i >= 48) last += seconds;
    }
    state.PauseTiming();
    items->Clear();
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.iterations()) * 64,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["last_to_first"] = benchmark::Counter(last / first);
  group->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_RadioGroupAddItems)->Unit(benchmark::kMillisecond);

// One step of a focused spin editor: the value, the arithmetic, the new
// text into the inner edit and the change events.
void BM_SpinIncrementWithItsText(benchmark::State& state) {
  StartUnits();
  editor_bench::Screen& screen = editor_bench::TheScreen();
  auto* spin = New<TcxSpinEdit>(screen.form);
  spin->SetBoundsRect({10, 10, 130, 31});
  spin->SetParent(screen.form);
  spin->GetProperties()->SetValueType(vtInt);
  spin->GetProperties()->SetCircular(true);
  spin->GetProperties()->SetMinMaxValues(0, 1000);
  spin->SetFocus();
  win::test::PumpUntilIdle();
  for (auto _ : state) benchmark::DoNotOptimize(spin->Increment(sebForward));
  spin->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_SpinIncrementWithItsText)->Unit(benchmark::kMicrosecond);

}  // namespace
