#include "platform/forms/DragImageList.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/WindowDC.h"
#include "platform/win/Window.h"

using namespace win;

namespace {
// The image is drawn over the window's children too, as it follows the
// pointer across them.
HDC TrackingDC(HWND Window) { return GetDCEx(Window, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE); }
}  // namespace

TDragImageList::~TDragImageList() { EndDrag(); }

bool TDragImageList::SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY) {
  if (Index < 0 || Index >= GetCount()) return false;
  bool shown = FShown;
  if (shown) Erase();
  FDragIndex = Index;
  FHotSpot = TPoint{HotSpotX, HotSpotY};
  if (shown) Paint();
  return true;
}

bool TDragImageList::BeginDrag(HWND Window, Integer X, Integer Y) {
  if (FDragWindow || !IsWindow(Window) || FDragIndex < 0 || FDragIndex >= GetCount()) return false;
  FDragWindow = Window;
  FPos = TPoint{X, Y};
  Paint();
  return true;
}

bool TDragImageList::DragMove(Integer X, Integer Y) {
  if (!FDragWindow) return false;
  bool shown = FShown;
  if (shown) Erase();
  FPos = TPoint{X, Y};
  if (shown) Paint();
  return true;
}

bool TDragImageList::EndDrag() {
  if (!FDragWindow) return false;
  Erase();
  FDragWindow = nullptr;
  return true;
}

bool TDragImageList::ShowDragImage() {
  if (!FDragWindow) return false;
  if (!FShown) Paint();
  return true;
}

bool TDragImageList::HideDragImage() {
  if (!FDragWindow) return false;
  Erase();
  return true;
}

void TDragImageList::Paint() {
  if (FShown || !IsWindow(FDragWindow)) return;
  HDC dc = TrackingDC(FDragWindow);
  if (!dc) return;
  FUnderRect = TRect{FPos.X - FHotSpot.X, FPos.Y - FHotSpot.Y, FPos.X - FHotSpot.X + GetWidth(),
                     FPos.Y - FHotSpot.Y + GetHeight()};
  FUnder = CreateBitmap(GetWidth(), GetHeight(), 1, 32, nullptr);
  if (FUnder) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, ToObj(FUnder));
    BitBlt(mem, 0, 0, GetWidth(), GetHeight(), dc, FUnderRect.Left, FUnderRect.Top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    TCanvas* canvas = New<TCanvas>();
    canvas->SetHandle(dc);
    Draw(canvas, FUnderRect.Left, FUnderRect.Top, FDragIndex);
    canvas->SetHandle(nullptr);
    canvas->Free();
    FShown = true;
  }
  ReleaseDC(FDragWindow, dc);
}

void TDragImageList::Erase() {
  if (!FShown) return;
  FShown = false;
  // A window gone meanwhile has nothing to put back.
  if (HDC dc = IsWindow(FDragWindow) ? TrackingDC(FDragWindow) : nullptr) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, ToObj(FUnder));
    BitBlt(dc, FUnderRect.Left, FUnderRect.Top, FUnderRect.Width(), FUnderRect.Height(), mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(FDragWindow, dc);
  }
  DeleteObject(FUnder);
  FUnder = nullptr;
}

ORV_REGISTER(TDragImageList)
