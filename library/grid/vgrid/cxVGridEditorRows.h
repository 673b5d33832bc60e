// Editor rows and their values. An editor row shows one value per record
// next to its caption; a multi-editor row shows several side by side. Each
// value column is an edit container (TcxCellEdit) bound to one item of the
// grid's data controller; the row's properties carry the caption, the edit
// properties (the editor kind that edits and paints the value) and the
// value access, in and out of the edit state.
#pragma once

#include "library/foundation/cxClasses.h"
#include "library/grid/container/cxInplaceContainer.h"
#include "library/grid/vgrid/cxVGridRows.h"
#include "platform/rtl/Alignment.h"

class TcxCustomEditorRowProperties;
class TcxCustomMultiEditorRow;
class TcxMultiEditorRowProperties;
class TcxEditorPropertiesCollection;

ORV_ENUM(TSeparatorKind, skVertLine, skString)

using TcxVerticalGridGetDisplayTextEvent =
    Event<void(TcxCustomEditorRowProperties* Sender, Integer ARecord, AnsiString& AText)>;
using TcxVerticalGridGetEditPropertiesEvent =
    Event<void(TcxCustomEditorRowProperties* Sender, Integer ARecordIndex, TcxCustomEditProperties*& AProperties)>;

// ---------------------------------------------------------------------------
// Row properties.

class TcxCustomRowProperties : public TcxInterfacedCollectionItem {
  ORV_CLASS(TcxCustomRowProperties, TcxInterfacedCollectionItem)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomRow*)>;
  // As an item of a multi-editor row's editor collection: the row comes
  // from the collection.
  explicit TcxCustomRowProperties(TCollection* ACollection);
  // As the properties of a row.
  explicit TcxCustomRowProperties(TcxCustomRow* ARow);

  // An item of an editor collection reports to its collection (for every
  // item); other properties relayout their row when it is visible.
  virtual void Changed();
  TPersistent* GetOwner() override;

  TcxCustomRow* GetRow() const { return FRow; }
  TcxCustomVerticalGrid* GetVerticalGrid() const { return FRow ? FRow->GetVerticalGrid() : nullptr; }
  // Set on a multi-editor row's properties while an editor item is being
  // created.
  bool GetLocked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }

 private:
  TcxCustomRow* FRow = nullptr;
  bool FLocked = false;
};

class TcxCaptionRowProperties : public TcxCustomRowProperties {
  ORV_CLASS(TcxCaptionRowProperties, TcxCustomRowProperties)
 public:
  explicit TcxCaptionRowProperties(TCollection* ACollection) : TcxCustomRowProperties(ACollection) {}
  explicit TcxCaptionRowProperties(TcxCustomRow* ARow) : TcxCustomRowProperties(ARow) {}

  virtual AnsiString DefaultCaption() { return {}; }
  // The caption falls back on the default again.
  virtual void RestoreDefaults();

  // The stored text once assigned (even when empty), else DefaultCaption.
  AnsiString GetCaption();
  void SetCaption(const AnsiString& Value);
  bool IsCaptionStored();
  bool GetCaptionAssigned() const { return FIsCaptionAssigned; }
  TAlignment GetHeaderAlignmentHorz() const { return FHeaderAlignmentHorz; }
  void SetHeaderAlignmentHorz(TAlignment Value);
  TcxAlignmentVert GetHeaderAlignmentVert() const { return FHeaderAlignmentVert; }
  void SetHeaderAlignmentVert(TcxAlignmentVert Value);
  // The flags the header's text is drawn with: left 0, centre 1, right 2,
  // or-ed with top 0, centre 0x10, bottom 0x20.
  Integer GetHeaderTextFlags() const;
  // The text shown as the row header's hint; a plain value.
  AnsiString GetHint() const { return Hint; }
  void SetHint(const AnsiString& Value) { Hint = Value; }
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);

  AnsiString Hint;

 protected:
  // From caption properties, as one change of the rows: the caption and
  // whether it was assigned, the image, the alignments and the hint.
  void DoAssign(TPersistent* Source) override;

 private:
  TAlignment FHeaderAlignmentHorz = taLeftJustify;
  TcxAlignmentVert FHeaderAlignmentVert = vaTop;
  bool FIsCaptionAssigned = false;
  AnsiString FCaption;
  Integer FImageIndex = -1;
};

// ---------------------------------------------------------------------------
// The edit container of one value column.

class TcxEditorRowPropertiesOptions : public TcxCustomEditContainerItemOptions {
  ORV_CLASS(TcxEditorRowPropertiesOptions, TcxCustomEditContainerItemOptions)
 public:
  explicit TcxEditorRowPropertiesOptions(TPersistent* AOwner) : TcxCustomEditContainerItemOptions(AOwner) {}
};

class TcxMultiEditorRowPropertiesOptions : public TcxEditorRowPropertiesOptions {
  ORV_CLASS(TcxMultiEditorRowPropertiesOptions, TcxEditorRowPropertiesOptions)
 public:
  explicit TcxMultiEditorRowPropertiesOptions(TPersistent* AOwner) : TcxEditorRowPropertiesOptions(AOwner) {}
};

// Record indexes given to the value access below are positions among the
// data controller's filtered records, not record indexes: in a filtered
// data-bound grid the two differ. In the unbound grid (one record, no
// filter) they are the same.
class TcxCellEdit : public TcxCustomInplaceEditContainer {
  ORV_CLASS(TcxCellEdit, TcxCustomInplaceEditContainer)
 public:
  explicit TcxCellEdit(TComponent* AOwner) : TcxCustomInplaceEditContainer(AOwner) {}

  bool CanFocus() override;
  bool CanInitEditing() override;
  bool CanTabStop() override;
  TcxCustomEditProperties* DoGetEditProperties(TcxEditCellData AData) override;
  void DoGetEditingProperties(TcxEditCellData AData, TcxCustomEditProperties*& AProperties) override;
  void DoGetDisplayText(Integer ARecordIndex, AnsiString& AText) override;
  Variant GetCurrentValue() override;
  void SetCurrentValue(const Variant& Value) override;
  Variant GetValue(Integer ARecordIndex) override;
  void SetValue(Integer ARecordIndex, const Variant& Value) override;
  Integer GetValueCount() override;
  Variant GetEditValue() override;
  Variant GetDisplayValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex) override;
  bool HasDataTextHandler() override;
  bool IsRecordDependent() override;
  TcxCustomEditContainerItemOptionsClass GetOptionsClass() const override;
  TcxCustomItemDataBindingClass GetDataBindingClass() const override;
  void PropertiesChanged() override;

  // Fills a value cell's edit view info.
  void Calculate(TcxEditCellViewInfo* AValueInfo);
  // The row's view info (none until the grid lays the row out).
  TObject* GetViewInfo();

  TcxCustomEditorRowProperties* GetRowProperties() const { return FRowProperties; }
  void SetRowProperties(TcxCustomEditorRowProperties* Value) { FRowProperties = Value; }
  TcxCustomRow* GetRow() const;
  // The editor's position in a multi-editor row's Editors; 0 otherwise.
  Integer CellIndex = 0;

 private:
  // Whether the data controller has records, and the record at a
  // filtered position.
  bool HasRows();
  Integer RecordAt(Integer AFilteredIndex);
  TcxCustomEditProperties* PropertiesFromRowEvent(const TcxVerticalGridGetEditPropertiesEvent& AEvent,
                                                  TcxEditCellData AData, TcxCustomEditProperties* ADefault);
  TcxCustomEditorRowProperties* FRowProperties = nullptr;
  bool FCalculating = false;
};

using TcxCellEditClass = TClassRef<TcxCellEdit>;

// ---------------------------------------------------------------------------
// Editor row properties: a caption and one edit container.
class TcxCustomEditorRowProperties : public TcxCaptionRowProperties, public IcxEditorPropertiesContainer {
  ORV_CLASS(TcxCustomEditorRowProperties, TcxCaptionRowProperties)
 public:
  explicit TcxCustomEditorRowProperties(TCollection* ACollection) : TcxCaptionRowProperties(ACollection) {}
  explicit TcxCustomEditorRowProperties(TcxCustomRow* ARow) : TcxCaptionRowProperties(ARow) {}
  // The container comes from the class factory.
  void AfterConstruction() override;
  ~TcxCustomEditorRowProperties() override;

  virtual TcxCellEditClass GetInplaceEditContainerClass();
  virtual void DoGetDisplayTextEvent(Integer ARecordIndex, AnsiString& AText);

  // ---- Values ----
  // The value in the focused record; Null without records.
  Variant GetValue();
  // Nothing without records or a focused record; through the edit buffer
  // while the record is being edited, else straight into the record.
  void SetValue(const Variant& Value);
  // By position among the filtered records (see TcxCellEdit).
  Variant GetValues(Integer ARecordIndex);
  // A value is written into layouts when there is one.
  bool IsValueStored();
  // The text the cell shows for that record, after OnGetDisplayText.
  AnsiString GetDisplayText(Integer ARecordIndex);

  // ---- The container's settings ----
  TcxCellEdit* GetEditContainer() const { return FEditContainer; }
  TcxCellEdit* GetItemLink() const { return FEditContainer; }
  TcxItemDataBinding* GetDataBinding() const;
  void SetDataBinding(TcxItemDataBinding* Value);
  TcxCustomEditProperties* GetEditProperties() const;
  void SetEditProperties(TcxCustomEditProperties* Value);
  TClass GetEditPropertiesClass() const;
  // Replaces the edit properties with new ones of that class.
  void SetEditPropertiesClass(TClass Value);
  AnsiString GetEditPropertiesClassName() const;
  // A class name nobody registered leaves no edit properties.
  void SetEditPropertiesClassName(const AnsiString& Value);
  TcxEditRepositoryItem* GetRepositoryItem() const;
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  TcxCustomEditContainerItemOptions* GetOptions() const;
  void SetOptions(TcxCustomEditContainerItemOptions* Value);
  Integer GetItemIndex() const;
  TcxCustomEditViewData* GetEditViewData() const;

  // IcxEditorPropertiesContainer: the container's.
  TcxCustomEditProperties* GetProperties() override { return GetEditProperties(); }
  TClass GetPropertiesClass() override { return GetEditPropertiesClass(); }
  void SetPropertiesClass(TClass Value) override { SetEditPropertiesClass(Value); }

  TcxVerticalGridGetDisplayTextEvent OnGetDisplayText;
  TcxVerticalGridGetEditPropertiesEvent OnGetEditProperties;
  TcxVerticalGridGetEditPropertiesEvent OnGetEditingProperties;

 protected:
  // The container first, then the caption part.
  void DoAssign(TPersistent* Source) override;

 private:
  TcxCellEdit* FEditContainer = nullptr;
};

class TcxEditorRowProperties : public TcxCustomEditorRowProperties {
  ORV_CLASS(TcxEditorRowProperties, TcxCustomEditorRowProperties)
 public:
  explicit TcxEditorRowProperties(TCollection* ACollection) : TcxCustomEditorRowProperties(ACollection) {}
  explicit TcxEditorRowProperties(TcxCustomRow* ARow) : TcxCustomEditorRowProperties(ARow) {}

 protected:
  // Also the source's value, except into a data-bound grid.
  void DoAssign(TPersistent* Source) override;
};

// One editor of a multi-editor row.
class TcxCollectionItemEditorRowProperties : public TcxCustomEditorRowProperties {
  ORV_CLASS(TcxCollectionItemEditorRowProperties, TcxCustomEditorRowProperties)
 public:
  explicit TcxCollectionItemEditorRowProperties(TCollection* ACollection);
  explicit TcxCollectionItemEditorRowProperties(TcxCustomRow* ARow) : TcxCustomEditorRowProperties(ARow) {}
  // Attaches the container to the row's grid, with the row's properties
  // locked so that the collection does not relayout a half-made editor.
  void AfterConstruction() override;
  // Leaves the collection, and the row its cells, while still whole:
  // freeing the container asks the grid for a layout, which must no
  // longer find this editor or a cell of it.
  void BeforeDestruction() override;

  Integer GetWidth() const { return FWidth; }
  // Held to 20..cxvgMaxExtent.
  void SetWidth(Integer Value);

  // A place for the properties' events in designers; never fired.
  TNotifyEvent EditPropertiesEvents;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  Integer FWidth = 50;
};

class TcxEditorRowItemProperties : public TcxCollectionItemEditorRowProperties {
  ORV_CLASS(TcxEditorRowItemProperties, TcxCollectionItemEditorRowProperties)
 public:
  explicit TcxEditorRowItemProperties(TCollection* ACollection) : TcxCollectionItemEditorRowProperties(ACollection) {}
  explicit TcxEditorRowItemProperties(TcxCustomRow* ARow) : TcxCollectionItemEditorRowProperties(ARow) {}

 protected:
  void DoAssign(TPersistent* Source) override;
};

// The editors of a multi-editor row.
class TcxEditorPropertiesCollection : public TCollection {
  ORV_CLASS(TcxEditorPropertiesCollection, TCollection)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomMultiEditorRow*)>;
  explicit TcxEditorPropertiesCollection(TcxCustomMultiEditorRow* ARow);

  TcxEditorRowItemProperties* Add() { return static_cast<TcxEditorRowItemProperties*>(TCollection::Add()); }
  TcxEditorRowItemProperties* GetItem(Integer AIndex) const {
    return static_cast<TcxEditorRowItemProperties*>(TCollection::GetItem(AIndex));
  }
  TPersistent* GetOwner() override;
  TcxCustomMultiEditorRow* GetRow() const { return FRow; }
  // Closes the grid's editor and frees the value cells the row keeps by
  // cell index: once an editor comes, goes or moves, an index names
  // another editor, and a leaving editor's cells are freed with it.
  void ForgetValueCells();

 protected:
  // Renumbers the cells and relayouts the row, unless the grid loads or
  // an editor is still being made.
  void Update(TCollectionItem* Item) override;

 private:
  TcxCustomMultiEditorRow* FRow;
};

class TcxMultiEditorRowProperties : public TcxCustomRowProperties {
  ORV_CLASS(TcxMultiEditorRowProperties, TcxCustomRowProperties)
 public:
  explicit TcxMultiEditorRowProperties(TCollection* ACollection) : TcxCustomRowProperties(ACollection) {}
  explicit TcxMultiEditorRowProperties(TcxCustomRow* ARow) : TcxCustomRowProperties(ARow) {}
  void AfterConstruction() override;
  ~TcxMultiEditorRowProperties() override;

  virtual TClass GetCollectionClass() { return TcxEditorPropertiesCollection::StaticClass(); }

  TcxEditorPropertiesCollection* GetEditors() const { return FEditors; }
  void SetEditors(TcxEditorPropertiesCollection* Value) { FEditors->Assign(Value); }
  bool GetFixed() const { return FFixed; }
  void SetFixed(bool Value);
  TcxAlignmentVert GetSeparatorAlignmentVert() const { return FSeparatorAlignmentVert; }
  void SetSeparatorAlignmentVert(TcxAlignmentVert Value);
  TSeparatorKind GetSeparatorKind() const { return FSeparatorKind; }
  void SetSeparatorKind(TSeparatorKind Value);
  AnsiString GetSeparatorString() const { return FSeparatorString; }
  void SetSeparatorString(const AnsiString& Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxEditorPropertiesCollection* FEditors = nullptr;
  bool FFixed = false;
  TcxAlignmentVert FSeparatorAlignmentVert = vaTop;
  TSeparatorKind FSeparatorKind = skVertLine;
  AnsiString FSeparatorString;
};

// ---------------------------------------------------------------------------
// The rows.

class TcxCustomEditorRow : public TcxCustomRow {
  ORV_CLASS(TcxCustomEditorRow, TcxCustomRow)
 public:
  explicit TcxCustomEditorRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}

  bool CanFocus() override;
  // Also the container's editor height in the content font + 4.
  Integer GetDefaultHeight() override;
  TcxCustomInplaceEditContainer* GetEditContainer(Integer AIndex) override;
  Integer GetEditContainerCount() override { return 1; }
  TClass GetPropertiesClass() override;
  TClass GetStylesClass() override;
  void SetVerticalGrid(TcxCustomVerticalGrid* Value) override;
  void SetParentComponent(TComponent* Value) override;

  using TcxCustomRow::GetProperties;
  TcxCustomEditorRowProperties* GetProperties() const;
  void SetProperties(TcxCustomEditorRowProperties* Value);

  // Places for the properties' events in designers; never fired.
  TNotifyEvent EditPropertiesEvents;
  TNotifyEvent PropertiesEvents;
};

class TcxEditorRow : public TcxCustomEditorRow {
  ORV_CLASS(TcxEditorRow, TcxCustomEditorRow)
 public:
  explicit TcxEditorRow(TComponent* AOwner) : TcxCustomEditorRow(AOwner) {}
  TClass GetPropertiesClass() override;

  using TcxCustomRow::GetProperties;
  TcxEditorRowProperties* GetProperties() const;
  void SetProperties(TcxEditorRowProperties* Value);
};

class TcxCustomMultiEditorRow : public TcxCustomRow {
  ORV_CLASS(TcxCustomMultiEditorRow, TcxCustomRow)
 public:
  explicit TcxCustomMultiEditorRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}

  // The row's own Focusing and at least one editor that may take the focus.
  bool CanFocus() override;
  Integer GetDefaultHeight() override;
  // Editor AIndex's container; none outside 0 .. Count - 1.
  TcxCustomInplaceEditContainer* GetEditContainer(Integer AIndex) override;
  Integer GetEditContainerCount() override;
  TClass GetPropertiesClass() override;
  TClass GetStylesClass() override;
  void SetVerticalGrid(TcxCustomVerticalGrid* Value) override;
  void SetParentComponent(TComponent* Value) override;

  using TcxCustomRow::GetProperties;
  TcxMultiEditorRowProperties* GetProperties() const;
  void SetProperties(TcxMultiEditorRowProperties* Value);

  TNotifyEvent EditPropertiesEvents;
  TNotifyEvent PropertiesEvents;

 private:
  friend class TcxEditorPropertiesCollection;
  void AttachEditors(TcxCustomVerticalGrid* AGrid);
};

class TcxMultiEditorRow : public TcxCustomMultiEditorRow {
  ORV_CLASS(TcxMultiEditorRow, TcxCustomMultiEditorRow)
 public:
  explicit TcxMultiEditorRow(TComponent* AOwner) : TcxCustomMultiEditorRow(AOwner) {}
};
