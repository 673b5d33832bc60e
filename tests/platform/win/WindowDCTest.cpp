// Window DCs draw into the top-level window's surface, clipped by the
// window tree; window regions cut painting and hit testing; the caret is
// shown on the screen but never held in the window's pixels.
#include <climits>
#include <map>

#include "platform/gdi/Text.h"
#include "platform/win/Caret.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowRegion.h"
#include "PaintFixture.h"

using namespace win;
using namespace wintest;

namespace {

TEST_F(PaintTest, SiblingsAndChildrenClipOnlyWhenTheirStylesSaySo) {
  // Front to back: A, then B underneath overlapping it by 20 pixels.
  HWND b = Child(main, "B", R(40, 10, 100, 60));
  HWND a = Child(main, "A", R(10, 10, 60, 60));
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  test::PumpUntilIdle();
  Fill(b, kRed);
  EXPECT_EQ(Held({45, 20}), kRed);  // no WS_CLIPSIBLINGS: B draws over A
  Fill(a, kWhite);
  SetWindowLongA(b, GWL_STYLE, GetWindowLongA(b, GWL_STYLE) | WS_CLIPSIBLINGS);
  Fill(b, kBlue);
  EXPECT_EQ(Held({45, 20}), kWhite);  // A is in front: left alone
  EXPECT_EQ(Held({70, 20}), kBlue);
  HDC dc = GetDCEx(b, nullptr, 0);
  EXPECT_EQ(GetPixel(dc, 5, 10), CLR_INVALID);  // outside the visible region reads nothing
  ReleaseDC(b, dc);

  // The parent draws over its children unless it has WS_CLIPCHILDREN.
  Fill(main, kRed);
  EXPECT_EQ(Held({20, 20}), kRed);
  Fill(a, kWhite);
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  Fill(main, kBlue);
  EXPECT_EQ(Held({20, 20}), kWhite);
  EXPECT_EQ(Held({5, 5}), kBlue);
  // A hidden child does not clip.
  ShowWindow(a, SW_HIDE);
  Fill(main, kBlue);
  EXPECT_EQ(Held({20, 20}), kBlue);
}

// A DC already out follows the windows: a parent that moves a child while
// it paints (a grid placing its editor) paints around the child's new
// place, and a child's DC draws where the child is now. The parent used to
// keep the region of the moment it took the DC, and painted over the child.
TEST_F(PaintTest, ADcTakenBeforeTheWindowsMoveDrawsWhereTheyAreNow) {
  SetWindowLongA(main, GWL_STYLE, GetWindowLongA(main, GWL_STYLE) | WS_CLIPCHILDREN);
  HWND a = Child(main, "A", R(10, 10, 60, 60));
  test::PumpUntilIdle();
  Fill(a, kWhite);

  HDC parent = GetDC(main);
  HDC child = GetDC(a);
  SetWindowPos(a, nullptr, 10, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HBRUSH blue = CreateSolidBrush(kBlue);
  RECT all{-1000, -1000, 1000, 1000};
  FillRect(parent, &all, blue);
  EXPECT_EQ(Held({20, 90}), kWhite) << "the child where it is now is left alone";
  EXPECT_EQ(Held({20, 20}), kBlue) << "where it was is the parent's again";
  HBRUSH red = CreateSolidBrush(kRed);
  FillRect(child, &all, red);
  EXPECT_EQ(Held({20, 90}), kRed);
  EXPECT_EQ(Held({20, 20}), kBlue);
  ReleaseDC(a, child);
  ReleaseDC(main, parent);
  DeleteObject(blue);
  DeleteObject(red);
}

TEST_F(PaintTest, ChildrenAreClippedToTheirAncestorsAndPlacedByTheirOrigins) {
  HWND panel = Child(main, "Panel", R(20, 20, 80, 80), WS_BORDER);
  HWND inner = Child(panel, "Inner", R(40, 40, 140, 140));  // sticks out of the panel
  test::PumpUntilIdle();
  Fill(main, kWhite);
  Fill(inner, kRed);
  // Panel's client starts at (21, 21); Inner at (61, 61) up to Panel's client edge (79).
  EXPECT_EQ(Held({61, 61}), kRed);
  EXPECT_EQ(Held({78, 78}), kRed);
  EXPECT_EQ(Held({79, 79}), kWhite);
  EXPECT_EQ(Held({60, 60}), kWhite);
  // A window DC starts at the window's corner, a client DC inside the border.
  HDC wdc = GetWindowDC(panel);
  SetPixel(wdc, 0, 0, kBlue);
  ReleaseDC(panel, wdc);
  HDC cdc = GetDC(panel);
  SetPixel(cdc, 0, 0, kBlue);
  ReleaseDC(panel, cdc);
  EXPECT_EQ(Held({20, 20}), kBlue);
  EXPECT_EQ(Held({21, 21}), kBlue);
  EXPECT_EQ(WindowFromDC(cdc), nullptr);  // released
  EXPECT_EQ(ReleaseDC(panel, cdc), 0);
  // The screen shows the composed surface once the queue runs dry.
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({61, 61}), kRed);
  EXPECT_EQ(Shown({20, 20}), kBlue);
}

TEST_F(PaintTest, WindowRegionCutsPaintingAndHitTesting) {
  HWND round = Child(main, "Round", R(20, 20, 80, 80));
  test::PumpUntilIdle();
  Fill(main, kWhite);
  EXPECT_EQ(SetWindowRgn(round, CreateEllipticRgn(0, 0, 60, 60), TRUE), 1);
  test::PumpUntilIdle();
  Fill(round, kRed);
  EXPECT_EQ(Held({50, 50}), kRed);
  EXPECT_EQ(Held({21, 21}), kWhite);  // corner outside the ellipse
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(round, copy), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(copy, 30, 30));
  EXPECT_FALSE(PtInRegion(copy, 1, 1));
  // The mouse finds the window only inside its shape.
  EXPECT_EQ(WindowFromPoint({100 + 50, 50 + 50}), round);
  EXPECT_EQ(WindowFromPoint({100 + 21, 50 + 21}), main);
  EXPECT_EQ(ChildWindowFromPoint(main, {21, 21}), main);
  EXPECT_EQ(ChildWindowFromPoint(main, {50, 50}), round);
  // A region clips the window's children as well.
  HWND kid = Child(round, "Kid", R(0, 0, 60, 60));
  test::PumpUntilIdle();
  Fill(kid, kBlue);
  EXPECT_EQ(Held({21, 21}), kWhite);
  EXPECT_EQ(Held({50, 50}), kBlue);
  // Removing the region restores the rectangle.
  SetWindowRgn(round, nullptr, TRUE);
  EXPECT_EQ(GetWindowRgn(round, copy), ERROR);
  EXPECT_EQ(WindowFromPoint({100 + 21, 50 + 21}), kid);
  DeleteObject(copy);
}

TEST_F(PaintTest, AChildPaintsWhatShowsOfItInsideItsParentAndAParentDcChildHasItsParentsArea) {
  WNDCLASSA wc{};
  wc.style = CS_PARENTDC;
  wc.lpfnWndProc = CALLBACK_Record;
  wc.lpszClassName = "ParentDC";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  RegisterClassA(&wc);
  // Main's client area is 200 x 150: Out sticks out at the top left, Far
  // lies wholly outside, Label sticks out at the bottom right.
  HWND out = Child(main, "Out", R(-10, -10, 40, 40));
  HWND far = Child(main, "Far", R(250, 200, 300, 250));
  HWND label = Child(main, "Label", R(150, 100, 250, 200), 0, 0, "ParentDC");
  test::PumpUntilIdle();
  std::map<std::string, std::pair<PAINTSTRUCT, RECT>> seen;  // what BeginPaint said, and the clip box
  auto painter = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    RECT clip{};
    GetClipBox(ps.hdc, &clip);
    seen[rec.Name(h)] = {ps, clip};
    EndPaint(h, &ps);
    return 0;
  };
  for (const char* n : {"Out", "Far", "Label"}) rec.handlers[n] = painter;
  for (HWND h : {out, far, label}) InvalidateRect(h, nullptr, TRUE);
  rec.Take();
  test::PumpUntilIdle();
  // What is to be painted is the part that shows: BeginPaint's box is the
  // DC's clip box, cut to the parent.
  EXPECT_EQ(seen["Out"].first.rcPaint, R(10, 10, 50, 50));
  EXPECT_EQ(seen["Out"].second, R(10, 10, 50, 50));
  EXPECT_EQ(seen["Label"].first.rcPaint, R(0, 0, 50, 50));
  EXPECT_EQ(seen["Label"].second, R(0, 0, 50, 50));
  // Nothing of Far shows: it paints nothing, and erases nothing.
  EXPECT_EQ(seen["Far"].first.rcPaint, R(0, 0, 0, 0));
  EXPECT_FALSE(seen["Far"].first.fErase);
  EXPECT_EQ(rec.Take(), Seq({"Out WM_PAINT", "Out WM_ERASEBKGND", "Far WM_PAINT", "Label WM_PAINT",
                             "Label WM_ERASEBKGND"}));

  // A DC of the parent-DC child has the parent's client area, offset to
  // the child's corner...
  RECT box;
  HDC dc = GetDC(label);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, R(-150, -100, 50, 50));
  ReleaseDC(label, dc);
  // ...unless the child clips its siblings (or children): then it is its own.
  SetWindowLongA(label, GWL_STYLE, GetWindowLongA(label, GWL_STYLE) | WS_CLIPSIBLINGS);
  dc = GetDC(label);
  GetClipBox(dc, &box);
  EXPECT_EQ(box, R(0, 0, 50, 50));
  ReleaseDC(label, dc);
}

TEST_F(PaintTest, AWindowRegionIsANewFrameAndMovesWithItsWindowGivingBackOnlyWhatItsShapeCovered) {
  HWND c = Child(main, "C", R(20, 20, 80, 80));
  test::PumpUntilIdle();
  Fill(c, kRed);
  rec.Take();
  // The window hears of its shape as of a new frame; the parent gets back
  // what the shape no longer covers, its background erased at once.
  EXPECT_EQ(SetWindowRgn(c, CreateRectRgn(0, 0, 30, 30), TRUE), 1);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "C WM_NCCALCSIZE", "Main WM_ERASEBKGND",
                             "C WM_WINDOWPOSCHANGED"}));
  gdi::Region given(R(20, 20, 80, 80)), kept(R(20, 20, 50, 50));
  gdi::Region::Combine(given, given, kept, RGN_DIFF);
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(main, update, FALSE);
  EXPECT_EQ(gdi::LookupAs<gdi::RegionObject>(update)->R, given);
  EXPECT_EQ(Held({60, 60}), kWhite);
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "C WM_PAINT", "C WM_NCPAINT", "C WM_ERASEBKGND"}));

  // Moved, the shape goes along; the parent gets back the shape's old
  // place, not the rectangle's, and the pixels inside it come along.
  Fill(c, kRed);
  MoveWindow(c, 100, 20, 60, 60, TRUE);
  GetUpdateRgn(main, update, FALSE);
  EXPECT_EQ(gdi::LookupAs<gdi::RegionObject>(update)->R, kept);
  DeleteObject(update);
  EXPECT_EQ(Held({110, 30}), kRed);
  EXPECT_EQ(Held({30, 30}), kWhite);
  EXPECT_EQ(WindowFromPoint({100 + 110, 50 + 30}), c);
  EXPECT_EQ(WindowFromPoint({100 + 140, 50 + 60}), main);
}

// A top-level window's region is the shape of its surface on the screen;
// a child's region stays inside the window system.
TEST_F(PaintTest, TopLevelRegionShapesItsSurfaceAndFollowsItAcrossParents) {
  auto shape = [&](HWND h) {
    const auto* s = session.Screen().Find(detail::Peek(h)->surface);
    return s ? s->shape : std::vector<RECT>{R(-1, -1, -1, -1)};
  };
  // An L: a bar and a post under its left end.
  auto ell = [] {
    HRGN l = CreateRectRgn(0, 0, 40, 10);
    HRGN post = CreateRectRgn(0, 10, 20, 30);
    CombineRgn(l, l, post, RGN_OR);
    DeleteObject(post);
    return l;
  };
  const std::vector<RECT> ellRects{R(0, 0, 40, 10), R(0, 10, 20, 30)};

  EXPECT_EQ(SetWindowRgn(main, ell(), TRUE), 1);
  EXPECT_EQ(shape(main), ellRects);
  HWND round = Child(main, "Round", R(20, 20, 80, 80));
  SetWindowRgn(round, CreateEllipticRgn(0, 0, 60, 60), TRUE);
  EXPECT_EQ(shape(main), ellRects);
  // Nothing left shows nothing, which is not the same as no region.
  SetWindowRgn(main, CreateRectRgn(0, 0, 0, 0), TRUE);
  EXPECT_EQ(shape(main), std::vector<RECT>{RECT{}});
  SetWindowRgn(main, nullptr, TRUE);
  EXPECT_EQ(shape(main), std::vector<RECT>{});
  // The back end keeps the surface whole: painting is what the region cuts.
  SetWindowRgn(main, ell(), TRUE);
  test::PumpUntilIdle();
  Fill(main, kRed);
  EXPECT_EQ(Held({10, 25}), kRed);
  EXPECT_NE(Held({30, 25}), kRed);

  // A shaped child taken out to the desktop brings its shape to its new
  // surface; a shaped window put into another loses its surface.
  HWND tab = Child(main, "Tab", R(0, 0, 50, 40));
  SetWindowRgn(tab, ell(), FALSE);
  SetWindowLongA(tab, GWL_STYLE, (GetWindowLongA(tab, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
  SetParent(tab, nullptr);
  EXPECT_EQ(shape(tab), ellRects);
  SetWindowLongA(tab, GWL_STYLE, (GetWindowLongA(tab, GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  SetParent(tab, main);
  EXPECT_EQ(detail::Peek(tab)->surface, 0u);
}

TEST_F(PaintTest, ExposedSurfaceIsShownAgainBeforeTheProgramWaitsAndAResizedOneWhole) {
  Fill(main, kRed);
  test::PumpUntilIdle();
  rec.Take();
  BackEndEvent e;
  e.kind = BackEndEvent::Exposed;
  e.surface = detail::Peek(main)->surface;
  e.rect = R(0, 0, 200, 150);
  session.Screen().Feed(e);
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());  // the pixels are kept: nothing repaints
  EXPECT_EQ(Shown({150, 100}), kRed);
  // The screen lost the pixels (a hint over the window went) and says so
  // just as the program goes to wait: they are shown before the wait, as
  // nothing else may come to wake the program.
  std::vector<std::uint8_t> lost(50 * 40 * 4, 0);
  session.Screen().Present(e.surface, R(0, 0, 50, 40), lost.data(), 50 * 4);
  ASSERT_EQ(Shown({10, 10}), kBlack);
  e.rect = R(0, 0, 50, 40);
  session.Screen().Feed(e);
  const UINT_PTR later = SetTimer(nullptr, 0, 5000, nullptr);  // what the wait ends on
  WaitMessage();
  EXPECT_EQ(Shown({10, 10}), kRed) << "the screen keeps what covered the window until something wakes the program";
  KillTimer(nullptr, later);
  // A larger surface starts empty on the screen side; all of it is shown again.
  SetWindowPos(main, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({250, 100}), kWhite);
  EXPECT_EQ(Held({250, 100}), kWhite);
}

TEST_F(PaintTest, ClassBrushesFollowTheSystemColours) {
  int index = COLOR_WINDOW;
  COLORREF green = RGB(0, 128, 0);
  SetSysColors(1, &index, &green);
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(Held({10, 10}), green);
}

TEST_F(PaintTest, CaretIsShownOnTheScreenButNeverHeldInThePixels) {
  HWND edit = Child(main, "Edit", R(10, 10, 110, 40));
  test::PumpUntilIdle();
  ASSERT_TRUE(CreateCaret(edit, nullptr, 2, 12));
  SetCaretPos(5, 4);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({10 + 5, 10 + 4}), kWhite);  // created hidden
  ShowCaret(edit);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({15, 14}), kBlack);
  EXPECT_EQ(Shown({16, 25}), kBlack);
  EXPECT_EQ(Shown({17, 14}), kWhite);  // two pixels wide
  EXPECT_EQ(Held({15, 14}), kWhite);   // read back: no caret
  HDC dc = GetDC(edit);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bm = CreateCompatibleBitmap(dc, 10, 10);
  HGDIOBJ old = SelectObject(mem, ToObj(bm));
  BitBlt(mem, 0, 0, 10, 10, dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mem, 5, 4), kWhite);
  SelectObject(mem, old);
  DeleteObject(bm);
  DeleteDC(mem);
  ReleaseDC(edit, dc);

  // Blinking on the clock: off after one period, on again after the next.
  EXPECT_EQ(GetCaretBlinkTime(), 530u);
  test::PumpFor(530);
  EXPECT_EQ(Shown({15, 14}), kWhite);
  test::PumpFor(530);
  EXPECT_EQ(Shown({15, 14}), kBlack);
  // Repainting under the caret does not disturb it.
  InvalidateRect(edit, nullptr, TRUE);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({15, 14}), kBlack);

  // Hiding is counted; moving shows it solid at once in the new place.
  HideCaret(edit);
  HideCaret(edit);
  ShowCaret(edit);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({15, 14}), kWhite);
  ShowCaret(edit);
  SetCaretPos(50, 4);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({15, 14}), kWhite);
  EXPECT_EQ(Shown({60, 14}), kBlack);
  POINT p;
  EXPECT_TRUE(GetCaretPos(&p));
  EXPECT_EQ(p, (POINT{50, 4}));
  EXPECT_FALSE(ShowCaret(main));  // not the owner
  // Destroying it takes it off the screen.
  EXPECT_TRUE(DestroyCaret());
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({60, 14}), kWhite);
  EXPECT_FALSE(DestroyCaret());
}

TEST_F(PaintTest, ACaretAtTheEndsOfTheIntegersIsCutToItsWindowOrLiesOffIt) {
  HWND edit = Child(main, "Edit", R(10, 10, 110, 40));
  test::PumpUntilIdle();
  // As wide and tall as the numbers go, it covers the rest of the client area.
  ASSERT_TRUE(CreateCaret(edit, nullptr, INT_MAX, INT_MAX));
  SetCaretPos(90, 20);
  ShowCaret(edit);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({10 + 95, 10 + 25}), kBlack);
  EXPECT_EQ(Shown({10 + 85, 10 + 25}), kWhite);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(0, &info));
  EXPECT_EQ(info.rcCaret, (RECT{90, 20, INT_MAX, INT_MAX}));
  // Placed at the far end, it lies off the window rather than wrapping onto it.
  SetCaretPos(INT_MAX, INT_MAX);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({10 + 95, 10 + 25}), kWhite);
  EXPECT_EQ(Shown({10 + 5, 10 + 5}), kWhite);
  DestroyCaret();
}

TEST_F(PaintTest, BitmapAndGreyCaretsFlipTheirOwnPattern) {
  HWND edit = Child(main, "Edit", R(10, 10, 110, 40));
  test::PumpUntilIdle();
  // A 2x2 bitmap: white top row flips, black bottom row leaves alone.
  HDC screen = GetDC(nullptr);
  HBITMAP bm = CreateCompatibleBitmap(screen, 2, 2);
  ReleaseDC(nullptr, screen);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, ToObj(bm));
  for (int x = 0; x < 2; ++x) {
    SetPixel(mem, x, 0, kWhite);
    SetPixel(mem, x, 1, kBlack);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  ASSERT_TRUE(CreateCaret(edit, bm, 30, 30));  // the bitmap's size wins
  ShowCaret(edit);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({10, 10}), kBlack);
  EXPECT_EQ(Shown({10, 11}), kWhite);
  EXPECT_EQ(Shown({12, 10}), kWhite);
  DeleteObject(bm);
  ASSERT_TRUE(CreateCaret(edit, reinterpret_cast<HBITMAP>(1), 1, 1));
  ShowCaret(edit);
  test::PumpUntilIdle();
  EXPECT_EQ(Shown({10, 10}), RGB(127, 127, 127));
  EXPECT_EQ(Shown({10, 11}), kWhite);  // the earlier caret is gone
  // A destroyed owner takes its caret along.
  DestroyWindow(edit);
  test::PumpUntilIdle();
  EXPECT_NE(Shown({10, 10}), RGB(127, 127, 127));
  EXPECT_FALSE(SetCaretPos(1, 1));
}

// Every kind of DC starts from the same state, and SetPixel answers the
// colour the DC's pixels now hold, or CLR_INVALID where it cannot draw.
TEST_F(PaintTest, EveryKindOfDcStartsAlikeAndAnswersSetPixelWithWhatItHolds) {
  HWND empty = CreateWindowExA(0, "White", "Empty", WS_POPUP | WS_VISIBLE, 10, 10, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
  HWND inEmpty = Child(empty, "Inside", R(0, 0, 20, 20));
  test::PumpUntilIdle();
  struct Kind {
    const char* Name;
    HDC Dc;
    DWORD Type;
  };
  const Kind kinds[] = {
      {"memory", CreateCompatibleDC(nullptr), OBJ_MEMDC},
      {"client", GetDC(main), OBJ_DC},
      {"window", GetWindowDC(main), OBJ_DC},
      {"screen", GetDC(nullptr), OBJ_DC},
      {"display", CreateDCA("DISPLAY", nullptr, nullptr, nullptr), OBJ_DC},
      {"information", CreateICA("DISPLAY", nullptr, nullptr, nullptr), OBJ_DC},
      {"window of no size", GetDC(empty), OBJ_DC},
      {"child of a window of no size", GetDC(inEmpty), OBJ_DC},
  };
  const HGDIOBJ defaultBitmap = GetCurrentObject(kinds[0].Dc, OBJ_BITMAP);
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.Name);
    ASSERT_NE(k.Dc, nullptr);
    EXPECT_EQ(GetObjectType(k.Dc), k.Type);
    EXPECT_EQ(GetBkColor(k.Dc), kWhite);
    EXPECT_EQ(GetTextColor(k.Dc), kBlack);
    EXPECT_EQ(GetBkMode(k.Dc), OPAQUE);
    EXPECT_EQ(GetROP2(k.Dc), R2_COPYPEN);
    EXPECT_EQ(GetPolyFillMode(k.Dc), ALTERNATE);
    EXPECT_EQ(GetStretchBltMode(k.Dc), BLACKONWHITE);
    EXPECT_EQ(GetTextAlign(k.Dc), TA_LEFT | TA_TOP | TA_NOUPDATECP);
    EXPECT_EQ(GetMapMode(k.Dc), MM_TEXT);
    EXPECT_EQ(GetTextCharacterExtra(k.Dc), 0);
    POINT p{1, 1};
    GetCurrentPositionEx(k.Dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    GetWindowOrgEx(k.Dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    EXPECT_EQ(GetCurrentObject(k.Dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(k.Dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(k.Dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(k.Dc, OBJ_BITMAP), defaultBitmap) << "the one-pixel bitmap every new DC holds";
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(k.Dc, clip), 0);
    DeleteObject(clip);
    EXPECT_EQ(SaveDC(k.Dc), 1);
    EXPECT_TRUE(RestoreDC(k.Dc, -1));
  }
  // What each kind holds of a colour it was given.
  const COLORREF odd = RGB(0x12, 0x34, 0x56);
  EXPECT_EQ(SetPixel(kinds[0].Dc, 0, 0, RGB(200, 210, 190)), kWhite) << "the monochrome pixel takes the nearer of two";
  EXPECT_EQ(SetPixel(kinds[0].Dc, 0, 0, odd), kBlack);
  EXPECT_EQ(SetPixel(kinds[0].Dc, 1, 0, odd), CLR_INVALID) << "beyond the bitmap";
  for (int i : {1, 2, 3, 4}) EXPECT_EQ(SetPixel(kinds[i].Dc, 3, 3, odd), odd) << kinds[i].Name;
  EXPECT_EQ(Held({3, 3}), odd);
  EXPECT_EQ(SetPixel(kinds[1].Dc, 250, 3, odd), CLR_INVALID) << "outside the window";
  for (int i : {5, 6, 7}) {
    EXPECT_EQ(SetPixel(kinds[i].Dc, 0, 0, odd), CLR_INVALID) << kinds[i].Name;
    EXPECT_EQ(GetPixel(kinds[i].Dc, 0, 0), CLR_INVALID) << kinds[i].Name;
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetClipBox(kinds[i].Dc, &box), NULLREGION) << kinds[i].Name;
  }
  // A 16-bit section keeps five bits a channel, repeated into the low bits.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib16 = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(kinds[0].Dc, ToObj(dib16));
  EXPECT_EQ(SetPixel(kinds[0].Dc, 1, 1, odd), RGB(0x10, 0x31, 0x52));
  EXPECT_EQ(GetPixel(kinds[0].Dc, 1, 1), RGB(0x10, 0x31, 0x52));
  SelectObject(kinds[0].Dc, old);
  DeleteObject(dib16);

  DeleteDC(kinds[0].Dc);
  ReleaseDC(main, kinds[1].Dc);
  ReleaseDC(main, kinds[2].Dc);
  ReleaseDC(nullptr, kinds[3].Dc);
  DeleteDC(kinds[4].Dc);
  DeleteDC(kinds[5].Dc);
  ReleaseDC(empty, kinds[6].Dc);
  ReleaseDC(inEmpty, kinds[7].Dc);
  DestroyWindow(empty);
}

}  // namespace
