#include "library/data/cxData.h"

ORV_REGISTER(TcxDataController)

void TcxDataController::AfterConstruction() {
  TcxCustomDataController::AfterConstruction();
  ActiveChanged(true);
}
