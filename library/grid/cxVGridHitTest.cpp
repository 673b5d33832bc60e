#include "library/grid/cxVGridHitTest.h"

#include "library/foundation/cxGeometry.h"
#include "library/grid/cxVGrid.h"
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

bool TcxvgHitTest::CalcCustomizingHitTest() { return false; }

void TcxvgHitTest::CalcBandsHitTest(TcxvgCustomViewInfo* AViewInfo) { CalcRowsHitTest(AViewInfo); }

void TcxvgHitTest::CalcRowsHitTest(TcxvgCustomViewInfo*) { SetHitState(vghc_HitAtEmpty, true); }

bool TcxvgHitTest::CalcRowHitTest(TcxCustomRowViewInfo*) { return false; }

bool TcxvgHitTest::CalcRowHeaderHitTest(TcxCustomRowHeaderInfo*) { return false; }

bool TcxvgHitTest::CalcRowValuesHitTest(TcxCustomRowViewInfo*) { return false; }

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
