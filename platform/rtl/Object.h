// The object model: TObject, metaclasses, virtual constructors, class
// methods, the class registry and interfaces.
//
// Every class of the class library derives from TObject and names its
// metaclass with one line in its body and one in its .cpp:
//
//   class TFoo : public TComponent {
//     ORV_CLASS(TFoo, TComponent)
//    public:
//     explicit TFoo(TComponent* AOwner);
//   };
//
//   ORV_REGISTER(TFoo, ORV_PROP(Caption), ORV_EVENT(OnClick))   // TypeInfo.h
//
// A metaclass (TClass) is one immutable object per class. It constructs the
// most derived class it names through the constructors that class offers
// (detected at compile time), and it answers "class methods": virtual
// member functions called on one shared, stateless prototype instance.
//
// Objects are made with New<T>(...) or through a metaclass, both of which
// run AfterConstruction once the whole object exists; a class whose set-up
// needs its own overrides of virtual functions does that set-up there, since
// a C++ constructor only sees the class being constructed. Objects are
// released with Free(), which runs BeforeDestruction first.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/rtl/Types.h"

class TObject;
class TMetaClass;
class TComponent;
class TCollection;
class TPersistent;
struct TTypeInfo;
struct TMember;
using TClass = const TMetaClass*;

using HRESULT = Integer;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

// Interface identity, written "{D1-D2-D3-D4D4-D4D4D4D4D4D4}".
struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {};

  constexpr bool operator==(const TGUID& o) const {
    if (D1 != o.D1 || D2 != o.D2 || D3 != o.D3) return false;
    for (int i = 0; i < 8; ++i)
      if (D4[i] != o.D4[i]) return false;
    return true;
  }

  static constexpr TGUID Parse(const char* s) {
    auto hex = [](char c) -> unsigned {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - 'A' + 10;
    };
    unsigned digits[32] = {};
    int n = 0;
    for (const char* p = s; *p && n < 32; ++p) {
      char c = *p;
      if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) digits[n++] = hex(c);
    }
    TGUID g;
    for (int i = 0; i < 8; ++i) g.D1 = g.D1 << 4 | digits[i];
    for (int i = 8; i < 12; ++i) g.D2 = static_cast<std::uint16_t>(g.D2 << 4 | digits[i]);
    for (int i = 12; i < 16; ++i) g.D3 = static_cast<std::uint16_t>(g.D3 << 4 | digits[i]);
    for (int i = 0; i < 8; ++i) g.D4[i] = static_cast<std::uint8_t>(digits[16 + 2 * i] << 4 | digits[17 + 2 * i]);
    return g;
  }
};

namespace orv {

// The type of the tag constructor a class may offer for its class-method
// prototype when it has no default constructor.
struct ClassMethodsTag {};

// A list of extra constructor signatures a class family offers through its
// metaclass beyond the standard ones; declare it in the family's base class:
//   using ExtraConstructors = orv::Signatures<TObject*(TProps*, TStyle*, bool)>;
template <class... Sigs>
struct Signatures {};

struct Factory {
  const std::type_info* Signature;
  void (*Fn)();
};

[[noreturn]] void ThrowAbstractError(TClass cls);
[[noreturn]] void ThrowInvalidCast(TClass from, TClass to);

}  // namespace orv

class TMetaClass {
 public:
  using MembersFn = std::vector<TMember> (*)();

  TMetaClass(const char* name, TClass parent, std::vector<orv::Factory> factories,
             TObject* (*prototype)(), MembersFn members, std::uint32_t familyTraits = 0);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  const AnsiString& ClassName() const { return FName; }
  bool ClassNameIs(const AnsiString& name) const;
  TClass ClassParent() const { return FParent; }
  bool InheritsFrom(TClass ancestor) const {
    for (TClass c = this; c; c = c->FParent)
      if (c == ancestor) return true;
    return false;
  }
  // Depth below TObject (TObject itself is 0).
  int Depth() const { return FDepth; }

  // Virtual constructors. Create() and Create(owner) cover most classes;
  // Construct<Args...> reaches any other signature, named exactly:
  //   ItemClass->Construct<TCollection*>(this).
  // A signature the class does not offer raises EAbstractError.
  TObject* Create() const { return Construct<>(); }
  TObject* Create(TComponent* AOwner) const { return Construct<TComponent*>(AOwner); }
  template <class... A>
  TObject* Construct(std::type_identity_t<A>... args) const {
    auto fn = FindFactory(typeid(TObject * (A...)));
    if (!fn) orv::ThrowAbstractError(this);
    return reinterpret_cast<TObject* (*)(A...)>(fn)(args...);
  }
  template <class... A>
  bool HasConstructor() const {
    return FindFactory(typeid(TObject * (A...))) != nullptr;
  }

  // The shared prototype on which class methods are called. Raises
  // EAbstractError for a class that offers none.
  const TObject* ClassMethods() const;

  // Published members of this class only (inherited ones live in the
  // parents); see TypeInfo.h for the lookups that walk the chain.
  MembersFn Members() const { return FMembers; }
  const TTypeInfo* ClassInfo() const;

  // Facts a class family learns about each of its classes at compile time:
  // a family base declares `template <class T> static constexpr
  // std::uint32_t FamilyTraitsOf()`, and the metaclass keeps its answer.
  std::uint32_t FamilyTraits() const { return FFamilyTraits; }

  // Lazily built caches owned by TypeInfo.cpp.
  mutable std::once_flag FTablesOnce;
  mutable const void* FTables = nullptr;

 private:
  void (*FindFactory(const std::type_info& sig) const)();

  AnsiString FName;
  TClass FParent;
  int FDepth;
  std::vector<orv::Factory> FFactories;
  TObject* (*FPrototypeFactory)();
  MembersFn FMembers;
  std::uint32_t FFamilyTraits;
  mutable std::once_flag FPrototypeOnce;
  mutable TObject* FPrototype = nullptr;
  mutable std::once_flag FInfoOnce;
  mutable const TTypeInfo* FInfo = nullptr;
};

namespace orv {
template <class T>
TObject* MakePrototype();
}  // namespace orv

class TObject {
 public:
  TObject();
  TObject(const TObject&);
  TObject& operator=(const TObject&) { return *this; }
  virtual ~TObject();

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }

  AnsiString ClassName() const;
  bool ClassNameIs(const AnsiString& name) const { return ClassType()->ClassNameIs(name); }
  TClass ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
  template <class T>
  bool Is() const {
    return ClassType()->InheritsFrom(T::StaticClass());
  }

  // Runs BeforeDestruction and deletes the object. Use the free functions
  // Free(p) and FreeAndNil(p) where the pointer may be null.
  void Free();
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  // Published methods and fields by name (TypeInfo.h has the tables).
  void* MethodAddress(const AnsiString& name) const;
  AnsiString MethodName(void* code) const;
  void* FieldAddress(const AnsiString& name) const;

  // Interface lookup by identity; the default answers every interface the
  // object's class implements. Override to delegate to an aggregate.
  virtual HRESULT QueryInterface(const TGUID& iid, void** obj);
  bool GetInterface(const TGUID& iid, void** obj) { return QueryInterface(iid, obj) == S_OK; }

  // Live TObjects in the process, for leak checks in tests.
  static Int64 LiveCount() { return FLiveCount.load(std::memory_order_relaxed); }

 protected:
  // An object is made by New<>() (which runs AfterConstruction) and goes
  // through Free() (which runs BeforeDestruction first). Plain new, delete
  // and std::unique_ptr would skip those, so outside the class family they
  // do not compile: TOwned<> (Owned.h) is the scoped owner.
  static void* operator new(std::size_t n) { return ::operator new(n); }
  static void operator delete(void* p) { ::operator delete(p); }

 private:
  template <class T, class... A>
  friend T* New(A&&... args);
  template <class T>
  friend TObject* orv::MakePrototype();

  static std::atomic<Int64> FLiveCount;
};

#define ORV_CLASS(Self, Parent)                               \
 public:                                                      \
  using inherited = Parent;                                   \
  using orv_self = Self;                                      \
  static TClass StaticClass();                                \
  TClass ClassType() const override { return StaticClass(); } \
                                                              \
 private:

// Creates an object and runs AfterConstruction.
template <class T, class... A>
T* New(A&&... args) {
  T* obj = new T(std::forward<A>(args)...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    delete obj;
    throw;
  }
  return obj;
}

inline void Free(TObject* obj) {
  if (obj) obj->Free();
}

template <class T>
void FreeAndNil(T*& obj) {
  T* tmp = obj;
  obj = nullptr;
  if (tmp) tmp->Free();
}

// dynamic_cast<T*>(obj), to a class or an interface, for code that asks
// it of many objects. A dynamic_cast walks the C++ type information and
// compares a class name for every class it passes; the answer depends only
// on the object's C++ class (where the T part lies from the TObject part),
// so each thread keeps the last answers per class and T and reuses them.
template <class T>
T* DynamicCast(TObject* obj) {
  if (!obj) return nullptr;
  struct Answer {
    const std::type_info* Class = nullptr;
    std::ptrdiff_t Offset = 0;
    bool Is = false;
  };
  static thread_local Answer answers[16];
  const std::type_info* cls = &typeid(*obj);
  Answer& answer = answers[(reinterpret_cast<std::uintptr_t>(cls) >> 4) % 16];
  if (answer.Class != cls) {
    T* t = dynamic_cast<T*>(obj);
    answer = {cls, t ? reinterpret_cast<char*>(t) - reinterpret_cast<char*>(obj) : 0, t != nullptr};
    return t;
  }
  return answer.Is ? reinterpret_cast<T*>(reinterpret_cast<char*>(obj) + answer.Offset) : nullptr;
}

// Checked downcast: null stays null; an object of another class raises
// EInvalidCast.
template <class T>
T* As(TObject* obj) {
  if (!obj) return nullptr;
  if (auto* t = DynamicCast<T>(obj)) return t;
  orv::ThrowInvalidCast(obj->ClassType(), T::StaticClass());
}

// A class reference restricted to T and its descendants ("class of T").
// Create builds an instance; -> calls T's class methods on the class's
// prototype, so virtual overrides of the referenced class answer.
template <class T>
class TClassRef {
 public:
  TClassRef() = default;
  TClassRef(std::nullptr_t) {}
  TClassRef(TClass cls) : FClass(cls) {
    if (cls && !cls->InheritsFrom(T::StaticClass())) orv::ThrowInvalidCast(cls, T::StaticClass());
  }
  template <class U>
    requires std::is_base_of_v<T, U>
  TClassRef(TClassRef<U> other) : FClass(other.Get()) {}

  TClass Get() const { return FClass; }
  operator TClass() const { return FClass; }
  explicit operator bool() const { return FClass != nullptr; }

  // The class was checked to be T's when the reference was made, so what it
  // makes is a T: no run-time type walk is needed to say so.
  const T* operator->() const { return static_cast<const T*>(FClass->ClassMethods()); }
  T* Create() const { return static_cast<T*>(FClass->Create()); }
  T* Create(TComponent* AOwner) const { return static_cast<T*>(FClass->Create(AOwner)); }
  template <class... A>
  T* Construct(std::type_identity_t<A>... args) const {
    return static_cast<T*>(FClass->template Construct<A...>(args...));
  }
  bool InheritsFrom(TClass ancestor) const { return FClass && FClass->InheritsFrom(ancestor); }
  const AnsiString& ClassName() const { return FClass->ClassName(); }

  friend bool operator==(const TClassRef& a, const TClassRef& b) { return a.FClass == b.FClass; }
  friend bool operator==(const TClassRef& a, TClass b) { return a.FClass == b; }

 private:
  TClass FClass = nullptr;
};

// The class registry used by layouts and other streams to build objects by
// class name (case-insensitive).
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
TClass GetClass(const AnsiString& name);   // null when unknown
TClass FindClass(const AnsiString& name);  // raises EClassNotFound
// Class groups are accepted over the one registry.
void StartClassGroup(TClass cls);
void GroupDescendentsWith(TClass cls, TClass anchor);
TClass ActivateClassGroup(TClass cls);

// ---------------------------------------------------------------------------
// Interfaces are abstract classes. ORV_INTERFACE gives one an identity, so
// that it can be asked for by GUID as well as by type:
//
//   class IcxFoo { public: virtual ~IcxFoo() = default; virtual void Foo() = 0; };
//   ORV_INTERFACE(IcxFoo, "{0A1B2C3D-0000-0000-0000-000000000001}")

namespace orv {
template <class I>
struct InterfaceTraits;  // specialised by ORV_INTERFACE

template <class I>
concept IdentifiedInterface = requires { InterfaceTraits<I>::IID; };

using InterfaceCaster = void* (*)(TObject*);
bool RegisterInterface(const TGUID& iid, InterfaceCaster caster);
InterfaceCaster FindInterfaceCaster(const TGUID& iid);
}  // namespace orv

#define ORV_INTERFACE(I, guid)                                                           \
  template <>                                                                            \
  struct orv::InterfaceTraits<I> {                                                       \
    static constexpr TGUID IID = TGUID::Parse(guid);                                     \
  };                                                                                     \
  inline const bool orv_interface_registered_##I = ::orv::RegisterInterface(             \
      ::orv::InterfaceTraits<I>::IID, [](TObject* o) -> void* { return DynamicCast<I>(o); });

template <class I>
constexpr const TGUID& IIDOf() {
  return orv::InterfaceTraits<I>::IID;
}

// Asks an object for an interface; null object -> false.
bool Supports(TObject* obj, const TGUID& iid, void** out = nullptr);

template <class I>
I* Supports(TObject* obj) {
  if (!obj) return nullptr;
  if constexpr (orv::IdentifiedInterface<I>) {
    void* out = nullptr;
    return obj->QueryInterface(IIDOf<I>(), &out) == S_OK ? static_cast<I*>(out) : nullptr;
  } else {
    return DynamicCast<I>(obj);
  }
}

// From one interface of an object to another of the same object.
template <class I, class J>
  requires(!std::is_base_of_v<TObject, J>)
I* Supports(J* intf) {
  return intf ? Supports<I>(dynamic_cast<TObject*>(intf)) : nullptr;
}

// Base of objects that offer interfaces without reference counting.
class TInterfacedObject : public TObject {
  ORV_CLASS(TInterfacedObject, TObject)
 public:
  Integer _AddRef() { return -1; }
  Integer _Release() { return -1; }
};

// ---------------------------------------------------------------------------
// Metaclass construction, used by ORV_REGISTER.

namespace orv {

template <class T, class... A>
TObject* Construct(A... args) {
  return New<T>(args...);
}

template <class T, class Sig>
struct FactoryFor;
template <class T, class R, class... A>
struct FactoryFor<T, R(A...)> {
  static void Add(std::vector<Factory>& out) {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, A...>)
      out.push_back({&typeid(TObject * (A...)), reinterpret_cast<void (*)()>(&Construct<T, A...>)});
  }
};

template <class T, class List>
struct ExtraFactories {
  static void Add(std::vector<Factory>&) {}
};
template <class T, class... Sigs>
struct ExtraFactories<T, Signatures<Sigs...>> {
  static void Add(std::vector<Factory>& out) { (FactoryFor<T, Sigs>::Add(out), ...); }
};

template <class T>
std::vector<Factory> FactoriesOf() {
  std::vector<Factory> out;
  FactoryFor<T, TObject*()>::Add(out);
  FactoryFor<T, TObject*(TComponent*)>::Add(out);
  FactoryFor<T, TObject*(TComponent*, bool)>::Add(out);
  FactoryFor<T, TObject*(TCollection*)>::Add(out);
  FactoryFor<T, TObject*(TPersistent*)>::Add(out);
  if constexpr (requires { typename T::ExtraConstructors; })
    ExtraFactories<T, typename T::ExtraConstructors>::Add(out);
  return out;
}

template <class T>
TObject* MakePrototype() {
  if constexpr (std::is_abstract_v<T>)
    return nullptr;
  else if constexpr (std::is_constructible_v<T, ClassMethodsTag>)
    return new T(ClassMethodsTag{});
  else if constexpr (std::is_default_constructible_v<T>)
    return new T();
  else
    return nullptr;
}

const char* UnqualifiedName(const char* name);

template <class T>
TClass ParentClassOf() {
  if constexpr (std::is_same_v<T, TObject>)
    return nullptr;
  else
    return T::inherited::StaticClass();
}

}  // namespace orv
