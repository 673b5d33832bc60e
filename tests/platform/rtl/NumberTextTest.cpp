#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/NumberText.h"

TEST(IntegerText, ParsingSyntax) {
  EXPECT_EQ(StrToInt("  42"), 42);
  EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<Integer>::min());
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  Integer v = 5;
  for (const char* bad : {"", " ", "42 ", "4 2", "2147483648", "-2147483649", "$", "0x", "$100000000", "1.0", "- 1",
                          "+-1", "12a", "\t1"}) {
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
  }
  EXPECT_EQ(v, 5);
  EXPECT_EQ(StrToIntDef("x", -9), -9);
  try {
    StrToInt("12 ");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12 ' is not a valid integer value");
  }
}

TEST(IntegerText, SixtyFourBits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<Int64>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<Int64>::min());
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  Int64 v;
  EXPECT_FALSE(TryStrToInt64("9223372036854775808", v));
  EXPECT_THROW(StrToInt64(""), EConvertError);
}

TEST(IntegerText, Writing) {
  EXPECT_EQ(IntToStr(-17), "-17");
  EXPECT_EQ(IntToStr(Int64{1} << 40), "1099511627776");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64{-1}, 0), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_TRUE(StrToBool("TRUE"));
  EXPECT_FALSE(StrToBool("0"));
  EXPECT_THROW(StrToBool("yes"), EConvertError);
}

TEST(Rounding, HalvesToEvenAndErrors) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(2.5000001), 3);
  EXPECT_EQ(Round(-0.4), 0);
  EXPECT_THROW(Round(1E19), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(2.9), 2);
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
}

TEST(Rounding, MulDivCorners) {
  EXPECT_EQ(MulDiv(10, 3, 4), 8);     // 7.5 away from zero
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);
  EXPECT_EQ(MulDiv(10, -3, -4), 8);
  EXPECT_EQ(MulDiv(5, 1, 3), 2);      // 1.67
  EXPECT_EQ(MulDiv(4, 1, 3), 1);      // 1.33
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);  // 64-bit product
  EXPECT_EQ(MulDiv(2000000000, 2, 1), -1);                           // out of range
  EXPECT_EQ(MulDiv(std::numeric_limits<Integer>::min(), 1, -1), -1);
  EXPECT_EQ(MulDiv(std::numeric_limits<Integer>::min(), 1, 1), std::numeric_limits<Integer>::min());
}

TEST(Rounding, DivisionHelpers) {
  EXPECT_EQ(IntDiv(-7, 2), -3);
  EXPECT_EQ(IntMod(-7, 2), -1);
  EXPECT_EQ(FloorDiv(-7, 2), -4);
  EXPECT_EQ(FloorMod(-7, 2), 1);
  EXPECT_EQ(FloorDiv(7, -2), -4);
  EXPECT_EQ(FloorMod(7, -2), -1);
  EXPECT_EQ(FloorDiv(-8, 2), -4);
  EXPECT_THROW(IntDiv(1, 0), EDivByZero);
  EXPECT_THROW(IntDiv(std::numeric_limits<Integer>::min(), -1), EIntOverflow);
  EXPECT_EQ(IntMod(std::numeric_limits<Integer>::min(), -1), 0);
  EXPECT_THROW(FloorMod(1, 0), EDivByZero);
}
