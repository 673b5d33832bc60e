// A control's own scroll bars: their values, the visibility that settles
// the mutual dependence of the two bars, their layout, line scrolling and
// the middle-button full-scroll mode.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "library/foundation/cxControls.h"
#include "library/foundation/cxScrollBar.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/Regions.h"
#include "platform/win/Metrics.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Static.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/Keyboard.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowRegion.h"

using namespace win;

ORV_REGISTER(TcxControlScrollBar)
ORV_REGISTER(TcxSizeGrip)

// ---------------------------------------------------------------------------
// TcxControlScrollBar and TcxSizeGrip

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner)
    : TcxScrollBar(AOwner), FOwnerControl(dynamic_cast<TcxControl*>(AOwner)) {
  SetColor(clBtnFace);
  FControlStyle -= csFramed;
  FControlStyle += csNoDesignVisible;
  SetTabStop(false);
  SetVisible(false);
  if (FOwnerControl) GetLookAndFeel()->SetMasterLookAndFeel(FOwnerControl->GetLookAndFeel());
}

void TcxControlScrollBar::ApplyData() {
  if (FData.Visible) {
    SetScrollParams(FData.Min, FData.Max, FData.Position, FData.PageSize, true);
    SetSmallChange(FData.SmallChange);
    SetLargeChange(FData.LargeChange);
  }
  SetEnabled(FData.Enabled);
  SetVisible(FData.Visible);
}

void TcxControlScrollBar::FocusParent() {
  TWinControl* parent = GetParent();
  if (!parent) return;
  if (auto* control = dynamic_cast<TcxControl*>(parent)) {
    if (control->FocusWhenChildIsClicked(this)) control->SetFocus();
  } else if (parent->CanFocus()) {
    parent->SetFocus();
  }
}

void TcxControlScrollBar::WMLButtonDown(TMessage& Message) {
  FocusParent();
  DispatchFrom(inherited::StaticClass(), Message);
}

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  FControlStyle += csNoDesignVisible;
}

void TcxSizeGrip::Paint() {
  GetCanvas()->GetBrush()->SetColor(GetColor());
  GetCanvas()->FillRect(GetClientRect());
}

// ---------------------------------------------------------------------------
// Creation and layout

void TcxControl::CreateScrollBars() {
  if (!NeedsScrollBars()) return;
  auto scrollEvent = TScrollEvent::Bind<&TcxControl::ScrollEvent>(this);
  FHScrollBar = New<TcxControlScrollBar>(this);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->OnScroll = scrollEvent;
  FVScrollBar = New<TcxControlScrollBar>(this);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->OnScroll = scrollEvent;
  FSizeGrip = New<TcxSizeGrip>(this);
  FSizeGrip->SetVisible(false);
  cxRegisterSettingsControl(this);
}

void TcxControl::DestroyScrollBars() {
  if (!FHScrollBar) return;
  cxUnregisterSettingsControl(this);
  FSizeGrip->Free();
  FVScrollBar->Free();
  FHScrollBar->Free();
  FSizeGrip = nullptr;
  FVScrollBar = nullptr;
  FHScrollBar = nullptr;
}

void TcxControl::InitControl() {
  if (!FHScrollBar) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TcxControl::IsInternalControl(TControl* AControl) {
  return AControl && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

void TcxControl::BringInternalControlsToFront() {
  if (!FHScrollBar) return;
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}

void TcxControl::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  BoundsChanged();
}

void TcxControl::ScrollEvent(TObject* Sender, TScrollCode AScrollCode, Integer& AScrollPos) {
  Scroll(static_cast<TcxScrollBar*>(Sender)->GetKind(), AScrollCode, AScrollPos);
}

bool TcxControl::GetHScrollBarVisible() {
  if (!FHScrollBar || !NeedsScrollBars()) return false;
  return FUpdatingScrollBars ? FHScrollBar->Data().Visible : FHScrollBar->GetVisible();
}

bool TcxControl::GetVScrollBarVisible() {
  if (!FVScrollBar || !NeedsScrollBars()) return false;
  return FUpdatingScrollBars ? FVScrollBar->Data().Visible : FVScrollBar->GetVisible();
}

TRect TcxControl::GetHScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Top = r.Bottom;
  r.Bottom = r.Top + FHScrollBar->GetHeight();
  return r;
}

TRect TcxControl::GetVScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Left = r.Right;
  r.Right = r.Left + FVScrollBar->GetWidth();
  return r;
}

TRect TcxControl::GetSizeGripBounds() {
  const TRect h = GetHScrollBarBounds(), v = GetVScrollBarBounds();
  return TRect{v.Left, h.Top, v.Right, h.Bottom};
}

void TcxControl::SetInternalControlsBounds() {
  if (!FHScrollBar) return;
  if (FHScrollBar->GetVisible()) FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
  if (FVScrollBar->GetVisible()) FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
  if (FSizeGrip->GetVisible()) FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

// ---------------------------------------------------------------------------
// Values and visibility

void TcxControl::SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin, Integer AMax, Integer AStep,
                                  Integer APage, Integer APos, bool AAllowShow, bool AAllowHide) {
  TcxControlScrollBar* bar = AScrollBarKind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxScrollBarData data = bar->Data();
  const bool styleAllows = FScrollBars == ssBoth || (AScrollBarKind == sbHorizontal ? FScrollBars == ssHorizontal
                                                                                      : FScrollBars == ssVertical);
  const bool allowed = AAllowShow && styleAllows;
  data.AllowShow = allowed;
  data.AllowHide = AAllowHide;
  if (!allowed) {
    data.Visible = false;
  } else if (AMin <= AMax && APage < Int64(AMax) - AMin + 1 && AMin <= APos) {
    data.Min = AMin;
    data.Max = AMax;
    data.Position = APos;
    data.PageSize = APage;
    // A step is 1..32767 whatever the page: an empty page still moves by
    // one, a huge one by the largest step.
    data.SmallChange = static_cast<TScrollBarInc>(std::clamp(AStep, 1, 32767));
    data.LargeChange = static_cast<TScrollBarInc>(std::clamp(APage, 1, 32767));
    data.Enabled = true;
    data.Visible = true;
  } else if (AAllowHide) {
    data.Visible = false;
  } else {
    data.Enabled = false;
    data.Visible = true;
  }
  bar->Data() = data;
}

void TcxControl::CalculateScrollBarsVisibility() {
  FUpdatingScrollBars = true;
  FHScrollBar->Data().Visible = false;
  FVScrollBar->Data().Visible = false;
  // Settles in two or three passes; values that keep changing are left as
  // the last pass gave them rather than spinning forever.
  constexpr int kMaxPasses = 8;
  bool h, v;
  int passes = 0;
  do {
    h = FHScrollBar->Data().Visible;
    v = FVScrollBar->Data().Visible;
    InitScrollBarsParameters();
  } while ((h != FHScrollBar->Data().Visible || v != FVScrollBar->Data().Visible) && ++passes < kMaxPasses);

  // Pixel bars: when each bar is needed only because the other takes room,
  // the content fits without either.
  TcxScrollBarData& hd = FHScrollBar->Data();
  TcxScrollBarData& vd = FVScrollBar->Data();
  // In 64 bits: a range may span all of Integer.
  auto fitsWithout = [](const TcxScrollBarData& d, Integer other) {
    return Int64(d.PageSize) + other >= Int64(d.Max) - d.Min + 1;
  };
  if (hd.Visible && hd.Enabled && hd.AllowHide && vd.Visible && vd.Enabled && vd.AllowHide) {
    const Integer hHeight = FHScrollBar->GetHeight(), vWidth = FVScrollBar->GetWidth();
    const bool hFits = !IsPixelScrollBar(sbHorizontal) || fitsWithout(hd, vWidth);
    const bool vFits = !IsPixelScrollBar(sbVertical) || fitsWithout(vd, hHeight);
    if (hFits && vFits && (IsPixelScrollBar(sbHorizontal) || IsPixelScrollBar(sbVertical))) {
      const TcxScrollBarData h0 = hd, v0 = vd;
      auto widened = [](Integer APage, Integer ARoom) {
        return static_cast<Integer>(std::min<Int64>(Int64(APage) + ARoom, INT_MAX));
      };
      SetScrollBarInfo(sbHorizontal, h0.Min, h0.Max, h0.SmallChange, widened(h0.PageSize, vWidth), h0.Position,
                       h0.AllowShow, h0.AllowHide);
      SetScrollBarInfo(sbVertical, v0.Min, v0.Max, v0.SmallChange, widened(v0.PageSize, hHeight), v0.Position,
                       v0.AllowShow, v0.AllowHide);
    }
  }
  FUpdatingScrollBars = false;
}

void TcxControl::UpdateScrollBars() {
  if (!FHScrollBar || !NeedsScrollBars()) return;
  if (FScrollBarsLockCount > 0) {
    FScrollBarsUpdateNeeded = true;
    return;
  }
  const bool nested = FScrollBarsCalculating;
  if (!nested) {
    FSavedHVisible = FHScrollBar->GetVisible();
    FSavedVVisible = FVScrollBar->GetVisible();
  }
  FScrollBarsCalculating = true;
  const bool hBefore = FHScrollBar->GetVisible(), vBefore = FVScrollBar->GetVisible();
  try {
    if (!FVisibilityChanging) {
      CalculateScrollBarsVisibility();
      if (nested && FHScrollBar->Data().Visible == FSavedHVisible &&
          FVScrollBar->Data().Visible == FSavedVVisible) {
        // The layout would toggle forever: keep the bars that changed on
        // screen, disabled.
        FVisibilityChanging = true;
        for (TcxControlScrollBar* bar : {FHScrollBar, FVScrollBar}) {
          const bool saved = bar == FHScrollBar ? FSavedHVisible : FSavedVVisible;
          if (saved != bar->GetVisible()) {
            bar->Data().Enabled = false;
            bar->Data().Visible = true;
            bar->ApplyData();
          }
        }
      } else {
        FHScrollBar->ApplyData();
        FVScrollBar->ApplyData();
      }
    }
    if (hBefore == FHScrollBar->GetVisible() && vBefore == FVScrollBar->GetVisible()) {
      FSizeGrip->SetVisible(FHScrollBar->GetVisible() && FVScrollBar->GetVisible());
      SetInternalControlsBounds();
      if (NeedsToBringInternalControlsToFront()) BringInternalControlsToFront();
    } else {
      BoundsChanged();
    }
  } catch (...) {
    if (!nested) FVisibilityChanging = false;
    FScrollBarsCalculating = nested;
    throw;
  }
  if (!nested) FVisibilityChanging = false;
  FScrollBarsCalculating = nested;
}

void TcxControl::LockScrollBars() {
  if (FScrollBarsLockCount == 0) FScrollBarsUpdateNeeded = false;
  ++FScrollBarsLockCount;
}

void TcxControl::UnlockScrollBars() {
  if (FScrollBarsLockCount <= 0) return;
  if (--FScrollBarsLockCount == 0 && FScrollBarsUpdateNeeded) UpdateScrollBars();
}

void TcxControl::DXMNCSizeChanged(TMessage&) {
  if (!FHScrollBar) return;
  const Integer h = GetSystemMetrics(SM_CYHSCROLL), w = GetSystemMetrics(SM_CXVSCROLL);
  if (FHScrollBar->GetHeight() == h && FVScrollBar->GetWidth() == w) return;
  FHScrollBar->SetHeight(h);
  FVScrollBar->SetWidth(w);
  BoundsChanged();
}

void TcxControl::WMNCCalcSize(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (HandleAllocated()) PostMessageA(GetHandle(), DXM_NCSIZECHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// Scrolling

TcxMouseWheelScrollingKind TcxControl::GetMouseWheelScrollingKind() {
  return GetVScrollBarVisible() ? mwskVertical : mwskNone;
}

void TcxControl::ScrollContent(TcxDirection ADirection) {
  if (ADirection == dirNone || !NeedsScrollBars() || !FHScrollBar) return;
  const TScrollBarKind kind = ADirection == dirLeft || ADirection == dirRight ? sbHorizontal : sbVertical;
  const TScrollCode code = ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown;
  Integer position = (kind == sbHorizontal ? FHScrollBar : FVScrollBar)->GetPosition();
  Scroll(kind, code, position);
  Update();
}

namespace {

constexpr Integer kIndicatorSize = 29;
constexpr UINT kFullScrollTick = 20;
constexpr Integer kMaxSpeed = 12;

// The indicator's picture: a disc with an arrow for each way it can go.
TBitmap* CreateFullScrollBitmap(bool AHorz, bool AVert) {
  TBitmap* b = New<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(kIndicatorSize, kIndicatorSize);
  TCanvas* c = b->GetCanvas();
  c->GetBrush()->SetColor(clWindow);
  c->FillRect(TRect{0, 0, kIndicatorSize, kIndicatorSize});
  c->GetBrush()->SetColor(clWindowText);
  c->GetPen()->SetColor(clWindowText);
  const Integer m = kIndicatorSize / 2;
  c->Ellipse(m - 2, m - 2, m + 3, m + 3);
  auto triangle = [&](TPoint a, TPoint b2, TPoint c2) {
    const TPoint pts[] = {a, b2, c2};
    c->Polygon(pts);
  };
  if (AVert) {
    triangle({m, 3}, {m - 4, 8}, {m + 4, 8});
    triangle({m, kIndicatorSize - 4}, {m - 4, kIndicatorSize - 9}, {m + 4, kIndicatorSize - 9});
  }
  if (AHorz) {
    triangle({3, m}, {8, m - 4}, {8, m + 4});
    triangle({kIndicatorSize - 4, m}, {kIndicatorSize - 9, m - 4}, {kIndicatorSize - 9, m + 4});
  }
  return b;
}

}  // namespace

void TcxControl::SetScrollingCursor(TcxDirection ADirection, bool AHorz, bool AVert) {
  if (!Screen) return;
  TCursor cursor;
  switch (ADirection) {
    case dirLeft: cursor = crcxLeftScroll; break;
    case dirRight: cursor = crcxRightScroll; break;
    case dirUp: cursor = crcxUpScroll; break;
    case dirDown: cursor = crcxDownScroll; break;
    default: cursor = AHorz && AVert ? crcxFullScroll : (AHorz ? crcxHorScroll : crcxVerScroll); break;
  }
  Screen->SetCursor(cursor);
}

void TcxControl::DoScrolling() {
  const bool horz = GetHScrollBarVisible(), vert = GetVScrollBarVisible();
  if ((!horz && !vert) || !HandleAllocated()) return;
  FScrollingContent = true;
  const TPoint anchor = GetMouseCursorPos();
  bool moved = false;
  TcxDirection direction = dirNone;
  Integer speed = 1, counter = 0;
  const TCursor savedCursor = Screen ? Screen->GetCursor() : crDefault;

  TBitmap* bitmap = CreateFullScrollBitmap(horz, vert);
  const Integer size = bitmap->GetWidth();
  HWND indicator = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "",
                                   WS_POPUP | SS_BITMAP, anchor.X - size / 2, anchor.Y - size / 2, size, size,
                                   GetHandle(), nullptr, nullptr, nullptr);
  SendMessageA(indicator, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap->GetHandle()));
  SetWindowRgn(indicator, CreateEllipticRgn(0, 0, size + 1, size + 1), TRUE);
  ShowWindow(indicator, SW_SHOWNOACTIVATE);
  if (HDC dc = GetDC(indicator)) {
    BitBlt(dc, 0, 0, size, size, bitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    HRGN frame = CreateEllipticRgn(0, 0, size + 1, size + 1);
    FrameRgn(dc, frame, GetSysColorBrush(COLOR_WINDOWFRAME), 1, 1);
    DeleteObject(frame);
    ReleaseDC(indicator, dc);
  }
  ValidateRect(indicator, nullptr);

  auto update = [&](const TPoint& P) {
    TRect dead{anchor.X - size / 2, anchor.Y - size / 2, anchor.X - size / 2 + size, anchor.Y - size / 2 + size};
    // An axis that cannot scroll is dead all along the screen.
    if (!horz) dead.Left = INT_MIN / 2, dead.Right = INT_MAX / 2;
    if (!vert) dead.Top = INT_MIN / 2, dead.Bottom = INT_MAX / 2;
    if (cxRectPtIn(dead, P)) {
      direction = dirNone;
      speed = 0;
    } else {
      moved = true;
      const Integer dx = P.X - anchor.X, dy = P.Y - anchor.Y;
      const bool alongX = horz && vert ? std::abs(dx) > std::abs(dy) : horz;
      const Integer distance = alongX ? std::abs(dx) : std::abs(dy);
      direction = alongX ? (dx >= 0 ? dirRight : dirLeft) : (dy >= 0 ? dirDown : dirUp);
      speed = std::clamp((distance - size / 2) / 5 + 1, 1, kMaxSpeed);
    }
    SetScrollingCursor(direction, horz, vert);
  };
  SetScrollingCursor(direction, horz, vert);

  TcxObjectLink* link = cxAddObjectLink(this);
  HWND self = GetHandle();
  const UINT_PTR timer = SetTimer(nullptr, 0, kFullScrollTick, nullptr);
  TPoint last = anchor;
  RunCaptureLoop(
      self,
      [&](const MSG& msg) {
        if (msg.message == WM_PAINT && msg.hwnd == indicator) {
          ValidateRect(indicator, nullptr);
          return CaptureStep::Drop;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST && msg.message != WM_MOUSEMOVE &&
            msg.message != WM_MBUTTONUP)
          return CaptureStep::End;
        switch (msg.message) {
          case WM_MBUTTONUP:
            return moved ? CaptureStep::DispatchAndEnd : CaptureStep::Dispatch;
          case WM_KEYDOWN:
          case WM_KEYUP:
            return msg.wParam == VK_ESCAPE ? CaptureStep::DispatchAndEnd : CaptureStep::Dispatch;
          case WM_TIMER:
            if (!msg.hwnd && msg.wParam == timer) {
              ++counter;
              if (counter % (13 - speed) == 0) ScrollContent(direction);
            }
            break;
          case WM_MOUSEMOVE: {
            TPoint p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            MapWindowPoint(msg.hwnd, nullptr, p);
            if (p != last) {
              last = p;
              update(p);
            }
            break;
          }
          default:
            break;
        }
        return CaptureStep::Dispatch;
      },
      [&] { return link->Ref != nullptr; });
  KillTimer(nullptr, timer);
  DestroyWindow(indicator);
  bitmap->Free();
  if (Screen) Screen->SetCursor(savedCursor);
  if (link->Ref) FScrollingContent = false;
  cxRemoveObjectLink(link);
}
