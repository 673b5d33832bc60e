// Popup windows: a borderless stay-on-top form placed next to a rectangle of
// an owner control and kept inside the monitor's work area.
#pragma once

#include "library/foundation/cxControls.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "platform/forms/Forms.h"

ORV_ENUM(TcxPopupAlignHorz, pahLeft, pahCenter, pahRight)
ORV_ENUM(TcxPopupAlignVert, pavTop, pavCenter, pavBottom)
ORV_ENUM(TcxPopupDirection, pdHorizontal, pdVertical)

class TcxPopupWindow : public TForm {
  ORV_CLASS(TcxPopupWindow, TForm)
 public:
  // Popups have no owner: they live as long as whoever made them wants.
  TcxPopupWindow();
  ~TcxPopupWindow() override;
  void AfterConstruction() override;

  virtual void Popup();
  virtual void CloseUp();

  virtual void CalculateSize();
  virtual TPoint CalculatePosition();
  virtual TRect GetOwnerScreenBounds();
  virtual Integer GetFrameWidth(TcxBorder ABorder);
  Integer GetBorderWidth(TcxBorder ABorder);
  Integer GetNCWidth() { return GetBorderWidth(bLeft) + GetBorderWidth(bRight); }
  Integer GetNCHeight() { return GetBorderWidth(bTop) + GetBorderWidth(bBottom); }

  bool GetSizeToControls() const { return FSizeToControls; }
  void SetSizeToControls(bool Value) { FSizeToControls = Value; }
  TcxPopupAlignHorz GetAlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignHorz Value) { FAlignHorz = Value; }
  TcxPopupAlignVert GetAlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignVert Value) { FAlignVert = Value; }
  Integer GetBorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(Integer Value);
  // The popup's frame; the form itself never has a border.
  TcxPopupBorderStyle GetBorderStyle() const { return FPopupBorderStyle; }
  void SetBorderStyle(TcxPopupBorderStyle Value);
  TcxPopupDirection GetDirection() const { return FDirection; }
  void SetDirection(TcxPopupDirection Value) { FDirection = Value; }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { FFrameColor = Value; }
  // In the client coordinates of OwnerParent.
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& Value) { FOwnerBounds = Value; }
  TControl* GetOwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* Value);
  TcxCanvas* GetcxCanvas() const { return FcxCanvas; }
  win::HWND GetPrevActiveWindow() const { return FPrevActiveWindow; }

 protected:
  virtual void InitPopup();
  virtual void DrawFrame();
  virtual void VisibleChanged() {}
  void Deactivate() override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Moves the children back to where they were before the frame took room.
  void RestoreControlsBounds();

  void WMActivate(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATE, WMActivate)
  void WMActivateApp(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATEAPP, WMActivateApp)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)

 private:
  bool FSizeToControls = true;
  TcxPopupAlignHorz FAlignHorz = pahLeft;
  TcxPopupAlignVert FAlignVert = pavBottom;
  Integer FBorderSpace = 0;
  TcxPopupBorderStyle FPopupBorderStyle = pbsNone;
  TcxCanvas* FcxCanvas = nullptr;
  TcxPopupDirection FDirection = pdVertical;
  TColor FFrameColor = clWindowText;
  TRect FOwnerBounds{};
  TControl* FOwnerParent = nullptr;
  win::HWND FPrevActiveWindow = nullptr;
  TPoint FControlsOffset{};
};
