// The combo box's popup with 10^2 to 10^5 items: one open (the list filled,
// its widest item measured, placed and painted for the first time) and
// close; one typed character of incremental search with 10^4 items while
// the list is open; and one mouse move of a sizing drag of that list. The growth per 10x step shows whether opening
// stays linear in the item count.
#include <benchmark/benchmark.h>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxComboBox.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

TcxComboBox* MakeCombo(Integer ACount) {
  auto* combo = New<TcxComboBox>(TheScreen().form);
  combo->SetBoundsRect({20, 30, 170, 51});
  combo->SetParent(TheScreen().form);
  TStrings* items = combo->GetProperties()->GetItems();
  items->BeginUpdate();
  for (Integer i = 0; i < ACount; ++i) items->Add("Item number " + IntToStr(i));
  items->EndUpdate();
  combo->SetFocus();
  win::test::PumpUntilIdle();
  return combo;
}

void BM_OpenAndPaintPopup(benchmark::State& state) {
  TcxComboBox* combo = MakeCombo(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    combo->SetDroppedDown(true);
    win::test::PumpUntilIdle();
    if (!combo->GetDroppedDown()) state.SkipWithError("the popup did not open");
    combo->SetDroppedDown(false);
    win::test::PumpUntilIdle();
  }
  combo->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_OpenAndPaintPopup)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond);

// One character typed and taken back, the list open over 10^4 items; the
// search finds the last item.
void BM_TypedCharacterWithOpenList(benchmark::State& state) {
  TcxComboBox* combo = MakeCombo(10000);
  combo->SetDroppedDown(true);
  win::test::PumpUntilIdle();
  win::test::TypeText("Item number 999");
  win::test::PumpUntilIdle();
  for (auto _ : state) {
    win::test::TypeText("9");
    win::test::PumpUntilIdle();
    win::test::KeyPress(win::VK_BACK);
    win::test::PumpUntilIdle();
  }
  combo->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_TypedCharacterWithOpenList)->Unit(benchmark::kMicrosecond);

// One mouse move of a drag on the size grip of the open list over 10^4
// items: the sizing outline follows the mouse, the size rounded to whole
// rows. The moves go out and back so that every one changes the size.
void BM_SizingDragMouseMove(benchmark::State& state) {
  TcxComboBox* combo = MakeCombo(10000);
  combo->GetProperties()->SetDropDownSizeable(true);
  combo->SetDroppedDown(true);
  win::test::PumpUntilIdle();
  TcxCustomEditPopupWindow* popup = combo->GetPopupWindow();
  if (!combo->GetDroppedDown() || !popup) {
    state.SkipWithError("the popup did not open");
    return;
  }
  const TRect grip = popup->GetViewInfo()->SizeGripRect;
  const TPoint from(popup->GetLeft() + (grip.Left + grip.Right) / 2, popup->GetTop() + (grip.Top + grip.Bottom) / 2);
  win::test::MouseMove(from);
  win::test::MouseDown();
  const Integer width = popup->GetWidth();
  Integer step = 0;
  for (auto _ : state) {
    const Integer offset = 20 + 10 * (step++ % 8);
    win::test::MouseMove(TPoint(from.X + offset, from.Y + offset));
    win::test::PumpUntilIdle();
  }
  // While the drag lasts only the outline follows the mouse; the popup
  // takes its new size when the button is released.
  win::test::MouseUp();
  win::test::PumpUntilIdle();
  if (popup->GetWidth() == width) state.SkipWithError("the drag did not size the popup");
  combo->SetDroppedDown(false);
  combo->Free();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_SizingDragMouseMove)->Unit(benchmark::kMicrosecond);

}  // namespace
