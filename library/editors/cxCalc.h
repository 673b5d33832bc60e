// The pocket calculator: 27 custom-drawn buttons over a four-function
// arithmetic with memory, percent, square root and reciprocal, worked by
// mouse and keys. It shows no number of its own: the number lives in a
// display text that a descendant keeps (the calculator editor's drop-down
// shows it as the editor's text); the base has an empty one.
#pragma once

#include "library/editors/core/cxEditProperties.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxLookAndFeelPainters.h"

ORV_ENUM(TcxCalcButtonKind, cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP, cbNum0, cbNum1, cbNum2, cbNum3,
         cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9, cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt,
         cbPercent, cbRev, cbEqual, cbNone)
ORV_ENUM(TcxCalcState, csFirst, csValid, csError)

using TcxCalcButtonClick = Event<void(TObject* Sender, TcxCalcButtonKind& ButtonKind)>;
using TcxCalcHidePopupEvent = Event<void(TObject* Sender, TcxEditCloseUpReason AReason)>;

struct TcxCalcButton {
  TcxCalcButtonKind Kind = cbNone;
  AnsiString Text;
  TColor FontColor = clBlack;
  TRect BtnRect{};
  bool Down = false;
  bool Grayed = false;
};

constexpr Integer cxCalcButtonCount = 27;

class TcxCustomCalculator : public TcxControl {
  ORV_CLASS(TcxCustomCalculator, TcxControl)
 public:
  explicit TcxCustomCalculator(TComponent* AOwner);

  // ---- Introduced, in this order ----
  virtual TcxCustomLookAndFeelPainterClass GetPainter();
  // The text the calculator shows and edits; the base keeps none.
  virtual AnsiString GetEditorValue() { return {}; }
  virtual void SetEditorValue(const AnsiString&) {}
  virtual void HidePopup(TObject* Sender, TcxEditCloseUpReason AReason);

  // Runs one button through the state machine.
  void ButtonClick(TcxCalcButtonKind AKind);
  void CopyToClipboard();
  // A text that does not read as a number shows 0.
  void PasteFromClipboard();
  // Pasted text as a number is read: without the locale's currency symbol,
  // trimmed.
  static AnsiString PastedNumberText(AnsiString AText);
  // The number shown; 0 in the error state and for a text that does not
  // read (the display is outside data: it never raises).
  double GetDisplay();
  void SetDisplay(double Value);
  double GetMemory() const { return FMemory; }
  TcxCalcButtonKind GetButtonKindAt(Integer X, Integer Y) const;
  static TcxCalcButtonKind GetButtonKindChar(char AChar);
  static TcxCalcButtonKind GetButtonKindKey(Word AKey, TShiftState AShift);
  // The size for a client area of AWidth by AHeight, which both become.
  void CalcSize(Integer& AWidth, Integer& AHeight);
  // Sizes the control anew for its present area (a resize to the same
  // size would not ask CanResize).
  void RecalcSize();
  void CreateLayout();
  void ResetOperands();
  void Clear();
  void Error();
  void CheckFirst();
  void UpdateMemoryButtons();
  void InvalidateButton(TcxCalcButtonKind AKind);
  void InvalidateMemoryButtons();
  void TrackButton(Integer X, Integer Y);
  void StopTracking();
  void DoButtonDown(TcxCalcButtonKind AKind);
  void DoButtonUp(TcxCalcButtonKind AKind);

  const TcxCalcButton& GetButton(TcxCalcButtonKind AKind) const { return FButtons[AKind]; }
  TcxCalcState GetState() const { return FState; }
  TcxCalcButtonKind GetHotButton() const { return FHotButton; }
  Integer GetButtonHeight() const { return FBtnHeight; }
  Integer GetFontSize() const { return FFontSize; }
  bool GetAutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(bool Value);
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  Integer GetPrecision() const { return FPrecision; }
  void SetPrecision(Integer Value) { FPrecision = Value; }
  bool GetIsPopup() const { return FIsPopup; }
  void SetIsPopup(bool Value) { FIsPopup = Value; }

  TNotifyEvent OnDisplayChange;
  TcxCalcButtonClick OnButtonClick;
  TNotifyEvent OnResult;
  TcxCalcHidePopupEvent OnHidePopup;

  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

 protected:
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave(TControl* AControl) override;
  void FocusChanged() override;
  void FontChanged() override;
  bool NeedsScrollBars() override { return false; }
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)

  // No operator pending, and the next digit starts a number; the memory
  // stays.
  void StartCalculation();

  // The button that keys hold down; cbNone when none.
  TcxCalcButtonKind FActiveButton = cbNone;

 private:
  void SetHotButton(TcxCalcButtonKind AKind);
  TcxButtonState ButtonState(const TcxCalcButton& AButton);
  // The display's digits after a pending operator was applied to x.
  void ApplyOperator(double X);

  bool FAutoFontSize = true;
  bool FBeepOnError = true;
  TFormBorderStyle FBorderStyle = bsNone;
  bool FShowFocusRect = true;
  Integer FFontSize = 8;
  Integer FBtnWidth = 28;
  Integer FBtnHeight = 22;
  Integer FLargeBtnWidth = 47;
  Integer FXSpace = 3;
  Integer FYSpace = 3;
  Integer FCalcWidth = 198;
  Integer FCalcHeight = 131;
  double FMemory = 0;
  double FOperand = 0;
  TcxCalcButtonKind FOperator = cbEqual;
  Integer FPrecision = 15;
  TcxCalcState FState = csFirst;
  TcxCalcButtonKind FHotButton = cbNone;
  TcxCalcButtonKind FDownButton = cbNone;
  bool FTracking = false;
  bool FIsPopup = false;
  TcxCalcButton FButtons[cxCalcButtonCount];
};
