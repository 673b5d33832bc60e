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

namespace {

// An entry of the sort: one field's rank order and key, and the record.
struct SortItem {
  std::uint64_t Key;
  Integer Record;
  Byte Order;
};

// Stable LSD radix sort of AItems by Key, a byte at a time; bytes in which
// every key agrees are skipped. ASpare is the scratch buffer of the same
// size; the result is left in AItems.
void RadixByKey(std::vector<SortItem>& AItems, std::vector<SortItem>& ASpare) {
  const size_t n = AItems.size();
  std::vector<std::uint32_t> counts(8 * 256, 0);
  for (const SortItem& item : AItems)
    for (int d = 0; d < 8; ++d) ++counts[static_cast<size_t>(d) * 256 + ((item.Key >> (8 * d)) & 0xFF)];
  for (int d = 0; d < 8; ++d) {
    std::uint32_t* count = counts.data() + static_cast<size_t>(d) * 256;
    if (count[(AItems.front().Key >> (8 * d)) & 0xFF] == n) continue;
    std::uint32_t at = 0;
    for (int b = 0; b < 256; ++b) {
      const std::uint32_t c = count[b];
      count[b] = at;
      at += c;
    }
    for (const SortItem& item : AItems) ASpare[count[(item.Key >> (8 * d)) & 0xFF]++] = item;
    AItems.swap(ASpare);
  }
}

// Stable counting sort of AItems by Order (0..2).
void CountByOrder(std::vector<SortItem>& AItems, std::vector<SortItem>& ASpare) {
  std::uint32_t count[3] = {0, 0, 0};
  for (const SortItem& item : AItems) ++count[item.Order];
  if (count[AItems.front().Order] == AItems.size()) return;
  std::uint32_t at[3] = {0, count[0], count[0] + count[1]};
  for (const SortItem& item : AItems) ASpare[at[item.Order]++] = item;
  AItems.swap(ASpare);
}

}  // namespace

void TcxRecordSortKeys::Sort(Integer* AList, Integer ACount) const {
  if (ACount < 2) return;
  // Equal keys are ordered by record index: the sort starts from the
  // records in index order and every pass below is stable.
  if (!std::is_sorted(AList, AList + ACount)) std::sort(AList, AList + ACount);
  if (FColumns.empty()) return;
  // The fields from the last to the first, each a stable radix sort by its
  // key and then by its rank (nulls, cells without a holder, values;
  // reversed for a descending field): after the first field the list is
  // in the order of every field's rank and key, ties by record index.
  const size_t n = static_cast<size_t>(ACount);
  std::vector<SortItem> items(n), spare(n);
  for (size_t i = 0; i < n; ++i) items[i].Record = AList[i];
  for (size_t f = FColumns.size(); f-- > 0;) {
    const Column& column = FColumns[f];
    for (SortItem& item : items) {
      const size_t r = static_cast<size_t>(item.Record);
      const Byte rank = column.Rank[r];
      item.Order = column.Descending ? static_cast<Byte>(2 - rank) : rank;
      const std::uint64_t key = rank == 2 ? column.Prefix[r] : 0;
      item.Key = column.Descending && rank == 2 ? ~key : key;
    }
    RadixByKey(items, spare);
    CountByOrder(items, spare);
  }
  // Text keys hold the first bytes only (collated ones none): records whose
  // keys agree up to the last text field are put in order by their whole
  // values (a later field's key decided between them too early).
  size_t decided = 0;
  for (size_t f = 0; f < FColumns.size(); ++f)
    if (!FColumns[f].Text.empty()) decided = f + 1;
  if (decided > 0) {
    // The first field's key is in the items; the others are looked up.
    auto sameKeys = [&](const SortItem& A, const SortItem& B) {
      if (A.Order != B.Order || A.Key != B.Key) return false;
      for (size_t f = 1; f < decided; ++f) {
        const Column& column = FColumns[f];
        const size_t a = static_cast<size_t>(A.Record), b = static_cast<size_t>(B.Record);
        if (column.Rank[a] != column.Rank[b]) return false;
        if (column.Rank[a] == 2 && column.Prefix[a] != column.Prefix[b]) return false;
      }
      return true;
    };
    for (size_t first = 0; first < n;) {
      size_t last = first + 1;
      while (last < n && sameKeys(items[first], items[last])) ++last;
      if (last - first > 1)
        std::sort(items.begin() + static_cast<std::ptrdiff_t>(first), items.begin() + static_cast<std::ptrdiff_t>(last),
                  [this](const SortItem& A, const SortItem& B) { return CompareRecords(A.Record, B.Record) < 0; });
      first = last;
    }
  }
  for (size_t i = 0; i < n; ++i) AList[i] = items[i].Record;
}
