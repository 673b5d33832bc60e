// The grid's customization: a small tool window beside the grid that lists
// the rows currently hidden, on a "Rows" page and a "Categories" page. A
// row dragged from the grid onto the window is hidden and listed; a listed
// row dragged back onto the grid shows again where it is dropped. The
// categories page creates new (hidden) categories and deletes listed ones.
#pragma once

#include <vector>

#include "library/foundation/cxButtons.h"
#include "library/grid/container/cxInplaceContainerOptions.h"
#include "platform/controls/PageControl.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Timer.h"

class TcxCustomVerticalGrid;
class TcxCustomRow;
class TcxCustomRowHeaderInfo;
class TcxVerticalGridCustomizing;

// One list of hidden rows: category rows, or every other row. Each item's
// object is a header info of its row, drawn by the grid's painter.
class TcxVerticalGridItemsCustomizeListBox : public TcxCustomizeListBox {
  ORV_CLASS(TcxVerticalGridItemsCustomizeListBox, TcxCustomizeListBox)
 public:
  explicit TcxVerticalGridItemsCustomizeListBox(TComponent* AOwner) : TcxCustomizeListBox(AOwner) {}
  ~TcxVerticalGridItemsCustomizeListBox() override;

  void Init(TcxCustomVerticalGrid* AGrid, bool AIsCategories, Integer AItemHeight);
  // The hidden rows of the list's kind, in the grid's flat order, that may
  // be shown in the customization form. The selection stays only while a
  // mouse operation runs.
  void RefreshList();
  TcxCustomRow* GetRow(Integer AIndex);
  TcxCustomRow* GetSelectedRow() { return GetItemIndex() >= 0 ? GetRow(GetItemIndex()) : nullptr; }
  bool GetIsCategories() const { return FIsCategories; }

 protected:
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  // The pressed item's row becomes the grid's drag row and the grid drags.
  void BeginDragAndDrop() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void WndProc(TMessage& Message) override;

 private:
  void ClearHeaders();
  TcxCustomVerticalGrid* FVerticalGrid = nullptr;
  bool FIsCategories = false;
  bool FMouseOperation = false;
  std::vector<TcxCustomRowHeaderInfo*> FHeaders;
  TcxCanvas* FCanvas = nullptr;
};

// The tool window; it follows the application and the grid every 100 ms.
class TcxVerticalGridCustomizationForm : public TForm {
  ORV_CLASS(TcxVerticalGridCustomizationForm, TForm)
 public:
  explicit TcxVerticalGridCustomizationForm(TComponent* AOwner, bool ACreateNew) : TForm(AOwner, ACreateNew) {}
  void BeforeDestruction() override;
  TcxVerticalGridCustomizing* GetCustomizing() const { return FCustomizing; }
  void SetCustomizing(TcxVerticalGridCustomizing* Value) { FCustomizing = Value; }
  TTimer* GetVisibilityTimer() const { return FTimer; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DoShow() override;
  void DoClose(TCloseAction& Action) override;

 private:
  void TimerHandler(TObject* Sender);
  TcxVerticalGridCustomizing* FCustomizing = nullptr;
  TTimer* FTimer = nullptr;
};

class TcxVerticalGridCustomizing : public TcxOwnedInterfacedPersistent {
  ORV_CLASS(TcxVerticalGridCustomizing, TcxOwnedInterfacedPersistent)
 public:
  explicit TcxVerticalGridCustomizing(TPersistent* AOwner);
  ~TcxVerticalGridCustomizing() override;

  // Whether the screen point lies over a showing list of the window.
  virtual bool CanDrop(const TPoint& P);
  // Asks for a caption and adds a hidden category with it.
  virtual void CreateCategoryRow();
  virtual void LookAndFeelChanged();
  virtual TSize SizeDelta() { return {31, 4}; }
  // Refreshes both lists and the buttons.
  virtual void Update();
  virtual void ComponentRemoved(TObject*) {}
  virtual void Modified() { Update(); }
  // Deletes the selected category (and the rows below it).
  void DeleteCategory();
  void MakeCategorySheetVisible();
  void MakeRowSheetVisible();

  bool GetVisible() const { return FVisible; }
  // Refused while the grid has no rows.
  void SetVisible(bool Value);
  Integer GetRowCount() const { return FRowCount; }
  // At least 2.
  void SetRowCount(Integer Value);
  bool GetShowCategoryButtons() const { return FShowCategoryButtons; }
  void SetShowCategoryButtons(bool Value);

  TcxCustomVerticalGrid* GetVerticalGrid() const { return FVerticalGrid; }
  TcxVerticalGridCustomizationForm* GetForm() const { return FForm; }
  TPageControl* GetPageControl() const { return FPageControl; }
  TcxVerticalGridItemsCustomizeListBox* GetRowListBox() const { return FRowListBox; }
  TcxVerticalGridItemsCustomizeListBox* GetCategoryListBox() const { return FCategoryListBox; }
  TcxButton* GetNewButton() const { return FNewButton; }
  TcxButton* GetDeleteButton() const { return FDeleteButton; }
  TTabSheet* GetRowsSheet() const { return FTabSheetRows; }
  TTabSheet* GetCategoriesSheet() const { return FTabSheetCategories; }

 protected:
  // RowCount and Visible.
  void DoAssign(TPersistent* Source) override;

  friend class TcxVerticalGridCustomizationForm;
  virtual void AdjustControls();
  virtual void CreateControls();
  virtual void FormClose(TObject* Sender, TCloseAction& Action);
  virtual void FormShow(TObject* Sender);
  void ReleaseControls();
  void UpdateButtons();

 private:
  void NewCategoryClick(TObject* Sender);
  void DeleteCategoryClick(TObject* Sender);
  void CategoryListClick(TObject* Sender);
  void PlaceForm();

  TcxVerticalGridItemsCustomizeListBox* FCategoryListBox = nullptr;
  TcxVerticalGridCustomizationForm* FForm = nullptr;
  TcxVerticalGridItemsCustomizeListBox* FRowListBox = nullptr;
  TPoint FLastPosition{-10000, -10000};
  Integer FLineHeight = 0;
  TPageControl* FPageControl = nullptr;
  TPanel* FPanel = nullptr;
  TcxButton* FNewButton = nullptr;
  TcxButton* FDeleteButton = nullptr;
  Integer FRowCount = 10;
  TDragMode FSavedDragMode = dmManual;
  bool FShowCategoryButtons = true;
  TTabSheet* FTabSheetCategories = nullptr;
  TTabSheet* FTabSheetRows = nullptr;
  TcxCustomVerticalGrid* FVerticalGrid = nullptr;
  bool FVisible = false;
};

using TcxVerticalGridCustomizingClass = TClassRef<TcxVerticalGridCustomizing>;
