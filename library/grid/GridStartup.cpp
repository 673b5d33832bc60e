#include "library/grid/GridStartup.h"

#include "library/editors/ConcreteEditorsStartup.h"
#include "library/editors/cxEditDataRegisteredRepositoryItems.h"
#include "library/grid/cxInplaceContainerItems.h"
#include "library/grid/cxVGridStyles.h"
#include "platform/forms/UnitStartup.h"

void RegisterGridUnits() {
  RegisterConcreteEditorUnits();
  RegisterUnit("cxEditDataRegisteredRepositoryItems", &cxEditDataRegisteredRepositoryItemsInitialize,
               &cxEditDataRegisteredRepositoryItemsFinalize);
  RegisterUnit("cxInplaceContainer", &cxInplaceContainerInitialize, &cxInplaceContainerFinalize);
  RegisterUnit("cxVGrid", &cxVGridInitialize, &cxVGridFinalize);
}
