// The data controller the controls instantiate.
#pragma once

#include "library/data/cxCustomDataController.h"

class TcxDataController : public TcxCustomDataController {
  ORV_CLASS(TcxDataController, TcxCustomDataController)
 public:
  explicit TcxDataController(TComponent* AOwner) : TcxCustomDataController(AOwner) {}
  // Activates itself once its collaborators exist.
  void AfterConstruction() override;
  // A controller without a control has no items of its own.
  TObject* GetItem(Integer) override { return nullptr; }
};
