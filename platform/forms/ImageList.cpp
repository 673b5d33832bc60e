#include "platform/forms/ImageList.h"

#include <algorithm>

using namespace win;

// ---- TChangeLink ----

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---- TCustomImageList ----

namespace {

COLORREF ListColor(TColor c) {
  if (c == clNone) return CLR_NONE;
  if (c == clDefault) return CLR_DEFAULT;
  return static_cast<COLORREF>(ColorToRGB(c)) & 0xFFFFFF;
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  // Links outlive the list only as links to nothing.
  while (!FClients.empty()) UnRegisterChanges(FClients.back());
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (FHandle) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TCustomImageList::GetHandle() {
  if (!FHandle) {
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | (FMasked ? ILC_MASK : 0), FAllocBy, FAllocBy);
    if (!FHandle) throw EInvalidOperation("Invalid image size");
    ImageList_SetBkColor(FHandle, ListColor(FBkColor));
  }
  return FHandle;
}

Integer TCustomImageList::GetCount() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetNewDimensions(Integer AWidth, Integer AHeight, bool AMasked) {
  if (AWidth < 1 || AHeight < 1) throw EInvalidOperation("Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight && AMasked == FMasked) return;
  FWidth = AWidth;
  FHeight = AHeight;
  FMasked = AMasked;
  bool hadImages = GetCount() > 0;
  FreeHandle();
  if (hadImages) Change();
}

void TCustomImageList::SetWidth(Integer Value) { SetNewDimensions(Value, FHeight, FMasked); }

void TCustomImageList::SetHeight(Integer Value) { SetNewDimensions(FWidth, Value, FMasked); }

void TCustomImageList::SetMasked(bool Value) { SetNewDimensions(FWidth, FHeight, Value); }

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

Integer TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  HBITMAP mask = Mask && !Mask->Empty() ? Mask->GetHandle() : nullptr;
  int index = ImageList_Add(GetHandle(), Image->GetHandle(), mask);
  if (index >= 0) Change();
  return index;
}

Integer TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  int index;
  if (MaskColor == clNone) {
    index = ImageList_Add(GetHandle(), Image->GetHandle(), nullptr);
  } else {
    TColor key = MaskColor == clDefault ? Image->GetCanvas()->GetPixels(0, Image->GetHeight() - 1) : MaskColor;
    index = ImageList_AddMasked(GetHandle(), Image->GetHandle(), static_cast<COLORREF>(ColorToRGB(key)) & 0xFFFFFF);
  }
  if (index >= 0) Change();
  return index;
}

void TCustomImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= GetCount()) throw EInvalidOperation("Invalid image list index %d", {Index});
  if (!Image || Image->Empty()) throw EInvalidOperation("Invalid image size");
  HBITMAP mask = Mask && !Mask->Empty() ? Mask->GetHandle() : nullptr;
  if (!ImageList_Replace(GetHandle(), Index, Image->GetHandle(), mask))
    throw EInvalidOperation("Invalid image size");
  Change();
}

void TCustomImageList::Delete(Integer Index) {
  if (Index < 0 || Index >= GetCount()) throw EInvalidOperation("Invalid image list index %d", {Index});
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (GetCount() == 0) return;
  ImageList_RemoveAll(FHandle);
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= GetCount()) return;
  HDC dc = Canvas->GetHandle();
  if (!Enabled) {
    ImageList_DrawDisabled(FHandle, Index, dc, X, Y);
    return;
  }
  static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT style = kStyles[FDrawingStyle];
  if (FImageType == itMask) style |= ILD_MASK;
  ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, ListColor(FBkColor), ListColor(FBlendColor), style);
}

// ---- Listeners ----

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value || std::find(FClients.begin(), FClients.end(), Value) != FClients.end()) return;
  // A link listens to one list at a time.
  if (Value->GetSender() && Value->GetSender() != this) Value->GetSender()->UnRegisterChanges(Value);
  Value->SetSender(this);
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++FUpdateCount; }

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  // A link may unregister (or free) itself while it is told; walk a copy
  // and skip links that went meanwhile.
  std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  if (OnChange) OnChange(this);
}

ORV_REGISTER(TChangeLink)
ORV_REGISTER(TCustomImageList)
ORV_REGISTER(TImageList, ORV_PROP(AllocBy).Default(4), ORV_PROP(BkColor).As(ColorTypeInfo()).Default(clNone),
             ORV_PROP(BlendColor).As(ColorTypeInfo()).Default(clNone), ORV_PROP(DrawingStyle).Default(dsNormal),
             ORV_PROP(Height).Default(16), ORV_PROP(ImageType).Default(itImage), ORV_PROP(Masked).Default(true),
             ORV_PROP(Width).Default(16), ORV_EVENT(OnChange))
