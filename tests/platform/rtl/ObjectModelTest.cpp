#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

namespace {

ORV_ENUM(TShapeKind, skCircle, skSquare, skTriangle)

class TShape : public TObject {
  ORV_CLASS(TShape, TObject)
 public:
  TShape() = default;
  virtual AnsiString Describe() const { return "shape"; }
  Integer GetSize() const { return FSize; }
  void SetSize(Integer v) {
    if (v == FSize) return;
    FSize = v;
    ++Changes;
  }
  TShapeKind GetKind() const { return FKind; }
  void SetKind(TShapeKind v) { FKind = v; }
  Set<TShapeKind> GetAllowed() const { return FAllowed; }
  void SetAllowed(Set<TShapeKind> v) { FAllowed = v; }
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  TNotifyEvent OnChange;
  int Changes = 0;

 private:
  Integer FSize = 0;
  TShapeKind FKind = skCircle;
  Set<TShapeKind> FAllowed;
  AnsiString FCaption;
};

class TCircle : public TShape {
  ORV_CLASS(TCircle, TShape)
 public:
  TCircle() = default;
  AnsiString Describe() const override { return "circle"; }
  void Clicked(TObject*) { ++Clicks; }
  int Clicks = 0;
};

class TPriceTag : public TObject {
  ORV_CLASS(TPriceTag, TObject)
 public:
  TPriceTag() = default;
  Currency GetPrice() const { return FPrice; }
  void SetPrice(Currency v) { FPrice = v; }

 private:
  Currency FPrice;
};

ORV_REGISTER(TPriceTag, ORV_PROP(Price))
ORV_REGISTER(TShape, ORV_PROP(Size).Default(0), ORV_PROP(Kind), ORV_PROP(Allowed), ORV_PROP(Caption),
             ORV_EVENT(OnChange))
ORV_REGISTER(TCircle, ORV_METHOD(Clicked))

}  // namespace

TEST(ObjectModel, MetaclassKnowsItsFamily) {
  TClass c = TCircle::StaticClass();
  EXPECT_EQ(c->ClassName(), "TCircle");
  EXPECT_EQ(c->ClassParent(), TShape::StaticClass());
  EXPECT_TRUE(c->InheritsFrom(TObject::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(c));
  EXPECT_TRUE(c->ClassNameIs("tcircle"));

  TObject* obj = c->Create();
  EXPECT_EQ(obj->ClassType(), c);
  EXPECT_EQ(static_cast<TShape*>(obj)->Describe(), "circle");
  obj->Free();
}

TEST(ObjectModel, ClassMethodsDispatchThroughTheReference) {
  TClassRef<TShape> ref = TCircle::StaticClass();
  EXPECT_EQ(ref->Describe(), "circle");
  EXPECT_THROW(TClassRef<TCircle>{TShape::StaticClass()}, EInvalidCast);
}

TEST(ObjectModel, MissingConstructorIsAnAbstractError) {
  EXPECT_THROW(TCircle::StaticClass()->Create(static_cast<TComponent*>(nullptr)), EAbstractError);
}

TEST(TypeInformation, PropertiesReadAndWriteThroughAccessors) {
  TCircle c;
  SetOrdProp(&c, "Size", 5);
  SetOrdProp(&c, "size", 5);
  EXPECT_EQ(c.GetSize(), 5);
  EXPECT_EQ(c.Changes, 1);  // the setter compared before notifying
  SetEnumProp(&c, "Kind", "skTriangle");
  EXPECT_EQ(GetEnumProp(&c, "Kind"), "skTriangle");
  SetSetProp(&c, "Allowed", "[skCircle, skTriangle]");
  EXPECT_EQ(GetSetProp(&c, "Allowed", true), "[skCircle,skTriangle]");
  EXPECT_THROW(SetSetProp(&c, "Allowed", "[skOval]"), EPropertyConvertError);
  EXPECT_THROW(GetOrdProp(&c, "Missing"), EPropertyError);
  EXPECT_THROW(GetStrProp(&c, "Size"), EPropertyError);

  const TPropList& props = GetPropList(&c);
  ASSERT_EQ(props.size(), 5u);
  EXPECT_EQ(props[0]->Name, "Size");
  EXPECT_EQ(props[4]->PropType->Kind, tkMethod);
}

// A Currency property written as a float (stored settings read back) gets
// what a Currency conversion gives: halves to even on the exact binary
// value, and an error for what Currency cannot hold. So it does through
// the property's own float setter, which code that walks the published
// properties calls directly.
TEST(TypeInformation, CurrencyPropertiesTakeFloatsAsCurrencyConversionsDo) {
  const TPropInfo* price = GetPropInfo(TPriceTag::StaticClass(), "Price");
  ASSERT_NE(price, nullptr);
  using Setter = void (*)(TPriceTag&, double);
  const Setter setters[] = {[](TPriceTag& ATag, double AValue) { SetFloatProp(&ATag, "Price", AValue); },
                            [](TPriceTag& ATag, double AValue) {
                              GetPropInfo(TPriceTag::StaticClass(), "Price")->SetFloat(&ATag, AValue);
                            }};
  for (Setter set : setters) {
    TPriceTag tag;
    set(tag, 12.5);
    EXPECT_EQ(tag.GetPrice().Value, 125000);
    EXPECT_EQ(GetFloatProp(&tag, "Price"), 12.5);
    set(tag, 0.03125);  // 312.5 units, exactly
    EXPECT_EQ(tag.GetPrice().Value, 312);
    set(tag, -0.09375);
    EXPECT_EQ(tag.GetPrice().Value, -938);
    set(tag, 7);
    for (double bad : {1e300, -1e16, std::numeric_limits<double>::infinity(), std::nan("")})
      EXPECT_THROW(set(tag, bad), EOverflow) << bad;
    EXPECT_EQ(tag.GetPrice().Value, 70000);  // kept as it was
  }
}

TEST(TypeInformation, EventsBindByMethodName) {
  TCircle c;
  EXPECT_TRUE(BindMethodByName(&c, GetPropInfo(&c, "OnChange"), &c, "clicked"));
  ASSERT_TRUE(c.OnChange.Assigned());
  c.OnChange(&c);
  EXPECT_EQ(c.Clicks, 1);
  EXPECT_EQ(c.OnChange, TNotifyEvent::Bind<&TCircle::Clicked>(&c));
  EXPECT_EQ(c.MethodName(reinterpret_cast<void*>(GetMethodProp(&c, "OnChange").Code)), "Clicked");
  EXPECT_FALSE(BindMethodByName(&c, GetPropInfo(&c, "OnChange"), &c, "Nope"));
}

TEST(Events, EqualByObjectAndMethodLambdasOnlyToThemselves) {
  TCircle a, b;
  auto ea = TNotifyEvent::Bind<&TCircle::Clicked>(&a);
  EXPECT_EQ(ea, TNotifyEvent::Bind<&TCircle::Clicked>(&a));
  EXPECT_FALSE(ea == TNotifyEvent::Bind<&TCircle::Clicked>(&b));
  int hits = 0;
  TNotifyEvent l1 = [&](TObject*) { ++hits; };
  TNotifyEvent l2 = l1;
  TNotifyEvent l3 = [&](TObject*) { ++hits; };
  EXPECT_EQ(l1, l2);
  EXPECT_FALSE(l1 == l3);
  l2(nullptr);
  EXPECT_EQ(hits, 1);
}

namespace {

class IRoll {
 public:
  virtual ~IRoll() = default;
  virtual int Roll() = 0;
};
template <int N>
class TRoller : public IRoll {
 public:
  int Roll() override { return N; }
};
class TNoMixin {};

// Forty C++ classes: circles or plain shapes, every third one rolling.
template <int N>
class TNumbered : public std::conditional_t<N % 2 == 0, TCircle, TShape>,
                  public std::conditional_t<N % 3 == 0, TRoller<N>, TNoMixin> {};

template <int... N>
std::vector<TObject*> MakeNumbered(std::integer_sequence<int, N...>) {
  return {static_cast<TObject*>(static_cast<TShape*>(New<TNumbered<N>>()))...};
}

// A circle that asks, while it is being destroyed, whether it is still
// the class made.
class TLate;
class TWatched : public TCircle {
 public:
  ~TWatched() override { SeenAsLate = DynamicCast<TLate>(this) != nullptr; }
  static inline bool SeenAsLate = true;
};
class TLate : public TWatched {};

}  // namespace

// DynamicCast keeps its answers per C++ class: every answer is the one
// dynamic_cast gives, for a class or an interface, from the first ask and
// from the kept ones, with more classes asked than it keeps answers for,
// and for an object whose class changes as it is destroyed.
TEST(ObjectModel, DynamicCastAnswersAsTheLanguageDoesForEveryClassAsked) {
  const std::vector<TObject*> objects = MakeNumbered(std::make_integer_sequence<int, 40>());
  for (int round = 0; round < 3; ++round)
    for (std::size_t i = 0; i < objects.size(); ++i) {
      TObject* o = objects[(i * 7 + static_cast<std::size_t>(round)) % objects.size()];
      EXPECT_EQ(DynamicCast<IRoll>(o), dynamic_cast<IRoll*>(o));
      EXPECT_EQ(DynamicCast<TCircle>(o), dynamic_cast<TCircle*>(o));
      EXPECT_EQ(DynamicCast<TShape>(o), dynamic_cast<TShape*>(o));
      if (IRoll* roller = DynamicCast<IRoll>(o)) {
        EXPECT_EQ(roller->Roll() % 3, 0);
      }
    }
  EXPECT_EQ(DynamicCast<IRoll>(nullptr), nullptr);
  EXPECT_EQ(Supports<IRoll>(objects[3]), dynamic_cast<IRoll*>(objects[3]));
  for (TObject* o : objects) o->Free();

  auto* late = New<TLate>();
  EXPECT_EQ(DynamicCast<TLate>(late), late);
  late->Free();
  EXPECT_FALSE(TWatched::SeenAsLate) << "in its base's destructor the object is no longer the class made";
}

// A callable an event holds lives as long as the last event that holds it,
// through copies, moves and assignments in any order, itself included.
TEST(Events, AHeldCallableLivesAsLongAsItsLastHolder) {
  struct Tracked {
    int* Alive;
    explicit Tracked(int* AAlive) : Alive(AAlive) { ++*Alive; }
    Tracked(const Tracked& o) : Alive(o.Alive) { ++*Alive; }
    ~Tracked() { --*Alive; }
  };
  int alive = 0;
  int calls = 0;
  {
    TNotifyEvent first = [t = Tracked(&alive), &calls](TObject*) { ++calls; };
    EXPECT_EQ(alive, 1);
    TNotifyEvent copy = first;
    TNotifyEvent moved = std::move(first);
    EXPECT_FALSE(first.Assigned());
    EXPECT_EQ(copy, moved);
    TNotifyEvent& itself = copy;
    copy = itself;  // an event assigned to itself keeps its callable
    first = moved;
    moved = TNotifyEvent();
    EXPECT_EQ(alive, 1) << "one callable, shared by the copies";
    TCircle circle;
    copy = TNotifyEvent::Bind<&TCircle::Clicked>(&circle);
    copy(nullptr);
    EXPECT_EQ(circle.Clicks, 1);
    first(nullptr);
    EXPECT_EQ(calls, 1);
    const TMethod untyped = first.Method();
    TNotifyEvent::FromMethod(untyped)(nullptr);
    EXPECT_EQ(calls, 2) << "the untyped form calls the same callable";
    EXPECT_EQ(TNotifyEvent::FromMethod(untyped), first);
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0) << "the last holder freed it";
}

TEST(Exceptions, FormattedMessagesAndClassNames) {
  try {
    throw EConvertError("Cannot assign a %s to a %s", {"TFont", "TBrush"});
  } catch (const Exception& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot assign a TFont to a TBrush");
    EXPECT_EQ(e.ClassName(), "EConvertError");
    EXPECT_TRUE(e.Is<Exception>());
  }
  EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
}
