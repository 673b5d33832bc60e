// Master-detail relations of a data controller: what the controller's
// construction, field removal and destruction need of them.
#pragma once

#include <vector>

#include "library/data/cxCustomDataTypes.h"

class TcxCustomDataField;
class TcxCustomDataRelationList;

class TcxCustomDataRelation : public TObject {
  ORV_CLASS(TcxCustomDataRelation, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataRelationList*, TObject*)>;
  TcxCustomDataRelation(TcxCustomDataRelationList* ARelationList, TObject* AItem);
  ~TcxCustomDataRelation() override;
  virtual void RemoveDataField(TcxCustomDataField*) {}
  virtual void Assign(TcxCustomDataRelation*) {}

  TObject* GetItem() const { return FItem; }
  TcxCustomDataRelationList* GetRelationList() const { return FRelationList; }
  Integer GetIndex() const;

 private:
  friend class TcxCustomDataRelationList;
  TObject* FItem;
  TcxCustomDataRelationList* FRelationList;
};

class TcxCustomDataRelationList : public TObject {
  ORV_CLASS(TcxCustomDataRelationList, TObject)
 public:
  explicit TcxCustomDataRelationList(TcxCustomDataController* ADataController) : FDataController(ADataController) {}
  ~TcxCustomDataRelationList() override;

  TcxCustomDataRelation* Add(TObject* AItem);
  void AddItem(TcxCustomDataRelation* ARelation);
  void RemoveItem(TcxCustomDataRelation* ARelation);
  void Clear();
  TcxCustomDataRelation* FindByItem(TObject* AItem) const;
  void RemoveByItem(TObject* AItem);
  void RemoveDataField(TcxCustomDataField* AField);
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxCustomDataRelation* GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }
  Integer IndexOf(const TcxCustomDataRelation* ARelation) const;
  TcxCustomDataController* GetDataController() const { return FDataController; }

 private:
  TcxCustomDataController* FDataController;
  TcxCustomDataField* FDetailField = nullptr;
  std::vector<TcxCustomDataRelation*> FItems;
};
