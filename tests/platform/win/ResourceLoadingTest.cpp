// Embedded resources: the test folder's files (string table, bitmaps,
// cursors, a form layout) generated into this program, found by name, id
// and type, and read through the platform's resource calls.
#include <cstring>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Cursors.h"
#include "platform/win/Modules.h"
#include "platform/win/ResourceLoading.h"

void RegisterTestResources();

using namespace win;

namespace {

class Resources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterTestResources(); }
  HINSTANCE self = GetModuleHandleA(nullptr);
};

TEST_F(Resources, StringsLoadByIdWith1252BytesEscapesAndTruncation) {
  char buf[64];
  EXPECT_EQ(LoadStringA(self, 100, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(LoadStringA(self, 101, buf, sizeof buf), 8);
  EXPECT_STREQ(buf, "Caf\xE9 \x80 5");
  LoadStringA(self, 102, buf, sizeof buf);
  EXPECT_STREQ(buf, "Two\nlines\tand a \\ backslash");
  EXPECT_EQ(LoadStringA(self, 65535, buf, sizeof buf), 4);

  // Cut to the buffer, always terminated.
  EXPECT_EQ(LoadStringA(self, 100, buf, 3), 2);
  EXPECT_STREQ(buf, "He");
  EXPECT_EQ(LoadStringA(self, 100, buf, 1), 0);
  EXPECT_STREQ(buf, "");

  // Size 0 hands out a pointer to the text itself.
  const char* text = nullptr;
  EXPECT_EQ(LoadStringA(self, 100, reinterpret_cast<LPSTR>(&text), 0), 5);
  EXPECT_EQ(std::string(text, 5), "Hello");

  // An empty string exists but has no bytes; a missing one clears the buffer.
  std::strcpy(buf, "junk");
  EXPECT_EQ(LoadStringA(self, 200, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  std::strcpy(buf, "junk");
  EXPECT_EQ(LoadStringA(self, 999, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST_F(Resources, StringTablesWithBadLinesAreRefusedNamingTheLine) {
  auto reg = [](const char* text) { RegisterStringTable(text, std::strlen(text)); };
  EXPECT_THROW(reg("1 ok\nx bad\n"), EParserError);
  EXPECT_THROW(reg("70000 too big\n"), EParserError);
  EXPECT_THROW(reg("12abc\n"), EParserError);
  EXPECT_THROW(reg("5 a\n5 b\n"), EParserError);
  EXPECT_THROW(reg("6 bad \\q escape\n"), EParserError);
  try {
    reg("; fine\n\n7 fine\r\nwhat\n");
    FAIL();
  } catch (const EParserError& e) {
    EXPECT_NE(std::string(e.GetMessage()).find("line 4"), std::string::npos) << e.GetMessage();
  }
  char buf[8];
  EXPECT_EQ(LoadStringA(self, 7, buf, sizeof buf), 4);  // lines before the bad one stay
}

TEST_F(Resources, FindLoadAndSizeByNameIdAndType) {
  HRSRC layout = FindResourceA(self, "TMainForm", RT_RCDATA);
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(layout, FindResourceA(self, "TMAINFORM", "rcdata"));
  DWORD size = SizeofResource(self, layout);
  const char* text = static_cast<const char*>(LockResource(LoadResource(self, layout)));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text, size), "object MainForm: TMainForm\n  Caption = 'Main'\nend\n");

  // A file named by digits is an integer id, reachable as "#7" too.
  HRSRC seven = FindResourceA(self, MAKEINTRESOURCEA(7), RT_BITMAP);
  ASSERT_NE(seven, nullptr);
  EXPECT_EQ(seven, FindResourceA(self, "#7", "BITMAP"));
  EXPECT_EQ(SizeofResource(self, seven), 78u);

  // The wrong type or name finds nothing.
  EXPECT_EQ(FindResourceA(self, "TMAINFORM", RT_BITMAP), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(FindResourceA(self, "NOSUCH", RT_RCDATA), nullptr);
  EXPECT_EQ(FindResourceA(self, nullptr, RT_RCDATA), nullptr);

  // The handle follows a replaced resource and fails once it is removed.
  RegisterResource("SCRATCH", "RCDATA", "abc", 3);
  HRSRC scratch = FindResourceA(self, "SCRATCH", RT_RCDATA);
  RegisterResource("SCRATCH", "RCDATA", "abcdef", 6);
  EXPECT_EQ(SizeofResource(self, scratch), 6u);
  UnregisterResource("SCRATCH", "RCDATA");
  EXPECT_EQ(SizeofResource(self, scratch), 0u);
  EXPECT_EQ(LoadResource(self, scratch), nullptr);
  EXPECT_EQ(LoadResource(self, reinterpret_cast<HRSRC>(std::uintptr_t(0xDEAD))), nullptr);
}

TEST_F(Resources, BitmapsDecodeFromEmbeddedBmpAndSystemBitmapsStillLoad) {
  HBITMAP bm = LoadBitmapA(self, "swatch");
  ASSERT_NE(bm, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(bm));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(128, 128, 128));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);

  HBITMAP byId = LoadBitmapA(self, MAKEINTRESOURCEA(7));
  EXPECT_NE(byId, nullptr);
  DeleteObject(byId);
  EXPECT_EQ(LoadBitmapA(self, "TMAINFORM"), nullptr);  // not a bitmap resource

  // A resource that is not a BMP fails instead of drawing garbage.
  RegisterResource("BROKEN", "BITMAP", "BMxx", 4);
  EXPECT_EQ(LoadBitmapA(self, "BROKEN"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_FORMAT);
  UnregisterResource("BROKEN", "BITMAP");

  HBITMAP check = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK));
  EXPECT_NE(check, nullptr);
  DeleteObject(check);
}

TEST_F(Resources, CursorsLoadFromTheirDrawingsSharedPerResource) {
  HCURSOR drag = LoadCursorA(self, "VgDrag");
  ASSERT_NE(drag, nullptr);
  EXPECT_EQ(drag, LoadCursorA(self, "VGDRAG"));
  CursorImage img;
  ASSERT_TRUE(GetCursorImage(drag, img));
  EXPECT_EQ(img.width, 4);
  EXPECT_EQ(img.hotSpot, (POINT{2, 1}));
  EXPECT_EQ(img.andMask, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(img.xorMask[9], 1);

  HCURSOR byId = LoadCursorA(self, MAKEINTRESOURCEA(101));
  ASSERT_NE(byId, nullptr);
  ASSERT_TRUE(GetCursorImage(byId, img));
  EXPECT_EQ(img.xorMask[0], 1);
  EXPECT_EQ(LoadCursorA(self, "NOSUCH"), nullptr);

  // A bad drawing fails to load rather than throwing into the caller.
  RegisterResource("BADDRAWING", "CURSOR", "hotspot 9 9 9", 13);
  EXPECT_EQ(LoadCursorA(self, "BADDRAWING"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_BAD_FORMAT);
}

}  // namespace
