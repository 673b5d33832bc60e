// What DefWindowProc draws for a window: the non-client frame (border,
// dialog frame, client edge, caption band with its icon, text and
// buttons, scroll bars and the corner between them with its size grip),
// a minimised window's caption, and the background of the client area.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win::detail {

struct Window;

// The caption band and its buttons, in window coordinates. The caption's
// rows (the caption height) are the band and, under it, one row of the
// frame's face that parts it from the client area. A button that the
// styles do not ask for has an empty rectangle; a box shown only because
// its partner is (minimise without maximise, or the reverse) is there but
// disabled. A minimised window is all caption: the band fills it inside
// a dialog frame, whatever its style, with the rows alike.
struct CaptionLayout {
  RECT area{};  // the caption's rows inside the frame
  RECT band{};
  RECT icon{};
  RECT close{}, maximize{}, minimize{};
  bool closeEnabled = false, maximizeEnabled = false, minimizeEnabled = false;
};
// Whether the window shows a caption: its style has one, or it is
// minimised.
bool ShowsCaption(const Window* w);
bool LayoutCaption(const Window* w, CaptionLayout& out);
// The hit-test code of a window point on the caption (HTCAPTION, HTCLOSE,
// HTMAXBUTTON, HTMINBUTTON, HTSYSMENU), or HTNOWHERE off it.
int CaptionHit(const Window* w, POINT windowPt);
// Draws one caption button, pushed or not, into a window DC.
void DrawCaptionButton(const Window* w, HDC dc, int hit, bool pushed);

// WM_NCPAINT: region 1 (or null) means the whole frame, else a region in
// screen coordinates the frame drawing is cut to.
void PaintNonClient(Window* w, HRGN region);
// WM_ERASEBKGND: fills with the class brush (a brush, or COLOR_x + 1) and
// answers whether there was one.
BOOL EraseBackground(Window* w, HDC dc);

}  // namespace win::detail
