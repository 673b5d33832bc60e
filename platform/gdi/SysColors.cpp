#include "platform/gdi/SysColors.h"

namespace win {
namespace {

constexpr COLORREF kClassic[SYSCOLOR_COUNT] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unnamed
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(49, 106, 197),   // COLOR_MENUHILIGHT
    RGB(236, 233, 216),  // COLOR_MENUBAR
};

SysColorLookup lookupHook = nullptr;

}  // namespace

void SetSysColorLookup(SysColorLookup lookup) { lookupHook = lookup; }

COLORREF ClassicSysColor(int index) {
  return index >= 0 && index < SYSCOLOR_COUNT ? kClassic[index] : 0;
}

COLORREF GdiSysColor(int index) {
  if (index < 0 || index >= SYSCOLOR_COUNT) return 0;
  return lookupHook ? lookupHook(index) : kClassic[index];
}

}  // namespace win
