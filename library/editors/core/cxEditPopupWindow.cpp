#include "library/editors/core/cxEditPopupWindow.h"

#include <algorithm>

#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Metrics.h"
#include "platform/win/Modules.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxCustomEditPopupWindowViewInfo)
ORV_REGISTER(TcxCustomEditPopupWindow)
ORV_REGISTER(TcxPopupEditPopupWindowViewInfo)
ORV_REGISTER(TcxPopupEditPopupWindow)

TcxEditMouseSizingDirection cxEditMouseSizingDirection(const TPoint& ADirection) {
  if (ADirection.X == 0 || ADirection.Y == 0) return mmdNone;
  return ADirection.X == ADirection.Y ? mmdNWSE : mmdNESW;
}

namespace {

constexpr Integer ShadowWidth = cxContainerShadowWidth;
// Sizes are 16-bit quantities to the window system.
constexpr Integer LargestWindowExtent = 32767;

// Theme parts of the system panel.
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int SBP_SIZEBOX = 10;
constexpr int SZB_RIGHTALIGN = 1;
// The close button's theme state by button state (default .. disabled).
constexpr int CloseButtonThemeStates[] = {1, 1, 2, 3, 4};

TSize ThemePartSize(TdxThemedObjectType AType, int APart, int AState) {
  TSize size{};
  if (TdxTheme theme = OpenTheme(AType)) {
    HDC dc = GetDC(nullptr);
    SIZE s{};
    if (::GetThemePartSize(theme, dc, APart, AState, TS_TRUE, &s) == S_OK) size = TSize(s.cx, s.cy);
    ReleaseDC(nullptr, dc);
  }
  return size;
}

Integer SystemScrollBarSize() { return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE)); }

TCursor SizingCursor(const TPoint& ADirection) {
  switch (cxEditMouseSizingDirection(ADirection)) {
    case mmdNWSE: return crSizeNWSE;
    case mmdNESW: return crSizeNESW;
    case mmdNone: break;
  }
  if (ADirection.Y != 0) return crSizeNS;
  if (ADirection.X != 0) return crSizeWE;
  return crDefault;
}

// --- The size frame ----------------------------------------------------------
// The outline of the size the popup will take while it is sized: four thin
// windows around the rectangle, above everything and never active, since
// nothing can be drawn over other windows on the screen itself.

constexpr const char* SizeFrameClass = "TcxSizeFrameWindow";

LRESULT SizeFrameWndProc(HWND AWnd, UINT AMsg, WPARAM WParam, LPARAM LParam) {
  switch (AMsg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(AWnd, &ps);
      RECT r{};
      GetClientRect(AWnd, &r);
      const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
      const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
      FillRect(dc, &r, cxHalfToneBrush());
      SetBkColor(dc, back);
      SetTextColor(dc, text);
      EndPaint(AWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    default: return DefWindowProcA(AWnd, AMsg, WParam, LParam);
  }
}

// One popup is sized at a time: who, which sides, how far the mouse is from
// the sides it holds, the last rectangle shown and the outline's windows.
struct TSizingState {
  TcxCustomEditPopupWindow* Popup = nullptr;
  TPoint Direction{};
  TPoint Offset{};
  TRect Rect{};
  HWND Frame[4] = {};
};

TSizingState Sizing;
// A sizing cursor is showing over a popup's frame.
bool HotCursor = false;

void HideSizeFrame() {
  for (HWND& w : Sizing.Frame) {
    if (w && IsWindow(w)) DestroyWindow(w);
    w = nullptr;
  }
}

void ClearSizing() {
  HideSizeFrame();
  Sizing = TSizingState();
}

void PlaceSizeFrame(HWND AOwner, const TRect& R, Integer AThickness) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(ProgramInstance(), SizeFrameClass, &wc)) {
    wc.lpfnWndProc = &SizeFrameWndProc;
    wc.hInstance = ProgramInstance();
    wc.lpszClassName = SizeFrameClass;
    RegisterClassA(&wc);
  }
  const Integer t = std::min({AThickness, std::max(R.Width() / 2, 1), std::max(R.Height() / 2, 1)});
  const TRect parts[4] = {TRect(R.Left, R.Top, R.Right, R.Top + t), TRect(R.Left, R.Bottom - t, R.Right, R.Bottom),
                          TRect(R.Left, R.Top + t, R.Left + t, R.Bottom - t),
                          TRect(R.Right - t, R.Top + t, R.Right, R.Bottom - t)};
  for (int i = 0; i < 4; ++i) {
    const TRect& p = parts[i];
    if (!Sizing.Frame[i] || !IsWindow(Sizing.Frame[i]))
      Sizing.Frame[i] = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, SizeFrameClass, "",
                                        WS_POPUP, p.Left, p.Top, p.Width(), p.Height(), AOwner, nullptr,
                                        ProgramInstance(), nullptr);
    SetWindowPos(Sizing.Frame[i], HWND_TOPMOST, p.Left, p.Top, std::max(p.Width(), 0), std::max(p.Height(), 0),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

}  // namespace

// --- TcxCustomEditPopupWindowViewInfo ----------------------------------------------

Integer TcxCustomEditPopupWindowViewInfo::GetBorderWidth() const {
  static constexpr Integer Widths[] = {0, 1, 4, 2};
  return NativeStyle ? 1 : Widths[BorderStyle];
}

Integer TcxCustomEditPopupWindowViewInfo::GetClientEdgeWidth() const {
  static constexpr Integer Widths[] = {0, 2, 2, 1};
  if (!ClientEdge) return 0;
  return NativeStyle ? 2 : Widths[BorderStyle];
}

bool TcxCustomEditPopupWindowViewInfo::IsThemed() const { return AreVisualStylesMustBeUsed(NativeStyle, totWindow); }

Integer TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  Integer height = SystemScrollBarSize();
  if (SysPanelStyle && IsThemed()) {
    height = std::max(height, ThemePartSize(totWindow, WP_SMALLCLOSEBUTTON, 1).cy);
    height = std::max(height, ThemePartSize(totScrollBar, SBP_SIZEBOX, SZB_RIGHTALIGN).cy);
  }
  return MinSysPanelHeight > height ? MinSysPanelHeight : height;
}

TRect TcxCustomEditPopupWindowViewInfo::GetBorderExtent() {
  const Integer width = GetBorderWidth() + GetClientEdgeWidth();
  TRect extent(width, width, width, width);
  if (Shadow) {
    extent.Right += ShadowWidth;
    extent.Bottom += ShadowWidth;
  }
  if (SysPanelStyle) {
    SysPanelHeight = GetSysPanelHeight();
    const Integer panel = SysPanelHeight + (HasPanelSeparatorRoom() ? 1 : 0);
    (IsTopCorner() ? extent.Top : extent.Bottom) += panel;
  } else {
    SysPanelHeight = 0;
  }
  return extent;
}

Integer TcxCustomEditPopupWindowViewInfo::GetSizeGripSize() {
  Integer size = SysPanelHeight - 2;
  if (IsThemed()) size = std::max(size, ThemePartSize(totScrollBar, SBP_SIZEBOX, SZB_RIGHTALIGN).cx + 2);
  return size;
}

Integer TcxCustomEditPopupWindowViewInfo::GetCloseButtonSize() {
  if (!CloseButton) return 0;
  if (IsThemed())
    if (const TSize size = ThemePartSize(totWindow, WP_SMALLCLOSEBUTTON, 1); size.cx > 0) return size.cx;
  return SysPanelHeight - 4;
}

void TcxCustomEditPopupWindowViewInfo::Calculate() {
  ScrollBarSize = SystemScrollBarSize();
  const TRect bounds(0, 0, Bounds.Width(), Bounds.Height());
  const TRect extent = GetBorderExtent();
  ClientRect = TRect(bounds.Left + extent.Left, bounds.Top + extent.Top, bounds.Right - extent.Right,
                     bounds.Bottom - extent.Bottom);
  const Integer inner = GetBorderWidth() + (SysPanelStyle ? 0 : GetClientEdgeWidth());
  InnerRect = cxRectInflate(bounds, -inner, -inner);
  if (Shadow) {
    InnerRect.Right -= ShadowWidth;
    InnerRect.Bottom -= ShadowWidth;
  }
  const bool themed = IsThemed();
  CloseButtonNativeState = SysPanelStyle && themed ? CloseButtonThemeStates[CloseButtonState] : 0;
  SizeGripRect = SizeGripDrawRect = CloseButtonRect = TRect();
  if (!SysPanelStyle) return;

  if (Sizeable) {
    const Integer size = GetSizeGripSize();
    SizeGripRect.Left = IsLeftCorner() ? InnerRect.Left : InnerRect.Right - size;
    SizeGripRect.Top = IsTopCorner() ? InnerRect.Top : InnerRect.Bottom - size;
    SizeGripRect.Right = SizeGripRect.Left + size;
    SizeGripRect.Bottom = SizeGripRect.Top + size;
    SizeGripDrawRect = SizeGripRect;
    (IsLeftCorner() ? SizeGripDrawRect.Right : SizeGripDrawRect.Left) += IsLeftCorner() ? -2 : 2;
    (IsTopCorner() ? SizeGripDrawRect.Bottom : SizeGripDrawRect.Top) += IsTopCorner() ? -2 : 2;
  }

  if (CloseButton) {
    TSize size(SysPanelHeight - 4, SysPanelHeight - 4);
    if (themed)
      if (const TSize part = ThemePartSize(totWindow, WP_SMALLCLOSEBUTTON, 1); part.cx > 0) size = part;
    // On the side away from the grip.
    Integer left = IsLeftCorner() ? InnerRect.Right - size.cx : InnerRect.Left;
    if (!themed) left += IsLeftCorner() ? -3 : 3;
    const Integer gap = themed ? (SysPanelHeight - size.cy) / 2 : 2;
    const Integer top = IsTopCorner() ? InnerRect.Top + gap : InnerRect.Bottom - gap - size.cy;
    CloseButtonRect = TRect(left, top, left + size.cx, top + size.cy);
  }
}

bool TcxCustomEditPopupWindowViewInfo::IsSizingPlace(Integer X, Integer Y, TPoint& ADirection) {
  ADirection = TPoint();
  const TRect bounds(0, 0, Bounds.Width(), Bounds.Height());
  const TPoint p(X, Y);
  if (!Sizeable || !cxRectPtIn(bounds, p)) return false;
  if (SysPanelStyle && cxRectPtIn(SizeGripRect, p)) {
    ADirection = TPoint(IsLeftCorner() ? -1 : 1, IsTopCorner() ? -1 : 1);
    return true;
  }
  if (cxRectPtIn(InnerRect, p)) return false;
  // Only the sides away from the editor move, and only near the grip's
  // corner of each.
  if (IsLeftCorner()) {
    if (X < bounds.Left + ScrollBarSize) ADirection.X = -1;
  } else if (X >= bounds.Right - ScrollBarSize) {
    ADirection.X = 1;
  }
  if (IsTopCorner()) {
    if (Y < bounds.Top + ScrollBarSize) ADirection.Y = -1;
  } else if (Y >= bounds.Bottom - ScrollBarSize) {
    ADirection.Y = 1;
  }
  return ADirection != TPoint();
}

TcxEditMouseSizingDirection TcxCustomEditPopupWindowViewInfo::GetMouseSizingDirection(Integer X, Integer Y) {
  TPoint direction;
  return IsSizingPlace(X, Y, direction) ? cxEditMouseSizingDirection(direction) : mmdNone;
}

bool TcxCustomEditPopupWindowViewInfo::HasPanelSeparatorRoom() const {
  return NativeStyle || BorderStyle == epbsSingle;
}

bool TcxCustomEditPopupWindowViewInfo::HasPanelSeparator() const {
  return SysPanelStyle && (BorderStyle == epbsSingle || (CloseButton && IsThemed()));
}

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect R) {
  auto frame = [&](TColor AColor) {
    ACanvas->FrameRect(R, AColor);
    R = cxRectInflate(R, -1, -1);
  };
  auto edge = [&](bool ASunken, bool AOuter) {
    ACanvas->DrawEdge(R, ASunken, AOuter);
    R = cxRectInflate(R, -1, -1);
  };
  if (NativeStyle || BorderStyle == epbsSingle || BorderStyle == epbsDefault) {
    frame(clBtnText);
    return;
  }
  edge(false, true);
  edge(false, false);
  if (BorderStyle != epbsFrame3D) return;
  if (ClientEdge) {
    frame(clInactiveBorder);
    frame(clBtnFace);
  } else {
    frame(clBtnFace);
    edge(true, true);
  }
}

void TcxCustomEditPopupWindowViewInfo::DrawSizeGrip(TcxCanvas* ACanvas) {
  const TRect& r = SizeGripDrawRect;
  const Integer w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  HDC dc = ACanvas->GetHandle();
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  auto old = SelectObject(mem, bitmap);
  RECT area{0, 0, w, h};
  FillRect(mem, &area, GetSysColorBrush(COLOR_BTNFACE));
  TdxTheme theme = IsThemed() ? OpenTheme(totScrollBar) : nullptr;
  if (theme)
    ::DrawThemeBackground(theme, mem, SBP_SIZEBOX, SZB_RIGHTALIGN, &area, nullptr);
  else
    DrawFrameControl(mem, &area, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  // The grip is drawn for the bottom-right corner; mirrored, it points to
  // the corner it sizes.
  const bool flipX = IsLeftCorner(), flipY = IsTopCorner();
  StretchBlt(dc, flipX ? r.Right : r.Left, flipY ? r.Bottom : r.Top, flipX ? -w : w, flipY ? -h : h, mem, 0, 0, w,
             h, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
  ACanvas->ExcludeClipRect(r);
}

void TcxCustomEditPopupWindowViewInfo::DrawCloseButton(TcxCanvas* ACanvas) {
  const TRect& r = CloseButtonRect;
  if (cxRectIsEmpty(r)) return;
  TdxTheme theme = CloseButtonNativeState != 0 ? OpenTheme(totWindow) : nullptr;
  if (theme) {
    if (::IsThemeBackgroundPartiallyTransparent(theme, WP_SMALLCLOSEBUTTON, CloseButtonNativeState)) {
      ACanvas->SetBrushColor(clBtnFace);
      ACanvas->FillRect(r);
    }
    ::DrawThemeBackground(theme, ACanvas->GetHandle(), WP_SMALLCLOSEBUTTON, CloseButtonNativeState, r);
  } else {
    const TcxCustomLookAndFeelPainterClass painter = Painter ? Painter : GetCurrentPainterClass();
    painter->DrawFilterCloseButton(ACanvas, r, CloseButtonState);
  }
  ACanvas->ExcludeClipRect(r);
}

void TcxCustomEditPopupWindowViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TRect r(0, 0, Bounds.Width(), Bounds.Height());
  if (Shadow) {
    r.Right -= ShadowWidth;
    r.Bottom -= ShadowWidth;
    DrawContainerShadow(ACanvas, r);
  }
  DrawBorder(ACanvas, r);

  // The area inside the border less the panel: the client edge runs
  // around it, the panel's separator along its side.
  const Integer borderWidth = GetBorderWidth();
  TRect content = cxRectInflate(r, -borderWidth, -borderWidth);
  TRect panel{};
  if (SysPanelStyle) {
    const Integer height = SysPanelHeight + (HasPanelSeparatorRoom() ? 1 : 0);
    panel = InnerRect;
    if (IsTopCorner()) {
      content.Top += height;
      panel.Bottom = content.Top;
    } else {
      content.Bottom -= height;
      panel.Top = content.Bottom;
    }
  }
  if (HasPanelSeparator()) {
    const Integer y = IsTopCorner() ? content.Top - 1 : content.Bottom;
    const TRect line(content.Left, y, content.Right, y + 1);
    ACanvas->SetBrushColor(clBtnText);
    ACanvas->FillRect(line);
    ACanvas->ExcludeClipRect(line);
  }
  if (ClientEdge) {
    ACanvas->DrawEdge(content, true, true);
    if (NativeStyle || BorderStyle != epbsFlat) ACanvas->DrawEdge(cxRectInflate(content, -1, -1), true, false);
  }
  if (SysPanelStyle) {
    if (Sizeable) DrawSizeGrip(ACanvas);
    DrawCloseButton(ACanvas);
  }
  ACanvas->SetBrushColor(clBtnFace);
  ACanvas->FillRect(ClientRect);
  if (SysPanelStyle) ACanvas->FillRect(panel);
}

// --- TcxPopupEditPopupWindowViewInfo -------------------------------------------------

void TcxPopupEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect R) {
  if (NativeStyle || BorderStyle != epbsFrame3D) return inherited::DrawBorder(ACanvas, R);
  ACanvas->DrawEdge(R, false, true);
  R = cxRectInflate(R, -1, -1);
  ACanvas->DrawEdge(R, false, false);
  R = cxRectInflate(R, -1, -1);
  ACanvas->FrameRect(R, clInactiveBorder);
  R = cxRectInflate(R, -1, -1);
  ACanvas->FrameRect(R, clBtnFace);
}

// --- TcxCustomEditPopupWindow --------------------------------------------------------

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TWinControl* AOwnerControl)
    : TcxCustomPopupWindow(AOwnerControl) {}

// A popup freed while it is sized leaves no outline and no state behind.
TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() {
  if (Sizing.Popup == this) ClearSizing();
}

TClassRef<TcxContainerViewInfo> TcxCustomEditPopupWindow::GetViewInfoClass() {
  return TcxCustomEditPopupWindowViewInfo::StaticClass();
}

IcxEditPopupWindowOwner* TcxCustomEditPopupWindow::GetEdit() const {
  return dynamic_cast<IcxEditPopupWindowOwner*>(GetOwnerControl());
}

bool TcxCustomEditPopupWindow::AcceptsAnySize() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  return edit ? edit->PopupWindowAcceptsAnySize() : inherited::AcceptsAnySize();
}

void TcxCustomEditPopupWindow::RefreshOwnerBounds() {
  if (IcxEditPopupWindowOwner* edit = GetEdit()) SetOwnerBounds(edit->GetPopupWindowOwnerControlBounds());
}

void TcxCustomEditPopupWindow::Popup(TWinControl* AFocusedControl) {
  TWinControl* owner = GetOwnerControl();
  if (IcxEditPopupWindowOwner* edit = GetEdit())
    if (!owner->HandleAllocated() || !IsWindowVisible(owner->GetHandle())) edit->DoFinalizePopup();
  inherited::Popup(AFocusedControl);
}

// --- size and place ---------------------------------------------------------------------

TSize TcxCustomEditPopupWindow::GetMinSize() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  const TRect extent = viewInfo->GetClientExtent();
  TSize size(extent.Left + extent.Right, extent.Top + extent.Bottom);
  // Room for the panel's parts, so that they never overlap.
  if (GetSizeable() && GetSysPanelStyle()) size.cx += viewInfo->GetCloseButtonSize() + viewInfo->GetSizeGripSize() + 10;
  return size;
}

void TcxCustomEditPopupWindow::CalculateSize() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  viewInfo->SizingCorner = ecoBottomRight;
  RefreshOwnerBounds();
  const TRect extent = viewInfo->GetClientExtent();
  const TSize minSize = GetMinSize();
  IcxEditPopupWindowOwner* edit = GetEdit();
  TSize preferred = edit ? edit->GetPopupWindowClientPreferredSize() : TSize();
  // The content's size (a hosted control's, say) gets the frame added.
  preferred.cx = std::clamp(preferred.cx, 0, LargestWindowExtent);
  preferred.cy = std::clamp(preferred.cy, 0, LargestWindowExtent);

  Integer width;
  if (FPopupAutoSize)
    width = extent.Left + extent.Right + preferred.cx;
  else
    width = FPopupWidth != 0 ? FPopupWidth : GetOwnerBounds().Width();
  if (GetSizeable() && FMinWidth > 0) width = std::max(width, FMinWidth);
  width = std::max(width, minSize.cx);

  Integer height;
  if (FPopupAutoSize)
    height = extent.Top + extent.Bottom + preferred.cy;
  else
    height = FPopupHeight < 1 ? FMinHeight : FPopupHeight;
  if (GetSizeable() && FMinHeight > 0) height = std::max(height, FMinHeight);
  height = std::max(height, minSize.cy);

  SetBounds(GetLeft(), GetTop(), width, height);
}

TPoint TcxCustomEditPopupWindow::CalculatePosition() {
  RefreshOwnerBounds();
  TPoint p = inherited::CalculatePosition();
  const TRect owner = GetOwnerScreenBounds();
  const TRect area = GetDesktopWorkArea(p);
  const Integer width = GetWidth(), height = GetHeight();
  const bool leftward = (GetAlignHorz() == pahRight && p.X + width == owner.Right && p.X > area.Left) ||
                        p.X + width == owner.Left || (p.X + width == area.Right && p.X < owner.Right);
  const bool upward = (GetAlignVert() == pavBottom && p.Y + height == owner.Bottom && p.Y > area.Top) ||
                      p.Y + height == owner.Top || (p.Y + height == area.Bottom && p.Y < owner.Bottom);
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (upward)
    viewInfo->SizingCorner = leftward ? ecoTopLeft : ecoTopRight;
  else
    viewInfo->SizingCorner = leftward ? ecoBottomLeft : ecoBottomRight;
  // The shadow lies inside the window at its bottom: opened upward, the
  // visible frame still meets the editor.
  if (upward && GetShadow()) p.Y += ShadowWidth;
  CalculateViewInfo();
  return p;
}

void TcxCustomEditPopupWindow::CalculateViewInfo() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  viewInfo->Bounds = GetBoundsRect();
  if (IcxEditPopupWindowOwner* edit = GetEdit()) viewInfo->Painter = edit->GetPopupWindowPainter();
  viewInfo->Calculate();
}

void TcxCustomEditPopupWindow::RefreshPopupWindow() {
  RefreshOwnerBounds();
  CalculateViewInfo();
  Realign();
  if (IcxEditPopupWindowOwner* edit = GetEdit()) edit->PositionPopupWindowChilds(GetViewInfo()->ClientRect);
  Invalidate();
}

void TcxCustomEditPopupWindow::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  inherited::SetBounds(ALeft, ATop, std::clamp(AWidth, 0, LargestWindowExtent),
                       std::clamp(AHeight, 0, LargestWindowExtent));
}

bool TcxCustomEditPopupWindow::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!GetSizeable()) return inherited::CanResize(NewWidth, NewHeight);
  if (NewWidth == GetWidth() && NewHeight == GetHeight()) return true;
  TSize minSize = GetMinSize();
  if (FMinWidth > minSize.cx) minSize.cx = FMinWidth;
  if (FMinHeight > minSize.cy) minSize.cy = FMinHeight;
  NewWidth = std::max(NewWidth, minSize.cx);
  NewHeight = std::max(NewHeight, minSize.cy);
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (!edit) return true;
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  const TRect extent = viewInfo->GetClientExtent();
  TSize client(NewWidth - extent.Left - extent.Right, NewHeight - extent.Top - extent.Bottom);
  const TRect area = GetDesktopWorkArea(TPoint(GetLeft(), GetTop()));
  const bool upward = viewInfo->SizingCorner == ecoTopLeft || viewInfo->SizingCorner == ecoTopRight;
  const Integer room = (upward ? GetOwnerScreenBounds().Top - area.Top : area.Bottom - GetTop()) - extent.Top -
                       extent.Bottom;
  if (edit->CanResizePopupVisualArea(client, room)) {
    NewWidth = std::max(client.cx + extent.Left + extent.Right, minSize.cx);
    NewHeight = std::max(client.cy + extent.Top + extent.Bottom, minSize.cy);
  } else {
    NewWidth = GetWidth();
    NewHeight = GetHeight();
  }
  return true;
}

void TcxCustomEditPopupWindow::AdjustClientRect(TRect& Rect) {
  CalculateViewInfo();
  inherited::AdjustClientRect(Rect);
}

void TcxCustomEditPopupWindow::Resize() {
  inherited::Resize();
  CalculateViewInfo();
  SetShadowRegion();
  Invalidate();
}

// The shadow strips belong to the window only where they fall; opened
// upward, the strip over the editor stays out so the editor shows.
void TcxCustomEditPopupWindow::SetShadowRegion() {
  if (!HandleAllocated()) return;
  const Integer width = GetWidth(), height = GetHeight();
  const Integer shadow = GetShadow() && !GetNativeStyle() ? ShadowWidth : 0;
  const TRect visible(0, 0, width - shadow, height - shadow);
  TRect noShadow{};
  const TcxEditCorner corner = GetViewInfo()->SizingCorner;
  if (shadow && (corner == ecoTopLeft || corner == ecoTopRight)) {
    const TRect owner = GetOwnerScreenBounds();
    noShadow = TRect(owner.Left - GetLeft(), height - shadow, owner.Right - GetLeft(), height);
  }
  SetWindowShadowRegion(GetHandle(), visible, GetNativeStyle(), noShadow, GetShadow());
}

// --- closing --------------------------------------------------------------------------------

void TcxCustomEditPopupWindow::ModalCloseUp() {
  IcxEditPopupWindowOwner* edit = GetEdit();
  if (!edit) return inherited::ModalCloseUp();
  switch (GetModalResult()) {
    case mrOk: edit->CloseUp(crEnter); break;
    case mrCancel: edit->CloseUp(crCancel); break;
    default: edit->CloseUp(crUnknown); break;
  }
}

void TcxCustomEditPopupWindow::DoShowed() {
  CalculateViewInfo();
  SetShadowRegion();
  inherited::DoShowed();
}

void TcxCustomEditPopupWindow::DoClosing() {
  if (Sizing.Popup == this) HideSizeFrame();
  inherited::DoClosing();
}

void TcxCustomEditPopupWindow::DoClosed() {
  if (Sizing.Popup == this) ClearSizing();
  if (HotCursor) {
    HotCursor = false;
    SetCursor(crDefault);
  }
  GetViewInfo()->CloseButtonState = cxbsNormal;
  inherited::DoClosed();
}

void TcxCustomEditPopupWindow::DoPopupControlKey(char Key) {
  if (HWND focus = win::GetFocus()) SendMessageA(focus, WM_CHAR, static_cast<unsigned char>(Key), 0);
}

// The keys that close a drop-down close a popup that holds the keyboard
// too, in whichever of its windows they are pressed: the form sees them
// first (KeyPreview). Tab comes here only for a control that takes it
// itself (the calendar, the calculator): that control passes its value
// and hands the key on to the editor, and closing first would lose it.
void TcxCustomEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (GetCaptureFocus() && IsVisible() && Key != VK_TAB)
    if (IcxEditPopupWindowOwner* edit = GetEdit()) edit->PopupWindowKeyDown(Key, Shift);
  if (Key != 0) inherited::KeyDown(Key, Shift);
}

// Tab for a control that does not take it never reaches KeyDown: the form
// walks its tab order with it. The editor is asked first, and the walk
// happens only where it leaves the key.
void TcxCustomEditPopupWindow::CMDialogKey(TMessage& Message) {
  if (Message.WParam == VK_TAB && GetCaptureFocus() && IsVisible() && GetKeyState(VK_MENU) >= 0 &&
      GetKeyState(VK_CONTROL) >= 0) {
    if (IcxEditPopupWindowOwner* edit = GetEdit()) {
      Word key = VK_TAB;
      edit->PopupWindowKeyDown(key, GetKeyState(VK_SHIFT) < 0 ? TShiftState{ssShift} : TShiftState{});
      if (key == 0) {
        Message.Result = 1;
        return;
      }
    }
  }
  inherited::CMDialogKey(Message);
}

void TcxCustomEditPopupWindow::CMPopupControlKey(TMessage& Message) {
  if (IsVisible()) DoPopupControlKey(static_cast<char>(Message.WParam));
}

// --- mouse ----------------------------------------------------------------------------------

void TcxCustomEditPopupWindow::SetCloseButtonState(TcxButtonState AState) {
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->CloseButtonState == AState) return;
  viewInfo->CloseButtonState = AState;
  CalculateViewInfo();
  InternalInvalidateRect(this, viewInfo->CloseButtonRect, false);
}

void TcxCustomEditPopupWindow::UpdateCursor(Integer X, Integer Y) {
  TPoint direction;
  const TCursor cursor =
      GetViewInfo()->IsSizingPlace(X, Y, direction) ? SizingCursor(direction) : crDefault;
  if (cursor == crDefault && !HotCursor) return;
  HotCursor = cursor != crDefault;
  SetCursor(cursor);
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || Sizing.Popup) return;
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  TPoint direction;
  if (viewInfo->IsSizingPlace(X, Y, direction))
    StartSizing(direction, ClientToScreen(TPoint(X, Y)));
  else if (cxRectPtIn(viewInfo->CloseButtonRect, TPoint(X, Y)))
    SetCloseButtonState(cxbsPressed);
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (Sizing.Popup == this) {
    SizingMouseMove(ClientToScreen(TPoint(X, Y)));
    return;
  }
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  const bool overCloseButton = cxRectPtIn(viewInfo->CloseButtonRect, TPoint(X, Y));
  if (!overCloseButton)
    SetCloseButtonState(cxbsNormal);
  else if (viewInfo->CloseButtonState != cxbsPressed)
    SetCloseButtonState(cxbsHot);
  UpdateCursor(X, Y);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  if (!cxRectPtIn(viewInfo->CloseButtonRect, TPoint(X, Y))) return;
  if (viewInfo->CloseButtonState != cxbsPressed) {
    SetCloseButtonState(cxbsHot);
    return;
  }
  if (IcxEditPopupWindowOwner* edit = GetEdit())
    edit->CloseUp(crUnknown);
  else
    CloseUp();
}

void TcxCustomEditPopupWindow::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  if (Sizing.Popup == this) return;
  SetCloseButtonState(cxbsNormal);
  if (HotCursor) {
    HotCursor = false;
    SetCursor(crDefault);
  }
}

// --- sizing ---------------------------------------------------------------------------------

void TcxCustomEditPopupWindow::StartSizing(const TPoint& ADirection, const TPoint& AScreenPoint) {
  const TRect bounds = GetBoundsRect();
  ClearSizing();
  Sizing.Popup = this;
  Sizing.Direction = ADirection;
  Sizing.Offset = TPoint(ADirection.X < 0 ? AScreenPoint.X - bounds.Left : bounds.Right - AScreenPoint.X,
                         ADirection.Y < 0 ? AScreenPoint.Y - bounds.Top : bounds.Bottom - AScreenPoint.Y);
  Sizing.Rect = bounds;
  HotCursor = true;
  SetCursor(SizingCursor(ADirection));
  // The form holds the mouse from the press to the release.
  if (!HasCapture()) SetCapture(GetHandle());
  ShowSizeFrame();
}

void TcxCustomEditPopupWindow::SizingMouseMove(const TPoint& AScreenPoint) {
  const TPoint& direction = Sizing.Direction;
  TRect r = GetBoundsRect();
  if (direction.X > 0) r.Right = AScreenPoint.X + Sizing.Offset.X;
  if (direction.X < 0) r.Left = AScreenPoint.X - Sizing.Offset.X;
  if (direction.Y > 0) r.Bottom = AScreenPoint.Y + Sizing.Offset.Y;
  if (direction.Y < 0) r.Top = AScreenPoint.Y - Sizing.Offset.Y;
  Integer width = r.Width(), height = r.Height();
  CanResize(width, height);
  if (direction.X < 0)
    r.Left = r.Right - width;
  else
    r.Right = r.Left + width;
  if (direction.Y < 0)
    r.Top = r.Bottom - height;
  else
    r.Bottom = r.Top + height;
  if (r == Sizing.Rect) return;
  Sizing.Rect = r;
  if (IcxEditPopupWindowOwner* edit = GetEdit()) edit->PopupWindowResizedByUser();
  ShowSizeFrame();
}

void TcxCustomEditPopupWindow::ShowSizeFrame() {
  TRect r = Sizing.Rect;
  if (GetShadow()) {
    r.Right -= ShadowWidth;
    r.Bottom -= ShadowWidth;
  }
  PlaceSizeFrame(GetHandle(), r, std::max(GetViewInfo()->GetBorderWidth(), 2));
}

void TcxCustomEditPopupWindow::EndSizing(bool AApply) {
  const TRect r = Sizing.Rect;
  ClearSizing();
  if (!AApply) return;
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  RefreshPopupWindow();
}

// The sizing ends before the form lets the mouse go on the release...
void TcxCustomEditPopupWindow::WMLButtonUp(TMessage& Message) {
  if (Sizing.Popup == this) EndSizing(true);
  DispatchFrom(inherited::StaticClass(), Message);
}

// ...so whoever else takes the mouse away (Escape, another window) ends it
// where it was.
void TcxCustomEditPopupWindow::WMCaptureChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (Sizing.Popup == this) EndSizing(false);
}

TClassRef<TcxContainerViewInfo> TcxPopupEditPopupWindow::GetViewInfoClass() {
  return TcxPopupEditPopupWindowViewInfo::StaticClass();
}
