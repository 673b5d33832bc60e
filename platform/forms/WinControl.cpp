// TWinControl: the window made on demand and the one procedure all control
// windows share, children and alignment, focus and tab order, keys.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/FreeWatch.h"
#include "platform/forms/Menus.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/EraseNearEnd.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Caret.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

namespace {

// Every window the class library made, by handle.
std::unordered_map<HWND, TWinControl*>& ControlWindows() {
  static auto* map = new std::unordered_map<HWND, TWinControl*>;
  return *map;
}

// Set while creation parameters are asked for only to measure the frame a
// window would have: nothing may be created then.
bool gMeasuringFrame = false;

// The creation parameters of a control that has no window yet, for its
// frame; parents are not made to create theirs.
void MeasuringParams(TWinControl* control, TCreateParams& params, void (TWinControl::*create)(TCreateParams&)) {
  bool saved = gMeasuringFrame;
  gMeasuringFrame = true;
  try {
    (control->*create)(params);
  } catch (...) {
    gMeasuringFrame = saved;
    throw;
  }
  gMeasuringFrame = saved;
}

// Every child window gets an id of its own: an owner-draw request that
// names its control by id alone (WM_MEASUREITEM) must find that one.
HMENU NextChildId() {
  static UINT next = 0;
  if (++next == 0) ++next;
  return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(next));
}

// The control whose window is being created: its first message (sent from
// inside CreateWindowEx, before the handle is known) binds the two.
TWinControl* gCreationControl = nullptr;

}  // namespace

// The one procedure of every control window: finds the control and hands
// the message to its WindowProc; an exception a handler lets out goes to
// the application instead of unwinding through the window system.
LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& map = ControlWindows();
  auto it = map.find(hwnd);
  TWinControl* control = it == map.end() ? nullptr : it->second;
  if (!control && gCreationControl) {
    control = gCreationControl;
    gCreationControl = nullptr;
    map[hwnd] = control;
    control->FHandle = hwnd;
  }
  if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  control->MainWndProc(message);
  return message.Result;
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    FWindowProc(Message);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

TWinControl* FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  auto& map = ControlWindows();
  auto it = map.find(Handle);
  return it == map.end() ? nullptr : it->second;
}

bool IsLibraryWindow(HWND Handle) { return FindControl(Handle) != nullptr; }

ORV_REGISTER(TWinControl, ORV_PROP(TabOrder).Default(-1), ORV_PROP(TabStop).Default(false),
             ORV_PROP(Ctl3D).Default(true).StoredBy<&TWinControl::IsCtl3DStored>(), ORV_PROP(ParentCtl3D).Default(true),
             ORV_PROP(DoubleBuffered).Default(false), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnEnter),
             ORV_EVENT(OnExit))

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FBrush = New<TBrush>();
  FBrush->SetColor(FColor);
}

void TWinControl::BeforeDestruction() {
  inherited::BeforeDestruction();  // leaves the parent, which moves the focus away
  if (FHandle) DestroyWindowHandle();
  // Child controls belong to their parent: they go with it.
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    RemoveControl(child);
    child->Free();
  }
}

TWinControl::~TWinControl() {
  if (FHandle) {
    ControlWindows().erase(FHandle);
    DestroyWindow(FHandle);
  }
  FreeAndNil(FBrush);
}

// ---- The window ----

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

// The window is made again under the new parent: its style may differ
// (a form hosted in another window is a child window without a frame).
void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle) DestroyHandle();
  FParentWindow = Value;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? (gMeasuringFrame ? FParent->FHandle : FParent->GetHandle()) : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = &DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, ControlClassName, &wc))
    throw EInvalidOperation("Window class %s is not registered", {AnsiString(ControlClassName)});
  // Class styles that would redraw the whole control on every resize are
  // the control's own business.
  UINT keep = Params.WindowClass.style & ~(CS_VREDRAW | CS_HREDRAW);
  Params.WindowClass = wc;
  Params.WindowClass.style = wc.style | keep;
  Params.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '%s' has no parent window", {GetName()});
  FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : &DefWindowProcA;
  WNDCLASSA existing{};
  if (GetClassInfoA(params.WindowClass.hInstance, params.WinClassName.c_str(), &existing)) {
    if (existing.lpfnWndProc != &ControlWindowProc)
      throw EInvalidOperation("Window class %s belongs to another procedure", {params.WinClassName});
  } else {
    WNDCLASSA wc = params.WindowClass;
    wc.lpfnWndProc = &ControlWindowProc;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register window class %s", {params.WinClassName});
  }
  CreateWindowHandle(params);
  if (!FHandle) throw EOutOfResources("Error creating window");
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  TWinControl* saved = gCreationControl;
  gCreationControl = this;
  HWND handle = nullptr;
  try {
    handle = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent,
                             (Params.Style & WS_CHILD) ? NextChildId() : nullptr, Params.WindowClass.hInstance,
                             Params.Param);
  } catch (...) {
    gCreationControl = saved;
    throw;
  }
  gCreationControl = saved;
  if (handle && !FHandle) {
    ControlWindows()[handle] = this;
    FHandle = handle;
  }
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    FControlState.Exclude(csCreating);
    throw;
  }
  FControlState.Exclude(csCreating);
  // The window may have been made at another size than the control had
  // (held to its limits, or to what the screen can show): the control
  // takes the size it got, and what is aligned inside follows.
  const Integer oldW = FWidth, oldH = FHeight;
  UpdateBounds();
  if (FWidth != oldW || FHeight != oldH) Realign();
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 0);
  if (FAutoSize) AdjustSize();
  for (TControl* child : std::vector<TControl*>(FControls)) child->UpdateAnchorRules();
}

void TWinControl::DestroyWnd() {
  // The text lives in the window while there is one; keep it for the next.
  if (FHandle) FText = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND handle = FHandle;
  if (handle) DestroyWindow(handle);
  // WM_NCDESTROY normally unbinds; a window the system refused to destroy
  // is forgotten all the same.
  if (FHandle == handle && handle) {
    ControlWindows().erase(handle);
    FHandle = nullptr;
  }
  FShowing = false;
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* child : FControls)
    if (auto* win = DynamicCast<TWinControl>(child)) win->DestroyHandle();
  DestroyWnd();
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  if (FHandle) {
    ControlWindows().erase(FHandle);
    FHandle = nullptr;
    FShowing = false;
  }
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND);
}

// The window goes and comes back: the text goes through FText, and a
// control that had the focus gets it again.
void TWinControl::CMRecreateWnd(TMessage&) {
  bool wasFocused = Focused();
  // A text control's selection comes back too; other windows answer 0.
  // The ends are taken from the pointers where the window fills them: the
  // answer packs each into 16 bits, and past them it is -1.
  constexpr DWORD kUnset = 0xFFFFFFFF;
  DWORD start = kUnset, end = kUnset;
  const auto packed = static_cast<DWORD>(
      FHandle ? SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end))
              : 0);
  if (start == kUnset || end == kUnset) {
    start = LOWORD(packed);
    end = HIWORD(packed);
  }
  DestroyHandle();
  UpdateControlState();
  if (FHandle && (start || end)) SendMessageA(FHandle, EM_SETSEL, start, static_cast<LPARAM>(end));
  if (wasFocused && FHandle) win::SetFocus(FHandle);
}

void TWinControl::UpdateControlState() {
  TWinControl* top = this;
  while (top->FParent) {
    top = top->FParent;
    if (!top->FShowing) return;
  }
  if (dynamic_cast<TCustomForm*>(top) || top->FParentWindow) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = FVisible && !FControlState.Contains(csReadingState) && !GetComponentState().Contains(csLoading);
  if (show) {
    if (!FHandle) CreateHandle();
    for (TControl* child : std::vector<TControl*>(FControls))
      if (auto* win = DynamicCast<TWinControl>(child)) win->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) return inherited::DefaultHandler(Message);
  Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
          Message.Msg != WM_MOUSEHWHEEL) {
        // A graphic child under the pointer (or holding the mouse) takes
        // the message in its own coordinates.
        TControl* target = nullptr;
        TControl* capture = GetCaptureControl();
        if (capture && capture->FParent == this && !DynamicCast<TWinControl>(capture))
          target = capture;
        else if (!capture || capture == this)
          target = ControlAtPos(Message.Pos(), false);
        if (target && !DynamicCast<TWinControl>(target)) {
          TPoint p = Message.Pos();
          Message.Result =
              target->Perform(Message.Msg, Message.WParam, MAKELPARAM(p.X - target->FLeft, p.Y - target->FTop));
          return;
        }
      }
  }
  inherited::WndProc(Message);
}

// ---- Geometry ----

TRect TWinControl::GetClientRect() {
  if (FHandle) {
    RECT r{};
    win::GetClientRect(FHandle, &r);
    return r;
  }
  // No window yet: the frame its style will have.
  TCreateParams params;
  MeasuringParams(this, params, &TWinControl::CreateParams);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
  return Rect(0, 0, std::max(0, FWidth - frame.Width()), std::max(0, FHeight - frame.Height()));
}

TPoint TWinControl::GetClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    win::ClientToScreen(FHandle, &p);
    return p;
  }
  TCreateParams params;
  MeasuringParams(this, params, &TWinControl::CreateParams);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
  TPoint origin = FParent ? FParent->GetClientOrigin() : TPoint{0, 0};
  return {origin.X + FLeft - frame.Left, origin.Y + FTop - frame.Top};
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (!FHandle) {
    Integer oldW = FWidth, oldH = FHeight;
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FWidth != oldW || FHeight != oldH) Realign();
    return;
  }
  CheckNewSize(ALeft, ATop, AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  // The window reports the new place back (WM_WINDOWPOSCHANGED, WM_SIZE).
  SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateAnchorRules();
}

// Reads the window's rectangle into Left, Top, Width and Height.
void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r{};
  GetWindowRect(FHandle, &r);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
    HWND parent = win::GetParent(FHandle);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  Integer oldW = FWidth, oldH = FHeight;
  bool wasCreating = FControlState.Contains(csCreating);
  DefaultHandler(Message);  // sends WM_SIZE and WM_MOVE
  UpdateBounds();
  if ((FWidth != oldW || FHeight != oldH) && !wasCreating) {
    Realign();
    if (!GetComponentState().Contains(csLoading)) Resize();
  }
  RequestAlign();
}

// The constraints are the window's sizing limits (frame included, as Width
// and Height are), so every way the window system sizes the window keeps
// to them, the user's dragging of its frame too.
void TWinControl::WMGetMinMaxInfo(TMessage& Message) {
  DefaultHandler(Message);
  auto* mm = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  if (!mm) return;
  TSizeConstraints* c = GetConstraints();
  if (c->GetMinWidth() > 0) mm->ptMinTrackSize.X = c->GetMinWidth();
  if (c->GetMinHeight() > 0) mm->ptMinTrackSize.Y = c->GetMinHeight();
  if (c->GetMaxWidth() > 0) mm->ptMaxTrackSize.X = c->GetMaxWidth();
  if (c->GetMaxHeight() > 0) mm->ptMaxTrackSize.Y = c->GetMaxHeight();
}


// ---- Alignment ----

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (GetComponentState().Contains(csDestroying)) return;
  if (FAlignLevel > 0 || GetComponentState().Contains(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  TRect rect = GetClientRect();
  try {
    AlignControls(AControl, rect);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  EnableAlign();
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, Rect, AControl);
  // Anchored controls keep their distances to the right and bottom edges.
  TRect client = GetClientRect();
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (c->FAlign != alNone || !c->FAnchorValid) continue;
    TAnchors a = c->FAnchors;
    if (!a.Contains(akRight) && !a.Contains(akBottom)) continue;
    // In 64 bits: a control kept far outside a small parent is as far
    // from its edges as Integer allows, and no further.
    Int64 l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
    if (a.Contains(akRight)) {
      const Int64 right = Int64(client.Width()) - c->FAnchorRight;
      if (a.Contains(akLeft))
        w = right - l;
      else
        l = right - w;
    }
    if (a.Contains(akBottom)) {
      const Int64 bottom = Int64(client.Height()) - c->FAnchorBottom;
      if (a.Contains(akTop))
        h = bottom - t;
      else
        t = bottom - h;
    }
    c->FAnchorMove = true;
    try {
      c->SetBounds(ClampToInteger(l), ClampToInteger(t), ClampToInteger(w), ClampToInteger(h));
    } catch (...) {
      c->FAnchorMove = false;
      throw;
    }
    c->FAnchorMove = false;
  }
}

// Places the visible controls of one alignment along the free rectangle,
// in order of their current positions; the control being moved wins ties.
void TWinControl::DoAlign(TAlign AAlign, TRect& Rect, TControl* AControl) {
  std::vector<TControl*> list;
  for (TControl* c : FControls)
    if (c->FAlign == AAlign && c->FVisible) list.push_back(c);
  if (list.empty()) return;
  auto key = [AAlign](TControl* c) -> Int64 {
    switch (AAlign) {
      case alTop: return c->FTop;
      case alBottom: return -(Int64(c->FTop) + c->FHeight);
      case alLeft: return c->FLeft;
      case alRight: return -(Int64(c->FLeft) + c->FWidth);
      default: return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
    Int64 ka = key(a), kb = key(b);
    if (ka != kb) return ka < kb;
    return a == AControl && b != AControl;
  });
  // The free rectangle's sides move in 64 bits and stop at the ends of
  // Integer: controls larger than the room left (however many, however
  // large) push them past each other, never out of range.
  auto width = [&Rect] { return ClampToInteger(std::max<Int64>(0, Int64(Rect.Right) - Rect.Left)); };
  auto height = [&Rect] { return ClampToInteger(std::max<Int64>(0, Int64(Rect.Bottom) - Rect.Top)); };
  for (TControl* c : list) {
    Integer w = c->FWidth, h = c->FHeight;
    switch (AAlign) {
      case alTop:
        c->SetBounds(Rect.Left, Rect.Top, width(), h);
        Rect.Top = ClampToInteger(Int64(Rect.Top) + c->FHeight);
        break;
      case alBottom:
        c->SetBounds(Rect.Left, ClampToInteger(Int64(Rect.Bottom) - h), width(), h);
        Rect.Bottom = ClampToInteger(Int64(Rect.Bottom) - c->FHeight);
        break;
      case alLeft:
        c->SetBounds(Rect.Left, Rect.Top, w, height());
        Rect.Left = ClampToInteger(Int64(Rect.Left) + c->FWidth);
        break;
      case alRight:
        c->SetBounds(ClampToInteger(Int64(Rect.Right) - w), Rect.Top, w, height());
        Rect.Right = ClampToInteger(Int64(Rect.Right) - c->FWidth);
        break;
      case alClient:
        c->SetBounds(Rect.Left, Rect.Top, width(), height());
        break;
      default:
        break;
    }
  }
}

// ---- Children ----

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  if (auto* win = DynamicCast<TWinControl>(AControl); win && win->ContainsControl(this))
    throw EInvalidOperation("A control cannot contain its own parent");
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  AControl->FParent = this;
  FControls.push_back(AControl);
  if (auto* win = DynamicCast<TWinControl>(AControl)) FTabList.push_back(win);
  if (!AControl->GetComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED);
    AControl->Perform(CM_PARENTFONTCHANGED);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    if (auto* win = DynamicCast<TWinControl>(AControl)) {
      win->Perform(CM_PARENTCTL3DCHANGED);
      if (FShowing) win->UpdateControlState();
    } else if (FHandle) {
      AControl->Invalidate();
    }
  }
  AControl->UpdateAnchorRules();
  AlignControl(AControl);
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (std::find(FControls.rbegin(), FControls.rend(), AControl) == FControls.rend()) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* win = DynamicCast<TWinControl>(AControl)) {
    win->RemoveFocus(true);
    win->DestroyHandle();
    orv::EraseNearEnd(FTabList, win);
  } else if (FHandle) {
    AControl->InvalidateControl(AControl->FVisible, false);
  }
  orv::EraseNearEnd(FControls, AControl);
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls,
                                    bool AllLevels) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    bool isWin = DynamicCast<TWinControl>(c) != nullptr;
    if (isWin && !AllowWinControls) continue;
    if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
    // In 64 bits: a point far from a control far away is not inside it.
    const Int64 px = Int64(Pos.X) - c->FLeft, py = Int64(Pos.Y) - c->FTop;
    if (px < 0 || py < 0 || px >= c->FWidth || py >= c->FHeight) continue;
    TPoint p{static_cast<Integer>(px), static_cast<Integer>(py)};
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X, p.Y)) == 0) continue;
    if (AllLevels && isWin) {
      auto* win = static_cast<TWinControl*>(c);
      TPoint origin = win->GetClientOrigin();
      TPoint mine = GetClientOrigin();
      TPoint inner{Pos.X + mine.X - origin.X, Pos.Y + mine.Y - origin.Y};
      if (TControl* deeper = win->ControlAtPos(inner, AllowDisabled, true, true)) return deeper;
    }
    return c;
  }
  return nullptr;
}

// A handler may add, remove or free controls while the message goes round,
// so each child of the copy still gets it only while it is in the list. The
// child is looked for first where the list had it last; the whole list is
// searched only after a change, so a parent with many controls is not walked
// once per child.
void TWinControl::Broadcast(TMessage& Message) {
  const std::vector<TControl*> controls(FControls);
  std::size_t expected = 0;
  for (TControl* c : controls) {
    std::size_t at = expected;
    if (at >= FControls.size() || FControls[at] != c) {
      auto it = std::find(FControls.begin(), FControls.end(), c);
      if (it == FControls.end()) continue;
      at = static_cast<std::size_t>(it - FControls.begin());
    }
    expected = at + 1;
    c->FWindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage message{Msg, 0, 0, 0};
  Broadcast(message);
}

void TWinControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TControl* c : FControls)
    if (c->GetOwner() == Root) Proc(c);
}

void TWinControl::FlipChildren(bool AllLevels) {
  if (FControls.empty()) return;
  const Integer width = GetClientRect().Right;
  // Each child is placed at once: the anchors take the distances of the
  // new place, which a held alignment would not let them see.
  for (TControl* c : FControls) {
    if (c->GetAlign() == alLeft)
      c->SetAlign(alRight);
    else if (c->GetAlign() == alRight)
      c->SetAlign(alLeft);
    c->SetLeft(width - c->GetLeft() - c->GetWidth());
    TAnchors anchors = c->GetAnchors();
    if (anchors.Contains(akLeft) != anchors.Contains(akRight)) {
      const bool left = anchors.Contains(akLeft);
      anchors -= TAnchors{akLeft, akRight};
      anchors += left ? akRight : akLeft;
      c->SetAnchors(anchors);
    }
    if (auto* child = DynamicCast<TWinControl>(c); child && AllLevels) child->FlipChildren(true);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, Integer Order) {
  if (auto* win = DynamicCast<TWinControl>(Child)) win->SetTabOrder(Order);
}

// ---- Focus and tab order ----

Integer TWinControl::GetTabOrder() const {
  if (!FParent) return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  Integer count = static_cast<Integer>(list.size());
  if (Value < 0 || Value >= count) Value = count - 1;
  list.erase(it);
  list.insert(list.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::CMTabStopChanged(TMessage&) {
  if (!FHandle) return;
  LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  SetWindowLongA(FHandle, GWL_STYLE, FTabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP)));
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto count = static_cast<Integer>(list.size());
  Integer start = -1;
  for (Integer i = 0; i < count; ++i)
    if (list[static_cast<std::size_t>(i)] == CurControl) start = i;
  if (start < 0) start = GoForward ? count - 1 : 0;
  Integer i = start;
  for (Integer n = 0; n < count; ++n) {
    i = GoForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c == CurControl) break;
    if (c->CanFocus() && (!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this)) return c;
  }
  return nullptr;
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return FVisible && FEnabled;
  // Up to the form: a hidden form's controls may be chosen for later.
  for (TControl* c = this; c && c != form; c = c->FParent)
    if (!c->FVisible || !c->FEnabled) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (FParentWindow) {
    win::SetFocus(GetHandle());
  } else {
    win::SetFocus(GetHandle());
  }
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, Removing);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMChildKey(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}


// ---- Keys ----

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

// A key goes to a previewing form first, then to the control's own event;
// either may swallow it (answer true) or change it in the message.
bool TWinControl::DoKey(TMessage& Message, bool (TWinControl::*AFormStep)(TMessage&),
                        void (TWinControl::*AEvent)(Word&, TShiftState)) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && (form->*AFormStep)(Message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = static_cast<Word>(Message.WParam);
    TFreeWatch watch(this);
    (this->*AEvent)(key, KeyDataToShiftState(Message.LParam));
    if (watch.Gone()) return true;  // the handler freed the control: the key is spent
    Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyDown(TMessage& Message) { return DoKey(Message, &TWinControl::DoKeyDown, &TWinControl::KeyDown); }

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(Message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    char ch = static_cast<char>(Message.WParam);
    TFreeWatch watch(this);
    KeyPress(ch);
    if (watch.Gone()) return true;  // the handler freed the control: the key is spent
    Message.WParam = static_cast<unsigned char>(ch);
    if (ch == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) { return DoKey(Message, &TWinControl::DoKeyUp, &TWinControl::KeyUp); }

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

// Shortcuts of the popup menus of this control and its parents, of the
// form, then of the application's main form.
bool TWinControl::IsMenuKey(TMessage& Message) {
  for (TControl* c = this; c; c = c->GetParent())
    if (auto* menu = dynamic_cast<TPopupMenu*>(c->GetPopupMenu()); menu && menu->IsShortCut(Message)) return true;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(Message)) return true;
  if (Application)
    return SendMessageA(Application->GetHandle(), CM_APPKEYDOWN, Message.WParam, Message.LParam) != 0;
  return false;
}

// A key before the window sees it: the parents may take it (CM_CHILDKEY),
// then the form, for Tab, arrows, Enter and Esc the control does not want
// itself (CM_DIALOGKEY). Result 1 means consumed.
void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
  UINT mask = 0;
  switch (Message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam) == 0 &&
      (static_cast<UINT>(Perform(WM_GETDLGCODE)) & mask) == 0) {
    if (TCustomForm* form = GetParentForm(this))
      if (form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) { Message.Result = 0; }

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  if ((static_cast<UINT>(Perform(WM_GETDLGCODE)) & DLGC_WANTCHARS) == 0)
    if (TCustomForm* form = GetParentForm(this))
      if (form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  Message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
  Message.Result = 0;
  if (Message.WParam != ' ')
    if (TCustomForm* form = GetParentForm(this))
      Message.Result = form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
}

// ---- Reflection ----

bool ReflectKeyMessage(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) {
    wnd = Msg.hwnd;
    while (wnd && !FindControl(wnd)) wnd = win::GetParent(wnd);
    if (!wnd) return false;
  } else if (!FindControl(wnd)) {
    return false;
  }
  return SendMessageA(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TWinControl::ReflectToChild(TMessage& Message, HWND Child) {
  TWinControl* control = FindControl(Child);
  if (control && control != this) {
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

namespace {
// The child window of an owner-drawn item, found by its control id.
HWND ChildById(TWinControl* parent, UINT id) {
  for (Integer i = 0; i < parent->GetControlCount(); ++i)
    if (auto* win = DynamicCast<TWinControl>(parent->GetControl(i)))
      if (win->HandleAllocated() && static_cast<UINT>(GetWindowLongPtrA(win->GetHandle(), GWLP_ID)) == id)
        return win->GetHandle();
  return nullptr;
}
}  // namespace

void TWinControl::WMCommand(TMessage& Message) { ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam)); }

void TWinControl::WMNotify(TMessage& Message) {
  auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
  ReflectToChild(Message, header ? header->hwndFrom : nullptr);
}

void TWinControl::WMDrawItem(TMessage& Message) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
  ReflectToChild(Message, item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
  auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam);
  ReflectToChild(Message, item && item->CtlType != ODT_MENU ? ChildById(this, item->CtlID) : nullptr);
}

void TWinControl::WMDeleteItem(TMessage& Message) {
  auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(Message.LParam);
  ReflectToChild(Message, item ? item->hwndItem : nullptr);
}

void TWinControl::WMCompareItem(TMessage& Message) {
  auto* item = reinterpret_cast<const COMPAREITEMSTRUCT*>(Message.LParam);
  ReflectToChild(Message, item ? item->hwndItem : nullptr);
}

void TWinControl::WMHScroll(TMessage& Message) { ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam)); }
void TWinControl::WMVScroll(TMessage& Message) { ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam)); }
void TWinControl::WMCtlColorEdit(TMessage& Message) {
  ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
}
void TWinControl::WMCtlColorStatic(TMessage& Message) {
  ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
}
void TWinControl::WMCtlColorListBox(TMessage& Message) {
  ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
}
void TWinControl::WMCtlColorBtn(TMessage& Message) {
  ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
}
void TWinControl::WMCtlColorScrollBar(TMessage& Message) {
  ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
}

// The control's colours for the DC its native procedure paints with.
void TWinControl::CNCtlColor(TMessage& Message) {
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(FBrush->GetColor())));
  Message.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
}

// ---- Cursor ----

void TWinControl::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) == FHandle && LOWORD(static_cast<DWORD_PTR>(Message.LParam)) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
    if (cursor == crDefault) {
      POINT p{};
      GetCursorPos(&p);
      TControl* control = ControlAtPos(ScreenToClient(p), false);
      cursor = control ? control->FCursor : crDefault;
      if (cursor == crDefault) cursor = FCursor;
    }
    if (cursor != crDefault && Screen) {
      win::SetCursor(Screen->GetCursors(cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::CMCursorChanged(TMessage&) {
  if (!FHandle || GetCapture()) return;
  POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) == FHandle) SendMessageA(FHandle, WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), HTCLIENT);
}

// ---- Notifications ----

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle) EnableWindow(FHandle, FEnabled);
  Invalidate();
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  if (!GetComponentState().Contains(csLoading) && !FControlState.Contains(csReadingState)) UpdateControlState();
}

void TWinControl::CMColorChanged(TMessage&) {
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
}

void TWinControl::FontObjectChanged(TObject* Sender) {
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 0);
  inherited::FontObjectChanged(Sender);
}

void TWinControl::CMFontChanged(TMessage&) {
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
  AdjustSize();
}

void TWinControl::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustSize();
}

void TWinControl::SetCtl3D(bool Value) { SetOwnValue(FCtl3D, Value, FParentCtl3D, CM_CTL3DCHANGED); }

void TWinControl::SetParentCtl3D(bool Value) { SetInherits(FParentCtl3D, Value, CM_PARENTCTL3DCHANGED); }

void TWinControl::CMCtl3DChanged(TMessage&) { NotifyControls(CM_PARENTCTL3DCHANGED); }

void TWinControl::CMParentCtl3DChanged(TMessage&) {
  if (!FParentCtl3D || !FParent) return;
  SetCtl3D(FParent->FCtl3D);
  FParentCtl3D = true;
}

void TWinControl::WMMouseThrough(TMessage& Message) {
  DefaultHandler(Message);
  DispatchFrom(TWinControl::StaticClass(), Message);
}

void TWinControl::SetParentBackground(bool Value) {
  if (GetParentBackground() == Value) return;
  if (Value)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
  Invalidate();
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(Message); }
void TWinControl::CMWinIniChange(TMessage& Message) { Broadcast(Message); }

// ---- Painting ----

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& Message) {
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT ps{};
  if (!dc) dc = BeginPaint(FHandle, &ps);
  try {
    bool graphics = std::any_of(FControls.begin(), FControls.end(),
                                [](TControl* c) { return !DynamicCast<TWinControl>(c); });
    if (!graphics) {
      PaintWindow(dc);
    } else {
      // Opaque graphic children cover their part: the window leaves it.
      int saved = SaveDC(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : FControls) {
        if (DynamicCast<TWinControl>(c) || !c->FVisible || !c->FControlStyle.Contains(csOpaque)) continue;
        clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (clip == NULLREGION) break;
      }
      if (clip != NULLREGION) PaintWindow(dc);
      RestoreDC(dc, saved);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (!Message.WParam) EndPaint(FHandle, &ps);
    throw;
  }
  if (!Message.WParam) EndPaint(FHandle, &ps);
}

// The graphic children in z-order, each with the DC's origin moved to its
// corner and clipped to it.
void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto begin = FControls.begin();
  if (First) {
    auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) begin = it;
  }
  for (auto it = begin; it != FControls.end(); ++it) {
    TControl* c = *it;
    if (DynamicCast<TWinControl>(c) || !c->FVisible) continue;
    RECT bounds = c->GetBoundsRect();
    if (!RectVisible(DC, &bounds)) continue;
    int saved = SaveDC(DC);
    POINT old{};
    GetWindowOrgEx(DC, &old);
    SetWindowOrgEx(DC, old.X - c->FLeft, old.Y - c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::WMPaint(TMessage& Message) {
  if (Message.WParam || !FDoubleBuffered) {
    PaintHandler(Message);
    return;
  }
  // Double buffered: everything into a memory bitmap, then one copy. The
  // bitmap holds only what this paint shows (a control far larger than its
  // parent shows a small part of itself); its window origin puts that part
  // at the control's own coordinates.
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(FHandle, &ps);
  const RECT area = ps.rcPaint;
  HDC memDC = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, area.Width(), area.Height());
  HGDIOBJ old = SelectObject(memDC, ToObj(bitmap));
  SetWindowOrgEx(memDC, area.Left, area.Top, nullptr);
  try {
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(memDC), 0);
    BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), memDC, area.Left, area.Top, SRCCOPY);
  } catch (...) {
    SelectObject(memDC, old);
    DeleteDC(memDC);
    DeleteObject(bitmap);
    EndPaint(FHandle, &ps);
    throw;
  }
  SelectObject(memDC, old);
  DeleteDC(memDC);
  DeleteObject(bitmap);
  EndPaint(FHandle, &ps);
}

// The background in the control's colour, unless the control paints all of
// it itself or shows its parent through.
void TWinControl::WMEraseBkgnd(TMessage& Message) {
  if (FControlStyle.Contains(csOpaque) || FControlStyle.Contains(csParentBackground)) {
    Message.Result = 1;
    return;
  }
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  RECT r{};
  win::GetClientRect(FHandle, &r);
  FillRect(dc, &r, FBrush->GetHandle());
  Message.Result = 1;
}

// ---- Z-order and scaling ----

void TWinControl::SetZOrder(bool TopMost) {
  inherited::SetZOrder(TopMost);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::ChangeScale(Integer M, Integer D) {
  DisableAlign();
  try {
    for (TControl* c : std::vector<TControl*>(FControls)) c->ChangeScale(M, D);
    inherited::ChangeScale(M, D);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

// ---- Streaming ----

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    inherited::ReadState(Reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  if (FParent) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::Loaded() {
  inherited::Loaded();
  if (FControlState.Contains(csAlignmentNeeded)) Realign();
  if (FParent && FParent->FShowing) UpdateControlState();
}

// ---------------------------------------------------------------------------
// TGraphicControl and TCustomControl

ORV_REGISTER(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  auto* canvas = New<TControlCanvas>();
  canvas->SetControl(this);
  FCanvas = canvas;
}

TGraphicControl::~TGraphicControl() { FreeAndNil(FCanvas); }

TCanvas* TGraphicControl::GetCanvas() const { return FCanvas; }

// The parent hands in its DC with the origin at this control's corner.
void TGraphicControl::WMPaint(TMessage& Message) {
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  // A DC the canvas asked for outside painting is let go first.
  if (auto* own = dynamic_cast<TControlCanvas*>(FCanvas)) own->FreeHandle();
  FCanvas->Lock();
  try {
    FCanvas->SetHandle(dc);
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

ORV_REGISTER(TCustomControl)

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  auto* canvas = New<TControlCanvas>();
  canvas->SetControl(this);
  FCanvas = canvas;
}

TCustomControl::~TCustomControl() { FreeAndNil(FCanvas); }

TCanvas* TCustomControl::GetCanvas() const { return FCanvas; }

void PaintThroughCanvas(TCanvas* Canvas, HDC DC, const std::function<void()>& Paint) {
  if (auto* own = dynamic_cast<TControlCanvas*>(Canvas)) own->FreeHandle();
  Canvas->Lock();
  auto release = orv::ScopeExit([Canvas] {
    Canvas->SetHandle(nullptr);
    Canvas->Unlock();
  });
  Canvas->SetHandle(DC);
  Paint();
}

void TCustomControl::PaintWindow(HDC DC) {
  PaintThroughCanvas(FCanvas, DC, [this] { Paint(); });
}

// ---------------------------------------------------------------------------
// TControlCanvas

ORV_REGISTER(TControlCanvas)

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  HDC dc = FDeviceContext;
  FDeviceContext = nullptr;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, dc);
  FWindowHandle = nullptr;
}

// Outside painting: a DC of the control's window, or of the parent's window
// moved and clipped to a graphic control.
void TControlCanvas::CreateHandle() {
  if (!FControl) throw EInvalidOperation("Canvas does not allow drawing");
  auto* win = DynamicCast<TWinControl>(FControl);
  TWinControl* host = win ? win : FControl->GetParent();
  if (!host) throw EInvalidOperation("Control '%s' has no parent window", {FControl->GetName()});
  FWindowHandle = host->GetHandle();
  FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!win) {
    TRect b = FControl->GetBoundsRect();
    SetViewportOrgEx(FDeviceContext, b.Left, b.Top, nullptr);
    IntersectClipRect(FDeviceContext, 0, 0, b.Width(), b.Height());
  }
  SetHandle(FDeviceContext);
}

// The caret's left edge, just below it.
TPoint TWinControl::GetKeyboardPopupPoint() {
  GUITHREADINFO info;
  info.cbSize = sizeof info;
  if (HandleAllocated() && GetGUIThreadInfo(0, &info) && info.hwndCaret == FHandle)
    return {info.rcCaret.Left, info.rcCaret.Bottom};
  return inherited::GetKeyboardPopupPoint();
}
