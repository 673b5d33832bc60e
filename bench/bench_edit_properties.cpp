// Edit properties on the grid's hot paths: the in-place editor pool copies
// a row's properties into its editor at every cell change (Assign, here
// with three buttons), and every cell layout reads the alignment.
#include <benchmark/benchmark.h>

#include "library/editors/core/cxEditProperties.h"

namespace {

TcxCustomEditProperties* MakeProperties(bool withSettings) {
  auto* p = New<TcxCustomEditProperties>(nullptr);
  if (!withSettings) return p;
  p->SetAutoSelect(false);
  p->GetAlignment()->SetHorz(taRightJustify);
  p->SetReadOnly(true);
  const TcxEditButtonKind kinds[] = {bkDown, bkEllipsis, bkText};
  for (TcxEditButtonKind kind : kinds) {
    TcxEditButton* b = p->GetButtons()->Add();
    b->SetKind(kind);
    b->SetCaption("&Go");
  }
  return p;
}

struct Listener : TObject {
  Integer Notices = 0;
  void Changed(TObject*) { ++Notices; }
};

void BM_AssignWithThreeButtons(benchmark::State& state) {
  TcxCustomEditProperties* source = MakeProperties(true);
  TcxCustomEditProperties* target = MakeProperties(false);
  Listener listener;
  target->OnPropertiesChanged = TNotifyEvent::Bind<&Listener::Changed>(&listener);
  for (auto _ : state) {
    target->Assign(source);
    benchmark::DoNotOptimize(target);
  }
  state.counters["notices"] = listener.Notices;
  target->Free();
  source->Free();
}
BENCHMARK(BM_AssignWithThreeButtons)->Iterations(1000000);

void BM_ReadAlignment(benchmark::State& state) {
  TcxCustomEditProperties* p = MakeProperties(true);
  Integer sum = 0;
  for (auto _ : state) {
    sum += p->GetAlignment()->GetHorz();
    benchmark::DoNotOptimize(sum);
  }
  p->Free();
}
BENCHMARK(BM_ReadAlignment)->Iterations(1000000);

void BM_ReadDefaultAlignment(benchmark::State& state) {
  TcxCustomEditProperties* p = MakeProperties(false);
  Integer sum = 0;
  for (auto _ : state) {
    sum += p->GetAlignment()->GetHorz();
    benchmark::DoNotOptimize(sum);
  }
  p->Free();
}
BENCHMARK(BM_ReadDefaultAlignment)->Iterations(1000000);

}  // namespace
