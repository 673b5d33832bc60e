// One frame of a value grid: 300 cells, each with a drop-down button, laid
// out by one view data (CalculateEx at the cell's place) and painted by its
// own view info (PaintEx) on one canvas, as the grid paints cells that have
// no editor window. The counter "per_cell" is the time of one cell (in seconds, with an SI prefix).
#include <benchmark/benchmark.h>

#include <vector>

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/Owned.h"

namespace {

constexpr Integer kCells = 300;
constexpr Integer kCellWidth = 160;
constexpr Integer kCellHeight = 18;

void BM_GridFrameOfCellsWithADownButton(benchmark::State& state) {
  RegisterEditorUnits();
  forms::test::Session session;
  {
    TOwned<TcxCustomEditProperties> properties(New<TcxCustomEditProperties>(nullptr));
    properties->GetButtons()->Add()->SetKind(bkDown);
    TOwned<TcxEditStyle> style(New<TcxEditStyle>(nullptr, true));
    TOwned<TcxCustomEditViewData> viewData(
        TcxCustomEditViewDataClass(properties->GetViewDataClass())
            .Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(properties.get(), style.get(), true));
    viewData->ContentOffset = TRect(1, 1, 1, 1);
    std::vector<TOwned<TcxCustomEditViewInfo>> infos;
    for (Integer i = 0; i < kCells; ++i)
      infos.emplace_back(TcxCustomEditViewInfoClass(properties->GetViewInfoClass()).Create());
    TOwned<TBitmap> bitmap(cxCreateBitmap(kCellWidth * 2, kCells * kCellHeight / 2));
    TcxCanvas canvas(bitmap->GetCanvas());
    const TPoint mouse(kCellWidth - 5, 5);  // over the first cell's button

    for (auto _ : state) {
      for (Integer i = 0; i < kCells; ++i) {
        const Integer column = i % 2, row = i / 2;
        const TRect cell(column * kCellWidth, row * kCellHeight, (column + 1) * kCellWidth, (row + 1) * kCellHeight);
        viewData->CalculateEx(&canvas, cell, mouse, cxmbNone, {}, infos[i].get(), false);
        infos[i]->PaintEx(&canvas);
      }
      benchmark::ClobberMemory();
    }
    state.counters["per_cell"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kCells,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
  }
}
BENCHMARK(BM_GridFrameOfCellsWithADownButton)->Unit(benchmark::kMicrosecond);

}  // namespace
