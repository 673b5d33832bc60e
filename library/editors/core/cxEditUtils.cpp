#include "library/editors/core/cxEditUtils.h"

#include <algorithm>

#include "library/editors/core/cxEditProperties.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Identity.h"
#include "platform/win/Metrics.h"

namespace {

// Theme parts and states of the buttons (the same numbers for the push
// button and the combo box's drop-down button).
constexpr int kButtonPart = 1;
constexpr int kPartNormalState = 1;
constexpr win::DWORD kPlatformWin9x = 1;

bool gHotLightColorAvailable = false;

// The insets of a themed part's content rectangle on a 100 x 100 box.
TRect ThemedContentInsets(TcxCanvas* ACanvas, TdxThemedObjectType AType) {
  TdxTheme theme = OpenTheme(AType);
  if (!theme) return {};
  const TRect box{0, 0, 100, 100};
  TRect content = box;
  ::GetThemeBackgroundContentRect(theme, ACanvas ? ACanvas->GetHandle() : nullptr, kButtonPart, kPartNormalState,
                                  box, content);
  return {content.Left - box.Left, content.Top - box.Top, box.Right - content.Right, box.Bottom - content.Bottom};
}

TdxThemedObjectType ButtonThemeType(const TcxEditButtonPaintInfo& AButton) {
  return AButton.IsComboButton ? totComboBox : totButton;
}

}  // namespace

void cxEditUtilsInitialize() {
  win::OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!win::GetVersionExA(&info)) return;
  gHotLightColorAvailable = (info.dwPlatformId == kPlatformWin9x && info.dwMinorVersion != 0) ||
                            (info.dwPlatformId == win::VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5);
}

TcxCustomLookAndFeelPainterClass GetPainterClass(bool ANative, TcxLookAndFeelKind AKind) {
  if (ANative && AreVisualStylesAvailable()) return TcxWinXPLookAndFeelPainter::StaticClass();
  switch (AKind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::StaticClass();
    case lfStandard: return TcxStandardLookAndFeelPainter::StaticClass();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::StaticClass();
    case lfUltraFlat: break;
  }
  return TcxUltraFlatLookAndFeelPainter::StaticClass();
}

namespace {

struct FlagPair {
  win::UINT TextOut;
  win::UINT DrawText;
};

constexpr FlagPair kTextOutToDrawText[] = {{1, win::DT_VCENTER},    {2, win::DT_RIGHT},
                                           {16, win::DT_SINGLELINE}, {32, win::DT_WORDBREAK},
                                           {512, win::DT_EXPANDTABS}, {256, win::DT_CALCRECT}};
constexpr FlagPair kDrawTextToTextOut[] = {{1, win::DT_VCENTER},    {2, win::DT_RIGHT},
                                           {16, win::DT_WORDBREAK},  {32, win::DT_SINGLELINE},
                                           {512, win::DT_EXPANDTABS}, {256, win::DT_CALCRECT}};

}  // namespace

win::UINT cxTextOutFlagsToDrawTextFlags(win::UINT AFlags) {
  win::UINT result = 0;
  for (const FlagPair& p : kTextOutToDrawText)
    if (AFlags & p.TextOut) result |= p.DrawText;
  return result;
}

win::UINT DrawTextFlagsTocxTextOutFlags(win::UINT AFlags) {
  win::UINT result = 0;
  for (const FlagPair& p : kDrawTextToTextOut)
    if (AFlags & p.DrawText) result |= p.TextOut;
  return result;
}

TColor GetHotTrackColor() {
  if (gHotLightColorAvailable) return static_cast<TColor>(win::GetSysColor(win::COLOR_HOTLIGHT));
  return static_cast<TColor>(0xFF0000);
}

TColor GetEditBorderHighlightColor(bool AIsOffice11) {
  return AIsOffice11 ? dxOffice11SelectedBorderColor : clHighlight;
}

TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11) {
  const TcxButtonState state = APressed ? cxbsPressed : cxbsHot;
  const TcxCustomLookAndFeelPainterClass painter = AIsOffice11 ? TcxOffice11LookAndFeelPainter::StaticClass()
                                                                 : TcxUltraFlatLookAndFeelPainter::StaticClass();
  return painter->ButtonColor(state);
}

Integer GetEditButtonsContentVerticalOffset(TcxCanvas* ACanvas, TcxEditButtonStyle AButtonStyle, bool ANative) {
  if (ANative) {
    const TRect insets = ThemedContentInsets(ACanvas, totButton);
    return insets.Top + insets.Bottom;
  }
  switch (AButtonStyle) {
    case btsDefault: return 0;
    case bts3D: return 4;
    default: return 2;
  }
}

Integer GetNativeInnerTextEditContentHeightCorrection(TcxCustomEditProperties* AProperties, bool AIsInplace) {
  return AIsInplace && AProperties && AProperties->GetButtons()->GetCount() > 0 ? 1 : 0;
}

bool IsShadowDrawingNeeded(TcxCustomEditStyle* AStyle, bool AIsNativeStyle) {
  return AStyle && AStyle->GetShadow() && !AIsNativeStyle;
}

Integer CalculateEditDefaultButtonWidth(TcxCanvas* ACanvas, TcxEditButtonPaintInfo& AButton) {
  AButton.Native = AreVisualStylesMustBeUsed(AButton.Native, ButtonThemeType(AButton));
  Integer frame = 4;
  if (AButton.Native) {
    const TRect insets = ThemedContentInsets(ACanvas, ButtonThemeType(AButton));
    frame = insets.Left + insets.Right;
  }
  if (AButton.Width >= 1) return std::max(frame, AButton.Width);
  Integer content = 0;
  switch (AButton.Kind) {
    case bkGlyph:
      if (AButton.Glyph && !AButton.Glyph->Empty()) return AButton.Glyph->GetWidth() + frame;
      break;
    case bkText:
      content = frame + (ACanvas ? ACanvas->TextWidth(AButton.PlainCaption) : 0) + 3;
      break;
    default:
      break;
  }
  return std::max(content, static_cast<Integer>(win::GetSystemMetrics(win::SM_CXVSCROLL)));
}

void CalculateEditButtonState(TcxEditButtonPaintInfo& AButton) {
  TdxTheme theme = AButton.Native ? OpenTheme(ButtonThemeType(AButton)) : nullptr;
  AButton.NativePart = theme ? kButtonPart : 0;
  if (AButton.NativePart == 0) {
    AButton.NativeState = 0;
    AButton.NativeTransparent = false;
    return;
  }
  switch (AButton.State) {
    case ebsDisabled: AButton.NativeState = 4; break;
    case ebsNormal: AButton.NativeState = 1; break;
    case ebsPressed: AButton.NativeState = 3; break;
    case ebsSelected: AButton.NativeState = 2; break;
  }
  AButton.NativeTransparent =
      ::IsThemeBackgroundPartiallyTransparent(theme, AButton.NativePart, AButton.NativeState) != 0;
}

TcxRegion* GetEditButtonRegion(TcxCanvas* ACanvas, const TcxEditButtonPaintInfo& AButton) {
  if (AButton.NativeState != 0) {
    if (TdxTheme theme = OpenTheme(ButtonThemeType(AButton))) {
      win::RECT r = AButton.Bounds;
      win::HRGN rgn = nullptr;
      if (::GetThemeBackgroundRegion(theme, ACanvas ? ACanvas->GetHandle() : nullptr, AButton.NativePart,
                                     AButton.NativeState, &r, &rgn) == S_OK &&
          rgn) {
        auto* region = New<TcxRegion>(rgn);
        region->Combine(New<TcxRegion>(AButton.Bounds), roIntersect);
        return region;
      }
    }
  }
  return New<TcxRegion>(AButton.Bounds);
}
