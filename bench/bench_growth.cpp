// Work that grows with what a program holds, at 10^3, 10^4 and 10^5 items:
// emptying a collection, freeing a style repository full of styles and
// style sheets (with the same objects freed alone as the peer), and a rich
// edit log growing line by line as the front end writes it (the caret to
// the end, a colour and weight, the line as the selection's text), and
// such a log saved as rich text and loaded back with every line in its
// own colour and font. Each must grow linearly: the program ends with the
// time ratio of every 10x step (about 10 is linear, 100 quadratic).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "GrowthReporter.h"
#include "library/foundation/cxStyles.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Streams.h"
#include "platform/win/TestHooks.h"

namespace {

void BM_CollectionClear(benchmark::State& state) {
  TCollection* collection = New<TCollection>(TCollectionItem::StaticClass());
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < state.range(0); ++i) collection->Add();
    state.ResumeTiming();
    collection->Clear();
  }
  collection->Free();
}
BENCHMARK(BM_CollectionClear)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// Styles and sheets made in turn, so that each kind lies spread through
// the repository's components.
void BM_StyleRepositoryFree(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* repository = New<TcxStyleRepository>(nullptr);
    for (int i = 0; i < state.range(0); ++i) {
      repository->CreateItem(TcxStyle::StaticClass());
      repository->CreateStyleSheet(TcxCustomStyleSheet::StaticClass());
    }
    state.ResumeTiming();
    repository->Free();
  }
}
BENCHMARK(BM_StyleRepositoryFree)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// The peer: as many styles and sheets without a repository or an owner,
// freed last first from a plain list. What it adds at the large sizes is
// the allocator's and the caches' share.
void BM_StylesFreedAlonePeer(benchmark::State& state) {
  std::vector<TObject*> objects;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < state.range(0); ++i) {
      objects.push_back(New<TcxStyle>(nullptr));
      objects.push_back(New<TcxCustomStyleSheet>(nullptr));
    }
    state.ResumeTiming();
    while (!objects.empty()) {
      objects.back()->Free();
      objects.pop_back();
    }
  }
}
BENCHMARK(BM_StylesFreedAlonePeer)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// A shown form for the rich edits to live on, in a session started once.
TForm* NewShownForm() {
  static auto* session = [] {
    RegisterControlsUnits();
    return new forms::test::Session();
  }();
  (void)session;
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBounds(100, 100, 500, 300);
  form->Show();
  return form;
}

void BM_RichLogAppend(benchmark::State& state) {
  TForm* form = NewShownForm();
  const TColor colours[] = {clBlack, clRed, clGreen, clBlue};
  for (auto _ : state) {
    state.PauseTiming();
    auto* log = New<TRichEdit>(form);
    log->SetBounds(0, 0, 480, 280);
    log->SetScrollBars(ssVertical);
    log->SetParent(form);
    log->HandleNeeded();
    state.ResumeTiming();
    for (int i = 0; i < state.range(0); ++i) {
      log->SetSelStart(log->GetTextLen());
      log->GetSelAttributes()->SetColor(colours[i % 4]);
      log->GetSelAttributes()->SetStyle(i % 4 == 1 ? TFontStyles{fsBold} : TFontStyles{});
      log->SetSelText("map " + std::to_string(i) + " created: terrain.tt\r\n");
    }
    state.PauseTiming();
    if (log->GetLines()->GetCount() < state.range(0)) state.SkipWithError("lines lost");
    log->Free();
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  form->Free();
}
BENCHMARK(BM_RichLogAppend)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// A log saved as rich text and loaded back, every line in its own colour
// and font: the save finds each run's table entries by lookup, so it grows
// as the same log in four colours and one font does (the floor beside it).
void RichTablesSaveLoad(benchmark::State& state, bool distinct) {
  TForm* form = NewShownForm();
  auto* log = New<TRichEdit>(form);
  auto* loaded = New<TRichEdit>(form);
  for (TRichEdit* edit : {log, loaded}) {
    edit->SetBounds(0, 0, 480, 280);
    edit->SetParent(form);
    edit->HandleNeeded();
  }
  const TColor colours[] = {clBlack, clRed, clGreen, clBlue};
  const auto lines = static_cast<int>(state.range(0));
  for (int i = 0; i < lines; ++i) {
    log->SetSelStart(log->GetTextLen());
    log->GetSelAttributes()->SetColor(distinct ? static_cast<TColor>(i) : colours[i % 4]);
    log->GetSelAttributes()->SetName(distinct ? "Face " + std::to_string(i) : AnsiString("Arial"));
    log->SetSelText("map " + std::to_string(i) + " created: terrain.tt\r\n");
  }
  for (auto _ : state) {
    TStringStream stream;
    log->GetLines()->SaveToStream(&stream);
    stream.Seek(0, soBeginning);
    loaded->GetLines()->LoadFromStream(&stream);
    if (loaded->GetLines()->GetCount() < lines) state.SkipWithError("lines lost");
  }
  form->Free();
  win::test::PumpUntilIdle();
}

void BM_RichTablesSaveLoad(benchmark::State& state) { RichTablesSaveLoad(state, true); }
BENCHMARK(BM_RichTablesSaveLoad)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_RichTablesSaveLoadFloor(benchmark::State& state) { RichTablesSaveLoad(state, false); }
BENCHMARK(BM_RichTablesSaveLoadFloor)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return growth::Main(argc, argv); }
