#include "platform/forms/DialogControls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Caret.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Window.h"

using namespace win;

// ---- TDialogButton ----

ORV_REGISTER(TDialogButton, ORV_PROP(Caption), ORV_PROP(ModalResult).Default(0), ORV_PROP(Default).Default(false),
             ORV_PROP(Cancel).Default(false))

TDialogButton::TDialogButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
  FTabStop = true;
  FWidth = 75;
  FHeight = 23;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TDialogButton::SetDefault(bool Value) {
  FDefault = Value;
  FActive = Value;
  Invalidate();
}

void TDialogButton::Click() {
  if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TDialogButton::Paint() {
  TCanvas* canvas = GetCanvas();
  HDC dc = canvas->GetHandle();
  RECT r = GetClientRect();
  if (FActive || Focused()) {
    HBRUSH frame = GetSysColorBrush(COLOR_WINDOWFRAME);
    FrameRect(dc, &r, frame);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0));
  canvas->GetFont()->Assign(FFont);
  canvas->GetBrush()->SetStyle(bsClear);
  dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FEnabled ? clBtnText : clGrayText)));
  RECT text = GetClientRect();
  if (FPressed) text = Rect(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1);
  AnsiString caption = GetText();
  DrawTextA(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    RECT focus = Rect(4, 4, FWidth - 4, FHeight - 4);
    DrawFocusRect(dc, &focus);
  }
}

void TDialogButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (CanFocus()) SetFocus();
    FPressed = true;
    Invalidate();
  }
  inherited::MouseDown(Button, Shift, X, Y);
}

void TDialogButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  bool wasPressed = FPressed;
  FPressed = false;
  if (wasPressed) Invalidate();
  bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && wasPressed && inside) Click();
}

void TDialogButton::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE) {
    FPressed = true;
    Invalidate();
  }
  inherited::KeyDown(Key, Shift);
}

void TDialogButton::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FPressed) {
    FPressed = false;
    Invalidate();
    Click();
  }
  inherited::KeyUp(Key, Shift);
}

void TDialogButton::CMDialogKey(TMessage& Message) { AnswerButtonDialogKey(this, Message, FActive, FCancel); }

void TDialogButton::CMDialogChar(TMessage& Message) { AnswerButtonDialogChar(this, Message); }

// Enter goes to the focused button, else to the default one.
void TDialogButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  bool active = dynamic_cast<TDialogButton*>(focused) ? focused == this : FDefault;
  if (active != FActive) {
    FActive = active;
    Invalidate();
  }
  Message.Result = 0;
}

void TDialogButton::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
  Invalidate();
}

void TDialogButton::WMKillFocus(TMessage& Message) {
  DefaultHandler(Message);
  FPressed = false;
  Invalidate();
}

// ---- TDialogField ----

ORV_REGISTER(TDialogField)

TDialogField::TDialogField(TComponent* AOwner, Integer AWidth, Integer AHeight) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FTabStop = true;
  FWidth = AWidth;
  FHeight = AHeight;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

HDC TDialogField::PaintField() {
  TCanvas* canvas = GetCanvas();
  RECT r = GetClientRect();
  HDC dc = canvas->GetHandle();
  FillRect(dc, &r, FBrush->GetHandle());
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  canvas->GetFont()->Assign(FFont);
  dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  return dc;
}

void TDialogField::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (CanFocus()) SetFocus();
  Pressed(Button, X, Y);
  inherited::MouseDown(Button, Shift, X, Y);
}

void TDialogField::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
  FocusChanged(true);
  Invalidate();
}

void TDialogField::WMKillFocus(TMessage& Message) {
  DefaultHandler(Message);
  FocusChanged(false);
  Invalidate();
}

// ---- TDialogEdit ----

ORV_REGISTER(TDialogEdit, ORV_PROP(Text))

TDialogEdit::TDialogEdit(TComponent* AOwner) : TDialogField(AOwner, 121, 21) { FCursor = crIBeam; }

void TDialogEdit::Paint() {
  HDC dc = PaintField();
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  AnsiString text = GetText();
  RECT inner = Rect(4, 2, FWidth - 3, FHeight - 2);
  if (FAllSelected && Focused() && !text.empty()) {
    RECT measured = inner;
    DrawTextA(dc, text.c_str(), -1, &measured, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    RECT band = Rect(inner.Left, inner.Top + 1, std::min(measured.Right, inner.Right), inner.Bottom - 1);
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clHighlightText)));
  }
  DrawTextA(dc, text.c_str(), -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TDialogEdit::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (Key == 0) return;
  AnsiString text = FAllSelected ? AnsiString() : GetText();
  FAllSelected = false;
  if (Key == '\b') {
    if (!text.empty()) text.pop_back();
  } else if (static_cast<unsigned char>(Key) >= 32) {
    text += Key;
  } else {
    return;
  }
  SetText(text);
}

void TDialogEdit::CMTextChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (OnChange) OnChange(this);
}

void TDialogEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }

// ---- TDialogList ----

ORV_REGISTER(TDialogList)

TDialogList::TDialogList(TComponent* AOwner) : TDialogField(AOwner, 150, 120) {}

Integer TDialogList::ItemHeight() { return std::max(13, FFont->GetHeight() < 0 ? -FFont->GetHeight() + 3 : 16); }

Integer TDialogList::VisibleCount() { return std::max(1, (FHeight - 4) / ItemHeight()); }

void TDialogList::ItemsChanged() {
  if (FItemIndex >= static_cast<Integer>(FItems.size())) FItemIndex = -1;
  FTopIndex = 0;
  Invalidate();
}

void TDialogList::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= static_cast<Integer>(FItems.size())) Value = -1;
  if (FItemIndex == Value) return;
  FItemIndex = Value;
  if (Value >= 0) {
    if (Value < FTopIndex) FTopIndex = Value;
    if (Value >= FTopIndex + VisibleCount()) FTopIndex = Value - VisibleCount() + 1;
  }
  Invalidate();
  if (OnChange) OnChange(this);
}

AnsiString TDialogList::Selected() const {
  return FItemIndex >= 0 ? FItems[static_cast<std::size_t>(FItemIndex)] : AnsiString();
}

void TDialogList::Paint() {
  HDC dc = PaintField();
  Integer h = ItemHeight();
  for (Integer i = FTopIndex, y = 2; i < static_cast<Integer>(FItems.size()) && y + h <= FHeight - 2; ++i, y += h) {
    RECT item = Rect(2, y, FWidth - 2, y + h);
    bool selected = i == FItemIndex;
    if (selected) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(selected ? clHighlightText : FFont->GetColor())));
    RECT text = Rect(item.Left + 2, item.Top, item.Right, item.Bottom);
    DrawTextA(dc, FItems[static_cast<std::size_t>(i)].c_str(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (selected && Focused()) DrawFocusRect(dc, &item);
  }
}

void TDialogList::Pressed(TMouseButton Button, Integer, Integer Y) {
  if (Button != mbLeft) return;
  Integer i = FTopIndex + (Y - 2) / ItemHeight();
  if (Y >= 2 && i < static_cast<Integer>(FItems.size())) SetItemIndex(i);
}

void TDialogList::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  auto count = static_cast<Integer>(FItems.size());
  if (count == 0) return;
  switch (Key) {
    case VK_UP: SetItemIndex(std::max(0, FItemIndex - 1)); break;
    case VK_DOWN: SetItemIndex(std::min(count - 1, FItemIndex + 1)); break;
    case VK_HOME: SetItemIndex(0); break;
    case VK_END: SetItemIndex(count - 1); break;
    default: return;
  }
  Key = 0;
}

void TDialogList::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

