// Stateless helpers the editors' layout and painting share: which painter
// draws a look and feel, colours of borders and buttons, the default width
// of a button, a button's themed part and state, the region a button
// covers, and the conversion between the editors' text-output flags and
// the platform's DrawText flags.
#pragma once

#include "library/editors/core/cxEditButtons.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxLookAndFeels.h"

// How a button looks at the moment: ebsSelected is the hot (hovered) state.
ORV_ENUM(TcxEditButtonState, ebsDisabled, ebsNormal, ebsPressed, ebsSelected)

class TcxCustomEditProperties;

// Everything one button of an editor holds after a layout, as its view info
// keeps it. The button view info keeps its fields in this record (it can
// derive from it), so the layout and the painting helpers below read and
// write one set of values.
struct TcxEditButtonPaintInfo {
  TRect Bounds{};                    // the whole button
  TColor BackgroundColor = clNone;   // the editor's background at paint time
  AnsiString Caption;                // a bkText button's caption
  bool Default = false;
  bool Gradient = false;             // btsOffice11 buttons drawn with a gradient
  bool IsInplace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;        // the button sits in the left group
  bool LeftEdge = false;             // outer edge of the left group, or faces the text
  bool Native = false;               // drawn by the theme
  bool RightEdge = false;            // faces the text, or outer edge of the right group
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle ButtonStyle = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;          // the button leaves its background unfilled
  AnsiString PlainCaption;           // the caption without accelerator marks
  bool NativeTransparent = false;    // the themed part is partially transparent
  bool IsComboButton = false;        // the single drop-down button of a combo
  Integer NativePart = 0;            // 0: not themed
  Integer NativeState = 0;
  TBitmap* Glyph = nullptr;          // the button's picture (not owned)
  bool HasBackground = false;
  Integer ButtonIndex = -1;          // index in the properties' Buttons
  bool Stretchable = true;
  TRect VisibleBounds{};             // the part of Bounds inside the editor
  Integer Width = 0;                 // explicit width; 0 is the default width
};

// The painter class of a look and feel: the themed painter when ANative and
// themes are available, else the painter of AKind.
TcxCustomLookAndFeelPainterClass GetPainterClass(bool ANative, TcxLookAndFeelKind AKind);

// The editors' text-output flags and DrawText's flags, value by value
// (1 vertical centre, 2 right, 16 and 32 line modes, 256 measuring, 512
// tabs). Horizontal and bottom alignment have no counterpart. The line-mode
// values do not map back onto themselves: 16 goes to DT_SINGLELINE, which
// comes back as 32.
win::UINT cxTextOutFlagsToDrawTextFlags(win::UINT AFlags);
win::UINT DrawTextFlagsTocxTextOutFlags(win::UINT AFlags);

// The system hot-light colour on platforms that have one, else blue.
TColor GetHotTrackColor();
TColor GetEditBorderHighlightColor(bool AIsOffice11);
// The colour of a pressed (else hot) button in the ultra-flat or Office-11
// look.
TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11);
// The height a button's border takes from its content (top and bottom).
Integer GetEditButtonsContentVerticalOffset(TcxCanvas* ACanvas, TcxEditButtonStyle AButtonStyle, bool ANative);
// 1 for an in-place themed text editor with buttons, else 0.
Integer GetNativeInnerTextEditContentHeightCorrection(TcxCustomEditProperties* AProperties, bool AIsInplace);
// The style asks for a shadow and the editor is not drawn natively.
bool IsShadowDrawingNeeded(TcxCustomEditStyle* AStyle, bool AIsNativeStyle);

// The width a button takes when nothing stretches it. AButton.Native drops
// to false when the theme of the button cannot be used now.
Integer CalculateEditDefaultButtonWidth(TcxCanvas* ACanvas, TcxEditButtonPaintInfo& AButton);
// Sets NativePart, NativeState and NativeTransparent of a themed button
// from its State; all three are cleared for a button the theme does not
// draw.
void CalculateEditButtonState(TcxEditButtonPaintInfo& AButton);
// The area the button covers (its themed shape, else its bounds); the
// caller owns the region.
TcxRegion* GetEditButtonRegion(TcxCanvas* ACanvas, const TcxEditButtonPaintInfo& AButton);

// The unit's start-up step: the platform check behind GetHotTrackColor.
void cxEditUtilsInitialize();
