// The in-place editor pool at a cell change: the grid asks for the editor
// of the new row's properties, and the pool copies that row's settings
// into the editor it hands out. Two rows of one kind alternate, as when
// the user walks down a column whose rows differ in their settings; the
// editor stays on the grid's form, hidden, as the grid leaves it between
// uses.
#include <benchmark/benchmark.h>

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"

namespace {

TcxCustomEditProperties* MakeRow(bool withButtons) {
  auto* p = New<TcxCustomEditProperties>(nullptr);
  if (!withButtons) {
    p->GetAlignment()->SetHorz(taRightJustify);
    p->SetReadOnly(true);
    return p;
  }
  const TcxEditButtonKind kinds[] = {bkDown, bkEllipsis, bkText};
  for (TcxEditButtonKind kind : kinds) {
    TcxEditButton* b = p->GetButtons()->Add();
    b->SetKind(kind);
    b->SetCaption("&Go");
  }
  return p;
}

void BM_PoolGetEditAlternatingRows(benchmark::State& state) {
  RegisterEditorUnits();
  forms::test::Session session;
  TCustomForm* grid = TCustomForm::CreateNew(nullptr);
  grid->SetBoundsRect({0, 0, 400, 300});
  grid->Show();
  TcxCustomEditProperties* rows[] = {MakeRow(true), MakeRow(false)};
  auto* pool = New<TcxInplaceEditList>();
  TcxCustomEdit* edit = pool->GetEdit(rows[0]);
  edit->SetParent(grid);
  // The rows' handlers travel with the copy; the copy itself must not
  // fire them.
  Integer changes = 0;
  for (TcxCustomEditProperties* p : rows) p->OnChange = [&changes](TObject*) { ++changes; };

  std::size_t row = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pool->GetEdit(rows[row]));
    row ^= 1;
  }
  state.counters["change events"] = changes;
  state.counters["editors"] = pool->GetCount();
  pool->Free();
  for (TcxCustomEditProperties* p : rows) p->Free();
  grid->Free();
}
BENCHMARK(BM_PoolGetEditAlternatingRows)->Iterations(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
