// The native list box as its parent and a person meet it: item messages in
// their corner cases, geometry and its own scroll bars, the mouse, keys and
// wheel with the notifications they cause, owner-drawn items measured and
// drawn by the parent, and the pixels of selection and focus.
#include "ListButtonTestUtil.h"

#include <functional>

using namespace lb_test;

namespace {

using ListBoxControl = Stage;

TEST_F(ListBoxControl, ItemMessagesAnswerTheirCornerCases) {
  HWND list = MakeList();
  // Empty: nothing to read, select, find or delete.
  EXPECT_EQ(Count(list), 0);
  EXPECT_EQ(CurSel(list), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("")), LB_ERR);

  // Adding appends; inserting at -1 appends too; past the end is refused.
  EXPECT_EQ(Add(list, "Beta"), 0);
  EXPECT_EQ(Add(list, "alpha"), 1);
  EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("Delta")), 1);
  EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Alpine")), 3);
  EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"Beta", "Delta", "alpha", "Alpine"}));
  EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 5);
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, 0), LB_ERR);  // no buffer

  // The selection follows inserts and deletes before it and goes with its item.
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 2, 0), 2);
  SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("First"));
  EXPECT_EQ(CurSel(list), 3);
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 4);  // answers the count left
  EXPECT_EQ(CurSel(list), 2);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);  // out of range: kept
  EXPECT_EQ(CurSel(list), 2);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);  // cleared, still LB_ERR
  EXPECT_EQ(CurSel(list), -1);
  SendMessageA(list, LB_SETCURSEL, 2, 0);
  SendMessageA(list, LB_DELETESTRING, 2, 0);
  EXPECT_EQ(CurSel(list), -1);

  // Prefix search without case, starting after the index and wrapping.
  auto find = [list](int from, const char* text) {
    return static_cast<int>(
        SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(text)));
  };
  EXPECT_EQ(Items(list), (std::vector<std::string>{"Beta", "Delta", "Alpine"}));
  Add(list, "ALPHABET");
  EXPECT_EQ(find(-1, "alp"), 2);
  EXPECT_EQ(find(2, "alp"), 3);
  EXPECT_EQ(find(3, "alp"), 2);  // wraps round
  EXPECT_EQ(find(2, "ALPINE"), 2);  // the start item comes last
  EXPECT_EQ(find(0, ""), 1);
  EXPECT_EQ(find(99, "b"), 0);  // past the end: from the first
  EXPECT_EQ(find(-1, "Alpines"), LB_ERR);

  // A pointer-sized value per item.
  EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 1, 0x123456789), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 0x123456789);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 4, 1), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 4, 0), LB_ERR);

  SendMessageA(list, LB_SETCURSEL, 3, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(Count(list), 0);
  EXPECT_EQ(CurSel(list), -1);
  EXPECT_EQ(TopIndex(list), 0);
  EXPECT_TRUE(TakeHostLog().empty());  // programs change the selection silently
}

TEST_F(ListBoxControl, TopIndexGeometryAndItsOwnScrollBars) {
  HWND list = MakeList(LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL, {10, 10, 110, 90});
  const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(h, 8);
  const int fit = 80 / h;
  RECT client{};
  for (int i = 0; i < fit; ++i) Add(list, ("Item " + std::to_string(i)).c_str());
  // As many items as fit: no bar, the client area is the whole control.
  GetClientRect(list, &client);
  EXPECT_EQ(client.Right, 100);

  // While redrawing is off the bars stay as they are.
  Pump();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = fit; i < 20; ++i) Add(list, ("Item " + std::to_string(i)).c_str());
  GetClientRect(list, &client);
  EXPECT_EQ(client.Right, 100);
  EXPECT_TRUE(IsWindowVisible(list)) << "the list keeps its own flag, not the visible bit";
  EXPECT_FALSE(GetUpdateRect(list, nullptr, FALSE)) << "nor does it invalidate itself";
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  GetClientRect(list, &client);
  EXPECT_EQ(client.Right, 100 - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(GetUpdateRect(list, nullptr, FALSE)) << "turned on, it catches up";
  // A closed drop-down list may be updated in a bracket: it stays hidden.
  ShowWindow(list, SW_HIDE);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  EXPECT_FALSE(IsWindowVisible(list));
  ShowWindow(list, SW_SHOWNA);
  SCROLLINFO si{sizeof si, SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 19);
  EXPECT_EQ(static_cast<int>(si.nPage), fit);
  EXPECT_EQ(si.nPos, 0);

  // The top index moves the items and the thumb; it stops where the last
  // item shows at the bottom.
  EXPECT_EQ(SendMessageA(list, LB_SETTOPINDEX, 5, 0), LB_OKAY);
  EXPECT_EQ(TopIndex(list), 5);
  EXPECT_EQ(ItemRectOf(list, 5).Top, 0);
  EXPECT_EQ(ItemRectOf(list, 4).Top, -h);
  EXPECT_EQ(ItemRectOf(list, 7).Bottom, 3 * h);
  GetScrollInfo(list, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 5);
  SendMessageA(list, LB_SETTOPINDEX, 19, 0);
  EXPECT_EQ(TopIndex(list), 20 - fit);
  EXPECT_EQ(SendMessageA(list, LB_SETTOPINDEX, 20, 0), LB_ERR);

  // Points to items: outside every item answers the nearest with the high word set.
  SendMessageA(list, LB_SETTOPINDEX, 2, 0);
  EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 2 * h + 1)), 4);
  EXPECT_EQ(HIWORD(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(500, 1))), 1);

  // The caret item scrolls into view.
  EXPECT_EQ(SendMessageA(list, LB_SETCARETINDEX, 15, 0), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 15);
  EXPECT_EQ(TopIndex(list), 15 - fit + 1);
  EXPECT_EQ(SendMessageA(list, LB_SETCARETINDEX, 20, 0), LB_ERR);

  // Item heights: 1..255.
  EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 256), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_SETITEMHEIGHT, 0, 20), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 20);

  // A horizontal extent wider than the area shows the other bar.
  SendMessageA(list, LB_SETHORIZONTALEXTENT, 300, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 300);
  ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 299);
  GetClientRect(list, &client);
  EXPECT_EQ(static_cast<int>(si.nPage), client.Right);
  EXPECT_EQ(client.Bottom, 80 - GetSystemMetrics(SM_CYHSCROLL));
  SendMessageA(list, WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_EQ(ItemRectOf(list, TopIndex(list)).Left, -(300 - client.Right));
}

// The thumb's position reaches the list through a message with room for
// 16 bits of it: a list of 40,000 items is dragged through by the bar's
// own position, to its end.
TEST_F(ListBoxControl, ItsThumbDraggedPast32767ItemsReachesTheLastOnes) {
  HWND list = MakeList(WS_VSCROLL, {10, 10, 110, 90});
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 40000; ++i) Add(list, "item");
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  Pump();
  RECT wr{};
  GetWindowRect(list, &wr);
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const int x = wr.Right - arrow / 2;
  win::test::MouseMove(POINT{x, wr.Top + arrow + 2});
  win::test::MouseDown();
  win::test::MouseMove(POINT{x, (wr.Top + wr.Bottom) / 2});
  win::test::MouseMove(POINT{x, wr.Bottom - arrow - 2});
  win::test::MouseUp();
  Pump();
  SCROLLINFO si{sizeof si, SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
  EXPECT_EQ(TopIndex(list), si.nMax + 1 - static_cast<int>(si.nPage));
  EXPECT_EQ(si.nPos, TopIndex(list));
  // A program's own thumb message still means the 16 bits it sends.
  SendMessageA(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(TopIndex(list), 3);
}

TEST_F(ListBoxControl, MouseKeysAndWheelMoveTheSelectionAndTellTheParent) {
  HWND list = MakeList();
  for (const char* s : {"apple", "banana", "cherry", "date", "elder", "fig", "grape", "honeydew", "kiwi", "lemon",
                        "mango", "nut"})
    Add(list, s);
  const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(list, LB_SETCURSEL, 3, 0);  // silent

  // A press focuses the list and selects the item under it.
  ClickAt(list, {20, h + 2});
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(CurSel(list), 1);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"LBN_SETFOCUS 7", "LBN_SELCHANGE 7"}));
  session.Win().Clock().Advance(1000);  // not a double click
  ClickAt(list, {20, h + 2});  // the same item again: no change
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>{});

  // Dragging moves the selection with the pointer.
  win::test::MouseMove(list, {20, 2});
  win::test::MouseDown();
  win::test::MouseMove(list, {20, 2 * h + 2});
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(CurSel(list), 2);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"LBN_SELCHANGE 7", "LBN_SELCHANGE 7"}));

  Press(VK_DOWN);
  EXPECT_EQ(CurSel(list), 3);
  Press(VK_END);
  EXPECT_EQ(CurSel(list), 11);
  EXPECT_EQ(TopIndex(list), 12 - 80 / h);
  Press(VK_END);  // already there
  Press(VK_HOME);
  EXPECT_EQ(CurSel(list), 0);
  EXPECT_EQ(TopIndex(list), 0);
  win::test::TypeText("g");
  Pump();
  EXPECT_EQ(CurSel(list), 6);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>(4, "LBN_SELCHANGE 7")));
  SendMessageA(list, LB_SETTOPINDEX, 0, 0);

  // The wheel scrolls three lines a notch; half notches add up.
  win::test::MouseMove(list, {20, 20});
  win::test::Wheel(-120);
  Pump();
  EXPECT_EQ(TopIndex(list), 3);
  win::test::Wheel(-60);
  Pump();
  EXPECT_EQ(TopIndex(list), 3);
  win::test::Wheel(-60);
  Pump();
  EXPECT_EQ(TopIndex(list), 6);
  win::test::Wheel(240);
  Pump();
  EXPECT_EQ(TopIndex(list), 0);
  EXPECT_EQ(CurSel(list), 6);  // the wheel leaves the selection alone

  // A double click tells the parent after the selection.
  session.Win().Clock().Advance(1000);
  win::test::MouseMove(list, {20, 2});
  win::test::MouseDown();
  win::test::MouseUp();
  win::test::MouseDown();
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"LBN_SELCHANGE 7", "LBN_DBLCLK 7"}));
  EXPECT_EQ(SendMessageA(list, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

TEST_F(ListBoxControl, OwnerDrawnItemsAreMeasuredAndDrawnByTheParent) {
  // One height for all, asked once when the control is made.
  HWND fixed = MakeList(LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {10, 10, 110, 90}, 8);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"MEASURE 0"}));
  EXPECT_EQ(SendMessageA(fixed, LB_GETITEMHEIGHT, 0, 0), 10);
  DestroyWindow(fixed);

  // One per item, asked as each comes.
  HWND list = MakeList(LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, {10, 10, 110, 90}, 9);
  Add(list, "a");
  Add(list, "b");
  Add(list, "c");
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 2, 0), 12);
  EXPECT_EQ(ItemRectOf(list, 2).Top, 10 + 11);
  EXPECT_EQ(ItemText(list, 1), "b");
  TakeHostLog();
  UpdateWindow(list);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 0 entire", "DRAW 1 entire", "DRAW 2 entire"}));

  // Clicking item 1: the focus reaches the caret item, then the selection moves.
  ClickAt(list, {5, 12});
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 0 focus focus", "LBN_SETFOCUS 9", "DRAW 0 focus",
                                                     "DRAW 1 select selected focus", "LBN_SELCHANGE 9"}));
  Press(VK_DOWN);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 1 select", "DRAW 2 select selected focus",
                                                     "LBN_SELCHANGE 9"}));
  // Disabling takes the focus away first.
  EnableWindow(list, FALSE);
  UpdateWindow(list);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 2 focus selected disabled", "LBN_KILLFOCUS 9",
                                                     "DRAW 0 entire disabled", "DRAW 1 entire disabled",
                                                     "DRAW 2 entire selected disabled"}));
  // What the parent painted is what shows: item 2 selected in green.
  EXPECT_EQ(PixelAt(list, 50, 10 + 11 + 5), RGB(0, 128, 0));
  EXPECT_EQ(PixelAt(list, 50, 5), RGB(255, 255, 0));

  // Without LBS_HASSTRINGS an item is only its value.
  HWND data = MakeList(LBS_OWNERDRAWFIXED, {200, 10, 300, 90}, 10);
  EXPECT_EQ(SendMessageA(data, LB_ADDSTRING, 0, 0x77), 0);
  EXPECT_EQ(SendMessageA(data, LB_GETITEMDATA, 0, 0), 0x77);
  EXPECT_EQ(SendMessageA(data, LB_FINDSTRING, static_cast<WPARAM>(-1), 0x77), 0);
  EXPECT_EQ(SendMessageA(data, LB_GETTEXTLEN, 0, 0), static_cast<LRESULT>(sizeof(UINT_PTR)));
}

TEST_F(ListBoxControl, SelectionAndFocusArePainted) {
  HWND list = MakeList(LBS_NOTIFY | WS_VSCROLL, {10, 10, 110, 90});
  for (const char* s : {"North", "East", "South", "West"}) Add(list, s);
  const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(list, LB_SETCURSEL, 1, 0);
  UpdateWindow(list);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  Snapshot(list, "ListBoxSelected.png");
  // The selected row in the highlight colour, right to the edge; the others
  // and the space below the last item on the window colour.
  EXPECT_EQ(PixelAt(list, 90, h + h / 2), highlight);
  EXPECT_EQ(PixelAt(list, 0, h), highlight);
  EXPECT_EQ(PixelAt(list, 90, h / 2), window);
  EXPECT_EQ(PixelAt(list, 50, 79), window);
  // Its text in the highlight text colour.
  bool highlightText = false;
  for (int x = 2; x < 40 && !highlightText; ++x)
    for (int y = h; y < 2 * h; ++y) highlightText |= PixelAt(list, x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT);
  EXPECT_TRUE(highlightText);

  // Focused, a dotted rectangle runs round the caret item.
  SetFocus(list);
  Pump();
  Snapshot(list, "ListBoxFocused.png");
  EXPECT_NE(PixelAt(list, 0, h), highlight);
  EXPECT_EQ(PixelAt(list, 1, h), highlight);  // dots alternate
  EXPECT_NE(PixelAt(list, 1, 2 * h - 1), highlight);
  SetFocus(host);
  Pump();
  EXPECT_EQ(PixelAt(list, 0, h), highlight);

  // Disabled, the text greys.
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EnableWindow(list, FALSE);
  UpdateWindow(list);
  Snapshot(list, "ListBoxDisabled.png");
  bool grey = false;
  for (int x = 2; x < 40 && !grey; ++x)
    for (int y = 0; y < h; ++y) grey |= PixelAt(list, x, y) == GetSysColor(COLOR_GRAYTEXT);
  EXPECT_TRUE(grey);
}

inline std::vector<int> Sel(HWND list) { return controls::test::ListSelectedItems(list); }
inline int Caret(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0)); }
inline int Anchor(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETANCHORINDEX, 0, 0)); }

TEST_F(ListBoxControl, ProgramsSelectSeveralItemsThroughTheSelectionMessages) {
  HWND single = MakeList(LBS_NOTIFY, {200, 10, 300, 90}, 8);
  HWND list = MakeList(LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL);
  for (HWND h : {single, list})
    for (const char* s : {"a0", "a1", "a2", "a3", "a4", "a5", "a6"}) Add(h, s);

  // A single selection has no count, list, range or LB_SETSEL; LB_GETSEL
  // still tells of its one item.
  SendMessageA(single, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessageA(single, LB_GETSEL, 2, 0), 1);
  EXPECT_EQ(SendMessageA(single, LB_GETSEL, 1, 0), 0);
  EXPECT_EQ(SendMessageA(single, LB_SETSEL, TRUE, 1), LB_ERR);
  EXPECT_EQ(SendMessageA(single, LB_GETSELCOUNT, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(single, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 3)), LB_ERR);
  EXPECT_EQ(CurSel(single), 2);

  // Several: each item on its own, all at once (-1), bad indexes refused;
  // LB_SETSEL moves the caret and the anchor, LB_SETCURSEL is refused.
  EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 5), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 1), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 7), LB_ERR);
  EXPECT_EQ(Sel(list), (std::vector<int>{1, 5}));
  EXPECT_EQ(Caret(list), 1);
  EXPECT_EQ(Anchor(list), 1);
  EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 3, 0), LB_ERR);
  EXPECT_EQ(CurSel(list), 1);  // the caret item
  EXPECT_EQ(SendMessageA(list, LB_GETSEL, 9, 0), LB_ERR);
  INT first[1] = {-1};
  EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(first)), 1);  // at most as asked
  EXPECT_EQ(first[0], 1);
  SendMessageA(list, LB_SETSEL, TRUE, -1);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 7);
  EXPECT_EQ(Caret(list), 1);  // all at once leaves the caret
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  EXPECT_EQ(Sel(list), std::vector<int>{});

  // Ranges: either order, clipped to the items; the EX form deselects
  // when given backwards.
  SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(4, 2));
  EXPECT_EQ(Sel(list), (std::vector<int>{2, 3, 4}));
  SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(6, 40));
  SendMessageA(list, LB_SELITEMRANGEEX, 4, 3);
  EXPECT_EQ(Sel(list), (std::vector<int>{2, 6}));
  SendMessageA(list, LB_SELITEMRANGEEX, 0, 1);
  EXPECT_EQ(Sel(list), (std::vector<int>{0, 1, 2, 6}));

  // The selection, the caret and the anchor go with their items.
  EXPECT_EQ(SendMessageA(list, LB_SETANCHORINDEX, 2, 0), LB_OKAY);
  EXPECT_EQ(SendMessageA(list, LB_SETANCHORINDEX, 9, 0), LB_ERR);
  SendMessageA(list, LB_SETCARETINDEX, 6, 0);
  SendMessageA(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("new"));
  EXPECT_EQ(Sel(list), (std::vector<int>{0, 2, 3, 7}));
  EXPECT_EQ(Anchor(list), 3);
  EXPECT_EQ(Caret(list), 7);
  SendMessageA(list, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(Sel(list), (std::vector<int>{1, 2, 6}));
  EXPECT_EQ(Anchor(list), 2);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);
  EXPECT_EQ(CurSel(list), LB_ERR);
  EXPECT_TRUE(TakeHostLog().empty());  // programs change the selection silently
}

TEST_F(ListBoxControl, ShiftAndCtrlWithTheMouseAndKeysMakeTheSelectionAPersonWants) {
  HWND list = MakeList(LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL);
  for (int i = 0; i < 12; ++i) Add(list, ("row " + std::to_string(i)).c_str());
  const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  auto row = [h](int i) { return POINT{20, i * h + 2}; };
  auto withKeys = [](std::initializer_list<BYTE> keys, const std::function<void()>& act) {
    for (BYTE k : keys) win::test::KeyDown(k);
    Pump();
    act();
    for (BYTE k : keys) win::test::KeyUp(k);
    Pump();
  };
  auto later = [this] { session.Win().Clock().Advance(1000); };  // no double clicks

  // A click selects one item; Shift-click the range from it; Ctrl-click
  // turns one over and moves the anchor; Ctrl+Shift adds a range.
  ClickAt(list, row(0));
  EXPECT_EQ(Sel(list), std::vector<int>{0});
  later();
  withKeys({VK_SHIFT}, [&] { ClickAt(list, row(2)); });
  EXPECT_EQ(Sel(list), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Caret(list), 2);
  EXPECT_EQ(Anchor(list), 0);
  later();
  withKeys({VK_CONTROL}, [&] { ClickAt(list, row(1)); });
  EXPECT_EQ(Sel(list), (std::vector<int>{0, 2}));
  later();
  withKeys({VK_CONTROL}, [&] { ClickAt(list, row(3)); });
  later();
  withKeys({VK_CONTROL, VK_SHIFT}, [&] { ClickAt(list, row(4)); });
  EXPECT_EQ(Sel(list), (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(Anchor(list), 3);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"LBN_SETFOCUS 7", "LBN_SELCHANGE 7", "LBN_SELCHANGE 7",
                                                     "LBN_SELCHANGE 7", "LBN_SELCHANGE 7", "LBN_SELCHANGE 7"}));

  // Dragging selects the range from the press; back over the start it
  // shrinks to it.
  later();
  win::test::MouseMove(list, row(2));
  win::test::MouseDown();
  win::test::MouseMove(list, row(4));
  Pump();
  EXPECT_EQ(Sel(list), (std::vector<int>{2, 3, 4}));
  win::test::MouseMove(list, row(2));
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(Sel(list), std::vector<int>{2});
  TakeHostLog();

  // Keys: the arrows select the item reached, Shift the range from the
  // anchor, Ctrl moves only the caret and Ctrl+Space turns its item over.
  Press(VK_DOWN);
  EXPECT_EQ(Sel(list), std::vector<int>{3});
  withKeys({VK_SHIFT}, [&] {
    Press(VK_DOWN);
    Press(VK_DOWN);
  });
  EXPECT_EQ(Sel(list), (std::vector<int>{3, 4, 5}));
  withKeys({VK_CONTROL}, [&] {
    Press(VK_DOWN);
    Press(VK_DOWN);
    Press(VK_SPACE);
  });
  EXPECT_EQ(Sel(list), (std::vector<int>{3, 4, 5, 7}));
  EXPECT_EQ(Caret(list), 7);
  withKeys({VK_CONTROL}, [&] { Press(VK_HOME); });
  EXPECT_EQ(Caret(list), 0);
  EXPECT_EQ(Sel(list), (std::vector<int>{3, 4, 5, 7}));
  withKeys({VK_SHIFT}, [&] { Press(VK_END); });  // from the anchor, 7
  EXPECT_EQ(Sel(list), (std::vector<int>{7, 8, 9, 10, 11}));
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>(5, "LBN_SELCHANGE 7"));
  // A typed letter chooses the next item it begins, alone.
  win::test::TypeText("r");
  Pump();
  EXPECT_EQ(Sel(list), std::vector<int>{0});
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>{"LBN_SELCHANGE 7"});

  // A simple multiple selection: each click turns its item over, keys move
  // the caret and Space turns the caret item over.
  HWND simple = MakeList(LBS_NOTIFY | LBS_MULTIPLESEL, {200, 10, 300, 90}, 8);
  for (int i = 0; i < 5; ++i) Add(simple, ("s" + std::to_string(i)).c_str());
  later();
  ClickAt(simple, row(1));
  later();
  withKeys({VK_SHIFT}, [&] { ClickAt(simple, row(3)); });
  EXPECT_EQ(Sel(simple), (std::vector<int>{1, 3}));
  later();
  ClickAt(simple, row(1));
  Press(VK_DOWN);
  Press(VK_DOWN);
  win::test::TypeText("s");  // moves the caret only
  Pump();
  EXPECT_EQ(Sel(simple), std::vector<int>{3});
  EXPECT_EQ(Caret(simple), 4);
  Press(VK_SPACE);
  EXPECT_EQ(Sel(simple), (std::vector<int>{3, 4}));
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"LBN_KILLFOCUS 7", "LBN_SETFOCUS 8", "LBN_SELCHANGE 8",
                                                     "LBN_SELCHANGE 8", "LBN_SELCHANGE 8", "LBN_SELCHANGE 8"}));
}

TEST_F(ListBoxControl, EverySelectedItemIsHighlightedAndTheCaretFramed) {
  HWND list = MakeList(LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, {10, 10, 110, 90});
  for (const char* s : {"North", "East", "South", "West", "Up"}) Add(list, s);
  const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 2));
  SendMessageA(list, LB_SETSEL, TRUE, 4);
  SendMessageA(list, LB_SETCARETINDEX, 3, 0);
  SetFocus(list);
  Pump();
  UpdateWindow(list);
  Snapshot(list, "ListBoxMultipleSelection.png");
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  for (int i : {1, 2, 4}) EXPECT_EQ(PixelAt(list, 90, i * h + h / 2), highlight) << i;
  for (int i : {0, 3}) EXPECT_EQ(PixelAt(list, 90, i * h + h / 2), window) << i;
  // The caret item (not selected) wears the dotted frame.
  EXPECT_NE(PixelAt(list, 0, 3 * h), window);
  EXPECT_EQ(PixelAt(list, 1, 3 * h), window);
  EXPECT_EQ(PixelAt(list, 0, 2 * h), highlight);
}

// A person selects every item of a long list with Shift+End and a program
// clears them one by one: each item costs a step, and only the items in
// view are drawn again.
TEST_F(ListBoxControl, SelectingEveryItemOfALongListDrawsOnlyWhatShows) {
  HWND list = MakeList(LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_OWNERDRAWFIXED | WS_VSCROLL, {10, 10, 110, 90});
  constexpr int kItems = 200000;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kItems; ++i) SendMessageA(list, LB_ADDSTRING, 0, i + 1);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  SetFocus(list);
  Press(VK_HOME);
  TakeHostLog();
  auto draws = [] {
    int n = 0;
    for (const std::string& line : TakeHostLog()) n += line.rfind("DRAW ", 0) == 0;
    return n;
  };
  const int inView = 80 / static_cast<int>(HostItemHeight(0)) + 1;

  win::test::KeyDown(VK_SHIFT);
  Press(VK_END);
  win::test::KeyUp(VK_SHIFT);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), kItems);
  EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), kItems - 1);
  EXPECT_LE(draws(), 3 * inView);

  for (int i = 0; i < kItems; ++i) SendMessageA(list, LB_SETSEL, FALSE, i);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETANCHORINDEX, 0, 0), kItems - 1);
  EXPECT_LE(draws(), 3 * inView);
  EXPECT_EQ(PixelAt(list, 50, 75), RGB(255, 255, 0)) << "the last item shows unselected";
}

}  // namespace
