// The life of controls told as message sequences: windows made on demand,
// shown with their form, focused, clicked, typed into, disabled and
// destroyed; and the dispatch chain from WindowProc to the class procedure.
#include "platform/forms/DialogControls.h"
#include "platform/forms/Screen.h"
#include "platform/win/Cursors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class LifeCycle : public ::testing::Test {
 protected:
  forms::test::Session session;
  bool exceptionsExpected = false;
  void SetUp() override { TakeLog(); }
  void TearDown() override {
    if (!exceptionsExpected) {
      EXPECT_TRUE(forms::test::RecordedExceptions().empty());
    }
  }
};

TEST_F(LifeCycle, WindowsAreMadeWhenTheFormShowsAndGoWithTheirControls) {
  TForm* form = MakeForm("Form");
  auto* edit = Make<TLogControl>(form, "Edit", Bounds(10, 10, 80, 20));
  auto* other = Make<TLogControl>(form, "Other", Bounds(10, 40, 80, 20));
  LogEvents(edit);
  LogEvents(other);
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
  TakeLog();

  form->Show();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(GetParent(edit->GetHandle()), form->GetHandle());
  EXPECT_TRUE(IsWindowVisible(edit->GetHandle()));
  EXPECT_EQ(FindControl(edit->GetHandle()), edit);
  // The first control in tab order takes the focus as the form activates.
  EXPECT_EQ(GetFocus(), edit->GetHandle());
  EXPECT_EQ(form->GetActiveControl(), edit);
  std::vector<std::string> log = TakeLog();
  auto at = [&log](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
  EXPECT_LT(at("Edit WM_CREATE"), at("Edit CM_SHOWINGCHANGED"));
  EXPECT_LT(at("Edit CM_SHOWINGCHANGED"), at("Edit WM_SETFOCUS"));
  EXPECT_LT(at("Edit WM_SETFOCUS"), at("Edit CM_ENTER"));
  EXPECT_LT(at("Edit CM_ENTER"), at("Edit OnEnter"));

  // Focus moves: exit before enter, then the form hears who has it.
  other->SetFocus();
  EXPECT_EQ(TakeLog(), Seq({"Edit WM_KILLFOCUS", "Other WM_SETFOCUS", "Edit CM_EXIT", "Edit OnExit",
                            "Other CM_ENTER", "Other OnEnter", "Edit CM_FOCUSCHANGED Other",
                            "Other CM_FOCUSCHANGED Other"}));

  // A click: capture on press, Click on release inside.
  win::test::Click(edit->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  std::vector<std::string> click = TakeLog();
  std::vector<std::string> clickCore;
  for (const auto& l : click)
    if (l.find("BUTTON") != std::string::npos || l.find("OnClick") != std::string::npos ||
        l.find("FOCUS") != std::string::npos)
      clickCore.push_back(l);
  EXPECT_EQ(clickCore, Seq({"Edit WM_LBUTTONDOWN", "Edit WM_LBUTTONUP", "Edit OnClick"}));

  // A key: offered as CN_ first, then the window's own message.
  other->SetFocus();
  TakeLog();
  win::test::KeyPress('A');
  win::test::PumpUntilIdle();
  // A key: offered as CN_ first (the parents may take it), then the
  // window's own message; a character not wanted goes past the form's
  // controls as a possible mnemonic before the window gets it.
  EXPECT_EQ(TakeLog(), Seq({"Other CN_KEYDOWN", "Other CM_CHILDKEY", "Other WM_KEYDOWN", "Other OnKeyDown 65",
                            "Other CN_CHAR", "Edit CM_DIALOGCHAR", "Other CM_DIALOGCHAR", "Other WM_CHAR",
                            "Other OnKeyPress a", "Other CN_KEYUP", "Other WM_KEYUP"}));

  // Disabling the focused control moves the focus away from it.
  other->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(other->GetHandle()));
  EXPECT_NE(GetFocus(), other->GetHandle());
  std::vector<std::string> disable = TakeLog();
  EXPECT_EQ(disable.front(), "Other CM_ENABLEDCHANGED");
  EXPECT_NE(std::find(disable.begin(), disable.end(), "Other WM_ENABLE"), disable.end());

  // Destroying a control destroys its window and leaves its parent.
  HWND otherWindow = other->GetHandle();
  other->Free();
  EXPECT_FALSE(IsWindow(otherWindow));
  EXPECT_EQ(FindControl(otherWindow), nullptr);
  EXPECT_EQ(form->GetControlCount(), 1);
  std::vector<std::string> destroy = TakeLog();
  EXPECT_NE(std::find(destroy.begin(), destroy.end(), "Other WM_DESTROY"), destroy.end());

  Int64 before = TObject::LiveCount();
  form->Free();
  EXPECT_LT(TObject::LiveCount(), before);
}

TEST_F(LifeCycle, HandleNeededMakesTheParentsWindowFirstAndTextSurvivesRecreation) {
  TForm* form = MakeForm("Form");
  auto* outer = Make<TLogControl>(form, "Outer", Bounds(0, 0, 200, 100));
  auto* inner = Make<TLogControl>(outer, "Inner", Bounds(5, 5, 50, 20));
  inner->SetText("kept");
  HWND h = inner->GetHandle();
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_EQ(GetParent(h), outer->GetHandle());
  EXPECT_EQ(inner->GetText(), "kept");
  char buffer[16] = {};
  GetWindowTextA(h, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "kept");

  form->Show();
  inner->SetFocus();
  TakeLog();
  inner->RecreateWnd();
  EXPECT_NE(inner->GetHandle(), h);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(inner->GetText(), "kept");
  EXPECT_EQ(GetFocus(), inner->GetHandle());
  EXPECT_EQ(TakeLog().front(), "Inner CM_RECREATEWND");
  form->Free();
}

// A window class registered elsewhere keeps doing its own work under a
// control: what no handler takes reaches its procedure.
std::vector<UINT> gNativeSeen;
std::pair<WPARAM, LPARAM> gNativeSelection{0, 0};
LRESULT NativeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_USER || msg == WM_CHAR) gNativeSeen.push_back(msg);
  if (msg == WM_USER) return 42;
  if (msg == WM_NCCREATE) gNativeSelection = {0, 0};  // a new window has no selection
  if (msg == EM_SETSEL) gNativeSelection = {wParam, lParam};
  if (msg == EM_GETSEL) return MAKELRESULT(gNativeSelection.first, gNativeSelection.second);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class TNativeControl : public TWinControl {
  ORV_CLASS(TNativeControl, TWinControl)
 public:
  using TWinControl::TWinControl;
  Word Swallow = 0;

 protected:
  void CreateParams(TCreateParams& Params) override {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "NATIVETEST");
  }
  void KeyDown(Word& Key, TShiftState Shift) override {
    if (Key == Swallow) Key = 0;
    inherited::KeyDown(Key, Shift);
  }
};
ORV_REGISTER(TNativeControl)

TEST_F(LifeCycle, SubclassedNativeClassKeepsItsProcedureBehindTheHandlers) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &NativeProc;
  wc.lpszClassName = "NATIVETEST";
  RegisterClassA(&wc);
  gNativeSeen.clear();
  TForm* form = MakeForm("Form");
  auto* native = Make<TNativeControl>(form, "Native", Bounds(0, 0, 50, 20));
  native->SetTabStop(true);
  native->Swallow = 'Q';
  form->Show();
  EXPECT_EQ(native->GetDefWndProc(), &NativeProc);
  char cls[32] = {};
  GetClassNameA(native->GetHandle(), cls, sizeof cls);
  EXPECT_STREQ(cls, "TNativeControl");
  EXPECT_EQ(native->Perform(WM_USER), 42);
  EXPECT_EQ(SendMessageA(native->GetHandle(), WM_USER, 0, 0), 42);
  native->SetFocus();
  gNativeSeen.clear();
  // A key the control consumes never reaches the native procedure (its
  // character still comes: KeyPress decides about that one).
  win::test::KeyPress('Q');
  win::test::KeyPress('W');
  win::test::PumpUntilIdle();
  EXPECT_EQ(gNativeSeen, (std::vector<UINT>{WM_CHAR, WM_KEYDOWN, WM_CHAR}));

  // Made again, the native window gets its selection back.
  SendMessageA(native->GetHandle(), EM_SETSEL, 2, 5);
  HWND before = native->GetHandle();
  native->RecreateWnd();
  EXPECT_NE(native->GetHandle(), before);
  EXPECT_EQ(gNativeSelection, (std::pair<WPARAM, LPARAM>{2, 5}));
  EXPECT_EQ(GetFocus(), native->GetHandle());
  form->Free();
}

// WindowProc can be replaced; the replacement hands on to WndProc.
class THandlerControl : public TCustomControl {
  ORV_CLASS(THandlerControl, TCustomControl)
 public:
  using TCustomControl::TCustomControl;
  std::vector<std::string> Seen;
  void WMUser(TMessage& Message) {
    Seen.push_back("THandlerControl");
    DispatchFrom(inherited::StaticClass(), Message);
  }
  ORV_MESSAGE(WM_USER, WMUser)
};
ORV_REGISTER(THandlerControl)

class TDerivedHandler : public THandlerControl {
  ORV_CLASS(TDerivedHandler, THandlerControl)
 public:
  using THandlerControl::THandlerControl;
  void WMUserDerived(TMessage& Message) {
    Seen.push_back("TDerivedHandler");
    DispatchFrom(inherited::StaticClass(), Message);
    Message.Result += 1;
  }
  ORV_MESSAGE(WM_USER, WMUserDerived)
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg == WM_USER) {
      Seen.push_back("DefaultHandler");
      Message.Result = 10;
      return;
    }
    inherited::DefaultHandler(Message);
  }
};
ORV_REGISTER(TDerivedHandler)

TEST_F(LifeCycle, DispatchRunsTheMostDerivedHandlerThenInheritedThenDefault) {
  auto* c = New<TDerivedHandler>(static_cast<TComponent*>(nullptr));
  std::vector<std::string> wrapped;
  TWndMethod original = c->GetWindowProc();
  c->SetWindowProc([&wrapped, original](TMessage& m) {
    wrapped.push_back("wrapper");
    original(m);
  });
  EXPECT_EQ(c->Perform(WM_USER), 11);
  EXPECT_EQ(wrapped, Seq({"wrapper"}));
  EXPECT_EQ(c->Seen, Seq({"TDerivedHandler", "THandlerControl", "DefaultHandler"}));
  c->Free();
}

TEST_F(LifeCycle, DoubleClicksAndWheelTurns) {
  TForm* form = MakeForm("Form");
  auto* outer = Make<TLogControl>(form, "Outer", Bounds(0, 0, 200, 100));
  auto* inner = Make<TLogControl>(outer, "Inner", Bounds(10, 10, 50, 20));
  LogEvents(inner);
  std::vector<std::string> downs;
  inner->OnMouseDown = [&downs](TObject*, TMouseButton, TShiftState shift, Integer, Integer) {
    downs.push_back(shift.Contains(ssDouble) ? "double" : "single");
  };
  form->Show();
  win::test::Click(inner->GetHandle(), {5, 5});
  win::test::Click(inner->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  std::vector<std::string> clicks;
  for (const auto& l : TakeLog())
    if (l.find("OnClick") != std::string::npos || l.find("OnDblClick") != std::string::npos) clicks.push_back(l);
  // The second release ends the double click: no second Click.
  EXPECT_EQ(clicks, Seq({"Inner OnClick", "Inner OnDblClick"}));
  EXPECT_EQ(downs, Seq({"single", "double"}));

  // A wheel turn the focused control leaves alone reaches its parent.
  std::vector<std::string> wheel;
  outer->OnMouseWheelDown = [&wheel](TObject*, TShiftState, TPoint, bool& handled) {
    wheel.push_back("outer down");
    handled = true;
  };
  inner->SetFocus();
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(wheel, Seq({"outer down"}));
  inner->OnMouseDown = nullptr;
  outer->OnMouseWheelDown = nullptr;
  form->Free();
}

TEST_F(LifeCycle, ContextPopupGetsClientPointsOrTheKeyboardsMarker) {
  TForm* form = MakeForm("Form");
  auto* c = Make<TLogControl>(form, "C", Bounds(10, 10, 80, 40));
  std::vector<TPoint> points;
  c->OnContextPopup = [&points](TObject*, TPoint p, bool& handled) {
    points.push_back(p);
    handled = true;
  };
  form->Show();
  TPoint screen = c->ClientToScreen({7, 9});
  EXPECT_EQ(SendMessageA(c->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->GetHandle()),
                         MAKELPARAM(screen.X, screen.Y)),
            1);
  SendMessageA(c->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->GetHandle()), MAKELPARAM(-1, -1));
  EXPECT_EQ(points, (std::vector<TPoint>{{7, 9}, {-1, -1}}));
  c->OnContextPopup = nullptr;
  form->Free();
}

TEST_F(LifeCycle, ExceptionInAHandlerGoesToTheApplication) {
  TForm* form = MakeForm("Form");
  auto* c = Make<TLogControl>(form, "C", Bounds(0, 0, 50, 20));
  c->OnClick = [](TObject*) { throw EInvalidOperation("Boom"); };
  form->Show();
  win::test::Click(c->GetHandle(), {2, 2});
  EXPECT_NO_THROW(win::test::PumpUntilIdle());
  EXPECT_EQ(forms::test::RecordedExceptions(), Seq({"EInvalidOperation: Boom"}));
  c->OnClick = [](TObject*) { throw EAbort("silent"); };
  win::test::Click(c->GetHandle(), {2, 2});
  win::test::PumpUntilIdle();
  EXPECT_EQ(forms::test::RecordedExceptions().size(), 1u);
  form->Free();
  exceptionsExpected = true;
}

// A handler may free the control it answers for (a click that removes the
// control, a key that deletes it): the message ends there, and the rest of
// the form goes on.
TEST_F(LifeCycle, AHandlerMayFreeItsOwnControl) {
  TForm* form = MakeForm("Form", Bounds(100, 100, 300, 200));
  auto* clicked = Make<TLogControl>(form, "Clicked", Bounds(10, 10, 50, 20));
  auto* doubled = Make<TLogGraphic>(form, "Doubled", Bounds(70, 10, 50, 20));
  doubled->SetControlStyle(doubled->GetControlStyle() + csClickEvents + csDoubleClicks);
  auto* keyed = Make<TLogControl>(form, "Keyed", Bounds(10, 40, 50, 20));
  auto* typed = Make<TLogControl>(form, "Typed", Bounds(70, 40, 50, 20));
  auto* button = Make<TDialogButton>(form, "Button", Bounds(10, 70, 75, 23));
  auto* stays = Make<TLogControl>(form, "Stays", Bounds(10, 100, 50, 20));
  auto freeOnce = [](TControl* c) {
    return [c](TObject*) {
      Log().push_back(c->GetName() + " frees itself");
      c->Free();
    };
  };
  clicked->OnClick = freeOnce(clicked);
  doubled->OnDblClick = freeOnce(doubled);
  keyed->OnKeyDown = [keyed](TObject*, Word& key, TShiftState) {
    if (key == VK_DELETE) keyed->Free();
  };
  typed->OnKeyPress = [typed](TObject*, char&) { typed->Free(); };
  button->OnClick = freeOnce(button);
  LogEvents(stays);
  form->Show();
  win::test::PumpUntilIdle();
  const Int64 live = TObject::LiveCount();

  win::test::Click(clicked->GetHandle(), {5, 5});
  win::test::PumpUntilIdle();
  win::test::Click(form->GetHandle(), {75, 15});
  win::test::Click(form->GetHandle(), {75, 15});
  win::test::PumpUntilIdle();
  keyed->SetFocus();
  win::test::KeyPress(VK_DELETE);
  win::test::PumpUntilIdle();
  typed->SetFocus();
  win::test::KeyPress('X');
  win::test::PumpUntilIdle();
  button->SetFocus();
  win::test::KeyPress(VK_SPACE);
  win::test::PumpUntilIdle();
  EXPECT_EQ(form->GetControlCount(), 1);
  EXPECT_LT(TObject::LiveCount(), live);

  TakeLog();
  stays->SetFocus();
  win::test::KeyPress('A');
  win::test::PumpUntilIdle();
  std::vector<std::string> events;
  for (const auto& l : TakeLog())
    if (l.find(" On") != std::string::npos) events.push_back(l);
  EXPECT_EQ(events, Seq({"Stays OnEnter", "Stays OnKeyDown 65", "Stays OnKeyPress a"}));
  form->Free();
}

}  // namespace

namespace {

class Dragging : public ::testing::Test {
 protected:
  forms::test::Session session;
};

TEST_F(Dragging, AnAutomaticDragAsksTheControlsOnTheWayAndDropsWhereAccepted) {
  TForm* form = MakeForm("Form");
  auto* source = Make<TLogControl>(form, "Source", Bounds(10, 10, 40, 20));
  auto* refuses = Make<TLogGraphic>(form, "Refuses", Bounds(100, 10, 40, 40));
  auto* accepts = Make<TLogControl>(form, "Accepts", Bounds(200, 10, 40, 40));
  source->SetDragMode(dmAutomatic);
  std::vector<std::string> events;
  auto name = [](TObject* o) { return o ? static_cast<TComponent*>(o)->GetName() : std::string("nil"); };
  source->OnStartDrag = [&events](TObject*, TObject*&) { events.push_back("start"); };
  source->OnEndDrag = [&events, name](TObject*, TObject* target, Integer x, Integer y) {
    events.push_back("end on " + name(target) + " at " + std::to_string(x) + "," + std::to_string(y));
  };
  refuses->OnDragOver = [&events](TObject*, TObject*, Integer, Integer, TDragState, bool& accept) {
    events.push_back("Refuses asked");
    accept = false;
  };
  accepts->OnDragOver = [&events, name](TObject*, TObject* src, Integer, Integer, TDragState state, bool& accept) {
    events.push_back("Accepts asked about " + name(src) + (state == dsDragEnter ? " entering" : " moving"));
    accept = true;
  };
  accepts->OnDragDrop = [&events, name](TObject*, TObject* src, Integer x, Integer y) {
    events.push_back("dropped " + name(src) + " at " + std::to_string(x) + "," + std::to_string(y));
  };
  form->Show();
  // The drag runs its own loop: what happens while it holds the mouse is
  // played from inside it.
  win::test::OnNextModalLoop([&] {
    EXPECT_TRUE(source->Dragging());
    EXPECT_EQ(events, Seq({"start"}));
    win::test::MouseMove(form->GetHandle(), {110, 20});
    win::test::PumpUntilIdle();
    win::test::MouseMove(accepts->GetHandle(), {5, 5});
    win::test::PumpUntilIdle();
    win::test::MouseMove(accepts->GetHandle(), {6, 7});
    win::test::PumpUntilIdle();
    EXPECT_EQ(GetCursor(), Screen->GetCursors(crDrag));
    win::test::MouseUp();
  });
  win::test::MouseMove(source->GetHandle(), {5, 5});
  win::test::MouseDown();
  win::test::MouseMove(source->GetHandle(), {7, 6});  // under the threshold: no drag yet
  win::test::PumpUntilIdle();
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(events, Seq({"start", "Refuses asked", "Refuses asked", "Accepts asked about Source entering",
                         "Accepts asked about Source moving", "dropped Source at 6,7", "end on Accepts at 6,7"}));

  // Esc cancels: nothing is dropped, and the source hears where the pointer
  // was in its own coordinates.
  events.clear();
  win::test::OnNextModalLoop([&] {
    win::test::MouseMove(accepts->GetHandle(), {5, 5});
    win::test::KeyPress(VK_ESCAPE);
  });
  source->BeginDrag(true);
  win::test::PumpUntilIdle();
  EXPECT_FALSE(source->Dragging());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "end on nil at 195,5");
  source->OnStartDrag = nullptr;
  source->OnEndDrag = nullptr;
  refuses->OnDragOver = nullptr;
  accepts->OnDragOver = nullptr;
  accepts->OnDragDrop = nullptr;
  form->Free();
}

}  // namespace
