// The system colour table as the drawing tier sees it. The window tier
// owns the real table (GetSysColor/SetSysColors) and installs its lookup
// here at start-up; until then the classic values below answer. The brush
// cache follows the lookup, so GetSysColorBrush always paints the colour
// the table holds now.
#pragma once

#include "platform/gdi/GdiTypes.h"

namespace win {

using SysColorLookup = COLORREF (*)(int index);

// Installs the lookup the drawing tier uses for system colours; nullptr
// restores the classic table.
void SetSysColorLookup(SysColorLookup lookup);

// The colour the drawing tier uses for index (0..30); black for others.
COLORREF GdiSysColor(int index);

// The classic value of a system colour (the default table).
COLORREF ClassicSysColor(int index);

// A stock brush of the system colour: never deleted, DeleteObject ignores it.
HBRUSH GetSysColorBrush(int index);

}  // namespace win
