// The program's entry code: it needs a display, starts the library's
// units, creates the main window and the two dialogs, and runs the message
// loop until the main window closes.
#pragma once

#include <functional>

// Lists the library's units and the program's own (its layouts and the
// classes they name) for InitializeUnits.
void RegisterOrvantaUnits();

// Runs the program on the display DISPLAY names. Without a reachable
// display it says so on stderr and answers 1 instead of running unseen.
// AStarted, when given, runs once the windows exist, just before the
// message loop (tests hook in there); the program itself passes none.
int OrvantaMain(const std::function<void()>& AStarted = {});
