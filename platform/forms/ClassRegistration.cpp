#include "platform/forms/ClassRegistration.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"

void RegisterFormsClasses() {
  RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TGraphicControl::StaticClass(),
                   TCustomControl::StaticClass(), TCustomForm::StaticClass(), TForm::StaticClass(),
                   THintWindow::StaticClass()});
}
