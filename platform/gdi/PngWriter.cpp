#include "platform/gdi/PngWriter.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/rtl/OsEdge.h"

namespace win {

using namespace gdi;

namespace {

std::uint32_t Crc(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
  static std::uint32_t table[256];
  static bool made = false;
  if (!made) {
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    made = true;
  }
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Be32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) o.push_back(std::uint8_t(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  Be32(out, std::uint32_t(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Be32(out, Crc(body.data(), body.size()));
}

}  // namespace

bool SaveRowsPng(int width, int height, const std::function<void(int y, std::uint32_t* row)>& loadRow,
                 const std::string& path) {
  if (width <= 0 || height <= 0) return false;
  // Filter byte 0 then RGB per row.
  std::vector<std::uint8_t> raw;
  raw.reserve(std::size_t(height) * (1 + 3 * std::size_t(width)));
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    loadRow(y, row.data());
    for (std::uint32_t v : row) {
      raw.push_back(std::uint8_t(v >> 16));
      raw.push_back(std::uint8_t(v >> 8));
      raw.push_back(std::uint8_t(v));
    }
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(std::uint8_t(n));
    z.push_back(std::uint8_t(n >> 8));
    z.push_back(std::uint8_t(~n));
    z.push_back(std::uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + std::ptrdiff_t(pos), raw.begin() + std::ptrdiff_t(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Be32(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  Be32(ihdr, std::uint32_t(width));
  Be32(ihdr, std::uint32_t(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  return orv::os::WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

namespace {
bool WritePng(const Surface& s, const std::string& path) {
  return SaveRowsPng(s.Width, s.Height, [&](int y, std::uint32_t* row) { LoadSpan(s, 0, y, s.Width, row); }, path);
}
}  // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::string& path) {
  Bitmap* b = LookupAs<Bitmap>(bitmap);
  return b && WritePng(b->Surf, path);
}

bool SaveDCPng(HDC hdc, const std::string& path) {
  DC* dc = LookupDC(hdc);
  return dc && WritePng(dc->Surf, path);
}

}  // namespace win
