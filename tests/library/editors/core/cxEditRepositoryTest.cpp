// Edit repositories and repository items: listeners told in reverse order,
// items found by name and by key, naming from the repository, and layouts
// that stream the items as the repository's children — or are refused
// whole when damaged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/core/cxEditRegistries.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ObjectText.h"

namespace {

using Log = std::vector<std::string>;

// A root for layouts, as a form would be.
class TTestLayoutRoot : public TComponent {
  ORV_CLASS(TTestLayoutRoot, TComponent)
 public:
  explicit TTestLayoutRoot(TComponent* AOwner) : TComponent(AOwner) {}
};

// Counts the registry's change notices.
class TCountingRegisteredItems : public TcxEditRegisteredRepositoryItems {
  ORV_CLASS(TCountingRegisteredItems, TcxEditRegisteredRepositoryItems)
 public:
  TCountingRegisteredItems() = default;
  Integer* Changes = nullptr;

 protected:
  void Changed() override {
    if (Changes) ++*Changes;
  }
};

}  // namespace

ORV_REGISTER(TTestLayoutRoot)
ORV_REGISTER(TCountingRegisteredItems)

namespace {

class EditRepositoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    live = TObject::LiveCount();
    RegisterClasses({TTestLayoutRoot::StaticClass(), TcxEditRepository::StaticClass(),
                     TcxEditRepositoryTestItem::StaticClass()});
    repository = New<TcxEditRepository>(nullptr);
    repository->SetName("EditRepository1");
  }
  void TearDown() override {
    Free(repository);
    EXPECT_EQ(TObject::LiveCount(), live);
  }
  TcxEditRepositoryTestItem* NewItem(const char* name) {
    auto* item = static_cast<TcxEditRepositoryTestItem*>(repository->CreateItem(TcxEditRepositoryTestItem::StaticClass()));
    item->SetName(name);
    return item;
  }
  Int64 live = 0;
  TcxEditRepository* repository = nullptr;
};

TEST_F(EditRepositoryTest, ListenersHearChangesAndRemovalLastAddedFirstBeforeTheItemLeaves) {
  Log log;
  TcxTestRepositoryItemListener first("first", &log), second("second", &log);
  TcxEditRepositoryTestItem* item = NewItem("Text1");
  item->AddListener(&first);
  item->AddListener(&second);
  item->AddListener(&first);  // listed once
  EXPECT_EQ(item->GetListenerCount(), 2);

  item->GetProperties()->SetAutoSelect(false);
  EXPECT_EQ(log, (Log{"second: changed Text1", "first: changed Text1"}));
  log.clear();
  item->GetProperties()->BeginUpdate();
  item->GetProperties()->SetAutoSelect(true);
  item->GetProperties()->GetButtons()->Add();
  item->GetProperties()->EndUpdate();
  EXPECT_EQ(log, (Log{"second: changed Text1", "first: changed Text1"})) << "one notice per bracket";
  log.clear();

  struct RepositoryProbe : IcxEditRepositoryItemListener {
    Log* Out = nullptr;
    void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override {
      Out->push_back(Sender->GetRepository() ? "still listed" : "already gone");
    }
    void RepositoryItemPropertiesChanged(TcxEditRepositoryItem*) override {}
  } probe;
  probe.Out = &log;
  item->AddListener(&probe);
  item->Free();
  EXPECT_EQ(log, (Log{"still listed", "second: removed Text1", "first: removed Text1"}));
  EXPECT_EQ(repository->GetCount(), 0);
}

TEST_F(EditRepositoryTest, ItemsAreNamedFromTheRepositoryAndFoundByNameIgnoringCase) {
  TcxEditRepositoryTestItem* item = NewItem("Total");
  EXPECT_EQ(item->GetBaseName(), "EditRepository1TestItem");
  EXPECT_EQ(item->GetOwner(), repository);
  EXPECT_EQ(item->GetRepository(), repository);
  TcxEditRepositoryTestItem* other = NewItem("Total2");
  EXPECT_EQ(repository->ItemByName("TOTAL"), item);
  EXPECT_EQ(repository->ItemByName("tOTAL2"), other);
  EXPECT_EQ(repository->ItemByName("Totals"), nullptr);

  auto* plain = New<TcxEditRepositoryItem>(nullptr);
  EXPECT_EQ(plain->GetBaseName(), "Item") << "no repository, no prefix";
  plain->SetRepository(repository);
  EXPECT_EQ(plain->GetBaseName(), "EditRepository1Item");

  // Clear frees from the last: the listener hears the items in reverse.
  Log log;
  TcxTestRepositoryItemListener listener("grid", &log);
  for (TcxEditRepositoryItem* i : {static_cast<TcxEditRepositoryItem*>(item), static_cast<TcxEditRepositoryItem*>(other), plain})
    i->AddListener(&listener);
  plain->SetName("Plain");
  repository->Clear();
  EXPECT_EQ(log, (Log{"grid: removed Plain", "grid: removed Total2", "grid: removed Total"}));
  EXPECT_EQ(repository->GetCount(), 0);
}

TEST_F(EditRepositoryTest, ItemsOfAnotherOwnerOutliveTheirRepositoryWithoutIt) {
  auto* owner = New<TTestLayoutRoot>(nullptr);
  TcxEditRepositoryItem* item = repository->CreateItemEx(TcxEditRepositoryTestItem::StaticClass(), owner);
  FreeAndNil(repository);
  EXPECT_EQ(item->GetRepository(), nullptr);
  EXPECT_FALSE(item->HasParent());
  owner->Free();
}

TEST_F(EditRepositoryTest, RegisteredItemsAreFoundByKeyWithTheDefaultAsFallback) {
  TcxEditRepositoryTestItem* text = NewItem("Text");
  TcxEditRepositoryTestItem* check = NewItem("Check");
  TcxEditRepositoryTestItem* spin = NewItem("Spin");
  Integer changes = 0;
  auto* items = New<TCountingRegisteredItems>();
  items->Changes = &changes;

  EXPECT_EQ(items->GetItem(0), nullptr);
  EXPECT_EQ(items->GetItem(7), nullptr) << "no entry and no default";
  items->RegisterDefaultItem(20, check);
  items->RegisterDefaultItem(10, text);
  EXPECT_EQ(items->GetDefaultItem(), text) << "the smaller key wins";
  items->RegisterItem(7, 3, spin);
  items->RegisterItem(7, 1, check);
  items->RegisterItem(5, 9, check);
  EXPECT_EQ(changes, 5);
  items->RegisterItem(7, 3, text);  // same keys: the old entry stays
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(items->GetItemCount(), 3);

  EXPECT_EQ(items->GetItem(0), text) << "key 0 always means the default";
  EXPECT_EQ(items->GetItem(5), check);
  TcxEditRepositoryItem* seven = items->GetItem(7);
  EXPECT_TRUE(seven == spin || seven == check) << "any second key matches";
  EXPECT_EQ(items->GetItem(6), text);
  EXPECT_EQ(items->GetItem(static_cast<std::intptr_t>(1) << 40), text) << "keys are pointer-sized";

  items->UnregisterItem(7, 1);
  EXPECT_EQ(items->GetItem(7), spin);
  EXPECT_EQ(changes, 6);

  // Check stood under two keys: freeing it empties both, and the registry
  // stops listening; the others keep it as a listener.
  EXPECT_EQ(check->GetListenerCount(), 1);
  check->Free();
  EXPECT_EQ(items->GetItem(5), text);
  EXPECT_EQ(items->GetDefaultItemCount(), 1);
  EXPECT_EQ(items->GetItemCount(), 1);
  EXPECT_EQ(changes, 8);

  // A changed item is a change of the registry.
  spin->GetProperties()->SetAutoSelect(false);
  EXPECT_EQ(changes, 9);

  // Destroying the registry tells no change and leaves no listener behind.
  items->Free();
  EXPECT_EQ(changes, 9);
  EXPECT_EQ(text->GetListenerCount(), 0);
  EXPECT_EQ(spin->GetListenerCount(), 0);
}

const char* const LayoutText =
    "object Root: TTestLayoutRoot\r\n"
    "  object EditRepository1: TcxEditRepository\r\n"
    "    object EditRepository1TestItem1: TcxEditRepositoryTestItem\r\n"
    "      Properties.Alignment.Horz = taRightJustify\r\n"
    "      Properties.Buttons = <\r\n"
    "        item\r\n"
    "          Default = True\r\n"
    "          Kind = bkEllipsis\r\n"
    "        end\r\n"
    "        item\r\n"
    "          Caption = '&Go'\r\n"
    "          Kind = bkText\r\n"
    "          Width = 24\r\n"
    "        end>\r\n"
    "      Properties.ClickKey = 0\r\n"
    "      Properties.ReadOnly = False\r\n"
    "    end\r\n"
    "    object EditRepository1TestItem2: TcxEditRepositoryTestItem\r\n"
    "      Properties.Alignment.Vert = taVCenter\r\n"
    "      Properties.AutoSelect = False\r\n"
    "      Properties.Buttons = <>\r\n"
    "      Properties.UseLeftAlignmentOnEditing = False\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

TEST_F(EditRepositoryTest, ALayoutWithARepositoryAndTwoItemsStreamsBackUnchanged) {
  TComponent* root = ReadComponentFromText(LayoutText, nullptr);
  auto* repo = static_cast<TcxEditRepository*>(root->FindComponent("EditRepository1"));
  ASSERT_NE(repo, nullptr);
  ASSERT_EQ(repo->GetCount(), 2);
  auto* first = static_cast<TcxEditRepositoryTestItem*>(repo->GetItem(0));
  EXPECT_EQ(first->GetOwner(), root) << "items belong to the form, not the repository";
  EXPECT_EQ(first->GetRepository(), repo) << "the reader's parent names the repository";
  EXPECT_EQ(first->GetProperties()->GetAlignment()->GetHorz(), taRightJustify);
  EXPECT_EQ(first->GetProperties()->GetButtons()->GetItem(1)->GetPlainCaption(), "Go");
  EXPECT_TRUE(first->GetProperties()->IsReadOnlyStored());
  EXPECT_TRUE(first->GetProperties()->CanModify());
  EXPECT_FALSE(static_cast<TcxEditRepositoryTestItem*>(repo->GetItem(1))->GetProperties()->GetAutoSelect());

  EXPECT_EQ(ComponentToText(root), LayoutText);
  root->Free();
}

TEST_F(EditRepositoryTest, DamagedLayoutsAreRefusedWithNothingHalfBuiltLeftListed) {
  const Int64 before = TObject::LiveCount();
  const char* const unknownClass =
      "object EditRepository2: TcxEditRepository\r\n"
      "  object Item1: TcxEditRepositoryTestItem\r\n"
      "  end\r\n"
      "  object Item2: TcxEditRepositoryNoSuchItem\r\n"
      "  end\r\n"
      "end\r\n";
  auto* target = New<TcxEditRepository>(nullptr);
  EXPECT_THROW(ReadComponentFromText(unknownClass, target), EClassNotFound);
  EXPECT_EQ(target->GetCount(), 0) << "the item read before the error is freed and unlisted";
  EXPECT_EQ(target->GetComponentCount(), 0);
  target->Free();

  const char* const unknownValue =
      "object Root: TTestLayoutRoot\r\n"
      "  object EditRepository1: TcxEditRepository\r\n"
      "    object Item1: TcxEditRepositoryTestItem\r\n"
      "      Properties.Buttons = <\r\n"
      "        item\r\n"
      "          Kind = bkSideways\r\n"
      "        end>\r\n"
      "    end\r\n"
      "  end\r\n"
      "end\r\n";
  EXPECT_ANY_THROW(ReadComponentFromText(unknownValue, nullptr));
  EXPECT_EQ(TObject::LiveCount(), before);
}

}  // namespace
