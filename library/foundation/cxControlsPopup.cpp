// The positioned popup form.
#include <algorithm>

#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TcxPopupWindow)

TcxPopupWindow::TcxPopupWindow() : TForm(nullptr, true) {}

void TcxPopupWindow::AfterConstruction() {
  inherited::AfterConstruction();
  TCustomForm::SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poDesigned);
  FcxCanvas = New<TcxCanvas>(GetCanvas());
}

TcxPopupWindow::~TcxPopupWindow() {
  SetOwnerParent(nullptr);
  if (FcxCanvas) FcxCanvas->Free();
}

void TcxPopupWindow::SetOwnerParent(TControl* Value) {
  if (Value == FOwnerParent) return;
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
  FOwnerParent = Value;
  if (FOwnerParent) FOwnerParent->FreeNotification(this);
}

void TcxPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FOwnerParent) FOwnerParent = nullptr;
}

// --- frame

Integer TcxPopupWindow::GetFrameWidth(TcxBorder) {
  switch (FPopupBorderStyle) {
    case pbsUltraFlat:
    case pbsFlat: return 1;
    case pbs3D: return 2;
    default: return 0;
  }
}

Integer TcxPopupWindow::GetBorderWidth(TcxBorder ABorder) { return GetFrameWidth(ABorder) + FBorderSpace; }

// Only the offset the children were actually given is taken back, so sizing
// again, or changing the frame before the children were ever placed, never
// makes them drift.
void TcxPopupWindow::RestoreControlsBounds() {
  if (FControlsOffset == TPoint()) return;
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* control = GetControl(i);
    control->SetBoundsRect(cxRectOffset(control->GetBoundsRect(), -FControlsOffset.X, -FControlsOffset.Y));
  }
  FControlsOffset = TPoint();
}

void TcxPopupWindow::SetBorderSpace(Integer Value) {
  if (Value == FBorderSpace) return;
  RestoreControlsBounds();
  FBorderSpace = Value;
}

void TcxPopupWindow::SetBorderStyle(TcxPopupBorderStyle Value) {
  if (Value == FPopupBorderStyle) return;
  RestoreControlsBounds();
  FPopupBorderStyle = Value;
}

void TcxPopupWindow::DrawFrame() {
  TRect r(0, 0, GetWidth(), GetHeight());
  switch (FPopupBorderStyle) {
    case pbsUltraFlat: FcxCanvas->FrameRect(r, FFrameColor); break;
    case pbsFlat: FcxCanvas->DrawEdge(r, false, false); break;
    case pbs3D:
      FcxCanvas->DrawEdge(r, false, true);
      FcxCanvas->DrawEdge(cxRectInflate(r, -1, -1), false, false);
      break;
    default: break;
  }
}

void TcxPopupWindow::Paint() {
  inherited::Paint();
  DrawFrame();
}

// --- size and place

void TcxPopupWindow::CalculateSize() {
  if (!FSizeToControls) return;
  RestoreControlsBounds();
  Integer maxRight = 0, maxBottom = 0;
  const Integer dx = GetBorderWidth(bLeft), dy = GetBorderWidth(bTop);
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* control = GetControl(i);
    TRect r = control->GetBoundsRect();
    maxRight = std::max(maxRight, r.Right);
    maxBottom = std::max(maxBottom, r.Bottom);
    control->SetBoundsRect(cxRectOffset(r, dx, dy));
  }
  FControlsOffset = TPoint(dx, dy);
  const bool hasChildren = GetControlCount() > 0;
  if (maxRight != 0 || hasChildren) SetWidth(dx + maxRight + GetBorderWidth(bRight));
  if (maxBottom != 0 || hasChildren) SetHeight(dy + maxBottom + GetBorderWidth(bBottom));
}

TRect TcxPopupWindow::GetOwnerScreenBounds() {
  if (!FOwnerParent) return FOwnerBounds;
  TPoint topLeft = FOwnerParent->ClientToScreen(FOwnerBounds.TopLeft());
  TPoint bottomRight = FOwnerParent->ClientToScreen(FOwnerBounds.BottomRight());
  return TRect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
}

TPoint TcxPopupWindow::CalculatePosition() {
  const TRect o = GetOwnerScreenBounds();
  const Integer w = GetWidth(), h = GetHeight();
  TcxPopupAlignHorz alignHorz = FAlignHorz;
  TcxPopupAlignVert alignVert = FAlignVert;
  TPoint p, anchor;

  auto place = [&] {
    if (alignHorz == pahCenter) p.X = (o.Left + o.Right - w) / 2;
    if (alignVert == pavCenter) p.Y = (o.Top + o.Bottom - h) / 2;
    const bool vertical = FDirection == pdVertical;
    if (alignHorz == pahLeft) {
      p.X = vertical ? o.Left : o.Left - w;
      anchor.X = o.Left;
    } else if (alignHorz == pahRight) {
      p.X = vertical ? o.Right - w : o.Right;
      anchor.X = o.Right;
    }
    if (alignVert == pavTop) {
      p.Y = vertical ? o.Top - h : o.Top;
      anchor.Y = o.Top;
    } else if (alignVert == pavBottom) {
      p.Y = vertical ? o.Bottom : o.Bottom - h;
      anchor.Y = o.Bottom;
    }
  };

  place();
  const TRect d = GetDesktopWorkArea(anchor);
  if (FDirection == pdHorizontal) {
    const bool roomLeft = (o.Left - d.Left) > (d.Right - o.Right);
    if (alignHorz == pahLeft && p.X < d.Left && !roomLeft)
      alignHorz = pahRight;
    else if (alignHorz == pahRight && p.X + w > d.Right && roomLeft)
      alignHorz = pahLeft;
  } else {
    const bool roomAbove = (o.Top - d.Top) > (d.Bottom - o.Bottom);
    if (alignVert == pavTop && p.Y < d.Top && !roomAbove)
      alignVert = pavBottom;
    else if (alignVert == pavBottom && p.Y + h > d.Bottom && roomAbove)
      alignVert = pavTop;
  }
  place();

  if (FDirection == pdVertical || alignHorz == pahCenter) {
    if (p.X + w > d.Right) p.X = d.Right - w;
    if (p.X < d.Left) p.X = d.Left;
  }
  if (FDirection == pdHorizontal || alignVert == pavCenter) {
    if (p.Y + h > d.Bottom) p.Y = d.Bottom - h;
    if (p.Y < d.Top) p.Y = d.Top;
  }
  return p;
}

// --- showing

void TcxPopupWindow::InitPopup() {
  if (FOwnerParent) SetFont(FOwnerParent->GetFont());
}

void TcxPopupWindow::Popup() {
  InitPopup();
  CalculateSize();
  TPoint p = CalculatePosition();
  SetBounds(p.X, p.Y, GetWidth(), GetHeight());
  Show();
}

void TcxPopupWindow::CloseUp() { Hide(); }

// --- activation

void TcxPopupWindow::WMActivate(TMessage& Message) {
  inherited::WMActivate(Message);
  if (LOWORD(Message.WParam) == WA_INACTIVE) return;
  // The window we took activation from keeps its caption drawn active.
  FPrevActiveWindow = reinterpret_cast<HWND>(Message.LParam);
  if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, TRUE, 0);
}

void TcxPopupWindow::WMActivateApp(TMessage& Message) {
  inherited::WMActivateApp(Message);
  if (Message.WParam) return;
  if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, FALSE, 0);
  CloseUp();
}

void TcxPopupWindow::Deactivate() {
  inherited::Deactivate();
  CloseUp();
}

void TcxPopupWindow::CMVisibleChanged(TMessage& Message) {
  inherited::CMVisibleChanged(Message);
  VisibleChanged();
}
