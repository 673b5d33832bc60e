#include "library/foundation/cxScrollBar.h"

#include <algorithm>

#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Blits.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/win/Metrics.h"

using namespace win;

ORV_REGISTER(TcxScrollBar, ORV_PROP(Kind).Default(sbHorizontal), ORV_PROP(LargeChange).Default(1),
             ORV_PROP(LookAndFeel), ORV_PROP(Max).Default(100), ORV_PROP(Min).Default(0), ORV_PROP(PageSize),
             ORV_PROP(Position).Default(0), ORV_PROP(SmallChange).Default(1),
             ORV_PROP(UnlimitedTracking).Default(false), ORV_EVENT(OnChange), ORV_EVENT(OnScroll))

namespace {

const TResStringRec SScrollBarRange{"cxScrollBar", 65514};

void RegisterTexts() {
  static const bool done = [] {
    RegisterResStrings("cxScrollBar", {{65514, "Scrollbar property out of range"}});
    return true;
  }();
  (void)done;
}

// How far the pointer may wander from a dragged thumb's bar before the
// thumb snaps back: along the bar and across it.
constexpr Integer kTrackToleranceAlong = 34;
constexpr Integer kTrackToleranceAcross = 136;
constexpr Integer kMinThumbnailSize = 8;
constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT kRepeatInterval = 60;

TScrollBarInc ClampInc(Integer Value) { return static_cast<TScrollBarInc>(std::clamp<Integer>(Value, 1, 32767)); }

// A * B / C rounded half away from zero, as MulDiv rounds, but in 64 bits:
// a range may span all of Integer (Max - Min up to 2^32 - 1), and pixel
// counts times such a range still fit.
Int64 Scale(Int64 A, Int64 B, Int64 C) {
  const Int64 p = A * B;
  Int64 q = p / C;
  const Int64 r = p % C;
  if (r != 0 && 2 * (r < 0 ? -r : r) >= (C < 0 ? -C : C)) q += ((p < 0) == (C < 0)) ? 1 : -1;
  return q;
}

}  // namespace

TSize GetScrollBarSize() { return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FBitmap = New<TBitmap>();
  FBitmap->SetPixelFormat(pfDevice);
  FBitmapCanvas = New<TcxCanvas>(FBitmap->GetCanvas());
  FLookAndFeel = New<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent::Bind<&TcxScrollBar::LookAndFeelChangedHandler>(this);
  FControlStyle = TControlStyle{csFramed, csOpaque, csCaptureMouse};
  FThemeNotificator = New<TdxThemeChangedNotificator>();
  FThemeNotificator->SetOnThemeChanged([this] { ThemeChanged(); });
  FTimer = New<TcxTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kFirstRepeatDelay);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxScrollBar::TimerHandler>(this));
  SetBounds(GetLeft(), GetTop(), 121, GetScrollBarSize().cy);
  CalcMinThumbnailSize();
  CalculateRects();
}

void TcxScrollBar::BeforeDestruction() {
  inherited::BeforeDestruction();
  FTimer->SetEnabled(false);
}

TcxScrollBar::~TcxScrollBar() {
  FTimer->Free();
  FThemeNotificator->Free();
  FLookAndFeel->Free();
  FBitmapCanvas->Free();
  FBitmap->Free();
}

// ---------------------------------------------------------------------------
// The model

void TcxScrollBar::SetScrollParams(Integer AMin, Integer AMax, Integer APosition, Integer APageSize, bool ARedraw) {
  if (AMax < AMin || AMax < APageSize) {
    RegisterTexts();
    throw EInvalidOperation(SScrollBarRange);
  }
  const bool redraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  if (APosition == FPosition) {
    CalculateThumbnailRect();
    if (redraw) Repaint();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  CalculateThumbnailRect();
  if (redraw) Repaint();
  Change();
}

void TcxScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  SetScrollParams(AMin, AMax, APosition, FPageSize);
}

void TcxScrollBar::SetSmallChange(Integer Value) { FSmallChange = ClampInc(Value); }

void TcxScrollBar::SetLargeChange(Integer Value) { FLargeChange = ClampInc(Value); }

void TcxScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TcxScrollBar::Scroll(TScrollCode ScrollCode, Integer& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TcxScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (GetComponentState().Contains(csLoading)) {
    CalculateRects();
  } else {
    SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  }
  Invalidate();
}

void TcxScrollBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const TRect old = GetBoundsRect();
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (old != GetBoundsRect() && GetWidth() >= 1 && GetHeight() >= 1) CalculateRects();
}

TcxCustomLookAndFeelPainterClass TcxScrollBar::GetPainter() const {
  return FLookAndFeel->GetAvailablePainter(totScrollBar);
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  CalcMinThumbnailSize();
  CalculateRects();
  Invalidate();
}

void TcxScrollBar::ThemeChanged() {
  UpdateScrollBarBitmaps();
  CalcMinThumbnailSize();
  CalculateRects();
  Invalidate();
  if (GetParent()) GetParent()->Invalidate();
}

// ---------------------------------------------------------------------------
// Geometry

void TcxScrollBar::CalcMinThumbnailSize() {
  FMinThumbnailSize = kMinThumbnailSize;
  if (GetPainter() != TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())) return;
  TdxTheme theme = OpenTheme(totScrollBar);
  if (!theme) return;
  // The gripper parts: 8 lies on a horizontal thumb, 9 on a vertical one.
  const int part = FKind == sbHorizontal ? 8 : 9;
  SIZE minSize{}, trueSize{};
  if (GetThemePartSize(theme, nullptr, part, 1, TS_MIN, &minSize) != S_OK) return;
  Integer size = FKind == sbHorizontal ? minSize.cx : minSize.cy;
  if (GetThemePartSize(theme, nullptr, part, 1, TS_TRUE, &trueSize) == S_OK)
    size = std::max(size, (FKind == sbHorizontal ? trueSize.cx : trueSize.cy) + 4);
  FMinThumbnailSize = std::max(size, kMinThumbnailSize);
}

void TcxScrollBar::CalculateRects() {
  const Integer w = GetWidth(), h = GetHeight();
  if (FKind == sbVertical) {
    const Integer a = std::min(GetSystemMetrics(SM_CXVSCROLL), h / 2);
    FLineUpRect = TRect{0, 0, w, a};
    FLineDownRect = TRect{0, h - a, w, h};
  } else {
    const Integer a = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
    FLineUpRect = TRect{0, 0, a, h};
    FLineDownRect = TRect{w - a, 0, w, h};
  }
  CalculateThumbnailRect();
}

void TcxScrollBar::CalculateThumbnailRect() {
  FThumbnailRect = TRect{};
  if (!GetEnabled()) return AdjustPagesRects();
  const bool vert = FKind == sbVertical;
  const Integer trackStart = vert ? FLineUpRect.Bottom : FLineUpRect.Right;
  const Integer track = (vert ? FLineDownRect.Top : FLineDownRect.Left) - trackStart;
  // The range and the position within it, in 64 bits: Max - Min of a
  // range as wide as Integer does not fit in one.
  const Int64 span = Int64(FMax) - FMin;
  const Int64 moved = Int64(FPosition) - FMin;
  Integer length, offset;
  if (FPageSize != 0) {
    if (track < FMinThumbnailSize || span == 0) return AdjustPagesRects();
    length = static_cast<Integer>(
        std::max<Int64>(std::min<Int64>(track, Scale(FPageSize, track, span + 1)), FMinThumbnailSize));
    const Int64 range = span - (Int64(FPageSize) - 1);
    // A page as large as the whole range leaves nothing to scroll: the
    // thumb stays at the start of the track.
    offset = range > 0 ? static_cast<Integer>(Scale(track - length, std::min(moved, range), range)) : 0;
  } else {
    length = GetSystemMetrics(vert ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (track < length) return AdjustPagesRects();
    offset = track - length > 0 && span != 0 ? static_cast<Integer>(Scale(track - length, moved, span)) : 0;
  }
  FThumbnailRect = vert ? TRect{0, trackStart + offset, GetWidth(), trackStart + offset + length}
                        : TRect{trackStart + offset, 0, trackStart + offset + length, GetHeight()};
  AdjustPagesRects();
}

void TcxScrollBar::AdjustPagesRects() {
  if (cxRectIsEmpty(FThumbnailRect)) {
    FPageUpRect = FPageDownRect = TRect{};
  } else if (FKind == sbVertical) {
    FPageUpRect = TRect{0, FLineUpRect.Bottom, GetWidth(), FThumbnailRect.Top};
    FPageDownRect = TRect{0, FThumbnailRect.Bottom, GetWidth(), FLineDownRect.Top};
  } else {
    FPageUpRect = TRect{FLineUpRect.Right, 0, FThumbnailRect.Left, GetHeight()};
    FPageDownRect = TRect{FThumbnailRect.Right, 0, FLineDownRect.Left, GetHeight()};
  }
}

Integer TcxScrollBar::GetPositionFromThumbnail() const {
  Int64 range = Int64(FMax) - FMin;
  if (FPageSize > 0) range -= FPageSize - 1;
  const bool vert = FKind == sbVertical;
  const Integer free = vert ? (FLineDownRect.Top - FLineUpRect.Bottom) - FThumbnailRect.Height()
                            : (FLineDownRect.Left - FLineUpRect.Right) - FThumbnailRect.Width();
  // A thumb that fills its track has only one place: the start.
  if (free <= 0) return FMin;
  const Integer moved = vert ? FThumbnailRect.Top - FLineUpRect.Bottom : FThumbnailRect.Left - FLineUpRect.Right;
  return static_cast<Integer>(std::clamp<Int64>(FMin + Scale(range, moved, free), FMin, FMax));
}

TcxScrollBarPart TcxScrollBar::GetScrollBarPart(const TPoint& P) const {
  if (!cxRectPtIn(TRect{0, 0, GetWidth(), GetHeight()}, P)) return sbpNone;
  if (cxRectPtIn(FLineUpRect, P)) return sbpLineUp;
  if (cxRectPtIn(FLineDownRect, P)) return sbpLineDown;
  if (cxRectIsEmpty(FThumbnailRect)) return sbpNone;
  if (cxRectPtIn(FThumbnailRect, P)) return sbpThumbnail;
  if (cxRectPtIn(FPageUpRect, P)) return sbpPageUp;
  if (cxRectPtIn(FPageDownRect, P)) return sbpPageDown;
  return sbpNone;
}

// ---------------------------------------------------------------------------
// Scrolling

void TcxScrollBar::InternalScroll(TScrollCode AScrollCode) {
  // A step past an end of a range that reaches an end of Integer must stop
  // at that end, not wrap round to the other.
  Int64 next = FPosition;
  switch (AScrollCode) {
    case scLineUp: next -= FSmallChange; break;
    case scLineDown: next += FSmallChange; break;
    case scPageUp: next -= FLargeChange; break;
    case scPageDown: next += FLargeChange; break;
    case scTop: next = FMin; break;
    case scBottom: next = FMax; break;
    default: break;
  }
  Integer pos = static_cast<Integer>(std::clamp<Int64>(next, FMin, FMax));
  Scroll(AScrollCode, pos);
  pos = std::clamp(pos, FMin, FMax);
  if (pos == FPosition) return;
  if (AScrollCode == scTrack) {
    FPosition = pos;
    if (HandleAllocated()) Repaint();
  } else {
    SetPosition(pos);
  }
}

void TcxScrollBar::DoScroll(TcxScrollBarPart APart) {
  switch (APart) {
    case sbpLineUp: return InternalScroll(scLineUp);
    case sbpLineDown: return InternalScroll(scLineDown);
    case sbpThumbnail: return InternalScroll(scTrack);
    case sbpPageUp: return InternalScroll(scPageUp);
    case sbpPageDown: return InternalScroll(scPageDown);
    case sbpNone: break;
  }
}

void TcxScrollBar::CancelScroll() {
  if (FPressedPart == sbpNone) return;
  if (FPressedPart == sbpThumbnail) {
    FPosition = GetPositionFromThumbnail();
    InternalScroll(scPosition);
  }
  FTimer->SetEnabled(false);
  FPressedPart = FHotPart = sbpNone;
  InternalScroll(scEndScroll);
  CalculateThumbnailRect();
  Invalidate();
}

void TcxScrollBar::TimerHandler(TObject*) {
  const bool repeats = FPressedPart == sbpLineUp || FPressedPart == sbpLineDown || FPressedPart == sbpPageUp ||
                       FPressedPart == sbpPageDown;
  if (!GetMouseCapture() || !repeats) return CancelScroll();
  if (FTimer->GetInterval() == kFirstRepeatDelay) FTimer->SetInterval(kRepeatInterval);
  DoScroll(FPressedPart);
  FTimer->SetEnabled(GetScrollBarPart(ScreenToClient(GetMouseCursorPos())) == FPressedPart);
}

// ---------------------------------------------------------------------------
// Mouse

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxScrollBarPart part = GetScrollBarPart({X, Y});
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    FDragStartPoint = {X, Y};
    FDragStartPosition = FPosition;
    FDragStartThumbLeft = FThumbnailRect.Left;
    FDragStartThumbTop = FThumbnailRect.Top;
    InternalScroll(scTrack);
  }
  FPressedPart = FHotPart = part;
  if (part != sbpThumbnail) {
    DoScroll(part);
    FTimer->SetInterval(kFirstRepeatDelay);
    FTimer->SetEnabled(true);
  }
  Repaint();
}

void TcxScrollBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FPressedPart != sbpThumbnail) {
    const TcxScrollBarPart part = GetScrollBarPart({X, Y});
    if (FPressedPart != sbpNone) FTimer->SetEnabled(part == FPressedPart);
    if (part != FHotPart) {
      FHotPart = part;
      if (GetPainter()->IsButtonHotTrack()) Repaint();
    }
    return;
  }
  const bool vert = FKind == sbVertical;
  const TRect tolerance =
      vert ? TRect{-kTrackToleranceAcross, -kTrackToleranceAlong, GetWidth() + kTrackToleranceAcross,
                   GetHeight() + kTrackToleranceAlong}
           : TRect{-kTrackToleranceAlong, -kTrackToleranceAcross, GetWidth() + kTrackToleranceAlong,
                   GetHeight() + kTrackToleranceAcross};
  if (!FUnlimitedTracking && !cxRectPtIn(tolerance, {X, Y})) {
    if (FPosition != FDragStartPosition) {
      SetPosition(FDragStartPosition);
      DoScroll(sbpThumbnail);
    }
    return;
  }
  if (vert) {
    const Integer length = FThumbnailRect.Height();
    const Integer top =
        std::clamp(FDragStartThumbTop + Y - FDragStartPoint.Y, FLineUpRect.Bottom, FLineDownRect.Top - length);
    FThumbnailRect = TRect{0, top, GetWidth(), top + length};
  } else {
    const Integer length = FThumbnailRect.Width();
    const Integer left =
        std::clamp(FDragStartThumbLeft + X - FDragStartPoint.X, FLineUpRect.Right, FLineDownRect.Left - length);
    FThumbnailRect = TRect{left, 0, left + length, GetHeight()};
  }
  AdjustPagesRects();
  Repaint();
  const Integer pos = GetPositionFromThumbnail();
  if (pos != FPosition) {
    FPosition = pos;
    DoScroll(sbpThumbnail);
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  CancelScroll();
  FHotPart = GetScrollBarPart({X, Y});
}

void TcxScrollBar::MouseEnter() {
  if (GetPainter()->IsButtonHotTrack() || (FPressedPart != sbpNone && FPressedPart != sbpThumbnail)) Repaint();
}

void TcxScrollBar::MouseLeave() {
  if (FPressedPart == sbpThumbnail) return;
  FHotPart = sbpNone;
  Invalidate();
}

// ---------------------------------------------------------------------------
// Painting

TcxButtonState TcxScrollBar::GetPartState(TcxScrollBarPart APart) const {
  if (!GetEnabled()) return cxbsDisabled;
  if (APart == sbpThumbnail && !GetPainter()->IsButtonHotTrack()) return cxbsNormal;
  if (FPressedPart != sbpNone) return APart == FPressedPart && APart == FHotPart ? cxbsPressed : cxbsNormal;
  if (APart == FHotPart && !GetComponentState().Contains(csDesigning)) return cxbsHot;
  return cxbsNormal;
}

void TcxScrollBar::Paint() {
  if (GetWidth() < 1 || GetHeight() < 1) return;
  // The buffer takes the bar's size when it is painted: a bar is sized
  // several times as its control is made, and most bars are never shown.
  if (FBitmap->GetWidth() != GetWidth() || FBitmap->GetHeight() != GetHeight())
    FBitmap->SetSize(GetWidth(), GetHeight());
  const TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const bool horz = FKind == sbHorizontal;
  if (!cxRectIsEmpty(FThumbnailRect))
    painter->DrawScrollBarPart(FBitmapCanvas, horz, FThumbnailRect, sbpThumbnail, GetPartState(sbpThumbnail));
  else
    painter->DrawScrollBarPart(FBitmapCanvas, horz, TRect{0, 0, GetWidth(), GetHeight()}, sbpPageUp,
                               GetEnabled() ? cxbsNormal : cxbsDisabled);
  painter->DrawScrollBarPart(FBitmapCanvas, horz, FLineUpRect, sbpLineUp, GetPartState(sbpLineUp));
  painter->DrawScrollBarPart(FBitmapCanvas, horz, FLineDownRect, sbpLineDown, GetPartState(sbpLineDown));
  if (!cxRectIsEmpty(FPageUpRect))
    painter->DrawScrollBarPart(FBitmapCanvas, horz, FPageUpRect, sbpPageUp, GetPartState(sbpPageUp));
  if (!cxRectIsEmpty(FPageDownRect))
    painter->DrawScrollBarPart(FBitmapCanvas, horz, FPageDownRect, sbpPageDown, GetPartState(sbpPageDown));
  BitBlt(GetCanvas()->GetHandle(), 0, 0, GetWidth(), GetHeight(), FBitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Messages

void TcxScrollBar::CNHScroll(TMessage& Message) { InternalScroll(static_cast<TScrollCode>(LOWORD(Message.WParam))); }

void TcxScrollBar::CNVScroll(TMessage& Message) { InternalScroll(static_cast<TScrollCode>(LOWORD(Message.WParam))); }

void TcxScrollBar::WMCancelMode(TMessage& Message) {
  CancelScroll();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxScrollBar::CMVisibleChanged(TMessage& Message) {
  if (!GetVisible()) CancelScroll();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxScrollBar::CMEnabledChanged(TMessage& Message) {
  if (!GetEnabled()) CancelScroll();
  CalculateThumbnailRect();
  Invalidate();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxScrollBar::CMSysColorChange(TMessage& Message) {
  UpdateScrollBarBitmaps();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxScrollBar::CMColorChanged(TMessage& Message) {
  UpdateScrollBarBitmaps();
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxScrollBar::CMMouseEnter(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  MouseEnter();
}

void TcxScrollBar::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  MouseLeave();
}
