// The editors' painting helpers: the bounded brush cache and the brushes
// its callers hold, fills, arrows, an editor's border and background with
// its buttons cut out, and the button styles' borders and contents.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "EditPaintFixture.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Owned.h"
#include "platform/theme/ThemeState.h"
#include "platform/win/Metrics.h"
#include "platform/win/TestHooks.h"

using namespace edit_paint_test;

namespace {

TColor Rgb(Integer R, Integer G, Integer B) { return static_cast<TColor>(win::RGB(R, G, B)); }

// A picture of R, one character per pixel from the legend ('?' for a
// colour it does not name), rows separated by '|'.
std::string Picture(PainterCanvas& C, const TRect& R, const std::map<TColor, char>& ALegend) {
  std::string s;
  for (Integer y = R.Top; y < R.Bottom; ++y) {
    if (y > R.Top) s += '|';
    for (Integer x = R.Left; x < R.Right; ++x) {
      const auto it = ALegend.find(ColorToRGB(C.At(x, y)));
      s += it == ALegend.end() ? '?' : it->second;
    }
  }
  return s;
}

class cxEditPaint : public EditPaintSession {};

// --- The brush cache --------------------------------------------------------

TEST_F(cxEditPaint, AFullCacheEvictsItsLeastUsedColourAndTheFirstOfEquals) {
  TOwned<TcxSolidBrushCache> cache(New<TcxSolidBrushCache>());
  ASSERT_EQ(cache->GetCapacity(), 128);
  for (Integer c = 1; c <= 128; ++c) cache->GetBrush(Rgb(c, 0, 0));
  // Every colour used once more, except 16 and 32.
  for (Integer c = 1; c <= 128; ++c)
    if (c != 16 && c != 32) cache->GetBrush(Rgb(c, 0, 0));
  ASSERT_EQ(cache->GetCount(), 128);

  auto holds = [&](TColor AColor) {
    for (Integer i = 0; i < cache->GetCount(); ++i)
      if (cache->GetColor(i) == AColor) return true;
    return false;
  };
  cache->GetBrush(Rgb(200, 0, 0));  // the 129th colour
  EXPECT_FALSE(holds(Rgb(16, 0, 0))) << "the first of the least used goes";
  EXPECT_TRUE(holds(Rgb(32, 0, 0)));
  // The newcomer is unused too but sorts after 32.
  cache->GetBrush(Rgb(201, 0, 0));
  EXPECT_FALSE(holds(Rgb(32, 0, 0)));
  EXPECT_TRUE(holds(Rgb(200, 0, 0)));
  EXPECT_EQ(cache->GetCount(), 128);

  // An evicted colour asked for again gets a working brush of its own.
  PainterCanvas canvas(4, 4);
  cxEditFillRect(canvas.get(), TRect(0, 0, 4, 4), cache->GetBrush(Rgb(16, 0, 0)));
  EXPECT_EQ(ColorToRGB(canvas.At(2, 2)), Rgb(16, 0, 0));
  EXPECT_TRUE(holds(Rgb(16, 0, 0)));

  // Sorted as unsigned numbers: a value with the high byte set goes last.
  const TColor high = static_cast<TColor>(0x7F000001);
  cache->GetBrush(high);
  EXPECT_EQ(cache->GetColor(cache->GetCount() - 1), high);
  for (Integer i = 1; i < cache->GetCount(); ++i)
    EXPECT_LT(static_cast<std::uint32_t>(cache->GetColor(i - 1)), static_cast<std::uint32_t>(cache->GetColor(i)));
}

TEST_F(cxEditPaint, SystemColoursAnswerTheStockBrushesAndAPaletteChangeEmptiesTheCache) {
  for (int i = 0; i <= 30; ++i)
    EXPECT_EQ(GetSolidBrush(static_cast<TColor>(clSystemColor | i)), win::GetSysColorBrush(i)) << i;
  EXPECT_EQ(cxSolidBrushCache()->GetCount(), 0);

  GetSolidBrush(Rgb(1, 2, 3));
  GetSolidBrush(Rgb(4, 5, 6));
  ASSERT_EQ(cxSolidBrushCache()->GetCount(), 2);
  const int index = win::COLOR_BTNFACE;
  const COLORREF saved = win::GetSysColor(index);
  const COLORREF changed = win::RGB(200, 210, 220);
  win::SetSysColors(1, &index, &changed);
  win::test::PumpUntilIdle();
  EXPECT_EQ(cxSolidBrushCache()->GetCount(), 0);
  win::SetSysColors(1, &index, &saved);
  win::test::PumpUntilIdle();
}

TEST_F(cxEditPaint, ABrushSelectedIntoADeviceContextOutlivesItsEvictionAndNothingLeaks) {
  ResetSolidBrushCache();
  PainterCanvas canvas(8, 8);
  const win::HDC dc = canvas->GetHandle();
  const int live = win::GdiLiveObjectCount();

  const TColor held = Rgb(0x12, 0x34, 0x56);
  const win::HBRUSH brush = GetSolidBrush(held);
  const win::HBRUSH old = win::SelectObject(dc, brush);
  for (Integer c = 0; c < 200; ++c) GetSolidBrush(Rgb(0, c, 1));
  EXPECT_EQ(cxSolidBrushCache()->GetCount(), 128);
  // Still selected: the brush is there to fill with.
  const win::RECT r{0, 0, 8, 8};
  win::FillRect(dc, &r, reinterpret_cast<win::HBRUSH>(win::GetCurrentObject(dc, win::OBJ_BRUSH)));
  EXPECT_EQ(ColorToRGB(canvas.At(4, 4)), held);
  win::SelectObject(dc, old);

  ResetSolidBrushCache();
  EXPECT_EQ(win::GdiLiveObjectCount(), live) << "a brush leaked";
}

// --- Fills, lines and arrows ------------------------------------------------

TEST_F(cxEditPaint, FillsAroundAnInnerRectangleAndLinesIncludeTheirEndPoints) {
  const std::map<TColor, char> legend{{kPaper, '.'}, {Rgb(0, 0, 0), '#'}};
  PainterCanvas c(6, 5);
  const win::HBRUSH black = GetSolidBrush(Rgb(0, 0, 0));
  InternalFillRect(c.get(), TRect(0, 0, 6, 5), TRect(2, 1, 4, 3), black);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "######|##..##|##..##|######|######");
  c.Clear(kPaper);
  InternalFillRect(c.get(), TRect(0, 0, 6, 5), TRect(0, 0, 6, 5), black);
  InternalFillRect(c.get(), TRect(1, 1, 1, 4), TRect(), black);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|......|......|......|......");
  InternalFillRect(c.get(), TRect(1, 1, 3, 3), TRect(), black);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|.##...|.##...|......|......");

  // The pen's polyline and the strips give the same pixels, end included.
  const TPoint points[] = {{1, 1}, {4, 1}, {4, 3}};
  for (bool byRectangles : {false, true}) {
    c.Clear(kPaper);
    InternalPolyLine(c.get(), points, byRectangles, Rgb(0, 0, 0));
    EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|.####.|....#.|....#.|......") << byRectangles;
  }
}

TEST_F(cxEditPaint, ArrowsAreCentredTrianglesAndTheirSizeIsOdd) {
  EXPECT_EQ(GetArrowSize(TSize{17, 21}, adDown), (TSize{9, 5}));  // (17 - 1) / 2 = 8 made odd
  EXPECT_EQ(GetArrowSize(TSize{16, 16}, adUp), (TSize{7, 4}));
  EXPECT_EQ(GetArrowSize(TSize{16, 16}, adLeft), (TSize{4, 7}));

  const std::map<TColor, char> legend{{kPaper, '.'}, {Rgb(0, 0, 0), '#'}};
  PainterCanvas c(7, 7);
  DrawArrow(c.get(), 3, TRect(0, 0, 7, 7), adDown, false, false, Rgb(0, 0, 0));
  EXPECT_EQ(Picture(c, TRect(0, 0, 7, 7), legend), ".......|.......|.#####.|..###..|...#...|.......|.......");
  c.Clear(kPaper);
  DrawArrow(c.get(), 2, TRect(0, 0, 7, 7), adUp, true, true, Rgb(0, 0, 0));
  EXPECT_EQ(Picture(c, TRect(0, 0, 7, 7), legend), ".......|.......|....#..|...###.|....#..|...###.|.......");
  c.Clear(kPaper);
  DrawArrow(c.get(), 3, TRect(0, 0, 7, 7), adRight, false, false, Rgb(0, 0, 0));
  EXPECT_EQ(Picture(c, TRect(0, 0, 7, 7), legend), ".......|..#....|..##...|..###..|..##...|..#....|.......");
}

// --- An editor's background and border --------------------------------------

TEST_F(cxEditPaint, EachBorderStyleDrawsItsFrameAroundTheBackground) {
  struct Case {
    TcxEditBorderStyle Style;
    // The pixels from the top-left corner inwards, and from the
    // bottom-right one inwards.
    std::string TopLeft, BottomRight;
  };
  const std::map<TColor, char> legend{{kPaper, '.'},
                                      {ColorToRGB(clWindow), 'w'},
                                      {Rgb(0, 0, 0xFF), 'B'},
                                      {ColorToRGB(clBtnShadow), 's'},
                                      {ColorToRGB(clBtnFace), 'f'},
                                      {ColorToRGB(cl3DDkShadow), 'd'}};
  // The highlight is white in the fixed palette, as the window is.
  const Case cases[] = {{ebsNone, "www", "www"},   {ebsSingle, "Bww", "Bww"}, {ebsThick, "BBw", "BBw"},
                        {ebsFlat, "sfw", "wfw"},   {ebs3D, "sdw", "wfw"}};
  for (const Case& k : cases) {
    PainterCanvas c(20, 12);
    TestEditViewInfo V;
    V.Info.BorderStyle = k.Style;
    V.Bounds = TRect(0, 0, 20, 12);
    const Integer B = GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(k.Style));
    V.BorderRect = cxRectInflate(V.Bounds, -B, -B);
    V.BorderColor = Rgb(0, 0, 0xFF);
    V.BackgroundColor = clWindow;
    DrawCustomEdit(c.get(), &V, true, bpsSolid);
    std::string tl, br;
    for (Integer i = 0; i < 3; ++i) {
      tl += Picture(c, TRect(i, i, i + 1, i + 1), legend);
      br += Picture(c, TRect(19 - i, 11 - i, 20 - i, 12 - i), legend);
    }
    // cl3DLight is the button face in the fixed palette.
    EXPECT_EQ(tl, k.TopLeft) << k.Style;
    EXPECT_EQ(br, k.BottomRight) << k.Style;
  }
}

TEST_F(cxEditPaint, TheBackgroundKeepsOutOfTheButtonsAndTheClipRegionComesBack) {
  const std::map<TColor, char> legend{{kPaper, '.'}, {ColorToRGB(clWindow), 'w'}, {Rgb(0, 0, 0), '#'}};
  PainterCanvas c(12, 4);
  TestEditViewInfo V;
  V.Bounds = V.BorderRect = TRect(0, 0, 12, 4);
  V.BackgroundColor = clWindow;
  V.PaintButtons = false;
  TcxEditButtonPaintInfo left, right;
  left.VisibleBounds = TRect(0, 0, 2, 4);
  right.VisibleBounds = TRect(8, 0, 11, 4);  // the rest cut off by the editor's edge
  V.Buttons = {left, right};
  c->IntersectClipRect(TRect(0, 0, 10, 4));
  TOwned<TcxRegion> before(c->GetClipRegion());

  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  TOwned<TcxRegion> after(c->GetClipRegion());
  EXPECT_TRUE(after->IsEqual(before.get())) << "the clip region changed";
  // Pixels outside the clip region do not read back.
  win::SelectClipRgn(c->GetHandle(), nullptr);
  EXPECT_EQ(Picture(c, TRect(0, 0, 12, 1), legend), "..wwwwww....");

  // The canvas's own tools are still the ones it draws with: the border's
  // brush, chosen while the state was saved, is not lost with the state.
  V.Info.BorderStyle = ebsSingle;
  V.BorderColor = Rgb(0, 0, 0xFF);
  c->SetBrushColor(Rgb(0xFF, 0, 0));
  c->FillRect(TRect(0, 0, 1, 1));
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  c->SetBrushColor(V.BorderColor);
  const TPoint triangle[] = {{1, 0}, {10, 0}, {1, 3}};
  c->Polygon(triangle);
  EXPECT_EQ(ColorToRGB(c.At(3, 1)), V.BorderColor);
  V.Info.BorderStyle = ebsNone;

  // A themed first button that lets its background show through leaves
  // the editor's background whole under every button.
  V.Buttons[0].NativeTransparent = true;
  c.Clear(kPaper);
  c->IntersectClipRect(TRect(0, 0, 10, 4));
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  win::SelectClipRgn(c->GetHandle(), nullptr);
  EXPECT_EQ(Picture(c, TRect(0, 0, 12, 1), legend), "wwwwwwwwww..");
}

TEST_F(cxEditPaint, TheBackgroundBrushIsFetchedForTheFillEvenAfterTheCacheTurnedOver) {
  // Whatever ran before the fill (here a custom-background handler that
  // paints with many colours) may have evicted the background's brush.
  PainterCanvas c(10, 6);
  TestEditViewInfo V;
  V.Bounds = V.BorderRect = TRect(0, 0, 10, 6);
  V.BackgroundColor = Rgb(0x20, 0x40, 0x60);
  GetSolidBrush(V.BackgroundColor);
  V.OnDrawBackground = [] {
    for (Integer i = 0; i < 300; ++i) GetSolidBrush(Rgb(i % 256, i / 256, 7));
  };
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  EXPECT_EQ(ColorToRGB(c.At(5, 3)), V.BackgroundColor);
}

TEST_F(cxEditPaint, InPlaceWithoutBackgroundFillsOnlyTheContentOffset) {
  const std::map<TColor, char> legend{{kPaper, '.'}, {ColorToRGB(clWindow), 'w'}};
  PainterCanvas c(6, 5);
  TestEditViewInfo V;
  V.Info.IsInplace = true;
  V.Info.HasContentOffset = true;
  V.Bounds = TRect(0, 0, 6, 5);
  V.BorderRect = TRect(1, 1, 5, 4);
  V.BackgroundColor = clWindow;
  DrawCustomEdit(c.get(), &V, false, bpsSolid);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "wwwwww|w....w|w....w|w....w|wwwwww");
  V.Info.Transparent = true;
  c.Clear(kPaper);
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|......|......|......|......");
}

// --- Button styles ----------------------------------------------------------

TEST_F(cxEditPaint, HotFlatGivesAFullFrameOnlyToTheInnermostButtonOfItsGroup) {
  const std::map<TColor, char> legend{{kPaper, '.'},
                                      {ColorToRGB(clWindow), 'w'},
                                      {ColorToRGB(clBtnShadow), 's'},
                                      {ColorToRGB(clBtnFace), 'f'},
                                      {ColorToRGB(clBtnText), '#'}};
  PainterCanvas c(20, 6);
  TestEditViewInfo V;
  LayOut(V, TRect(0, 0, 20, 6), true, btsHotFlat, bkGlyph, ebsNormal, 6);
  // Two right-aligned buttons: the inner one faces the text, the outer one
  // ends the group.
  TcxEditButtonPaintInfo inner = V.Buttons[0], outer = V.Buttons[0];
  inner.Bounds = inner.VisibleBounds = TRect(8, 0, 14, 6);
  inner.LeftEdge = true;
  inner.RightEdge = false;
  outer.Bounds = outer.VisibleBounds = TRect(14, 0, 20, 6);
  outer.LeftEdge = false;
  outer.RightEdge = true;
  V.Buttons = {inner, outer};
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  // The outer button's side towards its neighbour is drawn in its own face
  // colour, so the two read as one group.
  EXPECT_EQ(Picture(c, TRect(6, 0, 20, 6), legend),
            "wwssssssssssss|wwsffffsfffffs|wwsffffsfffffs|wwsffffsfffffs|wwsffffsfffffs|wwssssssssssss");

  // Pressed, the button is dark under an arrow in the window colour, also
  // when it is transparent: the arrow must not vanish into the editor.
  for (bool transparent : {false, true}) {
    PainterCanvas p(30, 16);
    TestEditViewInfo W;
    LayOut(W, TRect(0, 0, 30, 16), true, btsHotFlat, bkDown, ebsPressed);
    W.Buttons[0].Transparent = transparent;
    DrawCustomEdit(p.get(), &W, true, bpsSolid);
    const TRect b = W.Buttons[0].Bounds;
    EXPECT_EQ(ColorToRGB(p.At(b.Left + 1, b.Top + 1)), ColorToRGB(clBtnText)) << transparent;
    Integer arrow = 0;
    for (Integer y = b.Top + 1; y < b.Bottom - 1; ++y)
      for (Integer x = b.Left + 1; x < b.Right - 1; ++x) arrow += ColorToRGB(p.At(x, y)) == ColorToRGB(clWindow);
    EXPECT_GT(arrow, 0) << transparent;
  }
}

TEST_F(cxEditPaint, AHotUltraFlatButtonDrawsAHighlightLineOnlyWhereTheEditorBorderDoesNotRun) {
  const TColor hot = GetEditButtonHighlightColor(false, false);
  const std::map<TColor, char> legend{
      {kPaper, '.'}, {ColorToRGB(clWindow), 'w'}, {ColorToRGB(clHighlight), 'H'}, {ColorToRGB(hot), 'b'}};
  PainterCanvas c(30, 10);
  TestEditViewInfo V;
  // Stand-alone: the editor's highlighted border closes the button on the
  // right, top and bottom; the line on its left parts it from the text.
  LayOut(V, TRect(0, 0, 30, 10), false, btsUltraFlat, bkGlyph, ebsSelected, 8);
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  EXPECT_EQ(Picture(c, TRect(19, 4, 30, 5), legend), "wwHbbbbbbbH");
  EXPECT_EQ(Picture(c, TRect(19, 0, 30, 2), legend), "HHHHHHHHHHH|wwHbbbbbbbH");
  EXPECT_EQ(V.BackgroundCalls, (std::vector<std::string>{"0:22,1,29,9"}));

  // In place there is no border of the editor: the button has a frame.
  c.Clear(kPaper);
  LayOut(V, TRect(0, 0, 30, 10), true, btsUltraFlat, bkGlyph, ebsSelected, 8);
  V.BackgroundCalls.clear();
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  EXPECT_EQ(Picture(c, TRect(20, 0, 30, 2), legend), "wwHHHHHHHH|wwHbbbbbbH");
  EXPECT_EQ(V.BackgroundCalls, (std::vector<std::string>{"0:23,1,29,9"}));
}

TEST_F(cxEditPaint, EllipsisDotsGrowWithTheContentWidthAndFollowTheState) {
  const std::map<TColor, char> legend{{ColorToRGB(clBtnFace), 'f'},
                                      {ColorToRGB(clBtnText), '#'},
                                      {ColorToRGB(clBtnShadow), 's'},
                                      {ColorToRGB(clBtnHighlight), 'h'}};
  struct Case {
    Integer Width;
    TcxEditButtonState State;
    std::string Rows;  // rows 2 to 4
  };
  const Case cases[] = {
      {12, ebsNormal, "f##ff##ff##f|f##ff##ff##f|ffffffffffff"},
      {11, ebsNormal, "ff#ff#ff#ff|fffffffffff|fffffffffff"},
      {12, ebsPressed, "ffffffffffff|ff##ff##ff##|ff##ff##ff##"},
      {11, ebsDisabled, "ffsffsffsff|fffhffhffhf|fffffffffff"},
  };
  for (const Case& k : cases) {
    PainterCanvas c(k.Width, 6);
    TestEditViewInfo V;
    LayOut(V, TRect(0, 0, k.Width, 6), true, btsDefault, bkEllipsis, k.State, k.Width);
    V.Buttons[0].BackgroundColor = clWindow;
    DrawEditButtonBorder(c.get(), &V, 0, btsDefault, V.Buttons[0].Bounds);
    EXPECT_EQ(Picture(c, TRect(0, 2, k.Width, 5), legend), k.Rows) << k.Width << " " << k.State;
  }

  // A button narrower than its dots keeps them inside: nothing lands on
  // the text beside it.
  PainterCanvas c(30, 10);
  TestEditViewInfo V;
  LayOut(V, TRect(0, 0, 30, 10), true, btsUltraFlat, bkEllipsis, ebsNormal, 5);
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  for (Integer y = 0; y < 10; ++y)
    for (Integer x = 0; x < 25; ++x) EXPECT_EQ(ColorToRGB(c.At(x, y)), ColorToRGB(clWindow)) << x << "," << y;
  EXPECT_EQ(ColorToRGB(c.At(27, 4)), ColorToRGB(clBtnText)) << "the middle dot";
}

TEST_F(cxEditPaint, ANativeEditorDrawsItsFrameAndButtonsThroughTheTheme) {
  PainterCanvas c(60, 21);
  TestEditViewInfo V;
  LayOut(V, TRect(0, 0, 60, 21), false, btsDefault, bkDown, ebsSelected);
  V.NativeStyle = true;
  V.NativeState = 2;
  V.Buttons[0].Native = true;
  V.Buttons[0].IsComboButton = true;
  CalculateEditButtonState(V.Buttons[0]);
  TcxEditButtonPaintInfo text = V.Buttons[0];
  text.IsComboButton = false;
  text.Kind = bkEllipsis;
  text.Bounds = text.VisibleBounds = TRect(25, 2, 42, 19);
  CalculateEditButtonState(text);
  V.Buttons.push_back(text);

  win::test::StartThemeCallLog();
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  win::test::StopThemeCallLog();
  // The editor's frame, then each button in its own part and state; the
  // combo button is the theme's picture alone.
  EXPECT_EQ(Calls("DrawThemeBackground"),
            (std::vector<std::string>{"DrawThemeBackground Edit 1/2 [0,0,60,21]",
                                      "DrawThemeBackground ComboBox 1/2 [42,1,59,20]",
                                      "DrawThemeBackground Button 1/2 [25,2,42,19]"}));
  EXPECT_TRUE(V.BackgroundCalls.empty()) << "a themed button has no background of its own";
  TRect content = text.Bounds;
  ::GetThemeBackgroundContentRect(OpenTheme(totButton), c->GetHandle(), 1, 2, text.Bounds, content);
  win::SelectClipRgn(c->GetHandle(), nullptr);
  const TPoint centre = cxRectCenter(content);
  EXPECT_EQ(ColorToRGB(c.At(centre.X, centre.Y)), ColorToRGB(clBtnText)) << "the middle dot";
  EXPECT_EQ(ColorToRGB(c.At(12, 10)), ColorToRGB(clWindow));

  // Without themes the same editor paints without a single theme call.
  win::SetThemesActive(false);
  Restart();
  for (TcxEditButtonPaintInfo& b : V.Buttons) CalculateEditButtonState(b);
  c.Clear(kPaper);
  win::test::StartThemeCallLog();
  DrawCustomEdit(c.get(), &V, true, bpsSolid);
  win::test::StopThemeCallLog();
  EXPECT_TRUE(win::test::ThemeCalls().empty());
  EXPECT_EQ(ColorToRGB(c.At(12, 10)), ColorToRGB(clWindow));
  EXPECT_EQ(V.BackgroundCalls.size(), 2u);
}

TEST_F(cxEditPaint, GlyphsAreComposedOnTheirBackgroundWithoutTheirTransparentColour) {
  const TColor magenta = Rgb(0xFF, 0, 0xFF), red = Rgb(0xFF, 0, 0), blue = Rgb(0, 0, 0xFF);
  const std::map<TColor, char> legend{{kPaper, '.'}, {magenta, 'm'}, {red, 'r'}, {blue, 'b'},
                                      {ColorToRGB(clWindow), 'w'}};
  TOwned<TBitmap> glyph(cxCreateBitmap(3, 3));
  glyph->GetCanvas()->GetBrush()->SetColor(magenta);
  glyph->GetCanvas()->FillRect({0, 0, 3, 3});
  glyph->GetCanvas()->SetPixels(1, 1, blue);
  TOwned<TBitmap> background(cxCreateBitmap(4, 3));
  cxEditFillRect(background->GetCanvas(), TRect(0, 0, 4, 3), red);

  PainterCanvas c(6, 5);
  DrawGlyph(c.get(), 1, 1, glyph.get(), true, clNone, background.get());
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|.rrrr.|.rbrr.|.rrrr.|......");
  c.Clear(kPaper);
  DrawGlyph(c->GetCanvas(), 2, 1, glyph.get(), true, clWindow);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|..www.|..wbw.|..www.|......");

  // From an image list: on a bitmap of the list's size in the background
  // colour.
  TOwned<TImageList> images(New<TImageList>(nullptr));
  images->SetWidth(3);
  images->SetHeight(3);
  images->AddMasked(glyph.get(), magenta);
  c.Clear(kPaper);
  DrawGlyph(c.get(), images.get(), 0, TRect(1, 1, 4, 4), clWindow, true);
  EXPECT_EQ(Picture(c, TRect(0, 0, 6, 5), legend), "......|.www..|.wbw..|.www..|......");
}

TEST_F(cxEditPaint, ButtonBorderLinesGoLeftRightTopBottomEachShorterThanTheLast) {
  PainterCanvas c(10, 8);
  const win::HDC dc = c->GetHandle();
  TRect r(1, 1, 9, 7);
  win::GdiStartRecording(dc);
  DrawButtonBorder(c.get(), r, cxBordersAll, Rgb(0, 0, 0));
  const std::string log = win::GdiRecording(dc);
  win::GdiStopRecording(dc);
  std::vector<std::string> fills;
  for (std::size_t at = log.find("FillRect("); at != std::string::npos; at = log.find("FillRect(", at + 1))
    fills.push_back(log.substr(at, log.find(' ', at) - at));
  EXPECT_EQ(fills, (std::vector<std::string>{"FillRect(1,1,2,7", "FillRect(8,1,9,7", "FillRect(2,1,8,2",
                                             "FillRect(2,6,8,7"}));
  EXPECT_EQ(r, TRect(2, 2, 8, 6));
}

}  // namespace
