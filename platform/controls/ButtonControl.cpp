#include "platform/controls/ButtonControl.h"
#include "platform/controls/WindowState.h"

#include <algorithm>
#include <string>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win {
namespace {

constexpr ATOM kButtonAtom = 0x0080;
// The box of a radio button or check box, and the gap to its text.
constexpr int kBoxSize = 13;
constexpr int kBoxGap = 4;

// What the control keeps between messages; lives like the list box's.
struct ButtonState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  bool tracking = false;   // the left button went down here and is held
  bool spaceDown = false;  // Space went down here and is held
  bool isDefault = false;  // an owner-drawn button told it is the default
  HFONT font = nullptr;
  int depth = 0;
  bool dead = false;
};

ButtonState* StateOf(HWND hwnd) { return reinterpret_cast<ButtonState*>(GetWindowLongPtrA(hwnd, 0)); }

class Button {
 public:
  Button(HWND hwnd, ButtonState& s) : hwnd_(hwnd), s_(s) {}

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }
  DWORD Type() const { return Style() & BS_TYPEMASK; }
  bool IsPush() const { return Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON; }
  bool IsOwnerDraw() const { return Type() == BS_OWNERDRAW; }
  bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
  bool IsCheck() const {
    const DWORD t = Type();
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
  }
  bool IsDefault() const { return Type() == BS_DEFPUSHBUTTON || (IsOwnerDraw() && s_.isDefault); }
  bool Alive() const { return !s_.dead; }
  HWND Parent() const { return GetParent(hwnd_); }
  UINT Id() const { return static_cast<UINT>(GetWindowLongPtrA(hwnd_, GWLP_ID)); }
  RECT Client() const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return rc;
  }

  void Notify(int code) {
    if (HWND parent = Parent())
      SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), code), reinterpret_cast<LPARAM>(hwnd_));
  }

  // ---- Drawing ----
  UINT ItemState() const {
    UINT state = 0;
    if (s_.pushed) state |= ODS_SELECTED;
    if (s_.focused) state |= ODS_FOCUS;
    if (Style() & WS_DISABLED) state |= ODS_DISABLED;
    if (IsDefault()) state |= ODS_DEFAULT;
    return state;
  }
  void DrawOwner(HDC dc, UINT action) {
    DRAWITEMSTRUCT dis{ODT_BUTTON, Id(), 0, action, ItemState(), hwnd_, dc, Client(), 0};
    SendMessageA(Parent(), WM_DRAWITEM, Id(), reinterpret_cast<LPARAM>(&dis));
  }
  void DrawCaption(HDC dc, RECT rc, UINT format) {
    const std::string text = WindowText();
    HGDIOBJ oldFont = s_.font ? SelectObject(dc, ToObj(s_.font)) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, GetSysColor((Style() & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if (oldFont) SelectObject(dc, oldFont);
  }
  // The classic push button: a black frame round the default one, the
  // raised (or, held down, flat) face, the caption one pixel lower right
  // while held, and the focus rectangle inside the face.
  void DrawPush(HDC dc) {
    RECT rc = Client();
    if (IsDefault()) {
      FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
      rc = RECT{rc.Left + 1, rc.Top + 1, rc.Right - 1, rc.Bottom - 1};
    }
    RECT face = rc;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (s_.pushed ? DFCS_PUSHED : 0));
    RECT text = rc;
    if (s_.pushed) text = RECT{text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1};
    DrawCaption(dc, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (s_.focused) {
      RECT focus{rc.Left + 3, rc.Top + 3, rc.Right - 3, rc.Bottom - 3};
      DrawFocusRect(dc, &focus);
    }
  }
  // A radio button or check box: the parent's background, the box at the
  // left (at the right with BS_LEFTTEXT), the caption beside it.
  void DrawBox(HDC dc) {
    const RECT client = Client();
    const HWND to = Parent() ? Parent() : hwnd_;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(to, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    if (!Alive()) return;
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &client, brush);
    const bool leftText = Style() & BS_LEFTTEXT;
    const int top = (client.Height() - kBoxSize) / 2;
    RECT box = leftText ? RECT{client.Right - kBoxSize, top, client.Right, top + kBoxSize}
                        : RECT{0, top, kBoxSize, top + kBoxSize};
    UINT state = IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (s_.check == BST_CHECKED) state |= DFCS_CHECKED;
    if (s_.check == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (s_.pushed) state |= DFCS_PUSHED;
    if (Style() & WS_DISABLED) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);
    RECT text = leftText ? RECT{0, 0, client.Right - kBoxSize - kBoxGap, client.Bottom}
                         : RECT{kBoxSize + kBoxGap, 0, client.Right, client.Bottom};
    const UINT format = (Style() & BS_MULTILINE) ? DT_WORDBREAK | DT_VCENTER : DT_SINGLELINE | DT_VCENTER;
    DrawCaption(dc, text, format);
    if (s_.focused) {
      // The focus rectangle hugs the caption.
      RECT measure = text;
      HGDIOBJ oldFont = s_.font ? SelectObject(dc, ToObj(s_.font)) : nullptr;
      const std::string caption = WindowText();
      DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measure, format | DT_CALCRECT);
      if (oldFont) SelectObject(dc, oldFont);
      const int height = measure.Height();
      RECT focus{text.Left - 1, (client.Height() - height) / 2 - 1, text.Left + measure.Width() + 1,
                 (client.Height() - height) / 2 + height + 1};
      DrawFocusRect(dc, &focus);
    }
  }
  void Paint(HDC dc, UINT action) {
    if (IsOwnerDraw()) DrawOwner(dc, action);
    else if (IsRadio() || IsCheck()) DrawBox(dc);
    else DrawPush(dc);
  }
  // Draws the button again at once: a change of state shows while the
  // person still holds the key or the mouse.
  void Redraw(UINT action) {
    if (!IsWindowVisible(hwnd_)) return;
    HDC dc = GetDC(hwnd_);
    Paint(dc, action);
    ReleaseDC(hwnd_, dc);
  }
  std::string WindowText() const {
    const int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd_, text.data(), length + 1)));
    return text;
  }

  // ---- State ----
  void SetPushed(bool pushed) {
    if (s_.pushed == pushed) return;
    s_.pushed = pushed;
    Redraw(ODA_SELECT);
  }
  void SetCheck(UINT check) {
    if (IsRadio()) check = check ? BST_CHECKED : BST_UNCHECKED;
    else if (Type() != BS_3STATE && Type() != BS_AUTO3STATE) check = std::min<UINT>(check, BST_CHECKED);
    if (!IsRadio() && !IsCheck()) return;
    if (s_.check == check) return;
    s_.check = check;
    Redraw(ODA_SELECT);
  }
  // A click: the automatic kinds change their check first.
  void Clicked() {
    switch (Type()) {
      case BS_AUTOCHECKBOX: SetCheck(s_.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
      case BS_AUTO3STATE: SetCheck((s_.check + 1) % 3); break;
      case BS_AUTORADIOBUTTON: {
        SetCheck(BST_CHECKED);
        // Its siblings that are radio buttons too are cleared.
        for (HWND sibling = Parent() ? GetWindow(Parent(), GW_CHILD) : nullptr; sibling;
             sibling = GetWindow(sibling, GW_HWNDNEXT)) {
          if (sibling != hwnd_ && (SendMessageA(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
      }
      default: break;
    }
    if (Alive()) Notify(BN_CLICKED);
  }
  void Release() {
    s_.tracking = false;
    s_.spaceDown = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    SetPushed(false);
  }
  LRESULT SetStyle(DWORD style, bool redraw) {
    DWORD type = style & BS_TYPEMASK;
    // An owner-drawn button stays one: being made the default only marks it.
    if (IsOwnerDraw() && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
      s_.isDefault = type == BS_DEFPUSHBUTTON;
      type = BS_OWNERDRAW;
    }
    SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((Style() & ~0xFFFFu) | (style & 0xFFF0u) | type));
    if (redraw) InvalidateRect(hwnd_, nullptr, FALSE);
    return 0;
  }

  HWND hwnd_;
  ButtonState& s_;
};

LRESULT Button::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;  // painting covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(hwnd_, &ps);
      Paint(dc, ODA_DRAWENTIRE);
      if (!wParam) EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcA(hwnd_, msg, wParam, lParam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return r;
    }
    case WM_SETFONT:
      s_.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<DWORD_PTR>(lParam))) InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s_.font);
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_GETDLGCODE:
      if (IsRadio()) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (IsCheck()) return DLGC_BUTTON;
      return DLGC_BUTTON | (IsDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_SETFOCUS:
      s_.focused = true;
      Redraw(ODA_FOCUS);
      if (Alive() && (Style() & BS_NOTIFY)) Notify(BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s_.focused = false;
      Release();
      Redraw(ODA_FOCUS);
      if (Alive() && (Style() & BS_NOTIFY)) Notify(BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (IsRadio() || IsOwnerDraw() || (Style() & BS_NOTIFY)) Notify(BN_DOUBLECLICKED);
      if (IsRadio() || IsOwnerDraw() || !Alive()) return 0;
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (GetFocus() != hwnd_) SetFocus(hwnd_);
      if (!Alive() || GetFocus() != hwnd_) return 0;
      s_.tracking = true;
      SetCapture(hwnd_);
      SetPushed(true);
      return 0;
    case WM_MOUSEMOVE:
      if (s_.tracking) {
        const RECT rc = Client();
        const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        SetPushed(x >= rc.Left && x < rc.Right && y >= rc.Top && y < rc.Bottom);
      }
      return 0;
    case WM_LBUTTONUP: {
      if (!s_.tracking) return 0;
      const bool click = s_.pushed;
      Release();
      if (click && Alive()) Clicked();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (s_.tracking) {
        s_.tracking = false;
        SetPushed(false);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !s_.spaceDown && !s_.tracking) {
        s_.spaceDown = true;
        SetPushed(true);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && s_.spaceDown) {
        s_.spaceDown = false;
        const bool click = s_.pushed;
        SetPushed(false);
        if (click && Alive()) Clicked();
      }
      return 0;
    case WM_CHAR: return 0;
    case BM_GETCHECK: return s_.check;
    case BM_SETCHECK: SetCheck(static_cast<UINT>(wParam)); return 0;
    case BM_GETSTATE:
      return s_.check | (s_.pushed ? BST_PUSHED : 0) | (s_.focused ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(wParam != 0); return 0;
    case BM_SETSTYLE: return SetStyle(static_cast<DWORD>(wParam), lParam != 0);
    case BM_CLICK:
      SendMessageA(hwnd_, WM_LBUTTONDOWN, 0, 0);
      if (Alive()) SendMessageA(hwnd_, WM_LBUTTONUP, 0, 0);
      return 0;
    default: break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

}  // namespace

namespace detail {

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(new ButtonState));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return DispatchToWindowState(
      hwnd, msg, wParam, lParam, StateOf(hwnd), [](ButtonState* s) { delete s; },
      [&](ButtonState& s) { return Button(hwnd, s).Handle(msg, wParam, lParam); });
}

}  // namespace detail

void RegisterButtonClass() {
  RegisterSystemClass("BUTTON", kButtonAtom, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, &detail::ButtonProc,
                      sizeof(void*));
}

}  // namespace win
