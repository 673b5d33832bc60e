// TcxControl: the base of the library's custom-drawn controls, and its own
// drag and drop inside the control.
#include "library/foundation/cxControls.h"
#include "library/foundation/cxScrollBar.h"

#include <algorithm>
#include <cstdlib>

#include "platform/forms/Menus.h"
#include "platform/forms/Screen.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollWindow.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

// cxControlsDragDrop.cpp: a control going in the middle of its own drag.
void cxDragSourceDestroying(TcxControl* AControl);

ORV_REGISTER(TcxDragAndDropObject)
ORV_REGISTER(TcxControl, ORV_PROP(BorderStyle).Default(cxcbsNone), ORV_PROP(FocusOnClick).Default(true),
             ORV_PROP(LookAndFeel))
ORV_REGISTER(TcxControlChildComponent)

// ---------------------------------------------------------------------------
// TcxDragAndDropObject

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* AControl)
    : FCanvas(AControl->GetCanvas()), FControl(AControl) {}

void TcxDragAndDropObject::SetDirty(bool Value) {
  if (FDirty == Value) return;
  FDirty = Value;
  DirtyChanged();
}

TCursor TcxDragAndDropObject::GetDragAndDropCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }

void TcxDragAndDropObject::DragAndDrop(const TPoint&, bool& Accepted) {
  SetDirty(false);
  if (Screen) Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

void TcxDragAndDropObject::DoBeginDragAndDrop() {
  FCurMousePos = FControl->ScreenToClient(GetMouseCursorPos());
  FPrevMousePos = FCurMousePos;
  BeginDragAndDrop();
}

void TcxDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& Accepted) {
  FPrevMousePos = FCurMousePos;
  FCurMousePos = P;
  DragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  EndDragAndDrop(Accepted);
  AfterDragAndDrop(Accepted);
}

// ---------------------------------------------------------------------------
// TcxControl: life

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FcxCanvas = New<TcxCanvas>(TCustomControl::GetCanvas());
  FDefaultCursor = TControl::GetCursor();
  FLookAndFeel = New<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxControl::LookAndFeelChangedHandler>(this);
  SetParentBackground(true);
}

// The overrides of descendants decide whether there are scroll bars and
// whether the control stops the tab key.
void TcxControl::AfterConstruction() {
  inherited::AfterConstruction();
  if (HasDragImages()) FControlStyle += csDisplayDragImage;
  CreateScrollBars();
  SetTabStop(MayFocus());
}

void TcxControl::BeforeDestruction() {
  // The drag's object is kept while it still carries this control: the
  // class library's drag forgets the control as it goes.
  cxDragSourceDestroying(this);
  // The bars go before the children are freed, while the control is whole.
  DestroyScrollBars();
  inherited::BeforeDestruction();
  EndMouseTracking(dynamic_cast<IcxMouseTrackingCaller*>(this));
}

TcxControl::~TcxControl() {
  cxDragSourceDestroying(this);
  DestroyScrollBars();
  FreeDragImages();
  if (FDragAndDropObject) FDragAndDropObject->Free();
  FFontListeners.clear();
  if (FActiveScreenCanvas) FActiveScreenCanvas->Free();
  FcxCanvas->Free();
  FLookAndFeel->Free();
  cxClearObjectLinks(this);
}

void TcxControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  FCreatingWindow = true;
  try {
    inherited::CreateWnd();
    InitControl();
  } catch (...) {
    FCreatingWindow = false;
    throw;
  }
  FCreatingWindow = false;
}

void TcxControl::Resize() {
  inherited::Resize();
  BoundsChanged();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  BoundsChanged();
  Invalidate();
}

void TcxControl::AddFontListener(IcxFontListener* AListener) {
  if (AListener && std::find(FFontListeners.begin(), FFontListeners.end(), AListener) == FFontListeners.end())
    FFontListeners.push_back(AListener);
}

void TcxControl::RemoveFontListener(IcxFontListener* AListener) {
  FFontListeners.erase(std::remove(FFontListeners.begin(), FFontListeners.end(), AListener), FFontListeners.end());
}

// ---------------------------------------------------------------------------
// Geometry and painting

TRect TcxControl::GetBounds() {
  if (!cxRectIsEmpty(FExplicitBounds)) return FExplicitBounds;
  if (HandleAllocated()) return GetClientRect();
  return TRect{0, 0, GetWidth(), GetHeight()};
}

Integer TcxControl::GetBorderSize() {
  return FBorderStyle == cxcbsNone ? 0 : GetLookAndFeelPainter()->BorderSize();
}

TRect TcxControl::GetClientBounds() {
  const Integer border = GetBorderSize();
  TRect r = cxRectInflate(GetBounds(), -border, -border);
  if (GetHScrollBarVisible()) r.Bottom -= FHScrollBar->GetHeight();
  if (GetVScrollBarVisible()) r.Right -= FVScrollBar->GetWidth();
  return r;
}

void TcxControl::InvalidateRect(const TRect& R, bool EraseBackground) {
  if (HandleAllocated()) win::InvalidateRect(GetHandle(), &R, EraseBackground);
}

void TcxControl::InvalidateRgn(TcxRegion* ARegion, bool EraseBackground) {
  if (HandleAllocated() && ARegion && !ARegion->IsEmpty())
    win::InvalidateRgn(GetHandle(), ARegion->GetHandle(), EraseBackground);
}

void TcxControl::PostMouseMove() { PostMouseMove(ScreenToClient(GetMouseCursorPos())); }

void TcxControl::PostMouseMove(const TPoint& AMousePos) {
  if (HandleAllocated()) PostMessageA(GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(AMousePos.X, AMousePos.Y));
}

void TcxControl::UpdateWithChildren() {
  if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TcxControl::ScrollWindow(Integer DX, Integer DY, const TRect& AScrollRect) {
  if (!HandleAllocated()) return;
  HideDragImage();
  ScrollWindowEx(GetHandle(), DX, DY, &AScrollRect, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  ShowDragImage();
}

TcxCanvas* TcxControl::GetActiveCanvas() {
  if (HandleAllocated()) {
    if (FActiveScreenCanvas) {
      FActiveScreenCanvas->Free();
      FActiveScreenCanvas = nullptr;
    }
    return FcxCanvas;
  }
  if (!FActiveScreenCanvas) FActiveScreenCanvas = New<TcxScreenCanvas>();
  return FActiveScreenCanvas;
}

void TcxControl::WMEraseBkgnd(TMessage& Message) {
  if (HasBackground())
    DispatchFrom(inherited::StaticClass(), Message);
  else
    Message.Result = 1;
}

void TcxControl::WMPaint(TMessage& Message) {
  HideDragImage();
  DispatchFrom(inherited::StaticClass(), Message);
  ShowDragImage();
  if (GetParentBackground() != FParentBackgroundCache) {
    FParentBackgroundCache = GetParentBackground();
    ParentBackgroundChanged();
  }
}

void TcxControl::Paint() {
  if (FBorderStyle == cxcbsDefault) {
    GetLookAndFeelPainter()->DrawBorder(FcxCanvas, GetBounds());
    FcxCanvas->IntersectClipRect(GetClientBounds());
  }
  inherited::Paint();
}

// ---------------------------------------------------------------------------
// The window procedure

void TcxControl::WndProc(TMessage& Message) {
  TcxObjectLink* link = cxAddObjectLink(this);
  struct Release {
    TcxObjectLink* L;
    ~Release() { cxRemoveObjectLink(L); }
  } release{link};

  const bool leftDown = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK;
  if (leftDown && (GetIsDesigning() ? GetDesignHitTest(Message.Pos().X, Message.Pos().Y, {ssLeft})
                                    : GetDragMode() == dmAutomatic) &&
      !dynamic_cast<TGraphicControl*>(ControlAtPos(Message.Pos(), false))) {
    // Straight to the handlers: the control starts its drags itself.
    FControlState.Include(csLButtonDown);
    Dispatch(Message);
    if (link->Ref) FControlState.Exclude(csLButtonDown);
  } else if (Message.Msg == WM_RBUTTONUP) {
    FRightButtonUp = true;
    inherited::WndProc(Message);
    if (link->Ref) FRightButtonUp = false;
  } else {
    inherited::WndProc(Message);
  }
  if (!link->Ref) return;

  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      TPoint p = Message.Pos();
      // Packed 16-bit coordinates overflow on very large controls.
      if (GetWidth() > 32768 || GetHeight() > 32768) p = ScreenToClient(GetMouseCursorPos());
      const TMouseButton button =
          Message.Msg == WM_LBUTTONDOWN ? mbLeft : (Message.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle);
      AfterMouseDown(button, p.X, p.Y);
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Mouse

// A control dragged automatically detects its drags itself after the press
// (AfterMouseDown), so the press stays a press here rather than starting
// the platform's drag at once.
void TcxControl::WMLButtonDown(TMessage& Message) {
  if (GetDragMode() != dmAutomatic || GetDragKind() != dkDrag) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  FControlState.Include(csLButtonDown);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    const TPoint p = Message.Pos();
    MouseDown(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxObjectLink* link = cxAddObjectLink(this);
  struct Release {
    TcxObjectLink* L;
    ~Release() { cxRemoveObjectLink(L); }
  } release{link};

  FMouseDownPos = {X, Y};
  const bool dbl = Shift.Contains(ssDouble);
  if (CanFocusOnClick(X, Y) && !dbl) {
    const Integer oldLeft = GetLeft(), oldTop = GetTop();
    SetFocus();
    if (!link->Ref) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->GetActiveControl() == this && !GetIsFocused()) win::SetFocus(GetHandle());
    if (!GetIsFocused() && !AllowDragAndDropWithoutFocus()) {
      SetMouseCapture(false);
      return;
    }
    X += oldLeft - GetLeft();
    Y += oldTop - GetTop();
    FMouseDownPos = {X, Y};
  }
  if (Button == mbLeft && !dbl && StartDragAndDrop(TPoint{X, Y})) {
    if (!GetDragAndDropObject()->GetImmediateStart())
      SetDragAndDropState(ddsStarting);
    else
      BeginDragAndDrop();
  } else {
    FinishDragAndDrop(false);
  }
  if (!link->Ref) return;
  BeforeMouseDown(Button, Shift, X, Y);
  if (!link->Ref) return;
  inherited::MouseDown(Button, Shift, X, Y);
  if (!link->Ref) return;
  if (GetMouseCapture()) FMouseButtonPressed = true;
}

void TcxControl::AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) {
  if (GetDragMode() == dmAutomatic && AButton == mbLeft && GetMouseCapture()) {
    if (GetIsDesigning() && !AllowAutoDragAndDropAtDesignTime(X, Y, {})) return;
    if (CanDrag(X, Y) && DragDetect(GetHandle()) == ddDrag) BeginDrag(true);
  }
  if (AButton == mbMiddle) DoScrolling();
}

void TcxControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCursor cursor = GetCursor(X, Y);
  const TCursor saved = FDefaultCursor;
  SetCursor(cursor);
  FDefaultCursor = saved;
  inherited::MouseMove(Shift, X, Y);
  if (FDragAndDropState == ddsStarting && !IsMouseInPressedArea(X, Y)) BeginDragAndDrop();
  if (FDragAndDropState == ddsInProcess) {
    bool accepted = false;
    DragAndDrop(TPoint{X, Y}, accepted);
  }
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FMouseButtonPressed = false;
  CancelMouseOperations();
  inherited::MouseUp(Button, Shift, X, Y);
}

void TcxControl::CancelMouseOperations() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

bool TcxControl::IsMouseInPressedArea(Integer X, Integer Y) const {
  return IsPointInDragDetectArea(FMouseDownPos, X, Y);
}

bool TcxControl::AcceptMousePosForClick(Integer X, Integer Y) {
  return GetDragMode() == dmManual || IsMouseInPressedArea(X, Y);
}

TCursor TcxControl::GetCursor(Integer, Integer) { return FDefaultCursor; }

bool TcxControl::CanDrag(Integer, Integer) { return FDragAndDropState == ddsNone; }

bool TcxControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const TcxMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
  if (kind == mwskNone) return false;
  const Integer lines = Mouse ? Mouse->GetWheelScrollLines() : 3;
  TcxDirection dir;
  if (kind == mwskVertical)
    dir = WheelDelta > 0 ? dirUp : dirDown;
  else
    dir = WheelDelta > 0 ? dirLeft : dirRight;
  for (Integer i = 0; i < lines; ++i) ScrollContent(dir);
  return true;
}

// ---------------------------------------------------------------------------
// Focus

bool TcxControl::CanFocusOnClick() { return !GetIsDesigning() && FFocusOnClick && MayFocus() && CanFocus(); }

bool TcxControl::CanFocusOnClick(Integer, Integer) { return CanFocusOnClick(); }

bool TcxControl::FocusWhenChildIsClicked(TControl*) { return CanFocusOnClick(); }

bool TcxControl::CanFocusEx() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->GetEnabled() && form->GetVisible());
}

void TcxControl::FocusChanged() {
  if (OnFocusChanged) OnFocusChanged(this);
}

// ---------------------------------------------------------------------------
// Mouse capture object

void TcxControl::SetMouseCaptureObject(TObject* Value) {
  if (FMouseCaptureObject == Value) return;
  if (auto* old = dynamic_cast<IcxMouseCaptureObject*>(FMouseCaptureObject)) old->DoCancelMode();
  FMouseCaptureObject = Value;
  const bool wasCaptured = GetMouseCapture();
  SetMouseCapture(Value != nullptr);
  if (wasCaptured && !GetMouseCapture() && FDragAndDropState == ddsStarting && HandleAllocated())
    SendMessageA(GetHandle(), WM_CANCELMODE, 0, 0);
}

void TcxControl::DoCancelMode() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::WMCancelMode(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  FinishDragAndDrop(false);
  DoCancelMode();
}

// ---------------------------------------------------------------------------
// Keys

void TcxControl::WMGetDlgCode(TMessage& Message) {
  LRESULT r = 0;
  if (FKeys.Contains(kAll)) r |= DLGC_WANTALLKEYS;
  if (FKeys.Contains(kArrows)) r |= DLGC_WANTARROWS;
  if (FKeys.Contains(kChars)) r |= DLGC_WANTCHARS;
  if (FKeys.Contains(kTab) && !IsCtrlPressed()) r |= DLGC_WANTTAB;
  Message.Result = r;
}

bool TcxControl::IsPopupMenuKey(TMessage& Message) {
  if (GetIsDesigning()) return false;
  for (TControl* c = this; c; c = c->GetParent())
    if (auto* x = dynamic_cast<TcxControl*>(c))
      if (x->GetPopupMenu() && IsPopupMenuShortCut(x->GetPopupMenu(), Message)) return true;
  return false;
}

bool TcxControl::IsMenuKey(TMessage& Message) { return IsPopupMenuKey(Message) || inherited::IsMenuKey(Message); }

void TcxControl::CNKeyDown(TMessage& Message) {
  if (IsPopupMenuKey(Message)) {
    Message.Result = 1;
    return;
  }
  if (FDragAndDropState != ddsNone) {
    // Every key is swallowed while dragging; Esc ends the drag.
    if (Message.WParam == VK_ESCAPE && HandleAllocated())
      SendMessageA(GetHandle(), WM_KEYDOWN, Message.WParam, Message.LParam);
    Message.Result = 1;
    return;
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxControl::CNSysKeyDown(TMessage& Message) {
  if (IsPopupMenuKey(Message)) {
    Message.Result = 1;
    return;
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) FinishDragAndDrop(false);
  inherited::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// Popup menus

// The control's one PopupMenu, which the control class watches for its
// removal: set here or there, it is the same menu.
void TcxControl::SetPopupMenu(TComponent* Value) {
  if (!dynamic_cast<IcxPopupMenu*>(Value) && !dynamic_cast<TPopupMenu*>(Value)) Value = nullptr;
  inherited::SetPopupMenu(Value);
}

void TcxControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0 || GetIsDesigning()) return DispatchFrom(inherited::StaticClass(), Message);
  const TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const bool keyboard = screen.X == -1 && screen.Y == -1;
  TPoint p = screen;
  if (!keyboard) {
    p = ScreenToClient(screen);
    // On the border or a scroll bar the window's own default decides.
    if (!cxRectPtIn(GetClientBounds(), p)) return DefaultHandler(Message);
  }
  bool handled = false;
  DoContextPopup(p, handled);
  Message.Result = handled ? 1 : 0;
  if (!handled) DispatchFrom(inherited::StaticClass(), Message);
}

void TcxControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  inherited::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  TPoint p = MousePos;
  if (p.X == -1 && p.Y == -1) p = GetKeyboardPopupPoint();
  p = ClientToScreen(p);
  Handled = DoShowPopupMenu(GetPopupMenu(), p.X, p.Y);
}

bool TcxControl::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) {
  return ShowPopupMenu(this, AMenu, X, Y);
}

// ---------------------------------------------------------------------------
// Change messages

void TcxControl::CMColorChanged(TMessage& Message) {
  ColorChanged();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxControl::CMCursorChanged(TMessage& Message) {
  CursorChanged();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxControl::CursorChanged() { FDefaultCursor = TControl::GetCursor(); }

void TcxControl::CMFontChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  FontChanged();
}

void TcxControl::FontChanged() {
  for (std::size_t i = 0; i < FFontListeners.size(); ++i) FFontListeners[i]->DefaultFontChanged(this, GetFont());
  Invalidate();
}

void TcxControl::CMTextChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  TextChanged();
}

void TcxControl::CMVisibleChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  VisibleChanged();
}

void TcxControl::CMMouseEnter(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  auto* c = reinterpret_cast<TControl*>(Message.LParam);
  MouseEnter(c ? c : this);
}

void TcxControl::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  auto* c = reinterpret_cast<TControl*>(Message.LParam);
  MouseLeave(c ? c : this);
}

void TcxControl::MouseEnter(TControl*) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TcxControl::MouseLeave(TControl*) {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TcxControl::CMDesignHitTest(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (Message.Result == 0) {
    const TPoint p = Message.Pos();
    Message.Result = GetDesignHitTest(p.X, p.Y, KeysToShiftState(Message.WParam)) ? 1 : 0;
  }
}

bool TcxControl::GetDesignHitTest(Integer, Integer, TShiftState) {
  return FDragAndDropState != ddsNone || FMouseButtonPressed;
}

void TcxControl::WMSetCursor(TMessage& Message) {
  if (GetIsDesigning() && FDragAndDropState == ddsNone && Screen) {
    const TPoint p = ScreenToClient(GetMouseCursorPos());
    if (GetDesignHitTest(p.X, p.Y, {})) {
      Screen->SetCursor(GetCursor(p.X, p.Y));
      Message.Result = 1;
      return;
    }
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

// ---------------------------------------------------------------------------
// Own drag and drop

TcxDragAndDropObjectClass TcxControl::GetDragAndDropObjectClass() {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : TcxDragAndDropObjectClass(TcxDragAndDropObject::StaticClass());
}

TcxDragAndDropObject* TcxControl::GetDragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject = GetDragAndDropObjectClass().Construct<TcxControl*>(this);
  return FDragAndDropObject;
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState Value) {
  if (FDragAndDropState == Value) return;
  FDragAndDropState = Value;
  if (Value == ddsNone && !FFinishingDragAndDrop) DoCancelMode();
}

void TcxControl::BeginDragAndDrop() {
  GetDragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen ? Screen->GetCursor() : crDefault;
  FDragAndDropState = ddsInProcess;
}

void TcxControl::DragAndDrop(const TPoint& P, bool& Accepted) { GetDragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TcxControl::EndDragAndDrop(bool Accepted) {
  SetDragAndDropState(ddsNone);
  if (Screen) Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  GetDragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TcxControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  try {
    if (FDragAndDropState == ddsInProcess)
      EndDragAndDrop(Accepted);
    else
      SetDragAndDropState(ddsNone);
    if (FDragAndDropObject) {
      FDragAndDropObject->Free();
      FDragAndDropObject = nullptr;
    }
  } catch (...) {
    FFinishingDragAndDrop = false;
    throw;
  }
  FFinishingDragAndDrop = false;
}

void TcxControl::AddChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(this); }

void TcxControl::RemoveChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(nullptr); }

// ---------------------------------------------------------------------------
// TcxControlChildComponent

TcxControlChildComponent::TcxControlChildComponent(TComponent* AOwner) : TcxComponent(AOwner) { Initialize(); }

TcxControlChildComponent::TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner)
    : TcxComponent(AAssignOwner && AControl ? AControl->GetOwner() : nullptr) {
  SetControl(AControl);
}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (FControl) FControl->RemoveChildComponent(this);
}

void TcxControlChildComponent::SetParentComponent(TComponent* Value) {
  if (auto* control = dynamic_cast<TcxControl*>(Value)) control->AddChildComponent(this);
}
