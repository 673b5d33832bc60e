// The clipboard as the class library sees it: formats asked for by
// number, pictures put there and taken back through the graphic classes'
// clipboard formats.
//
// CF_PICTURE is a registered format that is never placed on the clipboard
// itself: it stands for "a picture any registered graphic class can take",
// so HasFormat(CF_PICTURE) answers whether one of those formats (a bitmap
// or a metafile today) is there.
#pragma once

#include "platform/forms/Graphic.h"

// The number of the picture format (registered on first use).
Word CF_PICTURE();

class TClipboard : public TPersistent {
  ORV_CLASS(TClipboard, TPersistent)
 public:
  TClipboard() = default;

  // Whether data of AFormat can be read now (CF_PICTURE: see above).
  bool HasFormat(Word AFormat);
  // Into a picture: the first format on the clipboard that a registered
  // graphic class takes. Into a graphic: the first of its own formats that
  // it reads. EInvalidGraphic when there is none; the destination then
  // stays as it was.
  void AssignTo(TPersistent* Dest) override;
  void Clear();

 protected:
  // A picture or a graphic onto the clipboard, in its class's own format,
  // replacing what was there; an empty one only empties the clipboard.
  // Other sources ask themselves (AssignTo).
  void DoAssign(TPersistent* Source) override;
};

// The process's clipboard object.
TClipboard* Clipboard();
