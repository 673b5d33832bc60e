// Per-record sort keys taken out of the value storage once per pass, so that
// the record quicksort and the grouping pass compare plain numbers and
// bytes instead of reading cells and building variants per comparison.
//
// The keys give exactly the order of the controller's record comparison
// (field by field, nulls first, descending fields negated, ties by record
// index); where they cannot (a user comparison, provider or grid mode, a
// record being edited, display-text ordering, a value type without a
// typed key, NaN among floats) Build declines and the caller compares
// records the general way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
  // The record quicksort over AList, leaving it in the order the general
  // comparison leaves it in.
  void Sort(Integer* AList, Integer ACount) const;

  // Turns the keyed path off (for comparing it with the general one).
  static void SetEnabled(bool AValue);
  static bool IsEnabled();

 private:
  enum class Kind : Byte { Number, Text, Collated };
  // Rank of a value: 0 null, 1 a cell without a value holder (below every
  // value, equal to another such cell), 2 a value.
  struct Column {
    Kind KeyKind = Kind::Number;
    bool Descending = false;
    bool IgnoreCase = false;
    std::vector<Byte> Rank;
    // Numbers: an order-preserving unsigned form of the whole value. Text:
    // the first eight bytes, big-endian, zero-padded.
    std::vector<std::uint64_t> Prefix;
    std::vector<std::string_view> Text;
  };

  Integer CompareColumn(const Column& AColumn, Integer R1, Integer R2) const;
  static Integer CompareTexts(const Column& AColumn, std::string_view A, std::string_view B);

  std::vector<Column> FColumns;
  // Upper-cased copies of case-insensitive text, which the Text views of
  // such columns point into.
  std::vector<std::string> FArenas;
};
