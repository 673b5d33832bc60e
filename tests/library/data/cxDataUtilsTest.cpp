#include "library/data/cxDataUtils.h"

#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"

TEST(DataUtils, WeekStartsFollowTheLocale) {
  ScopedLocale monday("en-US-monday");
  EXPECT_EQ(GetStartOfWeek(), 1);
  const TDateTime sunday = EncodeDate(2023, 3, 19) + 0.75;
  EXPECT_EQ(GetStartDateOfWeek(sunday).Value, EncodeDate(2023, 3, 13).Value);
  EXPECT_EQ(GetStartDateOfWeek(EncodeDate(2023, 3, 13)).Value, EncodeDate(2023, 3, 13).Value);
  ScopedLocale us("en-US");
  EXPECT_EQ(GetStartOfWeek(), 0);
  EXPECT_EQ(GetStartDateOfWeek(sunday).Value, EncodeDate(2023, 3, 19).Value);
  EXPECT_EQ(DateOf(TDateTime(45000.75)).Value, 45000);
  EXPECT_EQ(TimeOf(TDateTime(45000.75)).Value, 0.75);
}

TEST(DataUtils, CompareTextIgnoringCase) {
  EXPECT_TRUE(DataCompareText("ABC", "ab", true));
  EXPECT_FALSE(DataCompareText("ab", "ABC", true));
  EXPECT_FALSE(DataCompareText("ABC", "ab", false));
  EXPECT_TRUE(DataCompareText("\xE9t\xE9", "\xC9T\xC9", false));
  EXPECT_FALSE(DataCompareText("x", "", true));
  EXPECT_TRUE(DataCompareText("", "", false));
}

TEST(DataUtils, CurrencyDisplayFormat) {
  ScopedLocale us("en-US");
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), "$,0.00");
  Locale l = Locale::Builtin("en-US");
  l.CurrencyString = "kr.";
  l.CurrencyFormat = 3;
  l.CurrencyDecimals = 0;
  ScopedLocale custom(l);
  EXPECT_EQ(DefaultCurrencyDisplayFormat(), ",0. kr'.'");
}

namespace {
class TNamedItem : public TCollectionItem {
  ORV_CLASS(TNamedItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  AnsiString Name;

 protected:
  void DoAssign(TPersistent* Source) override { Name = static_cast<TNamedItem*>(Source)->Name; }
};
}  // namespace
ORV_REGISTER(TNamedItem)

TEST(DataUtils, CollectionAssignKeepsExistingItems) {
  TcxCollection target(TNamedItem::StaticClass()), source(TNamedItem::StaticClass());
  for (int i = 0; i < 3; ++i) static_cast<TNamedItem*>(target.Add())->Name = "old";
  static_cast<TNamedItem*>(source.Add())->Name = "a";
  static_cast<TNamedItem*>(source.Add())->Name = "b";
  TCollectionItem* first = target.GetItem(0);
  TCollectionItem* second = target.GetItem(1);
  target.Assign(&source);
  ASSERT_EQ(target.GetCount(), 2);
  EXPECT_EQ(target.GetItem(0), first);
  EXPECT_EQ(target.GetItem(1), second);
  EXPECT_EQ(static_cast<TNamedItem*>(second)->Name, "b");
}

TEST(DataUtils, BindingNotifiesAndAnswersItsDefaults) {
  TcxCustomDataBinding binding(nullptr, nullptr);
  int changes = 0;
  binding.OnDataChange = [&] { ++changes; };
  binding.DataChange();
  binding.UpdateData();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(binding.CanModify());
  binding.SetReadOnly(true);
  EXPECT_FALSE(binding.SetEditMode());
  EXPECT_TRUE(VarIsNull(binding.GetStoredValue(evsValue, false)));
}
