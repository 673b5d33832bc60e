// An edit of a sort key or a group key moves its record within the sorted,
// grouped view instead of sorting and grouping it all again. Two
// controllers get the same seeded edits; the second is made anew after
// each one. The record order, the group table, every summary and each
// record's row must agree after every edit: several sort levels, one of
// them descending, two group levels, nulls, many ties (settled by record
// index), records changing groups, brackets holding several edits.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "library/data/cxCustomDataSummary.h"
#include "tests/library/data/DataControllerFixture.h"

namespace {

enum Field { fRank, fName, fRegion, fTier, fAmount, fFieldCount };

Variant RandomValue(std::mt19937& ARandom, Integer AField) {
  auto pick = [&](int n) { return static_cast<int>(ARandom() % static_cast<unsigned>(n)); };
  if (pick(7) == 0) return Null();
  switch (AField) {
    case fRank: return pick(6);  // few values: most records tie
    case fName: return AnsiString(1, static_cast<char>('a' + pick(4)));
    case fRegion: return AnsiString(1, static_cast<char>('x' + pick(3)));
    case fTier: return pick(3);
    default: return pick(1000) / 8.0;
  }
}

RecordingController* MakeView(unsigned ASeed, Integer ACount) {
  auto* c = New<RecordingController>(nullptr);
  c->AddTypedItem(TcxIntegerValueType::Class());
  c->AddTypedItem(TcxStringValueType::Class());
  c->AddTypedItem(TcxStringValueType::Class());
  c->AddTypedItem(TcxIntegerValueType::Class());
  c->AddTypedItem(TcxFloatValueType::Class());
  std::mt19937 random(ASeed);
  c->BeginUpdate();
  c->SetRecordCount(ACount);
  for (Integer r = 0; r < ACount; ++r)
    for (Integer f = 0; f < fFieldCount; ++f) c->SetValue(r, f, RandomValue(random, f));
  TcxDataSummary* s = c->GetSummary();
  for (TcxSummaryKind kind : {skSum, skMin, skMax, skCount})
    for (TcxDataSummaryItems* items : {static_cast<TcxDataSummaryItems*>(s->GetFooterSummaryItems()),
                                       static_cast<TcxDataSummaryItems*>(s->GetDefaultGroupSummaryItems())}) {
      TcxDataSummaryItem* item = items->Add();
      item->SetItemLink(c->Items[fAmount]);
      item->SetKind(kind);
    }
  c->GetGroups()->ChangeGrouping(fRegion, 0);
  c->GetGroups()->ChangeGrouping(fTier, 1);
  c->ChangeSorting(fTier, soDescending);
  c->ChangeSorting(fRank, soAscending);
  c->ChangeSorting(fName, soDescending);
  c->EndUpdate();
  c->GetGroups()->FullExpand();
  return c;
}

// The view as a user meets it; with AAllRows every record's row, else
// those of the records AProbes names.
std::vector<std::string> Snapshot(RecordingController* C, bool AAllRows, const std::vector<Integer>& AProbes) {
  TcxDataSummary* s = C->GetSummary();
  std::vector<std::string> out{VarToStr(s->GetFooterSummaryValues()[0]) + " " +
                               VarToStr(s->GetFooterSummaryValues()[3])};
  TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
  for (Integer g = 0; g < groups->GetItemCount(); ++g) {
    const TcxDataGroupInfo& info = groups->Item(g);
    std::string line = std::to_string(info.Level) + " " + std::to_string(info.First) + ".." +
                       std::to_string(info.Last) + (info.Expanded ? "+" : "-");
    for (Integer item = 0; item < 4; ++item) line += " " + VarToStr(s->GetGroupSummaryValue(g, item));
    out.push_back(line);
  }
  std::string records;
  for (Integer r : C->GetDataControllerInfo()->GetRecordList()) records += std::to_string(r) + " ";
  out.push_back(records);
  std::string rows;
  if (AAllRows)
    for (Integer r = 0; r < C->GetRecordCount(); ++r) rows += std::to_string(C->GetRowIndexByRecordIndex(r, false)) + " ";
  else
    for (Integer r : AProbes) rows += std::to_string(r) + "@" + std::to_string(C->GetRowIndexByRecordIndex(r, false)) + " ";
  out.push_back(rows);
  return out;
}

class KeyEditTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(KeyEditTest, AMovedRecordStandsWhereTheViewMadeAnewPutsIt) {
  const unsigned seed = GetParam();
  constexpr Integer kRecords = 900;
  RecordingController* edited = MakeView(seed, kRecords);
  RecordingController* reference = MakeView(seed, kRecords);
  ASSERT_EQ(Snapshot(edited, true, {}), Snapshot(reference, true, {}));
  std::mt19937 random(seed * 13 + 5);
  for (int step = 0; step < 400; ++step) {
    const int edits = random() % 8 == 0 ? 2 : 1;
    std::vector<std::tuple<Integer, Integer, Variant>> changes;
    for (int k = 0; k < edits; ++k) {
      const Integer record = static_cast<Integer>(random() % kRecords);
      const Integer field = static_cast<Integer>(random() % 4);  // a sort key or a group key
      changes.emplace_back(record, field, RandomValue(random, field));
    }
    for (RecordingController* c : {edited, reference}) {
      if (edits > 1) c->BeginUpdate();
      for (const auto& [record, field, value] : changes) c->SetValue(record, field, value);
      if (edits > 1) c->EndUpdate();
    }
    reference->Refresh();
    reference->GetGroups()->FullExpand();
    edited->GetGroups()->FullExpand();
    // Most steps ask for a few rows, so that moves gather between lookups.
    std::vector<Integer> probes;
    for (const auto& change : changes) probes.push_back(std::get<0>(change));
    probes.push_back(static_cast<Integer>(random() % kRecords));
    const bool all = step % 25 == 24;
    ASSERT_EQ(Snapshot(edited, all, probes), Snapshot(reference, all, probes)) << "step " << step;
  }
  edited->Free();
  reference->Free();
}

INSTANTIATE_TEST_SUITE_P(Seeds, KeyEditTest, ::testing::Values(3u, 71u, 2027u));

}  // namespace
