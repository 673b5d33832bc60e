#include "platform/forms/StdCtrls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"

using namespace win;

// ---- TCustomLabel ----

ORV_REGISTER(TCustomLabel)
ORV_REGISTER(TLabel, ORV_PROP(Caption), ORV_PROP(AutoSize).Default(true),
             ORV_PROP(Alignment).Default(taLeftJustify), ORV_PROP(Layout).Default(tlTop),
             ORV_PROP(WordWrap).Default(false), ORV_PROP(Transparent), ORV_PROP(ShowAccelChar).Default(true),
             ORV_PROP(FocusControl))

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable, csOpaque};
  FWidth = 65;
  FHeight = 17;
  FAutoSize = true;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  AnsiString text = GetText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(FFont);
  if (Flags & DT_CALCRECT) {
    // Measuring works without a DC of the parent's window.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToObj(FFont->GetHandle()));
    DrawTextA(dc, text.c_str(), -1, &Rect, Flags);
    SelectObject(dc, old);
    DeleteDC(dc);
    return;
  }
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  if (!FEnabled) {
    // Disabled: an embossed caption, a highlight under the shadow.
    TRect shifted = Rect;
    shifted.Left += 1;
    shifted.Top += 1;
    shifted.Right += 1;
    shifted.Bottom += 1;
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    DrawTextA(dc, text.c_str(), -1, &shifted, Flags);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
  } else {
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  }
  DrawTextA(dc, text.c_str(), -1, &Rect, Flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  if (!GetTransparent()) {
    canvas->GetBrush()->SetColor(FColor);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
  flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
  if (FLayout != tlTop) {
    TRect measured = r;
    DoDrawText(measured, flags | DT_CALCRECT);
    Integer offset = r.Height() - measured.Height();
    r.Top += FLayout == tlBottom ? offset : offset / 2;
  }
  DoDrawText(r, flags);
}

bool TCustomLabel::CanAutoSizeTo(Integer& NewWidth, Integer& NewHeight) {
  TRect r = Rect(0, 0, FWordWrap ? FWidth : 0, 0);
  DoDrawText(r, DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0));
  NewWidth = r.Width();
  NewHeight = r.Height();
  return true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (GetTransparent() == Value) return;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustSize();
}

// The caption's mnemonic focuses the label's control.
void TCustomLabel::CMDialogChar(TMessage& Message) {
  Message.Result = 0;
  if (FFocusControl && FEnabled && FShowAccelChar && IsAccel(static_cast<Word>(Message.WParam), GetText()) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    Message.Result = 1;
  }
}

// ---- TBevel ----

ORV_REGISTER(TBevel, ORV_PROP(Shape).Default(bsBox), ORV_PROP(Style).Default(bsLowered))

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

// Lowered: shadow on the top and left, highlight on the bottom and right;
// raised the other way round. A frame is two boxes, one inside the other.
void TBevel::Paint() {
  TCanvas* c = GetCanvas();
  c->GetPen()->SetWidth(1);
  c->GetPen()->SetStyle(psSolid);
  TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  auto line = [c](TColor color, Integer x1, Integer y1, Integer x2, Integer y2) {
    c->GetPen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  auto box = [c](TColor topLeft, TColor bottomRight, const TRect& r) {
    c->GetPen()->SetColor(topLeft);
    c->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    c->GetPen()->SetColor(bottomRight);
    c->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
  };
  Integer w = FWidth, h = FHeight;
  switch (FShape) {
    case bsBox: box(first, second, Rect(0, 0, w - 1, h - 1)); break;
    case bsFrame:
      box(second, second, Rect(1, 1, w - 1, h - 1));
      box(first, first, Rect(0, 0, w - 2, h - 2));
      break;
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ---- TImage ----

ORV_REGISTER(TImage, ORV_PROP_RW(Picture, GetPicture, SetPicture), ORV_PROP(Center).Default(false),
             ORV_PROP(Stretch).Default(false), ORV_PROP(Transparent).Default(false), ORV_PROP(AutoSize).Default(false))

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FPicture = New<TPicture>();
  FPicture->OnChange = TNotifyEvent::Bind<&TImage::PictureChanged>(this);
  FWidth = 105;
  FHeight = 105;
}

TImage::~TImage() { FreeAndNil(FPicture); }

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  PictureChanged(this);
}

bool TImage::CanAutoSizeTo(Integer& NewWidth, Integer& NewHeight) {
  if (FPicture->GetWidth() <= 0 || FPicture->GetHeight() <= 0) return false;
  NewWidth = FPicture->GetWidth();
  NewHeight = FPicture->GetHeight();
  return true;
}

TRect TImage::DestRect() {
  Integer w = FPicture->GetWidth(), h = FPicture->GetHeight();
  if (FStretch) return Rect(0, 0, FWidth, FHeight);
  if (FCenter) return Bounds((FWidth - w) / 2, (FHeight - h) / 2, w, h);
  return Rect(0, 0, w, h);
}

void TImage::PictureChanged(TObject*) {
  if (TGraphic* g = FPicture->GetGraphic()) {
    if (g->GetTransparent() != FTransparent) g->SetTransparent(FTransparent);
  }
  AdjustSize();
  // A picture that covers the control paints all of it.
  TGraphic* g = FPicture->GetGraphic();
  bool covers = g && !g->Empty() && !FTransparent && (FStretch || (FPicture->GetWidth() >= FWidth &&
                                                                   FPicture->GetHeight() >= FHeight && !FCenter));
  if (covers)
    FControlStyle.Include(csOpaque);
  else
    FControlStyle.Exclude(csOpaque);
  Invalidate();
}

void TImage::Paint() {
  TGraphic* g = FPicture->GetGraphic();
  if (!g || g->Empty()) return;
  GetCanvas()->StretchDraw(DestRect(), g);
}
