#include "library/grid/vgrid/cxVGridPainter.h"

#include "library/editors/core/cxEditTextUtils.h"
#include "library/foundation/dxThemeManager.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/gdi/DeviceContext.h"

ORV_REGISTER(TcxvgPainter)
ORV_REGISTER(TcxStyle3DPainter)

namespace {

// The explorer bar's parts and states.
constexpr int kGroupCollapse = 6;
constexpr int kGroupExpand = 7;
constexpr int kGroupHead = 8;

}  // namespace

TcxvgPainter::TcxvgPainter(TcxEditingControl* AControl) : TcxCustomControlPainter(AControl) { SetBuffered(true); }

TcxCustomVerticalGrid* TcxvgPainter::GetVerticalGrid() { return static_cast<TcxCustomVerticalGrid*>(GetControl()); }

TcxvgCustomViewInfo* TcxvgPainter::GetViewInfo() { return static_cast<TcxvgCustomViewInfo*>(ViewInfo()); }

void TcxvgPainter::FillRect(const TRect& R, TBitmap* ABitmap) {
  GetCanvas()->FillRect(R, ABitmap && !ABitmap->Empty() ? ABitmap : nullptr);
}

void TcxvgPainter::DoPaint() {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  DrawBackground();
  TcxCanvas* canvas = GetCanvas();
  for (TcxCustomRowViewInfo* row : viewInfo->GetRowsViewInfo())
    if (canvas->RectVisible(row->RowRect)) DrawRow(row);
  DrawLines(viewInfo->GetLinesInfo(), viewInfo->Bounds);
  DrawStyleFeatures();
}

void TcxvgPainter::DrawBackground() {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const TcxViewParams params = GetVerticalGrid()->GetStyles()->GetBackgroundParams();
  TcxRectList* empty = viewInfo->GetViewRects()->GetEmptyRects();
  for (Integer i = 0; i < empty->GetCount(); ++i) {
    const TRect r = empty->GetRect(i);
    if (GetVerticalGrid()->DoDrawBackgroundPart(r, params)) continue;
    GetCanvas()->SetBrushColor(params.Color);
    FillRect(r, params.Bitmap);
  }
}

void TcxvgPainter::DrawLines(TLineInfoList* ALines, const TRect&) {
  TcxCanvas* canvas = GetCanvas();
  bool patterned = false;
  for (Integer i = 0; i < ALines->GetCount(); ++i) {
    const TLineInfo& line = ALines->GetItem(i);
    if (line.IsBrush) {
      canvas->SetBrush(line.Brush);
      patterned = patterned || line.Brush->GetBitmap();
    } else {
      canvas->GetBrush()->SetBitmap(nullptr);
      canvas->SetBrushColor(line.Color);
    }
    canvas->FillRect(line.Rect);
  }
  // The canvas keeps no pattern the view info may free with its brushes.
  if (patterned) canvas->GetBrush()->SetBitmap(nullptr);
}

void TcxvgPainter::DrawRow(TcxCustomRowViewInfo* ARowViewInfo) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxCustomRowHeaderInfo* header = ARowViewInfo->GetHeaderInfo();
  if (dynamic_cast<TcxCategoryRow*>(ARowViewInfo->GetRow())) {
    if (!grid->DoDrawRowHeader(header)) DrawCategoryRowHeader(header);
  } else {
    if (!grid->DoDrawRowHeader(header)) DrawRowHeader(header);
    DrawHeaderSeparators(header);
    DrawValuesSeparators(ARowViewInfo);
    TcxValueInfoList* values = ARowViewInfo->GetValuesInfo();
    TcxCanvas* canvas = GetCanvas();
    for (Integer i = 0; i < values->GetCount(); ++i) {
      TcxRowValueInfo* value = values->GetItem(i);
      BeforeCustomDraw(value);
      if (!grid->DoDrawValue(value) && value->EditViewInfo) {
        // A handler may have set colours without drawing: the cell takes
        // them.
        value->EditViewInfo->TextColor = canvas->GetFont()->GetColor();
        value->EditViewInfo->SetBackgroundColor(canvas->GetBrush()->GetColor());
        DrawRowValueCell(value);
      }
      AfterCustomDraw(value);
    }
  }
  DrawLines(header->GetLinesInfo(), cxNullRect);
}

void TcxvgPainter::DrawRowHeader(TcxCustomRowHeaderInfo* H) {
  DrawRowIndent(H);
  for (Integer i = 0; i < H->GetCaptionCount(); ++i) DrawRowHeaderCell(H->GetCaption(i), H->Transparent);
  if (!cxRectIsEmpty(H->FocusRect)) GetCanvas()->DrawFocusRect(H->FocusRect);
  DrawFocusFrames(H);
}

void TcxvgPainter::DrawFocusFrames(TcxCustomRowHeaderInfo* H) {
  if (!H->GetSelected()) return;
  GetCanvas()->DrawFocusRect(H->HeaderRect);
  GetCanvas()->DrawFocusRect(cxRectInflate(H->HeaderRect, -1, -1));
}

void TcxvgPainter::DrawRowIndent(TcxCustomRowHeaderInfo* H) {
  if (H->Transparent) return;
  if (!GetBuffered()) DrawButton(H);
  TcxCanvas* canvas = GetCanvas();
  for (TIndentInfoList* list : {H->GetCategoryIndents(), H->GetRowIndents()})
    for (Integer i = 0; i < list->GetCount(); ++i) {
      const TIndentInfo& cell = list->GetItem(i);
      canvas->SetBrushColor(cell.ViewParams.Color);
      FillRect(cell.Bounds, cell.ViewParams.Bitmap);
    }
  if (GetBuffered()) DrawButton(H);
}

// The last category cell is under the explorer band and is not filled.
void TcxvgPainter::DrawCategoryRowIndent(TcxCustomRowHeaderInfo* H) {
  if (H->Transparent) return;
  TcxCanvas* canvas = GetCanvas();
  TIndentInfoList* categories = H->GetCategoryIndents();
  for (Integer i = 0; i + 1 < categories->GetCount(); ++i) {
    canvas->SetBrushColor(categories->GetItem(i).ViewParams.Color);
    canvas->FillRect(categories->GetItem(i).Bounds);
  }
  TIndentInfoList* rows = H->GetRowIndents();
  for (Integer i = 0; i < rows->GetCount(); ++i) {
    canvas->SetBrushColor(rows->GetItem(i).ViewParams.Color);
    canvas->FillRect(rows->GetItem(i).Bounds);
  }
}

void TcxvgPainter::DrawButton(TcxCustomRowHeaderInfo* H) {
  if (cxRectIsEmpty(H->ButtonRect)) return;
  Painter()->DrawExpandButton(GetCanvas(), H->ButtonRect, H->GetRow()->GetExpanded(), H->ButtonColor);
  if (!GetBuffered()) GetCanvas()->ExcludeClipRect(H->ButtonRect);
}

void TcxvgPainter::DrawRowHeaderCell(TcxRowCaptionInfo* CI, bool ATransparent) {
  TcxCanvas* canvas = GetCanvas();
  cxApplyViewParams(canvas, CI->ViewParams);
  if (!ATransparent) FillRect(CI->HeaderCellBounds, CI->ViewParams.Bitmap);
  canvas->GetBrush()->SetStyle(bsClear);
  TRect text = CI->CaptionTextRect;
  cxTextOut(canvas, CI->Caption, text, static_cast<Cardinal>(CI->TextFlags));
  canvas->GetBrush()->SetStyle(bsSolid);
  DrawImage(CI);
}

void TcxvgPainter::DrawImage(TcxRowCaptionInfo* CI) {
  if (CI->ImageIndex == -1) return;
  TRect clip;
  if (!cxRectIntersect(clip, CI->ImageRect, CI->HeaderCellBounds)) return;
  TcxCanvas* canvas = GetCanvas();
  const int saved = win::SaveDC(canvas->GetHandle());
  canvas->IntersectClipRect(clip);
  canvas->DrawImage(CI->Images, CI->ImageRect.Left, CI->ImageRect.Top, CI->ImageIndex, true);
  win::RestoreDC(canvas->GetHandle(), saved);
}

void TcxvgPainter::DrawCategoryRowHeader(TcxCustomRowHeaderInfo* H) {
  if (!GetViewInfo()->GetUseCategoryExplorerStyle() || !DrawExplorerCategory(H)) DrawRowHeader(H);
}

bool TcxvgPainter::DrawExplorerCategory(TcxCustomRowHeaderInfo* H) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  TdxTheme theme = OpenTheme(totExplorerBar);
  if (!theme) return false;
  TcxCanvas* canvas = GetCanvas();
  DrawCategoryRowIndent(H);
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->SetBrushColor(H->GetCaptionViewParams().Color);
  TRect R = H->HeaderRect;
  // Below the top level the band starts under the last indent cell.
  if (H->GetRow()->GetLevel() > 0 && H->GetPaintStyle() == psdotNet)
    R.Left = H->IndentBounds.Right - (viewInfo->GetIndentWidth() + viewInfo->GetVertLineWidth());
  canvas->FillRect(R);
  DrawThemeBackground(theme, canvas->GetHandle(), kGroupHead, 0, R);
  if (!cxRectIsEmpty(H->ButtonRect) && H->ButtonRect.Left >= R.Left)
    DrawThemeBackground(theme, canvas->GetHandle(), H->GetRow()->GetExpanded() ? kGroupCollapse : kGroupExpand, 1,
                        H->ButtonRect);
  if (H->GetCaptionCount() > 0) {
    TcxRowCaptionInfo* caption = H->GetCaption(0);
    canvas->GetBrush()->SetStyle(bsClear);
    if (caption->ViewParams.Font) canvas->GetFont()->Assign(caption->ViewParams.Font);
    // The themed band is light whatever the selection: the caption keeps
    // the category's own ink, the focus shows by its rectangle.
    canvas->GetFont()->SetColor(H->ViewParams.TextColor);
    TRect text = caption->CaptionTextRect;
    cxTextOut(canvas, caption->Caption, text, static_cast<Cardinal>(caption->TextFlags));
    canvas->GetBrush()->SetStyle(bsSolid);
    DrawImage(caption);
  }
  DrawLines(H->GetLinesInfo(), cxNullRect);
  if (!cxRectIsEmpty(H->FocusRect) && !GetVerticalGrid()->GetIsDesigning()) canvas->DrawFocusRect(H->FocusRect);
  DrawFocusFrames(H);
  return true;
}

void TcxvgPainter::DrawRowValueCell(TcxRowValueInfo* V) {
  if (cxRectIsEmpty(V->DisplayRect)) return;
  // An editor kind paints its content; the cell's margin around it is the
  // cell's own.
  GetCanvas()->SetBrushColor(V->ViewParams.Color);
  FillRect(V->DisplayRect, V->ViewParams.Bitmap);
  if (V->EditViewInfo) V->EditViewInfo->PaintEx(GetCanvas());
  if (V->GetFocused() && GetViewInfo()->GetCalcHelper()->IsDrawValueFocusRect() && !cxRectIsEmpty(V->FocusRect))
    GetCanvas()->DrawFocusRect(V->DisplayRect);
}

void TcxvgPainter::DrawHeaderDragImage(TcxCustomRowHeaderInfo* H) {
  for (Integer i = 0; i < H->GetCaptionCount(); ++i) DrawRowHeaderCell(H->GetCaption(i), H->Transparent);
  if (dynamic_cast<TcxMultiEditorRowHeaderInfo*>(H)) {
    DrawLines(H->GetLinesInfo(), cxNullRect);
    DrawHeaderSeparators(H);
  }
  const TRect frame(H->IndentBounds.Right, H->HeaderRect.Top, H->HeaderRect.Right, H->HeaderRect.Bottom);
  GetCanvas()->FrameRect(frame, GetViewInfo()->GetBandBorderColor());
}

void TcxStyle3DPainter::DrawStyleFeatures() { DrawLines(GetViewInfo()->GetFocusLinesInfo(), GetViewInfo()->Bounds); }

// ---- Separators of multi-editor rows ----

void TcxvgPainter::DrawSeparator(const TRect& R, const TcxViewParams& AParams, bool ATransparent,
                                 const AnsiString& AText, Integer AFlags) {
  if (cxRectIsEmpty(R)) return;
  TcxCanvas* canvas = GetCanvas();
  cxApplyViewParams(canvas, AParams);
  if (!ATransparent) FillRect(R, AParams.Bitmap);
  canvas->GetBrush()->SetStyle(bsClear);
  TRect text = cxRectInflate(R, -2, -2);
  cxTextOut(canvas, AText, text, static_cast<Cardinal>(AFlags));
  canvas->GetBrush()->SetStyle(bsSolid);
}

void TcxvgPainter::DrawHeaderSeparators(TcxCustomRowHeaderInfo* AHeaderInfo) {
  auto* header = dynamic_cast<TcxMultiEditorRowHeaderInfo*>(AHeaderInfo);
  if (!header) return;
  const TcxMultiEditorRowHeaderInfo::TSeparatorInfo& info = header->SeparatorInfo;
  TcxRectList* rects = header->GetSeparatorRects();
  for (Integer i = 0; i < rects->GetCount(); ++i)
    DrawSeparator(rects->GetRect(i), info.ViewParams, header->Transparent, info.Caption, info.TextFlags);
}

void TcxvgPainter::DrawValuesSeparators(TcxCustomRowViewInfo* ARowViewInfo) {
  auto* row = dynamic_cast<TcxMultiEditorRowViewInfo*>(ARowViewInfo);
  if (!row || row->GetSeparatorRects()->GetCount() == 0) return;
  auto* properties = static_cast<TcxMultiEditorRowProperties*>(row->GetRow()->GetRowProperties());
  const Integer perRecord = std::max(1, properties->GetEditors()->GetCount() - 1);
  const TcxMultiEditorRowHeaderInfo::TSeparatorInfo& info = row->GetMultiHeaderInfo()->SeparatorInfo;
  TcxVerticalGridStyles* styles = GetVerticalGrid()->GetStyles();
  const Integer first = GetViewInfo()->GetFirstVisibleRecordIndex();
  TcxRectList* rects = row->GetSeparatorRects();
  for (Integer i = 0; i < rects->GetCount(); ++i) {
    const TcxViewParams params =
        styles->GetContentParams(properties->GetEditors()->GetItem(0), false, first + i / perRecord);
    DrawSeparator(rects->GetRect(i), params, false, info.Caption, info.TextFlags);
  }
}
