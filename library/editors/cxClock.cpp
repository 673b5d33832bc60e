#include "library/editors/cxClock.h"

#include <cmath>
#include <numbers>

ORV_REGISTER(TcxClock, ORV_PROP(TabStop).Default(true), ORV_PROP(Color).Default(clWindow),
             ORV_PROP(MinuteDotColor).Default(clWindow),
             ORV_PROP(Time).Stored(false))

namespace {

constexpr TColor kTeal = 0x808000;
constexpr TColor kAqua = 0xFFFF00;
constexpr TColor kRed = 0x0000FF;

TPoint PointAt(double ACenterX, double ACenterY, double ARadiusX, double ARadiusY, double AAngle) {
  return TPoint(static_cast<Integer>(std::lround(ACenterX + std::cos(AAngle) * ARadiusX)),
                static_cast<Integer>(std::lround(ACenterY + std::sin(AAngle) * ARadiusY)));
}

}  // namespace

TcxClock::TcxClock(TComponent* AOwner) : TcxControl(AOwner) {
  SetColor(clWindow);
  SetTabStop(false);
  TControlStyle style = GetControlStyle();
  style.Include(csOpaque);
  SetControlStyle(style);
}

void TcxClock::SetMinuteDotColor(TColor Value) {
  if (FMinuteDotColor == Value) return;
  FMinuteDotColor = Value;
  Invalidate();
}

void TcxClock::SetTime(TDateTime Value) {
  // A time that is no number (NaN, an infinity) shows midnight: the hands
  // are worked out in whole seconds, which such a time has none of.
  const double time = std::isfinite(Value.Value) ? std::fabs(Value.Value - std::trunc(Value.Value)) : 0.0;
  if (FTime.Value == time) return;
  FTime = time;
  Invalidate();
}

// Angles run clockwise from 3 o'clock on the screen; the offsets of the
// hands put 12 o'clock at the top.
TcxClock::THands TcxClock::CalculateHands() const {
  THands hands{};
  const double cx = GetWidth() / 2, cy = GetHeight() / 2;
  const double rx = GetWidth() / 2.0 - 2, ry = GetHeight() / 2.0 - 2;
  for (Integer i = 0; i < 12; ++i) hands.Marks[i] = PointAt(cx, cy, rx, ry, i * 5 * 2 * std::numbers::pi / 60);

  const double totalSeconds = std::round(FTime.Value * 86400.0);
  const Integer seconds = static_cast<Integer>(totalSeconds) % 60;
  const Integer minutes = static_cast<Integer>(totalSeconds) / 60 % 60;
  const Integer hours = static_cast<Integer>(totalSeconds) / 3600 % 24;
  auto hand = [&](TPoint (&APoints)[4], double AAngle, double ATip, double ATail, double AWidth) {
    APoints[0] = PointAt(cx, cy, rx * ATip, ry * ATip, AAngle);
    APoints[1] = PointAt(cx, cy, AWidth / 2, AWidth / 2, AAngle + std::numbers::pi / 2);
    APoints[2] = PointAt(cx, cy, rx * ATail, ry * ATail, AAngle + std::numbers::pi);
    APoints[3] = PointAt(cx, cy, AWidth / 2, AWidth / 2, AAngle - std::numbers::pi / 2);
  };
  const double hourAngle = ((hours % 12) * 3600.0 + minutes * 60 + seconds - 10800) * 2 * std::numbers::pi / 43200;
  const double minuteAngle = (minutes * 60.0 + seconds - 900) * 2 * std::numbers::pi / 3600;
  hand(hands.Hour, hourAngle, 0.75, 0.15, 9);
  hand(hands.Minute, minuteAngle, 0.85, 0.2, 7);
  hands.SecondEnd = PointAt(cx, cy, rx * 0.9, ry * 0.9, (seconds - 15) * 2 * std::numbers::pi / 60);
  return hands;
}

void TcxClock::Paint() {
  TcxCanvas* canvas = GetCanvas();
  const THands hands = CalculateHands();
  // Each mark is a small raised square: a light edge up and left, a dark
  // one down and right, a teal centre; then left out of the fill.
  for (const TPoint& p : hands.Marks) {
    canvas->SetPixel(p.X, p.Y, kTeal);
    canvas->GetPen()->SetColor(kAqua);
    canvas->MoveTo(p.X - 1, p.Y + 1);
    canvas->LineTo(p.X - 1, p.Y - 1);
    canvas->LineTo(p.X + 2, p.Y - 1);
    canvas->GetPen()->SetColor(clBtnText);
    canvas->MoveTo(p.X, p.Y + 1);
    canvas->LineTo(p.X + 1, p.Y + 1);
    canvas->LineTo(p.X + 1, p.Y - 2);
    canvas->ExcludeClipRect(TRect(p.X - 1, p.Y - 1, p.X + 2, p.Y + 2));
  }
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  canvas->GetPen()->SetColor(kTeal);
  canvas->GetBrush()->SetColor(kTeal);
  canvas->Polygon(hands.Hour);
  canvas->Polygon(hands.Minute);
  canvas->GetPen()->SetColor(kRed);
  canvas->MoveTo(GetWidth() / 2, GetHeight() / 2);
  canvas->LineTo(hands.SecondEnd.X, hands.SecondEnd.Y);
}
