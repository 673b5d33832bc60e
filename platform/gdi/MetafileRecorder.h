// The enhanced-metafile recorder: a DC whose drawing is written as the
// records of an enhanced metafile instead of painted.
//
// The DC keeps its state as any DC does; before each record the recorder
// writes what changed since the last one (objects, colours, modes,
// origins, the current position), so state set and never used costs
// nothing. Pens, brushes and fonts become metafile objects once per
// description. Lines, shapes, Béziers, text (with the advance of every
// character), blits (the source's pixels as a DIB), region fills, clip
// changes, saved states, the mapping mode with the window and viewport
// extents, and path brackets are recorded; edges, frame controls and the
// underline DrawText puts under a prefixed character are not.
//
// The picture's device is described as 96 pixels per inch; its frame is
// the one given, or else the bounds of what was drawn.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/MetafileRecords.h"
#include "platform/gdi/Region.h"

namespace win {

ORV_DECLARE_HANDLE(HENHMETAFILE)

constexpr DWORD OBJ_ENHMETAFILE = 13;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;

// A recording DC. The reference DC (which may be null) is not consulted;
// frame (hundredths of a millimetre, may be null) is the picture's frame;
// the description, if any, is stored in the header. Recording into a
// file is not offered: a file name fails with ERROR_NOT_SUPPORTED.
HDC CreateEnhMetaFileA(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description);
// Ends the recording, deletes the DC and hands out the metafile.
HENHMETAFILE CloseEnhMetaFile(HDC hdc);
// Copies the metafile's bytes; with a null buffer answers their number.
UINT GetEnhMetaFileBits(HENHMETAFILE emf, UINT size, BYTE* data);
BOOL DeleteEnhMetaFile(HENHMETAFILE emf);

// The window and viewport extents. Only a recording DC scales: its
// records carry them; every other DC keeps the text mapping, whose
// extents are one to one and cannot be set (setting them succeeds and
// changes nothing, as the text mapping ignores them).
BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old);
BOOL GetWindowExtEx(HDC hdc, SIZE* ext);
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old);
BOOL GetViewportExtEx(HDC hdc, SIZE* ext);

}  // namespace win

namespace win::gdi {

class DC;
class Brush;
struct RunOptions;

class MetaRecorder {
 public:
  MetaRecorder(const RECT* frame, LPCSTR description);

  // Drawing, in the caller's logical coordinates. Poly takes a record
  // type of the polyline, polygon and Bézier family (EMR_POLYPOLYGON with
  // several counts).
  void LineTo(DC& dc, int x, int y);
  void Poly(DC& dc, DWORD type, const POINT* pts, const INT* counts, int polys);
  void Box(DC& dc, DWORD type, const RECT& box);
  void RoundRect(DC& dc, const RECT& box, int width, int height);
  void Arc(DC& dc, DWORD type, const RECT& box, POINT start, POINT end);
  // Answers the run's width, as drawing it would.
  int Text(DC& dc, int x, int y, const char* s, int n, const RunOptions& opt);
  void PatBlt(DC& dc, int x, int y, int width, int height, DWORD rop);
  void FillRect(DC& dc, const RECT& rect, const Brush* brush);
  void FrameRect(DC& dc, const RECT& rect, const Brush* brush);
  void Blt(DC& dc, int x, int y, int width, int height, const DC& src, int xSrc, int ySrc, int wSrc, int hSrc,
           DWORD rop, bool stretch);
  // Answers the rows recorded (0 when the DIB is refused).
  int DibBlt(DC& dc, int x, int y, int width, int height, int xSrc, int ySrc, int wSrc, int hSrc, const void* bits,
             const BITMAPINFO* info, DWORD rop);
  void Pixel(DC& dc, int x, int y, COLORREF color);
  // FILLRGN, FRAMERGN, PAINTRGN or INVERTRGN of a region in logical units.
  void RegionDraw(DC& dc, DWORD type, const Region& region, const Brush* brush, int width, int height);
  void PathCall(DC& dc, DWORD type);

  // State that is recorded as it is set.
  void SelectClip(DC& dc, const Region* device, int mode);
  void ClipRect(DC& dc, DWORD type, int left, int top, int right, int bottom);
  void OffsetClip(DC& dc, int dx, int dy);
  void SaveDC(DC& dc);
  // Before the DC restores the state `popped` levels down.
  void RestoreDC(DC& dc, int popped);
  int SetMapMode(DC& dc, int mode);
  int MapMode() const { return Map.Mode; }
  BOOL SetExtent(DC& dc, bool window, int x, int y, SIZE* old);
  SIZE Extent(bool window) const;

  // The whole metafile.
  std::vector<std::uint8_t> Finish();

 private:
  // The state the player has when it reaches the record being written.
  struct Played {
    std::string Pen, Brush, Font;  // object keys
    COLORREF Text = 0, Bk = 0;
    int BkMode = 0, Rop2 = 0, FillMode = 0, StretchMode = 0, ArcDirection = 0;
    UINT Align = 0;
    POINT WindowOrg{}, ViewportOrg{}, BrushOrg{}, Pos{};
  };

  void Sync(DC& dc, bool position);
  void SelectKey(const std::string& key, const std::string& create, std::string& played);
  std::string BrushKey(const DC& dc, const Brush* brush, std::string& create) const;
  void SelectBrush(DC& dc, const Brush* brush);
  void WritePatBlt(const DC& dc, int x, int y, int width, int height, DWORD rop);
  // Starts a record of a type; the size is set when the next one starts.
  std::vector<std::uint8_t>& Begin(DWORD type);
  void Simple(DWORD type, std::initializer_list<std::uint32_t> values);
  MetaMapping Mapping(const DC& dc) const;
  void Bound(const DC& dc, double x, double y);
  void BoundBox(const DC& dc, double left, double top, double right, double bottom);
  void Seal();

  std::vector<std::uint8_t> Records;
  std::size_t Open = 0;     // where the record being written starts
  std::uint32_t Count = 0;  // records written
  std::map<std::string, DWORD> Objects;
  DWORD NextObject = 1;
  Played Last;
  std::vector<Played> Saved;
  MetaMapping Map;
  std::vector<MetaMapping> SavedMaps;
  bool HasFrame = false;
  RECT Frame{};
  bool HasBounds = false;
  double Bounds[4] = {0, 0, 0, 0};
  std::u16string Description;
};

}  // namespace win::gdi
