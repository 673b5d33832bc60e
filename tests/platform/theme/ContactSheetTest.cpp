// The contact sheet: every class the theme draws in one picture, a row per
// class and a cell per part and state, compared pixel for pixel with the
// golden image kept beside this file. A person looks at the picture before
// a new golden image is accepted; ORVANTA_UPDATE_GOLDEN=1 writes it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "GoldenImage.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/theme/ThemeApi.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Modules.h"
#include "platform/win/TestHooks.h"

namespace {

using namespace win;

constexpr COLORREF kPage = RGB(243, 244, 246);
constexpr int kLabelWidth = 78;
constexpr int kGap = 6;
constexpr int kGroupGap = 14;

// One part of a row: its cells' size, the states shown, an optional
// caption drawn with the theme's text routine, and for grippers the thumb
// part drawn below them as the scroll-bar painter does.
struct PartCells {
  int part;
  SIZE size;
  int firstState, lastState;
  const char16_t* caption = nullptr;
  int under = 0;
};

struct Row {
  const char* label;
  const char16_t* cls;
  std::vector<std::vector<PartCells>> lines;
};

std::vector<Row> Sheet() {
  return {
      {"Button", u"Button",
       {{{1, {64, 23}, 1, 5, u"Button"}, {2, {13, 13}, 1, 8}, {3, {13, 13}, 1, 12}, {4, {40, 30}, 1, 2}}}},
      {"ScrollBar", u"ScrollBar",
       {{{1, {16, 16}, 1, 16}, {2, {44, 16}, 1, 4}, {3, {16, 44}, 1, 4}},
        {{4, {26, 16}, 1, 4}, {5, {26, 16}, 1, 4}, {6, {16, 26}, 1, 4}, {7, {16, 26}, 1, 4},
         {8, {44, 16}, 1, 4, nullptr, 2}, {9, {16, 44}, 1, 4, nullptr, 3}, {10, {16, 16}, 1, 2}}}},
      {"Edit", u"Edit", {{{1, {52, 21}, 1, 6, u"Text"}}}},
      {"ComboBox", u"ComboBox", {{{1, {17, 21}, 1, 4}}}},
      {"Spin", u"Spin", {{{1, {15, 10}, 1, 4}, {2, {15, 10}, 1, 4}, {3, {10, 15}, 1, 4}, {4, {10, 15}, 1, 4}}}},
      {"Header", u"Header", {{{1, {56, 22}, 1, 3, u"Name"}, {2, {56, 22}, 1, 3}, {3, {56, 22}, 1, 3}}}},
      {"ListView", u"ListView", {{{5, {44, 30}, 1, 1}}}},
      {"TreeView", u"TreeView", {{{2, {9, 9}, 1, 2}}}},
      {"ExplorerBar", u"ExplorerBar", {{{6, {17, 17}, 1, 3}, {7, {17, 17}, 1, 3}, {8, {96, 25}, 1, 1, u"Group"}}}},
      {"TrackBar", u"TrackBar", {{{1, {52, 20}, 1, 1, u"Sum"}}}},
      {"Tab", u"Tab", {{{1, {56, 22}, 1, 4, u"Page"}, {9, {52, 30}, 1, 1}}}},
      {"Window", u"Window", {{{19, {13, 13}, 1, 4}}}},
      {"ToolBar", u"ToolBar", {{{1, {24, 22}, 1, 6}}}},
  };
}

int LineWidth(const std::vector<PartCells>& line) {
  int w = 0;
  for (const PartCells& p : line) w += (p.lastState - p.firstState + 1) * (p.size.cx + kGap) + kGroupGap;
  return w;
}

int LineHeight(const std::vector<PartCells>& line) {
  int h = 0;
  for (const PartCells& p : line) h = std::max(h, static_cast<int>(p.size.cy));
  return h + 2 * kGap;
}

// The functions as a program binds them: by name from the theme library.
struct Bound {
  decltype(&OpenThemeData) open;
  decltype(&CloseThemeData) close;
  decltype(&DrawThemeBackground) background;
  decltype(&DrawThemeText) text;
  decltype(&GetThemeBackgroundContentRect) content;

  explicit Bound(HMODULE m)
      : open(reinterpret_cast<decltype(open)>(GetProcAddress(m, "OpenThemeData"))),
        close(reinterpret_cast<decltype(close)>(GetProcAddress(m, "CloseThemeData"))),
        background(reinterpret_cast<decltype(background)>(GetProcAddress(m, "DrawThemeBackground"))),
        text(reinterpret_cast<decltype(text)>(GetProcAddress(m, "DrawThemeText"))),
        content(reinterpret_cast<decltype(content)>(GetProcAddress(m, "GetThemeBackgroundContentRect"))) {}
};

themetest::Image Render() {
  std::vector<Row> rows = Sheet();
  int width = 0, height = kGap;
  for (const Row& r : rows)
    for (const auto& line : r.lines) {
      width = std::max(width, kLabelWidth + LineWidth(line));
      height += LineHeight(line);
    }

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ oldBmp = SelectObject(dc, ToObj(bmp));
  HBRUSH page = CreateSolidBrush(kPage);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, page);
  DeleteObject(page);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, ToObj(font));
  SetBkMode(dc, TRANSPARENT);

  HMODULE module = LoadLibraryA("UxTheme.dll");
  EXPECT_NE(module, nullptr);
  Bound fn(module);
  int y = kGap;
  for (const Row& row : rows) {
    HTHEME theme = fn.open(nullptr, row.cls);
    EXPECT_NE(theme, nullptr) << row.label;
    RECT label{4, y, kLabelWidth - 4, y + LineHeight(row.lines[0]) - 2 * kGap};
    SetTextColor(dc, RGB(60, 64, 72));
    DrawTextA(dc, row.label, -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    for (const auto& line : row.lines) {
      const int lineHeight = LineHeight(line) - 2 * kGap;
      int x = kLabelWidth;
      for (const PartCells& p : line) {
        for (int state = p.firstState; state <= p.lastState; ++state) {
          RECT cell{x, y + (lineHeight - p.size.cy) / 2, x + p.size.cx, y + (lineHeight - p.size.cy) / 2 + p.size.cy};
          if (p.under) {
            EXPECT_EQ(fn.background(theme, dc, p.under, state, &cell, nullptr), S_OK);
          }
          EXPECT_EQ(fn.background(theme, dc, p.part, state, &cell, nullptr), S_OK)
              << row.label << " part " << p.part << " state " << state;
          if (p.caption) {
            RECT text{};
            fn.content(theme, dc, p.part, state, &cell, &text);
            UINT flags = DT_SINGLELINE | DT_VCENTER | (p.part == 8 || row.cls == std::u16string_view(u"Header")
                                                            ? DT_LEFT
                                                            : DT_CENTER);
            if (p.part == 8) text.Left += 2;
            fn.text(theme, dc, p.part, state, p.caption, -1, flags, 0, &text);
          }
          x += p.size.cx + kGap;
        }
        x += kGroupGap;
      }
      y += LineHeight(line);
    }
    fn.close(theme);
  }
  FreeLibrary(module);

  themetest::Image img;
  img.Width = width;
  img.Height = height;
  img.Pixels.resize(static_cast<std::size_t>(width) * height);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  SelectObject(dc, oldBmp);
  GetDIBits(dc, bmp, 0, UINT(height), img.Pixels.data(), &info, DIB_RGB_COLORS);
  for (std::uint32_t& p : img.Pixels) p &= 0x00FFFFFF;
  SelectObject(dc, oldFont);
  DeleteObject(font);
  DeleteObject(bmp);
  DeleteDC(dc);
  return img;
}

TEST(ContactSheet, EveryClassPartAndStateMatchesTheGoldenImage) {
  test::Session session;
  InstallThemeModule();
  test::ResetThemeModule();
  SetThemesActive(true);
  TextRenderMode mode = GetTextRenderMode();
  SetTextRenderMode(TextRenderMode::Monochrome);
  themetest::Image img = Render();
  SetTextRenderMode(mode);
  EXPECT_EQ(test::OpenThemeCount(), 0);

  themetest::ExpectMatchesGolden(img, "ThemeContactSheet.png", "tests/platform/theme/ThemeContactSheet.png");
}

}  // namespace
