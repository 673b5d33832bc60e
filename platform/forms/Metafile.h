// The metafile graphic: a recorded drawing, kept as its file's bytes.
//
// Enhanced metafiles (.emf) and placeable metafiles (.wmf, the older
// record format behind a header giving its size) are read and written
// byte for byte; only a new size rewrites the size in the header. The
// size comes from the header: the frame of an enhanced metafile (in
// hundredths of a millimetre), the bounds and units per inch of a
// placeable one, both at 96 pixels per inch.
//
// Drawing plays the records back onto the canvas, mapped from the
// picture's bounds into the rectangle asked for (MetafilePlayer.h: shapes,
// text, bitmaps, regions, clips and the mapping records).
//
// On the clipboard, an enhanced metafile is a global block holding its
// bytes (CF_ENHMETAFILE); a CF_METAFILEPICT block holds the METAFILEPICT
// structure with hMF null, followed directly by the metafile's records, so
// one block carries all of it and the clipboard frees it whole.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/forms/Graphic.h"
#include "platform/win/Clipboard.h"

class TMetafile : public TGraphic {
  ORV_CLASS(TMetafile, TGraphic)
 public:
  TMetafile() = default;

  // Reads an enhanced or placeable metafile from the stream's position, as
  // long as its header says (the rest of the stream stays); an empty rest
  // gives an empty metafile. A refused read puts the position back.
  void LoadFromStream(TStream* Stream) override;
  // The bytes as read (nothing for an empty metafile).
  void SaveToStream(TStream* Stream) override;
  // CF_METAFILEPICT and CF_ENHMETAFILE blocks as described above; other
  // formats and bad blocks raise EInvalidGraphic.
  void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) override;
  // CF_ENHMETAFILE for enhanced metafiles, CF_METAFILEPICT for the others;
  // nothing for an empty metafile.
  void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) override;

  bool Empty() const override { return FData.empty(); }
  Integer GetWidth() const override;
  Integer GetHeight() const override;
  // Rewrites the header's size (an empty metafile ignores these).
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  // True for an enhanced metafile.
  bool GetEnhanced() const { return FEnhanced; }

 protected:
  // From another metafile (its bytes) or nil (empty); other sources
  // refuse with EConvertError.
  void DoAssign(TPersistent* Source) override;

  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void SetSize(Integer AWidth, Integer AHeight);

  std::vector<std::uint8_t> FData;
  bool FEnhanced = false;
};
