// The filter builder's criteria: the values and texts each operator
// stores, the item IDs it exchanges with the filtered control (applying,
// rebuilding, and a file loaded by a new builder over a new control as
// after a restart), and filter files that must not change anything when
// they are bad.
#include "library/grid/FilterControlSession.h"

#include "library/data/cxVariants.h"
#include "library/grid/filter/cxFilterControlStrs.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/OsEdge.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

using namespace grid_test;
using Names = std::vector<std::string>;

namespace {

class FilterModel : public FilterSession {};

TEST_F(FilterModel, EachOperatorStoresItsValuesAndTextsAndTheControlFiltersExactlyThoseRecords) {
  // An empty filter is the root alone, and the root alone writes an empty
  // list with its operator.
  EXPECT_EQ(Rows(), (Names{"0:G AND"}));
  builder->GetRoot()->BoolOperator = fboOr;
  builder->BuildFromRows();
  EXPECT_EQ(CriteriaBytes(builder->GetCriteria()), std::string("\xFF\xFF\xFF\xFF\x01\x00\x00\x00\x00", 9));
  builder->GetRoot()->BoolOperator = fboAnd;

  // Root AND: Count between 13 and 3 (stored swapped), Name not blank,
  // and a nested OR group: Name like "al%", Count in (7, 42, 99).
  auto* between = Add(builder->GetRoot(), 1, fcoBetween, {Variant(13), Variant(3)});
  Add(builder->GetRoot(), 0, fcoNonBlanks, {});
  Add(AddGroup(fboOr, fcoLike, "al%")->GetParent(), 1, fcoInList, {Variant(7), Variant(42), Variant(99)});
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [13|13] [3|3]", "1:C Name is not blank",
                           "1:G OR", "2:C Name like [al%|al%]", "2:C Count in [7|7] [42|42] [99|99]"}));
  EXPECT_EQ(between->GetValues()->GetCount(), 2);

  builder->ApplyFilter();
  // Count 3..13 and a name: beta (7), gamma (13), alfalfa (3), delta (7);
  // of those, like "al%" or Count in (7, 42, 99): beta, alfalfa, delta.
  EXPECT_EQ(target->Visible(), (Names{"beta", "alfalfa", "delta"}));

  // What the control holds: the between array smaller first with its
  // text, the list with its texts joined, every item by the control's ID.
  TcxFilterCriteriaItemList* root = target->GetFilterCriteria()->GetRoot();
  auto* stored = static_cast<TcxFilterCriteriaItem*>(root->GetItem(0));
  EXPECT_EQ(VarToStr(stored->GetValue()[0]) + "," + VarToStr(stored->GetValue()[1]), "3,13");
  EXPECT_EQ(stored->GetDisplayValue(), "3;13");
  auto* list = static_cast<TcxFilterCriteriaItem*>(
      static_cast<TcxFilterCriteriaItemList*>(root->GetItem(2))->GetItem(1));
  EXPECT_EQ(list->GetDisplayValue(), "7;42;99");
  EXPECT_EQ(VarArrayHighBound(list->GetValue(), 1) - VarArrayLowBound(list->GetValue(), 1), 2);
  EXPECT_EQ(target->GetFilterCriteria()->GetIDByItemLink(list->GetItemLink()), 1);

  // After applying the rows were rebuilt from what the control holds:
  // the same rows, the between values now in order.
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [3|3] [13|13]", "1:C Name is not blank", "1:G OR",
                           "2:C Name like [al%|al%]", "2:C Count in [7|7] [42|42] [99|99]"}));

  // Rebuilding a new builder from the control's criteria gives the same
  // rows, and applying them again the same records.
  auto* second = New<TcxFilterControl>(form);
  second->SetParent(form);
  second->SetLinkComponent(target);
  EXPECT_EQ(Rows(second), Rows());
  second->ApplyFilter();
  EXPECT_EQ(target->Visible(), (Names{"beta", "alfalfa", "delta"}));

  // A handler that raises: the control keeps what it took, and the rows
  // show what the control holds.
  struct Refuser : TObject {
    void Refuse(TObject*) { throw Exception("refused"); }
  } refuser;
  builder->OnApplyFilter = TNotifyEvent::Bind<&Refuser::Refuse>(&refuser);
  builder->SetFocusedRow(builder->GetRow(5));
  builder->RemoveRow();
  EXPECT_THROW(builder->ApplyFilter(), Exception);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count between [3|3] [13|13]", "1:C Name is not blank", "1:G OR",
                           "2:C Name like [al%|al%]"}));
  EXPECT_EQ(target->Visible(), (Names{"alfalfa"}));
}

TEST_F(FilterModel, BlankTextsOfNullAndEmptyValuesAndTheOperatorsOffered) {
  auto* equal = Add(builder->GetRoot(), 0, fcoEqual, {Null()});
  auto* empty = Add(builder->GetRoot(), 0, fcoEqual, {Variant("")});
  auto* less = Add(builder->GetRoot(), 0, fcoLess, {Variant("")});
  (void)equal;
  (void)empty;
  (void)less;
  builder->BuildFromRows();
  TcxFilterCriteriaItemList* root = builder->GetCriteria()->GetRoot();
  auto text = [&](Integer i) { return static_cast<TcxFilterCriteriaItem*>(root->GetItem(i))->GetDisplayValue(); };
  EXPECT_EQ(text(0), "blank");
  EXPECT_TRUE(VarIsNull(static_cast<TcxFilterCriteriaItem*>(root->GetItem(0))->GetValue()));
  EXPECT_EQ(text(1), "");
  EXPECT_EQ(text(2), "blank");

  // A new condition takes item 0, or with sorted items the first caption
  // ("Active"); a text item starts with "like", others with "=".
  builder->AddCondition(nullptr);
  EXPECT_EQ(Condition(builder->GetRowCount() - 1)->ItemText, "Name");
  EXPECT_EQ(Condition(builder->GetRowCount() - 1)->Operator, fcoLike);
  builder->SetSortItems(true);
  builder->AddCondition(nullptr);
  auto* sorted = Condition(builder->GetRowCount() - 1);
  EXPECT_EQ(sorted->ItemText, "Active");
  EXPECT_FALSE(sorted->GetSupportedOperators().Contains(fcoLike));

  // Without the criteria's LIKE switch no condition offers like.
  builder->GetCriteria()->SetTranslateLike(false);
  builder->RefreshProperties();
  for (Integer i = 1; i < builder->GetRowCount(); ++i) {
    EXPECT_FALSE(Condition(i)->GetSupportedOperators().Contains(fcoLike)) << i;
    EXPECT_FALSE(Condition(i)->GetSupportedOperators().Contains(fcoNotLike)) << i;
  }
}

// A list or range value whose text holds a ';': the stored display text
// cannot say where that value's text ends, so the rows show each value's
// own text, and applying again stores what it stored the first time.
TEST_F(FilterModel, TextsHoldingASemicolonComeBackWithTheirOwnValues) {
  Add(builder->GetRoot(), 0, fcoInList, {Variant("a;b"), Variant("c")});
  Add(builder->GetRoot(), 0, fcoBetween, {Variant("a;b"), Variant("c")});
  builder->ApplyFilter();
  const Names rows{"0:G AND", "1:C Name in [a;b|a;b] [c|c]", "1:C Name between [a;b|a;b] [c|c]"};
  EXPECT_EQ(Rows(), rows);
  TcxFilterCriteria* criteria = target->GetFilterCriteria();
  const std::string stored = CriteriaBytes(criteria);
  const AnsiString caption = criteria->GetFilterCaption();
  EXPECT_EQ(caption, "( in (a;b, c)) and ( between a;b and c)");  // the control's items have no caption
  builder->ApplyFilter();
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(CriteriaBytes(criteria), stored);
  EXPECT_EQ(criteria->GetFilterCaption(), caption);

  // A stored text that pairs with none of the values: each value shows its
  // own text, trimmed as stored parts are, for once applied the texts are
  // stored paired and must show the same again.
  TcxFilterControlCriteria* own = builder->GetCriteria();
  own->Clear();
  own->AddItem(target->GetItem(0), foInList, VarArrayOf({Variant("\tx"), Variant("y")}), "one text");
  builder->BuildFromCriteria();
  const Names paired{"0:G AND", "1:C Name in [\tx|x] [y|y]"};
  EXPECT_EQ(Rows(), paired);
  builder->ApplyFilter();
  EXPECT_EQ(Rows(), paired);
}

TEST_F(FilterModel, DateOperatorsFilterByTodayAndComeBackFromTheControl) {
  Forms.Win().Clock().SetDateTime(EncodeDate(2026, 12, 7).Value + 0.5);
  auto* since = Add(builder->GetRoot(), 3, fcoYesterday, {});
  EXPECT_FALSE(since->HasDisplayValues());
  builder->ApplyFilter();
  EXPECT_EQ(target->Visible(), (Names{"gamma"}));
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Since is yesterday"}));

  // This year, and a name ending in "a": alpha and gamma (the record
  // without a name is out).
  since = Condition(1);
  since->Operator = fcoThisYear;
  Add(builder->GetRoot(), 0, fcoLike, {Variant("%a")});
  builder->ApplyFilter();
  EXPECT_EQ(target->Visible(), (Names{"alpha", "gamma"}));
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Since is this year", "1:C Name like [%a|%a]"}));
}

class FilterFiles : public FilterSession {
 protected:
  TempDir dir;
  std::string Path(const char* AName) { return dir / AName; }
};

TEST_F(FilterFiles, AFileWrittenForTheControlLoadsIntoANewBuilderOverANewControlAsAfterARestart) {
  Add(builder->GetRoot(), 2, fcoGreater, {Variant(2.0)});
  Add(AddGroup(fboNotOr, fcoEqual, "gamma")->GetParent(), 4, fcoEqual, {Variant(true)});
  const Names rows = Rows();
  builder->SaveToFile(Path("active.flt"));
  // The item IDs in the file are the control's (the items' indexes).
  std::string bytes;
  bool missing = false;
  ASSERT_TRUE(orv::os::ReadWholeFile(Path("active.flt"), bytes, missing));
  EXPECT_EQ(bytes, CriteriaBytes(builder->GetCriteria()));
  EXPECT_NE(bytes.find(std::string("\x02\x00\x00\x00", 4)), std::string::npos);

  // A new form, control and builder: as in a later run.
  TForm* later = TCustomForm::CreateNew<TForm>(Application);
  TFilteredTestControl* control = MakeFilteredControl(later, later);
  auto* fresh = New<TcxFilterControl>(later);
  fresh->SetParent(later);
  fresh->SetLinkComponent(control);
  fresh->LoadFromFile(Path("active.flt"));
  EXPECT_EQ(Rows(fresh), rows);
  fresh->ApplyFilter();
  // Ratio > 2 and NOT (Name = gamma OR Active): beta 0.5 no; delta 7.5.
  EXPECT_EQ(control->Visible(), (Names{"delta"}));
  later->Free();

  // The documented sample: one condition "= 5" on the item with ID 1.
  const std::string sample("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\x01\x00\x00\x00\x35\x01\x00\x00\x00\x02\x05", 22);
  TMemoryStream ms;
  ms.Write(sample.data(), static_cast<Integer>(sample.size()));
  ms.SetPosition(0);
  builder->LoadFromStream(&ms);
  EXPECT_EQ(Rows(), (Names{"0:G AND", "1:C Count equals [5|5]"}));
}

TEST_F(FilterFiles, BadFilesChangeNothingAndSavingNeverTruncatesTheOldFile) {
  Add(builder->GetRoot(), 1, fcoEqual, {Variant(7)});
  builder->BuildFromRows();
  const Names rows = Rows();
  const std::string criteria = CriteriaBytes(builder->GetCriteria());
  const std::string good("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00\x00\x00\x01\x00\x00\x00\x35\x01\x00\x00\x00\x02\x05", 22);
  auto with = [&](size_t AAt, const std::string& ABytes) {
    std::string s = good;
    s.replace(AAt, ABytes.size(), ABytes);
    return s;
  };
  std::string deep("\xFF\xFF\xFF\xFF\x00\x01\x00\x00\x00", 9);
  for (int i = 0; i < 200; ++i) deep += std::string("\x01\x00\x01\x00\x00\x00", 6);
  const struct {
    const char* What;
    std::string Bytes;
    const char* Message;
  } bad[] = {
      {"truncated", good.substr(0, 17), "Stream read error"},
      {"a count larger than the entries", with(5, std::string("\x02", 1)), "Stream read error"},
      {"an unknown operator kind", with(10, std::string("\x7F", 1)), "Stream read error"},
      {"an unknown variant tag", with(20, std::string("\x63", 1)), "Stream read error"},
      {"a huge count", with(5, std::string("\xFF\xFF\xFF\x7F", 4)), "Stream read error"},
      {"nesting deeper than the stream holds", deep, "Stream read error"},
      {"an ID that matches no item", with(16, std::string("\x09", 1)), "Can't build filter from source"},
  };
  for (const auto& file : bad) {
    SCOPED_TRACE(file.What);
    TMemoryStream ms;
    ms.Write(file.Bytes.data(), static_cast<Integer>(file.Bytes.size()));
    ms.SetPosition(0);
    try {
      builder->LoadFromStream(&ms);
      ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
      EXPECT_EQ(e.GetMessage(), file.Message);
    }
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(CriteriaBytes(builder->GetCriteria()), criteria);
  }

  // A builder without a link cannot show any file.
  builder->SetLinkComponent(nullptr);
  TMemoryStream ms;
  ms.Write(good.data(), static_cast<Integer>(good.size()));
  ms.SetPosition(0);
  EXPECT_THROW(builder->LoadFromStream(&ms), EcxFilterControlError);

  // Saving into a folder that is not there fails and says so; a save that
  // runs out of room (a full disk) reports it and the old file stays whole.
  builder->SetLinkComponent(target);
  EXPECT_THROW(builder->SaveToFile(Path("missing/x.flt")), EFCreateError);
  builder->SaveToFile(Path("kept.flt"));
  std::string old;
  bool missing = false;
  ASSERT_TRUE(orv::os::ReadWholeFile(Path("kept.flt"), old, missing));
  Add(builder->GetRoot(), 0, fcoInList, {Variant("a long value"), Variant("another long value"), Variant("more")});
  {
    FileSizeLimit limit(old.size() + 4);
    EXPECT_THROW(builder->SaveToFile(Path("kept.flt")), EFCreateError);
  }
  std::string now;
  ASSERT_TRUE(orv::os::ReadWholeFile(Path("kept.flt"), now, missing));
  EXPECT_EQ(now, old);
}

TEST_F(FilterFiles, ANestedListFileSavesAsItLoadedAndAListOrRangeTheRowsCannotHoldIsRefused) {
  // Root OR: NOT OR (NOT OR (Count <AKind> "3;7" <AValues>)), Name = "ab".
  auto file = [](TcxFilterOperatorKind AKind, const std::string& AValues) {
    return std::string("\xFF\xFF\xFF\xFF\x01\x02\x00\x00\x00", 9) +
           std::string("\x01\x03\x01\x00\x00\x00\x01\x03\x01\x00\x00\x00\x00", 13) + char(AKind) +
           std::string("\x03\x00\x00\x00" "3;7" "\x01\x00\x00\x00", 11) + AValues +
           std::string("\x00\x00\x02\x00\x00\x00" "ab" "\x00\x00\x00\x00\x06\x02" "ab", 16);
  };
  auto load = [this](const std::string& ABytes) {
    TMemoryStream ms;
    ms.Write(ABytes.data(), static_cast<Integer>(ABytes.size()));
    ms.SetPosition(0);
    builder->LoadFromStream(&ms);
  };
  auto save = [this] {
    TMemoryStream ms;
    builder->SaveToStream(&ms);
    return std::string(static_cast<const char*>(ms.GetMemory()), static_cast<size_t>(ms.GetSize()));
  };
  const std::string good = file(foNotInList, std::string("\x01\x02\x02\x02\x03\x02\x07", 7));
  load(good);
  const Names rows{"0:G OR", "1:G NOT OR", "2:G NOT OR", "3:C Count not in [3|3] [7|7]", "1:C Name equals [ab|ab]"};
  EXPECT_EQ(Rows(), rows);
  // Saved, it is the same file, and loads back to the same rows.
  EXPECT_EQ(save(), good);
  load(save());
  EXPECT_EQ(Rows(), rows);

  // A list without values, a range of one end or of three: the rows hold a
  // list as one value at least and a range as its two ends, so showing
  // these would save something else, or (the empty list) a file that no
  // load accepts. The load refuses them and changes nothing.
  const struct {
    const char* What;
    std::string Bytes;
  } unshowable[] = {
      {"an empty list", file(foNotInList, std::string("\x01\x02\x00", 3))},
      {"a range of one", file(foBetween, std::string("\x01\x02\x01\x02\x03", 5))},
      {"a range of three", file(foBetween, std::string("\x01\x02\x03\x02\x03\x02\x07\x02\x09", 9))},
  };
  for (const auto& bad : unshowable) {
    SCOPED_TRACE(bad.What);
    try {
      load(bad.Bytes);
      ADD_FAILURE() << "shown";
    } catch (const EcxFilterControlError& e) {
      EXPECT_EQ(e.GetMessage(), "Can't build filter from source");
    }
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(save(), good);
  }
}

TEST_F(FilterFiles, AFailedRebuildKeepsRowsAndFocusAndTheTopRowNeverLeavesItsRange) {
  auto* first = Add(builder->GetRoot(), 1, fcoEqual, {Variant(7)});
  Add(builder->GetRoot(), 2, fcoLess, {Variant(3.5)});
  builder->SetFocusedRow(first);
  const Names rows = Rows();
  // Criteria whose second condition names an item the control does not
  // have: nothing of it shows, the focus stays.
  TcxFilterControlCriteria* criteria = builder->GetCriteria();
  criteria->Clear();
  criteria->AddItem(target->GetItem(0), foEqual, Variant("beta"), "beta");
  criteria->AddItem(form, foEqual, Variant(1), "1");
  EXPECT_THROW(builder->BuildFromCriteria(), EcxFilterControlError);
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(builder->GetFocusedRow(), first);

  // The top row: while nothing is laid out it stays 0 (no row height to
  // divide by); when every row fits, its upper bound is 0, never below.
  auto* unlaid = New<TcxFilterControl>(nullptr);
  unlaid->SetTopVisibleRow(5);
  EXPECT_EQ(unlaid->GetTopVisibleRow(), 0);
  unlaid->Free();
  form->Show();
  Pump();
  ASSERT_GT(builder->GetViewInfo()->GetRowHeight(), 0);
  builder->SetTopVisibleRow(2);
  EXPECT_EQ(builder->GetTopVisibleRow(), 0);
  builder->SetTopVisibleRow(-3);
  EXPECT_EQ(builder->GetTopVisibleRow(), 0);
}

}  // namespace
