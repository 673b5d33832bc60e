// Feeds arbitrary bytes to a vertical grid as a stored layout (its stream
// store). Whatever the bytes hold, the restore either applies or raises,
// and afterwards the grid is unlocked, still holds every row it had (and
// at most some new categories), forms no loop, and keeps its one record
// focused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "fuzz/GridFuzzing.h"
#include "library/grid/vgrid/cxVGrid.h"

namespace {

using grid_fuzzing::Check;

TcxCustomRow* AddRow(TcxVerticalGrid* AGrid, TcxCustomRow* AParent, TcxCustomRowClass AClass, const char* AName) {
  TcxCustomRow* row = AGrid->AddChild(AParent, AClass);
  if (*AName) row->SetName(AName);
  return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  grid_fuzzing::StartGridUnits();

  auto* grid = New<TcxVerticalGrid>(nullptr);
  grid->SetName("Grid");
  TcxCustomRow* general = AddRow(grid, nullptr, TcxCategoryRow::StaticClass(), "General");
  TcxCustomRow* sizes = AddRow(grid, general, TcxCategoryRow::StaticClass(), "Size");
  AddRow(grid, sizes, TcxEditorRow::StaticClass(), "Width");
  AddRow(grid, sizes, TcxEditorRow::StaticClass(), "");
  AddRow(grid, general, TcxMultiEditorRow::StaticClass(), "Pair");
  AddRow(grid, nullptr, TcxEditorRow::StaticClass(), "");
  std::set<TcxCustomRow*> rows;
  for (Integer i = 0; i < grid->GetRows()->GetCount(); ++i) rows.insert(grid->GetRows()->GetRow(i));

  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<Int64>(size));
  stream.SetPosition(0);
  try {
    grid->RestoreFromStream(&stream);
  } catch (const Exception&) {
    // A damaged layout is refused with an error.
  }

  Check(grid->GetLockCount() == 0 && grid->GetRows()->GetLockCount() == 0);
  TcxVerticalGridRows* all = grid->GetRows();
  for (TcxCustomRow* row : rows) Check(all->IndexOf(row) >= 0);
  for (Integer i = 0; i < all->GetCount(); ++i) {
    TcxCustomRow* row = all->GetRow(i);
    Check(rows.count(row) || row->ClassType() == TcxCategoryRow::StaticClass());
    // Every row reaches the root within as many steps as there are rows.
    Integer steps = 0;
    for (TcxCustomRow* parent = row->GetParentRow(); parent != grid->GetRoot(); parent = parent->GetParentRow())
      Check(parent && ++steps <= all->GetCount());
  }
  TcxCustomDataController* records = grid->GetDataController();
  Check(records->GetRecordCount() == 1 && records->GetFocusedRowIndex() == 0);
  grid->Free();
  return 0;
}
