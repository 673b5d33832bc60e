#include "platform/controls/ListBoxControl.h"
#include "platform/controls/WindowState.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Collation.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace win {
namespace {

constexpr ATOM kListBoxAtom = 0x0083;
// Text stands this far from the item's left edge.
constexpr int kTextIndent = 2;
// The wheel setting that scrolls a page per notch.
constexpr UINT kWheelPageScroll = 0xFFFFFFFF;

struct Item {
  std::string text;
  UINT_PTR data = 0;
  int height = 0;          // owner-drawn variable items only
  bool selected = false;   // lists of several selected items only
};

// What the control keeps between messages. It lives from WM_NCCREATE to
// the end of the outermost message being handled when WM_NCDESTROY came,
// so a parent destroying the control from a notification leaves the code
// that sent it a valid (if orphaned) state to finish with.
struct ListState {
  std::vector<Item> items;
  int selected = -1;  // single selection
  int caret = 0;
  int anchor = 0;     // where a range of a multiple selection starts
  int top = 0;
  int itemHeight = 0;  // fixed height; the default for variable items
  int extent = 0;      // LB_SETHORIZONTALEXTENT
  int xOffset = 0;     // scrolled to the right by
  int wheelRest = 0;   // wheel delta not yet turned into lines
  HFONT font = nullptr;
  bool focused = false;
  bool tracking = false;  // the left button went down here and is held
  // While the button is held in an extended list: the selection as it was
  // at the press (the rest a dragged range leaves as it was) and the state
  // the range takes.
  std::vector<char> base;
  bool rangeState = true;
  bool redraw = true;     // WM_SETREDRAW
  // The bars the control was made with: hiding one clears its style bit.
  bool vertical = false;
  bool horizontal = false;
  int depth = 0;
  bool dead = false;
};

ListState* StateOf(HWND hwnd) { return reinterpret_cast<ListState*>(GetWindowLongPtrA(hwnd, 0)); }

// The height of a line of text in a font (null: the DC's own).
int FontHeight(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = font ? SelectObject(dc, ToObj(font)) : nullptr;
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return std::clamp(static_cast<int>(tm.tmHeight), 1, kListBoxMaxItemHeight);
}

class ListBox {
 public:
  ListBox(HWND hwnd, ListState& s) : hwnd_(hwnd), s_(s) {}

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }
  bool OwnerDrawn() const { return Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
  bool Variable() const { return Style() & LBS_OWNERDRAWVARIABLE; }
  // Owner-drawn items without LBS_HASSTRINGS hold only their value.
  bool HasStrings() const { return !OwnerDrawn() || (Style() & LBS_HASSTRINGS); }
  int Count() const { return static_cast<int>(s_.items.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  int HeightOf(int index) const {
    return Variable() && Valid(index) && s_.items[static_cast<std::size_t>(index)].height > 0
               ? s_.items[static_cast<std::size_t>(index)].height
               : s_.itemHeight;
  }
  RECT Client() const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return rc;
  }
  // Several items may be selected: LBS_EXTENDEDSEL (ranges with Shift,
  // single items with Ctrl) or LBS_MULTIPLESEL (each click turns one over).
  bool Multiple() const { return Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
  bool Extended() const { return Style() & LBS_EXTENDEDSEL; }
  bool IsSelected(int index) const {
    return Multiple() ? Valid(index) && s_.items[static_cast<std::size_t>(index)].selected : index == s_.selected;
  }
  HWND Parent() const { return GetParent(hwnd_); }
  UINT Id() const { return static_cast<UINT>(GetWindowLongPtrA(hwnd_, GWLP_ID)); }
  bool Alive() const { return !s_.dead; }

  // ---- Geometry ----
  // The item's rectangle in client coordinates; items above the top have
  // negative coordinates.
  RECT ItemRect(int index) const {
    int y = 0;
    if (index >= s_.top) {
      for (int i = s_.top; i < index; ++i) y += HeightOf(i);
    } else {
      for (int i = index; i < s_.top; ++i) y -= HeightOf(i);
    }
    const int width = std::max(static_cast<int>(Client().Right), s_.extent);
    return RECT{-s_.xOffset, y, width - s_.xOffset, y + HeightOf(index)};
  }
  // How many items from first on fit wholly; at least one.
  int FullyVisibleFrom(int first) const {
    const int height = Client().Bottom;
    int n = 0;
    for (int y = 0, i = first; i < Count(); ++i, ++n) {
      y += HeightOf(i);
      if (y > height) break;
    }
    return std::max(1, n);
  }
  // The highest top that still fills the area.
  int MaxTop() const {
    const int height = Client().Bottom;
    int top = Count();
    for (int y = 0; top > 0; --top) {
      y += HeightOf(top - 1);
      if (y > height) break;
    }
    return std::min(top, std::max(0, Count() - 1));
  }
  // The item under a client point, and whether the point lies outside
  // every item (then the nearest one).
  int ItemAt(POINT p, bool& outside) const {
    outside = true;
    if (Count() == 0) return 0;
    const RECT client = Client();
    if (p.Y < 0) return s_.top;
    int y = 0;
    int i = s_.top;
    for (; i < Count(); ++i) {
      const int h = HeightOf(i);
      if (p.Y < y + h) {
        outside = p.X < 0 || p.X >= client.Right || p.Y >= client.Bottom;
        return i;
      }
      y += h;
      if (y >= client.Bottom) break;
    }
    return std::min(i, Count() - 1);
  }

  // ---- Scrolling ----
  void UpdateBars() {
    if (!s_.redraw) return;
    const DWORD style = Style();
    for (int pass = 0; pass < 2; ++pass) {  // a bar appearing changes the room of the other
      if (s_.vertical) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, Count() - 1),
                      static_cast<UINT>(FullyVisibleFrom(s_.top)), s_.top, 0};
        if (Variable()) si.nPage = static_cast<UINT>(Count() - MaxTop());
        if (style & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
        SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
      }
      if (s_.horizontal) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, s_.extent - 1),
                      static_cast<UINT>(Client().Right), s_.xOffset, 0};
        if (style & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
        SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
      }
    }
  }
  void Invalidate() {
    if (s_.redraw) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  bool SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (top == s_.top) return false;
    s_.top = top;
    UpdateBars();
    Invalidate();
    return true;
  }
  void SetXOffset(int x) {
    x = std::clamp(x, 0, std::max(0, s_.extent - static_cast<int>(Client().Right)));
    if (x == s_.xOffset) return;
    s_.xOffset = x;
    UpdateBars();
    Invalidate();
  }
  // Scrolls so the item shows whole (as far as it can).
  void ShowItem(int index) {
    if (!Valid(index)) return;
    if (index < s_.top) {
      SetTop(index);
      return;
    }
    int top = s_.top;
    while (top < index && FullyVisibleFrom(top) <= index - top) ++top;
    SetTop(top);
  }
  void Scroll(int code, int thumb) {
    const int page = std::max(1, FullyVisibleFrom(s_.top) - 1);
    switch (code) {
      case SB_LINEUP: SetTop(s_.top - 1); break;
      case SB_LINEDOWN: SetTop(s_.top + 1); break;
      case SB_PAGEUP: SetTop(s_.top - page); break;
      case SB_PAGEDOWN: SetTop(s_.top + page); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: SetTop(thumb); break;
      case SB_TOP: SetTop(0); break;
      case SB_BOTTOM: SetTop(Count()); break;
      default: break;
    }
  }
  void ScrollHorizontally(int code, int thumb) {
    const int line = std::max(1, s_.itemHeight);
    const int page = std::max(1, static_cast<int>(Client().Right));
    switch (code) {
      case SB_LINELEFT: SetXOffset(s_.xOffset - line); break;
      case SB_LINERIGHT: SetXOffset(s_.xOffset + line); break;
      case SB_PAGELEFT: SetXOffset(s_.xOffset - page); break;
      case SB_PAGERIGHT: SetXOffset(s_.xOffset + page); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: SetXOffset(thumb); break;
      case SB_LEFT: SetXOffset(0); break;
      case SB_RIGHT: SetXOffset(s_.extent); break;
      default: break;
    }
  }
  // The wheel scrolls the system's line count per notch (a page when it is
  // set to scroll pages); partial notches add up.
  void Wheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == 0) return;
    s_.wheelRest += delta;
    const int notches = s_.wheelRest / static_cast<int>(WHEEL_DELTA);
    if (notches == 0) return;
    s_.wheelRest -= notches * static_cast<int>(WHEEL_DELTA);
    const int step = lines == kWheelPageScroll ? std::max(1, FullyVisibleFrom(s_.top) - 1) : static_cast<int>(lines);
    SetTop(s_.top - notches * step);
  }

  // ---- Drawing ----
  UINT StateOfItem(int index) const {
    UINT state = 0;
    if (IsSelected(index)) state |= ODS_SELECTED;
    if (s_.focused && index == s_.caret) state |= ODS_FOCUS;
    if (Style() & WS_DISABLED) state |= ODS_DISABLED;
    return state;
  }
  HBRUSH Background(HDC dc) {
    const HWND to = (Style() & WS_CHILD) && Parent() ? Parent() : hwnd_;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(to, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    if (!brush) {
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      brush = GetSysColorBrush(COLOR_WINDOW);
    }
    return brush;
  }
  // One item: the parent draws an owner-drawn one; the control draws the
  // text of its own, selected in the highlight colours, and the focus
  // rectangle around the caret item.
  void DrawItem(HDC dc, int index, UINT action, HBRUSH background) {
    const RECT rc = ItemRect(index);
    const auto& item = s_.items[static_cast<std::size_t>(index)];
    const UINT state = StateOfItem(index);
    if (OwnerDrawn()) {
      DRAWITEMSTRUCT dis{ODT_LISTBOX, Id(), static_cast<UINT>(index), action, state, hwnd_, dc, rc, item.data};
      SendMessageA(Parent(), WM_DRAWITEM, Id(), reinterpret_cast<LPARAM>(&dis));
      return;
    }
    const COLORREF oldText = GetTextColor(dc);
    const COLORREF oldBk = GetBkColor(dc);
    if (state & ODS_SELECTED) {
      FillRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      FillRect(dc, &rc, background);
      if (state & ODS_DISABLED) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = s_.font ? SelectObject(dc, ToObj(s_.font)) : nullptr;
    TextOutA(dc, rc.Left + kTextIndent, rc.Top, item.text.data(), static_cast<int>(item.text.size()));
    if (oldFont) SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    if (state & ODS_FOCUS) DrawFocusRect(dc, &rc);
  }
  void Paint(HDC dc) {
    const RECT client = Client();
    HBRUSH background = Background(dc);
    if (!Alive()) return;
    int y = 0;
    for (int i = s_.top; i < Count() && y < client.Bottom && Alive(); ++i) {
      DrawItem(dc, i, ODA_DRAWENTIRE, background);
      y += HeightOf(i);
    }
    if (!Alive() || y >= client.Bottom) return;
    RECT rest{0, y, client.Right, client.Bottom};
    FillRect(dc, &rest, background);
  }
  // Whether any of the item is in view. It walks no further than the area
  // reaches, so a change to many items out of view costs no more per item
  // than the items that show.
  bool InView(int index) const {
    if (index < s_.top) return false;
    const int height = Client().Bottom;
    int y = 0;
    for (int i = s_.top; i < index; ++i) {
      y += HeightOf(i);
      if (y >= height) return false;
    }
    return y < height;
  }
  // Draws items again at once (a change of selection or focus).
  void Redraw(int index, UINT action) {
    if (!Valid(index) || !s_.redraw || !IsWindowVisible(hwnd_) || !InView(index)) return;
    const RECT rc = ItemRect(index);
    const RECT client = Client();
    if (rc.Bottom <= 0 || rc.Top >= client.Bottom) return;
    HDC dc = GetDC(hwnd_);
    HBRUSH background = Background(dc);
    if (Alive()) DrawItem(dc, index, action, background);
    ReleaseDC(hwnd_, dc);
  }

  // ---- Selection ----
  void Notify(int code) {
    if ((Style() & LBS_NOTIFY) && Parent())
      SendMessageA(Parent(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Id()), code), reinterpret_cast<LPARAM>(hwnd_));
  }
  // Moves the selection (and the caret with it); answers whether it moved.
  bool Select(int index) {
    if (index == s_.selected) {
      if (Valid(index) && index != s_.caret) MoveCaret(index);
      ShowItem(index);
      return false;
    }
    const int before = s_.selected;
    const int caretBefore = s_.caret;
    s_.selected = index;
    if (Valid(index)) s_.caret = index;
    ShowItem(index);
    Redraw(before, ODA_SELECT);
    if (caretBefore != s_.caret && caretBefore != before) Redraw(caretBefore, ODA_FOCUS);
    Redraw(index, ODA_SELECT);
    return true;
  }
  void MoveCaret(int index) {
    const int before = s_.caret;
    s_.caret = index;
    Redraw(before, ODA_FOCUS);
    Redraw(index, ODA_FOCUS);
  }
  // The person chose an item.
  void Choose(int index) {
    if (!Valid(index)) return;
    if (Multiple()) {
      ChooseMany(index, false, false);
      return;
    }
    if (Select(index)) Notify(LBN_SELCHANGE);
  }

  // ---- Multiple selection ----
  std::vector<char> Selection() const {
    std::vector<char> flags(s_.items.size());
    for (std::size_t i = 0; i < flags.size(); ++i) flags[i] = s_.items[i].selected;
    return flags;
  }
  // Gives the items the wanted states, drawing those that change in order;
  // answers whether any did.
  bool ApplySelection(const std::vector<char>& want) {
    bool changed = false;
    for (int i = 0; i < Count() && Alive(); ++i) {
      auto& item = s_.items[static_cast<std::size_t>(i)];
      const bool on = static_cast<std::size_t>(i) < want.size() && want[static_cast<std::size_t>(i)];
      if (item.selected == on) continue;
      item.selected = on;
      changed = true;
      Redraw(i, ODA_SELECT);
    }
    return changed;
  }
  // From anchor to index the items take the range's state; the others go
  // back to the base.
  bool SelectRange(int index) {
    std::vector<char> want = s_.base;
    want.resize(s_.items.size());
    const int from = std::clamp(std::min(s_.anchor, index), 0, Count() - 1);
    const int to = std::clamp(std::max(s_.anchor, index), 0, Count() - 1);
    for (int i = from; i <= to; ++i) want[static_cast<std::size_t>(i)] = s_.rangeState;
    return ApplySelection(want);
  }
  // The person chose an item of a multiple selection, by mouse or key,
  // with Shift (extend from the anchor) and Ctrl (add to what is selected).
  // A simple multiple selection turns the item over; Shift and Ctrl do
  // nothing there.
  void ChooseMany(int index, bool shift, bool ctrl) {
    if (!Valid(index)) return;
    bool changed = false;
    if (!Extended()) {
      std::vector<char> want = Selection();
      want[static_cast<std::size_t>(index)] = !want[static_cast<std::size_t>(index)];
      s_.anchor = index;
      changed = ApplySelection(want);
    } else {
      s_.base = ctrl ? Selection() : std::vector<char>(s_.items.size());
      if (!shift) s_.anchor = index;
      // Ctrl turns the item over; Ctrl with Shift gives the range the
      // anchor's state; otherwise the range is selected.
      s_.rangeState = !ctrl || (shift ? IsSelected(s_.anchor) || !Valid(s_.anchor) : !IsSelected(index));
      changed = SelectRange(index);
    }
    if (!Alive()) return;
    if (index != s_.caret) MoveCaret(index);
    if (!Alive()) return;
    ShowItem(index);
    if (changed) Notify(LBN_SELCHANGE);
  }
  // The pointer dragged on to another item with the button held.
  void DragRangeTo(int index) {
    if (!Valid(index) || index == s_.caret) return;
    const bool changed = Extended() && SelectRange(index);
    if (!Alive()) return;
    MoveCaret(index);
    if (!Alive()) return;
    ShowItem(index);
    if (changed) Notify(LBN_SELCHANGE);
  }
  LRESULT SetSel(bool on, int index) {
    if (!Multiple() || (index != -1 && !Valid(index))) return LB_ERR;
    if (index == -1) {
      ApplySelection(std::vector<char>(s_.items.size(), on));
      return LB_OKAY;
    }
    // One item changes alone, so a caller selecting items one by one pays
    // for each item once.
    s_.anchor = index;
    Item& item = s_.items[static_cast<std::size_t>(index)];
    if (item.selected != on) {
      item.selected = on;
      Redraw(index, ODA_SELECT);
    }
    if (Alive() && index != s_.caret) MoveCaret(index);
    return LB_OKAY;
  }
  LRESULT SelectItems(bool on, int first, int last) {
    if (!Multiple()) return LB_ERR;
    if (Count() == 0) return LB_OKAY;
    if (first > last) std::swap(first, last);
    if (last < 0 || first >= Count()) return LB_OKAY;
    std::vector<char> want = Selection();
    for (int i = std::max(first, 0); i <= std::min(last, Count() - 1); ++i) want[static_cast<std::size_t>(i)] = on;
    ApplySelection(want);
    return LB_OKAY;
  }
  LRESULT SelectedItems(int most, LPARAM lParam) const {
    if (!Multiple()) return LB_ERR;
    auto* out = reinterpret_cast<INT*>(lParam);
    int n = 0;
    for (int i = 0; i < Count() && n < most; ++i)
      if (s_.items[static_cast<std::size_t>(i)].selected) {
        if (out) out[n] = i;
        ++n;
      }
    return n;
  }
  int SelectedCount() const {
    return static_cast<int>(std::count_if(s_.items.begin(), s_.items.end(), [](const Item& i) { return i.selected; }));
  }
  void Key(WPARAM vk) {
    if (Count() == 0) return;
    if (Multiple()) return KeyMany(vk);
    const int from = Valid(s_.selected) ? s_.selected : s_.caret;
    const int page = std::max(1, FullyVisibleFrom(s_.top) - 1);
    int to = from;
    switch (vk) {
      case VK_UP:
      case VK_LEFT: to = Valid(s_.selected) ? from - 1 : from; break;
      case VK_DOWN:
      case VK_RIGHT: to = Valid(s_.selected) ? from + 1 : from; break;
      case VK_PRIOR: to = from - page; break;
      case VK_NEXT: to = from + page; break;
      case VK_HOME: to = 0; break;
      case VK_END: to = Count() - 1; break;
      default: return;
    }
    Choose(std::clamp(to, 0, Count() - 1));
  }
  // Keys of a multiple selection move the caret. In an extended list they
  // select the item reached (Shift: the range from the anchor; Ctrl: only
  // the caret moves); Space chooses the caret item as a click would. In a
  // simple one only Space turns the caret item over.
  void KeyMany(WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int page = std::max(1, FullyVisibleFrom(s_.top) - 1);
    int to = s_.caret;
    switch (vk) {
      case VK_SPACE: ChooseMany(s_.caret, shift, ctrl); return;
      case VK_UP:
      case VK_LEFT: --to; break;
      case VK_DOWN:
      case VK_RIGHT: ++to; break;
      case VK_PRIOR: to -= page; break;
      case VK_NEXT: to += page; break;
      case VK_HOME: to = 0; break;
      case VK_END: to = Count() - 1; break;
      default: return;
    }
    to = std::clamp(to, 0, Count() - 1);
    if (!Extended() || (ctrl && !shift)) {
      if (to != s_.caret) MoveCaret(to);
      if (Alive()) ShowItem(to);
      return;
    }
    ChooseMany(to, shift, ctrl);
  }

  // ---- Items ----
  std::string TextFromParam(LPARAM lParam) const {
    const char* text = reinterpret_cast<const char*>(lParam);
    return HasStrings() && text ? std::string(text) : std::string();
  }
  void Measure(int index) {
    auto& item = s_.items[static_cast<std::size_t>(index)];
    item.height = s_.itemHeight;
    if (!Variable()) return;
    MEASUREITEMSTRUCT mis{ODT_LISTBOX, Id(), static_cast<UINT>(index), 0, static_cast<UINT>(s_.itemHeight),
                          item.data};
    SendMessageA(Parent(), WM_MEASUREITEM, Id(), reinterpret_cast<LPARAM>(&mis));
    if (Alive() && Valid(index))
      s_.items[static_cast<std::size_t>(index)].height =
          std::clamp(static_cast<int>(mis.itemHeight), 1, kListBoxMaxItemHeight);
  }
  LRESULT Insert(int index, LPARAM lParam) {
    if (index < 0) index = Count();
    if (index > Count()) return LB_ERR;
    Item item;
    item.text = TextFromParam(lParam);
    if (!HasStrings()) item.data = static_cast<UINT_PTR>(lParam);
    s_.items.insert(s_.items.begin() + index, std::move(item));
    if (s_.selected >= index) ++s_.selected;
    if (s_.caret >= index && Count() > 1) ++s_.caret;
    if (s_.anchor >= index && Count() > 1) ++s_.anchor;
    Measure(index);
    if (!Alive()) return index;
    UpdateBars();
    Invalidate();
    return index;
  }
  LRESULT Delete(int index) {
    if (!Valid(index)) return LB_ERR;
    s_.items.erase(s_.items.begin() + index);
    if (s_.selected == index) s_.selected = -1;
    else if (s_.selected > index) --s_.selected;
    if (s_.caret > index || s_.caret >= Count()) s_.caret = std::max(0, s_.caret - 1);
    if (s_.anchor > index || s_.anchor >= Count()) s_.anchor = std::max(0, s_.anchor - 1);
    s_.top = std::clamp(s_.top, 0, MaxTop());
    UpdateBars();
    Invalidate();
    return Count();
  }
  void Reset() {
    s_.items.clear();
    s_.selected = -1;
    s_.caret = 0;
    s_.anchor = 0;
    s_.top = 0;
    UpdateBars();
    Invalidate();
  }
  // A case-insensitive prefix search that starts after from and wraps
  // round to it; -1 (or an index past the end) searches from the first.
  LRESULT Find(int from, LPARAM lParam) const {
    if (Count() == 0) return LB_ERR;
    if (!Valid(from)) from = -1;
    const std::string prefix = HasStrings() ? AnsiUpperCase(TextFromParam(lParam)) : std::string();
    for (int n = 1; n <= Count(); ++n) {
      const int i = (from + n) % Count();
      const Item& item = s_.items[static_cast<std::size_t>(i)];
      if (!HasStrings()) {
        if (item.data == static_cast<UINT_PTR>(lParam)) return i;
      } else if (AnsiUpperCase(std::string_view(item.text).substr(0, prefix.size())) == prefix) {
        return i;
      }
    }
    return LB_ERR;
  }
  LRESULT GetText(int index, LPARAM lParam) const {
    if (!Valid(index) || !lParam) return LB_ERR;
    const Item& item = s_.items[static_cast<std::size_t>(index)];
    if (!HasStrings()) {
      std::memcpy(reinterpret_cast<void*>(lParam), &item.data, sizeof item.data);
      return sizeof item.data;
    }
    std::memcpy(reinterpret_cast<char*>(lParam), item.text.c_str(), item.text.size() + 1);
    return static_cast<LRESULT>(item.text.size());
  }
  LRESULT SetItemHeight(int index, LPARAM lParam) {
    const int height = LOWORD(static_cast<DWORD_PTR>(lParam));
    if (height <= 0 || height > kListBoxMaxItemHeight) return LB_ERR;
    if (Variable()) {
      if (!Valid(index)) return LB_ERR;
      s_.items[static_cast<std::size_t>(index)].height = height;
    } else {
      s_.itemHeight = height;
    }
    s_.top = std::clamp(s_.top, 0, MaxTop());
    UpdateBars();
    Invalidate();
    return LB_OKAY;
  }

  HWND hwnd_;
  ListState& s_;
};

LRESULT ListBox::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
  switch (msg) {
    case WM_CREATE: {
      s_.itemHeight = FontHeight(nullptr);
      if (Style() & LBS_OWNERDRAWFIXED) {
        MEASUREITEMSTRUCT mis{ODT_LISTBOX, Id(), 0, 0, static_cast<UINT>(s_.itemHeight), 0};
        SendMessageA(Parent(), WM_MEASUREITEM, Id(), reinterpret_cast<LPARAM>(&mis));
        if (Alive()) s_.itemHeight = std::clamp(static_cast<int>(mis.itemHeight), 1, kListBoxMaxItemHeight);
      }
      UpdateBars();
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // painting covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(hwnd_, &ps);
      Paint(dc);
      if (!wParam) EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SIZE:
      s_.top = std::clamp(s_.top, 0, MaxTop());
      s_.xOffset = std::clamp(s_.xOffset, 0, std::max(0, s_.extent - static_cast<int>(Client().Right)));
      UpdateBars();
      return 0;
    case WM_SETFONT:
      s_.font = reinterpret_cast<HFONT>(wParam);
      if (!OwnerDrawn()) s_.itemHeight = FontHeight(s_.font);
      UpdateBars();
      if (LOWORD(static_cast<DWORD_PTR>(lParam))) InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s_.font);
    case WM_SETREDRAW:
      // A flag of the list's own: the default handling would set
      // WS_VISIBLE, showing a closed drop-down list whose items change.
      // Turned on, the bars and items catch up with what changed.
      if ((wParam != 0) == s_.redraw) return 0;
      s_.redraw = wParam != 0;
      if (s_.redraw) {
        UpdateBars();
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      s_.focused = true;
      Redraw(s_.caret, ODA_FOCUS);
      if (Alive()) Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s_.focused = false;
      if (s_.tracking) ReleaseCapture();
      Redraw(s_.caret, ODA_FOCUS);
      if (Alive()) Notify(LBN_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_VSCROLL: Scroll(LOWORD(wParam), ThumbPosition(hwnd_, SB_VERT, wParam)); return 0;
    case WM_HSCROLL: ScrollHorizontally(LOWORD(wParam), ThumbPosition(hwnd_, SB_HORZ, wParam)); return 0;
    case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != hwnd_) SetFocus(hwnd_);
      if (!Alive()) return 0;
      bool outside = false;
      const int at = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, outside);
      if (Count() > 0 && !outside) {
        s_.tracking = true;
        SetCapture(hwnd_);
        if (Multiple())
          ChooseMany(at, wParam & MK_SHIFT, wParam & MK_CONTROL);
        else
          Choose(at);
        if (msg == WM_LBUTTONDBLCLK && Alive()) Notify(LBN_DBLCLK);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!s_.tracking || Count() == 0) return 0;
      bool outside = false;
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      int at = ItemAt(p, outside);
      // Above or below the area the list scrolls toward the pointer.
      if (p.Y < 0) at = s_.top - 1;
      else if (p.Y >= Client().Bottom) at = s_.top + FullyVisibleFrom(s_.top);
      at = std::clamp(at, 0, Count() - 1);
      if (Multiple())
        DragRangeTo(at);
      else
        Choose(at);
      return 0;
    }
    case WM_LBUTTONUP:
      if (s_.tracking) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED: s_.tracking = false; return 0;
    case WM_KEYDOWN: Key(wParam); return 0;
    case WM_CHAR: {
      // A typed character goes to the next item it begins.
      const char typed[2] = {static_cast<char>(wParam), 0};
      if (static_cast<unsigned char>(typed[0]) < 0x20 || !HasStrings()) return 0;
      if (Multiple() && typed[0] == ' ') return 0;  // Space chose the caret item
      const int from = Multiple() ? s_.caret : Valid(s_.selected) ? s_.selected : -1;
      const LRESULT found = Find(from, reinterpret_cast<LPARAM>(typed));
      if (found == LB_ERR) return 0;
      // A simple multiple selection changes by Space and clicks only.
      if (Multiple() && !Extended()) {
        MoveCaret(static_cast<int>(found));
        if (Alive()) ShowItem(static_cast<int>(found));
      } else {
        Choose(static_cast<int>(found));
      }
      return 0;
    }

    case LB_ADDSTRING: return Insert(-1, lParam);
    case LB_INSERTSTRING: return Insert(index, lParam);
    case LB_DELETESTRING: return Delete(index);
    case LB_RESETCONTENT: Reset(); return 0;
    case LB_GETCOUNT: return Count();
    case LB_GETTEXT: return GetText(index, lParam);
    case LB_GETTEXTLEN:
      if (!Valid(index)) return LB_ERR;
      return HasStrings() ? static_cast<LRESULT>(s_.items[static_cast<std::size_t>(index)].text.size())
                          : static_cast<LRESULT>(sizeof(UINT_PTR));
    case LB_SETCURSEL:
      // -1 clears the selection and still answers LB_ERR. A list of
      // several selected items is changed through LB_SETSEL instead.
      if (Multiple() || (index != -1 && !Valid(index))) return LB_ERR;
      Select(index);
      return index == -1 ? LB_ERR : index;
    case LB_GETCURSEL:
      if (Multiple()) return Count() > 0 ? s_.caret : LB_ERR;
      return s_.selected;
    case LB_SETSEL: return SetSel(wParam != 0, static_cast<int>(lParam));
    case LB_GETSEL: return Valid(index) ? (IsSelected(index) ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT: return Multiple() ? SelectedCount() : LB_ERR;
    case LB_GETSELITEMS: return SelectedItems(index, lParam);
    case LB_SELITEMRANGE:
      return SelectItems(wParam != 0, LOWORD(static_cast<DWORD_PTR>(lParam)), HIWORD(static_cast<DWORD_PTR>(lParam)));
    case LB_SELITEMRANGEEX:
      // From first to last selects; the other way round deselects.
      if (index <= static_cast<int>(lParam)) return SelectItems(true, index, static_cast<int>(lParam));
      return SelectItems(false, static_cast<int>(lParam), index);
    case LB_SETANCHORINDEX:
      if (!Valid(index)) return LB_ERR;
      s_.anchor = index;
      return LB_OKAY;
    case LB_GETANCHORINDEX: return s_.anchor;
    case LB_SETTOPINDEX:
      if (index < 0 || (index >= Count() && index != 0)) return LB_ERR;
      SetTop(index);
      return LB_OKAY;
    case LB_GETTOPINDEX: return s_.top;
    case LB_SETCARETINDEX:
      if (!Valid(index)) return LB_ERR;
      MoveCaret(index);
      if (!Alive()) return LB_OKAY;
      if (!lParam) {
        ShowItem(index);
      } else {
        // Partly in view is enough.
        const RECT rc = ItemRect(index);
        if (rc.Bottom <= 0 || rc.Top >= Client().Bottom) ShowItem(index);
      }
      return LB_OKAY;
    case LB_GETCARETINDEX: return s_.caret;
    case LB_SETITEMHEIGHT: return SetItemHeight(index, lParam);
    case LB_GETITEMHEIGHT:
      if (Variable() && Count() > 0 && !Valid(index)) return LB_ERR;
      return HeightOf(index);
    case LB_GETITEMRECT:
      if (!Valid(index) || !lParam) return LB_ERR;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(index);
      return 1;
    case LB_ITEMFROMPOINT: {
      bool outside = false;
      const int at = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, outside);
      return MAKELRESULT(static_cast<WORD>(at), outside ? 1 : 0);
    }
    case LB_FINDSTRING: return Find(index, lParam);
    case LB_SETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      s_.items[static_cast<std::size_t>(index)].data = static_cast<UINT_PTR>(lParam);
      return LB_OKAY;
    case LB_GETITEMDATA:
      if (!Valid(index)) return LB_ERR;
      return static_cast<LRESULT>(s_.items[static_cast<std::size_t>(index)].data);
    case LB_SETHORIZONTALEXTENT:
      s_.extent = std::max(0, index);
      s_.xOffset = std::clamp(s_.xOffset, 0, std::max(0, s_.extent - static_cast<int>(Client().Right)));
      UpdateBars();
      Invalidate();
      return 0;
    case LB_GETHORIZONTALEXTENT: return s_.extent;
    default: break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

}  // namespace

namespace detail {

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* state = new ListState;
    if (const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam)) {
      state->vertical = cs->style & WS_VSCROLL;
      state->horizontal = cs->style & WS_HSCROLL;
    }
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return DispatchToWindowState(
      hwnd, msg, wParam, lParam, StateOf(hwnd), [](ListState* s) { delete s; },
      [&](ListState& s) { return ListBox(hwnd, s).Handle(msg, wParam, lParam); });
}

}  // namespace detail

void RegisterListBoxClass() {
  RegisterSystemClass("LISTBOX", kListBoxAtom, CS_DBLCLKS | CS_HREDRAW, &detail::ListBoxProc, sizeof(void*));
}

}  // namespace win
