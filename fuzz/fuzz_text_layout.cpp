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
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/editors/core/cxEditTextUtils.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Fills.h"

namespace {

constexpr int kWidth = 160, kHeight = 96;
constexpr int kOrigin = 32;  // where the rectangle's coordinates start on the page

struct Page {
  Page() {
    win::SetTextRenderMode(win::TextRenderMode::Monochrome);
    Dc = win::CreateCompatibleDC(nullptr);
    Bmp = win::CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    OldBmp = win::SelectObject(Dc, Bmp);
    Font = win::CreateFontA(-11, 0, 0, 0, win::FW_NORMAL, 0, 0, 0, win::DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    OldFont = win::SelectObject(Dc, Font);
    win::HBRUSH white = win::CreateSolidBrush(0xFFFFFF);
    const win::RECT all{0, 0, kWidth, kHeight};
    win::FillRect(Dc, &all, white);
    win::DeleteObject(white);
  }
  ~Page() {
    win::SelectObject(Dc, OldFont);
    win::SelectObject(Dc, OldBmp);
    win::DeleteObject(Font);
    win::DeleteObject(Bmp);
    win::DeleteDC(Dc);
  }
  bool Inked(int X, int Y) const {
    auto* bm = win::gdi::LookupAs<win::gdi::Bitmap>(Bmp);
    return (win::gdi::PixelToColor(win::gdi::ReadPixel(bm->Surf, X, Y)) & 0xFFFFFF) != 0xFFFFFF;
  }
  win::HDC Dc;
  win::HBITMAP Bmp, OldBmp;
  win::HFONT Font, OldFont;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 13) return 0;
  Page page;
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
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (page.Inked(x, y) &&
          (measuring || x < inner.Left || x >= inner.Right || y < inner.Top || y >= inner.Bottom))
        std::abort();
  return 0;
}
