// The radio button that draws itself: the platform radio button made
// owner-drawn, its glyph painted by the look-and-feel painters (themed
// when native style applies), its caption beside the glyph with a focus
// rectangle round it. It follows the mouse: hot while the pointer is over
// it, pressed while it holds the mouse with the pointer on it, hot again
// when the pointer leaves while it still holds it. It has its own look and
// feel and popup menu. The radio group's buttons derive from it.
#pragma once

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeels.h"
#include "platform/controls/Buttons.h"

ORV_ENUM(TcxRadioButtonState, rbsDisabled, rbsHot, rbsNormal, rbsPressed)

class TcxRadioButton : public TRadioButton, public IcxMouseTrackingCaller, public IcxLookAndFeelContainer {
  ORV_CLASS(TcxRadioButton, TRadioButton)
 public:
  explicit TcxRadioButton(TComponent* AOwner);
  ~TcxRadioButton() override;
  void BeforeDestruction() override;

  TcxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  // A platform popup menu, or a component offering IcxPopupMenu; anything
  // else is stored as none.
  TComponent* GetPopupMenu() const { return TRadioButton::GetPopupMenu(); }
  void SetPopupMenu(TComponent* Value);
  TcxRadioButtonState GetState() const { return FState; }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the glyph was last painted.
  const TRect& GetGlyphRect() const { return FGlyphRect; }
  // False while designing, else whether the window holds the focus (while
  // it draws an item, the focus the item is drawn with).
  bool IsFocused();
  // The canvas of the window, or of the item being drawn.
  TcxCanvas* GetCanvas() const { return FCanvas; }

  // The whole client area, erased, through the library's invalidation.
  void Invalidate() override;
  void MouseTrackingMouseLeave() override { MouseLeave(this); }

 protected:
  // Introduced, in this order.
  // Moves the caption's rectangle off the glyph by the fixed offsets of
  // the look (see the table in the .cpp).
  virtual void CorrectTextRect(TRect& R, bool ANativeStyle);
  // Shows AMenu at the screen point; true when it was shown.
  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  // Fills the control with Color unless the background shows through.
  virtual void DrawBackground();
  virtual bool IsInplace() { return false; }
  virtual bool IsNativeBackground();
  virtual bool IsNativeStyle();
  virtual bool IsTransparent();
  virtual bool IsTransparentBackground();
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  virtual void Paint();
  // The state from the mouse: P in client coordinates.
  virtual void UpdateState(TcxMouseButton AButton, TShiftState AShift, const TPoint& P);

  void SetState(TcxRadioButtonState Value);
  // The state at the pointer and keys of the moment.
  void ShortUpdateState();
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);
  virtual void EnabledChanged();
  // A button that is the inner control of a container draws its caption
  // as enabled; the container shows the disabled look.
  bool IsInnerControl();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  // The focus arriving checks the button and clicks it.
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

  void CNDrawItem(TMessage& Message);
  ORV_MESSAGE(win::CN_DRAWITEM, CNDrawItem)
  void CNMeasureItem(TMessage& Message);
  ORV_MESSAGE(win::CN_MEASUREITEM, CNMeasureItem)
  void WMEraseBkgnd(TMessage& Message);
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void BMSetCheck(TMessage& Message);
  ORV_MESSAGE(win::BM_SETCHECK, BMSetCheck)
  void WMWindowPosChanged(TMessage& Message);
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGED, WMWindowPosChanged)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMSysColorChange(TMessage& Message);
  ORV_MESSAGE(win::CM_SYSCOLORCHANGE, CMSysColorChange)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void WMKeyDown(TMessage& Message);
  ORV_MESSAGE(win::WM_KEYDOWN, WMKeyDown)
  void WMSysKeyDown(TMessage& Message);
  ORV_MESSAGE(win::WM_SYSKEYDOWN, WMSysKeyDown)
  void WMContextMenu(TMessage& Message);
  ORV_MESSAGE(win::WM_CONTEXTMENU, WMContextMenu)
  // The check on focus is DoEnter's: the platform's own is left out.
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)

 private:
  void LookAndFeelChangedHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  }
  void DrawCaption(bool ANativeStyle);
  Integer GetCaptionFlags() const;

  TControlCanvas* FControlCanvas = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  TcxRadioButtonState FState = rbsNormal;
  bool FTransparent = false;
  TRect FGlyphRect{};
  TShiftState FShiftState;
  bool FDrawingItem = false;
  bool FItemFocused = false;
};
