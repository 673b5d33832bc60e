#include "library/data/cxVariants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "StreamBytes.h"
#include "library/data/cxDoubleOrder.h"

namespace {

std::vector<Byte> Written(const Variant& v) {
  TMemoryStream ms;
  WriteVariantProc(&ms, v);
  return StreamBytes(ms);
}

Variant ReadBack(const std::vector<Byte>& bytes) {
  ByteStream s(bytes);
  Variant v = ReadVariantFunc(&s);
  EXPECT_EQ(s.GetPosition(), s.GetSize());
  return v;
}

}  // namespace

TEST(VarCompare, NullSortsFirstAndFailedConversionsGiveMinusOne) {
  EXPECT_EQ(VarCompare(Null(), Null()), 0);
  EXPECT_EQ(VarCompare(Null(), 0), -1);
  EXPECT_EQ(VarCompare(0, Null()), 1);
  EXPECT_EQ(VarCompare("abc", 1), -1);
  EXPECT_EQ(VarCompare(1, "abc"), -1);
  EXPECT_EQ(VarCompare(1, 2.5), -1);
  EXPECT_EQ(VarCompare("b", "a"), 1);
  EXPECT_TRUE(VarEquals(5, 5.0));
}

// NaN came out greater than every value and every value greater than it,
// which no sort can follow: it is now one value, after every other one.
TEST(VarCompare, NaNEqualsNaNAndFollowsEveryOtherValue) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const Variant& v : {Variant(1), Variant(inf), Variant(Int64{1} << 62), Variant(-0.0), Variant(TDateTime(2.5))}) {
    EXPECT_EQ(VarCompare(nan, v), 1) << VarToStr(v);
    EXPECT_EQ(VarCompare(v, nan), -1) << VarToStr(v);
  }
  EXPECT_EQ(VarCompare(nan, -nan), 0);
  EXPECT_EQ(VarCompare(Variant(TDateTime(nan)), nan), 0);
  EXPECT_EQ(VarCompare(Null(), nan), -1);
  EXPECT_EQ(VarCompare(-0.0, 0.0), 0);
  EXPECT_EQ(cxCompareDoubles(-0.0, 0.0), 0);
  EXPECT_EQ(cxCompareDoubles(inf, nan), -1);
  EXPECT_EQ(cxCompareDoubles(-nan, nan), 0);
}

TEST(VarCompare, ArraysByLengthThenElements) {
  Variant a = VarArrayOf({1, 2});
  Variant b = VarArrayOf({1, 3});
  Variant longer = VarArrayOf({1, 2, 3, 4});
  EXPECT_EQ(VarCompare(a, b), -1);
  EXPECT_EQ(VarCompare(a, VarArrayOf({1, 2})), 0);
  EXPECT_EQ(VarCompare(longer, a), 2);  // the bound difference, not clipped
  EXPECT_EQ(VarCompare(a, 1), 1);
  EXPECT_EQ(VarCompare(1, a), -1);
}

TEST(VarEquality, ExactAndSoft) {
  EXPECT_FALSE(VarEqualsExact(true, -1));
  EXPECT_FALSE(VarEqualsExact(true, 1));
  EXPECT_TRUE(VarEqualsExact(true, "True"));
  EXPECT_FALSE(VarEqualsExact(Null(), ""));
  EXPECT_TRUE(VarEqualsExact(Null(), Null()));
  EXPECT_TRUE(VarEqualsExact(3, 3.0));
  EXPECT_TRUE(VarEqualsSoft(Null(), ""));
  EXPECT_TRUE(VarEqualsSoft(WideString(u""), Null()));
  EXPECT_FALSE(VarEqualsSoft(Null(), " "));
  EXPECT_EQ(VarIndex({}, 1), -1);
  EXPECT_EQ(VarIndex({Null(), 2, 1, 1}, 1), 2);
}

TEST(VarTests, KindsAndArrayBuilders) {
  EXPECT_TRUE(VarIsDate(TDateTime(1.5)));
  EXPECT_TRUE(VarIsDate(Variant(TSQLTimeStamp{2023, 3, 15, 0, 0, 0, 0})));
  EXPECT_FALSE(VarIsDate(1.5));
  EXPECT_TRUE(VarIsNumericEx(true));
  EXPECT_TRUE(VarIsNumericEx(Variant(StrToBcd("1.5"))));
  EXPECT_FALSE(VarIsNumericEx("1"));
  EXPECT_TRUE(VarTypeIsCurrency(varCurrency));
  EXPECT_TRUE(VarTypeIsCurrency(varFMTBcd));

  Variant range;
  VarBetweenArrayCreate(range, 1, 10);
  EXPECT_EQ(VarArrayHighBound(range, 1), 1);
  EXPECT_EQ(range[1].AsInteger(), 10);
  Variant list;
  VarListArrayCreate(list, "a");
  VarListArrayAddValue(list, "b");
  ASSERT_EQ(VarArrayHighBound(list, 1), 1);
  EXPECT_EQ(list[0].AsString(), "a");
  EXPECT_EQ(list[1].AsString(), "b");
}

TEST(TypedStream, FixedWidthForms) {
  TMemoryStream ms;
  WriteBooleanProc(&ms, true);
  WriteSmallIntProc(&ms, SmallInt(-2));
  WriteCardinalProc(&ms, Cardinal(0xFFFFFFFE));
  WriteFloatProc(&ms, 1.0);
  WriteFloatProc(&ms, 1.5);
  WriteCurrencyProc(&ms, Currency::FromRaw(10000));
  WriteStringProc(&ms, "ab");
  WriteWideStringProc(&ms, u"A");
  EXPECT_EQ(ToHex(StreamBytes(ms)),
            "01 FE FF FE FF FF FF 00 00 00 00 00 00 00 80 FF 3F 00 00 00 00 00 00 00 C0 FF 3F "
            "10 27 00 00 00 00 00 00 02 00 00 00 61 62 01 00 00 00 41 00");
  ms.SetPosition(0);
  TcxReader r(&ms);
  EXPECT_TRUE(r.ReadBoolean());
  EXPECT_EQ(r.ReadSmallInt(), -2);
  EXPECT_EQ(r.ReadInteger(), -2);  // Cardinal and Integer share their bytes
  EXPECT_EQ(r.ReadFloat(), 1.0);
  EXPECT_EQ(r.ReadFloat(), 1.5);
  EXPECT_EQ(r.ReadCurrency().Value, 10000);
  EXPECT_EQ(r.ReadString(), "ab");
  EXPECT_EQ(r.ReadWideString(), u"A");
  EXPECT_THROW(r.ReadByte(), EReadError);
}

TEST(TypedStream, DoublesSurviveTheExtendedFormBitForBit) {
  const double samples[] = {0.0, -0.0, 1.0, -1.5, 1e308, std::numeric_limits<double>::denorm_min(),
                            2.2250738585072009e-308, std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(), 0.1};
  for (double d : samples) {
    TMemoryStream ms;
    WriteFloatProc(&ms, d);
    ASSERT_EQ(ms.GetSize(), 10);
    ms.SetPosition(0);
    double back = ReadFloatFunc(&ms);
    EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0) << d;
  }
  TMemoryStream ms;
  WriteFloatProc(&ms, std::numeric_limits<double>::quiet_NaN());
  ms.SetPosition(0);
  EXPECT_TRUE(std::isnan(ReadFloatFunc(&ms)));
}

TEST(TaggedVariant, ByteExactSamples) {
  Variant list = VarArrayOf({1, "x"});
  struct Case {
    Variant value;
    const char* bytes;
  } cases[] = {
      {Null(), "00"},
      {Variant(), "0D"},
      {true, "09"},
      {false, "08"},
      {5, "02 05"},
      {-1, "02 FF"},
      {127, "02 7F"},
      {-128, "02 80"},
      {128, "03 80 00"},
      {-129, "03 7F FF"},
      {32767, "03 FF 7F"},
      {32768, "04 00 80 00 00"},
      {Int64(2147483647), "04 FF FF FF 7F"},
      {Int64(2147483648LL), "13 00 00 00 80 00 00 00 00"},
      {1.5f, "0F 00 00 C0 3F"},
      {1.5, "05 00 00 00 00 00 00 00 C0 FF 3F"},
      {Currency::FromRaw(10000), "10 10 27 00 00 00 00 00 00"},
      {TDateTime(1.5), "11 00 00 00 00 00 00 F8 3F"},
      {WideString(u"A"), "12 01 00 00 00 41 00"},
      {"ab", "06 02 61 62"},
      {"", "06 00"},
      {list, "01 02 02 02 01 06 01 78"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToHex(Written(c.value)), ToHex(Hex(c.bytes))) << c.bytes;
}

TEST(TaggedVariant, ReadsBackWithTheKindsOfTheTable) {
  EXPECT_EQ(VarType(ReadBack(Hex("02 05"))), varShortInt);
  EXPECT_EQ(VarType(ReadBack(Hex("03 80 00"))), varSmallint);
  EXPECT_EQ(VarType(ReadBack(Hex("04 00 80 00 00"))), varInteger);
  EXPECT_EQ(VarType(ReadBack(Hex("13 00 00 00 80 00 00 00 00"))), varInt64);
  EXPECT_EQ(VarType(ReadBack(Written(1.5))), varDouble);
  EXPECT_EQ(VarType(ReadBack(Written(1.5f))), varSingle);
  EXPECT_EQ(VarType(ReadBack(Hex("0D"))), varEmpty);
  EXPECT_EQ(VarType(ReadBack(Hex("00"))), varNull);
  EXPECT_EQ(VarType(ReadBack(Written(TSQLTimeStamp{2023, 3, 15, 12, 0, 0, 0}))), varDate);
  EXPECT_EQ(ReadBack(Written(Variant(StrToBcd("12.50")))).AsString(), "12.5");
}

TEST(TaggedVariant, StringLengthSwitchesAt256) {
  AnsiString s255(255, 'x'), s256(256, 'y');
  auto w255 = Written(s255), w256 = Written(s256);
  EXPECT_EQ(w255[0], 6);
  EXPECT_EQ(w255.size(), 257u);
  EXPECT_EQ(w256[0], 12);
  EXPECT_EQ(w256.size(), 261u);
  EXPECT_EQ(ReadBack(w256).AsString(), s256);
}

TEST(TaggedVariant, ArraysLoseTheirLowBoundAndNestedListsStayNested) {
  Variant a = VarArrayCreate({5, 7}, varVariant);
  VarArrayPut(a, 1, {5});
  VarArrayPut(a, "b", {6});
  VarArrayPut(a, VarArrayOf({2, 3}), {7});
  auto bytes = Written(a);
  EXPECT_EQ(ToHex({bytes.begin(), bytes.begin() + 3}), "01 02 03");
  Variant back = ReadBack(bytes);
  EXPECT_EQ(VarArrayLowBound(back, 1), 0);
  EXPECT_EQ(VarArrayHighBound(back, 1), 2);
  EXPECT_TRUE(VarIsArray(back[2]));
  EXPECT_EQ(back[2][1].AsInteger(), 3);
  EXPECT_EQ(VarCompare(back, VarArrayOf({1, "b", VarArrayOf({2, 3})})), 0);
}

TEST(TaggedVariant, RefusedWrites) {
  TMemoryStream ms;
  EXPECT_THROW(WriteVariantProc(&ms, VarArrayCreate({0, 1, 0, 1}, varVariant)), EWriteError);
  try {
    WriteVariantProc(&ms, VarArrayCreate({0, 1, 0, 1}, varVariant));
  } catch (const EWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
}

TEST(TaggedVariant, BadStreamsRaiseTheReadErrorAndLeaveTheTargetAlone) {
  const char* bad[] = {
      "07", "0A", "0B", "0E", "14", "FF",           // unknown tags
      "0C FF FF FF FF",                             // negative length
      "0C 00 00 00 40 61",                          // length beyond the stream
      "12 00 00 00 20 41 00",                       // wide length beyond the stream
      "01 13 00 00 00 00 00 01 00 00 02 05",        // a count of 2^40
      "01 02 FF",                                   // negative count
      "01 02 03 02 01",                             // the list ends early
      "06 05 61 62",                                // short string ends early
      "05 00 00",                                   // extended ends early
  };
  for (const char* hex : bad) {
    ByteStream s{std::string(hex)};
    Variant v = "kept";
    EXPECT_THROW(ReadVariantProc(&s, v), EReadError) << hex;
    EXPECT_EQ(v.AsString(), "kept") << hex;
  }
  // Deep nesting is refused instead of exhausting the stack.
  std::vector<Byte> deep;
  for (int i = 0; i < 100000; ++i) {
    deep.push_back(1);
    deep.push_back(2);
    deep.push_back(1);
  }
  deep.push_back(0);
  ByteStream s(deep);
  Variant v = 1;
  EXPECT_THROW(ReadVariantProc(&s, v), EReadError);
  EXPECT_EQ(v.AsInteger(), 1);
}

TEST(TaggedVariant, StringLengthsAreCheckedBeforeAllocating) {
  ByteStream s{std::string("FF FF FF 7F")};
  AnsiString target = "kept";
  try {
    ReadStringProc(&s, target);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_EQ(target, "kept");
}

TEST(TaggedVariant, NestedListsCannotClaimTheSameBytesTwice) {
  // Lists inside lists, each counting the whole rest of the stream: the
  // second is refused as soon as its count is read, since its list's other
  // element needs a byte behind it, instead of each level making an array
  // the size of the stream.
  std::vector<Byte> nested;
  for (int level = 0; level < 60; ++level) {
    const Byte header[] = {1, 4, 0x00, 0x00, 0x01, 0x00};  // a list of 65,536
    nested.insert(nested.end(), std::begin(header), std::end(header));
  }
  nested.resize(nested.size() + 65536, 0);
  ByteStream s(nested);
  Variant v = 1;
  EXPECT_THROW(ReadVariantProc(&s, v), EReadError);
  EXPECT_EQ(s.GetPosition(), 12) << "refused at the second count";
  EXPECT_EQ(v.AsInteger(), 1);

  // Elements that fill the stream exactly still read: [[Null], Null].
  ByteStream exact{std::string("01 02 02 01 02 01 00 00")};
  const Variant read = ReadVariantFunc(&exact);
  ASSERT_TRUE(read.IsArray());
  EXPECT_TRUE(read[0].IsArray());
  EXPECT_TRUE(VarIsNull(read[0][0]));
  EXPECT_TRUE(VarIsNull(read[1]));
}
