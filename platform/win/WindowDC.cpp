#include "platform/win/WindowDC.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/WindowDCs.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Caret.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

struct DcRecord {
  HWND hwnd = nullptr;
  HWND root = nullptr;
  std::shared_ptr<Backing> backing;  // keeps the pixels alive while the DC is out
  RECT rootBox{};                    // what the DC may touch, root window coordinates
  // How the DC was asked for, to take it again when the windows move.
  DWORD flags = 0;
  bool window = false;
  std::optional<gdi::Region> clip;  // DCX_INTERSECTRGN or DCX_EXCLUDERGN, client coordinates
};

std::unordered_map<HDC, DcRecord>& Dcs() {
  static std::unordered_map<HDC, DcRecord> m;
  return m;
}

std::vector<std::uint32_t>& Scratch() {
  static std::vector<std::uint32_t> s;
  return s;
}

RECT Unite(const RECT& a, const RECT& b) {
  if (a.Left >= a.Right || a.Top >= a.Bottom) return b;
  if (b.Left >= b.Right || b.Top >= b.Bottom) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Left >= r.Right || r.Top >= r.Bottom) return {};
  return r;
}

bool Empty(const RECT& r) { return r.Left >= r.Right || r.Top >= r.Bottom; }

// Inside this unit only: the window's WS_CLIPCHILDREN does not apply.
constexpr DWORD kIgnoreClipChildren = 0x80000000;

// What the screen DC draws on: the size of the virtual screen, seen by
// nobody, made on first use.
std::shared_ptr<Backing>& ScreenPixels() {
  static std::shared_ptr<Backing> b;
  return b;
}

// The screen area a window covers: its rectangle, cut to its region.
void CoveredArea(const Window* w, gdi::Region& out) {
  RECT r = ScreenWindowRect(w);
  out.SetRect(r);
  if (w->hasRegion) {
    gdi::Region shape = w->region;
    shape.Offset(r.Left, r.Top);
    gdi::Region::Combine(out, out, shape, RGN_AND);
  }
}

void CutToRegion(gdi::Region& out, const Window* w) {
  if (!w->hasRegion) return;
  RECT r = ScreenWindowRect(w);
  gdi::Region shape = w->region;
  shape.Offset(r.Left, r.Top);
  gdi::Region::Combine(out, out, shape, RGN_AND);
}

// Takes what the window covers out, or of that only what lies in `within`.
void Subtract(gdi::Region& out, const Window* w, const RECT* within = nullptr) {
  gdi::Region cover;
  CoveredArea(w, cover);
  if (within) cover.IntersectRect(*within);
  gdi::Region::Combine(out, out, cover, RGN_DIFF);
}

}  // namespace

void VisibleRegion(Window* w, bool window, DWORD flags, gdi::Region& out) {
  out.SetEmpty();
  if (!w || w == Desktop() || !VisibleChain(w)) return;
  Window* locked = LockedWindow();
  if (locked && IsDescendant(w, locked) && !(flags & DCX_LOCKWINDOWUPDATE)) return;
  RECT base = window ? ScreenWindowRect(w) : ScreenClientRect(w);
  if (!window && (flags & DCX_PARENTCLIP) && w->parent && w->parent != Desktop()) {
    // The parent's visible client area, its children (this window too)
    // left in, placed at this window's client corner.
    VisibleRegion(w->parent, false, (flags & ~(DCX_PARENTCLIP | DCX_CLIPCHILDREN)) | kIgnoreClipChildren, out);
    RECT p = ScreenClientRect(w->parent);
    out.Offset(p.Left - base.Left, p.Top - base.Top);
    return;
  }
  out.SetRect(base);
  CutToRegion(out, w);
  Window* root = Root(w);
  for (Window* x = w; x != root && !out.IsEmpty(); x = x->parent) {
    Window* p = x->parent;
    out.IntersectRect(ScreenClientRect(p));
    CutToRegion(out, p);
    if ((x->style & WS_CLIPSIBLINGS) || (x == w && (flags & DCX_CLIPSIBLINGS))) {
      for (Window* s : p->children) {
        if (s == x) break;
        if (s->style & WS_VISIBLE) Subtract(out, s);
      }
    }
  }
  // Drawing while tracking (DCX_LOCKWINDOWUPDATE: a drag image, say) goes
  // over the children whatever the window's style; DCX_CLIPCHILDREN still
  // keeps them out.
  const bool styleClips = (w->style & WS_CLIPCHILDREN) && !(flags & (kIgnoreClipChildren | DCX_LOCKWINDOWUPDATE));
  if (styleClips || (flags & DCX_CLIPCHILDREN)) {
    // A child shows only inside this window's client area: the part of it
    // over the frame (a window sized below its children) is the frame's.
    const RECT client = ScreenClientRect(w);
    for (Window* c : w->children)
      if (c->style & WS_VISIBLE) Subtract(out, c, &client);
  }
  out.Offset(-base.Left, -base.Top);
}

void VisibleTreeInRoot(Window* w, gdi::Region& out) {
  VisibleRegion(w, true, kIgnoreClipChildren, out);
  RECT mine = ScreenWindowRect(w), root = ScreenWindowRect(Root(w));
  out.Offset(mine.Left - root.Left, mine.Top - root.Top);
}

void MoveRootPixels(Window* root, const gdi::Region& dest, int dx, int dy) {
  if (dest.IsEmpty()) return;
  Backing& b = BackingOf(root);
  RECT box = dest.Box();
  box = {std::max(box.Left, 0), std::max(box.Top, 0), std::min(box.Right, b.width), std::min(box.Bottom, b.height)};
  if (box.Left >= box.Right || box.Top >= box.Bottom) return;
  const int bw = box.Width(), bh = box.Height();
  const int sx0 = std::max(box.Left - dx, 0), sx1 = std::max(sx0, std::min(box.Right - dx, b.width));
  // The source rows first, whole: the destination may overlap them.
  // (Source pixels off the backing are black.)
  thread_local std::vector<std::uint32_t> copy;
  copy.resize(static_cast<std::size_t>(bw) * static_cast<std::size_t>(bh));
  const int in0 = sx0 + dx - box.Left, in1 = sx1 + dx - box.Left;  // the part of a scratch row with a source
  for (int y = 0; y < bh; ++y) {
    std::uint32_t* row = &copy[static_cast<std::size_t>(y) * bw];
    const int sy = box.Top + y - dy;
    if (sy < 0 || sy >= b.height || in0 >= in1) {
      std::fill(row, row + bw, 0u);
      continue;
    }
    std::fill(row, row + in0, 0u);
    std::fill(row + in1, row + bw, 0u);
    std::memcpy(row + in0, &b.pixels[static_cast<std::size_t>(sy) * b.width + static_cast<std::size_t>(sx0)],
                static_cast<std::size_t>(in1 - in0) * 4);
  }
  for (const RECT& r : dest.Rects) {
    const int left = std::max(r.Left, box.Left), right = std::min(r.Right, box.Right);
    if (left >= right) continue;
    for (int y = std::max(r.Top, box.Top); y < std::min(r.Bottom, box.Bottom); ++y)
      std::memcpy(&b.pixels[static_cast<std::size_t>(y) * b.width + static_cast<std::size_t>(left)],
                  &copy[static_cast<std::size_t>(y - box.Top) * bw + static_cast<std::size_t>(left - box.Left)],
                  static_cast<std::size_t>(right - left) * 4);
  }
  MarkDirty(root, box);
}

Backing& BackingOf(Window* root) {
  int w = std::max(0, root->window.Width()), h = std::max(0, root->window.Height());
  // A shown window keeps its pixels where the screen reads them, if the
  // back end lends such memory: presenting then copies nothing, and the
  // window's first picture zeroes one block of pages instead of two. A
  // hidden one (measured, never drawn) keeps pages that cost nothing.
  const bool share = root->surface && (root->style & WS_VISIBLE) && w > 0 && h > 0;
  const bool resized = root->backing && (root->backing->width != w || root->backing->height != h);
  if (!root->backing || resized || (share && !root->backing->pixels.Lent() && !root->backing->lendAsked)) {
    // A new block rather than a resize: DCs still out keep the old one.
    auto b = std::make_shared<Backing>();
    b->width = w;
    b->height = h;
    std::shared_ptr<PixelBlock> lent = share ? BackEnd().SurfacePixels(root->surface, w, h) : nullptr;
    b->lendAsked = share;
    if (lent && lent->width == w && lent->height == h) b->pixels.Adopt(std::move(lent));
    else b->pixels.Allocate(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    // A resized window keeps what still fits. What a window held before it
    // showed is not copied into lent memory: showing repaints all of it,
    // and reading the old pages would take them in for nothing.
    if (root->backing && (resized || !b->pixels.Lent())) {
      const Backing& old = *root->backing;
      int cw = std::min(w, old.width), ch = std::min(h, old.height);
      for (int y = 0; y < ch; ++y)
        std::memcpy(&b->pixels[static_cast<std::size_t>(y) * w], &old.pixels[static_cast<std::size_t>(y) * old.width],
                    static_cast<std::size_t>(cw) * 4);
    }
    root->backing = std::move(b);
  }
  return *root->backing;
}

void MarkDirty(Window* root, const RECT& rootRect) {
  if (!root || !root->backing) return;
  root->backing->dirty = Unite(root->backing->dirty, rootRect);
}

void PresentPending() {
  // DCs still out may have drawn since the last presentation.
  for (auto& [dc, rec] : Dcs())
    if (Window* r = Peek(rec.root); r && r->backing == rec.backing) MarkDirty(r, rec.rootBox);
  for (Window* t : TopLevels()) {
    if (!t->surface || !(t->style & WS_VISIBLE) || !t->backing) continue;
    Backing& b = BackingOf(t);
    RECT all{0, 0, b.width, b.height};
    RECT area = b.presentAll ? all : Intersect(b.dirty, all);
    b.dirty = {};
    b.presentAll = false;
    if (Empty(area)) continue;
    FollowColorKey(t);
    const std::uint32_t* src = &b.pixels[static_cast<std::size_t>(area.Top) * b.width + area.Left];
    if (!CaretOverlaps(t, area)) {
      BackEnd().Present(t->surface, area, reinterpret_cast<const std::uint8_t*>(src), b.width * 4);
      continue;
    }
    if (b.pixels.Lent()) {
      // The screen reads the window's own pixels: the caret is put in for
      // the presentation and taken out again (it inverts, so twice is none).
      std::uint32_t* at = &b.pixels[static_cast<std::size_t>(area.Top) * b.width + area.Left];
      DrawCaretOverlay(t, area, at, b.width);
      BackEnd().Present(t->surface, area, reinterpret_cast<const std::uint8_t*>(at), b.width * 4);
      DrawCaretOverlay(t, area, at, b.width);
      continue;
    }
    int aw = area.Width(), ah = area.Height();
    auto& s = Scratch();
    s.resize(static_cast<std::size_t>(aw) * ah);
    for (int y = 0; y < ah; ++y)
      std::memcpy(&s[static_cast<std::size_t>(y) * aw], src + static_cast<std::size_t>(y) * b.width,
                  static_cast<std::size_t>(aw) * 4);
    DrawCaretOverlay(t, area, s.data(), aw);
    BackEnd().Present(t->surface, area, reinterpret_cast<const std::uint8_t*>(s.data()), aw * 4);
  }
}

void ResetWindowDCs() {
  for (auto& [dc, rec] : Dcs()) ReleaseWindowDC(dc);
  Dcs().clear();
}

}  // namespace detail

using namespace detail;

namespace {

// Where the DC's window shows now: its origin on the root's pixels and
// its visible region. What it touches widens to what it may touch now.
void PlaceDC(HDC dc, Window* w, DcRecord& rec) {
  gdi::Region vis;
  VisibleRegion(w, rec.window, rec.flags, vis);
  if (rec.clip) gdi::Region::Combine(vis, vis, *rec.clip, (rec.flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
  RECT rootRect = ScreenWindowRect(Root(w));
  RECT mine = rec.window ? ScreenWindowRect(w) : ScreenClientRect(w);
  POINT origin{mine.Left - rootRect.Left, mine.Top - rootRect.Top};
  HRGN visH = gdi::NewRegionHandle(vis);
  SetSurfaceDCVisible(dc, origin, visH);
  DeleteObject(visH);
  if (!vis.IsEmpty()) {
    RECT box = vis.Box();
    box = {box.Left + origin.X, box.Top + origin.Y, box.Right + origin.X, box.Bottom + origin.Y};
    rec.rootBox = Empty(rec.rootBox) ? box : Unite(rec.rootBox, box);
  }
}

}  // namespace

void detail::FollowWindowDCs() {
  for (auto& [dc, rec] : Dcs()) {
    Window* w = Peek(rec.hwnd);
    Window* root = Peek(rec.root);
    // A DC whose window went, went out of sight or to other pixels draws
    // where it did.
    if (!w || !root || Root(w) != root || root->backing != rec.backing || !VisibleChain(w)) continue;
    PlaceDC(dc, w, rec);
  }
}

namespace {

// The screen: all of the virtual screen is visible and nothing clips it.
HDC ScreenDC(HWND hwnd) {
  RECT vs = Desktop()->window;
  auto& b = ScreenPixels();
  if (!b || b->width != vs.Width() || b->height != vs.Height()) {
    b = std::make_shared<Backing>();
    b->width = std::max(vs.Width(), 1);
    b->height = std::max(vs.Height(), 1);
    b->pixels.Allocate(static_cast<std::size_t>(b->width) * static_cast<std::size_t>(b->height));
  }
  gdi::SurfaceDesc sd{b->pixels.data(), b->width, b->height, b->width * 4};
  HDC dc = CreateSurfaceDC(sd, {-vs.Left, -vs.Top}, nullptr);
  if (!dc) return nullptr;
  DcRecord rec;
  rec.hwnd = hwnd;
  rec.backing = b;
  HoldWindowDC(dc);
  Dcs()[dc] = rec;
  return dc;
}

}  // namespace

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  Window* w = hwnd ? Find(hwnd) : Desktop();
  if (!w) {
    if (clip) DeleteObject(clip);
    return nullptr;
  }
  bool window = (flags & DCX_WINDOW) != 0;
  if (w == Desktop()) {
    if (clip) DeleteObject(clip);
    return ScreenDC(hwnd);
  }
  if (!window && (w->cls->style & CS_PARENTDC)) flags |= DCX_PARENTCLIP;
  // A window that clips its siblings or its children draws in its own
  // visible area whatever its class says: the parent's would draw over them.
  if ((flags & (DCX_CLIPSIBLINGS | DCX_CLIPCHILDREN)) || (w->style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN)))
    flags &= ~DCX_PARENTCLIP;
  DcRecord rec;
  rec.hwnd = hwnd;
  rec.flags = flags;
  rec.window = window;
  if (clip) {
    auto* c = gdi::LookupAs<gdi::RegionObject>(clip);
    if (c && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) rec.clip = c->R;
    DeleteObject(clip);
  }
  HDC dc = nullptr;
  Window* root = Root(w);
  Backing* b = &BackingOf(root);
  if (b->width > 0 && b->height > 0) {
    gdi::SurfaceDesc sd{b->pixels.data(), b->width, b->height, b->width * 4};
    dc = CreateSurfaceDC(sd, {0, 0}, nullptr);
    rec.root = root->handle;
    rec.backing = root->backing;
    if (dc) PlaceDC(dc, w, rec);
  } else {
    // Windows without pixels draw nowhere; the DC is still the screen's
    // kind of DC, measures text and answers device questions.
    dc = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  }
  if (dc) {
    HoldWindowDC(dc);
    Dcs()[dc] = rec;
  }
  return dc;
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, 0); }

HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW); }

int ReleaseDC(HWND, HDC hdc) {
  auto it = Dcs().find(hdc);
  if (it == Dcs().end()) return 0;
  DcRecord rec = std::move(it->second);
  Dcs().erase(it);
  if (Window* r = Peek(rec.root); r && r->backing == rec.backing) MarkDirty(r, rec.rootBox);
  ReleaseWindowDC(hdc);
  return 1;
}

HWND WindowFromDC(HDC hdc) {
  auto it = Dcs().find(hdc);
  return it == Dcs().end() ? nullptr : it->second.hwnd;
}

}  // namespace win
