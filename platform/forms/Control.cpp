// TControl: geometry, alignment requests, state and its notifications,
// mouse handling, and the helpers shared by every control.
#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/forms/Actions.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/FreeWatch.h"
#include "platform/forms/Menus.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

namespace {
// The graphic control that holds the mouse through its parent's window.
TControl* gCaptureControl = nullptr;
}  // namespace

// ---------------------------------------------------------------------------
// Helpers

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return scNone;
  TShortCut result = Key;
  if (Shift.Contains(ssShift)) result |= scShift;
  if (Shift.Contains(ssCtrl)) result |= scCtrl;
  if (Shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift) {
  Key = Value & 0xFF;
  Shift = {};
  if (Value & scShift) Shift.Include(ssShift);
  if (Value & scCtrl) Shift.Include(ssCtrl);
  if (Value & scAlt) Shift.Include(ssAlt);
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState result;
  if (GetKeyState(VK_SHIFT) < 0) result.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) result.Include(ssCtrl);
  if (static_cast<DWORD>(KeyData) & 0x20000000u) result.Include(ssAlt);
  return result;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState result;
  auto down = [](int vk) { return GetKeyState(vk) < 0; };
  if (down(VK_SHIFT)) result.Include(ssShift);
  if (down(VK_CONTROL)) result.Include(ssCtrl);
  if (down(VK_MENU)) result.Include(ssAlt);
  if (down(VK_LBUTTON)) result.Include(ssLeft);
  if (down(VK_RBUTTON)) result.Include(ssRight);
  if (down(VK_MBUTTON)) result.Include(ssMiddle);
  return result;
}

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState result;
  if (Keys & MK_SHIFT) result.Include(ssShift);
  if (Keys & MK_CONTROL) result.Include(ssCtrl);
  if (Keys & MK_LBUTTON) result.Include(ssLeft);
  if (Keys & MK_RBUTTON) result.Include(ssRight);
  if (Keys & MK_MBUTTON) result.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) result.Include(ssAlt);
  return result;
}

bool IsAccel(Word Key, const AnsiString& Caption) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
  for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
      continue;
    }
    return upper(static_cast<unsigned char>(Caption[i + 1])) == upper(static_cast<unsigned char>(Key & 0xFF));
  }
  return false;
}

AnsiString ShortCutToText(TShortCut Value) {
  Word key = Value & 0xFF;
  AnsiString name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    name = AnsiString(1, static_cast<char>(key));
  } else if (key >= VK_F1 && key <= VK_F24) {
    name = "F" + std::to_string(key - VK_F1 + 1);
  } else {
    switch (key) {
      case VK_BACK: name = "BkSp"; break;
      case VK_TAB: name = "Tab"; break;
      case VK_RETURN: name = "Enter"; break;
      case VK_ESCAPE: name = "Esc"; break;
      case VK_SPACE: name = "Space"; break;
      case VK_PRIOR: name = "PgUp"; break;
      case VK_NEXT: name = "PgDn"; break;
      case VK_END: name = "End"; break;
      case VK_HOME: name = "Home"; break;
      case VK_LEFT: name = "Left"; break;
      case VK_UP: name = "Up"; break;
      case VK_RIGHT: name = "Right"; break;
      case VK_DOWN: name = "Down"; break;
      case VK_INSERT: name = "Ins"; break;
      case VK_DELETE: name = "Del"; break;
      default: return {};
    }
  }
  AnsiString prefix;
  if (Value & scShift) prefix += "Shift+";
  if (Value & scCtrl) prefix += "Ctrl+";
  if (Value & scAlt) prefix += "Alt+";
  return prefix + name;
}

TShortCut TextToShortCut(const AnsiString& Text) {
  static const std::pair<AnsiString, TShortCut> kPrefixes[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
  TShortCut modifiers = 0;
  AnsiString rest = Text;
  for (bool found = true; found;) {
    found = false;
    for (const auto& [prefix, bit] : kPrefixes)
      if (rest.size() > prefix.size() && rest.compare(0, prefix.size(), prefix) == 0) {
        modifiers |= bit;
        rest.erase(0, prefix.size());
        found = true;
      }
  }
  for (Word key = 1; key <= 0xFF; ++key)
    if (ShortCutToText(key) == rest) return static_cast<TShortCut>(key | modifiers);
  return scNone;
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->GetParent()) Control = Control->GetParent();
  return dynamic_cast<TCustomForm*>(Control);
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* window = FindControl(WindowFromPoint(Pos));
  if (!window) return nullptr;
  TControl* control = window->ControlAtPos(window->ScreenToClient(Pos), AllowDisabled);
  return control ? control : window;
}

TControl* FindControlAtPoint(const TPoint& Pos) { return FindDragTarget(Pos, false); }

// ---------------------------------------------------------------------------
// TSizeConstraints

ORV_REGISTER(TSizeConstraints, ORV_PROP(MaxHeight).Default(0), ORV_PROP(MaxWidth).Default(0),
             ORV_PROP(MinHeight).Default(0), ORV_PROP(MinWidth).Default(0))

void TSizeConstraints::SetMaxHeight(Integer Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = std::max(Value, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMinHeight = FMaxHeight;
  Change();
}

void TSizeConstraints::SetMaxWidth(Integer Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = std::max(Value, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMinWidth = FMaxWidth;
  Change();
}

void TSizeConstraints::SetMinHeight(Integer Value) {
  if (Value == FMinHeight) return;
  FMinHeight = std::max(Value, 0);
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMaxHeight = FMinHeight;
  Change();
}

void TSizeConstraints::SetMinWidth(Integer Value) {
  if (Value == FMinWidth) return;
  FMinWidth = std::max(Value, 0);
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMaxWidth = FMinWidth;
  Change();
}

void TSizeConstraints::DoAssign(TPersistent* Source) {
  auto* src = dynamic_cast<TSizeConstraints*>(Source);
  if (!src) return inherited::DoAssign(Source);
  FMinHeight = src->FMinHeight;
  FMaxHeight = src->FMaxHeight;
  FMinWidth = src->FMinWidth;
  FMaxWidth = src->FMaxWidth;
  Change();
}

void TSizeConstraints::Change() {
  if (FControl) FControl->ConstraintsChanged();
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TControl

ORV_REGISTER(TControl, ORV_PROP(Left), ORV_PROP(Top), ORV_PROP(Width), ORV_PROP(Height),
             ORV_PROP(Align).Default(alNone), ORV_PROP(Anchors).Default(TAnchors{akLeft, akTop}.ToBits()),
             ORV_PROP_RO(Constraints), ORV_PROP(AutoSize).Default(false), ORV_PROP(Visible).Default(true),
             ORV_PROP(Enabled).Default(true), ORV_PROP(Color).As(ColorTypeInfo()).StoredBy<&TControl::IsColorStored>(),
             ORV_PROP(ParentColor),
             ORV_PROP_RO(Font), ORV_PROP(ParentFont).Default(true), ORV_PROP(Cursor).Default(crDefault), ORV_PROP(Hint),
             ORV_PROP(ShowHint).Default(false).StoredBy<&TControl::IsShowHintStored>(), ORV_PROP(ParentShowHint).Default(true),
             ORV_PROP(PopupMenu), ORV_PROP(Action), ORV_PROP(DragMode).Default(dmManual), ORV_PROP(DragKind).Default(dkDrag),
             ORV_PROP(DragCursor).Default(crDrag), ORV_PROP(BiDiMode).Default(bdLeftToRight),
             ORV_PROP(ParentBiDiMode).Default(true), ORV_EVENT(OnClick), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnMouseWheel),
             ORV_EVENT(OnMouseWheelDown), ORV_EVENT(OnMouseWheelUp), ORV_EVENT(OnContextPopup),
             ORV_EVENT(OnResize), ORV_EVENT(OnCanResize), ORV_EVENT(OnDragOver),
             ORV_EVENT(OnDragDrop), ORV_EVENT(OnStartDrag), ORV_EVENT(OnEndDrag), ORV_EVENT(OnStartDock),
             ORV_EVENT(OnEndDock))

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FWindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
  FConstraints = New<TSizeConstraints>(this);
  FFont = New<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TControl::FontObjectChanged>(this);
}

TControl::~TControl() {
  if (gCaptureControl == this) gCaptureControl = nullptr;
  FreeAndNil(FActionLink);
  FreeAndNil(FFont);
  FreeAndNil(FConstraints);
}

void TControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (gCaptureControl == this) SetMouseCapture(false);
  if (Application) Application->ControlDestroying(this);
  if (Screen) Screen->ControlDestroying(this);
  DragControlDestroying(this);
  if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  FWindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK: Message.Msg = WM_LBUTTONDOWN; break;
        case WM_RBUTTONDBLCLK: Message.Msg = WM_RBUTTONDOWN; break;
        case WM_MBUTTONDBLCLK: Message.Msg = WM_MBUTTONDOWN; break;
        default: break;
      }
    }
    if (Application) Application->HintMouseMessage(this, Message);
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) { DispatchFrom(ClassType(), Message); }

void TControl::DispatchFrom(TClass Start, TMessage& Message) {
  if (orv::MessageHandler handler = orv::FindMessageHandler(Start, Message.Msg))
    handler(this, Message);
  else
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(Message.LParam);
      std::size_t room = static_cast<std::size_t>(Message.WParam);
      if (!buffer || room == 0) {
        Message.Result = 0;
        return;
      }
      AnsiString text = GetTextValue();
      std::size_t n = std::min(text.size(), room - 1);
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
      Message.Result = static_cast<LRESULT>(n);
      return;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(GetTextValue().size());
      return;
    case WM_SETTEXT: {
      auto* text = reinterpret_cast<const char*>(Message.LParam);
      SetTextValue(text ? text : "");
      Message.Result = 1;
      return;
    }
    default:
      Message.Result = 0;
  }
}

// ---- Parent and geometry ----

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* parent = DynamicCast<TWinControl>(Value)) SetParent(parent);
}

void TControl::ApplyConstraints(Integer& W, Integer& H) {
  if (FConstraints->GetMinWidth() > 0 && W < FConstraints->GetMinWidth()) W = FConstraints->GetMinWidth();
  if (FConstraints->GetMaxWidth() > 0 && W > FConstraints->GetMaxWidth()) W = FConstraints->GetMaxWidth();
  if (FConstraints->GetMinHeight() > 0 && H < FConstraints->GetMinHeight()) H = FConstraints->GetMinHeight();
  if (FConstraints->GetMaxHeight() > 0 && H > FConstraints->GetMaxHeight()) H = FConstraints->GetMaxHeight();
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, result);
  return result;
}

bool TControl::CanAutoSizeTo(Integer&, Integer&) { return true; }

void TControl::CheckNewSize(Integer ALeft, Integer ATop, Integer& AWidth, Integer& AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth != FWidth || AHeight != FHeight) {
    ApplyConstraints(AWidth, AHeight);
    if (!CanResize(AWidth, AHeight)) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
  }
  // Whatever asked, the edges stay in range: everything that places,
  // paints or hit-tests the control works with its right and bottom.
  constexpr Integer kMax = std::numeric_limits<Integer>::max();
  AWidth = std::clamp(AWidth, 0, ALeft > 0 ? kMax - ALeft : kMax);
  AHeight = std::clamp(AHeight, 0, ATop > 0 ? kMax - ATop : kMax);
}

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  CheckNewSize(ALeft, ATop, AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateControl(FVisible, false);
  bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  BoundsChanged(resized);
}

void TControl::BoundsChanged(bool Resized) {
  RequestAlign();
  if (Resized && !GetComponentState().Contains(csLoading)) Resize();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::SetClientSize(Integer W, Integer H) {
  TRect client = GetClientRect();
  // The frame is added in 64 bits: a client side near the end of Integer
  // asks for the largest control there is.
  SetBounds(FLeft, FTop, ClampToInteger(Int64(FWidth) - client.Width() + W),
            ClampToInteger(Int64(FHeight) - client.Height() + H));
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

TPoint TControl::GetClientOrigin() {
  if (!FParent) return {FLeft, FTop};
  TPoint origin = FParent->GetClientOrigin();
  return {origin.X + FLeft, origin.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
  TPoint origin = GetClientOrigin();
  return {Point.X + origin.X, Point.Y + origin.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
  TPoint origin = GetClientOrigin();
  return {Point.X - origin.X, Point.Y - origin.Y};
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  TAlign old = FAlign;
  FAlign = Value;
  FAnchors = TAnchors{akLeft, akTop};
  if (old == alNone && FParent && FParent->AlignDisabled() == false) UpdateAnchorRules();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

// Anchored controls keep their distances to the parent's client edges as
// they were when last placed by hand: the rules are the bounds and the
// parent's client size of that moment.
void TControl::UpdateAnchorRules() {
  if (!FParent || FParent->FControlState.Contains(csAlignmentNeeded)) return;
  if (FAnchorMove) return;
  TRect client = FParent->GetClientRect();
  FAnchorRight = Int64(client.Width()) - (Int64(FLeft) + FWidth);
  FAnchorBottom = Int64(client.Height()) - (Int64(FTop) + FHeight);
  FAnchorValid = true;
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!FAutoSize || GetComponentState().Contains(csLoading)) return;
  Integer w = FWidth, h = FHeight;
  if (CanAutoSizeTo(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::ConstraintsChanged() {
  Integer w = FWidth, h = FHeight;
  ApplyConstraints(w, h);
  if (w != FWidth || h != FHeight) SetBounds(FLeft, FTop, w, h);
  // A shown top-level window's frame may be sized by the display itself
  // (a window manager's): a changed frame has the new limits read again.
  auto* self = DynamicCast<TWinControl>(this);
  if (self && self->HandleAllocated() &&
      (GetWindowLongA(self->GetHandle(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE)) == WS_VISIBLE)
    SetWindowPos(self->GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

// ---- State ----

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  RequestAlign();
}

void TControl::Show() { SetVisible(true); }

bool TControl::IsControlVisible() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) { SetOwnValue(FColor, Value, FParentColor, CM_COLORCHANGED); }

void TControl::SetParentColor(bool Value) { SetInherits(FParentColor, Value, CM_PARENTCOLORCHANGED); }

void TControl::FontObjectChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) { SetInherits(FParentFont, Value, CM_PARENTFONTCHANGED); }

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool Value) { SetOwnValue(FShowHint, Value, FParentShowHint, CM_SHOWHINTCHANGED); }

void TControl::SetParentShowHint(bool Value) { SetInherits(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED); }

void TControl::SetInherits(bool& AInherits, bool AValue, UINT AParentChanged) {
  if (AInherits == AValue) return;
  AInherits = AValue;
  if (AValue && FParent && !GetComponentState().Contains(csReading)) Perform(AParentChanged);
}

AnsiString TControl::GetText() {
  auto length = static_cast<std::size_t>(Perform(WM_GETTEXTLENGTH));
  std::string buffer(length + 1, '\0');
  auto copied = static_cast<std::size_t>(
      Perform(WM_GETTEXT, static_cast<WPARAM>(buffer.size()), reinterpret_cast<LPARAM>(buffer.data())));
  buffer.resize(std::min(copied, length));
  return buffer;
}

void TControl::SetText(const AnsiString& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  Perform(CM_TEXTCHANGED);
}

void TControl::SetPopupMenu(TComponent* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

// ---- Painting ----

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT r = GetBoundsRect();
  InvalidateRect(FParent->GetHandle(), &r, !IsOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  Invalidate();
  FParent->Update();
}

// ---- Z-order ----

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  Invalidate();
}

// ---- Scaling ----

void TControl::ScaleBy(Integer M, Integer D) { ChangeScale(M, D); }

void TControl::ChangeScale(Integer M, Integer D) {
  if (M == D || D == 0) return;
  Integer l = MulDiv(FLeft, M, D), t = MulDiv(FTop, M, D);
  Integer w = MulDiv(FLeft + FWidth, M, D) - l, h = MulDiv(FTop + FHeight, M, D) - t;
  if (!FParentFont) FFont->SetSize(MulDiv(FFont->GetSize(), M, D));
  SetBounds(l, t, w, h);
}

// ---- Mouse ----

TControl* GetCaptureControl() {
  TWinControl* window = FindControl(GetCapture());
  if (!window) {
    gCaptureControl = nullptr;
    return nullptr;
  }
  if (gCaptureControl && gCaptureControl->GetParent() == window) return gCaptureControl;
  return window;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  gCaptureControl = nullptr;
  if (!Control) return;
  if (auto* window = DynamicCast<TWinControl>(Control)) {
    SetCapture(window->GetHandle());
  } else if (Control->GetParent()) {
    SetCapture(Control->GetParent()->GetHandle());
    gCaptureControl = Control;
  }
}

bool TControl::GetMouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (GetMouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

// A linked action runs unless the control was given a handler of its own.
void TControl::Click() {
  TBasicAction* action = GetAction();
  if (OnClick && action && !(OnClick == action->GetOnExecute()))
    OnClick(this);
  else if (FActionLink && action)
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::WMLButtonDown(TMessage& Message) {
  // A control dragged automatically starts its drag instead of a click.
  if (FDragMode == dmAutomatic && FDragKind == dkDrag && FEnabled) {
    BeginDrag(false);
    return;
  }
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  FControlState.Include(csLButtonDown);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  FControlState.Include(csLButtonDown);
  if (FControlStyle.Contains(csClickEvents)) {
    TFreeWatch watch(this);
    DblClick();
    if (watch.Gone()) return;  // the handler freed the control
  }
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbLeft, KeysToShiftState(Message.WParam) + ssDouble, p.X, p.Y);
  }
}

void TControl::WMLButtonUp(TMessage& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  FControlState.Exclude(csLButtonDown);
  TPoint p = Message.Pos();
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    TRect client = GetClientRect();
    if (p.X >= client.Left && p.X < client.Right && p.Y >= client.Top && p.Y < client.Bottom) {
      TFreeWatch watch(this);
      Click();
      if (watch.Gone()) return;  // the handler freed the control
    }
  }
  if (!FControlStyle.Contains(csNoStdEvents)) MouseUp(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TControl::WMRButtonDown(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbRight, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

void TControl::WMRButtonDblClk(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbRight, KeysToShiftState(Message.WParam) + ssDouble, p.X, p.Y);
  }
}

void TControl::WMRButtonUp(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseUp(mbRight, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
  DefaultHandler(Message);
}

void TControl::WMMButtonDown(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbMiddle, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

void TControl::WMMButtonDblClk(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseDown(mbMiddle, KeysToShiftState(Message.WParam) + ssDouble, p.X, p.Y);
  }
}

void TControl::WMMButtonUp(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseUp(mbMiddle, KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

void TControl::WMMouseMove(TMessage& Message) {
  if (!FControlStyle.Contains(csNoStdEvents)) {
    TPoint p = Message.Pos();
    MouseMove(KeysToShiftState(Message.WParam), p.X, p.Y);
  }
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

// A wheel turn the focused control leaves alone goes on to its parent.
void TControl::WMMouseWheel(TMessage& Message) {
  TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam));
  TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
    Message.Result = 1;
  } else if (FParent) {
    Message.Result = FParent->Perform(WM_MOUSEWHEEL, Message.WParam, Message.LParam);
  } else {
    DefaultHandler(Message);
  }
}

void TControl::WMCancelMode(TMessage& Message) {
  if (GetMouseCapture()) SetMouseCapture(false);
  FControlState -= TControlState{csClicked, csLButtonDown};
  DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

// The point comes in screen coordinates, or as (-1, -1) from the keyboard,
// which is handed on as it is.
void TControl::WMContextMenu(TMessage& Message) {
  TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (pos.X != -1 || pos.Y != -1) pos = ScreenToClient(pos);
  bool handled = false;
  DoContextPopup(pos, handled);
  if (handled) {
    Message.Result = 1;
    return;
  }
  // The control's own menu, shown at the pointer (or, from the keyboard,
  // where the control keeps its caret or focused item).
  auto* menu = dynamic_cast<TPopupMenu*>(FPopupMenu);
  if (menu && menu->GetAutoPopup()) {
    TPoint at = ClientToScreen(pos.X == -1 && pos.Y == -1 ? GetKeyboardPopupPoint() : pos);
    menu->SetPopupComponent(this);
    menu->Popup(at.X, at.Y);
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

TPoint TControl::GetKeyboardPopupPoint() { return {0, 0}; }

// ---- Notifications ----

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}

void TControl::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor || !FParent) return;
  SetColor(Message.WParam ? static_cast<TColor>(Message.LParam) : FParent->FColor);
  FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!FParentFont || !FParent) return;
  FFont->Assign(FParent->FFont);
  FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->FShowHint);
  FParentShowHint = true;
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMDesignHitTest(TMessage& Message) { Message.Result = 0; }

// The parent hears which of its controls the mouse entered or left.
void TControl::CMMouseEnter(TMessage& Message) {
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, Message.LParam);
}

void TControl::CMMouseLeave(TMessage& Message) {
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam);
}

void TControl::CMHintShow(TMessage& Message) { Message.Result = 0; }

// ---- Streaming ----

void TControl::ReadState(TReader* Reader) {
  FControlState.Include(csReadingState);
  inherited::ReadState(Reader);
  FControlState.Exclude(csReadingState);
  if (FParent) {
    Perform(CM_PARENTFONTCHANGED);
    Perform(CM_PARENTCOLORCHANGED);
    Perform(CM_PARENTSHOWHINTCHANGED);
  }
}

void TControl::Loaded() {
  inherited::Loaded();
  UpdateAnchorRules();
  AdjustSize();
}
