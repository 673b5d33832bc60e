// Dragging a control over others: the mouse is held by the dragged
// control; each move asks the control under the pointer (CM_DRAG) whether
// it accepts, and the cursor says so; releasing the button drops on a
// control that accepted, Esc cancels.
#include <cstdlib>

#include "platform/forms/Controls.h"
#include "platform/forms/Screen.h"
#include "platform/win/Cursors.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;

namespace {

struct DragState {
  TControl* control = nullptr;
  TPoint start;
  Integer threshold = 0;
  bool active = false;
  TControl* target = nullptr;
  bool accepted = false;
};

DragState gDrag;

bool SendDrag(TControl* target, TDragMessage kind, const TPoint& pos, TControl* source = gDrag.control) {
  TDragRec rec{pos, source, target, false};
  return target->Perform(CM_DRAG, kind, reinterpret_cast<LPARAM>(&rec)) != 0;
}

void DragTo(const TPoint& pos) {
  if (!gDrag.active) {
    if (std::abs(pos.X - gDrag.start.X) < gDrag.threshold && std::abs(pos.Y - gDrag.start.Y) < gDrag.threshold)
      return;
    gDrag.active = true;
  }
  TControl* target = FindDragTarget(pos, false);
  if (target != gDrag.target) {
    if (gDrag.target) SendDrag(gDrag.target, dmDragLeave, pos);
    gDrag.target = target;
    gDrag.accepted = target && SendDrag(target, dmDragEnter, pos);
  } else if (target) {
    gDrag.accepted = SendDrag(target, dmDragMove, pos);
  }
  if (Screen && gDrag.control)
    win::SetCursor(Screen->GetCursors(gDrag.accepted ? gDrag.control->GetDragCursor() : crNoDrop));
}

struct DragEnd {
  TControl* target = nullptr;  // where it was dropped, or null
  TPoint local;                // the drop point in the target's coordinates
};

// Ends the drag: the target hears of the drop (or that the drag left it),
// the mouse and the cursor are let go.
DragEnd FinishDrag(bool drop) {
  TControl* source = gDrag.control;
  TControl* target = gDrag.target;
  bool dropped = drop && gDrag.active && gDrag.accepted && target;
  POINT pos{};
  GetCursorPos(&pos);
  gDrag = DragState{};
  if (GetCaptureControl() == source) SetCaptureControl(nullptr);
  if (target) SendDrag(target, dropped ? dmDragDrop : dmDragLeave, pos, source);
  if (Screen) win::SetCursor(Screen->GetCursors(crDefault));
  DragEnd end;
  if (dropped) {
    end.target = target;
    end.local = target->ScreenToClient(pos);
  }
  return end;
}

}  // namespace

bool DragMessage(MSG& Msg) {
  if (!gDrag.control) return false;
  switch (Msg.message) {
    case WM_MOUSEMOVE:
      DragTo(Msg.pt);
      return true;
    case WM_LBUTTONUP:
      gDrag.control->EndDrag(true);
      return true;
    case WM_RBUTTONDOWN:
      gDrag.control->EndDrag(false);
      return true;
    case WM_KEYDOWN:
      if (Msg.wParam == VK_ESCAPE) {
        gDrag.control->EndDrag(false);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void DragControlDestroying(TControl* Control) {
  if (gDrag.target == Control) {
    gDrag.target = nullptr;
    gDrag.accepted = false;
  }
  if (gDrag.control == Control) {
    gDrag = DragState{};
    ReleaseCapture();
  }
}

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (gDrag.control) return;
  POINT pos{};
  GetCursorPos(&pos);
  gDrag.control = this;
  gDrag.start = pos;
  gDrag.threshold = Threshold >= 0 ? Threshold : (Mouse ? Mouse->GetDragThreshold() : 5);
  gDrag.active = Immediate;
  TObject* dragObject = nullptr;
  DoStartDrag(dragObject);
  if (gDrag.control != this) return;  // the handler ended it
  SetCaptureControl(this);
  if (Immediate) DragTo(pos);
}

void TControl::EndDrag(bool Drop) {
  if (gDrag.control != this) return;
  DragEnd end = FinishDrag(Drop);
  DoEndDrag(end.target, end.local.X, end.local.Y);
}

bool TControl::Dragging() const { return gDrag.control == this; }

void TControl::DoStartDrag(TObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (Accept) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  Message.Result = 0;
  if (!rec) return;
  TPoint p = ScreenToClient(rec->Pos);
  switch (Message.WParam) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      TDragState state = Message.WParam == dmDragEnter ? dsDragEnter
                         : Message.WParam == dmDragLeave ? dsDragLeave
                                                         : dsDragMove;
      bool accept = false;
      DragOver(rec->Source, p.X, p.Y, state, accept);
      Message.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(rec->Source, p.X, p.Y);
      break;
    default:
      break;
  }
}
