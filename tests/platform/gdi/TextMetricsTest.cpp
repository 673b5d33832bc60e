#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "TextFixture.h"
#include "platform/gdi/FontSubstitution.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/GlyphCache.h"
#include "platform/gdi/TextRun.h"

using namespace win;

using TextMetricsTest = TextFixture;

TEST_F(TextMetricsTest, TahomaElevenMeasuresLikeTheButtonsWereLaidOutFor) {
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(Dc, &tm));
  EXPECT_EQ(13, tm.tmHeight);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(2, tm.tmInternalLeading);  // an 11-pixel em in a 13-pixel cell
  EXPECT_EQ(96, TextWidth("Run Current Values"));
  EXPECT_LE(TextWidth("Run Current Values"), 113 - 2 * 4);  // the button less its borders and margins
  UseFont("Tahoma", -11, FW_BOLD);
  EXPECT_EQ(169, TextWidth("TARVIK Windows User Interface"));
  // Every face here is scalable, so nothing falls back to another face
  // for not being TrueType.
  ASSERT_TRUE(GetTextMetricsA(Dc, &tm));
  EXPECT_EQ(TMPF_TRUETYPE | TMPF_VECTOR, tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR));
  EXPECT_EQ(FW_BOLD, tm.tmWeight);
  EXPECT_EQ(0x20, tm.tmBreakChar);
  EXPECT_EQ(0, tm.tmOverhang);
}

TEST_F(TextMetricsTest, ExtentsAreSumsOfWholePixelCharacterWidths) {
  const std::string s = "Grid cell, 12.50 EUR";
  std::vector<int> widths(256);
  ASSERT_TRUE(GetCharWidth32A(Dc, 0, 255, widths.data()));
  int sum = 0;
  for (char c : s) sum += widths[static_cast<unsigned char>(c)];
  EXPECT_EQ(sum, TextWidth(s));

  // Fit counts and partial extents agree with the same widths, at and
  // around every boundary.
  std::vector<int> dx(s.size());
  int fit = -1;
  SIZE size{};
  ASSERT_TRUE(GetTextExtentExPointA(Dc, s.data(), int(s.size()), 1 << 20, &fit, dx.data(), &size));
  EXPECT_EQ(int(s.size()), fit);
  EXPECT_EQ(sum, size.cx);
  for (std::size_t i = 0; i < s.size(); ++i) {
    EXPECT_EQ(TextWidth(s.substr(0, i + 1)), dx[i]);
    GetTextExtentExPointA(Dc, s.data(), int(s.size()), dx[i], &fit, nullptr, nullptr);
    EXPECT_EQ(int(i + 1), fit) << "exactly " << dx[i] << " px";
    GetTextExtentExPointA(Dc, s.data(), int(s.size()), dx[i] - 1, &fit, nullptr, nullptr);
    EXPECT_EQ(int(i), fit) << "one pixel short of " << dx[i];
  }
  GetTextExtentExPointA(Dc, s.data(), int(s.size()), 0, &fit, nullptr, nullptr);
  EXPECT_EQ(0, fit);

  // ABC widths add up to the advance.
  ABC abc[1];
  ASSERT_TRUE(GetCharABCWidthsA(Dc, 'W', 'W', abc));
  EXPECT_EQ(widths['W'], abc[0].abcA + int(abc[0].abcB) + abc[0].abcC);
}

// ABC widths are read from the glyph outlines, not from rendered glyphs:
// they are the boxes of the bitmaps the text output draws, in both render
// modes, for upright, bold and italic faces, and measuring renders
// nothing, so a large size costs no bitmaps.
TEST_F(TextMetricsTest, AbcWidthsAreTheRenderedGlyphsBoxesWithoutRenderingThem) {
  struct Case {
    const char* Face;
    int Height, Weight;
    bool Italic;
  };
  for (TextRenderMode mode : {TextRenderMode::Monochrome, TextRenderMode::Grayscale}) {
    SetTextRenderMode(mode);
    // Sizes no other story draws at, so that the faces are fresh.
    for (const Case& c : {Case{"Tahoma", -17, FW_NORMAL, false}, Case{"Times New Roman", -27, FW_BOLD, true},
                          Case{"Courier New", -19, FW_NORMAL, true}, Case{"Arial", -73, FW_BOLD, false},
                          Case{"DejaVu Sans", -15, FW_BOLD, true}}) {
      SCOPED_TRACE(std::string(c.Face) + " " + std::to_string(c.Height) +
                   (mode == TextRenderMode::Grayscale ? " grey" : " mono"));
      HFONT font = CreateFontA(c.Height, 0, 0, 0, c.Weight, c.Italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, c.Face);
      HFONT old = SelectObject(Dc, font);
      gdi::FontFace& face = gdi::DcFace(*gdi::LookupDC(Dc));
      ASSERT_EQ(face.Mono, mode == TextRenderMode::Monochrome);
      gdi::GlyphCache& glyphs = *face.Glyphs;
      ASSERT_EQ(glyphs.BitmapBytes(), 0u);
      std::vector<ABC> abc(256);
      ASSERT_TRUE(GetCharABCWidthsA(Dc, 0, 255, abc.data()));
      EXPECT_EQ(glyphs.BitmapBytes(), 0u);
      int inked = 0;
      for (int ch = 0; ch < 256; ++ch) {
        const gdi::Glyph& g = glyphs.Get(static_cast<unsigned char>(ch));
        const int advance = glyphs.Advance(static_cast<unsigned char>(ch));
        const ABC rendered = g.Width == 0 ? ABC{0, UINT(advance), 0}
                                          : ABC{g.Left, UINT(g.Width), advance - g.Left - g.Width};
        inked += g.Width > 0;
        if (abc[ch].abcA != rendered.abcA || abc[ch].abcB != rendered.abcB || abc[ch].abcC != rendered.abcC)
          ADD_FAILURE() << "character " << ch << ": " << abc[ch].abcA << " " << abc[ch].abcB << " " << abc[ch].abcC
                        << " rendered " << rendered.abcA << " " << rendered.abcB << " " << rendered.abcC;
      }
      EXPECT_GT(inked, 150);
      SelectObject(Dc, old);
      DeleteObject(font);
    }
  }
  SetTextRenderMode(TextRenderMode::Monochrome);

  // At the largest size the widths still add up to the advance, and no
  // glyph is rendered for them.
  UseFont("Tahoma", -100000);
  gdi::GlyphCache& huge = *gdi::DcFace(*gdi::LookupDC(Dc)).Glyphs;
  std::vector<ABC> abc(26);
  ASSERT_TRUE(GetCharABCWidthsA(Dc, 'A', 'Z', abc.data()));
  EXPECT_EQ(huge.BitmapBytes(), 0u);
  std::vector<int> widths(26);
  ASSERT_TRUE(GetCharWidth32A(Dc, 'A', 'Z', widths.data()));
  for (int i = 0; i < 26; ++i) {
    EXPECT_GT(abc[i].abcB, 100u);
    EXPECT_EQ(widths[i], abc[i].abcA + int(abc[i].abcB) + abc[i].abcC);
  }
}

TEST_F(TextMetricsTest, SpacingTabsAndJustificationWidenExtents) {
  TEXTMETRICA tm{};
  GetTextMetricsA(Dc, &tm);
  const std::string s = "a b c";
  const int plain = TextWidth(s);

  SetTextCharacterExtra(Dc, 2);
  EXPECT_EQ(plain + 2 * 5, TextWidth(s));
  SetTextCharacterExtra(Dc, 0);

  // 7 pixels over 2 breaks: 4 then 3, and they count in the extent.
  SetTextJustification(Dc, 7, 2);
  EXPECT_EQ(plain + 7, TextWidth(s));
  SetTextJustification(Dc, 0, 0);
  EXPECT_EQ(plain, TextWidth(s));

  // Spacing as wide as an int goes widens a text to the edge of the
  // coordinate range and no further, whatever its length; every character
  // after the first lies that far out.
  const std::string many(1000, 'a');
  for (int extra : {INT_MAX, INT_MIN}) {
    SetTextCharacterExtra(Dc, extra);
    EXPECT_EQ(TextWidth(many), extra > 0 ? 1 << 27 : -(1 << 27)) << extra;
    int fit = -1;
    std::vector<int> ends(many.size());
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointA(Dc, many.data(), int(many.size()), 100, &fit, ends.data(), &size));
    EXPECT_EQ(ends[1], extra > 0 ? 1 << 27 : -(1 << 27));
    EXPECT_EQ(ends.back(), ends[1]);
    EXPECT_EQ(fit, extra > 0 ? 0 : int(many.size()));
  }
  SetTextCharacterExtra(Dc, 0);
  SetTextJustification(Dc, INT_MAX, 1);
  EXPECT_EQ(TextWidth(s), 1 << 27);
  SetTextJustification(Dc, 0, 0);

  // Default tab stops every 8 average character widths.
  const std::string tabbed = "ab\tc";
  DWORD ext = GetTabbedTextExtentA(Dc, tabbed.data(), int(tabbed.size()), 0, nullptr);
  EXPECT_EQ(8 * tm.tmAveCharWidth + TextWidth("c"), int(ext & 0xFFFF));
  EXPECT_EQ(tm.tmHeight, int(ext >> 16));
  int stop = 30;
  ext = GetTabbedTextExtentA(Dc, tabbed.data(), int(tabbed.size()), 1, &stop);
  EXPECT_EQ(30 + TextWidth("c"), int(ext & 0xFFFF));
  int stops[] = {5, 50};
  ext = GetTabbedTextExtentA(Dc, tabbed.data(), int(tabbed.size()), 2, stops);
  EXPECT_EQ(50 + TextWidth("c"), int(ext & 0xFFFF));
}

TEST_F(TextMetricsTest, TabStopsRepeatAndNegativeStopsAlignTheTextAfterThemRight) {
  auto width = [&](const std::string& s, std::vector<int> stops) {
    return int(GetTabbedTextExtentA(Dc, s.data(), int(s.size()), int(stops.size()), stops.data()) & 0xFFFF);
  };
  const int bb = TextWidth("bb"), c = TextWidth("c");
  ASSERT_LT(TextWidth("a"), 30);
  // One stop repeats at its distance.
  EXPECT_EQ(60 + c, width("a\tb\tc", {30}));
  // One negative stop repeats too, each text after a tab ending on a stop.
  EXPECT_EQ(40, width("a\tbb", {-40}));
  EXPECT_EQ(80, width("a\tbb\tbb", {-40}));
  // In a list, the text after a negative stop ends on it; a text that would
  // have to start before the tab goes to the next stop instead.
  EXPECT_EQ(100, width("a\tbb", {-100, 150}));
  EXPECT_EQ(150 + c, width("a\tbb\tc", {-100, 150}));
  ASSERT_GT(TextWidth("abc"), 20 - bb);
  EXPECT_EQ(150 + bb, width("abc\tbb", {-20, 150}));
  // Past the last stop, the default stops apply.
  TEXTMETRICA tm{};
  GetTextMetricsA(Dc, &tm);
  const int step = 8 * tm.tmAveCharWidth, afterB = 30 + TextWidth("b");
  EXPECT_EQ((afterB / step + 1) * step + c, width("a\tb\tb\tc", {20, 30}));
  // Nothing to measure has no width but still the font's height, with
  // default stops as with a list of them.
  EXPECT_EQ(DWORD(tm.tmHeight) << 16, GetTabbedTextExtentA(Dc, "a\tb", 0, 0, nullptr));
  EXPECT_EQ(DWORD(tm.tmHeight) << 16, GetTabbedTextExtentA(Dc, nullptr, 0, 2, std::vector<int>{20, 30}.data()));
  // A tab alone reaches the first stop: a count of zero with a list given
  // takes the default stops.
  const int stops[] = {20, 30};
  EXPECT_EQ(DWORD(tm.tmHeight) << 16 | DWORD(step), GetTabbedTextExtentA(Dc, "\t", 1, 0, stops));
  EXPECT_EQ(DWORD(tm.tmHeight) << 16 | 20u, GetTabbedTextExtentA(Dc, "\t", 1, 2, stops));

  // Stops and tab lengths as far out as an int goes take the text after
  // the tab to the edge of the coordinate range (whose low word is 0).
  for (std::vector<int> far : {std::vector<int>{INT_MIN}, {INT_MAX}, {INT_MIN, INT_MAX}, {5, INT_MIN}})
    EXPECT_EQ(0, width("a\tbb\tc", far)) << far[0];
  char text[] = "a\tb";
  RECT r{0, 0, 100, 0};
  DRAWTEXTPARAMS params{sizeof params, INT_MAX, 0, 0, 0};
  DrawTextExA(Dc, text, -1, &r, DT_EXPANDTABS | DT_CALCRECT, &params);
  EXPECT_EQ(r.Right, 1 << 27);
}

TEST_F(TextMetricsTest, FontObjectsKeepTheirDescriptionAndAreCountedAndFreed) {
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = 1;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  const int before = GdiLiveObjectCount();
  HFONT f = CreateFontIndirectA(&lf);
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(before + 1, GdiLiveObjectCount());
  EXPECT_EQ(OBJ_FONT, GetObjectType(f));
  LOGFONTA back{};
  EXPECT_EQ(int(sizeof back), GetObjectA(f, sizeof back, &back));
  EXPECT_EQ(0, std::memcmp(&lf, &back, sizeof lf));
  EXPECT_EQ(int(sizeof back), GetObjectA(f, 0, nullptr));
  EXPECT_EQ(0, GetObjectA(f, 10, &back));  // too small: nothing copied

  // The face is the name asked for, not the substitute.
  HGDIOBJ old = SelectObject(Dc, ToObj(f));
  char face[LF_FACESIZE];
  EXPECT_EQ(14, GetTextFaceA(Dc, sizeof face, face));
  EXPECT_STREQ("MS Sans Serif", face);
  EXPECT_EQ(3, GetTextFaceA(Dc, 3, face));
  EXPECT_STREQ("MS", face);
  // Deleting a selected font waits for it to be deselected.
  EXPECT_TRUE(DeleteObject(f));
  EXPECT_EQ(OBJ_FONT, GetObjectType(f));
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetricsA(Dc, &tm));
  EXPECT_EQ(1, tm.tmItalic);
  SelectObject(Dc, old);
  EXPECT_EQ(0u, GetObjectType(f));
  EXPECT_EQ(before, GdiLiveObjectCount());

  // A face name without its terminating zero is cut, not over-read.
  std::memset(lf.lfFaceName, 'x', sizeof lf.lfFaceName);
  HFONT g = CreateFontIndirectA(&lf);
  ASSERT_NE(nullptr, g);
  GetObjectA(g, sizeof back, &back);
  EXPECT_EQ(LF_FACESIZE - 1, int(std::strlen(back.lfFaceName)));
  DeleteObject(g);
  EXPECT_EQ(nullptr, CreateFontIndirectA(nullptr));
}

TEST_F(TextMetricsTest, StockFontsAndCellHeights) {
  HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
  LOGFONTA lf{};
  ASSERT_EQ(int(sizeof lf), GetObjectA(gui, sizeof lf, &lf));
  EXPECT_EQ(-11, lf.lfHeight);
  EXPECT_STREQ("MS Shell Dlg", lf.lfFaceName);
  // A fresh DC draws with the system font.
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(dc, OBJ_FONT));
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_LE(tm.tmHeight, 16);
  DeleteDC(dc);

  // A positive height is the whole cell.
  for (int cell : {13, 16, 20, 27}) {
    UseFont("Arial", cell);
    GetTextMetricsA(Dc, &tm);
    EXPECT_LE(tm.tmHeight, cell);
    EXPECT_GE(tm.tmHeight, cell - 2);
  }

  // Heights past the largest em there is, the most negative one and the
  // widest width among them, come out as that largest em.
  UseFont("Arial", -2000);
  TEXTMETRICA largest{};
  ASSERT_TRUE(GetTextMetricsA(Dc, &largest));
  for (int height : {INT_MIN, -3000000, INT_MAX}) {
    UseFont("Arial", height);
    ASSERT_TRUE(GetTextMetricsA(Dc, &tm)) << height;
    EXPECT_EQ(largest.tmHeight, tm.tmHeight) << height;
  }
  // A width's sign does not count: the most negative is as wide as any
  // past the widest.
  auto widthOfW = [&](int width) {
    HFONT f = CreateFontA(-12, width, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ before = SelectObject(Dc, ToObj(f));
    const int w = TextWidth("W");
    SelectObject(Dc, before);
    DeleteObject(f);
    return w;
  };
  EXPECT_EQ(widthOfW(1000000), widthOfW(INT_MIN));
  EXPECT_GT(widthOfW(INT_MIN), widthOfW(0));
}

TEST_F(TextMetricsTest, SubstitutionPicksFamiliesAndFallsBack) {
  // Fixed pitch, by name or by pitch bits: every character as wide.
  UseFont("Courier New", -12);
  EXPECT_EQ(TextWidth("iiii"), TextWidth("MMMM"));
  HFONT f = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN,
                        "Some Unknown Face");
  HGDIOBJ old = SelectObject(Dc, ToObj(f));
  EXPECT_EQ(TextWidth("iiii"), TextWidth("MMMM"));
  SelectObject(Dc, old);
  DeleteObject(f);

  // Unknown proportional faces measure like the mapped ones.
  UseFont("No Such Face", -11);
  EXPECT_EQ(96, TextWidth("Run Current Values"));

  // Without the Liberation families, the condensed fallback.
  gdi::SetHiddenFontFamilies({gdi::kSansFamily, gdi::kMonoFamily});
  UseFont("Tahoma", -11);
  EXPECT_EQ(95, TextWidth("Run Current Values"));
  gdi::SetHiddenFontFamilies({});
  EXPECT_EQ(96, TextWidth("Run Current Values"));

  // Tests may point a face elsewhere.
  gdi::SetFontSubstitute("Tahoma", "DejaVu Sans");
  EXPECT_GT(TextWidth("Run Current Values"), 105);  // the wide family
  gdi::ResetFontSubstitutes();
  EXPECT_EQ(96, TextWidth("Run Current Values"));
}

// Names the table maps to one family share a realisation (the file opened
// once, the glyphs rendered once) and so measure alike; whatever changes
// what is drawn still gets a face of its own, and a changed table parts
// them again.
TEST_F(TextMetricsTest, FaceNamesForOneFamilyShareTheirRealisation) {
  auto realised = [](const char* face, int height, int weight) {
    HFONT f = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
    gdi::FontFace* r = &gdi::Realize(*gdi::LookupAs<gdi::Font>(f));
    DeleteObject(f);
    return r;
  };
  gdi::FontFace* tahoma = realised("Tahoma", -11, FW_NORMAL);
  EXPECT_EQ(tahoma, realised("MS Shell Dlg", -11, FW_NORMAL));
  EXPECT_EQ(tahoma, realised("arial", -11, FW_NORMAL));
  EXPECT_EQ(gdi::kSansFamily, tahoma->Family);
  UseFont("MS Shell Dlg", -11);
  EXPECT_EQ(96, TextWidth("Run Current Values"));  // as Tahoma measures it

  gdi::FontFace* bold = realised("Tahoma", -11, FW_BOLD);
  gdi::FontFace* larger = realised("Tahoma", -13, FW_NORMAL);
  EXPECT_NE(tahoma, bold);
  EXPECT_NE(tahoma, larger);
  EXPECT_FALSE(bold->SynthBold);  // the family's own bold file, matched for this weight
  EXPECT_GT(larger->EmPixels, tahoma->EmPixels);
  EXPECT_EQ(bold, realised("MS Sans Serif", -11, FW_BOLD));

  gdi::SetFontSubstitute("Tahoma", "DejaVu Sans");
  EXPECT_NE(realised("Tahoma", -11, FW_NORMAL)->Family, realised("MS Shell Dlg", -11, FW_NORMAL)->Family);
  gdi::ResetFontSubstitutes();
  EXPECT_EQ(realised("Tahoma", -11, FW_NORMAL), realised("MS Shell Dlg", -11, FW_NORMAL));
}

TEST_F(TextMetricsTest, SizesNoHandleHoldsAnyMoreAreNotKeptForever) {
  // A view zoomed through hundreds of sizes, each font made, drawn with and
  // deleted: the face (and the glyph bitmaps) of a size long left goes,
  // while a face a live handle holds stays, and so does the one a painter
  // makes again for every paint.
  HFONT held = CreateFontA(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
  gdi::FontFace* heldFace = &gdi::Realize(*gdi::LookupAs<gdi::Font>(held));
  std::weak_ptr<gdi::FontFace> firstSize;
  HFONT perPaint = nullptr;
  gdi::FontFace* perPaintFace = nullptr;
  for (int size = 20; size < 520; ++size) {
    UseFont("Tahoma", -size);
    TextOutA(Dc, 0, 20, "Zoom", 4);
    if (size == 20) firstSize = gdi::LookupAs<gdi::Font>(Font)->Face;
    HFONT again = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    gdi::FontFace* face = &gdi::Realize(*gdi::LookupAs<gdi::Font>(again));
    if (perPaint) {
      EXPECT_EQ(perPaintFace, face);
      DeleteObject(perPaint);
    }
    perPaint = again;
    perPaintFace = face;
  }
  EXPECT_TRUE(firstSize.expired());
  EXPECT_EQ(heldFace, &gdi::Realize(*gdi::LookupAs<gdi::Font>(held)));
  EXPECT_EQ(17, heldFace->EmPixels);
  DeleteObject(perPaint);
  DeleteObject(held);
}

TEST_F(TextMetricsTest, BadArgumentsFailCleanly) {
  SIZE sz{};
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "a", 1, &sz));
  EXPECT_FALSE(GetTextExtentPoint32A(Dc, nullptr, 3, &sz));
  EXPECT_FALSE(GetTextExtentPoint32A(Dc, "a", -1, &sz));
  EXPECT_TRUE(GetTextExtentPoint32A(Dc, nullptr, 0, &sz));
  EXPECT_EQ(0, sz.cx);
  EXPECT_EQ(13, sz.cy);
  int w[2];
  EXPECT_FALSE(GetCharWidth32A(Dc, 300, 301, w));
  EXPECT_FALSE(GetTextMetricsA(Dc, nullptr));
}
