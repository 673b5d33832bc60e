// The radio group laid out and painted without button windows: the
// metrics of radio glyphs beside their captions, the item the value
// checks, the theme's radio states, and each radio glyph and caption
// drawn into a grid cell.
#pragma once

#include "library/editors/cxButtonGroupViewInfo.h"

class TcxCustomRadioGroupProperties;

class TcxRadioGroupButtonViewInfo : public TcxGroupBoxButtonViewInfo {
  ORV_CLASS(TcxRadioGroupButtonViewInfo, TcxGroupBoxButtonViewInfo)
 public:
  TcxRadioGroupButtonViewInfo() = default;
  // A glyph drawn by the painters while a copy is painted, with the caption
  // right of it, stands one pixel further right.
  TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment, bool AIsPaintCopy) override;
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
  ORV_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
 public:
  TcxCustomRadioGroupViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxButtonGroupViewData(AProperties, AStyle, AIsInplace) {}

  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The item the value checks (item 0 for a preview).
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;
  void GetEditMetrics(bool AWidthGiven, TcxCanvas* ACanvas, TcxEditMetrics& AMetrics) override;
  // The caption's offsets from the glyph: (3, -1, 0, -1) themed, else
  // (5, 0, 1, 0).
  TRect GetCaptionRectExtent() override;
  void CalculateButtonNativeState(TcxCustomEditViewInfo* AViewInfo,
                                  TcxGroupBoxButtonViewInfo* AButtonViewInfo) override;
  TcxCustomRadioGroupProperties* GetProperties() const;

  // The radio glyph's size: the themed painter's when the theme applies.
  TSize GetGlyphSize();
};

class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
  ORV_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
 public:
  TcxCustomRadioGroupViewInfo() = default;

  void DrawButtonCaption(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton, const TRect& AGlyphRect) override;
  void DrawButtonGlyph(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton, const TRect& AGlyphRect) override;
  bool IsButtonGlypthTransparent(TcxGroupBoxButtonViewInfo* AButton) override;

  // The item whose glyph is drawn checked; -1 for none.
  Integer ItemIndex = -1;
  TRect CaptionRectExtent{};

 protected:
  TcxEditButtonViewInfoClass GetButtonViewInfoClass() override;
};
