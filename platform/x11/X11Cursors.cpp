// Cursor shapes on X: the standard cursors from the cursor font, every
// other cursor built once from its masks. A cursor X cannot show exactly
// (inverted pixels) shows them black.
#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <cstdint>
#include <vector>

#include "platform/win/Cursors.h"
#include "platform/x11/X11Connection.h"

namespace win::x11 {
namespace {

unsigned int FontShape(std::uintptr_t id) {
  switch (id) {
    case 32512: return XC_left_ptr;             // arrow
    case 32513: return XC_xterm;                // I-beam
    case 32514: return XC_watch;                // wait
    case 32515: return XC_crosshair;            // cross
    case 32516: return XC_sb_up_arrow;          // up arrow
    case 32642: return XC_bottom_right_corner;  // size NW-SE
    case 32643: return XC_bottom_left_corner;   // size NE-SW
    case 32644: return XC_sb_h_double_arrow;    // size W-E
    case 32645: return XC_sb_v_double_arrow;    // size N-S
    case 32646: return XC_fleur;                // size all
    case 32648: return XC_X_cursor;             // no
    case 32649: return XC_hand2;                // hand
    case 32650: return XC_watch;                // app starting
    case 32651: return XC_question_arrow;       // help
    default: return ~0u;
  }
}

Pixmap Bitmap(Display* dpy, ::Window root, const std::vector<std::uint8_t>& bits, int w, int h) {
  int stride = (w + 7) / 8;
  std::vector<char> data(static_cast<std::size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (bits[static_cast<std::size_t>(y) * w + x]) data[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<char>(1 << (x % 8));
  return XCreateBitmapFromData(dpy, root, data.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
}

}  // namespace

void X11BackEnd::SetCursorShape(SurfaceId id, HCURSOR cursor) {
  Surface* s = Find(id);
  if (!s) return;
  // Over a window that shows nothing of ours yet a cursor is no use, and
  // making the first one (the cursor library, the theme) would hold up the
  // first picture: it comes with that picture instead.
  if (!Painted(*s)) {
    s->wantedCursor = cursor;
    s->cursorWanted = true;
    return;
  }
  DefineCursor(*s, cursor);
}

void X11BackEnd::DefineCursor(Surface& s, HCURSOR cursor) {
  s.cursorWanted = false;
  XId shape = 0;
  if (!cursor) {
    if (!blankCursor) {
      std::vector<std::uint8_t> none(1, 0);
      Pixmap p = Bitmap(dpy, root, none, 1, 1);
      XColor black{};
      blankCursor = XCreatePixmapCursor(dpy, p, p, &black, &black, 0, 0);
      XFreePixmap(dpy, p);
    }
    shape = blankCursor;
  } else if (auto it = cursors.find(cursor); it != cursors.end()) {
    shape = it->second;
  } else {
    unsigned int font = FontShape(reinterpret_cast<std::uintptr_t>(cursor));
    if (font != ~0u) {
      shape = XCreateFontCursor(dpy, font);
    } else {
      CursorImage img;
      if (GetCursorImage(cursor, img) && img.width > 0 && img.height > 0) {
        // X: source bit 1 shows the foreground (white), mask bit 0 shows
        // what is under the cursor.
        std::size_t n = static_cast<std::size_t>(img.width) * img.height;
        std::vector<std::uint8_t> source(n), mask(n);
        for (std::size_t i = 0; i < n; ++i) {
          bool andBit = img.andMask[i] != 0, xorBit = img.xorMask[i] != 0;
          mask[i] = !(andBit && !xorBit);
          source[i] = !andBit && xorBit;
        }
        Pixmap ps = Bitmap(dpy, root, source, img.width, img.height);
        Pixmap pm = Bitmap(dpy, root, mask, img.width, img.height);
        XColor white{}, black{};
        white.red = white.green = white.blue = 0xFFFF;
        shape = XCreatePixmapCursor(dpy, ps, pm, &white, &black, static_cast<unsigned>(img.hotSpot.X),
                                    static_cast<unsigned>(img.hotSpot.Y));
        XFreePixmap(dpy, ps);
        XFreePixmap(dpy, pm);
      }
    }
    if (!shape) return;
    // Handles of destroyed cursors are not reused, so the table only grows
    // with the distinct cursors a program shows.
    cursors[cursor] = shape;
  }
  if (s.cursor == shape) return;
  s.cursor = shape;
  XDefineCursor(dpy, s.window, shape);
  XFlush(dpy);
}

}  // namespace win::x11
