// Stateless drawing routines of the editors: the process-wide cache of
// solid brushes, fills and lines, arrows and glyphs, an editor's
// background and border (DrawCustomEdit), and a button's border and
// content in each button style and kind. Everything an editor's view info
// knows reaches them as arguments: the view info implements
// IcxEditPaintViewInfo.
#pragma once

#include <span>
#include <vector>

#include "library/editors/core/cxEditUtils.h"
#include "library/foundation/cxContainer.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxLookAndFeels.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Canvas.h"
#include "platform/forms/ImageList.h"

// ---------------------------------------------------------------------------
// Solid brushes.

// A bounded cache of solid brushes by colour. Colours are kept sorted as
// unsigned numbers with a usage count each; when the cache is full, the
// least used colour (the first of equals) gives its place to the new one.
// A system colour answers the stock brush of its index and never enters
// the cache. A brush from the cache is for the drawing call at hand: ask
// again before each use, since any later request may free it. A brush
// freed while still selected into a device context lives on until it is
// deselected.
class TcxSolidBrushCache : public TObject {
  ORV_CLASS(TcxSolidBrushCache, TObject)
 public:
  TcxSolidBrushCache() : TcxSolidBrushCache(128) {}
  explicit TcxSolidBrushCache(Integer ACapacity);
  ~TcxSolidBrushCache() override;

  win::HBRUSH GetBrush(TColor AColor);
  // Frees every brush.
  void Clear();
  // The display's palette changed: every brush is made again on demand.
  virtual void SystemPaletteChanged();

  Integer GetCapacity() const { return FCapacity; }
  Integer GetCount() const { return static_cast<Integer>(FColors.size()); }
  TColor GetColor(Integer AIndex) const { return FColors.at(AIndex); }
  Integer GetUsageCount(Integer AIndex) const { return FUsageCounts.at(AIndex); }

 private:
  void Delete(Integer AIndex);
  // The index of AColor, or where it would go (and false).
  bool Find(TColor AColor, Integer& AIndex) const;

  std::vector<TColor> FColors;
  std::vector<win::HBRUSH> FBrushes;
  std::vector<Integer> FUsageCounts;
  Integer FCapacity;
  TcxSystemPaletteChangedNotifier* FSystemPaletteChangedNotifier;
};

// The process-wide cache (made at the unit's start-up).
TcxSolidBrushCache* cxSolidBrushCache();
// The brush of the colour from the process-wide cache; the canvas forms
// ignore the canvas.
win::HBRUSH GetSolidBrush(TColor AColor);
win::HBRUSH GetSolidBrush(TCanvas* ACanvas, TColor AColor);
win::HBRUSH GetSolidBrush(TcxCanvas* ACanvas, TColor AColor);
void ResetSolidBrushCache();

// Fills R; the colour forms take the brush from the cache.
void cxEditFillRect(win::HDC ADC, const TRect& R, win::HBRUSH ABrush);
void cxEditFillRect(win::HDC ADC, const TRect& R, TColor AColor);
void cxEditFillRect(TCanvas* ACanvas, const TRect& R, TColor AColor);
void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, win::HBRUSH ABrush);
void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, TColor AColor);

// Fills AOuterRect less AInnerRect (all of it when AInnerRect is empty).
void InternalFillRect(TcxCanvas* ACanvas, const TRect& AOuterRect, const TRect& AInnerRect, win::HBRUSH ABrush);
// A one-pixel line through the points, both end points included: with the
// pen, or (AByRectangles) as filled horizontal and vertical strips.
void InternalPolyLine(TcxCanvas* ACanvas, std::span<const TPoint> APoints, bool AByRectangles, TColor AColor);
void cxOffsetRect(TRect& R, const TPoint& P);
// The canvas font as a logical font, and back.
void SaveCanvasFont(TcxCanvas* ACanvas, win::LOGFONTA& ALogFont);
void RestoreCanvasFont(TcxCanvas* ACanvas, const win::LOGFONTA& ALogFont);

// ---------------------------------------------------------------------------
// Lines, arrows, glyphs.

// One-pixel lines on the named sides (left, right, top, bottom in that
// order), each moving that side of R in by 1.
void DrawButtonBorder(TcxCanvas* ACanvas, TRect& R, TcxBorders ABorders, TColor AColor);
// A solid triangle ASize rows deep (2 * ASize - 1 wide), centred in R,
// moved by (1, 1) with AShift; ADouble draws a second one right after the
// first along the direction.
void DrawArrow(TcxCanvas* ACanvas, Integer ASize, const TRect& R, TcxArrowDirection ADirection, bool ADouble,
               bool AShift, TColor AColor);
// The width and depth of the arrow that fits a box of ASize (depth first
// for left and right arrows).
TSize GetArrowSize(const TSize& ASize, TcxArrowDirection ADirection);

// The glyph at (X, Y) with its transparent colour left out, in its
// disabled look unless AEnabled. With a background bitmap the glyph is put
// onto it and the bitmap is drawn; else it goes onto the canvas over
// ABackgroundColor (nothing behind it for clNone).
void DrawGlyph(TCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled = true,
               TColor ABackgroundColor = clNone, TBitmap* ABackgroundBitmap = nullptr);
void DrawGlyph(TcxCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled = true,
               TColor ABackgroundColor = clNone, TBitmap* ABackgroundBitmap = nullptr);
// Image AImageIndex at R's top-left, composed on the background bitmap (or
// on one of the list's size filled with ABackgroundColor).
void DrawGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList, Integer AImageIndex, const TRect& R,
               TColor ABackgroundColor, bool AEnabled = true, TBitmap* ABackgroundBitmap = nullptr);
bool VerifyBitmap(TBitmap* ABitmap);
bool VerifyImages(TCustomImageList* AImages);

// ---------------------------------------------------------------------------
// Editors and their buttons.

ORV_ENUM(TcxEditBackgroundPaintingStyle, bpsSolid, bpsComboEdit, bpsComboListEdit)

// What the drawing of an editor reads of its view info beyond the
// container part.
struct TcxEditPaintInfo {
  TcxEditBorderStyle BorderStyle = ebsNone;
  Integer ButtonCount = 0;           // button view infos
  bool HasContentOffset = false;
  bool HasExternalBorder = false;    // the paint options hold epoHasExternalBorder
  bool IsInplace = false;
  TColor TextColor = clWindowText;
  bool Transparent = false;
};

// An editor's view info as the drawing routines below see it. The view
// info derives from TcxContainerViewInfo and implements this; the four
// drawing steps are its own slots, so an editor kind that overrides one
// changes what these routines draw.
class IcxEditPaintViewInfo {
 public:
  virtual ~IcxEditPaintViewInfo() = default;

  // The view info itself: colours, rectangles, edges, shadow, native state.
  virtual TcxContainerViewInfo* GetContainerViewInfo() = 0;
  virtual void GetEditPaintInfo(TcxEditPaintInfo& AInfo) = 0;
  // AIndex runs over the button view infos (0 .. ButtonCount - 1).
  virtual TcxEditButtonPaintInfo& GetButtonPaintInfo(Integer AIndex) = 0;

  // A custom background drawn in place; answers whether it was drawn.
  virtual bool DrawBackground(TcxCanvas* ACanvas) = 0;
  virtual void DrawButtons(TcxCanvas* ACanvas) = 0;
  // The steps of one button (normally DrawEditButtonContent and a fill).
  virtual void DrawButtonContent(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& ABackgroundRect,
                                 const TRect& AContentRect, TColor APenColor, TColor ABrushColor) = 0;
  virtual void DrawButtonBackground(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& R,
                                    TColor AColor) = 0;
};

// The editor's background and border, then its buttons. The background is
// kept out of each button's visible rectangle unless the first button's
// themed part is partially transparent.
void DrawCustomEdit(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, bool ADrawBackground,
                    TcxEditBackgroundPaintingStyle APaintingStyle);
// The border of button AButtonVisibleIndex in AButtonStyle inside R; then
// the view info's DrawButtonContent with what is left.
void DrawEditButtonBorder(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                          TcxEditButtonStyle AButtonStyle, TRect R);
// The button's background (through the view info) and its content by kind.
void DrawEditButtonContent(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                           const TRect& ABackgroundRect, TRect AContentRect, TColor APenColor, TColor ABrushColor);

// The unit's start-up step: the stock system brushes, then the cache.
void cxEditPaintUtilsInitialize();
// The unit's shut-down step: the cache, then the stock brushes.
void cxEditPaintUtilsFinalize();
