// The Office-11 palette: which standard colour scheme the visual theme
// uses, one process-wide set of named colours, brushes and bitmaps taken
// from that scheme (or derived from the system colours), colour
// arithmetic, gradients and the small decorations of the look.
//
// Colours are RGB TColors. The brushes and bitmaps are counted: they exist
// between the first CreateOffice11Colors and the matching last
// ReleaseOffice11Colors; the colours keep their last values after that.
#pragma once

#include "library/foundation/cxGraphics.h"
#include "platform/forms/Bitmap.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/TypeInfo.h"

ORV_ENUM(TOffice11Scheme, schUnknown, schNormalColor, schHomestead, schMetallic)
// schNormalColor..schMetallic: the schemes with a row of table colours.
using TOffice11SchemeColor = TOffice11Scheme;

// ---- Named colours ----
extern TColor dxOffice11DockColor1, dxOffice11DockColor2;
extern TColor dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2;
extern TColor dxOffice11BarMarkColors1[3], dxOffice11BarMarkColors2[3];
extern TColor dxOffice11BarBorderColors[2];
extern TColor dxOffice11BarBorderMarkColors[2][3];
extern TColor dxOffice11BarFingerColor1, dxOffice11BarFingerColor2;
extern TColor dxOffice11BarSeparatorColor1, dxOffice11BarSeparatorColor2;
extern TColor dxOffice11BarMarkArrowColor1, dxOffice11BarMarkArrowColor2;
extern TColor dxOffice11BarFloatingBorderColor1, dxOffice11BarFloatingBorderColor2,
    dxOffice11BarFloatingBorderColor3;
extern TColor dxOffice11BarFloatingCaptionColor;
extern TColor dxOffice11BarFloatingCaptionTextColor1, dxOffice11BarFloatingCaptionTextColor2,
    dxOffice11BarFloatingCaptionTextColor3;
extern TColor dxOffice11MenuColor;
extern TColor dxOffice11MenuDownedColor1, dxOffice11MenuDownedColor2;
extern TColor dxOffice11MenuIndentColor1, dxOffice11MenuIndentColor2;
extern TColor dxOffice11MenuNonRecentIndentColor1, dxOffice11MenuNonRecentIndentColor2;
extern TColor dxOffice11DropDownBorderColor1, dxOffice11DropDownBorderColor2;
extern TColor dxOffice11ToolbarSelectedColor;
extern TColor dxOffice11SelectedBorderColor;
extern TColor dxOffice11SelectedColor1, dxOffice11SelectedColor2;
extern TColor dxOffice11SelectedDownColor1, dxOffice11SelectedDownColor2;
extern TColor dxOffice11OwnerControlDownedColor;
extern TColor dxOffice11DownedColor, dxOffice11DownedSelectedColor;
extern TColor dxOffice11DetachableColor, dxOffice11DetachableSelectedColor;
extern TColor dxOffice11TextEnabledColor, dxOffice11TextDisabledColor;
extern TColor dxOffice11StaticBorderColor;
extern TColor dxOffice11DateHeaderColor;
extern TColor dxOffice11InPlaceSubItemColor, dxOffice11InPlaceSubItemTextColor;
extern TColor dxOffice11ControlBorderColor;
extern TColor dxOffice11GroupColor;
extern TColor dxOffice11DayNavigatorSelectedColor;
extern TColor dxOffice11OutlookBorderColor, dxOffice11OutlookControlColor;
extern TColor dxOffice11GroupIndentColor;
extern TColor dxOffice11GroupRowTextColor, dxOffice11GroupRowSeparatorColor;
extern TColor dxOffice11NavPaneBorder;
extern TColor dxOffice11NavPaneGroupCaptionColor1, dxOffice11NavPaneGroupCaptionColor2;
extern TColor dxOffice11NavPaneGroupCaptionHotColor1, dxOffice11NavPaneGroupCaptionHotColor2;
extern TColor dxOffice11NavPaneGroupCaptionPressedColor1, dxOffice11NavPaneGroupCaptionPressedColor2;
extern TColor dxOffice11NavPaneGroupCaptionPressedHotColor1, dxOffice11NavPaneGroupCaptionPressedHotColor2;
extern TColor dxOffice11NavPaneHeaderColor1, dxOffice11NavPaneHeaderColor2;
extern TColor dxOffice11NavPaneHeaderFontColor;
extern TColor dxOffice11NavPaneSplitterColor1, dxOffice11NavPaneSplitterColor2;
extern TColor dxOffice11ExpandButtonColor1, dxOffice11ExpandButtonColor2;

// ---- Brushes (three share the handle of another) and bitmaps ----
extern win::HBRUSH dxOffice11BarFingerBrush1, dxOffice11BarFingerBrush2;
extern win::HBRUSH dxOffice11BarSeparatorBrush1, dxOffice11BarSeparatorBrush2;
extern win::HBRUSH dxOffice11DropDownBorderBrush1;
extern win::HBRUSH dxOffice11MenuBrush;
extern win::HBRUSH dxOffice11DropDownBorderBrush2;  // = dxOffice11MenuBrush
extern win::HBRUSH dxOffice11SelectedBorderBrush;
extern win::HBRUSH dxOffice11OwnerControlDownedBrush;
extern win::HBRUSH dxOffice11DownedBrush, dxOffice11DownedSelectedBrush;
extern win::HBRUSH dxOffice11DetachableBrush;
extern win::HBRUSH dxOffice11ToolbarSelectedBrush;
extern win::HBRUSH dxOffice11DetachableSelectedBrush;  // = dxOffice11ToolbarSelectedBrush
extern win::HBRUSH dxOffice11StaticBorderBrush;        // = dxOffice11DropDownBorderBrush1
extern win::HBRUSH dxOffice11InPlaceSubItemBrush;
// The sub-menu arrow recoloured to the toolbar gradient; the 11 x 11
// expand buttons (minus, plus), whose corners the painter softens.
extern TBitmap* dxOffice11SubMenuExpandBitmap;
extern TBitmap* dxOffice11ExpandButtonBitmap1;
extern TBitmap* dxOffice11ExpandButtonBitmap2;

// ---- Scheme and life cycle ----
TOffice11Scheme GetOffice11Scheme();
// Themes are on and the scheme is one of the three standard ones.
bool IsXPStandardScheme();
void CreateOffice11Colors();
void RefreshOffice11Colors();
void ReleaseOffice11Colors();

// ---- Colour arithmetic ----
// APercent of AColor1 and the rest of AColor2, each channel kept in 0..255,
// as the screen shows it. (GetRealColor and GetLightColor: cxGraphics.h.)
TColor GetMiddleRGB(TColor AColor1, TColor AColor2, Integer APercent);
// Each channel scaled to APercent and lifted towards white by the rest,
// kept in 0..255.
TColor Light(TColor AColor, Byte APercent);
// Each channel scaled to APercent, kept in 0..255.
TColor Dark(TColor AColor, Byte APercent);
bool IsHighContrastBlack();
bool IsHighContrastWhite();
bool IsHighContrast2();

// ---- Drawing ----
// At most 256 bands from AColor1 to AColor2 across the rectangle's width
// (AHorizontal) or height. A one-pixel rectangle takes AColor1.
void FillGradientRect(win::HDC DC, const TRect& ARect, TColor AColor1, TColor AColor2, bool AHorizontal);
// One band per pixel: AColor1 down to a middle colour AColor2's way by the
// scheme's depth, then on to AColor2.
void FillTubeGradientRect(win::HDC DC, const TRect& ARect, TColor AColor1, TColor AColor2, bool AHorizontal);
// The colour FillGradientRect gives the band at APosition.
TColor GetGradientColorRect(const TRect& ARect, Integer APosition, TColor AColor1, TColor AColor2,
                            bool AHorizontal);
void FillRectByColor(win::HDC DC, const TRect& ARect, TColor AColor);
void FrameRectByColor(win::HDC DC, const TRect& ARect, TColor AColor);
void Office11FrameSelectedRect(win::HDC DC, const TRect& ARect);
// Grip dots every 4 pixels along the rectangle.
void Office11DrawFingerElements(win::HDC DC, const TRect& ARect, bool AVertical);
// A triangle of grip dots in the bottom-right corner.
void Office11DrawSizeGrip(win::HDC DC, const TRect& ARect);
// A down or right arrow sized to the rectangle. The last flag is unused.
void Office11DrawItemArrow(win::HDC DC, const TRect& ARect, bool ADownArrow, bool AEnabled, bool ASelected,
                           bool AFlat);
void Office11DrawLargeItemArrow(win::HDC DC, const TRect& ARect, bool ADownArrow, Integer ASize, bool ASelected,
                                bool AEnabled, bool AFlat);
