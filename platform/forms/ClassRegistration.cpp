#include "platform/forms/ClassRegistration.h"

#include "platform/forms/Actions.h"
#include "platform/forms/DialogControls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timer.h"

void RegisterFormsClasses() {
  RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TGraphicControl::StaticClass(),
                   TCustomControl::StaticClass(), TCustomForm::StaticClass(), TForm::StaticClass(),
                   THintWindow::StaticClass(), TLabel::StaticClass(), TBevel::StaticClass(), TImage::StaticClass(),
                   TTimer::StaticClass(), TDialogButton::StaticClass(), TDialogEdit::StaticClass(),
                   TDialogList::StaticClass(), TOpenDialog::StaticClass(), TSaveDialog::StaticClass(),
                   TOpenPictureDialog::StaticClass(), TSavePictureDialog::StaticClass(),
                   TPanel::StaticClass(), TPopupMenu::StaticClass(), TMenuItem::StaticClass(),
                   TAction::StaticClass()});
}
