// The row tree of the vertical grid. Every row is a component with a
// parent row, ordered children, a height, an expanded and a visible flag,
// options, styles and a properties object; a category row shows only a
// caption. The grid owns one invisible root row and a rows container that
// hands out IDs, keeps the flat list of every row in tree order and turns
// each batch of structural changes into one notification of the grid.
//
// The flat list is rebuilt on demand: a change only marks it stale, and the
// first query after the change (a count, an index, a search) rebuilds it
// once, so adding a row costs the same however many rows the grid holds.
#pragma once

#include <unordered_map>
#include <vector>

#include "library/foundation/cxStorage.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"

class TcxCustomVerticalGrid;
class TcxVerticalGridRows;
class TcxCustomRow;
class TcxCustomRowProperties;
class TcxCaptionRowProperties;
class TcxvgCustomRowStyles;
class TcxCustomInplaceEditContainer;

ORV_EXCEPTION(EcxVerticalGridError, Exception)

// Raises EcxVerticalGridError with one of the grid's texts.
[[noreturn]] void cxVerticalGridError(const TResStringRec& AText);

// ---------------------------------------------------------------------------
// The row's options. CanAutoHeight, Focusing, ShowExpandButton and
// ShowInCustomizationForm change the layout; the others are plain values.
class TcxRowOptions : public TPersistent {
  ORV_CLASS(TcxRowOptions, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomRow*)>;
  explicit TcxRowOptions(TcxCustomRow* ARow) : FRow(ARow) {}
  TPersistent* GetOwner() override;
  void RestoreDefaults();

  bool GetCanAutoHeight() const { return FCanAutoHeight; }
  void SetCanAutoHeight(bool Value);
  bool GetCanMovedToCustomizationForm() const { return FCanMovedToCustomizationForm; }
  void SetCanMovedToCustomizationForm(bool Value) { FCanMovedToCustomizationForm = Value; }
  bool GetCanResized() const { return FCanResized; }
  void SetCanResized(bool Value) { FCanResized = Value; }
  bool GetFocusing() const { return FFocusing; }
  void SetFocusing(bool Value);
  bool GetMoving() const { return FMoving; }
  void SetMoving(bool Value) { FMoving = Value; }
  bool GetShowExpandButton() const { return FShowExpandButton; }
  void SetShowExpandButton(bool Value);
  bool GetShowInCustomizationForm() const { return FShowInCustomizationForm; }
  void SetShowInCustomizationForm(bool Value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  TcxCustomRow* GetRow() const { return FRow; }

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void Changed();

 private:
  void SetNotifying(bool& AField, bool AValue);
  TcxCustomRow* FRow;
  bool FCanAutoHeight = true;
  bool FCanMovedToCustomizationForm = true;
  bool FCanResized = true;
  bool FFocusing = true;
  bool FMoving = true;
  bool FShowExpandButton = true;
  bool FShowInCustomizationForm = true;
  bool FTabStop = true;
};

using TcxRowOptionsClass = TClassRef<TcxRowOptions>;

// ---------------------------------------------------------------------------
// The children of one row. Each child's Index is its position; inserting
// or deleting renumbers the children from that position on (not while the
// owning row is being destroyed).
class TcxRowList : public TList {
  ORV_CLASS(TcxRowList, TList)
 public:
  explicit TcxRowList(TcxCustomRow* AOwner) : FOwner(AOwner) {}
  void InsertRow(Integer AIndex, TcxCustomRow* ARow);
  void DeleteRow(Integer AIndex);
  void MoveRow(Integer ACurIndex, Integer ANewIndex);
  // The same rows in a new order.
  void SetOrder(const std::vector<TcxCustomRow*>& ARows);
  TcxCustomRow* GetRow(Integer AIndex) const { return static_cast<TcxCustomRow*>(Get(AIndex)); }
  TcxCustomRow* GetOwnerRow() const { return FOwner; }

 private:
  void Renumber(Integer AFrom, Integer ATo);
  TcxCustomRow* FOwner;
};

// ---------------------------------------------------------------------------
// A row.
class TcxCustomRow : public TComponent, public IcxStoredObject {
  ORV_CLASS(TcxCustomRow, TComponent)
 public:
  explicit TcxCustomRow(TComponent* AOwner) : TComponent(AOwner) {}
  // Options, styles and properties come from the class factories.
  void AfterConstruction() override;
  // Clears the grid's focus when this row has it, leaves the parent and
  // frees the children: freeing a row frees its whole subtree.
  void BeforeDestruction() override;
  ~TcxCustomRow() override;

  // ---- IcxStoredObject: the row's side of a stored layout ----
  // In the grid's name mode the component name (the decimal ID when the
  // name is empty), otherwise the decimal ID.
  AnsiString GetObjectName() override;
  // "AParentID", "Index", "Visible", "Height", "Expanded".
  bool GetProperties(TStrings* AProperties) override;
  void GetPropertyValue(const AnsiString& AName, Variant& AValue) override;
  void SetPropertyValue(const AnsiString& AName, const Variant& AValue) override;

  // ---- The row's operations, in the order descendants meet them ----
  virtual bool CanFocus();
  // Reports a change to the rows container; ARebuild when the tree or a
  // row's visibility changed.
  virtual void Changed(bool ARebuild = false);
  // max(RowHeight of the view options, the header font's height + 4).
  virtual Integer GetDefaultHeight();
  virtual TcxCustomInplaceEditContainer* GetEditContainer(Integer AIndex);
  virtual Integer GetEditContainerCount() { return 0; }
  virtual TClass GetPropertiesClass();
  // max(Height, GetDefaultHeight).
  virtual Integer GetRealHeight();
  virtual TcxRowOptionsClass GetOptionsClass();
  virtual TClass GetStylesClass();
  // Joins the row and its subtree to a grid; a row new to the grid takes
  // the grid's next ID.
  virtual void SetVerticalGrid(TcxCustomVerticalGrid* Value);

  // ---- The tree ----
  void Add(TcxCustomRow* ARow) { Insert(GetCount(), ARow); }
  void Insert(Integer AIndex, TcxCustomRow* ARow);
  // Takes the child out without freeing it; an index out of range raises
  // "Index error".
  void Delete(Integer AIndex);
  void Remove(TcxCustomRow* ARow) { Delete(IndexOf(ARow)); }
  // Frees every child.
  void RemoveAll();
  Integer IndexOf(TcxCustomRow* ARow) const;
  Integer GetCount() const { return FChildren ? FChildren->GetCount() : 0; }
  // Raises "Index error" for an index out of range.
  TcxCustomRow* GetRow(Integer AIndex) const;
  bool HasChildren() const { return GetCount() > 0; }
  bool HasVisibleChildren() const;
  TcxCustomRow* GetFirstVisibleChild() const;
  // The last visible child; inside it, when it is expanded, its own last
  // visible descendant found the same way.
  TcxCustomRow* GetLastVisibleChild() const;
  bool IsFirst() const { return FIndex == 0; }
  bool IsLast() const;
  bool IsFirstVisible() const;
  bool IsLastVisible() const;
  // The parent is the grid's root.
  bool IsRootLevel() const;
  // This row is an ancestor of ARow.
  bool IsParent(const TcxCustomRow* ARow) const;
  // ARow is an ancestor of this row; false for none.
  bool IsChild(const TcxCustomRow* ARow) const;
  Integer GetLevel() const;
  Integer GetAbsoluteIndex();
  // The parent row; none for a top-level row (whose parent is the root).
  TcxCustomRow* GetParent() const;
  // None means the root. The row itself or one of its descendants is
  // ignored like a parent that changes nothing, so the tree never forms a
  // cycle.
  void SetParent(TcxCustomRow* Value);
  // The tree parent as it is, the root included.
  TcxCustomRow* GetParentRow() const { return FParent; }
  bool GetFocused();
  void SetFocused(bool Value);
  void Expand(bool ARecurse);
  void Collapse(bool ARecurse);
  void MakeVisible();
  virtual void RestoreDefaults();

  // ---- Properties ----
  bool GetExpanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  Integer GetHeight() const { return FHeight; }
  // Held to -1 (automatic)..cxvgMaxExtent.
  void SetHeight(Integer Value);
  Integer GetID() const { return FID; }
  Integer GetIndex() const { return FIndex; }
  // Moves the row among its siblings; an index out of range changes
  // nothing.
  void SetIndex(Integer Value);
  // Options and styles are made on first need: the grid holds thousands
  // of rows and few of them are ever given their own.
  TcxRowOptions* GetOptions() const;
  void SetOptions(TcxRowOptions* Value) { GetOptions()->Assign(Value); }
  TcxvgCustomRowStyles* GetStyles() const;
  void SetStyles(TcxvgCustomRowStyles* Value);
  TcxCustomVerticalGrid* GetVerticalGrid() const { return FVerticalGrid; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // The row's place among the rows on show (every ancestor expanded and
  // visible); -1 for a row not on show. Valid once the view info has
  // brought its list of visible rows up to date.
  Integer GetVisibleIndex() const;
  // Stamped with the grid's current list of visible rows.
  void SetVisibleIndex(Integer Value);
  // The row's geometry in the current layout, made on demand and kept by
  // the row; none before the row was first laid out.
  TObject* GetViewInfo() const { return FViewInfo; }
  // Makes the view info of the row's kind when it has none.
  TObject* CreateViewInfo();
  // The view info frees itself; the row forgets it.
  void ViewInfoDestroyed() { FViewInfo = nullptr; }
  TcxCustomRowProperties* GetRowProperties() const { return FProperties; }
  bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }
  bool IsLoading() const { return GetComponentState().Contains(csLoading); }

  // A stored layout being restored: the stored "Index" (the largest
  // integer when none) and "AParentID" waiting to be applied.
  Integer LoadingIndex = INT32_MAX;
  AnsiString LoadingParentName;

  // ---- Component streaming ----
  void SetName(const AnsiString& NewName) override;
  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  // A row read from a layout joins the grid or the row it lies in; a row
  // that lies in neither has no place and fails the read.
  void SetParentComponent(TComponent* Value) override;

 protected:
  // From another row: Height, Visible, Expanded, the properties and the
  // styles.
  void DoAssign(TPersistent* Source) override;

  friend class TcxVerticalGridRows;
  friend class TcxCustomVerticalGrid;
  TcxVerticalGridRows* GetRows() const;
  // The row properties' value of a stored property, for descendants.
  bool GetNameMode() const;
  TcxCustomRowProperties* FProperties = nullptr;

 private:
  friend class TcxRowList;
  void SetExpandedDeep(bool AExpanded, bool ARecurse);
  bool FExpanded = true;
  Integer FHeight = -1;
  Integer FID = -1;
  Integer FIndex = -1;
  mutable TcxRowOptions* FOptions = nullptr;
  TcxCustomRow* FParent = nullptr;
  TcxRowList* FChildren = nullptr;
  mutable TcxvgCustomRowStyles* FStyles = nullptr;
  TcxCustomVerticalGrid* FVerticalGrid = nullptr;
  TObject* FViewInfo = nullptr;
  bool FVisible = true;
  Integer FVisibleIndex = -1;
  Integer FVisibleStamp = -1;
  // The row's place in the flat list at its last rebuild.
  Integer FAbsoluteIndex = -1;
};

using TcxCustomRowClass = TClassRef<TcxCustomRow>;

// A row that shows only a caption.
class TcxCategoryRow : public TcxCustomRow {
  ORV_CLASS(TcxCategoryRow, TcxCustomRow)
 public:
  explicit TcxCategoryRow(TComponent* AOwner) : TcxCustomRow(AOwner) {}

  // The category stores its caption in front of the other values.
  bool GetProperties(TStrings* AProperties) override;
  void GetPropertyValue(const AnsiString& AName, Variant& AValue) override;
  void SetPropertyValue(const AnsiString& AName, const Variant& AValue) override;
  // max(RowHeight of the view options, the category font's height + 4).
  Integer GetDefaultHeight() override;
  TClass GetPropertiesClass() override;
  TClass GetStylesClass() override;

  TcxCaptionRowProperties* GetProperties() const;
  void SetProperties(TcxCaptionRowProperties* Value);
};

// ---------------------------------------------------------------------------
// The rows of one grid.
class TcxVerticalGridRows : public TObject {
  ORV_CLASS(TcxVerticalGridRows, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomVerticalGrid*)>;
  explicit TcxVerticalGridRows(TcxCustomVerticalGrid* AGrid) : FGrid(AGrid) {}

  // Rebuilds the flat list when asked and it is stale; unless locked, the
  // grid hears RowsChanged and checks its header width. Inside the grid's
  // own update bracket that waits for the bracket's end (ApplyHeldChange),
  // so a batch of row changes walks the rows on show once, not per change.
  virtual void Changed(bool ARebuild = false);
  // What a change inside the grid's bracket held back, called by the grid
  // while its bracket ends: the grid hears RowsChanged and checks its
  // header width, once for all the changes.
  void ApplyHeldChange();

  // Every row below the root, in tree order (a parent before its children).
  Integer GetCount();
  // Raises "Index error" for an index out of range.
  TcxCustomRow* GetRow(Integer AIndex);
  // Replaces the entry of the flat list only.
  void SetRow(Integer AIndex, TcxCustomRow* ARow);
  TcxCustomRow* GetRoot() const;
  void Add(TcxCustomRow* ARow);
  void AddChild(TcxCustomRow* AParent, TcxCustomRow* ARow);
  // Frees the row when it is one of the grid's rows.
  void Remove(TcxCustomRow* ARow);
  // Drops the focus and frees every row.
  void Clear();
  Integer IndexOf(TcxCustomRow* ARow);
  // -1 gives the root; otherwise the first row of the flat list with the
  // ID, or none.
  TcxCustomRow* FindRowByID(Integer AID);
  // The first row whose stored name is exactly AName; the root when none.
  TcxCustomRow* FindRowByStoredName(const AnsiString& AName);
  Integer GetNextID() { return FNextID++; }
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  bool IsLocked() const { return FLockCount > 0; }
  Integer GetLockCount() const { return FLockCount; }
  void RestoreDefaults();
  // Replaces the rows with copies of the source's; a source of none raises
  // "Can't assign rows".
  void AssignRows(TcxVerticalGridRows* ASource);
  // The flat list must be rebuilt before its next use; the rows may have
  // moved, gone, or been shown, hidden, expanded or collapsed.
  void MarkStale() {
    FPreparedCount = -1;
    FReshapedVersion = ++FVersion;
  }
  // A row joined at the very end of the tree order: every row before it
  // keeps its place, so what was worked out for them still holds.
  void MarkAppended() {
    FPreparedCount = -1;
    ++FVersion;
  }
  bool IsStale() const { return FPreparedCount < 0; }
  // Counts the changes of the tree; GetReshapedVersion is the count at the
  // last change that was not an append at the end.
  Integer GetVersion() const { return FVersion; }
  Integer GetReshapedVersion() const { return FReshapedVersion; }
  TcxCustomVerticalGrid* GetGrid() const { return FGrid; }

 private:
  void Prepare();
  void Rebuild();
  void CopyChildren(TcxCustomRow* ASourceParent, TcxCustomRow* ADestParent);
  std::vector<TcxCustomRow*> FList;
  Integer FLockCount = 0;
  bool FChangeHeld = false;
  Integer FNextID = 0;
  TcxCustomVerticalGrid* FGrid;
  Integer FPreparedCount = -1;
  Integer FVersion = 0;
  Integer FReshapedVersion = 0;
  std::unordered_map<Integer, TcxCustomRow*> FIDs;
};
