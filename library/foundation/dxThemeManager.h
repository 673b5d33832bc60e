// The one place that opens theme handles: one cached handle per kind of
// themed element, the answer whether themed drawing may be used now, the
// two standard theme files, and a hidden window that hears the user switch
// themes and tells the objects that asked to know.
#pragma once

#include "library/foundation/dxUxTheme.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/TypeInfo.h"

ORV_ENUM(TdxThemedObjectType, totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListView,
         totMenu, totPage, totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand,
         totTaskBar, totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeview, totWindow)
using TdxThemedObjectTypes = Set<TdxThemedObjectType>;
using TdxTheme = win::HTHEME;

using TdxThemeChangedEvent = Event<void()>;

// Hears every theme switch, in creation order, while the theme library is
// loaded. Owned by whoever creates it.
class TdxThemeChangedNotificator : public TObject {
  ORV_CLASS(TdxThemeChangedNotificator, TObject)
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;

  const TdxThemeChangedEvent& GetOnThemeChanged() const { return FOnThemeChanged; }
  void SetOnThemeChanged(const TdxThemeChangedEvent& Value) { FOnThemeChanged = Value; }

 private:
  TdxThemeChangedEvent FOnThemeChanged;
};

// Themes are on at all: the user has them active and the library is
// loaded. (Written without an argument: `{}` would name the first type.)
bool AreVisualStylesAvailable();
// ...and every type of the set opens, tried in order up to the first that
// does not.
bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes);
bool AreVisualStylesAvailable(TdxThemedObjectType AType);

// The type's cached handle, opened on first use with AClassName, the name
// used last time, or the type's own class name. Another class name
// (compared without case) closes the cached handle first. Null when themes
// are off or the class does not open.
TdxTheme OpenTheme(TdxThemedObjectType AType, const WideString& AClassName = {});
// 1 without themes; 0 when nothing was open; else the module's answer.
win::HRESULT CloseTheme(TdxThemedObjectType AType);
// Closes every handle; each type remembers its class name for reopening.
void CloseAllThemes();
// The current theme file is one of the two standard ones.
bool IsStandardTheme();
// The class name each type opens by default.
const WideString& dxThemedObjectClassName(TdxThemedObjectType AType);

// A theme-change handler that raises ends the walk over the notificators;
// the exception goes here, called inside the catch (the application's
// handler takes it over at start-up). Null restores the default, which
// writes the message to stderr.
using TdxThemeExceptionHandler = void (*)(TObject* ASender);
void dxSetThemeExceptionHandler(TdxThemeExceptionHandler AHandler);

// The unit's start-up step (after dxUxThemeInitialize): the receiver window
// and the themes-active flag, when the library is loaded.
void dxThemeManagerInitialize();
// The unit's shut-down step: the receiver goes, every handle is closed.
void dxThemeManagerFinalize();
