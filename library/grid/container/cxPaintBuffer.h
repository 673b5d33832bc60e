// The off-screen pixels a buffered painter draws a paint in before the
// paint goes to the window in one copy. A paint runs to its end before the
// next one on its thread starts, so the buffered painters of a thread share
// one buffer rather than each keeping a bitmap the size of its control.
// A paint buffers only what it can show of its control (a control far
// larger than its parent shows a small part of itself). The buffer's rows
// are as wide as the widest such part (in steps of 64 pixels) and there
// are as many as the screen has: the pages come
// zeroed from the system and are taken only as paints write them, so the
// grids of a form cost the rows of the tallest, not the rows of all of
// them. A paint that starts while another is drawing in the shared buffer
// (a handler painting one control from inside another's paint) gets a
// buffer of its own for its duration.
#pragma once

#include <memory>

#include "library/foundation/cxGraphics.h"

class TcxPaintBuffer {
 public:
  // One paint's use of a buffer: a canvas on at least the width and height
  // asked for. Pixels the paint does not draw hold nothing of its own.
  class TLease {
   public:
    TLease(TcxPaintBuffer& ABuffer, Integer AWidth, Integer AHeight);
    ~TLease();
    TLease(const TLease&) = delete;
    TLease& operator=(const TLease&) = delete;

    TcxCanvas* Canvas() const { return FUsed->FcxCanvas; }
    // The memory DC the canvas draws on.
    win::HDC Handle() const { return FUsed->FDC; }

   private:
    TcxPaintBuffer& FShared;
    std::unique_ptr<TcxPaintBuffer> FOwn;  // while the shared one is busy
    TcxPaintBuffer* FUsed;
  };

  TcxPaintBuffer();
  ~TcxPaintBuffer();
  TcxPaintBuffer(const TcxPaintBuffer&) = delete;
  TcxPaintBuffer& operator=(const TcxPaintBuffer&) = delete;

  // The calling thread's buffer, kept while any painter holds it.
  static std::shared_ptr<TcxPaintBuffer> OfThisThread();

 private:
  void Fit(Integer AWidth, Integer AHeight);

  win::HDC FDC = nullptr;
  win::HBITMAP FBitmap = nullptr;
  Integer FWidth = 0, FHeight = 0;
  TCanvas* FCanvas;
  TcxCanvas* FcxCanvas;
  bool FBusy = false;
};
