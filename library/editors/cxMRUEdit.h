// The most-recently-used editor: a combo box with free text whose list
// remembers what the user entered, newest first, as many as MaxItemCount
// allows, with an ellipsis button beside the drop-down button. Its
// remembered texts are the properties' lookup items; an editor in a cell
// hands them back to the row's own properties (Update).
#pragma once

#include "library/editors/core/cxComboBox.h"

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxCustomMRUEditProperties(TPersistent* AOwner) : TcxCustomComboBoxProperties(AOwner) {}
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
  // An editor's working copy gives its list back to the row's properties.
  void Update(TcxCustomEditProperties* AProperties) override;

  // 0 keeps every text; a negative count stores 0.
  Integer GetMaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(Integer Value);
  bool GetShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool Value);
  // Deletes the oldest texts beyond MaxItemCount.
  void CheckItemCount();

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  Integer FMaxItemCount = 0;
  bool FShowEllipsis = true;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
  ORV_CLASS(TcxMRUEditProperties, TcxCustomMRUEditProperties)
 public:
  explicit TcxMRUEditProperties(TPersistent* AOwner) : TcxCustomMRUEditProperties(AOwner) {}
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
  ORV_CLASS(TcxCustomMRUEdit, TcxCustomComboBox)
 public:
  explicit TcxCustomMRUEdit(TComponent* AOwner) : TcxCustomMRUEdit(AOwner, false) {}
  TcxCustomMRUEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace) {}

  TcxCustomMRUEditProperties* GetProperties() const {
    return static_cast<TcxCustomMRUEditProperties*>(TcxCustomComboBox::GetProperties());
  }
  TcxCustomMRUEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomMRUEditProperties*>(TcxCustomComboBox::GetActiveProperties());
  }
  void SetProperties(TcxCustomMRUEditProperties* Value) { TcxCustomComboBox::SetProperties(Value); }

  // Puts AText at the top of the list: moved there when remembered, else
  // announced as a new text, inserted and the list trimmed. An empty text
  // or the top one changes nothing.
  virtual void AddItem(const AnsiString& AText);

  void KeyDown(Word& Key, TShiftState Shift) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomComboBox::PropertiesChanged;

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void HandleSelectItem(TObject* Sender) override;
  void InternalValidateDisplayValue(const Variant& ADisplayValue) override;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
  ORV_CLASS(TcxMRUEdit, TcxCustomMRUEdit)
 public:
  explicit TcxMRUEdit(TComponent* AOwner) : TcxMRUEdit(AOwner, false) {}
  TcxMRUEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMRUEdit(AOwner, AIsInplace) {}

  TcxMRUEditProperties* GetProperties() const {
    return static_cast<TcxMRUEditProperties*>(TcxCustomMRUEdit::GetProperties());
  }
  TcxMRUEditProperties* GetActiveProperties() const {
    return static_cast<TcxMRUEditProperties*>(TcxCustomMRUEdit::GetActiveProperties());
  }
  void SetProperties(TcxMRUEditProperties* Value) { TcxCustomMRUEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

void cxMRUEditInitialize();
void cxMRUEditFinalize();
