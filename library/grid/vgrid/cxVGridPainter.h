// The vertical grid's painter: it fills and draws what the view info laid
// out, in one pass, and offers each part to the grid's custom-draw hooks
// first (a hook that answers done has drawn the part itself). The 3-D
// style's painter adds the sunken focused row.
#pragma once

#include "library/grid/vgrid/cxVGridRowViewInfo.h"

class TcxvgPainter : public TcxCustomControlPainter {
  ORV_CLASS(TcxvgPainter, TcxCustomControlPainter)
 public:
  // Always buffered, so that the expand button is drawn over its indent.
  explicit TcxvgPainter(TcxEditingControl* AControl);

  // Background, rows, lines, the style's own features.
  void DoPaint() override;
  virtual void DrawStyleFeatures() {}
  virtual void DrawBackground();
  virtual void DrawButton(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void DrawCategoryRowHeader(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void DrawCategoryRowIndent(TcxCustomRowHeaderInfo* AHeaderInfo);
  // The captions with a frame in the band border colour, for a row drag.
  virtual void DrawHeaderDragImage(TcxCustomRowHeaderInfo* AHeaderInfo);
  // The separator strings of a multi-editor row's header and values.
  virtual void DrawHeaderSeparators(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void DrawImage(TcxRowCaptionInfo* ACaptionInfo);
  virtual void DrawLines(TLineInfoList* ALines, const TRect& R);
  virtual void DrawRow(TcxCustomRowViewInfo* ARowViewInfo);
  virtual void DrawRowHeader(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void DrawRowHeaderCell(TcxRowCaptionInfo* ACaptionInfo, bool ATransparent);
  virtual void DrawRowIndent(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual void DrawRowValueCell(TcxRowValueInfo* AValueInfo);
  virtual void DrawValuesSeparators(TcxCustomRowViewInfo* ARowViewInfo);

  // R with ABitmap tiled when it has one, else with the current brush.
  void FillRect(const TRect& R, TBitmap* ABitmap);
  TcxCustomVerticalGrid* GetVerticalGrid();
  TcxvgCustomViewInfo* GetViewInfo();

 private:
  void DrawSeparator(const TRect& R, const TcxViewParams& AParams, bool ATransparent, const AnsiString& AText,
                     Integer AFlags);
  // The explorer-bar band, glyph and caption; false when the theme is off.
  bool DrawExplorerCategory(TcxCustomRowHeaderInfo* AHeaderInfo);
  void DrawFocusFrames(TcxCustomRowHeaderInfo* AHeaderInfo);
};

// The 3-D look: the focus lines that sink the focused row.
class TcxStyle3DPainter : public TcxvgPainter {
  ORV_CLASS(TcxStyle3DPainter, TcxvgPainter)
 public:
  explicit TcxStyle3DPainter(TcxEditingControl* AControl) : TcxvgPainter(AControl) {}
  void DrawStyleFeatures() override;
};
