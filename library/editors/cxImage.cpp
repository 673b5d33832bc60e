#include "library/editors/cxImage.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxPaintBounds.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Icon.h"
#include "platform/forms/JpegImage.h"
#include "platform/forms/Metafile.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"

using namespace win;

void cxRegisterEditorBitmaps();

ORV_REGISTER(TcxPopupMenuLayout, ORV_PROP(MenuItems).StoredBy<&TcxPopupMenuLayout::IsMenuItemsStored>(),
             ORV_PROP(CustomMenuItemCaption),
             ORV_PROP(CustomMenuItemGlyph).StoredBy<&TcxPopupMenuLayout::HasCustomMenuItemGlyph>())
ORV_REGISTER(TcxCustomImageProperties)
ORV_REGISTER(TcxImageProperties, ORV_PROP(AssignedValues), ORV_PROP(Caption), ORV_PROP(Center).Default(true),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(CustomFilter),
             ORV_PROP(GraphicClassName).StoredBy<&TcxCustomImageProperties::IsGraphicClassNameStored>(),
             ORV_PROP(GraphicTransparency).Default(gtDefault), ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(PopupMenuLayout), ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ShowFocusRect).Default(true), ORV_PROP(Stretch).Default(false), ORV_EVENT(OnAssignPicture),
             ORV_EVENT(OnChange), ORV_EVENT(OnCustomClick), ORV_EVENT(OnEditValueChanged),
             ORV_EVENT(OnGetGraphicClass))
ORV_REGISTER(TcxImageViewInfo)
ORV_REGISTER(TcxImageViewData)
ORV_REGISTER(TcxCustomImage)
ORV_REGISTER(TcxImage, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(false), ORV_PROP(Constraints),
             ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(Enabled),
             ORV_PROP(ParentColor).Default(false), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(Picture), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused),
             ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop),
             ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnGetGraphicClass), ORV_EVENT(OnKeyDown),
             ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseMove),
             ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))

namespace {

std::vector<TGraphicClass>* gGraphicClasses = nullptr;
TImageList* gMenuImages = nullptr;

const char* const kMenuImageNames[] = {"CXMENUIMAGE_CUT",    "CXMENUIMAGE_COPY", "CXMENUIMAGE_PASTE",
                                       "CXMENUIMAGE_DELETE", "CXMENUIMAGE_LOAD", "CXMENUIMAGE_SAVE"};

// Integers in a size are rounded to the nearest, ties to even.
Integer RoundEven(double AValue) { return static_cast<Integer>(std::nearbyint(AValue)); }

bool IsIconClass(TGraphicClass AClass) { return AClass && AClass.InheritsFrom(TIcon::StaticClass()); }

}  // namespace

// ---------------------------------------------------------------------------
// The graphic-class registry.

const std::vector<TGraphicClass>& GetRegisteredGraphicClasses() {
  if (!gGraphicClasses)
    gGraphicClasses = new std::vector<TGraphicClass>{TBitmap::StaticClass(), TIcon::StaticClass(),
                                                     TMetafile::StaticClass(), TJPEGImage::StaticClass()};
  return *gGraphicClasses;
}

void RegisterGraphicClass(TGraphicClass AGraphicClass) {
  if (!AGraphicClass) return;
  GetRegisteredGraphicClasses();
  if (std::find(gGraphicClasses->begin(), gGraphicClasses->end(), AGraphicClass) == gGraphicClasses->end())
    gGraphicClasses->push_back(AGraphicClass);
}

void UnRegisterGraphicClass(TGraphicClass AGraphicClass) {
  GetRegisteredGraphicClasses();
  std::erase(*gGraphicClasses, AGraphicClass);
}

TGraphicClass GetGraphicClassByName(const AnsiString& AName) {
  for (const TGraphicClass& cls : GetRegisteredGraphicClasses())
    if (SameText(cls.ClassName(), AName)) return cls;
  return nullptr;
}

TGraphicClass GetDefaultGraphicClass() {
  const std::vector<TGraphicClass>& classes = GetRegisteredGraphicClasses();
  return classes.empty() ? TGraphicClass() : classes.front();
}

// ---------------------------------------------------------------------------
// Picture values.

bool IsPictureEmpty(TPicture* APicture) {
  return !APicture || !APicture->GetGraphic() || APicture->GetGraphic()->Empty();
}

void LoadPicture(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue) {
  if (VarType(AValue) != varString) {
    APicture->Assign(nullptr);
    return;
  }
  const AnsiString& bytes = AValue.RawAnsi();
  try {
    if (bytes.size() < 8) {
      APicture->Assign(nullptr);
      return;
    }
    TStringStream stream(bytes);
    // A picture wrapped by a database's graphic header: count 1, type
    // 0x0100 and the size of what follows; anything else is picture data
    // from the first byte.
    const auto u16 = [&](std::size_t at) {
      return static_cast<unsigned>(static_cast<Byte>(bytes[at])) |
             static_cast<unsigned>(static_cast<Byte>(bytes[at + 1])) << 8;
    };
    const std::uint32_t size = static_cast<std::uint32_t>(u16(4) | u16(6) << 16);
    if (u16(0) == 1 && u16(2) == 0x0100 && size == bytes.size() - 8) stream.SetPosition(8);
    if (AGraphicClass) {
      TGraphic* graphic = AGraphicClass.Create();
      orv::ScopeExit free([graphic] { graphic->Free(); });
      graphic->LoadFromStream(&stream);
      APicture->SetGraphic(graphic);
    } else {
      APicture->GetBitmap()->LoadFromStream(&stream);
    }
  } catch (...) {
    // Bytes the class cannot read are an empty picture, not an error.
    APicture->Assign(nullptr);
  }
}

void SavePicture(TPicture* APicture, AnsiString& AValue) {
  AValue.clear();
  if (IsPictureEmpty(APicture)) return;
  TStringStream stream;
  APicture->GetGraphic()->SaveToStream(&stream);
  AValue = stream.GetDataString();
}

void cxEditorBitmapsNeeded() {
  static std::once_flag once;
  std::call_once(once, [] { cxRegisterEditorBitmaps(); });
}

TCustomImageList* cxImageMenuImages() {
  if (!gMenuImages) {
    cxEditorBitmapsNeeded();
    TImageList* images = nullptr;
    for (const char* name : kMenuImageNames) {
      TBitmap* bitmap = New<TBitmap>();
      orv::ScopeExit free([bitmap] { bitmap->Free(); });
      bitmap->LoadFromResourceName(nullptr, name);
      if (!images) {
        images = New<TImageList>(nullptr);
        images->SetWidth(bitmap->GetWidth());
        images->SetHeight(bitmap->GetHeight());
      }
      images->AddMasked(bitmap, clDefault);
    }
    gMenuImages = images;
  }
  return gMenuImages;
}

// ---------------------------------------------------------------------------
// TcxPopupMenuLayout

TcxPopupMenuLayout::~TcxPopupMenuLayout() {
  if (FCustomMenuItemGlyph) FCustomMenuItemGlyph->Free();
}

TPersistent* TcxPopupMenuLayout::GetOwner() { return FOwner; }

void TcxPopupMenuLayout::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxPopupMenuLayout*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  SetMenuItems(source->FMenuItems);
  SetCustomMenuItemCaption(source->FCustomMenuItemCaption);
  SetCustomMenuItemGlyph(source->FCustomMenuItemGlyph ? source->FCustomMenuItemGlyph : nullptr);
}

void TcxPopupMenuLayout::SetMenuItems(TcxPopupMenuItems Value) {
  if (FMenuItems == Value) return;
  FMenuItems = Value;
  Changed();
}

void TcxPopupMenuLayout::SetCustomMenuItemCaption(const AnsiString& Value) {
  if (FCustomMenuItemCaption == Value) return;
  FCustomMenuItemCaption = Value;
  Changed();
}

TBitmap* TcxPopupMenuLayout::InternalGetCustomMenuItemGlyph() {
  if (!FCustomMenuItemGlyph) FCustomMenuItemGlyph = New<TBitmap>();
  return FCustomMenuItemGlyph;
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value) {
  if (!Value) {
    if (!FCustomMenuItemGlyph) return;
    FCustomMenuItemGlyph->Free();
    FCustomMenuItemGlyph = nullptr;
  } else {
    if (Value == FCustomMenuItemGlyph) return;
    InternalGetCustomMenuItemGlyph()->Assign(Value);
  }
  Changed();
}

void TcxPopupMenuLayout::Changed() {
  if (FOwner) FOwner->Changed();
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner), FGraphicClass(::GetDefaultGraphicClass()) {
  FPopupMenuLayout = New<TcxPopupMenuLayout>(this);
}

TcxCustomImageProperties::~TcxCustomImageProperties() { FPopupMenuLayout->Free(); }

void TcxCustomImageProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomImageProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomEditProperties::DoAssign(Source);
  if (!source) return;
  SetCaption(source->FCaption);
  SetCenter(source->FCenter);
  SetCustomFilter(source->FCustomFilter);
  SetGraphicClass(source->FGraphicClass);
  SetGraphicTransparency(source->FGraphicTransparency);
  FPopupMenuLayout->Assign(source->FPopupMenuLayout);
  SetShowFocusRect(source->FShowFocusRect);
  SetStretch(source->FStretch);
  OnAssignPicture = source->OnAssignPicture;
  OnCustomClick = source->OnCustomClick;
  OnGetGraphicClass = source->OnGetGraphicClass;
}

TClass TcxCustomImageProperties::GetContainerClass() const { return TcxImage::StaticClass(); }
TClass TcxCustomImageProperties::GetViewDataClass() const { return TcxImageViewData::StaticClass(); }
TClass TcxCustomImageProperties::GetViewInfoClass() const { return TcxImageViewInfo::StaticClass(); }

AnsiString TcxCustomImageProperties::GetDisplayText(const Variant& AEditValue, bool, bool) {
  return VarIsNull(AEditValue) ? AnsiString() : FCaption;
}

TcxEditSpecialFeatures TcxCustomImageProperties::GetSpecialFeatures() const {
  TcxEditSpecialFeatures result = TcxCustomEditProperties::GetSpecialFeatures();
  result.Include(esfBlobEditValue);
  return result;
}

TcxEditSupportedOperations TcxCustomImageProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result = TcxCustomEditProperties::GetSupportedOperations();
  result.Include(esoAutoHeight);
  result.Include(esoEditing);
  return result;
}

void TcxCustomImageProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                    IcxEditControl* AEdit) {
  TcxCustomEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
  auto* edit = dynamic_cast<TcxCustomImage*>(AEdit);
  if (!edit) return;
  edit->LockEditValueChanging(true);
  orv::ScopeExit unlock([edit] { edit->LockEditValueChanging(false); });
  edit->DoOnAssignPicture();
  edit->SaveModified();
  orv::ScopeExit restore([edit] { edit->RestoreModified(); });
  edit->SetModified(false);
  edit->DoEditing();
}

TGraphicClass TcxCustomImageProperties::GetDefaultGraphicClass() const { return ::GetDefaultGraphicClass(); }

TGraphicClass TcxCustomImageProperties::GetGraphicClass(TObject* AItem, Integer ARecordIndex,
                                                        bool APastingFromClipboard) {
  TGraphicClass result = FGraphicClass;
  if (!result && APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(AItem, ARecordIndex, APastingFromClipboard, result);
  return result;
}

void TcxCustomImageProperties::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TcxCustomImageProperties::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  Changed();
}

void TcxCustomImageProperties::SetCustomFilter(const AnsiString& Value) {
  if (FCustomFilter == Value) return;
  FCustomFilter = Value;
  Changed();
}

void TcxCustomImageProperties::SetGraphicClass(TGraphicClass Value) {
  if (FGraphicClass == Value) return;
  FGraphicClass = Value;
  Changed();
}

AnsiString TcxCustomImageProperties::GetGraphicClassName() const {
  return FGraphicClass ? FGraphicClass.ClassName() : AnsiString();
}

void TcxCustomImageProperties::SetGraphicClassName(const AnsiString& Value) {
  if (Value.empty()) {
    SetGraphicClass(nullptr);
    return;
  }
  if (TGraphicClass cls = GetGraphicClassByName(Value)) SetGraphicClass(cls);
}

bool TcxCustomImageProperties::IsGraphicClassNameStored() const {
  return FGraphicClass && FGraphicClass != GetDefaultGraphicClass();
}

void TcxCustomImageProperties::SetGraphicTransparency(TcxImageTransparency Value) {
  if (FGraphicTransparency == Value) return;
  FGraphicTransparency = Value;
  Changed();
}

void TcxCustomImageProperties::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  Changed();
}

void TcxCustomImageProperties::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Changed();
}

void TcxCustomImageProperties::DefineProperties(TFiler* Filer) {
  TcxCustomEditProperties::DefineProperties(Filer);
  Filer->DefineProperty("IsGraphicClassNameEmpty",
                        TReaderProc::Bind<&TcxCustomImageProperties::ReadIsGraphicClassNameEmpty>(this),
                        TWriterProc::Bind<&TcxCustomImageProperties::WriteIsGraphicClassNameEmpty>(this),
                        !FGraphicClass);
}

void TcxCustomImageProperties::ReadIsGraphicClassNameEmpty(TReader* Reader) {
  if (Reader->ReadBoolean()) SetGraphicClass(nullptr);
}

void TcxCustomImageProperties::WriteIsGraphicClassNameEmpty(TWriter* Writer) { Writer->WriteBoolean(true); }

// ---------------------------------------------------------------------------
// View info.

TcxImageViewInfo::~TcxImageViewInfo() {
  if (FOwnsPicture && FPicture) FPicture->Free();
  if (FTempBitmap) FTempBitmap->Free();
}

void TcxImageViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxImageViewInfo*>(Source);
  if (!source) return;
  SetSharedPicture(source->FPicture);
  FocusRect = source->FocusRect;
  ScrollOffset = source->ScrollOffset;
  Caption = source->Caption;
  Center = source->Center;
  Stretch = source->Stretch;
}

void TcxImageViewInfo::SetSharedPicture(TPicture* Value) {
  if (FPicture == Value && !FOwnsPicture) return;
  if (FOwnsPicture && FPicture) FPicture->Free();
  FPicture = Value;
  FOwnsPicture = false;
}

TPicture* TcxImageViewInfo::OwnedPicture() {
  if (!FOwnsPicture || !FPicture) {
    FPicture = New<TPicture>();
    FOwnsPicture = true;
  }
  return FPicture;
}

void TcxImageViewInfo::ClearPicture() {
  if (FOwnsPicture && FPicture)
    FPicture->Assign(nullptr);
  else
    FPicture = nullptr;
}

bool TcxImageViewInfo::HasDrawablePicture() const {
  // A graphic that is not empty yet has no width or height draws nothing:
  // the fit would divide by it.
  return !IsPictureEmpty(FPicture) && FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0;
}

TRect TcxImageViewInfo::PictureRect(const TRect& R, Integer AWidth, Integer AHeight, bool AStretch, bool ACenter,
                                    const TPoint& AOffset) {
  TRect d;
  if (AStretch) {
    if (R.Width() <= 0 || R.Height() <= 0 || AWidth <= 0 || AHeight <= 0) return R;
    // Width / height ratios compared without division.
    if (static_cast<Int64>(R.Width()) * AHeight >= static_cast<Int64>(AWidth) * R.Height())
      d = TRect(R.Left, R.Top, R.Left + static_cast<Integer>(static_cast<Int64>(R.Height()) * AWidth / AHeight),
                R.Bottom);
    else
      d = TRect(R.Left, R.Top, R.Right, R.Top + static_cast<Integer>(static_cast<Int64>(R.Width()) * AHeight / AWidth));
    if (ACenter) d = cxRectOffset(d, (R.Width() - d.Width()) / 2, (R.Height() - d.Height()) / 2);
  } else {
    d = TRect(R.Left, R.Top, R.Left + AWidth, R.Top + AHeight);
    if (ACenter)
      d = cxRectOffset(d, (R.Width() - AWidth) / 2, (R.Height() - AHeight) / 2);
    else
      d = cxRectOffset(d, -AOffset.X, -AOffset.Y);
  }
  return d;
}

bool TcxImageViewInfo::IsRepaintOnStateChangingNeeded() { return !HasDrawablePicture() && !Caption.empty(); }

void TcxImageViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TRect r = ClientRect;
  if (!HasDrawablePicture()) {
    TcxCustomEditViewInfo::InternalPaint(ACanvas);
    if (!Caption.empty()) {
      ACanvas->GetFont()->Assign(Font);
      ACanvas->GetFont()->SetColor(TextColor);
      ACanvas->GetBrush()->SetStyle(bsClear);
      ACanvas->DrawTexT(Caption, r, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
      ACanvas->GetBrush()->SetStyle(bsSolid);
    }
    if (FocusRect) ACanvas->DrawFocusRect(r);
    return;
  }
  TGraphic* graphic = FPicture->GetGraphic();
  const TRect d = PictureRect(r, FPicture->GetWidth(), FPicture->GetHeight(), Stretch, Center, ScrollOffset);

  TcxRegion* saved = ACanvas->GetClipRegion();
  orv::ScopeExit restore([ACanvas, saved] { ACanvas->SetClipRegion(saved, roSet); });
  {
    TcxRegion* around = ACanvas->GetClipRegion();
    ACanvas->ExcludeClipRect(r);
    DrawCustomEdit(ACanvas, this, true, bpsSolid);
    ACanvas->SetClipRegion(around, roSet);
  }
  if (FocusRect) {
    // The dotted frame inverts what is under it: the ring is the
    // background first, so painting twice never wipes it out.
    ACanvas->FrameRect(r, BackgroundColor);
    ACanvas->GetBrush()->SetStyle(bsClear);
    ACanvas->DrawFocusRect(r);
    ACanvas->GetBrush()->SetStyle(bsSolid);
    r = cxRectInflate(r, -1, -1);
  }
  ACanvas->IntersectClipRect(r);
  if (Transparent) {
    ACanvas->GetCanvas()->StretchDraw(d, graphic);
  } else if (graphic->GetTransparent()) {
    // Drawn onto the background first, so the picture's see-through parts
    // show the editor's colour and the screen is touched once. Only the
    // part the canvas can show is composed (a picture stretched over an
    // editor far larger than its form shows a small part of itself): the
    // bitmap's window origin puts that part where it lies in the picture.
    const TRect shown = cxPaintableArea(ACanvas->GetHandle(), d);
    if (!cxRectIsEmpty(shown)) {
      if (!FTempBitmap) {
        FTempBitmap = New<TBitmap>();
        FTempBitmap->SetPixelFormat(pfDevice);
      }
      FTempBitmap->SetSize(shown.Width(), shown.Height());
      TCanvas* composed = FTempBitmap->GetCanvas();
      SetWindowOrgEx(composed->GetHandle(), shown.Left - d.Left, shown.Top - d.Top, nullptr);
      composed->GetBrush()->SetColor(BackgroundColor);
      composed->FillRect(TRect(0, 0, d.Width(), d.Height()));
      composed->StretchDraw(TRect(0, 0, d.Width(), d.Height()), graphic);
      SetWindowOrgEx(composed->GetHandle(), 0, 0, nullptr);
      ACanvas->Draw(shown.Left, shown.Top, FTempBitmap);
    }
  } else {
    ACanvas->GetCanvas()->StretchDraw(d, graphic);
  }
  if (!Transparent && !cxRectContain(d, r)) {
    ACanvas->ExcludeClipRect(d);
    ACanvas->GetBrush()->SetColor(BackgroundColor);
    ACanvas->FillRect(r);
  }
}

// ---------------------------------------------------------------------------
// View data.

void TcxImageViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (cxRectIsEmpty(ABounds)) return;
  auto* viewInfo = static_cast<TcxImageViewInfo*>(AViewInfo);
  TcxCustomImageProperties* properties = GetProperties();
  viewInfo->Caption = properties->GetCaption();
  viewInfo->Center = properties->GetCenter();
  viewInfo->Stretch = properties->GetStretch();
  viewInfo->FocusRect = properties->GetShowFocusRect() && viewInfo->Focused && !GetIsInplace();
  if (viewInfo->Center || viewInfo->Stretch) viewInfo->ScrollOffset = TPoint(0, 0);
  // The editor's bars sit inside its border, below and beside the picture.
  auto* editor = Edit ? dynamic_cast<TcxCustomImage*>(Edit->GetEditControl()) : nullptr;
  if (editor && !GetIsInplace()) {
    if (editor->GetHScrollBarVisible()) viewInfo->ClientRect.Bottom -= editor->GetHScrollBar()->GetHeight();
    if (editor->GetVScrollBarVisible()) viewInfo->ClientRect.Right -= editor->GetVScrollBar()->GetWidth();
  }
}

void TcxImageViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TcxImageViewInfo*>(AViewInfo);
  if (VarType(AValue) != varString || AValue.RawAnsi().empty()) {
    viewInfo->ClearPicture();
    return;
  }
  TcxCustomImageProperties* properties = GetProperties();
  TPicture* picture = viewInfo->OwnedPicture();
  LoadPicture(picture, properties->GetGraphicClass(nullptr, InplaceRecordIndex, false), AValue);
  if (properties->GetGraphicTransparency() != gtDefault && !IsPictureEmpty(picture))
    picture->GetGraphic()->SetTransparent(properties->GetGraphicTransparency() == gtTransparent);
}

TSize TcxImageViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                   const TcxEditSizeProperties& AEditSizeProperties) {
  TcxCustomImageProperties* properties = GetProperties();
  auto* editor = Edit ? dynamic_cast<TcxCustomImage*>(Edit->GetEditControl()) : nullptr;
  if (!GetIsInplace()) {
    if (!editor || IsPictureEmpty(editor->GetPicture())) return TSize{0, 0};
    return TSize{editor->GetPicture()->GetWidth(), editor->GetPicture()->GetHeight()};
  }
  if (editor) {
    const TRect border = GetBorderExtent();
    return TSize{editor->GetWidth() - border.Left - border.Right, editor->GetHeight() - border.Top - border.Bottom};
  }
  TSize size{0, properties->GetDefaultHeight()};
  if (VarType(AEditValue) == varString) {
    TPicture* picture = New<TPicture>();
    orv::ScopeExit free([picture] { picture->Free(); });
    LoadPicture(picture, properties->GetGraphicClass(nullptr, InplaceRecordIndex, false), AEditValue);
    const bool drawable = !IsPictureEmpty(picture) && picture->GetWidth() > 0 && picture->GetHeight() > 0;
    size = drawable ? TSize{picture->GetWidth(), picture->GetHeight()} : TSize{0, 0};
    if (drawable && properties->GetStretch()) {
      if (AEditSizeProperties.Width > 0)
        size = TSize{AEditSizeProperties.Width, RoundEven(static_cast<double>(size.cy) * AEditSizeProperties.Width / size.cx)};
      else if (AEditSizeProperties.Height >= 1)
        size = TSize{RoundEven(static_cast<double>(size.cx) * AEditSizeProperties.Height / size.cy),
                     AEditSizeProperties.Height};
    }
  } else if (!properties->GetCaption().empty()) {
    ACanvas->GetFont()->Assign(GetStyle()->GetVisibleFont());
    size = ACanvas->TextExtent(properties->GetCaption());
  }
  return size;
}

// ---------------------------------------------------------------------------
// The editor.

TcxCustomImage::~TcxCustomImage() {
  if (FEditPopupMenu) FEditPopupMenu->Free();
  if (GetViewInfo()) GetViewInfo()->SetSharedPicture(nullptr);
  if (FPicture) {
    FPicture->OnChange = {};
    FPicture->Free();
  }
}

TClassRef<TcxCustomEditProperties> TcxCustomImage::GetPropertiesClass() const {
  return TcxCustomImageProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxImage::GetPropertiesClass() const { return TcxImageProperties::StaticClass(); }

void TcxCustomImage::Initialize() {
  FPicture = New<TPicture>();
  FPicture->OnChange = TNotifyEvent::Bind<&TcxCustomImage::PictureChanged>(this);
  TcxCustomEdit::Initialize();
  SetAutoSize(false);
  SetWidth(140);
  SetHeight(100);
  FClipboardFormat = CF_PICTURE();
  if (GetViewInfo()) GetViewInfo()->SetSharedPicture(FPicture);
}

Variant TcxCustomImage::GetEditValue() {
  if (IsPictureEmpty(FPicture)) return Null();
  AnsiString bytes;
  SavePicture(FPicture, bytes);
  return Variant(bytes);
}

void TcxCustomImage::InternalSetEditValue(const Variant& Value, bool) {
  {
    auto loading = orv::TempValue(FLoadingEditValue, true);
    if (VarType(Value) == varString)
      LoadPicture(FPicture, GetGraphicClass(false), Value);
    else
      FPicture->Assign(nullptr);
    SetModified(false);
  }
  ShortRefreshContainer(false);
}

TGraphicClass TcxCustomImage::GetGraphicClass(bool APastingFromClipboard) {
  if (IsInplace()) return GetActiveProperties()->GetGraphicClass(nullptr, -1, APastingFromClipboard);
  TGraphicClass result = GetActiveProperties()->GetGraphicClassRef();
  if (!result && APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(this, APastingFromClipboard, result);
  return result;
}

void TcxCustomImage::CalculateViewInfo(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                       bool AIsMouseEvent) {
  if (GetViewInfo()) GetViewInfo()->SetSharedPicture(FPicture);
  TcxCustomEdit::CalculateViewInfo(P, Button, Shift, AIsMouseEvent);
  // The bars follow the client area the picture leaves them.
  if (!IsInplace()) SetInternalControlsBounds();
}

bool TcxCustomImage::Focused() { return FIsDialogShowed || TcxCustomEdit::Focused(); }

bool TcxCustomImage::CanAutoSize() { return TcxCustomEdit::CanAutoSize() && !IsPictureEmpty(FPicture); }

// ---- Picture changes ----

void TcxCustomImage::ApplyTransparency() {
  const TcxImageTransparency transparency = GetActiveProperties()->GetGraphicTransparency();
  if (transparency == gtDefault || IsPictureEmpty(FPicture)) return;
  TNotifyEvent saved = FPicture->OnChange;
  FPicture->OnChange = {};
  orv::ScopeExit reattach([this, saved] { FPicture->OnChange = saved; });
  FPicture->GetGraphic()->SetTransparent(transparency == gtTransparent);
}

void TcxCustomImage::PictureChangedSteps(bool AFromProperties) {
  {
    auto locked = ChangeEventsLocked(this);
    if (auto* icon = dynamic_cast<TIcon*>(FPicture->GetGraphic())) icon->HandleNeeded();
    ApplyTransparency();
    if (!GetIsLoading()) {
      ResetImage();
      SetSize();
    }
    if (!FLoadingEditValue && !AFromProperties) {
      if (FIsUserAction) SetModifiedAfterEnter(true);
      DoChange();
      ShortRefreshContainer(false);
    }
    if (!AFromProperties && GetActiveProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEdit(true))
      InternalPostEditValue(false);
  }
  UpdateScrollBars();
}

void TcxCustomImage::PictureChanged(TObject*) {
  if (GetContainerIsDestroying()) return;
  PictureChangedSteps(false);
}

void TcxCustomImage::PropertiesChanged(TObject* Sender) {
  if (!PropertiesChangeLocked() && FPicture) PictureChangedSteps(true);
  TcxCustomEdit::PropertiesChanged(Sender);
}

// ---- Clipboard ----

void TcxCustomImage::Clear() {
  if (!DoEditing()) return;
  FPicture->SetGraphic(nullptr);
}

void TcxCustomImage::CopyToClipboard() {
  if (IsPictureEmpty(FPicture)) return;
  try {
    Clipboard()->Assign(FPicture);
  } catch (const EInvalidGraphic&) {
    // A graphic the clipboard cannot hold (an icon) is not copied.
  }
}

void TcxCustomImage::CutToClipboard() {
  if (IsPictureEmpty(FPicture)) return;
  // Only a picture that reached the clipboard is taken away: an icon,
  // which the clipboard cannot hold, stays.
  try {
    Clipboard()->Assign(FPicture);
  } catch (const EInvalidGraphic&) {
    return;
  }
  Clear();
}

bool TcxCustomImage::CanPasteFromClipboard() {
  TGraphicClass cls = GetActiveProperties()->GetGraphicClassRef();
  TClipboard* clipboard = Clipboard();
  if (!cls) return clipboard->HasFormat(CF_PICTURE());
  if (cls.InheritsFrom(TBitmap::StaticClass()) || cls.InheritsFrom(TJPEGImage::StaticClass()))
    return clipboard->HasFormat(static_cast<Word>(CF_BITMAP));
  if (IsIconClass(cls)) return false;
  if (cls.InheritsFrom(TMetafile::StaticClass())) return clipboard->HasFormat(static_cast<Word>(CF_METAFILEPICT));
  return clipboard->HasFormat(FClipboardFormat);
}

void TcxCustomImage::PasteFromClipboard() {
  if (!CanPasteFromClipboard() || !DoEditing()) return;
  TClipboard* clipboard = Clipboard();
  try {
    if (clipboard->HasFormat(static_cast<Word>(CF_BITMAP))) {
      TBitmap* bitmap = New<TBitmap>();
      orv::ScopeExit freeBitmap([bitmap] { bitmap->Free(); });
      bitmap->Assign(clipboard);
      if (GetGraphicClass(true) == TJPEGImage::StaticClass()) {
        TJPEGImage* jpeg = New<TJPEGImage>();
        orv::ScopeExit freeJpeg([jpeg] { jpeg->Free(); });
        jpeg->Assign(bitmap);
        jpeg->Compress();
        FPicture->SetGraphic(jpeg);
      } else {
        FPicture->SetGraphic(bitmap);
      }
    } else {
      FPicture->Assign(clipboard);
    }
  } catch (const EInvalidGraphic&) {
    // What the clipboard held could not be read: the picture stays.
  }
}

// ---- Files ----

void TcxCustomImage::LoadFromFile() {
  if (!CanModify()) return;
  TOpenPictureDialog* dialog = New<TOpenPictureDialog>(nullptr);
  orv::ScopeExit free([dialog] { dialog->Free(); });
  TcxCustomImageProperties* properties = GetActiveProperties();
  TGraphicClass cls = properties->GetGraphicClassRef();
  dialog->SetFilter(!properties->GetCustomFilter().empty()
                        ? properties->GetCustomFilter()
                        : TPicture::GraphicFilter(cls ? cls : TGraphicClass(TGraphic::StaticClass())));
  bool accepted;
  {
    auto dialogShown = orv::TempValue(FIsDialogShowed, true);
    accepted = dialog->Execute();
  }
  if (!accepted || !DoEditing()) {
    DoClosePopup(crCancel);
    return;
  }
  try {
    LoadPictureFile(dialog->GetFileName());
  } catch (...) {
    // The picture stays as it was; the error is the platform's to report.
    DoClosePopup(crCancel);
    throw;
  }
  DoClosePopup(crEnter);
}

void TcxCustomImage::LoadPictureFile(const AnsiString& AFileName) {
  TOwned<TPicture> loaded(New<TPicture>());
  loaded->LoadFromFile(AFileName);
  // The value is read back by the graphic class (as a bitmap when there is
  // none), so a picture of another class is kept in that class, as a pasted
  // one is: left as it came, it would read back empty.
  TGraphicClass cls = GetGraphicClass(false);
  if (!cls) cls = TBitmap::StaticClass();
  TGraphic* graphic = loaded->GetGraphic();
  if (graphic->InheritsFrom(cls.Get())) {
    FPicture->SetGraphic(graphic);
    return;
  }
  auto cannotKeep = [&] {
    return EInvalidGraphic("The %s picture in \"%s\" cannot be kept as %s",
                           {graphic->ClassName(), AFileName, cls.ClassName()});
  };
  TOwned<TGraphic> kept(cls.Create());
  if (!kept) throw cannotKeep();
  try {
    kept->Assign(graphic);
  } catch (const EConvertError&) {
    throw cannotKeep();
  }
  FPicture->SetGraphic(kept.get());
}

void TcxCustomImage::SaveToFile() {
  if (!FPicture->GetGraphic()) return;
  TSavePictureDialog* dialog = New<TSavePictureDialog>(nullptr);
  orv::ScopeExit free([dialog] { dialog->Free(); });
  TcxCustomImageProperties* properties = GetActiveProperties();
  TGraphicClass cls(FPicture->GetGraphic()->ClassType());
  dialog->SetFilter(!properties->GetCustomFilter().empty() ? properties->GetCustomFilter()
                                                            : TPicture::GraphicFilter(cls));
  dialog->SetDefaultExt(TPicture::GraphicExtension(cls));
  bool accepted;
  {
    auto dialogShown = orv::TempValue(FIsDialogShowed, true);
    accepted = dialog->Execute();
  }
  if (accepted) FPicture->SaveToFile(dialog->GetFileName());
}

// ---- Events ----

void TcxCustomImage::CustomClick() {
  if (GetProperties()->OnCustomClick) GetProperties()->OnCustomClick(this);
  if (GetRepositoryItem() && GetActiveProperties()->OnCustomClick) GetActiveProperties()->OnCustomClick(this);
}

void TcxCustomImage::DoOnAssignPicture() {
  if (GetProperties()->OnAssignPicture) GetProperties()->OnAssignPicture(this, FPicture);
  if (GetRepositoryItem() && GetActiveProperties()->OnAssignPicture)
    GetActiveProperties()->OnAssignPicture(this, FPicture);
}

// ---- Keys ----

void TcxCustomImage::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomEdit::KeyDown(Key, Shift);
  if (Key == 0) return;
  auto user = orv::TempValue(FIsUserAction, true);
  if (Key == VK_INSERT && Shift == TShiftState{ssShift}) {
    PasteFromClipboard();
    Key = 0;
  } else if (Key == VK_INSERT && Shift == TShiftState{ssCtrl}) {
    CopyToClipboard();
    Key = 0;
  } else if (Key == VK_DELETE && Shift == TShiftState{ssShift}) {
    CutToClipboard();
    Key = 0;
  }
}

void TcxCustomImage::KeyPress(char& Key) {
  TcxCustomEdit::KeyPress(Key);
  auto user = orv::TempValue(FIsUserAction, true);
  switch (Key) {
    case '\x03': CopyToClipboard(); Key = 0; break;
    case '\x16': PasteFromClipboard(); Key = 0; break;
    case '\x18': CutToClipboard(); Key = 0; break;
    default: break;
  }
}

// ---- The context menu ----

TPopupMenu* TcxCustomImage::GetEditPopupMenu() {
  if (FEditPopupMenu) return FEditPopupMenu;
  FEditPopupMenu = New<TPopupMenu>(nullptr);
  FEditPopupMenu->SetImages(cxImageMenuImages());
  TMenuItem* root = FEditPopupMenu->GetItems();
  const auto add = [&](Integer ATag) {
    TMenuItem* item = New<TMenuItem>(FEditPopupMenu);
    item->SetTag(ATag);
    if (ATag < 0) {
      item->SetCaption(cLineCaption);
    } else {
      if (ATag != Integer(pmiCustom)) item->SetImageIndex(ATag);
      item->OnClick = TNotifyEvent::Bind<&TcxCustomImage::MenuItemClick>(this);
    }
    root->Add(item);
  };
  for (TcxPopupMenuItem i : {pmiCut, pmiCopy, pmiPaste, pmiDelete}) add(Integer(i));
  add(-1);
  add(Integer(pmiLoad));
  add(Integer(pmiSave));
  add(-1);
  add(Integer(pmiCustom));
  return FEditPopupMenu;
}

void TcxCustomImage::UpdateMenu() {
  TMenuItem* root = GetEditPopupMenu()->GetItems();
  TcxCustomImageProperties* properties = GetActiveProperties();
  TcxPopupMenuLayout* layout = properties->GetPopupMenuLayout();
  const TcxPopupMenuItems items = layout->GetMenuItems();
  static const TResStringRec* const captions[] = {&cxSMenuItemCaptionCut,    &cxSMenuItemCaptionCopy,
                                                  &cxSMenuItemCaptionPaste,  &cxSMenuItemCaptionDelete,
                                                  &cxSMenuItemCaptionLoad,   &cxSMenuItemCaptionSave};
  const bool empty = IsPictureEmpty(FPicture);
  const bool modifiable = CanModify();
  const bool icon = IsIconClass(properties->GetGraphicClassRef());
  for (Integer i = 0; i < root->GetCount(); ++i) {
    TMenuItem* item = root->GetItems(i);
    const Integer tag = item->GetTag();
    if (tag < 0) continue;
    const auto kind = static_cast<TcxPopupMenuItem>(tag);
    item->SetVisible(items.Contains(kind));
    switch (kind) {
      case pmiCut: item->SetEnabled(!empty && modifiable && !icon); break;
      case pmiCopy: item->SetEnabled(!empty && !icon); break;
      case pmiPaste: item->SetEnabled(modifiable && CanPasteFromClipboard()); break;
      case pmiDelete: item->SetEnabled(!empty && modifiable); break;
      case pmiLoad: item->SetEnabled(modifiable); break;
      case pmiSave: item->SetEnabled(!empty); break;
      case pmiCustom: item->SetEnabled(true); break;
    }
    if (kind == pmiCustom) {
      item->SetCaption(layout->GetCustomMenuItemCaption());
      if (layout->HasCustomMenuItemGlyph()) {
        TBitmap* glyph = layout->GetCustomMenuItemGlyph();
        glyph->SetTransparent(true);
        item->SetBitmap(glyph);
      } else {
        item->SetBitmap(nullptr);
      }
    } else {
      item->SetCaption(cxEditResString(*captions[tag]));
    }
  }
  // The lines: the first before Load and Save As, the second before the
  // custom item.
  root->GetItems(4)->SetVisible(items.Contains(pmiLoad) || items.Contains(pmiSave));
  root->GetItems(7)->SetVisible(items.Contains(pmiCustom));
}

void TcxCustomImage::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (GetPopupMenu() || GetActiveProperties()->GetPopupMenuLayout()->GetMenuItems().Empty()) {
    TcxCustomEdit::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  if (MousePos.X == -1 && MousePos.Y == -1) MousePos = TPoint(10, 10);
  UpdateMenu();
  const TPoint at = ClientToScreen(MousePos);
  TPopupMenu* menu = GetEditPopupMenu();
  menu->SetPopupComponent(this);
  menu->Popup(at.X, at.Y);
}

void TcxCustomImage::MenuItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  auto user = orv::TempValue(FIsUserAction, true);
  switch (static_cast<TcxPopupMenuItem>(item->GetTag())) {
    case pmiCut: CutToClipboard(); break;
    case pmiCopy: CopyToClipboard(); break;
    case pmiPaste: PasteFromClipboard(); break;
    case pmiDelete: Clear(); break;
    case pmiLoad: LoadFromFile(); break;
    case pmiSave: SaveToFile(); break;
    case pmiCustom: CustomClick(); break;
  }
}

// ---- Scrolling ----

void TcxCustomImage::InitScrollBarsParameters() {
  TcxCustomImageProperties* properties = GetActiveProperties();
  const TRect client = GetViewInfo() ? GetViewInfo()->ClientRect : TRect();
  if (IsInplace() || GetAutoSize() || cxRectIsEmpty(client) || IsPictureEmpty(FPicture) || properties->GetCenter() ||
      properties->GetStretch()) {
    SetScrollBarInfo(sbHorizontal, 0, 0, 8, 1, 0, false, true);
    SetScrollBarInfo(sbVertical, 0, 0, 8, 1, 0, false, true);
    return;
  }
  const TPoint offset = GetViewInfo()->ScrollOffset;
  SetScrollBarInfo(sbHorizontal, 0, FPicture->GetWidth() - 1, 8, client.Width(), offset.X, true, true);
  SetScrollBarInfo(sbVertical, 0, FPicture->GetHeight() - 1, 8, client.Height(), offset.Y, true, true);
}

void TcxCustomImage::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TcxScrollBar* bar = AScrollBarKind == sbHorizontal ? static_cast<TcxScrollBar*>(GetHScrollBar())
                                                     : static_cast<TcxScrollBar*>(GetVScrollBar());
  if (!bar) return;
  switch (AScrollCode) {
    case scLineUp: AScrollPos = bar->GetPosition() - 8; break;
    case scLineDown: AScrollPos = bar->GetPosition() + 8; break;
    case scPageUp: AScrollPos = bar->GetPosition() - bar->GetPageSize(); break;
    case scPageDown: AScrollPos = bar->GetPosition() + bar->GetPageSize(); break;
    default: break;
  }
  const Integer size = AScrollBarKind == sbHorizontal ? FPicture->GetWidth() : FPicture->GetHeight();
  AScrollPos = std::max(0, std::min(AScrollPos, size - bar->GetPageSize()));
  bar->SetPosition(AScrollPos);
  AScrollPos = bar->GetPosition();
  SynchronizeImage();
}

void TcxCustomImage::ResetImage() {
  if (GetHScrollBar()) GetHScrollBar()->SetPosition(0);
  if (GetVScrollBar()) GetVScrollBar()->SetPosition(0);
  SynchronizeImage();
}

void TcxCustomImage::SynchronizeImage() {
  TcxImageViewInfo* viewInfo = GetViewInfo();
  if (!viewInfo) return;
  viewInfo->ScrollOffset = TPoint(GetHScrollBarVisible() ? GetHScrollBar()->GetPosition() : 0,
                                  GetVScrollBarVisible() ? GetVScrollBar()->GetPosition() : 0);
  CalculateViewInfo(false);
  InvalidateRect(viewInfo->ClientRect, false);
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer ImageStartCount = 0;
}

void cxImageInitialize() {
  if (ImageStartCount++ > 0) return;
  GetRegisteredGraphicClasses();
  cxImageMenuImages();
  GetRegisteredEditProperties()->Register(TcxImageProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryImageItem));
}

void cxImageFinalize() {
  if (ImageStartCount == 0 || --ImageStartCount > 0) return;
  GetRegisteredEditProperties()->Unregister(TcxImageProperties::StaticClass());
  delete gGraphicClasses;
  gGraphicClasses = nullptr;
  if (gMenuImages) gMenuImages->Free();
  gMenuImages = nullptr;
}
