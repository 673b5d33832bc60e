// The input side of an editing control. The control controller owns the
// focus position (focused item, focused record through the data
// controller), turns keys, clicks and focus changes into opening and
// closing the in-place editor, runs incremental search and hands cell
// movement to its cell navigator; the hit test keeps what lies under the
// last point tested and feeds the hot-track controller.
#pragma once

#include <cstdint>

#include "library/grid/container/cxInplaceContainerEditing.h"
#include "platform/rtl/Sets.h"

class TcxCustomCellNavigator;
class TcxCustomHitTestController;

ORV_ENUM(TcxDragSizingDirection, dsdHorz, dsdVert)

// A drag inside an editing control whose image must leave the screen
// while the control paints under it (cxInplaceContainerDragAndDrop).
class TcxCustomControlDragAndDropObject;

// ---------------------------------------------------------------------------
class TcxCustomHitTestController : public TObject {
  ORV_CLASS(TcxCustomHitTestController, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomControlController*)>;
  explicit TcxCustomHitTestController(TcxCustomControlController* AOwner) : FOwner(AOwner) {}

  // Recalculates for that mouse event and answers that the designer takes
  // no mouse events here.
  virtual bool AllowDesignMouseEvents(Integer X, Integer Y, TShiftState AShift);
  virtual void DoCalculate();
  virtual TCursor GetCurrentCursor() { return crDefault; }
  virtual void HitCodeChanged(std::uint64_t) {}
  virtual void HitTestItemChanged(TObject*) {}

  void ReCalculate();
  void ReCalculate(const TPoint& P);
  void RecalculateOnMouseEvent(Integer X, Integer Y, TShiftState AShift);
  void ClearState();
  void DestroyingItem(TObject* AItem);

  TPoint GetHitPoint() const { return FHitPoint; }
  void SetHitPoint(const TPoint& P) { ReCalculate(P); }
  Integer GetCoordinate(Integer AIndex) const { return AIndex == 0 ? FHitPoint.X : FHitPoint.Y; }
  void SetCoordinate(Integer AIndex, Integer Value);
  TObject* GetHitTestItem() const { return FHitTestItem; }
  void SetHitTestItem(TObject* AItem);
  bool IsItemEditCell() const;
  TcxEditCellViewInfo* GetEditCellViewInfo() const;
  bool IsMouseEvent() const { return GetHasCode(MouseEventCode); }
  bool GetHasCode(std::uint64_t ACode) const { return (FHitCode & ACode) != 0; }
  void SetHasCode(std::uint64_t ACode, bool AValue);
  std::uint64_t GetHitCode() const { return FHitCode; }
  TShiftState GetShift() const { return FShift; }
  TcxCustomControlController* GetOwner() const { return FOwner; }
  TcxEditingControl* GetControl() const;

  static constexpr std::uint64_t MouseEventCode = 1;

 private:
  TcxCustomControlController* FOwner;
  TPoint FHitPoint{-1, -1};
  TObject* FHitTestItem = nullptr;
  TShiftState FShift;
  std::uint64_t FHitCode = 0;
};

using TcxCustomHitTestControllerClass = TClassRef<TcxCustomHitTestController>;

// ---------------------------------------------------------------------------
// Rows numbered 0 .. row count - 1, each with GetCount(row) cells.
class TcxCustomCellNavigator : public TObject {
  ORV_CLASS(TcxCustomCellNavigator, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomControlController*)>;
  explicit TcxCustomCellNavigator(TcxCustomControlController* AController) : FController(AController) {}

  // The item found (R and K moved to it), or null.
  virtual TcxCustomInplaceEditContainer* SelectCell(bool AForward, bool AByRows, Integer& ARowIndex,
                                                    Integer& ACellIndex);
  // What a descendant supplies; here they raise the abstract-method error.
  virtual void CalcNextRow(bool AForward, Integer& ARowIndex, Integer& ACellIndex);
  virtual TcxCustomInplaceEditContainer* GetCellContainer(Integer ARowIndex, Integer ACellIndex);
  virtual Integer GetCount(Integer ARowIndex);
  virtual void Init(Integer& ARowIndex, Integer& ACellIndex, Integer& ARowCount);
  virtual bool MayFocusedEmptyRow(Integer) { return false; }
  virtual void SetFocusCell(Integer ARowIndex, Integer ACellIndex, TShiftState AShift);
  // The cell SelectCell found, before it is checked and focused.
  virtual void CheckSelectedCell(Integer, Integer&) {}
  virtual void DoKeyPress(char& Key);

  virtual void FocusNextCell(bool AForward, bool AByRows, TShiftState AShift);
  virtual void KeyDown(Word& Key, TShiftState AShift);
  virtual void KeyPress(char& Key);
  virtual void Refresh() {}

  TcxCustomControlController* GetController() const { return FController; }
  Integer GetRowCount() const { return FRowCount; }
  bool EatKeyPress = false;
  bool DownOnEnter = false;
  bool DownOnTab = false;

 protected:
  Integer FRowCount = 0;

 private:
  TcxCustomControlController* FController;
};

using TcxCustomCellNavigatorClass = TClassRef<TcxCustomCellNavigator>;

// ---------------------------------------------------------------------------
class TcxCustomControlController : public TObject {
  ORV_CLASS(TcxCustomControlController, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*)>;
  explicit TcxCustomControlController(TcxEditingControl* AEditingControl);
  // The collaborators come from class factories.
  void AfterConstruction() override;
  ~TcxCustomControlController() override;

  // ---- Hooks, in the order descendants meet them ----
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void DoCancelMode();
  virtual void AfterPaint();
  virtual void BeforeEditKeyDown(Word&, TShiftState) {}
  virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void BeforePaint();
  virtual void BeforeShowEdit() {}
  virtual void BehaviorChanged();
  virtual bool CanFocusedRecordIndex(Integer) { return true; }
  virtual void CheckEdit();
  virtual void DoEditDblClick(TObject* Sender);
  virtual void DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void DoMouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void DoNextPage(bool, TShiftState) {}
  virtual TcxEditCellViewInfo* GetEditingViewInfo();
  virtual bool GetFocused() { return FFocused; }
  virtual TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AEditContainer);
  virtual Integer GetFocusedRecordIndex();
  virtual TcxDragSizingDirection GetResizeDirection() { return dsdHorz; }
  virtual void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevFocusedItem);
  virtual void FocusedRecordChanged(Integer APrevFocusedRowIndex, Integer AFocusedRowIndex);
  virtual bool HasFocusedControls();
  virtual void HideHint();
  virtual Word IncSearchKeyDown(Word AKey, TShiftState AShift);
  virtual bool IsImmediatePost() { return false; }
  virtual bool IsKeyForController(Word AKey, TShiftState AShift);
  virtual void RefreshFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem);
  virtual void RefreshFocusedRecord();
  virtual void SetFocused(bool Value);
  virtual void SetFocusedItem(TcxCustomInplaceEditContainer* Value);
  virtual void SetFocusedRecordIndex(Integer Value);
  virtual bool GetAlwaysShowEditor();
  virtual bool GetCancelEditingOnExit();
  virtual bool GetFocusCellOnCycle();
  virtual bool GetGoToNextCellOnEnter();
  virtual bool GetGoToNextCellOnTab();
  virtual bool GetImmediateEditor();
  virtual void BeforeStartDrag() {}
  virtual bool CanDrag(Integer, Integer) { return false; }
  virtual void DragDrop(TObject*, Integer, Integer) {}
  virtual void DragOver(TObject* Source, Integer X, Integer Y, bool& Accept);
  virtual void EndDrag(TObject* Target, Integer X, Integer Y);
  virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass() { return nullptr; }
  virtual bool GetIsDragging() { return false; }
  virtual TcxCustomCellNavigatorClass GetNavigatorClass();
  virtual void StartDrag(TDragObject*&) {}
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() { return mwskNone; }
  virtual bool IsPixelScrollBar(TScrollBarKind) { return false; }
  virtual void DoEnter() {}
  virtual void DoExit();
  virtual bool MayFocus();
  virtual void FocusChanged();
  virtual void RemoveFocus() {}
  virtual void SetFocus();
  virtual void CancelIncSearching();
  virtual TcxCustomInplaceEditContainer* GetIncSearchingItem();
  virtual AnsiString GetIncSearchingText();
  virtual bool GetIsIncSearching();
  virtual void SearchLocate(TcxCustomInplaceEditContainer* AItem, const AnsiString& AText);
  virtual void SearchLocateNext(TcxCustomInplaceEditContainer* AItem, bool AForward);
  virtual void UpdateRecord(Integer) {}
  virtual void Clear();
  virtual void ControlFocusChanged();
  virtual void DblClick() {}
  virtual TCursor GetCursor(Integer, Integer) { return crDefault; }
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word&, TShiftState) {}
  virtual void MouseDown(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void MouseMove(TShiftState, Integer, Integer) {}
  virtual void MouseUp(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void WndProc(TMessage& Message);
  virtual void BeginDragAndDrop();
  virtual void DragAndDrop(const TPoint&, bool&) {}
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool StartDragAndDrop(const TPoint&) { return false; }
  virtual void InitScrollBarsParameters() {}
  virtual void Scroll(TScrollBarKind, TScrollCode, Integer&) {}
  virtual void SetFocusedRecordItem(Integer ARecordIndex, TcxCustomInplaceEditContainer* AItem);
  virtual void MakeFocusedItemVisible();
  virtual void MakeFocusedRecordVisible();

  // ---- Focus and editing ----
  TcxCustomInplaceEditContainer* GetFocusedItem() const { return FFocusedItem; }
  TcxCustomInplaceEditContainer* GetEditingItem();
  void SetEditingItem(TcxCustomInplaceEditContainer* Value);
  bool GetIsEditing();
  void PostCheckEdit();
  void ProcessCheckEditPost();
  void CancelCheckEditPost() { FCheckEditNeeded = false; }
  void PostShowEdit();
  // The editor is placed again, the hit test and hot tracking start over.
  void Reset();
  // An item left the control: nothing here may keep it.
  void ItemRemoved(TcxCustomInplaceEditContainer* AItem);
  TcxCustomInplaceEditContainer* GetItemForIncSearching();
  void SetIncSearchingText(const AnsiString& AText);
  void SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin, Integer AMax, Integer AStep, Integer APage,
                        Integer APos, bool AAllowShow, bool AAllowHide);
  TcxCustomControlDragAndDropObject* GetDragAndDropObject();

  // ---- Collaborators and state ----
  TcxEditingControl* GetEditingControl() const { return FEditingControl; }
  TcxEditingController* GetEditingController() const { return FEditingController; }
  TcxCustomHitTestController* GetHitTestController() const { return FHitTestController; }
  TcxHotTrackController* GetHotTrackController() const { return FHotTrackController; }
  TcxCustomCellNavigator* GetNavigator() const { return FNavigator; }
  TcxCustomDesignSelectionHelper* GetDesignSelectionHelper() const;
  bool GetAllowCheckEdit() const { return FAllowCheckEdit; }
  void SetAllowCheckEdit(bool Value) { FAllowCheckEdit = Value; }
  bool GetEditingBeforeMouseDown() const { return FEditingBeforeMouseDown; }
  bool GetWasEditing() const { return FWasEditing; }
  void SetWasEditing(bool Value) { FWasEditing = Value; }

  // Set by the editing controller while it hands Enter from an open
  // editor to KeyDown: search and the navigator are skipped.
  bool EditorKeyForwarding = false;
  // Set by the control around a key-down of Escape and around the cancel
  // mode message.
  bool EscapePressed = false;
  bool CancelMode = false;
  // Set by a key-down that swallows the character of the same press;
  // the next key-down clears it.
  bool EatKeyPress = false;
  bool MousePressed = false;
  TObject* DragItem = nullptr;

 protected:
  TcxCustomDataController* GetDataController();
  IcxEditingControlOptions* GetOptions();

 private:
  TcxEditingControl* FEditingControl;
  TcxEditingController* FEditingController = nullptr;
  TcxCustomHitTestController* FHitTestController = nullptr;
  TcxHotTrackController* FHotTrackController = nullptr;
  TcxCustomCellNavigator* FNavigator = nullptr;
  TcxCustomInplaceEditContainer* FFocusedItem = nullptr;
  bool FFocused = false;
  bool FAllowCheckEdit = true;
  bool FCheckEditNeeded = false;
  bool FSameCellRefocused = false;
  bool FEditingBeforeMouseDown = false;
  bool FDoubleClick = false;
  bool FShowEditOnMouseUp = false;
  bool FWasEditing = false;
  bool FInSetFocusedRecordItem = false;
};

using TcxCustomControlControllerClass = TClassRef<TcxCustomControlController>;
