#include "library/editors/cxCheckStates.h"

#include <algorithm>
#include <climits>

#include "library/data/cxVariants.h"
#include "platform/rtl/NumberText.h"

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// A run of digits at APos, up to ALimit; false for no digit or a number
// past the limit. APos moves past the digits.
bool ReadNumber(const AnsiString& S, std::size_t& APos, Int64 ALimit, Int64& ANumber) {
  const std::size_t start = APos;
  ANumber = 0;
  while (APos < S.size() && IsDigit(S[APos])) {
    ANumber = ANumber * 10 + (S[APos] - '0');
    if (ANumber > ALimit) return false;
    ++APos;
  }
  return APos > start;
}

struct TCaptionEntry {
  AnsiString Caption;
  TcxCheckBoxState State;
  bool Used = false;
};

bool ParseCaptions(const AnsiString& S, IcxCheckItems* AItems, TcxCheckStates& AStates) {
  std::vector<TCaptionEntry> entries;
  TcxCheckBoxState state = cbsGrayed;
  std::size_t pos = 0;
  while (pos < S.size()) {
    if (S[pos] == ';' && state == cbsGrayed) {
      state = cbsChecked;
      ++pos;
      continue;
    }
    Int64 length = 0;
    if (!ReadNumber(S, pos, INT_MAX, length)) return false;
    if (pos >= S.size() || S[pos] != ':') return false;
    ++pos;
    // A length past the end of the text is a malformed entry too.
    if (static_cast<Int64>(S.size() - pos) < length) return false;
    entries.push_back({S.substr(pos, static_cast<std::size_t>(length)), state});
    pos += static_cast<std::size_t>(length);
  }
  const Integer count = static_cast<Integer>(AStates.size());
  for (Integer i = 0; i < count; ++i) {
    const AnsiString caption = AItems->CheckItemsGetCaption(i);
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const TCaptionEntry& e) { return !e.Used && e.Caption == caption; });
    if (entry == entries.end()) continue;
    entry->Used = true;
    AStates[i] = entry->State;
  }
  return std::all_of(entries.begin(), entries.end(), [](const TCaptionEntry& e) { return e.Used; });
}

bool ParseIndices(const AnsiString& S, TcxCheckStates& AStates) {
  const auto count = static_cast<Int64>(AStates.size());
  TcxCheckBoxState state = cbsGrayed;
  std::size_t pos = 0;
  bool indexDue = false;
  while (pos < S.size()) {
    if (S[pos] == ';' && state == cbsGrayed && !indexDue) {
      state = cbsChecked;
      ++pos;
      continue;
    }
    Int64 index = 0;
    if (!ReadNumber(S, pos, count, index) || index >= count) return false;
    AStates[static_cast<std::size_t>(index)] = state;
    indexDue = false;
    if (pos < S.size() && S[pos] == ',') {
      ++pos;
      indexDue = true;
    }
  }
  return !indexDue;
}

bool ParseInteger(const Variant& AValue, TcxCheckStates& AStates) {
  Int64 bits = 0;
  if (VarIsStr(AValue)) {
    if (!TryStrToInt64(VarToStr(AValue), bits)) return false;
  } else if (VarIsNumericEx(AValue) || VarIsDate(AValue)) {
    try {
      bits = AValue.AsInt64();
    } catch (const Exception&) {
      return false;
    }
  } else if (!VarIsNull(AValue)) {
    return false;
  }
  const std::size_t count = std::min<std::size_t>(AStates.size(), 64);
  for (std::size_t i = 0; i < count; ++i)
    AStates[i] = (static_cast<std::uint64_t>(bits) >> i) & 1 ? cbsChecked : cbsUnchecked;
  return true;
}

bool ParseStatesString(const AnsiString& S, TcxCheckStates& AStates) {
  const std::size_t count = std::min(S.size(), AStates.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (S[i] < '0' || S[i] > '2') return false;
    AStates[i] = static_cast<TcxCheckBoxState>(S[i] - '0');
  }
  return true;
}

}  // namespace

bool CalculateCheckStates(const Variant& AValue, IcxCheckItems* AItems, TcxCheckStatesValueFormat AValueFormat,
                          TcxCheckStates& ACheckStates) {
  const Integer count = AItems ? std::max(0, AItems->CheckItemsGetCount()) : 0;
  ACheckStates.assign(static_cast<std::size_t>(count), cbsUnchecked);
  bool result = false;
  if (AValueFormat == cvfInteger) {
    result = ParseInteger(AValue, ACheckStates);
  } else if (VarIsNull(AValue) || VarIsStr(AValue)) {
    const AnsiString text = VarIsNull(AValue) ? AnsiString() : VarToStr(AValue);
    switch (AValueFormat) {
      case cvfCaptions: result = ParseCaptions(text, AItems, ACheckStates); break;
      case cvfIndices: result = ParseIndices(text, ACheckStates); break;
      default: result = ParseStatesString(text, ACheckStates); break;
    }
  }
  if (!result) std::fill(ACheckStates.begin(), ACheckStates.end(), cbsUnchecked);
  return result;
}

Variant CalculateCheckStatesValue(const TcxCheckStates& ACheckStates, IcxCheckItems* AItems,
                                  TcxCheckStatesValueFormat AValueFormat) {
  const std::size_t count = ACheckStates.size();
  switch (AValueFormat) {
    case cvfCaptions:
    case cvfIndices: {
      AnsiString grayed, checked;
      for (std::size_t i = 0; i < count; ++i) {
        if (ACheckStates[i] == cbsUnchecked) continue;
        AnsiString& target = ACheckStates[i] == cbsGrayed ? grayed : checked;
        if (AValueFormat == cvfCaptions) {
          const AnsiString caption = AItems ? AItems->CheckItemsGetCaption(static_cast<Integer>(i)) : AnsiString();
          target += IntToStr(static_cast<Integer>(caption.size())) + ":" + caption;
        } else {
          if (!target.empty()) target += ",";
          target += IntToStr(static_cast<Integer>(i));
        }
      }
      return Variant(checked.empty() ? grayed : grayed + ";" + checked);
    }
    case cvfInteger: {
      std::uint64_t bits = 0;
      for (std::size_t i = 0; i < std::min<std::size_t>(count, 64); ++i)
        if (ACheckStates[i] == cbsChecked) bits |= std::uint64_t(1) << i;
      return Variant(static_cast<Int64>(bits));
    }
    case cvfStatesString: {
      AnsiString result(count, '0');
      for (std::size_t i = 0; i < count; ++i) result[i] = static_cast<char>('0' + ACheckStates[i]);
      return Variant(result);
    }
  }
  return Null();
}
