// The canvas: drawing on a device context with a font, a pen and a brush
// of the class library. The tools are selected into the DC only when a
// drawing call needs them (RequiredState) and again after they change, so
// a canvas can be pointed at another DC at any time (SetHandle) and code
// that draws on Handle directly finds every tool in place.
//
// The base canvas owns no DC: it draws on the handle it is given. Canvases
// that make their own DC (a bitmap's, a control's) override CreateHandle.
#pragma once

#include <initializer_list>
#include <mutex>
#include <span>

#include "platform/forms/Graphics.h"

class TGraphic;
class TBitmap;

ORV_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = Set<TCanvasStates>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

// Copy modes are raster operations of the block transfers.
using TCopyMode = Integer;
constexpr TCopyMode cmBlackness = static_cast<TCopyMode>(win::BLACKNESS);
constexpr TCopyMode cmDstInvert = static_cast<TCopyMode>(win::DSTINVERT);
constexpr TCopyMode cmMergeCopy = static_cast<TCopyMode>(win::MERGECOPY);
constexpr TCopyMode cmMergePaint = static_cast<TCopyMode>(win::MERGEPAINT);
constexpr TCopyMode cmNotSrcCopy = static_cast<TCopyMode>(win::NOTSRCCOPY);
constexpr TCopyMode cmNotSrcErase = static_cast<TCopyMode>(win::NOTSRCERASE);
constexpr TCopyMode cmPatCopy = static_cast<TCopyMode>(win::PATCOPY);
constexpr TCopyMode cmPatInvert = static_cast<TCopyMode>(win::PATINVERT);
constexpr TCopyMode cmPatPaint = static_cast<TCopyMode>(win::PATPAINT);
constexpr TCopyMode cmSrcAnd = static_cast<TCopyMode>(win::SRCAND);
constexpr TCopyMode cmSrcCopy = static_cast<TCopyMode>(win::SRCCOPY);
constexpr TCopyMode cmSrcErase = static_cast<TCopyMode>(win::SRCERASE);
constexpr TCopyMode cmSrcInvert = static_cast<TCopyMode>(win::SRCINVERT);
constexpr TCopyMode cmSrcPaint = static_cast<TCopyMode>(win::SRCPAINT);
constexpr TCopyMode cmWhiteness = static_cast<TCopyMode>(win::WHITENESS);

class TCanvas : public TPersistent {
  ORV_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // ---- Drawing ----
  // Every call announces itself through OnChanging before and OnChange
  // after it draws.
  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);
  void Polyline(std::span<const TPoint> Points);
  void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
  void Polygon(std::span<const TPoint> Points);
  void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  // Fills with the brush; a clear brush (bsClear, clNone, clDefault)
  // fills nothing.
  void FillRect(const TRect& Rect);
  // A one-pixel frame in the brush.
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);
  // Copies (stretching) a part of another canvas with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies (stretching) a part of a bitmap, its pixels of Color replaced by
  // the brush; with a clear brush they let the destination show.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  // The graphic at its own size, or stretched into Rect. Nothing for a nil
  // or empty graphic.
  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);

  // ---- Text ----
  // Draws at (X, Y) and moves the pen position past the text.
  void TextOut(Integer X, Integer Y, const AnsiString& Text);
  // Draws at (X, Y) clipped to Rect, filling Rect with the brush first
  // unless the brush is clear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const AnsiString& Text);
  TSize TextExtent(const AnsiString& Text);
  Integer TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }

  // ---- State ----
  // The DC with the font, pen and brush selected (made on demand; a canvas
  // that cannot make one raises EInvalidOperation).
  win::HDC GetHandle();
  // Points the canvas at another DC (or none); the tools are taken out of
  // the previous one.
  void SetHandle(win::HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* GetFont() const { return FFont; }
  TPen* GetPen() const { return FPen; }
  TBrush* GetBrush() const { return FBrush; }
  // Copy the given tool's settings (the canvas keeps its own objects).
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TPoint GetPenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  // The colour at a point; -1 (CLR_INVALID) outside the DC or its clip.
  TColor GetPixels(Integer X, Integer Y);
  void SetPixels(Integer X, Integer Y, TColor Value);
  // The clip box in logical coordinates.
  TRect GetClipRect();

  // Takes the tools out of the DC so they are selected again on the next
  // drawing call.
  void Refresh();

  // Serialises drawing from several threads; counted, re-entrant.
  void Lock();
  void Unlock();
  bool TryLock();
  Integer GetLockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  // Makes a DC when the canvas has none (and calls SetHandle with it). The
  // base canvas has no way to make one.
  virtual void CreateHandle() {}
  void RequiredState(TCanvasState ReqState);
  TCanvasState GetState() const { return FState; }

 private:
  friend class TGraphic;
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void DeselectHandles();
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);

  win::HDC FHandle = nullptr;
  TCanvasState FState;
  TFont* FFont;
  TPen* FPen;
  TBrush* FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  std::recursive_mutex FLock;
  Integer FLockCount = 0;
};
