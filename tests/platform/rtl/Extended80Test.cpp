#include <bit>
#include <cmath>
#include <limits>

#include "platform/rtl/Extended80.h"

namespace {

// Bytes as they appear in a stream: mantissa low byte first, then the
// sign-and-exponent word, low byte first.
TExtended80Bytes Bytes(std::uint64_t mantissa, unsigned signExp) {
  TExtended80Bytes b{};
  for (int i = 0; i < 8; ++i) b[i] = static_cast<Byte>(mantissa >> (8 * i));
  b[8] = static_cast<Byte>(signExp);
  b[9] = static_cast<Byte>(signExp >> 8);
  return b;
}

std::uint64_t Bits(double d) { return std::bit_cast<std::uint64_t>(d); }

struct Pattern {
  const char* name;
  double value;
  std::uint64_t mantissa;
  unsigned signExp;
};

// Hand-worked encodings: 1.0 is 2^0 with only the integer bit; 0.1 carries
// the double's 52 fraction bits shifted up by 11.
const Pattern kPatterns[] = {
    {"one", 1.0, 0x8000000000000000ull, 0x3FFF},
    {"minus two", -2.0, 0x8000000000000000ull, 0xC000},
    {"ten", 10.0, 0xA000000000000000ull, 0x4002},
    {"one tenth", 0.1, 0xCCCCCCCCCCCCD000ull, 0x3FFB},
    {"zero", 0.0, 0, 0x0000},
    {"negative zero", -0.0, 0, 0x8000},
    {"infinity", std::numeric_limits<double>::infinity(), 0x8000000000000000ull, 0x7FFF},
    {"minus infinity", -std::numeric_limits<double>::infinity(), 0x8000000000000000ull, 0xFFFF},
    {"largest double", std::numeric_limits<double>::max(), 0xFFFFFFFFFFFFF800ull, 0x43FE},
    {"smallest normal", std::numeric_limits<double>::min(), 0x8000000000000000ull, 0x3C01},
    // 2^-1074: the lone fraction bit becomes the integer bit, 52 places lower.
    {"smallest subnormal", std::numeric_limits<double>::denorm_min(), 0x8000000000000000ull, 0x3BCD},
    {"largest subnormal", std::bit_cast<double>(0x000FFFFFFFFFFFFFull), 0xFFFFFFFFFFFFF000ull, 0x3C00},
};

}  // namespace

TEST(Extended80, EncodesHandWorkedPatternsAndReadsThemBack) {
  for (const Pattern& p : kPatterns) {
    SCOPED_TRACE(p.name);
    TExtended80Bytes expected = Bytes(p.mantissa, p.signExp);
    EXPECT_EQ(DoubleToExtended80(p.value), expected);
    EXPECT_EQ(Bits(Extended80ToDouble(expected)), Bits(p.value));
  }
}

TEST(Extended80, NaNKeepsItsPayloadBothWays) {
  double quiet = std::bit_cast<double>(0x7FF8000000000123ull);
  TExtended80Bytes b = DoubleToExtended80(quiet);
  EXPECT_EQ(b, Bytes(0xC000000000091800ull, 0x7FFF));
  EXPECT_EQ(Bits(Extended80ToDouble(b)), 0x7FF8000000000123ull);

  // A payload only in the low bits a double cannot hold must not turn the
  // NaN into an infinity.
  double low = Extended80ToDouble(Bytes(0x8000000000000001ull, 0xFFFF));
  EXPECT_TRUE(std::isnan(low));
  EXPECT_TRUE(std::signbit(low));
}

TEST(Extended80, NarrowingRoundsHalvesToEven) {
  // 1 + 2^-53 is exactly halfway between 1 and the next double: even is 1.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000400ull, 0x3FFF)), 1.0);
  // 1 + 3 * 2^-53 is halfway between 1 + 2^-52 and 1 + 2^-51: even is the latter.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000C00ull, 0x3FFF)), 1.0 + std::ldexp(1.0, -51));
  // Just above the halfway point rounds up.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000401ull, 0x3FFF)), 1.0 + std::ldexp(1.0, -52));
  // All ones round up into the next power of two.
  EXPECT_EQ(Extended80ToDouble(Bytes(0xFFFFFFFFFFFFFFFFull, 0x3FFF)), 2.0);
}

TEST(Extended80, NarrowingAtTheEdgesOfTheDoubleRange) {
  // Beyond the largest double: infinity, with its sign.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000000ull, 0x4400)), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Extended80ToDouble(Bytes(0xFFFFFFFFFFFFFFFFull, 0x43FE)), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000000ull, 0xC400)), -std::numeric_limits<double>::infinity());
  // 2^-1075 is half the smallest subnormal: ties to even, which is zero.
  double half = Extended80ToDouble(Bytes(0x8000000000000000ull, 0x3BCC));
  EXPECT_EQ(Bits(half), 0u);
  // A little more than half rounds up to the smallest subnormal.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x8000000000000001ull, 0x3BCC)), std::numeric_limits<double>::denorm_min());
  // 1.5 * 2^-1074 ties to 2 * 2^-1074.
  EXPECT_EQ(Bits(Extended80ToDouble(Bytes(0xC000000000000000ull, 0x3BCD))), 2u);
  // Far below: a zero that keeps the sign.
  double tiny = Extended80ToDouble(Bytes(0x8000000000000000ull, 0x8001));
  EXPECT_EQ(tiny, 0.0);
  EXPECT_TRUE(std::signbit(tiny));
  // The largest subnormal plus rounding crosses into the smallest normal.
  EXPECT_EQ(Extended80ToDouble(Bytes(0xFFFFFFFFFFFFF800ull, 0x3C00)), std::numeric_limits<double>::min());
}

TEST(Extended80, UnnormalsAndExtendedDenormalsReadByTheirValue) {
  // Integer bit clear with a normal exponent: 0.5 * 2^1 = 1.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x4000000000000000ull, 0x4000)), 1.0);
  // The extended format's own denormals are far below any double.
  EXPECT_EQ(Extended80ToDouble(Bytes(0x4000000000000000ull, 0x0000)), 0.0);
}

TEST(Extended80, EveryDoubleSurvivesTheRoundTrip) {
  std::uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    double d = std::bit_cast<double>(seed);
    if (std::isnan(d)) continue;
    ASSERT_EQ(Bits(Extended80ToDouble(DoubleToExtended80(d))), seed) << std::hex << seed;
  }
}
