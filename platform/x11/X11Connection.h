// The X back end's state, shared by its topic files (surfaces, hints,
// keyboard, mouse, focus, cursors, clipboard, monitors, shape). X types stay
// in the .cpp files: here a display is an opaque pointer and every X
// resource (window, atom, cursor, pixmap) its plain numeric id.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/BackEnd.h"

struct _XDisplay;
union _XEvent;

namespace win::x11 {

using XId = unsigned long;

struct Atoms {
  XId wmProtocols = 0, wmDeleteWindow = 0, wmName = 0, netWmName = 0, utf8String = 0, netWmPid = 0,
      wmClientMachine = 0, motifWmHints = 0, netWmWindowType = 0, typeNormal = 0, typeDialog = 0,
      typeUtility = 0, typeCombo = 0, typeDropdownMenu = 0, typeTooltip = 0, netWmState = 0, stateAbove = 0,
      stateModal = 0, stateMaxVert = 0, stateMaxHorz = 0, wmState = 0,
      netActiveWindow = 0, netWorkarea = 0, netSupportingWmCheck = 0, clipboard = 0, targets = 0,
      textPlainUtf8 = 0, string = 0, incr = 0, transferProperty = 0, atom = 0, cardinal = 0;
};

struct Image;  // the backing buffer and its XImage (X11Surfaces.cpp)

struct Surface {
  Surface();
  ~Surface();
  XId window = 0;
  SurfaceOptions options;
  RECT rect{};             // the window system's rectangle, screen coordinates
  RECT inset{};            // frame widths the window manager draws in place of ours
  RECT requested{};        // the X geometry last asked for
  int pendingConfigures = 0;
  bool overrideRedirect = false;
  bool modal = false;      // its owner takes no input while it is shown
  bool managed = false;    // decorated by the window manager: the X window shows the client part
  bool mapped = false;
  // Shown by the window system, not yet mapped: a window goes on the
  // screen with its first picture (see MapShown).
  bool mapPending = false;
  // Mapped by us and not withdrawn since: the window manager has it.
  bool given = false;
  // Minimised: under a window manager, shown as its icon.
  bool iconic = false;
  // A change of state asked of the window manager that it has not shown
  // yet: a state it reports meanwhile is a step on the way, not its own.
  bool stateAsked = false;
  // Maximised by the window manager: the window system's state, and the
  // manager's as it last showed it (_NET_WM_STATE). While they differ a
  // change is on its way and the manager's moves wait for it; a change we
  // asked for is not yet shown while zoomAsked.
  bool zoomed = false;
  bool wmZoomed = false;
  bool zoomAsked = false;
  // The window system's sizing limits, frame included (limited: told).
  bool limited = false;
  POINT smallest{}, largest{};
  XId parent = 0;          // the window manager's frame after reparenting
  XId cursor = 0;          // defined on the window
  // A cursor asked for before the window showed a picture of ours, defined
  // with its first picture.
  HCURSOR wantedCursor = nullptr;
  bool cursorWanted = false;
  void* ic = nullptr;      // input context (XIC) for characters
  // Its pixels on our side: the image puts come from. It covers the X
  // window alone, or, lent to the window system (SurfacePixels), the
  // whole window with the frame a window manager draws in its place.
  std::shared_ptr<Image> image;
};

// The X geometry of a surface: the window rectangle less the frame the
// window manager draws.
RECT XRectOf(const Surface& s, const RECT& windowRect);

// Whether the surface shows a picture of ours: its first Present is done.
bool Painted(const Surface& s);

// Whether the surface's image is the window system's own pixels
// (SurfacePixels), not a copy of them.
bool Lent(const Surface& s);

class X11BackEnd : public IBackEnd {
 public:
  ~X11BackEnd() override;
  static std::unique_ptr<X11BackEnd> Open(const std::string& display);

  const char* Name() const override { return "x11"; }
  SurfaceId CreateSurface(const RECT& screenRect, const SurfaceOptions& options) override;
  void DestroySurface(SurfaceId surface) override;
  void ShowSurface(SurfaceId surface, bool show, bool activate) override;
  void MoveSurface(SurfaceId surface, const RECT& screenRect) override;
  void RestackSurface(SurfaceId surface, SurfaceId above) override;
  void Present(SurfaceId surface, const RECT& area, const std::uint8_t* bgra, int stride) override;
  std::shared_ptr<PixelBlock> SurfacePixels(SurfaceId surface, int width, int height) override;
  void SetTitle(SurfaceId surface, const std::string& text1252) override;
  void SetSurfaceShape(SurfaceId surface, const std::vector<RECT>& rects) override;
  void SetSurfaceOpacity(SurfaceId surface, BYTE alpha) override;
  void SetSurfaceOwner(SurfaceId surface, SurfaceId owner, bool modal) override;
  void SetCursorShape(SurfaceId surface, HCURSOR cursor) override;
  bool Decorated(SurfaceId surface) override;
  void SetSurfaceState(SurfaceId surface, ShowState state) override;
  bool ManagesMinimized(SurfaceId surface) override;
  void SurfaceStateAnswered(SurfaceId surface, ShowState state) override;
  void SetSurfaceLimits(SurfaceId surface, POINT smallest, POINT largest) override;
  bool GrabPointer(SurfaceId surface) override;
  void UngrabPointer() override;
  void RequestActivation(SurfaceId surface) override;
  std::vector<MonitorInfo> Monitors() const override;
  void WarpPointer(POINT screen) override;
  void Beep(UINT type) override;
  void SetClipboard(UINT format, std::string data) override;
  bool GetClipboard(UINT format, std::string& data) const override;
  void ClearClipboard() override;
  std::uint64_t ClipboardTakeovers() override;
  bool PollEvent(BackEndEvent& event) override;
  void WaitForEvent(std::uint64_t timeoutMs) override;
  void WakeUp() override;

  // The X window of a surface (0: none), for tests that look through X.
  XId WindowOf(SurfaceId surface) const;
  // Returns once the server has handled every request sent so far, with
  // the events it sent before read; true when any wait to be taken. Tests
  // catch up with the server through it: what another client did before
  // is queued here by then.
  bool Sync();
  // The most bytes one property can take in one request: a text of ours
  // longer than that goes to other programs in parts.
  std::size_t LargestProperty() const;

 private:
  X11BackEnd() = default;
  bool Connect(const std::string& display);
  Surface* Find(SurfaceId id);
  SurfaceId SurfaceOfWindow(XId window) const;

  // Event translation, one topic each.
  void Translate(_XEvent& e);
  void OnConfigure(_XEvent& e);
  void Placed(SurfaceId id, Surface& s, const RECT& got);
  void ReadPlace(SurfaceId id, Surface& s);
  // taken: the input method took the key (XFilterEvent), which still went
  // down or up on the keyboard.
  void OnKey(_XEvent& e, bool taken = false);
  // The characters a key the input method took after a dead key types.
  std::string TypedAfterDeadKey(unsigned long looked);
  void OnButton(_XEvent& e);
  void OnCrossing(_XEvent& e);
  void OnFocus(_XEvent& e);
  void MakeRepeatDetectable();
  void SettleFocus();
  void OnSelectionRequest(_XEvent& e);
  void OnSelectionClear(_XEvent& e);
  bool StartOutgoing(XId window, XId property, XId type, std::string bytes);
  void SendNextPart(_XEvent& e);
  void ForgetRequestor(XId window);
  void DropOutgoing(std::size_t index);
  void LoseClipboard();
  void SyncToggles(unsigned int state);
  // The modifiers held as the server has them now: a release that went to
  // another program (Alt let go after a window manager's Alt+Tab) leaves
  // none stuck down, and one held when the keyboard came counts.
  void SyncHeldModifiers();
  // Text an input method committed: a composition starts, then its
  // characters come as keys without a key (VK_PACKET).
  void PushComposedText(SurfaceId surface, std::string_view utf8);

  // Surfaces and hints.
  std::shared_ptr<Image> NewImage(int width, int height);
  void CreateImage(Surface& s);
  void PutImage(Surface& s, const RECT& area);
  void DefineCursor(Surface& s, HCURSOR cursor);
  void MapShown(SurfaceId id, Surface& s);
  // Asks X for the window's geometry (x: root coordinates); its notice
  // comes back as ours (pendingConfigures).
  void RequestGeometry(Surface& s, const RECT& x);
  void ApplyHints(Surface& s);
  void ApplyWmHints(Surface& s);
  void ApplyStateHint(Surface& s);
  void SetMinimized(SurfaceId id, Surface& s, bool minimized);
  void SetZoomed(Surface& s, bool zoomed);
  void AskZoom(Surface& s);
  bool Zoomable(const Surface& s) const;
  void OnWmState(_XEvent& e);
  void OnNetWmState(_XEvent& e);
  void ReadZoom(SurfaceId id, Surface& s);
  void ZoomSettled(SurfaceId id, Surface& s);
  // The 32-bit items of a window's property of the type (at most 'most'):
  // none when it is missing or of another form.
  std::vector<long> PropertyLongs(XId window, XId property, XId type, long most) const;
  // Asks the window manager, as the conventions say, for a change to one
  // of our windows: a message of the type with up to five 32-bit items.
  void AskWindowManager(XId window, XId message, std::initializer_list<long> items);
  bool ReadForeignText(std::string& utf8) const;
  bool ReadPieces(std::string& bytes) const;
  bool TakeTransfer(unsigned long& type, int& format, std::string& bytes) const;
  bool WaitForHelperEvent(int type, _XEvent& e, const std::function<bool(const _XEvent&)>& matches) const;
  void RefreshMonitors() const;
  bool WaitReadable(int timeoutMs) const;
  // Before a key event of AWindow is filtered and read: the input method
  // and the window's input context. Opening the method reads the locale's
  // compose table, which took about a third of the program's start-up, so
  // it waits for the first key.
  void PrepareKeyInput(XId AWindow);

 public:
  // Shared with the topic files.
  _XDisplay* dpy = nullptr;
  // Whether the connection still stands: images lent to the window system
  // may outlive it.
  std::shared_ptr<bool> open = std::make_shared<bool>(true);
  int screen = 0;
  XId root = 0;
  void* visual = nullptr;      // Visual*
  int depth = 0;
  XId colormap = 0;            // ours, for a visual not the screen's (0: the screen's own)
  Atoms atoms;
  bool shm = false;            // MIT-SHM usable
  bool lendable = true;        // shared images can be the window system's own pixels (SurfacePixels)
  bool shapeAsked = false;     // the Shape extension looked for (at the first region)
  bool shapeExt = false;
  bool repeatDetectable = false;  // auto-repeat made detectable (MakeRepeatDetectable)
  bool windowManager = false;  // a window manager runs (X11Manager.cpp)
  XId wmCheck = 0;             // the check window the root names, watched for its end
  XId managerActive = 0;       // the window the manager last named active
  XId helper = 0;              // unmapped window: selection owner and requestor
  void* im = nullptr;          // XIM, opened at the first key (see PrepareKeyInput)
  bool imOpened = false;
  int wakeRead = -1, wakeWrite = -1;
  unsigned long lastTime = 0;  // server time of the latest input event

  std::map<SurfaceId, Surface> surfaces;
  SurfaceId nextId = 1;
  std::deque<BackEndEvent> pending;

  // Focus as X reports it, and what was last told to the window system.
  SurfaceId xFocus = 0;
  bool reportedActive = false;
  SurfaceId reportedFocus = 0;
  unsigned long focusSerial = 0;       // request serial of the latest FocusIn
  unsigned long activationSerial = 0;  // of our latest activation request
  bool focusChanged = false;
  // We asked the window manager to activate one of our windows and its
  // focus has not come yet: focus leaving us meanwhile is the manager's
  // hand-over, not the user going elsewhere.
  bool handOverPending = false;
  void ActiveWindowChanged();

  // The window manager (X11Manager.cpp): the check window of one that
  // runs (0: none runs), followed as it comes and goes; whether an event
  // may tell of that; its windows given back when it goes.
  XId RunningManagerCheck();
  void FollowWindowManager();
  bool TellsOfManager(const _XEvent& e) const;
  void ManagerLeft();
  void Unmanage(SurfaceId id, Surface& s);

  // Keys sent as characters (VK_PACKET), by key code, for their release.
  std::map<unsigned int, char> packetKeys;
  // Keypad keys held with Shift under Num Lock: they move, and Shift is
  // let go for them (see OnKey).
  std::set<unsigned int> shiftedKeypadKeys;
  // The accent of a dead key the input method took, until the key after it
  // (0: none).
  char deadAccent = 0;

  // Cursors by handle.
  std::map<HCURSOR, XId> cursors;
  XId blankCursor = 0;
  SurfaceId grabbed = 0;
  // Asked for while the window was waiting for its first picture, done
  // when it is mapped (X refuses both for a window not on the screen).
  SurfaceId grabOnMap = 0;
  SurfaceId activateOnMap = 0;

  // Clipboard: what this process put there, by format, while it owns the
  // selection; the other owner's text, fetched once per turn of the loop.
  std::map<UINT, std::string> clip;
  bool ownsClipboard = false;
  std::uint64_t takeovers = 0;  // times another program took it from us
  mutable bool foreignFetched = false;
  mutable bool foreignOk = false;
  mutable std::string foreignText;
  // Our texts on their way to other programs in parts, one per requestor
  // window and property: each deletion of the property there asks for the
  // next part. A transfer ends with its empty last part, with its window,
  // with a new request to the same place, or when we lose the clipboard.
  struct Outgoing {
    XId window = 0, property = 0, type = 0;
    std::string bytes;
    std::size_t sent = 0;
  };
  std::vector<Outgoing> outgoing;

  mutable std::vector<MonitorInfo> monitors;
  mutable bool monitorsValid = false;
};

}  // namespace win::x11
