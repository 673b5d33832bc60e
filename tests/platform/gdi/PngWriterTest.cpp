#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/gdi/PngWriter.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t Be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

}  // namespace

// A failed pixel test leaves a picture behind: the file must open in any
// viewer, so the container is checked byte by byte and the pixels are read
// back out of the stored deflate blocks.
TEST(PngWriter, RowsComeBackFromTheStoredBlocks) {
  const std::string path = ::testing::TempDir() + "png_writer_test.png";
  const std::uint32_t pixels[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x000000}};
  ASSERT_TRUE(win::SaveRowsPng(3, 2, [&](int y, std::uint32_t* row) { std::copy_n(pixels[y], 3, row); }, path));
  std::vector<std::uint8_t> png = ReadFile(path);
  std::remove(path.c_str());

  ASSERT_GT(png.size(), 8u + 25 + 12);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  const std::uint8_t* ihdr = &png[8];
  EXPECT_EQ(Be32(ihdr), 13u);
  EXPECT_EQ(std::string(ihdr + 4, ihdr + 8), "IHDR");
  EXPECT_EQ(Be32(ihdr + 8), 3u);
  EXPECT_EQ(Be32(ihdr + 12), 2u);
  EXPECT_EQ(ihdr[16], 8);  // bit depth
  EXPECT_EQ(ihdr[17], 2);  // RGB

  const std::uint8_t* idat = ihdr + 25;
  const std::uint32_t len = Be32(idat);
  ASSERT_EQ(std::string(idat + 4, idat + 8), "IDAT");
  const std::uint8_t* z = idat + 8;
  ASSERT_EQ(z[0], 0x78);
  ASSERT_EQ(z[2], 1);  // one final stored block
  const std::uint16_t n = std::uint16_t(z[3] | z[4] << 8);
  EXPECT_EQ(std::uint16_t(~n), std::uint16_t(z[5] | z[6] << 8));
  ASSERT_EQ(n, 2u * (1 + 3 * 3));
  ASSERT_EQ(len, 2u + 5 + n + 4);
  const std::uint8_t* raw = z + 7;
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(raw[y * 10], 0) << "filter byte";
    for (int x = 0; x < 3; ++x) {
      const std::uint32_t v = pixels[y][x];
      EXPECT_EQ(raw[y * 10 + 1 + x * 3], std::uint8_t(v >> 16));
      EXPECT_EQ(raw[y * 10 + 2 + x * 3], std::uint8_t(v >> 8));
      EXPECT_EQ(raw[y * 10 + 3 + x * 3], std::uint8_t(v));
    }
  }
  EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
  EXPECT_FALSE(win::SaveRowsPng(0, 2, [](int, std::uint32_t*) {}, path));
}
