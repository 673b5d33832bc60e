// The vertical grid control: an editing control whose items are the edit
// containers of its rows, shown as a column of row headers beside one
// value column per record. TcxUnboundVerticalGrid keeps its values itself
// in a data controller with exactly one record, focused from creation on;
// TcxVerticalGrid publishes it. Also the grid's view, behavior and data
// options.
#pragma once

#include "library/grid/vgrid/cxVGridEditorRows.h"
#include "platform/forms/ImageList.h"

class TcxvgController;
class TcxvgCustomViewInfo;
class TcxVerticalGridStyles;
class TcxvgCustomPaintStyleCalcHelper;
class TcxVerticalGridCustomizing;

ORV_ENUM(TcxvgPaintStyle, psdotNet, psDelphi)
ORV_ENUM(TcxvgGridLines, vglNone, vglHorizontal, vglVertical, vglBoth)
ORV_ENUM(TcxvgLayoutStyle, lsBandsView, lsSingleRecordView, lsMultiRecordView)
ORV_ENUM(TcxvgUnboundLayoutStyle, ulsBandsView, ulsSingleRecordView)

// ---------------------------------------------------------------------------
// Options.

class TcxvgOptionsView : public TcxControlOptionsView {
  ORV_CLASS(TcxvgOptionsView, TcxControlOptionsView)
 public:
  explicit TcxvgOptionsView(TPersistent* AOwner) : TcxControlOptionsView(AOwner) {}
  virtual void RestoreDefaults();
  TcxCustomVerticalGrid* GetVerticalGrid();
  // Applies the header width again (after a row change or a style switch).
  void CheckRowHeaderWidth();

  bool GetAutoScaleBands() const { return FAutoScaleBands; }
  // Switching it on scrolls to the top row.
  void SetAutoScaleBands(bool Value);
  Integer GetBandsInterval() const { return FBandsInterval; }
  // Held to 0..cxvgMaxExtent.
  void SetBandsInterval(Integer Value);
  bool GetCategoryExplorerStyle() const { return FCategoryExplorerStyle; }
  void SetCategoryExplorerStyle(bool Value);
  TcxvgPaintStyle GetPaintStyle() const { return FPaintStyle; }
  // Replaces the view info and the style calculator.
  void SetPaintStyle(TcxvgPaintStyle Value);
  // clBtnFace in the dotNet style and clBtnShadow in the 3-D style until
  // set; stored only once set.
  TColor GetGridLineColor() const;
  void SetGridLineColor(TColor Value);
  bool IsGridLineColorStored() { return FGridLineColorAssigned; }
  TcxvgGridLines GetGridLines() const { return FGridLines; }
  void SetGridLines(TcxvgGridLines Value);
  Integer GetRowHeaderMinWidth() const { return FRowHeaderMinWidth; }
  // Held to 0..cxvgMaxExtent; the header width is applied again.
  void SetRowHeaderMinWidth(Integer Value);
  Integer GetRowHeaderWidth() const { return FRowHeaderWidth; }
  // Never below the view info's minimal header width or RowHeaderMinWidth;
  // outside loading, at most what leaves room for the values; never above
  // cxvgMaxExtent unless the minima are.
  void SetRowHeaderWidth(Integer Value);
  Integer GetRowHeight() const { return FRowHeight; }
  // Held to -1 (by the font)..cxvgMaxExtent.
  void SetRowHeight(Integer Value);
  bool GetShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool GetShowEmptyRowImage() const { return FShowEmptyRowImage; }
  void SetShowEmptyRowImage(bool Value);
  bool GetShowHeaders() const { return FShowHeaders; }
  void SetShowHeaders(bool Value);
  Integer GetValueMinWidth() const { return FValueMinWidth; }
  // Held to 20..cxvgMaxExtent; the value width is applied again.
  void SetValueMinWidth(Integer Value);
  Integer GetValueWidth() const { return FValueWidth; }
  // Held to ValueMinWidth..cxvgMaxExtent.
  void SetValueWidth(Integer Value);

 protected:
  // Every option through its setter, as one change of the grid.
  void DoAssign(TPersistent* Source) override;

  void Changed() override;

 private:
  bool FAutoScaleBands = true;
  Integer FBandsInterval = 2;
  bool FCategoryExplorerStyle = false;
  TcxvgPaintStyle FPaintStyle = psdotNet;
  TColor FGridLineColor = clDefault;
  bool FGridLineColorAssigned = false;
  TcxvgGridLines FGridLines = vglBoth;
  Integer FRowHeaderMinWidth = 24;
  Integer FRowHeaderWidth = 100;
  Integer FRowHeight = -1;
  bool FShowButtons = true;
  bool FShowEmptyRowImage = false;
  bool FShowHeaders = true;
  Integer FValueMinWidth = 40;
  Integer FValueWidth = 100;
};

class TcxvgMultiRecordsOptionsView : public TcxvgOptionsView {
  ORV_CLASS(TcxvgMultiRecordsOptionsView, TcxvgOptionsView)
 public:
  explicit TcxvgMultiRecordsOptionsView(TPersistent* AOwner) : TcxvgOptionsView(AOwner) {}
  void RestoreDefaults() override;
  Integer GetRecordsInterval() const { return FRecordsInterval; }
  // Held to 0..cxvgMaxExtent.
  void SetRecordsInterval(Integer Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  Integer FRecordsInterval = 0;
};

class TcxvgOptionsBehavior : public TcxControlOptionsBehavior {
  ORV_CLASS(TcxvgOptionsBehavior, TcxControlOptionsBehavior)
 public:
  explicit TcxvgOptionsBehavior(TPersistent* AOwner);
  virtual void RestoreDefaults();

  // Until set explicitly it follows the paint style: on in the 3-D style.
  void SetAlwaysShowEditor(bool Value);
  bool IsAlwaysShowEditorStored() { return FAlwaysShowEditorAssigned; }
  bool GetAlwaysShowEditorAssigned() const { return FAlwaysShowEditorAssigned; }
  // Puts the derived value in place while it was not set explicitly.
  void ApplyDerivedAlwaysShowEditor();
  bool GetBandSizing() const { return FBandSizing; }
  void SetBandSizing(bool Value);
  bool GetHeaderSizing() const { return FHeaderSizing; }
  void SetHeaderSizing(bool Value);
  bool GetRowSizing() const { return FRowSizing; }
  void SetRowSizing(bool Value);
  bool GetRowTracking() const { return FRowTracking; }
  void SetRowTracking(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void SetFlag(bool& AField, bool AValue);
  bool FAlwaysShowEditorAssigned = false;
  bool FBandSizing = true;
  bool FHeaderSizing = true;
  bool FRowSizing = false;
  bool FRowTracking = true;
};

class TcxvgMultiRecordsOptionsBehavior : public TcxvgOptionsBehavior {
  ORV_CLASS(TcxvgMultiRecordsOptionsBehavior, TcxvgOptionsBehavior)
 public:
  explicit TcxvgMultiRecordsOptionsBehavior(TPersistent* AOwner) : TcxvgOptionsBehavior(AOwner) {}
  bool GetAllowChangeRecord() const { return FAllowChangeRecord; }
  // A change relays out the grid.
  void SetAllowChangeRecord(bool Value);
  // The row of the incremental-search item.
  TcxCustomEditorRow* GetIncSearchItemRow();
  void SetIncSearchItemRow(TcxCustomEditorRow* Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FAllowChangeRecord = true;
};

class TcxvgMultiRecordsOptionsData : public TcxControlOptionsData {
  ORV_CLASS(TcxvgMultiRecordsOptionsData, TcxControlOptionsData)
 public:
  explicit TcxvgMultiRecordsOptionsData(TPersistent* AOwner) : TcxControlOptionsData(AOwner) {}
  bool GetDeleting() const { return FDeleting; }
  void SetDeleting(bool Value);
  bool GetDeletingConfirmation() const { return FDeletingConfirmation; }
  void SetDeletingConfirmation(bool Value) { FDeletingConfirmation = Value; }
  bool GetInserting() const { return FInserting; }
  void SetInserting(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  // The data-bound grid refreshes its navigators.
  void Changed() override;

 private:
  bool FDeleting = true;
  bool FDeletingConfirmation = true;
  bool FInserting = true;
};

// ---------------------------------------------------------------------------
// Events.

using TcxVerticalGridEditingEvent =
    Event<void(TObject* Sender, TcxCustomEditorRowProperties* ARowProperties, bool& Allow)>;
using TcxVerticalGridChangedEvent = Event<void(TObject* Sender, TcxCustomEditorRowProperties* ARowProperties)>;
using TcxVerticalGridItemChangedEvent =
    Event<void(TObject* Sender, TcxCustomRow* AOldRow, Integer AOldCellIndex)>;
using TcxVerticalGridDrawBackgroundEvent =
    Event<void(TObject* Sender, TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams, bool& Done)>;
using TcxVerticalGridDrawHeaderEvent =
    Event<void(TObject* Sender, TcxCanvas* ACanvas, TObject* APainter, TObject* AHeaderViewInfo, bool& Done)>;
using TcxVerticalGridDrawValueEvent =
    Event<void(TObject* Sender, TcxCanvas* ACanvas, TObject* APainter, TObject* AValueInfo, bool& Done)>;

// ---------------------------------------------------------------------------
// The grid.

class TcxCustomVerticalGrid : public TcxExtEditingControl, public IcxStoredObject, public IcxStoredParent {
  ORV_CLASS(TcxCustomVerticalGrid, TcxExtEditingControl)
 public:
  explicit TcxCustomVerticalGrid(TComponent* AOwner) : TcxExtEditingControl(AOwner) {}
  // The image link and the category font, and the bounds 200 x 150.
  void AfterConstruction() override;
  ~TcxCustomVerticalGrid() override;

  // ---- IcxStoredObject / IcxStoredParent: the stored layout ----
  AnsiString GetObjectName() override;
  bool GetProperties(TStrings* AProperties) override;
  void GetPropertyValue(const AnsiString& AName, Variant& AValue) override;
  void SetPropertyValue(const AnsiString& AName, const Variant& AValue) override;
  // Only "TcxCategoryRow": a new category with a generated name.
  TObject* CreateChild(const AnsiString& AObjectName, const AnsiString& AClassName) override;
  void DeleteChild(const AnsiString&, TObject*) override {}
  // Every row of the flat list.
  void GetStoredChildren(TStringList* AChildren) override;

  // ---- The grid's operations, in the order descendants meet them ----
  virtual TcxCustomItemDataBindingClass GetEditCellDataBindingClass();
  virtual bool CanBandSizing();
  // Raises "Can't create row" unless AClass is a category, editor or
  // multi-editor row class.
  virtual void CheckRowClass(TClass AClass);
  virtual void DoCustomizationVisibleChanged();
  virtual bool DoDrawBackgroundPart(const TRect& R, const TcxViewParams& AViewParams);
  virtual bool DoDrawRowHeader(TObject* AHeaderViewInfo);
  virtual bool DoDrawValue(TObject* AValueInfo);
  virtual void DoItemChanged(TcxCustomRow* AOldRow, Integer AOldCellIndex);
  virtual void DoLeftVisibleBandIndexChanged();
  virtual void DoLeftVisibleRecordIndexChanged();
  virtual void DoTopRowIndexChanged();
  // The focused record moved (the data-bound grid tells of it).
  virtual void DoFocusedRecordChanged(Integer, Integer) {}
  virtual TClass GetCalcHelperClass();
  // The scroll strategy of the layout style.
  virtual TClass GetScrollStrategyClass();
  virtual bool GetCellAutoHeight();
  virtual void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams);
  // Whether the content defaults asked for are the focused cell's.
  bool DefaultContentFocused = false;
  // The customization window's keeper.
  virtual TClassRef<TcxVerticalGridCustomizing> GetCustomizingClass();
  virtual TcxCustomRowClass GetEditorRowClass();
  virtual TcxCustomRowClass GetMultiEditorRowClass();
  virtual void InitDataController() {}
  // From the rows container: relayout, or only the visible rows while
  // locked.
  virtual void RowsChanged();
  virtual void UpdateDesignEditor();
  virtual void AssignRows(TcxCustomVerticalGrid* AVerticalGrid);
  virtual void RestoreDefaults();

  // ---- Rows ----
  TcxCustomRow* Add(TcxCustomRowClass ARowClass);
  // With a parent, the row ends in the parent's grid.
  TcxCustomRow* AddChild(TcxCustomRow* AParent, TcxCustomRowClass ARowClass);
  void Remove(TcxCustomRow* ARow);
  // Ends editing and focus and frees every row.
  void ClearRows();
  TcxCustomRow* FirstRow();
  TcxCustomRow* LastRow();
  TcxCustomRow* FirstVisibleRow();
  TcxCustomRow* LastVisibleRow();
  TcxCustomRow* NextRow(TcxCustomRow* ARow);
  TcxCustomRow* PrevRow(TcxCustomRow* ARow);
  TcxCustomRow* NextVisibleRow(TcxCustomRow* ARow);
  TcxCustomRow* PrevVisibleRow(TcxCustomRow* ARow);
  bool HasRows() const;
  bool HasVisibleRows() { return FirstVisibleRow() != nullptr; }
  // Visible, with every ancestor up to the root expanded and visible.
  bool IsRowVisible(const TcxCustomRow* ARow) const;
  void FullExpand();
  void FullCollapse();
  // Case-insensitive (ASCII); a multi-editor row by any editor's caption.
  TcxCustomRow* RowByCaption(const AnsiString& ACaption);
  TcxCustomRow* RowByName(const AnsiString& AName);
  TcxVerticalGridRows* GetRows() const { return FRows; }
  TcxCustomRow* GetRoot() const { return FRoot; }

  // ---- Focus and editing ----
  TcxCustomRow* GetFocusedRow();
  void SetFocusedRow(TcxCustomRow* Value);
  void FocusRow(TcxCustomRow* ARow, Integer ACellIndex = 0);
  // Only while the data options allow editing.
  void ShowEdit();
  void ShowEditByKey(char AKey);
  void ShowEditByMouse(Integer X, Integer Y, TShiftState AShift);
  void HideEdit();
  void CancelEdit();
  bool IsEditing();
  TcxCustomEdit* GetInplaceEditor();
  Integer GetRecordCount();
  TcxvgController* GetVGController() const;
  TcxvgCustomViewInfo* GetVGViewInfo() const;

  // ---- Options, styles, images ----
  TcxvgOptionsView* GetOptionsView() override;
  TcxvgOptionsBehavior* GetOptionsBehavior() override;
  TcxVerticalGridCustomizing* GetCustomizing() const { return FCustomizing; }
  void SetCustomizing(TcxVerticalGridCustomizing* Value);
  TcxVerticalGridStyles* GetStyles() const;
  void SetStyles(TcxVerticalGridStyles* Value);
  TFont* GetCategoryFont() const { return FCategoryFont; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The name a stored layout gives the grid instead of its component name,
  // when not empty.
  AnsiString StoringName;
  bool GetNameMode() const { return FNameMode; }
  // While the view info is replaced the controller keeps the focus.
  bool IsRecreatingViewInfo() const { return FRecreatingViewInfo; }
  // Stamps the rows' visible indexes: a new list of rows on show gets a
  // new stamp, and an index with another stamp is -1.
  Integer VisibleRowsStamp = 0;

  // ---- Stored layouts ----
  void StoreToIniFile(const AnsiString& AStorageName, bool AReCreate = true);
  void StoreToRegistry(const AnsiString& AStorageName, bool AReCreate = true);
  void StoreToStream(TStream* AStream);
  // A damaged layout raises the storage's error; the grid is never left
  // locked, and no row is lost or deleted.
  void RestoreFromIniFile(const AnsiString& AStorageName);
  void RestoreFromRegistry(const AnsiString& AStorageName);
  void RestoreFromStream(TStream* AStream);

  // ---- Events ----
  TNotifyEvent StylesEvents;
  TNotifyEvent OnCustomizationFormVisibleChanged;
  TcxVerticalGridDrawBackgroundEvent OnDrawBackground;
  TcxVerticalGridDrawHeaderEvent OnDrawRowHeader;
  TcxVerticalGridDrawValueEvent OnDrawValue;
  TcxVerticalGridChangedEvent OnEdited;
  TcxVerticalGridEditingEvent OnEditing;
  TcxVerticalGridChangedEvent OnEditValueChanged;
  TcxVerticalGridItemChangedEvent OnItemChanged;
  TNotifyEvent OnLayoutChanged;
  TNotifyEvent OnLeftVisibleBandIndexChanged;
  TNotifyEvent OnLeftVisibleRecordIndexChanged;
  TNotifyEvent OnTopRowIndexChanged;

  // ---- Component streaming ----
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetName(const AnsiString& NewName) override;

  // ---- Overrides of the editing control ----
  void CreateSubClasses() override;
  void DestroySubClasses() override;
  void DataChanged(TcxCustomInplaceEditContainer* AItem) override;
  void DoEdited(TcxCustomInplaceEditContainer* AItem) override;
  bool DoEditing(TcxCustomInplaceEditContainer* AItem) override;
  void DoEditValueChanged(TcxCustomInplaceEditContainer* AItem) override;
  bool HasEditingHandler() override { return static_cast<bool>(OnEditing); }
  void DoLayoutChanged() override;
  // The outermost end applies the rows' changes the bracket held, then
  // lays out once.
  void DoEndUpdate() override;
  void RecreateViewInfo() override;
  TcxCustomControlControllerClass GetControllerClass() override;
  TcxCustomHitTestControllerClass GetHitTestControllerClass() override;
  TClass GetDragImageHelperClass() override;
  // A dragged row shows its header: framed from the indent's right edge.
  TRect DragDropImageDisplayRect() override;
  void DrawDragDropImage(TBitmap* ABitmap, TcxCanvas* ACanvas) override;
  TcxCustomControlStylesClass GetControlStylesClass() override;
  TcxCustomControlViewInfoClass GetViewInfoClass() override;
  // The 3-D style's painter for psDelphi.
  TcxCustomControlPainterClass GetPainterClass() override;
  TcxControlOptionsBehaviorClass GetOptionsBehaviorClass() override;
  TcxControlOptionsDataClass GetOptionsDataClass() override;
  TcxControlOptionsViewClass GetOptionsViewClass() override;

  // The data-change lock: DataChanged is ignored while it is held.
  void LockDataChanged() { ++FDataChangeLockCount; }
  void UnlockDataChanged() { --FDataChangeLockCount; }
  bool IsDataChangeLocked() const { return FDataChangeLockCount > 0; }

 protected:
  // The layout style the view info class follows.
  virtual TcxvgLayoutStyle GetViewLayoutStyle() { return lsSingleRecordView; }
  // A new view info for a changed layout style.
  void LayoutStyleChanged();
  void Loaded() override;
  void InitControl() override;
  void FontChanged() override;
  void BoundsChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TcxvgOptionsView;
  friend class TcxvgMultiRecordsController;
  void StoreLayout(TcxStorage* AStorage, void (TcxStorage::*AStore)(TObject*));
  void RestoreLayout(TcxStorage* AStorage, void (TcxStorage::*ARestore)(TObject*));
  void BeforeLoadedRows();
  void AfterLoadedRows();
  void ImagesChanged(TObject* Sender);
  void CategoryFontChanged(TObject* Sender);
  void UpdateCategoryFont();

  TFont* FCategoryFont = nullptr;
  TcxVerticalGridCustomizing* FCustomizing = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  TCustomImageList* FImages = nullptr;
  bool FNameMode = false;
  bool FRecreatingViewInfo = false;
  TcxCategoryRow* FRoot = nullptr;
  TcxVerticalGridRows* FRows = nullptr;
  Integer FDataChangeLockCount = 0;
};

// One record kept by the grid itself, focused from creation on.
class TcxUnboundVerticalGrid : public TcxCustomVerticalGrid {
  ORV_CLASS(TcxUnboundVerticalGrid, TcxCustomVerticalGrid)
 public:
  explicit TcxUnboundVerticalGrid(TComponent* AOwner) : TcxCustomVerticalGrid(AOwner) {}

  // Appends the one record and focuses it.
  void InitDataController() override;
  // The single-record layout never sizes bands.
  bool CanBandSizing() override;

  TcxvgUnboundLayoutStyle GetLayoutStyle() const { return FLayoutStyle; }
  void SetLayoutStyle(TcxvgUnboundLayoutStyle Value);

 protected:
  TcxvgLayoutStyle GetViewLayoutStyle() override;

 private:
  TcxvgUnboundLayoutStyle FLayoutStyle = ulsSingleRecordView;
};

class TcxVerticalGrid : public TcxUnboundVerticalGrid {
  ORV_CLASS(TcxVerticalGrid, TcxUnboundVerticalGrid)
 public:
  explicit TcxVerticalGrid(TComponent* AOwner) : TcxUnboundVerticalGrid(AOwner) {}
};
