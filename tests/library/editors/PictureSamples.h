// The picture samples of the image and blob editor stories: the readers'
// fuzz corpus files (a BMP of 8 and of 24 bits, an icon, a placeable and
// an enhanced metafile, a baseline JPEG), read as the bytes of an edit
// value, and pictures compared by what they draw.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "library/editors/cxImage.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Icon.h"
#include "platform/forms/JpegImage.h"
#include "platform/forms/Metafile.h"
#include "platform/rtl/Owned.h"

namespace picture_test {

struct Sample {
  const char* Name;
  TGraphicClass Class;
  std::string Bytes;
};

inline std::string ReadFile(const std::string& ARelative) {
  const char* root = std::getenv("ORVANTA_SOURCE_DIR");
  std::ifstream in(std::string(root ? root : ".") + "/" + ARelative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::vector<Sample> Samples() {
  std::vector<Sample> samples = {
      {"8-bit BMP", TBitmap::StaticClass(), ReadFile("fuzz/corpus/bmp_reader/rgb8.bmp")},
      {"24-bit BMP", TBitmap::StaticClass(), ReadFile("fuzz/corpus/bmp_reader/rgb24.bmp")},
      {"icon", TIcon::StaticClass(), ReadFile("fuzz/corpus/icon_reader/rgb24.ico")},
      {"placeable WMF", TMetafile::StaticClass(), ReadFile("fuzz/corpus/metafile_reader/shapes.wmf")},
      {"EMF", TMetafile::StaticClass(), ReadFile("fuzz/corpus/metafile_reader/shapes.emf")},
      {"baseline JPEG", TJPEGImage::StaticClass(), ReadFile("fuzz/corpus/jpeg_reader/colour16.jpg")},
  };
  for (const Sample& s : samples) EXPECT_GT(s.Bytes.size(), 8u) << s.Name << ": sample missing";
  return samples;
}

// The 8-byte header a database puts before a picture.
inline std::string WithHeader(const std::string& ABytes, std::uint32_t ASize) {
  std::string header = {1, 0, 0, 1};
  for (int i = 0; i < 4; ++i) header += static_cast<char>((ASize >> (8 * i)) & 0xFF);
  return header + ABytes;
}

// What a picture draws at its own size on white, row by row.
inline std::vector<TColor> Drawn(TPicture* APicture) {
  std::vector<TColor> pixels;
  if (IsPictureEmpty(APicture)) return pixels;
  TOwned<TBitmap> target(New<TBitmap>());
  target->SetSize(APicture->GetWidth(), APicture->GetHeight());
  target->GetCanvas()->GetBrush()->SetColor(clWhite);
  target->GetCanvas()->FillRect(TRect(0, 0, APicture->GetWidth(), APicture->GetHeight()));
  target->GetCanvas()->Draw(0, 0, APicture->GetGraphic());
  for (Integer y = 0; y < APicture->GetHeight(); ++y)
    for (Integer x = 0; x < APicture->GetWidth(); ++x) pixels.push_back(target->GetCanvas()->GetPixels(x, y));
  return pixels;
}

inline std::string Saved(TPicture* APicture) {
  AnsiString bytes;
  SavePicture(APicture, bytes);
  return bytes;
}

}  // namespace picture_test
