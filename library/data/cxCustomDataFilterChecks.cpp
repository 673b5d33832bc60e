// Typed filter checks: a condition on a number or plain 8-bit text field is
// tested against the value storage directly, with the outcome the general
// evaluation (a variant of the cell, prepared, compared by the operator)
// would give. Records whose outcome is not plain here (null text, a cell
// without a value holder) are handed back to the general evaluation.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataFilter.h"
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

// The record comparison's order: equal, else less, else (also for NaN) greater.
int CompareDoubles(double A, double B) { return A == B ? 0 : A < B ? -1 : 1; }

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
  TNumberCheck(TcxDataStorage* AStorage, TcxValueDef* ADef, CellKind AKind, Relation ARelation, bool AIgnoreNull,
               bool AConditionIsInt, Int64 AIntCondition, double ADoubleCondition)
      : FStorage(AStorage), FDef(ADef), FKind(AKind), FRelation(ARelation), FIgnoreNull(AIgnoreNull),
        FConditionIsInt(AConditionIsInt), FInt(AIntCondition), FDouble(ADoubleCondition) {}

  int Check(void* AData) override {
    const void* p;
    // A null record compares below every (non-null) condition.
    if (FStorage->GetCompareInfo(DataRecord(AData), FDef, p)) return FIgnoreNull ? 0 : Holds(FRelation, -1);
    if (!p) return -1;
    int c;
    if (FKind == CellKind::Double) {
      const double v = LoadCell<double>(p);
      if (FConditionIsInt) {
        c = CompareIntDouble(FInt, v);
        c = c == -2 ? 1 : -c;
      } else {
        c = CompareDoubles(v, FDouble);
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
        if (c == -2) c = 1;
      }
    }
    return Holds(FRelation, c);
  }

 private:
  TcxDataStorage* FStorage;
  TcxValueDef* FDef;
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
      : FStorage(AStorage), FDef(ADef), FRelation(ARelation), FUpper(AUpper), FSoftNull(ASoftNull),
        FCondition(ACondition), FPercent(APercent), FUnderscore(AUnderscore) {}

  int Check(void* AData) override {
    const void* p;
    if (FStorage->GetCompareInfo(DataRecord(AData), FDef, p) || !p) return -1;
    const auto& raw = *static_cast<const AnsiString*>(p);
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
      case Relation::Like: return LikeStr(value, FCondition, FPercent, FUnderscore);
      case Relation::NotLike: return !LikeStr(value, FCondition, FPercent, FUnderscore);
      default: return -1;
    }
  }

 private:
  TcxDataStorage* FStorage;
  TcxValueDef* FDef;
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
    default:
      return nullptr;
  }
  return std::make_unique<TNumberCheck>(c->GetDataStorage(), def, kind, relation,
                                        options.Contains(fcoIgnoreNull), isInt, intValue, doubleValue);
}
