// What lies under a point of the vertical grid: band, row, header,
// expand button, caption, image, value cell, the sizing zones, the empty
// area and the customization form, with the cursor that goes with it; and
// the image of a row dragged over the grid with its drop cursors.
#pragma once

#include "library/grid/vgrid/cxVGridController.h"

class TcxvgCustomViewInfo;
class TcxCustomRowViewInfo;
class TcxCustomRowHeaderInfo;

// Hit codes are bits of the hit test's code; bits 0 and 1 survive a
// recalculation.
enum TcxvgHitCode : Integer {
  vghc_HitAtBandSizing = 4,
  vghc_HitAtButton = 5,
  vghc_HitAtCaption = 6,
  vghc_HitAtDivider = 7,
  vghc_HitAtEmpty = 8,
  vghc_HitAtImage = 9,
  vghc_HitAtIndent = 10,
  vghc_HitAtRowSizing = 11,
  vghc_HitAtValue = 12,
  vghc_HitAtCustomize = 13,
};

// Cursors of a row drag, registered by the grid's start-up.
constexpr TCursor crcxInspectorInsert = -1228;
constexpr TCursor crcxInspectorAddChild = -1229;
constexpr TCursor crcxInspectorAdd = -1230;
constexpr TCursor crcxInspectorNoDrag = -1242;

class TcxvgHitTest : public TcxCustomHitTestController {
  ORV_CLASS(TcxvgHitTest, TcxCustomHitTestController)
 public:
  explicit TcxvgHitTest(TcxCustomControlController* AOwner) : TcxCustomHitTestController(AOwner) {}

  bool AllowDesignMouseEvents(Integer X, Integer Y, TShiftState AShift) override;
  void DoCalculate() override;
  TCursor GetCurrentCursor() override;

  virtual void CalcBandsHitTest(TcxvgCustomViewInfo* AViewInfo);
  virtual bool CalcCustomizingHitTest();
  virtual bool CalcRowHeaderHitTest(TcxCustomRowHeaderInfo* AHeaderInfo);
  virtual bool CalcRowValuesHitTest(TcxCustomRowViewInfo* ARowViewInfo);
  // On a row's caption, with automatic dragging and a row that may move.
  virtual bool CanMoving();
  virtual bool CanSizing(TcxDragSizingDirection& ADirection);
  bool CanSizing();
  bool CalcRowHitTest(TcxCustomRowViewInfo* ARowViewInfo);
  void CalcRowsHitTest(TcxvgCustomViewInfo* AViewInfo);
  bool Check(const TRect& ARect) const;
  bool GetState(Integer ACode) const;
  void SetHitState(Integer ACode, bool AValue);
  // On the caption, the indents, an image or the expand button.
  bool HitAtRowHeader() const;

  bool GetInClient() const { return FInClient; }
  Integer GetHitBandIndex() const { return FHitBandIndex; }
  TcxCustomRow* GetHitRow() const { return FHitRow; }
  Integer GetHitCellIndex() const { return FHitCellIndex; }
  TObject* GetHitInfo() const { return FHitInfo; }
  TcxCustomVerticalGrid* VerticalGrid() const;
  TcxvgController* Controller() const { return static_cast<TcxvgController*>(GetOwner()); }

 private:
  bool FInClient = false;
  Integer FHitBandIndex = -1;
  TcxCustomRow* FHitRow = nullptr;
  Integer FHitCellIndex = -1;
  TObject* FHitInfo = nullptr;
};

// The image of a row dragged between controls: it scrolls the grid at its
// edges and shows where the row would go.
class TcxvgDragImageHelper : public TcxDragImageHelper {
  ORV_CLASS(TcxvgDragImageHelper, TcxDragImageHelper)
 public:
  TcxvgDragImageHelper(TcxEditingControl* AControl, TPoint ADragPos) : TcxDragImageHelper(AControl, ADragPos) {}
  void DragAndDrop(const TPoint& P) override;
  TCursor GetCursor();
};
