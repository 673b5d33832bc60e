// The exports the library's painters call.
#include <string>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Numbers.h"
#include "platform/theme/ThemeApi.h"
#include "platform/theme/ThemeDrawing.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"

namespace win {
namespace {

using theme::ClassInfo;
using theme::PartInfo;
using theme::StateInfo;

struct Target {
  const ClassInfo* Class = nullptr;
  const PartInfo* Part = nullptr;
  StateInfo State{};
};

HRESULT Resolve(HTHEME theme, int part, int state, Target& out) {
  out.Class = theme::HandleClass(theme);
  if (!out.Class) return E_HANDLE;
  out.Part = out.Class->Find(part);
  if (!out.Part) return E_INVALIDARG;
  if (!theme::ResolveState(*out.Part, state, out.State)) return E_INVALIDARG;
  return S_OK;
}

bool IsDC(HDC hdc) {
  DWORD type = GetObjectType(hdc);
  return type == OBJ_DC || type == OBJ_MEMDC;
}

bool IsField(const PartInfo& part) {
  using theme::Shape;
  return part.Kind == Shape::EditField || part.Kind == Shape::ListFrame || part.Kind == Shape::TabPane ||
         part.Kind == Shape::CheckBox || part.Kind == Shape::RadioButton;
}

// Splits "a;b;c" and answers the first name the module knows.
const ClassInfo* FirstKnownClass(std::u16string_view list) {
  while (true) {
    std::size_t end = list.find(u';');
    AnsiString name = WideToAnsi(list.substr(0, end));
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (const ClassInfo* cls = theme::FindClass(name)) return cls;
    if (end == std::u16string_view::npos) return nullptr;
    list.remove_prefix(end + 1);
  }
}

}  // namespace

HTHEME OpenThemeData(HWND, LPCWSTR classList) {
  HTHEME theme = nullptr;
  if (classList && ThemesActive())
    if (const ClassInfo* cls = FirstKnownClass(classList)) theme = theme::OpenHandle(*cls);
  theme::LogCall("OpenThemeData", theme, 0, 0, nullptr, classList);
  if (!theme) SetLastError(static_cast<DWORD>(E_PROP_ID_UNSUPPORTED));
  return theme;
}

HRESULT CloseThemeData(HTHEME theme) {
  theme::LogCall("CloseThemeData", theme, 0, 0, nullptr);
  return theme::CloseHandle(theme) ? S_OK : E_HANDLE;
}

BOOL IsThemeActive() {
  theme::LogCall("IsThemeActive", nullptr, 0, 0, nullptr);
  return ThemesActive();
}

BOOL IsAppThemed() {
  theme::LogCall("IsAppThemed", nullptr, 0, 0, nullptr);
  return ThemesActive();
}

HRESULT GetCurrentThemeName(LPWSTR fileName, int maxFileChars, LPWSTR colorName, int maxColorChars, LPWSTR sizeName,
                            int maxSizeChars) {
  theme::LogCall("GetCurrentThemeName", nullptr, 0, 0, nullptr);
  if (!ThemesActive()) return E_FAIL;
  const theme::ThemeNames& n = theme::CurrentNames();
  struct Out {
    LPWSTR buffer;
    int max;
    const std::u16string& text;
  };
  const Out outs[] = {{fileName, maxFileChars, n.File}, {colorName, maxColorChars, n.Color}, {sizeName, maxSizeChars, n.Size}};
  // Check every buffer first: a refused call writes nothing.
  for (const Out& o : outs)
    if (o.buffer && (o.max <= 0 || o.text.size() >= static_cast<std::size_t>(o.max))) return E_INSUFFICIENT_BUFFER_HR;
  for (const Out& o : outs) {
    if (!o.buffer) continue;
    o.text.copy(o.buffer, o.text.size());
    o.buffer[o.text.size()] = 0;
  }
  return S_OK;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, const RECT* clip) {
  theme::LogCall("DrawThemeBackground", theme, part, state, rect);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!rect) return E_POINTER;
  if (!IsDC(hdc)) return E_INVALIDARG;
  int saved = SaveDC(hdc);
  if (clip) IntersectClipRect(hdc, clip->Left, clip->Top, clip->Right, clip->Bottom);
  theme::DrawPart(hdc, *t.Part, t.State, *rect);
  RestoreDC(hdc, saved);
  return S_OK;
}

HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect) {
  theme::LogCall("DrawThemeText", theme, part, state, rect, text, count);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!rect || !text) return E_POINTER;
  if (!IsDC(hdc)) return E_INVALIDARG;
  AnsiString s = WideToAnsi(count < 0 ? std::u16string_view(text) : std::u16string_view(text, std::size_t(count)));
  COLORREF colour = 0;
  theme::PartColor(*t.Class, *t.Part, t.State, TMT_TEXTCOLOR, colour);
  if (textFlags2 & DTT_GRAYED) colour = theme::ButtonFace(theme::Look::Disabled).Text;
  int saved = SaveDC(hdc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, colour);
  RECT r = *rect;
  DrawTextA(hdc, s.data(), static_cast<int>(s.size()), &r, textFlags & ~(DT_CALCRECT | DT_MODIFYSTRING));
  RestoreDC(hdc, saved);
  return S_OK;
}

HRESULT DrawThemeEdge(HTHEME theme, HDC hdc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                      RECT* content) {
  theme::LogCall("DrawThemeEdge", theme, part, state, dest);
  const ClassInfo* cls = theme::HandleClass(theme);
  if (!cls) return E_HANDLE;
  if (!dest) return E_POINTER;
  if (!IsDC(hdc)) return E_INVALIDARG;
  // Edges may be asked for a class as a whole (part 0): those take the
  // class's resting colours.
  theme::Face face = theme::ButtonFace(theme::Look::Normal);
  Target t;
  if (Resolve(theme, part, state, t) == S_OK)
    face = IsField(*t.Part) ? theme::FieldFace(t.State.Kind) : theme::ButtonFace(t.State.Kind);
  int saved = SaveDC(hdc);
  RECT inside = theme::DrawEdgeRings(hdc, face, *dest, edge, flags);
  RestoreDC(hdc, saved);
  if (content) *content = inside;
  return S_OK;
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect) {
  theme::LogCall("DrawThemeParentBackground", nullptr, 0, 0, rect);
  if (!IsWindow(hwnd) || !IsDC(hdc)) return E_INVALIDARG;
  if (!(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & WS_CHILD)) return S_OK;  // nothing lies below
  HWND parent = GetParent(hwnd);
  if (!parent) return S_OK;
  POINT at{0, 0};
  MapWindowPoints(hwnd, parent, &at, 1);
  int saved = SaveDC(hdc);
  if (rect) IntersectClipRect(hdc, rect->Left, rect->Top, rect->Right, rect->Bottom);
  OffsetWindowOrgEx(hdc, at.X, at.Y, nullptr);
  SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
  SendMessageA(parent, WM_PAINT, reinterpret_cast<WPARAM>(hdc), 0);
  RestoreDC(hdc, saved);
  return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC, int part, int state, const RECT* bounds, RECT* content) {
  theme::LogCall("GetThemeBackgroundContentRect", theme, part, state, bounds);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!bounds || !content) return E_POINTER;
  *content = theme::ContentRect(*t.Part, *bounds);
  return S_OK;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC, int part, int state, const RECT* rect, HRGN* region) {
  theme::LogCall("GetThemeBackgroundRegion", theme, part, state, rect);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!rect || !region) return E_POINTER;
  *region = theme::PartRegion(*t.Part, *rect);
  return S_OK;
}

HRESULT GetThemePartSize(HTHEME theme, HDC, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size) {
  theme::LogCall("GetThemePartSize", theme, part, state, rect);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!size) return E_POINTER;
  switch (kind) {
    case TS_MIN: *size = t.Part->MinSize; return S_OK;
    case TS_TRUE: *size = t.Part->TrueSize; return S_OK;
    case TS_DRAW:
      // Parts that stretch are drawn at the size they are given.
      *size = rect && !t.Part->FixedSize ? SIZE{ClampToInteger(Int64(rect->Right) - rect->Left),
                                                ClampToInteger(Int64(rect->Bottom) - rect->Top)}
                                         : t.Part->TrueSize;
      return S_OK;
  }
  return E_INVALIDARG;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* color) {
  theme::LogCall("GetThemeColor", theme, part, state, nullptr);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!color) return E_POINTER;
  return theme::PartColor(*t.Class, *t.Part, t.State, prop, *color) ? S_OK : E_PROP_ID_UNSUPPORTED;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  theme::LogCall("IsThemeBackgroundPartiallyTransparent", theme, part, state, nullptr);
  Target t;
  return Resolve(theme, part, state, t) == S_OK && t.Part->PartlyTransparent;
}

HRESULT HitTestThemeBackground(HTHEME theme, HDC, int part, int state, DWORD options, const RECT* rect, HRGN region,
                               POINT point, WORD* hitCode) {
  theme::LogCall("HitTestThemeBackground", theme, part, state, rect);
  Target t;
  if (HRESULT hr = Resolve(theme, part, state, t); hr != S_OK) return hr;
  if (!rect || !hitCode) return E_POINTER;
  bool inside;
  if (region) {
    inside = PtInRegion(region, point.X, point.Y);
  } else {
    HRGN own = theme::PartRegion(*t.Part, *rect);
    inside = PtInRegion(own, point.X, point.Y);
    DeleteObject(own);
  }
  if (!inside) {
    *hitCode = HTNOWHERE;
    return S_OK;
  }
  // Inside: the part's margins are its border, when the caller asks.
  const RECT content = theme::ContentRect(*t.Part, *rect);
  bool left = point.X < content.Left, right = point.X >= content.Right;
  bool top = point.Y < content.Top, bottom = point.Y >= content.Bottom;
  int code = HTCLIENT;
  if (options & HTTB_RESIZINGBORDER) {
    left = left && (options & HTTB_RESIZINGBORDER_LEFT);
    right = right && (options & HTTB_RESIZINGBORDER_RIGHT);
    top = top && (options & HTTB_RESIZINGBORDER_TOP);
    bottom = bottom && (options & HTTB_RESIZINGBORDER_BOTTOM);
    if (top) code = left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    else if (bottom) code = left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    else if (left) code = HTLEFT;
    else if (right) code = HTRIGHT;
  } else if ((options & HTTB_CAPTION) && top) {
    code = HTCAPTION;
  } else if ((options & HTTB_FIXEDBORDER) && (left || right || top || bottom)) {
    code = HTBORDER;
  }
  *hitCode = static_cast<WORD>(code);
  return S_OK;
}

}  // namespace win
