#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Locale.h"
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

TEST(IntegerText, TheHexPrefixXAndANulByteEndingTheText) {
  using namespace std::string_view_literals;
  EXPECT_EQ(StrToInt("x1E"), 30);
  EXPECT_EQ(StrToInt("-x1E"), -30);
  EXPECT_EQ(StrToInt("X1e"), 30);
  EXPECT_EQ(StrToIntDef("x1E", 0), 30);
  EXPECT_EQ(StrToInt64("xFFFFFFFFFFFFFFFF"), -1);
  Integer v = 0;
  EXPECT_TRUE(TryStrToInt("x7FFFFFFF", v));
  EXPECT_EQ(v, std::numeric_limits<Integer>::max());
  for (std::string_view bad : {"x"sv, "0xx1"sv, "xx1"sv, "x 1"sv}) EXPECT_FALSE(TryStrToInt(bad, v)) << bad;

  EXPECT_EQ(StrToInt("0\0"sv), 0);
  EXPECT_EQ(StrToInt("3210\0ABFG"sv), 3210);
  EXPECT_EQ(StrToInt("2147483647\0"sv), 2147483647);
  EXPECT_EQ(StrToInt64("$10\0zz"sv), 16);
  EXPECT_FALSE(TryStrToInt("\0"
                           "12"sv,
                           v))
      << "nothing before the NUL";
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

TEST(BooleanText, AnyNumberIsATruthValue) {
  ScopedLocale us("en-US");
  bool b = false;
  EXPECT_TRUE(TryStrToBool("3.1415", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(TryStrToBool("0.0", b));
  EXPECT_FALSE(b);
  EXPECT_TRUE(TryStrToBool("-1e-3", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(StrToBool("2.5"));
  EXPECT_FALSE(StrToBool("0.000"));
  EXPECT_TRUE(StrToBool("-1"));
  b = true;
  EXPECT_FALSE(TryStrToBool("1.2.3", b));
  EXPECT_TRUE(b) << "a refused text leaves the value alone";
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
