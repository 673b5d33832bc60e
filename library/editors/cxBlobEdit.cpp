#include "library/editors/cxBlobEdit.h"

#include <algorithm>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxGeometry.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Metrics.h"

using namespace win;

ORV_REGISTER(TcxCustomBlobEditProperties)
ORV_REGISTER(TcxBlobEditProperties, ORV_PROP(AlwaysSaveData).Default(true), ORV_PROP(AssignedValues),
             ORV_PROP(BlobEditKind).Default(bekAuto), ORV_PROP(BlobPaintStyle).Default(bpsIcon),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_PROP(ImmediatePopup).Default(true), ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(MemoAutoReplace).Default(false), ORV_PROP(MemoCharCase).Default(ecNormal),
             ORV_PROP(MemoMaxLength).Default(0), ORV_PROP(MemoOEMConvert).Default(false),
             ORV_PROP(MemoScrollBars).Default(ssNone), ORV_PROP(MemoWantReturns).Default(true),
             ORV_PROP(MemoWantTabs).Default(true), ORV_PROP(MemoWordWrap).Default(true),
             ORV_PROP(PictureAutoSize).Default(true), ORV_PROP(PictureFilter),
             ORV_PROP(PictureGraphicClassName).StoredBy<&TcxCustomBlobEditProperties::IsPictureGraphicClassNameStored>(),
             ORV_PROP(PictureTransparency).Default(gtDefault), ORV_PROP(PopupHeight).Default(200),
             ORV_PROP(PopupWidth).Default(250), ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ShowExPopupItems).Default(true), ORV_PROP(ShowPicturePopup).Default(true),
             ORV_EVENT(OnAssignPicture), ORV_EVENT(OnButtonClick), ORV_EVENT(OnChange), ORV_EVENT(OnCloseQuery),
             ORV_EVENT(OnCloseUp), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnGetGraphicClass),
             ORV_EVENT(OnInitPopup), ORV_EVENT(OnPopup), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxBlobEditViewInfo)
ORV_REGISTER(TcxBlobEditViewData)
ORV_REGISTER(TcxPopupMemo)
ORV_REGISTER(TcxPopupImage)
ORV_REGISTER(TcxBlobEditPopupWindow)
ORV_REGISTER(TcxCustomBlobEdit)
ORV_REGISTER(TcxBlobEdit, ORV_PROP(Anchors), ORV_PROP(Constraints), ORV_PROP(EditValue), ORV_PROP(Enabled),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Visible), ORV_EVENT(OnEditing),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp))
ORV_REGISTER(TcxFilterBlobEditHelper)

namespace {

TImageList* gBlobImages = nullptr;

const char* const kBlobImageNames[] = {"CXBMBLOB_BLOB_NULL", "CXBMBLOB_BLOB", "CXBMBLOB_MEMO_NULL",
                                       "CXBMBLOB_MEMO",      "CXBMBLOB_PICT_NULL", "CXBMBLOB_PICT",
                                       "CXBMBLOB_OLE_NULL",  "CXBMBLOB_OLE"};

// The first line of a text, as a cell shows it.
AnsiString FirstLine(const AnsiString& AText) {
  const std::size_t end = AText.find_first_of("\r\n");
  return end == AnsiString::npos ? AText : AText.substr(0, end);
}

}  // namespace

TCustomImageList* cxBlobEditImages() {
  if (!gBlobImages) {
    cxEditorBitmapsNeeded();
    TImageList* images = nullptr;
    for (Integer i = 0; i < 8; ++i) {
      TBitmap* bitmap = New<TBitmap>();
      orv::ScopeExit free([bitmap] { bitmap->Free(); });
      bitmap->LoadFromResourceName(nullptr, kBlobImageNames[i]);
      if (!images) {
        images = New<TImageList>(nullptr);
        images->SetWidth(bitmap->GetWidth());
        images->SetHeight(bitmap->GetHeight());
      }
      images->AddMasked(bitmap, static_cast<TColor>(0x008080));
    }
    gBlobImages = images;
  }
  return gBlobImages;
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomBlobEditProperties::TcxCustomBlobEditProperties(TPersistent* AOwner)
    : TcxCustomPopupEditProperties(AOwner), FPictureGraphicClass(GetDefaultGraphicClass()) {}

void TcxCustomBlobEditProperties::AfterConstruction() {
  TcxCustomPopupEditProperties::AfterConstruction();
  SetImmediatePopup(true);
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
  UpdateButton();
}

void TcxCustomBlobEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomBlobEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomPopupEditProperties::DoAssign(Source);
  if (!source) return;
  SetAlwaysSaveData(source->FAlwaysSaveData);
  SetBlobEditKind(source->FBlobEditKind);
  SetBlobPaintStyle(source->FBlobPaintStyle);
  SetMemoAutoReplace(source->FMemoAutoReplace);
  SetMemoCharCase(source->FMemoCharCase);
  SetMemoMaxLength(source->FMemoMaxLength);
  SetMemoOEMConvert(source->FMemoOEMConvert);
  SetMemoScrollBars(source->FMemoScrollBars);
  SetMemoWantReturns(source->FMemoWantReturns);
  SetMemoWantTabs(source->FMemoWantTabs);
  SetMemoWordWrap(source->FMemoWordWrap);
  SetImeMode(source->FImeMode);
  SetImeName(source->FImeName);
  SetPictureAutoSize(source->FPictureAutoSize);
  SetPictureFilter(source->FPictureFilter);
  SetPictureGraphicClass(source->FPictureGraphicClass);
  SetPictureTransparency(source->FPictureTransparency);
  SetShowExPopupItems(source->FShowExPopupItems);
  SetShowPicturePopup(source->FShowPicturePopup);
  OnAssignPicture = source->OnAssignPicture;
  OnGetGraphicClass = source->OnGetGraphicClass;
}

TClass TcxCustomBlobEditProperties::GetContainerClass() const { return TcxBlobEdit::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetViewDataClass() const { return TcxBlobEditViewData::StaticClass(); }
TClass TcxCustomBlobEditProperties::GetViewInfoClass() const { return TcxBlobEditViewInfo::StaticClass(); }
TClassRef<TcxCustomEditPopupWindow> TcxCustomBlobEditProperties::GetPopupWindowClass() const {
  return TcxBlobEditPopupWindow::StaticClass();
}

TcxEditSupportedOperations TcxCustomBlobEditProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result{esoEditing};
  if (GetButtons()->GetCount() > 0) result.Include(esoHotTrack);
  return result;
}

void TcxCustomBlobEditProperties::UpdateButton() {
  if (GetButtons()->GetCount() == 0) return;
  GetButtons()->GetItem(0)->SetKind(FBlobEditKind == bekMemo || FBlobEditKind == bekPict ? bkDown : bkEllipsis);
}

void TcxCustomBlobEditProperties::CorrectBlobEditKind() {
  if (FBlobEditKind != bekAuto) return;
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  if (provider && !provider->IsDataStorage()) return;
  TcxBlobEditKind kind = bekBlob;
  if (provider) switch (provider->DefaultBlobKind()) {
      case bkGraphic: kind = bekPict; break;
      case bkMemo: kind = bekMemo; break;
      case bkOle: kind = bekOle; break;
      default: kind = bekBlob; break;
    }
  LockUpdate(true);
  orv::ScopeExit unlock([this] { LockUpdate(false); });
  FBlobEditKind = kind;
  UpdateButton();
}

AnsiString TcxCustomBlobEditProperties::GetBlobText(const Variant& AValue, bool AFullText) {
  CorrectBlobEditKind();
  const bool null = VarIsNull(AValue) || VarIsEmpty(AValue);
  if (AFullText && FBlobEditKind == bekMemo && !null) return VarToStr(AValue);
  switch (FBlobPaintStyle) {
    case bpsDefault:
      if (FBlobEditKind == bekMemo) return cxEditResString(null ? cxSBlobMemoEmpty : cxSBlobMemo);
      if (FBlobEditKind == bekPict) return cxEditResString(null ? cxSBlobPictureEmpty : cxSBlobPicture);
      return AnsiString();
    case bpsText:
      if (FBlobEditKind == bekMemo && !null) return FirstLine(VarToStr(AValue));
      return AnsiString();
    default: return AnsiString();
  }
}

AnsiString TcxCustomBlobEditProperties::GetDisplayText(const Variant& AEditValue, bool AFullText, bool) {
  if (VarIsNull(AEditValue)) return AnsiString();
  CorrectBlobEditKind();
  switch (FBlobEditKind) {
    case bekMemo: return GetBlobText(AEditValue, AFullText);
    case bekPict: return cxEditResString(cxSBlobPicture);
    case bekOle: return "OLE";
    case bekBlob: return "BLOB";
    default: return AnsiString();
  }
}

bool TcxCustomBlobEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  if (FBlobPaintStyle != bpsText || FBlobEditKind != bekMemo || VarIsNull(AEditValue1) || VarIsNull(AEditValue2))
    return false;
  return GetBlobText(AEditValue1) == GetBlobText(AEditValue2);
}

TGraphicClass TcxCustomBlobEditProperties::GetPictureGraphicClass(bool AIsLoading) {
  TGraphicClass result = FPictureGraphicClass;
  if (!result && AIsLoading) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(this, -1, !AIsLoading, result);
  return result;
}

void TcxCustomBlobEditProperties::SetAlwaysSaveData(bool Value) {
  if (FAlwaysSaveData == Value) return;
  FAlwaysSaveData = Value;
  Changed();
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind Value) {
  if (FBlobEditKind == Value) return;
  FBlobEditKind = Value;
  UpdateButton();
  Changed();
}

void TcxCustomBlobEditProperties::SetBlobPaintStyle(TcxBlobPaintStyle Value) {
  if (FBlobPaintStyle == Value) return;
  FBlobPaintStyle = Value;
  Changed();
}

#define CX_BLOB_SETTER(Name, Type, Field)                       \
  void TcxCustomBlobEditProperties::Set##Name(Type Value) {     \
    if (Field == Value) return;                                 \
    Field = Value;                                              \
    Changed();                                                  \
  }
CX_BLOB_SETTER(MemoAutoReplace, bool, FMemoAutoReplace)
CX_BLOB_SETTER(MemoCharCase, TEditCharCase, FMemoCharCase)
CX_BLOB_SETTER(MemoOEMConvert, bool, FMemoOEMConvert)
CX_BLOB_SETTER(MemoScrollBars, TScrollStyle, FMemoScrollBars)
CX_BLOB_SETTER(MemoWantReturns, bool, FMemoWantReturns)
CX_BLOB_SETTER(MemoWantTabs, bool, FMemoWantTabs)
CX_BLOB_SETTER(MemoWordWrap, bool, FMemoWordWrap)
CX_BLOB_SETTER(ImeMode, TImeMode, FImeMode)
CX_BLOB_SETTER(ImeName, const AnsiString&, FImeName)
CX_BLOB_SETTER(PictureAutoSize, bool, FPictureAutoSize)
CX_BLOB_SETTER(PictureFilter, const AnsiString&, FPictureFilter)
CX_BLOB_SETTER(PictureGraphicClass, TGraphicClass, FPictureGraphicClass)
CX_BLOB_SETTER(PictureTransparency, TcxImageTransparency, FPictureTransparency)
CX_BLOB_SETTER(ShowExPopupItems, bool, FShowExPopupItems)
CX_BLOB_SETTER(ShowPicturePopup, bool, FShowPicturePopup)
#undef CX_BLOB_SETTER

void TcxCustomBlobEditProperties::SetMemoMaxLength(Integer Value) {
  Value = std::max(Value, 0);
  if (FMemoMaxLength == Value) return;
  FMemoMaxLength = Value;
  Changed();
}

AnsiString TcxCustomBlobEditProperties::GetPictureGraphicClassName() const {
  return FPictureGraphicClass ? FPictureGraphicClass.ClassName() : AnsiString();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const AnsiString& Value) {
  if (Value.empty()) {
    SetPictureGraphicClass(nullptr);
    return;
  }
  if (TGraphicClass cls = GetGraphicClassByName(Value)) SetPictureGraphicClass(cls);
}

bool TcxCustomBlobEditProperties::IsPictureGraphicClassNameStored() const {
  return FPictureGraphicClass && FPictureGraphicClass != GetDefaultGraphicClass();
}

void TcxCustomBlobEditProperties::DefineProperties(TFiler* Filer) {
  TcxCustomPopupEditProperties::DefineProperties(Filer);
  Filer->DefineProperty("IsPictureGraphicClassNameEmpty",
                        TReaderProc::Bind<&TcxCustomBlobEditProperties::ReadIsPictureGraphicClassNameEmpty>(this),
                        TWriterProc::Bind<&TcxCustomBlobEditProperties::WriteIsPictureGraphicClassNameEmpty>(this),
                        !FPictureGraphicClass);
}

void TcxCustomBlobEditProperties::ReadIsPictureGraphicClassNameEmpty(TReader* Reader) {
  if (Reader->ReadBoolean()) SetPictureGraphicClass(nullptr);
}

void TcxCustomBlobEditProperties::WriteIsPictureGraphicClassNameEmpty(TWriter* Writer) {
  Writer->WriteBoolean(true);
}

// ---------------------------------------------------------------------------
// View info and view data.

void TcxBlobEditViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxBlobEditViewInfo*>(Source)) {
    ImageIndex = source->ImageIndex;
    ImageRect = source->ImageRect;
  }
}

void TcxBlobEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  ImageRect = cxRectOffset(ImageRect, DX, DY);
}

void TcxBlobEditViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
  if (ImageIndex < 0) return;
  TcxRegion* saved = ACanvas->GetClipRegion();
  ACanvas->IntersectClipRect(ClientRect);
  cxBlobEditImages()->Draw(ACanvas->GetCanvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
  ACanvas->SetClipRegion(saved, roSet);
}

void TcxBlobEditViewData::ValueToDrawValue(const Variant& AValue, TcxBlobEditViewInfo* AInfo) {
  TcxCustomBlobEditProperties* properties = GetProperties();
  properties->CorrectBlobEditKind();
  AInfo->TextRowsPrepared = false;
  if (properties->GetBlobPaintStyle() != bpsIcon) {
    AInfo->ImageIndex = -1;
    AInfo->Text = properties->GetBlobText(AValue);
    return;
  }
  Integer index = 0;
  switch (properties->GetBlobEditKind()) {
    case bekMemo: index = 2; break;
    case bekPict: index = 4; break;
    case bekOle: index = 6; break;
    default: index = 0; break;
  }
  if (!VarIsNull(AValue) && !VarIsEmpty(AValue)) ++index;
  AInfo->ImageIndex = index;
  AInfo->Text = AnsiString();
}

void TcxBlobEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) {
  ValueToDrawValue(AValue, static_cast<TcxBlobEditViewInfo*>(AViewInfo));
}

void TcxBlobEditViewData::DisplayValueToDrawValue(const Variant&, TcxCustomEditViewInfo* AViewInfo) {
  auto* edit = Edit ? dynamic_cast<TcxCustomBlobEdit*>(Edit->GetEditControl()) : nullptr;
  ValueToDrawValue(edit ? edit->GetEditValue() : Null(), static_cast<TcxBlobEditViewInfo*>(AViewInfo));
}

void TcxBlobEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                    TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                    bool AIsMouseEvent) {
  TcxCustomDropDownEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxBlobEditViewInfo*>(AViewInfo);
  if (auto* edit = Edit ? dynamic_cast<TcxCustomBlobEdit*>(Edit->GetEditControl()) : nullptr)
    ValueToDrawValue(edit->GetEditValue(), info);
  TCustomImageList* images = cxBlobEditImages();
  const TRect& r = info->ClientRect;
  const Integer left = r.Left + (r.Width() - images->GetWidth()) / 2;
  const Integer top = r.Top + (r.Height() - images->GetHeight()) / 2;
  info->ImageRect = TRect(left, top, left + images->GetWidth(), top + images->GetHeight());
}

TSize TcxBlobEditViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                           const TcxEditSizeProperties& AEditSizeProperties,
                                                           TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo) {
  TSize size = TcxCustomDropDownEditViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace,
                                                                             AEditSizeProperties, MinContentSize,
                                                                             AViewInfo);
  if (GetProperties()->GetBlobPaintStyle() == bpsIcon) size.cx += cxBlobEditImages()->GetWidth();
  return size;
}

// ---------------------------------------------------------------------------
// The popup's storages and window.

void TcxPopupImage::SetMenuShown(bool AShown, bool AExtraItems) {
  FMenuShown = AShown;
  TcxPopupMenuItems items = TcxPopupMenuLayout::DefaultMenuItems();
  if (!AExtraItems) {
    items.Exclude(pmiLoad);
    items.Exclude(pmiSave);
  }
  GetProperties()->GetPopupMenuLayout()->SetMenuItems(items);
}

void TcxPopupImage::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (!FMenuShown) {
    Handled = true;
    return;
  }
  TcxImage::DoContextPopup(MousePos, Handled);
}

void TcxBlobEditPopupWindow::DoPopupControlKey(char Key) {
  auto* edit = dynamic_cast<TcxCustomBlobEdit*>(GetOwnerControl());
  auto* memo = edit ? dynamic_cast<TcxPopupMemo*>(edit->GetStorage()) : nullptr;
  if (memo && edit->GetActiveProperties()->GetMemoAutoReplace() && !memo->GetActiveProperties()->GetReadOnly() &&
      static_cast<unsigned char>(Key) >= ' ') {
    memo->SetText(AnsiString(1, Key));
    memo->SetSelStart(1);
    memo->SetModifiedAfterEnter(true);
    edit->StorageChanged(memo);
    return;
  }
  TcxPopupEditPopupWindow::DoPopupControlKey(Key);
}

// ---------------------------------------------------------------------------
// The editor.

TClassRef<TcxCustomEditProperties> TcxCustomBlobEdit::GetPropertiesClass() const {
  return TcxCustomBlobEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxBlobEdit::GetPropertiesClass() const {
  return TcxBlobEditProperties::StaticClass();
}

TcxCustomBlobEdit::~TcxCustomBlobEdit() { DestroyPopupControls(); }

void TcxCustomBlobEdit::Initialize() {
  TcxCustomPopupEdit::Initialize();
  SetTabStop(true);
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

void TcxCustomBlobEdit::PrepareEditValue(const Variant&, Variant& EditValue, bool) {
  // The cell shows an icon or a label, never the value: the value itself
  // stays whatever the inner text says.
  EditValue = FEditValue;
}

Variant TcxCustomBlobEdit::GetEditingValue() {
  if (HasPopupWindow() && FStorage) {
    if (auto* memo = dynamic_cast<TcxPopupMemo*>(FStorage)) return Variant(memo->GetText());
    return FStorage->GetEditValue();
  }
  return GetEditValue();
}

bool TcxCustomBlobEdit::IsStorageReadOnly() {
  IcxEditDefaultValuesProvider* provider = GetDataBinding()->GetIDefaultValuesProvider();
  return GetActiveProperties()->GetReadOnly() || (provider && !provider->IsDataAvailable()) || !CanModify();
}

void TcxCustomBlobEdit::DestroyPopupControls() {
  if (GetActiveProperties() && GetActiveProperties()->GetPopupControl() == FStorage)
    GetActiveProperties()->SetPopupControl(nullptr);
  FreeAndNil(FOKButton);
  FreeAndNil(FCancelButton);
  FreeAndNil(FStorage);
}

void TcxCustomBlobEdit::CreatePopupControls() {
  TcxCustomBlobEditProperties* properties = GetActiveProperties();
  properties->CorrectBlobEditKind();
  const TcxBlobEditKind kind = properties->GetBlobEditKind();
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  const bool readOnly = IsStorageReadOnly();
  TcxContainerStyle* style = GetActiveStyle();
  if (kind == bekMemo) {
    if (FStorage && !dynamic_cast<TcxPopupMemo*>(FStorage)) FreeAndNil(FStorage);
    if (!FStorage) FStorage = New<TcxPopupMemo>(nullptr);
    auto* memo = static_cast<TcxPopupMemo*>(FStorage);
    TcxMemoProperties* memoProperties = memo->GetProperties();
    memoProperties->SetCharCase(properties->GetMemoCharCase());
    memoProperties->SetImeMode(properties->GetImeMode());
    memoProperties->SetImeName(properties->GetImeName());
    memoProperties->SetMaxLength(properties->GetMemoMaxLength());
    memoProperties->SetOEMConvert(properties->GetMemoOEMConvert());
    memoProperties->SetScrollBars(properties->GetMemoScrollBars());
    memoProperties->SetWantReturns(properties->GetMemoWantReturns());
    memoProperties->SetWantTabs(properties->GetMemoWantTabs());
    memoProperties->SetWordWrap(properties->GetMemoWordWrap());
    memoProperties->SetReadOnly(readOnly);
    memoProperties->OnChange = {};
    memo->SetParent(popup);
    memo->SetEditValue(VarIsNull(GetEditValue()) ? Variant(AnsiString()) : Variant(VarToStr(GetEditValue())));
    memoProperties->OnChange = TNotifyEvent::Bind<&TcxCustomBlobEdit::StorageChanged>(this);
    properties->SetPopupAutoSize(false);
  } else if (kind == bekPict) {
    if (FStorage && !dynamic_cast<TcxPopupImage*>(FStorage)) FreeAndNil(FStorage);
    if (!FStorage) FStorage = New<TcxPopupImage>(nullptr);
    auto* image = static_cast<TcxPopupImage*>(FStorage);
    TcxImageProperties* imageProperties = image->GetProperties();
    imageProperties->SetShowFocusRect(false);
    imageProperties->SetStretch(true);
    imageProperties->SetGraphicTransparency(properties->GetPictureTransparency());
    imageProperties->SetCustomFilter(properties->GetPictureFilter());
    imageProperties->SetGraphicClass(properties->GetPictureGraphicClass());
    imageProperties->SetReadOnly(readOnly);
    image->SetMenuShown(properties->GetShowPicturePopup(), properties->GetShowExPopupItems());
    image->OnGetGraphicClass =
        TcxImageEditGraphicClassEvent::Bind<&TcxCustomBlobEdit::PictureGetGraphicClass>(this);
    imageProperties->OnClosePopup = TcxEditClosePopupEvent::Bind<&TcxCustomBlobEdit::PictureClosePopup>(this);
    imageProperties->OnChange = {};
    image->SetParent(popup);
    image->SetEditValue(GetEditValue());
    image->SetModified(false);
    imageProperties->OnChange = TNotifyEvent::Bind<&TcxCustomBlobEdit::StorageChanged>(this);
    properties->SetPopupAutoSize(properties->GetPictureAutoSize());
  } else {
    DestroyPopupControls();
    return;
  }
  FStorageModified = false;
  FSavedByPicture = false;
  FStorage->GetStyle()->SetBorderStyle(cbsNone);
  FStorage->GetStyle()->SetFont(style->GetFont());
  FStorage->GetStyle()->SetColor(style->GetColor());
  FStorage->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(GetPopupLookAndFeel());
  properties->SetPopupControl(FStorage);
  properties->SetPopupSysPanelStyle(true);

  // The buttons: Close alone where nothing may change, else OK and Cancel.
  const AnsiString cancelCaption = cxEditResString(readOnly ? cxSBlobButtonClose : cxSBlobButtonCancel);
  const AnsiString okCaption = cxEditResString(cxSBlobButtonOK);
  TCanvas* canvas = popup->GetCanvas();
  canvas->SetFont(style->GetVisibleFont());
  FButtonWidth = std::max(canvas->TextWidth(cancelCaption + "00"), canvas->TextWidth(okCaption + "00"));
  const Integer h = canvas->TextHeight("Wg") * 20 / 13;
  if (!FCancelButton) FCancelButton = New<TcxButton>(nullptr);
  FCancelButton->SetCaption(cancelCaption);
  FCancelButton->SetModalResult(mrCancel);
  FCancelButton->SetCancel(true);
  if (readOnly) {
    FreeAndNil(FOKButton);
  } else {
    if (!FOKButton) FOKButton = New<TcxButton>(nullptr);
    FOKButton->SetCaption(okCaption);
    FOKButton->SetModalResult(mrOk);
    FOKButton->SetEnabled(false);
    FOKButton->SetDefault(false);
  }
  const Integer buttons = FOKButton ? 2 : 1;
  popup->SetMinSysPanelHeight(h + h / 3);
  properties->SetPopupMinWidth(buttons * (FButtonWidth + h / 3) + GetSystemMetrics(SM_CXVSCROLL) + h / 2);
  for (TcxButton* button : {FCancelButton, FOKButton}) {
    if (!button) continue;
    button->SetFont(style->GetVisibleFont());
    button->GetLookAndFeel()->SetMasterLookAndFeel(GetPopupLookAndFeel());
    button->SetBounds(0, 0, FButtonWidth, h);
    button->OnClick = TNotifyEvent::Bind<&TcxCustomBlobEdit::ButtonClick>(this);
    button->SetParent(popup);
  }
}

void TcxCustomBlobEdit::DoInitPopup() {
  TcxCustomPopupEdit::DoInitPopup();
  CreatePopupControls();
}

void TcxCustomBlobEdit::SetupPopupWindow() {
  GetActiveStyle()->SetPopupCloseButton(false);
  TcxCustomPopupEdit::SetupPopupWindow();
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup || !FCancelButton) return;
  popup->CalculateViewInfo();
  TcxCustomEditPopupWindowViewInfo* info = popup->GetViewInfo();
  const Integer h = FCancelButton->GetHeight();
  const TRect extent = info->GetBorderExtent();
  const bool top = info->SizingCorner == ecoTopLeft || info->SizingCorner == ecoTopRight;
  const bool gripRight = info->SizingCorner == ecoTopRight || info->SizingCorner == ecoBottomRight;
  const Integer border = info->GetBorderWidth();
  const Integer panelTop = top ? border : popup->GetHeight() - extent.Bottom;
  const Integer panelBottom = top ? extent.Top : popup->GetHeight() - border;
  const Integer buttonTop = panelTop + (panelBottom - panelTop - h) / 2;
  Integer right = popup->GetWidth() - border;
  right -= gripRight && info->Sizeable ? info->GetSizeGripSize() + h / 6 : 2 * h / 6;
  const TAnchors anchors{akRight, top ? akTop : akBottom};
  FCancelButton->SetBounds(right - FButtonWidth, buttonTop, FButtonWidth, h);
  FCancelButton->SetAnchors(anchors);
  if (FOKButton) {
    FOKButton->SetBounds(right - 2 * FButtonWidth - h / 3, buttonTop, FButtonWidth, h);
    FOKButton->SetAnchors(anchors);
  }
}

TWinControl* TcxCustomBlobEdit::GetPopupFocusedControl() { return FStorage; }

TSize TcxCustomBlobEdit::GetPopupWindowClientPreferredSize() {
  TcxCustomBlobEditProperties* properties = GetActiveProperties();
  if (properties->GetBlobEditKind() == bekPict && properties->GetPictureAutoSize())
    if (auto* image = dynamic_cast<TcxPopupImage*>(FStorage))
      return TSize(image->GetPicture()->GetWidth() + 4, image->GetPicture()->GetHeight() + 4);
  return TSize(properties->GetPopupWidth(), properties->GetPopupHeight());
}

void TcxCustomBlobEdit::StorageChanged(TObject*) {
  FStorageModified = true;
  if (FOKButton) {
    FOKButton->SetEnabled(true);
    FOKButton->SetDefault(true);
  }
}

void TcxCustomBlobEdit::PictureGetGraphicClass(TObject*, bool APastingFromClipboard, TGraphicClass& AGraphicClass) {
  TcxCustomBlobEditProperties* properties = GetActiveProperties();
  if (properties->OnGetGraphicClass) properties->OnGetGraphicClass(this, -1, APastingFromClipboard, AGraphicClass);
}

// The picture's own Load closes the popup: accepted, its value is taken.
void TcxCustomBlobEdit::PictureClosePopup(TObject*, TcxEditCloseUpReason AReason) {
  if (AReason == crEnter) ClosePopupWith(mrOk);
}

// The popup's keys: Escape cancels; F4 and Alt+Up/Down close, saving only
// under AlwaysSaveData; Enter (Ctrl+Enter in a memo that takes Enter)
// saves. The key and the character it makes go no further.
void TcxCustomBlobEdit::PopupWindowKeyDown(Word& Key, TShiftState Shift) {
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup || !FStorage) {
    TcxCustomPopupEdit::PopupWindowKeyDown(Key, Shift);
    return;
  }
  TcxCustomBlobEditProperties* properties = GetActiveProperties();
  const bool alt = Shift.Contains(ssAlt);
  TModalResult result = mrNone;
  if (Key == VK_ESCAPE) {
    result = mrCancel;
  } else if ((Key == VK_F4 && !alt) || ((Key == VK_UP || Key == VK_DOWN) && alt)) {
    result = properties->GetAlwaysSaveData() ? mrOk : mrCancel;
  } else if (Key == VK_RETURN && !alt) {
    const bool memoTakesEnter = dynamic_cast<TcxPopupMemo*>(FStorage) && properties->GetMemoWantReturns();
    if (!memoTakesEnter || Shift.Contains(ssCtrl)) result = mrOk;
  }
  if (result == mrNone) return;
  Key = 0;
  MSG pending;
  PeekMessageA(&pending, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE);
  ClosePopupWith(result);
}

void TcxCustomBlobEdit::ClosePopupWith(TModalResult AResult) {
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  if (!popup) return;
  popup->SetModalResult(AResult);
  CloseUp(AResult == mrOk ? crEnter : crCancel);
}

void TcxCustomBlobEdit::ButtonClick(TObject* Sender) { ClosePopupWith(Sender == FOKButton ? mrOk : mrCancel); }

void TcxCustomBlobEdit::SaveStorage() {
  TcxCustomEditPopupWindow* popup = GetPopupWindow();
  if (!FStorage || !FStorageModified || !popup) return;
  const TModalResult result = popup->GetModalResult();
  const bool save = result == mrOk || (result != mrCancel && GetActiveProperties()->GetAlwaysSaveData());
  if (!save || !DoEditing()) return;
  Variant value;
  if (auto* memo = dynamic_cast<TcxPopupMemo*>(FStorage)) {
    value = Variant(memo->GetText());
  } else if (auto* image = dynamic_cast<TcxPopupImage*>(FStorage)) {
    FPictureClass =
        image->GetPicture()->GetGraphic() ? TGraphicClass(image->GetPicture()->GetGraphic()->ClassType()) : nullptr;
    value = image->GetEditValue();
  }
  FStorageModified = false;
  FEditValue = value;
  SetModifiedAfterEnter(true);
  DoEditValueChanged();
  DoChange();
  if (dynamic_cast<TcxPopupImage*>(FStorage)) DoAssignPicture();
  if (GetActiveProperties()->GetImmediatePost() && CanPostEditValue()) InternalPostEditValue(false);
}

void TcxCustomBlobEdit::DoAssignPicture() {
  auto* image = dynamic_cast<TcxPopupImage*>(FStorage);
  if (!image) return;
  LockEditValueChanging(true);
  orv::ScopeExit unlock([this] { LockEditValueChanging(false); });
  SaveModified();
  orv::ScopeExit restore([this] { RestoreModified(); });
  if (GetProperties()->OnAssignPicture) GetProperties()->OnAssignPicture(this, image->GetPicture());
  if (GetRepositoryItem() && GetActiveProperties()->OnAssignPicture)
    GetActiveProperties()->OnAssignPicture(this, image->GetPicture());
  DoEditing();
}

void TcxCustomBlobEdit::PopupWindowClosed(TObject* Sender) {
  {
    auto locked = ChangeEventsLocked(this);
    SaveStorage();
    TcxCustomPopupEdit::PopupWindowClosed(Sender);
  }
  ShortRefreshContainer(false);
}

void TcxCustomBlobEdit::PropertiesChanged(TObject* Sender) {
  if (!PropertiesChangeLocked() && GetActiveProperties()) {
    TcxCustomBlobEditProperties* properties = GetActiveProperties();
    if (auto* image = dynamic_cast<TcxPopupImage*>(FStorage); image && HasPopupWindow())
      image->GetProperties()->SetGraphicClass(properties->GetPictureGraphicClass());
    if (auto* memo = dynamic_cast<TcxPopupMemo*>(FStorage); memo && HasPopupWindow()) {
      memo->GetProperties()->SetImeMode(properties->GetImeMode());
      memo->GetProperties()->SetImeName(properties->GetImeName());
    }
  }
  TcxCustomPopupEdit::PropertiesChanged(Sender);
}

// ---------------------------------------------------------------------------
// The filter helper.

TcxFilterControlOperators TcxFilterBlobEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                                               TcxValueTypeClass, bool) const {
  TcxFilterControlOperators result{fcoBlanks, fcoNonBlanks};
  auto* blob = dynamic_cast<TcxBlobEditProperties*>(AProperties);
  if (blob && blob->GetBlobEditKind() == bekMemo) {
    result.Include(fcoLike);
    result.Include(fcoNotLike);
  }
  return result;
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer BlobEditStartCount = 0;
}

void cxBlobEditInitialize() {
  if (BlobEditStartCount++ > 0) return;
  cxBlobEditImages();
  GetRegisteredEditProperties()->Register(TcxBlobEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryBlobItem));
}

void cxBlobEditFinalize() {
  if (BlobEditStartCount == 0 || --BlobEditStartCount > 0) return;
  GetRegisteredEditProperties()->Unregister(TcxBlobEditProperties::StaticClass());
  if (gBlobImages) gBlobImages->Free();
  gBlobImages = nullptr;
}
