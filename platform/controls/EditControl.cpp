#include "platform/controls/EditControl.h"
#include "platform/controls/WindowState.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Numbers.h"
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
#include "platform/win/ScrollBars.h"
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

// One line as laid out: characters [start, end) are shown, the next line
// starts at next (after the CR LF of a hard break, or at end where the
// text wraps). pos[k] is the x of boundary start + k from the line's left.
struct LineBox {
  int start = 0;
  int end = 0;
  int next = 0;
  std::vector<int> pos;
  // Where the line's text starts from the area's left edge, the width it
  // may take there, and how it is aligned in that width.
  int indent = 0;
  int avail = 0;
  detail::EditFormats::Align align = detail::EditFormats::Align::Style;
  bool bullet = false;  // the first line of a bulleted paragraph
  int bulletX = 0;
  bool justified = false;  // pos stretched to avail: drawn character by character
  int Width() const { return pos.back(); }
};

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
  bool redraw = true;      // WM_SETREDRAW
  struct {
    bool valid = false;
    std::string text;
    int anchor = 0;
    int caret = 0;
  } undo;
  int depth = 0;
  bool dead = false;
  // Multi-line only.
  int top = 0;       // the first line in view
  int xScroll = 0;   // pixels scrolled off to the left
  int goalX = -1;    // the x Up and Down keep, while they repeat
  // Where a word is cut at the edge, the end of the upper line and the
  // start of the lower one are the same boundary: the caret shows at the
  // upper line's end when End, a click past that end or Up and Down took
  // it there, and at the lower line's start otherwise.
  bool atLineEnd = false;
  bool layoutValid = false;
  struct {
    bool pending = false;
    int at = 0, removed = 0, inserted = 0;
  } edit;  // an edit the lines do not show yet
  std::vector<LineBox> lines;
  int widest = 0;  // of the lines, indent included
  int lineHeight = 0;
  std::unique_ptr<detail::EditFormats> formats;
  HBRUSH ownBrush = nullptr;  // the formats' own background
  COLORREF ownBrushColour = 0;
  ~EditState() {
    if (ownBrush) DeleteObject(ownBrush);
  }
};

EditState* StateOf(HWND hwnd) { return reinterpret_cast<EditState*>(GetWindowLongPtrA(hwnd, 0)); }

// The DC every edit measures its text on, made once for the process: an
// edit measures after each typed character, and a DC made and freed each
// time cost more than the measuring. Whoever selects a font into it puts
// the one before back. Freed when the program ends.
HDC MeasuringDC() {
  static const HDC dc = [] {
    std::atexit([] { DeleteDC(MeasuringDC()); });
    return CreateCompatibleDC(nullptr);
  }();
  return dc;
}

// The states alive, so a window's first extra bytes are taken for one only
// when they are one.
std::unordered_set<const EditState*>& LiveStates() {
  static std::unordered_set<const EditState*> states;
  return states;
}

void Release(EditState* state) {
  LiveStates().erase(state);
  delete state;
}

bool IsDelimiter(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Lone CRs and LFs become CR LF, the one line break the buffer knows.
std::string WithLineBreaks(const std::string& in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

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
    HDC dc = MeasuringDC();
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
    return m;
  }
  Measure Measured() const { return Measured(Display()); }

  // ---- Lines ----

  bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
  // A multi-line control wraps unless it scrolls sideways.
  bool Wraps() const { return Multi() && !(Style() & ES_AUTOHSCROLL) && !HasBar(SB_HORZ); }

  std::vector<detail::EditFormats::Span> Spans(int from, int to) const {
    if (s_.formats) return s_.formats->Spans(from, to);
    return {{to, s_.font, 0, true}};
  }

  // Calls piece(from, to, tab) for the runs of [from, to) in one span
  // without a tab, and for each tab alone.
  template <class F>
  void Pieces(int from, int to, F&& piece) const {
    int at = from;
    for (const auto& span : Spans(from, to)) {
      const int end = std::min(span.end, to);
      while (at < end) {
        const bool tab = s_.text[static_cast<std::size_t>(at)] == '\t';
        int stop = at + 1;
        while (!tab && stop < end && s_.text[static_cast<std::size_t>(stop)] != '\t') ++stop;
        piece(at, stop, tab, span);
        at = stop;
      }
    }
  }

  // The x of every boundary of [from, to), counted from from. A tab
  // reaches the paragraph's next stop (stops count from origin, where
  // from is drawn), past them every eight average characters.
  std::vector<int> MeasureRange(int from, int to, const std::vector<int>& tabs = {}, int origin = 0) const {
    std::vector<int> pos(static_cast<std::size_t>(to - from) + 1, 0);
    if (from == to) return pos;
    HDC dc = MeasuringDC();
    int stops = 0;  // measured at the first tab: most text has none
    Pieces(from, to, [&](int a, int b, bool tab, const detail::EditFormats::Span& span) {
      int* out = pos.data() + (a - from);
      if (tab) {
        const int x = out[0] + origin;
        if (!stops) stops = 8 * AverageCharWidth();
        auto stop = std::upper_bound(tabs.begin(), tabs.end(), x);
        out[1] = (stop != tabs.end() ? *stop : (x / stops + 1) * stops) - origin;
        return;
      }
      HGDIOBJ old = span.font ? SelectObject(dc, ToObj(span.font)) : nullptr;
      SIZE size{};
      GetTextExtentExPointA(dc, s_.text.data() + a, b - a, 0, nullptr, out + 1, &size);
      for (int k = 1; k <= b - a; ++k) out[k] += out[0];
      if (old) SelectObject(dc, old);
    });
    return pos;
  }

  void Relayout() {
    s_.layoutValid = false;
    s_.edit.pending = false;
  }

  // An edit of the text: the lines after the paragraphs it touched only
  // move, so they are kept (a log that grows at its end lays out only its
  // last line). A second edit before the lines are read lays out all.
  void NoteEdit(int at, int removed, int inserted) {
    if (!Multi() || !s_.layoutValid || s_.edit.pending) return Relayout();
    s_.edit = {true, at, removed, inserted};
  }

  // Lays out the paragraph starting at p into out; next is where the one
  // after it starts. False for the last paragraph.
  bool LayParagraph(int p, std::vector<LineBox>& out, int& next) const {
    const std::string& t = s_.text;
    const int len = Length();
    int left, right;
    Area(left, right);
    const detail::EditFormats::Paragraph para =
        s_.formats ? s_.formats->ParagraphAt(p) : detail::EditFormats::Paragraph{};
    const std::size_t brk = t.find("\r\n", static_cast<std::size_t>(p));
    const int end = brk == std::string::npos ? len : static_cast<int>(brk);
    next = brk == std::string::npos ? len : end + 2;
    const std::vector<int> pos = MeasureRange(p, end, para.tabs, para.firstIndent);
    auto at = [&](int i) { return pos[static_cast<std::size_t>(i - p)]; };
    // The width a line may take: indents narrow it, never below a pixel.
    auto room = [&](int indent) { return std::max(1, right - left - indent - para.rightIndent); };
    auto add = [&](int a, int b, int n) {
      const bool first = a == p;
      LineBox line{a, b, n, {}};
      line.indent = first ? para.firstIndent : para.indent;
      line.avail = room(line.indent);
      line.align = para.align;
      line.bullet = first && para.bullet;
      line.bulletX = para.bulletX;
      line.pos.reserve(static_cast<std::size_t>(b - a) + 1);
      for (int k = a; k <= b; ++k) line.pos.push_back(at(k) - at(a));
      if (para.align == detail::EditFormats::Align::Justify && b < end)
        line.justified = detail::JustifyLine(
            std::string_view(t).substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)), line.pos,
            line.avail);
      out.push_back(std::move(line));
    };
    if (!Wraps()) {
      add(p, end, next);
    } else {
      const std::string_view text =
          std::string_view(t).substr(static_cast<std::size_t>(p), static_cast<std::size_t>(end - p));
      const std::vector<int> ends = detail::WrapParagraph(text, pos, room(para.firstIndent), room(para.indent));
      int a = p;
      for (int e : ends) {
        const int b = p + e;
        add(a, b, b < end ? b : next);
        a = b;
      }
    }
    return brk != std::string::npos;
  }

  static int LineIndexIn(const std::vector<LineBox>& lines, int i) {
    auto it = std::upper_bound(lines.begin(), lines.end(), i, [](int v, const LineBox& l) { return v < l.start; });
    return std::max(0, static_cast<int>(it - lines.begin()) - 1);
  }

  // Lays out again the paragraphs the pending edit touched, from the
  // start of the first until a paragraph start the edit did not move past;
  // the lines around them stay where they are in the list, so an edit
  // near the end costs what its own lines cost.
  void PatchLines() {
    auto& old = s_.lines;
    const int size = static_cast<int>(old.size());
    const auto edit = s_.edit;
    const int delta = edit.inserted - edit.removed;
    auto soft = [&](int k) { return k + 1 < size && old[k].next == old[k].end; };
    int a = LineIndexIn(old, edit.at);
    while (a > 0 && soft(a - 1)) --a;
    std::vector<LineBox> fresh;
    int p = old[static_cast<std::size_t>(a)].start;
    int k = a;
    for (;;) {
      int next = 0;
      if (!LayParagraph(p, fresh, next)) {
        k = size;
        break;
      }
      p = next;
      if (p < edit.at + edit.inserted) continue;
      while (k < size && old[static_cast<std::size_t>(k)].start + delta < p) ++k;
      if (k < size && old[static_cast<std::size_t>(k)].start + delta == p && (k == 0 || !soft(k - 1))) break;
    }
    for (int i = k; i < size; ++i) {
      LineBox& l = old[static_cast<std::size_t>(i)];
      l.start += delta;
      l.end += delta;
      l.next += delta;
    }
    // The widest line is looked for again only when it was among those
    // laid out again and none laid out in their place is as wide: a line
    // added to a log of lines alike in width walks no other line.
    bool widestGone = false;
    for (int i = a; i < k; ++i) widestGone = widestGone || Extent(old[static_cast<std::size_t>(i)]) >= s_.widest;
    int freshWidest = 0;
    for (const LineBox& l : fresh) freshWidest = std::max(freshWidest, Extent(l));
    old.erase(old.begin() + a, old.begin() + k);
    old.insert(old.begin() + a, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    if (widestGone && freshWidest < s_.widest) FindWidest();
    else s_.widest = std::max(s_.widest, freshWidest);
  }

  static int Extent(const LineBox& l) { return l.indent + l.Width(); }
  void FindWidest() {
    s_.widest = 0;
    for (const LineBox& l : s_.lines) s_.widest = std::max(s_.widest, Extent(l));
  }

  // The text in lines, laid out again only after a change.
  const std::vector<LineBox>& Lines() {
    if (s_.layoutValid && !s_.edit.pending) return s_.lines;
    // Formats may bring a taller font with any edit; a plain edit's line
    // height changes with its font alone, which lays everything out again.
    if (s_.formats) s_.lineHeight = std::max(1, s_.formats->LineHeight());
    else if (!s_.layoutValid) s_.lineHeight = std::max(1, Measured(std::string()).lineHeight);
    if (s_.layoutValid) {
      PatchLines();
      s_.edit.pending = false;
      return s_.lines;
    }
    s_.edit.pending = false;
    s_.lines.clear();
    const int len = Length();
    if (!Multi()) {
      s_.lines.push_back({0, len, len, Measured().pos});
    } else {
      int p = 0, next = 0;
      while (LayParagraph(p, s_.lines, next)) p = next;
    }
    FindWidest();
    s_.layoutValid = true;
    return s_.lines;
  }

  int LineCount() { return static_cast<int>(Lines().size()); }

  // The line holding boundary i; a boundary where the text wraps belongs
  // to the line it starts.
  int LineOf(int i) {
    const auto& lines = Lines();
    auto it = std::upper_bound(lines.begin(), lines.end(), i, [](int v, const LineBox& l) { return v < l.start; });
    return std::max(0, static_cast<int>(it - lines.begin()) - 1);
  }

  int VisibleLines() {
    Lines();
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return std::max(1, static_cast<int>(rc.Bottom) / s_.lineHeight);
  }
  int MaxTop() { return std::max(0, LineCount() - VisibleLines()); }

  int Widest() {
    Lines();
    return s_.widest;
  }
  // How far the view may scroll sideways: far enough to show the caret
  // after the widest line.
  int MaxXScroll() {
    if (Wraps()) return 0;
    int left, right;
    Area(left, right);
    return std::max(0, Widest() + 1 - (right - left));
  }

  // The client x of a line's first character: lines narrower than the
  // area are aligned as the style says.
  int LineLeft(const LineBox& l) const {
    int left, right;
    Area(left, right);
    int x = left - s_.xScroll + l.indent;
    const int room = (s_.formats ? l.avail : right - left) - l.Width();
    if (room > 0) {
      using Align = detail::EditFormats::Align;
      Align align = l.align;
      if (align == Align::Style) {
        const DWORD style = Style() & (ES_CENTER | ES_RIGHT);
        align = style == ES_CENTER ? Align::Center : (style & ES_RIGHT) ? Align::Right : Align::Left;
      }
      if (align == Align::Center) x += room / 2;
      else if (align == Align::Right) x += room;
    }
    return x;
  }

  POINT PointOnLine(int n, int i) {
    const LineBox& l = Lines()[static_cast<std::size_t>(n)];
    const int k = std::clamp(i, l.start, l.end) - l.start;
    return {LineLeft(l) + l.pos[static_cast<std::size_t>(k)], (n - s_.top) * s_.lineHeight};
  }
  POINT CharPoint(int i) { return PointOnLine(LineOf(i), i); }
  POINT CaretPoint() { return PointOnLine(CaretLine(), s_.caret); }

  // A line that wraps inside a word: nothing hangs past its edge.
  bool CutInWord(const LineBox& l) const {
    return l.end == l.next && l.end < Length() && l.end > l.start &&
           !IsBlank(s_.text[static_cast<std::size_t>(l.end - 1)]);
  }

  int CaretLine() {
    const int n = LineOf(s_.caret);
    if (!s_.atLineEnd || n == 0) return n;
    const LineBox& above = Lines()[static_cast<std::size_t>(n - 1)];
    return above.end == s_.caret && CutInWord(above) ? n - 1 : n;
  }

  // The last boundary the caret may take on a line: after a word cut at
  // the edge (the caret then shows on this line), before the blanks that
  // hang past the edge where the text wraps at them, so the caret stays
  // in the area and on that line.
  int LineEndForCaret(const LineBox& l) const {
    if (l.end != l.next || l.end >= Length() || CutInWord(l)) return l.end;
    int e = l.end;
    while (e > l.start && IsBlank(s_.text[static_cast<std::size_t>(e - 1)])) --e;
    return e;
  }

  // A boundary the caret may take, and whether it shows at the end of the
  // line before it (atLineEnd).
  struct Spot {
    int at = 0;
    bool lineEnd = false;
  };

  Spot BoundaryInLine(const LineBox& l, int x) const {
    const int x0 = LineLeft(l);
    const auto& pos = l.pos;
    const int last = LineEndForCaret(l);
    for (int k = l.start; k < last; ++k) {
      const auto i = static_cast<std::size_t>(k - l.start);
      if (x < x0 + pos[i] + (pos[i + 1] - pos[i] + 1) / 2) return {k};
    }
    return {last, CutInWord(l)};
  }

  // The spot nearest a client point, and the line it shows on.
  Spot SpotAtPoint(int x, int y, int* line = nullptr) {
    const int row = y < 0 ? -1 - (-1 - y) / s_.lineHeight : y / s_.lineHeight;
    const int n = std::clamp(s_.top + row, 0, LineCount() - 1);
    if (line) *line = n;
    return BoundaryInLine(Lines()[static_cast<std::size_t>(n)], x);
  }

  // Brings the caret's line and column into view.
  void ScrollToCaretLines() {
    const int n = CaretLine();
    const int visible = VisibleLines();
    s_.top = std::clamp(s_.top, 0, MaxTop());
    if (n < s_.top) s_.top = n;
    else if (n >= s_.top + visible) s_.top = n - visible + 1;
    s_.xScroll = std::clamp(s_.xScroll, 0, MaxXScroll());
    if (Wraps()) return;
    int left, right;
    Area(left, right);
    const int x = CaretPoint().X + s_.xScroll - left;  // from the text's left edge
    if (x < s_.xScroll) s_.xScroll = x;
    else if (x >= s_.xScroll + (right - left)) s_.xScroll = x - (right - left) + 1;
  }

  // The standard bars show the lines and the widest line; they stay
  // shown, disabled while everything fits.
  // Does the window have a bar (SB_HORZ, SB_VERT)? A bar that hides
  // while everything fits is had all the same.
  bool HasBar(int bar) const {
    using Rule = detail::EditFormats::BarRule;
    const Rule rule = s_.formats ? s_.formats->BarRuleOf(bar) : Rule::Style;
    if (rule == Rule::Hidden) return false;
    return rule == Rule::Auto || (Style() & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
  }

  // The standard bars show the lines and the widest line; they stay
  // shown, disabled while everything fits, unless the formats let them
  // hide.
  void UpdateBars() {
    auto mask = [&](int bar) {
      const bool hides = s_.formats && s_.formats->BarRuleOf(bar) == detail::EditFormats::BarRule::Auto;
      return static_cast<UINT>(SIF_RANGE | SIF_PAGE | SIF_POS | (hides ? 0 : SIF_DISABLENOSCROLL));
    };
    if (HasBar(SB_VERT)) {
      SCROLLINFO si;
      si.fMask = mask(SB_VERT);
      si.nMax = LineCount() - 1;
      si.nPage = static_cast<UINT>(VisibleLines());
      si.nPos = s_.top;
      SetScrollInfo(hwnd_, SB_VERT, &si, s_.redraw);
    }
    if (HasBar(SB_HORZ) && IsWindow(hwnd_) && !s_.dead) {
      int left, right;
      Area(left, right);
      SCROLLINFO si;
      si.fMask = mask(SB_HORZ);
      si.nMax = Widest();
      si.nPage = static_cast<UINT>(right - left);
      si.nPos = s_.xScroll;
      SetScrollInfo(hwnd_, SB_HORZ, &si, s_.redraw);
    }
  }

  // The view moved without following the caret.
  void Scrolled() {
    if (s_.focused) {
      const POINT p = CaretPoint();
      SetCaretPos(p.X, p.Y);
    }
    Invalidate();
    UpdateBars();
  }

  // Moves the view; the parent hears which way it went.
  void ScrollTo(int top, int xScroll) {
    top = std::clamp(top, 0, MaxTop());
    xScroll = std::clamp(xScroll, 0, MaxXScroll());
    const bool vertical = top != s_.top, horizontal = xScroll != s_.xScroll;
    if (!vertical && !horizontal) return;
    s_.top = top;
    s_.xScroll = xScroll;
    Scrolled();
    if (vertical) Notify(EN_VSCROLL);
    if (horizontal && IsWindow(hwnd_) && !s_.dead) Notify(EN_HSCROLL);
  }

  int AverageCharWidth() const {
    HDC dc = MeasuringDC();
    HGDIOBJ old = s_.font ? SelectObject(dc, ToObj(s_.font)) : nullptr;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    if (old) SelectObject(dc, old);
    return std::max(1, static_cast<int>(tm.tmAveCharWidth));
  }

  void VScroll(int code, int thumb) {
    const int page = VisibleLines();
    int top = s_.top;
    switch (code) {
      case SB_LINEUP: --top; break;
      case SB_LINEDOWN: ++top; break;
      case SB_PAGEUP: top -= page; break;
      case SB_PAGEDOWN: top += page; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: top = thumb; break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = MaxTop(); break;
      default: return;
    }
    ScrollTo(top, s_.xScroll);
  }

  void HScroll(int code, int thumb) {
    int left, right;
    Area(left, right);
    int x = s_.xScroll;
    switch (code) {
      case SB_LINELEFT: x -= AverageCharWidth(); break;
      case SB_LINERIGHT: x += AverageCharWidth(); break;
      case SB_PAGELEFT: x -= right - left; break;
      case SB_PAGERIGHT: x += right - left; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: x = thumb; break;
      case SB_LEFT: x = 0; break;
      case SB_RIGHT: x = MaxXScroll(); break;
      default: return;
    }
    ScrollTo(s_.top, x);
  }

  // EM_SCROLL: lines and pages only; answers how many lines went by.
  LRESULT ScrollMessage(int code) {
    if (!Multi() || code < SB_LINEUP || code > SB_PAGEDOWN) return FALSE;
    const int before = s_.top;
    VScroll(code, 0);
    return MAKELRESULT(static_cast<WORD>(s_.top - before), TRUE);
  }

  // The unselected characters on the lines the selection touches, or the
  // caret's line when nothing is selected.
  int LineLength(int i) {
    const auto& lines = Lines();
    if (i == -1) {
      const int a = SelStart(), b = SelEnd();
      const LineBox& la = lines[static_cast<std::size_t>(a == b ? CaretLine() : LineOf(a))];
      if (a == b) return la.end - la.start;
      const LineBox& lb = lines[static_cast<std::size_t>(LineOf(b))];
      return std::max(0, a - la.start) + std::max(0, lb.end - b);
    }
    if (i < 0 || i > Length()) return 0;
    const LineBox& l = lines[static_cast<std::size_t>(LineOf(i))];
    return l.end - l.start;
  }

  // EM_GETLINE: the buffer's first word holds its size; no NUL is added.
  LRESULT CopyLine(int n, char* buffer) {
    if (!buffer || n < 0 || n >= LineCount()) return 0;
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof size);
    const LineBox& l = Lines()[static_cast<std::size_t>(n)];
    const int count = std::min<int>(size, l.end - l.start);
    std::memcpy(buffer, s_.text.data() + l.start, static_cast<std::size_t>(count));
    return count;
  }

  // A boundary never falls between the CR and the LF of a line break.
  int Snapped(int i) const {
    const std::string& t = s_.text;
    if (Multi() && i > 0 && i < Length() && t[static_cast<std::size_t>(i - 1)] == '\r' &&
        t[static_cast<std::size_t>(i)] == '\n')
      return i - 1;
    return i;
  }
  // One step left or right, a line break being one step.
  int StepLeft(int i) const { return Snapped(std::max(0, i - 1)); }
  int StepRight(int i) const {
    const std::string& t = s_.text;
    if (i >= Length()) return Length();
    if (Multi() && t[static_cast<std::size_t>(i)] == '\r' && i + 1 < Length() &&
        t[static_cast<std::size_t>(i + 1)] == '\n')
      return i + 2;
    return i + 1;
  }

  void MoveByLines(int delta, bool extend, bool page) {
    const int n = CaretLine();
    const int target = std::clamp(n + delta, 0, LineCount() - 1);
    if (target == n) return;
    const int goal = s_.goalX >= 0 ? s_.goalX : CaretPoint().X;
    if (page) s_.top = std::clamp(s_.top + (target - n), 0, MaxTop());
    const Spot to = BoundaryInLine(Lines()[static_cast<std::size_t>(target)], goal);
    SetSel(extend ? s_.anchor : to.at, to.at, to.lineEnd);
    s_.goalX = goal;
  }

  // The text area between the margins, in client coordinates.
  void Area(int& left, int& right) const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    left = s_.leftMargin + (s_.formats ? s_.formats->LeadingGap() : 0);
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

  int CaretHeight() {
    if (Multi()) {
      Lines();
      return s_.lineHeight;
    }
    return Measured().lineHeight;
  }

  // The caret takes the height of the lines as they are now.
  void RemakeCaret() {
    if (!s_.focused) return;
    DestroyCaret();
    CreateCaret(hwnd_, nullptr, 1, CaretHeight());
    ShowCaret(hwnd_);
  }

  void PlaceCaret(const Measure& m) {
    if (s_.focused) SetCaretPos(Origin(m) + m.pos[static_cast<std::size_t>(s_.caret)], 0);
  }

  // The text is drawn again at the next paint, unless redrawing is off.
  void Invalidate() {
    if (s_.redraw) InvalidateRect(hwnd_, nullptr, FALSE);
  }

  // After any change of text, selection, scrolling or geometry.
  void Refresh() {
    if (Multi()) {
      ScrollToCaretLines();
      Scrolled();
      return;
    }
    const Measure m = Measured();
    ScrollToCaret(m);
    PlaceCaret(m);
    Invalidate();
  }

  // After a selection set to what it was: nothing drawn changes unless
  // bringing the caret into view moves the view (a log sets its caret to
  // the end before and after every line it adds).
  void FollowCaret() {
    if (!s_.layoutValid || s_.edit.pending) return Refresh();
    if (Multi()) {
      const int top = s_.top, xScroll = s_.xScroll;
      ScrollToCaretLines();
      if (top != s_.top || xScroll != s_.xScroll) Scrolled();
      return;
    }
    const int first = s_.first;
    const Measure m = Measured();
    ScrollToCaret(m);
    if (first == s_.first) return;
    PlaceCaret(m);
    Invalidate();
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

  void SetSel(int anchor, int caret, bool atLineEnd = false) {
    const int len = Length();
    const int oldAnchor = s_.anchor, oldCaret = s_.caret;
    const bool oldAtLineEnd = s_.atLineEnd;
    s_.anchor = Snapped(std::clamp(anchor, 0, len));
    s_.caret = Snapped(std::clamp(caret, 0, len));
    s_.atLineEnd = atLineEnd;
    s_.typingRun = false;
    s_.goalX = -1;
    if (s_.formats) s_.formats->SelectionSet(s_.anchor, s_.caret);
    if (s_.anchor == oldAnchor && s_.caret == oldCaret && s_.atLineEnd == oldAtLineEnd)
      FollowCaret();
    else
      Refresh();
  }

  // EM_SETSEL: -1 as the start keeps the caret and drops the selection;
  // any other negative or too large position means the end.
  void SetSelMessage(WPARAM wParam, LPARAM lParam) {
    int start = static_cast<int>(wParam);
    int end = static_cast<int>(lParam);
    const int len = Length();
    // Dropping the selection keeps the caret where it shows, also at the
    // end of a line cut inside a word.
    if (start == -1) return SetSel(s_.caret, s_.caret, s_.atLineEnd);
    if (start < 0 || start > len) start = len;
    if (end < 0 || end > len) end = len;
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
  void SelectWordAt(int x, int y) {
    const int len = Length();
    if (len == 0) return;
    int c = 0;
    if (Multi()) {
      const int row = std::max(0, y) / s_.lineHeight;
      const LineBox& l = Lines()[static_cast<std::size_t>(std::clamp(s_.top + row, 0, LineCount() - 1))];
      // An empty line has nothing to select: the caret goes to it.
      if (l.start == l.end) return SetSel(l.start, l.start);
      const int x0 = LineLeft(l);
      c = l.start;
      while (c + 1 < l.end && x >= x0 + l.pos[static_cast<std::size_t>(c + 1 - l.start)]) ++c;
      c = std::min(c, len - 1);
    } else {
      const Measure m = Measured();
      const int x0 = Origin(m);
      while (c < len - 1 && x >= x0 + m.pos[static_cast<std::size_t>(c + 1)]) ++c;
    }
    const std::string& t = s_.text;
    // In lines, a line break ends the word and the blanks: what a double
    // click selects stays on the line it was made on, so typing over it
    // never joins that line to the next.
    auto isBreak = [&](int i) {
      const char ch = t[static_cast<std::size_t>(i)];
      return Multi() && (ch == '\r' || ch == '\n');
    };
    auto isBlank = [&](int i) { return IsDelimiter(t[static_cast<std::size_t>(i)]) && !isBreak(i); };
    const bool blank = isBlank(c);
    int start = c, end = c;
    while (start > 0 && !isBreak(start - 1) && isBlank(start - 1) == blank) --start;
    if (!blank)
      while (end < len && !IsDelimiter(t[static_cast<std::size_t>(end)])) ++end;
    while (end < len && isBlank(end)) ++end;
    SetSel(start, end);
  }

  // ---- Changing the text ----

  // The clipboard keys reach the clipboard through the edit's own
  // messages, so that whoever subclasses the edit sees every copy, cut and
  // paste, typed or asked for.
  void Self(UINT message) { SendMessageA(hwnd_, message, 0, 0); }

  void Notify(int code) {
    HWND parent = GetParent(hwnd_);
    if (!parent || (s_.formats && !s_.formats->Notifies(code))) return;
    const auto id = static_cast<int>(GetWindowLongPtrA(hwnd_, GWLP_ID));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code), reinterpret_cast<LPARAM>(hwnd_));
  }

  // The window's own text follows ours: whole after a reset, by the
  // change after an edit (ReplaceRaw).
  void TextReset() { DefWindowProcA(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s_.text.c_str())); }

  void TextChanged() {
    Refresh();
    Notify(EN_CHANGE);
  }

  // Puts ins in place of [from, to); the caret ends after it, at the end
  // of the line before when atLineEnd asks and the text still breaks there.
  void Replace(int from, int to, const std::string& ins, bool undoable, bool typing, bool atLineEnd = false) {
    using History = detail::EditFormats::History;
    if (s_.formats && !s_.formats->MayReplace(from, to)) return;
    if (s_.formats && s_.formats->KeepsHistory()) {
      s_.undo.valid = false;
    } else if (!undoable) {
      s_.undo.valid = false;
    } else if (!(typing && s_.typingRun && s_.undo.valid)) {
      s_.undo.valid = true;
      s_.undo.text = s_.text;
      s_.undo.anchor = s_.anchor;
      s_.undo.caret = s_.caret;
    }
    const History history = !undoable ? History::Forget : typing ? History::Typing : History::Record;
    ReplaceRaw(from, to, ins, history);
    s_.anchor = s_.caret = from + static_cast<int>(ins.size());
    s_.atLineEnd = atLineEnd;
    TextChanged();
    s_.typingRun = typing;
  }

  // The text and everything kept in step with it take the change.
  void ReplaceRaw(int from, int to, std::string_view ins, detail::EditFormats::History history) {
    const std::string removed = s_.formats ? s_.text.substr(static_cast<std::size_t>(from),
                                                            static_cast<std::size_t>(to - from))
                                           : std::string();
    s_.text.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), ins);
    detail::FollowWindowText(hwnd_, s_.text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                             ins.size());
    s_.modified = true;
    s_.goalX = -1;
    NoteEdit(from, to - from, static_cast<int>(ins.size()));
    if (s_.formats) s_.formats->Replaced({from, removed, ins, history});
  }

  // A change that skips the rules of typing and pasting: the formats'
  // own undo and redo, and streamed text (whose formats may change beyond
  // it: then everything is laid out afresh).
  void ReplaceAsIs(int from, int to, std::string_view ins, detail::EditFormats::History history, int anchor,
                   int caret, bool formatsChanged) {
    if (from < 0 || to < from || to > Length()) return;
    ReplaceRaw(from, to, ins, history);
    if (formatsChanged) {
      Relayout();
      RemakeCaret();
    }
    const int len = Length();
    s_.anchor = Snapped(std::clamp(anchor, 0, len));
    s_.caret = Snapped(std::clamp(caret, 0, len));
    s_.atLineEnd = false;
    s_.typingRun = false;
    if (s_.formats) s_.formats->SelectionSet(s_.anchor, s_.caret);
    TextChanged();
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
    if (Multi()) {
      ins = WithLineBreaks(ins);
    } else if (source != Source::Typed) {
      const auto brk = ins.find_first_of("\r\n");
      if (brk != std::string::npos) ins.resize(brk);
    }
    const DWORD style = Style();
    if (style & ES_UPPERCASE) CharUpperBuffA(ins.data(), static_cast<DWORD>(ins.size()));
    else if (style & ES_LOWERCASE) CharLowerBuffA(ins.data(), static_cast<DWORD>(ins.size()));
    const int from = SelStart(), to = SelEnd();
    const long long room = std::max<long long>(0, static_cast<long long>(s_.limit) - (Length() - (to - from)));
    const std::size_t wanted = ins.size();
    if (static_cast<long long>(ins.size()) > room) {
      ins.resize(static_cast<std::size_t>(room));
      if (Multi() && !ins.empty() && ins.back() == '\r') ins.pop_back();  // a line break stays whole
    }
    if (!ins.empty() && !(style & (ES_AUTOHSCROLL | ES_MULTILINE))) {
      // The longest head of ins that fits, found by halving: a long paste
      // is measured a few times, not once per character.
      auto fitsWith = [&](std::size_t n) {
        std::string trial = s_.text;
        trial.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), ins, 0, n);
        return Fits(trial);
      };
      const std::size_t tooLong =
          orv::BinarySearch(std::size_t{1}, ins.size() + 1, [&](std::size_t n) { return fitsWith(n) ? -1 : 1; })
              .Index;
      ins.resize(tooLong - 1);
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
    const int from = before ? StepLeft(s_.caret) : s_.caret;
    const int to = before ? s_.caret : StepRight(s_.caret);
    // Delete pulls the text after the caret to it: the caret stays put.
    Replace(from, to, std::string(), true, false, !before && s_.atLineEnd);
  }

  // The Delete keys. With a selection Shift+Delete cuts it and Delete
  // (Ctrl held or not) clears it; without one Delete takes the character
  // after the caret, Shift+Delete the one before it (as Backspace does)
  // and Ctrl+Delete the rest of the caret's line. Shift and Ctrl together
  // do nothing.
  void DeleteKey(bool shift, bool ctrl) {
    if ((Style() & ES_READONLY) || (shift && ctrl)) return;
    if (SelStart() != SelEnd()) {
      if (shift) Self(WM_CUT);
      else Clear();
      return;
    }
    if (!ctrl) return DeleteAround(shift);
    const int end = Multi() ? LineEndForCaret(Lines()[static_cast<std::size_t>(CaretLine())]) : Length();
    if (end > s_.caret) Replace(s_.caret, end, std::string(), true, false);
  }

  bool Undo() {
    if (!s_.undo.valid || (Style() & ES_READONLY)) return false;
    if (s_.formats) {
      // The formats follow the part that differs.
      const std::string& a = s_.text;
      const std::string& b = s_.undo.text;
      std::size_t head = 0;
      while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
      std::size_t tail = 0;
      while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
      s_.formats->Replaced({static_cast<int>(head), std::string_view(a).substr(head, a.size() - head - tail),
                            std::string_view(b).substr(head, b.size() - head - tail),
                            detail::EditFormats::History::Keep});
    }
    std::swap(s_.text, s_.undo.text);
    Relayout();
    std::swap(s_.anchor, s_.undo.anchor);
    std::swap(s_.caret, s_.undo.caret);
    s_.atLineEnd = false;
    s_.modified = true;
    s_.typingRun = false;
    TextReset();
    TextChanged();
    return true;
  }

  void SetText(const char* text) {
    s_.text = text ? text : "";
    s_.anchor = s_.caret = s_.first = s_.top = s_.xScroll = 0;
    s_.atLineEnd = false;
    Relayout();
    s_.undo.valid = false;
    if (s_.formats) s_.formats->Reset(s_.text);
    s_.modified = false;
    s_.typingRun = false;
    TextReset();
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

  void MoveCaret(int to, bool extend, bool atLineEnd = false) {
    SetSel(extend ? s_.anchor : to, to, atLineEnd);
  }

  void KeyDown(WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (Multi()) {
      const LineBox& l = Lines()[static_cast<std::size_t>(CaretLine())];
      switch (vk) {
        case VK_LEFT: return MoveCaret(ctrl ? WordLeft(s_.caret) : StepLeft(s_.caret), shift);
        case VK_RIGHT: return MoveCaret(ctrl ? WordRight(s_.caret) : StepRight(s_.caret), shift);
        case VK_UP: return MoveByLines(-1, shift, false);
        case VK_DOWN: return MoveByLines(1, shift, false);
        case VK_PRIOR: return MoveByLines(-VisibleLines(), shift, true);
        case VK_NEXT: return MoveByLines(VisibleLines(), shift, true);
        case VK_HOME: return MoveCaret(ctrl ? 0 : l.start, shift);
        case VK_END:
          if (ctrl) return MoveCaret(Length(), shift);
          return MoveCaret(LineEndForCaret(l), shift, CutInWord(l));
        default: break;
      }
    }
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
      case VK_DELETE: DeleteKey(shift, ctrl); break;
      case VK_INSERT:
        if (shift && !ctrl) Self(WM_PASTE);
        else if (ctrl && !shift) Self(WM_COPY);
        break;
      default: break;
    }
  }

  void Char(unsigned char c) {
    switch (c) {
      case 3: Self(WM_COPY); return;
      case 22: Self(WM_PASTE); return;
      case 24: Self(WM_CUT); return;
      case 26: Undo(); return;
      case 8:
        if (Style() & ES_READONLY) MessageBeep(0);
        else DeleteAround(true);
        return;
      default: break;
    }
    if (Multi() && (c == '\r' || c == '\n' || c == '\t')) {
      // Whoever passed Enter or Tab on wants them in the text. Ctrl+Enter
      // (a line feed) breaks the line too, so a memo that leaves Enter to
      // its dialog still takes line breaks.
      if (Style() & ES_READONLY) MessageBeep(0);
      else ReplaceSelection(c == '\t' ? "\t" : "\r\n", Source::Typed, true);
      return;
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

  void ButtonDown(WPARAM keys, int x, int y) {
    if (GetFocus() != hwnd_) {
      SetFocus(hwnd_);
      if (!IsWindow(hwnd_) || s_.dead) return;
    }
    const Spot at = Multi() ? SpotAtPoint(x, y) : Spot{BoundaryAt(x, Measured())};
    SetSel((keys & MK_SHIFT) ? s_.anchor : at.at, at.at, at.lineEnd);
    s_.tracking = true;
    SetCapture(hwnd_);
    SetTimer(hwnd_, kScrollTimer, kScrollPeriod, nullptr);
  }

  // While the button is held the caret follows the pointer inside the
  // area; outside it the timer scrolls one character at a time.
  void Drag(int x, int y) {
    if (!s_.tracking) return;
    if (Multi()) {
      // Outside the area the caret stops at the edge of what is in view;
      // the timer scrolls on from there.
      int left, right;
      Area(left, right);
      const int bottom = VisibleLines() * s_.lineHeight - 1;
      const Spot at = SpotAtPoint(std::clamp(x, left, right), std::clamp(y, 0, bottom));
      if (at.at != s_.caret || at.lineEnd != s_.atLineEnd) SetSel(s_.anchor, at.at, at.lineEnd);
      return;
    }
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
    if (Multi()) {
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      if (p.Y < 0) MoveByLines(-1, true, false);
      else if (p.Y >= rc.Bottom) MoveByLines(1, true, false);
      else if (p.X < left) SetSel(s_.anchor, StepLeft(s_.caret));
      else if (p.X >= right) SetSel(s_.anchor, StepRight(s_.caret));
      return;
    }
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
    COLORREF own = 0;
    if (s_.formats && s_.formats->Background(own)) {
      // The parent still chooses the text colour; the background is ours.
      if (parent)
        SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_));
      if (!s_.ownBrush || s_.ownBrushColour != own) {
        if (s_.ownBrush) DeleteObject(s_.ownBrush);
        s_.ownBrush = CreateSolidBrush(own);
        s_.ownBrushColour = own;
      }
      return s_.ownBrush;
    }
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
    if (Multi()) {
      PaintLines(dc, rc);
      RestoreDC(dc, saved);
      return;
    }
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

  // Draws [from, to) of a line in its fonts and colours from x0.
  void DrawPiece(HDC dc, const LineBox& l, int from, int to, int x0, int y, COLORREF ownColour, bool plain) {
    Pieces(from, to, [&](int a, int b, bool tab, const detail::EditFormats::Span& span) {
      if (span.highlight && !plain) {
        RECT band{x0 + l.pos[static_cast<std::size_t>(a - l.start)], y,
                  x0 + l.pos[static_cast<std::size_t>(b - l.start)], y + s_.lineHeight};
        HBRUSH brush = CreateSolidBrush(span.back);
        FillRect(dc, &band, brush);
        DeleteObject(brush);
      }
      if (tab) return;
      if (span.font) SelectObject(dc, ToObj(span.font));
      SetTextColor(dc, plain || span.autoColor ? ownColour : span.color);
      const int x = x0 + l.pos[static_cast<std::size_t>(a - l.start)];
      if (!l.justified) {
        TextOutA(dc, x, y, s_.text.data() + a, b - a);
        return;
      }
      // A stretched line puts each character where the layout has it.
      std::vector<int> dx(static_cast<std::size_t>(b - a));
      for (int k = a; k < b; ++k)
        dx[static_cast<std::size_t>(k - a)] =
            l.pos[static_cast<std::size_t>(k + 1 - l.start)] - l.pos[static_cast<std::size_t>(k - l.start)];
      ExtTextOutA(dc, x, y, 0, nullptr, s_.text.data() + a, static_cast<UINT>(b - a), dx.data());
    });
  }

  // The bullet of a paragraph, in the font and colour of its first
  // character.
  void DrawBullet(HDC dc, const LineBox& l, int y, COLORREF ownColour) {
    int left, right;
    Area(left, right);
    const auto spans = Spans(l.start, l.start + 1);
    const auto& span = spans.front();
    if (span.font) SelectObject(dc, ToObj(span.font));
    SetTextColor(dc, span.autoColor ? ownColour : span.color);
    TextOutA(dc, left - s_.xScroll + l.bulletX, y, "\x95", 1);
  }

  void PaintLines(HDC dc, const RECT& rc) {
    const auto& lines = Lines();
    const int lh = s_.lineHeight;
    const COLORREF ownColour = GetTextColor(dc);
    const bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    const int a = SelStart(), b = SelEnd();
    const bool showSel = a < b && (s_.focused || (Style() & ES_NOHIDESEL));
    for (int n = s_.top; n < static_cast<int>(lines.size()) && (n - s_.top) * lh < rc.Bottom; ++n) {
      const LineBox& l = lines[static_cast<std::size_t>(n)];
      const int y = (n - s_.top) * lh;
      const int x0 = LineLeft(l);
      if (l.bullet) DrawBullet(dc, l, y, enabled ? ownColour : GetSysColor(COLOR_GRAYTEXT));
      DrawPiece(dc, l, l.start, l.end, x0, y, ownColour, !enabled);
      const int from = std::max(a, l.start), to = std::min(b, l.end);
      if (showSel && from < to) {
        RECT band{x0 + l.pos[static_cast<std::size_t>(from - l.start)], y,
                  x0 + l.pos[static_cast<std::size_t>(to - l.start)], y + lh};
        FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
        DrawPiece(dc, l, from, to, x0, y, GetSysColor(COLOR_HIGHLIGHTTEXT), true);
      }
    }
  }

  // ---- Messages ----

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
      case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL |
               (Multi() && (Style() & ES_WANTRETURN) ? DLGC_WANTALLKEYS : 0);
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
        Relayout();
        RemakeCaret();
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
      case WM_STYLECHANGED:
        Relayout();
        Refresh();
        return 0;
      case WM_ENABLE: Invalidate(); return 0;
      case WM_SETREDRAW:
        // A flag of the control's own, as the list box keeps: the default
        // handling would clear WS_VISIBLE, and set it on an edit that was
        // hidden. Turned on, the text and the bars (drawn nowhere
        // meanwhile) are drawn again.
        if ((wParam != 0) == s_.redraw) return 0;
        s_.redraw = wParam != 0;
        if (s_.redraw) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return 0;
      case WM_SETFOCUS:
        s_.focused = true;
        CreateCaret(hwnd_, nullptr, 1, CaretHeight());
        Refresh();
        ShowCaret(hwnd_);
        return 0;
      case WM_KILLFOCUS:
        s_.focused = false;
        StopTracking();
        DestroyCaret();
        Invalidate();
        return 0;
      case WM_KEYDOWN: KeyDown(wParam); return 0;
      case WM_CHAR:
      case WM_IME_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
      case WM_LBUTTONDOWN: ButtonDown(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
      case WM_LBUTTONDBLCLK:
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        if (IsWindow(hwnd_) && !s_.dead) SelectWordAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
      case WM_MOUSEMOVE: Drag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
      case WM_VSCROLL:
        if (Multi()) VScroll(LOWORD(static_cast<DWORD_PTR>(wParam)), ThumbPosition(hwnd_, SB_VERT, wParam));
        return 0;
      case WM_HSCROLL:
        if (Multi()) HScroll(LOWORD(static_cast<DWORD_PTR>(wParam)), ThumbPosition(hwnd_, SB_HORZ, wParam));
        return 0;
      case WM_MOUSEWHEEL:
        if (!Multi()) break;
        ScrollTo(s_.top - GET_WHEEL_DELTA_WPARAM(wParam) / 120 * 3, s_.xScroll);
        return 0;
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
      case EM_SCROLLCARET: FollowCaret(); return TRUE;
      case EM_POSFROMCHAR: {
        const auto index = static_cast<int>(wParam);
        if (index < 0 || index >= Length()) return -1;
        if (Multi()) {
          const POINT p = CharPoint(index);
          return MAKELRESULT(p.X, p.Y);
        }
        const Measure m = Measured();
        return MAKELRESULT(Origin(m) + m.pos[static_cast<std::size_t>(index)], 0);
      }
      case EM_CHARFROMPOS: {
        if (!Multi()) return MAKELRESULT(BoundaryAt(GET_X_LPARAM(lParam), Measured()), 0);
        int line = 0;
        const Spot at = SpotAtPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &line);
        return MAKELRESULT(at.at, line);
      }
      case EM_GETFIRSTVISIBLELINE: return Multi() ? s_.top : s_.first;
      case EM_GETLINECOUNT: return LineCount();
      case EM_LINEINDEX: {
        const auto n = static_cast<int>(wParam);
        if (n == -1) return Lines()[static_cast<std::size_t>(CaretLine())].start;
        return n < 0 || n >= LineCount() ? -1 : Lines()[static_cast<std::size_t>(n)].start;
      }
      case EM_LINELENGTH: return LineLength(static_cast<int>(wParam));
      case EM_LINEFROMCHAR: {
        const auto i = static_cast<int>(wParam);
        return i < 0 ? CaretLine() : LineOf(std::min(i, Length()));
      }
      case EM_GETLINE: return CopyLine(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
      case EM_LINESCROLL: {
        if (!Multi()) return FALSE;
        // Any count is taken: the sum is made in 64 bits and held to what
        // an int carries before the view clamps it to the text.
        ScrollTo(ClampToInteger(s_.top + static_cast<long long>(static_cast<int>(lParam))),
                 ClampToInteger(s_.xScroll + static_cast<long long>(static_cast<int>(wParam)) * AverageCharWidth()));
        return TRUE;
      }
      case EM_SCROLL: return ScrollMessage(static_cast<int>(wParam));
      case EM_LIMITTEXT: {
        const auto limit = static_cast<long long>(static_cast<int>(wParam));
        s_.limit = limit <= 0 || limit > kEditNoLimit ? kEditNoLimit : static_cast<int>(limit);
        return 0;
      }
      case EM_EXLIMITTEXT: {
        // A formatted text's own message: zero or less means as much as
        // the control can hold.
        if (!s_.formats) break;
        const auto limit = static_cast<long long>(lParam);
        s_.limit = limit <= 0 || limit > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(limit);
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
        Relayout();
        Refresh();
        return 0;
      case EM_GETMARGINS: return MAKELRESULT(s_.leftMargin, s_.rightMargin);
      case EM_SETPASSWORDCHAR: {
        s_.passwordChar = static_cast<char>(wParam);
        const DWORD style = Style();
        const DWORD wanted = s_.passwordChar ? style | ES_PASSWORD : style & ~ES_PASSWORD;
        if (wanted != style) SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
        Relayout();
        Refresh();
        return 0;
      }
      case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(s_.passwordChar);
      case EM_SETREADONLY: {
        const DWORD style = Style();
        SetWindowLongPtrA(hwnd_, GWL_STYLE,
                          static_cast<LONG_PTR>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        Invalidate();
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

// Greedy: each line takes the words that fit, the blanks after the last
// of them hang past the edge, and a word wider than the area is cut where
// it reaches the edge (at least one character a line).
std::vector<int> WrapParagraph(std::string_view text, const std::vector<int>& pos, int firstWidth, int width) {
  std::vector<int> ends;
  const auto end = static_cast<int>(text.size());
  int a = 0;
  do {
    const int room = a == 0 ? firstWidth : width;
    int b = a;
    while (b < end && pos[static_cast<std::size_t>(b + 1)] - pos[static_cast<std::size_t>(a)] <= room) ++b;
    if (b < end) {
      int word = b;
      while (word > a && !IsBlank(text[static_cast<std::size_t>(word - 1)])) --word;
      b = word > a ? word : std::max(b, a + 1);
      while (b < end && IsBlank(text[static_cast<std::size_t>(b)])) ++b;
    }
    ends.push_back(b);
    a = b;
  } while (a < end);
  return ends;
}

bool JustifyLine(std::string_view line, std::vector<int>& pos, int width) {
  const auto n = static_cast<int>(line.size());
  int last = n;
  while (last > 0 && IsBlank(line[static_cast<std::size_t>(last - 1)])) --last;
  // What stands up to the last tab keeps to the tab stops.
  const std::size_t tab = line.substr(0, static_cast<std::size_t>(last)).rfind('\t');
  int first = tab == std::string_view::npos ? 0 : static_cast<int>(tab) + 1;
  while (first < last && line[static_cast<std::size_t>(first)] == ' ') ++first;
  int gaps = 0;
  for (int i = first; i < last; ++i) gaps += line[static_cast<std::size_t>(i)] == ' ';
  const int extra = width - pos[static_cast<std::size_t>(last)];
  if (gaps == 0 || extra <= 0) return false;
  int shift = 0, gap = 0;
  for (int i = first; i < n; ++i) {
    if (i < last && line[static_cast<std::size_t>(i)] == ' ') shift += extra / gaps + (gap++ < extra % gaps ? 1 : 0);
    pos[static_cast<std::size_t>(i + 1)] += shift;
  }
  return true;
}

LRESULT EditProcWithFormats(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, EditFormats* (*make)()) {
  if (msg == WM_NCCREATE) {
    auto* state = new EditState;
    LiveStates().insert(state);
    if (make) state->formats.reset(make());
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (cs && cs->lpszName) state->text = cs->lpszName;
    if (state->formats) state->formats->Reset(state->text);
    if (cs && (cs->style & ES_PASSWORD)) state->passwordChar = '*';
    // A multi-line edit keeps its text one pixel off its sides.
    if (cs && (cs->style & ES_MULTILINE)) state->leftMargin = state->rightMargin = 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  EditState* state = StateOf(hwnd);
  if (state && msg == WM_NCDESTROY && state->tracking) KillTimer(hwnd, kScrollTimer);
  return DispatchToWindowState(hwnd, msg, wParam, lParam, state, &Release,
                               [&](EditState& s) { return Edit(hwnd, s).Handle(msg, wParam, lParam); });
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return EditProcWithFormats(hwnd, msg, wParam, lParam, nullptr);
}

EditFormats* FormatsOf(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  EditState* state = StateOf(hwnd);
  return LiveStates().count(state) ? state->formats.get() : nullptr;
}

EditHold::EditHold(HWND hwnd) {
  if (!FormatsOf(hwnd)) return;
  EditState* state = StateOf(hwnd);
  ++state->depth;
  state_ = state;
}

EditHold::~EditHold() {
  auto* state = static_cast<EditState*>(state_);
  if (state && --state->depth == 0 && state->dead) Release(state);
}

EditFormats* EditHold::Formats() const {
  return state_ ? static_cast<EditState*>(state_)->formats.get() : nullptr;
}

void EditHold::Selection(int& from, int& to) const {
  from = to = 0;
  if (const auto* state = static_cast<const EditState*>(state_)) {
    from = std::min(state->anchor, state->caret);
    to = std::max(state->anchor, state->caret);
  }
}

std::string_view EditTextOf(HWND hwnd) {
  if (!FormatsOf(hwnd)) return {};
  return StateOf(hwnd)->text;
}

void ReplaceEditText(HWND hwnd, int from, int to, std::string_view text, EditFormats::History history, int anchor,
                     int caret, bool formatsChanged) {
  if (!FormatsOf(hwnd)) return;
  EditState* state = StateOf(hwnd);
  ++state->depth;
  Edit(hwnd, *state).ReplaceAsIs(from, to, text, history, anchor, caret, formatsChanged);
  if (--state->depth == 0 && state->dead) Release(state);
}

int EditCaretIndex(HWND hwnd) {
  if (!IsWindow(hwnd)) return -1;
  const EditState* state = StateOf(hwnd);
  return LiveStates().count(state) ? state->caret : -1;
}

void SelectEditText(HWND hwnd, int anchor, int caret, bool caretAtLineEnd) {
  if (!FormatsOf(hwnd)) return;
  EditState* state = StateOf(hwnd);
  ++state->depth;
  Edit(hwnd, *state).SetSel(anchor, caret, caretAtLineEnd);
  if (--state->depth == 0 && state->dead) Release(state);
}

void FormatsChanged(HWND hwnd) {
  if (!FormatsOf(hwnd)) return;
  EditState* state = StateOf(hwnd);
  ++state->depth;
  Edit edit(hwnd, *state);
  edit.Relayout();
  edit.RemakeCaret();
  edit.Refresh();
  if (--state->depth == 0 && state->dead) Release(state);
}

}  // namespace detail

void RegisterEditClass() {
  RegisterSystemClass("EDIT", kEditAtom, CS_DBLCLKS, &detail::EditProc, sizeof(void*), IDC_IBEAM);
}

}  // namespace win
