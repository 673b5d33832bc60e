// The popup editor hosting a panel and a form of the application: while the
// popup is open the control fills it; however the popup closes, the control
// is back where it was, as it was. A control that would hold the popup
// itself is refused before anything moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxPopupEdit.h"
#include "platform/controls/Edit.h"
#include "platform/forms/Application.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowDC.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"

using namespace win;

namespace {

using Log = std::vector<std::string>;

class PopupEditStories : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  TcxPopupEdit* edit = nullptr;
  TPanel* panel = nullptr;
  Log log;

  void SetUp() override {
    test::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true}});
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 600, 500});
    panel = New<TPanel>(form);
    panel->SetAlign(alTop);
    panel->SetHeight(60);
    panel->SetParent(form);
    edit = New<TcxPopupEdit>(form);
    edit->SetBoundsRect({20, 100, 170, 121});
    edit->SetParent(form);
    edit->GetProperties()->OnClosePopup = [this](TObject*, TcxEditCloseUpReason AReason) {
      static const char* Names[] = {"crUnknown", "crTab", "crClose", "crCancel", "crEnter"};
      log.push_back(Names[AReason]);
    };
    // The popup takes the keyboard; the test pumps its messages itself.
    edit->GetPopupWindow()->SetModalMode(false);
    form->Show();
    test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    test::PumpUntilIdle();
  }
  void Open() {
    edit->SetDroppedDown(true);
    test::PumpUntilIdle();
  }
  TcxCustomEditPopupWindow* Popup() { return edit->GetPopupWindow(); }
  void ExpectHosted(TControl* AControl) {
    ASSERT_TRUE(edit->GetDroppedDown());
    EXPECT_EQ(AControl->GetParent(), Popup());
    EXPECT_EQ(AControl->GetAlign(), alClient);
    EXPECT_TRUE(AControl->GetVisible());
    EXPECT_EQ(AControl->GetBoundsRect(), Popup()->GetViewInfo()->ClientRect);
  }
};

}  // namespace

TEST_F(PopupEditStories, APanelFillsThePopupAndComesBackAsItWasWhicheverWayThePopupCloses) {
  edit->GetProperties()->SetPopupControl(panel);
  const TRect bounds = panel->GetBoundsRect();
  auto expectBack = [&] {
    EXPECT_FALSE(edit->GetDroppedDown());
    EXPECT_EQ(panel->GetParent(), form);
    EXPECT_EQ(panel->GetAlign(), alTop);
    EXPECT_EQ(panel->GetBoundsRect(), bounds);
    EXPECT_TRUE(panel->GetVisible());
  };

  Open();
  ExpectHosted(panel);
  edit->SetDroppedDown(false);
  expectBack();

  // The hosted control closes the popup with a reason of its own.
  Open();
  ExpectHosted(panel);
  edit->HidePopup(panel, crEnter);
  test::PumpUntilIdle();
  expectBack();

  // A click on the form outside the popup.
  Open();
  ExpectHosted(panel);
  test::MouseMove(form->ClientToScreen(TPoint(400, 300)));
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  expectBack();

  // The editor loses the keyboard for good: deactivated in place.
  Open();
  edit->Deactivate();
  expectBack();
  EXPECT_EQ(log, (Log{"crUnknown", "crEnter", "crUnknown", "crUnknown"}));
}

TEST_F(PopupEditStories, AFormIsBorderlessInThePopupAndGetsItsBorderAndItsInvisibilityBack) {
  TForm* hosted = TCustomForm::CreateNew<TForm>(Application);
  hosted->SetBoundsRect({10, 10, 210, 160});
  hosted->SetBorderStyle(bsDialog);
  edit->GetProperties()->SetPopupControl(hosted);
  Open();
  ExpectHosted(hosted);
  EXPECT_EQ(hosted->GetBorderStyle(), bsNone);
  EXPECT_TRUE(GetWindowLongA(hosted->GetHandle(), GWL_STYLE) & WS_CHILD);
  edit->SetDroppedDown(false);
  EXPECT_EQ(hosted->GetParent(), nullptr);
  EXPECT_EQ(hosted->GetBorderStyle(), bsDialog);
  EXPECT_FALSE(hosted->GetVisible());
  EXPECT_EQ(hosted->GetBoundsRect(), TRect(10, 10, 210, 160));
  EXPECT_FALSE(GetWindowLongA(hosted->GetHandle(), GWL_STYLE) & WS_CHILD);
  hosted->Free();
}

TEST_F(PopupEditStories, AControlThatWouldHoldThePopupIsRefusedAndNothingChanges) {
  edit->SetText("kept");
  for (TControl* circular : {static_cast<TControl*>(form), static_cast<TControl*>(edit)}) {
    edit->GetProperties()->SetPopupControl(circular);
    try {
      edit->SetDroppedDown(true);
      ADD_FAILURE() << "no error";
    } catch (const EcxEditError& e) {
      EXPECT_EQ(std::string(e.GetMessage()), "Circular referencing is not allowed");
    }
    test::PumpUntilIdle();
    EXPECT_FALSE(edit->GetDroppedDown());
    EXPECT_EQ(edit->GetParent(), form);
    EXPECT_EQ(edit->GetText(), "kept");
  }
  // No control: nothing opens.
  edit->GetProperties()->SetPopupControl(nullptr);
  Open();
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_TRUE(log.empty());
}

TEST_F(PopupEditStories, AHostedControlOrItsOldParentFreedWhileAwayLeavesNoDanglingControl) {
  auto* holder = New<TPanel>(form);
  holder->SetBoundsRect({300, 100, 450, 250});
  holder->SetParent(form);
  auto* hosted = New<TPanel>(form);
  hosted->SetBoundsRect({5, 5, 100, 60});
  hosted->SetParent(holder);
  edit->GetProperties()->SetPopupControl(hosted);

  // The old parent goes: the control comes back with none, hidden.
  Open();
  ExpectHosted(hosted);
  holder->Free();
  edit->SetDroppedDown(false);
  EXPECT_EQ(hosted->GetParent(), nullptr);
  EXPECT_FALSE(hosted->GetVisible());

  // The hosted control goes: the popup closes and nothing is restored.
  hosted->SetParent(form);
  Open();
  ExpectHosted(hosted);
  hosted->Free();
  test::PumpUntilIdle();
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(edit->GetProperties()->GetPopupControl(), nullptr);
  EXPECT_EQ(log, (Log{"crUnknown", "crUnknown"}));
}

TEST_F(PopupEditStories, AnEditorFreedWithItsPopupOpenGivesTheControlBackFirst) {
  edit->GetProperties()->SetPopupControl(panel);
  Open();
  ExpectHosted(panel);
  edit->Free();
  edit = nullptr;
  test::PumpUntilIdle();
  EXPECT_EQ(panel->GetParent(), form);
  EXPECT_EQ(panel->GetAlign(), alTop);
  EXPECT_TRUE(panel->GetVisible());
}

TEST_F(PopupEditStories, TheModalLoopOfTheFocusTakingPopupEndsWhenTheHostedControlClosesIt) {
  edit->GetProperties()->SetPopupControl(panel);
  Popup()->SetModalMode(true);
  bool sawHosted = false;
  Application->OnIdle = [&](TObject*, bool& Done) {
    Done = false;
    if (!edit->GetDroppedDown()) return;
    sawHosted = panel->GetParent() == Popup();
    edit->HidePopup(panel, crCancel);
  };
  Open();
  Application->OnIdle = {};
  EXPECT_TRUE(sawHosted);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(panel->GetParent(), form);
  EXPECT_EQ(log, Log{"crCancel"});
}

// The popup holds the keyboard, here in an edit of the hosted panel: the
// keys that close a drop-down close it all the same, each with its reason,
// and the owner form keeps its active caption while the popup is open.
TEST_F(PopupEditStories, TheDropDownKeysCloseThePopupFromTheWindowThatHasTheFocus) {
  auto* field = New<TEdit>(form);
  field->SetBoundsRect({10, 10, 85, 31});
  field->SetParent(panel);
  edit->GetProperties()->SetPopupControl(panel);
  edit->GetProperties()->SetPostPopupValueOnTab(true);
  edit->SetFocus();
  test::PumpUntilIdle();
  auto captionColour = [&] {
    HDC dc = GetWindowDC(form->GetHandle());
    COLORREF c = GetPixel(dc, 40, 10);
    ReleaseDC(form->GetHandle(), dc);
    return c;
  };
  ASSERT_EQ(captionColour(), GetSysColor(COLOR_ACTIVECAPTION));
  struct Case {
    std::vector<BYTE> chord;  // modifiers first
    const char* reason;
  };
  for (const Case& c : {Case{{VK_ESCAPE}, "crCancel"}, Case{{VK_RETURN}, "crEnter"}, Case{{VK_MENU, VK_UP}, "crClose"},
                        Case{{VK_F4}, "crClose"}, Case{{VK_TAB}, "crTab"}}) {
    log.clear();
    Open();
    ASSERT_TRUE(edit->GetDroppedDown());
    field->SetFocus();
    ASSERT_EQ(GetFocus(), field->GetHandle());
    EXPECT_EQ(captionColour(), GetSysColor(COLOR_ACTIVECAPTION)) << c.reason;
    for (std::size_t i = 0; i + 1 < c.chord.size(); ++i) test::KeyDown(c.chord[i]);
    test::KeyPress(c.chord.back());
    for (std::size_t i = c.chord.size() - 1; i-- > 0;) test::KeyUp(c.chord[i]);
    test::PumpUntilIdle();
    EXPECT_FALSE(edit->GetDroppedDown()) << c.reason;
    EXPECT_EQ(log, Log{c.reason});
  }
  // Without the setting Tab walks the popup's own controls.
  edit->GetProperties()->SetPostPopupValueOnTab(false);
  edit->SetFocus();
  Open();
  log.clear();
  test::KeyPress(VK_TAB);
  test::PumpUntilIdle();
  EXPECT_TRUE(edit->GetDroppedDown());
  EXPECT_TRUE(log.empty());
  edit->SetDroppedDown(false);
  test::PumpUntilIdle();
}
