// The filter dialog: a builder for another control in a modal form with
// Open, Save As, OK, Cancel and Apply. A dialog opens where the last one
// in the process closed, with its size.
#pragma once

#include "library/grid/filter/cxFilterControl.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"

class TcxButton;
class TcxLookAndFeel;

// Where the last filter dialog closed; -1 until one has.
struct TcxFilterDialogPosition {
  Integer Left = -1;
  Integer Top = -1;
  Integer Width = -1;
  Integer Height = -1;
};
extern TcxFilterDialogPosition cxFilterDialogPosition;

class TfmFilterControlDialog : public TForm {
  ORV_CLASS(TfmFilterControlDialog, TForm)
 public:
  using TForm::TForm;
  void AfterConstruction() override;

  void SetLookAndFeel(TcxLookAndFeel* ALookAndFeel);
  void Initialize(const AnsiString& AInitialDir);
  void SetTitle(const AnsiString& AFileName);
  TcxFilterControl* GetFilterControl() const { return FFilterControl; }
  void SetFilterControl(TcxFilterControl* Value) { FFilterControl = Value; }

  // Layout fields and handlers.
  TPanel* pnlBottom = nullptr;
  TcxButton* btOpen = nullptr;
  TcxButton* btSave = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;
  TPanel* pnlBottomRight = nullptr;
  TcxButton* btApply = nullptr;
  TcxButton* btCancel = nullptr;
  TcxButton* btOk = nullptr;
  void acOpenExecute(TObject* Sender);
  void acSaveExecute(TObject* Sender);
  void acApplyExecute(TObject* Sender);
  void acOkExecute(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormKeyPress(TObject* Sender, char& Key);

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TcxFilterControl* FFilterControl = nullptr;
  bool FPopupOpenAtKeyDown = false;
};

// Shows a builder for AComponent in a modal dialog; true when it closed
// with OK. The look and feel, font and show handler are optional; a colour
// other than clDefault colours the builder.
bool ExecuteFilterControlDialog(TComponent* AComponent, TcxLookAndFeel* ALookAndFeel = nullptr,
                                TNotifyEvent AOnApplyFilter = {}, TNotifyEvent AOnShowDialog = {},
                                TColor AColor = clDefault, const AnsiString& AInitialDir = AnsiString(),
                                TFont* AFont = nullptr);
bool cxInternalExecuteFilterControlDialog(TcxFilterControlClass AFilterControlClass, TComponent* AComponent,
                                          TcxLookAndFeel* ALookAndFeel, TNotifyEvent AOnApplyFilter,
                                          TNotifyEvent AOnShowDialog, TColor AColor, const AnsiString& AInitialDir,
                                          TFont* AFont);
