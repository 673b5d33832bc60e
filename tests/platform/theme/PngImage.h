// Reading and writing compressed RGB PNG files for golden images: the
// drawing tier's writer stores its data uncompressed (fine for a picture
// left behind by a failed test), but an image kept in the source tree
// should be small.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace themetest {

struct Image {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0x00RRGGBB, rows top down
  std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

namespace detail {

inline std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

inline void PutBe32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) o.push_back(std::uint8_t(v >> s));
}

inline void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutBe32(out, std::uint32_t(data.size()));
  std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe32(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

inline int Paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace detail

// 8-bit RGB or RGBA, not interlaced; false for anything else.
inline bool ReadPng(const std::string& path, Image& img) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  static const std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (f.size() < 8 || !std::equal(kSig, kSig + 8, f.begin())) return false;
  std::vector<std::uint8_t> z;
  int channels = 0;
  for (std::size_t pos = 8; pos + 12 <= f.size();) {
    std::uint32_t len = detail::Be32(&f[pos]);
    if (pos + 12 + len > f.size()) return false;
    std::string type(reinterpret_cast<const char*>(&f[pos + 4]), 4);
    const std::uint8_t* d = &f[pos + 8];
    if (type == "IHDR") {
      img.Width = int(detail::Be32(d));
      img.Height = int(detail::Be32(d + 4));
      if (d[8] != 8 || (d[9] != 2 && d[9] != 6) || d[12] != 0) return false;
      channels = d[9] == 2 ? 3 : 4;
    } else if (type == "IDAT") {
      z.insert(z.end(), d, d + len);
    }
    pos += 12 + len;
  }
  if (!channels || img.Width <= 0 || img.Height <= 0) return false;
  const std::size_t stride = std::size_t(img.Width) * channels;
  std::vector<std::uint8_t> raw(std::size_t(img.Height) * (stride + 1));
  uLongf rawSize = uLongf(raw.size());
  if (uncompress(raw.data(), &rawSize, z.data(), uLong(z.size())) != Z_OK || rawSize != raw.size()) return false;
  std::vector<std::uint8_t> prev(stride, 0), cur(stride);
  img.Pixels.resize(std::size_t(img.Width) * img.Height);
  for (int y = 0; y < img.Height; ++y) {
    const std::uint8_t* row = &raw[std::size_t(y) * (stride + 1)];
    const int filter = row[0];
    for (std::size_t i = 0; i < stride; ++i) {
      int a = i >= std::size_t(channels) ? cur[i - channels] : 0, b = prev[i],
          c = i >= std::size_t(channels) ? prev[i - channels] : 0;
      int pred = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : filter == 4 ? detail::Paeth(a, b, c) : 0;
      cur[i] = std::uint8_t(row[1 + i] + pred);
    }
    for (int x = 0; x < img.Width; ++x) {
      const std::uint8_t* p = &cur[std::size_t(x) * channels];
      img.Pixels[std::size_t(y) * img.Width + x] = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
    prev.swap(cur);
  }
  return true;
}

// RGB, every row with the "left neighbour" filter, deflated at the best
// level: flat interface pictures shrink to a few percent.
inline bool WritePng(const std::string& path, const Image& img) {
  const std::size_t stride = std::size_t(img.Width) * 3;
  std::vector<std::uint8_t> raw;
  raw.reserve(std::size_t(img.Height) * (stride + 1));
  for (int y = 0; y < img.Height; ++y) {
    raw.push_back(1);
    int l[3] = {0, 0, 0};
    for (int x = 0; x < img.Width; ++x) {
      std::uint32_t v = img.At(x, y);
      int c[3] = {int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)};
      for (int k = 0; k < 3; ++k) raw.push_back(std::uint8_t(c[k] - l[k])), l[k] = c[k];
    }
  }
  uLongf zSize = compressBound(uLong(raw.size()));
  std::vector<std::uint8_t> z(zSize);
  if (compress2(z.data(), &zSize, raw.data(), uLong(raw.size()), 9) != Z_OK) return false;
  z.resize(zSize);
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<std::uint8_t> ihdr;
  detail::PutBe32(ihdr, std::uint32_t(img.Width));
  detail::PutBe32(ihdr, std::uint32_t(img.Height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  detail::Chunk(out, "IHDR", ihdr);
  detail::Chunk(out, "IDAT", z);
  detail::Chunk(out, "IEND", {});
  std::ofstream o(path, std::ios::binary);
  o.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(o);
}

}  // namespace themetest
