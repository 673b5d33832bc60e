// The dialog that asks for the caption of a new category row.
#pragma once

#include "library/editors/core/cxTextEdit.h"
#include "library/foundation/cxButtons.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"

class TcxLookAndFeel;

class TfmCreateCategory : public TForm {
  ORV_CLASS(TfmCreateCategory, TForm)
 public:
  using TForm::TForm;
  // The texts from the grid's string table; OK follows the caption.
  void AfterConstruction() override;
  // Takes AForm's font name, centres over it and takes the look and feel.
  void PrepareForForm(TCustomForm* AForm, TcxLookAndFeel* ALookAndFeel);
  // OK is enabled exactly when the caption is not empty.
  void UpdateOKButton();

  TLabel* lbCaption = nullptr;
  TBevel* Bevel = nullptr;
  TcxButton* btOK = nullptr;
  TcxButton* btCancel = nullptr;
  TcxTextEdit* edCaption = nullptr;

 private:
  void edCaptionPropertiesChange(TObject* Sender);
};

// Shows the dialog over AForm with ACaption in it; true (and the entered
// caption) when it was closed with OK.
bool cxShowNewCategoryForm(TCustomForm* AForm, AnsiString& ACaption, TcxLookAndFeel* ALookAndFeel);
