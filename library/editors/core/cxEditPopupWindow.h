// The drop-down window of the editors that have a popup: placed next to its
// editor (above it or growing leftward where the screen ends), framed in
// one of four border styles with an optional client edge, an optional drop
// shadow, and an optional system panel holding a size grip and a close
// button; sized with the mouse on its border or grip, never below its
// minimum size.
#pragma once

#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/foundation/cxContainer.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPopupWindow.h"

// The corner of the popup that carries the size grip: a top corner means
// the popup opened above its editor, a left corner that it grows leftward.
ORV_ENUM(TcxEditCorner, ecoTopLeft, ecoTopRight, ecoBottomLeft, ecoBottomRight)

// The diagonal along which a drag at a corner sizes the popup; a drag that
// moves one side only, or none, has no diagonal.
ORV_ENUM(TcxEditMouseSizingDirection, mmdNWSE, mmdNESW, mmdNone)

// The diagonal of a direction pair (-1, 0 or 1 for each axis).
TcxEditMouseSizingDirection cxEditMouseSizingDirection(const TPoint& ADirection);

// What the popup asks of the editor that owns it. The drop-down editor
// implements it; the popup finds it on its owner control.
class IcxEditPopupWindowOwner {
 public:
  virtual ~IcxEditPopupWindowOwner() = default;
  // The editor area the popup is attached to, in the coordinates of the
  // popup's owner bounds: the client area of the editor's parent, or the
  // screen for an editor without a parent.
  virtual TRect GetPopupWindowOwnerControlBounds() = 0;
  // The size the popup's content would like for its client area.
  virtual TSize GetPopupWindowClientPreferredSize() = 0;
  // Lays the popup's content out in its client rectangle.
  virtual void PositionPopupWindowChilds(const TRect& AClientRect) = 0;
  // Closes the popup the editor's way, taking or dropping its choice.
  virtual void CloseUp(TcxEditCloseUpReason AReason) = 0;
  // The editor forgets what it set up for a popup that will not show.
  virtual void DoFinalizePopup() = 0;
  // The popup may be cut down to the work area.
  virtual bool PopupWindowAcceptsAnySize() = 0;
  // The user changed the popup's size with the mouse.
  virtual void PopupWindowResizedByUser() = 0;
  // A visual list in the popup fits AClientSize to its rows; AMaxHeight is
  // the room the screen leaves. False keeps the popup's size. Editors
  // without such a list accept every size as it is.
  virtual bool CanResizePopupVisualArea(TSize& AClientSize, Integer AMaxHeight) = 0;
  // The painter of the editor's look and feel, for the close button.
  virtual TcxCustomLookAndFeelPainterClass GetPopupWindowPainter() = 0;
  // A key pressed in a popup that holds the keyboard, whichever of its
  // windows has the focus: the editor closes the popup as its own keys
  // would (Key 0 when it took the key). Tab arrives here only where it
  // leaves the popup.
  virtual void PopupWindowKeyDown(Word& /*Key*/, TShiftState /*Shift*/) {}
};

// Computes and paints the popup's frame. The window copies its frame
// settings here; Calculate lays the parts out in Bounds.
class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
  ORV_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)
 public:
  TcxCustomEditPopupWindowViewInfo() = default;

  virtual void Calculate();
  // Left, top, right and bottom room of the frame around the client area;
  // computes SysPanelHeight as it goes.
  virtual TRect GetBorderExtent();
  TRect GetClientExtent() { return GetBorderExtent(); }
  virtual Integer GetSysPanelHeight();
  // A place of the frame (window coordinates) where a press sizes the
  // popup; ADirection tells which sides move (-1 left or top, 1 right or
  // bottom, 0 none).
  virtual bool IsSizingPlace(Integer X, Integer Y, TPoint& ADirection);
  // The diagonal a press at (X, Y) would size the popup along.
  TcxEditMouseSizingDirection GetMouseSizingDirection(Integer X, Integer Y);
  // The border alone, without the client edge.
  Integer GetBorderWidth() const;
  Integer GetClientEdgeWidth() const;
  Integer GetCloseButtonSize();
  Integer GetSizeGripSize();
  // Themed drawing of the panel's parts applies.
  bool IsThemed() const;

  // The popup's own border style; the container's is not used.
  TcxEditPopupBorderStyle BorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool CloseButton = false;
  bool Sizeable = false;
  bool SysPanelStyle = false;
  TcxEditCorner SizingCorner = ecoBottomRight;
  Integer MinSysPanelHeight = 0;
  Integer SysPanelHeight = 0;
  TRect CloseButtonRect{};
  TcxButtonState CloseButtonState = cxbsNormal;
  Integer CloseButtonNativeState = 0;
  TRect SizeGripRect{};
  TRect SizeGripDrawRect{};
  TRect InnerRect{};
  Integer ScrollBarSize = 0;
  TcxCustomLookAndFeelPainterClass Painter;

 protected:
  void DrawBorder(TcxCanvas* ACanvas, TRect R) override;
  void InternalPaint(TcxCanvas* ACanvas) override;
  // The panel is a pixel taller for a separator line...
  bool HasPanelSeparatorRoom() const;
  // ...which is drawn along the client area's side.
  bool HasPanelSeparator() const;
  bool IsTopCorner() const { return SizingCorner == ecoTopLeft || SizingCorner == ecoTopRight; }
  bool IsLeftCorner() const { return SizingCorner == ecoTopLeft || SizingCorner == ecoBottomLeft; }

 private:
  void DrawSizeGrip(TcxCanvas* ACanvas);
  void DrawCloseButton(TcxCanvas* ACanvas);
};

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  ORV_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
 public:
  explicit TcxCustomEditPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomEditPopupWindow() override;

  using TcxCustomPopupWindow::Popup;
  void Popup(TWinControl* AFocusedControl) override;
  bool AcceptsAnySize() override;
  void CalculateSize() override;
  TPoint CalculatePosition() override;
  virtual void CalculateViewInfo();
  // Owner bounds, frame and content laid out again, then repainted.
  void RefreshPopupWindow();
  virtual TSize GetMinSize();
  // Raises a new size to the minimum and lets a visual list fit it to its
  // rows; always accepts.
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  // A size is never more than the window system can hold (16 bits): sizes
  // come from settings and remembered drags, and placing the popup adds
  // them to screen positions.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // The editor that owns the popup, when it has one.
  IcxEditPopupWindowOwner* GetEdit() const;
  TcxCustomEditPopupWindowViewInfo* GetViewInfo() const {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(TcxCustomPopupWindow::GetViewInfo());
  }

  // The frame settings live in the view info, which lays the frame out
  // and paints it; the window's properties read and write them there.
  bool GetPopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
  // The popup's own border style; the positioned popup's frame stays off.
  TcxEditPopupBorderStyle GetBorderStyle() const { return GetViewInfo()->BorderStyle; }
  void SetBorderStyle(TcxEditPopupBorderStyle Value) { GetViewInfo()->BorderStyle = Value; }
  bool GetClientEdge() const { return GetViewInfo()->ClientEdge; }
  void SetClientEdge(bool Value) { GetViewInfo()->ClientEdge = Value; }
  bool GetCloseButton() const { return GetViewInfo()->CloseButton; }
  void SetCloseButton(bool Value) { GetViewInfo()->CloseButton = Value; }
  Integer GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value) { FMinHeight = Value; }
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value) { FMinWidth = Value; }
  Integer GetMinSysPanelHeight() const { return GetViewInfo()->MinSysPanelHeight; }
  void SetMinSysPanelHeight(Integer Value) { GetViewInfo()->MinSysPanelHeight = Value; }
  bool GetNativeStyle() const { return GetViewInfo()->NativeStyle; }
  void SetNativeStyle(bool Value) { GetViewInfo()->NativeStyle = Value; }
  Integer GetPopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(Integer Value) { FPopupHeight = Value; }
  Integer GetPopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(Integer Value) { FPopupWidth = Value; }
  bool GetShadow() const { return GetViewInfo()->Shadow; }
  void SetShadow(bool Value) { GetViewInfo()->Shadow = Value; }
  bool GetSizeable() const { return GetViewInfo()->Sizeable; }
  void SetSizeable(bool Value) { GetViewInfo()->Sizeable = Value; }
  bool GetSysPanelStyle() const { return GetViewInfo()->SysPanelStyle; }
  void SetSysPanelStyle(bool Value) { GetViewInfo()->SysPanelStyle = Value; }

 protected:
  virtual void DoPopupControlKey(char Key);
  void DoShowed() override;
  void DoClosing() override;
  void DoClosed() override;
  void ModalCloseUp() override;
  TClassRef<TcxContainerViewInfo> GetViewInfoClass() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseLeave(TControl* AControl) override;

  void AdjustClientRect(TRect& Rect) override;

  void KeyDown(Word& Key, TShiftState Shift) override;
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMPopupControlKey(TMessage& Message);
  ORV_MESSAGE(DXM_POPUPCONTROLKEY, CMPopupControlKey)
  void WMLButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  void WMCaptureChanged(TMessage& Message);
  ORV_MESSAGE(win::WM_CAPTURECHANGED, WMCaptureChanged)

 private:
  void RefreshOwnerBounds();
  void SetShadowRegion();
  void SetCloseButtonState(TcxButtonState AState);
  void UpdateCursor(Integer X, Integer Y);
  void StartSizing(const TPoint& ADirection, const TPoint& AScreenPoint);
  void SizingMouseMove(const TPoint& AScreenPoint);
  void EndSizing(bool AApply);
  void ShowSizeFrame();

  bool FPopupAutoSize = true;
  Integer FMinHeight = 0;
  Integer FMinWidth = 0;
  Integer FPopupHeight = 0;
  Integer FPopupWidth = 0;
};

// The popup editor's window: its three-dimensional border keeps the same
// four lines with or without a client edge.
class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
  ORV_CLASS(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)
 public:
  TcxPopupEditPopupWindowViewInfo() = default;

 protected:
  void DrawBorder(TcxCanvas* ACanvas, TRect R) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  ORV_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxPopupEditPopupWindow(TWinControl* AOwnerControl) : TcxCustomEditPopupWindow(AOwnerControl) {}

 protected:
  TClassRef<TcxContainerViewInfo> GetViewInfoClass() override;
};
