// Device contexts: the drawing state over a surface (a memory DC's
// selected bitmap, or a window surface handed in by the window tier), the
// save stack, coordinate origins and clipping.
//
// Coordinates: logical (what callers pass) -> device (window origin and
// viewport origin applied; what clip regions are kept in) -> surface
// (the DC's origin on its surface added; what the rasteriser writes).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/PenBrush.h"
#include "platform/gdi/Region.h"

namespace win::gdi {

class MetaRecorder;
class Path;
class Recorder;

// Coordinates are held within +-2^27: origins and extents added to them
// then never overflow, and nothing on a surface lies that far out.
constexpr int kCoordLimit = 1 << 27;
constexpr int ClampCoord(int v) { return v < -kCoordLimit ? -kCoordLimit : v > kCoordLimit ? kCoordLimit : v; }
constexpr int ClampCoord(long long v) {
  return v < -kCoordLimit ? -kCoordLimit : v > kCoordLimit ? kCoordLimit : int(v);
}

struct DcState {
  Pen* CurPen = nullptr;
  Brush* CurBrush = nullptr;
  GdiObject* CurFont = nullptr;
  Bitmap* CurBitmap = nullptr;
  COLORREF BkColor = RGB(255, 255, 255);
  COLORREF TextColor = RGB(0, 0, 0);
  COLORREF DcBrushColor = RGB(255, 255, 255);
  COLORREF DcPenColor = RGB(0, 0, 0);
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  int FillMode = ALTERNATE;
  int ArcDirection = AD_COUNTERCLOCKWISE;
  UINT TextAlign = TA_LEFT | TA_TOP;
  POINT BrushOrg{};
  POINT WindowOrg{};
  POINT ViewportOrg{};
  POINT CurPos{};
  bool HasClip = false;
  Region Clip;  // device coordinates
  // Text spacing: pixels after every character, and justification pixels
  // spread over the break characters of each output.
  int CharExtra = 0;
  int BreakExtra = 0;
  int BreakCount = 0;
};

class DC : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_DC;
  explicit DC(bool memory) : GdiObject(memory ? OBJ_MEMDC : OBJ_DC) {}
  ~DC() override;

  bool IsMemory() const { return Type == OBJ_MEMDC; }

  DcState S;
  std::vector<DcState> Saved;

  Surface Surf;       // where drawing goes
  POINT Origin{};     // device (0, 0) on the surface
  bool HasVis = false;
  Region Vis;         // the window tier's visible region, device coordinates

  // Derived, kept current by Update(): the effective clip in surface
  // coordinates and the logical-to-surface offset.
  Region Eff;
  int OffX = 0, OffY = 0;
  Recorder* Rec = nullptr;
  Path* CurPath = nullptr;  // the path being drawn or closed (Paths.h)
  MetaRecorder* Meta = nullptr;  // a metafile DC's records (MetafileRecorder.h)
  // The pixels of a display DC made where the window tier lends no screen.
  std::vector<std::uint32_t> OwnPixels;

  void Update();
  void UpdateOffset() {
    OffX = S.ViewportOrg.X - S.WindowOrg.X + Origin.X;
    OffY = S.ViewportOrg.Y - S.WindowOrg.Y + Origin.Y;
  }
  // Logical <-> device.
  int DevX(int x) const { return x + S.ViewportOrg.X - S.WindowOrg.X; }
  int DevY(int y) const { return y + S.ViewportOrg.Y - S.WindowOrg.Y; }

  COLORREF PenColor() const;
  COLORREF BrushColor() const;
};

DC* LookupDC(const void* hdc);

// The size GetDeviceCaps reports for HORZRES and VERTRES (the screen the
// window tier sets up).
void SetGdiScreenSize(int width, int height);

// Where a window DC draws: a 32-bit surface the window tier owns.
struct SurfaceDesc {
  void* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;  // bytes per row, top-down
};

}  // namespace win::gdi

namespace win {

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// For the window tier: a DC over a window surface. `origin` is where the
// DC's device (0, 0) lies on the surface (the client area's corner);
// `visible` (device coordinates, may be null for all of the surface) is the
// visible region under any clip. The DC starts from the default state.
HDC CreateSurfaceDC(const gdi::SurfaceDesc& surface, POINT origin, HRGN visible);
// Moves a surface DC or changes its visible region (null: the whole surface).
BOOL SetSurfaceDCVisible(HDC hdc, POINT origin, HRGN visible);

// The screen display DCs draw on, set by the window tier (its virtual
// screen); a null Bits forgets it.
void SetGdiScreenSurface(const gdi::SurfaceDesc& screen);
// "DISPLAY" only: a DC over the whole screen; without a screen set, over
// pixels of its own of the screen's size that nobody sees. An information
// DC measures but draws nothing.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode);
HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devmode);

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
template <class H>
inline H SelectObject(HDC hdc, H h) {
  return reinterpret_cast<H>(SelectObject(hdc, ToObj(h)));
}
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int saved);

COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetArcDirection(HDC hdc, int dir);
int GetArcDirection(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC hdc, POINT* org);
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* org);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* org);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC hdc, POINT* pts, int count);
BOOL DPtoLP(HDC hdc, POINT* pts, int count);
BOOL GetCurrentPositionEx(HDC hdc, POINT* pos);

int GetDeviceCaps(HDC hdc, int index);
COLORREF GetNearestColor(HDC hdc, COLORREF color);
BOOL GdiFlush();

// Clipping. Regions passed in are in device coordinates; rectangles in
// logical ones.
int SelectClipRgn(HDC hdc, HRGN rgn);
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int GetClipRgn(HDC hdc, HRGN rgn);
int GetClipBox(HDC hdc, RECT* rect);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int dx, int dy);
BOOL RectVisible(HDC hdc, const RECT* rect);
BOOL PtVisible(HDC hdc, int x, int y);

}  // namespace win
