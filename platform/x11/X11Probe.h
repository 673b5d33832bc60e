// A second client on the same display, for tests that check through X what
// the back end did: geometry, pixels and properties of a window, and input
// sent as if by the user (XTest) or by a window manager. Also starts and
// stops a private Xvfb server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/Handles.h"

struct _XDisplay;

namespace win::x11 {

// An Xvfb server on its own display number, stopped by its pid when the
// object goes. Running() is false when Xvfb is missing or did not come up.
class Xvfb {
 public:
  // depth: bits per pixel of its screen (24; 16 as on many remote desktops).
  explicit Xvfb(int depth = 24);
  ~Xvfb();
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;
  static bool Installed();
  bool Running() const { return pid_ > 0; }
  const std::string& Display() const { return name_; }

 private:
  int pid_ = -1;
  std::string name_;
};

// A window manager (openbox) started on a display, stopped by its pid when
// the object goes. Running() is false when it is missing or did not take
// over the display within 30 seconds. It makes a window its icon at once,
// unless asked to animate that as its users' settings have it.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display, bool animateIconify = false);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  static bool Installed();
  bool Running() const { return pid_ > 0; }

 private:
  int pid_ = -1;
  std::string home_;
};

// An X input method server (uim-xim, which composes characters from key
// sequences as X's compose tables list them: Multi_key ' e gives é) on a
// display, stopped by its pid when the object goes. It serves clients of a
// UTF-8 locale it knows: one built before in a folder of the working
// directory, else the system's, else one built there now with the C
// library's localedef and kept for later runs. Running() is false when something is missing or the server
// did not announce itself within 30 seconds; Problem() says what.
class InputMethod {
 public:
  explicit InputMethod(const std::string& display);
  ~InputMethod();
  InputMethod(const InputMethod&) = delete;
  InputMethod& operator=(const InputMethod&) = delete;
  static bool Installed();
  bool Running() const { return pid_ > 0; }
  const std::string& Problem() const { return problem_; }
  // The variables a client sets before it opens the display's input
  // method (the locale of its characters, the server's name, and where
  // the locale was built), as NAME=value.
  const std::vector<std::string>& ClientEnvironment() const { return client_; }

 private:
  int pid_ = -1;
  std::string problem_;
  std::vector<std::string> client_;
};

// A program started on a display as a user starts one (its first word
// found on PATH unless it is a path), stopped by its pid when the object
// goes. Running() is false when it could not be started or has ended.
class Program {
 public:
  Program(const std::string& display, std::vector<std::string> args);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  bool Running();

 private:
  int pid_ = -1;
};

class Probe {
 public:
  explicit Probe(const std::string& display);
  ~Probe();
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;
  bool Connected() const { return dpy_ != nullptr; }

  // Viewable, and the position on the root window with the size.
  bool Geometry(unsigned long window, bool& viewable, RECT& rootRect);
  unsigned long Root() const;
  // The child of the root that holds the window: the window manager's
  // frame, or the window itself when nobody framed it.
  unsigned long FrameOf(unsigned long window);
  // The root's mapped children, bottom to top.
  std::vector<unsigned long> Stacking();
  // The viewable window named so (WM_NAME), at any depth: a window
  // manager's frames hold the programs' windows. 0 when there is none.
  unsigned long WindowTitled(const std::string& title);
  // The window's pixels as BGRA with the fourth byte zero, rows top down.
  bool Capture(unsigned long window, std::vector<std::uint32_t>& pixels, int& width, int& height);
  // Whether a window on the screen's visual has the screen's colormap
  // (true for a window on another visual, which needs its own).
  bool ScreensOwnColours(unsigned long window);
  // A property's bytes (8-bit formats) or values (32-bit formats, one each).
  std::string Property8(unsigned long window, const char* name);
  std::vector<long> Property32(unsigned long window, const char* name);
  // WM_NORMAL_HINTS: minimum and maximum size, zero when not given.
  bool SizeHints(unsigned long window, TSize& minimum, TSize& maximum, bool& userPosition);
  std::string AtomName(long atom);

  // Input through XTest, to whatever window is there.
  void MovePointer(int x, int y);
  void Button(int button, bool down);
  // keysym: X's name of the symbol ("a", "Return"); one that no key types
  // is given a key of its own first.
  void Key(const char* keysym, bool down);
  // Turns the server's key repeat on or off (the test servers start with
  // it off).
  void KeyRepeat(bool on);
  // What a window manager would send when the user closes the window.
  void SendDelete(unsigned long window);
  // Moves the keyboard focus as a window manager would on a click.
  void GiveFocus(unsigned long window);
  // The window that has the keyboard focus (0: none; 1: the pointer's).
  unsigned long KeyboardFocus();
  // Paints over the window from outside, then has the server ask it to
  // repaint (Expose), as when another window was on top.
  void Spoil(unsigned long window);
  bool OverrideRedirect(unsigned long window);
  // The window's bounding shape as rectangles (an unshaped window: its own).
  std::vector<RECT> ShapeRects(unsigned long window);
  // Pretends a window manager runs (the back end looks at connect time).
  void AnnounceWindowManager();
  // A mapped window of the probe's own, off the screen: where a window
  // manager parks the focus, or another program's window.
  unsigned long ForeignWindow();
  // Names the active window on the root, as a window manager does.
  void NameActive(unsigned long window);
  // Asks the window manager, as a pager does, to make a window its icon
  // and to activate one (opening it from its icon).
  void AskIconic(unsigned long window);
  void AskActive(unsigned long window);
  // Asks the window manager, as a pager does, to maximise a window or to
  // restore it.
  void AskMaximized(unsigned long window, bool maximized);
  // Asks for a new size of a window as another program may (a window
  // manager decides on a window it has), and takes its size hints away,
  // as an old manager that never reads them would have it.
  void AskSize(unsigned long window, int width, int height);
  void DropSizeHints(unsigned long window);
  void Sync();
  // Waits until the window manager has dealt with everything sent before
  // (input included): it answers a request for frame extents, which it
  // reads after them. False when it did not answer within the guard (30
  // seconds, as every guard of the probe: a busy manager may be slow).
  bool WindowManagerCaughtUp(int guardMs = 30000);

  // Another program on the clipboard, run as a child process so that this
  // one can answer or ask at the same time. Serve: the child owns CLIPBOARD
  // with UTF-8 text (answered once ownership is taken) until another owner
  // comes or 30 seconds pass without a question. Read: the child asks for
  // UTF8_STRING; the caller keeps its own loop running until Finished gives
  // the text ("(refused)", "(no answer)" or "(stalled)" when there is none,
  // the last when 30 seconds pass without a part).
  struct Child {
    int pid = -1;
    int pipe = -1;
    std::string told;  // what it wrote so far
  };
  Child ServeClipboard(const std::string& utf8);
  // The same, but a text longer than `piece` bytes goes in pieces of that
  // size (INCR), as programs send big texts.
  Child ServeClipboardInPieces(const std::string& utf8, std::size_t piece);
  // An owner slow to answer, with Latin-1 text alone: it answers the first
  // question for it only when the next question comes (any later one at
  // once), and refuses UTF-8.
  Child ServeClipboardSlowly(const std::string& latin1);
  // A reader takes a big text in parts (INCR) as programs do; one that
  // leaves midway ends once the parts begin, without reading them.
  Child ReadClipboard(bool leaveMidway = false);
  // True once the child has reported (its text in out) and ended.
  bool Finished(Child& child, std::string& out);

 private:
  _XDisplay* dpy_ = nullptr;
  unsigned long wmCheck_ = 0;
  unsigned long foreign_ = 0;
};

}  // namespace win::x11
