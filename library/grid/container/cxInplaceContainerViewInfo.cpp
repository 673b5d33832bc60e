#include "library/grid/container/cxInplaceContainerViewInfo.h"

#include <algorithm>
#include <optional>

#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/cxPaintBounds.h"
#include "library/grid/container/cxInplaceContainer.h"
#include "platform/forms/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomViewInfoItem)
ORV_REGISTER(TcxEditCellViewInfo)
ORV_REGISTER(TcxCustomControlViewInfo)
ORV_REGISTER(TcxCustomControlPainter)
ORV_REGISTER(TcxCustomControlStyles, ORV_PROP(Content), ORV_PROP(Background), ORV_PROP(Inactive),
             ORV_PROP(Selection), ORV_PROP(StyleSheet))

// ---------------------------------------------------------------------------
// Unit helpers

namespace {

// The styles' own defaults, which the styles keep to their family.
struct StylesDefaults : TcxStyles {
  static void Get(TcxStyles* AStyles, Integer AIndex, TObject* AData, TcxViewParams& AParams) {
    (AStyles->*(&StylesDefaults::GetDefaultViewParams))(AIndex, AData, AParams);
  }
};

}  // namespace

void cxStylesToViewParams(TcxStyles* AStyles, Integer AIndex, TObject* AData,
                          std::initializer_list<TcxStyle*> AStyleList, TcxViewParams& AParams) {
  AParams = TcxViewParams{};
  TcxStyleValues done;
  for (TcxStyle* style : AStyleList) {
    if (!style || style->GetComponentState().Contains(csDestroying)) continue;
    done = CombineParamsWithStyle(style, done, AParams);
    if (done == cxAllStyleValues) return;
  }
  TcxViewParams defaults;
  StylesDefaults::Get(AStyles, AIndex, AData, defaults);
  if (!done.Contains(svBitmap)) AParams.Bitmap = defaults.Bitmap;
  if (!done.Contains(svColor)) AParams.Color = defaults.Color;
  if (!done.Contains(svFont)) AParams.Font = defaults.Font;
  if (!done.Contains(svTextColor)) AParams.TextColor = defaults.TextColor;
}

void cxAssignEditStyle(TcxEditCellViewInfo* ACell) {
  TcxEditingControl* control = ACell->GetControl();
  TcxCustomEditStyle* style = control->GetEditStyle();
  style->BeginUpdate();
  {
    orv::ScopeExit end([style] { style->EndUpdate(); });
    TcxContainerStyleValues values = style->GetAssignedValues();
    values.Exclude(csvFont);
    values.Include(csvColor);
    values.Include(svButtonTransparency);
    style->SetAssignedValues(values);
    TFont* font = ACell->ViewParams.Font ? ACell->ViewParams.Font : ACell->GetEditViewParams().Font;
    if (font) style->SetFont(font);
    style->SetColor(ACell->ViewParams.Color);
    style->SetTextColor(ACell->ViewParams.TextColor);
    style->SetButtonTransparency(ACell->GetButtonTransparency());
  }
  ACell->SetTransparent(ACell->IsTransparent());
}

bool cxPtInViewInfoItem(TcxCustomViewInfoItem* AItem, const TPoint& P) {
  return AItem && AItem->Visible && cxRectPtIn(AItem->ClipRect, P);
}

bool cxRange(Integer& AValue, Integer AMin, Integer AMax) {
  if (AValue < AMin) {
    AValue = AMin;
    return false;
  }
  if (AValue > AMax) {
    AValue = AMax;
    return false;
  }
  return true;
}

bool cxConfirmMessageBox(const AnsiString& AText, const AnsiString& ACaption) {
  return Application->MessageBox(AText, ACaption, win::MB_OKCANCEL | win::MB_ICONQUESTION) == win::IDOK;
}

void cxAbstractError() { throw EAbstractError("Abstract Error"); }

// ---------------------------------------------------------------------------
// View info items

void TcxCustomViewInfoItem::CheckClipping(const TRect& ADisplayRect, const TRect& AAvailableRect) {
  DisplayRect = ADisplayRect;
  Visible = cxRectIntersect(ClipRect, ADisplayRect, AAvailableRect);
}

void TcxCustomViewInfoItem::CheckClipping(const TRect& ADisplayRect) {
  CheckClipping(ADisplayRect, GetControlViewInfo()->Bounds);
}

void TcxCustomViewInfoItem::DoCalculate() { cxAbstractError(); }
void TcxCustomViewInfoItem::DoHorzOffset(Integer) { cxAbstractError(); }
void TcxCustomViewInfoItem::DoVertOffset(Integer) { cxAbstractError(); }
TcxEditingControl* TcxCustomViewInfoItem::GetControl() { cxAbstractError(); }

bool TcxCustomViewInfoItem::IsTransparent() { return ViewParams.Bitmap && !ViewParams.Bitmap->Empty(); }

void TcxCustomViewInfoItem::Assign(TcxCustomViewInfoItem* ASource) {
  DisplayRect = ASource->DisplayRect;
  ClipRect = ASource->ClipRect;
  Visible = ASource->Visible;
  ViewParams = ASource->ViewParams;
}

void TcxCustomViewInfoItem::Invalidate(bool ARecalculate) {
  if (ARecalculate) DoCalculate();
  if (Visible) GetControl()->InvalidateRect(ClipRect, false);
}

TcxCustomControlViewInfo* TcxCustomViewInfoItem::GetControlViewInfo() { return GetControl()->GetViewInfo(); }

TcxCustomLookAndFeelPainterClass TcxCustomViewInfoItem::GetPainterClass() {
  return GetControl()->GetLookAndFeelPainter();
}

// ---------------------------------------------------------------------------
// Cells

void TcxEditCellViewInfo::BeforeDestruction() {
  inherited::BeforeDestruction();
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  if (item && !item->IsDestroying() && item->GetEditingControl())
    if (TcxCustomControlController* controller = item->GetEditingControl()->GetController())
      controller->GetHitTestController()->DestroyingItem(this);
}

TcxEditCellViewInfo::~TcxEditCellViewInfo() {
  FreeAndNil(EditViewInfo);
  SetViewData(nullptr, false);
}

void TcxEditCellViewInfo::SetViewData(TcxCustomEditViewData* AViewData, bool AOwns) {
  if (ViewDataOwned && ViewData != AViewData) ::Free(ViewData);
  ViewData = AViewData;
  ViewDataOwned = AOwns;
}

void TcxEditCellViewInfo::SetEditViewInfo(TcxCustomEditViewInfo* AViewInfo) {
  if (EditViewInfo != AViewInfo) ::Free(EditViewInfo);
  EditViewInfo = AViewInfo;
}

TcxCustomInplaceEditContainer* TcxEditCellViewInfo::GetEditContainer() {
  return static_cast<TcxCustomInplaceEditContainer*>(GetOwner());
}

TcxEditingControl* TcxEditCellViewInfo::GetControl() { return GetEditContainer()->GetEditingControl(); }

void TcxEditCellViewInfo::CheckClipping(const TRect& ADisplayRect, const TRect& AAvailableRect) {
  inherited::CheckClipping(ADisplayRect, AAvailableRect);
  InnerRect = DisplayRect;
  if (Borders.Contains(bLeft)) ++InnerRect.Left;
  if (Borders.Contains(bTop)) ++InnerRect.Top;
  if (Borders.Contains(bRight)) --InnerRect.Right;
  if (Borders.Contains(bBottom)) --InnerRect.Bottom;
  if (!Borders.Empty()) {
    TRect common;
    if (cxRectIntersect(common, ClipRect, InnerRect))
      EditRect = cxRectInflate(common, ContentOffset());
    else
      EditRect = common;
  } else {
    EditRect = cxRectInflate(ClipRect, ContentOffset());
  }
}

void TcxEditCellViewInfo::SetBounds(const TRect& ADisplayRect, const TRect& AAvailableRect) {
  CheckClipping(ADisplayRect, AAvailableRect);
  DoCalculate();
}

void TcxEditCellViewInfo::DoCalculate() {
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  if (IsAutoHeight() && ViewData && EditViewInfo)
    ViewData->InplaceRecordIndex = GetRecordIndex();
  else
    item->InitEditViewInfo(this);
  item->CalculateEditViewInfo(DisplayValue, this, cxInvalidPoint);
}

void TcxEditCellViewInfo::DoHorzOffset(Integer AOffset) {
  DisplayRect = cxRectOffset(DisplayRect, AOffset, 0);
  UpdateEditRect();
  if (EditViewInfo) EditViewInfo->Left += AOffset;
}

void TcxEditCellViewInfo::DoVertOffset(Integer AOffset) {
  DisplayRect = cxRectOffset(DisplayRect, 0, AOffset);
  UpdateEditRect();
  if (EditViewInfo) EditViewInfo->Top += AOffset;
}

void TcxEditCellViewInfo::Assign(TcxCustomViewInfoItem* ASource) {
  if (auto* source = dynamic_cast<TcxEditCellViewInfo*>(ASource)) {
    EditRect = source->EditRect;
    InnerRect = source->InnerRect;
    Borders = source->Borders;
  }
  inherited::Assign(ASource);
}

Integer TcxEditCellViewInfo::CalculateEditHeight() {
  if (!IsAutoHeight()) return GetControlViewInfo()->DefaultEditHeight;
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  item->InitEditViewInfo(this);
  return item->GetEditHeight(this);
}

Integer TcxEditCellViewInfo::CalculateEditWidth() { return GetEditContainer()->GetEditWidth(this); }

bool TcxEditCellViewInfo::ChangedHeight(Integer APrevHeight, Integer ANewHeight) {
  Height = ANewHeight;
  return ANewHeight != APrevHeight;
}

bool TcxEditCellViewInfo::Refresh(bool ARecalculate) {
  if (!GetEditContainer()) return false;
  bool changed = false;
  if (ARecalculate) {
    if (IsAutoHeight()) changed = ChangedHeight(Height, CalculateEditHeight());
    if (!changed) DoCalculate();
  } else if (EditViewInfo) {
    ViewParams = GetEditViewParams();
    EditViewInfo->TextColor = ViewParams.TextColor;
    EditViewInfo->Font = ViewParams.Font;
    EditViewInfo->SetBackgroundColor(ViewParams.Color);
    EditViewInfo->Transparent = IsTransparent();
  }
  if (!changed) Invalidate(false);
  return changed;
}

Variant TcxEditCellViewInfo::GetDisplayValue() {
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  TcxCustomDataController* dataController = GetControl()->GetDataController();
  const Integer record = GetRecordIndex();
  if (record >= 0 && record < dataController->GetRecordCount()) return item->GetDisplayValue(Properties, record);
  return Null();
}

TcxViewParams TcxEditCellViewInfo::GetEditViewParams() { return GetControl()->GetStyles()->GetBackgroundParams(); }

bool TcxEditCellViewInfo::GetFocused() {
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  return item->GetFocusedCellViewInfo() == this &&
         GetRecordIndex() == GetControl()->GetDataController()->GetFocusedRecordIndex();
}

Integer TcxEditCellViewInfo::GetMaxLineCount() {
  return GetControl()->GetOptions()->GetOptionsView()->GetCellTextMaxLineCount();
}

bool TcxEditCellViewInfo::IsAutoHeight() { return GetControl()->GetOptions()->GetOptionsView()->GetCellAutoHeight(); }

bool TcxEditCellViewInfo::IsEndEllipsis() {
  return GetControl()->GetOptions()->GetOptionsView()->GetCellEndEllipsis();
}

TColor TcxEditCellViewInfo::GetSelectedTextColor() { return ColorToRGB(ViewParams.TextColor) ^ 0xFFFFFF; }

TColor TcxEditCellViewInfo::GetSelectedBKColor() { return ColorToRGB(ViewParams.Color) ^ 0xFFFFFF; }

TcxEditButtonTransparency TcxEditCellViewInfo::GetButtonTransparency() {
  switch (GetEditContainer()->GetOptions()->GetShowEditButtons()) {
    case eisbAlways:
      return ebtNone;
    case eisbNever:
      return ebtHideInactive;
    default:
      break;
  }
  switch (GetControl()->GetOptions()->GetOptionsView()->GetShowEditButtons()) {
    case ecsbAlways:
      return ebtNone;
    case ecsbFocused:
      return GetFocused() ? ebtNone : ebtHideInactive;
    default:
      return ebtHideInactive;
  }
}

bool TcxEditCellViewInfo::IsSupportedHotTrack() {
  if (GetControl()->GetIsDesigning() || !Properties || !ViewData) return false;
  return Properties->GetSupportedOperations().Contains(esoHotTrack) &&
         ViewData->GetStyle()->GetLookAndFeel()->GetPainter()->IsButtonHotTrack();
}

void TcxEditCellViewInfo::UpdateHotTrackState(const TPoint& P) {
  if (!IsSupportedHotTrack() || !EditViewInfo) return;
  TcxEditingControl* control = GetControl();
  TcxCustomEditViewInfo* copy = TcxCustomEditViewInfoClass(Properties->GetViewInfoClass()).Construct();
  orv::ScopeExit freeCopy([copy] { copy->Free(); });
  copy->Assign(EditViewInfo);
  cxAssignEditStyle(this);
  ViewData->ContentOffset = ContentOffset();
  ViewData->CalculateEx(GetEditContainer()->GetControlCanvas(), EditRect, P, cxmbNone, {}, EditViewInfo, true);
  if (control->GetDragAndDropState() == ddsNone) EditViewInfo->Repaint(control, copy);
}

bool TcxEditCellViewInfo::IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText, bool& AIsMultiLine,
                                     TRect& ATextRect, bool& IsNeedOffsetHint) {
  IsNeedOffsetHint = false;
  if (!Visible || !EditViewInfo) return false;
  AText.clear();
  // The view info answers in its own coordinates.
  const TPoint local(P.X - EditViewInfo->Left, P.Y - EditViewInfo->Top);
  return EditViewInfo->NeedShowHint(ACanvas, local, TRect(), AText, AIsMultiLine, ATextRect);
}

TPoint TcxEditCellViewInfo::GetOrigin() {
  if (!EditViewInfo) return DisplayRect.TopLeft();
  if (auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(EditViewInfo))
    return {EditViewInfo->Left + text->TextRect.Left, EditViewInfo->Top + text->TextRect.Top};
  return {EditViewInfo->Left + EditViewInfo->ClientRect.Left, EditViewInfo->Top + EditViewInfo->ClientRect.Top};
}

// ---------------------------------------------------------------------------
// The control's view info

TcxCustomControlViewInfo::TcxCustomControlViewInfo(TcxEditingControl* AControl) : FControl(AControl) {
  FState = cvis_StyleInvalid;
  FEditCellViewInfoList.reserve(1024);
}

void TcxCustomControlViewInfo::AfterConstruction() {
  inherited::AfterConstruction();
  CreatePainter();
  FBkgBrush = New<TBrush>();
  FSelectionBrush = New<TBrush>();
}

TcxCustomControlViewInfo::~TcxCustomControlViewInfo() {
  if (TcxCustomControlController* controller = FControl->GetController()) controller->Reset();
  FreeAndNil(FPainter);
  FreeAndNil(FBkgBrush);
  FreeAndNil(FSelectionBrush);
  // The cells normally go with ClearEditCellViewInfos; whatever is left
  // goes with the list.
  for (TcxEditCellViewInfo* cell : FEditCellViewInfoList) cell->Free();
}

Integer TcxCustomControlViewInfo::CalculateDefaultEditHeight() { cxAbstractError(); }

void TcxCustomControlViewInfo::CalculateDefaultHeights() { DefaultEditHeight = CalculateDefaultEditHeight(); }

void TcxCustomControlViewInfo::CreatePainter() {
  FPainter = FControl->GetPainterClass().Construct<TcxEditingControl*>(FControl);
}

void TcxCustomControlViewInfo::DoCalculate() {
  for (TcxEditCellViewInfo* cell : FEditCellViewInfoList)
    if (cell->Visible) cell->DoCalculate();
}

void TcxCustomControlViewInfo::UpdateSelection() { UpdateSelectionParams(); }

void TcxCustomControlViewInfo::Invalidate(bool ARecalculate) {
  if (ARecalculate)
    FControl->LayoutChanged();
  else
    FControl->InvalidateRect(Bounds, false);
}

void TcxCustomControlViewInfo::Calculate() {
  TcxBrushCache* brushes = FControl->GetBrushCache();
  brushes->BeginUpdate();
  orv::ScopeExit end([brushes] { brushes->EndUpdate(); });
  if (GetState(cvis_StyleInvalid)) {
    SetState(cvis_StyleInvalid, false);
    CalculateDefaultHeights();
    FBackgroundParams = FControl->GetStyles()->GetBackgroundParams();
    FBkgBrush->SetColor(FBackgroundParams.Color);
    UpdateSelectionParams();
    FControl->Invalidate();
  }
  Bounds = FControl->GetClientBounds();
  DoCalculate();
  SetState(cvis_IsDirty, false);
}

TcxEditCellViewInfo* TcxCustomControlViewInfo::AddEditCellViewInfo(TcxEditCellViewInfoClass AClass,
                                                                   TcxCustomInplaceEditContainer* AItem) {
  TcxEditCellViewInfo* cell = AClass.Construct<TObject*>(AItem);
  FEditCellViewInfoList.push_back(cell);
  SetState(cvis_IsDirty, true);
  return cell;
}

void TcxCustomControlViewInfo::RemoveEditCellViewInfo(TcxEditCellViewInfo* ACell) {
  auto it = std::find(FEditCellViewInfoList.begin(), FEditCellViewInfoList.end(), ACell);
  if (it == FEditCellViewInfoList.end()) return;
  FEditCellViewInfoList.erase(it);
  ACell->Free();
  SetState(cvis_IsDirty, true);
}

void TcxCustomControlViewInfo::ClearEditCellViewInfos() {
  std::vector<TcxEditCellViewInfo*> cells;
  cells.swap(FEditCellViewInfoList);
  FEditCellViewInfoList.reserve(1024);
  for (TcxEditCellViewInfo* cell : cells) cell->Free();
  SetState(cvis_IsDirty, true);
}

void TcxCustomControlViewInfo::SetState(Integer AMask, bool AValue) {
  if (AValue)
    FState |= AMask;
  else
    FState &= ~AMask;
}

void TcxCustomControlViewInfo::UpdateSelectionParams() {
  FSelectionParams = FControl->GetStyles()->GetSelectionParams();
  FSelectionBrush->SetColor(FSelectionParams.Color);
}

TcxCustomLookAndFeelPainterClass TcxCustomControlViewInfo::LookAndFeelPainter() {
  return FControl->GetLookAndFeelPainter();
}

// ---------------------------------------------------------------------------
// The painter

TcxCustomControlPainter::TcxCustomControlPainter(TcxEditingControl* AControl)
    : FControl(AControl), FCanvas(AControl->GetCanvas()) {}

TcxCustomControlPainter::~TcxCustomControlPainter() = default;

TcxCustomLookAndFeelPainterClass TcxCustomControlPainter::Painter() { return FControl->GetLookAndFeelPainter(); }

TcxCustomControlViewInfo* TcxCustomControlPainter::ViewInfo() { return FControl->GetViewInfo(); }

void TcxCustomControlPainter::SetBuffered(bool Value) {
  if (FBuffered == Value) return;
  FBuffered = Value;
  FBuffer = Value ? TcxPaintBuffer::OfThisThread() : nullptr;
  if (ViewInfo()) ViewInfo()->Invalidate(false);
}

void TcxCustomControlPainter::Paint() {
  TcxCustomControlViewInfo* viewInfo = ViewInfo();
  if (!FCanvas->RectVisible(viewInfo->Bounds)) return;
  std::optional<TcxPaintBuffer::TLease> buffer;
  TRect area;
  if (FBuffered) {
    // Only what the paint can show is buffered: a control far larger than
    // its parent shows a small part of itself. The buffer's corner is that
    // part's, so the paint still draws in the control's own coordinates.
    area = cxPaintableArea(FCanvas->GetHandle(), TRect(0, 0, FControl->GetWidth(), FControl->GetHeight()));
    buffer.emplace(*FBuffer, area.Width(), area.Height());
    TcxCanvas* bufferCanvas = buffer->Canvas();
    bufferCanvas->SetWindowOrg(area.TopLeft());
    if (FControl->GetLayoutChangedFlag()) {
      bufferCanvas->SetClipRegion(New<TcxRegion>(viewInfo->Bounds), roSet);
      FControl->SetLayoutChangedFlag(false);
    } else {
      // The paint's update region as the window's DC narrows it (the DC's
      // own clip region does not hold it).
      win::RECT box{};
      win::GetClipBox(FCanvas->GetHandle(), &box);
      bufferCanvas->SetClipRegion(New<TcxRegion>(box), roSet);
    }
    FPaintCanvas = bufferCanvas;
  }
  {
    orv::ScopeExit back([this] { FPaintCanvas = nullptr; });
    DoPaint();
  }
  if (buffer) {
    win::BitBlt(FCanvas->GetHandle(), area.Left, area.Top, area.Width(), area.Height(), buffer->Handle(), area.Left,
                area.Top, static_cast<win::DWORD>(FCanvas->GetCanvas()->GetCopyMode()));
    buffer->Canvas()->SetWindowOrg(TPoint{0, 0});
  }
}

void TcxCustomControlPainter::PaintOn(TcxCanvas* ACanvas, const std::function<void()>& APaint) {
  TcxCanvas* saved = FPaintCanvas;
  FPaintCanvas = ACanvas;
  orv::ScopeExit back([this, saved] { FPaintCanvas = saved; });
  APaint();
}

void TcxCustomControlPainter::DoPaint() {
  TcxCustomControlViewInfo* viewInfo = ViewInfo();
  TcxCanvas* canvas = GetCanvas();
  canvas->SetBrush(viewInfo->GetBkgBrush());
  canvas->FillRect(viewInfo->Bounds);
}

bool TcxCustomControlPainter::DoCustomDraw(TcxCustomViewInfoItem* AItem,
                                           const TcxCustomDrawViewInfoItemEvent& AEvent) {
  TcxCanvas* canvas = GetCanvas();
  if (!AItem || !AItem->Visible || !canvas->RectVisible(AItem->ClipRect)) return true;
  if (!AEvent) return false;
  bool done = false;
  BeforeCustomDraw(AItem);
  orv::ScopeExit after([this, AItem] { AfterCustomDraw(AItem); });
  AEvent(FControl, canvas, AItem, done);
  return done;
}

void TcxCustomControlPainter::DoPaintEditCell(TcxEditCellViewInfo* ACell, bool AExcludeRect) {
  if (DoCustomDraw(ACell, FControl->OnCustomDrawCell)) {
    // A cell the handler drew still keeps the background off it.
    if (AExcludeRect && ACell && ACell->Visible && FControl->OnCustomDrawCell)
      GetCanvas()->ExcludeClipRect(ACell->ClipRect);
    return;
  }
  if (ACell->EditViewInfo) ACell->EditViewInfo->PaintEx(GetCanvas());
  if (AExcludeRect) GetCanvas()->ExcludeClipRect(ACell->ClipRect);
}

void TcxCustomControlPainter::BeforeCustomDraw(TcxCustomViewInfoItem* AItem) {
  TcxCanvas* canvas = GetCanvas();
  FSavedViewParams = AItem->ViewParams;
  cxApplyViewParams(canvas, AItem->ViewParams);
  AItem->ViewParams.Font = canvas->GetFont();
  if (auto* cell = dynamic_cast<TcxEditCellViewInfo*>(AItem))
    if (cell->EditViewInfo) {
      FSavedFont = cell->EditViewInfo->Font;
      FSavedTextColor = cell->EditViewInfo->TextColor;
      cell->EditViewInfo->Font = canvas->GetFont();
    }
}

void TcxCustomControlPainter::AfterCustomDraw(TcxCustomViewInfoItem* AItem) {
  AItem->ViewParams = FSavedViewParams;
  if (auto* cell = dynamic_cast<TcxEditCellViewInfo*>(AItem))
    if (cell->EditViewInfo) {
      cell->EditViewInfo->Font = FSavedFont;
      cell->EditViewInfo->TextColor = FSavedTextColor;
    }
}

// ---------------------------------------------------------------------------
// The control's styles

TcxCustomControlStyles::TcxCustomControlStyles(TPersistent* AOwner) : TcxStyles(AOwner) {
  FDefaultStyle = New<TcxStyle>(nullptr);
}

TcxCustomControlStyles::~TcxCustomControlStyles() { FreeAndNil(FDefaultStyle); }

TcxEditingControl* TcxCustomControlStyles::GetControl() { return DynamicCast<TcxEditingControl>(GetOwner()); }

TcxCustomLookAndFeelPainterClass TcxCustomControlStyles::GetPainter() {
  TcxEditingControl* control = GetControl();
  return control ? control->GetLookAndFeelPainter() : GetCurrentPainterClass();
}

void TcxCustomControlStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomControlStyles*>(Source)) {
    SetContent(source->GetContent());
    SetBackground(source->GetBackground());
    SetInactive(source->GetInactive());
    SetSelection(source->GetSelection());
  }
  inherited::DoAssign(Source);
  Changed(ecs_Content);
}

TcxViewParams TcxCustomControlStyles::GetBackgroundParams() {
  TcxViewParams params;
  GetViewParams(ecs_Background, nullptr, nullptr, params);
  return params;
}

TcxViewParams TcxCustomControlStyles::GetSelectionParams() {
  TcxEditingControl* control = GetControl();
  const bool focused =
      control && ((control->GetController() && control->GetController()->GetFocused()) || control->GetIsFocused());
  TcxViewParams params;
  GetViewParams(focused ? ecs_Selection : ecs_Inactive, nullptr, nullptr, params);
  return params;
}

void TcxCustomControlStyles::GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) {
  inherited::GetDefaultViewParams(AIndex, AData, AParams);
  TcxEditingControl* control = GetControl();
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  AParams.Bitmap = nullptr;
  if (control) AParams.Font = control->GetFont();
  switch (AIndex) {
    case ecs_Content:
    case ecs_Background:
      AParams.Color = painter->DefaultContentColor();
      AParams.TextColor = painter->DefaultContentTextColor();
      break;
    case ecs_Inactive:
      AParams.Color = painter->DefaultInactiveColor();
      AParams.TextColor = painter->DefaultInactiveTextColor();
      break;
    case ecs_Selection:
      AParams.Color = painter->DefaultSelectionColor();
      AParams.TextColor = painter->DefaultSelectionTextColor();
      break;
    default:
      break;
  }
}

TcxStyle* TcxCustomControlStyles::GetDefaultStyle(Integer AIndex, TObject* AData) {
  TcxViewParams params;
  GetDefaultViewParams(AIndex, AData, params);
  FDefaultStyle->SetColor(params.Color);
  if (params.Font) FDefaultStyle->SetFont(params.Font);
  FDefaultStyle->SetTextColor(params.TextColor);
  FDefaultStyle->SetAssignedValues({svColor, svFont, svTextColor});
  return FDefaultStyle;
}

void TcxCustomControlStyles::Changed(Integer AIndex) {
  inherited::Changed(AIndex);
  if (TcxEditingControl* control = GetControl()) control->UpdateViewStyles();
}
