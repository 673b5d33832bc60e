// Object lifetime and DC state: handles that went stale or never existed
// fail cleanly, objects deleted while selected live until deselected,
// stock objects survive DeleteObject, and the save stack restores state
// by relative and absolute levels.
#include <cstddef>
#include <cstring>

#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

TEST(GdiObjects, StaleAndForeignHandlesFailWithoutCrashing) {
  HBRUSH b = CreateSolidBrush(kRed);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_FALSE(DeleteObject(b)) << "a second delete is a stale handle";
  EXPECT_EQ(GetObjectType(b), 0u);
  LOGBRUSH lb;
  EXPECT_EQ(GetObjectA(b, sizeof lb, &lb), 0);
  auto forged = reinterpret_cast<HBRUSH>(std::uintptr_t(0xDEADBEEF12345));
  EXPECT_FALSE(DeleteObject(forged));
  Canvas c(4, 4);
  EXPECT_EQ(SelectObject(c.Dc, forged), nullptr);
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(FillRect(c.Dc, &r, forged), 0);
  EXPECT_EQ(c.Count(kWhite), 16) << "nothing drawn with a bad brush";
  // A handle of the wrong kind is refused too.
  EXPECT_EQ(FillRect(c.Dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_PEN))), 0);
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(forged), 0, 0), CLR_INVALID);
}

TEST(GdiObjects, DeletedWhileSelectedStaysUsableUntilDeselected) {
  int live = GdiLiveObjectCount();
  {
    Canvas c(6, 6);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.Dc, ToObj(red));
    EXPECT_TRUE(DeleteObject(red)) << "deferred, not refused";
    // The DC still paints with it.
    SelectObject(c.Dc, GetStockObject(NULL_PEN));
    Rectangle(c.Dc, 0, 0, 4, 4);
    EXPECT_EQ(c.At(1, 1), kRed);
    SelectObject(c.Dc, old);  // the last selection goes: now it is gone
    EXPECT_EQ(GetObjectType(red), 0u);
  }
  EXPECT_EQ(GdiLiveObjectCount(), live) << "no object leaked or double-freed";
}

TEST(GdiObjects, StockObjectsAndDescriptions) {
  HGDIOBJ white = GetStockObject(WHITE_BRUSH);
  EXPECT_TRUE(DeleteObject(white));
  EXPECT_EQ(GetObjectType(white), OBJ_BRUSH) << "stock objects are never deleted";
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectA(white, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, kWhite);
  LOGPEN lp{};
  HPEN pen = CreatePen(PS_DOT, 1, kBlue);
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), int(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, PS_DOT);
  EXPECT_EQ(lp.lopnColor, kBlue);
  EXPECT_EQ(GetObjectA(pen, 2, &lp), 0) << "a buffer too small is refused";
  // A pen reads back what it was asked for, though a wide broken pen draws
  // solid and a zero width draws one pixel.
  HPEN wide = CreatePen(PS_DASH, 123, kBlue);
  GetObjectA(wide, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnStyle, PS_DASH);
  EXPECT_EQ(lp.lopnWidth.X, 123);
  HPEN zero = CreatePen(PS_SOLID, 0, kBlue), negative = CreatePen(PS_SOLID, -4, kBlue);
  GetObjectA(zero, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnWidth.X, 0);
  GetObjectA(negative, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnWidth.X, 4) << "a negative width reads back as its size";
  EXPECT_EQ(ToObj(CreatePen(PS_NULL, 5, kRed)), GetStockObject(NULL_PEN)) << "one invisible pen";
  Canvas c(8, 6);
  HGDIOBJ old = SelectObject(c.Dc, ToObj(wide));
  MoveToEx(c.Dc, 0, 66, nullptr);  // 61 either side: the bottom row only
  LineTo(c.Dc, 8, 66);
  SelectObject(c.Dc, ToObj(zero));
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 8, 0);
  SelectObject(c.Dc, old);
  EXPECT_EQ(c.Picture(kBlue), (std::vector<std::string>{"########", "........", "........", "........",
                                                         "........", "########"}))
      << "the wide dashed pen draws solid, the zero-width one a hairline";
  BITMAP bm{};
  HBITMAP mono = CreateBitmap(10, 3, 1, 1, nullptr);
  EXPECT_EQ(GetObjectA(mono, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmWidthBytes, 2) << "monochrome rows are word-aligned";
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetObjectA(mono, 0, nullptr), int(sizeof(BITMAP)));
  for (HGDIOBJ h : {ToObj(pen), ToObj(wide), ToObj(zero), ToObj(negative), ToObj(mono)}) DeleteObject(h);
}

TEST(GdiObjects, SystemColourBrushesFollowTheInstalledTable) {
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_TRUE(DeleteObject(face));
  EXPECT_EQ(GetObjectType(face), OBJ_BRUSH);
  Canvas c(4, 1);
  RECT r{0, 0, 2, 1};
  FillRect(c.Dc, &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(c.At(0, 0), RGB(10, 36, 106));
  HRGN cell = CreateRectRgn(1, 0, 2, 1);
  FillRgn(c.Dc, cell, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_INFOBK + 1)));
  EXPECT_EQ(c.At(1, 0), RGB(255, 255, 225)) << "class background brushes work in every fill";
  DeleteObject(cell);
  SetSysColorLookup([](int index) { return index == COLOR_BTNFACE ? RGB(1, 2, 3) : ClassicSysColor(index); });
  RECT r2{2, 0, 4, 1};
  FillRect(c.Dc, &r2, face);
  EXPECT_EQ(c.At(3, 0), RGB(1, 2, 3));
  SetSysColorLookup(nullptr);
  FillRect(c.Dc, &r2, face);
  EXPECT_EQ(c.At(3, 0), RGB(212, 208, 200));
}

TEST(DeviceContexts, SaveAndRestoreByRelativeAndAbsoluteLevels) {
  Canvas c(4, 4);
  SetTextColor(c.Dc, kRed);
  int one = SaveDC(c.Dc);
  SetTextColor(c.Dc, kBlue);
  SetWindowOrgEx(c.Dc, 5, 5, nullptr);
  int two = SaveDC(c.Dc);
  SetTextColor(c.Dc, kBlack);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SelectObject(c.Dc, pen);
  EXPECT_EQ(one, 1);
  EXPECT_EQ(two, 2);
  EXPECT_TRUE(RestoreDC(c.Dc, -1));
  EXPECT_EQ(GetTextColor(c.Dc), kBlue);
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  POINT org;
  GetWindowOrgEx(c.Dc, &org);
  EXPECT_EQ(org, (POINT{5, 5}));
  SaveDC(c.Dc);
  SaveDC(c.Dc);
  EXPECT_TRUE(RestoreDC(c.Dc, 1)) << "absolute level drops every state above it";
  EXPECT_EQ(GetTextColor(c.Dc), kRed);
  EXPECT_FALSE(RestoreDC(c.Dc, -1)) << "nothing left to restore";
  EXPECT_FALSE(RestoreDC(c.Dc, 3));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(DeviceContexts, MemoryDcStartsWithAMonochromePixelAndDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ bmp = GetCurrentObject(dc, OBJ_BITMAP);
  BITMAP bm{};
  GetObjectA(bmp, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HBITMAP compat = CreateCompatibleBitmap(dc, 8, 8);
  GetObjectA(compat, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1) << "compatible with a DC holding a monochrome bitmap";
  EXPECT_EQ(GetBkColor(dc), kWhite);
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
  // A bitmap goes into one DC at a time.
  HDC other = CreateCompatibleDC(nullptr);
  SelectObject(dc, compat);
  EXPECT_EQ(SelectObject(other, compat), nullptr);
  DeleteDC(other);
  DeleteDC(dc);
  EXPECT_EQ(GetObjectType(compat), OBJ_BITMAP);
  DeleteObject(compat);
}

TEST(DeviceContexts, ClipRectanglesAreLogicalAndTheClipRegionDevice) {
  Canvas c(20, 20);
  SetWindowOrgEx(c.Dc, 10, 10, nullptr);
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.Dc, none), 0) << "no clip yet";
  EXPECT_EQ(IntersectClipRect(c.Dc, 10, 10, 15, 15), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.Dc, none), 1);
  RECT box;
  GetRgnBox(none, &box);
  EXPECT_EQ(box, (RECT{0, 0, 5, 5})) << "kept in device coordinates";
  GetClipBox(c.Dc, &box);
  EXPECT_EQ(box, (RECT{10, 10, 15, 15})) << "reported in logical coordinates";
  EXPECT_EQ(ExcludeClipRect(c.Dc, 11, 11, 13, 13), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(c.Dc, 12, 12));
  EXPECT_TRUE(PtVisible(c.Dc, 14, 14));
  RECT r{0, 0, 100, 100};
  FillRect(c.Dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.Picture(kBlack, 0, 0, 6, 6), (std::vector<std::string>{
                                                "#####.",
                                                "#..##.",
                                                "#..##.",
                                                "#####.",
                                                "#####.",
                                                "......",
                                            }));
  EXPECT_EQ(SelectClipRgn(c.Dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(c.Dc, none), 0);
  DeleteObject(none);
}

TEST(DeviceContexts, DisplayDcsDrawOnTheScreenTheWindowTierSets) {
  HDC info = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(info, nullptr);
  RECT r{0, 0, 5, 5};
  EXPECT_EQ(GetClipBox(info, &r), NULLREGION) << "an information DC draws nothing";
  EXPECT_EQ(GetDeviceCaps(info, LOGPIXELSX), 96);
  DeleteDC(info);
  EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);

  std::vector<std::uint32_t> screen(8 * 4, 0);
  SetGdiScreenSurface({screen.data(), 8, 4, 32});
  HDC dc = CreateDCA("display", nullptr, nullptr, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 8);
  RECT all{0, 0, 8, 4};
  InvertRect(dc, &all);
  EXPECT_EQ(screen[31] & 0xFFFFFF, 0xFFFFFFu);
  DeleteDC(dc);
  SetGdiScreenSurface({});
  gdi::SetGdiScreenSize(1280, 1024);
}

TEST(DeviceContexts, SurfaceDcsClipToTheirVisibleRegionUnderTheClip) {
  std::vector<std::uint32_t> surface(10 * 10, 0);
  HRGN vis = CreateRectRgn(0, 0, 4, 4);  // device coordinates of the DC
  HDC dc = CreateSurfaceDC({surface.data(), 10, 10, 40}, {3, 2}, vis);
  DeleteObject(vis);
  RECT all{-10, -10, 20, 20};
  HBRUSH white = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  FillRect(dc, &all, white);
  int lit = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (surface[std::size_t(y * 10 + x)]) {
        ++lit;
        EXPECT_TRUE(x >= 3 && x < 7 && y >= 2 && y < 6) << x << "," << y;
      }
  EXPECT_EQ(lit, 16);
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, none), 0) << "the visible region is not the clip";
  DeleteObject(none);
  EXPECT_EQ(CreateSurfaceDC({surface.data(), 10, 10, 38}, {0, 0}, nullptr), nullptr) << "rows shorter than the width";
  DeleteDC(dc);
}

TEST(DeviceContexts, BackgroundAndTextColoursKeepTheirHighByte) {
  Canvas c(8, 1, kWhite);
  EXPECT_EQ(SetBkColor(c.Dc, 0x12345678), kWhite);
  EXPECT_EQ(GetBkColor(c.Dc), 0x12345678u);
  SetTextColor(c.Dc, 0x010000FF);
  EXPECT_EQ(GetTextColor(c.Dc), 0x010000FFu);
  // Drawing takes the low three bytes: a dotted line's gaps.
  HPEN dot = CreatePen(PS_DOT, 1, kBlack);
  HGDIOBJ old = SelectObject(c.Dc, ToObj(dot));
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 8, 0);
  SelectObject(c.Dc, old);
  DeleteObject(dot);
  EXPECT_EQ(c.At(3, 0), RGB(0x78, 0x56, 0x34));
}

TEST(GdiObjects, HatchStylesPastTheSixAreSolidThenRefused) {
  LOGBRUSH lb{};
  for (int style = 6; style <= 11; ++style) {
    HBRUSH b = CreateHatchBrush(style, kRed);
    ASSERT_EQ(GetObjectA(b, sizeof lb, &lb), int(sizeof lb)) << style;
    EXPECT_EQ(lb.lbStyle, BS_SOLID);
    EXPECT_EQ(lb.lbHatch, 0u);
    Canvas c(2, 2);
    RECT r{0, 0, 2, 2};
    FillRect(c.Dc, &r, b);
    EXPECT_EQ(c.Count(kRed), 4);
    DeleteObject(b);
  }
  SetLastError(1234);
  EXPECT_EQ(CreateHatchBrush(12, kRed), nullptr);
  EXPECT_EQ(CreateHatchBrush(-1, kRed), nullptr);
  EXPECT_EQ(GetLastError(), 1234u) << "refused without a reason";
}

TEST(GdiObjects, ExtendedPensDescribeTheirStyleEntries) {
  const int head = int(offsetof(EXTLOGPEN, elpStyleEntry));
  std::vector<std::uint8_t> buf(64, 0xCD);
  auto* p = reinterpret_cast<EXTLOGPEN*>(buf.data());
  LOGBRUSH lb{BS_HATCHED, kBlue, HS_CROSS};
  HPEN plain = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT, 3, &lb, 0, nullptr);
  EXPECT_EQ(GetObjectA(plain, 0, nullptr), head) << "no entries: the structure stops before them";
  ASSERT_EQ(GetObjectA(plain, int(buf.size()), buf.data()), head);
  EXPECT_EQ(p->elpPenStyle, PS_GEOMETRIC | PS_ENDCAP_FLAT);
  EXPECT_EQ(p->elpBrushStyle, BS_HATCHED);
  EXPECT_EQ(p->elpHatch, std::uintptr_t(HS_CROSS)) << "the brush's hatch comes back";
  EXPECT_EQ(p->elpNumEntries, 0u);
  EXPECT_EQ(buf[std::size_t(head)], 0xCD) << "nothing written past the structure";

  lb = {BS_SOLID, kRed, 0};
  const DWORD entries[3] = {2, 1, 3};
  HPEN user = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 3, entries);
  const int need = head + int(sizeof entries);
  EXPECT_EQ(GetObjectA(user, need - 1, buf.data()), 0) << "a buffer too small for the entries";
  ASSERT_EQ(GetObjectA(user, int(buf.size()), buf.data()), need);
  EXPECT_EQ(p->elpNumEntries, 3u);
  EXPECT_EQ(std::memcmp(buf.data() + head, entries, sizeof entries), 0);
  // Drawn: 2 on, 1 off, 3 on, then (the odd list again) 2 off, 1 on, 3 off.
  Canvas c(12, 1);
  HGDIOBJ old = SelectObject(c.Dc, ToObj(user));
  MoveToEx(c.Dc, 0, 0, nullptr);
  LineTo(c.Dc, 12, 0);
  SelectObject(c.Dc, old);
  EXPECT_EQ(c.Picture(kRed), (std::vector<std::string>{"##.###..#..."}));
  // Entries belong to a user style only, which needs 1 to 16 of them.
  SetLastError(0);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_DASH, 1, &lb, 2, entries), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 0, nullptr), nullptr);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 17, entries), nullptr);
  // A pattern of gaps only would draw nothing forever.
  const DWORD gaps[2] = {0, DWORD(-3)};
  SetLastError(0);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 2, gaps), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(1234);
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, DWORD(-1), entries), nullptr);
  EXPECT_EQ(GetLastError(), 1234u) << "a count of -1 is refused without a reason";
  // Extended pens are a kind of their own, invisible cosmetic ones included.
  EXPECT_EQ(GetObjectType(plain), DWORD(OBJ_EXTPEN));
  HPEN none = ExtCreatePen(PS_COSMETIC | PS_NULL, 0, &lb, 0, nullptr);
  ASSERT_NE(none, nullptr);
  ASSERT_EQ(GetObjectA(none, int(buf.size()), buf.data()), head);
  EXPECT_EQ(p->elpPenStyle, PS_COSMETIC | PS_NULL);
  DeleteObject(none);
  DeleteObject(plain);
  DeleteObject(user);
}
