// Playing a metafile's records onto a DC, into a rectangle.
//
// The picture's own coordinates go through the mapping its records set
// (the mapping mode, the window and the viewport) into the units of its
// device, and from there linearly into the rectangle: the frame of an
// enhanced metafile, the bounds of a placeable one, fill it. The player
// starts from a fixed state (black pen, white brush, the system font,
// black text on white, opaque, top-left alignment) and gives the DC its
// own state back at the end; clipping the records ask for stays inside the
// clip the DC had.
//
// Played: lines, Béziers, polylines and polygons, rectangles (rounded
// too), ellipses, arcs, chords and pies, single pixels, paths; pens (with
// the extended pens' caps and joins), solid, hatched and pattern brushes,
// fonts; text with its alignment, colours and character advances; blits
// with and without a DIB (BitBlt, StretchBlt, StretchDIBits and the older
// format's DIB blits); region fills, frames, inversions and clip regions,
// clip rectangles; saved and restored states. Other records (world
// transforms, palettes, device-dependent bitmaps) are skipped.
//
// The records must have been checked for their framing (each record's
// length lies inside the file); their contents are checked here.
#pragma once

#include <cstdint>

#include "platform/gdi/GdiTypes.h"

void PlayEnhancedMetafile(const std::uint8_t* data, win::HDC dc, const TRect& rect);
void PlayPlaceableMetafile(const std::uint8_t* data, win::HDC dc, const TRect& rect);
