// The shared payloads behind Variant: text, decimals, time stamps and
// arrays. Private to the variant's own source files.
#pragma once

#include <atomic>
#include <string_view>
#include <vector>

#include "platform/rtl/Variant.h"

namespace orv::variant_detail {

struct Box {
  std::atomic<int> Refs{1};
  virtual ~Box() = default;
};

template <class T>
struct ValueBox final : Box {
  T Value;
  explicit ValueBox(T v) : Value(std::move(v)) {}
};

struct ArrayBound {
  Integer Low = 0;
  Integer Count = 0;
};

struct ArrayData final : Box {
  Word ElementType = varVariant;
  std::vector<ArrayBound> Bounds;  // one per dimension, first dimension first
  std::vector<Variant> Elements;   // the last index varies fastest

  // The flat position of an index tuple; EVariantBadIndexError when the
  // tuple has the wrong length or an index lies outside its bounds.
  size_t Offset(const Integer* indices, size_t count) const;
};

template <class T>
const T& Unbox(const Box* b) {
  return static_cast<const ValueBox<T>*>(b)->Value;
}

// Integer text: blanks around, a sign, decimal digits or "$"/"0x" hex,
// in the full Int64 range.
bool ParseIntegerText(std::string_view s, Int64& out);

}  // namespace orv::variant_detail

// The array behind an array variant (EVariantInvalidOpError otherwise).
const orv::variant_detail::ArrayData& VarArrayData(const Variant& v);
