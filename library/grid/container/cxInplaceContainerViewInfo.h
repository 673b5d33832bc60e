// Geometry and painting of an editing control. One view info holds every
// rectangle and the list of cell view infos (one per value cell) and owns
// the painter; it is recalculated by the control's layout change. A cell
// without an editor window is painted by its editor kind's edit view info,
// which the cell owns. Also the control's styles and the helpers that turn
// style lists into view parameters and fill the shared edit style.
#pragma once

#include <functional>

#include <vector>

#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxStyles.h"
#include "library/grid/container/cxInplaceContainerItems.h"
#include "library/grid/container/cxPaintBuffer.h"

class TcxCustomControlPainter;
class TcxCustomControlViewInfo;

// ---------------------------------------------------------------------------
// Hot tracking: an element under the mouse that may need a hint.
class IcxHotTrackElement {
 public:
  virtual ~IcxHotTrackElement() = default;
  virtual TPoint GetOrigin() = 0;
  // Fills the hint's text, lines, text rectangle and whether it goes below
  // the cursor; false when no hint is needed at P.
  virtual bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText, bool& AIsMultiLine,
                          TRect& ATextRect, bool& IsNeedOffsetHint) = 0;
  virtual void UpdateHotTrackState(const TPoint& P) = 0;
};
ORV_INTERFACE(IcxHotTrackElement, "{013F8C7B-8F04-4A27-AAE0-8885944ED652}")

// ---------------------------------------------------------------------------
// Unit helpers.

// Resolves view parameters from several styles: each value comes from the
// first style in the list that assigns it; what none assigns comes from
// AStyles' defaults for AIndex.
void cxStylesToViewParams(TcxStyles* AStyles, Integer AIndex, TObject* AData, std::initializer_list<TcxStyle*> AStyleList,
                          TcxViewParams& AParams);
// Fills the control's shared edit style from the cell, for painting or
// editing it.
void cxAssignEditStyle(TcxEditCellViewInfo* ACell);
class TcxCustomViewInfoItem;
bool cxPtInViewInfoItem(TcxCustomViewInfoItem* AItem, const TPoint& P);
inline bool cxInRange(Integer AValue, Integer AMin, Integer AMax) { return AValue >= AMin && AValue <= AMax; }
// False with AValue clamped into the range when it lay outside.
bool cxRange(Integer& AValue, Integer AMin, Integer AMax);
template <class T>
T cxSetValue(bool ACondition, const T& ATrueValue, const T& AFalseValue) {
  return ACondition ? ATrueValue : AFalseValue;
}
// A question with OK and Cancel; true for OK.
bool cxConfirmMessageBox(const AnsiString& AText, const AnsiString& ACaption);
// An abstract operation that a descendant must supply was called: the
// run-time error 210.
[[noreturn]] void cxAbstractError();

// ---------------------------------------------------------------------------
// One element of the view info.
class TcxCustomViewInfoItem : public TObject {
  ORV_CLASS(TcxCustomViewInfoItem, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TObject*)>;
  explicit TcxCustomViewInfoItem(TObject* AOwner) : FOwner(AOwner) {}

  virtual void CheckClipping(const TRect& ADisplayRect, const TRect& AAvailableRect);
  virtual void CheckClipping(const TRect& ADisplayRect);
  // What a descendant supplies; here they raise the abstract-method error.
  virtual void DoCalculate();
  virtual void DoHorzOffset(Integer AOffset);
  virtual void DoVertOffset(Integer AOffset);
  virtual TcxEditingControl* GetControl();
  // The parameters carry a bitmap to draw.
  virtual bool IsTransparent();
  virtual void Assign(TcxCustomViewInfoItem* ASource);

  // Recalculates when asked; repaints what shows, without erasing.
  void Invalidate(bool ARecalculate);
  void UpdateEditRect() { CheckClipping(DisplayRect); }
  TcxCustomControlViewInfo* GetControlViewInfo();
  TcxCustomLookAndFeelPainterClass GetPainterClass();
  TObject* GetOwner() const { return FOwner; }

  TcxViewParams ViewParams;
  bool Visible = false;
  TRect ClipRect{};
  TRect DisplayRect{};

 private:
  TObject* FOwner;
};

using TcxCustomViewInfoItemClass = TClassRef<TcxCustomViewInfoItem>;

// One value cell: where it lies, how it is clipped and the edit view info
// that paints it without an editor window.
class TcxEditCellViewInfo : public TcxCustomViewInfoItem, public IcxHotTrackElement {
  ORV_CLASS(TcxEditCellViewInfo, TcxCustomViewInfoItem)
 public:
  explicit TcxEditCellViewInfo(TObject* AOwner) : TcxCustomViewInfoItem(AOwner) {}
  ~TcxEditCellViewInfo() override;
  void BeforeDestruction() override;

  using TcxCustomViewInfoItem::CheckClipping;
  void CheckClipping(const TRect& ADisplayRect, const TRect& AAvailableRect) override;
  void DoCalculate() override;
  void DoHorzOffset(Integer AOffset) override;
  void DoVertOffset(Integer AOffset) override;
  TcxEditingControl* GetControl() override;
  void Assign(TcxCustomViewInfoItem* ASource) override;

  // IcxHotTrackElement
  TPoint GetOrigin() override;
  bool IsNeedHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText, bool& AIsMultiLine, TRect& ATextRect,
                  bool& IsNeedOffsetHint) override;
  void UpdateHotTrackState(const TPoint& P) override;

  virtual bool ChangedHeight(Integer APrevHeight, Integer ANewHeight);
  virtual TRect ContentOffset() { return TRect(1, 1, 1, 1); }
  virtual TcxEditButtonTransparency GetButtonTransparency();
  virtual Variant GetDisplayValue();
  virtual TcxCustomInplaceEditContainer* GetEditContainer();
  virtual TcxViewParams GetEditViewParams();
  virtual bool GetFocused();
  virtual Integer GetMaxLineCount();
  virtual Integer GetRecordIndex() { return 0; }
  virtual TColor GetSelectedTextColor();
  virtual TColor GetSelectedBKColor();
  virtual TcxEditCellData GetViewInfoData() { return GetRecordIndex(); }
  virtual bool IsAutoHeight();
  virtual bool IsEndEllipsis();
  virtual bool IsSupportedHotTrack();
  // Answers whether the height changed, so that the caller lays out again.
  virtual bool Refresh(bool ARecalculate);

  // The cell's rectangles and calculation.
  void SetBounds(const TRect& ADisplayRect, const TRect& AAvailableRect);
  Integer CalculateEditHeight();
  Integer CalculateEditWidth();
  bool GetTransparent() const { return EditViewInfo && EditViewInfo->Transparent; }
  void SetTransparent(bool Value) {
    if (EditViewInfo) EditViewInfo->Transparent = Value;
  }
  // The view data and view info the cell paints with; the cell frees what
  // it owns.
  void SetViewData(TcxCustomEditViewData* AViewData, bool AOwns);
  void SetEditViewInfo(TcxCustomEditViewInfo* AViewInfo);

  TRect EditRect{};
  Integer Height = 0;
  Variant DisplayValue;
  TRect InnerRect{};
  TcxBorders Borders;
  bool ViewDataOwned = false;
  TcxCustomEditProperties* Properties = nullptr;
  TcxCustomEditViewInfo* EditViewInfo = nullptr;
  TcxCustomEditViewData* ViewData = nullptr;
};

using TcxEditCellViewInfoClass = TClassRef<TcxEditCellViewInfo>;

// ---------------------------------------------------------------------------
// The control's view info.

// State bits.
inline constexpr Integer cvis_IsDirty = 1;
inline constexpr Integer cvis_StyleInvalid = 2;

class TcxCustomControlViewInfo : public TObject {
  ORV_CLASS(TcxCustomControlViewInfo, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*)>;
  explicit TcxCustomControlViewInfo(TcxEditingControl* AControl);
  // The painter comes from the control's class factory.
  void AfterConstruction() override;
  ~TcxCustomControlViewInfo() override;

  virtual Integer CalculateDefaultEditHeight();
  virtual void CalculateDefaultHeights();
  virtual void CreatePainter();
  virtual void DoCalculate();
  virtual void UpdateSelection();
  // True: the control lays out again; false: repaint without erasing.
  virtual void Invalidate(bool ARecalculate);

  void Calculate();
  TcxEditCellViewInfo* AddEditCellViewInfo(TcxEditCellViewInfoClass AClass, TcxCustomInplaceEditContainer* AItem);
  void RemoveEditCellViewInfo(TcxEditCellViewInfo* ACell);
  void ClearEditCellViewInfos();
  bool GetState(Integer AMask) const { return (FState & AMask) == AMask; }
  void SetState(Integer AMask, bool AValue);
  void UpdateSelectionParams();
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter();

  TcxEditingControl* GetControl() const { return FControl; }
  TcxCustomControlPainter* GetPainter() const { return FPainter; }
  const std::vector<TcxEditCellViewInfo*>& GetEditCellViewInfoList() const { return FEditCellViewInfoList; }
  Integer GetEditCellViewInfoCount() const { return static_cast<Integer>(FEditCellViewInfoList.size()); }
  TcxEditCellViewInfo* GetEditCellViewInfo(Integer AIndex) const { return FEditCellViewInfoList.at(AIndex); }
  TBrush* GetBkgBrush() const { return FBkgBrush; }
  TBrush* GetSelectionBrush() const { return FSelectionBrush; }
  const TcxViewParams& GetSelectionParams() const { return FSelectionParams; }
  const TcxViewParams& GetBackgroundParams() const { return FBackgroundParams; }

  TRect Bounds{};
  Integer DefaultEditHeight = 0;

 protected:
  std::vector<TcxEditCellViewInfo*> FEditCellViewInfoList;

 private:
  TcxEditingControl* FControl;
  TcxCustomControlPainter* FPainter = nullptr;
  Integer FState = 0;
  TBrush* FBkgBrush = nullptr;
  TBrush* FSelectionBrush = nullptr;
  TcxViewParams FSelectionParams;
  TcxViewParams FBackgroundParams;
};

using TcxCustomControlViewInfoClass = TClassRef<TcxCustomControlViewInfo>;

// ---------------------------------------------------------------------------
// The painter.

using TcxCustomDrawViewInfoItemEvent =
    Event<void(TObject* Sender, TcxCanvas* ACanvas, TcxCustomViewInfoItem* AItem, bool& ADone)>;

class TcxCustomControlPainter : public TObject {
  ORV_CLASS(TcxCustomControlPainter, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxEditingControl*)>;
  explicit TcxCustomControlPainter(TcxEditingControl* AControl);
  ~TcxCustomControlPainter() override;

  virtual void AfterCustomDraw(TcxCustomViewInfoItem* AItem);
  virtual void BeforeCustomDraw(TcxCustomViewInfoItem* AItem);
  virtual void DoPaintEditCell(TcxEditCellViewInfo* ACell, bool AExcludeRect = true);
  virtual void DoPaint();

  void Paint();
  // True when the item is done: missing, invisible, outside the canvas's
  // visible region, or drawn by the handler.
  bool DoCustomDraw(TcxCustomViewInfoItem* AItem, const TcxCustomDrawViewInfoItemEvent& AEvent);
  TcxCustomLookAndFeelPainterClass Painter();
  TcxCustomControlViewInfo* ViewInfo();
  bool GetBuffered() const { return FBuffered; }
  void SetBuffered(bool Value);
  // The canvas painting goes to: the buffer's while a buffered paint runs.
  TcxCanvas* GetCanvas() const { return FPaintCanvas ? FPaintCanvas : FCanvas; }
  // Runs APaint with the painting going to ACanvas (another window's, such
  // as a list that shows the control's parts).
  void PaintOn(TcxCanvas* ACanvas, const std::function<void()>& APaint);
  TcxEditingControl* GetControl() const { return FControl; }

 private:
  TcxViewParams FSavedViewParams;
  TFont* FSavedFont = nullptr;
  TColor FSavedTextColor = clNone;
  std::shared_ptr<TcxPaintBuffer> FBuffer;  // while buffered
  bool FBuffered = false;
  TcxEditingControl* FControl;
  TcxCanvas* FCanvas;
  TcxCanvas* FPaintCanvas = nullptr;
};

using TcxCustomControlPainterClass = TClassRef<TcxCustomControlPainter>;

// ---------------------------------------------------------------------------
// The control's styles.
inline constexpr Integer ecs_Background = 1;
inline constexpr Integer ecs_Inactive = 2;
inline constexpr Integer ecs_Selection = 3;

class TcxCustomControlStyles : public TcxStyles {
  ORV_CLASS(TcxCustomControlStyles, TcxStyles)
 public:
  explicit TcxCustomControlStyles(TPersistent* AOwner);
  ~TcxCustomControlStyles() override;

  TcxViewParams GetBackgroundParams();
  // The selection while the control has the focus, else the inactive one.
  TcxViewParams GetSelectionParams();
  TcxStyle* GetDefaultStyle(Integer AIndex, TObject* AData);
  TcxEditingControl* GetControl();
  TcxCustomLookAndFeelPainterClass GetPainter();

  TcxStyle* GetContent() const { return static_cast<TcxStyle*>(GetValue(ecs_Content)); }
  void SetContent(TcxStyle* Value) { SetValue(ecs_Content, Value); }
  TcxStyle* GetBackground() const { return static_cast<TcxStyle*>(GetValue(ecs_Background)); }
  void SetBackground(TcxStyle* Value) { SetValue(ecs_Background, Value); }
  TcxStyle* GetInactive() const { return static_cast<TcxStyle*>(GetValue(ecs_Inactive)); }
  void SetInactive(TcxStyle* Value) { SetValue(ecs_Inactive, Value); }
  TcxStyle* GetSelection() const { return static_cast<TcxStyle*>(GetValue(ecs_Selection)); }
  void SetSelection(TcxStyle* Value) { SetValue(ecs_Selection, Value); }

  // Open to the resolving helper.
  void DefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) {
    GetDefaultViewParams(AIndex, AData, AParams);
  }

 protected:
  void DoAssign(TPersistent* Source) override;

  void GetDefaultViewParams(Integer AIndex, TObject* AData, TcxViewParams& AParams) override;
  void Changed(Integer AIndex) override;

 private:
  TcxStyle* FDefaultStyle = nullptr;
};

using TcxCustomControlStylesClass = TClassRef<TcxCustomControlStyles>;
