// The caret: one per process, owned by a window. It is never drawn into
// the window's pixels: at presentation it is inverted over what the back
// end is shown, so GetPixel, BitBlt and recording DCs never see it. It
// blinks on the process clock (a thread timer), and shows solid for a
// full period whenever it moves or is shown.
#pragma once

#include <cstdint>

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

// bitmap: null for a solid caret, (HBITMAP)1 for a grey one, else a
// bitmap whose pixels are inverted (white inverts, black leaves alone)
// and whose size wins over width and height. Width or height 0 takes the
// border metrics. The caret starts hidden.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// Counted: each HideCaret needs one ShowCaret. hwnd null or the owner.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
// Client coordinates of the owner.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT pt);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// What the GUI thread has: the active, focused and capturing windows and
// the caret's owner with its rectangle (client coordinates of the owner).
// cbSize must be set; the thread is always this one (0 or any id).
struct GUITHREADINFO {
  DWORD cbSize = 0;
  DWORD flags = 0;
  HWND hwndActive = nullptr;
  HWND hwndFocus = nullptr;
  HWND hwndCapture = nullptr;
  HWND hwndMenuOwner = nullptr;
  HWND hwndMoveSize = nullptr;
  HWND hwndCaret = nullptr;
  RECT rcCaret{};
};
constexpr DWORD GUI_CARETBLINKING = 0x00000001;
BOOL GetGUIThreadInfo(DWORD threadId, GUITHREADINFO* info);

namespace detail {
struct Window;
// Whether the caret shows at this moment (created, shown, blink phase on,
// owner visible).
bool CaretShowing();
HWND CaretOwner();
// Inverts the caret where it meets area (window coordinates of root) in a
// copy of those pixels (area's top-left first, stride in pixels).
bool CaretOverlaps(Window* root, const RECT& area);
void DrawCaretOverlay(Window* root, const RECT& area, std::uint32_t* pixels, int stridePixels);
void ResetCaret();
}  // namespace detail

}  // namespace win
