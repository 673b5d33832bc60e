#include <bit>
#include <limits>

#include "DataControllerFixture.h"
#include "library/data/cxCustomDataSummary.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"

namespace {

// "$", two decimals, symbol before the number: the display format "$,0.00".
Locale DollarLocale() {
  Locale l = Locale::Builtin("en-US");
  l.CurrencyString = "$";
  l.CurrencyDecimals = 2;
  l.CurrencyFormat = 0;
  return l;
}

class SummaryTest : public DataControllerTest {
 protected:
  ScopedLocale Dollars{DollarLocale()};
  TcxDataSummary* S() { return C->GetSummary(); }

  TcxDataSummaryItem* Footer(Integer AItemIndex, TcxSummaryKind AKind) {
    TcxDataSummaryItem* item = S()->GetFooterSummaryItems()->Add();
    if (AItemIndex >= 0) item->SetItemLink(C->Items[static_cast<size_t>(AItemIndex)]);
    item->SetKind(AKind);
    return item;
  }
  TcxDataSummaryItem* Group(Integer AItemIndex, TcxSummaryKind AKind,
                            TcxDataGroupSummaryItems* AItems = nullptr) {
    TcxDataSummaryItem* item = (AItems ? AItems : S()->GetDefaultGroupSummaryItems())->Add();
    if (AItemIndex >= 0) item->SetItemLink(C->Items[static_cast<size_t>(AItemIndex)]);
    item->SetKind(AKind);
    return item;
  }
  void Floats(const std::vector<Variant>& AValues) {
    C->BeginUpdate();
    for (const Variant& v : AValues) C->SetValue(C->AppendRecord(), FloatItem, v);
    C->EndUpdate();
  }
};

}  // namespace

// --- Formats and texts --------------------------------------------------------

TEST_F(SummaryTest, DefaultFormatsGiveTheKindAndTheNumberBySignAndPosition) {
  TcxDataSummaryItem* sum = Group(FloatItem, skSum);
  EXPECT_EQ(sum->FormatValue(12.5, false), "SUM=12.50");
  EXPECT_EQ(sum->FormatValue(-3, false), "SUM=-3.00");
  EXPECT_EQ(sum->FormatValue(12.5, true), "12.50");
  EXPECT_EQ(sum->FormatValue(Null(), false), "");

  TcxDataSummaryItem* count = Group(-1, skCount);
  EXPECT_EQ(count->FormatValue(7, false), "COUNT=7");
  EXPECT_EQ(count->FormatValue(7, true), "7");

  TcxDataSummaryItem* avg = Group(FloatItem, skAverage);
  EXPECT_EQ(avg->FormatValue(8.0 / 3, true), "AVG=2.67");
  TcxDataSummaryItem* max = Group(FloatItem, skMax);
  EXPECT_EQ(max->FormatValue(1234.5, false), "MAX=1234.50");

  // Currency: the locale's format in both sections.
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(12345000), false), "SUM=$1,234.50");
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(-30000), false), "SUM=-$3.00");
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(12345000), true), "$1,234.50");

  // A format of its own wins; no kind shows the plain value.
  sum->SetFormat("Total 0.0");
  EXPECT_EQ(sum->FormatValue(2.25, false), "Total 2.3");
  TcxDataSummaryItem* none = Group(FloatItem, skNone);
  EXPECT_EQ(none->FormatValue(2.5, false), "2.5");
}

TEST_F(SummaryTest, CurrencySymbolsThatLookLikePatternsStayLiteral) {
  Locale odd = DollarLocale();
  odd.CurrencyString = "R;0#'";
  ScopedLocale scoped(odd);
  TcxDataSummaryItem* sum = Group(FloatItem, skSum);
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(15000), false), "SUM=R;0#'1.50");
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(-15000), true), "-R;0#'1.50");
  odd.CurrencyString = "\"E+";
  odd.CurrencyFormat = 3;
  ScopedLocale quoted(odd);
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(20000), true), "2.00 \"E+");
}

// Currency totals near the top of the type's range keep their cents in the
// footer, in the groups and under a picture of the item's own: a double
// holds such amounts only to an eighth.
TEST_F(SummaryTest, LargeCurrencyTotalsShowTheirExactCents) {
  const Integer money = C->AddTypedItem(TcxCurrencyValueType::Class());
  Fill({{1, "a"}, {2, "a"}, {3, "b"}});
  C->SetValue(0, money, Currency::FromRaw(4500000000000000100LL));  // 450,000,000,000,000.01
  C->SetValue(1, money, Currency::FromRaw(4500000000000000200LL));  // 450,000,000,000,000.02
  C->SetValue(2, money, Currency::FromRaw(123456789012345600LL));   // 12,345,678,901,234.56
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  ASSERT_EQ(Rows(), (std::vector<std::string>{"g0:a", "g0:b"}));
  Footer(money, skSum);
  Footer(money, skMax)->SetFormat("0.00");
  Group(money, skSum);
  Group(money, skMin);

  EXPECT_EQ(S()->GetFooterSummaryText(0), "$912,345,678,901,234.59");
  EXPECT_EQ(S()->GetFooterSummaryText(1), "450000000000000.02");
  EXPECT_EQ(S()->GetGroupSummaryText(0), "(SUM=$900,000,000,000,000.03, MIN=$450,000,000,000,000.01)");
  EXPECT_EQ(S()->GetGroupSummaryText(1), "(SUM=$12,345,678,901,234.56, MIN=$12,345,678,901,234.56)");
  // Below zero the second section, as for smaller amounts.
  TcxDataSummaryItem* sum = S()->GetFooterSummaryItems()->GetItem(0);
  EXPECT_EQ(sum->FormatValue(Currency::FromRaw(-9000000000000000300LL), true), "-$900,000,000,000,000.03");
}

TEST_F(SummaryTest, DatesShowTheKindFollowedByTheDateText) {
  TcxDataSummaryItem* min = Group(FloatItem, skMin);
  const TDateTime day = EncodeDate(2021, 3, 4);
  EXPECT_EQ(min->FormatValue(day, false), "MIN=3/4/2021");
  EXPECT_EQ(min->FormatValue(TDateTime(day.Value + 0.5), true), "MIN=3/4/2021 12:00:00 PM");
  EXPECT_EQ(min->FormatValue(TDateTime(0.25), true), "MIN=6:00:00 AM");
  TcxDataSummaryItem* sum = Group(FloatItem, skSum);
  EXPECT_EQ(sum->FormatValue(day, true), "3/4/2021");
  // A count is a number even when the text handler sees a date item.
  TcxDataSummaryItem* count = Group(FloatItem, skCount);
  EXPECT_EQ(count->FormatValue(3, false), "COUNT=3");
}

TEST_F(SummaryTest, TextHandlerSeesTheValueAndMayReplaceTheText) {
  TcxDataSummaryItem* sum = Group(FloatItem, skSum);
  std::vector<std::string> seen;
  sum->OnGetText = [&](TcxDataSummaryItem* Sender, const Variant& AValue, bool AIsFooter, AnsiString& AText) {
    EXPECT_EQ(Sender, sum);
    seen.push_back(AText + (AIsFooter ? " footer " : " group ") + VarToStr(AValue));
    AText = "<" + AText + ">";
  };
  EXPECT_EQ(sum->FormatValue(2, true), "<2.00>");
  EXPECT_EQ(sum->FormatValue(Null(), false), "<>");
  EXPECT_EQ(seen, (std::vector<std::string>{"2.00 footer 2", " group "}));
}

TEST_F(SummaryTest, GroupTextJoinsGroupPositionItemsInBrackets) {
  TcxDataGroupSummaryItems* items = S()->GetDefaultGroupSummaryItems();
  EXPECT_EQ(items->GetGroupText(Null()), "");
  Group(FloatItem, skSum);
  TcxDataSummaryItem* inFooter = Group(FloatItem, skMin);
  inFooter->SetPosition(spFooter);
  Group(FloatItem, skMax);
  const Variant values = VarArrayOf({5, 1, 9});
  EXPECT_EQ(items->GetGroupText(values), "(SUM=5.00, MAX=9.00)");
  items->SetBeginText("[");
  items->SetEndText("");
  items->SetSeparator(";");
  EXPECT_EQ(items->GetGroupText(values), "[SUM=5.00; MAX=9.00");
  EXPECT_TRUE(items->IsBeginTextStored());
  EXPECT_FALSE(S()->GetFooterSummaryItems()->Add()->IsPositionStored());

  // Only footer-position items: nothing at all, not even brackets.
  TcxDataSummaryGroup* group = S()->GetSummaryGroups()->Add();
  Group(FloatItem, skSum, group->GetSummaryItems())->SetPosition(spFooter);
  EXPECT_EQ(group->GetSummaryItems()->GetGroupText(VarArrayOf({1})), "");
}

// --- Definitions ---------------------------------------------------------------

TEST_F(SummaryTest, SelectionOptionsExcludeEachOtherTheNewOneWins) {
  S()->SetOptions({soSelectedRecords});
  S()->SetOptions({soSelectedRecords, soMultipleSelectedRecords});
  EXPECT_EQ(S()->GetOptions(), TcxSummaryOptions({soMultipleSelectedRecords}));
  S()->SetOptions({soSelectedRecords, soMultipleSelectedRecords, soNullIgnore});
  EXPECT_EQ(S()->GetOptions(), TcxSummaryOptions({soSelectedRecords, soNullIgnore}));
}

TEST_F(SummaryTest, PerItemEditingCreatesAndFreesItemsByTheirProperties) {
  TcxDataFooterSummaryItems* footer = S()->GetFooterSummaryItems();
  footer->SetDataItemFormat(FloatItem, spFooter, "");
  EXPECT_EQ(footer->GetCount(), 0);
  footer->SetDataItemKind(FloatItem, spFooter, skSum);
  ASSERT_EQ(footer->GetCount(), 1);
  EXPECT_EQ(footer->GetDataItemKind(FloatItem, spFooter), skSum);
  EXPECT_EQ(footer->GetItem(0)->GetItemLink(), C->Items[static_cast<size_t>(FloatItem)]);
  EXPECT_EQ(footer->GetDataItemKind(IntItem, spFooter), skNone);
  footer->SetDataItemFormat(FloatItem, spFooter, "0");
  footer->SetDataItemKind(FloatItem, spFooter, skNone);
  EXPECT_EQ(footer->GetCount(), 1);  // the format keeps it
  footer->SetDataItemFormat(FloatItem, spFooter, "");
  EXPECT_EQ(footer->GetCount(), 0);
  footer->SetDataItemKind(FloatItem, spFooter, skMin);
  footer->SetDataItemKind(FloatItem, spFooter, skNone);  // no format either: freed
  EXPECT_EQ(footer->GetCount(), 0);
  EXPECT_THROW(footer->GetDataItemKind(99, spFooter), EcxInvalidDataControllerOperation);

  // A group collection keeps group and footer positions apart.
  TcxDataGroupSummaryItems* group = S()->GetDefaultGroupSummaryItems();
  group->SetDataItemKind(IntItem, spFooter, skMax);
  group->SetDataItemKind(IntItem, spGroup, skMin);
  EXPECT_EQ(group->GetDataItemKind(IntItem, spFooter), skMax);
  EXPECT_EQ(group->GetDataItemKind(IntItem, spGroup), skMin);
  EXPECT_EQ(S()->GetGroupFooterIndexOfItemLink(0, C->Items[0]), -1);  // no grouping level
}

TEST_F(SummaryTest, AFieldBelongsToOneSummaryGroupAndLeavesWithItsItem) {
  TcxDataSummaryGroup* first = S()->GetSummaryGroups()->Add();
  TcxDataSummaryGroup* second = S()->GetSummaryGroups()->Add();
  first->GetLinks()->Add()->SetItemLink(C->Items[static_cast<size_t>(StrItem)]);
  EXPECT_EQ(S()->GetSummaryGroups()->FindByItemLink(C->Items[static_cast<size_t>(StrItem)]), first);
  second->GetLinks()->Add()->SetItemLink(C->Items[static_cast<size_t>(StrItem)]);
  EXPECT_EQ(S()->GetSummaryGroups()->FindByItemLink(C->Items[static_cast<size_t>(StrItem)]), second);
  EXPECT_EQ(first->GetLinks()->GetItem(0)->GetItemLink(), nullptr);

  // Removing the item takes its field out of every item and link.
  TcxDataSummaryItem* sum = Footer(StrItem, skCount);
  C->RemoveItem(C->Items[static_cast<size_t>(StrItem)]);
  EXPECT_EQ(sum->GetField(), nullptr);
  EXPECT_EQ(second->GetLinks()->GetItem(0)->GetField(), nullptr);
}

// --- Calculation ---------------------------------------------------------------

TEST_F(SummaryTest, NullsCountUnlessIgnoredAndAveragesFollow) {
  Floats({3, Null(), 5});
  Footer(FloatItem, skAverage);
  Footer(FloatItem, skCount);
  Footer(FloatItem, skSum);
  EXPECT_DOUBLE_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 8.0 / 3);
  EXPECT_EQ(S()->GetFooterSummaryValue(1).AsInteger(), 3);
  EXPECT_EQ(S()->GetFooterSummaryText(2), "8.00");
  S()->SetOptions({soNullIgnore});
  EXPECT_DOUBLE_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 4.0);
  EXPECT_EQ(S()->GetFooterSummaryValue(1).AsInteger(), 2);
  EXPECT_EQ(S()->GetFooterSummaryText(1), "2");
  // Outside the values: Null, and writes are ignored.
  EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(3)));
  S()->SetFooterSummaryValue(7, 1);
}

TEST_F(SummaryTest, LeadingNullStartsASumAtZeroAndIsSkippedByMinAndMax) {
  Floats({Null(), 4});
  Footer(FloatItem, skMin);
  Footer(FloatItem, skSum);
  Footer(FloatItem, skMax);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 4);
  EXPECT_EQ(S()->GetFooterSummaryValue(1).AsDouble(), 4);
  EXPECT_EQ(S()->GetFooterSummaryValue(2).AsDouble(), 4);
  // A sum over nothing but nulls is 0, a minimum over them Null.
  C->SetValue(1, FloatItem, Null());
  EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(0)));
  EXPECT_EQ(S()->GetFooterSummaryValue(1).AsInteger(), 0);
}

TEST_F(SummaryTest, NoRecordsGiveNullsAndZeroCounts) {
  Footer(FloatItem, skSum);
  Footer(FloatItem, skMin);
  Footer(FloatItem, skAverage);
  Footer(FloatItem, skCount);
  C->Refresh();
  for (Integer i = 0; i < 3; ++i) EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(i))) << i;
  EXPECT_EQ(S()->GetFooterSummaryValue(3).AsInteger(), 0);
  EXPECT_EQ(S()->GetFooterSummaryText(0), "");
}

TEST_F(SummaryTest, HandlerThatFinishesEveryRecordLeavesNothingCounted) {
  Floats({1, 2, 3});
  Footer(FloatItem, skSum);
  Footer(FloatItem, skCount);
  std::vector<Integer> records;
  S()->GetFooterSummaryItems()->OnSummary = [&](TcxDataSummaryItems*, const TcxSummaryEventArguments& A,
                                                TcxSummaryEventOutArguments& Out) {
    if (A.SummaryItem->GetKind() == skSum) records.push_back(A.RecordIndex);
    Out.Done = true;
  };
  S()->Recalculate();
  EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(0)));
  EXPECT_EQ(S()->GetFooterSummaryValue(1).AsInteger(), 0);
  EXPECT_EQ(records, (std::vector<Integer>{0, 1, 2}));

  // A handler may also change the value it is given.
  S()->GetFooterSummaryItems()->OnSummary = [&](TcxDataSummaryItems*, const TcxSummaryEventArguments&,
                                                TcxSummaryEventOutArguments& Out) { Out.Value = Out.Value.AsDouble() * 10; };
  S()->Recalculate();
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 60);
}

TEST_F(SummaryTest, TextInASumFailsWithAVariantError) {
  Fill({{1, "a"}, {2, "b"}});
  EXPECT_THROW(Footer(StrItem, skSum), EVariantError);
  // The controller is still usable once the item is gone.
  S()->GetFooterSummaryItems()->Clear();
  Footer(StrItem, skMax);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsString(), "b");
  Footer(StrItem, skCount);
  EXPECT_EQ(S()->GetFooterSummaryText(1), "2");
}

TEST_F(SummaryTest, GroupsSumTheirRecordsWithTheItemsOfTheirLevel) {
  Fill({{1, "x"}, {2, "y"}, {3, "x"}, {4, "y"}, {5, "y"}});
  C->BeginUpdate();
  for (Integer r = 0; r < 5; ++r) C->SetValue(r, FloatItem, r + 1.5);
  C->EndUpdate();
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  Group(-1, skCount);
  Group(IntItem, skSum);
  Footer(IntItem, skSum);
  ASSERT_EQ(Rows(), (std::vector<std::string>{"g0:x", "g0:y"}));
  EXPECT_EQ(S()->GetGroupSummaryText(0), "(COUNT=2, SUM=4.00)");
  EXPECT_EQ(S()->GetGroupSummaryText(1), "(COUNT=3, SUM=11.00)");
  EXPECT_EQ(S()->GetFooterSummaryText(0), "15.00");

  // A summary group for the grouped field replaces the default items at that level.
  TcxDataSummaryGroup* byStr = S()->GetSummaryGroups()->Add();
  byStr->GetLinks()->Add()->SetItemLink(C->Items[static_cast<size_t>(StrItem)]);
  Group(FloatItem, skMax, byStr->GetSummaryItems());
  EXPECT_EQ(S()->GetGroupSummaryItems(0), byStr->GetSummaryItems());
  EXPECT_EQ(S()->GetGroupSummaryText(0), "(MAX=3.50)");

  // Two levels: the outer group sums everything below it.
  C->GetGroups()->ChangeGrouping(IntItem, 1);
  C->GetGroups()->FullExpand();
  EXPECT_EQ(S()->GetGroupSummaryItems(1), S()->GetDefaultGroupSummaryItems());
  EXPECT_EQ(S()->GetGroupSummaryText(0), "(MAX=3.50)");
  ASSERT_EQ(Rows(), (std::vector<std::string>{"g0:x", "g1:1", "0", "g1:3", "2", "g0:y", "g1:2", "1", "g1:4", "3",
                                               "g1:5", "4"}));
  EXPECT_EQ(S()->GetGroupSummaryText(1), "(COUNT=1, SUM=1.00)");
  EXPECT_EQ(S()->GetGroupSummaryText(2), "");  // a data row
  EXPECT_EQ(S()->GetGroupSummaryText(3), "(COUNT=1, SUM=3.00)");
  const Integer yRow = 5;
  ASSERT_EQ(Rows()[static_cast<size_t>(yRow)], "g0:y");
  EXPECT_EQ(S()->GetGroupSummaryText(yRow), "(MAX=5.50)");
  EXPECT_EQ(S()->GetGroupSummaryDisplayValue(yRow + 1, 1, 1).AsInteger(), 2);
  EXPECT_EQ(S()->GetGroupSummaryDisplayValue(yRow + 1, 0, 0).AsDouble(), 5.5);

  // A value set by hand shows until the next calculation.
  S()->SetGroupSummaryDisplayValue(yRow, 0, 0, 9);
  EXPECT_EQ(S()->GetGroupSummaryText(yRow), "(MAX=9.00)");
  C->SetValue(0, FloatItem, 0.5);
  EXPECT_EQ(S()->GetGroupSummaryText(yRow), "(MAX=5.50)");
}

TEST_F(SummaryTest, SummariesFollowTheSelectionWhenAsked) {
  Floats({1, 2, 4});
  Footer(FloatItem, skSum);
  C->SetMultiSelect(true);
  S()->SetOptions({soSelectedRecords});
  EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(0)));
  C->ChangeRowSelection(0, true);
  C->ChangeRowSelection(2, true);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 5);

  // Multiple-selection mode needs two rows; with fewer every record counts.
  S()->SetOptions({soMultipleSelectedRecords});
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 5);
  C->ChangeRowSelection(2, false);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 7);

  // Focused-selected mode: the focused record alone.
  C->SetMultiSelect(false);
  S()->SetOptions({soSelectedRecords});
  C->ChangeFocusedRowIndex(1);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsDouble(), 2);
}

TEST_F(SummaryTest, AfterSummaryRunsOnceAPassAndIgnoresChangesMeanwhile) {
  Floats({1, 2});
  Footer(FloatItem, skSum);
  int calls = 0;
  S()->OnAfterSummary = [&](TcxDataSummary* ASummary) {
    ++calls;
    ASummary->Recalculate();  // ignored while the event runs
    EXPECT_EQ(ASummary->GetFooterSummaryValue(0).AsDouble(), 3);
  };
  S()->Recalculate();
  EXPECT_EQ(calls, 1);
  // Setting a footer value by hand redraws without a calculation.
  S()->SetFooterSummaryValue(0, 42);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(S()->GetFooterSummaryText(0), "42.00");
}

TEST_F(SummaryTest, AssignCopiesItemsGroupsOptionsAndEvents) {
  Footer(FloatItem, skAverage)->SetFormat("0.0");
  TcxDataSummaryGroup* group = S()->GetSummaryGroups()->Add();
  group->GetLinks()->Add()->SetItemLink(C->Items[static_cast<size_t>(StrItem)]);
  Group(IntItem, skCount, group->GetSummaryItems());
  S()->SetOptions({soNullIgnore});
  S()->OnAfterSummary = [](TcxDataSummary*) {};

  // A second summary of the same controller takes a copy of everything.
  TcxDataSummary* copy = New<TcxDataSummary>(C);
  copy->Assign(S());
  TcxDataSummaryItem* item = copy->GetFooterSummaryItems()->GetItem(0);
  EXPECT_EQ(item->GetKind(), skAverage);
  EXPECT_EQ(item->GetFormat(), "0.0");
  EXPECT_EQ(item->GetField(), C->GetField(FloatItem));
  TcxDataSummaryGroup* groupCopy = copy->GetSummaryGroups()->GetItem(0);
  EXPECT_EQ(groupCopy->GetLinks()->GetItem(0)->GetField(), C->GetField(StrItem));
  EXPECT_EQ(groupCopy->GetSummaryItems()->GetItem(0)->GetKind(), skCount);
  EXPECT_EQ(copy->GetOptions(), TcxSummaryOptions({soNullIgnore}));
  EXPECT_TRUE(copy->OnAfterSummary.Assigned());
  copy->Free();
}

// --- Sums beyond their type's range ---------------------------------------------

namespace {

const Currency BigMoney = Currency::FromRaw(9000000000000000000LL);  // 900,000,000,000,000

// A Currency item and two records whose amounts (900,000,000,000,000 each)
// and Floats (1e308 each) sum beyond their types' range; answers the
// Currency item.
Integer AppendSumsBeyondRange(RecordingController* AController, Integer AFloatItem) {
  const Integer money = AController->AddTypedItem(TcxCurrencyValueType::Class());
  AController->BeginUpdate();
  for (int i = 0; i < 2; ++i) {
    const Integer r = AController->AppendRecord();
    AController->SetValue(r, money, BigMoney);
    AController->SetValue(r, AFloatItem, 1e308);
  }
  AController->EndUpdate();
  return money;
}

// The summaries' values in type and bits, footer first, then each group's.
std::vector<std::string> Shown(TcxDataSummary* ASummary, TcxCustomDataController* AController) {
  auto describe = [](const Variant& AValues) {
    std::string s;
    for (Integer i = VarArrayLowBound(AValues, 1); i <= VarArrayHighBound(AValues, 1); ++i) {
      const Variant v = AValues[i];
      s += std::to_string(VarType(v)) + ":" +
           (VarType(v) == varDouble ? std::to_string(std::bit_cast<UInt64>(v.RawDouble())) : VarToStr(v)) + " ";
    }
    return s;
  };
  std::vector<std::string> out{describe(ASummary->GetFooterSummaryValues())};
  TcxDataGroups* groups = AController->GetDataControllerInfo()->GetDataGroups();
  for (Integer g = 0; g < groups->GetItemCount(); ++g) out.push_back(describe(*ASummary->GetGroupSummaryValues(g)));
  return out;
}

}  // namespace

// Two amounts of 900,000,000,000,000 sum beyond what Currency holds, two
// Floats of 1e308 beyond the double range. Such a sum shows no value, as
// over no values; the averages, which fit, show; and every edit of the
// records goes on and is kept, however the sums stand.
TEST_F(SummaryTest, SumsBeyondTheirRangeShowNothingAndTheRecordsStayEditable) {
  const Integer money = AppendSumsBeyondRange(C, FloatItem);
  Footer(money, skSum);
  Footer(money, skAverage);
  Footer(FloatItem, skSum);
  Footer(FloatItem, skAverage);
  Footer(money, skMax);
  auto footer = [&](Integer AIndex) { return S()->GetFooterSummaryValue(AIndex); };
  EXPECT_TRUE(VarIsNull(footer(0)));
  EXPECT_EQ(S()->GetFooterSummaryText(0), "");
  EXPECT_EQ(footer(1).AsDouble(), 900e12);
  EXPECT_TRUE(VarIsNull(footer(2)));
  EXPECT_EQ(footer(3).AsDouble(), 1e308);
  EXPECT_EQ(footer(4).AsCurrency(), BigMoney);

  // Another field's edit is stored.
  C->SetValue(0, IntItem, 7);
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 7);

  // Edits bring the sums back into range: they show again.
  C->SetValue(1, money, Currency::FromRaw(10000));
  C->SetValue(1, FloatItem, -1e308);
  EXPECT_EQ(footer(0).AsCurrency(), Currency::FromRaw(9000000000000010000LL));
  EXPECT_EQ(footer(1).AsDouble(), 450000000000000.5);
  EXPECT_EQ(footer(2).AsDouble(), 0);
  EXPECT_EQ(footer(3).AsDouble(), 0);

  // An appended record takes the Currency sum beyond again, its deletion
  // back; the Float sum of 1e308, -1e308 and 1.5e308 is in range.
  C->Append();
  C->SetEditValue(money, BigMoney, evsValue);
  C->SetEditValue(FloatItem, 1.5e308, evsValue);
  C->Post();
  ASSERT_EQ(C->GetRecordCount(), 3);
  EXPECT_EQ(C->GetValue(2, money).AsCurrency(), BigMoney);
  EXPECT_TRUE(VarIsNull(footer(0)));
  EXPECT_DOUBLE_EQ(footer(1).AsDouble(), 600000000000000.33);
  EXPECT_EQ(footer(2).AsDouble(), 1.5e308);
  EXPECT_DOUBLE_EQ(footer(3).AsDouble(), 0.5e308);
  C->ChangeFocusedRecordIndex(0);
  C->SetEditValue(StrItem, "kept", evsValue);
  C->Post();
  EXPECT_EQ(C->GetDisplayText(0, StrItem), "kept");
  C->DeleteRecord(2);
  EXPECT_EQ(footer(0).AsCurrency(), Currency::FromRaw(9000000000000010000LL));
  EXPECT_EQ(footer(2).AsDouble(), 0);

  // An average beyond the double range itself has no value either.
  C->SetValue(0, FloatItem, std::numeric_limits<double>::max());
  C->SetValue(1, FloatItem, std::numeric_limits<double>::max());
  EXPECT_TRUE(VarIsNull(footer(2)));
  EXPECT_EQ(footer(3).AsDouble(), std::numeric_limits<double>::max());
}

// Items with a handler (and every item in provider mode) add the values as
// variants, in record order: a sum that leaves its range there shows no
// value for the rest of the pass, and the records stay editable.
TEST_F(SummaryTest, HandledSumsBeyondTheirRangeShowNothingAndTheRecordsStayEditable) {
  const Integer money = AppendSumsBeyondRange(C, FloatItem);
  S()->GetFooterSummaryItems()->OnSummary = [](TcxDataSummaryItems*, const TcxSummaryEventArguments&,
                                               TcxSummaryEventOutArguments&) {};
  Footer(money, skSum);
  Footer(money, skAverage);
  Footer(FloatItem, skSum);
  Footer(money, skCount);
  for (Integer i = 0; i < 3; ++i) EXPECT_TRUE(VarIsNull(S()->GetFooterSummaryValue(i))) << i;
  EXPECT_EQ(S()->GetFooterSummaryValue(3).AsInteger(), 2);
  C->SetValue(1, IntItem, 3);
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 3);
  C->SetValue(1, money, Currency::FromRaw(-10000));
  C->SetValue(1, FloatItem, 2.0);
  EXPECT_EQ(S()->GetFooterSummaryValue(0).AsCurrency(), Currency::FromRaw(8999999999999990000LL));
  EXPECT_EQ(S()->GetFooterSummaryValue(2).AsDouble(), 1e308);
}

// A group of many records keeps its sums and replaces an edited record's
// share in them: beyond the range and back, the footer and the groups show
// after each edit what calculating everything anew shows.
TEST_F(SummaryTest, SumsBeyondTheirRangeAgreeWhetherReplacedOrCalculatedAnew) {
  const Integer money = C->AddTypedItem(TcxCurrencyValueType::Class());
  C->BeginUpdate();
  for (Integer r = 0; r < 80; ++r) {
    C->AppendRecord();
    C->SetValue(r, StrItem, AnsiString(r < 70 ? "many" : "few"));
    C->SetValue(r, money, Currency::FromRaw(r * 10000));
    C->SetValue(r, FloatItem, r * 0.5);
  }
  C->EndUpdate();
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  for (Integer field : {money, FloatItem})
    for (TcxSummaryKind kind : {skSum, skAverage, skMax}) {
      Footer(field, kind);
      Group(field, kind);
    }
  // Beyond the range and back, in the many records' group (kept) and in
  // the few records' one (calculated anew).
  const std::pair<Integer, Variant> edits[] = {
      {3, BigMoney},  {4, BigMoney},  {75, BigMoney}, {3, 1e308},   {4, 1e308},  {75, 1e308}, {70, 1e308},
      {3, Currency::FromRaw(-10000)}, {3, -1e308},    {75, Null()}, {4, Null()}, {70, 2.5},   {70, 1.5e308}};
  for (const auto& [record, value] : edits) {
    C->SetValue(record, VarType(value) == varDouble ? FloatItem : money, value);
    C->SetValue(record, IntItem, record);
    const std::vector<std::string> replaced = Shown(S(), C);
    S()->Recalculate();
    EXPECT_EQ(replaced, Shown(S(), C)) << "record " << record << " " << VarToStr(value);
  }
  // The few records' Float sum is beyond the range: no value, an empty text.
  ASSERT_EQ(Rows(), (std::vector<std::string>{"g0:few", "g0:many"}));
  EXPECT_TRUE(VarIsNull(S()->GetGroupSummaryValue(0, 3)));
  EXPECT_DOUBLE_EQ(S()->GetGroupSummaryValue(0, 4).AsDouble(), 2.5e307);
  EXPECT_EQ(S()->GetGroupSummaryText(0).substr(0, 38), "(SUM=$670.00, AVG=67.00, MAX=$79.00, ,");
}
