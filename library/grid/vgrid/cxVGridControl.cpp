#include "library/grid/vgrid/cxVGridControl.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(TcxvgOptionsView, ORV_PROP(AutoScaleBands).Default(true), ORV_PROP(BandsInterval).Default(2),
             ORV_PROP(CategoryExplorerStyle).Default(false), ORV_PROP(PaintStyle).Default(psdotNet),
             ORV_PROP(GridLineColor).As(ColorTypeInfo()).StoredBy<&TcxvgOptionsView::IsGridLineColorStored>(),
             ORV_PROP(GridLines).Default(vglBoth), ORV_PROP(RowHeaderMinWidth).Default(24),
             ORV_PROP(RowHeaderWidth).Default(100), ORV_PROP(RowHeight).Default(-1),
             ORV_PROP(ShowButtons).Default(true), ORV_PROP(ShowEmptyRowImage).Default(false),
             ORV_PROP(ShowHeaders).Default(true), ORV_PROP(ValueMinWidth).Default(40),
             ORV_PROP(ValueWidth).Default(100))
ORV_REGISTER(TcxvgMultiRecordsOptionsView, ORV_PROP(RecordsInterval).Default(0))
ORV_REGISTER(TcxvgOptionsBehavior,
             ORV_PROP(AlwaysShowEditor).StoredBy<&TcxvgOptionsBehavior::IsAlwaysShowEditorStored>(),
             ORV_PROP(BandSizing).Default(true), ORV_PROP(CellHints).Default(true),
             ORV_PROP(HeaderSizing).Default(true), ORV_PROP(RowSizing).Default(false),
             ORV_PROP(RowTracking).Default(true))
ORV_REGISTER(TcxvgMultiRecordsOptionsBehavior, ORV_PROP(AllowChangeRecord).Default(true),
             ORV_PROP(FocusFirstCellOnNewRecord).Default(false), ORV_PROP(IncSearch).Default(false),
             ORV_PROP_RW(IncSearchItem, GetIncSearchItemRow, SetIncSearchItemRow))
ORV_REGISTER(TcxvgMultiRecordsOptionsData, ORV_PROP(Deleting).Default(true),
             ORV_PROP(DeletingConfirmation).Default(true), ORV_PROP(Inserting).Default(true))
ORV_REGISTER(TcxCustomVerticalGrid)
ORV_REGISTER(TcxUnboundVerticalGrid)
ORV_REGISTER(TcxVerticalGrid, ORV_PROP(Images), ORV_PROP(LayoutStyle).Default(ulsSingleRecordView),
             ORV_PROP(Styles), ORV_EVENT(OnCustomizationFormVisibleChanged), ORV_EVENT(OnDrawBackground),
             ORV_EVENT(OnDrawRowHeader), ORV_EVENT(OnDrawValue), ORV_EVENT(OnEdited), ORV_EVENT(OnEditing),
             ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitEdit), ORV_EVENT(OnItemChanged),
             ORV_EVENT(OnLayoutChanged), ORV_EVENT(OnLeftVisibleBandIndexChanged), ORV_EVENT(OnMouseEnter),
             ORV_EVENT(OnMouseLeave), ORV_EVENT(OnTopRowIndexChanged))

// ---------------------------------------------------------------------------
// View options

TcxCustomVerticalGrid* TcxvgOptionsView::GetVerticalGrid() {
  return dynamic_cast<TcxCustomVerticalGrid*>(GetEditingControl());
}

void TcxvgOptionsView::Changed() { inherited::Changed(); }

void TcxvgOptionsView::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxvgOptionsView*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid) grid->BeginUpdate();
  orv::ScopeExit end([grid] {
    if (grid) grid->EndUpdate();
  });
  inherited::DoAssign(Source);
  SetAutoScaleBands(source->GetAutoScaleBands());
  SetBandsInterval(source->GetBandsInterval());
  SetCategoryExplorerStyle(source->GetCategoryExplorerStyle());
  SetPaintStyle(source->GetPaintStyle());
  FGridLineColor = source->FGridLineColor;
  FGridLineColorAssigned = source->FGridLineColorAssigned;
  SetGridLines(source->GetGridLines());
  SetRowHeaderMinWidth(source->GetRowHeaderMinWidth());
  SetRowHeight(source->GetRowHeight());
  SetShowButtons(source->GetShowButtons());
  SetShowEmptyRowImage(source->GetShowEmptyRowImage());
  SetShowHeaders(source->GetShowHeaders());
  SetValueMinWidth(source->GetValueMinWidth());
  SetValueWidth(source->GetValueWidth());
  if (grid && grid->GetVGViewInfo()) grid->GetVGViewInfo()->ViewBandWidth = 0;
  SetRowHeaderWidth(source->GetRowHeaderWidth());
}

void TcxvgOptionsView::RestoreDefaults() {
  FGridLineColorAssigned = false;
  FGridLineColor = clDefault;
  FRowHeight = -1;
  FBandsInterval = 2;
  Changed();
}

void TcxvgOptionsView::CheckRowHeaderWidth() { SetRowHeaderWidth(FRowHeaderWidth); }

void TcxvgOptionsView::SetAutoScaleBands(bool Value) {
  if (FAutoScaleBands == Value) return;
  FAutoScaleBands = Value;
  Changed();
}

void TcxvgOptionsView::SetBandsInterval(Integer Value) {
  Value = std::clamp(Value, 0, cxvgMaxExtent);
  if (FBandsInterval == Value) return;
  FBandsInterval = Value;
  Changed();
}

void TcxvgOptionsView::SetCategoryExplorerStyle(bool Value) {
  if (FCategoryExplorerStyle == Value) return;
  FCategoryExplorerStyle = Value;
  Changed();
}

void TcxvgOptionsView::SetPaintStyle(TcxvgPaintStyle Value) {
  if (FPaintStyle == Value) return;
  FPaintStyle = Value;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (grid) {
    if (grid->GetViewInfo()) grid->RecreateViewInfo();
    if (TcxvgController* controller = grid->GetVGController()) controller->UpdatePaintStyle();
    grid->GetOptionsBehavior()->ApplyDerivedAlwaysShowEditor();
  }
  CheckRowHeaderWidth();
  Changed();
}

TColor TcxvgOptionsView::GetGridLineColor() const {
  if (FGridLineColorAssigned) return FGridLineColor;
  return FPaintStyle == psDelphi ? clBtnShadow : clBtnFace;
}

void TcxvgOptionsView::SetGridLineColor(TColor Value) {
  if (FGridLineColorAssigned && FGridLineColor == Value) return;
  FGridLineColor = Value;
  FGridLineColorAssigned = true;
  Changed();
}

void TcxvgOptionsView::SetGridLines(TcxvgGridLines Value) {
  if (FGridLines == Value) return;
  FGridLines = Value;
  Changed();
}

void TcxvgOptionsView::SetRowHeaderMinWidth(Integer Value) {
  Value = std::clamp(Value, 0, cxvgMaxExtent);
  if (FRowHeaderMinWidth != Value) {
    FRowHeaderMinWidth = Value;
    Changed();
  }
  CheckRowHeaderWidth();
}

void TcxvgOptionsView::SetRowHeaderWidth(Integer Value) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxvgCustomViewInfo* viewInfo = grid ? grid->GetVGViewInfo() : nullptr;
  Value = std::min(Value, cxvgMaxExtent);
  if (viewInfo) {
    Value = std::max(Value, viewInfo->GetViewMinHeaderWidth());
    if (!grid->GetIsLoading()) viewInfo->CheckMaxRowHeaderWidth(Value, FValueMinWidth);
  }
  Value = std::max(Value, FRowHeaderMinWidth);
  if (FRowHeaderWidth == Value) return;
  FRowHeaderWidth = Value;
  Changed();
}

void TcxvgOptionsView::SetRowHeight(Integer Value) {
  Value = std::clamp(Value, -1, cxvgMaxExtent);
  if (FRowHeight == Value) return;
  FRowHeight = Value;
  Changed();
}

void TcxvgOptionsView::SetShowButtons(bool Value) {
  if (FShowButtons == Value) return;
  FShowButtons = Value;
  Changed();
}

void TcxvgOptionsView::SetShowEmptyRowImage(bool Value) {
  if (FShowEmptyRowImage == Value) return;
  FShowEmptyRowImage = Value;
  Changed();
}

void TcxvgOptionsView::SetShowHeaders(bool Value) {
  if (FShowHeaders == Value) return;
  FShowHeaders = Value;
  Changed();
}

void TcxvgOptionsView::SetValueMinWidth(Integer Value) {
  Value = std::clamp(Value, 20, cxvgMaxExtent);
  if (FValueMinWidth != Value) {
    FValueMinWidth = Value;
    Changed();
  }
  SetValueWidth(FValueWidth);
}

void TcxvgOptionsView::SetValueWidth(Integer Value) {
  Value = std::clamp(Value, FValueMinWidth, cxvgMaxExtent);
  if (FValueWidth == Value) return;
  FValueWidth = Value;
  Changed();
}

void TcxvgMultiRecordsOptionsView::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsView*>(Source))
    SetRecordsInterval(source->GetRecordsInterval());
}

void TcxvgMultiRecordsOptionsView::RestoreDefaults() {
  FRecordsInterval = 0;
  inherited::RestoreDefaults();
}

void TcxvgMultiRecordsOptionsView::SetRecordsInterval(Integer Value) {
  Value = std::clamp(Value, 0, cxvgMaxExtent);
  if (FRecordsInterval == Value) return;
  FRecordsInterval = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Behavior options

TcxvgOptionsBehavior::TcxvgOptionsBehavior(TPersistent* AOwner) : TcxControlOptionsBehavior(AOwner) {
  SetCellHints(true);
}

void TcxvgOptionsBehavior::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  auto* source = dynamic_cast<TcxvgOptionsBehavior*>(Source);
  if (!source) return;
  FAlwaysShowEditorAssigned = source->FAlwaysShowEditorAssigned;
  SetBandSizing(source->GetBandSizing());
  SetHeaderSizing(source->GetHeaderSizing());
  SetRowSizing(source->GetRowSizing());
  SetRowTracking(source->GetRowTracking());
}

void TcxvgOptionsBehavior::RestoreDefaults() {
  FAlwaysShowEditorAssigned = false;
  ApplyDerivedAlwaysShowEditor();
}

void TcxvgOptionsBehavior::SetAlwaysShowEditor(bool Value) {
  FAlwaysShowEditorAssigned = true;
  inherited::SetAlwaysShowEditor(Value);
}

void TcxvgOptionsBehavior::ApplyDerivedAlwaysShowEditor() {
  if (FAlwaysShowEditorAssigned) return;
  auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(GetEditingControl());
  TcxvgOptionsView* view = grid ? grid->GetOptionsView() : nullptr;
  inherited::SetAlwaysShowEditor(view && view->GetPaintStyle() == psDelphi);
}

void TcxvgOptionsBehavior::SetFlag(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TcxvgOptionsBehavior::SetBandSizing(bool Value) { SetFlag(FBandSizing, Value); }
void TcxvgOptionsBehavior::SetHeaderSizing(bool Value) { SetFlag(FHeaderSizing, Value); }
void TcxvgOptionsBehavior::SetRowSizing(bool Value) { SetFlag(FRowSizing, Value); }
void TcxvgOptionsBehavior::SetRowTracking(bool Value) { SetFlag(FRowTracking, Value); }

void TcxvgMultiRecordsOptionsBehavior::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsBehavior*>(Source))
    SetAllowChangeRecord(source->GetAllowChangeRecord());
}

void TcxvgMultiRecordsOptionsBehavior::SetAllowChangeRecord(bool Value) {
  if (FAllowChangeRecord == Value) return;
  FAllowChangeRecord = Value;
  if (TcxEditingControl* control = GetEditingControl()) control->LayoutChanged();
}

TcxCustomEditorRow* TcxvgMultiRecordsOptionsBehavior::GetIncSearchItemRow() {
  auto* item = dynamic_cast<TcxCellEdit*>(GetIncSearchItem());
  return item ? dynamic_cast<TcxCustomEditorRow*>(item->GetRow()) : nullptr;
}

void TcxvgMultiRecordsOptionsBehavior::SetIncSearchItemRow(TcxCustomEditorRow* Value) {
  SetIncSearchItem(Value ? Value->GetProperties()->GetEditContainer() : nullptr);
}

void TcxvgMultiRecordsOptionsData::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxvgMultiRecordsOptionsData*>(Source)) {
    SetDeleting(source->GetDeleting());
    SetDeletingConfirmation(source->GetDeletingConfirmation());
    SetInserting(source->GetInserting());
  }
}

void TcxvgMultiRecordsOptionsData::SetDeleting(bool Value) {
  if (FDeleting == Value) return;
  FDeleting = Value;
  Changed();
}

void TcxvgMultiRecordsOptionsData::SetInserting(bool Value) {
  if (FInserting == Value) return;
  FInserting = Value;
  Changed();
}

void TcxvgMultiRecordsOptionsData::Changed() {
  inherited::Changed();
  if (auto* grid = dynamic_cast<TcxVirtualVerticalGrid*>(GetEditingControl())) grid->RefreshNavigators();
}

// ---------------------------------------------------------------------------
// The grid: life cycle

void TcxCustomVerticalGrid::AfterConstruction() {
  inherited::AfterConstruction();
  FImageChangeLink = New<TChangeLink>();
  FImageChangeLink->OnChange = TNotifyEvent::Bind<&TcxCustomVerticalGrid::ImagesChanged>(this);
  FCategoryFont = New<TFont>();
  UpdateCategoryFont();
  FCategoryFont->OnChange = TNotifyEvent::Bind<&TcxCustomVerticalGrid::CategoryFontChanged>(this);
  SetBounds(GetLeft(), GetTop(), 200, 150);
  GetOptionsBehavior()->ApplyDerivedAlwaysShowEditor();
}

TcxCustomVerticalGrid::~TcxCustomVerticalGrid() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink);
  FreeAndNil(FImageChangeLink);
  FreeAndNil(FCategoryFont);
}

void TcxCustomVerticalGrid::CreateSubClasses() {
  FRows = New<TcxVerticalGridRows>(this);
  FRoot = New<TcxCategoryRow>(nullptr);
  FRoot->SetVerticalGrid(this);
  inherited::CreateSubClasses();
  InitDataController();
  FCustomizing = GetCustomizingClass().Construct<TPersistent*>(this);
}

void TcxCustomVerticalGrid::DestroySubClasses() {
  FreeAndNil(FCustomizing);
  FreeAndNil(FRoot);
  FreeAndNil(FRows);
  inherited::DestroySubClasses();
}

// ---------------------------------------------------------------------------
// Class factories

TcxCustomItemDataBindingClass TcxCustomVerticalGrid::GetEditCellDataBindingClass() {
  return TcxItemDataBinding::StaticClass();
}

TcxCustomControlControllerClass TcxCustomVerticalGrid::GetControllerClass() { return TcxvgController::StaticClass(); }

TClassRef<TcxVerticalGridCustomizing> TcxCustomVerticalGrid::GetCustomizingClass() {
  return TcxVerticalGridCustomizing::StaticClass();
}

void TcxCustomVerticalGrid::SetCustomizing(TcxVerticalGridCustomizing* Value) { FCustomizing->Assign(Value); }

TcxCustomHitTestControllerClass TcxCustomVerticalGrid::GetHitTestControllerClass() {
  return TcxvgHitTest::StaticClass();
}

TClass TcxCustomVerticalGrid::GetDragImageHelperClass() { return TcxvgDragImageHelper::StaticClass(); }

namespace {

TcxCustomRowHeaderInfo* DraggedHeader(TcxCustomVerticalGrid* AGrid) {
  TcxCustomRow* row = AGrid->GetVGController()->GetDragRow();
  TcxCustomRowViewInfo* placed = row ? AGrid->GetVGViewInfo()->GetRowViewInfo(row) : nullptr;
  return placed ? placed->GetHeaderInfo() : nullptr;
}

}  // namespace

TRect TcxCustomVerticalGrid::DragDropImageDisplayRect() {
  TcxCustomRowHeaderInfo* H = DraggedHeader(this);
  if (!H) return cxNullRect;
  return TRect(H->IndentBounds.Right, H->HeaderRect.Top, H->HeaderRect.Right, H->HeaderRect.Bottom);
}

void TcxCustomVerticalGrid::DrawDragDropImage(TBitmap* ABitmap, TcxCanvas*) {
  TcxCustomRowHeaderInfo* H = DraggedHeader(this);
  auto* painter = dynamic_cast<TcxvgPainter*>(GetPainter());
  if (!H || !painter) return;
  // The header paints at its own place in the grid; the image's origin is
  // moved there, so that its top-left lands at (0, 0).
  const TRect R = DragDropImageDisplayRect();
  TOwned<TcxCanvas> canvas(New<TcxCanvas>(ABitmap->GetCanvas()));
  const TPoint origin = canvas->GetWindowOrg();
  canvas->SetWindowOrg({R.Left, R.Top});
  painter->PaintOn(canvas.get(), [&] { painter->DrawHeaderDragImage(H); });
  canvas->SetWindowOrg(origin);
}

TcxCustomControlStylesClass TcxCustomVerticalGrid::GetControlStylesClass() {
  return TcxVerticalGridStyles::StaticClass();
}

TcxCustomControlViewInfoClass TcxCustomVerticalGrid::GetViewInfoClass() {
  switch (GetViewLayoutStyle()) {
    case lsBandsView:
      return TcxBandsViewInfo::StaticClass();
    case lsMultiRecordView:
      return TcxMultiRecordViewInfo::StaticClass();
    default:
      return TcxInspectorViewInfo::StaticClass();
  }
}

TcxControlOptionsBehaviorClass TcxCustomVerticalGrid::GetOptionsBehaviorClass() {
  return TcxvgOptionsBehavior::StaticClass();
}

TcxControlOptionsDataClass TcxCustomVerticalGrid::GetOptionsDataClass() {
  return TcxControlOptionsData::StaticClass();
}

TcxControlOptionsViewClass TcxCustomVerticalGrid::GetOptionsViewClass() { return TcxvgOptionsView::StaticClass(); }

TClass TcxCustomVerticalGrid::GetCalcHelperClass() {
  if (GetOptionsView() && GetOptionsView()->GetPaintStyle() == psDelphi)
    return TcxvgStyle3DCalcHelper::StaticClass();
  return TcxvgDotNetStyleCalcHelper::StaticClass();
}

TClass TcxCustomVerticalGrid::GetScrollStrategyClass() {
  switch (GetViewLayoutStyle()) {
    case lsBandsView:
      return TcxvgBandsScrollStrategy::StaticClass();
    case lsMultiRecordView:
      return TcxvgMultiRecordsScrollStrategy::StaticClass();
    default:
      return TcxvgSingleRecordScrollStrategy::StaticClass();
  }
}

TcxCustomControlPainterClass TcxCustomVerticalGrid::GetPainterClass() {
  if (GetOptionsView() && GetOptionsView()->GetPaintStyle() == psDelphi) return TcxStyle3DPainter::StaticClass();
  return TcxvgPainter::StaticClass();
}

TcxCustomRowClass TcxCustomVerticalGrid::GetEditorRowClass() { return TcxEditorRow::StaticClass(); }

TcxCustomRowClass TcxCustomVerticalGrid::GetMultiEditorRowClass() { return TcxMultiEditorRow::StaticClass(); }

// ---------------------------------------------------------------------------
// Collaborators

TcxvgOptionsView* TcxCustomVerticalGrid::GetOptionsView() {
  return static_cast<TcxvgOptionsView*>(inherited::GetOptionsView());
}

TcxvgOptionsBehavior* TcxCustomVerticalGrid::GetOptionsBehavior() {
  return static_cast<TcxvgOptionsBehavior*>(inherited::GetOptionsBehavior());
}

TcxVerticalGridStyles* TcxCustomVerticalGrid::GetStyles() const {
  return static_cast<TcxVerticalGridStyles*>(inherited::GetStyles());
}

void TcxCustomVerticalGrid::SetStyles(TcxVerticalGridStyles* Value) { inherited::SetStyles(Value); }

TcxvgController* TcxCustomVerticalGrid::GetVGController() const {
  return static_cast<TcxvgController*>(GetController());
}

TcxvgCustomViewInfo* TcxCustomVerticalGrid::GetVGViewInfo() const {
  return static_cast<TcxvgCustomViewInfo*>(GetViewInfo());
}

// ---------------------------------------------------------------------------
// Rows

void TcxCustomVerticalGrid::CheckRowClass(TClass AClass) {
  if (!AClass || !(AClass->InheritsFrom(GetEditorRowClass().Get()) ||
                   AClass->InheritsFrom(TcxCategoryRow::StaticClass()) ||
                   AClass->InheritsFrom(GetMultiEditorRowClass().Get())))
    cxVerticalGridError(cxSvgInvalidRowClass);
}

TcxCustomRow* TcxCustomVerticalGrid::Add(TcxCustomRowClass ARowClass) {
  CheckRowClass(ARowClass.Get());
  TcxCustomRow* row = ARowClass.Construct<TComponent*>(GetOwner());
  row->SetVerticalGrid(this);
  FRows->Add(row);
  LayoutChanged();
  return row;
}

TcxCustomRow* TcxCustomVerticalGrid::AddChild(TcxCustomRow* AParent, TcxCustomRowClass ARowClass) {
  if (!AParent) return Add(ARowClass);
  CheckRowClass(ARowClass.Get());
  TcxCustomRow* row = ARowClass.Construct<TComponent*>(GetOwner());
  row->SetVerticalGrid(this);
  FRows->AddChild(AParent, row);
  LayoutChanged();
  return row;
}

void TcxCustomVerticalGrid::Remove(TcxCustomRow* ARow) {
  if (!ARow) return;
  LockDataChanged();
  {
    orv::ScopeExit unlock([this] { UnlockDataChanged(); });
    FRows->Remove(ARow);
  }
  LayoutChanged();
}

void TcxCustomVerticalGrid::ClearRows() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  GetController()->Clear();
  // The value columns leave last first, as when the grid goes, so that the
  // data drops each from the end of its records.
  for (Integer i = GetItemCount() - 1; i >= 0; --i) GetItem(i)->SetEditingControl(nullptr);
  FRows->Clear();
}

void TcxCustomVerticalGrid::AssignRows(TcxCustomVerticalGrid* AVerticalGrid) {
  if (AVerticalGrid) FRows->AssignRows(AVerticalGrid->GetRows());
}

TcxCustomRow* TcxCustomVerticalGrid::FirstRow() { return FRoot->HasChildren() ? FRoot->GetRow(0) : nullptr; }

TcxCustomRow* TcxCustomVerticalGrid::LastRow() {
  const Integer count = FRows->GetCount();
  return count > 0 ? FRows->GetRow(count - 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::FirstVisibleRow() { return FRoot->GetFirstVisibleChild(); }

TcxCustomRow* TcxCustomVerticalGrid::LastVisibleRow() {
  for (Integer i = FRows->GetCount() - 1; i >= 0; --i)
    if (IsRowVisible(FRows->GetRow(i))) return FRows->GetRow(i);
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::NextRow(TcxCustomRow* ARow) {
  if (!ARow) return FirstRow();
  const Integer index = FRows->IndexOf(ARow);
  return index >= 0 && index + 1 < FRows->GetCount() ? FRows->GetRow(index + 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::PrevRow(TcxCustomRow* ARow) {
  if (!ARow) return LastRow();
  const Integer index = FRows->IndexOf(ARow);
  return index > 0 ? FRows->GetRow(index - 1) : nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::NextVisibleRow(TcxCustomRow* ARow) {
  if (!ARow) return FirstVisibleRow();
  const Integer index = FRows->IndexOf(ARow);
  if (index < 0) return nullptr;
  for (Integer i = index + 1; i < FRows->GetCount(); ++i)
    if (IsRowVisible(FRows->GetRow(i))) return FRows->GetRow(i);
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::PrevVisibleRow(TcxCustomRow* ARow) {
  if (!ARow) return LastVisibleRow();
  for (Integer i = FRows->IndexOf(ARow) - 1; i >= 0; --i)
    if (IsRowVisible(FRows->GetRow(i))) return FRows->GetRow(i);
  return nullptr;
}

bool TcxCustomVerticalGrid::HasRows() const { return FRoot->HasChildren(); }

bool TcxCustomVerticalGrid::IsRowVisible(const TcxCustomRow* ARow) const {
  if (!ARow || !ARow->GetVisible()) return false;
  for (const TcxCustomRow* row = ARow->GetParentRow(); row && row != FRoot; row = row->GetParentRow())
    if (!row->GetExpanded() || !row->GetVisible()) return false;
  return true;
}

void TcxCustomVerticalGrid::FullExpand() {
  if (!HasRows()) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  FRoot->Expand(true);
}

void TcxCustomVerticalGrid::FullCollapse() {
  if (!HasRows()) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  for (Integer i = 0; i < FRoot->GetCount(); ++i) FRoot->GetRow(i)->Collapse(true);
}

TcxCustomRow* TcxCustomVerticalGrid::RowByCaption(const AnsiString& ACaption) {
  for (Integer i = 0; i < FRows->GetCount(); ++i) {
    TcxCustomRow* row = FRows->GetRow(i);
    if (auto* caption = dynamic_cast<TcxCaptionRowProperties*>(row->GetRowProperties())) {
      if (SameText(caption->GetCaption(), ACaption)) return row;
    } else if (auto* multi = dynamic_cast<TcxMultiEditorRowProperties*>(row->GetRowProperties())) {
      for (Integer j = 0; j < multi->GetEditors()->GetCount(); ++j)
        if (SameText(multi->GetEditors()->GetItem(j)->GetCaption(), ACaption)) return row;
    }
  }
  return nullptr;
}

TcxCustomRow* TcxCustomVerticalGrid::RowByName(const AnsiString& AName) {
  for (Integer i = 0; i < FRows->GetCount(); ++i)
    if (SameText(FRows->GetRow(i)->GetName(), AName)) return FRows->GetRow(i);
  return nullptr;
}

// The rows on show are worked out again when they are next asked for; a
// focused row the change took off the screen keeps the focus no longer.
void TcxCustomVerticalGrid::RowsChanged() {
  if (!IsLocked()) LayoutChanged();
  if (GetIsLoading() || GetIsDestroying()) return;
  if (TcxvgController* controller = GetVGController()) controller->CheckFocusedRowOnShow();
}

void TcxCustomVerticalGrid::DoEndUpdate() {
  if (GetLockCount() <= 1) FRows->ApplyHeldChange();
  inherited::DoEndUpdate();
}

void TcxCustomVerticalGrid::UpdateDesignEditor() {
  if (!GetIsDesigning() || IsLocked()) return;
  LayoutChanged();
  Modified();
}

void TcxCustomVerticalGrid::RestoreDefaults() {
  BeginUpdate();
  {
    orv::ScopeExit end([this] { EndUpdate(); });
    GetOptionsBehavior()->RestoreDefaults();
    GetOptionsView()->RestoreDefaults();
    FRows->RestoreDefaults();
  }
  Modified();
}

// ---------------------------------------------------------------------------
// Focus and editing

TcxCustomRow* TcxCustomVerticalGrid::GetFocusedRow() {
  TcxvgController* controller = GetVGController();
  return controller ? controller->GetFocusedRow() : nullptr;
}

void TcxCustomVerticalGrid::SetFocusedRow(TcxCustomRow* Value) {
  TcxvgController* controller = GetVGController();
  if (!controller) return;
  controller->SetFocusedRow(Value);
  controller->MakeFocusedItemVisible();
}

void TcxCustomVerticalGrid::FocusRow(TcxCustomRow* ARow, Integer ACellIndex) {
  TcxvgController* controller = GetVGController();
  controller->SetFocusedRowAndCell(ARow, ACellIndex);
  controller->MakeFocusedItemVisible();
}

void TcxCustomVerticalGrid::ShowEdit() {
  if (!GetOptionsData()->GetEditing()) return;
  GetDataController()->Edit();
  if (CanFocusEx()) SetFocus();
  GetController()->GetEditingController()->ShowEdit(GetController()->GetFocusedItem());
}

void TcxCustomVerticalGrid::ShowEditByKey(char AKey) {
  if (!GetOptionsData()->GetEditing()) return;
  GetDataController()->Edit();
  if (CanFocusEx()) SetFocus();
  GetController()->GetEditingController()->ShowEdit(GetController()->GetFocusedItem(), AKey);
}

void TcxCustomVerticalGrid::ShowEditByMouse(Integer X, Integer Y, TShiftState AShift) {
  if (!GetOptionsData()->GetEditing()) return;
  GetDataController()->Edit();
  if (CanFocusEx()) SetFocus();
  GetController()->GetEditingController()->ShowEdit(GetController()->GetFocusedItem(), AShift, X, Y);
}

void TcxCustomVerticalGrid::HideEdit() { GetController()->GetEditingController()->HideEdit(true); }

void TcxCustomVerticalGrid::CancelEdit() { GetController()->GetEditingController()->HideEdit(false); }

bool TcxCustomVerticalGrid::IsEditing() { return GetController() && GetController()->GetIsEditing(); }

TcxCustomEdit* TcxCustomVerticalGrid::GetInplaceEditor() {
  return IsEditing() ? GetController()->GetEditingController()->GetEdit() : nullptr;
}

Integer TcxCustomVerticalGrid::GetRecordCount() { return GetDataController()->GetRecordCount(); }

// ---------------------------------------------------------------------------
// Events

namespace {
TcxCustomEditorRowProperties* RowPropertiesOf(TcxCustomInplaceEditContainer* AItem) {
  auto* cell = dynamic_cast<TcxCellEdit*>(AItem);
  return cell ? cell->GetRowProperties() : nullptr;
}
}  // namespace

bool TcxCustomVerticalGrid::DoEditing(TcxCustomInplaceEditContainer* AItem) {
  bool allow = true;
  if (OnEditing) OnEditing(this, RowPropertiesOf(AItem), allow);
  return allow;
}

void TcxCustomVerticalGrid::DoEdited(TcxCustomInplaceEditContainer* AItem) {
  if (OnEdited) OnEdited(this, RowPropertiesOf(AItem));
}

void TcxCustomVerticalGrid::DoEditValueChanged(TcxCustomInplaceEditContainer* AItem) {
  if (OnEditValueChanged) OnEditValueChanged(this, RowPropertiesOf(AItem));
}

void TcxCustomVerticalGrid::DoItemChanged(TcxCustomRow* AOldRow, Integer AOldCellIndex) {
  if (OnItemChanged) OnItemChanged(this, AOldRow, AOldCellIndex);
}

void TcxCustomVerticalGrid::DoCustomizationVisibleChanged() {
  if (OnCustomizationFormVisibleChanged) OnCustomizationFormVisibleChanged(this);
}

bool TcxCustomVerticalGrid::DoDrawBackgroundPart(const TRect& R, const TcxViewParams& AViewParams) {
  bool done = false;
  if (OnDrawBackground) OnDrawBackground(this, GetPainter()->GetCanvas(), R, AViewParams, done);
  return done;
}

bool TcxCustomVerticalGrid::DoDrawRowHeader(TObject* AHeaderViewInfo) {
  bool done = false;
  if (OnDrawRowHeader) OnDrawRowHeader(this, GetPainter()->GetCanvas(), GetPainter(), AHeaderViewInfo, done);
  return done;
}

bool TcxCustomVerticalGrid::DoDrawValue(TObject* AValueInfo) {
  bool done = false;
  if (OnDrawValue) OnDrawValue(this, GetPainter()->GetCanvas(), GetPainter(), AValueInfo, done);
  return done;
}

void TcxCustomVerticalGrid::DoLeftVisibleBandIndexChanged() {
  if (OnLeftVisibleBandIndexChanged) OnLeftVisibleBandIndexChanged(this);
}

void TcxCustomVerticalGrid::DoLeftVisibleRecordIndexChanged() {
  if (OnLeftVisibleRecordIndexChanged) OnLeftVisibleRecordIndexChanged(this);
}

void TcxCustomVerticalGrid::DoTopRowIndexChanged() {
  if (OnTopRowIndexChanged) OnTopRowIndexChanged(this);
}

// ---------------------------------------------------------------------------
// Layout and the control's hooks

bool TcxCustomVerticalGrid::CanBandSizing() {
  return GetOptionsBehavior()->GetBandSizing() && !GetOptionsView()->GetAutoScaleBands();
}

bool TcxCustomVerticalGrid::GetCellAutoHeight() { return GetOptionsView()->GetCellAutoHeight(); }

void TcxCustomVerticalGrid::RecreateViewInfo() {
  if (!GetViewInfo()) {
    inherited::RecreateViewInfo();
    return;
  }
  if (GetController()->GetIsEditing()) GetController()->GetEditingController()->HideEdit(true);
  {
    LockDataChanged();
    orv::ScopeExit unlock([this] { UnlockDataChanged(); });
    auto recreating = orv::TempValue(FRecreatingViewInfo, true);
    inherited::RecreateViewInfo();
  }
  GetController()->CheckEdit();
}

void TcxCustomVerticalGrid::LayoutStyleChanged() {
  RecreateViewInfo();
  if (TcxvgCustomViewInfo* viewInfo = GetVGViewInfo()) viewInfo->LayoutStyleChanged();
}

void TcxCustomVerticalGrid::DoLayoutChanged() {
  if (GetComponentState().Contains(csUpdating)) return;
  inherited::DoLayoutChanged();
  if (FCustomizing && FCustomizing->GetVisible()) FCustomizing->Update();
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TcxCustomVerticalGrid::DataChanged(TcxCustomInplaceEditContainer* AItem) {
  if (IsDataChangeLocked()) return;
  {
    LockDataChanged();
    orv::ScopeExit unlock([this] { UnlockDataChanged(); });
    inherited::DataChanged(AItem);
  }
  LayoutChanged();
  GetController()->MakeFocusedRecordVisible();
}

void TcxCustomVerticalGrid::Loaded() {
  TcxvgCustomViewInfo* viewInfo = GetVGViewInfo();
  const bool initializing = viewInfo ? viewInfo->IsInitializing : false;
  if (viewInfo) viewInfo->IsInitializing = true;
  {
    orv::ScopeExit restore([this, initializing] {
      if (TcxvgCustomViewInfo* info = GetVGViewInfo()) info->IsInitializing = initializing;
    });
    inherited::Loaded();
    GetOptionsBehavior()->ApplyDerivedAlwaysShowEditor();
  }
  LayoutChanged();
}

void TcxCustomVerticalGrid::InitControl() {
  if (TcxvgCustomViewInfo* viewInfo = GetVGViewInfo()) viewInfo->IsInitializing = false;
  inherited::InitControl();
}

void TcxCustomVerticalGrid::UpdateCategoryFont() {
  if (!FCategoryFont) return;
  FCategoryFont->Assign(GetFont());
  TFontStyles style = FCategoryFont->GetStyle();
  style.Include(fsBold);
  FCategoryFont->SetStyle(style);
}

void TcxCustomVerticalGrid::CategoryFontChanged(TObject*) { LayoutChanged(); }

void TcxCustomVerticalGrid::FontChanged() {
  {
    LockDataChanged();
    orv::ScopeExit unlock([this] { UnlockDataChanged(); });
    inherited::FontChanged();
  }
  UpdateCategoryFont();
  LayoutChanged();
}

void TcxCustomVerticalGrid::BoundsChanged() {
  inherited::BoundsChanged();
  LayoutChanged();
}

void TcxCustomVerticalGrid::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  if (FCustomizing) FCustomizing->LookAndFeelChanged();
  if (GetOptionsView()->GetCellAutoHeight()) LayoutChanged();
}

void TcxCustomVerticalGrid::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
}

void TcxCustomVerticalGrid::ImagesChanged(TObject*) {
  if (HandleAllocated()) LayoutChanged();
}

void TcxCustomVerticalGrid::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (!GetIsDestroying()) LayoutChanged();
  }
}

// ---------------------------------------------------------------------------
// Component streaming

void TcxCustomVerticalGrid::GetChildren(TGetChildProc Proc, TComponent*) {
  for (Integer i = 0; i < FRoot->GetCount(); ++i) Proc(FRoot->GetRow(i));
}

void TcxCustomVerticalGrid::SetName(const AnsiString& NewName) {
  const AnsiString oldName = GetName();
  inherited::SetName(NewName);
  if (oldName == NewName || NewName.empty() || oldName.empty()) return;
  RenameComponents(GetOwner(), oldName, NewName);
  if (!GetIsLoading() && HasRows()) LayoutChanged();
}

// ---------------------------------------------------------------------------
// The unbound grid

void TcxUnboundVerticalGrid::InitDataController() {
  GetDataController()->SetRecordCount(1);
  GetController()->SetFocusedRecordIndex(0);
}

bool TcxUnboundVerticalGrid::CanBandSizing() {
  return FLayoutStyle != ulsSingleRecordView && inherited::CanBandSizing();
}

TcxvgLayoutStyle TcxUnboundVerticalGrid::GetViewLayoutStyle() {
  return FLayoutStyle == ulsBandsView ? lsBandsView : lsSingleRecordView;
}

void TcxUnboundVerticalGrid::SetLayoutStyle(TcxvgUnboundLayoutStyle Value) {
  if (FLayoutStyle == Value) return;
  FLayoutStyle = Value;
  LayoutStyleChanged();
}
