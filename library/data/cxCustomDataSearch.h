// The incremental search, the objects that locate a record by key values
// or by a group's values, and the value readers that fill a record of the
// storage from a list of values or from another record.
#pragma once

#include <vector>

#include "library/data/cxCustomData.h"
#include "library/data/cxCustomDataTypes.h"

class TcxDataControllerSearch : public TObject {
  ORV_CLASS(TcxDataControllerSearch, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxDataControllerSearch(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

  virtual void DoFocusedRecord(Integer AFilteredRecordIndex);
  virtual Integer DoSearch(Integer AStartFilteredRecordIndex, Integer AEndFilteredRecordIndex, bool AForward,
                           const AnsiString& AText);
  virtual bool Locate(Integer AItemIndex, const AnsiString& ASubText);
  virtual bool LocateNext(bool AForward);
  virtual void Lock() { FLocked = true; }
  virtual void Unlock() { FLocked = false; }
  void Cancel();

  Integer GetItemIndex() const;
  void SetItemIndex(Integer Value);
  bool GetSearching() const { return FSearching; }
  const AnsiString& GetSearchText() const { return FSearchText; }
  TcxCustomDataField* GetField() const { return FField; }
  // The search ends when its field leaves.
  void RemoveField(TcxCustomDataField* AField);
  // Ends the search without a word: its controller is going away, and what
  // it would report to goes with it.
  void Abandon();

 private:
  TcxCustomDataController* FDataController;
  bool FLocked = false;
  TcxCustomDataField* FField = nullptr;
  bool FSearching = false;
  AnsiString FSearchText;
};

// Holds sought values in an internal record of the storage.
class TcxDataControllerLocateObject : public TObject {
  ORV_CLASS(TcxDataControllerLocateObject, TObject)
 public:
  explicit TcxDataControllerLocateObject(TcxCustomDataController* ADataController) : FDataController(ADataController) {}
  ~TcxDataControllerLocateObject() override;
  virtual void Clear();
  virtual Integer FindRecordIndex() = 0;
  void ReadData(TcxValueDefReader* AReader);
  Integer GetRecordIndex() const { return FRecordIndex; }

 protected:
  TcxCustomDataController* FDataController;
  Integer FRecordIndex = 0;  // 0 = no values read yet
};

class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
  ORV_CLASS(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
 public:
  using TcxDataControllerLocateObject::TcxDataControllerLocateObject;
  void AddField(TcxCustomDataField* AField) { FFields.push_back(AField); }
  void ClearFields() { FFields.clear(); }
  Integer FindRecordIndex() override;

 private:
  std::vector<TcxCustomDataField*> FFields;
};

class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
  ORV_CLASS(TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject)
 public:
  explicit TcxDataControllerGroupLocateObject(TcxCustomDataController* ADataController);
  Integer FindRecordIndex() override;
  Integer GetLevel() const { return FLevel; }
  void SetLevel(Integer Value);

 private:
  // Where the shown records are ordered by display text and not by value:
  // the shown records sorted once by the values of every grouping level
  // (ties by list position), for halving by value.
  void IndexByValues();
  Integer FindByValues();
  // Negative, zero or positive: record AFirst against ASecond on the fields
  // of the levels up to ALevels.
  Integer CompareLevels(Integer AFirst, Integer ASecond, size_t ALevels);

  std::vector<TcxCustomDataField*> FGroupingFields;
  std::vector<TcxCustomDataField*> FFields;
  bool FUseHalvingSearch = true;
  Integer FLevel = 0;
  // The shown records as (record, list position) in value order, made on
  // first use: the object lives for one pass over an unchanging list.
  std::vector<std::pair<Integer, Integer>> FByValues;
  bool FIndexed = false;
};

// Values given by definition.
class TcxValueDefUnboundReader : public TcxValueDefReader {
  ORV_CLASS(TcxValueDefUnboundReader, TcxValueDefReader)
 public:
  ~TcxValueDefUnboundReader() override { Clear(); }
  Variant GetValue(TcxValueDef* AValueDef) override;
  bool IsInternal(TcxValueDef* AValueDef) override;
  void SetValue(TcxValueDef* AValueDef, const Variant& AValue);
  void Truncate(Integer ACount);
  void Clear() { Truncate(0); }
  Integer GetCount() const { return static_cast<Integer>(FValueDefs.size()); }

 private:
  std::vector<TcxValueDef*> FValueDefs;
  std::vector<Variant*> FValues;
};

// The values of one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
  ORV_CLASS(TcxValueDefRecordReader, TcxValueDefReader)
 public:
  TcxValueDefRecordReader(TcxCustomDataController* ADataController, Integer ARecordIndex)
      : FDataController(ADataController), FRecordIndex(ARecordIndex) {}
  AnsiString GetDisplayText(TcxValueDef* AValueDef) override;
  Variant GetValue(TcxValueDef* AValueDef) override;
  bool IsInternal(TcxValueDef* AValueDef) override;

 private:
  TcxCustomDataController* FDataController;
  Integer FRecordIndex;
};

// Whether a value definition belongs to an internal field.
bool cxIsValueDefInternal(TcxValueDef* AValueDef);
