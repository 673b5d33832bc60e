#include "library/data/cxCustomDataTypes.h"

ORV_REGISTER(EcxInvalidDataControllerOperation)
ORV_REGISTER(TcxUpdateControlInfo)
ORV_REGISTER(TcxDataChangedInfo)
ORV_REGISTER(TcxLayoutChangedInfo)
ORV_REGISTER(TcxUpdateRecordInfo)
ORV_REGISTER(TcxFocusedRowChangedInfo)
ORV_REGISTER(TcxFocusedRecordChangedInfo)
ORV_REGISTER(TcxSelectionChangedInfo)
ORV_REGISTER(TcxSearchChangedInfo)
ORV_REGISTER(TcxBookmarkChangedInfo)
ORV_REGISTER(TcxGroupingChangingInfo)

void cxDataInvalidOperation(const TResStringRec& AMessage) {
  throw EcxInvalidDataControllerOperation(cxDataResString(AMessage));
}

TcxSelectionChangedInfo::TcxSelectionChangedInfo(Integer ARowIndex1, Integer ARowIndex2) {
  if (ARowIndex1 != -1) FRowIndexes.push_back(ARowIndex1);
  if (ARowIndex2 != -1 && ARowIndex2 != ARowIndex1) FRowIndexes.push_back(ARowIndex2);
}
