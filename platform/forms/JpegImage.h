// The JPEG graphic: a compressed picture kept as its file's bytes, decoded
// into a bitmap for drawing.
//
// A picture read from a stream keeps the bytes it was read from and
// writes them back unchanged, so loading and saving never costs quality.
// A picture made from a bitmap (Assign) has no bytes until it is
// compressed, at CompressionQuality, which happens on the first save at
// the latest. Every read decodes the whole picture at once, so damaged
// data is refused right away with EInvalidGraphic and the graphic stays as
// it was; nothing libjpeg reports ever ends the process.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/forms/Graphic.h"

// 1 (smallest file) to 100 (best picture).
using TJPEGQualityRange = Integer;

class TJPEGImage : public TGraphic {
  ORV_CLASS(TJPEGImage, TGraphic)
 public:
  TJPEGImage() = default;
  ~TJPEGImage() override;

  // Into a bitmap: the decoded pixels.
  void AssignTo(TPersistent* Dest) override;

  // Reads a JPEG file from the stream's position to its end; an empty rest
  // gives an empty picture. A refused read puts the position back.
  void LoadFromStream(TStream* Stream) override;
  // The bytes read, or the compressed pixels (compressing first when
  // needed); nothing for an empty picture.
  void SaveToStream(TStream* Stream) override;
  // CF_BITMAP, taken as a bitmap assigned; anything else raises
  // EInvalidGraphic.
  void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) override;
  // CF_BITMAP with a copy of the decoded pixels.
  void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  // The size of a compressed picture is its own; these do nothing.
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}

  // Used by the next compression; values outside 1..100 are clamped.
  TJPEGQualityRange GetCompressionQuality() const { return FCompressionQuality; }
  void SetCompressionQuality(TJPEGQualityRange Value);

  // Makes the JPEG bytes from the pixels at CompressionQuality, replacing
  // any bytes the picture had. Nothing for an empty picture.
  void Compress();
  // True when the picture has bytes that a save writes as they are.
  bool HasData() const { return !FData.empty(); }

 protected:
  // From another JPEG picture (its bytes and pixels), from a bitmap (its
  // pixels, compressed later), or nil (empty). Other graphics are drawn
  // onto a bitmap first.
  void DoAssign(TPersistent* Source) override;

  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  // Decodes bytes into a new bitmap (EInvalidGraphic when they are bad).
  static TBitmap* Decode(const std::uint8_t* Data, std::size_t Size);
  // Takes over the bytes and the bitmap, freeing the old ones.
  void Replace(std::vector<std::uint8_t> Data, TBitmap* Bitmap);

  std::vector<std::uint8_t> FData;
  TBitmap* FBitmap = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TJPEGQualityRange FCompressionQuality = 90;
};
