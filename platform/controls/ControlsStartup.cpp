#include "platform/controls/ControlsStartup.h"

#include "platform/forms/UnitStartup.h"

namespace {

void StartControls() {
  RegisterListBoxClasses();
  RegisterButtonClasses();
}

const bool kControlsUnitListed = (RegisterUnit("Controls", &StartControls, nullptr), true);

}  // namespace

bool ControlsUnitListed() { return kControlsUnitListed; }
