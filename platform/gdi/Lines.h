// Lines with the pen: MoveToEx, LineTo, Polyline, PolylineTo, and the
// stroker the shapes share.
//
// A one-pixel pen steps from pixel to pixel and leaves out the end point,
// so joined segments meet without painting a pixel twice; broken styles
// repeat their dash pattern along the stepped pixels, gaps painted in the
// background colour when the background mode is opaque. Wider pens cover
// each figure (a run of segments, each starting where the last ended) as
// one area, painted once per call: the segments' bands, the pen's joins
// where they meet and its end caps where the figure ends. A plain pen's
// caps and joins are round and its broken styles draw solid when wide; a
// geometric pen from ExtCreatePen has the caps and joins it was made with,
// draws its dashes in multiples of its width (a user style in logical
// units), and paints with its brush.
#pragma once

#include <functional>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Raster.h"

namespace win::gdi {

// The paint of the DC's pen: its colour, or the brush of a geometric pen
// made from one. False for a pen that draws nothing.
bool PenPaint(const DC& dc, std::uint8_t rop, Paint& paint);

// A point of a wide pen's figure, in device pixels.
struct DPoint {
  double X, Y;
  bool operator==(const DPoint&) const = default;
};

// The lengths a pen's broken style draws and leaves out in turn, in
// pixels (a user style's in logical units); none for a pen that draws
// solid, as a plain pen wider than a pixel does.
struct DashPattern {
  int Lengths[2 * kMaxStyleEntries] = {};
  int Count = 0, Total = 0;
  explicit operator bool() const { return Count > 0; }
};
DashPattern DashesOf(const Pen& pen);

// Walks a figure through the pattern from its start and hands each dash
// to `dash` as the points it runs through: where it starts, the corners
// it spans, where it ends. Only the stretch of each segment inside the
// box [lo, hi] is walked; a dash cut where the walk leaves the box ends
// there, so the box must reach a pen's width past what can show.
void WalkDashes(const std::vector<DPoint>& pts, bool closed, const DashPattern& pattern, DPoint lo, DPoint hi,
                const std::function<void(std::vector<DPoint>&)>& dash);

class Stroker {
 public:
  explicit Stroker(DC& dc);
  bool Null() const { return IsNull; }
  int Width() const { return PenWidth; }
  // A segment in surface coordinates. One that starts where the last one
  // ended continues its figure.
  void Segment(int x0, int y0, int x1, int y1);
  // The figure drawn since the last break ends where it began: its ends
  // join like its other corners instead of taking caps.
  void Close();
  // Paints what a wide pen collected.
  void Finish();

 private:
  void EndFigure(bool closed);
  void DashFigure(const std::vector<DPoint>& pts, bool closed);
  void StrokeFigure(std::vector<DPoint>& pts, bool closed);
  void AddBand(DPoint a, DPoint b, double extendA, double extendB);
  void AddJoin(DPoint prev, DPoint v, DPoint next);
  void AddDisc(DPoint c);
  void AddPolygon(const DPoint* pts, int n);

  DC& Dc;
  Paint Fg, Bg;
  bool IsNull = false, OpaqueGaps = false, Wide = false;
  DashPattern Dash;
  int Phase = 0;
  int PenWidth = 1;
  UINT Cap = PS_ENDCAP_ROUND, JoinKind = PS_JOIN_ROUND;
  std::vector<DPoint> Figure;
  Region Acc;
};

}  // namespace win::gdi

namespace win {

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);

}  // namespace win
