// The window tree's own bookkeeping as it grows, at 10^2 to 10^4 windows
// (10^5 for children): making popups owned by one window and raising the
// owner over them (the z-order keeps each in front of its owner), and
// taking down a window with that many children, and walking the children
// one by one. Each must grow linearly:
// the program ends with the time ratio of every 10x step (about 10 is
// linear, 100 quadratic). The peer makes and takes down as many unowned
// popups, which only the desktop's list holds: what the owner adds is the
// difference.
#include <benchmark/benchmark.h>

#include "GrowthReporter.h"
#include "platform/win/Messages.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {

void Register() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Plain";
  RegisterClassA(&wc);
}

HWND Make(DWORD style, HWND parentOrOwner) {
  return CreateWindowExA(0, "Plain", "", style, 0, 0, 10, 10, parentOrOwner, nullptr, nullptr, nullptr);
}

void Popups(benchmark::State& state, bool owned) {
  test::Session session;
  Register();
  for (auto _ : state) {
    HWND owner = Make(WS_POPUP, nullptr);
    std::vector<HWND> made;
    for (int i = 0; i < state.range(0); ++i) made.push_back(Make(WS_POPUP, owned ? owner : nullptr));
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(owner);
    if (!owned)
      for (HWND h : made) DestroyWindow(h);
    if (IsWindow(made.back())) state.SkipWithError("an owned window outlived its owner");
  }
}

void BM_OwnedPopups(benchmark::State& state) { Popups(state, true); }
void BM_UnownedPopupsPeer(benchmark::State& state) { Popups(state, false); }

void BM_ChildrenTakenDown(benchmark::State& state) {
  test::Session session;
  Register();
  for (auto _ : state) {
    state.PauseTiming();
    HWND parent = Make(WS_POPUP, nullptr);
    for (int i = 0; i < state.range(0); ++i) Make(WS_CHILD, parent);
    state.ResumeTiming();
    DestroyWindow(parent);
  }
}

// Walking every child one after another, as dialog navigation does.
void BM_SiblingsWalked(benchmark::State& state) {
  test::Session session;
  Register();
  HWND parent = Make(WS_POPUP, nullptr);
  for (int i = 0; i < state.range(0); ++i) Make(WS_CHILD, parent);
  for (auto _ : state) {
    std::int64_t seen = 0;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) ++seen;
    if (seen != state.range(0)) state.SkipWithError("the walk missed children");
  }
  DestroyWindow(parent);
}

}  // namespace

BENCHMARK(BM_SiblingsWalked)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OwnedPopups)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnownedPopupsPeer)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChildrenTakenDown)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return growth::Main(argc, argv); }
