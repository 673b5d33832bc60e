// A memory DC over a white 32-bit bitmap with a chosen font, and pixel
// helpers, for the text tests. Glyph pixels are checked in monochrome
// mode only: grey-scale coverage belongs to the font rasteriser.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/Text.h"

class TextFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    win::SetTextRenderMode(win::TextRenderMode::Monochrome);
    Dc = win::CreateCompatibleDC(nullptr);
    Bmp = win::CreateBitmap(Width, Height, 1, 32, nullptr);
    OldBmp = win::SelectObject(Dc, Bmp);
    Clear(RGB_WHITE);
    UseFont("Tahoma", -11);
  }
  void TearDown() override {
    win::SelectObject(Dc, OldBmp);
    if (OldFont) win::SelectObject(Dc, OldFont);
    if (Font) win::DeleteObject(Font);
    win::DeleteObject(Bmp);
    win::DeleteDC(Dc);
  }

  static constexpr COLORREF RGB_WHITE = 0xFFFFFF;

  // Selects a new font (the previous one of the fixture is deleted).
  void UseFont(const char* face, int height, int weight = win::FW_NORMAL, bool underline = false,
               bool strikeOut = false, int escapement = 0) {
    win::HFONT f = win::CreateFontA(height, 0, escapement, escapement, weight, 0, underline, strikeOut,
                                    win::DEFAULT_CHARSET, 0, 0, 0, 0, face);
    win::HFONT prev = win::SelectObject(Dc, f);
    if (!OldFont) OldFont = prev;
    if (Font) win::DeleteObject(Font);
    Font = f;
  }

  void Clear(COLORREF c) {
    win::HBRUSH b = win::CreateSolidBrush(c);
    win::RECT r{0, 0, Width, Height};
    win::FillRect(Dc, &r, b);
    win::DeleteObject(b);
  }

  int TextWidth(const std::string& s) {
    win::SIZE sz{};
    win::GetTextExtentPoint32A(Dc, s.data(), int(s.size()), &sz);
    return sz.cx;
  }

  // The bitmap's pixel, whatever the DC's clip.
  COLORREF Pixel(int x, int y) {
    auto* bm = win::gdi::LookupAs<win::gdi::Bitmap>(Bmp);
    return win::gdi::PixelToColor(win::gdi::ReadPixel(bm->Surf, x, y)) & 0xFFFFFF;
  }

  // The bounding box of pixels that are not the given colour, or an empty
  // rectangle when there are none.
  TRect InkBox(COLORREF background = RGB_WHITE, TRect area = {0, 0, 0, 0}) {
    if (area.Right == 0) area = {0, 0, Width, Height};
    TRect box{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x)
        if (Pixel(x, y) != background) {
          box.Left = std::min(box.Left, x);
          box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1);
          box.Bottom = std::max(box.Bottom, y + 1);
        }
    if (box.Left >= box.Right) return {0, 0, 0, 0};
    return box;
  }

  int CountColor(COLORREF c, TRect area) {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) n += Pixel(x, y) == c;
    return n;
  }

  int Width = 240, Height = 120;
  win::HDC Dc = nullptr;
  win::HBITMAP Bmp = nullptr;
  win::HBITMAP OldBmp = nullptr;
  win::HFONT Font = nullptr;
  win::HFONT OldFont = nullptr;
};
