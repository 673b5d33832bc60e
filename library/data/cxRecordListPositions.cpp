#include "library/data/cxRecordListPositions.h"

#include <algorithm>
#include <utility>

void TcxRecordListPositions::Invalidate() {
  FValid = false;
  FShifts.clear();
  FLookupWork = 0;
  // A new list earns its own scans: a filter that keeps a handful of many
  // records is looked up by scanning those few, not by mapping them all
  // because an earlier list was long.
  FScanned = 0;
}

void TcxRecordListPositions::Build(const std::vector<Integer>& AList, Integer ARecordCount) const {
  FScanned = 0;
  FShifts.clear();
  FLookupWork = 0;
  FPlaces.assign(static_cast<size_t>(std::max(ARecordCount, 0)), -1);
  for (size_t i = 0; i < AList.size(); ++i) {
    const Integer r = AList[i];
    if (r >= 0 && r < ARecordCount) FPlaces[static_cast<size_t>(r)] = static_cast<Integer>(i);
  }
  FValid = true;
}

Integer TcxRecordListPositions::Find(const std::vector<Integer>& AList, Integer ARecordCount, Integer ARecord) const {
  const size_t size = AList.size();
  if (!FValid || static_cast<Integer>(FPlaces.size()) != ARecordCount) {
    if (FScanned + size <= static_cast<size_t>(std::max(ARecordCount, 0))) {
      FScanned += size;
      if (ARecord < 0 || ARecord >= ARecordCount) return -1;
      const auto it = std::find(AList.begin(), AList.end(), ARecord);
      return it == AList.end() ? -1 : static_cast<Integer>(it - AList.begin());
    }
    Build(AList, ARecordCount);
  }
  if (ARecord < 0 || ARecord >= static_cast<Integer>(FPlaces.size())) return -1;
  FLookupWork += FShifts.size();
  if (FLookupWork > size) Settle(AList);
  // A record that moved itself stands where its last move put it; the
  // shifts after that one apply to it, all of them to any other record.
  Integer pos = FPlaces[static_cast<size_t>(ARecord)];
  size_t from = 0;
  for (size_t k = FShifts.size(); k-- > 0;)
    if (FShifts[k].Record == ARecord) {
      pos = FShifts[k].To;
      from = k + 1;
      break;
    }
  for (size_t k = from; k < FShifts.size(); ++k)
    if (pos >= FShifts[k].First && pos <= FShifts[k].Last) pos += FShifts[k].Delta;
  // The list may be older than the records (between a change and its
  // pass); a position that no longer holds the record does not count.
  if (pos < 0 || static_cast<size_t>(pos) >= size || AList[static_cast<size_t>(pos)] != ARecord) return -1;
  return pos;
}

void TcxRecordListPositions::Move(std::vector<Integer>& AList, Integer AFrom, Integer ATo) {
  if (AFrom == ATo) return;
  const auto first = AList.begin() + std::min(AFrom, ATo), last = AList.begin() + std::max(AFrom, ATo) + 1;
  if (ATo < AFrom)
    std::rotate(first, last - 1, last);
  else
    std::rotate(first, first + 1, last);
  if (!FValid) return;
  const Integer record = AList[static_cast<size_t>(ATo)];
  if (ATo < AFrom)
    FShifts.push_back({ATo, AFrom - 1, 1, record, ATo});
  else
    FShifts.push_back({AFrom + 1, ATo, -1, record, ATo});
  if (FShifts.size() >= MaxShifts(AList.size())) Settle(AList);
}

void TcxRecordListPositions::Settle(const std::vector<Integer>& AList) const {
  // A record whose place changed stands where the last move that moved it
  // left it, inside that move's span (before and after the move: the place
  // the record left and the one it took included), as no later move moved
  // it: the spans hold every record to write.
  std::vector<std::pair<Integer, Integer>> spans;
  spans.reserve(FShifts.size());
  for (const Shift& s : FShifts)
    spans.emplace_back(std::min(s.First + std::min(s.Delta, 0), s.To), std::max(s.Last + std::max(s.Delta, 0), s.To));
  std::sort(spans.begin(), spans.end());
  const size_t count = FPlaces.size();
  Integer done = 0;  // the positions below are written
  for (const auto& [first, end] : spans) {
    for (Integer i = std::max(first, done); i <= end; ++i) {
      const size_t r = static_cast<size_t>(AList[static_cast<size_t>(i)]);
      if (r < count) FPlaces[r] = i;
    }
    done = std::max(done, end + 1);
  }
  FShifts.clear();
  FLookupWork = 0;
}
