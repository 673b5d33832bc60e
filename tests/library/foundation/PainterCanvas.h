// A bitmap with a library canvas over it, for painter tests, and the
// theme session with the Office-11 palette built for its length.
#pragma once

#include <string>

#include "ThemeSession.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/dxOffice11.h"

constexpr TColor kPaper = 0x00FF00;  // a colour no painter uses

class PainterCanvas {
 public:
  PainterCanvas(Integer AWidth, Integer AHeight, TColor AColor = kPaper)
      : FBitmap(cxCreateBitmap(AWidth, AHeight)), FCanvas(FBitmap->GetCanvas()) {
    Clear(AColor);
  }
  ~PainterCanvas() { FBitmap->Free(); }
  PainterCanvas(const PainterCanvas&) = delete;
  PainterCanvas& operator=(const PainterCanvas&) = delete;

  TcxCanvas* operator->() { return &FCanvas; }
  TcxCanvas* get() { return &FCanvas; }
  TBitmap* Bitmap() const { return FBitmap; }
  TColor At(Integer X, Integer Y) { return FCanvas.GetPixel(X, Y); }
  void Clear(TColor AColor) {
    FCanvas.GetBrush()->SetStyle(bsSolid);
    FCanvas.SetBrushColor(AColor);
    FCanvas.FillRect(TRect{0, 0, FBitmap->GetWidth(), FBitmap->GetHeight()});
  }
  // Every pixel, for comparing two drawings.
  std::vector<TColor> Pixels() {
    std::vector<TColor> p;
    for (Integer y = 0; y < FBitmap->GetHeight(); ++y)
      for (Integer x = 0; x < FBitmap->GetWidth(); ++x) p.push_back(At(x, y));
    return p;
  }

 private:
  TBitmap* FBitmap;
  TcxCanvas FCanvas;
};

class PainterSession : public ThemeSession {
 protected:
  void SetUp() override {
    ThemeSession::SetUp();
    CreateOffice11Colors();
  }
  void TearDown() override {
    ReleaseOffice11Colors();
    cxLookAndFeelPaintersFinalize();
    ThemeSession::TearDown();
  }
};
