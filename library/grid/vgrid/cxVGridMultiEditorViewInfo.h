// The multi-editor row's geometry: several editors side by side in one
// row, each with its caption cell and value cell, the cells spread by the
// editors' widths (kept with Fixed, else scaled to the row) and separated
// by a vertical line or a separator string.
#pragma once

#include "library/grid/vgrid/cxVGridRowViewInfo.h"

class TcxCustomMultiEditorRow;

class TcxMultiEditorRowHeaderInfo : public TcxCustomRowHeaderInfo {
  ORV_CLASS(TcxMultiEditorRowHeaderInfo, TcxCustomRowHeaderInfo)
 public:
  explicit TcxMultiEditorRowHeaderInfo(TcxCustomRow* ARow);
  ~TcxMultiEditorRowHeaderInfo() override;
  void CalcRowCaptionsInfo() override;
  void Clear() override;
  virtual void CalcSeparatorRects(TcxRectList* ACellRects);
  virtual void CalcSeparatorWidth(Integer ADividerWidth);
  virtual void CalcSeparatorStyle();

  struct TSeparatorInfo {
    Integer Width = 0;
    TSeparatorKind Kind = skVertLine;
    AnsiString Caption;
    Integer TextFlags = 0;
    TcxViewParams ViewParams;
  };
  TSeparatorInfo SeparatorInfo;
  // The gaps of string separators in the header.
  TcxRectList* GetSeparatorRects() const { return FSeparatorRects; }

 private:
  TcxRectList* FSeparatorRects;
};

class TcxMultiEditorRowViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxMultiEditorRowViewInfo, TcxCustomRowViewInfo)
 public:
  explicit TcxMultiEditorRowViewInfo(TcxCustomRow* ARow);
  ~TcxMultiEditorRowViewInfo() override;
  void CalcValuesInfo() override;
  Integer GetValueHeight(Integer ARecordIndex, Integer AWidth, TcxvgCustomViewInfo* AViewInfo) override;
  TcxCustomRowHeaderInfo* CreateHeaderInfo() override;
  // A row without editors is filled like a header.
  virtual void CheckEmptyValuesInfo();

  // One cell per editor over ARect, a separator's width apart; null when
  // none results. The caller frees the list.
  static TcxRectList* GetCellRects(TcxCustomMultiEditorRow* ARow, const TRect& ARect, Integer ASeparatorWidth);
  // Line separators go into the header's or the layout's lines, string
  // separators' gaps into ADest.
  void AddSeparatorRects(bool AIsHeader, TcxRectList* ADest, TSeparatorKind AKind, TcxRectList* ACells,
                         const TRect& AClip);
  // The gaps of string separators between the value cells.
  TcxRectList* GetSeparatorRects() const { return FSeparatorRects; }
  TcxMultiEditorRowHeaderInfo* GetMultiHeaderInfo() const {
    return static_cast<TcxMultiEditorRowHeaderInfo*>(GetHeaderInfo());
  }

 private:
  TcxRectList* FSeparatorRects;
};
