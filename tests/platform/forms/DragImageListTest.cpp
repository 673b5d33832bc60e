// Drag images: the chosen image follows the pointer over a window, drawn
// through its mask with its hot spot at the pointer, and what it covered
// comes back when it moves, hides or the drag ends.
#include "FormsTestUtil.h"

#include "platform/forms/DragImageList.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace forms_test;

namespace {

class DragImageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::WNDCLASSA wc{};
    wc.lpfnWndProc = win::DefWindowProcA;
    wc.lpszClassName = "DragTarget";
    win::RegisterClassA(&wc);
    Window = win::CreateWindowExA(0, "DragTarget", "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 40, 30, nullptr,
                                  nullptr, nullptr, nullptr);
    win::test::PumpUntilIdle();
    // A blue ground with a yellow pixel where the image will go.
    win::HDC dc = win::GetWindowDC(Window);
    win::HBRUSH blue = win::CreateSolidBrush(win::RGB(0, 0, 255));
    win::RECT all{0, 0, 40, 30};
    win::FillRect(dc, &all, blue);
    win::DeleteObject(blue);
    win::SetPixel(dc, 11, 11, win::RGB(255, 255, 0));
    win::ReleaseDC(Window, dc);

    // One 4 x 4 image: red with a see-through (white) top row.
    Images = New<TDragImageList>(nullptr);
    Images->SetWidth(4);
    Images->SetHeight(4);
    TBitmap* b = New<TBitmap>();
    b->SetSize(4, 4);
    b->GetCanvas()->GetBrush()->SetColor(clRed);
    b->GetCanvas()->FillRect(Rect(0, 1, 4, 4));
    Images->AddMasked(b, clWhite);
    b->Free();
  }
  void TearDown() override {
    Images->Free();
    win::DestroyWindow(Window);
  }

  TColor At(int x, int y) {
    win::HDC dc = win::GetWindowDC(Window);
    TColor c = static_cast<TColor>(win::GetPixel(dc, x, y));
    win::ReleaseDC(Window, dc);
    return c;
  }

  win::test::Session Session;
  win::HWND Window = nullptr;
  TDragImageList* Images = nullptr;
};

}  // namespace

TEST_F(DragImageListTest, ImageFollowsThePointerAndLeavesNothingBehind) {
  EXPECT_FALSE(Images->BeginDrag(Window, 10, 10)) << "no image chosen";
  EXPECT_FALSE(Images->SetDragImage(1, 0, 0));
  ASSERT_TRUE(Images->SetDragImage(0, 1, 1));
  ASSERT_TRUE(Images->BeginDrag(Window, 10, 10));
  EXPECT_TRUE(Images->GetDragging());
  EXPECT_FALSE(Images->BeginDrag(Window, 0, 0)) << "one drag at a time";
  // The hot spot (1, 1) is at the pointer: the image spans (9, 9)-(13, 13).
  EXPECT_EQ(At(9, 10), clRed);
  EXPECT_EQ(At(11, 11), clRed) << "the yellow pixel is covered";
  EXPECT_EQ(At(10, 9), clBlue) << "the see-through row";
  EXPECT_EQ(At(13, 10), clBlue);

  ASSERT_TRUE(Images->DragMove(25, 20));
  EXPECT_EQ(At(11, 11), clYellow) << "put back";
  EXPECT_EQ(At(9, 10), clBlue);
  EXPECT_EQ(At(24, 20), clRed);

  ASSERT_TRUE(Images->HideDragImage());
  EXPECT_EQ(At(24, 20), clBlue);
  ASSERT_TRUE(Images->DragMove(11, 12));
  EXPECT_EQ(At(11, 12), clBlue) << "hidden images do not follow";
  ASSERT_TRUE(Images->ShowDragImage());
  EXPECT_EQ(At(11, 12), clRed);

  // A new hot spot moves the image at once.
  ASSERT_TRUE(Images->SetDragImage(0, 0, 0));
  EXPECT_EQ(At(10, 13), clBlue);
  EXPECT_EQ(At(14, 13), clRed);

  ASSERT_TRUE(Images->EndDrag());
  EXPECT_FALSE(Images->GetDragging());
  EXPECT_FALSE(Images->EndDrag());
  EXPECT_FALSE(Images->DragMove(1, 1));
  EXPECT_EQ(At(11, 11), clYellow);
  EXPECT_EQ(At(12, 13), clBlue);
}

TEST_F(DragImageListTest, DragOverAWindowThatGoesAwayEndsQuietly) {
  LeakCheck leaks;
  ASSERT_TRUE(Images->SetDragImage(0, 0, 0));
  ASSERT_TRUE(Images->BeginDrag(Window, 5, 5));
  win::DestroyWindow(Window);
  EXPECT_TRUE(Images->DragMove(6, 6));
  EXPECT_TRUE(Images->EndDrag());
  EXPECT_FALSE(Images->BeginDrag(Window, 5, 5)) << "not over a window that is gone";
}
