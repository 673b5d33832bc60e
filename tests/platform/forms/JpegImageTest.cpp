// JPEG pictures: a bitmap compressed and read back draws its colours; bytes
// read are written back unchanged; damaged files are refused with the
// picture and the stream as they were, and never end the process.
#include "FormsTestUtil.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "platform/forms/Bitmap.h"
#include "platform/forms/JpegImage.h"
#include "platform/win/Clipboard.h"
#include "support/TempDir.h"

using namespace forms_test;

namespace {

// 16 x 16: red on the left, blue on the right.
TBitmap* Halves() {
  TBitmap* b = New<TBitmap>();
  b->SetSize(16, 16);
  b->GetCanvas()->GetBrush()->SetColor(clRed);
  b->GetCanvas()->FillRect(Rect(0, 0, 8, 16));
  b->GetCanvas()->GetBrush()->SetColor(clBlue);
  b->GetCanvas()->FillRect(Rect(8, 0, 16, 16));
  return b;
}

std::string Bytes(TGraphic* g) {
  TStringStream s("");
  g->SaveToStream(&s);
  return s.GetDataString();
}

// Each channel within a compression's reach of the colour.
::testing::AssertionResult Near(TColor actual, TColor expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
    if (std::abs(a - e) > 24)
      return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
  }
  return ::testing::AssertionSuccess();
}

std::string CompressedHalves(int quality) {
  TBitmap* b = Halves();
  TJPEGImage* j = New<TJPEGImage>();
  j->SetCompressionQuality(quality);
  j->Assign(b);
  std::string bytes = Bytes(j);
  j->Free();
  b->Free();
  return bytes;
}

// A 4 x 4 file of one colour in another colour space, written by libjpeg
// directly (with the Adobe marker it writes for CMYK).
std::string Encoded(J_COLOR_SPACE space, std::vector<unsigned char> pixel) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = 4;
  cinfo.image_height = 4;
  cinfo.input_components = static_cast<int>(pixel.size());
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row;
  for (int x = 0; x < 4; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  std::free(out);
  return bytes;
}

}  // namespace

TEST(JpegImage, GreyAndInkFilesDecodeToTheirColours) {
  LeakCheck leaks;
  const std::pair<std::string, TColor> files[] = {
      {Encoded(JCS_GRAYSCALE, {200}), TColor(0xC8C8C8)},
      // Adobe's inverted inks: full magenta and yellow, no cyan or black.
      {Encoded(JCS_CMYK, {255, 0, 0, 255}), clRed},
      {Encoded(JCS_CMYK, {255, 255, 255, 0}), clBlack},
  };
  for (const auto& [bytes, colour] : files) {
    TJPEGImage* j = New<TJPEGImage>();
    TStringStream in(bytes);
    j->LoadFromStream(&in);
    MemCanvas c(6, 6);
    c->Draw(1, 1, j);
    EXPECT_TRUE(Near(c.At(2, 2), colour));
    j->Free();
  }
}

TEST(JpegImage, BitmapCompressedAndReadBackDrawsItsColours) {
  LeakCheck leaks;
  TBitmap* b = Halves();
  TJPEGImage* j = New<TJPEGImage>();
  int changes = 0;
  j->OnChange = [&](TObject*) { ++changes; };
  j->Assign(b);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(j->GetWidth(), 16);
  EXPECT_FALSE(j->HasData()) << "compressed on demand";
  std::string bytes = Bytes(j);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8") << "a JPEG file";
  EXPECT_TRUE(j->HasData());

  TJPEGImage* k = New<TJPEGImage>();
  TStringStream in(bytes);
  k->LoadFromStream(&in);
  EXPECT_EQ(k->GetWidth(), 16);
  EXPECT_EQ(k->GetHeight(), 16);
  MemCanvas c(20, 20);
  c->Draw(2, 2, k);
  EXPECT_TRUE(Near(c.At(4, 10), clRed));
  EXPECT_TRUE(Near(c.At(15, 10), clBlue));
  EXPECT_EQ(c.At(19, 19), clWhite) << "nothing drawn outside the picture";

  // Stretched to twice its size.
  MemCanvas s(40, 40);
  s->StretchDraw(Rect(0, 0, 32, 32), k);
  EXPECT_TRUE(Near(s.At(4, 20), clRed));
  EXPECT_TRUE(Near(s.At(28, 20), clBlue));
  EXPECT_EQ(s.At(35, 35), clWhite);

  // Back into a bitmap: the decoded pixels.
  TBitmap* back = New<TBitmap>();
  back->Assign(k);
  EXPECT_EQ(back->GetWidth(), 16);
  EXPECT_TRUE(Near(back->GetCanvas()->GetPixels(1, 1), clRed));
  back->Free();
  k->Free();
  j->Free();
  b->Free();
}

TEST(JpegImage, BytesReadAreWrittenBackUnchanged) {
  LeakCheck leaks;
  TempDir dir;
  // Low quality, so that compressing again would give other bytes.
  std::string original = CompressedHalves(20);
  std::string file = dir.Write("halves.jpg", original);
  TPicture* p = New<TPicture>();
  p->LoadFromFile(file);
  ASSERT_NE(dynamic_cast<TJPEGImage*>(p->GetGraphic()), nullptr) << "chosen by the extension";
  auto* j = static_cast<TJPEGImage*>(p->GetGraphic());
  j->SetCompressionQuality(100);
  p->SaveToFile(dir / "copy.jpeg");
  EXPECT_EQ(dir.Read("copy.jpeg"), original);

  // A copy keeps the bytes too; compressing anew replaces them.
  TJPEGImage* copy = New<TJPEGImage>();
  copy->Assign(j);
  EXPECT_EQ(Bytes(copy), original);
  copy->Compress();
  EXPECT_NE(Bytes(copy), original);
  EXPECT_GT(Bytes(copy).size(), original.size()) << "quality 100 makes a larger file";
  copy->Free();
  p->Free();
}

TEST(JpegImage, QualityTradesSizeForFidelity) {
  LeakCheck leaks;
  EXPECT_LT(CompressedHalves(5).size(), CompressedHalves(95).size());
  TJPEGImage* j = New<TJPEGImage>();
  j->SetCompressionQuality(0);
  EXPECT_EQ(j->GetCompressionQuality(), 1);
  j->SetCompressionQuality(500);
  EXPECT_EQ(j->GetCompressionQuality(), 100);
  j->Free();
}

TEST(JpegImage, DamagedFilesAreRefusedAndLeaveThePictureAsItWas) {
  LeakCheck leaks;
  std::string good = CompressedHalves(75);
  TJPEGImage* j = New<TJPEGImage>();
  TStringStream first(good);
  j->LoadFromStream(&first);
  int changes = 0;
  j->OnChange = [&](TObject*) { ++changes; };

  // A huge size in the frame header: 0xFFFF x 0xFFFF.
  std::string huge = good;
  std::size_t sof = huge.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = '\xFF';

  // The compressed data stops after a few bytes, the file still ends
  // properly.
  std::size_t sos = good.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  std::size_t scan = sos + 2 + (std::size_t(static_cast<unsigned char>(good[sos + 2])) << 8 |
                                static_cast<unsigned char>(good[sos + 3]));
  std::string scanCut = good.substr(0, scan + 4) + "\xFF\xD9";

  const std::pair<const char*, std::string> damaged[] = {
      {"cut in the middle", good.substr(0, good.size() / 2)},
      {"scan cut short, end marker kept", scanCut},
      {"header only", good.substr(0, 20)},
      {"not a JPEG file", std::string("GIF89a and some more bytes")},
      {"start marker alone", std::string("\xFF\xD8", 2)},
      {"too large", huge},
  };
  for (const auto& [what, bytes] : damaged) {
    TStringStream in("xy" + bytes);
    in.SetPosition(2);
    EXPECT_THROW(j->LoadFromStream(&in), EInvalidGraphic) << what;
    EXPECT_EQ(in.GetPosition(), 2) << what << ": the stream is put back";
    EXPECT_EQ(j->GetWidth(), 16) << what;
    EXPECT_EQ(Bytes(j), good) << what;
  }
  EXPECT_EQ(changes, 0);

  // An empty rest of the stream gives an empty picture.
  TStringStream empty("");
  j->LoadFromStream(&empty);
  EXPECT_TRUE(j->Empty());
  EXPECT_EQ(Bytes(j), "");
  j->Free();
}

TEST(JpegImage, ClipboardBitmapsBecomeJpegPictures) {
  LeakCheck leaks;
  TBitmap* b = Halves();
  TJPEGImage* j = New<TJPEGImage>();
  EXPECT_THROW(j->LoadFromClipboardFormat(win::CF_TEXT, nullptr, nullptr), EInvalidGraphic);
  j->LoadFromClipboardFormat(win::CF_BITMAP, reinterpret_cast<win::HANDLE>(b->GetHandle()), nullptr);
  EXPECT_EQ(j->GetWidth(), 16);
  Word format = 0;
  win::HANDLE data = nullptr;
  win::HPALETTE palette = nullptr;
  j->SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, win::CF_BITMAP);
  TBitmap* out = New<TBitmap>();
  out->SetHandle(reinterpret_cast<win::HBITMAP>(data));
  EXPECT_EQ(out->GetCanvas()->GetPixels(0, 0), clRed) << "not yet compressed: the pixels as given";
  out->Free();
  j->Free();
  b->Free();
}
