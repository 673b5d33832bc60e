// The inner list box in its container: typed text selects the first item
// it begins within the delay, Backspace shortens it, the container hears
// the keys and the presses first (in its own coordinates), and the focus in
// the list is the container's.
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxContainer.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/WindowDC.h"
#include "platform/gdi/Gdi.h"

using namespace win;

namespace {

class TListContainer : public TcxContainer {
  ORV_CLASS(TListContainer, TcxContainer)
 public:
  explicit TListContainer(TComponent* AOwner) : TcxContainer(AOwner) {}
  TcxCustomInnerListBox* list = nullptr;
  void AfterConstruction() override {
    TcxContainer::AfterConstruction();
    list = New<TcxCustomInnerListBox>(this);
    list->SetContainer(this);
    list->SetParent(this);
    SetInnerControl(list);
  }
};

class cxInnerListBoxes : public ControlsSession {
 protected:
  TListContainer* c = nullptr;
  TcxCustomInnerListBox* list = nullptr;
  int clicks = 0;
  std::string keys;

  void SetUp() override {
    ControlsSession::SetUp();
    c = Place<TListContainer>({10, 10, 160, 110});
    list = c->list;
    for (const char* s : {"Apple", "Abba", "abacus", "banana", "Bob"}) list->GetItems()->Add(s);
    list->OnClick = [this](TObject*) { ++clicks; };
    c->OnKeyPress = [this](TObject*, char& Key) { keys += Key; };
    ShowForm();
    list->SetFocus();
    win::test::PumpUntilIdle();
  }
  void Type(const std::string& text) {
    win::test::TypeText(text);
    win::test::PumpUntilIdle();
  }
};

}  // namespace

ORV_REGISTER(TListContainer)

TEST_F(cxInnerListBoxes, TypedTextSelectsTheFirstItemItBeginsAndAPauseStartsAgain) {
  Type("ab");
  EXPECT_EQ(list->GetItemIndex(), 1);  // "Abba": letter case does not matter
  EXPECT_EQ(list->GetAutoCompleteFilter(), "ab");
  Type("a");
  EXPECT_EQ(list->GetItemIndex(), 2);  // "abacus"

  win::test::PumpFor(600);
  Type("b");
  EXPECT_EQ(list->GetItemIndex(), 3);  // a new search: "banana"
  Type("o");
  EXPECT_EQ(list->GetItemIndex(), 4);  // "Bob"
  // Nothing matches: the selection stays.
  Type("x");
  EXPECT_EQ(list->GetItemIndex(), 4);
  EXPECT_EQ(list->GetAutoCompleteFilter(), "box");

  win::test::KeyPress(VK_BACK);
  win::test::KeyPress(VK_BACK);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetAutoCompleteFilter(), "b");
  EXPECT_EQ(list->GetItemIndex(), 3);
  win::test::KeyPress(VK_BACK);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetAutoCompleteFilter(), "");
  EXPECT_EQ(list->GetItemIndex(), 0);
  EXPECT_GE(clicks, 6);

  // The container heard every key first; Tab never reaches it as a character.
  EXPECT_EQ(keys, std::string("abab") + "ox\b\b\b");
}

TEST_F(cxInnerListBoxes, TheContainerHearsPressesInItsOwnCoordinatesAndOwnsTheFocus) {
  std::vector<TPoint> presses;
  c->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { presses.push_back({X, Y}); };
  EXPECT_TRUE(c->IsContainerFocused());
  EXPECT_TRUE(c->GetViewInfo()->ContainerState.Contains(csActive));
  EXPECT_EQ(GetcxContainer(list), c);

  win::test::Click(list->GetHandle(), {5, 20});
  win::test::PumpUntilIdle();
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0], TPoint(5 + list->GetLeft(), 20 + list->GetTop()));
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(win::GetFocus(), list->GetHandle());

  EXPECT_TRUE(list->ItemVisible(0));

  // Focus leaving the list leaves the container.
  auto* other = Place<TListContainer>({10, 150, 160, 200});
  other->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_FALSE(c->GetViewInfo()->ContainerState.Contains(csActive));
}

TEST_F(cxInnerListBoxes, TheFocusedItemIsFramedUnlessAnOwnerDrawEventDrawsIt) {
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemIndex(1);
  list->SetFocus();
  win::test::PumpUntilIdle();
  auto pixel = [&](int x, int y) {
    HDC dc = GetDC(list->GetHandle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(list->GetHandle(), dc);
    return static_cast<TColor>(c);
  };
  const TRect item = list->ItemRect(1);
  EXPECT_EQ(pixel(item.Left + 5, item.Top + 8), ColorToRGB(clHighlight));
  EXPECT_NE(pixel(item.Left, item.Top), ColorToRGB(clHighlight));  // the dotted frame

  list->OnDrawItem = [](TWinControl* Control, Integer, TRect Rect, TOwnerDrawState) {
    TCanvas* canvas = static_cast<TCustomListBox*>(Control)->GetCanvas();
    canvas->GetBrush()->SetColor(clRed);
    canvas->FillRect(Rect);
  };
  list->Invalidate();
  win::test::PumpUntilIdle();
  EXPECT_EQ(pixel(item.Left, item.Top), clRed);
  EXPECT_EQ(pixel(item.Right - 1, item.Bottom - 1), clRed);
}

TEST_F(cxInnerListBoxes, TheContainerMayTakeTheWheelBeforeTheListScrolls) {
  for (int i = 0; i < 30; ++i) list->GetItems()->Add("item " + IntToStr(i));
  win::test::PumpUntilIdle();
  bool take = true;
  int heard = 0;
  c->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    ++heard;
    Handled = take;
  };
  win::test::MouseMove(list->ClientToScreen({20, 20}));
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(list->GetTopIndex(), 0);
  take = false;
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(heard, 2);
  EXPECT_GT(list->GetTopIndex(), 0);
}

TEST_F(cxInnerListBoxes, LibraryBarsLieOverTheNativeOnesAndFollowThemOnlyWithRedrawOn) {
  for (int i = 0; i < 30; ++i) list->GetItems()->Add("item " + IntToStr(i));
  win::test::PumpUntilIdle();
  TcxScrollBar* bar = list->GetVScrollBar();
  ASSERT_TRUE(bar->GetVisible());
  EXPECT_FALSE(list->GetHScrollBar()->GetVisible());
  EXPECT_EQ(bar->GetParent(), c);
  SCROLLBARINFO info{};
  ASSERT_TRUE(GetScrollBarInfo(list->GetHandle(), OBJID_VSCROLL, &info));
  const TPoint topLeft = c->ScreenToClient({info.rcScrollBar.Left, info.rcScrollBar.Top});
  EXPECT_EQ(bar->GetBoundsRect().TopLeft(), topLeft);
  EXPECT_EQ(bar->GetMax(), 34);  // 35 items, indexes 0..34
  const Integer page = bar->GetPageSize();
  EXPECT_GT(page, 0);

  SendMessageA(list->GetHandle(), WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 10; ++i) list->GetItems()->Add("more " + IntToStr(i));
  EXPECT_EQ(bar->GetMax(), 34);
  SendMessageA(list->GetHandle(), WM_SETREDRAW, TRUE, 0);
  EXPECT_EQ(bar->GetMax(), 44);

  // Scrolling with the library bar moves the list.
  Integer pos = 3;
  bar->OnScroll(bar, scLineDown, pos);
  EXPECT_EQ(list->GetTopIndex(), 3);

  // A native bar partly outside the container is not covered.
  list->SetBoundsRect({2, 2, 200, 60});
  EXPECT_FALSE(bar->GetVisible());
}

TEST_F(cxInnerListBoxes, AContainerDraggedAutomaticallyIsDraggedFromItsListAfterTheItemIsChosen) {
  auto* bin = Place<TcxContainer>({200, 10, 300, 110});
  std::vector<std::string> log;
  bin->OnDragOver = [&](TObject*, TObject* src, Integer, Integer, TDragState, bool& accept) {
    accept = src == c;
  };
  bin->OnDragDrop = [&](TObject*, TObject* src, Integer, Integer) {
    log.push_back(src == c ? "bin took the container" : "bin took something else");
  };
  c->OnEndDrag = [&](TObject*, TObject* target, Integer, Integer) {
    log.push_back(target == bin ? "container ended on bin" : "container ended elsewhere");
  };
  c->SetDragMode(dmAutomatic);
  // The list follows the container's settings.
  EXPECT_EQ(list->GetDragMode(), dmAutomatic);
  c->SetDragKind(dkDock);
  EXPECT_EQ(list->GetDragKind(), dkDock);
  c->SetDragKind(dkDrag);

  win::test::OnNextModalLoop([&] {
    EXPECT_TRUE(c->Dragging());
    EXPECT_FALSE(list->Dragging());
    win::test::MouseMove(bin->ClientToScreen({20, 20}));
    win::test::PumpUntilIdle();
    win::test::MouseMove(bin->ClientToScreen({22, 22}));
    win::test::MouseUp();
  });
  win::test::MouseMove(list->ClientToScreen({5, 20}));
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  // The press chose its item before the drag began.
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"bin took the container", "container ended on bin"}));
  EXPECT_EQ(list->GetDragMode(), dmAutomatic);
  EXPECT_EQ(CurrentDragObject(), nullptr);

  // Back in manual mode a press only chooses.
  c->SetDragMode(dmManual);
  EXPECT_EQ(list->GetDragMode(), dmManual);
  win::test::Click(list->GetHandle(), {5, 35});
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetItemIndex(), 2);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(cxInnerListBoxes, InAMultipleSelectionAPressOnASelectedItemDragsTheSelectionAsItIs) {
  std::vector<std::string> log;
  c->OnStartDrag = [&](TObject*, TObject*&) {
    std::string line = "drag with";
    for (Integer i = 0; i < list->GetCount(); ++i)
      if (list->GetSelected(i)) line += " " + std::to_string(i);
    log.push_back(line);
  };
  c->SetDragMode(dmAutomatic);
  list->SetMultiSelect(true);
  list->SetSelected(1, true);
  list->SetSelected(2, true);
  win::test::PumpUntilIdle();
  const Integer h = list->ItemRect(1).Top;
  auto press = [&](Integer AItem, std::initializer_list<BYTE> AKeys) {
    for (BYTE k : AKeys) win::test::KeyDown(k);
    win::test::PumpUntilIdle();
    // A drag that starts ends at once where it began.
    win::test::OnNextModalLoop([] { win::test::MouseUp(); });
    win::test::MouseMove(list->ClientToScreen({5, AItem * h + 2}));
    win::test::MouseDown();
    win::test::PumpUntilIdle();
    win::test::MouseUp();
    for (BYTE k : AKeys) win::test::KeyUp(k);
    win::test::PumpUntilIdle();
    win::test::PumpFor(1000);  // no double clicks
  };
  // On a selected item the selection is dragged as it is.
  press(2, {});
  EXPECT_EQ(log, std::vector<std::string>{"drag with 1 2"});
  press(1, {VK_CONTROL});
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1], "drag with 1 2");
  // Shift or Ctrl on an item not selected changes the selection only.
  press(4, {VK_SHIFT});
  press(0, {VK_CONTROL});
  EXPECT_EQ(log.size(), 2u);
  // A plain press on an item not selected chooses it, then drags it.
  press(1, {});
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[2], "drag with 1");

  // Typing chooses the item found, alone.
  list->SetSelected(0, true);
  Type("bo");
  EXPECT_EQ(list->GetSelCount(), 1);
  EXPECT_TRUE(list->GetSelected(4));
  EXPECT_EQ(list->GetItemIndex(), 4);
}
