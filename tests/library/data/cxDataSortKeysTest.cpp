// The keyed record order against the general comparison: every sort and
// grouping is done twice over the same random records, once with the
// per-record keys and once comparing records field by field, and the rows
// and group tables must match exactly (ties included).
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSortKeys.h"
#include "library/data/cxCustomDataViewPipeline.h"
#include "tests/library/data/DataControllerFixture.h"

namespace {

struct Snapshot {
  std::vector<Integer> Rows;
  std::vector<std::string> Groups;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(RecordingController* C) {
  Snapshot s;
  for (Integer i = 0; i < C->GetFilteredRecordCount(); ++i) s.Rows.push_back(C->GetFilteredRecordIndex(i));
  TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
  for (Integer g = 0; g < groups->GetItemCount(); ++g) {
    const TcxDataGroupInfo& info = groups->Item(g);
    s.Groups.push_back(std::to_string(info.Level) + ":" + std::to_string(info.First) + "-" + std::to_string(info.Last));
  }
  return s;
}

// Words that stress the text keys: case pairs, 1252 accents and ligatures,
// punctuation, shared prefixes longer than eight bytes, empty text.
const std::vector<std::string> kWords = {
    "",         "a",          "A",          "ab",          "AB",          "aB",         "abcdefgh",
    "abcdefghi", "ABCDEFGHI", "abcdefghj",  "abcdefgh\x01", "\xe9t\xe9",  "\xc9T\xc9",  "ete",
    "\xe8te",   "\xe6on",     "\xc6ON",     "aeon",        "stra\xdf" "e", "strasse",   "co-op",
    "coop",     "co op",      "\xff",       "\x9f",        "z",           "Z9",         "10",
    "9",        "\xb2",       "\xe5ngstr\xf6m", "Angstrom", "\xd1" "and\xfa", "na\xefve", "NA\xcfVE"};

struct Fixture {
  RecordingController* C;
  Integer Int, Small, WordItem, Bool, Large, Money, Real, When, Text;
};

Fixture MakeRecords(unsigned ASeed, Integer ACount) {
  Fixture f{};
  f.C = New<RecordingController>(nullptr);
  RecordingController* c = f.C;
  f.Int = c->AddTypedItem(TcxIntegerValueType::Class());
  f.Small = c->AddTypedItem(TcxSmallintValueType::Class());
  f.WordItem = c->AddTypedItem(TcxWordValueType::Class());
  f.Bool = c->AddTypedItem(TcxBooleanValueType::Class());
  f.Large = c->AddTypedItem(TcxLargeIntValueType::Class());
  f.Money = c->AddTypedItem(TcxCurrencyValueType::Class());
  f.Real = c->AddTypedItem(TcxFloatValueType::Class());
  f.When = c->AddTypedItem(TcxDateTimeValueType::Class());
  f.Text = c->AddTypedItem(TcxStringValueType::Class());
  std::mt19937 random(ASeed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  for (Integer r = 0; r < ACount; ++r) {
    // Few distinct values, so that ties are common and the record index
    // decides often.
    auto null = [&] { return pick(8) == 0; };
    if (!null()) c->SetValue(r, f.Int, pick(7) - 3);
    if (!null()) c->SetValue(r, f.Small, static_cast<SmallInt>(pick(5) * 1000 - 2000));
    if (!null()) c->SetValue(r, f.WordItem, static_cast<Word>(pick(4) * 20000));
    if (!null()) c->SetValue(r, f.Bool, pick(2) == 1);
    if (!null()) c->SetValue(r, f.Large, static_cast<Int64>(pick(5) - 2) * 4000000000LL);
    if (!null()) c->SetValue(r, f.Money, Currency::FromRaw(static_cast<Int64>(pick(6) - 3) * 12345));
    if (!null()) {
      static const double reals[] = {-1e300, -2.5, -0.0, 0.0, 1e-300, 2.5, 1e300};
      c->SetValue(r, f.Real, reals[pick(7)]);
    }
    if (!null()) c->SetValue(r, f.When, TDateTime(40000 + pick(3) + pick(2) * 0.5));
    if (!null()) c->SetValue(r, f.Text, AnsiString(kWords[static_cast<size_t>(pick(static_cast<int>(kWords.size())))]));
  }
  c->EndUpdate();
  return f;
}

// Runs AChange with the keys on and off and compares the views it leaves.
template <class Change>
void ExpectSameView(RecordingController* C, const char* AWhat, Change&& AChange) {
  C->BeginUpdate();
  AChange();
  C->EndUpdate();
  TcxRecordSortKeys::SetEnabled(false);
  C->Refresh();
  const Snapshot reference = Take(C);
  TcxRecordSortKeys::SetEnabled(true);
  C->Refresh();
  EXPECT_TRUE(Take(C) == reference) << AWhat;
}

class SortKeysTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void TearDown() override { TcxRecordSortKeys::SetEnabled(true); }
};

TEST_P(SortKeysTest, EveryValueTypeSortsAsTheGeneralComparisonInBothDirections) {
  Fixture f = MakeRecords(GetParam(), 400);
  for (Integer item : {f.Int, f.Small, f.WordItem, f.Bool, f.Large, f.Money, f.Real, f.When, f.Text})
    for (TcxDataSortOrder order : {soAscending, soDescending})
      ExpectSameView(f.C, "one field", [&] {
        f.C->ClearSorting(false);
        f.C->ChangeSorting(item, order);
      });
  f.C->Free();
}

TEST_P(SortKeysTest, TextOrdersWithEachComparisonOption) {
  Fixture f = MakeRecords(GetParam(), 400);
  const TcxDataControllerOptions base = f.C->GetOptions();
  for (TcxDataControllerOptions options : {base, base + dcoCaseInsensitive, base + dcoAnsiSort,
                                           base + dcoAnsiSort + dcoCaseInsensitive})
    for (TcxDataSortOrder order : {soAscending, soDescending})
      ExpectSameView(f.C, "text option", [&] {
        f.C->SetOptions(options);
        f.C->ClearSorting(false);
        f.C->ChangeSorting(f.Text, order);
      });
  f.C->Free();
}

TEST_P(SortKeysTest, SeveralFieldsAndGroupingLevelsMatch) {
  Fixture f = MakeRecords(GetParam(), 500);
  const TcxDataControllerOptions base = f.C->GetOptions();
  for (TcxDataControllerOptions options : {base, base + dcoCaseInsensitive, base + dcoAnsiSort}) {
    ExpectSameView(f.C, "three fields", [&] {
      f.C->SetOptions(options);
      f.C->GetGroups()->ClearGrouping();
      f.C->ClearSorting(false);
      f.C->ChangeSorting(f.Bool, soAscending);
      f.C->ChangeSorting(f.Text, soDescending);
      f.C->ChangeSorting(f.Real, soAscending);
    });
    ExpectSameView(f.C, "grouped by text and number", [&] {
      f.C->ClearSorting(false);
      f.C->GetGroups()->ChangeGrouping(f.Text, 0);
      f.C->GetGroups()->ChangeGrouping(f.Int, 1);
      f.C->ChangeSorting(f.Money, soDescending);
    });
    ExpectSameView(f.C, "grouped by three levels, none sorted", [&] {
      f.C->ClearSorting(false);
      f.C->GetGroups()->ClearGrouping();
      f.C->GetGroups()->ChangeGrouping(f.Bool, 0);
      f.C->GetGroups()->ChangeGrouping(f.When, 1);
      f.C->GetGroups()->ChangeGrouping(f.Text, 2);
    });
  }
  f.C->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, SortKeysTest, ::testing::Values(1u, 2u, 3u, 77u));

TEST(SortKeys, NaNAmongFloatsKeepsTheOrderOfTheGeneralComparison) {
  Fixture f = MakeRecords(5, 50);
  f.C->SetValue(7, f.Real, std::nan(""));
  f.C->SetValue(8, f.Real, -std::nan(""));
  f.C->SetValue(9, f.Real, -0.0);
  f.C->SetValue(10, f.Real, -std::numeric_limits<double>::infinity());
  ExpectSameView(f.C, "nan", [&] { f.C->ChangeSorting(f.Real, soAscending); });
  ExpectSameView(f.C, "nan descending", [&] { f.C->ChangeSorting(f.Real, soDescending); });
  ExpectSameView(f.C, "nan grouped", [&] {
    f.C->ClearSorting(false);
    f.C->GetGroups()->ChangeGrouping(f.Real, 0);
    f.C->ChangeSorting(f.Int, soAscending);
  });
  f.C->Free();
}

TEST(SortKeys, AnEditedValueMovesItsRecordAsAFullSortWouldPlaceIt) {
  Fixture f = MakeRecords(9, 300);
  f.C->GetGroups()->ChangeGrouping(f.Text, 0);
  f.C->ChangeSorting(f.Int, soAscending);
  std::mt19937 random(4);
  for (int step = 0; step < 40; ++step) {
    const Integer r = static_cast<Integer>(random() % 300);
    if (step % 2)
      f.C->SetValue(r, f.Int, static_cast<Integer>(random() % 7) - 3);
    else
      f.C->SetValue(r, f.Text, AnsiString(kWords[random() % kWords.size()]));
    const Snapshot moved = Take(f.C);
    TcxRecordSortKeys::SetEnabled(false);
    f.C->Refresh();
    EXPECT_TRUE(Take(f.C) == moved) << "step " << step;
    TcxRecordSortKeys::SetEnabled(true);
  }
  f.C->Free();
}

// Texts that agree in their first sixteen bytes up to case, then differ in
// case only, in length, by 0 bytes (which the zero-padded keys cannot tell
// from the end of a text) or after the sixteenth byte.
std::vector<std::string> AlikeTexts() {
  std::vector<std::string> texts = {"", "abc", std::string("abc\0", 4), std::string("ABC\0\0", 5),
                                    std::string("abc\0d", 5), "abd", std::string(15, 'q'), std::string(16, 'q'),
                                    std::string(17, 'q'), std::string(16, 'Q') + "q"};
  for (const char* stem : {"abcdefghijklmnop", "ABCDEFGHIJKLMNOP", "abcdefghIJKLMNOP", "\xe9t\xe9" "abcdefghijklm",
                           "\xc9T\xc9" "ABCDEFGHIJKLM"})
    for (const std::string& tail :
         {std::string(), std::string("a"), std::string("A"), std::string("b"), std::string(1, '\0'),
          std::string("\0a", 2), std::string("\xe9"), std::string("\xc9"), std::string("zzzzzzzzzzzzzzzzzzzzzy"),
          std::string("ZZZZZZZZZZZZZZZZZZZZZZ"), std::string("zzzzzzzzzzzzzzzzzzzzzz")})
      texts.push_back(stem + tail);
  return texts;
}

TEST(SortKeys, TextsAlikeInTheirFirstSixteenBytesOrderAsTheGeneralComparison) {
  Fixture f = MakeRecords(21, 900);
  const std::vector<std::string> texts = AlikeTexts();
  std::mt19937 random(8);
  f.C->BeginUpdate();
  for (Integer r = 0; r < 900; ++r)
    if (random() % 10 == 0)
      f.C->SetValue(r, f.Text, Null());
    else
      f.C->SetValue(r, f.Text, AnsiString(texts[random() % texts.size()]));
  f.C->EndUpdate();
  const TcxDataControllerOptions base = f.C->GetOptions();
  for (TcxDataControllerOptions options : {base, base + dcoCaseInsensitive, base + dcoAnsiSort,
                                           base + dcoAnsiSort + dcoCaseInsensitive})
    for (TcxDataSortOrder order : {soAscending, soDescending}) {
      ExpectSameView(f.C, "text alone", [&] {
        f.C->SetOptions(options);
        f.C->GetGroups()->ClearGrouping();
        f.C->ClearSorting(false);
        f.C->ChangeSorting(f.Text, order);
      });
      ExpectSameView(f.C, "text, then a number", [&] {
        f.C->ClearSorting(false);
        f.C->ChangeSorting(f.Text, order);
        f.C->ChangeSorting(f.Int, soDescending);
      });
      ExpectSameView(f.C, "grouped by text", [&] {
        f.C->ClearSorting(false);
        f.C->GetGroups()->ChangeGrouping(f.Text, 0);
        f.C->ChangeSorting(f.Small, order);
      });
    }
  f.C->Free();
}

// Enough records for several radix digits, with number fields whose keys
// fit one word together, and others whose span does not (the extremes of
// the 64-bit types, with and without nulls).
TEST(SortKeys, NumberFieldsSortAsTheGeneralComparisonWhateverTheirSpan) {
  Fixture f = MakeRecords(31, 5000);
  std::mt19937 random(12);
  f.C->BeginUpdate();
  for (Integer r = 0; r < 5000; ++r) {
    const bool null = random() % 7 == 0;
    f.C->SetValue(r, f.Int, null ? Null() : Variant(static_cast<Integer>(random())));
    static const Int64 extremes[] = {std::numeric_limits<Int64>::min(), -1, 0, 1, std::numeric_limits<Int64>::max()};
    if (r % 2) f.C->SetValue(r, f.Large, extremes[random() % 5]);
    // One Money value and nulls only: a field that decides nothing.
    f.C->SetValue(r, f.Money, r % 3 ? Variant(Currency::FromRaw(5)) : Null());
  }
  f.C->EndUpdate();
  const struct {
    const char* What;
    std::vector<std::pair<Integer, TcxDataSortOrder>> Fields;
  } sorts[] = {
      {"wide integers", {{f.Int, soAscending}}},
      {"wide integers descending", {{f.Int, soDescending}}},
      {"three fields in one word", {{f.Bool, soDescending}, {f.Small, soAscending}, {f.Int, soDescending}}},
      {"a field of one value", {{f.Money, soDescending}, {f.WordItem, soAscending}}},
      {"the whole 64-bit span, with nulls", {{f.Large, soAscending}}},
      {"the whole span descending", {{f.Large, soDescending}}},
      {"more than a word", {{f.Large, soDescending}, {f.Int, soAscending}}},
      {"doubles and dates", {{f.Real, soDescending}, {f.When, soAscending}}},
  };
  for (const auto& sort : sorts)
    ExpectSameView(f.C, sort.What, [&] {
      f.C->ClearSorting(false);
      for (const auto& [item, order] : sort.Fields) f.C->ChangeSorting(item, order);
    });
  f.C->Free();
}

// A filter keeps some records only, and makes the storage keep the columns
// of the fields it names: the keys are read from those columns then.
TEST(SortKeys, FilteredRecordsAndKeptColumnsSortAsTheGeneralComparison) {
  Fixture f = MakeRecords(41, 3000);
  TcxDataFilterCriteria* filter = f.C->GetFilter();
  filter->AddItem(f.C->Items[static_cast<size_t>(f.Int)], foGreater, 0, "0");
  filter->AddItem(f.C->Items[static_cast<size_t>(f.Text)], foLike, AnsiString("%a%"), "%a%");
  filter->GetRoot()->SetBoolOperatorKind(fboOr);
  for (bool active : {true, false}) {
    filter->SetActive(active);
    for (Integer item : {f.Int, f.Text})
      ASSERT_NE(f.C->GetDataStorage()->FindColumn(f.C->GetField(item)->GetValueDef()), nullptr);
    for (TcxDataControllerOptions options : {f.C->GetOptions(), f.C->GetOptions() + dcoCaseInsensitive}) {
      ExpectSameView(f.C, "by text", [&] {
        f.C->SetOptions(options);
        f.C->ClearSorting(false);
        f.C->ChangeSorting(f.Text, soAscending);
      });
      ExpectSameView(f.C, "by number", [&] {
        f.C->ClearSorting(false);
        f.C->ChangeSorting(f.Int, soDescending);
      });
    }
  }
  f.C->Free();
}

// A sort keeps the sorted field's column, so the next sort reads one
// array: values set, records appended, inserted and deleted between sorts
// reach it, and the order stays the general comparison's.
TEST(SortKeys, TheColumnASortKeepsFollowsEveryChangeBetweenSorts) {
  Fixture f = MakeRecords(43, 2000);
  RecordingController* c = f.C;
  ExpectSameView(c, "first sort", [&] { c->ChangeSorting(f.Int, soAscending); });
  for (Integer item : {f.Int, f.Real})
    c->ChangeSorting(item, soAscending), c->ClearSorting(false);
  ASSERT_NE(c->GetDataStorage()->FindColumn(c->GetField(f.Int)->GetValueDef()), nullptr);
  ASSERT_NE(c->GetDataStorage()->FindColumn(c->GetField(f.Real)->GetValueDef()), nullptr);
  std::mt19937 random(5);
  for (int round = 0; round < 40; ++round) {
    ExpectSameView(c, ("round " + std::to_string(round)).c_str(), [&] {
      c->ClearSorting(false);
      const Integer r = static_cast<Integer>(random() % static_cast<unsigned>(c->GetRecordCount()));
      switch (round % 4) {
        case 0: c->SetValue(r, f.Int, static_cast<Integer>(random() % 9) - 4); break;
        case 1: c->SetValue(c->AppendRecord(), f.Real, -7.5); break;
        case 2: c->SetValue(c->InsertRecord(r), f.Int, 100); break;
        case 3: c->DeleteRecord(r); break;
      }
      c->ChangeSorting(round % 2 ? f.Real : f.Int, round % 3 ? soAscending : soDescending);
    });
  }
  c->Free();
}

// The group boundaries of the grouped list, read off the group table: for
// each position, the first level whose group opens there (the level count
// where none does).
std::vector<Integer> BoundariesOf(TcxCustomDataControllerInfo* AInfo) {
  TcxDataGroups* groups = AInfo->GetDataGroups();
  std::vector<Integer> boundaries(AInfo->GetRecordList().size(), groups->GetLevelCount());
  for (Integer g = 0; g < groups->GetItemCount(); ++g) {
    Integer& at = boundaries[static_cast<size_t>(groups->GetFirstListIndex(g))];
    at = std::min(at, groups->Item(g).Level);
  }
  return boundaries;
}

// Groups the records the general way, then sorts them, shuffled, through
// the keys: the sort must leave the general order and note, position by
// position, the boundaries of the general group table.
void ExpectSortNotesTheGeneralBoundaries(RecordingController* C, const char* AWhat) {
  TcxRecordSortKeys::SetEnabled(false);
  C->Refresh();
  TcxRecordSortKeys::SetEnabled(true);
  TcxCustomDataControllerInfo* info = C->GetDataControllerInfo();
  const std::vector<Integer> order = info->GetRecordList();
  const std::vector<Integer> boundaries = BoundariesOf(info);
  const Integer levels = info->GetDataGroups()->GetLevelCount();
  ASSERT_GT(levels, 0) << AWhat;
  std::vector<Integer> list = order;
  std::shuffle(list.begin(), list.end(), std::mt19937(5));
  TcxRecordSortKeys keys;
  std::vector<Integer> changes;
  info->PrepareSorting();
  const bool built = keys.Build(C, info->GetTotalSortingFieldList(), list);
  if (built) keys.Sort(list.data(), static_cast<Integer>(list.size()), levels, &changes);
  info->UnprepareSorting();
  ASSERT_TRUE(built) << AWhat;
  EXPECT_TRUE(list == order) << AWhat;
  EXPECT_TRUE(changes == boundaries) << AWhat;
  // The grouping pass takes those boundaries as they are.
  C->Refresh();
  EXPECT_TRUE(BoundariesOf(info) == boundaries) << AWhat;
}

// Several levels over every way the keys sort: number fields packed in one
// word, a leading text field (texts alike in sixteen bytes, in case only,
// in length, by a 0 byte; nulls), collated text, and fields too wide for a
// word; ascending and descending.
TEST(SortKeys, TheSortNotesTheGroupBoundariesOfTheGeneralComparison) {
  Fixture f = MakeRecords(51, 1200);
  const std::vector<std::string> texts = AlikeTexts();
  std::mt19937 random(3);
  f.C->BeginUpdate();
  for (Integer r = 0; r < 1200; ++r)
    f.C->SetValue(r, f.Text, random() % 9 == 0 ? Variant(Null()) : Variant(AnsiString(texts[random() % texts.size()])));
  f.C->EndUpdate();
  const TcxDataControllerOptions base = f.C->GetOptions();
  const struct {
    const char* What;
    std::vector<Integer> Levels;
    Integer SortedBy;
  } groupings[] = {
      {"numbers in one word", {f.Bool, f.Int, f.Small}, f.WordItem},
      {"a leading text", {f.Text, f.Int}, f.Small},
      {"text alone", {f.Text}, f.Real},
      {"a number, then text", {f.Bool, f.Text}, f.Int},
      {"wide numbers", {f.Large, f.Real}, f.Money},
  };
  for (TcxDataControllerOptions options : {base, base + dcoCaseInsensitive, base + dcoAnsiSort,
                                           base + dcoAnsiSort + dcoCaseInsensitive})
    for (TcxDataSortOrder order : {soAscending, soDescending})
      for (const auto& grouping : groupings) {
        f.C->BeginUpdate();
        f.C->SetOptions(options);
        f.C->GetGroups()->ClearGrouping();
        f.C->ClearSorting(false);
        for (size_t level = 0; level < grouping.Levels.size(); ++level) {
          f.C->GetGroups()->ChangeGrouping(grouping.Levels[level], static_cast<Integer>(level));
          f.C->ChangeSorting(grouping.Levels[level], level % 2 ? soAscending : order);
        }
        f.C->ChangeSorting(grouping.SortedBy, order);
        f.C->EndUpdate();
        ExpectSortNotesTheGeneralBoundaries(f.C, grouping.What);
      }
  f.C->Free();
}

// While a record is edited the keys stand aside: other records' group
// values change under the edit, the edited one is grouped as the general
// comparison groups it, before and after it is posted. The same steps run
// with the keys on and off.
TEST(SortKeys, GroupsChangingUnderAnEditMatchTheGeneralComparison) {
  auto steps = [](bool AKeys) {
    TcxRecordSortKeys::SetEnabled(AKeys);
    Fixture f = MakeRecords(61, 300);
    std::vector<Snapshot> views;
    f.C->GetGroups()->ChangeGrouping(f.Text, 0);
    f.C->GetGroups()->ChangeGrouping(f.Int, 1);
    f.C->ChangeFocusedRecordIndex(17);
    f.C->SetEditValue(f.Text, AnsiString("\xff moved"), evsValue);
    f.C->SetEditValue(f.Int, 3, evsValue);
    views.push_back(Take(f.C));
    f.C->SetValue(40, f.Text, AnsiString("\xff moved"));
    f.C->SetValue(41, f.Int, 3);
    f.C->SetValue(42, f.Text, Null());
    views.push_back(Take(f.C));
    EXPECT_TRUE(f.C->GetIsEditing());
    f.C->Post();
    views.push_back(Take(f.C));
    f.C->Free();
    TcxRecordSortKeys::SetEnabled(true);
    return views;
  };
  const std::vector<Snapshot> general = steps(false);
  EXPECT_TRUE(steps(true) == general);
}

}  // namespace
