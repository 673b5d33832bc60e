#include "platform/forms/ExtCtrls.h"

#include <algorithm>

#include "platform/forms/Graphics.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/WindowStyles.h"

using namespace win;

ORV_REGISTER(TCustomPanel)
ORV_REGISTER(TPanel, ORV_PROP(Alignment).Default(taCenter), ORV_PROP(BevelInner).Default(bvNone),
             ORV_PROP(BevelOuter).Default(bvRaised), ORV_PROP(BevelWidth).Default(1),
             ORV_PROP(BorderStyle).Default(bsNone), ORV_PROP(Caption))

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable};
  FWidth = 185;
  FHeight = 41;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FBorderStyle != bsSingle) return;
  if (FCtl3D)
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

// Two bevels of the widest width take more room than Integer holds: the
// sum and the insets are worked in 64 bits and stop at the range's end.
Integer TCustomPanel::BevelSpace() const {
  return ClampToInteger(Int64((FBevelOuter != bvNone) + (FBevelInner != bvNone)) * FBevelWidth);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  const Int64 inset = BevelSpace();
  Rect.Left = ClampToInteger(Rect.Left + inset);
  Rect.Top = ClampToInteger(Rect.Top + inset);
  Rect.Right = std::max(Rect.Left, ClampToInteger(Rect.Right - inset));
  Rect.Bottom = std::max(Rect.Top, ClampToInteger(Rect.Bottom - inset));
}

void TCustomPanel::BevelChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  BevelChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  BevelChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  Value = std::max<TBevelWidth>(Value, 1);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  BevelChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  inherited::DispatchFrom(inherited::StaticClass(), Message);
  Invalidate();
}

namespace {
// Draws a Width-pixel frame just inside R, top and left in TopColor, right
// and bottom in BottomColor, and moves R inside it.
void Frame3D(TCanvas* C, TRect& R, TColor TopColor, TColor BottomColor, Integer Width) {
  C->GetPen()->SetWidth(1);
  C->GetPen()->SetStyle(psSolid);
  for (Integer i = 0; i < Width && R.Width() > 0 && R.Height() > 0; ++i) {
    Integer l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;
    C->GetPen()->SetColor(TopColor);
    C->Polyline({{l, b}, {l, t}, {r, t}});
    C->GetPen()->SetColor(BottomColor);
    C->Polyline({{r, t}, {r, b}, {l - 1, b}});
    R = Rect(R.Left + 1, R.Top + 1, std::max(R.Left + 1, R.Right - 1), std::max(R.Top + 1, R.Bottom - 1));
  }
}
}  // namespace

void TCustomPanel::Paint() {
  TCanvas* c = GetCanvas();
  TRect r = GetClientRect();
  // With its parent's background the panel's face is the parent's colour.
  TColor face = GetParentBackground() && FParent ? FParent->GetColor() : FColor;
  auto bevel = [&](TPanelBevel kind) {
    if (kind == bvNone) return;
    TColor light = kind == bvRaised ? clBtnHighlight : kind == bvLowered ? clBtnShadow : face;
    TColor dark = kind == bvRaised ? clBtnShadow : kind == bvLowered ? clBtnHighlight : face;
    Frame3D(c, r, light, dark, FBevelWidth);
  };
  bevel(FBevelOuter);
  bevel(FBevelInner);
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(face);
  c->FillRect(r);

  AnsiString text = GetText();
  if (text.empty()) return;
  c->GetFont()->Assign(FFont);
  HDC dc = c->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FEnabled ? FFont->GetColor() : clGrayText));
  UINT align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  RECT tr = r;
  DrawTextA(dc, text.c_str(), -1, &tr, align | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}
