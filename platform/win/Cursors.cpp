#include "platform/win/Cursors.h"

#include <cctype>
#include <map>

#include "platform/gdi/Bitmaps.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Resources.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Focus.h"
#include "platform/win/Icons.h"
#include "platform/win/Mouse.h"
#include "platform/win/ResourceLoading.h"
#include "platform/win/Seams.h"
#include "platform/win/WindowData.h"

// Generated from resources/cursors: the standard drawings, type "SYSCURSOR".
void OrvRegisterStandardCursors();

namespace win {
namespace {

constexpr int kMaxCursorSide = 256;
// Created cursors get handles from here up, never reused; standard ids are
// all below.
constexpr std::uintptr_t kFirstCreated = 0x10000;

struct Cursor {
  CursorImage image;
  bool shared = false;
};

struct StandardName {
  int id;
  const char* name;
};

constexpr StandardName kStandard[] = {
    {32512, "ARROW"},    {32513, "IBEAM"},    {32514, "WAIT"},     {32515, "CROSS"},  {32516, "UPARROW"},
    {32642, "SIZENWSE"}, {32643, "SIZENESW"}, {32644, "SIZEWE"},   {32645, "SIZENS"}, {32646, "SIZEALL"},
    {32648, "NO"},       {32649, "HAND"},     {32650, "APPSTARTING"}, {32651, "HELP"},
};

struct State {
  std::map<std::uintptr_t, Cursor> cursors;
  std::map<std::string, HCURSOR> loaded;  // resource key -> shared handle
  std::uintptr_t next = kFirstCreated;
  int showCount = 0;
};

State& S() {
  static State s;
  return s;
}

const char* StandardNameOf(std::uintptr_t id) {
  for (auto& s : kStandard)
    if (static_cast<std::uintptr_t>(s.id) == id) return s.name;
  return nullptr;
}

Cursor* LoadStandard(std::uintptr_t id) {
  const char* name = StandardNameOf(id);
  if (!name) return nullptr;
  auto& all = S().cursors;
  if (auto it = all.find(id); it != all.end()) return &it->second;
  static bool registered = false;
  if (!registered) {
    OrvRegisterStandardCursors();
    registered = true;
  }
  const TResourceData* data = FindResourceData(name, "SYSCURSOR");
  if (!data) return nullptr;
  Cursor c;
  c.image = ParseCursorText(std::string_view(reinterpret_cast<const char*>(data->Data), data->Size));
  c.shared = true;
  return &(all[id] = std::move(c));
}

Cursor* Lookup(HCURSOR h) {
  auto id = reinterpret_cast<std::uintptr_t>(h);
  if (id < kFirstCreated) return LoadStandard(id);
  auto& all = S().cursors;
  auto it = all.find(id);
  return it == all.end() ? nullptr : &it->second;
}

HCURSOR Add(Cursor c) {
  auto id = S().next++;
  S().cursors[id] = std::move(c);
  return reinterpret_cast<HCURSOR>(id);
}

// The surface the pointer is over decides where the shape shows: the
// capture window's, else the one under the pointer, else the active one.
SurfaceId PointerSurface() {
  detail::Window* w = detail::Peek(GetCapture());
  if (!w) {
    POINT p{};
    GetCursorPos(&p);
    w = detail::WindowAt(p, {});
  }
  if (!w) w = detail::Peek(GetActiveWindow());
  if (!w) return 0;
  return detail::Root(w)->surface;
}

void ShowOnBackEnd(HCURSOR cursor) {
  SurfaceId s = PointerSurface();
  if (s) BackEnd().SetCursorShape(s, S().showCount >= 0 ? cursor : nullptr);
}

void InstallSeams() {
  Seams().setCursor = ShowOnBackEnd;
  Seams().standardCursor = [](int id) { return reinterpret_cast<HCURSOR>(static_cast<std::intptr_t>(id)); };
}

// DefWindowProc's cursor choices reach the back end whenever this unit is
// part of the program (the metrics unit, always linked, resets it).
const bool seamsInstalled = (InstallSeams(), true);

void SetBit(std::vector<std::uint8_t>& plane, int stride, int x, int y) {
  plane[std::size_t(y) * stride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
}

bool GetBit(const std::uint8_t* plane, int stride, int x, int y) {
  return (plane[std::size_t(y) * stride + x / 8] >> (7 - x % 8)) & 1;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ReadInts(std::string_view rest, int& a, int& b) {
  std::string s(rest);
  char extra;
  return std::sscanf(s.c_str(), "%d %d %c", &a, &b, &extra) == 2;
}

}  // namespace

CursorImage ParseCursorText(std::string_view text) {
  CursorImage img;
  img.width = img.height = 32;
  bool haveHot = false;
  std::vector<std::string_view> rows;
  int lineNo = 0;
  while (!text.empty()) {
    auto nl = text.find('\n');
    std::string_view line = Trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    ++lineNo;
    if (line.empty() || line[0] == ';') continue;
    if (line.rfind("hotspot", 0) == 0) {
      if (!ReadInts(line.substr(7), img.hotSpot.X, img.hotSpot.Y))
        throw EParserError("Cursor drawing, line %d: hotspot needs two numbers", {lineNo});
      haveHot = true;
    } else if (line.rfind("size", 0) == 0) {
      if (!rows.empty() || !ReadInts(line.substr(4), img.width, img.height) || img.width <= 0 || img.height <= 0 ||
          img.width > kMaxCursorSide || img.height > kMaxCursorSide)
        throw EParserError("Cursor drawing, line %d: size needs two numbers from 1 to 256 before the rows", {lineNo});
    } else {
      if (line.find_first_not_of(".#o~") != std::string_view::npos)
        throw EParserError("Cursor drawing, line %d: a row holds only '.', '#', 'o' and '~'", {lineNo});
      rows.push_back(line);
    }
  }
  if (!haveHot) throw EParserError("Cursor drawing without a hotspot line");
  if (rows.size() > std::size_t(img.height)) throw EParserError("Cursor drawing has more rows than its height");
  if (img.hotSpot.X < 0 || img.hotSpot.Y < 0 || img.hotSpot.X >= img.width || img.hotSpot.Y >= img.height)
    throw EParserError("Cursor drawing: the hotspot lies outside the cursor");
  std::size_t n = std::size_t(img.width) * img.height;
  img.andMask.assign(n, 1);
  img.xorMask.assign(n, 0);
  for (std::size_t y = 0; y < rows.size(); ++y) {
    if (rows[y].size() > std::size_t(img.width)) throw EParserError("Cursor drawing has a row wider than its width");
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      std::size_t i = y * img.width + x;
      switch (rows[y][x]) {
        case '#': img.andMask[i] = 0; img.xorMask[i] = 0; break;
        case 'o': img.andMask[i] = 0; img.xorMask[i] = 1; break;
        case '~': img.andMask[i] = 1; img.xorMask[i] = 1; break;
        default: break;
      }
    }
  }
  return img;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!instance) {
    auto id = reinterpret_cast<std::uintptr_t>(name);
    if (IS_INTRESOURCE(name) && LoadStandard(id)) return reinterpret_cast<HCURSOR>(id);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  std::string key = ResourceKey(name);
  // Names compare without regard to case, as the registry's do.
  for (char& ch : key)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  if (auto it = S().loaded.find(key); it != S().loaded.end()) return it->second;
  const TResourceData* data = FindResourceData(key, "CURSOR");
  if (!data) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  Cursor c;
  try {
    c.image = ParseCursorText(std::string_view(reinterpret_cast<const char*>(data->Data), data->Size));
  } catch (const EParserError&) {
    SetLastError(ERROR_BAD_FORMAT);
    return nullptr;
  }
  c.shared = true;
  HCURSOR h = Add(std::move(c));
  S().loaded[key] = h;
  return h;
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane) {
  if (width <= 0 || height <= 0 || width > kMaxCursorSide || height > kMaxCursorSide || !andPlane || !xorPlane ||
      xHotSpot < 0 || yHotSpot < 0 || xHotSpot >= width || yHotSpot >= height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int stride = (width + 15) / 16 * 2;
  Cursor c;
  c.image.width = width;
  c.image.height = height;
  c.image.hotSpot = {xHotSpot, yHotSpot};
  c.image.andMask.resize(std::size_t(width) * height);
  c.image.xorMask.resize(std::size_t(width) * height);
  auto a = static_cast<const std::uint8_t*>(andPlane), x = static_cast<const std::uint8_t*>(xorPlane);
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i) {
      c.image.andMask[std::size_t(j) * width + i] = GetBit(a, stride, i, j);
      c.image.xorMask[std::size_t(j) * width + i] = GetBit(x, stride, i, j);
    }
  return Add(std::move(c));
}

BOOL DestroyCursor(HCURSOR cursor) {
  Cursor* c = Lookup(cursor);
  if (!c) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if (c->shared) return TRUE;
  S().cursors.erase(reinterpret_cast<std::uintptr_t>(cursor));
  if (CurrentCursor() == cursor) detail::ApplyCursor(LoadCursorA(nullptr, IDC_ARROW));
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous = CurrentCursor();
  if (cursor && !Lookup(cursor)) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return previous;
  }
  if (cursor != previous) detail::ApplyCursor(cursor);
  return previous;
}

HCURSOR GetCursor() { return CurrentCursor(); }

int ShowCursor(BOOL show) {
  int before = S().showCount;
  S().showCount += show ? 1 : -1;
  if ((before >= 0) != (S().showCount >= 0)) ShowOnBackEnd(CurrentCursor());
  return S().showCount;
}

BOOL GetIconInfo(HICON icon, PICONINFO info) {
  Cursor* c = Lookup(icon);
  if (!c && info && detail::GetCreatedIconInfo(icon, info)) return TRUE;
  if (!c || !info) {
    SetLastError(c ? ERROR_INVALID_PARAMETER : ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  const CursorImage& img = c->image;
  int stride = (img.width + 15) / 16 * 2;
  // Bit 1 is white in a monochrome bitmap, as the AND mask's "keep the screen" is.
  std::vector<std::uint8_t> bits(std::size_t(stride) * img.height * 2, 0);
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      std::size_t i = std::size_t(y) * img.width + x;
      if (img.andMask[i]) SetBit(bits, stride, x, y);
      if (img.xorMask[i]) SetBit(bits, stride, x, y + img.height);
    }
  HBITMAP mask = CreateBitmap(img.width, img.height * 2, 1, 1, bits.data());
  if (!mask) return FALSE;
  *info = ICONINFO{FALSE, DWORD(img.hotSpot.X), DWORD(img.hotSpot.Y), mask, nullptr};
  return TRUE;
}

bool GetCursorImage(HCURSOR cursor, CursorImage& image) {
  Cursor* c = Lookup(cursor);
  if (!c) return false;
  image = c->image;
  return true;
}

namespace detail {

void ResetCursors() {
  (void)seamsInstalled;
  State& s = S();
  for (auto it = s.cursors.begin(); it != s.cursors.end();)
    it = it->second.shared && it->first < kFirstCreated ? std::next(it) : s.cursors.erase(it);
  s.loaded.clear();
  s.showCount = 0;
  InstallSeams();
}

}  // namespace detail

}  // namespace win
