#include "platform/theme/ThemeTestMode.h"

#include <cstdio>

#include "platform/rtl/CodePage.h"
#include "platform/theme/ThemeBinding.h"
#include "platform/theme/ThemeState.h"
#include "platform/win/Modules.h"

namespace win::theme {
namespace {

struct Log {
  bool on = false;
  std::vector<test::ThemeCall> calls;
};

Log& L() {
  static Log log;
  return log;
}

}  // namespace

bool Logging() { return L().on; }

void LogCall(const char* function, HTHEME theme, int part, int state, const RECT* rect, LPCWSTR text, int count) {
  if (!L().on) return;
  test::ThemeCall c;
  c.Function = function;
  if (theme) {
    const ClassInfo* cls = HandleClass(theme);
    c.Class = cls ? std::string(cls->Name) : "?";
  }
  c.Part = part;
  c.State = state;
  if (rect) c.Rect = *rect;
  if (text) {
    std::u16string_view w = count < 0 ? std::u16string_view(text) : std::u16string_view(text, std::size_t(count));
    c.Text = WideToAnsi(w);
  }
  L().calls.push_back(std::move(c));
}

}  // namespace win::theme

namespace win::test {

std::string ThemeCall::ToString() const {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s %s %d/%d [%d,%d,%d,%d]", Function.c_str(), Class.empty() ? "-" : Class.c_str(),
                Part, State, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  std::string s = buf;
  if (!Text.empty()) s += " \"" + Text + "\"";
  return s;
}

void StartThemeCallLog() {
  theme::L().calls.clear();
  theme::L().on = true;
}

void StopThemeCallLog() { theme::L().on = false; }

const std::vector<ThemeCall>& ThemeCalls() { return theme::L().calls; }

std::string ThemeCallLog() {
  std::string s;
  for (const ThemeCall& c : theme::L().calls) s += c.ToString() + "\n";
  return s;
}

void SetThemeModuleAbsent(bool absent) { SetModuleAbsent(theme::kModuleName, absent); }

void SetThemeExportMissing(const char* name, bool missing) { SetExportMissing(theme::kModuleName, name, missing); }

void SetThemeNames(const std::u16string& file, const std::u16string& color, const std::u16string& size) {
  theme::SetNames({file, color, size});
}

int OpenThemeCount() { return theme::OpenHandleCount(); }

void ResetThemeModule() {
  theme::L() = {};
  SetModuleAbsent(theme::kModuleName, false);
  for (const char* name : theme::ExportNames()) SetExportMissing(theme::kModuleName, name, false);
  theme::ResetState();
}

}  // namespace win::test
