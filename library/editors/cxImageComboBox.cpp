#include "library/editors/cxImageComboBox.h"

#include <algorithm>
#include <climits>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditPopupWindow.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxGeometry.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Metrics.h"

using namespace win;

namespace {
// A lookup key as an item index (-1 for none).
Integer KeyIndex(const Variant& AKey) { return VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger(); }
}  // namespace

ORV_REGISTER(TcxImageComboBoxItem, ORV_PROP(Description), ORV_PROP(ImageIndex).Default(-1),
             ORV_PROP(Tag).StoredBy<&TcxImageComboBoxItem::IsTagStored>(),
             ORV_PROP(Value).StoredBy<&TcxImageComboBoxItem::IsValueStored>())
ORV_REGISTER(TcxImageComboBoxItems)
ORV_REGISTER(TcxCustomImageComboBoxProperties)
ORV_REGISTER(TcxImageComboBoxProperties, ORV_PROP(Alignment), ORV_PROP(AssignedValues), ORV_PROP(ButtonGlyph),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(DefaultDescription), ORV_PROP(DefaultImageIndex).Default(-1),
             ORV_PROP(DropDownRows).Default(8), ORV_PROP(ImageAlign).Default(iaLeft), ORV_PROP(ImeMode).Default(imDontCare),
             ORV_PROP(ImeName), ORV_PROP(Images), ORV_PROP(ImmediateDropDown).Default(true),
             ORV_PROP(ImmediatePost).Default(false), ORV_PROP(ImmediateUpdateText).Default(false),
             ORV_PROP(Items), ORV_PROP(LargeImages), ORV_PROP(MultiLineText).Default(false),
             ORV_PROP(PopupAlignment).Default(taLeftJustify), ORV_PROP(PostPopupValueOnTab).Default(false),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(Revertable).Default(false), ORV_PROP(ShowDescriptions).Default(true),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_EVENT(OnButtonClick), ORV_EVENT(OnChange),
             ORV_EVENT(OnCloseQuery), ORV_EVENT(OnCloseUp), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitPopup),
             ORV_EVENT(OnPopup), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxImageComboBoxViewInfo)
ORV_REGISTER(TcxImageComboBoxViewData)
ORV_REGISTER(TcxImageComboBoxListBox)
ORV_REGISTER(TcxImageComboBoxLookupData)
ORV_REGISTER(TcxCustomImageComboBox)
ORV_REGISTER(TcxImageComboBox, ORV_PROP(Anchors), ORV_PROP(Constraints), ORV_PROP(EditValue), ORV_PROP(Enabled),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Visible), ORV_EVENT(OnClick),
             ORV_EVENT(OnEditing), ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown),
             ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp))
ORV_REGISTER(TcxFilterImageComboBoxHelper)

// ---------------------------------------------------------------------------
// Items.

TcxImageComboBoxItem::TcxImageComboBoxItem(TCollection* Collection) : TCollectionItem(Collection) {
  // A new item takes the image of its own index when the list has one.
  auto* properties = Collection ? dynamic_cast<TcxCustomImageComboBoxProperties*>(Collection->GetOwner()) : nullptr;
  if (properties && properties->GetImages() && properties->GetImages()->GetCount() >= Collection->GetCount())
    FImageIndex = Collection->GetCount() - 1;
}

void TcxImageComboBoxItem::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxImageComboBoxItem*>(Source);
  if (!source) {
    TCollectionItem::DoAssign(Source);
    return;
  }
  SetDescription(source->FDescription);
  SetImageIndex(source->FImageIndex);
  FTag = source->FTag;
  SetValue(source->FValue);
}

void TcxImageComboBoxItem::SetDescription(const AnsiString& Value) {
  if (FDescription == Value) return;
  FDescription = Value;
  Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& Value) {
  if (VarEqualsExact(FValue, Value)) return;
  FValue = Value;
  Changed(false);
}

TcxImageComboBoxItems::TcxImageComboBoxItems(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TcxImageComboBoxItem::StaticClass()) {}

void TcxImageComboBoxItems::Update(TCollectionItem*) {
  if (auto* properties = dynamic_cast<TcxCustomImageComboBoxProperties*>(GetOwner())) properties->Changed();
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties(TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner) {
  FItems = New<TcxImageComboBoxItems>(this);
  FImagesLink = New<TChangeLink>();
  FImagesLink->OnChange = TNotifyEvent::Bind<&TcxCustomImageComboBoxProperties::ImageListChanged>(this);
  FLargeImagesLink = New<TChangeLink>();
  FLargeImagesLink->OnChange = TNotifyEvent::Bind<&TcxCustomImageComboBoxProperties::ImageListChanged>(this);
  FFreeNotificator = New<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification =
      Event<void(TComponent*)>::Bind<&TcxCustomImageComboBoxProperties::ImageListFreed>(this);
  SetDropDownListStyle(lsFixedList);
}

TcxCustomImageComboBoxProperties::~TcxCustomImageComboBoxProperties() {
  FFreeNotificator->Free();
  FLargeImagesLink->Free();
  FImagesLink->Free();
  FItems->Free();
}

void TcxCustomImageComboBoxProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomImageComboBoxProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomComboBoxProperties::DoAssign(Source);
  if (!source) return;
  SetDefaultDescription(source->FDefaultDescription);
  SetDefaultImageIndex(source->FDefaultImageIndex);
  SetImageAlign(source->FImageAlign);
  SetImages(source->FImages);
  FItems->Assign(source->FItems);
  SetLargeImages(source->FLargeImages);
  SetMultiLineText(source->FMultiLineText);
  SetShowDescriptions(source->FShowDescriptions);
}

TClass TcxCustomImageComboBoxProperties::GetContainerClass() const { return TcxImageComboBox::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetLookupDataClass() const {
  return TcxImageComboBoxLookupData::StaticClass();
}
TClass TcxCustomImageComboBoxProperties::GetViewDataClass() const { return TcxImageComboBoxViewData::StaticClass(); }
TClass TcxCustomImageComboBoxProperties::GetViewInfoClass() const { return TcxImageComboBoxViewInfo::StaticClass(); }

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& AValue) const {
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (VarEqualsExact(FItems->GetItems(i)->GetValue(), AValue)) return FItems->GetItems(i);
  return nullptr;
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByText(const AnsiString& AText) const {
  if (!FShowDescriptions) return nullptr;
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (SameText(FItems->GetItems(i)->GetDescription(), AText)) return FItems->GetItems(i);
  return nullptr;
}

bool TcxCustomImageComboBoxProperties::FindLookupText(const AnsiString& AText) const {
  return FindItemByText(AText) != nullptr;
}

void TcxCustomImageComboBoxProperties::InternalGetImageComboBoxDisplayValue(TcxImageComboBoxItem* AItem,
                                                                            AnsiString& AText,
                                                                            Integer& AImageIndex) const {
  AText = !FShowDescriptions ? AnsiString() : AItem ? AItem->GetDescription() : FDefaultDescription;
  AImageIndex = AItem ? AItem->GetImageIndex() : FDefaultImageIndex;
}

void TcxCustomImageComboBoxProperties::GetImageComboBoxDisplayValue(const Variant& AEditValue, AnsiString& AText,
                                                                    Integer& AImageIndex) const {
  InternalGetImageComboBoxDisplayValue(FindItemByValue(AEditValue), AText, AImageIndex);
}

void TcxCustomImageComboBoxProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  TcxImageComboBoxItem* item = FindItemByValue(AEditValue);
  DisplayValue = Variant(item ? item->GetDescription() : FDefaultDescription);
}

AnsiString TcxCustomImageComboBoxProperties::GetDisplayText(const Variant& AEditValue, bool, bool) {
  Variant display;
  PrepareDisplayValue(AEditValue, display, false);
  return VarToStr(display);
}

bool TcxCustomImageComboBoxProperties::CompareDisplayValues(const Variant& AEditValue1,
                                                            const Variant& AEditValue2) {
  AnsiString text1, text2;
  Integer image1 = -1, image2 = -1;
  GetImageComboBoxDisplayValue(AEditValue1, text1, image1);
  GetImageComboBoxDisplayValue(AEditValue2, text2, image2);
  return text1 == text2 && (!FImages || image1 == image2);
}

TcxEditSupportedOperations TcxCustomImageComboBoxProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result{esoEditing, esoFiltering, esoHorzAlignment, esoSorting, esoSortingByDisplayText};
  if (GetButtons()->GetCount() > 0) result.Include(esoHotTrack);
  if (FShowDescriptions) result.Include(esoIncSearch);
  return result;
}

void TcxCustomImageComboBoxProperties::SetDefaultDescription(const AnsiString& Value) {
  if (FDefaultDescription == Value) return;
  FDefaultDescription = Value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultImageIndex(Integer Value) {
  if (FDefaultImageIndex == Value) return;
  FDefaultImageIndex = Value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetImageAlign(TcxImageAlign Value) {
  if (FImageAlign == Value) return;
  FImageAlign = Value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetImageList(TCustomImageList*& AField, TChangeLink* ALink,
                                                    TCustomImageList* Value) {
  if (AField == Value) return;
  if (AField) {
    AField->UnRegisterChanges(ALink);
    if (AField != FImages || AField != FLargeImages) FFreeNotificator->RemoveSender(AField);
  }
  AField = Value;
  if (AField) {
    AField->RegisterChanges(ALink);
    FFreeNotificator->AddSender(AField);
  }
  // The other list may be the same one: it stays watched.
  if (FImages) FFreeNotificator->AddSender(FImages);
  if (FLargeImages) FFreeNotificator->AddSender(FLargeImages);
  Changed();
}

void TcxCustomImageComboBoxProperties::SetImages(TCustomImageList* Value) {
  SetImageList(FImages, FImagesLink, Value);
}

void TcxCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* Value) {
  SetImageList(FLargeImages, FLargeImagesLink, Value);
}

void TcxCustomImageComboBoxProperties::SetMultiLineText(bool Value) {
  if (FMultiLineText == Value) return;
  FMultiLineText = Value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetShowDescriptions(bool Value) {
  if (FShowDescriptions == Value) return;
  FShowDescriptions = Value;
  Changed();
}

void TcxCustomImageComboBoxProperties::ImageListChanged(TObject*) { Changed(); }

void TcxCustomImageComboBoxProperties::ImageListFreed(TComponent* Sender) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  if (Sender == FImages) {
    FImages = nullptr;
    Changed();
  }
  if (Sender == FLargeImages) {
    FLargeImages = nullptr;
    Changed();
  }
}

// ---------------------------------------------------------------------------
// View info.

void TcxImageComboBoxViewInfo::Assign(TObject* Source) {
  TcxCustomTextEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxImageComboBoxViewInfo*>(Source);
  if (!source) return;
  ImageRect = source->ImageRect;
  ShowDescriptions = source->ShowDescriptions;
  ImageAlign = source->ImageAlign;
  ImageIndex = source->ImageIndex;
  Images = source->Images;
}

void TcxImageComboBoxViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  ImageRect = cxRectOffset(ImageRect, DX, DY);
}

void TcxImageComboBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  // The image area is kept from the text's painting, then given back.
  TcxRegion* outer = ACanvas->GetClipRegion();
  orv::ScopeExit restore([ACanvas, outer] { ACanvas->SetClipRegion(outer, roSet); });
  if (Images && ImageIndex >= 0 && ImageIndex < Images->GetCount() && ACanvas->RectVisible(Bounds)) {
    TRect clip;
    if (cxRectIntersect(clip, ImageRect, Bounds)) {
      TcxRegion* saved = ACanvas->GetClipRegion();
      ACanvas->IntersectClipRect(clip);
      if (Transparent)
        Images->Draw(ACanvas->GetCanvas(), ImageRect.Left, ImageRect.Top, ImageIndex, Enabled);
      else
        DrawGlyph(ACanvas, Images, ImageIndex, ImageRect, BackgroundColor, Enabled);
      ACanvas->SetClipRegion(saved, roSet);
      if (!Transparent) ACanvas->ExcludeClipRect(clip);
    }
  }
  TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
}

// ---------------------------------------------------------------------------
// View data.

void TcxImageComboBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                         TcxMouseButton AButton, TShiftState AShift,
                                         TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomComboBoxViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
  TcxCustomImageComboBoxProperties* properties = GetProperties();
  info->ImageAlign = properties->GetImageAlign();
  info->Images = properties->GetImages();
  info->ShowDescriptions = properties->GetShowDescriptions();
  TRect t = info->ClientRect;
  info->ImageRect = TRect();
  if (TCustomImageList* images = info->Images) {
    TRect i = cxRectInflate(t, -2, 0);
    if (i.Width() <= images->GetWidth()) {
      t.Left = t.Right;
    } else if (!info->ShowDescriptions) {
      i.Left += (i.Width() - images->GetWidth()) / 2;
      i.Right = i.Left + images->GetWidth();
    } else if (info->ImageAlign == iaRight) {
      i.Left = i.Right - images->GetWidth();
      t.Right = i.Left - 2;
    } else {
      i.Right = i.Left + images->GetWidth();
      t.Left = i.Right + 2;
    }
    if (i.Height() > images->GetHeight()) {
      i.Top += (i.Height() - images->GetHeight()) / 2;
      i.Bottom = i.Top + images->GetHeight();
    }
    info->ImageRect = i;
  }
  if (!GetIsInplace()) info->ClientRect = t;
  info->TextRect = cxRectInflate(t, -2, -1);
  if (!info->ShowDescriptions) info->Text = AnsiString();
  if (!GetIsInplace()) info->DrawSelected = false;
}

void TcxImageComboBoxViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AValue,
                                                    TcxCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
  AnsiString text;
  Integer image = -1;
  GetProperties()->GetImageComboBoxDisplayValue(AValue, text, image);
  DoOnGetDisplayText(text);
  info->Text = text;
  info->ImageIndex = image;
  info->TextRowsPrepared = false;
}

void TcxImageComboBoxViewData::DisplayValueToDrawValue(const Variant&, TcxCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TcxImageComboBoxViewInfo*>(AViewInfo);
  auto* combo = Edit ? dynamic_cast<TcxCustomImageComboBox*>(Edit->GetEditControl()) : nullptr;
  if (!combo) return;
  TcxCustomImageComboBoxProperties* properties = GetProperties();
  const Integer key = combo->GetLookupData() ? KeyIndex(combo->GetLookupData()->GetCurrentKey()) : -1;
  TcxImageComboBoxItem* item = key >= 0 && key < properties->GetItems()->GetCount()
                                   ? properties->GetItems()->GetItems(key)
                                   : properties->FindItemByValue(combo->GetEditValue());
  AnsiString text;
  Integer image = -1;
  properties->InternalGetImageComboBoxDisplayValue(item, text, image);
  info->Text = text;
  info->ImageIndex = image;
  info->TextRowsPrepared = false;
}

TSize TcxImageComboBoxViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                                const TcxEditSizeProperties& AEditSizeProperties,
                                                                TSize& MinContentSize,
                                                                TcxCustomEditViewInfo* AViewInfo) {
  TSize size = TcxCustomComboBoxViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace, AEditSizeProperties,
                                                                         MinContentSize, AViewInfo);
  TCustomImageList* images = GetProperties()->GetImages();
  size.cx += images ? images->GetWidth() + 5 : 1;
  if (images) MinContentSize.cy = std::max(MinContentSize.cy, images->GetHeight());
  return size;
}

// ---------------------------------------------------------------------------
// The drop-down list.

TcxImageComboBoxListBox::TcxImageComboBoxListBox(TComponent* AOwner) : TcxComboBoxListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TcxCustomImageComboBoxProperties* TcxImageComboBoxListBox::Properties() {
  TcxCustomComboBox* combo = GetComboBox();
  return combo ? dynamic_cast<TcxCustomImageComboBoxProperties*>(combo->GetActiveProperties()) : nullptr;
}

TCustomImageList* TcxImageComboBoxListBox::ListImages() {
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!properties) return nullptr;
  return properties->GetLargeImages() ? properties->GetLargeImages() : properties->GetImages();
}

void TcxImageComboBoxListBox::RecreateWindow() {
  SetStyle(lbOwnerDrawVariable);
  TcxCustomInnerListBox::SetItemHeight(GetItemHeight(-1));
}

TRect TcxImageComboBoxListBox::GetImageRect(const TRect& R) {
  TCustomImageList* images = ListImages();
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!images || !properties) return TRect();
  const Integer width = images->GetWidth() + 4;
  return properties->GetImageAlign() == iaRight ? TRect(R.Right - width, R.Top, R.Right, R.Bottom)
                                                : TRect(R.Left, R.Top, R.Left + width, R.Bottom);
}

Integer TcxImageComboBoxListBox::MeasureRow(Integer AIndex) {
  TcxCustomImageComboBoxProperties* properties = Properties();
  TCustomImageList* images = ListImages();
  Integer width = FTextWidth - 2;
  if (images) width -= 4 + images->GetWidth();
  const Integer imageHeight = images ? images->GetHeight() + 2 : 0;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  const Integer single = std::max(canvas->TextHeight("Wg") + 2, imageHeight);
  if (!properties || !properties->GetMultiLineText() || width < 1 || AIndex < 0 ||
      AIndex >= properties->GetItems()->GetCount())
    return RowHeightInList(single);
  TRect r(0, 0, width, 0);
  cxDrawText(canvas->GetHandle(), properties->GetItems()->GetItems(AIndex)->GetDescription(), r,
             DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return RowHeightInList(std::max(r.Height() + 2, imageHeight));
}

Integer TcxImageComboBoxListBox::GetItemHeight(Integer AIndex) { return MeasureRow(AIndex); }

Integer TcxImageComboBoxListBox::GetHeight(Integer ARowCount, Integer AMaxHeight) {
  TcxCustomImageComboBoxProperties* properties = Properties();
  const bool multiLine = properties && properties->GetMultiLineText();
  FTextWidth = 0;
  FVScrollBarNeeded = false;
  if (multiLine) {
    TcxCustomComboBox* combo = GetComboBox();
    TcxCustomEditPopupWindow* popup = combo ? combo->GetPopupWindow() : nullptr;
    const TRect extent = popup ? popup->GetViewInfo()->GetClientExtent() : TRect();
    FTextWidth = (combo ? combo->GetWidth() : GetWidth()) - extent.Left - extent.Right;
  }
  const auto sum = [&] {
    Integer height = 0;
    for (Integer i = 0; i < ARowCount; ++i) height += MeasureRow(i);
    return height;
  };
  Integer height = sum();
  const Integer count = properties ? properties->GetItems()->GetCount() : 0;
  if (multiLine && (height > AMaxHeight || count > ARowCount)) {
    // The bar takes its width from the text: rows may grow.
    FVScrollBarNeeded = true;
    FTextWidth -= GetSystemMetrics(SM_CXVSCROLL);
    height = sum();
  }
  return height;
}

Integer TcxImageComboBoxListBox::GetMaxItemWidth() {
  TcxCustomImageComboBoxProperties* properties = Properties();
  TCustomImageList* images = ListImages();
  const Integer start = images ? images->GetWidth() + 8 : 4;
  Integer result = start;
  if (!properties) return result;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  for (Integer i = 0; i < properties->GetItems()->GetCount(); ++i)
    result = std::max(result, canvas->TextWidth(properties->GetItems()->GetItems(i)->GetDescription()) + start);
  if (properties->GetItems()->GetCount() > properties->GetDropDownRows()) result += GetSystemMetrics(SM_CXVSCROLL);
  return result;
}

void TcxImageComboBoxListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    TcxComboBoxListBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* canvas = GetCanvas();
  canvas->FillRect(Rect);
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!properties || Index < 0 || Index >= properties->GetItems()->GetCount()) return;
  TcxImageComboBoxItem* item = properties->GetItems()->GetItems(Index);
  UINT flags = DT_NOPREFIX | (properties->GetMultiLineText() ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE | DT_VCENTER);
  const bool rtl = UseRightToLeftReading();
  if (rtl) {
    flags |= DT_RIGHT | DT_RTLREADING;
    Rect.Right -= 2;
  } else {
    Rect.Left += 2;
  }
  TRect text = Rect;
  if (TCustomImageList* images = ListImages()) {
    const TRect image = GetImageRect(Rect);
    if (item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount())
      images->Draw(canvas, image.Left + 1, (image.Top + image.Bottom - images->GetHeight()) / 2,
                   item->GetImageIndex(), GetEnabled());
    if (properties->GetImageAlign() == iaRight)
      text.Right = image.Left;
    else
      text.Left = image.Right;
  }
  if (cxRectIsEmpty(text)) return;
  canvas->GetBrush()->SetStyle(bsClear);
  cxDrawText(canvas->GetHandle(), item->GetDescription(), text, flags);
  canvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// Lookup data.

TcxCustomImageComboBoxProperties* TcxImageComboBoxLookupData::Properties() const {
  return GetEdit() ? dynamic_cast<TcxCustomImageComboBoxProperties*>(GetEdit()->GetActiveProperties()) : nullptr;
}

AnsiString TcxImageComboBoxLookupData::GetItem(Integer AIndex) {
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!properties || AIndex < 0 || AIndex >= properties->GetItems()->GetCount()) return AnsiString();
  return properties->GetItems()->GetItems(AIndex)->GetDescription();
}

Integer TcxImageComboBoxLookupData::GetItemCount() {
  TcxCustomImageComboBoxProperties* properties = Properties();
  return properties ? properties->GetItems()->GetCount() : 0;
}

void TcxImageComboBoxLookupData::TextChanged() {
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!properties) return;
  TcxImageComboBoxItem* item = properties->FindItemByValue(GetEdit()->GetEditValue());
  InternalSetCurrentKey(item ? item->GetIndex() : -1);
}

TSize TcxImageComboBoxLookupData::GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AMaxWidth) {
  auto* list = dynamic_cast<TcxImageComboBoxListBox*>(GetList());
  TcxCustomImageComboBoxProperties* properties = Properties();
  if (!list || !properties) return TcxComboBoxLookupData::GetVisualAreaPreferredSize(AMaxHeight, AMaxWidth);
  const Integer rows = std::min(GetItemCount(), properties->GetDropDownRows());
  const Integer height = list->GetHeight(rows, AMaxHeight > 0 ? AMaxHeight : INT_MAX);
  Integer width = properties->GetMultiLineText() ? 0 : list->GetMaxItemWidth();
  if (AMaxWidth >= 1) width = std::min(width, AMaxWidth);
  return TSize(width, height);
}

// ---------------------------------------------------------------------------
// The editor.

TClassRef<TcxCustomEditProperties> TcxCustomImageComboBox::GetPropertiesClass() const {
  return TcxCustomImageComboBoxProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxImageComboBox::GetPropertiesClass() const {
  return TcxImageComboBoxProperties::StaticClass();
}

Variant TcxCustomImageComboBox::LookupKeyToEditValue(const Variant& AKey) {
  const Integer key = KeyIndex(AKey);
  TcxImageComboBoxItems* items = GetActiveProperties()->GetItems();
  return key >= 0 && key < items->GetCount() ? items->GetItems(key)->GetValue() : Null();
}

void TcxCustomImageComboBox::PrepareEditValue(const Variant&, Variant& EditValue, bool) {
  EditValue = GetLookupData() ? LookupKeyToEditValue(GetLookupData()->GetCurrentKey()) : Null();
}

Variant TcxCustomImageComboBox::InternalGetEditingValue() {
  Variant value;
  PrepareEditValue(GetDisplayValue(), value, true);
  return value;
}

bool TcxCustomImageComboBox::IsValidChar(char AChar) { return IsTextChar(AChar); }

void TcxCustomImageComboBox::SynchronizeDisplayValue() {
  SaveModified();
  TcxComboBoxLookupData* lookup = GetLookupData();
  const Variant previous = lookup ? lookup->GetCurrentKey() : Variant(-1);
  if (lookup) {
    LockClick(true);
    orv::ScopeExit unlock([this] { LockClick(false); });
    lookup->TextChanged();
  }
  if (lookup && !VarEqualsExact(previous, lookup->GetCurrentKey())) DoClick();
  RestoreModified();
  ResetOnNewDisplayValue();
  UpdateDrawValue();
}

void TcxCustomImageComboBox::UpdateDrawValue() {
  TcxCustomComboBox::UpdateDrawValue();
  if (auto* info = dynamic_cast<TcxImageComboBoxViewInfo*>(GetViewInfo())) {
    TcxCustomImageComboBoxProperties* properties = GetActiveProperties();
    const Integer key = GetLookupData() ? KeyIndex(GetLookupData()->GetCurrentKey()) : -1;
    TcxImageComboBoxItem* item = key >= 0 && key < properties->GetItems()->GetCount()
                                     ? properties->GetItems()->GetItems(key)
                                     : properties->FindItemByValue(GetEditValue());
    AnsiString text;
    Integer image = -1;
    properties->InternalGetImageComboBoxDisplayValue(item, text, image);
    info->Text = text;
    info->ImageIndex = image;
    SetInternalDisplayValue(Variant(item ? item->GetDescription() : properties->GetDefaultDescription()));
  }
}

TSize TcxCustomImageComboBox::GetPopupWindowClientPreferredSize() {
  TSize size = TcxCustomComboBox::GetPopupWindowClientPreferredSize();
  if (GetActiveProperties()->GetMultiLineText())
    size.cx = 0;
  else if (auto* list = GetLookupData() ? dynamic_cast<TcxImageComboBoxListBox*>(GetLookupData()->GetList()) : nullptr)
    size.cx = std::max(size.cx, list->GetMaxItemWidth());
  return size;
}

// ---------------------------------------------------------------------------
// The filter helper.

TClass TcxFilterImageComboBoxHelper::GetFilterEditClass() const { return TcxImageComboBox::StaticClass(); }

TcxFilterControlOperators TcxFilterImageComboBoxHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                    TcxValueTypeClass,
                                                                                    bool AExtendedSet) const {
  TcxFilterControlOperators result{fcoEqual, fcoNotEqual, fcoBlanks, fcoNonBlanks};
  if (AExtendedSet) {
    result.Include(fcoInList);
    result.Include(fcoNotInList);
  }
  return result;
}

void TcxFilterImageComboBoxHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                        TcxCustomEditProperties* AEditProperties,
                                                        bool AHasButtons) const {
  TcxFilterComboBoxHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* properties = dynamic_cast<TcxCustomImageComboBoxProperties*>(AProperties);
  if (!properties) return;
  properties->SetDropDownListStyle(lsFixedList);
  properties->SetImmediateDropDown(true);
  properties->SetShowDescriptions(true);
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer ImageComboBoxStartCount = 0;
}

void cxImageComboBoxInitialize() {
  if (ImageComboBoxStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxImageComboBoxProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryImageComboBoxItem));
  FilterEditsController()->Register(TcxImageComboBoxProperties::StaticClass(),
                                    TcxFilterImageComboBoxHelper::StaticClass());
}

void cxImageComboBoxFinalize() {
  if (ImageComboBoxStartCount == 0 || --ImageComboBoxStartCount > 0) return;
  FilterEditsController()->Unregister(TcxImageComboBoxProperties::StaticClass(),
                                      TcxFilterImageComboBoxHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxImageComboBoxProperties::StaticClass());
}
