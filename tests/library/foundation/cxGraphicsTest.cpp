#include "library/foundation/cxGraphics.h"
#include "platform/rtl/Owned.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Text.h"
#include "platform/forms/MetafilePlayer.h"
#include "platform/win/Modules.h"
#include "support/HangGuard.h"

namespace {


// A white 32-bit bitmap with a library canvas on it.
struct Surface {
  explicit Surface(Integer W = 20, Integer H = 20) : Bitmap(New<TBitmap>()) {
    Bitmap->SetPixelFormat(pf32bit);
    Bitmap->SetSize(W, H);
    Bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
    Bitmap->GetCanvas()->FillRect({0, 0, W, H});
    Canvas = MakeOwned<TcxCanvas>(Bitmap->GetCanvas());
  }
  // Pixels are read in device coordinates, whatever origin or clip the
  // test left on the canvas.
  TColor At(Integer X, Integer Y) {
    win::HDC dc = Bitmap->GetCanvas()->GetHandle();
    win::SetWindowOrgEx(dc, 0, 0, nullptr);
    win::SelectClipRgn(dc, nullptr);
    return Bitmap->GetCanvas()->GetPixels(X, Y);
  }
  // The rectangle of pixels that are not white, or empty.
  TRect Painted() {
    TRect r{1 << 20, 1 << 20, -1, -1};
    for (Integer y = 0; y < Bitmap->GetHeight(); ++y)
      for (Integer x = 0; x < Bitmap->GetWidth(); ++x)
        if (At(x, y) != clWhite) r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
    return r.Right < 0 ? cxNullRect : r;
  }
  TOwned<TBitmap> Bitmap;
  TOwned<TcxCanvas> Canvas;
};

// A 2 x 2 tile: red, lime over blue, yellow.
TBitmap* FourColourTile() {
  TBitmap* tile = New<TBitmap>();
  tile->SetPixelFormat(pf32bit);
  tile->SetSize(2, 2);
  const TColor colours[2][2] = {{clRed, clLime}, {clBlue, clYellow}};
  for (Integer y = 0; y < 2; ++y)
    for (Integer x = 0; x < 2; ++x) tile->GetCanvas()->SetPixels(x, y, colours[y][x]);
  return tile;
}

}  // namespace

TEST(cxCanvasText, LibraryFlagsTurnIntoPlatformFlags) {
  using namespace win;
  EXPECT_EQ(cxFlagsToDTFlags(0), DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(cxShowPrefix), 0u);
  EXPECT_EQ(cxFlagsToDTFlags(34), DT_RIGHT | DT_VCENTER | DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(100), DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(cxWordBreak), DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(cxWordBreak | cxDontBreakChars), DT_WORDBREAK | DT_NOPREFIX);
  EXPECT_EQ(cxFlagsToDTFlags(cxShowEndEllipsis | cxShowPathEllipsis | cxDontPrint | cxExpandTabs | cxDontClip),
            DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_CALCRECT | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX);
}

TEST(cxCanvasFrames, WideFramesStayInsideTheRectangle) {
  Surface s;
  s.Canvas->FrameRect({5, 5, 11, 9}, clRed, 4);
  EXPECT_EQ(s.Painted(), (TRect{5, 5, 11, 9}));
  for (Integer y = 5; y < 9; ++y)
    for (Integer x = 5; x < 11; ++x) EXPECT_EQ(s.At(x, y), clRed) << x << "," << y;
  // An empty rectangle draws nothing, whatever the width.
  Surface t;
  t.Canvas->FrameRect({5, 5, 5, 9}, clRed, 4);
  EXPECT_EQ(t.Painted(), cxNullRect);
}

TEST(cxCanvasFrames, EdgesUseTheThreeDimensionalColours) {
  Surface s;
  s.Canvas->DrawEdge({2, 2, 10, 10}, true, true);  // sunken outer
  EXPECT_EQ(s.At(2, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(5, 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(s.At(9, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(5, 9), ColorToRGB(clBtnHighlight));
  s.Canvas->DrawComplexFrame({12, 2, 18, 8}, clRed, clBlue, {bLeft, bBottom}, 2);
  EXPECT_EQ(s.At(13, 2), clRed);
  EXPECT_EQ(s.At(17, 7), clBlue);
  EXPECT_EQ(s.At(17, 2), clWhite);  // no right or top border asked for
}

TEST(cxCanvasFills, TilesLineUpWithTheCanvasOriginOnBothSidesOfIt) {
  TOwned<TBitmap> tile(FourColourTile());

  Surface s;
  s.Canvas->FillRect({1, 1, 6, 6}, tile.get());
  EXPECT_EQ(s.At(1, 1), clYellow);  // (1, 1) of the tile, not (0, 0)
  EXPECT_EQ(s.At(2, 1), clBlue);
  EXPECT_EQ(s.At(2, 2), clRed);
  EXPECT_EQ(s.At(0, 0), clWhite);
  EXPECT_EQ(s.At(6, 6), clWhite);

  // Left of and above the origin the tiling goes on without a gap.
  Surface t;
  t.Canvas->SetWindowOrg({-3, -3});  // logical (-3, -3) is the top-left pixel
  t.Canvas->FillRect({-3, -3, 3, 3}, tile.get());
  EXPECT_EQ(t.At(0, 0), clYellow);  // logical (-3, -3): tile (1, 1)
  EXPECT_EQ(t.At(1, 1), clRed);     // logical (-2, -2): tile (0, 0)
  EXPECT_EQ(t.Painted(), (TRect{0, 0, 6, 6}));
}

// A tiled fill copies only the tiles its canvas can show: a rectangle of
// billions of pixels paints the bitmap's pixels at once. A metafile has no
// such bound, so a recorded fill keeps every tile it was given.
TEST(cxCanvasFills, TilesOfAHugeRectangleStopAtWhatTheCanvasShows) {
  TOwned<TBitmap> tile(FourColourTile());

  Surface s;
  {
    HangGuard guard(60);
    s.Canvas->FillRect({-(1 << 30), -(1 << 30), 1 << 30, 1 << 30}, tile.get());
  }
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(19, 19), clYellow);
  EXPECT_EQ(s.At(18, 19), clBlue);

  // Recorded into a metafile and played back on a bitmap, a 6 x 6 fill
  // comes back whole.
  const win::RECT frame{0, 0, 6 * 2540 / 96, 6 * 2540 / 96};
  win::HDC dc = win::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  ASSERT_NE(dc, nullptr);
  {
    TOwned<TCanvas> recording(New<TCanvas>());
    recording->SetHandle(dc);
    TOwned<TcxCanvas> canvas(MakeOwned<TcxCanvas>(recording.get()));
    canvas->FillRect({0, 0, 6, 6}, tile.get());
    recording->SetHandle(nullptr);
  }
  win::HENHMETAFILE emf = win::CloseEnhMetaFile(dc);
  ASSERT_NE(emf, nullptr);
  std::vector<std::uint8_t> bytes(win::GetEnhMetaFileBits(emf, 0, nullptr));
  win::GetEnhMetaFileBits(emf, win::UINT(bytes.size()), bytes.data());
  win::DeleteEnhMetaFile(emf);
  Surface played;
  PlayEnhancedMetafile(bytes.data(), played.Bitmap->GetCanvas()->GetHandle(), {0, 0, 6, 6});
  EXPECT_EQ(played.At(0, 0), clRed);
  EXPECT_EQ(played.At(5, 5), clYellow);
  EXPECT_EQ(played.At(4, 5), clBlue);
  EXPECT_EQ(played.Painted(), (TRect{0, 0, 6, 6}));
}

TEST(cxCanvasClipping, RegionsRoundTripThroughTheClip) {
  Surface s;
  TOwned<TcxRegion> none(s.Canvas->GetClipRegion());
  EXPECT_EQ(none->GetBoundsRect(), (TRect{0, 0, 30000, 30000}));

  s.Canvas->SetClipRegion(New<TcxRegion>(2, 2, 10, 10), roSet);
  s.Canvas->SetClipRegion(New<TcxRegion>(4, 4, 6, 6), roSubtract);
  EXPECT_TRUE(s.Canvas->RectFullyVisible({2, 2, 4, 10}));
  EXPECT_FALSE(s.Canvas->RectFullyVisible({3, 3, 7, 7}));
  s.Canvas->SetBrushColor(clBlack);
  s.Canvas->FillRect({0, 0, 20, 20});
  EXPECT_EQ(s.At(2, 2), clBlack);
  EXPECT_EQ(s.At(4, 4), clWhite);
  EXPECT_EQ(s.At(10, 10), clWhite);

  // Regions are logical: with a moved origin they still name what is drawn.
  Surface t;
  t.Canvas->SetWindowOrg({5, 5});
  t.Canvas->SetClipRegion(New<TcxRegion>(5, 5, 8, 8), roSet);
  TOwned<TcxRegion> clip(t.Canvas->GetClipRegion());
  EXPECT_EQ(clip->GetBoundsRect(), (TRect{5, 5, 8, 8}));
  TOwned<TcxRegion> device(t.Canvas->GetClipRegion(false));
  EXPECT_EQ(device->GetBoundsRect(), (TRect{0, 0, 3, 3}));

  // Filling with ExcludeRect keeps later drawing off the filled part.
  Surface u;
  u.Canvas->SetBrushColor(clRed);
  u.Canvas->FillRect({0, 0, 5, 5}, nullptr, true);
  u.Canvas->SetBrushColor(clBlue);
  u.Canvas->FillRect({0, 0, 20, 20});
  EXPECT_EQ(u.At(4, 4), clRed);
  EXPECT_EQ(u.At(5, 5), clBlue);
}

TEST(cxCanvasPaths, ThePathsRegionClipsToTheShapeDrawn) {
  // A triangle drawn between BeginPath and EndPath becomes a region in
  // logical coordinates (or device ones), which then clips a fill.
  Surface s;
  s.Canvas->SetWindowOrg({5, 0});
  TOwned<TcxRegion> none(s.Canvas->PathToRegion());
  EXPECT_TRUE(none->IsEmpty()) << "no path yet";
  const TPoint triangle[] = {{5, 0}, {25, 0}, {5, 20}};
  s.Canvas->BeginPath();
  s.Canvas->Polygon(triangle);
  s.Canvas->EndPath();
  EXPECT_EQ(s.Canvas->GetPixel(6, 1), clWhite) << "recording draws nothing";
  TOwned<TcxRegion> logical(s.Canvas->PathToRegion());
  EXPECT_EQ(logical->GetBoundsRect(), (TRect{5, 0, 25, 20}));
  EXPECT_TRUE(logical->PtInRegion(6, 1));
  EXPECT_FALSE(logical->PtInRegion(20, 15));
  s.Canvas->BeginPath();
  s.Canvas->Polygon(triangle);
  s.Canvas->EndPath();
  TOwned<TcxRegion> device(s.Canvas->PathToRegion(false));
  EXPECT_EQ(device->GetBoundsRect(), (TRect{0, 0, 20, 20}));
  s.Canvas->SetClipRegion(logical.release(), roSet);
  s.Canvas->SetBrushColor(clBlack);
  s.Canvas->FillRect({5, 0, 25, 20});
  EXPECT_EQ(s.At(1, 1), clBlack);
  EXPECT_EQ(s.At(15, 15), clWhite);

  // Widened, a line becomes the band its pen paints.
  Surface w;
  w.Canvas->GetPen()->SetWidth(5);
  w.Canvas->BeginPath();
  w.Canvas->MoveTo(2, 10);
  w.Canvas->LineTo(18, 10);
  w.Canvas->EndPath();
  w.Canvas->WidenPath();
  TOwned<TcxRegion> band(w.Canvas->PathToRegion());
  EXPECT_TRUE(band->PtInRegion(10, 8));
  EXPECT_TRUE(band->PtInRegion(10, 12));
  EXPECT_FALSE(band->PtInRegion(10, 13));
  EXPECT_FALSE(band->PtInRegion(10, 7));
}

TEST(cxCanvasRegions, EqualityCombineAndEmptiness) {
  TcxRegion a(0, 0, 10, 10), empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(a.IsEqual(static_cast<TcxRegion*>(nullptr)));
  TcxRegion otherEmpty(5, 5, 5, 5);
  EXPECT_TRUE(empty.IsEqual(&otherEmpty));
  a.Combine(New<TcxRegion>(5, 0, 15, 10), roAdd);
  EXPECT_EQ(a.GetBoundsRect(), (TRect{0, 0, 15, 10}));
  a.Combine(New<TcxRegion>(0, 0, 5, 10), roSubtract);
  EXPECT_FALSE(a.PtInRegion(4, 4));
  EXPECT_TRUE(a.PtInRegion(5, 4));
  auto* kept = New<TcxRegion>(0, 0, 1, 1);
  a.Combine(kept, roSet, false);  // not destroyed: still ours
  EXPECT_TRUE(a.IsEqual(kept));
  kept->Free();
}

TEST(cxCanvasShapes, PieSweeps) {
  Surface full, ellipse;
  full.Canvas->GetBrush()->SetColor(clBlack);
  full.Canvas->GetPen()->SetColor(clBlack);
  full.Canvas->Pie({2, 2, 18, 14}, 30, 360);
  ellipse.Canvas->GetBrush()->SetColor(clBlack);
  ellipse.Canvas->GetPen()->SetColor(clBlack);
  ellipse.Canvas->GetCanvas()->Ellipse(2, 2, 18, 14);
  for (Integer y = 0; y < 20; ++y)
    for (Integer x = 0; x < 20; ++x) ASSERT_EQ(full.At(x, y), ellipse.At(x, y)) << x << "," << y;

  Surface flat;
  flat.Canvas->Pie({2, 5, 18, 5}, 0, 90);
  flat.Canvas->Pie({2, 2, 18, 14}, 45, 0);
  EXPECT_EQ(flat.Painted(), cxNullRect);
}

TEST(cxCanvasImages, QuarterTurnsAndFlipsMapEveryPixel) {
  // 3 x 2, pixels numbered row by row.
  auto make = [] {
    auto* b = New<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(3, 2);
    for (Integer y = 0; y < 2; ++y)
      for (Integer x = 0; x < 3; ++x) b->GetCanvas()->SetPixels(x, y, static_cast<TColor>(0x10 * (y * 3 + x + 1)));
    return TOwned<TBitmap>(b);
  };
  auto at = [](TBitmap* b, Integer x, Integer y) { return b->GetCanvas()->GetPixels(x, y) / 0x10; };
  Surface s;
  TOwned<TBitmap> plus = make();
  s.Canvas->RotateBitmap(plus.get(), raPlus90);  // counter-clockwise
  ASSERT_EQ(plus->GetWidth(), 2);
  ASSERT_EQ(plus->GetHeight(), 3);
  EXPECT_EQ(at(plus.get(), 0, 0), 3);
  EXPECT_EQ(at(plus.get(), 1, 0), 6);
  EXPECT_EQ(at(plus.get(), 0, 2), 1);
  EXPECT_EQ(at(plus.get(), 1, 2), 4);

  TOwned<TBitmap> minus = make();
  s.Canvas->RotateBitmap(minus.get(), raMinus90);  // clockwise
  EXPECT_EQ(at(minus.get(), 0, 0), 4);
  EXPECT_EQ(at(minus.get(), 1, 0), 1);
  EXPECT_EQ(at(minus.get(), 1, 2), 3);

  TOwned<TBitmap> half = make();
  s.Canvas->RotateBitmap(half.get(), ra180);
  EXPECT_EQ(at(half.get(), 0, 0), 6);
  EXPECT_EQ(at(half.get(), 2, 1), 1);

  TOwned<TBitmap> flipped = make();
  s.Canvas->RotateBitmap(flipped.get(), ra0, true);
  EXPECT_EQ(at(flipped.get(), 0, 0), 4);
  s.Canvas->FlipHorizontally(flipped.get());
  EXPECT_EQ(at(flipped.get(), 0, 0), 6);
}

TEST(cxCanvasImages, TranslucentDrawingWithoutThePlatformBlend) {
  struct Finalize {
    ~Finalize() { cxGraphicsFinalize(); }
  } finalize;
  win::test::SetModuleAbsent("msimg32", true);
  cxBindAlphaBlend();
  ASSERT_EQ(cxAlphaBlendFunc(), nullptr);
  Surface s(4, 4);
  TOwned<TBitmap> black(New<TBitmap>());
  black->SetPixelFormat(pf32bit);
  black->SetSize(2, 2);
  black->GetCanvas()->GetBrush()->SetColor(clBlack);
  black->GetCanvas()->FillRect({0, 0, 2, 2});
  s.Canvas->TransparentDraw(1, 1, black.get(), 64);
  // 255 * 191 / 255 + 0 = 191 per channel, rounded.
  EXPECT_EQ(s.At(1, 1), static_cast<TColor>(0xBFBFBF));
  EXPECT_EQ(s.At(0, 0), clWhite);
  win::test::SetModuleAbsent("msimg32", false);
  cxBindAlphaBlend();
  EXPECT_NE(cxAlphaBlendFunc(), nullptr);
}

TEST(cxCanvasText, DisabledTextIsEmbossedInsideTheRectangle) {
  win::SetTextRenderMode(win::TextRenderMode::Monochrome);
  Surface enabled(60, 20), disabled(60, 20);
  for (Surface* s : {&enabled, &disabled}) {
    s->Canvas->GetFont()->SetName("Tahoma");
    s->Canvas->GetFont()->SetHeight(-11);
    s->Canvas->GetFont()->SetColor(clBlack);
    s->Canvas->GetBrush()->SetStyle(bsClear);
  }
  const TRect R{0, 0, 50, 16};
  enabled.Canvas->DrawTexT("Ab", R, cxAlignRight | cxSingleLine);
  disabled.Canvas->DrawTexT("Ab", R, cxAlignRight | cxSingleLine, false);
  win::SetTextRenderMode(win::TextRenderMode::Grayscale);
  const TRect ink = enabled.Painted();
  ASSERT_FALSE(cxRectIsEmpty(ink));
  // The highlight copy (white here) is invisible; the shadow copy sits one
  // pixel left of and above the enabled text.
  TRect shadow = disabled.Painted();
  EXPECT_EQ(shadow, cxRectOffset(ink, -1, 0));
  for (Integer y = shadow.Top; y < shadow.Bottom; ++y)
    for (Integer x = shadow.Left; x < shadow.Right; ++x) {
      const TColor c = disabled.At(x, y);
      EXPECT_TRUE(c == clWhite || c == ColorToRGB(clBtnShadow)) << x << "," << y;
    }
}

TEST(cxCanvasText, TextInRectanglesAtTheEndsOfTheRangeIsPlacedInsideThem) {
  // Centred, right and bottom alignment in a rectangle reaching across the
  // range, or inverted across it, share out room an Integer cannot hold.
  Surface s(40, 20);
  s.Canvas->GetFont()->SetName("Tahoma");
  s.Canvas->GetFont()->SetHeight(-11);
  TRect r{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  s.Canvas->TextExtent("Ab", r, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
  const Integer width = s.Canvas->TextWidth("Ab");
  EXPECT_EQ(cxRectWidth(r), width);
  EXPECT_NEAR(r.Left + width / 2, 0, 1) << "the middle of the whole range is 0";
  TRect inverted{INT_MAX, 0, INT_MIN, 20};
  s.Canvas->TextExtent("Ab", inverted, cxAlignRight | cxAlignBottom | cxSingleLine);
  TRect bottom{0, INT_MIN, 40, INT_MAX};
  s.Canvas->AlignMultiLineTextRectVertically(bottom, "Ab", vaBottom, false, false, true, false);
  EXPECT_EQ(bottom.Bottom, INT_MAX);
  EXPECT_EQ(cxRectHeight(bottom), s.Canvas->TextHeight("Ab"));
}

TEST(cxCanvasText, LinesOfATextAndTheirRectangles) {
  Surface s(200, 100);
  s.Canvas->GetFont()->SetName("Tahoma");
  s.Canvas->GetFont()->SetHeight(-11);
  const Integer lineHeight = s.Canvas->TextHeight("Wg");
  std::vector<TRect> bounds;
  s.Canvas->GetTextStringsBounds("one\r\ntwo\n\rthree", {0, 0, 200, 100}, cxAlignLeft, true, bounds);
  ASSERT_EQ(bounds.size(), 3u);
  EXPECT_EQ(bounds[1].Top, lineHeight);
  EXPECT_EQ(bounds[2].Top, 2 * lineHeight);
  EXPECT_EQ(bounds[2].Left, 0);

  // A long line breaks at its last fitting space; right-aligned lines end at
  // the right edge.
  const Integer width = s.Canvas->TextWidth("alpha beta");
  s.Canvas->GetTextStringsBounds("alpha beta gamma", {0, 0, width + 2, 100}, cxAlignRight, true, bounds);
  ASSERT_EQ(bounds.size(), 2u);
  EXPECT_EQ(bounds[0].Right, width + 2);
  EXPECT_EQ(cxRectWidth(bounds[0]), width);
  EXPECT_EQ(cxRectWidth(bounds[1]), s.Canvas->TextWidth("gamma"));

  // A long text costs in proportion to its length: each line measures only
  // what it can hold, where measuring all the rest for each line would
  // keep this busy for minutes.
  HangGuard guard(60);
  AnsiString words;
  for (int i = 0; i < 200000; ++i) words += "alpha ";
  const Integer twoWords = s.Canvas->TextWidth("alpha alpha") + 1;
  s.Canvas->GetTextStringsBounds(words, {0, 0, twoWords, 100}, cxAlignLeft, true, bounds);
  ASSERT_EQ(bounds.size(), 100000u);
  EXPECT_EQ(cxRectWidth(bounds.front()), s.Canvas->TextWidth("alpha alpha "));
  EXPECT_EQ(bounds.back().Top, 99999 * lineHeight);
}
