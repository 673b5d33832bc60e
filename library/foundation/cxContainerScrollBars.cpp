// The library's scroll bars laid over the native bars of a container's
// inner control.
#include <algorithm>

#include "library/foundation/cxContainer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"
#include "platform/win/WindowStyles.h"

using namespace win;

void cxCoverNativeScrollBar(TWinControl* AControl, TcxScrollBar* ABar, int ANativeBar) {
  TRect bounds{};
  TWinControl* parent = AControl->GetParent();
  SCROLLBARINFO info{};
  if (parent && parent->HandleAllocated() && AControl->HandleAllocated() &&
      GetScrollBarInfo(AControl->GetHandle(), ANativeBar == SB_HORZ ? OBJID_HSCROLL : OBJID_VSCROLL, &info) &&
      !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    ABar->SetEnabled(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && parent->GetEnabled());
    const TPoint topLeft = parent->ScreenToClient(TPoint(info.rcScrollBar.Left, info.rcScrollBar.Top));
    const TPoint bottomRight = parent->ScreenToClient(TPoint(info.rcScrollBar.Right, info.rcScrollBar.Bottom));
    const TRect r(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
    const TRect client = parent->GetClientRect();
    if (r.Left >= client.Left && r.Top >= client.Top && r.Right <= client.Right && r.Bottom <= client.Bottom)
      bounds = r;
    ABar->SetParent(parent);
  }
  ABar->SetBoundsRect(bounds);
  ABar->SetVisible(!cxRectIsEmpty(bounds));
  if (!ABar->GetVisible()) return;
  // Shown, it has its window: it must lie above the inner control, whose
  // own bar would otherwise paint over it (raised only when below it, as
  // this runs on every scroll).
  for (HWND above = GetWindow(ABar->GetHandle(), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
    if (above == AControl->GetHandle()) {
      ABar->BringToFront();
      break;
    }
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_ALL;
  if (!GetScrollInfo(AControl->GetHandle(), ANativeBar, &scroll)) return;
  const Integer page = std::min<Integer>(static_cast<Integer>(scroll.nPage), scroll.nMax);
  ABar->SetScrollParams(scroll.nMin, scroll.nMax, scroll.nPos, page, true);
}

Integer cxScrollNativeBar(TWinControl* AControl, TcxScrollBar* ABar, TScrollCode ACode, Integer APos) {
  const int nativeBar = ABar->GetKind() == sbHorizontal ? SB_HORZ : SB_VERT;
  // A thumb's position goes into the native bar first, as the bar holds
  // it when its own thumb is dragged: the message below carries only its
  // low 16 bits, and the control reads the rest there.
  if (ACode == scTrack || ACode == scPosition) {
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = APos;
    APos = SetScrollInfo(AControl->GetHandle(), nativeBar, &info, FALSE);
  }
  // As from the control's own bar (no bar window named): a window control
  // hands scrolling from a named bar back to that bar.
  SendMessageA(AControl->GetHandle(), nativeBar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
               MAKEWPARAM(static_cast<WORD>(ACode), static_cast<WORD>(APos)), 0);
  return GetScrollPos(AControl->GetHandle(), nativeBar);
}

TRect GetSizeGripRect(IcxContainerInnerControl* AInnerControl) {
  TWinControl* inner = AInnerControl ? AInnerControl->GetControl() : nullptr;
  if (!inner) return {};
  TcxScrollBar* h = nullptr;
  TcxScrollBar* v = nullptr;
  if (auto* list = dynamic_cast<TcxCustomInnerListBox*>(inner)) {
    h = list->GetHScrollBar();
    v = list->GetVScrollBar();
  } else if (TcxContainer* container = AInnerControl->GetControlContainer()) {
    h = container->GetInnerScrollBar(sbHorizontal);
    v = container->GetInnerScrollBar(sbVertical);
  }
  if (!h || !v || !h->GetVisible() || !v->GetVisible()) return {};
  // Both bars lie on the inner control's parent, as the inner control does.
  const TRect corner{v->GetLeft(), h->GetTop(), v->GetLeft() + v->GetWidth(), h->GetTop() + h->GetHeight()};
  return cxRectOffset(corner, -inner->GetLeft(), -inner->GetTop());
}

// --- the container's bars ---------------------------------------------------------------

// The inner list box lays and follows bars of its own.
bool TcxContainer::InnerControlHasOwnScrollBars() const {
  return dynamic_cast<TcxCustomInnerListBox*>(FInnerControl) != nullptr;
}

// The container hears what its inner control is sent, after the control,
// to learn when the native bars may have changed.
void TcxContainer::HookInnerControl() {
  if (!FInnerControl || InnerControlHasOwnScrollBars()) return;
  FInnerControlWindowProc = FInnerControl->GetWindowProc();
  FInnerControl->SetWindowProc(TWndMethod::Bind<&TcxContainer::InnerControlWndProc>(this));
  UpdateScrollBarsParameters();
}

void TcxContainer::UnhookInnerControl() {
  if (FInnerControl && FInnerControlWindowProc) FInnerControl->SetWindowProc(FInnerControlWindowProc);
  FInnerControlWindowProc = TWndMethod();
  for (TcxScrollBar* bar : FInnerScrollBars)
    if (bar) bar->SetVisible(false);
}

void TcxContainer::InnerControlWndProc(TMessage& Message) {
  FInnerControlWindowProc(Message);
  switch (Message.Msg) {
    case WM_SETREDRAW:
      if (!Message.WParam) break;
      [[fallthrough]];
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONUP:
    case WM_SETTEXT:
    case WM_SETTINGCHANGE: UpdateScrollBarsParameters(); break;
    default:
      // The controls' own requests (edit, combo and list messages) may
      // change the content, and with it the bars.
      if ((Message.Msg >= 0x00B0 && Message.Msg <= 0x00FF) || (Message.Msg >= 0x0140 && Message.Msg <= 0x01AF))
        UpdateScrollBarsParameters();
      break;
  }
}

void TcxContainer::UpdateScrollBarsParameters() {
  if (FScrollBarsUpdatePosted || !HandleAllocated() || !FInnerControl || GetContainerIsDestroying()) return;
  FScrollBarsUpdatePosted = true;
  if (PostMessageA(GetHandle(), DXM_UPDATESCROLLBARS, 0, 0)) return;
  // A full queue takes no more: the update is made now, or never.
  FScrollBarsUpdatePosted = false;
  SetScrollBarsParameters(false);
}

void TcxContainer::CMUpdateScrollBars(TMessage&) {
  FScrollBarsUpdatePosted = false;
  SetScrollBarsParameters(false);
}

void TcxContainer::SetScrollBarsParameters(bool) {
  if (FScrollBarsParametersSetting || GetContainerIsDestroying() || !HandleAllocated() || !FInnerControl ||
      !FInnerControl->HandleAllocated() || InnerControlHasOwnScrollBars())
    return;
  FScrollBarsParametersSetting = true;
  auto done = orv::ScopeExit([this] { FScrollBarsParametersSetting = false; });
  for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
    TcxScrollBar*& bar = FInnerScrollBars[kind];
    const int nativeBar = kind == sbHorizontal ? SB_HORZ : SB_VERT;
    if (!bar) {
      // Made when first needed: most inner controls never show a bar.
      if (!(GetWindowLongA(FInnerControl->GetHandle(), GWL_STYLE) & (kind == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)))
        continue;
      bar = New<TcxScrollBar>(this);
      bar->SetKind(kind);
      bar->SetVisible(false);
      // The bars are part of the editor's face: they take its style's look.
      bar->GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
      bar->OnScroll = TScrollEvent::Bind<&TcxContainer::InnerScrollHandler>(this);
    }
    cxCoverNativeScrollBar(FInnerControl, bar, nativeBar);
  }
}

void TcxContainer::InnerScrollHandler(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos) {
  auto* bar = static_cast<TcxScrollBar*>(Sender);
  if (FInnerControl && FInnerControl->HandleAllocated())
    ScrollPos = cxScrollNativeBar(FInnerControl, bar, ScrollCode, ScrollPos);
}
