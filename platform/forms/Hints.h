// Hints: the small window that shows a control's hint, and the class the
// application makes it from. The window works on its own as well (grids
// show their cell hints with it directly), without the application's
// timing.
#pragma once

#include "platform/forms/Controls.h"

class THintWindow : public TCustomControl {
  ORV_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);

  // The size the text needs, at most MaxWidth wide, at the origin.
  virtual TRect CalcHintRect(Integer MaxWidth, const AnsiString& AHint, void* AData);
  // Shows the text in Rect (screen coordinates, kept on the screen),
  // without taking the activation.
  virtual void ActivateHint(TRect Rect, const AnsiString& AHint);
  virtual void ActivateHintData(TRect Rect, const AnsiString& AHint, void* AData);
  // Hides the window and lets its handle go.
  void ReleaseHandle();
  bool IsHintShowing();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& Message);
  ORV_MESSAGE(win::WM_NCHITTEST, WMNCHitTest)
};

// The class of the application's hint window; a program may set its own.
extern TClassRef<THintWindow> HintWindowClass;

// The part of a hint before '|' (the short hint) and after it (the long one).
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);
