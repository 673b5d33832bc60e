// The program of docs/getting-started.md, compiled from the page by the
// build, run here headless: a unit listed ahead of the program's watches
// its first idle moment, looks at the form the program built (and leaves
// getting-started.png for people to look at), presses Enter and closes the
// form. Closing the main form ends the program, which frees what it made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
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
#include "platform/forms/Bitmap.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/UnitStartup.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/PngWriter.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowDC.h"
#include "platform/x11/BackEndChoice.h"

#define main GettingStartedMain
#include "getting_started.cpp"
#undef main

namespace {

struct Seen {
  bool looked = false;  // once: the program's own idle time goes on after
  bool shown = false;
  std::vector<AnsiString> editors;
  AnsiString summary;
  bool saved = false;
};
Seen gSeen;

// Every component AOwner owns, and theirs, depth first.
void ForEachOwned(TComponent* AOwner, const std::function<void(TComponent*)>& AVisit) {
  for (Integer i = 0; i < AOwner->GetComponentCount(); ++i) {
    AVisit(AOwner->GetComponent(i));
    ForEachOwned(AOwner->GetComponent(i), AVisit);
  }
}

void Snapshot(TCustomForm* AForm) {
  TBitmap* picture = New<TBitmap>();
  picture->SetSize(AForm->GetWidth(), AForm->GetHeight());
  win::HDC dc = win::GetWindowDC(AForm->GetHandle());
  win::BitBlt(picture->GetCanvas()->GetHandle(), 0, 0, AForm->GetWidth(), AForm->GetHeight(), dc, 0, 0,
              win::SRCCOPY);
  win::ReleaseDC(AForm->GetHandle(), dc);
  gSeen.saved = win::SaveBitmapPng(picture->GetHandle(), "getting-started.png");
  picture->Free();
}

// At the first idle moment: what a person sees, then Enter on the default
// button, then the form closes.
void LookAndClose(TObject*, bool& Done) {
  if (gSeen.looked) return;
  gSeen.looked = true;
  TCustomForm* form = Application->GetMainForm();
  gSeen.shown = form && form->GetVisible() && form->HandleAllocated();
  if (!form) return;
  ForEachOwned(form, [](TComponent* AComponent) {
    if (auto* edit = dynamic_cast<TcxCustomEdit*>(AComponent))
      gSeen.editors.push_back(edit->GetName() + "=" + VarToStr(edit->GetEditValue()));
  });
  win::test::KeyPress(win::VK_RETURN);
  Application->ProcessMessages();
  for (Integer i = 0; i < form->GetComponentCount(); ++i)
    if (auto* label = dynamic_cast<TLabel*>(form->GetComponent(i))) {
      const AnsiString caption = label->GetCaption();
      if (caption.find("born") != AnsiString::npos) gSeen.summary = caption;
    }
  Snapshot(form);
  form->Close();
  Done = true;
}

void StartWatching() {
  Application->OnIdle = [](TObject* Sender, bool& Done) { LookAndClose(Sender, Done); };
}

}  // namespace

// What the program fails to free, the leak check of the sanitizer build
// reports when the test ends (class prototypes made on first use stay for
// the process, so the live-object count is no measure here).
TEST(GettingStarted, ThePageProgramShowsItsEditorsAndEndsWhenItsFormCloses) {
  setenv("ORVANTA_BACKEND", "headless", 1);
  RegisterUnit("GettingStartedWatch", &StartWatching, nullptr);
  EXPECT_EQ(GettingStartedMain(), 0);

  EXPECT_TRUE(gSeen.shown);
  EXPECT_EQ(gSeen.editors,
            (std::vector<AnsiString>{"NameEdit=Ada", "BornEdit=12/10/1815", "ColourBox=Blue", "SweetBox=True"}));
  EXPECT_EQ(gSeen.summary, "Ada, born 12/10/1815, likes Blue and sweets");
  EXPECT_TRUE(gSeen.saved);
  EXPECT_TRUE(StartedUnits().empty());
}
