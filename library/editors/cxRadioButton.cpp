#include "library/editors/cxRadioButton.h"

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/controls/ButtonControl.h"
#include "platform/forms/Menus.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Mouse.h"
#include "platform/win/OwnerDraw.h"

using namespace win;

ORV_REGISTER(TcxRadioButton, ORV_PROP(Alignment).Default(taRightJustify), ORV_PROP(Anchors), ORV_PROP(Caption),
             ORV_PROP(Checked).Default(false), ORV_PROP(Color), ORV_PROP(Constraints), ORV_PROP(Enabled),
             ORV_PROP(Font), ORV_PROP(LookAndFeel), ORV_PROP(ParentBackground).Default(true),
             ORV_PROP(ParentColor), ORV_PROP(ParentFont), ORV_PROP(PopupMenu),
             ORV_PROP(TabOrder), ORV_PROP(TabStop), ORV_PROP(Transparent).Default(false), ORV_PROP(Visible),
             ORV_PROP(WordWrap).Default(false), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp))

namespace {

TcxButtonState ToButtonState(TcxRadioButtonState AState) {
  switch (AState) {
    case rbsDisabled: return cxbsDisabled;
    case rbsHot: return cxbsHot;
    case rbsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

// The caption's offsets from the rectangle beside the glyph (left, top,
// right, bottom), stand-alone: [native][word wrap][caption right].
constexpr TRect kTextOffsets[2][2][2] = {
    {{TRect(2, -1, 1, 0), TRect(5, -1, 0, 0)}, {TRect(2, -1, 6, 0), TRect(5, -1, 2, 0)}},
    {{TRect(0, -1, 1, 0), TRect(3, -1, 0, 0)}, {TRect(0, -1, 3, 0), TRect(3, -1, 0, 0)}},
};

}  // namespace

TcxRadioButton::TcxRadioButton(TComponent* AOwner) : TRadioButton(AOwner) {
  FControlStyle.Include(csDoubleClicks);
  FControlCanvas = New<TControlCanvas>();
  FControlCanvas->SetControl(this);
  FCanvas = New<TcxCanvas>(FControlCanvas);
  FLookAndFeel = New<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxRadioButton::LookAndFeelChangedHandler>(this);
  FState = rbsNormal;
  SetParentBackground(true);
  PrepareRadioButtonImageList();
}

void TcxRadioButton::BeforeDestruction() {
  ::EndMouseTracking(this);
  TRadioButton::BeforeDestruction();
}

TcxRadioButton::~TcxRadioButton() {
  ::EndMouseTracking(this);
  FreeAndNil(FLookAndFeel);
  FreeAndNil(FCanvas);
  FreeAndNil(FControlCanvas);
}

void TcxRadioButton::SetPopupMenu(TComponent* Value) {
  if (Value && !dynamic_cast<TPopupMenu*>(Value) && !Supports<IcxPopupMenu>(Value)) Value = nullptr;
  TRadioButton::SetPopupMenu(Value);
}

void TcxRadioButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TcxRadioButton::SetState(TcxRadioButtonState Value) {
  if (FState == Value) return;
  FState = Value;
  if (HandleAllocated()) InternalInvalidateRect(this, cxRectInflate(FGlyphRect, 1, 1), false);
}

bool TcxRadioButton::IsFocused() {
  if (GetComponentState().Contains(csDesigning)) return false;
  return FDrawingItem ? FItemFocused : HandleAllocated() && Focused();
}

void TcxRadioButton::Invalidate() {
  if (HandleAllocated()) InternalInvalidateRect(this, GetClientRect(), true);
}

bool TcxRadioButton::IsNativeStyle() { return AreVisualStylesMustBeUsed(FLookAndFeel->GetNativeStyle(), totButton); }

bool TcxRadioButton::IsNativeBackground() {
  return IsNativeStyle() && GetParentBackground() && !IsInplace() && !GetTransparent();
}

bool TcxRadioButton::IsTransparent() { return GetTransparent() && !IsInplace(); }

bool TcxRadioButton::IsTransparentBackground() { return IsNativeBackground() || IsTransparent(); }

bool TcxRadioButton::IsInnerControl() { return dynamic_cast<IcxContainerInnerControl*>(this) != nullptr; }

void TcxRadioButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

void TcxRadioButton::CreateParams(TCreateParams& Params) {
  TRadioButton::CreateParams(Params);
  Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateWnd() {
  TRadioButton::CreateWnd();
  ShortUpdateState();
}

// ---------------------------------------------------------------------------
// State.

void TcxRadioButton::UpdateState(TcxMouseButton, TShiftState AShift, const TPoint& P) {
  if (!GetEnabled()) {
    SetState(rbsDisabled);
    return;
  }
  if (GetComponentState().Contains(csDesigning)) {
    SetState(rbsNormal);
    return;
  }
  const bool inside = cxRectPtIn(GetClientRect(), P);
  if (HandleAllocated() && GetCapture() == GetHandle())
    SetState(inside ? rbsPressed : rbsHot);
  else
    SetState(!inside ? rbsNormal : AShift.Empty() ? rbsHot : rbsNormal);
}

void TcxRadioButton::ShortUpdateState() {
  if (!HandleAllocated()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  UpdateState(cxmbNone, KeyboardStateToShiftState(), ScreenToClient(TPoint(cursor.X, cursor.Y)));
}

void TcxRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseDown(Button, Shift, X, Y);
  FShiftState = Shift;
  UpdateState(ButtonTocxButton(Button), Shift, TPoint(X, Y));
}

void TcxRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseUp(Button, Shift, X, Y);
  FShiftState = Shift;
  UpdateState(ButtonTocxButton(Button), Shift, TPoint(X, Y));
  // The window let the mouse go: the pointer's leaving is watched again.
  if (HandleAllocated() && FState == rbsHot) BeginMouseTracking(this, GetClientRect(), this);
}

void TcxRadioButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseMove(Shift, X, Y);
  UpdateState(cxmbNone, Shift, TPoint(X, Y));
  if (HandleAllocated()) BeginMouseTracking(this, GetClientRect(), this);
}

void TcxRadioButton::MouseEnter(TControl*) {
  ShortUpdateState();
  if (HandleAllocated()) BeginMouseTracking(this, GetClientRect(), this);
}

void TcxRadioButton::MouseLeave(TControl*) {
  FShiftState = {};
  UpdateState(cxmbNone, {}, TPoint(-1, -1));
  ::EndMouseTracking(this);
}

void TcxRadioButton::EnabledChanged() {
  ShortUpdateState();
  Invalidate();
}

void TcxRadioButton::DoEnter() {
  TRadioButton::DoEnter();
  if (GetChecked() || GetClicksDisabled()) return;
  SetClicksDisabled(true);
  {
    orv::ScopeExit enable([this] { SetClicksDisabled(false); });
    SetChecked(true);
  }
  if (!GetComponentState().Contains(csLoading)) Click();
}

// ---------------------------------------------------------------------------
// Popup menu.

bool TcxRadioButton::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) {
  return ShowPopupMenu(this, AMenu, X, Y);
}

void TcxRadioButton::DoContextPopup(TPoint MousePos, bool& Handled) {
  TRadioButton::DoContextPopup(MousePos, Handled);
  TComponent* menu = GetPopupMenu();
  if (Handled || !menu) return;
  const bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
  const TPoint at = ClientToScreen(keyboard ? TPoint(0, 0) : MousePos);
  Handled = DoShowPopupMenu(menu, at.X, at.Y);
}

void TcxRadioButton::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0 || GetComponentState().Contains(csDesigning))
    return DispatchFrom(TRadioButton::StaticClass(), Message);
  TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (p.X != -1 || p.Y != -1) {
    p = ScreenToClient(p);
    if (!cxRectPtIn(GetClientRect(), p)) return DispatchFrom(TRadioButton::StaticClass(), Message);
  }
  bool handled = false;
  DoContextPopup(p, handled);
  if (handled)
    Message.Result = 1;
  else
    DispatchFrom(TRadioButton::StaticClass(), Message);
}

void TcxRadioButton::WMKeyDown(TMessage& Message) {
  if (IsPopupMenuShortCut(GetPopupMenu(), Message)) {
    Message.Result = 1;
    return;
  }
  DispatchFrom(TRadioButton::StaticClass(), Message);
}

void TcxRadioButton::WMSysKeyDown(TMessage& Message) {
  if (IsPopupMenuShortCut(GetPopupMenu(), Message)) {
    Message.Result = 1;
    return;
  }
  DispatchFrom(TRadioButton::StaticClass(), Message);
}

// ---------------------------------------------------------------------------
// Messages.

void TcxRadioButton::WMSetFocus(TMessage& Message) { DispatchFrom(TButtonControl::StaticClass(), Message); }

void TcxRadioButton::CNDrawItem(TMessage& Message) {
  Message.Result = 1;
  if (GetComponentState().Contains(csDestroying)) return;
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
  if (!item) return;
  FControlCanvas->SetHandle(item->hDC);
  // The window tells the focus it draws: while it loses the focus it
  // draws itself without.
  auto focus = orv::TempValue(FItemFocused, (item->itemState & ODS_FOCUS) != 0);
  auto drawing = orv::TempValue(FDrawingItem, true);
  orv::ScopeExit detach([this] { FControlCanvas->SetHandle(nullptr); });
  Paint();
}

void TcxRadioButton::CNMeasureItem(TMessage& Message) {
  if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
    item->itemWidth = static_cast<UINT>(GetWidth());
    item->itemHeight = static_cast<UINT>(GetHeight());
  }
  Message.Result = 1;
}

void TcxRadioButton::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TcxRadioButton::BMSetCheck(TMessage& Message) {
  DefaultHandler(Message);
  if (HandleAllocated()) InternalInvalidateRect(this, FGlyphRect, false);
}

void TcxRadioButton::WMWindowPosChanged(TMessage& Message) {
  DispatchFrom(TRadioButton::StaticClass(), Message);
  if (!GetComponentState().Contains(csDestroying) && IsTransparentBackground()) Invalidate();
}

void TcxRadioButton::CMEnabledChanged(TMessage& Message) {
  DispatchFrom(TRadioButton::StaticClass(), Message);
  EnabledChanged();
}

void TcxRadioButton::CMSysColorChange(TMessage& Message) {
  DispatchFrom(TRadioButton::StaticClass(), Message);
  Invalidate();
}

void TcxRadioButton::CMMouseEnter(TMessage& Message) {
  DispatchFrom(TRadioButton::StaticClass(), Message);
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  MouseEnter(control ? control : this);
}

void TcxRadioButton::CMMouseLeave(TMessage& Message) {
  DispatchFrom(TRadioButton::StaticClass(), Message);
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  MouseLeave(control ? control : this);
}

// ---------------------------------------------------------------------------
// Painting.

void TcxRadioButton::DrawBackground() {
  if (IsTransparentBackground()) return;
  FCanvas->SetBrushColor(GetColor());
  FCanvas->FillRect(GetClientRect());
}

void TcxRadioButton::CorrectTextRect(TRect& R, bool ANativeStyle) {
  TRect offsets;
  if (IsInplace())
    offsets = ANativeStyle ? TRect(3, 0, 0, 0) : TRect(5, 0, 1, 0);
  else
    offsets = kTextOffsets[ANativeStyle][GetWordWrap()][GetAlignment() == taRightJustify];
  R = TRect(R.Left + offsets.Left, R.Top + offsets.Top, R.Right - offsets.Right, R.Bottom - offsets.Bottom);
}

Integer TcxRadioButton::GetCaptionFlags() const {
  if (GetWordWrap()) return cxAlignLeft | cxAlignVCenter | cxWordBreak | cxDontClip | cxShowPrefix;
  return cxAlignLeft | cxAlignVCenter | cxSingleLine | cxShowPrefix;
}

void TcxRadioButton::Paint() {
  const TRect client = GetClientRect();
  if (IsTransparent())
    cxDrawTransparentControlBackground(this, FControlCanvas, client);
  else if (IsNativeBackground())
    cxDrawThemeParentBackground(this, FControlCanvas, client);
  const bool native = IsNativeStyle();
  if (native) DrawBackground();

  const TcxCustomLookAndFeelPainterClass sizePainter(native ? TcxWinXPLookAndFeelPainter::StaticClass()
                                                            : TcxCustomLookAndFeelPainter::StaticClass());
  const TSize glyph = sizePainter->RadioButtonSize();
  const Integer top = (GetHeight() - glyph.cy) / 2;
  Integer left;
  if (GetAlignment() == taLeftJustify)
    left = GetWidth() - glyph.cx;
  else
    left = native || IsInplace() ? 0 : 1;
  FGlyphRect = TRect(left, top, left + glyph.cx, top + glyph.cy);
  FLookAndFeel->GetAvailablePainter(totButton)
      ->DrawRadioButton(FCanvas, left, top, ToButtonState(FState), GetChecked(), IsFocused(),
                        IsTransparentBackground() ? clDefault : GetColor(),
                        GetComponentState().Contains(csDesigning));
  FCanvas->ExcludeClipRect(FGlyphRect);
  if (!native) DrawBackground();
  DrawCaption(native);
}

void TcxRadioButton::DrawCaption(bool ANativeStyle) {
  FCanvas->SetFont(GetFont());
  const bool innerControl = IsInnerControl();
  if (!GetEnabled() && !innerControl) FCanvas->GetFont()->SetColor(clBtnShadow);
  TRect r = GetClientRect();
  if (GetAlignment() == taLeftJustify)
    r.Right = FGlyphRect.Left;
  else
    r.Left = FGlyphRect.Right;
  CorrectTextRect(r, ANativeStyle);
  const Integer flags = GetCaptionFlags();
  const AnsiString caption = GetCaption();
  FCanvas->GetBrush()->SetStyle(bsClear);
  FCanvas->DrawTexT(caption, r, flags, innerControl || ANativeStyle || GetEnabled());
  FCanvas->GetBrush()->SetStyle(bsSolid);
  if (!IsFocused() || caption.empty()) return;

  TRect focus = r;
  FCanvas->TextExtent(caption, focus, flags);
  focus = cxRectInflate(focus, 1, 1);
  focus.Bottom += 1;
  const Integer width = GetWidth(), height = GetHeight();
  if (IsInplace()) {
    focus.Top = std::max(focus.Top, 1);
    focus.Bottom = std::min(focus.Bottom, height - 1);
    focus.Right = std::min(focus.Right, width);
  } else {
    focus.Left = std::max(focus.Left, 0);
    focus.Top = std::max(focus.Top, 0);
    focus.Right = std::min(focus.Right, width);
    focus.Bottom = std::min(focus.Bottom, height);
    if (GetAlignment() == taLeftJustify) focus.Right = std::min(focus.Right, FGlyphRect.Left);
  }
  FCanvas->SetBrushColor(GetColor());
  FCanvas->GetFont()->SetColor(GetFont()->GetColor());
  FCanvas->DrawFocusRect(focus);
}
