// Type information of published members: property, method and field tables
// per class, type descriptions, and the functions that read and write a
// property by name (layouts and the property storage go through them, so a
// setter's "compare, then notify" holds for them too).
//
// A class publishes its members with one registration line in its .cpp:
//
//   ORV_REGISTER(TFoo,
//     ORV_PROP(Caption),                  // GetCaption / SetCaption
//     ORV_PROP(Width).Default(64),
//     ORV_PROP(Visible).Default(true).StoredBy<&TFoo::IsVisibleStored>(),
//     ORV_PROP_RO(Font),                  // sub-object, read through
//     ORV_EVENT(OnClick),                 // public Event<...> member
//     ORV_METHOD(ButtonClick),            // bindable by name from layouts
//     ORV_FIELD(Button1))                 // set by name when a layout loads
//
// Enumerations declare their name table with the enum itself:
//   ORV_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Sets.h"

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong, otSQuad, otUQuad };

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  AnsiString Name;
  // Ordinal kinds.
  TOrdType OrdType = otSLong;
  Int64 MinValue = 0;
  Int64 MaxValue = 0;
  // tkEnumeration: the identifiers by ordinal value.
  std::vector<AnsiString> EnumNames;
  // tkSet: the element type.
  const TTypeInfo* CompType = nullptr;
  // tkFloat.
  TFloatType FloatType = ftDouble;
  // tkClass.
  TClass ClassType = nullptr;
  // tkMethod: the handler signature.
  const std::type_info* MethodSignature = nullptr;
  // Integer types with named constants (colours, cursors): both or neither.
  bool (*IdentToInt)(const AnsiString& ident, Int64& value) = nullptr;
  bool (*IntToIdent)(Int64 value, AnsiString& ident) = nullptr;
};

// Ordinal properties without a default are always stored.
constexpr Int64 NoDefault = static_cast<Int64>(static_cast<Integer>(0x80000000u));

struct TPropInfo {
  AnsiString Name;
  const TTypeInfo* PropType = nullptr;
  TClass Owner = nullptr;  // the class that publishes it
  Int64 DefaultValue = NoDefault;
  bool StoredConst = true;
  bool (*StoredFn)(const TObject*) = nullptr;

  // Accessors by kind; the ones that do not apply are null, and a
  // read-only property has no setter.
  Int64 (*GetOrd)(const TObject*) = nullptr;
  void (*SetOrd)(TObject*, Int64) = nullptr;
  Extended (*GetFloat)(const TObject*) = nullptr;
  void (*SetFloat)(TObject*, Extended) = nullptr;
  Currency (*GetCurr)(const TObject*) = nullptr;
  void (*SetCurr)(TObject*, Currency) = nullptr;
  AnsiString (*GetStr)(const TObject*) = nullptr;
  void (*SetStr)(TObject*, const AnsiString&) = nullptr;
  WideString (*GetWStr)(const TObject*) = nullptr;
  void (*SetWStr)(TObject*, const WideString&) = nullptr;
  TObject* (*GetObj)(const TObject*) = nullptr;
  void (*SetObj)(TObject*, TObject*) = nullptr;
  TMethod (*GetMethod)(const TObject*) = nullptr;
  void (*SetMethod)(TObject*, const TMethod&) = nullptr;
  // Any other value type (Variant): reads into / writes from a value of the
  // property's own C++ type.
  void (*GetAny)(const TObject*, void* out) = nullptr;
  void (*SetAny)(TObject*, const void* in) = nullptr;

  bool IsWritable() const {
    return SetOrd || SetFloat || SetCurr || SetStr || SetWStr || SetObj || SetMethod || SetAny;
  }

  // Builders used in registration lines.
  TPropInfo& Default(Int64 v) { DefaultValue = v; return *this; }
  TPropInfo& Stored(bool v) { StoredConst = v; return *this; }
  template <auto F>
  TPropInfo& StoredBy();
  TPropInfo& As(const TTypeInfo* type) { PropType = type; return *this; }
};

struct TMethodEntry {
  AnsiString Name;
  void (*Code)() = nullptr;  // the Event thunk for this method
  const std::type_info* Signature = nullptr;
  void* (*DataOf)(TObject*) = nullptr;  // the object as the method's class
};

struct TFieldEntry {
  AnsiString Name;
  TClass FieldClass = nullptr;
  TObject* (*Get)(const TObject*) = nullptr;
  void (*Set)(TObject*, TObject*) = nullptr;  // checks the value's class
  void* (*Address)(TObject*) = nullptr;
};

struct TMember {
  enum Kind { mkProperty, mkMethod, mkField } MemberKind;
  TPropInfo Prop;
  TMethodEntry MethodEntry;
  TFieldEntry Field;

  TMember(TPropInfo p) : MemberKind(mkProperty), Prop(std::move(p)) {}
  TMember(TMethodEntry m) : MemberKind(mkMethod), MethodEntry(std::move(m)) {}
  TMember(TFieldEntry f) : MemberKind(mkField), Field(std::move(f)) {}
};

// ---------------------------------------------------------------------------
// Type descriptions of C++ types: TypeInfo<T>().

namespace orv {
const TTypeInfo* MakeOrdinalInfo(TTypeKind kind, const char* name, TOrdType ord, Int64 min, Int64 max);
const TTypeInfo* MakeFloatInfo(const char* name, TFloatType ft);
const TTypeInfo* MakeSimpleInfo(TTypeKind kind, const char* name);
TTypeInfo MakeEnumInfo(const char* name, const char* idents);
const TTypeInfo* MakeMethodInfo(const std::type_info& sig);
TTypeInfo MakeSetInfo(const TTypeInfo* element);
}  // namespace orv

inline const TTypeInfo* TypeInfoOf(bool*) {
  static const TTypeInfo info = orv::MakeEnumInfo("Boolean", "False, True");
  return &info;
}
inline const TTypeInfo* TypeInfoOf(char*) { return orv::MakeOrdinalInfo(tkChar, "Char", otUByte, 0, 255); }
inline const TTypeInfo* TypeInfoOf(char16_t*) { return orv::MakeOrdinalInfo(tkWChar, "WideChar", otUWord, 0, 65535); }
inline const TTypeInfo* TypeInfoOf(std::int8_t*) { return orv::MakeOrdinalInfo(tkInteger, "ShortInt", otSByte, -128, 127); }
inline const TTypeInfo* TypeInfoOf(std::uint8_t*) { return orv::MakeOrdinalInfo(tkInteger, "Byte", otUByte, 0, 255); }
inline const TTypeInfo* TypeInfoOf(std::int16_t*) { return orv::MakeOrdinalInfo(tkInteger, "SmallInt", otSWord, -32768, 32767); }
inline const TTypeInfo* TypeInfoOf(std::uint16_t*) { return orv::MakeOrdinalInfo(tkInteger, "Word", otUWord, 0, 65535); }
inline const TTypeInfo* TypeInfoOf(std::int32_t*) {
  return orv::MakeOrdinalInfo(tkInteger, "Integer", otSLong, INT32_MIN, INT32_MAX);
}
inline const TTypeInfo* TypeInfoOf(std::uint32_t*) { return orv::MakeOrdinalInfo(tkInteger, "Cardinal", otULong, 0, UINT32_MAX); }
inline const TTypeInfo* TypeInfoOf(std::int64_t*) { return orv::MakeOrdinalInfo(tkInt64, "Int64", otSQuad, INT64_MIN, INT64_MAX); }
inline const TTypeInfo* TypeInfoOf(float*) { return orv::MakeFloatInfo("Single", ftSingle); }
inline const TTypeInfo* TypeInfoOf(double*) { return orv::MakeFloatInfo("Double", ftDouble); }
inline const TTypeInfo* TypeInfoOf(Currency*) { return orv::MakeFloatInfo("Currency", ftCurr); }
inline const TTypeInfo* TypeInfoOf(TDateTime*) { return orv::MakeFloatInfo("TDateTime", ftDouble); }
inline const TTypeInfo* TypeInfoOf(AnsiString*) { return orv::MakeSimpleInfo(tkLString, "AnsiString"); }
inline const TTypeInfo* TypeInfoOf(WideString*) { return orv::MakeSimpleInfo(tkWString, "WideString"); }

template <class C>
  requires std::is_base_of_v<TObject, C>
const TTypeInfo* TypeInfoOf(C**) {
  return C::StaticClass()->ClassInfo();
}

template <class Sig>
const TTypeInfo* TypeInfoOf(Event<Sig>*) {
  return orv::MakeMethodInfo(typeid(Sig));
}

template <class T>
const TTypeInfo* TypeInfo() {
  return TypeInfoOf(static_cast<std::remove_cvref_t<T>*>(nullptr));
}

template <class E, std::size_t N>
const TTypeInfo* TypeInfoOf(Set<E, N>*) {
  static const TTypeInfo info = orv::MakeSetInfo(TypeInfo<E>());
  return &info;
}

// Declares an enumeration with its name table. The enumerators keep their
// own spellings in the enclosing scope.
#define ORV_ENUM(Name, ...)                                                         \
  enum Name : int { __VA_ARGS__ };                                                  \
  inline const TTypeInfo* TypeInfoOf(Name*) {                                       \
    static const TTypeInfo orv_info = ::orv::MakeEnumInfo(#Name, #__VA_ARGS__);     \
    return &orv_info;                                                               \
  }

// A name table for an enumeration declared elsewhere (same scope as it).
#define ORV_ENUM_INFO(Name, ...)                                                    \
  inline const TTypeInfo* TypeInfoOf(Name*) {                                       \
    static const TTypeInfo orv_info = ::orv::MakeEnumInfo(#Name, #__VA_ARGS__);     \
    return &orv_info;                                                               \
  }

// ---------------------------------------------------------------------------
// Building member tables.

namespace orv {

template <class T>
inline constexpr bool IsEvent = false;
template <class S>
inline constexpr bool IsEvent<Event<S>> = true;

template <class T>
inline constexpr bool IsSet = false;
template <class E, std::size_t N>
inline constexpr bool IsSet<Set<E, N>> = N <= 64;

template <class T>
concept ObjectPointer = std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>;

template <class V>
Int64 ToOrd(const V& v) {
  if constexpr (IsSet<V>)
    return static_cast<Int64>(v.ToBits());
  else
    return static_cast<Int64>(v);
}
template <class V>
V FromOrd(Int64 v) {
  if constexpr (IsSet<V>)
    return V::FromBits(static_cast<std::uint64_t>(v));
  else
    return static_cast<V>(v);
}

// Reads a property value through a getter member function or a data member.
template <class Self, auto G>
decltype(auto) Read(const TObject* obj) {
  const Self* self = static_cast<const Self*>(obj);
  if constexpr (std::is_member_function_pointer_v<decltype(G)>)
    return (const_cast<Self*>(self)->*G)();
  else
    return (self->*G);
}
template <class Self, auto S, class V>
void Write(TObject* obj, V&& v) {
  Self* self = static_cast<Self*>(obj);
  if constexpr (std::is_member_function_pointer_v<decltype(S)>)
    (self->*S)(std::forward<V>(v));
  else
    (self->*S) = std::forward<V>(v);
}

template <class Self, auto G>
using PropValue = std::remove_cvref_t<decltype(Read<Self, G>(nullptr))>;

template <class Self, auto G, auto S>
TPropInfo MakeProp(const char* name) {
  using V = PropValue<Self, G>;
  constexpr bool writable = !std::is_same_v<decltype(S), std::nullptr_t>;
  TPropInfo p;
  p.Name = name;
  p.PropType = TypeInfo<V>();
  p.Owner = Self::StaticClass();
  if constexpr (std::is_same_v<V, bool> || std::is_integral_v<V> || std::is_enum_v<V> || IsSet<V>) {
    p.GetOrd = [](const TObject* o) -> Int64 { return ToOrd<V>(Read<Self, G>(o)); };
    if constexpr (writable) p.SetOrd = [](TObject* o, Int64 v) { Write<Self, S>(o, FromOrd<V>(v)); };
  } else if constexpr (std::is_same_v<V, Currency>) {
    p.GetCurr = [](const TObject* o) -> Currency { return Read<Self, G>(o); };
    p.GetFloat = [](const TObject* o) -> Extended {
      return static_cast<Extended>(Read<Self, G>(o).Value) / Currency::Scale;
    };
    if constexpr (writable) {
      p.SetCurr = [](TObject* o, Currency v) { Write<Self, S>(o, v); };
      // A float reaches a Currency as every Currency conversion does:
      // halves to even, EOverflow for what it cannot hold (NaN included).
      p.SetFloat = [](TObject* o, Extended v) { Write<Self, S>(o, CurrFromDouble(v)); };
    }
  } else if constexpr (std::is_floating_point_v<V> || std::is_same_v<V, TDateTime>) {
    p.GetFloat = [](const TObject* o) -> Extended { return static_cast<double>(Read<Self, G>(o)); };
    if constexpr (writable) p.SetFloat = [](TObject* o, Extended v) { Write<Self, S>(o, V(v)); };
  } else if constexpr (std::is_same_v<V, AnsiString>) {
    p.GetStr = [](const TObject* o) -> AnsiString { return Read<Self, G>(o); };
    if constexpr (writable) p.SetStr = [](TObject* o, const AnsiString& v) { Write<Self, S>(o, v); };
  } else if constexpr (std::is_same_v<V, WideString>) {
    p.GetWStr = [](const TObject* o) -> WideString { return Read<Self, G>(o); };
    if constexpr (writable) p.SetWStr = [](TObject* o, const WideString& v) { Write<Self, S>(o, v); };
  } else if constexpr (ObjectPointer<V>) {
    p.GetObj = [](const TObject* o) -> TObject* { return Read<Self, G>(o); };
    if constexpr (writable)
      p.SetObj = [](TObject* o, TObject* v) {
        using C = std::remove_pointer_t<V>;
        Write<Self, S>(o, As<C>(v));
      };
  } else if constexpr (IsEvent<V>) {
    p.GetMethod = [](const TObject* o) -> TMethod { return Read<Self, G>(o).Method(); };
    if constexpr (writable) p.SetMethod = [](TObject* o, const TMethod& m) { Write<Self, S>(o, V::FromMethod(m)); };
  } else {
    p.GetAny = [](const TObject* o, void* out) { *static_cast<V*>(out) = Read<Self, G>(o); };
    if constexpr (writable) p.SetAny = [](TObject* o, const void* in) { Write<Self, S>(o, *static_cast<const V*>(in)); };
  }
  return p;
}

template <class Self, auto M>
TMethodEntry MakeMethod(const char* name) {
  using Traits = MemberTraits<M>;
  using E = Event<typename Traits::Signature>;
  TMethodEntry m;
  m.Name = name;
  m.Code = E::template Bind<M>(nullptr).Method().Code;
  m.Signature = &typeid(typename Traits::Signature);
  m.DataOf = [](TObject* o) -> void* { return static_cast<typename Traits::Class*>(static_cast<Self*>(o)); };
  return m;
}

template <class Self, auto F>
TFieldEntry MakeField(const char* name) {
  using P = std::remove_cvref_t<decltype(std::declval<Self&>().*F)>;
  static_assert(ObjectPointer<P>, "a published field holds an object pointer");
  using C = std::remove_pointer_t<P>;
  TFieldEntry f;
  f.Name = name;
  f.FieldClass = C::StaticClass();
  f.Get = [](const TObject* o) -> TObject* { return static_cast<const Self*>(o)->*F; };
  f.Set = [](TObject* o, TObject* v) { static_cast<Self*>(o)->*F = As<C>(v); };
  f.Address = [](TObject* o) -> void* { return &(static_cast<Self*>(o)->*F); };
  return f;
}

template <class T>
TMetaClass MakeMetaClass(const char* name, TMetaClass::MembersFn members) {
  // A metaclass's parent is its class's C++ base: what a class reference
  // makes, and what a class test answers, is then an object of that class.
  if constexpr (!std::is_same_v<T, TObject>)
    static_assert(std::is_same_v<typename T::orv_self, T> && std::is_base_of_v<typename T::inherited, T>,
                  "ORV_CLASS must name the class itself and its base");
  std::uint32_t traits = 0;
  if constexpr (requires { T::template FamilyTraitsOf<T>(); }) traits = T::template FamilyTraitsOf<T>();
  return TMetaClass(UnqualifiedName(name), ParentClassOf<T>(), FactoriesOf<T>(), &MakePrototype<T>, members, traits);
}

}  // namespace orv

template <auto F>
TPropInfo& TPropInfo::StoredBy() {
  using C = typename orv::MemberTraits<F>::Class;
  StoredFn = [](const TObject* o) -> bool { return (const_cast<C*>(static_cast<const C*>(o))->*F)(); };
  return *this;
}

// A class's member table is built once, on its first use. Marked cold, the
// compiler keeps that code small and puts it with the rest of the code run
// once, out of the way of the code that runs often: a start touches every
// table of the classes its forms hold.
#define ORV_ONCE __attribute__((cold))

#define ORV_REGISTER(Self, ...)                                                         \
  TClass Self::StaticClass() {                                                          \
    static const TMetaClass orv_meta = ::orv::MakeMetaClass<Self>(#Self, []() ORV_ONCE { \
      using ThisClass = Self;                                                           \
      (void)sizeof(ThisClass);                                                          \
      return std::vector<TMember>{__VA_ARGS__};                                         \
    });                                                                                 \
    return &orv_meta;                                                                   \
  }

#define ORV_PROP(Name) ::orv::MakeProp<ThisClass, &ThisClass::Get##Name, &ThisClass::Set##Name>(#Name)
#define ORV_PROP_RO(Name) ::orv::MakeProp<ThisClass, &ThisClass::Get##Name, nullptr>(#Name)
#define ORV_PROP_RW(Name, Getter, Setter) ::orv::MakeProp<ThisClass, &ThisClass::Getter, &ThisClass::Setter>(#Name)
#define ORV_EVENT(Name) ::orv::MakeProp<ThisClass, &ThisClass::Name, &ThisClass::Name>(#Name)
#define ORV_METHOD(Name) ::orv::MakeMethod<ThisClass, &ThisClass::Name>(#Name)
#define ORV_FIELD(Name) ::orv::MakeField<ThisClass, &ThisClass::Name>(#Name)

// ---------------------------------------------------------------------------
// Lookups. Property names compare without regard to ASCII case (SameText).

using TPropList = std::vector<const TPropInfo*>;

// Every published property, the inherited ones first, in declaration order;
// a property republished by a descendant keeps its first place.
const TPropList& GetPropList(TClass cls);
inline const TPropList& GetPropList(const TObject* obj) { return GetPropList(obj->ClassType()); }
const TPropInfo* GetPropInfo(TClass cls, const AnsiString& name);
inline const TPropInfo* GetPropInfo(const TObject* obj, const AnsiString& name) {
  return GetPropInfo(obj->ClassType(), name);
}
bool IsPublishedProp(const TObject* obj, const AnsiString& name);
bool PropIsType(const TObject* obj, const AnsiString& name, TTypeKind kind);
TTypeKind PropType(const TObject* obj, const AnsiString& name);

const TMethodEntry* FindMethodEntry(TClass cls, const AnsiString& name);
const TMethodEntry* FindMethodEntryByCode(TClass cls, void (*code)());
const TFieldEntry* FindFieldEntry(TClass cls, const AnsiString& name);
std::vector<const TFieldEntry*> GetFieldList(TClass cls);

// Get/Set by property. Each raises EPropertyError when the property is of
// another kind or, for a setter, read-only.
Int64 GetOrdProp(const TObject* obj, const TPropInfo* prop);
void SetOrdProp(TObject* obj, const TPropInfo* prop, Int64 value);
AnsiString GetEnumProp(const TObject* obj, const TPropInfo* prop);
void SetEnumProp(TObject* obj, const TPropInfo* prop, const AnsiString& value);
AnsiString GetSetProp(const TObject* obj, const TPropInfo* prop, bool brackets = false);
void SetSetProp(TObject* obj, const TPropInfo* prop, const AnsiString& value);
Extended GetFloatProp(const TObject* obj, const TPropInfo* prop);
void SetFloatProp(TObject* obj, const TPropInfo* prop, Extended value);
AnsiString GetStrProp(const TObject* obj, const TPropInfo* prop);
void SetStrProp(TObject* obj, const TPropInfo* prop, const AnsiString& value);
WideString GetWideStrProp(const TObject* obj, const TPropInfo* prop);
void SetWideStrProp(TObject* obj, const TPropInfo* prop, const WideString& value);
Int64 GetInt64Prop(const TObject* obj, const TPropInfo* prop);
void SetInt64Prop(TObject* obj, const TPropInfo* prop, Int64 value);
TObject* GetObjectProp(const TObject* obj, const TPropInfo* prop);
void SetObjectProp(TObject* obj, const TPropInfo* prop, TObject* value);
TMethod GetMethodProp(const TObject* obj, const TPropInfo* prop);
void SetMethodProp(TObject* obj, const TPropInfo* prop, const TMethod& value);
bool IsStoredProp(const TObject* obj, const TPropInfo* prop);

// The same by name; an unknown name raises EPropertyError.
Int64 GetOrdProp(const TObject* obj, const AnsiString& name);
void SetOrdProp(TObject* obj, const AnsiString& name, Int64 value);
AnsiString GetEnumProp(const TObject* obj, const AnsiString& name);
void SetEnumProp(TObject* obj, const AnsiString& name, const AnsiString& value);
AnsiString GetSetProp(const TObject* obj, const AnsiString& name, bool brackets = false);
void SetSetProp(TObject* obj, const AnsiString& name, const AnsiString& value);
Extended GetFloatProp(const TObject* obj, const AnsiString& name);
void SetFloatProp(TObject* obj, const AnsiString& name, Extended value);
AnsiString GetStrProp(const TObject* obj, const AnsiString& name);
void SetStrProp(TObject* obj, const AnsiString& name, const AnsiString& value);
WideString GetWideStrProp(const TObject* obj, const AnsiString& name);
void SetWideStrProp(TObject* obj, const AnsiString& name, const WideString& value);
Int64 GetInt64Prop(const TObject* obj, const AnsiString& name);
void SetInt64Prop(TObject* obj, const AnsiString& name, Int64 value);
TObject* GetObjectProp(const TObject* obj, const AnsiString& name);
void SetObjectProp(TObject* obj, const AnsiString& name, TObject* value);
TMethod GetMethodProp(const TObject* obj, const AnsiString& name);
void SetMethodProp(TObject* obj, const AnsiString& name, const TMethod& value);

// Enumeration and set names. GetEnumValue answers -1 for an unknown name.
AnsiString GetEnumName(const TTypeInfo* type, Int64 value);
Integer GetEnumValue(const TTypeInfo* type, const AnsiString& name);
AnsiString SetToString(const TTypeInfo* setType, Int64 value, bool brackets = false);
Int64 StringToSet(const TTypeInfo* setType, const AnsiString& value);  // EPropertyConvertError

// Binds a published method of `target` by name to an event property of
// `obj`; the handler's signature must match the event's.
bool BindMethodByName(TObject* obj, const TPropInfo* prop, TObject* target, const AnsiString& methodName);
