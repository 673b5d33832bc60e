#include "library/editors/cxRadioGroup.h"

#include <algorithm>
#include <utility>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxWindowHelpers.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"

using namespace win;

ORV_REGISTER(TcxRadioGroupItem, ORV_PROP(Caption), ORV_PROP(Enabled).Default(true),
             ORV_PROP(Tag).StoredBy<&TcxButtonGroupItem::IsTagStored>(),
             ORV_PROP(Value).StoredBy<&TcxRadioGroupItem::IsValueStored>())
ORV_REGISTER(TcxRadioGroupItems)
ORV_REGISTER(TcxCustomRadioGroupProperties)
ORV_REGISTER(TcxRadioGroupProperties, ORV_PROP(AssignedValues), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(Columns).Default(1),
             ORV_PROP(DefaultCaption).StoredBy<&TcxCustomRadioGroupProperties::IsDefaultCaptionStored>(),
             ORV_PROP(DefaultValue).StoredBy<&TcxCustomRadioGroupProperties::IsDefaultValueStored>(),
             ORV_PROP(ImmediatePost).Default(false), ORV_PROP(Items),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(WordWrap).Default(false), ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged))
ORV_REGISTER(TcxCustomRadioGroupButton)
ORV_REGISTER(TcxCustomRadioGroup)
ORV_REGISTER(TcxRadioGroup, ORV_PROP(Align), ORV_PROP(Alignment).Default(alTopLeft), ORV_PROP(Anchors),
             ORV_PROP(Caption), ORV_PROP(Color).Stored(false), ORV_PROP(Constraints),
             ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(Enabled),
             ORV_PROP(Font).Stored(false), ORV_PROP(ItemIndex).Default(-1), ORV_PROP(ParentBackground).Default(true),
             ORV_PROP(ParentColor), ORV_PROP(ParentCtl3D).Default(true), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Transparent).Default(false),
             ORV_PROP(Visible), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDragDrop),
             ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock),
             ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxFilterRadioGroupHelper)

namespace {

WideString DefaultCaptionText() { return AnsiToWide(cxEditResString(cxSRadioGroupDefaultCaption)); }

bool IsLoading(TComponent* AComponent) {
  const TComponentState state = AComponent->GetComponentState();
  return state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csUpdating);
}

}  // namespace

// ---------------------------------------------------------------------------
// Items.

void TcxRadioGroupItem::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxRadioGroupItem*>(Source)) SetValue(source->FValue);
  TcxButtonGroupItem::DoAssign(Source);
}

void TcxRadioGroupItem::SetValue(const Variant& Value) {
  if (InternalVarEqualsExact(FValue, Value)) return;
  FValue = Value;
  DoChanged();
}

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomRadioGroupProperties::AfterConstruction() {
  TcxCustomButtonGroupProperties::AfterConstruction();
  FDefaultCaption = DefaultCaptionText();
}

TcxButtonGroupItems* TcxCustomRadioGroupProperties::CreateItems() {
  return New<TcxRadioGroupItems>(this, TcxRadioGroupItem::StaticClass());
}

void TcxCustomRadioGroupProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomRadioGroupProperties*>(Source);
  if (!source) {
    TcxCustomButtonGroupProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomButtonGroupProperties::DoAssign(Source);
  SetDefaultCaption(source->FDefaultCaption);
  SetDefaultValue(source->FDefaultValue);
  SetWordWrap(source->GetWordWrap());
}

TClass TcxCustomRadioGroupProperties::GetContainerClass() const { return TcxRadioGroup::StaticClass(); }
TClass TcxCustomRadioGroupProperties::GetViewDataClass() const {
  return TcxCustomRadioGroupViewData::StaticClass();
}
TClass TcxCustomRadioGroupProperties::GetViewInfoClass() const {
  return TcxCustomRadioGroupViewInfo::StaticClass();
}

Integer TcxCustomRadioGroupProperties::GetColumnCount() {
  const Integer count = std::min(GetColumns(), FItems->GetCount());
  return count == 0 ? 1 : count;
}

TcxEditSupportedOperations TcxCustomRadioGroupProperties::GetSupportedOperations() const {
  return TcxCustomButtonGroupProperties::GetSupportedOperations() +
         TcxEditSupportedOperations{esoHorzAlignment, esoSortingByDisplayText};
}

Integer TcxCustomRadioGroupProperties::GetRadioGroupItemIndex(const Variant& Value) {
  TcxRadioGroupItems* items = GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i) {
    const Variant& itemValue = items->GetItem(i)->GetValue();
    if (VarIsNull(itemValue)) {
      if (InternalCompareString(items->GetItem(i)->GetCaption(), VarToStr(Value), true)) return i;
    } else if (VarEqualsExact(Value, itemValue)) {
      return i;
    }
  }
  return -1;
}

AnsiString TcxCustomRadioGroupProperties::GetDisplayText(const Variant& AEditValue, bool, bool) {
  const Integer index = GetRadioGroupItemIndex(AEditValue);
  return index >= 0 ? GetItems()->GetItem(index)->GetCaption() : WideToAnsi(FDefaultCaption);
}

void TcxCustomRadioGroupProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  DisplayValue = Variant(GetRadioGroupItemIndex(AEditValue));
}

bool TcxCustomRadioGroupProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetRadioGroupItemIndex(AEditValue1) == GetRadioGroupItemIndex(AEditValue2);
}

void TcxCustomRadioGroupProperties::SetDefaultCaption(const WideString& Value) {
  if (FDefaultCaption == Value) return;
  FDefaultCaption = Value;
  Changed();
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& Value) {
  if (InternalVarEqualsExact(FDefaultValue, Value)) return;
  FDefaultValue = Value;
  Changed();
}

bool TcxCustomRadioGroupProperties::IsDefaultCaptionStored() const {
  return !InternalCompareString(WideToAnsi(FDefaultCaption), WideToAnsi(DefaultCaptionText()), true);
}

// ---------------------------------------------------------------------------
// The button of a group.

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(TComponent* AOwner)
    : TcxRadioButton(AOwner), FRadioGroup(dynamic_cast<TcxCustomRadioGroup*>(AOwner)) {
  if (FRadioGroup) GetLookAndFeel()->SetMasterLookAndFeel(FRadioGroup->GetStyle()->GetLookAndFeel());
}

TcxContainer* TcxCustomRadioGroupButton::GetControlContainer() { return FRadioGroup; }

Integer TcxCustomRadioGroupButton::GetIndex() const {
  if (!FRadioGroup) return -1;
  for (Integer i = 0; i < FRadioGroup->GetButtonCount(); ++i)
    if (FRadioGroup->GetButton(i) == this) return i;
  return -1;
}

bool TcxCustomRadioGroupButton::IsInplace() { return FRadioGroup && FRadioGroup->IsInplace(); }

bool TcxCustomRadioGroupButton::IsNativeBackground() { return FRadioGroup && FRadioGroup->IsNativeBackground(); }

bool TcxCustomRadioGroupButton::IsNativeStyle() { return FRadioGroup && FRadioGroup->IsButtonNativeStyle(); }

bool TcxCustomRadioGroupButton::IsTransparent() { return FRadioGroup && FRadioGroup->IsTransparent(); }

bool TcxCustomRadioGroupButton::IsTransparentBackground() {
  return TcxRadioButton::IsTransparentBackground() ||
         (FRadioGroup && FRadioGroup->GetViewInfo()->IsCustomBackground());
}

void TcxCustomRadioGroupButton::DrawBackground() {
  if (FRadioGroup && FRadioGroup->GetViewInfo()->IsCustomBackground()) {
    FRadioGroup->GetViewInfo()->DrawBackground(GetCanvas(), TPoint(GetLeft(), GetTop()));
    return;
  }
  TcxRadioButton::DrawBackground();
}

bool TcxCustomRadioGroupButton::CanFocus() { return FRadioGroup ? FRadioGroup->CanFocusEx() : TcxRadioButton::CanFocus(); }

void TcxCustomRadioGroupButton::DefaultHandler(TMessage& Message) {
  if (FRadioGroup && FRadioGroup->InnerControlDefaultHandler(Message)) return;
  TcxRadioButton::DefaultHandler(Message);
}

void TcxCustomRadioGroupButton::WndProc(TMessage& Message) {
  if (FRadioGroup) {
    if (FRadioGroup->InnerControlMenuHandler(Message)) return;
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
        FRadioGroup->GetDragMode() == dmAutomatic && !FRadioGroup->GetIsDesigning()) {
      FRadioGroup->BeginDrag(false);
      return;
    }
  }
  TcxRadioButton::WndProc(Message);
}

bool TcxCustomRadioGroupButton::ExecuteAction(TBasicAction* Action) {
  return TcxRadioButton::ExecuteAction(Action) ||
         (FRadioGroup && FRadioGroup->GetDataBinding()->ExecuteAction(Action));
}

bool TcxCustomRadioGroupButton::UpdateAction(TBasicAction* Action) {
  return TcxRadioButton::UpdateAction(Action) || (FRadioGroup && FRadioGroup->GetDataBinding()->UpdateAction(Action));
}

void TcxCustomRadioGroupButton::Click() {
  TcxRadioButton::Click();
  if (FRadioGroup && !FRadioGroup->GetIsLoading()) FRadioGroup->Click();
}

void TcxCustomRadioGroupButton::KeyPress(char& Key) {
  if ((Key == '\b' || Key == ' ') && FRadioGroup && !FRadioGroup->CanModify()) Key = 0;
  TcxRadioButton::KeyPress(Key);
}

void TcxCustomRadioGroupButton::WMGetDlgCode(TMessage& Message) {
  DispatchFrom(TcxRadioButton::StaticClass(), Message);
  // The arrows follow the group's columns, also alone: the form would walk
  // the buttons in a line and wrap.
  Message.Result |= DLGC_WANTARROWS;
  if (IsInplace()) Message.Result |= DLGC_WANTTAB;
}

void TcxCustomRadioGroupButton::WMSetFocus(TMessage& Message) {
  DispatchFrom(TcxRadioButton::StaticClass(), Message);
  if (FRadioGroup && !(FRadioGroup->HandleAllocated() &&
                       reinterpret_cast<HWND>(Message.WParam) == FRadioGroup->GetHandle()))
    FRadioGroup->FocusChanged();
}

void TcxCustomRadioGroupButton::WMKillFocus(TMessage& Message) {
  DispatchFrom(TcxRadioButton::StaticClass(), Message);
  if (FRadioGroup && !FRadioGroup->GetContainerIsDestroying() &&
      !(FRadioGroup->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == FRadioGroup->GetHandle()))
    FRadioGroup->FocusChanged();
}

void TcxCustomRadioGroupButton::DoEnter() {
  TButtonControl::DoEnter();
  if (!FRadioGroup) return;
  TcxCustomRadioGroup* group = FRadioGroup;
  group->ShortRefreshContainer(false);
  if (GetChecked() || group->FFocusingUnchosen) return;
  auto locked = ChangeEventsLocked(group);
  const bool focused = Focused();
  if (focused && !group->DoEditing()) return;
  {
    const bool user = group->GetUserAction();
    group->SetUserAction(focused);
    orv::ScopeExit restore([group, user] { group->SetUserAction(user); });
    group->SetItemIndex(GetIndex());
  }
  if (focused && group->GetActiveProperties()->GetImmediatePost() && group->CanPostEditValue() &&
      group->ValidateEdit(true))
    group->InternalPostEditValue(false);
}

void TcxCustomRadioGroupButton::DoExit() {
  TcxRadioButton::DoExit();
  if (FRadioGroup) FRadioGroup->ShortRefreshContainer(false);
}

void TcxCustomRadioGroupButton::CNCommand(TMessage& Message) {
  const Word code = Message.WParamHi();
  if (FInternalClick || !FRadioGroup || (code != BN_CLICKED && code != BN_DOUBLECLICKED))
    return DispatchFrom(TcxRadioButton::StaticClass(), Message);
  auto internal = orv::TempValue(FInternalClick, true);
  if (GetChecked()) return DispatchFrom(TcxRadioButton::StaticClass(), Message);
  TcxCustomRadioGroup* group = FRadioGroup;
  if (!group->CanModify() || !group->DoEditing()) return;
  if (code == BN_DOUBLECLICKED) return DispatchFrom(TcxRadioButton::StaticClass(), Message);
  // Checked through the group, so that its value follows the button.
  auto locked = ChangeEventsLocked(group);
  const bool user = group->GetUserAction();
  group->SetUserAction(true);
  orv::ScopeExit restore([group, user] { group->SetUserAction(user); });
  group->SetItemIndex(GetIndex());
}

// ---------------------------------------------------------------------------
// The control.

TClassRef<TcxCustomEditProperties> TcxCustomRadioGroup::GetPropertiesClass() const {
  return TcxCustomRadioGroupProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxRadioGroup::GetPropertiesClass() const {
  return TcxRadioGroupProperties::StaticClass();
}

void TcxCustomRadioGroup::Initialize() {
  TcxCustomButtonGroup::Initialize();
  TControlStyle style = GetControlStyle();
  const bool parentBackground = style.Contains(csParentBackground);
  style = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable};
  if (parentBackground) style.Include(csParentBackground);
  SetControlStyle(style);
  SetTabStop(true);
  FLoadedItemIndex = -1;
}

TWinControl* TcxCustomRadioGroup::GetButtonInstance() { return New<TcxCustomRadioGroupButton>(this); }

HDC TcxCustomRadioGroup::GetButtonDC(Integer AIndex) {
  TCanvas* canvas = GetRadioButton(AIndex)->GetCanvas()->GetCanvas();
  return canvas->HandleAllocated() ? canvas->GetHandle() : nullptr;
}

bool TcxCustomRadioGroup::IsButtonNativeStyle() {
  return AreVisualStylesMustBeUsed(GetStyle()->GetLookAndFeel()->GetNativeStyle(), totButton);
}

Integer TcxCustomRadioGroup::GetItemIndex() {
  if (IsLoading(this) || GetIsDesigning()) return FLoadedItemIndex;
  return GetCheckedButtonIndex();
}

Integer TcxCustomRadioGroup::GetCheckedButtonIndex() {
  for (Integer i = 0; i < GetButtonCount(); ++i)
    if (GetRadioButton(i)->GetChecked()) return i;
  return -1;
}

void TcxCustomRadioGroup::SetItemIndex(Integer Value) {
  const bool loading = IsLoading(this);
  if (!loading) {
    Value = std::clamp(Value, -1, GetButtonCount() - 1);
    Variant editValue;
    PrepareEditValue(Variant(Value), editValue, InternalFocused());
    SetInternalValues(editValue, true, Value);
  }
  if (loading || GetIsDesigning()) FLoadedItemIndex = Value;
}

void TcxCustomRadioGroup::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  const Integer index = VarIsNull(ADisplayValue) ? -1 : ADisplayValue.AsInteger();
  TcxRadioGroupItems* items = GetActiveProperties()->GetItems();
  if (index < 0 || index >= items->GetCount()) {
    EditValue = GetActiveProperties()->GetDefaultValue();
    return;
  }
  TcxRadioGroupItem* item = items->GetItem(index);
  EditValue = VarIsNull(item->GetValue()) ? Variant(item->GetCaption()) : item->GetValue();
}

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& Value, bool AValidateEdit) {
  SetInternalValues(Value, AValidateEdit, GetActiveProperties()->GetRadioGroupItemIndex(Value));
}

void TcxCustomRadioGroup::SetInternalValues(const Variant& AEditValue, bool, Integer AItemIndex) {
  {
    auto locked = ChangeEventsLocked(this);
    // The user's change was agreed to before it came here (DoEditing in the
    // button's enter or in SetEditValue); it is not asked twice.
    const bool changed = !InternalVarEqualsExact(AEditValue, FEditValue);
    FEditValue = AEditValue;
    SynchronizeDisplayValue();
    if (FUserAction)
      SetModifiedAfterEnter(true);
    else
      SetModified(false);
    if (changed) DoEditValueChanged();

    const Integer checked = GetCheckedButtonIndex();
    // The windows follow the items only once UpdateButtons has run: an
    // index they do not reach checks none, and UpdateButtons checks the
    // right one later.
    const Integer index = AItemIndex >= 0 && AItemIndex < GetButtonCount() ? AItemIndex : -1;
    FCheckPending = AItemIndex >= GetButtonCount();
    if (checked == index) {
      if (!FUserAction) SetModified(false);
    } else {
      if (index >= 0)
        GetRadioButton(index)->SetChecked(true);
      else
        GetRadioButton(checked)->SetChecked(false);
      if (IsLoading(this) || GetIsDesigning()) FLoadedItemIndex = AItemIndex;
      DoChange();
    }
  }
  ShortRefreshContainer(false);
}

void TcxCustomRadioGroup::CheckButton(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetButtonCount() || GetRadioButton(AIndex)->GetChecked()) return;
  LockClick(true);
  orv::ScopeExit unlock([this] { LockClick(false); });
  GetRadioButton(AIndex)->SetChecked(true);
}

void TcxCustomRadioGroup::Activate(TcxCustomEditData*& AEditData) {
  TcxCustomButtonGroup::Activate(AEditData);
  if (GetButtonCount() == 0) return;
  const Integer chosen = GetItemIndex();
  const Integer index = std::max(chosen, 0);
  if (index >= GetButtonCount() || !GetRadioButton(index)->CanFocus()) return;
  // With no item chosen the first button only takes the focus: opening the
  // cell chooses nothing, as Tab passing the group chooses nothing. The
  // value stays until the user picks an item.
  auto unchosen = orv::TempValue(FFocusingUnchosen, chosen < 0);
  GetRadioButton(index)->SetFocus();
}

void TcxCustomRadioGroup::ActivateByKey(char AKey, TcxCustomEditData*& AEditData) {
  TcxCustomButtonGroup::ActivateByKey(AKey, AEditData);
  if (AKey != ' ' || GetItemIndex() >= 0 || !CanModify()) return;
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TcxCustomRadioGroupButton* button = GetRadioButton(i);
    if (!button->Focused()) continue;
    if (button->HandleAllocated()) SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    return;
  }
}

void TcxCustomRadioGroup::Loaded() {
  TcxCustomButtonGroup::Loaded();
  AfterLoading();
}

void TcxCustomRadioGroup::AfterLoading() {
  {
    LockChangeEvents(true);
    LockClick(true);
    orv::ScopeExit unlock([this] {
      LockClick(false);
      LockChangeEvents(false, false);
    });
    if (!IsDBEdit()) InternalSetEditValue(GetActiveProperties()->GetDefaultValue(), false);
    SetItemIndex(FLoadedItemIndex);
  }
  UpdateButtons();
}

void TcxCustomRadioGroup::UpdateButtons() {
  const Integer index = GetItemIndex();
  TcxCustomButtonGroup::UpdateButtons();
  if (IsLoading(this) || GetContainerIsDestroying()) return;
  if (std::exchange(FCheckPending, false))
    CheckButton(GetActiveProperties()->GetRadioGroupItemIndex(FEditValue));
  else if (index >= 0)
    SetItemIndex(index);
  TcxRadioGroupItems* items = GetActiveProperties()->GetItems();
  const bool wordWrap = GetActiveProperties()->GetWordWrap();
  for (Integer i = 0; i < GetButtonCount() && i < items->GetCount(); ++i) {
    GetRadioButton(i)->SetCaption(items->GetItem(i)->GetCaption());
    GetRadioButton(i)->SetWordWrap(wordWrap);
  }
}

void TcxCustomRadioGroup::SynchronizeButtonsStyle() {
  TcxCustomButtonGroup::SynchronizeButtonsStyle();
  TcxButtonGroupViewInfo* info = GetViewInfo();
  if (info->GetButtonCount() == 0) return;
  TcxLookAndFeelKind kind;
  switch (info->ButtonInfos[0]->ButtonStyle) {
    case btsFlat: kind = lfFlat; break;
    case btsUltraFlat: kind = lfUltraFlat; break;
    case btsOffice11: kind = lfOffice11; break;
    default: kind = lfStandard; break;
  }
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    TcxCustomRadioGroupButton* button = GetRadioButton(i);
    button->GetLookAndFeel()->SetKind(kind);
    button->SetTransparent(GetTransparent());
  }
}

// A disabled button takes the text colour of the disabled style.
TColor TcxCustomRadioGroup::GetButtonTextColor(Integer AIndex) {
  if (!GetButton(AIndex)->GetEnabled()) return GetStyleDisabled()->GetTextColor();
  return TcxCustomButtonGroup::GetButtonTextColor(AIndex);
}

void TcxCustomRadioGroup::ArrangeButtons() {
  TcxCustomButtonGroup::ArrangeButtons();
  TcxButtonGroupViewInfo* info = GetViewInfo();
  if (info->GetButtonCount() != GetButtonCount()) return;
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    GetRadioButton(i)->Column = info->GetButton(i)->Column;
    GetRadioButton(i)->Row = info->GetButton(i)->Row;
  }
}

void TcxCustomRadioGroup::GetTabOrderList(std::vector<TWinControl*>& List) {
  TcxCustomButtonGroup::GetTabOrderList(List);
  List.erase(std::remove(List.begin(), List.end(), static_cast<TWinControl*>(this)), List.end());
  if (!(GetTabStop() || Focused()) || GetItemIndex() == -1) return;
  for (TWinControl* button : FButtons)
    if (button->GetEnabled() && std::find(List.begin(), List.end(), button) == List.end()) List.push_back(button);
}

bool TcxCustomRadioGroup::IsContainerFocused() {
  if (GetFocusedButtonIndex() != -1) return false;
  return Focused();
}

bool TcxCustomRadioGroup::IsInternalControl(TControl* AControl) {
  if (!AControl) return false;
  return TcxCustomButtonGroup::IsInternalControl(AControl) ||
         std::find(FButtons.begin(), FButtons.end(), AControl) != FButtons.end();
}

void TcxCustomRadioGroup::SetDragMode(TDragMode Value) {
  TcxCustomButtonGroup::SetDragMode(Value);
  for (TWinControl* button : FButtons) button->SetDragMode(Value);
}

void TcxCustomRadioGroup::SetDragKind(TDragKind Value) {
  TcxCustomButtonGroup::SetDragKind(Value);
  for (TWinControl* button : FButtons) button->SetDragKind(Value);
}

void TcxCustomRadioGroup::ParentBackgroundChanged() {
  TcxCustomButtonGroup::ParentBackgroundChanged();
  for (TWinControl* button : FButtons) button->SetParentBackground(GetParentBackground());
}

void TcxCustomRadioGroup::FlipChildren(bool) {}

void TcxCustomRadioGroup::GetChildren(TGetChildProc, TComponent*) {}

void TcxCustomRadioGroup::Resize() {
  TcxCustomButtonGroup::Resize();
  if (GetIsDesigning() && IsNativeBackground()) Invalidate();
}

void TcxCustomRadioGroup::CMCtl3DChanged(TMessage& Message) {
  DispatchFrom(TcxCustomButtonGroup::StaticClass(), Message);
  ShortRefreshContainer(false);
}

void TcxCustomRadioGroup::DXMFocusRadioButton(TMessage& Message) {
  const auto index = static_cast<Integer>(Message.WParam);
  if (index < 0 || index >= GetButtonCount()) return;
  if (GetRadioButton(index)->CanFocus()) GetRadioButton(index)->SetFocus();
}

// ---------------------------------------------------------------------------
// The filter builder's helper.

TcxFilterControlOperators TcxFilterRadioGroupHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                 TcxValueTypeClass,
                                                                                 bool AExtendedSet) const {
  TcxFilterControlOperators result{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks};
  if (AExtendedSet) result += TcxFilterControlOperators{fcoInList, fcoNotInList};
  return result;
}

void TcxFilterRadioGroupHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                     TcxCustomEditProperties* AEditProperties,
                                                     bool AHasButtons) const {
  TcxFilterComboBoxHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(AEditProperties);
  TStrings* items = radio ? FixedList(AProperties) : nullptr;
  if (!items) return;
  for (Integer i = 0; i < radio->GetItems()->GetCount(); ++i) items->Add(radio->GetItems()->GetItem(i)->GetCaption());
}

void TcxFilterRadioGroupHelper::GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                               Variant& V, AnsiString& S) const {
  auto* combo = dynamic_cast<TcxCustomComboBox*>(AEdit);
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(AEditProperties);
  if (!radio) {
    V = Null();
    S.clear();
    return;
  }
  const Integer index = combo ? combo->GetItemIndex() : -1;
  if (index < 0 || index >= radio->GetItems()->GetCount()) {
    V = radio->GetDefaultValue();
    S = WideToAnsi(radio->GetDefaultCaption());
    return;
  }
  TcxRadioGroupItem* item = radio->GetItems()->GetItem(index);
  V = item->GetValue();
  S = item->GetCaption();
}

void TcxFilterRadioGroupHelper::SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                               const Variant& AValue) const {
  auto* combo = dynamic_cast<TcxCustomComboBox*>(AEdit);
  auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(AEditProperties);
  if (!combo || !radio) return;
  Variant display;
  radio->PrepareDisplayValue(AValue, display, false);
  combo->SetItemIndex(display.AsInteger());
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer RadioGroupStartCount = 0;
}

void cxRadioGroupInitialize() {
  if (RadioGroupStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxRadioGroupProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryRadioGroupItem));
  FilterEditsController()->Register(TcxRadioGroupProperties::StaticClass(), TcxFilterRadioGroupHelper::StaticClass());
}

void cxRadioGroupFinalize() {
  if (RadioGroupStartCount == 0 || --RadioGroupStartCount > 0) return;
  FilterEditsController()->Unregister(TcxRadioGroupProperties::StaticClass(),
                                      TcxFilterRadioGroupHelper::StaticClass());
}
