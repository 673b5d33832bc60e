// The hidden rich-edit window of the process that draws and measures rich
// text for cells without an editor window. It is made on first use, as a
// child of the application's hidden window, and freed when the rich text
// editor unit shuts down. Without an application there is no window to
// hang it on: cells then paint no text and measure as one line.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Variant.h"

class TcxCustomRichEditProperties;
class TcxRichInnerEdit;
class TFont;

// The renderer; null while no application has been initialised.
TcxRichInnerEdit* cxRichRenderer();
void cxFreeRichRenderer();

// Draws AValue into (0, 0, R.width, R.height) of ADC, filled with
// ABackground first, or (AMeasureOnly) answers the height in pixels the
// value takes at R's width. -1 when there is no renderer.
Integer cxDrawRichEditText(win::HDC ADC, const TRect& R, const Variant& AValue,
                           TcxCustomRichEditProperties* AProperties, TFont* AFont, TColor ATextColor,
                           TColor ABackground, bool AMeasureOnly);

// The plain text the renderer reads out of a rich value; the value as it
// is without a renderer.
AnsiString cxRichEditPlainText(const Variant& AValue);
