// A 200 x 200 child window moved back and forth by 10 pixels inside its
// parent, as a grid moves its in-place editor or scrolls by moving children:
// the pixels every paint handler is given to fill per move, with the
// child's pixels carried along (the default) and without (SWP_NOCOPYBITS,
// every move drawing the whole child again), in the same run.
#include <benchmark/benchmark.h>

#include "platform/gdi/Gdi.h"
#include "platform/win/Messages.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {

long long painted = 0;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  // The handler fills the box of what it has to paint; the update areas
  // here are single rectangles (a strip, or the whole window).
  const RECT& r = ps.rcPaint;
  painted += static_cast<long long>(r.Right - r.Left) * (r.Bottom - r.Top);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  EndPaint(hwnd, &ps);
  return 0;
}

void MoveChild(benchmark::State& state, UINT extra) {
  test::Session session;
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "Counting";
  RegisterClassA(&wc);
  HWND parent = CreateWindowExA(0, "Counting", "Parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExA(0, "Counting", "Child", WS_CHILD | WS_VISIBLE, 50, 50, 200, 200, parent, nullptr,
                               nullptr, nullptr);
  test::PumpUntilIdle();
  painted = 0;
  int x = 50;
  for (auto _ : state) {
    x = x == 50 ? 60 : 50;
    SetWindowPos(child, nullptr, x, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | extra);
    test::PumpUntilIdle();
  }
  state.counters["pixels_per_move"] = benchmark::Counter(static_cast<double>(painted) / static_cast<double>(state.iterations()));
  DestroyWindow(parent);
}

void BM_MoveChildKeepingItsPixels(benchmark::State& state) { MoveChild(state, 0); }
void BM_MoveChildRedrawingItAll(benchmark::State& state) { MoveChild(state, SWP_NOCOPYBITS); }

}  // namespace

BENCHMARK(BM_MoveChildKeepingItsPixels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveChildRedrawingItAll)->Unit(benchmark::kMicrosecond);
