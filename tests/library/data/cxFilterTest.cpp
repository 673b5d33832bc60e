#include "library/data/cxFilter.h"

#include <gtest/gtest.h>

#include <limits>

#include "StreamBytes.h"
#include "library/data/cxFilterConsts.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ObjectText.h"

namespace {

// A field of the test table: its position in a record, its stream ID and
// its names.
struct Field : TObject {
  Field(int index, Integer id, const char* name) : Index(index), ID(id), Name(name) {}
  int Index;
  Integer ID;
  AnsiString Name;
};

using Record = std::vector<Variant>;

class TTestFilterItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TTestFilterItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(void* AData) override {
    return (*static_cast<Record*>(AData))[static_cast<size_t>(field()->Index)];
  }
  AnsiString GetFieldCaption() override { return "Caption " + field()->Name; }
  AnsiString GetFieldName() override { return field()->Name; }

 private:
  Field* field() const { return static_cast<Field*>(GetItemLink()); }
};

class TTestCriteria : public TcxFilterCriteria {
  ORV_CLASS(TTestCriteria, TcxFilterCriteria)
 public:
  std::vector<Field*> Fields;
  int ChangeCount = 0;
  TTestCriteria() {
    OnChanged = [this](TObject*) { ++ChangeCount; };
  }
  TcxFilterCriteriaItemClass GetItemClass() override { return TTestFilterItem::StaticClass(); }
  Integer GetIDByItemLink(TObject* AItemLink) override { return static_cast<Field*>(AItemLink)->ID; }
  TObject* GetItemLinkByID(Integer AID) override {
    for (Field* f : Fields)
      if (f->ID == AID) return f;
    return nullptr;
  }
};

}  // namespace

ORV_REGISTER(TTestFilterItem)
ORV_REGISTER(TTestCriteria)

namespace {

// Criteria with a published Currency setting.
class TPricedCriteria : public TTestCriteria {
  ORV_CLASS(TPricedCriteria, TTestCriteria)
 public:
  Currency GetLimit() const { return FLimit; }
  void SetLimit(Currency Value) { FLimit = Value; }

 private:
  Currency FLimit{};
};

}  // namespace

ORV_REGISTER(TPricedCriteria, ORV_PROP(Limit))

namespace {

class FilterTest : public ::testing::Test {
 protected:
  Field A{0, 3, "A"}, B{1, 4, "B"}, C{2, 5, "C"};
  TTestCriteria Criteria;
  void SetUp() override { Criteria.Fields = {&A, &B, &C}; }

  std::vector<Byte> Bytes() {
    TMemoryStream ms;
    Criteria.WriteData(&ms);
    return StreamBytes(ms);
  }
  bool Passes(Record r) { return Criteria.DoFilterData(&r); }
};

}  // namespace

TEST_F(FilterTest, BinaryFormFixtures) {
  EXPECT_EQ(ToHex(Bytes()), "FF FF FF FF 00 00 00 00 00");
  Criteria.GetRoot()->SetBoolOperatorKind(fboOr);
  Criteria.AddItem(&A, foEqual, 5, "5");
  Criteria.AddItem(&B, foLike, "ab%", "ab%");
  const std::string fixture =
      "FF FF FF FF 01 02 00 00 00 00 00 01 00 00 00 35 03 00 00 00 02 05 "
      "00 06 03 00 00 00 61 62 25 04 00 00 00 06 03 61 62 25";
  EXPECT_EQ(ToHex(Bytes()), ToHex(Hex(fixture)));

  TTestCriteria copy;
  copy.Fields = Criteria.Fields;
  ByteStream in(fixture);
  copy.ReadData(&in);
  EXPECT_TRUE(copy.EqualItems(&Criteria));
  EXPECT_EQ(copy.GetFilterText(), "(A = 5) OR (B LIKE 'ab%')");

  Criteria.Clear();
  Criteria.AddItem(&A, foEqual, Null(), "");
  Criteria.AddItem(&C, foBetween, VarArrayOf({1, 10}), "1;10");
  EXPECT_EQ(ToHex(Bytes()), ToHex(Hex("FF FF FF FF 00 02 00 00 00 "
                                     "00 00 05 00 00 00 62 6C 61 6E 6B 03 00 00 00 00 "
                                     "00 08 04 00 00 00 31 3B 31 30 05 00 00 00 01 02 02 02 01 02 0A")));
}

TEST_F(FilterTest, OldStreamsWithoutMarkerAndNestedLists) {
  // Count 2, no marker: two conditions joined by AND.
  ByteStream old{std::string("02 00 00 00 00 00 00 00 00 00 03 00 00 00 02 01 00 02 00 00 00 00 04 00 00 00 02 02")};
  Criteria.ReadData(&old);
  EXPECT_EQ(Criteria.GetRoot()->GetBoolOperatorKind(), fboAnd);
  EXPECT_EQ(Criteria.GetFilterText(), "(A = 1) AND (B < 2)");

  Criteria.Clear();
  Criteria.AddItem(&A, foEqual, 1, "1");
  TcxFilterCriteriaItemList* nested = Criteria.GetRoot()->AddItemList(fboOr);
  nested->AddItem(&B, foGreater, 2, "2");
  nested->AddItem(&C, foNotEqual, "x", "x");
  TMemoryStream first, second;
  Criteria.WriteData(&first);
  first.SetPosition(0);
  TTestCriteria copy;
  copy.Fields = Criteria.Fields;
  copy.ReadData(&first);
  copy.WriteData(&second);
  EXPECT_EQ(StreamBytes(first), StreamBytes(second));
  EXPECT_EQ(copy.GetFilterText(), "(A = 1) AND ((B > 2) OR (C <> 'x'))");
}

TEST_F(FilterTest, BadStreamsLeaveTheCriteriaAsTheyWere) {
  Criteria.AddItem(&A, foEqual, 1, "1");
  const std::vector<Byte> before = Bytes();
  const char* bad[] = {
      "FF FF FF FF 00 01 00 00 00 00 22 00 00 00 00 03 00 00 00 00",  // operator kind 34
      "FF FF FF FF 07 00 00 00 00",                                    // root operator 7
      "FF FF FF FF 00 FF FF FF 7F",                                    // count beyond the stream
      "FF FF FF FF 00 01 00 00 00 01 09 00 00 00 00",                  // list operator 9
      "FF FF FF FF 00 01 00 00 00 00 00 05 00 00 00 61",               // display text cut short
  };
  for (const char* hex : bad) {
    ByteStream in{std::string(hex)};
    EXPECT_THROW(Criteria.ReadData(&in), EReadError) << hex;
    EXPECT_EQ(ToHex(Bytes()), ToHex(before)) << hex;
  }
  // Lists nested beyond any sensible depth are refused.
  std::vector<Byte> deep = Hex("FF FF FF FF 00 01 00 00 00");
  for (int i = 0; i < 1000; ++i)
    for (Byte b : Hex("01 00 01 00 00 00")) deep.push_back(b);
  ByteStream in(deep);
  EXPECT_THROW(Criteria.ReadData(&in), EReadError);
  EXPECT_EQ(ToHex(Bytes()), ToHex(before));
}

TEST_F(FilterTest, ExpressionAndCaptionTexts) {
  Criteria.GetRoot()->SetBoolOperatorKind(fboNotAnd);
  Criteria.AddItem(&A, foEqual, 1, "1");
  Criteria.AddItem(&B, foLike, "ab%", "ab%");
  EXPECT_EQ(Criteria.GetFilterText(), "NOT ((A = 1) AND (B LIKE 'ab%'))");
  EXPECT_EQ(Criteria.GetFilterCaption(), "not ((Caption A = 1) and (Caption B LIKE ab%))");
  Criteria.SetOptions({fcoShowOperatorDescription});
  EXPECT_EQ(Criteria.GetFilterCaption(), "not ((Caption A equals 1) and (Caption B begins with ab))");

  Criteria.Clear();
  Criteria.AddItem(&A, foEqual, Null(), "");
  Criteria.AddItem(&B, foNotEqual, Null(), "");
  Criteria.AddItem(&C, foBetween, VarArrayOf({1, Null()}), "1;");
  EXPECT_EQ(Criteria.GetFilterText(), "(A = NULL) AND (B <> NULL) AND (C BETWEEN 1 AND NULL)");
  EXPECT_EQ(Criteria.GetFilterCaption(),
            "(Caption A is blank) and (Caption B is not blank) and (Caption C between 1 and blank)");

  Criteria.Clear();
  Criteria.SetOptions({});
  Criteria.SetTranslateBetween(true);
  Criteria.SetTranslateIn(true);
  Criteria.SetTranslateNotLike(true);
  Criteria.AddItem(&A, foNotBetween, VarArrayOf({1, 5}), "1;5");
  Criteria.AddItem(&B, foInList, VarArrayOf({"x", "it's"}), "x;it's");
  Criteria.AddItem(&C, foNotLike, "%z", "%z");
  EXPECT_EQ(Criteria.GetFilterText(),
            "(NOT ((A >= 1) AND (A <= 5))) AND ((B = 'x') OR (B = 'it''s')) AND ( NOT (C LIKE '%z'))");
  EXPECT_EQ(Criteria.GetFilterCaption(),
            "(Caption A not between 1 and 5) and (Caption B in (x, it's)) and (Caption C NOT LIKE %z)");

  // A text that holds a ';' itself: the display's parts no longer pair
  // with the values, which then show their own texts.
  Criteria.Clear();
  Criteria.AddItem(&A, foInList, VarArrayOf({"a;b", "c"}), "a;b;c");
  Criteria.AddItem(&B, foBetween, VarArrayOf({"a;b", "c"}), "a;b;c");
  EXPECT_EQ(Criteria.GetFilterCaption(), "(Caption A in (a;b, c)) and (Caption B between a;b and c)");
}

TEST_F(FilterTest, EvaluationOptions) {
  Criteria.AddItem(&A, foEqual, "abc", "abc");
  EXPECT_FALSE(Passes({"ABC", 0, 0}));
  Criteria.SetOptions({fcoCaseInsensitive});
  EXPECT_TRUE(Passes({"ABC", 0, 0}));
  // Wide texts keep characters outside the 8-bit set apart.
  Criteria.Clear();
  Criteria.AddItem(&A, foEqual, WideString(u"\u0411"), "");
  EXPECT_FALSE(Passes({WideString(u"\u0416"), 0, 0}));
  EXPECT_TRUE(Passes({WideString(u"\u0411"), 0, 0}));

  Criteria.Clear();
  Criteria.SetOptions({});
  Criteria.AddItem(&A, foEqual, Null(), "");
  EXPECT_TRUE(Passes({Null(), 0, 0}));
  EXPECT_FALSE(Passes({"", 0, 0}));
  Criteria.SetOptions({fcoSoftNull});
  EXPECT_TRUE(Passes({"", 0, 0}));

  Criteria.Clear();
  Criteria.SetOptions({});
  Criteria.AddItem(&B, foNotEqual, 5, "5");
  EXPECT_TRUE(Passes({0, Null(), 0}));
  Criteria.SetOptions({fcoIgnoreNull});
  EXPECT_FALSE(Passes({0, Null(), 0}));

  // A value the operator cannot work with: an error, or a failed condition.
  Criteria.Clear();
  Criteria.SetOptions({});
  Criteria.AddItem(&C, foBetween, 5, "5");
  EXPECT_THROW(Passes({0, 0, 1}), EVariantError);
  Criteria.SetOptions({fcoSoftCompare});
  EXPECT_FALSE(Passes({0, 0, 1}));
}

TEST_F(FilterTest, OperatorsOverValues) {
  struct Case {
    TcxFilterOperatorKind kind;
    Variant condition;
    Variant value;
    bool passes;
  } cases[] = {
      {foLess, 1, Null(), true},        {foGreater, 1, Null(), false},     {foLessEqual, 2, 2, true},
      {foGreaterEqual, 3, 2, false},    {foLike, "%b_", "abc", true},       {foNotLike, "%b_", "abc", false},
      {foLike, "a%", Null(), false},    {foBetween, VarArrayOf({1, 3}), 3, true},
      {foNotBetween, VarArrayOf({1, 3}), 4, true}, {foInList, VarArrayOf({1, 2, 7}), 7, true},
      {foNotInList, VarArrayOf({1, 2, 7}), 7, false},
      // Currency compares to the last unit, also beyond 2^53 units where
      // neighbouring amounts share a double.
      {foEqual, Currency::FromRaw(9007199254740993), Currency::FromRaw(9007199254740992), false},
      {foEqual, Currency::FromRaw(9007199254740993), Currency::FromRaw(9007199254740993), true},
      {foGreater, Currency::FromRaw(9007199254740992), Currency::FromRaw(9007199254740993), true},
      {foInList, VarArrayOf({Currency::FromRaw(9007199254740992)}), Currency::FromRaw(9007199254740993), false},
  };
  for (const auto& c : cases) {
    Criteria.Clear();
    Criteria.AddItem(&A, c.kind, c.condition, "");
    EXPECT_EQ(Passes({c.value, 0, 0}), c.passes) << GetEnumName(TypeInfoOf(static_cast<TcxFilterOperatorKind*>(nullptr)), c.kind);
  }
  // Empty criteria pass everything.
  Criteria.Clear();
  EXPECT_TRUE(Passes({0, 0, 0}));
  EXPECT_EQ(Criteria.GetFilterText(), "");
}

TEST_F(FilterTest, DateRangesFollowTodayAndTheWeekStart) {
  ScopedLocale monday("en-US-monday");
  const double today = EncodeDate(2023, 3, 15);
  Clock::FakeClock clock(1000, today + 0.5);
  auto range = [&](TcxFilterOperatorKind kind, double on = 0) {
    TDateTime s, e;
    cxFilterDateRange(kind, TDateTime(on ? on : today), s, e);
    auto text = [](double d) { return d == 0 ? AnsiString("-") : FormatDateTime("yyyy-mm-dd", TDateTime(d)); };
    return text(s) + " " + text(e);
  };
  EXPECT_EQ(range(foLastWeek), "2023-03-06 2023-03-13");
  EXPECT_EQ(range(foThisWeek), "2023-03-13 2023-03-20");
  EXPECT_EQ(range(foNextWeek), "2023-03-20 2023-03-27");
  EXPECT_EQ(range(foNextTwoWeeks), "2023-03-20 2023-04-03");
  EXPECT_EQ(range(foThisMonth), "2023-03-01 2023-04-01");
  EXPECT_EQ(range(foLast7Days), "2023-03-09 2023-03-16");
  EXPECT_EQ(range(foInPast), "- 2023-03-15");
  EXPECT_EQ(range(foInFuture), "2023-03-16 -");
  EXPECT_EQ(range(foYesterday), "2023-03-14 2023-03-15");
  EXPECT_EQ(range(foLastYear), "2022-01-01 2023-01-01");
  EXPECT_EQ(range(foLastMonth, EncodeDate(2023, 1, 10)), "2022-12-01 2023-01-01");
  EXPECT_EQ(range(foNextMonth, EncodeDate(2023, 12, 10)), "2024-01-01 2024-02-01");
  EXPECT_EQ(range(foNextMonth, EncodeDate(2023, 11, 10)), "2023-12-01 2024-01-01");
  cxFilterIncludeTodayInLastNextDaysList = false;
  EXPECT_EQ(range(foLast7Days), "2023-03-08 2023-03-15");
  EXPECT_EQ(range(foNext7Days), "2023-03-16 2023-03-23");
  cxFilterIncludeTodayInLastNextDaysList = true;

  Criteria.AddItem(&A, foThisWeek, Null(), "");
  EXPECT_TRUE(Passes({TDateTime(today - 2), 0, 0}));
  EXPECT_FALSE(Passes({TDateTime(today + 5), 0, 0}));
  EXPECT_FALSE(Passes({Null(), 0, 0}));
  EXPECT_EQ(Criteria.GetFilterCaption(), "(Caption A is this week)");
  Criteria.SetDateTimeFormat("yyyy-mm-dd");
  EXPECT_EQ(Criteria.GetFilterText(), "((A >= '2023-03-13') AND (A < '2023-03-20'))");
}

TEST_F(FilterTest, RemovingConditionsTidiesTheTree) {
  Criteria.AddItem(&A, foEqual, 1, "1");
  TcxFilterCriteriaItemList* nested = Criteria.GetRoot()->AddItemList(fboOr);
  nested->AddItem(&B, foEqual, 2, "2");
  Criteria.RemoveItemByItemLink(&B);
  EXPECT_EQ(Criteria.GetFilterText(), "(A = 1)");

  nested = Criteria.GetRoot()->AddItemList(fboOr);
  nested->AddItem(&B, foEqual, 2, "2");
  nested->AddItem(&C, foEqual, 3, "3");
  Criteria.RemoveItemByItemLink(&C);
  EXPECT_EQ(Criteria.GetFilterText(), "(A = 1) AND (B = 2)");

  // A negated list keeps its last entry under the NOT.
  Criteria.Clear();
  TcxFilterCriteriaItemList* negated = Criteria.GetRoot()->AddItemList(fboNotAnd);
  negated->AddItem(&A, foEqual, 1, "1");
  negated->AddItem(&B, foEqual, 2, "2");
  Criteria.RemoveItemByItemLink(&B);
  EXPECT_EQ(Criteria.GetFilterText(), "(NOT ((A = 1)))");
  EXPECT_FALSE(Passes({1, 0, 0}));
  EXPECT_TRUE(Passes({2, 0, 0}));

  const int changes = Criteria.ChangeCount;
  Criteria.RemoveItemByItemLink(&C);  // nothing to remove, nothing told
  EXPECT_EQ(Criteria.ChangeCount, changes);
}

TEST_F(FilterTest, ChangesInsideABracketAreToldOnce) {
  Criteria.BeginUpdate();
  Criteria.AddItem(&A, foEqual, 1, "1");
  Criteria.AddItem(&B, foEqual, 2, "2");
  Criteria.SetOptions({fcoSoftNull});
  EXPECT_EQ(Criteria.ChangeCount, 0);
  Criteria.EndUpdate();
  EXPECT_EQ(Criteria.ChangeCount, 1);

  TTestCriteria copy;
  copy.Fields = Criteria.Fields;
  copy.Assign(&Criteria);
  EXPECT_TRUE(copy.EqualItems(&Criteria));
  EXPECT_TRUE(copy.GetOptions().Contains(fcoSoftNull));
}

TEST_F(FilterTest, CriteriaThatCannotBeBackedUpAreNotReplaced) {
  // A value the binary form cannot hold: the backup taken before reading
  // fails, so the read is refused before anything changes.
  Criteria.AddItem(&A, foEqual, 1, "1");
  Criteria.AddItem(&B, foEqual, VarArrayCreate({0, 1, 0, 1}, varVariant), "grid");
  const int changes = Criteria.ChangeCount;
  for (const char* hex : {"FF FF FF FF 07 00 00 00 00", "FF FF FF FF 00 00 00 00 00"}) {
    ByteStream in{std::string(hex)};
    EXPECT_THROW(Criteria.ReadData(&in), EWriteError) << hex;
    ASSERT_EQ(Criteria.GetRoot()->GetCount(), 2) << hex;
    EXPECT_EQ(Criteria.GetRoot()->GetItem(1)->GetIsItemList(), false);
    EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(Criteria.GetRoot()->GetItem(1))->GetDisplayValue(), "grid");
  }
  EXPECT_EQ(Criteria.ChangeCount, changes);
}

TEST_F(FilterTest, ComponentFormCarriesThePublishedSettings) {
  Criteria.SetOptions({fcoCaseInsensitive, fcoIgnoreNull});
  Criteria.SetPercentWildcard('*');
  Criteria.SetMaxValueListCount(12);
  TMemoryStream ms;
  Criteria.SaveToStream(&ms);
  ms.SetPosition(0);
  TTestCriteria copy;
  copy.LoadFromStream(&ms);
  EXPECT_EQ(copy.GetOptions(), (TcxFilterCriteriaOptions{fcoCaseInsensitive, fcoIgnoreNull}));
  EXPECT_EQ(copy.GetPercentWildcard(), '*');
  EXPECT_EQ(copy.GetMaxValueListCount(), 12);
}

TEST_F(FilterTest, ADamagedComponentFormLeavesTheCriteriaAsTheyWere) {
  Criteria.AddItem(&A, foEqual, 1, "1");
  Criteria.SetPercentWildcard('*');
  const std::vector<Byte> before = Bytes();
  TTestCriteria other;
  other.Fields = Criteria.Fields;
  other.SetMaxValueListCount(9);
  other.SetOptions({fcoCaseInsensitive});
  other.SetPercentWildcard('#');
  other.SetUnderscoreWildcard('?');
  TMemoryStream written;
  other.SaveToStream(&written);
  const std::vector<Byte> whole = StreamBytes(written);
  // Cut inside the last setting, after the others were read.
  ByteStream cut(std::vector<Byte>(whole.begin(), whole.end() - 3));
  const int changes = Criteria.ChangeCount;
  EXPECT_THROW(Criteria.LoadFromStream(&cut), EReadError);
  EXPECT_EQ(Criteria.GetMaxValueListCount(), 0);
  EXPECT_EQ(Criteria.GetOptions(), TcxFilterCriteriaOptions{});
  EXPECT_EQ(Criteria.GetPercentWildcard(), '*');
  EXPECT_EQ(Criteria.GetUnderscoreWildcard(), '_');
  EXPECT_EQ(ToHex(Bytes()), ToHex(before));
  EXPECT_EQ(Criteria.ChangeCount, changes) << "nothing changed, so nothing is told";
  ByteStream intact(whole);
  Criteria.LoadFromStream(&intact);
  EXPECT_EQ(Criteria.GetUnderscoreWildcard(), '?');
}

TEST_F(FilterTest, AFilterSavedEmptyClearsTheConditionsItIsLoadedInto) {
  TTestCriteria empty;
  empty.Fields = Criteria.Fields;
  TMemoryStream saved;
  empty.SaveToStream(&saved);
  Criteria.AddItem(&A, foEqual, 1, "1");
  saved.SetPosition(0);
  Criteria.LoadFromStream(&saved);
  EXPECT_TRUE(Criteria.IsEmpty());
}

TEST_F(FilterTest, ADamagedFilterFileLeavesTheSettingsAsTheyWere) {
  Criteria.SetPercentWildcard('*');
  TMemoryStream saved;
  Criteria.SaveToStream(&saved);
  // Options and the wildcard are read, then the damage.
  for (const char* damage : {"  Filter.Unknown = 1\r\n", "  object Stray: TNoSuchClass\r\n  end\r\n"}) {
    TStringStream text(AnsiString("object TFilterWrapper\r\n"
                                  "  Filter.Options = [fcoCaseInsensitive]\r\n"
                                  "  Filter.PercentWildcard = '#'\r\n") +
                       damage + "end\r\n");
    TMemoryStream damaged;
    ObjectTextToBinary(text, damaged);
    damaged.SetPosition(0);
    EXPECT_ANY_THROW(Criteria.LoadFromStream(&damaged)) << damage;
    EXPECT_TRUE(Criteria.GetOptions().Empty()) << damage;
    EXPECT_EQ(Criteria.GetPercentWildcard(), '*') << damage;
  }
  saved.SetPosition(0);
  TTestCriteria copy;
  copy.LoadFromStream(&saved);
  EXPECT_EQ(copy.GetPercentWildcard(), '*');
}

// A Currency setting is put back to the last unit, also where a double
// cannot hold it (beyond 2^53 units) or cannot even come back to it.
TEST_F(FilterTest, ADamagedFilterFileKeepsACurrencySettingToTheLastUnit) {
  TStringStream text(AnsiString("object TFilterWrapper\r\n"
                                "  Filter.Limit = 1\r\n"
                                "  Filter.Unknown = 1\r\n"
                                "end\r\n"));
  TMemoryStream damaged;
  ObjectTextToBinary(text, damaged);
  for (Int64 raw : {Int64{9007199254740993}, std::numeric_limits<Int64>::max()}) {
    TPricedCriteria criteria;
    criteria.SetLimit(Currency::FromRaw(raw));
    damaged.SetPosition(0);
    EXPECT_ANY_THROW(criteria.LoadFromStream(&damaged)) << raw;
    EXPECT_EQ(criteria.GetLimit().Value, raw);
  }
}

TEST_F(FilterTest, ValueListsKeepTheirSections) {
  TcxFilterValueList list(&Criteria);
  list.Add(fviValue, 5, "5", false);
  list.Add(fviValue, 1, "1", false);
  list.Add(fviValue, 5, "5", false);  // duplicates are skipped
  // Amounts a unit apart are two values, not a duplicate.
  list.Add(fviValue, Currency::FromRaw(9007199254740993), "a", false);
  list.Add(fviValue, Currency::FromRaw(9007199254740992), "b", false);
  list.Add(fviAll, Null(), cxSFilterString(cxSFilterBoxAllCaption), false);
  list.Add(fviBlanks, Null(), cxSFilterString(cxSFilterBoxBlanksCaption), false);
  list.Add(fviMRU, 9, "9", false);
  ASSERT_EQ(list.GetCount(), 8);
  EXPECT_EQ(list.GetItem(0).Kind, fviMRU);
  EXPECT_EQ(list.GetItem(1).Kind, fviMRUSeparator);
  EXPECT_EQ(list.GetItem(2).DisplayText, "(All)");
  EXPECT_EQ(list.GetItem(4).DisplayText, "1");
  EXPECT_EQ(list.GetItem(6).DisplayText, "b");
  EXPECT_EQ(list.GetItem(7).DisplayText, "a");
  EXPECT_EQ(list.GetIndexByCriteriaItem(nullptr), 2);
  TcxFilterCriteriaItem* blank = Criteria.AddItem(&A, foEqual, Null(), "");
  EXPECT_EQ(list.GetIndexByCriteriaItem(blank), 3);
  TcxFilterCriteriaItem* five = Criteria.AddItem(&A, foEqual, 5, "5");
  EXPECT_EQ(list.GetIndexByCriteriaItem(five), 5);
}

TEST(FilterStrings, CaptionsGoThroughTheHook) {
  EXPECT_EQ(cxSFilterString(cxSFilterOperatorBeginsWith), "begins with");
  cxFilterGetResourceStringFunc = [](const AnsiString& s) { return "[" + s + "]"; };
  EXPECT_EQ(cxSFilterString(cxSFilterOperatorBeginsWith), "[begins with]");
  cxFilterGetResourceStringFunc = nullptr;
}

TEST(ObjectIDs, StablePerObjectAndNeverAddresses) {
  TObject a, b;
  Integer ia = TcxObjectIDRegistry::GetID(&a), ib = TcxObjectIDRegistry::GetID(&b);
  EXPECT_NE(ia, ib);
  EXPECT_EQ(TcxObjectIDRegistry::GetID(&a), ia);
  EXPECT_EQ(TcxObjectIDRegistry::FindObject(ib), &b);
  TcxObjectIDRegistry::Release(&b);
  EXPECT_EQ(TcxObjectIDRegistry::FindObject(ib), nullptr);
  EXPECT_NE(TcxObjectIDRegistry::GetID(&b), ib);
  TcxObjectIDRegistry::Release(&a);
  TcxObjectIDRegistry::Release(&b);
}
