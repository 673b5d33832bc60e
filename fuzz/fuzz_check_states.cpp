// A stored check-group value is outside data: the first byte picks the
// form and the item count, the rest is the stored text. Any text must
// answer true or false without a fault, false must leave every item
// unchecked, and a value that parses must write back to one that parses
// to the same states.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/editors/cxCheckStates.h"

namespace {

class FuzzItems : public IcxCheckItems {
 public:
  explicit FuzzItems(int ACount) : FCount(ACount) {}
  AnsiString CheckItemsGetCaption(Integer AIndex) override {
    static const char* const captions[] = {"a", "b", "ab", "", "c;", "1:d", "a"};
    return captions[AIndex % 7];
  }
  Integer CheckItemsGetCount() override { return FCount; }

 private:
  int FCount;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto format = static_cast<TcxCheckStatesValueFormat>(data[0] % 4);
  FuzzItems items(data[0] / 4 % 70);
  const AnsiString text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TcxCheckStates states(3, cbsGrayed);
  const bool parsed = CalculateCheckStates(Variant(text), &items, format, states);
  if (states.size() != static_cast<std::size_t>(items.CheckItemsGetCount())) __builtin_trap();
  for (TcxCheckBoxState state : states) {
    if (state != cbsUnchecked && state != cbsChecked && state != cbsGrayed) __builtin_trap();
    if (!parsed && state != cbsUnchecked) __builtin_trap();
  }
  if (!parsed) return 0;
  TcxCheckStates again;
  if (!CalculateCheckStates(CalculateCheckStatesValue(states, &items, format), &items, format, again)) __builtin_trap();
  // Captions repeat among the items, so the captions form may hand a state
  // to an earlier twin; the other forms give the states back exactly.
  if (format != cvfCaptions && again != states) __builtin_trap();
  return 0;
}
