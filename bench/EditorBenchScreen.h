// One headless session with one shown form for a whole benchmark run: the
// editor benchmarks put their editors on it.
#pragma once

#include "library/editors/core/EditorsStartup.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/TestHooks.h"

namespace editor_bench {

struct Screen {
  Screen() {
    RegisterEditorUnits();
    session = new forms::test::Session();
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 700, 400});
    form->Show();
    win::test::PumpUntilIdle();
  }
  forms::test::Session* session;
  TForm* form;
};

// Made on first use and kept to the end of the run.
inline Screen& TheScreen() {
  static Screen* screen = new Screen();
  return *screen;
}

}  // namespace editor_bench
