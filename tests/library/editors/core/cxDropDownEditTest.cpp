// The drop-down editor as the user meets it in a combo box on a form: the
// popup is a real top-level window, everything goes through injected keys
// and clicks, and what the editor tells the application (popup, close-up
// with its reason, changes) is written to one log in the order it comes:
// a value the popup gives is taken before the popup goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxGeometry.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/Layered.h"

using namespace win;

namespace {

using Log = std::vector<std::string>;

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalFromBytes(text.c_str(), text.size() + 1));
  CloseClipboard();
}

const char* ReasonName(TcxEditCloseUpReason AReason) {
  static const char* Names[] = {"crUnknown", "crTab", "crClose", "crCancel", "crEnter"};
  return Names[AReason];
}

// Items whose popup takes the keyboard, and that note what the user had
// typed when it showed.
class TPrefixLookupData : public TcxComboBoxLookupData {
  ORV_CLASS(TPrefixLookupData, TcxComboBoxLookupData)
 public:
  explicit TPrefixLookupData(TPersistent* AOwner) : TcxComboBoxLookupData(AOwner) {}
  static inline std::vector<std::string> Prefixes;
  void DroppedDown(const AnsiString& AFindStr) override { Prefixes.push_back(AFindStr); }
};

class TKeyboardTakingComboProperties : public TcxComboBoxProperties {
  ORV_CLASS(TKeyboardTakingComboProperties, TcxComboBoxProperties)
 public:
  explicit TKeyboardTakingComboProperties(TPersistent* AOwner) : TcxComboBoxProperties(AOwner) {}
  bool PopupWindowCapturesFocus() const override { return true; }
  TClass GetLookupDataClass() const override { return TPrefixLookupData::StaticClass(); }
};

class TKeyboardTakingCombo : public TcxComboBox {
  ORV_CLASS(TKeyboardTakingCombo, TcxComboBox)
 public:
  explicit TKeyboardTakingCombo(TComponent* AOwner) : TcxComboBox(AOwner) {}

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TKeyboardTakingComboProperties::StaticClass();
  }
};

class DropDownStories : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  TcxComboBox* combo = nullptr;
  TcxComboBox* other = nullptr;
  Log log;

  void SetUp() override {
    test::SetMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true}});
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
    combo = New<TcxComboBox>(form);
    combo->SetBoundsRect({20, 30, 170, 51});
    combo->SetParent(form);
    other = New<TcxComboBox>(form);
    other->SetBoundsRect({20, 80, 170, 101});
    other->SetParent(form);
    TcxComboBoxProperties* properties = combo->GetProperties();
    Items({"Rome", "Roma", "rom", "Paris", "Oslo"});
    properties->OnPopup = [this](TObject*) { log.push_back("popup"); };
    properties->OnClosePopup = [this](TObject*, TcxEditCloseUpReason AReason) {
      log.push_back(std::string("close ") + ReasonName(AReason));
    };
    properties->OnCloseUp = [this](TObject*) { log.push_back("closeup"); };
    properties->OnEditValueChanged = [this](TObject*) {
      log.push_back("value " + std::string(VarToStr(combo->GetEditValue())));
    };
    form->Show();
    test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    test::PumpUntilIdle();
  }
  void Items(std::initializer_list<const char*> items) {
    TStrings* list = combo->GetProperties()->GetItems();
    list->Clear();
    for (const char* s : items) list->Add(s);
  }
  void Focus() {
    combo->SetFocus();
    test::PumpUntilIdle();
    log.clear();
  }
  void Press(BYTE vk) {
    test::KeyPress(vk);
    test::PumpUntilIdle();
  }
  void Alt(BYTE vk) {
    test::KeyDown(VK_MENU);
    test::KeyPress(vk);
    test::KeyUp(VK_MENU);
    test::PumpUntilIdle();
  }
  TcxCustomEditPopupWindow* Popup() { return combo->GetPopupWindow(); }
  bool Open() { return combo->GetDroppedDown(); }
  bool PopupShownOnScreen() { return Popup()->HandleAllocated() && IsWindowVisible(Popup()->GetHandle()); }
  TcxCustomEditListBox* List() { return combo->GetLookupData()->GetList(); }
  // The centre of a row of the open list, on the screen.
  TPoint RowOnScreen(Integer AIndex) {
    const TRect r = List()->ItemRect(AIndex);
    return List()->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  }
  // The centre of the editor's text area, on the screen.
  TPoint TextOnScreen() { return combo->ClientToScreen(TPoint(30, 10)); }
  TPoint ButtonOnScreen() { return combo->ClientToScreen(TPoint(combo->GetWidth() - 6, 10)); }
  void ClickAt(TPoint P) {
    test::MouseMove(P);
    test::MouseDown();
    test::MouseUp();
    test::PumpUntilIdle();
  }
};

}  // namespace

ORV_REGISTER(TPrefixLookupData)
ORV_REGISTER(TKeyboardTakingComboProperties)
ORV_REGISTER(TKeyboardTakingCombo)

TEST_F(DropDownStories, APopupOpenedByTypingTellsItsItemsTheTextUpToTheCaret) {
  auto* taking = New<TKeyboardTakingCombo>(form);
  taking->SetBoundsRect({20, 130, 170, 151});
  taking->SetParent(form);
  for (const char* s : {"Paris", "Parma", "Oslo"}) taking->GetProperties()->GetItems()->Add(s);
  taking->GetProperties()->SetImmediateDropDown(true);
  taking->SetText("Parma");
  taking->SetFocus();
  test::PumpUntilIdle();
  TPrefixLookupData::Prefixes.clear();
  Press(VK_HOME);
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  test::TypeText("r");
  test::PumpUntilIdle();
  ASSERT_TRUE(taking->GetDroppedDown());
  EXPECT_EQ(TPrefixLookupData::Prefixes, std::vector<std::string>{"Pa"});
  taking->SetDroppedDown(false);
  test::PumpUntilIdle();
}

// Asked as a window control, the editor is focused while its edit has the
// keyboard, with its list closed or open, and while a popup that takes the
// keyboard is open; not once the focus has gone to another control.
TEST_F(DropDownStories, TheEditorIsFocusedWhileItsEditOrItsOpenPopupHasTheKeyboard) {
  Focus();
  TWinControl* asked = combo;
  ASSERT_EQ(GetFocus(), combo->GetInnerControl()->GetHandle());
  EXPECT_TRUE(asked->Focused());
  EXPECT_FALSE(static_cast<TWinControl*>(other)->Focused());
  Press(VK_F4);
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Popup()->Focused()) << "the list leaves the keyboard to the edit";
  EXPECT_TRUE(asked->Focused());
  Press(VK_F4);
  ASSERT_FALSE(Open());
  EXPECT_TRUE(asked->Focused());
  other->SetFocus();
  test::PumpUntilIdle();
  EXPECT_FALSE(asked->Focused());

  auto* taking = New<TKeyboardTakingCombo>(form);
  taking->SetBoundsRect({20, 130, 170, 151});
  taking->SetParent(form);
  for (const char* s : {"Paris", "Parma", "Oslo"}) taking->GetProperties()->GetItems()->Add(s);
  taking->SetFocus();
  test::PumpUntilIdle();
  Press(VK_F4);
  ASSERT_TRUE(taking->GetDroppedDown());
  ASSERT_NE(GetFocus(), taking->GetInnerControl()->GetHandle());
  ASSERT_TRUE(taking->GetPopupWindow()->Focused());
  EXPECT_TRUE(static_cast<TWinControl*>(taking)->Focused()) << "its popup holds the keyboard";
  Press(VK_ESCAPE);
  ASSERT_FALSE(taking->GetDroppedDown());
  EXPECT_EQ(GetFocus(), taking->GetInnerControl()->GetHandle());
  EXPECT_TRUE(static_cast<TWinControl*>(taking)->Focused());
}

TEST_F(DropDownStories, TheButtonF4AndAltDownOpenThroughOnePostedRequestAndF4OrAltUpCloseWithClose) {
  Focus();
  Press(VK_F4);
  ASSERT_TRUE(Open());
  EXPECT_TRUE(PopupShownOnScreen());
  // The popup is a top-level window of its own, below the editor.
  EXPECT_FALSE(GetWindowLongA(Popup()->GetHandle(), GWL_STYLE) & WS_CHILD);
  // (at the bottom of the editor's visible bounds, inside its border room)
  EXPECT_EQ(Popup()->GetTop(), Popup()->GetOwnerScreenBounds().Bottom);
  EXPECT_NEAR(Popup()->GetTop(), form->ClientToScreen(TPoint(0, combo->GetTop() + combo->GetHeight())).Y, 2);
  Press(VK_F4);
  EXPECT_FALSE(Open());
  EXPECT_FALSE(PopupShownOnScreen());

  Alt(VK_DOWN);
  EXPECT_TRUE(Open());
  Alt(VK_UP);
  EXPECT_FALSE(Open());

  ClickAt(ButtonOnScreen());
  EXPECT_TRUE(Open());
  // The button of an open popup closes it and does not open it again.
  ClickAt(ButtonOnScreen());
  EXPECT_FALSE(Open());
  EXPECT_EQ(log, (Log{"popup", "close crClose", "closeup", "popup", "close crClose", "closeup", "popup",
                      "close crUnknown", "closeup"}));
}

TEST_F(DropDownStories, ASecondRequestWhileOneIsQueuedDoesNothingAndDeactivateRemovesIt) {
  Focus();
  combo->SetDroppedDown(true);
  combo->SetDroppedDown(true);
  EXPECT_FALSE(Open());
  Integer queued = 0;
  for (const MSG& msg : test::QueuedMessages())
    if (msg.message == DXM_SHOWPOPUPWINDOW) ++queued;
  EXPECT_EQ(queued, 1);
  test::PumpUntilIdle();
  EXPECT_TRUE(Open());
  EXPECT_EQ(log, Log{"popup"});

  combo->SetDroppedDown(false);
  combo->SetDroppedDown(true);
  combo->Deactivate();
  test::PumpUntilIdle();
  EXPECT_FALSE(Open());
  for (const MSG& msg : test::QueuedMessages()) EXPECT_NE(msg.message, DXM_SHOWPOPUPWINDOW);
}

TEST_F(DropDownStories, EscapeClosesWithCancelTakesNothingAndIsNotPassedOnWhileWithTheListClosedItResets) {
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);  // the highlight moves in the open list only
  EXPECT_EQ(combo->GetText(), "");
  log.clear();
  Press(VK_ESCAPE);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "");
  EXPECT_EQ(log, (Log{"close crCancel", "closeup"}));

  // Closed, Escape reaches the editor: the typed text goes back.
  test::TypeText("Pa");
  test::PumpUntilIdle();
  EXPECT_TRUE(Open());  // typing opens the list
  Press(VK_ESCAPE);
  EXPECT_FALSE(Open());
  EXPECT_NE(combo->GetText(), "");
  Press(VK_ESCAPE);
  EXPECT_EQ(combo->GetText(), "");
}

TEST_F(DropDownStories, EnterTakesTheHighlightedItemAndRefusedEditingMakesItACancel) {
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_DOWN);
  log.clear();
  Press(VK_RETURN);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Roma");
  EXPECT_EQ(log, (Log{"value Roma", "close crEnter", "closeup"}));

  combo->OnEditing = [](TObject*, bool& CanEdit) { CanEdit = false; };
  combo->SetModified(false);
  Press(VK_F4);
  Press(VK_DOWN);
  log.clear();
  Press(VK_RETURN);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Roma");
  EXPECT_EQ(log, (Log{"close crCancel", "closeup"}));
}

// A dialog shown as the list closes runs a message loop of its own: the
// character of the Enter or Escape that closed the list still reaches
// neither the editor nor its key handlers.
TEST_F(DropDownStories, ADialogShownAsTheListClosesLetsNoClosingKeyCharacterThrough) {
  combo->GetProperties()->OnCloseUp = [this](TObject*) {
    log.push_back("closeup");
    TForm* dialog = TCustomForm::CreateNew<TForm>(Application);
    dialog->SetBoundsRect({300, 300, 500, 400});
    dialog->OnActivate = [dialog](TObject*) { PostMessageA(dialog->GetHandle(), WM_CLOSE, 0, 0); };
    dialog->ShowModal();
    dialog->Free();
    log.push_back("dialog closed");
  };
  combo->OnKeyPress = [this](TObject*, char& Key) { log.push_back("char " + std::to_string(Key)); };
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);
  Press(VK_DOWN);
  log.clear();
  Press(VK_RETURN);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Roma");
  EXPECT_EQ(log, (Log{"value Roma", "close crEnter", "closeup", "dialog closed"}));

  Press(VK_F4);
  Press(VK_DOWN);
  log.clear();
  Press(VK_ESCAPE);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Roma");
  EXPECT_EQ(log, (Log{"close crCancel", "closeup", "dialog closed"}));
  EXPECT_TRUE(combo->IsFocused());
}

TEST_F(DropDownStories, TabPostsThePopupValueOnlyWhenAskedAndLosingTheFocusClosesWithUnknown) {
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);
  log.clear();
  Press(VK_TAB);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "");
  EXPECT_EQ(log, (Log{"close crUnknown", "closeup"}));

  combo->GetProperties()->SetPostPopupValueOnTab(true);
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);
  log.clear();
  Press(VK_TAB);
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Rome");
  EXPECT_EQ(log, (Log{"value Rome", "close crTab", "closeup"}));
  EXPECT_EQ(GetFocus(), other->GetInnerControl()->GetHandle());
}

TEST_F(DropDownStories, AClickOnAnItemTakesItAndAClickOutsideClosesWithoutTakingAnything) {
  Focus();
  Press(VK_F4);
  log.clear();
  ClickAt(RowOnScreen(3));
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Paris");
  EXPECT_EQ(log, (Log{"value Paris", "close crEnter", "closeup"}));

  Press(VK_F4);
  log.clear();
  ClickAt(form->ClientToScreen(TPoint(300, 200)));
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "Paris");
  EXPECT_EQ(log, (Log{"close crUnknown", "closeup"}));
}

TEST_F(DropDownStories, APressOnTheEditorAwayFromItsButtonsPutsTheOpenListAwayTakingNothing) {
  Focus();
  Press(VK_F4);
  Press(VK_DOWN);
  log.clear();
  ClickAt(TextOnScreen());
  EXPECT_FALSE(Open());
  EXPECT_EQ(combo->GetText(), "");
  EXPECT_EQ(log, (Log{"close crUnknown", "closeup"}));

  // The same press handed to the editor directly, as a grid hands its
  // in-place editor the click, never passes the popup's click watch.
  Press(VK_F4);
  log.clear();
  SendMessageA(combo->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 10));
  SendMessageA(combo->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 10));
  test::PumpUntilIdle();
  EXPECT_FALSE(Open());
  EXPECT_EQ(log, (Log{"close crUnknown", "closeup"}));

  // Moving over the editor while the list is open leaves it open.
  Press(VK_F4);
  log.clear();
  test::MouseMove(TextOnScreen());
  test::PumpUntilIdle();
  EXPECT_TRUE(Open());
  EXPECT_TRUE(log.empty());
}

TEST_F(DropDownStories, TheComboClicksOnlyWhenTheItemChangesNeverForAClickInItsText) {
  Integer clicks = 0;
  combo->OnClick = [&](TObject*) { ++clicks; };
  Focus();
  ClickAt(TextOnScreen());
  ClickAt(combo->ClientToScreen(TPoint(2, 2)));
  EXPECT_EQ(clicks, 0);
  Press(VK_F4);
  ClickAt(RowOnScreen(4));
  EXPECT_EQ(combo->GetText(), "Oslo");
  EXPECT_EQ(clicks, 1);
  ClickAt(TextOnScreen());
  EXPECT_EQ(clicks, 1);
}

TEST_F(DropDownStories, AltF4IsNotSwallowedByAnOpenPopup) {
  bool closeAsked = false;
  form->OnCloseQuery = [&](TObject*, bool& CanClose) {
    closeAsked = true;
    CanClose = false;
  };
  Focus();
  Press(VK_F4);
  Alt(VK_F4);
  EXPECT_TRUE(closeAsked);
}

TEST_F(DropDownStories, TypingOpensTheListWithImmediateDropDownAndTheFixedListOpensOnAClickInItsText) {
  Focus();
  test::TypeText("R");
  test::PumpUntilIdle();
  EXPECT_TRUE(Open());
  EXPECT_TRUE(combo->IsPopupOpenedByTyping());
  Press(VK_ESCAPE);
  EXPECT_FALSE(combo->IsPopupOpenedByTyping());

  combo->GetProperties()->SetImmediateDropDown(false);
  test::TypeText("o");
  test::PumpUntilIdle();
  EXPECT_FALSE(Open());

  combo->GetProperties()->SetDropDownListStyle(lsFixedList);
  ClickAt(TextOnScreen());
  EXPECT_TRUE(Open());
  ClickAt(RowOnScreen(4));
  EXPECT_EQ(combo->GetText(), "Oslo");
}

// The list of a combo on a see-through form is as see-through: on the
// headless screen the form shows blended with the black desktop, and the
// list blended with the form beneath it; the form's key colour is a hole
// in the list too. A picture of it for people to look at.
TEST_F(DropDownStories, TheListOfATranslucentFormIsAsTranslucent) {
  form->SetAlphaBlend(true);
  form->SetAlphaBlendValue(160);
  Focus();
  Press(VK_F4);
  ASSERT_TRUE(PopupShownOnScreen());
  HWND list = Popup()->GetHandle();
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(list, &key, &alpha, &flags));
  EXPECT_EQ(alpha, 160);
  EXPECT_EQ(flags, LWA_ALPHA);

  auto rgb = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
  auto blend = [](std::uint32_t over, std::uint32_t under, unsigned a) {
    std::uint32_t out = 0;
    for (int s = 0; s < 24; s += 8)
      out |= ((((over >> s) & 0xFF) * a + ((under >> s) & 0xFF) * (255 - a) + 127) / 255) << s;
    return out;
  };
  // What a window of its own holds at a screen point, its children's
  // pixels included, before the screen blends it.
  auto own = [this](HWND h, TPoint screen) {
    const HeadlessBackEnd::Surface* s = Forms.Win().Screen().Find(detail::Peek(h)->surface);
    const std::size_t i =
        (static_cast<std::size_t>(screen.Y - s->rect.Top) * s->rect.Width() + (screen.X - s->rect.Left)) * 4;
    return RGB(s->pixels[i + 2], s->pixels[i + 1], s->pixels[i]);
  };
  const TPoint row = RowOnScreen(1);
  const std::uint32_t formShown = blend(rgb(own(form->GetHandle(), row)), 0, 160);
  EXPECT_EQ(test::ScreenPixel(row), blend(rgb(own(list, row)), formShown, 160));
  const TPoint beside = combo->ClientToScreen(TPoint(combo->GetWidth() + 20, 5));
  EXPECT_EQ(test::ScreenPixel(beside), blend(rgb(own(form->GetHandle(), beside)), 0, 160));
  const TRect shot = cxRectUnion(form->GetBoundsRect(), Popup()->GetBoundsRect());
  const std::vector<std::uint32_t> pixels = test::ScreenPixels(shot);
  std::filesystem::create_directories("snapshots");
  EXPECT_TRUE(SaveRowsPng(shot.Width(), shot.Height(),
                          [&](int y, std::uint32_t* out) {
                            std::copy_n(&pixels[static_cast<std::size_t>(y) * shot.Width()], shot.Width(), out);
                          },
                          "snapshots/TranslucentComboList.png"));
  Press(VK_ESCAPE);

  // The window colour as the key: the list's rows are holes.
  form->SetAlphaBlend(false);
  form->SetTransparentColor(true);
  form->SetTransparentColorValue(clWindow);
  Press(VK_F4);
  ASSERT_TRUE(GetLayeredWindowAttributes(list, &key, &alpha, &flags));
  EXPECT_EQ(flags, LWA_COLORKEY);
  EXPECT_EQ(key, static_cast<COLORREF>(ColorToRGB(clWindow)));
  const TRect last = List()->ItemRect(4);
  const TPoint empty = List()->ClientToScreen(TPoint(last.Right - 10, (last.Top + last.Bottom) / 2));
  EXPECT_EQ(own(list, empty), key);
  EXPECT_EQ(test::ScreenPixel(empty), rgb(own(form->GetHandle(), empty))) << "the form shows through the list";
  Press(VK_ESCAPE);
}

TEST_F(DropDownStories, AnEmptyListNeverDropsDown) {
  Items({});
  Focus();
  Press(VK_F4);
  ClickAt(ButtonOnScreen());
  test::TypeText("x");
  test::PumpUntilIdle();
  EXPECT_FALSE(Open());
  EXPECT_TRUE(log.empty());
}

TEST_F(DropDownStories, BadSizesAndRowCountsAreCorrectedOrRefused) {
  TcxComboBoxProperties* properties = combo->GetProperties();
  properties->SetDropDownRows(5);
  properties->SetDropDownRows(0);
  properties->SetDropDownRows(-3);
  EXPECT_EQ(properties->GetDropDownRows(), 5);

  properties->SetPopupWidth(-20);
  EXPECT_EQ(properties->GetPopupWidth(), 0);
  properties->SetPopupMinWidth(60);
  properties->SetPopupWidth(30);
  EXPECT_EQ(properties->GetPopupWidth(), 60);
  properties->SetPopupWidth(0);
  EXPECT_EQ(properties->GetPopupWidth(), 0);  // as wide as the editor
  properties->SetPopupMinHeight(-5);
  EXPECT_EQ(properties->GetPopupMinHeight(), 0);
  properties->SetPopupHeight(40);
  properties->SetPopupMinHeight(90);
  EXPECT_EQ(properties->GetPopupHeight(), 90);
}

TEST_F(DropDownStories, TheListShowsItsRowsAsWideAsTheWidestItemWithAScrollBarAndNeverWiderThanTheScreen) {
  TStrings* items = combo->GetProperties()->GetItems();
  items->Clear();
  for (int i = 1; i <= 20; ++i) items->Add("The numbered item of the list " + IntToStr(i));
  Focus();
  Press(VK_F4);
  ASSERT_TRUE(Open());
  Integer widest = 0;
  for (Integer i = 0; i < 20; ++i) widest = std::max(widest, List()->GetItemWidth(i));
  EXPECT_EQ(List()->GetWidth(), widest + 4 + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(List()->GetHeight(), 8 * List()->GetItemHeight(0));
  Press(VK_ESCAPE);

  // An item longer than the screen: the popup stays on the work area and
  // the list scrolls sideways.
  items->Add(AnsiString(10000, 'W'));
  Press(VK_F4);
  ASSERT_TRUE(Open());
  EXPECT_LE(Popup()->GetLeft() + Popup()->GetWidth(), 1024);
  EXPECT_GE(Popup()->GetLeft(), 0);
  EXPECT_GT(List()->GetScrollWidth(), List()->GetClientWidth());

  // Both bars show: the corner between them is painted again when the list
  // changes size, whatever was left there.
  HWND list = List()->GetHandle();
  const TPoint corner(List()->GetClientWidth() + 2, List()->GetClientHeight() + 2);
  auto cornerPixel = [&] {
    HDC dc = GetWindowDC(list);
    const TPoint client = List()->ClientToScreen(TPoint(0, 0));
    const TPoint window = List()->GetParent()->ClientToScreen(TPoint(List()->GetLeft(), List()->GetTop()));
    const COLORREF c = GetPixel(dc, client.X - window.X + corner.X, client.Y - window.Y + corner.Y);
    ReleaseDC(list, dc);
    return c;
  };
  HDC dc = GetWindowDC(list);
  RECT all{0, 0, List()->GetWidth(), List()->GetHeight()};
  HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &all, black);
  DeleteObject(black);
  ReleaseDC(list, dc);
  ASSERT_EQ(cornerPixel(), RGB(0, 0, 0));
  List()->SetWidth(List()->GetWidth() - 10);
  test::PumpUntilIdle();
  EXPECT_EQ(cornerPixel(), GetSysColor(COLOR_BTNFACE));
}

// A row is as tall as the list can hold it, whatever height the settings
// or the measuring event ask: the popup fits the rows the list shows.
TEST_F(DropDownStories, RowHeightsBeyondWhatTheListHoldsOpenTheListAtTheHeightsItShows) {
  Items({"Rome", "Oslo"});
  combo->GetProperties()->SetItemHeight(1000000000);
  Focus();
  Press(VK_F4);
  ASSERT_TRUE(Open());
  EXPECT_EQ(List()->GetItemHeight(0), 255);
  EXPECT_EQ(List()->GetHeight(), 2 * 255);
  Press(VK_ESCAPE);

  combo->GetProperties()->SetItemHeight(0);
  combo->GetProperties()->OnMeasureItem = [](TWinControl*, Integer AIndex, Integer& AHeight) {
    AHeight = AIndex == 0 ? INT_MAX : -5;
  };
  Press(VK_F4);
  ASSERT_TRUE(Open());
  EXPECT_EQ(List()->GetHeight(), 255 + 1);
  Press(VK_ESCAPE);
}

TEST_F(DropDownStories, APopupSizedByTheUserInPlaceReopensAtThatSizeInTheSameCellUntilItIsNoLongerSizeable) {
  auto* cell = New<TcxComboBox>(form, true);
  cell->SetBoundsRect({200, 30, 330, 51});
  cell->SetParent(form);
  TStrings* items = cell->GetProperties()->GetItems();
  for (int i = 1; i <= 30; ++i) items->Add("Item " + IntToStr(i));
  cell->GetProperties()->SetDropDownSizeable(true);
  TcxCustomEditData* data = nullptr;
  cell->Activate(data);
  ASSERT_NE(data, nullptr);
  test::PumpUntilIdle();

  auto open = [&] {
    cell->SetDroppedDown(true);
    test::PumpUntilIdle();
    return cell->GetPopupWindow();
  };
  TcxCustomEditPopupWindow* popup = open();
  ASSERT_TRUE(cell->GetDroppedDown());
  const TSize first(popup->GetWidth(), popup->GetHeight());
  const TRect grip = popup->GetViewInfo()->SizeGripRect;
  const TPoint from(popup->GetLeft() + (grip.Left + grip.Right) / 2, popup->GetTop() + (grip.Top + grip.Bottom) / 2);
  test::MouseMove(from);
  test::MouseDown();
  test::MouseMove(TPoint(from.X + 60, from.Y + 50));
  test::MouseUp();
  test::PumpUntilIdle();
  const TSize sized(popup->GetWidth(), popup->GetHeight());
  ASSERT_NE(sized.cx, first.cx);
  cell->SetDroppedDown(false);

  // The same cell: again and again at the size the user gave it.
  cell->Deactivate();
  cell->Activate(data);
  popup = open();
  EXPECT_EQ(TSize(popup->GetWidth(), popup->GetHeight()), sized);
  cell->SetDroppedDown(false);

  // Its height put back: the cell keeps the user's width, the list its rows.
  cell->ResetPopupHeight();
  popup = open();
  EXPECT_EQ(TSize(popup->GetWidth(), popup->GetHeight()), TSize(sized.cx, first.cy));
  cell->SetDroppedDown(false);

  // Another cell starts from the properties.
  cell->Deactivate();
  TcxCustomEditData* otherData = nullptr;
  cell->Activate(otherData);
  popup = open();
  EXPECT_EQ(TSize(popup->GetWidth(), popup->GetHeight()), first);
  cell->SetDroppedDown(false);
  cell->Deactivate();

  // Not sizeable any more: the remembered size is forgotten.
  cell->Activate(data);
  cell->GetProperties()->SetDropDownSizeable(false);
  popup = open();
  EXPECT_NE(popup->GetWidth(), sized.cx);
  cell->SetDroppedDown(false);
  cell->Deactivate();
  data->Free();
  otherData->Free();
}

TEST_F(DropDownStories, AFocusedFixedListIsDrawnSelectedUnlessATypedHeadShowsItsOwnSelection) {
  auto* fixed = New<TcxComboBox>(form);
  fixed->SetBoundsRect({200, 130, 350, 151});
  fixed->SetParent(form);
  TcxComboBoxProperties* properties = fixed->GetProperties();
  for (const char* item : {"Rome", "Roma", "rom", "Paris"}) properties->GetItems()->Add(item);
  properties->SetDropDownListStyle(lsFixedList);
  properties->SetImmediateDropDown(false);
  fixed->SetItemIndex(3);  // Paris
  test::PumpUntilIdle();
  auto pixel = [&] {
    fixed->Repaint();
    HDC dc = GetWindowDC(fixed->GetHandle());
    const COLORREF c = GetPixel(dc, 90, fixed->GetHeight() / 2);
    ReleaseDC(fixed->GetHandle(), dc);
    return c;
  };
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_NE(pixel(), highlight);  // not focused
  fixed->SetFocus();
  test::PumpUntilIdle();
  EXPECT_EQ(pixel(), highlight);
  test::TypeText("R");  // the head "R" proposes "ome": a selection of its own
  test::PumpUntilIdle();
  ASSERT_TRUE(fixed->GetFindSelection());
  EXPECT_NE(pixel(), highlight);
}

TEST_F(DropDownStories, AFixedListWithItemDrawingDrawsItsCurrentItemInTheTextAreaAsAnEditArea) {
  auto* fixed = New<TcxComboBox>(form);
  fixed->SetBoundsRect({200, 130, 350, 151});
  fixed->SetParent(form);
  TcxComboBoxProperties* properties = fixed->GetProperties();
  for (const char* item : {"Rome", "Roma", "rom", "Paris"}) properties->GetItems()->Add(item);
  properties->SetDropDownListStyle(lsFixedList);
  properties->SetImmediateDropDown(false);
  const TColor colours[] = {clRed, clGreen, clBlue, clYellow};
  Log drawn;
  properties->OnDrawItem = [&](TcxCustomComboBox* AControl, TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect,
                               TOwnerDrawState AState) {
    if (!AState.Contains(odComboBoxEdit)) return;
    drawn.push_back(std::string(AControl == fixed ? "editor " : "other ") + IntToStr(AIndex) +
                    (AState.Contains(odSelected) ? " selected" : "") + (AState.Contains(odFocused) ? " focused" : ""));
    ACanvas->SetBrushColor(colours[AIndex]);
    ACanvas->FillRect(ARect);
  };
  auto pixel = [&] {
    fixed->Repaint();
    HDC dc = GetWindowDC(fixed->GetHandle());
    const COLORREF c = GetPixel(dc, 90, fixed->GetHeight() / 2);
    ReleaseDC(fixed->GetHandle(), dc);
    return c;
  };
  // No item: the text is drawn the usual way.
  test::PumpUntilIdle();
  drawn.clear();
  EXPECT_NE(pixel(), ColorToRGB(clYellow));
  EXPECT_TRUE(drawn.empty());

  fixed->SetItemIndex(3);  // Paris
  EXPECT_EQ(pixel(), ColorToRGB(clYellow));
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), "editor 3");
  fixed->SetFocus();
  test::PumpUntilIdle();
  fixed->SetItemIndex(0);
  EXPECT_EQ(pixel(), ColorToRGB(clRed));
  EXPECT_EQ(drawn.back(), "editor 0 selected focused");

  // An editable list keeps its text.
  properties->SetDropDownListStyle(lsEditList);
  drawn.clear();
  EXPECT_NE(pixel(), ColorToRGB(clRed));
  EXPECT_TRUE(drawn.empty());
}

TEST_F(DropDownStories, AnInPlaceEditorWithImmediatePopupOpensOnActivation) {
  auto* cell = New<TcxComboBox>(form, true);
  cell->SetBoundsRect({200, 30, 330, 51});
  cell->SetParent(form);
  cell->GetProperties()->GetItems()->Add("Rome");
  cell->GetProperties()->SetImmediatePopup(true);
  TcxCustomEditData* data = nullptr;
  cell->Activate(data);
  EXPECT_FALSE(cell->GetDroppedDown());  // the request is on its way
  test::PumpUntilIdle();
  EXPECT_TRUE(cell->GetDroppedDown());
  cell->Deactivate();
  EXPECT_FALSE(cell->GetDroppedDown());
  data->Free();
}

TEST_F(DropDownStories, APasteOpensTheListOnThePastedItem) {
  Focus();
  SetClipboardText("Paris");
  combo->PasteFromClipboard();
  test::PumpUntilIdle();
  ASSERT_TRUE(Open());
  EXPECT_EQ(combo->GetText(), "Paris");
  EXPECT_EQ(combo->GetSelectedItem(), 3);
  Press(VK_RETURN);
  EXPECT_EQ(combo->GetItemIndex(), 3);

  // Nothing changed by the paste: nothing opens.
  combo->SelectAll();
  combo->PasteFromClipboard();
  test::PumpUntilIdle();
  EXPECT_FALSE(Open());
}

TEST_F(DropDownStories, TheGlyphGoesToTheButtonItIsGivenToAndTheArrowComesBackWithoutIt) {
  auto* properties = New<TcxComboBoxProperties>(nullptr);
  properties->GetButtons()->Add()->SetKind(bkEllipsis);
  auto* glyph = New<TBitmap>();
  glyph->SetWidth(8);
  glyph->SetHeight(8);
  properties->SetButtonGlyph(glyph);
  EXPECT_EQ(properties->GetButtons()->GetItem(0)->GetKind(), bkGlyph);
  properties->SetGlyphButtonIndex(1);
  EXPECT_EQ(properties->GetButtons()->GetItem(0)->GetKind(), bkDown);
  EXPECT_EQ(properties->GetButtons()->GetItem(1)->GetKind(), bkGlyph);
  EXPECT_EQ(properties->GetButtonGlyph()->GetWidth(), 8);
  properties->SetButtonGlyph(nullptr);
  EXPECT_EQ(properties->GetButtons()->GetItem(1)->GetKind(), bkDown);
  properties->SetGlyphButtonIndex(5);
  EXPECT_EQ(properties->GetButtonGlyph(), nullptr);
  glyph->Free();
  properties->Free();
}

TEST(DropDownUnit, StartUpRegistersTheComboBoxAndThePopupEditorWithTheComboFilterHelper) {
  edit_test::EditorSession session;
  TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
  EXPECT_EQ(kinds->GetDescriptionByClass(TcxComboBoxProperties::StaticClass()), "ComboBox");
  EXPECT_EQ(kinds->GetHintByClass(TcxComboBoxProperties::StaticClass()), "Represents the combo box editor");
  EXPECT_EQ(kinds->GetDescriptionByClass(TcxPopupEditProperties::StaticClass()), "PopupEdit");
  EXPECT_EQ(kinds->GetHintByClass(TcxPopupEditProperties::StaticClass()),
            "Represents an edit control with a dropdown list");
  EXPECT_EQ(FilterEditsController()->FindHelper(TcxComboBoxProperties::StaticClass()),
            TcxFilterComboBoxHelper::StaticClass());
}
