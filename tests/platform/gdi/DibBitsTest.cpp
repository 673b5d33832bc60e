// Bitmaps read and written as DIBs: every destination depth read from a
// bitmap that is still selected, scan lines off either end, run-length
// data written into a bitmap, 4-bit device-dependent bitmaps, and a large
// bitmap's memory taken only where it is drawn on.
#include "GdiTestUtil.h"
#include "platform/gdi/Bitmaps.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

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

}  // namespace

TEST(DibBits, EveryDepthReadsFromABitmapStillSelected) {
  // Red, green, blue over white, black, grey.
  Canvas c(3, 2);
  const COLORREF px[6] = {kRed, RGB(0, 255, 0), kBlue, kWhite, kBlack, RGB(128, 128, 128)};
  for (int i = 0; i < 6; ++i) SetPixel(c.Dc, i % 3, i / 3, px[i]);
  std::uint8_t buf[24];
  std::size_t stride = 0;
  auto row = [&](int y) { return buf + stride * std::size_t(y); };
  auto read = [&](int bpp, int height, Info& i) {
    i = Header(3, height, bpp);
    stride = std::size_t((3 * bpp + 31) / 32 * 4);
    std::memset(buf, 0, sizeof buf);
    return GetDIBits(c.Dc, c.Bmp, 0, 2, buf, i.Get(), DIB_RGB_COLORS);
  };
  Info i;
  const std::uint8_t top24[9] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
  ASSERT_EQ(read(24, -2, i), 2);
  EXPECT_EQ(std::memcmp(row(0), top24, 9), 0) << "top-down: B, G, R bytes of the top row first";
  EXPECT_EQ(i.h.biSizeImage, 24u) << "rows padded to four bytes";
  ASSERT_EQ(read(24, 2, i), 2);
  EXPECT_EQ(std::memcmp(row(1), top24, 9), 0) << "bottom-up: the top row last";
  ASSERT_EQ(read(16, -2, i), 2);
  const std::uint16_t top16[3] = {0x7C00, 0x03E0, 0x001F}, grey16 = 0x4210;
  EXPECT_EQ(std::memcmp(row(0), top16, 6), 0) << "5-5-5";
  EXPECT_EQ(std::memcmp(row(1) + 4, &grey16, 2), 0);
  ASSERT_EQ(read(32, -2, i), 2);
  EXPECT_EQ(row(1)[8], 128);
  // 4 bits: indices of the sixteen standard colours, which come with them.
  ASSERT_EQ(read(4, -2, i), 2);
  EXPECT_EQ(row(0)[0], 0x9A) << "red 9, green 10";
  EXPECT_EQ(row(1)[0], 0xF0) << "white 15, black 0";
  EXPECT_EQ(row(1)[1] >> 4, 8) << "grey";
  EXPECT_EQ(i.colors[7].rgbRed, 192);
  // 1 bit: the nearer of black and white.
  ASSERT_EQ(read(1, -2, i), 2);
  EXPECT_EQ(row(0)[0] & 0xE0, 0x40) << "only green is light";
  EXPECT_EQ(row(1)[0] & 0xE0, 0xA0);
  // No 8-bit table can be made up for a colour bitmap: a clean failure.
  SetLastError(0);
  EXPECT_EQ(read(8, -2, i), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(DibBits, ScanLinesOffTheBitmapAreClippedAndCounted) {
  Canvas c(2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) SetPixel(c.Dc, x, y, RGB(0, 0, 10 * (y + 1)));
  // A bottom-up destination twice as tall: the bitmap covers its top three
  // rows, scan lines 3 to 5; the rows below the bitmap are zeros.
  std::uint32_t px[6][2];
  std::memset(px, 0xEE, sizeof px);
  Info i = Header(2, 6, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 6, px, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(px[2][0], 0u);
  EXPECT_EQ(px[3][0], 30u);
  EXPECT_EQ(px[5][1], 10u);
  // Top-down, scan lines still count from the bottom: 1 to 5 are written
  // top row first, the bitmap's three rows then two rows of zeros.
  std::memset(px, 0xEE, sizeof px);
  i = Header(2, -6, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 1, 5, px, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(px[0][0], 10u);
  EXPECT_EQ(px[2][0], 30u);
  EXPECT_EQ(px[4][1], 0u);
  EXPECT_EQ(px[5][0], 0xEEEEEEEEu) << "nothing past the band";
  // The band of one scan line from the bottom of a DIB the bitmap's size.
  i = Header(2, -3, 32);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 1, px, i.Get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(px[0][0], 30u);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 7, 2, px, i.Get(), DIB_RGB_COLORS), 1) << "a start past the end";
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 3, nullptr, i.Get(), DIB_RGB_COLORS), 1) << "the header only";
  // A header size no header has is refused rather than written past.
  i.h.biSize = 0x10000;
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, px, i.Get(), DIB_RGB_COLORS), 0);
  // No lines: the colour table only, answered with 1.
  i = Header(2, 3, 1);
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 0, px, i.Get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(i.colors[1].rgbBlue, 255);
}

TEST(DibBits, RunLengthDataWritesIntoABitmap) {
  Canvas c(6, 3, kWhite);
  Info i = Header(6, 3, 8, BI_RLE8);
  i.colors[1] = {0, 0, 255, 0};  // red
  i.colors[2] = {255, 0, 0, 0};  // blue
  i.colors[3] = {0, 255, 0, 0};  // green
  i.h.biClrUsed = 4;
  const std::uint8_t rle[] = {
      3, 1, 0, 3, 2, 3, 2, 0,  // bottom row: three red, then 2 3 2 as they are (padded)
      0, 0,                     // end of line
      0, 2, 4, 1,               // jump four right and one up, to the top row
      2, 3,                     // two green
      0, 1,                     // end of bitmap
  };
  i.h.biSizeImage = sizeof rle;
  // The data is the whole bitmap whatever band is named; the answer is its height.
  ASSERT_EQ(SetDIBits(c.Dc, c.Bmp, 2, 1, rle, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(c.Picture(kRed), (std::vector<std::string>{"......", "......", "###..."}));
  EXPECT_EQ(c.Picture(RGB(0, 255, 0)), (std::vector<std::string>{"....##", "......", "....#."}));
  EXPECT_EQ(c.At(5, 2), kBlue);
  EXPECT_EQ(c.At(0, 1), kWhite) << "what the data skips keeps its colour";
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 0, rle, i.Get(), DIB_RGB_COLORS), 0) << "no lines: nothing";
  // Runs past the right edge and lines past the top are dropped.
  const std::uint8_t wide[] = {255, 2, 0, 0, 0, 0, 0, 0, 0, 0, 9, 1};
  i.h.biSizeImage = sizeof wide;
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, wide, i.Get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(c.Picture(kBlue), (std::vector<std::string>{"......", "......", "######"}));
  // Data cut inside an absolute run, or of no stated size, fails cleanly.
  const std::uint8_t cut[] = {0, 5, 1, 2};
  i.h.biSizeImage = sizeof cut;
  SetLastError(0);
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, cut, i.Get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  i.h.biSizeImage = 0;
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 3, rle, i.Get(), DIB_RGB_COLORS), 0);
}

TEST(DibBits, FourBitBitmapsKeepTheirIndices) {
  // Two word-aligned rows of four pixels: indices 0 1 9 15 / 12 12 7 8.
  const std::uint8_t bits[] = {0x01, 0x9F, 0xCC, 0x78};
  HBITMAP bm = CreateBitmap(4, 2, 1, 4, bits);
  BITMAP desc{};
  ASSERT_EQ(GetObjectA(bm, sizeof desc, &desc), int(sizeof desc));
  EXPECT_EQ(desc.bmBitsPixel, 4);
  EXPECT_EQ(desc.bmWidthBytes, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  Info i = Header(4, -2, 4);
  std::uint8_t out[2][4] = {};
  ASSERT_EQ(GetDIBits(dc, bm, 0, 2, out, i.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::memcmp(out[0], bits, 2), 0);
  EXPECT_EQ(std::memcmp(out[1], bits + 2, 2), 0);
  // As colour, the indices are the standard colours.
  Info i32 = Header(4, -2, 32);
  std::uint32_t px[2][4] = {};
  ASSERT_EQ(GetDIBits(dc, bm, 0, 2, px, i32.Get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(px[0][1], 0x800000u) << "index 1 is dark red";
  EXPECT_EQ(px[1][2], 0xC0C0C0u);
  // A device-dependent bitmap of another depth than the DC's does not go
  // into it; a monochrome one, a screen-deep one and any DIB section do.
  SetLastError(0);
  EXPECT_EQ(SelectObject(dc, ToObj(bm)), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  Info dib = Header(4, 2, 4);
  void* dibBits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, dib.Get(), DIB_RGB_COLORS, &dibBits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, ToObj(section));
  EXPECT_NE(old, nullptr);
  SelectObject(dc, old);
  // Every depth a bitmap may have, 15 bits stored as 16.
  for (UINT depth : {4u, 8u, 15u, 16u, 24u, 32u}) {
    HBITMAP any = CreateBitmap(5, 3, 1, depth, nullptr);
    ASSERT_NE(any, nullptr) << depth;
    GetObjectA(any, sizeof desc, &desc);
    EXPECT_EQ(desc.bmBitsPixel, depth == 15 ? 16 : depth);
    DeleteObject(any);
  }
  DeleteDC(dc);
  DeleteObject(section);
  DeleteObject(bm);
}

// How many of the pages from AStart on, ABytes long, are in memory.
std::size_t ResidentPages(const void* AStart, std::size_t ABytes) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const auto first = reinterpret_cast<std::uintptr_t>(AStart) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(AStart) + ABytes + page - 1) / page * page;
  std::vector<unsigned char> in((end - first) / page);
  if (mincore(reinterpret_cast<void*>(first), end - first, in.data()) != 0) return ~std::size_t(0);
  std::size_t n = 0;
  for (unsigned char c : in) n += c & 1;
  return n;
}

// A bitmap as large as a big screen reads as black everywhere, yet holds
// memory only for the rows drawn on: undrawn pages come zeroed from the
// system when first touched rather than all being cleared up front.
TEST(DibBits, ALargeBitmapTakesMemoryOnlyWhereItIsDrawn) {
  constexpr int kWidth = 4096, kHeight = 2560;  // 40 MB, beyond any heap reuse
  constexpr std::size_t kRow = kWidth * 4;
  for (bool dib : {true, false}) {
    SCOPED_TRACE(dib ? "DIB section" : "device-dependent bitmap");
    void* bits = nullptr;
    Info info = Header(kWidth, -kHeight, 32);
    HBITMAP bitmap = dib ? CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &bits, nullptr, 0)
                         : CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToObj(bitmap));
    if (!dib) bits = gdi::LookupAs<gdi::Bitmap>(bitmap)->Bits();
    ASSERT_NE(bits, nullptr);
    EXPECT_LE(ResidentPages(bits, kRow * kHeight), 16u) << "nothing cleared before drawing";

    // Ten rows in the middle.
    RECT band{0, 1000, kWidth, 1010};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &band, white);
    DeleteObject(ToObj(white));
    const std::size_t drawn = ResidentPages(bits, kRow * kHeight), rows = 10 * kRow / static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    EXPECT_GE(drawn, rows);
    EXPECT_LE(drawn, rows + 16) << "only the drawn rows' pages";
    EXPECT_EQ(GetPixel(dc, 5, 999), RGB(0, 0, 0)) << "undrawn pixels read black";
    EXPECT_EQ(GetPixel(dc, 5, 1000), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, kWidth - 1, kHeight - 1), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(ToObj(bitmap));
  }
}
