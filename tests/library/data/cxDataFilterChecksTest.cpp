// Filter passes with typed checks against the general evaluation: every
// condition is applied twice over the same random records (nulls, mixed
// case, 1252 accents, NaN, large integers), once reading the storage
// directly and once through variants, and must keep the same records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "library/data/cxCustomDataFilter.h"
#include "tests/library/data/DataControllerFixture.h"

namespace {

const std::vector<std::string> kWords = {
    "",          "abc",           "ABC",      "xAbCx",    "ab",          "\xe9t\xe9", "\xc9T\xc9",
    "ete",       "\xe6on",        "\xc6ON",   "abc%",     "a_c",         "zabcz",     "stra\xdf" "e",
    "STRASSE",   "\xff\xe0\xc0",  "10",       "9",        "na\xefve",    "NA\xcfVE",  "abcabc"};

struct Records {
  RecordingController* C;
  Integer Int, Small, WordItem, Large, Real, When, Text;
  TObject* Link(Integer AItem) const { return C->Items[static_cast<size_t>(AItem)]; }
};

Records MakeRecords(unsigned ASeed, Integer ACount) {
  Records f{};
  f.C = New<RecordingController>(nullptr);
  RecordingController* c = f.C;
  f.Int = c->AddTypedItem(TcxIntegerValueType::Class());
  f.Small = c->AddTypedItem(TcxSmallintValueType::Class());
  f.WordItem = c->AddTypedItem(TcxWordValueType::Class());
  f.Large = c->AddTypedItem(TcxLargeIntValueType::Class());
  f.Real = c->AddTypedItem(TcxFloatValueType::Class());
  f.When = c->AddTypedItem(TcxDateTimeValueType::Class());
  f.Text = c->AddTypedItem(TcxStringValueType::Class());
  std::mt19937 random(ASeed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  for (Integer r = 0; r < ACount; ++r) {
    auto null = [&] { return pick(6) == 0; };
    if (!null()) c->SetValue(r, f.Int, pick(7) - 3);
    if (!null()) c->SetValue(r, f.Small, static_cast<SmallInt>(pick(5) - 2));
    if (!null()) c->SetValue(r, f.WordItem, static_cast<Word>(pick(4)));
    if (!null()) c->SetValue(r, f.Large, (Int64{1} << 60) + pick(3) - 1);
    if (!null()) {
      static const double reals[] = {-2.5, -0.0, 0.0, 1.0, 2.5, 3.0, std::numeric_limits<double>::quiet_NaN()};
      c->SetValue(r, f.Real, reals[pick(7)]);
    }
    if (!null()) c->SetValue(r, f.When, TDateTime(40000 + pick(3) * 0.5));
    if (!null()) c->SetValue(r, f.Text, AnsiString(kWords[static_cast<size_t>(pick(static_cast<int>(kWords.size())))]));
  }
  c->EndUpdate();
  return f;
}

std::vector<Integer> Rows(RecordingController* C) {
  std::vector<Integer> rows;
  for (Integer i = 0; i < C->GetFilteredRecordCount(); ++i) rows.push_back(C->GetFilteredRecordIndex(i));
  return rows;
}

// Filters with the typed checks off, then on, and compares the records kept.
void ExpectSameRecords(RecordingController* C, const std::string& AWhat) {
  TcxFilterCriteria::SetTypedChecksEnabled(false);
  C->Refresh();
  const std::vector<Integer> reference = Rows(C);
  TcxFilterCriteria::SetTypedChecksEnabled(true);
  C->Refresh();
  EXPECT_EQ(Rows(C), reference) << AWhat;
}

const TcxFilterOperatorKind kComparisons[] = {foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual};

// The filter made of one LIKE-style condition on AItem, with its options,
// percent wildcard and root operator, then the records compared.
void ExpectSameRecordsLike(RecordingController* C, TObject* AItem, const TcxFilterCriteriaOptions& AOptions,
                           char APercent, TcxFilterBoolOperatorKind ARoot, TcxFilterOperatorKind AKind,
                           const std::string& APattern) {
  TcxDataFilterCriteria* filter = C->GetFilter();
  filter->BeginUpdate();
  filter->Clear();
  filter->SetOptions(AOptions);
  filter->SetPercentWildcard(APercent);
  filter->GetRoot()->SetBoolOperatorKind(ARoot);
  filter->AddItem(AItem, AKind, AnsiString(APattern), "");
  filter->EndUpdate();
  ExpectSameRecords(C, std::string("wildcard ") + APercent + " root " + std::to_string(ARoot) + " kind " +
                           std::to_string(AKind) + " pattern " + APattern);
}

const std::vector<TcxFilterCriteriaOptions> kOptionSets = {
    {}, {fcoIgnoreNull}, {fcoCaseInsensitive}, {fcoCaseInsensitive, fcoIgnoreNull}, {fcoSoftNull, fcoIgnoreNull}};

class FilterChecksTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void TearDown() override { TcxFilterCriteria::SetTypedChecksEnabled(true); }
};

TEST_P(FilterChecksTest, NumberComparisonsKeepTheRecordsOfTheGeneralPath) {
  Records f = MakeRecords(GetParam(), 300);
  TcxDataFilterCriteria* filter = f.C->GetFilter();
  filter->SetActive(true);
  // Integer, Int64 beyond double precision, fractions, Boolean (-1) and
  // Currency conditions against every numeric field.
  const std::vector<Variant> conditions = {Variant(1),          Variant(-2),         Variant(Int64{1} << 60),
                                           Variant(2.5),        Variant(-0.0),       Variant(true),
                                           Variant(40000.5),    Variant(SmallInt(0)), Variant(Currency::FromRaw(25000)),
                                           Variant(std::numeric_limits<double>::quiet_NaN())};
  for (Integer item : {f.Int, f.Small, f.WordItem, f.Large, f.Real, f.When})
    for (TcxFilterOperatorKind kind : kComparisons)
      for (const Variant& condition : conditions)
        for (const TcxFilterCriteriaOptions& options : kOptionSets) {
          filter->BeginUpdate();
          filter->Clear();
          filter->SetOptions(options);
          filter->AddItem(f.Link(item), kind, condition, VarToStr(condition));
          filter->EndUpdate();
          ExpectSameRecords(f.C, "item " + std::to_string(item) + " kind " + std::to_string(kind) + " value " +
                                     VarToStr(condition));
        }
  f.C->Free();
}

TEST_P(FilterChecksTest, TextEqualityAndPatternsKeepTheRecordsOfTheGeneralPath) {
  Records f = MakeRecords(GetParam(), 300);
  TcxDataFilterCriteria* filter = f.C->GetFilter();
  filter->SetActive(true);
  const char* const values[] = {"abc", "ABC", "%abc%", "%ABC%", "\xe9t\xe9", "%\xc9%", "a_c", "ab%", "%c", "",
                                "%",   "_",   "\xff\xe0\xc0"};
  for (TcxFilterOperatorKind kind : {foEqual, foNotEqual, foLike, foNotLike, foLess})
    for (const char* value : values)
      for (const TcxFilterCriteriaOptions& options : kOptionSets) {
        filter->BeginUpdate();
        filter->Clear();
        filter->SetOptions(options);
        filter->AddItem(f.Link(f.Text), kind, AnsiString(value), AnsiString(value));
        filter->EndUpdate();
        ExpectSameRecords(f.C, std::string("kind ") + std::to_string(kind) + " value " + value);
      }
  f.C->Free();
}

// Patterns the text check matches without walking them (a literal, begins
// with, ends with, contains) and their neighbours that keep the general
// matcher (runs of wildcards, wildcards inside), under a root list that
// may negate its single condition.
TEST_P(FilterChecksTest, PatternShapesAndNegatedSingleConditionsKeepTheRecordsOfTheGeneralPath) {
  Records f = MakeRecords(GetParam(), 300);
  TcxDataFilterCriteria* filter = f.C->GetFilter();
  filter->SetActive(true);
  const char* const patterns[] = {"abc",  "abc%",  "%abc", "%abc%", "%%abc",  "abc%%", "%abc%%", "%%abc%%",
                                  "%%",   "a%c",   "%b%c%", "%\xe9%", "%c_",   "ab",     "%ab",    "abcabc%",
                                  "%abcabc%", "%xAbCx", "%%%", "%a%%"};
  for (TcxFilterBoolOperatorKind root : {fboAnd, fboOr, fboNotAnd, fboNotOr})
    for (TcxFilterOperatorKind kind : {foLike, foNotLike})
      for (const char* pattern : patterns)
        for (const TcxFilterCriteriaOptions& options : kOptionSets) {
          filter->BeginUpdate();
          filter->Clear();
          filter->SetOptions(options);
          filter->GetRoot()->SetBoolOperatorKind(root);
          filter->AddItem(f.Link(f.Text), kind, AnsiString(pattern), AnsiString(pattern));
          filter->EndUpdate();
          ExpectSameRecords(f.C, "root " + std::to_string(root) + " kind " + std::to_string(kind) + " pattern " +
                                     pattern);
        }
  for (TcxFilterBoolOperatorKind root : {fboNotAnd, fboNotOr})
    for (TcxFilterOperatorKind kind : kComparisons) {
      filter->BeginUpdate();
      filter->Clear();
      filter->SetOptions({fcoIgnoreNull});
      filter->GetRoot()->SetBoolOperatorKind(root);
      filter->AddItem(f.Link(f.Int), kind, 1, "1");
      filter->EndUpdate();
      ExpectSameRecords(f.C, "negated root " + std::to_string(root) + " kind " + std::to_string(kind));
    }
  f.C->Free();
}

TEST_P(FilterChecksTest, NestedListsMixTypedAndGeneralConditions) {
  Records f = MakeRecords(GetParam(), 300);
  TcxDataFilterCriteria* filter = f.C->GetFilter();
  filter->SetActive(true);
  for (TcxFilterBoolOperatorKind outer : {fboAnd, fboOr, fboNotAnd, fboNotOr})
    for (TcxFilterBoolOperatorKind inner : {fboAnd, fboOr, fboNotOr}) {
      filter->BeginUpdate();
      filter->Clear();
      filter->SetOptions({fcoCaseInsensitive});
      filter->GetRoot()->SetBoolOperatorKind(outer);
      filter->AddItem(f.Link(f.Int), foGreater, 0, "0");
      TcxFilterCriteriaItemList* list = filter->GetRoot()->AddItemList(inner);
      filter->AddItem(list, f.Link(f.Text), foLike, AnsiString("%ab%"), "%ab%");
      // Between has no typed check: the general path answers in between.
      filter->AddItem(list, f.Link(f.Real), foBetween, VarArrayOf({Variant(0.0), Variant(2.5)}), "0;2.5");
      filter->AddItem(list, f.Link(f.Small), foEqual, Null(), "");
      filter->AddItem(f.Link(f.Large), foLessEqual, Int64{1} << 60, "");
      filter->EndUpdate();
      ExpectSameRecords(f.C, "lists " + std::to_string(outer) + "/" + std::to_string(inner));
    }
  f.C->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, FilterChecksTest, ::testing::Values(1u, 7u, 2026u));

// A filter pass reads the filtered field from a column the storage keeps
// beside the records; every later change of the records must reach it, or
// the next pass keeps records by values they no longer hold.
TEST(FilterColumns, EveryChangeOfTheRecordsReachesTheNextPass) {
  Records f = MakeRecords(11, 200);
  RecordingController* c = f.C;
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->AddItem(f.Link(f.Int), foEqual, 1, "1");
  filter->AddItem(f.Link(f.Text), foLike, AnsiString("%abc%"), "%abc%");
  filter->GetRoot()->SetBoolOperatorKind(fboOr);
  filter->SetActive(true);
  auto lone = [&](Integer AItem, TcxFilterOperatorKind AKind, const Variant& AValue) {
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(f.Link(AItem), AKind, AValue, "");
    filter->EndUpdate();
  };
  const struct Step {
    const char* What;
    std::function<void()> Change;
  } steps[] = {
      {"edits into and out of the filter", [&] {
         for (Integer r = 0; r < 40; ++r) c->SetValue(r * 5, f.Int, r % 2 ? Variant(1) : Variant(7));
       }},
      {"values set to null and back", [&] {
         c->SetValue(3, f.Int, Null());
         c->SetValue(4, f.Int, 1);
       }},
      {"records appended, inserted and deleted", [&] {
         c->SetValue(c->AppendRecord(), f.Int, 1);
         c->SetValue(c->InsertRecord(10), f.Int, 1);
         c->DeleteRecord(0);
         c->DeleteRecord(50);
       }},
      {"a text filter after text edits", [&] {
         lone(f.Text, foLike, AnsiString("%abc%"));
         c->SetValue(1, f.Text, AnsiString("xxabcxx"));
         c->SetValue(2, f.Text, Null());
       }},
      {"the records read from a stream", [&] {
         TMemoryStream ms;
         c->SaveToStream(&ms);
         for (Integer r = 0; r < c->GetRecordCount(); ++r) c->SetValue(r, f.Text, AnsiString("abc"));
         ms.SetPosition(0);
         c->LoadFromStream(&ms);
       }},
      {"the field's type changed", [&] {
         lone(f.Int, foEqual, 1);
         c->ChangeValueTypeClass(f.Int, TcxLargeIntValueType::Class());
         for (Integer r = 0; r < 30; ++r) c->SetValue(r, f.Int, Int64{1});
       }},
      {"the record count cut", [&] { c->SetRecordCount(60); }},
  };
  for (const Step& step : steps) {
    // A typed pass first, so that the column is there when the change comes.
    c->Refresh();
    step.Change();
    ExpectSameRecords(c, step.What);
  }
  c->Free();
}

// The Integer equality scan reads sixteen records a step: a count that
// leaves a tail, nulls kept or not, a negated root, a condition no Integer
// holds, and the record being edited, which stays whatever its value.
TEST(FilterColumns, IntegerEqualityScanKeepsTheRecordsOfTheGeneralPath) {
  Records f = MakeRecords(17, 1001);
  RecordingController* c = f.C;
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->SetActive(true);
  for (TcxFilterBoolOperatorKind root : {fboAnd, fboNotAnd})
    for (const TcxFilterCriteriaOptions& options : kOptionSets)
      for (const Variant& condition : {Variant(1), Variant(-3), Variant(Int64{1} << 40), Variant(Null())}) {
        filter->BeginUpdate();
        filter->Clear();
        filter->SetOptions(options);
        filter->GetRoot()->SetBoolOperatorKind(root);
        filter->AddItem(f.Link(f.Int), foEqual, condition, "");
        filter->EndUpdate();
        ExpectSameRecords(c, "root " + std::to_string(root) + " value " + VarToStr(condition));
      }
  filter->BeginUpdate();
  filter->Clear();
  filter->SetOptions({});
  filter->AddItem(f.Link(f.Int), foEqual, 1, "");
  filter->EndUpdate();
  const Integer edited = Rows(c).at(5);
  c->ChangeFocusedRecordIndex(edited);
  c->SetEditValue(f.Int, 2, evsValue);
  ASSERT_EQ(c->GetEditingRecordIndex(), edited);
  ExpectSameRecords(c, "while a record is edited");
  const std::vector<Integer> rows = Rows(c);
  EXPECT_TRUE(std::find(rows.begin(), rows.end(), edited) != rows.end()) << "the edited record stays in the view";
  c->Free();
}

// A pattern asking for a literal anywhere in the text searches the texts
// laid out in one block: a hit must land in the record that holds it, a
// literal must not match across two records' texts, and nulls, empty texts
// (soft nulls), the case option and wildcards changed to other characters
// (the library's way to match a literal % or _) read as the general path
// reads them, while a literal the block search cannot take (a 0 byte)
// stays with the record-by-record check.
TEST(FilterColumns, LikeContainsSearchesTheTextsAsTheGeneralPathDoes) {
  Records f = MakeRecords(23, 0);
  RecordingController* c = f.C;
  const std::vector<std::string> texts = {"ab",   "c",     "xabcx", "",     "ABC",   "ab%c",  "50%",  "a_c",
                                          "abc",  "bca",   "cab",   "a*c",  "zzab",  "cz",    "q\xe9",
                                          std::string("ab\0c", 4), std::string("\0abc", 4), "abcab", "%"};
  c->BeginUpdate();
  for (Integer r = 0; r < 200; ++r) {
    const Integer record = c->AppendRecord();
    if (r % 7 != 3) c->SetValue(record, f.Text, AnsiString(texts[static_cast<size_t>(r * 5) % texts.size()]));
  }
  c->EndUpdate();
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->SetActive(true);
  const std::vector<std::string> patterns = {"%abc%", "%ab%",  "%c%",   "%%",   "",      "%\xe9%", "*%*",
                                             "*abc*", "%a_c%", "*a_c*", "%b%c%", std::string("%\0%", 3)};
  for (const char percent : {'%', '*'})
    for (const TcxFilterCriteriaOptions& options : kOptionSets)
      for (TcxFilterBoolOperatorKind root : {fboAnd, fboNotAnd})
        for (const std::string& pattern : patterns)
          ExpectSameRecordsLike(c, f.Link(f.Text), options, percent, root, foLike, pattern);
  c->Free();
}

// Ignoring case, a LIKE of a literal between two percent wildcards reads
// the field's text block upper-cased, as the general path upper-cases each
// value by the 1252 table: accented letters of both cases (also the pairs
// outside the Latin-1 run: \x9a/\x8a, \x9c/\x8c, \xff/\x9f), letters
// with no other case (\xdf, \xb5), texts ending where the block does,
// nulls, soft nulls, wildcards, the empty pattern and negation.
TEST(FilterColumns, LikeContainsIgnoringCaseSearchesTheTextBlockAsTheGeneralPathDoes) {
  Records f = MakeRecords(31, 0);
  RecordingController* c = f.C;
  const std::vector<std::string> texts = {
      "\xe9t\xe9",   "\xc9T\xc9",  "Stra\xdf" "e", "STRASSE",   "\x9a\x9c\xff", "\x8a\x8c\x9f", "\xb5m",
      "\xb5M",        "aBc",       "xABCx",      "abcABCabc", "",                 "q",             "Q",
      "cafe\xe9",    "CAFE\xc9",  "50%",        "a_C",       "%",                "na\xefve \xc6on", "\xdf"};
  c->BeginUpdate();
  for (Integer r = 0; r < 230; ++r) {
    const Integer record = c->AppendRecord();
    if (r % 9 != 4) c->SetValue(record, f.Text, AnsiString(texts[static_cast<size_t>(r * 7) % texts.size()]));
  }
  c->EndUpdate();
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->SetActive(true);
  const std::vector<std::string> patterns = {
      "%\xe9%", "%\xc9t%", "%ABC%", "%abc%",  "%aBcA%", "%\xff%", "%\x9f%", "%\x9a\x9c%", "%\x8a\x8c\x9f%",
      "%\xdf%", "%SS%",    "%\xb5%", "%\xb5m%", "%Q%",    "%%",    "",      "%a_c%",    "*e\xc9*",
      "%caf%",  "%E\xc9%", "%\xc6ON%"};
  for (const char percent : {'%', '*'})
    for (const TcxFilterCriteriaOptions& options :
         {TcxFilterCriteriaOptions{fcoCaseInsensitive}, TcxFilterCriteriaOptions{fcoCaseInsensitive, fcoSoftNull},
          TcxFilterCriteriaOptions{fcoCaseInsensitive, fcoIgnoreNull}})
      for (TcxFilterBoolOperatorKind root : {fboAnd, fboNotAnd})
        for (TcxFilterOperatorKind kind : {foLike, foNotLike})
          for (const std::string& pattern : patterns)
            ExpectSameRecordsLike(c, f.Link(f.Text), options, percent, root, kind, pattern);
  c->Free();
}

// A text set keeps the field's text block: the new text goes to the block's
// end and the old one is left dead, so the next search needs no new block;
// once the dead texts are half the block it is made anew. Through texts
// set longer, shorter, empty and null, the same record set again, and the
// block made anew, every activation keeps the records of the general path.
TEST(FilterColumns, TextsSetBetweenActivationsKeepTheTextBlock) {
  Records f = MakeRecords(41, 0);
  RecordingController* c = f.C;
  c->BeginUpdate();
  for (Integer r = 0; r < 120; ++r)
    c->SetValue(c->AppendRecord(), f.Text, AnsiString(kWords[static_cast<size_t>(r) % kWords.size()]));
  c->EndUpdate();
  TcxDataFilterCriteria* filter = c->GetFilter();
  const TcxValueDef* def = c->GetField(f.Text)->GetValueDef();
  TcxDataStorage* storage = c->GetDataStorage();
  std::mt19937 random(41);
  for (const TcxFilterCriteriaOptions& options : {TcxFilterCriteriaOptions{}, TcxFilterCriteriaOptions{fcoSoftNull},
                                                  TcxFilterCriteriaOptions{fcoCaseInsensitive}})
    for (int round = 0; round < 40; ++round) {
      filter->SetActive(false);
      filter->Clear();
      filter->SetOptions(options);
      filter->AddItem(f.Link(f.Text), round % 3 ? foLike : foNotLike, AnsiString("%abc%"), "");
      filter->SetActive(true);
      const Integer record = round % 4 == 0 ? 5 : static_cast<Integer>(random() % 120);
      const Variant values[] = {AnsiString("--abc--"), AnsiString(""), Null(), AnsiString("ab"),
                                AnsiString("a long text that holds ABC and abc")};
      c->SetValue(record, f.Text, values[random() % 5]);
      const TcxDataColumn* column = storage->FindColumn(def);
      ASSERT_NE(column, nullptr);
      if (round == 0) {
        EXPECT_FALSE(column->TextStarts.empty()) << "the block after a text was set";
      }
      ExpectSameRecords(c, "round " + std::to_string(round) + " record " + std::to_string(record));
    }
  c->Free();
}

// A field a condition names keeps its column from then on, also while the
// filter is off: the first activation reads it like a later one, so the
// column must follow every change made between activations, and every
// activation keeps the records of the general path.
TEST(FilterColumns, ANamedFieldsColumnFollowsTheRecordsBetweenActivations) {
  // Named before the records come: the column grows with them.
  Records f = MakeRecords(5, 0);
  RecordingController* c = f.C;
  TcxDataFilterCriteria* filter = c->GetFilter();
  filter->AddItem(f.Link(f.Int), foEqual, 1, "1");
  filter->AddItem(f.Link(f.Text), foLike, AnsiString("%abc%"), "%abc%");
  filter->GetRoot()->SetBoolOperatorKind(fboOr);
  TcxDataStorage* storage = c->GetDataStorage();
  const TcxValueDef* intDef = c->GetField(f.Int)->GetValueDef();
  const TcxValueDef* textDef = c->GetField(f.Text)->GetValueDef();
  std::mt19937 random(5);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto fill = [&](Integer ARecord) {
    if (pick(5)) c->SetValue(ARecord, f.Int, pick(4));
    if (pick(5)) c->SetValue(ARecord, f.Text, AnsiString(kWords[static_cast<size_t>(pick(static_cast<int>(kWords.size())))]));
  };
  for (Integer r = 0; r < 150; ++r) fill(c->AppendRecord());
  ASSERT_NE(storage->FindColumn(intDef), nullptr) << "the named Integer field's column, before any activation";
  ASSERT_NE(storage->FindColumn(textDef), nullptr) << "the named text field's column, before any activation";

  const struct Step {
    const char* What;
    std::function<void()> Change;
  } steps[] = {
      {"nothing changed", [] {}},
      {"edits, nulls and text edits", [&] {
         for (Integer r = 0; r < 50; ++r) fill(pick(c->GetRecordCount()));
         c->SetValue(7, f.Int, Null());
         c->SetValue(8, f.Text, AnsiString("--abc--"));
       }},
      {"records inserted and deleted", [&] {
         for (Integer k = 0; k < 10; ++k) fill(c->InsertRecord(pick(c->GetRecordCount())));
         for (Integer k = 0; k < 10; ++k) c->DeleteRecord(pick(c->GetRecordCount()));
         fill(c->AppendRecord());
       }},
      {"the field's type changed", [&] {
         c->ChangeValueTypeClass(f.Int, TcxSmallintValueType::Class());
         for (Integer r = 0; r < 20; ++r) c->SetValue(r, f.Int, SmallInt(1));
       }},
  };
  for (const Step& step : steps) {
    filter->SetActive(false);
    step.Change();
    TcxFilterCriteria::SetTypedChecksEnabled(false);
    filter->SetActive(true);
    const std::vector<Integer> reference = Rows(c);
    filter->SetActive(false);
    TcxFilterCriteria::SetTypedChecksEnabled(true);
    filter->SetActive(true);
    EXPECT_EQ(Rows(c), reference) << step.What << ", first activation";
    filter->SetActive(false);
    filter->SetActive(true);
    EXPECT_EQ(Rows(c), reference) << step.What << ", a later activation";
  }
  c->Free();
}

// The view's list is reused from one activation to the next: a filter
// turned on, off and on again with other values keeps exactly the records
// holding the value, in record order, with nothing left over from the list
// before; the focused record stays focused while it is kept (the first row
// takes the focus when it is not), selected records the filter hides leave
// the selection, and turning the filter off brings every record back in
// order with the focus where it was.
TEST(FilterColumns, ActivationsOneAfterAnotherReuseTheViewsList) {
  Records f = MakeRecords(23, 3000);
  RecordingController* c = f.C;
  c->SetMultiSelect(true);
  TcxDataFilterCriteria* filter = c->GetFilter();
  std::vector<Integer> all(3000);
  std::iota(all.begin(), all.end(), 0);
  auto holding = [&](Integer AValue) {
    std::vector<Integer> records;
    for (Integer r = 0; r < c->GetRecordCount(); ++r)
      if (!VarIsNull(c->GetValue(r, f.Int)) && c->GetValue(r, f.Int).AsInteger() == AValue) records.push_back(r);
    return records;
  };
  auto selected = [&] {
    std::vector<Integer> records;
    for (Integer i = 0; i < c->GetSelectedCount(); ++i)
      records.push_back(c->GetRowInfo(c->GetSelectedRowIndex(i)).RecordIndex);
    std::sort(records.begin(), records.end());
    return records;
  };
  for (Integer value : {1, -3, 1, 3, 2, 1}) {
    const std::vector<Integer> kept = holding(value);
    ASSERT_FALSE(kept.empty());
    // The focus on a record the filter keeps (or on one it hides), and a
    // selection of a kept and a hidden record.
    const Integer focused = value == 1 ? kept[kept.size() / 2] : holding(value == 3 ? 2 : 3).front();
    const Integer hidden = holding(value == 2 ? 3 : 2).back();
    c->ChangeFocusedRecordIndex(focused);
    c->ClearSelection();
    c->ChangeRowSelection(c->GetFocusedRowIndex(), true);
    c->ChangeRowSelection(c->GetRowIndexByRecordIndex(hidden, false), true);
    filter->BeginUpdate();
    filter->Clear();
    filter->AddItem(f.Link(f.Int), foEqual, value, "");
    filter->SetActive(true);
    filter->EndUpdate();
    const std::string at = "value " + std::to_string(value);
    ASSERT_EQ(Rows(c), kept) << at;
    const bool stays = std::binary_search(kept.begin(), kept.end(), focused);
    EXPECT_EQ(c->GetFocusedRecordIndex(), stays ? focused : kept.front()) << at;
    EXPECT_EQ(selected(), stays ? std::vector<Integer>{focused} : std::vector<Integer>{}) << at;
    filter->SetActive(false);
    ASSERT_EQ(Rows(c), all) << at << ", filter off";
    EXPECT_EQ(c->GetFocusedRecordIndex(), stays ? focused : kept.front()) << at << ", filter off";
  }
  c->Free();
}

}  // namespace
