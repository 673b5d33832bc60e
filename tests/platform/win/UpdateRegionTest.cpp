// Update regions: exact region arithmetic with overlapping children and
// WS_CLIPCHILDREN, the RedrawWindow flags as message sequences, what
// BeginPaint hands out, WM_SETREDRAW, LockWindowUpdate and ScrollWindowEx.
#include <algorithm>
#include <climits>

#include "platform/win/ScrollWindow.h"
#include "PaintFixture.h"

using namespace win;
using namespace wintest;

namespace {

// A recording class without a background, with the given class style.
void RegisterRecordingClass(const char* name, UINT style) {
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = CALLBACK_Record;
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

gdi::Region Rects(std::initializer_list<RECT> rs) {
  gdi::Region out;
  for (const RECT& r : rs) {
    gdi::Region one(r);
    gdi::Region::Combine(out, out, one, RGN_OR);
  }
  return out;
}

TEST_F(PaintTest, UpdateAreaIsAnExactRegionNotABox) {
  RECT a = R(10, 10, 20, 20), b = R(50, 40, 60, 50);
  InvalidateRect(main, &a, FALSE);
  InvalidateRect(main, &b, FALSE);
  EXPECT_EQ(UpdateOf(main), Rects({a, b}));
  RECT box;
  EXPECT_TRUE(GetUpdateRect(main, &box, FALSE));
  EXPECT_EQ(box, R(10, 10, 60, 50));
  // Validating one part leaves exactly the other; a half validated keeps its other half.
  ValidateRect(main, &a);
  EXPECT_EQ(UpdateOf(main), Rects({b}));
  RECT half = R(50, 40, 55, 50);
  ValidateRect(main, &half);
  EXPECT_EQ(UpdateOf(main), Rects({R(55, 40, 60, 50)}));
  // Invalid areas are cut to the client area.
  RECT outside = R(190, 140, 400, 400);
  InvalidateRect(main, &outside, FALSE);
  EXPECT_EQ(UpdateOf(main), Rects({R(55, 40, 60, 50), R(190, 140, 200, 150)}));
  ValidateRect(main, nullptr);
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
}

TEST_F(PaintTest, ARectangleAsLargeAsTheCoordinatesGoInvalidatesEachWindowWhole) {
  // Callers pass "everything" as the widest rectangle there is; it reaches
  // the children in their own coordinates like any other area.
  HWND child = Child(main, "Child", R(20, 30, 80, 90), WS_BORDER);
  test::PumpUntilIdle();
  RECT all = R(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  InvalidateRect(main, &all, FALSE);
  EXPECT_EQ(UpdateOf(main), Rects({R(0, 0, 200, 150)}));
  EXPECT_EQ(UpdateOf(child), Rects({R(0, 0, 58, 58)}));
  ValidateRect(main, &all);
  EXPECT_TRUE(UpdateOf(main).IsEmpty());
}

TEST_F(PaintTest, ChildrenShareTheInvalidAreaUnlessTheParentClipsThem) {
  HWND a = Child(main, "A", R(20, 20, 80, 80));
  HWND b = Child(main, "B", R(60, 60, 120, 120), WS_BORDER);
  test::PumpUntilIdle();
  RECT area = R(50, 50, 100, 100);
  InvalidateRect(main, &area, TRUE);
  // In each child's own client coordinates; B's client is inset by its border.
  EXPECT_EQ(UpdateOf(a), Rects({R(30, 30, 60, 60)}));
  EXPECT_EQ(UpdateOf(b), Rects({R(0, 0, 39, 39)}));
  // The parent's painting covers them, so each draws its frame there again too.
  EXPECT_TRUE(detail::Peek(b)->framePending);
  EXPECT_TRUE(detail::Peek(a)->framePending);
  test::PumpUntilIdle();

  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  InvalidateRect(main, &area, TRUE);
  EXPECT_TRUE(UpdateOf(a).IsEmpty());
  EXPECT_TRUE(UpdateOf(b).IsEmpty());
  RedrawWindow(main, &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  EXPECT_EQ(UpdateOf(a), Rects({R(30, 30, 60, 60)}));
  test::PumpUntilIdle();
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) & ~WS_CLIPCHILDREN);
  RedrawWindow(main, &area, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  EXPECT_TRUE(UpdateOf(a).IsEmpty());
  EXPECT_EQ(UpdateOf(main), Rects({area}));
}

TEST_F(PaintTest, RedrawFlagsDecideWhatIsSentNowAndWhatWaitsForTheQueue) {
  HWND child = Child(main, "Child", R(10, 10, 60, 60));
  test::PumpUntilIdle();
  rec.Take();

  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_NCPAINT", "Main WM_ERASEBKGND", "Child WM_PAINT",
                             "Child WM_NCPAINT", "Child WM_ERASEBKGND"}));
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());

  // ERASENOW: frame and background at once, the painting itself later.
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW | RDW_NOCHILDREN);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_NCPAINT", "Main WM_ERASEBKGND"}));
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT"}));

  // Without RDW_ERASE nothing is erased; without RDW_FRAME no frame.
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE);
  EXPECT_TRUE(rec.Take().empty());
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Child WM_PAINT"}));

  // Validation takes back what was asked for.
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  RedrawWindow(main, nullptr, nullptr, RDW_VALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());

  // UpdateWindow paints the window itself only, and only when it needs it.
  InvalidateRect(main, nullptr, FALSE);
  UpdateWindow(main);
  UpdateWindow(main);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT"}));
  test::PumpUntilIdle();
  // Covered by the parent's painting, frame, background and all; painted from the queue.
  EXPECT_EQ(rec.Take(), Seq({"Child WM_PAINT", "Child WM_NCPAINT", "Child WM_ERASEBKGND"}));
}

TEST_F(PaintTest, BeginPaintReportsTheBoxAndWhetherTheBackgroundIsStillDirty) {
  HWND bare = Child(main, "Bare", R(0, 0, 100, 100), 0, 0, "Recorder");  // no class brush
  HWND white = Child(main, "White", R(100, 0, 200, 100));
  test::PumpUntilIdle();
  std::vector<PAINTSTRUCT> seen;
  auto painter = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    seen.push_back(ps);
    // Everything outside the update region stays as it was.
    HBRUSH red = CreateSolidBrush(kRed);
    RECT all = R(0, 0, 100, 100);
    FillRect(ps.hdc, &all, red);
    DeleteObject(red);
    EndPaint(h, &ps);
    return 0;
  };
  rec.handlers["Bare"] = painter;
  rec.handlers["White"] = painter;
  RECT a = R(10, 10, 20, 20), b = R(30, 5, 40, 15);
  InvalidateRect(bare, &a, TRUE);
  InvalidateRect(bare, &b, FALSE);
  InvalidateRect(white, &a, TRUE);
  test::PumpUntilIdle();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].rcPaint, R(10, 5, 40, 20));
  EXPECT_TRUE(seen[0].fErase);  // nobody erased: no class brush
  EXPECT_EQ(seen[1].rcPaint, a);
  EXPECT_FALSE(seen[1].fErase);
  EXPECT_EQ(Held({15, 15}), kRed);
  EXPECT_EQ(Held({25, 15}), kWhite);  // between the two parts: left alone
  EXPECT_EQ(Held({115, 15}), kRed);
  EXPECT_EQ(Shown({115, 15}), kRed);  // presented once the queue ran dry
  EXPECT_FALSE(GetUpdateRect(bare, nullptr, FALSE));
}

TEST_F(PaintTest, RedrawOffIsTheVisibleBitAndOnRepaintsNothingByItself) {
  HWND child = Child(main, "Child", R(10, 10, 60, 60));
  test::PumpUntilIdle();
  rec.Take();
  // Off clears WS_VISIBLE without hiding: no message beyond its own, the
  // window and its child read as invisible, and nothing collects.
  SendMessageA(main, WM_SETREDRAW, FALSE, 0);
  EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(child));
  InvalidateRect(main, nullptr, TRUE);
  InvalidateRect(child, nullptr, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main 0x000B"}));
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
  // On sets the bit again and leaves the repainting to the caller.
  SendMessageA(main, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main 0x000B", "Main WM_PAINT", "Main WM_NCPAINT", "Main WM_ERASEBKGND",
                             "Child WM_PAINT", "Child WM_NCPAINT", "Child WM_ERASEBKGND"}));
  // Turned on, a hidden window becomes visible, as the bit is all it sets.
  ShowWindow(child, SW_HIDE);
  SendMessageA(child, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(PaintTest, LockedWindowNeitherPaintsNorDrawsUntilUnlocked) {
  HWND other = CreateWindowExA(0, "White", "Other", WS_POPUP | WS_VISIBLE, 400, 50, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  test::PumpUntilIdle();
  rec.Take();
  EXPECT_TRUE(LockWindowUpdate(main));
  EXPECT_FALSE(LockWindowUpdate(other));
  InvalidateRect(main, nullptr, TRUE);
  Fill(main, kRed);
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());
  EXPECT_EQ(Held({5, 5}), kWhite);
  HDC dc = GetDCEx(main, nullptr, DCX_LOCKWINDOWUPDATE);
  SetPixel(dc, 5, 5, kBlue);
  ReleaseDC(main, dc);
  EXPECT_EQ(Held({5, 5}), kBlue);
  EXPECT_TRUE(LockWindowUpdate(nullptr));
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_NCPAINT", "Main WM_ERASEBKGND"}));
  EXPECT_EQ(Held({5, 5}), kWhite);
  EXPECT_FALSE(LockWindowUpdate(nullptr));
}

TEST_F(PaintTest, ScrollingMovesPixelsAndThePendingUpdateAndInvalidatesWhatWasUncovered) {
  // Ten-pixel bands, red on even rows of bands.
  HDC dc = GetDC(main);
  HBRUSH red = CreateSolidBrush(kRed);
  for (int y = 0; y < 150; y += 20) {
    RECT band = R(0, y, 200, y + 10);
    FillRect(dc, &band, red);
  }
  DeleteObject(red);
  ReleaseDC(main, dc);
  RECT pending = R(0, 100, 10, 110);
  InvalidateRect(main, &pending, FALSE);

  HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
  RECT box;
  int kind = ScrollWindowEx(main, 0, -10, nullptr, nullptr, uncovered, &box, SW_INVALIDATE);
  EXPECT_EQ(kind, SIMPLEREGION);
  EXPECT_EQ(box, R(0, 140, 200, 150));
  EXPECT_EQ(Held({50, 5}), kWhite);  // the white band from 10..20 moved up
  EXPECT_EQ(Held({50, 15}), kRed);
  // The part that was invalid moved up with the contents; the uncovered band joined it.
  EXPECT_EQ(UpdateOf(main), Rects({R(0, 90, 10, 100), R(0, 140, 200, 150)}));
  DeleteObject(uncovered);

  // A scroll rectangle limits what moves; the clip where it may land.
  ValidateRect(main, nullptr);
  RECT part = R(100, 0, 200, 150), clip = R(100, 0, 200, 100);
  kind = ScrollWindowEx(main, 0, 10, &part, &clip, nullptr, &box, 0);
  EXPECT_EQ(box, R(100, 0, 200, 10));
  EXPECT_EQ(Held({150, 15}), kWhite);  // was red at 5
  EXPECT_EQ(Held({150, 25}), kRed);    // from row 15, red since the first scroll
  EXPECT_EQ(Held({150, 105}), kWhite);  // below the clip: untouched
  EXPECT_EQ(Held({50, 15}), kRed);     // left of the scroll rectangle: untouched
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));  // no SW_INVALIDATE
}

TEST_F(PaintTest, ScrollingChildrenMovesThemAlong) {
  HWND child = Child(main, "Child", R(10, 10, 30, 30));
  ScrollWindowEx(main, 5, 7, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r, R(100 + 15, 50 + 17, 100 + 35, 50 + 37));
  // Scrolled by as far as the numbers go, a child ends at the far edge of
  // the coordinates in that direction, not wrapped round to the other one.
  ScrollWindowEx(main, INT_MAX, INT_MIN, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE);
  GetWindowRect(child, &r);
  EXPECT_EQ(r, R(100 + 32767, 50 - 32768, 100 + 32767 + 20, 50 - 32768 + 20));
  EXPECT_EQ(UpdateOf(main), Rects({R(0, 0, 200, 150)}));
}

TEST_F(PaintTest, NoWindowMeansTheScreenAndOnlyInvalidatingReachesTheWindowsOnIt) {
  HWND other = CreateWindowExA(0, "White", "Other", WS_POPUP | WS_VISIBLE, 400, 50, 50, 50, nullptr, nullptr,
                               nullptr, nullptr);
  test::PumpUntilIdle();
  rec.Take();
  // The desktop clips its children: without RDW_ALLCHILDREN no window hears of it.
  RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ERASENOW);
  EXPECT_TRUE(rec.Take().empty());
  EXPECT_TRUE(UpdateOf(main).IsEmpty());
  // InvalidateRect draws every frame and background on the screen before it returns.
  InvalidateRect(nullptr, nullptr, FALSE);
  EXPECT_EQ(rec.Take(), Seq({"Other WM_NCPAINT", "Other WM_ERASEBKGND", "Main WM_NCPAINT", "Main WM_ERASEBKGND"}));
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Other WM_PAINT", "Main WM_PAINT"}));
  // A rectangle is in screen coordinates.
  RECT screen = R(150, 60, 420, 400);
  InvalidateRect(nullptr, &screen, FALSE);
  EXPECT_EQ(UpdateOf(main), Rects({R(50, 10, 200, 150)}));
  EXPECT_EQ(UpdateOf(other), Rects({R(0, 10, 20, 50)}));
}

TEST_F(PaintTest, APaintHandlerThatLeavesTheFrameDueStillGetsItAndANullStructureStillValidates) {
  RECT client = R(0, 0, 200, 150);
  rec.handlers["Main"] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_PAINT) {
      ValidateRect(h, &client);
      return 0;
    }
    return std::nullopt;
  };
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_NCPAINT"}));

  rec.handlers["Main"] = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_PAINT) {
      EXPECT_EQ(BeginPaint(h, nullptr), nullptr);
      return 0;
    }
    return std::nullopt;
  };
  InvalidateRect(main, nullptr, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_ERASEBKGND"}));
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
}

TEST_F(PaintTest, PaintHandlersThatPumpOrUpdateBeforeValidatingNestOnlySoDeep) {
  // Each handler runs the queue (or updates its own window) before it
  // validates, so its WM_PAINT comes again inside it: past the limit the
  // nested one is not delivered and the handlers unwind, validating.
  int depth = 0, deepest = 0;
  bool pump = true;
  rec.handlers["Main"] = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    deepest = std::max(deepest, ++depth);
    MSG msg;
    if (!pump) UpdateWindow(h);
    else if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    --depth;
    return DefWindowProcA(h, m, w, l);
  };
  InvalidateRect(main, nullptr, FALSE);
  test::PumpUntilIdle();
  EXPECT_EQ(deepest, 64);
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
  pump = false;
  deepest = 0;
  InvalidateRect(main, nullptr, FALSE);
  UpdateWindow(main);
  EXPECT_EQ(deepest, 64);
  EXPECT_FALSE(GetUpdateRect(main, nullptr, FALSE));
  rec.Take();
}

TEST_F(PaintTest, AChildWaitsForItsParentAndSharesItsValidation) {
  HWND c = Child(main, "C", R(10, 10, 60, 50));
  test::PumpUntilIdle();
  // Both pending: not even a filter on the child brings it before its parent.
  InvalidateRect(main, nullptr, TRUE);
  MSG m{};
  EXPECT_FALSE(PeekMessageA(&m, c, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  EXPECT_EQ(m.hwnd, main);
  // A child painted at once is no longer the parent's to paint over.
  RedrawWindow(c, nullptr, nullptr, RDW_UPDATENOW);
  EXPECT_TRUE(UpdateOf(c).IsEmpty());
  gdi::Region rest = Rects({R(0, 0, 200, 150)});
  gdi::Region hole = Rects({R(10, 10, 60, 50)});
  gdi::Region::Combine(rest, rest, hole, RGN_DIFF);
  EXPECT_EQ(UpdateOf(main), rest);
  // Validating the parent validates the children's share too.
  InvalidateRect(main, nullptr, TRUE);
  ValidateRect(main, nullptr);
  EXPECT_TRUE(UpdateOf(c).IsEmpty());
  EXPECT_TRUE(UpdateOf(main).IsEmpty());
}

TEST_F(PaintTest, AChildShownOrGrownInvalidatesWhereItIsAndAMovedOneTakesItsPixels) {
  HWND c = CreateWindowExA(0, "White", "C", WS_CHILD, 20, 20, 100, 100, main, nullptr, nullptr, nullptr);
  test::PumpUntilIdle();
  ShowWindow(c, SW_SHOWNA);
  EXPECT_EQ(UpdateOf(main), Rects({R(20, 20, 120, 120)}));
  test::PumpUntilIdle();
  // Growing from nothing: the child draws all of itself; the parent, which
  // lost nothing to see, draws nothing.
  SetWindowPos(c, nullptr, 10, 10, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
  test::PumpUntilIdle();
  SetWindowPos(c, nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(UpdateOf(main).IsEmpty());
  EXPECT_EQ(UpdateOf(c), Rects({R(0, 0, 50, 40)}));
  test::PumpUntilIdle();
  // A move takes the pixels along: the parent gets back only what was
  // uncovered, the child nothing, and its own pending update stays.
  Fill(c, kRed);
  const RECT pending = R(1, 1, 5, 5);
  InvalidateRect(c, &pending, FALSE);
  MoveWindow(c, 100, 10, 50, 40, TRUE);
  EXPECT_EQ(UpdateOf(main), Rects({R(10, 10, 60, 50)}));
  EXPECT_EQ(UpdateOf(c), Rects({pending}));
  EXPECT_EQ(Held({120, 30}), kRed) << "the pixels came along";
  ValidateRect(c, nullptr);
  test::PumpUntilIdle();
  // Overlapping its old place, only the strip it left is the parent's again.
  MoveWindow(c, 110, 10, 50, 40, TRUE);
  EXPECT_EQ(UpdateOf(main), Rects({R(100, 10, 110, 50)}));
  EXPECT_TRUE(UpdateOf(c).IsEmpty());
  EXPECT_EQ(Held({155, 30}), kRed);
  test::PumpUntilIdle();
  // Coming out from under the parent's edge, the child draws what was hidden.
  MoveWindow(c, 180, 10, 50, 40, TRUE);
  test::PumpUntilIdle();
  MoveWindow(c, 140, 10, 50, 40, TRUE);
  EXPECT_EQ(UpdateOf(c), Rects({R(20, 0, 50, 40)}));
  test::PumpUntilIdle();
  // A parent that clips its children gets back the same strip.
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  MoveWindow(c, 120, 10, 50, 40, TRUE);
  EXPECT_EQ(UpdateOf(main), Rects({R(170, 10, 190, 50)}));
}

TEST_F(PaintTest, SizingRedrawsAllOnlyWhenTheClassAsksForThatDirection) {
  RegisterRecordingClass("Wide", CS_HREDRAW);
  HWND plain = Child(main, "Plain", R(10, 10, 60, 50));
  HWND wide = Child(main, "Wide", R(70, 10, 120, 50), 0, 0, "Wide");
  test::PumpUntilIdle();
  // Without a redraw style only the area gained is drawn.
  SetWindowPos(plain, nullptr, 0, 0, 60, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(plain), Rects({R(50, 0, 60, 40), R(0, 40, 60, 45)}));
  // CS_HREDRAW: all of it when the width changes, the strip when the height does.
  SetWindowPos(wide, nullptr, 0, 0, 50, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(wide), Rects({R(0, 40, 50, 45)}));
  test::PumpUntilIdle();
  SetWindowPos(wide, nullptr, 0, 0, 40, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(UpdateOf(wide), Rects({R(0, 0, 40, 45)}));
}

TEST_F(PaintTest, AParentDcChildDrawsWithItsParentsClippingButPaintsItsOwnUpdateAndTheScreenDcSeesAll) {
  RegisterRecordingClass("ParentDC", CS_PARENTDC);
  HWND c = Child(main, "Label", R(30, 20, 80, 60), 0, 0, "ParentDC");
  test::PumpUntilIdle();
  RECT painted{};
  rec.handlers["Label"] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    GetClipBox(ps.hdc, &painted);
    EndPaint(h, &ps);
    return 0;
  };
  InvalidateRect(main, nullptr, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(painted, R(0, 0, 50, 40)) << "painting covers its own update area";
  const RECT part = R(5, 6, 15, 16);
  InvalidateRect(c, &part, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(painted, R(5, 6, 15, 16));
  // A DC of its own draws anywhere the parent may.
  HDC dc = GetDC(c);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, R(-30, -20, 170, 130));
  // Deleting a window's DC does nothing: it stays a DC until released.
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));
  EXPECT_EQ(ReleaseDC(c, dc), 1);
  EXPECT_EQ(GetObjectType(dc), 0u);
  // Only InvalidateRect takes nothing for the whole window.
  EXPECT_FALSE(InvalidateRgn(c, nullptr, TRUE));

  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  GetClipBox(screen, &box);
  EXPECT_EQ(box, R(0, 0, 1024, 768));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(screen, rgn), 0);
  DeleteObject(rgn);
  RECT corner = R(1000, 700, 1010, 710);
  EXPECT_TRUE(RectVisible(screen, &corner));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

}  // namespace
