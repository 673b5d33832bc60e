#include "library/data/cxDataStorage.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>

#include "library/data/cxDataConsts.h"
#include "platform/rtl/BinarySearch.h"

ORV_REGISTER(TcxValueDef)
ORV_REGISTER(TcxValueDefs)
ORV_REGISTER(TcxInternalValueDef)
ORV_REGISTER(TcxInternalValueDefs)
ORV_REGISTER(TcxValueDefReader)
ORV_REGISTER(TcxDataStorage)
ORV_REGISTER(TcxLookupList)

namespace {

constexpr Byte cxRecordInUse = 1;
constexpr Integer cxRecordIDOffset = 1;

[[noreturn]] void IndexError(Integer AIndex) { throw EListError("List index out of bounds (%d)", {AIndex}); }

Byte* AllocBuffer(Integer ASize) {
  auto* p = static_cast<Byte*>(std::calloc(static_cast<size_t>(ASize > 0 ? ASize : 1), 1));
  if (!p) throw std::bad_alloc();
  return p;
}

// A record buffer that a column widens keeps room for more once it is
// long: an unbound record (a grid with a column per row) takes its columns
// one at a time, and a buffer sized to the byte would be copied whole by
// every one that cannot grow in place. Short records, the many of a data
// store, stay tight. A buffer keeps its block while the block is at most
// twice what it holds, so a column taken out and put back (a value type
// changed) moves nothing.
constexpr size_t kRecordRoomFrom = 256;

Byte* ResizeBuffer(Byte* ABuffer, Integer ASize) {
  const size_t size = static_cast<size_t>(ASize > 0 ? ASize : 1);
  size_t block = size;
  if (ABuffer) {
    const size_t usable = malloc_usable_size(ABuffer);
    if (size <= usable && usable / 2 <= size) return ABuffer;
    if (size > usable && size >= kRecordRoomFrom) block = size + size / 2;
  }
  auto* p = static_cast<Byte*>(std::realloc(ABuffer, block));
  if (!p) throw std::bad_alloc();
  return p;
}

Integer LoadInt(const Byte* P) {
  Integer v;
  std::memcpy(&v, P, sizeof v);
  return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxValueDef

TcxValueDef::TcxValueDef(TcxValueDefs* AValueDefs, TcxValueTypeClass AValueTypeClass)
    : FValueDefs(AValueDefs), FValueTypeClass(AValueTypeClass) {}

TcxValueDef::~TcxValueDef() {
  if (FValueDefs && FValueDefs->IndexOf(this) >= 0) FValueDefs->Remove(this);
}

bool TcxValueDef::GetStored() const {
  return FStored || !FValueDefs || !FValueDefs->FDataStorage->GetStoredValuesOnly();
}

void TcxValueDef::Assign(TcxValueDef* ASource) {
  if (!ASource) return;
  SetStored(ASource->FStored);
  SetTextStored(ASource->FTextStored);
}

void TcxValueDef::Init(Integer& AOffset) {
  FDataSize = FValueTypeClass ? FValueTypeClass->GetDataSize() : 0;
  FOffset = AOffset;
  if (GetStored()) {
    FBufferSize = 1 + FDataSize + (FTextStored ? cxTextCellSize : 0);
    AOffset += FBufferSize;
  } else {
    FBufferSize = 0;
  }
}

Integer TcxValueDef::Compare(const Byte* ABuffer1, const Byte* ABuffer2) const {
  const bool n1 = IsNullValueEx(ABuffer1, FOffset), n2 = IsNullValueEx(ABuffer2, FOffset);
  if (n1 || n2) return n1 == n2 ? 0 : (n1 ? -1 : 1);
  return FValueTypeClass->Compare(ABuffer1 + FOffset + 1, ABuffer2 + FOffset + 1);
}

Integer TcxValueDef::CompareValues(bool AIsNull1, bool AIsNull2, const void* P1, const void* P2) const {
  if (AIsNull1 || AIsNull2) return AIsNull1 == AIsNull2 ? 0 : (AIsNull1 ? -1 : 1);
  return FValueTypeClass->CompareValues(P1, P2);
}

Variant TcxValueDef::GetDataValue(const Byte* ABuffer) const {
  if (FBufferSize == 0 || IsNullValueEx(ABuffer, FOffset)) return Null();
  Variant v;
  FValueTypeClass->GetDataValue(ABuffer + FOffset + 1, v);
  return v;
}

void TcxValueDef::SetDataValue(Byte* ABuffer, const Variant& AValue) const {
  if (FBufferSize == 0) return;
  Byte* p = ABuffer + FOffset;
  if (VarIsNull(AValue)) {
    if (*p) FValueTypeClass->FreeBuffer(p + 1);
    std::memset(p + 1, 0, static_cast<size_t>(FDataSize));
    SetNull(p, true);
  } else {
    // The type converts before it touches the cell, so a refused value
    // leaves both the cell and the not-null byte as they were.
    FValueTypeClass->SetDataValue(p + 1, AValue);
    SetNull(p, false);
  }
}

AnsiString TcxValueDef::GetDisplayText(const Byte* ABuffer) const {
  if (!ABuffer || FBufferSize == 0) return AnsiString();
  const Byte* p = ABuffer + FOffset;
  if (GetTextStored()) return FValueTypeClass->GetDisplayText(p + 1 + FDataSize);
  if (*p == 0) return AnsiString();
  return FValueTypeClass->GetDefaultDisplayText(p + 1);
}

void TcxValueDef::SetDisplayText(Byte* ABuffer, const AnsiString& AText) const {
  if (GetTextStored() && FBufferSize > 0) FValueTypeClass->SetDisplayText(ABuffer + FOffset + 1 + FDataSize, AText);
}

void TcxValueDef::FreeBuffer(Byte* ABuffer) const {
  if (FBufferSize == 0) return;
  Byte* p = ABuffer + FOffset;
  if (*p) FValueTypeClass->FreeBuffer(p + 1);
  FreeTextBuffer(ABuffer);
}

void TcxValueDef::FreeTextBuffer(Byte* ABuffer) const {
  if (FBufferSize > 0 && GetTextStored()) FValueTypeClass->FreeTextBuffer(ABuffer + FOffset + 1 + FDataSize);
}

void TcxValueDef::ReadDataValue(Byte* ABuffer, TStream* AStream) const {
  FValueTypeClass->ReadDataValue(ABuffer + FOffset + 1, AStream);
  SetNull(ABuffer + FOffset, false);
}

void TcxValueDef::WriteDataValue(const Byte* ABuffer, TStream* AStream) const {
  FValueTypeClass->WriteDataValue(ABuffer + FOffset + 1, AStream);
}

void TcxValueDef::ReadDisplayText(Byte* ABuffer, TStream* AStream) const {
  FValueTypeClass->ReadDisplayText(ABuffer + FOffset + 1 + FDataSize, AStream);
}

void TcxValueDef::WriteDisplayText(const Byte* ABuffer, TStream* AStream) const {
  FValueTypeClass->WriteDisplayText(ABuffer + FOffset + 1 + FDataSize, AStream);
}

Integer TcxValueDef::GetIndex() const { return FValueDefs ? FValueDefs->IndexOf(this) : -1; }

void TcxValueDef::SetStored(bool Value) {
  if (FStored == Value) return;
  FValueDefs ? FValueDefs->FDataStorage->RelayoutValueDef(this, [&] { FStored = Value; }) : void(FStored = Value);
  if (FValueDefs) FValueDefs->Changed(this, false);
}

void TcxValueDef::SetTextStored(bool Value) {
  if (FTextStored == Value) return;
  FValueDefs ? FValueDefs->FDataStorage->RelayoutValueDef(this, [&] { FTextStored = Value; })
             : void(FTextStored = Value);
  if (FValueDefs && !FValueDefs->IsInternal())
    if (TcxInternalValueDef* twin = FValueDefs->FDataStorage->FInternalValueDefs->FindByLinkObject(this))
      twin->SetTextStored(Value);
  if (FValueDefs) FValueDefs->Changed(this, true);
}

void TcxValueDef::SetValueTypeClass(TcxValueTypeClass Value) {
  if (FValueTypeClass == Value || !Value) return;
  FValueDefs ? FValueDefs->FDataStorage->RelayoutValueDef(this, [&] { FValueTypeClass = Value; })
             : void(FValueTypeClass = Value);
  if (FValueDefs && !FValueDefs->IsInternal())
    if (TcxInternalValueDef* twin = FValueDefs->FDataStorage->FInternalValueDefs->FindByLinkObject(this))
      twin->SetValueTypeClass(Value);
  if (FValueDefs) FValueDefs->Changed(this, true);
}

// ---------------------------------------------------------------------------
// TcxValueDefs

TcxValueDefs::~TcxValueDefs() { Clear(); }

void TcxValueDefs::Changed(TcxValueDef* AValueDef, bool AResyncNeeded) {
  FDataStorage->ValueDefsChanged(AValueDef, AResyncNeeded);
}

void TcxValueDefs::Prepare(Integer AStartOffset) {
  FStartOffset = AStartOffset;
  Integer offset = AStartOffset;
  for (TcxValueDef* def : FItems) def->Init(offset);
  FRecordSize = offset;
}

TcxValueDef* TcxValueDefs::CreateValueDef(TcxValueTypeClass AValueTypeClass) {
  return New<TcxValueDef>(this, AValueTypeClass);
}

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass AValueTypeClass, bool AStored, bool ATextStored,
                               TObject* ALinkObject) {
  return Insert(GetCount(), AValueTypeClass, AStored, ATextStored, ALinkObject);
}

TcxValueDef* TcxValueDefs::Insert(Integer AIndex, TcxValueTypeClass AValueTypeClass, bool AStored,
                                  bool ATextStored, TObject* ALinkObject) {
  if (AIndex < 0 || AIndex > GetCount()) IndexError(AIndex);
  if (!AValueTypeClass) throw EInvalidOperation("A value definition needs a value type");
  TcxValueDef* def = CreateValueDef(AValueTypeClass);
  def->SetLinkObject(ALinkObject);
  def->FStored = AStored;
  def->FTextStored = ATextStored;
  Integer offset = 0;
  def->Init(offset);
  try {
    FDataStorage->InsertValueDef(AIndex, def);
  } catch (...) {
    def->FValueDefs = nullptr;
    def->Free();
    throw;
  }
  FItems.insert(FItems.begin() + AIndex, def);
  if (AIndex == GetCount() - 1 && FStartOffset == FDataStorage->StartOffsetOf(this)) {
    // Appended: the columns before it keep their places.
    Integer offset = FRecordSize;
    def->Init(offset);
    FRecordSize = offset;
  } else {
    FDataStorage->InitStructure(this);
  }
  return def;
}

void TcxValueDefs::Remove(TcxValueDef* AValueDef) {
  if (IndexOf(AValueDef) < 0) return;
  FDataStorage->RemoveValueDef(AValueDef);
  const Integer index = IndexOf(AValueDef);
  FItems.erase(FItems.begin() + index);
  auto& streaming = FDataStorage->FStreamingDefs;
  streaming.erase(std::remove(streaming.begin(), streaming.end(), AValueDef), streaming.end());
  if (index == GetCount() && FStartOffset == FDataStorage->StartOffsetOf(this))
    // The last column went: the others keep their places.
    FRecordSize = AValueDef->FOffset;
  else
    FDataStorage->InitStructure(this);
}

void TcxValueDefs::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxValueDef* TcxValueDefs::GetItem(Integer Index) const {
  const auto& items = FDataStorage->FStreaming && !IsInternal() ? FDataStorage->FStreamingDefs : FItems;
  if (Index < 0 || Index >= static_cast<Integer>(items.size())) IndexError(Index);
  return items[static_cast<size_t>(Index)];
}

// From the end: the columns added last are the ones most often looked for.
Integer TcxValueDefs::IndexOf(const TcxValueDef* AValueDef) const {
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i] == AValueDef) return static_cast<Integer>(i);
  return -1;
}

bool TcxValueDefs::HasStored(Integer ACount) const {
  Integer found = 0;
  for (TcxValueDef* def : FItems)
    if (def->GetStored() && ++found >= ACount) return true;
  return false;
}

Integer TcxValueDefs::GetStoredCount() const {
  return static_cast<Integer>(std::count_if(FItems.begin(), FItems.end(), [](TcxValueDef* d) { return d->GetStored(); }));
}

// ---------------------------------------------------------------------------
// Internal definitions

TObject* TcxInternalValueDef::GetLinkObject() const { return FMainDef ? FMainDef->GetLinkObject() : nullptr; }

void TcxInternalValueDef::SetLinkObject(TObject* Value) { FMainDef = DynamicCast<TcxValueDef>(Value); }

TcxValueDef* TcxInternalValueDefs::CreateValueDef(TcxValueTypeClass AValueTypeClass) {
  return New<TcxInternalValueDef>(this, AValueTypeClass);
}

TcxInternalValueDef* TcxInternalValueDefs::FindByLinkObject(const TcxValueDef* AMainDef) const {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    auto* def = static_cast<TcxInternalValueDef*>(FItems[static_cast<size_t>(i)]);
    if (def->GetValueDef() == AMainDef) return def;
  }
  return nullptr;
}

void TcxInternalValueDefs::RemoveByLinkObject(const TcxValueDef* AMainDef) {
  if (TcxInternalValueDef* def = FindByLinkObject(AMainDef)) def->Free();
}

// ---------------------------------------------------------------------------
// TcxDataStorage: structure

TcxDataStorage::TcxDataStorage() {
  FValueDefs = New<TcxValueDefs>(this);
  FInternalValueDefs = New<TcxInternalValueDefs>(this);
  InitStructure(FValueDefs);
  InitStructure(FInternalValueDefs);
}

TcxDataStorage::~TcxDataStorage() {
  Clear(false);
  FValueDefs->Free();
  FInternalValueDefs->Free();
}

void TcxDataStorage::BeforeDestruction() { FDestroying = true; }

void TcxDataStorage::InitStructure(TcxValueDefs* AValueDefs) {
  DropColumns();
  AValueDefs->Prepare(StartOffsetOf(AValueDefs));
}

// Internal records never carry IDs, so their layout does not move when
// record IDs are switched on or off while they hold edit copies.
Integer TcxDataStorage::StartOffsetOf(const TcxValueDefs* AValueDefs) const {
  return AValueDefs == FValueDefs && FUseRecordID ? 5 : 1;
}

TcxValueDefs* TcxDataStorage::ValueDefsByRecordIndex(Integer ARecordIndex) const {
  return ARecordIndex < 0 ? FInternalValueDefs : FValueDefs;
}

void TcxDataStorage::InsertSlot(const TcxValueDefs* ADefs, Integer AInsertAt, Integer ASize) {
  DropColumns();
  if (ASize <= 0) return;
  const Integer oldSize = ADefs->FRecordSize;
  for (Byte*& buffer : RecordsOf(ADefs)) {
    if (!buffer) continue;
    buffer = ResizeBuffer(buffer, oldSize + ASize);
    std::memmove(buffer + AInsertAt + ASize, buffer + AInsertAt, static_cast<size_t>(oldSize - AInsertAt));
    std::memset(buffer + AInsertAt, 0, static_cast<size_t>(ASize));
  }
}

void TcxDataStorage::InsertValueDef(Integer AIndex, TcxValueDef* AValueDef) {
  TcxValueDefs* defs = AValueDef->FValueDefs;
  if (defs == FValueDefs)
    FInternalValueDefs->Add(AValueDef->FValueTypeClass, true, AValueDef->FTextStored, AValueDef);
  const Integer insertAt = AIndex < defs->GetCount() ? defs->FItems[static_cast<size_t>(AIndex)]->FOffset
                                                     : defs->FRecordSize;
  InsertSlot(defs, insertAt, AValueDef->FBufferSize);
}

void TcxDataStorage::RemoveSlot(const TcxValueDef* AValueDef, bool AFreeEmptyBuffers) {
  const TcxValueDefs* defs = AValueDef->FValueDefs;
  const Integer size = AValueDef->FBufferSize, offset = AValueDef->FOffset, oldSize = defs->FRecordSize;
  DropColumns();
  if (size == 0) return;
  for (Byte*& buffer : RecordsOf(defs)) {
    if (!buffer) continue;
    if (AFreeEmptyBuffers) {
      FreeRecordBuffer(buffer, defs);
      continue;
    }
    AValueDef->FreeBuffer(buffer);
    std::memmove(buffer + offset, buffer + offset + size, static_cast<size_t>(oldSize - offset - size));
    buffer = ResizeBuffer(buffer, oldSize - size);
  }
}

void TcxDataStorage::RemoveValueDef(TcxValueDef* AValueDef) {
  DropColumns();
  TcxValueDefs* defs = AValueDef->FValueDefs;
  if (defs == FValueDefs) FInternalValueDefs->RemoveByLinkObject(AValueDef);
  // A main record whose last column goes carries nothing else and loses its
  // buffer; a buffer that holds a record ID or an internal record's in-use
  // flag is only narrowed, so those survive.
  const bool freeEmpty = defs == FValueDefs && !FUseRecordID && AValueDef->GetStored() && !defs->HasStored(2);
  RemoveSlot(AValueDef, freeEmpty);
}

void TcxDataStorage::RelayoutValueDef(TcxValueDef* AValueDef, const std::function<void()>& AChange) {
  TcxValueDefs* defs = AValueDef->FValueDefs;
  if (defs->IndexOf(AValueDef) < 0) {
    AChange();
    return;
  }
  // Take the column out with its old layout, change it, put it back empty.
  DropColumns();
  RemoveSlot(AValueDef, false);
  const Integer shrunk = defs->FRecordSize - AValueDef->FBufferSize;
  AChange();
  if (defs->FItems.back() == AValueDef && defs->FStartOffset == StartOffsetOf(defs)) {
    // The last column keeps its place; only its size may change.
    Integer offset = AValueDef->FOffset;
    AValueDef->Init(offset);
    defs->FRecordSize = offset;
  } else {
    InitStructure(defs);
  }
  const Integer size = AValueDef->FBufferSize;
  for (Byte*& buffer : RecordsOf(defs)) {
    if (!buffer) continue;
    const Integer at = AValueDef->FOffset;
    buffer = ResizeBuffer(buffer, shrunk + size);
    std::memmove(buffer + at + size, buffer + at, static_cast<size_t>(shrunk - at));
    std::memset(buffer + at, 0, static_cast<size_t>(size));
  }
}

void TcxDataStorage::SetStoredValuesOnly(bool Value) {
  if (FStoredValuesOnly == Value) return;
  Settle();
  for (Byte*& buffer : FRecords) FreeRecordBuffer(buffer, FValueDefs);
  FStoredValuesOnly = Value;
  InitStructure(FValueDefs);
  ClearRecords(false);
}

void TcxDataStorage::SetUseRecordID(bool Value) {
  if (FUseRecordID == Value) return;
  Settle();
  // Free with the old layout before the structure changes under the buffers.
  for (Byte*& buffer : FRecords) FreeRecordBuffer(buffer, FValueDefs);
  FUseRecordID = Value;
  InitStructure(FValueDefs);
  ClearRecords(false);
}

// ---------------------------------------------------------------------------
// Records

Byte*& TcxDataStorage::RecordSlot(Integer ARecordIndex) {
  if (ARecordIndex >= 0) {
    if (!FDeleted.empty() && ARecordIndex >= FDeleted.back()) SettleDeletes();
    if (ARecordIndex >= GetRecordCount()) IndexError(ARecordIndex);
    return FRecords[static_cast<size_t>(ARecordIndex)];
  }
  const Int64 k = -static_cast<Int64>(ARecordIndex) - 1;
  if (k >= GetInternalRecordCount()) IndexError(ARecordIndex);
  return FInternalRecords[static_cast<size_t>(k)];
}

Byte* TcxDataStorage::RecordBuffer(Integer ARecordIndex) const {
  return const_cast<TcxDataStorage*>(this)->RecordSlot(ARecordIndex);
}

Byte* TcxDataStorage::CheckRecordBuffer(Integer ARecordIndex) {
  Byte*& slot = RecordSlot(ARecordIndex);
  if (!slot) slot = AllocBuffer(ValueDefsByRecordIndex(ARecordIndex)->FRecordSize);
  return slot;
}

void TcxDataStorage::FreeRecordBuffer(Byte*& ABuffer, const TcxValueDefs* ADefs) {
  if (!ABuffer) return;
  for (TcxValueDef* def : ADefs->FItems) def->FreeBuffer(ABuffer);
  std::free(ABuffer);
  ABuffer = nullptr;
}

const TcxValueDef* TcxDataStorage::CheckValueDef(Integer ARecordIndex, const TcxValueDef* AValueDef) const {
  const TcxValueDefs* defs = ValueDefsByRecordIndex(ARecordIndex);
  if (!AValueDef || AValueDef->FValueDefs == defs) return AValueDef;
  if (defs == FInternalValueDefs) return FInternalValueDefs->FindByLinkObject(AValueDef);
  if (auto* internal = dynamic_cast<const TcxInternalValueDef*>(AValueDef)) return internal->GetValueDef();
  return nullptr;
}

void TcxDataStorage::AssignRecordID(Integer ARecordIndex) {
  if (GetRecordID(ARecordIndex) == 0) SetRecordID(ARecordIndex, FRecordIDCounter++);
}

Integer TcxDataStorage::AppendRecord() {
  Settle();
  FRecords.push_back(nullptr);
  const Integer index = GetRecordCount() - 1;
  InsertColumnsRecord(index);
  if (FUseRecordID) AssignRecordID(index);
  return index;
}

void TcxDataStorage::InsertRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount()) IndexError(ARecordIndex);
  Settle();
  FRecords.insert(FRecords.begin() + ARecordIndex, nullptr);
  InsertColumnsRecord(ARecordIndex);
  if (FUseRecordID) AssignRecordID(ARecordIndex);
}

void TcxDataStorage::DeleteRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0) {
    DeleteInternalRecord(ARecordIndex);
    return;
  }
  FreeRecordBuffer(RecordSlot(ARecordIndex), FValueDefs);
  if (FDeletingCount > 0 && (FDeleted.empty() || ARecordIndex < FDeleted.back())) {
    FDeleted.push_back(ARecordIndex);
    return;
  }
  FRecords.erase(FRecords.begin() + ARecordIndex);
  DeleteColumnsRecord(ARecordIndex);
  if (FRecords.empty()) FRecordIDCounter = 1;
}

void TcxDataStorage::EndDeleting() {
  if (FDeletingCount > 0 && --FDeletingCount == 0) Settle();
}

void TcxDataStorage::SetRecordCount(Integer Value) {
  if (Value < 0) Value = 0;
  while (GetRecordCount() < Value) AppendRecord();
  while (GetRecordCount() > Value) DeleteRecord(GetRecordCount() - 1);
}

Integer TcxDataStorage::AddInternalRecord() {
  size_t k = 0;
  while (k < FInternalRecords.size() && FInternalRecords[k] && (FInternalRecords[k][0] & cxRecordInUse)) ++k;
  if (k == FInternalRecords.size()) FInternalRecords.push_back(nullptr);
  const Integer index = -static_cast<Integer>(k) - 1;
  CheckRecordBuffer(index)[0] |= cxRecordInUse;
  return index;
}

void TcxDataStorage::DeleteInternalRecord(Integer ARecordIndex) {
  if (ARecordIndex >= 0) IndexError(ARecordIndex);
  FreeRecordBuffer(RecordSlot(ARecordIndex), FInternalValueDefs);
}

void TcxDataStorage::Clear(bool AKeepInternal) {
  if (!AKeepInternal) ClearInternalRecords();
  ClearRecords(true);
}

void TcxDataStorage::ClearRecords(bool AClearList) {
  DropColumns();  // settles the run's deletes too
  for (Byte*& buffer : FRecords) FreeRecordBuffer(buffer, FValueDefs);
  if (AClearList) FRecords.clear();
  if (FRecords.empty()) FRecordIDCounter = 1;
  if (FUseRecordID)
    for (Integer i = 0; i < GetRecordCount(); ++i) AssignRecordID(i);
}

void TcxDataStorage::ClearInternalRecords() {
  for (Byte*& buffer : FInternalRecords) FreeRecordBuffer(buffer, FInternalValueDefs);
  FInternalRecords.clear();
  if (OnClearInternalRecords && !FDestroying) OnClearInternalRecords(this);
}

// ---------------------------------------------------------------------------
// Values

Variant TcxDataStorage::GetValue(Integer ARecordIndex, TcxValueDef* AValueDef) const {
  const Byte* buffer = RecordBuffer(ARecordIndex);
  const TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  if (!buffer || !def) return Null();
  return def->GetDataValue(buffer);
}

void TcxDataStorage::SetValue(Integer ARecordIndex, TcxValueDef* AValueDef, const Variant& AValue) {
  const TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  Byte*& slot = RecordSlot(ARecordIndex);
  if (!def || def->FBufferSize == 0) return;
  const bool fresh = !slot;
  if (fresh && VarIsNull(AValue)) return;  // a record without a buffer is null already
  Byte* buffer = CheckRecordBuffer(ARecordIndex);
  try {
    def->SetDataValue(buffer, AValue);
  } catch (...) {
    if (fresh) FreeRecordBuffer(slot, ValueDefsByRecordIndex(ARecordIndex));
    // A failed conversion may have freed the cell.
    RefreshColumns(ARecordIndex, def);
    throw;
  }
  RefreshColumns(ARecordIndex, def);
}

AnsiString TcxDataStorage::GetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef) const {
  const Byte* buffer = RecordBuffer(ARecordIndex);
  const TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  return buffer && def ? def->GetDisplayText(buffer) : AnsiString();
}

void TcxDataStorage::SetDisplayText(Integer ARecordIndex, TcxValueDef* AValueDef, const AnsiString& AText) {
  const TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  RecordSlot(ARecordIndex);
  if (def && def->GetTextStored()) def->SetDisplayText(CheckRecordBuffer(ARecordIndex), AText);
}

bool TcxDataStorage::GetCompareInfo(Integer ARecordIndex, TcxValueDef* AValueDef, const void*& P) const {
  P = nullptr;
  const Byte* buffer = RecordBuffer(ARecordIndex);
  const TcxValueDef* def = CheckValueDef(ARecordIndex, AValueDef);
  if (!def || def->FBufferSize == 0 || TcxValueDef::IsNullValueEx(buffer, def->FOffset)) return true;
  P = def->FValueTypeClass->PrepareValueBuffer(buffer + def->FOffset + 1);
  return false;
}

Integer TcxDataStorage::CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, TcxValueDef* AValueDef) const {
  const void *p1, *p2;
  const bool n1 = GetCompareInfo(ARecordIndex1, AValueDef, p1);
  const bool n2 = GetCompareInfo(ARecordIndex2, AValueDef, p2);
  return AValueDef->CompareValues(n1, n2, p1, p2);
}

Integer TcxDataStorage::GetRecordID(Integer ARecordIndex) const {
  const Byte* buffer = RecordBuffer(ARecordIndex);
  if (!FUseRecordID || ARecordIndex < 0 || !buffer) return 0;
  return LoadInt(buffer + cxRecordIDOffset);
}

void TcxDataStorage::SetRecordID(Integer ARecordIndex, Integer AID) {
  RecordSlot(ARecordIndex);
  if (!FUseRecordID || ARecordIndex < 0) return;
  std::memcpy(CheckRecordBuffer(ARecordIndex) + cxRecordIDOffset, &AID, sizeof AID);
}

// ---------------------------------------------------------------------------
// Streaming

void TcxDataStorage::WriteData(Integer ARecordIndex, TStream* AStream) {
  const Byte* buffer = RecordBuffer(ARecordIndex);
  WriteBooleanProc(AStream, buffer == nullptr);
  if (!buffer) return;
  if (FUseRecordID && ARecordIndex >= 0) WriteIntegerProc(AStream, LoadInt(buffer + cxRecordIDOffset));
  const TcxValueDefs* defs = ValueDefsByRecordIndex(ARecordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    const TcxValueDef* def = defs->GetItem(i);
    if (!def->FStreamed) continue;
    const bool isNull = def->FBufferSize == 0 || buffer[def->FOffset] == 0;
    WriteBooleanProc(AStream, isNull);
    if (!isNull) def->WriteDataValue(buffer, AStream);
    if (def->GetTextStored()) def->WriteDisplayText(buffer, AStream);
  }
}

void TcxDataStorage::ReadValues(Byte* ABuffer, const TcxValueDefs* ADefs, TStream* AStream) {
  for (Integer i = 0; i < ADefs->GetCount(); ++i) {
    const TcxValueDef* def = ADefs->GetItem(i);
    if (!def->FStreamed) continue;
    const bool isNull = ReadBooleanFunc(AStream);
    if (!isNull) {
      if (def->FBufferSize > 0) {
        def->ReadDataValue(ABuffer, AStream);
      } else {
        // A column without a slot: read past its value.
        std::vector<Byte> scratch(static_cast<size_t>(def->FDataSize) + 1, 0);
        def->FValueTypeClass->ReadDataValue(scratch.data(), AStream);
        def->FValueTypeClass->FreeBuffer(scratch.data());
      }
    }
    if (def->GetTextStored()) def->ReadDisplayText(ABuffer, AStream);
  }
}

void TcxDataStorage::ReadData(Integer ARecordIndex, TStream* AStream) {
  Byte*& slot = RecordSlot(ARecordIndex);
  const TcxValueDefs* defs = ValueDefsByRecordIndex(ARecordIndex);
  if (ReadBooleanFunc(AStream)) {
    FreeRecordBuffer(slot, defs);
    RefreshColumns(ARecordIndex);
    return;
  }
  // Read into a buffer of its own and swap it in only when the whole record
  // arrived, so a bad stream leaves the record as it was.
  Byte* fresh = AllocBuffer(defs->FRecordSize);
  Integer id = 0;
  const bool withID = FUseRecordID && ARecordIndex >= 0;
  try {
    if (withID) {
      id = ReadIntegerFunc(AStream);
      std::memcpy(fresh + cxRecordIDOffset, &id, sizeof id);
    }
    ReadValues(fresh, defs, AStream);
  } catch (const EReadError&) {
    FreeRecordBuffer(fresh, defs);
    throw;
  } catch (const Exception&) {
    // A value the stream cannot have written (text where a decimal belongs).
    FreeRecordBuffer(fresh, defs);
    cxDataReadError();
  } catch (...) {
    FreeRecordBuffer(fresh, defs);
    throw;
  }
  if (slot) {
    fresh[0] = slot[0];
    FreeRecordBuffer(slot, defs);
  }
  slot = fresh;
  RefreshColumns(ARecordIndex);
  if (withID && FRecordIDCounter <= id) FRecordIDCounter = id < INT32_MAX ? id + 1 : INT32_MAX;
}

// ---------------------------------------------------------------------------
// Columns

namespace {

const void* LoadPointer(const Byte* P) {
  const void* v;
  std::memcpy(&v, P, sizeof v);
  return v;
}

void DropColumnTexts(TcxDataColumn& AColumn) {
  if (AColumn.TextStarts.empty()) return;
  AColumn.Texts = TcxTextBlock();
  AColumn.TextStarts = std::vector<size_t>();
  AColumn.TextRecords = std::vector<Integer>();
  AColumn.TextSpans = std::vector<Integer>();
  AColumn.DeadTextBytes = 0;
}

// The record's text as its cell now holds it, put at the end of the
// column's text block; its old span is left dead. Rewriting the block
// would cost a pass over all texts per edit.
void ReplaceColumnText(TcxDataColumn& AColumn, size_t ARecord) {
  if (AColumn.TextRecords.empty()) {
    // The first text set: span i was record i's.
    AColumn.TextRecords.resize(AColumn.TextStarts.size() - 1);
    std::iota(AColumn.TextRecords.begin(), AColumn.TextRecords.end(), 0);
    AColumn.TextSpans = AColumn.TextRecords;
  }
  const size_t old = static_cast<size_t>(AColumn.TextSpans[ARecord]);
  AColumn.TextRecords[old] = -1;
  AColumn.DeadTextBytes += AColumn.TextStarts[old + 1] - AColumn.TextStarts[old];
  AColumn.TextSpans[ARecord] = static_cast<Integer>(AColumn.TextRecords.size());
  AColumn.TextRecords.push_back(static_cast<Integer>(ARecord));
  if (const auto* text = static_cast<const AnsiString*>(LoadPointer(AColumn.Cells.data() + ARecord * sizeof(void*))))
    AColumn.Texts.Append(*text);
  AColumn.Texts.Append(std::string_view("", 1));
  AColumn.TextStarts.push_back(AColumn.Texts.size());
  // The search reads the dead texts too: past half the block it is made
  // again on its next use.
  if (AColumn.DeadTextBytes * 2 > AColumn.Texts.size()) DropColumnTexts(AColumn);
}

// A record's cell of the column's field into its place in the column.
void ReadColumnCell(TcxDataColumn& AColumn, const Byte* ABuffer, size_t ARecord) {
  Byte* cell = AColumn.Cells.data() + ARecord * static_cast<size_t>(AColumn.Size);
  const bool notNull = ABuffer && ABuffer[AColumn.Offset] != 0;
  AColumn.NotNull[ARecord] = notNull ? 1 : 0;
  if (notNull)
    std::memcpy(cell, ABuffer + AColumn.Offset + 1, static_cast<size_t>(AColumn.Size));
  else
    std::memset(cell, 0, static_cast<size_t>(AColumn.Size));
}

// The whole column in one pass over the record list, for cells of a fixed
// width: the records' blocks lie apart on the heap, so each is fetched well
// ahead of its read, and a cell is one load and one store (the column comes
// zeroed, a null record's cell stays so).
template <size_t Size>
void ReadColumnCells(TcxDataColumn& AColumn, Byte* const* ABuffers, size_t ACount) {
  constexpr size_t kAhead = 16;
  const size_t offset = static_cast<size_t>(AColumn.Offset);
  Byte* notNull = AColumn.NotNull.data();
  Byte* cells = AColumn.Cells.data();
  for (size_t r = 0; r < ACount; ++r) {
    if (r + kAhead < ACount)
      if (const Byte* ahead = ABuffers[r + kAhead]) __builtin_prefetch(ahead + offset);
    const Byte* buffer = ABuffers[r];
    if (!buffer || buffer[offset] == 0) continue;
    notNull[r] = 1;
    std::memcpy(cells + r * Size, buffer + offset + 1, Size);
  }
}

// The block of an 8-bit text column in one pass that copies each text
// once, with its cells too where they are read from the record blocks
// (FromBlocks; the column comes zeroed) rather than from the column. What
// lies scattered is fetched ahead in the order it is reached: a record's
// block, then the holder its cell points at, then the bytes of a text too
// long to sit in its holder. The block grows in place (from a first guess
// of a byte and a half per record).
template <bool FromBlocks>
void ReadColumnTexts(TcxDataColumn& AColumn, Byte* const* ABuffers) {
  const size_t count = AColumn.NotNull.size();
  const size_t offset = static_cast<size_t>(AColumn.Offset);
  Byte* notNull = AColumn.NotNull.data();
  Byte* cells = AColumn.Cells.data();
  auto holder = [&](size_t r) {
    const Byte* cell = cells + r * sizeof(void*);
    if constexpr (FromBlocks) {
      const Byte* buffer = ABuffers[r];
      cell = buffer && buffer[offset] != 0 ? buffer + offset + 1 : nullptr;
      if (!cell) return static_cast<const AnsiString*>(nullptr);
    }
    return static_cast<const AnsiString*>(LoadPointer(cell));
  };
  TcxTextBlock texts;
  texts.Extend(count + count / 2 + 1);
  std::vector<size_t> starts;
  starts.reserve(count + 1);
  constexpr size_t kFar = 48, kMiddle = 32, kNear = 16;
  for (size_t r = 0; r < count; ++r) {
    if constexpr (FromBlocks)
      if (r + kFar < count)
        if (const Byte* ahead = ABuffers[r + kFar]) __builtin_prefetch(ahead + offset);
    if (r + kMiddle < count)
      if (const AnsiString* ahead = holder(r + kMiddle)) __builtin_prefetch(ahead);
    if (r + kNear < count)
      if (const AnsiString* ahead = holder(r + kNear)) __builtin_prefetch(ahead->data());
    if constexpr (FromBlocks) {
      const Byte* buffer = ABuffers[r];
      if (buffer && buffer[offset] != 0) {
        notNull[r] = 1;
        std::memcpy(cells + r * sizeof(void*), buffer + offset + 1, sizeof(void*));
      }
    }
    starts.push_back(texts.size());
    const AnsiString* text = holder(r);
    const size_t size = text ? text->size() : 0;
    char* out = texts.Extend(size + 1);
    if (size) std::memcpy(out, text->data(), size);
    out[size] = '\0';
    texts.Commit(size + 1);
  }
  starts.push_back(texts.size());
  AColumn.Texts = std::move(texts);
  AColumn.TextStarts = std::move(starts);
  AColumn.TextRecords.clear();
  AColumn.TextSpans.clear();
  AColumn.DeadTextBytes = 0;
}

}  // namespace

const TcxDataColumn* TcxDataStorage::FindColumn(const TcxValueDef* AValueDef) const {
  Settle();
  for (const TcxDataColumn& column : FColumns)
    if (column.Def == AValueDef && column.Type == AValueDef->FValueTypeClass && column.Offset == AValueDef->FOffset &&
        column.Size == AValueDef->FDataSize && column.NotNull.size() == FRecords.size())
      return &column;
  return nullptr;
}

const TcxDataColumn* TcxDataStorage::GetColumn(const TcxValueDef* AValueDef) { return ColumnOf(AValueDef, false); }

TcxDataColumn* TcxDataStorage::ColumnOf(const TcxValueDef* AValueDef, bool ATexts) {
  if (!AValueDef || AValueDef->FValueDefs != FValueDefs || AValueDef->FBufferSize == 0 || AValueDef->FDataSize <= 0)
    return nullptr;
  Settle();
  const size_t count = FRecords.size();
  for (TcxDataColumn& column : FColumns)
    if (column.Def == AValueDef) {
      // A column read with another layout is read again (the layout
      // changes drop the columns; this is the guard behind them).
      if (column.Type == AValueDef->FValueTypeClass && column.Offset == AValueDef->FOffset &&
          column.Size == AValueDef->FDataSize && column.NotNull.size() == count)
        return &column;
      column.Def = nullptr;
    }
  std::erase_if(FColumns, [](const TcxDataColumn& c) { return c.Def == nullptr; });
  TcxDataColumn& column = FColumns.emplace_back();
  column.Def = AValueDef;
  column.Type = AValueDef->FValueTypeClass;
  column.Offset = AValueDef->FOffset;
  column.Size = AValueDef->FDataSize;
  column.NotNull.resize(count);
  column.Cells.resize(count * static_cast<size_t>(column.Size));
  if (ATexts) {
    // The block takes memory as it grows: a column whose reading stopped
    // halfway does not stay.
    try {
      ReadColumnTexts<true>(column, FRecords.data());
    } catch (...) {
      FColumns.pop_back();
      throw;
    }
    return &column;
  }
  switch (column.Size) {
    case 1: ReadColumnCells<1>(column, FRecords.data(), count); break;
    case 2: ReadColumnCells<2>(column, FRecords.data(), count); break;
    case 4: ReadColumnCells<4>(column, FRecords.data(), count); break;
    case 8: ReadColumnCells<8>(column, FRecords.data(), count); break;
    default:
      for (size_t r = 0; r < count; ++r) ReadColumnCell(column, FRecords[r], r);
  }
  return &column;
}

const TcxDataColumn* TcxDataStorage::GetTextColumn(const TcxValueDef* AValueDef) {
  if (!AValueDef || AValueDef->FValueTypeClass != TcxStringValueType::Class()) return nullptr;
  // The cells hold the texts' holders. A column made here reads its cells
  // and its texts in one pass.
  TcxDataColumn* column = ColumnOf(AValueDef, true);
  if (column && column->TextStarts.empty()) ReadColumnTexts<false>(*column, nullptr);
  return column;
}

void TcxDataStorage::RefreshColumns(Integer ARecordIndex, const TcxValueDef* AOnly) {
  if (ARecordIndex < 0 || FColumns.empty()) return;
  if (!FDeleted.empty() && ARecordIndex >= FDeleted.back()) SettleDeletes();
  const size_t r = static_cast<size_t>(ARecordIndex);
  for (TcxDataColumn& column : FColumns)
    if ((!AOnly || column.Def == AOnly) && r < column.NotNull.size()) {
      ReadColumnCell(column, FRecords[r], r);
      if (!column.TextStarts.empty()) ReplaceColumnText(column, r);
    }
}

void TcxDataStorage::InsertColumnsRecord(Integer ARecordIndex) {
  const size_t r = static_cast<size_t>(ARecordIndex);
  for (TcxDataColumn& column : FColumns) {
    if (r > column.NotNull.size()) {
      column.Def = nullptr;
      continue;
    }
    DropColumnTexts(column);
    const size_t size = static_cast<size_t>(column.Size);
    column.NotNull.insert(column.NotNull.begin() + static_cast<std::ptrdiff_t>(r), 0);
    column.Cells.insert(column.Cells.begin() + static_cast<std::ptrdiff_t>(r * size), size, 0);
  }
  std::erase_if(FColumns, [](const TcxDataColumn& c) { return c.Def == nullptr; });
}

void TcxDataStorage::DeleteColumnsRecord(Integer ARecordIndex) {
  const size_t r = static_cast<size_t>(ARecordIndex);
  for (TcxDataColumn& column : FColumns) {
    if (r >= column.NotNull.size()) {
      column.Def = nullptr;
      continue;
    }
    DropColumnTexts(column);
    const size_t size = static_cast<size_t>(column.Size);
    column.NotNull.erase(column.NotNull.begin() + static_cast<std::ptrdiff_t>(r));
    const auto at = column.Cells.begin() + static_cast<std::ptrdiff_t>(r * size);
    column.Cells.erase(at, at + static_cast<std::ptrdiff_t>(size));
  }
  std::erase_if(FColumns, [](const TcxDataColumn& c) { return c.Def == nullptr; });
}

void TcxDataStorage::SettleDeletes() {
  std::vector<Integer> deleted;
  deleted.swap(FDeleted);
  std::reverse(deleted.begin(), deleted.end());
  // Everything from the lowest deleted place on moves down once, past the
  // places deleted below it.
  auto compact = [&deleted](auto& AItems, size_t AWidth) {
    const size_t from = static_cast<size_t>(deleted.front());
    size_t out = from * AWidth, next = 0;
    for (size_t r = from; r * AWidth < AItems.size(); ++r) {
      if (next < deleted.size() && r == static_cast<size_t>(deleted[next])) {
        ++next;
        continue;
      }
      std::copy_n(AItems.begin() + static_cast<std::ptrdiff_t>(r * AWidth), AWidth,
                  AItems.begin() + static_cast<std::ptrdiff_t>(out));
      out += AWidth;
    }
    AItems.resize(out);
  };
  compact(FRecords, 1);
  for (TcxDataColumn& column : FColumns) {
    if (static_cast<size_t>(deleted.back()) >= column.NotNull.size()) {
      column.Def = nullptr;
      continue;
    }
    DropColumnTexts(column);
    compact(column.NotNull, 1);
    compact(column.Cells, static_cast<size_t>(column.Size));
  }
  std::erase_if(FColumns, [](const TcxDataColumn& c) { return c.Def == nullptr; });
  if (FRecords.empty()) FRecordIDCounter = 1;
}

void TcxDataStorage::ReadRecord(Integer ARecordIndex, TcxValueDefReader* AReader) {
  CheckRecordBuffer(ARecordIndex);
  const TcxValueDefs* defs = ValueDefsByRecordIndex(ARecordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->FItems[static_cast<size_t>(i)];
    if (AReader->IsInternal(def)) continue;
    SetValue(ARecordIndex, def, AReader->GetValue(def));
    if (def->GetTextStored()) SetDisplayText(ARecordIndex, def, AReader->GetDisplayText(def));
  }
}

void TcxDataStorage::ReadRecordFrom(Integer AFromRecordIndex, Integer AToRecordIndex, TcxValueDefReader* AReader,
                                    const TcxValueDefSetProc& ASetProc) {
  const TcxValueDefs* defs = ValueDefsByRecordIndex(AFromRecordIndex);
  for (TcxValueDef* def : std::vector<TcxValueDef*>(defs->FItems)) ASetProc(def, AFromRecordIndex, AToRecordIndex, AReader);
}

void TcxDataStorage::BeginStreaming(TcxValueDefCompare ACompareFunc) {
  FStreamingDefs = FValueDefs->FItems;
  if (ACompareFunc)
    std::stable_sort(FStreamingDefs.begin(), FStreamingDefs.end(),
                     [&](TcxValueDef* a, TcxValueDef* b) { return ACompareFunc(a, b) < 0; });
  FStreaming = true;
}

void TcxDataStorage::EndStreaming() {
  FStreaming = false;
  FStreamingDefs.clear();
}

// ---------------------------------------------------------------------------
// TcxTextBlock

void TcxTextBlock::Grow(size_t ACount) {
  const size_t capacity = std::max({FSize + ACount, FCapacity * 2, size_t{64}});
  auto* data = static_cast<char*>(std::realloc(FData, capacity));
  if (!data) throw std::bad_alloc();
  FData = data;
  FCapacity = capacity;
}

// ---------------------------------------------------------------------------
// TcxLookupList

bool TcxLookupList::Find(const Variant& AKeyValue, Integer& AIndex) const {
  const auto hit = orv::BinarySearch(Integer(0), GetCount(), [&](Integer I) {
    return VarCompare(FItems[static_cast<size_t>(I)].KeyValue, AKeyValue);
  });
  AIndex = hit.Index;
  return hit.Found;
}

void TcxLookupList::Insert(Integer AIndex, const Variant& AKeyValue, const AnsiString& ADisplayText) {
  if (AIndex < 0 || AIndex > GetCount()) IndexError(AIndex);
  FItems.insert(FItems.begin() + AIndex, TcxLookupListItem{AKeyValue, ADisplayText});
}

const TcxLookupListItem& TcxLookupList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)];
}
