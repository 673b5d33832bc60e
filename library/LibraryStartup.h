// The one start-up list of a program on the library. Every tier keeps its
// units in one function, Register<Tier>Units in its <Tier>Startup.h, that
// first calls the function of the tier it builds on and then lists its own
// units with RegisterUnit (platform/forms/UnitStartup.h):
//
//   RegisterControlsUnits        platform/controls/ControlsStartup.h
//   RegisterFoundationUnits      library/foundation/FoundationStartup.h
//   RegisterEditorUnits          library/editors/core/EditorsStartup.h
//   RegisterConcreteEditorUnits  library/editors/ConcreteEditorsStartup.h
//   RegisterGridUnits            library/grid/GridStartup.h
//
// A unit listed twice keeps its first place, so a list may call the one
// below it freely. Nothing lists itself from a static initialiser: the
// linker drops the unused objects of a static library, and the order of
// initialisers across files is not fixed.
//
// A program lists every unit with RegisterLibraryUnits, then starts them
// with InitializeUnits and shuts them down with FinalizeUnits (see
// docs/getting-started.md). A new tier's function calls the one of the
// tier it builds on, and RegisterLibraryUnits calls the topmost; a test of
// one tier calls that tier's function.
#pragma once

void RegisterLibraryUnits();
