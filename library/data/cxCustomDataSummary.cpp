#include "library/data/cxCustomDataSummary.h"

#include "library/data/cxCustomDataController.h"

ORV_REGISTER(TcxDataSummaryItem)
ORV_REGISTER(TcxDataSummaryGroupItemLink)
ORV_REGISTER(TcxDataSummary)

void TcxDataSummary::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxDataSummary*>(Source)) {
    SetOptions(source->FOptions);
    return;
  }
  TPersistent::Assign(Source);
}

void TcxDataSummary::SetOptions(TcxSummaryOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  FDataController->SummaryChanged(false);
}
