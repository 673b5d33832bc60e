// Pictures of the filter builder for people to look at: a root, a nested
// group and five conditions (between, an in-list with its "+" button, a hot
// value, the focused value with its editor open, the drop-down list open),
// focused and hot buttons and texts, disabled without a link, and without
// level lines, in each look and feel and natively with the theme module on.
// Each picture goes to snapshots/ in the build tree
// (filter-<look>-<state>.png); the pixels that must hold are asserted here.
// A builder far larger than its form shows the same picture.
#include "library/grid/FilterControlSession.h"
#include "library/grid/WindowPixels.h"

#include <sys/resource.h>

#include <algorithm>

#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxEditPopupWindow.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/theme/ThemeTestMode.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"

using namespace grid_test;
using grid_pixels::kLooks;
using grid_pixels::Look;
using grid_pixels::ThemeInstalled;

namespace {

class FilterSnapshots : public ThemeInstalled, public FilterSession {
 protected:
  cxfc::TcxConditionViewInfo* between = nullptr;
  cxfc::TcxConditionViewInfo* list = nullptr;
  cxfc::TcxConditionViewInfo* text = nullptr;

  void SetUp() override {
    FilterSession::SetUp();
    std::filesystem::create_directories("snapshots");
    between = Add(builder->GetRoot(), 1, fcoBetween, {Variant(3), Variant(13)});
    list = Add(builder->GetRoot(), 1, fcoInList, {Variant(7), Variant(42), Variant(99)});
    text = AddGroup(fboOr, fcoLike, "al%");
    Add(text->GetParent(), 2, fcoGreater, {Variant(2.5)});
    Add(builder->GetRoot(), 0, fcoNonBlanks, {});
    // Applied, so that linking again shows the same rows.
    builder->ApplyFilter();
  }
  void FindRows() {
    between = Condition(1);
    list = Condition(2);
    text = Condition(4);
  }
  void TearDown() override {
    FilterSession::TearDown();
    win::test::ResetThemeModule();
  }

  // The builder's window, with the combo's dropped list (a window of its
  // own) where it shows over the builder.
  void Snapshot(const std::string& ALook, const std::string& AState) {
    Pump();
    auto list = [this](win::HDC AMemory) {
      if (!builder->GetComboBox()->GetDroppedDown()) return;
      win::HWND popup = builder->GetComboBox()->GetPopupWindow()->GetHandle();
      win::RECT r{};
      win::GetWindowRect(popup, &r);
      const TPoint at = builder->ScreenToClient(TPoint(r.Left, r.Top));
      win::HDC source = win::GetDC(popup);
      win::BitBlt(AMemory, at.X, at.Y, r.Right - r.Left, r.Bottom - r.Top, source, 0, 0, win::SRCCOPY);
      win::ReleaseDC(popup, source);
    };
    EXPECT_TRUE(grid_pixels::Snapshot(builder, "filter-" + ALook + "-" + AState, false, list));
  }
  TColor PixelAt(TPoint P) { return grid_pixels::PixelAt(builder, P); }
  // Pixels of the level-line column of a nested row (its top half) that
  // show the dark checker colour.
  int DarkDots(cxfc::TcxCustomRowViewInfo* ARow) {
    const Integer x = ARow->GetParent()->ButtonRect.Left + ARow->ButtonRect.Width() / 2;
    int dark = 0;
    for (Integer y = ARow->RowRect.Top; y < ARow->RowRect.Top + ARow->RowRect.Height() / 2; ++y)
      if (ColorToRGB(PixelAt(TPoint(x, y))) == ColorToRGB(cl3DDkShadow)) ++dark;
    return dark;
  }
  void MoveTo(TPoint P) {
    win::test::MouseMove(builder->GetHandle(), P);
    Pump();
  }
};

TEST_F(FilterSnapshots, GroupsConditionsValuesAndEditorsInEveryLook) {
  form->Show();
  Pump();
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.Name);
    builder->GetLookAndFeel()->SetKind(look.Kind);
    builder->GetLookAndFeel()->SetNativeStyle(look.Native);
    builder->SetLinkComponent(target);
    FindRows();
    builder->SetShowLevelLines(true);
    builder->SetFocus();
    MoveTo(TPoint(-20, -20));
    // The hot value: the second value of the list.
    const TRect hot = list->GetValues()->GetValue(1)->ValueRect;
    MoveTo(cxRectCenter(hot));
    Snapshot(look.Name, "hot");
    EXPECT_GE(DarkDots(between), between->RowRect.Height() / 2 / 2 - 1) << "a dotted level line";
    EXPECT_FALSE(list->GetValues()->AddButtonRect.Width() <= 0) << "the in-list's + button";
    const TRect hotNow = list->GetValues()->GetValue(1)->ValueRect;
    EXPECT_GE(hotNow.Width(), builder->GetViewInfo()->GetMinValueWidth()) << "a hot value is at least 12 zeros wide";
    EXPECT_EQ(ColorToRGB(PixelAt(TPoint(hotNow.Right - 3, hotNow.Top + 3))), ColorToRGB(clWindow));
    const TRect plain = between->GetValues()->GetValue(0)->ValueRect;
    EXPECT_LT(plain.Width(), builder->GetViewInfo()->GetMinValueWidth());

    // Focused and hot parts: the in-list's "+" button focused (a default
    // button) under a hot group button; then the between's item text in
    // its focus rectangle under the hot add-condition button.
    builder->SetFocusedRow(list);
    for (int i = 0; i < 5; ++i) Press(win::VK_RIGHT);
    ASSERT_EQ(builder->GetFocusInfo().HitTest, cxfc::fhtAddValue);
    MoveTo(cxRectCenter(text->GetParent()->ButtonRect));
    EXPECT_EQ(list->GetValues()->AddButtonState, cxbsDefault);
    EXPECT_EQ(text->GetParent()->ButtonState, cxbsHot);
    Snapshot(look.Name, "focused-add-value-hot-group");
    builder->SetFocusedRow(between);
    MoveTo(cxRectCenter(builder->GetViewInfo()->GetAddConditionRect()));
    EXPECT_EQ(builder->GetViewInfo()->GetAddConditionButtonState(), cxbsHot);
    Snapshot(look.Name, "focused-item-hot-add-condition");
    const TRect frame = builder->GetViewInfo()->GetFocusRect();
    int dotted = 0;
    for (Integer y = frame.Top; y < frame.Bottom; ++y)
      dotted += ColorToRGB(PixelAt(TPoint(frame.Left, y))) != ColorToRGB(builder->GetColor());
    EXPECT_GE(dotted, frame.Height() / 3) << "the item text's focus rectangle";

    // The focused value with its editor open.
    win::test::Click(builder->GetHandle(), cxRectCenter(text->GetValues()->GetValue(0)->ValueRect), 1);
    Pump();
    ASSERT_NE(builder->GetValueEditor(), nullptr);
    Snapshot(look.Name, "editing");
    Press(win::VK_ESCAPE);

    // The drop-down list of operators open.
    win::test::Click(builder->GetHandle(), cxRectCenter(between->OperatorRect), 1);
    Pump();
    EXPECT_TRUE(builder->GetComboBox()->GetDroppedDown());
    Snapshot(look.Name, "dropped");
    Press(win::VK_ESCAPE);
    Press(win::VK_ESCAPE);

    // Level lines off: the checker is gone from the nested rows.
    builder->SetShowLevelLines(false);
    MoveTo(TPoint(-20, -20));
    Snapshot(look.Name, "nolines");
    EXPECT_EQ(DarkDots(between), 0);
    builder->SetShowLevelLines(true);

    builder->SetLinkComponent(nullptr);
    Snapshot(look.Name, "disabled");
    // Embossed: the root's caption in the shadow grey (never the black of
    // an enabled text) over a highlight copy lighter than the face.
    const TRect caption = builder->GetRoot()->CaptionRect;
    auto sum = [](TColor c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
    const int face = sum(ColorToRGB(builder->GetColor()));
    int darkest = 3 * 255, lighter = 0;
    for (Integer y = caption.Top; y < caption.Bottom; ++y)
      for (Integer x = caption.Left; x < caption.Right; ++x) {
        const int c = sum(ColorToRGB(PixelAt(TPoint(x, y))));
        darkest = std::min(darkest, c);
        lighter += c > face + 30;
      }
    EXPECT_GE(darkest, 3 * 0x70) << "no black text";
    EXPECT_LT(darkest, face - 60) << "the shadow copy";
    EXPECT_GT(lighter, 10) << "the highlight copy";
  }
}

// A builder far larger than its form shows a small part of itself: that
// part is drawn off screen alone, with the same picture as a builder of
// the usual size, and a part painted again lands where it belongs.
TEST_F(FilterSnapshots, ABuilderLargerThanItsFormShowsTheSamePictureFromWhatShowsAlone) {
  form->Show();
  Pump();
  const TRect compared(0, 0, 400, 200);
  auto picture = [&] {
    std::vector<TColor> pixels;
    for (Integer y = compared.Top; y < compared.Bottom; ++y)
      for (Integer x = compared.Left; x < compared.Right; ++x) pixels.push_back(PixelAt(TPoint(x, y)));
    return pixels;
  };
  const std::vector<TColor> usual = picture();
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  const long before = u.ru_maxrss / 1024;

  builder->SetBoundsRect({10, 20, 10 + 32767, 20 + 32767});
  Pump();
  EXPECT_TRUE(picture() == usual) << "the same picture where it shows";

  // Wiped on the window and painted again in part.
  win::HDC dc = win::GetDC(builder->GetHandle());
  win::RECT wiped{30, 20, 250, 90};
  win::FillRect(dc, &wiped, win::GetSysColorBrush(win::COLOR_HIGHLIGHT));
  win::ReleaseDC(builder->GetHandle(), dc);
  builder->InvalidateRect(TRect(30, 20, 250, 90), false);
  Pump();
  EXPECT_TRUE(picture() == usual) << "the part painted again lands in its place";

  getrusage(RUSAGE_SELF, &u);
  EXPECT_LT(u.ru_maxrss / 1024 - before, 200) << "megabytes: a screenful is a few";
}

}  // namespace
