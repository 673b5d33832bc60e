// The blob editor: a binary value (a memo text, a picture, an OLE object
// or untyped bytes) shown in a cell as one of eight icons or a short text,
// and edited, for memos and pictures, in a popup memo or popup picture
// with OK and Cancel buttons (one Close button where nothing may change).
// The popup's value is taken only when its storage was changed and the
// popup closed with OK, or closed otherwise (not cancelled) under
// AlwaysSaveData; Escape never saves.
#pragma once

#include "library/editors/core/cxEditPopupWindow.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxMemo.h"
#include "library/foundation/cxButtons.h"

class TcxCustomBlobEdit;
class TFiler;
class TReader;
class TWriter;

ORV_ENUM(TcxBlobEditKind, bekAuto, bekMemo, bekPict, bekOle, bekBlob)
ORV_ENUM(TcxBlobPaintStyle, bpsDefault, bpsIcon, bpsText)

// The eight icons (null and non-null of blob, memo, picture and OLE).
TCustomImageList* cxBlobEditImages();

// ---------------------------------------------------------------------------
class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomBlobEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  bool CanValidate() const override { return FBlobEditKind == bekMemo; }
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  TClass GetContainerClass() const override;
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TClassRef<TcxCustomEditPopupWindow> GetPopupWindowClass() const override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  bool DropDownOnClick() const override { return true; }
  bool HasDisplayValue() const override { return false; }
  bool IsEditValueValid(Variant&, bool) override { return true; }

  // An automatic kind becomes the kind the value's provider names (a
  // blob without one).
  void CorrectBlobEditKind();
  // The cell text of a value (see the unit's notes).
  AnsiString GetBlobText(const Variant& AValue, bool AFullText = false);
  // PictureGraphicClass; a bitmap while loading without one; then
  // OnGetGraphicClass.
  TGraphicClass GetPictureGraphicClass(bool AIsLoading);

  bool GetAlwaysSaveData() const { return FAlwaysSaveData; }
  void SetAlwaysSaveData(bool Value);
  TcxBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  // Memos and pictures open with the drop-down button, the others with
  // the ellipsis.
  void SetBlobEditKind(TcxBlobEditKind Value);
  TcxBlobPaintStyle GetBlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TcxBlobPaintStyle Value);
  bool GetMemoAutoReplace() const { return FMemoAutoReplace; }
  void SetMemoAutoReplace(bool Value);
  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase Value);
  Integer GetMemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(Integer Value);
  bool GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool Value);
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle Value);
  bool GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool Value);
  bool GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool Value);
  bool GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool Value);
  // Stored only; the popup memo takes them.
  TImeMode GetImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value);
  const AnsiString& GetImeName() const { return FImeName; }
  void SetImeName(const AnsiString& Value);
  bool GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool Value);
  const AnsiString& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const AnsiString& Value);
  TGraphicClass GetPictureGraphicClass() const { return FPictureGraphicClass; }
  void SetPictureGraphicClass(TGraphicClass Value);
  AnsiString GetPictureGraphicClassName() const;
  // Empty clears the class; an unknown name is ignored.
  void SetPictureGraphicClassName(const AnsiString& Value);
  bool IsPictureGraphicClassNameStored() const;
  TcxImageTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TcxImageTransparency Value);
  bool GetShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(bool Value);
  bool GetShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(bool Value);

  TcxImageAssignPictureEvent OnAssignPicture;
  TcxImageGraphicClassEvent OnGetGraphicClass;

 protected:
  void DoAssign(TPersistent* Source) override;

  void DefineProperties(TFiler* Filer) override;

 private:
  void ReadIsPictureGraphicClassNameEmpty(TReader* Reader);
  void WriteIsPictureGraphicClassNameEmpty(TWriter* Writer);
  void UpdateButton();

  bool FAlwaysSaveData = true;
  TcxBlobEditKind FBlobEditKind = bekAuto;
  TcxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  bool FMemoAutoReplace = false;
  TEditCharCase FMemoCharCase = ecNormal;
  Integer FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = ssNone;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  TImeMode FImeMode = imDontCare;
  AnsiString FImeName;
  bool FPictureAutoSize = true;
  AnsiString FPictureFilter;
  TGraphicClass FPictureGraphicClass;
  TcxImageTransparency FPictureTransparency = gtDefault;
  bool FShowExPopupItems = true;
  bool FShowPicturePopup = true;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
  ORV_CLASS(TcxBlobEditProperties, TcxCustomBlobEditProperties)
 public:
  explicit TcxBlobEditProperties(TPersistent* AOwner) : TcxCustomBlobEditProperties(AOwner) {}
};

// ---------------------------------------------------------------------------
class TcxBlobEditViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxBlobEditViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxBlobEditViewInfo() = default;
  void Assign(TObject* Source) override;
  void Offset(Integer DX, Integer DY) override;
  using TcxCustomTextEditViewInfo::NeedShowHint;
  bool NeedShowHint(TcxCanvas*, const TPoint&, const TRect&, AnsiString&, bool&, TRect&) override { return false; }

  // -1 paints the text.
  Integer ImageIndex = -1;
  TRect ImageRect{};

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;
};

class TcxBlobEditViewData : public TcxCustomDropDownEditViewData {
  ORV_CLASS(TcxBlobEditViewData, TcxCustomDropDownEditViewData)
 public:
  TcxBlobEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomDropDownEditViewData(AProperties, AStyle, AIsInplace) {}
  TcxCustomBlobEditProperties* GetProperties() const {
    return static_cast<TcxCustomBlobEditProperties*>(TcxCustomDropDownEditViewData::GetProperties());
  }
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void DisplayValueToDrawValue(const Variant& V, TcxCustomEditViewInfo* AViewInfo) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

 protected:
  TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize,
                                        TcxCustomEditViewInfo* AViewInfo) override;

 private:
  // The icon or the text of a value.
  void ValueToDrawValue(const Variant& AValue, TcxBlobEditViewInfo* AInfo);
};

// ---------------------------------------------------------------------------
// The popup's storages: a memo and a picture that tell the blob editor
// about their changes.
class TcxPopupMemo : public TcxMemo {
  ORV_CLASS(TcxPopupMemo, TcxMemo)
 public:
  explicit TcxPopupMemo(TComponent* AOwner) : TcxMemo(AOwner, false) {}
};

class TcxPopupImage : public TcxImage {
  ORV_CLASS(TcxPopupImage, TcxImage)
 public:
  explicit TcxPopupImage(TComponent* AOwner) : TcxImage(AOwner, false) {}

  // Hides the context menu (ShowPicturePopup off) or its file and custom
  // items (ShowExPopupItems off).
  void SetMenuShown(bool AShown, bool AExtraItems);
  TcxEditClosePopupEvent OnClosePopup;

 protected:
  void DoContextPopup(TPoint MousePos, bool& Handled) override;

 private:
  bool FMenuShown = true;
};

class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
  ORV_CLASS(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)
 public:
  explicit TcxBlobEditPopupWindow(TWinControl* AOwnerControl) : TcxPopupEditPopupWindow(AOwnerControl) {}

 protected:
  // The key that opened the popup replaces an editable memo's text under
  // MemoAutoReplace.
  void DoPopupControlKey(char Key) override;
};

// ---------------------------------------------------------------------------
class TcxCustomBlobEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomBlobEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomBlobEdit(TComponent* AOwner) : TcxCustomBlobEdit(AOwner, false) {}
  TcxCustomBlobEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace) {}
  ~TcxCustomBlobEdit() override;

  TcxCustomBlobEditProperties* GetProperties() const {
    return static_cast<TcxCustomBlobEditProperties*>(TcxCustomPopupEdit::GetProperties());
  }
  TcxCustomBlobEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomBlobEditProperties*>(TcxCustomPopupEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomBlobEditProperties* Value) { TcxCustomPopupEdit::SetProperties(Value); }

  // The popup memo or picture while one exists.
  TcxCustomEdit* GetStorage() const { return FStorage; }
  TcxButton* GetOKButton() const { return FOKButton; }
  TcxButton* GetCancelButton() const { return FCancelButton; }
  TGraphicClass GetPictureClass() const { return FPictureClass; }

  bool IsEditClass() override { return false; }
  Variant GetEditingValue() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  TSize GetPopupWindowClientPreferredSize() override;
  void PopupWindowKeyDown(Word& Key, TShiftState Shift) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomPopupEdit::PropertiesChanged;

  // Introduced, in this order.
  virtual void CreatePopupControls();
  virtual void DestroyPopupControls();

 protected:
  bool CanDropDown() override { return true; }
  void DoInitPopup() override;
  TWinControl* GetPopupFocusedControl() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  void PopupWindowClosed(TObject* Sender) override;
  void SetupPopupWindow() override;

 private:
  friend class TcxBlobEditPopupWindow;
  void StorageChanged(TObject* Sender);
  void ButtonClick(TObject* Sender);
  // Sets the popup's result and closes it (also outside a modal loop).
  void ClosePopupWith(TModalResult AResult);
  void PictureClosePopup(TObject* Sender, TcxEditCloseUpReason AReason);
  void PictureGetGraphicClass(TObject* Sender, bool APastingFromClipboard, TGraphicClass& AGraphicClass);
  // Takes the storage's value when the rules above allow.
  void SaveStorage();
  void DoAssignPicture();
  bool IsStorageReadOnly();

  TcxCustomEdit* FStorage = nullptr;
  TcxButton* FOKButton = nullptr;
  TcxButton* FCancelButton = nullptr;
  Integer FButtonWidth = 0;
  TGraphicClass FPictureClass;
  bool FStorageModified = false;
  bool FSavedByPicture = false;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
  ORV_CLASS(TcxBlobEdit, TcxCustomBlobEdit)
 public:
  explicit TcxBlobEdit(TComponent* AOwner) : TcxBlobEdit(AOwner, false) {}
  TcxBlobEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomBlobEdit(AOwner, AIsInplace) {}

  TcxBlobEditProperties* GetProperties() const {
    return static_cast<TcxBlobEditProperties*>(TcxCustomBlobEdit::GetProperties());
  }
  TcxBlobEditProperties* GetActiveProperties() const {
    return static_cast<TcxBlobEditProperties*>(TcxCustomBlobEdit::GetActiveProperties());
  }
  void SetProperties(TcxBlobEditProperties* Value) { TcxCustomBlobEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// Blank or not for every blob; like and not like for memos.
class TcxFilterBlobEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterBlobEditHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
};

void cxBlobEditInitialize();
void cxBlobEditFinalize();
