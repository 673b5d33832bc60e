// The bitmap graphic: pixels in a drawing-tier bitmap with a canvas on
// them, read and written as BMP.
//
// Storage by pixel format: pfDevice and pf32bit are 32-bit DIB sections
// (B, G, R, A bytes), pf24bit a 24-bit DIB section (B, G, R), pf1bit a
// monochrome bitmap (one bit per pixel, most significant bit first,
// 1 = white). Rows are top-down, so ScanLine[y] is row y of the picture
// as it is drawn. A 0 x 0 bitmap has no handle at all and is safe
// everywhere: it draws nothing, its canvas draws into nothing, and reading
// it gives no pixels.
#pragma once

#include "platform/forms/Graphic.h"

ORV_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
ORV_ENUM(TTransparentMode, tmAuto, tmFixed)

class TBitmapCanvas;

class TBitmap : public TGraphic {
  ORV_CLASS(TBitmap, TGraphic)
 public:
  TBitmap() = default;
  ~TBitmap() override;

  // A stream holding a BMP file from its position; an empty stream gives
  // an empty bitmap. The position ends after the file.
  void LoadFromStream(TStream* Stream) override;
  // Writes a BMP file at the bitmap's depth (nothing for an empty bitmap).
  void SaveToStream(TStream* Stream) override;
  // CF_BITMAP (a bitmap handle, copied; the clipboard keeps its own);
  // anything else raises EInvalidGraphic.
  void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) override;
  // CF_BITMAP with a copy of the pixels.
  void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) override;
  // An embedded "BITMAP" resource by name, or by id ("#id"); a missing one
  // raises EResNotFound.
  void LoadFromResourceName(win::HINSTANCE Instance, const AnsiString& ResName);
  void LoadFromResourceID(win::HINSTANCE Instance, Integer ResID);

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  Integer GetWidth() const override { return FWidth; }
  // A new size keeps the pixels that still fit; new ones are white.
  void SetWidth(Integer Value) override { SetSize(Value, FHeight); }
  Integer GetHeight() const override { return FHeight; }
  void SetHeight(Integer Value) override { SetSize(FWidth, Value); }
  void SetSize(Integer AWidth, Integer AHeight);

  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  // pfDevice, pf1bit, pf24bit and pf32bit; the pixels are converted.
  // Other formats raise EInvalidGraphic.
  void SetPixelFormat(TPixelFormat Value);
  bool GetMonochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);

  // The canvas drawing on the bitmap; drawing on it changes the bitmap.
  TCanvas* GetCanvas();
  // Row y of the pixels in the storage format above; drawing done through
  // the canvas is visible there and the other way round. Whoever writes
  // pixels here sets Modified to let listeners know. An index outside the
  // rows (any index of an empty bitmap) raises EInvalidGraphic.
  void* GetScanLine(Integer Row);

  // The bitmap's drawing handle (null for an empty bitmap). Setting one
  // takes it over; its size and depth become the bitmap's. A
  // device-dependent bitmap of 4, 8, 16 or 24 bits, which no DC holds, is
  // copied into a new handle of the bitmap's own (24 bits stay 24, the
  // others become pfDevice) and the one handed over is deleted.
  win::HBITMAP GetHandle();
  void SetHandle(win::HBITMAP Value);
  // A monochrome mask: white (1) where the pixel has the transparent
  // colour, black elsewhere. Owned by the bitmap; null when empty.
  win::HBITMAP GetMaskHandle();

  // The colour drawn as see-through when Transparent: in tmAuto the pixel
  // at the bottom-left corner (white for a monochrome bitmap, clNone for an
  // empty one), in tmFixed the colour given.
  TColor GetTransparentColor();
  // clDefault selects tmAuto; any other colour tmFixed.
  void SetTransparentColor(TColor Value);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  // tmFixed keeps the colour the bitmap has now.
  void SetTransparentMode(TTransparentMode Value);

  // Turns the bitmap into its mask: white where the pixel is Color, black
  // elsewhere (monochrome).
  void Mask(TColor TransparentColor);
  // Kept for callers that save memory this way; the pixels stay as they
  // are.
  void Dormant() {}
  void FreeImage() {}

 protected:
  // From another bitmap (a copy of its pixels and settings), from any
  // other graphic (drawn onto a bitmap of its size), or nil (empty).
  void DoAssign(TPersistent* Source) override;

  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void Changed(TObject* Sender) override;
  // The "Data" value: the BMP file's size as 32 bits, then the file.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  friend class TBitmapCanvas;

  // Puts a new handle (owned) in place of the current one; the canvas lets
  // the old one go first.
  void Replace(win::HBITMAP Handle, Integer Width, Integer Height, TPixelFormat Format);
  // Makes an empty image of the format, white.
  static win::HBITMAP NewImage(Integer Width, Integer Height, TPixelFormat Format);
  void LoadBytes(const void* Data, std::size_t Size);
  void CanvasChanging(TObject* Sender);
  void CanvasChanged(TObject* Sender);
  void FreeContext();
  void ReleaseMask();

  win::HBITMAP FHandle = nullptr;
  win::HBITMAP FMaskHandle = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  TCanvas* FCanvas = nullptr;
};
