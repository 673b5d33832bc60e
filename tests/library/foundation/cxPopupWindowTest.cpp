// The positioned popup: placed beside its owner, flipped along its direction
// where there is more room, clamped across it; sized to its children plus a
// frame; closed when it loses activation; its frame by pixels.
#include "ControlsSession.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/StdCtrls.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Owned.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WindowDC.h"

namespace {

class cxPopupWindows : public ControlsSession {
 protected:
  TOwned<TcxPopupWindow> popup{New<TcxPopupWindow>()};

  void SetUp() override {
    ControlsSession::SetUp();
    // An 800 x 600 screen with a 40-pixel task bar at the bottom.
    win::test::SetMonitors({{{0, 0, 800, 600}, {0, 0, 800, 560}, true}});
    popup->SetSizeToControls(false);
  }
  void TearDown() override {
    popup.reset();
    ControlsSession::TearDown();
  }
  TPoint Position(TRect owner, Integer w, Integer h) {
    popup->SetOwnerBounds(owner);
    popup->SetBounds(0, 0, w, h);
    return popup->CalculatePosition();
  }
};

TColor WindowPixel(win::HWND hwnd, int x, int y) {
  win::HDC dc = win::GetWindowDC(hwnd);
  TColor c = static_cast<TColor>(win::GetPixel(dc, x, y));
  win::ReleaseDC(hwnd, dc);
  return c;
}

// Copies a window's pixels into a PNG file for the eye.
bool SaveWindowPng(win::HWND hwnd, int w, int h, const char* name) {
  win::HDC dc = win::GetWindowDC(hwnd);
  win::HDC mem = win::CreateCompatibleDC(dc);
  win::HBITMAP bmp = win::CreateCompatibleBitmap(dc, w, h);
  auto old = win::SelectObject(mem, bmp);
  win::BitBlt(mem, 0, 0, w, h, dc, 0, 0, win::SRCCOPY);
  win::SelectObject(mem, old);
  bool saved = win::SaveBitmapPng(bmp, name);
  win::DeleteObject(bmp);
  win::DeleteDC(mem);
  win::ReleaseDC(hwnd, dc);
  return saved;
}

}  // namespace

TEST_F(cxPopupWindows, ADropDownFlipsAboveOnlyWhenThereIsMoreRoomThere) {
  // Plenty of room below: under the owner, left edges aligned.
  EXPECT_EQ(Position({100, 100, 200, 120}, 150, 200), TPoint(100, 120));
  // Near the bottom with more room above: above the owner.
  EXPECT_EQ(Position({100, 500, 200, 520}, 150, 200), TPoint(100, 300));
  // Too tall for either side, more room below: stays below and overlaps the
  // edge; a non-centred drop-down is never clamped vertically.
  EXPECT_EQ(Position({100, 250, 200, 270}, 150, 400), TPoint(100, 270));
  // Right-aligned ends at the owner's right edge; across the direction it is
  // clamped into the work area.
  popup->SetAlignHorz(pahRight);
  EXPECT_EQ(Position({100, 100, 200, 120}, 150, 50), TPoint(50, 120));
  EXPECT_EQ(Position({10, 100, 60, 120}, 150, 50), TPoint(0, 120));
  // Wider than the work area: it starts at the area's left edge.
  popup->SetAlignHorz(pahLeft);
  EXPECT_EQ(Position({700, 100, 780, 120}, 900, 50), TPoint(0, 120));
  // Centred both ways: clamped both ways.
  popup->SetAlignHorz(pahCenter);
  popup->SetAlignVert(pavCenter);
  EXPECT_EQ(Position({0, 540, 40, 560}, 100, 100), TPoint(0, 460));
}

TEST_F(cxPopupWindows, ASidePopupFlipsHorizontallyAndClampsVertically) {
  popup->SetDirection(pdHorizontal);
  popup->SetAlignHorz(pahRight);
  popup->SetAlignVert(pavTop);
  EXPECT_EQ(Position({100, 100, 200, 120}, 150, 100), TPoint(200, 100));
  // No room on the right, more on the left: to the left of the owner.
  EXPECT_EQ(Position({600, 100, 700, 120}, 150, 100), TPoint(450, 100));
  // Too low: clamped onto the work area's bottom.
  EXPECT_EQ(Position({100, 500, 200, 520}, 150, 100), TPoint(200, 460));
  // Left-aligned with more room on the right than left: flipped to the right.
  popup->SetAlignHorz(pahLeft);
  EXPECT_EQ(Position({50, 100, 150, 120}, 150, 100), TPoint(150, 100));
}

TEST_F(cxPopupWindows, SizesToItsChildrenAndPutsThemBackWhenTheFrameChanges) {
  TOwned<TcxPopupWindow> p(New<TcxPopupWindow>());
  auto* a = New<TBevel>(p.get());
  a->SetParent(p.get());
  a->SetBoundsRect({0, 0, 80, 20});
  auto* b = New<TBevel>(p.get());
  b->SetParent(p.get());
  b->SetBoundsRect({10, 30, 60, 70});
  p->SetBorderStyle(pbs3D);
  p->SetBorderSpace(3);
  p->CalculateSize();
  EXPECT_EQ(p->GetWidth(), 5 + 80 + 5);
  EXPECT_EQ(p->GetHeight(), 5 + 70 + 5);
  EXPECT_EQ(b->GetBoundsRect(), TRect(15, 35, 65, 75));

  p->SetBorderStyle(pbsNone);
  EXPECT_EQ(a->GetBoundsRect(), TRect(0, 0, 80, 20));
  EXPECT_EQ(b->GetBoundsRect(), TRect(10, 30, 60, 70));
  p->CalculateSize();
  EXPECT_EQ(p->GetWidth(), 3 + 80 + 3);
  // Sizing again, as every popup does, places them once, not twice.
  p->CalculateSize();
  EXPECT_EQ(b->GetBoundsRect(), TRect(13, 33, 63, 73));
  EXPECT_EQ(p->GetWidth(), 3 + 80 + 3);
  p->SetBorderSpace(0);
  p->CalculateSize();
  EXPECT_EQ(b->GetBoundsRect(), TRect(10, 30, 60, 70));

  p->SetSizeToControls(false);
  p->SetBounds(0, 0, 33, 44);
  p->CalculateSize();
  EXPECT_EQ(p->GetWidth(), 33);
  EXPECT_EQ(p->GetHeight(), 44);
}

TEST_F(cxPopupWindows, OpensBesideItsOwnerAndClosesWhenItLosesActivation) {
  ShowForm();
  auto* owner = Place<TBevel>({20, 30, 120, 50});
  popup->SetOwnerParent(form);
  popup->SetOwnerBounds(owner->GetBoundsRect());
  popup->SetBorderStyle(pbsUltraFlat);
  popup->SetFrameColor(clRed);
  popup->SetColor(clWhite);
  popup->SetBounds(0, 0, 100, 60);
  int paints = 0;
  popup->OnPaint = [&](TObject*) { ++paints; };
  popup->Popup();
  win::test::PumpUntilIdle();
  ASSERT_TRUE(popup->GetVisible());
  TPoint corner = form->ClientToScreen({20, 50});
  EXPECT_EQ(popup->GetBoundsRect(), TRect(corner.X, corner.Y, corner.X + 100, corner.Y + 60));
  EXPECT_GT(paints, 0);
  EXPECT_EQ(win::test::Active(), popup->GetHandle());
  EXPECT_EQ(popup->GetPrevActiveWindow(), form->GetHandle());
  // The frame is drawn after the form's own painting.
  EXPECT_EQ(WindowPixel(popup->GetHandle(), 0, 0), clRed);
  EXPECT_EQ(WindowPixel(popup->GetHandle(), 99, 59), clRed);
  EXPECT_EQ(WindowPixel(popup->GetHandle(), 1, 1), clWhite);
  EXPECT_TRUE(SaveWindowPng(popup->GetHandle(), 100, 60, "popup.png"));

  // Activating the owner's form closes the popup.
  form->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_FALSE(popup->GetVisible());
}
