// The library's drawing surface. TcxCanvas wraps a class-library canvas
// without owning it and adds what painters and view infos need: frames and
// edges made of filled strips (exact widths and colours), tiled bitmap
// fills anchored at the canvas origin, glyphs and images with a disabled
// look, text with the library's own text flags, clip-region arithmetic
// through TcxRegion, bitmap rotation and translucent drawing.
#pragma once

#include <span>
#include <vector>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxGeometry.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Canvas.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImageList.h"
#include "platform/gdi/Paths.h"
#include "platform/gdi/Regions.h"

// ---------------------------------------------------------------------------
// Library text flags and their platform counterparts.

constexpr Integer cxAlignLeft = 1;
constexpr Integer cxAlignRight = 2;
constexpr Integer cxAlignHCenter = 4;
constexpr Integer cxAlignTop = 8;
constexpr Integer cxAlignBottom = 16;
constexpr Integer cxAlignVCenter = 32;
constexpr Integer cxAlignCenter = cxAlignHCenter | cxAlignVCenter;
constexpr Integer cxSingleLine = 64;
constexpr Integer cxDontClip = 128;
constexpr Integer cxExpandTabs = 256;
constexpr Integer cxShowPrefix = 512;
constexpr Integer cxWordBreak = 1024;
constexpr Integer cxShowEndEllipsis = 2048;
constexpr Integer cxDontPrint = 4096;
constexpr Integer cxShowPathEllipsis = 8192;
constexpr Integer cxDontBreakChars = 16384;

// DT_NOPREFIX unless the prefix is shown; word breaks also get
// DT_EDITCONTROL unless breaking inside words is forbidden.
win::UINT cxFlagsToDTFlags(Integer AFlags);

// Selects the canvas's font, pen and brush into its DC, for drawing on the
// handle directly.
void cxPrepareCanvas(TCanvas* ACanvas);

// ---------------------------------------------------------------------------

ORV_ENUM(TcxRegionOperation, roSet, roAdd, roSubtract, roIntersect)
ORV_ENUM(TcxBorder, bLeft, bTop, bRight, bBottom)
using TcxBorders = Set<TcxBorder>;
inline constexpr TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};
ORV_ENUM(TcxRotationAngle, ra0, raPlus90, raMinus90, ra180)

// A region handle, owned and deleted with the object.
class TcxRegion : public TObject {
  ORV_CLASS(TcxRegion, TObject)
 public:
  // An empty region.
  TcxRegion();
  explicit TcxRegion(win::HRGN ARegionHandle);
  explicit TcxRegion(const TRect& ABounds);
  TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  ~TcxRegion() override;

  win::HRGN GetHandle() const { return FHandle; }
  bool IsEmpty() const;
  TRect GetBoundsRect() const;
  // roSet copies ARegion here; the others combine in place. With
  // ADestroyRegion the other region object is freed afterwards.
  void Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion = true);
  bool IsEqual(TcxRegion* ARegion) const;
  bool IsEqual(win::HRGN ARegionHandle) const;
  void Offset(Integer DX, Integer DY);
  bool PtInRegion(const TPoint& P) const { return PtInRegion(P.X, P.Y); }
  bool PtInRegion(Integer X, Integer Y) const;
  bool RectInRegion(const TRect& R) const;
  bool RectInRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) const;

 private:
  win::HRGN FHandle;
};

// The background, colours and font of one kind of element.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clNone;
  TFont* Font = nullptr;
  TColor TextColor = clNone;
};

// Told when the font of a control it listens to changes. The controls hand
// their font to every listener they keep; the styles that fill defaults
// from that font listen. It lives here, below both the controls and the
// styles, so that either can be used without the other.
class IcxFontListener {
 public:
  virtual ~IcxFontListener() = default;
  virtual void DefaultFontChanged(TObject* Sender, TFont* AFont) = 0;
};

// A bitmap whose Assign leaves two empty bitmaps alone.
class TcxBitmap : public TBitmap {
  ORV_CLASS(TcxBitmap, TBitmap)
 public:
  TcxBitmap() = default;

 protected:
  void DoAssign(TPersistent* Source) override;
};

class TcxCanvas : public TObject {
  ORV_CLASS(TcxCanvas, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TCanvas*)>;
  explicit TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

  TCanvas* GetCanvas() const { return FCanvas; }

  // Forwarded to the platform canvas.
  TBrush* GetBrush() const { return FCanvas->GetBrush(); }
  void SetBrush(TBrush* Value) { FCanvas->SetBrush(Value); }
  TPen* GetPen() const { return FCanvas->GetPen(); }
  void SetPen(TPen* Value) { FCanvas->SetPen(Value); }
  TFont* GetFont() const { return FCanvas->GetFont(); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  TCopyMode GetCopyMode() const { return FCanvas->GetCopyMode(); }
  void SetCopyMode(TCopyMode Value) { FCanvas->SetCopyMode(Value); }
  win::HDC GetHandle() const { return FCanvas->GetHandle(); }
  TColor GetPixel(Integer X, Integer Y) const { return FCanvas->GetPixels(X, Y); }
  void SetPixel(Integer X, Integer Y, TColor AColor) { FCanvas->SetPixels(X, Y, AColor); }
  TPoint GetWindowOrg() const;
  void SetWindowOrg(const TPoint& P);
  TPoint GetViewportOrg() const;
  void SetViewportOrg(const TPoint& P);
  // Viewport origin minus window origin: where logical (0, 0) lands.
  TPoint GetDCOrigin() const;

  void CopyRect(const TRect& ADest, TCanvas* ACanvas, const TRect& ASource);
  void Draw(Integer X, Integer Y, TGraphic* AGraphic);
  void MoveTo(Integer X, Integer Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(Integer X, Integer Y) { FCanvas->LineTo(X, Y); }
  void Polygon(std::span<const TPoint> APoints) { FCanvas->Polygon(APoints); }
  void Polyline(std::span<const TPoint> APoints) { FCanvas->Polyline(APoints); }
  void ExcludeClipRect(const TRect& R);
  void IntersectClipRect(const TRect& R);
  bool RectVisible(const TRect& R);
  // Paths: what is drawn between BeginPath and EndPath becomes the DC's
  // path; PathToRegion hands out its interior (an empty region without a
  // closed path) and forgets the path.
  void BeginPath() { win::BeginPath(GetHandle()); }
  void EndPath() { win::EndPath(GetHandle()); }
  void WidenPath() { win::WidenPath(GetHandle()); }
  TcxRegion* PathToRegion(bool AConsiderOrigin = true);

  // Colours and parameters.
  // Changes the brush only for another colour.
  void SetBrushColor(TColor Value);
  void GetParams(TcxViewParams& AParams) const;
  void SetParams(const TcxViewParams& AParams);
  // Escapement in degrees; a turned font asks for outline output.
  void SetFontAngle(Integer Value);
  // The height of "Qq" in AFont.
  Integer FontHeight(TFont* AFont);

  // Frames and edges.
  void DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                        TcxBorders ABorders = cxBordersAll, Integer ABorderWidth = 1);
  void DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders = cxBordersAll);
  void FrameRect(const TRect& R, TColor AColor = clDefault, Integer ALineWidth = 1,
                 TcxBorders ABorders = cxBordersAll, bool AExcludeFrame = false);
  void DrawFocusRect(const TRect& R);
  void DrawDesignSelection(const TRect& R, Integer AWidth);
  void InvertFrame(const TRect& R, Integer ABorderWidth);
  void InvertRect(const TRect& R);

  // Fills.
  void FillRect(const TRect& R, TBitmap* ABitmap = nullptr, bool AExcludeRect = false);
  void FillRect(const TRect& R, const TcxViewParams& AParams, TcxBorders ABorders = {},
                TColor ABorderColor = clDefault, Integer ALineWidth = 1, bool AExcludeRect = false);
  void FillRegion(TcxRegion* ARegion, TColor AColor = clDefault);
  void FillRegion(win::HRGN ARegion, TColor AColor = clDefault);
  void FrameRegion(TcxRegion* ARegion, TColor AColor = clDefault, Integer ABorderWidth = 1,
                   Integer ABorderHeight = 1);
  void FrameRegion(win::HRGN ARegion, TColor AColor = clDefault, Integer ABorderWidth = 1,
                   Integer ABorderHeight = 1);
  void DrawRegion(TcxRegion* ARegion, TColor AContentColor = clDefault, TColor ABorderColor = clDefault,
                  Integer ABorderWidth = 1, Integer ABorderHeight = 1);
  void DrawRegion(win::HRGN ARegion, TColor AContentColor = clDefault, TColor ABorderColor = clDefault,
                  Integer ABorderWidth = 1, Integer ABorderHeight = 1);

  // Images.
  void DrawGlyph(Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled = true, TColor ABackgroundColor = clNone);
  void DrawImage(TCustomImageList* AImages, Integer X, Integer Y, Integer AIndex, bool AEnabled = true);
  // Blends ABitmap at (X, Y) with constant alpha onto the canvas content (or
  // onto ABackground).
  void TransparentDraw(Integer X, Integer Y, TBitmap* ABitmap, Byte AAlpha, TBitmap* ABackground = nullptr);
  void RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle, bool AFlipVertically = false);
  void FlipHorizontally(TBitmap* ABitmap);

  // Text.
  void DrawTexT(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled = true);
  TSize TextExtent(const AnsiString& AText);
  // Measures the text into R (moved by the alignment flags).
  void TextExtent(const AnsiString& AText, TRect& R, Integer AFlags);
  Integer TextHeight(const AnsiString& AText) { return TextExtent(AText).cy; }
  Integer TextWidth(const AnsiString& AText) { return TextExtent(AText).cx; }
  void AlignMultiLineTextRectVertically(TRect& R, const AnsiString& AText, TcxAlignmentVert AAlignmentVert,
                                        bool AWordBreak, bool AShowPrefix, bool AEnabled = true,
                                        bool ADontBreakChars = false);
  // The rectangle of each line the text breaks into.
  void GetTextStringsBounds(const AnsiString& AText, const TRect& R, Integer AFlags, bool AEnabled,
                            std::vector<TRect>& ABounds);

  // Shapes.
  void Pie(const TRect& R, const TPoint& AStartPoint, const TPoint& AEndPoint);
  // Degrees, counter-clockwise from the positive x axis.
  void Pie(const TRect& R, Integer AStartAngle, Integer ASweepAngle);

  // Clipping. Regions are in logical coordinates unless AConsiderOrigin is
  // false. Without a clip region the canvas answers 30000 x 30000.
  TcxRegion* GetClipRegion(bool AConsiderOrigin = true);
  void SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool AConsiderOrigin = true,
                     bool ADestroyRegion = true);
  bool RectFullyVisible(const TRect& R);

 protected:
  TCanvas* FCanvas;
};

// A canvas on the whole screen, its DC taken on demand.
class TcxScreenCanvas : public TcxCanvas {
  ORV_CLASS(TcxScreenCanvas, TcxCanvas)
 public:
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
};

// The process-wide screen canvas, made on first use.
TcxScreenCanvas* cxScreenCanvas();
// Frees it (the unit's shut-down step; also for tests).
void cxFreeScreenCanvas();

// ---------------------------------------------------------------------------
// Process-wide brushes, colours and drawing helpers.

class TWinControl;

ORV_EXCEPTION(EBrushCache, Exception)

// Solid brushes shared by colour and counted, so that painting many cells
// in few colours makes few brushes. Between BeginUpdate and EndUpdate a
// brush released to no users is kept, so that the next pass can take it
// again; EndUpdate frees the ones still unused.
class TcxBrushCache : public TObject {
  ORV_CLASS(TcxBrushCache, TObject)
 public:
  TcxBrushCache() = default;
  ~TcxBrushCache() override;

  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  // The cached brush of the colour (a new user of it). A system colour
  // answers its system brush, which is never counted; clNone, clDefault and
  // other values that are no colour answer null.
  TBrush* Add(TColor AColor);
  // Releases ABrush (when not null) and takes the brush of AColor.
  void SetBrushColor(TBrush*& ABrush, TColor AColor);
  // One user less; ABrush becomes null. Releasing a brush of an item that
  // has no users left (possible while the cache is locked) raises
  // EBrushCache "Release unused brush".
  void ReleaseBrush(TBrush*& ABrush);
  void Release(Integer AIndex);
  bool IndexOf(TColor AColor, Integer& AIndex) const;
  // Every brush takes its colour again (after a system palette change).
  void Recreate();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TColor GetColor(Integer AIndex) const { return FItems.at(AIndex).Color; }
  Integer GetRefCount(Integer AIndex) const { return FItems.at(AIndex).RefCount; }

 private:
  struct Item {
    TBrush* Brush;
    TColor Color;
    Integer RefCount;
  };
  Integer FindNearestItem(TColor AColor) const;
  void Delete(Integer AIndex);
  void Pack();

  std::vector<Item> FItems;  // sorted by colour
  Integer FDeletedCount = 0;
  Integer FLockCount = 0;
};

// The brush of a system colour index 0..30, or null for another index.
TBrush* cxSystemBrush(Integer AIndex);
// An 8 x 8 checkerboard pattern brush.
win::HBRUSH cxHalfToneBrush();
// The alpha-blend function bound by name at start-up, or null when its
// module or export is missing (every blend then takes the per-pixel path).
using TcxAlphaBlendFunc = win::BOOL (*)(win::HDC, int, int, int, int, win::HDC, int, int, int, int,
                                        win::BLENDFUNCTION);
TcxAlphaBlendFunc cxAlphaBlendFunc();
// Binds (or binds again) the alpha-blend function; tests use it after
// switching the module off or on.
void cxBindAlphaBlend();
// The unit's shut-down step: frees the process-wide drawing resources.
void cxGraphicsFinalize();

TColor GetRealColor(TColor AColor);
// Per channel: btnface * a% + highlight * b% + window * c%, clamped; the
// highlight colour itself when the button face is black or white.
TColor GetLightColor(ShortInt ABtnFaceColorPart, ShortInt AHighlightColorPart, ShortInt AWindowColorPart);
TColor GetLightBtnFaceColor();
TColor GetLightSelColor();
TColor GetLightDownedColor();
TColor GetLightDownedSelColor();
void ExtendRect(TRect& R, const TRect& AExtension);
void cxApplyViewParams(TcxCanvas* ACanvas, const TcxViewParams& AViewParams);
TBitmap* cxCreateBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat = pf24bit);
TBitmap* cxCreateBitmap(const TSize& ASize, TPixelFormat AFormat = pf24bit);
TBitmap* cxCreateTrueColorBitmap(Integer AWidth, Integer AHeight);
TBitmap* cxCreateTrueColorBitmap(const TSize& ASize);
win::HBITMAP cxCreateTrueColorBitmapHandle(Integer AWidth, Integer AHeight, Integer ABitCount = 32);
void cxCopyImage(TBitmap* ASource, TBitmap* ADest, const TPoint& ASrcOffset, const TPoint& ADestOffset,
                 const TRect& R);
void cxCopyImage(TCanvas* ASource, TCanvas* ADest, const TPoint& ASrcOffset, const TPoint& ADestOffset,
                 const TRect& R);
// Two arrow markers pointing at the ends of one side of R from outside.
void cxDrawArrows(TCanvas* ACanvas, const TRect& R, TcxBorder ASide, TColor AColor, TColor APenColor = clDefault);
void cxFillHalfToneRect(TCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2);
// Window origin := R's top-left; R's top-left receives the old origin.
void cxSetCanvasOrg(TCanvas* ACanvas, TRect& R);
TSize cxTextExtent(TFont* AFont, const AnsiString& S, Integer AFontSize = 0);
Integer cxTextHeight(TFont* AFont, const AnsiString& S = "Wg", Integer AFontSize = 0);
Integer cxTextWidth(TFont* AFont, const AnsiString& S, Integer AFontSize = 0);
Integer cxDrawText(win::HDC ADC, const AnsiString& AText, TRect& R, win::UINT AFormat, Integer ACharCount = -1);
TSize cxTextSize(win::HDC ADC, const AnsiString& AText);
// The rectangle the text needs in ARowCount lines: the narrowest width at
// which word-broken text fits that many lines of "Wg" height.
void cxGetTextRect(win::HDC ADC, const AnsiString& AText, Integer ARowCount, TRect& R, bool AForceHeight = false);
void cxGetTextRect(TFont* AFont, const AnsiString& AText, Integer ARowCount, TRect& R, bool AForceHeight = false);
bool cxGetWritingDirection(Byte ACharset, const AnsiString& AText);
TSize cxGetCursorSize();
// A solid colour blended into a 32-bit bitmap.
void cxAlphaBlend(TBitmap* ABitmap, const TRect& R, TColor AColor, Byte AAlpha = 200);
void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ABkBitmap, TBitmap* ASrcBitmap, Byte AAlpha = 200);
void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ASrcBitmap, const TRect& ADestRect, const TRect& ASrcRect,
                  Byte AAlpha = 255);
void cxAlphaBlend(win::HDC ADestDC, TBitmap* ASrcBitmap, const TRect& ADestRect, const TRect& ASrcRect,
                  Byte AAlpha = 255);
// One pixel (blue, green, red, alpha in memory order) over another.
void cxBlendFunction(const win::RGBQUAD& ASource, win::RGBQUAD& ADest, Byte AAlpha);
void cxSmoothResizeBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceFilter = false);
// The parent's background behind R (control coordinates), painted into
// ACanvas: the parent gets WM_ERASEBKGND and WM_PAINT with the canvas's DC,
// and with APaintParentWithChildren so does every visible windowed sibling
// that lies before the control in the parent's child order.
void cxDrawTransparentControlBackground(TWinControl* AControl, TCanvas* ACanvas, const TRect& R,
                                        bool APaintParentWithChildren = true);
// The themed background of the control's parent behind R; a double-buffered
// parent paints itself there instead (cxDrawTransparentControlBackground).
void cxDrawThemeParentBackground(TWinControl* AControl, TCanvas* ACanvas, const TRect& R);
