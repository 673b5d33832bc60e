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
    for (TcxSummaryKind kind : {skSum, skAverage, skMin, skMax, skCount}) {
      for (TcxDataSummaryItems* items :
           {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
            static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems())}) {
        TcxDataSummaryItem* item = items->Add();
        item->SetItemLink(c->Items[static_cast<size_t>(field)]);
        item->SetKind(kind);
      }
    }
  c->GetGroups()->ChangeGrouping(f.Key, 0);
  c->EndUpdate();
  for (TcxSummaryOptions options : {TcxSummaryOptions{}, TcxSummaryOptions{soNullIgnore}}) {
    s->SetOptions(options);
    TcxDataSummary::SetTypedCalculationEnabled(false);
    c->Refresh();
    const std::vector<std::string> reference = Snapshot(c);
    TcxDataSummary::SetTypedCalculationEnabled(true);
    c->Refresh();
    EXPECT_EQ(Snapshot(c), reference);
  }
  c->Free();
}

// Items of two fields alternate, so the cells read for one field must not
// be reused for the other; a filter leaves gaps in the positions.
TEST_P(SummaryTypedTest, AlternatingFieldsUnderAFilterMatchTheGeneralCalculation) {
  Records f = MakeRecords(GetParam(), 240);
  RecordingController* c = f.C;
  TcxDataSummary* s = c->GetSummary();
  c->BeginUpdate();
  for (TcxSummaryKind kind : {skMax, skSum, skMin, skCount, skAverage})
    for (Integer field : {f.Int, f.Real, f.Int})
      for (TcxDataSummaryItems* items :
           {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
            static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems())}) {
        TcxDataSummaryItem* item = items->Add();
        item->SetItemLink(c->Items[static_cast<size_t>(field)]);
        item->SetKind(kind);
      }
  c->GetGroups()->ChangeGrouping(f.Key, 0);
  c->GetFilter()->AddItem(c->Items[static_cast<size_t>(f.Int)], foGreater, 0, "0");
  c->GetFilter()->SetActive(true);
  c->EndUpdate();
  TcxDataSummary::SetTypedCalculationEnabled(false);
  c->Refresh();
  const std::vector<std::string> reference = Snapshot(c);
  TcxDataSummary::SetTypedCalculationEnabled(true);
  c->Refresh();
  EXPECT_EQ(Snapshot(c), reference);
  c->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, SummaryTypedTest, ::testing::Values(3u, 11u, 2026u));

}  // namespace
