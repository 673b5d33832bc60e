// One typed character in the text editor (key down, character, key up,
// through to the repaint), at the end and in the middle of texts of 10^2,
// 10^3 and 10^4 characters, with and without a selection the character
// replaces; the bare platform edit on the same form is the peer.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/EditorBenchScreen.h"
#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxTextEdit.h"
#include "platform/controls/Edit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"

namespace {

using editor_bench::TheScreen;

enum Where { kEnd, kMiddle, kSelection };

// Types one character per iteration into AWindow, the focused edit window.
void TypeInto(benchmark::State& state, TWinControl* AControl, win::HWND AEdit, Where AWhere) {
  const auto length = static_cast<std::size_t>(state.range(0));
  AControl->SetText(std::string(length, 'x'));
  AControl->SetFocus();
  win::test::PumpUntilIdle();
  const auto caret = static_cast<win::WPARAM>(AWhere == kEnd ? length : length / 2);
  win::SendMessageA(AEdit, win::EM_SETSEL, caret, static_cast<win::LPARAM>(caret));
  for (auto _ : state) {
    if (AWhere == kSelection) {
      state.PauseTiming();
      win::SendMessageA(AEdit, win::EM_SETSEL, caret, static_cast<win::LPARAM>(caret + 1));
      state.ResumeTiming();
    }
    win::test::KeyPress('A');
    win::test::PumpUntilIdle();
  }
}

void BM_TextEditTyping(benchmark::State& state) {
  auto* edit = New<TcxTextEdit>(TheScreen().form);
  edit->SetBoundsRect({10, 10, 300, 31});
  edit->SetParent(TheScreen().form);
  TypeInto(state, edit, edit->GetInnerControl()->GetHandle(), static_cast<Where>(state.range(1)));
  edit->Free();
}

void BM_PlatformEditTyping(benchmark::State& state) {
  auto* edit = New<TEdit>(TheScreen().form);
  edit->SetBoundsRect({10, 40, 300, 61});
  edit->SetParent(TheScreen().form);
  TypeInto(state, edit, edit->GetHandle(), static_cast<Where>(state.range(1)));
  edit->Free();
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int where : {kEnd, kMiddle, kSelection})
    for (int length : {100, 1000, 10000}) b->Args({length, where});
  b->Iterations(2000);
}

BENCHMARK(BM_TextEditTyping)->Apply(Sizes);
BENCHMARK(BM_PlatformEditTyping)->Apply(Sizes);

}  // namespace
