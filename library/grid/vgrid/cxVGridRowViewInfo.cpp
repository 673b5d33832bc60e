#include "library/grid/vgrid/cxVGridRowViewInfo.h"

#include <algorithm>

#include "library/editors/core/cxEditTextUtils.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxRowCaptionInfo)
ORV_REGISTER(TcxCustomRowHeaderInfo)
ORV_REGISTER(TcxCategoryRowHeaderInfo)
ORV_REGISTER(TcxEditorRowHeaderInfo)
ORV_REGISTER(TcxRowValueInfo)
ORV_REGISTER(TcxValueInfoList)
ORV_REGISTER(TcxCustomRowViewInfo)
ORV_REGISTER(TcxCategoryRowViewInfo)
ORV_REGISTER(TcxEditorRowViewInfo)

namespace {

TcxCaptionRowProperties* CaptionPropertiesOf(TcxCustomRow* ARow) {
  if (auto* caption = dynamic_cast<TcxCaptionRowProperties*>(ARow->GetRowProperties())) return caption;
  if (auto* multi = dynamic_cast<TcxMultiEditorRowProperties*>(ARow->GetRowProperties()))
    if (multi->GetEditors()->GetCount() > 0) return multi->GetEditors()->GetItem(0);
  return nullptr;
}

TcxCustomVerticalGrid* GridOf(TcxCustomRow* ARow) { return ARow->GetVerticalGrid(); }

}  // namespace

// ---------------------------------------------------------------------------
// Caption cells

void TcxRowCaptionInfo::BeforeDestruction() {
  inherited::BeforeDestruction();
  Retire();
}

void TcxRowCaptionInfo::Retire() {
  TcxCustomVerticalGrid* grid = Row ? GridOf(Row) : nullptr;
  if (!grid || grid->GetIsDestroying()) return;
  TcxCustomControlController* controller = grid->GetController();
  TcxHotTrackController* hotTrack = controller ? controller->GetHotTrackController() : nullptr;
  if (hotTrack && (hotTrack->GetHotElement() == this || hotTrack->GetHintElement() == this))
    hotTrack->CheckDestroyingElement(this);
}

bool TcxRowCaptionInfo::IsNeedHint(TcxCanvas* ACanvas, const TPoint&, AnsiString& AText, bool& AIsMultiLine,
                                   TRect& ATextRect, bool& IsNeedOffsetHint) {
  AIsMultiLine = false;
  ACanvas->SetFont(ViewParams.Font);
  AText = Properties ? Properties->GetHint() : AnsiString();
  if (!AText.empty()) {
    const TSize extent = ACanvas->TextExtent(AText);
    ATextRect = cxRectBounds(HeaderCellBounds.Left, HeaderCellBounds.Top, extent.cx, extent.cy);
    IsNeedOffsetHint = true;
    return true;
  }
  AText = Caption;
  IsNeedOffsetHint = false;
  TRect visible = CaptionTextRect;
  if (HeaderInfo) cxRectIntersect(visible, visible, HeaderInfo->HeaderRect);
  if (Row && GridOf(Row)) cxRectIntersect(visible, visible, GridOf(Row)->GetClientBounds());
  const TSize extent = ACanvas->TextExtent(AText);
  if (cxRectWidth(visible) >= extent.cx - 1 && cxRectHeight(visible) >= extent.cy - 1) return false;
  ATextRect = visible;
  return true;
}

// ---------------------------------------------------------------------------
// Row headers

TcxCustomRowHeaderInfo::TcxCustomRowHeaderInfo(TcxCustomRow* ARow)
    : FCategoryIndents(New<TIndentInfoList>()),
      FLinesInfo(New<TLineInfoList>()),
      FRowIndents(New<TIndentInfoList>()),
      FIndentsInfo(New<TIndentRectInfoList>()),
      FRow(ARow) {}

TcxCustomRowHeaderInfo::~TcxCustomRowHeaderInfo() {
  for (TcxRowCaptionInfo* caption : FCaptions) caption->Free();
  FreeAndNil(FCategoryIndents);
  FreeAndNil(FLinesInfo);
  FreeAndNil(FRowIndents);
  FreeAndNil(FIndentsInfo);
}

void TcxCustomRowHeaderInfo::Clear() {
  // The caption objects are kept for the next calculation, but what they
  // stood for is gone: a hint over a caption that scrolled away (or whose
  // row changed) must not stay behind with another row's text.
  for (Integer i = 0; i < FCaptionCount; ++i) FCaptions[static_cast<size_t>(i)]->Retire();
  FCaptionCount = 0;
  FLinesInfo->Clear();
  FCategoryIndents->Clear();
  FRowIndents->Clear();
  ButtonRect = cxNullRect;
  FocusRect = cxNullRect;
}

TcxRowCaptionInfo* TcxCustomRowHeaderInfo::AddCaption() {
  if (FCaptionCount == static_cast<Integer>(FCaptions.size())) FCaptions.push_back(New<TcxRowCaptionInfo>());
  return FCaptions[static_cast<size_t>(FCaptionCount++)];
}

TcxvgPaintStyle TcxCustomRowHeaderInfo::GetPaintStyle() {
  return GridOf(FRow)->GetOptionsView()->GetPaintStyle();
}

bool TcxCustomRowHeaderInfo::GetSelected() {
  TcxCustomDesignSelectionHelper* helper = GridOf(FRow)->GetDesignSelectionHelper();
  return helper && helper->IsObjectSelected(FRow);
}

bool TcxCustomRowHeaderInfo::GetShowButton() {
  TcxvgOptionsView* options = GridOf(FRow)->GetOptionsView();
  return options->GetShowButtons() && options->GetShowHeaders() && FRow->GetOptions()->GetShowExpandButton() &&
         FRow->HasVisibleChildren();
}

void TcxCustomRowHeaderInfo::Calc(const TRect& ARect, TcxvgCustomViewInfo* AViewInfo, TcxCustomRow* ANextRow,
                                  bool AFull) {
  FViewInfo = AViewInfo;
  Clear();
  Transparent = false;
  HeaderRect = ARect;
  Focused = GridOf(FRow)->GetFocusedRow() == FRow;
  CalcViewParams(AFull);
  CalcIndentBounds(ANextRow, AFull);
  CalcExpandButton();
  AddBoundHeaderLines();
  HeaderCellsRect = ARect;
  HeaderCellsRect.Left = IndentBounds.Right;
  if (cxRectIsEmpty(HeaderCellsRect)) {
    HeaderCellsRect = cxNullRect;
    return;
  }
  AddRightVertLine(ARect);
  CalcRowCaptionsInfo();
  FocusRect = GetFocusRect();
}

void TcxCustomRowHeaderInfo::CalcViewParams(bool AFull) {
  TcxVerticalGridStyles* styles = GridOf(FRow)->GetStyles();
  ViewParams = styles->GetHeaderParams(FRow);
  CaptionViewParams =
      AFull && Focused && GetPaintStyle() == psdotNet ? styles->GetSelectedHeaderParams(FRow) : ViewParams;
}

void TcxCustomRowHeaderInfo::CalcIndentsInfo(Integer ALevel, TcxCustomRow* ANextRow) {
  FIndentsInfo->Clear();
  const Integer nextLevel = ANextRow ? ANextRow->GetLevel() : -1;
  const Integer indentWidth = FViewInfo->GetIndentWidth();
  const Integer height = cxRectHeight(HeaderRect);
  TcxvgCustomPaintStyleCalcHelper* calc = FViewInfo->GetCalcHelper();
  // ALevel is the row's own level, so k is the level of the ancestor the
  // walk stands on: asking each ancestor for its level would walk up the
  // tree again for every indent, the square of the depth.
  TcxCustomRow* row = FRow;
  for (Integer k = ALevel; k >= 0 && row; --k, row = row->GetParent()) {
    const bool category = dynamic_cast<TcxCategoryRow*>(row) != nullptr;
    const bool underline = category ? (!ANextRow || k >= nextLevel) : row == FRow;
    FIndentsInfo->Add(TSize{indentWidth, height}, category, calc->GetIndentViewParams(FRow, row), underline);
  }
}

// One indent cell per level: a category ancestor has a cell of its own in
// its colour, runs of other ancestors share one cell in the colour of the
// last of them.
void TcxCustomRowHeaderInfo::CalcIndentBounds(TcxCustomRow* ANextRow, bool AFull) {
  const Integer H = cxRectHeight(HeaderRect);
  TRect P = cxRectBounds(HeaderRect.Left, HeaderRect.Top, 0, H);
  if (!AFull) {
    IndentBounds = P;
    return;
  }
  const Integer L = FViewInfo->GetShowHeaders() ? FRow->GetLevel() : -1;
  const Integer NL = ANextRow ? ANextRow->GetLevel() : -1;
  const Integer V = FViewInfo->GetVertLineWidth();
  const Integer indentWidth = FViewInfo->GetIndentWidth();
  CalcIndentsInfo(L, ANextRow);
  auto entry = [&](Integer ALevelIndex) -> const TIndentRectInfo& { return FIndentsInfo->GetItem(L - ALevelIndex); };
  Integer X = 0, Q = 0;
  for (Integer i = 0; i <= L; ++i) {
    const TIndentRectInfo& e = entry(i);
    if (e.IsCategory) {
      if (cxRectWidth(P) > 0) {
        P.Right += V;
        TRect clipped;
        if (cxRectIntersect(clipped, P, HeaderRect))
          AddNextIndentInfo(clipped, entry(Q).ViewParams, false, NL - i < 1, true);
        X += V;
      }
      const TRect cell = cxRectBounds(HeaderRect.Left + X, HeaderRect.Top, indentWidth + V, H);
      if (cxRectIntersect(cell, HeaderRect)) AddNextIndentInfo(cell, e.ViewParams, true, e.Underline, i < L);
      if (i < L || IncreaseBoundsByLastVertLine()) X += V;
      P = cxRectBounds(HeaderRect.Left + X + indentWidth, HeaderRect.Top, 0, H);
    } else {
      P.Right += indentWidth;
      Q = i;
    }
    X += indentWidth;
  }
  TRect clipped;
  if (L >= 0 && cxRectIntersect(clipped, P, HeaderRect)) AddNextIndentInfo(clipped, entry(Q).ViewParams, false, true, false);
  IndentBounds = cxRectBounds(HeaderRect.Left, HeaderRect.Top, X, H);
}

void TcxCustomRowHeaderInfo::AddNextIndentInfo(const TRect& R, const TcxViewParams& AViewParams, bool AToCategories,
                                               bool AUnderline, bool ARightLine) {
  (AToCategories ? FCategoryIndents : FRowIndents)->Add(R, AViewParams);
  FViewInfo->GetCalcHelper()->AddHeaderIndentLines(this, R, AViewParams, AToCategories, AUnderline, ARightLine);
}

void TcxCustomRowHeaderInfo::CalcExpandButton() {
  if (!GetShowButton()) return;
  DoCalcExpandButton();
  ButtonColor = GetButtonColor();
}

Integer TcxCustomRowHeaderInfo::GetButtonPlaceBackgroundWidth() { return FViewInfo->GetIndentWidth(); }

void TcxCustomRowHeaderInfo::DoCalcExpandButton() {
  const TRect place(IndentBounds.Right - GetButtonPlaceBackgroundWidth(), IndentBounds.Top, IndentBounds.Right,
                    IndentBounds.Bottom);
  const Integer size = FViewInfo->GetExpandButtonSize();
  ButtonRect = cxRectCenter(place, size, size);
}

void TcxCustomRowHeaderInfo::AddBoundHeaderLines() { FViewInfo->GetCalcHelper()->AddBoundHeaderLines(this); }

void TcxCustomRowHeaderInfo::AddBottomHorzLine(const TRect& R) {
  const Integer HL = FViewInfo->GetHorzLineWidth();
  if (HL > 0) FLinesInfo->Add(R.Left, R.Bottom, cxRectWidth(R), HL, FViewInfo->GetHorzLineBrush());
}

void TcxCustomRowHeaderInfo::AddRightVertLine(const TRect& R) {
  if (FViewInfo->GetShowHeaders()) FViewInfo->GetCalcHelper()->AddDivider(FLinesInfo, R, clNone, false);
}

void TcxCustomRowHeaderInfo::CalcRowCaptionsInfo() {
  if (TcxCaptionRowProperties* properties = CaptionPropertiesOf(FRow)) CalcCaptionInfo(properties, HeaderCellsRect);
}

TcxRowCaptionInfo* TcxCustomRowHeaderInfo::CalcCaptionInfo(TcxCaptionRowProperties* AProperties, const TRect& ARect) {
  TcxCustomVerticalGrid* grid = GridOf(FRow);
  TcxRowCaptionInfo* caption = AddCaption();
  caption->Row = FRow;
  caption->HeaderInfo = this;
  caption->Properties = AProperties;
  caption->HeaderCellBounds = ARect;
  caption->Images = grid->GetImages();
  const TSize imageSize = FViewInfo->GetImageSize();
  Integer IW = imageSize.cx;
  caption->ImageIndex = -1;
  if (caption->Images) {
    const Integer index = AProperties->GetImageIndex();
    if (index >= 0 && index < caption->Images->GetCount())
      caption->ImageIndex = index;
    else if (!grid->GetOptionsView()->GetShowEmptyRowImage())
      IW = 0;
  } else {
    IW = 0;
  }
  const Integer T = ARect.Top + (cxRectHeight(ARect) - imageSize.cy) / 2;
  caption->ImageRect = cxRectBounds(ARect.Left, T, IW, imageSize.cy);
  const Integer imageRight = caption->ImageRect.Right;
  caption->CaptionTextRect = cxRectInflate(
      TRect(imageRight + 1, ARect.Top, imageRight + 1 + std::max(0, ARect.Right - imageRight - 2), ARect.Bottom), -2,
      -2);
  Integer flags = AProperties->GetHeaderTextFlags() | static_cast<Integer>(cxtfSingleLine);
  if (grid->GetOptionsView()->GetCellEndEllipsis()) flags |= static_cast<Integer>(cxtfEndEllipsis);
  caption->TextFlags = flags;
  caption->ViewParams = GetCaptionViewParams();
  caption->Caption = AProperties->GetCaption();
  caption->Focused = Focused;
  return caption;
}

Integer TcxCustomRowHeaderInfo::LeftViewPoint() {
  if (GetPaintStyle() == psdotNet && FRowIndents->GetCount() > 0)
    return FRowIndents->GetItem(FRowIndents->GetCount() - 1).Bounds.Left;
  return HeaderRect.Left;
}

// ---- Category headers ----

void TcxCategoryRowHeaderInfo::CalcViewParams(bool AFull) {
  TcxVerticalGridStyles* styles = GridOf(GetRow())->GetStyles();
  ViewParams = styles->GetCategoryParams(GetRow());
  CaptionViewParams = ViewParams;
  if (AFull && Focused && GetPaintStyle() == psdotNet) {
    // The selection's colours; the caption keeps the category's font.
    CaptionViewParams = styles->GetSelectedHeaderParams(GetRow());
    CaptionViewParams.Font = ViewParams.Font;
  }
}

void TcxCategoryRowHeaderInfo::AddBottomHorzLine(const TRect& R) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer HL = viewInfo->GetHorzLineWidth(), V = viewInfo->GetVertLineWidth();
  if (HL > 0) GetLinesInfo()->Add(R.Left - V, R.Bottom, cxRectWidth(R) + 2 * V, HL, viewInfo->GetHorzLineBrush());
}

void TcxCategoryRowHeaderInfo::AddRightVertLine(const TRect&) {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  const Integer V = viewInfo->GetVertLineWidth();
  if (V >= 1)
    GetLinesInfo()->Add(HeaderRect.Right, HeaderRect.Top, V, cxRectHeight(HeaderRect) + viewInfo->GetHorzLineWidth(),
                        viewInfo->GetBandBorderColor());
}

void TcxCategoryRowHeaderInfo::DoCalcExpandButton() {
  TcxvgCustomViewInfo* viewInfo = GetViewInfo();
  if (GetRow()->HasVisibleChildren() && viewInfo->GetUseCategoryExplorerStyle()) {
    const TSize size = viewInfo->GetExplorerButtonSize();
    const TRect place(HeaderRect.Right - size.cx - 2, HeaderRect.Top, HeaderRect.Right, HeaderRect.Bottom);
    ButtonRect = cxRectCenter(place, size.cx, size.cy);
    return;
  }
  inherited::DoCalcExpandButton();
}

void TcxCategoryRowHeaderInfo::CalcRowCaptionsInfo() {
  if (GetViewInfo()->GetUseCategoryExplorerStyle() && !cxRectIsEmpty(ButtonRect))
    HeaderCellsRect.Right = std::max(HeaderCellsRect.Left, ButtonRect.Left);
  inherited::CalcRowCaptionsInfo();
}

// The category's own colour: the button's sign stays readable on a
// focused category, whose caption takes the selection colour.
TColor TcxCategoryRowHeaderInfo::GetButtonColor() { return GetPaintStyle() == psdotNet ? ViewParams.Color : clWindow; }

TRect TcxCategoryRowHeaderInfo::GetFocusRect() { return GetViewInfo()->GetCalcHelper()->GetCategoryFocusRect(this); }

Integer TcxCategoryRowHeaderInfo::LeftViewPoint() {
  if (GetPaintStyle() == psdotNet) return IndentBounds.Right;
  return inherited::LeftViewPoint();
}

// ---------------------------------------------------------------------------
// Value cells

void TcxRowValueInfo::DoCalculate() {
  EditContainer()->Calculate(this);
  FocusRect = GetFocused() ? DisplayRect : cxNullRect;
}

TcxEditButtonTransparency TcxRowValueInfo::GetButtonTransparency() { return inherited::GetButtonTransparency(); }

Variant TcxRowValueInfo::GetDisplayValue() {
  TcxCustomDataController* data = GetControl()->GetDataController();
  if (RecordIndex >= 0 && RecordIndex < data->GetRowCount())
    return EditContainer()->GetDisplayValue(Properties, RecordIndex);
  return Variant();
}

TcxViewParams TcxRowValueInfo::GetEditViewParams() {
  auto* grid = static_cast<TcxCustomVerticalGrid*>(GetControl());
  return grid->GetStyles()->GetContentParams(GetEditorRowProperties(), GetFocused(), RecordIndex);
}

bool TcxRowValueInfo::GetFocused() {
  TcxCellEdit* container = EditContainer();
  auto* grid = static_cast<TcxCustomVerticalGrid*>(GetControl());
  return container->GetFocusedCellViewInfo() == this &&
         RecordIndex == grid->GetDataController()->GetFocusedRowIndex() && Row == grid->GetFocusedRow();
}

TColor TcxRowValueInfo::GetSelectedTextColor() {
  const TColor color = static_cast<TcxCustomVerticalGrid*>(GetControl())->GetStyles()->GetIncSearchParams().TextColor;
  return color == clDefault ? inherited::GetSelectedTextColor() : color;
}

TColor TcxRowValueInfo::GetSelectedBKColor() {
  const TColor color = static_cast<TcxCustomVerticalGrid*>(GetControl())->GetStyles()->GetIncSearchParams().Color;
  return color == clDefault ? inherited::GetSelectedBKColor() : color;
}

bool TcxRowValueInfo::IsAutoHeight() {
  if (!Properties || !Properties->GetSupportedOperations().Contains(esoAutoHeight)) return false;
  TcxvgCustomViewInfo* viewInfo = static_cast<TcxCustomVerticalGrid*>(GetControl())->GetVGViewInfo();
  return viewInfo && viewInfo->GetRowAutoHeight(Row);
}

void TcxValueInfoList::Trunc(Integer ACount) {
  while (GetCount() > ACount) {
    TcxRowValueInfo* cell = FItems.back();
    FItems.pop_back();
    FViewInfo->RemoveEditCellViewInfo(cell);
  }
}

void TcxValueInfoList::Keep(Integer AFirstRecord, Integer ARecordCount, Integer ACellCount) {
  std::vector<TcxRowValueInfo*> kept;
  kept.reserve(FItems.size());
  for (TcxRowValueInfo* cell : FItems) {
    if (cell->RecordIndex >= AFirstRecord && cell->RecordIndex < AFirstRecord + ARecordCount &&
        cell->CellIndex < ACellCount)
      kept.push_back(cell);
    else
      FViewInfo->RemoveEditCellViewInfo(cell);
  }
  FItems.swap(kept);
}

TcxRowValueInfo* TcxValueInfoList::Find(Integer ARecordIndex, Integer ACellIndex) const {
  for (TcxRowValueInfo* cell : FItems)
    if (cell->RecordIndex == ARecordIndex && cell->CellIndex == ACellIndex) return cell;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Row view infos

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxCustomRow* ARow) : FRow(ARow) {}

void TcxCustomRowViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  ViewInfo = GridOf(FRow)->GetVGViewInfo();
  FHeaderInfo = CreateHeaderInfo();
  FValuesInfo = New<TcxValueInfoList>(ViewInfo);
  ViewInfo->RowViewInfoCreated(this);
}

TcxCustomRowViewInfo::~TcxCustomRowViewInfo() {
  FRow->ViewInfoDestroyed();
  if (ViewInfo) ViewInfo->RowViewInfoDestroying(this);
  FreeAndNil(FValuesInfo);
  FreeAndNil(FHeaderInfo);
}

TcxCustomRowHeaderInfo* TcxCustomRowViewInfo::CreateHeaderInfo() { return New<TcxEditorRowHeaderInfo>(FRow); }

TcxEditCellViewInfoClass TcxCustomRowViewInfo::GetRowValueInfoClass() { return TcxRowValueInfo::StaticClass(); }

void TcxCustomRowViewInfo::Calc(const TRect& ARect, TcxvgCustomViewInfo* AViewInfo, TcxCustomRow* ANextRow) {
  ViewInfo = AViewInfo;
  RowRect = ARect;
  AViewInfo->CalcRowRects(this);
  CalcRowHeaderInfo(ANextRow);
  CalcValuesInfo();
  CalcPaintViewParamsLines(ANextRow);
}

void TcxCustomRowViewInfo::CalcRowHeaderInfo(TcxCustomRow* ANextRow) {
  FHeaderInfo->Calc(FHeaderInfo->HeaderRect, ViewInfo, ANextRow, true);
}

void TcxCustomRowViewInfo::CalcPaintViewParamsLines(TcxCustomRow* ANextRow) {
  ViewInfo->GetCalcHelper()->CalcPaintViewParamsLines(this, ANextRow);
}

void TcxCustomRowViewInfo::Update() {
  TcxCustomVerticalGrid* grid = GridOf(FRow);
  if (grid->GetFocusedRow() == FRow) {
    ViewInfo->ChangeFocusedRow(FRow, ViewInfo->GetVisibleRow(FRow->GetVisibleIndex() - 1));
    return;
  }
  TLineInfoList* lines = ViewInfo->GetLinesInfo();
  TLineInfoList* focusLines = ViewInfo->GetFocusLinesInfo();
  lines->SetLocked(true);
  focusLines->SetLocked(true);
  {
    orv::ScopeExit unlock([lines, focusLines] {
      lines->SetLocked(false);
      focusLines->SetLocked(false);
    });
    Calc(RowRect, ViewInfo, ViewInfo->GetVisibleRow(FRow->GetVisibleIndex() + 1));
  }
  grid->InvalidateRect(RowRect, false);
}

void TcxCustomRowViewInfo::UpdateRecord(Integer ARecordIndex) {
  CalcValuesInfo();
  for (Integer i = 0; i < FValuesInfo->GetCount(); ++i) {
    TcxRowValueInfo* cell = FValuesInfo->GetItem(i);
    if (cell->RecordIndex != ARecordIndex) continue;
    cell->Invalidate(true);
    cell->UpdateEditRect();
  }
}

TcxRowValueInfo* TcxCustomRowViewInfo::CalcRowValueInfo(TcxCustomEditorRowProperties*, TcxvgCustomViewInfo* AViewInfo,
                                                        Integer ARecordIndex, Integer ACellIndex) {
  ViewInfo = AViewInfo;
  auto* container = dynamic_cast<TcxCellEdit*>(FRow->GetEditContainer(ACellIndex));
  if (!container) return nullptr;
  if (TcxRowValueInfo* cell = FValuesInfo->Find(ARecordIndex, ACellIndex)) return cell;
  auto* cell = static_cast<TcxRowValueInfo*>(AViewInfo->AddEditCellViewInfo(GetRowValueInfoClass(), container));
  cell->Row = FRow;
  cell->RecordIndex = ARecordIndex;
  cell->CellIndex = ACellIndex;
  container->InitEditViewInfo(cell);
  FValuesInfo->Add(cell);
  return cell;
}

void TcxCustomRowViewInfo::AddRectValueLines(const TRect& R, bool ALast) { ViewInfo->AddRectValueLines(R, ALast); }

void TcxCategoryRowViewInfo::CalcRowHeaderInfo(TcxCustomRow* ANextRow) {
  GetHeaderInfo()->HeaderRect = RowRect;
  ValuesRect = cxNullRect;
  inherited::CalcRowHeaderInfo(ANextRow);
}

TcxCustomRowHeaderInfo* TcxCategoryRowViewInfo::CreateHeaderInfo() { return New<TcxCategoryRowHeaderInfo>(GetRow()); }

TcxCustomRowHeaderInfo* TcxEditorRowViewInfo::CreateHeaderInfo() { return New<TcxEditorRowHeaderInfo>(GetRow()); }

TcxCustomEditorRowProperties* TcxEditorRowViewInfo::GetEditorProperties() {
  auto* container = dynamic_cast<TcxCellEdit*>(GetRow()->GetEditContainer(0));
  return container ? container->GetRowProperties() : nullptr;
}

void TcxEditorRowViewInfo::CalcValuesInfo() {
  const Integer N = ViewInfo->GetVisibleValueCount();
  const Integer first = ViewInfo->GetFirstVisibleRecordIndex();
  for (Integer i = 0; i < N; ++i) {
    const TRect R = ViewInfo->GetValueRect(i, this);
    AddRectValueLines(R, i == N - 1 || R.Right >= ViewInfo->GetClientRect().Right);
    ViewInfo->CalcEditCell(R, CalcRowValueInfo(GetEditorProperties(), ViewInfo, first + i, 0));
  }
  GetValuesInfo()->Keep(first, N);
}

Integer TcxEditorRowViewInfo::GetValueHeight(Integer ARecordIndex, Integer AWidth, TcxvgCustomViewInfo* AViewInfo) {
  TcxRowValueInfo* cell = CalcRowValueInfo(GetEditorProperties(), AViewInfo, ARecordIndex, 0);
  if (!cell) return -1;
  cell->DisplayRect = cxRectBounds(0, 0, AWidth, 0);
  cell->ClipRect = cell->DisplayRect;
  cell->EditRect = cell->DisplayRect;
  const Integer height = cell->CalculateEditHeight();
  GetValuesInfo()->Keep(AViewInfo->GetFirstVisibleRecordIndex(), AViewInfo->GetVisibleValueCount());
  return height;
}
