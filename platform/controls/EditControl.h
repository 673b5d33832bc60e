// The "EDIT" window class. Single-line: one line of text with a selection
// between an anchor and an active end (where the caret is), typing,
// deleting and selecting by keys and mouse, the clipboard, one level of
// undo, a password character, case conversion, a length limit and
// horizontal scrolling that keeps the caret in view. The parent chooses
// the colours through WM_CTLCOLOREDIT and hears EN_CHANGE through
// WM_COMMAND after every change of the text. The control draws no border
// of its own: its container does. docs/platform-controls.md lists how
// each message answers in the corner cases.
//
// With ES_MULTILINE the same engine keeps one text whose line breaks are
// CR LF, lays it out in lines (wrapped at the area's width unless
// ES_AUTOHSCROLL or WS_HSCROLL ask for horizontal scrolling), moves the
// caret by lines and pages, and drives the window's standard scroll bars.
#pragma once

#include <vector>

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Handles.h"

namespace win {

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// EM_SETMARGINS flags.
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// The limit a new control has, and the one EM_LIMITTEXT(0) sets.
constexpr int kEditDefaultLimit = 30000;
constexpr int kEditNoLimit = 0x7FFFFFFE;

// Makes "EDIT" a class of the system (atom 0x81) from now on; called when
// the controls tier starts. Calling it again does nothing.
void RegisterEditClass();

namespace detail {
LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// What a formatted text adds to the engine: character formats kept in
// step with the text, which the engine measures and draws piece by piece.
class EditFormats {
 public:
  // A piece of text drawn in one font and colour, up to (not including)
  // the character index end. The font belongs to the formats.
  struct Span {
    int end = 0;
    HFONT font = nullptr;
    COLORREF color = 0;
    bool autoColor = true;  // drawn in the control's text colour
  };
  virtual ~EditFormats() = default;
  // removed characters at index at gave way to inserted new ones.
  virtual void Replaced(int at, int removed, int inserted) = 0;
  // The whole text was set: every character takes the default format.
  virtual void Reset(int length) = 0;
  // The selection moved (anchor, active end).
  virtual void SelectionSet(int anchor, int caret) = 0;
  // The pieces covering [from, to), in order.
  virtual std::vector<Span> Spans(int from, int to) const = 0;
  // The height every line takes.
  virtual int LineHeight() const = 0;
};

// The engine's procedure for a window whose state holds formats made by
// make when the window is created.
LRESULT EditProcWithFormats(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, EditFormats* (*make)());
// The formats of such a window, or null.
EditFormats* FormatsOf(HWND hwnd);
// The formats changed: lays the text out again and repaints.
void FormatsChanged(HWND hwnd);
}  // namespace detail

}  // namespace win
