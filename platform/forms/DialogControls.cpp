#include "platform/forms/DialogControls.h"

#include <algorithm>

#include "platform/forms/FloatingPopup.h"
#include "platform/forms/FreeWatch.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Collation.h"
#include "platform/win/Caret.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

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
    TFreeWatch watch(this);
    Click();
    if (watch.Gone()) return;  // the handler freed the button
  }
  inherited::KeyUp(Key, Shift);
}

void TDialogButton::CMDialogKey(TMessage& Message) { AnswerButtonDialogKey(this, Message, FActive, FCancel); }

void TDialogButton::CMDialogChar(TMessage& Message) { AnswerButtonDialogChar(this, Message); }

// Enter goes to the focused button, else to the default one.
void TDialogButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  bool active = DynamicCast<TDialogButton>(focused) ? focused == this : FDefault;
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
  if (Focused() && !(FAllSelected && !text.empty())) {
    Integer x = inner.Left;
    if (FCaret > 0) {
      RECT before = inner;
      DrawTextA(dc, text.c_str(), static_cast<int>(std::min(FCaret, text.size())), &before,
                DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
      x = before.Right;
    }
    RECT caret = Rect(std::min(x, inner.Right - 1), inner.Top + 1, std::min(x, inner.Right - 1) + 1, inner.Bottom - 1);
    HBRUSH ink = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
    FillRect(dc, &caret, ink);
    DeleteObject(ink);
  }
}

void TDialogEdit::Edit(const AnsiString& Text, std::size_t Caret) {
  FAllSelected = false;
  SetText(Text);
  FCaret = std::min(Caret, Text.size());
  Invalidate();
}

void TDialogEdit::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  const AnsiString text = GetText();
  const std::size_t at = std::min(FCaret, text.size());
  // From a selection the arrows go to its ends, as the caret leaves it.
  switch (Key) {
    case VK_LEFT: FCaret = FAllSelected ? 0 : at - (at > 0 ? 1 : 0); break;
    case VK_RIGHT: FCaret = FAllSelected ? text.size() : std::min(at + 1, text.size()); break;
    case VK_HOME: FCaret = 0; break;
    case VK_END: FCaret = text.size(); break;
    case VK_DELETE:
      if (FAllSelected) Edit({}, 0);
      else if (at < text.size()) Edit(text.substr(0, at) + text.substr(at + 1), at);
      Key = 0;
      return;
    default: return;
  }
  FAllSelected = false;
  Invalidate();
  Key = 0;
}

void TDialogEdit::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (Key == 0) return;
  if (Key == '\x01') {  // Ctrl+A
    FAllSelected = true;
    Invalidate();
    return;
  }
  if (FAllSelected) {
    if (Key == '\b') Edit({}, 0);
    else if (static_cast<unsigned char>(Key) >= 32) Edit(AnsiString(1, Key), 1);
    return;
  }
  const AnsiString text = GetText();
  const std::size_t at = std::min(FCaret, text.size());
  if (Key == '\b') {
    if (at > 0) Edit(text.substr(0, at - 1) + text.substr(at), at - 1);
  } else if (static_cast<unsigned char>(Key) >= 32) {
    Edit(text.substr(0, at) + Key + text.substr(at), at + 1);
  }
}

void TDialogEdit::CMTextChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  // A text set from outside (a file chosen on the list) is typed on at
  // its end.
  FCaret = GetText().size();
  if (OnChange) OnChange(this);
}

void TDialogEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; }

// ---- TDialogList ----

ORV_REGISTER(TDialogList)

TDialogList::TDialogList(TComponent* AOwner) : TDialogField(AOwner, 150, 120) {}

namespace {
// The height of a list row in a font.
Integer RowHeight(TFont* AFont) { return std::max(13, AFont->GetHeight() < 0 ? -AFont->GetHeight() + 3 : 16); }

// The item an arrow, Home, End or page key moves the selection of a list
// of Count items (not none), Page rows of it in view, to; -1 for any other
// key, and for the page keys where nothing pages (Page 0).
Integer SteppedIndex(Word Key, Integer Index, Integer Count, Integer Page) {
  switch (Key) {
    case VK_UP: return std::max(0, Index - 1);
    case VK_DOWN: return std::min(Count - 1, Index + 1);
    case VK_PRIOR: return Page > 0 ? std::max(0, Index - std::max(1, Page - 1)) : -1;
    case VK_NEXT: return Page > 0 ? std::min(Count - 1, std::max(0, Index) + std::max(1, Page - 1)) : -1;
    case VK_HOME: return 0;
    case VK_END: return Count - 1;
    default: return -1;
  }
}
}  // namespace

Integer TDialogList::ItemHeight() { return RowHeight(FFont); }

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
  const Integer next = SteppedIndex(Key, FItemIndex, count, VisibleCount());
  if (next < 0) return;
  SetItemIndex(next);
  Key = 0;
}

void TDialogList::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (static_cast<unsigned char>(Key) <= ' ') return;
  const AnsiString letter = AnsiUpperCase(std::string_view(&Key, 1));
  auto count = static_cast<Integer>(FItems.size());
  // From the item after the selected one, round to it: the same letter
  // again walks the items it begins.
  for (Integer step = 1; step <= count; ++step) {
    const Integer i = (FItemIndex + step) % count;
    const AnsiString& item = FItems[static_cast<std::size_t>(i)];
    if (!item.empty() && AnsiUpperCase(std::string_view(item).substr(0, 1)) == letter) {
      SetItemIndex(i);
      break;
    }
  }
  Key = 0;
}

bool TDialogList::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const Integer rows = -WheelDelta * 3 / WHEEL_DELTA;
  const Integer last = std::max(0, static_cast<Integer>(FItems.size()) - VisibleCount());
  const Integer top = std::clamp(FTopIndex + rows, Integer(0), last);
  if (top != FTopIndex) {
    FTopIndex = top;
    Invalidate();
  }
  return true;
}

// A letter typed on a list is the list's: offered to the dialog it would
// press the button it names, as a person looking for an item never meant.
void TDialogList::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

// ---- TDialogDropList ----

// The open list of a drop-down: a bordered popup under the field that
// never takes the activation and holds the mouse while it is open. The
// row under the pointer, or the one the arrow keys reached, is lit.
class TDialogDropList : public TCustomControl {
  ORV_CLASS(TDialogDropList, TCustomControl)
 public:
  explicit TDialogDropList(TDialogDropDown* ACombo) : TCustomControl(ACombo), FCombo(ACombo) {
    // The mouse stays the list's from the drop to the close: no capture of
    // a press's own to let go.
    FControlStyle = TControlStyle{csOpaque};
    FVisible = false;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
  }
  static constexpr Integer kMaxRows = 8;

  Integer Lit() const { return FLit; }
  void SetLit(Integer Value) {
    const auto count = static_cast<Integer>(FCombo->FItems.size());
    Value = std::clamp(Value, count ? 0 : -1, count - 1);
    if (Value == FLit) return;
    FLit = Value;
    if (FLit >= 0 && FLit < FTopRow) FTopRow = FLit;
    if (FLit >= FTopRow + Rows()) FTopRow = FLit - Rows() + 1;
    Invalidate();
  }
  bool Open() const { return FOpen; }

  // Drops below the field, or above it where the screen ends first.
  void Drop() {
    FFont->Assign(FCombo->GetFont());
    const auto count = static_cast<Integer>(FCombo->FItems.size());
    const Integer h = Rows() * RowHeight(FFont) + 2;
    const TPoint below = FCombo->ClientToScreen(TPoint(0, FCombo->GetHeight()));
    const TRect area = Screen ? Screen->GetWorkAreaRect() : TRect(0, 0, 1024, 768);
    Integer y = below.Y;
    if (y + h > area.Bottom) y = below.Y - FCombo->GetHeight() - h;
    FTopRow = 0;
    FLit = -1;
    SetLit(FCombo->FItemIndex >= 0 ? FCombo->FItemIndex : (count ? 0 : -1));
    SetBounds(below.X, y, FCombo->GetWidth(), h);
    SetWindowPos(GetHandle(), HWND_TOPMOST, below.X, y, FCombo->GetWidth(), h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FOpen = true;
    FShowing = true;
    SetMouseCapture(true);
    Invalidate();
  }
  void Close() {
    if (!FOpen) return;
    FOpen = false;
    if (GetMouseCapture()) SetMouseCapture(false);
    if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
    FShowing = false;
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    FloatingPopupParams(Params, WS_POPUP | WS_BORDER);
  }

  void Paint() override {
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(FFont);
    HDC dc = canvas->GetHandle();
    RECT r = GetClientRect();
    FillRect(dc, &r, FBrush->GetHandle());
    SetBkMode(dc, TRANSPARENT);
    const Integer h = RowHeight(FFont);
    const auto count = static_cast<Integer>(FCombo->FItems.size());
    for (Integer i = FTopRow, y = 0; i < count && y < r.Bottom; ++i, y += h) {
      RECT row = Rect(0, y, r.Right, y + h);
      if (i == FLit) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(i == FLit ? clHighlightText : FFont->GetColor())));
      RECT text = Rect(row.Left + 2, row.Top, row.Right, row.Bottom);
      DrawTextA(dc, FCombo->FItems[static_cast<std::size_t>(i)].c_str(), -1, &text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }

  // The mouse is the list's while it is open: a row under the pointer is
  // lit, let go on a row chooses it, a press off the list closes it.
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override {
    if (Inside(X, Y)) SetLit(RowAt(Y));
    inherited::MouseMove(Shift, X, Y);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    if (!Inside(X, Y)) {
      FCombo->CloseUp(-1);
      return;
    }
    inherited::MouseDown(Button, Shift, X, Y);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    // Let go over the field after the press that opened the list: it stays.
    if (Button == mbLeft && Inside(X, Y)) {
      FCombo->CloseUp(RowAt(Y));
      return;
    }
    inherited::MouseUp(Button, Shift, X, Y);
  }
  // The mouse taken elsewhere (another window's capture, a modal loop).
  void WMCaptureChanged(TMessage& Message) {
    DefaultHandler(Message);
    if (FOpen && reinterpret_cast<HWND>(Message.LParam) != FHandle) FCombo->CloseUp(-1);
  }
  ORV_MESSAGE(win::WM_CAPTURECHANGED, WMCaptureChanged)

 private:
  Integer Rows() const {
    return std::clamp(static_cast<Integer>(FCombo->FItems.size()), 1, static_cast<Integer>(kMaxRows));
  }
  bool Inside(Integer X, Integer Y) { return X >= 0 && Y >= 0 && X < GetClientWidth() && Y < GetClientHeight(); }
  Integer RowAt(Integer Y) {
    const Integer i = FTopRow + Y / RowHeight(FFont);
    return i < static_cast<Integer>(FCombo->FItems.size()) ? i : -1;
  }

  TDialogDropDown* FCombo;
  Integer FTopRow = 0;  // the item in the first row shown
  Integer FLit = -1;
  bool FOpen = false;
};

ORV_REGISTER(TDialogDropList)

// ---- TDialogDropDown ----

ORV_REGISTER(TDialogDropDown)

TDialogDropDown::TDialogDropDown(TComponent* AOwner) : TDialogField(AOwner, 145, 21) {}

TDialogDropDown::~TDialogDropDown() {
  if (FList) FList->Close();
}

void TDialogDropDown::ItemsChanged() {
  if (FItemIndex >= static_cast<Integer>(FItems.size())) FItemIndex = -1;
  CloseUp(-1);
  Invalidate();
}

void TDialogDropDown::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= static_cast<Integer>(FItems.size())) Value = -1;
  if (FItemIndex == Value) return;
  FItemIndex = Value;
  Invalidate();
  if (OnChange) OnChange(this);
}

AnsiString TDialogDropDown::Selected() const {
  return FItemIndex >= 0 ? FItems[static_cast<std::size_t>(FItemIndex)] : AnsiString();
}

bool TDialogDropDown::GetDroppedDown() const { return FList && FList->Open(); }

TWinControl* TDialogDropDown::GetDropList() const { return GetDroppedDown() ? FList : nullptr; }

void TDialogDropDown::SetDroppedDown(bool Value) {
  if (Value == GetDroppedDown()) return;
  if (!Value) {
    CloseUp(-1);
    return;
  }
  if (!FList) FList = New<TDialogDropList>(this);
  FList->Drop();
  Invalidate();
}

void TDialogDropDown::CloseUp(Integer AChosen) {
  if (!GetDroppedDown()) return;
  FList->Close();
  Invalidate();
  if (AChosen >= 0) SetItemIndex(AChosen);
}

void TDialogDropDown::Paint() {
  HDC dc = PaintField();
  const bool dropped = GetDroppedDown();
  const Integer bw = GetSystemMetrics(SM_CXVSCROLL);
  RECT button = Rect(FWidth - 2 - bw, 2, FWidth - 2, FHeight - 2);
  DrawFrameControl(dc, &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (dropped ? DFCS_PUSHED | DFCS_FLAT : 0));
  // The chosen item, lit while the field has the focus, as a list's
  // selection is.
  RECT item = Rect(3, 3, button.Left - 1, FHeight - 3);
  const bool lit = Focused() && !dropped;
  if (lit) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(lit ? clHighlightText : FFont->GetColor())));
  AnsiString text = Selected();
  RECT inner = Rect(item.Left + 1, item.Top, item.Right, item.Bottom);
  DrawTextA(dc, text.c_str(), -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (lit) DrawFocusRect(dc, &item);
}

void TDialogDropDown::Pressed(TMouseButton Button, Integer, Integer) {
  if (Button == mbLeft) SetDroppedDown(!GetDroppedDown());
}

void TDialogDropDown::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  const bool toggle = Key == VK_F4 || (Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP));
  const auto count = static_cast<Integer>(FItems.size());
  if (GetDroppedDown()) {
    // F4 and Alt with an arrow close the list as Enter does; the arrows
    // alone walk it.
    if (toggle) {
      CloseUp(FList->Lit());
      Key = 0;
      return;
    }
    switch (Key) {
      case VK_UP: FList->SetLit(FList->Lit() - 1); break;
      case VK_DOWN: FList->SetLit(FList->Lit() + 1); break;
      case VK_HOME: FList->SetLit(0); break;
      case VK_END: FList->SetLit(count - 1); break;
      case VK_RETURN: CloseUp(FList->Lit()); break;
      case VK_ESCAPE: CloseUp(-1); break;
      default: return;
    }
    Key = 0;
    return;
  }
  if (toggle) {
    SetDroppedDown(true);
    Key = 0;
    return;
  }
  if (count == 0) return;
  const Integer next = SteppedIndex(Key, FItemIndex, count, 0);
  if (next < 0) return;
  SetItemIndex(next);
  Key = 0;
}

void TDialogDropDown::FocusChanged(bool AFocused) {
  if (!AFocused) CloseUp(-1);
}

// Typed letters are the field's, as on a list; while the list is open,
// Enter and Esc are the list's, not the dialog's.
void TDialogDropDown::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (GetDroppedDown() ? DLGC_WANTALLKEYS : 0);
}
