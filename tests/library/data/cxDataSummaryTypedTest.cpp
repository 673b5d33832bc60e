// Typed summary accumulation against the general one: footers and every
// group's values are calculated twice over the same random records (nulls,
// sums that outgrow Integer and Int64, NaN, negative zero, a group of nulls
// only), and must match in type, bits and text.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSummary.h"
#include "tests/library/data/DataControllerFixture.h"

namespace {

std::string Describe(const Variant& AValue) {
  if (VarType(AValue) == varDouble)
    return "double:" + std::to_string(std::bit_cast<std::uint64_t>(AValue.RawDouble()));
  if (VarIsArray(AValue)) {
    std::string s = "[";
    for (Integer i = VarArrayLowBound(AValue, 1); i <= VarArrayHighBound(AValue, 1); ++i)
      s += Describe(AValue[i]) + ",";
    return s + "]";
  }
  return std::to_string(VarType(AValue)) + ":" + (VarIsNull(AValue) ? "null" : VarToStr(AValue));
}

struct Records {
  RecordingController* C;
  Integer Int, Real, Key;
};

Records MakeRecords(unsigned ASeed, Integer ACount) {
  Records f{};
  f.C = New<RecordingController>(nullptr);
  RecordingController* c = f.C;
  f.Int = c->AddTypedItem(TcxIntegerValueType::Class());
  f.Real = c->AddTypedItem(TcxFloatValueType::Class());
  f.Key = c->AddTypedItem(TcxStringValueType::Class());
  std::mt19937 random(ASeed);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  static const Integer ints[] = {0, 1, -7, 2000000000, 2147483647, -2147483647};
  static const double reals[] = {0.1, -0.0, 1e300, 7.0, 2.5, -3.75, 1e-300,
                                 std::numeric_limits<double>::quiet_NaN()};
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  for (Integer r = 0; r < ACount; ++r) {
    const int group = pick(5);
    c->SetValue(r, f.Key, AnsiString(1, static_cast<char>('a' + group)));
    // Group "e" holds nulls only.
    if (group == 4) continue;
    if (pick(5)) c->SetValue(r, f.Int, ints[pick(6)]);
    if (pick(5)) c->SetValue(r, f.Real, reals[pick(group == 3 ? 8 : 7)]);
  }
  c->EndUpdate();
  return f;
}

std::vector<std::string> Snapshot(RecordingController* C) {
  TcxDataSummary* s = C->GetSummary();
  std::vector<std::string> out;
  out.push_back(Describe(s->GetFooterSummaryValues()));
  for (Integer i = 0; i < s->GetFooterSummaryItems()->GetCount(); ++i) out.push_back(s->GetFooterSummaryText(i));
  TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
  for (Integer g = 0; g < groups->GetItemCount(); ++g)
    if (const Variant* values = s->GetGroupSummaryValues(g)) out.push_back(Describe(*values));
  for (Integer row = 0; row < C->GetRowCount(); ++row) out.push_back(s->GetGroupSummaryText(row));
  return out;
}

// An item of AKind over AField, in the footer and in every group.
void AddFooterAndGroupItem(RecordingController* C, Integer AField, TcxSummaryKind AKind) {
  TcxDataSummary* s = C->GetSummary();
  for (TcxDataSummaryItems* items : {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
                                     static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems())}) {
    TcxDataSummaryItem* item = items->Add();
    item->SetItemLink(C->Items[static_cast<size_t>(AField)]);
    item->SetKind(AKind);
  }
}

// The summaries the general calculation gives, then the typed one's.
std::pair<std::vector<std::string>, std::vector<std::string>> GeneralAndTyped(RecordingController* C) {
  TcxDataSummary::SetTypedCalculationEnabled(false);
  C->Refresh();
  std::vector<std::string> general = Snapshot(C);
  TcxDataSummary::SetTypedCalculationEnabled(true);
  C->Refresh();
  return {std::move(general), Snapshot(C)};
}

class SummaryTypedTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void TearDown() override { TcxDataSummary::SetTypedCalculationEnabled(true); }
};

TEST_P(SummaryTypedTest, FooterAndGroupsMatchTheGeneralCalculation) {
  Records f = MakeRecords(GetParam(), 240);
  RecordingController* c = f.C;
  TcxDataSummary* s = c->GetSummary();
  c->BeginUpdate();
  for (Integer field : {f.Int, f.Real})
    for (TcxSummaryKind kind : {skSum, skAverage, skMin, skMax, skCount}) AddFooterAndGroupItem(c, field, kind);
  c->GetGroups()->ChangeGrouping(f.Key, 0);
  c->EndUpdate();
  for (TcxSummaryOptions options : {TcxSummaryOptions{}, TcxSummaryOptions{soNullIgnore}}) {
    s->SetOptions(options);
    const auto [general, typed] = GeneralAndTyped(c);
    EXPECT_EQ(typed, general);
  }
  c->Free();
}

// Items of two fields alternate, so the cells read for one field must not
// be reused for the other; a filter leaves gaps in the positions.
TEST_P(SummaryTypedTest, AlternatingFieldsUnderAFilterMatchTheGeneralCalculation) {
  Records f = MakeRecords(GetParam(), 240);
  RecordingController* c = f.C;
  c->BeginUpdate();
  for (TcxSummaryKind kind : {skMax, skSum, skMin, skCount, skAverage})
    for (Integer field : {f.Int, f.Real, f.Int}) AddFooterAndGroupItem(c, field, kind);
  c->GetGroups()->ChangeGrouping(f.Key, 0);
  c->GetFilter()->AddItem(c->Items[static_cast<size_t>(f.Int)], foGreater, 0, "0");
  c->GetFilter()->SetActive(true);
  c->EndUpdate();
  const auto [general, typed] = GeneralAndTyped(c);
  EXPECT_EQ(typed, general);
  c->Free();
}

// Two group levels whose keys are sometimes null, every kind over Integer,
// Float and Currency fields beside a DateTime sum (which only the general
// calculation takes), groups sorted by a summary, and a filter that leaves
// some groups with nulls only: the group table, the order and every value
// are the general calculation's. Values are made only when read: reading
// one group leaves the others' as they were calculated.
TEST_P(SummaryTypedTest, SeveralLevelsNullKeysAndSortBySummaryMatchTheGeneralCalculation) {
  RecordingController* c = New<RecordingController>(nullptr);
  const Integer flag = c->AddTypedItem(TcxBooleanValueType::Class());
  const Integer key = c->AddTypedItem(TcxStringValueType::Class());
  const Integer whole = c->AddTypedItem(TcxIntegerValueType::Class());
  const Integer real = c->AddTypedItem(TcxFloatValueType::Class());
  const Integer money = c->AddTypedItem(TcxCurrencyValueType::Class());
  const Integer when = c->AddTypedItem(TcxDateTimeValueType::Class());
  std::mt19937 random(GetParam());
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  static const double reals[] = {0.25, -0.0, 0.0, 1e-30, 4e15, -7.5, 123456.789, 1e300, -1e300};
  c->BeginUpdate();
  c->SetRecordCount(300);
  for (Integer r = 0; r < 300; ++r) {
    if (pick(4)) c->SetValue(r, flag, pick(2) == 0);
    if (pick(8)) c->SetValue(r, key, AnsiString(1, static_cast<char>('a' + pick(40))));
    if (pick(6)) c->SetValue(r, whole, pick(2000000) - 1000000);
    if (pick(6)) c->SetValue(r, real, reals[pick(9)] * (1 + pick(3)));
    if (pick(6)) c->SetValue(r, money, Currency::FromRaw(static_cast<Int64>(pick(100000000)) - 50000000));
    if (pick(6)) c->SetValue(r, when, TDateTime(40000.0 + pick(1000)));
  }
  TcxDataSummary* s = c->GetSummary();
  // The flag level has items of its own, a DateTime sum among them.
  TcxDataSummaryGroup* flagGroup = s->GetSummaryGroups()->Add();
  flagGroup->GetLinks()->Add()->SetItemLink(c->Items[static_cast<size_t>(flag)]);
  TcxDataSummaryItem* sorted = nullptr;
  for (Integer field : {whole, real, money, when})
    for (TcxSummaryKind kind : {skSum, skCount, skAverage, skMin, skMax}) {
      for (TcxDataSummaryItems* items :
           {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
            static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems()),
            static_cast<TcxDataSummaryItems*>(flagGroup->GetSummaryItems())}) {
        if (field == when && (kind != skSum || items == s->GetDefaultGroupSummaryItems())) continue;
        TcxDataSummaryItem* item = items->Add();
        item->SetItemLink(c->Items[static_cast<size_t>(field)]);
        item->SetKind(kind);
        if (field == real && kind == skAverage && items == s->GetDefaultGroupSummaryItems()) sorted = item;
      }
    }
  c->GetGroups()->ChangeGrouping(flag, 0);
  c->GetGroups()->ChangeGrouping(key, 1);
  // The filter drops about a third of each group's records.
  c->GetFilter()->AddItem(c->Items[static_cast<size_t>(whole)], foGreater, -300000, "-300000");
  c->GetFilter()->SetActive(true);
  c->EndUpdate();
  TcxDataGroups* groups = c->GetDataControllerInfo()->GetDataGroups();
  ASSERT_GT(groups->GetItemCount(), 20);
  auto groupTable = [&] {
    std::vector<std::string> out;
    for (Integer g = 0; g < groups->GetItemCount(); ++g) {
      const TcxDataGroupInfo& info = groups->Item(g);
      out.push_back(std::to_string(info.Level) + ":" + std::to_string(info.First) + "-" + std::to_string(info.Last));
    }
    for (Integer i = 0; i < c->GetFilteredRecordCount(); ++i) out.push_back(std::to_string(c->GetFilteredRecordIndex(i)));
    return out;
  };
  for (bool bySummary : {false, true}) {
    sorted->SetSortBySummary(bySummary);
    for (TcxSummaryOptions options : {TcxSummaryOptions{}, TcxSummaryOptions{soNullIgnore}}) {
      s->SetOptions(options);
      TcxDataSummary::SetTypedCalculationEnabled(false);
      c->Refresh();
      const std::vector<std::string> table = groupTable();
      const std::vector<std::string> reference = Snapshot(c);
      TcxDataSummary::SetTypedCalculationEnabled(true);
      c->Refresh();
      EXPECT_EQ(groupTable(), table) << "by summary " << bySummary;
      if (!bySummary) {
        // The key level is calculated the typed way, the flag level not.
        const Integer last = groups->GetItemCount() - 1;
        const std::string read = Describe(*s->GetGroupSummaryValues(last));
        Integer waiting = 0, keys = 0;
        for (Integer g = 0; g < last; ++g) {
          keys += groups->Item(g).Level == 1;
          waiting += groups->Item(g).SummaryTotals >= 0;
          EXPECT_TRUE(groups->Item(g).Level == 1 || groups->Item(g).SummaryTotals < 0);
        }
        EXPECT_EQ(waiting, keys) << "the groups not read keep their totals";
        EXPECT_EQ(read, reference[reference.size() - static_cast<size_t>(c->GetRowCount()) - 1]);
      }
      EXPECT_EQ(Snapshot(c), reference) << "by summary " << bySummary;
    }
  }
  c->Free();
}

// The typed calculation reads the summed fields from the columns the
// storage keeps: values set, records appended, inserted and deleted
// between calculations reach them, as the general calculation (which
// reads the records) shows.
TEST_P(SummaryTypedTest, ChangesBetweenCalculationsReachTheKeptColumns) {
  Records f = MakeRecords(GetParam(), 200);
  RecordingController* c = f.C;
  c->BeginUpdate();
  for (Integer field : {f.Int, f.Real})
    for (TcxSummaryKind kind : {skSum, skMin, skMax}) AddFooterAndGroupItem(c, field, kind);
  c->GetGroups()->ChangeGrouping(f.Key, 0);
  c->EndUpdate();
  std::mt19937 random(GetParam());
  for (int step = 0; step < 24; ++step) {
    const Integer r = static_cast<Integer>(random() % static_cast<unsigned>(c->GetRecordCount()));
    switch (step % 4) {
      case 0: c->SetValue(r, f.Real, 1000.0 + step); break;
      case 1: c->SetValue(r, f.Int, Null()); break;
      case 2: {
        const Integer added = step % 8 == 2 ? c->AppendRecord() : c->InsertRecord(r);
        c->SetValue(added, f.Key, AnsiString("b"));
        c->SetValue(added, f.Int, -5 - step);
        c->SetValue(added, f.Real, 0.5 * step);
        break;
      }
      default: c->DeleteRecord(r); break;
    }
    const auto [general, typed] = GeneralAndTyped(c);
    ASSERT_EQ(typed, general) << "step " << step;
  }
  c->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, SummaryTypedTest, ::testing::Values(3u, 11u, 2026u));

}  // namespace
