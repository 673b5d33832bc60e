// Popup menus as a person uses them: picked with the keyboard and the
// mouse inside the menu's own loop, items that cannot be chosen passed
// over, the chosen item's handler run before Popup comes back, shortcuts,
// owner drawing, the control's own menu on a right click, and scripted
// answers for code that merely opens a menu.
#include "platform/forms/Menus.h"

#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ObjectText.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/Caret.h"
#include "platform/win/Focus.h"
#include "platform/win/Icons.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/NonClient.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "ControlLog.h"
#include "FormsTestUtil.h"

using namespace forms_test;

namespace {

// A picture of a window as its device context holds it, for people to
// look at.
void SaveWindowPng(HWND h, const char* name) {
  TRect r{};
  GetWindowRect(h, &r);
  HDC wdc = GetDC(h);
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, r.Width(), r.Height());
  HGDIOBJ old = SelectObject(mem, ToObj(bmp));
  BitBlt(mem, 0, 0, r.Width(), r.Height(), wdc, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  EXPECT_TRUE(SaveBitmapPng(bmp, name));
  DeleteObject(ToObj(bmp));
  DeleteDC(mem);
  ReleaseDC(h, wdc);
}

class Menus : public ::testing::Test {
 protected:
  forms::test::Session session;
  LeakCheck leaks;  // everything the test makes is gone by its end
  TForm* form = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem *open = nullptr, *save = nullptr, *hidden = nullptr, *line = nullptr, *print = nullptr,
            *close = nullptr;

  void SetUp() override {
    TakeLog();
    form = MakeForm("Form");
    menu = New<TPopupMenu>(form);
    open = Add("&Open", scCtrl | 'O');
    save = Add("&Save", scCtrl | 'S');
    hidden = Add("&Hidden");
    hidden->SetVisible(false);
    line = Add("-");
    print = Add("&Print...", scCtrl | 'P');
    print->SetEnabled(false);
    close = Add("&Close");
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override {
    form->Free();
    EXPECT_TRUE(forms::test::RecordedExceptions().empty());
  }
  TMenuItem* Add(const char* caption, TShortCut shortcut = scNone, TMenuItem* parent = nullptr) {
    auto* item = New<TMenuItem>(form);
    item->SetCaption(caption);
    item->SetShortCut(shortcut);
    std::string name = StripHotkey(caption);
    item->OnClick = [name](TObject*) { Log().push_back("click " + name); };
    (parent ? parent : menu->GetItems())->Add(item);
    return item;
  }
  void PopupAndLogReturn(Integer x = 200, Integer y = 150) {
    menu->Popup(x, y);
    Log().push_back("returned");
  }
  POINT Centre(TMenuItem* item) {
    TRect r = forms::test::OpenMenuItemRect(item);
    EXPECT_GT(r.Width(), 0) << item->GetCaption() << " is not on screen";
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
};

TEST_F(Menus, KeysMoveOverWhatCanBeChosenAndTheHandlerRunsBeforePopupReturns) {
  // Down from nothing lands on Open; Down twice more passes the hidden
  // item, the line and the disabled Print to reach Close.
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_RETURN);
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Close", "returned"}));

  // Up from nothing wraps to the last item; Up again passes back to Save.
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_UP);
    win::test::KeyPress(VK_UP);
    win::test::KeyPress(VK_RETURN);
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Save", "returned"}));

  // A mnemonic picks at once; that of a disabled item does nothing, and Esc
  // leaves without a choice.
  win::test::OnNextModalLoop([] { win::test::KeyPress('O'); });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Open", "returned"}));
  win::test::OnNextModalLoop([] {
    win::test::KeyPress('P');
    win::test::KeyPress('H');
    win::test::KeyPress(VK_ESCAPE);
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"returned"}));

  // The keys never reached the form, and the menu left the capture and
  // the focus as they were.
  EXPECT_EQ(win::test::Capture(), nullptr);
  EXPECT_EQ(win::test::Active(), form->GetHandle());
  EXPECT_EQ(forms::test::OpenMenuWindow(), nullptr);
}

TEST_F(Menus, MouseHighlightsAndPicksAndAPressOutsideDismisses) {
  win::test::OnNextModalLoop([this] {
    win::test::MouseMove(Centre(save));
    win::test::MouseDown();
    win::test::MouseUp();
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Save", "returned"}));

  // A release over the disabled item or the line chooses nothing; the
  // menu stays until a press lands outside it.
  win::test::OnNextModalLoop([this] {
    win::test::MouseMove(Centre(print));
    win::test::MouseDown();
    win::test::MouseUp();
    win::test::MouseMove(Centre(line));
    win::test::MouseDown();
    win::test::MouseUp();
    win::test::MouseMove({20, 20});
    win::test::MouseDown();
    win::test::MouseUp();
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"returned"}));
  // The press that dismissed the menu was the menu's: the form saw no click.
  form->OnClick = [](TObject*) { Log().push_back("form clicked"); };
  win::test::PumpUntilIdle();
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Menus, SubmenusOpenToTheRightAndCloseBackToTheirParent) {
  TMenuItem* recent = Add("&Recent");
  Add("&First.txt", scNone, recent);
  Add("&Second.txt", scNone, recent);
  // Right opens the submenu; Esc closes only it, and Enter on the parent's
  // item opens it again.
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_UP);
    win::test::KeyPress(VK_RIGHT);
  });
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_ESCAPE);
    win::test::KeyPress(VK_RETURN);
  });
  win::test::OnNextModalLoop([recent] {
    TRect item = forms::test::OpenMenuItemRect(recent);
    TRect first = forms::test::OpenMenuItemRect(recent->GetItems(0));
    EXPECT_GE(first.Left, item.Right - 4);  // beside its item, not over it
    EXPECT_EQ(first.Top, item.Top);
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_RETURN);
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Second.txt", "returned"}));
}

// Something running while a menu is open (a timer rebuilding it) frees
// its items: the menu closes up the gap and offers the rest; an item whose
// submenu is open, or the whole menu, going ends every open menu.
TEST_F(Menus, ItemsFreedWhileTheMenuIsOpenAreNoLongerShownOrChosen) {
  TRect before{}, after{};
  TRect closeBefore{}, closeAfter{};
  win::test::OnNextModalLoop([&] {
    GetWindowRect(forms::test::OpenMenuWindow(), &before);
    closeBefore = forms::test::OpenMenuItemRect(close);
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_DOWN);  // Save is lit
    win::test::PumpUntilIdle();
    save->Free();
    save = nullptr;
    win::test::PumpUntilIdle();
    GetWindowRect(forms::test::OpenMenuWindow(), &after);
    closeAfter = forms::test::OpenMenuItemRect(close);
    win::test::KeyPress(VK_DOWN);  // from nothing lit: Open
    win::test::KeyPress(VK_DOWN);  // past the line and Print: Close
    win::test::KeyPress(VK_RETURN);
  });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"click Close", "returned"}));
  EXPECT_EQ(before.Height() - after.Height(), closeBefore.Top - closeAfter.Top);
  EXPECT_GT(closeBefore.Top, closeAfter.Top);

  TMenuItem* recent = Add("&Recent");
  Add("&First.txt", scNone, recent);
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_UP);
    win::test::KeyPress(VK_RIGHT);
  });
  win::test::OnNextModalLoop([recent] { recent->Free(); });
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"returned"}));
  EXPECT_EQ(forms::test::OpenMenuWindow(), nullptr);

  win::test::OnNextModalLoop([this] {
    menu->Free();
    menu = nullptr;
  });
  TPopupMenu* going = menu;
  going->Popup(200, 150);
  EXPECT_EQ(forms::test::OpenMenuWindow(), nullptr);
  EXPECT_EQ(win::test::Capture(), nullptr);

  // A menu that frees itself as it is about to show (another takes its
  // place) shows nothing.
  auto* stale = New<TPopupMenu>(form);
  stale->GetItems()->Add(New<TMenuItem>(stale));
  stale->OnPopup = [stale](TObject*) {
    Log().push_back("stale menu goes");
    stale->Free();
  };
  stale->Popup(200, 150);
  EXPECT_EQ(TakeLog(), Seq({"stale menu goes"}));
  EXPECT_EQ(forms::test::OpenMenuWindow(), nullptr);
}

TEST_F(Menus, ShortCutsRunTheirItemOnlyWhenItCouldBeChosen) {
  auto key = [](Word vk) { return TMessage{WM_KEYDOWN, vk, 0, 0}; };
  TMessage m = key('S');
  EXPECT_FALSE(menu->IsShortCut(m));  // S alone is no shortcut
  win::test::KeyDown(VK_CONTROL);
  win::test::PumpUntilIdle();
  m = key('S');
  EXPECT_TRUE(menu->IsShortCut(m));
  m = key('P');  // Print is disabled
  EXPECT_FALSE(menu->IsShortCut(m));
  save->SetVisible(false);
  m = key('S');
  EXPECT_FALSE(menu->IsShortCut(m));
  m = TMessage{WM_KEYUP, 'O', 0, 0};
  EXPECT_FALSE(menu->IsShortCut(m));
  win::test::KeyUp(VK_CONTROL);
  win::test::PumpUntilIdle();
  EXPECT_EQ(TakeLog(), Seq({"click Save"}));

  // Typed in a control, the shortcut of its parent's menu runs its item and
  // goes no further.
  auto* edit = Make<TLogControl>(form, "Edit", Bounds(10, 10, 50, 20));
  form->SetPopupMenu(menu);
  LogEvents(edit);
  edit->SetFocus();
  win::test::PumpUntilIdle();
  TakeLog();
  win::test::KeyDown(VK_CONTROL);
  win::test::KeyPress('O');
  win::test::KeyUp(VK_CONTROL);
  win::test::PumpUntilIdle();
  std::vector<std::string> log = TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "click Open"), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "Edit OnKeyDown 79"), log.end());

  EXPECT_EQ(ShortCutToText(scCtrl | scShift | VK_F5), "Shift+Ctrl+F5");
  EXPECT_EQ(ShortCutToText(scAlt | VK_DELETE), "Alt+Del");
  EXPECT_EQ(TextToShortCut("Shift+Ctrl+F5"), scCtrl | scShift | VK_F5);
  EXPECT_EQ(TextToShortCut("Alt+F4"), scAlt | VK_F4);
  EXPECT_EQ(TextToShortCut("Alt+"), scNone);
  EXPECT_EQ(StripHotkey("Save && &Quit"), "Save & Quit");
}

TEST_F(Menus, ScriptedAnswersPickOrDismissAndLogWhatShowed) {
  menu->OnPopup = [](TObject*) { Log().push_back("OnPopup"); };
  forms::test::PickMenuItem("Close");
  forms::test::PickMenuItem(0);
  forms::test::DismissMenu();
  PopupAndLogReturn(10, 20);
  PopupAndLogReturn();
  PopupAndLogReturn();
  EXPECT_EQ(TakeLog(), Seq({"OnPopup", "click Close", "returned", "OnPopup", "click Open", "returned", "OnPopup",
                            "returned"}));
  auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Pos, (TPoint{10, 20}));
  EXPECT_EQ(calls[0].Items, (std::vector<AnsiString>{"Open", "Save", "-", "Print...", "Close"}));

  // A script cannot choose what a person could not.
  forms::test::PickMenuItem("Print...");
  EXPECT_THROW(menu->Popup(0, 0), EInvalidOperation);
  forms::test::PickMenuItem(2);  // the hidden one
  EXPECT_THROW(menu->Popup(0, 0), EInvalidOperation);
  EXPECT_EQ(TakeLog(), Seq({"OnPopup", "OnPopup"}));
}

TEST_F(Menus, ARightClickShowsTheControlsOwnMenuAtThePointer) {
  auto* box = Make<TLogControl>(form, "Box", Bounds(10, 10, 100, 60));
  box->SetPopupMenu(menu);
  win::test::PumpUntilIdle();
  forms::test::PickMenuItem("Save");
  win::test::Click(box->GetHandle(), {30, 20}, VK_RBUTTON);
  win::test::PumpUntilIdle();
  EXPECT_EQ(menu->GetPopupComponent(), box);
  auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Pos, box->ClientToScreen({30, 20}));
  EXPECT_EQ(TakeLog().back(), "click Save");

  // A handled OnContextPopup keeps the menu shut; so does AutoPopup off.
  box->OnContextPopup = [](TObject*, TPoint, bool& handled) { handled = true; };
  win::test::Click(box->GetHandle(), {30, 20}, VK_RBUTTON);
  box->OnContextPopup = nullptr;
  menu->SetAutoPopup(false);
  win::test::Click(box->GetHandle(), {30, 20}, VK_RBUTTON);
  win::test::PumpUntilIdle();
  EXPECT_EQ(forms::test::PopupMenuLog().size(), 1u);

  box->Free();  // the menu forgets the control it last showed for
  EXPECT_EQ(menu->GetPopupComponent(), nullptr);
}

TEST_F(Menus, TheKeyboardAsksForTheMenuAtTheControlsCornerOrUnderItsCaret) {
  auto* box = Make<TLogControl>(form, "Box", Bounds(10, 10, 100, 60));
  box->SetPopupMenu(menu);
  box->SetFocus();
  win::test::PumpUntilIdle();
  auto shiftF10 = [] {
    win::test::KeyDown(VK_SHIFT);
    win::test::KeyPress(VK_F10);
    win::test::KeyUp(VK_SHIFT);
    win::test::PumpUntilIdle();
  };
  // Shift+F10 and the menu key (when let go) ask the focused control.
  forms::test::DismissMenu();
  shiftF10();
  forms::test::DismissMenu();
  win::test::KeyDown(VK_APPS);
  win::test::PumpUntilIdle();
  EXPECT_EQ(forms::test::PopupMenuLog().size(), 1u);  // not yet
  win::test::KeyUp(VK_APPS);
  win::test::PumpUntilIdle();
  // A control holding the caret opens it under the caret.
  CreateCaret(box->GetHandle(), nullptr, 1, 13);
  SetCaretPos(20, 5);
  forms::test::DismissMenu();
  shiftF10();
  DestroyCaret();
  auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].Pos, box->ClientToScreen({0, 0}));
  EXPECT_EQ(calls[1].Pos, box->ClientToScreen({0, 0}));
  EXPECT_EQ(calls[2].Pos, box->ClientToScreen({20, 18}));
  EXPECT_EQ(forms::test::PendingMenuAnswers(), 0);
  box->Free();
}

TEST_F(Menus, OwnerDrawnItemsAreMeasuredAndPaintedByTheirHandlers) {
  menu->SetOwnerDraw(true);
  std::vector<std::string> drawn;
  for (TMenuItem* item : {open, save}) {
    item->OnMeasureItem = [](TObject*, TCanvas*, Integer& w, Integer& h) {
      w = 150;
      h = 30;
    };
    item->OnDrawItem = [&drawn](TObject* sender, TCanvas* c, TRect r, bool selected) {
      drawn.push_back(static_cast<TMenuItem*>(sender)->GetCaption() + (selected ? " selected" : ""));
      c->GetBrush()->SetColor(selected ? clRed : clLime);
      c->FillRect(r);
    };
  }
  TColor before = 0, after = 0;
  win::test::OnNextModalLoop([&] {
    TRect r = forms::test::OpenMenuItemRect(open);
    EXPECT_EQ(r.Height(), 30);
    EXPECT_GE(r.Width(), 150);
    HWND h = forms::test::OpenMenuWindow();
    POINT p{r.Left + 5, r.Top + 5};
    ScreenToClient(h, &p);
    HDC dc = GetDC(h);
    before = static_cast<TColor>(GetPixel(dc, p.X, p.Y));
    ReleaseDC(h, dc);
    win::test::KeyPress(VK_DOWN);
    win::test::PumpUntilIdle();
    dc = GetDC(h);
    after = static_cast<TColor>(GetPixel(dc, p.X, p.Y));
    ReleaseDC(h, dc);
    win::test::KeyPress(VK_ESCAPE);
  });
  menu->Popup(200, 150);
  EXPECT_EQ(before, clLime);
  EXPECT_EQ(after, clRed);
  EXPECT_EQ(drawn.front(), "&Open");
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), "&Open selected"), drawn.end());
}

TEST_F(Menus, TheAlignmentPlacesTheMenuAndItStaysOnTheScreen) {
  auto placed = [this](TPopupAlignment alignment, Integer x, Integer y) {
    menu->SetAlignment(alignment);
    TRect r{};
    win::test::OnNextModalLoop([&r] {
      GetWindowRect(forms::test::OpenMenuWindow(), &r);
      win::test::KeyPress(VK_ESCAPE);
    });
    menu->Popup(x, y);
    return r;
  };
  TRect left = placed(paLeft, 300, 150);
  EXPECT_EQ(left.Left, 300);
  EXPECT_EQ(left.Top, 150);
  EXPECT_EQ(placed(paRight, 300, 150).Right, 300);
  TRect centre = placed(paCenter, 300, 150);
  EXPECT_NEAR((centre.Left + centre.Right) / 2, 300, 1);
  // Near the bottom-right corner of the 1024x768 screen it moves back on.
  TRect corner = placed(paLeft, 1020, 760);
  EXPECT_LE(corner.Right, 1024);
  EXPECT_LE(corner.Bottom, 768);
  EXPECT_GT(corner.Top, 0);
}

TEST_F(Menus, AMenuReadFromALayoutKeepsItsTreeAndWritesItBack) {
  const char* text =
      "object Box: TForm\n"
      "  object Pop: TPopupMenu\n"
      "    Alignment = paRight\n"
      "    object MOpen: TMenuItem\n"
      "      Caption = '&Open'\n"
      "      ShortCut = 16463\n"
      "    end\n"
      "    object MMore: TMenuItem\n"
      "      Caption = 'More'\n"
      "      object MDeep: TMenuItem\n"
      "        Caption = 'Deep'\n"
      "        Enabled = False\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "  object Top: TPanel\n"
      "    PopupMenu = Pop\n"
      "  end\n"
      "end\n";
  auto* f = static_cast<TForm*>(forms::test::BuildFromText(text));
  auto* pop = static_cast<TPopupMenu*>(f->FindComponent("Pop"));
  ASSERT_NE(pop, nullptr);
  EXPECT_EQ(pop->GetAlignment(), paRight);
  ASSERT_EQ(pop->GetItems()->GetCount(), 2);
  EXPECT_EQ(pop->GetItems()->GetItems(0)->GetShortCut(), scCtrl | 'O');
  TMenuItem* more = pop->GetItems()->GetItems(1);
  ASSERT_EQ(more->GetCount(), 1);
  EXPECT_EQ(more->GetItems(0)->GetCaption(), "Deep");
  EXPECT_FALSE(more->GetItems(0)->GetEnabled());
  EXPECT_EQ(static_cast<TControl*>(f->FindComponent("Top"))->GetPopupMenu(), pop);
  // Written out, the items come inside the menu, not beside it.
  AnsiString written = ComponentToText(f);
  EXPECT_NE(written.find("object MDeep: TMenuItem"), AnsiString::npos);
  EXPECT_LT(written.find("object Pop"), written.find("object MOpen"));
  EXPECT_LT(written.find("object MOpen"), written.find("object Top"));
  f->Free();
}

// A form the window system frames itself has its system menu: Alt+Space
// shows it as a menu like any other, under the caption's left end, greyed
// as the form's state says, with the shortcut of Close beside it; the item
// chosen reaches the form as a system command (Close closes it), and a
// menu put away chooses nothing.
TEST_F(Menus, AltSpaceShowsTheFormsSystemMenuAndTheItemChosenReachesTheForm) {
  auto altSpace = [] {
    win::test::KeyDown(VK_MENU);
    win::test::KeyPress(VK_SPACE);
    win::test::KeyUp(VK_MENU);
    win::test::PumpUntilIdle();
  };
  form->OnClose = [](TObject*, TCloseAction&) { Log().push_back("OnClose"); };
  form->SetFocus();
  win::test::PumpUntilIdle();
  TakeLog();
  // Put away with Escape: nothing happens to the form. A picture of it
  // for people to look at.
  win::test::OnNextModalLoop([] {
    HWND h = forms::test::OpenMenuWindow();
    ASSERT_NE(h, nullptr);
    SaveWindowPng(h, "SystemMenu.png");
    win::test::KeyPress(VK_ESCAPE);
  });
  altSpace();
  EXPECT_EQ(TakeLog(), Seq({}));
  EXPECT_TRUE(form->GetVisible());

  forms::test::PickMenuItem("Close");
  altSpace();
  auto calls = forms::test::PopupMenuLog();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Items, (std::vector<AnsiString>{"Restore", "Move", "Size", "Minimize", "Maximize", "-", "Close"}));
  const TPoint corner = form->ClientToScreen(TPoint(0, 0));
  EXPECT_GT(calls[0].Pos.Y, form->GetTop()) << "under the caption";
  EXPECT_LE(calls[0].Pos.Y, corner.Y);
  EXPECT_EQ(TakeLog(), Seq({"OnClose"}));
  EXPECT_FALSE(form->GetVisible());
}

// Minimised where nothing else takes the keyboard, the form holds it
// without a focus, so every key comes as a system key: its menu still
// takes the plain ones (a mnemonic, the arrows and Enter), and only Alt
// puts it away. The bar lies at the bottom of the screen: its menu opens
// above it, leaving it in sight.
TEST_F(Menus, AMinimisedFormsSystemMenuTakesPlainKeys) {
  auto altSpace = [] {
    win::test::KeyDown(VK_MENU);
    win::test::KeyPress(VK_SPACE);
    win::test::KeyUp(VK_MENU);
    win::test::PumpUntilIdle();
  };
  const TRect open = form->GetBoundsRect();
  ShowWindow(form->GetHandle(), SW_MINIMIZE);
  win::test::PumpUntilIdle();
  ASSERT_TRUE(IsIconic(form->GetHandle()));
  ASSERT_EQ(GetActiveWindow(), form->GetHandle());
  ASSERT_EQ(GetFocus(), nullptr);
  const TRect bar = form->GetBoundsRect();
  win::test::OnNextModalLoop([bar] {
    HWND menu = forms::test::OpenMenuWindow();
    ASSERT_NE(menu, nullptr);
    RECT r{};
    GetWindowRect(menu, &r);
    EXPECT_EQ(r.Bottom, bar.Top) << "the menu stands on the bar";
    EXPECT_TRUE(r.Left >= bar.Left && r.Left < bar.Right) << r.Left;
    win::test::KeyPress(VK_MENU);
  });
  altSpace();
  EXPECT_EQ(forms::test::OpenMenuWindow(), nullptr);
  EXPECT_TRUE(IsIconic(form->GetHandle())) << "Alt put the menu away and chose nothing";
  win::test::OnNextModalLoop([] { win::test::KeyPress('R'); });
  altSpace();
  EXPECT_FALSE(IsIconic(form->GetHandle())) << "R chose Restore";
  EXPECT_EQ(form->GetBoundsRect(), open);

  ShowWindow(form->GetHandle(), SW_MINIMIZE);
  win::test::PumpUntilIdle();
  win::test::OnNextModalLoop([] {
    win::test::KeyPress(VK_DOWN);
    win::test::KeyPress(VK_RETURN);
  });
  altSpace();
  EXPECT_FALSE(IsIconic(form->GetHandle())) << "Down and Enter chose Restore";
}

// A double click on the small icon: the first press opens the system menu,
// the second puts it away and still closes the form, as on a window
// without a menu to show.
TEST_F(Menus, ADoubleClickOnTheSmallIconClosesTheFormThroughItsSystemMenu) {
  form->OnClose = [](TObject*, TCloseAction&) { Log().push_back("OnClose"); };
  // A small icon for the caption to show: a black square.
  HBITMAP mask = CreateBitmap(16, 32, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, nullptr};
  HICON small = CreateIconIndirect(&info);
  DeleteObject(ToObj(mask));
  SendMessageA(form->GetHandle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  win::test::PumpUntilIdle();
  win::detail::CaptionLayout caption;
  ASSERT_TRUE(win::detail::LayoutCaption(win::detail::Peek(form->GetHandle()), caption));
  ASSERT_LT(caption.icon.Left, caption.icon.Right) << "the form shows no icon";
  const POINT icon{form->GetLeft() + (caption.icon.Left + caption.icon.Right) / 2,
                   form->GetTop() + (caption.icon.Top + caption.icon.Bottom) / 2};
  auto doubleClick = [&] {
    win::test::MouseMove(icon);
    for (int i = 0; i < 2; ++i) {
      win::test::MouseDown();
      win::test::MouseUp();
    }
    win::test::PumpUntilIdle();
  };
  // With Close greyed the menu is only opened and put away.
  EnableMenuItem(GetSystemMenu(form->GetHandle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  TakeLog();
  doubleClick();
  EXPECT_EQ(TakeLog(), Seq({}));
  EXPECT_TRUE(form->GetVisible());
  EnableMenuItem(GetSystemMenu(form->GetHandle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  doubleClick();
  EXPECT_EQ(TakeLog(), Seq({"OnClose"}));
  EXPECT_FALSE(form->GetVisible());
  SendMessageA(form->GetHandle(), WM_SETICON, ICON_SMALL, 0);
  DestroyIcon(small);
}

// A picture of an open menu for people to look at: a tick, shortcuts, a
// line, a disabled item, the selection and a submenu arrow.
TEST_F(Menus, SnapshotOfAnOpenMenu) {
  open->SetChecked(true);
  TMenuItem* recent = Add("Recent &files");
  Add("a.txt", scNone, recent);
  win::test::OnNextModalLoop([this] {
    win::test::MouseMove(Centre(save));
    win::test::PumpUntilIdle();
    HWND h = forms::test::OpenMenuWindow();
    SaveWindowPng(h, "OpenPopupMenu.png");
    win::test::KeyPress(VK_ESCAPE);
  });
  menu->Popup(200, 150);
}

}  // namespace
