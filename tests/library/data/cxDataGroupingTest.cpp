// Grouped views against a plain model: the rows that a tree of groups with
// some groups expanded shows, in order, after random expansion changes,
// and the group table's navigation answers for the same tree.
#include <functional>
#include <map>
#include <set>
#include <random>

#include "DataControllerFixture.h"
#include "library/data/cxCustomDataFilter.h"

using Rows = std::vector<std::string>;

namespace {

struct Rec {
  int a, b, c;
};

class GroupingModelTest : public DataControllerTest {
 protected:
  Integer CItem = -1;
  std::vector<Rec> Recs;
  // Expanded groups by their value path ("1", "1/2", "1/2/3").
  std::map<std::string, bool> Expanded;
  Integer Levels = 0;
  // The values of the first two fields.
  unsigned Values = 3;
  // The records the view shows.
  std::function<bool(const Rec&)> Shown = [](const Rec&) { return true; };

  void SetUp() override {
    DataControllerTest::SetUp();
    CItem = C->AddTypedItem(TcxIntegerValueType::Class());
  }

  // A fresh controller with the fixture's four items and no records.
  void Renew() {
    C->Free();
    C = New<RecordingController>(nullptr);
    IntItem = C->AddTypedItem(TcxIntegerValueType::Class());
    StrItem = C->AddTypedItem(TcxStringValueType::Class());
    FloatItem = C->AddTypedItem(TcxIntegerValueType::Class());
    CItem = C->AddTypedItem(TcxIntegerValueType::Class());
  }

  void Load(unsigned ASeed, int ACount) {
    std::mt19937 rng(ASeed);
    C->BeginUpdate();
    for (int i = 0; i < ACount; ++i) {
      const Rec r{static_cast<int>(rng() % Values), static_cast<int>(rng() % Values), static_cast<int>(rng() % 2)};
      Recs.push_back(r);
      const Integer index = C->AppendRecord();
      C->SetValue(index, IntItem, r.a);
      C->SetValue(index, FloatItem, r.b);
      C->SetValue(index, CItem, r.c);
    }
    C->EndUpdate();
  }

  void GroupBy(Integer ALevels) {
    Levels = ALevels;
    const Integer items[3] = {IntItem, FloatItem, CItem};
    C->BeginUpdate();
    for (Integer i = 0; i < ALevels; ++i) C->GetGroups()->ChangeGrouping(items[i], i);
    C->EndUpdate();
  }

  int Key(const Rec& r, Integer level) const { return level == 0 ? r.a : level == 1 ? r.b : r.c; }
  std::string Path(const Rec& r, Integer level) const {
    std::string p;
    for (Integer l = 0; l <= level; ++l) p += (l ? "/" : "") + std::to_string(Key(r, l));
    return p;
  }

  struct ModelRow {
    std::string Text;  // "g<level>:<value>" or the record index
    std::string Path;  // of the group row
    Integer Level;
  };

  // The rows a tree with the noted expansion shows.
  std::vector<ModelRow> Model() const {
    std::vector<Integer> order;
    for (size_t i = 0; i < Recs.size(); ++i)
      if (Shown(Recs[i])) order.push_back(static_cast<Integer>(i));
    std::stable_sort(order.begin(), order.end(), [&](Integer x, Integer y) {
      for (Integer l = 0; l < Levels; ++l)
        if (Key(Recs[x], l) != Key(Recs[y], l)) return Key(Recs[x], l) < Key(Recs[y], l);
      return false;
    });
    std::vector<ModelRow> rows;
    std::vector<std::string> open(static_cast<size_t>(Levels));
    for (Integer r : order) {
      bool visible = true;
      for (Integer l = 0; l < Levels && visible; ++l) {
        const std::string p = Path(Recs[r], l);
        if (open[l] != p) {
          open[l] = p;
          for (Integer d = l + 1; d < Levels; ++d) open[d].clear();
          rows.push_back({"g" + std::to_string(l) + ":" + std::to_string(Key(Recs[r], l)), p, l});
        }
        auto it = Expanded.find(p);
        visible = it != Expanded.end() && it->second;
      }
      if (visible) rows.push_back({std::to_string(r), "", Levels});
    }
    return rows;
  }

  std::vector<std::string> ModelTexts() const {
    std::vector<std::string> out;
    for (const ModelRow& m : Model()) out.push_back(m.Text);
    return out;
  }

  // Rows() of the fixture names a group by its first record's item text;
  // the float item shows its number, which equals the key.
  void ExpandInModel(const std::string& APath, bool AExpanded, bool ARecursive) {
    Expanded[APath] = AExpanded;
    if (ARecursive)
      for (auto& [p, e] : Expanded)
        if (p.rfind(APath + "/", 0) == 0) e = AExpanded;
    if (ARecursive)
      for (const Rec& r : Recs)
        for (Integer l = 0; l < Levels; ++l)
          if (Path(r, l).rfind(APath + "/", 0) == 0) Expanded[Path(r, l)] = AExpanded;
  }

  void FullExpandInModel() {
    for (const Rec& r : Recs)
      if (Shown(r))
        for (Integer l = 0; l < Levels; ++l) Expanded[Path(r, l)] = true;
  }

  // A pass that shows other records keeps a group expanded where it was
  // expanded and shown, with every group above it expanded, before.
  void ShowInModel(std::function<bool(const Rec&)> AShown) {
    std::set<std::string> kept;
    for (const Rec& r : Recs)
      if (Shown(r))
        for (Integer l = 0; l < Levels; ++l) {
          auto it = Expanded.find(Path(r, l));
          if (it == Expanded.end() || !it->second) break;
          kept.insert(it->first);
        }
    Shown = std::move(AShown);
    Expanded.clear();
    for (const Rec& r : Recs)
      if (Shown(r))
        for (Integer l = 0; l < Levels; ++l)
          if (kept.count(Path(r, l))) Expanded[Path(r, l)] = true;
  }
};

}  // namespace

TEST_F(GroupingModelTest, RandomExpansionShowsTheRowsOfTheModel) {
  for (Integer levels = 1; levels <= 3; ++levels) {
    SCOPED_TRACE("levels " + std::to_string(levels));
    Renew();
    Recs.clear();
    Expanded.clear();
    Load(7u + static_cast<unsigned>(levels), 40);
    GroupBy(levels);
    ASSERT_EQ(Rows(), ModelTexts());
    std::mt19937 rng(100u + static_cast<unsigned>(levels));
    for (int step = 0; step < 120; ++step) {
      const std::vector<ModelRow> model = Model();
      const Integer row = static_cast<Integer>(rng() % model.size());
      const bool expand = rng() % 3 != 0, recursive = rng() % 4 == 0;
      if (model[row].Level < levels) ExpandInModel(model[row].Path, expand, recursive);
      C->GetGroups()->ChangeExpanding(row, expand, recursive);
      ASSERT_EQ(Rows(), ModelTexts()) << "step " << step << " row " << row << (expand ? " expand" : " collapse")
                                      << (recursive ? " recursive" : "");
      // Row infos and record lookups agree with the rows.
      const std::vector<ModelRow> now = Model();
      for (Integer i = 0; i < static_cast<Integer>(now.size()); ++i) {
        const TcxRowInfo info = C->GetRowInfo(i);
        ASSERT_EQ(info.Level, now[i].Level);
        if (now[i].Level < levels) {
          ASSERT_EQ(info.Expanded, Expanded[now[i].Path]) << "row " << i;
          ASSERT_EQ(C->GetGroups()->GetLevel(C->GetGroups()->GetDataGroupIndexByRowIndex(i)), now[i].Level);
        } else {
          ASSERT_EQ(C->GetRowIndexByRecordIndex(info.RecordIndex, false), i);
        }
      }
    }
    // Expanding everything shows every record once.
    C->GetGroups()->FullExpand();
    Integer dataRows = 0;
    for (Integer i = 0; i < C->GetRowCount(); ++i) dataRows += C->GetRowInfo(i).Level == levels;
    EXPECT_EQ(dataRows, 40);
    C->GetGroups()->FullCollapse();
    EXPECT_EQ(C->GetRowCount(), C->GetDataControllerInfo()->GetDataGroups()->GetFirstLevelCount());
  }
}

// Filters that show fewer, other or all records, after views with a few,
// most or all groups expanded: each group's expansion follows its values.
TEST_F(GroupingModelTest, ExpansionAcrossFiltersFollowsTheModel) {
  const TcxFilterOperatorKind operators[4] = {foEqual, foNotEqual, foLess, foGreater};
  for (Integer levels = 1; levels <= 3; ++levels) {
    SCOPED_TRACE("levels " + std::to_string(levels));
    Renew();
    const Integer items[3] = {IntItem, FloatItem, CItem};
    Recs.clear();
    Expanded.clear();
    Shown = [](const Rec&) { return true; };
    Values = 6;
    Load(31u + static_cast<unsigned>(levels), 150);
    GroupBy(levels);
    ASSERT_EQ(Rows(), ModelTexts());
    std::mt19937 rng(200u + static_cast<unsigned>(levels));
    for (int step = 0; step < 300; ++step) {
      // A focused record opens its group after a pass: the model has none.
      C->SetFocusedRowIndex(-1);
      ASSERT_EQ(C->GetFocusedRowIndex(), -1);
      const unsigned what = rng() % 6;
      std::string done;
      if (what < 2) {
        // A group row: collapsed or expanded, with its descendants or alone.
        const std::vector<ModelRow> model = Model();
        std::vector<Integer> groupRows;
        for (Integer row = 0; row < static_cast<Integer>(model.size()); ++row)
          if (model[row].Level < levels) groupRows.push_back(row);
        if (groupRows.empty()) continue;
        const Integer row = groupRows[rng() % groupRows.size()];
        const bool expand = rng() % 2 != 0, recursive = rng() % 3 == 0;
        ExpandInModel(model[row].Path, expand, recursive);
        C->GetGroups()->ChangeExpanding(row, expand, recursive);
        done = "expansion";
      } else if (what == 2) {
        FullExpandInModel();
        C->GetGroups()->FullExpand();
        done = "full expand";
      } else if (what == 3) {
        // Switching off a filter that is off changes nothing.
        if (C->GetFilter()->GetActive()) ShowInModel([](const Rec&) { return true; });
        C->GetFilter()->SetActive(false);
        done = "filter off";
      } else {
        const Integer field = static_cast<Integer>(rng() % 3);
        const TcxFilterOperatorKind op = operators[rng() % 4];
        const int value = static_cast<int>(rng() % Values);
        ShowInModel([this, field, op, value](const Rec& r) {
          const int v = Key(r, field);
          return op == foEqual ? v == value : op == foNotEqual ? v != value : op == foLess ? v < value : v > value;
        });
        C->BeginUpdate();
        C->GetFilter()->Clear();
        C->GetFilter()->AddItem(C->Items[static_cast<size_t>(items[field])], op, value, std::to_string(value));
        C->GetFilter()->SetActive(true);
        C->EndUpdate();
        done = "filter " + std::to_string(field) + " " + std::to_string(op) + " " + std::to_string(value);
      }
      ASSERT_EQ(Rows(), ModelTexts()) << "step " << step << ": " << done;
      // Groups hidden under a collapsed one keep their own state too.
      TcxDataGroups* groups = C->GetDataControllerInfo()->GetDataGroups();
      for (Integer g = 0; g < groups->GetItemCount(); ++g) {
        const std::string path = Path(Recs[C->GetGroups()->GetGroupRecordIndex(g)], groups->Item(g).Level);
        const auto it = Expanded.find(path);
        ASSERT_EQ(groups->Item(g).Expanded, it != Expanded.end() && it->second)
            << "step " << step << ": " << done << ", group " << path;
      }
    }
    if (levels == 1) continue;
    // Every group expanded but one at the top, whose own expanded groups
    // are hidden under it: a filter keeps it and them collapsed.
    C->GetFilter()->SetActive(false);
    ShowInModel([](const Rec&) { return true; });
    C->GetGroups()->FullExpand();
    FullExpandInModel();
    const std::vector<ModelRow> model = Model();
    ASSERT_EQ(model[0].Level, 0);
    ExpandInModel(model[0].Path, false, false);
    C->GetGroups()->ChangeExpanding(0, false, false);
    ShowInModel([](const Rec& r) { return r.c == 0; });
    C->BeginUpdate();
    C->GetFilter()->Clear();
    C->GetFilter()->AddItem(C->Items[static_cast<size_t>(CItem)], foEqual, 0, "0");
    C->GetFilter()->SetActive(true);
    C->EndUpdate();
    ASSERT_EQ(Rows(), ModelTexts());
    C->GetGroups()->ChangeExpanding(0, true, false);
    ExpandInModel(model[0].Path, true, false);
    EXPECT_EQ(Rows(), ModelTexts()) << "the groups under the collapsed one";
  }
}

TEST_F(GroupingModelTest, MakingARecordVisibleExpandsOnlyItsAncestors) {
  Load(3u, 30);
  GroupBy(3);
  const Integer record = 17;
  const Integer row = C->GetRowIndexByRecordIndex(record, true);
  ASSERT_NE(row, -1);
  EXPECT_EQ(C->GetRowInfo(row).RecordIndex, record);
  for (Integer l = 0; l < 3; ++l) Expanded[Path(Recs[record], l)] = true;
  EXPECT_EQ(Rows(), ModelTexts());
  EXPECT_EQ(C->GetRowIndexByRecordIndex(record, false), row);
  // Focusing a record in a collapsed group opens the way to it.
  C->GetGroups()->FullCollapse();
  C->ChangeFocusedRecordIndex(record);
  EXPECT_EQ(C->GetFocusedRecordIndex(), record);
  EXPECT_EQ(C->GetRowInfo(C->GetFocusedRowIndex()).RecordIndex, record);
  EXPECT_EQ(Rows(), ModelTexts());
}

TEST_F(GroupingModelTest, ChildNavigationWalksTheWholeTree) {
  Load(11u, 25);
  GroupBy(2);
  TcxDataControllerGroups* g = C->GetGroups();
  // Walking children from the root reaches every record once, in view order.
  std::vector<Integer> walked;
  std::function<void(Integer)> walk = [&](Integer index) {
    const Integer n = g->GetChildCount(index);
    for (Integer i = 0; i < n; ++i) {
      if (index != -1 && g->GetLevel(index) == 1) {
        walked.push_back(g->GetChildRecordIndex(index, i));
      } else {
        const Integer child = g->GetChildDataGroupIndex(index, i);
        ASSERT_EQ(g->GetParentDataGroupIndex(child), index);
        walk(child);
      }
    }
  };
  walk(-1);
  C->GetGroups()->FullExpand();
  std::vector<Integer> viewOrder;
  for (Integer row = 0; row < C->GetRowCount(); ++row)
    if (C->GetRowInfo(row).Level == 2) viewOrder.push_back(C->GetRowInfo(row).RecordIndex);
  EXPECT_EQ(walked, viewOrder);

  // LoadRecordIndexes of a top group lists its records in view order, and its
  // first record is the group's record.
  std::vector<Integer> list;
  g->LoadRecordIndexes(list, 0);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(g->GetGroupRecordIndex(0), list.front());
  for (Integer r : list) EXPECT_EQ(Recs[r].a, Recs[list.front()].a);
  EXPECT_EQ(g->GetChildCount(9999), 0);
  EXPECT_EQ(g->GetChildDataGroupIndex(-1, 99), -1);
  EXPECT_EQ(g->GetChildRecordIndex(0, 0), -1) << "an upper group has no records of its own";

  // A group is found by its value under its parent.
  C->GetDataControllerInfo()->PrepareSorting();
  const Integer top = g->GetDataGroupIndexByGroupValue(-1, Recs[list.front()].a);
  C->GetDataControllerInfo()->UnprepareSorting();
  EXPECT_EQ(top, 0);
  C->GetDataControllerInfo()->PrepareSorting();
  EXPECT_EQ(g->GetDataGroupIndexByGroupValue(-1, 99), -1);
  C->GetDataControllerInfo()->UnprepareSorting();
}

// --- Grouping stories -------------------------------------------------------------

TEST_F(DataControllerTest, ANewTopValueOpensGroupsAtEveryLevel) {
  // The second field repeats across the two top groups.
  Fill({{1, "x"}, {2, "x"}, {1, "y"}});
  C->BeginUpdate();
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->ChangeGrouping(StrItem, 1);
  C->EndUpdate();
  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g1:x", "0", "g1:y", "2", "g0:2", "g1:x", "1"}));
}

TEST_F(DataControllerTest, DescendingGroupsAndSortingInsideThem) {
  Fill({{1, "b"}, {2, "a"}, {1, "a"}, {2, "c"}});
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->ChangeSorting(IntItem, soDescending);
  C->ChangeSorting(StrItem, soAscending);
  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), ::Rows({"g0:2", "1", "3", "g0:1", "2", "0"}));
  EXPECT_EQ(C->GetItemSortOrder(IntItem), soDescending);
  // Keeping grouped items: the grouping order stays, the plain sort goes.
  C->ClearSorting(true);
  EXPECT_EQ(C->GetSortingItemCount(), 1);
  EXPECT_EQ(C->GetItemSortOrder(StrItem), soNone);
  C->GetGroups()->FullExpand();
  EXPECT_EQ(Rows(), ::Rows({"g0:2", "1", "3", "g0:1", "0", "2"}));
  // Ungrouping keeps the rows sorted by what is left.
  C->GetGroups()->ClearGrouping();
  EXPECT_EQ(C->GetGroups()->GetGroupingItemCount(), 0);
  EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(DataControllerTest, NullValuesFormTheirOwnGroup) {
  Fill({{1, "a"}, {2, "b"}});
  C->AppendRecord();  // all values null
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  EXPECT_EQ(C->GetRowCount(), 3);
  C->GetGroups()->FullExpand();
  EXPECT_EQ(C->GetRowCount(), 6);
  EXPECT_EQ(C->GetRowInfo(0).RecordIndex, 2) << "null sorts first";
}

TEST_F(DataControllerTest, GroupsAlwaysExpandedIgnoreCollapse) {
  Fill({{1, "a"}, {2, "b"}, {1, "c"}});
  C->SetOptions(C->GetOptions() + dcoGroupsAlwaysExpanded);
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  EXPECT_EQ(C->GetRowCount(), 5);
  C->GetGroups()->ChangeExpanding(0, false, false);
  C->GetGroups()->FullCollapse();
  EXPECT_EQ(C->GetRowCount(), 5);
}

TEST_F(DataControllerTest, DeletingAFocusedGroupRowDeletesItsRecords) {
  Fill({{1, "a"}, {2, "b"}, {1, "c"}, {3, "d"}});
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->ChangeFocusedRowIndex(0);  // group 1, collapsed
  C->DeleteFocused();
  EXPECT_EQ(C->GetRecordCount(), 2);
  EXPECT_EQ(C->GetValue(0, IntItem).AsInteger(), 2);
  EXPECT_EQ(C->GetValue(1, IntItem).AsInteger(), 3);
  // The focus goes to the first record of the next group, opened for it.
  EXPECT_EQ(Rows(), ::Rows({"g0:2", "0", "g0:3"}));
  EXPECT_EQ(C->GetFocusedRecordIndex(), 0);
}

TEST_F(DataControllerTest, ExpansionSurvivesAReloadAndFollowsGroupValues) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->ChangeExpanding(1, true, false);  // group 2
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g0:2", "1", "g0:3"}));
  // A record enters in front: group 2 moves down and stays expanded.
  C->InsertRecord(0);
  C->SetValue(0, IntItem, 0);
  EXPECT_EQ(Rows(), ::Rows({"g0:0", "g0:1", "g0:2", "2", "g0:3"}));
  C->DeleteRecord(1);
  EXPECT_EQ(Rows(), ::Rows({"g0:0", "g0:2", "1", "g0:3"}));
}

TEST_F(DataControllerTest, AGroupAnEditMakesWithAFilterStaysCollapsed) {
  Fill({{1, "a"}, {1, "b"}, {2, "c"}, {3, "d"}});
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->GetGroups()->FullExpand();
  // One pass takes the edit and the filter: every group the view showed
  // stays expanded, the new one was not there to be.
  C->BeginUpdate();
  C->SetValue(1, IntItem, 4);
  C->GetFilter()->AddItem(C->Items[static_cast<size_t>(StrItem)], foNotEqual, AnsiString("d"), "d");
  C->GetFilter()->SetActive(true);
  C->EndUpdate();
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "0", "g0:2", "2", "g0:4"}));
}

TEST_F(DataControllerTest, GroupSelectionStaysOnItsGroupWhenRecordsMove) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}, {2, "d"}});
  C->SetMultiSelect(true);
  C->GetGroups()->ChangeGrouping(IntItem, 0);
  C->ClearSelection();
  C->ChangeRowSelection(1, true);  // group 2
  // Records enter and leave in front of the selected group's records.
  C->InsertRecord(0);
  C->SetValue(0, IntItem, 5);
  EXPECT_EQ(Rows(), ::Rows({"g0:1", "g0:2", "g0:3", "g0:5"}));
  EXPECT_TRUE(C->IsRowSelected(1)) << "group 2 is still the selected one";
  EXPECT_FALSE(C->IsRowSelected(0));
  C->DeleteRecord(1);  // the record of group 1: that group goes
  EXPECT_EQ(Rows(), ::Rows({"g0:2", "g0:3", "g0:5"}));
  EXPECT_TRUE(C->IsRowSelected(0));
  EXPECT_EQ(C->GetSelectedCount(), 1);
  // Deleting the selection deletes group 2's records and nothing else.
  C->DeleteSelection();
  std::vector<int> left;
  for (Integer r = 0; r < C->GetRecordCount(); ++r) left.push_back(C->GetValue(r, IntItem).AsInteger());
  EXPECT_EQ(left, std::vector<int>({5, 3}));
}

TEST_F(DataControllerTest, SelectionAndFocusFollowTheirRecordsAcrossInserts) {
  Fill({{1, "a"}, {2, "b"}, {3, "c"}});
  C->SetMultiSelect(true);
  C->ChangeFocusedRecordIndex(2);
  C->ClearSelection();
  C->ChangeRowSelection(1, true);  // record 1
  C->SaveBookmark();
  C->InsertRecord(0);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(C->GetBookmarkRecordIndex(), 3);
  ASSERT_EQ(C->GetSelectedCount(), 1);
  EXPECT_EQ(C->GetRowInfo(C->GetSelectedRowIndex(0)).RecordIndex, 2) << "still the record valued 2";
  C->DeleteSelection();
  std::vector<int> left;
  for (Integer r = 1; r < C->GetRecordCount(); ++r) left.push_back(C->GetValue(r, IntItem).AsInteger());
  EXPECT_EQ(left, std::vector<int>({1, 3}));

  // A delete in front of the focused record keeps the focus on it.
  C->SetMultiSelect(false);
  C->ChangeFocusedRecordIndex(2);  // valued 3
  C->Log.clear();
  C->DeleteRecord(0);
  EXPECT_EQ(C->GetFocusedRecordIndex(), 1);
  EXPECT_EQ(C->GetValue(C->GetFocusedRecordIndex(), IntItem).AsInteger(), 3);
}

// Expanded and selected groups keep their state when one of their records
// moves to another group, whether set directly or edited and posted: the
// state stays with the group's value, not with the record that left it.
TEST_F(DataControllerTest, AGroupKeepsItsStateWhenItsFirstRecordMovesOut) {
  Fill({{5, "e"}, {1, "a"}, {4, "d"}, {2, "b"}, {3, "c"}, {6, "a"}, {7, "d"}});
  C->GetGroups()->ChangeGrouping(StrItem, 0);
  C->GetGroups()->FullCollapse();
  C->GetGroups()->ChangeExpanding(3, true, false);
  ASSERT_EQ(Rows(), ::Rows({"g0:a", "g0:b", "g0:c", "g0:d", "2", "6", "g0:e"}));
  C->SetValue(2, StrItem, AnsiString("z"));
  EXPECT_EQ(Rows(), ::Rows({"g0:a", "g0:b", "g0:c", "g0:d", "6", "g0:e", "g0:z"}));

  // Edited and posted: the edited record's new group opens to show it, its
  // old group stays open.
  C->GetGroups()->FullCollapse();
  C->GetGroups()->ChangeExpanding(0, true, false);
  ASSERT_EQ(Rows(), ::Rows({"g0:a", "1", "5", "g0:b", "g0:c", "g0:d", "g0:e", "g0:z"}));
  C->ChangeFocusedRowIndex(1);
  C->Edit();
  C->SetEditValue(StrItem, AnsiString("y"), evsValue);
  C->Post();
  EXPECT_EQ(Rows(), ::Rows({"g0:a", "5", "g0:b", "g0:c", "g0:d", "g0:e", "g0:y", "1", "g0:z"}));

  // A selected group row stays on its group.
  C->SetMultiSelect(true);
  C->GetGroups()->FullCollapse();
  C->ClearSelection();
  C->ChangeRowSelection(3, true);  // d: record 6 alone now
  C->SetValue(0, StrItem, AnsiString("d"));
  ASSERT_EQ(Rows(), ::Rows({"g0:a", "g0:b", "g0:c", "g0:d", "g0:y", "g0:z"}));
  C->SetValue(0, StrItem, AnsiString("b"));
  ASSERT_EQ(C->GetSelectedCount(), 1);
  EXPECT_EQ(C->GetDisplayText(C->GetRowInfo(C->GetSelectedRowIndex(0)).RecordIndex, StrItem), "d");
}

namespace {

// Orders its first item by display text ("10" before "9") and counts the
// record comparisons by field.
class TextOrderController : public RecordingController {
 public:
  using RecordingController::RecordingController;
  bool GetItemSortByDisplayText(Integer AItemIndex, bool) override { return AItemIndex == 0; }
  Integer CompareByField(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField,
                         TcxDataControllerComparisonMode AMode) override {
    ++Comparisons;
    return RecordingController::CompareByField(ARecordIndex1, ARecordIndex2, AField, AMode);
  }
  Int64 Comparisons = 0;
};

}  // namespace

TEST(GroupsInTextOrder, KeepTheirExpansionAcrossAResort) {
  TextOrderController* c = New<TextOrderController>(nullptr);
  const Integer item = c->AddTypedItem(TcxIntegerValueType::Class());
  auto groups = [&] {
    std::string out;
    for (Integer row = 0; row < c->GetRowCount(); ++row) {
      const TcxRowInfo info = c->GetRowInfo(row);
      if (info.Level == 0) out += std::string(c->GetDisplayText(info.RecordIndex, item)) + (info.Expanded ? "+ " : "- ");
    }
    return out;
  };
  c->BeginUpdate();
  for (int value : {9, 10, 100, 2, 9, 10, 1}) c->SetValue(c->AppendRecord(), item, value);
  c->EndUpdate();
  // Group 9 is known by its second record: the filter hides the first.
  c->OnFilterRecord = [](TcxCustomDataController*, Integer ARecordIndex, bool& AAccept) { AAccept = ARecordIndex != 0; };
  c->Refresh();
  c->GetGroups()->ChangeGrouping(item, 0);
  c->GetGroups()->FullExpand();
  ASSERT_EQ(groups(), "1+ 10+ 100+ 2+ 9+ ");
  c->ChangeSorting(item, soDescending);
  EXPECT_EQ(groups(), "9+ 2+ 100+ 10+ 1+ ");

  // Many expanded groups are found again without a walk over the records
  // for each of them.
  const Integer count = 2000;
  c->OnFilterRecord = nullptr;
  c->BeginUpdate();
  c->SetRecordCount(count);
  for (Integer r = 0; r < count; ++r) c->SetValue(r, item, r);
  c->EndUpdate();
  c->GetGroups()->FullExpand();
  c->Comparisons = 0;
  c->ChangeSorting(item, soAscending);
  // The sort and one index take some 30 comparisons a record; a walk for
  // each group took 1,000.
  EXPECT_LT(c->Comparisons, 100 * count);
  EXPECT_EQ(c->GetRowCount(), 2 * count);
  EXPECT_TRUE(c->GetRowInfo(c->GetRowCount() - 2).Expanded);
  c->Free();
}
