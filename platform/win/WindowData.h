// What the window system keeps per class and per window, shared by the
// units of this folder only. Nothing outside platform/win includes it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <new>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/win/BackEnd.h"
#include "platform/win/WindowClass.h"

namespace win::detail {

struct ClassData {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  int windowCount = 0;
  bool unregistered = false;  // kept alive until its last window goes
  bool system = false;        // one of the system's classes
};

// Pixels that start black, taken from the allocator already zeroed rather
// than cleared here: a block the size of a window or of the screen comes
// straight from the system, whose pages read as zero and cost nothing
// until first written. (A cleared vector would write every page at once;
// for the screen DC, which is seldom drawn on, that was most of the
// program's start-up.) A shown window's pixels may instead live in memory
// the back end shares with the screen, which it zeroes itself.
class ZeroedPixels {
 public:
  // n black pixels, replacing what was held.
  void Allocate(std::size_t n) {
    auto* p = static_cast<std::uint32_t*>(std::calloc(n ? n : 1, sizeof(std::uint32_t)));
    if (!p) throw std::bad_alloc();
    block_.reset(p);
    lent_.reset();
    data_ = p;
    size_ = n;
  }
  // Pixels in memory the back end lends (already zeroed), replacing what
  // was held.
  void Adopt(std::shared_ptr<PixelBlock> lent) {
    block_.reset();
    data_ = lent->pixels;
    size_ = static_cast<std::size_t>(lent->width) * static_cast<std::size_t>(lent->height);
    lent_ = std::move(lent);
  }
  bool Lent() const { return lent_ != nullptr; }
  std::uint32_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::uint32_t& operator[](std::size_t i) const { return data_[i]; }

 private:
  struct Free {
    void operator()(std::uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint32_t[], Free> block_;
  std::shared_ptr<PixelBlock> lent_;
  std::uint32_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// The pixels of a top-level window: every window of its tree draws here,
// and the back end is shown the dirty part after painting. Window DCs hold
// a reference, so a DC kept across a resize or the window's end never
// draws into freed memory.
struct Backing {
  ZeroedPixels pixels;                // BGRA, width pixels a row
  int width = 0;
  int height = 0;
  RECT dirty{};                       // window coordinates of the root, not yet presented
  bool presentAll = true;             // the back end's surface holds nothing of ours yet
  bool lendAsked = false;             // the back end was asked for memory to keep these pixels in
};

// A standard scroll bar of a window (WS_VSCROLL / WS_HSCROLL).
struct ScrollBarData {
  // A window made with the bar's style starts at 0..100; one without has
  // no bar to ask about (0..0) until a bar is set or shown.
  bool made = false;
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  bool tracking = false;
  UINT arrowsDisabled = 0;   // ESB_DISABLE_LTUP | ESB_DISABLE_RTDN
  bool autoDisabled = false; // disabled because its range fits (SIF_DISABLENOSCROLL)
  int pressedPart = 0;       // while the mouse holds a part (a hit-part number of ScrollBars.cpp)
};

struct Window {
  HWND handle = nullptr;
  ClassData* cls = nullptr;
  Window* parent = nullptr;          // the desktop for top-level windows
  Window* owner = nullptr;           // top-level windows only (set through SetOwner)
  int owns = 0;                      // windows whose owner it is
  // Z-order, front first. A window taken down with all its children
  // loses them front first: a deque lets each go without moving the rest.
  std::deque<Window*> children;
  std::size_t zPlace = 0;            // top-level: its place in that order when last put in order
  std::size_t placeHint = 0;         // where it stood among its siblings when last asked
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  RECT window{};                     // in the parent's client coordinates
  RECT client{};                     // the same coordinates
  RECT restore{};                    // normal placement while minimized or maximized
  bool restoreMaximized = false;     // minimized from maximized: restoring maximizes again
  bool needSize = false;             // an overlapped window hears WM_SIZE and WM_MOVE when first shown
  std::string text;
  std::vector<std::uint8_t> extra;
  gdi::Region update;                // what needs painting (client coordinates)
  bool erasePending = false;         // WM_ERASEBKGND before the next paint
  bool framePending = false;         // WM_NCPAINT before the next paint
  bool internalPaint = false;        // WM_PAINT wanted with nothing invalid
  bool noRedraw = false;
  bool hiddenByOwner = false;
  bool hasRegion = false;
  gdi::Region region;                // the window region (window coordinates) when hasRegion
  ScrollBarData vbar, hbar;
  ScrollBarData ctlBar;              // a "SCROLLBAR" control's own bar
  std::shared_ptr<Backing> backing;  // top-level windows once they draw
  bool destroying = false;
  bool destroyed = false;
  int callDepth = 0;                 // calls of its procedure on the stack
  HWND lastFocus = nullptr;          // top-level: the focus to give back on activation
  bool frameActive = false;          // the caption shows the active colours (as WM_NCACTIVATE last said)
  HICON iconSmall = nullptr;         // WM_SETICON's
  HICON iconBig = nullptr;
  std::uint64_t surface = 0;         // back-end surface of a shown top-level window
  // A layered top-level window (SetLayeredWindowAttributes): LWA_ALPHA
  // shows it with the opacity, LWA_COLORKEY leaves out its pixels of the
  // key colour, which keyShape holds as the window shows them (window
  // coordinates).
  DWORD layeredFlags = 0;
  COLORREF layeredKey = 0;
  BYTE layeredAlpha = 255;
  gdi::Region keyShape;
};

// ---- Coordinates ----
// Positions and sizes are 16-bit quantities to the window system, so a
// window's edges lie within twice that of its parent's origin, and so
// does the client area a WM_NCCALCSIZE handler answers: sums along a
// chain of parents never leave the integers.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;
inline int ClampCoordinate(int v) { return std::clamp(v, kMinCoordinate, kMaxCoordinate); }
// A client area as a handler answers it: its edges kept in the range and
// in order.
inline RECT ClampClientArea(RECT r) {
  auto edge = [](int v) { return std::clamp(v, 2 * kMinCoordinate, 2 * kMaxCoordinate); };
  r = {edge(r.Left), edge(r.Top), edge(r.Right), edge(r.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

// ---- The window table ----
Window* Desktop();
// The live window of a handle, or nullptr (last error set) for anything else.
Window* Find(HWND hwnd);
// Like Find but leaves the last error alone.
Window* Peek(HWND hwnd);
bool IsTopLevel(const Window* w);
Window* Root(Window* w);              // the top-level ancestor (itself for top-level)
bool IsDescendant(const Window* w, const Window* ancestor);  // w inside ancestor (or equal)
// Gives a window its owner (or none), keeping the owners' counts, so a
// window that owns nothing is taken down without looking at all others.
void SetOwner(Window* w, Window* owner);
std::vector<Window*> TopLevels();     // front first
// Screen offset of a window's client origin, and of its window origin.
POINT ClientOrigin(const Window* w);
POINT WindowOrigin(const Window* w);
RECT ScreenWindowRect(const Window* w);
RECT ScreenClientRect(const Window* w);
bool VisibleChain(const Window* w);   // itself and every ancestor visible
bool EnabledChain(const Window* w);
// Tells the back end whom a top-level window's surface belongs to and
// whether it is modal to it (its owner disabled, itself not); the second
// form for a window whose enabled state changed, and the windows it owns.
void SyncSurfaceOwner(Window* w);
void SyncOwnedSurfaces(Window* w);

// Keeps a window's memory alive while its procedure runs, so a window
// destroyed inside its own message handler is freed only afterwards.
class Pin {
 public:
  explicit Pin(Window* w);
  ~Pin();
  Pin(const Pin&) = delete;
  Pin& operator=(const Pin&) = delete;

 private:
  Window* w_;
};

// ---- Delivery (Queue.cpp) ----
// WM_PAINT handlers nest at most this deep; a deeper one is not called.
constexpr int kPaintNesting = 64;
// Runs the call-window-procedure hooks and the window's procedure.
LRESULT Deliver(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, bool sent);

// ---- Clean-up of every unit, in order, for a fresh session ----
void ResetWindows();
void ResetClasses();
void ResetQueue();
void ResetHooks();
void ResetTimers();
void ResetKeyboard();
void ResetMouse();
void ResetFocus();
void ResetMetrics();

// ---- Notifications between units ----
void TimersWindowDestroyed(HWND hwnd);
void QueueWindowDestroyed(HWND hwnd);
void FocusWindowLeaving(Window* w);   // destroy: focus and activation move away
void CaptureWindowLeaving(Window* w); // destroy, after WM_DESTROY: the capture is let go
void FocusWindowHidden(Window* w);    // hide: a child with the focus hands it to its parent
void ActiveWindowHidden(Window* w);   // hide or minimize: activation moves to another window
void MouseWindowDestroyed(HWND hwnd);

// ---- Non-client geometry (WindowProc.cpp) ----
// How far the client area is inset from the window edges for a style.
RECT FrameInsets(DWORD style, DWORD exStyle, bool withScrollBars);
// Answers whether a point in window coordinates is inside the window's
// region (always, for a window without one).
bool InsideRegion(const Window* w, POINT windowPt);

// ---- Layered windows (Layered.cpp) ----
// The window's pixels changed where they are presented next: the part of
// a colour-keyed window that shows follows them.
void FollowColorKey(Window* root);
// WS_EX_LAYERED came off: the window shows whole and opaque again.
void LayeredStyleDropped(Window* w);
// A new surface for the window: it gets the opacity and shape it had.
void RestoreSurfaceLook(Window* w);

// ---- Positioning (WindowPos.cpp) ----
// Puts owned windows above their owners and topmost windows in front.
void NormalizeTopLevelOrder();
// Windows with a sizing frame, and overlapped ones, have size limits.
bool HasSizingLimits(DWORD style);
// The maximized placement and the sizing limits, as WM_GETMINMAXINFO leaves them.
MINMAXINFO QueryMinMaxInfo(Window* w);
// The window's rectangle maximized, from those.
RECT MaximizedPlace(const MINMAXINFO& mm);
// Holds the size of a top-level window to what the screen can show.
void KeepToScreenSize(int& cx, int& cy);
// A WM_SYSCOMMAND has been handled: a state command, the display's own
// minimise, maximise or restore among them, leaves the display showing the
// state the window has, whether it took the command or not.
void SystemCommandHandled(HWND hwnd, WPARAM command);
// The display now draws the top-level window's frame itself, or no longer
// does (a window manager came or went): the window is shown whole again,
// and a minimised or maximised one takes the place that state has now.
void SurfaceReframed(Window* w);
// The states ShowWindow moves a window between.
enum class ShowState { Minimized, Maximized, Restored };
// Puts a window into a state (a window minimised from maximised is
// maximised again when restored), sets its style and answers where it goes,
// adding to `flags` what SetWindowPos is to hear: SWP_STATECHANGED when the
// state changed, SWP_NOCOPYBITS when it enters or leaves the minimised
// state. False when the window went away meanwhile.
bool EnterShowState(Window* w, ShowState state, RECT& target, UINT& flags);
// What a window covers in its parent's client area when placed at `at`:
// the rectangle, cut to its window region.
gdi::Region CoverInParent(const Window* w, const RECT& at);
// The parent (and the siblings there) draws what the window covered and
// covers no more.
void InvalidateInParent(Window* w, const gdi::Region& covered);
// WM_PARENTNOTIFY (WM_CREATE or WM_DESTROY) up the chain of parents.
void ParentNotify(Window* w, UINT event);
// The deepest visible window at a screen point, skipping disabled child
// windows (their parent answers) and the windows in skip.
Window* WindowAt(POINT screen, const std::vector<Window*>& skip);

// ---- Classes (WindowClass.cpp) ----
ClassData* FindClass(LPCSTR name);
void ReleaseClass(ClassData* cls);

}  // namespace win::detail
