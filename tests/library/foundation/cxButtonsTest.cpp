// The look-and-feel push button: glyph counts (an empty glyph included),
// colour fallbacks, the drop-down kinds and where their menu opens, the
// glyph and caption layout, the shared glyph lists, the auto-sized button,
// a button freed while hot, and a contact sheet of every look-and-feel
// kind and state (buttons.png in the test's folder).
#include <string>
#include <vector>

#include "ControlsSession.h"
#include "library/foundation/cxButtons.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Keyboard.h"
#include "platform/win/WindowDC.h"

namespace {

class TProbeMenu : public TComponent, public IcxPopupMenu, public IcxPopupMenuPlacement {
  ORV_CLASS(TProbeMenu, TComponent)
 public:
  explicit TProbeMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<std::string> Log;
  Integer Height = 100;
  TPopupAlignment Alignment = paLeft;
  std::function<void()> WhileOpen;
  bool IsShortCut(TMessage&) override { return false; }
  void Popup(Integer X, Integer Y) override {
    Log.push_back("popup " + std::to_string(X) + "," + std::to_string(Y));
    if (WhileOpen) WhileOpen();
  }
  Integer GetPopupHeight() override { return Height; }
  void SetPopupAlignment(TPopupAlignment A) override { Alignment = A; }
};

TBitmap* MakeGlyph(Integer W, Integer H, TColor C) {
  TBitmap* b = New<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(W, H);
  b->GetCanvas()->GetBrush()->SetColor(0x008080);  // see-through
  b->GetCanvas()->FillRect(TRect{0, 0, W, H});
  b->GetCanvas()->GetBrush()->SetColor(C);
  b->GetCanvas()->FillRect(TRect{2, 2, W - 2, H - 2});
  return b;
}

class cxButtons : public ControlsSession {
 protected:
  TcxButton* button = nullptr;
  int clicks = 0;
  void SetUp() override {
    ControlsSession::SetUp();
    ShowForm();
    button = Place<TcxButton>({20, 20, 120, 45});
    button->SetCaption("Run");
    button->OnClick = [this](TObject*) { ++clicks; };
    win::test::PumpUntilIdle();
  }
  void ClickAt(TPoint p) {
    win::test::PumpFor(600);  // never a double click
    win::test::Click(button->GetHandle(), p);
    win::test::PumpUntilIdle();
  }
  // The leftmost column of the button's pixels in colour C, or -1.
  Integer LeftmostOf(TColor C) {
    win::HDC dc = win::GetDC(button->GetHandle());
    Integer found = -1;
    for (Integer x = 0; x < button->GetWidth() && found < 0; ++x)
      for (Integer y = 0; y < button->GetHeight(); ++y)
        if (win::GetPixel(dc, x, y) == static_cast<COLORREF>(C)) {
          found = x;
          break;
        }
    win::ReleaseDC(button->GetHandle(), dc);
    return found;
  }
};

// Tells when a component it watches is freed.
class TListWatch : public TComponent {
  ORV_CLASS(TListWatch, TComponent)
 public:
  explicit TListWatch(TComponent* AOwner) : TComponent(AOwner) {}
  bool listFreed = false;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) listFreed = true;
  }
};

}  // namespace
ORV_REGISTER(TProbeMenu)
ORV_REGISTER(TListWatch)

TEST_F(cxButtons, GlyphCountsFollowTheBitmapAndAnEmptyOneIsOneGlyph) {
  TOwned<TBitmap> g(MakeGlyph(64, 16, clRed));
  button->SetGlyph(g.get());
  EXPECT_EQ(button->GetNumGlyphs(), 4);
  TOwned<TBitmap> wide(MakeGlyph(80, 16, clRed));
  button->SetGlyph(wide.get());
  EXPECT_EQ(button->GetNumGlyphs(), 1);
  TOwned<TBitmap> empty(New<TBitmap>());
  button->SetGlyph(empty.get());  // no division by a zero height
  EXPECT_EQ(button->GetNumGlyphs(), 1);
  button->SetNumGlyphs(9);
  EXPECT_EQ(button->GetNumGlyphs(), 4);
  button->SetNumGlyphs(0);
  EXPECT_EQ(button->GetNumGlyphs(), 4);
  button->Repaint();
  win::test::PumpUntilIdle();
}

TEST_F(cxButtons, UnassignedStateColoursBorrowNormalsAndLeaveTheRestToThePainter) {
  TcxButtonColors* c = button->GetColors();
  button->GetLookAndFeel()->SetKind(lfFlat);
  button->GetLookAndFeel()->SetNativeStyle(false);
  EXPECT_EQ(c->GetBackgroundColor(cxbsHot), clDefault);
  c->SetNormal(clYellow);
  EXPECT_EQ(c->GetBackgroundColor(cxbsHot), clYellow);
  c->SetHot(clAqua);
  EXPECT_EQ(c->GetBackgroundColor(cxbsHot), clAqua);
  c->SetHot(clNone);
  EXPECT_EQ(c->GetAssignedColors(), TcxButtonAssignedColors{cxbsNormal});

  // Only the Default colour: the resting face takes it, while the hot,
  // pressed and disabled faces are the painter's own.
  c->SetDefault(clLime);
  c->SetNormal(clDefault);
  EXPECT_EQ(c->GetBackgroundColor(cxbsNormal), clLime);
  for (TcxButtonState s : {cxbsHot, cxbsPressed, cxbsDisabled}) EXPECT_EQ(c->GetBackgroundColor(s), clDefault);
  button->Repaint();
  win::test::PumpUntilIdle();
  EXPECT_GE(LeftmostOf(clLime), 0);
  button->SetEnabled(false);
  button->Repaint();
  win::test::PumpUntilIdle();
  EXPECT_EQ(LeftmostOf(clLime), -1);
}

TEST_F(cxButtons, ADropDownButtonOpensItsMenuInsteadOfClicking) {
  auto* menu = New<TProbeMenu>(form);
  button->SetKind(cxbkDropDown);
  button->SetDropDownMenu(menu);
  ClickAt({30, 10});
  EXPECT_EQ(menu->Log.size(), 1u);
  EXPECT_EQ(clicks, 0);
  button->SetFocus();
  win::test::KeyPress(win::VK_SPACE);  // from the keyboard too
  win::test::PumpUntilIdle();
  EXPECT_EQ(menu->Log.size(), 2u);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->GetMenuVisible());
}

TEST_F(cxButtons, ASplitButtonClicksOnItsMainPartAndDropsFromItsRightPart) {
  auto* menu = New<TProbeMenu>(form);
  button->SetKind(cxbkDropDownButton);
  button->SetDropDownMenu(menu);
  ClickAt({30, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(menu->Log.empty());
  ClickAt({90, 10});  // within the rightmost 15 pixels
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(menu->Log.size(), 1u);

  // A click on the button while its menu is open only closes the menu.
  menu->WhileOpen = [&] {
    EXPECT_TRUE(button->GetMenuVisible());
    button->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(30, 10));
    button->Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(30, 10));
  };
  ClickAt({90, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(menu->Log.size(), 2u);
  menu->Free();
  EXPECT_EQ(button->GetDropDownMenu(), nullptr);
}

TEST_F(cxButtons, TheMenuOpensAboveNearTheBottomAndKeepsToTheWorkArea) {
  auto* menu = New<TProbeMenu>(form);
  TPopupAlignment a;
  TPoint p = button->GetDropDownMenuPopupPoint(menu, a);
  EXPECT_EQ(p, button->ClientToScreen({0, 25}));
  EXPECT_EQ(a, paLeft);

  form->SetBounds(0, 620, 300, 150);  // 768 high: a 100-pixel menu does not fit below
  win::test::PumpUntilIdle();
  p = button->GetDropDownMenuPopupPoint(menu, a);
  EXPECT_EQ(p, button->ClientToScreen({0, 25 - 100 - 25 - 2}));

  // At the left edge of the work area the menu opens rightwards, at the
  // right edge leftwards, whatever was asked.
  form->SetBounds(-200, 100, 300, 150);
  button->SetBounds(0, 20, 100, 25);
  win::test::PumpUntilIdle();
  p = button->GetDropDownMenuPopupPoint(menu, a);
  ASSERT_LE(p.X, 0);
  EXPECT_EQ(a, paRight);
  button->SetPopupAlignment(paRight);
  form->SetBounds(950, 100, 300, 150);
  win::test::PumpUntilIdle();
  p = button->GetDropDownMenuPopupPoint(menu, a);
  ASSERT_GE(p.X, 1024);
  EXPECT_EQ(a, paLeft);
}

TEST_F(cxButtons, MarginAndSpacingPlaceTheGlyph) {
  TOwned<TBitmap> g(MakeGlyph(16, 16, clRed));
  button->SetGlyph(g.get());
  button->SetCaption("");
  button->Repaint();
  win::test::PumpUntilIdle();
  const Integer border = button->GetPainterClass()->ButtonBorderSize(cxbsNormal);
  // Margin -1 centres the glyph (its red part starts 2 pixels in).
  EXPECT_EQ(LeftmostOf(clRed), border + (100 - 2 * border - 16) / 2 + 2);
  button->SetMargin(0);
  button->Repaint();
  win::test::PumpUntilIdle();
  EXPECT_EQ(LeftmostOf(clRed), border + 2);
  button->SetMargin(-5);  // ignored
  EXPECT_EQ(button->GetMargin(), 0);

  // Both -1: margin and spacing share the room left by glyph and caption.
  button->SetCaption("Run");
  button->SetMargin(-1);
  button->SetSpacing(-1);
  button->Repaint();
  win::test::PumpUntilIdle();
  TcxScreenCanvas measure;
  measure.SetFont(button->GetFont());
  win::RECT r{0, 0, 1000, 0};
  win::DrawTextA(measure.GetHandle(), "Run", -1, &r, win::DT_CALCRECT | win::DT_SINGLELINE);
  const Integer room = 100 - 2 * border - 16 - r.Width();
  EXPECT_EQ(LeftmostOf(clRed), border + room / 3 + 2);
}

TEST_F(cxButtons, AButtonFreedWhileHotIsNeverCalledBack) {
  win::test::MouseMove(button->GetHandle(), {10, 10});
  win::test::PumpUntilIdle();
  ASSERT_TRUE(button->GetHot());
  ASSERT_TRUE(IsMouseTracking(button));
  button->Free();
  win::test::MouseMove({5, 5});
  win::test::PumpFor(50);  // the tracker ticks without its caller
  EXPECT_EQ(win::test::Timers().size(), 0u);
}

TEST_F(cxButtons, ContactSheetOfEveryKindAndState) {
  form->SetBoundsRect({0, 0, 700, 500});
  button->SetBounds(10, 10, 90, 25);
  auto* split = Place<TcxButton>({10, 40, 100, 65});
  split->SetCaption("More");
  split->SetKind(cxbkDropDownButton);
  TOwned<TBitmap> g(MakeGlyph(16, 16, clNavy));
  auto* glyphed = Place<TcxButton>({10, 70, 100, 95});
  glyphed->SetCaption("Open");
  glyphed->SetGlyph(g.get());
  win::test::PumpUntilIdle();

  constexpr Integer kCellW = 110, kCellH = 100;
  const char* const states[] = {"normal", "hot", "pressed", "default", "disabled"};
  TOwned<TBitmap> sheet(New<TBitmap>());
  sheet->SetPixelFormat(pf32bit);
  sheet->SetSize(kCellW * 5, kCellH * 5);
  sheet->GetCanvas()->GetBrush()->SetColor(clBtnFace);
  sheet->GetCanvas()->FillRect(TRect{0, 0, kCellW * 5, kCellH * 5});
  std::vector<TcxButton*> all{button, split, glyphed};
  for (Integer row = 0; row < 5; ++row) {
    for (TcxButton* b : all) {
      b->GetLookAndFeel()->SetKind(row == 4 ? lfStandard : static_cast<TcxLookAndFeelKind>(row));
      b->GetLookAndFeel()->SetNativeStyle(row == 4);
    }
    for (Integer col = 0; col < 5; ++col) {
      const std::string state = states[col];
      for (TcxButton* b : all) {
        b->SetEnabled(state != "disabled");
        b->SetDefault(state == "default");
      }
      win::test::MouseMove({650, 450});
      win::test::PumpFor(50);
      if (state == "hot" || state == "pressed") {
        for (TcxButton* b : all) b->Perform(win::CM_MOUSEENTER, 0, reinterpret_cast<win::LPARAM>(b));
      }
      win::test::PumpUntilIdle();
      for (TcxButton* b : all) {
        if (state == "pressed") b->Perform(win::WM_LBUTTONDOWN, win::MK_LBUTTON, win::MAKELPARAM(5, 5));
        win::test::PumpUntilIdle();
        b->Repaint();
        win::HDC dc = win::GetDC(b->GetHandle());
        win::BitBlt(sheet->GetCanvas()->GetHandle(), col * kCellW + b->GetLeft(), row * kCellH + b->GetTop(),
                    b->GetWidth(), b->GetHeight(), dc, 0, 0, win::SRCCOPY);
        win::ReleaseDC(b->GetHandle(), dc);
        if (state == "pressed") b->Perform(win::WM_CANCELMODE);
        b->Perform(win::CM_MOUSELEAVE, 0, reinterpret_cast<win::LPARAM>(b));
      }
    }
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet->GetHandle(), "buttons.png"));
}

TEST_F(cxButtons, AButtonReadFromALayoutKeepsItsSettings) {
  TComponent* built = forms::test::BuildFromText(R"(object Host: TForm
  object OkButton: TcxButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = '&OK'
    ModalResult = 1
    Default = True
    Kind = cxbkDropDownButton
    Margin = 2
    LookAndFeel.NativeStyle = True
    Colors.Hot = clYellow
  end
end)");
  auto* ok = dynamic_cast<TcxButton*>(built->FindComponent("OkButton"));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetCaption(), "&OK");
  EXPECT_EQ(ok->GetModalResult(), 1);
  EXPECT_TRUE(ok->GetDefault());
  EXPECT_EQ(ok->GetKind(), cxbkDropDownButton);
  EXPECT_EQ(ok->GetMargin(), 2);
  EXPECT_EQ(ok->GetLookAndFeel()->GetAssignedValues(), TcxLookAndFeelValues{lfvNativeStyle});
  EXPECT_EQ(ok->GetColors()->GetAssignedColors(), TcxButtonAssignedColors{cxbsHot});
  // Taken out of the Tab order, it stays out through its written layout.
  ok->SetTabStop(false);
  const AnsiString written = ComponentToText(built);
  built->Free();
  TComponent* again = forms::test::BuildFromText(written);
  auto* okAgain = dynamic_cast<TcxButton*>(again->FindComponent("OkButton"));
  ASSERT_NE(okAgain, nullptr);
  EXPECT_FALSE(okAgain->GetTabStop()) << written;
  again->Free();
}

TEST_F(cxButtons, GlyphImagesAreMadeOnceInOneListPerSizeThatLivesWithTheGlyphs) {
  TOwned<TBitmap> red(MakeGlyph(16, 16, clRed));
  TOwned<TBitmap> green(MakeGlyph(16, 16, clLime));
  TOwned<TBitmap> big(MakeGlyph(20, 20, clBlue));
  auto* second = Place<TcxButton>({20, 60, 120, 85});
  auto* third = Place<TcxButton>({20, 100, 120, 125});
  button->SetGlyph(red.get());
  second->SetGlyph(green.get());
  third->SetGlyph(big.get());
  auto paint = [&] {
    for (TcxButton* b : {button, second, third}) b->Repaint();
    win::test::PumpUntilIdle();
  };
  paint();
  // Buttons with glyphs of one size share a list; another size has its own.
  TcxGlyphList* list = button->GetButtonGlyph()->GetGlyphList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(second->GetButtonGlyph()->GetGlyphList(), list);
  EXPECT_NE(third->GetButtonGlyph()->GetGlyphList(), list);
  EXPECT_EQ(list->GetUsedCount(), 2);
  paint();
  EXPECT_EQ(list->GetUsedCount(), 2);  // made once, drawn again
  EXPECT_GE(LeftmostOf(clRed), 0);

  // Disabled, a glyph without a disabled image is drawn embossed: its
  // image is made once more, and no red shows.
  button->SetEnabled(false);
  paint();
  paint();
  EXPECT_EQ(list->GetUsedCount(), 3);
  EXPECT_EQ(LeftmostOf(clRed), -1);
  EXPECT_GE(LeftmostOf(ColorToRGB(clBtnShadow)), 0);
  // A new bitmap gives the old images back; their slots are used again.
  button->SetGlyph(green.get());
  EXPECT_EQ(list->GetUsedCount(), 1);
  const Integer slots = list->GetCount();
  paint();
  EXPECT_EQ(list->GetUsedCount(), 2);
  EXPECT_EQ(list->GetCount(), slots);

  // The lists go with the last glyph object.
  TOwned<TListWatch> watch(New<TListWatch>(nullptr));
  list->FreeNotification(watch.get());
  button->Free();
  second->Free();
  EXPECT_FALSE(watch->listFreed);
  third->Free();
  EXPECT_TRUE(watch->listFreed);
  button = nullptr;
}

TEST_F(cxButtons, AnAutoSizedButtonKeepsItsOptimalSize) {
  button->SetButtonAutoSize(true);
  TSize optimal = button->GetOptimalSize();
  EXPECT_EQ(button->GetBoundsRect(), TRect(20, 20, 20 + optimal.cx, 20 + optimal.cy));
  // Moving is allowed, resizing is not.
  button->SetBounds(30, 40, 300, 100);
  EXPECT_EQ(button->GetBoundsRect(), TRect(30, 40, 30 + optimal.cx, 40 + optimal.cy));
  button->SetWidth(10);
  EXPECT_EQ(button->GetWidth(), optimal.cx);
  // A longer caption and a bigger font resize it.
  button->SetCaption("Run Current Values");
  EXPECT_GT(button->GetWidth(), optimal.cx);
  EXPECT_EQ(button->GetWidth(), button->GetOptimalSize().cx);
  button->GetFont()->SetSize(16);
  EXPECT_GT(button->GetHeight(), optimal.cy);
  EXPECT_EQ(button->GetHeight(), button->GetOptimalSize().cy);
  // Off again, any size goes.
  button->SetButtonAutoSize(false);
  button->SetWidth(200);
  EXPECT_EQ(button->GetWidth(), 200);
}
