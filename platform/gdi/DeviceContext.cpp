#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Paths.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/WindowDCs.h"

namespace win::gdi {

namespace {

void RetainState(const DcState& s) {
  Retain(s.CurPen);
  Retain(s.CurBrush);
  Retain(s.CurFont);
  Retain(s.CurBitmap);
}

void ReleaseState(const DcState& s) {
  // Release may destroy the objects; take copies of the pointers first.
  GdiObject* objs[] = {s.CurPen, s.CurBrush, s.CurFont, s.CurBitmap};
  for (GdiObject* o : objs) Release(o);
}

void AttachBitmap(DC& dc, Bitmap* bm) {
  dc.Surf = bm ? bm->Surf : Surface{};
  if (bm && !bm->Stock) bm->SelectedIn = &dc;
}

void DetachBitmap(DC& dc, Bitmap* bm) {
  if (bm && bm->SelectedIn == &dc) bm->SelectedIn = nullptr;
}

void InitState(DC& dc) {
  DcState& s = dc.S;
  s.CurPen = static_cast<Pen*>(StockObject(BLACK_PEN));
  s.CurBrush = static_cast<Brush*>(StockObject(WHITE_BRUSH));
  s.CurFont = StockObject(SYSTEM_FONT);
  RetainState(s);
}

// The surface's extent in device coordinates: what "no clip" means.
TRect DeviceBounds(const DC& dc) {
  return {-dc.Origin.X, -dc.Origin.Y, dc.Surf.Width - dc.Origin.X, dc.Surf.Height - dc.Origin.Y};
}

int screenWidth = 1280, screenHeight = 1024;

}  // namespace

DC::~DC() {
  for (const DcState& s : Saved) ReleaseState(s);
  DetachBitmap(*this, S.CurBitmap);
  ReleaseState(S);
  delete Rec;
  delete CurPath;
  delete Meta;
}

void DC::Update() {
  UpdateOffset();
  Eff.SetRect({0, 0, Surf.Width, Surf.Height});
  thread_local Region tmp;
  if (HasVis) {
    tmp = Vis;
    tmp.Offset(Origin.X, Origin.Y);
    Region::Combine(Eff, Eff, tmp, RGN_AND);
  }
  if (S.HasClip) {
    tmp = S.Clip;
    tmp.Offset(Origin.X, Origin.Y);
    Region::Combine(Eff, Eff, tmp, RGN_AND);
  }
}

COLORREF DC::PenColor() const {
  if (!S.CurPen) return 0;
  return S.CurPen->DcPen ? S.DcPenColor : S.CurPen->Color;
}

COLORREF DC::BrushColor() const {
  if (!S.CurBrush) return 0;
  return S.CurBrush->DcBrush ? S.DcBrushColor : S.CurBrush->CurrentColor();
}

DC* LookupDC(const void* hdc) { return static_cast<DC*>(Lookup(hdc, OBJ_DC)); }

void SetGdiScreenSize(int width, int height) {
  screenWidth = width;
  screenHeight = height;
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

#define GET_DC(var, h, fail)               \
  DC* var = LookupDC(h);                   \
  if (!var) {                              \
    SetLastError(ERROR_INVALID_HANDLE);    \
    return fail;                           \
  }

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !LookupDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DC* dc = new DC(true);
  InitState(*dc);
  auto* bm = static_cast<Bitmap*>(DefaultBitmap());
  dc->S.CurBitmap = bm;
  Retain(bm);
  AttachBitmap(*dc, bm);
  dc->Update();
  return reinterpret_cast<HDC>(Register(dc));
}

HDC CreateSurfaceDC(const SurfaceDesc& surface, POINT origin, HRGN visible) {
  // Rows of whole, aligned pixels: the fill loops store four pixels at a time.
  if (!surface.Bits || surface.Width <= 0 || surface.Height <= 0 || surface.Stride < surface.Width * 4 ||
      surface.Stride % 4 != 0 || reinterpret_cast<std::uintptr_t>(surface.Bits) % 4 != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  DC* dc = new DC(false);
  InitState(*dc);
  dc->Surf.Row0 = static_cast<std::uint8_t*>(surface.Bits);
  dc->Surf.Stride = surface.Stride;
  dc->Surf.Width = surface.Width;
  dc->Surf.Height = surface.Height;
  dc->Surf.Bpp = 32;
  HDC h = reinterpret_cast<HDC>(Register(dc));
  SetSurfaceDCVisible(h, origin, visible);
  return h;
}

BOOL SetSurfaceDCVisible(HDC hdc, POINT origin, HRGN visible) {
  GET_DC(dc, hdc, FALSE)
  dc->Origin = {ClampCoord(origin.X), ClampCoord(origin.Y)};
  RegionObject* v = visible ? LookupAs<RegionObject>(visible) : nullptr;
  dc->HasVis = v != nullptr;
  if (v) dc->Vis = v->R;
  else dc->Vis.SetEmpty();
  dc->Update();
  return TRUE;
}

namespace {
SurfaceDesc screenSurface;

bool IsDisplay(LPCSTR driver) {
  if (!driver) return false;
  const char* want = "DISPLAY";
  for (; *driver && *want; ++driver, ++want)
    if ((*driver & ~0x20) != *want) return false;
  return !*driver && !*want;
}

// A DC with a one-pixel surface and nothing visible: text can be measured,
// drawing goes nowhere.
HDC NewInformationDC() {
  static std::uint32_t pixel;
  DC* dc = new DC(false);
  InitState(*dc);
  dc->Surf.Row0 = reinterpret_cast<std::uint8_t*>(&pixel);
  dc->Surf.Stride = 4;
  dc->Surf.Width = dc->Surf.Height = 1;
  dc->Surf.Bpp = 32;
  dc->HasVis = true;  // an empty visible region
  dc->Update();
  return reinterpret_cast<HDC>(Register(dc));
}
}  // namespace

void SetGdiScreenSurface(const SurfaceDesc& screen) {
  screenSurface = screen;
  if (screen.Bits) SetGdiScreenSize(screen.Width, screen.Height);
}

HDC CreateDCA(LPCSTR driver, LPCSTR, LPCSTR, const void*) {
  if (!IsDisplay(driver)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (screenSurface.Bits) return CreateSurfaceDC(screenSurface, {0, 0}, nullptr);
  // Drawing works as on the screen, into pixels only this DC has.
  std::vector<std::uint32_t> pixels(std::size_t(screenWidth) * std::size_t(screenHeight));
  HDC h = CreateSurfaceDC({pixels.data(), screenWidth, screenHeight, screenWidth * 4}, {0, 0}, nullptr);
  if (DC* dc = LookupDC(h)) dc->OwnPixels = std::move(pixels);
  return h;
}

HDC CreateICA(LPCSTR driver, LPCSTR, LPCSTR, const void*) {
  if (!IsDisplay(driver)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return NewInformationDC();
}

BOOL DeleteDC(HDC hdc) {
  GET_DC(dc, hdc, FALSE)
  // A window's DC belongs to its window until ReleaseDC hands it back;
  // deleting it is answered as done and changes nothing.
  if (!IsWindowDC(hdc)) Destroy(dc);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  GET_DC(dc, hdc, nullptr)
  GdiObject* obj = Lookup(h);
  if (!obj) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  GdiObject* old = nullptr;
  switch (obj->Type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      old = dc->S.CurPen;
      dc->S.CurPen = static_cast<Pen*>(obj);
      break;
    case OBJ_BRUSH:
      old = dc->S.CurBrush;
      dc->S.CurBrush = static_cast<Brush*>(obj);
      break;
    case OBJ_FONT:
      old = dc->S.CurFont;
      dc->S.CurFont = obj;
      break;
    case OBJ_BITMAP: {
      auto* bm = static_cast<Bitmap*>(obj);
      // A device-dependent bitmap goes only into a DC of its depth (every
      // DC here has the screen's 32 bits), or is monochrome; a DIB section
      // goes anywhere.
      const bool fits = bm->IsDib || bm->Surf.Bpp == 1 || bm->Surf.Bpp == 32;
      if (!dc->IsMemory() || !fits || (bm->SelectedIn && bm->SelectedIn != dc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      old = dc->S.CurBitmap;
      DetachBitmap(*dc, dc->S.CurBitmap);
      dc->S.CurBitmap = bm;
      AttachBitmap(*dc, bm);
      Retain(obj);
      HGDIOBJ oldHandle = old ? old->Handle : nullptr;
      Release(old);
      dc->Update();
      return oldHandle;
    }
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(hdc, reinterpret_cast<HRGN>(h))));
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
  Retain(obj);
  HGDIOBJ oldHandle = old ? old->Handle : nullptr;
  Release(old);
  return oldHandle;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GET_DC(dc, hdc, nullptr)
  GdiObject* o = nullptr;
  switch (type) {
    case OBJ_PEN: o = dc->S.CurPen; break;
    case OBJ_BRUSH: o = dc->S.CurBrush; break;
    case OBJ_FONT: o = dc->S.CurFont; break;
    // A DC over a window or the screen has the default bitmap, which only
    // a memory DC can exchange.
    case OBJ_BITMAP: o = dc->IsMemory() ? dc->S.CurBitmap : DefaultBitmap(); break;
    default: break;
  }
  return o ? o->Handle : nullptr;
}

int SaveDC(HDC hdc) {
  GET_DC(dc, hdc, 0)
  if (dc->Meta) dc->Meta->SaveDC(*dc);
  dc->Saved.push_back(dc->S);
  RetainState(dc->S);
  return static_cast<int>(dc->Saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
  GET_DC(dc, hdc, FALSE)
  int depth = static_cast<int>(dc->Saved.size());
  int level = saved < 0 ? depth + saved + 1 : saved;  // 1-based level to restore
  if (saved == 0 || level < 1 || level > depth) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dc->Meta) dc->Meta->RestoreDC(*dc, depth - level + 1);
  Bitmap* before = dc->S.CurBitmap;
  // The state to restore keeps its references; the current state's go.
  DcState target = std::move(dc->Saved[std::size_t(level - 1)]);
  for (int i = depth - 1; i >= level; --i) ReleaseState(dc->Saved[std::size_t(i)]);
  dc->Saved.resize(std::size_t(level - 1));
  DcState current = std::move(dc->S);
  dc->S = std::move(target);
  if (dc->S.CurBitmap != before) {
    DetachBitmap(*dc, before);
    AttachBitmap(*dc, dc->S.CurBitmap);
  }
  ReleaseState(current);
  dc->Update();
  return TRUE;
}

namespace {

// One attribute of a DC's state: Set replaces it and answers the old value,
// Get answers it; a stale handle or a value outside the attribute's range
// answers `fail` with the last error set.
template <class T, T DcState::*Field>
struct DcAttribute {
  template <class Valid>
  static T Set(HDC hdc, T value, T fail, Valid valid) {
    GET_DC(dc, hdc, fail)
    if (!valid(value)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return fail;
    }
    T old = dc->S.*Field;
    dc->S.*Field = value;
    return old;
  }
  static T Set(HDC hdc, T value, T fail) {
    return Set(hdc, value, fail, [](T) { return true; });
  }
  static T Get(HDC hdc, T fail) {
    GET_DC(dc, hdc, fail)
    return dc->S.*Field;
  }
};

constexpr COLORREF ColorOnly(COLORREF c) { return c & 0x00FFFFFF; }

// One origin of a DC (brush, window, viewport): moved to a point or by an
// offset, answering the old one; the window and viewport origins also move
// the DC's logical-to-device offset.
template <POINT DcState::*Field, bool MovesOffset>
struct DcOrigin {
  static BOOL Set(HDC hdc, long long x, long long y, POINT* old) {
    GET_DC(dc, hdc, FALSE)
    POINT& org = dc->S.*Field;
    if (old) *old = org;
    org = {ClampCoord(x), ClampCoord(y)};
    if constexpr (MovesOffset) dc->UpdateOffset();
    return TRUE;
  }
  static BOOL Offset(HDC hdc, int dx, int dy, POINT* old) {
    GET_DC(dc, hdc, FALSE)
    const POINT org = dc->S.*Field;
    return Set(hdc, static_cast<long long>(org.X) + dx, static_cast<long long>(org.Y) + dy, old);
  }
  static BOOL Get(HDC hdc, POINT* org) {
    GET_DC(dc, hdc, FALSE)
    if (org) *org = dc->S.*Field;
    return TRUE;
  }
};
using BrushOrigin = DcOrigin<&DcState::BrushOrg, false>;
using WindowOrigin = DcOrigin<&DcState::WindowOrg, true>;
using ViewportOrigin = DcOrigin<&DcState::ViewportOrg, true>;

}  // namespace

// The background and text colours keep the value as given, high byte
// included (GetBkColor answers it); drawing uses the low three bytes.
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  return DcAttribute<COLORREF, &DcState::BkColor>::Set(hdc, color, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) { return DcAttribute<COLORREF, &DcState::BkColor>::Get(hdc, CLR_INVALID); }
int SetBkMode(HDC hdc, int mode) {
  return DcAttribute<int, &DcState::BkMode>::Set(hdc, mode, 0, [](int m) { return m == OPAQUE || m == TRANSPARENT; });
}
int GetBkMode(HDC hdc) { return DcAttribute<int, &DcState::BkMode>::Get(hdc, 0); }
COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return DcAttribute<COLORREF, &DcState::TextColor>::Set(hdc, color, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) { return DcAttribute<COLORREF, &DcState::TextColor>::Get(hdc, CLR_INVALID); }
COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
  return DcAttribute<COLORREF, &DcState::DcBrushColor>::Set(hdc, ColorOnly(color), CLR_INVALID);
}
COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
  return DcAttribute<COLORREF, &DcState::DcPenColor>::Set(hdc, ColorOnly(color), CLR_INVALID);
}
int SetROP2(HDC hdc, int rop2) {
  return DcAttribute<int, &DcState::Rop2>::Set(hdc, rop2, 0, [](int r) { return r >= R2_BLACK && r <= R2_WHITE; });
}
int GetROP2(HDC hdc) { return DcAttribute<int, &DcState::Rop2>::Get(hdc, 0); }
int SetStretchBltMode(HDC hdc, int mode) {
  return DcAttribute<int, &DcState::StretchMode>::Set(hdc, mode, 0,
                                                       [](int m) { return m >= BLACKONWHITE && m <= HALFTONE; });
}
int GetStretchBltMode(HDC hdc) { return DcAttribute<int, &DcState::StretchMode>::Get(hdc, 0); }
int SetPolyFillMode(HDC hdc, int mode) {
  return DcAttribute<int, &DcState::FillMode>::Set(hdc, mode, 0, [](int m) { return m == ALTERNATE || m == WINDING; });
}
int GetPolyFillMode(HDC hdc) { return DcAttribute<int, &DcState::FillMode>::Get(hdc, 0); }
int SetArcDirection(HDC hdc, int dir) {
  return DcAttribute<int, &DcState::ArcDirection>::Set(
      hdc, dir, 0, [](int d) { return d == AD_COUNTERCLOCKWISE || d == AD_CLOCKWISE; });
}
int GetArcDirection(HDC hdc) { return DcAttribute<int, &DcState::ArcDirection>::Get(hdc, 0); }
UINT SetTextAlign(HDC hdc, UINT align) {
  return DcAttribute<UINT, &DcState::TextAlign>::Set(hdc, align, 0xFFFFFFFF);
}
UINT GetTextAlign(HDC hdc) { return DcAttribute<UINT, &DcState::TextAlign>::Get(hdc, 0xFFFFFFFF); }
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) { return BrushOrigin::Set(hdc, x, y, old); }
BOOL GetBrushOrgEx(HDC hdc, POINT* org) { return BrushOrigin::Get(hdc, org); }
int SetMapMode(HDC hdc, int mode) {
  GET_DC(dc, hdc, 0)
  if (dc->Meta) return dc->Meta->SetMapMode(*dc, mode);
  // Only the text mapping exists: one logical unit is one pixel.
  if (mode != MM_TEXT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return MM_TEXT;
}
int GetMapMode(HDC hdc) {
  GET_DC(dc, hdc, 0)
  return dc->Meta ? dc->Meta->MapMode() : MM_TEXT;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) { return WindowOrigin::Set(hdc, x, y, old); }
BOOL GetWindowOrgEx(HDC hdc, POINT* org) { return WindowOrigin::Get(hdc, org); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old) { return WindowOrigin::Offset(hdc, dx, dy, old); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) { return ViewportOrigin::Set(hdc, x, y, old); }
BOOL GetViewportOrgEx(HDC hdc, POINT* org) { return ViewportOrigin::Get(hdc, org); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) { return ViewportOrigin::Offset(hdc, dx, dy, old); }
BOOL LPtoDP(HDC hdc, POINT* pts, int count) {
  GET_DC(dc, hdc, FALSE)
  if (!pts && count > 0) return FALSE;
  for (int i = 0; i < count; ++i) pts[i] = {dc->DevX(ClampCoord(pts[i].X)), dc->DevY(ClampCoord(pts[i].Y))};
  return TRUE;
}
BOOL DPtoLP(HDC hdc, POINT* pts, int count) {
  GET_DC(dc, hdc, FALSE)
  if (!pts && count > 0) return FALSE;
  int dx = dc->S.ViewportOrg.X - dc->S.WindowOrg.X, dy = dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
  for (int i = 0; i < count; ++i) pts[i] = {ClampCoord(pts[i].X) - dx, ClampCoord(pts[i].Y) - dy};
  return TRUE;
}
BOOL GetCurrentPositionEx(HDC hdc, POINT* pos) {
  GET_DC(dc, hdc, FALSE)
  if (pos) *pos = dc->S.CurPos;
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  GET_DC(dc, hdc, 0)
  switch (index) {
    case TECHNOLOGY: return dc->Meta ? DT_METAFILE : DT_RASDISPLAY;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return screenWidth;
    case VERTRES: return screenHeight;
    case HORZSIZE: return screenWidth * 254 / 960;
    case VERTSIZE: return screenHeight * 254 / 960;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    default: return 0;
  }
}

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
  GET_DC(dc, hdc, CLR_INVALID)
  if (dc->Surf.IsMono()) return ColorToMono(color) ? RGB(255, 255, 255) : 0;
  return color & 0x00FFFFFF;
}

BOOL GdiFlush() { return TRUE; }

// ---- Clipping ----

namespace {
int EffKind(const DC& dc) { return dc.Eff.Kind(); }

TRect LogicalToDevice(const DC& dc, int l, int t, int r, int b) {
  l = ClampCoord(l), t = ClampCoord(t), r = ClampCoord(r), b = ClampCoord(b);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return {dc.DevX(l), dc.DevY(t), dc.DevX(r), dc.DevY(b)};
}
}  // namespace

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  GET_DC(dc, hdc, ERROR)
  RegionObject* r = rgn ? LookupAs<RegionObject>(rgn) : nullptr;
  if (rgn && !r) {
    SetLastError(ERROR_INVALID_HANDLE);
    return ERROR;
  }
  if (dc->Meta && (mode == RGN_COPY || (r && mode >= RGN_AND && mode <= RGN_DIFF)))
    dc->Meta->SelectClip(*dc, r ? &r->R : nullptr, mode);
  if (mode == RGN_COPY) {
    dc->S.HasClip = r != nullptr;
    if (r) dc->S.Clip = r->R;
    else dc->S.Clip.SetEmpty();
  } else {
    if (!r || mode < RGN_AND || mode > RGN_DIFF) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    if (!dc->S.HasClip) dc->S.Clip.SetRect(DeviceBounds(*dc));
    Region::Combine(dc->S.Clip, dc->S.Clip, r->R, mode);
    dc->S.HasClip = true;
  }
  dc->Update();
  return EffKind(*dc);
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  GET_DC(dc, hdc, -1)
  RegionObject* r = LookupAs<RegionObject>(rgn);
  if (!r) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  if (!dc->S.HasClip) return 0;
  r->R = dc->S.Clip;
  return 1;
}

int GetClipBox(HDC hdc, RECT* rect) {
  GET_DC(dc, hdc, ERROR)
  if (!rect) return ERROR;
  if (dc->Eff.IsEmpty()) {
    *rect = {};
    return NULLREGION;
  }
  const TRect& b = dc->Eff.Box();
  *rect = {b.Left - dc->OffX, b.Top - dc->OffY, b.Right - dc->OffX, b.Bottom - dc->OffY};
  return EffKind(*dc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  GET_DC(dc, hdc, ERROR)
  if (dc->Meta) dc->Meta->ClipRect(*dc, EMR_INTERSECTCLIPRECT, left, top, right, bottom);
  TRect r = LogicalToDevice(*dc, left, top, right, bottom);
  if (!dc->S.HasClip) {
    dc->S.Clip.SetRect(DeviceBounds(*dc));
    dc->S.HasClip = true;
  }
  dc->S.Clip.IntersectRect(r);
  dc->Update();
  return EffKind(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  GET_DC(dc, hdc, ERROR)
  if (dc->Meta) dc->Meta->ClipRect(*dc, EMR_EXCLUDECLIPRECT, left, top, right, bottom);
  TRect r = LogicalToDevice(*dc, left, top, right, bottom);
  if (!dc->S.HasClip) {
    dc->S.Clip.SetRect(DeviceBounds(*dc));
    dc->S.HasClip = true;
  }
  thread_local Region tmp;
  tmp.SetRect(r);
  Region::Combine(dc->S.Clip, dc->S.Clip, tmp, RGN_DIFF);
  dc->Update();
  return EffKind(*dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  GET_DC(dc, hdc, ERROR)
  if (dc->Meta) dc->Meta->OffsetClip(*dc, dx, dy);
  if (dc->S.HasClip) {
    dc->S.Clip.Offset(ClampCoord(dx), ClampCoord(dy));
    dc->Update();
  }
  return EffKind(*dc);
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
  GET_DC(dc, hdc, FALSE)
  if (!rect) return FALSE;
  TRect r = LogicalToDevice(*dc, rect->Left, rect->Top, rect->Right, rect->Bottom);
  r = {r.Left + dc->Origin.X, r.Top + dc->Origin.Y, r.Right + dc->Origin.X, r.Bottom + dc->Origin.Y};
  return dc->Eff.Intersects(r) ? TRUE : FALSE;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  GET_DC(dc, hdc, FALSE)
  return dc->Eff.Contains(ClampCoord(x) + dc->OffX, ClampCoord(y) + dc->OffY) ? TRUE : FALSE;
}

}  // namespace win
