// Where each record stands in a view's record list: record index -> list
// position, for the lookups that go from a record to its row.
//
// A record that moves from one place of the list to another shifts every
// record between by one. Those records lie scattered over the map, so
// rewriting their places costs a cache miss each; the map notes the move
// as one shift instead, and a lookup applies the shifts noted since. When
// MaxShifts have gathered (more in a longer list), or the lookups have
// spent on them what writing them out costs, the places are rewritten once
// over the spans the moves touched, which overlap for moves across a long
// list: a move costs its distance at most, and much less where the moves
// are long.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/rtl/Types.h"

class TcxRecordListPositions {
 public:
  // The shifts kept for a list of ASize records before they are written.
  static size_t MaxShifts(size_t ASize) { return std::max<size_t>(64, ASize / 4096); }

  // The list changed in another way: the next lookup builds the map anew.
  void Invalidate();
  // The position of ARecord in AList (whose records are below
  // ARecordCount), or -1 where the list does not hold it.
  Integer Find(const std::vector<Integer>& AList, Integer ARecordCount, Integer ARecord) const;
  // Moves the record at AFrom in AList to ATo, the records between by one
  // towards AFrom, and notes the move.
  void Move(std::vector<Integer>& AList, Integer AFrom, Integer ATo);

 private:
  struct Shift {
    Integer First, Last;  // the positions that moved, before the move
    Integer Delta;        // by one, towards the place the record left
    Integer Record, To;   // the moved record and its new place
  };

  void Build(const std::vector<Integer>& AList, Integer ARecordCount) const;
  // Writes the places the noted shifts stand for, and forgets them.
  void Settle(const std::vector<Integer>& AList) const;

  mutable std::vector<Integer> FPlaces;
  mutable std::vector<Shift> FShifts;
  mutable bool FValid = false;
  // Shifts applied by lookups since they were last written.
  mutable size_t FLookupWork = 0;
  // Positions looked up by scanning the list since the map was last
  // built or the list last changed: a lookup scans while the scans
  // together cost less than one build (a pass that asks for one record's
  // position builds nothing).
  mutable size_t FScanned = 0;
};
