// One typed character in a masked editor (key down, character, key up,
// through the mode and the platform edit to the repaint): the regular-
// expression and extended date patterns, and \d* with texts of 10, 100 and
// 1,000 characters, typed at the end and at the start. The unmasked text
// editor with the same text is the peer. Before each character the text
// and caret are put back (not timed), so every character meets the same
// text.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

enum Pattern { kNone, kDate, kDateEx, kDigits };
enum Where { kEnd, kStart };

const char* const kDatePattern = "\\d\\d/\\d\\d/\\d\\d\\d\\d";

// The text an editor holds before each character: a date one digit short
// of complete, or a run of digits.
std::string TextFor(Pattern APattern, int ALength) {
  if (APattern == kDate || APattern == kDateEx) return "12/31/200";
  return std::string(static_cast<std::size_t>(ALength), '7');
}

void TypeOne(benchmark::State& state, Pattern APattern) {
  const int length = static_cast<int>(state.range(0));
  const auto where = static_cast<Where>(state.range(1));
  TcxCustomTextEdit* edit;
  if (APattern == kNone) {
    edit = New<TcxTextEdit>(TheScreen().form);
  } else {
    auto* masked = New<TcxMaskEdit>(TheScreen().form);
    masked->GetProperties()->SetMaskKind(APattern == kDateEx ? emkRegExprEx : emkRegExpr);
    masked->GetProperties()->SetEditMask(APattern == kDigits ? "\\d*" : kDatePattern);
    edit = masked;
  }
  edit->SetBoundsRect({10, 10, 560, 31});
  edit->SetParent(TheScreen().form);
  edit->SetFocus();
  win::test::PumpUntilIdle();
  const std::string text = TextFor(APattern, length);
  for (auto _ : state) {
    state.PauseTiming();
    edit->SetEditValue(Variant(AnsiString(text)));
    edit->SetSelStart(where == kEnd ? static_cast<Integer>(text.size()) : 0);
    win::test::PumpUntilIdle();
    state.ResumeTiming();
    win::test::KeyPress('8');
    win::test::PumpUntilIdle();
  }
  edit->Free();
  win::test::PumpUntilIdle();
}

void BM_TextEdit(benchmark::State& state) { TypeOne(state, kNone); }
void BM_TextEditDateLength(benchmark::State& state) { TypeOne(state, kNone); }
void BM_RegExprDate(benchmark::State& state) { TypeOne(state, kDate); }
void BM_RegExprExDate(benchmark::State& state) { TypeOne(state, kDateEx); }
void BM_RegExprDigits(benchmark::State& state) { TypeOne(state, kDigits); }

void Lengths(benchmark::internal::Benchmark* b) {
  for (int where : {kEnd, kStart})
    for (int length : {10, 100, 1000}) b->Args({length, where});
  b->Iterations(400);
}

void DateOnly(benchmark::internal::Benchmark* b) {
  for (int where : {kEnd, kStart}) b->Args({9, where});
  b->Iterations(400);
}

BENCHMARK(BM_TextEdit)->Apply(Lengths);
BENCHMARK(BM_RegExprDigits)->Apply(Lengths);
BENCHMARK(BM_TextEditDateLength)->Apply(DateOnly);
BENCHMARK(BM_RegExprDate)->Apply(DateOnly);
BENCHMARK(BM_RegExprExDate)->Apply(DateOnly);

}  // namespace
