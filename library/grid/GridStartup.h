// The grid library's units in their start-up order (the concrete editors'
// units, the editor framework's and the foundation's first). The program's
// entry code calls RegisterGridUnits once before the units start (see
// platform/forms/UnitStartup.h).
#pragma once

void RegisterGridUnits();
