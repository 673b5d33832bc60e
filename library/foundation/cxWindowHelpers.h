// Window helpers the library's controls and popups share: invalidation
// with an excluded part, the cursor position, the shadowed shape of a
// popup window, fonts handed to controls, and whether native (themed)
// drawing applies.
#pragma once

#include "library/foundation/dxThemeManager.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Graphics.h"

// The border every container keeps around its content by default.
inline constexpr TRect cxContainerDefaultBorderExtent{2, 2, 2, 2};
// Width of the shadow a popup casts to its right and below it.
constexpr Integer cxPopupShadowWidth = 3;

// Invalidates R of the window less AExcludedRect (client coordinates).
void InternalInvalidate(win::HWND AWnd, const TRect& R, const TRect& AExcludedRect, bool AErase = true);
// Invalidates R of the control's window when it has one.
void InternalInvalidateRect(TWinControl* AControl, const TRect& R, bool AErase = true);
// The cursor position in screen coordinates.
TPoint InternalGetCursorPos();
// Shapes a popup window: its bounds (window coordinates) and, with
// AShadow, the shadow strips to the right and below, less ANoShadowRect
// (the part over its owner, which casts none). Native popups and popups
// without a shadow lose any shape they had.
void SetWindowShadowRegion(win::HWND AWnd, const TRect& ABounds, bool ANativeStyle, const TRect& ANoShadowRect,
                           bool AShadow);
// The control's font becomes a copy of ASource.
void AssignFonts(TFont* ADest, TFont* ASource);
// Native style is asked for and a theme of that kind of element is open.
bool AreVisualStylesMustBeUsed(bool ANativeStyle, TdxThemedObjectType AType);
