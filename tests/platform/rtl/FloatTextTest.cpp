#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Locale.h"

TEST(FloatToStrShapes, GeneralFormInEnglish) {
  ScopedLocale us("en-US");
  EXPECT_EQ(FloatToStr(2.0), "2");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(1E20), "1E20");
  EXPECT_EQ(FloatToStr(1.5E-10), "1.5E-10");
  EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1E15), "1E15");
  EXPECT_EQ(FloatToStr(0.00001), "0.00001");
  EXPECT_EQ(FloatToStr(0.000001), "1E-6");
  EXPECT_EQ(FloatToStr(-0.5), "-0.5");
  EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");  // the 15-digit rounding hides the binary noise
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(9.999999999999999E22), "1E23");  // rounding carries into the exponent
}

TEST(FloatToStrShapes, GermanUsesTheComma) {
  ScopedLocale de("de-DE");
  EXPECT_EQ(FloatToStr(1234.5), "1234,5");
  EXPECT_EQ(FloatToStr(1.5E-10), "1,5E-10");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1.234.567,89");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "-1.234,50 \x80");
  EXPECT_EQ(FloatToStrF(3, ffCurrency, 15, 2), "3,00 \x80");
}

TEST(FloatToStrFForms, EachFormatInEnglish) {
  ScopedLocale us("en-US");
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2), "1.235E+03");  // half away from zero
  EXPECT_EQ(FloatToStrF(0.00012, ffExponent, 3, 0), "1.20E-4");
  EXPECT_EQ(FloatToStrF(0, ffExponent, 3, 2), "0.00E+00");
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), "0.13");
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");  // no sign on a rounded-away value
  EXPECT_EQ(FloatToStrF(12345.678, ffFixed, 3, 2), "1.23E4");  // too many integer digits: general
  EXPECT_EQ(FloatToStrF(1.23456789, ffFixed, 3, 5), "1.23000");
  EXPECT_EQ(FloatToStrF(999.996, ffFixed, 15, 2), "1000.00");
  EXPECT_EQ(FloatToStrF(1234567.5, ffNumber, 15, 0), "1,234,568");
  EXPECT_EQ(FloatToStrF(-999999.999, ffNumber, 15, 2), "-1,000,000.00");
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2), "$1,234.50");
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2), "($1,234.50)");
  EXPECT_EQ(FloatToStrF(1E20, ffGeneral, 15, 3), "1E020");
  EXPECT_EQ(FloatToStrF(2.5, ffGeneral, 1, 0), "3");
}

TEST(FloatToStrFForms, EveryNegativeCurrencyPattern) {
  Locale l = Locale::Builtin("en-US");
  const char* expected[16] = {"($1.5)", "-$1.5", "$-1.5", "$1.5-", "(1.5$)", "-1.5$", "1.5-$", "1.5$-",
                              "-1.5 $", "-$ 1.5", "1.5 $-", "$ 1.5-", "$ -1.5", "1.5- $", "($ 1.5)", "(1.5 $)"};
  for (int i = 0; i < 16; ++i) {
    l.NegCurrFormat = i;
    ScopedLocale fx(l);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 1), expected[i]) << "form " << i;
  }
  const char* positive[4] = {"$1.5", "1.5$", "$ 1.5", "1.5 $"};
  for (int i = 0; i < 4; ++i) {
    l.CurrencyFormat = i;
    ScopedLocale fx(l);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 1), positive[i]) << "form " << i;
  }
}

TEST(FormatFloatPictures, PlaceholdersGroupingAndSections) {
  ScopedLocale us("en-US");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0.00", 0.5), "0.50");
  EXPECT_EQ(FormatFloat("0.0#", 2), "2.0");
  EXPECT_EQ(FormatFloat("0.0#", 2.345), "2.35");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("#.##", 3), "3");
  EXPECT_EQ(FormatFloat("00000", 42), "00042");
  EXPECT_EQ(FormatFloat("0", 123456), "123456");
  EXPECT_EQ(FormatFloat("0", -2.5), "-3");
  EXPECT_EQ(FormatFloat("'Total: '#,##0 \"pcs\"", 1500), "Total: 1,500 pcs");
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", -1234.5), "(1,234.50)");
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", 0), "zero");
  EXPECT_EQ(FormatFloat("0.00;;zero", -1.5), "-1.50");  // empty negative section: first with sign
  EXPECT_EQ(FormatFloat("", 1.5), "1.5");
  EXPECT_EQ(FormatFloat("0.0;'a;b'", -1), "a;b");  // the quote hides the separator
}

// Money near the ends of the Currency range has more digits than a double
// holds: laid out from its own digits it keeps its cents, where the same
// amount through a double gains or loses some.
TEST(FormatFloatPictures, CurrencyAmountsKeepTheirCentsToTheEndsOfTheRange) {
  ScopedLocale us("en-US");
  const char* money = "$#,##0.00;($#,##0.00);nil";
  EXPECT_EQ(FormatCurr(money, Currency{std::numeric_limits<Int64>::max()}), "$922,337,203,685,477.58");
  EXPECT_EQ(FormatCurr(money, Currency{std::numeric_limits<Int64>::min()}), "($922,337,203,685,477.58)");
  const Currency trillions{1'000'000'000'000'000'100};  // 100,000,000,000,000.01
  EXPECT_EQ(FormatCurr(money, trillions), "$100,000,000,000,000.01");
  EXPECT_EQ(FormatFloat(money, 100'000'000'000'000.01), "$100,000,000,000,000.02");
  EXPECT_EQ(FormatCurr("0.0000", Currency{std::numeric_limits<Int64>::max()}), "922337203685477.5807");
  // Sections, rounding and the general form as FormatFloat has them.
  EXPECT_EQ(FormatCurr(money, Currency{0}), "nil");
  EXPECT_EQ(FormatCurr("0.00", Currency{-50}), "-0.01");  // -0.005, half away from zero
  EXPECT_EQ(FormatCurr("0.00", Currency{-49}), "-0.00");
  EXPECT_EQ(FormatCurr("0.0E+00", Currency{12345}), "1.2E+00");
  EXPECT_EQ(FormatCurr("", Currency{std::numeric_limits<Int64>::min()}), "-922337203685477.5808");
}

TEST(FormatFloatPictures, ValuesRoundingToZeroKeepTheirSignAndSection) {
  ScopedLocale us("en-US");
  EXPECT_EQ(FormatFloat("0.00", -0.00001234), "-0.00");
  EXPECT_EQ(FormatFloat(".00", -0.00001234), "-.00");
  EXPECT_EQ(FormatFloat("000", -0.123456), "-000");
  EXPECT_EQ(FormatFloat("0", -0.4), "-0");
  EXPECT_EQ(FormatFloat("0.00 \"EUR\"", -0.00001234), "-0.00 EUR");
  EXPECT_EQ(FormatFloat("0.00", 0.00001234), "0.00");
  // Only a value that is zero takes the zero section.
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", 0.00001234), "0.00");
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", -0.00001234), "(0.00)");
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", 0.0), "zero");
  EXPECT_EQ(FormatFloat("#,##0.00;(#,##0.00);zero", -0.0), "zero");
}

TEST(FormatFloatPictures, Exponents) {
  ScopedLocale us("en-US");
  // Placeholders after the exponent's sign all belong to the exponent.
  EXPECT_EQ(FormatFloat("0E+0#", 1234.5), "1E+3");
  EXPECT_EQ(FormatFloat("###E+####", 1234.5), "123E+1");
  EXPECT_EQ(FormatFloat("0E+" + AnsiString(300, '#'), 1e-300), "1E-300");
  EXPECT_EQ(FormatFloat("0E+0 0#", 5), "5E+0 ") << "placeholders past the exponent show nothing";
  EXPECT_EQ(FormatFloat("0.00E+00", 1234.5), "1.23E+03");
  EXPECT_EQ(FormatFloat("0.00E-00", 1234.5), "1.23E03");
  EXPECT_EQ(FormatFloat("0.00e-0", 0.000123), "1.23e-4");
  EXPECT_EQ(FormatFloat("0.###E+0", 1), "1E+0");
  EXPECT_EQ(FormatFloat("00.0E+0", 12345), "12.3E+3");
}

TEST(FormatFloatPictures, GermanSeparators) {
  ScopedLocale de("de-DE");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
}

TEST(FloatParsing, AcceptedSyntax) {
  ScopedLocale us("en-US");
  EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat("  -2.5e3  "), -2500);
  EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("5."), 5);
  EXPECT_DOUBLE_EQ(StrToFloat("+1E-2"), 0.01);
  EXPECT_EQ(StrToFloat("0.1"), 0.1);  // correctly rounded
  EXPECT_EQ(StrToFloat("1e-400"), 0.0);
  double v = 7;
  for (const char* bad : {"", " ", "1,5", "1.5.", "1e", "1e+", "--1", "1 5", "1,000", "0x10", "INF", "NAN", "1e400",
                          "e5", ".", "-"}) {
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7);  // failures leave the target alone
  try {
    StrToFloat("12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12a' is not a valid floating point value");
  }
}

// Money editors refuse a number too small for a double instead of taking
// it as 0; the range answer tells such a text from a written zero.
TEST(FloatParsing, TheRangeAnswerTellsATextBelowTheSmallestDoubleFromZero) {
  ScopedLocale us("en-US");
  struct Case {
    const char* Text;
    bool Underflow;
  };
  for (const Case& c : {Case{"1e-400", true}, Case{"-2e-324", true}, Case{"0.0000e-500", false}, Case{"0", false},
                        Case{"5e-324", false}, Case{"1.5", false}}) {
    double v = 7;
    bool underflow = !c.Underflow;
    EXPECT_TRUE(TryStrToFloat(c.Text, v, underflow)) << c.Text;
    EXPECT_EQ(underflow, c.Underflow) << c.Text;
    EXPECT_EQ(v == 0, c.Underflow || std::string(c.Text).starts_with("0")) << c.Text;
  }
  double v = 0;
  bool underflow = true;
  EXPECT_FALSE(TryStrToFloat("1e400", v, underflow));
}

TEST(FloatParsing, ASingleReadsAsTheNearestSingleUpToTheLargest) {
  ScopedLocale us("en-US");
  auto single = [](const char* text) {
    float f = -1;
    EXPECT_TRUE(TryStrToFloat(text, f)) << text;
    return f;
  };
  // The shortest text of a single lies so near the half-way point between
  // two singles that rounding it to a double first lands on the neighbour.
  EXPECT_EQ(single("7.038531e-26"), 7.038531e-26f);
  EXPECT_EQ(single("1e-45"), std::numeric_limits<float>::denorm_min());
  // The largest single, in its shortest text and in the library's own.
  const float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(single("3.4028235e38"), largest);
  EXPECT_EQ(single("-3.4028235e38"), -largest);
  EXPECT_EQ(single(FloatToStr(largest).c_str()), largest);
  float f = 0;
  EXPECT_FALSE(TryStrToFloat("3.4028236e38", f));  // past the half-way point to the next power of two
  EXPECT_FALSE(TryStrToFloat("1e39", f));
}

TEST(FloatParsing, GermanAcceptsOnlyTheComma) {
  ScopedLocale de("de-DE");
  EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
  double v;
  EXPECT_FALSE(TryStrToFloat("1.5", v));
  EXPECT_FALSE(TryStrToFloat("1.000,5", v));
}

TEST(FloatParsing, RoundTripsThroughText) {
  ScopedLocale us("en-US");
  for (double d : {0.1, 1.0 / 3, 123456.789, 1E-300, 6.02214076E23, -42.0}) {
    const double back = StrToFloat(FloatToStr(d));
    EXPECT_EQ(back, std::stod(FloatToStr(d))) << d;
    EXPECT_LT(std::fabs(back / d - 1.0), 1E-14) << d;
  }
}

TEST(CurrencyText, ExactDigitsAndRounding) {
  ScopedLocale us("en-US");
  EXPECT_EQ(CurrToStr(Currency{15000}), "1.5");
  EXPECT_EQ(CurrToStr(Currency{-1}), "-0.0001");
  EXPECT_EQ(CurrToStr(Currency{0}), "0");
  EXPECT_EQ(CurrToStr(Currency{INT64_MAX}), "922337203685477.5807");
  EXPECT_EQ(CurrToStrF(Currency{12345678}, ffCurrency, 2), "$1,234.57");
  EXPECT_EQ(CurrToStrF(Currency{-5}, ffFixed, 3), "-0.001");  // 0.0005 half away from zero
  EXPECT_EQ(StrToCurr("1.23456").Value, 12346);
  EXPECT_EQ(StrToCurr("0.00005").Value, 0);   // half to even
  EXPECT_EQ(StrToCurr("0.00015").Value, 2);
  EXPECT_EQ(StrToCurr("0.000051").Value, 1);
  EXPECT_EQ(StrToCurr("-922337203685477.5808").Value, INT64_MIN);
  EXPECT_EQ(StrToCurr("1.5E3").Value, 15000000);
  Currency c{77};
  EXPECT_FALSE(TryStrToCurr("922337203685477.5808", c));
  EXPECT_FALSE(TryStrToCurr("1e17", c));
  EXPECT_FALSE(TryStrToCurr("abc", c));
  EXPECT_EQ(c.Value, 77);
  ScopedLocale de("de-DE");
  EXPECT_EQ(CurrToStr(Currency{15000}), "1,5");
  EXPECT_EQ(StrToCurr("2,25").Value, 22500);
}
