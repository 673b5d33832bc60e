// The icon graphic: an ICO file's picture as an icon handle, always drawn
// through its mask.
//
// An icon read from a stream keeps the file's bytes (every image in it)
// and writes them back unchanged; the image shown is the one nearest to
// 32 x 32, the deepest of equals. An icon that took over a handle writes
// a file of that one image at 32 bits. Reading decodes the shown image at
// once, so the icon's handle and size exist from then on (HandleNeeded
// is kept for callers that ask for them first). Icons cannot be pasted
// from the clipboard or copied to it, and their size is their own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/forms/Graphic.h"

class TIcon : public TGraphic {
  ORV_CLASS(TIcon, TGraphic)
 public:
  TIcon();
  ~TIcon() override;

  // Reads an ICO file from the stream's position to its end; an empty rest
  // gives an empty icon. A refused read puts the position back.
  void LoadFromStream(TStream* Stream) override;
  // Nothing for an empty icon.
  void SaveToStream(TStream* Stream) override;
  // Both raise EInvalidGraphic: the clipboard holds no icons.
  void LoadFromClipboardFormat(Word AFormat, win::HANDLE AData, win::HPALETTE APalette) override;
  void SaveToClipboardFormat(Word& AFormat, win::HANDLE& AData, win::HPALETTE& APalette) override;

  bool Empty() const override { return FHandle == nullptr; }
  Integer GetWidth() const override { return FWidth; }
  Integer GetHeight() const override { return FHeight; }
  // An icon's size cannot change: another size raises EInvalidGraphic.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;

  // The icon handle, owned by the icon (null for an empty icon).
  win::HICON GetHandle();
  // Takes the handle over (the icon destroys it later); its image is
  // what the icon saves from then on. An invalid handle raises
  // EInvalidGraphic.
  void SetHandle(win::HICON Value);
  // Hands the handle to the caller, who destroys it; the icon is empty.
  win::HICON ReleaseHandle();
  // Makes sure the handle exists, so Width and Height are known.
  void HandleNeeded() {}

 protected:
  // From another icon (its bytes and a copy of its handle) or nil (empty);
  // other sources refuse with EConvertError.
  void DoAssign(TPersistent* Source) override;

  // Always through the mask, whatever Transparent says.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void Replace(std::vector<std::uint8_t> Data, win::HICON Handle);
  // A one-image ICO file of the handle's picture at 32 bits.
  std::vector<std::uint8_t> Encode() const;

  std::vector<std::uint8_t> FData;  // the file read, empty for a handle taken over
  win::HICON FHandle = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
};
