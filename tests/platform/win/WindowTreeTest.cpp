// Questions about the window tree: parents, owners and ancestors, the
// z-order of owned and topmost windows, what the back end hears of owners,
// and what a position or a style write may carry.
#include <climits>

#include "platform/win/TestHooks.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

class Tree : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  void SetUp() override { RegisterRecorderClass(); }

  HWND Make(const char* name, DWORD style, HWND parentOrOwner = nullptr, DWORD ex = 0) {
    return CreateWindowExA(ex, "Recorder", name, style, 10, 10, 200, 150, parentOrOwner, nullptr, nullptr, nullptr);
  }
};

TEST_F(Tree, ParentsOwnersAndAncestorsFollowStylesAndTheOwnerChain) {
  HWND top = Make("Top", WS_OVERLAPPEDWINDOW);
  HWND popup = Make("Popup", WS_POPUP, top);
  HWND overlapped = Make("Overlapped", WS_OVERLAPPED, top);
  HWND second = Make("Second", WS_POPUP, popup);
  HWND child = Make("Child", WS_CHILD, top);

  // The parent slot holds the owner of a top-level window, the parent of a child.
  EXPECT_EQ(GetWindowLongPtrA(popup, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(top));
  EXPECT_EQ(GetWindowLongPtrA(overlapped, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(top));
  EXPECT_EQ(GetWindowLongPtrA(top, GWLP_HWNDPARENT), 0);
  EXPECT_EQ(GetWindowLongPtrA(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(top));

  // GetParent names an owner only for a popup.
  EXPECT_EQ(GetParent(popup), top);
  EXPECT_EQ(GetParent(overlapped), nullptr);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), top);
  EXPECT_EQ(GetParent(top), nullptr);
  EXPECT_EQ(GetParent(child), top);

  EXPECT_EQ(GetAncestor(second, GA_ROOTOWNER), top);  // the whole chain, not its first link
  EXPECT_EQ(GetAncestor(second, GA_ROOT), second);
  EXPECT_EQ(GetAncestor(second, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(child, GA_ROOTOWNER), top);

  // The root follows the window to its new tree.
  HWND grand = Make("Grand", WS_CHILD, child);
  HWND other = Make("Other", WS_POPUP);
  EXPECT_EQ(GetAncestor(grand, GA_ROOT), top);
  SetParent(child, other);
  EXPECT_EQ(GetAncestor(grand, GA_ROOT), other);
  EXPECT_EQ(GetAncestor(grand, GA_PARENT), child);
  SetParent(child, nullptr);
  EXPECT_EQ(GetAncestor(grand, GA_ROOT), child);
  EXPECT_EQ(GetAncestor(child, GA_PARENT), GetDesktopWindow());
}

TEST_F(Tree, OwnedWindowsStayInFrontOfTheirOwnerAndTheOrderReadsBothWays) {
  HWND owner = Make("Owner", WS_POPUP | WS_VISIBLE);
  HWND owned = Make("Owned", WS_POPUP | WS_VISIBLE, owner);
  HWND other = Make("Other", WS_POPUP | WS_VISIBLE);
  HWND pinned = Make("Pinned", WS_POPUP | WS_VISIBLE, nullptr, WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(other, GW_HWNDPREV), pinned);
  EXPECT_EQ(GetWindow(pinned, GW_HWNDPREV), nullptr);

  // Raising the owner brings the owned window along, still in front of it.
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(owner, GW_HWNDPREV), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDPREV), pinned);
  EXPECT_EQ(GetWindow(other, GW_HWNDPREV), owner);
  // Sending the owned window to the bottom cannot put it behind its owner.
  SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(owner, GW_HWNDPREV), owned);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
}

TEST_F(Tree, RaisingAnOwnerBringsEveryWindowItOwnsAlongInFrontOfIt) {
  HWND owner = Make("Owner", WS_POPUP | WS_VISIBLE);
  std::vector<HWND> owned;
  for (int i = 0; i < 12; ++i) owned.push_back(Make("Owned", WS_POPUP | WS_VISIBLE, owner));
  HWND onOwned = Make("OnOwned", WS_POPUP | WS_VISIBLE, owned.back());
  HWND other = Make("Other", WS_POPUP | WS_VISIBLE);
  auto order = [] {
    std::vector<HWND> out;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    return out;
  };
  // Made last, the owned windows lie in front in the order they came; a
  // window owned by one of them in front of that one.
  std::vector<HWND> expected{other, onOwned};
  expected.insert(expected.end(), owned.rbegin(), owned.rend());
  expected.push_back(owner);
  EXPECT_EQ(order(), expected);
  // Raised, the owner brings all of them, each kept in its place among
  // them, however many it owns.
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  expected.erase(expected.begin());
  expected.push_back(other);
  EXPECT_EQ(order(), expected);
}

// A window manager keeps an owned window above its owner, and gives a
// modal one the focus meant for the waiting owner: the back end hears the
// owner's top-level surface and the modal state whenever either changes.
// Walking the children one by one answers the order as it is at each step,
// also after children came, went or changed places behind the walk.
TEST_F(Tree, WalkingSiblingsFollowsTheOrderAsItChanges) {
  HWND parent = Make("Parent", WS_OVERLAPPEDWINDOW);
  std::vector<HWND> kids;
  for (int i = 0; i < 6; ++i) kids.push_back(Make("Kid", WS_CHILD, parent));
  auto walk = [&] {
    std::vector<HWND> seen;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) seen.push_back(h);
    return seen;
  };
  auto backwards = [&] {
    std::vector<HWND> seen;
    for (HWND h = GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDLAST); h; h = GetWindow(h, GW_HWNDPREV))
      seen.insert(seen.begin(), h);
    return seen;
  };
  // Children stand in the order they were made.
  const std::vector<HWND> made = kids;
  EXPECT_EQ(walk(), made);

  // The first goes, one comes at the end, the last moves to the top.
  DestroyWindow(made[0]);
  HWND newcomer = Make("Newcomer", WS_CHILD, parent);
  SetWindowPos(made[5], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const std::vector<HWND> now{made[5], made[1], made[2], made[3], made[4], newcomer};
  EXPECT_EQ(walk(), now);
  EXPECT_EQ(backwards(), now);
  EXPECT_EQ(GetWindow(made[2], GW_HWNDNEXT), made[3]);
  EXPECT_EQ(GetWindow(made[2], GW_HWNDPREV), made[1]);
  EXPECT_EQ(GetWindow(newcomer, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(made[5], GW_HWNDPREV), nullptr);
}

TEST_F(Tree, TheBackEndHearsEachSurfacesOwnerAndWhetherItIsModalToIt) {
  HWND main = Make("Main", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE);
  HWND inner = Make("Inner", WS_CHILD | WS_VISIBLE, main);
  HWND dialog = Make("Dialog", WS_POPUP | WS_CAPTION);
  const SurfaceId mainSurface = detail::Peek(main)->surface;
  auto heard = [&](HWND h) {
    const HeadlessBackEnd::Surface* s = session.Screen().Find(detail::Peek(h)->surface);
    return std::make_pair(s->options.owner, s->modal);
  };
  using Heard = std::pair<SurfaceId, bool>;
  EXPECT_EQ(heard(dialog), (Heard{0, false}));
  // Owned through the parent slot by a child: its top-level window's surface.
  SetWindowLongPtrA(dialog, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(inner));
  EXPECT_EQ(heard(dialog), (Heard{mainSurface, false}));
  // Modal while the owner waits and the window itself does not.
  EnableWindow(main, FALSE);
  EXPECT_EQ(heard(dialog), (Heard{mainSurface, true}));
  EnableWindow(dialog, FALSE);
  EXPECT_EQ(heard(dialog), (Heard{mainSurface, false}));
  EnableWindow(dialog, TRUE);
  EXPECT_EQ(heard(dialog), (Heard{mainSurface, true}));
  SetWindowLongPtrA(main, GWL_STYLE, GetWindowLongPtrA(main, GWL_STYLE) & ~LONG_PTR{WS_DISABLED});
  EXPECT_EQ(heard(dialog), (Heard{mainSurface, false})) << "a style write enables as well";
  // Made over a waiting owner: modal from the start.
  EnableWindow(main, FALSE);
  HWND box = Make("Box", WS_POPUP | WS_CAPTION, main);
  EXPECT_EQ(heard(box), (Heard{mainSurface, true}));
  // Let go: nobody's.
  SetWindowLongPtrA(dialog, GWLP_HWNDPARENT, 0);
  EXPECT_EQ(heard(dialog), (Heard{0, false}));
}

TEST_F(Tree, PositionsAreClampedTo16BitsAndTheMinimizedBitIsNoStyleToWrite) {
  HWND top = Make("Top", WS_POPUP | WS_VISIBLE);
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, top);
  WINDOWPOS seen{};
  std::vector<STYLESTRUCT> styles;
  rec.handlers["C"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) seen = *reinterpret_cast<WINDOWPOS*>(l);
    if (m == WM_STYLECHANGING || m == WM_STYLECHANGED) styles.push_back(*reinterpret_cast<STYLESTRUCT*>(l));
    return std::nullopt;
  };
  SetWindowPos(c, nullptr, 40000, -40000, 70000, 5, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(seen.x, 32767);
  EXPECT_EQ(seen.y, -32768);
  EXPECT_EQ(seen.cx, 32767);
  MoveWindow(c, -70000, 3, 10, 10, FALSE);
  EXPECT_EQ(seen.x, -32768);

  // A style write carries every bit it asks for, the minimized one too.
  DWORD before = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
  SetWindowLongA(c, GWL_STYLE, static_cast<LONG>(before | WS_MINIMIZE | WS_BORDER));
  ASSERT_EQ(styles.size(), 2u);
  for (const STYLESTRUCT& s : styles) EXPECT_EQ(s.styleNew, before | WS_MINIMIZE | WS_BORDER);
  EXPECT_TRUE(IsIconic(c));
  SetWindowLongA(c, GWL_STYLE, static_cast<LONG>(before));
  EXPECT_FALSE(IsIconic(c));
}

TEST_F(Tree, PlacesGivenAtCreationOrAnsweredByHandlersKeepToTheSameRange) {
  // Made at the ends of the integers, a window lands at the ends of the
  // range (a top-level one no larger than the screen can show).
  HWND far = CreateWindowExA(0, "Recorder", "Far", WS_POPUP, INT_MAX, INT_MIN, INT_MAX, 10, nullptr, nullptr,
                             nullptr, nullptr);
  RECT r{};
  ASSERT_TRUE(GetWindowRect(far, &r));
  EXPECT_EQ(r, (RECT{32767, -32768, 32767 + 1032, -32758}));

  // A handler moving or sizing the window past the range is held to it as
  // the caller was.
  HWND moved = Make("Moved", WS_POPUP | WS_VISIBLE);
  rec.handlers["Moved"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(l);
      wp->x = INT_MAX;
      wp->cx = INT_MAX;
    }
    return std::nullopt;
  };
  SetWindowPos(moved, nullptr, 5, 5, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(GetWindowRect(moved, &r));
  EXPECT_EQ(r, (RECT{32767, 5, 32767 + 1032, 15}));

  // So is the client area a handler answers: the children's places on the
  // screen are sums along the chain of parents.
  HWND framed = Make("Framed", WS_POPUP | WS_VISIBLE);
  rec.handlers["Framed"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_NCCALCSIZE && w) {
      reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0] = RECT{INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX};
      return 0;
    }
    return std::nullopt;
  };
  SetWindowPos(framed, nullptr, 5, 5, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND inner = Make("Inner", WS_CHILD | WS_VISIBLE, framed);
  ASSERT_TRUE(GetWindowRect(inner, &r));
  EXPECT_EQ(r, (RECT{65544, 65544, 65744, 65694}));
  GetClientRect(framed, &r);
  EXPECT_EQ(r, (RECT{0, 0, 0, 0}));
}

TEST_F(Tree, ParentAndOwnerFollowTheCurrentStyleAndTheParentSlot) {
  HWND top = Make("Top", WS_OVERLAPPEDWINDOW);
  HWND other = Make("Other", WS_OVERLAPPEDWINDOW);
  HWND popup = Make("Popup", WS_POPUP, top);
  HWND child = Make("Child", WS_CHILD, top);
  HWND inner = Make("Inner", WS_CHILD, child);
  // A popup made a child names its (desktop) parent; a child made a popup
  // names its owner, of which it has none.
  SetWindowLongA(popup, GWL_STYLE, static_cast<LONG>(WS_CHILD));
  EXPECT_EQ(GetParent(popup), GetDesktopWindow());
  SetWindowLongA(popup, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_CHILD));
  EXPECT_EQ(GetParent(popup), top) << "a popup names its owner even with the child bit";
  SetWindowLongA(child, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(GetParent(child), nullptr);
  SetWindowLongA(child, GWL_STYLE, static_cast<LONG>(WS_CHILD));
  // The root owner is where GetParent leads from the window itself.
  EXPECT_EQ(GetAncestor(inner, GA_ROOTOWNER), top);
  HWND owned = Make("Owned", WS_OVERLAPPED, top);
  HWND onOwned = Make("OnOwned", WS_POPUP, owned);
  EXPECT_EQ(GetAncestor(onOwned, GA_ROOTOWNER), owned) << "an owned overlapped window names no parent";

  // The parent slot of a child re-parents it; of a top-level window it is
  // the owner exactly as given, a child window included.
  EXPECT_EQ(SetWindowLongPtrA(inner, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(other)),
            reinterpret_cast<LONG_PTR>(child));
  EXPECT_EQ(GetAncestor(inner, GA_PARENT), other);
  SetWindowLongPtrA(popup, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  SetWindowLongPtrA(popup, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(child));
  EXPECT_EQ(GetWindow(popup, GW_OWNER), child);
  EXPECT_EQ(GetWindowLongPtrA(popup, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(child));
  // SetParent keeps the owner, in and out of the desktop.
  SetParent(popup, other);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), child);
  EXPECT_EQ(GetWindowLongPtrA(popup, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(other));
  DestroyWindow(child);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), nullptr) << "a destroyed owner is forgotten";
  // Owned windows go with the owner they have now, however it became theirs.
  HWND first = Make("First", WS_POPUP), second = Make("Second", WS_POPUP);
  HWND handed = Make("Handed", WS_POPUP, first);
  SetWindowLongPtrA(handed, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(second));
  DestroyWindow(first);
  EXPECT_TRUE(IsWindow(handed));
  DestroyWindow(second);
  EXPECT_FALSE(IsWindow(handed));

  // A popup child without a parent is a popup; a child of the desktop is made.
  HWND both = Make("Both", WS_POPUP | WS_CHILD);
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(GetAncestor(both, GA_PARENT), GetDesktopWindow());
  HWND onDesktop = Make("OnDesktop", WS_CHILD, GetDesktopWindow());
  ASSERT_NE(onDesktop, nullptr);
  EXPECT_EQ(GetParent(onDesktop), GetDesktopWindow());
  // Enumerating the children of a window that has none answers FALSE.
  auto count = [](HWND, LPARAM) -> BOOL { return TRUE; };
  EXPECT_FALSE(EnumChildWindows(onDesktop, count, 0));
  EXPECT_TRUE(EnumChildWindows(other, count, 0));
}

}  // namespace
