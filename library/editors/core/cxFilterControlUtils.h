// What the filter builder needs of the editors: the builder's operator
// kinds with their data-layer counterparts and captions, the filter edit
// helpers that say which editor a condition shows for a kind of column and
// how it is set up, the registry of those helpers, the check of a typed
// condition value and the builder's error.
//
// A helper is a class, never an instance: the builder holds a
// TcxCustomFilterEditHelperClass and calls its class methods through "->",
// so every operation is a const virtual member function answered by the
// referenced class.
#pragma once

#include "library/data/cxDataStorageValueTypes.h"
#include "library/data/cxFilterOperators.h"
#include "library/foundation/cxClasses.h"
#include "platform/forms/Controls.h"
#include "platform/rtl/Exceptions.h"

class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxInplaceEditList;

// The filter builder's operator kinds. Blank and non-blank conditions are
// kinds of their own here; the data layer stores them as (not) equal to
// Null.
ORV_ENUM(TcxFilterControlOperator, fcoNone, fcoEqual, fcoNotEqual, fcoLess, fcoLessEqual, fcoGreater,
         fcoGreaterEqual, fcoLike, fcoNotLike, fcoBlanks, fcoNonBlanks, fcoBetween, fcoNotBetween, fcoInList,
         fcoNotInList, fcoYesterday, fcoToday, fcoTomorrow, fcoLast7Days, fcoLastWeek, fcoLast14Days,
         fcoLastTwoWeeks, fcoLast30Days, fcoLastMonth, fcoLastYear, fcoInPast, fcoThisWeek, fcoThisMonth,
         fcoThisYear, fcoNext7Days, fcoNextWeek, fcoNext14Days, fcoNextTwoWeeks, fcoNext30Days, fcoNextMonth,
         fcoNextYear, fcoInFuture)
using TcxFilterControlOperators = Set<TcxFilterControlOperator>;

// The filter builder's error.
ORV_EXCEPTION(EcxFilterControlError, Exception)

class TcxCustomFilterEditHelper : public TObject {
  ORV_CLASS(TcxCustomFilterEditHelper, TObject)
 public:
  // Clears the handlers a column's properties carry (button click, change,
  // edit-value change, validation); null does nothing.
  virtual void ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const;
  // Sets the condition editor's active properties up from the column's.
  virtual void InitializeEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const;
  // Whether the condition editor keeps the column's default-values provider.
  virtual bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties* AEditProperties) const;
  // Whether the condition editor keeps the column's buttons.
  virtual bool EditPropertiesHasButtons() const { return false; }
  // The condition editor's class; the base names none.
  virtual TClass GetFilterEditClass() const { return nullptr; }
  // The condition's value and its display text as AEditProperties show it.
  virtual void GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties, Variant& V,
                              AnsiString& S) const;
  // The operators a condition on a column of that value type may use;
  // the extended set adds the range and list operators.
  virtual TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                                TcxValueTypeClass AValueTypeClass,
                                                                bool AExtendedSet = false) const;
  // Copies the column's settings into the condition editor's properties
  // and makes them fit a condition: left and top aligned, silent, editable,
  // validated on Enter, without the column's handlers, and without buttons
  // unless AHasButtons.
  virtual void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                                    bool AHasButtons) const;
  // Whether AValue converts to the value type (converting it in place).
  virtual bool IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const;
  virtual void SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                              const Variant& AValue) const;
  virtual bool UseDisplayValue() const { return false; }

  // The condition editor set up from AEditProperties: the pool's editor
  // when a pool is given, else a new editor without owner (the caller's to
  // free). Null when the helper names no editor class.
  TcxCustomEdit* GetFilterEdit(TcxCustomEditProperties* AEditProperties,
                               TcxInplaceEditList* AInplaceEditList = nullptr) const;
};

using TcxCustomFilterEditHelperClass = TClassRef<TcxCustomFilterEditHelper>;

// The operators of values that order (numbers, money, dates): equal to,
// less and greater, blank; the extended set adds the range and list
// operators.
TcxFilterControlOperators cxFilterOrderedValueOperators(bool AExtendedSet);

// The helper of each editor kind, by properties class. Every key is
// replaced by its parent class before it is stored or searched, and a
// search matches by inheritance: a helper registered for a published
// properties class serves the whole family below its custom ancestor.
class TcxFilterEditsController : public TcxRegisteredClassList {
  ORV_CLASS(TcxFilterEditsController, TcxRegisteredClassList)
 public:
  TcxFilterEditsController() = default;

  void Register(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelperClass);
  // The process-wide controller frees itself when this leaves it empty.
  void Unregister(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelperClass);
  // The helper for that properties class, or null.
  TcxCustomFilterEditHelperClass FindHelper(TClass APropertiesClass) const;

 protected:
  virtual TClass GetItemClass(TClass AClass) const { return AClass ? AClass->ClassParent() : nullptr; }
};

// The properties class an editor class makes for itself (asked of one
// editor per class, then kept).
TClass cxEditPropertiesClassOf(TClass AEditClass);

// The process-wide registry, made on first use.
TcxFilterEditsController* FilterEditsController();

// The data layer's operator kind for a builder operator; blank and
// non-blank conditions compare with Null.
TcxFilterOperatorKind GetFilterOperatorKind(TcxFilterControlOperator AOperator);
// The builder operator for a data-layer kind; (not) equal to Null is a
// (non-)blank condition.
TcxFilterControlOperator GetFilterControlOperator(TcxFilterOperatorKind AKind, bool AValueIsNull);
// The operator's caption; empty for fcoNone and values out of range.
AnsiString GetFilterControlOperatorText(TcxFilterControlOperator AOperator);

// Checks a condition value as the builder takes it. An empty text becomes
// Null for a value type that does not hold text. A value the helper finds
// invalid (a check that raises counts as invalid) marks the editor
// modified, gives it the focus when it can take it and raises
// EcxFilterControlError "Invalid value"; like-conditions take any text.
// Without a helper the value type checks the value itself.
void FilterControlValidateValue(TcxCustomEdit* AEdit, Variant& AValue, TcxFilterControlOperator AOperator,
                                TcxValueTypeClass AValueTypeClass, TcxCustomFilterEditHelperClass AHelper);
// Raises EcxFilterControlError with AMessage.
[[noreturn]] void FilterControlError(const AnsiString& AMessage);
// A filter dialog's window belongs to the screen's active form, unless a
// stay-on-top form is on the screen (the dialog would vanish behind it);
// then, and without an active form, the parent window stays as it is.
void CorrectDlgParams(TCreateParams& Params);
