// The drag image of a control's content.
#include "library/foundation/cxControls.h"

ORV_REGISTER(TcxDragImageList)

TObject* GetDragObject() { return nullptr; }

TcxDragImageList* TcxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages = GetDragImagesClass().Create(nullptr);
    InitDragImages(FDragImages);
  }
  return FDragImages->GetCount() > 0 ? FDragImages : nullptr;
}

void TcxControl::InitDragImages(TcxDragImageList* ADragImages) {
  const TSize size = GetDragImagesSize();
  // Image lists refuse an empty size: such a list stays empty.
  if (size.cx <= 0 || size.cy <= 0) return;
  ADragImages->SetWidth(size.cx);
  ADragImages->SetHeight(size.cy);
  TBitmap* image = New<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(size.cx, size.cy);
  {
    TcxCanvas canvas(image->GetCanvas());
    DrawDragImage(&canvas, TRect{0, 0, size.cx, size.cy});
  }
  ADragImages->AddMasked(image, image->GetTransparentColor());
  image->Free();
}

void TcxControl::FreeDragImages() {
  if (FDragImages) FDragImages->Free();
  FDragImages = nullptr;
}
