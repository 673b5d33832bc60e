// The controller of a grid showing several records side by side: it
// inserts and deletes records (asking first when the options say so),
// changes records with the arrow keys and searches across records.
#pragma once

#include "library/grid/vgrid/cxVGridController.h"

class TcxvgMultiRecordsController : public TcxvgController {
  ORV_CLASS(TcxvgMultiRecordsController, TcxvgController)
 public:
  explicit TcxvgMultiRecordsController(TcxEditingControl* AControl) : TcxvgController(AControl) {}

  bool CanChangeRecord() override;
  bool CanDelete(bool AByUser) override;
  bool CanInsert(bool AByUser) override;
  void DeleteSelection() override;
  void InsertRecord() override;
  bool GetCancelEditingOnExit() override;
  bool IsImmediatePost() override { return false; }
  bool GetPostDataOnChangeItem() override { return false; }
  void SetFocusedRecordIndex(Integer AIndex) override;
  void FocusedRecordChanged(Integer APrevFocusedRowIndex, Integer AFocusedRowIndex) override;
  Word IncSearchKeyDown(Word AKey, TShiftState AShift) override;
  // While searching, the search item's cell takes the focus.
  virtual void RefreshIncSearchItem();
};
