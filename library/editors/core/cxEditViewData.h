// The layout half of every editor kind. Given a canvas, a bounding
// rectangle and the mouse, a view data fills an edit view info with all
// that painting needs: state, colours, border, the rectangles and states
// of the buttons and the client (text) rectangle. It also answers how large
// an editor or a grid cell must be to show a value.
//
// One view data serves either a stand-alone editor control or a grid cell
// that has no editor window (Edit is null then); IsInplace tells the two
// apart and changes several rules of the layout.
#pragma once

#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/foundation/cxContainer.h"
#include "platform/rtl/Variant.h"

class TcxCustomEditViewInfo;
class TcxEditButtonViewInfo;

ORV_ENUM(TcxEditContentOption, ecoShowFocusRectWhenInplace)
using TcxEditContentOptions = Set<TcxEditContentOption>;

// Where an editor's content sits inside its border: the border drawn by
// the owner of a cell, the offsets of the content and the correction that
// the content size needs.
struct TcxEditContentParams {
  TRect ExternalBorderBounds{};
  TRect Offsets{};
  TcxEditContentOptions Options;
  TSize SizeCorrection{};
};

ORV_ENUM(TcxEditPaintOption, epoAllowZeroHeight, epoAutoHeight, epoHasExternalBorder, epoShowEndEllipsis,
         epoShowFocusRectWhenInplace)
using TcxEditPaintOptions = Set<TcxEditPaintOption>;

// The limits a size question is asked under; a negative Width is no limit.
struct TcxEditSizeProperties {
  Integer Height = -1;
  Integer MaxLineCount = 0;
  Integer Width = -1;
};

// The content offsets of a stand-alone editor [0] and of one in place [1].
inline constexpr TRect EditContentDefaultOffsets[2] = {TRect(1, 1, 1, 3), TRect(1, 1, 1, 1)};

// What the layout and the painting of an editor ask of its editor control.
// The editor control implements it; a grid cell has none.
class IcxEditViewControl {
 public:
  virtual ~IcxEditViewControl() = default;
  // The editor control itself.
  virtual TcxContainer* GetEditControl() = 0;
  virtual bool InternalFocused() = 0;
  // The editor paints a background of its own.
  virtual bool HasBackground() = 0;
  virtual bool IsDBEditPaintCopyDrawing() = 0;
  // The visible index of the button that holds the mouse capture, -1 for none.
  virtual Integer GetCaptureButtonVisibleIndex() = 0;
  // Whether ADC belongs to one of the editor's buttons (a button window
  // painting itself), so that the editor must not paint its buttons there.
  virtual bool IsButtonDC(win::HDC ADC) = 0;
  virtual bool IsTransparent() = 0;
  // The editor shows its parent's themed background.
  virtual bool IsNativeBackground() = 0;
  // The editor shows its inner edit, which then draws the text itself.
  virtual bool IsEditClass() { return false; }
};

using TcxEditGetDefaultButtonWidthEvent = Event<void(TObject* Sender, Integer AIndex, Integer& AWidth)>;
using TcxEditGetDisplayTextEvent = Event<void(TObject* Sender, AnsiString& AText)>;

class TcxCustomEditViewData : public TPersistent {
  ORV_CLASS(TcxCustomEditViewData, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomEditProperties*, TcxCustomEditStyle*, bool)>;

  TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace);
  // Initializes the state and the cached data through the kind's overrides.
  void AfterConstruction() override;

  // The main operation: fills AViewInfo for ABounds and the mouse at P.
  virtual void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                         TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  // Calculates at the origin and keeps ABounds' top-left in the view info's
  // Left and Top, so that the view info paints there (PaintEx).
  void CalculateEx(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                   TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  virtual void CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                     Integer AButtonVisibleIndex, TRect& ButtonsRect);
  virtual void CalculateButtonsViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                        TcxMouseButton AButton, TShiftState AShift,
                                        TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  virtual void CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                       Integer AButtonVisibleIndex, TRect& ButtonsRect);
  // Puts the value's display form into the view info; the kinds do it.
  virtual void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo);
  AnsiString EditValueToDisplayText(const Variant& AValue);
  virtual TColor GetBorderColor();
  virtual TRect GetBorderExtent();
  virtual TcxEditBorderStyle GetBorderStyle();
  virtual TRect GetButtonsExtent(TcxCanvas* ACanvas);
  virtual TRect GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
  // The size around the content (border, buttons) and the least content
  // size that the buttons need. Without a view info a temporary one is
  // calculated.
  virtual TSize GetEditConstantPartSize(TcxCanvas* ACanvas, const TcxEditSizeProperties& AEditSizeProperties,
                                        TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo = nullptr);
  virtual TSize GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties);
  virtual TSize GetEditContentSizeCorrection();
  // The size of an editor showing AEditValue; with a Width limit smaller
  // than the constant part, that width.
  TSize GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties,
                    TcxCustomEditViewInfo* AViewInfo = nullptr);
  virtual bool HasShadow();
  // Whether editors of this look and feel paint natively.
  virtual bool IsNativeStyle(TcxLookAndFeel* ALookAndFeel);
  // The cached answer for the style's look and feel.
  bool IsNativeStyle() const { return FIsNativeStyle; }

  TcxEditButtonStyle GetButtonsStyle();
  Integer GetCaptureButtonVisibleIndex();
  bool InternalFocused();
  TcxEditPaintOptions GetPaintOptions();
  void DoGetButtonState(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                        TcxEditButtonState& AState);
  void DoOnGetDisplayText(AnsiString& AText);

  // Called again by the owner after a change of the properties or the style.
  virtual void InitCacheData();
  virtual void InitEditContentParams(TcxEditContentParams& AParams);

  bool GetIsInplace() const { return FIsInplace; }
  TcxCustomEditProperties* GetProperties() const { return FProperties; }
  TcxCustomEditStyle* GetStyle() const { return FStyle; }
  void SetStyle(TcxCustomEditStyle* Value) { FStyle = Value; }
  bool GetIsValueSource() const { return FIsValueSource; }
  Integer GetVisibleButtonCount() const { return FVisibleButtonCount; }

  // The result of the last calculation.
  Integer FirstLeftButton = -1, LastLeftButton = -1, LastRightButton = -1, FirstRightButton = -1;
  TRect Bounds{};
  bool StretchButtons = false;
  TcxContainerState ContainerState{csNormal};
  bool IsActiveOrHot = false;

  // Set by the owner.
  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TcxEditGetDisplayTextEvent OnGetDisplayText;
  IcxEditViewControl* Edit = nullptr;
  TRect ContentOffset{};
  TcxEditContentParams EditContentParams;
  bool Enabled = true;
  bool Focused = false;
  TAlignment HorzAlignment = taLeftJustify;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  TControl* HScrollBar = nullptr;
  TControl* VScrollBar = nullptr;
  IcxContainerInnerControl* InnerEdit = nullptr;
  bool IsDesigning = false;
  TcxEditPaintOptions PaintOptionsBase;
  TColor SelBackgroundColor = clDefault;
  TColor SelTextColor = clDefault;
  win::HWND WindowHandle = nullptr;
  // Made for a sample of the kind rather than a value (CreateViewData of
  // the properties); a kind may draw its sample state then.
  bool PreviewMode = false;
  // The grid's cell the view data lays out; -1 when not a grid cell.
  Integer InplaceItemIndex = -1;
  Integer InplaceRecordIndex = -1;

 protected:
  virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* AButtonViewInfo);
  virtual bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex);
  virtual TcxContainerState GetContainerState(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                              TShiftState AShift, bool AIsMouseEvent);
  virtual TRect GetEditContentDefaultOffsets();
  virtual void Initialize();
  virtual AnsiString InternalEditValueToDisplayText(const Variant& AEditValue);
  virtual TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                const TcxEditSizeProperties& AEditSizeProperties,
                                                TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo);
  virtual TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                           const TcxEditSizeProperties& AEditSizeProperties);
  virtual bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex);

  // The view info's part of the calculation: state, border and colours.
  virtual void CalculateViewInfo(TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  void GetColorSettings(TcxCustomEditViewInfo* AViewInfo, TColor& AFillColor, TColor& ATextColor);

 private:
  void CalculateState(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton, TShiftState AShift,
                      TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  void StretchButtonsToWidth(TcxCustomEditViewInfo* AViewInfo, Integer AWidth);
  void CalculateButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P, TcxMouseButton AButton,
                             TShiftState AShift, Integer APrevPressedButton);
  void SetButtonEdges(TcxCustomEditViewInfo* AViewInfo);
  void PrepareButtonFont(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);

  bool FIsInplace;
  TcxCustomEditProperties* FProperties;
  TcxCustomEditStyle* FStyle;
  Integer FVisibleButtonCount = 0;
  bool FIsValueSource = false;
  bool FIsNativeStyle = false;
};

using TcxCustomEditViewDataClass = TClassRef<TcxCustomEditViewData>;
