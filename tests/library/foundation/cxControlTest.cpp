// The control base: focus on click with the point corrected for a control
// that moved while focusing, its own drag and drop from press to release
// or Esc, dialog keys, context menus left to the platform outside the
// client bounds, the painter's border, and
// a control freed inside its own handler.
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxStyles.h"
#include "platform/controls/Memo.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"

namespace {

std::string Pt(Integer X, Integer Y) { return std::to_string(X) + "," + std::to_string(Y); }

// Logs what the control base asks of a descendant.
class TProbe : public TcxControl {
  ORV_CLASS(TProbe, TcxControl)
 public:
  explicit TProbe(TComponent* AOwner) : TcxControl(AOwner) {}
  std::vector<std::string> Log;
  bool Draggable = false;
  bool Focusable = true;
  bool CancelWhileEnding = false;
  TSize DragImageSize{0, 0};
  TColor Fill = clWhite;

  using TcxControl::FreeDragImages;
  using TcxControl::GetMouseWheelScrollingKind;

 protected:
  bool MayFocus() override { return Focusable; }
  bool StartDragAndDrop(const TPoint& P) override {
    Log.push_back("start? " + Pt(P.X, P.Y));
    return Draggable;
  }
  void BeginDragAndDrop() override {
    Log.push_back("begin");
    TcxControl::BeginDragAndDrop();
  }
  void DragAndDrop(const TPoint& P, bool& Accepted) override {
    Log.push_back("drag " + Pt(P.X, P.Y));
    TcxControl::DragAndDrop(P, Accepted);
  }
  void EndDragAndDrop(bool Accepted) override {
    Log.push_back(Accepted ? "end accepted" : "end cancelled");
    // Ending may cancel the mode, which finishes again: that must be a no-op.
    if (CancelWhileEnding) Perform(win::WM_CANCELMODE);
    TcxControl::EndDragAndDrop(Accepted);
  }
  bool HasDragImages() override { return true; }
  TSize GetDragImagesSize() override { return DragImageSize; }
  void DrawDragImage(TcxCanvas* ACanvas, const TRect& R) override {
    ACanvas->SetBrushColor(clRed);
    ACanvas->FillRect(R);
  }
  void AfterMouseDown(TMouseButton, Integer X, Integer Y) override { Log.push_back("after down " + Pt(X, Y)); }
  void Paint() override {
    TcxControl::Paint();
    GetCanvas()->SetBrushColor(Fill);
    GetCanvas()->FillRect(GetClientBounds());
  }
};

// Styles of two slots whose default font is the control's, as a control's
// own styles are.
class TProbeStyles : public TcxStyles {
  ORV_CLASS(TProbeStyles, TcxStyles)
 public:
  TProbeStyles(TPersistent* AOwner, TcxControl* AControl) : TcxStyles(AOwner), FControl(AControl) {}
  std::vector<Integer> Changes;

 protected:
  void Changed(Integer AIndex) override { Changes.push_back(AIndex); }
  void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) override {
    AParams.Font = FControl->GetFont();
    TcxStyles::GetDefaultViewParams(AIndex, AData, AParams);
  }

 private:
  TcxControl* FControl;
};

// A popup menu that records where it was asked to open.
class TProbeMenu : public TComponent, public IcxPopupMenu {
  ORV_CLASS(TProbeMenu, TComponent)
 public:
  explicit TProbeMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<std::string> Log;
  bool IsShortCut(TMessage& Message) override { return Message.WParam == win::VK_F10; }
  void Popup(Integer X, Integer Y) override { Log.push_back("popup " + Pt(X, Y)); }
};

class cxControl : public ControlsSession {
 protected:
  TProbe* probe = nullptr;
  void SetUp() override {
    ControlsSession::SetUp();
    ShowForm();
    probe = Place<TProbe>({20, 20, 220, 120});
    probe->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer X, Integer Y) {
      probe->Log.push_back("down " + Pt(X, Y));
    };
    win::test::PumpUntilIdle();
  }
  void Press(TPoint p) {
    win::test::MouseMove(probe->GetHandle(), p);
    win::test::MouseDown();
    win::test::PumpUntilIdle();
  }
  void Move(TPoint p) {
    win::test::MouseMove(probe->GetHandle(), p);
    win::test::PumpUntilIdle();
  }
  void Release() {
    win::test::MouseUp();
    win::test::PumpUntilIdle();
  }
};

}  // namespace
ORV_REGISTER(TProbe)
ORV_REGISTER(TProbeMenu)
ORV_REGISTER(TProbeStyles)

TEST_F(cxControl, AClickFocusesAndReportsThePointCorrectedByAMoveWhileFocusing) {
  // The parent scrolls the control into view as it takes the focus.
  probe->OnEnter = [this](TObject*) { probe->SetLeft(probe->GetLeft() - 15); };
  Press({50, 30});
  EXPECT_EQ(win::test::Focus(), probe->GetHandle());
  EXPECT_EQ(probe->Log, (std::vector<std::string>{"start? 65,30", "down 65,30", "after down 50,30"}));
  EXPECT_EQ(probe->GetMouseDownPos(), (TPoint{65, 30}));
  Release();
}

TEST_F(cxControl, AControlThatCannotTakeTheFocusGoesStraightToTheDragTest) {
  probe->Focusable = false;
  Press({5, 6});
  EXPECT_NE(win::test::Focus(), probe->GetHandle());
  EXPECT_EQ(probe->Log, (std::vector<std::string>{"start? 5,6", "down 5,6", "after down 5,6"}));
  Release();
}

TEST_F(cxControl, OwnDragAndDropStartsOnlyOutsideThePressedAreaAndEndsOnRelease) {
  probe->Draggable = true;
  Press({50, 50});
  EXPECT_EQ(probe->GetDragAndDropState(), ddsStarting);
  Move({53, 52});  // inside the pressed area
  Release();
  EXPECT_EQ(probe->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(std::count(probe->Log.begin(), probe->Log.end(), "begin"), 0);

  probe->Log.clear();
  win::test::PumpFor(600);  // not a double click
  Press({50, 50});
  Move({70, 50});
  EXPECT_EQ(probe->GetDragAndDropState(), ddsInProcess);
  Move({80, 55});
  Release();
  EXPECT_EQ(probe->Log, (std::vector<std::string>{"start? 50,50", "down 50,50", "after down 50,50", "begin",
                                                  "drag 70,50", "drag 80,55", "end accepted"}));
  EXPECT_EQ(probe->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(win::test::Capture(), nullptr);
}

TEST_F(cxControl, EscEndsADragWithoutAcceptanceHoweverTheKeyArrives) {
  probe->Draggable = true;
  for (win::UINT msg : {win::CN_KEYDOWN, win::WM_KEYDOWN}) {
    probe->Log.clear();
    win::test::PumpFor(600);
    Press({50, 50});
    Move({90, 50});
    ASSERT_EQ(probe->GetDragAndDropState(), ddsInProcess);
    probe->Perform(msg, win::VK_ESCAPE, 0);
    EXPECT_EQ(probe->GetDragAndDropState(), ddsNone);
    EXPECT_EQ(probe->Log.back(), "end cancelled");
    Release();
  }
}

TEST_F(cxControl, AFinishInsideAFinishDoesNothing) {
  probe->Draggable = true;
  probe->CancelWhileEnding = true;
  Press({50, 50});
  Move({90, 50});
  Release();
  EXPECT_EQ(std::count(probe->Log.begin(), probe->Log.end(), "end accepted"), 1);
  EXPECT_EQ(std::count(probe->Log.begin(), probe->Log.end(), "end cancelled"), 0);
  EXPECT_EQ(probe->GetDragAndDropState(), ddsNone);
}

TEST_F(cxControl, TheDragImageIsDrawnOnceByTheControl) {
  EXPECT_EQ(probe->GetDragImages(), nullptr);  // an empty size: no image
  probe->FreeDragImages();
  probe->DragImageSize = {12, 8};
  TDragImageList* images = probe->GetDragImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->GetCount(), 1);
  EXPECT_EQ(images->GetWidth(), 12);
  EXPECT_EQ(probe->GetDragImages(), images);
  EXPECT_TRUE(probe->GetControlStyle().Contains(csDisplayDragImage));
}

TEST_F(cxControl, ADoubleClickNeverStartsADrag) {
  probe->Draggable = true;
  probe->Perform(win::WM_LBUTTONDBLCLK, win::MK_LBUTTON, win::MAKELPARAM(40, 40));
  EXPECT_EQ(probe->GetDragAndDropState(), ddsNone);
  EXPECT_EQ(std::count_if(probe->Log.begin(), probe->Log.end(),
                          [](const std::string& s) { return s.rfind("start?", 0) == 0; }),
            0);
  probe->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(40, 40));
}

TEST_F(cxControl, TabIsWantedOnlyWhileCtrlIsUp) {
  probe->SetKeys({kArrows, kTab});
  EXPECT_EQ(probe->Perform(win::WM_GETDLGCODE), win::DLGC_WANTARROWS | win::DLGC_WANTTAB);
  win::test::KeyDown(win::VK_CONTROL);
  EXPECT_EQ(probe->Perform(win::WM_GETDLGCODE), win::DLGC_WANTARROWS);
  win::test::KeyUp(win::VK_CONTROL);
  win::test::PumpUntilIdle();
}

TEST_F(cxControl, ExplicitBoundsWinAndTheBorderComesFromThePainter) {
  EXPECT_EQ(probe->GetBounds(), (TRect{0, 0, 200, 100}));
  probe->SetExplicitBounds({10, 10, 50, 50});
  EXPECT_EQ(probe->GetBounds(), (TRect{10, 10, 50, 50}));
  probe->SetExplicitBounds({});
  TProbe* unparented = New<TProbe>(nullptr);
  unparented->SetBounds(0, 0, 30, 40);
  EXPECT_EQ(unparented->GetBounds(), (TRect{0, 0, 30, 40}));
  unparented->Free();

  probe->GetLookAndFeel()->SetKind(lfUltraFlat);
  probe->SetBorderStyle(cxcbsDefault);
  const Integer border = probe->GetBorderSize();
  EXPECT_GT(border, 0);
  EXPECT_EQ(probe->GetClientBounds(), (TRect{border, border, 200 - border, 100 - border}));
  probe->Repaint();
  win::test::PumpUntilIdle();
  TCanvas* c = probe->TCustomControl::GetCanvas();
  EXPECT_NE(c->GetPixels(0, 50), clWhite);  // the border
  EXPECT_EQ(c->GetPixels(border, 50), clWhite);
}

TEST_F(cxControl, AContextMenuOnTheBorderIsLeftToThePlatform) {
  auto* menu = New<TProbeMenu>(form);
  probe->SetPopupMenu(menu);
  probe->SetBorderStyle(cxcbsDefault);
  const TPoint origin = probe->ClientToScreen({0, 0});
  probe->Perform(win::WM_CONTEXTMENU, 0, win::MAKELPARAM(origin.X, origin.Y));  // on the border
  EXPECT_TRUE(menu->Log.empty());
  probe->Perform(win::WM_CONTEXTMENU, 0, win::MAKELPARAM(origin.X + 40, origin.Y + 30));
  probe->Perform(win::WM_CONTEXTMENU, 0, win::MAKELPARAM(-1, -1));  // from the keyboard
  EXPECT_EQ(menu->Log, (std::vector<std::string>{"popup " + Pt(origin.X + 40, origin.Y + 30),
                                                 "popup " + Pt(origin.X, origin.Y)}));
  // The menu's shortcut is taken before the control sees the key.
  EXPECT_EQ(probe->Perform(win::CN_KEYDOWN, win::VK_F10, 0), 1);
  menu->Free();
  EXPECT_EQ(probe->GetPopupMenu(), nullptr);
}

// The control has one popup menu: set through the platform's control (as
// a layout sets it) it is the menu the control shows, and its removal
// clears it there too.
TEST_F(cxControl, AMenuSetThroughThePlatformControlIsTheControlsMenu) {
  auto* menu = New<TProbeMenu>(form);
  static_cast<TControl*>(probe)->SetPopupMenu(menu);
  EXPECT_EQ(probe->GetPopupMenu(), menu);
  const TPoint origin = probe->ClientToScreen({0, 0});
  probe->Perform(win::WM_CONTEXTMENU, 0, win::MAKELPARAM(origin.X + 40, origin.Y + 30));
  EXPECT_EQ(menu->Log, (std::vector<std::string>{"popup " + Pt(origin.X + 40, origin.Y + 30)}));
  menu->Free();
  EXPECT_EQ(static_cast<TControl*>(probe)->GetPopupMenu(), nullptr);
}

TEST_F(cxControl, AFontChangeReachesTheStylesThatListenBesideAMemo) {
  // A memo on the same form: the platform's and the library's names live
  // side by side in one program.
  auto* memo = Place<TMemo>({20, 150, 220, 250});
  memo->SetScrollBars(ssVertical);
  probe->SetScrollBars(ssHorizontal);

  auto* styles = New<TProbeStyles>(nullptr, probe);
  TcxViewParams params;
  styles->GetViewParams(1, nullptr, nullptr, params);  // slots 0 and 1 have asked for defaults
  probe->AddFontListener(styles);
  probe->GetFont()->SetSize(14);
  EXPECT_EQ(styles->Changes, (std::vector<Integer>{0, 1}));
  styles->Changes.clear();
  memo->GetFont()->SetSize(14);  // not the font the styles take
  probe->RemoveFontListener(styles);
  probe->GetFont()->SetSize(15);
  EXPECT_TRUE(styles->Changes.empty());
  styles->Free();
}

TEST_F(cxControl, AControlFreedInItsOwnHandlerStopsThere) {
  probe->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, Integer, Integer) { probe->Free(); };
  Press({10, 10});  // nothing runs on the freed control (the sanitizer watches)
  Release();
  EXPECT_EQ(form->GetControlCount(), 0);
}

TEST_F(cxControl, TheWheelIsNotConsumedWithoutAScrollingKind) {
  std::vector<std::string> parentLog;
  form->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    parentLog.push_back("parent");
    Handled = true;
  };
  EXPECT_EQ(probe->GetMouseWheelScrollingKind(), mwskNone);
  probe->Perform(win::WM_MOUSEWHEEL, win::MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(parentLog.size(), 1u);
}

TEST_F(cxControl, DragDetectionEndsOnLeavingTheSquareOnReleaseOrOnLosingTheMouse) {
  const win::HWND wnd = probe->GetHandle();
  win::test::MouseMove(wnd, {50, 50});
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  win::test::OnNextModalLoop([&] { win::test::MouseMove(wnd, {50, 56}); });  // 6 > the threshold of 5
  EXPECT_EQ(DragDetect(wnd), ddDrag);
  win::test::OnNextModalLoop([&] {
    // Another window takes the mouse as it handles some message.
    win::SetCapture(form->GetHandle());
    win::PostMessageA(form->GetHandle(), win::WM_NULL, 0, 0);
  });
  EXPECT_EQ(DragDetect(wnd), ddCancel);
  win::test::OnNextModalLoop([] { win::test::MouseUp(); });
  EXPECT_EQ(DragDetect(wnd), ddNone);
  EXPECT_EQ(win::test::Capture(), nullptr);
}
