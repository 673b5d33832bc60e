#include "library/grid/vgrid/cxVGridCustomizing.h"

#include <algorithm>

#include "library/foundation/cxClasses.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "library/grid/vgrid/cxVGridNewCategory.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Messages.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

ORV_REGISTER(TcxVerticalGridItemsCustomizeListBox)
ORV_REGISTER(TcxVerticalGridCustomizationForm)
ORV_REGISTER(TcxVerticalGridCustomizing, ORV_PROP(RowCount).Default(10), ORV_PROP(ShowCategoryButtons).Default(true))

namespace {

constexpr Cardinal kVisibilityInterval = 100;

bool IsCategory(TcxCustomRow* ARow) { return dynamic_cast<TcxCategoryRow*>(ARow) != nullptr; }

// A header info of its own for a row that is not on show in the grid.
TcxCustomRowHeaderInfo* NewHeaderInfo(TcxCustomRow* ARow) {
  if (IsCategory(ARow)) return New<TcxCategoryRowHeaderInfo>(ARow);
  if (dynamic_cast<TcxCustomMultiEditorRow*>(ARow)) return New<TcxMultiEditorRowHeaderInfo>(ARow);
  return New<TcxEditorRowHeaderInfo>(ARow);
}

AnsiString RowCaption(TcxCustomRow* ARow) {
  if (auto* multi = dynamic_cast<TcxMultiEditorRowProperties*>(ARow->GetRowProperties())) {
    AnsiString text;
    for (Integer i = 0; i < multi->GetEditors()->GetCount(); ++i)
      text += (i ? " | " : "") + multi->GetEditors()->GetItem(i)->GetCaption();
    return text;
  }
  if (auto* properties = dynamic_cast<TcxCaptionRowProperties*>(ARow->GetRowProperties()))
    return properties->GetCaption();
  return {};
}

bool IsShowing(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && win::IsWindowVisible(AControl->GetHandle());
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxVerticalGridItemsCustomizeListBox

TcxVerticalGridItemsCustomizeListBox::~TcxVerticalGridItemsCustomizeListBox() {
  ClearHeaders();
  if (FCanvas) FCanvas->Free();
}

void TcxVerticalGridItemsCustomizeListBox::Init(TcxCustomVerticalGrid* AGrid, bool AIsCategories,
                                                Integer AItemHeight) {
  FVerticalGrid = AGrid;
  FIsCategories = AIsCategories;
  SetStyle(lbOwnerDrawFixed);
  SetItemHeight(AItemHeight);
}

void TcxVerticalGridItemsCustomizeListBox::ClearHeaders() {
  for (TcxCustomRowHeaderInfo* header : FHeaders) header->Free();
  FHeaders.clear();
}

TcxCustomRow* TcxVerticalGridItemsCustomizeListBox::GetRow(Integer AIndex) {
  auto* header = dynamic_cast<TcxCustomRowHeaderInfo*>(GetItems()->GetObject(AIndex));
  return header ? header->GetRow() : nullptr;
}

void TcxVerticalGridItemsCustomizeListBox::RefreshList() {
  const Integer selected = GetItemIndex();
  GetItems()->BeginUpdate();
  {
    orv::ScopeExit end([this] { GetItems()->EndUpdate(); });
    GetItems()->Clear();
    ClearHeaders();
    TcxVerticalGridRows* rows = FVerticalGrid->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i) {
      TcxCustomRow* row = rows->GetRow(i);
      if (IsCategory(row) != FIsCategories || row->GetVisible() ||
          !row->GetOptions()->GetShowInCustomizationForm())
        continue;
      FHeaders.push_back(NewHeaderInfo(row));
      GetItems()->AddObject(RowCaption(row), FHeaders.back());
    }
  }
  if (FMouseOperation) SetItemIndex(std::min(selected, GetCount() - 1));
  Invalidate();
}

void TcxVerticalGridItemsCustomizeListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  auto* header = dynamic_cast<TcxCustomRowHeaderInfo*>(GetItems()->GetObject(Index));
  auto* painter = dynamic_cast<TcxvgPainter*>(FVerticalGrid->GetPainter());
  TcxvgCustomViewInfo* viewInfo = FVerticalGrid->GetVGViewInfo();
  if (!header || !painter || !viewInfo) return;
  if (!FCanvas) FCanvas = New<TcxCanvas>(GetCanvas());
  header->Calc(Rect, viewInfo, nullptr, false);
  painter->PaintOn(FCanvas, [&] { painter->DrawRowHeader(header); });
  if (State.Contains(odSelected)) FCanvas->InvertRect(Rect);
}

void TcxVerticalGridItemsCustomizeListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FMouseOperation = true;
  inherited::MouseDown(Button, Shift, X, Y);
}

void TcxVerticalGridItemsCustomizeListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FMouseOperation = false;
  inherited::MouseUp(Button, Shift, X, Y);
  FVerticalGrid->GetController()->CheckEdit();
}

void TcxVerticalGridItemsCustomizeListBox::WndProc(TMessage& Message) {
  if (Message.Msg == win::WM_CANCELMODE) {
    FMouseOperation = false;
    SetItemIndex(-1);
  }
  inherited::WndProc(Message);
}

void TcxVerticalGridItemsCustomizeListBox::BeginDragAndDrop() {
  inherited::BeginDragAndDrop();
  TcxCustomRow* row = GetRow(GetDragAndDropItemIndex());
  if (!row) return;
  FMouseOperation = false;
  TcxCustomVerticalGrid* grid = FVerticalGrid;
  grid->GetController()->GetEditingController()->HideEdit(false);
  grid->GetVGController()->SetDragRow(row);
  grid->BeginDrag(true);
}

void TcxVerticalGridItemsCustomizeListBox::DragOver(TObject* Source, Integer X, Integer Y, TDragState State,
                                                    bool& Accept) {
  inherited::DragOver(Source, X, Y, State, Accept);
  auto* object = dynamic_cast<TDragControlObject*>(Source);
  TcxvgController* controller = FVerticalGrid->GetVGController();
  TcxCustomRow* row = controller->GetDragRow();
  Accept = (Source == FVerticalGrid || (object && object->GetControl() == FVerticalGrid)) &&
           controller->IsInternalDragging() && row && row->GetOptions()->GetCanMovedToCustomizationForm();
}

void TcxVerticalGridItemsCustomizeListBox::DragDrop(TObject* Source, Integer X, Integer Y) {
  const TPoint P = FVerticalGrid->ScreenToClient(ClientToScreen(TPoint(X, Y)));
  FVerticalGrid->GetVGController()->DragDrop(Source, P.X, P.Y);
}

// ---------------------------------------------------------------------------
// TcxVerticalGridCustomizationForm

void TcxVerticalGridCustomizationForm::BeforeDestruction() {
  FreeAndNil(FTimer);
  inherited::BeforeDestruction();
}

void TcxVerticalGridCustomizationForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // A palette beside the grid: owned by the grid's window, and never
  // taking the activation (nor the keyboard) from the grid's form.
  Params.ExStyle |= win::WS_EX_NOACTIVATE;
  TcxCustomVerticalGrid* grid = FCustomizing ? FCustomizing->GetVerticalGrid() : nullptr;
  if (grid && !grid->GetIsDestroying() && grid->HandleAllocated()) {
    Params.Style |= win::WS_POPUP;
    Params.WndParent = grid->GetHandle();
  }
}

void TcxVerticalGridCustomizationForm::DoShow() {
  if (!FTimer) {
    FTimer = New<TTimer>(nullptr);
    FTimer->SetInterval(kVisibilityInterval);
    FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxVerticalGridCustomizationForm::TimerHandler>(this));
  }
  inherited::DoShow();
}

void TcxVerticalGridCustomizationForm::DoClose(TCloseAction& Action) {
  FreeAndNil(FTimer);
  inherited::DoClose(Action);
}

void TcxVerticalGridCustomizationForm::TimerHandler(TObject*) {
  if (!FCustomizing || !HandleAllocated()) return;
  const win::HWND wnd = GetHandle();
  if (Application && Application->IsMinimized()) {
    if (win::IsWindowVisible(wnd)) win::ShowWindow(wnd, win::SW_HIDE);
    return;
  }
  TcxCustomVerticalGrid* grid = FCustomizing->GetVerticalGrid();
  if (grid->GetVisible() && IsShowing(grid)) {
    if (!win::IsWindowVisible(wnd)) win::ShowWindow(wnd, win::SW_SHOWNOACTIVATE);
  } else {
    FCustomizing->SetVisible(false);
  }
}

// ---------------------------------------------------------------------------
// TcxVerticalGridCustomizing

TcxVerticalGridCustomizing::TcxVerticalGridCustomizing(TPersistent* AOwner)
    : TcxOwnedInterfacedPersistent(AOwner), FVerticalGrid(dynamic_cast<TcxCustomVerticalGrid*>(AOwner)) {}

TcxVerticalGridCustomizing::~TcxVerticalGridCustomizing() {
  FVisible = false;
  ReleaseControls();
}

void TcxVerticalGridCustomizing::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxVerticalGridCustomizing*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  SetRowCount(source->FRowCount);
  SetVisible(source->FVisible);
}

void TcxVerticalGridCustomizing::SetVisible(bool Value) {
  if (FVisible == Value) return;
  if (Value && !FVerticalGrid->HasRows()) return;
  FVisible = Value;
  if (Value)
    CreateControls();
  else
    ReleaseControls();
}

void TcxVerticalGridCustomizing::SetRowCount(Integer Value) { FRowCount = std::max(Value, 2); }

void TcxVerticalGridCustomizing::SetShowCategoryButtons(bool Value) {
  if (FShowCategoryButtons == Value) return;
  FShowCategoryButtons = Value;
  if (FPanel) FPanel->SetVisible(Value);
}

void TcxVerticalGridCustomizing::CreateControls() {
  if (FForm) return;
  TcxCustomVerticalGrid* grid = FVerticalGrid;
  FSavedDragMode = grid->GetDragMode();
  grid->SetDragMode(dmAutomatic);

  FForm = TCustomForm::CreateNew<TcxVerticalGridCustomizationForm>(nullptr);
  FForm->SetCustomizing(this);
  FForm->SetVisible(false);
  FForm->SetCaption(cxVGridResString(cxSvgCustomizeCaption));
  FForm->SetBorderStyle(bsSizeToolWin);
  FForm->SetBorderIcons(TBorderIcons{biSystemMenu});
  FForm->SetPosition(poDesigned);
  FForm->GetFont()->Assign(grid->GetFont());
  TcxScreenCanvas* canvas = cxScreenCanvas();
  canvas->GetFont()->Assign(grid->GetFont());
  FLineHeight = canvas->TextHeight("Wg") + 4;
  FForm->SetClientWidth(SizeDelta().cx * canvas->TextWidth("0"));
  // A row count past any screen is summed wide and the window held to the
  // grid's largest extent.
  FForm->SetClientHeight(
      static_cast<Integer>(std::min<Int64>((Int64{FRowCount} + 1) * FLineHeight, cxvgMaxExtent)));
  FForm->GetConstraints()->SetMinWidth(FForm->GetWidth());
  FForm->SetColor(clBtnFace);
  FForm->OnClose = TCloseEvent::Bind<&TcxVerticalGridCustomizing::FormClose>(this);
  FForm->OnShow = TNotifyEvent::Bind<&TcxVerticalGridCustomizing::FormShow>(this);
  // Its system menu keeps moving, sizing and closing only.
  if (win::HMENU menu = win::GetSystemMenu(FForm->GetHandle(), win::FALSE)) {
    win::DeleteMenu(menu, 7, win::MF_BYPOSITION);
    win::DeleteMenu(menu, 5, win::MF_BYPOSITION);
    win::DeleteMenu(menu, win::SC_MAXIMIZE, win::MF_BYCOMMAND);
    win::DeleteMenu(menu, win::SC_MINIMIZE, win::MF_BYCOMMAND);
    win::DeleteMenu(menu, win::SC_RESTORE, win::MF_BYCOMMAND);
  }

  FCategoryListBox = New<TcxVerticalGridItemsCustomizeListBox>(FForm);
  FCategoryListBox->Init(grid, true, FLineHeight);
  FCategoryListBox->OnClick = TNotifyEvent::Bind<&TcxVerticalGridCustomizing::CategoryListClick>(this);
  FRowListBox = New<TcxVerticalGridItemsCustomizeListBox>(FForm);
  FRowListBox->Init(grid, false, FLineHeight);

  FPageControl = New<TPageControl>(FForm);
  FPageControl->SetHotTrack(true);
  FTabSheetRows = New<TTabSheet>(FForm);
  FTabSheetRows->SetCaption(cxVGridResString(cxSvgCustomizeRowsCaption));
  FTabSheetCategories = New<TTabSheet>(FForm);
  FTabSheetCategories->SetCaption(cxVGridResString(cxSvgCustomizeCategoriesCaption));

  FPanel = New<TPanel>(FForm);
  FPanel->SetParent(FTabSheetCategories);
  FPanel->SetAlign(alBottom);
  FPanel->SetHeight(35);
  FPanel->SetBevelOuter(bvNone);
  FPanel->SetVisible(FShowCategoryButtons);
  auto button = [&](const TResStringRec& ACaption, Integer ALeft, Integer ATabOrder, TNotifyEvent AClick) {
    auto* result = New<TcxButton>(FForm);
    result->SetParent(FPanel);
    result->SetCaption(cxVGridResString(ACaption));
    result->SetBounds(ALeft, 7, 75, 25);
    result->SetTabOrder(ATabOrder);
    result->OnClick = AClick;
    result->GetLookAndFeel()->SetMasterLookAndFeel(grid->GetLookAndFeel());
    return result;
  };
  FNewButton = button(cxSvgCustomizeNewCategory, 7, 0,
                      TNotifyEvent::Bind<&TcxVerticalGridCustomizing::NewCategoryClick>(this));
  FDeleteButton = button(cxSvgCustomizeDeleteCategory, 90, 1,
                         TNotifyEvent::Bind<&TcxVerticalGridCustomizing::DeleteCategoryClick>(this));
  FDeleteButton->SetEnabled(false);

  AdjustControls();
  PlaceForm();
  FForm->Show();
  FRowListBox->RefreshList();
  FCategoryListBox->RefreshList();
}

void TcxVerticalGridCustomizing::AdjustControls() {
  auto place = [](TControl* AControl, TWinControl* AParent) {
    AControl->SetParent(AParent);
    AControl->SetAlign(alClient);
    AControl->SetParentFont(true);
    AControl->SetParentColor(true);
  };
  place(FPageControl, FForm);
  FTabSheetRows->SetPageControl(FPageControl);
  FTabSheetCategories->SetPageControl(FPageControl);
  place(FRowListBox, FTabSheetRows);
  place(FCategoryListBox, FTabSheetCategories);
}

void TcxVerticalGridCustomizing::PlaceForm() {
  TPoint P = FLastPosition;
  if (P == TPoint(-10000, -10000)) {
    TcxCustomVerticalGrid* grid = FVerticalGrid;
    P = grid->ClientToScreen(TPoint(grid->GetWidth(), 0));
    const TRect work = Screen ? Screen->GetWorkAreaRect() : TRect(0, 0, 1024, 768);
    P.X = std::max(std::min(P.X, work.Right - FForm->GetWidth()), work.Left);
    P.Y = std::max(std::min(P.Y, work.Bottom - FForm->GetHeight()), work.Top);
  }
  FForm->SetBounds(P.X, P.Y, FForm->GetWidth(), FForm->GetHeight());
}

void TcxVerticalGridCustomizing::ReleaseControls() {
  if (!FForm) return;
  FLastPosition = TPoint(FForm->GetLeft(), FForm->GetTop());
  auto drop = [](auto*& AControl) {
    if (!AControl) return;
    AControl->SetParent(nullptr);
    FreeAndNil(AControl);
  };
  drop(FNewButton);
  drop(FDeleteButton);
  drop(FPanel);
  drop(FCategoryListBox);
  drop(FRowListBox);
  drop(FTabSheetCategories);
  drop(FTabSheetRows);
  drop(FPageControl);
  TcxVerticalGridCustomizationForm* form = FForm;
  FForm = nullptr;
  form->SetCustomizing(nullptr);
  form->OnClose = {};
  form->OnShow = {};
  if (FVerticalGrid->GetIsDestroying()) {
    form->Free();
  } else {
    FVerticalGrid->SetDragMode(FSavedDragMode);
    form->Hide();
    form->Release();
  }
}

void TcxVerticalGridCustomizing::FormClose(TObject*, TCloseAction&) {
  if (FForm) FLastPosition = TPoint(FForm->GetLeft(), FForm->GetTop());
  SetVisible(false);
  FVerticalGrid->DoCustomizationVisibleChanged();
}

void TcxVerticalGridCustomizing::FormShow(TObject*) { FVerticalGrid->DoCustomizationVisibleChanged(); }

void TcxVerticalGridCustomizing::Update() {
  if (FRowListBox && FRowListBox->HandleAllocated()) FRowListBox->RefreshList();
  if (FCategoryListBox && FCategoryListBox->HandleAllocated()) FCategoryListBox->RefreshList();
  UpdateButtons();
}

void TcxVerticalGridCustomizing::UpdateButtons() {
  if (FDeleteButton) FDeleteButton->SetEnabled(FCategoryListBox && FCategoryListBox->GetItemIndex() != -1);
}

bool TcxVerticalGridCustomizing::CanDrop(const TPoint& P) {
  if (!FVisible || !FForm) return false;
  for (TcxVerticalGridItemsCustomizeListBox* list : {FRowListBox, FCategoryListBox}) {
    if (!IsShowing(list)) continue;
    const TRect client = list->GetClientRect();
    const TPoint origin = list->ClientToScreen(TPoint(0, 0));
    if (cxRectPtIn(cxRectOffset(client, origin.X, origin.Y), P)) return true;
  }
  return false;
}

void TcxVerticalGridCustomizing::MakeCategorySheetVisible() {
  if (FVisible && FPageControl) FPageControl->SetActivePage(FTabSheetCategories);
}

void TcxVerticalGridCustomizing::MakeRowSheetVisible() {
  if (FVisible && FPageControl) FPageControl->SetActivePage(FTabSheetRows);
}

void TcxVerticalGridCustomizing::LookAndFeelChanged() {
  for (TWinControl* control : std::initializer_list<TWinControl*>{FRowListBox, FCategoryListBox, FPageControl})
    if (control) control->Invalidate();
}

void TcxVerticalGridCustomizing::CreateCategoryRow() {
  AnsiString caption;
  if (!cxShowNewCategoryForm(FForm, caption, FVerticalGrid->GetLookAndFeel())) return;
  TcxCustomVerticalGrid* grid = FVerticalGrid;
  {
    grid->BeginUpdate();
    orv::ScopeExit end([grid] { grid->EndUpdate(); });
    auto* row = static_cast<TcxCategoryRow*>(grid->Add(TcxCategoryRow::StaticClass()));
    row->SetVisible(false);
    row->GetProperties()->SetCaption(caption);
    row->SetName(CreateUniqueName(grid->GetOwner(), grid, row->ClassType(), "Tcx", "RuntimeCreatedRow"));
  }
  Modified();
}

void TcxVerticalGridCustomizing::DeleteCategory() {
  if (!FCategoryListBox) return;
  TcxCustomRow* row = FCategoryListBox->GetSelectedRow();
  if (!row) return;
  FCategoryListBox->GetItems()->Delete(FCategoryListBox->GetItemIndex());
  row->Free();
  Modified();
}

void TcxVerticalGridCustomizing::NewCategoryClick(TObject*) { CreateCategoryRow(); }

void TcxVerticalGridCustomizing::DeleteCategoryClick(TObject*) { DeleteCategory(); }

void TcxVerticalGridCustomizing::CategoryListClick(TObject*) { UpdateButtons(); }
