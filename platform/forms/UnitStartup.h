// Start-up and shut-down of units. InitializeUnits runs the start-up
// routines once, in list order; FinalizeUnits runs the shut-down routines
// in exactly the reverse order. The platform's own units come first (class
// registry, resources, locale, themes, screen, application), then the
// units listed with RegisterUnit, in the order listed: a program lists the
// library's through RegisterLibraryUnits (library/LibraryStartup.h).
// Registries are made on first use, so no start-up step relies on another
// having run.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"

using TUnitProc = void (*)();

// Adds a unit after those already listed; a unit listed twice (by name)
// keeps its first place. Units added once the start-up ran are started at
// once.
void RegisterUnit(const char* Name, TUnitProc Initialization, TUnitProc Finalization);
// Runs every start-up routine not yet run, in order. A routine that fails
// stops the start-up: the units started so far are shut down again, in
// reverse, and the error goes on.
void InitializeUnits();
// Runs the shut-down routines of the started units, last first; each runs
// even when an earlier one fails (the first failure is reported after).
void FinalizeUnits();
// The names of the started units, in start-up order.
std::vector<AnsiString> StartedUnits();
