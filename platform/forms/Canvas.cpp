#include "platform/forms/Canvas.h"

#include "platform/forms/Bitmap.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Numbers.h"

using namespace win;

TCanvas::TCanvas() {
  FFont = New<TFont>();
  FFont->OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
  FPen = New<TPen>();
  FPen->OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
  FBrush = New<TBrush>();
  FBrush->OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  FFont->Free();
  FPen->Free();
  FBrush->Free();
}

// ---- State ----

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  if (FHandle) DeselectHandles();
  FHandle = Value;
  FState = Value ? TCanvasState{csHandleValid} : TCanvasState{};
}

HDC TCanvas::GetHandle() {
  Changing();
  RequiredState(csAllValid);
  return FHandle;
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  FState += needed;
}

void TCanvas::CreateFont() {
  SelectObject(FHandle, FFont->GetHandle());
  SetTextColor(FHandle, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())) & 0xFFFFFF);
}

void TCanvas::CreatePen() {
  SelectObject(FHandle, FPen->GetHandle());
  SetROP2(FHandle, PenModeToRop2(FPen->GetMode()));
}

void TCanvas::CreateBrush() {
  SelectObject(FHandle, FBrush->GetHandle());
  if (FBrush->IsClear() || FBrush->GetStyle() != bsSolid) {
    // Text backgrounds and hatch gaps stay as they are.
    SetBkMode(FHandle, TRANSPARENT);
  } else {
    SetBkColor(FHandle, static_cast<COLORREF>(ColorToRGB(FBrush->GetColor())) & 0xFFFFFF);
    SetBkMode(FHandle, OPAQUE);
  }
}

void TCanvas::DeselectHandles() {
  // The stock objects free the tools' handles from the DC, so a tool can
  // delete its handle the moment it changes.
  if (FHandle && !(FState * TCanvasState{csFontValid, csPenValid, csBrushValid}).Empty()) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::FontChanged(TObject*) {
  if (FState.Contains(csFontValid)) {
    FState.Exclude(csFontValid);
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (FState.Contains(csPenValid)) {
    FState.Exclude(csPenValid);
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (FState.Contains(csBrushValid)) {
    FState.Exclude(csBrushValid);
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

TPoint TCanvas::GetPenPos() {
  RequiredState({csHandleValid});
  TPoint p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TColor TCanvas::GetPixels(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixelV(FHandle, X, Y, static_cast<COLORREF>(ColorToRGB(Value)) & 0xFFFFFF);
  Changed();
}

TRect TCanvas::GetClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

// ---- Drawing ----

void TCanvas::MoveTo(Integer X, Integer Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(Integer X, Integer Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  win::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  if (FBrush->IsClear()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::FillRect(FHandle, &Rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  if (FBrush->IsClear()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::FrameRect(FHandle, &Rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  win::DrawFocusRect(FHandle, &Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  // The font and brush give the colours a monochrome source is painted in.
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), static_cast<DWORD>(FCopyMode));
  Changed();
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->GetWidth(), Graphic->GetHeight()), Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csAllValid);
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  int w = Dest.Width(), h = Dest.Height();
  if (!Bitmap || Bitmap->Empty() || w <= 0 || h <= 0) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  // The source part at the destination's size, then a mask of its pixels
  // of the colour (1 there); the masked pixels take the brush, or keep the
  // destination when the brush is clear.
  HDC src = TGraphic::CanvasDC(Bitmap->GetCanvas());
  HDC work = CreateCompatibleDC(nullptr);
  HBITMAP image = CreateBitmap(w, h, 1, 32, nullptr);
  HGDIOBJ oldImage = SelectObject(work, ToObj(image));
  SetStretchBltMode(work, COLORONCOLOR);
  // A monochrome source shows black and white, not the work DC's colours.
  SetTextColor(work, RGB(0, 0, 0));
  SetBkColor(work, RGB(255, 255, 255));
  StretchBlt(work, 0, 0, w, h, src, Source.Left, Source.Top, Source.Width(), Source.Height(), SRCCOPY);
  HDC maskDc = CreateCompatibleDC(nullptr);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDc, ToObj(mask));
  SetBkColor(work, static_cast<COLORREF>(ColorToRGB(Color)) & 0xFFFFFF);
  BitBlt(maskDc, 0, 0, w, h, work, 0, 0, SRCCOPY);
  SelectObject(maskDc, oldMask);
  DeleteDC(maskDc);
  constexpr DWORD kKeepDest = 0x00AA0029;
  DWORD fore = FBrush->IsClear() ? kKeepDest : PATCOPY;
  MaskBlt(FHandle, Dest.Left, Dest.Top, w, h, work, 0, 0, mask, 0, 0, MAKEROP4(fore, SRCCOPY));
  SelectObject(work, oldImage);
  DeleteDC(work);
  DeleteObject(image);
  DeleteObject(mask);
  Changed();
}

// ---- Text ----

void TCanvas::TextOut(Integer X, Integer Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(FHandle, X, Y, 0, nullptr, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  SIZE size{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
  // Past the end of the range the pen stops there (where MoveToEx holds
  // every position anyway) rather than wrapping round to the far side.
  MoveToEx(FHandle, ClampToInteger(static_cast<Int64>(X) + size.cx), Y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED;
  if (!FBrush->IsClear()) options |= ETO_OPAQUE;
  ExtTextOutA(FHandle, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const AnsiString& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &size);
  return size;
}

ORV_REGISTER(TCanvas, ORV_PROP(CopyMode).Default(cmSrcCopy), ORV_PROP(Font), ORV_PROP(Pen), ORV_PROP(Brush))
