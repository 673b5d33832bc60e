// Mouse drags of the editing controls on top of the control's own
// drag-and-drop loop: sizing something by dragging (live, or with an
// inverted line applied on release), scrolling while the pointer stays in
// a zone or outside a rectangle, and the translucent image that follows
// the pointer, inside the control's own drags and during drags between
// controls.
#pragma once

#include <vector>

#include "library/grid/container/cxInplaceContainerControl.h"

class TBitmap;

// What a sizing drag asks of the object it sizes. The object is not
// reference counted: it lives as long as its control.
class IcxDragSizing {
 public:
  virtual ~IcxDragSizing() = default;
  virtual bool CanSizing(TcxDragSizingDirection ADirection) = 0;
  // The rectangle the pointer must stay in for a move to count.
  virtual TRect GetSizingBoundsRect(TcxDragSizingDirection ADirection) = 0;
  // Pixels per size step.
  virtual Integer GetSizingIncrement(TcxDragSizingDirection ADirection) = 0;
  // Each move is applied at once; otherwise once on release.
  virtual bool IsDynamicUpdate() = 0;
  virtual void SetSizeDelta(TcxDragSizingDirection ADirection, Integer ADelta) = 0;
};

// ---------------------------------------------------------------------------
class TcxSizingDragAndDropObject : public TcxDragAndDropObject {
  ORV_CLASS(TcxSizingDragAndDropObject, TcxDragAndDropObject)
 public:
  explicit TcxSizingDragAndDropObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) {}
  // Sizing starts on the mouse-down, without a drag threshold.
  bool GetImmediateStart() override { return true; }
  // Where the 1-pixel mark goes for a pointer at P: the start position
  // moved by whole steps.
  virtual TPoint GetDragPos(const TPoint& P);
  virtual TRect GetSizingMarkBounds();

  Integer GetDelta() const { return FDelta; }
  TPoint GetDragPosition() const { return FDragPos; }
  TcxDragSizingDirection GetDirection() const { return FDirection; }

 protected:
  void DirtyChanged() override;
  TCursor GetDragAndDropCursor(bool Accepted) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;

 private:
  IcxDragSizing* GetSizing();
  TcxCustomControlController* GetController();
  Integer Along(const TPoint& P) const { return FDirection == dsdHorz ? P.X : P.Y; }
  Integer FDelta = 0;
  TcxDragSizingDirection FDirection = dsdHorz;
  TRect FSizingBounds{};
  TPoint FDragPos{};
  bool FDynamicUpdate = false;
  TPoint FStartPos{};
  Integer FIncrement = 1;
};

// ---------------------------------------------------------------------------
// A 50 ms timer that scrolls the control while the pointer stays in the
// area.
class TcxAutoScrollingObject : public TObject {
  ORV_CLASS(TcxAutoScrollingObject, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TObject*)>;
  explicit TcxAutoScrollingObject(TObject* AOwner);
  ~TcxAutoScrollingObject() override;

  void SetParams(const TRect& ARect, TScrollBarKind AKind, TScrollCode ACode, Integer AIncrement);
  // True when P lies in the area; the timer runs exactly then.
  bool Check(const TPoint& P);
  void Stop();
  bool GetTimerEnabled() const;
  TRect GetArea() const { return FArea; }

  virtual void DoScrollInspectingControl();
  virtual TcxControl* GetControl() { return nullptr; }
  virtual TcxControlScrollBar* GetScrollBar(TScrollBarKind AKind);
  virtual void TimerHandler(TObject* Sender);

 protected:
  // One clamped scroll step of the bar of that kind.
  void ScrollBy(TScrollBarKind AKind, TScrollCode ACode, Integer AIncrement);
  void SetTimerEnabled(bool Value);
  TObject* GetOwner() const { return FOwner; }
  TRect FArea{};
  TScrollCode FCode = scLineDown;
  Integer FIncrement = 0;
  TScrollBarKind FKind = sbVertical;

 private:
  TObject* FOwner;
  TcxTimer* FTimer = nullptr;
};

using TcxAutoScrollingObjectClass = TClassRef<TcxAutoScrollingObject>;

class TcxDragDropObjectAutoScrollingObject : public TcxAutoScrollingObject {
  ORV_CLASS(TcxDragDropObjectAutoScrollingObject, TcxAutoScrollingObject)
 public:
  explicit TcxDragDropObjectAutoScrollingObject(TObject* AOwner) : TcxAutoScrollingObject(AOwner) {}
  TcxControl* GetControl() override;
};

ORV_ENUM(TcxAutoScrollDirection, asdLeft, asdUp, asdRight, asdDown)
using TcxAutoScrollDirections = Set<TcxAutoScrollDirection>;

// Owned by a controller; in bounds mode it scrolls while the pointer is
// outside a rectangle, towards the sides it has passed.
class TcxControllerAutoScrollingObject : public TcxAutoScrollingObject {
  ORV_CLASS(TcxControllerAutoScrollingObject, TcxAutoScrollingObject)
 public:
  explicit TcxControllerAutoScrollingObject(TObject* AOwner) : TcxAutoScrollingObject(AOwner) {}
  TcxControl* GetControl() override;
  void TimerHandler(TObject* Sender) override;
  void SetBoundsParams(const TRect& ARect, bool AHorizontal, bool AVertical, Integer AIncrement);
  bool CheckBounds(const TPoint& P);
  TcxAutoScrollDirections GetDirections() const { return FDirections; }

 private:
  bool FBoundsMode = false;
  bool FHorizontal = false;
  bool FVertical = false;
  TcxAutoScrollDirections FDirections;
};

// ---------------------------------------------------------------------------
class TcxBaseDragAndDropObject : public TcxDragAndDropObject {
  ORV_CLASS(TcxBaseDragAndDropObject, TcxDragAndDropObject)
 public:
  explicit TcxBaseDragAndDropObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) {}
  TcxEditingControl* GetEditingControl() const;

 protected:
  TCursor GetDragAndDropCursor(bool Accepted) override;
};

// What the image of a drag reads from and writes to: the screen, in screen
// coordinates. The headless back end's virtual screen takes the pixels as
// they are; a display whose screen is not ours shows them in a window of
// its own.
class TcxDragImageScreen {
 public:
  // Copies the screen's pixels at R into ABitmap at (ADest).
  static void Read(TBitmap* ABitmap, const TPoint& ADest, const TRect& R);
  // Copies ABitmap's pixels from ASource onto the screen at R.
  static void Write(const TRect& R, TBitmap* ABitmap, const TPoint& ASource);
  // The picture now lies at R; it left the screen.
  static void Shown(const TRect& R, TBitmap* APicture);
  static void Hidden();
};

// The translucent picture moved over the screen: the screen under it is
// saved, the picture blended over it, and a move copies only the strips
// it uncovers and covers, so nothing under it repaints.
class TcxDragImage {
 public:
  TcxDragImage() = default;
  TcxDragImage(const TcxDragImage&) = delete;
  TcxDragImage& operator=(const TcxDragImage&) = delete;
  ~TcxDragImage();
  // Bitmaps of that size; the picture is drawn into GetImage().
  void Init(Integer AWidth, Integer AHeight);
  TBitmap* GetImage() const { return FImage; }
  TRect GetImageRect() const { return FImageRect; }
  // Saves the screen under the picture at P, then draws it there.
  void Show(const TPoint& P);
  // Puts back what was under the picture at P.
  void Hide(const TPoint& P);
  void SaveBackground(const TPoint& P);
  void RestoreBackground(const TPoint& P);
  void Draw(const TPoint& P);
  // From AOld to ANew: the strips when the two places overlap, else a full
  // restore, save and draw.
  void Move(const TPoint& AOld, const TPoint& ANew);

 private:
  TBitmap* FImage = nullptr;
  TBitmap* FBackground = nullptr;
  TBitmap* FBlended = nullptr;
  TRect FImageRect{};
};

class TcxCustomControlDragAndDropObject : public TcxBaseDragAndDropObject {
  ORV_CLASS(TcxCustomControlDragAndDropObject, TcxBaseDragAndDropObject)
 public:
  explicit TcxCustomControlDragAndDropObject(TcxControl* AControl) : TcxBaseDragAndDropObject(AControl) {}
  ~TcxCustomControlDragAndDropObject() override;

  void AddAutoScrollingObject(const TRect& ARect, TScrollBarKind AKind, TScrollCode ACode);
  void CheckScrolling(const TPoint& P);
  void StopScrolling();
  // Called around every paint of the control while the drag runs: the
  // image leaves the screen before the control paints under it.
  virtual void OwnerImageChanging();
  virtual void OwnerImageChanged();
  TcxCustomHitTestController* GetHitTestController();
  const std::vector<TcxAutoScrollingObject*>& GetAutoScrollObjects() const { return FAutoScrollObjects; }
  TcxDragImage& GetDragImage() { return FDragImage; }

 protected:
  virtual void DrawDragImage();
  virtual TRect GetAcceptedRect() { return cxNullRect; }
  virtual TcxAutoScrollingObjectClass GetAutoScrollingObjectClass();
  // The client rectangle of what is dragged.
  virtual TRect GetDisplayRect() = 0;
  virtual Integer GetHorzScrollInc() { return 1; }
  virtual Integer GetVertScrollInc() { return 1; }
  // Paints what is dragged on ACanvas, in client coordinates.
  virtual void Paint(TcxCanvas* ACanvas) = 0;
  TCursor GetDragAndDropCursor(bool Accepted) override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& P, bool& Accepted) override;
  void EndDragAndDrop(bool Accepted) override;
  // Top-left of the image on the screen for a pointer at P (client).
  TPoint ImagePlace(const TPoint& P) const;

 private:
  std::vector<TcxAutoScrollingObject*> FAutoScrollObjects;
  bool FAccepted = false;
  TcxDragImage FDragImage;
  TPoint FHotSpot{};
  TPoint FScreenOrigin{};
};

// ---------------------------------------------------------------------------
// The image that follows the pointer during a drag between controls; a
// thread mouse hook moves it and the first button release ends it.
class TcxDragImageHelper : public TObject {
  ORV_CLASS(TcxDragImageHelper, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*, TPoint)>;
  TcxDragImageHelper(TcxEditingControl* AControl, TPoint ADragPos);
  void AfterConstruction() override;
  ~TcxDragImageHelper() override;

  // P in screen coordinates.
  virtual void DragAndDrop(const TPoint& P);
  virtual TRect GetDisplayRect();
  virtual void InitDragImage();
  virtual void HideDragImage();
  virtual void ShowDragImage();

  bool GetDragImageVisible() const { return FVisible; }
  void SetDragImageVisible(bool Value);
  TcxEditingControl* GetControl() const { return FControl; }
  TPoint GetPosition() const { return FPosition; }
  TcxDragImage& GetDragImage() { return FDragImage; }

 private:
  TcxEditingControl* FControl;
  bool FVisible = false;
  TPoint FDragStart;
  TPoint FHotSpot{};
  TPoint FPosition{};
  TcxDragImage FDragImage;
};

using TcxDragImageHelperClass = TClassRef<TcxDragImageHelper>;

// The control whose platform drag shows an image, and its mouse hook; at
// most one per process.
void cxInstallDragImageHook(TcxEditingControl* AControl);
void cxRemoveDragImageHook();
TcxEditingControl* cxDragImageControl();
// Hides the image of the running drag where it covers the window's visible
// client area, so that a paint there is not overwritten; answers whether
// it was hidden.
bool cxHideDragImage(win::HWND AWnd);
// The window that shows a drag image where the screen is not ours to
// write; none while no image shows or on the headless back end.
win::HWND cxDragImageWindow();
