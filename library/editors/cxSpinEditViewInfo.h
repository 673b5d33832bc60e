// The spin editor's buttons laid out and painted. The view data places two
// or four buttons in one of three arrangements (also for a grid cell
// without an editor window) and tells which one a key holds down; the view
// info draws them in every button style so that neighbouring buttons read
// as one block, or through the theme's spin parts.
#pragma once

#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/editors/cxSpinEditProperties.h"

// The button a key holds down: the button's index + 1.
ORV_ENUM(TcxSpinEditPressedState, epsNone, epsDown, epsUp, epsFastDown, epsFastUp)

class TcxSpinEditViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxSpinEditViewData, TcxCustomTextEditViewData)
 public:
  TcxSpinEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {}

  // The inherited layout, then the themed parts' states.
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // Places every button at once, when the last one is laid out.
  void CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                             TRect& ButtonsRect) override;
  void CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                               TRect& ButtonsRect) override;

  TcxCustomSpinEditProperties* GetProperties() const {
    return static_cast<TcxCustomSpinEditProperties*>(TcxCustomEditViewData::GetProperties());
  }
  // The spin buttons are drawn by the theme's spin parts.
  bool IsSpinNative();

  // Set by the editor: the button a key holds down.
  TcxSpinEditPressedState PressedState = epsNone;

 protected:
  // Only while no key holds a button.
  bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) override;
  // The button a key holds down is drawn pressed.
  bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) override;
};

class TcxSpinEditViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxSpinEditViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxSpinEditViewInfo() = default;

  void Assign(TObject* Source) override;
  void Offset(Integer DX, Integer DY) override;

  void DrawButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, TcxEditButtonStyle AButtonStyle,
                        const TRect& R) override;
  // The button's background, then its arrow (double on a fast button,
  // moved by one pixel while pressed, embossed while disabled).
  void DrawButtonContent(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& ABackgroundRect,
                         const TRect& AContentRect, TColor APenColor, TColor ABrushColor) override;

  // The depth of the arrows, in rows.
  Integer ArrowSize = 0;
  TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;
  // The line between themed backward and forward buttons, end points
  // included; none when both are the same point.
  TPoint DelimiterLine[2]{};

 protected:
  // The text editor, then the themed buttons' separating line in the
  // background colour.
  void InternalPaint(TcxCanvas* ACanvas) override;

 private:
  void DrawHotFlatButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, TRect R);
  void DrawUltraFlatButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, bool AIsOffice11, TRect R);
};
