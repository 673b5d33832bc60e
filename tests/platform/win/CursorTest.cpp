// Cursors: the standard drawings, masks made by CreateCursor read back
// through GetIconInfo, the current cursor as the back end sees it, the
// visibility count, and the drawing format's errors.
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Cursors.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowStyles.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

// The mask bitmap of a cursor as rows of '0'/'1', AND rows then XOR rows.
std::vector<std::string> MaskRows(const ICONINFO& info) {
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  auto* b = gdi::LookupAs<gdi::Bitmap>(info.hbmMask);
  std::vector<std::string> rows;
  for (int y = 0; y < bm.bmHeight; ++y) {
    std::string r;
    for (int x = 0; x < bm.bmWidth; ++x) r += (b->Storage.data()[y * bm.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1 ? '1' : '0';
    rows.push_back(r);
  }
  return rows;
}

class Cursors : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
};

TEST_F(Cursors, EveryStandardIdLoadsAsASharedCursorOfThirtyTwoPixels) {
  const LPCSTR ids[] = {IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW, IDC_SIZEALL,     IDC_SIZENWSE,
                        IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS, IDC_NO,    IDC_HAND,    IDC_APPSTARTING, IDC_HELP};
  for (LPCSTR id : ids) {
    HCURSOR c = LoadCursorA(nullptr, id);
    ASSERT_NE(c, nullptr) << reinterpret_cast<std::uintptr_t>(id);
    EXPECT_EQ(c, LoadCursorA(nullptr, id));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(c, &info));
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXCURSOR));
    EXPECT_EQ(bm.bmHeight, 2 * GetSystemMetrics(SM_CYCURSOR));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(info.hbmColor, nullptr);
    EXPECT_FALSE(info.fIcon);
    // Something visible (AND 0, or XOR 1 for inverting pixels) lies on
    // the hot spot's row.
    auto rows = MaskRows(info);
    std::size_t h = rows.size() / 2;
    EXPECT_TRUE(rows[info.yHotspot].find('0') != std::string::npos ||
                rows[h + info.yHotspot].find('1') != std::string::npos)
        << reinterpret_cast<std::uintptr_t>(id);
    DeleteObject(info.hbmMask);
    // Shared: destroying leaves it usable.
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_TRUE(GetIconInfo(c, &info));
    DeleteObject(info.hbmMask);
  }
  EXPECT_EQ(LoadCursorA(nullptr, MakeIntCursorId(32517)), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "ARROW"), nullptr);
}

TEST_F(Cursors, CreatedMasksComeBackInTheMaskBitmapWithTheirHotSpot) {
  // 16 x 4: row 0 black, row 1 white, row 2 inverted, row 3 transparent
  // except pixel 15 (black), which sits in the second byte of the row.
  const std::uint8_t andPlane[] = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFE};
  const std::uint8_t xorPlane[] = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
  HCURSOR c = CreateCursor(nullptr, 15, 3, 16, 4, andPlane, xorPlane);
  ASSERT_NE(c, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(c, &info));
  EXPECT_EQ(info.xHotspot, 15u);
  EXPECT_EQ(info.yHotspot, 3u);
  EXPECT_THAT(MaskRows(info), ::testing::ElementsAre("0000000000000000", "0000000000000000", "1111111111111111",
                                                     "1111111111111110", "0000000000000000", "1111111111111111",
                                                     "1111111111111111", "0000000000000000"));
  DeleteObject(info.hbmMask);

  CursorImage img;
  ASSERT_TRUE(GetCursorImage(c, img));
  EXPECT_EQ(img.andMask[3 * 16 + 15], 0);
  EXPECT_EQ(img.xorMask[2 * 16 + 7], 1);

  EXPECT_TRUE(DestroyCursor(c));
  EXPECT_FALSE(GetIconInfo(c, &info));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_CURSOR_HANDLE);
  EXPECT_FALSE(DestroyCursor(c));
}

TEST_F(Cursors, CreateCursorRefusesSizesAndHotSpotsThatDoNotFit) {
  const std::uint8_t plane[64] = {};
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 0, 4, plane, plane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 4, 300, plane, plane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 4, 0, 4, 4, plane, plane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, -1, 4, 4, plane, plane), nullptr);
  EXPECT_EQ(CreateCursor(nullptr, 0, 0, 4, 4, nullptr, plane), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(Cursors, TheBackEndShowsTheCurrentCursorOnTheSurfaceUnderThePointer) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CALLBACK_Record;
  wc.lpszClassName = "Text";
  wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  RegisterClassA(&wc);
  HWND a = CreateWindowExA(0, "Text", "A", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExA(0, "Text", "B", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(a && b);
  test::PumpUntilIdle();
  // Surfaces are found by where they are on the virtual screen.
  auto shapeAt = [&](int left) -> HCURSOR {
    for (SurfaceId id = 1; id < 64; ++id)
      if (auto* s = session.Screen().Find(id); s && s->visible && s->rect.Left == left) return s->cursor;
    ADD_FAILURE() << "no surface at " << left;
    return nullptr;
  };
  HCURSOR ibeam = LoadCursorA(nullptr, IDC_IBEAM), hand = LoadCursorA(nullptr, IDC_HAND);

  test::MouseMove(POINT{50, 50});
  test::PumpUntilIdle();
  EXPECT_EQ(GetCursor(), ibeam);
  EXPECT_EQ(shapeAt(0), ibeam);

  EXPECT_EQ(SetCursor(hand), ibeam);
  EXPECT_EQ(shapeAt(0), hand);
  EXPECT_EQ(test::Cursor(), hand);

  test::MouseMove(POINT{250, 50});
  test::PumpUntilIdle();
  EXPECT_EQ(shapeAt(200), ibeam);

  // Hidden while the count is below zero; counted, not switched.
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(shapeAt(200), nullptr);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(shapeAt(200), nullptr);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(shapeAt(200), ibeam);

  // A stale handle changes nothing.
  const std::uint8_t plane[8] = {};
  HCURSOR made = CreateCursor(nullptr, 0, 0, 8, 4, plane, plane);
  DestroyCursor(made);
  EXPECT_EQ(SetCursor(made), ibeam);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_CURSOR_HANDLE);
  EXPECT_EQ(GetCursor(), ibeam);
}

TEST_F(Cursors, DestroyingTheCurrentCursorFallsBackToTheArrow) {
  const std::uint8_t plane[8] = {};
  HCURSOR made = CreateCursor(nullptr, 0, 0, 8, 4, plane, plane);
  SetCursor(made);
  ASSERT_EQ(GetCursor(), made);
  EXPECT_TRUE(DestroyCursor(made));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(Cursors, DrawingsParseAndBadOnesAreRejectedWithTheLine) {
  CursorImage img = ParseCursorText("; a dot\nsize 4 3\nhotspot 1 2\n#o\n.\n~.#\n");
  EXPECT_EQ(img.width, 4);
  EXPECT_EQ(img.height, 3);
  EXPECT_EQ(img.hotSpot, (POINT{1, 2}));
  EXPECT_EQ(img.andMask, (std::vector<std::uint8_t>{0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}));
  EXPECT_EQ(img.xorMask, (std::vector<std::uint8_t>{0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));

  EXPECT_THROW(ParseCursorText("#\n"), EParserError);                       // no hot spot
  EXPECT_THROW(ParseCursorText("hotspot 40 0\n"), EParserError);            // outside 32 x 32
  EXPECT_THROW(ParseCursorText("size 2 1\nhotspot 0 0\n###\n"), EParserError);
  EXPECT_THROW(ParseCursorText("size 2 1\nhotspot 0 0\n#\n#\n"), EParserError);
  EXPECT_THROW(ParseCursorText("hotspot 0 0\n#x#\n"), EParserError);
  EXPECT_THROW(ParseCursorText("size 0 4\nhotspot 0 0\n"), EParserError);
  EXPECT_THROW(ParseCursorText("hotspot 0\n"), EParserError);
}

}  // namespace
