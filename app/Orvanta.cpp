#include "app/Orvanta.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/Aboutdlg.h"
#include "app/Paraminfodlg.h"
#include "app/Tarvikui.h"
#include "library/LibraryStartup.h"
#include "library/grid/GridStartup.h"
#include "platform/forms/Application.h"
#include "platform/forms/UnitStartup.h"
#include "platform/gdi/FontMatchStore.h"
#include "platform/gdi/Fonts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/BackEnd.h"
#include "platform/x11/X11BackEnd.h"

// The three windows' layouts, embedded by the build.
void OrvantaRegisterLayouts();

namespace {

void StartProgramUnit() {
  OrvantaRegisterLayouts();
  // What the layouts name besides the platform's controls and the rows.
  RegisterClasses({TMainForm::StaticClass(), TParameterInfoDlg::StaticClass(), TAboutDialog::StaticClass(),
                   TcxVerticalGrid::StaticClass(), TcxButton::StaticClass()});
}

void RunForms(const std::function<void()>& AStarted) {
  TMainForm* mainForm = nullptr;
  TParameterInfoDlg* parameterInfoDlg = nullptr;
  TAboutDialog* aboutDialog = nullptr;
  try {
    Application->Initialize();
    Application->SetTitle("Orvanta UI");
    Application->CreateForm(mainForm);
    Application->CreateForm(parameterInfoDlg);
    Application->CreateForm(aboutDialog);
    if (AStarted) AStarted();
    Application->Run();
    // The windows go while the library's units still stand: a window's
    // last steps may need them.
    Application->DestroyComponents();
  } catch (Exception& E) {
    Application->ShowException(&E);
  } catch (...) {
    Exception E("");
    Application->ShowException(&E);
  }
}

// The user's cache folder holds what the program can always work out
// again.
std::string FontMatchStorePath() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/') return std::string(cache) + "/orvanta/font-matches";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/.cache/orvanta/font-matches";
  return "";
}

}  // namespace

void RegisterOrvantaUnits() {
  RegisterLibraryUnits();
  // The grid's units stand above the library's list until it names them.
  RegisterGridUnits();
  RegisterUnit("Orvanta", &StartProgramUnit, nullptr);
}

int OrvantaMain(const std::function<void()>& AStarted) {
  // Under a file-size limit a write past it would end the program, unsaved
  // values and all, and leave a save's temporary file behind; ignored, the
  // write fails with "File too large" and the save says so.
  signal(SIGXFSZ, SIG_IGN);
  // The fonts are found from the answers kept by the last run. Only when
  // those no longer hold is the fonts' configuration read, while the
  // display is opened, the units start and the forms are read: the first
  // text waits for less.
  if (!win::gdi::UseFontMatchStore(FontMatchStorePath())) win::gdi::StartFontConfiguration();
  const char* display = std::getenv("DISPLAY");
  std::unique_ptr<win::IBackEnd> screen;
  if (display && *display) screen = win::OpenX11BackEnd(display);
  if (!screen) {
    if (display && *display)
      std::fprintf(stderr, "Orvanta UI: the X display \"%s\" cannot be reached.\n", display);
    else
      std::fprintf(stderr, "Orvanta UI needs an X display, and DISPLAY is not set.\n");
    return 1;
  }
  win::RegisterX11BackEnd();
  std::unique_ptr<win::IBackEnd> previous = win::SetBackEnd(std::move(screen));
  RegisterOrvantaUnits();
  InitializeUnits();
  {
    orv::ScopeExit shutDown([] { FinalizeUnits(); });
    RunForms(AStarted);
  }
  win::SetBackEnd(std::move(previous));
  return 0;
}
