// Monitors as the back end reports them. A monitor handle is its position
// in the back end's list plus one, checked against the list of the moment.
#pragma once

#include "platform/win/Handles.h"

namespace win {

ORV_DECLARE_HANDLE(HMONITOR)

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
constexpr int CCHDEVICENAME = 32;

struct MONITORINFO {
  DWORD cbSize;  // 40
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags;
};
using LPMONITORINFO = MONITORINFO*;

struct MONITORINFOEXA {
  DWORD cbSize;  // 72
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags;
  char szDevice[CCHDEVICENAME];
};
static_assert(sizeof(MONITORINFO) == 40 && sizeof(MONITORINFOEXA) == 72);

HMONITOR MonitorFromPoint(POINT pt, DWORD flags);
// The monitor with the largest share of the rectangle; an empty rectangle
// counts as its top-left point.
HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags);
// By the window's rectangle on the screen; an invalid window answers null.
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
// cbSize must be 40 or 72 (the device name is "\\.\DISPLAY<n>").
BOOL GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info);
inline BOOL GetMonitorInfo(HMONITOR monitor, LPMONITORINFO info) { return GetMonitorInfoA(monitor, info); }

}  // namespace win
