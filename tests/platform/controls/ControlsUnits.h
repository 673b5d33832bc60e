// The controls tier's units, listed before a session starts them: a stage
// derives from this ahead of its session member.
#pragma once

#include "platform/controls/ControlsStartup.h"

struct ControlsUnitsListed {
  ControlsUnitsListed() { RegisterControlsUnits(); }
};
