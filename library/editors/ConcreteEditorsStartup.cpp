#include "library/editors/ConcreteEditorsStartup.h"

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/forms/UnitStartup.h"

void RegisterConcreteEditorUnits() {
  RegisterEditorUnits();
  RegisterUnit("cxSpinEdit", &cxSpinEditInitialize, &cxSpinEditFinalize);
  RegisterUnit("cxCheckBox", &cxCheckBoxInitialize, &cxCheckBoxFinalize);
  RegisterUnit("cxRadioGroup", &cxRadioGroupInitialize, &cxRadioGroupFinalize);
}
