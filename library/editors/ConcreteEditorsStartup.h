// The concrete editors' units in their start-up order, after the editor
// framework's (RegisterEditorUnits). A program lists them through
// RegisterLibraryUnits (library/LibraryStartup.h) before the units start.
#pragma once

void RegisterConcreteEditorUnits();
