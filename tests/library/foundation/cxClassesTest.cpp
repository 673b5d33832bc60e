#include "library/foundation/cxClasses.h"

#include <gtest/gtest.h>

#include <climits>

#include "library/foundation/FoundationStartup.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLibraryStrs.h"
#include "platform/forms/UnitStartup.h"
#include "platform/rtl/Streams.h"

namespace {

struct ResourceStrings : ::testing::Test {
  void TearDown() override { cxClearResourceStrings(); }
};

}  // namespace

TEST_F(ResourceStrings, OverridesByRecordAndByTextMeetInOneTable) {
  EXPECT_EQ(cxLibraryString(scxInvalidPropertyElement), "Invalid property element: %s");
  EXPECT_EQ(cxGetResourceStringNet("never set"), "never set");

  cxSetResourceString(scxInvalidPropertyElement, "first");
  cxSetResourceString(scxInvalidPropertyElement, "Ungueltiges Element: %s");
  EXPECT_EQ(cxGetResourceString(scxInvalidPropertyElement), "Ungueltiges Element: %s");
  // The record's entry is keyed by its string-table text.
  EXPECT_EQ(cxGetResourceStringNet("Invalid property element: %s"), "Ungueltiges Element: %s");
  EXPECT_EQ(cxGetResourceString(AnsiString("Invalid property element: %s")), "Ungueltiges Element: %s");
  // Keys compare case-sensitively.
  EXPECT_EQ(cxGetResourceStringNet("invalid property element: %s"), "invalid property element: %s");

  cxSetResourceStringNet("Cancel", "Abbrechen");
  cxSetResourceStringNet("Cancel", "Annuler");
  EXPECT_EQ(cxGetResourceStringNet("Cancel"), "Annuler");
  EXPECT_EQ(cxGetResourceStringNet(WideString(u"Cancel")), u"Annuler");

  cxClearResourceStrings();
  EXPECT_EQ(cxGetResourceString(scxInvalidPropertyElement), "Invalid property element: %s");
}

namespace {
class TBaseProps : public TPersistent {
  ORV_CLASS(TBaseProps, TPersistent)
 public:
  TBaseProps() = default;
};
class TTextProps : public TBaseProps {
  ORV_CLASS(TTextProps, TBaseProps)
 public:
  TTextProps() = default;
};
class TMaskProps : public TTextProps {
  ORV_CLASS(TMaskProps, TTextProps)
 public:
  TMaskProps() = default;
};
class TBaseHelper : public TObject {
  ORV_CLASS(TBaseHelper, TObject)
 public:
  TBaseHelper() = default;
};
class TTextHelper : public TBaseHelper {
  ORV_CLASS(TTextHelper, TBaseHelper)
 public:
  TTextHelper() = default;
};
}  // namespace
ORV_REGISTER(TBaseProps)
ORV_REGISTER(TTextProps)
ORV_REGISTER(TMaskProps)
ORV_REGISTER(TBaseHelper)
ORV_REGISTER(TTextHelper)

TEST(cxRegisteredClasses, TextsSplitIntoDescriptionAndHint) {
  TcxRegisteredClasses classes;
  classes.Register(TTextProps::StaticClass(), "Text|A plain text editor");
  classes.Register(TMaskProps::StaticClass(), "Mask");
  classes.Register(TTextProps::StaticClass(), "Second text");  // ignored
  ASSERT_EQ(classes.GetCount(), 2);
  EXPECT_EQ(classes.GetDescription(0), "Text");
  EXPECT_EQ(classes.GetHint(0), "A plain text editor");
  EXPECT_EQ(classes.GetDescription(1), "Mask");
  EXPECT_EQ(classes.GetHint(1), "Mask");
  EXPECT_EQ(classes.GetHintByClass(TBaseProps::StaticClass()), "");
  EXPECT_EQ(classes.FindByClassName("TMaskProps"), TMaskProps::StaticClass());
  EXPECT_EQ(classes.FindByClassName("tmaskprops"), nullptr);
  EXPECT_EQ(classes.FindByDescription("Text"), TTextProps::StaticClass());

  classes.SetSorted(true);
  EXPECT_EQ(classes.GetItem(0), TMaskProps::StaticClass());
  classes.Register(TBaseProps::StaticClass(), "base");
  EXPECT_EQ(classes.GetDescription(0), "base");  // case is ignored
  classes.Unregister(TMaskProps::StaticClass());
  EXPECT_EQ(classes.GetIndexByClass(TMaskProps::StaticClass()), -1);
  EXPECT_THROW(classes.GetItem(5), EListError);
}

TEST(cxRegisteredClassList, FindsTheMostSpecificAncestorInEitherOrder) {
  for (bool baseFirst : {true, false}) {
    TcxRegisteredClassList list;
    if (baseFirst) {
      list.Register(TBaseProps::StaticClass(), TBaseHelper::StaticClass());
      list.Register(TTextProps::StaticClass(), TTextHelper::StaticClass());
    } else {
      list.Register(TTextProps::StaticClass(), TTextHelper::StaticClass());
      list.Register(TBaseProps::StaticClass(), TBaseHelper::StaticClass());
    }
    // Ancestors are kept before their descendants.
    EXPECT_EQ(list.GetItem(0).ItemClass, TBaseProps::StaticClass());
    EXPECT_EQ(list.FindClass(TMaskProps::StaticClass()), TTextHelper::StaticClass());
    EXPECT_EQ(list.FindClass(TBaseProps::StaticClass()), TBaseHelper::StaticClass());
    EXPECT_EQ(list.FindClass(TPersistent::StaticClass()), nullptr);
    Integer index;
    EXPECT_FALSE(list.Find(TPersistent::StaticClass(), index));
    EXPECT_EQ(index, 0);  // the first descendant's record
  }
  TcxRegisteredClassList list;
  list.Register(TTextProps::StaticClass(), TTextHelper::StaticClass());
  list.Register(TTextProps::StaticClass(), TBaseHelper::StaticClass());
  list.Register(TTextProps::StaticClass(), TTextHelper::StaticClass());
  list.Unregister(TTextProps::StaticClass(), TTextHelper::StaticClass());
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetItem(0).RegisteredClass, TBaseHelper::StaticClass());
}

TEST(cxClassesHelpers, RoundingAndRangeCentres) {
  EXPECT_EQ(RoundDiv(7, 2), 4);
  EXPECT_EQ(RoundDiv(6, 2), 3);
  EXPECT_EQ(RoundDiv(-7, 2), -2);
  EXPECT_EQ(GetRangeCenter(2, 5), 3);
  EXPECT_EQ(GetRangeCenter(0, 0), 0);
  EXPECT_EQ(GetRangeCenter(-3, 0), -2);  // halves of negative sums round down
  EXPECT_EQ(GetRangeCenter(-1, -2), -2);
  EXPECT_EQ(GetRangeCenter(INT_MAX - 2, INT_MAX), INT_MAX - 1);
  EXPECT_EQ(GetRangeCenter(INT_MIN, INT_MIN + 3), INT_MIN + 1);
  EXPECT_EQ(HexToByte("7f"), 0x7F);
  EXPECT_EQ(HexToByte("A0"), 0xA0);
  EXPECT_THROW(HexToByte("G0"), EConvertError);
  EXPECT_THROW(HexToByte("1"), EConvertError);
  EXPECT_EQ(GetCorrectPath("maps/a/b.tt"), "maps\\a\\b.tt");
}

TEST(cxAutoWidth, SharesFollowTheWidthsAndRespectMinimums) {
  TcxAutoWidthObject object(3);
  for (int i = 0; i < 3; ++i) object.AddItem()->Width = 100;
  object.AvailableWidth = 200;
  object.Calculate();
  EXPECT_EQ(object.GetItem(0)->AutoWidth, 67);
  EXPECT_EQ(object.GetItem(1)->AutoWidth, 66);
  EXPECT_EQ(object.GetItem(2)->AutoWidth, 67);

  object.GetItem(0)->MinWidth = 80;
  object.Calculate();
  EXPECT_EQ(object.GetItem(0)->AutoWidth, 80);
  EXPECT_EQ(object.GetItem(1)->AutoWidth, 60);
  EXPECT_EQ(object.GetItem(2)->AutoWidth, 60);

  // Fixed items keep their width; with all fixed the calculation ends.
  for (int i = 0; i < 3; ++i) object.GetItem(i)->Fixed = true;
  object.Calculate();
  EXPECT_EQ(object.GetItem(1)->AutoWidth, 100);
}

namespace {
class TNumberItem : public TcxMRUItem {
  ORV_CLASS(TNumberItem, TcxMRUItem)
 public:
  explicit TNumberItem(int n = 0) : Number(n) {}
  bool Equals(TcxMRUItem* AItem) override { return static_cast<TNumberItem*>(AItem)->Number == Number; }
  int Number;
};
}  // namespace
ORV_REGISTER(TNumberItem)

TEST(cxMRUItems, NewestFirstCutToMaxCount) {
  const Integer live = TObject::LiveCount();
  {
    TcxMRUItems items;
    items.SetMaxCount(3);
    for (int n = 1; n <= 4; ++n) items.Add(New<TNumberItem>(n));
    ASSERT_EQ(items.GetCount(), 3);
    EXPECT_EQ(static_cast<TNumberItem*>(items.GetItem(0))->Number, 4);
    EXPECT_EQ(static_cast<TNumberItem*>(items.GetItem(2))->Number, 2);
    items.Add(New<TNumberItem>(2));  // an equal item moves to the front
    ASSERT_EQ(items.GetCount(), 3);
    EXPECT_EQ(static_cast<TNumberItem*>(items.GetItem(0))->Number, 2);
    EXPECT_EQ(static_cast<TNumberItem*>(items.GetItem(1))->Number, 4);
    items.SetMaxCount(-5);
    EXPECT_EQ(items.GetMaxCount(), 0);
    items.SetMaxCount(1);
    EXPECT_EQ(items.GetCount(), 1);
  }
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST(cxObjectLinks, LinksReadNullOnceTheirObjectIsGone) {
  auto* component = New<TcxComponent>(nullptr);
  TcxObjectLink* a = cxAddObjectLink(component);
  TcxObjectLink* b = cxAddObjectLink(component);
  EXPECT_EQ(cxObjectLinkCount(), 2);
  component->Free();
  EXPECT_EQ(a->Ref, nullptr);
  EXPECT_EQ(b->Ref, nullptr);
  cxRemoveObjectLink(a);
  cxRemoveObjectLink(b);
  EXPECT_EQ(cxObjectLinkCount(), 0);
}

TEST(cxAlignment, AssignedMarksDecideWhatIsStored) {
  TcxAlignment alignment(nullptr, true, taRightJustify, vaCenter);
  int changes = 0;
  alignment.OnChanged = [&](TObject*) { ++changes; };
  EXPECT_FALSE(alignment.IsHorzStored());
  alignment.SetHorz(taRightJustify);  // same value: assigned, no change
  EXPECT_TRUE(alignment.IsHorzStored());
  EXPECT_EQ(changes, 0);
  alignment.SetVert(vaTop);
  EXPECT_EQ(changes, 1);
  alignment.Reset();
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(alignment.GetIsHorzAssigned());
  EXPECT_EQ(alignment.GetVert(), vaCenter);

  TcxAlignment plain(nullptr, false, taLeftJustify, vaTop);
  plain.SetHorz(taLeftJustify);
  EXPECT_FALSE(plain.IsHorzStored());  // equal to its default
  plain.Assign(&alignment);
  EXPECT_EQ(plain.GetHorz(), taRightJustify);
}

namespace {
class TTestCollectionItem;
class TTestOwner : public TComponent {
  ORV_CLASS(TTestOwner, TComponent)
 public:
  explicit TTestOwner(TComponent* AOwner);
  ~TTestOwner() override { Items->Free(); }
  TcxComponentCollection* Items;
};
class TTestCollectionItem : public TcxComponentCollectionItem {
  ORV_CLASS(TTestCollectionItem, TcxComponentCollectionItem)
 public:
  explicit TTestCollectionItem(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) {}

 protected:
  TcxComponentCollection* GetCollectionFromParent(TComponent* AParent) override {
    return static_cast<TTestOwner*>(AParent)->Items;
  }
};
TTestOwner::TTestOwner(TComponent* AOwner)
    : TComponent(AOwner), Items(New<TcxComponentCollection>(this, TTestCollectionItem::StaticClass())) {}
}  // namespace
ORV_REGISTER(TTestOwner)
ORV_REGISTER(TTestCollectionItem)

TEST(cxComponentCollection, NotificationsAndIds) {
  TComponent* form = New<TComponent>(nullptr);
  auto* owner = New<TTestOwner>(form);
  std::vector<std::string> log;
  owner->Items->OnChange = [&](TObject*, TcxComponentCollectionItem* item, TcxComponentCollectionNotification n) {
    log.push_back(AnsiString(TypeInfo<TcxComponentCollectionNotification>()->EnumNames[n]) + (item ? "" : "*"));
  };
  auto* first = owner->Items->Add();
  auto* second = owner->Items->Add();
  EXPECT_EQ(first->GetOwner(), form);  // owned like the parent's children
  EXPECT_EQ(first->GetID(), 0);
  EXPECT_EQ(second->GetID(), 1);
  EXPECT_EQ(owner->Items->FindItemByID(1), second);
  log.clear();

  owner->Items->BeginUpdate();
  owner->Items->Delete(0);
  owner->Items->EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"ccnDeleting", "ccnExtracting", "ccnExtracted", "ccnChanged*"}));
  EXPECT_EQ(owner->Items->GetCount(), 1);
  EXPECT_EQ(owner->Items->Add()->GetID(), 2);  // IDs are never reused
  form->Free();
}

TEST(cxComponentCollection, AssignedToItselfItKeepsItsItems) {
  TComponent* form = New<TComponent>(nullptr);
  auto* owner = New<TTestOwner>(form);
  owner->Items->Add();
  owner->Items->Add();
  std::vector<std::string> log;
  owner->Items->OnChange = [&](TObject*, TcxComponentCollectionItem*, TcxComponentCollectionNotification n) {
    log.push_back(TypeInfo<TcxComponentCollectionNotification>()->EnumNames[n]);
  };
  owner->Items->Assign(owner->Items);
  ASSERT_EQ(owner->Items->GetCount(), 2);
  EXPECT_EQ(owner->Items->GetItem(0)->GetID(), 0);
  EXPECT_EQ(owner->Items->GetItem(1)->GetID(), 1);
  EXPECT_TRUE(log.empty()) << "nothing was deleted or made again";
  form->Free();
}

TEST(cxFoundationStartup, ShutDownReleasesTheOverridesAndDrawingResources) {
  RegisterFoundationUnits();
  InitializeUnits();
  cxSetResourceStringNet("Cancel", "Abbrechen");
  cxSystemBrush(5);  // made on first use
  FinalizeUnits();
  EXPECT_EQ(cxGetResourceStringNet("Cancel"), "Cancel");
}
