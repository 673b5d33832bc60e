// The about box: the program's name, what it is, its version and a small
// picture. The main window sets the version and shows it modally. The
// layout is "taboutdialog.layout".
#pragma once

#include "library/foundation/cxButtons.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"

class TAboutDialog : public TForm {
  ORV_CLASS(TAboutDialog, TForm)
 public:
  using TForm::TForm;

 protected:
  // Draws the picture when the box is first shown: it is made with the
  // program, and most runs never show it.
  void DoShow() override;

 public:

  TLabel* Label2 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* VersionLabel = nullptr;
  TcxButton* cxButton1 = nullptr;
  TLabel* LibraryLabel = nullptr;
  TLabel* DescriptionLabel = nullptr;
  TImage* Picture = nullptr;
};
