// Bitmaps read and written as DIBs: every destination depth read from a
// bitmap that is still selected, scan lines off either end, run-length
// data written into a bitmap, and 4-bit device-dependent bitmaps.
#include "GdiTestUtil.h"

#include <cstring>

using namespace win;
using namespace gdi_test;

namespace {

// A header with room for a full 256-entry colour table after it.
struct Info {
  BITMAPINFOHEADER h;
  RGBQUAD colors[256];
  BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info Header(int w, int h, int bpp, DWORD compression = BI_RGB) {
  Info i{};
  i.h = {sizeof(BITMAPINFOHEADER), w, h, 1, WORD(bpp), compression, 0, 0, 0, 0, 0};
  return i;
}

// A 3 x 2 picture: red, green, blue over white, black, grey.
void PaintSample(Canvas& c) {
  const COLORREF px[2][3] = {{kRed, RGB(0, 255, 0), kBlue}, {kWhite, kBlack, RGB(128, 128, 128)}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(c.Dc, x, y, px[y][x]);
}

}  // namespace

TEST(DibBits, EveryDepthReadsFromABitmapStillSelected) {
  Canvas c(3, 2);
  PaintSample(c);
  // Top-down and bottom-up 24 bits: B, G, R bytes, rows padded to four bytes.
  std::uint8_t b24[2][12] = {};
  Info i = Header(3, -2, 24);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b24, i.Get(), DIB_RGB_COLORS), 2);
  const std::uint8_t top24[9] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
  EXPECT_EQ(std::memcmp(b24[0], top24, 9), 0);
  EXPECT_EQ(b24[1][3 * 2 + 0], 128);
  EXPECT_EQ(i.h.biSizeImage, 24u);
  i = Header(3, 2, 24);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b24, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::memcmp(b24[1], top24, 9), 0) << "bottom-up: the top row comes last";

  // 16 bits are 5-5-5.
  std::uint16_t b16[2][4] = {};
  i = Header(3, -2, 16);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b16, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(b16[0][0], 0x7C00);
  EXPECT_EQ(b16[0][1], 0x03E0);
  EXPECT_EQ(b16[0][2], 0x001F);
  EXPECT_EQ(b16[1][0], 0x7FFF);
  EXPECT_EQ(b16[1][2], 0x4210);

  // 32 bits, top-down.
  std::uint32_t b32[2][3] = {};
  i = Header(3, -2, 32);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b32, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(b32[0][0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(b32[1][2] & 0xFFFFFF, 0x808080u);

  // 4 bits: the sixteen standard colours and their indices.
  std::uint8_t b4[2][4] = {};
  i = Header(3, -2, 4);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b4, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(b4[0][0], 0x9A) << "red 9, green 10";
  EXPECT_EQ(b4[0][1] >> 4, 12) << "blue";
  EXPECT_EQ(b4[1][0], 0xF0) << "white 15, black 0";
  EXPECT_EQ(b4[1][1] >> 4, 8) << "grey";
  EXPECT_EQ(i.colors[7].rgbRed, 192);
  EXPECT_EQ(i.colors[8].rgbRed, 128);

  // 1 bit: the nearer of black and white, with that table.
  std::uint8_t b1[2][4] = {};
  i = Header(3, -2, 1);
  ASSERT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b1, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(b1[0][0] & 0xE0, 0x40) << "only green is light";
  EXPECT_EQ(b1[1][0] & 0xE0, 0xA0);
  EXPECT_EQ(i.colors[1].rgbGreen, 255);

  // An 8-bit table cannot be made up for a colour bitmap: a clean failure.
  i = Header(3, -2, 8);
  SetLastError(0);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, b32, i.Get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(DibBits, ScanLinesOffTheBitmapAreClippedAndCounted) {
  Canvas c(2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) SetPixel(c.Dc, x, y, RGB(0, 0, 10 * (y + 1)));
  // A bottom-up destination twice as tall: the bitmap covers its top three
  // rows, which are scan lines 3 to 5.
  std::uint32_t px[6][2];
  std::memset(px, 0xEE, sizeof px);
  Info i = Header(2, 6, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 6, px, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(px[0][0], 0xEEEEEEEEu) << "scan lines below the bitmap stay untouched";
  EXPECT_EQ(px[3][0] & 0xFF, 30u);
  EXPECT_EQ(px[5][1] & 0xFF, 10u);
  // A top-down one: its first three rows.
  std::memset(px, 0xEE, sizeof px);
  i = Header(2, -6, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 1, 5, px, i.Get(), DIB_RGB_COLORS), 2) << "start 1: rows 1 and 2";
  EXPECT_EQ(px[0][0] & 0xFF, 20u);
  EXPECT_EQ(px[1][0] & 0xFF, 30u);
  EXPECT_EQ(px[2][0], 0xEEEEEEEEu);
  // A start past the end copies nothing.
  i = Header(2, -3, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 7, 2, px, i.Get(), DIB_RGB_COLORS), 0);
  // No lines: the colour table only, answered with 1.
  i = Header(2, 3, 1);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 0, px, i.Get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(i.colors[1].rgbBlue, 255);
  // No bits, no depth: the bitmap's own format.
  i = Info{};
  i.h.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(c.Dc, c.Bmp, 0, 3, nullptr, i.Get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(i.h.biWidth, 2);
  EXPECT_EQ(i.h.biHeight, 3);
  EXPECT_EQ(i.h.biBitCount, 32);
}

TEST(DibBits, RunLengthDataWritesIntoABitmap) {
  Canvas c(6, 3, kWhite);
  Info i = Header(6, 3, 8, BI_RLE8);
  i.colors[0] = {0, 0, 0, 0};      // black
  i.colors[1] = {0, 0, 255, 0};    // red
  i.colors[2] = {255, 0, 0, 0};    // blue
  i.colors[3] = {0, 255, 0, 0};    // green
  i.h.biClrUsed = 4;
  const std::uint8_t rle[] = {
      3, 1, 0, 3, 2, 3, 2, 0,  // bottom: three red, then 2 3 2 as they are (padded)
      0, 0,                        // end of line
      0, 2, 4, 1,                  // jump four right and one up: to the top row
      2, 3,                        // two green
      0, 1,                        // end of bitmap
  };
  i.h.biSizeImage = sizeof rle;
  ASSERT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, rle, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(c.Picture(kRed), (std::vector<std::string>{"......", "......", "###..."}));
  EXPECT_EQ(c.At(3, 2), kBlue);
  EXPECT_EQ(c.At(4, 2), RGB(0, 255, 0));
  EXPECT_EQ(c.Picture(RGB(0, 255, 0)), (std::vector<std::string>{"....##", "......", "....#."}));
  EXPECT_EQ(c.At(0, 1), kBlack) << "what the data skips is index 0";

  // Data cut inside an absolute run, or no size, fails cleanly.
  const std::uint8_t cut[] = {0, 5, 1, 2};
  i.h.biSizeImage = sizeof cut;
  SetLastError(0);
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, cut, i.Get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  i.h.biSizeImage = 0;
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, rle, i.Get(), DIB_RGB_COLORS), 0);
  // Runs past the right edge and lines past the top are dropped.
  const std::uint8_t wide[] = {255, 2, 0, 0, 0, 0, 0, 0, 0, 0, 9, 1};
  i.h.biSizeImage = sizeof wide;
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, wide, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(c.Picture(kBlue), (std::vector<std::string>{"......", "......", "######"}));
}

TEST(DibBits, FourBitBitmapsKeepTheirIndices) {
  // Two rows of four pixels, word-aligned: indices 0 1 9 15 / 12 12 7 8.
  const std::uint8_t bits[] = {0x01, 0x9F, 0xCC, 0x78};
  HBITMAP bm = CreateBitmap(4, 2, 1, 4, bits);
  ASSERT_NE(bm, nullptr);
  BITMAP desc{};
  ASSERT_EQ(GetObjectA(bm, sizeof desc, &desc), int(sizeof desc));
  EXPECT_EQ(desc.bmBitsPixel, 4);
  EXPECT_EQ(desc.bmWidthBytes, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  Info i = Header(4, -2, 4);
  std::uint8_t out[2][4] = {};
  ASSERT_EQ(GetDIBits(dc, bm, 0, 2, out, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(out[0][0], 0x01);
  EXPECT_EQ(out[0][1], 0x9F);
  EXPECT_EQ(out[1][0], 0xCC);
  EXPECT_EQ(out[1][1], 0x78);
  EXPECT_EQ(i.colors[9].rgbRed, 255);
  // Read as colour, the indices are the standard colours.
  Info i32 = Header(4, -2, 32);
  std::uint32_t px[2][4] = {};
  ASSERT_EQ(GetDIBits(dc, bm, 0, 2, px, i32.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(px[0][1], 0x800000u) << "index 1 is dark red";
  EXPECT_EQ(px[1][2], 0xC0C0C0u);
  DeleteDC(dc);
  DeleteObject(bm);
}
