// Variant arrays: any number of dimensions, each with its own low bound,
// shared between copies until one of them is written to.
#include "platform/rtl/Variant.h"
#include "platform/rtl/VariantBoxes.h"

using orv::variant_detail::ArrayBound;
using orv::variant_detail::ArrayData;

namespace {

// Far more than any list a user builds; it keeps a bad bound from asking
// for all of memory.
constexpr size_t kMaxElements = size_t{1} << 28;

[[noreturn]] void NotAnArray() { throw EVariantInvalidOpError("Variant is not an array"); }
[[noreturn]] void BadIndex() { throw EVariantBadIndexError("Variant array index out of bounds"); }

}  // namespace

size_t ArrayData::Offset(const Integer* indices, size_t count) const {
  if (count != Bounds.size()) BadIndex();
  size_t offset = 0;
  for (size_t d = 0; d < count; ++d) {
    Int64 rel = static_cast<Int64>(indices[d]) - Bounds[d].Low;
    if (rel < 0 || rel >= Bounds[d].Count) BadIndex();
    offset = offset * static_cast<size_t>(Bounds[d].Count) + static_cast<size_t>(rel);
  }
  return offset;
}

const ArrayData& VarArrayData(const Variant& v) {
  if (!v.IsArray()) NotAnArray();
  return *static_cast<const ArrayData*>(v.BoxPtr());
}

Variant VarArrayCreate(std::initializer_list<Integer> bounds, Word elementType) {
  if (bounds.size() < 2 || bounds.size() % 2 != 0 || (elementType & varArray) ||
      !VarTypeIsValid(elementType | varArray))
    throw EVariantInvalidOpError("Error creating variant array");
  auto* data = new ArrayData;
  data->ElementType = elementType;
  size_t total = 1;
  try {
    for (auto it = bounds.begin(); it != bounds.end(); it += 2) {
      Int64 count = static_cast<Int64>(it[1]) - it[0] + 1;
      if (count < 0 || (count > 0 && total > kMaxElements / static_cast<size_t>(count)))
        throw EVariantInvalidOpError("Error creating variant array");
      data->Bounds.push_back(ArrayBound{it[0], static_cast<Integer>(count)});
      total *= static_cast<size_t>(count);
    }
    // Typed arrays start at their kind's zero, variant arrays at Empty.
    Variant zero = elementType == varVariant ? Variant() : VarAsType(Variant(), elementType);
    data->Elements.assign(total, zero);
  } catch (...) {
    delete data;
    throw;
  }
  Variant v;
  v.SetBox(varArray | elementType, data);
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  Variant v = VarArrayCreate({0, static_cast<Integer>(values.size()) - 1}, varVariant);
  auto* data = static_cast<ArrayData*>(const_cast<ArrayData*>(&VarArrayData(v)));
  std::copy(values.begin(), values.end(), data->Elements.begin());
  return v;
}

Integer VarArrayDimCount(const Variant& v) {
  return v.IsArray() ? static_cast<Integer>(VarArrayData(v).Bounds.size()) : 0;
}

Integer VarArrayLowBound(const Variant& v, Integer dim) {
  const ArrayData& data = VarArrayData(v);
  if (dim < 1 || dim > static_cast<Integer>(data.Bounds.size())) BadIndex();
  return data.Bounds[dim - 1].Low;
}

Integer VarArrayHighBound(const Variant& v, Integer dim) {
  const ArrayData& data = VarArrayData(v);
  if (dim < 1 || dim > static_cast<Integer>(data.Bounds.size())) BadIndex();
  const ArrayBound& b = data.Bounds[dim - 1];
  return static_cast<Integer>(static_cast<Int64>(b.Low) + b.Count - 1);
}

Variant VarArrayGet(const Variant& array, std::initializer_list<Integer> indices) {
  const ArrayData& data = VarArrayData(array);
  return data.Elements[data.Offset(indices.begin(), indices.size())];
}

void VarArrayPut(Variant& array, const Variant& value, std::initializer_list<Integer> indices) {
  const ArrayData& shared = VarArrayData(array);
  size_t offset = shared.Offset(indices.begin(), indices.size());
  // Convert (and take our own reference) before touching the array: the
  // value may be this very array, which must then go in as it was.
  Variant element = shared.ElementType == varVariant ? value : VarAsType(value, shared.ElementType);
  auto* data = static_cast<ArrayData*>(array.BoxPtr());
  if (data->Refs.load(std::memory_order_acquire) != 1) {
    auto* copy = new ArrayData;
    copy->ElementType = data->ElementType;
    copy->Bounds = data->Bounds;
    copy->Elements = data->Elements;
    Word type = array.VType();
    array.Release();
    array.SetBox(type, copy);
    data = copy;
  }
  data->Elements[offset] = std::move(element);
}

const Variant& Variant::operator[](Integer index) const {
  const ArrayData& data = VarArrayData(*this);
  return data.Elements[data.Offset(&index, 1)];
}
