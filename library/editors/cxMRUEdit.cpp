#include "library/editors/cxMRUEdit.h"

#include <algorithm>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"

using namespace win;

ORV_REGISTER(TcxCustomMRUEditProperties)
ORV_REGISTER(TcxMRUEditProperties, ORV_PROP(MaxItemCount).Default(0), ORV_PROP(ShowEllipsis).Default(true),
             ORV_EVENT(OnButtonClick), ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged),
             ORV_EVENT(OnNewLookupDisplayText), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomMRUEdit)
ORV_REGISTER(TcxMRUEdit, ORV_PROP(EditValue), ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(TabOrder),
             ORV_PROP(TabStop).Default(true), ORV_PROP(Visible), ORV_EVENT(OnEditing), ORV_EVENT(OnEnter),
             ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp))

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomMRUEditProperties::AfterConstruction() {
  TcxCustomComboBoxProperties::AfterConstruction();
  TcxEditButton* ellipsis = GetButtons()->Add();
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetGlyphButtonIndex(1);
  SetDropDownListStyle(lsEditList);
  SetMRUMode(true);
}

void TcxCustomMRUEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMRUEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomComboBoxProperties::DoAssign(Source);
  if (!source) return;
  SetMaxItemCount(source->FMaxItemCount);
  SetShowEllipsis(source->FShowEllipsis);
}

void TcxCustomMRUEditProperties::Update(TcxCustomEditProperties* AProperties) {
  TcxCustomComboBoxProperties::Update(AProperties);
  if (auto* target = dynamic_cast<TcxCustomMRUEditProperties*>(AProperties); target && target != this)
    target->GetLookupItems()->Assign(GetLookupItems());
}

void TcxCustomMRUEditProperties::SetMaxItemCount(Integer Value) {
  Value = std::max(Value, 0);
  if (FMaxItemCount == Value) return;
  FMaxItemCount = Value;
  CheckItemCount();
  Changed();
}

void TcxCustomMRUEditProperties::SetShowEllipsis(bool Value) {
  if (FShowEllipsis == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  FShowEllipsis = Value;
  if (GetButtons()->GetCount() > 1) GetButtons()->GetItem(1)->SetVisible(Value);
  SetGlyphButtonIndex(Value ? 1 : 0);
}

void TcxCustomMRUEditProperties::CheckItemCount() {
  TStrings* items = GetLookupItems();
  if (FMaxItemCount <= 0 || items->GetCount() <= FMaxItemCount) return;
  items->BeginUpdate();
  orv::ScopeExit end([items] { items->EndUpdate(); });
  while (items->GetCount() > FMaxItemCount) items->Delete(items->GetCount() - 1);
}

// ---------------------------------------------------------------------------
// Editor.

TClass TcxCustomMRUEditProperties::GetContainerClass() const { return TcxMRUEdit::StaticClass(); }

TClassRef<TcxCustomEditProperties> TcxCustomMRUEdit::GetPropertiesClass() const {
  return TcxCustomMRUEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxMRUEdit::GetPropertiesClass() const {
  return TcxMRUEditProperties::StaticClass();
}

void TcxCustomMRUEdit::AddItem(const AnsiString& AText) {
  if (AText.empty()) return;
  TcxCustomMRUEditProperties* properties = GetActiveProperties();
  TStrings* items = properties->GetLookupItems();
  const Integer index = items->IndexOf(AText);
  if (index == 0) return;
  if (index > 0) {
    items->Move(index, 0);
  } else {
    DoOnNewLookupDisplayText(AText);
    items->Insert(0, AText);
    properties->CheckItemCount();
  }
  // The items moved under the lookup's current item, and a choice from the
  // list moves them while the editor's own resynchronising is held off:
  // the current item is found again by the text, or the list would reopen
  // on another item and Enter there would take it.
  if (IcxTextEditLookupData* lookup = GetILookupData()) lookup->TextChanged();
}

void TcxCustomMRUEdit::KeyDown(Word& Key, TShiftState Shift) {
  // Enter on an item chosen in the open list takes that item; otherwise
  // what stands in the box is remembered first.
  if (Key == VK_RETURN && !Shift.Contains(ssAlt) && !(HasPopupWindow() && GetSelectedItem() != -1))
    AddItem(GetText());
  TcxCustomComboBox::KeyDown(Key, Shift);
}

void TcxCustomMRUEdit::InternalValidateDisplayValue(const Variant& ADisplayValue) {
  AddItem(GetText());
  TcxCustomComboBox::InternalValidateDisplayValue(ADisplayValue);
}

void TcxCustomMRUEdit::HandleSelectItem(TObject* Sender) {
  TcxCustomComboBox::HandleSelectItem(Sender);
  if (DoEditing()) AddItem(GetText());
}

// The second button is the ellipsis (a glyph button with a picture); with
// it hidden, the drop-down button carries the picture.
void TcxCustomMRUEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomMRUEditProperties* properties = GetActiveProperties();
  TcxEditButtons* buttons = properties->GetButtons();
  const bool glyph = properties->GetButtonGlyph() && !properties->GetButtonGlyph()->Empty();
  if (properties->GetShowEllipsis()) {
    if (buttons->GetCount() > 1) buttons->GetItem(1)->SetKind(glyph ? bkGlyph : bkEllipsis);
  } else if (buttons->GetCount() > 0) {
    buttons->GetItem(0)->SetKind(glyph ? bkGlyph : bkDown);
  }
  TcxCustomComboBox::PropertiesChanged(Sender);
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer MRUEditStartCount = 0;
}

void cxMRUEditInitialize() {
  if (MRUEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxMRUEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryMRUItem));
  FilterEditsController()->Register(TcxMRUEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass());
}

void cxMRUEditFinalize() {
  if (MRUEditStartCount == 0 || --MRUEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxMRUEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxMRUEditProperties::StaticClass());
}
