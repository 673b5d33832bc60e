// The text editor's drawing path without an inner edit. Digit grouping of
// number texts (a 15-digit number, and 10^2 to 10^4 digits for the growth),
// with the float formatter's own grouping of the same 15-digit number as the
// peer; and the text of an inactive right-aligned editor drawn by its view
// info (laid out anew, and again from the rows kept between paints), with
// cxTextOut of the same text, rectangle and flags as the peer.
#include <benchmark/benchmark.h>

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Owned.h"

namespace {

AnsiString Digits(Integer ACount) {
  AnsiString S;
  for (Integer i = 0; i < ACount; ++i) S.push_back(static_cast<char>('1' + i % 9));
  return S;
}

void BM_InsertThousandSeparator(benchmark::State& state) {
  const AnsiString S = Digits(static_cast<Integer>(state.range(0))) + ".25";
  for (auto _ : state) benchmark::DoNotOptimize(InsertThousandSeparator(S));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_InsertThousandSeparator)->Arg(15)->Arg(100)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN);

void BM_Peer_FormatFloatGrouping15(benchmark::State& state) {
  const Extended value = 123456789012345.0;
  for (auto _ : state) benchmark::DoNotOptimize(FormatFloat("#,##0.##", value));
}
BENCHMARK(BM_Peer_FormatFloatGrouping15);

// One stand-alone right-aligned editor that is not active, laid out once.
struct InactiveEditor {
  InactiveEditor() : properties(New<TcxTextEditProperties>(nullptr)), style(New<TcxEditStyle>(nullptr, false)),
                     info(New<TcxCustomTextEditViewInfo>()), bitmap(cxCreateBitmap(200, 24)),
                     canvas(bitmap->GetCanvas()) {
    viewData.reset(TcxCustomTextEditViewDataClass(properties->GetViewDataClass())
                       .Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(properties.get(), style.get(),
                                                                                       false));
    viewData->HorzAlignment = taRightJustify;
    viewData->Calculate(&canvas, TRect(0, 0, 200, 24), {-1, -1}, cxmbNone, {}, info.get(), false);
    viewData->EditValueToDrawValue(&canvas, AnsiString("123,456,789.25"), info.get());
  }
  TOwned<TcxTextEditProperties> properties;
  TOwned<TcxEditStyle> style;
  TOwned<TcxCustomTextEditViewInfo> info;
  TOwned<TcxCustomTextEditViewData> viewData;
  TOwned<TBitmap> bitmap;
  TcxCanvas canvas;
};

void BM_InactiveEditorText(benchmark::State& state) {
  RegisterEditorUnits();
  forms::test::Session session;
  {
    InactiveEditor editor;
    const bool keepRows = state.range(0) != 0;
    for (auto _ : state) {
      if (!keepRows) editor.info->TextRowsPrepared = false;
      editor.info->DrawText(&editor.canvas);
    }
  }
  state.SetLabel(state.range(0) ? "rows kept" : "laid out");
}
BENCHMARK(BM_InactiveEditorText)->Arg(0)->Arg(1);

void BM_Peer_cxTextOutOfTheSameText(benchmark::State& state) {
  RegisterEditorUnits();
  forms::test::Session session;
  {
    InactiveEditor editor;
    if (editor.info->Font) editor.canvas.SetFont(editor.info->Font);
    for (auto _ : state) {
      TRect R = editor.info->TextRect;
      cxTextOut(&editor.canvas, editor.info->Text, R, static_cast<Cardinal>(editor.info->DrawTextFlags));
    }
  }
}
BENCHMARK(BM_Peer_cxTextOutOfTheSameText);

}  // namespace
