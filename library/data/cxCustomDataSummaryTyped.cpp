// Typed accumulation of summaries over Integer and Float fields: the values
// are read from the storage and added, compared and counted in the order
// and with the result types of the variant arithmetic (Integer while it
// fits, then Int64, then Double; a null counted before any value starts a
// sum at Integer 0), so footers and groups come out exactly as before.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSummary.h"

namespace {

bool gTypedEnabled = true;

// A running value: nothing yet, an Integer, an Int64 or a Double.
struct Running {
  enum Tag { Empty, Int32, Int64, Double } Kind = Empty;
  ::Int64 I = 0;
  double D = 0;

  bool Load(const Variant& AValue) {
    switch (VarType(AValue)) {
      case varEmpty: Kind = Empty; return true;
      case varInteger: Kind = Int32; I = AValue.RawInt(); return true;
      case varInt64: Kind = Int64; I = AValue.RawInt(); return true;
      case varDouble: Kind = Double; D = AValue.RawDouble(); return true;
      default: return false;
    }
  }
  Variant Store() const {
    switch (Kind) {
      case Int32: return Variant(static_cast<Integer>(I));
      case Int64: return Variant(I);
      case Double: return Variant(D);
      default: return Variant();
    }
  }
  // Adds an integer; false where the variant sum would fail.
  bool AddInt(::Int64 V) {
    if (Kind == Double) return AddDouble(static_cast<double>(V));
    const __int128 r = static_cast<__int128>(I) + V;
    if (Kind == Int32 && r >= INT32_MIN && r <= INT32_MAX) {
      I = static_cast<::Int64>(r);
    } else if (r >= INT64_MIN && r <= INT64_MAX) {
      Kind = Int64;
      I = static_cast<::Int64>(r);
    } else {
      Kind = Double;
      D = static_cast<double>(r);
    }
    return true;
  }
  bool AddDouble(double V) {
    const double x = Kind == Double ? D : static_cast<double>(I);
    const double r = x + V;
    if (std::isinf(r) && std::isfinite(x) && std::isfinite(V)) return false;
    Kind = Double;
    D = r;
    return true;
  }
};

}  // namespace

bool TcxDataSummary::GatherTypedCells(TcxValueDef* ADef, Integer ABeginIndex, Integer AEndIndex) {
  if (FTypedDef == ADef) return true;
  FTypedDef = nullptr;
  const size_t n = AEndIndex >= ABeginIndex ? static_cast<size_t>(AEndIndex - ABeginIndex) + 1 : 0;
  FTypedStates.resize(n);
  FTypedCells.resize(n);
  const TcxDataStorage* storage = FDataController->GetDataStorage();
  // The ordinary records' cells are read straight from their buffers; any
  // other record goes through the storage.
  const bool direct = ADef->GetValueDefs() == storage->GetValueDefs() && ADef->GetBufferSize() != 0;
  Byte* const* buffers = storage->GetRecordBuffers();
  const size_t recordCount = direct ? static_cast<size_t>(storage->GetRecordCount()) : 0;
  const size_t offset = static_cast<size_t>(ADef->GetOffset());
  const size_t size = std::min<size_t>(static_cast<size_t>(ADef->GetDataSize()), sizeof(UInt64));
  for (size_t k = 0; k < n; ++k) {
    const Integer record = GetRecordIndex(ABeginIndex + static_cast<Integer>(k));
    FTypedCells[k] = 0;
    if (record == -1) {
      FTypedStates[k] = 0;
      continue;
    }
    const void* p;
    bool null;
    if (static_cast<size_t>(record) < recordCount) {
      const Byte* b = buffers[static_cast<size_t>(record)];
      null = !b || b[offset] == 0;
      p = null ? nullptr : b + offset + 1;
    } else {
      null = storage->GetCompareInfo(record, ADef, p);
    }
    if (null) {
      FTypedStates[k] = 1;
      continue;
    }
    if (!p) return false;
    FTypedStates[k] = 2;
    std::memcpy(&FTypedCells[k], p, size);
  }
  FTypedDef = ADef;
  return true;
}

void TcxDataSummary::SetTypedCalculationEnabled(bool AValue) { gTypedEnabled = AValue; }
bool TcxDataSummary::GetTypedCalculationEnabled() { return gTypedEnabled; }

bool TcxDataSummary::CalculateTypedItem(TcxDataSummaryItem* AItem, Integer ABeginIndex, Integer AEndIndex,
                                        Variant& AValue, Integer& ACount) {
  TcxCustomDataController* c = FDataController;
  if (!gTypedEnabled || c->IsProviderMode() || c->IsGridMode() || !AItem->IsDataBinded()) return false;
  TcxCustomDataField* field = AItem->GetField();
  TcxValueDef* def = field ? field->GetValueDef() : nullptr;
  if (!def) return false;
  const TcxValueTypeClass type = def->GetValueTypeClass();
  const bool isInt = type == TcxIntegerValueType::Class();
  if (!isInt && type != TcxFloatValueType::Class()) return false;
  const TcxSummaryKind kind = AItem->GetKind();
  if (kind != skSum && kind != skAverage && kind != skMin && kind != skMax && kind != skCount) return false;
  Running run;
  if (!run.Load(AValue)) return false;
  // Min and Max keep a value of the field's own type once they have one.
  if ((kind == skMin || kind == skMax) && run.Kind != Running::Empty &&
      run.Kind != (isInt ? Running::Int32 : Running::Double))
    return false;
  const bool nullIgnore = FOptions.Contains(soNullIgnore);
  if (!GatherTypedCells(def, ABeginIndex, AEndIndex)) return false;
  const Byte* states = FTypedStates.data();
  const UInt64* cells = FTypedCells.data();
  Integer count = ACount;
  const size_t positions = FTypedStates.size();
  for (size_t k = 0; k < positions; ++k) {
    if (states[k] == 0) continue;
    if (states[k] == 1) {
      if (nullIgnore) continue;
      if (run.Kind == Running::Empty && (kind == skSum || kind == skAverage)) {
        run.Kind = Running::Int32;
        run.I = 0;
      }
      ++count;
      continue;
    }
    const void* p = &cells[k];
    if (kind != skCount) {
      if (isInt) {
        Integer v;
        std::memcpy(&v, p, sizeof v);
        if (run.Kind == Running::Empty) {
          run.Kind = Running::Int32;
          run.I = v;
        } else if (kind == skMin) {
          if (v < run.I) run.I = v;
        } else if (kind == skMax) {
          if (v > run.I) run.I = v;
        } else {
          run.AddInt(v);
        }
      } else {
        double v;
        std::memcpy(&v, p, sizeof v);
        if (run.Kind == Running::Empty) {
          run.Kind = Running::Double;
          run.D = v;
        } else if (kind == skMin) {
          if (v < run.D) run.D = v;
        } else if (kind == skMax) {
          if (v > run.D) run.D = v;
        } else if (!run.AddDouble(v)) {
          return false;
        }
      }
    }
    ++count;
  }
  AValue = run.Store();
  ACount = count;
  return true;
}
