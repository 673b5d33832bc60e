// What the window system asks of the display: top-level surfaces and the
// input that arrives for them. Child windows, the queue, focus and all
// message behaviour stay in the window system, so every back end behaves
// alike. One back end is active at a time; a program's start-up picks it
// with StartDefaultBackEnd (platform/x11/BackEndChoice.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Handles.h"

namespace win {

using SurfaceId = std::uint64_t;

struct MonitorInfo {
  RECT bounds{};   // screen coordinates
  RECT work{};     // bounds less task bars and docks
  bool primary = false;
};

// Input and window-manager events, in screen coordinates.
struct BackEndEvent {
  enum Kind {
    MouseMove,
    ButtonDown,    // button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
    ButtonUp,
    Wheel,         // delta in multiples of WHEEL_DELTA
    KeyDown,       // vk, scan, extended; ch for a character without a key (VK_PACKET)
    KeyUp,
    AppActivated,  // the process gained the input focus; surface: the one that has it
    AppDeactivated,
    SurfaceActivated,  // the focus moved to another of our surfaces (the window manager's doing)
    CloseRequest,  // the user asked to close a surface
    MinimizeRequest,  // the window manager made a surface its icon
    RestoreRequest,   // the window manager opened a surface it had made its icon
    MaximizeRequest,    // the window manager maximised a surface
    UnmaximizeRequest,  // the window manager took a surface out of its maximised state
    Moved,         // the window manager moved or resized a surface: rect
    Exposed,       // a surface's pixels were lost: rect in surface coordinates
    Reframed,      // the display draws a surface's frame now, or no longer (a window manager came or went)
    CompositionStart,  // an input method starts composing text for the window with the keyboard
  };
  Kind kind = MouseMove;
  SurfaceId surface = 0;
  POINT pt{};
  int button = 0;
  int delta = 0;
  BYTE vk = 0;
  BYTE scan = 0;
  bool extended = false;
  char ch = 0;
  RECT rect{};
  // KeyDown of a key whose characters the display's layout decides (see
  // KeyInput): dead, and what it types.
  bool dead = false;
  std::optional<std::string> text;
};

struct SurfaceOptions {
  DWORD style = 0;
  DWORD exStyle = 0;
  SurfaceId owner = 0;       // stays above its owner
  bool popup = false;        // no decoration, no task bar entry
};

// Memory a back end shares with the screen, lent to hold a surface's
// pixels: 32-bit BGRA, width pixels a row, zeroed when lent. It stays valid
// as long as the block lives, even past its surface.
struct PixelBlock {
  virtual ~PixelBlock() = default;
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

class IBackEnd {
 public:
  virtual ~IBackEnd() = default;
  virtual const char* Name() const = 0;

  // ---- Surfaces of top-level windows ----
  virtual SurfaceId CreateSurface(const RECT& screenRect, const SurfaceOptions& options) = 0;
  virtual void DestroySurface(SurfaceId surface) = 0;
  virtual void ShowSurface(SurfaceId surface, bool show, bool activate) = 0;
  virtual void MoveSurface(SurfaceId surface, const RECT& screenRect) = 0;
  // Stacks the surface directly above another (0: at the very top).
  virtual void RestackSurface(SurfaceId surface, SurfaceId above) = 0;
  // Copies 32-bit BGRA pixels (rows of stride bytes) into the surface at
  // the given rectangle of surface coordinates.
  virtual void Present(SurfaceId surface, const RECT& area, const std::uint8_t* bgra, int stride) = 0;
  // Memory for a shown surface's pixels that the screen reads as it is:
  // Present from it then copies nothing. Null where the back end has none
  // (the window system then keeps the pixels itself).
  virtual std::shared_ptr<PixelBlock> SurfacePixels(SurfaceId, int /*width*/, int /*height*/) { return nullptr; }
  virtual void SetTitle(SurfaceId surface, const std::string& text1252) = 0;
  // Cuts a surface to the union of rectangles in surface coordinates (an
  // empty list: the whole rectangle again; empty rectangles add nothing,
  // so a list of one empty rectangle leaves nothing). A back end without
  // shaped windows keeps it whole; the window region still clips painting.
  virtual void SetSurfaceShape(SurfaceId, const std::vector<RECT>&) {}
  // How opaque the surface shows over what lies beneath (255: fully). A
  // back end without translucency shows it opaque.
  virtual void SetSurfaceOpacity(SurfaceId, BYTE /*alpha*/) {}
  // The surface a top-level surface belongs to (0: none), and whether it is
  // modal to it (the owner takes no input meanwhile). A window manager
  // keeps an owned surface above its owner and gives a modal one the focus
  // meant for the owner.
  virtual void SetSurfaceOwner(SurfaceId, SurfaceId /*owner*/, bool /*modal*/) {}
  virtual void SetCursorShape(SurfaceId surface, HCURSOR cursor) = 0;
  // Whether the display draws the surface's frame and caption itself (a
  // window manager decorates it), so that the window system's own caption
  // is never seen there.
  virtual bool Decorated(SurfaceId) { return false; }
  // The state of a top-level surface, told before its new place. A window
  // manager shows a minimised surface as its icon, the surface keeping its
  // place on the screen for when it opens, and maximises a resizable one
  // itself, giving it its place; elsewhere the window system's places for
  // both are all there is. A minimised surface keeps the maximised state
  // it had for when it opens.
  enum class ShowState { Normal, Minimized, Maximized };
  virtual void SetSurfaceState(SurfaceId, ShowState) {}
  // Whether a window manager holds the surface while it is minimised (as
  // its icon, out of the window system's screen). Where none does, the
  // window system shows a minimised top-level window itself, as a small
  // caption among the others it arranges.
  virtual bool ManagesMinimized(SurfaceId) { return false; }
  // The window system has handled a request of the display's to change a
  // surface's state (MinimizeRequest and the others): the state the
  // surface has now, which the display shows again where it had already
  // changed it and the window turned the change down.
  virtual void SurfaceStateAnswered(SurfaceId, ShowState) {}
  // The smallest and largest sizes of a decorated surface, frame included
  // (the window's tracking limits): a display that sizes the surface
  // itself keeps to them. Told when it is shown and when its frame changes.
  virtual void SetSurfaceLimits(SurfaceId, POINT /*smallest*/, POINT /*largest*/) {}
  virtual bool GrabPointer(SurfaceId surface) = 0;
  virtual void UngrabPointer() = 0;
  virtual void RequestActivation(SurfaceId surface) = 0;

  // ---- Screen ----
  virtual std::vector<MonitorInfo> Monitors() const = 0;
  virtual void WarpPointer(POINT screen) = 0;
  virtual void Beep(UINT type) = 0;

  // ---- Clipboard: data by format number ----
  virtual void SetClipboard(UINT format, std::string data) = 0;
  virtual bool GetClipboard(UINT format, std::string& data) const = 0;
  virtual void ClearClipboard() = 0;
  // Counts the times another program took the clipboard from this process.
  // What was set here is still there only while the count stands still.
  virtual std::uint64_t ClipboardTakeovers() = 0;

  // ---- Event source ----
  // Takes the next pending event without waiting.
  virtual bool PollEvent(BackEndEvent& event) = 0;
  // Sleeps until an event arrives, WakeUp is called or timeoutMs passes
  // (UINT64_MAX: no limit).
  virtual void WaitForEvent(std::uint64_t timeoutMs) = 0;
  // Safe from any thread and from signal handlers' helpers: ends a wait.
  virtual void WakeUp() = 0;
};

using BackEndFactory = std::function<std::unique_ptr<IBackEnd>()>;

// Makes a back end selectable by name (the X11 back end registers itself).
void RegisterBackEnd(const std::string& name, BackEndFactory factory);
// The active back end; chosen on first use from ORVANTA_BACKEND, else the
// x11 back end when registered and a display is set, else headless.
IBackEnd& BackEnd();
// Replaces the active back end (tests, start-up). Returns the old one.
std::unique_ptr<IBackEnd> SetBackEnd(std::unique_ptr<IBackEnd> backEnd);

// The primary monitor's work area and the union of all monitors.
RECT PrimaryWorkArea();
RECT VirtualScreen();

}  // namespace win
