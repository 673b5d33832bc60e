#include "library/grid/vgrid/cxVGridVirtual.h"

#include "library/data/cxCustomDataFilter.h"
#include "library/grid/filter/cxFilterControlDialog.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxVirtualVerticalGrid, ORV_PROP(Images), ORV_PROP(LayoutStyle).Default(lsSingleRecordView),
             ORV_PROP(Styles), ORV_EVENT(OnCustomizationFormVisibleChanged), ORV_EVENT(OnDrawBackground),
             ORV_EVENT(OnDrawRowHeader), ORV_EVENT(OnDrawValue), ORV_EVENT(OnEdited), ORV_EVENT(OnEditing),
             ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnFilterControlDialogShow), ORV_PROP(OnFilterRecord),
             ORV_EVENT(OnFocusedRecordChanged), ORV_EVENT(OnInitEdit), ORV_EVENT(OnItemChanged),
             ORV_EVENT(OnLayoutChanged), ORV_EVENT(OnLeftVisibleBandIndexChanged),
             ORV_EVENT(OnLeftVisibleRecordIndexChanged), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave),
             ORV_EVENT(OnTopRowIndexChanged))

// ---------------------------------------------------------------------------
// Life cycle

void TcxVirtualVerticalGrid::CreateSubClasses() {
  inherited::CreateSubClasses();
  FNavigatorNotifier = New<TcxNavigatorControlNotifier>();
}

void TcxVirtualVerticalGrid::DestroySubClasses() {
  FreeAndNil(FNavigatorNotifier);
  inherited::DestroySubClasses();
}

void TcxVirtualVerticalGrid::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxVirtualVerticalGrid*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  GetOptionsView()->Assign(source->GetOptionsView());
  GetOptionsBehavior()->Assign(source->GetOptionsBehavior());
  GetOptionsData()->Assign(source->GetOptionsData());
  SetLayoutStyle(source->GetLayoutStyle());
}

// ---------------------------------------------------------------------------
// Class factories and options

TcxCustomControlControllerClass TcxVirtualVerticalGrid::GetControllerClass() {
  return TcxvgMultiRecordsController::StaticClass();
}

TcxControlOptionsBehaviorClass TcxVirtualVerticalGrid::GetOptionsBehaviorClass() {
  return TcxvgMultiRecordsOptionsBehavior::StaticClass();
}

TcxControlOptionsDataClass TcxVirtualVerticalGrid::GetOptionsDataClass() {
  return TcxvgMultiRecordsOptionsData::StaticClass();
}

TcxControlOptionsViewClass TcxVirtualVerticalGrid::GetOptionsViewClass() {
  return TcxvgMultiRecordsOptionsView::StaticClass();
}

TcxvgMultiRecordsOptionsView* TcxVirtualVerticalGrid::GetMultiRecordsOptionsView() {
  return static_cast<TcxvgMultiRecordsOptionsView*>(GetOptionsView());
}

TcxvgMultiRecordsOptionsBehavior* TcxVirtualVerticalGrid::GetMultiRecordsOptionsBehavior() {
  return static_cast<TcxvgMultiRecordsOptionsBehavior*>(GetOptionsBehavior());
}

TcxvgMultiRecordsOptionsData* TcxVirtualVerticalGrid::GetMultiRecordsOptionsData() {
  return static_cast<TcxvgMultiRecordsOptionsData*>(GetOptionsData());
}

TcxDataFilterRecordEvent TcxVirtualVerticalGrid::GetOnFilterRecord() { return GetDataController()->OnFilterRecord; }

void TcxVirtualVerticalGrid::SetOnFilterRecord(TcxDataFilterRecordEvent Value) {
  GetDataController()->SetOnFilterRecord(Value);
}

void TcxVirtualVerticalGrid::SetLayoutStyle(TcxvgLayoutStyle Value) {
  if (FLayoutStyle == Value) return;
  FLayoutStyle = Value;
  LayoutStyleChanged();
}

bool TcxVirtualVerticalGrid::CanBandSizing() {
  if (!GetOptionsBehavior()->GetBandSizing()) return false;
  switch (FLayoutStyle) {
    case lsMultiRecordView:
      return true;
    case lsBandsView:
      return !GetOptionsView()->GetAutoScaleBands();
    default:
      return false;
  }
}

bool TcxVirtualVerticalGrid::GetCellAutoHeight() {
  return FLayoutStyle != lsMultiRecordView && inherited::GetCellAutoHeight();
}

// ---------------------------------------------------------------------------
// Data

void TcxVirtualVerticalGrid::ControlUpdateData(TcxUpdateControlInfo* AInfo) {
  if (GetIsDestroying()) return;
  inherited::ControlUpdateData(AInfo);
  if (dynamic_cast<TcxSearchChangedInfo*>(AInfo))
    static_cast<TcxvgMultiRecordsController*>(GetController())->RefreshIncSearchItem();
  RefreshNavigators();
}

void TcxVirtualVerticalGrid::DataLayoutChanged() {
  if (GetDataController()->IsGridMode())
    LayoutChanged();
  else
    inherited::DataLayoutChanged();
}

Integer TcxVirtualVerticalGrid::GetFocusedRecordIndex() { return GetDataController()->GetFocusedRowIndex(); }

void TcxVirtualVerticalGrid::SetFocusedRecordIndex(Integer Value) { GetDataController()->SetFocusedRowIndex(Value); }

void TcxVirtualVerticalGrid::DoFocusedRecordChanged(Integer APrevFocusedRecord, Integer AFocusedRecord) {
  if (OnFocusedRecordChanged) OnFocusedRecordChanged(this, APrevFocusedRecord, AFocusedRecord);
}

void TcxVirtualVerticalGrid::RefreshNavigators() {
  if (!GetIsDestroying() && FNavigatorNotifier) FNavigatorNotifier->RefreshNavigatorButtons();
}

// ---------------------------------------------------------------------------
// IcxNavigator

bool TcxVirtualVerticalGrid::NavigatorCanDelete() { return GetVGController()->CanDelete(true); }

bool TcxVirtualVerticalGrid::NavigatorCanEdit() { return GetOptionsData()->GetEditing(); }

bool TcxVirtualVerticalGrid::NavigatorCanInsert() { return GetVGController()->CanInsert(true); }

bool TcxVirtualVerticalGrid::NavigatorIsActive() { return GetDataController()->GetActive(); }

bool TcxVirtualVerticalGrid::NavigatorIsBof() { return GetDataController()->IsBOF(); }

bool TcxVirtualVerticalGrid::NavigatorIsBookmarkAvailable() { return GetDataController()->IsBookmarkAvailable(); }

bool TcxVirtualVerticalGrid::NavigatorIsEditing() { return GetDataController()->GetIsEditing(); }

bool TcxVirtualVerticalGrid::NavigatorIsEof() { return GetDataController()->IsEOF(); }

void TcxVirtualVerticalGrid::NavigatorClearBookmark() { GetDataController()->ClearBookmark(); }

bool TcxVirtualVerticalGrid::NavigatorIsActionSupported(Integer AButtonIndex) {
  return AButtonIndex >= NBDI_FIRST && AButtonIndex <= NBDI_FILTER;
}

void TcxVirtualVerticalGrid::NavigatorDoAction(Integer AButtonIndex) {
  TcxCustomDataController* data = GetDataController();
  // A page in the multi-record layout is the record columns on show.
  auto page = [this]() {
    return FLayoutStyle == lsMultiRecordView ? GetVGController()->GetScroller()->GetVisibleValueCount() : 1;
  };
  switch (AButtonIndex) {
    case NBDI_FIRST:
      data->GotoFirst();
      break;
    case NBDI_PRIORPAGE:
      if (FLayoutStyle == lsMultiRecordView)
        data->MoveBy(-page());
      else
        data->GotoPrev();
      break;
    case NBDI_PRIOR:
      data->GotoPrev();
      break;
    case NBDI_NEXT:
      data->GotoNext();
      break;
    case NBDI_NEXTPAGE:
      if (FLayoutStyle == lsMultiRecordView)
        data->MoveBy(page());
      else
        data->GotoNext();
      break;
    case NBDI_LAST:
      data->GotoLast();
      break;
    case NBDI_INSERT:
      GetVGController()->InsertRecord();
      break;
    case NBDI_DELETE:
      GetVGController()->DeleteSelection();
      break;
    case NBDI_EDIT:
      ShowEdit();
      break;
    case NBDI_POST:
      data->PostEditingData();
      data->Post();
      break;
    case NBDI_CANCEL:
      // What the open editor holds is part of what is cancelled: left open,
      // it would show the cancelled text and keep what is typed next from
      // the record. An editor shown at all times opens again on the value
      // kept.
      GetController()->GetEditingController()->HideEdit(false);
      data->Cancel();
      GetController()->CheckEdit();
      break;
    case NBDI_REFRESH:
      data->Refresh();
      break;
    case NBDI_SAVEBOOKMARK:
      data->SaveBookmark();
      break;
    case NBDI_GOTOBOOKMARK:
      data->GotoBookmark();
      break;
    case NBDI_FILTER:
      DoFilterDialog();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------
// Filtering

void TcxVirtualVerticalGrid::ApplyFilter(TObject*) { GetDataController()->GetFilter()->SetActive(true); }

void TcxVirtualVerticalGrid::DoFilterDialog() {
  ExecuteFilterControlDialog(this, GetLookAndFeel(), TNotifyEvent::Bind<&TcxVirtualVerticalGrid::ApplyFilter>(this),
                             OnFilterControlDialogShow, clDefault, AnsiString(), nullptr);
}

const std::vector<TcxCellEdit*>& TcxVirtualVerticalGrid::FilterElements() {
  TcxVerticalGridRows* rows = GetRows();
  if (FFilterElementsValid && FFilterElementsLayoutCount == GetLayoutChangeCount() &&
      FFilterElementsRowsVersion == rows->GetVersion())
    return FFilterElements;
  FFilterElementsValid = false;
  std::vector<TcxCellEdit*>& elements = FFilterElements;
  elements.clear();
  for (Integer i = 0; i < rows->GetCount(); ++i) {
    TcxCustomRow* row = rows->GetRow(i);
    for (Integer j = 0; j < row->GetEditContainerCount(); ++j) {
      auto* container = dynamic_cast<TcxCellEdit*>(row->GetEditContainer(j));
      if (!container || !container->GetOptions()->GetFiltering()) continue;
      TcxCustomEditProperties* properties = container->GetPropertiesValue();
      if (properties && properties->GetSupportedOperations().Contains(esoFiltering)) elements.push_back(container);
    }
  }
  // Taken after the walk: reading the rows may bring their flat list up
  // to date.
  FFilterElementsValid = true;
  FFilterElementsLayoutCount = GetLayoutChangeCount();
  FFilterElementsRowsVersion = rows->GetVersion();
  return elements;
}

TcxCellEdit* TcxVirtualVerticalGrid::FilterElement(Integer AIndex) {
  const std::vector<TcxCellEdit*>& elements = FilterElements();
  return AIndex >= 0 && AIndex < static_cast<Integer>(elements.size()) ? elements[static_cast<size_t>(AIndex)]
                                                                       : nullptr;
}

AnsiString TcxVirtualVerticalGrid::GetFilterCaption(Integer AIndex) {
  TcxCellEdit* element = FilterElement(AIndex);
  return element && element->GetRowProperties() ? element->GetRowProperties()->GetCaption() : AnsiString();
}

Integer TcxVirtualVerticalGrid::GetFilterCount() { return static_cast<Integer>(FilterElements().size()); }

TcxFilterCriteria* TcxVirtualVerticalGrid::GetFilterCriteria() { return GetDataController()->GetFilter(); }

TObject* TcxVirtualVerticalGrid::GetFilterItemLink(Integer AIndex) { return FilterElement(AIndex); }

TcxCustomEditProperties* TcxVirtualVerticalGrid::GetFilterProperties(Integer AIndex) {
  TcxCellEdit* element = FilterElement(AIndex);
  return element ? element->GetPropertiesValue() : nullptr;
}

TcxValueTypeClass TcxVirtualVerticalGrid::GetFilterValueType(Integer AIndex) {
  TcxCellEdit* element = FilterElement(AIndex);
  if (!element) return TcxValueTypeClass();
  return GetDataController()->GetItemValueTypeClass(element->GetItemIndex());
}
