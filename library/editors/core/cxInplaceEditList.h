// The pool of in-place editors a grid draws on: one hidden editor per
// edit-properties class, made on first need and kept between uses, so that
// moving from cell to cell of rows with the same editor kind reuses one
// control. Each editor has its own properties object; handing an editor
// out for a row copies that row's settings into it.
#pragma once

#include <vector>

#include "platform/rtl/Object.h"

class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxFreeNotificator;
class TComponent;

class TcxInplaceEditList : public TObject {
  ORV_CLASS(TcxInplaceEditList, TObject)
 public:
  TcxInplaceEditList();
  // Frees every editor.
  ~TcxInplaceEditList() override;

  // The editor for the class of AProperties, emptied of the last row's
  // value, with AProperties' settings copied into its own properties.
  // Neither raises a change event.
  TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
  // The editor for exactly that properties class (not a descendant's),
  // made when missing; its properties stay as they are. Null when the
  // class names no editor.
  TcxCustomEdit* GetEdit(TClass APropertiesClass);

  // Frees the editor of AProperties' class; nothing when there is none.
  void RemoveItem(TcxCustomEditProperties* AProperties);
  // Frees the editor at AIndex; -1 does nothing.
  void RemoveItem(Integer AIndex);
  // Frees every editor, the last made first.
  void DestroyItems();
  // The index of the editor for exactly that class, or -1.
  Integer FindItem(TClass APropertiesClass) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }

 protected:
  // A hidden editor of the class's container class, in place and without
  // owner; null when the class names none.
  virtual TcxCustomEdit* CreateEdit(TClass APropertiesClass);

 private:
  struct Item {
    TcxCustomEdit* Edit;
    TClass PropertiesClass;
  };

  // An editor freed elsewhere (with the window it was parented to) leaves
  // the pool instead of being freed twice.
  void EditFreed(TComponent* Sender);

  std::vector<Item> FItems;
  TcxFreeNotificator* FFreeNotificator;
};
