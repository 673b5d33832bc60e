#include "library/editors/cxButtonGroup.h"

#include <algorithm>

#include "platform/rtl/ScopeExit.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TcxButtonGroupItem, ORV_PROP(Caption), ORV_PROP(Enabled).Default(true),
             ORV_PROP(Tag).StoredBy<&TcxButtonGroupItem::IsTagStored>())
ORV_REGISTER(TcxButtonGroupItems)
ORV_REGISTER(TcxCustomButtonGroupProperties)
// A button group keeps the size it is given.
ORV_REGISTER(TcxCustomButtonGroup, ORV_PROP(AutoSize).Default(false))

namespace {

// The collection holds its changes until the item that joins it is whole:
// its owner then reads the item's real class and settings. The hold is
// taken before the base class joins the item to the collection.
TCollection* HoldChanges(TCollection* ACollection) {
  if (ACollection) ACollection->BeginUpdate();
  return ACollection;
}

bool SameFont(TFont* A, TFont* B) {
  return A->GetName() == B->GetName() && A->GetHeight() == B->GetHeight() && A->GetStyle() == B->GetStyle() &&
         A->GetColor() == B->GetColor() && A->GetCharset() == B->GetCharset() && A->GetPitch() == B->GetPitch();
}

}  // namespace

// ---------------------------------------------------------------------------
// Items.

TcxButtonGroupItem::TcxButtonGroupItem(TCollection* Collection) : TCollectionItem(HoldChanges(Collection)) {}

void TcxButtonGroupItem::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  if (TCollection* collection = GetCollection()) collection->EndUpdate();
}

void TcxButtonGroupItem::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxButtonGroupItem*>(Source);
  if (!source) {
    TCollectionItem::DoAssign(Source);
    return;
  }
  SetCaption(source->FCaption);
  SetEnabled(source->FEnabled);
  SetTag(source->FTag);
}

void TcxButtonGroupItem::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  DoChanged();
}

void TcxButtonGroupItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  DoChanged();
}

void TcxButtonGroupItem::DoChanged() {
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(GetCollection())) items->ItemChanged();
  Changed(false);
}

TcxButtonGroupItems::~TcxButtonGroupItems() { FDestroying = true; }

void TcxButtonGroupItems::ItemChanged() {
  if (FStructuralChanges > 0) return;
  FChangedItemOperation = coChanged;
  FChangedItemIndex = -1;
}

void TcxButtonGroupItems::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  // Deleting is also told as extracting, just before the item leaves.
  if (Action == cnDeleting) return;
  ++FStructuralChanges;
  FChangedItemOperation = Action == cnAdded ? coAdd : coDelete;
  FChangedItemIndex = FDestroying ? -1 : Item->GetIndex();
}

bool TcxButtonGroupItems::GetSingleChange(TcxCollectionOperation& AOperation, Integer& AIndex) const {
  if (FStructuralChanges > 1) return false;
  AOperation = FChangedItemOperation;
  AIndex = FChangedItemIndex;
  return true;
}

void TcxButtonGroupItems::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  orv::ScopeExit forget([this] {
    FStructuralChanges = 0;
    FChangedItemOperation = coChanged;
    FChangedItemIndex = -1;
  });
  if (FDestroying) return;
  auto* owner = dynamic_cast<TcxCustomButtonGroupProperties*>(GetOwner());
  if (!owner) return;
  auto notifying = orv::TempValue(FNotifying, true);
  owner->Changed();
}

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomButtonGroupProperties::AfterConstruction() {
  TcxCustomGroupBoxProperties::AfterConstruction();
  FItems = CreateItems();
}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties() {
  BeginUpdate();
  FreeAndNil(FItems);
  EndUpdate(false);
}

TcxButtonGroupItems* TcxCustomButtonGroupProperties::CreateItems() {
  return New<TcxButtonGroupItems>(this, TcxButtonGroupItem::StaticClass());
}

void TcxCustomButtonGroupProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomButtonGroupProperties*>(Source);
  if (!source) {
    TcxCustomGroupBoxProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomGroupBoxProperties::DoAssign(Source);
  SetColumns(source->FColumns);
  FItems->Assign(source->FItems);
  SetWordWrap(source->FWordWrap);
}

TcxCustomEditProperties* TcxCustomButtonGroupProperties::CreatePreviewProperties() const {
  TcxCustomEditProperties* preview = TcxCustomGroupBoxProperties::CreatePreviewProperties();
  if (auto* properties = dynamic_cast<TcxCustomButtonGroupProperties*>(preview)) {
    for (const char* caption : {"A", "B", "C"})
      static_cast<TcxButtonGroupItem*>(properties->GetItems()->Add())->SetCaption(caption);
    properties->SetColumns(3);
  }
  return preview;
}

TcxEditSpecialFeatures TcxCustomButtonGroupProperties::GetSpecialFeatures() const {
  return TcxCustomGroupBoxProperties::GetSpecialFeatures() + TcxEditSpecialFeatures{esfMinSize};
}

TcxEditSupportedOperations TcxCustomButtonGroupProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result{esoAlwaysHotTrack, esoAutoHeight, esoEditing,  esoFiltering,
                                    esoShowingCaption, esoSorting,    esoTransparency};
  if (FItems && FItems->GetCount() > 0) result.Include(esoHotTrack);
  return result;
}

Integer TcxCustomButtonGroupProperties::GetColumnCount() {
  const Integer n = FItems->GetCount(), m = FColumns;
  if (n < 1) return std::min(n, m);
  const Integer k = std::min(n, m);
  const Integer rows = (n + k - 1) / k;
  return (n + rows - 1) / rows;
}

Integer TcxCustomButtonGroupProperties::GetButtonsPerColumn() {
  const Integer n = FItems->GetCount();
  const Integer columns = std::max(GetColumnCount(), 1);
  return (n + columns - 1) / columns;
}

void TcxCustomButtonGroupProperties::SetColumns(Integer Value) {
  Value = std::max(Value, 1);
  if (FColumns == Value) return;
  FColumns = Value;
  Changed();
}

void TcxCustomButtonGroupProperties::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// The control: construction and the button windows.

void TcxCustomButtonGroup::Initialize() {
  TcxCustomGroupBox::Initialize();
  FButtons.clear();
  SetEditAutoSize(false);
  // The group box took its size while auto-size was still on, which cut
  // the height to one line of text: the group's default size holds now.
  SetBounds(GetLeft(), GetTop(), 185, 105);
  SetTabStop(true);
}

void TcxCustomButtonGroup::BeforeDestruction() {
  SetButtonCount(0);
  TcxCustomGroupBox::BeforeDestruction();
}

TWinControl* TcxCustomButtonGroup::NewButton() {
  auto creating = orv::TempValue(FButtonsCreating, true);
  return GetButtonInstance();
}

void TcxCustomButtonGroup::FreeButton(Integer AIndex) {
  TWinControl* button = FButtons.at(static_cast<std::size_t>(AIndex));
  FButtons.erase(FButtons.begin() + AIndex);
  button->Free();
}

void TcxCustomButtonGroup::SetButtonCount(Integer ACount) {
  ACount = std::max(ACount, 0);
  TcxButtonGroupItems* items = GetContainerIsDestroying() ? nullptr : GetActiveProperties()->GetItems();
  TcxCollectionOperation operation;
  Integer index;
  if (items && items->IsNotifying() && items->GetSingleChange(operation, index)) {
    if (operation == coAdd && GetButtonCount() < ACount) {
      TWinControl* button = NewButton();
      index = std::clamp(index, 0, GetButtonCount());
      FButtons.insert(FButtons.begin() + index, button);
      InitButtonInstance(button);
    } else if (operation == coDelete && GetButtonCount() > ACount && index >= 0 && index < GetButtonCount()) {
      FreeButton(index);
    }
  }
  // A batch of changes, or one told while the windows were behind: as
  // many windows as items, made or freed at the end.
  while (GetButtonCount() < ACount) {
    TWinControl* button = NewButton();
    FButtons.push_back(button);
    InitButtonInstance(button);
  }
  while (GetButtonCount() > ACount) FreeButton(GetButtonCount() - 1);
}

void TcxCustomButtonGroup::InitButtonInstance(TWinControl* AButton) {
  AButton->SetParentShowHint(false);
  AButton->SetParent(this);
  AButton->OnDragDrop = TDragDropEvent::Bind<&TcxCustomButtonGroup::ButtonDragDrop>(this);
  AButton->OnDragOver = TDragOverEvent::Bind<&TcxCustomButtonGroup::ButtonDragOver>(this);
  AButton->OnKeyDown = TKeyEvent::Bind<&TcxCustomButtonGroup::ButtonKeyDown>(this);
  AButton->OnKeyPress = TKeyPressEvent::Bind<&TcxCustomButtonGroup::ButtonKeyPress>(this);
  AButton->OnKeyUp = TKeyEvent::Bind<&TcxCustomButtonGroup::ButtonKeyUp>(this);
  AButton->OnMouseDown = TMouseEvent::Bind<&TcxCustomButtonGroup::ButtonMouseDown>(this);
  AButton->OnMouseMove = TMouseMoveEvent::Bind<&TcxCustomButtonGroup::ButtonMouseMove>(this);
  AButton->OnMouseUp = TMouseEvent::Bind<&TcxCustomButtonGroup::ButtonMouseUp>(this);
  AButton->OnMouseWheel = TMouseWheelEvent::Bind<&TcxCustomButtonGroup::ButtonMouseWheel>(this);
}

void TcxCustomButtonGroup::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) {
    // A button freed from outside leaves the list with its window.
    auto it = std::find(FButtons.begin(), FButtons.end(), AComponent);
    if (it != FButtons.end()) FButtons.erase(it);
  }
  TcxCustomGroupBox::Notification(AComponent, Operation);
}

void TcxCustomButtonGroup::UpdateButtons() {
  if (GetContainerIsDestroying()) return;
  TcxCustomButtonGroupProperties* properties = GetActiveProperties();
  TcxButtonGroupItems* items = properties->GetItems();
  SetButtonCount(items->GetCount());
  for (Integer i = 0; i < GetButtonCount(); ++i)
    GetButton(i)->SetEnabled(GetEnabled() && items->GetItem(i)->GetEnabled());
  ShortRefreshContainer(false);
  for (TWinControl* button : FButtons) button->SetCursor(TControl::GetCursor());
}

void TcxCustomButtonGroup::ArrangeButtons() {
  TcxButtonGroupViewInfo* info = GetViewInfo();
  if (info->GetButtonCount() != GetButtonCount()) return;
  for (Integer i = 0; i < GetButtonCount(); ++i) GetButton(i)->SetBoundsRect(info->ButtonInfos[i]->Bounds);
}

void TcxCustomButtonGroup::SynchronizeButtonsStyle() {
  TcxContainerStyle* style = GetActiveStyle();
  TFont* font = style->GetVisibleFont();
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TWinControl* button = GetButton(i);
    button->SetColor(style->GetColor());
    font->SetColor(GetButtonTextColor(i));
    // Only a change reaches the window: this runs on every refresh.
    if (!SameFont(button->GetFont(), font)) button->SetFont(font);
  }
}

TColor TcxCustomButtonGroup::GetButtonTextColor(Integer) { return GetActiveStyle()->GetTextColor(); }

bool TcxCustomButtonGroup::RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                            bool AIsMouseEvent) {
  const bool result = TcxCustomGroupBox::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  if (!HandleAllocated() || GetContainerIsDestroying()) return result;
  ArrangeButtons();
  SynchronizeButtonsStyle();
  return result;
}

void TcxCustomButtonGroup::PropertiesChanged(TObject* Sender) {
  if (GetContainerIsDestroying() || !GetChangeEventsCatcher()) return;
  if (!GetIsLoading()) UpdateButtons();
  TcxCustomGroupBox::PropertiesChanged(Sender);
}

void TcxCustomButtonGroup::ContainerStyleChanged(TObject* Sender) {
  TcxCustomGroupBox::ContainerStyleChanged(Sender);
  if (GetChangeEventsCatcher() && !GetIsLoading()) UpdateButtons();
}

void TcxCustomButtonGroup::CreateWnd() {
  TcxCustomGroupBox::CreateWnd();
  UpdateButtons();
  SynchronizeDisplayValue();
}

void TcxCustomButtonGroup::Loaded() {
  TcxCustomGroupBox::Loaded();
  UpdateButtons();
  SynchronizeDisplayValue();
}

void TcxCustomButtonGroup::CursorChanged() {
  TcxCustomGroupBox::CursorChanged();
  if (GetChangeEventsCatcher()) UpdateButtons();
}

void TcxCustomButtonGroup::CMEnabledChanged(TMessage& Message) {
  DispatchFrom(TcxCustomGroupBox::StaticClass(), Message);
  UpdateButtons();
}

void TcxCustomButtonGroup::WMWindowPosChanged(TMessage& Message) {
  DispatchFrom(TcxCustomGroupBox::StaticClass(), Message);
  if (HandleAllocated() && IsTransparentBackground())
    RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool TcxCustomButtonGroup::CanAutoSize() { return !IsInplace() && GetAutoSize(); }

// ---------------------------------------------------------------------------
// Questions about the buttons.

Integer TcxCustomButtonGroup::GetButtonIndexAt(const TPoint& P) {
  TcxButtonGroupViewInfo* info = GetViewInfo();
  for (Integer i = 0; i < info->GetButtonCount(); ++i)
    if (cxRectPtIn(info->ButtonInfos[i]->Bounds, P)) return i;
  return -1;
}

Integer TcxCustomButtonGroup::GetFocusedButtonIndex() {
  for (Integer i = 0; i < GetButtonCount(); ++i)
    if (GetButton(i)->Focused()) return i;
  return -1;
}

bool TcxCustomButtonGroup::IsButtonDC(HDC ADC) {
  for (Integer i = 0; i < GetButtonCount(); ++i)
    if (GetButtonDC(i) == ADC) return true;
  return false;
}

bool TcxCustomButtonGroup::Focused() {
  return TcxCustomGroupBox::Focused() || (!FButtonsCreating && GetFocusedButtonIndex() != -1);
}

void TcxCustomButtonGroup::GetTabOrderList(std::vector<TWinControl*>& List) {
  TcxCustomGroupBox::GetTabOrderList(List);
  if (IsInplace() && GetVisible()) List.erase(std::remove(List.begin(), List.end(), GetParent()), List.end());
}

// ---------------------------------------------------------------------------
// Input.

void TcxCustomButtonGroup::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) {
  Activate(AEditData);
  if (!HandleAllocated()) return;
  TPoint p(X, Y);
  if (GetParent()) p = ScreenToClient(GetParent()->ClientToScreen(p));
  const Integer index = GetButtonIndexAt(p);
  if (index < 0 || index >= GetButtonCount()) return;
  TWinControl* button = GetButton(index);
  const LPARAM center = MAKELPARAM(button->GetWidth() / 2, button->GetHeight() / 2);
  const auto keys = static_cast<WPARAM>(ShiftStateToKeys(Shift));
  if (Shift.Contains(ssLeft)) {
    SendMessageA(button->GetHandle(), WM_LBUTTONDOWN, keys, center);
    // The press the grid saw may be over already: the button must not keep
    // a mouse nobody holds.
    if (button->HandleAllocated() && GetCapture() == button->GetHandle() && (GetKeyState(VK_LBUTTON) & 0x8000) == 0)
      ReleaseCapture();
  } else {
    SendMessageA(button->GetHandle(), WM_LBUTTONUP, keys, center);
  }
}

void TcxCustomButtonGroup::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const Integer focused = GetFocusedButtonIndex();
  if (focused < 0) return;
  const Integer count = GetButtonCount();
  const Integer perColumn = std::max(GetActiveProperties()->GetButtonsPerColumn(), 1);
  const Integer column = focused / perColumn, row = focused % perColumn;
  // A last column may hold fewer rows.
  const Integer rows = std::min(perColumn, count - (focused - row));
  Integer next = -1;
  switch (Key) {
    case VK_LEFT:
      if (column > 0) next = focused - perColumn;
      break;
    case VK_UP:
      if (row > 0) next = focused - 1;
      break;
    case VK_RIGHT:
      if (focused + perColumn < count) next = focused + perColumn;
      break;
    case VK_DOWN:
      if (row < rows - 1) next = focused + 1;
      break;
    default: break;
  }
  if (next >= 0) {
    GetButton(next)->SetFocus();
    Key = 0;
  }
  TcxCustomGroupBox::DoEditKeyDown(Key, Shift);
}

void TcxCustomButtonGroup::ButtonDragDrop(TObject* Sender, TObject* Source, Integer X, Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  DragDrop(Source, X + button->GetLeft(), Y + button->GetTop());
}

void TcxCustomButtonGroup::ButtonDragOver(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State,
                                          bool& Accept) {
  auto* button = static_cast<TControl*>(Sender);
  DragOver(Source, X + button->GetLeft(), Y + button->GetTop(), State, Accept);
}

void TcxCustomButtonGroup::ButtonKeyDown(TObject*, Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }

void TcxCustomButtonGroup::ButtonKeyPress(TObject*, char& Key) { KeyPress(Key); }

void TcxCustomButtonGroup::ButtonKeyUp(TObject*, Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }

void TcxCustomButtonGroup::ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                           Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  // The press belongs to the button: the group must not take the focus.
  SetFocusOnClickLocked(true);
  orv::ScopeExit unlock([this] { SetFocusOnClickLocked(false); });
  MouseDown(Button, Shift, X + button->GetLeft(), Y + button->GetTop());
}

void TcxCustomButtonGroup::ButtonMouseMove(TObject* Sender, TShiftState Shift, Integer X, Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  MouseMove(Shift, X + button->GetLeft(), Y + button->GetTop());
}

void TcxCustomButtonGroup::ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                         Integer Y) {
  auto* button = static_cast<TControl*>(Sender);
  MouseUp(Button, Shift, X + button->GetLeft(), Y + button->GetTop());
}

void TcxCustomButtonGroup::ButtonMouseWheel(TObject*, TShiftState, Integer, TPoint, bool& Handled) {
  Handled = false;
}
