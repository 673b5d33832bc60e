// The in-place editor of an editing control: the editing controller takes
// the editor for the item's properties from the pool, lays it over the
// focused cell, loads the value, routes the editor's events to itself,
// posts the edited value into the item and closes the editor with or
// without acceptance; its timer opens the editor on a second click. The
// hot-track controller follows the element under the mouse and shows cell
// hints.
#pragma once

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "library/grid/container/cxInplaceContainerViewInfo.h"
#include "platform/forms/Hints.h"

class TcxCustomControlController;

// Where an editor whose cell is out of sight is parked.
inline constexpr Integer cxInvisibleEditLeft = 30000;

class TcxEditingController : public TObject {
  ORV_CLASS(TcxEditingController, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomControlController*)>;
  explicit TcxEditingController(TcxCustomControlController* AController);
  ~TcxEditingController() override;

  virtual void AfterViewInfoCalculate();
  virtual void BeforeViewInfoCalculate();
  virtual bool CanRemoveEditFocus();
  virtual void AssignEditEvents();
  virtual void UnassignEditEvents();
  virtual bool GetHideEditOnExit();
  virtual bool GetHideEditOnFocusedRecordChange();
  virtual void InitEdit();
  virtual bool PrepareEdit(TcxCustomInplaceEditContainer* AItem, bool AIsMouseEvent);
  virtual void EditAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditChanged(TObject* Sender);
  virtual void EditDblClick(TObject* Sender);
  virtual void EditEditing(TObject* Sender, bool& CanEdit);
  virtual void EditEnter(TObject* Sender);
  virtual void EditExit(TObject* Sender);
  virtual void EditFocusChanged(TObject*) {}
  virtual void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditKeyPress(TObject* Sender, char& Key);
  virtual void EditKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditPostEditValue(TObject* Sender);
  virtual void EditValueChanged(TObject* Sender);
  // Closes the editor; with acceptance the value is validated and posted,
  // and an invalid value keeps the editor open (a silent abort).
  virtual void HideEdit(bool Accept);
  // The pool forgets the editor of those properties.
  virtual void RemoveEdit(TcxCustomEditProperties* AProperties);

  // Opens the editor over the focused cell of AItem (null: the focused
  // item), plainly, with a key typed into it, or with the click passed on.
  void ShowEdit(TcxCustomInplaceEditContainer* AItem = nullptr);
  void ShowEdit(TcxCustomInplaceEditContainer* AItem, char Key);
  void ShowEdit(TcxCustomInplaceEditContainer* AItem, TShiftState Shift, Integer X, Integer Y);
  void UpdateEdit();
  void UpdateEditValue();
  void UpdateValue();
  // The editor is placed again just before the next paint.
  void PostEditUpdate() { FEditUpdateNeeded = true; }
  void CancelEditUpdatePost() { FEditUpdateNeeded = false; }
  void CheckEditUpdatePost();
  void StartEditShowingTimer(TcxCustomInplaceEditContainer* AItem);
  void StopEditShowingTimer();
  void SetEditingItem(TcxCustomInplaceEditContainer* AItem);
  // An item left the control: its editor goes without posting, and a
  // pending show for it is dropped.
  void ItemRemoved(TcxCustomInplaceEditContainer* AItem);

  TcxCustomEdit* GetEdit() const { return FEdit; }
  TcxCustomInplaceEditContainer* GetEditingItem() const { return FEditingItem; }
  bool GetIsEditing() const { return FEditingItem != nullptr; }
  TcxCustomEditProperties* GetEditingProperties();
  TcxEditingControl* GetEditingControl() const;
  TcxCustomControlController* GetController() const { return FController; }
  bool GetIsDragging();
  bool GetEditHiding() const { return FEditHiding; }
  bool GetEditPreparing() const { return FEditPreparing; }
  bool GetEditingItemSetting() const { return FEditingItemSetting; }
  TcxTimer* GetEditShowingTimer() const { return FEditShowingTimer; }
  TcxInplaceEditList* GetEditList() const { return FEditList; }

 protected:
  void DoUpdateEdit();
  void HideInplaceEditor();

 private:
  void EditShowingTimerHandler(TObject* Sender);
  // The editor went with the window it was placed on: nothing of it may
  // be touched again.
  void EditFreed(TComponent* Sender);
  void SetEdit(TcxCustomEdit* Value);

  TcxCustomControlController* FController;
  TcxFreeNotificator* FFreeNotificator = nullptr;
  TcxCustomEdit* FEdit = nullptr;
  bool FEditHiding = false;
  TcxCustomInplaceEditContainer* FEditingItem = nullptr;
  bool FEditingItemSetting = false;
  TcxInplaceEditList* FEditList = nullptr;
  bool FEditPreparing = false;
  TcxTimer* FEditShowingTimer = nullptr;
  TcxCustomInplaceEditContainer* FEditShowingTimerItem = nullptr;
  bool FEditUpdateNeeded = false;
  bool FEditEditingCheck = false;
  bool FEditPlaced = false;
  TcxCustomEditProperties* FSavedHandlersProperties = nullptr;
  TNotifyEvent FSavedOnChange;
  TNotifyEvent FSavedOnEditValueChanged;
};

using TcxEditingControllerClass = TClassRef<TcxEditingController>;

// ---------------------------------------------------------------------------
class TcxHotTrackController : public TObject {
  ORV_CLASS(TcxHotTrackController, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*)>;
  explicit TcxHotTrackController(TcxEditingControl* AControl);
  void AfterConstruction() override;
  ~TcxHotTrackController() override;

  void SetHotElement(TObject* AElement, const TPoint& P);
  void CancelHint();
  void Clear();
  void CheckDestroyingElement(TObject* AElement);

  TObject* GetHotElement() const { return FHotElement; }
  TObject* GetHintElement() const { return FHintElement; }
  bool GetHintVisible() const { return FHintVisible; }
  const AnsiString& GetHintText() const { return FHintText; }
  THintWindow* GetHintWindow() const { return FHintWindow; }
  TcxTimer* GetTimer() const { return FTimer; }

  // Set before each SetHotElement by the hit test, from the control's
  // CellHints option.
  bool ShowHint = false;

 protected:
  virtual void DoHideHint() {}
  virtual void DoShowHint() {}
  bool CanShowHint();
  bool HintNeeded();
  void InternalShowHint();
  void InternalHideHint();
  void ResetTimer();

 private:
  void TimerHandler(TObject* Sender);
  void CheckHintClass();
  Integer CursorOffset();

  TcxEditingControl* FControl;
  AnsiString FHintText;
  bool FHintIsMultiLine = false;
  TcxTimer* FTimer = nullptr;
  TRect FHintRect{};
  bool FHintVisible = false;
  TObject* FHintElement = nullptr;
  THintWindow* FHintWindow = nullptr;
  TPoint FHotPoint{-1, -1};
  TObject* FHotElement = nullptr;
  bool FTimerShows = true;
};

using TcxHotTrackControllerClass = TClassRef<TcxHotTrackController>;
