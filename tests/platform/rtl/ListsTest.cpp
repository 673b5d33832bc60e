#include "platform/rtl/Lists.h"

#include <cstdlib>
#include <set>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

namespace {

// Records every notification as "added a", "deleted b", "extracted c".
class TLoggingList : public TList {
 public:
  std::vector<std::string> Log;

 protected:
  void Notify(void* Ptr, TListNotification Action) override {
    static const char* names[] = {"added", "extracted", "deleted"};
    Log.push_back(std::string(names[Action]) + " " + static_cast<const char*>(Ptr));
  }
};

char A[] = "a", B[] = "b", C[] = "c", D[] = "d";

std::string Joined(const TList& list) {
  std::string s;
  for (Integer i = 0; i < list.GetCount(); ++i) s += list[i] ? static_cast<const char*>(list[i]) : "-";
  return s;
}

// Frees itself out of a shared registry list, as owned objects often do.
class TRegistered : public TObject {
 public:
  TRegistered(TList* registry, int* destroyed) : FRegistry(registry), FDestroyed(destroyed) { registry->Add(this); }
  ~TRegistered() override {
    FRegistry->Remove(this);
    ++*FDestroyed;
  }

 private:
  TList* FRegistry;
  int* FDestroyed;
};

}  // namespace

class IGreeter {
 public:
  virtual ~IGreeter() = default;
  virtual std::string Greet() = 0;
};
ORV_INTERFACE(IGreeter, "{6B1C0C52-7E11-4B8E-9E02-1D3F3A2B4C01}")

namespace {

class IPinger {
 public:
  virtual ~IPinger() = default;
  virtual int Ping() = 0;
};

class TFriendly : public TInterfacedObject, public IGreeter, public IPinger {
 public:
  std::string Greet() override { return "hello"; }
  int Ping() override { return 7; }
};

class TNotAnObject : public IGreeter {
 public:
  std::string Greet() override { return "?"; }
};

}  // namespace

TEST(List, NotifiesNonNullItemsAsTheyComeAndGo) {
  TLoggingList list;
  list.Add(A);
  list.Add(nullptr);
  list.Insert(0, B);
  list.Add(C);
  EXPECT_EQ(Joined(list), "ba-c");
  list.Put(3, D);                          // replaces c
  EXPECT_EQ(list.Extract(A), A);
  EXPECT_EQ(list.Extract(A), nullptr);     // no longer there: nothing happens
  EXPECT_EQ(list.Remove(B), 0);
  EXPECT_EQ(list.Remove(B), -1);
  list.Add(C);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_EQ(list.Log, (std::vector<std::string>{"added a", "added b", "added c", "deleted c", "added d",
                                                 "extracted a", "deleted b", "added c", "deleted c", "deleted d"}));
}

TEST(List, RearrangesWithoutNotifications) {
  TLoggingList list;
  for (char* s : {A, B, C, D}) list.Add(s);
  list.Log.clear();
  list.Move(0, 3);
  EXPECT_EQ(Joined(list), "bcda");
  list.Move(3, 1);
  EXPECT_EQ(Joined(list), "bacd");
  list.Exchange(0, 3);
  EXPECT_EQ(Joined(list), "dacb");
  list.Sort([](void* a, void* b) -> Integer { return *static_cast<char*>(a) - *static_cast<char*>(b); });
  EXPECT_EQ(Joined(list), "abcd");
  list.SetCount(6);
  list.Put(4, C);
  EXPECT_EQ(Joined(list), "abcdc-");
  EXPECT_EQ(list.IndexOf(C), 2);
  list.Pack();
  EXPECT_EQ(Joined(list), "abcdc");
  EXPECT_EQ(list.First(), A);
  EXPECT_EQ(list.Last(), C);
  EXPECT_EQ(list.Log, (std::vector<std::string>{"added c"}));
  list.SetCount(3);  // shrinking deletes from the end
  EXPECT_EQ(list.Log, (std::vector<std::string>{"added c", "deleted c", "deleted d"}));
}

TEST(List, OutOfRangeIndicesRaiseListErrors) {
  TList list;
  list.Add(A);
  auto message = [&](auto&& call) -> std::string {
    try {
      call();
    } catch (const EListError& e) {
      return e.GetMessage();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { list.Get(1); }), "List index out of bounds (1)");
  EXPECT_EQ(message([&] { list.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { list.Insert(2, B); }), "List index out of bounds (2)");
  EXPECT_EQ(message([&] { list.Move(0, 1); }), "List index out of bounds (1)");
  EXPECT_EQ(message([&] { list.Exchange(0, 5); }), "List index out of bounds (5)");
  EXPECT_EQ(message([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
  EXPECT_EQ(message([&] { list.SetCapacity(0); }), "List capacity out of bounds (0)");
  EXPECT_EQ(message([&] { list.Insert(1, B); }), "no error");  // appending at Count is allowed
  TList empty;
  EXPECT_EQ(message([&] { empty.First(); }), "List index out of bounds (0)");
  EXPECT_EQ(message([&] { empty.Last(); }), "List index out of bounds (-1)");

  // A compare function that raises leaves the list as it was.
  list.Add(C);
  EXPECT_THROW(list.Sort([](void*, void*) -> Integer { throw EListError("compare failed"); }), EListError);
  EXPECT_EQ(Joined(list), "abc");
}

TEST(List, SortIsStableAndSurvivesAnInconsistentCompare) {
  std::vector<std::pair<int, int>> items;  // key, original position
  for (int i = 0; i < 500; ++i) items.push_back({(i * 37) % 11, i});
  TList list;
  for (auto& item : items) list.Add(&item);
  list.Sort([](void* a, void* b) -> Integer {
    return static_cast<std::pair<int, int>*>(a)->first - static_cast<std::pair<int, int>*>(b)->first;
  });
  for (Integer i = 1; i < list.GetCount(); ++i) {
    auto* prev = static_cast<std::pair<int, int>*>(list[i - 1]);
    auto* cur = static_cast<std::pair<int, int>*>(list[i]);
    ASSERT_TRUE(prev->first < cur->first || (prev->first == cur->first && prev->second < cur->second));
  }
  // A compare that answers at random reorders but neither loses nor
  // duplicates an item.
  list.Sort([](void*, void*) -> Integer { return std::rand() % 3 - 1; });
  std::set<void*> seen;
  for (Integer i = 0; i < list.GetCount(); ++i) seen.insert(list[i]);
  EXPECT_EQ(seen.size(), items.size());
}

TEST(ObjectList, FreesOwnedObjectsAndHandsExtractedOnesOut) {
  Int64 live = TObject::LiveCount();
  auto* list = New<TObjectList>();
  TObject* kept = New<TObject>();
  list->Add(New<TObject>());
  list->Add(kept);
  list->Add(New<TObject>());
  EXPECT_EQ(TObject::LiveCount(), live + 4);
  list->Delete(0);                     // freed
  EXPECT_EQ(list->Extract(kept), kept);  // not freed
  list->Put(0, New<TObject>());        // the old one is freed
  EXPECT_EQ(TObject::LiveCount(), live + 3);
  list->Free();                        // frees what it still holds
  EXPECT_EQ(TObject::LiveCount(), live + 1);
  kept->Free();

  EXPECT_EQ(TObject::LiveCount(), live);

  TObjectList borrowing(false);
  TObject other;
  borrowing.Add(&other);
  Int64 before = TObject::LiveCount();
  borrowing.Clear();
  EXPECT_EQ(TObject::LiveCount(), before);  // `other` still lives
}

TEST(ObjectList, ClearCopesWithObjectsThatUnregisterThemselves) {
  int destroyed = 0;
  TList registry;
  {
    TObjectList owned;  // destroyed by its destructor, not by Free
    for (int i = 0; i < 5; ++i) owned.Add(New<TRegistered>(&registry, &destroyed));
    // Each object also removes itself from its owner while being freed.
    EXPECT_EQ(registry.GetCount(), 5);
  }
  EXPECT_EQ(destroyed, 5);
  EXPECT_EQ(registry.GetCount(), 0);
}

TEST(InterfaceList, HoldsObjectsByIdentityAndAnswersTheirInterfaces) {
  TFriendly a, b;
  TInterfaceList list;
  list.Add(static_cast<IGreeter*>(&a));
  list.Add(&b);
  // Another interface of the same object finds the same entry.
  EXPECT_EQ(list.IndexOf(static_cast<IPinger*>(&a)), 0);
  EXPECT_EQ(list.Get<IGreeter>(1)->Greet(), "hello");
  EXPECT_EQ(list.Get<IPinger>(0)->Ping(), 7);
  EXPECT_EQ(list.Remove(static_cast<IPinger*>(&b)), 1);
  EXPECT_EQ(list.GetCount(), 1);
  TNotAnObject stray;
  EXPECT_THROW(list.Add(static_cast<IGreeter*>(&stray)), EInvalidCast);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_THROW(list.Get(3), EListError);
}

TEST(IntegerList, KeepsValuesInOrderWithTheListsIndexRules) {
  TIntegerList list;
  for (Integer v : {5, -3, 9, 5}) list.Add(v);
  EXPECT_EQ(list.IndexOf(5), 0);
  EXPECT_EQ(list.Remove(5), 0);
  list.Insert(1, 42);
  list.Move(0, 3);
  EXPECT_EQ((std::vector<Integer>{list[0], list[1], list[2], list[3]}), (std::vector<Integer>{42, 9, 5, -3}));
  list.Sort();
  EXPECT_EQ(list.First(), -3);
  EXPECT_EQ(list.Last(), 42);
  list.SetCount(6);
  EXPECT_EQ(list[5], 0);
  EXPECT_THROW(list.Get(6), EListError);
  EXPECT_THROW(list.Insert(-1, 1), EListError);
  EXPECT_THROW(list.SetCapacity(2), EListError);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}
