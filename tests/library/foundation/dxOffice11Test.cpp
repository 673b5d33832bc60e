// The Office-11 palette: the scheme read from the theme's names, colours
// from the table or from the system colours, counted brushes and bitmaps,
// colour arithmetic that stays inside a byte, gradients read back pixel by
// pixel, and the grip and arrow decorations as pictures.
#include <limits>
#include <set>
#include <string>

#include "support/HangGuard.h"
#include "ThemeSession.h"
#include "library/foundation/dxOffice11.h"
#include "platform/forms/Graphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Metrics.h"

using namespace win;

namespace {

constexpr TColor kPaper = 0x00FF00;  // a colour nothing here draws

// A 32-bit memory DC of the given size, cleared to kPaper.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
    old_ = SelectObject(dc_, ToObj(bitmap_));
    FillRectByColor(dc_, TRect{0, 0, width, height}, kPaper);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  TColor At(int x, int y) const { return static_cast<TColor>(GetPixel(dc_, x, y)); }
  // Each row as characters: '.' for paper, else the character of its colour.
  std::string Picture(const std::vector<std::pair<TColor, char>>& legend) const {
    std::string s;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const TColor c = At(x, y);
        char ch = c == kPaper ? '.' : '?';
        for (const auto& [color, mark] : legend)
          if (c == color) ch = mark;
        s += ch;
      }
      s += '\n';
    }
    return s;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Colour runs along a row (or a column).
int Runs(const Surface& s, int length, bool horizontal) {
  int runs = 0;
  TColor last = clNone;
  for (int i = 0; i < length; ++i) {
    const TColor c = horizontal ? s.At(i, 0) : s.At(0, i);
    if (c != last) ++runs;
    last = c;
  }
  return runs;
}

class Office11 : public ThemeSession {
 protected:
  void TearDown() override {
    while (created_-- > 0) ReleaseOffice11Colors();
    ThemeSession::TearDown();
  }
  void Create() {
    CreateOffice11Colors();
    ++created_;
  }
  void Release() {
    ReleaseOffice11Colors();
    --created_;
  }
  int created_ = 0;
};

TEST_F(Office11, TheLunaSchemesTakeTheirTableRowsAndOtherThemesTheSystemColours) {
  test::SetThemeNames(u"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", u"HomeStead", u"NormalSize");
  Create();
  EXPECT_EQ(GetOffice11Scheme(), schHomestead);
  EXPECT_TRUE(IsXPStandardScheme());
  EXPECT_EQ(dxOffice11ToolbarsColor1, 0xDEF7F4);
  EXPECT_EQ(dxOffice11NavPaneHeaderColor2, 0x447A63);  // the table's last column but one
  EXPECT_EQ(dxOffice11NavPaneSplitterColor1, dxOffice11NavPaneHeaderColor1);
  EXPECT_EQ(dxOffice11MenuDownedColor2, dxOffice11ToolbarsColor2);
  EXPECT_EQ(dxOffice11InPlaceSubItemColor, dxOffice11BarBorderMarkColors[1][0]);
  // The tube's middle pixel shows the scheme's depth: 125 % of the way.
  {
    Surface s(1, 10);
    FillTubeGradientRect(s.dc(), TRect{0, 0, 1, 10}, 0xC8C8C8, 0x000000, false);
    EXPECT_EQ(s.At(0, 0), 0xC8C8C8);
    EXPECT_EQ(s.At(0, 5), static_cast<TColor>(0x4B4B4B)) << "200 - 200 * 125 / 200";
    EXPECT_EQ(s.At(0, 9), 0x000000);
  }

  // The second standard file has no scheme of its own: system colours.
  test::SetThemeNames(u"/themes/royale.msstyles", u"NormalColor", u"NormalSize");
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  EXPECT_FALSE(IsXPStandardScheme());
  EXPECT_EQ(dxOffice11DockColor1, ColorToRGB(clBtnFace));
  EXPECT_EQ(dxOffice11ToolbarsColor1, GetMiddleRGB(clBtnFace, clWindow, 22));
  EXPECT_EQ(dxOffice11SelectedBorderColor, ColorToRGB(clHighlight));
  EXPECT_EQ(dxOffice11TextDisabledColor, ColorToRGB(clGrayText));
  // 212 -> 128 + 212 * 127 div 255 = 233 and 212 + 4 - 3 = 213, per channel.
  EXPECT_EQ(dxOffice11NavPaneGroupCaptionColor1, static_cast<TColor>(RGB(233, 231, 227)));
  EXPECT_EQ(dxOffice11NavPaneGroupCaptionColor2, static_cast<TColor>(RGB(213, 209, 201)));

  // Luna with a scheme it does not know, or with themes off.
  test::SetThemeNames(u"luna.msstyles", u"Olive", u"NormalSize");
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  test::SetThemeNames(u"luna.msstyles", u"Metallic", u"NormalSize");
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schMetallic);
  SetThemesActive(false);
  RefreshOffice11Colors();
  EXPECT_EQ(GetOffice11Scheme(), schUnknown);
  EXPECT_EQ(dxOffice11DockColor1, ColorToRGB(clBtnFace));
}

TEST_F(Office11, BrushesAndBitmapsLiveFromTheFirstCreateToTheLastRelease) {
  const int gdiBefore = GdiLiveObjectCount();
  Create();
  Create();
  const HBRUSH menu = dxOffice11MenuBrush;
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(dxOffice11DropDownBorderBrush2, menu);
  EXPECT_EQ(dxOffice11DetachableSelectedBrush, dxOffice11ToolbarSelectedBrush);
  EXPECT_EQ(dxOffice11StaticBorderBrush, dxOffice11DropDownBorderBrush1);
  ASSERT_NE(dxOffice11ExpandButtonBitmap1, nullptr);
  EXPECT_EQ(dxOffice11ExpandButtonBitmap1->GetWidth(), 11);
  EXPECT_EQ(dxOffice11ExpandButtonBitmap2->GetHeight(), 11);
  EXPECT_EQ(dxOffice11ExpandButtonColor2, 0x5F462E);

  Release();
  EXPECT_EQ(dxOffice11MenuBrush, menu) << "one user is left";
  EXPECT_EQ(GetObjectType(menu), static_cast<DWORD>(OBJ_BRUSH));
  Release();
  EXPECT_EQ(dxOffice11MenuBrush, nullptr);
  EXPECT_EQ(dxOffice11DropDownBorderBrush2, nullptr);
  EXPECT_EQ(dxOffice11SubMenuExpandBitmap, nullptr);
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore) << "13 brushes and 3 bitmaps, each deleted once";
  // A release too many changes nothing.
  ReleaseOffice11Colors();
  Create();
  EXPECT_NE(dxOffice11MenuBrush, nullptr);
}

// A 24-bit bitmap file of the given pixels (rows top-down).
std::string BitmapBytes(const std::vector<std::vector<TColor>>& rows) {
  auto* bitmap = New<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetWidth(static_cast<Integer>(rows[0].size()));
  bitmap->SetHeight(static_cast<Integer>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      bitmap->GetCanvas()->SetPixels(static_cast<Integer>(x), static_cast<Integer>(y), rows[y][x]);
  auto* stream = New<TMemoryStream>();
  bitmap->SaveToStream(stream);
  std::string bytes(static_cast<const char*>(stream->GetMemory()), static_cast<std::size_t>(stream->GetSize()));
  stream->Free();
  bitmap->Free();
  return bytes;
}

TEST_F(Office11, TheSubMenuArrowTakesTheToolbarGradientByItsShades) {
  test::SetThemeNames(u"luna.msstyles", u"NormalColor", u"NormalSize");
  Create();
  TCanvas* canvas = dxOffice11SubMenuExpandBitmap->GetCanvas();
  const TColor transparent = canvas->GetPixels(0, 0);
  std::set<TColor> colors;
  for (Integer y = 0; y < dxOffice11SubMenuExpandBitmap->GetHeight(); ++y)
    for (Integer x = 0; x < dxOffice11SubMenuExpandBitmap->GetWidth(); ++x) colors.insert(canvas->GetPixels(x, y));
  EXPECT_EQ(transparent, 0xFF00FF);
  EXPECT_TRUE(colors.count(clBlack)) << "the arrow stays black";
  EXPECT_TRUE(colors.count(dxOffice11ToolbarsColor1)) << "the lightest shade";
  EXPECT_TRUE(colors.count(dxOffice11ToolbarsColor2)) << "the darkest shade";
  Release();

  // Shades of a single red value have no spread to divide by: they take
  // the first colour.
  const TResourceData* original = FindResourceData("DXSUBMENUEXPAND", "BITMAP");
  ASSERT_NE(original, nullptr);
  const std::string saved(reinterpret_cast<const char*>(original->Data), original->Size);
  const std::string flat = BitmapBytes({{0xFF00FF, 0x808080, 0xC08080}, {0x000000, 0x808080, 0xFF00FF}});
  RegisterResource("DXSUBMENUEXPAND", "BITMAP", flat.data(), flat.size());
  Create();
  canvas = dxOffice11SubMenuExpandBitmap->GetCanvas();
  EXPECT_EQ(canvas->GetPixels(0, 0), 0xFF00FF);
  EXPECT_EQ(canvas->GetPixels(0, 1), clBlack);
  EXPECT_EQ(canvas->GetPixels(1, 0), dxOffice11ToolbarsColor1);
  EXPECT_EQ(canvas->GetPixels(2, 0), dxOffice11ToolbarsColor1);
  EXPECT_EQ(canvas->GetPixels(1, 1), dxOffice11ToolbarsColor1);
  Release();
  RegisterResource("DXSUBMENUEXPAND", "BITMAP", saved.data(), saved.size());
}

TEST_F(Office11, ColourArithmeticStaysInsideEachChannel) {
  const TColor a = RGB(200, 100, 50), b = RGB(20, 40, 60);
  EXPECT_EQ(GetMiddleRGB(a, b, 100), a);
  EXPECT_EQ(GetMiddleRGB(a, b, 0), b);
  EXPECT_EQ(GetMiddleRGB(a, b, 50), static_cast<TColor>(RGB(110, 70, 55)));
  EXPECT_EQ(GetMiddleRGB(clBtnFace, clWindow, 100), ColorToRGB(clBtnFace)) << "system colours resolved";
  // Percentages outside 0..100 would push a channel below 0 or above 255
  // and into its neighbour; each channel stops at its bound instead.
  EXPECT_EQ(GetMiddleRGB(RGB(0, 0, 0), RGB(255, 255, 255), 150), static_cast<TColor>(RGB(0, 0, 0)));
  EXPECT_EQ(GetMiddleRGB(RGB(255, 0, 255), RGB(0, 255, 0), 150), static_cast<TColor>(RGB(255, 0, 255)));
  EXPECT_EQ(GetMiddleRGB(RGB(0, 255, 0), RGB(255, 0, 255), -20), static_cast<TColor>(RGB(255, 0, 255)));

  // Light: 255 at 50 % is 128 + 128, which a byte cannot hold.
  EXPECT_EQ(Light(clWhite, 50), clWhite);
  EXPECT_EQ(Light(RGB(100, 0, 200), 50), static_cast<TColor>(RGB(178, 128, 228)));
  EXPECT_EQ(Light(RGB(100, 0, 200), 100), static_cast<TColor>(RGB(100, 0, 200)));
  EXPECT_EQ(Light(RGB(100, 0, 200), 200), static_cast<TColor>(RGB(0, 0, 145))) << "lift below zero";
  EXPECT_EQ(Dark(RGB(100, 0, 200), 50), static_cast<TColor>(RGB(50, 0, 100)));
  EXPECT_EQ(Dark(RGB(100, 0, 200), 200), static_cast<TColor>(RGB(200, 0, 255)));
}

TEST_F(Office11, GradientsDrawAtMost256BandsAndOneBandForOnePixel) {
  {
    Surface s(1000, 1);
    FillGradientRect(s.dc(), TRect{0, 0, 1000, 1}, clBlack, clWhite, true);
    EXPECT_EQ(Runs(s, 1000, true), 256);
    EXPECT_EQ(s.At(0, 0), clBlack);
    EXPECT_EQ(s.At(999, 0), clWhite);
    // Every position reads back the colour of its band.
    for (int x = 0; x < 1000; ++x)
      EXPECT_EQ(GetGradientColorRect(TRect{0, 0, 1000, 1}, x, clBlack, clWhite, true), s.At(x, 0)) << x;
  }
  {
    Surface s(1, 10);
    FillGradientRect(s.dc(), TRect{0, 0, 1, 10}, RGB(0, 0, 90), RGB(0, 0, 0), false);
    EXPECT_EQ(Runs(s, 10, false), 10);
    EXPECT_EQ(s.At(0, 1), static_cast<TColor>(RGB(0, 0, 80)));
    EXPECT_EQ(GetGradientColorRect(TRect{0, 0, 1, 10}, 4, RGB(0, 0, 90), RGB(0, 0, 0), false), s.At(0, 4));
    // Positions beyond either end take that end's colour.
    EXPECT_EQ(GetGradientColorRect(TRect{0, 0, 1, 10}, 50, RGB(0, 0, 90), RGB(0, 0, 0), false), clBlack);
    EXPECT_EQ(GetGradientColorRect(TRect{0, 0, 1, 10}, -5, RGB(0, 0, 90), RGB(0, 0, 0), false),
              static_cast<TColor>(RGB(0, 0, 90)));
  }
  {
    Surface s(3, 3);
    FillGradientRect(s.dc(), TRect{1, 1, 1, 3}, clRed, clBlue, true);  // empty
    FillGradientRect(s.dc(), TRect{0, 0, 1, 1}, clRed, clBlue, true);  // one pixel
    FillTubeGradientRect(s.dc(), TRect{2, 0, 3, 1}, clRed, clBlue, false);
    GetGradientColorRect(TRect{0, 0, 0, 0}, 0, clRed, clBlue, true);
    EXPECT_EQ(s.Picture({{clRed, 'r'}}), "r.r\n...\n...\n");
    EXPECT_EQ(GetGradientColorRect(TRect{0, 0, 1, 1}, 0, clRed, clBlue, true), clRed);
  }
}

TEST_F(Office11, HugeGradientsAndGripsCostWhatTheDCShowsAndKeepTheirLook) {
  Create();
  constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  HangGuard guard(60);
  // A tube two billion lines long starts in its first colour, and
  // recorded into a metafile it takes a fill per colour, not per line.
  {
    Surface s(4, 8);
    FillTubeGradientRect(s.dc(), TRect{0, 0, 4, 2000000000}, clRed, clBlue, false);
    EXPECT_EQ(s.At(0, 0), clRed);
    EXPECT_EQ(s.At(3, 7), clRed);
    HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    FillTubeGradientRect(meta, TRect{0, 0, 2000000000, 4}, clRed, clBlue, true);
    HENHMETAFILE emf = CloseEnhMetaFile(meta);
    EXPECT_LT(GetEnhMetaFileBits(emf, 0, nullptr), 500000u);
    DeleteEnhMetaFile(emf);
  }
  // Gradients across all of Integer: the middle reads back as drawn.
  {
    Surface s(1, 1);
    FillGradientRect(s.dc(), TRect{lo, lo, hi, hi}, clBlack, clWhite, true);
    EXPECT_EQ(GetGradientColorRect(TRect{lo, lo, hi, hi}, 0, clBlack, clWhite, true), s.At(0, 0));
    FillTubeGradientRect(s.dc(), TRect{lo, lo, hi, hi}, clBlack, clWhite, false);
  }
  // A grip two billion pixels long shows its first dots as a short one.
  {
    Surface f(4, 12);
    Office11DrawFingerElements(f.dc(), TRect{0, 0, 4, 2000000000}, true);
    EXPECT_EQ(f.Picture({{dxOffice11BarFingerColor1, '#'}, {dxOffice11BarFingerColor2, 'o'}}),
              "##..\n##o.\n.oo.\n....\n##..\n##o.\n.oo.\n....\n##..\n##o.\n.oo.\n....\n");
    Office11DrawFingerElements(f.dc(), TRect{lo, lo, hi, hi}, false);
    Office11DrawSizeGrip(f.dc(), TRect{lo, lo, lo + 5, lo + 5});
    Office11DrawItemArrow(f.dc(), TRect{lo, lo, hi, hi}, true, true, false, false);
    Office11DrawItemArrow(f.dc(), TRect{hi - 5, lo, hi, hi}, false, true, false, false);
  }
}

TEST_F(Office11, GripDotsAndItemArrowsArePlacedByTheirRectangles) {
  Create();
  Surface s(16, 16);
  Office11DrawSizeGrip(s.dc(), TRect{0, 0, 16, 16});
  EXPECT_EQ(s.Picture({{dxOffice11BarFingerColor1, '#'}, {dxOffice11BarFingerColor2, 'o'}}),
            "................\n"
            "................\n"
            "................\n"
            "................\n"
            "................\n"
            "............##..\n"
            "............##o.\n"
            ".............oo.\n"
            "................\n"
            "........##..##..\n"
            "........##o.##o.\n"
            ".........oo..oo.\n"
            "................\n"
            "....##..##..##..\n"
            "....##o.##o.##o.\n"
            ".....oo..oo..oo.\n");

  // Each dot: a light square, then a dark one over it one pixel up and
  // left. A column of 10 pixels: 10 mod 4 = 2, halved: the dots start 1
  // pixel down, and a third would pass the bottom.
  Surface f(4, 12);
  Office11DrawFingerElements(f.dc(), TRect{0, 0, 4, 10}, true);
  EXPECT_EQ(f.Picture({{dxOffice11BarFingerColor1, '#'}, {dxOffice11BarFingerColor2, 'o'}}),
            "....\n##..\n##o.\n.oo.\n....\n##..\n##o.\n.oo.\n....\n....\n....\n....\n");

  Surface a(16, 10);
  Office11DrawItemArrow(a.dc(), TRect{0, 0, 16, 10}, true, true, false, false);
  Office11DrawItemArrow(a.dc(), TRect{10, 0, 16, 10}, false, false, false, false);
  EXPECT_EQ(a.Picture({{dxOffice11TextEnabledColor, '#'}, {dxOffice11TextDisabledColor, '-'}}),
            "................\n"
            "................\n"
            "...........-....\n"
            ".....#####.--...\n"
            "......###..---..\n"
            ".......#...--...\n"
            "...........-....\n"
            "................\n"
            "................\n"
            "................\n");
}

}  // namespace
