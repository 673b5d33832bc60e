#include "platform/controls/ControlsStartup.h"

#include "platform/forms/UnitStartup.h"

namespace {

void StartControls() {
  RegisterEditClasses();
  RegisterListBoxClasses();
  RegisterButtonClasses();
  RegisterPageControlClasses();
}

const bool kControlsUnitListed = (RegisterUnit("Controls", &StartControls, nullptr), true);

}  // namespace

bool ControlsUnitListed() { return kControlsUnitListed; }
