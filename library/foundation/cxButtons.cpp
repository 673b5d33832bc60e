#include "library/foundation/cxButtons.h"

#include <cmath>
#include <map>
#include <algorithm>

#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Blits.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Queue.h"

using namespace win;

ORV_REGISTER(TcxButtonColors, ORV_PROP(Default).As(ColorTypeInfo()).StoredBy<&TcxButtonColors::IsDefaultStored>(),
             ORV_PROP(Normal).As(ColorTypeInfo()).StoredBy<&TcxButtonColors::IsNormalStored>(),
             ORV_PROP(Hot).As(ColorTypeInfo()).StoredBy<&TcxButtonColors::IsHotStored>(),
             ORV_PROP(Pressed).As(ColorTypeInfo()).StoredBy<&TcxButtonColors::IsPressedStored>(),
             ORV_PROP(Disabled).As(ColorTypeInfo()).StoredBy<&TcxButtonColors::IsDisabledStored>())
ORV_REGISTER(TcxGlyphList)
ORV_REGISTER(TcxButtonGlyph)
ORV_REGISTER(TcxCustomButton)
ORV_REGISTER(TcxButton, ORV_PROP(Colors), ORV_PROP(Glyph), ORV_PROP(Kind).Default(cxbkStandard),
             ORV_PROP(Layout).Default(blGlyphLeft), ORV_PROP(LookAndFeel), ORV_PROP(Margin).Default(-1),
             ORV_PROP(NumGlyphs).Default(1), ORV_PROP(PopupAlignment).Default(paLeft),
             ORV_PROP(Spacing).Default(4), ORV_PROP(UseSystemPaint).Default(false), ORV_PROP(DropDownMenu),
             ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnDropDownMenuPopup), ORV_EVENT(OnGetDrawParams))

namespace {
constexpr Integer kMaxGlyphs = 4;
// The images of a glyph, in the order of its bitmap.
enum TGlyphImage { giNormal, giDisabled, giPressed, giDown };

// One glyph list per glyph size for the whole process, while some glyph
// object lives: the first makes the cache, the last frees it.
struct TGlyphCache {
  Integer Users = 0;
  std::map<std::pair<Integer, Integer>, TcxGlyphList*> Lists;
};
TGlyphCache gGlyphCache;

TcxGlyphList* GlyphListOf(Integer AWidth, Integer AHeight) {
  TcxGlyphList*& list = gGlyphCache.Lists[{AWidth, AHeight}];
  if (!list) {
    list = New<TcxGlyphList>(nullptr);
    list->SetWidth(AWidth);
    list->SetHeight(AHeight);
  }
  return list;
}
}  // namespace

// ---------------------------------------------------------------------------
// TcxGlyphList

Integer TcxGlyphList::AddGlyph(TBitmap* AImage, TColor AMaskColor) {
  const auto free = std::find(FUsed.begin(), FUsed.end(), false);
  Integer index;
  if (free == FUsed.end()) {
    index = AddMasked(AImage, AMaskColor);
    if (index < 0) return -1;
    FUsed.resize(static_cast<std::size_t>(index) + 1, false);
  } else {
    // A free slot takes the new image in place: the mask is black where
    // the image shows.
    index = static_cast<Integer>(free - FUsed.begin());
    TBitmap* mask = New<TBitmap>();
    mask->SetSize(AImage->GetWidth(), AImage->GetHeight());
    const TColor see = ColorToRGB(AMaskColor);
    for (Integer y = 0; y < AImage->GetHeight(); ++y)
      for (Integer x = 0; x < AImage->GetWidth(); ++x)
        mask->GetCanvas()->SetPixels(x, y, AImage->GetCanvas()->GetPixels(x, y) == see ? clWhite : clBlack);
    Replace(index, AImage, mask);
    mask->Free();
  }
  FUsed[static_cast<std::size_t>(index)] = true;
  ++FUsedCount;
  return index;
}

void TcxGlyphList::ReleaseGlyph(Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(FUsed.size()) || !FUsed[static_cast<std::size_t>(AIndex)]) return;
  FUsed[static_cast<std::size_t>(AIndex)] = false;
  --FUsedCount;
}

// ---------------------------------------------------------------------------
// TcxButtonGlyph

TcxButtonGlyph::TcxButtonGlyph() {
  ++gGlyphCache.Users;
  FGlyph = New<TBitmap>();
  FGlyph->OnChange = TNotifyEvent::Bind<&TcxButtonGlyph::GlyphChanged>(this);
}

TcxButtonGlyph::~TcxButtonGlyph() {
  Invalidate();
  FGlyph->Free();
  if (--gGlyphCache.Users > 0) return;
  for (auto& [size, list] : gGlyphCache.Lists) list->Free();
  gGlyphCache.Lists.clear();
}

void TcxButtonGlyph::SetNumGlyphs(Integer Value) {
  if (Value <= 0) return;
  Value = std::min(Value, kMaxGlyphs);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
  if (OnChange) OnChange(this);
}

TSize TcxButtonGlyph::GetSize() const {
  if (FGlyph->Empty()) return {0, 0};
  return {FGlyph->GetWidth() / FNumGlyphs, FGlyph->GetHeight()};
}

void TcxButtonGlyph::GlyphChanged(TObject*) {
  Invalidate();
  if (OnChange) OnChange(this);
}

void TcxButtonGlyph::Invalidate() {
  for (Integer& index : FIndexes) {
    if (FGlyphList && index >= 0) FGlyphList->ReleaseGlyph(index);
    index = -1;
  }
  FGlyphList = nullptr;
}

// The image of one kind, taken from the bitmap when it has one; without a
// disabled image the classic embossed one is made: the glyph's shape in
// the highlight colour one pixel down and right, then in the shadow colour
// in place.
TBitmap* TcxButtonGlyph::MakeImage(Integer AKind) {
  const TSize size = GetSize();
  TBitmap* image = New<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(size.cx, size.cy);
  TCanvas* canvas = image->GetCanvas();
  if (AKind == giDisabled && FNumGlyphs <= giDisabled) {
    const TColor see = ColorToRGB(FTransparentColor);
    canvas->GetBrush()->SetColor(FTransparentColor);
    canvas->FillRect(TRect{0, 0, size.cx, size.cy});
    for (const auto& [offset, colour] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}})
      for (Integer y = 0; y < size.cy; ++y)
        for (Integer x = 0; x < size.cx; ++x)
          if (FGlyph->GetCanvas()->GetPixels(x, y) != see && x + offset < size.cx && y + offset < size.cy)
            canvas->SetPixels(x + offset, y + offset, ColorToRGB(colour));
    return image;
  }
  const Integer source = AKind < FNumGlyphs ? AKind : giNormal;
  BitBlt(canvas->GetHandle(), 0, 0, size.cx, size.cy, FGlyph->GetCanvas()->GetHandle(), source * size.cx, 0,
         SRCCOPY);
  return image;
}

Integer TcxButtonGlyph::ImageIndex(TcxButtonState AState) {
  const Integer kind = AState == cxbsDisabled ? giDisabled : AState == cxbsPressed ? giPressed : giNormal;
  if (FIndexes[kind] >= 0) return FIndexes[kind];
  const TSize size = GetSize();
  if (!FGlyphList) FGlyphList = GlyphListOf(size.cx, size.cy);
  TBitmap* image = MakeImage(kind);
  FIndexes[kind] = FGlyphList->AddGlyph(image, FTransparentColor);
  image->Free();
  return FIndexes[kind];
}

void TcxButtonGlyph::Draw(TCanvas* ACanvas, const TPoint& P, TcxButtonState AState) {
  const TSize size = GetSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  const Integer index = ImageIndex(AState);
  if (index >= 0) FGlyphList->Draw(ACanvas, P.X, P.Y, index);
}

// ---------------------------------------------------------------------------
// TcxButtonColors

void TcxButtonColors::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxButtonColors*>(Source);
  if (!source) return TPersistent::DoAssign(Source);
  for (int i = 0; i < 5; ++i) FColors[i] = source->FColors[i];
  FAssignedColors = source->FAssignedColors;
  Changed();
}

void TcxButtonColors::SetColor(TcxButtonState AState, TColor Value) {
  if (Value == clNone || Value == clDefault) {
    if (!FAssignedColors.Contains(AState)) return;
    FColors[AState] = clDefault;
    FAssignedColors.Exclude(AState);
  } else {
    if (FAssignedColors.Contains(AState) && FColors[AState] == Value) return;
    FColors[AState] = Value;
    FAssignedColors.Include(AState);
  }
  Changed();
}

TColor TcxButtonColors::GetBackgroundColor(TcxButtonState AState) const {
  if (FAssignedColors.Contains(AState)) return FColors[AState];
  // Normal borrows the Default colour; every other state borrows Normal's
  // own, which is clDefault when unassigned, so the painter chooses the hot,
  // pressed and disabled faces rather than repeating the resting one.
  return AState == cxbsNormal ? FColors[cxbsDefault] : FColors[cxbsNormal];
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors Value) {
  if (!FButton || !FButton->GetComponentState().Contains(csDesigning)) return;
  for (int i = 0; i < 5; ++i) {
    const auto state = static_cast<TcxButtonState>(i);
    if (!Value.Contains(state)) FColors[i] = clDefault;
    if (FColors[i] == clDefault) Value.Exclude(state);
  }
  FAssignedColors = Value;
  Changed();
}

void TcxButtonColors::Changed() {
  if (FButton) FButton->Invalidate();
}

// ---------------------------------------------------------------------------
// TcxCustomButton: life and properties

TcxCustomButton::TcxCustomButton(TComponent* AOwner) : TDialogButton(AOwner) {
  FColors = New<TcxButtonColors>(this);
  FButtonGlyph = New<TcxButtonGlyph>();
  FButtonGlyph->OnChange = TNotifyEvent::Bind<&TcxCustomButton::GlyphChanged>(this);
  FLookAndFeel = New<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxCustomButton::LookAndFeelChanged>(this);
  FControlStyle += TControlStyle{csOpaque, csReflector};
}

void TcxCustomButton::BeforeDestruction() {
  inherited::BeforeDestruction();
  // A button freed under the mouse must not be called back for leaving it.
  EndMouseTracking(this);
}

TcxCustomButton::~TcxCustomButton() {
  EndMouseTracking(this);
  FLookAndFeel->Free();
  FButtonGlyph->Free();
  FColors->Free();
}

void TcxCustomButton::SetGlyph(TBitmap* Value) {
  FButtonGlyph->SetGlyph(Value);
  const Integer w = GetGlyph()->GetWidth(), h = GetGlyph()->GetHeight();
  // An empty bitmap has no height to divide by: one glyph.
  Integer count = 1;
  if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= kMaxGlyphs) count = w / h;
  SetNumGlyphs(count);
  Invalidate();
}

void TcxCustomButton::SetNumGlyphs(Integer Value) { FButtonGlyph->SetNumGlyphs(Value); }

void TcxCustomButton::SetButtonAutoSize(bool Value) {
  if (FButtonAutoSize == Value) return;
  FButtonAutoSize = Value;
  UpdateAutoSize();
}

void TcxCustomButton::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FButtonAutoSize) {
    const TSize optimal = GetOptimalSize();
    AWidth = optimal.cx;
    AHeight = optimal.cy;
  }
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxCustomButton::UpdateAutoSize() {
  if (FButtonAutoSize) SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight());
}

void TcxCustomButton::CMTextChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  UpdateAutoSize();
}

void TcxCustomButton::CMFontChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  UpdateAutoSize();
}

void TcxCustomButton::GlyphChanged(TObject*) { Invalidate(); }

void TcxCustomButton::SetKind(TcxButtonKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

void TcxCustomButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TcxCustomButton::SetMargin(Integer Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TcxCustomButton::SetSpacing(Integer Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TcxCustomButton::SetDropDownMenu(TComponent* Value) {
  if (FDropDownMenu == Value) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
}

void TcxCustomButton::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

void TcxCustomButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

TSize TcxCustomButton::GetOptimalSize() {
  TcxScreenCanvas canvas;
  canvas.SetFont(GetFont());
  AnsiString caption = RemoveAccelChars(GetText());
  if (caption.empty()) caption = " ";
  const Integer width = canvas.TextWidth(caption) + 3 * canvas.TextWidth("R");
  const Integer height = static_cast<Integer>(std::lround(canvas.TextHeight("Wg") * 14.0 / 8.0));
  return {width, height};
}

TcxCustomLookAndFeelPainterClass GetButtonPainterClass(const TcxLookAndFeel* ALookAndFeel) {
  TcxCustomLookAndFeelPainterClass painter = ALookAndFeel->GetPainter();
  if (painter == TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass()) &&
      !AreVisualStylesAvailable(totButton))
    return TcxStandardLookAndFeelPainter::StaticClass();
  return painter;
}

TcxCustomLookAndFeelPainterClass TcxCustomButton::GetPainterClass() { return GetButtonPainterClass(FLookAndFeel); }

// ---------------------------------------------------------------------------
// Clicks and the drop-down menu

void TcxCustomButton::Click() {
  if (FSwallowClick) {
    FSwallowClick = false;
    return;
  }
  if (FKind == cxbkDropDown && !FMenuVisible) return DoDropDownMenu();
  inherited::Click();
}

void TcxCustomButton::DoDropDownMenu() {
  FMenuDropping = true;
  if (HandleAllocated()) PostMessageA(GetHandle(), DXM_DROPDOWNPOPUPMENU, 0, 0);
}

TPoint TcxCustomButton::GetDropDownMenuPopupPoint(TComponent* AMenu, TPopupAlignment& AAlignment) {
  Integer x = 0;
  if (FPopupAlignment == paRight) x = GetWidth();
  if (FPopupAlignment == paCenter) x = GetWidth() / 2;
  TPoint p = ClientToScreen({x, GetHeight()});
  const TRect work = GetDesktopWorkArea(p);
  const Integer menuHeight = GetPopupMenuHeight(AMenu);
  if (p.Y + menuHeight > work.Bottom) p.Y -= menuHeight + GetHeight() + 2;
  AAlignment = FPopupAlignment;
  if (p.X <= work.Left)
    AAlignment = paRight;
  else if (p.X >= work.Right)
    AAlignment = paLeft;
  return p;
}

void TcxCustomButton::DXMDropDownPopupMenu(TMessage&) {
  if (FKind == cxbkStandard) {
    FMenuDropping = false;
    return;
  }
  TComponent* menu = FDropDownMenu;
  bool handled = false;
  if (OnDropDownMenuPopup) OnDropDownMenuPopup(this, menu, handled);
  if (!handled) {
    FMenuVisible = true;
    Repaint();
    TPopupAlignment alignment = paLeft;
    const TPoint p = GetDropDownMenuPopupPoint(menu, alignment);
    if (auto* placement = dynamic_cast<IcxPopupMenuPlacement*>(menu)) placement->SetPopupAlignment(alignment);
    ShowPopupMenu(this, menu, p.X, p.Y);
  }
  // Also after a handler that dropped the menu itself, so the button does
  // not stay marked as dropping; at once when the queue is full.
  if (HandleAllocated() && !PostMessageA(GetHandle(), DXM_CLOSEUPPOPUPMENU, 0, 0)) {
    TMessage closeUp;
    closeUp.Msg = DXM_CLOSEUPPOPUPMENU;
    DXMCloseUpPopupMenu(closeUp);
  }
}

void TcxCustomButton::DXMCloseUpPopupMenu(TMessage&) {
  FIsHot = cxRectPtIn(GetClientRect(), ScreenToClient(GetMouseCursorPos()));
  FMenuVisible = false;
  Repaint();
  FMenuDropping = false;
}

void TcxCustomButton::WMDestroy(TMessage& Message) {
  if (FMenuVisible) Perform(DXM_CLOSEUPPOPUPMENU);
  DispatchFrom(inherited::StaticClass(), Message);
}

// ---------------------------------------------------------------------------
// Mouse and hot tracking

void TcxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  const bool inDropDownPart = FKind == cxbkDropDownButton && X >= GetWidth() - cxDropDownButtonHitWidth;
  if (Button == mbLeft) {
    FMouseDown = FMouseInside = true;
    if (inDropDownPart) FMenuDropping = true;
  }
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FKind == cxbkStandard) return;
  if (FMenuVisible) {
    // This press closed the menu: the click it makes does nothing more.
    FSwallowClick = true;
    FMenuVisible = false;
    Repaint();
  } else if (FKind == cxbkDropDown || inDropDownPart) {
    FSwallowClick = true;
    DoDropDownMenu();
  }
}

void TcxCustomButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  const bool inside = cxRectPtIn(GetClientRect(), {X, Y});
  if (FMouseDown && inside != FMouseInside) {
    FMouseInside = inside;
    Invalidate();
  }
  if (inside && CanHotTrack() && !GetCaptureControl()) UpdateHot(true);
}

void TcxCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    FMouseDown = false;
    if (!FMenuVisible) FMenuDropping = false;
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

bool TcxCustomButton::CanHotTrack() { return GetPainterClass()->IsButtonHotTrack() && GetEnabled(); }

void TcxCustomButton::UpdateHot(bool AHot) {
  if (AHot) BeginMouseTracking(this, GetClientRect(), this);
  if (FIsHot == AHot) return;
  FIsHot = AHot;
  Invalidate();
}

void TcxCustomButton::MouseTrackingMouseLeave() { UpdateHot(false); }

void TcxCustomButton::CMMouseEnter(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (CanHotTrack()) UpdateHot(true);
}

void TcxCustomButton::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  EndMouseTracking(this);
  UpdateHot(false);
}

void TcxCustomButton::CMEnabledChanged(TMessage& Message) {
  if (!GetEnabled()) UpdateHot(false);
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxCustomButton::WMContextMenu(TMessage& Message) {
  TComponent* menu = TControl::GetPopupMenu();
  if (!menu) return DispatchFrom(inherited::StaticClass(), Message);
  TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (p.X == -1 && p.Y == -1) p = ClientToScreen(GetKeyboardPopupPoint());
  Message.Result = ShowPopupMenu(this, menu, p.X, p.Y) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Painting

TcxButtonState TcxCustomButton::GetDrawState(bool APressed, bool AFocused) const {
  if (!GetEnabled()) return cxbsDisabled;
  if (APressed || FMenuVisible) return cxbsPressed;
  if (FIsHot) return cxbsHot;
  if (AFocused || GetDefault()) return cxbsDefault;
  return cxbsNormal;
}

void TcxCustomButton::Paint() {
  TcxCanvas canvas(GetCanvas());
  const TcxCustomLookAndFeelPainterClass painter = GetPainterClass();
  const TRect client = GetClientRect();
  bool pressed = GetPressed() && (!FMouseDown || FMouseInside) && !FMenuDropping;
  const bool focused = GetComponentState().Contains(csDesigning) ? GetDefault() : Focused();

  if (painter == TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())) {
    TdxTheme theme = OpenTheme(totButton);
    if (theme && ::IsThemeBackgroundPartiallyTransparent(theme, 1, 1))
      cxDrawTransparentControlBackground(this, GetCanvas(), client);
  }

  TRect main = client;
  if (FKind == cxbkDropDown) pressed = FMenuVisible;
  if (FKind == cxbkDropDownButton) {
    main.Right -= cxDropDownButtonPartWidth;
    if (FMenuDropping) pressed = false;
  }
  TcxButtonState state = GetDrawState(pressed, focused);
  if (FKind == cxbkDropDownButton && FMenuVisible && !pressed) state = FIsHot ? cxbsHot : cxbsNormal;

  canvas.SetFont(GetFont());
  TColor color = FColors->GetBackgroundColor(state);
  canvas.GetFont()->SetColor(painter->ButtonSymbolColor(state));
  if (OnGetDrawParams) OnGetDrawParams(this, state, color, canvas.GetFont());
  painter->DrawButton(&canvas, main, "", state, true, color);

  const Integer shift = state == cxbsPressed ? painter->ButtonTextShift() : 0;
  const Integer border = painter->ButtonBorderSize(state);
  const TRect content = cxRectInflate(main, -border, -border);
  TcxRegion* savedClip = canvas.GetClipRegion();
  canvas.IntersectClipRect(content);
  DrawGlyphAndCaption(&canvas, content, state, shift);
  canvas.SetClipRegion(savedClip, roSet);

  if (FKind == cxbkDropDownButton) {
    const TRect part{main.Right, client.Top, client.Right, client.Bottom};
    TcxButtonState partState = state;
    if (GetEnabled()) partState = FMenuVisible || FMenuDropping ? cxbsPressed : (FIsHot ? cxbsHot : cxbsNormal);
    painter->DrawButton(&canvas, part, "", partState, true, color);
    painter->DrawScrollBarArrow(&canvas, part, partState, adDown);
  }
  if (focused && !FMenuVisible) {
    const TRect focus = painter->ButtonFocusRect(&canvas, main);
    canvas.GetBrush()->SetStyle(bsSolid);
    DrawFocusRect(canvas.GetHandle(), &focus);
  }
}

void TcxCustomButton::DrawGlyphAndCaption(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState, Integer AShift) {
  const bool hasGlyph = !FButtonGlyph->IsEmpty();
  const TSize glyph = FButtonGlyph->GetSize();
  const AnsiString caption = GetText();
  HDC dc = ACanvas->GetHandle();
  TSize text{0, 0};
  UINT format = DT_CENTER | DT_VCENTER | static_cast<UINT>(DrawTextBiDiModeFlagsReadingOnly());
  if (!caption.empty()) {
    RECT calc{0, 0, R.Width(), 0};
    DrawTextA(dc, caption.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    if (!hasGlyph && calc.Width() > R.Width()) {
      // Too long for one line: the caption may break, as there is no glyph.
      calc = RECT{0, 0, R.Width(), 0};
      DrawTextA(dc, caption.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK);
      format |= DT_WORDBREAK;
    } else {
      format |= DT_SINGLELINE;
    }
    text = {calc.Width(), calc.Height()};
  }
  const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  const Integer available = horizontal ? R.Width() : R.Height();
  const Integer glyphLength = horizontal ? glyph.cx : glyph.cy;
  const Integer textLength = horizontal ? text.cx : text.cy;
  const bool both = hasGlyph && !caption.empty();
  Integer spacing = both ? FSpacing : 0, margin = FMargin;
  if (margin == -1) {
    if (both && FSpacing == -1)
      margin = spacing = (available - glyphLength - textLength) / 3;
    else
      margin = (available - glyphLength - spacing - textLength) / 2;
  } else if (both && FSpacing == -1) {
    spacing = (available - margin - glyphLength - textLength) / 2;
  }

  TPoint glyphPos, textPos;
  switch (FLayout) {
    case blGlyphLeft:
      glyphPos = {margin, (R.Height() - glyph.cy) / 2};
      textPos = {margin + glyphLength + spacing, (R.Height() - text.cy) / 2};
      break;
    case blGlyphRight:
      glyphPos = {available - margin - glyphLength, (R.Height() - glyph.cy) / 2};
      textPos = {glyphPos.X - spacing - textLength, (R.Height() - text.cy) / 2};
      break;
    case blGlyphTop:
      glyphPos = {(R.Width() - glyph.cx) / 2, margin};
      textPos = {(R.Width() - text.cx) / 2, margin + glyphLength + spacing};
      break;
    case blGlyphBottom:
      glyphPos = {(R.Width() - glyph.cx) / 2, available - margin - glyphLength};
      textPos = {(R.Width() - text.cx) / 2, glyphPos.Y - spacing - textLength};
      break;
  }
  const TPoint origin{R.Left + AShift, R.Top + AShift};
  if (hasGlyph) FButtonGlyph->Draw(ACanvas->GetCanvas(), {origin.X + glyphPos.X, origin.Y + glyphPos.Y}, AState);
  if (caption.empty()) return;

  TRect textRect{origin.X + textPos.X, origin.Y + textPos.Y, origin.X + textPos.X + text.cx,
                 origin.Y + textPos.Y + text.cy};
  if (!hasGlyph) textRect = TRect{textRect.Left - 1, textRect.Top, textRect.Right + 2, textRect.Bottom};
  ACanvas->GetBrush()->SetStyle(bsClear);
  dc = ACanvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  if (AState == cxbsDisabled) {
    RECT shadow = cxRectOffset(textRect, 1, 1);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    DrawTextA(dc, caption.c_str(), -1, &shadow, format);
  }
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(ACanvas->GetFont()->GetColor())));
  RECT r = textRect;
  DrawTextA(dc, caption.c_str(), -1, &r, format);
}
