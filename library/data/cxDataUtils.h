// What the data layer and the editors share without the data controller:
// the base of an editor's data binding, a collection that assigns item by
// item, and small date, text and currency-format helpers.
#pragma once

#include <string_view>

#include "library/foundation/cxClasses.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variant.h"

// Which form of a value a binding deals with.
enum TcxDataEditValueSource { evsValue, evsText, evsKey };

using TcxDataBindingNotifyEvent = Event<void()>;

class TcxCustomDataBinding : public TPersistent {
  ORV_CLASS(TcxCustomDataBinding, TPersistent)
 public:
  TcxCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent);

  virtual void DataChange();
  virtual void DataSetChange();
  virtual bool GetModified() { return false; }
  virtual bool GetReadOnly() { return FReadOnly; }
  virtual void SetReadOnly(bool Value) { FReadOnly = Value; }
  virtual void UpdateData();
  virtual void VisualControlChanged() {}
  virtual bool CanModify() { return !GetReadOnly(); }
  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual Variant GetStoredValue(TcxDataEditValueSource, bool) { return Null(); }
  virtual bool IsDataSourceLive() { return true; }
  virtual bool IsDataStorage() { return false; }
  virtual void Reset() {}
  virtual bool SetEditMode() { return CanModify(); }
  virtual void SetStoredValue(TcxDataEditValueSource, const Variant&) {}
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual void UpdateDataSource() {}

  TPersistent* GetOwner() override { return FOwner; }
  TComponent* GetDataComponent() const { return FDataComponent; }
  TComponent* GetVisualControl() const { return FVisualControl; }
  void SetVisualControl(TComponent* Value);

  TcxDataBindingNotifyEvent OnDataChange;
  TcxDataBindingNotifyEvent OnDataSetChange;
  TcxDataBindingNotifyEvent OnUpdateData;

 private:
  TComponent* FDataComponent;
  TComponent* FOwner;
  bool FReadOnly = false;
  TComponent* FVisualControl = nullptr;
};

// The locale's first day of the week, 0 = Sunday .. 6 = Saturday.
Integer GetStartOfWeek();
// The latest first day of the week on or before ADate.
TDateTime GetStartDateOfWeek(TDateTime ADate);
// Case-insensitive; with APartial, whether S1 begins with S2. An empty S2
// matches only an empty S1.
bool DataCompareText(std::string_view S1, std::string_view S2, bool APartial);
// A number format for currency values from the locale: "$,0.00".
AnsiString DefaultCurrencyDisplayFormat();
