// Dragging between controls of this program. A drag runs its own loop
// holding the mouse: every move finds the control under the pointer and
// asks it with CM_DRAG (wParam a TDragMessage, lParam a TDragRec*, both in
// Controls.h) whether it would take what is dragged, and the cursor shows
// the answer. Releasing the left button drops on a target that accepts;
// Esc or the right button cancels. The source hears the end through its
// drag object (OnEndDrag). A control with DragMode dmAutomatic starts a
// drag when pressed with the left button.
#pragma once

#include "platform/forms/Controls.h"

class TDragObject : public TObject {
  ORV_CLASS(TDragObject, TObject)
 public:
  TDragObject() = default;
  // The cursor over a target that accepts (or not) at a screen point.
  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  // The drag is over: dropped on Target at its client point X, Y when
  // Accepted, else cancelled or refused (Target null).
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
  // The images shown at the pointer during the drag; null for none.
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // Shows or hides those images (say, while a window below repaints). They
  // start over the window the drag begins on and follow the pointer there.
  virtual void ShowDragImage();
  virtual void HideDragImage();
  // What targets see as the source in DragOver and DragDrop.
  virtual TObject* GetSource() { return this; }

  TPoint GetDragPos() const { return FDragPos; }
  TControl* GetDragTarget() const { return FDragTarget; }
  TPoint GetDragTargetPos() const { return FDragTargetPos; }
  bool GetCancelling() const { return FCancelling; }
  bool GetDropped() const { return FDropped; }

 private:
  friend class TDragOperation;
  // The images while they may still be used: a source freed in the
  // middle of its drag takes them with it.
  TDragImageList* Images() { return FImagesEnded ? nullptr : GetDragImages(); }
  void MoveDragImage();
  void EndDragImage();
  TPoint FDragPos;
  win::HWND FImageWindow = nullptr;  // where the images are drawn
  bool FImagesEnded = false;
  TControl* FDragTarget = nullptr;
  TPoint FDragTargetPos;
  bool FCancelling = false;
  bool FDropped = false;
};

// A drag that carries a control: targets see the control as the source.
class TBaseDragControlObject : public TDragObject {
  ORV_CLASS(TBaseDragControlObject, TDragObject)
 public:
  explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
  // Null once the control was freed during its drag.
  TControl* GetControl() const { return FControl; }
  TObject* GetSource() override { return FControl; }
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;
  TDragImageList* GetDragImages() override { return FControl ? FControl->GetDragImages() : nullptr; }

 protected:
  virtual void EndDrag(TObject* Target, Integer X, Integer Y);

 private:
  friend class TDragOperation;  // forgets a control freed during the drag
  TControl* FControl;
};

// The drag object a control gets when its OnStartDrag names none: the
// cursor is the control's DragCursor where a drop is accepted.
class TDragControlObject : public TBaseDragControlObject {
  ORV_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
};

// The drag object of the drag running now, or null.
TDragObject* CurrentDragObject();
