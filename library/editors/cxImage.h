// The image editor: an edit value holding a picture's bytes (an 8-bit
// string, optionally behind an 8-byte header), shown as the picture and
// changed through a context menu, the clipboard keys and the picture file
// dialogs. A cell without an editor window decodes the value itself.
//
// The graphic classes the editor can decode form one process-wide list,
// bitmap, icon, metafile and JPEG to begin with; a value is decoded by the
// class the properties name (no guessing from the bytes), and bytes that
// class cannot read give an empty picture, never an error.
#pragma once

#include <vector>

#include "library/editors/core/cxCustomEdit.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"

class TcxCustomImage;
class TcxCustomImageProperties;
class TFiler;
class TReader;
class TWriter;

ORV_ENUM(TcxImageTransparency, gtDefault, gtOpaque, gtTransparent)
ORV_ENUM(TcxPopupMenuItem, pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom)
using TcxPopupMenuItems = Set<TcxPopupMenuItem>;

using TcxImageAssignPictureEvent = Event<void(TObject* Sender, TPicture* Picture)>;
// Chooses the class a cell's value is decoded with (AItem and
// ARecordIndex name the cell; nil and -1 outside a grid).
using TcxImageGraphicClassEvent = Event<void(TObject* AItem, Integer ARecordIndex, bool APastingFromClipboard,
                                             TGraphicClass& AGraphicClass)>;
using TcxImageEditGraphicClassEvent =
    Event<void(TObject* Sender, bool APastingFromClipboard, TGraphicClass& AGraphicClass)>;

// ---- The graphic-class registry ----
// Made on first use with TBitmap, TIcon, TMetafile and TJPEGImage.
const std::vector<TGraphicClass>& GetRegisteredGraphicClasses();
void RegisterGraphicClass(TGraphicClass AGraphicClass);
void UnRegisterGraphicClass(TGraphicClass AGraphicClass);
// Compared without regard to case; nil when no registered class has it.
TGraphicClass GetGraphicClassByName(const AnsiString& AName);
// The first registered class; nil for an empty list.
TGraphicClass GetDefaultGraphicClass();

// ---- Picture values ----
bool IsPictureEmpty(TPicture* APicture);
// Fills APicture from an edit value. A value that is not an 8-bit string,
// holds fewer than 8 bytes, or that the class cannot read empties the
// picture; nothing the graphic class raises gets out. With no class the
// bytes are read as a bitmap.
void LoadPicture(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue);
// The graphic's own stream, without a header; empty for an empty picture.
void SavePicture(TPicture* APicture, AnsiString& AValue);

// Registers the editors' embedded bitmaps (menu images, blob icons) once.
void cxEditorBitmapsNeeded();
// The shared 16 x 16 images of the context menu (index = menu item).
TCustomImageList* cxImageMenuImages();

// ---------------------------------------------------------------------------
class TcxPopupMenuLayout : public TPersistent {
  ORV_CLASS(TcxPopupMenuLayout, TPersistent)
 public:
  explicit TcxPopupMenuLayout(TcxCustomImageProperties* AOwner) : FOwner(AOwner) {}
  ~TcxPopupMenuLayout() override;
  TPersistent* GetOwner() override;

  TcxPopupMenuItems GetMenuItems() const { return FMenuItems; }
  void SetMenuItems(TcxPopupMenuItems Value);
  const AnsiString& GetCustomMenuItemCaption() const { return FCustomMenuItemCaption; }
  void SetCustomMenuItemCaption(const AnsiString& Value);
  // Made on first read.
  TBitmap* GetCustomMenuItemGlyph() { return InternalGetCustomMenuItemGlyph(); }
  // Nil frees it; a bitmap is copied.
  void SetCustomMenuItemGlyph(TBitmap* Value);
  bool HasCustomMenuItemGlyph() const { return FCustomMenuItemGlyph && !FCustomMenuItemGlyph->Empty(); }
  bool IsMenuItemsStored() const { return FMenuItems != DefaultMenuItems(); }
  static TcxPopupMenuItems DefaultMenuItems() { return {pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave}; }

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual TBitmap* InternalGetCustomMenuItemGlyph();

 private:
  void Changed();

  TcxCustomImageProperties* FOwner;
  TcxPopupMenuItems FMenuItems = DefaultMenuItems();
  AnsiString FCustomMenuItemCaption;
  TBitmap* FCustomMenuItemGlyph = nullptr;
};

// ---------------------------------------------------------------------------
class TcxCustomImageProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomImageProperties(TPersistent* AOwner);
  ~TcxCustomImageProperties() override;

  bool CanValidate() const override { return true; }
  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  // Empty for Null, otherwise Caption.
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxDataEditValueSource GetEditValueSource(bool) const override { return evsValue; }
  TcxEditSpecialFeatures GetSpecialFeatures() const override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  bool IsResetEditClass() const override { return true; }
  // Tells the editor's OnAssignPicture, then lets its OnEditing know,
  // leaving the modified flag as it was.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // Introduced, in this order.
  virtual TGraphicClass GetDefaultGraphicClass() const;
  // The class a cell's value is decoded with: the class set, else a
  // bitmap when pasting, else nil; OnGetGraphicClass may choose another.
  virtual TGraphicClass GetGraphicClass(TObject* AItem, Integer ARecordIndex, bool APastingFromClipboard = false);

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);
  const AnsiString& GetCustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const AnsiString& Value);
  TGraphicClass GetGraphicClassRef() const { return FGraphicClass; }
  void SetGraphicClass(TGraphicClass Value);
  AnsiString GetGraphicClassName() const;
  // Empty clears the class; a name no registered class has is ignored.
  void SetGraphicClassName(const AnsiString& Value);
  bool IsGraphicClassNameStored() const;
  TcxImageTransparency GetGraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TcxImageTransparency Value);
  TcxPopupMenuLayout* GetPopupMenuLayout() const { return FPopupMenuLayout; }
  void SetPopupMenuLayout(TcxPopupMenuLayout* Value) { FPopupMenuLayout->Assign(Value); }
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool Value);
  // The content height of a cell without a picture.
  Integer GetDefaultHeight() const { return FDefaultHeight; }

  TcxImageAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TcxImageGraphicClassEvent OnGetGraphicClass;

 protected:
  void DoAssign(TPersistent* Source) override;

  void DefineProperties(TFiler* Filer) override;

 private:
  void ReadIsGraphicClassNameEmpty(TReader* Reader);
  void WriteIsGraphicClassNameEmpty(TWriter* Writer);

  AnsiString FCaption;
  bool FCenter = true;
  AnsiString FCustomFilter;
  TGraphicClass FGraphicClass;
  TcxImageTransparency FGraphicTransparency = gtDefault;
  TcxPopupMenuLayout* FPopupMenuLayout;
  bool FShowFocusRect = true;
  bool FStretch = false;
  Integer FDefaultHeight = 15;
};

class TcxImageProperties : public TcxCustomImageProperties {
  ORV_CLASS(TcxImageProperties, TcxCustomImageProperties)
 public:
  explicit TcxImageProperties(TPersistent* AOwner) : TcxCustomImageProperties(AOwner) {}
};

// ---------------------------------------------------------------------------
class TcxImageViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)
 public:
  TcxImageViewInfo() = default;
  ~TcxImageViewInfo() override;
  // The picture is shared by the copy, never owned by it.
  void Assign(TObject* Source) override;

  // Shared with the editor (not owned), or owned when a cell made it.
  TPicture* GetPicture() const { return FPicture; }
  void SetSharedPicture(TPicture* Value);
  // The view info's own picture, made when it has none.
  TPicture* OwnedPicture();
  void ClearPicture();

  // Where a picture of AWidth x AHeight is drawn in R (see the editor's
  // notes: the proportional fit anchored top-left, then centred).
  static TRect PictureRect(const TRect& R, Integer AWidth, Integer AHeight, bool AStretch, bool ACenter,
                           const TPoint& AOffset);

  bool FocusRect = false;
  TPoint ScrollOffset{};
  AnsiString Caption;
  bool Center = true;
  bool Stretch = false;

 protected:
  bool IsRepaintOnStateChangingNeeded() override;
  void InternalPaint(TcxCanvas* ACanvas) override;

 private:
  // A picture the drawing can use: not empty, with a size.
  bool HasDrawablePicture() const;

  TPicture* FPicture = nullptr;
  bool FOwnsPicture = false;
  TBitmap* FTempBitmap = nullptr;
};

class TcxImageViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxImageViewData, TcxCustomEditViewData)
 public:
  TcxImageViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {}

  TcxCustomImageProperties* GetProperties() const {
    return static_cast<TcxCustomImageProperties*>(TcxCustomEditViewData::GetProperties());
  }
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

 protected:
  TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties) override;
};

// ---------------------------------------------------------------------------
class TcxCustomImage : public TcxCustomEdit {
  ORV_CLASS(TcxCustomImage, TcxCustomEdit)
 public:
  explicit TcxCustomImage(TComponent* AOwner) : TcxCustomImage(AOwner, false) {}
  TcxCustomImage(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}
  ~TcxCustomImage() override;

  TcxCustomImageProperties* GetProperties() const {
    return static_cast<TcxCustomImageProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomImageProperties* GetActiveProperties() const {
    return static_cast<TcxCustomImageProperties*>(TcxCustomEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomImageProperties* Value) { TcxCustomEdit::SetProperties(Value); }
  TcxImageViewInfo* GetViewInfo() const { return static_cast<TcxImageViewInfo*>(TcxCustomEdit::GetViewInfo()); }

  TPicture* GetPicture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // The format the editor's own pictures travel in (CF_PICTURE).
  Word GetClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(Word Value) { FClipboardFormat = Value; }
  // The editor's context menu (made on first use).
  TPopupMenu* GetEditPopupMenu();

  Variant GetEditValue() override;
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void Clear() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  // Open and save dialogs (the menu's Load and Save As).
  void LoadFromFile();
  void SaveToFile();
  // Also while one of its file dialogs is open.
  bool Focused() override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomEdit::PropertiesChanged;
  void DoOnAssignPicture();

  // Introduced, in this order.
  virtual bool CanPasteFromClipboard();
  virtual void CustomClick();
  virtual TGraphicClass GetGraphicClass(bool APastingFromClipboard = false);

  TcxImageEditGraphicClassEvent OnGetGraphicClass;

 protected:
  using TcxCustomEdit::CalculateViewInfo;
  // The view info always paints the editor's own picture.
  void CalculateViewInfo(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  bool CanAutoSize() override;
  bool CanAutoWidth() override { return true; }
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  void InitScrollBarsParameters() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  bool NeedsScrollBars() override { return true; }
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;

 private:
  // Loads a picture file into the picture, in the class the value is read
  // back by.
  void LoadPictureFile(const AnsiString& AFileName);
  void MenuItemClick(TObject* Sender);
  void PictureChanged(TObject* Sender);
  // Runs the steps shared by a picture change and a properties change.
  void PictureChangedSteps(bool AFromProperties);
  void ApplyTransparency();
  void UpdateMenu();
  void ResetImage();
  void SynchronizeImage();

  TPicture* FPicture = nullptr;
  TPopupMenu* FEditPopupMenu = nullptr;
  Word FClipboardFormat = 0;
  bool FIsUserAction = false;
  bool FLoadingEditValue = false;
  bool FIsDialogShowed = false;
};

class TcxImage : public TcxCustomImage {
  ORV_CLASS(TcxImage, TcxCustomImage)
 public:
  explicit TcxImage(TComponent* AOwner) : TcxImage(AOwner, false) {}
  TcxImage(TComponent* AOwner, bool AIsInplace) : TcxCustomImage(AOwner, AIsInplace) {}

  TcxImageProperties* GetProperties() const {
    return static_cast<TcxImageProperties*>(TcxCustomImage::GetProperties());
  }
  TcxImageProperties* GetActiveProperties() const {
    return static_cast<TcxImageProperties*>(TcxCustomImage::GetActiveProperties());
  }
  void SetProperties(TcxImageProperties* Value) { TcxCustomImage::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

void cxImageInitialize();
void cxImageFinalize();
