// Layered windows: a top-level window with WS_EX_LAYERED shows translucent
// (one opacity for all of it) and leaves out its pixels of a key colour,
// through which what lies beneath shows and clicks pass. The back end
// shows the opacity (X: the standard window-opacity property, which a
// compositing manager honours; headless: blended on its screen), and the
// key colour becomes the surface's shape, which follows the pixels each
// time they are presented.
#pragma once

#include "platform/win/Handles.h"

namespace win {

constexpr DWORD LWA_COLORKEY = 0x00000001;
constexpr DWORD LWA_ALPHA = 0x00000002;

// Fails for a window that is not top-level or lacks WS_EX_LAYERED.
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
// What was last set (no flags while nothing was); fails as above.
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

}  // namespace win
