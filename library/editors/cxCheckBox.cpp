#include "library/editors/cxCheckBox.h"

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"

using namespace win;

ORV_REGISTER(TcxCustomCheckBoxProperties)
ORV_REGISTER(TcxCheckBoxProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomCheckBoxProperties::IsAlignmentStored>(),
             ORV_PROP(AllowGrayed).Default(false), ORV_PROP(AssignedValues), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(DisplayChecked).StoredBy<&TcxCustomCheckBoxProperties::IsDisplayCheckedStored>(),
             ORV_PROP(DisplayGrayed).StoredBy<&TcxCustomCheckBoxProperties::IsDisplayGrayedStored>(),
             ORV_PROP(DisplayUnchecked).StoredBy<&TcxCustomCheckBoxProperties::IsDisplayUncheckedStored>(),
             ORV_PROP(FullFocusRect).Default(false),
             ORV_PROP(Glyph).StoredBy<&TcxCustomCheckBoxProperties::IsGlyphStored>(),
             ORV_PROP(GlyphCount).Default(6), ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(MultiLine).Default(false), ORV_PROP(NullStyle).Default(nssGrayedChecked),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseAlignmentWhenInplace).Default(false),
             ORV_PROP(ValueChecked).StoredBy<&TcxCustomCheckBoxProperties::IsValueCheckedStored>(),
             ORV_PROP(ValueGrayed).StoredBy<&TcxCustomCheckBoxProperties::IsValueGrayedStored>(),
             ORV_PROP(ValueUnchecked).StoredBy<&TcxCustomCheckBoxProperties::IsValueUncheckedStored>(),
             ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged))
ORV_REGISTER(TcxCheckBoxStyle)
ORV_REGISTER(TcxCustomCheckBox)
ORV_REGISTER(TcxCheckBox, ORV_PROP(Action), ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(Caption),
             ORV_PROP(Checked).Stored(false), ORV_PROP(Constraints), ORV_PROP(DragCursor), ORV_PROP(DragKind),
             ORV_PROP(DragMode), ORV_PROP(Enabled), ORV_PROP(ParentBackground).Default(true),
             ORV_PROP(ParentColor).Default(true), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(State).Default(cbsUnchecked).StoredBy<&TcxCustomCheckBox::IsStateStored>(), ORV_PROP(Style),
             ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder),
             ORV_PROP(TabStop).Default(true), ORV_PROP(Transparent).Default(false), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver),
             ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter), ORV_EVENT(OnExit),
             ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown),
             ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp),
             ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxCheckBoxActionLink)
ORV_REGISTER(TcxFilterCheckBoxHelper)

namespace {

WideString ResourceText(const TResStringRec& ARes) { return AnsiToWide(cxEditResString(ARes)); }

}  // namespace

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomCheckBoxProperties::AfterConstruction() {
  TcxCustomEditProperties::AfterConstruction();
  FDisplayChecked = ResourceText(cxSEditCheckBoxChecked);
  FDisplayGrayed = ResourceText(cxSEditCheckBoxGrayed);
  FDisplayUnchecked = ResourceText(cxSEditCheckBoxUnchecked);
}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() { FreeAndNil(FGlyph); }

void TcxCustomCheckBoxProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCheckBoxProperties*>(Source);
  if (!source) {
    TcxCustomEditProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomEditProperties::DoAssign(Source);
  SetAllowGrayed(source->FAllowGrayed);
  SetDisplayChecked(source->FDisplayChecked);
  SetDisplayGrayed(source->FDisplayGrayed);
  SetDisplayUnchecked(source->FDisplayUnchecked);
  SetFullFocusRect(source->FFullFocusRect);
  SetGlyph(source->FGlyph);
  SetGlyphCount(source->FGlyphCount);
  SetMultiLine(source->FMultiLine);
  SetNullStyle(source->FNullStyle);
  SetUseAlignmentWhenInplace(source->FUseAlignmentWhenInplace);
  // The source's three values passed its setters, so they stand apart; one
  // by one through this object's setters, values that trade places (the
  // checked value becoming the unchecked one) would be refused.
  if (!InternalVarEqualsExact(FValueChecked, source->FValueChecked) ||
      !InternalVarEqualsExact(FValueGrayed, source->FValueGrayed) ||
      !InternalVarEqualsExact(FValueUnchecked, source->FValueUnchecked)) {
    FValueChecked = source->FValueChecked;
    FValueGrayed = source->FValueGrayed;
    FValueUnchecked = source->FValueUnchecked;
    Changed();
  }
}

bool TcxCustomCheckBoxProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetState(AEditValue1) == GetState(AEditValue2);
}

AnsiString TcxCustomCheckBoxProperties::GetDisplayText(const Variant& AEditValue, bool, bool) {
  switch (GetState(AEditValue)) {
    case cbsChecked: return WideToAnsi(FDisplayChecked);
    case cbsUnchecked: return WideToAnsi(FDisplayUnchecked);
    default: return WideToAnsi(FDisplayGrayed);
  }
}

TcxEditSpecialFeatures TcxCustomCheckBoxProperties::GetSpecialFeatures() const {
  return TcxCustomEditProperties::GetSpecialFeatures() + TcxEditSpecialFeatures{esfNoContentPart};
}

TcxEditSupportedOperations TcxCustomCheckBoxProperties::GetSupportedOperations() const {
  return {esoAlwaysHotTrack, esoEditing, esoFiltering, esoHotTrack, esoShowingCaption, esoSorting, esoTransparency};
}

TClass TcxCustomCheckBoxProperties::GetContainerClass() const { return TcxCheckBox::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetStyleClass() const { return TcxCheckBoxStyle::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetViewDataClass() const { return TcxCustomCheckBoxViewData::StaticClass(); }
TClass TcxCustomCheckBoxProperties::GetViewInfoClass() const { return TcxCustomCheckBoxViewInfo::StaticClass(); }

bool TcxCustomCheckBoxProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) {
  return TcxCustomEditProperties::IsEditValueValid(EditValue, AEditFocused) && !CheckValue(EditValue);
}

void TcxCustomCheckBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  DisplayValue = Variant(static_cast<Integer>(GetState(AEditValue)));
}

TcxCheckBoxState TcxCustomCheckBoxProperties::GetState(const Variant& AValue) const {
  if (VarEqualsExact(AValue, FValueChecked)) return cbsChecked;
  if (VarEqualsExact(AValue, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

bool TcxCustomCheckBoxProperties::CheckValue(const Variant& AValue) const {
  return !InternalVarEqualsExact(AValue, FValueChecked) && !InternalVarEqualsExact(AValue, FValueGrayed) &&
         !InternalVarEqualsExact(AValue, FValueUnchecked);
}

bool TcxCustomCheckBoxProperties::AcceptsStateValue(const Variant& Value, const Variant& AOther1,
                                                    const Variant& AOther2, bool ANullAllowed) const {
  if (VarIsArray(Value) || (!ANullAllowed && VarIsNull(Value)) || !CheckValue(Value)) return false;
  // GetState compares a Boolean through its text: 'True' and True would
  // both read as checked, and the other state could never be reached.
  return !VarEqualsExact(Value, AOther1) && !VarEqualsExact(Value, AOther2);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& Value) {
  if (!AcceptsStateValue(Value, FValueUnchecked, FValueGrayed, false)) return;
  FValueChecked = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& Value) {
  if (!AcceptsStateValue(Value, FValueChecked, FValueUnchecked, true)) return;
  FValueGrayed = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value) {
  if (!AcceptsStateValue(Value, FValueChecked, FValueGrayed, false)) return;
  FValueUnchecked = Value;
  Changed();
}

bool TcxCustomCheckBoxProperties::IsValueCheckedStored() const {
  return !InternalVarEqualsExact(FValueChecked, Variant(true));
}

bool TcxCustomCheckBoxProperties::IsValueUncheckedStored() const {
  return !InternalVarEqualsExact(FValueUnchecked, Variant(false));
}

bool TcxCustomCheckBoxProperties::IsDisplayCheckedStored() const {
  return FDisplayChecked != ResourceText(cxSEditCheckBoxChecked);
}

bool TcxCustomCheckBoxProperties::IsDisplayGrayedStored() const {
  return FDisplayGrayed != ResourceText(cxSEditCheckBoxGrayed);
}

bool TcxCustomCheckBoxProperties::IsDisplayUncheckedStored() const {
  return FDisplayUnchecked != ResourceText(cxSEditCheckBoxUnchecked);
}

void TcxCustomCheckBoxProperties::SetAllowGrayed(bool Value) {
  if (FAllowGrayed == Value) return;
  FAllowGrayed = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  FCaptionAssigned = true;
  Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayChecked(const WideString& Value) {
  if (FDisplayChecked == Value) return;
  FDisplayChecked = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayGrayed(const WideString& Value) {
  if (FDisplayGrayed == Value) return;
  FDisplayGrayed = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetDisplayUnchecked(const WideString& Value) {
  if (FDisplayUnchecked == Value) return;
  FDisplayUnchecked = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetFullFocusRect(bool Value) {
  if (FFullFocusRect == Value) return;
  FFullFocusRect = Value;
  Changed();
}

TBitmap* TcxCustomCheckBoxProperties::InternalGetGlyph() {
  if (!FGlyph) {
    FGlyph = New<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TcxCustomCheckBoxProperties::GlyphChanged>(this);
  }
  return FGlyph;
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* Value) {
  if (!Value) {
    if (!FGlyph) return;
    FreeAndNil(FGlyph);
    Changed();
    return;
  }
  if (Value == FGlyph) return;
  InternalGetGlyph()->Assign(Value);
}

void TcxCustomCheckBoxProperties::GlyphChanged(TObject*) { Changed(); }

void TcxCustomCheckBoxProperties::SetGlyphCount(Integer Value) {
  if (FGlyphCount == Value) return;
  FGlyphCount = Value;
  if (FGlyph) Changed();
}

void TcxCustomCheckBoxProperties::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetNullStyle(TcxCheckBoxNullValueShowingStyle Value) {
  if (FNullStyle == Value) return;
  FNullStyle = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetUseAlignmentWhenInplace(bool Value) {
  if (FUseAlignmentWhenInplace == Value) return;
  FUseAlignmentWhenInplace = Value;
  Changed();
}

void TcxCustomCheckBoxProperties::DefineProperties(TFiler* Filer) {
  TcxCustomEditProperties::DefineProperties(Filer);
  Filer->DefineProperty("Caption", TReaderProc::Bind<&TcxCustomCheckBoxProperties::ReadCaption>(this), {}, false);
}

void TcxCustomCheckBoxProperties::ReadCaption(TReader* Reader) { SetCaption(Reader->ReadString()); }

// ---------------------------------------------------------------------------
// The control.

TClassRef<TcxCustomEditProperties> TcxCustomCheckBox::GetPropertiesClass() const {
  return TcxCustomCheckBoxProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxCheckBox::GetPropertiesClass() const {
  return TcxCheckBoxProperties::StaticClass();
}

void TcxCustomCheckBox::Initialize() {
  TcxCustomEdit::Initialize();
  // A quick second click is another press and release: another toggle.
  TControlStyle style = GetControlStyle();
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetWidth(121);
  FEditValue = GetActiveProperties()->GetValueUnchecked();
}

TcxCheckBoxState TcxCustomCheckBox::GetState() { return GetActiveProperties()->GetState(GetEditValue()); }

void TcxCustomCheckBox::SetState(TcxCheckBoxState Value) {
  if (GetIsLoading()) {
    FStateAssignedWhileLoading = true;
    FLoadedState = Value;
    return;
  }
  if (Value == GetState()) return;
  Variant value;
  PrepareEditValue(Variant(static_cast<Integer>(Value)), value, InternalFocused());
  SetInternalEditValue(value);
}

bool TcxCustomCheckBox::IsStateStored() {
  auto* action = dynamic_cast<TCustomAction*>(GetAction());
  return !action || GetState() != (action->GetChecked() ? cbsChecked : cbsUnchecked);
}

Variant TcxCustomCheckBox::GetDisplayValue() { return Variant(static_cast<Integer>(GetState())); }

void TcxCustomCheckBox::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  TcxCustomCheckBoxProperties* properties = GetActiveProperties();
  switch (ADisplayValue.AsInteger()) {
    case cbsChecked: EditValue = properties->GetValueChecked(); break;
    case cbsUnchecked: EditValue = properties->GetValueUnchecked(); break;
    default: EditValue = properties->GetValueGrayed(); break;
  }
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& Value, bool AValidateEdit) {
  const TcxCheckBoxState previous = GetState();
  TcxCustomEdit::InternalSetEditValue(Value, AValidateEdit);
  const TcxCheckBoxState state = GetState();
  if (previous != state) {
    if (TcxCustomCheckBoxViewInfo* viewInfo = GetViewInfo()) viewInfo->CheckBoxState = state;
    Click();
    DoChange();
  }
  ShortRefreshContainer(false);
}

void TcxCustomCheckBox::PropertiesChanged(TObject* Sender) {
  TcxCustomCheckBoxProperties* properties = GetActiveProperties();
  if (properties->GetCaptionAssigned()) {
    SetCaption(properties->GetCaption());
    properties->ClearCaptionAssigned();
  }
  if (TcxCustomCheckBoxViewInfo* viewInfo = GetViewInfo()) {
    const TcxCheckBoxState state = GetState();
    if (viewInfo->CheckBoxState != state) {
      viewInfo->CheckBoxState = state;
      if (!AreChangeEventsLocked()) {
        Click();
        DoChange();
      }
    }
  }
  InvalidateCheck();
  TcxCustomEdit::PropertiesChanged(Sender);
}

void TcxCustomCheckBox::Toggle() {
  LockChangeEvents(true);
  orv::ScopeExit unlock([this] { LockChangeEvents(false, true); });
  {
    auto user = orv::TempValue(FUserAction, true);
    switch (GetState()) {
      case cbsUnchecked: SetState(GetActiveProperties()->GetAllowGrayed() ? cbsGrayed : cbsChecked); break;
      case cbsChecked: SetState(cbsUnchecked); break;
      case cbsGrayed: SetState(cbsChecked); break;
    }
  }
  if (GetActiveProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true))
    InternalPostEditValue(false);
}

void TcxCustomCheckBox::InvalidateCheck() {
  if (TcxCustomCheckBoxViewInfo* viewInfo = GetViewInfo()) InvalidateRect(viewInfo->CheckBoxRect, false);
}

void TcxCustomCheckBox::SetCheckState(TcxEditCheckState Value) {
  if (TcxCustomCheckBoxViewInfo* viewInfo = GetViewInfo()) viewInfo->CheckBoxCheckState = Value;
}

// --- keys and mouse --------------------------------------------------------------------

void TcxCustomCheckBox::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const TcxEditCheckState state = GetViewInfo()->CheckBoxCheckState;
  if (Key == VK_SPACE && (state == ecsNormal || state == ecsHot)) {
    FSpaceHeld = true;
    SetCheckState(ecsPressed);
    ShortRefreshContainer(false);
    Key = 0;
    return;
  }
  TcxCustomEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomCheckBox::DoEditKeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && GetViewInfo()->CheckBoxCheckState == ecsPressed) {
    FSpaceHeld = false;
    // Normal, not hot: a mouse resting on the box must not read the release
    // as a click of its own.
    SetCheckState(ecsNormal);
    InvalidateCheck();
    Toggle();
    return;
  }
  TcxCustomEdit::DoEditKeyUp(Key, Shift);
}

void TcxCustomCheckBox::DoEditKeyPress(char& Key) {
  // A space without its key held (the one that opened the editor in place)
  // toggles here; a held one toggles on its release. The mouse resting on
  // the box makes it hot, which is no hold.
  const TcxEditCheckState state = GetViewInfo()->CheckBoxCheckState;
  if (Key == ' ' && IsInplace() && (state == ecsNormal || state == ecsHot)) {
    Toggle();
    Key = 0;
    return;
  }
  TcxCustomEdit::DoEditKeyPress(Key);
}

void TcxCustomCheckBox::DoExit() {
  FSpaceHeld = false;
  TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && CanFocus()) {
    SetFocus();
    if (IsFocused()) Toggle();
    Message.Result = 1;
    return;
  }
  TcxCustomEdit::CMDialogChar(Message);
}

void TcxCustomCheckBox::CMTextChanged(TMessage& Message) {
  DispatchFrom(TcxCustomEdit::StaticClass(), Message);
  ShortRefreshContainer(false);
}

void TcxCustomCheckBox::WMLButtonUp(TMessage& Message) {
  // The toggle is the click: the platform raises none of its own.
  TControlState state = GetControlState();
  state.Exclude(csClicked);
  SetControlState(state);
  DispatchFrom(TcxCustomEdit::StaticClass(), Message);
}

void TcxCustomCheckBox::ProcessViewInfoChanges(TcxCustomEditViewInfo* APrevViewInfo, bool AIsMouseDownUpEvent) {
  TcxCustomEdit::ProcessViewInfoChanges(APrevViewInfo, AIsMouseDownUpEvent);
  auto* previous = dynamic_cast<TcxCustomCheckBoxViewInfo*>(APrevViewInfo);
  if (previous && previous->CheckBoxCheckState == ecsPressed && GetViewInfo()->CheckBoxCheckState == ecsHot) Toggle();
}

// --- loading and actions -------------------------------------------------------------------

void TcxCustomCheckBox::Loaded() {
  LockChangeEvents(true);
  LockClick(true);
  orv::ScopeExit unlock([this] {
    FIsLoading = false;
    LockClick(false);
    LockChangeEvents(false, false);
  });
  FIsLoading = true;
  TcxCustomEdit::Loaded();
  if (FStateAssignedWhileLoading)
    SetState(FLoadedState);
  else if (!IsDBEdit())
    SetState(cbsUnchecked);
}

void TcxCustomCheckBox::ActionChange(TObject* Sender, bool CheckDefaults) {
  TcxCustomEdit::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action || FStateAssignedWhileLoading) return;
  if (!CheckDefaults || !GetChecked()) SetChecked(action->GetChecked());
}

TControlActionLink* TcxCustomCheckBox::CreateActionLink() { return New<TcxCheckBoxActionLink>(this); }

bool TcxCheckBoxActionLink::IsCheckedLinked() {
  auto* checkBox = dynamic_cast<TcxCustomCheckBox*>(FClient);
  return TActionLink::IsCheckedLinked() && checkBox && checkBox->GetState() != cbsGrayed &&
         checkBox->GetChecked() == CustomAction()->GetChecked();
}

void TcxCheckBoxActionLink::SetChecked(bool Value) {
  if (!IsCheckedLinked()) return;
  auto* checkBox = static_cast<TcxCustomCheckBox*>(FClient);
  checkBox->LockClick(true);
  checkBox->LockChangeEvents(true);
  orv::ScopeExit unlock([checkBox] {
    checkBox->LockChangeEvents(false);
    checkBox->LockClick(false);
  });
  checkBox->SetChecked(Value);
}

// ---------------------------------------------------------------------------
// The filter builder's helper.

TcxFilterControlOperators TcxFilterCheckBoxHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass, bool) const {
  return {fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks};
}

void TcxFilterCheckBoxHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterComboBoxHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* checkBox = dynamic_cast<TcxCustomCheckBoxProperties*>(AEditProperties);
  TStrings* items = checkBox ? FixedList(AProperties) : nullptr;
  if (!items) return;
  items->Add(checkBox->GetDisplayText(checkBox->GetValueChecked()));
  items->Add(checkBox->GetDisplayText(checkBox->GetValueUnchecked()));
}

void TcxFilterCheckBoxHelper::GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                             Variant& V, AnsiString& S) const {
  auto* combo = dynamic_cast<TcxCustomComboBox*>(AEdit);
  auto* checkBox = dynamic_cast<TcxCustomCheckBoxProperties*>(AEditProperties);
  const Integer index = combo ? combo->GetItemIndex() : -1;
  if (!checkBox || index < 0 || index > 1) {
    V = Null();
    S.clear();
    return;
  }
  V = index == 0 ? checkBox->GetValueChecked() : checkBox->GetValueUnchecked();
  S = checkBox->GetDisplayText(V);
}

void TcxFilterCheckBoxHelper::SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                             const Variant& AValue) const {
  auto* combo = dynamic_cast<TcxCustomComboBox*>(AEdit);
  auto* checkBox = dynamic_cast<TcxCustomCheckBoxProperties*>(AEditProperties);
  if (!combo || !checkBox) return;
  switch (checkBox->GetState(AValue)) {
    case cbsChecked: combo->SetItemIndex(0); break;
    case cbsUnchecked: combo->SetItemIndex(1); break;
    default: combo->SetItemIndex(-1); break;
  }
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer CheckBoxStartCount = 0;
}

void cxCheckBoxInitialize() {
  if (CheckBoxStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxCheckBoxProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryCheckBoxItem));
  FilterEditsController()->Register(TcxCheckBoxProperties::StaticClass(), TcxFilterCheckBoxHelper::StaticClass());
  cxCreateEditCheckMarkMask();
}

void cxCheckBoxFinalize() {
  if (CheckBoxStartCount == 0 || --CheckBoxStartCount > 0) return;
  FilterEditsController()->Unregister(TcxCheckBoxProperties::StaticClass(), TcxFilterCheckBoxHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxCheckBoxProperties::StaticClass());
  cxFreeEditCheckMarkMask();
}
