// The lookup items of a text editor on a form: incremental search proposes
// an item's own spelling and never wraps, a failed search keeps or drops
// the current item by editing style, the navigation table moves through
// the items and changes the editor's text, the same item again changes
// nothing, and an open list moves only its highlight. The list on its own,
// in a container: rows of one centred line, hot tracking, the wheel and
// the row count.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/foundation/cxGraphics.h"
#include "platform/controls/ListBoxTestHooks.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowDC.h"

using namespace win;

namespace {

// The search with its exact form callable, and a list when asked for.
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
  Integer PageRows = 8;
  TcxEditEditingStyle GetEditingStyle() const override { return Style; }
  Integer GetDropDownPageRowCount() const override { return PageRows; }
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

// A list whose rows may be made taller, and that frames its focused row.
class TTestEditListBox : public TcxCustomEditListBox {
  ORV_CLASS(TTestEditListBox, TcxCustomEditListBox)
 public:
  explicit TTestEditListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner) {}
  Integer RowHeight = 0;
  bool FrameFocus = false;
  Integer GetItemHeight(Integer AIndex = -1) override {
    return RowHeight > 0 ? RowHeight : TcxCustomEditListBox::GetItemHeight(AIndex);
  }

 protected:
  bool NeedDrawFocusRect() override { return FrameFocus; }
};

class TListHost : public TcxContainer {
  ORV_CLASS(TListHost, TcxContainer)
 public:
  explicit TListHost(TComponent* AOwner) : TcxContainer(AOwner) {}
  TTestEditListBox* list = nullptr;
  void AfterConstruction() override {
    TcxContainer::AfterConstruction();
    list = New<TTestEditListBox>(this);
    list->SetContainer(this);
    list->SetParent(this);
    SetInnerControl(list);
  }
};

class LookupSession : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  void SetUp() override {
    SetTextRenderMode(TextRenderMode::Monochrome);
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    form->Free();
    win::test::PumpUntilIdle();
    SetTextRenderMode(TextRenderMode::Grayscale);
  }
  void Show() {
    form->Show();
    win::test::PumpUntilIdle();
  }
};

class cxTextEditLookups : public LookupSession {
 protected:
  TTestLookupEdit* edit = nullptr;
  TTestLookupData* lookup = nullptr;
  int selects = 0;

  void SetUp() override {
    LookupSession::SetUp();
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
    Show();
  }
  void Items(std::initializer_list<const char*> items) {
    TStrings* list = edit->Props()->GetLookupItems();
    list->Clear();
    for (const char* s : items) list->Add(s);
  }
  Integer Key() { return lookup->GetCurrentKey().AsInteger(); }
};

class cxEditListBoxes : public LookupSession {
 protected:
  TListHost* host = nullptr;
  TTestEditListBox* list = nullptr;
  std::vector<int> selected;  // the list's item index at each select-item event

  void SetUp() override {
    LookupSession::SetUp();
    host = New<TListHost>(form);
    host->SetBoundsRect({10, 10, 170, 130});
    host->SetParent(form);
    list = host->list;
    list->OnSelectItem = [this](TObject*) { selected.push_back(list->GetItemIndex()); };
  }
  void Add(std::initializer_list<const char*> items) {
    for (const char* s : items) list->GetItems()->Add(s);
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(list->GetHandle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(list->GetHandle(), dc);
    return c;
  }
  static COLORREF RGBOf(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }
  // The box around a row's pixels that differ from its right edge's.
  TRect Ink(int row) {
    const TRect r = list->ItemRect(row);
    const COLORREF background = Pixel(r.Right - 1, r.Top);
    TRect ink{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Pixel(x, y) != background) ink = {std::min<int>(ink.Left, x), std::min<int>(ink.Top, y),
                                              std::max<int>(ink.Right, x + 1), std::max<int>(ink.Bottom, y + 1)};
    return ink;
  }
  void Hover(int x, int y) {
    win::test::MouseMove(list->ClientToScreen({x, y}));
    win::test::PumpUntilIdle();
  }
};

}  // namespace

ORV_REGISTER(TTestLookupData)
ORV_REGISTER(TTestLookupProperties)
ORV_REGISTER(TTestLookupEdit)
ORV_REGISTER(TTestEditListBox)
ORV_REGISTER(TListHost)

TEST_F(cxTextEditLookups, TypedTextFindsTheFirstItemItBeginsInTheItemsOwnLettersAndNeverWraps) {
  Items({"Rome", "Roma", "rom"});
  AnsiString text = "RO", tail;
  ASSERT_TRUE(lookup->Locate(text, tail));
  EXPECT_EQ(text + "|" + tail, "Ro|me");
  EXPECT_EQ(Key(), 0);
  text = "RO";
  ASSERT_TRUE(lookup->Locate(text, tail, true));  // on from the found item
  EXPECT_EQ(Key(), 1);
  text = "ro";
  ASSERT_TRUE(lookup->Locate(text, tail, true));
  EXPECT_EQ(text + "|" + tail, "ro|m");
  text = "ro";
  EXPECT_FALSE(lookup->Locate(text, tail, true));  // after the last item: no new round
  EXPECT_EQ(Key(), -1);                             // the free-text style drops its item
  text = "Romeo";
  EXPECT_FALSE(lookup->Locate(text, tail));
  EXPECT_TRUE(lookup->Find("ROMA"));
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
  Items({"Apple", "", "Avocado"});  // an empty item is a valid choice
  EXPECT_EQ(fail(esEditList, "", false), 1);
}

TEST_F(cxTextEditLookups, NavigationMovesByTheTableAndTheEditorShowsTheItemReached) {
  TStrings* items = edit->Props()->GetLookupItems();
  for (int i = 1; i <= 20; ++i) items->Add("Item " + IntToStr(i));
  struct Move {
    TcxEditLookupDataGoDirection direction;
    bool cycle;
    Integer from, to;
  };
  for (const Move& m : std::vector<Move>{
           {egdNext, false, 19, 19}, {egdNext, true, 19, 0}, {egdNext, false, -1, 0}, {egdPrev, false, 0, 0},
           {egdPrev, true, 0, 19}, {egdPageDown, false, 3, 10}, {egdPageDown, false, 15, 19},
           {egdPageDown, true, 15, 19}, {egdPageDown, true, 19, 0}, {egdPageDown, false, -1, 7},
           {egdPageUp, false, -1, -1}, {egdPageUp, true, -1, 19}, {egdPageUp, false, 10, 3},
           {egdPageUp, true, 2, 0}, {egdPageUp, true, 0, 19}, {egdBegin, false, 12, 0}, {egdEnd, false, 3, 19}}) {
    lookup->SetCurrentKey(Variant(m.from));
    lookup->Go(m.direction, m.cycle);
    EXPECT_EQ(Key(), m.to) << "from " << m.from << " going " << m.direction << (m.cycle ? " cycling" : "");
    if (m.to >= 0) {
      EXPECT_EQ(edit->GetText(), "Item " + IntToStr(m.to + 1));
    }
  }
  // A page as long as Integer goes to the ends.
  edit->Props()->PageRows = INT_MAX;
  for (const Move& m : std::vector<Move>{{egdPageDown, false, 3, 19},
                                         {egdPageDown, true, 19, 0},
                                         {egdPageDown, false, -1, 19},
                                         {egdPageUp, false, 10, 0}}) {
    lookup->SetCurrentKey(Variant(m.from));
    lookup->Go(m.direction, m.cycle);
    EXPECT_EQ(Key(), m.to) << "from " << m.from << " going " << m.direction << (m.cycle ? " cycling" : "");
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
  lookup->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(edit->GetText(), "Roma");
  edit->SetText("ROMA");  // other letters: applied again
  lookup->SetCurrentKey(Variant(1));
  EXPECT_EQ(selects, 2);
  EXPECT_EQ(edit->GetText(), "Roma");

  // Picking the current item re-applies it, once.
  edit->SetText("Rom");
  lookup->SelectItem();
  EXPECT_EQ(selects, 3);
  EXPECT_EQ(edit->GetText(), "Roma");

  // Keys naming no item are refused; the null key is none.
  lookup->SetCurrentKey(Variant(7));
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(lookup->GetDisplayText(Variant(7)), "");
  lookup->SetCurrentKey(Null());
  EXPECT_EQ(Key(), -1);
  EXPECT_EQ(selects, 4);
  lookup->SelectItem();  // nothing highlighted
  EXPECT_EQ(selects, 4);
}

TEST_F(cxTextEditLookups, AnOpenListMovesOnlyItsHighlightAndPickingAnotherItemAsksTheEditor) {
  Items({"Apple", "Avocado", "Banana"});
  lookup->SetCurrentKey(Variant(0));
  edit->SetModifiedAfterEnter(false);  // nothing typed yet: changes ask first
  lookup->WithList = true;
  lookup->Initialize(form);
  TcxCustomEditListBox* list = lookup->GetList();
  ASSERT_NE(list, nullptr);
  lookup->PositionVisualArea({10, 40, 150, 140});
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_TRUE(lookup->IsMouseOverList(list->ClientToScreen({5, 5})));
  EXPECT_FALSE(lookup->IsMouseOverList(list->ClientToScreen({5, -2})));

  selects = 0;
  lookup->Go(egdNext, false);
  lookup->SetItemIndex(2);
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(Key(), 0);
  EXPECT_EQ(selects, 0);
  lookup->CloseUp();  // the highlight goes back to the current item
  EXPECT_EQ(list->GetItemIndex(), 0);

  // The pointer moves the highlight; picking it asks the editor.
  win::test::MouseMove(list->ClientToScreen({5, list->ItemRect(1).Top + 2}));
  win::test::PumpUntilIdle();
  EXPECT_EQ(lookup->GetItemIndex(), 1);
  bool allow = false;
  edit->OnEditing = [&](TObject*, bool& CanEdit) { CanEdit = allow; };
  lookup->SelectItem();
  EXPECT_EQ(Key(), 0);
  allow = true;
  lookup->SelectItem();
  EXPECT_EQ(edit->GetText(), "Avocado");

  edit->Props()->SetImmediateUpdateText(true);
  lookup->Go(egdNext, false);
  EXPECT_EQ(edit->GetText(), "Banana");
  edit->Props()->GetLookupItems()->Add("Cherry");
  EXPECT_EQ(list->GetCount(), 4);

  // The list goes with its parent first; the lookup data forgets it.
  list->Free();
  EXPECT_EQ(lookup->GetActiveControl(), nullptr);
  lookup->Go(egdBegin, false);
  EXPECT_EQ(Key(), 0);
}

TEST_F(cxTextEditLookups, APickSurvivesAHostThatChangesTheItemsWhileAskedAndTheItemsTextSearchesNothing) {
  Items({"Apple", "Avocado", "Banana"});
  lookup->SetCurrentKey(Variant(0));
  edit->SetModifiedAfterEnter(false);
  lookup->WithList = true;
  lookup->Initialize(form);
  lookup->PositionVisualArea({10, 40, 150, 140});
  win::test::PumpUntilIdle();
  lookup->SetItemIndex(1);
  ASSERT_EQ(Key(), 0);

  std::vector<bool> lockedWhileSelecting;
  const TNotifyEvent counted = lookup->GetOnSelectItem();
  lookup->SetOnSelectItem([&, counted](TObject* Sender) {
    lockedWhileSelecting.push_back(edit->GetLookupTextLock());
    counted(Sender);
  });
  // The host grows the items while it answers; the pick still stands.
  edit->OnEditing = [&](TObject*, bool& CanEdit) {
    edit->Props()->GetLookupItems()->Add("Cherry");
    CanEdit = true;
  };
  lookup->SelectItem();
  EXPECT_EQ(Key(), 1);
  EXPECT_EQ(edit->GetText(), "Avocado");
  EXPECT_EQ(lockedWhileSelecting, std::vector<bool>{true});
  EXPECT_FALSE(edit->GetLookupTextLock());
}

TEST_F(cxEditListBoxes, RowsAreOneLineOfTextCentredTwoPixelsInWithAmpersandsDrawnAsTheyStand) {
  Add({"Rome", "R&D", "RD"});
  list->SetItemIndex(1);
  Show();
  const Integer textHeight = cxTextHeight(list->GetFont(), "Wg");
  const TRect row0 = list->ItemRect(0), row1 = list->ItemRect(1);
  EXPECT_EQ(row0.Height(), textHeight);
  EXPECT_EQ(list->GetHeight(3), 3 * textHeight);
  EXPECT_EQ(Pixel(0, row0.Top), RGBOf(clWindow));
  EXPECT_EQ(Pixel(row1.Right - 1, row1.Top), RGBOf(clHighlight));
  const TRect rome = Ink(0);
  EXPECT_GE(rome.Left, 2);  // two pixels in from the left edge
  EXPECT_LE(rome.Left, 4);
  // The ampersand is a character of its own, not an accelerator marker.
  EXPECT_GT(Ink(1).Width(), Ink(2).Width() + 3);
  HDC dc = GetDC(form->GetHandle());
  EXPECT_TRUE(SaveDCPng(dc, "edit_list_box.png"));
  ReleaseDC(form->GetHandle(), dc);

  // Taller rows keep the text in the middle.
  list->RowHeight = textHeight + 10;
  list->SetStyle(lbStandard);
  list->SetStyle(lbOwnerDrawFixed);
  win::test::PumpUntilIdle();
  ASSERT_EQ(list->ItemRect(0).Height(), textHeight + 10);
  EXPECT_EQ(Ink(0).Top - list->ItemRect(0).Top, rome.Top - row0.Top + 5);
}

TEST_F(cxEditListBoxes, TheRowUnderThePointerIsSelectedAndReportedOnceUnlessTheMouseIsHeldOrTrackingIsOff) {
  Add({"Apple", "Avocado", "Banana", "Cherry"});
  Show();
  const int h = list->ItemRect(0).Height();
  Hover(20, 2 * h + 2);
  Hover(30, 2 * h + 4);  // the same row: nothing new
  Hover(30, h + 1);
  Hover(30, 4 * h + 10);  // below the last row the selection stays
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(selected, (std::vector<int>{2, 1}));
  SetCapture(list->GetHandle());
  Hover(30, 3 * h + 1);
  ReleaseCapture();
  list->SetHotTrack(false);
  Hover(30, 3 * h + 2);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(selected.size(), 2u);

  // A click is reported too.
  win::test::Click(list->GetHandle(), {30, 3 * h + 1});
  win::test::PumpUntilIdle();
  ASSERT_GE(selected.size(), 3u);
  EXPECT_EQ(selected.back(), 3);
}

TEST_F(cxEditListBoxes, TheWheelScrollsThreeLinesANotchUnlessTheContainerTakesIt) {
  for (int i = 1; i <= 30; ++i) list->GetItems()->Add("Item " + IntToStr(i));
  Show();
  bool take = false;
  host->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) { Handled = take; };
  win::test::MouseMove(list->ClientToScreen({20, 20}));
  for (int delta : {-120, -120, 120}) win::test::Wheel(delta);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 3);
  take = true;
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 3);
}

TEST_F(cxEditListBoxes, TheRowCountGrowsAndShrinksAtTheEndKeepingTheRowsBefore) {
  Add({"Rome", "Roma", "rom"});
  Show();
  list->SetItemIndex(1);
  list->SetItemCount(5);
  EXPECT_EQ(controls::test::ListItems(list->GetHandle()), (std::vector<std::string>{"Rome", "Roma", "rom", "", ""}));
  list->SetItemCount(2);
  EXPECT_EQ(controls::test::ListItems(list->GetHandle()), (std::vector<std::string>{"Rome", "Roma"}));
  EXPECT_EQ(list->GetItemIndex(), 1);
  list->SetItemCount(-4);  // empties the list and goes no further
  EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(cxEditListBoxes, AShownListDrawsItsSelectionAsFocusedWhileTheFocusIsElsewhere) {
  Add({"Apple", "Avocado"});
  list->FrameFocus = true;
  list->SetItemIndex(0);
  list->SetVisible(false);
  Show();
  host->SetFocus();
  list->SetVisible(true);
  win::test::PumpUntilIdle();
  ASSERT_NE(GetFocus(), list->GetHandle());
  // The dotted frame breaks the highlight along the row's top edge.
  const TRect row = list->ItemRect(0);
  bool framed = false;
  for (int x = row.Left; x < row.Right; ++x) framed |= Pixel(x, row.Top) != RGBOf(clHighlight);
  EXPECT_TRUE(framed);
}
