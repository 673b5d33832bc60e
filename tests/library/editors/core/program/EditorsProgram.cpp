// A small program on the library, as a user writes one: a form with the
// editors and native controls, started on the display its environment
// names and run by its own message loop until it is stopped. The X
// tests start it as a separate process and drive it through the X server.
#include <string>

#include "library/editors/core/EditorsStartup.h"
#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/foundation/cxButtons.h"
#include "library/foundation/cxScrollBar.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Memo.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/UnitStartup.h"
#include "platform/x11/BackEndChoice.h"
#include "tests/support/PlaceControl.h"

int main() {
  win::StartDefaultBackEnd();
  RegisterEditorUnits();
  InitializeUnits();
  Application->SetTitle("Orvanta");
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetCaption("Orvanta editors");
  form->SetBoundsRect({60, 60, 620, 440});
  Place<TLabel>(form, {12, 14, 70, 28})->SetCaption("Name:");
  auto* text = Place<TcxTextEdit>(form, {80, 10, 240, 31});
  text->SetText("Orvanta");
  auto* combo = Place<TcxComboBox>(form, {80, 40, 240, 61});
  for (int i = 1; i <= 20; ++i) combo->GetProperties()->GetItems()->Add("Item " + std::to_string(i));
  combo->SetText("Item 3");
  auto* popupEdit = Place<TcxPopupEdit>(form, {80, 70, 240, 91});
  auto* hosted = Place<TPanel>(form, {0, 300, 200, 360});
  hosted->SetCaption("Hosted panel");
  hosted->SetVisible(false);
  popupEdit->GetProperties()->SetPopupControl(hosted);
  Place<TcxMaskEdit>(form, {80, 100, 240, 121})->GetProperties()->SetEditMask("!00/00/0000;1;_");
  Place<TcxButtonEdit>(form, {80, 130, 240, 151});
  Place<TcxButton>(form, {80, 160, 180, 185})->SetCaption("Look");
  Place<TcxScrollBar>(form, {80, 200, 240, 217});
  Place<TMemo>(form, {260, 10, 400, 90})->GetLines()->Add("A memo");
  Place<TRichEdit>(form, {260, 100, 400, 180})->GetLines()->Add("Rich text");
  auto* pages = Place<TPageControl>(form, {260, 190, 400, 280});
  for (const char* caption : {"First", "Second"}) {
    auto* sheet = New<TTabSheet>(pages);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  Place<TButton>(form, {420, 300, 495, 325})->SetCaption("OK");
  form->Show();
  text->SetFocus();
  // The test that started it ends it.
  Application->Run();
  return 0;
}
