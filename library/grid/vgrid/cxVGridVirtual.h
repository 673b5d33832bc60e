// The data-bound vertical grid: it shows the records of a data controller
// that is filled from outside, one record (single-record layout), one
// record in wrapped bands (bands layout) or several side by side
// (multi-record layout). It drives navigator bars (IcxNavigator) and tells
// them whenever its data state changes, and offers its filterable cells to
// the filter builder (IcxFilterControl), whose dialog the navigator's
// Filter button opens.
#pragma once

#include <vector>

#include "library/grid/filter/cxFilterControlRows.h"
#include "library/grid/navigator/cxNavigator.h"
#include "library/grid/vgrid/cxVGridControl.h"

using TcxVerticalGridFocusedRecordChangedEvent =
    Event<void(TObject* Sender, Integer APrevFocusedRecord, Integer AFocusedRecord)>;

class TcxCellEdit;

class TcxVirtualVerticalGrid : public TcxCustomVerticalGrid, public IcxNavigator, public IcxFilterControl {
  ORV_CLASS(TcxVirtualVerticalGrid, TcxCustomVerticalGrid)
 public:
  explicit TcxVirtualVerticalGrid(TComponent* AOwner) : TcxCustomVerticalGrid(AOwner) {}

  // ---- IcxNavigator ----
  bool NavigatorCanDelete() override;
  bool NavigatorCanEdit() override;
  bool NavigatorCanInsert() override;
  bool NavigatorIsActive() override;
  bool NavigatorIsBof() override;
  bool NavigatorIsBookmarkAvailable() override;
  bool NavigatorIsEditing() override;
  bool NavigatorIsEof() override;
  void NavigatorClearBookmark() override;
  // First, previous page, previous, next, next page, last, insert, delete
  // (asking first as the data options say), edit, post, cancel, refresh,
  // save and go to the bookmark, filter.
  void NavigatorDoAction(Integer AButtonIndex) override;
  TcxNavigatorControlNotifier* NavigatorGetNotifier() override { return FNavigatorNotifier; }
  bool NavigatorIsActionSupported(Integer AButtonIndex) override;

  // ---- IcxFilterControl ----
  // The elements are the edit containers whose options allow filtering
  // and whose editor kind can filter, in the flat row order and within a
  // row in cell order. An index past them names nothing.
  AnsiString GetFilterCaption(Integer AIndex) override;
  Integer GetFilterCount() override;
  TcxFilterCriteria* GetFilterCriteria() override;
  TObject* GetFilterItemLink(Integer AIndex) override;
  AnsiString GetFilterFieldName(Integer) override { return {}; }
  TcxCustomEditProperties* GetFilterProperties(Integer AIndex) override;
  TcxValueTypeClass GetFilterValueType(Integer AIndex) override;

  // ---- The grid's own operations ----
  // Opens the filter dialog on this grid.
  virtual void DoFilterDialog();
  void DoFocusedRecordChanged(Integer APrevFocusedRecord, Integer AFocusedRecord) override;
  // Switches the data controller's filter on.
  void ApplyFilter(TObject* Sender);
  // Every bound navigator re-reads its buttons (not while the grid goes).
  void RefreshNavigators();

  Integer GetFocusedRecordIndex();
  void SetFocusedRecordIndex(Integer Value);
  TcxvgLayoutStyle GetLayoutStyle() const { return FLayoutStyle; }
  void SetLayoutStyle(TcxvgLayoutStyle Value);
  TcxvgMultiRecordsOptionsView* GetMultiRecordsOptionsView();
  TcxvgMultiRecordsOptionsBehavior* GetMultiRecordsOptionsBehavior();
  TcxvgMultiRecordsOptionsData* GetMultiRecordsOptionsData();
  TcxDataFilterRecordEvent GetOnFilterRecord();
  void SetOnFilterRecord(TcxDataFilterRecordEvent Value);

  TNotifyEvent OnFilterControlDialogShow;
  TcxVerticalGridFocusedRecordChangedEvent OnFocusedRecordChanged;

  // ---- Overrides ----
  void CreateSubClasses() override;
  void DestroySubClasses() override;
  void ControlUpdateData(TcxUpdateControlInfo* AInfo) override;
  void DataLayoutChanged() override;
  bool CanBandSizing() override;
  bool GetCellAutoHeight() override;
  TcxCustomControlControllerClass GetControllerClass() override;
  TcxControlOptionsBehaviorClass GetOptionsBehaviorClass() override;
  TcxControlOptionsDataClass GetOptionsDataClass() override;
  TcxControlOptionsViewClass GetOptionsViewClass() override;

 protected:
  // Options and the layout style from another data-bound grid, as one
  // change.
  void DoAssign(TPersistent* Source) override;

  TcxvgLayoutStyle GetViewLayoutStyle() override { return FLayoutStyle; }

 private:
  // The filterable containers in element order. The filter builder asks
  // for them one index at a time, so the list is kept until a row moves,
  // comes or goes (the rows' version) or an item changes its options or
  // properties, comes or goes (the layout change count).
  const std::vector<TcxCellEdit*>& FilterElements();
  TcxCellEdit* FilterElement(Integer AIndex);
  std::vector<TcxCellEdit*> FFilterElements;
  bool FFilterElementsValid = false;
  UInt64 FFilterElementsLayoutCount = 0;
  Integer FFilterElementsRowsVersion = 0;
  TcxNavigatorControlNotifier* FNavigatorNotifier = nullptr;
  TcxvgLayoutStyle FLayoutStyle = lsSingleRecordView;
};
