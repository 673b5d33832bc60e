// Drags between controls started from a library control, and the drag
// image of a control's content.
#include "library/foundation/cxControls.h"

ORV_REGISTER(TcxDragImageList)
ORV_REGISTER(TcxDragControlObject)

namespace {

// The drag object last seen over a library control.
TDragObject* gDragObject = nullptr;
// The object of a drag whose source went in the middle of it: the drag
// loop still uses it until the loop ends, and its Finished never comes, so
// it is freed when the next drag starts or the unit shuts down.
TcxDragControlObject* gOrphanDragObject = nullptr;

void FreeOrphanDragObject() {
  if (gOrphanDragObject) gOrphanDragObject->Free();
  gOrphanDragObject = nullptr;
}

}  // namespace

TDragObject* GetDragObject() {
  // Only while its drag runs: the object may be gone once the drag ended.
  return gDragObject && gDragObject == CurrentDragObject() ? gDragObject : nullptr;
}

void cxDragSourceDestroying(TcxControl* AControl) {
  auto* object = dynamic_cast<TcxDragControlObject*>(CurrentDragObject());
  if (!object || object->GetControl() != AControl) return;
  FreeOrphanDragObject();
  gOrphanDragObject = object;
}

void cxDragDropFinalize() {
  gDragObject = nullptr;
  FreeOrphanDragObject();
}

// ---------------------------------------------------------------------------
// TcxDragControlObject

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (Accepted && GetIsCopyDragDrop()) return crcxDragCopy;
  return inherited::GetDragCursor(Accepted, X, Y);
}

void TcxDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  inherited::Finished(Target, X, Y, Accepted);
  Free();
}

// ---------------------------------------------------------------------------
// TcxControl: drags between controls

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  FreeOrphanDragObject();
  // What is dragged is seen as it is now, not after the drag.
  Update();
  inherited::DoStartDrag(DragObject);
  if (!DragObject) DragObject = GetDragObjectClass().Construct<TControl*>(this);
  if (!StartDrag(DragObject)) {
    // Its Finished never comes: the drag ends before it begins.
    DragObject->Free();
    DragObject = nullptr;
    EndDrag(false);
  }
}

void TcxControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  inherited::DoEndDrag(Target, X, Y);
  FreeDragImages();
}

void TcxControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  // Targets hear of the dragged control rather than of the drag's object;
  // the object is the running drag's. Source is only compared: a source
  // freed in the middle of its drag is still named in the last leave.
  TDragObject* current = CurrentDragObject();
  if (current && (current == Source || current->GetSource() == Source))
    gDragObject = State == dsDragLeave ? nullptr : current;
  inherited::DragOver(Source, X, Y, State, Accept);
}

void TcxControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  gDragObject = nullptr;
  inherited::DragDrop(Source, X, Y);
}

void TcxControl::HideDragImage() {
  if (TDragObject* object = GetDragObject()) object->HideDragImage();
}

void TcxControl::ShowDragImage() {
  if (TDragObject* object = GetDragObject()) object->ShowDragImage();
}

// ---------------------------------------------------------------------------
// TcxControl: the drag image

TDragImageList* TcxControl::GetDragImages() {
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
