// Shared fixtures for the class-library drawing tests: a canvas over a
// memory DC with a fresh 32-bit bitmap, and leak counters that must come
// back to where a test started.
#pragma once

#include <gtest/gtest.h>

#include "platform/forms/Canvas.h"
#include "platform/gdi/Gdi.h"

namespace forms_test {

// A canvas drawing into a white w x h bitmap of its own.
class MemCanvas {
 public:
  MemCanvas(int w, int h) {
    Dc = win::CreateCompatibleDC(nullptr);
    Bmp = win::CreateBitmap(w, h, 1, 32, nullptr);
    Old = win::SelectObject(Dc, win::ToObj(Bmp));
    win::PatBlt(Dc, 0, 0, w, h, win::WHITENESS);
    Canvas = New<TCanvas>();
    Canvas->SetHandle(Dc);
  }
  ~MemCanvas() {
    Canvas->Free();
    win::SelectObject(Dc, Old);
    win::DeleteDC(Dc);
    win::DeleteObject(Bmp);
  }
  MemCanvas(const MemCanvas&) = delete;
  MemCanvas& operator=(const MemCanvas&) = delete;

  TColor At(int x, int y) { return Canvas->GetPixels(x, y); }
  TCanvas* operator->() { return Canvas; }

  win::HDC Dc;
  win::HBITMAP Bmp;
  win::HGDIOBJ Old;
  TCanvas* Canvas;
};

// Objects and drawing handles alive at the start of a test must be all
// that is alive at its end.
class LeakCheck {
 public:
  LeakCheck() : FObjects(TObject::LiveCount()), FGdi(win::GdiLiveObjectCount()) {}
  ~LeakCheck() {
    EXPECT_EQ(TObject::LiveCount(), FObjects) << "class-library objects leaked or freed twice";
    EXPECT_EQ(win::GdiLiveObjectCount(), FGdi) << "drawing handles leaked or freed twice";
  }

 private:
  Int64 FObjects;
  int FGdi;
};

}  // namespace forms_test
