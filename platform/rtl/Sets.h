// Small bit sets over an enumeration or a character range: the value of a
// set-typed property, option sets, and sets of characters.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

template <class E, std::size_t N = 64>
class Set {
  static constexpr std::size_t Words = (N + 63) / 64;
  std::array<std::uint64_t, Words> FBits{};

  static constexpr std::size_t Index(E e) {
    if constexpr (sizeof(E) == 1)
      return static_cast<unsigned char>(e);
    else
      return static_cast<std::size_t>(e);
  }

 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }

  static constexpr std::size_t Capacity = N;

  constexpr void Include(E e) {
    std::size_t i = Index(e);
    if (i < N) FBits[i / 64] |= std::uint64_t(1) << (i % 64);
  }
  constexpr void Exclude(E e) {
    std::size_t i = Index(e);
    if (i < N) FBits[i / 64] &= ~(std::uint64_t(1) << (i % 64));
  }
  constexpr bool Contains(E e) const {
    std::size_t i = Index(e);
    return i < N && (FBits[i / 64] >> (i % 64)) & 1;
  }
  constexpr bool Empty() const {
    for (auto w : FBits)
      if (w) return false;
    return true;
  }
  constexpr std::size_t Count() const {
    std::size_t n = 0;
    for (auto w : FBits) n += std::popcount(w);
    return n;
  }
  constexpr void Clear() { FBits = {}; }

  constexpr Set& operator+=(const Set& o) {
    for (std::size_t i = 0; i < Words; ++i) FBits[i] |= o.FBits[i];
    return *this;
  }
  constexpr Set& operator*=(const Set& o) {
    for (std::size_t i = 0; i < Words; ++i) FBits[i] &= o.FBits[i];
    return *this;
  }
  constexpr Set& operator-=(const Set& o) {
    for (std::size_t i = 0; i < Words; ++i) FBits[i] &= ~o.FBits[i];
    return *this;
  }
  constexpr Set& operator+=(E e) { Include(e); return *this; }
  constexpr Set& operator-=(E e) { Exclude(e); return *this; }

  friend constexpr Set operator+(Set a, const Set& b) { return a += b; }
  friend constexpr Set operator*(Set a, const Set& b) { return a *= b; }
  friend constexpr Set operator-(Set a, const Set& b) { return a -= b; }
  friend constexpr Set operator+(Set a, E e) { return a += e; }
  friend constexpr Set operator-(Set a, E e) { return a -= e; }
  constexpr bool operator==(const Set&) const = default;

  // True when every member of this set is in o.
  constexpr bool SubsetOf(const Set& o) const {
    for (std::size_t i = 0; i < Words; ++i)
      if (FBits[i] & ~o.FBits[i]) return false;
    return true;
  }

  // The first 64 members as bits, for type information and streams.
  constexpr std::uint64_t ToBits() const { return FBits[0]; }
  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    if constexpr (N >= 64)
      s.FBits[0] = bits;
    else
      s.FBits[0] = bits & ((std::uint64_t(1) << N) - 1);
    return s;
  }
};

// `set of Char`.
using TSysCharSet = Set<char, 256>;

// The characters first..last inclusive; combine ranges with +.
constexpr TSysCharSet CharRange(char first, char last) {
  TSysCharSet s;
  for (unsigned c = static_cast<unsigned char>(first); c <= static_cast<unsigned char>(last); ++c)
    s.Include(static_cast<char>(c));
  return s;
}
