// The controls tier's units, listed by RegisterControlsUnits in their
// start-up order: "Controls" (the native classes join the system's and
// their wrappers the classes layouts may name), "Memo" and "RichEdit".
// Nothing here lists itself: a program (or the tier above, which lists its
// own units after these) calls RegisterControlsUnits before the units
// start (platform/forms/UnitStartup.h).
#pragma once

void RegisterControlsUnits();

// What the units call: each class file gives its own registration.
void RegisterEditClasses();
void RegisterListBoxClasses();
void RegisterButtonClasses();
void RegisterPageControlClasses();
void RegisterMemoClasses();
void StartRichEditUnit();
void StopRichEditUnit();
