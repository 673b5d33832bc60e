#include "library/grid/container/cxInplaceContainerDragAndDrop.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxScrollBar.h"
#include "library/foundation/cxGeometry.h"
#include "platform/forms/Bitmap.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/gdi/Blits.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Hooks.h"
#include "platform/win/Metrics.h"
#include "platform/win/Modules.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowStyles.h"

ORV_REGISTER(TcxSizingDragAndDropObject)
ORV_REGISTER(TcxAutoScrollingObject)
ORV_REGISTER(TcxDragDropObjectAutoScrollingObject)
ORV_REGISTER(TcxControllerAutoScrollingObject)
ORV_REGISTER(TcxBaseDragAndDropObject)
ORV_REGISTER(TcxCustomControlDragAndDropObject)
ORV_REGISTER(TcxDragImageHelper)

namespace {

constexpr Byte kDragImageAlpha = 200;

// Halves go to the even neighbour, as the default rounding mode does.
Integer RoundEven(double AValue) { return static_cast<Integer>(std::nearbyint(AValue)); }

TcxCustomControlController* ControllerOf(TcxControl* AControl) {
  auto* control = dynamic_cast<TcxEditingControl*>(AControl);
  return control ? control->GetController() : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Sizing

TcxCustomControlController* TcxSizingDragAndDropObject::GetController() { return ControllerOf(GetControl()); }

IcxDragSizing* TcxSizingDragAndDropObject::GetSizing() {
  TcxCustomControlController* controller = GetController();
  return controller ? dynamic_cast<IcxDragSizing*>(controller->DragItem) : nullptr;
}

void TcxSizingDragAndDropObject::BeginDragAndDrop() {
  IcxDragSizing* sizing = GetSizing();
  if (!sizing) Abort();
  FDirection = GetController()->GetResizeDirection();
  FSizingBounds = sizing->GetSizingBoundsRect(FDirection);
  FIncrement = std::max(1, sizing->GetSizingIncrement(FDirection));
  FStartPos = GetCurMousePos();
  FDragPos = GetDragPos(FStartPos);
  FDynamicUpdate = sizing->IsDynamicUpdate();
  inherited::BeginDragAndDrop();
}

TPoint TcxSizingDragAndDropObject::GetDragPos(const TPoint& P) {
  TPoint result = FStartPos;
  const Integer start = Along(FStartPos);
  const Integer pos = start + RoundEven(static_cast<double>(Along(P) - start) / FIncrement) * FIncrement;
  (FDirection == dsdHorz ? result.X : result.Y) = pos;
  return result;
}

TRect TcxSizingDragAndDropObject::GetSizingMarkBounds() {
  TRect R = FSizingBounds;
  if (FDirection == dsdHorz) {
    R.Left = FDragPos.X - 1;
    R.Right = FDragPos.X;
  } else {
    R.Top = FDragPos.Y - 1;
    R.Bottom = FDragPos.Y;
  }
  return R;
}

void TcxSizingDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  const Integer along = Along(P);
  const bool inBounds = FDirection == dsdHorz ? along >= FSizingBounds.Left && along <= FSizingBounds.Right
                                              : along >= FSizingBounds.Top && along <= FSizingBounds.Bottom;
  if (!inBounds) return;
  const Integer moved = along - Along(FStartPos);
  // A live drag applies whole steps only; a drag applied on release takes
  // the nearest step.
  FDelta = FDynamicUpdate ? moved / FIncrement : RoundEven(static_cast<double>(moved) / FIncrement);
  const TPoint dragPos = GetDragPos(P);
  if (FDelta == 0 && dragPos == FDragPos) return;
  SetDirty(true);
  FDragPos = dragPos;
  if (FDynamicUpdate) {
    if (FDelta != 0) GetSizing()->SetSizeDelta(FDirection, FDelta);
    FStartPos = P;
  }
  inherited::DragAndDrop(P, Accepted);
}

void TcxSizingDragAndDropObject::DirtyChanged() {
  if (!FDynamicUpdate) {
    const TRect mark = GetSizingMarkBounds();
    TRect visible;
    if (cxRectIntersect(visible, mark, GetControl()->GetClientBounds())) GetCanvas()->InvertRect(mark);
  }
  inherited::DirtyChanged();
}

void TcxSizingDragAndDropObject::EndDragAndDrop(bool Accepted) {
  inherited::EndDragAndDrop(Accepted);
  TcxCustomControlController* controller = GetController();
  if (!FDynamicUpdate && FDelta != 0 && controller && !controller->EscapePressed)
    if (IcxDragSizing* sizing = GetSizing()) sizing->SetSizeDelta(FDirection, FDelta);
}

TCursor TcxSizingDragAndDropObject::GetDragAndDropCursor(bool) { return FDirection == dsdHorz ? crHSplit : crVSplit; }

// ---------------------------------------------------------------------------
// Auto-scrolling

TcxAutoScrollingObject::TcxAutoScrollingObject(TObject* AOwner) : FOwner(AOwner) {
  FTimer = New<TcxTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(50);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxAutoScrollingObject::TimerHandler>(this));
}

TcxAutoScrollingObject::~TcxAutoScrollingObject() { FTimer->Free(); }

void TcxAutoScrollingObject::SetParams(const TRect& ARect, TScrollBarKind AKind, TScrollCode ACode,
                                       Integer AIncrement) {
  FArea = ARect;
  FCode = ACode;
  FKind = AKind;
  FIncrement = ACode == scLineUp ? -AIncrement : AIncrement;
}

bool TcxAutoScrollingObject::Check(const TPoint& P) {
  const bool inside = cxRectPtIn(FArea, P);
  SetTimerEnabled(inside);
  return inside;
}

void TcxAutoScrollingObject::Stop() { SetTimerEnabled(false); }

bool TcxAutoScrollingObject::GetTimerEnabled() const { return FTimer->GetEnabled(); }

void TcxAutoScrollingObject::SetTimerEnabled(bool Value) { FTimer->SetEnabled(Value); }

TcxControlScrollBar* TcxAutoScrollingObject::GetScrollBar(TScrollBarKind AKind) {
  TcxControl* control = GetControl();
  if (!control) return nullptr;
  return AKind == sbHorizontal ? control->GetHScrollBar() : control->GetVScrollBar();
}

void TcxAutoScrollingObject::ScrollBy(TScrollBarKind AKind, TScrollCode ACode, Integer AIncrement) {
  TcxControlScrollBar* bar = GetScrollBar(AKind);
  TcxCustomControlController* controller = ControllerOf(GetControl());
  if (!bar || !controller) return;
  const Integer position = bar->GetPosition();
  const Integer last = std::max(bar->GetMin(), bar->GetMax() - bar->GetPageSize() + 1);
  Integer newPosition = std::clamp(position + AIncrement, bar->GetMin(), last);
  if (bar->GetVisible() && newPosition != position) controller->Scroll(AKind, ACode, newPosition);
}

void TcxAutoScrollingObject::DoScrollInspectingControl() { ScrollBy(FKind, FCode, FIncrement); }

void TcxAutoScrollingObject::TimerHandler(TObject*) { DoScrollInspectingControl(); }

TcxControl* TcxDragDropObjectAutoScrollingObject::GetControl() {
  auto* object = dynamic_cast<TcxDragAndDropObject*>(GetOwner());
  return object ? object->GetControl() : nullptr;
}

TcxControl* TcxControllerAutoScrollingObject::GetControl() {
  auto* controller = dynamic_cast<TcxCustomControlController*>(GetOwner());
  return controller ? controller->GetEditingControl() : nullptr;
}

void TcxControllerAutoScrollingObject::SetBoundsParams(const TRect& ARect, bool AHorizontal, bool AVertical,
                                                       Integer AIncrement) {
  FArea = ARect;
  FHorizontal = AHorizontal;
  FVertical = AVertical;
  FIncrement = AIncrement;
  FBoundsMode = true;
}

bool TcxControllerAutoScrollingObject::CheckBounds(const TPoint& P) {
  FDirections.Clear();
  const bool outside = !cxRectPtIn(FArea, P);
  if (outside) {
    if (FHorizontal) {
      if (P.X <= FArea.Left)
        FDirections.Include(asdLeft);
      else if (P.X >= FArea.Right)
        FDirections.Include(asdRight);
    }
    if (FVertical) {
      if (P.Y <= FArea.Top)
        FDirections.Include(asdUp);
      else if (P.Y >= FArea.Bottom)
        FDirections.Include(asdDown);
    }
  }
  const bool run = outside && !FDirections.Empty();
  SetTimerEnabled(run);
  return run;
}

void TcxControllerAutoScrollingObject::TimerHandler(TObject* Sender) {
  if (!FBoundsMode) {
    inherited::TimerHandler(Sender);
    return;
  }
  for (TcxAutoScrollDirection direction : {asdLeft, asdUp, asdRight, asdDown}) {
    if (!FDirections.Contains(direction)) continue;
    const TScrollBarKind kind = direction == asdLeft || direction == asdRight ? sbHorizontal : sbVertical;
    const TScrollCode code = direction == asdLeft || direction == asdUp ? scLineUp : scLineDown;
    ScrollBy(kind, code, code == scLineDown ? FIncrement : -FIncrement);
  }
}

// ---------------------------------------------------------------------------
// Drags with an image

TcxEditingControl* TcxBaseDragAndDropObject::GetEditingControl() const {
  return static_cast<TcxEditingControl*>(GetControl());
}

TCursor TcxBaseDragAndDropObject::GetDragAndDropCursor(bool Accepted) {
  return Accepted ? GetEditingControl()->GetDragCursor() : crNoDrop;
}

namespace {

// The headless back end's virtual screen is ours to read and write; a real
// display's is not: there the picture goes into a window of its own.
bool ScreenIsOurs() { return std::string(win::BackEnd().Name()) == "headless"; }

// A topmost window that takes neither the focus nor the mouse and shows
// the blended picture where the screen cannot be written.
class TDragImageWindow {
 public:
  static void Show(const TRect& R, TBitmap* APicture) {
    if (!FHandle) Create();
    if (!FPicture) FPicture = New<TBitmap>();
    FPicture->Assign(APicture);
    win::SetWindowPos(FHandle, win::HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(),
                      win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
    win::InvalidateRect(FHandle, nullptr, false);
    win::UpdateWindow(FHandle);
  }
  static void Hide() {
    if (FHandle) win::DestroyWindow(FHandle);
    FHandle = nullptr;
    if (FPicture) FPicture->Free();
    FPicture = nullptr;
  }
  static win::HWND Handle() { return FHandle; }

 private:
  static win::LRESULT WndProc(win::HWND AWnd, win::UINT AMsg, win::WPARAM wParam, win::LPARAM lParam) {
    switch (AMsg) {
      case win::WM_NCHITTEST:
        return win::HTTRANSPARENT;
      case win::WM_MOUSEACTIVATE:
        return win::MA_NOACTIVATE;
      case win::WM_ERASEBKGND:
        return 1;
      case win::WM_PAINT: {
        win::PAINTSTRUCT ps{};
        win::HDC dc = win::BeginPaint(AWnd, &ps);
        if (FPicture)
          win::BitBlt(dc, 0, 0, FPicture->GetWidth(), FPicture->GetHeight(), FPicture->GetCanvas()->GetHandle(), 0, 0,
                      win::SRCCOPY);
        win::EndPaint(AWnd, &ps);
        return 0;
      }
      default:
        return win::DefWindowProcA(AWnd, AMsg, wParam, lParam);
    }
  }
  static void Create() {
    static const char* const kClass = "OrvantaDragImage";
    win::WNDCLASSA wc{};
    if (!win::GetClassInfoA(win::ProgramInstance(), kClass, &wc)) {
      wc = {};
      wc.lpfnWndProc = &WndProc;
      wc.hInstance = win::ProgramInstance();
      wc.lpszClassName = kClass;
      win::RegisterClassA(&wc);
    }
    FHandle = win::CreateWindowExA(
        win::WS_EX_TOPMOST | win::WS_EX_NOACTIVATE | win::WS_EX_TOOLWINDOW | win::WS_EX_TRANSPARENT, kClass, "",
        win::WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, win::ProgramInstance(), nullptr);
  }
  static inline win::HWND FHandle = nullptr;
  static inline TBitmap* FPicture = nullptr;
};

}  // namespace

void TcxDragImageScreen::Read(TBitmap* ABitmap, const TPoint& ADest, const TRect& R) {
  win::HDC dest = ABitmap->GetCanvas()->GetHandle();
  if (ScreenIsOurs()) {
    win::HDC screen = win::GetDC(nullptr);
    win::BitBlt(dest, ADest.X, ADest.Y, R.Width(), R.Height(), screen, R.Left, R.Top, win::SRCCOPY);
    win::ReleaseDC(nullptr, screen);
    return;
  }
  // What lies under R as far as it is known: the desktop's colour, and
  // over it our own windows from the bottom up.
  TCanvas* canvas = ABitmap->GetCanvas();
  canvas->GetBrush()->SetColor(static_cast<TColor>(win::GetSysColor(win::COLOR_BACKGROUND)));
  canvas->FillRect({ADest.X, ADest.Y, ADest.X + R.Width(), ADest.Y + R.Height()});
  std::vector<win::HWND> windows;
  for (win::HWND w = win::GetWindow(win::GetDesktopWindow(), win::GW_CHILD); w; w = win::GetWindow(w, win::GW_HWNDNEXT))
    if (w != TDragImageWindow::Handle() && win::IsWindowVisible(w)) windows.push_back(w);
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    TRect frame{}, part{};
    win::GetWindowRect(*it, &frame);
    if (!cxRectIntersect(part, frame, R)) continue;
    win::HDC dc = win::GetWindowDC(*it);
    win::BitBlt(dest, ADest.X + part.Left - R.Left, ADest.Y + part.Top - R.Top, part.Width(), part.Height(), dc,
                part.Left - frame.Left, part.Top - frame.Top, win::SRCCOPY);
    win::ReleaseDC(*it, dc);
  }
}

void TcxDragImageScreen::Write(const TRect& R, TBitmap* ABitmap, const TPoint& ASource) {
  if (!ScreenIsOurs()) return;
  win::HDC screen = win::GetDC(nullptr);
  win::BitBlt(screen, R.Left, R.Top, R.Width(), R.Height(), ABitmap->GetCanvas()->GetHandle(), ASource.X, ASource.Y,
              win::SRCCOPY);
  win::ReleaseDC(nullptr, screen);
}

void TcxDragImageScreen::Shown(const TRect& R, TBitmap* APicture) {
  if (!ScreenIsOurs()) TDragImageWindow::Show(R, APicture);
}

void TcxDragImageScreen::Hidden() {
  if (!ScreenIsOurs()) TDragImageWindow::Hide();
}

TcxDragImage::~TcxDragImage() {
  if (FImage) FImage->Free();
  if (FBackground) FBackground->Free();
  if (FBlended) FBlended->Free();
}

void TcxDragImage::Init(Integer AWidth, Integer AHeight) {
  FImageRect = {0, 0, AWidth, AHeight};
  for (TBitmap** bitmap : {&FImage, &FBackground, &FBlended}) {
    if (!*bitmap) *bitmap = New<TBitmap>();
    (*bitmap)->SetPixelFormat(pf24bit);
    (*bitmap)->SetSize(AWidth, AHeight);
  }
}

void TcxDragImage::SaveBackground(const TPoint& P) {
  if (FBackground) TcxDragImageScreen::Read(FBackground, {0, 0}, cxRectOffset(FImageRect, P));
}

void TcxDragImage::RestoreBackground(const TPoint& P) {
  if (FBackground) TcxDragImageScreen::Write(cxRectOffset(FImageRect, P), FBackground, {0, 0});
}

void TcxDragImage::Draw(const TPoint& P) {
  if (!FImage) return;
  cxAlphaBlend(FBlended, FBackground, FImage, kDragImageAlpha);
  TcxDragImageScreen::Write(cxRectOffset(FImageRect, P), FBlended, {0, 0});
  TcxDragImageScreen::Shown(cxRectOffset(FImageRect, P), FBlended);
}

void TcxDragImage::Show(const TPoint& P) {
  SaveBackground(P);
  Draw(P);
}

void TcxDragImage::Hide(const TPoint& P) {
  RestoreBackground(P);
  TcxDragImageScreen::Hidden();
}

void TcxDragImage::Move(const TPoint& AOld, const TPoint& ANew) {
  if (!FImage || AOld == ANew) return;
  const TRect oldRect = cxRectOffset(FImageRect, AOld);
  const TRect newRect = cxRectOffset(FImageRect, ANew);
  TRect common;
  if (!cxRectIntersect(common, oldRect, newRect)) {
    RestoreBackground(AOld);
    Show(ANew);
    return;
  }
  // The new background: the part both places share comes from the old
  // background, the rest from the screen; then the screen gets back what
  // the old place uncovers.
  TOwned<TBitmap> background(New<TBitmap>());
  background->SetPixelFormat(pf24bit);
  background->SetSize(FImageRect.Width(), FImageRect.Height());
  auto subtract = [](const TRect& A, const TRect& B) {
    // A less B as up to four strips.
    std::vector<TRect> strips;
    TRect inner;
    if (!cxRectIntersect(inner, A, B)) return std::vector<TRect>{A};
    if (A.Top < inner.Top) strips.push_back({A.Left, A.Top, A.Right, inner.Top});
    if (inner.Bottom < A.Bottom) strips.push_back({A.Left, inner.Bottom, A.Right, A.Bottom});
    if (A.Left < inner.Left) strips.push_back({A.Left, inner.Top, inner.Left, inner.Bottom});
    if (inner.Right < A.Right) strips.push_back({inner.Right, inner.Top, A.Right, inner.Bottom});
    return strips;
  };
  for (const TRect& strip : subtract(newRect, oldRect))
    TcxDragImageScreen::Read(background.get(), {strip.Left - newRect.Left, strip.Top - newRect.Top}, strip);
  win::BitBlt(background->GetCanvas()->GetHandle(), common.Left - newRect.Left, common.Top - newRect.Top,
              common.Width(), common.Height(), FBackground->GetCanvas()->GetHandle(), common.Left - oldRect.Left,
              common.Top - oldRect.Top, win::SRCCOPY);
  for (const TRect& strip : subtract(oldRect, newRect))
    TcxDragImageScreen::Write(strip, FBackground, {strip.Left - oldRect.Left, strip.Top - oldRect.Top});
  FBackground->Assign(background.get());
  Draw(ANew);
}

TcxCustomControlDragAndDropObject::~TcxCustomControlDragAndDropObject() {
  for (TcxAutoScrollingObject* object : FAutoScrollObjects) object->Free();
}

TcxAutoScrollingObjectClass TcxCustomControlDragAndDropObject::GetAutoScrollingObjectClass() {
  return TcxDragDropObjectAutoScrollingObject::StaticClass();
}

void TcxCustomControlDragAndDropObject::AddAutoScrollingObject(const TRect& ARect, TScrollBarKind AKind,
                                                               TScrollCode ACode) {
  auto* object = GetAutoScrollingObjectClass().Construct<TObject*>(this);
  object->SetParams(ARect, AKind, ACode, AKind == sbVertical ? GetVertScrollInc() : GetHorzScrollInc());
  FAutoScrollObjects.push_back(object);
}

void TcxCustomControlDragAndDropObject::CheckScrolling(const TPoint& P) {
  for (TcxAutoScrollingObject* object : FAutoScrollObjects)
    if (object->Check(P)) break;
}

void TcxCustomControlDragAndDropObject::StopScrolling() {
  for (TcxAutoScrollingObject* object : FAutoScrollObjects) object->Stop();
}

TcxCustomHitTestController* TcxCustomControlDragAndDropObject::GetHitTestController() {
  return GetEditingControl()->GetController()->GetHitTestController();
}

TCursor TcxCustomControlDragAndDropObject::GetDragAndDropCursor(bool Accepted) {
  return Accepted ? crDefault : crcxNoDrop;
}

TPoint TcxCustomControlDragAndDropObject::ImagePlace(const TPoint& P) const {
  return {FScreenOrigin.X + FHotSpot.X + P.X, FScreenOrigin.Y + FHotSpot.Y + P.Y};
}

void TcxCustomControlDragAndDropObject::DrawDragImage() {
  const TRect R = GetDisplayRect();
  FDragImage.Init(R.Width(), R.Height());
  const TPoint mouse = GetCurMousePos();
  FHotSpot = {R.Left - mouse.X, R.Top - mouse.Y};
  FScreenOrigin = GetControl()->GetClientOrigin();
  // What is dragged is painted into the image, moved so that R lands at
  // (0, 0).
  TOwned<TcxCanvas> canvas(New<TcxCanvas>(FDragImage.GetImage()->GetCanvas()));
  canvas->SetWindowOrg({R.Left, R.Top});
  Paint(canvas.get());
  FDragImage.Show(ImagePlace(mouse));
}

void TcxCustomControlDragAndDropObject::BeginDragAndDrop() {
  inherited::BeginDragAndDrop();
  DrawDragImage();
}

void TcxCustomControlDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  inherited::DragAndDrop(P, Accepted);
  FDragImage.Move(ImagePlace(GetPrevMousePos()), ImagePlace(GetCurMousePos()));
  CheckScrolling(P);
  FAccepted = Accepted;
}

void TcxCustomControlDragAndDropObject::EndDragAndDrop(bool Accepted) {
  StopScrolling();
  FDragImage.Hide(ImagePlace(GetCurMousePos()));
  inherited::EndDragAndDrop(Accepted);
}

void TcxCustomControlDragAndDropObject::OwnerImageChanging() { FDragImage.Hide(ImagePlace(GetCurMousePos())); }

void TcxCustomControlDragAndDropObject::OwnerImageChanged() { FDragImage.Show(ImagePlace(GetCurMousePos())); }

// ---------------------------------------------------------------------------
// The image of a drag between controls

TcxDragImageHelper::TcxDragImageHelper(TcxEditingControl* AControl, TPoint ADragPos)
    : FControl(AControl), FDragStart(ADragPos) {}

void TcxDragImageHelper::AfterConstruction() {
  inherited::AfterConstruction();
  InitDragImage();
}

TcxDragImageHelper::~TcxDragImageHelper() {
  if (FVisible) HideDragImage();
}

TRect TcxDragImageHelper::GetDisplayRect() { return FControl->DragDropImageDisplayRect(); }

void TcxDragImageHelper::InitDragImage() {
  // What is dragged is placed in the control's client coordinates; the drag
  // start is a screen point.
  const TRect R = GetDisplayRect();
  const TPoint origin = FControl->ClientToScreen(TPoint(R.Left, R.Top));
  FHotSpot = {origin.X - FDragStart.X, origin.Y - FDragStart.Y};
  FDragImage.Init(R.Width(), R.Height());
  FControl->DrawDragDropImage(FDragImage.GetImage(), FControl->GetCanvas());
}

void TcxDragImageHelper::DragAndDrop(const TPoint& P) {
  const TPoint place{P.X + FHotSpot.X, P.Y + FHotSpot.Y};
  if (FVisible) {
    const TPoint old = FPosition;
    FPosition = place;
    FDragImage.Move(old, place);
  } else {
    FPosition = place;
    ShowDragImage();
  }
}

void TcxDragImageHelper::ShowDragImage() {
  FVisible = true;
  FDragImage.Show(FPosition);
}

void TcxDragImageHelper::HideDragImage() {
  FVisible = false;
  FDragImage.Hide(FPosition);
}

void TcxDragImageHelper::SetDragImageVisible(bool Value) {
  if (Value == FVisible) return;
  if (Value)
    ShowDragImage();
  else
    HideDragImage();
}

// ---------------------------------------------------------------------------
// The mouse hook of a platform drag

namespace {

TcxEditingControl* gDragImageControl = nullptr;
win::HHOOK gDragImageHook = nullptr;

win::LRESULT DragImageMouseHook(int ACode, win::WPARAM wParam, win::LPARAM lParam) {
  const win::LRESULT result = win::CallNextHookEx(gDragImageHook, ACode, wParam, lParam);
  if (ACode < 0 || !gDragImageControl) return result;
  const auto* info = reinterpret_cast<const win::MOUSEHOOKSTRUCT*>(lParam);
  switch (wParam) {
    case win::WM_MOUSEMOVE:
      if (gDragImageControl->Dragging())
        if (TcxDragImageHelper* helper = gDragImageControl->GetDragImageHelper())
          helper->DragAndDrop(info->pt);
      break;
    case win::WM_LBUTTONUP:
    case win::WM_RBUTTONUP:
      gDragImageControl->FinishDragImages();
      break;
    default:
      break;
  }
  return result;
}

}  // namespace

void cxInstallDragImageHook(TcxEditingControl* AControl) {
  cxRemoveDragImageHook();
  gDragImageControl = AControl;
  gDragImageHook = win::SetWindowsHookExA(win::WH_MOUSE, &DragImageMouseHook, nullptr, win::GetCurrentThreadId());
}

void cxRemoveDragImageHook() {
  if (gDragImageHook) win::UnhookWindowsHookEx(gDragImageHook);
  gDragImageHook = nullptr;
  gDragImageControl = nullptr;
}

TcxEditingControl* cxDragImageControl() { return gDragImageControl; }

bool cxHideDragImage(win::HWND AWnd) {
  if (!gDragImageControl) return false;
  TcxDragImageHelper* helper = gDragImageControl->GetDragImageHelper();
  if (!helper || !helper->GetDragImageVisible()) return false;
  TRect R = cxRectOffset(helper->GetDragImage().GetImageRect(), helper->GetPosition());
  TPoint topLeft{R.Left, R.Top};
  win::ScreenToClient(AWnd, &topLeft);
  R = cxRectOffset(R, topLeft.X - R.Left, topLeft.Y - R.Top);
  win::HDC dc = win::GetDC(AWnd);
  const bool visible = win::RectVisible(dc, &R);
  win::ReleaseDC(AWnd, dc);
  if (visible) helper->HideDragImage();
  return visible;
}

win::HWND cxDragImageWindow() { return TDragImageWindow::Handle(); }
