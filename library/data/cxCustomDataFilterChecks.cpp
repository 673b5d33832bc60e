// Typed filter checks: a condition on a number or plain 8-bit text field is
// tested against the value storage directly, with the outcome the general
// evaluation (a variant of the cell, prepared, compared by the operator)
// would give. Records whose outcome is not plain here (null text, a cell
// without a value holder) are handed back to the general evaluation.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxDoubleOrder.h"
#include "library/data/cxLike.h"
#include "platform/rtl/CodePage.h"

namespace {

Integer DataRecord(void* AData) { return static_cast<Integer>(reinterpret_cast<std::intptr_t>(AData)); }

template <class T>
T LoadCell(const void* P) {
  T v;
  std::memcpy(&v, P, sizeof v);
  return v;
}

enum class Relation { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Like, NotLike, None };

Relation RelationOf(TcxFilterOperator* AOperator) {
  const TClass cls = AOperator->ClassType();
  if (cls == TcxFilterEqualOperator::StaticClass()) return Relation::Equal;
  if (cls == TcxFilterNotEqualOperator::StaticClass()) return Relation::NotEqual;
  if (cls == TcxFilterLessOperator::StaticClass()) return Relation::Less;
  if (cls == TcxFilterLessEqualOperator::StaticClass()) return Relation::LessEqual;
  if (cls == TcxFilterGreaterOperator::StaticClass()) return Relation::Greater;
  if (cls == TcxFilterGreaterEqualOperator::StaticClass()) return Relation::GreaterEqual;
  if (cls == TcxFilterLikeOperator::StaticClass()) return Relation::Like;
  if (cls == TcxFilterNotLikeOperator::StaticClass()) return Relation::NotLike;
  return Relation::None;
}

// The operators' reading of the record comparison (-1, 0, 1).
bool Holds(Relation ARelation, int ACompare) {
  switch (ARelation) {
    case Relation::Equal: return ACompare == 0;
    case Relation::NotEqual: return ACompare != 0;
    case Relation::Less: return ACompare < 0;
    case Relation::LessEqual: return ACompare < 1;
    case Relation::Greater: return ACompare > 0;
    case Relation::GreaterEqual: return ACompare >= 0;
    default: return false;
  }
}

// An integer against a double without rounding the integer; -2 for NaN.
int CompareIntDouble(Int64 I, double D) {
  if (std::isnan(D)) return -2;
  if (D >= 9223372036854775808.0) return -1;
  if (D < -9223372036854775808.0) return 1;
  const double fl = std::floor(D);
  const Int64 whole = static_cast<Int64>(fl);
  if (I != whole) return I < whole ? -1 : 1;
  return fl == D ? 0 : -1;
}

// One field's cells read for a pass: from the field's column where the
// storage keeps one, else straight from the record buffers for the
// ordinary records, and through the storage for anything else (internal
// records, a definition of another layout), which also keeps its errors.
class CellReader {
 public:
  CellReader(TcxDataStorage* AStorage, TcxValueDef* ADef, bool AHolder)
      : FStorage(AStorage), FDef(ADef), FHolder(AHolder) {
    if (ADef->GetValueDefs() == AStorage->GetValueDefs() && ADef->GetBufferSize() != 0) {
      FBuffers = AStorage->GetRecordBuffers();
      FCount = static_cast<size_t>(AStorage->GetRecordCount());
      FOffset = static_cast<size_t>(ADef->GetOffset());
      Attach(AStorage->FindColumn(ADef));
    }
  }
  // Reads the field's column for a pass over many records (the storage
  // keeps it for the next passes); false where the field has none.
  bool UseColumn() {
    if (!FNotNull && FBuffers) Attach(FStorage->GetColumn(FDef));
    return FNotNull != nullptr;
  }
  // The field's column with its texts in one block, for a pass that
  // searches them; nullptr where the field has none.
  const TcxDataColumn* UseTexts() {
    if (!FBuffers) return nullptr;
    const TcxDataColumn* column = FStorage->GetTextColumn(FDef);
    Attach(column);
    return column;
  }
  // Asks for a record's cell ahead of reading it (records lie scattered).
  void Prefetch(Integer ARecord) const {
    if (!FNotNull && static_cast<size_t>(ARecord) < FCount)
      if (const Byte* b = FBuffers[static_cast<size_t>(ARecord)]) __builtin_prefetch(b + FOffset);
  }
  // True for null; otherwise P is the prepared value.
  bool Read(Integer ARecord, const void*& P) const {
    const size_t r = static_cast<size_t>(ARecord);
    if (r < FCount) {
      if (FNotNull) {
        if (!FNotNull[r]) {
          P = nullptr;
          return true;
        }
        const Byte* cell = FCells + r * FSize;
        P = FHolder ? LoadCell<const void*>(cell) : cell;
        return false;
      }
      const Byte* b = FBuffers[r];
      if (!b || b[FOffset] == 0) {
        P = nullptr;
        return true;
      }
      P = FHolder ? LoadCell<const void*>(b + FOffset + 1) : b + FOffset + 1;
      return false;
    }
    return FStorage->GetCompareInfo(ARecord, FDef, P);
  }
  // The column's arrays for loops of their own (UseColumn was true).
  const Byte* NotNull() const { return FNotNull; }
  const Byte* Cells() const { return FCells; }
  size_t Count() const { return FCount; }
  size_t Size() const { return FSize; }

 private:
  void Attach(const TcxDataColumn* AColumn) {
    if (!AColumn) return;
    FNotNull = AColumn->NotNull.data();
    FCells = AColumn->Cells.data();
    FSize = static_cast<size_t>(AColumn->Size);
  }

  TcxDataStorage* FStorage;
  TcxValueDef* FDef;
  bool FHolder;
  Byte* const* FBuffers = nullptr;
  size_t FCount = 0;
  size_t FOffset = 0;
  const Byte* FNotNull = nullptr;
  const Byte* FCells = nullptr;
  size_t FSize = 0;
};

// The records a check keeps, read from its column: AOutcome gives a
// record's outcome from its cell (1 met, 0 not, -1 for the general way),
// ANull that of a null record (-1 alike). Records outside the column and
// the general way's answers are handled here. AHolders: the cells point at
// the values, which are fetched ahead.
template <class Outcome>
bool SelectFromColumn(CellReader& ACells, const Integer* ARecords, size_t ACount, Integer AAlwaysKept, bool ANegated,
                      int ANull, const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept,
                      bool AHolders, Outcome&& AOutcome) {
  if (!ACells.UseColumn()) return false;
  const Byte* notNull = ACells.NotNull();
  const Byte* cells = ACells.Cells();
  const size_t count = ACells.Count(), size = ACells.Size();
  // Every null record reads as the same null value: the general way's
  // answer for one is the answer for all.
  int nullKeep = ANull < 0 ? -1 : (ANull != 0) != ANegated;
  constexpr size_t kAhead = 16;
  for (size_t i = 0; i < ACount; ++i) {
    const Integer record = ARecords ? ARecords[i] : static_cast<Integer>(i);
    const size_t r = static_cast<size_t>(record);
    if (AHolders && i + kAhead < ACount) {
      const size_t ahead = ARecords ? static_cast<size_t>(ARecords[i + kAhead]) : i + kAhead;
      if (ahead < count) __builtin_prefetch(LoadCell<const void*>(cells + ahead * size));
    }
    bool keep;
    if (record == AAlwaysKept) {
      keep = true;
    } else if (r >= count) {
      keep = AGeneral(record);
    } else if (!notNull[r]) {
      if (nullKeep < 0) nullKeep = AGeneral(record) ? 1 : 0;
      keep = nullKeep != 0;
    } else {
      const int outcome = AOutcome(cells + r * size);
      keep = outcome < 0 ? AGeneral(record) : (outcome != 0) != ANegated;
    }
    if (keep) AKept.push_back(record);
  }
  return true;
}

// The records of an Integer column whose cell equals AWanted (or, negated,
// differs from it), and the null records when ANullKeep, in order: sixteen
// records a step, their cells and null bytes compared at once into a mask
// of the kept ones, so the loop only branches where a record is kept.
void ScanIntegerEqual(const Byte* ANotNull, const Byte* ACells, size_t ACount, Integer AWanted, bool ANegated,
                      bool ANullKeep, std::vector<Integer>& AKept) {
  size_t r = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi32(AWanted);
  const __m128i zero = _mm_setzero_si128();
  const unsigned negate = ANegated ? 0xFFFFu : 0u, nulls = ANullKeep ? 0xFFFFu : 0u;
  for (; r + 16 <= ACount; r += 16) {
    const Byte* cell = ACells + r * sizeof(Integer);
    const __m128i e0 = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cell)), wanted);
    const __m128i e1 = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cell + 16)), wanted);
    const __m128i e2 = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cell + 32)), wanted);
    const __m128i e3 = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cell + 48)), wanted);
    const __m128i equal = _mm_packs_epi16(_mm_packs_epi32(e0, e1), _mm_packs_epi32(e2, e3));
    const unsigned met = (static_cast<unsigned>(_mm_movemask_epi8(equal)) ^ negate) & 0xFFFFu;
    const __m128i isNull = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ANotNull + r)), zero);
    const unsigned null = static_cast<unsigned>(_mm_movemask_epi8(isNull));
    for (unsigned keep = (met & ~null) | (nulls & null); keep; keep &= keep - 1)
      AKept.push_back(static_cast<Integer>(r + static_cast<size_t>(__builtin_ctz(keep))));
  }
#endif
  for (; r < ACount; ++r) {
    const bool met = (LoadCell<Integer>(ACells + r * sizeof(Integer)) == AWanted) != ANegated;
    if (ANotNull[r] ? met : ANullKeep) AKept.push_back(static_cast<Integer>(r));
  }
}

// Where ALiteral (not empty) first lies in AText[AFrom, ASize), else npos:
// sixteen places a step are tried at once by the literal's first and last
// byte, and only the places where both match are compared in full.
size_t FindLiteral(const char* AText, size_t ASize, size_t AFrom, std::string_view ALiteral) {
  const size_t k = ALiteral.size();
  size_t i = AFrom;
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(ALiteral.front()), last = _mm_set1_epi8(ALiteral.back());
  for (; i + k - 1 + 16 <= ASize; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText + i + k - 1));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first),
                                                                                _mm_cmpeq_epi8(b, last))));
         mask; mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (std::memcmp(AText + at, ALiteral.data(), k) == 0) return at;
    }
  }
#endif
  if (i >= ASize) return std::string::npos;
  const size_t at = std::string_view(AText + i, ASize - i).find(ALiteral);
  return at == std::string_view::npos ? std::string::npos : i + at;
}

// A literal sought without regard to case: the texts read as the filter
// reads them when it ignores case, every byte upper-cased by the 1252
// table. Upper holds the literal upper-cased; First and Last the bytes
// that upper-case to its first and last byte (one or two in 1252).
struct FoldedLiteral {
  std::string_view Upper;
  char First[2];
  char Last[2];

  // False where a byte has more cases than two, or a text's closing 0
  // could be read as part of the literal.
  bool Prepare(std::string_view AUpper) {
    Upper = AUpper;
    if (AUpper.empty() || AUpper.find('\0') != std::string_view::npos) return false;
    return Cases(AUpper.front(), First) && Cases(AUpper.back(), Last);
  }
  bool MatchesAt(const char* AText) const {
    for (size_t i = 0; i < Upper.size(); ++i)
      if (AnsiUpperChar(AText[i]) != Upper[i]) return false;
    return true;
  }

 private:
  static bool Cases(char AUpper, char (&ACases)[2]) {
    int n = 0;
    for (int c = 1; c < 256; ++c)
      if (AnsiUpperChar(static_cast<char>(c)) == AUpper) {
        if (n == 2) return false;
        ACases[n++] = static_cast<char>(c);
      }
    if (n == 0) return false;
    if (n == 1) ACases[1] = ACases[0];
    return true;
  }
};

// Where ALiteral first lies in AText[AFrom, ASize) read upper-cased, else
// npos: as FindLiteral, with either case of the first and last byte.
size_t FindFoldedLiteral(const char* AText, size_t ASize, size_t AFrom, const FoldedLiteral& ALiteral) {
  const size_t k = ALiteral.Upper.size();
  size_t i = AFrom;
#if defined(__SSE2__)
  const __m128i first0 = _mm_set1_epi8(ALiteral.First[0]), first1 = _mm_set1_epi8(ALiteral.First[1]);
  const __m128i last0 = _mm_set1_epi8(ALiteral.Last[0]), last1 = _mm_set1_epi8(ALiteral.Last[1]);
  for (; i + k - 1 + 16 <= ASize; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText + i + k - 1));
    const __m128i firsts = _mm_or_si128(_mm_cmpeq_epi8(a, first0), _mm_cmpeq_epi8(a, first1));
    const __m128i lasts = _mm_or_si128(_mm_cmpeq_epi8(b, last0), _mm_cmpeq_epi8(b, last1));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(firsts, lasts))); mask;
         mask &= mask - 1) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (ALiteral.MatchesAt(AText + at)) return at;
    }
  }
#endif
  for (; i + k <= ASize; ++i)
    if (ALiteral.MatchesAt(AText + i)) return i;
  return std::string::npos;
}

// Puts a record into the ordered kept records from AFrom on where it is missing.
void KeepAlso(std::vector<Integer>& AKept, size_t AFrom, Integer ARecord) {
  const auto at = std::lower_bound(AKept.begin() + static_cast<std::ptrdiff_t>(AFrom), AKept.end(), ARecord);
  if (at == AKept.end() || *at != ARecord) AKept.insert(at, ARecord);
}

enum class CellKind { Int16, Int32, UInt16, Int64, Double };

bool CellKindOf(TcxValueTypeClass AType, CellKind& AKind) {
  if (AType == TcxSmallintValueType::Class()) AKind = CellKind::Int16;
  else if (AType == TcxIntegerValueType::Class()) AKind = CellKind::Int32;
  else if (AType == TcxWordValueType::Class()) AKind = CellKind::UInt16;
  else if (AType == TcxLargeIntValueType::Class()) AKind = CellKind::Int64;
  else if (AType == TcxFloatValueType::Class() || AType == TcxDateTimeValueType::Class()) AKind = CellKind::Double;
  else return false;
  return true;
}

class TNumberCheck : public TcxFilterTypedCheck {
 public:
  // The records' loop calls this class's Check directly, not through the table.
  bool CheckRecords(const Integer* ARecords, size_t ACount, signed char* AResults) override {
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < ACount; ++i) {
      if (i + kAhead < ACount) FCells.Prefetch(ARecords[i + kAhead]);
      AResults[i] = static_cast<signed char>(TNumberCheck::Check(RecordData(ARecords[i])));
    }
    return true;
  }
  bool SelectRecords(const Integer* ARecords, size_t ACount, Integer AAlwaysKept, bool ANegated,
                     const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept) override {
    const int null = FIgnoreNull ? 0 : Holds(FRelation, -1);
    // The commonest condition, a whole number equal to an Integer field,
    // gets a loop of its own.
    if (FKind == CellKind::Int32 && FConditionIsInt && FRelation == Relation::Equal) {
      const Int64 wanted = FInt;
      if (!ARecords && FCells.UseColumn()) {
        // All records in order: one scan of the two arrays.
        const size_t start = AKept.size();
        const size_t count = std::min(ACount, FCells.Count());
        const bool nullKeep = (null != 0) != ANegated;
        if (wanted >= std::numeric_limits<Integer>::min() && wanted <= std::numeric_limits<Integer>::max())
          ScanIntegerEqual(FCells.NotNull(), FCells.Cells(), count, static_cast<Integer>(wanted), ANegated, nullKeep,
                           AKept);
        else  // no Integer cell equals it
          for (size_t r = 0; r < count; ++r)
            if (FCells.NotNull()[r] ? ANegated : nullKeep) AKept.push_back(static_cast<Integer>(r));
        if (AAlwaysKept >= 0 && static_cast<size_t>(AAlwaysKept) < count) KeepAlso(AKept, start, AAlwaysKept);
        for (size_t r = count; r < ACount; ++r)
          if (static_cast<Integer>(r) == AAlwaysKept || AGeneral(static_cast<Integer>(r))) AKept.push_back(static_cast<Integer>(r));
        return true;
      }
      return SelectFromColumn(FCells, ARecords, ACount, AAlwaysKept, ANegated, null, AGeneral, AKept, false,
                              [wanted](const Byte* ACell) { return LoadCell<Integer>(ACell) == wanted ? 1 : 0; });
    }
    return SelectFromColumn(FCells, ARecords, ACount, AAlwaysKept, ANegated, null, AGeneral, AKept, false,
                            [this](const Byte* ACell) { return Outcome(ACell); });
  }
  TNumberCheck(TcxDataStorage* AStorage, TcxValueDef* ADef, CellKind AKind, Relation ARelation, bool AIgnoreNull,
               bool AConditionIsInt, Int64 AIntCondition, double ADoubleCondition)
      : FCells(AStorage, ADef, false), FKind(AKind), FRelation(ARelation), FIgnoreNull(AIgnoreNull),
        FConditionIsInt(AConditionIsInt), FInt(AIntCondition), FDouble(ADoubleCondition) {}

  int Check(void* AData) override {
    const void* p;
    // A null record compares below every (non-null) condition.
    if (FCells.Read(DataRecord(AData), p)) return FIgnoreNull ? 0 : Holds(FRelation, -1);
    if (!p) return -1;
    return Outcome(p);
  }

 private:
  int Outcome(const void* p) const {
    int c;
    if (FKind == CellKind::Double) {
      const double v = LoadCell<double>(p);
      if (FConditionIsInt) {
        c = CompareIntDouble(FInt, v);
        c = c == -2 ? 1 : -c;  // NaN comes after every number
      } else {
        c = cxCompareDoubles(v, FDouble);
      }
    } else {
      Int64 v = 0;
      switch (FKind) {
        case CellKind::Int16: v = LoadCell<SmallInt>(p); break;
        case CellKind::Int32: v = LoadCell<Integer>(p); break;
        case CellKind::UInt16: v = LoadCell<Word>(p); break;
        default: v = LoadCell<Int64>(p); break;
      }
      if (FConditionIsInt) {
        c = v == FInt ? 0 : v < FInt ? -1 : 1;
      } else {
        c = CompareIntDouble(v, FDouble);
        if (c == -2) c = -1;  // every number comes before NaN
      }
    }
    return Holds(FRelation, c);
  }

  CellReader FCells;
  CellKind FKind;
  Relation FRelation;
  bool FIgnoreNull;
  bool FConditionIsInt;
  Int64 FInt;
  double FDouble;
};

class TTextCheck : public TcxFilterTypedCheck {
 public:
  TTextCheck(TcxDataStorage* AStorage, TcxValueDef* ADef, Relation ARelation, bool AUpper, bool ASoftNull,
             const AnsiString& ACondition, char APercent, char AUnderscore)
      : FCells(AStorage, ADef, true), FRelation(ARelation), FUpper(AUpper), FSoftNull(ASoftNull),
        FCondition(ACondition), FPercent(APercent), FUnderscore(AUnderscore) {
    if (FRelation == Relation::Like || FRelation == Relation::NotLike) CompileLike();
  }

  bool SelectRecords(const Integer* ARecords, size_t ACount, Integer AAlwaysKept, bool ANegated,
                     const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept) override {
    if (FShape == Shape::Contains && (FUpper ? FFolded : FLiteral.find('\0') == std::string::npos))
      if (const TcxDataColumn* column = FCells.UseTexts())
        return SelectContaining(*column, ARecords, ACount, AAlwaysKept, ANegated, AGeneral, AKept);
    return SelectFromColumn(FCells, ARecords, ACount, AAlwaysKept, ANegated, -1, AGeneral, AKept, true,
                            [this](const Byte* ACell) {
                              const void* holder = LoadCell<const void*>(ACell);
                              return holder ? Outcome(*static_cast<const AnsiString*>(holder)) : -1;
                            });
  }

  int Check(void* AData) override {
    const void* p;
    if (FCells.Read(DataRecord(AData), p) || !p) return -1;
    return Outcome(*static_cast<const AnsiString*>(p));
  }

 private:
  int Outcome(const AnsiString& raw) {
    // An empty text may count as null, which the general path decides.
    if (FSoftNull && raw.empty()) return -1;
    std::string_view value = raw;
    if (FUpper) {
      FBuffer.resize(raw.size());
      for (size_t i = 0; i < raw.size(); ++i) FBuffer[i] = AnsiUpperChar(raw[i]);
      value = FBuffer;
    }
    switch (FRelation) {
      case Relation::Equal: return value == FCondition;
      case Relation::NotEqual: return value != FCondition;
      case Relation::Like: return Like(value);
      case Relation::NotLike: return !Like(value);
      default: return -1;
    }
  }

  // A pattern that asks for a literal anywhere in the text, matched as
  // the records' texts lying in one block, each closed by a 0 byte the
  // literal lacks: one substring search over the block finds the records
  // whose text holds it (ignoring case, one that reads the block
  // upper-cased). Null records and the soft null of an empty text are read
  // as the general way reads them.
  bool SelectContaining(const TcxDataColumn& AColumn, const Integer* ARecords, size_t ACount, Integer AAlwaysKept,
                        bool ANegated, const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept) {
    const std::vector<size_t>& starts = AColumn.TextStarts;
    const size_t count = AColumn.NotNull.size();
    std::vector<Integer> hits;
    const char* texts = AColumn.Texts.data();
    const size_t size = AColumn.Texts.size();
    for (size_t at = 0; at < size;) {
      const size_t offset = FUpper ? FindFoldedLiteral(texts, size, at, FFoldedLiteral) : FindLiteral(texts, size, at, FLiteral);
      if (offset == std::string::npos) break;
      const size_t span = static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
      const Integer owner = AColumn.SpanRecord(span);
      if (owner >= 0) hits.push_back(owner);  // else a text since replaced
      at = starts[span + 1];  // the next text
    }
    // Texts set since the block was made lie after the others.
    if (starts.size() - 1 > count) std::sort(hits.begin(), hits.end());
    // All records in order, a LIKE not negated, none of them kept for being
    // null: the kept records are the hits (a hit's text is not empty, so not a soft null).
    const bool notLike = FRelation == Relation::NotLike;
    if (!ARecords && !ANegated && !notLike && ACount == count && !FSoftNull) {
      const Byte* notNull = AColumn.NotNull.data();
      const void* null = std::memchr(notNull, 0, count);
      const Integer firstNull = null ? static_cast<Integer>(static_cast<const Byte*>(null) - notNull) : -1;
      if (firstNull < 0 || (firstNull != AAlwaysKept && !AGeneral(firstNull))) {
        const size_t start = AKept.size();
        AKept.insert(AKept.end(), hits.begin(), hits.end());
        if (AAlwaysKept >= 0 && static_cast<size_t>(AAlwaysKept) < count) KeepAlso(AKept, start, AAlwaysKept);
        return true;
      }
    }
    std::vector<Byte> found(count);
    for (Integer record : hits) found[static_cast<size_t>(record)] = 1;
    const Byte* cells = AColumn.Cells.data();
    return SelectFromColumn(FCells, ARecords, ACount, AAlwaysKept, ANegated, -1, AGeneral, AKept, false,
                            [&](const Byte* ACell) {
                              const size_t r = static_cast<size_t>(ACell - cells) / sizeof(void*);
                              if (!LoadCell<const void*>(ACell)) return -1;
                              const size_t span = AColumn.RecordSpan(r);
                              if (FSoftNull && starts[span + 1] - starts[span] == 1) return -1;
                              return (found[r] != 0) != notLike ? 1 : 0;
                            });
  }

  // The shapes a pattern without underscore wildcards can take, matched
  // against the value's bytes without walking the pattern: a literal, a
  // literal then one percent wildcard (begins with), one wildcard then a
  // literal (ends with), and a literal between two single wildcards
  // (contains). A wildcard before more pattern needs no character of its
  // own there, as the general matcher reads it; a trailing run of two or
  // more wildcards does, so such patterns stay with the general matcher.
  enum class Shape { General, Exact, Begins, Ends, Contains };

  void CompileLike() {
    const std::string_view p = FCondition;
    for (char c : p)
      if (c == FUnderscore) return;
    size_t lead = 0, trail = 0;
    while (lead < p.size() && p[lead] == FPercent) ++lead;
    if (lead == p.size()) return;
    while (p[p.size() - 1 - trail] == FPercent) ++trail;
    const std::string_view core = p.substr(lead, p.size() - lead - trail);
    if (core.find(FPercent) != std::string_view::npos || lead > 1 || trail > 1) return;
    FLiteral = core;
    FShape = lead ? (trail ? Shape::Contains : Shape::Ends) : (trail ? Shape::Begins : Shape::Exact);
    // The condition came upper-cased where case is ignored.
    if (FUpper) FFolded = FFoldedLiteral.Prepare(FLiteral);
  }

  bool Like(std::string_view AValue) const {
    const std::string_view lit = FLiteral;
    switch (FShape) {
      case Shape::Exact: return AValue == lit;
      case Shape::Begins: return AValue.size() >= lit.size() && AValue.compare(0, lit.size(), lit) == 0;
      case Shape::Ends:
        return AValue.size() >= lit.size() && AValue.compare(AValue.size() - lit.size(), lit.size(), lit) == 0;
      case Shape::Contains:
        return AValue.size() >= lit.size() && AValue.find(lit) != std::string_view::npos;
      default: return LikeStr(AValue, FCondition, FPercent, FUnderscore);
    }
  }

  CellReader FCells;
  Shape FShape = Shape::General;
  AnsiString FLiteral;
  FoldedLiteral FFoldedLiteral{};
  bool FFolded = false;
  Relation FRelation;
  bool FUpper;
  bool FSoftNull;
  AnsiString FCondition;
  char FPercent;
  char FUnderscore;
  std::string FBuffer;
};

}  // namespace

std::unique_ptr<TcxFilterTypedCheck> TcxDataFilterCriteria::CreateTypedCheck(TcxFilterCriteriaItem* AItem,
                                                                             const Variant& ACondition) {
  if (AItem->ClassType() != TcxDataFilterCriteriaItem::StaticClass()) return nullptr;
  TcxCustomDataController* c = FDataController;
  auto* field = static_cast<TcxDataFilterCriteriaItem*>(AItem)->GetField();
  if (!c || !field || !c->IsFilterDataValueStored()) return nullptr;
  TcxValueDef* def = field->GetValueDef();
  if (!def) return nullptr;
  const Relation relation = RelationOf(AItem->GetOperator());
  if (relation == Relation::None) return nullptr;
  const TcxFilterCriteriaOptions options = GetOptions();
  const TcxValueTypeClass type = def->GetValueTypeClass();
  const Word conditionType = VarType(ACondition);

  if (type == TcxStringValueType::Class()) {
    if (conditionType != varString || relation == Relation::Less || relation == Relation::LessEqual ||
        relation == Relation::Greater || relation == Relation::GreaterEqual)
      return nullptr;
    return std::make_unique<TTextCheck>(c->GetDataStorage(), def, relation, options.Contains(fcoCaseInsensitive),
                                        options.Contains(fcoSoftNull), ACondition.RawAnsi(), GetPercentWildcard(),
                                        GetUnderscoreWildcard());
  }

  CellKind kind;
  if (!CellKindOf(type, kind) || relation == Relation::Like || relation == Relation::NotLike) return nullptr;
  bool isInt = true;
  Int64 intValue = 0;
  double doubleValue = 0;
  switch (conditionType) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64:
      intValue = ACondition.RawInt();
      break;
    case varBoolean:
      intValue = ACondition.RawInt() ? -1 : 0;
      break;
    case varDouble: case varDate:
      isInt = false;
      doubleValue = ACondition.RawDouble();
      break;
    case varCurrency:
      // Next to a float cell a Currency compares as its double; next to a
      // whole number it compares exactly, which the general path does.
      if (kind != CellKind::Double) return nullptr;
      isInt = false;
      doubleValue = ACondition.AsDouble();
      break;
    default:
      return nullptr;
  }
  return std::make_unique<TNumberCheck>(c->GetDataStorage(), def, kind, relation,
                                        options.Contains(fcoIgnoreNull), isInt, intValue, doubleValue);
}
