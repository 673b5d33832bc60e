#include "library/editors/cxCalc.h"

#include <algorithm>
#include <cmath>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/cxGeometry.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/StrUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"

using namespace win;

ORV_REGISTER(TcxCustomCalculator, ORV_PROP(TabStop).Default(true))

namespace {

struct ButtonLook {
  const char* Text;
  TColor Color;
};

// Captions and caption colours in kind order; the decimal separator's
// caption is the locale's, set when the layout is built.
const ButtonLook kButtonLooks[cxCalcButtonCount] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},  {"MC", clRed},   {"MR", clRed},    {"MS", clRed},
    {"M+", clRed},      {"0", clBlue},    {"1", clBlue},    {"2", clBlue},   {"3", clBlue},    {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},    {"8", clBlue},   {"9", clBlue},    {"+/-", clBlue},
    {"", clBlue},       {"/", clRed},     {"*", clRed},     {"-", clRed},    {"+", clRed},     {"sqrt", clNavy},
    {"%", clNavy},      {"1/x", clNavy},  {"=", clRed}};

// The five columns right of the memory column, by rows.
const TcxCalcButtonKind kGrid[4][5] = {{cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
                                       {cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
                                       {cbNum1, cbNum2, cbNum3, cbSub, cbRev},
                                       {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual}};

// The calculator's height for buttons ABtnHeight high.
Integer TotalHeight(Integer ABtnHeight) {
  const Integer gap = MulDiv(ABtnHeight, 3, 22);
  return gap + (ABtnHeight + gap) * 5;
}

bool IsDigitKind(TcxCalcButtonKind AKind) { return AKind >= cbNum0 && AKind <= cbNum9; }

}  // namespace

TcxCustomCalculator::TcxCustomCalculator(TComponent* AOwner) : TcxControl(AOwner) {
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csOpaque);
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetTabStop(true);
  SetKeys({kAll, kArrows, kChars, kTab});
  SetBounds(GetLeft(), GetTop(), 198, 131);
  CreateLayout();
}

TcxCustomLookAndFeelPainterClass TcxCustomCalculator::GetPainter() {
  return TcxStandardLookAndFeelPainter::StaticClass();
}

void TcxCustomCalculator::HidePopup(TObject*, TcxEditCloseUpReason AReason) {
  if (OnHidePopup) OnHidePopup(this, AReason);
}

// ---------------------------------------------------------------------------
// Display and state.

double TcxCustomCalculator::GetDisplay() {
  if (FState == csError) return 0;
  AnsiString text = Trim(GetEditorValue());
  if (text.empty()) text = "0";
  double value = 0;
  return cxStrToNumber(text, value) ? value : 0;
}

void TcxCustomCalculator::SetDisplay(double Value) {
  const AnsiString text = FloatToStrF(Value, ffGeneral, std::max(FPrecision, 2), 0);
  // A result past what a number's text can say (an overflow's "INF", or
  // digits rounded past the largest number) would read back as no number:
  // the next step would go on from 0 and the editor would keep nothing
  // while showing it. It is an error, as a division by zero is.
  double readBack = 0;
  if (!cxStrToNumber(text, readBack)) {
    Error();
    return;
  }
  if (text == GetEditorValue()) return;
  SetEditorValue(text);
  if (OnDisplayChange) OnDisplayChange(this);
}

void TcxCustomCalculator::CheckFirst() {
  if (FState != csFirst) return;
  FState = csValid;
  SetEditorValue("0");
}

void TcxCustomCalculator::Clear() {
  FState = csFirst;
  SetDisplay(0);
  FOperator = cbEqual;
}

void TcxCustomCalculator::Error() {
  FState = csError;
  SetEditorValue(cxEditResString(scxSCalcError));
  if (FBeepOnError) MessageBeep(0);
}

void TcxCustomCalculator::StartCalculation() {
  FOperator = cbEqual;
  FState = csFirst;
}

void TcxCustomCalculator::ResetOperands() {
  StartCalculation();
  FMemory = 0;
}

void TcxCustomCalculator::UpdateMemoryButtons() {
  FButtons[cbMC].Grayed = FMemory == 0;
  FButtons[cbMR].Grayed = FMemory == 0;
}

void TcxCustomCalculator::InvalidateButton(TcxCalcButtonKind AKind) {
  if (AKind != cbNone && HandleAllocated()) InvalidateRect(FButtons[AKind].BtnRect, false);
}

void TcxCustomCalculator::InvalidateMemoryButtons() {
  InvalidateButton(cbMC);
  InvalidateButton(cbMR);
}

void TcxCustomCalculator::ApplyOperator(double X) {
  switch (FOperator) {
    case cbDiv:
      if (X == 0)
        Error();
      else
        SetDisplay(FOperand / X);
      break;
    case cbMul: SetDisplay(FOperand * X); break;
    case cbSub: SetDisplay(FOperand - X); break;
    case cbAdd: SetDisplay(FOperand + X); break;
    default: break;
  }
}

void TcxCustomCalculator::ButtonClick(TcxCalcButtonKind AKind) {
  if (OnButtonClick) OnButtonClick(this, AKind);
  if (AKind == cbNone) return;
  if (FState == csError && AKind != cbCancel && AKind != cbClear) {
    Error();
    return;
  }
  const bool pendingArithmetic = FOperator == cbDiv || FOperator == cbMul || FOperator == cbSub || FOperator == cbAdd;
  switch (AKind) {
    case cbDecimal: {
      CheckFirst();
      const AnsiString text = GetEditorValue();
      const char separator = FormatSettings().DecimalSeparator;
      if (text.find(separator) == AnsiString::npos) SetEditorValue(text + separator);
      break;
    }
    case cbBack: {
      CheckFirst();
      AnsiString text = GetEditorValue();
      if (text.size() <= 1 || (text.size() == 2 && text[0] == '-'))
        text = "0";
      else
        text.pop_back();
      SetEditorValue(text);
      break;
    }
    case cbCancel:
    case cbClear: Clear(); break;
    case cbMC:
      FMemory = 0;
      UpdateMemoryButtons();
      InvalidateMemoryButtons();
      break;
    case cbMR:
      FState = csFirst;
      CheckFirst();
      SetDisplay(FMemory);
      break;
    case cbMS:
    case cbMP:
      FState = csFirst;
      FMemory = AKind == cbMS ? GetDisplay() : FMemory + GetDisplay();
      UpdateMemoryButtons();
      InvalidateMemoryButtons();
      break;
    case cbSign: {
      // A number being typed changes its sign as it stands: "1." stays
      // "-1." so that the next digit is a decimal, and "0.50" keeps its
      // zero. A result, or a bare 0, is a number turned round.
      const AnsiString text = GetEditorValue();
      double value = 0;
      if (FState != csValid || text == "0" || !cxStrToNumber(text, value)) {
        SetDisplay(-GetDisplay());
        break;
      }
      SetEditorValue(text[0] == '-' ? text.substr(1) : "-" + text);
      if (OnDisplayChange) OnDisplayChange(this);
      break;
    }
    case cbDiv:
    case cbMul:
    case cbSub:
    case cbAdd:
    case cbPercent:
    case cbEqual:
      if (FState == csValid) {
        FState = csFirst;
        double x = GetDisplay();
        if (AKind == cbPercent) {
          if (FOperator == cbDiv || FOperator == cbMul)
            x = x / 100;
          else if (FOperator == cbSub || FOperator == cbAdd)
            x = FOperand * x / 100;
        }
        ApplyOperator(x);
      }
      FOperator = AKind;
      FOperand = GetDisplay();
      if ((AKind == cbPercent || AKind == cbEqual) && OnResult) OnResult(this);
      break;
    case cbSqrt:
    case cbRev: {
      FState = pendingArithmetic ? csValid : csFirst;
      const double x = GetDisplay();
      if (AKind == cbSqrt ? x < 0 : x == 0)
        Error();
      else
        SetDisplay(AKind == cbSqrt ? std::sqrt(x) : 1 / x);
      break;
    }
    default:
      if (IsDigitKind(AKind)) {
        CheckFirst();
        AnsiString text = GetEditorValue();
        if (text == "0") text.clear();
        const std::size_t limit =
            static_cast<std::size_t>(std::max(FPrecision, 2)) + (text.find('-') != AnsiString::npos ? 1 : 0);
        if (text.size() < limit)
          SetEditorValue(text + static_cast<char>('0' + (AKind - cbNum0)));
        else if (FBeepOnError)
          MessageBeep(0);
      }
      break;
  }
}

// ---------------------------------------------------------------------------
// Clipboard.

void TcxCustomCalculator::CopyToClipboard() {
  const AnsiString text = GetEditorValue();
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalFromBytes(text.c_str(), text.size() + 1))
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

void TcxCustomCalculator::PasteFromClipboard() {
  if (!TextEditClipboardHasText()) return;
  double value = 0;
  if (!cxStrToNumber(PastedNumberText(ClipboardText()), value)) value = 0;
  FState = csValid;
  SetDisplay(value);
}

AnsiString TcxCustomCalculator::PastedNumberText(AnsiString AText) {
  const AnsiString symbol = FormatSettings().CurrencyString;
  if (!symbol.empty())
    for (std::size_t at = AText.find(symbol); at != AnsiString::npos; at = AText.find(symbol, at))
      AText.erase(at, symbol.size());
  return Trim(AText);
}

// ---------------------------------------------------------------------------
// Keys.

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindChar(char AChar) {
  switch (AChar) {
    case '\b': return cbBack;
    case ',':
    case '.': return cbDecimal;
    case '/': return cbDiv;
    case '*': return cbMul;
    case '-': return cbSub;
    case '+': return cbAdd;
    case '@': return cbSqrt;
    case '%': return cbPercent;
    case '=': return cbEqual;
    default:
      if (AChar >= '0' && AChar <= '9') return static_cast<TcxCalcButtonKind>(cbNum0 + (AChar - '0'));
      return cbNone;
  }
}

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindKey(Word AKey, TShiftState AShift) {
  const bool ctrl = AShift.Contains(ssCtrl);
  switch (AKey) {
    case VK_RETURN: return cbEqual;
    case VK_ESCAPE: return cbClear;
    case VK_DELETE: return cbCancel;
    case VK_F9: return cbSign;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'L': return ctrl ? cbMC : cbNone;
    case 'M': return ctrl ? cbMS : cbNone;
    case 'P': return ctrl ? cbMP : cbNone;
    case 'R': return ctrl ? cbMR : cbRev;
    default: return cbNone;
  }
}

void TcxCustomCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  const TcxCalcButtonKind kind = GetButtonKindKey(Key, Shift);
  if (kind == cbNone || kind == FActiveButton) return;
  DoButtonUp(FActiveButton);
  FActiveButton = kind;
  DoButtonDown(kind);
}

void TcxCustomCalculator::KeyPress(char& Key) {
  TcxControl::KeyPress(Key);
  if (Key == '\x16')
    PasteFromClipboard();
  else if (Key == '\x03')
    CopyToClipboard();
  const TcxCalcButtonKind kind = GetButtonKindChar(Key);
  if (kind != cbNone && kind != FActiveButton) {
    DoButtonUp(FActiveButton);
    FActiveButton = kind;
    DoButtonDown(kind);
  }
  // A held Backspace repeats its key presses, each one a click.
  if (FActiveButton == cbBack) ButtonClick(cbBack);
}

void TcxCustomCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  DoButtonUp(FActiveButton);
}

void TcxCustomCalculator::DoButtonDown(TcxCalcButtonKind AKind) {
  if (AKind == cbNone) return;
  FButtons[AKind].Down = true;
  InvalidateButton(AKind);
  if (HandleAllocated()) Update();
  if (AKind != cbBack) ButtonClick(AKind);
}

void TcxCustomCalculator::DoButtonUp(TcxCalcButtonKind AKind) {
  if (AKind != cbNone) {
    FButtons[AKind].Down = false;
    InvalidateButton(AKind);
    if (HandleAllocated()) Update();
  }
  FActiveButton = cbNone;
}

// ---------------------------------------------------------------------------
// Mouse.

TcxCalcButtonKind TcxCustomCalculator::GetButtonKindAt(Integer X, Integer Y) const {
  const TPoint p(X, Y);
  for (const TcxCalcButton& button : FButtons)
    if (cxRectPtIn(button.BtnRect, p)) return button.Kind;
  return cbNone;
}

void TcxCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (!GetComponentState().Contains(csDesigning) && !FIsPopup) {
    if (CanFocus() || !GetParentForm(this)) SetFocus();
  }
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxCalcButtonKind kind = GetButtonKindAt(X, Y);
  if (kind == cbNone || FButtons[kind].Grayed) return;
  SetMouseCapture(true);
  FTracking = true;
  FDownButton = kind;
  TrackButton(X, Y);
}

void TcxCustomCalculator::TrackButton(Integer X, Integer Y) {
  if (FDownButton == cbNone) return;
  const bool over = cxRectPtIn(FButtons[FDownButton].BtnRect, TPoint(X, Y));
  if (FButtons[FDownButton].Down == over) return;
  FButtons[FDownButton].Down = over;
  InvalidateButton(FDownButton);
}

void TcxCustomCalculator::StopTracking() {
  if (!FTracking) return;
  FTracking = false;
  SetMouseCapture(false);
  if (FDownButton != cbNone) {
    FButtons[FDownButton].Down = false;
    InvalidateButton(FDownButton);
  }
}

void TcxCustomCalculator::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (FTracking) {
    TrackButton(X, Y);
    return;
  }
  if (GetPainter()->IsButtonHotTrack() && GetEnabled() && !GetMouseCapture()) SetHotButton(GetButtonKindAt(X, Y));
}

void TcxCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  const TcxCalcButtonKind kind = FDownButton;
  const bool wasDown = kind != cbNone && FButtons[kind].Down;
  StopTracking();
  FDownButton = cbNone;
  if (Button == mbLeft && wasDown) ButtonClick(kind);
}

void TcxCustomCalculator::MouseLeave(TControl* AControl) {
  TcxControl::MouseLeave(AControl);
  SetHotButton(cbNone);
}

void TcxCustomCalculator::SetHotButton(TcxCalcButtonKind AKind) {
  if (FHotButton == AKind) return;
  const TcxCalcButtonKind old = FHotButton;
  FHotButton = AKind;
  if (old != cbNone && !FButtons[old].Grayed) InvalidateButton(old);
  if (AKind != cbNone && !FButtons[AKind].Grayed) InvalidateButton(AKind);
}

// ---------------------------------------------------------------------------
// Size and layout.

bool TcxCustomCalculator::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (!TcxControl::CanResize(NewWidth, NewHeight)) return false;
  CalcSize(NewWidth, NewHeight);
  return true;
}

void TcxCustomCalculator::CalcSize(Integer& AWidth, Integer& AHeight) {
  Integer height = 22;
  if (FAutoFontSize) {
    const Integer target = std::min(AHeight, AWidth * 131 / 198);
    while (std::abs(TotalHeight(height + 1) - target) < std::abs(TotalHeight(height) - target)) ++height;
  } else {
    TcxCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    height = canvas->TextHeight("Zg") * 2;
  }
  FBtnHeight = height;
  FBtnWidth = MulDiv(height, 28, 22);
  FXSpace = MulDiv(height, 3, 22);
  FYSpace = FXSpace;
  FLargeBtnWidth = MulDiv(FBtnWidth, 17, 10);
  FFontSize = MulDiv(height, 8, 22);
  FCalcHeight = (FYSpace + FBtnHeight) * 5 + FYSpace;
  FCalcWidth = (FXSpace + FBtnWidth) * 6 + FXSpace * 2 + 4;
  AWidth = FCalcWidth;
  AHeight = FCalcHeight;
  CreateLayout();
}

void TcxCustomCalculator::RecalcSize() {
  Integer width = GetWidth(), height = GetHeight();
  CalcSize(width, height);
  SetBounds(GetLeft(), GetTop(), width, height);
}

void TcxCustomCalculator::CreateLayout() {
  for (Integer i = 0; i < cxCalcButtonCount; ++i) {
    TcxCalcButton& button = FButtons[i];
    button.Kind = static_cast<TcxCalcButtonKind>(i);
    button.Text = kButtonLooks[i].Text;
    button.FontColor = kButtonLooks[i].Color;
    button.BtnRect = TRect();
    button.Down = false;
    button.Grayed = false;
  }
  FButtons[cbDecimal].Text = AnsiString(1, FormatSettings().DecimalSeparator);
  const TcxCalcButtonKind memory[4] = {cbMC, cbMR, cbMS, cbMP};
  for (Integer r = 1; r <= 4; ++r) {
    const Integer top = r * (FBtnHeight + FYSpace) + FYSpace;
    FButtons[memory[r - 1]].BtnRect = TRect(FXSpace, top, FXSpace + FBtnWidth, top + FBtnHeight);
    for (Integer c = 0; c < 5; ++c) {
      const Integer left = FXSpace + (FBtnWidth + 2 * FXSpace + 4) + c * (FXSpace + FBtnWidth);
      FButtons[kGrid[r - 1][c]].BtnRect = TRect(left, top, left + FBtnWidth, top + FBtnHeight);
    }
  }
  Integer right = FButtons[cbEqual].BtnRect.Right;
  for (TcxCalcButtonKind kind : {cbClear, cbCancel, cbBack}) {
    FButtons[kind].BtnRect = TRect(right - FLargeBtnWidth, FYSpace, right, FYSpace + FBtnHeight);
    right -= FLargeBtnWidth + FXSpace;
  }
  // A new size or font lays the buttons out again mid-calculation: the
  // pending operation and the memory stay.
  UpdateMemoryButtons();
}

// ---------------------------------------------------------------------------
// Painting and window.

TcxButtonState TcxCustomCalculator::ButtonState(const TcxCalcButton& AButton) {
  if (AButton.Grayed || !GetEnabled()) return cxbsDisabled;
  if (AButton.Down) return cxbsPressed;
  if (AButton.Kind == FHotButton && AButton.Kind != FDownButton) return cxbsHot;
  if (AButton.Kind == cbEqual && Focused()) return cxbsDefault;
  return cxbsNormal;
}

void TcxCustomCalculator::Paint() {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  canvas->SetFont(GetFont());
  if (FAutoFontSize) {
    canvas->GetFont()->SetSize(FFontSize);
    TFontStyles style = canvas->GetFont()->GetStyle();
    if (FFontSize >= 10)
      style.Include(fsBold);
    else
      style.Exclude(fsBold);
    canvas->GetFont()->SetStyle(style);
  }
  const TcxCustomLookAndFeelPainterClass painter = GetPainter();
  for (const TcxCalcButton& button : FButtons) {
    if (!canvas->RectVisible(button.BtnRect)) continue;
    const TcxButtonState state = ButtonState(button);
    painter->DrawButton(canvas, button.BtnRect, "", state);
    const Integer shift = state == cxbsPressed ? painter->ButtonTextShift() : 0;
    const TRect text = cxRectOffset(button.BtnRect, shift, shift);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetFont()->SetColor(state == cxbsDisabled ? clBtnShadow : button.FontColor);
    canvas->DrawTexT(button.Text, text, cxAlignCenter | cxSingleLine);
    canvas->GetBrush()->SetStyle(bsSolid);
  }
  if (FShowFocusRect && Focused()) {
    canvas->DrawFocusRect(cxRectInflate(FButtons[cbEqual].BtnRect, -3, -3));
  }
}

void TcxCustomCalculator::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  Params.WindowClass.style &= ~CS_DBLCLKS;
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  if (!FIsPopup && FBorderStyle == bsSingle) {
    if (GetCtl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TcxCustomCalculator::FocusChanged() {
  TcxControl::FocusChanged();
  InvalidateButton(cbEqual);
}

void TcxCustomCalculator::FontChanged() {
  TcxControl::FontChanged();
  if (!GetIsLoading()) SetParentFont(false);
}

void TcxCustomCalculator::CMEnabledChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  Invalidate();
}

void TcxCustomCalculator::SetAutoFontSize(bool Value) {
  if (FAutoFontSize == Value) return;
  FAutoFontSize = Value;
  RecalcSize();
  Invalidate();
}

void TcxCustomCalculator::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TcxCustomCalculator::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  Invalidate();
}
