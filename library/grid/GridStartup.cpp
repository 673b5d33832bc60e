#include "library/grid/GridStartup.h"

#include "library/editors/ConcreteEditorsStartup.h"
#include "library/grid/cxInplaceContainerItems.h"
#include "library/grid/cxNavigator.h"
#include "library/grid/cxVGridStyles.h"
#include "platform/forms/UnitStartup.h"

void RegisterGridUnits() {
  RegisterConcreteEditorUnits();
  RegisterUnit("cxInplaceContainer", &cxInplaceContainerInitialize, &cxInplaceContainerFinalize);
  RegisterUnit("cxNavigator", &cxNavigatorInitialize, &cxNavigatorFinalize);
  RegisterUnit("cxVGrid", &cxVGridInitialize, &cxVGridFinalize);
}
