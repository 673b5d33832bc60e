// Incremental search in a text editor's lookup items: the search one typed
// character runs, over 10^2 to 10^4 items, with the match on the last item
// (the whole list is read) and with no match at all. The platform list
// box's own prefix search over the same items runs as the peer.
#include <benchmark/benchmark.h>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "platform/controls/ListBox.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

class TBenchLookupProperties : public TcxTextEditProperties {
  ORV_CLASS(TBenchLookupProperties, TcxTextEditProperties)
 public:
  explicit TBenchLookupProperties(TPersistent* AOwner) : TcxTextEditProperties(AOwner) {}
  TClass GetLookupDataClass() const override { return TcxCustomTextEditLookupData::StaticClass(); }
};

class TBenchLookupEdit : public TcxTextEdit {
  ORV_CLASS(TBenchLookupEdit, TcxTextEdit)
 public:
  explicit TBenchLookupEdit(TComponent* AOwner) : TcxTextEdit(AOwner) {}
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TBenchLookupProperties::StaticClass();
  }
};

void FillItems(TStrings* AItems, Integer ACount) {
  AItems->BeginUpdate();
  for (Integer i = 1; i <= ACount; ++i) AItems->Add("Item " + IntToStr(i));
  AItems->EndUpdate();
}

void Search(benchmark::State& state, bool AFound) {
  const auto count = static_cast<Integer>(state.range(0));
  auto* edit = New<TBenchLookupEdit>(TheScreen().form);
  edit->SetParent(TheScreen().form);
  FillItems(edit->GetActiveProperties()->GetLookupItems(), count);
  IcxTextEditLookupData* lookup = edit->GetILookupData();
  // "Item N" begins only the last item; "Item x" begins none.
  const AnsiString typed = AFound ? "item " + IntToStr(count) : AnsiString("item x");
  for (auto _ : state) {
    AnsiString text = typed, tail;
    benchmark::DoNotOptimize(lookup->Locate(text, tail));
  }
  state.SetComplexityN(count);
  edit->Free();
}

void BM_LookupSearchFindsTheLastItem(benchmark::State& state) { Search(state, true); }
void BM_LookupSearchFindsNothing(benchmark::State& state) { Search(state, false); }

// The peer: the platform list box's search for the first item that begins
// with a text.
void BM_PlatformListFindString(benchmark::State& state) {
  const auto count = static_cast<Integer>(state.range(0));
  auto* list = New<TListBox>(TheScreen().form);
  list->SetParent(TheScreen().form);
  FillItems(list->GetItems(), count);
  const AnsiString typed = "item " + IntToStr(count);
  for (auto _ : state)
    benchmark::DoNotOptimize(win::SendMessageA(list->GetHandle(), win::LB_FINDSTRING, static_cast<win::WPARAM>(-1),
                                               reinterpret_cast<win::LPARAM>(typed.c_str())));
  state.SetComplexityN(count);
  list->Free();
}

}  // namespace

ORV_REGISTER(TBenchLookupProperties)
ORV_REGISTER(TBenchLookupEdit)

BENCHMARK(BM_LookupSearchFindsTheLastItem)->RangeMultiplier(10)->Range(100, 10000)->Complexity();
BENCHMARK(BM_LookupSearchFindsNothing)->RangeMultiplier(10)->Range(100, 10000)->Complexity();
BENCHMARK(BM_PlatformListFindString)->RangeMultiplier(10)->Range(100, 10000)->Complexity();
