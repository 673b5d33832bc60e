#include <functional>

#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataRelations.h"
#include "library/data/cxCustomDataSearch.h"

namespace {

// A master that makes one clone controller per record and relation; the
// clone is its own link object, freed with the record's detail info.
class MasterController : public RecordingController {
 public:
  using RecordingController::RecordingController;
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, Integer ARecordIndex) override {
    auto* clone = New<RecordingController>(nullptr);
    clone->SetMasterRelation(ARelation, ARecordIndex);
    Created.push_back(ARecordIndex);
    return clone;
  }
  TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* ALinkObject) override {
    return dynamic_cast<TcxCustomDataController*>(ALinkObject);
  }
  std::vector<Integer> Created;
};

class RelationsTest : public ::testing::Test {
 protected:
  MasterController* M = nullptr;
  RecordingController* Pattern = nullptr;
  RecordingController* Pattern2 = nullptr;

  void SetUp() override {
    M = New<MasterController>(nullptr);
    M->AddTypedItem(TcxIntegerValueType::Class());
    M->AddTypedItem(TcxStringValueType::Class());
    for (int i = 0; i < 3; ++i) M->SetValue(M->AppendRecord(), 0, i);
    Pattern = New<RecordingController>(nullptr);
    Pattern2 = New<RecordingController>(nullptr);
  }
  void TearDown() override {
    if (M) M->Free();
    if (Pattern) Pattern->Free();
    if (Pattern2) Pattern2->Free();
  }
  TcxCustomDataRelation* Relate(Integer AItem, RecordingController* APattern) {
    TcxCustomDataRelation* r = M->GetRelations()->Add(M->Items[static_cast<size_t>(AItem)]);
    if (APattern) APattern->SetMasterMode(r, true);
    return r;
  }
};

}  // namespace

TEST_F(RelationsTest, TheFirstRelationAddsAnObjectFieldAndTheLastOneFreesIt) {
  const Integer fields = M->GetFields()->GetCount();
  TcxCustomDataRelationList* list = M->GetRelations();
  EXPECT_EQ(list->GetDetailField(), nullptr);
  TcxCustomDataRelation* first = Relate(0, nullptr);
  ASSERT_NE(list->GetDetailField(), nullptr);
  EXPECT_TRUE(list->GetDetailField()->GetIsInternal());
  EXPECT_EQ(list->GetDetailField()->GetValueTypeClass(), TcxObjectValueType::Class());
  EXPECT_EQ(M->GetFields()->GetCount(), fields + 1);
  EXPECT_EQ(M->GetItemCount(), 2);
  Relate(1, nullptr);
  EXPECT_EQ(M->GetFields()->GetCount(), fields + 1);
  EXPECT_EQ(first->GetIndex(), 0);
  list->Move(0, 1);
  EXPECT_EQ(first->GetIndex(), 1);
  list->RemoveByItem(M->Items[0]);
  EXPECT_NE(list->GetDetailField(), nullptr);
  list->RemoveByItem(M->Items[1]);
  EXPECT_EQ(list->GetDetailField(), nullptr);
  EXPECT_EQ(M->GetFields()->GetCount(), fields);
}

TEST_F(RelationsTest, WithoutRelationsThereIsNothingToExpand) {
  EXPECT_EQ(M->GetDetailActiveRelationIndex(0), -1);
  EXPECT_FALSE(M->GetDetailExpanding(0));
  EXPECT_FALSE(M->ChangeDetailExpanding(0, true));
  EXPECT_FALSE(M->IsDetailDataControllerExist(0, 0));
  // Relations without a detail controller: still no detail object.
  Relate(0, nullptr);
  EXPECT_EQ(M->GetRelations()->GetDetailObject(0), nullptr);
  EXPECT_FALSE(M->ChangeDetailExpanding(0, true));
}

TEST_F(RelationsTest, DetailObjectsLiveInTheRecordAtFullPointerWidth) {
  Relate(0, Pattern);
  TcxCustomDataRelationList* list = M->GetRelations();
  TcxDetailObject* object = list->GetDetailObject(1);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(list->GetDetailObject(1), object);
  const Variant cell = M->GetDataStorage()->GetValue(1, list->GetDetailField()->GetValueDef());
  EXPECT_EQ(cell.VType(), varInt64);
  EXPECT_EQ(cell.AsInt64(), static_cast<Int64>(reinterpret_cast<NativeInt>(object)));
  EXPECT_EQ(object->ActiveRelationIndex, 0);
  EXPECT_EQ(object->GetInfoObjectCount(), 1);
  EXPECT_EQ(list->GetValueAsDetailObject(0), nullptr);
  EXPECT_THROW(list->GetDetailObject(3), EcxInvalidDataControllerOperation);

  // Once no relation has a detail controller the object goes and 0 stays.
  Pattern->SetMasterMode(nullptr, true);
  EXPECT_TRUE(list->IsEmpty());
  EXPECT_EQ(list->GetDetailObject(1), nullptr);
  const Variant after = M->GetDataStorage()->GetValue(1, list->GetDetailField()->GetValueDef());
  EXPECT_EQ(after.AsInt64(), 0);
  EXPECT_EQ(list->GetValueAsDetailObject(1), nullptr);
}

TEST_F(RelationsTest, TheFirstRelationWithADetailControllerStartsActive) {
  Relate(0, nullptr);
  Relate(1, Pattern2);
  EXPECT_EQ(M->GetDetailActiveRelationIndex(0), 1);
  M->ChangeDetailActiveRelationIndex(0, 0);
  // Relation 0 still has no detail controller: the object corrects itself.
  EXPECT_EQ(M->GetDetailActiveRelationIndex(0), 1);
  Pattern->SetMasterMode(M->GetRelations()->GetItem(0), true);
  M->ChangeDetailActiveRelationIndex(0, 0);
  EXPECT_EQ(M->GetDetailActiveRelationIndex(0), 0);
}

TEST_F(RelationsTest, ExpandingAsksTheHandlersAndTellsTheControl) {
  Relate(0, Pattern);
  std::vector<std::string> log;
  bool allow = false;
  M->OnDetailExpanding = [&](TcxCustomDataController*, Integer r, bool& AAllow) {
    log.push_back("expanding " + std::to_string(r));
    AAllow = allow;
  };
  M->OnDetailExpanded = [&](TcxCustomDataController*, Integer r) { log.push_back("expanded " + std::to_string(r)); };
  M->OnDetailCollapsing = [&](TcxCustomDataController*, Integer r, bool&) {
    log.push_back("collapsing " + std::to_string(r));
  };
  M->OnDetailCollapsed = [&](TcxCustomDataController*, Integer r) { log.push_back("collapsed " + std::to_string(r)); };

  M->Log.clear();
  EXPECT_FALSE(M->ChangeDetailExpanding(2, true));
  EXPECT_FALSE(M->GetDetailExpanding(2));
  EXPECT_TRUE(M->Log.empty());
  allow = true;
  EXPECT_TRUE(M->ChangeDetailExpanding(2, true));
  EXPECT_TRUE(M->GetDetailExpanding(2));
  EXPECT_EQ(M->Log, (std::vector<std::string>{"layout"}));
  EXPECT_FALSE(M->ChangeDetailExpanding(2, true));  // unchanged: no event
  M->ChangeDetailExpanding(1, true);
  M->CollapseDetails();
  EXPECT_FALSE(M->GetDetailExpanding(1));
  EXPECT_FALSE(M->GetDetailExpanding(2));
  EXPECT_EQ(log, (std::vector<std::string>{"expanding 2", "expanding 2", "expanded 2", "expanding 1", "expanded 1",
                                           "collapsing 1", "collapsed 1", "collapsing 2", "collapsed 2"}));
}

TEST_F(RelationsTest, LinkObjectsMakeClonesThatGoWithTheirRecord) {
  TcxCustomDataRelation* relation = Relate(0, Pattern);
  EXPECT_EQ(Pattern->GetDetailMode(), dcdmPattern);
  EXPECT_EQ(Pattern->GetMasterDataController(), M);
  EXPECT_EQ(relation->GetDetailDataController(), Pattern);
  EXPECT_FALSE(M->IsDetailDataControllerExist(1, 0));
  TcxCustomDataController* clone = M->GetDetailDataController(1, 0);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(M->GetDetailDataController(1, 0), clone);
  EXPECT_EQ(M->Created, (std::vector<Integer>{1}));
  EXPECT_TRUE(M->IsDetailDataControllerExist(1, 0));
  EXPECT_EQ(clone->GetDetailMode(), dcdmClone);
  EXPECT_EQ(clone->GetMasterRecordIndex(), 1);
  EXPECT_EQ(clone->GetPatternDataController(), Pattern);
  EXPECT_EQ(clone->GetRootDataController(), M);
  EXPECT_FALSE(M->GetDetailHasChildren(1, 0));
  clone->AppendRecord();
  EXPECT_TRUE(M->GetDetailHasChildren(1, 0));
  EXPECT_FALSE(M->GetDetailHasChildren(0, 0));  // unbound: no provider to ask

  M->GetDetailDataController(2, 0);
  std::vector<Integer> visited;
  M->ForEachDetail(relation, [&](TcxCustomDataController* d) { visited.push_back(d->GetMasterRecordIndex()); });
  EXPECT_EQ(visited, (std::vector<Integer>{1, 2}));

  // Deleting a record frees its clone with it; clearing frees the rest.
  M->DeleteRecord(1);
  EXPECT_FALSE(M->IsDetailDataControllerExist(1, 0) && M->GetDetailDataController(1, 0)->GetMasterRecordIndex() != 2);
  M->ClearDetails();
  EXPECT_FALSE(M->IsDetailDataControllerExist(0, 0));
  EXPECT_FALSE(M->IsDetailDataControllerExist(1, 0));
}

TEST_F(RelationsTest, PatternAndCloneModesFollowTheMasterRelationAndUsers) {
  // Without a master, an unset relation changes nothing and opens no bracket.
  M->Log.clear();
  Pattern->SetMasterRelation(nullptr, -1);
  EXPECT_TRUE(Pattern->Log.empty());
  EXPECT_EQ(Pattern->GetDetailMode(), dcdmNone);
  EXPECT_FALSE(Pattern->IsDetailMode());

  Pattern->SetIsPattern(true);
  EXPECT_TRUE(Pattern->IsPattern());
  Pattern->AddDataChangeRefCount();
  EXPECT_FALSE(Pattern->IsPattern());
  EXPECT_EQ(Pattern->GetDetailMode(), dcdmNone);
  Pattern->RemoveDataChangeRefCount();
  EXPECT_TRUE(Pattern->IsPattern());

  // With a master relation and a data-change user, becoming a pattern is refused.
  TcxCustomDataRelation* relation = Relate(0, nullptr);
  Pattern2->SetMasterRelation(relation, 0);
  Pattern2->AddDataChangeRefCount();
  EXPECT_EQ(Pattern2->GetDetailMode(), dcdmClone);
  EXPECT_THROW(Pattern2->SetIsPattern(true), Exception);
  EXPECT_EQ(Pattern2->GetDetailMode(), dcdmClone);
  EXPECT_FALSE(Pattern2->IsPattern());
}

TEST_F(RelationsTest, ControllersMayGoInAnyOrder) {
  Relate(0, Pattern);
  M->GetDetailDataController(0, 0);
  // The pattern goes first: the relation forgets it.
  Pattern->Free();
  Pattern = nullptr;
  EXPECT_EQ(M->GetRelations()->GetItem(0)->GetDetailDataController(), nullptr);
  // The master goes before its other pattern: the pattern forgets its master.
  Relate(1, Pattern2);
  M->Free();
  M = nullptr;
  EXPECT_EQ(Pattern2->GetMasterRelation(), nullptr);
  EXPECT_TRUE(Pattern2->IsPattern());
}

TEST_F(RelationsTest, AnOpenDetailGoesWithItsRelationOrItsPattern) {
  // The relation goes while a record's detail is open: the clone goes with
  // it, and the master can be related again.
  TcxCustomDataRelation* relation = Relate(0, Pattern);
  ASSERT_TRUE(M->ChangeDetailExpanding(1, true));
  TcxCustomDataController* clone = M->GetDetailDataController(1, 0);
  ASSERT_NE(clone, nullptr);
  clone->AppendRecord();
  relation->Free();
  EXPECT_EQ(M->GetRelations()->GetCount(), 0);
  EXPECT_EQ(Pattern->GetMasterRelation(), nullptr);
  EXPECT_FALSE(M->GetDetailExpanding(1));
  Relate(1, Pattern);
  ASSERT_TRUE(M->ChangeDetailExpanding(1, true));
  TcxCustomDataController* fresh = M->GetDetailDataController(1, 0);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->GetRecordCount(), 0);

  // The pattern goes while the detail is open: the record lets its detail
  // go the next time it is asked.
  Pattern->Free();
  Pattern = nullptr;
  EXPECT_FALSE(M->GetDetailExpanding(1));
  EXPECT_EQ(M->GetRelations()->GetValueAsDetailObject(1), nullptr);
  EXPECT_FALSE(M->IsDetailDataControllerExist(1, 0));
}

// --- Freeing a master in every state a user can leave it in ----------------------

TEST_F(RelationsTest, AMasterFreedInAnyStateLeavesNothingBehind) {
  // Each state is entered on a fresh master, which is then freed in it; the
  // address checker reports any use of what the free already released.
  const std::vector<std::pair<std::string, std::function<void(MasterController*)>>> states = {
      {"searching", [](MasterController* m) { ASSERT_TRUE(m->GetSearch()->Locate(1, "b")); }},
      {"editing",
       [](MasterController* m) {
         m->ChangeFocusedRowIndex(0);
         m->SetEditValue(1, Variant(AnsiString("edited")), evsValue);
         ASSERT_TRUE(m->GetIsEditing());
       }},
      {"inserting",
       [](MasterController* m) {
         m->Insert();
         m->SetEditValue(0, 9, evsValue);
       }},
      {"grouped", [](MasterController* m) { m->GetGroups()->ChangeGrouping(1, 0); }},
      {"filtered",
       [](MasterController* m) {
         m->GetFilter()->AddItem(m->Items[1], foEqual, AnsiString("a"), "a");
         m->GetFilter()->SetActive(true);
         ASSERT_EQ(m->GetFilteredRecordCount(), 2);
       }},
      {"with a detail open",
       [](MasterController* m) {
         ASSERT_TRUE(m->ChangeDetailExpanding(1, true));
         m->GetDetailDataController(1, 0)->AppendRecord();
       }},
  };
  M->Free();
  M = nullptr;
  auto fresh = [this] {
    auto* m = New<MasterController>(nullptr);
    m->AddTypedItem(TcxIntegerValueType::Class());
    m->AddTypedItem(TcxStringValueType::Class());
    for (const char* s : {"a", "b", "a"}) {
      const Integer r = m->AppendRecord();
      m->SetValue(r, 0, r);
      m->SetValue(r, 1, AnsiString(s));
    }
    Pattern->SetMasterMode(m->GetRelations()->Add(m->Items[0]), true);
    return m;
  };
  // A state entered a second time must leave no more behind than the first
  // (which may fill caches that live on).
  for (const auto& [name, enter] : states) {
    SCOPED_TRACE(name);
    Integer before = 0;
    for (int round = 0; round < 2; ++round) {
      if (round == 1) before = TObject::LiveCount();
      MasterController* m = fresh();
      enter(m);
      m->Free();
    }
    EXPECT_EQ(TObject::LiveCount(), before);
  }
  // And all of them at once.
  const Integer before = TObject::LiveCount();
  MasterController* m = fresh();
  for (const auto& state : states) {
    if (state.first == "editing") continue;  // inserting already edits
    state.second(m);
  }
  m->Free();
  EXPECT_EQ(TObject::LiveCount(), before);
}
