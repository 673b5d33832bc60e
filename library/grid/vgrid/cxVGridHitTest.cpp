#include "library/grid/vgrid/cxVGridHitTest.h"

#include "library/foundation/cxGeometry.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "library/grid/vgrid/cxVGridRowViewInfo.h"
#include <algorithm>
#include "platform/forms/Controls.h"
#include "platform/win/Keyboard.h"

ORV_REGISTER(TcxvgHitTest)
ORV_REGISTER(TcxvgDragImageHelper)

namespace {

constexpr std::uint64_t Bit(Integer ACode) { return std::uint64_t{1} << ACode; }

}  // namespace

TcxCustomVerticalGrid* TcxvgHitTest::VerticalGrid() const { return static_cast<TcxCustomVerticalGrid*>(GetControl()); }

bool TcxvgHitTest::GetState(Integer ACode) const { return GetHasCode(Bit(ACode)); }

void TcxvgHitTest::SetHitState(Integer ACode, bool AValue) { SetHasCode(Bit(ACode), AValue); }

bool TcxvgHitTest::Check(const TRect& ARect) const { return cxRectPtIn(ARect, GetHitPoint()); }

bool TcxvgHitTest::HitAtRowHeader() const {
  return GetState(vghc_HitAtCaption) || GetState(vghc_HitAtIndent) || GetState(vghc_HitAtImage) ||
         GetState(vghc_HitAtButton);
}

void TcxvgHitTest::DoCalculate() {
  FHitRow = nullptr;
  FHitInfo = nullptr;
  FHitBandIndex = -1;
  FHitCellIndex = -1;
  for (Integer code = 2; code < 64; ++code)
    if (GetHasCode(Bit(code))) SetHasCode(Bit(code), false);
  TcxCustomVerticalGrid* grid = VerticalGrid();
  FInClient = cxRectPtIn(grid->GetClientBounds(), GetHitPoint());
  if (!CalcCustomizingHitTest() && FInClient) CalcBandsHitTest(grid->GetVGViewInfo());
  SetHitTestItem(FHitInfo);
}

bool TcxvgHitTest::CalcCustomizingHitTest() {
  TcxCustomVerticalGrid* grid = VerticalGrid();
  TcxVerticalGridCustomizing* customizing = grid->GetCustomizing();
  if (!customizing || !customizing->GetVisible() || !grid->HandleAllocated()) return false;
  if (!customizing->CanDrop(grid->ClientToScreen(GetHitPoint()))) return false;
  SetHitState(vghc_HitAtCustomize, true);
  return true;
}

void TcxvgHitTest::CalcBandsHitTest(TcxvgCustomViewInfo* AViewInfo) {
  TcxCustomVerticalGrid* grid = VerticalGrid();
  const bool dividerAllowed =
      (grid->GetOptionsBehavior()->GetHeaderSizing() || grid->GetIsDesigning()) && AViewInfo->GetShowHeaders();
  TcxRectList* bands = AViewInfo->GetViewRects()->GetBandRects();
  const TRect bounds = AViewInfo->Bounds;
  for (Integer i = 0; i < bands->GetCount(); ++i) {
    const TRect band = bands->GetRect(i);
    if (i == 0) {
      if (dividerAllowed) {
        const Integer left = band.Left + AViewInfo->ViewHeaderWidth;
        SetHitState(vghc_HitAtDivider,
                    Check({left, bounds.Top, left + AViewInfo->GetDividerWidth() + 2, bounds.Bottom}));
      }
      if (grid->CanBandSizing()) SetHitState(vghc_HitAtBandSizing, Check(AViewInfo->GetBandSizeableRect(band)));
    }
    if (Check(band)) {
      FHitBandIndex = i;
      break;
    }
  }
  CalcRowsHitTest(AViewInfo);
}

void TcxvgHitTest::CalcRowsHitTest(TcxvgCustomViewInfo* AViewInfo) {
  const bool rowSizing = VerticalGrid()->GetOptionsBehavior()->GetRowSizing();
  const TRect bounds = AViewInfo->Bounds;
  for (TcxCustomRowViewInfo* rowViewInfo : AViewInfo->GetRowsViewInfo()) {
    const TRect R = rowViewInfo->RowRect;
    if (rowSizing && rowViewInfo->GetRow()->GetOptions()->GetCanResized() &&
        Check({R.Left, R.Bottom - 1, R.Right, std::min(R.Bottom + 1, bounds.Bottom)})) {
      FHitRow = rowViewInfo->GetRow();
      SetHitState(vghc_HitAtRowSizing, true);
      return;
    }
    if (CalcRowHitTest(rowViewInfo)) return;
  }
  SetHitState(vghc_HitAtEmpty, true);
}

bool TcxvgHitTest::CalcRowHitTest(TcxCustomRowViewInfo* ARowViewInfo) {
  TRect R = ARowViewInfo->RowRect;
  R.Bottom += ARowViewInfo->ViewInfo ? ARowViewInfo->ViewInfo->GetHorzLineWidth() : 0;
  if (!Check(R)) return false;
  FHitRow = ARowViewInfo->GetRow();
  if (!CalcRowHeaderHitTest(ARowViewInfo->GetHeaderInfo()) && Check(ARowViewInfo->ValuesRect))
    CalcRowValuesHitTest(ARowViewInfo);
  return true;
}

bool TcxvgHitTest::CalcRowHeaderHitTest(TcxCustomRowHeaderInfo* AHeaderInfo) {
  if (!AHeaderInfo || !Check(AHeaderInfo->HeaderRect)) return false;
  if (Check(AHeaderInfo->ButtonRect)) {
    SetHitState(vghc_HitAtButton, true);
  } else if (Check(AHeaderInfo->HeaderCellsRect)) {
    bool hit = false;
    for (Integer i = 0; i < AHeaderInfo->GetCaptionCount(); ++i) {
      TcxRowCaptionInfo* caption = AHeaderInfo->GetCaption(i);
      if (Check(caption->ImageRect)) {
        FHitCellIndex = i;
        FHitInfo = nullptr;
        SetHitState(vghc_HitAtCaption, false);
        SetHitState(vghc_HitAtImage, true);
        hit = true;
      } else if (Check(caption->HeaderCellBounds)) {
        FHitInfo = caption;
        FHitCellIndex = i;
        SetHitState(vghc_HitAtImage, false);
        SetHitState(vghc_HitAtCaption, true);
        hit = true;
      }
    }
    if (!hit) SetHitState(vghc_HitAtIndent, true);
  } else {
    SetHitState(vghc_HitAtIndent, true);
  }
  return true;
}

bool TcxvgHitTest::CalcRowValuesHitTest(TcxCustomRowViewInfo* ARowViewInfo) {
  TcxValueInfoList* values = ARowViewInfo->GetValuesInfo();
  for (Integer i = 0; i < values->GetCount(); ++i) {
    TcxRowValueInfo* value = values->GetItem(i);
    if (!Check(value->ClipRect)) continue;
    if (Controller()->GetResizeKind() == rkNone) {
      FHitInfo = value;
      FHitCellIndex = value->CellIndex;
    }
    SetHitState(vghc_HitAtValue, true);
    return true;
  }
  return false;
}

bool TcxvgHitTest::CanSizing(TcxDragSizingDirection& ADirection) {
  if (!CanSizing()) return false;
  ADirection = GetState(vghc_HitAtRowSizing) ? dsdVert : dsdHorz;
  return true;
}

bool TcxvgHitTest::CanSizing() {
  return GetState(vghc_HitAtRowSizing) || GetState(vghc_HitAtBandSizing) || GetState(vghc_HitAtDivider);
}

bool TcxvgHitTest::CanMoving() {
  return VerticalGrid()->GetDragMode() == dmAutomatic && FHitRow && FHitRow->GetOptions()->GetMoving() &&
         GetState(vghc_HitAtCaption) && !CanSizing();
}

TCursor TcxvgHitTest::GetCurrentCursor() {
  TcxCustomVerticalGrid* grid = VerticalGrid();
  if (grid->GetDragAndDropState() != ddsNone && Controller()->GetResizeKind() == rkNone) return crDefault;
  TcxDragSizingDirection direction = dsdHorz;
  if (CanSizing(direction)) return direction == dsdHorz ? crHSplit : crVSplit;
  return crDefault;
}

bool TcxvgHitTest::AllowDesignMouseEvents(Integer X, Integer Y, TShiftState AShift) {
  if (win::GetAsyncKeyState(win::VK_CONTROL) < 0 || win::GetAsyncKeyState(win::VK_MENU) < 0) return false;
  RecalculateOnMouseEvent(X, Y, AShift);
  return VerticalGrid()->GetDragAndDropState() != ddsNone || CanSizing() || HitAtRowHeader();
}

// ---------------------------------------------------------------------------

void TcxvgDragImageHelper::DragAndDrop(const TPoint& P) {
  inherited::DragAndDrop(P);
  auto* grid = static_cast<TcxCustomVerticalGrid*>(GetControl());
  auto* controller = static_cast<TcxvgController*>(grid->GetController());
  TcxvgHitTest* hitTest = controller->GetHitTest();
  const TPoint client = grid->ScreenToClient(P);
  hitTest->RecalculateOnMouseEvent(client.X, client.Y, TShiftState{});
  if (TcxControllerAutoScrollingObject* scrolling = controller->GetDragAutoScroll())
    if (!hitTest->GetState(vghc_HitAtCustomize)) scrolling->CheckBounds(client);
  grid->SetDragCursor(GetCursor());
}

TCursor TcxvgDragImageHelper::GetCursor() {
  auto* grid = static_cast<TcxCustomVerticalGrid*>(GetControl());
  TcxvgHitTest* hitTest = static_cast<TcxvgController*>(grid->GetController())->GetHitTest();
  if (hitTest->GetState(vghc_HitAtCustomize)) return crDrag;
  if (hitTest->GetState(vghc_HitAtCaption)) return crcxInspectorAddChild;
  if (hitTest->GetState(vghc_HitAtEmpty)) return crcxInspectorAdd;
  if (hitTest->GetInClient()) return crcxInspectorInsert;
  return crcxInspectorNoDrag;
}
