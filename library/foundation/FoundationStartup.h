// The foundation's units in their start-up order, after the controls
// tier's (RegisterControlsUnits). A program lists them through
// RegisterLibraryUnits (library/LibraryStartup.h) before the units start;
// nothing here lists itself.
#pragma once

void RegisterFoundationUnits();
