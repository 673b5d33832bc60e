#include "library/grid/vgrid/cxVGridNewCategory.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGridConsts.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TfmCreateCategory, ORV_FIELD(lbCaption), ORV_FIELD(Bevel), ORV_FIELD(btOK), ORV_FIELD(btCancel),
             ORV_FIELD(edCaption))

void TfmCreateCategory::AfterConstruction() {
  inherited::AfterConstruction();
  SetCaption(cxVGridResString(cxSvgNewCategoryCaption));
  lbCaption->SetCaption(cxVGridResString(cxSvgNewCategoryLabelCaption));
  btOK->SetCaption(cxVGridResString(cxSvgOKCaption));
  btCancel->SetCaption(cxVGridResString(cxSvgCancelCaption));
  edCaption->GetProperties()->OnChange = TNotifyEvent::Bind<&TfmCreateCategory::edCaptionPropertiesChange>(this);
  UpdateOKButton();
}

void TfmCreateCategory::UpdateOKButton() { btOK->SetEnabled(!edCaption->GetText().empty()); }

void TfmCreateCategory::edCaptionPropertiesChange(TObject*) { UpdateOKButton(); }

void TfmCreateCategory::PrepareForForm(TCustomForm* AForm, TcxLookAndFeel* ALookAndFeel) {
  if (AForm) {
    GetFont()->SetName(AForm->GetFont()->GetName());
    SetLeft(std::max(0, AForm->GetLeft() + (AForm->GetWidth() - GetWidth()) / 2));
    SetTop(std::max(0, AForm->GetTop() + (AForm->GetHeight() - GetHeight()) / 2));
  }
  if (ALookAndFeel) {
    btOK->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    btCancel->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
    edCaption->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(ALookAndFeel);
  }
}

bool cxShowNewCategoryForm(TCustomForm* AForm, AnsiString& ACaption, TcxLookAndFeel* ALookAndFeel) {
  TOwned<TfmCreateCategory> dialog(New<TfmCreateCategory>(AForm));
  dialog->edCaption->SetText(ACaption);
  dialog->UpdateOKButton();
  dialog->PrepareForForm(AForm, ALookAndFeel);
  if (dialog->ShowModal() != mrOk) return false;
  ACaption = dialog->edCaption->GetText();
  return true;
}
