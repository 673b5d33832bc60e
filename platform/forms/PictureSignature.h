// The picture format a file's first bytes announce, whatever the file is
// called: a picture file is read by what it is, not by its name.
#pragma once

#include <cstddef>

#include "platform/rtl/Types.h"

// The extension the format is registered under ("bmp", "jpg", "ico",
// "wmf" for a placeable metafile, "emf"), or empty when the bytes begin
// none of the formats this tier reads. Only the signature is looked at:
// whether the rest holds a picture is the reader's to say.
AnsiString PictureFormatOfData(const Byte* AData, std::size_t ASize);
