// Seeded random sequences of user operations; after every operation the
// view must be consistent, and the rows must equal what a full reload
// builds from the same records.
#include <random>
#include <set>

#include "DataControllerFixture.h"

namespace {

class InvariantTest : public DataControllerTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  std::mt19937 Rng;
  std::string Trace;
  int Pick(int n) { return n <= 0 ? 0 : static_cast<int>(Rng() % static_cast<unsigned>(n)); }

  void RandomValue(Integer r) {
    C->SetValue(r, IntItem, Pick(5));
    C->SetValue(r, StrItem, AnsiString(1, static_cast<char>('a' + Pick(4))));
  }

  std::string Step() {
    const int rows = C->GetRowCount();
    const int records = C->GetRecordCount();
    const int which = Pick(17);
    Trace = "op " + std::to_string(which);
    switch (which) {
      case 0: {
        const Integer r = C->AppendRecord();
        RandomValue(r);
        return "append";
      }
      case 1:
        if (records > 0) {
          const Integer r = C->InsertRecord(Pick(records + 1));
          RandomValue(r);
        }
        return "insert";
      case 2:
        if (records > 0) C->DeleteRecord(Pick(records));
        return "delete";
      case 3:
        if (C->GetFocusedRowIndex() != -1) C->SetEditValue(Pick(2) ? IntItem : StrItem, Pick(5), evsValue);
        return "edit";
      case 4:
        C->Post();
        return "post";
      case 5:
        C->Cancel();
        return "cancel";
      case 6:
        C->ChangeSorting(Pick(2) ? IntItem : StrItem, static_cast<TcxDataSortOrder>(Pick(3)));
        return "sort";
      case 7:
        C->GetGroups()->ChangeGrouping(Pick(2) ? IntItem : StrItem, Pick(3) - 1);
        return "group";
      case 8:
        if (rows > 0) C->GetGroups()->ChangeExpanding(Pick(rows), true, Pick(2));
        return "expand";
      case 9:
        if (rows > 0) C->GetGroups()->ChangeExpanding(Pick(rows), false, Pick(2));
        return "collapse";
      case 10:
        if (Pick(2))
          C->SetIncrementalFilter(StrItem, AnsiString(1, static_cast<char>('a' + Pick(4))));
        else
          C->ResetIncrementalFilter();
        return "filter";
      case 11:
        if (rows > 0) C->SelectRows(Pick(rows), Pick(rows));
        return "select";
      case 12:
        if (rows > 0) C->ChangeRowSelection(Pick(rows), Pick(2));
        return "toggle";
      case 13:
        C->ChangeFocusedRowIndex(Pick(rows + 1) - 1);
        return "focus";
      case 14:
        if (records > 0) C->SetValue(Pick(records), IntItem, Pick(5));
        return "setvalue";
      case 15:
        C->MoveBy(Pick(5) - 2);
        return "move";
      default:
        if (rows > 0 && Pick(3) == 0) C->DeleteSelection();
        return "deleteselection";
    }
  }

  std::string Dump() {
    std::string out = " selection:";
    TcxDataSelection* sel = C->GetDataControllerInfo()->GetSelection();
    for (Integer i = 0; i < sel->GetCount(); ++i)
      out += " (" + std::to_string(sel->GetItem(i).Level) + "," + std::to_string(sel->GetItem(i).RecordIndex) + "," +
             std::to_string(sel->GetItem(i).RowIndex) + ")";
    out += " levels " + std::to_string(C->GetGroups()->GetGroupingItemCount()) + " rows " +
           std::to_string(C->GetRowCount()) + " records " + std::to_string(C->GetRecordCount());
    return out;
  }

  void CheckConsistent(const std::string& AWhere) {
    TcxCustomDataControllerInfo* info = C->GetDataControllerInfo();
    const Integer rowCount = C->GetRowCount();
    // Every filtered record once.
    std::set<Integer> seen;
    for (Integer r : info->GetRecordList()) {
      ASSERT_TRUE(r >= 0 && r < C->GetRecordCount()) << AWhere;
      ASSERT_TRUE(seen.insert(r).second) << AWhere << ": record " << r << " twice";
    }
    // Visible data rows show distinct listed records.
    std::set<Integer> shown;
    const Integer levels = C->GetGroups()->GetGroupingItemCount();
    for (Integer row = 0; row < rowCount; ++row) {
      const TcxRowInfo ri = C->GetRowInfo(row);
      if (levels > 0 && ri.Level < levels) continue;
      ASSERT_TRUE(seen.count(ri.RecordIndex)) << AWhere;
      ASSERT_TRUE(shown.insert(ri.RecordIndex).second) << AWhere;
    }
    if (levels == 0) {
      ASSERT_EQ(shown.size(), seen.size()) << AWhere;
    }
    // The group table covers the list with adjacent ranges.
    TcxDataGroups* groups = info->GetDataGroups();
    if (levels > 0 && !info->GetRecordList().empty()) {
      Integer next = 0;
      for (Integer g = 0; g < groups->GetItemCount(); ++g)
        if (groups->IsDeepest(g)) {
          ASSERT_EQ(groups->Item(g).First, next) << AWhere;
          ASSERT_GE(groups->Item(g).Last, groups->Item(g).First) << AWhere;
          next = groups->Item(g).Last + 1;
        }
      ASSERT_EQ(next, static_cast<Integer>(info->GetRecordList().size())) << AWhere;
    }
    // Focus on a row or none.
    const Integer focused = C->GetFocusedRowIndex();
    ASSERT_TRUE(focused >= -1 && focused < rowCount) << AWhere;
    // The selection: visible rows, ascending, once each.
    if (C->GetMultiSelect()) {
      Integer last = -1;
      for (Integer i = 0; i < C->GetSelectedCount(); ++i) {
        const Integer row = C->GetSelectedRowIndex(i);
        if (row == -1) continue;  // hidden under a collapsed group
        ASSERT_TRUE(row >= 0 && row < rowCount) << AWhere << ": selected row " << row;
        ASSERT_GT(row, last) << AWhere << Dump();
        last = row;
      }
    }
    ASSERT_EQ(C->GetLockCount(), 0) << AWhere;
  }
};

TEST_P(InvariantTest, EveryOperationLeavesAConsistentView) {
  Rng.seed(GetParam());
  C->SetMultiSelect(GetParam() % 2 == 0);
  for (int i = 0; i < 12; ++i) RandomValue(C->AppendRecord());
  for (int i = 0; i < 400; ++i) {
    std::string op;
    try {
      op = Step();
    } catch (const Exception& e) {
      FAIL() << "step " << i << " raised " << e.GetMessage() << " after " << Trace;
    }
    Trace = op;
    const std::string where = "step " + std::to_string(i) + " " + op;
    CheckConsistent(where);
    if (HasFatalFailure()) return;
    // What the single-record path built equals a full reload.
    if (!C->GetIsEditing()) {
      const std::vector<Integer> before = C->GetDataControllerInfo()->GetRecordList();
      C->Refresh();
      ASSERT_EQ(C->GetDataControllerInfo()->GetRecordList(), before) << where;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, InvariantTest, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

}  // namespace
