#include "platform/rtl/TypeInfo.h"

#include <map>
#include <mutex>
#include <typeindex>

#include "platform/rtl/Collation.h"
#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

// ---------------------------------------------------------------------------
// Type descriptions.

namespace orv {

namespace {
template <class Key>
const TTypeInfo* Intern(const Key& key, TTypeInfo info) {
  static std::mutex lock;
  // Never torn down: descriptions live as long as the process, and a table
  // destroyed at exit would leave those only it points at looking leaked.
  static auto& table = *new std::map<Key, const TTypeInfo*>;
  std::lock_guard guard(lock);
  auto it = table.find(key);
  if (it != table.end()) return it->second;
  auto* p = new TTypeInfo(std::move(info));
  table.emplace(key, p);
  return p;
}

}  // namespace

const TTypeInfo* MakeOrdinalInfo(TTypeKind kind, const char* name, TOrdType ord, Int64 min, Int64 max) {
  TTypeInfo t;
  t.Kind = kind;
  t.Name = name;
  t.OrdType = ord;
  t.MinValue = min;
  t.MaxValue = max;
  return Intern(AnsiString(name), std::move(t));
}

const TTypeInfo* MakeFloatInfo(const char* name, TFloatType ft) {
  TTypeInfo t;
  t.Kind = tkFloat;
  t.Name = name;
  t.FloatType = ft;
  return Intern(AnsiString(name), std::move(t));
}

const TTypeInfo* MakeSimpleInfo(TTypeKind kind, const char* name) {
  TTypeInfo t;
  t.Kind = kind;
  t.Name = name;
  return Intern(AnsiString(name), std::move(t));
}

// "alNone, alTop = 3, alBottom" -> names by ordinal value.
TTypeInfo MakeEnumInfo(const char* name, const char* idents) {
  TTypeInfo t;
  t.Kind = tkEnumeration;
  t.Name = name;
  t.OrdType = otUByte;
  std::string_view s(idents);
  Int64 value = 0;
  while (!s.empty()) {
    auto comma = s.find(',');
    std::string_view item = s.substr(0, comma);
    s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
    auto eq = item.find('=');
    AnsiString ident = Trim(item.substr(0, eq));
    if (ident.empty()) continue;
    if (eq != std::string_view::npos) value = std::stoll(Trim(item.substr(eq + 1)), nullptr, 0);
    if (value < 0) continue;
    if (static_cast<std::size_t>(value) >= t.EnumNames.size()) t.EnumNames.resize(value + 1);
    t.EnumNames[value] = ident;
    ++value;
  }
  t.MinValue = 0;
  t.MaxValue = static_cast<Int64>(t.EnumNames.size()) - 1;
  return t;
}

const TTypeInfo* MakeMethodInfo(const std::type_info& sig) {
  TTypeInfo t;
  t.Kind = tkMethod;
  t.Name = "TMethod";
  t.MethodSignature = &sig;
  return Intern(std::type_index(sig), std::move(t));
}

TTypeInfo MakeSetInfo(const TTypeInfo* element) {
  TTypeInfo t;
  t.Kind = tkSet;
  t.Name = "set of " + element->Name;
  t.CompType = element;
  return t;
}

// Member tables of a class, built on first use.
struct MemberTables {
  std::vector<TPropInfo> OwnProps;
  std::vector<TMethodEntry> Methods;
  std::vector<TFieldEntry> Fields;
  TPropList AllProps;  // inherited first
};

const MemberTables& TablesOf(TClass cls) {
  std::call_once(cls->FTablesOnce, [cls] {
    auto* t = new MemberTables;
    if (cls->Members()) {
      for (TMember& m : cls->Members()()) {
        switch (m.MemberKind) {
          case TMember::mkProperty: t->OwnProps.push_back(std::move(m.Prop)); break;
          case TMember::mkMethod: t->Methods.push_back(std::move(m.MethodEntry)); break;
          case TMember::mkField: t->Fields.push_back(std::move(m.Field)); break;
        }
      }
    }
    if (cls->ClassParent()) t->AllProps = TablesOf(cls->ClassParent()).AllProps;
    for (const TPropInfo& p : t->OwnProps) {
      bool replaced = false;
      for (auto& q : t->AllProps)
        if (SameText(q->Name, p.Name)) {
          q = &p;
          replaced = true;
          break;
        }
      if (!replaced) t->AllProps.push_back(&p);
    }
    cls->FTables = t;
  });
  return *static_cast<const MemberTables*>(cls->FTables);
}

}  // namespace orv

// ---------------------------------------------------------------------------
// Lookups.

const TPropList& GetPropList(TClass cls) { return orv::TablesOf(cls).AllProps; }

const TPropInfo* GetPropInfo(TClass cls, const AnsiString& name) {
  for (const TPropInfo* p : GetPropList(cls))
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

bool IsPublishedProp(const TObject* obj, const AnsiString& name) { return GetPropInfo(obj, name) != nullptr; }

bool PropIsType(const TObject* obj, const AnsiString& name, TTypeKind kind) { return PropType(obj, name) == kind; }

namespace {
const TPropInfo* Require(const TObject* obj, const AnsiString& name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p) throw EPropertyError("Property %s does not exist", {name});
  return p;
}

[[noreturn]] void WrongKind(const TPropInfo* prop) {
  throw EPropertyError("Invalid property type: %s", {prop->Name});
}

[[noreturn]] void ReadOnly(const TPropInfo* prop) { throw EPropertyError("Property %s is read-only", {prop->Name}); }
}  // namespace

TTypeKind PropType(const TObject* obj, const AnsiString& name) { return Require(obj, name)->PropType->Kind; }

const TMethodEntry* FindMethodEntry(TClass cls, const AnsiString& name) {
  for (TClass c = cls; c; c = c->ClassParent())
    for (const auto& m : orv::TablesOf(c).Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TMethodEntry* FindMethodEntryByCode(TClass cls, void (*code)()) {
  for (TClass c = cls; c; c = c->ClassParent())
    for (const auto& m : orv::TablesOf(c).Methods)
      if (m.Code == code) return &m;
  return nullptr;
}

const TFieldEntry* FindFieldEntry(TClass cls, const AnsiString& name) {
  for (TClass c = cls; c; c = c->ClassParent())
    for (const auto& f : orv::TablesOf(c).Fields)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

std::vector<const TFieldEntry*> GetFieldList(TClass cls) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->ClassParent()) chain.insert(chain.begin(), c);
  std::vector<const TFieldEntry*> out;
  for (TClass c : chain)
    for (const auto& f : orv::TablesOf(c).Fields) out.push_back(&f);
  return out;
}

Int64 GetOrdProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetOrd) WrongKind(prop);
  return prop->GetOrd(obj);
}

void SetOrdProp(TObject* obj, const TPropInfo* prop, Int64 value) {
  if (!prop->GetOrd) WrongKind(prop);
  if (!prop->SetOrd) ReadOnly(prop);
  prop->SetOrd(obj, value);
}

AnsiString GetEnumName(const TTypeInfo* type, Int64 value) {
  if (type->Kind == tkEnumeration && value >= 0 && static_cast<std::size_t>(value) < type->EnumNames.size())
    return type->EnumNames[value];
  return std::to_string(value);
}

Integer GetEnumValue(const TTypeInfo* type, const AnsiString& name) {
  if (type->Kind != tkEnumeration) return -1;
  for (std::size_t i = 0; i < type->EnumNames.size(); ++i)
    if (!type->EnumNames[i].empty() && SameText(type->EnumNames[i], name)) return static_cast<Integer>(i);
  return -1;
}

AnsiString GetEnumProp(const TObject* obj, const TPropInfo* prop) {
  return GetEnumName(prop->PropType, GetOrdProp(obj, prop));
}

void SetEnumProp(TObject* obj, const TPropInfo* prop, const AnsiString& value) {
  Integer v = GetEnumValue(prop->PropType, value);
  if (v < 0) throw EPropertyConvertError("Invalid enumeration name: %s", {value});
  SetOrdProp(obj, prop, v);
}

AnsiString SetToString(const TTypeInfo* setType, Int64 value, bool brackets) {
  const TTypeInfo* comp = setType->Kind == tkSet ? setType->CompType : setType;
  AnsiString out;
  for (int i = 0; i < 64; ++i) {
    if (!((static_cast<UInt64>(value) >> i) & 1)) continue;
    if (!out.empty()) out += ',';
    out += comp ? GetEnumName(comp, i) : std::to_string(i);
  }
  return brackets ? "[" + out + "]" : out;
}

Int64 StringToSet(const TTypeInfo* setType, const AnsiString& value) {
  const TTypeInfo* comp = setType->Kind == tkSet ? setType->CompType : setType;
  std::string_view s(value);
  while (!s.empty() && (s.front() == ' ' || s.front() == '[')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == ']')) s.remove_suffix(1);
  UInt64 bits = 0;
  while (!s.empty()) {
    auto comma = s.find(',');
    AnsiString name = Trim(s.substr(0, comma));
    s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
    if (name.empty()) continue;
    Integer v = comp ? GetEnumValue(comp, name) : -1;
    if (v < 0 || v >= 64) throw EPropertyConvertError("Invalid property element: %s", {name});
    bits |= UInt64(1) << v;
  }
  return static_cast<Int64>(bits);
}

AnsiString GetSetProp(const TObject* obj, const TPropInfo* prop, bool brackets) {
  if (prop->PropType->Kind != tkSet) WrongKind(prop);
  return SetToString(prop->PropType, GetOrdProp(obj, prop), brackets);
}

void SetSetProp(TObject* obj, const TPropInfo* prop, const AnsiString& value) {
  if (prop->PropType->Kind != tkSet) WrongKind(prop);
  SetOrdProp(obj, prop, StringToSet(prop->PropType, value));
}

Extended GetFloatProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetFloat) WrongKind(prop);
  return prop->GetFloat(obj);
}

void SetFloatProp(TObject* obj, const TPropInfo* prop, Extended value) {
  if (!prop->GetFloat) WrongKind(prop);
  if (!prop->SetFloat) ReadOnly(prop);
  prop->SetFloat(obj, value);
}

AnsiString GetStrProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetStr) WrongKind(prop);
  return prop->GetStr(obj);
}

void SetStrProp(TObject* obj, const TPropInfo* prop, const AnsiString& value) {
  if (!prop->GetStr) WrongKind(prop);
  if (!prop->SetStr) ReadOnly(prop);
  prop->SetStr(obj, value);
}

WideString GetWideStrProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetWStr) WrongKind(prop);
  return prop->GetWStr(obj);
}

void SetWideStrProp(TObject* obj, const TPropInfo* prop, const WideString& value) {
  if (!prop->GetWStr) WrongKind(prop);
  if (!prop->SetWStr) ReadOnly(prop);
  prop->SetWStr(obj, value);
}

Int64 GetInt64Prop(const TObject* obj, const TPropInfo* prop) { return GetOrdProp(obj, prop); }
void SetInt64Prop(TObject* obj, const TPropInfo* prop, Int64 value) { SetOrdProp(obj, prop, value); }

TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetObj) WrongKind(prop);
  return prop->GetObj(obj);
}

void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value) {
  if (!prop->GetObj) WrongKind(prop);
  if (!prop->SetObj) ReadOnly(prop);
  prop->SetObj(obj, value);
}

TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop) {
  if (!prop->GetMethod) WrongKind(prop);
  return prop->GetMethod(obj);
}

void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value) {
  if (!prop->GetMethod) WrongKind(prop);
  if (!prop->SetMethod) ReadOnly(prop);
  prop->SetMethod(obj, value);
}

bool IsStoredProp(const TObject* obj, const TPropInfo* prop) {
  return prop->StoredFn ? prop->StoredFn(obj) : prop->StoredConst;
}

Int64 GetOrdProp(const TObject* obj, const AnsiString& name) { return GetOrdProp(obj, Require(obj, name)); }
void SetOrdProp(TObject* obj, const AnsiString& name, Int64 value) { SetOrdProp(obj, Require(obj, name), value); }
AnsiString GetEnumProp(const TObject* obj, const AnsiString& name) { return GetEnumProp(obj, Require(obj, name)); }
void SetEnumProp(TObject* obj, const AnsiString& name, const AnsiString& value) {
  SetEnumProp(obj, Require(obj, name), value);
}
AnsiString GetSetProp(const TObject* obj, const AnsiString& name, bool brackets) {
  return GetSetProp(obj, Require(obj, name), brackets);
}
void SetSetProp(TObject* obj, const AnsiString& name, const AnsiString& value) {
  SetSetProp(obj, Require(obj, name), value);
}
Extended GetFloatProp(const TObject* obj, const AnsiString& name) { return GetFloatProp(obj, Require(obj, name)); }
void SetFloatProp(TObject* obj, const AnsiString& name, Extended value) {
  SetFloatProp(obj, Require(obj, name), value);
}
AnsiString GetStrProp(const TObject* obj, const AnsiString& name) { return GetStrProp(obj, Require(obj, name)); }
void SetStrProp(TObject* obj, const AnsiString& name, const AnsiString& value) {
  SetStrProp(obj, Require(obj, name), value);
}
WideString GetWideStrProp(const TObject* obj, const AnsiString& name) {
  return GetWideStrProp(obj, Require(obj, name));
}
void SetWideStrProp(TObject* obj, const AnsiString& name, const WideString& value) {
  SetWideStrProp(obj, Require(obj, name), value);
}
Int64 GetInt64Prop(const TObject* obj, const AnsiString& name) { return GetInt64Prop(obj, Require(obj, name)); }
void SetInt64Prop(TObject* obj, const AnsiString& name, Int64 value) {
  SetInt64Prop(obj, Require(obj, name), value);
}
TObject* GetObjectProp(const TObject* obj, const AnsiString& name) { return GetObjectProp(obj, Require(obj, name)); }
void SetObjectProp(TObject* obj, const AnsiString& name, TObject* value) {
  SetObjectProp(obj, Require(obj, name), value);
}
TMethod GetMethodProp(const TObject* obj, const AnsiString& name) { return GetMethodProp(obj, Require(obj, name)); }
void SetMethodProp(TObject* obj, const AnsiString& name, const TMethod& value) {
  SetMethodProp(obj, Require(obj, name), value);
}

bool BindMethodByName(TObject* obj, const TPropInfo* prop, TObject* target, const AnsiString& methodName) {
  if (prop->PropType->Kind != tkMethod || !target) return false;
  const TMethodEntry* m = FindMethodEntry(target->ClassType(), methodName);
  if (!m || *m->Signature != *prop->PropType->MethodSignature) return false;
  SetMethodProp(obj, prop, TMethod{m->Code, m->DataOf(target)});
  return true;
}
