// Lays out and draws arbitrary text with an arbitrary format word in an
// arbitrary rectangle (empty, one pixel, turned inside out, or open to the
// end of the integer range when measuring). Every call returns; a drawing
// call marks no pixel outside its rectangle unless told not to clip; a
// measuring call marks none at all; a row count never exceeds the text's
// length.
//
// Input: format word (4 bytes), rectangle (4 signed bytes, doubled),
// maximum row count, left and right indents and selection start and length
// (one signed byte each), then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "library/editors/core/cxEditTextUtils.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"

namespace {

constexpr int kWidth = 160, kHeight = 96;
constexpr int kOrigin = 32;  // where the rectangle's coordinates start on the page

// One page for the whole run, made white again for each input: making a
// DC, a bitmap and a font costs more than most inputs cost to draw.
struct Page {
  Page() {
    win::SetTextRenderMode(win::TextRenderMode::Monochrome);
    Dc = win::CreateCompatibleDC(nullptr);
    Bmp = win::CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    win::SelectObject(Dc, Bmp);
    win::SelectObject(Dc, win::CreateFontA(-11, 0, 0, 0, win::FW_NORMAL, 0, 0, 0, win::DEFAULT_CHARSET, 0, 0, 0, 0,
                                           "Tahoma"));
    Surface = &win::gdi::LookupAs<win::gdi::Bitmap>(Bmp)->Surf;
    Clear();
    WhiteRow.assign(kWidth, win::gdi::ReadPixel(*Surface, 0, 0));
  }
  void Clear() {
    const win::RECT all{0, 0, kWidth, kHeight};
    win::FillRect(Dc, &all, reinterpret_cast<win::HBRUSH>(win::GetStockObject(win::WHITE_BRUSH)));
  }
  // Whether any pixel of row y in [x0, x1) is not white: the row is
  // compared whole, pixel by pixel only where it differs.
  bool Inked(int y, int x0, int x1) const {
    x0 = std::clamp(x0, 0, kWidth);
    x1 = std::clamp(x1, x0, kWidth);
    const auto* row = reinterpret_cast<const std::uint32_t*>(Surface->Row(y));
    if (std::memcmp(row + x0, WhiteRow.data() + x0, std::size_t(x1 - x0) * sizeof *row) == 0) return false;
    for (int x = x0; x < x1; ++x)
      if ((win::gdi::PixelToColor(row[x]) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
  }
  win::HDC Dc;
  win::HBITMAP Bmp;
  const win::gdi::Surface* Surface;
  std::vector<std::uint32_t> WhiteRow;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Page& page = *new Page();
  if (size < 13) return 0;
  page.Clear();
  // Whatever the text calls leave selected or set goes with the input.
  struct Saved {
    explicit Saved(win::HDC dc) : Dc(dc), Level(win::SaveDC(dc)) {}
    ~Saved() { win::RestoreDC(Dc, Level); }
    win::HDC Dc;
    int Level;
  } saved(page.Dc);
  const Cardinal format = Cardinal(data[0]) | Cardinal(data[1]) << 8 | Cardinal(data[2]) << 16 |
                          Cardinal(data[3]) << 24;
  auto at = [&](int i) { return int(static_cast<std::int8_t>(data[i])); };
  TRect R{kOrigin + 2 * at(4), kOrigin + 2 * at(5), kOrigin + 2 * at(6), kOrigin + 2 * at(7)};
  const bool measuring = format & cxtfCalcRect;
  // Measuring callers leave the right edge open.
  if (measuring && (format & 8)) R.Right = 0x7FFFFFFF;
  const int maxLines = at(8), leftIndent = at(9), rightIndent = at(10), selStart = at(11), selLength = at(12);
  // On the heap and exactly as long as the text, so a read past it is seen.
  const std::string text(reinterpret_cast<const char*>(data) + 13, size - 13);

  const TRect inner = cxPrepareRect(R, TcxTextParams{}, leftIndent, rightIndent);
  TRect r = R;
  const Integer result =
      cxTextOut(page.Dc, text, r, format, selStart, selLength, clBlue, clYellow, maxLines, leftIndent, rightIndent);
  if ((format & cxtfReturnRowCount) && (result < 0 || std::size_t(result) > text.size())) std::abort();
  if (!measuring && r != R) std::abort();
  if (!measuring && (format & cxtfNoClip)) return 0;
  for (int y = 0; y < kHeight; ++y) {
    const bool rowOutside = measuring || y < inner.Top || y >= inner.Bottom;
    if (rowOutside ? page.Inked(y, 0, kWidth) : page.Inked(y, 0, inner.Left) || page.Inked(y, inner.Right, kWidth))
      std::abort();
  }
  return 0;
}
