// The editor control on its hot paths: every value the grid loads or the
// user changes goes through SetEditValue (with its change events fired, or
// collected under the lock), and every mouse move over an editor
// recalculates its view info and repaints what changed.
#include <benchmark/benchmark.h>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxCustomEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

// Properties that compare values, so that a change fires the events.
class TBenchEditProperties : public TcxCustomEditProperties {
  ORV_CLASS(TBenchEditProperties, TcxCustomEditProperties)
 public:
  explicit TBenchEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}
  bool CanCompareEditValue() const override { return true; }
};

class TBenchEdit : public TcxCustomEdit {
  ORV_CLASS(TBenchEdit, TcxCustomEdit)
 public:
  explicit TBenchEdit(TComponent* AOwner) : TcxCustomEdit(AOwner) {}

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TBenchEditProperties::StaticClass();
  }
};

struct Counter : TObject {
  Integer Count = 0;
  void Changed(TObject*) { ++Count; }
};

void SetEditValues(benchmark::State& state, bool ALocked) {
  auto* edit = New<TBenchEdit>(TheScreen().form);
  edit->SetParent(TheScreen().form);
  Counter changes;
  edit->GetProperties()->OnChange = TNotifyEvent::Bind<&Counter::Changed>(&changes);
  edit->GetProperties()->OnEditValueChanged = TNotifyEvent::Bind<&Counter::Changed>(&changes);
  if (ALocked) edit->LockChangeEvents(true);
  Integer i = 0;
  for (auto _ : state) edit->SetEditValue(Variant(++i));
  if (ALocked) edit->LockChangeEvents(false);
  state.counters["events"] = changes.Count;
  edit->Free();
}

void BM_SetEditValue(benchmark::State& state) { SetEditValues(state, false); }
BENCHMARK(BM_SetEditValue)->Iterations(100000);

void BM_SetEditValueLocked(benchmark::State& state) { SetEditValues(state, true); }
BENCHMARK(BM_SetEditValueLocked)->Iterations(100000);

// Moves between a button and the text area, so that each move changes a
// button's state and repaints it.
void BM_MouseMoveOverThreeButtons(benchmark::State& state) {
  auto* edit = New<TBenchEdit>(TheScreen().form);
  for (TcxEditButtonKind kind : {bkDown, bkEllipsis, bkText}) edit->GetProperties()->GetButtons()->Add()->SetKind(kind);
  edit->SetEditAutoSize(false);
  edit->SetBoundsRect({10, 10, 210, 31});
  edit->SetParent(TheScreen().form);
  win::test::PumpUntilIdle();
  const TRect button = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  const win::LPARAM overButton = static_cast<win::LPARAM>((((button.Top + button.Bottom) / 2) << 16) |
                                                          ((button.Left + button.Right) / 2));
  const win::LPARAM overText = static_cast<win::LPARAM>((10 << 16) | 10);
  bool onButton = false;
  for (auto _ : state) {
    onButton = !onButton;
    edit->Perform(win::WM_MOUSEMOVE, 0, onButton ? overButton : overText);
  }
  win::test::PumpUntilIdle();
  edit->Free();
}
BENCHMARK(BM_MouseMoveOverThreeButtons)->Iterations(20000);

}  // namespace

ORV_REGISTER(TBenchEditProperties)
ORV_REGISTER(TBenchEdit)
