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

#include "EditorBenchScreen.h"
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

constexpr Integer kCells = 1000;
constexpr Integer kColumns = 4;
constexpr Integer kCellWidth = 120;
constexpr Integer kCellHeight = 18;

// One frame's worth of cells of a properties kind. Value editors get their
// display text prepared per cell; the text editor takes its value as is.
class CellFrame {
 public:
  CellFrame(TcxCustomEditProperties* AProperties, std::vector<Variant> AValues, bool APrepareText)
      : FProperties(AProperties), FValues(std::move(AValues)), FPrepareText(APrepareText),
        FStyle(New<TcxEditStyle>(nullptr, true)),
        FBitmap(cxCreateBitmap(kColumns * kCellWidth, kCells / kColumns * kCellHeight)),
        FCanvas(FBitmap->GetCanvas()) {
    FViewData.reset(TcxCustomEditViewDataClass(AProperties->GetViewDataClass())
                        .Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(AProperties, FStyle.get(),
                                                                                        true));
    FViewData->ContentOffset = TRect(1, 1, 1, 1);
    for (Integer i = 0; i < kCells; ++i)
      FInfos.emplace_back(TcxCustomEditViewInfoClass(AProperties->GetViewInfoClass()).Create());
  }
  void Paint() {
    auto* textData = static_cast<TcxCustomTextEditViewData*>(FViewData.get());
    for (Integer i = 0; i < kCells; ++i) {
      const Integer column = i % kColumns, row = i / kColumns;
      const TRect cell(column * kCellWidth, row * kCellHeight, (column + 1) * kCellWidth, (row + 1) * kCellHeight);
      const Variant& value = FValues[i % FValues.size()];
      FViewData->CalculateEx(&FCanvas, cell, {-1, -1}, cxmbNone, {}, FInfos[i].get(), false);
      if (FPrepareText) {
        Variant display;
        FProperties->PrepareDisplayValue(value, display, false);
        textData->DisplayValueToDrawValue(display, FInfos[i].get());
      } else {
        FViewData->EditValueToDrawValue(&FCanvas, value, FInfos[i].get());
      }
      FInfos[i]->PaintEx(&FCanvas);
    }
  }

 private:
  TOwned<TcxCustomEditProperties> FProperties;
  std::vector<Variant> FValues;
  bool FPrepareText;
  TOwned<TcxEditStyle> FStyle;
  TOwned<TcxCustomEditViewData> FViewData;
  std::vector<TOwned<TcxCustomEditViewInfo>> FInfos;
  TOwned<TBitmap> FBitmap;
  TcxCanvas FCanvas;
};

void StartUnits() {
  editor_bench::TheScreen();
  RegisterConcreteEditorUnits();
}

double Seconds(std::chrono::steady_clock::time_point AStart) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - AStart).count();
}

// The kind's frame and, alternately, the text cells' frame, so that both
// meet the same machine state.
void MeasureAgainstText(benchmark::State& state, TcxCustomEditProperties* AProperties, std::vector<Variant> AValues) {
  StartUnits();
  CellFrame frame(AProperties, std::move(AValues), true);
  CellFrame text(New<TcxTextEditProperties>(nullptr), {Variant("12/10/2008"), Variant("14:05:30"), Variant("$1.50")},
                 false);
  double textSeconds = 0, ownSeconds = 0;
  int textFrames = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    frame.Paint();
    ownSeconds += Seconds(start);
    state.PauseTiming();
    const auto textStart = std::chrono::steady_clock::now();
    text.Paint();
    textSeconds += Seconds(textStart);
    ++textFrames;
    state.ResumeTiming();
  }
  state.counters["per_cell"] = benchmark::Counter(static_cast<double>(state.iterations()) * kCells,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["text_per_cell"] = benchmark::Counter(textSeconds / textFrames / kCells);
  state.counters["to_text"] =
      benchmark::Counter((ownSeconds / static_cast<double>(state.iterations())) / (textSeconds / textFrames));
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
  StartUnits();
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
  StartUnits();
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
