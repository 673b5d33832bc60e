// The editor framework's units in their start-up order, after the
// foundation's (RegisterFoundationUnits). A program lists them through
// RegisterLibraryUnits (library/LibraryStartup.h) before the units start.
#pragma once

#include "platform/rtl/Types.h"

void RegisterEditorUnits();

// The editors' main unit: the cursor of mouse-wheel scrolling, the default
// edit style controller (also the containers' default) and the filter
// texts' lookup at start-up; the registries, the default repository and
// the default controller freed at shut-down. Counted: only the first
// start-up and the last shut-down act.
void cxEditInitialize();
void cxEditFinalize();
Integer cxEditStartCount();
