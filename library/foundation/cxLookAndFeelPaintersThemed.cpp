// The theme-based painter: each element maps to a theme class, part and
// state, and falls back to the standard painter when its class has no
// theme.
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Owned.h"
#include "platform/win/WindowDC.h"

ORV_REGISTER(TcxWinXPLookAndFeelPainter)

using Themed = TcxWinXPLookAndFeelPainter;
using Standard = TcxStandardLookAndFeelPainter;
using Base = TcxCustomLookAndFeelPainter;

namespace {

// Part numbers of the classes drawn here.
constexpr int BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3;
constexpr int SBP_ARROWBTN = 1, SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4,
              SBP_UPPERTRACKHORZ = 5, SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8,
              SBP_GRIPPERVERT = 9;
constexpr int HP_HEADERITEM = 1, HP_HEADERITEMRIGHT = 3;
constexpr int EP_EDITTEXT = 1;
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int LVP_LISTDETAIL = 5;
constexpr int TVP_GLYPH = 2;
constexpr int EBP_NORMALGROUPCOLLAPSE = 6, EBP_NORMALGROUPEXPAND = 7;
constexpr int TKP_TRACK = 1;
constexpr int TABP_TABITEM = 1, TABP_PANE = 9;
constexpr int WP_SMALLCLOSEBUTTON = 19;
constexpr int TP_BUTTON = 1;

// State tables, indexed by TcxButtonState (default, normal, hot, pressed,
// disabled).
constexpr int kCheckUnchecked[] = {1, 1, 2, 3, 4};
constexpr int kCheckChecked[] = {5, 5, 6, 7, 8};
constexpr int kHeaderStates[] = {1, 1, 2, 3, 1};
constexpr int kCloseStates[] = {1, 1, 2, 3, 4};
constexpr int kDropDownStates[] = {1, 1, 2, 3, 4};
constexpr int kNavigatorStates[] = {2, 2, 5, 3, 4};
constexpr int kTabStates[] = {1, 1, 2, 3, 4};

int ScrollBarPartState(TcxButtonState AState) {
  switch (AState) {
    case cxbsHot: return 2;
    case cxbsPressed: return 3;
    case cxbsDisabled: return 4;
    default: return 1;
  }
}

int ScrollBarArrowState(TcxArrowDirection ADirection, TcxButtonState AState) {
  const int within = AState == cxbsDefault ? 0 : static_cast<int>(AState) - 1;
  return static_cast<int>(ADirection) * 4 + within + 1;
}

int GroupExpandState(TcxButtonState AState) {
  switch (AState) {
    case cxbsHot: return 2;
    case cxbsPressed: return 3;
    default: return 1;
  }
}

win::HTHEME Theme(TdxThemedObjectType AType) { return OpenTheme(AType); }

// The screen's DC for the length of a measurement.
class ScreenDC {
 public:
  ScreenDC() : FDC(win::GetDC(nullptr)) {}
  ~ScreenDC() { win::ReleaseDC(nullptr, FDC); }
  operator win::HDC() const { return FDC; }

 private:
  win::HDC FDC;
};

// The content rectangle of a part in a 100 x 100 rectangle, or false.
bool ContentIn100(win::HTHEME ATheme, int APart, int AState, TRect& AContent) {
  const TRect bounds{0, 0, 100, 100};
  TRect content = bounds;
  if (::GetThemeBackgroundContentRect(ATheme, ScreenDC(), APart, AState, bounds, content) != S_OK) return false;
  AContent = content;
  return true;
}

// The part's size; ASize keeps its value when the theme does not answer.
void PartSize(win::HTHEME ATheme, int APart, int AState, TSize& ASize) {
  win::SIZE size = ASize;
  if (::GetThemePartSize(ATheme, ScreenDC(), APart, AState, win::TS_DRAW, &size) == S_OK) ASize = size;
}

win::UINT ThemeTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                         bool AShowEndEllipsis, bool AShowPrefix) {
  static constexpr win::UINT kHorz[] = {win::DT_LEFT, win::DT_RIGHT, win::DT_CENTER};
  static constexpr win::UINT kVert[] = {win::DT_TOP, win::DT_BOTTOM, win::DT_VCENTER};
  win::UINT flags = kHorz[AAlignmentHorz] | kVert[AAlignmentVert] | win::DT_EDITCONTROL;
  flags |= AMultiLine ? win::DT_WORDBREAK : win::DT_SINGLELINE;
  if (AShowEndEllipsis) flags |= win::DT_END_ELLIPSIS;
  if (!AShowPrefix) flags |= win::DT_NOPREFIX;
  return flags;
}

}  // namespace

// ---------------------------------------------------------------------------
// Content, style and colours.

void Themed::DrawThemedContent(TcxCanvas* ACanvas, win::HTHEME ATheme, Integer APartId, Integer AStateId,
                               const TRect& ATextAreaBounds, TAlignment AAlignmentHorz,
                               TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                               const AnsiString& AText, TFont* AFont, TColor ATextColor, bool AShowPrefix) {
  if (AText.empty()) return;
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  TRect r = ATextAreaBounds;
  if (AMultiLine) ACanvas->AlignMultiLineTextRectVertically(r, AText, AAlignmentVert, true, AShowPrefix);
  cxPrepareCanvas(ACanvas->GetCanvas());
  ::DrawThemeText(ATheme, ACanvas->GetHandle(), APartId, AStateId, AText, -1,
                  ThemeTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AShowPrefix), 0, &r);
}

TcxLookAndFeelStyle Themed::LookAndFeelStyle() const { return lfsNative; }

TColor Themed::DefaultSchedulerBorderColor() const {
  TColor result = inherited::DefaultSchedulerBorderColor();
  if (win::HTHEME theme = Theme(totComboBox)) {
    COLORREF color = 0;
    if (::GetThemeColor(theme, CP_DROPDOWNBUTTON, 1, win::TMT_BORDERCOLOR, &color) == S_OK)
      result = static_cast<TColor>(color);
  }
  return result;
}

TColor Themed::DefaultSchedulerViewContentColor() const { return 0xD5FFFF; }

// ---------------------------------------------------------------------------
// Borders, arrows and buttons.

Integer Themed::BorderSize() const { return Theme(totListView) ? 1 : inherited::BorderSize(); }

void Themed::DrawBorder(TcxCanvas* ACanvas, const TRect& R) const {
  win::HTHEME theme = Theme(totListView);
  if (!theme) return inherited::DrawBorder(ACanvas, R);
  win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  ACanvas->ExcludeClipRect(cxRectShrunk(R, 1));
  ::DrawThemeBackground(theme, dc, LVP_LISTDETAIL, 0, R);
  win::RestoreDC(dc, saved);
}

void Themed::DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, TcxArrowDirection ADirection,
                       bool ADrawBorder) const {
  win::HTHEME theme = Theme(totScrollBar);
  if (!theme) return inherited::DrawArrow(ACanvas, R, AState, ADirection, ADrawBorder);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), SBP_ARROWBTN, ScrollBarArrowState(ADirection, AState), R);
}

void Themed::DrawArrowBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  win::HTHEME theme = Theme(totButton);
  if (!theme) return inherited::DrawArrowBorder(ACanvas, R, AState);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), BP_PUSHBUTTON, BtnStateToXPBtnState(AState), R);
}

TRect Themed::AdjustGroupButtonDisplayRect(const TRect& R, Integer AButtonCount, Integer AButtonIndex) const {
  TRect result = inherited::AdjustGroupButtonDisplayRect(R, AButtonCount, AButtonIndex);
  win::HTHEME theme = Theme(totButton);
  if (theme && ::IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) result = cxRectInflate(result, 1, 1);
  return result;
}

Integer Themed::ButtonBorderSize(TcxButtonState AState) const {
  TRect content;
  win::HTHEME theme = Theme(totButton);
  if (theme && ContentIn100(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), content)) return content.Left;
  return inherited::ButtonBorderSize(AState);
}

// The theme's face colour of the push button in that state; a theme that
// does not answer leaves the standard face, never black.
TColor Themed::ButtonColor(TcxButtonState AState) const {
  const TColor fallback = inherited::ButtonColor(AState);
  win::HTHEME theme = Theme(totButton);
  COLORREF color = 0;
  if (!theme || ::GetThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), win::TMT_FACECOLOR, &color) != S_OK)
    return fallback;
  return static_cast<TColor>(color);
}

TRect Themed::ButtonFocusRect(TcxCanvas* ACanvas, const TRect& R) const {
  win::HTHEME theme = Theme(totButton);
  TRect content = R;
  if (theme && ::GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), BP_PUSHBUTTON, 1, R, content) == S_OK)
    return content;
  return Base::ButtonFocusRect(ACanvas, R);
}

TRect Themed::ButtonGroupBorderSizes(Integer AButtonCount, Integer AButtonIndex) const {
  win::HTHEME theme = Theme(totButton);
  TRect content;
  if (!theme || !ContentIn100(theme, BP_PUSHBUTTON, 1, content))
    return inherited::ButtonGroupBorderSizes(AButtonCount, AButtonIndex);
  TRect result{content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
  if (::IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) result = cxRectInflate(result, -1, -1);
  return result;
}

Integer Themed::ButtonTextOffset() const { return 2; }
Integer Themed::ButtonTextShift() const { return 0; }
bool Themed::IsButtonHotTrack() const { return true; }

TColor Themed::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) const {
  // A refused query keeps the standard answer, which is the default
  // colour itself whenever that is a colour.
  const TColor fallback = inherited::ButtonSymbolColor(AState, ADefaultColor);
  win::HTHEME theme = Theme(totButton);
  if (!theme) return fallback;
  COLORREF color = 0;
  if (::GetThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(AState), win::TMT_TEXTCOLOR, &color) != S_OK)
    return fallback;
  return static_cast<TColor>(color);
}

void Themed::DrawButton(TcxCanvas* ACanvas, const TRect& R, const AnsiString& ACaption, TcxButtonState AState,
                        bool ADrawBorder, TColor AColor, TColor ATextColor) const {
  win::HTHEME theme = Theme(totButton);
  if (!theme) return inherited::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor);
  const int state = BtnStateToXPBtnState(AState);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), BP_PUSHBUTTON, state, R);
  if (ACaption.empty()) return;
  cxPrepareCanvas(ACanvas->GetCanvas());
  ::DrawThemeText(theme, ACanvas->GetHandle(), BP_PUSHBUTTON, state, ACaption, -1,
                  win::DT_CENTER | win::DT_VCENTER | win::DT_SINGLELINE, 0, &R);
}

// ---------------------------------------------------------------------------
// Expand buttons.

void Themed::DrawExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const {
  win::HTHEME theme = Theme(totTreeview);
  if (!theme) return inherited::DrawExpandButton(ACanvas, R, AExpanded, AColor);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), TVP_GLYPH, AExpanded ? 2 : 1, R);
  ACanvas->ExcludeClipRect(R);
}

bool Themed::DrawExpandButtonFirst() const { return false; }

void Themed::DrawGroupExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TcxButtonState AState) const {
  win::HTHEME theme = Theme(totExplorerBar);
  if (!theme) return inherited::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), AExpanded ? EBP_NORMALGROUPCOLLAPSE : EBP_NORMALGROUPEXPAND,
                        GroupExpandState(AState), R);
}

void Themed::DrawSmallExpandButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                   TColor AColor) const {
  if (!Theme(totTreeview)) return inherited::DrawSmallExpandButton(ACanvas, R, AExpanded, ABorderColor, AColor);
  DrawExpandButton(ACanvas, R, AExpanded, clDefault);
}

Integer Themed::ExpandButtonSize() const {
  TSize size{inherited::ExpandButtonSize(), inherited::ExpandButtonSize()};
  if (win::HTHEME theme = Theme(totTreeview)) PartSize(theme, TVP_GLYPH, 1, size);
  return size.cx;
}

Integer Themed::GroupExpandButtonSize() const {
  TSize size{inherited::GroupExpandButtonSize(), inherited::GroupExpandButtonSize()};
  if (win::HTHEME theme = Theme(totExplorerBar)) PartSize(theme, EBP_NORMALGROUPEXPAND, 1, size);
  return size.cx;
}

bool Themed::IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const {
  win::HTHEME theme = Theme(totExplorerBar);
  win::HRGN region = nullptr;
  if (!theme || ::GetThemeBackgroundRegion(theme, ScreenDC(), EBP_NORMALGROUPEXPAND, 1, &R, &region) != S_OK ||
      !region)
    return inherited::IsPointOverGroupExpandButton(R, P);
  const bool inside = win::PtInRegion(region, P.X, P.Y) != win::FALSE;
  win::DeleteObject(region);
  return inside;
}

Integer Themed::SmallExpandButtonSize() const {
  return Theme(totTreeview) ? ExpandButtonSize() : inherited::SmallExpandButtonSize();
}

// ---------------------------------------------------------------------------
// Check boxes and radio buttons.

Integer Themed::CheckBorderSize() const { return Theme(totButton) ? 0 : inherited::CheckBorderSize(); }

TSize Themed::CheckButtonSize() const {
  TSize size = inherited::CheckButtonSize();
  if (win::HTHEME theme = Theme(totButton)) PartSize(theme, BP_CHECKBOX, 5, size);
  return size;
}

void Themed::DrawCheck(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, bool AChecked,
                       TColor AColor) const {
  win::HTHEME theme = Theme(totButton);
  if (!theme) return inherited::DrawCheck(ACanvas, R, AState, AChecked, AColor);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), BP_CHECKBOX,
                        AChecked ? kCheckChecked[AState] : kCheckUnchecked[AState], R);
}

void Themed::DrawCheckBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  if (!Theme(totButton)) inherited::DrawCheckBorder(ACanvas, R, AState);
}

void Themed::DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y, TcxButtonState AButtonState, bool AChecked,
                             bool AFocused, TColor ABrushColor, bool AIsDesigning) const {
  win::HTHEME theme = Theme(totButton);
  if (!theme)
    return inherited::DrawRadioButton(ACanvas, X, Y, AButtonState, AChecked, AFocused, ABrushColor, AIsDesigning);
  const TSize size = RadioButtonSize();
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), BP_RADIOBUTTON,
                        AChecked ? kCheckChecked[AButtonState] : kCheckUnchecked[AButtonState],
                        cxRectHeld(X, Y, Int64(X) + size.cx, Int64(Y) + size.cy));
}

TSize Themed::RadioButtonSize() const {
  TSize size = inherited::RadioButtonSize();
  if (win::HTHEME theme = Theme(totButton)) PartSize(theme, BP_RADIOBUTTON, 1, size);
  return size;
}

// ---------------------------------------------------------------------------
// Headers.

void Themed::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                        bool AShowEndEllipsis, const AnsiString& AText, TFont* AFont, TColor ATextColor,
                        TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  win::HTHEME theme = Theme(totHeader);
  if (!theme)
    return inherited::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                                 AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                 AOnDrawBackground, AIsLast);
  // The last header of the two coloured schemes closes the row with the
  // theme's right-hand item while it rests.
  const bool rightItem = AIsLast && AState != cxbsHot && AState != cxbsPressed &&
                         (GetOffice11Scheme() == schNormalColor || GetOffice11Scheme() == schHomestead);
  const int part = rightItem ? HP_HEADERITEMRIGHT : HP_HEADERITEM;
  const int state = kHeaderStates[AState];
  if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, ABounds))
    ::DrawThemeBackground(theme, ACanvas->GetHandle(), part, state, ABounds);
  DrawThemedContent(ACanvas, theme, part, state, ATextAreaBounds, AAlignmentHorz, AAlignmentVert, AMultiLine,
                    AShowEndEllipsis, AText, AFont, ATextColor);
}

void Themed::DrawHeaderPressed(TcxCanvas*, const TRect&) const {}

void Themed::DrawSortingMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
}

Integer Themed::HeaderBorderSize() const {
  TRect content;
  win::HTHEME theme = Theme(totHeader);
  if (theme && ContentIn100(theme, HP_HEADERITEM, 1, content)) return (content.Left + content.Top) / 2;
  return inherited::HeaderBorderSize();
}

Integer Themed::HeaderControlSectionBorderSize(TcxButtonState) const { return HeaderBorderSize(); }

TRect Themed::HeaderControlSectionContentBounds(const TRect& ABounds, TcxButtonState AState) const {
  if (!Theme(totHeader)) return Base::HeaderControlSectionContentBounds(ABounds, AState);
  const Integer W = HeaderBorderSize();
  return cxRectShrunk(ABounds, W);
}

bool Themed::HeaderDrawCellsFirst() const { return false; }
bool Themed::IsHeaderHotTrack() const { return true; }
TSize Themed::SortingMarkSize() const { return {7, 8}; }

// ---------------------------------------------------------------------------
// Footers.

void Themed::DrawFooterBorder(TcxCanvas* ACanvas, const TRect& R) const {
  win::HTHEME theme = Theme(totEdit);
  if (!theme) return inherited::DrawFooterBorder(ACanvas, R);
  ::DrawThemeEdge(theme, ACanvas->GetHandle(), EP_EDITTEXT, 1, R, win::BDR_RAISEDINNER, win::BF_RECT);
}

void Themed::DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                            TcxAlignmentVert AAlignmentVert, bool AMultiLine, const AnsiString& AText, TFont* AFont,
                            TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  win::HTHEME theme = Theme(totTrackBar);
  if (!theme)
    return inherited::DrawFooterCell(ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine, AText, AFont,
                                     ATextColor, ABkColor, AOnDrawBackground);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), TKP_TRACK, 1, ABounds);
  DrawThemedContent(ACanvas, theme, TKP_TRACK, 1, FooterCellTextAreaBounds(ABounds), AAlignmentHorz, AAlignmentVert,
                    AMultiLine, false, AText, AFont, ATextColor);
}

Integer Themed::FooterCellBorderSize() const {
  TRect content;
  win::HTHEME theme = Theme(totTrackBar);
  if (theme && ContentIn100(theme, TKP_TRACK, 1, content)) return content.Left;
  return inherited::FooterCellBorderSize();
}

bool Themed::FooterDrawCellsFirst() const { return false; }

// ---------------------------------------------------------------------------
// Filter buttons.

void Themed::DrawFilterCloseButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  win::HTHEME theme = Theme(totWindow);
  if (!theme) return inherited::DrawFilterCloseButton(ACanvas, R, AState);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), WP_SMALLCLOSEBUTTON, kCloseStates[AState], R);
}

void Themed::DrawFilterDropDownButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                      bool AIsFilterActive) const {
  win::HTHEME theme = Theme(totComboBox);
  if (!theme) return inherited::DrawFilterDropDownButton(ACanvas, R, AState, AIsFilterActive);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), CP_DROPDOWNBUTTON, kDropDownStates[AState], R);
}

TSize Themed::FilterActivateButtonSize() const {
  TSize size = inherited::FilterActivateButtonSize();
  if (win::HTHEME theme = Theme(totButton)) PartSize(theme, BP_CHECKBOX, 5, size);
  return size;
}

TSize Themed::FilterCloseButtonSize() const {
  TSize size = inherited::FilterCloseButtonSize();
  if (win::HTHEME theme = Theme(totWindow)) PartSize(theme, WP_SMALLCLOSEBUTTON, 1, size);
  return size;
}

// ---------------------------------------------------------------------------
// Tabs.

void Themed::DrawTab(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, const AnsiString& AText,
                     TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor,
                     bool AShowPrefix) const {
  win::HTHEME theme = Theme(totTab);
  if (!theme)
    return inherited::DrawTab(ACanvas, R, ABorders, AText, AState, AVertical, AFont, ATextColor, ABkColor,
                              AShowPrefix);
  // The theme draws tabs standing up; a vertical tab is drawn so into a
  // bitmap and turned. The bitmap holds only the part of the tab the canvas
  // can show, so a tab far longer than the window costs what the window
  // shows; the tab is drawn into it moved by that part's corner.
  const TRect shown = cxPaintableArea(ACanvas->GetHandle(), cxRectHeld(R));
  if (!cxRectIsEmpty(shown)) {
    const Integer w = cxRectWidth(shown), h = cxRectHeight(shown);
    const Int64 dx = Int64(shown.Left) - R.Left, dy = Int64(shown.Top) - R.Top;
    const Int64 tabW = Int64(R.Right) - R.Left, tabH = Int64(R.Bottom) - R.Top;
    TOwned<TBitmap> bitmap(cxCreateBitmap(w, h));
    TcxCanvas bitmapCanvas(bitmap->GetCanvas());
    // Corner pixels blend with what lies below: start from the canvas.
    cxCopyImage(ACanvas->GetCanvas(), bitmap->GetCanvas(), shown.TopLeft(), TPoint{0, 0}, TRect{0, 0, w, h});
    // Turned a quarter back, the tab's point (x, y) lies at (tabH - 1 - y, x):
    // the shown part's corner is then (tabH - dy - h, dx).
    const TRect standing = AVertical ? cxRectHeld(dy + h - tabH, -dx, dy + h, tabW - dx)
                                     : cxRectHeld(-dx, -dy, tabW - dx, tabH - dy);
    if (AVertical) bitmapCanvas.RotateBitmap(bitmap.get(), raMinus90);
    ::DrawThemeBackground(theme, bitmap->GetCanvas()->GetHandle(), TABP_TABITEM, kTabStates[AState], standing);
    if (AVertical) bitmapCanvas.RotateBitmap(bitmap.get(), raPlus90);
    ACanvas->Draw(shown.Left, shown.Top, bitmap.get());
  }
  DrawThemedContent(ACanvas, theme, TABP_TABITEM, kTabStates[AState], R, taCenter, vaCenter, false, false, AText,
                    AFont, ATextColor, AShowPrefix);
}

void Themed::DrawTabBorder(TcxCanvas* ACanvas, const TRect& R, TcxBorder ABorder, TcxBorders ABorders,
                           bool AVertical) const {
  if (!Theme(totTab)) inherited::DrawTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void Themed::DrawTabsRoot(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders, bool AVertical) const {
  win::HTHEME theme = Theme(totTab);
  if (!theme) return inherited::DrawTabsRoot(ACanvas, R, ABorders, AVertical);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), TABP_PANE, 1, R);
}

bool Themed::IsDrawTabImplemented(bool AVertical) const {
  return Theme(totTab) ? true : inherited::IsDrawTabImplemented(AVertical);
}

bool Themed::IsTabHotTrack(bool AVertical) const { return Theme(totTab) ? true : inherited::IsTabHotTrack(AVertical); }

// ---------------------------------------------------------------------------
// Indicator, scroll bars and calendar parts.

void Themed::DrawIndicatorItem(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind, TColor AColor,
                               const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  TcxCustomLookAndFeelPainterClass(TcxFlatLookAndFeelPainter::StaticClass())
      ->DrawIndicatorItem(ACanvas, R, AKind, AColor, AOnDrawBackground, AIsLast);
}

void Themed::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, const TRect& R, TcxScrollBarPart APart,
                               TcxButtonState AState) const {
  if (cxRectIsEmpty(R)) return;
  win::HTHEME theme = Theme(totScrollBar);
  if (!theme) return inherited::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  win::HDC dc = ACanvas->GetHandle();
  const int state = ScrollBarPartState(AState);
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: DrawArrow(ACanvas, R, AState, GetArrowDirection(AHorizontal, APart), true); break;
    case sbpThumbnail:
      ::DrawThemeBackground(theme, dc, AHorizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, state, R);
      ::DrawThemeBackground(theme, dc, AHorizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT, 0, R);
      break;
    case sbpPageUp:
      ::DrawThemeBackground(theme, dc, AHorizontal ? SBP_UPPERTRACKHORZ : SBP_UPPERTRACKVERT, state, R);
      break;
    case sbpPageDown:
      ::DrawThemeBackground(theme, dc, AHorizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, state, R);
      break;
    default: break;
  }
}

void Themed::DrawMonthHeader(TcxCanvas* ACanvas, const TRect& ABounds, const AnsiString& AText,
                             TcxNeighbors ANeighbors, const TcxViewParams& AViewParams, TcxHeaderArrows AArrows,
                             Integer ASideWidth, const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  // The header itself comes from DrawHeader, themed or not.
  Base::DrawMonthHeader(ACanvas, ABounds, AText, ANeighbors, AViewParams, AArrows, ASideWidth, AOnDrawBackground);
}

void Themed::DrawSchedulerNavigatorButton(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const {
  win::HTHEME theme = Theme(totToolBar);
  if (!theme) return inherited::DrawSchedulerNavigatorButton(ACanvas, R, AState);
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), TP_BUTTON, kNavigatorStates[AState], R);
}

void Themed::DrawSchedulerSplitterBorder(TcxCanvas* ACanvas, const TRect& R, const TcxViewParams& AViewParams,
                                         bool AIsHorizontal) const {
  if (!AreVisualStylesAvailable(TdxThemedObjectTypes{totComboBox, totListView}))
    return inherited::DrawSchedulerSplitterBorder(ACanvas, R, AViewParams, AIsHorizontal);
  // Two lines of the theme's border colour along each long side, then the
  // fill, as the ultra-flat splitter.
  const TColor c = DefaultSchedulerBorderColor();
  const TcxBorders sides = AIsHorizontal ? TcxBorders{bTop, bBottom} : TcxBorders{bLeft, bRight};
  TRect r = R;
  for (int i = 0; i < 2; ++i) {
    ACanvas->DrawComplexFrame(r, c, c, sides);
    r = AIsHorizontal ? cxRectInflate(r, 0, -1) : cxRectInflate(r, -1, 0);
  }
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->SetBrushColor(AViewParams.Color);
  ACanvas->FillRect(r);
}
