// The "STATIC" class: labels draw their text exactly as DrawText does with
// the format their style stands for, in the colours the parent picks;
// decorations fill, frame and etch; clicks pass through to the parent
// unless SS_NOTIFY asks for notifications; the class is the system's.
#include "platform/win/Static.h"

#include "PaintFixture.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Text.h"
#include "platform/win/Metrics.h"

using namespace win;
using namespace wintest;

namespace {

class StaticTest : public PaintTest {
 protected:
  HFONT font = nullptr;
  TextRenderMode oldMode = GetTextRenderMode();

  void SetUp() override {
    SetTextRenderMode(TextRenderMode::Monochrome);
    PaintTest::SetUp();
    font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  }
  void TearDown() override {
    DeleteObject(font);
    SetTextRenderMode(oldMode);
  }

  HWND Label(const char* text, DWORD style, RECT r) {
    HWND h = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(),
                             main, reinterpret_cast<HMENU>(std::intptr_t(7)), nullptr, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    test::PumpUntilIdle();
    return h;
  }

  // What DrawText draws for the text and format on the face colour, in a
  // bitmap the size of r, against what the label at r shows.
  int Differences(const char* text, UINT format, RECT r) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(r.Width(), r.Height(), 1, 32, nullptr);
    HGDIOBJ oldBm = SelectObject(dc, ToObj(bm));
    HGDIOBJ oldFont = SelectObject(dc, ToObj(font));
    RECT all{0, 0, r.Width(), r.Height()};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    DrawTextA(dc, text, -1, &all, format);
    int diff = 0;
    for (int y = 0; y < r.Height(); ++y)
      for (int x = 0; x < r.Width(); ++x) diff += GetPixel(dc, x, y) != Held({r.Left + x, r.Top + y});
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBm);
    DeleteObject(bm);
    DeleteDC(dc);
    return diff;
  }
};

}  // namespace

TEST_F(StaticTest, LabelsDrawTheirTextAsDrawTextDoesForTheirStyle) {
  const char* text = "&Total amount\tdue this month";
  const UINT wrap = DT_EXPANDTABS | DT_WORDBREAK;
  const std::pair<DWORD, UINT> cases[] = {
      {SS_LEFT, wrap},
      {SS_CENTER, DT_CENTER | wrap},
      {SS_RIGHT | SS_NOPREFIX, DT_RIGHT | wrap | DT_NOPREFIX},
      {SS_LEFTNOWORDWRAP, DT_EXPANDTABS},
      {SS_CENTER | SS_CENTERIMAGE, DT_CENTER | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER},
      {SS_LEFT | SS_ENDELLIPSIS, DT_EXPANDTABS | DT_SINGLELINE | DT_END_ELLIPSIS},
  };
  const RECT r = R(10, 10, 110, 50);
  for (const auto& [style, format] : cases) {
    HWND h = Label(text, style, r);
    EXPECT_EQ(Differences(text, format, r), 0) << std::hex << style;
    EXPECT_NE(Differences(text, format ^ DT_NOPREFIX, r), 0) << "the comparison sees the prefix";
    DestroyWindow(h);
  }
  // New text shows at the next paint.
  HWND h = Label(text, SS_LEFT, r);
  SetWindowTextA(h, "Ready");
  test::PumpUntilIdle();
  EXPECT_EQ(Differences("Ready", wrap, r), 0);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), font);
}

TEST_F(StaticTest, TheParentPicksTheLabelsColours) {
  HBRUSH red = CreateSolidBrush(kRed);
  HWND seen = nullptr;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_CTLCOLORSTATIC) return std::nullopt;
    seen = reinterpret_cast<HWND>(l);
    SetTextColor(reinterpret_cast<HDC>(w), kBlue);
    SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
    return reinterpret_cast<LRESULT>(red);
  };
  auto count = [&](COLORREF c) {
    int n = 0;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 110; ++x) n += Held({x, y}) == c;
    return n;
  };
  HWND h = Label("Warning", SS_LEFT, R(10, 10, 110, 30));
  EXPECT_EQ(seen, h);
  const int text = count(kBlue);
  EXPECT_GT(text, 20);
  EXPECT_EQ(text + count(kRed), 100 * 20) << "the rest in the parent's brush";
  // Disabled, the text is grey whatever the parent said.
  EnableWindow(h, FALSE);
  test::PumpUntilIdle();
  EXPECT_EQ(count(GetSysColor(COLOR_GRAYTEXT)), text);
  DestroyWindow(h);
  DeleteObject(red);
}

TEST_F(StaticTest, DecorationsFillFrameAndEtch) {
  Label("", SS_BLACKRECT, R(10, 10, 20, 20));
  Label("", SS_GRAYFRAME, R(30, 10, 40, 20));
  Label("", SS_ETCHEDHORZ, R(50, 10, 90, 12));
  EXPECT_EQ(Held({15, 15}), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(Held({39, 19}), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(Held({35, 15}), kWhite) << "a frame leaves its inside alone";
  EXPECT_EQ(Held({60, 10}), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Held({60, 11}), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(StaticTest, BitmapLabelsTakeTheBitmapsSizeUnlessCentring) {
  std::vector<std::uint32_t> pixels(12, 0x00FF0000);
  HBITMAP red = CreateBitmap(4, 3, 1, 32, pixels.data());
  HWND sized = Label("", SS_BITMAP, R(10, 10, 60, 60));
  EXPECT_EQ(SendMessageA(sized, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red)), 0);
  EXPECT_EQ(SendMessageA(sized, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red));
  EXPECT_EQ(SendMessageA(sized, STM_GETIMAGE, IMAGE_ICON, 0), 0);
  RECT r{};
  GetClientRect(sized, &r);
  EXPECT_EQ(r, R(0, 0, 4, 3));
  HWND centred = Label("", SS_BITMAP | SS_CENTERIMAGE, R(20, 10, 30, 15));
  SendMessageA(centred, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red));
  test::PumpUntilIdle();
  for (int x = 8; x < 32; ++x)
    EXPECT_EQ(Held({x, 11}), (x >= 10 && x < 14) || (x >= 23 && x < 27) ? kRed
                             : x >= 20 && x < 30                      ? GetSysColor(COLOR_BTNFACE)
                                                                      : kWhite)
        << x;
  DestroyWindow(sized);
  DestroyWindow(centred);
  DeleteObject(red);
}

TEST_F(StaticTest, ClicksPassToTheParentUnlessNotifyIsAsked) {
  std::vector<std::string> heard;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_LBUTTONDOWN) heard.push_back("down");
    if (m == WM_COMMAND && l) heard.push_back("command " + std::to_string(LOWORD(w)) + " " + std::to_string(HIWORD(w)));
    return std::nullopt;
  };
  HWND plain = Label("Plain", SS_LEFT, R(10, 10, 60, 30));
  test::MouseMove({100 + 20, 50 + 20});
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  DestroyWindow(plain);
  HWND notify = Label("Notify", SS_LEFT | SS_NOTIFY, R(10, 10, 60, 30));
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EnableWindow(notify, FALSE);
  EnableWindow(notify, TRUE);
  EXPECT_EQ(heard, Seq({"down", "command 7 0", "command 7 3", "command 7 2"}));
}

TEST_F(StaticTest, TheClassIsTheSystemsAndAnApplicationMayHideIt) {
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "static", &wc)) << "found without regard to case";
  EXPECT_FALSE(UnregisterClassA("STATIC", nullptr));
  HWND byAtom = CreateWindowExA(0, MAKEINTATOM(0x0082), "", WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);
  char name[16] = {};
  GetClassNameA(byAtom, name, sizeof name);
  EXPECT_STREQ(name, "STATIC");
  // An application's class of the same name comes first until it goes.
  RegisterRecorderClass("Static");
  HWND mine = CreateWindowExA(0, "STATIC", "Mine", WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetClassLongPtrA(mine, GCLP_WNDPROC), reinterpret_cast<LONG_PTR>(CALLBACK_Record));
  DestroyWindow(mine);
  EXPECT_TRUE(UnregisterClassA("STATIC", nullptr));
  EXPECT_TRUE(GetClassInfoA(nullptr, "STATIC", &wc));
  EXPECT_NE(wc.lpfnWndProc, CALLBACK_Record);
}
