// The controller's summaries: what the view pipeline asks of them. The
// summary items, their kinds, formats, texts and the calculation itself
// build on these classes.
#pragma once

#include "library/data/cxCustomDataTypes.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Variant.h"

class TcxCustomDataField;

class TcxDataSummaryItem : public TObject {
  ORV_CLASS(TcxDataSummaryItem, TObject)
};

class TcxDataSummaryGroupItemLink : public TObject {
  ORV_CLASS(TcxDataSummaryGroupItemLink, TObject)
};

class TcxDataSummary : public TPersistent {
  ORV_CLASS(TcxDataSummary, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxDataSummary(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

  void Assign(TPersistent* Source) override;
  // Before sorting and grouping, when the summary is over all records.
  virtual void BeginCalculate() {}
  // After grouping: over the selected records or over all of them.
  virtual void Calculate(bool) {}
  // The group summary item that orders the groups of a level, -1 for none.
  virtual Integer GetSortBySummaryItemIndex(Integer) { return -1; }
  virtual void RemoveField(TcxCustomDataField*) {}
  virtual void DoAfterSummary() {}

  TcxSummaryOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxSummaryOptions Value);
  TcxCustomDataController* GetDataController() const { return FDataController; }

 private:
  TcxCustomDataController* FDataController;
  TcxSummaryOptions FOptions;
};
