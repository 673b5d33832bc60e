#include "platform/win/Layered.h"

#include "platform/win/BackEnd.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowRegion.h"
#include "platform/win/WindowStyles.h"

namespace win {
namespace detail {
namespace {

bool Keyed(const Window* w) { return (w->layeredFlags & LWA_COLORKEY) != 0; }

// The part of the window's pixels that is not the key colour.
gdi::Region KeyShape(Window* w) {
  gdi::Region shape;
  if (!w->backing) return shape;
  const Backing& b = *w->backing;
  // Pixels are 0xAARRGGBB, the key 0x00BBGGRR.
  const std::uint32_t key = ((w->layeredKey & 0xFF) << 16) | (w->layeredKey & 0xFF00) | ((w->layeredKey >> 16) & 0xFF);
  gdi::Region::Builder builder(shape);
  for (int y = 0; y < b.height; ++y) {
    const std::uint32_t* row = &b.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.width)];
    for (int x = 0; x < b.width;) {
      while (x < b.width && (row[x] & 0xFFFFFF) == key) ++x;
      const int start = x;
      while (x < b.width && (row[x] & 0xFFFFFF) != key) ++x;
      if (x > start) builder.AddSpan(y, y + 1, start, x);
    }
  }
  builder.Finish();
  return shape;
}

// Unless asked to, the surface is told only of a change.
void UpdateKeyShape(Window* w, bool always) {
  gdi::Region shape = Keyed(w) ? KeyShape(w) : gdi::Region();
  if (!always && shape == w->keyShape) return;
  w->keyShape = std::move(shape);
  ShapeSurface(w);
}

}  // namespace

void FollowColorKey(Window* root) {
  if (root && Keyed(root)) UpdateKeyShape(root, false);
}

void LayeredStyleDropped(Window* w) {
  const bool keyed = Keyed(w);
  w->layeredFlags = 0;
  w->layeredAlpha = 255;
  w->keyShape.SetEmpty();
  if (!w->surface) return;
  BackEnd().SetSurfaceOpacity(w->surface, 255);
  if (keyed) ShapeSurface(w);
}

void RestoreSurfaceLook(Window* w) {
  if (!w->surface) return;
  if (w->layeredFlags & LWA_ALPHA) BackEnd().SetSurfaceOpacity(w->surface, w->layeredAlpha);
  if (w->hasRegion || Keyed(w)) ShapeSurface(w);
}

}  // namespace detail

using namespace detail;

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!IsTopLevel(w) || !(w->exStyle & WS_EX_LAYERED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD before = w->layeredFlags;
  const COLORREF keyBefore = w->layeredKey;
  w->layeredFlags = flags & (LWA_COLORKEY | LWA_ALPHA);
  w->layeredKey = key & 0xFFFFFF;
  w->layeredAlpha = alpha;
  if (w->surface && ((before | w->layeredFlags) & LWA_ALPHA))
    BackEnd().SetSurfaceOpacity(w->surface, (w->layeredFlags & LWA_ALPHA) ? alpha : 255);
  if (((before ^ w->layeredFlags) & LWA_COLORKEY) || (Keyed(w) && w->layeredKey != keyBefore))
    UpdateKeyShape(w, true);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!IsTopLevel(w) || !(w->exStyle & WS_EX_LAYERED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (key) *key = w->layeredKey;
  if (alpha) *alpha = w->layeredAlpha;
  if (flags) *flags = w->layeredFlags;
  return TRUE;
}

}  // namespace win
