// The lookup items of a text editor on a form: incremental search proposes
// an item's own spelling and never wraps, a failed search keeps or drops
// the current item by editing style, the navigation table moves through
// the items (and changes the editor's text), the same item set again
// changes nothing, and an open list moves only its highlight.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/TestHooks.h"

namespace {

// The search with its exact form callable.
class TTestLookupData : public TcxCustomTextEditLookupData {
  ORV_CLASS(TTestLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TTestLookupData(TPersistent* AOwner) : TcxCustomTextEditLookupData(AOwner) {}
  using TcxCustomTextEditLookupData::InternalLocate;
  bool WithList = false;

 protected:
  TcxCustomEditListBoxClass GetListBoxClass() override {
    return WithList ? TcxCustomEditListBoxClass(TcxCustomEditListBox::StaticClass()) : nullptr;
  }
};

// Text-edit properties whose editing style a test chooses.
class TTestLookupProperties : public TcxTextEditProperties {
  ORV_CLASS(TTestLookupProperties, TcxTextEditProperties)
 public:
  explicit TTestLookupProperties(TPersistent* AOwner) : TcxTextEditProperties(AOwner) {}
  TcxEditEditingStyle Style = esEdit;
  TcxEditEditingStyle GetEditingStyle() const override { return Style; }
  TClass GetLookupDataClass() const override { return TTestLookupData::StaticClass(); }
};

class TTestLookupEdit : public TcxTextEdit {
  ORV_CLASS(TTestLookupEdit, TcxTextEdit)
 public:
  explicit TTestLookupEdit(TComponent* AOwner) : TcxTextEdit(AOwner) {}
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TTestLookupProperties::StaticClass();
  }
  TTestLookupProperties* Props() const { return static_cast<TTestLookupProperties*>(GetProperties()); }
};

class cxTextEditLookups : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  TTestLookupEdit* edit = nullptr;
  TTestLookupData* lookup = nullptr;
  int selects = 0;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
    edit = New<TTestLookupEdit>(form);
    edit->SetBoundsRect({10, 10, 150, 31});
    edit->SetParent(form);
    lookup = dynamic_cast<TTestLookupData*>(edit->GetILookupData());
    ASSERT_NE(lookup, nullptr);
    // Count the select-item events on their way to the editor.
    const TNotifyEvent toEditor = lookup->GetOnSelectItem();
    lookup->SetOnSelectItem([this, toEditor](TObject* Sender) {
      ++selects;
      if (toEditor) toEditor(Sender);
    });
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    win::test::PumpUntilIdle();
  }
  void Items(std::initializer_list<const char*> items) {
    TStrings* list = edit->Props()->GetLookupItems();
    list->Clear();
    for (const char* s : items) list->Add(s);
  }
  void NumberedItems(int count) {
    TStrings* list = edit->Props()->GetLookupItems();
    list->Clear();
    for (int i = 1; i <= count; ++i) list->Add("Item " + IntToStr(i));
  }
  Integer Key() { return lookup->GetCurrentKey().AsInteger(); }
};

}  // namespace

ORV_REGISTER(TTestLookupData)
ORV_REGISTER(TTestLookupProperties)
ORV_REGISTER(TTestLookupEdit)

TEST_F(cxTextEditLookups, TypedTextFindsTheFirstItemItBeginsInTheItemsOwnLettersAndNeverWraps) {
  Items({"Rome", "Roma", "rom"});
  AnsiString text = "RO", tail;
  ASSERT_TRUE(lookup->Locate(text, tail));
  EXPECT_EQ(text, "Ro");
  EXPECT_EQ(tail, "me");
  EXPECT_EQ(Key(), 0);
  EXPECT_EQ(lookup->GetItemIndex(), 0);

  // Searching on from the found item.
  text = "RO";
  ASSERT_TRUE(lookup->Locate(text, tail, true));
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(text + tail, "Roma");
  text = "ro";
  ASSERT_TRUE(lookup->Locate(text, tail, true));
  EXPECT_EQ(text, "ro");
  EXPECT_EQ(tail, "m");
  EXPECT_EQ(Key(), 2);

  // After the last item the search fails instead of starting again.
  text = "ro";
  EXPECT_FALSE(lookup->Locate(text, tail, true));
  EXPECT_EQ(Key(), -1);  // the free-text style drops its item

  // Longer than every item, or empty: nothing.
  text = "Romeo";
  EXPECT_FALSE(lookup->Locate(text, tail));
  text = "";
  EXPECT_FALSE(lookup->Locate(text, tail));

  // Finding a whole item ignores letter case too.
  EXPECT_TRUE(lookup->Find("ROMA"));
  EXPECT_FALSE(lookup->Find("Rom "));
  EXPECT_EQ(lookup->IndexOf("ROM"), 2);
}

TEST_F(cxTextEditLookups, AFailedSearchKeepsTheItemOfAListStyleWhileTypingAndDropsItWhenMeantWhole) {
  Items({"Apple", "Avocado"});
  auto fail = [&](TcxEditEditingStyle style, const char* typed, bool exact) {
    edit->Props()->Style = style;
    lookup->SetCurrentKey(Variant(1));
    AnsiString text = typed, tail;
    EXPECT_FALSE(lookup->InternalLocate(text, tail, false, exact));
    return Key();
  };
  EXPECT_EQ(fail(esFixedList, "q", false), 1);
  EXPECT_EQ(fail(esFixedList, "q", true), -1);
  EXPECT_EQ(fail(esEdit, "q", false), -1);
  EXPECT_EQ(fail(esEditList, "q", false), 1);
  EXPECT_EQ(fail(esEditList, "q", true), -1);
  EXPECT_EQ(fail(esEditList, "", false), -1);
  EXPECT_EQ(fail(esNoEdit, "q", true), 1);
  // An empty item is a valid choice of a list style.
  Items({"Apple", "", "Avocado"});
  EXPECT_EQ(fail(esEditList, "", false), 1);

  // Without items every style fails by the same rule.
  Items({});
  edit->Props()->Style = esEdit;
  AnsiString text = "A", tail;
  EXPECT_FALSE(lookup->Locate(text, tail));
  EXPECT_TRUE(lookup->IsEmpty());
  EXPECT_EQ(Key(), -1);
}

TEST_F(cxTextEditLookups, NavigationMovesByTheTableAndTheEditorShowsTheItemReached) {
  NumberedItems(20);
  ASSERT_EQ(edit->Props()->GetDropDownPageRowCount(), 8);
  struct Move {
    TcxEditLookupDataGoDirection direction;
    bool cycle;
    Integer from, to;
  };
  const std::vector<Move> moves = {
      {egdNext, false, 19, 19}, {egdNext, true, 19, 0},   {egdNext, false, -1, 0},
      {egdPrev, false, 0, 0},   {egdPrev, true, 0, 19},   {egdPrev, false, 5, 4},
      {egdPageDown, false, 3, 10}, {egdPageDown, false, 15, 19}, {egdPageDown, true, 15, 19},
      {egdPageDown, true, 19, 0},  {egdPageDown, false, -1, 7},
      {egdPageUp, false, -1, -1},  {egdPageUp, true, -1, 19},    {egdPageUp, false, 10, 3},
      {egdPageUp, false, 2, 0},    {egdPageUp, true, 2, 0},      {egdPageUp, true, 0, 19},
      {egdBegin, false, 12, 0},    {egdEnd, false, 3, 19},
  };
  for (const Move& m : moves) {
    lookup->SetCurrentKey(Variant(m.from));
    ASSERT_EQ(Key(), m.from);
    lookup->Go(m.direction, m.cycle);
    EXPECT_EQ(Key(), m.to) << "from " << m.from << " going " << m.direction << (m.cycle ? " cycling" : "");
    EXPECT_EQ(lookup->GetItemIndex(), m.to);
    if (m.to >= 0) {
      EXPECT_EQ(edit->GetText(), "Item " + IntToStr(m.to + 1));
    }
  }

  // An empty list goes nowhere and tells nobody.
  Items({});
  selects = 0;
  for (auto direction : {egdBegin, egdEnd, egdNext, egdPrev, egdPageUp, egdPageDown}) lookup->Go(direction, true);
  EXPECT_EQ(Key(), -1);
  EXPECT_EQ(selects, 0);
}

TEST_F(cxTextEditLookups, TheSameItemAgainChangesNothingUnlessTheEditorShowsSomethingElse) {
  Items({"Rome", "Roma"});
  lookup->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(edit->GetText(), "Roma");
  EXPECT_EQ(lookup->GetDisplayText(lookup->GetCurrentKey()), "Roma");

  lookup->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 1);

  // The editor shows the item in other letters: the item is applied again.
  edit->SetText("ROMA");
  lookup->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 2);
  EXPECT_EQ(edit->GetText(), "Roma");

  // Picking the current item re-applies it, once.
  edit->SetText("Rom");
  selects = 0;
  lookup->SelectItem();
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(edit->GetText(), "Roma");
  lookup->SelectItem();
  EXPECT_EQ(selects, 2);

  // Keys naming no item are refused; none is the null key or -1.
  lookup->SetCurrentKey(Variant(7));
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(lookup->GetDisplayText(Variant(7)), "");
  lookup->SetCurrentKey(Null());
  EXPECT_EQ(Key(), -1);
  EXPECT_EQ(lookup->GetDisplayText(Null()), "");
  selects = 0;
  lookup->SelectItem();  // nothing highlighted
  EXPECT_EQ(selects, 0);
}

TEST_F(cxTextEditLookups, PickingAnotherItemAsksTheEditorFirst) {
  Items({"Rome", "Roma"});
  lookup->SetCurrentKey(Variant(0));
  // The user has not changed anything yet: the editor asks before a change.
  edit->SetModifiedAfterEnter(false);
  bool allow = false;
  edit->OnEditing = [&](TObject*, bool& CanEdit) { CanEdit = allow; };
  selects = 0;
  // Highlight another item without the key (as an open list does).
  lookup->WithList = true;
  lookup->Initialize(form);
  lookup->GetList()->SetBoundsRect({10, 40, 150, 140});
  win::test::PumpUntilIdle();
  lookup->GetList()->SetItemIndex(1);
  EXPECT_EQ(lookup->GetItemIndex(), 1);
  EXPECT_EQ(Key(), 0);
  lookup->SelectItem();
  EXPECT_EQ(Key(), 0);
  EXPECT_EQ(selects, 0);
  allow = true;
  lookup->SelectItem();
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(edit->GetText(), "Roma");
}

TEST_F(cxTextEditLookups, AnOpenListMovesOnlyItsHighlightUntilThePropertiesUpdateTheTextAtOnce) {
  Items({"Apple", "Avocado", "Banana"});
  lookup->SetCurrentKey(Variant(0));
  lookup->WithList = true;
  lookup->Initialize(form);
  TcxCustomEditListBox* list = lookup->GetList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(lookup->GetActiveControl(), list);
  lookup->PositionVisualArea({10, 40, 150, 140});
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetBoundsRect(), TRect(10, 40, 150, 140));
  EXPECT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_TRUE(lookup->IsMouseOverList(list->ClientToScreen({5, 5})));
  EXPECT_FALSE(lookup->IsMouseOverList(list->ClientToScreen({5, -2})));

  selects = 0;
  lookup->Go(egdNext, false);
  EXPECT_EQ(lookup->GetItemIndex(), 1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(Key(), 0);
  lookup->SetItemIndex(2);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(Key(), 0);
  EXPECT_EQ(edit->GetText(), "Apple");
  EXPECT_EQ(selects, 0);

  // Closing puts the highlight back on the current item.
  lookup->CloseUp();
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_EQ(lookup->GetItemIndex(), 0);

  edit->Props()->SetImmediateUpdateText(true);
  lookup->Go(egdNext, false);
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(edit->GetText(), "Avocado");

  // The pointer over the list moves the highlight through the list's own
  // selection event.
  const TRect row = list->ItemRect(2);
  win::test::MouseMove(list->ClientToScreen({5, row.Top + 2}));
  win::test::PumpUntilIdle();
  EXPECT_EQ(lookup->GetItemIndex(), 2);

  // More items, more rows.
  edit->Props()->GetLookupItems()->Add("Cherry");
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetCount(), 4);

  // The list goes with its parent first; the lookup data forgets it.
  list->Free();
  EXPECT_EQ(lookup->GetActiveControl(), nullptr);
  lookup->Go(egdBegin, false);
  EXPECT_EQ(Key(), 0);
}
