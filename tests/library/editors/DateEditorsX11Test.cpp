// The date editor on a real X server: its drop-down opened by a click on
// its button through XTest, the calendar's pixels read back from the
// server (today's maroon frame, the selected day), a day clicked, and the
// editor's text after it. The read-back (DateEditorOnX.png in the build
// folder) is for a person to look at.
#include <gtest/gtest.h>

#include <cmath>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/cxDateEdit.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"

using namespace win;

namespace {

TPoint Center(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

TEST(DateEditorOnX, TheDropDownCalendarShowsTodayAndTheSelectionAndAClickedDayIsTaken) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  edit_test::ConcreteSession session;
  ScopedLocale us("en-US");
  auto be = OpenX11BackEnd(server.Display());
  ASSERT_TRUE(be);
  auto* x = static_cast<x11::X11BackEnd*>(be.get());
  std::unique_ptr<IBackEnd> previous = SetBackEnd(std::move(be));
  x11::Probe probe(server.Display());
  ASSERT_TRUE(probe.Connected());
  auto settle = [&](int rounds = 10) {
    for (int i = 0; i < rounds; ++i) {
      test::PumpUntilIdle();
      x->WaitForEvent(10);
    }
    test::PumpUntilIdle();
  };
  auto click = [&](TControl* AControl, TPoint P) {
    const TPoint s = AControl->ClientToScreen(P);
    probe.MovePointer(s.X, s.Y);
    settle(3);
    probe.Button(1, true);
    settle(3);
    probe.Button(1, false);
    settle();
  };
  {
    TForm* form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({40, 40, 340, 300});
    auto* edit = New<TcxDateEdit>(form);
    edit->SetBoundsRect({12, 12, 172, 33});
    // The test pumps the popup's messages itself.
    edit->GetPopupWindow()->SetModalMode(false);
    edit->SetParent(form);
    const double today = Date().Value;
    Word y, m, d;
    DecodeDate(today, y, m, d);
    // A day of this month other than today.
    const double picked = EncodeDate(y, m, d == 10 ? 12 : 10).Value;
    edit->SetDate(picked);
    form->Show();
    settle(30);

    click(edit, Center(edit->GetViewInfo()->ButtonInfos[0]->Bounds));
    ASSERT_TRUE(edit->GetDroppedDown());
    TcxPopupCalendar* calendar = edit->GetCalendar();
    settle(20);
    auto cellOf = [&](double ADate) {
      const TRect grid = calendar->GetDayGridRect();
      for (Integer row = 0; row < 6; ++row)
        for (Integer col = 0; col < 7; ++col)
          if (calendar->GetDateFromCell(col, row).Value == ADate)
            return TRect(grid.Left + col * calendar->GetColWidth(), grid.Top + row * calendar->GetRowHeight(),
                         grid.Left + (col + 1) * calendar->GetColWidth(),
                         grid.Top + (row + 1) * calendar->GetRowHeight());
      return TRect();
    };
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    TCustomForm* popup = edit->GetPopupWindow();
    const x11::XId window = x->WindowOf(detail::Peek(popup->GetHandle())->surface);
    ASSERT_TRUE(probe.Capture(window, pixels, width, height));
    auto at = [&](TPoint P) {
      const TPoint s = calendar->ClientToScreen(P);
      RECT w{};
      GetWindowRect(popup->GetHandle(), &w);
      return pixels.at(static_cast<std::size_t>(s.Y - w.Top) * width + (s.X - w.Left)) & 0xFFFFFF;
    };
    const TRect todayCell = cellOf(today);
    // Server pixels are 0xRRGGBB: maroon is 0x800000.
    EXPECT_EQ(at(TPoint(todayCell.Left, todayCell.Top)), 0x800000u);
    const TRect pickedCell = cellOf(picked);
    const TColor selection = ColorToRGB(calendar->GetPainter()->DefaultDateNavigatorSelectionColor());
    const std::uint32_t rgb = ((selection & 0xFF) << 16) | (selection & 0xFF00) | ((selection >> 16) & 0xFF);
    EXPECT_EQ(at(TPoint(pickedCell.Left + 1, pickedCell.Top + 1)), rgb);
    EXPECT_TRUE(SaveRowsPng(width, height,
                            [&](int yy, std::uint32_t* row) {
                              for (int xx = 0; xx < width; ++xx)
                                row[xx] = pixels[static_cast<std::size_t>(yy) * width + xx];
                            },
                            "DateEditorOnX.png"));

    click(calendar, Center(todayCell));
    EXPECT_FALSE(edit->GetDroppedDown());
    ASSERT_TRUE(edit->ValidateEdit(false));
    EXPECT_DOUBLE_EQ(std::trunc(edit->GetDate().Value), today);
  }
  Application->DestroyComponents();
  test::PumpUntilIdle();
  SetBackEnd(std::move(previous));
}

}  // namespace
