// The editor control's activation by the grid, its mouse and buttons, its
// layout through view data and view info, auto-size, painting and the
// streaming of its size.
#include <map>

#include "library/editors/core/cxCustomEdit.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {

// The inner edits whose window procedure an activation by key holds, by
// window.
std::map<HWND, TcxCustomEdit*>& LockedInnerEdits() {
  static std::map<HWND, TcxCustomEdit*> edits;
  return edits;
}

WPARAM ShiftToKeys(TShiftState Shift) {
  WPARAM keys = 0;
  if (Shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  if (Shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  return keys;
}

LPARAM PointToLParam(const TPoint& P) {
  return static_cast<LPARAM>((static_cast<DWORD>(P.Y & 0xFFFF) << 16) | static_cast<DWORD>(P.X & 0xFFFF));
}

}  // namespace

// The stand-in procedure of a held inner edit: it hands every message to
// the editor, which passes it on to the edit's own procedure.
LRESULT cxLockedInnerEditProc(HWND AWnd, UINT AMsg, WPARAM WParam, LPARAM LParam) {
  auto it = LockedInnerEdits().find(AWnd);
  if (it == LockedInnerEdits().end()) return DefWindowProcA(AWnd, AMsg, WParam, LParam);
  TMessage message{AMsg, WParam, LParam, 0};
  it->second->LockedInnerEditWindowProc(message);
  return message.Result;
}

// --- activation ------------------------------------------------------------------

void TcxCustomEdit::Activate(TcxCustomEditData*& AEditData) {
  if (!AEditData && GetEditDataClass()) AEditData = GetEditDataClass().Construct<TcxCustomEdit*>(this);
  FEditData = AEditData;
  DoClearEditData(AEditData);
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (GetActiveProperties()->GetAutoSelect()) SelectAll();
  }
  SynchronizeDisplayValue();
  SetModified(false);
}

void TcxCustomEdit::DoClearEditData(TcxCustomEditData* AEditData) {
  if (AEditData && AEditData == FEditData) InitializeEditData();
}

void TcxCustomEdit::ActivateByKey(char AKey, TcxCustomEditData*& AEditData) {
  LockInnerEditRepainting();
  orv::ScopeExit unlock([this] { UnlockInnerEditRepainting(); });
  Activate(AEditData);
  if (SendActivationKey(AKey) && HandleAllocated())
    SendMessageA(GetHandle(), WM_CHAR, static_cast<unsigned char>(AKey), 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) {
  Activate(AEditData);
  if (!HandleAllocated()) return;
  TPoint p(X, Y);
  if (GetParent()) p = ScreenToClient(GetParent()->ClientToScreen(p));
  const WPARAM keys = ShiftToKeys(Shift);
  if (Shift.Contains(ssLeft)) {
    SendMessageA(GetHandle(), WM_LBUTTONDOWN, keys, PointToLParam(p));
    if (HandleAllocated() && GetCapture() == GetHandle() && (GetKeyState(VK_LBUTTON) & 0x8000) == 0) ReleaseCapture();
  } else {
    SendMessageA(GetHandle(), WM_LBUTTONUP, keys, PointToLParam(p));
  }
  FDblClickTimer->SetEnabled(true);
}

bool TcxCustomEdit::Deactivate() {
  FUserAction = false;
  const bool result = ValidateEdit(true);
  if (result) {
    SynchronizeDisplayValue();
    FEditValidated = true;
  }
  return result;
}

void TcxCustomEdit::LockInnerEditRepainting() {
  if (FLockedInnerEditWnd || !FInnerEdit) return;
  TWinControl* inner = FInnerEdit->GetControl();
  if (!inner->HandleAllocated()) return;
  const HWND wnd = inner->GetHandle();
  FSavedInnerEditWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
  LockedInnerEdits()[wnd] = this;
  FLockedInnerEditWnd = wnd;
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cxLockedInnerEditProc));
}

void TcxCustomEdit::UnlockInnerEditRepainting() {
  if (!FLockedInnerEditWnd) return;
  const HWND wnd = std::exchange(FLockedInnerEditWnd, nullptr);
  LockedInnerEdits().erase(wnd);
  if (IsWindow(wnd)) SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FSavedInnerEditWndProc));
  FSavedInnerEditWndProc = nullptr;
}

// The messages go on to the edit's own procedure unchanged and to its own
// window: handing them to the editor's window instead would bring the
// editor's key messages straight back here.
void TcxCustomEdit::LockedInnerEditWindowProc(TMessage& Message) {
  Message.Result = CallWindowProcA(FSavedInnerEditWndProc, FLockedInnerEditWnd, Message.Msg, Message.WParam,
                                   Message.LParam);
}

// --- mouse and buttons ---------------------------------------------------------------

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  // A second press soon after the grid activated the editor by a press is
  // a double click, unless it lands on a button.
  if (Button == mbLeft && FDblClickTimer->GetEnabled()) {
    FDblClickTimer->SetEnabled(false);
    if (ButtonVisibleIndexAt(TPoint(X, Y)) == -1) DblClick();
  }
  inherited::MouseDown(Button, Shift, X, Y);
  if (GetContainerIsDestroying() || !HandleAllocated()) return;
  // A press over a graphic child of the editor belongs to that child; a
  // windowed child (the inner edit among them) hears its own presses, and
  // one it handed on must not come back to it.
  POINT cursor{};
  GetCursorPos(&cursor);
  if (WindowFromPoint(cursor) == GetHandle()) {
    TControl* child = ControlAtPos(TPoint(X, Y), false, false);
    if (child && child != this && !dynamic_cast<TWinControl*>(child)) {
      const UINT msg = Button == mbLeft ? WM_LBUTTONDOWN : Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
      const TPoint p(X - child->GetLeft(), Y - child->GetTop());
      child->Perform(msg, ShiftToKeys(Shift), PointToLParam(p));
    }
  }
  if (Button == mbLeft && GetCapture() == GetHandle() && GetViewInfo()->PressedButton != -1)
    FCaptureButtonVisibleIndex = GetViewInfo()->PressedButton;
}

void TcxCustomEdit::DblClick() {
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(TPoint(cursor.X, cursor.Y));
  if (HandleAllocated() && ButtonVisibleIndexAt(p) != -1) {
    // The button takes the second press as a press of its own.
    SendMessageA(GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
    Click();
    return;
  }
  inherited::DblClick();
}

void TcxCustomEdit::Click() {
  if (IsClickLocked()) return;
  if (GetIsLoading() && !IsClickEnabledDuringLoading()) return;
  inherited::Click();
}

void TcxCustomEdit::DoClick() {
  SetModifiedAfterEnter(true);
  if (!IsClickLocked()) Click();
}

void TcxCustomEdit::DblClickTimerHandler(TObject*) { FDblClickTimer->SetEnabled(false); }

Integer TcxCustomEdit::ButtonVisibleIndexAt(const TPoint& P) {
  TcxCustomEditViewInfo* info = GetViewInfo();
  for (Integer i = 0; i < info->GetButtonCount(); ++i)
    if (cxRectPtIn(info->ButtonInfos[i]->Bounds, P)) return i;
  return -1;
}

Integer TcxCustomEdit::GetDefaultButtonVisibleIndex() {
  TcxCustomEditViewInfo* info = GetViewInfo();
  for (Integer i = 0; i < info->GetButtonCount(); ++i)
    if (info->ButtonInfos[i]->Default) return i;
  return -1;
}

Integer TcxCustomEdit::ButtonIndexOfVisible(Integer AButtonVisibleIndex) {
  TcxCustomEditViewInfo* info = GetViewInfo();
  if (AButtonVisibleIndex < 0 || AButtonVisibleIndex >= info->GetButtonCount()) return -1;
  return info->ButtonInfos[AButtonVisibleIndex]->ButtonIndex;
}

void TcxCustomEdit::DefaultButtonClick() {
  const Integer index = GetDefaultButtonVisibleIndex();
  if (index != -1) DoButtonClick(index);
}

bool TcxCustomEdit::HandleMouseWheel(TShiftState Shift) {
  return !FIsInplace || GetActiveProperties()->GetInplaceMouseWheel() || Shift.Contains(ssCtrl);
}

// A wheel the editor does not take goes on to its parent: in place, the
// grid scrolls.
bool TcxCustomEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (!HandleMouseWheel(Shift)) return false;
  return inherited::DoMouseWheel(Shift, WheelDelta, MousePos);
}

// --- refresh and view info ---------------------------------------------------------------

TcxCustomEditViewInfo* TcxCustomEdit::GetViewInfo() const {
  return static_cast<TcxCustomEditViewInfo*>(TcxContainer::GetViewInfo());
}

TcxContainerStyleClass TcxCustomEdit::GetStyleClass() {
  return FProperties ? TcxContainerStyleClass(FProperties->GetStyleClass()) : inherited::GetStyleClass();
}

TcxContainerViewInfoClass TcxCustomEdit::GetViewInfoClass() {
  TClass cls = FProperties ? FProperties->GetViewInfoClass() : nullptr;
  return cls ? TcxContainerViewInfoClass(cls) : TcxContainerViewInfoClass(TcxCustomEditViewInfo::StaticClass());
}

void TcxCustomEdit::InitializeViewInfo() { GetViewInfo()->Edit = this; }

TcxCustomEditViewData* TcxCustomEdit::CreateViewData() {
  TcxCustomEditViewData* viewData = GetActiveProperties()->CreateViewData(GetActiveStyle(), FIsInplace);
  if (FIsInplace && FContentParamsInitialized) viewData->EditContentParams = FContentParams;
  viewData->Edit = PropertiesChangeLocked() ? nullptr : this;
  if (HandleAllocated()) viewData->WindowHandle = GetHandle();
  InitializeViewData(viewData);
  return viewData;
}

void TcxCustomEdit::InitializeViewData(TcxCustomEditViewData* AViewData) {
  AViewData->Enabled = GetEnabled();
  AViewData->IsDesigning = GetIsDesigning();
  AViewData->Focused = FIsFocused;
  if (TWinControl* inner = GetInnerControl()) AViewData->InnerEdit = dynamic_cast<IcxContainerInnerControl*>(inner);
}

void TcxCustomEdit::InitContentParams() {
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit free([viewData] { viewData->Free(); });
  viewData->InitEditContentParams(FContentParams);
  FContentParamsInitialized = true;
}

void TcxCustomEdit::CalculateViewInfo(const TPoint& P, bool AHotTest) {
  CalculateViewInfo(P, cxmbNone, AHotTest ? TShiftState{} : KeyboardStateToShiftState(), false);
}

void TcxCustomEdit::CalculateViewInfo(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                      bool AIsMouseEvent) {
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit free([viewData] { viewData->Free(); });
  viewData->Calculate(GetCanvas(), GetControlRect(this), P, Button, Shift, GetViewInfo(), AIsMouseEvent);
}

void TcxCustomEdit::CalculateViewInfo(bool AIsMouseEvent) {
  TPoint p(-1, -1);
  if (HandleAllocated()) {
    POINT cursor{};
    GetCursorPos(&cursor);
    p = ScreenToClient(TPoint(cursor.X, cursor.Y));
  }
  CalculateViewInfo(p, cxmbNone, KeyboardStateToShiftState(), AIsMouseEvent);
}

bool TcxCustomEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) {
  if (!HandleAllocated() || FCreating || GetContainerIsDestroying()) return true;
  if (GetCapture() != GetHandle()) FCaptureButtonVisibleIndex = -1;
  TcxCustomEditViewInfo* previous = nullptr;
  orv::ScopeExit freePrevious([&previous] {
    if (previous) previous->Free();
  });
  if (AIsMouseEvent) {
    previous = TcxCustomEditViewInfoClass(GetViewInfo()->ClassType()).Construct<>();
    previous->Assign(GetViewInfo());
  }
  CalculateViewInfo(P, Button, Shift, AIsMouseEvent);
  const TRect innerRect = GetInnerEditClass() && GetInnerControl() ? GetInnerControl()->GetBoundsRect() : TRect();
  const bool changed = GetViewInfo()->Repaint(this, innerRect, previous);
  if (AIsMouseEvent && !changed) return true;
  SetSize();
  AdjustInnerControl();
  {
    auto setting = orv::TempValue(FShadowRegionSetting, true);
    SetShadowRegion();
  }
  if (GetViewInfo()->ContainerState.Contains(csHotTrack)) BeginMouseTracking(this, GetVisibleBounds(), this);
  if (AIsMouseEvent) ProcessViewInfoChanges(previous, true);
  return true;
}

// A click is a press and a release over the same button.
void TcxCustomEdit::ProcessViewInfoChanges(TcxCustomEditViewInfo* APrevViewInfo, bool) {
  if (!APrevViewInfo) return;
  TcxCustomEditViewInfo* info = GetViewInfo();
  const Integer wasPressed = APrevViewInfo->PressedButton;
  const Integer pressed = info->PressedButton;
  if (wasPressed == pressed && APrevViewInfo->HotButton == info->HotButton) return;
  if (wasPressed != -1 && wasPressed != pressed) {
    DoButtonUp(wasPressed);
    if (wasPressed == info->HotButton) DoButtonClick(wasPressed);
  }
  if (pressed != -1 && wasPressed == -1) DoButtonDown(pressed);
}

void TcxCustomEdit::WMNCCalcSize(TMessage& Message) {
  if (FShadowRegionSetting) {
    Message.Result = 0;
    return;
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

TRect TcxCustomEdit::GetBorderExtent() {
  TcxCustomEditViewInfo* info = GetViewInfo();
  return TRect(info->ClientRect.Left - info->Bounds.Left, info->ClientRect.Top - info->Bounds.Top,
               info->Bounds.Right - info->ClientRect.Right, info->Bounds.Bottom - info->ClientRect.Bottom);
}

TRect TcxCustomEdit::GetShadowBounds() {
  TcxCustomEditViewInfo* info = GetViewInfo();
  const Integer width = GetContainerBorderWidth(info->GetContainerBorderStyle());
  TRect r = cxRectInflate(info->BorderRect, width, width);
  InflateRectByBorders(r, width, GetActiveStyle()->GetEdges());
  return r;
}

bool TcxCustomEdit::IsNativeStyle() {
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit free([viewData] { viewData->Free(); });
  return viewData->IsNativeStyle(GetStyle()->GetLookAndFeel());
}

// --- size ---------------------------------------------------------------------------------

bool TcxCustomEdit::CanAutoSize() { return !FIsInplace && FAutoSize; }

bool TcxCustomEdit::CanAutoWidth() { return GetActiveProperties()->GetButtonsViewStyle() == bvsButtonsAutoWidth; }

void TcxCustomEdit::FillSizeProperties(TcxEditSizeProperties& AEditSizeProperties) {
  AEditSizeProperties = TcxEditSizeProperties();
  AEditSizeProperties.MaxLineCount = 1;
  AEditSizeProperties.Width = TcxContainer::GetWidth();
}

bool TcxCustomEdit::InternalCanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!CanAutoSize()) return true;
  TcxEditSizeProperties sizeProperties;
  FillSizeProperties(sizeProperties);
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit free([viewData] { viewData->Free(); });
  const TSize size = viewData->GetEditSize(cxScreenCanvas(), GetEditValue(), sizeProperties);
  const TAlign align = GetAlign();
  if (CanAutoWidth() && (align == alNone || align == alLeft || align == alRight)) NewWidth = size.cx;
  if (align == alNone || align == alTop || align == alBottom) NewHeight = size.cy;
  return true;
}

bool TcxCustomEdit::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool result = inherited::CanResize(NewWidth, NewHeight);
  if (result && !GetIsLoading()) result = InternalCanResize(NewWidth, NewHeight);
  return result;
}

void TcxCustomEdit::SetSize() {
  if (!HandleAllocated() || GetContainerIsDestroying() || FSizeSetting) return;
  auto setting = orv::TempValue(FSizeSetting, true);
  Integer width = TcxContainer::GetWidth();
  Integer height = TcxContainer::GetHeight();
  InternalCanResize(width, height);
  if (width != TcxContainer::GetWidth() || height != TcxContainer::GetHeight())
    SetBounds(GetLeft(), GetTop(), width, height);
  AdjustInnerEditPosition();
}

void TcxCustomEdit::AdjustInnerEditPosition() {
  if (!FInnerEdit) return;
  TcxContainer::SetSize();
}

Integer TcxCustomEdit::GetHeight() {
  if (!HandleAllocated() && (GetParent() || GetParentWindow())) HandleNeeded();
  return TcxContainer::GetHeight();
}

void TcxCustomEdit::SetEditAutoSize(bool Value) {
  if (FIsInplace || FAutoSize == Value) return;
  FAutoSize = Value;
  if (!Value) return;
  if (GetParent() || GetParentWindow()) HandleNeeded();
  SetSize();
  ShortRefreshContainer(false);
}

// --- painting --------------------------------------------------------------------------------

bool TcxCustomEdit::IsDBEditPaintCopyDrawing() {
  return IsDBEdit() && GetControlState().Contains(csPaintCopy);
}

void TcxCustomEdit::Paint() {
  if (IsDBEditPaintCopyDrawing())
    PaintCopyDraw();
  else
    inherited::Paint();
}

void TcxCustomEdit::PaintCopyDraw() {
  TcxCustomEditViewInfo* viewInfo = TcxCustomEditViewInfoClass(GetViewInfo()->ClassType()).Construct<>();
  orv::ScopeExit freeInfo([viewInfo] { viewInfo->Free(); });
  TcxCustomEditViewData* viewData = CreateViewData();
  orv::ScopeExit freeData([viewData] { viewData->Free(); });
  viewInfo->Edit = this;
  Variant display;
  PrepareDisplayValue(FDataBinding->GetStoredValue(), display, false);
  viewData->EditValueToDrawValue(GetCanvas(), display, viewInfo);
  viewData->Calculate(GetCanvas(), GetControlRect(this), TPoint(-1, -1), cxmbNone, {}, viewInfo, false);
  viewInfo->Paint(GetCanvas());
  GetCanvas()->ExcludeClipRect(GetControlRect(this));
}

// --- streaming ------------------------------------------------------------------------------

void TcxCustomEdit::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  auto* ancestor = dynamic_cast<TcxCustomEdit*>(Filer->GetAncestor());
  Filer->DefineProperty("Height", TReaderProc::Bind<&TcxCustomEdit::ReadHeight>(this),
                        TWriterProc::Bind<&TcxCustomEdit::WriteHeight>(this),
                        !ancestor || ancestor->TcxContainer::GetHeight() != TcxContainer::GetHeight());
  Filer->DefineProperty("Width", TReaderProc::Bind<&TcxCustomEdit::ReadWidth>(this),
                        TWriterProc::Bind<&TcxCustomEdit::WriteWidth>(this),
                        !ancestor || ancestor->TcxContainer::GetWidth() != TcxContainer::GetWidth());
}

void TcxCustomEdit::GetChildren(TGetChildProc Proc, TComponent* Root) {
  TWinControl* inner = FInnerEditControl;
  inherited::GetChildren(
      [Proc, inner](TComponent* Child) {
        if (Child != inner) Proc(Child);
      },
      Root);
}

void TcxCustomEdit::ReadHeight(TReader* Reader) { SetHeight(Reader->ReadInteger()); }

void TcxCustomEdit::WriteHeight(TWriter* Writer) { Writer->WriteInteger(TcxContainer::GetHeight()); }

void TcxCustomEdit::ReadWidth(TReader* Reader) { SetWidth(Reader->ReadInteger()); }

void TcxCustomEdit::WriteWidth(TWriter* Writer) { Writer->WriteInteger(TcxContainer::GetWidth()); }
