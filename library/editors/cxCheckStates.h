// The values of editors that hold one check state per item (a check group)
// in four stored forms, and back. A stored value is outside data: a text
// that does not parse answers false and leaves every item unchecked.
//
//   cvfCaptions      "len:caption" entries, grayed ones, then ";" and the
//                    checked ones: "1:c;2:ab"
//   cvfIndices       grayed indices, then ";" and the checked ones: "0;2,3"
//   cvfInteger       bit i set when item i is checked (64 items at most)
//   cvfStatesString  one '0', '1' or '2' per item
#pragma once

#include <vector>

#include "platform/rtl/Events.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/rtl/Variant.h"

// The state's ordinal is the display value of a cell.
ORV_ENUM(TcxCheckBoxState, cbsUnchecked, cbsChecked, cbsGrayed)
ORV_ENUM(TcxCheckStatesValueFormat, cvfCaptions, cvfIndices, cvfInteger, cvfStatesString)

using TcxCheckStates = std::vector<TcxCheckBoxState>;

// A list of check items: their captions and their number.
class IcxCheckItems {
 public:
  virtual ~IcxCheckItems() = default;
  virtual AnsiString CheckItemsGetCaption(Integer AIndex) = 0;
  virtual Integer CheckItemsGetCount() = 0;
};

// For the check-group editors, which raise them.
using TcxCheckStatesToValueEvent = Event<void(TObject* Sender, const TcxCheckStates& ACheckStates, Variant& AValue)>;
using TcxValueToCheckStatesEvent = Event<void(TObject* Sender, const Variant& AValue, TcxCheckStates& ACheckStates)>;

// One state per item of AItems read from AValue; false (with every item
// unchecked) when the value is not of the form.
bool CalculateCheckStates(const Variant& AValue, IcxCheckItems* AItems, TcxCheckStatesValueFormat AValueFormat,
                          TcxCheckStates& ACheckStates);
// The value of the states (one per item) in the form.
Variant CalculateCheckStatesValue(const TcxCheckStates& ACheckStates, IcxCheckItems* AItems,
                                  TcxCheckStatesValueFormat AValueFormat);
