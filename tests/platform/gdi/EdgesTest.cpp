// Classic elements: edges in every side combination, the focus rectangle
// erased by a second call, the radio and check glyphs, and the system
// bitmaps built from them.
#include <climits>

#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

namespace {

constexpr COLORREF kHi = RGB(250, 250, 250), kLight = RGB(200, 200, 200), kShadow = RGB(100, 100, 100),
                   kDark = RGB(50, 50, 50), kFace = RGB(150, 150, 150), kBack = RGB(0, 255, 0);

// Distinct colours for the edge roles so a picture tells them apart.
COLORREF TestColors(int index) {
  switch (index) {
    case COLOR_3DHILIGHT: return kHi;
    case COLOR_3DLIGHT: return kLight;
    case COLOR_3DSHADOW: return kShadow;
    case COLOR_3DDKSHADOW: return kDark;
    case COLOR_BTNFACE: return kFace;
    default: return ClassicSysColor(index);
  }
}

class ClassicColors : public ::testing::Test {
 protected:
  void SetUp() override { SetSysColorLookup(TestColors); }
  void TearDown() override { SetSysColorLookup(nullptr); }
};

std::vector<std::string> Roles(const Canvas& c) {
  std::vector<std::string> rows;
  for (int y = 0; y < c.H; ++y) {
    std::string s;
    for (int x = 0; x < c.W; ++x) {
      COLORREF p = c.At(x, y);
      s += p == kHi ? 'H' : p == kLight ? 'L' : p == kShadow ? 'S' : p == kDark ? 'D' : p == kFace ? 'F' : '.';
    }
    rows.push_back(s);
  }
  return rows;
}

}  // namespace

using EdgeTest = ClassicColors;

TEST_F(EdgeTest, RaisedAndSunkenInTheClassicOrder) {
  Canvas c(6, 5, kBack);
  RECT r{0, 0, 6, 5};
  DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT);
  EXPECT_EQ(Roles(c), (std::vector<std::string>{"LLLLLD", "LHHHSD", "LH..SD", "LSSSSD", "DDDDDD"}));
  Canvas s(6, 5, kBack);
  DrawEdge(s.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
  EXPECT_EQ(Roles(s), (std::vector<std::string>{"SSSSSH", "SDDDLH", "SDFFLH", "SLLLLH", "HHHHHH"}));
  Canvas e(4, 4, kBack);
  RECT q{0, 0, 4, 4};
  DrawEdge(e.Dc, &q, EDGE_ETCHED, BF_RECT);
  EXPECT_EQ(Roles(e), (std::vector<std::string>{"SSSH", "SHSH", "SSSH", "HHHH"}));
  Canvas b(4, 4, kBack);
  DrawEdge(b.Dc, &q, EDGE_BUMP, BF_RECT);
  EXPECT_EQ(Roles(b), (std::vector<std::string>{"LLLD", "LDLD", "LLLD", "DDDD"}));
}

TEST_F(EdgeTest, EverySideCombinationPaintsItsSidesAndAdjustsTheRectangle) {
  for (UINT edge : {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, UINT(BDR_RAISEDINNER), UINT(BDR_SUNKENOUTER)})
    for (UINT sides = 0; sides < 16; ++sides) {
      Canvas c(10, 10, kBack);
      RECT r{1, 1, 9, 9};
      DrawEdge(c.Dc, &r, edge, sides | BF_ADJUST);
      int borders = ((edge & BDR_OUTER) ? 1 : 0) + ((edge & BDR_INNER) ? 1 : 0);
      RECT want{1 + ((sides & BF_LEFT) ? borders : 0), 1 + ((sides & BF_TOP) ? borders : 0),
                9 - ((sides & BF_RIGHT) ? borders : 0), 9 - ((sides & BF_BOTTOM) ? borders : 0)};
      EXPECT_EQ(r, want) << "edge " << edge << " sides " << sides;
      // Painted pixels are exactly the border band of the flagged sides.
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
          bool inBox = x >= 1 && x < 9 && y >= 1 && y < 9;
          bool inside = x >= want.Left && x < want.Right && y >= want.Top && y < want.Bottom;
          bool painted = c.At(x, y) != kBack;
          ASSERT_EQ(painted, inBox && !inside) << "edge " << edge << " sides " << sides << " at " << x << "," << y;
        }
    }
}

TEST_F(EdgeTest, SoftFlatAndMono) {
  Canvas c(4, 4, kBack);
  RECT r{0, 0, 4, 4};
  DrawEdge(c.Dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT);
  EXPECT_EQ(Roles(c), (std::vector<std::string>{"HHHD", "HLSD", "HSSD", "DDDD"}));
  Canvas f(4, 4, kBack);
  DrawEdge(f.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_FLAT);
  EXPECT_EQ(Roles(f), (std::vector<std::string>{"SSSS", "SFFS", "SFFS", "SSSS"}));
  Canvas m(4, 4, kBack);
  DrawEdge(m.Dc, &r, EDGE_SUNKEN, BF_RECT | BF_MONO | BF_MIDDLE);
  EXPECT_EQ(m.Count(kBlack), 12) << "window frame outside";
  EXPECT_EQ(m.Count(kWhite), 4) << "window colour inside";
}

TEST(FocusRect, DottedAndErasedByASecondCall) {
  Canvas c(8, 6, kRed);
  SetWindowOrgEx(c.Dc, -1, 0, nullptr);  // the dots' phase follows device positions
  RECT r{0, 0, 6, 5};
  DrawFocusRect(c.Dc, &r);
  EXPECT_EQ(c.Picture(RGB(0, 255, 255)), (std::vector<std::string>{
                                              "..#.#.#.",
                                              ".#......",
                                              "......#.",
                                              ".#......",
                                              "..#.#.#.",
                                              "........",
                                          }));
  DrawFocusRect(c.Dc, &r);
  EXPECT_EQ(c.Count(kRed), 48);
  // On a monochrome bitmap too.
  Canvas m(4, 4, kWhite, 1);
  RECT q{0, 0, 4, 4};
  DrawFocusRect(m.Dc, &q);
  EXPECT_EQ(m.Count(kBlack), 6);
  DrawFocusRect(m.Dc, &q);
  EXPECT_EQ(m.Count(kBlack), 0);

  // Round an item as wide as a huge scroll extent, drawn and erased as
  // often as a list redraws its focus: only the dots that show flip, and
  // each time costs what shows.
  Canvas wide(8, 6, kRed);
  RECT band{INT_MIN, 2, INT_MAX, 4};
  DrawFocusRect(wide.Dc, &band);
  EXPECT_EQ(wide.Picture(RGB(0, 255, 255)), (std::vector<std::string>{
                                                 "........",
                                                 "........",
                                                 "#.#.#.#.",
                                                 ".#.#.#.#",
                                                 "........",
                                                 "........",
                                             }));
  DrawFocusRect(wide.Dc, &band);
  for (int i = 0; i < 256; ++i) DrawFocusRect(wide.Dc, &band), DrawFocusRect(wide.Dc, &band);
  EXPECT_EQ(wide.Count(kRed), 48);
}

TEST(FrameControls, RadioGlyphHasRingsInteriorAndDot) {
  Canvas c(12, 12, kRed);
  RECT r{0, 0, 12, 12};
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(c.Bounds(kBlack), (RECT{4, 4, 8, 8})) << "a 4 x 4 dot in the window text colour";
  EXPECT_EQ(c.Count(kBlack), 16);
  EXPECT_EQ(c.At(0, 0), kRed) << "outside the circle untouched";
  EXPECT_EQ(c.At(5, 0), RGB(128, 128, 128)) << "outer ring, upper left: shadow";
  EXPECT_EQ(c.At(5, 11), kWhite) << "outer ring, lower right: highlight";
  EXPECT_EQ(c.At(5, 1), RGB(64, 64, 64)) << "inner ring, upper left: dark shadow";
  EXPECT_EQ(c.At(3, 3), kWhite) << "inside: window colour";
  Canvas m(12, 12, kRed);
  DrawFrameControl(m.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  HRGN circle = CreateEllipticRgn(0, 0, 12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x)
      ASSERT_EQ(m.At(x, y), PtInRegion(circle, x, y) ? kBlack : kWhite) << x << "," << y;
  DeleteObject(circle);
  Canvas img(12, 12, kRed);
  DrawFrameControl(img.Dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE);
  EXPECT_EQ(img.At(0, 0), kBlack) << "the image is black outside the circle";
}

TEST(FrameControls, CheckBoxButtonsAndArrows) {
  Canvas c(13, 13, kRed);
  RECT r{0, 0, 13, 13};
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(c.Count(kBlack), 0);
  EXPECT_EQ(c.Count(kRed), 0) << "the box fills its square";
  DrawFrameControl(c.Dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(c.Count(kBlack), 21) << "the mark in the window text colour";
  EXPECT_EQ(c.At(1, 1), RGB(64, 64, 64)) << "sunken: dark shadow inside the shadow line";
  Canvas a(16, 16, kRed);
  RECT ar{0, 0, 16, 16};
  DrawFrameControl(a.Dc, &ar, DFC_SCROLL, DFCS_SCROLLDOWN);
  RECT tri = a.Bounds(kBlack);
  EXPECT_EQ(tri.Right - tri.Left, 7) << "a down arrow of rows 7, 5, 3, 1";
  EXPECT_EQ(tri.Bottom - tri.Top, 4);
  EXPECT_EQ(a.At(tri.Left + 3, tri.Bottom - 1), kBlack);
  EXPECT_EQ(a.At(tri.Left, tri.Bottom - 1), RGB(212, 208, 200)) << "the tip is at the bottom";

  // Glyphs in a rectangle far larger than the bitmap draw the part that
  // shows: the middle of an arrow is all arrow, of a size grip its stripes
  // below the diagonal through the middle, of a close button the crossing.
  const int n = 1 << 26;
  RECT huge{-n, -n, n + 16, n + 16};
  Canvas big(16, 16, kRed);
  DrawFrameControl(big.Dc, &huge, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_EQ(big.Count(kBlack), 16 * 16);
  RECT hugeGrip = huge;
  DrawFrameControl(big.Dc, &hugeGrip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const auto shadow = big.Picture(RGB(128, 128, 128));
  EXPECT_EQ(shadow[0], "................");
  EXPECT_EQ(shadow[8], "........#..##..#");
  EXPECT_EQ(shadow[15], ".#..##..##..##..");
  EXPECT_EQ(big.Count(RGB(128, 128, 128)), 60);
  EXPECT_EQ(big.Count(kWhite), 32);
  RECT hugeClose = huge;
  DrawFrameControl(big.Dc, &hugeClose, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  const auto cross = big.Picture(kBlack);
  EXPECT_EQ(cross[6], "......###.......");
  EXPECT_EQ(cross[7], "......###.......");
  EXPECT_EQ(big.Count(kBlack), 58);
}

TEST(SystemBitmaps, CheckBoxesGridAndCheckStrip) {
  HBITMAP boxes = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES));
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(boxes, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 52);
  EXPECT_EQ(bm.bmHeight, 39);
  DeleteObject(boxes);
  HBITMAP check = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK));
  ASSERT_EQ(GetObjectA(check, sizeof bm, &bm), int(sizeof bm));
  EXPECT_GE(bm.bmWidth, 2 * bm.bmHeight);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(check));
  int half = bm.bmWidth / 2, differ = 0, blackLeft = 0;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < half; ++x) {
      differ += GetPixel(dc, x, y) != GetPixel(dc, x + half, y);
      blackLeft += GetPixel(dc, x, y) == kBlack;
    }
  EXPECT_EQ(differ, 21) << "the halves differ exactly on the mark";
  EXPECT_EQ(blackLeft, 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(check);
  EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(12345)), nullptr);
}
