// The concrete editors' units in their start-up order, after the editor
// framework's (and the foundation's before them). The program's entry code
// calls RegisterConcreteEditorUnits once before the units start (see
// platform/forms/UnitStartup.h).
#pragma once

void RegisterConcreteEditorUnits();
