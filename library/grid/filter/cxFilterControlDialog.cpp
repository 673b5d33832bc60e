#include "library/grid/filter/cxFilterControlDialog.h"

#include "library/editors/core/cxDropDownEdit.h"
#include "library/foundation/cxButtons.h"
#include "library/foundation/cxLookAndFeels.h"
#include "library/grid/filter/cxFilterControlStrs.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"

void cxFilterControlRegisterLayouts();

ORV_REGISTER(TfmFilterControlDialog, ORV_FIELD(pnlBottom), ORV_FIELD(btOpen), ORV_FIELD(btSave),
             ORV_FIELD(OpenDialog), ORV_FIELD(SaveDialog), ORV_FIELD(pnlBottomRight), ORV_FIELD(btApply),
             ORV_FIELD(btCancel), ORV_FIELD(btOk), ORV_METHOD(acOpenExecute), ORV_METHOD(acSaveExecute),
             ORV_METHOD(acApplyExecute), ORV_METHOD(acOkExecute), ORV_METHOD(FormClose), ORV_METHOD(FormKeyDown),
             ORV_METHOD(FormKeyPress))

TcxFilterDialogPosition cxFilterDialogPosition;

void TfmFilterControlDialog::AfterConstruction() {
  // The layout is read by the inherited construction; it must be there.
  static const bool registered = (cxFilterControlRegisterLayouts(), true);
  (void)registered;
  inherited::AfterConstruction();
  SetPosition(poDesigned);
}

void TfmFilterControlDialog::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= win::WS_POPUP;
}

void TfmFilterControlDialog::SetLookAndFeel(TcxLookAndFeel* ALookAndFeel) {
  if (!ALookAndFeel) return;
  for (TcxButton* button : {btOpen, btSave, btOk, btCancel, btApply})
    button->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
  if (FFilterControl) FFilterControl->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
}

void TfmFilterControlDialog::SetTitle(const AnsiString& AFileName) {
  SaveDialog->SetFileName(AFileName);
  SetCaption(Format("%s - [%s]", {cxFilterControlString(cxSFilterControlDialogCaption), AFileName}));
}

void TfmFilterControlDialog::Initialize(const AnsiString& AInitialDir) {
  SetTitle(cxFilterControlString(cxSFilterControlDialogNewFile));
  OpenDialog->SetInitialDir(AInitialDir);
  OpenDialog->SetTitle(cxFilterControlString(cxSFilterControlDialogOpenDialogCaption));
  OpenDialog->SetDefaultExt(cxFilterControlString(cxSFilterControlDialogFileExt));
  OpenDialog->SetFilter(cxFilterControlString(cxSFilterControlDialogFileFilter));
  SaveDialog->SetInitialDir(AInitialDir);
  SaveDialog->SetTitle(cxFilterControlString(cxSFilterControlDialogSaveDialogCaption));
  SaveDialog->SetDefaultExt(OpenDialog->GetDefaultExt());
  SaveDialog->SetFilter(OpenDialog->GetFilter());
  btSave->SetCaption(cxFilterControlString(cxSFilterControlDialogActionSaveCaption));
  btOpen->SetCaption(cxFilterControlString(cxSFilterControlDialogActionOpenCaption));
  btApply->SetCaption(cxFilterControlString(cxSFilterControlDialogActionApplyCaption));
  btOk->SetCaption(cxFilterControlString(cxSFilterControlDialogActionOkCaption));
  btCancel->SetCaption(cxFilterControlString(cxSFilterControlDialogActionCancelCaption));
  if (FFilterControl) {
    FFilterControl->SetAlign(alClient);
    FFilterControl->SetParent(this);
  }
  const TcxFilterDialogPosition& p = cxFilterDialogPosition;
  if (p.Left != -1 && p.Top != -1) {
    SetLeft(p.Left);
    SetTop(p.Top);
  } else {
    SetLeft((Screen->GetWidth() - GetWidth()) / 2);
    SetTop((Screen->GetHeight() - GetHeight()) / 2);
  }
  if (p.Width > 0 && p.Height > 0) {
    SetWidth(p.Width);
    SetHeight(p.Height);
  }
}

void TfmFilterControlDialog::acOpenExecute(TObject*) {
  OpenDialog->SetFileName(AnsiString());
  if (!OpenDialog->Execute()) return;
  FFilterControl->LoadFromFile(OpenDialog->GetFileName());
  SetTitle(OpenDialog->GetFileName());
}

void TfmFilterControlDialog::acSaveExecute(TObject*) {
  if (!SaveDialog->Execute()) return;
  FFilterControl->SaveToFile(SaveDialog->GetFileName());
  SetTitle(SaveDialog->GetFileName());
}

void TfmFilterControlDialog::acApplyExecute(TObject*) { FFilterControl->ApplyFilter(); }

void TfmFilterControlDialog::acOkExecute(TObject*) { FFilterControl->ApplyFilter(); }

void TfmFilterControlDialog::FormClose(TObject*, TCloseAction&) {
  cxFilterDialogPosition = {GetLeft(), GetTop(), GetWidth(), GetHeight()};
}

void TfmFilterControlDialog::FormKeyDown(TObject*, Word&, TShiftState) {
  // An Escape that closes a drop-down must not close the dialog too.
  FPopupOpenAtKeyDown = false;
  for (TControl* control = GetActiveControl(); control; control = control->GetParent())
    if (auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(control)) {
      FPopupOpenAtKeyDown = edit->GetDroppedDown();
      break;
    }
}

void TfmFilterControlDialog::FormKeyPress(TObject*, char& Key) {
  if (Key == '\x1b' && !FPopupOpenAtKeyDown) Close();
}

bool cxInternalExecuteFilterControlDialog(TcxFilterControlClass AFilterControlClass, TComponent* AComponent,
                                          TcxLookAndFeel* ALookAndFeel, TNotifyEvent AOnApplyFilter,
                                          TNotifyEvent AOnShowDialog, TColor AColor, const AnsiString& AInitialDir,
                                          TFont* AFont) {
  auto* dialog = New<TfmFilterControlDialog>(Application);
  orv::ScopeExit freeDialog([dialog] { dialog->Free(); });
  auto* builder = static_cast<TcxFilterControl*>(AFilterControlClass.Construct<TComponent*>(nullptr));
  orv::ScopeExit freeBuilder([builder] { builder->Free(); });
  dialog->SetFilterControl(builder);
  dialog->SetLookAndFeel(ALookAndFeel);
  if (AFont) DialogApplyFont(dialog, AFont);
  if (auto* binding = Supports<IcxFilterControlDialog>(static_cast<TObject*>(builder)))
    binding->SetLinkComponent(AComponent);
  if (AColor != clDefault) builder->SetColor(AColor);
  builder->OnApplyFilter = AOnApplyFilter;
  dialog->Initialize(AInitialDir);
  dialog->OnShow = AOnShowDialog;
  return dialog->ShowModal() == mrOk;
}

bool ExecuteFilterControlDialog(TComponent* AComponent, TcxLookAndFeel* ALookAndFeel, TNotifyEvent AOnApplyFilter,
                                TNotifyEvent AOnShowDialog, TColor AColor, const AnsiString& AInitialDir,
                                TFont* AFont) {
  return cxInternalExecuteFilterControlDialog(TcxFilterControl::StaticClass(), AComponent, ALookAndFeel,
                                              AOnApplyFilter, AOnShowDialog, AColor, AInitialDir, AFont);
}
