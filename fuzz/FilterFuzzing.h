// The filtered control stand-in of the filter targets: a data controller
// owning three items whose IDs are 100..102.
#pragma once

#include "library/data/cxData.h"

class TFuzzController : public TcxDataController {
  ORV_CLASS(TFuzzController, TcxDataController)
 public:
  explicit TFuzzController(TComponent* AOwner) : TcxDataController(AOwner) {}
  TObject Items[3];
  TObject* GetItem(Integer AIndex) override { return AIndex >= 0 && AIndex < 3 ? &Items[AIndex] : nullptr; }
  Integer GetItemID(TObject* AItem) override {
    for (Integer i = 0; i < 3; ++i)
      if (&Items[i] == AItem) return 100 + i;
    return -1;
  }
};

inline ORV_REGISTER(TFuzzController)
