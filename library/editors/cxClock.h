// The analog clock beside the month in the calendar's date-time kind:
// twelve hour marks on a circle, filled hour and minute hands and a red
// second line, drawn for one time of day.
#pragma once

#include "library/foundation/cxControls.h"

class TcxClock : public TcxControl {
  ORV_CLASS(TcxClock, TcxControl)
 public:
  explicit TcxClock(TComponent* AOwner);

  TColor GetMinuteDotColor() const { return FMinuteDotColor; }
  void SetMinuteDotColor(TColor Value);
  // Only the time of day counts.
  TDateTime GetTime() const { return FTime; }
  void SetTime(TDateTime Value);

  // The corners of the filled hands, the end of the second line and the
  // centres of the hour marks, for a clock of the control's size. Tests
  // read the hands' angles from them.
  struct THands {
    TPoint Hour[4];
    TPoint Minute[4];
    TPoint SecondEnd;
    TPoint Marks[12];
  };
  THands CalculateHands() const;

 protected:
  void Paint() override;

 private:
  TColor FMinuteDotColor = clWindow;
  TDateTime FTime = 0;
};
