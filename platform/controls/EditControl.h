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

#include <string_view>
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

// What a formatted text adds to the engine: character and paragraph
// formats kept in step with the text, which the engine measures and draws
// piece by piece, and the rules of a control that keeps its own history,
// notifies selectively, guards parts of its text or paints its own
// background.
class EditFormats {
 public:
  // A piece of text drawn in one font and colour, up to (not including)
  // the character index end. The font belongs to the formats.
  struct Span {
    int end = 0;
    HFONT font = nullptr;
    COLORREF color = 0;
    bool autoColor = true;  // drawn in the control's text colour
    bool highlight = false;  // drawn over a band of back
    COLORREF back = 0;
  };
  // How a change of the text enters the undo history.
  enum class History {
    Record,  // one step of its own
    Typing,  // joins the typing step before it, when it continues it
    Forget,  // the history is emptied
    Keep,    // the history is left as it is (it is replaying a step)
  };
  struct Change {
    int at = 0;
    std::string_view removed;
    std::string_view inserted;
    History history = History::Record;
  };
  // How the paragraph starting at a character lays out, in pixels from
  // the text area's left edge.
  // Justify stretches every line but a paragraph's last to both edges.
  enum class Align { Style, Left, Center, Right, Justify };
  struct Paragraph {
    int firstIndent = 0;  // where the text of its first line starts
    int indent = 0;       // where the text of its other lines starts
    int rightIndent = 0;
    Align align = Align::Style;
    std::vector<int> tabs;  // stops, ascending
    bool bullet = false;    // a bullet drawn at bulletX on the first line
    int bulletX = 0;
  };
  virtual ~EditFormats() = default;
  // change.removed at change.at gave way to change.inserted.
  virtual void Replaced(const Change& change) = 0;
  // The whole text was set: every character takes the default format.
  virtual void Reset(std::string_view text) = 0;
  // The selection moved (anchor, active end).
  virtual void SelectionSet(int anchor, int caret) = 0;
  // The pieces covering [from, to), in order.
  virtual std::vector<Span> Spans(int from, int to) const = 0;
  // The height every line takes.
  virtual int LineHeight() const = 0;
  virtual Paragraph ParagraphAt(int /*start*/) const { return {}; }
  // True when the formats keep the undo history themselves; the engine's
  // one-level buffer then stays empty.
  virtual bool KeepsHistory() const { return false; }
  // May [from, to) be replaced? Asked before every change the person or
  // a program makes through the engine.
  virtual bool MayReplace(int /*from*/, int /*to*/) { return true; }
  // Whether the parent hears a WM_COMMAND notification with this code.
  virtual bool Notifies(int /*code*/) const { return true; }
  // Room at the left of the text area, inside the left margin.
  virtual int LeadingGap() const { return 0; }
  // How a standard scroll bar (SB_HORZ, SB_VERT) shows: as the window's
  // style says, staying disabled while everything fits; wanted whatever
  // the style says now, and hidden while everything fits; or never.
  enum class BarRule { Style, Auto, Hidden };
  virtual BarRule BarRuleOf(int /*bar*/) const { return BarRule::Style; }
  // The background colour, when the control has one of its own.
  virtual bool Background(COLORREF& /*colour*/) const { return false; }
};

// Where the lines of a paragraph end when it wraps (offsets into text,
// ascending, the last one text's size): pos[k] is the x of boundary k, the
// first line may be firstWidth wide, the others width.
std::vector<int> WrapParagraph(std::string_view text, const std::vector<int>& pos, int firstWidth, int width);
// Stretches a wrapped line (pos as above, from its first character) to
// width: the spaces between its words share the room left over, the
// first of them a pixel more where it does not divide evenly. Blanks
// before the first word and after the last, and everything up to the
// line's last tab, keep their places. False when nothing could stretch.
bool JustifyLine(std::string_view line, std::vector<int>& pos, int width);

// The engine's procedure for a window whose state holds formats made by
// make when the window is created.
LRESULT EditProcWithFormats(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, EditFormats* (*make)());
// The formats of such a window, or null.
EditFormats* FormatsOf(HWND hwnd);
// The formats changed: lays the text out again and repaints.
void FormatsChanged(HWND hwnd);
// Keeps the state of such a window (its formats included) alive while it
// lives, even when the window is destroyed meanwhile; the state goes when
// the last hold and the last message end.
class EditHold {
 public:
  explicit EditHold(HWND hwnd);
  ~EditHold();
  EditHold(const EditHold&) = delete;
  EditHold& operator=(const EditHold&) = delete;
  EditFormats* Formats() const;
  // The selection as EM_GETSEL gives it, read without a message (a rich
  // edit compares it before and after every message it handles).
  void Selection(int& from, int& to) const;

 private:
  void* state_ = nullptr;
};
// The text of such a window as it stands; empty for any other window.
std::string_view EditTextOf(HWND hwnd);
// Puts text in place of [from, to) as it stands (no limit, no conversion,
// no question asked), tells the formats with the history given, then
// selects (anchor, caret) and notifies like any change. Nothing for a
// range outside the text. With formatsChanged the formats changed beyond
// the range as well: the text is laid out afresh, once, as FormatsChanged
// would lay it out after.
void ReplaceEditText(HWND hwnd, int from, int to, std::string_view text, EditFormats::History history, int anchor,
                     int caret, bool formatsChanged = false);
// The active end of an edit window's selection, where its caret is; -1
// for a window this engine does not run. EM_GETSEL gives both ends in
// order, which leaves which one the caret stands at untold.
int EditCaretIndex(HWND hwnd);
// Selects (anchor, caret) as EM_SETSEL does, for an edit with formats.
// With caretAtLineEnd a caret at the end of a line cut inside a word
// shows at that end, as after End, rather than at the next line's start.
void SelectEditText(HWND hwnd, int anchor, int caret, bool caretAtLineEnd);
}  // namespace detail

}  // namespace win
