#include "library/editors/core/cxInplaceEditList.h"

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxEditProperties.h"
#include "library/foundation/cxClasses.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxInplaceEditList)

TcxInplaceEditList::TcxInplaceEditList() : FFreeNotificator(New<TcxFreeNotificator>(nullptr)) {
  FFreeNotificator->OnFreeNotification =
      Event<void(TComponent*)>::Bind<&TcxInplaceEditList::EditFreed>(this);
}

TcxInplaceEditList::~TcxInplaceEditList() {
  DestroyItems();
  FFreeNotificator->Free();
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* AProperties) {
  TcxCustomEdit* edit = AProperties ? GetEdit(AProperties->ClassType()) : nullptr;
  if (!edit) return nullptr;
  // Copying settings is no change of the value: what the copy caught is
  // dropped, also when the copy raises.
  edit->LockChangeEvents(true);
  orv::ScopeExit unlock([edit] { edit->LockChangeEvents(false, false); });
  // The value the editor still holds is the last row's, which the new
  // settings need not fit (a decimal row's number past every integer, for
  // an integer row): it goes before they are checked against it.
  edit->SetEditValue(Null());
  edit->SetProperties(AProperties);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TClass APropertiesClass) {
  Integer index = FindItem(APropertiesClass);
  if (index != -1) return FItems[index].Edit;
  TcxCustomEdit* edit = CreateEdit(APropertiesClass);
  if (!edit) return nullptr;
  FItems.push_back({edit, APropertiesClass});
  FFreeNotificator->AddSender(edit);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::CreateEdit(TClass APropertiesClass) {
  // The container class is the answer of a properties object, so one is
  // made for the question.
  TcxCustomEditProperties* properties =
      TClassRef<TcxCustomEditProperties>(APropertiesClass).Construct<TPersistent*>(nullptr);
  TClass editClass = properties->GetContainerClass();
  properties->Free();
  if (!editClass) return nullptr;
  auto* edit = TClassRef<TcxCustomEdit>(editClass).Construct<TComponent*, bool>(nullptr, true);
  edit->SetVisible(false);
  return edit;
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* AProperties) {
  if (AProperties) RemoveItem(FindItem(AProperties->ClassType()));
}

void TcxInplaceEditList::RemoveItem(Integer AIndex) {
  if (AIndex == -1) return;
  if (AIndex < 0 || AIndex >= GetCount()) TList::Error("List index out of bounds (%d)", AIndex);
  // The entry goes first, so nothing the editor does while it dies finds
  // it in the pool.
  TcxCustomEdit* edit = FItems[AIndex].Edit;
  FItems.erase(FItems.begin() + AIndex);
  FFreeNotificator->RemoveSender(edit);
  edit->SetParent(nullptr);
  edit->Free();
}

void TcxInplaceEditList::DestroyItems() {
  for (Integer i = GetCount() - 1; i >= 0; --i) RemoveItem(i);
}

Integer TcxInplaceEditList::FindItem(TClass APropertiesClass) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i].PropertiesClass == APropertiesClass) return i;
  return -1;
}

void TcxInplaceEditList::EditFreed(TComponent* Sender) {
  std::erase_if(FItems, [Sender](const Item& AItem) { return AItem.Edit == Sender; });
}
