#include "library/grid/vgrid/cxVGridRows.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StringList.h"

ORV_REGISTER(EcxVerticalGridError)
ORV_REGISTER(TcxRowOptions, ORV_PROP(CanAutoHeight).Default(true), ORV_PROP(CanMovedToCustomizationForm).Default(true),
             ORV_PROP(CanResized).Default(true), ORV_PROP(Focusing).Default(true), ORV_PROP(Moving).Default(true),
             ORV_PROP(ShowExpandButton).Default(true), ORV_PROP(ShowInCustomizationForm).Default(true),
             ORV_PROP(TabStop).Default(true))
ORV_REGISTER(TcxRowList)
ORV_REGISTER(TcxCustomRow)
ORV_REGISTER(TcxCategoryRow, ORV_PROP(Expanded).Default(true), ORV_PROP(Height).Default(-1), ORV_PROP(Options),
             ::orv::MakeProp<ThisClass, static_cast<TcxCaptionRowProperties* (ThisClass::*)() const>(
                                            &ThisClass::GetProperties),
                             &ThisClass::SetProperties>("Properties"),
             ORV_PROP(Styles), ORV_PROP(Visible).Default(true))
ORV_REGISTER(TcxVerticalGridRows)

void cxVerticalGridError(const TResStringRec& AText) { throw EcxVerticalGridError(cxVGridResString(AText)); }

namespace {

const char* const kParentID = "AParentID";
const char* const kIndex = "Index";
const char* const kVisible = "Visible";
const char* const kHeight = "Height";
const char* const kExpanded = "Expanded";
const char* const kCaption = "Caption";

// The height of a font on the screen canvas, + 4.
Integer FontRowHeight(TFont* AFont) {
  TcxCanvas* canvas = cxScreenCanvas();
  return (AFont ? canvas->FontHeight(AFont) : canvas->TextHeight("Qq")) + 4;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxRowOptions

TPersistent* TcxRowOptions::GetOwner() { return FRow; }

void TcxRowOptions::Changed() {
  if (FRow) FRow->Changed(false);
}

void TcxRowOptions::SetNotifying(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed();
}

void TcxRowOptions::SetCanAutoHeight(bool Value) { SetNotifying(FCanAutoHeight, Value); }
void TcxRowOptions::SetFocusing(bool Value) { SetNotifying(FFocusing, Value); }
void TcxRowOptions::SetShowExpandButton(bool Value) { SetNotifying(FShowExpandButton, Value); }
void TcxRowOptions::SetShowInCustomizationForm(bool Value) { SetNotifying(FShowInCustomizationForm, Value); }

void TcxRowOptions::RestoreDefaults() {
  FCanAutoHeight = FCanMovedToCustomizationForm = FCanResized = FFocusing = FMoving = FShowExpandButton =
      FShowInCustomizationForm = FTabStop = true;
  Changed();
}

void TcxRowOptions::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxRowOptions*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  FCanAutoHeight = source->FCanAutoHeight;
  FCanMovedToCustomizationForm = source->FCanMovedToCustomizationForm;
  FCanResized = source->FCanResized;
  FFocusing = source->FFocusing;
  FMoving = source->FMoving;
  FShowExpandButton = source->FShowExpandButton;
  FShowInCustomizationForm = source->FShowInCustomizationForm;
  FTabStop = source->FTabStop;
  Changed();
}

// ---------------------------------------------------------------------------
// TcxRowList

void TcxRowList::Renumber(Integer AFrom, Integer ATo) {
  if (FOwner && FOwner->IsDestroying()) return;
  for (Integer i = std::max(AFrom, 0); i <= ATo && i < GetCount(); ++i) GetRow(i)->FIndex = i;
}

void TcxRowList::InsertRow(Integer AIndex, TcxCustomRow* ARow) {
  Insert(AIndex, ARow);
  Renumber(AIndex, GetCount() - 1);
}

void TcxRowList::DeleteRow(Integer AIndex) {
  Delete(AIndex);
  Renumber(AIndex, GetCount() - 1);
}

void TcxRowList::MoveRow(Integer ACurIndex, Integer ANewIndex) {
  Move(ACurIndex, ANewIndex);
  Renumber(std::min(ACurIndex, ANewIndex), std::max(ACurIndex, ANewIndex));
}

void TcxRowList::SetOrder(const std::vector<TcxCustomRow*>& ARows) {
  for (Integer i = 0; i < GetCount() && i < static_cast<Integer>(ARows.size()); ++i) Put(i, ARows[i]);
  Renumber(0, GetCount() - 1);
}

// ---------------------------------------------------------------------------
// TcxCustomRow: life cycle

void TcxCustomRow::AfterConstruction() {
  inherited::AfterConstruction();
  FProperties = TClassRef<TcxCustomRowProperties>(GetPropertiesClass()).Construct<TcxCustomRow*>(this);
}

void TcxCustomRow::BeforeDestruction() {
  inherited::BeforeDestruction();
  TcxCustomVerticalGrid* grid = FVerticalGrid;
  const bool gridAlive = grid && !grid->GetIsDestroying();
  if (gridAlive)
    if (auto* controller = grid->GetVGController()) controller->RowDestroying(this);
  if (FParent) {
    const Integer index = FParent->IndexOf(this);
    if (index >= 0) FParent->Delete(index);
  }
  RemoveAll();
  if (gridAlive && this != grid->GetRoot()) grid->GetRows()->Changed(true);
}

TcxCustomRow::~TcxCustomRow() {
  // The geometry first: its value cells hold the row's edit containers.
  FreeAndNil(FViewInfo);
  FreeAndNil(FChildren);
  FreeAndNil(FProperties);
  FreeAndNil(FStyles);
  FreeAndNil(FOptions);
}

void TcxCustomRow::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomRow*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  SetHeight(source->GetHeight());
  SetVisible(source->GetVisible());
  SetExpanded(source->GetExpanded());
  FProperties->Assign(source->FProperties);
  // Options and styles never made hold nothing to copy.
  if (FOptions || source->FOptions) GetOptions()->Assign(source->GetOptions());
  if (FStyles || source->FStyles) GetStyles()->Assign(source->GetStyles());
}

TcxRowOptions* TcxCustomRow::GetOptions() const {
  auto* self = const_cast<TcxCustomRow*>(this);
  if (!FOptions) FOptions = self->GetOptionsClass().Construct<TcxCustomRow*>(self);
  return FOptions;
}

TcxvgCustomRowStyles* TcxCustomRow::GetStyles() const {
  auto* self = const_cast<TcxCustomRow*>(this);
  if (!FStyles) FStyles = TClassRef<TcxvgCustomRowStyles>(self->GetStylesClass()).Construct<TPersistent*>(self);
  return FStyles;
}

// ---------------------------------------------------------------------------
// TcxCustomRow: the stored layout

bool TcxCustomRow::GetNameMode() const { return FVerticalGrid && FVerticalGrid->GetNameMode(); }

AnsiString TcxCustomRow::GetObjectName() {
  if (GetNameMode() && !GetName().empty()) return GetName();
  return IntToStr(FID);
}

bool TcxCustomRow::GetProperties(TStrings* AProperties) {
  for (const char* name : {kParentID, kIndex, kVisible, kHeight, kExpanded}) AProperties->Add(name);
  return true;
}

void TcxCustomRow::GetPropertyValue(const AnsiString& AName, Variant& AValue) {
  if (SameText(AName, kVisible))
    AValue = FVisible;
  else if (SameText(AName, kHeight))
    AValue = FHeight;
  else if (SameText(AName, kExpanded))
    AValue = FExpanded;
  else if (SameText(AName, kParentID)) {
    TcxCustomRow* parent = FParent ? FParent : (FVerticalGrid ? FVerticalGrid->GetRoot() : nullptr);
    if (GetNameMode())
      AValue = parent ? parent->GetObjectName() : AnsiString("-1");
    else
      AValue = parent ? parent->GetID() : -1;
  } else if (SameText(AName, kIndex))
    AValue = FIndex;
  else
    AValue = Null();
}

void TcxCustomRow::SetPropertyValue(const AnsiString& AName, const Variant& AValue) {
  if (SameText(AName, kVisible))
    SetVisible(AValue.AsBoolean());
  else if (SameText(AName, kExpanded))
    SetExpanded(AValue.AsBoolean());
  else if (SameText(AName, kHeight))
    SetHeight(AValue.AsInteger());
  else if (SameText(AName, kParentID)) {
    if (GetNameMode()) {
      LoadingParentName = VarToStr(AValue);
    } else if (FVerticalGrid) {
      // An unknown ID, the row itself or one of its descendants gives the
      // top level, as a stored layout is outside data.
      TcxCustomRow* parent = FVerticalGrid->GetRows()->FindRowByID(AValue.AsInteger());
      if (!parent || parent == this || IsParent(parent)) parent = FVerticalGrid->GetRoot();
      SetParent(parent);
    }
  } else if (SameText(AName, kIndex)) {
    if (GetNameMode())
      LoadingIndex = AValue.AsInteger();
    else
      SetIndex(AValue.AsInteger());
  }
}

// ---------------------------------------------------------------------------
// TcxCustomRow: operations

bool TcxCustomRow::CanFocus() { return GetOptions()->GetFocusing(); }

void TcxCustomRow::Changed(bool ARebuild) {
  if (FVerticalGrid && !IsDestroying()) FVerticalGrid->GetRows()->Changed(ARebuild);
}

Integer TcxCustomRow::GetDefaultHeight() {
  if (!FVerticalGrid) return FontRowHeight(nullptr);
  const TcxViewParams params = FVerticalGrid->GetStyles()->GetHeaderParams(this);
  return std::max(FVerticalGrid->GetOptionsView()->GetRowHeight(), FontRowHeight(params.Font));
}

TcxCustomInplaceEditContainer* TcxCustomRow::GetEditContainer(Integer) { return nullptr; }

TClass TcxCustomRow::GetPropertiesClass() { return TcxCaptionRowProperties::StaticClass(); }

Integer TcxCustomRow::GetRealHeight() { return std::max(FHeight, GetDefaultHeight()); }

TcxRowOptionsClass TcxCustomRow::GetOptionsClass() { return TcxRowOptions::StaticClass(); }

TClass TcxCustomRow::GetStylesClass() { return TcxvgCustomRowStyles::StaticClass(); }

void TcxCustomRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  if (Value != FVerticalGrid) {
    FVerticalGrid = Value;
    if (Value && this != Value->GetRoot()) FID = Value->GetRows()->GetNextID();
  }
  for (Integer i = 0; i < GetCount(); ++i) GetRow(i)->SetVerticalGrid(Value);
}

Integer TcxCustomRow::GetVisibleIndex() const {
  return FVerticalGrid && FVisibleStamp == FVerticalGrid->VisibleRowsStamp ? FVisibleIndex : -1;
}

void TcxCustomRow::SetVisibleIndex(Integer Value) {
  FVisibleIndex = Value;
  FVisibleStamp = FVerticalGrid ? FVerticalGrid->VisibleRowsStamp : -1;
}

TObject* TcxCustomRow::CreateViewInfo() {
  if (FViewInfo || !FVerticalGrid || this == FVerticalGrid->GetRoot()) return FViewInfo;
  if (dynamic_cast<TcxCategoryRow*>(this))
    FViewInfo = New<TcxCategoryRowViewInfo>(this);
  else if (dynamic_cast<TcxCustomMultiEditorRow*>(this))
    FViewInfo = New<TcxMultiEditorRowViewInfo>(this);
  else
    FViewInfo = New<TcxEditorRowViewInfo>(this);
  return FViewInfo;
}

TcxVerticalGridRows* TcxCustomRow::GetRows() const { return FVerticalGrid ? FVerticalGrid->GetRows() : nullptr; }

// ---------------------------------------------------------------------------
// TcxCustomRow: the tree

void TcxCustomRow::Insert(Integer AIndex, TcxCustomRow* ARow) {
  if (!FChildren) FChildren = New<TcxRowList>(this);
  ARow->FParent = this;
  ARow->SetVerticalGrid(FVerticalGrid);
  FChildren->InsertRow(AIndex, ARow);
  TcxVerticalGridRows* rows = GetRows();
  if (!rows) return;
  // A row that lands at the very end of the tree order (the last child of
  // a chain of last children from the root) moves no other row: the rows
  // on show before it keep their places and the layout adds it to them.
  bool tail = ARow->FIndex == GetCount() - 1;
  const TcxCustomRow* row = this;
  for (; tail && row->FParent; row = row->FParent) tail = row->FIndex == row->FParent->GetCount() - 1;
  if (tail && row == rows->GetRoot())
    rows->MarkAppended();
  else
    rows->MarkStale();
}

void TcxCustomRow::Delete(Integer AIndex) {
  if (!FChildren || AIndex < 0 || AIndex >= FChildren->GetCount()) cxVerticalGridError(cxSvgIndexError);
  TcxCustomRow* row = FChildren->GetRow(AIndex);
  FChildren->DeleteRow(AIndex);
  row->FParent = nullptr;
  if (TcxVerticalGridRows* rows = GetRows()) rows->MarkStale();
}

// The last child goes first, so that no sibling is renumbered on the way.
void TcxCustomRow::RemoveAll() {
  while (GetCount() > 0) GetRow(GetCount() - 1)->Free();
  FreeAndNil(FChildren);
  if (TcxVerticalGridRows* rows = GetRows()) rows->MarkStale();
}

Integer TcxCustomRow::IndexOf(TcxCustomRow* ARow) const {
  if (!FChildren || !ARow || ARow->FParent != this) return -1;
  // A child's Index is its place among its siblings.
  if (ARow->FIndex >= 0 && ARow->FIndex < FChildren->GetCount() && FChildren->GetRow(ARow->FIndex) == ARow)
    return ARow->FIndex;
  return FChildren->IndexOf(ARow);
}

TcxCustomRow* TcxCustomRow::GetRow(Integer AIndex) const {
  if (!FChildren || AIndex < 0 || AIndex >= FChildren->GetCount()) cxVerticalGridError(cxSvgIndexError);
  return FChildren->GetRow(AIndex);
}

bool TcxCustomRow::HasVisibleChildren() const { return GetFirstVisibleChild() != nullptr; }

TcxCustomRow* TcxCustomRow::GetFirstVisibleChild() const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetRow(i)->GetVisible()) return GetRow(i);
  return nullptr;
}

TcxCustomRow* TcxCustomRow::GetLastVisibleChild() const {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TcxCustomRow* child = GetRow(i);
    if (!child->GetVisible()) continue;
    if (child->GetExpanded())
      if (TcxCustomRow* inner = child->GetLastVisibleChild()) return inner;
    return child;
  }
  return nullptr;
}

bool TcxCustomRow::IsLast() const { return FParent && FIndex == FParent->GetCount() - 1; }

bool TcxCustomRow::IsFirstVisible() const { return FParent && FParent->GetFirstVisibleChild() == this; }

bool TcxCustomRow::IsLastVisible() const {
  if (!FParent) return false;
  for (Integer i = FParent->GetCount() - 1; i >= 0; --i)
    if (FParent->GetRow(i)->GetVisible()) return FParent->GetRow(i) == this;
  return false;
}

bool TcxCustomRow::IsRootLevel() const { return FVerticalGrid && FParent == FVerticalGrid->GetRoot(); }

bool TcxCustomRow::IsParent(const TcxCustomRow* ARow) const {
  for (const TcxCustomRow* row = ARow ? ARow->FParent : nullptr; row; row = row->FParent)
    if (row == this) return true;
  return false;
}

bool TcxCustomRow::IsChild(const TcxCustomRow* ARow) const { return ARow && ARow->IsParent(this); }

Integer TcxCustomRow::GetLevel() const {
  Integer level = 0;
  for (const TcxCustomRow* row = FParent; row && row->FParent; row = row->FParent) ++level;
  return level;
}

Integer TcxCustomRow::GetAbsoluteIndex() {
  TcxVerticalGridRows* rows = GetRows();
  return rows ? rows->IndexOf(this) : -1;
}

TcxCustomRow* TcxCustomRow::GetParent() const {
  if (!FParent || (FVerticalGrid && FParent == FVerticalGrid->GetRoot()) || !FParent->FParent) return nullptr;
  return FParent;
}

void TcxCustomRow::SetParent(TcxCustomRow* Value) {
  if (!Value) {
    if (!FVerticalGrid) return;
    Value = FVerticalGrid->GetRoot();
  }
  // The row itself or a row below it would close a loop that every walk
  // of the tree would follow for ever.
  if (Value == this || IsParent(Value) || Value == FParent) return;
  if (FParent) FParent->Delete(FParent->IndexOf(this));
  Value->Add(this);
  Changed(true);
}

bool TcxCustomRow::GetFocused() { return FVerticalGrid && FVerticalGrid->GetFocusedRow() == this; }

void TcxCustomRow::SetFocused(bool Value) {
  if (!FVerticalGrid || GetFocused() == Value) return;
  FVerticalGrid->SetFocusedRow(Value ? this : nullptr);
}

void TcxCustomRow::Expand(bool ARecurse) { SetExpandedDeep(true, ARecurse); }

void TcxCustomRow::Collapse(bool ARecurse) { SetExpandedDeep(false, ARecurse); }

// A row without children only keeps the flag; otherwise the whole change
// reaches the grid once.
void TcxCustomRow::SetExpandedDeep(bool AExpanded, bool ARecurse) {
  if (!HasChildren()) {
    FExpanded = AExpanded;
    return;
  }
  TcxVerticalGridRows* rows = GetRows();
  if (rows) rows->BeginUpdate();
  orv::ScopeExit end([rows] {
    if (rows) rows->EndUpdate();
  });
  SetExpanded(AExpanded);
  if (ARecurse)
    for (Integer i = 0; i < GetCount(); ++i) GetRow(i)->SetExpandedDeep(AExpanded, true);
}

void TcxCustomRow::MakeVisible() {
  if (FVerticalGrid)
    if (auto* controller = FVerticalGrid->GetVGController()) controller->MakeRowVisible(this);
}

void TcxCustomRow::RestoreDefaults() {
  SetHeight(-1);
  GetOptions()->RestoreDefaults();
}

// ---------------------------------------------------------------------------
// TcxCustomRow: properties

void TcxCustomRow::SetExpanded(bool Value) {
  if (FExpanded == Value) return;
  FExpanded = Value;
  Changed(HasChildren());
}

void TcxCustomRow::SetHeight(Integer Value) {
  Value = std::clamp(Value, -1, cxvgMaxExtent);
  if (FHeight == Value) return;
  FHeight = Value;
  Changed(false);
}

void TcxCustomRow::SetIndex(Integer Value) {
  if (!FParent || Value < 0 || Value >= FParent->GetCount() || Value == FIndex) return;
  FParent->FChildren->MoveRow(FIndex, Value);
  if (TcxVerticalGridRows* rows = GetRows()) rows->MarkStale();
  Changed(true);
}

void TcxCustomRow::SetStyles(TcxvgCustomRowStyles* Value) {
  GetStyles()->Assign(Value);
  Changed(false);
}

void TcxCustomRow::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(true);
}

// ---------------------------------------------------------------------------
// TcxCustomRow: component streaming

void TcxCustomRow::SetName(const AnsiString& NewName) {
  inherited::SetName(NewName);
  if (!IsLoading()) Changed(false);
}

TComponent* TcxCustomRow::GetParentComponent() {
  if (TcxCustomRow* parent = GetParent()) return parent;
  return FVerticalGrid;
}

void TcxCustomRow::GetChildren(TGetChildProc Proc, TComponent*) {
  for (Integer i = 0; i < GetCount(); ++i) Proc(GetRow(i));
}

void TcxCustomRow::SetParentComponent(TComponent* Value) {
  auto* grid = dynamic_cast<TcxCustomVerticalGrid*>(Value);
  auto* row = dynamic_cast<TcxCustomRow*>(Value);
  if (!grid && !row) {
    if (GetComponentState().Contains(csReading))
      throw EReadError("Row %s lies outside a vertical grid", {GetName()});
    return;
  }
  if (FParent) FParent->Delete(FParent->IndexOf(this));
  if (grid)
    grid->GetRoot()->Add(this);
  else if (row != this && !IsParent(row))
    row->Add(this);
  if (FVerticalGrid) FVerticalGrid->GetRows()->Changed(true);
}

// ---------------------------------------------------------------------------
// TcxCategoryRow

bool TcxCategoryRow::GetProperties(TStrings* AProperties) {
  AProperties->Add(kCaption);
  return inherited::GetProperties(AProperties);
}

void TcxCategoryRow::GetPropertyValue(const AnsiString& AName, Variant& AValue) {
  if (SameText(AName, kCaption))
    AValue = GetProperties()->GetCaption();
  else
    inherited::GetPropertyValue(AName, AValue);
}

void TcxCategoryRow::SetPropertyValue(const AnsiString& AName, const Variant& AValue) {
  if (SameText(AName, kCaption)) {
    const AnsiString caption = VarToStr(AValue);
    if (!caption.empty()) GetProperties()->SetCaption(caption);
  } else {
    inherited::SetPropertyValue(AName, AValue);
  }
}

Integer TcxCategoryRow::GetDefaultHeight() {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (!grid) return FontRowHeight(nullptr);
  const TcxViewParams params = grid->GetStyles()->GetCategoryParams(this);
  return std::max(grid->GetOptionsView()->GetRowHeight(), FontRowHeight(params.Font));
}

TClass TcxCategoryRow::GetPropertiesClass() { return TcxCaptionRowProperties::StaticClass(); }

TClass TcxCategoryRow::GetStylesClass() { return TcxCategoryRowStyles::StaticClass(); }

TcxCaptionRowProperties* TcxCategoryRow::GetProperties() const {
  return static_cast<TcxCaptionRowProperties*>(FProperties);
}

void TcxCategoryRow::SetProperties(TcxCaptionRowProperties* Value) { FProperties->Assign(Value); }

// ---------------------------------------------------------------------------
// TcxVerticalGridRows

TcxCustomRow* TcxVerticalGridRows::GetRoot() const { return FGrid->GetRoot(); }

void TcxVerticalGridRows::Changed(bool ARebuild) {
  if (ARebuild) MarkStale();
  if (IsLocked() || FGrid->GetIsDestroying()) return;
  if (FGrid->GetLockCount() > 0) {
    FChangeHeld = true;
    return;
  }
  FChangeHeld = false;
  FGrid->RowsChanged();
  FGrid->GetOptionsView()->CheckRowHeaderWidth();
}

void TcxVerticalGridRows::ApplyHeldChange() {
  if (!FChangeHeld || IsLocked() || FGrid->GetIsDestroying()) return;
  FChangeHeld = false;
  FGrid->RowsChanged();
  FGrid->GetOptionsView()->CheckRowHeaderWidth();
}

void TcxVerticalGridRows::EndUpdate() {
  if (FLockCount == 0) return;
  if (--FLockCount == 0) Changed(true);
}

void TcxVerticalGridRows::Prepare() {
  if (IsStale()) Rebuild();
}

// Pre-order: a row, then its children in order, then its next sibling.
void TcxVerticalGridRows::Rebuild() {
  FList.clear();
  FIDs.clear();
  TcxCustomRow* root = GetRoot();
  TcxCustomRow* row = root && root->HasChildren() ? root->GetRow(0) : nullptr;
  while (row) {
    row->FAbsoluteIndex = static_cast<Integer>(FList.size());
    FList.push_back(row);
    FIDs.emplace(row->GetID(), row);
    if (row->HasChildren()) {
      row = row->GetRow(0);
      continue;
    }
    while (row && row != root) {
      TcxCustomRow* parent = row->FParent;
      if (parent && row->GetIndex() + 1 < parent->GetCount()) {
        row = parent->GetRow(row->GetIndex() + 1);
        break;
      }
      row = parent;
    }
    if (row == root) row = nullptr;
  }
  FPreparedCount = static_cast<Integer>(FList.size());
}

Integer TcxVerticalGridRows::GetCount() {
  Prepare();
  return FPreparedCount;
}

TcxCustomRow* TcxVerticalGridRows::GetRow(Integer AIndex) {
  Prepare();
  if (AIndex < 0 || AIndex >= FPreparedCount) cxVerticalGridError(cxSvgIndexError);
  return FList[static_cast<size_t>(AIndex)];
}

void TcxVerticalGridRows::SetRow(Integer AIndex, TcxCustomRow* ARow) {
  Prepare();
  if (AIndex < 0 || AIndex >= FPreparedCount) cxVerticalGridError(cxSvgIndexError);
  FList[static_cast<size_t>(AIndex)] = ARow;
}

void TcxVerticalGridRows::Add(TcxCustomRow* ARow) {
  if (!ARow) return;
  GetRoot()->Add(ARow);
}

void TcxVerticalGridRows::AddChild(TcxCustomRow* AParent, TcxCustomRow* ARow) {
  if (!AParent || !ARow) return;
  AParent->Add(ARow);
}

void TcxVerticalGridRows::Remove(TcxCustomRow* ARow) {
  if (IndexOf(ARow) < 0) return;
  ARow->Free();
  MarkStale();
}

void TcxVerticalGridRows::Clear() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  FGrid->SetFocusedRow(nullptr);
  GetRoot()->RemoveAll();
  MarkStale();
}

Integer TcxVerticalGridRows::IndexOf(TcxCustomRow* ARow) {
  if (!ARow || ARow->GetVerticalGrid() != FGrid) return -1;
  Prepare();
  const Integer index = ARow->FAbsoluteIndex;
  if (index >= 0 && index < FPreparedCount && FList[static_cast<size_t>(index)] == ARow) return index;
  // A row written over with SetRow is looked for.
  auto it = std::find(FList.begin(), FList.end(), ARow);
  return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

TcxCustomRow* TcxVerticalGridRows::FindRowByID(Integer AID) {
  if (AID == -1) return GetRoot();
  Prepare();
  auto it = FIDs.find(AID);
  return it == FIDs.end() ? nullptr : it->second;
}

TcxCustomRow* TcxVerticalGridRows::FindRowByStoredName(const AnsiString& AName) {
  Prepare();
  for (TcxCustomRow* row : FList)
    if (row->GetObjectName() == AName) return row;
  return GetRoot();
}

void TcxVerticalGridRows::RestoreDefaults() {
  Prepare();
  for (TcxCustomRow* row : std::vector<TcxCustomRow*>(FList)) row->RestoreDefaults();
}

void TcxVerticalGridRows::CopyChildren(TcxCustomRow* ASourceParent, TcxCustomRow* ADestParent) {
  for (Integer i = 0; i < ASourceParent->GetCount(); ++i) {
    TcxCustomRow* source = ASourceParent->GetRow(i);
    TcxCustomRow* row = FGrid->AddChild(ADestParent == GetRoot() ? nullptr : ADestParent,
                                        TcxCustomRowClass(source->ClassType()));
    row->FID = source->GetID();
    row->Assign(source);
    CopyChildren(source, row);
  }
}

void TcxVerticalGridRows::AssignRows(TcxVerticalGridRows* ASource) {
  if (!ASource) cxVerticalGridError(cxSvgAssignRowsError);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  Clear();
  CopyChildren(ASource->GetRoot(), GetRoot());
}
