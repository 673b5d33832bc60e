// Per-record sort keys taken out of the value storage once per pass (one
// sequential read of the field's column or of the record blocks), so that
// the record sort and the grouping pass compare plain numbers and bytes
// instead of reading cells and building variants per comparison.
//
// The keys give exactly the order of the controller's record comparison
// (field by field, nulls first, descending fields negated, ties by record
// index); where they cannot (a user comparison, provider or grid mode, a
// record being edited, display-text ordering, a value type without a
// typed key) Build declines and the caller compares records the general
// way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "library/data/cxCustomData.h"

class TcxCustomDataController;

class TcxRecordSortKeys {
 public:
  // Takes the keys of the records in ARecords for the first AFieldCount
  // fields of AFields (all of them when negative), in their sorting order.
  // The fields' compare modes must have been prepared.
  bool Build(TcxCustomDataController* AController, const TcxSortingFieldList* AFields,
             const std::vector<Integer>& ARecords, Integer AFieldCount = -1);
  void Clear();
  bool Empty() const { return FColumns.empty(); }
  Integer FieldCount() const { return static_cast<Integer>(FColumns.size()); }

  // The record comparison of one field (the field's sort order applied).
  Integer CompareField(Integer AField, Integer R1, Integer R2) const;
  // All fields, then the record indexes.
  Integer CompareRecords(Integer R1, Integer R2) const;
  // Sorts AList, the records the keys were built for (in any order), into
  // the order the general comparison leaves them in. With AChanges, also
  // says for each position of the sorted list the first of the first
  // ALevels fields whose value differs from the position before (ALevels
  // where none does, 0 at the first position), by the equality of
  // CompareField: the group boundaries of a list grouped by those fields.
  void Sort(Integer* AList, Integer ACount, Integer ALevels = 0, std::vector<Integer>* AChanges = nullptr) const;

  // Turns the keyed path off (for comparing it with the general one).
  static void SetEnabled(bool AValue);
  static bool IsEnabled();

 private:
  enum class Kind : Byte { Number, Text, Collated };
  // Key arrays are sized for every record but written for the records the
  // keys are built for only: they come uninitialised.
  template <class T>
  struct Uninitialised : std::allocator<T> {
    template <class U>
    struct rebind {
      using other = Uninitialised<U>;
    };
    template <class U>
    void construct(U* P) noexcept {
      ::new (static_cast<void*>(P)) U;
    }
    template <class U, class... A>
    void construct(U* P, A&&... AArgs) {
      ::new (static_cast<void*>(P)) U(std::forward<A>(AArgs)...);
    }
  };
  template <class T>
  using Keys = std::vector<T, Uninitialised<T>>;
  // A stored text, left uninitialised where no value is.
  struct TextRef {
    const char* Data;
    size_t Size;
    std::string_view View() const { return {Data, Size}; }
  };
  // Rank of a value: 0 null, 1 a cell without a value holder (below every
  // value, equal to another such cell), 2 a value.
  struct Column {
    Kind KeyKind = Kind::Number;
    bool Descending = false;
    bool IgnoreCase = false;
    Keys<Byte> Rank;
    // Numbers: an order-preserving unsigned form of the whole value. Text
    // (not collated): the first sixteen bytes, upper-cased when the case is
    // ignored, big-endian and zero-padded, the first eight in Prefix.
    Keys<std::uint64_t> Prefix;
    Keys<std::uint64_t> Prefix2;
    // The stored texts themselves (written and read for values only).
    Keys<TextRef> Text;
    // The smallest and largest number key of the records, and whether any
    // of them is null.
    std::uint64_t Least = ~std::uint64_t{0}, Most = 0;
    bool Nulls = false;
  };

  Integer CompareColumn(const Column& AColumn, Integer R1, Integer R2) const;
  // Two values of a text field whose keys are equal.
  static Integer CompareTexts(const Column& AColumn, std::string_view A, std::string_view B);
  // The fields from AField on, then the record indexes.
  Integer CompareFrom(size_t AField, Integer R1, Integer R2) const;
  // The records of AList in index order.
  const std::vector<Integer>& InIndexOrder(const Integer* AList, size_t ACount) const;
  // The ways Sort takes: every key in one word, text buckets, and the
  // general radix over every field's key.
  // Each fills AChanges (sized, when given) for its first ALevels fields.
  bool SortPacked(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const;
  void SortTextBuckets(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const;
  void SortByEveryField(Integer* AList, size_t ACount, Integer ALevels, Integer* AChanges) const;
  // The first of the fields [AFrom, ALevels) in which R1 and R2 differ,
  // ALevels where none does.
  Integer FirstDifference(Integer AFrom, Integer ALevels, Integer R1, Integer R2) const;

  std::vector<Column> FColumns;
  // The records the keys were built for, in index order.
  std::vector<Integer> FRecords;
  // The index order of a list Sort is given when it is not that one.
  mutable std::vector<Integer> FScratch;
};
