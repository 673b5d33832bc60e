// The container control on the headless screen: the style of each state
// chosen by priority, hot tracking under the pointer, borders and shadows
// by pixels, the inner control laid over the client area and clipped when
// it sticks out, and focus moved on by Tab.
#include "ControlsSession.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/DragImageList.h"
#include "platform/win/Caret.h"
#include "library/foundation/cxContainer.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowRegion.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Metrics.h"
#include <algorithm>
#include <string>
#include "platform/gdi/Gdi.h"
#include "platform/win/Queue.h"

using namespace win;

namespace {

// A plain windowed control standing in for a native one.
class TInnerBox : public TCustomControl {
  ORV_CLASS(TInnerBox, TCustomControl)
 public:
  explicit TInnerBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::vector<Word> keys;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    keys.push_back(Key);
    TCustomControl::KeyDown(Key, Shift);
  }
};

// A windowed control with a native vertical bar: one line per line of its
// text, four lines to a page, scrolled by WM_VSCROLL.
class TLinesBox : public TCustomControl {
  ORV_CLASS(TLinesBox, TCustomControl)
 public:
  explicit TLinesBox(TComponent* AOwner) : TCustomControl(AOwner) {}

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
  }
  void WndProc(TMessage& Message) override {
    TCustomControl::WndProc(Message);
    if (Message.Msg == WM_SETTEXT) {
      const std::string text = reinterpret_cast<const char*>(Message.LParam);
      SCROLLINFO info{};
      info.fMask = SIF_RANGE | SIF_PAGE;
      info.nMax = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
      info.nPage = 4;
      SetScrollInfo(GetHandle(), SB_VERT, &info, true);
    } else if (Message.Msg == WM_VSCROLL && LOWORD(Message.WParam) == SB_LINEDOWN) {
      SetScrollPos(GetHandle(), SB_VERT, GetScrollPos(GetHandle(), SB_VERT) + 1, true);
    }
  }
};

// An inner control of the kind editors host: it knows its container, has
// both native bars, a drag image of its own (a red square) and logs a
// cancelled drag.
class TImageBox : public TCustomControl, public IcxContainerInnerControl {
  ORV_CLASS(TImageBox, TCustomControl)
 public:
  explicit TImageBox(TComponent* AOwner) : TCustomControl(AOwner) {
    images = New<TDragImageList>(this);
    images->SetWidth(8);
    images->SetHeight(8);
    TBitmap* red = New<TBitmap>();
    red->SetSize(8, 8);
    red->GetCanvas()->GetBrush()->SetColor(clRed);
    red->GetCanvas()->FillRect(TRect{0, 0, 8, 8});
    images->Add(red, nullptr);
    red->Free();
  }
  TcxContainer* container = nullptr;
  TDragImageList* images = nullptr;
  std::vector<std::string> log;
  TcxContainer* GetControlContainer() override { return container; }
  TWinControl* GetControl() override { return this; }
  TDragImageList* GetDragImages() override { return images; }
  void DragCanceled() override { log.push_back("inner drag cancelled"); }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL | WS_HSCROLL;
  }
};

// A popup menu that records where it was asked to open.
class TPlaceMenu : public TComponent, public IcxPopupMenu {
  ORV_CLASS(TPlaceMenu, TComponent)
 public:
  explicit TPlaceMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<TPoint> at;
  bool IsShortCut(TMessage&) override { return false; }
  void Popup(Integer X, Integer Y) override { at.push_back({X, Y}); }
};

class TTestContainer : public TcxContainer {
  ORV_CLASS(TTestContainer, TcxContainer)
 public:
  explicit TTestContainer(TComponent* AOwner) : TcxContainer(AOwner) {}
  void Host(TWinControl* AControl) {
    AControl->SetParent(this);
    SetInnerControl(AControl);
    ShortRefreshContainer(false);
  }
  void Scale(Integer M, Integer D) { ChangeScale(M, D); }
};

class cxContainers : public ControlsSession {
 protected:
  // What the screen shows at a client point of a control.
  TColor Shown(TControl* c, int x, int y) {
    win::test::PumpUntilIdle();
    TPoint s = c->ClientToScreen({x, y});
    win::RECT wr;
    win::GetWindowRect(form->GetHandle(), &wr);
    const auto* surface = session.Win().Screen().Find(win::detail::Peek(form->GetHandle())->surface);
    if (!surface) return clNone;
    std::size_t i = (static_cast<std::size_t>(s.Y - wr.Top) * static_cast<std::size_t>(surface->rect.Width()) +
                     static_cast<std::size_t>(s.X - wr.Left)) * 4;
    return static_cast<TColor>(win::RGB(surface->pixels[i + 2], surface->pixels[i + 1], surface->pixels[i]));
  }
  void Hover(TControl* c, int x, int y) {
    win::test::MouseMove(c->ClientToScreen({x, y}));
    win::test::PumpUntilIdle();
  }
  static TColor RGBOf(TColor c) { return ColorToRGB(c); }
};

}  // namespace

ORV_REGISTER(TInnerBox)
ORV_REGISTER(TTestContainer)
ORV_REGISTER(TLinesBox)
ORV_REGISTER(TImageBox)
ORV_REGISTER(TPlaceMenu)

TEST_F(cxContainers, DisabledWinsOverFocusedAndFocusedOverHot) {
  form->SetColor(clBtnFace);
  auto* c = Place<TTestContainer>({10, 10, 110, 40});
  auto* other = Place<TTestContainer>({10, 60, 110, 90});
  ShowForm();
  c->GetStyleHot()->SetColor(clYellow);
  c->GetStyleFocused()->SetColor(clAqua);
  c->GetStyleDisabled()->SetColor(clSilver);
  other->SetFocus();

  Hover(c, 50, 15);
  EXPECT_TRUE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyleHot());
  EXPECT_EQ(Shown(c, 50, 15), clYellow);

  c->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_EQ(c->GetViewInfo()->ContainerState, (TcxContainerState{csActive, csHotTrack}));
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyleFocused());
  EXPECT_EQ(Shown(c, 50, 15), clAqua);

  other->SetFocus();
  c->SetEnabled(false);
  win::test::PumpUntilIdle();
  EXPECT_EQ(c->GetViewInfo()->ContainerState, TcxContainerState{csDisabled});
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyleDisabled());
  EXPECT_EQ(Shown(c, 50, 15), clSilver);
}

TEST_F(cxContainers, HotTrackingNeedsAFreePointerAndEndsWhenItLeaves) {
  auto* c = Place<TTestContainer>({10, 10, 110, 40});
  auto* other = Place<TTestContainer>({10, 60, 110, 90});
  ShowForm();
  other->SetFocus();
  Hover(c, 50, 15);
  win::test::MouseDown();
  Hover(c, 52, 15);
  EXPECT_FALSE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
  win::test::MouseUp();
  Hover(c, 54, 15);
  EXPECT_TRUE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
  EXPECT_EQ(c->GetViewInfo()->HotState, chsSelected);

  // Leaving the control, or moving onto its transparent border, ends it.
  Hover(c, 0, 0);
  win::test::PumpFor(50);
  EXPECT_FALSE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
  Hover(c, 50, 15);
  EXPECT_TRUE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
  Hover(form, 300, 200);
  win::test::PumpFor(50);
  // The press focused it; the focus stays, the hot state goes.
  EXPECT_EQ(c->GetViewInfo()->ContainerState, TcxContainerState{csActive});
  other->SetFocus();

  c->GetStyle()->SetHotTrack(false);
  Hover(c, 50, 15);
  EXPECT_EQ(c->GetViewInfo()->HotState, chsNoHotTrack);
  EXPECT_EQ(c->GetActiveStyle(), c->GetStyle());
}

TEST_F(cxContainers, AnUltraFlatBorderIsGreyAndTurnsHighlightWhenFocused) {
  form->SetColor(clOlive);
  auto* c = Place<TTestContainer>({10, 10, 110, 40});
  auto* other = Place<TTestContainer>({10, 60, 110, 90});
  ShowForm();
  other->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_EQ(c->GetStyle()->GetBorderStyle(), cbsUltraFlat);
  EXPECT_EQ(c->GetBorderExtent(), TRect(2, 2, 2, 2));
  EXPECT_EQ(c->GetViewInfo()->ContainerBorderStyle, cbsSingle);
  EXPECT_EQ(c->GetViewInfo()->ClientRect, TRect(2, 2, 98, 28));
  // One pixel of transparent border lets the form show through.
  EXPECT_EQ(Shown(c, 0, 0), clOlive);
  EXPECT_EQ(Shown(c, 1, 1), RGBOf(clBtnShadow));
  EXPECT_EQ(Shown(c, 98, 28), RGBOf(clBtnShadow));
  EXPECT_EQ(Shown(c, 2, 2), RGBOf(clWindow));
  EXPECT_EQ(Shown(c, 99, 29), clOlive);

  c->SetFocus();
  EXPECT_EQ(Shown(c, 1, 1), RGBOf(clHighlight));
  EXPECT_TRUE(session.Win().Screen().SavePng(win::detail::Peek(form->GetHandle())->surface, "container.png"));

  // Without a transparent border the frame takes the edge itself.
  c->GetStyle()->SetTransparentBorder(false);
  EXPECT_EQ(c->GetBorderExtent(), TRect(1, 1, 1, 1));
  EXPECT_EQ(Shown(c, 0, 0), RGBOf(clHighlight));

  // A border style of none keeps the transparent two pixels.
  c->GetStyle()->SetTransparentBorder(true);
  c->GetStyle()->SetBorderStyle(cbsNone);
  EXPECT_EQ(c->GetBorderExtent(), TRect(2, 2, 2, 2));
}

TEST_F(cxContainers, AShadowReservesThreePixelsOutsideTheVisibleBounds) {
  form->SetColor(clOlive);
  auto* c = Place<TTestContainer>({10, 10, 110, 40});
  ShowForm();
  c->GetStyle()->SetShadow(true);
  win::test::PumpUntilIdle();
  EXPECT_EQ(c->GetBorderExtent(), TRect(2, 2, 5, 5));
  EXPECT_EQ(c->GetVisibleBounds(), TRect(1, 1, 96, 26));
  EXPECT_EQ(Shown(c, 96, 10), RGBOf(clBtnShadow));
  EXPECT_EQ(Shown(c, 10, 26), RGBOf(clBtnShadow));
  EXPECT_EQ(Shown(c, 2, 26), clOlive);  // the shadow starts 3 pixels in
  EXPECT_EQ(Shown(c, 95, 25), RGBOf(clHighlight));  // the border's corner, focused as the first control
  Hover(c, 97, 20);
  EXPECT_FALSE(c->GetViewInfo()->ContainerState.Contains(csHotTrack));
}

TEST_F(cxContainers, TheInnerControlFillsTheClientAreaAndIsClippedWhenItSticksOut) {
  auto* c = Place<TTestContainer>({10, 10, 110, 40});
  auto* inner = New<TInnerBox>(c);
  c->Host(inner);
  ShowForm();
  EXPECT_EQ(inner->GetBoundsRect(), c->GetViewInfo()->ClientRect);
  EXPECT_EQ(inner->GetColor(), clWindow);
  win::HRGN rgn = win::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(win::GetWindowRgn(inner->GetHandle(), rgn), ERROR);

  // Sticking out of the control: cut to the part inside it.
  inner->SetBoundsRect({50, 5, 150, 20});
  EXPECT_NE(win::GetWindowRgn(inner->GetHandle(), rgn), ERROR);
  win::RECT box;
  win::GetRgnBox(rgn, &box);
  EXPECT_EQ(TRect(box.Left, box.Top, box.Right, box.Bottom), TRect(0, 0, 50, 15));
  inner->SetBoundsRect({5, 5, 50, 20});
  EXPECT_EQ(win::GetWindowRgn(inner->GetHandle(), rgn), ERROR);
  win::DeleteObject(rgn);

  // As a compound control, the window that holds the keyboard is the
  // inner control's; a container without one holds it itself.
  auto* compound = dynamic_cast<IcxCompoundControl*>(static_cast<TcxContainer*>(c));
  ASSERT_NE(compound, nullptr);
  EXPECT_EQ(compound->GetActiveControl(), inner);
  auto* alone = Place<TTestContainer>({10, 60, 110, 90});
  EXPECT_EQ(dynamic_cast<IcxCompoundControl*>(static_cast<TcxContainer*>(alone))->GetActiveControl(), alone);

  // The inner control takes the state's colour, and the focus.
  c->GetStyleFocused()->SetColor(clAqua);
  c->SetFocus();
  win::test::PumpUntilIdle();
  EXPECT_EQ(win::GetFocus(), compound->GetActiveControl()->GetHandle());
  EXPECT_TRUE(c->IsContainerFocused());
  EXPECT_EQ(inner->GetColor(), clAqua);
}

TEST_F(cxContainers, TabAndShiftTabMoveOnFromTheContainerButCtrlTabDoesNot) {
  auto* a = Place<TTestContainer>({10, 10, 110, 40});
  auto* b = Place<TTestContainer>({10, 60, 110, 90});
  auto* last = Place<TInnerBox>({10, 110, 110, 140});
  auto* innerA = New<TInnerBox>(a);
  a->Host(innerA);
  auto* innerB = New<TInnerBox>(b);
  b->Host(innerB);
  ShowForm();
  a->SetFocus();
  win::test::PumpUntilIdle();
  ASSERT_EQ(win::GetFocus(), innerA->GetHandle());

  // Keys sent to the container reach its inner control.
  win::SendMessageA(a->GetHandle(), WM_KEYDOWN, 'Q', 0);
  EXPECT_EQ(innerA->keys, std::vector<Word>{'Q'});

  win::test::KeyPress(VK_TAB);
  win::test::PumpUntilIdle();
  EXPECT_EQ(win::GetFocus(), innerB->GetHandle());
  EXPECT_TRUE(b->IsContainerFocused());
  EXPECT_FALSE(a->IsContainerFocused());

  win::test::KeyDown(VK_CONTROL);
  win::test::KeyPress(VK_TAB);
  win::test::KeyUp(VK_CONTROL);
  win::test::PumpUntilIdle();
  EXPECT_EQ(win::GetFocus(), innerB->GetHandle());

  win::test::KeyPress(VK_TAB);
  win::test::PumpUntilIdle();
  EXPECT_EQ(win::GetFocus(), last->GetHandle());

  win::test::KeyDown(VK_SHIFT);
  win::test::KeyPress(VK_TAB);
  win::test::KeyPress(VK_TAB);
  win::test::KeyUp(VK_SHIFT);
  win::test::PumpUntilIdle();
  EXPECT_EQ(win::GetFocus(), innerA->GetHandle());
}

TEST_F(cxContainers, ScalingReachesAFontTheStyleSetsButNotOneItLends) {
  auto* own = Place<TTestContainer>({10, 10, 110, 40});
  auto* lent = Place<TTestContainer>({10, 60, 110, 90});
  own->GetStyle()->GetFont()->SetSize(10);
  TcxStyleController* controller = New<TcxStyleController>(form);
  controller->GetStyle()->GetFont()->SetSize(9);
  lent->GetStyle()->SetStyleController(controller);
  ShowForm();
  own->Scale(3, 2);
  lent->Scale(3, 2);
  EXPECT_EQ(own->GetStyle()->GetFont()->GetSize(), 15);
  EXPECT_EQ(own->GetFont()->GetSize(), 15);
  EXPECT_EQ(own->GetBoundsRect(), TRect(15, 15, 165, 60));
  EXPECT_EQ(lent->GetStyle()->GetFont()->GetSize(), 9);
  EXPECT_EQ(controller->GetStyle()->GetFont()->GetSize(), 9);
}

TEST_F(cxContainers, TheLibraryBarLiesOverTheInnerControlsNativeBarAndScrollsIt) {
  auto* c = Place<TTestContainer>({10, 10, 110, 110});
  auto* box = New<TLinesBox>(c);
  c->Host(box);
  ShowForm();
  box->SetText("1");
  win::test::PumpUntilIdle();
  // Nothing to scroll yet: no bar.
  TcxScrollBar* bar = c->GetInnerScrollBar(sbVertical);
  EXPECT_TRUE(!bar || !bar->GetVisible());
  EXPECT_EQ(c->GetInnerScrollBar(sbHorizontal), nullptr);

  box->SetText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
  win::test::PumpUntilIdle();
  bar = c->GetInnerScrollBar(sbVertical);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->GetVisible());
  EXPECT_EQ(bar->GetParent(), c);
  // Along the inner control's right edge, the native bar's width, its full height.
  const TRect inner = box->GetBoundsRect();
  EXPECT_EQ(bar->GetBoundsRect(),
            TRect(inner.Right - GetSystemMetrics(SM_CXVSCROLL), inner.Top, inner.Right, inner.Bottom));
  EXPECT_EQ(bar->GetMax(), 9);
  EXPECT_EQ(bar->GetPageSize(), 4);
  EXPECT_EQ(bar->GetPosition(), 0);

  // Its down arrow scrolls the inner control, and the bar follows.
  win::test::Click(bar->GetHandle(), {bar->GetWidth() / 2, bar->GetHeight() - 3});
  win::test::PumpUntilIdle();
  EXPECT_EQ(GetScrollPos(box->GetHandle(), SB_VERT), 1);
  EXPECT_EQ(bar->GetPosition(), 1);

  // Content that fits hides the native bar, and the library's with it.
  box->SetText("1\n2");
  win::test::PumpUntilIdle();
  EXPECT_FALSE(bar->GetVisible());

  // Another inner control: the old one is left alone.
  auto* other = New<TInnerBox>(c);
  c->Host(other);
  box->SetText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
  win::test::PumpUntilIdle();
  EXPECT_FALSE(bar->GetVisible());
}

TEST_F(cxContainers, TheInnerControlsDragImageCaretAndSizeGripServeTheContainer) {
  auto* c = Place<TTestContainer>({10, 10, 160, 110});
  auto* box = New<TImageBox>(c);
  box->container = c;
  c->Host(box);
  auto* menu = New<TPlaceMenu>(form);
  c->SetPopupMenu(menu);
  ShowForm();

  // The corner between the two bars over the box's native ones, in the
  // box's window coordinates; nothing while one of them is hidden.
  // A range wider than the page of 10 shows the native bar.
  auto range = [&](int ABar, int AMax) {
    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = AMax;
    info.nPage = 10;
    SetScrollInfo(box->GetHandle(), ABar, &info, true);
    c->UpdateScrollBarsParameters();
    win::test::PumpUntilIdle();
  };
  range(SB_HORZ, 99);
  range(SB_VERT, 99);
  const Integer w = box->GetWidth(), h = box->GetHeight();
  EXPECT_EQ(GetSizeGripRect(box),
            TRect(w - GetSystemMetrics(SM_CXVSCROLL), h - GetSystemMetrics(SM_CYHSCROLL), w, h));
  range(SB_HORZ, 5);
  EXPECT_TRUE(cxRectIsEmpty(GetSizeGripRect(box)));

  // A menu asked for from the keyboard opens under the box's caret.
  box->SetFocus();
  CreateCaret(box->GetHandle(), nullptr, 1, 10);
  SetCaretPos(7, 3);
  win::test::KeyDown(VK_SHIFT);
  win::test::KeyPress(VK_F10);
  win::test::KeyUp(VK_SHIFT);
  win::test::PumpUntilIdle();
  DestroyCaret();
  EXPECT_EQ(menu->at, std::vector<TPoint>{box->ClientToScreen({7, 13})});

  // Dragging the container shows the box's image at the pointer; Esc
  // cancels the drag of both.
  EXPECT_EQ(c->GetDragImages(), box->images);
  TColor under = clNone;
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(c->ClientToScreen({40, 40}));
    win::test::PumpUntilIdle();
    under = Shown(c, 43, 43);
    win::test::KeyPress(VK_ESCAPE);
  });
  win::test::MouseMove(c->ClientToScreen({30, 30}));
  c->BeginDrag(true);
  EXPECT_EQ(under, clRed);
  EXPECT_NE(Shown(c, 43, 43), clRed);  // gone with the drag
  EXPECT_EQ(box->log, std::vector<std::string>{"inner drag cancelled"});
}
