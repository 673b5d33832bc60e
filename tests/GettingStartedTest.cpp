// The program of docs/getting-started.md, compiled from the page by the
// build, run here headless: at its first idle moment the test looks at the
// form the program built (and leaves getting-started.png for people to
// look at), presses Enter and closes the form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The page's own headers first, so the renaming of its main below reaches
// nothing else.
#include "library/LibraryStartup.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/foundation/cxButtons.h"
#include "platform/controls/PageControl.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/UnitStartup.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "platform/x11/BackEndChoice.h"
#include "support/PageProgram.h"

#define main GettingStartedMain
#include "getting_started.cpp"
#undef main

namespace {

struct Seen {
  bool shown = false;
  std::vector<AnsiString> editors;
  AnsiString summary;
  bool saved = false;
};

// What a person sees, then Enter on the default button.
Seen LookAndPressEnter(TCustomForm* form) {
  Seen seen;
  seen.shown = form && form->GetVisible() && form->HandleAllocated();
  if (!form) return seen;
  page_program::ForEachOwned(form, [&](TComponent* AComponent) {
    if (auto* edit = dynamic_cast<TcxCustomEdit*>(AComponent))
      seen.editors.push_back(edit->GetName() + "=" + VarToStr(edit->GetEditValue()));
  });
  win::test::KeyPress(win::VK_RETURN);
  Application->ProcessMessages();
  for (Integer i = 0; i < form->GetComponentCount(); ++i)
    if (auto* label = dynamic_cast<TLabel*>(form->GetComponent(i))) {
      const AnsiString caption = label->GetCaption();
      if (caption.find("born") != AnsiString::npos) seen.summary = caption;
    }
  seen.saved = page_program::SaveSnapshot(form, "getting-started.png");
  return seen;
}

}  // namespace

// What the program fails to free, the leak check of the sanitizer build
// reports when the test ends (class prototypes made on first use stay for
// the process, so the live-object count is no measure here).
TEST(GettingStarted, ThePageProgramShowsItsEditorsAndEndsWhenItsFormCloses) {
  setenv("ORVANTA_BACKEND", "headless", 1);
  Seen seen;
  page_program::LookAtFirstIdle([&](TCustomForm* form) { seen = LookAndPressEnter(form); });
  EXPECT_EQ(GettingStartedMain(), 0);

  EXPECT_TRUE(seen.shown);
  EXPECT_EQ(seen.editors,
            (std::vector<AnsiString>{"NameEdit=Ada", "BornEdit=12/10/1815", "ColourBox=Blue", "SweetBox=True"}));
  EXPECT_EQ(seen.summary, "Ada, born 12/10/1815, likes Blue and sweets");
  EXPECT_TRUE(seen.saved);
  EXPECT_TRUE(StartedUnits().empty());
}
