// What the grid's picture stories share: the theme module on for the
// native look, the looks every picture is taken in, and a window's pixels
// saved as a PNG under snapshots/ (with an optional overlay drawn into the
// copy before it is saved, for windows of their own such as a dropped
// list).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "library/foundation/cxLookAndFeels.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/PngWriter.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/WindowDC.h"

namespace grid_test {

struct ThemeInstalled {
  ThemeInstalled() {
    win::InstallThemeModule();
    win::SetThemesActive(true);
  }
};

struct Look {
  const char* Name;
  TcxLookAndFeelKind Kind;
  bool Native;
};

inline constexpr Look kLooks[] = {{"flat", lfFlat, false},
                                  {"standard", lfStandard, false},
                                  {"ultraflat", lfUltraFlat, false},
                                  {"office11", lfOffice11, false},
                                  {"native", lfUltraFlat, true}};

// Saves AWidth x AHeight of the window (its client area, or the whole
// window with AWhole) to snapshots/AName.
inline bool SaveWindowPng(win::HWND AWindow, int AWidth, int AHeight, const std::string& AName, bool AWhole = false,
                          const std::function<void(win::HDC)>& AOverlay = {}) {
  std::filesystem::create_directories("snapshots");
  win::HDC window = AWhole ? win::GetWindowDC(AWindow) : win::GetDC(AWindow);
  win::HDC memory = win::CreateCompatibleDC(window);
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(window, AWidth, AHeight);
  win::HGDIOBJ old = win::SelectObject(memory, win::ToObj(bitmap));
  win::BitBlt(memory, 0, 0, AWidth, AHeight, window, 0, 0, win::SRCCOPY);
  if (AOverlay) AOverlay(memory);
  win::SelectObject(memory, old);
  const bool saved = win::SaveBitmapPng(bitmap, "snapshots/" + AName);
  win::DeleteObject(win::ToObj(bitmap));
  win::DeleteDC(memory);
  win::ReleaseDC(AWindow, window);
  return saved;
}

}  // namespace grid_test
