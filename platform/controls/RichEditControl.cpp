#include "platform/controls/RichEditControl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <typeinfo>

#include "platform/controls/EditControl.h"
#include "platform/controls/RichEditState.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Modules.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win {

namespace rich {

// The formats of a rich edit's window are its own final class: asked for
// on every message, they are told by their type alone.
RichState* AsRich(detail::EditFormats* formats) {
  return formats && typeid(*formats) == typeid(RichState) ? static_cast<RichState*>(formats) : nullptr;
}

RichState* RichOf(HWND hwnd) { return AsRich(detail::FormatsOf(hwnd)); }

LRESULT NotifyParent(HWND hwnd, UINT code, NMHDR& header) {
  HWND parent = GetParent(hwnd);
  if (!parent) return 0;
  header.hwndFrom = hwnd;
  header.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrA(hwnd, GWLP_ID));
  header.code = code;
  return SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace rich

namespace {

using rich::RichOf;
using rich::RichState;

detail::EditFormats* MakeFormats() { return new RichState; }

LRESULT Engine(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return detail::EditProcWithFormats(hwnd, msg, wParam, lParam, &MakeFormats);
}

void Selection(HWND hwnd, int& from, int& to) {
  DWORD a = 0, b = 0;
  Engine(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  from = static_cast<int>(a);
  to = static_cast<int>(b);
}

LRESULT SetCharFormat(HWND hwnd, WPARAM scope, const CHARFORMATA* cf) {
  RichState* state = RichOf(hwnd);
  if (!state || !cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
  // Plain text has one format: whatever is formatted, all of it is.
  if (state->PlainText() && (scope & SCF_SELECTION)) scope = SCF_ALL;
  if (scope & (SCF_ALL | SCF_SELECTION)) {
    int from = 0, to = state->Length();
    if (!(scope & SCF_ALL)) Selection(hwnd, from, to);
    if (from == to && !(scope & SCF_ALL)) {
      state->ApplyAtCaret(from, *cf);  // nothing drawn changes yet
      return 1;
    }
    if (from < to) {
      if (!state->MayReplace(from, to) || !(state = RichOf(hwnd))) return 0;
      state->RecordFormatChange(from, state->Take(from, to, detail::EditTextOf(hwnd)));
    }
    if (scope & SCF_ALL) state->ApplyToAll(*cf);
    else state->ApplyToRange(from, to, *cf);
  } else {
    state->Default().Apply(*cf);
    state->Touched();
    if (state->Length() == 0) state->Reset({});
  }
  detail::FormatsChanged(hwnd);
  return 1;
}

LRESULT GetCharFormat(HWND hwnd, WPARAM scope, CHARFORMATA* cf) {
  RichState* state = RichOf(hwnd);
  if (!state || !cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
  rich::CharFormat format;
  DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_COLOR | CFM_FACE | CFM_SIZE;
  if (scope & SCF_SELECTION) {
    int from, to;
    Selection(hwnd, from, to);
    if (from == to) format = state->InsertionFormat(from);
    else mask = state->Describe(from, to, format);
  } else {
    format = state->Default();
  }
  format.Fill(*cf, mask);
  return static_cast<LRESULT>(mask);
}

// Paragraph formats go to the paragraphs the selection touches (all of
// them in plain text); a value out of range changes nothing.
LRESULT SetParaFormat(HWND hwnd, const PARAFORMAT* pf) {
  RichState* state = RichOf(hwnd);
  if (!state || !pf || pf->cbSize < sizeof(PARAFORMAT)) return 0;
  int from = 0, to = state->Length();
  if (!state->PlainText()) Selection(hwnd, from, to);
  int start = 0, end = 0;
  state->ParaSpan(from, to, start, end);
  // Checked on the default first, so that a refusal leaves no step behind.
  rich::ParaFormat fallback = state->DefaultPara();
  if (state->PlainText() && !fallback.Apply(*pf)) return 0;
  const rich::Content before = state->Take(start, end, detail::EditTextOf(hwnd));
  if (!state->ApplyParas(from, to, *pf)) return 0;
  state->RecordFormatChange(start, std::move(before));
  if (state->PlainText()) state->DefaultPara() = fallback;
  detail::FormatsChanged(hwnd);
  return 1;
}

LRESULT GetParaFormat(HWND hwnd, PARAFORMAT* pf) {
  RichState* state = RichOf(hwnd);
  if (!state || !pf || pf->cbSize < sizeof(PARAFORMAT)) return 0;
  int from, to;
  Selection(hwnd, from, to);
  rich::ParaFormat format;
  const DWORD mask = state->DescribeParas(from, to, format);
  format.Fill(*pf, mask);
  return static_cast<LRESULT>(mask);
}

// The text mode changes only while the control is empty; the pairs not
// named keep their setting. Answers 0 on success.
LRESULT SetTextMode(HWND hwnd, WPARAM mode) {
  RichState* state = RichOf(hwnd);
  if (!state) return 1;
  const auto wanted = static_cast<DWORD>(mode);
  const DWORD pairs[] = {TM_PLAINTEXT | TM_RICHTEXT, TM_SINGLELEVELUNDO | TM_MULTILEVELUNDO,
                         TM_SINGLECODEPAGE | TM_MULTICODEPAGE};
  DWORD known = 0;
  for (DWORD pair : pairs) {
    if ((wanted & pair) == pair) return 1;  // both of a pair
    known |= pair;
  }
  if ((wanted & ~known) || state->Length() > 0) return 1;
  DWORD next = state->textMode;
  for (DWORD pair : pairs)
    if (wanted & pair) next = (next & ~pair) | (wanted & pair);
  state->textMode = next;
  state->ClearHistory();
  if (state->PlainText()) state->Reset({});  // one format for everything from now on
  return 0;
}

COLORREF SetBackground(HWND hwnd, WPARAM useSystem, LPARAM colour) {
  RichState* state = RichOf(hwnd);
  if (!state) return 0;
  const COLORREF previous = state->ownBackground ? state->background : GetSysColor(COLOR_WINDOW);
  state->ownBackground = useSystem == 0;
  state->background = static_cast<COLORREF>(colour) & 0x00FFFFFF;
  InvalidateRect(hwnd, nullptr, TRUE);
  return previous;
}

void ShowBar(HWND hwnd, WPARAM bar, bool show) {
  RichState* state = RichOf(hwnd);
  if (!state || (bar != SB_HORZ && bar != SB_VERT)) return;
  state->barHidden[bar] = !show;
  if (show) state->barWanted[bar] = true;
  ShowScrollBar(hwnd, static_cast<int>(bar), show ? TRUE : FALSE);
  detail::FormatsChanged(hwnd);
}

LRESULT Undo(HWND hwnd, bool redo) {
  RichState* state = RichOf(hwnd);
  if (!state || (GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_READONLY)) return FALSE;
  return (redo ? state->Redo() : state->Undo()) ? TRUE : FALSE;
}

// A read-only control takes nothing from the clipboard.
LRESULT CanPaste(HWND hwnd, WPARAM format) {
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_READONLY) return FALSE;
  if (format != 0 && format != CF_TEXT) return FALSE;
  return IsClipboardFormatAvailable(CF_TEXT) ? TRUE : FALSE;
}

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP ||
         msg == WM_SYSCHAR;
}

int ContentHeight(HWND hwnd, RichState& state) {
  return static_cast<int>(Engine(hwnd, EM_GETLINECOUNT, 0, 0)) * state.LineHeight();
}

// After the outermost message: the parent hears of a moved selection and
// of content that wants another height, when the mask asks.
void AfterMessage(HWND hwnd, const detail::EditHold& hold, int from, int to) {
  RichState* state = RichOf(hwnd);
  if (!state) return;
  if (state->eventMask & ENM_SELCHANGE) {
    int a, b;
    hold.Selection(a, b);
    if (a != from || b != to) {
      SELCHANGE note{};
      note.chrg = {a, b};
      note.seltyp = a == b ? SEL_EMPTY : static_cast<WORD>(b - a > 1 ? SEL_TEXT | SEL_MULTICHAR : SEL_TEXT);
      rich::NotifyParent(hwnd, EN_SELCHANGE, note.nmhdr);
      if (!(state = RichOf(hwnd))) return;
    }
  }
  if (state->eventMask & ENM_REQUESTRESIZE) {
    const int height = ContentHeight(hwnd, *state);
    if (height != state->requestedHeight) {
      state->requestedHeight = height;
      RECT rc{};
      GetClientRect(hwnd, &rc);
      REQRESIZE note{};
      note.rc = {0, 0, rc.Right, height};
      rich::NotifyParent(hwnd, EN_REQUESTRESIZE, note.nmhdr);
    }
  }
}

// A control that goes while the clipboard holds its text asks its parent
// whether the text stays; a non-zero answer empties the clipboard.
void SaveClipboard(HWND hwnd) {
  if (GetClipboardOwner() != hwnd) return;
  ENSAVECLIPBOARD note{};
  if (OpenClipboard(hwnd)) {
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
      if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
        note.cch = static_cast<LONG>(strnlen(bytes, GlobalSize(block)));
        GlobalUnlock(block);
      }
    }
    CloseClipboard();
  }
  if (rich::NotifyParent(hwnd, EN_SAVECLIPBOARD, note.nmhdr) != 0 && GetClipboardOwner() == hwnd &&
      OpenClipboard(hwnd)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

bool InSelectionBar(HWND hwnd, int x) {
  RichState* state = RichOf(hwnd);
  if (!state || !state->selectionBar) return false;
  const int left = LOWORD(static_cast<DWORD_PTR>(Engine(hwnd, EM_GETMARGINS, 0, 0)));
  return x < left + kSelectionBarWidth;
}

// A press in the selection bar selects the line beside it (Shift: from
// the anchor to that line).
void SelectLineAt(HWND hwnd, WPARAM keys, int y) {
  if (GetFocus() != hwnd) {
    SetFocus(hwnd);
    if (!RichOf(hwnd)) return;
  }
  // The line is worked out from y here: EM_CHARFROMPOS packs its answer
  // into 16 bits, fewer than a long text's characters and lines.
  RichState* state = RichOf(hwnd);
  const auto count = static_cast<int>(Engine(hwnd, EM_GETLINECOUNT, 0, 0));
  const auto first = static_cast<int>(Engine(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
  const int height = std::max(1, state->LineHeight());
  const int row = y < 0 ? -1 - (-1 - y) / height : y / height;
  const int line = std::clamp(first + row, 0, std::max(0, count - 1));
  const auto start = static_cast<int>(Engine(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  auto next = static_cast<int>(Engine(hwnd, EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0));
  if (next < 0) next = static_cast<int>(Engine(hwnd, WM_GETTEXTLENGTH, 0, 0));
  int from = start, to = next;
  if (keys & MK_SHIFT) {
    int a, b;
    Selection(hwnd, a, b);
    from = std::min(a, start);
    to = std::max(b, next);
  }
  // The caret ends the line selected: where that line is cut inside a
  // word it shows at its end, not at the start of the line below.
  detail::SelectEditText(hwnd, from, to, to == next);
}

// A font given to the window becomes the default format.
void TakeFont(HWND hwnd, HFONT font) {
  RichState* state = RichOf(hwnd);
  LOGFONTA lf{};
  if (!state || !font || !GetObjectA(font, sizeof lf, &lf)) return;
  rich::CharFormat& f = state->Default();
  f.face.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  // In 64 bits: any height a font may have, the most negative too, has a
  // size in twips there.
  const long long pixels = std::llabs(lf.lfHeight);
  if (pixels > 0) f.height = static_cast<LONG>(std::clamp<long long>(pixels * 1440 / 96, 20, 1638 * 20));
  f.effects = (f.effects & CFE_PROTECTED) | (lf.lfWeight >= 600 ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0) |
              (lf.lfUnderline ? CFE_UNDERLINE : 0) | (lf.lfStrikeOut ? CFE_STRIKEOUT : 0);
  state->Touched();
  if (state->Length() == 0) state->Reset({});
}

LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      const LRESULT r = Engine(hwnd, msg, wParam, lParam);
      if (RichState* state = RichOf(hwnd)) {
        // The alignment style is the paragraphs' first alignment.
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
        const DWORD align = style & (ES_CENTER | ES_RIGHT);
        state->DefaultPara().alignment = align == ES_CENTER ? PFA_CENTER : (align & ES_RIGHT) ? PFA_RIGHT : PFA_LEFT;
        state->selectionBar = (style & ES_SELECTIONBAR) != 0;
        state->barWanted[SB_HORZ] = (style & WS_HSCROLL) != 0;
        state->barWanted[SB_VERT] = (style & WS_VSCROLL) != 0;
        state->Reset(detail::EditTextOf(hwnd));
        detail::FormatsChanged(hwnd);
      }
      return r;
    }
    case WM_DESTROY:
      SaveClipboard(hwnd);
      return Engine(hwnd, msg, wParam, lParam);
    case EM_EXSETSEL: {
      const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
      if (!range) return 0;
      Engine(hwnd, EM_SETSEL, static_cast<WPARAM>(range->cpMin), range->cpMax);
      int a, b;
      Selection(hwnd, a, b);
      return b;
    }
    case EM_EXGETSEL: {
      auto* range = reinterpret_cast<CHARRANGE*>(lParam);
      if (!range) return 0;
      int a, b;
      Selection(hwnd, a, b);
      range->cpMin = a;
      range->cpMax = b;
      return 0;
    }
    case EM_LIMITTEXT:  // the rich edit's limit: 0 means as much as it can hold
      return Engine(hwnd, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(static_cast<int>(wParam)));
    case EM_EXLINEFROMCHAR: return Engine(hwnd, EM_LINEFROMCHAR, static_cast<WPARAM>(lParam), 0);
    case EM_SETCHARFORMAT: return SetCharFormat(hwnd, wParam, reinterpret_cast<const CHARFORMATA*>(lParam));
    case EM_GETCHARFORMAT: return GetCharFormat(hwnd, wParam, reinterpret_cast<CHARFORMATA*>(lParam));
    case EM_SETPARAFORMAT: return SetParaFormat(hwnd, reinterpret_cast<const PARAFORMAT*>(lParam));
    case EM_GETPARAFORMAT: return GetParaFormat(hwnd, reinterpret_cast<PARAFORMAT*>(lParam));
    case EM_GETTEXTLENGTHEX: return rich::GetTextLengthEx(hwnd, reinterpret_cast<const GETTEXTLENGTHEX*>(wParam));
    case EM_GETTEXTEX:
      return rich::GetTextEx(hwnd, reinterpret_cast<const GETTEXTEX*>(wParam), reinterpret_cast<char*>(lParam));
    case EM_SETTEXTMODE: return SetTextMode(hwnd, wParam);
    case EM_GETTEXTMODE: {
      RichState* state = RichOf(hwnd);
      return state ? static_cast<LRESULT>(state->textMode) : 0;
    }
    case EM_SETBKGNDCOLOR: return static_cast<LRESULT>(SetBackground(hwnd, wParam, lParam));
    case EM_SHOWSCROLLBAR: ShowBar(hwnd, wParam, lParam != 0); return 0;
    case EM_STREAMIN: return rich::StreamIn(hwnd, wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case EM_STREAMOUT: return rich::StreamOut(hwnd, wParam, reinterpret_cast<EDITSTREAM*>(lParam));
    case EM_FORMATRANGE: return rich::FormatRange(hwnd, wParam != 0, reinterpret_cast<FORMATRANGE*>(lParam));
    case EM_FINDTEXTEX: return rich::FindText(hwnd, wParam, reinterpret_cast<FINDTEXTEXA*>(lParam));
    case WM_UNDO:
    case EM_UNDO: return Undo(hwnd, false);
    case EM_REDO: return Undo(hwnd, true);
    // A read-only control undoes nothing, so it offers nothing to undo.
    case EM_CANUNDO: {
      RichState* state = RichOf(hwnd);
      return state && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_READONLY) && state->CanUndo() ? TRUE : FALSE;
    }
    case EM_CANREDO: {
      RichState* state = RichOf(hwnd);
      return state && !(GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_READONLY) && state->CanRedo() ? TRUE : FALSE;
    }
    case EM_EMPTYUNDOBUFFER:
      if (RichState* state = RichOf(hwnd)) state->ClearHistory();
      return 0;
    case WM_CHAR:
      if (wParam == 26) return Undo(hwnd, false), 0;  // Ctrl+Z
      break;
    case EM_CANPASTE: return CanPaste(hwnd, wParam);
    case EM_SETEVENTMASK: {
      RichState* state = RichOf(hwnd);
      if (!state) return 0;
      const DWORD previous = state->eventMask;
      state->eventMask = static_cast<DWORD>(lParam);
      // The size asked for is told when it changes from now on.
      if (state->eventMask & ENM_REQUESTRESIZE) state->requestedHeight = ContentHeight(hwnd, *state);
      return static_cast<LRESULT>(previous);
    }
    case EM_GETEVENTMASK: {
      RichState* state = RichOf(hwnd);
      return state ? static_cast<LRESULT>(state->eventMask) : 0;
    }
    case WM_SETFONT: {
      TakeFont(hwnd, reinterpret_cast<HFONT>(wParam));
      const LRESULT r = Engine(hwnd, msg, wParam, lParam);
      detail::FormatsChanged(hwnd);
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (InSelectionBar(hwnd, GET_X_LPARAM(lParam))) {
        SelectLineAt(hwnd, wParam, GET_Y_LPARAM(lParam));
        return 0;
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        if (InSelectionBar(hwnd, p.X)) {
          SetCursor(LoadCursorA(nullptr, IDC_ARROW));
          return TRUE;
        }
      }
      break;
    default: break;
  }
  return Engine(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace detail {

LRESULT RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(style | ES_MULTILINE));
    const LRESULT r = Engine(hwnd, msg, wParam, lParam);
    if (RichState* state = RichOf(hwnd)) state->Attach(hwnd);
    return r;
  }
  // The state stays valid to the end even when a parent destroys the
  // window from a notification.
  EditHold hold(hwnd);
  RichState* state = rich::AsRich(hold.Formats());
  if (!state) return Engine(hwnd, msg, wParam, lParam);
  if (IsKeyMessage(msg) && (state->eventMask & ENM_KEYEVENTS)) {
    // The parent sees the key first and may stop or change it.
    MSGFILTER filter{};
    filter.msg = msg;
    filter.wParam = wParam;
    filter.lParam = lParam;
    if (rich::NotifyParent(hwnd, EN_MSGFILTER, filter.nmhdr) != 0 || !IsWindow(hwnd)) return 0;
    msg = filter.msg;
    wParam = filter.wParam;
    lParam = filter.lParam;
  }
  const bool outermost = state->depth == 0;
  int from = 0, to = 0;
  if (outermost) hold.Selection(from, to);
  const UINT outerMessage = state->message;
  const WPARAM outerW = state->messageW;
  const LPARAM outerL = state->messageL;
  state->message = msg;
  state->messageW = wParam;
  state->messageL = lParam;
  ++state->depth;
  const LRESULT r = Handle(hwnd, msg, wParam, lParam);
  --state->depth;
  state->message = outerMessage;
  state->messageW = outerW;
  state->messageL = outerL;
  if (outermost && IsWindow(hwnd)) AfterMessage(hwnd, hold, from, to);
  return r;
}

std::vector<RichRun> RichRunsOf(HWND hwnd) {
  const RichState* state = RichOf(hwnd);
  if (!state) return {};
  return state->Runs(EditTextOf(hwnd));
}

}  // namespace detail

void RegisterRichEditModules() {
  auto classes = [](LPCSTR module, LPCSTR withA, LPCSTR bare) {
    SetModuleLoadAction(module, [module, withA, bare] {
      for (LPCSTR name : {withA, bare}) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
        wc.lpfnWndProc = &detail::RichEditProc;
        wc.cbWndExtra = sizeof(void*);
        wc.hInstance = GetModuleHandleA(module);
        wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
      }
    });
  };
  classes("Msftedit", "RICHEDIT50A", "RICHEDIT50");
  classes("Riched20", "RICHEDIT20A", "RICHEDIT20");
}

}  // namespace win
