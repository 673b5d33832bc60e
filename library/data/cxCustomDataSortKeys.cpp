#include "library/data/cxCustomDataSortKeys.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSort.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"

namespace {

bool gKeysEnabled = true;

template <class T>
T LoadCell(const void* P) {
  T v;
  std::memcpy(&v, P, sizeof v);
  return v;
}

std::uint64_t SignedKey(Int64 V) { return static_cast<std::uint64_t>(V) ^ (std::uint64_t{1} << 63); }

// Doubles in the order of operator<: negative values have their bits
// reversed, positive ones the sign bit set; -0 is 0.
std::uint64_t DoubleKey(double V) {
  if (V == 0) V = 0;
  const auto bits = std::bit_cast<std::uint64_t>(V);
  return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::uint64_t TextPrefix(std::string_view S) {
  std::uint64_t p = 0;
  const size_t n = S.size() < 8 ? S.size() : 8;
  for (size_t i = 0; i < 8; ++i) p = (p << 8) | (i < n ? static_cast<Byte>(S[i]) : 0u);
  return p;
}

enum class NumberType { None, Int16, Int32, UInt16, Bool, Int64, Double };

NumberType NumberTypeOf(TcxValueTypeClass AType) {
  if (AType == TcxSmallintValueType::Class()) return NumberType::Int16;
  if (AType == TcxIntegerValueType::Class()) return NumberType::Int32;
  if (AType == TcxWordValueType::Class()) return NumberType::UInt16;
  if (AType == TcxBooleanValueType::Class()) return NumberType::Bool;
  if (AType == TcxLargeIntValueType::Class() || AType == TcxCurrencyValueType::Class() ||
      AType == TcxObjectValueType::Class())
    return NumberType::Int64;
  if (AType == TcxFloatValueType::Class() || AType == TcxDateTimeValueType::Class()) return NumberType::Double;
  return NumberType::None;
}

}  // namespace

void TcxRecordSortKeys::SetEnabled(bool AValue) { gKeysEnabled = AValue; }
bool TcxRecordSortKeys::IsEnabled() { return gKeysEnabled; }

void TcxRecordSortKeys::Clear() {
  FColumns.clear();
  FArenas.clear();
}

bool TcxRecordSortKeys::Build(TcxCustomDataController* AController, const TcxSortingFieldList* AFields,
                              const std::vector<Integer>& ARecords, Integer AFieldCount) {
  Clear();
  TcxCustomDataController* c = AController;
  const Integer fields = AFieldCount < 0 ? AFields->GetCount() : AFieldCount;
  if (!gKeysEnabled || fields > AFields->GetCount()) return false;
  if (c->IsGridMode() || c->IsProviderMode() || c->OnCompare.Assigned() || c->GetProvider()->IsEditing())
    return false;
  TcxDataStorage* storage = c->GetDataStorage();
  const Integer count = storage->GetRecordCount();
  for (Integer r : ARecords)
    if (r < 0 || r >= count) return false;
  const TcxDataControllerOptions options = c->GetOptions();
  const size_t size = static_cast<size_t>(count);
  FColumns.resize(static_cast<size_t>(fields));
  for (Integer i = 0; i < fields; ++i) {
    const TcxDataSortInfo& info = AFields->GetItem(i);
    Column& column = FColumns[static_cast<size_t>(i)];
    column.Descending = info.SortOrder == soDescending;
    TcxValueDef* def = info.Field->GetValueDef();
    if (!def) {
      // Nothing stored: every record compares equal on this field.
      column.Rank.assign(size, 0);
      continue;
    }
    const TcxValueTypeClass type = def->GetValueTypeClass();
    const Integer mode = info.Field->GetCompareMode();
    const bool text = type == TcxStringValueType::Class();
    // The converted path compares variants: only plain text converted for
    // the case-insensitive or collated order has a key of its own.
    const bool converted = mode == 1;
    if (mode == 2 || mode == 0) return Clear(), false;
    if (converted && (!text || c->IsItemNeedConversion(info.Field) ||
                      !(options.Contains(dcoAnsiSort) || options.Contains(dcoCaseInsensitive))))
      return Clear(), false;
    const NumberType number = NumberTypeOf(type);
    if (!text && number == NumberType::None) return Clear(), false;
    column.Rank.assign(size, 0);
    column.Prefix.assign(size, 0);
    if (text) {
      column.KeyKind = converted && options.Contains(dcoAnsiSort) ? Kind::Collated : Kind::Text;
      column.IgnoreCase = converted && options.Contains(dcoCaseInsensitive);
      column.Text.assign(size, std::string_view());
    }
    const bool upper = column.KeyKind == Kind::Text && column.IgnoreCase;
    size_t arenaSize = 0;
    for (Integer r : ARecords) {
      const void* p;
      if (storage->GetCompareInfo(r, def, p)) continue;
      const size_t k = static_cast<size_t>(r);
      if (text) {
        const auto* s = static_cast<const AnsiString*>(p);
        // A cell without a holder reads as null on the converted path and
        // sorts below every value on the native one.
        if (!s) {
          column.Rank[k] = converted ? 0 : 1;
          continue;
        }
        column.Rank[k] = 2;
        column.Text[k] = *s;
        arenaSize += s->size();
        continue;
      }
      column.Rank[k] = 2;
      switch (number) {
        case NumberType::Int16: column.Prefix[k] = SignedKey(LoadCell<SmallInt>(p)); break;
        case NumberType::Int32: column.Prefix[k] = SignedKey(LoadCell<Integer>(p)); break;
        case NumberType::UInt16: column.Prefix[k] = LoadCell<Word>(p); break;
        case NumberType::Bool: column.Prefix[k] = LoadCell<Byte>(p); break;
        case NumberType::Int64: column.Prefix[k] = SignedKey(LoadCell<Int64>(p)); break;
        case NumberType::Double: {
          const double d = LoadCell<double>(p);
          // NaN is unordered: leave such data to the general comparison.
          if (std::isnan(d)) return Clear(), false;
          column.Prefix[k] = DoubleKey(d);
          break;
        }
        case NumberType::None: break;
      }
    }
    if (upper) {
      // One block for all copies, filled after sizing so the views stay put.
      FArenas.emplace_back();
      std::string& arena = FArenas.back();
      arena.reserve(arenaSize);
      for (Integer r : ARecords) {
        std::string_view& view = column.Text[static_cast<size_t>(r)];
        if (column.Rank[static_cast<size_t>(r)] != 2) continue;
        const size_t at = arena.size();
        for (char ch : view) arena.push_back(AnsiUpperChar(ch));
        view = std::string_view(arena.data() + at, view.size());
      }
    }
    if (column.KeyKind == Kind::Text)
      for (Integer r : ARecords)
        column.Prefix[static_cast<size_t>(r)] = TextPrefix(column.Text[static_cast<size_t>(r)]);
  }
  return true;
}

Integer TcxRecordSortKeys::CompareTexts(const Column& AColumn, std::string_view A, std::string_view B) {
  if (AColumn.KeyKind == Kind::Collated) return orv::CollateAnsi(A, B, AColumn.IgnoreCase);
  const int c = A.compare(B);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

Integer TcxRecordSortKeys::CompareColumn(const Column& AColumn, Integer R1, Integer R2) const {
  const size_t a = static_cast<size_t>(R1), b = static_cast<size_t>(R2);
  const Byte rank1 = AColumn.Rank[a], rank2 = AColumn.Rank[b];
  Integer result;
  if (rank1 != rank2 || rank1 != 2) {
    result = rank1 < rank2 ? -1 : rank1 > rank2 ? 1 : 0;
  } else if (AColumn.Prefix[a] != AColumn.Prefix[b]) {
    result = AColumn.Prefix[a] < AColumn.Prefix[b] ? -1 : 1;
  } else if (AColumn.Text.empty()) {
    return 0;
  } else {
    result = CompareTexts(AColumn, AColumn.Text[a], AColumn.Text[b]);
  }
  return AColumn.Descending ? -result : result;
}

Integer TcxRecordSortKeys::CompareField(Integer AField, Integer R1, Integer R2) const {
  if (R1 == R2) return 0;
  return CompareColumn(FColumns[static_cast<size_t>(AField)], R1, R2);
}

Integer TcxRecordSortKeys::CompareRecords(Integer R1, Integer R2) const {
  if (R1 == R2) return 0;
  for (const Column& column : FColumns)
    if (const Integer r = CompareColumn(column, R1, R2)) return r;
  return R1 - R2;
}

void TcxRecordSortKeys::Sort(Integer* AList, Integer ACount) const {
  if (ACount < 2) return;
  if (FColumns.empty()) {
    // Only the record indexes decide, and they differ: the one order there is.
    std::sort(AList, AList + ACount);
    return;
  }
  // The first field's rank and prefix travel with the record index, so most
  // comparisons touch only the list being sorted.
  struct Item {
    std::uint64_t Prefix;
    Integer Record;
    Byte Rank;
  };
  const Column& first = FColumns.front();
  std::vector<Item> items(static_cast<size_t>(ACount));
  for (Integer i = 0; i < ACount; ++i) {
    const size_t r = static_cast<size_t>(AList[i]);
    items[static_cast<size_t>(i)] = {first.Prefix.empty() ? 0 : first.Prefix[r], AList[i], first.Rank[r]};
  }
  const bool descending = first.Descending;
  const bool exact = first.Text.empty();
  cxQuickSort(items.data(), 0, ACount - 1, [&](const Item& A, const Item& B) -> Integer {
    if (A.Record == B.Record) return 0;
    Integer result = 0;
    if (A.Rank != B.Rank) {
      result = A.Rank < B.Rank ? -1 : 1;
    } else if (A.Rank == 2) {
      if (A.Prefix != B.Prefix)
        result = A.Prefix < B.Prefix ? -1 : 1;
      else if (!exact)
        result = CompareTexts(first, first.Text[static_cast<size_t>(A.Record)], first.Text[static_cast<size_t>(B.Record)]);
    }
    if (result != 0) return descending ? -result : result;
    for (size_t f = 1; f < FColumns.size(); ++f)
      if (const Integer r = CompareColumn(FColumns[f], A.Record, B.Record)) return r;
    return A.Record - B.Record;
  });
  for (Integer i = 0; i < ACount; ++i) AList[i] = items[static_cast<size_t>(i)].Record;
}
