// The list of lookup items on its own, hosted in a container on a form:
// every row one line of text, centred and two pixels in; the row under the
// pointer becomes the selection and is reported; the wheel scrolls by the
// platform's lines; the row count follows the items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/foundation/cxGraphics.h"
#include "platform/controls/ListBoxTestHooks.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Focus.h"
#include "platform/win/Mouse.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowDC.h"

using namespace win;

namespace {

// A list whose rows may be made taller, and that frames its focused row.
class TTestEditListBox : public TcxCustomEditListBox {
  ORV_CLASS(TTestEditListBox, TcxCustomEditListBox)
 public:
  explicit TTestEditListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner) {}
  Integer RowHeight = 0;
  bool FrameFocus = false;
  Integer GetItemHeight(Integer AIndex = -1) override {
    return RowHeight > 0 ? RowHeight : TcxCustomEditListBox::GetItemHeight(AIndex);
  }

 protected:
  bool NeedDrawFocusRect() override { return FrameFocus; }
};

class TListHost : public TcxContainer {
  ORV_CLASS(TListHost, TcxContainer)
 public:
  explicit TListHost(TComponent* AOwner) : TcxContainer(AOwner) {}
  TTestEditListBox* list = nullptr;
  void AfterConstruction() override {
    TcxContainer::AfterConstruction();
    list = New<TTestEditListBox>(this);
    list->SetContainer(this);
    list->SetParent(this);
    SetInnerControl(list);
  }
};

class cxEditListBoxes : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  TListHost* host = nullptr;
  TTestEditListBox* list = nullptr;
  std::vector<int> selected;  // the list's item index at each select-item event

  void SetUp() override {
    SetTextRenderMode(TextRenderMode::Monochrome);
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
    host = New<TListHost>(form);
    host->SetBoundsRect({10, 10, 170, 130});
    host->SetParent(form);
    list = host->list;
    list->OnSelectItem = [this](TObject*) { selected.push_back(list->GetItemIndex()); };
  }
  void TearDown() override {
    form->Free();
    win::test::PumpUntilIdle();
    SetTextRenderMode(TextRenderMode::Grayscale);
  }
  void Show() {
    form->Show();
    win::test::PumpUntilIdle();
  }
  void Add(std::initializer_list<const char*> items) {
    for (const char* s : items) list->GetItems()->Add(s);
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(list->GetHandle());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(list->GetHandle(), dc);
    return c;
  }
  // The ink (pixels not of the row's background) of one row, as a box in
  // list coordinates; empty when there is none.
  TRect Ink(int row) {
    const TRect r = list->ItemRect(row);
    const COLORREF background = Pixel(r.Right - 1, r.Top);
    TRect ink{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Pixel(x, y) != background) {
          ink.Left = std::min<int>(ink.Left, x);
          ink.Top = std::min<int>(ink.Top, y);
          ink.Right = std::max<int>(ink.Right, x + 1);
          ink.Bottom = std::max<int>(ink.Bottom, y + 1);
        }
    return ink.Left < ink.Right ? ink : TRect{};
  }
  static COLORREF RGBOf(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }
  void Hover(int x, int y) {
    win::test::MouseMove(list->ClientToScreen({x, y}));
    win::test::PumpUntilIdle();
  }
};

}  // namespace

ORV_REGISTER(TTestEditListBox)
ORV_REGISTER(TListHost)

TEST_F(cxEditListBoxes, RowsAreOneLineOfTextCentredTwoPixelsInWithAmpersandsDrawnAsTheyStand) {
  Add({"Rome", "R&D", "RD", "two\nlines"});
  list->SetItemIndex(1);
  Show();
  const Integer textHeight = cxTextHeight(list->GetFont(), "Wg");
  EXPECT_EQ(list->ItemRect(0).Height(), textHeight);
  EXPECT_EQ(list->GetHeight(3), 3 * textHeight);

  // Unselected rows lie on the window colour, the selected one on the
  // highlight, with the text in the highlight's text colour.
  const TRect row0 = list->ItemRect(0);
  const TRect row1 = list->ItemRect(1);
  EXPECT_EQ(Pixel(0, row0.Top), RGBOf(clWindow));
  EXPECT_EQ(Pixel(row1.Right - 1, row1.Top), RGBOf(clHighlight));
  const TRect selectedInk = Ink(1);
  ASSERT_GT(selectedInk.Width(), 0);
  bool highlightText = false;
  for (int x = selectedInk.Left; x < selectedInk.Right; ++x)
    highlightText |= Pixel(x, selectedInk.Top + selectedInk.Height() / 2) == RGBOf(clHighlightText);
  EXPECT_TRUE(highlightText);

  // Two pixels in from the left edge: nothing in the first two columns.
  const TRect rome = Ink(0);
  ASSERT_GT(rome.Width(), 0);
  EXPECT_GE(rome.Left, 2);
  EXPECT_LE(rome.Left, 4);

  // The ampersand is a character of its own, not an accelerator marker.
  EXPECT_GT(Ink(1).Width(), Ink(2).Width() + 3);

  // A line break does not start a second line: the ink stays in its row.
  const TRect twoLines = Ink(3);
  ASSERT_GT(twoLines.Width(), 0);
  EXPECT_GE(twoLines.Top, list->ItemRect(3).Top);
  const TRect below = list->ItemRect(4);
  for (int x = 0; x < 60; ++x) EXPECT_EQ(Pixel(x, below.Top + 2), RGBOf(clWindow)) << x;

  HDC dc = GetDC(form->GetHandle());
  EXPECT_TRUE(SaveDCPng(dc, "edit_list_box.png"));
  ReleaseDC(form->GetHandle(), dc);

  // Taller rows keep the text in the middle: the ink moves down by half
  // the extra height.
  list->RowHeight = textHeight + 10;
  list->SetStyle(lbStandard);
  list->SetStyle(lbOwnerDrawFixed);
  win::test::PumpUntilIdle();
  ASSERT_EQ(list->ItemRect(0).Height(), textHeight + 10);
  const TRect tall = Ink(0);
  EXPECT_EQ(tall.Top - list->ItemRect(0).Top, rome.Top - row0.Top + 5);
  EXPECT_EQ(tall.Left, rome.Left);
}

TEST_F(cxEditListBoxes, TheRowUnderThePointerIsSelectedAndReportedOnceUnlessTheMouseIsHeldOrTrackingIsOff) {
  Add({"Apple", "Avocado", "Banana", "Cherry"});
  Show();
  const int h = list->ItemRect(0).Height();
  Hover(20, 2 * h + 2);
  EXPECT_EQ(list->GetItemIndex(), 2);
  Hover(30, 2 * h + 4);  // the same row: nothing new
  Hover(30, h + 1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(selected, (std::vector<int>{2, 1}));

  // Below the last row the selection stays.
  Hover(30, 4 * h + 10);
  EXPECT_EQ(list->GetItemIndex(), 1);

  // While something holds the mouse the pointer selects nothing.
  SetCapture(list->GetHandle());
  Hover(30, 3 * h + 1);
  EXPECT_EQ(list->GetItemIndex(), 1);
  ReleaseCapture();

  list->SetHotTrack(false);
  Hover(30, 3 * h + 2);
  EXPECT_EQ(list->GetItemIndex(), 1);
  EXPECT_EQ(selected.size(), 2u);

  // A click is reported too, and so is a selection made by the program.
  win::test::Click(list->GetHandle(), {30, 3 * h + 1});
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetItemIndex(), 3);
  ASSERT_GE(selected.size(), 3u);
  EXPECT_EQ(selected.back(), 3);
  selected.clear();
  list->SetItemIndex(0);
  EXPECT_EQ(selected, (std::vector<int>{0}));
}

TEST_F(cxEditListBoxes, TheWheelScrollsThreeLinesANotchUnlessTheContainerTakesIt) {
  for (int i = 1; i <= 30; ++i) list->GetItems()->Add("Item " + IntToStr(i));
  Show();
  bool take = false;
  host->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) { Handled = take; };
  win::test::MouseMove(list->ClientToScreen({20, 20}));
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 3);
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 6);
  win::test::Wheel(120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 3);

  take = true;
  win::test::Wheel(-120);
  win::test::PumpUntilIdle();
  EXPECT_EQ(list->GetTopIndex(), 3);
}

TEST_F(cxEditListBoxes, TheRowCountGrowsAndShrinksAtTheEndKeepingTheRowsBefore) {
  Add({"Rome", "Roma", "rom"});
  Show();
  list->SetItemIndex(1);
  list->SetItemCount(5);
  EXPECT_EQ(controls::test::ListItems(list->GetHandle()),
            (std::vector<std::string>{"Rome", "Roma", "rom", "", ""}));
  EXPECT_EQ(list->GetItemIndex(), 1);
  list->SetItemCount(2);
  EXPECT_EQ(controls::test::ListItems(list->GetHandle()), (std::vector<std::string>{"Rome", "Roma"}));
  EXPECT_EQ(list->GetItemIndex(), 1);
  // A negative count empties the list and goes no further.
  list->SetItemCount(-4);
  EXPECT_EQ(list->GetCount(), 0);
  list->SetItemCount(1);
  EXPECT_EQ(controls::test::ListItems(list->GetHandle()), (std::vector<std::string>{""}));
}

TEST_F(cxEditListBoxes, AShownListDrawsItsSelectionAsFocusedWhileTheFocusIsElsewhere) {
  Add({"Apple", "Avocado"});
  list->FrameFocus = true;
  list->SetItemIndex(0);
  list->SetVisible(false);
  Show();
  host->SetFocus();
  win::test::PumpUntilIdle();
  ASSERT_NE(GetFocus(), list->GetHandle());
  list->SetVisible(true);
  win::test::PumpUntilIdle();
  ASSERT_NE(GetFocus(), list->GetHandle());
  const TRect row = list->ItemRect(0);
  // The dotted frame breaks the highlight along the row's edge.
  bool framed = false;
  for (int x = row.Left; x < row.Right; ++x) framed |= Pixel(x, row.Top) != RGBOf(clHighlight);
  EXPECT_TRUE(framed);
  EXPECT_EQ(Pixel(row.Right - 3, row.Top + row.Height() / 2), RGBOf(clHighlight));
}
