// The grid library's units in their start-up order, after the concrete
// editors' (RegisterConcreteEditorUnits). A program lists them through
// RegisterLibraryUnits (library/LibraryStartup.h); a test of the grid
// calls RegisterGridUnits itself.
#pragma once

void RegisterGridUnits();
