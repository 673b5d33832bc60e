// The clipboard: text round trips between CF_TEXT and CF_UNICODETEXT with
// CR LF and 1252 characters, bitmaps as CF_BITMAP and CF_DIB, registered
// formats, enumeration, ownership and misuse.
#include <cstring>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/win/Clipboard.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace win;

namespace {

HGLOBAL Text(const std::string& s) { return GlobalFromBytes(s.c_str(), s.size() + 1); }

HGLOBAL Wide(const std::u16string& s) { return GlobalFromBytes(s.c_str(), (s.size() + 1) * 2); }

std::string ReadText(HANDLE h) {
  auto* p = static_cast<const char*>(GlobalLock(h));
  std::string s = p ? std::string(p, strnlen(p, GlobalSize(h))) : "<null>";
  GlobalUnlock(h);
  return s;
}

std::u16string ReadWide(HANDLE h) {
  auto* p = static_cast<const char16_t*>(GlobalLock(h));
  std::u16string s = p ? std::u16string(p) : u"<null>";
  GlobalUnlock(h);
  return s;
}

std::vector<UINT> Formats() {
  std::vector<UINT> out;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
  return out;
}

class Clipboard : public ::testing::Test {
 protected:
  test::Session session;
};

TEST_F(Clipboard, AnsiTextComesBackAsUnicodeWithCrLfAnd1252Characters) {
  const std::string text = "caf\xE9 \x80 12\r\nline two\r\n";
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_NE(SetClipboardData(CF_TEXT, Text(text)), nullptr);
  ASSERT_TRUE(CloseClipboard());

  // What the back end keeps: the bytes, no terminator.
  std::string stored;
  ASSERT_TRUE(session.Screen().GetClipboard(CF_TEXT, stored));
  EXPECT_EQ(stored, text);

  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_EQ(CountClipboardFormats(), 2);

  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(ReadWide(GetClipboardData(CF_UNICODETEXT)), u"caf\u00E9 \u20AC 12\r\nline two\r\n");
  EXPECT_EQ(ReadText(GetClipboardData(CF_TEXT)), text);
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT}));
  CloseClipboard();
}

TEST_F(Clipboard, UnicodeTextComesBackAsAnsiWithUnmappableCharactersAsQuestionMarks) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, Wide(u"\u20AC\u00E9\r\n\u4E2D!"));
  EXPECT_EQ(ReadText(GetClipboardData(CF_TEXT)), "\x80\xE9\r\n?!");
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_UNICODETEXT, CF_TEXT}));

  // Text set again replaces the other form too: the two never disagree.
  SetClipboardData(CF_TEXT, Text("new"));
  EXPECT_EQ(ReadWide(GetClipboardData(CF_UNICODETEXT)), u"new");
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_TEXT, CF_UNICODETEXT}));
  CloseClipboard();
}

TEST_F(Clipboard, TextWithoutTerminatorStopsAtTheBlockEnd) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalFromBytes("abc", 3));
  std::string stored;
  session.Screen().GetClipboard(CF_TEXT, stored);
  EXPECT_EQ(stored, "abc");
  EXPECT_EQ(ReadWide(GetClipboardData(CF_UNICODETEXT)), u"abc");
  CloseClipboard();
}

TEST_F(Clipboard, BitmapsTravelAsPackedDibsAndComeBackAsEitherForm) {
  HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(bm));
  SetPixel(dc, 0, 0, RGB(10, 20, 30));
  SetPixel(dc, 1, 1, RGB(200, 100, 50));
  SelectObject(dc, old);

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_BITMAP, reinterpret_cast<HANDLE>(bm)), reinterpret_cast<HANDLE>(bm));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), reinterpret_cast<HANDLE>(bm));
  HANDLE dib = GetClipboardData(CF_DIB);
  ASSERT_NE(dib, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
  EXPECT_EQ(header->biWidth, 2);
  GlobalUnlock(dib);
  CloseClipboard();

  // A DIB that does not decode gives no bitmap rather than a broken one.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_DIB, GlobalFromBytes("junk", 4));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  CloseClipboard();

  // Another program's DIB: the bitmap is rebuilt from it.

  HBITMAP bm2 = CreateBitmap(2, 2, 1, 32, nullptr);
  old = SelectObject(dc, ToObj(bm2));
  SetPixel(dc, 1, 1, RGB(200, 100, 50));
  SelectObject(dc, old);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, reinterpret_cast<HANDLE>(bm2));
  CloseClipboard();
  std::string dibBytes;
  ASSERT_TRUE(session.Screen().GetClipboard(CF_BITMAP, dibBytes));
  session.Screen().ClearClipboard();
  session.Screen().SetClipboard(CF_DIB, dibBytes);  // as if another program put it there
  ASSERT_TRUE(OpenClipboard(nullptr));
  HBITMAP back = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(back, nullptr);
  old = SelectObject(dc, ToObj(back));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(200, 100, 50));
  SelectObject(dc, old);
  CloseClipboard();
  DeleteDC(dc);
}

TEST_F(Clipboard, RegisteredFormatsKeepTheirBytesAndNames) {
  UINT picture = RegisterClipboardFormatA("Orvanta Picture");
  EXPECT_GE(picture, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatA("ORVANTA PICTURE"), picture);
  EXPECT_NE(RegisterClipboardFormatA("Other"), picture);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
  char name[8];
  EXPECT_EQ(GetClipboardFormatNameA(picture, name, sizeof name), 7);
  EXPECT_STREQ(name, "Orvanta");

  const char bytes[] = {'P', 0, 'I', 0, 'C'};
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("caption"));
  SetClipboardData(picture, GlobalFromBytes(bytes, sizeof bytes));
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_TEXT, picture, CF_UNICODETEXT}));
  HANDLE h = GetClipboardData(picture);
  ASSERT_EQ(GlobalSize(h), sizeof bytes);
  EXPECT_EQ(std::memcmp(GlobalLock(h), bytes, sizeof bytes), 0);
  GlobalUnlock(h);
  CloseClipboard();
}

TEST_F(Clipboard, MisuseFailsCleanlyAndOwnershipFollowsTheEmptyingWindow) {
  EXPECT_EQ(SetClipboardData(CF_TEXT, Text("x")), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  EXPECT_FALSE(EmptyClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);

  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Plain";
  RegisterClassA(&wc);
  HWND a = CreateWindowExA(0, "Plain", "a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExA(0, "Plain", "b", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_TRUE(OpenClipboard(a));
  EXPECT_FALSE(OpenClipboard(b));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  EmptyClipboard();
  EXPECT_EQ(GetClipboardOwner(), a);
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);                         // no rendering on request
  EXPECT_EQ(SetClipboardData(CF_TEXT, reinterpret_cast<HANDLE>(0x77)), nullptr);  // not a block
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetClipboardData(CF_BITMAP, Text("not a bitmap")), nullptr);
  EXPECT_EQ(CountClipboardFormats(), 0);
  CloseClipboard();
  DestroyWindow(a);
  EXPECT_EQ(GetClipboardOwner(), nullptr);
}

TEST_F(Clipboard, EmptyingFreesTheBlocksItOwned) {
  HGLOBAL mine = Text("given away");
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, mine);
  HANDLE made = GetClipboardData(CF_UNICODETEXT);
  EmptyClipboard();
  EXPECT_EQ(GlobalLock(mine), nullptr);
  EXPECT_EQ(GlobalLock(made), nullptr);
  EXPECT_EQ(Formats(), std::vector<UINT>{});
  CloseClipboard();
}

TEST_F(Clipboard, ABlockNoMemoryCanHoldIsRefusedAndAnEmptyOneStillLocks) {
  // A count gone negative, cast to a size: out of memory, not an exception.
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, static_cast<std::size_t>(-5)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  HGLOBAL none = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(GlobalSize(none), 0u);
  EXPECT_NE(GlobalLock(none), nullptr);
  GlobalUnlock(none);
  EXPECT_EQ(GlobalFree(none), nullptr);
}

// Another program copies while our text is on the clipboard: the next
// paste is theirs, nothing of ours lingers, and copying again makes it ours.
TEST_F(Clipboard, AnotherProgramsCopyReplacesOursFromTheNextOpen) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Plain";
  RegisterClassA(&wc);
  HWND a = CreateWindowExA(0, "Plain", "a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  UINT rows = RegisterClipboardFormatA("Grid rows");
  HGLOBAL mine = Text("ours");
  ASSERT_TRUE(OpenClipboard(a));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, mine);
  SetClipboardData(rows, GlobalFromBytes("\1\2", 2));
  HANDLE answered = GetClipboardData(CF_TEXT);
  EXPECT_EQ(answered, mine);
  // Taken while we hold it open: what we were answered stays readable.
  const std::u16string theirs = u"theirs \u20AC\r\n";
  session.Screen().TakeClipboard({{CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(theirs.data()),
                                                                theirs.size() * 2)}});
  EXPECT_EQ(ReadText(answered), "ours");
  CloseClipboard();

  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(rows));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(GlobalLock(mine), nullptr);  // freed with the rest of ours

  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_EQ(ReadText(GetClipboardData(CF_TEXT)), "theirs \x80\r\n");
  EXPECT_EQ(ReadWide(GetClipboardData(CF_UNICODETEXT)), theirs);
  EXPECT_EQ(GetClipboardData(rows), nullptr);
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_UNICODETEXT, CF_TEXT}));

  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("again"));
  CloseClipboard();
  EXPECT_EQ(GetClipboardOwner(), a);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(ReadText(GetClipboardData(CF_TEXT)), "again");
  CloseClipboard();
  DestroyWindow(a);
}

}  // namespace
