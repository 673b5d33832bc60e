// The Office-11 painter: ultra-flat shapes in the Office-11 palette, with
// gradient headers and softened bitmap expand buttons.
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxThemeManager.h"

ORV_REGISTER(TcxOffice11LookAndFeelPainter)

using Office11 = TcxOffice11LookAndFeelPainter;
using Base = TcxCustomLookAndFeelPainter;

namespace {

void FillSolid(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AColor);
  ACanvas->FillRect(R);
}

// The height of the band that marks a hot header along its bottom edge.
constexpr Integer kHotBandHeight = 3;

}  // namespace

TcxLookAndFeelStyle Office11::LookAndFeelStyle() const { return lfsOffice11; }

// ---------------------------------------------------------------------------
// Colours.

TColor Office11::HeaderBottomColor() const { return dxOffice11ToolbarsColor2; }
TColor Office11::HeaderDarkEdgeColor() const { return dxOffice11BarSeparatorColor1; }
TColor Office11::HeaderHighlightEdgeColor() const { return dxOffice11BarSeparatorColor2; }
TColor Office11::HeaderTopColor() const { return GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50); }

TColor Office11::DefaultDateNavigatorHeaderColor() const { return dxOffice11DockColor1; }
TColor Office11::DefaultDateNavigatorSelectionColor() const { return dxOffice11DayNavigatorSelectedColor; }
TColor Office11::DefaultDateNavigatorSelectionTextColor() const { return clWindowText; }
TColor Office11::DefaultFilterBoxColor() const { return dxOffice11BarFloatingBorderColor1; }
TColor Office11::DefaultFilterBoxTextColor() const { return dxOffice11BarFloatingCaptionTextColor1; }
TColor Office11::DefaultFooterColor() const { return dxOffice11DockColor1; }
TColor Office11::DefaultFooterTextColor() const { return DefaultHeaderTextColor(); }
TColor Office11::DefaultGroupColor() const { return dxOffice11GroupColor; }
TColor Office11::DefaultGroupByBoxColor() const { return dxOffice11InPlaceSubItemColor; }
TColor Office11::DefaultGroupByBoxTextColor() const { return dxOffice11ToolbarsColor1; }
TColor Office11::DefaultHeaderColor() const { return HeaderTopColor(); }
TColor Office11::DefaultHeaderBackgroundColor() const { return DefaultGroupByBoxColor(); }
TColor Office11::DefaultSchedulerBorderColor() const { return dxOffice11OutlookBorderColor; }
TColor Office11::DefaultSchedulerControlColor() const { return dxOffice11OutlookControlColor; }
TColor Office11::DefaultTabColor() const { return dxOffice11DockColor2; }
TColor Office11::DefaultTabsBackgroundColor() const { return DefaultTabColor(); }
TColor Office11::DefaultTimeGridMinorScaleColor() const { return dxOffice11DockColor1; }
TColor Office11::DefaultTimeGridSelectionBarColor() const { return DefaultSchedulerControlColor(); }
TColor Office11::BorderHighlightColor() const { return dxOffice11SelectedBorderColor; }
TColor Office11::FooterSeparatorColor() const { return HeaderDarkEdgeColor(); }
TColor Office11::TabBorderHighlightColor() const { return HeaderDarkEdgeColor(); }

TColor Office11::FilterDropDownButtonBorderColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? HeaderDarkEdgeColor() : dxOffice11SelectedBorderColor;
}

// ---------------------------------------------------------------------------
// Buttons and borders.

TColor Office11::ButtonColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot: return dxOffice11SelectedColor1;
    case cxbsPressed: return dxOffice11SelectedDownColor1;
    case cxbsDisabled: return clBtnFace;
    default: return dxOffice11DockColor1;
  }
}

TColor Office11::ButtonSymbolColor(TcxButtonState AState, TColor) const {
  if (AState == cxbsPressed && !IsXPStandardScheme()) return clHighlightText;
  return AState == cxbsDisabled ? dxOffice11TextDisabledColor : dxOffice11TextEnabledColor;
}

TColor Office11::CheckButtonColor(TcxButtonState AState) const {
  return AState == cxbsDefault || AState == cxbsNormal ? clWindow : ButtonColor(AState);
}

void Office11::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, dxOffice11ControlBorderColor);
}

void Office11::DrawButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault: inherited::DrawButtonBorder(ACanvas, R, AState); break;
    case cxbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    case cxbsDisabled: ACanvas->FrameRect(R, dxOffice11TextDisabledColor); break;
    default: ACanvas->FrameRect(R, dxOffice11SelectedBorderColor); break;
  }
}

// ---------------------------------------------------------------------------
// Expand buttons.

void Office11::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const {
  TBitmap* bitmap = AExpanded ? dxOffice11ExpandButtonBitmap1 : dxOffice11ExpandButtonBitmap2;
  // Before the palette exists there is no bitmap: the ultra-flat box.
  if (!bitmap) return inherited::DrawExpandButton(ACanvas, R, AExpanded, AColor);
  // The corners blend into whatever lies below, so the box sits on any
  // background without a halo. The bitmap is shared and retouched per draw.
  TCanvas* pixels = bitmap->GetCanvas();
  const Integer last = bitmap->GetWidth() - 1;
  const TRect r = cxRectHeld(R);  // as drawing holds it, so its corners fit
  pixels->SetPixels(0, 0, GetMiddleRGB(dxOffice11ExpandButtonColor1, ACanvas->GetPixel(r.Left, r.Top), 25));
  const TColor far = GetMiddleRGB(dxOffice11ExpandButtonColor2, ACanvas->GetPixel(r.Right - 1, r.Bottom - 1), 25);
  pixels->SetPixels(last, last, far);
  pixels->SetPixels(0, last, far);
  pixels->SetPixels(last, 0, far);
  ACanvas->Draw(r.Left, r.Top, bitmap);
}

bool Office11::DrawExpandButtonFirst() const { return false; }

void Office11::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor,
                                     TColor AColor) const {
  DrawExpandButton(ACanvas, R, AExpanded, AColor);
}

Integer Office11::ExpandButtonSize() const { return 11; }
Integer Office11::SmallExpandButtonSize() const { return ExpandButtonSize(); }

void Office11::DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AButtonState, bool AChecked,
                               bool AFocused, TColor ABrushColor, bool AIsDesigning) const {
  // The radio images of this look take their colours from this painter.
  cxSetOffice11RadioButtonPainter(StaticClass());
  inherited::DrawRadioButton(ACanvas, X, Y, AButtonState, AChecked, AFocused, ABrushColor, AIsDesigning);
}

// ---------------------------------------------------------------------------
// Headers.

void Office11::DrawContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                           TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                           bool AMultiLine, bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont,
                           TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                           bool AIsFooter) const {
  const win::HDC dc = ACanvas->GetHandle();
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, ABounds)) {
    TRect r = cxRectHeld(ABounds);
    if (AIsFooter && !cxRectIsEmpty(r)) {
      // A footer cell stands out with a light line along its top and left.
      FillRectByColor(dc, {r.Left, r.Top, r.Right, r.Top + 1}, HeaderHighlightEdgeColor());
      FillRectByColor(dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom}, HeaderHighlightEdgeColor());
      r = {r.Left + 1, r.Top + 1, r.Right, r.Bottom};
    }
    FillGradientRect(dc, r, HeaderTopColor(), HeaderBottomColor(), false);
  }
  // The background is done: the text goes on as every painter writes it.
  const TcxDrawBackgroundEvent painted([](TcxCanvas*, const TRect&) { return true; });
  Base::DrawContent(ACanvas, ABounds, ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert, AMultiLine,
                    AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, painted, AIsFooter);
  const TRect bounds = cxRectHeld(ABounds);
  if (AState == cxbsHot && cxRectHeight(bounds) > kHotBandHeight)
    FillGradientRect(dc, {bounds.Left, bounds.Bottom - kHotBandHeight, bounds.Right, bounds.Bottom},
                     dxOffice11SelectedColor2, dxOffice11SelectedDownColor2, false);
}

void Office11::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                          TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                          TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                          bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                          TColor ABkColor, const TcxDrawBackgroundEvent&, bool AIsLast) const {
  inherited::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                        AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, nullptr,
                        AIsLast);
}

// Light on the left, the gradient's own colours along the top and bottom,
// a dark separator on the right. Where a neighbour joins, the ends of the
// side lines fade into the top and bottom lines so the separators read as
// grooves rather than boxes.
void Office11::DrawHeaderBorder(TcxCanvas* ACanvas, const TRect& AGiven, TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const {
  const TRect R = cxRectHeld(AGiven);
  if (cxRectIsEmpty(R)) return;
  const win::HDC dc = ACanvas->GetHandle();
  const TColor top = HeaderTopColor(), bottom = HeaderBottomColor();
  const TColor light = HeaderHighlightEdgeColor(), dark = HeaderDarkEdgeColor();
  if (ABorders.Contains(bTop)) FillRectByColor(dc, {R.Left, R.Top, R.Right, R.Top + 1}, top);
  if (ABorders.Contains(bBottom)) FillRectByColor(dc, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, bottom);
  if (ABorders.Contains(bLeft)) FillRectByColor(dc, {R.Left, R.Top, R.Left + 1, R.Bottom}, light);
  FillRectByColor(dc, {R.Right - 1, R.Top, R.Right, R.Bottom}, dark);
  auto fade = [&](Integer X, TColor ALine) {
    if (cxRectHeight(R) < 4) return;
    ACanvas->SetPixel(X, R.Top, GetMiddleRGB(ALine, top, 25));
    ACanvas->SetPixel(X, R.Top + 1, GetMiddleRGB(ALine, top, 50));
    ACanvas->SetPixel(X, R.Bottom - 2, GetMiddleRGB(ALine, bottom, 50));
    ACanvas->SetPixel(X, R.Bottom - 1, GetMiddleRGB(ALine, bottom, 25));
  };
  if (ANeighbors.Contains(nLeft) && ABorders.Contains(bLeft)) fade(R.Left, light);
  if (ANeighbors.Contains(nRight)) fade(R.Right - 1, dark);
}

void Office11::DrawHeaderControlSection(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                        const AnsiString& AText, TFont* AFont, TColor ATextColor,
                                        TColor ABkColor) const {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert, false,
             true, AText, AFont, ATextColor, ABkColor);
  if (AState == cxbsPressed) DrawHeaderPressed(ACanvas, ABounds);
}

void Office11::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, HeaderHighlightEdgeColor(), HeaderDarkEdgeColor(), AAscendingSorting);
}

TcxBorders Office11::HeaderBorders(TcxNeighbors) const { return cxBordersAll; }
bool Office11::IsHeaderHotTrack() const { return true; }

// ---------------------------------------------------------------------------
// Scroll bars and scheduler parts.

void Office11::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                                 TcxButtonState AState) const {
  // Never in the palette's colours: native when the theme can, else the
  // classic look.
  TcxCustomLookAndFeelPainterClass painter = AreVisualStylesAvailable(totScrollBar)
                                                 ? TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())
                                                 : TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
  painter->DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

void Office11::DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText, TcxNeighbors,
                               const TcxViewParams& AViewParams, TcxHeaderArrows AArrows, Integer ASideWidth,
                               const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  const TRect r = cxRectShrunk(ABounds, 1);
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, r)) FillSolid(ACanvas, r, AViewParams.Color);
  if (!AText.empty()) {
    ACanvas->GetBrush()->SetStyle(bsClear);
    if (AViewParams.Font) ACanvas->GetFont()->Assign(AViewParams.Font);
    ACanvas->GetFont()->SetColor(AViewParams.TextColor);
    ACanvas->DrawTexT(AText, r, cxAlignCenter | cxSingleLine);
    ACanvas->GetBrush()->SetStyle(bsSolid);
  }
  DrawMonthHeaderArrows(ACanvas, r, AArrows, ASideWidth, clWindowText);
}

void Office11::DrawSchedulerBorder(TcxCanvas* ACanvas, const TRect& R) const {
  ACanvas->FrameRect(R, DefaultSchedulerBorderColor());
}

void Office11::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())
      ->DrawSchedulerNavigatorButton(ACanvas, R, AState);
}
