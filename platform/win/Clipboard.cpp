#include "platform/win/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/BackEnd.h"
#include "platform/win/WindowData.h"

namespace win {
namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr UINT kLastRegistered = 0xFFFF;
constexpr std::size_t kFileHeader = 14;  // BMP file header before the packed DIB

struct Held {
  HANDLE handle = nullptr;
  bool bitmap = false;  // an HBITMAP, else an HGLOBAL
  bool fromSet = false; // given by SetClipboardData
};

struct State {
  bool open = false;
  HWND opener = nullptr;
  HWND owner = nullptr;
  std::vector<UINT> order;          // formats in the order they were set
  std::map<UINT, Held> held;        // handles the clipboard owns, by format
  std::vector<std::string> names;   // registered formats from kFirstRegistered
  std::uint64_t takeovers = 0;      // the back end's count when we last looked
};

State& S() {
  static State s;
  return s;
}

void Release(Held& h) {
  if (h.bitmap)
    DeleteObject(reinterpret_cast<HBITMAP>(h.handle));
  else
    GlobalFree(h.handle);
  h.handle = nullptr;
}

void ReleaseHeld(bool alsoSet) {
  auto& held = S().held;
  for (auto it = held.begin(); it != held.end();) {
    if (alsoSet || !it->second.fromSet) {
      Release(it->second);
      it = held.erase(it);
    } else {
      ++it;
    }
  }
}

// When another program has taken the clipboard since we last looked, what
// we set is gone: our handles and our order of formats no longer describe
// it, and no window of ours owns it.
void FollowOwner() {
  State& s = S();
  std::uint64_t now = BackEnd().ClipboardTakeovers();
  if (now == s.takeovers) return;
  s.takeovers = now;
  ReleaseHeld(true);
  s.order.clear();
  s.owner = nullptr;
}

bool Stored(UINT format, std::string* data = nullptr) {
  std::string scratch;
  return BackEnd().GetClipboard(format, data ? *data : scratch);
}

// The format that stands in for another: text for text, DIB for bitmap.
UINT Partner(UINT format) {
  switch (format) {
    case CF_TEXT: return CF_UNICODETEXT;
    case CF_UNICODETEXT: return CF_TEXT;
    case CF_BITMAP: return CF_DIB;
    case CF_DIB: return CF_BITMAP;
    default: return 0;
  }
}

// What the clipboard holds now: the formats set here in their order, then
// any other the back end has (another program's), then the stand-ins.
std::vector<UINT> Available() {
  std::vector<UINT> out;
  for (UINT f : S().order)
    if (Stored(f)) out.push_back(f);
  auto consider = [&](UINT f) {
    if (std::find(out.begin(), out.end(), f) == out.end() && Stored(f)) out.push_back(f);
  };
  for (UINT f = 1; f <= CF_DIBV5; ++f) consider(f);
  for (std::size_t i = 0; i < S().names.size(); ++i) consider(kFirstRegistered + UINT(i));
  std::size_t real = out.size();
  for (std::size_t i = 0; i < real; ++i) {
    UINT p = Partner(out[i]);
    if (p && std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
  }
  return out;
}

bool NeedOpen() {
  if (S().open) return true;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return false;
}

// The bytes of a global block, up to the terminator for the text formats.
bool BlockBytes(UINT format, HGLOBAL block, std::string& out) {
  std::size_t size = GlobalSize(block);
  const char* p = static_cast<const char*>(GlobalLock(block));
  if (!p) return false;
  if (format == CF_TEXT || format == CF_OEMTEXT) {
    size = std::find(p, p + size, '\0') - p;
  } else if (format == CF_UNICODETEXT) {
    std::size_t units = size / 2, n = 0;
    while (n < units && (p[2 * n] || p[2 * n + 1])) ++n;
    size = n * 2;
  }
  out.assign(p, size);
  GlobalUnlock(block);
  return true;
}

bool BitmapBytes(HBITMAP bitmap, std::string& out) {
  if (GetObjectType(bitmap) != OBJ_BITMAP) return false;
  std::vector<std::uint8_t> file;
  try {
    file = WriteBmp(bitmap);
  } catch (const Exception&) {
    return false;
  }
  if (file.size() <= kFileHeader) return false;
  out.assign(reinterpret_cast<const char*>(file.data()) + kFileHeader, file.size() - kFileHeader);
  return true;
}

// The bytes of the partner format for a value: text converted between
// 1252 and UTF-16; bitmaps and DIBs are stored alike.
std::string PartnerBytes(UINT format, const std::string& bytes) {
  if (format == CF_TEXT) {
    WideString w = AnsiToWide(bytes);
    return std::string(reinterpret_cast<const char*>(w.data()), w.size() * 2);
  }
  if (format == CF_UNICODETEXT) {
    std::u16string w(bytes.size() / 2, u'\0');
    std::memcpy(w.data(), bytes.data(), w.size() * 2);
    return WideToAnsi(w);
  }
  return bytes;
}

HGLOBAL TextBlock(const std::string& bytes, std::size_t terminator) {
  std::string t = bytes;
  t.append(terminator, '\0');
  return GlobalFromBytes(t.data(), t.size());
}

// Makes the handle for a format from what the back end holds.
bool Render(UINT format, Held& out) {
  std::string data;
  if (format == CF_BITMAP || format == CF_DIB) {
    if (!Stored(CF_DIB, &data) && !Stored(CF_BITMAP, &data)) return false;
    if (format == CF_DIB) {
      out.handle = GlobalFromBytes(data.data(), data.size());
      return out.handle != nullptr;
    }
    try {
      out.handle = reinterpret_cast<HANDLE>(BmpImageToBitmap(ReadDib(data.data(), data.size())));
    } catch (const EInvalidGraphic&) {
      return false;
    }
    out.bitmap = true;
    return out.handle != nullptr;
  }
  if (Stored(format, &data)) {
    std::size_t term = format == CF_TEXT || format == CF_OEMTEXT ? 1 : format == CF_UNICODETEXT ? 2 : 0;
    out.handle = TextBlock(data, term);
    return out.handle != nullptr;
  }
  if ((format == CF_UNICODETEXT || format == CF_TEXT) && Stored(Partner(format), &data)) {
    out.handle = TextBlock(PartnerBytes(Partner(format), data), format == CF_TEXT ? 1 : 2);
    return out.handle != nullptr;
  }
  return false;
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  State& s = S();
  if (owner && !detail::Find(owner)) return FALSE;
  if (s.open) {
    if (s.opener == owner) return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  FollowOwner();
  s.open = true;
  s.opener = owner;
  // Handles answered while it was last open may be out of date now.
  ReleaseHeld(false);
  return TRUE;
}

BOOL CloseClipboard() {
  if (!NeedOpen()) return FALSE;
  S().open = false;
  S().opener = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!NeedOpen()) return FALSE;
  ReleaseHeld(true);
  S().order.clear();
  BackEnd().ClearClipboard();
  S().owner = S().opener;
  S().takeovers = BackEnd().ClipboardTakeovers();
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!NeedOpen()) return nullptr;
  if (!data || format == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string bytes;
  bool bitmap = format == CF_BITMAP;
  if (bitmap ? !BitmapBytes(reinterpret_cast<HBITMAP>(data), bytes) : !BlockBytes(format, data, bytes)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  State& s = S();
  // A new value for a format drops the old one and anything made from it.
  for (UINT f : {format, Partner(format)}) {
    if (!f) continue;
    if (auto it = s.held.find(f); it != s.held.end() && it->second.handle != data) {
      Release(it->second);
      s.held.erase(it);
    }
  }
  if (UINT p = Partner(format); p && Stored(p)) {
    // The partner set earlier follows the new value, or the two would
    // disagree (the back end cannot drop a single format).
    BackEnd().SetClipboard(p, PartnerBytes(format, bytes));
    s.order.erase(std::remove(s.order.begin(), s.order.end(), p), s.order.end());
  }
  BackEnd().SetClipboard(format, std::move(bytes));
  s.order.erase(std::remove(s.order.begin(), s.order.end(), format), s.order.end());
  s.order.push_back(format);
  s.held[format] = Held{data, bitmap, true};
  return data;
}

HANDLE GetClipboardData(UINT format) {
  if (!NeedOpen()) return nullptr;
  State& s = S();
  if (auto it = s.held.find(format); it != s.held.end()) return it->second.handle;
  Held h;
  if (!Render(format, h)) {
    SetLastError(ERROR_SUCCESS);
    return nullptr;
  }
  s.held[format] = h;
  return h.handle;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  // While open, the handles answered so far must stay valid.
  if (!S().open) FollowOwner();
  auto all = Available();
  return std::find(all.begin(), all.end(), format) != all.end();
}

UINT EnumClipboardFormats(UINT format) {
  if (!NeedOpen()) return 0;
  auto all = Available();
  SetLastError(ERROR_SUCCESS);
  if (format == 0) return all.empty() ? 0 : all.front();
  auto it = std::find(all.begin(), all.end(), format);
  return it == all.end() || ++it == all.end() ? 0 : *it;
}

int CountClipboardFormats() {
  if (!S().open) FollowOwner();
  return static_cast<int>(Available().size());
}

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& names = S().names;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (strcasecmp(names[i].c_str(), name) == 0) return kFirstRegistered + UINT(i);
  if (names.size() > kLastRegistered - kFirstRegistered) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  names.emplace_back(name);
  return kFirstRegistered + UINT(names.size() - 1);
}

int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size) {
  auto& names = S().names;
  if (format < kFirstRegistered || format - kFirstRegistered >= names.size() || !buffer || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string& n = names[format - kFirstRegistered];
  int len = static_cast<int>(std::min<std::size_t>(n.size(), std::size_t(size - 1)));
  std::memcpy(buffer, n.data(), std::size_t(len));
  buffer[len] = '\0';
  return len;
}

HWND GetClipboardOwner() {
  if (!S().open) FollowOwner();
  return detail::Peek(S().owner) ? S().owner : nullptr;
}

HWND GetOpenClipboardWindow() { return S().open ? S().opener : nullptr; }

namespace detail {

void ResetClipboard() {
  ReleaseHeld(true);
  State& s = S();
  s.open = false;
  s.opener = s.owner = nullptr;
  s.order.clear();
  s.takeovers = BackEnd().ClipboardTakeovers();
}

}  // namespace detail

}  // namespace win
