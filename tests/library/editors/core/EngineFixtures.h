// Locale fixtures of the editor engine tests: the two locales the date and
// currency formats are checked against, and a fixed "today".
#pragma once

#include <memory>

#include "library/editors/core/cxFormats.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Locale.h"

namespace fixtures {

// en-US with a leading minus for negative amounts.
inline Locale UsLocale() {
  Locale l = Locale::Builtin("en-US");
  l.NegCurrFormat = 1;
  return l;
}

inline Locale GermanLocale() { return Locale::Builtin("de-DE"); }

// Wednesday, 31 December 2008, noon.
inline constexpr double kToday = 39813.0;

// Installs a locale and a fresh format controller for its lifetime.
class SwitchLocale {
 public:
  explicit SwitchLocale(const Locale& locale) : FLocale(locale) { cxFormats_Finalize(); }
  ~SwitchLocale() { cxFormats_Finalize(); }

 private:
  ScopedLocale FLocale;
};

// The same for one test, with the clock standing at the given moment.
class EngineLocale {
 public:
  explicit EngineLocale(const Locale& locale, double now = kToday + 0.5)
      : FLocale(locale), FClock(1'000'000, now) {
    cxFormats_Finalize();
  }
  ~EngineLocale() { cxFormats_Finalize(); }

 private:
  ScopedLocale FLocale;
  Clock::FakeClock FClock;
};

}  // namespace fixtures
