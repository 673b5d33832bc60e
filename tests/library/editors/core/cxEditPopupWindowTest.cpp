// The editor popup as a real top-level window next to an editor of the
// test's own, driven by injected input on a screen of two monitors (the
// first with a 30-pixel task bar at the bottom): where it opens, how its
// border, grip and close button behave, and what its frame looks like.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxEditPopupWindow.h"
#include "library/foundation/cxGeometry.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/theme/GoldenImage.h"
#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowRegion.h"

using namespace win;

namespace {

// An editor that owns a popup: it logs what the popup asks of it, closes
// the popup when asked to, and may hold a list of fixed-height rows.
class TPopupOwner : public TCustomControl, public IcxEditPopupWindowOwner {
  ORV_CLASS(TPopupOwner, TCustomControl)
 public:
  explicit TPopupOwner(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

  TcxCustomEditPopupWindow* Popup = nullptr;
  std::vector<std::string> Log;
  std::string Typed;
  Integer ResizedByUser = 0;
  Integer RowHeight = 0;
  bool RefuseResize = false;

  TRect GetPopupWindowOwnerControlBounds() override { return GetBoundsRect(); }
  TSize Preferred{120, 80};
  TSize GetPopupWindowClientPreferredSize() override { return Preferred; }
  void PositionPopupWindowChilds(const TRect& R) override {
    Log.push_back("children " + std::to_string(R.Width()) + "x" + std::to_string(R.Height()));
  }
  void CloseUp(TcxEditCloseUpReason AReason) override {
    static const char* Names[] = {"crUnknown", "crTab", "crClose", "crCancel", "crEnter"};
    Log.push_back(std::string("close ") + Names[AReason]);
    Popup->CloseUp();
  }
  void DoFinalizePopup() override { Log.push_back("finalize"); }
  bool PopupWindowAcceptsAnySize() override { return true; }
  void PopupWindowResizedByUser() override { ++ResizedByUser; }
  bool CanResizePopupVisualArea(TSize& ASize, Integer AMaxHeight) override {
    if (RefuseResize) return false;
    if (RowHeight > 0) ASize.cy = std::min(ASize.cy, AMaxHeight) / RowHeight * RowHeight;
    return true;
  }
  TcxCustomLookAndFeelPainterClass GetPopupWindowPainter() override {
    return TcxStandardLookAndFeelPainter::StaticClass();
  }

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_CHAR) Typed += static_cast<char>(Message.WParam);
    TCustomControl::WndProc(Message);
  }
};

std::vector<HWND> SizeFrameWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM list) -> BOOL {
        char name[64] = {};
        GetClassNameA(w, name, sizeof(name));
        if (std::string(name) == "TcxSizeFrameWindow" && IsWindowVisible(w))
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TRect WindowBounds(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

class EditPopupWindow : public ::testing::Test {
 protected:
  edit_test::EditorSession session;
  TForm* form = nullptr;
  TPopupOwner* owner = nullptr;
  TcxCustomEditPopupWindow* popup = nullptr;

  void SetUp() override {
    test::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true}, {{1024, 0, 2048, 768}, {1024, 0, 2048, 768}}});
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
    owner = New<TPopupOwner>(form);
    owner->SetBoundsRect({20, 30, 170, 51});
    owner->SetParent(form);
    form->Show();
    MakePopup(TcxCustomEditPopupWindow::StaticClass());
  }
  void TearDown() override {
    if (popup) popup->Free();
    form->Free();
    test::PumpUntilIdle();
  }
  void MakePopup(TClassRef<TcxCustomEditPopupWindow> AClass) {
    if (popup) popup->Free();
    popup = AClass.Construct<TWinControl*>(owner);
    owner->Popup = popup;
    popup->SetCaptureFocus(false);
    popup->SetPopupAutoSize(false);
    popup->SetPopupWidth(200);
    popup->SetPopupHeight(150);
    popup->SetBorderStyle(epbsSingle);
  }
  void WithPanel() {
    popup->SetShadow(true);
    popup->SetSysPanelStyle(true);
    popup->SetSizeable(true);
    popup->SetCloseButton(true);
  }
  // Moves the form so that the editor's top left lands on P (screen).
  void PlaceEditor(TPoint P) {
    const TPoint at = owner->ClientToScreen(TPoint());
    form->SetBounds(form->GetLeft() + P.X - at.X, form->GetTop() + P.Y - at.Y, form->GetWidth(), form->GetHeight());
    test::PumpUntilIdle();
  }
  TRect Editor() {
    const TPoint at = owner->ClientToScreen(TPoint());
    return TRect(at.X, at.Y, at.X + owner->GetWidth(), at.Y + owner->GetHeight());
  }
  void Open() {
    popup->Popup();
    test::PumpUntilIdle();
    ASSERT_TRUE(popup->IsVisible());
  }
  TcxCustomEditPopupWindowViewInfo* Info() { return popup->GetViewInfo(); }
  TPoint At(Integer X, Integer Y) { return TPoint(popup->GetLeft() + X, popup->GetTop() + Y); }
  TPoint Center(const TRect& R) { return At((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
  void Drag(TPoint From, Integer DX, Integer DY) {
    test::MouseMove(From);
    test::MouseDown();
    test::MouseMove(TPoint(From.X + DX, From.Y + DY));
    test::PumpUntilIdle();
  }
  void Drop() {
    test::MouseUp();
    test::PumpUntilIdle();
  }
  COLORREF Pixel(Integer X, Integer Y) {
    HDC dc = GetWindowDC(popup->GetHandle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(popup->GetHandle(), dc);
    return c;
  }
  bool InRegion(Integer X, Integer Y) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(popup->GetHandle(), rgn) > 1;
    const bool in = !shaped || PtInRegion(rgn, X, Y);
    DeleteObject(rgn);
    return in;
  }
  HCURSOR CursorAt(TPoint P) {
    test::MouseMove(P);
    test::PumpUntilIdle();
    return test::Cursor();
  }
};

COLORREF Sys(TColor AColor) { return static_cast<COLORREF>(ColorToRGB(AColor)); }

}  // namespace

ORV_REGISTER(TPopupOwner)

TEST_F(EditPopupWindow, OpensBelowItsEditorAndFlipsAboveOrLeftwardAtTheWorkAreasEdges) {
  WithPanel();
  popup->SetPopupWidth(0);
  Open();
  TRect e = Editor();
  // As wide as the editor, right below it; the grip in the bottom-right corner
  // and the close button on the other side.
  EXPECT_EQ(popup->GetBoundsRect(), TRect(e.Left, e.Bottom, e.Right, e.Bottom + 150));
  EXPECT_EQ(Info()->SizeGripRect.BottomRight(), Info()->InnerRect.BottomRight());
  EXPECT_EQ(Info()->CloseButtonRect.Left, Info()->InnerRect.Left + 3);
  EXPECT_TRUE(InRegion(e.Width() - 1, 149));  // the shadow under the popup
  popup->CloseUp();

  // Near the task bar: above the editor, its visible frame (3 pixels above the
  // shadow) meeting the editor, with the panel and grip at the top; the
  // shadow spares the editor.
  PlaceEditor(TPoint(300, 690));
  Open();
  e = Editor();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(e.Left, e.Top - 150 + 3, e.Right, e.Top + 3));
  EXPECT_EQ(Info()->SizingCorner, ecoTopRight);
  EXPECT_EQ(Info()->SizeGripRect.Top, Info()->InnerRect.Top);
  EXPECT_EQ(Info()->ClientRect.Top, 1 + 18 + 1);
  EXPECT_FALSE(InRegion(20, 148));
  EXPECT_TRUE(InRegion(146, 20));
  EXPECT_FALSE(InRegion(148, 1));
  popup->CloseUp();

  // Wider than the room on the right: shifted left to the edge, so it grows
  // leftward, grip on the left and close button on the right.
  popup->SetPopupWidth(300);
  PlaceEditor(TPoint(850, 200));
  Open();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(1024 - 300, Editor().Bottom, 1024, Editor().Bottom + 150));
  EXPECT_EQ(Info()->SizingCorner, ecoBottomLeft);
  EXPECT_EQ(Info()->SizeGripRect.Left, Info()->InnerRect.Left);
  EXPECT_EQ(Info()->CloseButtonRect.Right, Info()->InnerRect.Right - 3);
  popup->CloseUp();

  // On the second monitor it keeps to that monitor's edge.
  PlaceEditor(TPoint(1850, 200));
  Open();
  EXPECT_EQ(popup->GetLeft(), 2048 - 300);
}

// Sizes at the end of Integer (settings, remembered drags, the content's
// own) open the largest popup the work area holds, under the editor.
TEST_F(EditPopupWindow, SizesAtTheEndOfIntegerOpenAsLargeAsTheWorkAreaHolds) {
  popup->SetPopupWidth(INT_MAX);
  popup->SetPopupHeight(INT_MAX);
  Open();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(0, Editor().Bottom, 1024, 738));
  popup->CloseUp();

  owner->Preferred = TSize(INT_MAX, INT_MAX);
  popup->SetPopupAutoSize(true);
  Open();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(0, Editor().Bottom, 1024, 738));
  popup->CloseUp();
  popup->SetPopupAutoSize(false);

  // A sizeable one keeps its minimum, from the work area's left edge on.
  WithPanel();
  popup->SetPopupWidth(0);
  popup->SetPopupHeight(150);
  popup->SetMinWidth(INT_MAX);
  Open();
  EXPECT_EQ(popup->GetLeft(), 0);
  EXPECT_EQ(popup->GetTop(), Editor().Bottom);
  EXPECT_EQ(popup->GetHeight(), 150);
}

TEST_F(EditPopupWindow, AsWideAsItsEditorButNeverNarrowerThanItsPanelsPartsOrItsMinimum) {
  WithPanel();
  popup->SetPopupWidth(0);
  owner->SetWidth(30);
  Open();
  // Room for the border and shadow, close button, grip and 10 pixels.
  EXPECT_EQ(popup->GetWidth(), (1 + 1 + 3) + 14 + 16 + 10);
  popup->CloseUp();
  popup->SetMinWidth(90);
  Open();
  EXPECT_EQ(popup->GetWidth(), 90);
}

TEST_F(EditPopupWindow, EachBorderStyleHasItsWidthAndTheShadowItsShape) {
  struct Case {
    TcxEditPopupBorderStyle style;
    bool native, clientEdge;
    Integer width;
  };
  for (const Case& c : {Case{epbsDefault, false, false, 0}, Case{epbsSingle, false, true, 3},
                        Case{epbsFrame3D, false, false, 4}, Case{epbsFrame3D, false, true, 6},
                        Case{epbsFlat, false, true, 3}, Case{epbsFlat, true, false, 1}, Case{epbsFlat, true, true, 3}}) {
    popup->SetBorderStyle(c.style);
    popup->SetNativeStyle(c.native);
    popup->SetClientEdge(c.clientEdge);
    Open();
    EXPECT_EQ(Info()->ClientRect, TRect(c.width, c.width, 200 - c.width, 150 - c.width)) << c.style;
    popup->CloseUp();
  }
  // Three-dimensional without a client edge ends in a sunken edge; the
  // popup editor's keeps its inactive-border line instead.
  popup->SetNativeStyle(false);
  popup->SetClientEdge(false);
  popup->SetBorderStyle(epbsFrame3D);
  Open();
  EXPECT_EQ(Pixel(199, 149), Sys(cl3DDkShadow));
  EXPECT_EQ(Pixel(3, 3), Sys(clBtnShadow));
  EXPECT_EQ(Pixel(196, 146), Sys(clBtnHighlight));
  MakePopup(TcxPopupEditPopupWindow::StaticClass());
  popup->SetBorderStyle(epbsFrame3D);
  Open();
  EXPECT_EQ(Pixel(2, 2), Sys(clInactiveBorder));
  EXPECT_EQ(Pixel(3, 3), Sys(clBtnFace));
  popup->CloseUp();

  // The shadow falls three pixels right and below, offset by three; the
  // corners beside it are not the window's.
  popup->SetBorderStyle(epbsSingle);
  popup->SetShadow(true);
  Open();
  EXPECT_EQ(Pixel(196, 146), Sys(clBtnText));
  EXPECT_EQ(Pixel(198, 148), Sys(clBtnShadow));
  EXPECT_FALSE(InRegion(198, 1));
  EXPECT_FALSE(InRegion(1, 148));
}

TEST_F(EditPopupWindow, TheGripAndTheSidesAwayFromTheEditorSizeItThroughAnOutline) {
  WithPanel();
  popup->SetMinWidth(100);
  popup->SetMinHeight(60);
  Open();
  const TRect start = popup->GetBoundsRect();
  const TPoint grip = Center(Info()->SizeGripRect);
  // The cursor tells what a press would size; the sides next to the editor
  // size nothing.
  EXPECT_EQ(CursorAt(grip), Screen->GetCursors(crSizeNWSE));
  EXPECT_EQ(CursorAt(At(196, 60)), Screen->GetCursors(crSizeWE));
  EXPECT_EQ(CursorAt(At(60, 146)), Screen->GetCursors(crSizeNS));
  EXPECT_EQ(CursorAt(At(190, 146)), Screen->GetCursors(crSizeNWSE));
  CursorAt(At(0, 60));
  EXPECT_EQ(popup->GetCursor(), crDefault);
  // The diagonals: the grip's, and the far corner's; a side alone sizes
  // along none.
  const TPoint gripInside = cxRectCenter(Info()->SizeGripRect);
  EXPECT_EQ(Info()->GetMouseSizingDirection(gripInside.X, gripInside.Y), mmdNWSE);
  EXPECT_EQ(Info()->GetMouseSizingDirection(190, 146), mmdNWSE);
  EXPECT_EQ(Info()->GetMouseSizingDirection(196, 60), mmdNone);
  EXPECT_EQ(Info()->GetMouseSizingDirection(60, 60), mmdNone) << "inside, nothing sizes";

  // While dragging, four outline windows frame the new size (less the
  // shadow); the popup itself changes on release.
  Drag(grip, 40, 30);
  std::vector<HWND> frame = SizeFrameWindows();
  ASSERT_EQ(frame.size(), 4u);
  TRect outline = WindowBounds(frame[0]);
  for (HWND w : frame) {
    outline = cxRectUnion(outline, WindowBounds(w));
    EXPECT_EQ(std::min(WindowBounds(w).Width(), WindowBounds(w).Height()), 2);
  }
  EXPECT_EQ(outline, TRect(start.Left, start.Top, start.Right + 40 - 3, start.Bottom + 30 - 3));
  EXPECT_EQ(popup->GetBoundsRect(), start);
  EXPECT_GT(owner->ResizedByUser, 0);
  EXPECT_NE(test::Active(), frame[0]);
  Drop();
  EXPECT_TRUE(SizeFrameWindows().empty());
  EXPECT_EQ(popup->GetBoundsRect(), TRect(start.Left, start.Top, start.Right + 40, start.Bottom + 30));
  ASSERT_FALSE(owner->Log.empty());
  EXPECT_EQ(owner->Log.back(), "children 235x156");

  // A side moves alone; the far corner and the editor's sides stay put.
  Drag(At(236, 60), -20, 50);
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(start.Left, start.Top, start.Right + 20, start.Bottom + 30));
  Drag(At(60, 176), 70, -10);
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(start.Left, start.Top, start.Right + 20, start.Bottom + 20));
  Drag(At(0, 60), 50, 50);
  EXPECT_TRUE(SizeFrameWindows().empty());
  Drop();
  EXPECT_EQ(popup->GetBoundsRect().Width(), 220);

  // Never smaller than the minimum size.
  Drag(Center(Info()->SizeGripRect), -500, -500);
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(start.Left, start.Top, start.Left + 100, start.Top + 60));
}

TEST_F(EditPopupWindow, OpenedAboveAndLeftwardItGrowsUpAndLeftFromTheGripInItsTopLeftCorner) {
  WithPanel();
  popup->SetPopupWidth(300);
  PlaceEditor(TPoint(850, 690));
  Open();
  ASSERT_EQ(Info()->SizingCorner, ecoTopLeft);
  const TRect start = popup->GetBoundsRect();
  const TPoint grip = Center(Info()->SizeGripRect);
  EXPECT_EQ(CursorAt(grip), Screen->GetCursors(crSizeNWSE));
  EXPECT_EQ(CursorAt(At(150, 0)), Screen->GetCursors(crSizeNS));
  Drag(grip, -30, -20);
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), TRect(start.Left - 30, start.Top - 20, start.Right, start.Bottom));
  popup->CloseUp();
  // Above but not leftward: the grip's corner sizes north-east.
  popup->SetPopupWidth(100);
  PlaceEditor(TPoint(300, 690));
  Open();
  EXPECT_EQ(CursorAt(Center(Info()->SizeGripRect)), Screen->GetCursors(crSizeNESW));
  const TPoint grip2 = cxRectCenter(Info()->SizeGripRect);
  EXPECT_EQ(Info()->GetMouseSizingDirection(grip2.X, grip2.Y), mmdNESW);
}

TEST_F(EditPopupWindow, AListInThePopupFitsANewSizeToWholeRowsOrKeepsTheOldOne) {
  WithPanel();
  owner->RowHeight = 16;
  Open();
  const TRect start = popup->GetBoundsRect();
  Drag(At(60, Info()->InnerRect.Bottom), 0, 37);
  Drop();
  EXPECT_EQ(Info()->ClientRect.Height() % 16, 0);
  EXPECT_LE(popup->GetBoundsRect().Bottom, start.Bottom + 37);
  EXPECT_GT(popup->GetBoundsRect().Bottom, start.Bottom + 37 - 16);

  owner->RefuseResize = true;
  const TRect before = popup->GetBoundsRect();
  const Integer resized = owner->ResizedByUser;
  Drag(Center(Info()->SizeGripRect), 60, 60);
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), before);
  EXPECT_EQ(owner->ResizedByUser, resized);
}

TEST_F(EditPopupWindow, ClosingFreeingOrLosingTheMouseInTheMiddleOfSizingLeavesNoOutlineOrCaptureBehind) {
  WithPanel();
  Open();
  Drag(Center(Info()->SizeGripRect), 30, 30);
  ASSERT_EQ(SizeFrameWindows().size(), 4u);
  popup->CloseUp();
  EXPECT_TRUE(SizeFrameWindows().empty());
  EXPECT_EQ(test::Capture(), nullptr);
  Drop();

  // Losing the mouse to someone else ends the sizing where it was.
  Open();
  const TRect start = popup->GetBoundsRect();
  Drag(Center(Info()->SizeGripRect), 30, 30);
  ReleaseCapture();
  EXPECT_TRUE(SizeFrameWindows().empty());
  Drop();
  EXPECT_EQ(popup->GetBoundsRect(), start);

  Drag(Center(Info()->SizeGripRect), 30, 30);
  popup->Free();
  popup = nullptr;
  EXPECT_TRUE(SizeFrameWindows().empty());
  test::MouseMove(TPoint(600, 600));
  Drop();
}

TEST_F(EditPopupWindow, TheCloseButtonTurnsHotAndPressedAndClosesOnlyWhenReleasedOverItself) {
  WithPanel();
  Open();
  const TPoint button = Center(Info()->CloseButtonRect);
  test::MouseMove(button);
  test::PumpUntilIdle();
  EXPECT_EQ(Info()->CloseButtonState, cxbsHot);
  test::MouseDown();
  test::PumpUntilIdle();
  EXPECT_EQ(Info()->CloseButtonState, cxbsPressed);
  // Released elsewhere: nothing closes.
  test::MouseMove(At(100, 60));
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(Info()->CloseButtonState, cxbsNormal);
  EXPECT_TRUE(popup->IsVisible());
  EXPECT_TRUE(owner->Log.empty());

  test::MouseMove(button);
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(owner->Log, std::vector<std::string>{"close crUnknown"});
  Open();
  EXPECT_EQ(Info()->CloseButtonState, cxbsNormal);
}

TEST_F(EditPopupWindow, AModalResultClosesThroughTheEditorWithItsReason) {
  popup->SetCaptureFocus(true);
  for (TModalResult result : {mrOk, mrCancel, mrAbort}) {
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& done) {
      done = false;
      if (++idles > 10) popup->CloseUp();  // a failing test must not hang
      if (popup->IsVisible()) popup->SetModalResult(result);
    };
    popup->Popup();
    Application->OnIdle = {};
  }
  EXPECT_EQ(owner->Log, (std::vector<std::string>{"close crEnter", "close crCancel", "close crUnknown"}));
}

TEST_F(EditPopupWindow, AForwardedKeyReachesTheFocusedControlOnlyWhileOpenAndAHiddenEditorOpensNothing) {
  owner->SetFocus();
  Open();
  PostMessageA(popup->GetHandle(), DXM_POPUPCONTROLKEY, 'r', 0);
  test::PumpUntilIdle();
  popup->CloseUp();
  PostMessageA(popup->GetHandle(), DXM_POPUPCONTROLKEY, 'x', 0);
  test::PumpUntilIdle();
  EXPECT_EQ(owner->Typed, "r");

  owner->Hide();
  popup->Popup();
  EXPECT_FALSE(popup->IsVisible());
  EXPECT_EQ(owner->Log, std::vector<std::string>{"finalize"});
}

// Every border style (rows: single, three-dimensional, flat, native, the
// popup editor's three-dimensional) plain, with a client edge, with a
// shadow, with the system panel, with all three, and with all three opened
// above and leftward; pixel for pixel against the golden image a person
// looked at. ORVANTA_UPDATE_GOLDEN=1 writes it.
TEST_F(EditPopupWindow, TheFramesMatchTheGoldenContactSheet) {
  constexpr int W = 120, H = 90, Gap = 10, Cols = 6, Rows = 5;
  themetest::Image sheet;
  sheet.Width = Cols * (W + Gap) + Gap;
  sheet.Height = Rows * (H + Gap) + Gap;
  sheet.Pixels.assign(static_cast<std::size_t>(sheet.Width) * sheet.Height, 0xF3F4F6);
  for (int row = 0; row < Rows; ++row)
    for (int col = 0; col < Cols; ++col) {
      MakePopup(row == 4 ? TcxPopupEditPopupWindow::StaticClass() : TcxCustomEditPopupWindow::StaticClass());
      static constexpr TcxEditPopupBorderStyle Styles[] = {epbsSingle, epbsFrame3D, epbsFlat, epbsSingle, epbsFrame3D};
      popup->SetBorderStyle(Styles[row]);
      popup->SetNativeStyle(row == 3);
      popup->SetPopupWidth(W);
      popup->SetPopupHeight(H);
      popup->SetClientEdge(col == 1 || col >= 4);
      popup->SetShadow(col == 2 || col >= 4);
      popup->SetSysPanelStyle(col >= 3);
      popup->SetSizeable(col >= 3);
      popup->SetCloseButton(col >= 3);
      PlaceEditor(col == 5 ? TPoint(960, 690) : TPoint(300, 200));
      Open();
      HWND wnd = popup->GetHandle();
      HDC wdc = GetWindowDC(wnd);
      HDC mem = CreateCompatibleDC(wdc);
      HBITMAP bmp = CreateCompatibleBitmap(wdc, W, H);
      auto old = SelectObject(mem, bmp);
      BitBlt(mem, 0, 0, W, H, wdc, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      std::vector<std::uint32_t> pixels(static_cast<std::size_t>(W) * H);
      BITMAPINFO info{};
      info.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
      GetDIBits(mem, bmp, 0, UINT(H), pixels.data(), &info, DIB_RGB_COLORS);
      DeleteObject(bmp);
      DeleteDC(mem);
      ReleaseDC(wnd, wdc);
      const int x0 = Gap + col * (W + Gap), y0 = Gap + row * (H + Gap);
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
          if (InRegion(x, y))
            sheet.Pixels[static_cast<std::size_t>(y0 + y) * sheet.Width + x0 + x] = pixels[y * W + x] & 0xFFFFFF;
      popup->CloseUp();
    }

  themetest::ExpectMatchesGolden(sheet, "EditPopupFrames.png", "tests/library/editors/core/EditPopupFrames.png");
}
