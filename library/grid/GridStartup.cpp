#include "library/grid/GridStartup.h"

#include "library/editors/ConcreteEditorsStartup.h"
#include "library/grid/container/cxInplaceContainerItems.h"
#include "library/grid/navigator/cxNavigator.h"
#include "library/grid/vgrid/cxVGridStyles.h"
#include "platform/forms/UnitStartup.h"

void RegisterGridUnits() {
  RegisterConcreteEditorUnits();
  RegisterUnit("cxInplaceContainer", &cxInplaceContainerInitialize, &cxInplaceContainerFinalize);
  RegisterUnit("cxNavigator", &cxNavigatorInitialize, &cxNavigatorFinalize);
  RegisterUnit("cxVGrid", &cxVGridInitialize, &cxVGridFinalize);
}
