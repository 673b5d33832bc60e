// A vector of plain values that keeps its first N in place and takes heap
// memory only beyond them. Components keep their members and partners in
// these: most have one or none, and a block of 8 bytes per list would be
// most of what freeing a component costs the allocator.
//
// Only what its users need: T must be trivially copyable (pointers), and
// the container is neither copyable nor movable.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <type_traits>

template <class T, std::size_t N>
class SmallVector {
  static_assert(std::is_trivially_copyable_v<T>, "SmallVector holds plain values");
  static_assert(N > 0, "SmallVector keeps at least one value in place");

 public:
  using value_type = T;
  using iterator = T*;
  using const_iterator = const T*;
  using reverse_iterator = std::reverse_iterator<T*>;
  using const_reverse_iterator = std::reverse_iterator<const T*>;

  SmallVector() = default;
  SmallVector(const SmallVector&) = delete;
  SmallVector& operator=(const SmallVector&) = delete;
  ~SmallVector() {
    if (!IsInline()) ::operator delete(FData);
  }

  std::size_t size() const { return FSize; }
  std::size_t capacity() const { return FCapacity; }
  bool empty() const { return FSize == 0; }

  T* data() { return FData; }
  const T* data() const { return FData; }
  T* begin() { return FData; }
  T* end() { return FData + FSize; }
  const T* begin() const { return FData; }
  const T* end() const { return FData + FSize; }
  reverse_iterator rbegin() { return reverse_iterator(end()); }
  reverse_iterator rend() { return reverse_iterator(begin()); }
  const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
  const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

  T& operator[](std::size_t i) { return FData[i]; }
  const T& operator[](std::size_t i) const { return FData[i]; }
  T& back() { return FData[FSize - 1]; }
  const T& back() const { return FData[FSize - 1]; }

  void push_back(T value) {
    if (FSize == FCapacity) Grow(FSize + 1);
    FData[FSize++] = value;
  }
  void pop_back() { --FSize; }
  void clear() { FSize = 0; }

  // Shrinks to n values, or grows with value-initialised ones.
  void resize(std::size_t n) {
    if (n > FCapacity) Grow(n);
    for (std::size_t i = FSize; i < n; ++i) FData[i] = T();
    FSize = static_cast<std::uint32_t>(n);
  }

  T* insert(T* pos, T value) {
    const std::size_t at = static_cast<std::size_t>(pos - FData);
    if (FSize == FCapacity) Grow(FSize + 1);
    std::memmove(FData + at + 1, FData + at, (FSize - at) * sizeof(T));
    FData[at] = value;
    ++FSize;
    return FData + at;
  }

  T* erase(T* pos) {
    const std::size_t at = static_cast<std::size_t>(pos - FData);
    std::memmove(FData + at, FData + at + 1, (FSize - at - 1) * sizeof(T));
    --FSize;
    return FData + at;
  }

 private:
  bool IsInline() const { return FData == FInline; }

  // Doubles the capacity (at least to n); the values move to the heap.
  void Grow(std::size_t n) {
    const std::size_t capacity = std::max<std::size_t>(n, std::size_t(FCapacity) * 2);
    T* data = static_cast<T*>(::operator new(capacity * sizeof(T)));
    std::memcpy(data, FData, FSize * sizeof(T));
    if (!IsInline()) ::operator delete(FData);
    FData = data;
    FCapacity = static_cast<std::uint32_t>(capacity);
  }

  T* FData = FInline;
  std::uint32_t FSize = 0;
  std::uint32_t FCapacity = N;
  T FInline[N];
};
