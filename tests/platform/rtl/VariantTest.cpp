#include <cmath>
#include <limits>

#include "platform/rtl/Locale.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/Variant.h"

namespace {

class VariantTest : public ::testing::Test {
 protected:
  ScopedLocale locale{"en-US"};
};

class VariantGermanTest : public ::testing::Test {
 protected:
  ScopedLocale locale{"de-DE"};
};

Variant Bcd(const char* text) { return Variant(StrToBcd(text)); }
Variant Cur(Int64 units) { return Variant(Currency::FromRaw(units)); }

}  // namespace

// ---------------------------------------------------------------------------
// Kinds

TEST_F(VariantTest, EveryCppScalarKeepsTheKindOfItsWidth) {
  struct Case {
    Variant v;
    Word kind;
  } cases[] = {
      {Variant(), varEmpty},
      {Null(), varNull},
      {SmallInt(-2), varSmallint},
      {Integer(7), varInteger},
      {1.5f, varSingle},
      {1.5, varDouble},
      {Cur(10000), varCurrency},
      {TDateTime(45000.5), varDate},
      {WideString(u"w"), varOleStr},
      {true, varBoolean},
      {ShortInt(-1), varShortInt},
      {Byte(200), varByte},
      {Word(60000), varWord},
      {Cardinal(4000000000u), varLongWord},
      {Int64(1) << 40, varInt64},
      {"text", varString},
      {'c', varString},
      {Bcd("1.5"), varFMTBcd},
      {TSQLTimeStamp{2024, 1, 2, 3, 4, 5, 6}, varSQLTimeStamp},
      {VarArrayOf({1, 2}), varArray | varVariant},
  };
  for (const Case& c : cases) EXPECT_EQ(VarType(c.v), c.kind) << VarTypeAsText(c.kind);
  EXPECT_THROW(Variant(UInt64(1) << 63), EVariantOverflowError);
  EXPECT_EQ(VarType(Variant(UInt64(5))), varInt64);
}

TEST_F(VariantTest, KindTests) {
  Variant str("a"), wide(u"a"), i(1), b(true), d(1.0), c(Cur(1)), dt(TDateTime(1.0)), arr(VarArrayOf({}));
  EXPECT_TRUE(VarIsStr(str) && VarIsStr(wide));
  EXPECT_FALSE(VarIsStr(i));
  EXPECT_TRUE(VarIsNumeric(b));  // Boolean counts as a number
  EXPECT_TRUE(VarIsOrdinal(b) && VarIsOrdinal(i));
  EXPECT_FALSE(VarIsOrdinal(d));
  EXPECT_TRUE(VarIsFloat(d) && VarIsFloat(c) && VarIsFloat(Variant(1.0f)));
  EXPECT_FALSE(VarIsNumeric(dt) || VarIsNumeric(str));
  EXPECT_TRUE(VarIsArray(arr) && !VarIsArray(i));
  EXPECT_TRUE(VarIsEmpty(Variant()) && VarIsClear(Variant()) && !VarIsEmpty(Null()));
  EXPECT_TRUE(VarIsNull(Null()) && !VarIsNull(Variant()));
}

TEST_F(VariantTest, CopiesAreIndependentValues) {
  AnsiString bytes("pic\0ture\xff\x80", 9);
  Variant v(bytes);
  Variant copy = v;
  v = 5;
  EXPECT_EQ(copy.RawAnsi(), bytes);  // binary-safe, untouched by the reassignment
  EXPECT_EQ(copy.RawAnsi().size(), 9u);
  Variant moved = std::move(copy);
  EXPECT_TRUE(VarIsEmpty(copy));
  EXPECT_EQ(VarToStr(moved), bytes);
  const Variant& same = moved;
  moved = same;  // self-assignment keeps the value
  EXPECT_EQ(moved.RawAnsi(), bytes);
  moved.Clear();
  EXPECT_TRUE(VarIsEmpty(moved));
}

// ---------------------------------------------------------------------------
// To 8-bit text

TEST_F(VariantTest, TextOfEveryKind) {
  struct Case {
    Variant v;
    const char* text;
  } cases[] = {
      {Null(), ""},
      {Variant(), ""},
      {SmallInt(-32768), "-32768"},
      {Int64(INT64_MIN), "-9223372036854775808"},
      {Byte(255), "255"},
      {2.0, "2"},
      {0.1, "0.1"},
      {1e20, "1E20"},
      {1.5e-10, "1.5E-10"},
      {1.0 / 3.0, "0.333333333333333"},  // 15 significant digits
      {0.1f, "0.100000001490116"},        // the single's own value, 15 digits
      {Cur(12345678), "1234.5678"},
      {Cur(15000), "1.5"},
      {Cur(-1), "-0.0001"},
      {TDateTime(45000.0), "3/15/2023"},                // no time part: date only
      {TDateTime(45000.75), "3/15/2023 6:00:00 PM"},    // short date and long time
      {true, "True"},
      {false, "False"},
      {WideString(u"Gr\u00FC\u00DFe \u20AC \u4E2D"), "Gr\xFC\xDF" "e \x80 ?"},  // 1252, '?' for the rest
      {Bcd("-00012.500"), "-12.5"},
      {TSQLTimeStamp{2023, 3, 15, 18, 0, 0, 0}, "3/15/2023 6:00:00 PM"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(c.v), c.text) << VarTypeAsText(VarType(c.v));
}

TEST_F(VariantGermanTest, TextUsesTheLocale) {
  EXPECT_EQ(VarToStr(2.5), "2,5");
  EXPECT_EQ(VarToStr(Cur(-12345)), "-1,2345");
  EXPECT_EQ(VarToStr(TDateTime(45000.75)), "15.03.2023 18:00:00");
  EXPECT_EQ(VarToStr(Bcd("0,25")), "0,25");
}

TEST_F(VariantTest, NullIsEmptyTextOnlyForVarToStr) {
  EXPECT_EQ(VarToStrDef(Null(), "n/a"), "n/a");
  EXPECT_EQ(VarToStrDef(3, "n/a"), "3");
  EXPECT_THROW(VarAsType(Null(), varString), EVariantTypeCastError);
  EXPECT_THROW(Null().AsString(), EVariantTypeCastError);
  EXPECT_EQ(VarToWideStr(Null()), u"");
  EXPECT_EQ(VarToWideStr("\x80"), u"\u20AC");
  EXPECT_EQ(VarToWideStr(WideString(u"\u4E2D")), u"\u4E2D");  // wide text stays whole
}

// ---------------------------------------------------------------------------
// Conversions between kinds

TEST_F(VariantTest, IntegerConversionTable) {
  struct Case {
    Variant from;
    Word to;
    Int64 expected;
  } cases[] = {
      // int16 and uint16 keep the low 16 bits without an error.
      {70000, varSmallint, 4464},
      {-1, varWord, 65535},
      {40000, varSmallint, -25536},
      {Int64(0x123456789), varWord, 0x6789},
      {300, varByte, 44},
      {Int64(-1), varLongWord, 4294967295},
      // Doubles round to nearest, halves to even.
      {2.5, varInteger, 2},
      {3.5, varInteger, 4},
      {-2.5, varInteger, -2},
      {-2.5000001, varInteger, -3},
      {0.49999999999999994, varInteger, 0},
      {2.5f, varInt64, 2},
      {Cur(25000), varInteger, 2},
      {Cur(35000), varInteger, 4},
      {TDateTime(45000.5), varInteger, 45000},
      // Boolean true is -1.
      {true, varInteger, -1},
      {false, varInt64, 0},
      {true, varSmallint, -1},
      // Text with the locale's separator; integer text in full precision.
      {"42", varInteger, 42},
      {" -17 ", varInteger, -17},
      {"$FF", varInteger, 255},
      {"2.5", varInteger, 2},
      {"9007199254740993", varInt64, 9007199254740993},
      {WideString(u"12"), varByte, 12},
      {Variant(), varInteger, 0},
      {Bcd("12.5"), varInteger, 12},
  };
  for (const Case& c : cases) {
    Variant r = VarAsType(c.from, c.to);
    EXPECT_EQ(VarType(r), c.to);
    Int64 got = c.to == varWord || c.to == varByte || c.to == varLongWord ? static_cast<Int64>(r.RawInt()) : r.RawInt();
    EXPECT_EQ(got, c.expected) << VarToStr(c.from) << " -> " << VarTypeAsText(c.to);
  }
}

TEST_F(VariantTest, Int32AndInt64OverflowIsAnError) {
  EXPECT_THROW(VarAsType(Int64(2147483648), varInteger), EVariantOverflowError);
  EXPECT_THROW(VarAsType(-2147483649.0, varInteger), EVariantOverflowError);
  EXPECT_EQ(VarAsType(-2147483648.0, varInteger).RawInt(), INT32_MIN);
  EXPECT_THROW(VarAsType(9.3e18, varInt64), EVariantOverflowError);
  EXPECT_THROW(VarAsType("99999999999", varInteger), EVariantOverflowError);
  EXPECT_THROW(VarAsType(std::numeric_limits<double>::infinity(), varInt64), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Cur(INT64_MAX), varInteger), EVariantOverflowError);
  EXPECT_THROW(VarAsType(1e39, varSingle), EVariantOverflowError);
  // The largest single comes back from its text and from any double that
  // rounds to it; text reads as the nearest single, not via a double.
  const float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(VarAsType(VarToStr(largest), varSingle).RawSingle(), largest);
  EXPECT_EQ(VarAsType(-3.40282346638529E38, varSingle).RawSingle(), -largest);
  EXPECT_EQ(VarAsType("7.038531e-26", varSingle).RawSingle(), 7.038531e-26f);
  EXPECT_THROW(VarAsType("3.5e38", varSingle), EVariantOverflowError);
  EXPECT_THROW(VarAsType(3.4028236e38, varSingle), EVariantOverflowError);
  EXPECT_THROW(VarAsType(1e15, varCurrency), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Int64(1) << 62, varCurrency), EVariantOverflowError);
  EXPECT_THROW(VarAsType(1e70, varFMTBcd), EVariantOverflowError);
  EXPECT_THROW(VarAsType(1e200, varFMTBcd), EVariantOverflowError);  // as large as a double gets, too
  // An overflow is a variant error, so comparison helpers can catch it.
  try {
    VarAsType(1e10, varInteger);
    FAIL();
  } catch (const EVariantError& e) {
    EXPECT_STREQ(e.what(), "Overflow while converting variant of type (Double) into type (Integer)");
  }
}

TEST_F(VariantTest, FailedConversionsNameBothKinds) {
  struct Case {
    Variant from;
    Word to;
    const char* message;
  } cases[] = {
      {"abc", varInteger, "Could not convert variant of type (String) into type (Integer)"},
      {"1,5", varDouble, "Could not convert variant of type (String) into type (Double)"},
      {WideString(u"x"), varDate, "Could not convert variant of type (OleStr) into type (Date)"},
      {"maybe", varBoolean, "Could not convert variant of type (String) into type (Boolean)"},
      {Null(), varInteger, "Could not convert variant of type (Null) into type (Integer)"},
      {VarArrayOf({1}), varInteger, "Could not convert variant of type (Array Variant) into type (Integer)"},
      {1, varArray | varInteger, "Could not convert variant of type (Integer) into type (Array Integer)"},
      {"1x", varFMTBcd, "Could not convert variant of type (String) into type (FMTBcd)"},
      {std::nan(""), varInteger, "Could not convert variant of type (Double) into type (Integer)"},
  };
  for (const Case& c : cases) {
    try {
      VarAsType(c.from, c.to);
      ADD_FAILURE() << c.message;
    } catch (const EVariantTypeCastError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST_F(VariantTest, ToDoubleCurrencyAndBoolean) {
  EXPECT_EQ(VarAsType("2.5", varDouble).RawDouble(), 2.5);
  EXPECT_EQ(VarAsType(" 1E3 ", varDouble).RawDouble(), 1000.0);
  EXPECT_EQ(VarAsType(true, varDouble).RawDouble(), -1.0);
  EXPECT_EQ(VarAsType(Cur(1000), varDouble).RawDouble(), 0.1);
  EXPECT_EQ(VarAsType(Int64(INT64_MAX), varDouble).RawDouble(), 9223372036854775807.0);
  EXPECT_EQ(VarAsType(Variant(), varDouble).RawDouble(), 0.0);

  // Currency keeps four decimals, halves to even.
  EXPECT_EQ(VarAsType(0.03125, varCurrency).RawInt(), 312);
  EXPECT_EQ(VarAsType("1.23455", varCurrency).RawInt(), 12346);
  EXPECT_EQ(VarAsType("1.23445", varCurrency).RawInt(), 12344);
  EXPECT_EQ(VarAsType(7, varCurrency).RawInt(), 70000);
  EXPECT_EQ(VarAsType(true, varCurrency).RawInt(), -10000);

  struct Case {
    Variant from;
    bool expected;
  } bools[] = {
      {"True", true}, {"FALSE", false}, {"tRuE", true}, {" false ", false}, {"0", false}, {"-1", true},
      {"0.5", true},  {0, false},       {2, true},      {0.0, false},       {Cur(1), true}, {Variant(), false},
      {Bcd("0.000"), false},
  };
  for (const Case& c : bools) EXPECT_EQ(VarAsType(c.from, varBoolean).RawInt() != 0, c.expected) << VarToStr(c.from);
}

TEST_F(VariantTest, ToDateFromNumbersAndText) {
  EXPECT_EQ(VarToDateTime(45000.25).Value, 45000.25);
  EXPECT_EQ(VarToDateTime(45000).Value, 45000.0);
  EXPECT_EQ(VarToDateTime("3/15/2023").Value, 45000.0);
  EXPECT_EQ(VarToDateTime("3/15/2023 6:00:00 PM").Value, 45000.75);
  EXPECT_EQ(VarToDateTime("March 15, 2023").Value, 45000.0);  // the lenient reading
  EXPECT_EQ(VarToDateTime(TSQLTimeStamp{2023, 3, 15, 6, 0, 0, 0}).Value, 45000.25);
  EXPECT_THROW(VarToDateTime("someday"), EVariantTypeCastError);
  EXPECT_THROW(VarToDateTime(Null()), EVariantTypeCastError);
  EXPECT_THROW(VarToDateTime(std::numeric_limits<double>::infinity()), EVariantTypeCastError);
  Variant ts = VarAsType(TDateTime(45000.75), varSQLTimeStamp);
  EXPECT_EQ(ts.RawTimeStamp(), (TSQLTimeStamp{2023, 3, 15, 18, 0, 0, 0}));
}

TEST_F(VariantGermanTest, TextToNumberUsesTheLocaleSeparator) {
  // The front end writes localized decimals into float cells.
  EXPECT_EQ(VarAsType("3,75", varDouble).RawDouble(), 3.75);
  EXPECT_THROW(VarAsType("3.75", varDouble), EVariantTypeCastError);
  EXPECT_EQ(VarAsType("2,5", varInteger).RawInt(), 2);
  EXPECT_EQ(VarToDateTime("15.03.2023").Value, 45000.0);
  EXPECT_EQ(BcdToStr(VarAsType("-1,5", varFMTBcd).RawBcd()), "-1,5");
}

TEST_F(VariantTest, KindsRoundTripThroughTheirOwnConversions) {
  EXPECT_EQ(VarAsType(VarAsType(Bcd("123.456"), varString), varFMTBcd), Bcd("123.456"));
  EXPECT_EQ(BcdToStr(VarAsType(Cur(-15), varFMTBcd).RawBcd()), "-0.0015");
  EXPECT_EQ(VarAsType(Bcd("1.00005"), varCurrency).RawInt(), 10000);
  EXPECT_EQ(VarType(VarAsType(5, varOleStr)), varOleStr);
  EXPECT_EQ(VarAsType(5, varOleStr).RawWide(), u"5");
  EXPECT_EQ(VarAsType(WideString(u"\u00E9"), varString).RawAnsi(), "\xE9");
  EXPECT_EQ(VarType(VarAsType(5, varNull)), varNull);
  EXPECT_EQ(VarType(VarAsType(Null(), varEmpty)), varEmpty);
  EXPECT_THROW(VarAsType(5, 0x0F0F), EVariantTypeCastError);
}

// ---------------------------------------------------------------------------
// Equality and ordering

TEST_F(VariantTest, EqualityTable) {
  struct Case {
    Variant a, b;
    bool equal;
  } cases[] = {
      // Numbers of every kind by value.
      {SmallInt(5), Int64(5), true},
      {Byte(255), ShortInt(-1), false},
      {3, 3.0, true},
      {1.5f, 1.5, true},
      {0.1f, 0.1, false},  // the single's value differs
      {Cur(15000), 1.5, true},
      {Cur(1000), 0.1, true},
      {Cur(20000), 2, true},
      {TDateTime(45000.0), 45000, true},
      {Bcd("1.50"), 1.5, true},
      {Bcd("2"), Cur(20000), true},
      {Int64(9007199254740993), 9007199254740992.0, false},  // no rounding on the way
      // Boolean is -1 or 0.
      {true, -1, true},
      {true, 1, false},
      {false, 0, true},
      {true, true, true},
      // Strings ordinally and case-sensitively.
      {"abc", "abc", true},
      {"abc", "ABC", false},
      {"abc", WideString(u"abc"), true},
      {AnsiString("a\0b", 3), AnsiString("a\0c", 3), false},
      // Text against a number or date is converted.
      {"2.5", 2.5, true},
      {"10", 10, true},
      {"9007199254740993", Int64(9007199254740993), true},
      {"9007199254740993", Int64(9007199254740992), false},  // not rounded through a double
      {" 10", 10, true},
      {"True", true, true},
      {"3/15/2023", TDateTime(45000.0), true},
      {"1.5", Cur(15000), true},
      // Null equals only Null; Empty is 0 or "".
      {Null(), Null(), true},
      {Null(), Variant(), false},
      {Null(), 0, false},
      {Null(), "", false},
      {Variant(), 0, true},
      {Variant(), "", true},
      {Variant(), Variant(), true},
      {Variant(), "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << VarToStr(c.a) << " = " << VarToStr(c.b);
    EXPECT_EQ(c.b == c.a, c.equal) << VarToStr(c.b) << " = " << VarToStr(c.a);
  }
}

TEST_F(VariantTest, OrderingTable) {
  struct Case {
    Variant a, b;
    TVariantRelationship rel;
  } cases[] = {
      {1, 2, vrLessThan},
      {Int64(-5), Byte(3), vrLessThan},
      {2.5, 2, vrGreaterThan},
      {Int64(INT64_MAX), 9223372036854775807.0, vrLessThan},  // the double is 2^63
      {Cur(-1), 0, vrLessThan},
      {true, false, vrLessThan},  // -1 < 0
      {"B", "a", vrLessThan},     // ordinal: 'B' (66) before 'a' (97)
      {"ab", "abc", vrLessThan},
      {"\xE9", "z", vrGreaterThan},  // bytes compare unsigned
      {WideString(u"\u00E9"), "z", vrGreaterThan},
      {"10", 9, vrGreaterThan},   // converted, so numeric order
      {TDateTime(1.5), TDateTime(1.25), vrGreaterThan},
      {TSQLTimeStamp{2024, 1, 1, 0, 0, 0, 1}, TSQLTimeStamp{2024, 1, 1, 0, 0, 0, 0}, vrGreaterThan},
      {TSQLTimeStamp{1900, 1, 1, 0, 0, 0, 0}, TDateTime(1.0), vrGreaterThan},
      {Bcd("-10"), Bcd("-9.99"), vrLessThan},
      {Null(), 1, vrNotEqual},
      {1, Null(), vrNotEqual},
      {Null(), Null(), vrEqual},
      {std::nan(""), 1.0, vrNotEqual},
  };
  for (const Case& c : cases) EXPECT_EQ(VarCompareValue(c.a, c.b), c.rel) << VarToStr(c.a) << " ? " << VarToStr(c.b);

  EXPECT_TRUE(Variant(1) < Variant(2));
  EXPECT_TRUE(Variant(2) > Variant(1));
  EXPECT_TRUE(Variant(2) <= Variant(2.0) && Variant(2) >= Variant(2.0));
  // Null is neither below nor above anything.
  EXPECT_FALSE(Null() < Variant(1));
  EXPECT_FALSE(Variant(1) < Null());
  EXPECT_FALSE(Null() <= Variant(1));
}

TEST_F(VariantTest, ComparisonThatCannotConvertRaisesAVariantError) {
  EXPECT_THROW((void)(Variant("abc") == Variant(1)), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant(1) < Variant("abc")), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant("later") == Variant(TDateTime(1.0))), EVariantTypeCastError);
  EXPECT_THROW((void)(VarArrayOf({1}) == VarArrayOf({1})), EVariantInvalidOpError);
  // The errors are ordinary exceptions a caller can turn into an answer.
  auto compare = [](const Variant& a, const Variant& b) {
    try {
      return a == b ? 0 : a < b ? -1 : 1;
    } catch (const EVariantError&) {
      return -1;
    }
  };
  EXPECT_EQ(compare("abc", 1), -1);
  EXPECT_EQ(compare(1, "abc"), -1);
}

// ---------------------------------------------------------------------------
// Arrays

TEST_F(VariantTest, ArraysHaveBoundsAndElements) {
  Variant a = VarArrayCreate({5, 7}, varVariant);
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 5);
  EXPECT_EQ(VarArrayHighBound(a, 1), 7);
  EXPECT_TRUE(VarIsEmpty(a[6]));
  VarArrayPut(a, "six", {6});
  EXPECT_EQ(VarToStr(a[6]), "six");
  EXPECT_EQ(VarToStr(VarArrayGet(a, {6})), "six");
  EXPECT_THROW(a[4], EVariantBadIndexError);
  EXPECT_THROW(a[8], EVariantBadIndexError);
  EXPECT_THROW(VarArrayPut(a, 1, {8}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayHighBound(a, 2), EVariantBadIndexError);
  EXPECT_THROW(Variant(1)[0], EVariantInvalidOpError);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);

  Variant empty = VarArrayOf({});
  EXPECT_EQ(VarArrayLowBound(empty, 1), 0);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_THROW(VarArrayCreate({0, -2}, varVariant), EVariantInvalidOpError);
  EXPECT_THROW(VarArrayCreate({0}, varVariant), EVariantInvalidOpError);
  EXPECT_THROW(VarArrayCreate({0, 0x7FFFFFFF}, varVariant), EVariantInvalidOpError);
}

TEST_F(VariantTest, TwoDimensionalArraysAreAddressedByBothIndices) {
  Variant grid = VarArrayCreate({1, 2, 0, 2}, varVariant);
  EXPECT_EQ(VarArrayDimCount(grid), 2);
  EXPECT_EQ(VarArrayLowBound(grid, 2), 0);
  EXPECT_EQ(VarArrayHighBound(grid, 2), 2);
  for (int r = 1; r <= 2; ++r)
    for (int c = 0; c <= 2; ++c) VarArrayPut(grid, r * 10 + c, {r, c});
  EXPECT_EQ(VarArrayGet(grid, {2, 1}).RawInt(), 21);
  EXPECT_EQ(VarArrayGet(grid, {1, 2}).RawInt(), 12);
  EXPECT_THROW(VarArrayGet(grid, {1}), EVariantBadIndexError);
  EXPECT_THROW(grid[1], EVariantBadIndexError);
}

TEST_F(VariantTest, TypedArraysConvertWhatIsPut) {
  Variant ints = VarArrayCreate({0, 1}, varInteger);
  EXPECT_EQ(VarType(ints[0]), varInteger);
  EXPECT_EQ(ints[0].RawInt(), 0);
  VarArrayPut(ints, "42", {1});
  EXPECT_EQ(VarType(ints[1]), varInteger);
  EXPECT_EQ(ints[1].RawInt(), 42);
  EXPECT_THROW(VarArrayPut(ints, "x", {1}), EVariantTypeCastError);
  EXPECT_EQ(ints[1].RawInt(), 42);  // a failed put leaves the element alone
}

TEST_F(VariantTest, ArrayCopiesDoNotShareWrites) {
  Variant a = VarArrayOf({1, "two", 3.0});
  Variant b = a;
  VarArrayPut(b, 20, {1});
  EXPECT_EQ(VarToStr(a[1]), "two");
  EXPECT_EQ(VarToStr(b[1]), "20");
  // Nested arrays are values too.
  Variant outer = VarArrayOf({a, 4});
  VarArrayPut(a, 99, {0});
  EXPECT_EQ(VarType(outer[0]), varArray | varVariant);
  EXPECT_EQ(outer[0][0].RawInt(), 1);
  EXPECT_EQ(outer[0][2].RawDouble(), 3.0);
  // An array put into itself goes in as it was, without a cycle.
  VarArrayPut(a, a, {2});
  EXPECT_EQ(a[2][0].RawInt(), 99);
  EXPECT_EQ(a[2][2].RawDouble(), 3.0);
}

// ---------------------------------------------------------------------------
// Published properties

namespace {

class THolder : public TObject {
  ORV_CLASS(THolder, TObject)
 public:
  THolder() = default;
  Variant GetValue() const { return FValue; }
  void SetValue(const Variant& v) {
    ++Writes;
    FValue = v;
  }
  Variant GetReadOnly() const { return 7; }
  Integer GetCount() const { return 0; }
  void SetCount(Integer) {}
  int Writes = 0;

 private:
  Variant FValue;
};

ORV_REGISTER(THolder, ORV_PROP(Value), ORV_PROP_RO(ReadOnly), ORV_PROP(Count))

}  // namespace

TEST_F(VariantTest, PublishedVariantPropertiesReadAndWriteThroughTypeInformation) {
  EXPECT_EQ(TypeInfo<Variant>()->Kind, tkVariant);
  EXPECT_EQ(TypeInfo<Variant>()->Name, "Variant");
  THolder* h = New<THolder>();
  EXPECT_EQ(PropType(h, "Value"), tkVariant);
  SetVariantProp(h, "value", Variant("x"));
  EXPECT_EQ(h->Writes, 1);
  EXPECT_EQ(VarToStr(h->GetValue()), "x");
  EXPECT_EQ(VarToStr(GetVariantProp(h, "Value")), "x");
  EXPECT_EQ(GetVariantProp(h, GetPropInfo(h, "ReadOnly")).RawInt(), 7);
  EXPECT_THROW(SetVariantProp(h, "ReadOnly", 1), EPropertyError);
  EXPECT_THROW(GetVariantProp(h, "Count"), EPropertyError);
  EXPECT_THROW(GetVariantProp(h, "Missing"), EPropertyError);
  h->Free();
}
