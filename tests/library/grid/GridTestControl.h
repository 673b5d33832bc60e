// The editing framework's conformance fixture: a small editing control the
// tests own. Its records are rows and its items the cells of a row, every
// cell stacked in one column under the one before (record by record), each
// one line high with a grid line below it. It shows values through edit
// view infos without a window and edits them in place like any editing
// control; it is not a grid and must not grow into one.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/cxEditDataRegisteredRepositoryItems.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/grid/GridStartup.h"
#include "library/grid/container/cxInplaceContainer.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/gdi/Recorder.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowDC.h"

namespace grid_test {
using Log = std::vector<std::string>;
}

// A cell of one record.
class TTestCell : public TcxEditCellViewInfo {
  ORV_CLASS(TTestCell, TcxEditCellViewInfo)
 public:
  explicit TTestCell(TObject* AOwner) : TcxEditCellViewInfo(AOwner) {}
  Integer RecordIndex = 0;
  Integer GetRecordIndex() override { return RecordIndex; }
  // The focused item's cell of the focused record in the selection
  // colours (the inactive ones while the control has no focus), the others
  // and the cell under the editor in the content style.
  TcxViewParams GetEditViewParams() override {
    TcxEditingControl* control = GetControl();
    if (GetFocused() && GetEditContainer()->GetFocused() && !GetEditContainer()->GetEditing())
      return control->GetViewInfo()->GetSelectionParams();
    TcxViewParams params;
    control->GetStyles()->GetViewParams(ecs_Content, nullptr, nullptr, params);
    return params;
  }
};

class TTestViewInfo : public TcxCustomControlViewInfo {
  ORV_CLASS(TTestViewInfo, TcxCustomControlViewInfo)
 public:
  explicit TTestViewInfo(TcxEditingControl* AControl) : TcxCustomControlViewInfo(AControl) {}
  Integer Calculations = 0;

  Integer CalculateDefaultEditHeight() override {
    Integer height = 0;
    for (Integer i = 0; i < GetControl()->GetItemCount(); ++i)
      height = std::max(height, GetControl()->GetItem(i)->GetEditDefaultHeight(GetControl()->GetFont()));
    return height > 0 ? height : 18;
  }

  // One cell per record and item, made once and kept; each a row of the
  // column.
  void DoCalculate() override {
    ++Calculations;
    TcxEditingControl* control = GetControl();
    const Integer records = control->GetDataController()->GetRecordCount();
    const Integer items = control->GetItemCount();
    if (GetEditCellViewInfoCount() != records * items) {
      ClearEditCellViewInfos();
      for (Integer r = 0; r < records; ++r)
        for (Integer i = 0; i < items; ++i)
          static_cast<TTestCell*>(AddEditCellViewInfo(TTestCell::StaticClass(), control->GetItem(i)))->RecordIndex = r;
    }
    Integer top = Bounds.Top;
    for (TcxEditCellViewInfo* cell : FEditCellViewInfoList) {
      cell->Borders = {bBottom};
      // The edit rectangle lies inside the cell by the content offsets,
      // and the editor's content inside that by the same offsets again: a
      // fixed row is the editor's own height with both around it and the
      // grid line below; an automatic one asks the cell (which counts the
      // content's offsets and the line) and adds the edit rectangle's.
      const TRect offset = cell->ContentOffset();
      const Integer around = offset.Top + offset.Bottom;
      const Integer height = cell->IsAutoHeight() ? cell->CalculateEditHeight() + around
                                                  : DefaultEditHeight + 2 * around + 1;
      cell->Height = height;
      cell->SetBounds(TRect(Bounds.Left, top, Bounds.Right, top + height), Bounds);
      top += height;
    }
  }

  // The focused cell takes the selection colours of the new focus state.
  void UpdateSelection() override {
    inherited::UpdateSelection();
    for (TcxEditCellViewInfo* cell : FEditCellViewInfoList)
      if (cell->GetFocused()) cell->Refresh(false);
  }

  TTestCell* Cell(Integer ARecord, Integer AItem) {
    for (TcxEditCellViewInfo* cell : FEditCellViewInfoList)
      if (static_cast<TTestCell*>(cell)->RecordIndex == ARecord &&
          cell->GetEditContainer()->GetItemIndex() == AItem)
        return static_cast<TTestCell*>(cell);
    return nullptr;
  }
};

// Each cell on its background, its grid line, then its content.
class TTestPainter : public TcxCustomControlPainter {
  ORV_CLASS(TTestPainter, TcxCustomControlPainter)
 public:
  explicit TTestPainter(TcxEditingControl* AControl) : TcxCustomControlPainter(AControl) {}
  // Each paint's drawing calls as the recording DC logs them.
  grid_test::Log* Recordings = nullptr;

  void DoPaint() override {
    TcxCanvas* canvas = GetCanvas();
    if (Recordings) win::GdiStartRecording(canvas->GetHandle());
    Paint(canvas);
    if (Recordings) {
      Recordings->push_back(win::GdiRecording(canvas->GetHandle()));
      win::GdiStopRecording(canvas->GetHandle());
    }
  }

 private:
  void Paint(TcxCanvas* canvas) {
    const TColor line = Painter()->DefaultGridLineColor();
    for (TcxEditCellViewInfo* cell : ViewInfo()->GetEditCellViewInfoList()) {
      if (!cell->Visible || !canvas->RectVisible(cell->ClipRect)) continue;
      canvas->SetBrushColor(cell->ViewParams.Color);
      canvas->FillRect(cell->ClipRect);
      canvas->SetBrushColor(line);
      canvas->FillRect(TRect(cell->DisplayRect.Left, cell->DisplayRect.Bottom - 1, cell->DisplayRect.Right,
                             cell->DisplayRect.Bottom));
      DoPaintEditCell(cell);
    }
    inherited::DoPaint();
  }
};

class TTestNavigator : public TcxCustomCellNavigator {
  ORV_CLASS(TTestNavigator, TcxCustomCellNavigator)
 public:
  explicit TTestNavigator(TcxCustomControlController* AController) : TcxCustomCellNavigator(AController) {}
  bool EmptyRowsMayFocus = false;
  Integer EmptyRow = -1;

  void Init(Integer& ARowIndex, Integer& ACellIndex, Integer& ARowCount) override {
    ARowIndex = GetController()->GetFocusedRecordIndex();
    TcxCustomInplaceEditContainer* item = GetController()->GetFocusedItem();
    ACellIndex = item ? item->GetItemIndex() : -1;
    ARowCount = Records();
  }
  void CalcNextRow(bool AForward, Integer& ARowIndex, Integer&) override {
    const Integer next = ARowIndex + (AForward ? 1 : -1);
    if (next >= 0 && next < Records()) ARowIndex = next;
  }
  TcxCustomInplaceEditContainer* GetCellContainer(Integer ARowIndex, Integer ACellIndex) override {
    if (ACellIndex < 0 || ACellIndex >= GetCount(ARowIndex)) return nullptr;
    return Control()->GetItem(ACellIndex);
  }
  Integer GetCount(Integer ARowIndex) override {
    if (ARowIndex < 0 || ARowIndex >= Records() || ARowIndex == EmptyRow) return 0;
    return Control()->GetItemCount();
  }
  bool MayFocusedEmptyRow(Integer) override { return EmptyRowsMayFocus; }
  void SetFocusCell(Integer ARowIndex, Integer ACellIndex, TShiftState) override {
    TcxCustomInplaceEditContainer* item =
        ACellIndex >= 0 && ACellIndex < Control()->GetItemCount() ? Control()->GetItem(ACellIndex) : nullptr;
    GetController()->SetFocusedRecordItem(ARowIndex, item);
  }

 private:
  TcxEditingControl* Control() { return GetController()->GetEditingControl(); }
  Integer Records() { return Control()->GetDataController()->GetRecordCount(); }
};

class TTestController : public TcxCustomControlController {
  ORV_CLASS(TTestController, TcxCustomControlController)
 public:
  explicit TTestController(TcxEditingControl* AControl) : TcxCustomControlController(AControl) {}
  TcxCustomCellNavigatorClass GetNavigatorClass() override { return TTestNavigator::StaticClass(); }
  TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) override {
    if (!AItem) return nullptr;
    auto* viewInfo = static_cast<TTestViewInfo*>(GetEditingControl()->GetViewInfo());
    return viewInfo ? viewInfo->Cell(GetFocusedRecordIndex(), AItem->GetItemIndex()) : nullptr;
  }
  void MakeFocusedItemVisible() override {}
  void MakeFocusedRecordVisible() override {}
};

class TTestEditingControl : public TcxExtEditingControl {
  ORV_CLASS(TTestEditingControl, TcxExtEditingControl)
 public:
  explicit TTestEditingControl(TComponent* AOwner) : TcxExtEditingControl(AOwner) {}
  TcxCustomControlControllerClass GetControllerClass() override { return TTestController::StaticClass(); }
  TcxCustomControlViewInfoClass GetViewInfoClass() override { return TTestViewInfo::StaticClass(); }
  TcxCustomControlPainterClass GetPainterClass() override { return TTestPainter::StaticClass(); }

  TTestViewInfo* TestViewInfo() { return static_cast<TTestViewInfo*>(GetViewInfo()); }
  TTestNavigator* Navigator() { return static_cast<TTestNavigator*>(GetController()->GetNavigator()); }
  TcxEditingController* Editing() { return GetController()->GetEditingController(); }
};

inline ORV_REGISTER(TTestCell)
inline ORV_REGISTER(TTestViewInfo)
inline ORV_REGISTER(TTestPainter)
inline ORV_REGISTER(TTestNavigator)
inline ORV_REGISTER(TTestController)
inline ORV_REGISTER(TTestEditingControl)

namespace grid_test {

struct GridUnitsListed {
  GridUnitsListed() { RegisterGridUnits(); }
};

// A headless form with the grid's units started (after the editors', which
// the session starts) and a test control on it with one record: "Name"
// (String) "alpha", "Count" (Integer) 42 and "Ratio" (Float) 2.5, each
// shown by the text editor of its value type. Input comes through the
// editors' session steps.
class GridSession : public ::testing::Test, public edit_test::EditorSession, public GridUnitsListed {
 protected:
  TForm* form = nullptr;
  TTestEditingControl* grid = nullptr;
  TcxCustomInplaceEditContainer* name = nullptr;
  TcxCustomInplaceEditContainer* count = nullptr;
  TcxCustomInplaceEditContainer* ratio = nullptr;
  Log log;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 420, 300});
    grid = CreateControl(form);
    grid->SetBoundsRect({10, 10, 210, 110});
    grid->SetParent(form);
    grid->GetDataController()->SetRecordCount(1);
    name = AddItem("String", Variant("alpha"));
    count = AddItem("Integer", Variant(42));
    ratio = AddItem("Float", Variant(2.5));
    grid->GetDataController()->ChangeFocusedRowIndex(0);
  }
  void TearDown() override {
    if (form) form->Free();
    Pump();
  }

  virtual TTestEditingControl* CreateControl(TForm* AForm) { return New<TTestEditingControl>(AForm); }

  TcxCustomInplaceEditContainer* AddItem(const AnsiString& AValueType, const Variant& AValue) {
    auto* item = New<TcxCustomInplaceEditContainer>(form);
    item->SetEditingControl(grid);
    static_cast<TcxItemDataBinding*>(item->GetDataBinding())->SetValueType(AValueType);
    grid->GetDataController()->SetValue(0, item->GetItemIndex(), AValue);
    return item;
  }

  // Shows the form and focuses the grid.
  void Show() {
    form->Show();
    Pump();
    grid->SetFocus();
    Pump();
  }

  // The middle of a cell, in the grid's client coordinates.
  TPoint Center(TcxCustomInplaceEditContainer* AItem, Integer ARecord = 0) {
    TTestCell* cell = grid->TestViewInfo()->Cell(ARecord, AItem->GetItemIndex());
    return cxRectCenter(cell->DisplayRect);
  }
  void Click(TcxCustomInplaceEditContainer* AItem, Integer ARecord = 0, int button = 1) {
    win::test::Click(grid->GetHandle(), Center(AItem, ARecord), button);
    Pump();
  }
  void MoveTo(TPoint P) {
    win::test::MouseMove(grid->GetHandle(), P);
    Pump();
  }

  // A pixel of the grid's window, in its client coordinates.
  TColor PixelAt(TPoint P) {
    win::HDC dc = win::GetDC(grid->GetHandle());
    const TColor color = static_cast<TColor>(win::GetPixel(dc, P.X, P.Y));
    win::ReleaseDC(grid->GetHandle(), dc);
    return color;
  }

  TcxCustomEdit* Editor() { return grid->Editing()->GetEdit(); }
  AnsiString Stored(TcxCustomInplaceEditContainer* AItem, Integer ARecord = 0) {
    return VarToStr(grid->GetDataController()->GetValue(ARecord, AItem->GetItemIndex()));
  }
  // What the cell shows, as its edit view info holds it.
  AnsiString Shown(TcxCustomInplaceEditContainer* AItem, Integer ARecord = 0) {
    TTestCell* cell = grid->TestViewInfo()->Cell(ARecord, AItem->GetItemIndex());
    auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(cell->EditViewInfo);
    return text ? text->Text : AnsiString("<none>");
  }
};

}  // namespace grid_test
