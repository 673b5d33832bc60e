// The button group laid out and painted without button windows: which
// column and row each button takes, how large the editor must be for its
// captions, the state each button shows under the mouse, and the glyph and
// caption of each button drawn into a grid cell. The kind of button (the
// radio group's radio buttons) supplies the metrics, the glyph and the
// caption.
#pragma once

#include "library/editors/cxGroupBoxViewInfo.h"

class TcxCustomButtonGroupProperties;

// The room a button group's layout needs around glyphs and captions; the
// kind of button fills it (GetEditMetrics). Without a canvas only the last
// five are filled.
struct TcxEditMetrics {
  // Taken, with the glyph width, from a column's width to give the caption
  // width when the editor's width is given.
  Integer GlyphTextGapFixed = 0;
  // Added to the available width when the editor's width is given.
  Integer WidthCorrectionFixed = 0;
  // Added, with the glyph width, to each column's caption width when the
  // editor's width is free.
  Integer GlyphTextGapAuto = 0;
  // Added once to the free width.
  Integer WidthCorrectionAuto = 0;
  Integer ButtonLeftIndent = 0;
  // Added to the available width when the buttons are placed.
  Integer WidthCorrectionLayout = 0;
  Integer ColumnSpacing = 0;
  Integer GlyphWidth = 0;
  Integer GlyphHeight = 0;
};

// One button of a button group as the last layout left it.
class TcxGroupBoxButtonViewInfo : public TcxEditButtonViewInfo {
  ORV_CLASS(TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo)
 public:
  TcxGroupBoxButtonViewInfo() = default;

  // The glyph centred vertically in the bounds: at their left when the
  // caption stands right of it (taRightJustify), else at their right.
  virtual TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment, bool AIsPaintCopy);

  Integer Index = 0;
  Integer Column = 0;
  Integer Row = 0;
  // The themed part's background lets what is behind it show.
  bool NativeBackgroundTransparent = false;

 protected:
  void DoAssign(TPersistent* Source) override;
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
  ORV_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)
 public:
  TcxButtonGroupViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxGroupBoxViewData(AProperties, AStyle, AIsInplace) {}

  void CalculateButtonsViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  TcxCustomButtonGroupProperties* GetProperties() const;

  // Introduced, in this order.
  virtual void CalculateButtonPositions(TcxCustomEditViewInfo* AViewInfo);
  virtual void CalculateButtonViewInfos(TcxCustomEditViewInfo* AViewInfo);
  // Left-aligned, vertically centred, accelerators shown; wrapped once the
  // size was asked for a given width under WordWrap.
  virtual Integer GetDrawTextFlags();
  virtual void GetEditMetrics(bool AWidthGiven, TcxCanvas* ACanvas, TcxEditMetrics& AMetrics) = 0;
  virtual TRect GetCaptionRectExtent();
  virtual void CalculateButtonNativeState(TcxCustomEditViewInfo* AViewInfo,
                                          TcxGroupBoxButtonViewInfo* AButtonViewInfo) = 0;
  // Themed buttons: native style asked for and the theme's buttons there.
  virtual bool IsButtonNativeStyle(TcxLookAndFeel* ALookAndFeel);

  // The size was last asked for a given width.
  bool IsSizeMeasuredForWidth() const { return FSizeMeasuredForWidth; }

 protected:
  // The whole size of the editor for its captions: columns of buttons,
  // each row at least a glyph and a line of text high.
  TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize,
                                        TcxCustomEditViewInfo* AViewInfo) override;

 private:
  void CalculateButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P, TcxMouseButton AButton,
                             TShiftState AShift, Integer APrevPressedButton);
  TcxEditButtonStyle GetItemButtonStyle(TcxCustomEditViewInfo* AViewInfo);

  bool FSizeMeasuredForWidth = false;
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
  ORV_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
 public:
  TcxButtonGroupViewInfo() = default;

  TcxGroupBoxButtonViewInfo* GetButton(Integer AIndex) const {
    return static_cast<TcxGroupBoxButtonViewInfo*>(ButtonInfos[AIndex]);
  }

  // Introduced, in this order.
  virtual void DrawButtonCaption(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton, const TRect& AGlyphRect) = 0;
  virtual void DrawButtonGlyph(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton, const TRect& AGlyphRect) = 0;
  virtual TSize GetGlyphSize();
  virtual bool IsButtonGlypthTransparent(TcxGroupBoxButtonViewInfo* AButton) = 0;

  // Where the caption stands beside the glyph.
  TAlignment CaptionAlignment = taLeftJustify;
  // The text flags of the captions (GetDrawTextFlags of the view data).
  Integer CaptionDrawTextFlags = 0;
  TSize GlyphSize{};

 protected:
  void DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex) override;
  TcxEditButtonViewInfoClass GetButtonViewInfoClass() override;
  void DrawPaintCopyButtons(TcxCanvas* ACanvas) override { DrawButtons(ACanvas); }
};
