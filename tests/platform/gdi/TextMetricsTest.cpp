#include "TextFixture.h"

using namespace win;

using TextMetricsTest = TextFixture;

TEST_F(TextMetricsTest, TahomaElevenMeasuresLikeTheButtonsWereLaidOutFor) {
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(Dc, &tm));
  EXPECT_EQ(13, tm.tmHeight);
  EXPECT_EQ(96, TextWidth("Run Current Values"));
  EXPECT_LE(TextWidth("Run Current Values"), 113 - 2 * 4);
  UseFont("Tahoma", -11, FW_BOLD);
  EXPECT_EQ(169, TextWidth("TARVIK Windows User Interface"));
}
