// Scalar and string types of the run-time library.
//
// Text is 8-bit (code page 1252) in AnsiString and UTF-16 in WideString.
// Currency and TDateTime are distinct types so that variants, streams and
// editors can tell them apart from Int64 and Double.
#pragma once

#include <cstdint>
#include <string>

using AnsiString = std::string;
using WideString = std::u16string;
using AnsiChar = char;
using WideChar = char16_t;

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using SmallInt = std::int16_t;
using Word = std::uint16_t;
using ShortInt = std::int8_t;
using Byte = std::uint8_t;
using LongWord = std::uint32_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using Single = float;
using Double = double;
// Arithmetic is done in double; the 80-bit form exists only in streams.
using Extended = double;

// Fixed-point money: the value times 10,000.
struct Currency {
  Int64 Value = 0;  // scaled by 10,000

  static constexpr Int64 Scale = 10000;
  static constexpr Currency FromRaw(Int64 raw) { return Currency{raw}; }
  constexpr bool operator==(const Currency&) const = default;
  constexpr auto operator<=>(const Currency&) const = default;
};

// Days since 1899-12-30; the fraction is the time of day.
struct TDateTime {
  double Value = 0.0;

  constexpr TDateTime() = default;
  constexpr TDateTime(double v) : Value(v) {}
  constexpr operator double() const { return Value; }
};
using TDate = TDateTime;
using TTime = TDateTime;

// Colours: 0x00BBGGRR; system colours are 0xFF000000 + index.
using TColor = Integer;
using COLORREF = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The Integer nearest to a 64-bit value: the value itself, or the end of
// the range it lies beyond.
constexpr Integer ClampToInteger(Int64 value) {
  return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : static_cast<Integer>(value);
}

// The geometry records have constructors as well as members so that
// TPoint(X, Y) reads the same under every compiler (parenthesised
// aggregate initialisation is recent).
struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(Integer AX, Integer AY) : X(AX), Y(AY) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  constexpr TSize() = default;
  constexpr TSize(Integer ACx, Integer ACy) : cx(ACx), cy(ACy) {}
  constexpr bool operator==(const TSize&) const = default;
};

// Half-open: Right and Bottom are outside the rectangle.
struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}

  // A rectangle spanning more than the whole range of Integer is as wide
  // as an Integer reaches, not wrapped round to a negative width.
  constexpr Integer Width() const { return ClampToInteger(Int64{Right} - Left); }
  constexpr Integer Height() const { return ClampToInteger(Int64{Bottom} - Top); }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(Integer x, Integer y) { return {x, y}; }
constexpr TRect Rect(Integer l, Integer t, Integer r, Integer b) { return {l, t, r, b}; }
// The far edges stop at the end of the range rather than wrapping round.
constexpr TRect Bounds(Integer l, Integer t, Integer w, Integer h) {
  return {l, t, ClampToInteger(Int64{l} + w), ClampToInteger(Int64{t} + h)};
}
