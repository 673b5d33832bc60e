// The drag loop and the controls' side of dragging. The loop holds the
// mouse with a hidden window of its own (not a control, so no control is
// offered the keys on the way). Mouse and key messages belong to the drag
// whoever retrieves them: the application's message hook and the loop both
// hand them to DragMessage, and the capture window takes the mouse
// messages of any other pump; everything else (painting, timers) goes on
// as usual.
#include "platform/forms/DragDrop.h"

#include <cstdlib>

#include "platform/forms/DragImageList.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TDragObject)
ORV_REGISTER(TBaseDragControlObject)
ORV_REGISTER(TDragControlObject)

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

// The images' own position is in the window coordinates of the window
// under the pointer when they first show; the hot spot is where the list
// puts it (the image's top-left corner unless the control chose one).
void TDragObject::ShowDragImage() {
  TDragImageList* images = Images();
  if (!images) return;
  if (images->GetDragging()) {
    images->ShowDragImage();
    return;
  }
  HWND under = WindowFromPoint(FDragPos);
  FImageWindow = under ? GetAncestor(under, GA_ROOT) : nullptr;
  if (!FImageWindow || (images->GetDragIndex() < 0 && !images->SetDragImage(0, 0, 0))) {
    FImageWindow = nullptr;
    return;
  }
  RECT frame{};
  GetWindowRect(FImageWindow, &frame);
  if (!images->BeginDrag(FImageWindow, FDragPos.X - frame.Left, FDragPos.Y - frame.Top)) FImageWindow = nullptr;
}

// Images that never showed are not made for hiding, moving or ending.
void TDragObject::HideDragImage() {
  if (TDragImageList* images = FImageWindow ? Images() : nullptr) images->HideDragImage();
}

void TDragObject::MoveDragImage() {
  TDragImageList* images = FImageWindow ? Images() : nullptr;
  if (!images || !images->GetDragging() || !IsWindow(FImageWindow)) return;
  RECT frame{};
  GetWindowRect(FImageWindow, &frame);
  images->DragMove(FDragPos.X - frame.Left, FDragPos.Y - frame.Top);
}

void TDragObject::EndDragImage() {
  if (TDragImageList* images = FImageWindow ? Images() : nullptr) images->EndDrag();
  FImageWindow = nullptr;
  FImagesEnded = true;
}

void TBaseDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  if (!FControl) return;
  if (!Accepted) {
    FControl->DragCanceled();
    Target = nullptr;
  }
  EndDrag(Target, X, Y);
}

void TBaseDragControlObject::EndDrag(TObject* Target, Integer X, Integer Y) {
  if (FControl) FControl->DoEndDrag(Target, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, Integer, Integer) {
  return Accepted && GetControl() ? GetControl()->GetDragCursor() : crNoDrop;
}

// ---- The loop ----

namespace {
TPoint CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}
}  // namespace

class TDragOperation {
 public:
  TDragOperation(TControl* Source, bool Immediate, Integer Threshold)
      : FSource(Source), FDragging(Immediate), FThreshold(Threshold) {}

  void Run();
  void RequestEnd(bool Drop) { FEnd = Drop ? End::Drop : End::Cancel; }
  // A mouse or key message of the drag's: answers whether it was one.
  // Every other key and click is kept from the program while dragging;
  // once the end is decided, what follows is nobody's drag any more.
  bool Take(UINT Msg, WPARAM WParam) {
    if (FEnd != End::None || !FObject) return false;
    switch (Msg) {
      case WM_MOUSEMOVE: MoveTo(CursorPos()); return true;
      case WM_LBUTTONUP: FEnd = End::Drop; return true;
      case WM_RBUTTONDOWN: FEnd = End::Cancel; return true;
      case WM_KEYDOWN: case WM_SYSKEYDOWN:
        if (WParam == VK_ESCAPE) FEnd = End::Cancel;
        return true;
      default:
        return (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST) || (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST);
    }
  }
  TControl* Source() const { return FSource; }
  TDragObject* Object() const { return FObject; }
  // A control going away: a target is forgotten; a source freed in the
  // middle of its drag ends it, hearing nothing.
  void ControlDestroying(TControl* Control) {
    if (Control == FTarget) {
      FTarget = nullptr;
      FAccepted = false;
      if (FObject && FObject->FDragTarget == Control) FObject->FDragTarget = nullptr;
    }
    if (Control == FSource) {
      if (FObject) FObject->EndDragImage();
      FSource = nullptr;
      FEnd = End::Cancel;
    }
    // The drag's object may carry the control (the one made for it, or one
    // of the program's): it carries nothing from now on.
    if (auto* carrier = dynamic_cast<TBaseDragControlObject*>(FObject); carrier && carrier->FControl == Control)
      carrier->FControl = nullptr;
  }

  static TDragOperation* Current;

 private:
  enum class End { None, Drop, Cancel };
  LRESULT Send(TControl* Target, TDragMessage Msg, TPoint Pos) {
    TDragRec rec{Pos, FObject, Target, false};
    return Target->Perform(CM_DRAG, static_cast<WPARAM>(Msg), reinterpret_cast<LPARAM>(&rec));
  }
  TControl* FindTarget(TPoint Pos);
  void MoveTo(TPoint Pos);
  void Finish(bool Drop);

  TControl* FSource;
  TDragObject* FObject = nullptr;
  bool FOwnsObject = false;
  bool FDragging;
  Integer FThreshold;
  TPoint FStart;
  TControl* FTarget = nullptr;
  bool FAccepted = false;
  End FEnd = End::None;
};

TDragOperation* TDragOperation::Current = nullptr;

TDragObject* CurrentDragObject() { return TDragOperation::Current ? TDragOperation::Current->Object() : nullptr; }

namespace {

constexpr const char* kCaptureClass = "OrvDragCapture";

// The capture window hears the mouse, and the keys the loop hands it,
// whoever pumps them.
LRESULT CaptureWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (TDragOperation* op = TDragOperation::Current) {
    if (op->Take(msg, wParam)) return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeCaptureWindow() {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, kCaptureClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = CaptureWindowProc;
    wc.lpszClassName = kCaptureClass;
    RegisterClassA(&wc);
  }
  return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCaptureClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, nullptr, nullptr);
}

}  // namespace

// The control under the point, which may name another to stand for it
// (dmFindTarget); disabled controls take nothing.
TControl* TDragOperation::FindTarget(TPoint Pos) {
  TControl* under = FindDragTarget(Pos, false);
  if (!under) return nullptr;
  auto* named = reinterpret_cast<TControl*>(Send(under, dmFindTarget, Pos));
  return named ? named : under;
}

void TDragOperation::MoveTo(TPoint Pos) {
  FObject->FDragPos = Pos;
  if (!FDragging) {
    if (std::abs(Pos.X - FStart.X) < FThreshold && std::abs(Pos.Y - FStart.Y) < FThreshold) return;
    FDragging = true;
    FObject->ShowDragImage();
  } else {
    FObject->MoveDragImage();
  }
  TControl* target = FindTarget(Pos);
  if (target != FTarget) {
    if (FTarget) Send(FTarget, dmDragLeave, Pos);
    FTarget = target;
    FAccepted = FTarget && Send(FTarget, dmDragEnter, Pos) != 0;
  } else if (FTarget) {
    FAccepted = Send(FTarget, dmDragMove, Pos) != 0;
  }
  FObject->FDragTarget = FTarget;
  if (FTarget) FObject->FDragTargetPos = FTarget->ScreenToClient(Pos);
  // A target that freed the source has ended the drag: the cursor is put
  // back as the drag finishes.
  if (!FSource) return;
  if (Screen) Screen->SetCursor(FObject->GetDragCursor(FAccepted && FTarget, Pos.X, Pos.Y));
}

void TDragOperation::Finish(bool Drop) {
  TPoint pos = CursorPos();
  if (!FSource) {
    if (FTarget && FDragging) Send(FTarget, dmDragCancel, pos);
    FTarget = nullptr;
    return;
  }
  bool dropped = Drop && FDragging && FTarget && FAccepted;
  FObject->HideDragImage();
  FObject->EndDragImage();
  FObject->FCancelling = !Drop;
  FObject->FDropped = dropped;
  TControl* target = dropped ? FTarget : nullptr;
  TPoint at = target ? target->ScreenToClient(pos) : FSource->ScreenToClient(pos);
  if (FTarget && FDragging) {
    if (dropped) Send(FTarget, dmDragDrop, pos);
    else Send(FTarget, Drop ? dmDragLeave : dmDragCancel, pos);
  }
  // A target may free the source as it takes the drop (a bin for
  // controls): the source, gone, hears nothing, as when it goes mid-drag.
  // A target that freed itself is named to nobody.
  if (target && !FTarget) target = nullptr;
  FTarget = nullptr;
  if (!FSource) return;
  FObject->Finished(target, at.X, at.Y, dropped);
}

// The drag is current from the start, so a source may end it while it
// starts (EndDrag in DoStartDrag): it then ends at once, cancelled, before
// the mouse is taken.
void TDragOperation::Run() {
  Current = this;
  TDragObject* given = nullptr;
  try {
    FSource->DoStartDrag(given);
  } catch (...) {
    Current = nullptr;
    throw;
  }
  if (!FSource) {
    Current = nullptr;
    return;
  }
  FObject = given;
  if (!FObject) {
    FObject = New<TDragControlObject>(FSource);
    FOwnsObject = true;
  }
  HWND capture = nullptr;
  TCursor savedCursor = Screen ? Screen->GetCursor() : crDefault;
  auto cleanUp = [&]() {
    Current = nullptr;
    if (capture) {
      if (GetCapture() == capture) ReleaseCapture();
      DestroyWindow(capture);
    }
    if (Screen) Screen->SetCursor(savedCursor);
    if (FOwnsObject) FObject->Free();
    FObject = nullptr;
  };
  try {
    if (FEnd == End::None) {
      capture = MakeCaptureWindow();
      FStart = CursorPos();
      SetCapture(capture);
      ModalLoopScope scope;
      if (FDragging) {
        FDragging = false;
        FThreshold = 0;
        MoveTo(FStart);
        FDragging = true;
      }
      MSG msg;
      while (FEnd == End::None) {
        if (GetCapture() != capture) {
          FEnd = End::Cancel;
          break;
        }
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r <= 0) {
          if (r == 0) PostQuitMessage(static_cast<int>(msg.wParam));
          FEnd = End::Cancel;
          break;
        }
        // The mouse and the keys belong to the drag, wherever the focus is
        // (unless the application's hook took them already).
        if (!DragMessage(msg)) DispatchMessageA(&msg);
      }
    }
    Finish(FEnd == End::Drop);
  } catch (...) {
    cleanUp();
    throw;
  }
  cleanUp();
}

bool DragMessage(MSG& Msg) {
  TDragOperation* op = TDragOperation::Current;
  return op && op->Take(Msg.message, Msg.wParam);
}

void DragControlDestroying(TControl* Control) {
  if (TDragOperation* op = TDragOperation::Current) op->ControlDestroying(Control);
}

// ---- The controls' side ----

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (TDragOperation::Current) return;
  if (Threshold < 0) Threshold = Mouse ? Mouse->GetDragThreshold() : 5;
  TDragOperation op(this, Immediate, Threshold);
  op.Run();
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) TDragOperation::Current->RequestEnd(Drop);
}

bool TControl::Dragging() const { return TDragOperation::Current && TDragOperation::Current->Source() == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (!OnStartDrag) return;
  TObject* given = nullptr;
  OnStartDrag(this, given);
  DragObject = dynamic_cast<TDragObject*>(given);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!rec || !rec->Source) return;
  TPoint p = ScreenToClient(rec->Pos);
  // A source freed in the middle of its drag is not named to the target
  // that hears the drag end: the drag's object stands for it.
  TDragOperation* op = TDragOperation::Current;
  const bool sourceGone = op && op->Object() == rec->Source && !op->Source();
  TObject* source = sourceGone ? rec->Source : rec->Source->GetSource();
  bool accept = false;
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter: DragOver(source, p.X, p.Y, dsDragEnter, accept); break;
    case dmDragMove: DragOver(source, p.X, p.Y, dsDragMove, accept); break;
    case dmDragLeave: case dmDragCancel: DragOver(source, p.X, p.Y, dsDragLeave, accept); break;
    case dmDragDrop: DragDrop(source, p.X, p.Y); break;
    case dmFindTarget: Message.Result = reinterpret_cast<LRESULT>(this); return;
  }
  Message.Result = accept ? 1 : 0;
}
