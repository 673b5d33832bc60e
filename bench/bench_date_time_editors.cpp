// The date, time and currency editors as a grid shows them: 1,000 cells
// without editor windows, each with its display text prepared from the
// value (PrepareDisplayValue, as the data does for value editors), laid out
// (CalculateEx), given the text (DisplayValueToDrawValue) and painted
// (PaintEx) into a memory bitmap. Each frame is measured beside a frame of
// the text editor's cells in the same run: "per_cell" is one cell's time,
// "to_text" its ratio to a text cell's (goal: at most 2). Also one full
// paint of the month calendar (goal: well under the 16.7 ms of a frame at
// 60 Hz) and 10,000 typed dates read by TextToDateEx, with and without the
// smart words.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "EditorBenchCells.h"
#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/core/cxDateUtils.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/editors/cxCalendar.h"
#include "library/editors/cxCurrencyEdit.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxTimeEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Owned.h"
#include "platform/win/WindowDC.h"

namespace {

using namespace editor_bench;

// Value editors' cells get the display text the data prepares.
void MeasureAgainstText(benchmark::State& state, TcxCustomEditProperties* AProperties, std::vector<Variant> AValues) {
  editor_bench::MeasureAgainstText(state, AProperties, std::move(AValues), CellValue::DisplayText,
                                   {Variant("12/10/2008"), Variant("14:05:30"), Variant("$1.50")});
}

void BM_DateCells(benchmark::State& state) {
  MeasureAgainstText(state, New<TcxDateEditProperties>(nullptr),
                     {Variant(EncodeDate(2008, 12, 10) + 0.4375), Variant(EncodeDate(1999, 1, 31)),
                      Variant(EncodeDate(2024, 2, 29) + 0.75)});
}
BENCHMARK(BM_DateCells)->Unit(benchmark::kMillisecond);

void BM_TimeCells(benchmark::State& state) {
  MeasureAgainstText(state, New<TcxTimeEditProperties>(nullptr),
                     {Variant(EncodeTime(14, 5, 30, 0)), Variant(EncodeTime(0, 0, 1, 0)),
                      Variant(EncodeTime(23, 59, 59, 0))});
}
BENCHMARK(BM_TimeCells)->Unit(benchmark::kMillisecond);

void BM_CurrencyCells(benchmark::State& state) {
  MeasureAgainstText(state, New<TcxCurrencyEditProperties>(nullptr),
                     {Variant(1234.5), Variant(-0.25), Variant(1000000.0)});
}
BENCHMARK(BM_CurrencyCells)->Unit(benchmark::kMillisecond);

// One whole paint of the calendar on the screen's form: header, day names,
// 42 days and the buttons' strip.
void BM_CalendarPaint(benchmark::State& state) {
  StartConcreteUnits();
  TForm* form = editor_bench::TheScreen().form;
  auto* calendar = New<TcxCalendar>(form);
  calendar->SetParent(form);
  calendar->SetWeekNumbers(true);
  win::test::PumpUntilIdle();
  calendar->Calculate();
  for (auto _ : state) {
    calendar->Invalidate();
    calendar->Update();
  }
  // The frame of today's cell must be on screen: the loop painted.
  const TRect grid = calendar->GetDayGridRect();
  bool framed = false;
  win::HDC dc = win::GetDC(calendar->GetHandle());
  for (Integer y = grid.Top; y < grid.Bottom && !framed; ++y)
    for (Integer x = grid.Left; x < grid.Right && !framed; ++x) framed = win::GetPixel(dc, x, y) == 0x000080;
  win::ReleaseDC(calendar->GetHandle(), dc);
  if (!framed) state.SkipWithError("the calendar did not paint");
  calendar->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_CalendarPaint)->Unit(benchmark::kMicrosecond);

// 10,000 typed dates: plain dates in the locale's form, or smart words
// with day offsets.
void ReadDates(benchmark::State& state, bool ASmart) {
  StartConcreteUnits();
  std::vector<AnsiString> texts;
  for (int i = 0; i < 10000; ++i) {
    if (ASmart)
      texts.push_back(cxGetSmartWord(i % 20) + (i % 3 == 0 ? "+" + std::to_string(i % 30) : AnsiString()));
    else
      texts.push_back(std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/" +
                      std::to_string(1990 + i % 40));
  }
  for (auto _ : state) {
    int read = 0;
    for (const AnsiString& text : texts) {
      TDateTime date;
      read += TextToDateEx(text, date) ? 1 : 0;
    }
    benchmark::DoNotOptimize(read);
  }
  state.counters["per_text"] = benchmark::Counter(static_cast<double>(state.iterations()) * texts.size(),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TextToDatePlain(benchmark::State& state) { ReadDates(state, false); }
BENCHMARK(BM_TextToDatePlain)->Unit(benchmark::kMillisecond);

void BM_TextToDateSmartWords(benchmark::State& state) { ReadDates(state, true); }
BENCHMARK(BM_TextToDateSmartWords)->Unit(benchmark::kMillisecond);

}  // namespace
