// Master-detail operations of the data controller: what this controller is
// the detail of (pattern or clone), and the details of its own records:
// link objects, the active relation, expansion and the has-children cache.
// The base controller makes no link objects; descendants map them to the
// clone controllers they create.
#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataRelations.h"
#include "platform/rtl/ScopeExit.h"

namespace {

// Relations nest through detail controllers; a chain deeper than this is
// a cycle, not a layout.
constexpr int cxMaxDetailDepth = 64;

}  // namespace

// --- Structure ----------------------------------------------------------------

TcxCustomDataController* TcxCustomDataController::GetMasterDataController() const {
  return FMasterRelation ? FMasterRelation->GetDataController() : nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetRootDataController() {
  TcxCustomDataController* c = this;
  for (int depth = 0; depth < cxMaxDetailDepth; ++depth) {
    TcxCustomDataController* master = c->GetMasterDataController();
    if (!master) break;
    c = master;
  }
  return c;
}

TcxCustomDataController* TcxCustomDataController::GetPatternDataController() {
  if (!FMasterRelation) return this;
  TObject* item = FMasterRelation->GetItem();
  std::function<TcxCustomDataController*(TcxCustomDataController*, int)> find =
      [&](TcxCustomDataController* c, int depth) -> TcxCustomDataController* {
    if (!c->FRelations || depth > cxMaxDetailDepth) return nullptr;
    for (Integer i = 0; i < c->FRelations->GetCount(); ++i)
      if (c->FRelations->GetItem(i)->GetItem() == item) return c->FRelations->GetItem(i)->GetDetailDataController();
    for (Integer i = 0; i < c->FRelations->GetCount(); ++i)
      if (TcxCustomDataController* detail = c->FRelations->GetItem(i)->GetDetailDataController())
        if (TcxCustomDataController* found = find(detail, depth + 1)) return found;
    return nullptr;
  };
  return find(GetRootDataController(), 0);
}

TcxDataControllerDetailMode TcxCustomDataController::GetDetailMode() const {
  if (FMasterRelation) return FMasterRecordIndex == -1 ? dcdmPattern : dcdmClone;
  return FPatternRequested && FDataChangeRefCount == 0 ? dcdmPattern : dcdmNone;
}

void TcxCustomDataController::UpdatePatternFlag() { FIsPattern = GetDetailMode() == dcdmPattern; }

void TcxCustomDataController::ReleaseMasterRelation() {
  if (!FMasterRelation) return;
  if (FMasterRelation->GetDetailDataController() == this) FMasterRelation->SetDetailDataController(nullptr);
  FMasterRelation->RemoveUser(this);
  FMasterRelation = nullptr;
  FMasterRecordIndex = -1;
  UpdatePatternFlag();
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex) {
  if (!ARelation && !FMasterRelation && ARecordIndex == -1 && FMasterRecordIndex == -1) return;
  auto update = orv::UpdateScope(this);
  if (TcxCustomDataRelation* old = FMasterRelation) {
    const bool clone = FMasterRecordIndex != -1;
    if (old->GetDetailDataController() == this && ARecordIndex == -1)
      old->SetDetailDataController(nullptr);
    else if (clone)
      SetCustomDataSource(nullptr);
    old->RemoveUser(this);
    FMasterRelation = nullptr;
    // A clone leaving changes nothing the relation makes; and the master,
    // rebuilding its details, would free this clone (its link object)
    // while it is still in here.
    if (!clone)
      if (TcxCustomDataRelationList* list = old->GetRelationList()) list->Changed(old);
  }
  FMasterRelation = ARelation;
  if (ARelation) {
    ARelation->AddUser(this);
    if (ARecordIndex == -1) {
      ARelation->SetDetailDataController(this);
    } else if (TcxCustomDataController* pattern = ARelation->GetDetailDataController()) {
      if (pattern != this) SetCustomDataSource(pattern->GetCustomDataSource());
    }
  }
  FMasterRecordIndex = ARelation ? ARecordIndex : -1;
  UpdatePatternFlag();
  LayoutChanged({lcData});
}

void TcxCustomDataController::SetMasterMode(TcxCustomDataRelation* ARelation, bool AIsPattern) {
  auto update = orv::FullUpdateScope(this);
  SetMasterRelation(ARelation, -1);
  SetIsPattern(AIsPattern);
}

void TcxCustomDataController::SetIsPattern(bool AValue) {
  if (AValue && FDataChangeRefCount > 0 && FMasterRelation)
    throw Exception("A detail data controller with data-change users cannot become a pattern");
  const bool wasPattern = IsPattern();
  FPatternRequested = AValue;
  UpdatePatternFlag();
  if (IsPattern() != wasPattern && !IsDestroying()) RestructData();
}

void TcxCustomDataController::AddDataChangeRefCount() {
  ++FDataChangeRefCount;
  UpdatePatternFlag();
}

void TcxCustomDataController::RemoveDataChangeRefCount() {
  if (FDataChangeRefCount > 0) --FDataChangeRefCount;
  UpdatePatternFlag();
}

void TcxCustomDataController::UpdateRelations(TcxCustomDataRelation*) {
  if (IsDestroying()) return;
  if (IsPattern()) {
    if (FMasterRelation) GetRootDataController()->ResetRelationByItem(FMasterRelation->GetItem());
  } else {
    Change({dccData});
  }
}

void TcxCustomDataController::ResetRelationByItem(TObject* AItem) {
  if (!FRelations) return;
  if (FRelations->FindByItem(AItem)) {
    ClearDetails();
    return;
  }
  if (!FRelations->GetDetailField()) return;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    for (Integer i = 0; i < FRelations->GetCount(); ++i)
      if (IsDetailDataControllerExist(r, i))
        if (TcxCustomDataController* detail = GetDetailDataController(r, i)) detail->ResetRelationByItem(AItem);
}

void TcxCustomDataController::ClearDetailsMasterRelation(TcxCustomDataRelation* ARelation) {
  if (!FRelations || !FRelations->GetDetailField()) return;
  const Integer index = FRelations->IndexOf(ARelation);
  if (index < 0) return;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (IsDetailDataControllerExist(r, index))
      if (TcxCustomDataController* detail = GetDetailDataController(r, index)) detail->SetMasterRelation(nullptr, -1);
}

void TcxCustomDataController::SyncMasterPos() {
  if (GetDetailMode() == dcdmClone) Change({dccSyncMasterPos});
  NotifyDataControllers();
}

// --- Details of a record ---------------------------------------------------------

bool TcxCustomDataController::IsDetailDataControllerExist(Integer ARecordIndex, Integer ARelationIndex) {
  if (!FRelations || !FRelations->GetDetailField()) return false;
  return FRelations->IsDetailObjectExist(ARecordIndex, ARelationIndex);
}

TObject* TcxCustomDataController::GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  TcxCustomDataRelationList* relations = GetRelations();
  if (ARelationIndex < 0 || ARelationIndex >= relations->GetCount()) return nullptr;
  TcxDetailObject* object = relations->GetDetailObject(ARecordIndex);
  if (!object) return nullptr;
  TObject* link = object->GetLinkObject(ARelationIndex);
  if (link || FCreatingLinkObject) return link;
  TcxCustomDataController* pattern = GetPatternDataController();
  {
    auto creating = orv::TempValue(FCreatingLinkObject, true);
    bool unused = false;
    auto patternCreating = orv::TempValue(pattern && pattern != this ? pattern->FCreatingLinkObject : unused, true);
    link = CreateDetailLinkObject(relations->GetItem(ARelationIndex), ARecordIndex);
  }
  if (!link) return nullptr;
  // The creation may have run code that deleted the record or its details.
  if (ARecordIndex < GetRecordCount() && relations->GetValueAsDetailObject(ARecordIndex) == object) {
    object->SetLinkObject(ARelationIndex, link);
    return link;
  }
  link->Free();
  return nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetDetailDataController(Integer ARecordIndex,
                                                                           Integer ARelationIndex) {
  return GetDetailDataControllerByLinkObject(GetDetailLinkObject(ARecordIndex, ARelationIndex));
}

Integer TcxCustomDataController::GetDetailActiveRelationIndex(Integer ARecordIndex) {
  if (!FRelations || FRelations->GetCount() == 0) return -1;
  TcxDetailObject* object = FRelations->GetDetailObject(ARecordIndex);
  return object ? object->ActiveRelationIndex : -1;
}

void TcxCustomDataController::ChangeDetailActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex) {
  if (!FRelations || FRelations->GetCount() == 0) return;
  TcxDetailObject* object = FRelations->GetDetailObject(ARecordIndex);
  if (!object || object->ActiveRelationIndex == ARelationIndex) return;
  CheckBrowseMode();
  object = FRelations->GetDetailObject(ARecordIndex);
  if (!object) return;
  object->ActiveRelationIndex = ARelationIndex;
  Change({dccDetail});
}

bool TcxCustomDataController::GetDetailExpanding(Integer ARecordIndex) {
  if (!FRelations || FRelations->GetCount() == 0) return false;
  TcxDetailObject* object = FRelations->GetDetailObject(ARecordIndex);
  return object && object->Expanded;
}

bool TcxCustomDataController::ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) {
  if (GetDetailExpanding(ARecordIndex) == AExpanded) return false;
  auto inChange = orv::TempValue(FInDetailExpandingChange, true);
  CheckBrowseMode();
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount() || !FRelations) return false;
  if (!FRelations->GetDetailObject(ARecordIndex)) return false;
  if (!CanChangeDetailExpanding(ARecordIndex, AExpanded)) return false;
  // The handlers may have deleted the record or dropped its details.
  if (ARecordIndex >= GetRecordCount()) return false;
  TcxDetailObject* object = FRelations->GetDetailObject(ARecordIndex);
  if (!object) return false;
  object->Expanded = AExpanded;
  TcxCustomDataController* master = GetMasterDataController();
  if (!master || master->GetLockCount() == 0) Change({dccDetail});
  if (AExpanded)
    DoDetailExpanded(ARecordIndex);
  else
    DoDetailCollapsed(ARecordIndex);
  return true;
}

bool TcxCustomDataController::CanChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) {
  return AExpanded ? DoDetailExpanding(ARecordIndex) : DoDetailCollapsing(ARecordIndex);
}

void TcxCustomDataController::CollapseDetails() {
  CheckBrowseMode();
  if (!FRelations || !FRelations->GetDetailField()) return;
  auto update = orv::UpdateScope(this);
  for (Integer r = 0; r < GetRecordCount(); ++r) {
    ClearDetailLinkObject(r, -1);
    ChangeDetailExpanding(r, false);
  }
}

void TcxCustomDataController::ClearDetails() {
  if (!FRelations || !FRelations->GetDetailField()) return;
  auto update = orv::UpdateScope(this);
  for (Integer r = 0; r < GetRecordCount(); ++r) ClearDetailLinkObject(r, -1);
}

void TcxCustomDataController::ClearDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  if (!FRelations || !FRelations->GetDetailField()) return;
  if (FRelations->ClearDetailObject(ARecordIndex, ARelationIndex)) Change({dccDetail});
}

bool TcxCustomDataController::GetDetailHasChildren(Integer ARecordIndex, Integer ARelationIndex) {
  if (!FRelations || ARelationIndex < 0 || ARelationIndex >= FRelations->GetCount()) return false;
  if (IsDetailDataControllerExist(ARecordIndex, ARelationIndex)) {
    TcxCustomDataController* detail = GetDetailDataController(ARecordIndex, ARelationIndex);
    return detail && detail->GetRecordCount() > 0;
  }
  if (!IsProviderMode()) return false;
  TcxDetailObject* object = FRelations->GetDetailObject(ARecordIndex);
  if (!object) return false;
  TcxDetailInfoObject* info = object->NeedInfoObject(ARelationIndex);
  if (!info->HasChildrenAssigned) {
    info->HasChildren = GetProvider()->GetDetailHasChildren(ARecordIndex, ARelationIndex);
    info->HasChildrenAssigned = true;
  }
  return info->HasChildren;
}

void TcxCustomDataController::ResetHasChildrenFlag() {
  if (!FRelations || !FRelations->GetDetailField()) return;
  bool any = false;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    if (TcxDetailObject* object = FRelations->GetValueAsDetailObject(r))
      if (object->ClearHasChildrenFlag()) any = true;
  if (any) Change({dccLayout});
}

void TcxCustomDataController::ResetMasterHasChildrenFlag() {
  TcxCustomDataController* master = GetMasterDataController();
  if (!IsProviderMode() || !master) return;
  const TcxDataControllerEditState state = GetEditState();
  if (state.Contains(dceEdit) || state.Contains(dceInsert)) return;
  master->ResetHasChildrenFlag();
}

void TcxCustomDataController::FocusDetails(Integer ARecordIndex) {
  if (FFocusingDetails) return;
  auto focusing = orv::TempValue(FFocusingDetails, true);
  const Integer relation = GetDetailActiveRelationIndex(ARecordIndex);
  if (relation < 0 || !IsDetailDataControllerExist(ARecordIndex, relation)) return;
  if (TcxCustomDataController* detail = GetDetailDataController(ARecordIndex, relation)) detail->CheckFocusedRow();
}

void TcxCustomDataController::CheckDetailsBrowseMode() {
  if (!FRelations || FRelations->GetCount() == 0 || !FRelations->GetDetailField()) return;
  for (Integer r = 0; r < GetRecordCount(); ++r)
    for (Integer i = 0; i < FRelations->GetCount(); ++i)
      if (IsDetailDataControllerExist(r, i))
        if (TcxCustomDataController* detail = GetDetailDataController(r, i)) detail->CheckBrowseMode();
}

void TcxCustomDataController::ForEachDetail(TcxCustomDataRelation* AMasterRelation,
                                            const std::function<void(TcxCustomDataController*)>& AProc) {
  if (!AMasterRelation || !AMasterRelation->GetDataController()) return;
  // The relation indexes from the root down to AMasterRelation.
  std::vector<Integer> path{AMasterRelation->GetIndex()};
  TcxCustomDataController* root = AMasterRelation->GetDataController();
  while (TcxCustomDataRelation* up = root->FMasterRelation) {
    if (!up->GetDataController() || static_cast<int>(path.size()) > cxMaxDetailDepth) return;
    path.insert(path.begin(), up->GetIndex());
    root = up->GetDataController();
  }
  std::function<void(TcxCustomDataController*, size_t)> walk = [&](TcxCustomDataController* c, size_t level) {
    const Integer relation = path[level];
    if (!c->FRelations || relation < 0 || relation >= c->FRelations->GetCount()) return;
    for (Integer r = 0; r < c->GetRecordCount(); ++r) {
      if (!c->IsDetailDataControllerExist(r, relation)) continue;
      TcxCustomDataController* detail = c->GetDetailDataController(r, relation);
      if (!detail) continue;
      if (level + 1 == path.size())
        AProc(detail);
      else
        walk(detail, level + 1);
    }
  };
  walk(root, 0);
}

bool TcxCustomDataController::DoDetailExpanding(Integer ARecordIndex) {
  bool allow = true;
  if (OnDetailExpanding) OnDetailExpanding(this, ARecordIndex, allow);
  return allow;
}

bool TcxCustomDataController::DoDetailCollapsing(Integer ARecordIndex) {
  bool allow = true;
  if (OnDetailCollapsing) OnDetailCollapsing(this, ARecordIndex, allow);
  return allow;
}

void TcxCustomDataController::DoDetailExpanded(Integer ARecordIndex) {
  if (OnDetailExpanded) OnDetailExpanded(this, ARecordIndex);
}

void TcxCustomDataController::DoDetailCollapsed(Integer ARecordIndex) {
  if (OnDetailCollapsed) OnDetailCollapsed(this, ARecordIndex);
}
