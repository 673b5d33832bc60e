// An image list whose images can follow the pointer during a drag: one
// image, chosen with SetDragImage, is drawn over a window at the pointer
// less its hot spot, and what it covers is put back when it moves or
// hides. Coordinates are the window's own, its frame included.
#pragma once

#include "platform/forms/ImageList.h"
#include "platform/win/Handles.h"

class TDragImageList : public TCustomImageList {
  ORV_CLASS(TDragImageList, TCustomImageList)
 public:
  explicit TDragImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  // A drag still on ends, putting the window's pixels back.
  ~TDragImageList() override;

  // The image dragged and the point of it that follows the pointer; takes
  // effect at once during a drag. False for an index outside the list.
  bool SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY);
  Integer GetDragIndex() const { return FDragIndex; }
  TPoint GetDragHotspot() const { return FHotSpot; }

  // Starts a drag over Window with the pointer at (X, Y) and shows the
  // image. False without a valid window or image, or while a drag is on.
  bool BeginDrag(win::HWND Window, Integer X, Integer Y);
  // Moves the pointer; the image follows when shown. False without a drag.
  bool DragMove(Integer X, Integer Y);
  // Hides the image and ends the drag. False without a drag.
  bool EndDrag();
  // Shows or hides the image during a drag (say, while the window below
  // repaints). False without a drag.
  bool ShowDragImage();
  bool HideDragImage();
  bool GetDragging() const { return FDragWindow != nullptr; }

 private:
  // Draws the image at the current place, keeping what it covers.
  void Paint();
  // Puts back what the image covered.
  void Erase();

  Integer FDragIndex = -1;
  TPoint FHotSpot{};
  win::HWND FDragWindow = nullptr;
  TPoint FPos{};
  bool FShown = false;
  // What the image covers while shown, and where.
  win::HBITMAP FUnder = nullptr;
  TRect FUnderRect{};
};
