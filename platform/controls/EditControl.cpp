#include "platform/controls/EditControl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win {
namespace {

constexpr ATOM kEditAtom = 0x0081;
constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollPeriod = 100;

// What the control keeps between messages. It lives from WM_NCCREATE to
// the end of the outermost message being handled when WM_NCDESTROY came,
// so a parent destroying the control from a notification leaves the code
// that sent it a valid (if orphaned) state to finish with.
struct EditState {
  std::string text;
  int anchor = 0;  // the fixed end of the selection
  int caret = 0;   // the active end, where the caret is
  int first = 0;   // the first character in view
  int limit = kEditDefaultLimit;
  HFONT font = nullptr;
  int leftMargin = 0;
  int rightMargin = 0;
  char passwordChar = 0;
  bool modified = false;
  bool focused = false;
  bool tracking = false;   // the left button went down here and is held
  bool typingRun = false;  // the undo step holds the run being typed
  struct {
    bool valid = false;
    std::string text;
    int anchor = 0;
    int caret = 0;
  } undo;
  int depth = 0;
  bool dead = false;
};

EditState* StateOf(HWND hwnd) { return reinterpret_cast<EditState*>(GetWindowLongPtrA(hwnd, 0)); }

bool IsDelimiter(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where typed, pasted and replaced text come from: each has its own rule
// for what happens when it does not fit.
enum class Source { Typed, Pasted, Program };

// The text as shown (masked by the password character): pos[i] is the
// width of its first i characters.
struct Measure {
  std::vector<int> pos;
  int lineHeight = 0;
};

class Edit {
 public:
  Edit(HWND hwnd, EditState& s) : hwnd_(hwnd), s_(s) {}

  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }
  int Length() const { return static_cast<int>(s_.text.size()); }
  int SelStart() const { return std::min(s_.anchor, s_.caret); }
  int SelEnd() const { return std::max(s_.anchor, s_.caret); }

  std::string Display() const {
    return s_.passwordChar ? std::string(s_.text.size(), s_.passwordChar) : s_.text;
  }

  Measure Measured(const std::string& display) const {
    Measure m;
    m.pos.assign(display.size() + 1, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = s_.font ? SelectObject(dc, ToObj(s_.font)) : nullptr;
    if (!display.empty()) {
      SIZE size{};
      GetTextExtentExPointA(dc, display.data(), static_cast<int>(display.size()), 0, nullptr, m.pos.data() + 1,
                            &size);
    }
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    m.lineHeight = tm.tmHeight;
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    return m;
  }
  Measure Measured() const { return Measured(Display()); }

  // The text area between the margins, in client coordinates.
  void Area(int& left, int& right) const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    left = s_.leftMargin;
    right = std::max(left, static_cast<int>(rc.Right) - s_.rightMargin);
  }

  // The x of character 0: a text shorter than the area is aligned as the
  // style says, a longer one is scrolled to the first character in view.
  int Origin(const Measure& m) const {
    int left, right;
    Area(left, right);
    const int total = m.pos.back();
    if (s_.first == 0 && total <= right - left) {
      const DWORD align = Style() & (ES_CENTER | ES_RIGHT);
      if (align == ES_CENTER) return left + (right - left - total) / 2;
      if (align & ES_RIGHT) return right - total;
    }
    return left - m.pos[std::min(static_cast<std::size_t>(s_.first), m.pos.size() - 1)];
  }

  // Scrolls just enough to bring the caret into view, and no further right
  // than the end of the text needs.
  void ScrollToCaret(const Measure& m) {
    if (!(Style() & ES_AUTOHSCROLL)) {
      s_.first = 0;
      return;
    }
    int left, right;
    Area(left, right);
    const int width = right - left;
    const auto& pos = m.pos;
    const int len = Length();
    s_.first = std::clamp(s_.first, 0, len);
    if (s_.caret < s_.first) s_.first = s_.caret;
    while (s_.first < s_.caret && pos[s_.caret] - pos[s_.first] > width) ++s_.first;
    while (s_.first > 0 && pos[len] - pos[s_.first - 1] <= width) --s_.first;
  }

  void PlaceCaret(const Measure& m) {
    if (s_.focused) SetCaretPos(Origin(m) + m.pos[static_cast<std::size_t>(s_.caret)], 0);
  }

  // After any change of text, selection, scrolling or geometry.
  void Refresh() {
    const Measure m = Measured();
    ScrollToCaret(m);
    PlaceCaret(m);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }

  // The boundary nearest to a client x.
  int BoundaryAt(int x, const Measure& m) const {
    const int x0 = Origin(m);
    const auto& pos = m.pos;
    const int len = Length();
    for (int i = 0; i < len; ++i)
      if (x < x0 + pos[i] + (pos[i + 1] - pos[i] + 1) / 2) return i;
    return len;
  }

  // ---- Selection ----

  void SetSel(int anchor, int caret) {
    const int len = Length();
    s_.anchor = std::clamp(anchor, 0, len);
    s_.caret = std::clamp(caret, 0, len);
    s_.typingRun = false;
    Refresh();
  }

  // EM_SETSEL: -1 as the start keeps the caret and drops the selection;
  // any other negative or too large position means the end.
  void SetSelMessage(WPARAM wParam, LPARAM lParam) {
    int start = static_cast<int>(wParam);
    int end = static_cast<int>(lParam);
    const int len = Length();
    if (start == -1) {
      start = end = s_.caret;
    } else {
      if (start < 0 || start > len) start = len;
      if (end < 0 || end > len) end = len;
    }
    SetSel(start, end);
  }

  int WordLeft(int i) const {
    const std::string& t = s_.text;
    if (i <= 0) return 0;
    --i;
    while (i > 0 && IsDelimiter(t[static_cast<std::size_t>(i)])) --i;
    while (i > 0 && !IsDelimiter(t[static_cast<std::size_t>(i - 1)])) --i;
    return i;
  }

  int WordRight(int i) const {
    const std::string& t = s_.text;
    const int len = Length();
    while (i < len && !IsDelimiter(t[static_cast<std::size_t>(i)])) ++i;
    while (i < len && IsDelimiter(t[static_cast<std::size_t>(i)])) ++i;
    return i;
  }

  // A double click selects the word under the pointer with the blanks
  // after it, or the run of blanks under it.
  void SelectWordAt(int x) {
    const int len = Length();
    if (len == 0) return;
    const Measure m = Measured();
    const int x0 = Origin(m);
    int c = 0;
    while (c < len - 1 && x >= x0 + m.pos[static_cast<std::size_t>(c + 1)]) ++c;
    const std::string& t = s_.text;
    const bool blank = IsDelimiter(t[static_cast<std::size_t>(c)]);
    int start = c, end = c;
    while (start > 0 && IsDelimiter(t[static_cast<std::size_t>(start - 1)]) == blank) --start;
    if (blank) {
      while (end < len && IsDelimiter(t[static_cast<std::size_t>(end)])) ++end;
    } else {
      end = WordRight(c);
    }
    SetSel(start, end);
  }

  // ---- Changing the text ----

  void Notify(int code) {
    HWND parent = GetParent(hwnd_);
    if (!parent) return;
    const auto id = static_cast<int>(GetWindowLongPtrA(hwnd_, GWLP_ID));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code), reinterpret_cast<LPARAM>(hwnd_));
  }

  void TextChanged() {
    DefWindowProcA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s_.text.c_str()));
    Refresh();
    Notify(EN_CHANGE);
  }

  // Puts ins in place of [from, to); the caret ends after it.
  void Replace(int from, int to, const std::string& ins, bool undoable, bool typing) {
    if (!undoable) {
      s_.undo.valid = false;
    } else if (!(typing && s_.typingRun && s_.undo.valid)) {
      s_.undo.valid = true;
      s_.undo.text = s_.text;
      s_.undo.anchor = s_.anchor;
      s_.undo.caret = s_.caret;
    }
    s_.text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), ins);
    s_.anchor = s_.caret = from + static_cast<int>(ins.size());
    s_.modified = true;
    TextChanged();
    s_.typingRun = typing;
  }

  // Does the text fit the area? Without ES_AUTOHSCROLL nothing may go
  // beyond it.
  bool Fits(const std::string& text) const {
    if (Style() & ES_AUTOHSCROLL) return true;
    const std::string display = s_.passwordChar ? std::string(text.size(), s_.passwordChar) : text;
    int left, right;
    Area(left, right);
    return Measured(display).pos.back() <= right - left;
  }

  // Replaces the selection with text from the keyboard, the clipboard or a
  // program. A single line keeps what comes before the first line break;
  // case styles convert; what goes past the limit (or, without automatic
  // scrolling, the width) is cut, and a typed character that does not fit
  // is refused with a beep.
  bool ReplaceSelection(std::string ins, Source source, bool undoable) {
    if (source != Source::Typed) {
      const auto brk = ins.find_first_of("\r\n");
      if (brk != std::string::npos) ins.resize(brk);
    }
    const DWORD style = Style();
    if (style & ES_UPPERCASE) CharUpperBuffA(ins.data(), static_cast<DWORD>(ins.size()));
    else if (style & ES_LOWERCASE) CharLowerBuffA(ins.data(), static_cast<DWORD>(ins.size()));
    const int from = SelStart(), to = SelEnd();
    const long long room = std::max<long long>(0, static_cast<long long>(s_.limit) - (Length() - (to - from)));
    const std::size_t wanted = ins.size();
    if (static_cast<long long>(ins.size()) > room) ins.resize(static_cast<std::size_t>(room));
    if (!ins.empty() && !(style & ES_AUTOHSCROLL)) {
      // The longest head of ins that fits, found by halving: a long paste
      // is measured a few times, not once per character.
      auto fitsWith = [&](std::size_t n) {
        std::string trial = s_.text;
        trial.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), ins, 0, n);
        return Fits(trial);
      };
      std::size_t lo = 0, hi = ins.size();
      while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (fitsWith(mid)) lo = mid;
        else hi = mid - 1;
      }
      ins.resize(lo);
    }
    if (source == Source::Typed && ins.size() < wanted) {
      MessageBeep(0);
      return false;
    }
    if (ins.empty() && from == to) return false;
    Replace(from, to, ins, undoable, source == Source::Typed);
    return true;
  }

  void Clear() {
    if ((Style() & ES_READONLY) || SelStart() == SelEnd()) return;
    Replace(SelStart(), SelEnd(), std::string(), true, false);
  }

  void DeleteAround(bool before) {
    if (SelStart() != SelEnd()) return Clear();
    if (before ? s_.caret == 0 : s_.caret == Length()) return;
    const int from = before ? s_.caret - 1 : s_.caret;
    Replace(from, from + 1, std::string(), true, false);
  }

  bool Undo() {
    if (!s_.undo.valid || (Style() & ES_READONLY)) return false;
    std::swap(s_.text, s_.undo.text);
    std::swap(s_.anchor, s_.undo.anchor);
    std::swap(s_.caret, s_.undo.caret);
    s_.modified = true;
    s_.typingRun = false;
    TextChanged();
    return true;
  }

  void SetText(const char* text) {
    s_.text = text ? text : "";
    s_.anchor = s_.caret = s_.first = 0;
    s_.undo.valid = false;
    s_.modified = false;
    s_.typingRun = false;
    TextChanged();
  }

  // ---- Clipboard ----

  void Copy() {
    if (s_.passwordChar || SelStart() == SelEnd()) return;
    const std::string part = s_.text.substr(static_cast<std::size_t>(SelStart()),
                                            static_cast<std::size_t>(SelEnd() - SelStart()));
    if (!OpenClipboard(hwnd_)) return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalFromBytes(part.c_str(), part.size() + 1))
      if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    CloseClipboard();
  }

  void Cut() {
    if (s_.passwordChar || (Style() & ES_READONLY)) return;
    Copy();
    Clear();
  }

  void Paste() {
    if (Style() & ES_READONLY) return;
    if (!OpenClipboard(hwnd_)) return;
    std::string text;
    bool found = false;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
      if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
        const std::size_t size = GlobalSize(block);
        text.assign(bytes, strnlen(bytes, size));
        found = true;
        GlobalUnlock(block);
      }
    }
    CloseClipboard();
    if (found) ReplaceSelection(std::move(text), Source::Pasted, true);
  }

  // ---- Keys ----

  void MoveCaret(int to, bool extend) {
    SetSel(extend ? s_.anchor : to, to);
  }

  void KeyDown(WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (vk) {
      case VK_LEFT:
      case VK_UP:  // one line: up and down move like left and right
        MoveCaret(ctrl ? WordLeft(s_.caret) : std::max(0, s_.caret - 1), shift);
        break;
      case VK_RIGHT:
      case VK_DOWN:
        MoveCaret(ctrl ? WordRight(s_.caret) : std::min(Length(), s_.caret + 1), shift);
        break;
      case VK_HOME: MoveCaret(0, shift); break;
      case VK_END: MoveCaret(Length(), shift); break;
      case VK_DELETE:
        if (shift && !ctrl) Cut();
        else if (!(Style() & ES_READONLY)) DeleteAround(false);
        break;
      case VK_INSERT:
        if (shift && !ctrl) Paste();
        else if (ctrl && !shift) Copy();
        break;
      default: break;
    }
  }

  void Char(unsigned char c) {
    switch (c) {
      case 3: Copy(); return;
      case 22: Paste(); return;
      case 24: Cut(); return;
      case 26: Undo(); return;
      case 8:
        if (Style() & ES_READONLY) MessageBeep(0);
        else DeleteAround(true);
        return;
      default: break;
    }
    if (c < 0x20 || c == 0x7F) {
      MessageBeep(0);  // Enter, Esc and the other control characters
      return;
    }
    if (Style() & ES_READONLY) {
      MessageBeep(0);
      return;
    }
    ReplaceSelection(std::string(1, static_cast<char>(c)), Source::Typed, true);
  }

  // ---- Mouse ----

  void ButtonDown(WPARAM keys, int x) {
    if (GetFocus() != hwnd_) {
      SetFocus(hwnd_);
      if (!IsWindow(hwnd_) || s_.dead) return;
    }
    const int at = BoundaryAt(x, Measured());
    SetSel((keys & MK_SHIFT) ? s_.anchor : at, at);
    s_.tracking = true;
    SetCapture(hwnd_);
    SetTimer(hwnd_, kScrollTimer, kScrollPeriod, nullptr);
  }

  // While the button is held the caret follows the pointer inside the
  // area; outside it the timer scrolls one character at a time.
  void Drag(int x) {
    if (!s_.tracking) return;
    const Measure m = Measured();
    int left, right;
    Area(left, right);
    const int x0 = Origin(m);
    int at = BoundaryAt(std::clamp(x, left, right), m);
    at = std::max(at, s_.first);
    while (at > s_.first && x0 + m.pos[static_cast<std::size_t>(at)] > right) --at;
    if (at != s_.caret) SetSel(s_.anchor, at);
  }

  void AutoScroll() {
    if (!s_.tracking) return;
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    int left, right;
    Area(left, right);
    if (p.X < left && s_.caret > 0) SetSel(s_.anchor, s_.caret - 1);
    else if (p.X >= right && s_.caret < Length()) SetSel(s_.anchor, s_.caret + 1);
  }

  void StopTracking() {
    if (!s_.tracking) return;
    s_.tracking = false;
    KillTimer(hwnd_, kScrollTimer);
    if (GetCapture() == hwnd_) ReleaseCapture();
  }

  // ---- Painting ----

  HBRUSH ColourBrush(HDC dc) {
    HWND parent = GetParent(hwnd_);
    HBRUSH brush = nullptr;
    if (parent)
      brush = reinterpret_cast<HBRUSH>(
          SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    if (!brush)
      brush = reinterpret_cast<HBRUSH>(DefWindowProcA(parent ? parent : hwnd_, WM_CTLCOLOREDIT,
                                                      reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    return brush;
  }

  void Paint(HDC dc) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    HBRUSH brush = ColourBrush(dc);
    if (!IsWindow(hwnd_) || s_.dead) return;
    FillRect(dc, &rc, brush);
    if (s_.text.empty()) return;
    const int saved = SaveDC(dc);
    if (s_.font) SelectObject(dc, ToObj(s_.font));
    if (!IsWindowEnabled(hwnd_)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    int left, right;
    Area(left, right);
    IntersectClipRect(dc, left, rc.Top, right, rc.Bottom);
    const std::string display = Display();
    const Measure m = Measured(display);
    const int x0 = Origin(m);
    TextOutA(dc, x0, 0, display.data(), static_cast<int>(display.size()));
    const int a = SelStart(), b = SelEnd();
    if (a < b && (s_.focused || (Style() & ES_NOHIDESEL))) {
      RECT band{x0 + m.pos[static_cast<std::size_t>(a)], 0, x0 + m.pos[static_cast<std::size_t>(b)], m.lineHeight};
      FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      TextOutA(dc, band.Left, 0, display.data() + a, b - a);
    }
    RestoreDC(dc, saved);
  }

  // ---- Messages ----

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      case WM_SETTEXT: SetText(reinterpret_cast<const char*>(lParam)); return TRUE;
      case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) return 0;
        const std::size_t n = std::min(s_.text.size(), static_cast<std::size_t>(wParam) - 1);
        std::memcpy(buffer, s_.text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
      }
      case WM_GETTEXTLENGTH: return Length();
      case WM_SETFONT:
        s_.font = reinterpret_cast<HFONT>(wParam);
        if (s_.focused) {
          DestroyCaret();
          CreateCaret(hwnd_, nullptr, 1, Measured().lineHeight);
          ShowCaret(hwnd_);
        }
        Refresh();
        if (LOWORD(static_cast<DWORD_PTR>(lParam))) UpdateWindow(hwnd_);
        return 0;
      case WM_GETFONT: return reinterpret_cast<LRESULT>(s_.font);
      case WM_ERASEBKGND: {
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        auto dc = reinterpret_cast<HDC>(wParam);
        HBRUSH brush = ColourBrush(dc);
        if (IsWindow(hwnd_)) FillRect(dc, &rc, brush);
        return 1;
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(hwnd_, &ps);
        Paint(dc);
        if (!wParam) EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_SIZE:
      case WM_STYLECHANGED: Refresh(); return 0;
      case WM_ENABLE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
      case WM_SETFOCUS:
        s_.focused = true;
        CreateCaret(hwnd_, nullptr, 1, Measured().lineHeight);
        Refresh();
        ShowCaret(hwnd_);
        return 0;
      case WM_KILLFOCUS:
        s_.focused = false;
        StopTracking();
        DestroyCaret();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      case WM_KEYDOWN: KeyDown(wParam); return 0;
      case WM_CHAR:
      case WM_IME_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
      case WM_LBUTTONDOWN: ButtonDown(wParam, GET_X_LPARAM(lParam)); return 0;
      case WM_LBUTTONDBLCLK:
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        if (IsWindow(hwnd_) && !s_.dead) SelectWordAt(GET_X_LPARAM(lParam));
        return 0;
      case WM_MOUSEMOVE: Drag(GET_X_LPARAM(lParam)); return 0;
      case WM_LBUTTONUP: StopTracking(); return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_ && s_.tracking) {
          s_.tracking = false;
          KillTimer(hwnd_, kScrollTimer);
        }
        return 0;
      case WM_TIMER:
        if (wParam == kScrollTimer) AutoScroll();
        return 0;
      case WM_COPY: Copy(); return 0;
      case WM_CUT: Cut(); return 0;
      case WM_PASTE: Paste(); return 0;
      case WM_CLEAR: Clear(); return 0;
      case WM_UNDO:
      case EM_UNDO: return Undo() ? TRUE : FALSE;
      case EM_CANUNDO: return s_.undo.valid ? TRUE : FALSE;
      case EM_EMPTYUNDOBUFFER: s_.undo.valid = false; return 0;
      case EM_GETSEL: {
        const auto start = static_cast<DWORD>(SelStart()), end = static_cast<DWORD>(SelEnd());
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = start;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = end;
        return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(static_cast<int>(start), static_cast<int>(end));
      }
      case EM_SETSEL: SetSelMessage(wParam, lParam); return 0;
      case EM_REPLACESEL:
        ReplaceSelection(lParam ? reinterpret_cast<const char*>(lParam) : "", Source::Program, wParam != 0);
        return 0;
      case EM_SCROLLCARET: Refresh(); return TRUE;
      case EM_POSFROMCHAR: {
        const auto index = static_cast<int>(wParam);
        if (index < 0 || index >= Length()) return -1;
        const Measure m = Measured();
        return MAKELRESULT(Origin(m) + m.pos[static_cast<std::size_t>(index)], 0);
      }
      case EM_CHARFROMPOS: return MAKELRESULT(BoundaryAt(GET_X_LPARAM(lParam), Measured()), 0);
      case EM_GETFIRSTVISIBLELINE: return s_.first;
      case EM_GETLINECOUNT: return 1;
      case EM_LIMITTEXT: {
        const auto limit = static_cast<long long>(static_cast<int>(wParam));
        s_.limit = limit <= 0 || limit > kEditNoLimit ? kEditNoLimit : static_cast<int>(limit);
        return 0;
      }
      case EM_GETLIMITTEXT: return s_.limit;
      case EM_GETMODIFY: return s_.modified ? TRUE : FALSE;
      case EM_SETMODIFY: s_.modified = wParam != 0; return 0;
      case EM_SETMARGINS:
        if (wParam == EC_USEFONTINFO) {
          s_.leftMargin = s_.rightMargin = 0;
        } else {
          if (wParam & EC_LEFTMARGIN) s_.leftMargin = LOWORD(static_cast<DWORD_PTR>(lParam));
          if (wParam & EC_RIGHTMARGIN) s_.rightMargin = HIWORD(static_cast<DWORD_PTR>(lParam));
        }
        Refresh();
        return 0;
      case EM_GETMARGINS: return MAKELRESULT(s_.leftMargin, s_.rightMargin);
      case EM_SETPASSWORDCHAR: {
        s_.passwordChar = static_cast<char>(wParam);
        const DWORD style = Style();
        const DWORD wanted = s_.passwordChar ? style | ES_PASSWORD : style & ~ES_PASSWORD;
        if (wanted != style) SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
        Refresh();
        return 0;
      }
      case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(s_.passwordChar);
      case EM_SETREADONLY: {
        const DWORD style = Style();
        SetWindowLongPtrA(hwnd_, GWL_STYLE,
                          static_cast<LONG_PTR>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        InvalidateRect(hwnd_, nullptr, FALSE);
        return TRUE;
      }
      case WM_IME_COMPOSITION: return 0;  // the characters come as WM_IME_CHAR
      default: break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
  }

 private:
  HWND hwnd_;
  EditState& s_;
};

}  // namespace

namespace detail {

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* state = new EditState;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (cs && cs->lpszName) state->text = cs->lpszName;
    if (cs && (cs->style & ES_PASSWORD)) state->passwordChar = '*';
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  EditState* state = StateOf(hwnd);
  if (!state) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    if (state->tracking) KillTimer(hwnd, kScrollTimer);
    state->dead = true;
    SetWindowLongPtrA(hwnd, 0, 0);
    LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
    if (state->depth == 0) delete state;
    return r;
  }
  ++state->depth;
  LRESULT result = 0;
  try {
    result = Edit(hwnd, *state).Handle(msg, wParam, lParam);
  } catch (...) {
    if (--state->depth == 0 && state->dead) delete state;
    throw;
  }
  if (--state->depth == 0 && state->dead) delete state;
  return result;
}

}  // namespace detail

void RegisterEditClass() {
  RegisterSystemClass("EDIT", kEditAtom, CS_DBLCLKS, &detail::EditProc, sizeof(void*), IDC_IBEAM);
}

}  // namespace win
