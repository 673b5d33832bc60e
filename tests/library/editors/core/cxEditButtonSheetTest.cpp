// The editor buttons' contact sheet: a row per button style and kind, a
// cell per state, stand-alone (left half) and in place as a grid cell
// (right half), compared with the golden image kept beside this file. A
// person looks at the picture before a new golden image is accepted;
// ORVANTA_UPDATE_GOLDEN=1 writes it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "EditPaintFixture.h"
#include "platform/gdi/Fonts.h"
#include "platform/rtl/Owned.h"
#include "platform/theme/GoldenImage.h"

using namespace edit_paint_test;

namespace {

constexpr TColor kPage = 0xF0F0F0;
constexpr Integer kLabelWidth = 112;
constexpr Integer kCellWidth = 76;
constexpr Integer kEditWidth = 68;
constexpr Integer kRowHeight = 26;
constexpr Integer kTop = 22;

const TcxEditButtonStyle kStyles[] = {btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11};
const TcxEditButtonKind kKinds[] = {bkEllipsis, bkDown, bkGlyph, bkText};
const TcxEditButtonState kStates[] = {ebsNormal, ebsSelected, ebsPressed, ebsDisabled};
const char* const kStyleNames[] = {"Default", "3D", "Flat", "Simple", "HotFlat", "UltraFlat", "Office11"};
const char* const kKindNames[] = {"ellipsis", "down", "glyph", "text"};
const char* const kStateNames[] = {"normal", "hot", "pressed", "disabled"};

// A small picture on a see-through magenta ground: a dark blue check mark.
TBitmap* MakeGlyph() {
  TBitmap* glyph = cxCreateBitmap(9, 8);
  TCanvas* c = glyph->GetCanvas();
  c->GetBrush()->SetColor(static_cast<TColor>(0xFF00FF));
  c->FillRect({0, 0, 9, 8});
  const int checkX[] = {1, 2, 3, 4, 5, 6, 7};
  const int checkY[] = {3, 4, 5, 4, 3, 2, 1};
  for (int i = 0; i < 7; ++i)
    for (int d = 0; d < 3; ++d) c->SetPixels(checkX[i], checkY[i] + d, static_cast<TColor>(0x800000));
  return glyph;
}

themetest::Image Render() {
  const Integer width = kLabelWidth + 8 * kCellWidth + 8;
  const Integer height = kTop + 28 * kRowHeight + 4;
  PainterCanvas sheet(width, height, kPage);
  TcxCanvas* C = sheet.get();
  TOwned<TFont> font(New<TFont>());
  font->SetName("Tahoma");
  font->SetSize(8);
  C->GetFont()->Assign(font.get());
  TOwned<TBitmap> glyph(MakeGlyph());

  auto label = [&](const std::string& text, const TRect& R, Integer flags) {
    C->GetBrush()->SetStyle(bsClear);
    C->GetFont()->SetColor(clBtnText);
    C->DrawTexT(text, R, flags | cxAlignVCenter | cxSingleLine);
    C->GetBrush()->SetStyle(bsSolid);
  };
  for (Integer half = 0; half < 2; ++half) {
    const Integer left = kLabelWidth + half * 4 * kCellWidth + half * 8;
    label(half == 0 ? "stand-alone" : "in place", TRect(left, 0, left + 4 * kCellWidth, 11), cxAlignHCenter);
    for (Integer s = 0; s < 4; ++s)
      label(kStateNames[s], TRect(left + s * kCellWidth, 10, left + (s + 1) * kCellWidth - 8, kTop), cxAlignHCenter);
  }

  Integer row = 0;
  for (Integer st = 0; st < 7; ++st)
    for (Integer k = 0; k < 4; ++k, ++row) {
      const Integer top = kTop + row * kRowHeight;
      label(std::string(kStyleNames[st]) + " " + kKindNames[k], TRect(4, top, kLabelWidth - 4, top + 21), cxAlignLeft);
      for (Integer half = 0; half < 2; ++half)
        for (Integer s = 0; s < 4; ++s) {
          const bool inplace = half == 1;
          const Integer left = kLabelWidth + half * (4 * kCellWidth + 8) + s * kCellWidth;
          const TRect bounds = inplace ? TRect(left, top + 2, left + kEditWidth, top + 19)
                                       : TRect(left, top, left + kEditWidth, top + 21);
          TestEditViewInfo V;
          LayOut(V, bounds, inplace, kStyles[st], kKinds[k], kStates[s], kKinds[k] == bkText ? 24 : 17);
          V.Buttons[0].Glyph = glyph.get();
          DrawCustomEdit(C, &V, true, bpsSolid);
          if (inplace) {
            // The grid's lines around the cell.
            cxEditFillRect(C, TRect(bounds.Left, bounds.Bottom, bounds.Right, bounds.Bottom + 1), clBtnShadow);
            cxEditFillRect(C, TRect(bounds.Left, bounds.Top - 1, bounds.Right, bounds.Top), clBtnShadow);
          }
        }
    }

  themetest::Image img;
  img.Width = width;
  img.Height = height;
  img.Pixels.resize(static_cast<std::size_t>(width) * height);
  for (Integer y = 0; y < height; ++y)
    for (Integer x = 0; x < width; ++x) {
      const auto p = static_cast<std::uint32_t>(sheet.At(x, y));
      img.Pixels[static_cast<std::size_t>(y) * width + x] = (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }
  return img;
}

class cxEditButtonSheet : public EditPaintSession {};

TEST_F(cxEditButtonSheet, EveryButtonStyleKindAndStateMatchesTheGoldenImage) {
  const win::TextRenderMode mode = win::GetTextRenderMode();
  win::SetTextRenderMode(win::TextRenderMode::Monochrome);
  themetest::Image img = Render();
  win::SetTextRenderMode(mode);

  themetest::ExpectMatchesGolden(img, "EditButtonSheet.png", "tests/library/editors/core/EditButtonSheet.png");
}

}  // namespace
