#include "library/grid/filter/cxFilterControlViewInfo.h"

#include <algorithm>

#include "library/data/cxFilterConsts.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditViewData.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxPaintBounds.h"
#include "library/grid/filter/cxFilterControlStrs.h"
#include "platform/forms/Bitmap.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/ScopeExit.h"

namespace cxfc {

ORV_REGISTER(cxfc::TcxFilterControlViewInfo)
ORV_REGISTER(cxfc::TcxFilterControlPainter)

namespace {

// A rectangle of AWidth x AHeight at (ALeft, ARow.Top) moved so that its
// centre is the row's.
TRect CenteredRect(const TRect& ARow, Integer ALeft, Integer AWidth, Integer AHeight) {
  const Integer top = ARow.Top + (ARow.Height() - AHeight) / 2;
  return TRect(ALeft, top, ALeft + AWidth, top + AHeight);
}

TcxFilterControlViewInfo* ViewInfoOf(TcxCustomFilterControl* AControl) { return AControl->GetViewInfo(); }

}  // namespace

// ---------------------------------------------------------------------------
// Row geometry

void TcxCustomRowViewInfo::Calc(const TRect& ARowRect) {
  TcxFilterControlViewInfo* viewInfo = ViewInfoOf(FControl);
  RowRect = ARowRect;
  FLevel = 0;
  for (TcxGroupViewInfo* parent = FParent; parent; parent = parent->GetParent()) ++FLevel;
  FIndent = viewInfo->GetRowHeight() * FLevel;
  ButtonText = FParent ? AnsiString("...") : cxFilterControlString(cxSFilterRootButtonCaption);
  TFont* font = FControl->GetFont();
  const Integer width = FParent ? viewInfo->TextSize(font, "0").cx * static_cast<Integer>(ButtonText.size())
                                : viewInfo->TextSize(font, ButtonText + "00").cx;
  ButtonRect = CenteredRect(RowRect, RowRect.Left + 4 + FIndent, width, viewInfo->GetRowHeight() - 4);
  const auto& focus = FControl->GetFocusInfo();
  const auto& hot = FControl->GetHotTrackInfo();
  if (!viewInfo->GetEnabled())
    ButtonState = cxbsDisabled;
  else if (focus.Row == this && focus.HitTest == fhtButton)
    ButtonState = cxbsDefault;
  else if (FControl->IsHotTrack() && hot.Row == this && hot.HitTest == fhtButton)
    ButtonState = cxbsHot;
  else
    ButtonState = cxbsNormal;
}

Integer TcxCustomRowViewInfo::GetWidth() { return ButtonRect.Width() + FIndent + 5; }

void TcxCustomRowViewInfo::GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) {
  if (cxRectPtIn(ButtonRect, P)) HitInfo.HitTest = fhtButton;
}

void TcxGroupViewInfo::Calc(const TRect& ARowRect) {
  inherited::Calc(ARowRect);
  TcxFilterControlViewInfo* viewInfo = ViewInfoOf(FControl);
  BoolOperatorText = cxGetBoolOperatorText(BoolOperator);
  TSize size = viewInfo->TextSize(FControl->GetFontBoolOperator(), BoolOperatorText);
  BoolOperatorRect = CenteredRect(RowRect, ButtonRect.Right + 8, size.cx + 2, size.cy + 2);
  size = viewInfo->TextSize(FControl->GetFont(), Caption);
  CaptionRect = CenteredRect(RowRect, BoolOperatorRect.Right + 8, size.cx + 2, size.cy + 2);
}

Integer TcxGroupViewInfo::GetWidth() {
  return inherited::GetWidth() + BoolOperatorRect.Width() + CaptionRect.Width() + 16;
}

void TcxGroupViewInfo::GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) {
  inherited::GetHitTestInfo(P, HitInfo);
  if (HitInfo.HitTest == fhtNone && cxRectPtIn(BoolOperatorRect, P)) HitInfo.HitTest = fhtBoolOperator;
}

void TcxConditionViewInfo::Calc(const TRect& ARowRect) {
  inherited::Calc(ARowRect);
  TcxFilterControlViewInfo* viewInfo = ViewInfoOf(FControl);
  TSize size = viewInfo->TextSize(FControl->GetFontItem(), ItemText);
  ItemRect = CenteredRect(RowRect, ButtonRect.Right + 8, size.cx + 2, size.cy + 2);
  OperatorText = cxGetConditionText(Operator);
  size = viewInfo->TextSize(FControl->GetFontCondition(), OperatorText);
  OperatorRect = CenteredRect(RowRect, ItemRect.Right + 8, size.cx + 2, size.cy + 2);
  FValues->Calc();
}

Integer TcxConditionViewInfo::GetWidth() {
  return inherited::GetWidth() + ItemRect.Width() + OperatorRect.Width() + FValues->GetWidth() + 16;
}

void TcxConditionViewInfo::GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) {
  inherited::GetHitTestInfo(P, HitInfo);
  if (HitInfo.HitTest != fhtNone) return;
  if (cxRectPtIn(ItemRect, P))
    HitInfo.HitTest = fhtItem;
  else if (cxRectPtIn(OperatorRect, P))
    HitInfo.HitTest = fhtOperator;
  else if (HasDisplayValues())
    FValues->GetHitTestInfo(P, HitInfo);
}

void TcxValuesViewInfo::GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) {
  if (cxRectPtIn(AddButtonRect, P)) {
    HitInfo.HitTest = fhtAddValue;
    return;
  }
  for (Integer i = 0; i < GetCount(); ++i)
    if (cxRectPtIn(GetValue(i)->ValueRect, P)) {
      HitInfo.HitTest = fhtValue;
      HitInfo.ValueIndex = i;
      return;
    }
}

Integer TcxValuesViewInfo::GetWidth() const {
  const TRect& op = FCondition->OperatorRect;
  if (IsListOperator(FCondition->Operator)) return AddButtonRect.Right - op.Right;
  if (!FCondition->HasDisplayValues() || FValues.empty()) return 0;
  return FValues.back()->ValueRect.Right - op.Right;
}

void TcxValuesViewInfo::UpdateEditorStyle(TcxCustomEditStyle* AStyle, bool ASelected, bool AEnabled) {
  TcxCustomFilterControl* control = FCondition->GetControl();
  AStyle->SetTextColor(AEnabled ? control->GetFontValue()->GetColor() : clBtnShadow);
  AStyle->SetButtonTransparency(ASelected ? ebtNone : ebtHideInactive);
  AStyle->SetColor(ASelected ? clWindow : control->GetColor());
}

void TcxValuesViewInfo::Calc() {
  AddButtonRect = TRect();
  if (!FCondition->HasDisplayValues()) {
    for (TcxValueInfo* value : FValues) value->ValueRect = TRect();
    return;
  }
  TcxCustomFilterControl* control = FCondition->GetControl();
  TcxFilterControlViewInfo* viewInfo = ViewInfoOf(control);
  TcxCanvas* canvas = viewInfo->GetCanvas();
  const TcxFilterControlOperator op = FCondition->Operator;
  const bool between = IsBetweenOperator(op);
  const bool list = IsListOperator(op);
  TFont* valueFont = control->GetFontValue();
  Integer x = FCondition->OperatorRect.Right + 8;
  Separator = between ? cxSFilterString(cxSFilterAndCaption) : list ? AnsiString(", ") : AnsiString();
  if (list) x += viewInfo->TextSize(valueFont, "(").cx;
  const TRect& row = FCondition->RowRect;
  const auto& focus = control->GetFocusInfo();
  const auto& hot = control->GetHotTrackInfo();
  TcxCustomEditProperties* properties = FCondition->GetEditorProperties();
  TcxCustomEditStyle* style = control->GetEditStyle();
  style->GetFont()->Assign(valueFont);
  IcxEditDefaultValuesProvider* provider = properties->GetIDefaultValuesProvider();
  properties->SetIDefaultValuesProvider(nullptr);
  orv::ScopeExit restore([&] { properties->SetIDefaultValuesProvider(provider); });
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxValueInfo* value = GetValue(i);
    TcxCustomEditProperties* shownBy = properties;
    Variant display;
    if (VarIsNull(value->Value) || VarIsEmpty(value->Value)) {
      display = Variant(control->GetNullString());
      shownBy = control->GetDefaultProperties();
    } else if (FCondition->GetFilterEditHelper()->UseDisplayValue()) {
      display = Variant(value->ValueText);
    } else {
      display = value->Value;
    }
    const bool selected =
        (control->IsHotTrack() && hot.Row == FCondition && hot.HitTest == fhtValue && hot.ValueIndex == i &&
         control->GetState() == fcsNormal) ||
        (control->HasFocus() && focus.Row == FCondition && focus.HitTest == fhtValue && focus.ValueIndex == i);
    UpdateEditorStyle(style, selected, viewInfo->GetEnabled());
    TcxCustomEditViewData* viewData = shownBy->CreateViewData(style, true);
    orv::ScopeExit freeViewData([viewData] { viewData->Free(); });
    if (value->GetValueViewInfo() == nullptr ||
        value->GetValueViewInfo()->ClassType() != shownBy->GetViewInfoClass())
      value->SetValueViewInfo(TcxCustomEditViewInfoClass(shownBy->GetViewInfoClass()).Construct());
    TcxEditSizeProperties sizeProperties;
    TSize size = viewData->GetEditSize(canvas, display, sizeProperties);
    if (selected) size.cx = std::max(size.cx, viewInfo->GetMinValueWidth());
    value->ValueRect = CenteredRect(row, x, size.cx, size.cy);
    viewData->EditValueToDrawValue(canvas, display, value->GetValueViewInfo());
    viewData->CalculateEx(canvas, value->ValueRect, cxInvalidPoint, cxmbNone, {}, value->GetValueViewInfo(), false);
    x = value->ValueRect.Right + 4;
    if (between || list) x += viewInfo->TextSize(valueFont, Separator).cx + 4;
  }
  if (list && !FValues.empty()) {
    const TRect& last = FValues.back()->ValueRect;
    AddButtonRect = CenteredRect(row, last.Right + viewInfo->TextSize(valueFont, ")0").cx,
                                 viewInfo->TextSize(valueFont, "000").cx, viewInfo->GetRowHeight() - 4);
    if (!viewInfo->GetEnabled())
      AddButtonState = cxbsDisabled;
    else if (focus.Row == FCondition && focus.HitTest == fhtAddValue)
      AddButtonState = cxbsDefault;
    else if (control->IsHotTrack() && hot.Row == FCondition && hot.HitTest == fhtAddValue)
      AddButtonState = cxbsHot;
    else
      AddButtonState = cxbsNormal;
  }
}

// ---------------------------------------------------------------------------
// TcxFilterControlViewInfo

TcxFilterControlViewInfo::TcxFilterControlViewInfo(TcxCustomFilterControl* AControl) : FControl(AControl) {
  FBitmap = New<TBitmap>();
  FCanvas = New<TcxCanvas>(FBitmap->GetCanvas());
  AddConditionCaption = cxFilterControlString(cxSFilterFooterAddCondition);
}

TcxFilterControlViewInfo::~TcxFilterControlViewInfo() {
  if (FPainter) FPainter->Free();
  FCanvas->Free();
  FBitmap->Free();
}

TClass TcxFilterControlViewInfo::GetPainterClass() { return TcxFilterControlPainter::StaticClass(); }

TcxFilterControlPainter* TcxFilterControlViewInfo::GetPainter() {
  if (!FPainter)
    FPainter = TClassRef<TcxFilterControlPainter>(GetPainterClass()).Construct<TcxCustomFilterControl*>(FControl);
  return FPainter;
}

TSize TcxFilterControlViewInfo::TextSize(TFont* AFont, const AnsiString& AText) {
  FCanvas->SetFont(AFont);
  return FCanvas->TextExtent(AText);
}

// The bitmap holds the part of the control a paint shows, not the whole
// control: a builder far larger than its parent shows a small part of
// itself. Its window origin is that part's corner, so everything is drawn
// in the control's coordinates. Outside a paint it is a pixel, enough for
// its canvas to measure texts.
void TcxFilterControlViewInfo::CheckBitmap(const TRect& AArea) {
  const Integer width = std::max(AArea.Width(), 1);
  const Integer height = std::max(AArea.Height(), 1);
  if (FBitmap->GetWidth() != width || FBitmap->GetHeight() != height) FBitmap->SetSize(width, height);
  FCanvas->SetWindowOrg(AArea.TopLeft());
}

Integer TcxFilterControlViewInfo::GetEditHeight() {
  TcxCustomEditStyle* style = FControl->GetEditStyle();
  style->GetFont()->Assign(FControl->GetFontValue());
  TcxCustomEditViewData* viewData = FControl->GetDefaultProperties()->CreateViewData(style, true);
  orv::ScopeExit freeViewData([viewData] { viewData->Free(); });
  TcxEditSizeProperties sizeProperties;
  return viewData->GetEditSize(FCanvas, Variant("Yy"), sizeProperties).cy;
}

void TcxFilterControlViewInfo::Calc() {
  CheckBitmap();
  FEnabled = FControl->HasItems() && FControl->GetEnabled();
  Integer textHeight = 0;
  for (TFont* font : {FControl->GetFont(), FControl->GetFontBoolOperator(), FControl->GetFontItem(),
                      FControl->GetFontCondition()})
    textHeight = std::max(textHeight, TextSize(font, "Wg").cy);
  textHeight = std::max(textHeight, GetEditHeight());
  FRowHeight = MulDiv(textHeight, 3, 2);
  FMinValueWidth = 12 * TextSize(FControl->GetFont(), "0").cx;
  const TRect client = FControl->GetClientBounds();
  TRect r(client.Left - FControl->GetLeftOffset(), client.Top, client.Right, client.Top + FRowHeight);
  r = cxRectOffset(r, 0, -FControl->GetTopVisibleRow() * FRowHeight);
  FMaxRowWidth = 0;
  for (Integer i = 0; i < FControl->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = FControl->GetRow(i);
    row->Calc(r);
    FMaxRowWidth = std::max(FMaxRowWidth, row->GetWidth());
    r = cxRectOffset(r, 0, FRowHeight);
  }
  const Integer lastIndent = FControl->GetRowCount() > 0 ? FControl->GetRow(FControl->GetRowCount() - 1)->GetIndent() : 0;
  r.Left += lastIndent + 4;
  const Integer width = TextSize(FControl->GetFont(), AddConditionCaption + "00").cx;
  FAddConditionRect = CenteredRect(r, r.Left, width, FRowHeight - 4);
  FMaxRowWidth = std::max(FMaxRowWidth, width + lastIndent + 4);
  FAddConditionButtonState = CalcButtonState();
  CalcFocusRect();
}

TcxButtonState TcxFilterControlViewInfo::CalcButtonState() {
  if (!FEnabled) return cxbsDisabled;
  if (FControl->GetFocusInfo().HitTest == fhtAddCondition) return cxbsDefault;
  if (FControl->IsHotTrack() && FControl->GetHotTrackInfo().HitTest == fhtAddCondition) return cxbsHot;
  return cxbsNormal;
}

void TcxFilterControlViewInfo::CalcFocusRect() {
  if (!FControl->HasItems()) {
    FFocusRect = cxRectInflate(FControl->GetClientBounds(), -2, -2);
    return;
  }
  FFocusRect = TRect();
  const auto& focus = FControl->GetFocusInfo();
  TRect r;
  if (auto* group = dynamic_cast<TcxGroupViewInfo*>(focus.Row)) {
    if (focus.HitTest != fhtBoolOperator) return;
    r = group->BoolOperatorRect;
  } else if (auto* condition = dynamic_cast<TcxConditionViewInfo*>(focus.Row)) {
    if (focus.HitTest == fhtItem)
      r = condition->ItemRect;
    else if (focus.HitTest == fhtOperator)
      r = condition->OperatorRect;
    else if (focus.HitTest == fhtValue && focus.ValueIndex >= 0 &&
             focus.ValueIndex < condition->GetValues()->GetCount())
      r = condition->GetValues()->GetValue(focus.ValueIndex)->ValueRect;
    else
      return;
  } else {
    return;
  }
  FFocusRect = cxRectInflate(r, 1, 1);
}

void TcxFilterControlViewInfo::GetHitTestInfo(TShiftState AShift, const TPoint& P,
                                              TcxFilterControlHitTestInfo& HitInfo) {
  HitInfo = TcxFilterControlHitTestInfo();
  HitInfo.Mouse = P;
  HitInfo.Shift = AShift;
  HitInfo.Row = FControl->GetFocusedRow() ? FControl->GetFocusedRow() : FControl->GetRoot();
  if (!cxRectPtIn(FControl->GetClientBounds(), P)) return;
  if (cxRectPtIn(FAddConditionRect, P)) {
    HitInfo.HitTest = fhtAddCondition;
    return;
  }
  for (Integer i = std::max(FControl->GetTopVisibleRow(), 0); i < FControl->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = FControl->GetRow(i);
    if (cxRectPtIn(row->RowRect, P)) {
      HitInfo.Row = row;
      row->GetHitTestInfo(P, HitInfo);
      return;
    }
  }
}

void TcxFilterControlViewInfo::Update() {
  const TcxButtonState state = CalcButtonState();
  CalcFocusRect();
  if (state != FAddConditionButtonState) {
    FAddConditionButtonState = state;
    FControl->InvalidateRect(FAddConditionRect, false);
  }
}

void TcxFilterControlViewInfo::InvalidateRow(TcxCustomRowViewInfo* ARow) {
  if (!ARow) return;
  ARow->Calc(ARow->RowRect);
  FControl->InvalidateRect(ARow->RowRect, false);
}

void TcxFilterControlViewInfo::Paint() {
  const TRect area =
      cxPaintableArea(FControl->GetCanvas()->GetHandle(), TRect(0, 0, FControl->GetWidth(), FControl->GetHeight()));
  CheckBitmap(area);
  TcxFilterControlPainter* painter = GetPainter();
  const TRect client = FControl->GetClientBounds();
  FCanvas->GetBrush()->SetStyle(bsSolid);
  FCanvas->GetBrush()->SetColor(FControl->GetColor());
  FCanvas->FillRect(TRect(0, 0, FControl->GetWidth(), FControl->GetHeight()));
  for (Integer i = std::max(FControl->GetTopVisibleRow(), 0); i < FControl->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = FControl->GetRow(i);
    if (FCanvas->RectVisible(row->RowRect)) painter->DrawRow(row);
    if (row->RowRect.Bottom > client.Bottom) break;
  }
  FCanvas->SetFont(FControl->GetFont());
  painter->GetPainter()->DrawButton(FCanvas, FAddConditionRect, AddConditionCaption, FAddConditionButtonState);
  if (!cxRectIsEmpty(FFocusRect) && FControl->HasFocus()) FCanvas->DrawFocusRect(FFocusRect);
  painter->DrawBorder();
  FCanvas->SetWindowOrg(TPoint{0, 0});
  FControl->GetCanvas()->Draw(area.Left, area.Top, FBitmap);
}

// ---------------------------------------------------------------------------
// TcxFilterControlPainter

TcxCanvas* TcxFilterControlPainter::GetCanvas() { return GetViewInfo()->GetCanvas(); }
TcxCustomLookAndFeelPainterClass TcxFilterControlPainter::GetPainter() { return FControl->GetLookAndFeelPainter(); }
TcxFilterControlViewInfo* TcxFilterControlPainter::GetViewInfo() { return FControl->GetViewInfo(); }

void TcxFilterControlPainter::DrawBorder() {
  if (FControl->GetBorderStyle() == cxcbsNone) return;
  GetPainter()->DrawBorder(GetCanvas(), FControl->GetBounds());
}

void TcxFilterControlPainter::DrawDotLine(const TRect& R) {
  // The checker's first pixel takes the control's colour.
  cxFillHalfToneRect(GetCanvas()->GetCanvas(), R, FControl->GetColor(), cl3DDkShadow);
}

void TcxFilterControlPainter::TextDraw(Integer X, Integer Y, const AnsiString& AText) {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetStyle(bsClear);
  if (GetViewInfo()->GetEnabled()) {
    canvas->GetCanvas()->TextOut(X, Y, AText);
    return;
  }
  const TColor color = canvas->GetFont()->GetColor();
  canvas->GetFont()->SetColor(clBtnHighlight);
  canvas->GetCanvas()->TextOut(X + 1, Y + 1, AText);
  canvas->GetFont()->SetColor(clBtnShadow);
  canvas->GetCanvas()->TextOut(X, Y, AText);
  canvas->GetFont()->SetColor(color);
}

void TcxFilterControlPainter::DrawRow(TcxCustomRowViewInfo* ARow) {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(FControl->GetColor());
  canvas->FillRect(ARow->RowRect);
  canvas->SetFont(FControl->GetFont());
  GetPainter()->DrawButton(canvas, ARow->ButtonRect, ARow->ButtonText, ARow->ButtonState);
  if (auto* group = dynamic_cast<TcxGroupViewInfo*>(ARow))
    DrawGroup(group);
  else
    DrawCondition(static_cast<TcxConditionViewInfo*>(ARow));
  if (!FControl->GetShowLevelLines() || ARow->GetLevel() == 0) return;
  const Integer half = GetViewInfo()->GetRowHeight() / 2;
  const Integer buttonHalf = ARow->ButtonRect.Width() / 2;
  const Integer x = ARow->GetParent()->ButtonRect.Left + buttonHalf;
  const Integer top = ARow->RowRect.Top;
  DrawDotLine(TRect(x, top, x + 1, top + half));
  if (!ARow->IsLast()) DrawDotLine(TRect(x, top + half, x + 1, top + half + half + 1));
  DrawDotLine(TRect(x, top + half, ARow->ButtonRect.Left - 3, top + half + 1));
  for (TcxCustomRowViewInfo* ancestor = ARow->GetParent(); ancestor && ancestor->GetParent();
       ancestor = ancestor->GetParent())
    if (!ancestor->IsLast()) {
      const Integer ax = ancestor->GetParent()->ButtonRect.Left + buttonHalf;
      DrawDotLine(TRect(ax, top, ax + 1, ARow->RowRect.Bottom));
    }
}

void TcxFilterControlPainter::DrawGroup(TcxGroupViewInfo* AGroup) {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetStyle(bsClear);
  TextDraw(AGroup->CaptionRect.Left, AGroup->CaptionRect.Top + 1, AGroup->Caption);
  canvas->SetFont(FControl->GetFontBoolOperator());
  TextDraw(AGroup->BoolOperatorRect.Left + 1, AGroup->BoolOperatorRect.Top + 1, AGroup->BoolOperatorText);
}

void TcxFilterControlPainter::DrawCondition(TcxConditionViewInfo* ACondition) {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->SetFont(FControl->GetFontItem());
  TextDraw(ACondition->ItemRect.Left + 1, ACondition->ItemRect.Top + 1, ACondition->ItemText);
  canvas->SetFont(FControl->GetFontCondition());
  TextDraw(ACondition->OperatorRect.Left + 1, ACondition->OperatorRect.Top + 1, ACondition->OperatorText);
  DrawValues(ACondition);
}

void TcxFilterControlPainter::DrawValues(TcxConditionViewInfo* ACondition) {
  if (!ACondition->HasDisplayValues()) return;
  TcxCanvas* canvas = GetCanvas();
  TcxValuesViewInfo* values = ACondition->GetValues();
  for (Integer i = 0; i < values->GetCount(); ++i)
    if (TcxCustomEditViewInfo* viewInfo = values->GetValue(i)->GetValueViewInfo()) viewInfo->PaintEx(canvas);
  const Integer count = values->GetCount();
  if (IsBetweenOperator(ACondition->Operator)) {
    canvas->SetFont(FControl->GetFontCondition());
    canvas->GetBrush()->SetColor(FControl->GetColor());
    for (Integer i = 0; i + 1 < count; ++i) {
      const TRect& r = values->GetValue(i)->ValueRect;
      TextDraw(r.Right + 4, r.Top + 1, values->Separator);
    }
  } else if (IsListOperator(ACondition->Operator) && count > 0) {
    canvas->SetFont(FControl->GetFontValue());
    for (Integer i = 0; i + 1 < count; ++i) {
      const TRect& r = values->GetValue(i)->ValueRect;
      TextDraw(r.Right + 2, r.Top + 1, values->Separator);
    }
    TextDraw(ACondition->OperatorRect.Right + 4, ACondition->OperatorRect.Top, "(");
    const TRect& last = values->GetValue(count - 1)->ValueRect;
    TextDraw(last.Right + 3, last.Top + 1, ")");
    canvas->SetFont(FControl->GetFont());
    GetPainter()->DrawButton(canvas, values->AddButtonRect, "+", values->AddButtonState);
  }
}

}  // namespace cxfc
