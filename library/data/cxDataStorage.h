// The value storage: the in-memory table behind a data controller.
//
// Each record is one zero-filled heap block (the record buffer):
//   byte 0        flags (bit 1: an internal record is in use)
//   bytes 1..4    the record ID, only while record IDs are on
//   then          one slot per stored definition, in definition order:
//                 a not-null byte, the value cell, and a text cell when the
//                 definition keeps display texts.
// A record has no buffer until something is stored in it and then reads
// as null in every field. Internal records (edit copies and other scratch
// records) have indexes -1, -2, ...
#pragma once

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "library/data/cxDataStorageValueTypes.h"
#include "platform/rtl/Events.h"

class TcxDataStorage;
class TcxValueDefs;

class TcxValueDef : public TObject {
  ORV_CLASS(TcxValueDef, TObject)
 public:
  TcxValueDef(TcxValueDefs* AValueDefs, TcxValueTypeClass AValueTypeClass);
  // Leaves its list (and the storage drops its column).
  ~TcxValueDef() override;

  virtual TObject* GetLinkObject() const { return FLinkObject; }
  virtual bool GetStored() const;
  virtual void SetLinkObject(TObject* Value) { FLinkObject = Value; }
  virtual void Assign(TcxValueDef* ASource);

  // Sizes the slot and moves AOffset past it.
  void Init(Integer& AOffset);
  Integer Compare(const Byte* ABuffer1, const Byte* ABuffer2) const;
  Integer CompareValues(bool AIsNull1, bool AIsNull2, const void* P1, const void* P2) const;
  Variant GetDataValue(const Byte* ABuffer) const;
  // Null frees the cell; any other value is converted first and the
  // not-null byte set only once the cell holds it.
  void SetDataValue(Byte* ABuffer, const Variant& AValue) const;
  AnsiString GetDisplayText(const Byte* ABuffer) const;
  void SetDisplayText(Byte* ABuffer, const AnsiString& AText) const;
  static bool IsNullValue(const Byte* P) { return *P == 0; }
  static bool IsNullValueEx(const Byte* ABuffer, Integer AOffset) { return !ABuffer || ABuffer[AOffset] == 0; }
  static void SetNull(Byte* P, bool AIsNull) { *P = AIsNull ? 0 : 1; }
  // Releases what this definition's slot of ABuffer owns.
  void FreeBuffer(Byte* ABuffer) const;
  void FreeTextBuffer(Byte* ABuffer) const;
  void ReadDataValue(Byte* ABuffer, TStream* AStream) const;
  void WriteDataValue(const Byte* ABuffer, TStream* AStream) const;
  void ReadDisplayText(Byte* ABuffer, TStream* AStream) const;
  void WriteDisplayText(const Byte* ABuffer, TStream* AStream) const;
  bool GetIsNeedConversion() const { return FValueTypeClass->IsString(); }

  bool GetStoredFlag() const { return FStored; }
  void SetStored(bool Value);
  // Effective only while the definition is stored.
  bool GetTextStored() const { return FTextStored && GetStored(); }
  void SetTextStored(bool Value);
  TcxValueTypeClass GetValueTypeClass() const { return FValueTypeClass; }
  void SetValueTypeClass(TcxValueTypeClass Value);
  bool GetStreamed() const { return FStreamed; }
  void SetStreamed(bool Value) { FStreamed = Value; }
  Integer GetBufferSize() const { return FBufferSize; }
  Integer GetDataSize() const { return FDataSize; }
  Integer GetOffset() const { return FOffset; }
  Integer GetIndex() const;
  TcxValueDefs* GetValueDefs() const { return FValueDefs; }

 private:
  friend class TcxValueDefs;
  friend class TcxDataStorage;
  Integer FBufferSize = 0;
  Integer FDataSize = 0;
  TObject* FLinkObject = nullptr;
  Integer FOffset = 0;
  bool FStored = true;
  bool FStreamed = true;
  bool FTextStored = false;
  TcxValueDefs* FValueDefs;
  TcxValueTypeClass FValueTypeClass;
};

using TcxValueDefCompare = Integer (*)(TcxValueDef* A, TcxValueDef* B);

class TcxValueDefs : public TObject {
  ORV_CLASS(TcxValueDefs, TObject)
 public:
  explicit TcxValueDefs(TcxDataStorage* ADataStorage) : FDataStorage(ADataStorage) {}
  ~TcxValueDefs() override;

  virtual void Changed(TcxValueDef* AValueDef, bool AResyncNeeded);
  virtual void Prepare(Integer AStartOffset);

  TcxValueDef* Add(TcxValueTypeClass AValueTypeClass, bool AStored, bool ATextStored, TObject* ALinkObject);
  TcxValueDef* Insert(Integer AIndex, TcxValueTypeClass AValueTypeClass, bool AStored, bool ATextStored,
                      TObject* ALinkObject);
  // Takes the definition out of the list (the storage drops its column);
  // it is not freed.
  void Remove(TcxValueDef* AValueDef);
  // Frees every definition.
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // While the storage is streaming, items come in the streaming order.
  TcxValueDef* GetItem(Integer Index) const;
  Integer IndexOf(const TcxValueDef* AValueDef) const;
  Integer GetStoredCount() const;
  Integer GetRecordSize() const { return FRecordSize; }
  Integer GetStartOffset() const { return FStartOffset; }
  // Whether at least ACount columns are stored.
  bool HasStored(Integer ACount) const;
  TcxDataStorage* GetDataStorage() const { return FDataStorage; }
  virtual bool IsInternal() const { return false; }

 protected:
  virtual TcxValueDef* CreateValueDef(TcxValueTypeClass AValueTypeClass);

 protected:
  friend class TcxDataStorage;
  friend class TcxValueDef;
  TcxDataStorage* FDataStorage;
  std::vector<TcxValueDef*> FItems;
  Integer FStartOffset = 1;
  Integer FRecordSize = 1;
};

// The twin of a main definition in the internal records' layout.
class TcxInternalValueDef : public TcxValueDef {
  ORV_CLASS(TcxInternalValueDef, TcxValueDef)
 public:
  using TcxValueDef::TcxValueDef;
  TObject* GetLinkObject() const override;
  bool GetStored() const override { return true; }
  void SetLinkObject(TObject* Value) override;
  TcxValueDef* GetValueDef() const { return FMainDef; }

 private:
  TcxValueDef* FMainDef = nullptr;
};

class TcxInternalValueDefs : public TcxValueDefs {
  ORV_CLASS(TcxInternalValueDefs, TcxValueDefs)
 public:
  using TcxValueDefs::TcxValueDefs;
  TcxInternalValueDef* FindByLinkObject(const TcxValueDef* AMainDef) const;
  void RemoveByLinkObject(const TcxValueDef* AMainDef);
  bool IsInternal() const override { return true; }

 protected:
  TcxValueDef* CreateValueDef(TcxValueTypeClass AValueTypeClass) override;
};

// Where a record comes from when the storage loads it from elsewhere.
class TcxValueDefReader : public TObject {
  ORV_CLASS(TcxValueDefReader, TObject)
 public:
  TcxValueDefReader() = default;
  virtual AnsiString GetDisplayText(TcxValueDef*) { return AnsiString(); }
  virtual Variant GetValue(TcxValueDef*) { return Null(); }
  virtual bool IsInternal(TcxValueDef*) { return false; }
};

using TcxValueDefSetProc =
    Event<void(TcxValueDef* AValueDef, Integer AFromRecordIndex, Integer AToRecordIndex, TcxValueDefReader* AReader)>;

// Bytes that grow at their end, for a block made in one pass whose size is
// known only at its end. Its memory comes from realloc, which gives a large
// block more room by remapping its pages rather than copying them, so the
// pass writes each byte once.
class TcxTextBlock {
 public:
  TcxTextBlock() = default;
  TcxTextBlock(TcxTextBlock&& ASource) noexcept
      : FData(std::exchange(ASource.FData, nullptr)), FSize(std::exchange(ASource.FSize, 0)),
        FCapacity(std::exchange(ASource.FCapacity, 0)) {}
  TcxTextBlock& operator=(TcxTextBlock&& ASource) noexcept {
    std::swap(FData, ASource.FData);
    std::swap(FSize, ASource.FSize);
    std::swap(FCapacity, ASource.FCapacity);
    return *this;
  }
  ~TcxTextBlock() { std::free(FData); }

  const char* data() const { return FData; }
  size_t size() const { return FSize; }
  std::string_view View() const { return {FData, FSize}; }
  // Room for ACount more bytes at the end, to be written and then added
  // by Commit.
  char* Extend(size_t ACount) {
    if (FCapacity - FSize < ACount) Grow(ACount);
    return FData + FSize;
  }
  void Commit(size_t ACount) { FSize += ACount; }
  void Append(std::string_view ABytes) {
    if (!ABytes.empty()) std::memcpy(Extend(ABytes.size()), ABytes.data(), ABytes.size());
    Commit(ABytes.size());
  }

 private:
  void Grow(size_t ACount);
  char* FData = nullptr;
  size_t FSize = 0;
  size_t FCapacity = 0;
};

// One field's cells of every ordinary record copied into contiguous arrays
// beside the record blocks, for the passes that read that field of all
// records (filters): NotNull[r] is the record's not-null byte, and its cell
// is the Size bytes at Cells[r * Size] (for text, the holder's pointer).
struct TcxDataColumn {
  const TcxValueDef* Def = nullptr;
  // The layout the cells were read with.
  TcxValueTypeClass Type = nullptr;
  Integer Offset = 0;
  Integer Size = 0;
  std::vector<Byte> NotNull;
  std::vector<Byte> Cells;
  // For an 8-bit text field, on request, every record's text in one block
  // for substring searches, each followed by a 0 byte (a null record's is
  // empty): span i is Texts[TextStarts[i] .. TextStarts[i + 1] - 1) and
  // holds the text of record SpanRecord(i), record r's text is span
  // RecordSpan(r). The spans are made in record order; a value set appends
  // the record's new text as a span of its own and leaves the old span
  // dead (record -1) until the dead bytes are half the block, when the
  // block is dropped. An inserted or deleted record drops it too; it is
  // made again on use. Until a text is set, span i is record i's and the
  // two maps are empty.
  TcxTextBlock Texts;
  std::vector<size_t> TextStarts;
  std::vector<Integer> TextRecords;
  std::vector<Integer> TextSpans;
  size_t DeadTextBytes = 0;
  Integer SpanRecord(size_t ASpan) const {
    return TextRecords.empty() ? static_cast<Integer>(ASpan) : TextRecords[ASpan];
  }
  size_t RecordSpan(size_t ARecord) const {
    return TextSpans.empty() ? ARecord : static_cast<size_t>(TextSpans[ARecord]);
  }
};

class TcxDataStorage : public TObject {
  ORV_CLASS(TcxDataStorage, TObject)
 public:
  TcxDataStorage();
  ~TcxDataStorage() override;
  void BeforeDestruction() override;

  virtual void InitStructure(TcxValueDefs* AValueDefs);
  // Where the first column of the definitions' records starts.
  Integer StartOffsetOf(const TcxValueDefs* AValueDefs) const;
  virtual void ValueDefsChanged(TcxValueDef*, bool) {}
  virtual TcxValueDefs* ValueDefsByRecordIndex(Integer ARecordIndex) const;

  // Records.
  Integer AppendRecord();
  void InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  // A run of deletes: while it is open, a record deleted below every record
  // deleted before it in the run (a list deleted highest first) leaves its
  // place in the record list and the columns until the run ends, when all
  // of them go in one pass; anything that reads at or past the lowest
  // deleted place, or the list or the columns as a whole, settles them
  // first. Indexes and the count are always those after each delete.
  void BeginDeleting() { ++FDeletingCount; }
  void EndDeleting();
  Integer GetRecordCount() const { return static_cast<Integer>(FRecords.size() - FDeleted.size()); }
  void SetRecordCount(Integer Value);
  Integer AddInternalRecord();
  void DeleteInternalRecord(Integer ARecordIndex);
  Integer GetInternalRecordCount() const { return static_cast<Integer>(FInternalRecords.size()); }
  void Clear(bool AKeepInternal);
  void ClearRecords(bool AClearList);
  void ClearInternalRecords();

  // Values.
  Variant GetValue(Integer ARecordIndex, TcxValueDef* AValueDef) const;
  void SetValue(Integer ARecordIndex, TcxValueDef* AValueDef, const Variant& AValue);
  AnsiString GetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef) const;
  void SetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef, const AnsiString& AText);
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, TcxValueDef* AValueDef) const;
  // True when the value is null; otherwise P is the prepared value.
  bool GetCompareInfo(Integer ARecordIndex, TcxValueDef* AValueDef, const void*& P) const;
  Integer GetRecordID(Integer ARecordIndex) const;
  void SetRecordID(Integer ARecordIndex, Integer AID);
  // Whether the record has a buffer.
  bool HasBuffer(Integer ARecordIndex) const { return RecordBuffer(ARecordIndex) != nullptr; }
  // The buffers of the (non-internal) records, GetRecordCount of them, for
  // passes that read one cell of many records; a null buffer or a zero flag
  // byte at a value's offset means null. Valid until records are added or
  // removed.
  Byte* const* GetRecordBuffers() const {
    Settle();
    return FRecords.data();
  }
  // The column of a stored field of the ordinary records, read from their
  // blocks on first use and kept current by this storage's writes until
  // the layout changes; nullptr for a field without a cell. Valid until the
  // next change of the storage.
  const TcxDataColumn* GetColumn(const TcxValueDef* AValueDef);
  // The column of an 8-bit text field with its texts in one block; nullptr
  // for a field of another type.
  const TcxDataColumn* GetTextColumn(const TcxValueDef* AValueDef);
  // The column when it is there already, else nullptr.
  const TcxDataColumn* FindColumn(const TcxValueDef* AValueDef) const;

  // One record on a stream. A bad stream raises EReadError and leaves the
  // record as it was.
  void ReadData(Integer ARecordIndex, TStream* AStream);
  void WriteData(Integer ARecordIndex, TStream* AStream);
  void ReadRecord(Integer ARecordIndex, TcxValueDefReader* AReader);
  void ReadRecordFrom(Integer AFromRecordIndex, Integer AToRecordIndex, TcxValueDefReader* AReader,
                      const TcxValueDefSetProc& ASetProc);
  void BeginStreaming(TcxValueDefCompare ACompareFunc);
  void EndStreaming();
  bool IsStreaming() const { return FStreaming; }
  virtual void BeginLoad() {}
  virtual void EndLoad() {}
  virtual void CheckStructure() {}

  bool GetStoredValuesOnly() const { return FStoredValuesOnly; }
  void SetStoredValuesOnly(bool Value);
  bool GetUseRecordID() const { return FUseRecordID; }
  void SetUseRecordID(bool Value);
  Integer GetNextRecordID() const {
    Settle();
    return FRecordIDCounter;
  }
  TcxValueDefs* GetValueDefs() const { return FValueDefs; }
  TcxInternalValueDefs* GetInternalValueDefs() const { return FInternalValueDefs; }
  bool IsDestroying() const { return FDestroying; }

  // Called after the internal records were cleared.
  TNotifyEvent OnClearInternalRecords;

 private:
  friend class TcxValueDefs;
  friend class TcxValueDef;
  using Buffers = std::vector<Byte*>;

  Buffers& RecordsOf(const TcxValueDefs* ADefs) { return ADefs == FValueDefs ? FRecords : FInternalRecords; }
  Byte*& RecordSlot(Integer ARecordIndex);
  Byte* RecordBuffer(Integer ARecordIndex) const;
  Byte* CheckRecordBuffer(Integer ARecordIndex);
  const TcxValueDef* CheckValueDef(Integer ARecordIndex, const TcxValueDef* AValueDef) const;
  void FreeRecordBuffer(Byte*& ABuffer, const TcxValueDefs* ADefs);
  void AssignRecordID(Integer ARecordIndex);
  void InsertValueDef(Integer AIndex, TcxValueDef* AValueDef);
  void RemoveValueDef(TcxValueDef* AValueDef);
  void InsertSlot(const TcxValueDefs* ADefs, Integer AInsertAt, Integer ASize);
  void RemoveSlot(const TcxValueDef* AValueDef, bool AFreeEmptyBuffers);
  // Rebuilds one column after a change of its layout; the column's values
  // are dropped, the other columns kept.
  void RelayoutValueDef(TcxValueDef* AValueDef, const std::function<void()>& AChange);
  void ReadValues(Byte* ABuffer, const TcxValueDefs* ADefs, TStream* AStream);
  // The columns follow the records: a record's cells read again (one
  // field's, or all), a record added or taken out, or all dropped when the
  // layout changes.
  void RefreshColumns(Integer ARecordIndex, const TcxValueDef* AOnly = nullptr);
  void InsertColumnsRecord(Integer ARecordIndex);
  void DeleteColumnsRecord(Integer ARecordIndex);
  void DropColumns() {
    Settle();
    FColumns.clear();
  }
  // The run's deleted places taken out of the list and the columns.
  void Settle() const {
    if (!FDeleted.empty()) const_cast<TcxDataStorage*>(this)->SettleDeletes();
  }
  void SettleDeletes();
  // The field's column, read from the record blocks where it is not kept;
  // ATexts (an 8-bit text field): with its text block, when it is read.
  TcxDataColumn* ColumnOf(const TcxValueDef* AValueDef, bool ATexts);
  std::vector<TcxDataColumn> FColumns;

  bool FDestroying = false;
  Buffers FInternalRecords;
  TcxInternalValueDefs* FInternalValueDefs;
  bool FStoredValuesOnly = false;
  Buffers FRecords;
  // The places deleted in the open run, each below the one before; their
  // buffers are freed already.
  std::vector<Integer> FDeleted;
  Integer FDeletingCount = 0;
  Integer FRecordIDCounter = 1;
  bool FUseRecordID = false;
  TcxValueDefs* FValueDefs;
  bool FStreaming = false;
  std::vector<TcxValueDef*> FStreamingDefs;
};

// A list of (key, display text) pairs kept sorted by key.
struct TcxLookupListItem {
  Variant KeyValue;
  AnsiString DisplayText;
};

class TcxLookupList : public TObject {
  ORV_CLASS(TcxLookupList, TObject)
 public:
  // True with the item's index, else false with the insertion index.
  bool Find(const Variant& AKeyValue, Integer& AIndex) const;
  void Insert(Integer AIndex, const Variant& AKeyValue, const AnsiString& ADisplayText);
  void Clear() { FItems.clear(); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxLookupListItem& GetItem(Integer Index) const;

 private:
  std::vector<TcxLookupListItem> FItems;
};
