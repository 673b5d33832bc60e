#include "library/editors/cxSpinEdit.h"

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;

ORV_REGISTER(TcxCustomSpinEdit)
ORV_REGISTER(TcxSpinEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(BeepOnEnter).Default(true),
             ORV_PROP(Constraints), ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode),
             ORV_PROP(Enabled), ORV_PROP(ImeMode), ORV_PROP(ImeName), ORV_PROP(ParentColor).Default(false),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu),
             ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(StyleDisabled),
             ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Value).StoredBy<&TcxSpinEdit::IsValueStored>(), ORV_PROP(Visible), ORV_EVENT(OnClick),
             ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver),
             ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter), ORV_EVENT(OnExit),
             ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown),
             ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp),
             ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxFilterSpinEditHelper)

namespace {

// The auto-repeat of a button held with the mouse: the first repeat waits,
// the others follow quickly.
constexpr Cardinal kRepeatDelay = 400;
constexpr Cardinal kRepeatInterval = 100;

bool IsNumber(const Variant& V) { return VarIsNumericEx(V) && VarType(V) != varBoolean; }

}  // namespace

// --- construction ----------------------------------------------------------------

TcxCustomSpinEdit::~TcxCustomSpinEdit() { FreeAndNil(FTimer); }

TClassRef<TcxCustomEditProperties> TcxCustomSpinEdit::GetPropertiesClass() const {
  return TcxCustomSpinEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxSpinEdit::GetPropertiesClass() const {
  return TcxSpinEditProperties::StaticClass();
}

void TcxCustomSpinEdit::Initialize() {
  TcxCustomMaskEdit::Initialize();
  FEditValue = Variant(0);
  FInternalValue = GetActiveProperties()->VarToCurrentValueType(Variant(0));
  FPressedState = epsNone;
}

void TcxCustomSpinEdit::InitializeViewData(TcxCustomEditViewData* AViewData) {
  TcxCustomMaskEdit::InitializeViewData(AViewData);
  if (auto* viewData = dynamic_cast<TcxSpinEditViewData*>(AViewData)) viewData->PressedState = FPressedState;
}

TcxContainerStyleValues TcxCustomSpinEdit::InternalGetNotPublishedStyleValues() {
  return TcxContainerStyleValues{svPopupBorderStyle};
}

bool TcxSpinEdit::IsValueStored() {
  const Variant value = GetValue();
  return !(IsNumber(value) && value.AsDouble() == 0.0);
}

bool TcxCustomSpinEdit::IsOnGetValueEventAssigned() const {
  return GetProperties()->OnGetValue.Assigned() || GetActiveProperties()->OnGetValue.Assigned();
}

void TcxCustomSpinEdit::DoOnGetValue(const AnsiString& AText, Variant& AValue, AnsiString& ErrorText, bool& Error) {
  TcxCustomSpinEditProperties* own = GetProperties();
  TcxCustomSpinEditProperties* active = GetActiveProperties();
  if (own->OnGetValue) own->OnGetValue(this, AText, AValue, ErrorText, Error);
  if (active != own && active->OnGetValue) active->OnGetValue(this, AText, AValue, ErrorText, Error);
}

// --- values -----------------------------------------------------------------------

void TcxCustomSpinEdit::SetInternalValue(const Variant& V) { FInternalValue = GetActiveProperties()->SetVariantType(V); }

Variant TcxCustomSpinEdit::GetValue() {
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  Variant result;
  if (IsFocused()) {
    if (FIsTextTyped)
      PrepareEditValue(Variant(InternalGetText()), result, true);
    else
      result = FInternalValue;
    if (!IsNumber(result)) result = properties->CheckValueBounds(Variant(0));
  } else {
    const Variant editValue = GetEditValue();
    if (IsNumber(editValue)) {
      result = editValue;
    } else if (VarIsStr(editValue)) {
      const AnsiString text = VarToStr(editValue);
      if (text.empty() || !properties->TryTextToValue(text, result)) result = properties->CheckValueBounds(Variant(0));
    } else {
      result = properties->CheckValueBounds(Variant(0));
    }
  }
  return properties->SetVariantType(result);
}

void TcxCustomSpinEdit::SetValue(const Variant& Value) {
  if (!IsNumber(Value)) return;
  Variant value = Value;
  if (!GetActiveProperties()->IsEditValueValid(value, InternalFocused())) return;
  SetInternalEditValue(value);
}

AnsiString TcxCustomSpinEdit::IncrementValueToStr(const Variant& AValue) {
  Variant display;
  GetActiveProperties()->PrepareDisplayValue(AValue, display, InternalFocused());
  return VarToStr(display);
}

double TcxCustomSpinEdit::GetIncrement(TcxSpinEditButton AButton) {
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  const bool fast = AButton == sebFastBackward || AButton == sebFastForward;
  double result = fast ? properties->GetLargeIncrement() : properties->GetIncrement();
  if (properties->GetValueType() == vtInt)
    result = static_cast<double>(TcxCustomSpinEditProperties::DoubleAsValueType(result, vtInt).AsInt64());
  return AButton == sebBackward || AButton == sebFastBackward ? -result : result;
}

bool TcxCustomSpinEdit::Increment(TcxSpinEditButton AButton) {
  auto locked = ChangeEventsLocked(this);
  if (!DoEditing()) return false;
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  Variant value;
  const Variant increment = TcxCustomSpinEditProperties::DoubleAsValueType(GetIncrement(AButton),
                                                                           properties->GetValueType());
  if (!properties->CalculateStep(GetValue(), AButton, increment, value)) return false;
  const AnsiString oldText = InternalGetText();
  const AnsiString text = IncrementValueToStr(value);
  const Integer selStart = GetSelStart();
  const Integer selLength = GetSelLength();
  SetInternalValue(value);
  {
    auto user = orv::TempValue(FUserAction, true);
    SetInternalDisplayValue(Variant(text));
  }
  if (text == oldText) return false;
  SetModifiedAfterEnter(true);
  if (properties->PreserveSelection())
    SetSelection(selStart, selLength);
  else
    SetSelection(static_cast<Integer>(text.size()), 0);
  if (properties->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true)) {
    InternalPostEditValue(false);
    SynchronizeDisplayValue();
  }
  return true;
}

bool TcxCustomSpinEdit::InternalPrepareEditValue(const AnsiString& AText, bool ARaise, Variant& Value,
                                                 AnsiString& ErrorText) {
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  ErrorText.clear();
  if (AText.empty()) {
    IcxEditDefaultValuesProvider* provider = properties->GetIDefaultValuesProvider();
    Value = provider && provider->DefaultRequired() ? properties->SetVariantType(properties->CheckValueBounds(Variant(0)))
                                                    : Null();
    return true;
  }
  bool error = !properties->TryTextToValue(AText, Value);
  // The text a decimal bound shows is that bound: it is what a value
  // clamped to the bound is written as, and retyping it keeps the bound.
  if (!error && properties->GetValueType() == vtFloat && properties->IsDisplayValueNumeric())
    Value = Variant(properties->BoundOfShownText(Value.AsDouble()));
  if (error && IsOnGetValueEventAssigned()) {
    try {
      DoOnGetValue(AText, Value, ErrorText, error);
    } catch (const Exception& e) {
      if (ARaise) throw;
      ErrorText = e.GetMessage();
      return false;
    }
  }
  if (error) {
    if (ErrorText.empty()) ErrorText = cxEditResString(cxSSpinEditInvalidNumericValue);
    if (!properties->GetExceptionOnInvalidInput()) ErrorText.clear();
    if (ARaise && properties->GetExceptionOnInvalidInput()) throw EcxEditError(ErrorText);
    Value = FInternalValue;
  }
  Value = properties->SetVariantType(Value);
  return !error;
}

void TcxCustomSpinEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  AnsiString errorText;
  InternalPrepareEditValue(VarToStr(ADisplayValue), true, EditValue, errorText);
}

void TcxCustomSpinEdit::SynchronizeDisplayValue() {
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  Variant value = GetEditValue();
  if (properties->IsEditValueValid(value, InternalFocused()))
    SetInternalValue(properties->PrepareValue(value));
  else
    SetInternalValue(properties->CheckValueBounds(Variant(0)));
  TcxCustomMaskEdit::SynchronizeDisplayValue();
  // A focused empty box starts from 0 taken into the bounds.
  if (InternalFocused() && (VarIsNull(GetEditValue()) || VarIsEmpty(GetEditValue()))) {
    SetInternalValue(properties->CheckValueBounds(Variant(0)));
    SaveModified();
    orv::ScopeExit restore([this] { RestoreModified(); });
    GetDataBinding()->SetDisplayValue(Variant(properties->DefaultFocusedDisplayValue()));
  }
}

void TcxCustomSpinEdit::SynchronizeEditValue() {
  TcxCustomMaskEdit::SynchronizeEditValue();
  SetInternalValue(GetEditValue());
}

void TcxCustomSpinEdit::ChangeHandler(TObject* Sender) {
  FIsTextTyped = FTyping;
  TcxCustomMaskEdit::ChangeHandler(Sender);
  FTyping = false;
}

void TcxCustomSpinEdit::CheckEditorValueBounds() {
  // Typed text that does not read is left to the validation, which reports
  // it: a change of the settings raises nothing.
  if (FIsTextTyped && IsFocused()) {
    Variant typed;
    AnsiString errorText;
    if (!InternalPrepareEditValue(InternalGetText(), false, typed, errorText)) return;
  }
  auto user = orv::TempValue(FUserAction, GetModifiedAfterEnter());
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  const Variant value = GetValue();
  const Variant minValue = properties->InternalMinValue();
  const Variant maxValue = properties->InternalMaxValue();
  if (value < minValue)
    SetValue(minValue);
  else if (value > maxValue)
    SetValue(maxValue);
}

void TcxCustomSpinEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomMaskEdit::PropertiesChanged(Sender);
  if (PropertiesChangeLocked()) return;
  if (!GetDataBinding()->CanCheckEditorValue() && GetModifiedAfterEnter()) CheckEditorValueBounds();
}

// --- text operations ----------------------------------------------------------------

void TcxCustomSpinEdit::ClearSelection() {
  if (IsFocused() && !GetActiveProperties()->GetCanEdit()) return;
  auto typing = orv::TempValue(FTyping, true);
  TcxCustomMaskEdit::ClearSelection();
}

void TcxCustomSpinEdit::CutToClipboard() {
  if (IsFocused() && !GetActiveProperties()->GetCanEdit()) return;
  auto typing = orv::TempValue(FTyping, true);
  TcxCustomMaskEdit::CutToClipboard();
}

void TcxCustomSpinEdit::PasteFromClipboard() {
  if (IsFocused() && !GetActiveProperties()->GetCanEdit()) return;
  auto typing = orv::TempValue(FTyping, true);
  TcxCustomMaskEdit::PasteFromClipboard();
}

// --- keys --------------------------------------------------------------------------

bool TcxCustomSpinEdit::IsStepKey(Word Key) {
  return Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
}

void TcxCustomSpinEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  FTyping = false;
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  if (IsStepKey(Key) && (!properties->GetUseCtrlIncrement() || Shift.Contains(ssCtrl))) {
    if (!GetDataBinding()->GetModified() && !DoEditing()) {
      Key = 0;
      return;
    }
    TcxSpinEditButton button = sebForward;
    switch (Key) {
      case VK_DOWN: button = sebBackward; break;
      case VK_PRIOR: button = sebFastForward; break;
      case VK_NEXT: button = sebFastBackward; break;
      default: break;
    }
    SetPressedState(static_cast<TcxSpinEditPressedState>(button + 1));
    if (HandleAllocated() && GetCapture() && (GetCapture() == GetHandle() || IsChildWindow(GetCapture())))
      ReleaseCapture();
    Increment(button);
    Key = 0;
    return;
  }
  StopTracking();
  if (Key != VK_ESCAPE) FTyping = true;
  if (!properties->GetCanEdit() && CanKeyDownModifyEdit(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  TcxCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomSpinEdit::DoEditKeyUp(Word& Key, TShiftState Shift) {
  FTyping = false;
  const bool stepKey = IsStepKey(Key);
  TcxCustomMaskEdit::DoEditKeyUp(Key, Shift);
  if (stepKey) StopTracking();
}

void TcxCustomSpinEdit::DoEditKeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings().DecimalSeparator;
  const bool printable = static_cast<unsigned char>(Key) >= ' ';
  if (printable || Key == '\b') {
    if (!IsValidChar(Key)) {
      Key = 0;
      if (GetActiveProperties()->GetBeepOnError()) MessageBeep(0);
      return;
    }
    FTyping = true;
  }
  TcxCustomMaskEdit::DoEditKeyPress(Key);
}

bool TcxCustomSpinEdit::IsValidChar(char AChar) {
  TcxCustomSpinEditProperties* properties = GetActiveProperties();
  const bool canEdit = properties->GetCanEdit();
  if (canEdit && IsOnGetValueEventAssigned()) return true;
  const auto c = static_cast<unsigned char>(AChar);
  bool result = c < ' ' || (AChar >= '0' && AChar <= '9') || AChar == '+' || AChar == '-' || AChar == 'e' ||
                AChar == 'E' || properties->GetValidChars().Contains(AChar) ||
                (properties->GetValueType() == vtFloat && AChar == FormatSettings().DecimalSeparator);
  if (!canEdit && (c >= ' ' || AChar == '\b')) result = false;
  return result;
}

// --- mouse and buttons ---------------------------------------------------------------

bool TcxCustomSpinEdit::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TcxCustomMaskEdit::DoMouseWheelDown(Shift, MousePos)) return true;
  if (!HandleMouseWheel(Shift)) return false;
  Increment(sebBackward);
  return true;
}

bool TcxCustomSpinEdit::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TcxCustomMaskEdit::DoMouseWheelUp(Shift, MousePos)) return true;
  if (!HandleMouseWheel(Shift)) return false;
  Increment(sebForward);
  return true;
}

void TcxCustomSpinEdit::DoButtonDown(Integer AButtonVisibleIndex) {
  TcxCustomMaskEdit::DoButtonDown(AButtonVisibleIndex);
  TcxSpinEditViewInfo* viewInfo = GetViewInfo();
  if (FPressedState != epsNone || viewInfo->PressedButton == -1) return;
  Increment(static_cast<TcxSpinEditButton>(viewInfo->ButtonInfos[viewInfo->PressedButton]->ButtonIndex));
  if (GetActiveProperties()->GetReadOnly() || !GetDataBinding()->IsDataAvailable()) return;
  FreeAndNil(FTimer);
  FTimer = New<TcxTimer>(nullptr);
  FTimer->SetInterval(kRepeatDelay);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomSpinEdit::TimerHandler>(this));
}

void TcxCustomSpinEdit::TimerHandler(TObject*) {
  if (FTimer->GetInterval() == kRepeatDelay) FTimer->SetInterval(kRepeatInterval);
  TcxSpinEditViewInfo* viewInfo = GetViewInfo();
  if (viewInfo->PressedButton != -1)
    Increment(static_cast<TcxSpinEditButton>(viewInfo->ButtonInfos[viewInfo->PressedButton]->ButtonIndex));
}

void TcxCustomSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomMaskEdit::MouseUp(Button, Shift, X, Y);
  StopTracking();
}

void TcxCustomSpinEdit::FocusChanged() {
  TcxCustomMaskEdit::FocusChanged();
  StopTracking();
}

void TcxCustomSpinEdit::DblClick() {
  TcxCustomMaskEdit::DblClick();
  if (!HandleAllocated()) return;
  POINT cursor{};
  win::GetCursorPos(&cursor);
  if (ButtonVisibleIndexAt(ScreenToClient(TPoint(cursor.X, cursor.Y))) == -1) StopTracking();
}

bool TcxCustomSpinEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                         bool AIsMouseEvent) {
  const bool result = TcxCustomMaskEdit::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  TcxSpinEditViewInfo* viewInfo = GetViewInfo();
  // The mouse left the button it holds.
  if (viewInfo && viewInfo->GetButtonCount() > 0 && viewInfo->PressedButton == -1 &&
      GetCaptureButtonVisibleIndex() == -1)
    StopTracking();
  return result;
}

void TcxCustomSpinEdit::SetPressedState(TcxSpinEditPressedState Value) {
  TcxSpinEditViewInfo* viewInfo = GetViewInfo();
  if (FPressedState == Value || !viewInfo || viewInfo->GetButtonCount() == 0) return;
  FPressedState = Value;
  CalculateViewInfo(false);
  for (TcxEditButtonViewInfo* info : viewInfo->ButtonInfos) InvalidateRect(info->Bounds, false);
}

void TcxCustomSpinEdit::StopTracking() {
  const bool tracking = FTimer || FPressedState != epsNone;
  SetPressedState(epsNone);
  if (TcxSpinEditViewInfo* viewInfo = GetViewInfo()) {
    for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
      TcxEditButtonViewInfo* info = viewInfo->ButtonInfos[i];
      const bool stepButton = info->ButtonIndex == sebBackward || info->ButtonIndex == sebForward;
      if (!stepButton || info->State != ebsPressed) continue;
      info->State = ebsNormal;
      if (viewInfo->PressedButton == i) viewInfo->PressedButton = -1;
      InvalidateRect(info->Bounds, false);
    }
  }
  FreeAndNil(FTimer);
  if (tracking && HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
}

// --- filter helper and the unit ------------------------------------------------------

TClass TcxFilterSpinEditHelper::GetFilterEditClass() const { return TcxSpinEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterSpinEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool AExtendedSet) const {
  return cxFilterOrderedValueOperators(AExtendedSet);
}

void TcxFilterSpinEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterMaskEditHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  if (auto* properties = dynamic_cast<TcxCustomSpinEditProperties*>(AProperties)) properties->SetCanEdit(true);
}

namespace {
Integer SpinEditStartCount = 0;
}

void cxSpinEditInitialize() {
  if (SpinEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxSpinEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositorySpinItem));
  FilterEditsController()->Register(TcxSpinEditProperties::StaticClass(), TcxFilterSpinEditHelper::StaticClass());
}

void cxSpinEditFinalize() {
  if (SpinEditStartCount == 0 || --SpinEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxSpinEditProperties::StaticClass(), TcxFilterSpinEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxSpinEditProperties::StaticClass());
}
