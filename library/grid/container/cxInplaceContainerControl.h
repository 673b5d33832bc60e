// The editing control: the abstract base of every control that shows items
// over the records of a data controller with at most one in-place editor
// open. It owns its collaborators, each made through a class factory that
// a descendant replaces, brackets bulk changes with a counted update lock,
// lays out once per change, and hands every mouse, key, focus, scroll and
// drag message to its controller. TcxExtEditingControl adds the view, data
// and behavior options.
#pragma once

#include <vector>

#include "library/grid/container/cxInplaceContainerController.h"

using TcxecEditEvent = Event<void(TObject* Sender, TcxCustomInplaceEditContainer* AItem)>;
using TcxecInitEditEvent = Event<void(TObject* Sender, TcxCustomInplaceEditContainer* AItem, TcxCustomEdit* AEdit)>;

class TcxDragImageHelper;

class TcxEditingControl : public TcxControl, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxEditingControl, TcxControl)
 public:
  explicit TcxEditingControl(TComponent* AOwner);
  // The collaborators come from class factories.
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TcxEditingControl() override;

  void BeginUpdate() { DoBeginUpdate(); }
  void EndUpdate() { DoEndUpdate(); }
  // Releases one lock level without a layout change.
  void CancelUpdate();
  // Recalculates the view info unless locked; locked, it only marks it.
  void LayoutChanged();
  void UpdateViewStyles();
  void UpdateIndexes();
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

  // ---- Hooks, in the order descendants meet them ----
  virtual void AfterLayoutChanged() {}
  virtual void BeforeUpdate() {}
  virtual void CheckCreateDesignSelectionHelper();
  virtual void CreateSubClasses();
  virtual void ControlUpdateData(TcxUpdateControlInfo* AInfo);
  // The values of AItem changed (null: of no item named, or of several):
  // the item drops what it keeps of its properties and edit data, and
  // without an item every item does. Of the other items only the edit
  // data can depend on AItem's values (kept from an activation, for the
  // properties a handler chose then), so a change named to one item also
  // refreshes the items holding edit data whose properties a handler may
  // choose (IsRecordDependent); the rest ask their handlers anew whenever
  // a cell is laid out.
  virtual void DataChanged(TcxCustomInplaceEditContainer* AItem);
  virtual void DataLayoutChanged();
  virtual void DestroySubClasses();
  virtual void DoBeginUpdate();
  virtual void DoEndUpdate();
  virtual void DoEditChanged(TcxCustomInplaceEditContainer* AItem);
  // The edited, editing and edit-value-changed events are a descendant's,
  // typed by what its items are (the vertical grid's rows); here nothing
  // is raised and editing is allowed.
  virtual void DoEdited(TcxCustomInplaceEditContainer*) {}
  virtual bool DoEditing(TcxCustomInplaceEditContainer*) { return true; }
  virtual void DoEditValueChanged(TcxCustomInplaceEditContainer*) {}
  // Whether a handler may refuse editing per record.
  virtual bool HasEditingHandler() { return false; }
  virtual void DoInitEdit(TcxCustomInplaceEditContainer* AItem, TcxCustomEdit* AEdit);
  virtual void DoInplaceEditContainerItemAdded(TcxCustomInplaceEditContainer* AItem);
  virtual void DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* AItem);
  virtual void DoLayoutChanged();
  virtual TcxCustomControlControllerClass GetControllerClass();
  virtual TcxCustomControlStylesClass GetControlStylesClass();
  virtual TcxCustomDataControllerClass GetDataControllerClass();
  virtual TClass GetDragImageHelperClass() { return nullptr; }
  virtual TcxContainerStyleClass GetEditStyleClass();
  virtual TcxEditingControllerClass GetEditingControllerClass();
  virtual TcxCustomHitTestControllerClass GetHitTestControllerClass();
  virtual TcxHotTrackControllerClass GetHotTrackControllerClass();
  virtual TcxCustomControlViewInfoClass GetViewInfoClass();
  // The control's options; a control that offers none cannot edit.
  virtual IcxEditingControlOptions* GetOptions();
  virtual TcxCustomControlPainterClass GetPainterClass();
  virtual bool IsLocked();
  virtual void RecreateViewInfo();
  virtual void SelectionChanged(TcxUpdateControlInfo*) {}
  virtual void UpdateData();
  virtual TRect DragDropImageDisplayRect() { return cxNullRect; }
  virtual void DrawDragDropImage(TBitmap*, TcxCanvas*) {}
  virtual bool HasDragDropImages();
  // The image of a running drag between controls, and its end: the image
  // goes and the mouse hook with it.
  TcxDragImageHelper* GetDragImageHelper() const { return FDragImageHelper; }
  void FinishDragImages();

  // ---- Input as the controller hears it; public so that it can be driven
  // as the window system drives it ----
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;
  void DoExit() override;
  void FocusChanged() override;
  bool MayFocus() override;
  bool GetIsFocused() override;

  // IcxMouseTrackingCaller
  void MouseTrackingMouseLeave() override { MouseLeave(this); }

  // ---- Collaborators and state ----
  TcxCustomControlController* GetController() const { return FController; }
  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxCustomControlViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomControlPainter* GetPainter() const { return FViewInfo ? FViewInfo->GetPainter() : nullptr; }
  TcxCustomControlStyles* GetStyles() const { return FStyles; }
  void SetStyles(TcxCustomControlStyles* Value) { FStyles->Assign(Value); }
  TcxCustomEditStyle* GetEditStyle() const { return FEditStyle; }
  void SetEditStyle(TcxCustomEditStyle* Value) { FEditStyle->Assign(Value); }
  TcxBrushCache* GetBrushCache() const { return FBrushCache; }
  bool GetBufferedPaint() const;
  void SetBufferedPaint(bool Value);
  Integer GetItemCount() const { return static_cast<Integer>(FItems.size()); }
  TcxCustomInplaceEditContainer* GetItem(Integer AIndex) const { return FItems.at(AIndex); }
  // The items holding edit data (few: those whose editor was opened), told
  // by each item as it takes or drops it.
  void EditDataHeld(TcxCustomInplaceEditContainer* AItem, bool AHeld);
  Integer GetLockCount() const { return FLockCount; }
  void SetLockCount(Integer Value) { FLockCount = Value; }
  // Counts the layout changes asked for, locked or not: every item added,
  // removed or changed in its options or properties is one. What is worked
  // out from the items holds while the count stays.
  UInt64 GetLayoutChangeCount() const { return FLayoutChangeCount; }
  // An item change whose layout comes through another path (the items put
  // in a new order, say): it counts all the same, locked or not.
  void ItemsChanged() { ++FLayoutChangeCount; }
  bool GetLayoutChangedFlag() const { return FLayoutChanged; }
  void SetLayoutChangedFlag(bool Value) { FLayoutChanged = Value; }
  TPoint GetEditingMouseDownPos() const { return FMouseDownPos; }
  TcxCustomDesignSelectionHelper* GetDesignSelectionHelper() const { return FDesignSelectionHelper; }
  // The handler that draws cells in place of the control; true in its
  // last argument means done.
  TcxCustomDrawViewInfoItemEvent OnCustomDrawCell;

  TcxecEditEvent OnEditChanged;
  TcxecInitEditEvent OnInitEdit;

 protected:
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) override;
  TCursor GetCursor(Integer X, Integer Y) override;
  TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override;
  void InitControl() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void InitScrollBarsParameters() override;
  bool IsPixelScrollBar(TScrollBarKind AKind) override;
  TcxDragAndDropObjectClass GetDragAndDropObjectClass() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void BoundsChanged() override;
  void FontChanged() override;
  bool CanDrag(Integer X, Integer Y) override;
  void DoCancelMode() override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;
  bool StartDragAndDrop(const TPoint& P) override;
  bool GetDesignHitTest(Integer X, Integer Y, TShiftState Shift) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;

  void WMCancelMode(TMessage& Message);
  ORV_MESSAGE(win::WM_CANCELMODE, WMCancelMode)
  void WMSetCursor(TMessage& Message);
  ORV_MESSAGE(win::WM_SETCURSOR, WMSetCursor)

 private:
  friend class TcxCustomInplaceEditContainer;

  TcxBrushCache* FBrushCache = nullptr;
  Integer FChangesCount = 0;
  std::vector<TcxCustomInplaceEditContainer*> FItems;
  std::vector<TcxCustomInplaceEditContainer*> FEditDataHolders;
  TcxCustomDesignSelectionHelper* FDesignSelectionHelper = nullptr;
  TPoint FMouseDownPos{};
  TcxDragImageHelper* FDragImageHelper = nullptr;
  TcxCustomEditStyle* FEditStyle = nullptr;
  bool FLayoutChanged = false;
  UInt64 FLayoutChangeCount = 0;
  TcxCustomControlStyles* FStyles = nullptr;
  TcxCustomControlViewInfo* FViewInfo = nullptr;
  TcxCustomControlController* FController = nullptr;
  TcxCustomDataController* FDataController = nullptr;
  Integer FLockCount = 0;
  // Set while the focus leaves the control's window: for its own editor,
  // or for another window.
  bool FFocusMovingInside = false;
  bool FFocusLeaving = false;
};

using TcxEditingControlClass = TClassRef<TcxEditingControl>;

// ---------------------------------------------------------------------------
class TcxExtEditingControl : public TcxEditingControl, public IcxEditingControlOptions {
  ORV_CLASS(TcxExtEditingControl, TcxEditingControl)
 public:
  explicit TcxExtEditingControl(TComponent* AOwner) : TcxEditingControl(AOwner) {}

  void CreateSubClasses() override;
  void DestroySubClasses() override;
  IcxEditingControlOptions* GetOptions() override { return this; }

  virtual TcxControlOptionsBehaviorClass GetOptionsBehaviorClass();
  virtual TcxControlOptionsDataClass GetOptionsDataClass();
  virtual TcxControlOptionsViewClass GetOptionsViewClass();

  // IcxEditingControlOptions
  TcxControlOptionsBehavior* GetOptionsBehavior() override { return FOptionsBehavior; }
  TcxControlOptionsData* GetOptionsData() override { return FOptionsData; }
  TcxControlOptionsView* GetOptionsView() override { return FOptionsView; }
  void SetOptionsBehavior(TcxControlOptionsBehavior* Value) { FOptionsBehavior->Assign(Value); }
  void SetOptionsData(TcxControlOptionsData* Value) { FOptionsData->Assign(Value); }
  void SetOptionsView(TcxControlOptionsView* Value) { FOptionsView->Assign(Value); }

 private:
  TcxControlOptionsBehavior* FOptionsBehavior = nullptr;
  TcxControlOptionsData* FOptionsData = nullptr;
  TcxControlOptionsView* FOptionsView = nullptr;
};

