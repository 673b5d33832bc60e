// The BMP codec: round trips through the writer, hand-made files of each
// kind the reader knows, and hostile files that must raise
// EInvalidGraphic without reading out of bounds (the sanitizers watch).
#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

// The largest single allocation while a check runs: this program's own
// operator new, so a picture allocated before its file is checked shows.
namespace {
std::size_t gLargestAllocation = 0;
}  // namespace

void* operator new(std::size_t n) {
  gLargestAllocation = std::max(gLargestAllocation, n);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // this pair is matched: malloc above, free here
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A file: file header, a 40-byte (or larger) info header, then `rest`
// (colour table or masks, then pixels); the pixel offset is given
// relative to the end of the info header.
Bytes File(int w, int h, int bpp, std::uint32_t compression, std::uint32_t colors, const Bytes& rest,
           std::uint32_t pixelOffset, std::uint32_t headerSize = 40, const Bytes& headerTail = {}) {
  Bytes b = {'B', 'M'};
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 14 + headerSize + pixelOffset);
  Put32(b, headerSize);
  Put32(b, std::uint32_t(w));
  Put32(b, std::uint32_t(h));
  Put16(b, 1);
  Put16(b, std::uint32_t(bpp));
  Put32(b, compression);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, colors);
  Put32(b, 0);
  b.insert(b.end(), headerTail.begin(), headerTail.end());
  b.resize(14 + headerSize, 0);
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

BmpImage Read(const Bytes& b) { return ReadBmp(b.data(), b.size()); }

}  // namespace

TEST(BmpCodec, RoundTripsAtEveryWrittenDepth) {
  Canvas c(7, 5);
  Rng rng(3);
  for (int i = 0; i < 35; ++i) SetPixel(c.Dc, i % 7, i / 7, rng.Next() & 0xFFFFFF);
  for (int bpp : {24, 32}) {
    BmpImage img;
    img.Width = 7;
    img.Height = 5;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) img.Pixels.push_back(gdi::ColorToPixel(c.At(x, y)));
    Bytes file = WriteBmp(img, bpp);
    BmpImage back = ReadBmp(file.data(), file.size());
    ASSERT_EQ(back.Width, 7);
    ASSERT_EQ(back.Height, 5);
    for (std::size_t i = 0; i < img.Pixels.size(); ++i) ASSERT_EQ(back.Pixels[i] & 0xFFFFFF, img.Pixels[i]);
  }
  // A monochrome bitmap writes one bit per pixel with a black and white table.
  HBITMAP mono = CreateBitmap(9, 2, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(mono));
  PatBlt(dc, 0, 0, 9, 2, WHITENESS);
  SetPixel(dc, 8, 1, kBlack);
  SelectObject(dc, old);
  DeleteDC(dc);
  Bytes file = WriteBmp(mono);
  DeleteObject(mono);
  EXPECT_EQ(file[28], 1) << "bit count";
  BmpImage back = ReadBmp(file.data(), file.size());
  EXPECT_EQ(back.Pixels[17] & 0xFFFFFF, 0u);
  EXPECT_EQ(back.Pixels[16] & 0xFFFFFF, 0xFFFFFFu);
  // Into a bitmap and onto a DC.
  HBITMAP h = BmpImageToBitmap(back);
  BITMAP bm{};
  GetObjectA(h, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 9);
  DeleteObject(h);
}

TEST(BmpCodec, ReadsTheKnownKinds) {
  // 8-bit run-length: a run of three index 1, end of line, a move one to the
  // right, a literal of three (padded to a word), end of picture.
  Bytes rle8;
  Put32(rle8, 0x000000FF);  // 0: blue
  Put32(rle8, 0x00FF0000);  // 1: red
  Bytes runs = {3, 1, 0, 0, 0, 2, 1, 0, 0, 3, 1, 0, 1, 0, 0, 1};
  rle8.insert(rle8.end(), runs.begin(), runs.end());
  BmpImage a = Read(File(5, 2, 8, BI_RLE8, 2, rle8, 8));
  // Bottom row (the file's first): red red red, then pixels no run set
  // (index 0, blue).
  EXPECT_EQ(a.Pixels[5 + 0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(a.Pixels[5 + 2] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(a.Pixels[5 + 4] & 0xFFFFFF, 0x0000FFu);
  // Top row: the literal from x 1.
  EXPECT_EQ(a.Pixels[0] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(a.Pixels[1] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(a.Pixels[2] & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(a.Pixels[3] & 0xFFFFFF, 0xFF0000u);

  // 4-bit run-length: a run alternating two nibbles.
  Bytes rle4;
  for (std::uint32_t c : {0x000000u, 0xFFFFFFu}) Put32(rle4, c);
  for (int i = 2; i < 16; ++i) Put32(rle4, 0);
  Bytes runs4 = {4, 0x01, 0, 1};
  rle4.insert(rle4.end(), runs4.begin(), runs4.end());
  BmpImage b = Read(File(4, 1, 4, BI_RLE4, 0, rle4, 64));
  EXPECT_EQ(b.Pixels[0] & 0xFFFFFF, 0u);
  EXPECT_EQ(b.Pixels[1] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(b.Pixels[3] & 0xFFFFFF, 0xFFFFFFu);

  // 16 bits with 5-6-5 masks after a 40-byte header.
  Bytes px16;
  Put32(px16, 0xF800);
  Put32(px16, 0x07E0);
  Put32(px16, 0x001F);
  Put16(px16, 0xF800);  // pure red
  Put16(px16, 0x07E0);  // pure green
  BmpImage c = Read(File(2, 1, 16, BI_BITFIELDS, 0, px16, 12));
  EXPECT_EQ(c.Pixels[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(c.Pixels[1] & 0xFFFFFF, 0x00FF00u);

  // A V5 header with an alpha mask, top-down.
  Bytes tail;
  Put32(tail, 0x00FF0000);
  Put32(tail, 0x0000FF00);
  Put32(tail, 0x000000FF);
  Put32(tail, 0xFF000000);
  Bytes px32;
  Put32(px32, 0x80102030);
  Bytes v5 = File(1, -1, 32, BI_BITFIELDS, 0, px32, 0, 124, Bytes(16, 0));
  std::copy(tail.begin(), tail.end(), v5.begin() + 14 + 40);
  BmpImage d = Read(v5);
  EXPECT_EQ(d.Pixels[0], 0x80102030u);
  EXPECT_TRUE(d.HasAlpha);

  // A 12-byte core header with a three-byte colour table.
  Bytes core = {'B', 'M'};
  Put32(core, 0);
  Put32(core, 0);
  Put32(core, 14 + 12 + 6);
  Put32(core, 12);
  Put16(core, 2);
  Put16(core, 1);
  Put16(core, 1);
  Put16(core, 1);
  for (int v : {0, 0, 255, 0, 255, 0}) core.push_back(std::uint8_t(v));
  for (int v : {0x40, 0, 0, 0}) core.push_back(std::uint8_t(v));
  BmpImage e = Read(core);
  EXPECT_EQ(e.Pixels[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(e.Pixels[1] & 0xFFFFFF, 0x00FF00u);
}

TEST(BmpCodec, HostileFilesRaiseInvalidGraphic) {
  Bytes good;
  Put32(good, 0x000000FF);
  Put32(good, 0x00FF0000);
  for (int i = 0; i < 4; ++i) good.push_back(0x40);
  Bytes file = File(2, 1, 8, BI_RGB, 2, good, 8);
  ASSERT_NO_THROW(Read(file));
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < file.size(); ++n) {
    Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(ReadBmp(cut.data(), cut.size()), EInvalidGraphic) << "length " << n;
  }
  auto expectBad = [](const Bytes& b, const char* why) {
    EXPECT_THROW(ReadBmp(b.data(), b.size()), EInvalidGraphic) << why;
  };
  expectBad(File(2, 1, 8, BI_RGB, 257, good, 8), "more colours than the depth allows");
  expectBad(File(2, 1, 8, BI_RGB, 2, good, 4), "pixels overlapping the colour table");
  expectBad(File(2, 1, 8, BI_RGB, 2, good, 4000), "pixel offset past the end");
  expectBad(File(0x10000, 0x10000, 8, BI_RGB, 2, good, 8), "too large");
  expectBad(File(2, int(0x80000000u), 8, BI_RGB, 2, good, 8), "height that cannot be negated");
  expectBad(File(2, 1, 7, BI_RGB, 2, good, 8), "odd bit count");
  expectBad(File(2, -1, 8, BI_RLE8, 2, good, 8), "top-down run-length");
  expectBad(File(2, 1, 8, 9, 2, good, 8), "unknown compression");
  Bytes runs;
  Put32(runs, 0);
  Put32(runs, 0);
  Bytes tooLong = runs;
  tooLong.insert(tooLong.end(), {3, 1, 0, 1});
  expectBad(File(2, 1, 8, BI_RLE8, 2, tooLong, 8), "run past the row");
  Bytes literal = runs;
  literal.insert(literal.end(), {0, 5, 1, 1});
  expectBad(File(8, 1, 8, BI_RLE8, 2, literal, 8), "literal past the data");
  Bytes move = runs;
  move.insert(move.end(), {0, 2, 9, 0, 0, 1});
  expectBad(File(2, 1, 8, BI_RLE8, 2, move, 8), "move out of the picture");
  Bytes noEnd = runs;
  noEnd.insert(noEnd.end(), {1, 1});
  expectBad(File(2, 1, 8, BI_RLE8, 2, noEnd, 8), "runs without an end");
  Bytes notBmp = file;
  notBmp[0] = 'X';
  expectBad(notBmp, "signature");
  EXPECT_THROW(ReadDib(nullptr, 0), EInvalidGraphic);
}

TEST(BmpCodec, AFileIsCheckedBeforeItsPictureIsAllocated) {
  // 8192 x 8192 claimed by a bare header, or by runs that only say "end of
  // picture": refused without allocating the 64 megapixels.
  Bytes palette;
  Put32(palette, 0x000000FF);
  Put32(palette, 0x00FF0000);
  Bytes endOnly = palette;
  endOnly.insert(endOnly.end(), {0, 1});
  const std::vector<std::pair<const char*, Bytes>> files = {
      {"header only", File(8192, 8192, 8, BI_RGB, 2, palette, 8)},
      {"end of picture only", File(8192, 8192, 8, BI_RLE8, 2, endOnly, 8)},
      {"4-bit end of picture only", File(8192, 8192, 4, BI_RLE4, 2, endOnly, 8)},
  };
  for (const auto& [what, file] : files) {
    gLargestAllocation = 0;
    EXPECT_THROW(Read(file), EInvalidGraphic) << what;
    EXPECT_LT(gLargestAllocation, std::size_t(1) << 20) << what;
  }
  // Small pictures and pictures whose runs could paint them still read,
  // whatever they skip.
  EXPECT_EQ(Read(File(256, 256, 8, BI_RLE8, 2, endOnly, 8)).Pixels.size(), 65536u);
  Bytes painted = palette;
  for (int row = 0; row < 300; ++row) painted.insert(painted.end(), {255, 1, 45, 1, 0, 0});
  painted.insert(painted.end(), {0, 1});
  const BmpImage big = Read(File(300, 300, 8, BI_RLE8, 2, painted, 8));
  EXPECT_EQ(big.Pixels[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(big.Pixels[299 * 300 + 299] & 0xFFFFFF, 0xFF0000u);
}
