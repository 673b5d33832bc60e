#include "library/editors/core/cxComboBox.h"

#include <algorithm>
#include <climits>

#include "library/foundation/cxControls.h"
#include "library/foundation/cxGeometry.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TcxCustomComboBoxProperties)
ORV_REGISTER(TcxComboBoxProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false),
             ORV_PROP(ButtonGlyph), ORV_PROP(CaseInsensitive).Default(true), ORV_PROP(CharCase).Default(ecNormal),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(DropDownAutoWidth).Default(true),
             ORV_PROP(DropDownListStyle).Default(lsEditList), ORV_PROP(DropDownRows).Default(8),
             ORV_PROP(DropDownSizeable).Default(false), ORV_PROP(DropDownWidth).Default(0),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(IgnoreMaskBlank).Default(false),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(ImmediateDropDown).Default(true),
             ORV_PROP(ImmediatePost).Default(false), ORV_PROP(ImmediateUpdateText).Default(false),
             ORV_PROP(IncrementalSearch).Default(true), ORV_PROP(ItemHeight).Default(0), ORV_PROP(Items),
             ORV_PROP(MaskKind).Default(emkStandard), ORV_PROP(EditMask),
             ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
             ORV_PROP(OEMConvert).Default(false), ORV_PROP(PopupAlignment).Default(taLeftJustify),
             ORV_PROP(PostPopupValueOnTab).Default(false),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(Revertable).Default(false), ORV_PROP(Sorted),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_EVENT(OnChange), ORV_EVENT(OnCloseUp),
             ORV_EVENT(OnDrawItem), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitPopup),
             ORV_EVENT(OnMeasureItem), ORV_EVENT(OnNewLookupDisplayText), ORV_EVENT(OnPopup), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomComboBoxViewData)
ORV_REGISTER(TcxCustomComboBoxViewInfo)
ORV_REGISTER(TcxComboBoxPopupWindow)
ORV_REGISTER(TcxCustomComboBoxListBox)
ORV_REGISTER(TcxComboBoxListBox)
ORV_REGISTER(TcxComboBoxLookupData)
ORV_REGISTER(TcxCustomComboBoxInnerEdit)
ORV_REGISTER(TcxCustomComboBox)
ORV_REGISTER(TcxComboBox)
ORV_REGISTER(TcxFilterComboBoxHelper)

// --- properties ----------------------------------------------------------------------------

void TcxCustomComboBoxProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomComboBoxProperties*>(Source);
  if (!source) return inherited::DoAssign(Source);
  BeginUpdate();
  auto end = orv::ScopeExit([this] { EndUpdate(); });
  inherited::DoAssign(Source);
  SetDropDownListStyle(source->FDropDownListStyle);
  SetDropDownRows(source->FDropDownRows);
  SetItemHeight(source->FItemHeight);
  FRevertable = source->FRevertable;
  OnDrawItem = source->OnDrawItem;
  OnMeasureItem = source->OnMeasureItem;
}

TClass TcxCustomComboBoxProperties::GetContainerClass() const { return TcxComboBox::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetViewDataClass() const { return TcxCustomComboBoxViewData::StaticClass(); }
TClass TcxCustomComboBoxProperties::GetViewInfoClass() const { return TcxCustomComboBoxViewInfo::StaticClass(); }

TClass TcxCustomComboBoxProperties::GetLookupDataClass() const { return TcxComboBoxLookupData::StaticClass(); }

TClassRef<TcxCustomEditPopupWindow> TcxCustomComboBoxProperties::GetPopupWindowClass() const {
  return TcxComboBoxPopupWindow::StaticClass();
}

TcxEditEditingStyle TcxCustomComboBoxProperties::GetEditingStyle() const {
  switch (FDropDownListStyle) {
    case lsEditFixedList: return esEditList;
    case lsFixedList: return esFixedList;
    default: return esEdit;
  }
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle Value) {
  if (Value == FDropDownListStyle) return;
  FDropDownListStyle = Value;
  Changed();
}

void TcxCustomComboBoxProperties::SetDropDownRows(Integer Value) {
  if (Value < 1 || Value == FDropDownRows) return;
  FDropDownRows = Value;
  Changed();
}

void TcxCustomComboBoxProperties::SetItemHeight(Integer Value) {
  if (Value == FItemHeight) return;
  FItemHeight = Value;
  Changed();
}

// --- popup window ------------------------------------------------------------------------------

// --- the text area drawn by the item drawing ----------------------------------

bool TcxCustomComboBoxViewData::DrawsItems() const {
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  if (properties->GetDropDownListStyle() != lsFixedList) return false;
  auto* combo = Edit ? dynamic_cast<TcxCustomComboBox*>(Edit->GetEditControl()) : nullptr;
  return combo ? combo->IsOnDrawItemEventAssigned() : static_cast<bool>(properties->OnDrawItem);
}

void TcxCustomComboBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton, TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  inherited::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = dynamic_cast<TcxCustomComboBoxViewInfo*>(AViewInfo);
  auto* combo = Edit ? dynamic_cast<TcxCustomComboBox*>(Edit->GetEditControl()) : nullptr;
  if (info && combo) info->SetItemIndex(DrawsItems() ? combo->GetItemIndex() : -1);
}

void TcxCustomComboBoxViewData::EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  inherited::EditValueToDrawValue(ACanvas, AValue, AViewInfo);
  auto* info = dynamic_cast<TcxCustomComboBoxViewInfo*>(AViewInfo);
  if (!info) return;
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  info->SetItemIndex(DrawsItems() ? properties->GetItems()->IndexOf(VarToStr(AValue)) : -1);
}

void TcxCustomComboBoxViewInfo::Assign(TObject* Source) {
  inherited::Assign(Source);
  if (auto* source = dynamic_cast<TcxCustomComboBoxViewInfo*>(Source)) SetItemIndex(source->FItemIndex);
}

void TcxCustomComboBoxViewInfo::SetItemIndex(Integer Value) {
  FItemIndex = Value;
  if (Value == -1)
    CustomDrawHandler = {};
  else
    CustomDrawHandler = TcxTextEditCustomDrawHandler::Bind<&TcxCustomComboBoxViewInfo::DoCustomDraw>(this);
}

void TcxCustomComboBoxViewInfo::DoCustomDraw(TcxCanvas* ACanvas, const TRect& ARect) {
  TOwnerDrawState state{odComboBoxEdit};
  if (Focused) state += TOwnerDrawState{odSelected, odFocused};
  if (Font) ACanvas->SetFont(Font);
  const bool selected = state.Contains(odSelected);
  ACanvas->SetBrushColor(selected ? clHighlight : BackgroundColor);
  ACanvas->GetFont()->SetColor(selected ? clHighlightText : TextColor);
  auto* combo = Edit ? dynamic_cast<TcxCustomComboBox*>(Edit->GetEditControl()) : nullptr;
  if (combo) {
    combo->DoOnDrawItem(ACanvas, FItemIndex, ARect, state);
  } else if (auto* properties = dynamic_cast<TcxCustomComboBoxProperties*>(EditProperties)) {
    if (properties->OnDrawItem) properties->OnDrawItem(nullptr, ACanvas, FItemIndex, ARect, state);
  }
}

void TcxComboBoxPopupWindow::CalculateSize() {
  TcxCustomEditPopupWindowViewInfo* viewInfo = GetViewInfo();
  viewInfo->SizingCorner = ecoBottomRight;
  auto* edit = dynamic_cast<TcxCustomComboBox*>(GetOwnerControl());
  if (edit) SetOwnerBounds(edit->GetPopupWindowOwnerControlBounds());
  const TRect extent = viewInfo->GetClientExtent();
  const TSize minSize = GetMinSize();
  const TSize preferred = edit ? edit->GetPopupWindowClientPreferredSize() : TSize();
  const bool remembered = edit && edit->IsPopupSizeRemembered();
  const bool sizeable = GetSizeable(), autoSize = GetPopupAutoSize();
  const Integer ownerWidth = GetOwnerBounds().Width();

  Integer width;
  if ((sizeable && remembered) || (!autoSize && GetPopupWidth() >= 1))
    width = GetPopupWidth();
  else if (autoSize)
    width = std::max(preferred.cx + extent.Left + extent.Right, ownerWidth);
  else
    width = ownerWidth;
  if (sizeable && GetMinWidth() > 0) width = std::max(width, GetMinWidth());
  width = std::max(width, minSize.cx);

  // A height of 0 asks for the list's own height, even where a remembered
  // size holds the width: a reset height must not open a list of no rows.
  Integer height;
  if (GetPopupHeight() != 0 && (sizeable || !autoSize)) {
    height = GetPopupHeight();
    if (sizeable && GetMinHeight() >= 1) height = std::max(height, GetMinHeight());
  } else {
    height = preferred.cy + extent.Top + extent.Bottom;
    if (sizeable && GetMinHeight() > 0) height = std::max(height, GetMinHeight());
  }
  height = std::max(height, minSize.cy);

  SetBounds(GetLeft(), GetTop(), width, height);
}

// --- list box --------------------------------------------------------------------------------------

TcxCustomComboBoxListBox::TcxCustomComboBoxListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TcxCustomComboBox* TcxCustomComboBoxListBox::GetComboBox() { return dynamic_cast<TcxCustomComboBox*>(GetEdit()); }

Integer TcxCustomComboBoxListBox::GetHeight(Integer ARowCount) {
  Integer height = 0;
  for (Integer i = 0; i < ARowCount; ++i) height += GetItemHeight(i);
  return height;
}

AnsiString TcxCustomComboBoxListBox::GetItem(Integer AIndex) {
  TcxCustomComboBox* combo = GetComboBox();
  TcxComboBoxLookupData* lookup = combo ? combo->GetLookupData() : nullptr;
  return lookup && AIndex >= 0 && AIndex < lookup->GetItemCount() ? lookup->GetItem(AIndex) : AnsiString();
}

// A selection by the keys keeps the highlight where it went although the
// pointer rests over another row.
void TcxCustomComboBoxListBox::SetItemIndex(Integer Value) {
  if (!FInMouseMove)
    if (TcxCustomComboBox* combo = GetComboBox()) combo->IgnoreNextListMouseMove = true;
  inherited::SetItemIndex(Value);
}

bool TcxCustomComboBoxListBox::DoDrawItem(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  TcxCustomComboBox* combo = GetComboBox();
  if (!combo || !combo->IsOnDrawItemEventAssigned()) return false;
  combo->DoOnDrawItem(GetcxCanvas(), AIndex, ARect, AState);
  return true;
}

void TcxCustomComboBoxListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomComboBox* combo = GetComboBox();
  if (combo && combo->IgnoreNextListMouseMove) {
    combo->IgnoreNextListMouseMove = false;
    return;
  }
  FInMouseMove = true;
  auto done = orv::ScopeExit([this] { FInMouseMove = false; });
  inherited::MouseMove(Shift, X, Y);
}

Integer TcxComboBoxListBox::GetItemHeight(Integer AIndex) {
  TcxCustomComboBox* combo = GetComboBox();
  Integer height = combo && combo->GetActiveProperties()->GetItemHeight() >= 1
                       ? combo->GetActiveProperties()->GetItemHeight()
                       : inherited::GetItemHeight(AIndex);
  if (combo && AIndex >= 0 && combo->IsOnMeasureItemEventAssigned()) combo->DoOnMeasureItem(AIndex, height);
  return RowHeightInList(height);
}

// The corner between the two scroll bars belongs to the frame, which a
// change of size in the open popup may leave as it was: paint it again.
void TcxComboBoxListBox::Resize() {
  inherited::Resize();
  TcxCustomComboBox* combo = GetComboBox();
  if (!combo || !combo->GetDroppedDown() || !HandleAllocated()) return;
  const LONG style = GetWindowLongA(GetHandle(), GWL_STYLE);
  if (!(style & WS_VSCROLL) || !(style & WS_HSCROLL)) return;
  const TPoint corner = ClientToScreen(TPoint(GetClientWidth(), GetClientHeight()));
  HRGN region = CreateRectRgn(corner.X, corner.Y, corner.X + GetSystemMetrics(SM_CXVSCROLL),
                              corner.Y + GetSystemMetrics(SM_CYHSCROLL));
  SendMessageA(GetHandle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
  DeleteObject(region);
}

void TcxComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint(X, Y), true);
  if (index < 0) return;
  if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
  SetItemIndex(index);
  if (TcxCustomComboBox* combo = GetComboBox()) combo->CloseUp(crEnter);
}

void TcxComboBoxListBox::RecreateWindow() {
  TcxCustomComboBox* combo = GetComboBox();
  SetStyle(combo && combo->IsOnMeasureItemEventAssigned() ? lbOwnerDrawVariable : lbOwnerDrawFixed);
  TcxCustomInnerListBox::SetItemHeight(GetItemHeight(-1));
}

// --- lookup data ---------------------------------------------------------------------------------

void TcxComboBoxLookupData::Initialize(TWinControl* AVisualControlsParent) {
  inherited::Initialize(AVisualControlsParent);
  TcxCustomEditListBox* list = GetList();
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(GetEdit());
  if (!list || !edit) return;
  TcxContainerStyle* style = edit->GetActiveStyle();
  list->SetColor(style->GetColor());
  list->SetFont(style->GetVisibleFont());
  list->GetCanvas()->SetFont(style->GetVisibleFont());
  list->GetLookAndFeel()->SetMasterLookAndFeel(edit->GetPopupLookAndFeel());
  if (auto* comboList = dynamic_cast<TcxComboBoxListBox*>(list)) comboList->RecreateWindow();
}

TSize TcxComboBoxLookupData::GetVisualAreaPreferredSize(Integer, Integer AMaxWidth) {
  auto* list = dynamic_cast<TcxCustomComboBoxListBox*>(GetList());
  auto* properties = dynamic_cast<TcxCustomComboBoxProperties*>(GetProperties());
  if (!list || !properties) return TSize(0, 0);
  const Integer count = GetItemCount();
  const Integer rows = std::min(count, properties->GetDropDownRows());
  Integer height = list->GetHeight(rows);
  Integer width = 0;
  for (Integer i = 0; i < count; ++i) width = std::max(width, list->GetItemWidth(i));
  width += 4;
  list->SetScrollWidth(0);
  list->SetScrollWidth(width);
  if (count > properties->GetDropDownRows()) width += GetSystemMetrics(SM_CXVSCROLL);
  // Wider than the room: the list scrolls sideways instead.
  if (AMaxWidth >= 1 && width > AMaxWidth) {
    height += GetSystemMetrics(SM_CYHSCROLL);
    width = AMaxWidth;
  }
  return TSize(width, height);
}

bool TcxComboBoxLookupData::CanResizeVisualArea(TSize& NewSize, Integer AMaxHeight, Integer) {
  TcxCustomEditListBox* list = GetList();
  if (!list) return true;
  if (NewSize.cx == list->GetWidth() && NewSize.cy == list->TControl::GetHeight()) return true;
  const Integer maxHeight = AMaxHeight > 0 ? AMaxHeight : INT_MAX;
  const Integer target = std::min(NewSize.cy, maxHeight);
  const bool growing = NewSize.cy >= list->TControl::GetHeight();
  const Integer count = GetItemCount();
  const Integer scrollBar = GetSystemMetrics(SM_CXVSCROLL);
  // The vertical bar shows when the rows do not all fit.
  bool vertical = false;
  for (Integer i = 0, sum = 0; i < count; ++i) {
    sum += list->GetItemHeight(i);
    if (sum > target) {
      vertical = true;
      break;
    }
  }
  const bool horizontal = list->GetScrollWidth() > NewSize.cx - (vertical ? scrollBar : 0);
  Integer height = horizontal ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  for (Integer i = 0; i < count; ++i) {
    const Integer row = list->GetItemHeight(i);
    if (height + row > target) {
      // A row cut by the new edge stays when shrinking.
      if (!growing && height < target && height + row <= maxHeight) height += row;
      break;
    }
    height += row;
  }
  NewSize.cy = std::min(height, maxHeight);
  if (vertical) NewSize.cx = std::max(NewSize.cx, scrollBar + (horizontal ? scrollBar : 0));
  return true;
}

// --- editor ------------------------------------------------------------------------------------------

TClassRef<TcxCustomEditProperties> TcxCustomComboBox::GetPropertiesClass() const {
  return TcxCustomComboBoxProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxComboBox::GetPropertiesClass() const {
  return TcxComboBoxProperties::StaticClass();
}

namespace {
// Forgets a pending click before the platform sees the release.
void ForgetClick(TControl* AControl) {
  TControlState state = AControl->GetControlState();
  state.Exclude(csClicked);
  AControl->SetControlState(state);
}
}  // namespace

void TcxCustomComboBoxInnerEdit::WMLButtonUp(TMessage& Message) {
  ForgetClick(this);
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxCustomComboBox::ResetPopupHeight() {
  if (GetActiveProperties()->GetPopupSizeable() && IsInplace()) {
    if (TcxCustomDropDownEditData* data = GetDropDownEditData()) data->Height = 0;
  } else {
    GetProperties()->SetPopupHeight(0);
  }
}

TClassRef<TWinControl> TcxCustomComboBox::GetInnerEditClass() const {
  return TcxCustomComboBoxInnerEdit::StaticClass();
}

void TcxCustomComboBox::WMLButtonUp(TMessage& Message) {
  ForgetClick(this);
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxCustomComboBox::Initialize() {
  inherited::Initialize();
  // Clicks come from item changes only.
  TControlStyle style = GetControlStyle();
  style.Exclude(csClickEvents);
  SetControlStyle(style);
}

void TcxCustomComboBox::Activate(TcxCustomEditData*& AEditData) {
  inherited::Activate(AEditData);
  if (IcxTextEditLookupData* lookup = GetILookupData()) lookup->TextChanged();
}

bool TcxCustomComboBox::CanDropDown() {
  IcxTextEditLookupData* lookup = GetILookupData();
  return lookup && !lookup->IsEmpty();
}

void TcxCustomComboBox::InitializePopupWindow() {
  inherited::InitializePopupWindow();
  // A list the user may size gets the panel with the grip.
  GetPopupWindow()->SetSysPanelStyle(GetActiveProperties()->GetPopupSizeable());
}

TSize TcxCustomComboBox::GetPopupWindowClientPreferredSize() {
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  IcxTextEditLookupData* lookup = GetILookupData();
  if (!popup || !lookup) return TSize(0, 0);
  const TRect extent = popup->GetViewInfo()->GetClientExtent();
  TRect bounds = GetPopupWindowOwnerControlBounds();
  if (GetParent() && HandleAllocated() && (GetWindowLongA(GetHandle(), GWL_STYLE) & WS_CHILD)) {
    const TPoint topLeft = GetParent()->ClientToScreen(bounds.TopLeft());
    bounds = TRect(topLeft.X, topLeft.Y, topLeft.X + bounds.Width(), topLeft.Y + bounds.Height());
  }
  const TRect area = GetDesktopWorkArea(TPoint(bounds.Left, bounds.Bottom));
  const Integer vertical = extent.Top + extent.Bottom;
  const Integer above = bounds.Top - area.Top - vertical - (popup->GetShadow() ? 3 : 0);
  const Integer below = area.Bottom - bounds.Bottom - vertical;
  const Integer maxHeight = std::max(above, below);
  const Integer horizontal = extent.Left + extent.Right;
  TcxCustomComboBoxProperties* properties = GetActiveProperties();
  Integer maxWidth;
  if (properties->GetPopupSizeable() || properties->GetDropDownAutoWidth())
    maxWidth = area.Width() - horizontal;
  else
    maxWidth = (properties->GetPopupWidth() < 1 ? bounds.Width() : properties->GetPopupWidth()) - horizontal;
  return lookup->GetVisualAreaPreferredSize(maxHeight, maxWidth);
}

bool TcxCustomComboBox::CanSynchronizeLookupData() {
  if (FSettingItemText) return false;
  if (HasPopupWindow()) return true;
  if (!GetActiveProperties()->CanIncrementalSearch() && IsShowRequestQueued()) return true;
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  return style == esEditList || style == esFixedList;
}

void TcxCustomComboBox::HandleSelectItem(TObject* Sender) {
  FSettingItemText = true;
  auto done = orv::ScopeExit([this] { FSettingItemText = false; });
  inherited::HandleSelectItem(Sender);
}

void TcxCustomComboBox::ChangeHandler(TObject* Sender) {
  IcxTextEditLookupData* lookup = GetILookupData();
  const Variant previous = lookup ? lookup->GetCurrentKey() : Variant();
  LockClick(true);
  {
    auto unlock = orv::ScopeExit([this] { LockClick(false); });
    inherited::ChangeHandler(Sender);
    if (lookup && CanSynchronizeLookupData()) lookup->TextChanged();
  }
  if (lookup && !InternalVarEqualsExact(previous, lookup->GetCurrentKey())) DoClick();
}

void TcxCustomComboBox::DblClick() {
  inherited::DblClick();
  IcxTextEditLookupData* lookup = GetILookupData();
  if (!lookup) return;
  LockChangeEvents(true);
  auto unlock = orv::ScopeExit([this] { LockChangeEvents(false); });
  if (!HasPopupWindow() && GetActiveProperties()->GetRevertable()) {
    const Variant previous = lookup->GetCurrentKey();
    lookup->Go(egdNext, true);
    if (!InternalVarEqualsExact(previous, lookup->GetCurrentKey()) && CanPostEditValue() &&
        GetActiveProperties()->GetImmediatePost() && ValidateEdit(true))
      InternalPostEditValue(false);
  }
}

// Dragging from the pressed editor into the open list moves the highlight.
void TcxCustomComboBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  IcxTextEditLookupData* lookup = GetILookupData();
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  if (!lookup || !HasPopupWindow() || !HandleAllocated() || GetCapture() != GetHandle()) return;
  const TPoint screen = ClientToScreen(TPoint(X, Y));
  if (!cxRectPtIn(popup->GetBoundsRect(), screen) || !lookup->IsMouseOverList(screen)) return;
  TWinControl* list = lookup->GetActiveControl();
  if (!list || !list->HandleAllocated()) return;
  const TPoint p = list->ScreenToClient(screen);
  SendMessageA(list->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
}

void TcxCustomComboBox::PopupWindowShowed(TObject* Sender) {
  inherited::PopupWindowShowed(Sender);
  IcxTextEditLookupData* lookup = GetILookupData();
  TPoint cursor;
  if (lookup && win::GetCursorPos(&cursor) && lookup->IsMouseOverList(cursor))
    IgnoreNextListMouseMove = true;
}

Integer TcxCustomComboBox::GetSelectedItem() const {
  TcxComboBoxLookupData* lookup = GetLookupData();
  return lookup && lookup->GetList() ? lookup->GetList()->GetItemIndex() : -1;
}

void TcxCustomComboBox::SetSelectedItem(Integer Value) {
  TcxComboBoxLookupData* lookup = GetLookupData();
  if (lookup && lookup->GetList()) lookup->GetList()->SetItemIndex(Value);
}

void TcxCustomComboBox::DoOnDrawItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect,
                                     TOwnerDrawState AState) {
  if (GetProperties()->OnDrawItem) GetProperties()->OnDrawItem(this, ACanvas, AIndex, ARect, AState);
  if (GetRepositoryItem() && GetActiveProperties() != GetProperties() && GetActiveProperties()->OnDrawItem)
    GetActiveProperties()->OnDrawItem(this, ACanvas, AIndex, ARect, AState);
}

void TcxCustomComboBox::DoOnMeasureItem(Integer AIndex, Integer& AHeight) {
  if (GetProperties()->OnMeasureItem) GetProperties()->OnMeasureItem(this, AIndex, AHeight);
  if (GetRepositoryItem() && GetActiveProperties() != GetProperties() && GetActiveProperties()->OnMeasureItem)
    GetActiveProperties()->OnMeasureItem(this, AIndex, AHeight);
}

bool TcxCustomComboBox::IsOnDrawItemEventAssigned() const {
  return GetProperties()->OnDrawItem.Assigned() || GetActiveProperties()->OnDrawItem.Assigned();
}

bool TcxCustomComboBox::IsOnMeasureItemEventAssigned() const {
  return GetProperties()->OnMeasureItem.Assigned() || GetActiveProperties()->OnMeasureItem.Assigned();
}

// --- filter helper ----------------------------------------------------------------------------------

TClass TcxFilterComboBoxHelper::GetFilterEditClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterComboBoxHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties,
                                                   bool AHasButtons) const {
  inherited::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* properties = dynamic_cast<TcxCustomComboBoxProperties*>(AProperties);
  if (!properties) return;
  properties->SetButtonGlyph(nullptr);
  properties->SetDropDownRows(8);
  properties->SetDropDownListStyle(lsEditList);
  properties->SetImmediateDropDown(false);
  properties->SetPopupAlignment(taLeftJustify);
  properties->SetRevertable(false);
}

TStrings* TcxFilterComboBoxHelper::FixedList(TcxCustomEditProperties* AProperties) {
  auto* properties = dynamic_cast<TcxCustomComboBoxProperties*>(AProperties);
  if (!properties) return nullptr;
  properties->SetIDefaultValuesProvider(nullptr);
  properties->SetDropDownListStyle(lsFixedList);
  TStrings* items = properties->GetItems();
  items->Clear();
  return items;
}
