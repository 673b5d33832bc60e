// Stand-ins for the grid's editing side, which the editor tests need long
// before the grid exists: a default-values provider whose every answer a
// test sets, a grid item that records the repository notices it hears, an
// editor owner that answers the properties' and styles' questions, and a
// properties class and a repository item class that publish what the
// concrete editor kinds will publish.
#pragma once

#include <string>
#include <vector>

#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxEditStyles.h"
#include "platform/rtl/Collation.h"

namespace edit_test {

// Every answer of the provider, set freely by a test.
struct ProviderAnswers {
  bool CanSetEditMode = true;
  TAlignment Alignment = taLeftJustify;
  TcxBlobKind BlobKind = bkMemo;
  bool CanModify = true;
  AnsiString DisplayFormat, EditFormat, EditMask;
  bool IsFloatValue = false;
  Integer MaxLength = 0;
  double MaxValue = 0.0, MinValue = 0.0;
  Integer Precision = 15;
  bool ReadOnly = false;
  bool Required = false;
  bool Blob = false, Currency = false, DataAvailable = true, DataStorage = false;
  bool DisplayFormatDefined = false;
  bool OnGetTextAssigned = false, OnSetTextAssigned = false;
  bool ValidChar = true;
  // The argument of the last IsDisplayFormatDefined call.
  mutable int LastCurrencyValueAccepted = -1;
};

}  // namespace edit_test

class TcxTestDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TcxTestDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TcxTestDefaultValuesProvider(TPersistent* AOwner = nullptr)
      : TcxCustomEditDefaultValuesProvider(AOwner) {}
  edit_test::ProviderAnswers Answers;

  bool CanSetEditMode() override { return Answers.CanSetEditMode; }
  TAlignment DefaultAlignment() override { return Answers.Alignment; }
  TcxBlobKind DefaultBlobKind() override { return Answers.BlobKind; }
  bool DefaultCanModify() override { return Answers.CanModify; }
  AnsiString DefaultDisplayFormat() override { return Answers.DisplayFormat; }
  AnsiString DefaultEditFormat() override { return Answers.EditFormat; }
  AnsiString DefaultEditMask() override { return Answers.EditMask; }
  bool DefaultIsFloatValue() override { return Answers.IsFloatValue; }
  Integer DefaultMaxLength() override { return Answers.MaxLength; }
  double DefaultMaxValue() override { return Answers.MaxValue; }
  double DefaultMinValue() override { return Answers.MinValue; }
  Integer DefaultPrecision() override { return Answers.Precision; }
  bool DefaultReadOnly() override { return Answers.ReadOnly; }
  bool DefaultRequired() override { return Answers.Required; }
  bool IsBlob() override { return Answers.Blob; }
  bool IsCurrency() override { return Answers.Currency; }
  bool IsDataAvailable() override { return Answers.DataAvailable; }
  bool IsDataStorage() override { return Answers.DataStorage; }
  bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) override {
    Answers.LastCurrencyValueAccepted = AIsCurrencyValueAccepted;
    return Answers.DisplayFormatDefined;
  }
  bool IsOnGetTextAssigned() override { return Answers.OnGetTextAssigned; }
  bool IsOnSetTextAssigned() override { return Answers.OnSetTextAssigned; }
  bool IsValidChar(AnsiChar) override { return Answers.ValidChar; }
};
inline ORV_REGISTER(TcxTestDefaultValuesProvider)

// A grid item as the repository sees it: it writes "<name>: removed <item>"
// and "<name>: changed <item>" to a log that several listeners may share.
class TcxTestRepositoryItemListener : public IcxEditRepositoryItemListener {
 public:
  TcxTestRepositoryItemListener(std::string AName, std::vector<std::string>* ALog) : Name(std::move(AName)), Log(ALog) {}
  void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override {
    Log->push_back(Name + ": removed " + Sender->GetName());
    if (StopListeningOnRemoval) Sender->RemoveListener(this);
  }
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) override {
    Log->push_back(Name + ": changed " + Sender->GetName());
  }
  std::string Name;
  std::vector<std::string>* Log;
  bool StopListeningOnRemoval = true;
};

// An editor as its properties and styles see it: in place or alone, which
// style properties its class publishes, what it shows and how it answers
// validation.
class TcxTestEditOwner : public TComponent, public IcxEditControl, public IcxContainerStyleOwner {
  ORV_CLASS(TcxTestEditOwner, TComponent)
 public:
  explicit TcxTestEditOwner(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  void AfterConstruction() override {
    TComponent::AfterConstruction();
    Control = New<TWinControl>(this);
  }

  bool Inplace = false;
  // Style property names not published for the states other than normal.
  std::vector<AnsiString> NotPublishedExtended;
  AnsiString CurrentText;
  TcxEditValidateEvent Validate;
  // The control whose colour and font the styles follow.
  TWinControl* Control = nullptr;

  // IcxEditControl
  bool HasValidateHandler() const override { return Validate.Assigned(); }
  void DoOnValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error) override {
    Validate(const_cast<TcxTestEditOwner*>(this), DisplayValue, ErrorText, Error);
  }
  AnsiString GetCurrentDisplayText() const override { return CurrentText; }
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) override { EditValue = ADisplayValue; }
  bool InternalFocused() override { return false; }

  // IcxContainerStyleOwner
  TWinControl* GetStyleOwnerControl() override { return Control; }
  bool IsStylePropertyPublished(const AnsiString& APropertyName, bool AExtended) override {
    if (!AExtended) return true;
    for (const AnsiString& name : NotPublishedExtended)
      if (SameText(name, APropertyName)) return false;
    return true;
  }
  bool DefaultParentColor() override { return false; }
  bool IsInplace() override { return Inplace; }
};
inline ORV_REGISTER(TcxTestEditOwner)

// A properties class publishing the settings every editor kind publishes.
class TcxTestEditProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxTestEditProperties, TcxCustomEditProperties)
 public:
  explicit TcxTestEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}
  // Kinds that validate text or format values switch these on.
  bool Validates = false;
  TcxEditDisplayFormatOptions FormatOptions;
  TcxDataEditValueSource UnfocusedSource = evsValue;

  bool CanValidate() const override { return Validates; }
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return FormatOptions; }
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override {
    return AEditFocused ? evsValue : UnfocusedSource;
  }
  using TcxCustomEditProperties::DoValidate;
};
inline ORV_REGISTER(TcxTestEditProperties,
                    ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
                    ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true),
                    ORV_PROP(BeepOnError).Default(false), ORV_PROP(Buttons), ORV_PROP(ClearKey).Default(0),
                    ORV_PROP(ClickKey).Default(16397), ORV_PROP(ImmediatePost).Default(false),
                    ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
                    ORV_PROP(UseLeftAlignmentOnEditing)
                        .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
                    ORV_PROP(ValidateOnEnter).Default(false), ORV_EVENT(OnButtonClick), ORV_EVENT(OnChange),
                    ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnValidate))

// A repository item of the test properties; its class name carries the
// repository prefix, so new items are named "<repository>TestItem".
class TcxEditRepositoryTestItem : public TcxEditRepositoryItem {
  ORV_CLASS(TcxEditRepositoryTestItem, TcxEditRepositoryItem)
 public:
  explicit TcxEditRepositoryTestItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TClass GetEditPropertiesClass() const override { return TcxTestEditProperties::StaticClass(); }
  TcxTestEditProperties* GetProperties() const {
    return static_cast<TcxTestEditProperties*>(TcxEditRepositoryItem::GetProperties());
  }
  void SetProperties(TcxTestEditProperties* Value) { TcxEditRepositoryItem::SetProperties(Value); }
};
inline ORV_REGISTER(TcxEditRepositoryTestItem, ORV_PROP(Properties))
