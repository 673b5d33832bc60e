#include "platform/controls/ControlsStartup.h"

#include "platform/forms/UnitStartup.h"

namespace {

void StartControls() {
  RegisterEditClasses();
  RegisterListBoxClasses();
  RegisterButtonClasses();
  RegisterPageControlClasses();
}

}  // namespace

void RegisterControlsUnits() {
  RegisterUnit("Controls", &StartControls, nullptr);
  RegisterUnit("Memo", &RegisterMemoClasses, nullptr);
  RegisterUnit("RichEdit", &StartRichEditUnit, &StopRichEditUnit);
}
