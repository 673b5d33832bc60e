// The settings half of every editor: one properties object holds the
// settings and value hooks of an editor kind and serves every cell of a
// grid row (or one stand-alone editor). It is also the factory of the
// kind's editor control, view data, view info and style classes.
//
// Changes reach the editors through one OnPropertiesChanged handler;
// changes inside BeginUpdate/EndUpdate are merged into one notice.
#pragma once

#include <memory>
#include <vector>

#include "library/data/cxDataUtils.h"
#include "library/editors/core/cxEditButtons.h"
#include "library/foundation/cxClasses.h"
#include "platform/forms/Controls.h"
#include "platform/rtl/Alignment.h"
#include "platform/rtl/Variant.h"

class TcxCanvas;
class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxCustomEditViewData;
struct TcxEditSizeProperties;

ORV_ENUM(TcxEditVertAlignment, taTopJustify, taBottomJustify, taVCenter)
ORV_ENUM(TcxEditButtonsViewStyle, bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth)
ORV_ENUM(TcxEditSupportedOperation, esoAlwaysHotTrack, esoAutoHeight, esoEditing, esoFiltering, esoHorzAlignment,
         esoHotTrack, esoIncSearch, esoShowingCaption, esoSorting, esoSortingByDisplayText, esoTransparency)
using TcxEditSupportedOperations = Set<TcxEditSupportedOperation>;
ORV_ENUM(TcxEditSpecialFeature, esfBlobEditValue, esfMinSize, esfNoContentPart)
using TcxEditSpecialFeatures = Set<TcxEditSpecialFeature>;
ORV_ENUM(TcxEditDisplayFormatOption, dfoSupports, dfoNoCurrencyValue)
using TcxEditDisplayFormatOptions = Set<TcxEditDisplayFormatOption>;
ORV_ENUM(TcxEditCloseUpReason, crUnknown, crTab, crClose, crCancel, crEnter)
ORV_ENUM(TcxBlobKind, bkNone, bkBlob, bkGraphic, bkMemo, bkOle)

inline constexpr TAlignment cxEditDefaultHorzAlignment = taLeftJustify;
inline constexpr TcxEditVertAlignment cxEditDefaultVertAlignment = taTopJustify;

// The kinds of validation error; editors that tell them apart add their own.
using TcxEditErrorKind = Integer;
inline constexpr TcxEditErrorKind cxEditDefaultErrorKind = 0;

using TcxEditButtonClickEvent = Event<void(TObject* Sender, Integer AButtonIndex)>;
using TcxEditClosePopupEvent = Event<void(TObject* Sender, TcxEditCloseUpReason AReason)>;
using TcxEditValidateEvent =
    Event<void(TObject* Sender, Variant& DisplayValue, AnsiString& ErrorText, bool& Error)>;

// What the properties ask of the editor control that owns or uses them;
// the editor control implements it.
class IcxEditControl {
 public:
  virtual ~IcxEditControl() = default;
  // Whether an OnValidate handler is set on the editor's own properties or
  // on its repository item's.
  virtual bool HasValidateHandler() const = 0;
  // Runs those handlers.
  virtual void DoOnValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error) = 0;
  // The text the editor shows now (what the user typed).
  virtual AnsiString GetCurrentDisplayText() const = 0;
  // The editor's own conversion of a display value into an edit value,
  // for the focus state given; bounds are checked on its result.
  virtual void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) = 0;
  // The focus state the editor last saw.
  virtual bool InternalFocused() = 0;
};

// Defaults an editor takes from the data it is bound to.
class IcxEditDefaultValuesProvider {
 public:
  virtual ~IcxEditDefaultValuesProvider() = default;
  virtual bool CanSetEditMode() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual TcxBlobKind DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual AnsiString DefaultDisplayFormat() = 0;
  virtual AnsiString DefaultEditFormat() = 0;
  virtual AnsiString DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual Integer DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDataStorage() = 0;
  virtual bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) = 0;
  virtual bool IsOnGetTextAssigned() = 0;
  virtual bool IsOnSetTextAssigned() = 0;
  virtual bool IsValidChar(AnsiChar AChar) = 0;
};

// The base answers: data that says nothing. The grid's item provider
// answers from the field it is bound to.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
  ORV_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
 public:
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}
  // Detaches itself from every properties object that uses it.
  ~TcxCustomEditDefaultValuesProvider() override;

  bool CanSetEditMode() override { return true; }
  TAlignment DefaultAlignment() override { return cxEditDefaultHorzAlignment; }
  TcxBlobKind DefaultBlobKind() override { return bkMemo; }
  bool DefaultCanModify() override { return true; }
  AnsiString DefaultDisplayFormat() override { return {}; }
  AnsiString DefaultEditFormat() override { return {}; }
  AnsiString DefaultEditMask() override { return {}; }
  bool DefaultIsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0.0; }
  double DefaultMinValue() override { return 0.0; }
  Integer DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool IsBlob() override { return false; }
  bool IsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDataStorage() override { return false; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsOnGetTextAssigned() override { return false; }
  bool IsOnSetTextAssigned() override { return false; }
  bool IsValidChar(AnsiChar) override { return true; }

 protected:
  // Every properties object using this provider forgets it, in the order
  // they were made.
  void ClearUsers();

 private:
  friend class TcxCustomEditProperties;
  // The properties objects using this provider, in the order they were
  // made: a provider that goes reaches its own users without walking every
  // properties object, so freeing n rows, each with its provider and its
  // properties, costs n steps.
  TcxCustomEditProperties* FFirstUser = nullptr;
  TcxCustomEditProperties* FLastUser = nullptr;
};

// The horizontal and vertical alignment of an editor's content; the
// horizontal value counts as set only once someone set it.
class TcxEditAlignment : public TPersistent {
  ORV_CLASS(TcxEditAlignment, TPersistent)
 public:
  explicit TcxEditAlignment(TPersistent* AOwner) : FOwner(AOwner) {}

  TPersistent* GetOwner() override { return FOwner; }
  // Forgets the horizontal value and notifies.
  void Reset();

  TAlignment GetHorz() const { return FHorz; }
  void SetHorz(TAlignment Value);
  TcxEditVertAlignment GetVert() const { return FVert; }
  void SetVert(TcxEditVertAlignment Value);
  bool GetIsHorzAssigned() const { return FIsHorzAssigned; }
  bool IsHorzStored() const { return FIsHorzAssigned; }
  bool IsVertStored() const { return FVert != cxEditDefaultVertAlignment; }

  TNotifyEvent OnChanged;

 protected:
  // Copies the values and the horizontal mark, then notifies.
  void DoAssign(TPersistent* Source) override;

 private:
  friend class TcxCustomEditProperties;
  void DoChanged() {
    if (OnChanged) OnChanged(this);
  }

  TPersistent* FOwner;
  TAlignment FHorz = cxEditDefaultHorzAlignment;
  bool FIsHorzAssigned = false;
  TcxEditVertAlignment FVert = cxEditDefaultVertAlignment;
};

// Which settings the user set (rather than taking them from the data).
class TcxCustomEditPropertiesValues : public TPersistent {
  ORV_CLASS(TcxCustomEditPropertiesValues, TPersistent)
 public:
  explicit TcxCustomEditPropertiesValues(TPersistent* AOwner);

  TPersistent* GetOwner() override;
  // Clears every mark.
  virtual void RestoreDefaults();

  void BeginUpdate();
  void EndUpdate();
  // Whether the owner's class publishes a property of that name.
  bool IsPropertiesPropertyVisible(const AnsiString& AName) const;

  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  TcxCustomEditProperties* GetProperties() const { return FOwner; }
  // Tells the owner that a mark changed.
  void Changed();

 private:
  TcxCustomEditProperties* FOwner;
  bool FReadOnly = false;
};

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  ORV_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
 public:
  explicit TcxCustomEditProperties(TPersistent* AOwner);
  ~TcxCustomEditProperties() override;
  void AfterConstruction() override;

  // Factories: the editor control, view data, view info and style classes
  // of the kind.
  virtual TClass GetContainerClass() const;
  virtual TClass GetViewDataClass() const;
  virtual TClass GetViewInfoClass() const;
  virtual TClass GetStyleClass() const;
  virtual TClass GetAssignedValuesClass() const { return TcxCustomEditPropertiesValues::StaticClass(); }
  // A new object of this class with no owner.
  virtual TcxCustomEditProperties* CreatePreviewProperties() const;
  // A view data of the kind for AStyle, stand-alone or in place; the
  // caller frees it. APreviewMode asks for a sample of the kind rather
  // than a picture of a value. Every view data, the editor's included, is
  // made here, so a kind that adds state to its view data does it once.
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace,
                                                bool APreviewMode = false);

  // Sizes for a cell or editor of this kind with AStyle, each asked of a
  // temporary view data: the part around the content (with the least
  // content size the buttons need), the content showing AEditValue, and
  // the whole.
  virtual TSize GetEditConstantPartSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize);
  virtual TSize GetEditContentSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle, bool AIsInplace,
                                   const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties);
  virtual TSize GetEditSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle, bool AIsInplace,
                            const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties);

  // Value hooks.
  virtual bool CanCompareEditValue() const { return false; }
  virtual bool CanValidate() const { return false; }
  virtual bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2);
  virtual void DataChanged() {}
  virtual AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true);
  virtual TcxEditDisplayFormatOptions GetDisplayFormatOptions() const { return {}; }
  virtual TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const;
  virtual TcxEditSpecialFeatures GetSpecialFeatures() const { return {}; }
  virtual TcxEditSupportedOperations GetSupportedOperations() const;
  virtual AnsiString GetValidateErrorText(TcxEditErrorKind AErrorKind) const;
  virtual TcxDataEditValueSource GetValueEditorEditValueSource(bool AEditFocused);
  virtual bool HasDisplayValue() const { return false; }
  virtual bool IsActivationKey(AnsiChar) const { return false; }
  virtual bool IsEditValueConversionDependOnFocused() const { return true; }
  virtual bool IsEditValueValid(Variant& EditValue, bool AEditFocused);
  virtual bool IsResetEditClass() const { return false; }
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused);
  virtual bool TabsNeed() const { return false; }
  virtual void Update(TcxCustomEditProperties* AProperties);
  // Checks the display value before the editor posts it; only kinds that
  // validate text (CanValidate) do anything.
  virtual void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                    IcxEditControl* AEdit);
  bool IsValueEditorWithValueFormatting();

  // Update bracket.
  void BeginUpdate();
  // Only the outermost end notifies, and only with AInvokeChanged and a
  // change pending; an end without a begin does nothing.
  void EndUpdate(bool AInvokeChanged = true);
  bool ChangedLocked() const { return FUpdateCount > 0; }
  // The same counted bracket under another name: true begins, false ends
  // without notifying, so a lock nested in another lock or in a bracket
  // never lets notices out early.
  void LockUpdate(bool ALock);
  virtual void Changed();
  Integer GetUpdateCount() const { return FUpdateCount; }

  // Settings.
  TcxEditAlignment* GetAlignment() { return BaseGetAlignment(); }
  void SetAlignment(TcxEditAlignment* Value) { BaseSetAlignment(Value); }
  // Made on first need: most properties never mark a value as assigned,
  // and a grid holds a properties object per row.
  TcxCustomEditPropertiesValues* GetAssignedValues() const;
  void SetAssignedValues(TcxCustomEditPropertiesValues* Value) { GetAssignedValues()->Assign(Value); }
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value);
  bool GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  // Made on first need: most kinds show no buttons, and a grid holds a
  // properties object per row.
  TcxEditButtons* GetButtons() const;
  void SetButtons(TcxEditButtons* Value) { GetButtons()->Assign(Value); }
  TcxEditButtonsViewStyle GetButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle Value);
  TShortCut GetClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut Value) { FClearKey = Value; }
  TShortCut GetClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value) { FClickKey = Value; }
  bool GetImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool Value) { FImmediatePost = Value; }
  bool GetInplaceMouseWheel() const { return FInplaceMouseWheel; }
  void SetInplaceMouseWheel(bool Value) { FInplaceMouseWheel = Value; }
  bool GetReadOnly() const;
  void SetReadOnly(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetUseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool GetValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }

  // Whether the editor may change its value now.
  bool CanModify();

  // Storing rules for the kinds that publish these settings.
  bool IsAlignmentStored();
  bool IsReadOnlyStored() const { return FAssignedValues && FAssignedValues->GetReadOnly(); }
  bool IsUseLeftAlignmentOnEditingStored() const {
    return FUseLeftAlignmentOnEditing != DefaultUseLeftAlignmentOnEditing();
  }

  // Puts the alignment and the marks back to their defaults.
  virtual void RestoreDefaults();

  IcxEditDefaultValuesProvider* GetIDefaultValuesProvider() const { return FIDefaultValuesProvider; }
  void SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider);
  void DefaultValuesChanged() { Changed(); }
  // Forgets the provider, which is going away.
  virtual void DefaultValuesProviderDestroyed();

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnClosePopup;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  // Set by the editor that owns or uses the object; told of every change.
  TNotifyEvent OnPropertiesChanged;

  // How many properties objects there are, from construction to
  // destruction. Default-values providers keep their own users, so nothing
  // needs a list of them all.
  static std::size_t InstanceCount();
  // Expires when this object goes: one that keeps a pointer to properties
  // it does not own (an item that left its change handler on shared ones)
  // asks it before touching them again.
  std::weak_ptr<const void> Presence();

 protected:
  // Copies another properties object's settings as one change; the
  // target keeps its own OnPropertiesChanged and close-popup handler.
  void DoAssign(TPersistent* Source) override;

  virtual void AlignmentChangedHandler(TObject* Sender);
  virtual void BaseSetAlignment(TcxEditAlignment* Value);
  TcxEditAlignment* BaseGetAlignment();
  virtual void ButtonsChanged(TObject* Sender);
  virtual bool DefaultUseLeftAlignmentOnEditing() const { return true; }
  // Relays the destruction of a watched component.
  virtual void FreeNotification(TComponent*) {}
  virtual TAlignment GetDefaultHorzAlignment();
  void DoValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error, IcxEditControl* AEdit,
                  bool& AUserChangedDisplayValue);
  // Made on first need: few kinds watch a component, and a grid holds a
  // properties object per row.
  TcxFreeNotificator* GetFreeNotificator();
  // The nearest component among the persistent owners.
  TComponent* GetOwnerComponent();
  // The owner as an editor control, when it is one.
  IcxEditControl* GetOwnerEdit();

 private:
  friend class TcxCustomEditDefaultValuesProvider;
  void FreeNotificationHandler(TComponent* Sender) { FreeNotification(Sender); }
  // Refers to AProvider, whose GetInstance is AInstance; the object joins
  // the users of AInstance when that is one of our providers.
  void ReferToProvider(IcxEditDefaultValuesProvider* AProvider, TObject* AInstance);
  void JoinUsers(TcxCustomEditDefaultValuesProvider* AProvider);
  void LeaveUsers();

  bool FAutoSelect = true;
  bool FBeepOnError = false;
  mutable TcxEditButtons* FButtons = nullptr;
  TcxEditButtonsViewStyle FButtonsViewStyle = bvsNormal;
  TShortCut FClearKey = 0;
  TShortCut FClickKey = scCtrl | 13;
  TcxFreeNotificator* FFreeNotificator = nullptr;
  bool FImmediatePost = false;
  // What the user set, made when first set or read: until then the
  // standard alignment, not assigned.
  TcxEditAlignment* StoredAlignment();
  TcxEditAlignment* FStoredAlignment = nullptr;
  TcxEditAlignment* FAlignment = nullptr;
  bool FReadOnly = false;
  bool FTransparent = false;
  Integer FUpdateCount = 0;
  bool FChangedOccurred = false;
  bool FUseLeftAlignmentOnEditing = true;
  bool FInplaceMouseWheel = true;
  bool FValidateOnEnter = false;
  mutable TcxCustomEditPropertiesValues* FAssignedValues = nullptr;
  IcxEditDefaultValuesProvider* FIDefaultValuesProvider = nullptr;
  // The provider whose users this object is among, and its neighbours
  // there.
  TcxCustomEditDefaultValuesProvider* FUsedProvider = nullptr;
  TcxCustomEditProperties* FPreviousUser = nullptr;
  TcxCustomEditProperties* FNextUser = nullptr;
  // The place in the order of construction.
  UInt64 FSerial = 0;
  std::shared_ptr<const TcxCustomEditProperties*> FPresence;
};
