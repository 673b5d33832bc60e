// The page control as a person uses it: clicking tabs and pressing
// Ctrl+Tab turn the pages (with the program asked first), the active sheet
// fills the room under the tabs, and the tabs look like classic raised tabs.
#include "ListButtonTestUtil.h"

#include "platform/controls/PageControl.h"
#include "platform/rtl/ObjectText.h"

using namespace lb_test;

namespace {

class Pages : public Stage {
 protected:
  TForm* form = nullptr;
  TPageControl* pages = nullptr;
  TTabSheet* rows = nullptr;
  TTabSheet* categories = nullptr;
  TTabSheet* third = nullptr;
  std::vector<std::string> log;
  bool refuse = false;

  void SetUp() override {
    Stage::SetUp();
    ASSERT_EQ(GetClass("TPageControl"), TPageControl::StaticClass());
    form = MakeForm("PagesForm", Bounds(100, 100, 320, 220));
    pages = Make<TPageControl>(form, "Pages", Bounds(8, 8, 260, 150));
    pages->SetHotTrack(true);
    rows = Sheet("Rows");
    categories = Sheet("Categories");
    third = Sheet("Third");
    pages->OnChanging = [this](TObject*, bool& allow) {
      log.push_back("changing from " + pages->GetActivePage()->GetCaption());
      allow = !refuse;
    };
    pages->OnChange = [this](TObject*) { log.push_back("change to " + pages->GetActivePage()->GetCaption()); };
    form->Show();
    Pump();
  }

  void TearDown() override {
    form->Free();
    Stage::TearDown();
  }

  TTabSheet* Sheet(const char* caption) {
    auto* sheet = New<TTabSheet>(form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
    return sheet;
  }

  void ClickTab(TTabSheet* sheet) {
    const TRect r = pages->TabRect(sheet->GetPageIndex());
    ClickAt(pages->GetHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }

  void CtrlTab(bool back = false) {
    win::test::KeyDown(VK_CONTROL);
    if (back) win::test::KeyDown(VK_SHIFT);
    win::test::KeyPress(VK_TAB);
    if (back) win::test::KeyUp(VK_SHIFT);
    win::test::KeyUp(VK_CONTROL);
    Pump();
  }

  std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

TEST_F(Pages, ClickingATabAsksFirstThenTurnsThePage) {
  // The first sheet put in became the active one, without any event.
  EXPECT_EQ(pages->GetActivePage(), rows);
  EXPECT_EQ(pages->GetPageCount(), 3);
  EXPECT_TRUE(rows->GetVisible());
  EXPECT_FALSE(categories->GetVisible());

  ClickTab(categories);
  EXPECT_EQ(TakeLog(), (Log{"changing from Rows", "change to Categories"}));
  EXPECT_EQ(pages->GetActivePage(), categories);
  EXPECT_EQ(pages->GetActivePageIndex(), 1);
  EXPECT_TRUE(categories->GetVisible());
  EXPECT_FALSE(rows->GetVisible());
  EXPECT_EQ(win::test::Focus(), pages->GetHandle());

  // A refusal keeps the page; clicking the active tab asks nothing.
  refuse = true;
  ClickTab(third);
  EXPECT_EQ(TakeLog(), (Log{"changing from Categories"}));
  EXPECT_EQ(pages->GetActivePage(), categories);
  EXPECT_TRUE(categories->GetVisible());
  EXPECT_FALSE(third->GetVisible());
  ClickTab(categories);
  EXPECT_TRUE(TakeLog().empty());

  // The program turns pages without asking.
  pages->SetActivePageIndex(2);
  EXPECT_EQ(pages->GetActivePage(), third);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Pages, CtrlTabCyclesThroughTheTabsThatShow) {
  // A button on the active sheet holds the focus.
  auto* button = Make<TButton>(rows, "OnRows", Bounds(10, 10, 75, 25));
  Pump();
  button->SetFocus();
  Pump();
  categories->SetTabVisible(false);
  EXPECT_EQ(pages->TabRect(1), TRect{});

  CtrlTab();
  EXPECT_EQ(TakeLog(), (Log{"changing from Rows", "change to Third"}));
  EXPECT_EQ(pages->GetActivePage(), third);
  // The focus left the sheet that went out of sight.
  EXPECT_EQ(win::test::Focus(), pages->GetHandle());
  CtrlTab();
  EXPECT_EQ(TakeLog(), (Log{"changing from Third", "change to Rows"}));
  CtrlTab(true);
  EXPECT_EQ(TakeLog(), (Log{"changing from Rows", "change to Third"}));

  refuse = true;
  CtrlTab(true);
  EXPECT_EQ(TakeLog(), (Log{"changing from Third"}));
  EXPECT_EQ(pages->GetActivePage(), third);

  // Hiding the active tab moves to the next page with a tab; a page
  // without its tab cannot be made active.
  third->SetTabVisible(false);
  EXPECT_EQ(pages->GetActivePage(), rows);
  pages->SetActivePage(categories);
  EXPECT_EQ(pages->GetActivePage(), rows);
  // With a single tab left there is nowhere to go.
  refuse = false;
  CtrlTab();
  EXPECT_TRUE(TakeLog().empty());

  // Without the focus inside, Ctrl+Tab is not the control's.
  third->SetTabVisible(true);
  auto* outside = Make<TButton>(form, "Outside", Bounds(8, 165, 75, 25));
  Pump();
  outside->SetFocus();
  Pump();
  CtrlTab();
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_EQ(pages->GetActivePage(), rows);
}

TEST_F(Pages, TheActiveSheetFillsTheRoomBelowTheTabs) {
  const TRect tab = pages->TabRect(0);
  ASSERT_GT(tab.Height(), 10);
  auto expected = [&] {
    return Rect(4, tab.Bottom + 4, pages->GetClientWidth() - 4, pages->GetClientHeight() - 4);
  };
  EXPECT_EQ(rows->GetBoundsRect(), expected());
  ClickTab(third);
  EXPECT_EQ(third->GetBoundsRect(), expected());
  pages->SetBounds(8, 8, 300, 180);
  Pump();
  EXPECT_EQ(third->GetBoundsRect(), expected());
  // Tabs sit side by side in page order; moving a page moves its tab.
  EXPECT_EQ(pages->TabRect(1).Left, pages->TabRect(0).Right);
  third->SetPageIndex(0);
  EXPECT_EQ(pages->GetPages(0), third);
  EXPECT_EQ(pages->TabRect(0).Left, tab.Left);
  EXPECT_EQ(rows->GetPageIndex(), 1);
}

TEST_F(Pages, SheetsLeavingTheControlHandTheActivePageOn) {
  ClickTab(categories);
  TakeLog();
  categories->Free();
  EXPECT_EQ(pages->GetPageCount(), 2);
  EXPECT_EQ(pages->GetActivePage(), third);
  EXPECT_TRUE(third->GetVisible());
  third->SetPageControl(nullptr);
  EXPECT_EQ(third->GetPageIndex(), -1);
  EXPECT_EQ(pages->GetActivePage(), rows);
  third->Free();
  rows->Free();
  EXPECT_EQ(pages->GetActivePage(), nullptr);
  EXPECT_EQ(pages->GetActivePageIndex(), -1);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_THROW(pages->GetPages(0), EListError);
}

TEST_F(Pages, TabsLookRaisedAndTheActiveOneOpensIntoThePage) {
  ClickTab(categories);
  // The pointer rests over the third tab: its caption shows hot.
  const TRect hot = pages->TabRect(2);
  win::test::MouseMove(pages->GetHandle(), {hot.Left + 3, hot.Top + 3});
  Pump();
  pages->Repaint();
  Pump();
  HWND h = pages->GetHandle();
  const TRect active = pages->TabRect(1);
  const TRect inactive = pages->TabRect(0);
  const int frameTop = active.Bottom;
  const COLORREF white = RGB(255, 255, 255), face = RGB(212, 208, 200), shadow = RGB(128, 128, 128),
                 dark = RGB(64, 64, 64);
  // The frame: lit above and left, shadowed right and bottom.
  EXPECT_EQ(PixelAt(h, 0, frameTop + 20), white);
  EXPECT_EQ(PixelAt(h, pages->GetWidth() - 1, frameTop + 20), dark);
  EXPECT_EQ(PixelAt(h, pages->GetWidth() - 2, frameTop + 20), shadow);
  EXPECT_EQ(PixelAt(h, 50, pages->GetHeight() - 1), dark);
  // An inactive tab: a lit top at its own height, the frame line under it.
  EXPECT_EQ(PixelAt(h, inactive.Left + 5, inactive.Top), white);
  EXPECT_EQ(PixelAt(h, inactive.Left + 5, frameTop), white);
  EXPECT_EQ(PixelAt(h, hot.Right - 1, hot.Top + 5), dark);
  EXPECT_EQ(PixelAt(h, hot.Right - 2, hot.Top + 5), shadow);
  // The active tab stands two pixels higher, and no line parts it from
  // the page below.
  EXPECT_EQ(PixelAt(h, active.Left + 5, active.Top - 2), white);
  EXPECT_EQ(PixelAt(h, active.Left + 5, active.Top), face);
  EXPECT_EQ(PixelAt(h, active.Left + 8, frameTop), face);
  EXPECT_EQ(PixelAt(h, active.Left - 2, frameTop), white);
  // Captions: black, and hot-light blue under the pointer.
  auto count = [&](const TRect& r, COLORREF c) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += PixelAt(h, x, y) == c;
    return n;
  };
  EXPECT_GT(count(inactive, RGB(0, 0, 0)), 10);
  EXPECT_EQ(count(inactive, RGB(0, 0, 128)), 0);
  EXPECT_GT(count(hot, RGB(0, 0, 128)), 10);
  // The focused page control rings the active caption with the same room
  // on both sides: the outermost marked columns are the ring's.
  ASSERT_TRUE(pages->Focused());
  std::vector<int> marked;
  for (int x = active.Left - 1; x < active.Right; ++x)
    for (int y = active.Top; y < active.Bottom; ++y)
      if (PixelAt(h, x, y) != face) {
        marked.push_back(x);
        break;
      }
  ASSERT_GE(marked.size(), 4u);
  EXPECT_EQ(marked[1] - marked[0], marked.back() - marked[marked.size() - 2]);
  EXPECT_GT(marked[1] - marked[0], 1);
  Snapshot(form->GetHandle(), "PageControl.png");
  // Moving on to the page below lets the caption cool down.
  win::test::MouseMove(pages->GetHandle(), {40, frameTop + 40});
  Pump();
  pages->Repaint();
  Pump();
  EXPECT_EQ(count(hot, RGB(0, 0, 128)), 0);
}

class PageLayouts : public Stage {};

TEST_F(PageLayouts, APageControlLoadsFromALayoutWithItsActivePage) {
  TComponent* built = forms::test::BuildFromText(
      "object Box: TForm\n"
      "  object Book: TPageControl\n"
      "    ActivePage = Second\n"
      "    HotTrack = True\n"
      "    object First: TTabSheet\n"
      "      Caption = 'Rows'\n"
      "    end\n"
      "    object Second: TTabSheet\n"
      "      Caption = 'Categories'\n"
      "      object Inside: TButton\n"
      "      end\n"
      "    end\n"
      "    object Hidden: TTabSheet\n"
      "      TabVisible = False\n"
      "    end\n"
      "  end\n"
      "end\n");
  auto* box = dynamic_cast<TForm*>(built);
  ASSERT_NE(box, nullptr);
  auto* book = dynamic_cast<TPageControl*>(box->FindComponent("Book"));
  ASSERT_NE(book, nullptr);
  EXPECT_TRUE(book->GetHotTrack());
  ASSERT_EQ(book->GetPageCount(), 3);
  EXPECT_EQ(book->GetPages(1)->GetCaption(), "Categories");
  EXPECT_EQ(book->GetActivePage(), book->GetPages(1));
  EXPECT_FALSE(book->GetPages(0)->GetVisible());
  EXPECT_TRUE(book->GetPages(1)->GetVisible());
  EXPECT_FALSE(book->GetPages(2)->GetTabVisible());
  EXPECT_EQ(book->GetPages(2)->GetPageControl(), book);
  // Taken out of the Tab order, it stays out through its written layout.
  book->SetTabStop(false);
  const AnsiString written = ComponentToText(box);
  box->Free();
  TComponent* again = forms::test::BuildFromText(written);
  auto* bookAgain = dynamic_cast<TPageControl*>(again->FindComponent("Book"));
  ASSERT_NE(bookAgain, nullptr);
  EXPECT_FALSE(bookAgain->GetTabStop()) << written;
  again->Free();
}

}  // namespace
