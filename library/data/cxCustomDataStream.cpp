// The "DataController1" stream of a controller's records:
//   String "DataController1" | Integer N | N value-type class names |
//   Integer R | R record blocks (the storage's per-record form).
// The columns are the non-internal definitions in field order; the header
// and the record blocks use that one rule, so the stream describes every
// column it carries. Loading checks the header and then every record block
// against a scratch record before the first record of the target changes.
#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSearch.h"
#include "platform/rtl/ScopeExit.h"

namespace {

const char* const cxDataControllerSignature = "DataController1";

Integer CompareByFieldIndex(TcxValueDef* A, TcxValueDef* B) {
  auto index = [](TcxValueDef* D) -> Integer {
    auto* field = dynamic_cast<TcxCustomDataField*>(D->GetLinkObject());
    return field ? field->GetIndex() : INT32_MAX;
  };
  const Integer a = index(A), b = index(B);
  return a < b ? -1 : a > b ? 1 : 0;
}

// Streams the non-internal definitions in field order for its lifetime and
// puts every definition's streamed flag back afterwards.
class StreamingScope {
 public:
  explicit StreamingScope(TcxDataStorage* AStorage) : FStorage(AStorage) {
    TcxValueDefs* defs = AStorage->GetValueDefs();
    for (Integer i = 0; i < defs->GetCount(); ++i) {
      TcxValueDef* def = defs->GetItem(i);
      FSaved.push_back({def, def->GetStreamed()});
      def->SetStreamed(!cxIsValueDefInternal(def));
    }
    AStorage->BeginStreaming(&CompareByFieldIndex);
    for (Integer i = 0; i < defs->GetCount(); ++i)
      if (defs->GetItem(i)->GetStreamed()) FColumns.push_back(defs->GetItem(i));
  }
  ~StreamingScope() {
    FStorage->EndStreaming();
    for (auto& [def, streamed] : FSaved) def->SetStreamed(streamed);
  }
  StreamingScope(const StreamingScope&) = delete;
  StreamingScope& operator=(const StreamingScope&) = delete;

  // The streamed definitions in stream order.
  const std::vector<TcxValueDef*>& Columns() const { return FColumns; }

 private:
  TcxDataStorage* FStorage;
  std::vector<std::pair<TcxValueDef*, bool>> FSaved;
  std::vector<TcxValueDef*> FColumns;
};

[[noreturn]] void InvalidStreamFormat() { cxDataInvalidOperation(cxSDataInvalidStreamFormat); }

// Reads every record block into one scratch record laid out like the
// target's streamed columns, so a bad block is found before anything
// changes. Leaves the stream after the last block.
void CheckRecordBlocks(TcxDataStorage* ATarget, const std::vector<TcxValueDef*>& AColumns, Integer ACount,
                       TStream* AStream) {
  TcxDataStorage* scratch = New<TcxDataStorage>();
  try {
    scratch->SetUseRecordID(ATarget->GetUseRecordID());
    for (TcxValueDef* def : AColumns)
      scratch->GetValueDefs()->Add(def->GetValueTypeClass(), true, def->GetTextStored(), nullptr);
    scratch->SetRecordCount(1);
    for (Integer i = 0; i < ACount; ++i) scratch->ReadData(0, AStream);
  } catch (...) {
    scratch->Free();
    throw;
  }
  scratch->Free();
}

}  // namespace

void TcxCustomDataController::SaveToStream(TStream* AStream) {
  // The records of a data source are not ours to write: a stream that
  // holds none of their values would pass for a saved table.
  if (IsProviderMode()) cxDataInvalidOperation(cxSDataProviderModeError);
  WriteStringProc(AStream, cxDataControllerSignature);
  StreamingScope scope(FDataStorage);
  WriteIntegerProc(AStream, static_cast<Integer>(scope.Columns().size()));
  for (TcxValueDef* def : scope.Columns()) WriteStringProc(AStream, def->GetValueTypeClass()->ClassName());
  const Integer count = GetRecordCount();
  WriteIntegerProc(AStream, count);
  for (Integer i = 0; i < count; ++i) FDataStorage->WriteData(i, AStream);
}

void TcxCustomDataController::LoadFromStream(TStream* AStream) {
  if (IsProviderMode()) cxDataInvalidOperation(cxSDataProviderModeError);
  if (ReadStringFunc(AStream) != cxDataControllerSignature) InvalidStreamFormat();
  const Integer columns = ReadIntegerFunc(AStream);
  StreamingScope scope(FDataStorage);
  if (columns != static_cast<Integer>(scope.Columns().size())) InvalidStreamFormat();
  for (TcxValueDef* def : scope.Columns())
    if (ReadStringFunc(AStream) != def->GetValueTypeClass()->ClassName()) InvalidStreamFormat();
  const Integer count = ReadIntegerFunc(AStream);
  // Every record block takes at least its one "no buffer" byte.
  cxCheckStreamCount(AStream, count, 1);
  const Int64 start = AStream->GetPosition();
  CheckRecordBlocks(FDataStorage, scope.Columns(), count, AStream);
  AStream->SetPosition(start);

  auto update = orv::UpdateScope(this);
  ClearSelection();
  SetRecordCount(count);
  for (Integer i = 0; i < count; ++i) FDataStorage->ReadData(i, AStream);
  Refresh();
}
