// Frames of grid cells without editor windows for the editor benchmarks:
// 1,000 cells of one properties kind, each laid out by one view data at
// its place (CalculateEx), given its value and painted by its own view
// info into a memory bitmap (PaintEx); and the measure of such a frame
// beside a frame of text cells in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "EditorBenchScreen.h"
#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "platform/rtl/Owned.h"

namespace editor_bench {

constexpr Integer kCells = 1000;
constexpr Integer kColumns = 4;
constexpr Integer kCellWidth = 120;
constexpr Integer kCellHeight = 18;

// How a cell gets its value: as the value itself, or (value editors whose
// data prepares the text) as the display text of the value.
enum class CellValue { Edit, DisplayText };

class CellFrame {
 public:
  CellFrame(TcxCustomEditProperties* AProperties, std::vector<Variant> AValues, CellValue AKind = CellValue::Edit,
            Integer ACells = kCells, Integer ACellHeight = kCellHeight)
      : FProperties(AProperties), FValues(std::move(AValues)), FKind(AKind), FCells(ACells), FCellHeight(ACellHeight),
        FStyle(New<TcxEditStyle>(nullptr, true)),
        FBitmap(cxCreateBitmap(kColumns * kCellWidth, ACells / kColumns * ACellHeight)), FCanvas(FBitmap->GetCanvas()) {
    FViewData.reset(TcxCustomEditViewDataClass(AProperties->GetViewDataClass())
                        .Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(AProperties, FStyle.get(),
                                                                                        true));
    FViewData->ContentOffset = TRect(1, 1, 1, 1);
    for (Integer i = 0; i < FCells; ++i)
      FInfos.emplace_back(TcxCustomEditViewInfoClass(AProperties->GetViewInfoClass()).Create());
  }
  Integer Cells() const { return FCells; }
  void Paint() {
    for (Integer i = 0; i < FCells; ++i) {
      const Integer column = i % kColumns, row = i / kColumns;
      const TRect cell(column * kCellWidth, row * FCellHeight, (column + 1) * kCellWidth, (row + 1) * FCellHeight);
      const Variant& value = FValues[i % FValues.size()];
      FViewData->CalculateEx(&FCanvas, cell, {-1, -1}, cxmbNone, {}, FInfos[i].get(), false);
      if (FKind == CellValue::DisplayText) {
        Variant display;
        FProperties->PrepareDisplayValue(value, display, false);
        static_cast<TcxCustomTextEditViewData*>(FViewData.get())->DisplayValueToDrawValue(display, FInfos[i].get());
      } else {
        FViewData->EditValueToDrawValue(&FCanvas, value, FInfos[i].get());
      }
      FInfos[i]->PaintEx(&FCanvas);
    }
  }
  // The cells painted again as they were laid out last.
  void Repaint() {
    for (Integer i = 0; i < FCells; ++i) FInfos[i]->PaintEx(&FCanvas);
  }

 private:
  TOwned<TcxCustomEditProperties> FProperties;
  std::vector<Variant> FValues;
  CellValue FKind;
  Integer FCells;
  Integer FCellHeight;
  TOwned<TcxEditStyle> FStyle;
  TOwned<TcxCustomEditViewData> FViewData;
  std::vector<TOwned<TcxCustomEditViewInfo>> FInfos;
  TOwned<TBitmap> FBitmap;
  TcxCanvas FCanvas;
};

inline void StartConcreteUnits() {
  TheScreen();
  RegisterConcreteEditorUnits();
}

inline double SecondsSince(std::chrono::steady_clock::time_point AStart) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - AStart).count();
}

// Runs the kind's frame and, alternately, a frame of as many text cells of
// the same size holding ATextValues, so that both meet the same machine
// state: "per_cell" is one cell's time, "text_per_cell" a text cell's,
// "to_text" their ratio.
inline void MeasureAgainstText(benchmark::State& state, TcxCustomEditProperties* AProperties,
                               std::vector<Variant> AValues, CellValue AKind, std::vector<Variant> ATextValues,
                               Integer ACells = kCells, Integer ACellHeight = kCellHeight) {
  StartConcreteUnits();
  CellFrame frame(AProperties, std::move(AValues), AKind, ACells, ACellHeight);
  CellFrame text(New<TcxTextEditProperties>(nullptr), std::move(ATextValues), CellValue::Edit, ACells, ACellHeight);
  double textSeconds = 0, ownSeconds = 0;
  int textFrames = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    frame.Paint();
    ownSeconds += SecondsSince(start);
    state.PauseTiming();
    const auto textStart = std::chrono::steady_clock::now();
    text.Paint();
    textSeconds += SecondsSince(textStart);
    ++textFrames;
    state.ResumeTiming();
  }
  state.counters["per_cell"] = benchmark::Counter(static_cast<double>(state.iterations()) * frame.Cells(),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["text_per_cell"] = benchmark::Counter(textSeconds / textFrames / frame.Cells());
  state.counters["to_text"] =
      benchmark::Counter((ownSeconds / static_cast<double>(state.iterations())) / (textSeconds / textFrames));
}

}  // namespace editor_bench
