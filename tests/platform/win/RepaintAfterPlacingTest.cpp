// What is drawn again after a window is placed: a new frame, a child moved,
// hidden or restacked, with and without WS_CLIPCHILDREN and with the erase
// deferred; the update regions that leaves, and what validating takes back.
#include <filesystem>

#include "platform/win/Metrics.h"
#include "PaintFixture.h"

using namespace win;
using namespace wintest;

namespace {

gdi::Region One(RECT r) { return gdi::Region(r); }

constexpr UINT kFrameChanged = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

TEST_F(PaintTest, ANewFrameIsDrawnWithItsChildrenFramesAndBackgroundsBeforeTheCallReturns) {
  HWND k = Child(main, "K", R(10, 10, 60, 60), WS_BORDER);
  test::PumpUntilIdle();
  rec.Take();
  // The parent paints over its child: the child waits for its own painting.
  SetWindowPos(main, nullptr, 0, 0, 0, 0, kFrameChanged);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_WINDOWPOSCHANGING", "Main WM_NCCALCSIZE", "Main WM_NCPAINT",
                             "Main WM_ERASEBKGND", "Main WM_WINDOWPOSCHANGED"}));
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "K WM_PAINT", "K WM_NCPAINT", "K WM_ERASEBKGND"}));

  // A parent clipping its children: both have frame and background drawn
  // at once, parent first, and paint from the queue in the same order.
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  Fill(k, kRed, true);
  rec.Take();
  SetWindowPos(main, nullptr, 0, 0, 0, 0, kFrameChanged);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_WINDOWPOSCHANGING", "Main WM_NCCALCSIZE", "Main WM_NCPAINT",
                             "Main WM_ERASEBKGND", "K WM_NCPAINT", "K WM_ERASEBKGND", "Main WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(Held({30, 30}), kWhite);
  EXPECT_EQ(Held({10, 10}), GetSysColor(COLOR_WINDOWFRAME));
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "K WM_PAINT"}));

  // Deferred, nothing is drawn in the call: frames and backgrounds come
  // with each window's painting.
  Fill(k, kRed, true);
  SetWindowPos(main, nullptr, 0, 0, 0, 0, kFrameChanged | SWP_DEFERERASE);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_WINDOWPOSCHANGING", "Main WM_NCCALCSIZE", "Main WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(Held({30, 30}), kRed);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_NCPAINT", "Main WM_ERASEBKGND", "K WM_PAINT",
                             "K WM_NCPAINT", "K WM_ERASEBKGND"}));
  EXPECT_EQ(Shown({30, 30}), kWhite);
  EXPECT_EQ(Shown({10, 10}), GetSysColor(COLOR_WINDOWFRAME));
  std::filesystem::create_directories("snapshots");
  EXPECT_TRUE(session.Screen().SavePng(detail::Peek(main)->surface, "snapshots/reframed-parent-and-child.png"));
}

TEST_F(PaintTest, WhereAChildWasMovedOrHiddenTheParentIsErasedBeforeTheCallReturnsUnlessDeferred) {
  HWND c = Child(main, "C", R(10, 10, 60, 60));
  test::PumpUntilIdle();
  Fill(c, kRed);
  rec.Take();
  MoveWindow(c, 100, 10, 50, 50, TRUE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "Main WM_ERASEBKGND", "C WM_WINDOWPOSCHANGED", "C WM_MOVE"}));
  EXPECT_EQ(Held({20, 20}), kWhite);
  EXPECT_EQ(Held({110, 20}), kRed) << "its pixels came along";
  EXPECT_EQ(UpdateOf(main), One(R(10, 10, 60, 60))) << "still to paint";
  test::PumpUntilIdle();
  // Deferred, the place it left keeps its pixels until the parent paints.
  rec.Take();
  SetWindowPos(c, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "C WM_WINDOWPOSCHANGED", "C WM_MOVE"}));
  EXPECT_EQ(Held({110, 20}), kRed);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_ERASEBKGND"}));
  // Hidden, it is erased at once again.
  ShowWindow(c, SW_HIDE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_SHOWWINDOW", "C WM_WINDOWPOSCHANGING", "Main WM_ERASEBKGND",
                             "C WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(Held({20, 20}), kWhite);
}

TEST_F(PaintTest, RestackingChildrenThatClipTheirSiblingsDrawsWhatCameOutFromUnder) {
  // Front to back: A, then B, overlapping from (40, 40) to (60, 60).
  HWND a = Child(main, "A", R(10, 10, 60, 60), WS_CLIPSIBLINGS);
  HWND b = Child(main, "B", R(40, 40, 100, 100), WS_CLIPSIBLINGS);
  test::PumpUntilIdle();
  Fill(a, kRed);
  rec.Take();
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(b), One(R(0, 0, 20, 20)));
  EXPECT_TRUE(UpdateOf(a).IsEmpty());
  EXPECT_TRUE(UpdateOf(main).IsEmpty());
  EXPECT_EQ(rec.Take(), Seq({"B WM_WINDOWPOSCHANGING", "B WM_ERASEBKGND", "B WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(Held({50, 50}), kWhite) << "B's own background where A's pixels were";
  test::PumpUntilIdle();
  // Sent to the bottom, B gives A back the corner.
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(a), One(R(30, 30, 50, 50)));
  EXPECT_TRUE(UpdateOf(b).IsEmpty());
  test::PumpUntilIdle();
  // Children that do not clip their siblings draw over each other as they
  // come: the order changes nothing to draw.
  SetWindowLongA(b, GWL_STYLE, GetWindowLongA(b, GWL_STYLE) & ~WS_CLIPSIBLINGS);
  SetWindowLongA(a, GWL_STYLE, GetWindowLongA(a, GWL_STYLE) & ~WS_CLIPSIBLINGS);
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(UpdateOf(b).IsEmpty());
}

TEST_F(PaintTest, ValidatingTakesBackTheChildrensShareAndAChildCoveredByItsParentIsErasedAndFramed) {
  HWND c = Child(main, "C", R(10, 10, 60, 60));
  test::PumpUntilIdle();
  rec.Take();
  // The parent asks for no erasing, yet its painting covers the child's
  // background and frame: the child's are drawn again.
  const RECT area = R(0, 0, 40, 40);
  InvalidateRect(main, &area, FALSE);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(main, rgn, TRUE);
  EXPECT_TRUE(rec.Take().empty());
  EXPECT_EQ(GetUpdateRgn(c, rgn, TRUE), SIMPLEREGION);
  EXPECT_EQ(rec.Take(), Seq({"C WM_NCPAINT", "C WM_ERASEBKGND"}));
  // ValidateRgn takes the children's share with the parent's; a null
  // region is all of the client area.
  HRGN part = CreateRectRgn(0, 0, 20, 40);
  EXPECT_TRUE(ValidateRgn(main, part));
  EXPECT_EQ(UpdateOf(main), One(R(20, 0, 40, 40)));
  EXPECT_EQ(UpdateOf(c), One(R(10, 0, 30, 30)));
  EXPECT_TRUE(ValidateRgn(main, nullptr));
  EXPECT_EQ(GetUpdateRgn(c, rgn, FALSE), NULLREGION);
  // A parent clipping its children validates only its own.
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  RedrawWindow(main, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  ValidateRgn(main, part);
  EXPECT_EQ(UpdateOf(c), One(R(0, 0, 30, 30)));
  DeleteObject(part);
  DeleteObject(rgn);

  // No window: ValidateRgn fails, ValidateRect draws every window on the
  // screen again, frames and backgrounds before it returns.
  test::PumpUntilIdle();
  rec.Take();
  SetLastError(0);
  EXPECT_FALSE(ValidateRgn(nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_TRUE(ValidateRect(nullptr, nullptr));
  EXPECT_EQ(rec.Take(), Seq({"Main WM_NCPAINT", "Main WM_ERASEBKGND", "C WM_NCPAINT", "C WM_ERASEBKGND"}));
  EXPECT_EQ(UpdateOf(main), One(R(0, 0, 200, 150)));
}

}  // namespace
