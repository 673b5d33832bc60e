// The navigator bar on its own and bound to the data-bound grid: layout,
// pressing and holding buttons on the fake clock, hints, keys, and every
// action carried out on a grid of a few hundred typed records.
#include <filesystem>
#include <string>
#include <vector>

#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "library/grid/NavigatorButtons.h"
#include "library/grid/VGridSession.h"
#include "platform/forms/Hints.h"
#include "platform/win/Queue.h"
#include "platform/theme/ThemeTestMode.h"

namespace {

// A data control that records the actions a navigator asks of it.
class TFakeNavigable : public TComponent, public IcxNavigator {
  ORV_CLASS(TFakeNavigable, TComponent)
 public:
  explicit TFakeNavigable(TComponent* AOwner) : TComponent(AOwner) { Notifier = New<TcxNavigatorControlNotifier>(); }
  ~TFakeNavigable() override { Notifier->Free(); }
  bool NavigatorCanDelete() override { return true; }
  bool NavigatorCanEdit() override { return true; }
  bool NavigatorCanInsert() override { return true; }
  bool NavigatorIsActive() override { return Active; }
  bool NavigatorIsBof() override { return false; }
  bool NavigatorIsBookmarkAvailable() override { return false; }
  bool NavigatorIsEditing() override { return false; }
  bool NavigatorIsEof() override { return false; }
  void NavigatorClearBookmark() override {}
  void NavigatorDoAction(Integer AButtonIndex) override { Actions.push_back(AButtonIndex); }
  TcxNavigatorControlNotifier* NavigatorGetNotifier() override { return Notifier; }
  bool NavigatorIsActionSupported(Integer AButtonIndex) override { return AButtonIndex != NBDI_EDIT; }

  bool Active = true;
  std::vector<Integer> Actions;
  TcxNavigatorControlNotifier* Notifier = nullptr;
};

}  // namespace

ORV_REGISTER(TFakeNavigable)

namespace {

class Navigator : public vgrid_test::Session {
 protected:
  TcxNavigator* NewNavigator() {
    auto* navigator = New<TcxNavigator>(form);
    navigator->SetParent(form);
    navigator->SetLeft(10);
    navigator->SetTop(10);
    form->Show();
    Pump();
    return navigator;
  }
  // Screen point inside the button with default index AIndex.
  static TPoint ButtonPoint(TcxNavigator* ANavigator, Integer AIndex) {
    return ANavigator->ClientToScreen(cxRectCenter(navigator_test::ButtonBounds(ANavigator, AIndex)));
  }
  static Integer EnabledCount(TcxNavigator* ANavigator) {
    Integer count = 0;
    TcxNavigatorViewInfo* info = ANavigator->GetViewInfo();
    for (Integer i = 0; i < info->GetButtonCount(); ++i) count += info->GetButton(i)->Enabled ? 1 : 0;
    return count;
  }
};

// A new bar is 25 high, no tab stop, and shows fifteen disabled buttons;
// its width snaps to the buttons' minimal widths plus a whole number of
// pixels per button; with every button hidden it takes no width at all.
TEST_F(Navigator, LaysItsButtonsOutAndSnapsItsWidth) {
  TcxNavigator* navigator = NewNavigator();
  EXPECT_EQ(navigator->GetHeight(), 25);
  EXPECT_FALSE(navigator->GetTabStop());
  TcxNavigatorViewInfo* info = navigator->GetViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 15);
  EXPECT_EQ(EnabledCount(navigator), 0) << "unbound, nothing can be done";
  EXPECT_EQ(win::SendMessageA(navigator->GetHandle(), win::CM_HINTSHOW, 0, 0), 1)
      << "the window system's hint is suppressed: the bar shows its own";
  EXPECT_EQ(win::SendMessageA(navigator->GetHandle(), win::WM_GETDLGCODE, 0, 0) & win::DLGC_WANTARROWS,
            static_cast<win::LRESULT>(win::DLGC_WANTARROWS));

  navigator->SetWidth(10);
  const Integer minimal = navigator->GetWidth();
  Integer sum = 0;
  for (Integer i = 0; i < info->GetButtonCount(); ++i) sum += info->GetButton(i)->Bounds.Width();
  EXPECT_EQ(minimal, sum);
  EXPECT_EQ(info->GetButton(14)->Bounds.Right, minimal) << "the buttons fill the bar edge to edge";
  navigator->SetWidth(minimal + 14);
  EXPECT_EQ(navigator->GetWidth(), minimal) << "less than a pixel per button gives nothing";
  navigator->SetWidth(minimal + 47);
  EXPECT_EQ(navigator->GetWidth(), minimal + 45) << "three pixels per button";
  EXPECT_EQ(info->GetButton(1)->Bounds.Left, info->GetButton(0)->Bounds.Right);

  for (Integer i = 0; i < 15; ++i) navigator->GetButtons()->GetButton(i)->SetVisible(false);
  Pump();
  EXPECT_EQ(info->GetButtonCount(), 0);
  EXPECT_EQ(navigator->GetWidth(), 0);
  navigator->SetWidth(200);
  EXPECT_EQ(navigator->GetWidth(), 0) << "no button to share the width with";
  navigator->RestoreButtons();
  Pump();
  EXPECT_EQ(info->GetButtonCount(), 15);
  EXPECT_EQ(navigator->GetWidth(), minimal);
}

// Holding Next clicks it after 400 ms and then every 100 ms, and once more
// on release inside it; NextPage clicks only on release; a release outside
// clicks nothing; a button's own OnClick replaces the bar's handler and
// the action; the hint shows 500 ms after the pointer stops on a button.
TEST_F(Navigator, PressingHoldingAndReleasing) {
  auto* data = New<TFakeNavigable>(form);
  TcxNavigator* navigator = NewNavigator();
  navigator->SetShowHint(true);
  navigator->SetControl(data);
  Pump();
  EXPECT_FALSE(navigator->GetButtons()->GetEdit()->GetVisible()) << "an unsupported action shows no button";
  EXPECT_EQ(navigator->GetViewInfo()->GetButtonCount(), 14);
  EXPECT_EQ(EnabledCount(navigator), 11) << "not editing: no Post, no Cancel; no bookmark to go to";

  win::test::MouseMove(ButtonPoint(navigator, NBDI_NEXT));
  Pump();
  auto hint = [navigator]() -> AnsiString {
    THintWindow* window = navigator->GetViewInfo()->GetHintWindow();
    return window && window->IsHintShowing() ? window->GetCaption() : AnsiString();
  };
  EXPECT_EQ(hint(), "");
  win::test::PumpFor(499);
  EXPECT_EQ(hint(), "");
  win::test::PumpFor(2);
  EXPECT_EQ(hint(), "Next record");
  EXPECT_EQ(forms::test::CurrentHint(), "") << "the bar shows its own hint, never the application's";
  win::test::MouseDown();
  Pump();
  EXPECT_EQ(hint(), "") << "a press hides the hint";
  win::test::PumpFor(399);
  EXPECT_TRUE(data->Actions.empty());
  win::test::PumpFor(2);
  EXPECT_EQ(data->Actions, std::vector<Integer>({NBDI_NEXT}));
  win::test::PumpFor(100);
  win::test::PumpFor(100);
  EXPECT_EQ(data->Actions.size(), 3u);
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(data->Actions, std::vector<Integer>(4, NBDI_NEXT));

  data->Actions.clear();
  win::test::MouseMove(ButtonPoint(navigator, NBDI_NEXTPAGE));
  win::test::MouseDown();
  win::test::PumpFor(1000);
  EXPECT_TRUE(data->Actions.empty()) << "only Prior and Next repeat";
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(data->Actions, std::vector<Integer>({NBDI_NEXTPAGE}));

  data->Actions.clear();
  win::test::MouseMove(ButtonPoint(navigator, NBDI_LAST));
  win::test::MouseDown();
  Pump();
  win::test::MouseMove(TPoint(ButtonPoint(navigator, NBDI_LAST).X, 300));
  win::test::MouseUp();
  Pump();
  EXPECT_TRUE(data->Actions.empty()) << "released outside the button";

  std::vector<std::string> log;
  navigator->GetButtons()->OnButtonClick = [&](TObject*, Integer AIndex, bool& ADone) {
    log.push_back("bar " + std::to_string(AIndex));
    ADone = AIndex == NBDI_FIRST;
  };
  navigator->GetButtons()->GetInsert()->SetOnClick([&](TObject* Sender) {
    log.push_back(Sender == navigator->GetButtons()->GetInsert() ? "own" : "?");
  });
  win::test::Click(nullptr, ButtonPoint(navigator, NBDI_INSERT));
  win::test::Click(nullptr, ButtonPoint(navigator, NBDI_FIRST));
  win::test::Click(nullptr, ButtonPoint(navigator, NBDI_LAST));
  Pump();
  EXPECT_EQ(log, std::vector<std::string>({"own", "bar 0", "bar 5"}));
  EXPECT_EQ(data->Actions, std::vector<Integer>({NBDI_LAST})) << "done stops the action; the own handler replaces it";

  // Keys move the focused button and Space presses it.
  data->Actions.clear();
  navigator->SetTabStop(true);
  navigator->SetFocus();
  Pump();
  EXPECT_EQ(navigator->GetViewInfo()->GetFocusedButton()->Button->GetDefaultIndex(), NBDI_LAST)
      << "the last button pressed";
  win::test::KeyPress(win::VK_LEFT);
  win::test::KeyPress(win::VK_LEFT);
  win::test::KeyPress(win::VK_RIGHT);
  win::test::KeyPress(win::VK_LEFT);
  win::test::KeyPress(win::VK_LEFT);
  win::test::KeyPress(win::VK_SPACE);
  Pump();
  EXPECT_EQ(data->Actions, std::vector<Integer>({NBDI_PRIOR}));

  // A disabled bar disables every button, Filter included.
  navigator->SetEnabled(false);
  Pump();
  EXPECT_EQ(EnabledCount(navigator), 0);
  navigator->SetEnabled(true);
  Pump();
  EXPECT_EQ(EnabledCount(navigator), 11);

  // The data control going away leaves the bar unbound and disabled.
  data->Free();
  Pump();
  EXPECT_EQ(navigator->GetControl(), nullptr);
  EXPECT_EQ(EnabledCount(navigator), 0);
}

// A hint given to a button of a bar already on show is the one its hint
// shows; taken away, the set's text for the button shows again.
TEST_F(Navigator, AHintSetOnAShownBarIsTheOneShown) {
  auto* data = New<TFakeNavigable>(form);
  TcxNavigator* navigator = NewNavigator();
  navigator->SetShowHint(true);
  navigator->SetControl(data);
  Pump();
  auto hintOver = [navigator](Integer AIndex) -> AnsiString {
    win::test::MouseMove(ButtonPoint(navigator, AIndex == NBDI_LAST ? NBDI_FIRST : NBDI_LAST));
    Pump();
    win::test::MouseMove(ButtonPoint(navigator, AIndex));
    win::test::PumpFor(501);
    THintWindow* window = navigator->GetViewInfo()->GetHintWindow();
    return window && window->IsHintShowing() ? window->GetCaption() : AnsiString();
  };
  EXPECT_EQ(hintOver(NBDI_NEXT), "Next record");
  navigator->GetButtons()->GetNext()->SetHint("Next terrain");
  EXPECT_EQ(hintOver(NBDI_NEXT), "Next terrain");
  navigator->GetButtons()->GetNext()->SetHint("");
  EXPECT_EQ(hintOver(NBDI_NEXT), "Next record");
}

}  // namespace

namespace {

using grid_pixels::kLooks;
using grid_pixels::Look;

class NavigatorSnapshots : public grid_pixels::ThemeInstalled, public Navigator {
 protected:
  void SetUp() override {
    Navigator::SetUp();
    std::filesystem::create_directories("snapshots");
  }
  void TearDown() override {
    Navigator::TearDown();
    win::test::ResetThemeModule();
  }
};

// The bar in every look: Next hot, then Prior held down; Post, Cancel and
// Go to bookmark disabled throughout. A hot button's face differs from a
// normal one's, and a disabled glyph is drawn greyed, not in black.
TEST_F(NavigatorSnapshots, EveryLookWithHotPressedAndDisabledButtons) {
  auto* data = New<TFakeNavigable>(form);
  TcxNavigator* navigator = NewNavigator();
  navigator->SetControl(data);
  navigator->GetButtons()->GetEdit()->SetVisible(true);
  Pump();
  auto bounds = [&](Integer AIndex) { return navigator_test::ButtonBounds(navigator, AIndex); };
  auto blackPixels = [&](Integer AIndex) {
    return navigator_test::BlackPixels(bounds(AIndex),
                                       [&](TPoint P) { return vgrid_test::PixelAt(navigator, P) & 0xFFFFFF; });
  };
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.Name);
    navigator->GetLookAndFeel()->SetKind(look.Kind);
    navigator->GetLookAndFeel()->SetNativeStyle(look.Native);
    win::test::MouseMove(ButtonPoint(navigator, NBDI_NEXT));
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(navigator, std::string("navigator-") + look.Name + "-hot"));
    EXPECT_GT(blackPixels(NBDI_LAST), 10) << "an enabled glyph is black";
    EXPECT_EQ(blackPixels(NBDI_GOTOBOOKMARK), 0) << "a disabled glyph is greyed";
    const TRect next = bounds(NBDI_NEXT), last = bounds(NBDI_LAST);
    if (look.Kind == lfUltraFlat || look.Kind == lfOffice11 || look.Native) {
      EXPECT_NE(vgrid_test::PixelAt(navigator, {next.Left + 3, next.Top + 4}),
                vgrid_test::PixelAt(navigator, {last.Left + 3, last.Top + 4}))
          << "the hot face";
    }
    win::test::MouseMove(ButtonPoint(navigator, NBDI_PRIOR));
    win::test::MouseDown();
    Pump();
    EXPECT_TRUE(vgrid_test::Snapshot(navigator, std::string("navigator-") + look.Name + "-pressed"));
    win::test::MouseMove(navigator->GetHandle(), TPoint(-30, 40));
    win::test::MouseUp();
    Pump();
  }
  EXPECT_TRUE(data->Actions.empty()) << "every press ended outside its button";
}

}  // namespace
