// The keyed record order against the general comparison: every sort and
// grouping is done twice over the same random records, once with the
// per-record keys and once comparing records field by field, and the rows
// and group tables must match exactly (ties included).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

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

TEST(SortKeys, NaNAmongFloatsLeavesTheOrderToTheGeneralComparison) {
  Fixture f = MakeRecords(5, 50);
  f.C->SetValue(7, f.Real, std::nan(""));
  ExpectSameView(f.C, "nan", [&] { f.C->ChangeSorting(f.Real, soAscending); });
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

}  // namespace
