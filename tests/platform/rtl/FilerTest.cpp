#include "platform/rtl/Filer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// The bytes a writer produces through f.
template <class F>
std::vector<Byte> Written(F f) {
  TMemoryStream ms;
  {
    TWriter w(&ms);
    f(w);
  }
  const Byte* p = static_cast<const Byte*>(ms.GetMemory());
  return std::vector<Byte>(p, p + ms.GetSize());
}

struct Bytes {
  TMemoryStream Stream;
  explicit Bytes(const std::vector<Byte>& b) {
    Stream.WriteBuffer(b.data(), static_cast<Int64>(b.size()));
    Stream.SetPosition(0);
  }
};

using B = std::vector<Byte>;

}  // namespace

TEST(FilerPrimitives, IntegersTakeTheSmallestTag) {
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(0); }), (B{vaInt8, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(-128); }), (B{vaInt8, 0x80}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(128); }), (B{vaInt16, 0x80, 0x00}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(-32769); }), (B{vaInt32, 0xFF, 0x7F, 0xFF, 0xFF}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(Int64(1) << 31); }),
            (B{vaInt64, 0, 0, 0, 0x80, 0, 0, 0, 0}));

  // Each reads back as written; ReadInteger refuses what does not fit 32 bits.
  for (Int64 v : {Int64(0), Int64(-1), Int64(300), Int64(-70000), Int64(INT32_MIN), Int64(1) << 40}) {
    Bytes b(Written([v](TWriter& w) { w.WriteInteger(v); }));
    TReader r(&b.Stream);
    EXPECT_EQ(r.ReadInt64(), v);
  }
  Bytes big(Written([](TWriter& w) { w.WriteInteger(Int64(1) << 40); }));
  TReader r(&big.Stream);
  EXPECT_THROW(r.ReadInteger(), EReadError);
}

TEST(FilerPrimitives, StringsIdentsAndSets) {
  EXPECT_EQ(Written([](TWriter& w) { w.WriteString("ab"); }), (B{vaString, 2, 'a', 'b'}));
  B longString = Written([](TWriter& w) { w.WriteString(AnsiString(256, 'x')); });
  EXPECT_EQ(B(longString.begin(), longString.begin() + 5), (B{vaLString, 0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(longString.size(), 5u + 256u);
  EXPECT_EQ(Written([](TWriter& w) { w.WriteWideString(u"\u20AC"); }), (B{vaWString, 1, 0, 0, 0, 0xAC, 0x20}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteIdent("clRed"); }), (B{vaIdent, 5, 'c', 'l', 'R', 'e', 'd'}));
  EXPECT_EQ(Written([](TWriter& w) {
              w.WriteIdent("true");
              w.WriteIdent("FALSE");
              w.WriteIdent("nil");
            }),
            (B{vaTrue, vaFalse, vaNil}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteSet({"a", "bc"}); }), (B{vaSet, 1, 'a', 2, 'b', 'c', 0}));

  // Reading converts between the string kinds: the euro sign is byte 0x80
  // in the 8-bit form.
  Bytes b(Written([](TWriter& w) {
    w.WriteWideString(u"\u20AC1");
    w.WriteString("\x80");
    w.WriteUTF8String("\xC3\xA9");
    w.WriteIdent("True");
  }));
  TReader r(&b.Stream);
  EXPECT_EQ(r.ReadString(), "\x80" "1");
  EXPECT_EQ(r.ReadWideString(), u"\u20AC");
  EXPECT_EQ(r.ReadString(), "\xE9");
  EXPECT_EQ(r.ReadIdent(), "True");
}

TEST(FilerPrimitives, ExtendedIsTheTenByteForm) {
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(1.5); }),
            (B{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(-0.0); }), (B{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(1.0); }),
            (B{vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));

  const double values[] = {0.0, -0.0, 1.5, -2.25, 0.1, 1e300, -1e-300, std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min(), 4.9e-310,
                           std::numeric_limits<double>::infinity()};
  for (double v : values) {
    Bytes b(Written([v](TWriter& w) { w.WriteFloat(v); }));
    TReader r(&b.Stream);
    double back = r.ReadFloat();
    EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;  // bit for bit, sign of zero included
  }
}

TEST(FilerPrimitives, OtherNumberKinds) {
  EXPECT_EQ(Written([](TWriter& w) { w.WriteSingle(1.5f); }), (B{vaSingle, 0, 0, 0xC0, 0x3F}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteCurrency(Currency::FromRaw(12345)); }),
            (B{vaCurrency, 0x39, 0x30, 0, 0, 0, 0, 0, 0}));
  Bytes b(Written([](TWriter& w) {
    w.WriteCurrency(Currency::FromRaw(-15000));
    w.WriteDate(TDateTime(45000.25));
    w.WriteInteger(7);
    w.WriteFloat(2.5);
  }));
  TReader r(&b.Stream);
  EXPECT_EQ(r.ReadCurrency().Value, -15000);
  EXPECT_EQ(r.ReadDate().Value, 45000.25);
  EXPECT_EQ(r.ReadFloat(), 7.0);  // an integer is a valid float
  EXPECT_EQ(r.ReadCurrency().Value, 25000);
}

TEST(FilerPrimitives, PrefixAndSignature) {
  EXPECT_EQ(Written([](TWriter& w) { w.WritePrefix({}, 0); }), B{});
  EXPECT_EQ(Written([](TWriter& w) { w.WritePrefix({ffInherited, ffChildPos}, 3); }), (B{0xF3, vaInt8, 3}));
  Bytes b(Written([](TWriter& w) {
    w.WriteSignature();
    w.WritePrefix({ffInline, ffChildPos}, 300);
    w.WriteStr("TFoo");
  }));
  TReader r(&b.Stream);
  r.ReadSignature();
  TFilerFlags flags;
  Integer pos;
  r.ReadPrefix(flags, pos);
  EXPECT_EQ(flags, (TFilerFlags{ffInline, ffChildPos}));
  EXPECT_EQ(pos, 300);
  EXPECT_EQ(r.ReadStr(), "TFoo");

  Bytes bad(B{'T', 'P', 'F', '1'});
  TReader r2(&bad.Stream);
  EXPECT_THROW(r2.ReadSignature(), EReadError);
}

TEST(FilerPrimitives, SkipValueWalksNestedValues) {
  Bytes b(Written([](TWriter& w) {
    w.WriteListBegin();
    w.WriteString("a");
    w.WriteListBegin();
    w.WriteFloat(1);
    w.WriteSet({"x"});
    w.WriteListEnd();
    w.WriteBinary("\1\2\3", 3);
    w.WriteListEnd();
    w.WriteValue(vaCollection);
    w.WriteInteger(4);  // an item's position
    w.WriteListBegin();
    w.WriteStr("Caption");
    w.WriteWideString(u"z");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(99);
  }));
  TReader r(&b.Stream);
  r.SkipValue();
  r.SkipValue();
  EXPECT_EQ(r.ReadInteger(), 99);
}

TEST(FilerPrimitives, DamagedInputIsAReadErrorNeverACrash) {
  // A length far beyond the stream is refused before anything is allocated.
  for (B bytes : {B{vaLString, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, B{vaLString, 0xFF, 0xFF, 0xFF, 0xFF},
                  B{vaWString, 0xFF, 0xFF, 0xFF, 0x3F}, B{vaBinary, 0, 0, 0, 0x40}, B{vaString, 200, 'a'},
                  B{vaUTF8String, 0x10, 0, 0, 0}}) {
    Bytes b(bytes);
    TReader r(&b.Stream);
    EXPECT_THROW(r.ReadString(), EReadError);
    b.Stream.SetPosition(0);
    EXPECT_THROW(r.SkipValue(), EReadError);
  }
  // Every truncation of a value.
  B full = Written([](TWriter& w) {
    w.WriteListBegin();
    w.WriteInteger(100000);
    w.WriteFloat(3.25);
    w.WriteString("text");
    w.WriteListEnd();
  });
  for (std::size_t n = 0; n < full.size(); ++n) {
    Bytes b(B(full.begin(), full.begin() + n));
    TReader r(&b.Stream);
    EXPECT_THROW(r.SkipValue(), EReadError) << n;
  }
  // An unknown tag, and lists nested deeper than any layout goes.
  Bytes unknown(B{99});
  TReader r(&unknown.Stream);
  EXPECT_THROW(r.SkipValue(), EReadError);
  Bytes deep(B(100000, vaList));
  TReader rd(&deep.Stream);
  EXPECT_THROW(rd.SkipValue(), EReadError);
}
