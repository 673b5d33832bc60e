#include "platform/forms/UnitStartup.h"

#include <exception>
#include <string>

#include "platform/forms/Application.h"
#include "platform/forms/ClassRegistration.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/theme/ThemeBinding.h"

namespace {

struct Unit {
  std::string name;
  TUnitProc init;
  TUnitProc fin;
  bool started = false;
};

void StartClasses() { RegisterFormsClasses(); }

void StartLocale() { GetFormatSettings(); }

// The theme library is ours: it joins the table of loadable modules before
// anything looks for it by name.
void StartThemes() { win::InstallThemeModule(); }

void StartScreen() {
  if (!Screen) Screen = New<TScreen>(static_cast<TComponent*>(nullptr));
  if (!Mouse) Mouse = New<TMouse>();
}

void StopScreen() {
  FreeAndNil(Mouse);
  FreeAndNil(Screen);
}

void StartApplication() {
  if (!Application) Application = New<TApplication>(static_cast<TComponent*>(nullptr));
}

void StopApplication() { FreeAndNil(Application); }

std::vector<Unit>& Units() {
  // The platform's own units lead the list in this fixed order.
  static auto* units = new std::vector<Unit>{
      {"Classes", &StartClasses, nullptr},
      {"Resources", nullptr, nullptr},
      {"Locale", &StartLocale, nullptr},
      {"Themes", &StartThemes, nullptr},
      {"Screen", &StartScreen, &StopScreen},
      {"Application", &StartApplication, &StopApplication},
  };
  return *units;
}

bool gStarted = false;

}  // namespace

void RegisterUnit(const char* Name, TUnitProc Initialization, TUnitProc Finalization) {
  auto& units = Units();
  for (const Unit& u : units)
    if (u.name == Name) return;
  units.push_back({Name, Initialization, Finalization});
  if (gStarted) InitializeUnits();
}

void InitializeUnits() {
  gStarted = true;
  for (Unit& u : Units()) {
    if (u.started) continue;
    try {
      if (u.init) u.init();
    } catch (...) {
      FinalizeUnits();
      throw;
    }
    u.started = true;
  }
}

void FinalizeUnits() {
  std::exception_ptr failure;
  auto& units = Units();
  for (auto it = units.rbegin(); it != units.rend(); ++it) {
    if (!it->started) continue;
    it->started = false;
    try {
      if (it->fin) it->fin();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  gStarted = false;
  if (failure) std::rethrow_exception(failure);
}

std::vector<AnsiString> StartedUnits() {
  std::vector<AnsiString> names;
  for (const Unit& u : Units())
    if (u.started) names.push_back(u.name);
  return names;
}
