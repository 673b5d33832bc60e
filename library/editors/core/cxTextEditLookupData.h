// What a text editor knows of its lookup items: the list of texts it can
// propose, the key its edit value stands for, incremental search and
// navigation by keys and the wheel. The editor reaches its lookup data
// through this interface only.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Variant.h"

ORV_ENUM(TcxEditLookupDataGoDirection, egdBegin, egdEnd, egdNext, egdPrev, egdPageUp, egdPageDown)

class IcxTextEditLookupData {
 public:
  virtual ~IcxTextEditLookupData() = default;
  virtual bool CanResizeVisualArea(TSize& NewSize, Integer AMaxHeight = 0, Integer AMaxWidth = 0) = 0;
  virtual void CloseUp() = 0;
  virtual void Deinitialize() = 0;
  virtual void DropDown() = 0;
  virtual void DroppedDown() = 0;
  // Whether some item equals AText, letter case aside.
  virtual bool Find(const AnsiString& AText) = 0;
  // The list shown in the popup; null when there is none.
  virtual TWinControl* GetActiveControl() = 0;
  // The index of the item the edit value stands for, as an integer value;
  // -1 for none.
  virtual Variant GetCurrentKey() = 0;
  // The item a key stands for; empty for a key that names none.
  virtual AnsiString GetDisplayText(const Variant& AKey) = 0;
  virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth = 0) = 0;
  virtual void Go(TcxEditLookupDataGoDirection ADirection, bool ACycle) = 0;
  virtual void Initialize(TWinControl* AVisualControlsParent) = 0;
  virtual bool IsEmpty() = 0;
  virtual bool IsMouseOverList(const TPoint& P) = 0;
  // Finds the first item from the start (or after the highlighted one with
  // ANext) that begins with AText; AText then takes the item's own letters
  // and ATail the rest of the item.
  virtual bool Locate(AnsiString& AText, AnsiString& ATail, bool ANext = false) = 0;
  virtual void PositionVisualArea(const TRect& AClientRect) = 0;
  virtual void PropertiesChanged() = 0;
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(TNotifyEvent Value) = 0;
  virtual void SetOnSelectItem(TNotifyEvent Value) = 0;
  virtual void TextChanged() = 0;
};
ORV_INTERFACE(IcxTextEditLookupData, "{9C2F4B7E-61A3-4D85-B0E2-5A7C3F18D964}")
