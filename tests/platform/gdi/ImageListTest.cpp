#include <climits>
#include <gtest/gtest.h>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/ImageLists.h"
#include "platform/gdi/SysColors.h"

using namespace win;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);
constexpr COLORREF kFuchsia = RGB(255, 0, 255), kWhite = RGB(255, 255, 255);

// A 32-bit bitmap drawn with a painter over a memory DC.
template <class F>
HBITMAP MakeBitmap(int w, int h, int bpp, F&& paint) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(w, h, 1, UINT(bpp), nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(bm));
  paint(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bm;
}

void Fill(HDC dc, RECT r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

class ImageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dc = CreateCompatibleDC(nullptr);
    Target = CreateBitmap(40, 20, 1, 32, nullptr);
    Old = SelectObject(Dc, ToObj(Target));
    Fill(Dc, {0, 0, 40, 20}, kGreen);
    List = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 2, 2);
    // Two 4 x 4 images side by side: a red one whose left half is masked
    // out, and a blue one with a fuchsia corner.
    HBITMAP image = MakeBitmap(8, 4, 32, [](HDC dc) {
      Fill(dc, {0, 0, 4, 4}, kRed);
      Fill(dc, {4, 0, 8, 4}, kBlue);
      Fill(dc, {4, 0, 5, 1}, kFuchsia);
    });
    HBITMAP mask = MakeBitmap(8, 4, 1, [](HDC dc) {
      Fill(dc, {0, 0, 8, 4}, 0);
      Fill(dc, {0, 0, 2, 4}, kWhite);  // 1 = transparent
    });
    EXPECT_EQ(0, ImageList_Add(List, image, mask));
    DeleteObject(image);
    DeleteObject(mask);
  }
  void TearDown() override {
    ImageList_Destroy(List);
    SelectObject(Dc, Old);
    DeleteObject(Target);
    DeleteDC(Dc);
  }
  // The target's pixel, whatever the DC's clip.
  COLORREF At(int x, int y) {
    auto* bm = gdi::LookupAs<gdi::Bitmap>(Target);
    return gdi::PixelToColor(gdi::ReadPixel(bm->Surf, x, y)) & 0xFFFFFF;
  }
  // Row y of the target from x0, one letter per pixel.
  std::string Row(int y, int x0, int n) {
    std::string s;
    for (int x = x0; x < x0 + n; ++x) {
      COLORREF c = At(x, y);
      s += c == kRed ? 'R' : c == kBlue ? 'B' : c == kGreen ? '.' : c == kWhite ? 'W' : c == 0 ? 'K'
         : c == kFuchsia ? 'F' : c == GdiSysColor(COLOR_BTNSHADOW) ? 's' : c == GdiSysColor(COLOR_BTNHIGHLIGHT) ? 'h'
                                                                        : '?';
    }
    return s;
  }

  HDC Dc = nullptr;
  HBITMAP Target = nullptr;
  HGDIOBJ Old = nullptr;
  HIMAGELIST List = nullptr;
};

TEST_F(ImageListTest, MasksDecideWhatIsDrawn) {
  EXPECT_EQ(2, ImageList_GetImageCount(List));
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(List, &cx, &cy));
  EXPECT_EQ(4, cx);
  EXPECT_EQ(4, cy);

  ASSERT_TRUE(ImageList_Draw(List, 0, Dc, 1, 1, ILD_TRANSPARENT));
  EXPECT_EQ("...RR.", Row(1, 0, 6));
  // Normal drawing with a background colour fills what the mask hides.
  ImageList_DrawEx(List, 0, Dc, 10, 1, 0, 0, kWhite, CLR_DEFAULT, ILD_NORMAL);
  EXPECT_EQ(".WWRR.", Row(1, 9, 6));
  // ...and with no background colour (the list's default) leaves it.
  ImageList_Draw(List, 0, Dc, 20, 1, ILD_NORMAL);
  EXPECT_EQ("...RR.", Row(1, 19, 6));
  // The mask itself: white where transparent, black where drawn.
  ImageList_Draw(List, 0, Dc, 30, 1, ILD_MASK);
  EXPECT_EQ(".WWKK.", Row(1, 29, 6));
  // Part of an image.
  Fill(Dc, {0, 10, 40, 20}, kGreen);
  ImageList_DrawEx(List, 1, Dc, 0, 10, 2, 1, CLR_NONE, CLR_NONE, ILD_NORMAL);
  EXPECT_EQ("FB..", Row(10, 0, 4));
  EXPECT_EQ("....", Row(11, 0, 4));

  // Images placed at the ends of the coordinate range, in every look,
  // draw nothing here.
  Fill(Dc, {0, 0, 40, 20}, kGreen);
  SetViewportOrgEx(Dc, 3, 3, nullptr);
  for (int at : {INT_MAX - 2, INT_MIN}) {
    EXPECT_TRUE(ImageList_Draw(List, 1, Dc, at, at, ILD_NORMAL));
    EXPECT_TRUE(ImageList_Draw(List, 1, Dc, at, 0, ILD_MASK));
    EXPECT_TRUE(ImageList_DrawDisabled(List, 1, Dc, 0, at));
  }
  for (int y = 0; y < 20; ++y) EXPECT_EQ(std::string(40, '.'), Row(y, 0, 40)) << "row " << y;
}

TEST_F(ImageListTest, MaskedByColourReplaceAndRemove) {
  HIMAGELIST l = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 1, 1);
  HBITMAP image = MakeBitmap(4, 4, 32, [](HDC dc) {
    Fill(dc, {0, 0, 4, 4}, kBlue);
    Fill(dc, {0, 0, 4, 1}, kFuchsia);
  });
  EXPECT_EQ(0, ImageList_AddMasked(l, image, kFuchsia));
  ImageList_Draw(l, 0, Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ("....", Row(0, 0, 4));
  EXPECT_EQ("BBBB", Row(1, 0, 4));
  // The caller's bitmap is left as it was.
  HDC probe = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(probe, ToObj(image));
  EXPECT_EQ(kFuchsia, GetPixel(probe, 0, 0));
  SelectObject(probe, old);
  DeleteDC(probe);
  DeleteObject(image);

  // Replace keeps the index; Remove moves later images down.
  HBITMAP red = MakeBitmap(4, 4, 32, [](HDC dc) { Fill(dc, {0, 0, 4, 4}, kRed); });
  EXPECT_TRUE(ImageList_Replace(List, 1, red, nullptr));
  ImageList_Draw(List, 1, Dc, 10, 10, ILD_TRANSPARENT);
  EXPECT_EQ("RRRR", Row(10, 10, 4));
  EXPECT_TRUE(ImageList_Remove(List, 0));
  EXPECT_EQ(1, ImageList_GetImageCount(List));
  Fill(Dc, {0, 0, 40, 20}, kGreen);
  ImageList_Draw(List, 0, Dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ("RRRR", Row(0, 0, 4));
  EXPECT_FALSE(ImageList_Draw(List, 1, Dc, 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Replace(List, 5, red, nullptr));
  EXPECT_TRUE(ImageList_RemoveAll(List));
  EXPECT_EQ(0, ImageList_GetImageCount(List));
  DeleteObject(red);

  // A destroyed list is refused, not touched.
  const int live = ImageListLiveCount();
  EXPECT_TRUE(ImageList_Destroy(l));
  EXPECT_EQ(live - 1, ImageListLiveCount());
  EXPECT_FALSE(ImageList_Destroy(l));
  EXPECT_EQ(0, ImageList_GetImageCount(l));
  EXPECT_EQ(nullptr, ImageList_Create(0, 4, ILC_COLOR32, 1, 1));

  // A thousand images of the largest size asked for up front is a hint,
  // not 80 GB taken at once.
  HIMAGELIST large = ImageList_Create(4096, 4096, ILC_COLOR32 | ILC_MASK, 1024, 4);
  ASSERT_NE(large, nullptr);
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(large, &cx, &cy));
  EXPECT_EQ(4096, cx);
  EXPECT_EQ(0, ImageList_GetImageCount(large));
  EXPECT_TRUE(ImageList_Destroy(large));
}

TEST_F(ImageListTest, DisabledLookIsAnEmbossOfTheShape) {
  // A 4 x 4 image whose shape is a vertical bar in column 1 (the rest
  // masked out).
  HIMAGELIST l = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 1, 1);
  HBITMAP image = MakeBitmap(4, 4, 32, [](HDC dc) {
    Fill(dc, {0, 0, 4, 4}, kFuchsia);
    Fill(dc, {1, 0, 2, 3}, kBlue);
    Fill(dc, {3, 3, 4, 4}, kWhite);  // white parts fall out of the shape
  });
  ImageList_AddMasked(l, image, kFuchsia);
  DeleteObject(image);
  ASSERT_TRUE(ImageList_DrawDisabled(l, 0, Dc, 10, 5));
  // Shadow in place, highlight (white) showing one pixel down and to the
  // right.
  ASSERT_EQ(kWhite, GdiSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(".s...", Row(5, 10, 5));
  EXPECT_EQ(".sW..", Row(6, 10, 5));
  EXPECT_EQ(".sW..", Row(7, 10, 5));
  EXPECT_EQ("..W..", Row(8, 10, 5));
  EXPECT_EQ(".....", Row(9, 10, 5));

  // Clipped like everything else.
  Fill(Dc, {0, 0, 40, 20}, kGreen);
  IntersectClipRect(Dc, 0, 0, 12, 20);
  ImageList_DrawDisabled(l, 0, Dc, 10, 5);
  EXPECT_EQ(".s...", Row(6, 10, 5));
  ImageList_Destroy(l);
}

}  // namespace
