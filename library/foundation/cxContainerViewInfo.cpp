// Container view information: border widths, the drop shadow and the
// painting of a container's frame and background.
#include "library/foundation/cxContainer.h"
#include "library/foundation/cxGeometry.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"

ORV_REGISTER(TcxContainerViewInfo)

namespace {

// The combo box's frame part, whose border colour frames native containers.
constexpr int ComboBoxFramePart = 1;
constexpr int ComboBoxFrameState = 1;

void Fill(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

}  // namespace

Integer GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle) {
  static constexpr Integer Widths[] = {0, 1, 2, 2, 2, 1, 1};
  return Widths[ABorderStyle];
}

Integer GetContainerBorderWidth(TcxLookAndFeelKind ALookAndFeelKind) {
  return ALookAndFeelKind == lfFlat || ALookAndFeelKind == lfStandard ? 2 : 1;
}

void ExtendRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders) {
  if (ABorders.Contains(bLeft)) R.Left -= AWidth;
  if (ABorders.Contains(bTop)) R.Top -= AWidth;
  if (ABorders.Contains(bRight)) R.Right += AWidth;
  if (ABorders.Contains(bBottom)) R.Bottom += AWidth;
}

void InflateRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders) {
  ExtendRectByBorders(R, -AWidth, cxBordersAll - ABorders);
}

void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R) {
  const Integer w = cxContainerShadowWidth;
  const TRect below(R.Left + w, R.Bottom, R.Right, R.Bottom + w);
  const TRect right(R.Right, R.Top + w, R.Right + w, R.Bottom + w);
  Fill(ACanvas, below, clBtnShadow);
  ACanvas->ExcludeClipRect(below);
  Fill(ACanvas, right, clBtnShadow);
  ACanvas->ExcludeClipRect(right);
}

TRect GetControlRect(TControl* AControl) { return TRect(0, 0, AControl->GetWidth(), AControl->GetHeight()); }

// --- TcxContainerViewInfo ----------------------------------------------------

void TcxContainerViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxContainerViewInfo*>(Source)) ClientRect = source->ClientRect;
}

TcxRegion* TcxContainerViewInfo::GetUpdateRegion(TcxContainerViewInfo*) { return New<TcxRegion>(); }

void TcxContainerViewInfo::Offset(Integer DX, Integer DY) {
  BorderRect = cxRectOffset(BorderRect, DX, DY);
  Bounds = cxRectOffset(Bounds, DX, DY);
  ClientRect = cxRectOffset(ClientRect, DX, DY);
}

void TcxContainerViewInfo::Paint(TcxCanvas* ACanvas) { InternalPaint(ACanvas); }

void TcxContainerViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect R) {
  switch (ContainerBorderStyle) {
    case cbsSingle:
    case cbsThick: ACanvas->FrameRect(R, BorderColor, BorderWidth); break;
    case cbsFlat:
      ACanvas->DrawEdge(R, true, true, Edges);
      ACanvas->FrameRect(cxRectInflate(R, -1, -1), clBtnFace);
      break;
    case cbs3D:
      ACanvas->DrawEdge(R, true, true, Edges);
      ACanvas->DrawComplexFrame(cxRectInflate(R, -1, -1), cl3DDkShadow, cl3DLight, Edges);
      break;
    default: break;
  }
}

void TcxContainerViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  if (!NativeStyle) {
    TRect r = BorderRect;
    ExtendRectByBorders(r, BorderWidth, TcxBorders{bLeft, bTop} + (Edges * TcxBorders{bRight, bBottom}));
    if (Shadow) DrawContainerShadow(ACanvas, r);
    ExtendRectByBorders(r, BorderWidth, TcxBorders{bRight, bBottom} - Edges);
    DrawBorder(ACanvas, r);
    Fill(ACanvas, BorderRect, BackgroundColor);
    return;
  }
  if (ContainerBorderStyle == cbsNone) {
    Fill(ACanvas, Bounds, BackgroundColor);
    return;
  }
  TRect content = Bounds;
  if (TdxTheme theme = OpenTheme(ThemedObjectType))
    ::GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), NativePart, NativeState, Bounds, content);
  Fill(ACanvas, content, BackgroundColor);
  if (cxRectIsEmpty(Bounds) || content == Bounds) return;
  COLORREF frame = ColorToRGB(clWindowFrame);
  if (TdxTheme comboTheme = OpenTheme(totComboBox))
    ::GetThemeColor(comboTheme, ComboBoxFramePart, ComboBoxFrameState, win::TMT_BORDERCOLOR, &frame);
  const TColor frameColor = static_cast<TColor>(frame);
  if (cxRectIsEmpty(content)) {
    Fill(ACanvas, Bounds, frameColor);
    return;
  }
  Fill(ACanvas, TRect(Bounds.Left, Bounds.Top, Bounds.Right, content.Top), frameColor);
  Fill(ACanvas, TRect(Bounds.Left, content.Bottom, Bounds.Right, Bounds.Bottom), frameColor);
  Fill(ACanvas, TRect(Bounds.Left, content.Top, content.Left, content.Bottom), frameColor);
  Fill(ACanvas, TRect(content.Right, content.Top, Bounds.Right, content.Bottom), frameColor);
}
