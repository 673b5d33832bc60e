#include "platform/forms/PictureSignature.h"

#include <cstring>

namespace {

bool StartsWith(const Byte* AData, std::size_t ASize, std::size_t AAt, const char* ASignature, std::size_t ALength) {
  return ASize >= AAt + ALength && std::memcmp(AData + AAt, ASignature, ALength) == 0;
}

}  // namespace

AnsiString PictureFormatOfData(const Byte* AData, std::size_t ASize) {
  if (!AData) return "";
  if (StartsWith(AData, ASize, 0, "BM", 2)) return "bmp";
  if (StartsWith(AData, ASize, 0, "\xFF\xD8\xFF", 3)) return "jpg";
  if (StartsWith(AData, ASize, 0, "\x00\x00\x01\x00", 4)) return "ico";
  if (StartsWith(AData, ASize, 0, "\xD7\xCD\xC6\x9A", 4)) return "wmf";
  // An enhanced metafile opens with its header record (type 1), which
  // carries " EMF" at offset 40.
  if (StartsWith(AData, ASize, 0, "\x01\x00\x00\x00", 4) && StartsWith(AData, ASize, 40, " EMF", 4)) return "emf";
  return "";
}
