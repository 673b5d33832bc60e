#include <gtest/gtest.h>

#include <limits>

#include "library/foundation/cxGraphics.h"
#include "platform/win/Metrics.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Owned.h"

TEST(cxBrushCache, SharedCountedAndSortedByColour) {
  TcxBrushCache cache;
  TBrush* a = cache.Add(0x0000FF);
  TBrush* b = cache.Add(0x0000FF);
  EXPECT_EQ(a, b);
  ASSERT_EQ(cache.GetCount(), 1);
  EXPECT_EQ(cache.GetRefCount(0), 2);
  cache.Add(0x00FF00);
  cache.Add(0x000001);  // below all
  cache.Add(0xFFFFFF);  // above all
  cache.Add(0x00FF00);
  ASSERT_EQ(cache.GetCount(), 4);
  for (Integer i = 1; i < cache.GetCount(); ++i) EXPECT_LT(cache.GetColor(i - 1), cache.GetColor(i));

  // A release forgets the caller's brush, so releasing it again does nothing.
  cache.ReleaseBrush(a);
  EXPECT_EQ(a, nullptr);
  cache.ReleaseBrush(a);
  cache.ReleaseBrush(b);
  Integer index;
  EXPECT_FALSE(cache.IndexOf(0x0000FF, index));
  EXPECT_EQ(index, -1);
}

TEST(cxBrushCache, SystemColoursAndNonColoursStayOutside) {
  struct Finalize {
    ~Finalize() { cxGraphicsFinalize(); }
  } finalize;
  TcxBrushCache cache;
  TBrush* face = cache.Add(clBtnFace);
  EXPECT_EQ(face, cxSystemBrush(win::COLOR_BTNFACE));
  EXPECT_EQ(cache.GetCount(), 0);
  cache.ReleaseBrush(face);  // never counted
  EXPECT_EQ(cxSystemBrush(15)->GetColor(), clBtnFace);
  // clNone and clDefault are no colours: no brush rather than a wrong one.
  EXPECT_EQ(cache.Add(clNone), nullptr);
  EXPECT_EQ(cache.Add(clDefault), nullptr);
  EXPECT_EQ(cache.Add(static_cast<TColor>(0xFF000040)), nullptr);
  Integer index;
  EXPECT_FALSE(cache.IndexOf(clBtnFace, index));
}

TEST(cxBrushCache, LockedReleasesKeepBrushesForTheNextPass) {
  TcxBrushCache cache;
  TBrush* brush = cache.Add(0x123456);
  TBrush* held = brush;
  cache.BeginUpdate();
  cache.ReleaseBrush(brush);
  EXPECT_EQ(cache.GetCount(), 1);  // kept with no users
  EXPECT_THROW(cache.Release(0), EBrushCache);
  TBrush* again = cache.Add(0x123456);
  EXPECT_EQ(again, held);  // reused, not made anew
  cache.EndUpdate();
  EXPECT_EQ(cache.GetCount(), 1);

  cache.BeginUpdate();
  cache.ReleaseBrush(again);
  cache.Add(0x000010);
  cache.EndUpdate();  // the unused brush goes now
  ASSERT_EQ(cache.GetCount(), 1);
  EXPECT_EQ(cache.GetColor(0), 0x000010);
}

TEST(cxGraphicsColours, LightColoursMixTheSystemColours) {
  // Button face (212, 208, 200), highlight (10, 36, 106), window white.
  const TColor light = GetLightColor(-2, 30, 72);
  EXPECT_EQ(light & 0xFF, static_cast<TColor>(MulDiv(212, -2, 100) + MulDiv(10, 30, 100) + MulDiv(255, 72, 100)));
  const COLORREF saved = win::GetSysColor(win::COLOR_BTNFACE);
  const int index = win::COLOR_BTNFACE;
  const COLORREF black = 0;
  win::SetSysColors(1, &index, &black);
  EXPECT_EQ(GetLightColor(-2, 30, 72), ColorToRGB(clHighlight));
  win::SetSysColors(1, &index, &saved);
}

TEST(cxGraphicsResize, LanczosStaysInsideShortSources) {
  for (Integer sourceWidth : {1, 2, 3}) {
    TOwned<TBitmap> source(cxCreateBitmap(sourceWidth, 1, pf32bit));
    source->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0x336699));
    source->GetCanvas()->FillRect({0, 0, sourceWidth, 1});
    TOwned<TBitmap> dest(cxCreateBitmap(10, 1, pf32bit));
    cxSmoothResizeBitmap(source.get(), dest.get(), true);
    for (Integer x = 0; x < 10; ++x) {
      // A uniform source keeps its colour.
      EXPECT_EQ(dest->GetCanvas()->GetPixels(x, 0), static_cast<TColor>(0x336699)) << sourceWidth << " px, x = " << x;
    }
  }
}

TEST(cxGraphicsResize, StrongReductionsAndOnePixelSidesKeepAPlainColour) {
  // Down to one pixel across, one down, or both, the filter still has a
  // span of the source to weigh; and however wide that span, its weights
  // add up to the whole, so a plain colour comes out as it went in.
  TOwned<TBitmap> source(cxCreateBitmap(10, 10, pf32bit));
  source->GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0x336699));
  source->GetCanvas()->FillRect({0, 0, 10, 10});
  for (TSize size : {TSize{1, 1}, TSize{1, 7}, TSize{7, 1}, TSize{2, 2}, TSize{3, 3}}) {
    TOwned<TBitmap> dest(cxCreateBitmap(size.cx, size.cy, pf32bit));
    cxSmoothResizeBitmap(source.get(), dest.get(), true);
    for (Integer y = 0; y < size.cy; ++y)
      for (Integer x = 0; x < size.cx; ++x) {
        const TColor c = dest->GetCanvas()->GetPixels(x, y);
        EXPECT_EQ(c, static_cast<TColor>(0x336699)) << size.cx << " x " << size.cy << " at " << x << ", " << y;
      }
  }
}

TEST(cxGraphicsBlend, SolidColourIntoABitmapStaysInsideTheRectangle) {
  TOwned<TBitmap> bitmap(cxCreateBitmap(4, 4, pf32bit));
  bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
  bitmap->GetCanvas()->FillRect({0, 0, 4, 4});
  cxAlphaBlend(bitmap.get(), TRect{1, 1, 4, 4}, clBlack, 255);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(0, 0), clWhite);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(1, 1), clBlack);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(3, 3), clBlack);  // the last row and column are inside
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(0, 3), clWhite);
  // A rectangle reaching the ends of Integer covers the whole bitmap.
  constexpr Integer lo = std::numeric_limits<Integer>::min(), hi = std::numeric_limits<Integer>::max();
  cxAlphaBlend(bitmap.get(), TRect{lo, lo, hi, hi}, clBlack, 255);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(0, 0), clBlack);
  EXPECT_EQ(bitmap->GetCanvas()->GetPixels(3, 0), clBlack);
}
