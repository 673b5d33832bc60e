#include "platform/rtl/Extended80.h"

#include <bit>
#include <cstdint>

namespace {

constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kFraction52 = (std::uint64_t{1} << 52) - 1;
constexpr int kBias80 = 16383;
constexpr int kBias64 = 1023;

TExtended80Bytes Pack(bool negative, int exponent, std::uint64_t mantissa) {
  TExtended80Bytes out{};
  for (int i = 0; i < 8; ++i) out[i] = static_cast<Byte>(mantissa >> (8 * i));
  unsigned top = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
  out[8] = static_cast<Byte>(top);
  out[9] = static_cast<Byte>(top >> 8);
  return out;
}

double FromBits(bool negative, std::uint64_t bits) {
  return std::bit_cast<double>(bits | (negative ? kIntegerBit : 0));
}

// m / 2^shift rounded to the nearest integer, halves to even (shift >= 1).
std::uint64_t ShiftRoundHalfEven(std::uint64_t m, int shift) {
  if (shift > 64) return 0;  // m < 2^64 <= 2^(shift-1): always under half a unit
  unsigned __int128 wide = m;
  unsigned __int128 q = wide >> shift;
  unsigned __int128 rest = wide - (q << shift);
  unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return static_cast<std::uint64_t>(q);
}

}  // namespace

TExtended80Bytes DoubleToExtended80(double v) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  bool negative = (bits >> 63) != 0;
  int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t fraction = bits & kFraction52;

  if (exponent == 0x7FF)  // infinity (fraction 0) or NaN, payload kept
    return Pack(negative, 0x7FFF, kIntegerBit | (fraction << 11));
  if (exponent == 0) {
    if (fraction == 0) return Pack(negative, 0, 0);
    // Subnormal double: fraction * 2^-1074, normal in the wider format.
    int lead = std::countl_zero(fraction);
    std::uint64_t mantissa = fraction << lead;
    return Pack(negative, -1074 - lead + 63 + kBias80, mantissa);
  }
  return Pack(negative, exponent - kBias64 + kBias80, kIntegerBit | (fraction << 11));
}

double Extended80ToDouble(const Byte* bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = mantissa << 8 | bytes[i];
  unsigned top = static_cast<unsigned>(bytes[8]) | static_cast<unsigned>(bytes[9]) << 8;
  bool negative = (top & 0x8000u) != 0;
  int field = static_cast<int>(top & 0x7FFFu);

  if (field == 0x7FFF) {
    std::uint64_t payload = mantissa & ~kIntegerBit;
    if (payload == 0) return FromBits(negative, std::uint64_t{0x7FF} << 52);
    std::uint64_t fraction = payload >> 11;
    // A payload only in the bits a double cannot hold still names a NaN:
    // keep it one by setting the quiet bit.
    if (fraction == 0) fraction = std::uint64_t{1} << 51;
    return FromBits(negative, std::uint64_t{0x7FF} << 52 | fraction);
  }
  if (mantissa == 0) return FromBits(negative, 0);

  // value = mantissa * 2^(e - 63); the explicit integer bit may be clear
  // (denormals and the unnormals older encoders wrote), so normalise.
  int e = (field == 0 ? 1 : field) - kBias80;
  int lead = std::countl_zero(mantissa);
  mantissa <<= lead;
  e -= lead;

  if (e >= -1022) {
    std::uint64_t m53 = ShiftRoundHalfEven(mantissa, 11);
    if (m53 >> 53) {  // rounding carried into a new bit
      m53 >>= 1;
      ++e;
    }
    if (e > 1023) return FromBits(negative, std::uint64_t{0x7FF} << 52);
    return FromBits(negative, static_cast<std::uint64_t>(e + kBias64) << 52 | (m53 & kFraction52));
  }
  // Subnormal result: units of 2^-1074. A carry into bit 52 lands exactly
  // on the smallest normal, which the same bit pattern encodes.
  int shift = 11 + (-1022 - e);
  return FromBits(negative, ShiftRoundHalfEven(mantissa, shift));
}
