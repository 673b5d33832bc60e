// What painters see of the parts: every state looks different, frames and
// fills are the colours the part reports, sizes, content rectangles and
// regions agree with the pixels, and drawing respects the DC.
#include <cstring>
#include <limits>
#include <set>

#include "ThemeFixture.h"
#include "platform/gdi/MetafileRecords.h"
#include "platform/gdi/Text.h"
#include "platform/win/Messages.h"

namespace {

using namespace themetest;
using theme::Shape;

using Parts = ThemeTest;

std::u16string Wide(std::string_view s) { return std::u16string(s.begin(), s.end()); }

// A rectangle that shows the part well: its true size when fixed, else a
// strip along its long side.
RECT Place(const theme::PartInfo& p) {
  if (p.FixedSize) return {4, 4, 4 + p.TrueSize.cx, 4 + p.TrueSize.cy};
  return p.Vertical ? RECT{4, 4, 24, 48} : RECT{4, 4, 48, 24};
}

TEST_F(Parts, EveryStateOfEveryPartDrawsItsOwnPictureInsideItsRegion) {
  for (const theme::ClassInfo& cls : theme::Classes()) {
    Theme t(Wide(cls.Name).c_str());
    ASSERT_NE(t.h, nullptr) << cls.Name;
    for (const theme::PartInfo& part : cls.Parts) {
      const RECT r = Place(part);
      std::vector<std::vector<COLORREF>> pictures;
      for (int state = 1; state <= part.StateCount(); ++state) {
        SCOPED_TRACE(std::string(cls.Name) + " part " + std::to_string(part.Part) + " state " + std::to_string(state));
        Clear();
        ASSERT_EQ(DrawThemeBackground(t, dc, part.Part, state, &r, nullptr), S_OK);
        pictures.push_back(Pixels());
        // Nothing outside the part's region changes.
        HRGN rgn = nullptr;
        ASSERT_EQ(GetThemeBackgroundRegion(t, dc, part.Part, state, &r, &rgn), S_OK);
        int drawn = 0;
        for (int y = 0; y < 60; ++y)
          for (int x = 0; x < 120; ++x)
            if (pictures.back()[std::size_t(y) * 120 + x] != kBackground) {
              ++drawn;
              EXPECT_TRUE(PtInRegion(rgn, x, y)) << x << "," << y;
            }
        DeleteObject(rgn);
        // Only a flat tool button in its resting state draws nothing.
        bool flat = part.Kind == Shape::ToolButton && state == 1;
        EXPECT_EQ(drawn == 0, flat);
        // State 0 stands for the first state.
        if (state == 1) {
          Clear();
          DrawThemeBackground(t, dc, part.Part, 0, &r, nullptr);
          EXPECT_EQ(Pixels(), pictures.back());
        }
      }
      for (std::size_t a = 0; a < pictures.size(); ++a)
        for (std::size_t b = a + 1; b < pictures.size(); ++b) {
          // An edit field looks the same selected (3) and focused (5).
          if (part.Kind == Shape::EditField && a == 2 && b == 4) continue;
          EXPECT_NE(pictures[a], pictures[b]) << cls.Name << " part " << part.Part << ": states " << a + 1 << " and "
                                              << b + 1 << " look alike";
        }
      Clear();
      EXPECT_EQ(DrawThemeBackground(t, dc, part.Part, part.StateCount() + 1, &r, nullptr), E_INVALIDARG);
      EXPECT_EQ(Pixels(), std::vector<COLORREF>(120 * 60, kBackground));
    }
    EXPECT_EQ(DrawThemeBackground(t, dc, 99, 1, nullptr, nullptr), E_INVALIDARG);
  }
}

TEST_F(Parts, FramesAndFillsAreTheColoursThePartReports) {
  Theme edit(u"Edit"), button(u"Button"), list(u"ListView"), combo(u"ComboBox");
  RECT r{10, 10, 60, 31};
  for (int state : {1, 2, 4, 5, 6}) {
    SCOPED_TRACE(state);
    COLORREF border = 0, fill = 0;
    ASSERT_EQ(GetThemeColor(edit, 1, state, TMT_BORDERCOLOR, &border), S_OK);
    ASSERT_EQ(GetThemeColor(edit, 1, state, TMT_FILLCOLOR, &fill), S_OK);
    DrawThemeBackground(edit, dc, 1, state, &r, nullptr);
    EXPECT_EQ(GetPixel(dc, 10, 20), border);
    EXPECT_EQ(GetPixel(dc, 59, 30), border);
    EXPECT_EQ(GetPixel(dc, 35, 20), fill);
  }
  COLORREF normal = 0, disabled = 0, listBorder = 0, comboBorder = 0;
  GetThemeColor(edit, 1, 1, TMT_TEXTCOLOR, &normal);
  GetThemeColor(edit, 1, 4, TMT_TEXTCOLOR, &disabled);
  EXPECT_NE(normal, disabled);
  ASSERT_EQ(GetThemeColor(list, 5, 0, TMT_BORDERCOLOR, &listBorder), S_OK);
  ASSERT_EQ(GetThemeColor(combo, 1, 1, TMT_BORDERCOLOR, &comboBorder), S_OK);
  Clear();
  DrawThemeBackground(list, dc, 5, 0, &r, nullptr);
  EXPECT_EQ(GetPixel(dc, 30, 10), listBorder);

  // The push button: its frame in the border colour, its corners left to
  // what lies below, and the face colour the button painters ask for.
  for (int state = 1; state <= 5; ++state) {
    SCOPED_TRACE(state);
    Clear();
    COLORREF border = 0, face = 0, fill = 0;
    GetThemeColor(button, 1, state, TMT_BORDERCOLOR, &border);
    ASSERT_EQ(GetThemeColor(button, 1, state, TMT_FACECOLOR, &face), S_OK);
    GetThemeColor(button, 1, state, TMT_FILLCOLOR, &fill);
    EXPECT_EQ(face, fill);
    DrawThemeBackground(button, dc, 1, state, &r, nullptr);
    EXPECT_EQ(GetPixel(dc, 35, 10), border);
    EXPECT_EQ(GetPixel(dc, 10, 10), kBackground);
    EXPECT_EQ(GetPixel(dc, 11, 11), border);
  }
  // Other properties, and the face colour of other classes, are refused
  // and leave the caller's value alone.
  COLORREF keep = 0xABCDEF;
  EXPECT_EQ(GetThemeColor(edit, 1, 1, TMT_FACECOLOR, &keep), E_PROP_ID_UNSUPPORTED);
  EXPECT_EQ(GetThemeColor(button, 1, 1, 3804, &keep), E_PROP_ID_UNSUPPORTED);
  EXPECT_EQ(GetThemeColor(button, 1, 9, TMT_TEXTCOLOR, &keep), E_INVALIDARG);
  EXPECT_EQ(keep, 0xABCDEFu);
}

TEST_F(Parts, SizesAndContentRectanglesGiveThePaintersTheirLayout) {
  Theme button(u"Button"), header(u"Header"), tree(u"TreeView"), edit(u"Edit");
  const RECT hundred{0, 0, 100, 100};
  RECT c{};
  // Button borders: the push button's content inset, measured in 100 x 100.
  ASSERT_EQ(GetThemeBackgroundContentRect(button, dc, 1, 1, &hundred, &c), S_OK);
  EXPECT_EQ(c, (RECT{3, 3, 97, 97}));
  ASSERT_EQ(GetThemeBackgroundContentRect(header, dc, 1, 1, &hundred, &c), S_OK);
  EXPECT_EQ((c.Left + c.Top) / 2, 2);
  ASSERT_EQ(GetThemeBackgroundContentRect(edit, dc, 1, 5, &hundred, &c), S_OK);
  EXPECT_EQ(c, (RECT{2, 2, 98, 98}));

  SIZE s{};
  auto size = [&](HTHEME t, int part, int state, THEMESIZE kind, const RECT* r = nullptr) {
    s = {-1, -1};
    EXPECT_EQ(GetThemePartSize(t, dc, part, state, r, kind, &s), S_OK);
    return s;
  };
  EXPECT_EQ(size(button, 3, 5, TS_TRUE), (SIZE{13, 13}));  // the check box the grid measures
  EXPECT_EQ(size(tree, 2, 1, TS_DRAW).cx, 9);              // the expand glyph
  // Parts that stretch are drawn at the size given; fixed ones are not.
  const RECT wide{0, 0, 80, 30};
  EXPECT_EQ(size(button, 1, 1, TS_DRAW, &wide), (SIZE{80, 30}));
  EXPECT_EQ(size(button, 3, 1, TS_DRAW, &wide), (SIZE{13, 13}));
  EXPECT_EQ(size(button, 1, 1, TS_MIN), (SIZE{8, 8}));
  SIZE keep{7, 7};
  EXPECT_EQ(GetThemePartSize(button, dc, 1, 1, nullptr, static_cast<THEMESIZE>(5), &keep), E_INVALIDARG);
  EXPECT_EQ(keep, (SIZE{7, 7}));

  // A fixed-size part sits centred in a larger rectangle.
  const RECT cell{0, 0, 21, 21};
  ASSERT_EQ(GetThemeBackgroundContentRect(button, dc, 3, 1, &cell, &c), S_OK);
  EXPECT_EQ(c, (RECT{4, 4, 17, 17}));

  EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(button, 1, 1));
  EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(button, 4, 1));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(edit, 1, 1));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(edit, 1, 7));
}

TEST_F(Parts, HitTestsFollowTheShapeAndTheMarginsAsked) {
  Theme explorer(u"ExplorerBar"), button(u"Button");
  const RECT r{10, 10, 27, 27};
  WORD code = 99;
  auto hit = [&](HTHEME t, int part, DWORD options, POINT p, HRGN rgn = nullptr) {
    code = 99;
    EXPECT_EQ(HitTestThemeBackground(t, dc, part, 1, options, &r, rgn, p, &code), S_OK);
    return int(code);
  };
  // The group expand button is round: its corner is outside.
  EXPECT_EQ(hit(explorer, 7, 0, {18, 18}), HTCLIENT);
  EXPECT_EQ(hit(explorer, 7, 0, {10, 10}), HTNOWHERE);
  EXPECT_EQ(hit(button, 1, 0, {10, 10}), HTNOWHERE);  // a rounded corner pixel
  EXPECT_EQ(hit(button, 1, 0, {11, 10}), HTCLIENT);
  EXPECT_EQ(hit(button, 1, HTTB_FIXEDBORDER, {11, 10}), HTBORDER);
  EXPECT_EQ(hit(button, 1, HTTB_FIXEDBORDER, {18, 18}), HTCLIENT);
  EXPECT_EQ(hit(button, 1, HTTB_CAPTION, {18, 11}), HTCAPTION);
  EXPECT_EQ(hit(button, 1, HTTB_RESIZINGBORDER, {11, 11}), HTTOPLEFT);
  EXPECT_EQ(hit(button, 1, HTTB_RESIZINGBORDER, {26, 18}), HTRIGHT);
  EXPECT_EQ(hit(button, 1, HTTB_RESIZINGBORDER_TOP, {11, 11}), HTTOP);
  EXPECT_EQ(hit(button, 1, 0, {40, 40}), HTNOWHERE);
  // A region given replaces the part's shape.
  HRGN left = CreateRectRgn(10, 10, 14, 27);
  EXPECT_EQ(hit(button, 1, 0, {10, 10}, left), HTCLIENT);
  EXPECT_EQ(hit(button, 1, 0, {18, 18}, left), HTNOWHERE);
  DeleteObject(left);
}

TEST_F(Parts, DrawingKeepsTheDCAndStaysInsideTheClip) {
  Theme button(u"Button");
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkMode(dc, OPAQUE);
  SetDCBrushColor(dc, RGB(4, 5, 6));
  const RECT r{10, 10, 90, 40}, clip{0, 0, 50, 25};
  ASSERT_EQ(DrawThemeBackground(button, dc, 1, 1, &r, &clip), S_OK);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(SetDCBrushColor(dc, 0), RGB(4, 5, 6));
  EXPECT_NE(GetPixel(dc, 30, 15), kBackground);
  EXPECT_EQ(GetPixel(dc, 60, 15), kBackground);  // right of the clip
  EXPECT_EQ(GetPixel(dc, 30, 30), kBackground);  // below it
  // The DC's own clip holds as well.
  Clear();
  IntersectClipRect(dc, 0, 0, 30, 60);
  DrawThemeBackground(button, dc, 1, 1, &r, nullptr);
  SelectClipRgn(dc, nullptr);
  EXPECT_NE(GetPixel(dc, 20, 20), kBackground);
  EXPECT_EQ(GetPixel(dc, 40, 20), kBackground);
}

TEST_F(Parts, AHugeRectangleDrawsOnlyWhatTheDCShows) {
  Theme button(u"Button"), scroll(u"ScrollBar");
  const RECT huge{20, -2000000000, 60, 2000000000};
  ASSERT_EQ(DrawThemeBackground(button, dc, 1, 2, &huge, nullptr), S_OK);
  ASSERT_EQ(DrawThemeBackground(scroll, dc, 3, 1, &huge, nullptr), S_OK);
  COLORREF border = 0;
  GetThemeColor(scroll, 3, 1, TMT_BORDERCOLOR, &border);
  EXPECT_EQ(GetPixel(dc, 20, 30), border);  // the side of the thumb runs through
  EXPECT_NE(GetPixel(dc, 40, 30), kBackground);
  EXPECT_EQ(GetPixel(dc, 10, 30), kBackground);
}

TEST_F(Parts, RectanglesAtTheEndsOfIntegerMeasureAndHitTestInsideThemselves) {
  Theme button(u"Button");
  constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  const RECT all{lo, lo, hi, hi};
  // The push button's content is inset by its 3-pixel margins; its drawn
  // size is as wide as Integer reaches.
  RECT c{};
  ASSERT_EQ(GetThemeBackgroundContentRect(button, dc, 1, 1, &all, &c), S_OK);
  EXPECT_EQ(c, (RECT{lo + 3, lo + 3, hi - 3, hi - 3}));
  SIZE s{};
  ASSERT_EQ(GetThemePartSize(button, dc, 1, 1, &all, TS_DRAW, &s), S_OK);
  EXPECT_EQ(s, (SIZE{hi, hi}));
  // A check box is centred in the whole range, and in a cell at its end.
  ASSERT_EQ(GetThemeBackgroundContentRect(button, dc, 3, 1, &all, &c), S_OK);
  EXPECT_EQ(c, (RECT{-7, -7, 6, 6}));
  const RECT corner{hi - 21, hi - 21, hi, hi};
  ASSERT_EQ(GetThemeBackgroundContentRect(button, dc, 3, 1, &corner, &c), S_OK);
  EXPECT_EQ(c, (RECT{hi - 17, hi - 17, hi - 4, hi - 4}));
  // A radio button centred in the whole range is round: its middle is
  // inside, its corner not, and a hit test agrees.
  HRGN rgn = nullptr;
  ASSERT_EQ(GetThemeBackgroundRegion(button, dc, 2, 1, &all, &rgn), S_OK);
  EXPECT_TRUE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, -7, -7));
  DeleteObject(rgn);
  WORD code = 0;
  ASSERT_EQ(HitTestThemeBackground(button, dc, 2, 1, 0, &all, nullptr, {0, 0}, &code), S_OK);
  EXPECT_EQ(code, HTCLIENT);
  ASSERT_EQ(HitTestThemeBackground(button, dc, 1, 1, HTTB_FIXEDBORDER, &all, nullptr, {0, 0}, &code), S_OK);
  EXPECT_EQ(code, HTCLIENT);
  // An edge over everything fills what the DC shows and hands back the
  // caller's rectangle less its rings.
  Theme edit(u"Edit");
  ASSERT_EQ(DrawThemeEdge(edit, dc, 1, 1, &all, EDGE_SUNKEN, BF_RECT | BF_MIDDLE, &c), S_OK);
  EXPECT_EQ(c, (RECT{lo + 2, lo + 2, hi - 2, hi - 2}));
  EXPECT_NE(GetPixel(dc, 60, 30), kBackground);
}

// The fills a metafile recorded, as rectangles (a fill is recorded as a
// pattern block transfer).
std::vector<RECT> RecordedFills(HENHMETAFILE emf) {
  std::vector<BYTE> bytes(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, UINT(bytes.size()), bytes.data());
  auto word = [&](std::size_t at) {
    std::int32_t v = 0;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  };
  std::vector<RECT> fills;
  for (std::size_t at = 0; at + 40 <= bytes.size();) {
    const std::int32_t type = word(at), size = word(at + 4);
    if (size <= 0) break;
    if (type == EMR_BITBLT) {
      const int x = word(at + 24), y = word(at + 28);
      fills.push_back({x, y, x + word(at + 32), y + word(at + 36)});
    }
    at += std::size_t(size);
  }
  return fills;
}

TEST_F(Parts, AButtonRecordedIntoAMetafileKeepsItsWholeFace) {
  // A metafile has no surface of the button's size to clip to: every row
  // of the face's gradient is recorded, one fill per colour.
  Theme button(u"Button");
  const RECT r{10, 10, 90, 40};
  HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(DrawThemeBackground(button, meta, 1, 1, &r, nullptr), S_OK);
  HENHMETAFILE emf = CloseEnhMetaFile(meta);
  const std::vector<RECT> fills = RecordedFills(emf);
  DeleteEnhMetaFile(emf);
  for (int y = r.Top; y < r.Bottom; ++y) {
    bool covered = false;
    for (const RECT& f : fills) covered = covered || (f.Left <= 50 && 50 < f.Right && f.Top <= y && y < f.Bottom);
    EXPECT_TRUE(covered) << "row " << y;
  }
  // A face of two billion rows costs no more fills than one of thirty.
  const RECT tall{10, -1000000000, 90, 1000000000};
  meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(DrawThemeBackground(button, meta, 1, 1, &tall, nullptr), S_OK);
  emf = CloseEnhMetaFile(meta);
  EXPECT_LT(RecordedFills(emf).size(), 300u);
  DeleteEnhMetaFile(emf);
}

TEST_F(Parts, TextIsDrawnInThePartsTextColourOverWhatIsThere) {
  TextRenderMode mode = GetTextRenderMode();
  SetTextRenderMode(TextRenderMode::Monochrome);
  Theme button(u"Button");
  const RECT r{0, 0, 120, 60};
  auto colours = [&](int state, DWORD flags2) {
    Clear();
    EXPECT_EQ(DrawThemeText(button, dc, 1, state, u"Hello", 3, DT_CENTER | DT_VCENTER | DT_SINGLELINE, flags2, &r),
              S_OK);
    std::set<COLORREF> seen;
    for (COLORREF c : Pixels()) seen.insert(c);
    return seen;
  };
  COLORREF text = 0, grey = 0;
  GetThemeColor(button, 1, 1, TMT_TEXTCOLOR, &text);
  GetThemeColor(button, 1, 4, TMT_TEXTCOLOR, &grey);
  EXPECT_EQ(colours(1, 0), (std::set<COLORREF>{kBackground, text}));
  EXPECT_EQ(colours(4, 0), (std::set<COLORREF>{kBackground, grey}));
  EXPECT_EQ(colours(1, DTT_GRAYED), (std::set<COLORREF>{kBackground, grey}));
  // Only the characters counted are drawn: "Hel" is narrower than "Hello".
  int hel = 0;
  for (COLORREF c : Pixels()) hel += c != kBackground;
  Clear();
  DrawThemeText(button, dc, 1, 1, u"Hello", -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r);
  int hello = 0;
  for (COLORREF c : Pixels()) hello += c != kBackground;
  EXPECT_GT(hello, hel);
  EXPECT_EQ(DrawThemeText(button, dc, 1, 1, nullptr, 0, 0, 0, &r), E_POINTER);
  SetTextRenderMode(mode);
}

TEST_F(Parts, EdgesAreRingsInThePartsColours) {
  Theme edit(u"Edit");
  COLORREF border = 0;
  GetThemeColor(edit, 1, 1, TMT_BORDERCOLOR, &border);
  const RECT r{10, 10, 50, 40};
  RECT content{};
  ASSERT_EQ(DrawThemeEdge(edit, dc, 1, 1, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE, &content), S_OK);
  EXPECT_EQ(content, (RECT{12, 12, 48, 38}));
  EXPECT_EQ(GetPixel(dc, 10, 20), border);             // sunken: dark at the top left
  EXPECT_EQ(GetPixel(dc, 49, 20), RGB(255, 255, 255));  // light at the bottom right
  EXPECT_NE(GetPixel(dc, 30, 25), kBackground);         // the middle is filled
  // Only the sides asked for, and a class-wide edge (part 0) is fine too.
  Clear();
  ASSERT_EQ(DrawThemeEdge(edit, dc, 0, 0, &r, BDR_RAISEDOUTER, BF_TOP, &content), S_OK);
  EXPECT_EQ(content, (RECT{10, 11, 50, 40}));
  EXPECT_EQ(GetPixel(dc, 30, 10), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 10, 20), kBackground);
}

}  // namespace
