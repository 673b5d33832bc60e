// The list box of customization dialogs, whose items are dragged out.
#include "library/foundation/cxControls.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/WindowStyles.h"

using namespace win;

ORV_REGISTER(TcxCustomizeListBox)

TObject* TcxCustomizeListBox::ItemObject(Integer AIndex) {
  return AIndex >= 0 && AIndex < GetCount() ? GetItems()->GetObject(AIndex) : nullptr;
}

TObject* TcxCustomizeListBox::GetItemObject() { return ItemObject(GetItemIndex()); }

void TcxCustomizeListBox::SetItemObject(TObject* Value) {
  if (GetItemObject() == Value) return;
  SetItemIndex(GetItems()->IndexOfObject(Value));
  Click();
}

TObject* TcxCustomizeListBox::GetDragAndDropItemObject() { return ItemObject(FDragAndDropItemIndex); }

void TcxCustomizeListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  // Items are drawn across the whole width: a wider list repaints them.
  Params.WindowClass.style |= CS_HREDRAW;
}

void TcxCustomizeListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      // While an item is pressed for a drag, the list's own tracking would
      // move the selection along with the mouse.
      if (FDragAndDropItemIndex != -1) {
        MouseMove(KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        return;
      }
      break;
    case WM_CANCELMODE:
      FDragAndDropItemIndex = -1;
      break;
    default:
      break;
  }
  inherited::WndProc(Message);
}

void TcxCustomizeListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  const Integer index = GetItemIndex();
  if (Button == mbLeft && index != -1 && ItemAtPos(TPoint{X, Y}, true) == index && ItemObject(index)) {
    FDragAndDropItemIndex = index;
    FMouseDownPos = {X, Y};
  }
}

void TcxCustomizeListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FDragAndDropItemIndex == -1) return;
  if (IsPointInDragDetectArea(FMouseDownPos, X, Y) && ItemAtPos(TPoint{X, Y}, true) == FDragAndDropItemIndex) return;
  // The drag may run a loop of its own, in which the list may go.
  TcxObjectLink* link = cxAddObjectLink(this);
  struct Release {
    TcxObjectLink* L;
    ~Release() { cxRemoveObjectLink(L); }
  } release{link};
  SetItemIndex(FDragAndDropItemIndex);
  BeginDragAndDrop();
  if (link->Ref) FDragAndDropItemIndex = -1;
}

// The item dragged is the item at ItemIndex: in a multiple selection it
// becomes the only one selected, drawn once.
void TcxCustomizeListBox::BeginDragAndDrop() {
  if (!GetMultiSelect()) return;
  GetItems()->BeginUpdate();
  auto done = orv::ScopeExit([this] { GetItems()->EndUpdate(); });
  SelectOnly(GetItemIndex());
}

void TcxCustomizeListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FDragAndDropItemIndex = -1;
  inherited::MouseUp(Button, Shift, X, Y);
}
