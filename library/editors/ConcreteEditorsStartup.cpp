#include "library/editors/ConcreteEditorsStartup.h"

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/cxBlobEdit.h"
#include "library/editors/cxCalcEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxCurrencyEdit.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxEditDataRegisteredRepositoryItems.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/cxExtEditConsts.h"
#include "library/editors/cxHyperLinkEdit.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxImageComboBox.h"
#include "library/editors/cxMRUEdit.h"
#include "library/editors/cxMemo.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxRichEdit.h"
#include "library/editors/cxSpinEdit.h"
#include "library/editors/cxTimeEdit.h"
#include "platform/forms/UnitStartup.h"

void RegisterConcreteEditorUnits() {
  RegisterEditorUnits();
  RegisterUnit("cxSpinEdit", &cxSpinEditInitialize, &cxSpinEditFinalize);
  RegisterUnit("cxCheckBox", &cxCheckBoxInitialize, &cxCheckBoxFinalize);
  RegisterUnit("cxRadioGroup", &cxRadioGroupInitialize, &cxRadioGroupFinalize);
  RegisterUnit("cxTimeEdit", &cxTimeEditInitialize, &cxTimeEditFinalize);
  RegisterUnit("cxCurrencyEdit", &cxCurrencyEditInitialize, &cxCurrencyEditFinalize);
  RegisterUnit("cxDateEdit", &cxDateEditInitialize, &cxDateEditFinalize);
  RegisterUnit("cxCalcEdit", &cxCalcEditInitialize, &cxCalcEditFinalize);
  RegisterUnit("cxMemo", &cxMemoInitialize, &cxMemoFinalize);
  RegisterUnit("cxMRUEdit", &cxMRUEditInitialize, &cxMRUEditFinalize);
  RegisterUnit("cxImage", &cxImageInitialize, &cxImageFinalize);
  RegisterUnit("cxImageComboBox", &cxImageComboBoxInitialize, &cxImageComboBoxFinalize);
  RegisterUnit("cxBlobEdit", &cxBlobEditInitialize, &cxBlobEditFinalize);
  RegisterUnit("cxHyperLinkEdit", &cxHyperLinkEditInitialize, &cxHyperLinkEditFinalize);
  RegisterUnit("cxExtEditConsts", &cxExtEditConstsInitialize, &cxExtEditConstsFinalize);
  RegisterUnit("cxRichEdit", &cxRichEditInitialize, &cxRichEditFinalize);
  RegisterUnit("cxEditRepositoryItems", &cxEditRepositoryItemsInitialize, &cxEditRepositoryItemsFinalize);
  RegisterUnit("cxEditDataRegisteredRepositoryItems", &cxEditDataRegisteredRepositoryItemsInitialize,
               &cxEditDataRegisteredRepositoryItemsFinalize);
}
