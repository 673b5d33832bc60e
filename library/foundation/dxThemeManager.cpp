#include "library/foundation/dxThemeManager.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>
#include <memory>
#include <vector>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Messages.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"

ORV_REGISTER(TdxThemeChangedNotificator)

using namespace win;

namespace {

constexpr std::size_t kTypeCount = static_cast<std::size_t>(totWindow) + 1;
constexpr const char* kReceiverClass = "TdxThemeChangedEventReceiver";

const std::array<WideString, kTypeCount> kClassNames{
    u"Button", u"Clock",      u"ComboBox", u"Edit",     u"ExplorerBar", u"Header",     u"ListView",   u"Menu",
    u"Page",   u"Progress",   u"Rebar",    u"ScrollBar", u"Spin",       u"StartPanel", u"Status",     u"Tab",
    u"TaskBand", u"TaskBar",  u"ToolBar",  u"ToolTip",  u"TrackBar",    u"TrayNotify", u"TreeView",   u"Window"};

struct TdxThemeData {
  TdxTheme Theme = nullptr;
  WideString ClassName;
};

// Owns the hidden window that hears theme switches.
class TdxThemeChangedEventReceiver {
 public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver();
  HWND GetHandle() const { return FHandle; }

 private:
  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND FHandle = nullptr;
};

struct ManagerState {
  std::array<TdxThemeData, kTypeCount> Cache;
  bool ThemesActive = false;
  std::unique_ptr<TdxThemeChangedEventReceiver> Receiver;
  // Present only while the library is loaded.
  std::unique_ptr<std::vector<TdxThemeChangedNotificator*>> Notificators;
  TdxThemeExceptionHandler ExceptionHandler = nullptr;
};

ManagerState& M() {
  static ManagerState state;
  return state;
}

TdxThemeData& Entry(TdxThemedObjectType AType) { return M().Cache.at(static_cast<std::size_t>(AType)); }

AnsiString UpperName(const WideString& AName) { return AnsiUpperCase(WideToAnsi(AName)); }

void ReportException(TObject* ASender) {
  if (M().ExceptionHandler) {
    M().ExceptionHandler(ASender);
    return;
  }
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    std::fprintf(stderr, "theme change: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "theme change: unknown exception\n");
  }
}

// The notificators in creation order; one freed by an earlier handler is
// skipped, one made by a handler hears the next switch.
void NotifyThemeChanged() {
  if (!M().Notificators) return;
  const std::vector<TdxThemeChangedNotificator*> walk = *M().Notificators;
  for (TdxThemeChangedNotificator* n : walk) {
    const auto& live = *M().Notificators;
    if (std::find(live.begin(), live.end(), n) == live.end()) continue;
    if (!n->GetOnThemeChanged().Assigned()) continue;
    try {
      n->GetOnThemeChanged()();
    } catch (...) {
      ReportException(n);
      return;
    }
  }
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, kReceiverClass, &wc)) {
    wc.lpfnWndProc = &WndProc;
    wc.lpszClassName = kReceiverClass;
    RegisterClassA(&wc);
  }
  // Top level and never shown: theme switches are told to top-level windows.
  FHandle = CreateWindowExA(0, kReceiverClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  UnregisterClassA(kReceiverClass, nullptr);
  M().ThemesActive = false;
}

LRESULT TdxThemeChangedEventReceiver::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_THEMECHANGED) return DefWindowProcA(hwnd, msg, wParam, lParam);
  CloseAllThemes();
  DefWindowProcA(hwnd, msg, wParam, lParam);
  M().ThemesActive = ::IsThemeActive() != FALSE;
  NotifyThemeChanged();
  return 0;
}

}  // namespace

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (IsThemeLibraryLoaded() && M().Notificators) M().Notificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (!IsThemeLibraryLoaded() || !M().Notificators) return;
  auto& list = *M().Notificators;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool AreVisualStylesAvailable() { return M().ThemesActive && IsThemeLibraryLoaded(); }

bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes) {
  if (!AreVisualStylesAvailable()) return false;
  for (std::size_t i = 0; i < kTypeCount; ++i) {
    const auto type = static_cast<TdxThemedObjectType>(i);
    if (ATypes.Contains(type) && !OpenTheme(type)) return false;
  }
  return true;
}

bool AreVisualStylesAvailable(TdxThemedObjectType AType) {
  return AreVisualStylesAvailable() && OpenTheme(AType) != nullptr;
}

TdxTheme OpenTheme(TdxThemedObjectType AType, const WideString& AClassName) {
  if (!AreVisualStylesAvailable()) return nullptr;
  TdxThemeData& entry = Entry(AType);
  if (entry.Theme) {
    if (AClassName.empty() || UpperName(AClassName) == UpperName(entry.ClassName)) return entry.Theme;
    CloseTheme(AType);
  }
  WideString name = AClassName;
  if (name.empty()) name = entry.ClassName.empty() ? dxThemedObjectClassName(AType) : entry.ClassName;
  entry.Theme = ::OpenThemeData(nullptr, name.c_str());
  entry.ClassName = entry.Theme ? name : WideString();
  return entry.Theme;
}

HRESULT CloseTheme(TdxThemedObjectType AType) {
  if (!AreVisualStylesAvailable()) return 1;
  TdxThemeData& entry = Entry(AType);
  if (!entry.Theme) return 0;
  HRESULT result = ::CloseThemeData(entry.Theme);
  entry = TdxThemeData{};
  return result;
}

void CloseAllThemes() {
  for (TdxThemeData& entry : M().Cache) {
    if (!entry.Theme) continue;
    ::CloseThemeData(entry.Theme);
    entry.Theme = nullptr;
  }
}

bool IsStandardTheme() {
  if (!AreVisualStylesAvailable()) return false;
  char16_t file[1024] = {};
  if (::GetCurrentThemeName(file, 1024, nullptr, 0, nullptr, 0) != S_OK) return false;
  file[1023] = 0;
  AnsiString path = WideToAnsi(file);
  // Either delimiter: a path from the platform or one written by hand.
  const auto delimiter = path.find_last_of("/\\");
  const AnsiString name = AnsiUpperCase(delimiter == AnsiString::npos ? path : path.substr(delimiter + 1));
  return name == "LUNA.MSSTYLES" || name == "ROYALE.MSSTYLES";
}

const WideString& dxThemedObjectClassName(TdxThemedObjectType AType) {
  return kClassNames.at(static_cast<std::size_t>(AType));
}

void dxSetThemeExceptionHandler(TdxThemeExceptionHandler AHandler) { M().ExceptionHandler = AHandler; }

void dxThemeManagerInitialize() {
  dxThemeManagerFinalize();
  if (!IsThemeLibraryLoaded()) return;
  M().ThemesActive = ::IsThemeActive() != FALSE;
  M().Receiver = std::make_unique<TdxThemeChangedEventReceiver>();
  M().Notificators = std::make_unique<std::vector<TdxThemeChangedNotificator*>>();
}

void dxThemeManagerFinalize() {
  if (IsThemeLibraryLoaded()) M().Receiver.reset();
  CloseAllThemes();
  M().Notificators.reset();
  M().ThemesActive = false;
  for (TdxThemeData& entry : M().Cache) entry = TdxThemeData{};
}
