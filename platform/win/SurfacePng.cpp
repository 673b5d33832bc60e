// Writes a headless surface as a PNG file for a person to look at.
#include "platform/gdi/PngWriter.h"
#include "platform/win/HeadlessBackEnd.h"

namespace win {

bool HeadlessBackEnd::SavePng(SurfaceId surface, const std::string& path) const {
  const Surface* s = Find(surface);
  if (!s) return false;
  const int w = s->rect.Width(), h = s->rect.Height();
  return SaveRowsPng(w, h, [&](int y, std::uint32_t* row) {
    const std::uint8_t* p = &s->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4];
    for (int x = 0; x < w; ++x, p += 4) row[x] = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
  }, path);
}

}  // namespace win
