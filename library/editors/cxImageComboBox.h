// The image combo box: a fixed list whose entries are items with an
// image, a description and a value. The edit value is the chosen item's
// value; a value is shown as the first item (in collection order) whose
// value equals it exactly, or as the default description and image when
// none does. The drop-down list draws each entry's image beside its
// description and, with MultiLineText, wraps descriptions over rows of
// their own height.
#pragma once

#include "library/editors/core/cxComboBox.h"
#include "library/foundation/cxClasses.h"
#include "platform/forms/ImageList.h"
#include "platform/rtl/Collection.h"

class TcxCustomImageComboBoxProperties;
class TcxCustomImageComboBox;

ORV_ENUM(TcxImageAlign, iaLeft, iaRight)

class TcxImageComboBoxItem : public TCollectionItem {
  ORV_CLASS(TcxImageComboBoxItem, TCollectionItem)
 public:
  explicit TcxImageComboBoxItem(TCollection* Collection);

  const AnsiString& GetDescription() const { return FDescription; }
  void SetDescription(const AnsiString& Value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  Integer GetTag() const { return FTag; }
  void SetTag(Integer Value) { FTag = Value; }
  const Variant& GetValue() const { return FValue; }
  // Compared exactly: 1 and "1" are different values.
  void SetValue(const Variant& Value);
  bool IsTagStored() const { return FTag != 0; }
  bool IsValueStored() const { return !VarIsNull(FValue); }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  AnsiString FDescription;
  Integer FImageIndex = -1;
  Integer FTag = 0;
  Variant FValue = Null();
};

class TcxImageComboBoxItems : public TOwnedCollection {
  ORV_CLASS(TcxImageComboBoxItems, TOwnedCollection)
 public:
  explicit TcxImageComboBoxItems(TPersistent* AOwner);
  TcxImageComboBoxItem* GetItems(Integer Index) const {
    return static_cast<TcxImageComboBoxItem*>(TCollection::GetItem(Index));
  }
  TcxImageComboBoxItem* Add() { return static_cast<TcxImageComboBoxItem*>(TCollection::Add()); }

 protected:
  void Update(TCollectionItem* Item) override;
};

// ---------------------------------------------------------------------------
class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxCustomImageComboBoxProperties(TPersistent* AOwner);
  ~TcxCustomImageComboBoxProperties() override;

  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  TClass GetContainerClass() const override;
  TClass GetLookupDataClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return {}; }
  TcxDataEditValueSource GetEditValueSource(bool) const override { return evsValue; }
  TcxEditSupportedOperations GetSupportedOperations() const override;
  bool IsEditValueValid(Variant&, bool) override { return true; }
  bool FindLookupText(const AnsiString& AText) const override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;

  // The first item whose value equals AValue exactly; nil for none.
  TcxImageComboBoxItem* FindItemByValue(const Variant& AValue) const;
  // Nil without descriptions; else the first item whose description
  // equals AText ignoring case.
  TcxImageComboBoxItem* FindItemByText(const AnsiString& AText) const;
  void GetImageComboBoxDisplayValue(const Variant& AEditValue, AnsiString& AText, Integer& AImageIndex) const;
  void InternalGetImageComboBoxDisplayValue(TcxImageComboBoxItem* AItem, AnsiString& AText,
                                            Integer& AImageIndex) const;

  const AnsiString& GetDefaultDescription() const { return FDefaultDescription; }
  void SetDefaultDescription(const AnsiString& Value);
  Integer GetDefaultImageIndex() const { return FDefaultImageIndex; }
  void SetDefaultImageIndex(Integer Value);
  TcxImageAlign GetImageAlign() const { return FImageAlign; }
  void SetImageAlign(TcxImageAlign Value);
  // Watched: a list that goes is forgotten.
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TcxImageComboBoxItems* GetItems() const { return FItems; }
  void SetItems(TcxImageComboBoxItems* Value) { FItems->Assign(Value); }
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  bool GetMultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value);
  bool GetShowDescriptions() const { return FShowDescriptions; }
  void SetShowDescriptions(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void ImageListChanged(TObject* Sender);
  void ImageListFreed(TComponent* Sender);
  void SetImageList(TCustomImageList*& AField, TChangeLink* ALink, TCustomImageList* Value);

  AnsiString FDefaultDescription;
  Integer FDefaultImageIndex = -1;
  TcxImageAlign FImageAlign = iaLeft;
  TCustomImageList* FImages = nullptr;
  TcxImageComboBoxItems* FItems;
  TCustomImageList* FLargeImages = nullptr;
  bool FMultiLineText = false;
  bool FShowDescriptions = true;
  TChangeLink* FImagesLink;
  TChangeLink* FLargeImagesLink;
  TcxFreeNotificator* FFreeNotificator;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
  ORV_CLASS(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)
 public:
  explicit TcxImageComboBoxProperties(TPersistent* AOwner) : TcxCustomImageComboBoxProperties(AOwner) {}
};

// ---------------------------------------------------------------------------
class TcxImageComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxImageComboBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxImageComboBoxViewInfo() = default;
  void Assign(TObject* Source) override;
  void Offset(Integer DX, Integer DY) override;

  TRect ImageRect{};
  bool ShowDescriptions = true;
  TcxImageAlign ImageAlign = iaLeft;
  Integer ImageIndex = -1;
  TCustomImageList* Images = nullptr;

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
};

class TcxImageComboBoxViewData : public TcxCustomComboBoxViewData {
  ORV_CLASS(TcxImageComboBoxViewData, TcxCustomComboBoxViewData)
 public:
  TcxImageComboBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomComboBoxViewData(AProperties, AStyle, AIsInplace) {}
  TcxCustomImageComboBoxProperties* GetProperties() const {
    return static_cast<TcxCustomImageComboBoxProperties*>(TcxCustomComboBoxViewData::GetProperties());
  }
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void DisplayValueToDrawValue(const Variant& V, TcxCustomEditViewInfo* AViewInfo) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

 protected:
  TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize,
                                        TcxCustomEditViewInfo* AViewInfo) override;
};

// ---------------------------------------------------------------------------
// The drop-down list: owner-drawn rows of their own heights.
class TcxImageComboBoxListBox : public TcxComboBoxListBox {
  ORV_CLASS(TcxImageComboBoxListBox, TcxComboBoxListBox)
 public:
  explicit TcxImageComboBoxListBox(TComponent* AOwner);

  using TcxComboBoxListBox::GetHeight;
  // The heights of the first ARowCount rows; with MultiLineText, summed
  // again at the narrower text width when a scroll bar will show.
  Integer GetHeight(Integer ARowCount, Integer AMaxHeight);
  Integer GetHeight(Integer ARowCount) override { return GetHeight(ARowCount, 0x7FFFFFFF); }
  Integer GetItemHeight(Integer AIndex = -1) override;
  // Introduced: the widest row (image and description), with a scroll
  // bar's width when the rows do not all show.
  virtual Integer GetMaxItemWidth();
  // Where the image of a row drawn in R goes (empty without images).
  TRect GetImageRect(const TRect& R);
  bool GetVScrollBarNeeded() const { return FVScrollBarNeeded; }

 protected:
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  void RecreateWindow() override;

 private:
  TcxCustomImageComboBoxProperties* Properties();
  TCustomImageList* ListImages();
  Integer MeasureRow(Integer AIndex);

  Integer FTextWidth = 0;
  bool FVScrollBarNeeded = false;
};

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
  ORV_CLASS(TcxImageComboBoxLookupData, TcxComboBoxLookupData)
 public:
  explicit TcxImageComboBoxLookupData(TPersistent* AOwner) : TcxComboBoxLookupData(AOwner) {}

  AnsiString GetItem(Integer AIndex) override;
  Integer GetItemCount() override;
  // The current key follows the edit value.
  void TextChanged() override;
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AMaxWidth = 0) override;

 protected:
  TClassRef<TcxCustomEditListBox> GetListBoxClass() override { return TcxImageComboBoxListBox::StaticClass(); }

 private:
  TcxCustomImageComboBoxProperties* Properties() const;
};

// ---------------------------------------------------------------------------
class TcxCustomImageComboBox : public TcxCustomComboBox {
  ORV_CLASS(TcxCustomImageComboBox, TcxCustomComboBox)
 public:
  explicit TcxCustomImageComboBox(TComponent* AOwner) : TcxCustomImageComboBox(AOwner, false) {}
  TcxCustomImageComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace) {}

  TcxCustomImageComboBoxProperties* GetProperties() const {
    return static_cast<TcxCustomImageComboBoxProperties*>(TcxCustomComboBox::GetProperties());
  }
  TcxCustomImageComboBoxProperties* GetActiveProperties() const {
    return static_cast<TcxCustomImageComboBoxProperties*>(TcxCustomComboBox::GetActiveProperties());
  }
  void SetProperties(TcxCustomImageComboBoxProperties* Value) { TcxCustomComboBox::SetProperties(Value); }

  TSize GetPopupWindowClientPreferredSize() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  Variant InternalGetEditingValue() override;
  bool IsValidChar(char AChar) override;
  Variant LookupKeyToEditValue(const Variant& AKey) override;
  void UpdateDrawValue() override;
};

class TcxImageComboBox : public TcxCustomImageComboBox {
  ORV_CLASS(TcxImageComboBox, TcxCustomImageComboBox)
 public:
  explicit TcxImageComboBox(TComponent* AOwner) : TcxImageComboBox(AOwner, false) {}
  TcxImageComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomImageComboBox(AOwner, AIsInplace) {}

  TcxImageComboBoxProperties* GetProperties() const {
    return static_cast<TcxImageComboBoxProperties*>(TcxCustomImageComboBox::GetProperties());
  }
  TcxImageComboBoxProperties* GetActiveProperties() const {
    return static_cast<TcxImageComboBoxProperties*>(TcxCustomImageComboBox::GetActiveProperties());
  }
  void SetProperties(TcxImageComboBoxProperties* Value) { TcxCustomImageComboBox::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// A condition on an image combo column: equal, not equal, blank or not,
// and in or not in a list when asked.
class TcxFilterImageComboBoxHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterImageComboBoxHelper, TcxFilterComboBoxHelper)
 public:
  TClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

void cxImageComboBoxInitialize();
void cxImageComboBoxFinalize();
