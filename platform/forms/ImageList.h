// Image lists of the class library over the drawing tier's image lists:
// equally sized images with masks, drawn onto canvases. Controls that show
// a list's images hold a change link (TChangeLink) registered with it, so
// they hear of every change, and ask it for a free notification, so they
// forget it when it goes.
#pragma once

#include <vector>

#include "platform/forms/Bitmap.h"
#include "platform/gdi/ImageLists.h"
#include "platform/rtl/Component.h"

class TCustomImageList;

// A listener of one image list. Freeing the link unregisters it; a list
// that goes first sets the link's Sender to nil.
class TChangeLink : public TObject {
  ORV_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  ~TChangeLink() override;

  TCustomImageList* GetSender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  // Called by the list on every change; calls OnChange.
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

ORV_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
ORV_ENUM(TImageType, itImage, itMask)

class TCustomImageList : public TComponent {
  ORV_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  // Adds the images of a bitmap (as many as its width holds, left to
  // right). Add takes a mask bitmap (non-black = transparent) or none;
  // AddMasked makes the mask from the pixels of MaskColor, clDefault
  // meaning the image's bottom-left pixel. Answers the index of the first
  // image added, or -1 (a nil or empty bitmap, or one narrower or lower
  // than an image).
  Integer Add(TBitmap* Image, TBitmap* Mask);
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  // Removes one image (the later ones move down); an index outside the
  // list raises EInvalidOperation.
  void Delete(Integer Index);
  void Clear();
  Integer GetCount() const;

  // Draws image Index with its top-left corner at (X, Y) in the list's
  // DrawingStyle, ImageType, BkColor and BlendColor, or in the disabled
  // look. Nothing for an index outside the list.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);

  // A new size or mask setting empties the list.
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer Value);
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool Value);
  // The colour behind transparent pixels; clNone leaves them see-through.
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  // The colour the focus and selected styles blend with (clDefault: the
  // highlight colour).
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  Integer GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer Value) { FAllocBy = Value < 1 ? 1 : Value; }

  // The drawing tier's list, made on first use.
  win::HIMAGELIST GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // Listeners: each registered link's Change runs on every change, then
  // OnChange.
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  // Changes made between these announce themselves once, at the end.
  void BeginUpdate();
  void EndUpdate();

  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  void FreeHandle();
  // Frees the list's images after a size or mask change.
  void SetNewDimensions(Integer AWidth, Integer AHeight, bool AMasked);

  Integer FWidth = 16;
  Integer FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  Integer FAllocBy = 4;
  win::HIMAGELIST FHandle = nullptr;
  std::vector<TChangeLink*> FClients;
  Integer FUpdateCount = 0;
  bool FChanged = false;
};

class TImageList : public TCustomImageList {
  ORV_CLASS(TImageList, TCustomImageList)
 public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
