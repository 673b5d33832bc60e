#include "library/data/cxCustomDataSortKeys.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>

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

// Doubles in the order of the value types' comparison: negative values
// have their bits reversed, positive ones the sign bit set; -0 is 0, and
// every NaN the one key above +infinity.
std::uint64_t DoubleKey(double V) {
  if (std::isnan(V)) return ~std::uint64_t{0};
  if (V == 0) V = 0;
  const auto bits = std::bit_cast<std::uint64_t>(V);
  return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::uint64_t LoadBigEndian(const unsigned char* P) {
  std::uint64_t v;
  std::memcpy(&v, P, sizeof v);
  return std::endian::native == std::endian::little ? __builtin_bswap64(v) : v;
}

// The first sixteen bytes of a text (through the upper-case table when the
// case is ignored), zero-padded, as two big-endian words: they order as the
// texts do wherever they differ, and a tie leaves the order to the texts.
void TextKeys(std::string_view S, bool AUpper, std::uint64_t& AFirst, std::uint64_t& ASecond) {
  unsigned char b[16] = {};
  std::memcpy(b, S.data(), S.size() < 16 ? S.size() : 16);
  if (AUpper) {
    const unsigned char* upper = orv::cp1252::UpperTable.data();
    for (unsigned char& ch : b) ch = upper[ch];
  }
  AFirst = LoadBigEndian(b);
  ASecond = LoadBigEndian(b + 8);
}

const void* LoadPointer(const Byte* P) { return LoadCell<const void*>(P); }

// Where a field's cells are read from. Each gives a record's prepared
// value (the cell, or for text the holder) and true for a null, and
// fetches ahead: the blocks of the record AFar places on, the text holders
// of the one ANear places on (whose block was fetched before).
struct StoredColumnCells {
  const TcxDataColumn* Column;
  bool Text;
  bool Get(Integer R, const void*& P) const {
    const size_t r = static_cast<size_t>(R);
    if (!Column->NotNull[r]) return true;
    const Byte* cell = Column->Cells.data() + r * static_cast<size_t>(Column->Size);
    P = Text ? LoadPointer(cell) : cell;
    return false;
  }
  void Ahead(Integer, Integer ANear) const {
    if (Text) __builtin_prefetch(LoadPointer(Column->Cells.data() + static_cast<size_t>(ANear) * sizeof(void*)));
  }
};

struct RecordBlockCells {
  Byte* const* Buffers;
  size_t Offset;
  bool Text;
  bool Get(Integer R, const void*& P) const {
    const Byte* buffer = Buffers[R];
    if (!buffer || buffer[Offset] == 0) return true;
    P = Text ? LoadPointer(buffer + Offset + 1) : buffer + Offset + 1;
    return false;
  }
  void Ahead(Integer AFar, Integer ANear) const {
    if (const Byte* far = Buffers[AFar]) __builtin_prefetch(far + Offset);
    if (!Text) return;
    const Byte* near = Buffers[ANear];
    if (near && near[Offset]) __builtin_prefetch(LoadPointer(near + Offset + 1));
  }
};

struct CompareInfoCells {
  TcxDataStorage* Storage;
  TcxValueDef* Def;
  bool Get(Integer R, const void*& P) const { return Storage->GetCompareInfo(R, Def, P); }
  void Ahead(Integer, Integer) const {}
};

// The records of AList in index order, the order every stable pass starts
// from so that equal keys keep it.
void IndexOrder(const Integer* AList, size_t ACount, std::vector<Integer>& AOut) {
  AOut.assign(AList, AList + ACount);
  if (std::is_sorted(AOut.begin(), AOut.end())) return;
  // Records are distinct and below the record count: marking them is one
  // pass, with a comparison sort for anything else.
  const Integer top = *std::max_element(AOut.begin(), AOut.end());
  if (*std::min_element(AOut.begin(), AOut.end()) < 0) return std::sort(AOut.begin(), AOut.end());
  std::vector<Byte> marks(static_cast<size_t>(top) + 1, 0);
  for (Integer r : AOut) {
    Byte& mark = marks[static_cast<size_t>(r)];
    if (mark) return std::sort(AOut.begin(), AOut.end());
    mark = 1;
  }
  size_t k = 0;
  for (size_t r = 0; r < marks.size(); ++r)
    if (marks[r]) AOut[k++] = static_cast<Integer>(r);
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
  FRecords.clear();
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
  IndexOrder(ARecords.data(), ARecords.size(), FRecords);
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
    column.Rank.resize(size);
    column.Prefix.resize(size);
    if (text) {
      column.KeyKind = converted && options.Contains(dcoAnsiSort) ? Kind::Collated : Kind::Text;
      column.IgnoreCase = converted && options.Contains(dcoCaseInsensitive);
      column.Text.resize(size);
      // Collated text has no key: every value's is 0.
      if (column.KeyKind == Kind::Text)
        column.Prefix2.resize(size);
      else
        column.Prefix.assign(size, 0);
    }
    const bool keyed = column.KeyKind == Kind::Text;
    const bool upper = keyed && column.IgnoreCase;
    // One pass over the records in index order, reading the cells where
    // they lie.
    auto read = [&](const auto& ACells) {
      constexpr size_t kFar = 32, kNear = 16;
      const Integer* records = FRecords.data();
      const size_t n = FRecords.size();
      for (size_t k = 0; k < n; ++k) {
        if (k + kFar < n) ACells.Ahead(records[k + kFar], records[k + kNear]);
        const Integer r = records[k];
        const size_t at = static_cast<size_t>(r);
        const void* p = nullptr;
        if (ACells.Get(r, p)) {
          column.Rank[at] = 0;
          column.Nulls = true;
          continue;
        }
        if (text) {
          const auto* s = static_cast<const AnsiString*>(p);
          // A cell without a holder reads as null on the converted path and
          // sorts below every value on the native one.
          if (!s) {
            column.Rank[at] = converted ? 0 : 1;
            continue;
          }
          column.Rank[at] = 2;
          column.Text[at] = {s->data(), s->size()};
          if (keyed) TextKeys(*s, upper, column.Prefix[at], column.Prefix2[at]);
          continue;
        }
        column.Rank[at] = 2;
        std::uint64_t& key = column.Prefix[at];
        switch (number) {
          case NumberType::Int16: key = SignedKey(LoadCell<SmallInt>(p)); break;
          case NumberType::Int32: key = SignedKey(LoadCell<Integer>(p)); break;
          case NumberType::UInt16: key = LoadCell<Word>(p); break;
          case NumberType::Bool: key = LoadCell<Byte>(p); break;
          case NumberType::Int64: key = SignedKey(LoadCell<Int64>(p)); break;
          case NumberType::Double: key = DoubleKey(LoadCell<double>(p)); break;
          case NumberType::None: break;
        }
        column.Least = std::min(column.Least, key);
        column.Most = std::max(column.Most, key);
      }
    };
    // The column the storage keeps for the field (made on the first sort,
    // then kept current by every write, as for the fields filters and
    // summaries read, so a later sort reads one array), else the record
    // blocks (the ordinary records' cells sit at the field's offset in
    // each), else the storage's own reading record by record.
    if (const TcxDataColumn* stored = storage->GetColumn(def))
      read(StoredColumnCells{stored, text});
    else if (def->GetValueDefs() == storage->GetValueDefs() && def->GetBufferSize() > 0)
      read(RecordBlockCells{storage->GetRecordBuffers(), static_cast<size_t>(def->GetOffset()), text});
    else
      read(CompareInfoCells{storage, def});
  }
  return true;
}

Integer TcxRecordSortKeys::CompareTexts(const Column& AColumn, std::string_view A, std::string_view B) {
  if (AColumn.KeyKind == Kind::Collated) return orv::CollateAnsi(A, B, AColumn.IgnoreCase);
  // Equal keys (zero-padded) make the shorter of two texts, when it has
  // sixteen bytes or fewer, the other's start: the length decides. Longer
  // texts agree in their first sixteen bytes.
  if (A.size() <= 16 || B.size() <= 16) return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
  A.remove_prefix(16);
  B.remove_prefix(16);
  if (AColumn.IgnoreCase) {
    const unsigned char* upper = orv::cp1252::UpperTable.data();
    const size_t n = A.size() < B.size() ? A.size() : B.size();
    for (size_t i = 0; i < n; ++i) {
      const unsigned char x = upper[static_cast<unsigned char>(A[i])], y = upper[static_cast<unsigned char>(B[i])];
      if (x != y) return x < y ? -1 : 1;
    }
    return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
  }
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
  } else if (!AColumn.Prefix2.empty() && AColumn.Prefix2[a] != AColumn.Prefix2[b]) {
    result = AColumn.Prefix2[a] < AColumn.Prefix2[b] ? -1 : 1;
  } else {
    result = CompareTexts(AColumn, AColumn.Text[a].View(), AColumn.Text[b].View());
  }
  return AColumn.Descending ? -result : result;
}

Integer TcxRecordSortKeys::CompareField(Integer AField, Integer R1, Integer R2) const {
  if (R1 == R2) return 0;
  return CompareColumn(FColumns[static_cast<size_t>(AField)], R1, R2);
}

Integer TcxRecordSortKeys::CompareRecords(Integer R1, Integer R2) const {
  if (R1 == R2) return 0;
  return CompareFrom(0, R1, R2);
}

Integer TcxRecordSortKeys::FirstDifference(Integer AFrom, Integer ALevels, Integer R1, Integer R2) const {
  Integer level = AFrom;
  while (level < ALevels && CompareColumn(FColumns[static_cast<size_t>(level)], R1, R2) == 0) ++level;
  return level;
}

Integer TcxRecordSortKeys::CompareFrom(size_t AField, Integer R1, Integer R2) const {
  for (size_t f = AField; f < FColumns.size(); ++f)
    if (const Integer r = CompareColumn(FColumns[f], R1, R2)) return r;
  return R1 - R2;
}

namespace {

// LSD radix sort of words by their bits [AFromBit, AToBit), in as few
// digits of at most 11 bits as cover them. The words are counted as they
// are made (Add), every digit at once; a digit in which every word agrees
// costs no pass.
class RadixCounts {
 public:
  RadixCounts(int AFromBit, int AToBit) : FFrom(AFromBit) {
    const int bits = AToBit - AFromBit;
    FPasses = bits <= 0 ? 0 : (bits + 10) / 11;
    FWidth = FPasses == 0 ? 0 : (bits + FPasses - 1) / FPasses;
    FMask = (std::uint64_t{1} << FWidth) - 1;
    FCounts.assign(static_cast<size_t>(FPasses) << FWidth, 0);
  }
  void Add(std::uint64_t AWord) {
    std::uint64_t key = AWord >> FFrom;
    for (int d = 0; d < FPasses; ++d, key >>= FWidth) ++FCounts[(static_cast<size_t>(d) << FWidth) + (key & FMask)];
  }
  // Sorts AWords[0, ACount), every word added, with ASpare as scratch space
  // of their size; answers the one of the two that holds the result.
  std::uint64_t* Sort(std::uint64_t* AWords, std::uint64_t* ASpare, size_t ACount) {
    const size_t n = ACount;
    const size_t buckets = size_t{1} << FWidth;
    for (int d = 0; d < FPasses && n > 1; ++d) {
      const int shift = FFrom + d * FWidth;
      std::uint32_t* count = FCounts.data() + (static_cast<size_t>(d) << FWidth);
      if (count[(AWords[0] >> shift) & FMask] == n) continue;
      std::uint32_t at = 0;
      for (size_t b = 0; b < buckets; ++b) {
        const std::uint32_t c = count[b];
        count[b] = at;
        at += c;
      }
      for (size_t i = 0; i < n; ++i) {
        const std::uint64_t w = AWords[i];
        ASpare[count[(w >> shift) & FMask]++] = w;
      }
      std::swap(AWords, ASpare);
    }
    return AWords;
  }

 private:
  int FFrom, FPasses, FWidth;
  std::uint64_t FMask;
  std::vector<std::uint32_t> FCounts;
};

// A value of a text field in the bucket sort: its first sixteen bytes
// (inverted for a descending field) and the record.
struct TextItem {
  std::uint64_t First, Second;
  Integer Record;
  std::uint32_t Length;
  // Byte AIndex (0..15) of the key.
  unsigned Byte(int AIndex) const {
    return static_cast<unsigned>((AIndex < 8 ? First >> (56 - 8 * AIndex) : Second >> (120 - 8 * AIndex)) & 0xFF);
  }
};

// Sorts AItems[0, ACount), which agree in the key bytes before AByte, a byte
// at a time from the most significant one (the range cut into the byte's
// 256 values through AScratch), and short ranges by ALess.
template <class Less>
void SortTextItems(TextItem* AItems, TextItem* AScratch, size_t ACount, int AByte, const Less& ALess) {
  constexpr size_t kShort = 48;
  while (ACount >= kShort && AByte < 16) {
    std::uint32_t count[257] = {};
    for (size_t i = 0; i < ACount; ++i) ++count[AItems[i].Byte(AByte) + 1];
    if (count[AItems[0].Byte(AByte) + 1] == ACount) {
      ++AByte;  // every item has the same byte here
      continue;
    }
    for (size_t b = 1; b < 257; ++b) count[b] += count[b - 1];
    std::uint32_t next[256];
    std::copy(count, count + 256, next);
    for (size_t i = 0; i < ACount; ++i) AScratch[next[AItems[i].Byte(AByte)]++] = AItems[i];
    std::copy(AScratch, AScratch + ACount, AItems);
    for (size_t b = 0; b < 256; ++b)
      if (count[b + 1] - count[b] > 1)
        SortTextItems(AItems + count[b], AScratch + count[b], count[b + 1] - count[b], AByte + 1, ALess);
    return;
  }
  std::sort(AItems, AItems + ACount, ALess);
}

}  // namespace

const std::vector<Integer>& TcxRecordSortKeys::InIndexOrder(const Integer* AList, size_t ACount) const {
  // The list holds the records the keys were built for: Build ordered them.
  if (ACount == FRecords.size()) return FRecords;
  IndexOrder(AList, ACount, FScratch);
  return FScratch;
}

void TcxRecordSortKeys::Sort(Integer* AList, Integer ACount, Integer ALevels,
                             std::vector<Integer>* AChanges) const {
  const size_t n = ACount > 0 ? static_cast<size_t>(ACount) : 0;
  const Integer levels = std::clamp(ALevels, Integer{0}, FieldCount());
  Integer* changes = nullptr;
  if (AChanges) {
    // Without levels every position equals the one before in all of them.
    AChanges->assign(n, 0);
    if (levels > 0) changes = AChanges->data();
  }
  if (n < 2) return;
  if (FColumns.empty()) {
    // No field: the index order.
    const std::vector<Integer>& records = InIndexOrder(AList, n);
    std::copy(records.begin(), records.end(), AList);
    return;
  }
  if (SortPacked(AList, n, levels, changes)) return;
  if (FColumns.front().KeyKind == Kind::Text) return SortTextBuckets(AList, n, levels, changes);
  SortByEveryField(AList, n, levels, changes);
}

// The records as 64-bit words, each field's key above the next one's and
// the record index in the low bits: the words order as the records do, and
// one radix sort over the key bits leaves the records in order. A field's
// key is its value less the smallest one, one above the nulls (reversed
// for a descending field), so it takes only the bits its values span.
bool TcxRecordSortKeys::SortPacked(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const {
  for (const Column& column : FColumns)
    if (!column.Text.empty()) return false;
  const std::vector<Integer>& records = InIndexOrder(AList, ACount);
  struct Field {
    const Column* Source;
    Integer Index;
    int Bits;
  };
  std::vector<Field> packed;
  const int recordBits = std::bit_width(static_cast<std::uint32_t>(records.back()));
  int total = recordBits;
  for (const Column& column : FColumns) {
    // No keys or no values, or one value and no nulls: every record equal.
    if (column.Prefix.empty() || column.Least > column.Most) continue;
    const std::uint64_t span = column.Most - column.Least;
    if (column.Nulls && span == ~std::uint64_t{0}) return false;
    const int bits = std::bit_width(span + (column.Nulls ? 1 : 0));
    if (bits == 0) continue;
    total += bits;
    if (total > 64) return false;
    packed.push_back({&column, static_cast<Integer>(&column - FColumns.data()), bits});
  }
  // The words and their scratch space in one block.
  std::unique_ptr<std::uint64_t[]> block(new std::uint64_t[2 * ACount]);
  std::uint64_t* words = block.get();
  std::uint64_t* spare = words + ACount;
  RadixCounts counts(recordBits, total);
  for (size_t i = 0; i < ACount; ++i) {
    const Integer r = records[i];
    const size_t at = static_cast<size_t>(r);
    std::uint64_t word = static_cast<std::uint32_t>(r);
    int shift = recordBits;
    for (size_t f = packed.size(); f-- > 0;) {
      const Column& column = *packed[f].Source;
      const bool value = column.Rank[at] == 2;
      std::uint64_t key;
      if (column.Descending)
        key = value ? column.Most - column.Prefix[at] : column.Most - column.Least + 1;
      else
        key = value ? column.Prefix[at] - column.Least + (column.Nulls ? 1 : 0) : 0;
      word |= key << shift;
      shift += packed[f].Bits;
    }
    words[i] = word;
    counts.Add(word);
  }
  const std::uint64_t* sorted = counts.Sort(words, spare, ACount);
  const std::uint64_t recordMask = recordBits == 0 ? 0 : ~std::uint64_t{0} >> (64 - recordBits);
  for (size_t i = 0; i < ACount; ++i) AList[i] = static_cast<Integer>(sorted[i] & recordMask);
  if (AChanges) {
    // Two neighbours first differ in the field that holds the highest bit
    // in which their keys differ; fields left out of the words hold one
    // value only.
    Integer owner[64];
    std::fill(std::begin(owner), std::end(owner), ALevels);
    int low = recordBits;
    for (size_t f = packed.size(); f-- > 0; low += packed[f].Bits)
      for (int bit = low; bit < low + packed[f].Bits; ++bit) owner[bit] = std::min(packed[f].Index, ALevels);
    for (size_t i = 1; i < ACount; ++i) {
      const std::uint64_t differ = (sorted[i - 1] ^ sorted[i]) & ~recordMask;
      AChanges[i] = differ ? owner[63 - std::countl_zero(differ)] : ALevels;
    }
  }
  return true;
}

// A leading text field: its nulls and cells without a holder first (last
// when descending), in the order of the other fields; then its values
// scattered by their first two bytes and each bucket sorted by the sixteen
// bytes of the key, a byte at a time while it is long, the records being
// compared in full only where those bytes tie.
void TcxRecordSortKeys::SortTextBuckets(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const {
  const Column& column = FColumns.front();
  const std::vector<Integer>& records = InIndexOrder(AList, ACount);
  auto orderOf = [&](Integer R) {
    const Byte rank = column.Rank[static_cast<size_t>(R)];
    return column.Descending ? 2 - rank : rank;
  };
  size_t counts[3] = {0, 0, 0};
  for (Integer r : records) ++counts[orderOf(r)];
  const int valueOrder = column.Descending ? 0 : 2;
  const size_t starts[3] = {0, counts[0], counts[0] + counts[1]};
  size_t at[3] = {starts[0], starts[1], starts[2]};
  const size_t valueCount = counts[valueOrder];
  // The values scattered by the top 16 bits of their keys as they are
  // taken (counted first).
  std::vector<std::uint32_t> buckets(65537, 0);
  const std::uint64_t flip = column.Descending ? ~std::uint64_t{0} : 0;
  for (Integer r : records)
    if (orderOf(r) == valueOrder) ++buckets[((column.Prefix[static_cast<size_t>(r)] ^ flip) >> 48) + 1];
  // A bucket is sorted through scratch space of its own size: the largest
  // bucket's, reused by each, stays in the cache where a copy of every item
  // would not.
  const std::uint32_t largest = *std::max_element(buckets.begin(), buckets.end());
  for (size_t b = 1; b < buckets.size(); ++b) buckets[b] += buckets[b - 1];
  std::unique_ptr<TextItem[]> items(new TextItem[valueCount]), scratch(new TextItem[largest]);
  {
    std::vector<std::uint32_t> next(buckets.begin(), buckets.end() - 1);
    for (Integer r : records) {
      const int order = orderOf(r);
      if (order != valueOrder) {
        AList[at[order]++] = r;
        continue;
      }
      const size_t k = static_cast<size_t>(r);
      const std::uint64_t first = column.Prefix[k] ^ flip;
      items[next[first >> 48]++] = {first, column.Prefix2[k] ^ flip, r,
                                    static_cast<std::uint32_t>(column.Text[k].Size)};
    }
  }
  const bool more = FColumns.size() > 1;
  if (more)
    for (int order = 0; order < 3; ++order)
      if (order != valueOrder && counts[order] > 1)
        std::sort(AList + starts[order], AList + starts[order] + counts[order],
                  [this](Integer A, Integer B) { return CompareRecords(A, B) < 0; });
  auto less = [&](const TextItem& A, const TextItem& B) {
    if (A.First != B.First) return A.First < B.First;
    if (A.Second != B.Second) return A.Second < B.Second;
    // Equal keys: the length decides where either text is that short.
    if (A.Length <= 16 || B.Length <= 16) {
      if (A.Length != B.Length) return column.Descending ? A.Length > B.Length : A.Length < B.Length;
    } else if (const Integer r = CompareTexts(column, column.Text[static_cast<size_t>(A.Record)].View(),
                                              column.Text[static_cast<size_t>(B.Record)].View())) {
      return column.Descending ? r > 0 : r < 0;
    }
    return more ? CompareFrom(1, A.Record, B.Record) < 0 : A.Record < B.Record;
  };
  for (size_t b = 0; b < 65536; ++b)
    if (buckets[b + 1] - buckets[b] > 1)
      SortTextItems(items.get() + buckets[b], scratch.get(), buckets[b + 1] - buckets[b], 2, less);
  Integer* out = AList + starts[valueOrder];
  for (size_t i = 0; i < valueCount; ++i) out[i] = items[i].Record;
  if (!AChanges) return;
  // The text field changes where the rank does and, among values, where
  // the keys or lengths differ; texts longer than the key are compared
  // beyond it where it ties. The later fields are compared where the text
  // is the same.
  for (int order = 0; order < 3; ++order) {
    const size_t first = starts[order];
    if (counts[order] == 0) continue;
    AChanges[first] = 0;
    for (size_t i = first + 1; i < first + counts[order]; ++i) {
      bool same = true;
      if (order == valueOrder) {
        const TextItem& a = items[i - 1 - first];
        const TextItem& b = items[i - first];
        same = a.First == b.First && a.Second == b.Second && a.Length == b.Length &&
               (a.Length <= 16 ||
                CompareTexts(column, column.Text[static_cast<size_t>(a.Record)].View(),
                             column.Text[static_cast<size_t>(b.Record)].View()) == 0);
      }
      AChanges[i] = same ? FirstDifference(1, ALevels, AList[i - 1], AList[i]) : 0;
    }
  }
}

namespace {

// An entry of the sort by every field: one field's rank order and key, and
// the record.
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

// The fields from the last to the first, each a stable radix sort by its
// key and then by its rank (nulls, cells without a holder, values; reversed
// for a descending field): after the first field the list is in the order
// of every field's rank and key, ties by record index. Text keys hold the
// first bytes only (collated ones none), so ties of them are put in order
// by a comparison of the records.
void TcxRecordSortKeys::SortByEveryField(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const {
  const size_t n = ACount;
  std::vector<SortItem> items(n), spare(n);
  {
    const std::vector<Integer>& records = InIndexOrder(AList, ACount);
    for (size_t i = 0; i < n; ++i) items[i].Record = records[i];
  }
  for (size_t f = FColumns.size(); f-- > 0;) {
    const Column& column = FColumns[f];
    for (SortItem& item : items) {
      const size_t r = static_cast<size_t>(item.Record);
      const Byte rank = column.Rank[r];
      item.Order = column.Descending ? static_cast<Byte>(2 - rank) : rank;
      const std::uint64_t key = rank == 2 && !column.Prefix.empty() ? column.Prefix[r] : 0;
      item.Key = column.Descending && rank == 2 ? ~key : key;
    }
    RadixByKey(items, spare);
    CountByOrder(items, spare);
  }
  // Records whose keys agree up to the last text field are put in order by
  // their whole values (a later field's key decided between them too early).
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
  // The items hold the first field's rank and key: neighbours that differ
  // in them differ in that field; the rest are compared.
  if (AChanges)
    for (size_t i = 1; i < n; ++i) {
      const SortItem& a = items[i - 1];
      const SortItem& b = items[i];
      AChanges[i] = a.Order != b.Order || a.Key != b.Key ? 0 : FirstDifference(0, ALevels, a.Record, b.Record);
    }
}
