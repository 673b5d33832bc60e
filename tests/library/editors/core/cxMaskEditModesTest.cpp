// The standard mask mode under a user's hands: typing stories on the phone
// mask, kept as tables of keys with the text and selection after each.
#include "library/editors/core/MaskModeSession.h"

ORV_REGISTER(mask_test::TCountedStandardMode)
ORV_REGISTER(mask_test::TCountedRegExprMode)
ORV_REGISTER(mask_test::TCountedRegExprExMode)
ORV_REGISTER(mask_test::TCountedMaskProperties)
ORV_REGISTER(mask_test::TCountedMaskEdit)

namespace {

using mask_test::Step;
const AnsiString kPhone = "!(999) 000-0000;1;_";

class StandardMode : public mask_test::MaskModeSession {};

TEST_F(StandardMode, TypingOverwritesMaskPositionsAndSkipsLiterals) {
  Start(emkStandard, kPhone);
  Run({
      {"Home", "([_]__) ___-____"},
      {"type 5", "(5[_]_) ___-____"},
      {"type 55", "(555) [_]__-____"},
      {"type x", "(555) [_]__-____"},
      {"type 1234567", "(555) 123-4567|"},
      {"type 8", "(555) 123-4567|"},
  });
}

}  // namespace
