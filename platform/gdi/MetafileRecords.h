// What the metafile recorder writes and the metafile player reads: the
// record numbers of enhanced metafiles and of the older placeable format,
// the mapping modes, and how a mapping takes logical units to the units
// of the picture's device.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/gdi/GdiTypes.h"

namespace win {

// Mapping modes beyond the text mapping: fixed units with y growing
// upwards, and the two that take their scale from the extents.
constexpr int MM_LOMETRIC = 2;   // 0.1 mm
constexpr int MM_HIMETRIC = 3;   // 0.01 mm
constexpr int MM_LOENGLISH = 4;  // 0.01 inch
constexpr int MM_HIENGLISH = 5;  // 0.001 inch
constexpr int MM_TWIPS = 6;      // 1/1440 inch

// Enhanced records.
constexpr DWORD EMR_HEADER = 1;
constexpr DWORD EMR_POLYBEZIER = 2;
constexpr DWORD EMR_POLYGON = 3;
constexpr DWORD EMR_POLYLINE = 4;
constexpr DWORD EMR_POLYBEZIERTO = 5;
constexpr DWORD EMR_POLYLINETO = 6;
constexpr DWORD EMR_POLYPOLYGON = 8;
constexpr DWORD EMR_SETWINDOWEXTEX = 9;
constexpr DWORD EMR_SETWINDOWORGEX = 10;
constexpr DWORD EMR_SETVIEWPORTEXTEX = 11;
constexpr DWORD EMR_SETVIEWPORTORGEX = 12;
constexpr DWORD EMR_SETBRUSHORGEX = 13;
constexpr DWORD EMR_EOF = 14;
constexpr DWORD EMR_SETPIXELV = 15;
constexpr DWORD EMR_SETMAPMODE = 17;
constexpr DWORD EMR_SETBKMODE = 18;
constexpr DWORD EMR_SETPOLYFILLMODE = 19;
constexpr DWORD EMR_SETROP2 = 20;
constexpr DWORD EMR_SETSTRETCHBLTMODE = 21;
constexpr DWORD EMR_SETTEXTALIGN = 22;
constexpr DWORD EMR_SETTEXTCOLOR = 24;
constexpr DWORD EMR_SETBKCOLOR = 25;
constexpr DWORD EMR_OFFSETCLIPRGN = 26;
constexpr DWORD EMR_MOVETOEX = 27;
constexpr DWORD EMR_EXCLUDECLIPRECT = 29;
constexpr DWORD EMR_INTERSECTCLIPRECT = 30;
constexpr DWORD EMR_SCALEVIEWPORTEXTEX = 31;
constexpr DWORD EMR_SCALEWINDOWEXTEX = 32;
constexpr DWORD EMR_SAVEDC = 33;
constexpr DWORD EMR_RESTOREDC = 34;
constexpr DWORD EMR_SELECTOBJECT = 37;
constexpr DWORD EMR_CREATEPEN = 38;
constexpr DWORD EMR_CREATEBRUSHINDIRECT = 39;
constexpr DWORD EMR_DELETEOBJECT = 40;
constexpr DWORD EMR_ELLIPSE = 42;
constexpr DWORD EMR_RECTANGLE = 43;
constexpr DWORD EMR_ROUNDRECT = 44;
constexpr DWORD EMR_ARC = 45;
constexpr DWORD EMR_CHORD = 46;
constexpr DWORD EMR_PIE = 47;
constexpr DWORD EMR_LINETO = 54;
constexpr DWORD EMR_SETARCDIRECTION = 57;
constexpr DWORD EMR_BEGINPATH = 59;
constexpr DWORD EMR_ENDPATH = 60;
constexpr DWORD EMR_CLOSEFIGURE = 61;
constexpr DWORD EMR_FILLPATH = 62;
constexpr DWORD EMR_STROKEANDFILLPATH = 63;
constexpr DWORD EMR_STROKEPATH = 64;
constexpr DWORD EMR_WIDENPATH = 66;
constexpr DWORD EMR_ABORTPATH = 68;
constexpr DWORD EMR_FILLRGN = 71;
constexpr DWORD EMR_FRAMERGN = 72;
constexpr DWORD EMR_INVERTRGN = 73;
constexpr DWORD EMR_PAINTRGN = 74;
constexpr DWORD EMR_EXTSELECTCLIPRGN = 75;
constexpr DWORD EMR_BITBLT = 76;
constexpr DWORD EMR_STRETCHBLT = 77;
constexpr DWORD EMR_STRETCHDIBITS = 81;
constexpr DWORD EMR_EXTCREATEFONTINDIRECTW = 82;
constexpr DWORD EMR_EXTTEXTOUTA = 83;
constexpr DWORD EMR_EXTTEXTOUTW = 84;
constexpr DWORD EMR_POLYBEZIER16 = 85;
constexpr DWORD EMR_POLYGON16 = 86;
constexpr DWORD EMR_POLYLINE16 = 87;
constexpr DWORD EMR_POLYBEZIERTO16 = 88;
constexpr DWORD EMR_POLYLINETO16 = 89;
constexpr DWORD EMR_POLYPOLYGON16 = 91;
constexpr DWORD EMR_CREATEDIBPATTERNBRUSHPT = 94;
constexpr DWORD EMR_EXTCREATEPEN = 95;

// The enhanced header's signature and sizes.
constexpr DWORD kEmfSignature = 0x464D4520;
constexpr std::size_t kEmfHeaderSize = 88;
// Stock objects are selected by their index with this bit set.
constexpr DWORD kEmfStockObject = 0x80000000u;

// Records of the older format (function numbers).
constexpr WORD META_EOF = 0x0000;
constexpr WORD META_SAVEDC = 0x001E;
constexpr WORD META_SETBKMODE = 0x0102;
constexpr WORD META_SETMAPMODE = 0x0103;
constexpr WORD META_SETROP2 = 0x0104;
constexpr WORD META_SETPOLYFILLMODE = 0x0106;
constexpr WORD META_SETSTRETCHBLTMODE = 0x0107;
constexpr WORD META_RESTOREDC = 0x0127;
constexpr WORD META_INVERTREGION = 0x012A;
constexpr WORD META_PAINTREGION = 0x012B;
constexpr WORD META_SELECTCLIPREGION = 0x012C;
constexpr WORD META_SELECTOBJECT = 0x012D;
constexpr WORD META_SETTEXTALIGN = 0x012E;
constexpr WORD META_DELETEOBJECT = 0x01F0;
constexpr WORD META_SETBKCOLOR = 0x0201;
constexpr WORD META_SETTEXTCOLOR = 0x0209;
constexpr WORD META_SETWINDOWORG = 0x020B;
constexpr WORD META_SETWINDOWEXT = 0x020C;
constexpr WORD META_SETVIEWPORTORG = 0x020D;
constexpr WORD META_SETVIEWPORTEXT = 0x020E;
constexpr WORD META_OFFSETWINDOWORG = 0x020F;
constexpr WORD META_OFFSETVIEWPORTORG = 0x0211;
constexpr WORD META_LINETO = 0x0213;
constexpr WORD META_MOVETO = 0x0214;
constexpr WORD META_OFFSETCLIPRGN = 0x0220;
constexpr WORD META_FILLREGION = 0x0228;
constexpr WORD META_CREATEPENINDIRECT = 0x02FA;
constexpr WORD META_CREATEFONTINDIRECT = 0x02FB;
constexpr WORD META_CREATEBRUSHINDIRECT = 0x02FC;
constexpr WORD META_POLYGON = 0x0324;
constexpr WORD META_POLYLINE = 0x0325;
constexpr WORD META_SCALEWINDOWEXT = 0x0410;
constexpr WORD META_SCALEVIEWPORTEXT = 0x0412;
constexpr WORD META_EXCLUDECLIPRECT = 0x0415;
constexpr WORD META_INTERSECTCLIPRECT = 0x0416;
constexpr WORD META_ELLIPSE = 0x0418;
constexpr WORD META_RECTANGLE = 0x041B;
constexpr WORD META_FRAMEREGION = 0x0429;
constexpr WORD META_TEXTOUT = 0x0521;
constexpr WORD META_CREATEREGION = 0x06FF;
constexpr WORD META_DIBBITBLT = 0x0940;
constexpr WORD META_EXTTEXTOUT = 0x0A32;
constexpr WORD META_DIBSTRETCHBLT = 0x0B41;
constexpr WORD META_STRETCHDIB = 0x0F43;

// How logical units become the units of the picture's device: the
// mapping mode, the window (origin and extent) in logical units and the
// viewport in device units. Fixed modes take their scale from the
// device's pixels per millimetre and count y upwards; the isotropic mode
// keeps one scale on both axes, the smaller of the two the extents ask
// for.
struct MetaMapping {
  int Mode = MM_TEXT;
  double WindowOrg[2] = {0, 0}, WindowExt[2] = {1, 1};
  double ViewportOrg[2] = {0, 0}, ViewportExt[2] = {1, 1};
  double PixelsPerMm[2] = {96 / 25.4, 96 / 25.4};

  // Device units per logical unit on an axis (0 = x, 1 = y), signed.
  double Scale(int axis) const {
    auto fixed = [&](double unitsPerMm) {
      double s = PixelsPerMm[axis] / unitsPerMm;
      return axis == 1 ? -s : s;
    };
    switch (Mode) {
      case MM_LOMETRIC: return fixed(10);
      case MM_HIMETRIC: return fixed(100);
      case MM_LOENGLISH: return fixed(100 / 25.4);
      case MM_HIENGLISH: return fixed(1000 / 25.4);
      case MM_TWIPS: return fixed(1440 / 25.4);
      case MM_ISOTROPIC: {
        const double sx = ViewportExt[0] / WindowExt[0], sy = ViewportExt[1] / WindowExt[1];
        const double m = std::fmin(std::fabs(sx), std::fabs(sy));
        const double s = axis == 0 ? sx : sy;
        return s < 0 ? -m : m;
      }
      case MM_ANISOTROPIC: return ViewportExt[axis] / WindowExt[axis];
      default: return 1;
    }
  }
  double ToDevice(int axis, double v) const { return (v - WindowOrg[axis]) * Scale(axis) + ViewportOrg[axis]; }
  // Whether a mode is one of the above.
  static bool Known(int mode) { return mode >= MM_TEXT && mode <= MM_ANISOTROPIC; }
  // Extents count only where the mode takes its scale from them; a zero
  // extent is refused.
  bool UsesExtents() const { return Mode == MM_ISOTROPIC || Mode == MM_ANISOTROPIC; }
};

}  // namespace win
