// What a row of the vertical grid costs, and when. The front end's grid
// holds thousands of rows and shows a few dozen: a row makes the view data
// that paints its value when its height is first measured and keeps it
// until its properties change, and adding and freeing rows asks the heap
// for the same few blocks a row, every one of them given back.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "library/grid/VGridSession.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxTextEditViewInfo.h"

// Every block this program asks of the heap, and every one it gives back.
namespace {
std::atomic<long> Allocations{0};
std::atomic<long> Releases{0};
}  // namespace

void* operator new(std::size_t ASize) {
  ++Allocations;
  if (void* p = std::malloc(ASize ? ASize : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t ASize) { return ::operator new(ASize); }
void* operator new(std::size_t ASize, const std::nothrow_t&) noexcept {
  ++Allocations;
  return std::malloc(ASize ? ASize : 1);
}
void* operator new[](std::size_t ASize, const std::nothrow_t& ATag) noexcept { return ::operator new(ASize, ATag); }
void operator delete(void* APointer) noexcept {
  if (!APointer) return;
  ++Releases;
  std::free(APointer);
}
void operator delete[](void* APointer) noexcept { ::operator delete(APointer); }
void operator delete(void* APointer, std::size_t) noexcept { ::operator delete(APointer); }
void operator delete[](void* APointer, std::size_t) noexcept { ::operator delete(APointer); }
void operator delete(void* APointer, const std::nothrow_t&) noexcept { ::operator delete(APointer); }
void operator delete[](void* APointer, const std::nothrow_t&) noexcept { ::operator delete(APointer); }

// A text kind whose view data note the properties they were made for.
class TNotedViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TNotedViewData, TcxCustomTextEditViewData)
 public:
  TNotedViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {
    MadeFor().push_back(AProperties);
  }
  static std::vector<TcxCustomEditProperties*>& MadeFor() {
    static std::vector<TcxCustomEditProperties*> made;
    return made;
  }
};

class TNotingTextProperties : public TcxTextEditProperties {
  ORV_CLASS(TNotingTextProperties, TcxTextEditProperties)
 public:
  explicit TNotingTextProperties(TPersistent* AOwner) : TcxTextEditProperties(AOwner) {}
  TClass GetViewDataClass() const override { return TNotedViewData::StaticClass(); }
};

inline ORV_REGISTER(TNotedViewData)
inline ORV_REGISTER(TNotingTextProperties)

namespace {

using namespace vgrid_test;

class RowCost : public Session {
 protected:
  void SetUp() override {
    Session::SetUp();
    TNotedViewData::MadeFor().clear();
    grid = NewGrid();
    grid->SetBounds(0, 0, 380, 280);
    category = AddCategory(grid, nullptr, "Unknown Values");
  }

  // Rows as the front end adds them: inside the grid's bracket, each given
  // its editor kind.
  std::vector<TcxEditorRow*> AddRows(int ACount, TClass AKind) {
    std::vector<TcxEditorRow*> rows;
    grid->BeginUpdate();
    for (int i = 0; i < ACount; ++i) {
      rows.push_back(static_cast<TcxEditorRow*>(grid->AddChild(category, TcxEditorRow::StaticClass())));
      rows.back()->GetProperties()->SetEditPropertiesClass(AKind);
    }
    grid->EndUpdate();
    return rows;
  }
  // The rows whose values are on the screen.
  std::vector<TcxCustomEditProperties*> Shown(const std::vector<TcxEditorRow*>& ARows) {
    std::vector<TcxCustomEditProperties*> shown;
    for (TcxEditorRow* row : ARows)
      if (grid->GetVGViewInfo()->GetRowViewInfo(row)) shown.push_back(row->GetProperties()->GetEditProperties());
    return shown;
  }
  static std::vector<TcxCustomEditProperties*> Sorted(std::vector<TcxCustomEditProperties*> AList) {
    std::sort(AList.begin(), AList.end());
    return AList;
  }
  static std::vector<TcxCustomEditProperties*> MadeSince(std::size_t AFrom) {
    const auto& made = TNotedViewData::MadeFor();
    return Sorted({made.begin() + static_cast<std::ptrdiff_t>(AFrom), made.end()});
  }

  TTestVerticalGrid* grid = nullptr;
  TcxCategoryRow* category = nullptr;
};

// The grid measures the height of the rows shown, of the one just below
// them and, to know how far it may scroll, of the last page: those rows
// make their view data then, and the others none.
TEST_F(RowCost, ARowMakesItsViewDataWhenFirstMeasuredAndAgainOnlyWhenItsPropertiesChange) {
  const std::vector<TcxEditorRow*> rows = AddRows(300, TNotingTextProperties::StaticClass());
  Pump();
  const std::vector<TcxCustomEditProperties*> top = Sorted(Shown(rows));
  ASSERT_FALSE(top.empty());
  ASSERT_LT(top.size(), 40u);
  const std::vector<TcxCustomEditProperties*> first = MadeSince(0);
  EXPECT_TRUE(std::includes(first.begin(), first.end(), top.begin(), top.end())) << "each row shown has its view data";
  EXPECT_LE(first.size(), top.size() + 1) << "and of the rows out of sight only the next one";

  const std::size_t before = TNotedViewData::MadeFor().size();
  grid->Invalidate();
  Pump();
  EXPECT_EQ(TNotedViewData::MadeFor().size(), before) << "painting again makes nothing new";

  grid->GetVGController()->GetScroller()->SetTopVisibleRowIndex(200);
  Pump();
  const std::vector<TcxCustomEditProperties*> lower = Sorted(Shown(rows));
  ASSERT_FALSE(lower.empty());
  ASSERT_TRUE(std::none_of(lower.begin(), lower.end(),
                           [&](TcxCustomEditProperties* p) { return std::count(top.begin(), top.end(), p); }));
  const std::vector<TcxCustomEditProperties*> scrolledIn = MadeSince(before);
  EXPECT_TRUE(std::includes(scrolledIn.begin(), scrolledIn.end(), lower.begin(), lower.end()))
      << "the rows scrolled into sight make theirs as they come";
  EXPECT_LE(scrolledIn.size(), 2 * (lower.size() + 1)) << "besides them only the last page, measured";

  // A change of a shown row's properties drops its view data; the next
  // paint makes it again, for that row alone.
  const std::size_t scrolled = TNotedViewData::MadeFor().size();
  static_cast<TcxTextEditProperties*>(lower.front())->SetMaxLength(3);
  Pump();
  EXPECT_EQ(MadeSince(scrolled), std::vector<TcxCustomEditProperties*>{lower.front()});
}

// A value posted to a row drops what that row keeps of its properties: its
// view data, made again for it alone; a change that names no one row (two
// rows changed in one bracket of the data) drops them all.
TEST_F(RowCost, AValueChangeRemakesTheViewDataOfItsRowAlone) {
  const std::vector<TcxEditorRow*> rows = AddRows(40, TNotingTextProperties::StaticClass());
  Pump();
  const std::vector<TcxCustomEditProperties*> shown = Sorted(Shown(rows));
  ASSERT_GT(shown.size(), 4u);
  ASSERT_TRUE(grid->GetVGViewInfo()->GetRowViewInfo(rows[3]));

  std::size_t before = TNotedViewData::MadeFor().size();
  rows[3]->GetProperties()->SetValue("North");
  Pump();
  EXPECT_EQ(MadeSince(before), std::vector<TcxCustomEditProperties*>{rows[3]->GetProperties()->GetEditProperties()});

  before = TNotedViewData::MadeFor().size();
  grid->GetDataController()->BeginUpdate();
  rows[2]->GetProperties()->SetValue("West");
  rows[3]->GetProperties()->SetValue("South");
  grid->GetDataController()->EndUpdate();
  Pump();
  const std::vector<TcxCustomEditProperties*> all = MadeSince(before);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), shown.begin(), shown.end()));
  EXPECT_LE(all.size(), shown.size() + 1) << "and of the rows out of sight only the next one";
}

// What an opened editor leaves with its row (a drop-down's popup size) is
// dropped when the row's value changes, and with it that of a row whose
// kind a handler chooses, which may read any value; other rows keep
// theirs. A change that names no one row drops it everywhere.
TEST_F(RowCost, AValueChangeDropsTheEditDataOfItsRowAndOfRowsAHandlerDecides) {
  const std::vector<TcxEditorRow*> rows = AddRows(6, TcxComboBoxProperties::StaticClass());
  Pump();
  TcxEditorRowProperties* chosen = rows[1]->GetProperties();
  TcxEditorRowProperties* plain = rows[2]->GetProperties();
  TcxEditorRowProperties* read = rows[3]->GetProperties();
  AnsiString seen;
  chosen->OnGetEditProperties = [&](TcxCustomEditorRowProperties*, Integer, TcxCustomEditProperties*&) {
    seen = VarToStr(read->GetValue());
  };
  auto open = [&](TcxEditorRow* ARow) {
    grid->SetFocusedRow(ARow);
    grid->ShowEdit();
    EXPECT_TRUE(grid->IsEditing());
    grid->HideEdit();
  };
  auto held = [](TcxEditorRowProperties* AProperties) {
    return AProperties->GetEditContainer()->EditData() != nullptr;
  };
  open(rows[1]);
  open(rows[2]);
  open(rows[3]);
  ASSERT_TRUE(held(chosen) && held(plain) && held(read));

  read->SetValue("North");
  Pump();
  EXPECT_FALSE(held(read));
  EXPECT_FALSE(held(chosen));
  EXPECT_TRUE(held(plain));
  EXPECT_EQ(seen, "North");

  open(rows[1]);
  rows[4]->GetProperties()->SetValue("East");
  Pump();
  EXPECT_FALSE(held(chosen)) << "a handler may read any row";
  EXPECT_TRUE(held(plain));

  open(rows[3]);
  grid->GetDataController()->BeginUpdate();
  rows[4]->GetProperties()->SetValue("West");
  rows[5]->GetProperties()->SetValue("South");
  grid->GetDataController()->EndUpdate();
  Pump();
  EXPECT_FALSE(held(chosen));
  EXPECT_FALSE(held(plain));
  EXPECT_FALSE(held(read));
}

// Decided: a row's parts that few rows use (the options and styles of the
// row and of its edit container, the buttons, assigned-value marks and
// alignments of its properties, the lookup list of a text kind, the free
// notificator of a kind, the view data of a row out of sight) are made when
// first asked for, and the row keeps its one member (the edit container) in
// place; what is left is what every row needs. The count is the
// same in every build, as the heap is asked by the code, not by the
// compiler.
TEST_F(RowCost, AddingAndFreeingRowsAsksTheHeapForTheSameFewBlocksARowAndGivesThemAllBack) {
  AddRows(100, TcxTextEditProperties::StaticClass());
  Pump();
  const long allocated = Allocations;
  const long released = Releases;
  const Int64 live = TObject::LiveCount();

  AddRows(2000, TcxTextEditProperties::StaticClass());
  const double perRow = static_cast<double>(Allocations - allocated) / 2000;
  EXPECT_LE(perRow, 9.5) << "blocks asked of the heap for each row added out of sight";

  grid->BeginUpdate();
  while (category->GetCount() > 100) category->GetRow(category->GetCount() - 1)->Free();
  grid->EndUpdate();
  EXPECT_EQ(TObject::LiveCount(), live);
  EXPECT_LE((Allocations - allocated) - (Releases - released), 16)
      << "a list that grew may keep its room; every row's own blocks went back";
}

}  // namespace
