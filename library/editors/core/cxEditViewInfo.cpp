// Edit view info: painting an editor or a grid cell from its layout, and
// the least repaint when a new layout replaces an old one.
#include "library/editors/core/cxEditViewInfo.h"

#include <algorithm>
#include <optional>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxOffice11.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxEditButtonViewInfo)
ORV_REGISTER(TcxCustomEditViewInfo)

namespace {

// Keeps a canvas's clip region (or its lack of one) and puts it back.
class TClipRegionSaver {
 public:
  explicit TClipRegionSaver(TcxCanvas* ACanvas)
      : FDC(ACanvas->GetHandle()), FRegion(win::CreateRectRgn(0, 0, 0, 0)) {
    FHadRegion = win::GetClipRgn(FDC, FRegion) == 1;
  }
  ~TClipRegionSaver() {
    win::SelectClipRgn(FDC, FHadRegion ? FRegion : nullptr);
    win::DeleteObject(FRegion);
  }
  TClipRegionSaver(const TClipRegionSaver&) = delete;
  TClipRegionSaver& operator=(const TClipRegionSaver&) = delete;

 private:
  win::HDC FDC;
  win::HRGN FRegion;
  bool FHadRegion;
};

bool StickOut(const TRect& AInner, const TRect& AOuter) {
  return AInner.Left < AOuter.Left || AInner.Top < AOuter.Top || AInner.Right > AOuter.Right ||
         AInner.Bottom > AOuter.Bottom;
}

bool LooksDifferent(const TcxEditButtonViewInfo* A, const TcxEditButtonViewInfo* B) {
  return A->ButtonStyle != B->ButtonStyle || A->State != B->State || A->BackgroundColor != B->BackgroundColor ||
         A->NativeState != B->NativeState;
}

}  // namespace

// --- TcxEditButtonViewInfo -----------------------------------------------------

void TcxEditButtonViewInfo::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButtonViewInfo*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  NativeState = source->NativeState;
  BackgroundColor = source->BackgroundColor;
  Bounds = source->Bounds;
  ButtonStyle = source->ButtonStyle;
  State = source->State;
}

TcxRegion* TcxEditButtonViewInfo::GetUpdateRegion(TcxEditButtonViewInfo* AViewInfo) {
  if (AViewInfo && !LooksDifferent(this, AViewInfo)) return New<TcxRegion>();
  return New<TcxRegion>(Bounds);
}

bool TcxEditButtonViewInfo::Repaint(TWinControl* AControl, TcxEditButtonViewInfo* AViewInfo,
                                    const TPoint& AEditViewInfoOffset) {
  if (AViewInfo && !LooksDifferent(this, AViewInfo)) return false;
  if (AControl->HandleAllocated())
    InternalInvalidate(AControl->GetHandle(), cxRectOffset(Bounds, AEditViewInfoOffset), TRect(), HasBackground);
  return true;
}

// --- TcxCustomEditViewInfo -----------------------------------------------------

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() { SetButtonCount(0); }

void TcxCustomEditViewInfo::SetButtonCount(Integer Value) {
  Value = std::max(Value, 0);
  while (GetButtonCount() > Value) {
    ButtonInfos.back()->Free();
    ButtonInfos.pop_back();
  }
  if (GetButtonCount() < Value) {
    const TcxEditButtonViewInfoClass buttonClass = GetButtonViewInfoClass();
    while (GetButtonCount() < Value) ButtonInfos.push_back(buttonClass.Create());
  }
}

TcxEditButtonViewInfoClass TcxCustomEditViewInfo::GetButtonViewInfoClass() {
  return TcxEditButtonViewInfo::StaticClass();
}

void TcxCustomEditViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxCustomEditViewInfo*>(Source)) {
    SetBackgroundColor(source->BackgroundColor);
    BorderColor = source->BorderColor;
    BorderStyle = source->BorderStyle;
    ContainerState = source->ContainerState;
    NativeState = source->NativeState;
    SetButtonCount(source->GetButtonCount());
    for (Integer i = 0; i < GetButtonCount(); ++i) ButtonInfos[i]->Assign(source->ButtonInfos[i]);
    PressedButton = source->PressedButton;
    HotButton = source->HotButton;
  }
  TcxContainerViewInfo::Assign(Source);
}

void TcxCustomEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxContainerViewInfo::Offset(DX, DY);
  InnerEditRect = cxRectOffset(InnerEditRect, DX, DY);
  InnerRect = cxRectOffset(InnerRect, DX, DY);
  for (TcxEditButtonViewInfo* info : ButtonInfos) {
    info->Bounds = cxRectOffset(info->Bounds, DX, DY);
    info->VisibleBounds = cxRectOffset(info->VisibleBounds, DX, DY);
  }
}

// --- Painting ------------------------------------------------------------------

void TcxCustomEditViewInfo::GetEditPaintInfo(TcxEditPaintInfo& AInfo) {
  AInfo.BorderStyle = BorderStyle;
  AInfo.ButtonCount = GetButtonCount();
  AInfo.HasContentOffset = HasContentOffset;
  AInfo.HasExternalBorder = PaintOptions.Contains(epoHasExternalBorder);
  AInfo.IsInplace = IsInplace;
  AInfo.TextColor = TextColor;
  AInfo.Transparent = Transparent;
}

void TcxCustomEditViewInfo::PaintEx(TcxCanvas* ACanvas) {
  const TPoint origin = ACanvas->GetWindowOrg();
  ACanvas->SetWindowOrg(TPoint(origin.X - Left, origin.Y - Top));
  orv::ScopeExit restore([&] { ACanvas->SetWindowOrg(origin); });
  Paint(ACanvas);
}

void TcxCustomEditViewInfo::InternalPaint(TcxCanvas* ACanvas) { DrawCustomEdit(ACanvas, this, true, bpsSolid); }

void TcxCustomEditViewInfo::DrawButtons(TcxCanvas* ACanvas) {
  if (PaintState.Contains(evsPaintButtons)) return;
  if (Edit && Edit->IsButtonDC(ACanvas->GetHandle())) return;
  PaintState += evsPaintButtons;
  orv::ScopeExit done([&] { PaintState -= evsPaintButtons; });
  for (Integer i = 0; i < GetButtonCount(); ++i) DrawButton(ACanvas, i);
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex) {
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  info->BackgroundColor = BackgroundColor;
  if (cxRectIsEmpty(info->VisibleBounds)) return;
  std::optional<TClipRegionSaver> clip;
  if (StickOut(info->Bounds, BorderRect)) {
    clip.emplace(ACanvas);
    ACanvas->IntersectClipRect(info->VisibleBounds);
  }
  bool handled = false;
  if (OnDrawButton) OnDrawButton(this, ACanvas, AButtonVisibleIndex, handled);
  if (!handled) DrawEditButton(ACanvas, AButtonVisibleIndex);
}

void TcxCustomEditViewInfo::DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex) {
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  TcxEditButtonStyle style = info->ButtonStyle;
  // A simple button shows that it is hot or pressed the flat way.
  if (info->NativePart == 0 && (info->State == ebsPressed || info->State == ebsSelected) && style == btsSimple)
    style = btsFlat;
  DrawButtonBorder(ACanvas, AButtonVisibleIndex, style, info->Bounds);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex,
                                             TcxEditButtonStyle AButtonStyle, const TRect& R) {
  DrawEditButtonBorder(ACanvas, this, AButtonVisibleIndex, AButtonStyle, R);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, Integer AButtonVisibleIndex,
                                              const TRect& ABackgroundRect, const TRect& AContentRect,
                                              TColor APenColor, TColor ABrushColor) {
  DrawEditButtonContent(ACanvas, this, AButtonVisibleIndex, ABackgroundRect, AContentRect, APenColor, ABrushColor);
}

void TcxCustomEditViewInfo::DrawButtonBackground(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, const TRect& R,
                                                 TColor AColor) {
  bool handled = false;
  if (OnDrawButtonBackground) OnDrawButtonBackground(this, ACanvas, R, AButtonVisibleIndex, handled);
  if (handled) return;
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  if (info->ButtonStyle != btsOffice11 || !info->Gradient || info->Transparent || info->State == ebsDisabled) {
    cxEditFillRect(ACanvas, R, AColor);
    return;
  }
  // The gradient spans the editor's height so that neighbouring buttons
  // of different heights still match.
  TRect gradient(R.Left, BorderRect.Top, R.Right, BorderRect.Bottom);
  TColor color1, color2;
  switch (info->State) {
    case ebsPressed:
      color1 = dxOffice11SelectedDownColor1;
      color2 = dxOffice11SelectedDownColor2;
      break;
    case ebsSelected:
      color1 = dxOffice11SelectedColor1;
      color2 = dxOffice11SelectedColor2;
      break;
    default:
      color1 = dxOffice11ToolbarsColor1;
      color2 = dxOffice11ToolbarsColor2;
      gradient.Top += 1;
      gradient.Bottom -= 1;
      break;
  }
  TClipRegionSaver clip(ACanvas);
  ACanvas->IntersectClipRect(R);
  FillGradientRect(ACanvas->GetHandle(), gradient, color1, color2, false);
}

bool TcxCustomEditViewInfo::DrawBackground(TcxCanvas* ACanvas) {
  if (!IsInplace || !OnDrawBackground) return false;
  bool handled = false;
  OnDrawBackground(this, ACanvas, handled);
  return handled;
}

bool TcxCustomEditViewInfo::DrawBackground(TcxCanvas* ACanvas, const TPoint& P) {
  const TPoint origin = ACanvas->GetWindowOrg();
  ACanvas->SetWindowOrg(TPoint(origin.X + P.X, origin.Y + P.Y));
  orv::ScopeExit restore([&] { ACanvas->SetWindowOrg(origin); });
  return DrawBackground(ACanvas);
}

bool TcxCustomEditViewInfo::IsCustomBackground() { return DrawBackground(nullptr); }

bool TcxCustomEditViewInfo::IsTransparent() { return Transparent || (Edit && Edit->IsTransparent()); }

TcxDrawBackgroundStyle TcxCustomEditViewInfo::GetDrawBackgroundStyle() {
  if (IsInplace) {
    if (IsCustomBackground()) return dbsCustom;
    return IsTransparent() ? dbsNone : dbsSimpleFill;
  }
  if (IsTransparent()) return dbsSimpleParent;
  if (Edit && Edit->IsNativeBackground()) return dbsThemeParent;
  return IsNative ? dbsSimpleFill : dbsCustomEdit;
}

bool TcxCustomEditViewInfo::IsBackgroundTransparent() {
  const TcxDrawBackgroundStyle style = GetDrawBackgroundStyle();
  return style != dbsCustomEdit && style != dbsSimpleFill;
}

void TcxCustomEditViewInfo::DrawEditBackground(TcxCanvas* ACanvas, const TRect& ARect, const TRect& AExcludedRect,
                                               bool AExcludedRectIsTransparent) {
  const win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  orv::ScopeExit restore([&] { win::RestoreDC(dc, saved); });
  if (!AExcludedRectIsTransparent) ACanvas->ExcludeClipRect(AExcludedRect);
  switch (GetDrawBackgroundStyle()) {
    case dbsCustom:
      ACanvas->IntersectClipRect(ARect);
      DrawBackground(ACanvas);
      break;
    case dbsCustomEdit: DrawCustomEdit(ACanvas, this, true, bpsSolid); break;
    case dbsSimpleFill: cxEditFillRect(ACanvas, ARect, BackgroundColor); break;
    case dbsSimpleParent:
      if (Edit) cxDrawTransparentControlBackground(Edit->GetEditControl(), ACanvas->GetCanvas(), ARect);
      break;
    case dbsThemeParent:
      if (Edit) cxDrawThemeParentBackground(Edit->GetEditControl(), ACanvas->GetCanvas(), ARect);
      break;
    case dbsNone: break;
  }
}

// --- Hot track and hints -------------------------------------------------------

bool TcxCustomEditViewInfo::IsHotTrack() {
  return std::any_of(ButtonInfos.begin(), ButtonInfos.end(),
                     [](TcxEditButtonViewInfo* info) { return info->State == ebsSelected; });
}

bool TcxCustomEditViewInfo::IsHotTrack(const TPoint& P) {
  const TPoint p(P.X - Left, P.Y - Top);
  return std::any_of(ButtonInfos.begin(), ButtonInfos.end(),
                     [&](TcxEditButtonViewInfo* info) { return cxRectPtIn(info->Bounds, p); });
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, AnsiString& AText,
                                         bool& AIsMultiLine, TRect& ATextRect) {
  AText.clear();
  return NeedShowHint(ACanvas, P, TRect(), AText, AIsMultiLine, ATextRect);
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas*, const TPoint&, const TRect&, AnsiString& AText, bool&,
                                         TRect&) {
  AText.clear();
  return false;
}

void TcxCustomEditViewInfo::PrepareCanvasFont(TcxCanvas*) {}

// --- Repainting ----------------------------------------------------------------

bool TcxCustomEditViewInfo::Repaint(TWinControl* AControl, TcxContainerViewInfo* AViewInfo) {
  return Repaint(AControl, TRect(), AViewInfo);
}

bool TcxCustomEditViewInfo::Repaint(TWinControl* AControl, const TRect& AInnerEditRect,
                                    TcxContainerViewInfo* AViewInfo) {
  if (!AControl->HandleAllocated()) return false;
  const win::HWND wnd = AControl->GetHandle();
  const TRect r = cxRectOffset(Bounds, Left, Top);
  const TRect excluded(std::max(AInnerEditRect.Left, ClientRect.Left), std::max(AInnerEditRect.Top, ClientRect.Top),
                       std::min(AInnerEditRect.Right, ClientRect.Right),
                       std::min(AInnerEditRect.Bottom, ClientRect.Bottom));
  auto* old = dynamic_cast<TcxCustomEditViewInfo*>(AViewInfo);
  if (!old) {
    InternalInvalidate(wnd, r, excluded, HasBackground);
    return false;
  }

  const bool sameButtonCount = GetButtonCount() == old->GetButtonCount();
  const bool whole = NativeState != old->NativeState || BackgroundColor != old->BackgroundColor ||
                     (ContainerState != old->ContainerState && IsRepaintOnStateChangingNeeded()) ||
                     !sameButtonCount;
  const bool border = !whole && (BorderStyle != old->BorderStyle ||
                                 (BorderColor != old->BorderColor && BorderStyle != ebsNone));
  bool result = whole || border;
  if (result) {
    const TRect kept = whole ? excluded : cxRectOffset(BorderRect, Left, Top);
    if (!cxRectIsEmpty(Bounds) && r != kept) InternalInvalidate(wnd, r, kept, old->HasBackground);
  }
  if (sameButtonCount)
    for (Integer i = 0; i < GetButtonCount(); ++i)
      if (ButtonInfos[i]->Repaint(AControl, old->ButtonInfos[i], TPoint(Left, Top))) result = true;
  return result;
}

TcxRegion* TcxCustomEditViewInfo::GetUpdateRegion(TcxContainerViewInfo* AViewInfo) {
  TcxRegion* result = TcxContainerViewInfo::GetUpdateRegion(AViewInfo);
  auto* old = dynamic_cast<TcxCustomEditViewInfo*>(AViewInfo);
  if (!old) return result;
  if ((BorderColor == old->BorderColor || BorderStyle == ebsNone) && BorderStyle == old->BorderStyle &&
      GetButtonCount() == old->GetButtonCount() && NativeState == old->NativeState) {
    for (Integer i = 0; i < GetButtonCount(); ++i)
      result->Combine(ButtonInfos[i]->GetUpdateRegion(old->ButtonInfos[i]), roAdd);
  } else if (!cxRectIsEmpty(Bounds)) {
    result->Combine(New<TcxRegion>(Bounds), roAdd);
  }
  return result;
}
