#include <cmath>
#include <limits>

#include "platform/rtl/Locale.h"
#include "platform/rtl/Variant.h"

namespace {

class VariantArithTest : public ::testing::Test {
 protected:
  ScopedLocale locale{"en-US"};
};

Variant Cur(Int64 units) { return Variant(Currency::FromRaw(units)); }
Variant Bcd(const char* text) { return Variant(StrToBcd(text)); }

struct Expect {
  Word kind;
  const char* text;
};

void Check(const Variant& r, Expect e, const char* what) {
  EXPECT_EQ(VarTypeAsText(VarType(r)), VarTypeAsText(e.kind)) << what;
  EXPECT_EQ(VarToStr(r), e.text) << what;
}

}  // namespace

TEST_F(VariantArithTest, AdditionPromotesByKindPair) {
  struct Case {
    const char* what;
    Variant a, b;
    Expect sum;
  } cases[] = {
      {"int + int", 2, 3, {varInteger, "5"}},
      {"int16 + int8", SmallInt(30000), ShortInt(100), {varInteger, "30100"}},
      {"byte + word", Byte(200), Word(65535), {varInteger, "65735"}},
      {"int + int overflows into int64", INT32_MAX, 1, {varInt64, "2147483648"}},
      {"int + int below the range", INT32_MIN, -1, {varInt64, "-2147483649"}},
      {"int64 + int stays int64", Int64(1), 1, {varInt64, "2"}},
      {"int64 overflows into double", Int64(INT64_MAX), Int64(1), {varDouble, "9.22337203685478E18"}},
      {"uint32 + int", Cardinal(4000000000u), 1, {varInt64, "4000000001"}},
      {"Boolean counts -1", true, 10, {varInteger, "9"}},
      {"Empty counts 0", Variant(), 4, {varInteger, "4"}},
      {"int + double", 1, 0.5, {varDouble, "1.5"}},
      {"single + int", 1.5f, 1, {varDouble, "2.5"}},
      {"currency + int", Cur(15000), 2, {varCurrency, "3.5"}},
      {"currency + currency", Cur(1), Cur(2), {varCurrency, "0.0003"}},
      {"currency + double", Cur(15000), 0.25, {varDouble, "1.75"}},
      {"date + date", TDateTime(45000.0), TDateTime(0.75), {varDate, "3/15/2023 6:00:00 PM"}},
      {"date + int", TDateTime(45000.0), 1, {varDate, "3/16/2023"}},
      {"int + date", 1, TDateTime(45000.0), {varDate, "3/16/2023"}},
      {"bcd + bcd is exact", Bcd("0.1"), Bcd("0.2"), {varFMTBcd, "0.3"}},
      {"bcd + int", Bcd("1.25"), 2, {varFMTBcd, "3.25"}},
      {"bcd + currency", Bcd("1.25"), Cur(5), {varFMTBcd, "1.2505"}},
      {"bcd + double", Bcd("1.25"), 0.5, {varDouble, "1.75"}},
      {"numeric text + int", "2.5", 1, {varDouble, "3.5"}},
      {"int + numeric text", 1, "2", {varDouble, "3"}},
      {"text + currency", "1.5", Cur(10000), {varCurrency, "2.5"}},
  };
  for (const Case& c : cases) Check(c.a + c.b, c.sum, c.what);
}

TEST_F(VariantArithTest, SubtractionAndMultiplication) {
  struct Case {
    const char* what;
    Variant r;
    Expect e;
  } cases[] = {
      {"int - int", Variant(2) - Variant(5), {varInteger, "-3"}},
      {"int * int overflows", Variant(100000) * Variant(100000), {varInt64, "10000000000"}},
      {"int64 * int64 overflows", Variant(Int64(1) << 40) * Variant(Int64(1) << 40), {varDouble, "1.20892581961463E24"}},
      {"currency * currency rounds", Cur(3) * Cur(5000), {varCurrency, "0.0002"}},
      {"currency * int", Cur(12345) * Variant(3), {varCurrency, "3.7035"}},
      {"date - date stays a date", Variant(TDateTime(45000.75)) - Variant(TDateTime(45000.0)), {varDate, "12/30/1899 6:00:00 PM"}},
      {"date * int is a number", Variant(TDateTime(2.0)) * Variant(2), {varDouble, "4"}},
      {"bcd - bcd", Bcd("1") - Bcd("0.001"), {varFMTBcd, "0.999"}},
      {"bcd * int", Bcd("1.5") * Variant(3), {varFMTBcd, "4.5"}},
      {"bcd * int is exact", Bcd("0.1") * Variant(3), {varFMTBcd, "0.3"}},
      {"bcd * bcd is exact", Bcd("1.1") * Bcd("1.1"), {varFMTBcd, "1.21"}},
      {"bcd * currency is exact", Bcd("123456789.123456789") * Cur(10000000), {varFMTBcd, "123456789123.456789"}},
      {"text - text converts both", Variant("5") - Variant("1.5"), {varDouble, "3.5"}},
      {"text * int", Variant("4") * Variant(2), {varDouble, "8"}},
  };
  for (const Case& c : cases) Check(c.r, c.e, c.what);
  Variant sum = 1;
  sum += 2;
  sum *= 3;
  sum -= 1;
  EXPECT_EQ(sum.RawInt(), 8);
}

TEST_F(VariantArithTest, DivisionAlwaysGivesADouble) {
  Check(Variant(8) / Variant(3), {varDouble, "2.66666666666667"}, "int / int");
  Check(Variant(6) / Variant(3), {varDouble, "2"}, "exact int / int");
  Check(Cur(10000) / Variant(4), {varDouble, "0.25"}, "currency / int");
  Check(Bcd("1") / Variant(8), {varDouble, "0.125"}, "bcd / int");
  // The average of dates: the quotient is a number the caller turns back
  // into a date.
  Variant avg = (Variant(TDateTime(45000.0)) + Variant(TDateTime(45001.0))) / Variant(2);
  Check(avg, {varDouble, "45000.5"}, "date average");
  Variant sum = 0;
  sum /= 2;
  EXPECT_EQ(sum.RawDouble(), 0.0);
  EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);
  EXPECT_THROW(Variant(0.0) / Variant(0.0), EZeroDivide);
  EXPECT_THROW(Variant(1) / Variant(Variant()), EZeroDivide);
}

TEST_F(VariantArithTest, NullPropagatesThroughEveryOperator) {
  for (const Variant& other : {Variant(1), Variant(1.5), Variant("x"), Cur(1), Variant(), Null()}) {
    EXPECT_TRUE(VarIsNull(Null() + other));
    EXPECT_TRUE(VarIsNull(other + Null()));
    EXPECT_TRUE(VarIsNull(Null() - other));
    EXPECT_TRUE(VarIsNull(other * Null()));
    EXPECT_TRUE(VarIsNull(Null() / other));
  }
}

TEST_F(VariantArithTest, TextThatCannotBeANumberIsRefused) {
  // A sum that meets text fails rather than concatenating.
  try {
    (void)(Variant("a") + Variant("b"));
    FAIL();
  } catch (const EVariantInvalidOpError& e) {
    EXPECT_STREQ(e.what(), "Invalid variant operation");
  }
  EXPECT_THROW((void)(Variant("1") + Variant(WideString(u"2"))), EVariantInvalidOpError);
  EXPECT_THROW((void)(Variant("abc") + Variant(1)), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant(1.5) * Variant("x")), EVariantTypeCastError);
  EXPECT_THROW((void)(VarArrayOf({1}) + Variant(1)), EVariantInvalidOpError);
}

TEST_F(VariantArithTest, OverflowIsReportedNotWrapped) {
  EXPECT_THROW((void)(Cur(INT64_MAX) + Cur(1)), EVariantOverflowError);
  EXPECT_THROW((void)(Cur(INT64_MAX / 2) * Variant(3)), EVariantOverflowError);
  EXPECT_THROW((void)(Variant(1e308) * Variant(10.0)), EVariantOverflowError);
  EXPECT_THROW((void)(Variant(Int64(1) << 62) + Cur(1)), EVariantOverflowError);
  AnsiString nines(64, '9');
  EXPECT_THROW((void)(Bcd(nines.c_str()) + Variant(1)), EVariantOverflowError);
  // Infinity that was already there is carried, not reported as new.
  EXPECT_TRUE(std::isinf((Variant(std::numeric_limits<double>::infinity()) + Variant(1)).RawDouble()));
}

TEST_F(VariantArithTest, SummaryOfMixedValues) {
  // Values 3, Null, 5 averaged while skipping Nulls, and their minimum and
  // maximum, the way a summary walks them.
  Variant values[] = {3, Null(), 5, Int64(2), 4.5};
  Variant sum, min, max;
  int count = 0;
  for (const Variant& v : values) {
    if (VarIsNull(v)) continue;
    sum = VarIsEmpty(sum) ? v : sum + v;
    if (VarIsEmpty(min) || v < min) min = v;
    if (VarIsEmpty(max) || v > max) max = v;
    ++count;
  }
  EXPECT_EQ(VarType(sum), varDouble);
  EXPECT_EQ(VarToStr(sum / Variant(count)), "3.625");
  EXPECT_EQ(VarToStr(min), "2");
  EXPECT_EQ(VarType(min), varInt64);
  EXPECT_EQ(VarToStr(max), "5");
}
