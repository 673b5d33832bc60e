// Readers fed far more items than the fuzzers ever try: every item must
// still be found, duplicates still refused, and notices still delivered.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/TypeInfo.h"

namespace {

constexpr int kMany = 20000;

std::string Num(int i) { return std::to_string(i); }

TEST(BigInputs, AnIniFileOfManySectionsFindsEachAndMergesRepeats) {
  std::string text;
  for (int i = 0; i < kMany; ++i) text += "[Section" + Num(i) + "]\r\nKey=" + Num(i) + "\r\n";
  text += "[SECTION7]\r\nMore=x\r\n";  // the same section, another spelling
  orv::IniDocument doc;
  doc.Parse(text);
  ASSERT_EQ(doc.Sections().size(), static_cast<size_t>(kMany));
  for (int i : {0, 7, kMany / 2, kMany - 1}) {
    auto* s = doc.Find("section" + Num(i));
    ASSERT_NE(s, nullptr) << i;
    EXPECT_EQ(orv::IniDocument::FindKey(*s, "key")->Value, Num(i));
  }
  EXPECT_EQ(doc.Find("Section7")->Lines.size(), 2u);
  EXPECT_EQ(doc.Find("Section" + Num(kMany)), nullptr);

  // Erasing one keeps the rest findable, in order, and a new one goes last.
  EXPECT_TRUE(doc.Erase("SECTION5"));
  EXPECT_FALSE(doc.Erase("Section5"));
  EXPECT_EQ(doc.Find("Section5"), nullptr);
  EXPECT_EQ(orv::IniDocument::FindKey(*doc.Find("Section6"), "Key")->Value, "6");
  EXPECT_EQ(doc.Sections()[5].Name, "Section6");
  doc.FindOrAdd("Section5");
  EXPECT_EQ(doc.Sections().back().Name, "Section5");
  EXPECT_EQ(&doc.FindOrAdd("section" + Num(kMany - 1)), doc.Find("Section" + Num(kMany - 1)));
}

TEST(BigInputs, ARegistryKeyOfManyValuesDecodesAndRefusesADuplicateName) {
  orv::registry::Key root;
  auto key = std::make_unique<orv::registry::Key>();
  key->Name = "Big";
  for (int i = 0; i < kMany; ++i) key->Values.push_back({"Value" + Num(i), win::REG_SZ, Num(i)});
  orv::registry::Key* big = key.get();
  root.SubKeys.emplace(key->Name, std::move(key));

  orv::registry::Key decoded;
  ASSERT_TRUE(orv::registry::Decode(orv::registry::Encode(root), decoded));
  orv::registry::Key* back = decoded.FindSubKey("BIG");
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Values.size(), static_cast<size_t>(kMany));
  EXPECT_EQ(back->FindValue("value19999")->Data, "19999");
  EXPECT_EQ(back->Values[12345].Name, "Value12345");

  // The last value repeats the first under another case: the store is
  // refused as a whole, as for a small one.
  big->Values.push_back({"VALUE0", win::REG_SZ, "again"});
  EXPECT_FALSE(orv::registry::Decode(orv::registry::Encode(root), decoded));
  EXPECT_TRUE(decoded.SubKeys.empty());
}

std::vector<std::string> gHeard;

// Hears what its owner passes on; everything else in the layouts below is
// a plain component, which the owner has no need to tell.
class TListener : public TComponent {
  ORV_CLASS(TListener, TComponent)
 public:
  explicit TListener(TComponent* AOwner) : TComponent(AOwner) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (AComponent != this) gHeard.push_back(GetName() + (Operation == opInsert ? " +" : " -") + AComponent->GetName());
  }
};
ORV_REGISTER(TListener)

// Hears through its parent's override, and through one of its own that
// is not public: both must still be told.
class TQuietListener : public TListener {
  ORV_CLASS(TQuietListener, TListener)
 public:
  explicit TQuietListener(TComponent* AOwner) : TListener(AOwner) {}
};
ORV_REGISTER(TQuietListener)

class THiddenListener : public TComponent {
  ORV_CLASS(THiddenListener, TComponent)
 public:
  explicit THiddenListener(TComponent* AOwner) : TComponent(AOwner) {}
  int Heard = 0;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    ++Heard;
  }
};
ORV_REGISTER(THiddenListener)

TEST(BigInputs, ClassesThatReplaceNotificationAreToldWhereverTheOverrideIs) {
  gHeard.clear();
  TComponent* root = New<TComponent>(nullptr);
  auto* quiet = New<TQuietListener>(root);
  quiet->SetName("Quiet");
  auto* hidden = New<THiddenListener>(root);
  for (int i = 0; i < 100; ++i) New<TComponent>(root);
  EXPECT_EQ(gHeard.size(), 101u);  // the hidden listener's arrival and the plain ones
  EXPECT_EQ(hidden->Heard, 100);
  root->Free();
}

TEST(BigInputs, ALayoutOfManyChildrenReadsWholeAndStillTellsItsListeners) {
  RegisterClasses({TComponent::StaticClass(), TListener::StaticClass()});
  const Int64 live = TObject::LiveCount();
  gHeard.clear();
  std::string text = "object Root: TComponent\n  object First: TListener\n  end\n";
  for (int i = 0; i < kMany; ++i) text += "  object Child" + Num(i) + ": TComponent\n  end\n";
  text += "  object Last: TListener\n  end\nend\n";

  TComponent* root = New<TComponent>(nullptr);
  ReadComponentFromText(text, root);
  ASSERT_EQ(root->GetComponentCount(), kMany + 2);
  EXPECT_EQ(root->FindComponent("child0")->GetComponentIndex(), 1);
  EXPECT_EQ(root->FindComponent("CHILD19999")->GetComponentIndex(), kMany);
  EXPECT_EQ(root->FindComponent("Child" + Num(kMany)), nullptr);
  // First heard every newcomer after it, Last only its own arrival.
  ASSERT_EQ(gHeard.size(), static_cast<size_t>(kMany + 1));
  EXPECT_EQ(gHeard.front(), "First +");  // newcomers are named after they join
  EXPECT_EQ(gHeard.back(), "First +");

  // Renames move the name index along; a taken name is still refused.
  TComponent* c = root->FindComponent("Child10");
  c->SetName("Renamed");
  EXPECT_EQ(root->FindComponent("renamed"), c);
  EXPECT_EQ(root->FindComponent("Child10"), nullptr);
  EXPECT_THROW(root->FindComponent("Child11")->SetName("RENAMED"), EComponentError);

  // A plain child tied to another by free notification starts hearing:
  // removing its partner from the owner unties them.
  TComponent* a = root->FindComponent("Child3");
  TComponent* b = root->FindComponent("Child4");
  a->FreeNotification(b);
  gHeard.clear();
  root->RemoveComponent(b);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"Last -Child4", "First -Child4"}));  // last first
  b->Free();  // a was told already, so nothing dangles

  // Moving a listener to the end moves it to the front of the notices.
  root->FindComponent("First")->SetComponentIndex(kMany);
  gHeard.clear();
  New<TComponent>(root)->SetName("Late");
  EXPECT_EQ(gHeard, (std::vector<std::string>{"First +", "Last +"}));
  root->Free();
  EXPECT_EQ(TObject::LiveCount(), live);
}

// Members leaving from anywhere, many at a time: whatever reads the list
// next finds it whole and in order, and the owner still tells and finds.
TEST(BigInputs, AnOwnerWhoseMembersLeaveFromAnywhereKeepsItsListInOrder) {
  RegisterClasses({TComponent::StaticClass(), TListener::StaticClass()});
  const Int64 live = TObject::LiveCount();
  gHeard.clear();
  TComponent* root = New<TComponent>(nullptr);
  auto* listener = New<TListener>(root);
  listener->SetName("Ear");
  std::vector<TComponent*> members;
  for (int i = 0; i < kMany; ++i) {
    members.push_back(New<TComponent>(root));
    members.back()->SetName("M" + Num(i));
  }
  gHeard.clear();
  // Every other member goes, the first first: the count is right at once.
  for (int i = 0; i < kMany; i += 2) members[static_cast<std::size_t>(i)]->Free();
  EXPECT_EQ(root->GetComponentCount(), 1 + kMany / 2);
  ASSERT_EQ(gHeard.size(), static_cast<size_t>(kMany / 2));
  EXPECT_EQ(gHeard.front(), "Ear -M0");
  EXPECT_EQ(root->FindComponent("M2"), nullptr);
  EXPECT_EQ(root->GetComponent(1)->GetName(), "M1");
  EXPECT_EQ(root->GetComponent(kMany / 2)->GetName(), "M" + Num(kMany - 1));
  EXPECT_EQ(root->FindComponent("M12345")->GetComponentIndex(), 1 + 12345 / 2);

  // Holes again, then a member that starts to hear (a free notification)
  // and a newcomer: the notices still go to the hearers, last first.
  for (int i = 1; i < 41; i += 2) members[static_cast<std::size_t>(i)]->Free();
  TComponent* late = New<TComponent>(root);
  late->SetName("Late");
  members[41]->FreeNotification(members[43]);
  EXPECT_EQ(late->GetComponentIndex(), root->GetComponentCount() - 1);
  EXPECT_EQ(members[41]->GetComponentIndex(), 1);
  gHeard.clear();
  members[43]->Free();
  EXPECT_EQ(gHeard, (std::vector<std::string>{"Ear -M43"}));
  members[45]->SetComponentIndex(0);
  EXPECT_EQ(root->GetComponent(0), members[45]);
  EXPECT_EQ(listener->GetComponentIndex(), 1);
  EXPECT_EQ(members[41]->GetComponentIndex(), 2);
  root->Free();
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST(BigInputs, ACollectionOfManyItemsEmptiesWhole) {
  const Int64 live = TObject::LiveCount();
  TCollection* collection = New<TCollection>(TCollectionItem::StaticClass());
  for (int i = 0; i < kMany; ++i) collection->Add();
  TCollectionItem* middle = collection->GetItem(kMany / 2);
  collection->Delete(kMany / 2 - 1);
  EXPECT_EQ(middle->GetIndex(), kMany / 2 - 1);
  EXPECT_EQ(collection->GetCount(), kMany - 1);
  collection->Clear();
  EXPECT_EQ(collection->GetCount(), 0);
  EXPECT_EQ(TObject::LiveCount(), live + 1);
  collection->Free();
}

}  // namespace
