// The check box: a value shown as a three-state check with an optional
// caption. Three values of the properties stand for checked, unchecked and
// grayed; any other value shows grayed. A toggle (Space released, a click,
// the caption's accelerator) moves unchecked to checked (through grayed
// when allowed), checked to unchecked and grayed to checked, and posts at
// once under ImmediatePost. The front end's Boolean rows are check boxes
// whose two values are the definition's bounds.
#pragma once

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/cxCheckBoxViewInfo.h"
#include "platform/forms/Actions.h"

class TFiler;
class TReader;

// ---------------------------------------------------------------------------
class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomCheckBoxProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}
  ~TcxCustomCheckBoxProperties() override;
  void AfterConstruction() override;

  bool CanCompareEditValue() const override { return true; }
  // Both values show the same state.
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  TClass GetContainerClass() const override;
  // The display text of the value's state.
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditSpecialFeatures GetSpecialFeatures() const override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  TClass GetStyleClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  bool HasDisplayValue() const override { return true; }
  // Space opens an in-place check box, which then toggles.
  bool IsActivationKey(AnsiChar AKey) const override { return AKey == ' '; }
  // One of the three state values exactly.
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  // The state's ordinal.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;

  // Introduced, in this order.
  // The strip of images, made on first read.
  virtual TBitmap* InternalGetGlyph();
  // A kind that embeds the check in another editor drops the in-place
  // margins.
  virtual bool IsEmbeddedEdit() const { return false; }

  // The state a value shows: checked when it equals ValueChecked (a Boolean
  // compared through its text), else unchecked when it equals
  // ValueUnchecked, else grayed.
  TcxCheckBoxState GetState(const Variant& AValue) const;
  // AValue differs (by type or value) from all three state values.
  bool CheckValue(const Variant& AValue) const;

  // ---- Settings ----
  // The horizontal part of the base alignment: where the check sits.
  TAlignment GetAlignment() { return BaseGetAlignment()->GetHorz(); }
  void SetAlignment(TAlignment Value) { BaseGetAlignment()->SetHorz(Value); }
  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value);
  // Read only from older stored forms; the editor takes it as its caption.
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool GetCaptionAssigned() const { return FCaptionAssigned; }
  void ClearCaptionAssigned() { FCaptionAssigned = false; }
  const WideString& GetDisplayChecked() const { return FDisplayChecked; }
  void SetDisplayChecked(const WideString& Value);
  const WideString& GetDisplayGrayed() const { return FDisplayGrayed; }
  void SetDisplayGrayed(const WideString& Value);
  const WideString& GetDisplayUnchecked() const { return FDisplayUnchecked; }
  void SetDisplayUnchecked(const WideString& Value);
  bool GetFullFocusRect() const { return FFullFocusRect; }
  void SetFullFocusRect(bool Value);
  TBitmap* GetGlyph() { return InternalGetGlyph(); }
  // Null frees the strip; a bitmap is copied.
  void SetGlyph(TBitmap* Value);
  // The strip as it is, without making one.
  TBitmap* GetGlyphIfAny() const { return FGlyph; }
  Integer GetGlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(Integer Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  TcxCheckBoxNullValueShowingStyle GetNullStyle() const { return FNullStyle; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle Value);
  bool GetUseAlignmentWhenInplace() const { return FUseAlignmentWhenInplace; }
  void SetUseAlignmentWhenInplace(bool Value);
  // A state value must stay apart from the other two (by type or value,
  // and also as GetState compares); checked and unchecked take no Null,
  // and none takes an array. A refused value leaves the property as it was.
  const Variant& GetValueChecked() const { return FValueChecked; }
  void SetValueChecked(const Variant& Value);
  const Variant& GetValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const Variant& Value);
  const Variant& GetValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const Variant& Value);

  bool IsAlignmentStored() { return TcxCustomEditProperties::IsAlignmentStored(); }
  bool IsDisplayCheckedStored() const;
  bool IsDisplayGrayedStored() const;
  bool IsDisplayUncheckedStored() const;
  bool IsGlyphStored() const { return FGlyph && !FGlyph->Empty(); }
  bool IsValueCheckedStored() const;
  bool IsValueGrayedStored() const { return !VarIsNull(FValueGrayed); }
  bool IsValueUncheckedStored() const;

 protected:
  void DoAssign(TPersistent* Source) override;

  void DefineProperties(TFiler* Filer) override;

 private:
  void GlyphChanged(TObject* Sender);
  void ReadCaption(TReader* Reader);
  // Refused: an array, Null where not allowed, a value not apart from the
  // others.
  bool AcceptsStateValue(const Variant& Value, const Variant& AOther1, const Variant& AOther2, bool ANullAllowed) const;

  bool FAllowGrayed = false;
  AnsiString FCaption;
  bool FCaptionAssigned = false;
  WideString FDisplayChecked;
  WideString FDisplayGrayed;
  WideString FDisplayUnchecked;
  bool FFullFocusRect = false;
  TBitmap* FGlyph = nullptr;
  Integer FGlyphCount = 6;
  bool FMultiLine = false;
  TcxCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
  bool FUseAlignmentWhenInplace = false;
  Variant FValueChecked{true};
  Variant FValueGrayed = Null();
  Variant FValueUnchecked{false};
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
  ORV_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
 public:
  explicit TcxCheckBoxProperties(TPersistent* AOwner) : TcxCustomCheckBoxProperties(AOwner) {}
};

// A check box has no border of its own, nor room for one: the check draws
// the border.
class TcxCheckBoxStyle : public TcxEditStyle {
  ORV_CLASS(TcxCheckBoxStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  bool HasBorder() override { return false; }

 protected:
  bool DefaultTransparentBorder() override { return false; }
};

// ---------------------------------------------------------------------------
class TcxCustomCheckBox : public TcxCustomEdit {
  ORV_CLASS(TcxCustomCheckBox, TcxCustomEdit)
 public:
  explicit TcxCustomCheckBox(TComponent* AOwner) : TcxCustomCheckBox(AOwner, false) {}
  TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}

  TcxCustomCheckBoxProperties* GetProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomCheckBoxProperties* GetActiveProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomCheckBoxProperties* Value) { TcxCustomEdit::SetProperties(Value); }
  TcxCustomCheckBoxViewInfo* GetViewInfo() const {
    return static_cast<TcxCustomCheckBoxViewInfo*>(TcxCustomEdit::GetViewInfo());
  }

  // Unchecked to checked (through grayed under AllowGrayed), checked to
  // unchecked, grayed to checked; as the user's change, so a refusal of
  // editing leaves the value; posts at once under ImmediatePost.
  virtual void Toggle();

  bool GetChecked() { return GetState() == cbsChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
  TcxCheckBoxState GetState();
  // While loading only remembered; else the state's value becomes the
  // edit value.
  void SetState(TcxCheckBoxState Value);
  bool IsStateStored();
  // Unchecks.
  void Clear() override { SetChecked(false); }
  // Space is held down on the check box.
  bool GetSpaceHeld() const { return FSpaceHeld; }

  Variant GetDisplayValue() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomEdit::PropertiesChanged;

 protected:
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TControlActionLink* CreateActionLink() override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  void DoExit() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  bool DefaultParentColor() override { return true; }
  void Initialize() override;
  void Loaded() override;
  void ProcessViewInfoChanges(TcxCustomEditViewInfo* APrevViewInfo, bool AIsMouseDownUpEvent) override;

  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)
  void WMLButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  // A new caption lays the box out again.
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)

 private:
  void InvalidateCheck();
  void SetCheckState(TcxEditCheckState Value);

  bool FSpaceHeld = false;
  bool FIsLoading = false;
  bool FStateAssignedWhileLoading = false;
  TcxCheckBoxState FLoadedState = cbsUnchecked;
};

class TcxCheckBox : public TcxCustomCheckBox {
  ORV_CLASS(TcxCheckBox, TcxCustomCheckBox)
 public:
  explicit TcxCheckBox(TComponent* AOwner) : TcxCheckBox(AOwner, false) {}
  TcxCheckBox(TComponent* AOwner, bool AIsInplace) : TcxCustomCheckBox(AOwner, AIsInplace) {}

  TcxCheckBoxProperties* GetProperties() const {
    return static_cast<TcxCheckBoxProperties*>(TcxCustomCheckBox::GetProperties());
  }
  TcxCheckBoxProperties* GetActiveProperties() const {
    return static_cast<TcxCheckBoxProperties*>(TcxCustomCheckBox::GetActiveProperties());
  }
  void SetProperties(TcxCheckBoxProperties* Value) { TcxCustomCheckBox::SetProperties(Value); }
  TcxCheckBoxStyle* GetStyle() const { return static_cast<TcxCheckBoxStyle*>(TcxCustomCheckBox::GetStyle()); }
  void SetStyle(TcxCheckBoxStyle* Value) { TcxCustomCheckBox::SetStyle(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// Lets an action check and uncheck the box, as the user's click would not:
// without a click and without change events.
class TcxCheckBoxActionLink : public TWinControlActionLink {
  ORV_CLASS(TcxCheckBoxActionLink, TWinControlActionLink)
 public:
  using TWinControlActionLink::TWinControlActionLink;
  bool IsCheckedLinked() override;
  void SetChecked(bool Value) override;
};

// The condition editor of a filter row on check boxes: a fixed list of the
// checked and the unchecked text.
class TcxFilterCheckBoxHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterCheckBoxHelper, TcxFilterComboBoxHelper)
 public:
  void GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties, Variant& V,
                      AnsiString& S) const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
  bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties*) const override { return false; }
  void SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                      const Variant& AValue) const override;
  bool UseDisplayValue() const override { return true; }
};

// The check box unit's start-up: the kind with the editor kinds, its
// filter helper, and the mark's mask; shut-down takes them back. Counted
// like the other units.
void cxCheckBoxInitialize();
void cxCheckBoxFinalize();
