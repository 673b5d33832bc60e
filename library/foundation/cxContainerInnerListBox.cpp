// The inner list box: a native list box that hands its input to the
// container hosting it and completes typed text against its items.
#include <algorithm>

#include "library/foundation/cxContainer.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/WindowDC.h"

using namespace win;

ORV_REGISTER(TcxCustomInnerListBox)

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  FcxCanvas = New<TcxCanvas>(GetCanvas());
  FLookAndFeel = New<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged =
      TcxLookAndFeelChangedEvent::Bind<&TcxCustomInnerListBox::LookAndFeelChangedHandler>(this);
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  style.Exclude(csOpaque);
  SetControlStyle(style);
  SetParentColor(false);
  SetParentFont(true);
  for (TcxScrollBar** bar : {&FHScrollBar, &FVScrollBar}) {
    *bar = New<TcxScrollBar>(this);
    (*bar)->SetKind(bar == &FHScrollBar ? sbHorizontal : sbVertical);
    (*bar)->SetVisible(false);
    (*bar)->GetLookAndFeel()->SetMasterLookAndFeel(FLookAndFeel);
    (*bar)->FreeNotification(this);
  }
  FHScrollBar->OnScroll = TScrollEvent::Bind<&TcxCustomInnerListBox::HScrollHandler>(this);
  FVScrollBar->OnScroll = TScrollEvent::Bind<&TcxCustomInnerListBox::VScrollHandler>(this);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  SetContainer(nullptr);
  // A bar placed on a parent goes with this list, not with the parent.
  for (TcxScrollBar* bar : {FHScrollBar, FVScrollBar})
    if (bar) bar->Free();
  FLookAndFeel->Free();
  FcxCanvas->Free();
}

void TcxCustomInnerListBox::SetContainer(TcxContainer* Value) {
  if (Value == FContainer) return;
  if (FContainer) FContainer->RemoveFreeNotification(this);
  FContainer = Value;
  if (FContainer) FContainer->FreeNotification(this);
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FContainer) FContainer = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (HandleAllocated()) Invalidate();
}

bool TcxCustomInnerListBox::ItemVisible(Integer Index) {
  const TRect item = ItemRect(Index);
  const TRect client = GetClientRect();
  for (const TPoint& corner : {TPoint(item.Left, item.Top), TPoint(item.Right - 1, item.Top),
                               TPoint(item.Left, item.Bottom - 1), TPoint(item.Right - 1, item.Bottom - 1)})
    if (cxRectPtIn(client, corner)) return true;
  return false;
}

// --- input handed to the container -------------------------------------------------

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (!FContainer) return;
  // A press in the list must not take the focus into the container.
  const bool locked = FContainer->FFocusOnClickLocked;
  FContainer->FFocusOnClickLocked = true;
  const TPoint p = ToContainer(X, Y);
  FContainer->MouseDown(Button, Shift, p.X, p.Y);
  if (FContainer) FContainer->FFocusOnClickLocked = locked;
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->MouseMove(Shift, p.X, p.Y);
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (!FContainer) return;
  const TPoint p = ToContainer(X, Y);
  FContainer->MouseUp(Button, Shift, p.X, p.Y);
}

void TcxCustomInnerListBox::Click() {
  inherited::Click();
  if (FContainer) FContainer->Click();
}

void TcxCustomInnerListBox::DblClick() {
  inherited::DblClick();
  if (FContainer) FContainer->DblClick();
}

// The container may take the wheel; the list scrolls only when it did not.
bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (FContainer && FContainer->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TcxCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (FContainer) FContainer->KeyDown(Key, Shift);
  if (Key != 0) inherited::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (FContainer) FContainer->KeyUp(Key, Shift);
  if (Key != 0) inherited::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::KeyPress(char& Key) {
  if (Key == '\t') Key = 0;
  if (FContainer) FContainer->KeyPress(Key);
  if (Key == '\r') Key = 0;
  // The key-press event, without the platform list's own search.
  TWinControl::KeyPress(Key);
  if (Key != 0) DoAutoComplete(Key);
}

void TcxCustomInnerListBox::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (FContainer) FContainer->ShortRefreshContainer(true);
}

// A container dragged automatically is dragged from its list too: the
// press selects the item as usual, then the container's drag starts (after
// the pointer leaves the threshold). The list's own automatic drag, which
// would carry the list instead, is held off meanwhile. In a multiple
// selection a press on a selected item (without Shift, or with Ctrl) drags
// the selection as it is, without the press changing it; a press with
// Shift or Ctrl that changes the selection drags nothing.
void TcxCustomInnerListBox::WMLButtonDown(TMessage& Message) {
  if (!FContainer || FContainer->GetDragMode() != dmAutomatic || FContainer->GetIsDesigning()) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  const TDragMode mode = GetDragMode();
  TControl::SetDragMode(dmManual);
  auto restore = orv::ScopeExit([this, mode] { TControl::SetDragMode(mode); });
  const bool shift = Message.WParam & MK_SHIFT;
  const bool ctrl = Message.WParam & MK_CONTROL;
  const Integer item = ItemAtPos(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, true);
  const bool dragSelection = GetMultiSelect() && (!shift || ctrl) && item >= 0 && GetSelected(item);
  if (dragSelection) {
    // The press still takes the focus, as any press in the list does.
    if (!Focused() && CanFocus()) SetFocus();
  } else {
    DispatchFrom(inherited::StaticClass(), Message);
    if (GetMultiSelect() && (shift || ctrl)) return;
  }
  if (FContainer && FContainer->GetDragKind() == dkDrag && !FContainer->Dragging()) FContainer->BeginDrag(false);
}

void TcxCustomInnerListBox::WMGetDlgCode(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!FContainer) return;
  Message.Result |= DLGC_WANTCHARS;
  if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
}

void TcxCustomInnerListBox::WMSetFocus(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!FContainer || FContainer->GetContainerIsDestroying() || GetComponentState().Contains(csDestroying)) return;
  if (FContainer->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == FContainer->GetHandle()) return;
  FContainer->FocusChanged();
}

void TcxCustomInnerListBox::WMKillFocus(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (FContainer && !FContainer->GetContainerIsDestroying()) FContainer->FocusChanged();
}

// --- the library's scroll bars ----------------------------------------------------------

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SETREDRAW) FRedrawDisabled = Message.WParam == 0;
  inherited::WndProc(Message);
  switch (Message.Msg) {
    case WM_SETREDRAW:
      if (!Message.WParam) break;
      [[fallthrough]];
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_SETTINGCHANGE: SetExternalScrollBarsParameters(); break;
    default: break;
  }
  // A move or resize shows the corner between the bars afresh.
  if (Message.Msg == WM_WINDOWPOSCHANGED && HandleAllocated() && !cxRectIsEmpty(GetSizeGripRect()))
    SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

// The corner between the library bars is the list's: it is filled in the
// face colour whenever the frame paints.
void TcxCustomInnerListBox::WMNCPaint(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  const TRect grip = GetSizeGripRect();
  if (cxRectIsEmpty(grip) || !HandleAllocated()) return;
  HDC dc = GetWindowDC(GetHandle());
  const RECT r = grip;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(GetHandle(), dc);
}

void TcxCustomInnerListBox::SetExternalScrollBarsParameters() {
  if (GetComponentState().Contains(csDestroying) || FRedrawDisabled ||
      FScrollBarsParametersSetting || !HandleAllocated() || !FHScrollBar || !FVScrollBar)
    return;
  FScrollBarsParametersSetting = true;
  auto done = orv::ScopeExit([this] { FScrollBarsParametersSetting = false; });
  cxCoverNativeScrollBar(this, FHScrollBar, SB_HORZ);
  cxCoverNativeScrollBar(this, FVScrollBar, SB_VERT);
}

void TcxCustomInnerListBox::HScrollHandler(TObject*, TScrollCode ScrollCode, Integer& ScrollPos) {
  ScrollPos = cxScrollNativeBar(this, FHScrollBar, ScrollCode, ScrollPos);
}

void TcxCustomInnerListBox::VScrollHandler(TObject*, TScrollCode ScrollCode, Integer& ScrollPos) {
  if (ScrollCode == scLineUp || ScrollCode == scLineDown) {
    SetTopIndex(ScrollPos);
  } else {
    ScrollPos = cxScrollNativeBar(this, FVScrollBar, ScrollCode, ScrollPos);
  }
}

// --- owner drawing ---------------------------------------------------------------------

// An item drawn by an owner-draw event draws its own focus, if any.
void TcxCustomInnerListBox::CNDrawItem(TMessage& Message) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const TOwnerDrawState state = OwnerDrawStateOf(item->itemState);
  TCanvas* canvas = GetCanvas();
  const int saved = SaveDC(item->hDC);
  canvas->SetHandle(item->hDC);
  auto release = orv::ScopeExit([&] {
    canvas->SetHandle(nullptr);
    RestoreDC(item->hDC, saved);
  });
  canvas->GetFont()->Assign(GetFont());
  canvas->GetBrush()->SetColor(GetColor());
  if (state.Contains(odSelected)) {
    canvas->GetBrush()->SetColor(clHighlight);
    canvas->GetFont()->SetColor(clHighlightText);
  }
  const TRect rect = item->rcItem;
  if (static_cast<Integer>(item->itemID) >= 0)
    DrawItem(static_cast<Integer>(item->itemID), rect, state);
  else
    canvas->FillRect(rect);
  if (state.Contains(odFocused) && NeedDrawFocusRect()) {
    SaveCanvasParametersForFocusRect();
    canvas->DrawFocusRect(rect);
    RestoreCanvasParametersForFocusRect();
  }
  Message.Result = 1;
}

// The focus rectangle is drawn in the default colours and leaves the
// item's colours as they were.
void TcxCustomInnerListBox::SaveCanvasParametersForFocusRect() {
  TCanvas* canvas = GetCanvas();
  FSavedBrushColor = canvas->GetBrush()->GetColor();
  FSavedFontColor = canvas->GetFont()->GetColor();
  canvas->GetBrush()->SetColor(clWindow);
  canvas->GetFont()->SetColor(clWindowText);
}

void TcxCustomInnerListBox::RestoreCanvasParametersForFocusRect() {
  TCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetColor(FSavedBrushColor);
  canvas->GetFont()->SetColor(FSavedFontColor);
}

// --- typed text ------------------------------------------------------------------------

Integer TcxCustomInnerListBox::FindAutoCompleteString(const AnsiString& AFilter) {
  if (!HandleAllocated()) return -1;
  const LRESULT found = Perform(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(AFilter.c_str()));
  return found == LB_ERR ? -1 : static_cast<Integer>(found);
}

// Code page 1252 has no lead bytes: every typed character is one byte.
void TcxCustomInnerListBox::DoAutoComplete(char& Key) {
  if (!GetAutoComplete()) return;
  const Cardinal now = Clock::TickCount();
  if (now - FLastAutoCompleteTime >= GetAutoCompleteDelay()) FAutoCompleteFilter.clear();
  FLastAutoCompleteTime = now;
  if (Key == '\b') {
    if (!FAutoCompleteFilter.empty()) FAutoCompleteFilter.pop_back();
  } else {
    FAutoCompleteFilter += Key;
  }
  if (FAutoCompleteFilter.empty()) {
    SetItemIndex(0);
    Click();
  } else if (const Integer found = FindAutoCompleteString(FAutoCompleteFilter); found >= 0) {
    SelectOnly(found);
    Click();
  }
  if (Key != '\b' && Key != '\r' && Key != '\x1b') Key = 0;
}
