#include <bit>
#include <cmath>
#include <limits>

#include "platform/rtl/Bcd.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Locale.h"

namespace {

class BcdTest : public ::testing::Test {
 protected:
  ScopedLocale locale{"en-US"};
};

class BcdGermanTest : public ::testing::Test {
 protected:
  ScopedLocale locale{"de-DE"};
};

AnsiString Round(const char* text) { return BcdToStr(StrToBcd(text)); }

}  // namespace

TEST_F(BcdTest, TextRoundTripsKeepTheDigits) {
  const char* cases[][2] = {
      {"0", "0"},
      {"-0", "0"},
      {"12.5", "12.5"},
      {"-12.50", "-12.5"},
      {"  007.25 ", "7.25"},
      {"+.5", "0.5"},
      {"0.001", "0.001"},
      {"1.5E3", "1500"},
      {"25e-4", "0.0025"},
      {"123456789012345678901234567890.123456789", "123456789012345678901234567890.123456789"},
  };
  for (auto& c : cases) EXPECT_EQ(Round(c[0]), c[1]) << c[0];

  TBcd b = StrToBcd("-12.50");
  EXPECT_EQ(BcdPrecision(b), 4);
  EXPECT_EQ(BcdScale(b), 2);
  EXPECT_TRUE(IsBcdNegative(b));
}

TEST_F(BcdTest, SixtyFourDigitsFitAndMoreRoundTheFractionHalvesToEven) {
  AnsiString full(64, '9');
  EXPECT_EQ(Round(full.c_str()), full);
  EXPECT_THROW(StrToBcd((full + "9").c_str()), EBcdOverflowException);

  // 60 integer digits leave room for 4 decimals: the fifth decides.
  AnsiString head = "1" + AnsiString(59, '0');
  EXPECT_EQ(Round((head + ".00005").c_str()), head);             // tie, 0 is even
  EXPECT_EQ(Round((head + ".00015").c_str()), head + ".0002");   // tie, 2 is even
  EXPECT_EQ(Round((head + ".000051").c_str()), head + ".0001");  // above the tie
  EXPECT_EQ(Round((head + ".99995").c_str()), "1" + AnsiString(58, '0') + "1");  // carries into the integer
  // Past the 63rd decimal too the value is rounded once, where its digits
  // end: .00014999... is below the tie and stays .0001, and .00025000...1
  // is above it and goes to .0003.
  EXPECT_EQ(Round((head + ".00014" + AnsiString(60, '9')).c_str()), head + ".0001");
  EXPECT_EQ(Round((head + ".00025" + AnsiString(60, '0') + "1").c_str()), head + ".0003");
  // A carry through every nine adds a digit in front, and the digits then
  // number 65: the last, a zero, goes too.
  const AnsiString nines = "9999." + AnsiString(60, '9');
  EXPECT_EQ(Round((nines + "51").c_str()), "10000");
  EXPECT_EQ(Round((nines + "5").c_str()), "10000");
  EXPECT_EQ(Round((nines + "49").c_str()), nines);

  // Decimals beyond the 63rd place round away.
  EXPECT_EQ(Round(("0." + AnsiString(62, '0') + "15").c_str()), "0." + AnsiString(62, '0') + "2");
  EXPECT_EQ(Round("1E-70"), "0");
}

TEST_F(BcdTest, AnExponentPlacesLongDigitRunsBeforeTheyAreKept) {
  // The 64 digits that matter are kept wherever the exponent moves the
  // point, however many were written before or after it.
  EXPECT_EQ(Round(("0." + AnsiString(200, '0') + "1e160").c_str()), "0." + AnsiString(40, '0') + "1");
  AnsiString digits;
  for (int i = 0; i < 100; ++i) digits += static_cast<char>('1' + i % 9);
  EXPECT_EQ(Round(("0." + AnsiString(100, '0') + digits + "e150").c_str()),
            digits.substr(0, 50) + "." + digits.substr(50, 14));
  EXPECT_EQ(Round((AnsiString(170, '1') + "e-150").c_str()), AnsiString(20, '1') + "." + AnsiString(44, '1'));
  // Too large is an overflow at any exponent, from text and from doubles.
  for (const char* big : {"1e64", "1e200", "1e99999", "-5e999999999"})
    EXPECT_THROW(StrToBcd(big), EBcdOverflowException) << big;
  EXPECT_THROW(DoubleToBcd(1e200), EBcdOverflowException);
  EXPECT_THROW(DoubleToBcd(-std::numeric_limits<double>::max()), EBcdOverflowException);
  // Far below the last place, or a zero moved anywhere, is zero.
  EXPECT_EQ(Round("1e-999999999"), "0");
  EXPECT_EQ(Round("0e999999999"), "0");
}

TEST_F(BcdTest, MalformedTextIsRejected) {
  for (const char* bad : {"", " ", "-", "1.2.3", "1,5", "12a", "E5", "1E", "1E+", "--1", "0x10", "1 2"}) {
    TBcd b;
    EXPECT_FALSE(TryStrToBcd(bad, b)) << bad;
    EXPECT_THROW(StrToBcd(bad), EBcdException) << bad;
  }
  try {
    StrToBcd("abc");
    FAIL();
  } catch (const EBcdException& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid BCD value");
  }
}

TEST_F(BcdGermanTest, TextFollowsTheDecimalSeparator) {
  EXPECT_EQ(Round("-1234,5"), "-1234,5");
  TBcd b;
  EXPECT_FALSE(TryStrToBcd("1.5", b));
  EXPECT_EQ(BcdToStrF(StrToBcd("1234567,891"), ffNumber, 18, 2), "1.234.567,89");
}

TEST_F(BcdTest, DoublesRoundTripThroughTheShortestDigits) {
  for (double d : {0.1, -2.5, 1e20, 123456.789, 1.5e-10, 0.30000000000000004, 9007199254740993.0, 5e-60}) {
    TBcd b = DoubleToBcd(d);
    EXPECT_EQ(BcdToDouble(b), d) << d;
  }
  EXPECT_EQ(BcdToStr(DoubleToBcd(0.1)), "0.1");
  EXPECT_EQ(BcdToStr(DoubleToBcd(-1e20)), "-100000000000000000000");
  EXPECT_EQ(BcdToStr(DoubleToBcd(1e-70)), "0");
  EXPECT_THROW(DoubleToBcd(1e70), EBcdOverflowException);
  // The widest integers the reader holds overflow cleanly, without rounding
  // a fraction they do not have.
  for (double d : {1e159, 9.99e159}) EXPECT_THROW(DoubleToBcd(d), EBcdOverflowException) << d;
  EXPECT_THROW(StrToBcd("1e159"), EBcdOverflowException);
  EXPECT_THROW(StrToBcd("-9.5e159"), EBcdOverflowException);
  EXPECT_THROW(DoubleToBcd(std::numeric_limits<double>::infinity()), EBcdOverflowException);
  EXPECT_THROW(DoubleToBcd(std::nan("")), EBcdOverflowException);
  // Digits beyond a double's precision still give the nearest double.
  EXPECT_EQ(BcdToDouble(StrToBcd("0.1000000000000000055511151231257827")), 0.1);
}

TEST_F(BcdTest, IntegersAndCurrency) {
  EXPECT_EQ(BcdToStr(IntegerToBcd(INT64_MIN)), "-9223372036854775808");
  EXPECT_EQ(BcdToInt64(IntegerToBcd(INT64_MIN)), INT64_MIN);
  EXPECT_EQ(BcdToInt64(StrToBcd("2.5")), 2);
  EXPECT_EQ(BcdToInt64(StrToBcd("3.5")), 4);
  EXPECT_EQ(BcdToInt64(StrToBcd("-2.51")), -3);
  EXPECT_THROW(BcdToInt64(StrToBcd("9223372036854775808")), EBcdOverflowException);

  EXPECT_EQ(BcdToStr(CurrToBcd(Currency::FromRaw(-5))), "-0.0005");
  EXPECT_EQ(BcdScale(CurrToBcd(Currency::FromRaw(12345))), 4);
  Currency c;
  ASSERT_TRUE(BcdToCurr(StrToBcd("1.23455"), c));
  EXPECT_EQ(c.Value, 12346);  // tie: 6 is even
  ASSERT_TRUE(BcdToCurr(StrToBcd("1.23445"), c));
  EXPECT_EQ(c.Value, 12344);
  EXPECT_FALSE(BcdToCurr(StrToBcd("1e15"), c));
}

TEST_F(BcdTest, CompareIsByValue) {
  EXPECT_EQ(BcdCompare(StrToBcd("1.50"), StrToBcd("1.5")), 0);
  EXPECT_EQ(BcdCompare(StrToBcd("-0"), StrToBcd("0.000")), 0);
  EXPECT_EQ(BcdCompare(StrToBcd("-2"), StrToBcd("1")), -1);
  EXPECT_EQ(BcdCompare(StrToBcd("-2"), StrToBcd("-10")), 1);
  EXPECT_EQ(BcdCompare(StrToBcd("10"), StrToBcd("9.999")), 1);
  EXPECT_EQ(BcdCompare(StrToBcd("0.001"), StrToBcd("0.01")), -1);
}

TEST_F(BcdTest, SumsAndDifferencesAreExact) {
  EXPECT_EQ(BcdToStr(BcdAdd(StrToBcd("0.1"), StrToBcd("0.2"))), "0.3");
  EXPECT_EQ(BcdToStr(BcdAdd(StrToBcd("99.99"), StrToBcd("0.01"))), "100");
  EXPECT_EQ(BcdToStr(BcdAdd(StrToBcd("-5"), StrToBcd("3.25"))), "-1.75");
  EXPECT_EQ(BcdToStr(BcdSubtract(StrToBcd("3.25"), StrToBcd("5"))), "-1.75");
  EXPECT_EQ(BcdToStr(BcdSubtract(StrToBcd("5"), StrToBcd("5.000"))), "0");
  AnsiString full(64, '9');
  EXPECT_THROW(BcdAdd(StrToBcd(full), StrToBcd("1")), EBcdOverflowException);
}

TEST_F(BcdTest, ProductsAreExactUpToSixtyFourDigits) {
  auto times = [](const char* a, const char* b) { return BcdToStr(BcdMultiply(StrToBcd(a), StrToBcd(b))); };
  EXPECT_EQ(times("0.1", "3"), "0.3");
  EXPECT_EQ(times("1.1", "1.1"), "1.21");
  EXPECT_EQ(times("-12.35", "3"), "-37.05");
  EXPECT_EQ(times("-2", "-0.5"), "1");
  EXPECT_EQ(times("-7", "0"), "0");
  EXPECT_FALSE(IsBcdNegative(BcdMultiply(StrToBcd("-7"), StrToBcd("0"))));
  EXPECT_EQ(times("123456789.123456789", "1000"), "123456789123.456789");
  // 32 nines squared has 64 digits and fits; one digit more does not.
  const AnsiString n32(32, '9');
  EXPECT_EQ(times(n32.c_str(), n32.c_str()), AnsiString(31, '9') + "8" + AnsiString(31, '0') + "1");
  EXPECT_THROW(BcdMultiply(StrToBcd((n32 + "9").c_str()), StrToBcd(n32.c_str())), EBcdOverflowException);
  // A product with more decimals than fit is rounded once, halves to even.
  const AnsiString tiny = "0." + AnsiString(31, '0') + "5";  // 5E-32
  EXPECT_EQ(times(tiny.c_str(), tiny.c_str()), "0." + AnsiString(62, '0') + "2");  // 2.5E-63
  EXPECT_EQ(times(tiny.c_str(), ("0." + AnsiString(31, '0') + "7").c_str()), "0." + AnsiString(62, '0') + "4");
}

TEST_F(BcdTest, FloatFormatShapes) {
  TBcd big = StrToBcd("1234567.891");
  EXPECT_EQ(BcdToStrF(big, ffGeneral, 15, 0), "1234567.891");
  EXPECT_EQ(BcdToStrF(big, ffGeneral, 4, 0), "1.235E6");
  EXPECT_EQ(BcdToStrF(big, ffGeneral, 7, 0), "1234568");
  EXPECT_EQ(BcdToStrF(StrToBcd("0.00000123"), ffGeneral, 15, 0), "1.23E-6");
  EXPECT_EQ(BcdToStrF(StrToBcd("0.00001"), ffGeneral, 15, 0), "0.00001");
  EXPECT_EQ(BcdToStrF(StrToBcd("0.0001"), ffGeneral, 15, 0), "0.0001");
  EXPECT_EQ(BcdToStrF(StrToBcd("-99.5"), ffGeneral, 2, 0), "-1E2");
  EXPECT_EQ(BcdToStrF(big, ffFixed, 15, 2), "1234567.89");
  EXPECT_EQ(BcdToStrF(StrToBcd("2.345"), ffFixed, 15, 2), "2.35");  // half away from zero
  EXPECT_EQ(BcdToStrF(StrToBcd("-2.345"), ffFixed, 15, 2), "-2.35");
  EXPECT_EQ(BcdToStrF(StrToBcd("-0.001"), ffFixed, 15, 2), "0.00");
  EXPECT_EQ(BcdToStrF(StrToBcd("7"), ffFixed, 15, 3), "7.000");
  EXPECT_EQ(BcdToStrF(big, ffNumber, 15, 1), "1,234,567.9");
  EXPECT_EQ(BcdToStrF(big, ffExponent, 4, 2), "1.235E+06");
  EXPECT_EQ(BcdToStrF(StrToBcd("-0.00042"), ffExponent, 3, 0), "-4.20E-4");
  EXPECT_EQ(BcdToStrF(big, ffFixed, 5, 2), "1.2346E6");  // more integer digits than the precision
}
