// Device contexts of windows. Every window of a tree draws straight into
// its top-level window's pixels (the backing); a window DC is a drawing-tier
// surface DC placed at the window's origin and limited to the part of the
// window that is visible: inside every ancestor's client area and window
// region, less the windows in front of it (WS_CLIPSIBLINGS) and its own
// children (WS_CLIPCHILDREN). What was drawn reaches the back end when the
// queue runs dry, with the caret inverted over it at that moment only.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"
#include "platform/win/Handles.h"

namespace win {

constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_NORESETATTRS = 0x00000004;
constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
constexpr DWORD DCX_PARENTCLIP = 0x00000020;
constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
constexpr DWORD DCX_VALIDATE = 0x00200000;

// The client area's DC (null window: the desktop, which draws nothing).
HDC GetDC(HWND hwnd);
// clip is in the DC's device coordinates (DCX_EXCLUDERGN/DCX_INTERSECTRGN);
// the call takes it over and deletes it, as DCs obtained this way do. With
// DCX_LOCKWINDOWUPDATE (drawing while tracking) the window's
// WS_CLIPCHILDREN does not keep its children out.
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
// The whole window's DC, non-client area included.
HDC GetWindowDC(HWND hwnd);
// Answers 1 when the DC was a window DC and is now gone, else 0.
int ReleaseDC(HWND hwnd, HDC hdc);
HWND WindowFromDC(HDC hdc);

namespace detail {
struct Window;
// The visible part of a window in its own client (or, with window, window)
// coordinates, with the style's and the flags' clipping.
void VisibleRegion(Window* w, bool window, DWORD flags, gdi::Region& out);
// Where a window's pixels are, its children's included: its visible part in
// its root's window coordinates, whatever its WS_CLIPCHILDREN.
void VisibleTreeInRoot(Window* w, gdi::Region& out);
// Copies the root's pixels of `dest` (root window coordinates) from `dest`
// less (dx, dy), through a copy so overlapping moves are safe.
void MoveRootPixels(Window* root, const gdi::Region& dest, int dx, int dy);
// Sends what was drawn since the last call to the back end (all top-level
// windows), with the caret overlay.
void PresentPending();
// Marks a rectangle of a top-level window (window coordinates) for the
// next presentation.
void MarkDirty(Window* root, const RECT& rootRect);
// The root's backing, made or resized to the window's size.
struct Backing;
Backing& BackingOf(Window* root);
void ResetWindowDCs();
// The windows have moved, been shown or hidden: every window DC still out
// draws in what its window shows now, as if it had been taken now (a
// parent that moves a child while it paints paints around its new place).
void FollowWindowDCs();
}  // namespace detail

}  // namespace win
