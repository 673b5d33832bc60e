#include "library/foundation/dxOffice11.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxPaintBounds.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/forms/Graphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Modules.h"

// Generated from resources/office11 by the build.
void dxRegisterOffice11Resources();

using namespace win;

TColor dxOffice11DockColor1, dxOffice11DockColor2;
TColor dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2;
TColor dxOffice11BarMarkColors1[3], dxOffice11BarMarkColors2[3];
TColor dxOffice11BarBorderColors[2];
TColor dxOffice11BarBorderMarkColors[2][3];
TColor dxOffice11BarFingerColor1, dxOffice11BarFingerColor2;
TColor dxOffice11BarSeparatorColor1, dxOffice11BarSeparatorColor2;
TColor dxOffice11BarMarkArrowColor1, dxOffice11BarMarkArrowColor2;
TColor dxOffice11BarFloatingBorderColor1, dxOffice11BarFloatingBorderColor2, dxOffice11BarFloatingBorderColor3;
TColor dxOffice11BarFloatingCaptionColor;
TColor dxOffice11BarFloatingCaptionTextColor1, dxOffice11BarFloatingCaptionTextColor2,
    dxOffice11BarFloatingCaptionTextColor3;
TColor dxOffice11MenuColor;
TColor dxOffice11MenuDownedColor1, dxOffice11MenuDownedColor2;
TColor dxOffice11MenuIndentColor1, dxOffice11MenuIndentColor2;
TColor dxOffice11MenuNonRecentIndentColor1, dxOffice11MenuNonRecentIndentColor2;
TColor dxOffice11DropDownBorderColor1, dxOffice11DropDownBorderColor2;
TColor dxOffice11ToolbarSelectedColor;
TColor dxOffice11SelectedBorderColor;
TColor dxOffice11SelectedColor1, dxOffice11SelectedColor2;
TColor dxOffice11SelectedDownColor1, dxOffice11SelectedDownColor2;
TColor dxOffice11OwnerControlDownedColor;
TColor dxOffice11DownedColor, dxOffice11DownedSelectedColor;
TColor dxOffice11DetachableColor, dxOffice11DetachableSelectedColor;
TColor dxOffice11TextEnabledColor, dxOffice11TextDisabledColor;
TColor dxOffice11StaticBorderColor;
TColor dxOffice11DateHeaderColor;
TColor dxOffice11InPlaceSubItemColor, dxOffice11InPlaceSubItemTextColor;
TColor dxOffice11ControlBorderColor;
TColor dxOffice11GroupColor;
TColor dxOffice11DayNavigatorSelectedColor;
TColor dxOffice11OutlookBorderColor, dxOffice11OutlookControlColor;
TColor dxOffice11GroupIndentColor;
TColor dxOffice11GroupRowTextColor, dxOffice11GroupRowSeparatorColor;
TColor dxOffice11NavPaneBorder;
TColor dxOffice11NavPaneGroupCaptionColor1, dxOffice11NavPaneGroupCaptionColor2;
TColor dxOffice11NavPaneGroupCaptionHotColor1, dxOffice11NavPaneGroupCaptionHotColor2;
TColor dxOffice11NavPaneGroupCaptionPressedColor1, dxOffice11NavPaneGroupCaptionPressedColor2;
TColor dxOffice11NavPaneGroupCaptionPressedHotColor1, dxOffice11NavPaneGroupCaptionPressedHotColor2;
TColor dxOffice11NavPaneHeaderColor1, dxOffice11NavPaneHeaderColor2;
TColor dxOffice11NavPaneHeaderFontColor;
TColor dxOffice11NavPaneSplitterColor1, dxOffice11NavPaneSplitterColor2;
TColor dxOffice11ExpandButtonColor1, dxOffice11ExpandButtonColor2;

HBRUSH dxOffice11BarFingerBrush1, dxOffice11BarFingerBrush2;
HBRUSH dxOffice11BarSeparatorBrush1, dxOffice11BarSeparatorBrush2;
HBRUSH dxOffice11DropDownBorderBrush1;
HBRUSH dxOffice11MenuBrush;
HBRUSH dxOffice11DropDownBorderBrush2;
HBRUSH dxOffice11SelectedBorderBrush;
HBRUSH dxOffice11OwnerControlDownedBrush;
HBRUSH dxOffice11DownedBrush, dxOffice11DownedSelectedBrush;
HBRUSH dxOffice11DetachableBrush;
HBRUSH dxOffice11ToolbarSelectedBrush;
HBRUSH dxOffice11DetachableSelectedBrush;
HBRUSH dxOffice11StaticBorderBrush;
HBRUSH dxOffice11InPlaceSubItemBrush;
TBitmap* dxOffice11SubMenuExpandBitmap;
TBitmap* dxOffice11ExpandButtonBitmap1;
TBitmap* dxOffice11ExpandButtonBitmap2;

namespace {

struct SchemeState {
  TOffice11Scheme Scheme = schUnknown;
  bool XPStandardScheme = false;
  Integer RefCount = 0;
  Integer TubeDepth = 75;
};

SchemeState& S() {
  static SchemeState state;
  return state;
}

constexpr std::size_t kTableColors = 49;

// The named colours the scheme table fills, in its column order.
const std::array<TColor*, kTableColors>& TableTargets() {
  static const std::array<TColor*, kTableColors> targets{
      &dxOffice11ToolbarsColor1,
      &dxOffice11ToolbarsColor2,
      &dxOffice11DockColor1,
      &dxOffice11DockColor2,
      &dxOffice11BarMarkColors2[0],
      &dxOffice11BarMarkColors1[0],
      &dxOffice11BarMarkColors2[1],
      &dxOffice11BarMarkColors1[1],
      &dxOffice11BarMarkColors2[2],
      &dxOffice11BarMarkColors1[2],
      &dxOffice11BarBorderColors[0],
      &dxOffice11BarBorderColors[1],
      &dxOffice11BarFingerColor1,
      &dxOffice11BarFingerColor2,
      &dxOffice11BarSeparatorColor1,
      &dxOffice11BarSeparatorColor2,
      &dxOffice11BarFloatingBorderColor1,
      &dxOffice11BarFloatingBorderColor2,
      &dxOffice11DropDownBorderColor1,
      &dxOffice11MenuColor,
      &dxOffice11ToolbarSelectedColor,
      &dxOffice11SelectedBorderColor,
      &dxOffice11SelectedColor1,
      &dxOffice11SelectedColor2,
      &dxOffice11SelectedDownColor1,
      &dxOffice11SelectedDownColor2,
      &dxOffice11OwnerControlDownedColor,
      &dxOffice11DownedColor,
      &dxOffice11DownedSelectedColor,
      &dxOffice11DetachableColor,
      &dxOffice11TextEnabledColor,
      &dxOffice11TextDisabledColor,
      &dxOffice11GroupColor,
      &dxOffice11DayNavigatorSelectedColor,
      &dxOffice11OutlookControlColor,
      &dxOffice11OutlookBorderColor,
      &dxOffice11GroupRowTextColor,
      &dxOffice11NavPaneBorder,
      &dxOffice11NavPaneGroupCaptionColor1,
      &dxOffice11NavPaneGroupCaptionColor2,
      &dxOffice11NavPaneGroupCaptionHotColor1,
      &dxOffice11NavPaneGroupCaptionHotColor2,
      &dxOffice11NavPaneGroupCaptionPressedColor1,
      &dxOffice11NavPaneGroupCaptionPressedColor2,
      &dxOffice11NavPaneGroupCaptionPressedHotColor1,
      &dxOffice11NavPaneGroupCaptionPressedHotColor2,
      &dxOffice11NavPaneHeaderColor1,
      &dxOffice11NavPaneHeaderColor2,
      &dxOffice11NavPaneHeaderFontColor,
  };
  return targets;
}

// Rows: normal colour, homestead, metallic. Values are 0x00BBGGRR.
constexpr TColor kSchemeColors[3][kTableColors] = {
    {0xFEECDD, 0xE2A981, 0xF5BE9E, 0xF9DAC3, 0x913500, 0xF1A675, 0x76C1FF, 0xD3F8FF, 0x98DDFF, 0x5295FE,
     0x9C613B, 0xE0A47B, 0x764127, 0xFFFFFF, 0xCB8C6A, 0xFFF9F1, 0xC9662A, 0xF9DBC4, 0x962D00, 0xF6F6F6,
     0xC2EEFF, 0x800000, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xFCE1CB, 0x6FC0FF, 0x3E80FE, 0xF0C7A9,
     0x000000, 0x8D8D8D, 0xFBDABE, 0x94E6FB, 0xFADAC4, 0x962D00, 0xB96837, 0x962D00, 0xFBE5D3, 0xE4AE88,
     0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8, 0x7CDAF7, 0xD68759, 0x933803, 0xFFFFFF},
    {0xDEF7F4, 0x91C6B7, 0xA7D9D9, 0xE4F0F2, 0x6B7760, 0x8CC2B0, 0x76C1FF, 0xD3F8FF, 0x98DDFF, 0x5295FE,
     0x588060, 0x8FC4B5, 0x335E51, 0xFFFFFF, 0x588060, 0xDEF7F4, 0x5E8674, 0xADDEE1, 0x5E8D75, 0xEEF4F4,
     0xC2EEFF, 0x385D3F, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xB6E3D8, 0x6FC0FF, 0x3E80FE, 0x9FD4C5,
     0x000000, 0x8D8D8D, 0x91BAAF, 0x94E6FB, 0xE4F1F2, 0x588060, 0x548973, 0x5E8D75, 0xDBF5F2, 0x97C9BC,
     0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8, 0x7CDAF7, 0x82C0AF, 0x447A63, 0xFFFFFF},
    {0xFAF4F3, 0xB59799, 0xE5D7D7, 0xF7F3F3, 0x927476, 0xC8B2B3, 0x76C1FF, 0xD3F8FF, 0x98DDFF, 0x5295FE,
     0x947C7C, 0xB09193, 0x755454, 0xFFFFFF, 0x8F6D6E, 0xFFFFFF, 0x99797A, 0xE4DADB, 0x947C7C, 0xFFFAFD,
     0xC2EEFF, 0x6F4B4B, 0xCCF4FF, 0x91D0FF, 0x8ED3FF, 0x4E91FE, 0xE7D3D6, 0x6FC0FF, 0x3E80FE, 0xD3C0C0,
     0x000000, 0x8D8D8D, 0xEBE5E5, 0x94E6FB, 0xF7F3F3, 0x947C7C, 0x916F70, 0x947C7C, 0xF8F1F0, 0xBA9EA0,
     0xDCFFFF, 0x5BC0F7, 0x94E6FB, 0x1595EE, 0x087FE8, 0x7CDAF7, 0xBFA7A8, 0x916F70, 0xFFFFFF},
};
constexpr Integer kTubeDepths[3] = {41, 125, 40};

Integer Channel(TColor c, int shift) { return static_cast<Integer>((static_cast<std::uint32_t>(c) >> shift) & 0xFF); }
Integer ClampChannel(Integer v) { return std::clamp<Integer>(v, 0, 255); }
TColor MakeColor(Integer r, Integer g, Integer b) {
  return static_cast<TColor>(ClampChannel(r) | (ClampChannel(g) << 8) | (ClampChannel(b) << 16));
}

// Each channel through AOp (value, shift) -> value.
template <class Op>
TColor PerChannel(TColor AColor, Op AOp) {
  return MakeColor(AOp(Channel(AColor, 0), 0), AOp(Channel(AColor, 8), 8), AOp(Channel(AColor, 16), 16));
}

TColor Sys(TColor AColor) { return ColorToRGB(AColor); }

void DetectScheme() {
  S().Scheme = schUnknown;
  if (AreVisualStylesAvailable()) {
    char16_t file[1024] = {}, color[1024] = {}, size[1024] = {};
    if (::GetCurrentThemeName(file, 1024, color, 1024, size, 1024) == S_OK) {
      file[1023] = color[1023] = 0;
      const AnsiString path = WideToAnsi(file);
      const auto delimiter = path.find_last_of("/\\");
      const AnsiString name = AnsiUpperCase(delimiter == AnsiString::npos ? path : path.substr(delimiter + 1));
      if (name == "LUNA.MSSTYLES") {
        const AnsiString scheme = AnsiUpperCase(WideToAnsi(color));
        if (scheme == "NORMALCOLOR")
          S().Scheme = schNormalColor;
        else if (scheme == "HOMESTEAD")
          S().Scheme = schHomestead;
        else if (scheme == "METALLIC")
          S().Scheme = schMetallic;
      }
    }
  }
  S().XPStandardScheme = AreVisualStylesAvailable() && S().Scheme != schUnknown;
}

void BuildSchemeColors() {
  const std::size_t row = static_cast<std::size_t>(S().Scheme) - 1;
  for (std::size_t i = 0; i < kTableColors; ++i) *TableTargets()[i] = kSchemeColors[row][i];
  for (int i = 0; i < 3; ++i) {
    dxOffice11BarBorderMarkColors[0][i] = GetMiddleRGB(dxOffice11BarMarkColors1[i], dxOffice11ToolbarsColor1, 90);
    dxOffice11BarBorderMarkColors[1][i] = GetMiddleRGB(dxOffice11BarMarkColors2[i], dxOffice11BarBorderColors[1], 50);
  }
  dxOffice11BarMarkArrowColor1 = clBlack;
  dxOffice11BarMarkArrowColor2 = clWhite;
  dxOffice11BarFloatingCaptionTextColor1 = clWhite;
  dxOffice11BarFloatingCaptionTextColor2 = clBlack;
  dxOffice11BarFloatingCaptionTextColor3 = clBlack;
  dxOffice11GroupIndentColor = 0xC9EEFD;
  dxOffice11GroupRowSeparatorColor = dxOffice11BarBorderColors[1];
  dxOffice11NavPaneSplitterColor1 = dxOffice11NavPaneHeaderColor1;
  dxOffice11NavPaneSplitterColor2 = dxOffice11NavPaneHeaderColor2;
  S().TubeDepth = kTubeDepths[row];
}

void BuildSystemColors() {
  const TColor face = Sys(clBtnFace), window = Sys(clWindow), shadow = Sys(clBtnShadow);
  const TColor text = Sys(clBtnText), highlight = Sys(clHighlight);
  dxOffice11DockColor1 = face;
  dxOffice11DockColor2 = GetMiddleRGB(face, window, 20);
  dxOffice11ToolbarsColor1 = GetMiddleRGB(face, window, 22);
  dxOffice11ToolbarsColor2 = GetMiddleRGB(face, window, 96);
  dxOffice11BarMarkColors2[0] = shadow;
  dxOffice11BarMarkColors1[0] = GetMiddleRGB(shadow, window, 74);
  dxOffice11BarMarkColors1[1] = dxOffice11BarMarkColors2[1] = GetRealColor(GetLightColor(-15, 29, 86));
  dxOffice11BarMarkColors1[2] = dxOffice11BarMarkColors2[2] = GetRealColor(GetLightColor(42, 11, 47));
  dxOffice11BarBorderColors[0] = GetMiddleRGB(face, window, 85);
  dxOffice11BarBorderColors[1] = face;
  for (int i = 0; i < 3; ++i) {
    dxOffice11BarBorderMarkColors[0][i] = GetMiddleRGB(dxOffice11BarMarkColors2[i], window, 50);
    dxOffice11BarBorderMarkColors[1][i] = GetMiddleRGB(dxOffice11BarMarkColors2[i], dxOffice11BarBorderColors[1], 50);
  }
  dxOffice11BarFingerColor1 = GetMiddleRGB(shadow, window, 76);
  dxOffice11BarFingerColor2 = window;
  dxOffice11BarSeparatorColor1 = GetMiddleRGB(shadow, window, 70);
  dxOffice11BarSeparatorColor2 = clWhite;
  dxOffice11BarMarkArrowColor1 = text;
  dxOffice11BarMarkArrowColor2 = window;
  dxOffice11BarFloatingBorderColor1 = shadow;
  dxOffice11BarFloatingBorderColor2 = dxOffice11ToolbarsColor2;
  dxOffice11BarFloatingCaptionTextColor1 = Sys(clBtnHighlight);
  dxOffice11BarFloatingCaptionTextColor2 = text;
  dxOffice11BarFloatingCaptionTextColor3 = text;
  dxOffice11DropDownBorderColor1 = shadow;
  dxOffice11MenuColor = window;
  dxOffice11ToolbarSelectedColor = dxOffice11SelectedColor1 = dxOffice11SelectedColor2 =
      GetRealColor(GetLightColor(-2, 30, 72));
  dxOffice11SelectedBorderColor = highlight;
  dxOffice11OwnerControlDownedColor = dxOffice11DetachableColor = dxOffice11ToolbarsColor2;
  dxOffice11DownedColor = GetLightColor(41, 11, 48);
  dxOffice11DownedSelectedColor = dxOffice11SelectedDownColor1 = dxOffice11SelectedDownColor2 =
      GetRealColor(GetLightColor(14, 44, 40));
  dxOffice11TextEnabledColor = text;
  dxOffice11TextDisabledColor = Sys(clGrayText);
  S().TubeDepth = 75;
  dxOffice11GroupColor = dxOffice11GroupIndentColor = face;
  dxOffice11DayNavigatorSelectedColor = dxOffice11DownedColor;
  dxOffice11OutlookControlColor = dxOffice11DockColor1;
  dxOffice11OutlookBorderColor = dxOffice11DropDownBorderColor1;
  dxOffice11GroupRowTextColor = dxOffice11GroupRowSeparatorColor = shadow;
  dxOffice11NavPaneBorder = dxOffice11NavPaneHeaderColor1 = dxOffice11NavPaneHeaderColor2 =
      dxOffice11NavPaneSplitterColor2 = GetRealColor(shadow);
  dxOffice11NavPaneGroupCaptionColor1 = GetRealColor(PerChannel(face, [](Integer c, int) { return 128 + c * 127 / 255; }));
  dxOffice11NavPaneGroupCaptionColor2 = GetRealColor(PerChannel(face, [](Integer c, int) { return c + 4 - c * 4 / 255; }));
  dxOffice11NavPaneGroupCaptionHotColor1 = dxOffice11SelectedColor1;
  dxOffice11NavPaneGroupCaptionHotColor2 = dxOffice11SelectedColor2;
  dxOffice11NavPaneGroupCaptionPressedColor1 = dxOffice11NavPaneGroupCaptionPressedColor2 = dxOffice11DownedColor;
  dxOffice11NavPaneGroupCaptionPressedHotColor1 = dxOffice11NavPaneGroupCaptionPressedHotColor2 =
      dxOffice11DownedSelectedColor;
  dxOffice11NavPaneHeaderFontColor = Sys(clHighlightText);
  dxOffice11NavPaneSplitterColor1 = GetRealColor(face);
}

void BuildColors() {
  DetectScheme();
  if (S().XPStandardScheme)
    BuildSchemeColors();
  else
    BuildSystemColors();
  dxOffice11BarFloatingBorderColor3 = dxOffice11ToolbarsColor1;
  dxOffice11BarFloatingCaptionColor = dxOffice11BarFloatingBorderColor1;
  dxOffice11DropDownBorderColor2 = dxOffice11MenuColor;
  dxOffice11MenuDownedColor1 = dxOffice11MenuIndentColor1 = dxOffice11ToolbarsColor1;
  dxOffice11MenuDownedColor2 = dxOffice11MenuIndentColor2 = dxOffice11ToolbarsColor2;
  dxOffice11MenuNonRecentIndentColor1 = GetMiddleRGB(dxOffice11MenuIndentColor1, clBlack, 92);
  dxOffice11MenuNonRecentIndentColor2 = GetMiddleRGB(dxOffice11MenuIndentColor2, clBlack, 92);
  dxOffice11DetachableSelectedColor = dxOffice11ToolbarSelectedColor;
  dxOffice11StaticBorderColor = dxOffice11ControlBorderColor = dxOffice11DropDownBorderColor1;
  dxOffice11DateHeaderColor = dxOffice11DockColor1;
  dxOffice11InPlaceSubItemColor = dxOffice11BarBorderMarkColors[1][0];
  dxOffice11InPlaceSubItemTextColor = dxOffice11BarFloatingCaptionTextColor1;
}

// Every brush variable; the shared ones point at a handle of another.
HBRUSH* const kBrushes[] = {
    &dxOffice11BarFingerBrush1,        &dxOffice11BarFingerBrush2,         &dxOffice11BarSeparatorBrush1,
    &dxOffice11BarSeparatorBrush2,     &dxOffice11DropDownBorderBrush1,    &dxOffice11MenuBrush,
    &dxOffice11DropDownBorderBrush2,   &dxOffice11SelectedBorderBrush,     &dxOffice11OwnerControlDownedBrush,
    &dxOffice11DownedBrush,            &dxOffice11DownedSelectedBrush,     &dxOffice11DetachableBrush,
    &dxOffice11ToolbarSelectedBrush,   &dxOffice11DetachableSelectedBrush, &dxOffice11StaticBorderBrush,
    &dxOffice11InPlaceSubItemBrush,
};

HBRUSH Solid(TColor AColor) { return CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(AColor))); }

TBitmap* LoadResourceBitmap(const char* AName) {
  // Registered once, on first use; a program may replace them after that.
  static bool registered = false;
  if (!registered) {
    dxRegisterOffice11Resources();
    registered = true;
  }
  auto* bitmap = New<TBitmap>();
  bitmap->LoadFromResourceName(ProgramInstance(), AName);
  return bitmap;
}

// The sub-menu arrow's shades (by their red value) spread over the toolbar
// gradient; the see-through colour (the corner pixel) and black stay.
void RecolorSubMenuExpandBitmap(TBitmap* ABitmap) {
  TColor c1 = dxOffice11ToolbarsColor1, c2 = dxOffice11ToolbarsColor2;
  if (c1 == c2) c2 = c1 == clBlack ? clWhite : clBlack;
  TCanvas* canvas = ABitmap->GetCanvas();
  const Integer width = ABitmap->GetWidth(), height = ABitmap->GetHeight();
  if (width <= 0 || height <= 0) return;
  const TColor transparent = canvas->GetPixels(0, 0);
  auto shaded = [&](TColor c) { return c != transparent && c != clBlack; };
  Integer largest = 1, smallest = 255;
  for (Integer y = 0; y < height; ++y)
    for (Integer x = 0; x < width; ++x) {
      const TColor c = canvas->GetPixels(x, y);
      if (!shaded(c)) continue;
      largest = std::max(largest, Channel(c, 0));
      smallest = std::min(smallest, Channel(c, 0));
    }
  for (Integer y = 0; y < height; ++y)
    for (Integer x = 0; x < width; ++x) {
      const TColor c = canvas->GetPixels(x, y);
      if (!shaded(c)) continue;
      // Shades that are all one red value have no spread: they take the
      // first colour rather than a division by zero.
      const Integer percent = largest > smallest ? MulDiv(Channel(c, 0) - smallest, 100, largest - smallest) : 100;
      canvas->SetPixels(x, y, GetMiddleRGB(c1, c2, percent));
    }
}

void CreateBrushesAndBitmaps() {
  dxOffice11BarFingerBrush1 = Solid(dxOffice11BarFingerColor1);
  dxOffice11BarFingerBrush2 = Solid(dxOffice11BarFingerColor2);
  dxOffice11BarSeparatorBrush1 = Solid(dxOffice11BarSeparatorColor1);
  dxOffice11BarSeparatorBrush2 = Solid(dxOffice11BarSeparatorColor2);
  dxOffice11DropDownBorderBrush1 = Solid(dxOffice11DropDownBorderColor1);
  dxOffice11MenuBrush = Solid(dxOffice11MenuColor);
  dxOffice11DropDownBorderBrush2 = dxOffice11MenuBrush;
  dxOffice11SelectedBorderBrush = Solid(dxOffice11SelectedBorderColor);
  dxOffice11OwnerControlDownedBrush = Solid(dxOffice11OwnerControlDownedColor);
  dxOffice11DownedBrush = Solid(dxOffice11DownedColor);
  dxOffice11DownedSelectedBrush = Solid(dxOffice11DownedSelectedColor);
  dxOffice11DetachableBrush = Solid(dxOffice11DetachableColor);
  dxOffice11ToolbarSelectedBrush = Solid(dxOffice11ToolbarSelectedColor);
  dxOffice11DetachableSelectedBrush = dxOffice11ToolbarSelectedBrush;
  dxOffice11StaticBorderBrush = dxOffice11DropDownBorderBrush1;
  dxOffice11InPlaceSubItemBrush = Solid(dxOffice11InPlaceSubItemColor);

  dxOffice11SubMenuExpandBitmap = LoadResourceBitmap("DXSUBMENUEXPAND");
  RecolorSubMenuExpandBitmap(dxOffice11SubMenuExpandBitmap);
  dxOffice11ExpandButtonBitmap1 = LoadResourceBitmap("DXEXPANDBUTTON_MINUS");
  dxOffice11ExpandButtonBitmap2 = LoadResourceBitmap("DXEXPANDBUTTON_PLUS");
  dxOffice11ExpandButtonColor1 = 0xBFAE9E;
  dxOffice11ExpandButtonColor2 = 0x5F462E;
}

void ReleaseBrushesAndBitmaps() {
  FreeAndNil(dxOffice11SubMenuExpandBitmap);
  FreeAndNil(dxOffice11ExpandButtonBitmap1);
  FreeAndNil(dxOffice11ExpandButtonBitmap2);
  // A shared handle is deleted once: every variable holding it is cleared.
  for (HBRUSH* brush : kBrushes) {
    if (!*brush) continue;
    const HBRUSH handle = *brush;
    DeleteObject(handle);
    for (HBRUSH* other : kBrushes)
      if (*other == handle) *other = nullptr;
  }
}

// The solid fill of one band, with a brush of its own.
void FillWith(HDC DC, const TRect& R, TColor AColor) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  HBRUSH brush = Solid(AColor);
  FillRect(DC, &R, brush);
  DeleteObject(brush);
}

// The part of R from AFrom to ATo along the direction.
TRect Band(const TRect& R, Integer AFrom, Integer ATo, bool AHorizontal) {
  return AHorizontal ? TRect{AFrom, R.Top, ATo, R.Bottom} : TRect{R.Left, AFrom, R.Right, ATo};
}

// The colour of band i of n between c1 and c2 (the first colour when there
// is only one band).
TColor BandColor(TColor c1, TColor c2, Integer i, Integer n) {
  if (n <= 1) return c1;
  return MakeColor(Channel(c1, 0) + MulDiv(i, Channel(c2, 0) - Channel(c1, 0), n - 1),
                   Channel(c1, 8) + MulDiv(i, Channel(c2, 8) - Channel(c1, 8), n - 1),
                   Channel(c1, 16) + MulDiv(i, Channel(c2, 16) - Channel(c1, 16), n - 1));
}

}  // namespace

TOffice11Scheme GetOffice11Scheme() { return S().Scheme; }
bool IsXPStandardScheme() { return S().XPStandardScheme; }

void CreateOffice11Colors() {
  if (S().RefCount == 0) {
    BuildColors();
    CreateBrushesAndBitmaps();
  }
  ++S().RefCount;
}

void RefreshOffice11Colors() {
  BuildColors();
  if (S().RefCount > 0) {
    ReleaseBrushesAndBitmaps();
    CreateBrushesAndBitmaps();
  }
}

void ReleaseOffice11Colors() {
  if (S().RefCount <= 0) return;
  if (--S().RefCount == 0) ReleaseBrushesAndBitmaps();
}

TColor GetMiddleRGB(TColor AColor1, TColor AColor2, Integer APercent) {
  const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  auto mix = [&](int shift) {
    return MulDiv(Channel(c2, shift), 100 - APercent, 100) + MulDiv(Channel(c1, shift), APercent, 100);
  };
  return GetRealColor(MakeColor(mix(0), mix(8), mix(16)));
}

TColor Light(TColor AColor, Byte APercent) {
  const double p = APercent;
  const auto lift = static_cast<Integer>(Round(255.0 - p / 100.0 * 255.0));
  return PerChannel(ColorToRGB(AColor),
                    [&](Integer c, int) { return static_cast<Integer>(Round(c * p / 100.0)) + lift; });
}

TColor Dark(TColor AColor, Byte APercent) {
  const double p = APercent;
  return PerChannel(ColorToRGB(AColor), [&](Integer c, int) { return static_cast<Integer>(Round(c * p / 100.0)); });
}

bool IsHighContrastBlack() { return Sys(clBtnFace) == clBlack; }
bool IsHighContrastWhite() { return Sys(clBtnFace) == clWhite; }
bool IsHighContrast2() { return Sys(clBtnFace) == clBlack && Sys(clBtnText) != clWhite; }

void FillGradientRect(HDC DC, const TRect& AGiven, TColor AColor1, TColor AColor2, bool AHorizontal) {
  const TRect ARect = cxRectHeld(AGiven);
  const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillRectByColor(DC, ARect, c1);
    return;
  }
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer size = AHorizontal ? ARect.Right - ARect.Left : ARect.Bottom - ARect.Top;
  const Integer n = std::min<Integer>(256, size);
  if (n <= 0) return;
  Integer from = start;
  for (Integer i = 0; i < n; ++i) {
    const Integer to = start + MulDiv(i + 1, size, n);
    if (to > from) FillWith(DC, Band(ARect, from, to, AHorizontal), BandColor(c1, c2, i, n));
    from = to;
    if (to >= start + size) break;
  }
}

TColor GetGradientColorRect(const TRect& AGiven, Integer APosition, TColor AColor1, TColor AColor2,
                            bool AHorizontal) {
  const TRect ARect = cxRectHeld(AGiven);  // as FillGradientRect draws it
  const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer size = AHorizontal ? ARect.Right - ARect.Left : ARect.Bottom - ARect.Top;
  const Integer n = std::min<Integer>(256, size);
  if (n <= 0) return c1;
  // The band FillGradientRect draws over the position: its end is the
  // first one past it. (Scaling the position back by n / size rounds
  // differently from the bands' ends and can name the neighbour.)
  // Positions outside the rectangle take the nearer end's colour.
  auto end = [&](Integer i) { return start + MulDiv(i + 1, size, n); };
  Integer i = std::clamp<Integer>(static_cast<Integer>((static_cast<Int64>(APosition) - start) * n / size), 0, n - 1);
  while (i < n - 1 && end(i) <= APosition) ++i;
  while (i > 0 && end(i - 1) > APosition) --i;
  return BandColor(c1, c2, i, n);
}

void FillTubeGradientRect(HDC DC, const TRect& AGiven, TColor AColor1, TColor AColor2, bool AHorizontal) {
  const TRect ARect = cxRectHeld(AGiven);
  const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  const Integer start = AHorizontal ? ARect.Left : ARect.Top;
  const Integer size = AHorizontal ? ARect.Right - ARect.Left : ARect.Bottom - ARect.Top;
  if (c1 == c2 || size == 1) {
    FillRectByColor(DC, ARect, c1);
    return;
  }
  if (size <= 0) return;
  const Integer half = size / 2, depth = S().TubeDepth;
  auto component = [&](int shift, Integer i) {
    const Integer a = Channel(c1, shift), b = Channel(c2, shift);
    const Integer m = a - MulDiv(a - b, depth, 200);
    if (i < half) {
      const Integer e = a - MulDiv(a - m, size, half);
      return a + MulDiv(i, e - a, size - 1);
    }
    if (i == half) return m;
    const Integer a2 = b + MulDiv(m - b, size, half);
    return a2 + MulDiv(i, b - a2, size - 1);
  };
  auto colour = [&](Integer i) { return MakeColor(component(0, i), component(8, i), component(16, i)); };
  // Lines of one colour are filled together. Every channel runs one way
  // before the middle line and one way after it, so the lines that share
  // a colour lie next to each other there and a binary search finds where
  // each run ends: a few thousand fills however long the tube.
  for (Integer i = 0; i < size;) {
    const Integer stretchEnd = i < half ? half : i == half ? half + 1 : size;
    const TColor c = colour(i);
    Integer last = i, beyond = stretchEnd;
    while (beyond - last > 1) {
      const Integer mid = last + (beyond - last) / 2;
      (colour(mid) == c ? last : beyond) = mid;
    }
    FillWith(DC, Band(ARect, start + i, start + last + 1, AHorizontal), c);
    i = last + 1;
  }
}

void FillRectByColor(HDC DC, const TRect& ARect, TColor AColor) { FillWith(DC, ARect, AColor); }

void FrameRectByColor(HDC DC, const TRect& ARect, TColor AColor) {
  HBRUSH brush = Solid(AColor);
  FrameRect(DC, &ARect, brush);
  DeleteObject(brush);
}

void Office11FrameSelectedRect(HDC DC, const TRect& ARect) {
  if (IsHighContrastBlack() || IsHighContrast2())
    FrameRectByColor(DC, ARect, clHighlightText);
  else if (dxOffice11SelectedBorderBrush)
    FrameRect(DC, &ARect, dxOffice11SelectedBorderBrush);
  else
    FrameRectByColor(DC, ARect, dxOffice11SelectedBorderColor);
}

void Office11DrawFingerElements(HDC DC, const TRect& AGiven, bool AVertical) {
  const TRect ARect = cxRectHeld(AGiven);
  const Integer from = AVertical ? ARect.Top : ARect.Left, to = AVertical ? ARect.Bottom : ARect.Right;
  Integer shift = (to - from) % 4;
  if (shift > 1) shift /= 2;
  auto fill = [&](Integer x, Integer y, HBRUSH brush, TColor color) {
    const TRect dot{x, y, x + 2, y + 2};
    if (brush)
      FillRect(DC, &dot, brush);
    else
      FillWith(DC, dot, color);
  };
  // A dot every 4 pixels from the first, as many as fit (always one); of
  // those only the ones the DC can show are drawn.
  const Integer first = from + shift;
  const Integer count = to - first >= 4 ? (to - first - 4) / 4 + 1 : 1;
  const Integer cross = AVertical ? ARect.Left : ARect.Top, end = first + 4 * (count - 1) + 3;
  const TRect area =
      cxPaintableArea(DC, AVertical ? TRect{cross, first, cross + 3, end} : TRect{first, cross, end, cross + 3});
  if (cxRectIsEmpty(area)) return;
  const Integer lo = AVertical ? area.Top : area.Left, hi = AVertical ? area.Bottom : area.Right;
  // A dot covers three pixels from its start.
  const Integer k0 = std::max<Integer>(0, (lo - first - 3) / 4), k1 = std::min<Integer>(count, (hi - first) / 4 + 1);
  for (Integer k = k0; k < k1; ++k) {
    const Integer x = AVertical ? cross : first + 4 * k, y = AVertical ? first + 4 * k : cross;
    fill(x + 1, y + 1, dxOffice11BarFingerBrush2, dxOffice11BarFingerColor2);
    fill(x, y, dxOffice11BarFingerBrush1, dxOffice11BarFingerColor1);
  }
}

void Office11DrawSizeGrip(HDC DC, const TRect& AGiven) {
  const TRect ARect = cxRectHeld(AGiven);
  TRect strip{ARect.Right - 12, ARect.Bottom - 3, ARect.Right, ARect.Bottom};
  for (int row = 0; row < 3; ++row) {
    Office11DrawFingerElements(DC, strip, false);
    strip = {strip.Left + 4, strip.Top - 4, strip.Right, strip.Bottom - 4};
  }
}

void Office11DrawItemArrow(HDC DC, const TRect& AGiven, bool ADownArrow, bool AEnabled, bool ASelected, bool AFlat) {
  const TRect ARect = cxRectHeld(AGiven);
  const Integer x = ADownArrow ? ARect.Right - ARect.Left - 8 : ARect.Bottom - ARect.Top - 6;
  Integer size = (x - 1) / 2;
  if (x % 2 != 0) ++size;
  Office11DrawLargeItemArrow(DC, ARect, ADownArrow, std::max<Integer>(size, 3), ASelected, AEnabled, AFlat);
}

void Office11DrawLargeItemArrow(HDC DC, const TRect& AGiven, bool ADownArrow, Integer ASize, bool ASelected,
                                bool AEnabled, bool /*AFlat*/) {
  const TRect ARect = cxRectHeld(AGiven);
  TColor color = dxOffice11TextEnabledColor;
  if (!AEnabled)
    color = dxOffice11TextDisabledColor;
  else if (ASelected && IsHighContrastWhite())
    color = clWhite;
  POINT p[3];
  if (ADownArrow) {
    const Integer x = (ARect.Left + ARect.Right - (2 * ASize - 1)) / 2;
    const Integer y = (ARect.Top + ARect.Bottom - ASize) / 2;
    p[0] = {x, y};
    p[1] = {x + 2 * ASize - 2, y};
    p[2] = {x + ASize - 1, y + ASize - 1};
  } else {
    const Integer x = (ARect.Left + ARect.Right - ASize) / 2;
    const Integer y = (ARect.Top + ARect.Bottom - (2 * ASize - 1)) / 2;
    p[0] = {x, y};
    p[1] = {x, y + 2 * ASize - 2};
    p[2] = {x + ASize - 1, y + ASize - 1};
  }
  const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color));
  HPEN pen = CreatePen(PS_SOLID, 1, rgb);
  HBRUSH brush = CreateSolidBrush(rgb);
  HGDIOBJ oldPen = SelectObject(DC, ToObj(pen));
  HGDIOBJ oldBrush = SelectObject(DC, ToObj(brush));
  Polygon(DC, p, 3);
  SelectObject(DC, oldBrush);
  SelectObject(DC, oldPen);
  DeleteObject(pen);
  DeleteObject(brush);
}
