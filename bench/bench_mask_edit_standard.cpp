// One typed character in the masked editor under a standard mask (key
// down, character, key up, through the mode and the platform edit to the
// repaint) for the phone mask and a mask of 60 positions, typed over a mask
// position in the middle; the unmasked text editor typing over a
// one-character selection at the same place of a text of the same length
// is the peer.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxMaskEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

// Ten groups of six digits: 60 positions and 9 literals.
std::string SixtyPositions() {
  std::string mask;
  for (int group = 0; group < 10; ++group) mask += group == 0 ? "000000" : "-000000";
  return mask + ";1;_";
}

enum Kind { kPhone, kSixty };

// The caret goes to APosition (untimed), then one digit is typed.
void TypeAt(benchmark::State& state, TcxCustomTextEdit* AEdit, Integer APosition, Integer ALength) {
  const win::HWND inner = AEdit->GetInnerControl()->GetHandle();
  for (auto _ : state) {
    state.PauseTiming();
    win::SendMessageA(inner, win::EM_SETSEL, static_cast<win::WPARAM>(APosition),
                      static_cast<win::LPARAM>(APosition + ALength));
    state.ResumeTiming();
    win::test::KeyPress('5');
    win::test::PumpUntilIdle();
  }
}

void BM_MaskEditTyping(benchmark::State& state) {
  auto* edit = New<TcxMaskEdit>(TheScreen().form);
  edit->SetBoundsRect({10, 10, 590, 31});
  edit->SetParent(TheScreen().form);
  const bool phone = state.range(0) == kPhone;
  edit->GetProperties()->SetEditMask(phone ? "!(999) 000-0000;1;_" : SixtyPositions());
  edit->SetFocus();
  win::test::PumpUntilIdle();
  // The mode makes the one-character cursor itself.
  const Integer at = phone ? 7 : 35;
  TypeAt(state, edit, at, 0);
  if (edit->GetEditText()[static_cast<std::size_t>(at)] != '5') state.SkipWithError("the digit was not typed");
  edit->Free();
}

void BM_TextEditTypingPeer(benchmark::State& state) {
  auto* edit = New<TcxTextEdit>(TheScreen().form);
  edit->SetBoundsRect({10, 40, 590, 61});
  edit->SetParent(TheScreen().form);
  const bool phone = state.range(0) == kPhone;
  edit->SetText(std::string(phone ? 14 : 69, '1'));
  edit->SetFocus();
  win::test::PumpUntilIdle();
  const Integer at = phone ? 7 : 35;
  TypeAt(state, edit, at, 1);
  if (edit->GetText()[static_cast<std::size_t>(at)] != '5') state.SkipWithError("the digit was not typed");
  edit->Free();
}

BENCHMARK(BM_MaskEditTyping)->Arg(kPhone)->Arg(kSixty)->Iterations(3000);
BENCHMARK(BM_TextEditTypingPeer)->Arg(kPhone)->Arg(kSixty)->Iterations(3000);

}  // namespace
