// The items of an editing control: one item is one row or column of cells,
// bound to one field of the control's data controller and shown and edited
// through one edit-properties object (its own, a repository item's, or the
// default editor of its value type). Also the item's options, styles and
// data binding with its named value types, and the data controller class
// of editing controls.
#pragma once

#include <memory>
#include <vector>

#include "library/data/cxData.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxEditViewData.h"
#include "library/foundation/cxStyles.h"
#include "library/grid/container/cxInplaceContainerOptions.h"

class TcxCustomControlController;
class TcxEditCellViewInfo;
class TcxCustomItemDataBinding;

// What an edit view data hands to the item's event about one cell: the
// record index of the cell.
using TcxEditCellData = NativeInt;

// A component that holds edit properties of its own, created from a class.
class IcxEditorPropertiesContainer {
 public:
  virtual ~IcxEditorPropertiesContainer() = default;
  virtual TcxCustomEditProperties* GetProperties() = 0;
  virtual TClass GetPropertiesClass() = 0;
  virtual void SetPropertiesClass(TClass Value) = 0;
};
ORV_INTERFACE(IcxEditorPropertiesContainer, "{1F3E0B52-8C7A-4D95-B2E6-3A9C0D4E5F61}")

ORV_ENUM(TcxEditItemShowEditButtons, eisbDefault, eisbNever, eisbAlways)

// ---------------------------------------------------------------------------
// The item's options.
class TcxCustomEditContainerItemOptions : public TcxOwnedPersistent {
  ORV_CLASS(TcxCustomEditContainerItemOptions, TcxOwnedPersistent)
 public:
  explicit TcxCustomEditContainerItemOptions(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  TcxCustomInplaceEditContainer* GetItem();

  bool GetEditing() const { return FEditing; }
  // Off, it closes the item's open editor.
  void SetEditing(bool Value);
  bool GetFiltering() const { return FFiltering; }
  void SetFiltering(bool Value);
  bool GetFocusing() const { return FFocusing; }
  void SetFocusing(bool Value);
  bool GetIncSearch() const { return FIncSearch; }
  // Off, it ends the item's search in progress.
  void SetIncSearch(bool Value);
  TcxEditItemShowEditButtons GetShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxEditItemShowEditButtons Value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }

  // Switches kept and copied for descendants' options; nothing reads them
  // at this level.
  bool ExtraFlags[3] = {true, true, true};

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void Changed();

 private:
  bool FEditing = true;
  bool FFiltering = true;
  bool FFocusing = true;
  bool FIncSearch = true;
  TcxEditItemShowEditButtons FShowEditButtons = eisbDefault;
  bool FTabStop = true;
};

using TcxCustomEditContainerItemOptionsClass = TClassRef<TcxCustomEditContainerItemOptions>;

// ---------------------------------------------------------------------------
// The item's styles: one, the content.
inline constexpr Integer ecs_Content = 0;

class TcxEditContainerStyles : public TcxStyles {
  ORV_CLASS(TcxEditContainerStyles, TcxStyles)
 public:
  explicit TcxEditContainerStyles(TPersistent* AOwner) : TcxStyles(AOwner) {}
  TcxCustomInplaceEditContainer* GetItem();
  // The control's styles.
  TcxStyles* GetControlStyles();

  TcxStyle* GetContent() const { return static_cast<TcxStyle*>(GetValue(ecs_Content)); }
  void SetContent(TcxStyle* Value) { SetValue(ecs_Content, Value); }

 protected:
  void DoAssign(TPersistent* Source) override;

  void Changed(Integer AIndex) override;
};

using TcxEditContainerStylesClass = TClassRef<TcxEditContainerStyles>;

// ---------------------------------------------------------------------------
// Data binding.

// The defaults the properties take from the item's field.
class TcxContainerItemDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TcxContainerItemDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TcxContainerItemDefaultValuesProvider(TPersistent* AOwner)
      : TcxCustomEditDefaultValuesProvider(AOwner) {}
  bool IsDisplayFormatDefined(bool) override { return false; }
};

class TcxCustomItemDataBinding : public TcxOwnedPersistent {
  ORV_CLASS(TcxCustomItemDataBinding, TcxOwnedPersistent)
 public:
  explicit TcxCustomItemDataBinding(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {}
  ~TcxCustomItemDataBinding() override;
  // The provider comes from the class factory, so it is made here.
  void AfterConstruction() override;

  // The default editor's repository item for the binding's value type.
  virtual TcxEditRepositoryItem* DefaultRepositoryItem();
  virtual AnsiString GetDefaultCaption() { return {}; }
  virtual IcxEditDefaultValuesProvider* GetDefaultValuesProvider(TcxCustomEditProperties* AProperties);
  virtual TClass GetDefaultValuesProviderClass() const {
    return TcxContainerItemDefaultValuesProvider::StaticClass();
  }
  virtual TcxValueTypeClass GetValueTypeClass() { return TcxStringValueType::Class(); }
  virtual void Init() {}
  // Gives the data controller the type (it converts the stored values)
  // and lets the item take the properties of the new type.
  virtual void ValueTypeClassChanged();

  TcxCustomDataController* GetDataController();
  TcxCustomInplaceEditContainer* GetEditContainer();
  bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted);

 private:
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};

using TcxCustomItemDataBindingClass = TClassRef<TcxCustomItemDataBinding>;

class TcxItemDataBinding : public TcxCustomItemDataBinding {
  ORV_CLASS(TcxItemDataBinding, TcxCustomItemDataBinding)
 public:
  explicit TcxItemDataBinding(TPersistent* AOwner) : TcxCustomItemDataBinding(AOwner) {}

  TcxValueTypeClass GetValueTypeClass() override;
  void SetValueTypeClass(TcxValueTypeClass Value);
  // The registered name of the type; empty for a type without one. A name
  // nobody registered changes nothing.
  AnsiString GetValueType();
  void SetValueType(const AnsiString& Value);
  bool IsValueTypeStored();

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxValueTypeClass FValueTypeClass = nullptr;
};

// ---------------------------------------------------------------------------
// The data controller of every editing control; its owner is the control.
class TcxControlDataController : public TcxDataController {
  ORV_CLASS(TcxControlDataController, TcxDataController)
 public:
  explicit TcxControlDataController(TComponent* AOwner) : TcxDataController(AOwner) {}

  TObject* GetItem(Integer AIndex) override;
  Integer GetItemID(TObject* AItem) override;
  TcxDataEditValueSource GetItemValueSource(Integer AItemIndex) override;
  void UpdateControl(TcxUpdateControlInfo* AInfo) override;
  void UpdateData() override;
  void UpdateItemIndexes() override;

  TcxEditingControl* GetControl() const;
};

using TcxCustomDataControllerClass = TClassRef<TcxCustomDataController>;

// ---------------------------------------------------------------------------
// The process-wide names of value types ("Boolean", "String", "Integer",
// "Currency", "Float", "DateTime", "Variant"); names compare without regard
// to letter case.
class TcxValueTypeClassRepository : public TObject {
  ORV_CLASS(TcxValueTypeClassRepository, TObject)
 public:
  // Adds the pair unless the class has a name already.
  void RegisterValueTypeClass(const AnsiString& AName, TcxValueTypeClass AClass);
  void UnRegisterValueTypeClass(TcxValueTypeClass AClass);
  // The class's name, or empty text.
  AnsiString FindByClassType(TcxValueTypeClass AClass) const;
  // The class of that name, or null.
  TcxValueTypeClass FindByDescription(const AnsiString& AName) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxValueTypeClass GetValueTypeClass(Integer AIndex) const { return FItems.at(AIndex).Class; }
  AnsiString GetDescription(Integer AIndex) const { return FItems.at(AIndex).Name; }

 private:
  struct Item {
    AnsiString Name;
    TcxValueTypeClass Class;
  };
  std::vector<Item> FItems;
};

TcxValueTypeClassRepository* cxieValueTypeClassRepository();
void cxieRegisterValueTypeClass(const AnsiString& AName, TcxValueTypeClass AClass);
void cxieUnRegisterValueTypeClass(TcxValueTypeClass AClass);

// The unit's start-up registers the seven names; shut-down frees the
// repository. Counted.
void cxInplaceContainerInitialize();
void cxInplaceContainerFinalize();

// ---------------------------------------------------------------------------
// The item.

using TcxGetEditPropertiesEvent =
    Event<void(TcxCustomInplaceEditContainer* Sender, TcxEditCellData AData, TcxCustomEditProperties*& AProperties)>;

class TcxCustomInplaceEditContainer : public TComponent,
                                      public IcxEditorPropertiesContainer,
                                      public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxCustomInplaceEditContainer, TComponent)
 public:
  explicit TcxCustomInplaceEditContainer(TComponent* AOwner) : TComponent(AOwner) {}
  // Options, styles and binding come from the class factories.
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TcxCustomInplaceEditContainer() override;

  // ---- The item's operations, in the order descendants meet them ----
  virtual void CalculateEditViewInfo(const Variant& AValue, TcxEditCellViewInfo* ACell, const TPoint& AMousePos);
  virtual bool CanEdit();
  virtual bool CanFocus();
  virtual bool CanInitEditing();
  virtual bool CanIncSearch();
  virtual bool CanTabStop();
  virtual void Changed();
  virtual TcxCustomEditViewData* CreateEditViewData(TcxCustomEditProperties* AProperties, TcxEditCellData AData);
  virtual void DataChanged();
  virtual void DoGetDisplayText(Integer ARecordIndex, AnsiString& AText);
  virtual TcxCustomEditProperties* DoGetEditProperties(TcxEditCellData AData);
  virtual void DoGetEditingProperties(TcxEditCellData AData, TcxCustomEditProperties*& AProperties);
  virtual TcxCustomEditProperties* DoGetPropertiesFromEvent(const TcxGetEditPropertiesEvent& AEvent,
                                                            TcxEditCellData AData,
                                                            TcxCustomEditProperties* AProperties);
  virtual void DoOnPropertiesChanged(TObject* Sender);
  virtual void EditViewDataGetDisplayTextHandler(TObject* Sender, AnsiString& AText);
  virtual TcxCanvas* GetControlCanvas();
  virtual TcxCustomControlController* GetController();
  virtual Variant GetCurrentValue();
  virtual TcxCustomItemDataBindingClass GetDataBindingClass() const;
  virtual TcxCustomEditProperties* GetDefaultEditProperties();
  virtual Variant GetDisplayValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex);
  virtual TcxValueTypeClass GetEditDataValueTypeClass();
  virtual Integer GetEditDefaultHeight(TFont* AFont);
  virtual Integer GetEditHeight(TcxEditCellViewInfo* ACell);
  virtual bool GetEditing();
  virtual TcxCustomEditStyle* GetEditStyle(TcxEditCellData AData);
  virtual Variant GetEditValue();
  virtual Integer GetEditWidth(TcxEditCellViewInfo* ACell);
  virtual TcxCustomEditContainerItemOptionsClass GetOptionsClass() const;
  virtual TcxEditContainerStylesClass GetStylesClass() const;
  virtual Variant GetValue(Integer ARecordIndex);
  virtual Integer GetValueCount();
  virtual bool HasDataTextHandler() { return false; }
  // The properties or the text of a cell come from a handler, which may
  // read any value of the record: a change of another item's values
  // refreshes this one too while it holds edit data.
  virtual bool IsRecordDependent();
  virtual void InitEditViewInfo(TcxEditCellViewInfo* ACell);
  virtual void InitProperties(TcxCustomEditProperties* AProperties);
  virtual void PropertiesChanged();
  virtual void SetCurrentValue(const Variant& Value);
  virtual void SetEditing(bool Value);
  virtual void SetEditingControl(TcxEditingControl* AControl);
  virtual void SetEditValue(const Variant& Value);
  virtual void SetValue(Integer ARecordIndex, const Variant& Value);

  // ---- Focus, editing and search ----
  bool GetFocused();
  void SetFocused(bool Value);
  TcxEditCellViewInfo* GetFocusedCellViewInfo();
  bool GetIncSearching();
  void CancelIncSearching();
  // The focused cell shows some of itself.
  bool IsEditPartVisible();
  bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }

  // ---- Properties in force ----
  // After any change of properties, repository item, value type or control.
  void InternalPropertiesChanged();
  void CreateProperties();
  void DestroyProperties();
  void RecreateProperties();
  // The properties in force, their defaults provider refreshed first.
  TcxCustomEditProperties* GetPropertiesValue();

  // IcxEditorPropertiesContainer
  TcxCustomEditProperties* GetProperties() override { return FProperties; }
  TClass GetPropertiesClass() override { return FPropertiesClass; }
  void SetPropertiesClass(TClass Value) override;
  // Copies Value into the own properties, when there are any.
  void SetProperties(TcxCustomEditProperties* Value);
  AnsiString GetPropertiesClassName();
  void SetPropertiesClassName(const AnsiString& Value);

  // IcxEditRepositoryItemListener
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) override;
  void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override;

  TcxEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);

  // ---- State ----
  TcxCustomItemDataBinding* GetDataBinding() const { return FDataBinding; }
  TcxEditingControl* GetEditingControl() const { return FEditingControl; }
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value) { FItemIndex = Value; }
  // Options and styles are made on first need: a grid holds an item per
  // row and few of them are ever given their own.
  TcxCustomEditContainerItemOptions* GetOptions() const;
  void SetOptions(TcxCustomEditContainerItemOptions* Value) { GetOptions()->Assign(Value); }
  TcxCustomEditProperties* GetPropertiesValueField() const { return FPropertiesValue; }
  TcxEditContainerStyles* GetStyles() const;
  void SetStyles(TcxEditContainerStyles* Value) { GetStyles()->Assign(Value); }
  // The view data of the properties in force, made on first need.
  TcxCustomEditViewData* GetEditViewData();
  TcxCustomEditData*& EditData() { return FEditData; }
  // An editor activated over the item may have made its edit data.
  void EditDataTaken();
  TcxDataEditValueSource GetEditValueSource() const { return FEditValueSource; }
  void SetEditValueSource(TcxDataEditValueSource Value) { FEditValueSource = Value; }
  Variant GetValues(Integer ARecordIndex) { return GetValue(ARecordIndex); }
  void SetValues(Integer ARecordIndex, const Variant& Value) { SetValue(ARecordIndex, Value); }
  // The properties whose change handler this item set, while it is still
  // the item's own handler.
  TcxCustomEditProperties* GetPropertiesHandlerTarget() const { return FHandlerTarget; }

  // A place for the properties' events in designers; never fired.
  TNotifyEvent PropertiesEvents;
  TcxGetEditPropertiesEvent OnGetEditProperties;
  TcxGetEditPropertiesEvent OnGetEditingProperties;

 protected:
  void DoAssign(TPersistent* Source) override;

  TcxCustomDataController* GetDataController();
  TcxEditingControl* FEditingControl = nullptr;

 private:
  void FreeEditData();
  // The size of the cell's display value in the cell's font and width.
  TSize GetCellEditSize(TcxEditCellViewInfo* ACell);
  // Gives back the change handler this item set on shared properties, so
  // that they never call an item that is gone.
  void ReleasePropertiesHandler();
  TNotifyEvent OwnPropertiesHandler();

  TcxCustomEditData* FEditData = nullptr;
  TcxCustomEditViewData* FEditViewData = nullptr;
  TcxDataEditValueSource FEditValueSource = evsValue;
  Integer FItemIndex = -1;
  mutable TcxCustomEditContainerItemOptions* FOptions = nullptr;
  TcxCustomEditProperties* FProperties = nullptr;
  TClass FPropertiesClass = nullptr;
  TcxCustomEditProperties* FPropertiesValue = nullptr;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  mutable TcxEditContainerStyles* FStyles = nullptr;
  TcxCustomItemDataBinding* FDataBinding = nullptr;
  TcxCustomEditProperties* FHandlerTarget = nullptr;
  // Set while the target is not the item's own properties, which live as
  // long as the item: shared ones may go first.
  std::weak_ptr<const void> FHandlerTargetPresence;
};

using TcxCustomInplaceEditContainerClass = TClassRef<TcxCustomInplaceEditContainer>;
