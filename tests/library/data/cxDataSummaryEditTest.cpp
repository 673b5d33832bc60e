// One edit in a sorted, grouped view with summaries replaces the record's
// share of the footer and of its groups instead of calculating everything.
// Two controllers get the same seeded edits; the second recalculates in
// full after each one. Rows, footers and every group's values must agree
// in type and bits after every edit, with nulls, signed zeros, NaN, sums
// outgrowing Integer, records filtered in and out, records changing
// groups, and brackets holding several edits.
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
  if (VarType(AValue) == varDouble) return "d" + std::to_string(std::bit_cast<UInt64>(AValue.RawDouble()));
  if (VarIsArray(AValue)) {
    std::string s = "[";
    for (Integer i = VarArrayLowBound(AValue, 1); i <= VarArrayHighBound(AValue, 1); ++i)
      s += Describe(AValue[i]) + ",";
    return s + "]";
  }
  return std::to_string(VarType(AValue)) + ":" + (VarIsNull(AValue) ? "null" : VarToStr(AValue));
}

enum Field { fInt, fReal, fMoney, fKey, fLevel, fFieldCount };

// With ANarrow the Float values are mostly zeros of both signs and NaN,
// so that extremes tie and the first in record order decides.
Variant RandomValue(std::mt19937& ARandom, Integer AField, bool ANarrow) {
  auto pick = [&](int n) { return static_cast<int>(ARandom() % static_cast<unsigned>(n)); };
  if (pick(8) == 0) return Null();
  switch (AField) {
    case fInt: {
      static const Integer ints[] = {0, 1, -7, 42, 2000000000, 2147483647, -2147483647, 5};
      return ints[pick(8)];
    }
    case fReal: {
      static const double reals[] = {0.1, -0.0, 0.0, 1e300, -1e300, 7.0, 2.5, -3.75, 1e-300, 0.3};
      static const double narrow[] = {-0.0, 0.0, 1.0};
      if (ANarrow) return pick(4) == 0 ? std::numeric_limits<double>::quiet_NaN() : narrow[pick(3)];
      if (pick(40) == 0) return std::numeric_limits<double>::quiet_NaN();
      return reals[pick(10)];
    }
    case fMoney: return Currency::FromRaw(static_cast<Int64>(pick(2000000)) - 1000000);
    case fKey: return AnsiString(1, static_cast<char>('a' + pick(4)));
    default: return pick(3);
  }
}

RecordingController* MakeView(unsigned ASeed, Integer ACount, bool AFiltered, bool ANarrow) {
  auto* c = New<RecordingController>(nullptr);
  c->AddTypedItem(TcxIntegerValueType::Class());
  c->AddTypedItem(TcxFloatValueType::Class());
  c->AddTypedItem(TcxCurrencyValueType::Class());
  c->AddTypedItem(TcxStringValueType::Class());
  c->AddTypedItem(TcxIntegerValueType::Class());
  std::mt19937 random(ASeed);
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  for (Integer r = 0; r < ACount; ++r)
    for (Integer f = 0; f < fFieldCount; ++f) c->SetValue(r, f, RandomValue(random, f, ANarrow));
  TcxDataSummary* s = c->GetSummary();
  for (Integer field : {fInt, fReal, fMoney})
    for (TcxSummaryKind kind : {skSum, skAverage, skMin, skMax, skCount})
      for (TcxDataSummaryItems* items : {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
                                         static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems())}) {
        TcxDataSummaryItem* item = items->Add();
        item->SetItemLink(c->Items[static_cast<size_t>(field)]);
        item->SetKind(kind);
      }
  // A group count without a field counts records.
  s->GetDefaultGroupSummaryItems()->Add()->SetKind(skCount);
  c->GetGroups()->ChangeGrouping(fKey, 0);
  c->GetGroups()->ChangeGrouping(fLevel, 1);
  c->ChangeSorting(fMoney, soDescending);
  c->ChangeSorting(fInt, soAscending);
  if (AFiltered) {
    c->GetFilter()->AddItem(c->Items[fMoney], foGreater, Currency::FromRaw(-600000), "");
    c->GetFilter()->SetActive(true);
  }
  c->EndUpdate();
  return c;
}

std::vector<std::string> Snapshot(RecordingController* C) {
  TcxDataSummary* s = C->GetSummary();
  std::vector<std::string> out{Describe(s->GetFooterSummaryValues())};
  TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
  for (Integer g = 0; g < groups->GetItemCount(); ++g) {
    const TcxDataGroupInfo& info = groups->Item(g);
    out.push_back(std::to_string(info.Level) + " " + std::to_string(info.First) + ".." + std::to_string(info.Last) +
                  (info.Expanded ? "+" : "-") + Describe(*s->GetGroupSummaryValues(g)));
  }
  std::string records;
  for (Integer r : C->GetDataControllerInfo()->GetRecordList()) records += std::to_string(r) + " ";
  out.push_back(records);
  return out;
}

class SummaryEditTest : public ::testing::TestWithParam<std::tuple<unsigned, bool, bool>> {};

TEST_P(SummaryEditTest, EditsReplaceTheRecordAsAFullCalculationWould) {
  const auto [seed, filtered, narrow] = GetParam();
  constexpr Integer kRecords = 700;
  RecordingController* edited = MakeView(seed, kRecords, filtered, narrow);
  RecordingController* reference = MakeView(seed, kRecords, filtered, narrow);
  ASSERT_EQ(Snapshot(edited), Snapshot(reference));
  edited->GetGroups()->FullExpand();
  reference->GetGroups()->FullExpand();
  std::mt19937 random(seed * 7 + 1);
  for (int step = 0; step < 300; ++step) {
    // Mostly summarised fields, sometimes a group or the filtered field,
    // sometimes two records in one bracket.
    const int edits = random() % 10 == 0 ? 2 : 1;
    std::vector<std::tuple<Integer, Integer, Variant>> changes;
    for (int k = 0; k < edits; ++k) {
      // The first records in record order (the footer's) and in a group
      // decide among equal extremes: they are edited often.
      Integer record = static_cast<Integer>(random() % kRecords);
      TcxDataGroups* groups = edited->GetDataControllerInfo()->GetDataGroups();
      const std::vector<Integer>& list = edited->GetDataControllerInfo()->GetRecordList();
      if (random() % 4 == 0) record = static_cast<Integer>(random() % 8);
      if (random() % 3 == 0 && groups->GetItemCount() > 0) {
        const Integer g = static_cast<Integer>(random() % static_cast<unsigned>(groups->GetItemCount()));
        const Integer first = groups->GetFirstListIndex(g);
        if (first >= 0 && first < static_cast<Integer>(list.size())) record = list[static_cast<size_t>(first)];
      }
      const Integer field = random() % 6 == 0 ? fKey + static_cast<Integer>(random() % 2)
                                               : static_cast<Integer>(random() % 3);
      changes.emplace_back(record, field, RandomValue(random, field, narrow));
    }
    for (RecordingController* c : {edited, reference}) {
      if (edits > 1) c->BeginUpdate();
      for (const auto& [record, field, value] : changes) c->SetValue(record, field, value);
      if (edits > 1) c->EndUpdate();
    }
    reference->Refresh();
    ASSERT_EQ(Snapshot(edited), Snapshot(reference)) << "step " << step;
  }
  edited->Free();
  reference->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, SummaryEditTest,
                         ::testing::Combine(::testing::Values(1u, 29u, 2026u), ::testing::Bool(), ::testing::Bool()));

}  // namespace
