#include "library/grid/vgrid/cxVGridMultiEditorViewInfo.h"

#include <algorithm>

#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxGraphics.h"
#include "library/editors/core/cxEditTextUtils.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TcxMultiEditorRowHeaderInfo)
ORV_REGISTER(TcxMultiEditorRowViewInfo)

namespace {

TcxMultiEditorRowProperties* MultiProperties(TcxCustomRow* ARow) {
  return static_cast<TcxMultiEditorRowProperties*>(ARow->GetRowProperties());
}

}  // namespace

// ---------------------------------------------------------------------------

TcxMultiEditorRowHeaderInfo::TcxMultiEditorRowHeaderInfo(TcxCustomRow* ARow)
    : TcxCustomRowHeaderInfo(ARow), FSeparatorRects(New<TcxRectList>()) {}

TcxMultiEditorRowHeaderInfo::~TcxMultiEditorRowHeaderInfo() { FSeparatorRects->Free(); }

void TcxMultiEditorRowHeaderInfo::Clear() {
  inherited::Clear();
  FSeparatorRects->Clear();
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorWidth(Integer ADividerWidth) {
  TcxMultiEditorRowProperties* properties = MultiProperties(GetRow());
  SeparatorInfo.Kind = properties->GetSeparatorKind();
  SeparatorInfo.Caption = properties->GetSeparatorString();
  if (SeparatorInfo.Kind == skString) {
    TcxScreenCanvas* canvas = cxScreenCanvas();
    canvas->SetFont(GetCaptionViewParams().Font);
    SeparatorInfo.Width = canvas->TextWidth(SeparatorInfo.Caption + "0");
  } else {
    SeparatorInfo.Width = ADividerWidth;
  }
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorStyle() {
  SeparatorInfo.ViewParams = GetCaptionViewParams();
  const TcxAlignmentVert vert = MultiProperties(GetRow())->GetSeparatorAlignmentVert();
  const TcxTextAlignY alignY = vert == vaCenter ? taCenterY : vert == vaBottom ? taBottom : taTop;
  SeparatorInfo.TextFlags = static_cast<Integer>(cxMakeFormat(taCenterX, alignY) | cxtfSingleLine);
}

void TcxMultiEditorRowHeaderInfo::CalcRowCaptionsInfo() {
  CalcSeparatorWidth(GetViewInfo()->GetDividerWidth());
  CalcSeparatorStyle();
  auto* row = static_cast<TcxCustomMultiEditorRow*>(GetRow());
  TcxRectList* cells = TcxMultiEditorRowViewInfo::GetCellRects(row, HeaderCellsRect, SeparatorInfo.Width);
  if (!cells) return;
  TcxEditorPropertiesCollection* editors = MultiProperties(row)->GetEditors();
  for (Integer i = 0; i < cells->GetCount() && i < editors->GetCount(); ++i)
    if (cells->GetRect(i).Left < HeaderCellsRect.Right) CalcCaptionInfo(editors->GetItem(i), cells->GetRect(i));
  CalcSeparatorRects(cells);
  cells->Free();
}

void TcxMultiEditorRowHeaderInfo::CalcSeparatorRects(TcxRectList* ACellRects) {
  auto* rowViewInfo = static_cast<TcxMultiEditorRowViewInfo*>(GetRow()->GetViewInfo());
  rowViewInfo->AddSeparatorRects(true, FSeparatorRects, SeparatorInfo.Kind, ACellRects, HeaderCellsRect);
}

// ---------------------------------------------------------------------------

TcxMultiEditorRowViewInfo::TcxMultiEditorRowViewInfo(TcxCustomRow* ARow)
    : TcxCustomRowViewInfo(ARow), FSeparatorRects(New<TcxRectList>()) {}

TcxMultiEditorRowViewInfo::~TcxMultiEditorRowViewInfo() { FSeparatorRects->Free(); }

TcxCustomRowHeaderInfo* TcxMultiEditorRowViewInfo::CreateHeaderInfo() {
  return New<TcxMultiEditorRowHeaderInfo>(GetRow());
}

TcxRectList* TcxMultiEditorRowViewInfo::GetCellRects(TcxCustomMultiEditorRow* ARow, const TRect& ARect,
                                                      Integer ASeparatorWidth) {
  TcxMultiEditorRowProperties* properties = MultiProperties(ARow);
  TcxEditorPropertiesCollection* editors = properties->GetEditors();
  if (editors->GetCount() == 0) return nullptr;
  const Integer minWidth = ARow->GetVerticalGrid()->GetOptionsView()->GetRowHeaderMinWidth();
  TOwned<TRectScaler> scaler(New<TRectScaler>());
  for (Integer i = 0; i < editors->GetCount(); ++i)
    scaler->Add(editors->GetItem(i)->GetWidth(), minWidth, i + 1 < editors->GetCount() ? ASeparatorWidth : 0);
  if (properties->GetFixed())
    scaler->CalcRect(ARect);
  else
    scaler->ScaleRect(ARect);
  TcxRectList* source = scaler->GetRects();
  if (source->GetCount() == 0) return nullptr;
  auto* cells = New<TcxRectList>();
  for (Integer i = 0; i < source->GetCount(); ++i) cells->Add(source->GetRect(i));
  return cells;
}

void TcxMultiEditorRowViewInfo::AddSeparatorRects(bool AIsHeader, TcxRectList* ADest, TSeparatorKind AKind,
                                                  TcxRectList* ACells, const TRect& AClip) {
  if (!ACells) return;
  TcxvgCustomViewInfo* viewInfo = ViewInfo;
  const TColor color = GetHeaderInfo()->GetCaptionViewParams().Color;
  for (Integer i = 0; i + 1 < ACells->GetCount(); ++i) {
    const TRect cell = ACells->GetRect(i);
    TRect R;
    if (AKind == skVertLine) {
      if (!cxRectIntersect(R, TRect(cell.Right - viewInfo->GetDividerWidth(), cell.Top, cell.Right, cell.Bottom), AClip))
        continue;
      viewInfo->GetCalcHelper()->AddDivider(AIsHeader ? GetHeaderInfo()->GetLinesInfo() : viewInfo->GetLinesInfo(), R,
                                            color, true);
    } else if (cxRectIntersect(R, TRect(cell.Right, cell.Top, ACells->GetRect(i + 1).Left, cell.Bottom), AClip)) {
      ADest->Add(R);
    }
  }
}

void TcxMultiEditorRowViewInfo::CalcValuesInfo() {
  FSeparatorRects->Clear();
  auto* row = static_cast<TcxCustomMultiEditorRow*>(GetRow());
  TcxEditorPropertiesCollection* editors = MultiProperties(row)->GetEditors();
  TcxMultiEditorRowHeaderInfo* header = GetMultiHeaderInfo();
  const Integer count = ViewInfo->GetVisibleValueCount();
  const Integer first = ViewInfo->GetFirstVisibleRecordIndex();
  Integer M = 0;
  for (Integer i = 0; i < count; ++i) {
    const TRect R = ViewInfo->GetValueRect(i, this);
    if (TcxRectList* cells = GetCellRects(row, R, header->SeparatorInfo.Width)) {
      M = std::min(cells->GetCount(), row->GetEditContainerCount());
      for (Integer j = 0; j < M; ++j) {
        const TRect cell = cells->GetRect(j);
        if (cxRectIsEmpty(cell)) continue;
        ViewInfo->CalcEditCell(cell, CalcRowValueInfo(editors->GetItem(j), ViewInfo, first + i, j));
      }
      AddSeparatorRects(false, FSeparatorRects, header->SeparatorInfo.Kind, cells, R);
      cells->Free();
    }
    AddRectValueLines(R, i == count - 1 || R.Right >= ViewInfo->GetClientRect().Right);
  }
  GetValuesInfo()->Keep(first, count, M);
  CheckEmptyValuesInfo();
}

void TcxMultiEditorRowViewInfo::CheckEmptyValuesInfo() {
  if (MultiProperties(GetRow())->GetEditors()->GetCount() > 0 || cxRectWidth(ValuesRect) <= 0) return;
  GetHeaderInfo()->GetLinesInfo()->Add(RowRect, GetHeaderInfo()->GetCaptionViewParams().Color);
  AddRectValueLines(ValuesRect, true);
}

Integer TcxMultiEditorRowViewInfo::GetValueHeight(Integer ARecordIndex, Integer AWidth,
                                                   TcxvgCustomViewInfo* AViewInfo) {
  auto* row = static_cast<TcxCustomMultiEditorRow*>(GetRow());
  TcxEditorPropertiesCollection* editors = MultiProperties(row)->GetEditors();
  const Integer separator = GetMultiHeaderInfo()->SeparatorInfo.Width;
  TcxRectList* cells = GetCellRects(row, cxRectBounds(0, 0, AWidth, 0), separator);
  if (!cells) return -1;
  Integer height = -1;
  const Integer M = std::min(cells->GetCount(), row->GetEditContainerCount());
  for (Integer j = 0; j < M; ++j) {
    const TRect cell = cells->GetRect(j);
    if (cxRectWidth(cell) <= 0) continue;
    TcxRowValueInfo* value = CalcRowValueInfo(editors->GetItem(j), AViewInfo, ARecordIndex, j);
    if (!value) continue;
    value->DisplayRect = cxRectBounds(0, 0, cxRectWidth(cell), 0);
    value->ClipRect = value->DisplayRect;
    value->EditRect = value->DisplayRect;
    height = std::max(height, value->CalculateEditHeight());
  }
  cells->Free();
  GetValuesInfo()->Keep(AViewInfo->GetFirstVisibleRecordIndex(), AViewInfo->GetVisibleValueCount(), M);
  return height;
}
