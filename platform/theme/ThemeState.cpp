#include "platform/theme/ThemeState.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowStyles.h"

namespace win::theme {
namespace {

struct State {
  std::optional<bool> active;  // empty until first asked
  ThemeNames names;
  std::map<std::uintptr_t, const ClassInfo*> handles;
  std::uintptr_t next = 0x7E0001;
};

State& S() {
  static State s;
  return s;
}

bool FromEnvironment() {
  const char* v = std::getenv("ORVANTA_THEMES");
  if (!v || !*v) return true;
  if (std::strcmp(v, "0") == 0) return false;
  if (std::strcmp(v, "1") == 0) return true;
  std::fprintf(stderr, "ORVANTA_THEMES=%s: expected 0 or 1; themes stay on\n", v);
  return true;
}

void Broadcast() { SendMessageA(HWND_BROADCAST, WM_THEMECHANGED, 0, 0); }

}  // namespace

const ThemeNames& CurrentNames() { return S().names; }

void SetNames(const ThemeNames& names) {
  ThemeNames& n = S().names;
  if (n.File == names.File && n.Color == names.Color && n.Size == names.Size) return;
  n = names;
  Broadcast();
}

HTHEME OpenHandle(const ClassInfo& cls) {
  std::uintptr_t id = S().next++;
  S().handles[id] = &cls;
  return reinterpret_cast<HTHEME>(id);
}

bool CloseHandle(HTHEME theme) { return S().handles.erase(reinterpret_cast<std::uintptr_t>(theme)) > 0; }

const ClassInfo* HandleClass(HTHEME theme) {
  auto it = S().handles.find(reinterpret_cast<std::uintptr_t>(theme));
  return it == S().handles.end() ? nullptr : it->second;
}

int OpenHandleCount() { return static_cast<int>(S().handles.size()); }

void ResetState() {
  S().active.reset();
  S().names = ThemeNames{};
  S().handles.clear();
}

}  // namespace win::theme

namespace win {

bool ThemesActive() {
  auto& active = theme::S().active;
  if (!active) active = theme::FromEnvironment();
  return *active;
}

void SetThemesActive(bool active) {
  if (ThemesActive() == active) return;
  theme::S().active = active;
  theme::Broadcast();
}

}  // namespace win
