// The foundation's units in their start-up order. The program's entry code
// calls RegisterFoundationUnits once before the units start (see
// platform/forms/UnitStartup.h); a static library's own initialisers could
// be dropped by the linker, so nothing here registers itself.
#pragma once

void RegisterFoundationUnits();
