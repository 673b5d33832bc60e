// A scroll bar drawn entirely by the look-and-feel painter: the usual model
// (minimum, maximum, page, position, small and large change), its five part
// rectangles, clicks with auto-repeat, thumb dragging within a tolerance,
// hot parts, and a scroll event told before every position change.
#pragma once

#include "library/foundation/cxControls.h"
#include "library/foundation/cxLookAndFeels.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/forms/Bitmap.h"

// A scroll-bar step: 1..32767.
using TScrollBarInc = SmallInt;

class TcxScrollBar : public TCustomControl {
  ORV_CLASS(TcxScrollBar, TCustomControl)
 public:
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;
  void BeforeDestruction() override;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  // Raises EInvalidOperation "Scrollbar property out of range" and changes
  // nothing when AMax is below AMin or below APageSize.
  void SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw = true);
  void SetParams(Integer APosition, Integer AMin, Integer AMax);

  TScrollBarKind GetKind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  Integer GetMin() const { return FMin; }
  void SetMin(Integer Value) { SetScrollParams(Value, FMax, FPosition, FPageSize); }
  Integer GetMax() const { return FMax; }
  void SetMax(Integer Value) { SetScrollParams(FMin, Value, FPosition, FPageSize); }
  Integer GetPageSize() const { return FPageSize; }
  void SetPageSize(Integer Value) { SetScrollParams(FMin, FMax, FPosition, Value); }
  Integer GetPosition() const { return FPosition; }
  void SetPosition(Integer Value) { SetScrollParams(FMin, FMax, Value, FPageSize); }
  TScrollBarInc GetSmallChange() const { return FSmallChange; }
  // Values outside 1..32767 are brought inside.
  void SetSmallChange(Integer Value);
  TScrollBarInc GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer Value);
  bool GetUnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

  // The part rectangles, in client coordinates.
  TRect GetLineUpRect() const { return FLineUpRect; }
  TRect GetLineDownRect() const { return FLineDownRect; }
  TRect GetThumbnailRect() const { return FThumbnailRect; }
  TRect GetPageUpRect() const { return FPageUpRect; }
  TRect GetPageDownRect() const { return FPageDownRect; }
  Integer GetMinThumbnailSize() const { return FMinThumbnailSize; }
  TcxScrollBarPart GetHotPart() const { return FHotPart; }
  TcxScrollBarPart GetPressedPart() const { return FPressedPart; }
  TcxScrollBarPart GetScrollBarPart(const TPoint& P) const;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, Integer& ScrollPos);
  virtual TcxCustomLookAndFeelPainterClass GetPainter() const;

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void ThemeChanged();
  void CancelScroll();
  void InternalScroll(TScrollCode AScrollCode);

  void CNHScroll(TMessage& Message);
  ORV_MESSAGE(win::CN_HSCROLL, CNHScroll)
  void CNVScroll(TMessage& Message);
  ORV_MESSAGE(win::CN_VSCROLL, CNVScroll)
  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMCancelMode(TMessage& Message);
  ORV_MESSAGE(win::WM_CANCELMODE, WMCancelMode)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMSysColorChange(TMessage& Message);
  ORV_MESSAGE(win::CM_SYSCOLORCHANGE, CMSysColorChange)
  void CMColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_COLORCHANGED, CMColorChanged)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)

 private:
  void CalcMinThumbnailSize();
  void CalculateRects();
  void CalculateThumbnailRect();
  void AdjustPagesRects();
  Integer GetPositionFromThumbnail() const;
  void DoScroll(TcxScrollBarPart APart);
  TcxButtonState GetPartState(TcxScrollBarPart APart) const;
  void TimerHandler(TObject* Sender);
  void LookAndFeelChangedHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  }

  TBitmap* FBitmap = nullptr;
  TcxScrollBarPart FPressedPart = sbpNone;
  TcxScrollBarPart FHotPart = sbpNone;
  TcxTimer* FTimer = nullptr;
  TcxCanvas* FBitmapCanvas = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  TdxThemeChangedNotificator* FThemeNotificator = nullptr;
  Integer FMinThumbnailSize = 8;
  TRect FLineUpRect{}, FLineDownRect{}, FThumbnailRect{}, FPageUpRect{}, FPageDownRect{};
  TScrollBarKind FKind = sbHorizontal;
  Integer FPosition = 0;
  Integer FDragStartPosition = 0;
  Integer FDragStartThumbLeft = 0, FDragStartThumbTop = 0;
  TPoint FDragStartPoint{};
  Integer FMin = 0, FMax = 100, FPageSize = 0;
  TScrollBarInc FSmallChange = 1, FLargeChange = 1;
  bool FUnlimitedTracking = false;
};

// The system's vertical-bar width (cx) and horizontal-bar height (cy).
TSize GetScrollBarSize();

// ---------------------------------------------------------------------------
// The scroll bars a TcxControl owns.

// Values of a control's scroll bar, applied to the bar in one step.
struct TcxScrollBarData {
  Integer Min = 0;
  Integer Max = 100;
  Integer Position = 0;
  Integer PageSize = 0;
  TScrollBarInc SmallChange = 1;
  TScrollBarInc LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool AllowShow = true;
  bool AllowHide = true;
};

class TcxControlScrollBar : public TcxScrollBar {
  ORV_CLASS(TcxControlScrollBar, TcxScrollBar)
 public:
  explicit TcxControlScrollBar(TComponent* AOwner);
  // The bar takes the data's values, visibility last.
  void ApplyData();
  TcxScrollBarData& Data() { return FData; }
  TcxControl* GetOwnerControl() const { return FOwnerControl; }

 protected:
  friend class TcxControl;
  virtual void FocusParent();
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  // Works inside a form designer too.
  void CMDesignHitTest(TMessage& Message) { Message.Result = 1; }
  ORV_MESSAGE(win::CM_DESIGNHITTEST, CMDesignHitTest)

 private:
  TcxScrollBarData FData;
  TcxControl* FOwnerControl = nullptr;
};

// The corner between a control's two scroll bars.
class TcxSizeGrip : public TCustomControl {
  ORV_CLASS(TcxSizeGrip, TCustomControl)
 public:
  explicit TcxSizeGrip(TComponent* AOwner);

 protected:
  void Paint() override;
};
