// The parameter details dialog: one definition's type, bounds, default and
// long description. It has no behaviour of its own; the main window fills
// it and shows it modally. The layout is "tparameterinfodlg.layout".
#pragma once

#include "library/foundation/cxButtons.h"
#include "platform/controls/Memo.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"

class TParameterInfoDlg : public TForm {
  ORV_CLASS(TParameterInfoDlg, TForm)
 public:
  using TForm::TForm;

  TcxButton* cxOkButton = nullptr;
  TMemo* LongDescriptionMemo = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* ParameterTypeLabel = nullptr;
  TLabel* MinValueLabel = nullptr;
  TLabel* MaxValueLabel = nullptr;
  TLabel* DefaultValueLabel = nullptr;
};
