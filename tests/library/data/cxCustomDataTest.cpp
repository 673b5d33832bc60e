#include "library/data/cxCustomData.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the data controller: a value storage and a log of what
// the fields told it.
class FakeController : public IcxDataFieldController {
 public:
  TcxDataStorage Storage;
  bool ProviderMode = false;
  std::vector<std::string> Log;
  TcxValueDefs* GetFieldValueDefs() override { return Storage.GetValueDefs(); }
  bool IsProviderMode() override { return ProviderMode; }
  void FieldStructureChanged() override { Log.push_back("structure"); }
  void FieldRemoved(TcxCustomDataField*) override { Log.push_back("removed"); }
};

class DataFieldTest : public ::testing::Test {
 protected:
  FakeController Controller;
  TcxCustomDataFieldList* Fields = New<TcxCustomDataFieldList>(&Controller);
  void TearDown() override { Fields->Free(); }

  TcxCustomDataField* AddField(TcxValueTypeClass type, bool internal = false) {
    auto* f = New<TcxCustomDataField>(Fields);
    f->SetIsInternal(internal);
    Fields->Add(f);
    f->SetValueTypeClass(type);
    return f;
  }
};

}  // namespace

TEST_F(DataFieldTest, OrdinaryFieldsComeBeforeInternalOnes) {
  TcxCustomDataField* handle = AddField(TcxLargeIntValueType::Class(), true);
  TcxCustomDataField* a = AddField(TcxIntegerValueType::Class());
  TcxCustomDataField* b = AddField(TcxStringValueType::Class());
  EXPECT_EQ(Fields->GetItemCount(), 2);
  EXPECT_EQ(Fields->GetCount(), 3);
  EXPECT_EQ(a->GetIndex(), 0);
  EXPECT_EQ(b->GetIndex(), 1);
  EXPECT_EQ(handle->GetIndex(), 2);
  EXPECT_EQ(Controller.Storage.GetValueDefs()->GetCount(), 3);
  EXPECT_EQ(a->GetValueDef()->GetLinkObject(), a);
  EXPECT_TRUE(a->CanModify(evsValue));
}

TEST_F(DataFieldTest, ChangingTheTypeRebuildsOneColumnSeenByEveryReferrer) {
  TcxCustomDataField* a = AddField(TcxIntegerValueType::Class());
  TcxCustomDataField* b = AddField(nullptr);
  b->SetReferenceField(a);
  Integer r = Controller.Storage.AppendRecord();
  Controller.Storage.SetValue(r, a->GetValueDef(), 5);
  EXPECT_EQ(b->GetValueDef(), a->GetValueDef());

  b->SetValueTypeClass(TcxStringValueType::Class());  // no effect on a referrer
  EXPECT_EQ(a->GetValueTypeClass(), TcxIntegerValueType::Class());
  EXPECT_EQ(Controller.Storage.GetValue(r, a->GetValueDef()).AsInteger(), 5);

  a->SetValueTypeClass(TcxStringValueType::Class());
  EXPECT_EQ(b->GetValueTypeClass(), TcxStringValueType::Class());
  EXPECT_EQ(Controller.Storage.GetValueDefs()->GetCount(), 1);
  EXPECT_TRUE(VarIsNull(Controller.Storage.GetValue(r, b->GetValueDef())));
}

TEST_F(DataFieldTest, RemovingAReferencedFieldHandsItsDataOn) {
  TcxCustomDataField* a = AddField(TcxIntegerValueType::Class());
  TcxCustomDataField* b = AddField(nullptr);
  TcxCustomDataField* c = AddField(nullptr);
  b->SetReferenceField(a);
  c->SetReferenceField(a);
  Integer r = Controller.Storage.AppendRecord();
  Controller.Storage.SetValue(r, a->GetValueDef(), 7);
  TcxValueDef* def = a->GetValueDef();

  a->Free();
  EXPECT_EQ(b->GetReferenceField(), nullptr);
  EXPECT_EQ(b->GetValueDef(), def);
  EXPECT_EQ(def->GetLinkObject(), b);
  EXPECT_EQ(c->GetReferenceField(), b);
  EXPECT_EQ(Controller.Storage.GetValue(r, c->GetValueDef()).AsInteger(), 7);
  EXPECT_EQ(Controller.Log.back(), "removed");

  // A reference that would close a ring is refused.
  b->SetReferenceField(c);
  EXPECT_EQ(b->GetReferenceField(), nullptr);
  EXPECT_EQ(b->GetValueDef(), def);
}

TEST(SortingFieldList, ChangeSortingAndGrouping) {
  TcxCustomDataField f1(nullptr), f2(nullptr), f3(nullptr);
  TcxSortingFieldList sorting;
  int changes = 0;
  sorting.OnChanged = [&] { ++changes; };
  sorting.ChangeSorting(&f1, soAscending);
  sorting.ChangeSorting(&f2, soDescending);
  sorting.ChangeSorting(&f1, soDescending);
  EXPECT_EQ(sorting.SortOrderByField(&f1), soDescending);
  sorting.ChangeSorting(&f1, soNone);
  EXPECT_EQ(sorting.Find(&f1), -1);
  EXPECT_EQ(sorting.SortOrderByField(&f1), soNone);
  EXPECT_EQ(changes, 4);
  sorting.ChangeSorting(&f3, soNone);  // absent and unsorted: nothing
  EXPECT_EQ(changes, 4);

  TcxGroupingFieldList grouping;
  grouping.ChangeGrouping(&f1, 0);
  grouping.ChangeGrouping(&f2, 1);
  grouping.ChangeSorting(&f1, soNone);
  EXPECT_EQ(grouping.SortOrderByField(&f1), soAscending);
  grouping.ChangeGrouping(&f3, 10);
  EXPECT_EQ(grouping.GroupIndexByField(&f3), 2);
  grouping.ChangeGrouping(&f1, 10);
  EXPECT_EQ(grouping.GroupIndexByField(&f1), 2);
  grouping.UpdateSorting(&sorting);
  EXPECT_EQ(grouping.SortOrderByField(&f2), soDescending);
  EXPECT_EQ(grouping.SortOrderByField(&f1), soAscending);
  grouping.ChangeGrouping(&f2, -1);
  EXPECT_EQ(grouping.GetCount(), 2);
  sorting.AppendFrom(&grouping);
  EXPECT_EQ(sorting.GetCount(), 3);
  EXPECT_THROW(sorting.Delete(3), EListError);
}
