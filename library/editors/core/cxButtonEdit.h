// The button editor: a masked editor whose properties start with one
// embedded ellipsis button, the default one (the click key presses it).
// Clicking a button raises the properties' OnButtonClick.
#pragma once

#include "library/editors/core/cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomButtonEditProperties(TPersistent* AOwner) : TcxCustomMaskEditProperties(AOwner) {}
  // Adds the default ellipsis button once the buttons exist.
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
};

// The published form.
class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
  ORV_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)
 public:
  explicit TcxButtonEditProperties(TPersistent* AOwner) : TcxCustomButtonEditProperties(AOwner) {}
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomButtonEdit(TComponent* AOwner) : TcxCustomMaskEdit(AOwner) {}
  TcxCustomButtonEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace) {}

  TcxCustomButtonEditProperties* GetProperties() const {
    return static_cast<TcxCustomButtonEditProperties*>(TcxCustomMaskEdit::GetProperties());
  }
  TcxCustomButtonEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomButtonEditProperties*>(TcxCustomMaskEdit::GetActiveProperties());
  }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  // The button style, transparency and gradient are published for this
  // editor; only the popup border stays hidden.
  TcxContainerStyleValues InternalGetNotPublishedStyleValues() override;
};

class TcxButtonEdit : public TcxCustomButtonEdit {
  ORV_CLASS(TcxButtonEdit, TcxCustomButtonEdit)
 public:
  explicit TcxButtonEdit(TComponent* AOwner) : TcxCustomButtonEdit(AOwner) {}
  TcxButtonEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomButtonEdit(AOwner, AIsInplace) {}

  TcxButtonEditProperties* GetProperties() const {
    return static_cast<TcxButtonEditProperties*>(TcxCustomButtonEdit::GetProperties());
  }
  TcxButtonEditProperties* GetActiveProperties() const {
    return static_cast<TcxButtonEditProperties*>(TcxCustomButtonEdit::GetActiveProperties());
  }
  void SetProperties(TcxButtonEditProperties* Value) { TcxCustomButtonEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  // The first read clears the default button, so that the stored buttons
  // replace it rather than join it.
  void ReadState(TReader* Reader) override;

 private:
  bool FFirstRead = false;
};

// Registers the button editor kind; counted like the other units.
void cxButtonEditInitialize();
void cxButtonEditFinalize();
