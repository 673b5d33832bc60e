#include "library/grid/container/cxPaintBuffer.h"

#include <algorithm>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/win/Metrics.h"

TcxPaintBuffer::TcxPaintBuffer() : FCanvas(New<TCanvas>()), FcxCanvas(New<TcxCanvas>(FCanvas)) {}

TcxPaintBuffer::~TcxPaintBuffer() {
  FCanvas->SetHandle(nullptr);  // gives the DC back what the canvas selected
  FreeAndNil(FcxCanvas);
  FreeAndNil(FCanvas);
  if (FDC) win::DeleteDC(FDC);
  if (FBitmap) win::DeleteObject(win::ToObj(FBitmap));
}

std::shared_ptr<TcxPaintBuffer> TcxPaintBuffer::OfThisThread() {
  // Held by the painters only: the buffer goes with the last of them, while
  // the class library is still there to free its canvases.
  thread_local std::weak_ptr<TcxPaintBuffer> current;
  std::shared_ptr<TcxPaintBuffer> buffer = current.lock();
  if (!buffer) {
    buffer = std::make_shared<TcxPaintBuffer>();
    current = buffer;
  }
  return buffer;
}

void TcxPaintBuffer::Fit(Integer AWidth, Integer AHeight) {
  AWidth = std::max<Integer>(AWidth, 1);
  AHeight = std::max<Integer>(AHeight, 1);
  if (FBitmap && AWidth <= FWidth && AHeight <= FHeight) return;
  // Made anew only when a wider or taller control comes; nothing is kept,
  // as every paint draws all it shows.
  const Integer width = (std::max(AWidth, FWidth) + 63) / 64 * 64;
  const Integer height = std::max({AHeight, FHeight, win::GetSystemMetrics(win::SM_CYVIRTUALSCREEN)});
  win::BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(win::BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = win::BI_RGB;
  void* bits = nullptr;
  win::HBITMAP bitmap = win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw std::bad_alloc();
  if (!FDC) FDC = win::CreateCompatibleDC(nullptr);
  win::SelectObject(FDC, win::ToObj(bitmap));
  if (FBitmap) win::DeleteObject(win::ToObj(FBitmap));
  FBitmap = bitmap;
  FWidth = width;
  FHeight = height;
  // The canvas starts afresh on the DC: nothing it selected holds over.
  FCanvas->SetHandle(nullptr);
  FCanvas->SetHandle(FDC);
}

TcxPaintBuffer::TLease::TLease(TcxPaintBuffer& ABuffer, Integer AWidth, Integer AHeight)
    : FShared(ABuffer), FUsed(&ABuffer) {
  if (FShared.FBusy) {
    FOwn = std::make_unique<TcxPaintBuffer>();
    FUsed = FOwn.get();
  }
  FUsed->Fit(AWidth, AHeight);
  FUsed->FBusy = true;
}

TcxPaintBuffer::TLease::~TLease() { FUsed->FBusy = false; }
