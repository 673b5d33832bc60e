// The radio button under the mouse and the keyboard: hot while the
// pointer is over it, pressed while it holds the mouse with the pointer on
// it and hot while the pointer is away, normal under a button pressed
// elsewhere; the focus arriving checks it once; its popup menu is a menu
// or nothing.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/cxRadioButton.h"
#include "platform/controls/Edit.h"
#include "platform/win/Queue.h"

using namespace win;
using edit_test::Log;

namespace {

// A popup menu of the library's own kind: it offers IcxPopupMenu.
class TTestPopupMenu : public TComponent, public IcxPopupMenu {
  ORV_CLASS(TTestPopupMenu, TComponent)
 public:
  explicit TTestPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}
  bool IsShortCut(TMessage&) override { return false; }
  void Popup(Integer X, Integer Y) override { Shown.push_back(TPoint(X, Y)); }
  std::vector<TPoint> Shown;
};

class RadioButton : public edit_test::ConcreteEditorTest {
 protected:
  TcxRadioButton* MakeButton(const char* ACaption, TRect ABounds) {
    auto* button = Make<TcxRadioButton>(ABounds);
    button->SetCaption(ACaption);
    button->OnClick = [this, ACaption](TObject*) { log.push_back(std::string("click ") + ACaption); };
    return button;
  }
};

}  // namespace

inline ORV_REGISTER(TTestPopupMenu)

namespace {

TEST_F(RadioButton, TheMouseMakesItHotAndPressedAndAPressElsewhereLeavesItNormal) {
  auto* anchor = Make<TEdit>({300, 250, 390, 270});
  TcxRadioButton* button = MakeButton("Loud", {20, 20, 140, 40});
  Show();
  anchor->SetFocus();
  Pump();
  Hover(button, {10, 10});
  EXPECT_EQ(button->GetState(), rbsHot);
  test::MouseDown();
  Pump();
  EXPECT_EQ(button->GetState(), rbsPressed);
  // Dragged out while it holds the mouse: hot; back in: pressed.
  Hover(form, {300, 200});
  test::PumpFor(30);
  EXPECT_EQ(button->GetState(), rbsHot);
  Hover(button, {12, 10});
  EXPECT_EQ(button->GetState(), rbsPressed);
  test::MouseUp();
  Pump();
  EXPECT_EQ(button->GetState(), rbsHot);
  EXPECT_TRUE(button->GetChecked());
  EXPECT_EQ(log, (Log{"click Loud"}));
  Hover(form, {300, 200});
  test::PumpFor(30);
  EXPECT_EQ(button->GetState(), rbsNormal);
  // A button pressed over the form, then moved over the radio button.
  test::MouseDown();
  Pump();
  Hover(button, {10, 10});
  test::PumpFor(30);
  EXPECT_EQ(button->GetState(), rbsNormal);
  test::MouseUp();
  Pump();
  button->SetEnabled(false);
  Pump();
  EXPECT_EQ(button->GetState(), rbsDisabled);
}

TEST_F(RadioButton, TheFocusArrivingChecksAndClicksOnceAndOnlyOneOfTheGroupIsChecked) {
  auto* anchor = Make<TEdit>({300, 250, 390, 270});
  TcxRadioButton* loud = MakeButton("Loud", {20, 20, 140, 40});
  TcxRadioButton* quiet = MakeButton("Quiet", {20, 50, 140, 70});
  Show();
  anchor->SetFocus();
  Pump();
  log.clear();
  quiet->SetFocus();
  Pump();
  EXPECT_EQ(log, (Log{"click Quiet"}));
  anchor->SetFocus();
  Pump();
  quiet->SetFocus();
  Pump();
  EXPECT_EQ(log, (Log{"click Quiet"})) << "a checked one is not clicked again";
  Press(VK_UP);
  EXPECT_TRUE(loud->GetChecked());
  EXPECT_FALSE(quiet->GetChecked());
  EXPECT_EQ(log, (Log{"click Quiet", "click Loud"}));
}

TEST_F(RadioButton, APopupMenuIsAMenuOrNothingAndShowsAtThePointer) {
  TcxRadioButton* button = MakeButton("Loud", {20, 20, 140, 40});
  Show();
  auto* plain = New<TComponent>(form);
  button->SetPopupMenu(plain);
  EXPECT_EQ(button->GetPopupMenu(), nullptr);
  auto* platformMenu = New<TPopupMenu>(form);
  button->SetPopupMenu(platformMenu);
  EXPECT_EQ(button->GetPopupMenu(), platformMenu);
  auto* menu = New<TTestPopupMenu>(form);
  button->SetPopupMenu(menu);
  EXPECT_EQ(button->GetPopupMenu(), menu);
  // At the pointer; from the keyboard, at the client origin.
  const TPoint at = button->ClientToScreen(TPoint(5, 6));
  SendMessageA(button->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->GetHandle()),
               MAKELPARAM(static_cast<WORD>(at.X), static_cast<WORD>(at.Y)));
  SendMessageA(button->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->GetHandle()),
               static_cast<LPARAM>(-1));
  ASSERT_EQ(menu->Shown.size(), 2u);
  EXPECT_EQ(menu->Shown[0], at);
  EXPECT_EQ(menu->Shown[1], button->ClientToScreen(TPoint(0, 0)));
  menu->Free();
  EXPECT_EQ(button->GetPopupMenu(), nullptr);
}

}  // namespace
