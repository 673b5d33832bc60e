#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypeInfo.h"

namespace {

class TRow : public TCollectionItem {
  ORV_CLASS(TRow, TCollectionItem)
 public:
  explicit TRow(TCollection* Collection) : TCollectionItem(Collection) {}
  AnsiString GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& v) {
    if (v == FCaption) return;
    FCaption = v;
    Changed(false);
  }
  AnsiString GetDisplayName() override { return FCaption.empty() ? inherited::GetDisplayName() : FCaption; }

 protected:
  void DoAssign(TPersistent* Source) override {
    if (auto* r = dynamic_cast<TRow*>(Source)) {
      SetCaption(r->GetCaption());
      return;
    }
    inherited::DoAssign(Source);
  }

 private:
  AnsiString FCaption;
};

// Writes down every notification and update it receives.
class TRows : public TOwnedCollection {
  ORV_CLASS(TRows, TOwnedCollection)
 public:
  explicit TRows(TPersistent* AOwner = nullptr) : TOwnedCollection(AOwner, TRow::StaticClass()) {}
  TRow* Row(Integer i) const { return static_cast<TRow*>(GetItem(i)); }
  TRow* AddRow(const char* caption) {
    auto* r = static_cast<TRow*>(Add());
    r->SetCaption(caption);
    return r;
  }
  std::string Captions() const {
    std::string s;
    for (Integer i = 0; i < GetCount(); ++i) s += (i ? "," : "") + Row(i)->GetCaption();
    return s;
  }
  std::vector<std::string> Log;
  bool RefuseAdds = false;

 protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back("update " + (Item ? static_cast<TRow*>(Item)->GetCaption() : std::string("all")));
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    if (Action == cnAdded && RefuseAdds) throw EListError("Refused");
    static const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(std::string(names[Action]) + " #" + std::to_string(Item->GetID()));
  }
};

class TGrid : public TComponent {
  ORV_CLASS(TGrid, TComponent)
 public:
  explicit TGrid(TComponent* AOwner) : TComponent(AOwner) {}
  ~TGrid() override { FRows->Free(); }
  TRows* GetRows() const { return FRows; }

 private:
  TRows* FRows = New<TRows>(this);
};

ORV_REGISTER(TRow, ORV_PROP(Caption))
ORV_REGISTER(TRows)
ORV_REGISTER(TGrid, ORV_PROP_RO(Rows))

using Log = std::vector<std::string>;

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { Live = TObject::LiveCount(); }
  void TearDown() override { EXPECT_EQ(TObject::LiveCount(), Live) << "objects leaked or freed twice"; }
  Int64 Live = 0;
};

}  // namespace

TEST_F(CollectionTest, AddDeleteAndClearAnnounceEachItemAndReportTheChange) {
  TRows rows;
  auto* a = static_cast<TRow*>(rows.Add());
  EXPECT_EQ(a->GetCollection(), &rows);
  rows.AddRow("b");
  rows.AddRow("c");
  EXPECT_EQ(rows.Log, (Log{"added #0", "update all", "added #1", "update all", "update b", "added #2",
                           "update all", "update c"}));

  rows.Log.clear();
  rows.Delete(1);
  EXPECT_EQ(rows.Log, (Log{"deleting #1", "extracting #1", "update all"}));
  EXPECT_THROW(rows.Delete(5), EListError);

  rows.Log.clear();
  rows.Clear();
  EXPECT_EQ(rows.Log, (Log{"extracting #2", "extracting #0", "update all"}));
  EXPECT_EQ(rows.GetCount(), 0);
}

TEST_F(CollectionTest, NestedUpdatesEndInExactlyOneUpdateOfAll) {
  TRows rows;
  rows.AddRow("x");
  rows.Log.clear();
  rows.BeginUpdate();
  rows.BeginUpdate();
  rows.AddRow("y");
  rows.Row(0)->SetCaption("x2");
  rows.EndUpdate();
  rows.Delete(0);
  EXPECT_EQ(rows.Log, (Log{"added #1", "deleting #0", "extracting #0"}));
  rows.Log.clear();
  rows.EndUpdate();
  EXPECT_EQ(rows.Log, (Log{"update all"}));

  // An unmatched EndUpdate must not silence later changes.
  rows.EndUpdate();
  rows.Log.clear();
  rows.Row(0)->SetCaption("y2");
  EXPECT_EQ(rows.Log, (Log{"update y2"}));
}

TEST_F(CollectionTest, SettingAnIndexMovesTheItem) {
  TRows rows;
  for (const char* c : {"a", "b", "c", "d"}) rows.AddRow(c);
  rows.Row(3)->SetIndex(0);
  EXPECT_EQ(rows.Captions(), "d,a,b,c");
  rows.Row(0)->SetIndex(2);
  EXPECT_EQ(rows.Captions(), "a,b,d,c");
  EXPECT_EQ(rows.Row(2)->GetIndex(), 2);
  EXPECT_THROW(rows.Row(0)->SetIndex(4), EListError);
  EXPECT_EQ(rows.Captions(), "a,b,d,c");

  rows.Insert(1);
  rows.Row(1)->SetCaption("new");
  EXPECT_EQ(rows.Captions(), "a,new,b,d,c");
  EXPECT_THROW(rows.Insert(6), EListError);
  EXPECT_EQ(rows.GetCount(), 5);
}

TEST_F(CollectionTest, IDsAreNeverHandedOutTwice) {
  TRows rows;
  rows.AddRow("a");
  rows.AddRow("b");
  auto* c = rows.AddRow("c");
  EXPECT_EQ(rows.FindItemID(2), c);
  c->Free();  // an item freed on its own leaves the collection
  EXPECT_EQ(rows.GetCount(), 2);
  EXPECT_EQ(rows.FindItemID(2), nullptr);
  rows.Clear();
  auto* d = rows.AddRow("d");
  EXPECT_EQ(d->GetID(), 3);
  EXPECT_EQ(rows.GetNextID(), 4);
}

TEST_F(CollectionTest, AssignReplacesTheItemsWithCopiesAsOneChange) {
  TRows source, dest;
  source.AddRow("one");
  source.AddRow("two");
  dest.AddRow("old");
  dest.Log.clear();
  dest.Assign(&source);
  EXPECT_EQ(dest.Captions(), "one,two");
  EXPECT_EQ(source.Captions(), "one,two");
  EXPECT_NE(dest.Row(0), source.Row(0));
  EXPECT_EQ(std::count(dest.Log.begin(), dest.Log.end(), "update all"), 1);
  EXPECT_EQ(dest.Log.back(), "update all");

  dest.Assign(&dest);
  EXPECT_EQ(dest.Captions(), "one,two");

  TRow loose(nullptr);
  try {
    dest.Assign(&loose);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "Cannot assign a TRow to a TRows");
  }
}

TEST_F(CollectionTest, ItemsMoveBetweenCollectionsAndNamePathsFollowTheOwner) {
  auto* grid = New<TGrid>(nullptr);
  grid->SetName("Grid1");
  TRows* rows = grid->GetRows();
  rows->AddRow("a");
  auto* b = rows->AddRow("b");
  EXPECT_EQ(b->GetNamePath(), "Grid1.Rows[1]");
  EXPECT_EQ(b->GetDisplayName(), "b");

  TRows other;
  b->SetCollection(&other);
  EXPECT_EQ(rows->GetCount(), 1);
  EXPECT_EQ(other.Row(0), b);
  EXPECT_EQ(b->GetNamePath(), "TRows[0]");
  EXPECT_EQ(other.Log, (Log{"added #0", "update all"}));
  grid->Free();
}

TEST_F(CollectionTest, ItemRefusedOnArrivalDoesNotStayInTheList) {
  TRows rows;
  rows.AddRow("a");
  rows.RefuseAdds = true;
  EXPECT_THROW(rows.Add(), EListError);
  EXPECT_THROW(rows.Insert(0), EListError);
  EXPECT_EQ(rows.Captions(), "a");
  rows.RefuseAdds = false;
  rows.AddRow("b");
  EXPECT_EQ(rows.Captions(), "a,b");
}

TEST_F(CollectionTest, ItemClassMustBeAnItemClass) {
  EXPECT_THROW((void)TCollection(TGrid::StaticClass()), EInvalidCast);
  TCollection plain(TCollectionItem::StaticClass());
  TCollectionItem* item = plain.Add();
  EXPECT_EQ(item->ClassType(), TCollectionItem::StaticClass());
  EXPECT_EQ(item->GetDisplayName(), "TCollectionItem");
}
