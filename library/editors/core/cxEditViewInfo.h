// The outcome of one layout calculation of an editor or of a grid cell
// without an editor window, and its painting: background, border and
// buttons. A view info also tells what part of a window a new calculation
// must repaint, answers hot-track and hint questions, and paints itself at
// any place of a canvas (PaintEx, for grid cells).
#pragma once

#include <vector>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditViewData.h"

ORV_ENUM(TcxEditViewInfoState, evsPaintButtons)
using TcxEditViewInfoStates = Set<TcxEditViewInfoState>;
ORV_ENUM(TcxDrawBackgroundStyle, dbsCustom, dbsCustomEdit, dbsNone, dbsSimpleFill, dbsSimpleParent, dbsThemeParent)

// One button of an editor as the last calculation left it; the fields are
// those the painting helpers read.
class TcxEditButtonViewInfo : public TPersistent, public TcxEditButtonPaintInfo {
  ORV_CLASS(TcxEditButtonViewInfo, TPersistent)
 public:
  TcxEditButtonViewInfo() = default;

  // Bounds when the look differs from AViewInfo's, else an empty region.
  virtual TcxRegion* GetUpdateRegion(TcxEditButtonViewInfo* AViewInfo);
  // Invalidates the button (moved by AEditViewInfoOffset) in AControl's
  // window when its look differs from AViewInfo's; answers whether it did.
  virtual bool Repaint(TWinControl* AControl, TcxEditButtonViewInfo* AViewInfo, const TPoint& AEditViewInfoOffset);

 protected:
  // Copies what decides the button's look: native state, background
  // colour, bounds, style and state.
  void DoAssign(TPersistent* Source) override;
};

using TcxEditButtonViewInfoClass = TClassRef<TcxEditButtonViewInfo>;

class TcxCustomEditViewInfo;

using TcxEditDrawBackgroundEvent = Event<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas, bool& AHandled)>;
using TcxEditDrawButtonEvent =
    Event<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas, Integer AButtonVisibleIndex, bool& AHandled)>;
using TcxEditDrawButtonBackgroundEvent = Event<void(TcxCustomEditViewInfo* Sender, TcxCanvas* ACanvas,
                                                    const TRect& R, Integer AButtonVisibleIndex, bool& AHandled)>;
using TcxEditGetButtonStateEvent =
    Event<void(TcxCustomEditViewInfo* Sender, Integer AButtonVisibleIndex, TcxEditButtonState& AState)>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo, public IcxEditPaintViewInfo {
  ORV_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
 public:
  TcxCustomEditViewInfo() = default;
  ~TcxCustomEditViewInfo() override;

  // Copies colours, border, states, the button view infos and the pressed
  // and hot buttons, then the container's part.
  void Assign(TObject* Source) override;
  TcxContainerBorderStyle GetContainerBorderStyle() override {
    return static_cast<TcxContainerBorderStyle>(BorderStyle);
  }
  // The buttons whose look changed; the whole bounds when more than the
  // buttons changed.
  TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo) override;
  // Moves every rectangle, the buttons' included.
  void Offset(Integer DX, Integer DY) override;

  // Paints with the canvas origin moved so that the view info's own
  // coordinates appear at (Left, Top).
  void PaintEx(TcxCanvas* ACanvas);

  Integer GetButtonCount() const { return static_cast<Integer>(ButtonInfos.size()); }
  // Growing makes button view infos of GetButtonViewInfoClass; shrinking
  // frees them from the end.
  void SetButtonCount(Integer Value);

  // What the painting helpers read.
  TcxContainerViewInfo* GetContainerViewInfo() override { return this; }
  void GetEditPaintInfo(TcxEditPaintInfo& AInfo) override;
  TcxEditButtonPaintInfo& GetButtonPaintInfo(Integer AIndex) override { return *ButtonInfos[AIndex]; }

  // Nothing on a canvas of one of the editor's own buttons.
  void DrawButtons(TcxCanvas* ACanvas) override;
  // The gradient of btsOffice11 buttons, else a solid fill.
  void DrawButtonBackground(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& R, TColor AColor) override;
  // Only in place: the owner's custom background; true when it drew.
  bool DrawBackground(TcxCanvas* ACanvas) override;
  bool DrawBackground(TcxCanvas* ACanvas, const TPoint& P);
  void DrawEditBackground(TcxCanvas* ACanvas, const TRect& ARect, const TRect& AExcludedRect,
                          bool AExcludedRectIsTransparent);
  TcxDrawBackgroundStyle GetDrawBackgroundStyle();
  bool IsBackgroundTransparent();
  bool IsCustomBackground();

  virtual void DrawButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex);
  virtual void DrawButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, TcxEditButtonStyle AButtonStyle,
                                const TRect& R);
  void DrawButtonContent(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& ABackgroundRect,
                         const TRect& AContentRect, TColor APenColor, TColor ABrushColor) override;
  // Some button is hot.
  virtual bool IsHotTrack();
  // P (in the coordinates PaintEx paints in) lies on a button.
  virtual bool IsHotTrack(const TPoint& P);
  virtual bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText, bool& AIsMultiLine,
                            TRect& ATextRect);
  virtual bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, const TRect& AVisibleBounds, AnsiString& AText,
                            bool& AIsMultiLine, TRect& ATextRect);
  virtual void PrepareCanvasFont(TcxCanvas* ACanvas);
  // Invalidates in AControl's window what differs from AViewInfo (all of
  // it, less the excluded part, without an old view info); answers whether
  // a repaint beyond the first full one was asked for.
  virtual bool Repaint(TWinControl* AControl, TcxContainerViewInfo* AViewInfo = nullptr);
  virtual bool Repaint(TWinControl* AControl, const TRect& AInnerEditRect, TcxContainerViewInfo* AViewInfo = nullptr);
  virtual void SetOnDrawBackground(TcxEditDrawBackgroundEvent AValue) { OnDrawBackground = AValue; }

  TcxEditDrawBackgroundEvent OnDrawBackground;
  TcxEditDrawButtonEvent OnDrawButton;
  TcxEditDrawButtonBackgroundEvent OnDrawButtonBackground;
  TcxEditGetButtonStateEvent OnGetButtonState;
  IcxEditViewControl* Edit = nullptr;
  TcxEditViewInfoStates PaintState;
  TRect BorderExtent{};
  TcxEditBorderStyle BorderStyle = ebsNone;
  std::vector<TcxEditButtonViewInfo*> ButtonInfos;
  TcxCustomEditProperties* EditProperties = nullptr;
  bool Enabled = true;
  bool Focused = false;
  TFont* Font = nullptr;
  bool HasBackground = false;
  bool HasContentOffset = false;
  bool InnerEditVisible = false;
  bool ButtonFontPrepared = false;
  TRect InnerEditRect{};
  bool IsButtonReallyPressed = false;
  bool HasInnerControl = false;
  bool IsDBEditPaintCopyDrawing = false;
  bool IsDesigning = false;
  bool IsInplace = false;
  // Native (themed) drawing: set by the view data from its cached answer.
  bool IsNative = false;
  Integer Left = 0;
  TcxEditPaintOptions PaintOptions;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  Integer PressedButton = -1;
  Integer HotButton = -1;
  TRect InnerRect{};
  TColor TextColor = clWindowText;
  Integer Top = 0;
  bool Transparent = false;
  win::HWND WindowHandle = nullptr;

 protected:
  virtual void DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex);
  virtual TcxEditButtonViewInfoClass GetButtonViewInfoClass();
  virtual bool IsRepaintOnStateChangingNeeded() { return true; }
  void InternalPaint(TcxCanvas* ACanvas) override;

 private:
  bool IsTransparent();
};

using TcxCustomEditViewInfoClass = TClassRef<TcxCustomEditViewInfo>;
