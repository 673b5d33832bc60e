// The small settings objects of an editing control: the owned-persistent
// bases that options and bindings derive from, the control's view, data
// and behavior options, the interface through which every collaborator
// reads them, and the design-time selection hook.
#pragma once

#include "library/foundation/cxControls.h"
#include "platform/rtl/Collection.h"

class TcxEditingControl;
class TcxCustomInplaceEditContainer;
class TcxControlOptionsBehavior;
class TcxControlOptionsData;
class TcxControlOptionsView;
class TcxCustomControlController;

ORV_ENUM(TcxEditingControlEditShowButtons, ecsbAlways, ecsbFocused, ecsbNever)

// The one way a collaborator of an editing control reads its options.
class IcxEditingControlOptions {
 public:
  virtual ~IcxEditingControlOptions() = default;
  virtual TcxControlOptionsBehavior* GetOptionsBehavior() = 0;
  virtual TcxControlOptionsData* GetOptionsData() = 0;
  virtual TcxControlOptionsView* GetOptionsView() = 0;
};
ORV_INTERFACE(IcxEditingControlOptions, "{9B0C2D61-5E4A-4C3B-A6E1-7D1F3C2B8A40}")

// A settings object that knows what it belongs to: GetOwner answers the
// owner given to the constructor, which is how options and bindings find
// their control or item.
class TcxOwnedPersistent : public TPersistent {
  ORV_CLASS(TcxOwnedPersistent, TPersistent)
 public:
  explicit TcxOwnedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};

using TcxOwnedPersistentClass = TClassRef<TcxOwnedPersistent>;

// The same, offering interfaces without reference counting.
class TcxOwnedInterfacedPersistent : public TcxOwnedPersistent {
  ORV_CLASS(TcxOwnedInterfacedPersistent, TcxOwnedPersistent)
 public:
  explicit TcxOwnedInterfacedPersistent(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  Integer _AddRef() { return -1; }
  Integer _Release() { return -1; }
};

// A collection item offering interfaces; its lifetime is its collection's,
// so the counting calls count nothing, with or without an owner.
class TcxInterfacedCollectionItem : public TCollectionItem {
  ORV_CLASS(TcxInterfacedCollectionItem, TCollectionItem)
 public:
  explicit TcxInterfacedCollectionItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  Integer _AddRef() { return -1; }
  Integer _Release() { return -1; }
};

// A design environment's selection helper. No environment registers one
// here, so a control never makes one; the hooks stay for descendants.
class TcxCustomDesignSelectionHelper : public TObject {
  ORV_CLASS(TcxCustomDesignSelectionHelper, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*)>;
  explicit TcxCustomDesignSelectionHelper(TcxEditingControl* AControl) : FControl(AControl) {}
  // What a designer supplies; here they raise the abstract-method error.
  virtual bool IsObjectSelected(TPersistent* AObject);
  virtual void Select(TPersistent* AObject, TShiftState AShift);
  virtual void UnselectObject(TPersistent* AObject);
  TcxEditingControl* GetControl() const { return FControl; }
  TcxCustomControlController* GetController() const;

 private:
  TcxEditingControl* FControl;
};

using TcxCustomDesignSelectionHelperClass = TClassRef<TcxCustomDesignSelectionHelper>;

// The class a design environment registers; null here.
extern TcxCustomDesignSelectionHelperClass cxDesignSelectionHelperClass;

// ---------------------------------------------------------------------------
// The control's options. Every setter compares, stores and calls Changed.

class TcxControlOptionsView : public TcxOwnedPersistent {
  ORV_CLASS(TcxControlOptionsView, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsView(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  TcxEditingControl* GetEditingControl();

  bool GetCellAutoHeight() const { return FCellAutoHeight; }
  void SetCellAutoHeight(bool Value);
  bool GetCellEndEllipsis() const { return FCellEndEllipsis; }
  void SetCellEndEllipsis(bool Value);
  Integer GetCellTextMaxLineCount() const { return FCellTextMaxLineCount; }
  void SetCellTextMaxLineCount(Integer Value);
  // The control's own scroll bars, not a copy.
  TScrollStyle GetScrollBars();
  void SetScrollBars(TScrollStyle Value);
  TcxEditingControlEditShowButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxEditingControlEditShowButtons Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  // The layout depends on every view option.
  virtual void Changed();

 private:
  bool FCellAutoHeight = false;
  bool FCellEndEllipsis = false;
  Integer FCellTextMaxLineCount = 0;
  TcxEditingControlEditShowButtons FShowEditButtons = ecsbNever;
};

class TcxControlOptionsData : public TcxOwnedPersistent {
  ORV_CLASS(TcxControlOptionsData, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsData(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  TcxEditingControl* GetEditingControl();

  bool GetCancelOnExit() const { return FCancelOnExit; }
  void SetCancelOnExit(bool Value) { FCancelOnExit = Value; }
  bool GetEditing() const { return FEditing; }
  // Turning editing off closes an open editor.
  void SetEditing(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void Changed() {}

 private:
  bool FCancelOnExit = true;
  bool FEditing = true;
};

class TcxControlOptionsBehavior : public TcxOwnedPersistent {
  ORV_CLASS(TcxControlOptionsBehavior, TcxOwnedPersistent)
 public:
  explicit TcxControlOptionsBehavior(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  TcxEditingControl* GetEditingControl();

  bool GetAlwaysShowEditor() const { return FAlwaysShowEditor; }
  void SetAlwaysShowEditor(bool Value);
  bool GetCellHints() const { return FCellHints; }
  void SetCellHints(bool Value);
  // Whether drags of the control show images; descendants publish it.
  bool GetDragDropImages() const { return FDragDropImages; }
  void SetDragDropImages(bool Value) { FDragDropImages = Value; }
  bool GetFocusCellOnCycle() const { return FFocusCellOnCycle; }
  void SetFocusCellOnCycle(bool Value);
  bool GetFocusFirstCellOnNewRecord() const { return FFocusFirstCellOnNewRecord; }
  void SetFocusFirstCellOnNewRecord(bool Value);
  bool GetGoToNextCellOnEnter() const { return FGoToNextCellOnEnter; }
  void SetGoToNextCellOnEnter(bool Value);
  bool GetGoToNextCellOnTab() const { return FGoToNextCellOnTab; }
  // Also lets the control's window receive Tab, or not.
  void SetGoToNextCellOnTab(bool Value);
  bool GetImmediateEditor() const { return FImmediateEditor; }
  void SetImmediateEditor(bool Value);
  bool GetIncSearch() const { return FIncSearch; }
  // Off, it ends a search in progress.
  void SetIncSearch(bool Value);
  TcxCustomInplaceEditContainer* GetIncSearchItem() const { return FIncSearchItem; }
  void SetIncSearchItem(TcxCustomInplaceEditContainer* Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void Changed();
  bool FDragDropImages = false;

 private:
  bool FAlwaysShowEditor = false;
  bool FCellHints = false;
  bool FFocusCellOnCycle = false;
  bool FFocusFirstCellOnNewRecord = false;
  bool FGoToNextCellOnEnter = false;
  bool FGoToNextCellOnTab = false;
  bool FImmediateEditor = true;
  bool FIncSearch = false;
  TcxCustomInplaceEditContainer* FIncSearchItem = nullptr;
};

using TcxControlOptionsViewClass = TClassRef<TcxControlOptionsView>;
using TcxControlOptionsDataClass = TClassRef<TcxControlOptionsData>;
using TcxControlOptionsBehaviorClass = TClassRef<TcxControlOptionsBehavior>;
