// A control's pixels as the window system shows them: one pixel, or the
// whole window as a PNG under snapshots/ in the build folder for a person
// to look at; and the looks the pictures are taken in, the native one with
// the theme module on.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/forms/Controls.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "library/foundation/cxLookAndFeels.h"
#include "platform/win/WindowDC.h"

namespace grid_pixels {

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

inline TColor PixelAt(TWinControl* AControl, TPoint P) {
  win::HDC dc = win::GetDC(AControl->GetHandle());
  const TColor color = static_cast<TColor>(win::GetPixel(dc, P.X, P.Y));
  win::ReleaseDC(AControl->GetHandle(), dc);
  return color;
}

// snapshots/<AName>.png of a rectangle of a device context; AOverlay draws
// into the copy before it is saved, for windows of their own that show
// over the control (a dropped list).
inline bool SnapshotOf(win::HDC ASource, const TRect& R, const std::string& AName,
                       const std::function<void(win::HDC)>& AOverlay = {}) {
  std::filesystem::create_directories("snapshots");
  const int w = R.Width(), h = R.Height();
  win::HDC memory = win::CreateCompatibleDC(ASource);
  win::HBITMAP bitmap = win::CreateCompatibleBitmap(ASource, w, h);
  win::HGDIOBJ old = win::SelectObject(memory, win::ToObj(bitmap));
  win::BitBlt(memory, 0, 0, w, h, ASource, R.Left, R.Top, win::SRCCOPY);
  if (AOverlay) AOverlay(memory);
  win::SelectObject(memory, old);
  const bool saved = win::SaveBitmapPng(bitmap, "snapshots/" + AName + ".png");
  win::DeleteObject(win::ToObj(bitmap));
  win::DeleteDC(memory);
  return saved;
}

// snapshots/<AName>.png: the client area, or the whole window with its
// frame (AWhole).
inline bool Snapshot(TWinControl* AControl, const std::string& AName, bool AWhole = false,
                     const std::function<void(win::HDC)>& AOverlay = {}) {
  win::HDC window = AWhole ? win::GetWindowDC(AControl->GetHandle()) : win::GetDC(AControl->GetHandle());
  const bool saved = SnapshotOf(window, TRect(0, 0, AControl->GetWidth(), AControl->GetHeight()), AName, AOverlay);
  win::ReleaseDC(AControl->GetHandle(), window);
  return saved;
}

}  // namespace grid_pixels
