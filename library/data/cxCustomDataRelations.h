// Master-detail relations of a data controller and the per-record detail
// objects. Each relation ties an item of the control to a pattern detail
// controller; per record, a detail object (kept in an internal Object
// field of the record itself) holds the active relation, the expanded
// state and, per relation, the link to that record's detail.
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

  void Changed();
  TcxCustomDataController* GetDataController() const;
  // The pattern controller of the relation, none while no detail is bound.
  TcxCustomDataController* GetDetailDataController() const { return FDetailDataController; }
  void SetDetailDataController(TcxCustomDataController* Value) { FDetailDataController = Value; }
  TObject* GetItem() const { return FItem; }
  TcxCustomDataRelationList* GetRelationList() const { return FRelationList; }
  Integer GetIndex() const;
  // The controllers whose master relation this is (its pattern and clones);
  // they let go of it when it goes.
  void AddUser(TcxCustomDataController* AController);
  void RemoveUser(TcxCustomDataController* AController);

 private:
  friend class TcxCustomDataRelationList;
  std::vector<TcxCustomDataController*> FUsers;
  TcxCustomDataController* FDetailDataController = nullptr;
  TObject* FItem;
  TcxCustomDataRelationList* FRelationList;
};

// One relation's state in a record: the link to the record's detail (owned).
class TcxDetailInfoObject : public TObject {
  ORV_CLASS(TcxDetailInfoObject, TObject)
 public:
  ~TcxDetailInfoObject() override;
  TObject* LinkObject = nullptr;
  // Whether HasChildren has been asked of the provider.
  bool HasChildrenAssigned = false;
  bool HasChildren = false;
};

class TcxDetailObject : public TObject {
  ORV_CLASS(TcxDetailObject, TObject)
 public:
  ~TcxDetailObject() override { Clear(); }

  void Clear();
  // Clears every cached has-children flag; whether any was set.
  bool ClearHasChildrenFlag();
  void ClearInfoObject(Integer AIndex);
  void CorrectCount(TcxCustomDataRelationList* ARelations);
  TcxDetailInfoObject* GetInfoObject(Integer AIndex) const;
  Integer GetInfoObjectCount() const { return static_cast<Integer>(FInfoObjects.size()); }
  // No slot has a link object.
  bool GetIsEmpty() const;
  TObject* GetLinkObject(Integer AIndex) const;
  Integer GetLinkObjectCount() const { return GetInfoObjectCount(); }
  // Both grow the slot list to AIndex + 1 when needed.
  void SetInfoObject(Integer AIndex, TcxDetailInfoObject* AInfo);
  void SetLinkObject(Integer AIndex, TObject* AObject);
  // The info object of the slot, created when missing.
  TcxDetailInfoObject* NeedInfoObject(Integer AIndex);

  Integer ActiveRelationIndex = -1;
  bool Expanded = false;

 private:
  void Grow(Integer ACount);
  std::vector<TcxDetailInfoObject*> FInfoObjects;
};

class TcxCustomDataRelationList : public TObject {
  ORV_CLASS(TcxCustomDataRelationList, TObject)
 public:
  explicit TcxCustomDataRelationList(TcxCustomDataController* ADataController) : FDataController(ADataController) {}
  ~TcxCustomDataRelationList() override;

  TcxCustomDataRelation* Add(TObject* AItem);
  void AddItem(TcxCustomDataRelation* ARelation);
  void RemoveItem(TcxCustomDataRelation* ARelation);
  void Assign(TcxCustomDataRelationList* AList);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void Changed(TcxCustomDataRelation* ARelation);
  void Clear();
  bool ClearDetailObject(Integer ARecordIndex, Integer ARelationIndex);
  TcxCustomDataRelation* FindByItem(TObject* AItem) const;
  void RemoveByItem(TObject* AItem);
  // The record's detail object, made when missing; none without relations
  // that have a detail controller.
  TcxDetailObject* GetDetailObject(Integer ARecordIndex);
  // The object the record holds, none when it holds none.
  TcxDetailObject* GetValueAsDetailObject(Integer ARecordIndex) const;
  bool IsDetailObjectExist(Integer ARecordIndex, Integer ARelationIndex) const;
  bool IsEmpty() const;
  void Move(Integer AFromIndex, Integer AToIndex);
  void RemoveDataField(TcxCustomDataField* AField);
  void Update(TcxCustomDataRelation* ARelation);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxCustomDataRelation* GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }
  Integer IndexOf(const TcxCustomDataRelation* ARelation) const;
  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxCustomDataField* GetDetailField() const { return FDetailField; }

 private:
  void SetDetailObject(Integer ARecordIndex, TcxDetailObject* AObject);

  TcxCustomDataController* FDataController;
  TcxCustomDataField* FDetailField = nullptr;
  std::vector<TcxCustomDataRelation*> FItems;
  Integer FLockCount = 0;
  bool FDestroying = false;
};
