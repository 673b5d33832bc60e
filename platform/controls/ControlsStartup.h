// The controls tier's unit: when the units start, its native classes join
// the system's and its wrappers the classes layouts may name. Each class
// file gives one registration function, called from here.
#pragma once

void RegisterEditClasses();
void RegisterListBoxClasses();
void RegisterButtonClasses();
void RegisterPageControlClasses();

// True once the tier's unit is listed with the start-up. The wrappers'
// constructors ask, so a program that uses one of them starts the tier.
bool ControlsUnitListed();
