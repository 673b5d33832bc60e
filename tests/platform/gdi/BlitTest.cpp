// Block transfers: every ternary raster operation against its truth table
// on random pixels, monochrome <-> colour conversions, overlapping copies,
// stretching with mirroring, masks, colour keys and alpha blending.
#include "GdiTestUtil.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace win;
using namespace gdi_test;

namespace {

// Fills a canvas with random colours and answers them.
std::vector<COLORREF> Randomise(Canvas& c, Rng& rng) {
  std::vector<COLORREF> px;
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      COLORREF v = rng.Next() & 0xFFFFFF;
      SetPixel(c.Dc, x, y, v);
      px.push_back(v);
    }
  return px;
}

// The truth table: bit (p, s, d) of the code byte, applied per bit.
COLORREF Expected(std::uint8_t code, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF r = 0;
  for (int bit = 0; bit < 24; ++bit) {
    int pi = (p >> bit) & 1, si = (s >> bit) & 1, di = (d >> bit) & 1;
    if ((code >> (pi * 4 + si * 2 + di)) & 1) r |= 1u << bit;
  }
  return r;
}

}  // namespace

TEST(Blits, EveryRasterOperationMatchesItsTruthTable) {
  Rng rng(42);
  Canvas src(8, 4), dst(8, 4);
  // The operation codes' low words do not matter to the result; the named
  // ones carry theirs.
  for (int code = 0; code < 256; ++code) {
    auto sp = Randomise(src, rng);
    auto dp = Randomise(dst, rng);
    COLORREF pat = rng.Next() & 0xFFFFFF;
    HBRUSH b = CreateSolidBrush(pat);
    HGDIOBJ old = SelectObject(dst.Dc, ToObj(b));
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 8, 4, src.Dc, 0, 0, DWORD(code) << 16));
    for (int i = 0; i < 32; ++i)
      ASSERT_EQ(dst.At(i % 8, i / 8), Expected(std::uint8_t(code), pat, sp[std::size_t(i)], dp[std::size_t(i)]))
          << "operation " << std::hex << code;
    SelectObject(dst.Dc, old);
    DeleteObject(b);
  }
}

TEST(Blits, NamedOperationsAndTheMaskedCheckMark) {
  EXPECT_EQ(Expected(std::uint8_t(SRCPAINT >> 16), 0, 0x0F, 0xF0), 0xFFu);
  EXPECT_EQ(Expected(std::uint8_t(SRCAND >> 16), 0, 0x0F, 0x3C), 0x0Cu);
  EXPECT_EQ(Expected(std::uint8_t(MERGEPAINT >> 16), 0, 0xFFFFFF, 0x12), 0x12u);
  // 0xB8074A: where the source is 0 the pattern goes in, where it is 1 the
  // destination stays: a brush painted through a mask's black pixels.
  Canvas mask(4, 1, kWhite, 1), dst(4, 1, kBlue);
  SetPixel(mask.Dc, 1, 0, kBlack);
  SetPixel(mask.Dc, 2, 0, kBlack);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(dst.Dc, red);
  SetTextColor(dst.Dc, kBlack);  // mask 0 -> black
  SetBkColor(dst.Dc, kWhite);    // mask 1 -> white
  BitBlt(dst.Dc, 0, 0, 4, 1, mask.Dc, 0, 0, 0xB8074A);
  EXPECT_EQ(dst.At(0, 0), kBlue);
  EXPECT_EQ(dst.At(1, 0), kRed);
  EXPECT_EQ(dst.At(2, 0), kRed);
  EXPECT_EQ(dst.At(3, 0), kBlue);
  SelectObject(dst.Dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(red);
}

TEST(Blits, MonochromeAndColourConversions) {
  Canvas mono(3, 1, kWhite, 1), colour(3, 1, kWhite);
  SetPixel(mono.Dc, 1, 0, kBlack);
  SetTextColor(colour.Dc, kRed);  // 0 bits
  SetBkColor(colour.Dc, kBlue);   // 1 bits
  BitBlt(colour.Dc, 0, 0, 3, 1, mono.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(colour.At(0, 0), kBlue);
  EXPECT_EQ(colour.At(1, 0), kRed);
  EXPECT_EQ(colour.At(2, 0), kBlue);
  // Colour to monochrome: 1 exactly where the source equals its DC's
  // background colour.
  SetPixel(colour.Dc, 2, 0, RGB(0, 0, 254));
  SetBkColor(colour.Dc, kBlue);
  BitBlt(mono.Dc, 0, 0, 3, 1, colour.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.At(0, 0), kWhite);
  EXPECT_EQ(mono.At(1, 0), kBlack);
  EXPECT_EQ(mono.At(2, 0), kBlack) << "near is not equal";
}

TEST(Blits, OverlappingCopiesMoveTheOriginalPixels) {
  for (int dir : {-1, 1}) {
    Canvas c(10, 10);
    for (int i = 0; i < 10; ++i) SetPixel(c.Dc, i, i, RGB(i * 20, 0, 0));
    BitBlt(c.Dc, dir, dir, 10, 10, c.Dc, 0, 0, SRCCOPY);
    for (int i = 1; i < 9; ++i) {
      int src = i - dir;
      EXPECT_EQ(c.At(i, i), RGB(src * 20, 0, 0)) << "dir " << dir << " at " << i;
    }
  }
  // A colour-keyed copy, an opaque blend and a masked copy moved down a
  // row within one bitmap read the rows as they were, not as the blit has
  // just written them.
  HBITMAP allSource = CreateBitmap(1, 3, 1, 1, nullptr);
  for (int kind = 0; kind < 3; ++kind) {
    Canvas c(1, 4);
    const COLORREF rows[] = {kRed, RGB(0, 255, 0), kBlue};
    for (int y = 0; y < 3; ++y) SetPixel(c.Dc, 0, y, rows[y]);
    const char* call = kind == 0 ? "TransparentBlt" : kind == 1 ? "AlphaBlend" : "MaskBlt";
    if (kind == 0)
      ASSERT_TRUE(TransparentBlt(c.Dc, 0, 1, 1, 3, c.Dc, 0, 0, 1, 3, RGB(1, 2, 3)));
    else if (kind == 1)
      ASSERT_TRUE(AlphaBlend(c.Dc, 0, 1, 1, 3, c.Dc, 0, 0, 1, 3, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}));
    else
      ASSERT_TRUE(MaskBlt(c.Dc, 0, 1, 1, 3, c.Dc, 0, 0, allSource, 0, 0, MAKEROP4(SRCCOPY, SRCCOPY)));
    for (int y = 1; y < 4; ++y) EXPECT_EQ(c.At(0, y), rows[y - 1]) << call << " row " << y;
  }
  DeleteObject(allSource);
}

TEST(Blits, ClippedByComplexRegionsAndOrigins) {
  Canvas src(10, 10, kRed), dst(20, 20);
  HRGN ring = CreateRectRgn(0, 0, 10, 10);
  HRGN hole = CreateRectRgn(3, 3, 7, 7);
  CombineRgn(ring, ring, hole, RGN_DIFF);
  SelectClipRgn(dst.Dc, ring);
  SetViewportOrgEx(dst.Dc, 5, 5, nullptr);  // the clip stays where it is in device terms
  BitBlt(dst.Dc, -5, -5, 10, 10, src.Dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Count(kRed), 100 - 16);
  EXPECT_EQ(dst.At(4, 4), kWhite);
  EXPECT_EQ(dst.At(2, 2), kRed);
  EXPECT_EQ(dst.At(10, 0), kWhite);
  DeleteObject(ring);
  DeleteObject(hole);
}

TEST(Blits, StretchMirrorsWithNegativeExtents) {
  Canvas src(4, 1), dst(8, 2);
  for (int i = 0; i < 4; ++i) SetPixel(src.Dc, i, 0, RGB(i * 60, 0, 0));
  StretchBlt(dst.Dc, 0, 0, 8, 1, src.Dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 0), RGB((x / 2) * 60, 0, 0));
  StretchBlt(dst.Dc, 4, 1, -4, 1, src.Dc, 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, 1), RGB((3 - x) * 60, 0, 0)) << "mirrored";
  EXPECT_EQ(dst.At(4, 1), kWhite);
  // Halftone averages what it shrinks.
  Canvas checker(2, 2), one(1, 1);
  SetPixel(checker.Dc, 0, 0, kBlack);
  SetPixel(checker.Dc, 1, 1, kBlack);
  SetStretchBltMode(one.Dc, HALFTONE);
  StretchBlt(one.Dc, 0, 0, 1, 1, checker.Dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), RGB(128, 128, 128));
}

TEST(Blits, HalftoneShrinksAPictureOfManyMillionPixelsToItsColour) {
  // A white picture of 4200 x 4200 pixels (one bit each) made a single
  // pixel: the pixel's box adds up more than 32 bits hold, and it still
  // averages to white rather than to what the sum wrapped to.
  const int side = 4200;
  const std::size_t stride = (side + 31) / 32 * 4;
  std::vector<std::uint8_t> bits(stride * side, 0xFF);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } info{{sizeof(BITMAPINFOHEADER), side, side, 1, 1, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
  Canvas one(1, 1, kBlue);
  SetStretchBltMode(one.Dc, HALFTONE);
  StretchDIBits(one.Dc, 0, 0, 1, 1, 0, 0, side, side, bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(one.At(0, 0), kWhite);
}

TEST(Blits, MaskAndColourKey) {
  Canvas src(3, 1, kRed), dst(3, 1, kBlue), maskDc(3, 1, kBlack, 1);
  SetPixel(maskDc.Dc, 1, 0, kWhite);
  auto* maskBm = reinterpret_cast<HBITMAP>(GetCurrentObject(maskDc.Dc, OBJ_BITMAP));
  // Foreground (mask 1) copies, background keeps the destination.
  MaskBlt(dst.Dc, 0, 0, 3, 1, src.Dc, 0, 0, maskBm, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
  EXPECT_EQ(dst.At(0, 0), kBlue);
  EXPECT_EQ(dst.At(1, 0), kRed);
  EXPECT_EQ(dst.At(2, 0), kBlue);
  SetPixel(src.Dc, 0, 0, kWhite);
  TransparentBlt(dst.Dc, 0, 0, 3, 1, src.Dc, 0, 0, 3, 1, kWhite);
  EXPECT_EQ(dst.At(0, 0), kBlue) << "the key colour is left out";
  EXPECT_EQ(dst.At(2, 0), kRed);
}

TEST(Blits, AlphaBlendConstantAndPerPixel) {
  Canvas dst(2, 1, kBlack);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<std::uint32_t*>(bits);
  px[0] = 0xFFFFFFFF;  // opaque white
  px[1] = 0x80808080;  // half-transparent white, premultiplied
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, ToObj(dib));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  EXPECT_TRUE(AlphaBlend(dst.Dc, 0, 0, 1, 1, src, 0, 0, 1, 1, half));
  EXPECT_EQ(dst.At(0, 0), RGB(128, 128, 128));
  PatBlt(dst.Dc, 0, 0, 2, 1, BLACKNESS);
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_TRUE(AlphaBlend(dst.Dc, 0, 0, 2, 1, src, 0, 0, 2, 1, perPixel));
  EXPECT_EQ(dst.At(0, 0), kWhite);
  EXPECT_EQ(dst.At(1, 0), RGB(128, 128, 128));
  EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, 2, 1, src, 1, 0, 2, 1, perPixel)) << "source outside its bitmap";
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(dib);
}

TEST(Blits, DibsInAndOut) {
  // A bottom-up 8-bit DIB with a two-colour table, drawn and read back.
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } info{{sizeof(BITMAPINFOHEADER), 2, 2, 1, 8, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 255, 0}, {255, 0, 0, 0}}};
  std::uint8_t bits[8] = {0, 1, 0, 0, 1, 1, 0, 0};  // bottom row first: red blue / blue blue
  Canvas c(2, 2);
  SetDIBitsToDevice(c.Dc, 0, 0, 2, 2, 0, 0, 0, 2, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  EXPECT_EQ(c.At(0, 0), kBlue);
  EXPECT_EQ(c.At(0, 1), kRed);
  EXPECT_EQ(c.At(1, 1), kBlue);
  BITMAPINFO out{};
  out.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::uint32_t px[4] = {};
  EXPECT_EQ(GetDIBits(c.Dc, c.Bmp, 0, 2, px, &out, DIB_RGB_COLORS), 2);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0x0000FFu) << "top-down: first the top row";
  EXPECT_EQ(px[2] & 0xFFFFFF, 0xFF0000u);
  Canvas big(4, 4);
  StretchDIBits(big.Dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(big.At(0, 3), kRed);
  EXPECT_EQ(big.At(1, 2), kRed);
  EXPECT_EQ(big.At(3, 3), kBlue);
}

TEST(Blits, DrawingIntoPaletteAndBottomUpDibSections) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } info{{sizeof(BITMAPINFOHEADER), 4, 2, 1, 8, BI_RGB, 0, 0, 0, 2, 0}, {{0, 0, 255, 0}, {255, 0, 0, 0}}};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(dib));
  HBRUSH nearBlue = CreateSolidBrush(RGB(0, 10, 240));
  RECT top{0, 0, 4, 1};
  FillRect(dc, &top, nearBlue);
  auto* px = static_cast<std::uint8_t*>(bits);
  // Bottom-up: the top row is the second one in memory; blue is entry 1.
  EXPECT_EQ(px[4], 1);
  EXPECT_EQ(px[0], 0);
  EXPECT_EQ(GetPixel(dc, 2, 0), kBlue) << "reads back the palette colour";
  EXPECT_EQ(GetPixel(dc, 2, 1), kRed);
  SelectObject(dc, old);
  DeleteObject(nearBlue);
  DeleteObject(dib);

  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  HBITMAP rgb = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  old = SelectObject(dc, ToObj(rgb));
  SetPixel(dc, 0, 0, RGB(1, 2, 3));
  px = static_cast<std::uint8_t*>(bits);
  EXPECT_EQ(px[12], 3) << "blue first, in the second (top) row of 12 bytes";
  EXPECT_EQ(px[13], 2);
  EXPECT_EQ(px[14], 1);
  SelectObject(dc, old);
  DeleteObject(rgb);

  // 16 bits are 5-5-5, named plainly or by their masks; the memory is whole
  // pages, so a write rounded up to one stays inside it.
  struct {
    BITMAPINFOHEADER h;
    DWORD masks[3];
  } sixteen{{sizeof(BITMAPINFOHEADER), 3, -1, 1, 16, BI_RGB, 0, 0, 0, 0, 0}, {0x7C00, 0x03E0, 0x001F}};
  for (DWORD compression : {DWORD(BI_RGB), DWORD(BI_BITFIELDS)}) {
    sixteen.h.biCompression = compression;
    HBITMAP hi = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&sixteen), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(hi, nullptr) << compression;
    old = SelectObject(dc, ToObj(hi));
    SetPixel(dc, 1, 0, kRed);
    auto* words = static_cast<std::uint16_t*>(bits);
    EXPECT_EQ(words[1], 0x7C00);
    words[2] = 0x001F;
    EXPECT_EQ(GetPixel(dc, 2, 0), kBlue);
    std::memset(bits, 0, 4096);
    SelectObject(dc, old);
    DeleteObject(hi);
  }
  DeleteDC(dc);
}

TEST(Blits, FiveSixFiveDibsRoundTripThroughSectionsBlitsAndDibBits) {
  // Red, full green, and a green only six bits can hold (0x0400: 32 of 63,
  // which 5-5-5 would read as a dark red).
  struct Dib16 {
    BITMAPINFOHEADER h;
    DWORD masks[3];
  };
  const Dib16 info{{sizeof(BITMAPINFOHEADER), 3, -1, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xF800, 0x07E0, 0x001F}};
  const COLORREF halfGreen = RGB(0, 130, 0);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                     nullptr, 0);
  ASSERT_NE(section, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(ToObj(section), sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
  EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(section));
  SetPixel(dc, 0, 0, kRed);
  SetPixel(dc, 1, 0, RGB(0, 255, 0));
  auto* words = static_cast<std::uint16_t*>(bits);
  EXPECT_EQ(words[0], 0xF800);
  EXPECT_EQ(words[1], 0x07E0);
  words[2] = 0x0400;
  EXPECT_EQ(GetPixel(dc, 2, 0), halfGreen);

  // Blitted out, read back as 5-6-5 DIB bits (the masks written after the
  // header), and written from them into another bitmap: the same pixels.
  Canvas copy(3, 1);
  ASSERT_TRUE(BitBlt(copy.Dc, 0, 0, 3, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(copy.At(0, 0), kRed);
  EXPECT_EQ(copy.At(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(copy.At(2, 0), halfGreen);
  Dib16 read{{sizeof(BITMAPINFOHEADER), 3, -1, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0}, {}};
  std::uint16_t got[4] = {};
  ASSERT_EQ(GetDIBits(copy.Dc, copy.Bmp, 0, 1, got, reinterpret_cast<BITMAPINFO*>(&read), DIB_RGB_COLORS), 1);
  EXPECT_EQ(read.masks[0], 0xF800u);
  EXPECT_EQ(read.masks[1], 0x07E0u);
  EXPECT_EQ(read.masks[2], 0x001Fu);
  EXPECT_EQ(got[0], 0xF800);
  EXPECT_EQ(got[1], 0x07E0);
  EXPECT_EQ(got[2], 0x0400);
  Canvas back(3, 1);
  ASSERT_EQ(SetDIBits(back.Dc, back.Bmp, 0, 1, got, reinterpret_cast<const BITMAPINFO*>(&read), DIB_RGB_COLORS), 1);
  EXPECT_EQ(back.At(2, 0), halfGreen);
  EXPECT_EQ(back.At(0, 0), kRed);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(section);
}

TEST(Blits, SetDIBitsReadsTheHeaderOnlyAsFarAsItDeclares) {
  // Each header lives in a buffer of exactly its declared size, so reading
  // past the colour table or the masks shows up under the address checker.
  auto exact = [](const BITMAPINFOHEADER& h, std::vector<RGBQUAD> colors = {}, std::vector<DWORD> masks = {}) {
    std::vector<std::uint8_t> bytes;
    auto put = [&](const void* p, std::size_t n) {
      const auto* b = static_cast<const std::uint8_t*>(p);
      bytes.insert(bytes.end(), b, b + n);
    };
    put(&h, sizeof h);
    for (DWORD m : masks) put(&m, sizeof m);
    for (RGBQUAD c : colors) put(&c, sizeof c);
    return bytes;
  };
  auto asInfo = [](std::vector<std::uint8_t>& b) { return reinterpret_cast<const BITMAPINFO*>(b.data()); };
  Canvas c(2, 2);

  auto rgb = exact({sizeof(BITMAPINFOHEADER), 2, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0});
  std::uint8_t rgbBits[16] = {0, 0, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 2, rgbBits, asInfo(rgb), DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 0), kBlue);
  EXPECT_EQ(c.At(0, 1), RGB(0, 255, 0));

  auto twoColours = exact({sizeof(BITMAPINFOHEADER), 2, 2, 1, 8, BI_RGB, 0, 0, 0, 2, 0},
                          {{0, 0, 255, 0}, {255, 0, 0, 0}});
  std::uint8_t indexBits[8] = {1, 1, 0, 0, 0, 1, 0, 0};  // bottom row first
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 2, indexBits, asInfo(twoColours), DIB_RGB_COLORS), 2);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(1, 0), kBlue);
  EXPECT_EQ(c.At(0, 1), kBlue);

  auto masked = exact({sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0}, {},
                      {0x00FF0000, 0x0000FF00, 0x000000FF});
  std::uint32_t px[2] = {0x00FF00, 0x0000FF};
  EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 1, px, asInfo(masked), DIB_RGB_COLORS), 1);
  EXPECT_EQ(c.At(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(c.At(1, 0), kBlue);

  for (DWORD size : {DWORD(12), DWORD(4000)}) {
    auto odd = exact({size, 2, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0});
    EXPECT_EQ(SetDIBits(c.Dc, c.Bmp, 0, 2, rgbBits, asInfo(odd), DIB_RGB_COLORS), 0) << "header size " << size;
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    void* bits = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, asInfo(odd), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << size;
  }
}
