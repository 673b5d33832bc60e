#include "library/foundation/FoundationStartup.h"

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxGraphics.h"
#include "platform/forms/Controls.h"
#include "platform/forms/UnitStartup.h"

namespace {

// Library components stream together with controls.
void StartClasses() { GroupDescendentsWith(TcxComponent::StaticClass(), TControl::StaticClass()); }

void StopClasses() { cxClearResourceStrings(); }

}  // namespace

void RegisterFoundationUnits() {
  RegisterUnit("cxClasses", &StartClasses, &StopClasses);
  RegisterUnit("cxGraphics", nullptr, &cxGraphicsFinalize);
}
