#include "library/foundation/FoundationStartup.h"

#include "library/foundation/cxButtons.h"
#include "library/foundation/cxClasses.h"
#include "library/foundation/cxContainer.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxLookAndFeels.h"
#include "library/foundation/cxScrollBar.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/UnitStartup.h"

namespace {

// Library components stream together with controls.
void StartClasses() { GroupDescendentsWith(TcxComponent::StaticClass(), TControl::StaticClass()); }

void StopClasses() { cxClearResourceStrings(); }

// A theme listener that fails is reported as any other error of the program.
void StartThemeManager() {
  dxSetThemeExceptionHandler([](TObject* ASender) {
    if (Application) Application->HandleException(ASender);
  });
  dxThemeManagerInitialize();
}

// The controls layouts may name.
constexpr std::initializer_list<TClass (*)()> kLayoutClasses = {
    &TcxLookAndFeelController::StaticClass, &TcxScrollBar::StaticClass, &TcxButton::StaticClass};

void StartLayoutClasses() {
  for (auto cls : kLayoutClasses) RegisterClass(cls());
}

void StopLayoutClasses() {
  for (auto cls : kLayoutClasses) UnRegisterClass(cls());
}

void StopThemeManager() {
  dxThemeManagerFinalize();
  dxSetThemeExceptionHandler(nullptr);
}

}  // namespace

void RegisterFoundationUnits() {
  RegisterControlsUnits();
  // The theme binding starts first of all the library's units.
  RegisterUnit("dxUxTheme", &dxUxThemeInitialize, &dxUxThemeFinalize);
  RegisterUnit("dxThemeManager", &StartThemeManager, &StopThemeManager);
  RegisterUnit("cxClasses", &StartClasses, &StopClasses);
  RegisterUnit("cxGraphics", nullptr, &cxGraphicsFinalize);
  RegisterUnit("cxLookAndFeelPainters", nullptr, &cxLookAndFeelPaintersFinalize);
  RegisterUnit("cxControls", &cxControlsInitialize, &cxControlsFinalize);
  RegisterUnit("cxLookAndFeels", &cxLookAndFeelsInitialize, &cxLookAndFeelsFinalize);
  RegisterUnit("cxControlClasses", &StartLayoutClasses, &StopLayoutClasses);
  RegisterUnit("cxContainer", &cxContainerInitialize, &cxContainerFinalize);
}
