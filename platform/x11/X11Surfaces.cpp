// Top-level surfaces: one X window each, over a backing buffer that holds
// the window system's composited pixels. Present copies into the buffer
// and puts the changed part on the screen (MIT-SHM when the server shares
// memory with us, XPutImage otherwise); Expose is served from the buffer.
#include "platform/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/mman.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"

namespace win::x11 {

struct Image {
  XImage* ximage = nullptr;
  XShmSegmentInfo segment{};
  bool shared = false;
  bool direct = false;  // the visual's pixels are BGRA bytes as we keep them
  // Otherwise each channel is scaled to its field, and the bits no colour
  // covers (the alpha of a 32-bit visual) are set: a pixel left at alpha 0
  // would be composited as fully transparent, and the window would show
  // what lies beneath it.
  struct Field {
    int shift = 0, bits = 8;
  } red, green, blue;
  unsigned long opaque = 0;
  int width = 0, height = 0;
  Display* dpy = nullptr;
  // Whether it holds a picture of ours: until the first Present it holds
  // nothing worth putting on the screen.
  bool painted = false;
  // Lent to the window system as the window's own pixels: it covers the
  // whole window, the frame a window manager draws in its place included.
  bool whole = false;
  std::shared_ptr<bool> open;  // the connection's

  ~Image() {
    if (!ximage) return;
    if (shared) {
      if (*open) {
        XShmDetach(dpy, &segment);
        XSync(dpy, False);
      }
      XDestroyImage(ximage);  // frees the structure only: data is the segment
      shmdt(segment.shmaddr);
    } else {
      XDestroyImage(ximage);  // frees the data too
    }
  }
  std::uint32_t* Row(int y) const {
    return reinterpret_cast<std::uint32_t*>(ximage->data + static_cast<std::ptrdiff_t>(y) * ximage->bytes_per_line);
  }
};

Surface::Surface() = default;
Surface::~Surface() = default;

namespace {

Image::Field FieldOf(unsigned long mask) {
  Image::Field f;
  f.shift = mask ? __builtin_ctzl(mask) : 0;
  f.bits = __builtin_popcountl(mask);
  return f;
}

// An 8-bit channel in a field of the visual (5, 6, 8 or 10 bits wide).
unsigned long Scale(unsigned c, const Image::Field& f) {
  unsigned long v = f.bits >= 8 ? (static_cast<unsigned long>(c) << (f.bits - 8)) | (c >> (16 - f.bits))
                                : static_cast<unsigned long>(c) >> (8 - f.bits);
  return v << f.shift;
}

// Top-level windows that never take the focus (drop-downs, hints, menus)
// go around the window manager.
bool NeverActivates(const SurfaceOptions& o) {
  if (o.exStyle & WS_EX_NOACTIVATE) return true;
  return o.popup && (o.style & WS_CAPTION) != WS_CAPTION && (o.exStyle & WS_EX_TOOLWINDOW);
}

// Whether the server attached the segment. It answers a failure only with
// an error (a server in another IPC namespace finds no such segment, or
// one it may not read), and every picture put from a segment it does not
// have would be lost: the windows would stay black. So the answer is
// awaited here, with a handler of our own for just this request.
bool gAttachFailed = false;
unsigned long gAttachRequest = 0;
XErrorHandler gUsualHandler = nullptr;

// Errors of requests before the attach, answered during the same wait, go
// to the usual handler.
int NoteAttachError(Display* dpy, XErrorEvent* e) {
  if (e->serial >= gAttachRequest) gAttachFailed = true;
  else if (gUsualHandler) return gUsualHandler(dpy, e);
  return 0;
}

bool AttachSegment(Display* dpy, XShmSegmentInfo& segment) {
  gAttachFailed = false;
  gUsualHandler = XSetErrorHandler(NoteAttachError);
  gAttachRequest = NextRequest(dpy);
  bool queued = XShmAttach(dpy, &segment) != 0;
  XSync(dpy, False);
  XSetErrorHandler(gUsualHandler);
  return queued && !gAttachFailed;
}

}  // namespace

bool Painted(const Surface& s) { return s.image && s.image->painted; }

bool Lent(const Surface& s) { return s.image && s.image->whole; }

RECT XRectOf(const Surface& s, const RECT& r) {
  RECT x{r.Left + s.inset.Left, r.Top + s.inset.Top, r.Right - s.inset.Right, r.Bottom - s.inset.Bottom};
  // X has no empty windows: one pixel stands for none.
  if (x.Right <= x.Left) x.Right = x.Left + 1;
  if (x.Bottom <= x.Top) x.Bottom = x.Top + 1;
  // X places a window at 16-bit positions: the frame's width added to a
  // window at the far end would wrap it around to the other one.
  const int w = std::min(x.Width(), static_cast<int>(SHRT_MAX)), h = std::min(x.Height(), static_cast<int>(SHRT_MAX));
  x.Left = std::clamp(x.Left, static_cast<int>(SHRT_MIN), static_cast<int>(SHRT_MAX));
  x.Top = std::clamp(x.Top, static_cast<int>(SHRT_MIN), static_cast<int>(SHRT_MAX));
  x.Right = x.Left + w;
  x.Bottom = x.Top + h;
  return x;
}

std::shared_ptr<Image> X11BackEnd::NewImage(int w, int h) {
  auto img = std::make_shared<Image>();
  img->dpy = dpy;
  img->open = open;
  img->width = w;
  img->height = h;
  Visual* v = static_cast<Visual*>(visual);
  if (shm) {
    img->ximage = XShmCreateImage(dpy, v, static_cast<unsigned>(depth), ZPixmap, nullptr, &img->segment,
                                  static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (img->ximage) {
      img->segment.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(img->ximage->bytes_per_line) * h,
                                  IPC_CREAT | 0600);
      void* addr = img->segment.shmid >= 0 ? shmat(img->segment.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
      if (addr != reinterpret_cast<void*>(-1)) {
#ifdef MADV_POPULATE_WRITE
        // Every page is written by the first picture: taken in one call
        // rather than a fault a page, which costs several times as much.
        madvise(addr, static_cast<std::size_t>(img->ximage->bytes_per_line) * h, MADV_POPULATE_WRITE);
#endif
        img->segment.shmaddr = img->ximage->data = static_cast<char*>(addr);
        img->segment.readOnly = False;
        img->shared = AttachSegment(dpy, img->segment);
        // Marked for removal now: it goes away with the last detach, even if
        // we crash.
        shmctl(img->segment.shmid, IPC_RMID, nullptr);
        if (!img->shared) shmdt(addr);
      } else if (img->segment.shmid >= 0) {
        shmctl(img->segment.shmid, IPC_RMID, nullptr);
      }
      if (!img->shared) {
        img->ximage->data = nullptr;
        XDestroyImage(img->ximage);
        img->ximage = nullptr;
        shm = false;  // the server cannot reach our memory (a remote display, another IPC namespace)
      }
    }
  }
  if (!img->ximage) {
    img->ximage = XCreateImage(dpy, v, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, static_cast<unsigned>(w),
                               static_cast<unsigned>(h), 32, 0);
    if (!img->ximage) return nullptr;
    img->ximage->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(img->ximage->bytes_per_line), h));
  }
  XImage* xi = img->ximage;
  img->red = FieldOf(xi->red_mask);
  img->green = FieldOf(xi->green_mask);
  img->blue = FieldOf(xi->blue_mask);
  const unsigned long all = depth >= 32 ? 0xFFFFFFFFul : (1ul << depth) - 1;
  img->opaque = all & ~(xi->red_mask | xi->green_mask | xi->blue_mask);
  img->direct = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst && xi->red_mask == 0xFF0000 &&
                xi->green_mask == 0xFF00 && xi->blue_mask == 0xFF && !img->opaque;
  return img;
}

void X11BackEnd::CreateImage(Surface& s) {
  RECT x = XRectOf(s, s.rect);
  int w = x.Width(), h = x.Height();
  if (s.image && !s.image->whole && s.image->width == w && s.image->height == h) return;
  std::shared_ptr<Image> img = NewImage(w, h);
  if (!img) return;
  XImage* xi = img->ximage;
  if (s.image && !s.image->whole) {
    img->painted = s.image->painted;
    int cw = std::min(w, s.image->width), ch = std::min(h, s.image->height);
    for (int y = 0; y < ch; ++y) {
      if (img->direct && s.image->direct) {
        std::memcpy(img->Row(y), s.image->Row(y), static_cast<std::size_t>(cw) * 4);
      } else {
        for (int x2 = 0; x2 < cw; ++x2) XPutPixel(xi, x2, y, XGetPixel(s.image->ximage, x2, y));
      }
    }
  } else if (!img->shared) {
    std::memset(xi->data, 0, static_cast<std::size_t>(xi->bytes_per_line) * h);
  }
  s.image = std::move(img);
  XFlush(dpy);
}

namespace {

// Memory the window system keeps a window's pixels in, put on the screen
// from where they lie.
struct LentImage : PixelBlock {
  std::shared_ptr<Image> image;
};

}  // namespace

std::shared_ptr<PixelBlock> X11BackEnd::SurfacePixels(SurfaceId id, int width, int height) {
  Surface* s = Find(id);
  if (!s || !shm || !lendable || width <= 0 || height <= 0) return nullptr;
  std::shared_ptr<Image> img = NewImage(width, height);
  // Only memory the server shares with us, in our own pixel layout, can be
  // the window's pixels as they are; a screen of another layout never
  // lends (its windows' pixels are converted as they are presented).
  if (img && img->shared && (!img->direct || img->ximage->bytes_per_line != width * 4)) lendable = false;
  if (!img || !img->shared || !lendable) return nullptr;
  img->whole = true;
  s->image = img;
  auto block = std::make_shared<LentImage>();
  block->pixels = img->Row(0);
  block->width = width;
  block->height = height;
  block->image = std::move(img);
  XFlush(dpy);
  return block;
}

// The part of the X window the image covers, in the X window's coordinates.
static RECT XAreaOf(const Surface& s) {
  const Image& img = *s.image;
  if (!img.whole) return {0, 0, img.width, img.height};
  return {0, 0, img.width - s.inset.Left - s.inset.Right, img.height - s.inset.Top - s.inset.Bottom};
}

void X11BackEnd::PutImage(Surface& s, const RECT& area) {
  if (!s.image || !s.image->ximage || !s.image->painted) return;
  const RECT all = XAreaOf(s);
  int l = std::max(all.Left, area.Left), t = std::max(all.Top, area.Top);
  int r = std::min(all.Right, area.Right), b = std::min(all.Bottom, area.Bottom);
  if (r <= l || b <= t) return;
  // A whole-window image holds the frame too: the X window starts inside it.
  const int sx = s.image->whole ? s.inset.Left : 0, sy = s.image->whole ? s.inset.Top : 0;
  GC gc = DefaultGC(dpy, screen);
  if (s.image->shared) {
    XShmPutImage(dpy, s.window, gc, s.image->ximage, l + sx, t + sy, l, t, static_cast<unsigned>(r - l),
                 static_cast<unsigned>(b - t), False);
    // The buffer is written again by the next Present: the server must
    // have read it by then.
    XSync(dpy, False);
  } else {
    XPutImage(dpy, s.window, gc, s.image->ximage, l + sx, t + sy, l, t, static_cast<unsigned>(r - l),
              static_cast<unsigned>(b - t));
    XFlush(dpy);
  }
}

SurfaceId X11BackEnd::CreateSurface(const RECT& screenRect, const SurfaceOptions& options) {
  SurfaceId id = nextId++;
  Surface& s = surfaces[id];
  s.options = options;
  s.rect = screenRect;
  s.overrideRedirect = NeverActivates(options);
  // Under a window manager a captioned window gets its frame instead of
  // ours: the X window shows what lies inside the frame (client edges and
  // scroll bars stay ours). Without one, our own frame is all there is.
  if (windowManager && !s.overrideRedirect && (options.style & WS_CAPTION) == WS_CAPTION) {
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, options.style & ~(WS_VSCROLL | WS_HSCROLL), FALSE,
                       options.exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    s.inset = {-frame.Left, -frame.Top, frame.Right, frame.Bottom};
    s.managed = true;
  }
  RECT x = XRectOf(s, screenRect);
  XSetWindowAttributes wa{};
  wa.colormap = colormap ? colormap : DefaultColormap(dpy, screen);
  wa.background_pixmap = None;
  wa.border_pixel = 0;
  wa.override_redirect = s.overrideRedirect ? True : False;
  wa.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                  ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask |
                  PropertyChangeMask;
  s.window = XCreateWindow(dpy, root, x.Left, x.Top, static_cast<unsigned>(x.Width()),
                           static_cast<unsigned>(x.Height()), 0, depth, InputOutput, static_cast<Visual*>(visual),
                           CWColormap | CWBackPixmap | CWBorderPixel | CWOverrideRedirect | CWEventMask, &wa);
  s.requested = x;
  s.parent = root;
  ApplyHints(s);
  // The image comes with the first picture: many windows are never shown,
  // and each image is a shared segment and round trips to the server.
  return id;
}

bool X11BackEnd::Decorated(SurfaceId id) {
  Surface* s = Find(id);
  return s && s->managed;
}

void X11BackEnd::DestroySurface(SurfaceId id) {
  Surface* s = Find(id);
  if (!s) return;
  if (grabbed == id) UngrabPointer();
  if (grabOnMap == id) grabOnMap = 0;
  if (activateOnMap == id) activateOnMap = 0;
  if (xFocus == id) {
    xFocus = 0;
    focusChanged = true;
  }
  s->image.reset();
  if (s->ic) XDestroyIC(static_cast<XIC>(s->ic));
  XDestroyWindow(dpy, s->window);
  XFlush(dpy);
  surfaces.erase(id);
  for (auto it = pending.begin(); it != pending.end();) it = it->surface == id ? pending.erase(it) : it + 1;
}

// A window mapped before it has a picture shows for a moment whatever the
// server puts there: nothing of ours (background None), or black from a
// buffer never filled. So showing only marks the window; it is mapped with
// its first picture (Present), or, should none come, when the program next
// waits for events.
void X11BackEnd::ShowSurface(SurfaceId id, bool show, bool activate) {
  Surface* s = Find(id);
  if (!s) return;
  if (show) {
    s->mapPending = true;
    if (activate && !s->overrideRedirect) RequestActivation(id);
    return;
  }
  s->mapPending = false;
  s->given = false;
  s->stateAsked = false;
  s->zoomAsked = false;
  s->wmZoomed = s->zoomed;
  if (activateOnMap == id) activateOnMap = 0;
  if (grabOnMap == id) grabOnMap = 0;
  XUnmapWindow(dpy, s->window);
  // A managed window is withdrawn by telling the window manager too.
  if (windowManager && !s->overrideRedirect) XWithdrawWindow(dpy, s->window, screen);
  XFlush(dpy);
}

void X11BackEnd::MapShown(SurfaceId id, Surface& s) {
  if (!s.mapPending) return;
  s.mapPending = false;
  // The manager forgets the states of a window it gives back.
  if (!s.given && !s.overrideRedirect) ApplyStateHint(s);
  s.given = true;
  XMapRaised(dpy, s.window);
  // Unmanaged windows are on the screen now: the whole picture goes with
  // them (a managed one waits for its frame and is served on Expose).
  if (s.image) PutImage(s, XAreaOf(s));
  if (grabOnMap == id) {
    grabOnMap = 0;
    GrabPointer(id);
  }
  if (activateOnMap == id) {
    activateOnMap = 0;
    RequestActivation(id);
  }
  XFlush(dpy);
}

void X11BackEnd::RequestGeometry(Surface& s, const RECT& x) {
  XMoveResizeWindow(dpy, s.window, x.Left, x.Top, static_cast<unsigned>(x.Width()), static_cast<unsigned>(x.Height()));
  s.requested = x;
  ++s.pendingConfigures;
}

void X11BackEnd::MoveSurface(SurfaceId id, const RECT& r) {
  Surface* s = Find(id);
  // The icon stands for a minimised window: the X window keeps its place
  // for when it opens, and the window system's off-screen one is its own.
  if (!s || s->iconic) return;
  s->rect = r;
  RECT x = XRectOf(*s, r);
  if (s->zoomed || s->wmZoomed) {
    // Maximised, the place is the manager's; on the way in or out of that
    // state, it settles once the manager shows the state (ZoomSettled).
    if (s->zoomed && s->wmZoomed && s->given) ZoomSettled(id, *s);
  } else if (x != s->requested) {
    // The hints first: a window manager holds a fixed frame to the size
    // they give, and would keep the old one against the request.
    ApplyHints(*s);
    RequestGeometry(*s, x);
  }
  // A lent image is replaced by the window system, with the window's
  // pixels at the new size.
  if (s->image && !s->image->whole) CreateImage(*s);
  XFlush(dpy);
}

void X11BackEnd::RestackSurface(SurfaceId id, SurfaceId above) {
  Surface* s = Find(id);
  if (!s) return;
  Surface* other = above ? Find(above) : nullptr;
  if (!other) {
    XRaiseWindow(dpy, s->window);
  } else {
    // Works for managed windows as well, whose siblings are frames.
    XWindowChanges c{};
    c.sibling = other->window;
    c.stack_mode = Above;
    XReconfigureWMWindow(dpy, s->window, screen, CWSibling | CWStackMode, &c);
  }
  XFlush(dpy);
}

void X11BackEnd::Present(SurfaceId id, const RECT& area, const std::uint8_t* bgra, int stride) {
  Surface* s = Find(id);
  if (!s || !bgra) return;
  if (!s->image || !s->image->whole) CreateImage(*s);
  if (!s->image || !s->image->ximage) return;
  Image& img = *s->image;
  // Window-system coordinates cover the whole window; the X window starts
  // inside the frame the window manager draws. A whole-window image is in
  // window coordinates itself.
  int ox = img.whole ? 0 : s->inset.Left, oy = img.whole ? 0 : s->inset.Top;
  int l = std::max(area.Left - ox, 0), t = std::max(area.Top - oy, 0);
  int r = std::min(area.Right - ox, img.width), b = std::min(area.Bottom - oy, img.height);
  if (r <= l || b <= t) return;
  for (int y = t; y < b; ++y) {
    const std::uint8_t* src = bgra + static_cast<std::ptrdiff_t>(y + oy - area.Top) * stride +
                              static_cast<std::ptrdiff_t>(l + ox - area.Left) * 4;
    // The window's own pixels, lent: already where the screen reads them.
    if (img.direct && src == reinterpret_cast<const std::uint8_t*>(img.Row(y) + l)) continue;
    if (img.direct) {
      std::memcpy(img.Row(y) + l, src, static_cast<std::size_t>(r - l) * 4);
      continue;
    }
    for (int x = l; x < r; ++x, src += 4)
      XPutPixel(img.ximage, x, y,
                Scale(src[2], img.red) | Scale(src[1], img.green) | Scale(src[0], img.blue) | img.opaque);
  }
  img.painted = true;
  RECT x = img.whole ? RECT{l - s->inset.Left, t - s->inset.Top, r - s->inset.Left, b - s->inset.Top} : RECT{l, t, r, b};
  if (s->mapPending)
    MapShown(id, *s);
  else
    PutImage(*s, x);
  if (s->cursorWanted) DefineCursor(*s, s->wantedCursor);
}

void X11BackEnd::OnConfigure(XEvent& e) {
  SurfaceId id = SurfaceOfWindow(e.xconfigure.window);
  Surface* s = Find(id);
  if (!s) {
    // The manager's frame around one of ours: its animations move it with
    // no notice to the window inside.
    for (auto& [framed, f] : surfaces)
      if (f.parent == e.xconfigure.window) ReadPlace(framed, f);
    return;
  }
  int x = e.xconfigure.x, y = e.xconfigure.y;
  // A window manager's frame makes the reported position relative to it;
  // its own synthetic notices speak in root coordinates.
  if (!e.xconfigure.send_event && s->parent && s->parent != root) {
    ::Window child;
    XTranslateCoordinates(dpy, s->window, root, 0, 0, &x, &y, &child);
  }
  RECT got{x, y, x + e.xconfigure.width, y + e.xconfigure.height};
  if (s->pendingConfigures > 0) {
    // Our own requests coming back, in order; the last one catches up.
    --s->pendingConfigures;
    if (got == s->requested) s->pendingConfigures = 0;
    if (got == s->requested || s->pendingConfigures > 0) return;
    // The last of them came back elsewhere: the window manager placed the
    // window itself (keeping it on the screen), and that is where it is.
  }
  Placed(id, *s, got);
}

// A frame may move with no notice to the window inside (the manager's
// iconify animation, stopped where it had got when the window opened
// again; another program): where the window is, when it is mapped or
// reparented and whenever its frame moves, is read from the server.
void X11BackEnd::ReadPlace(SurfaceId id, Surface& s) {
  if (!s.managed || !s.mapped || s.pendingConfigures > 0 || !s.parent || s.parent == root) return;
  int x = 0, y = 0;
  ::Window child = 0, top = 0;
  int ignoredX = 0, ignoredY = 0;
  unsigned width = 0, height = 0, border = 0, bits = 0;
  if (!XTranslateCoordinates(dpy, s.window, root, 0, 0, &x, &y, &child) ||
      !XGetGeometry(dpy, s.window, &top, &ignoredX, &ignoredY, &width, &height, &border, &bits))
    return;
  Placed(id, s, RECT{x, y, x + static_cast<int>(width), y + static_cast<int>(height)});
}

// The window manager has the window at got (X geometry, root coordinates).
void X11BackEnd::Placed(SurfaceId id, Surface& s, const RECT& got) {
  // Where an icon's window lies is no news to the window system.
  if (s.iconic) return;
  // A new size from the manager may come with its maximise or restore:
  // that is told first, and the place settles with the state.
  const RECT mine = XRectOf(s, s.rect);
  if (s.zoomed == s.wmZoomed && (got.Width() != mine.Width() || got.Height() != mine.Height())) ReadZoom(id, s);
  if (s.zoomed != s.wmZoomed) {
    s.requested = got;
    return;
  }
  if (got == mine) return;
  s.requested = got;
  RECT window{got.Left - s.inset.Left, got.Top - s.inset.Top, got.Right + s.inset.Right,
              got.Bottom + s.inset.Bottom};
  BackEndEvent be;
  be.kind = BackEndEvent::Moved;
  be.surface = id;
  be.rect = window;
  pending.push_back(be);
}

}  // namespace win::x11
