#include "platform/rtl/Object.h"

#include <map>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

std::atomic<Int64> TObject::FLiveCount{0};

TObject::TObject() { FLiveCount.fetch_add(1, std::memory_order_relaxed); }
TObject::TObject(const TObject&) { FLiveCount.fetch_add(1, std::memory_order_relaxed); }
TObject::~TObject() { FLiveCount.fetch_sub(1, std::memory_order_relaxed); }

TClass TObject::StaticClass() {
  static const TMetaClass meta = orv::MakeMetaClass<TObject>("TObject", []() { return std::vector<TMember>{}; });
  return &meta;
}

AnsiString TObject::ClassName() const { return ClassType()->ClassName(); }

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

void* TObject::MethodAddress(const AnsiString& name) const {
  const TMethodEntry* m = FindMethodEntry(ClassType(), name);
  return m ? reinterpret_cast<void*>(m->Code) : nullptr;
}

AnsiString TObject::MethodName(void* code) const {
  const TMethodEntry* m = FindMethodEntryByCode(ClassType(), reinterpret_cast<void (*)()>(code));
  return m ? m->Name : AnsiString();
}

void* TObject::FieldAddress(const AnsiString& name) const {
  const TFieldEntry* f = FindFieldEntry(ClassType(), name);
  return f ? f->Address(const_cast<TObject*>(this)) : nullptr;
}

HRESULT TObject::QueryInterface(const TGUID& iid, void** obj) {
  if (auto caster = orv::FindInterfaceCaster(iid)) {
    if (void* p = caster(this)) {
      if (obj) *obj = p;
      return S_OK;
    }
  }
  if (obj) *obj = nullptr;
  return E_NOINTERFACE;
}

ORV_REGISTER(TInterfacedObject)

// ---------------------------------------------------------------------------

TMetaClass::TMetaClass(const char* name, TClass parent, std::vector<orv::Factory> factories,
                       TObject* (*prototype)(), MembersFn members, std::uint32_t familyTraits)
    : FName(name),
      FParent(parent),
      FDepth(parent ? parent->FDepth + 1 : 0),
      FFactories(std::move(factories)),
      FPrototypeFactory(prototype),
      FMembers(members),
      FFamilyTraits(familyTraits) {}

bool TMetaClass::ClassNameIs(const AnsiString& name) const { return SameText(FName, name); }

// The signatures of one program are one object each, so the addresses
// decide at once; type information compares by name only when that fails
// (signatures met across shared objects), and a name compare costs a
// string compare for every signature passed.
void (*TMetaClass::FindFactory(const std::type_info& sig) const)() {
  for (const auto& f : FFactories)
    if (f.Signature == &sig) return f.Fn;
  for (const auto& f : FFactories)
    if (*f.Signature == sig) return f.Fn;
  return nullptr;
}

const TObject* TMetaClass::ClassMethods() const {
  std::call_once(FPrototypeOnce, [this] {
    if (FPrototypeFactory) FPrototype = FPrototypeFactory();
  });
  if (!FPrototype) orv::ThrowAbstractError(this);
  return FPrototype;
}

const TTypeInfo* TMetaClass::ClassInfo() const {
  std::call_once(FInfoOnce, [this] {
    auto* info = new TTypeInfo;
    info->Kind = tkClass;
    info->Name = FName;
    info->ClassType = this;
    FInfo = info;
  });
  return FInfo;
}

namespace orv {

void ThrowAbstractError(TClass cls) {
  throw EAbstractError("Abstract error: " + (cls ? cls->ClassName() : AnsiString("?")));
}

void ThrowInvalidCast(TClass from, TClass to) {
  throw EInvalidCast("Invalid class typecast: " + from->ClassName() + " is not a " + to->ClassName());
}

const char* UnqualifiedName(const char* name) {
  const char* last = name;
  for (const char* p = name; *p; ++p)
    if (p[0] == ':' && p[1] == ':') last = p + 2;
  return last;
}

namespace {
std::map<TGUID, InterfaceCaster, bool (*)(const TGUID&, const TGUID&)>& InterfaceTable() {
  static std::map<TGUID, InterfaceCaster, bool (*)(const TGUID&, const TGUID&)> table(
      [](const TGUID& a, const TGUID& b) { return std::memcmp(&a, &b, sizeof(TGUID)) < 0; });
  return table;
}
}  // namespace

bool RegisterInterface(const TGUID& iid, InterfaceCaster caster) {
  InterfaceTable()[iid] = caster;
  return true;
}

InterfaceCaster FindInterfaceCaster(const TGUID& iid) {
  auto& t = InterfaceTable();
  auto it = t.find(iid);
  return it == t.end() ? nullptr : it->second;
}

}  // namespace orv

bool Supports(TObject* obj, const TGUID& iid, void** out) {
  void* tmp = nullptr;
  bool ok = obj && obj->QueryInterface(iid, &tmp) == S_OK;
  if (out) *out = ok ? tmp : nullptr;
  return ok;
}

// ---------------------------------------------------------------------------
// Class registry.

namespace {

std::map<AnsiString, TClass>& Registry() {
  static std::map<AnsiString, TClass> registry;
  return registry;
}

}  // namespace

void RegisterClass(TClass cls) {
  if (!cls) return;
  Registry()[UpperCase(cls->ClassName())] = cls;
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
  if (!cls) return;
  auto& r = Registry();
  auto it = r.find(UpperCase(cls->ClassName()));
  if (it != r.end() && it->second == cls) r.erase(it);
}

TClass GetClass(const AnsiString& name) {
  auto& r = Registry();
  auto it = r.find(UpperCase(name));
  return it == r.end() ? nullptr : it->second;
}

TClass FindClass(const AnsiString& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class %s not found", {name});
  return c;
}

void StartClassGroup(TClass) {}
void GroupDescendentsWith(TClass, TClass) {}
TClass ActivateClassGroup(TClass cls) { return cls; }
