// The message box: one of our own forms with the icon, the text and the
// buttons of its flags, shown modal.
#include "platform/forms/MessageBox.h"

#include <algorithm>

#include "platform/forms/Application.h"
#include "platform/forms/DialogControls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Window.h"

using namespace win;

namespace {

// The icon of a box, drawn from shapes: a red disc with a cross (stop), a
// blue disc with a question mark or an "i", a yellow triangle with "!".
class TMessageIcon : public TGraphicControl {
  ORV_CLASS(TMessageIcon, TGraphicControl)
 public:
  TMessageIcon(TComponent* AOwner, UINT Kind) : TGraphicControl(AOwner), FKind(Kind) {
    FWidth = 32;
    FHeight = 32;
  }

 protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetPen()->SetColor(clBlack);
    auto glyph = [c](const char* text, TColor color) {
      c->GetBrush()->SetStyle(bsClear);
      c->GetFont()->SetName("Arial");
      c->GetFont()->SetHeight(-22);
      c->GetFont()->SetStyle(TFontStyles{fsBold});
      c->GetFont()->SetColor(color);
      TSize size = c->TextExtent(text);
      c->TextOut((32 - size.cx) / 2, (32 - size.cy) / 2, text);
    };
    switch (FKind) {
      case MB_ICONHAND:
        c->GetBrush()->SetColor(clRed);
        c->Ellipse(0, 0, 32, 32);
        c->GetPen()->SetColor(clWhite);
        c->GetPen()->SetWidth(3);
        c->MoveTo(10, 10);
        c->LineTo(22, 22);
        c->MoveTo(22, 10);
        c->LineTo(10, 22);
        break;
      case MB_ICONQUESTION:
        c->GetBrush()->SetColor(clWhite);
        c->Ellipse(0, 0, 32, 32);
        glyph("?", clBlue);
        break;
      case MB_ICONEXCLAMATION:
        c->GetBrush()->SetColor(clYellow);
        c->Polygon({{16, 1}, {31, 30}, {1, 30}});
        glyph("!", clBlack);
        break;
      default:
        c->GetBrush()->SetColor(clWhite);
        c->Ellipse(0, 0, 32, 32);
        glyph("i", clBlue);
        break;
    }
  }

 private:
  UINT FKind;
};

ORV_REGISTER(TMessageIcon)

// The text, wrapped and broken at "\n", measured before the form is laid out.
class TMessageText : public TGraphicControl {
  ORV_CLASS(TMessageText, TGraphicControl)
 public:
  explicit TMessageText(TComponent* AOwner) : TGraphicControl(AOwner) {}
  // The text is the control's own, kept without a change notice: the
  // form is laid out from the measure.
  TSize Measure(const AnsiString& Text, Integer MaxWidth) {
    FText = Text;
    RECT r = Rect(0, 0, MaxWidth, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToObj(FFont->GetHandle()));
    DrawTextA(dc, Text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {r.Width(), r.Height()};
  }

 protected:
  void Paint() override {
    TCanvas* c = GetCanvas();
    c->GetFont()->Assign(FFont);
    c->GetBrush()->SetStyle(bsClear);
    RECT r = GetClientRect();
    DrawTextA(c->GetHandle(), FText.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  }
};

ORV_REGISTER(TMessageText)

struct ButtonSpec {
  const char* caption;
  int id;
};

std::vector<ButtonSpec> ButtonsOf(UINT type) {
  switch (type) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_RETRYCANCEL: return {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
  }
}

// Without a Cancel button the box cannot be closed but by its buttons; a
// box whose one button is OK closes as that button does.
class TMessageForm : public TForm {
  ORV_CLASS(TMessageForm, TForm)
 public:
  using TForm::TForm;
  bool FCanCancel = false;

  bool CloseQuery() override { return FCanCancel || FModalResult != mrCancel; }
};

ORV_REGISTER(TMessageForm)

}  // namespace

namespace win {

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
  AnsiString message = text ? text : "";
  AnsiString title = caption ? caption : "Error";
  int answer = 0;
  if (forms::detail::ScriptedMessageBox(owner, message, title, flags, answer)) return answer;

  // The box stands centred over the form that owns it, as the owner's
  // dialogs do; without one on show, in the middle of the screen.
  TCustomForm* ownerForm =
      owner && IsWindow(owner) ? dynamic_cast<TCustomForm*>(FindControl(GetAncestor(owner, GA_ROOT))) : nullptr;
  auto* form = TCustomForm::CreateNew<TMessageForm>(ownerForm);
  try {
    form->SetBorderStyle(bsDialog);
    form->SetCaption(title);
    form->SetPosition(ownerForm ? poOwnerFormCenter : poScreenCenter);
    std::vector<ButtonSpec> buttons = ButtonsOf(flags & MB_TYPEMASK);
    const bool okOnly = buttons.size() == 1;
    form->FCanCancel =
        okOnly || std::any_of(buttons.begin(), buttons.end(), [](const ButtonSpec& b) { return b.id == IDCANCEL; });
    if (!form->FCanCancel) form->SetBorderIcons({});

    UINT iconKind = flags & MB_ICONMASK;
    Integer textLeft = 11;
    if (iconKind) {
      auto* icon = New<TMessageIcon>(form, iconKind);
      icon->SetBounds(11, 11, 32, 32);
      icon->SetParent(form);
      textLeft = 11 + 32 + 12;
    }
    auto* label = New<TMessageText>(form);
    TSize size = label->Measure(message, 400);
    Integer textTop = iconKind && size.cy < 32 ? 11 + (32 - size.cy) / 2 : 11;
    label->SetBounds(textLeft, textTop, size.cx, size.cy);
    label->SetParent(form);

    const Integer bw = 75, bh = 23, gap = 6;
    auto count = static_cast<Integer>(buttons.size());
    Integer rowWidth = count * bw + (count - 1) * gap;
    Integer contentBottom = std::max(textTop + size.cy, iconKind ? 11 + 32 : 0);
    Integer clientWidth = std::max(textLeft + size.cx + 11, rowWidth + 22);
    Integer buttonTop = contentBottom + 14;
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(buttonTop + bh + 11);

    int defIndex = static_cast<int>((flags & MB_DEFMASK) >> 8);
    if (defIndex >= count) defIndex = 0;
    Integer x = (clientWidth - rowWidth) / 2;
    for (Integer i = 0; i < count; ++i) {
      auto* button = New<TDialogButton>(form);
      button->SetCaption(buttons[static_cast<std::size_t>(i)].caption);
      button->SetModalResult(buttons[static_cast<std::size_t>(i)].id);
      button->SetBounds(x, buttonTop, bw, bh);
      button->SetParent(form);
      if (i == defIndex) {
        button->SetDefault(true);
        form->SetActiveControl(button);
      }
      if (okOnly || buttons[static_cast<std::size_t>(i)].id == IDCANCEL) button->SetCancel(true);
      x += bw + gap;
    }
    answer = form->ShowModal();
    if (okOnly && answer == IDCANCEL) answer = IDOK;  // closed from its caption
  } catch (...) {
    form->Free();
    throw;
  }
  form->Free();
  return answer;
}

}  // namespace win
