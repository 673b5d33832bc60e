#include "platform/win/Monitors.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <vector>

#include "platform/win/BackEnd.h"
#include "platform/win/WindowData.h"

namespace win {
namespace {

HMONITOR HandleOf(std::size_t index) { return reinterpret_cast<HMONITOR>(index + 1); }

std::int64_t Overlap(const RECT& a, const RECT& b) {
  std::int64_t w = std::int64_t(std::min(a.Right, b.Right)) - std::max(a.Left, b.Left);
  std::int64_t h = std::int64_t(std::min(a.Bottom, b.Bottom)) - std::max(a.Top, b.Top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance from a point to a rectangle (0 inside).
std::int64_t Distance(const RECT& r, POINT p) {
  std::int64_t dx = p.X < r.Left ? r.Left - p.X : p.X >= r.Right ? p.X - (r.Right - 1) : 0;
  std::int64_t dy = p.Y < r.Top ? r.Top - p.Y : p.Y >= r.Bottom ? p.Y - (r.Bottom - 1) : 0;
  return dx * dx + dy * dy;
}

HMONITOR Fallback(const std::vector<MonitorInfo>& all, const RECT& r, DWORD flags) {
  if (all.empty() || flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) {
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i].primary) return HandleOf(i);
    return HandleOf(0);
  }
  // Nearest: by the distance from the rectangle's centre.
  POINT c{static_cast<int>((std::int64_t(r.Left) + r.Right) / 2), static_cast<int>((std::int64_t(r.Top) + r.Bottom) / 2)};
  std::size_t best = 0;
  for (std::size_t i = 1; i < all.size(); ++i)
    if (Distance(all[i].bounds, c) < Distance(all[best].bounds, c)) best = i;
  return HandleOf(best);
}

}  // namespace

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto all = BackEnd().Monitors();
  RECT r = *rect;
  if (r.Right <= r.Left || r.Bottom <= r.Top) r = {r.Left, r.Top, r.Left + 1, r.Top + 1};
  std::int64_t bestArea = 0;
  std::size_t best = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    std::int64_t a = Overlap(all[i].bounds, r);
    if (a > bestArea) bestArea = a, best = i;
  }
  return bestArea > 0 ? HandleOf(best) : Fallback(all, r, flags);
}

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
  RECT r{pt.X, pt.Y, pt.X + 1, pt.Y + 1};
  return MonitorFromRect(&r, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  detail::Window* w = detail::Find(hwnd);
  if (!w) return nullptr;
  RECT r = detail::ScreenWindowRect(w);
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
  auto all = BackEnd().Monitors();
  auto index = reinterpret_cast<std::uintptr_t>(monitor);
  if (!info || (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (index == 0 || index > all.size()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const MonitorInfo& m = all[index - 1];
  info->rcMonitor = m.bounds;
  info->rcWork = m.work;
  info->dwFlags = m.primary ? MONITORINFOF_PRIMARY : 0;
  if (info->cbSize == sizeof(MONITORINFOEXA))
    std::snprintf(reinterpret_cast<MONITORINFOEXA*>(info)->szDevice, CCHDEVICENAME, "\\\\.\\DISPLAY%u",
                  static_cast<unsigned>(index));
  return TRUE;
}

}  // namespace win
