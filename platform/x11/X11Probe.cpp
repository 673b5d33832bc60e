#include "platform/x11/X11Probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <fcntl.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/x11/X11Selection.h"

extern char** environ;

namespace win::x11 {
namespace {

// How long a server, a window manager, an input method or a clipboard
// child may take to come up or to be asked: a guard against one that never
// does, long enough for a busy machine, never a measure of speed. A
// transfer in parts counts it from its last part, so that a big one on a
// slow machine is never cut short while it moves.
constexpr std::chrono::seconds kGuard{30};

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string p = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    std::string candidate = p.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

std::string FindXvfb() { return FindProgram("Xvfb"); }

// Starts a program that ends with this process, however this process ends:
// a test stopped by a sanitizer or a signal runs no destructors, and its
// X server or window manager would otherwise live on.
int Spawn(const std::string& program, std::vector<std::string> args, char** env, int closeInChild = -1,
          bool keepErrors = false) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid > 0 ? pid : -1;
  // Only what is safe between fork and exec from here on.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(127);  // the parent ended meanwhile
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, 1);
    if (!keepErrors) dup2(null, 2);
    if (null > 2) close(null);
  }
  if (closeInChild >= 0) close(closeInChild);
  execve(program.c_str(), argv.data(), env);
  _exit(127);
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Ends a program this process started, and forgets it.
void Stop(int& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

bool Xvfb::Installed() { return !FindXvfb().empty(); }

Xvfb::Xvfb(int depth) {
  std::string program = FindXvfb();
  int fds[2];
  if (program.empty() || pipe(fds) != 0) return;
  // The server picks a free display itself and writes its number once it
  // listens, so servers of tests started side by side never share one.
  // Keys never repeat on their own ("-r"): a test starved by a loaded
  // machine between a key's press and its release would otherwise type it
  // twice (Alt+Down opening a popup and closing it again).
  pid_ = Spawn(program,
               {program, "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x" + std::to_string(depth), "-nolisten", "tcp",
                "-noreset", "-r"},
               environ, fds[0]);
  close(fds[1]);
  std::string number;
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    Stop(pid_);
    return;
  }
  name_ = ":" + number;
}

Xvfb::~Xvfb() { Stop(pid_); }

Program::Program(const std::string& display, std::vector<std::string> args) {
  if (args.empty()) return;
  std::string program = args[0].find('/') == std::string::npos ? FindProgram(args[0].c_str()) : args[0];
  if (program.empty()) return;
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0) vars.emplace_back(*e);
  vars.push_back("DISPLAY=" + display);
  std::vector<char*> env;
  for (auto& v : vars) env.push_back(v.data());
  env.push_back(nullptr);
  // What it reports (a sanitizer's findings among them) shows in the log.
  pid_ = Spawn(program, std::move(args), env.data(), -1, true);
}

Program::~Program() { Stop(pid_); }

bool Program::Running() {
  if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
  return pid_ > 0;
}

bool WindowManager::Installed() { return !FindProgram("openbox").empty(); }

namespace {

// The manager's own settings, but for its iconify animation, which shrinks
// the frame toward the icon while it runs: a window opened again during it
// (a minimise the program turns down) keeps the place the animation had
// reached, and no client is told of it, so a story would end on how far
// the animation had got.
void StillIconify(const std::string& dir) {
  std::ifstream in("/etc/xdg/openbox/rc.xml", std::ios::binary);
  if (!in) return;
  std::string rc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string on = "<animateIconify>yes</animateIconify>";
  const auto at = rc.find(on);
  if (at == std::string::npos) return;
  rc.replace(at, on.size(), "<animateIconify>no</animateIconify>");
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::ofstream(dir + "/rc.xml", std::ios::binary) << rc;
}

}  // namespace

WindowManager::WindowManager(const std::string& display, bool animateIconify) {
  std::string program = FindProgram("openbox");
  ::Display* d = program.empty() ? nullptr : XOpenDisplay(display.c_str());
  if (!d) return;
  // Its own settings only, in a home of its own: no user's configuration,
  // and no files shared with another one started beside it.
  char home[] = "/tmp/orvanta-wm-XXXXXX";
  if (!mkdtemp(home)) {
    XCloseDisplay(d);
    return;
  }
  home_ = home;
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "HOME=", 5) != 0 && std::strncmp(*e, "XDG_", 4) != 0)
      vars.emplace_back(*e);
  vars.push_back("DISPLAY=" + display);
  vars.push_back("HOME=" + home_);
  vars.push_back("XDG_CONFIG_HOME=" + home_ + "/config");
  vars.push_back("XDG_CACHE_HOME=" + home_ + "/cache");
  vars.push_back("XDG_DATA_HOME=" + home_ + "/data");
  std::vector<char*> env;
  for (auto& v : vars) env.push_back(v.data());
  env.push_back(nullptr);
  if (!animateIconify) StillIconify(home_ + "/config/openbox");
  pid_ = Spawn(program, {program, "--sm-disable"}, env.data());
  // It has taken over once it names its check window on the root and
  // redirects the root's children to itself (from then on it frames every
  // window that is mapped).
  Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  bool up = false;
  while (pid_ > 0 && !up && std::chrono::steady_clock::now() < deadline) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success && data) {
      XWindowAttributes a;
      up = count == 1 && XGetWindowAttributes(d, DefaultRootWindow(d), &a) &&
           (a.all_event_masks & SubstructureRedirectMask);
      XFree(data);
    }
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Requests that reach it before its event loop runs are lost: it is
  // ready once a window mapped (again and again, if need be) gets a frame.
  if (up) {
    ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    up = false;
    while (!up && std::chrono::steady_clock::now() < deadline) {
      XMapWindow(d, w);
      XSync(d, False);
      for (int i = 0; i < 10 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(d, w, &root, &parent, &children, &count)) up = parent != root;
        if (children) XFree(children);
      }
    }
    XDestroyWindow(d, w);
    XSync(d, False);
  }
  XCloseDisplay(d);
  if (!up) Stop(pid_);
}

WindowManager::~WindowManager() {
  Stop(pid_);
  std::error_code ignored;
  if (!home_.empty()) std::filesystem::remove_all(home_, ignored);
}

namespace {

constexpr const char* kImLocale = "en_US.UTF-8";

// A folder holding the locale, built once; empty where the system knows
// the locale itself; the problem otherwise.
bool LocaleFolder(std::string& folder, std::string& problem) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path kept = fs::absolute("input-method-locales", ec);
  folder = kept.string();
  if (fs::exists(kept / kImLocale / "LC_CTYPE", ec)) return true;
  // Known already: the system's, or one this process was pointed to.
  if (locale_t known = newlocale(LC_CTYPE_MASK, kImLocale, nullptr)) {
    freelocale(known);
    const char* path = std::getenv("LOCPATH");
    folder = path ? path : "";
    return true;
  }
  const std::string localedef = FindProgram("localedef");
  if (localedef.empty()) {
    problem = "localedef is missing, and the system has no locale " + std::string(kImLocale);
    return false;
  }
  // Built beside the kept folder and moved there whole, so a run stopped
  // half way or another test building at the same time leaves no half
  // locale behind.
  std::string building = folder + ".XXXXXX";
  if (!mkdtemp(building.data())) {
    problem = "cannot make a folder for the locale";
    return false;
  }
  const std::string target = building + "/" + kImLocale;
  int pid = Spawn(localedef, {localedef, "-i", "en_US", "-f", "UTF-8", target}, environ);
  int status = -1;
  if (pid > 0) waitpid(pid, &status, 0);
  if (!fs::exists(fs::path(target) / "LC_CTYPE", ec)) {
    fs::remove_all(building, ec);
    problem = "localedef could not build the locale " + std::string(kImLocale);
    return false;
  }
  fs::rename(building, kept, ec);
  fs::remove_all(building, ec);  // another build got there first
  if (fs::exists(kept / kImLocale / "LC_CTYPE", ec)) return true;
  problem = "the locale built could not be kept in " + folder;
  return false;
}

}  // namespace

bool InputMethod::Installed() { return !FindProgram("uim-xim").empty(); }

InputMethod::InputMethod(const std::string& display) {
  const std::string program = FindProgram("uim-xim");
  if (program.empty()) {
    problem_ = "uim-xim is not installed (scripts/setup installs the uim-xim package)";
    return;
  }
  std::string folder;
  if (!LocaleFolder(folder, problem_)) return;
  client_ = {std::string("LC_CTYPE=") + kImLocale, "XMODIFIERS=@im=uim"};
  if (!folder.empty()) client_.push_back("LOCPATH=" + folder);
  ::Display* d = XOpenDisplay(display.c_str());
  if (!d) {
    problem_ = "cannot open the display " + display;
    return;
  }
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "LC_", 3) != 0 && std::strncmp(*e, "LANG", 4) != 0 &&
        std::strncmp(*e, "LOCPATH=", 8) != 0)
      vars.emplace_back(*e);
  vars.push_back("DISPLAY=" + display);
  vars.push_back(std::string("LC_ALL=") + kImLocale);
  if (!folder.empty()) vars.push_back("LOCPATH=" + folder);
  std::vector<char*> env;
  for (auto& v : vars) env.push_back(v.data());
  env.push_back(nullptr);
  pid_ = Spawn(program, {program}, env.data());
  // It serves once it owns its selection.
  const Atom server = XInternAtom(d, "@server=uim", False);
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  bool up = false;
  while (pid_ > 0 && !up && std::chrono::steady_clock::now() < deadline) {
    up = XGetSelectionOwner(d, server) != None;
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(d);
  if (!up) {
    Stop(pid_);
    problem_ = "uim-xim did not come up";
  }
}

InputMethod::~InputMethod() { Stop(pid_); }

Probe::Probe(const std::string& display) {
  dpy_ = XOpenDisplay(display.c_str());
  if (dpy_) XSetErrorHandler(IgnoreErrors);
}

Probe::~Probe() {
  if (!dpy_) return;
  if (wmCheck_) {
    XDeleteProperty(dpy_, DefaultRootWindow(dpy_), XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False));
    XDestroyWindow(dpy_, wmCheck_);
  }
  XCloseDisplay(dpy_);
}

unsigned long Probe::Root() const { return DefaultRootWindow(dpy_); }

unsigned long Probe::FrameOf(unsigned long window) {
  ::Window w = window;
  for (;;) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy_, w, &root, &parent, &children, &count)) return window;
    if (children) XFree(children);
    if (!parent || parent == root) return w;
    w = parent;
  }
}

std::vector<unsigned long> Probe::Stacking() {
  std::vector<unsigned long> out;
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &count)) return out;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy_, children[i], &a) && a.map_state == IsViewable) out.push_back(children[i]);
  }
  if (children) XFree(children);
  return out;
}

unsigned long Probe::WindowTitled(const std::string& title) {
  std::vector<::Window> open{DefaultRootWindow(dpy_)};
  while (!open.empty()) {
    ::Window w = open.back();
    open.pop_back();
    XWindowAttributes a;
    if (w != DefaultRootWindow(dpy_) && (!XGetWindowAttributes(dpy_, w, &a) || a.map_state != IsViewable)) continue;
    if (w != DefaultRootWindow(dpy_) && Property8(w, "WM_NAME") == title) return w;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy_, w, &root, &parent, &children, &count)) continue;
    open.insert(open.end(), children, children + count);
    if (children) XFree(children);
  }
  return 0;
}

bool Probe::Geometry(unsigned long window, bool& viewable, RECT& r) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy_, window, &a)) return false;
  viewable = a.map_state == IsViewable;
  int x = 0, y = 0;
  ::Window child;
  XTranslateCoordinates(dpy_, window, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  r = {x, y, x + a.width, y + a.height};
  return true;
}

bool Probe::ScreensOwnColours(unsigned long window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy_, window, &a)) return false;
  const int screen = XScreenNumberOfScreen(a.screen);
  return a.visual != DefaultVisual(dpy_, screen) || a.colormap == DefaultColormap(dpy_, screen);
}

bool Probe::Capture(unsigned long window, std::vector<std::uint32_t>& pixels, int& width, int& height) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy_, window, &a)) return false;
  XImage* img = XGetImage(dpy_, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                          AllPlanes, ZPixmap);
  if (!img) return false;
  width = a.width;
  height = a.height;
  pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned long p = XGetPixel(img, x, y);
      // Each field widened or narrowed to 8 bits (a 16-bit screen has 5 and 6).
      auto channel = [p](unsigned long mask) {
        const unsigned long v = (p & mask) >> __builtin_ctzl(mask), max = mask >> __builtin_ctzl(mask);
        return static_cast<std::uint32_t>(max == 255 ? v : (v * 255 + max / 2) / max);
      };
      std::uint32_t r = channel(img->red_mask), g = channel(img->green_mask), b = channel(img->blue_mask);
      pixels[static_cast<std::size_t>(y) * width + x] = (r << 16) | (g << 8) | b;
    }
  XDestroyImage(img);
  return true;
}

std::string Probe::Property8(unsigned long window, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, name, False), 0, 1 << 20, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success && data) {
    if (format == 8) out.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
  }
  return out;
}

std::vector<long> Probe::Property32(unsigned long window, const char* name) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, name, False), 0, 1 << 20, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success && data) {
    if (format == 32) out.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
    XFree(data);
  }
  return out;
}

bool Probe::SizeHints(unsigned long window, TSize& minimum, TSize& maximum, bool& userPosition) {
  XSizeHints hints{};
  long supplied = 0;
  if (!XGetWMNormalHints(dpy_, window, &hints, &supplied)) return false;
  minimum = (hints.flags & PMinSize) ? TSize{hints.min_width, hints.min_height} : TSize{};
  maximum = (hints.flags & PMaxSize) ? TSize{hints.max_width, hints.max_height} : TSize{};
  userPosition = (hints.flags & USPosition) != 0;
  return true;
}

std::string Probe::AtomName(long atom) {
  char* name = XGetAtomName(dpy_, static_cast<Atom>(atom));
  std::string out = name ? name : "";
  if (name) XFree(name);
  return out;
}

void Probe::MovePointer(int x, int y) {
  XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), x, y, CurrentTime);
  XSync(dpy_, False);
}

void Probe::Button(int button, bool down) {
  XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), down ? True : False, CurrentTime);
  XSync(dpy_, False);
}

void Probe::KeyRepeat(bool on) {
  if (on) XAutoRepeatOn(dpy_);
  else XAutoRepeatOff(dpy_);
  XSync(dpy_, False);
}

void Probe::Key(const char* keysym, bool down) {
  const KeySym sym = XStringToKeysym(keysym);
  KeyCode code = XKeysymToKeycode(dpy_, sym);
  if (!code && sym != NoSymbol) {
    // A symbol no key types (Multi_key on a plain layout) goes on a key
    // that types nothing.
    int first = 0, last = 0, perCode = 0;
    XDisplayKeycodes(dpy_, &first, &last);
    KeySym* map = XGetKeyboardMapping(dpy_, static_cast<KeyCode>(first), last - first + 1, &perCode);
    for (int c = last; c >= first && !code && map; --c) {
      bool empty = true;
      for (int i = 0; i < perCode; ++i) empty = empty && map[(c - first) * perCode + i] == NoSymbol;
      if (empty) code = static_cast<KeyCode>(c);
    }
    if (map) XFree(map);
    if (code) {
      KeySym one = sym;
      XChangeKeyboardMapping(dpy_, code, 1, &one, 1);
      XSync(dpy_, False);
    }
  }
  XTestFakeKeyEvent(dpy_, code, down ? True : False, CurrentTime);
  XSync(dpy_, False);
}

void Probe::SendDelete(unsigned long window) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy_, window, False, NoEventMask, &e);
  XSync(dpy_, False);
}

void Probe::GiveFocus(unsigned long window) {
  XSetInputFocus(dpy_, window, RevertToParent, CurrentTime);
  XSync(dpy_, False);
}

unsigned long Probe::KeyboardFocus() {
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(dpy_, &focus, &revert);
  return focus;
}

void Probe::Spoil(unsigned long window) {
  GC gc = XCreateGC(dpy_, window, 0, nullptr);
  XSetForeground(dpy_, gc, 0x00FF00FF);
  XFillRectangle(dpy_, window, gc, 0, 0, 4000, 4000);
  XFreeGC(dpy_, gc);
  XClearArea(dpy_, window, 0, 0, 0, 0, True);
  XSync(dpy_, False);
}

bool Probe::OverrideRedirect(unsigned long window) {
  XWindowAttributes a;
  return XGetWindowAttributes(dpy_, window, &a) && a.override_redirect;
}

std::vector<RECT> Probe::ShapeRects(unsigned long window) {
  std::vector<RECT> out;
  int count = 0, ordering = 0;
  XRectangle* r = XShapeGetRectangles(dpy_, window, ShapeBounding, &count, &ordering);
  for (int i = 0; i < count; ++i) out.push_back({r[i].x, r[i].y, r[i].x + r[i].width, r[i].y + r[i].height});
  if (r) XFree(r);
  return out;
}

void Probe::AnnounceWindowManager() {
  ::Window root = DefaultRootWindow(dpy_);
  wmCheck_ = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
  ::Window w = wmCheck_;
  // The check window names itself, as the root names it.
  for (::Window named : {w, root})
    XChangeProperty(dpy_, named, XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&w), 1);
  XSync(dpy_, False);
}

unsigned long Probe::ForeignWindow() {
  if (!foreign_) {
    foreign_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), -20, -20, 1, 1, 0, 0, 0);
    XMapWindow(dpy_, foreign_);
    XSync(dpy_, False);
  }
  return foreign_;
}

void Probe::NameActive(unsigned long window) {
  ::Window w = window;
  XChangeProperty(dpy_, DefaultRootWindow(dpy_), XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", False), XA_WINDOW, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&w), 1);
  XSync(dpy_, False);
}

namespace {

void AskWindowManager(Display* dpy, ::Window window, const char* message, long first, long second,
                      long third = 0, long fourth = 0) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(dpy, message, False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = first;
  e.xclient.data.l[1] = second;
  e.xclient.data.l[2] = third;
  e.xclient.data.l[3] = fourth;
  XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XSync(dpy, False);
}

}  // namespace

void Probe::AskIconic(unsigned long window) { AskWindowManager(dpy_, window, "WM_CHANGE_STATE", IconicState, 0); }

void Probe::AskActive(unsigned long window) {
  AskWindowManager(dpy_, window, "_NET_ACTIVE_WINDOW", 2 /* from a pager */, CurrentTime);
}

void Probe::AskMaximized(unsigned long window, bool maximized) {
  AskWindowManager(dpy_, window, "_NET_WM_STATE", maximized ? 1 : 0,
                   static_cast<long>(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                   static_cast<long>(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), 2 /* from a pager */);
}

void Probe::AskSize(unsigned long window, int width, int height) {
  XResizeWindow(dpy_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(dpy_, False);
}

void Probe::DropSizeHints(unsigned long window) {
  XSizeHints hints{};
  XSetWMNormalHints(dpy_, window, &hints);
  XSync(dpy_, False);
}

void Probe::Sync() { XSync(dpy_, False); }

bool Probe::WindowManagerCaughtUp(int guardMs) {
  ::Window root = DefaultRootWindow(dpy_);
  ::Window w = XCreateSimpleWindow(dpy_, root, -40, -40, 10, 10, 0, 0, 0);
  XSelectInput(dpy_, w, PropertyChangeMask);
  const Atom extents = XInternAtom(dpy_, "_NET_FRAME_EXTENTS", False);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(dpy_, "_NET_REQUEST_FRAME_EXTENTS", False);
  e.xclient.format = 32;
  XSendEvent(dpy_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XFlush(dpy_);
  bool answered = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(guardMs);
  while (!answered && std::chrono::steady_clock::now() < deadline) {
    while (!answered && XCheckTypedWindowEvent(dpy_, w, PropertyNotify, &e)) answered = e.xproperty.atom == extents;
    if (!answered) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  XDestroyWindow(dpy_, w);
  XSync(dpy_, False);
  return answered;
}

}  // namespace win::x11

namespace win::x11 {
namespace {

// The child's side: its own connection, never the parent's.

// The child's next event, or false once the guard's time is up.
bool NextEvent(::Display* d, XEvent& e, std::chrono::steady_clock::time_point deadline) {
  while (std::chrono::steady_clock::now() < deadline) {
    if (XPending(d)) {
      XNextEvent(d, &e);
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

void SlowOwnerAnswer(::Display* d, const XEvent& request, const std::string& latin1) {
  const XSelectionRequestEvent& r = request.xselectionrequest;
  XChangeProperty(d, r.requestor, r.property, r.target, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(latin1.data()), static_cast<int>(latin1.size()));
  AnswerSelectionRequest(d, request, r.property);
}

// An owner slow to answer: it refuses UTF-8, and answers the first
// question for Latin-1 only when the next question comes (refusing that
// one); later questions for Latin-1 it answers at once.
[[noreturn]] void SlowClipboardChild(const std::string& display, const std::string& latin1, int out) {
  ::Display* d = XOpenDisplay(display.c_str());
  if (!d) _exit(1);
  ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  XSetSelectionOwner(d, clipboard, w, CurrentTime);
  XSync(d, False);
  char ok = 1;
  if (write(out, &ok, 1) != 1) _exit(1);
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  XEvent held{};
  bool holding = false, heldOnce = false;
  XEvent e;
  while (NextEvent(d, e, deadline)) {
    if (e.type == SelectionClear) break;
    if (e.type != SelectionRequest) continue;
    const XSelectionRequestEvent& r = e.xselectionrequest;
    if (holding) {
      SlowOwnerAnswer(d, held, latin1);
      holding = false;
      AnswerSelectionRequest(d, e, None);
    } else if (r.target == XA_STRING && !heldOnce) {
      held = e;
      holding = heldOnce = true;
    } else if (r.target == XA_STRING) {
      SlowOwnerAnswer(d, e, latin1);
    } else {
      AnswerSelectionRequest(d, e, None);
    }
    XFlush(d);
  }
  _exit(0);
}

// Serves the text to one request in pieces of at most `piece` bytes (INCR):
// the announcement gives the size, and each time the requestor deletes the
// property the next piece goes there, an empty one last. Each piece asked
// for renews the guard.
void ServeInPieces(::Display* d, const XEvent& request, const std::string& text, std::size_t piece,
                   std::chrono::steady_clock::time_point& deadline) {
  const XSelectionRequestEvent& r = request.xselectionrequest;
  Atom incr = XInternAtom(d, "INCR", False), utf8 = XInternAtom(d, "UTF8_STRING", False);
  XSelectInput(d, r.requestor, PropertyChangeMask);
  long size = static_cast<long>(text.size());
  XChangeProperty(d, r.requestor, r.property, incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
  AnswerSelectionRequest(d, request, r.property);
  XFlush(d);
  std::size_t at = 0;
  bool ended = false;
  XEvent e;
  while (!ended && NextEvent(d, e, deadline)) {
    if (e.type != PropertyNotify || e.xproperty.window != r.requestor || e.xproperty.atom != r.property ||
        e.xproperty.state != PropertyDelete)
      continue;
    deadline = std::chrono::steady_clock::now() + kGuard;
    const std::size_t n = std::min(piece, text.size() - at);
    XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data() + at), static_cast<int>(n));
    XFlush(d);
    at += n;
    ended = n == 0;
  }
  XSelectInput(d, r.requestor, NoEventMask);
}

// Owns the clipboard with UTF-8 text until another owner comes, or no
// question came for the guard's time.
[[noreturn]] void ClipboardChild(const std::string& display, const std::string& serve, int out, std::size_t part) {
  ::Display* d = XOpenDisplay(display.c_str());
  if (!d) _exit(1);
  ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(d, "CLIPBOARD", False), utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom targets = XInternAtom(d, "TARGETS", False);
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  XEvent e;
  XSetSelectionOwner(d, clipboard, w, CurrentTime);
  XSync(d, False);
  char ok = 1;
  if (write(out, &ok, 1) != 1) _exit(1);
  while (NextEvent(d, e, deadline)) {
    if (e.type == SelectionClear) break;
    if (e.type != SelectionRequest) continue;
    deadline = std::chrono::steady_clock::now() + kGuard;
    const XEvent request = e;
    const XSelectionRequestEvent& r = request.xselectionrequest;
    if (r.target == utf8 && part > 0 && serve.size() > part) {
      ServeInPieces(d, request, serve, part, deadline);
      continue;
    }
    Atom answer = r.property;
    if (r.target == utf8) {
      XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(serve.data()), static_cast<int>(serve.size()));
    } else if (r.target == targets) {
      Atom list[] = {targets, utf8};
      XChangeProperty(d, r.requestor, r.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(list), 2);
    } else {
      answer = None;
    }
    AnswerSelectionRequest(d, request, answer);
    XFlush(d);
  }
  _exit(0);
}

// The child's next event of the type for the window, or false once the
// guard's time is up.
bool NextWindowEvent(::Display* d, ::Window w, int type, XEvent& e, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (XCheckTypedWindowEvent(d, w, type, &e)) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(d), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
    XEventsQueued(d, QueuedAfterReading);
  }
}

// Reads and deletes the property (which asks an owner sending in parts for
// the next): its type (None: there is none) and its bytes.
void TakeProperty(::Display* d, ::Window w, Atom prop, Atom& type, std::string& bytes) {
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  type = None;
  bytes.clear();
  if (XGetWindowProperty(d, w, prop, 0, 0x7FFFFFF, True, AnyPropertyType, &type, &format, &count, &after, &data) !=
      Success)
    type = None;
  if (data && format == 8) bytes.assign(reinterpret_cast<const char*>(data), count);
  if (data) XFree(data);
}

// Pastes UTF-8 text as a program does, a big one in parts (INCR) as they
// come; `leave`: goes away once the parts begin, as a program that ends
// in the middle of a paste.
[[noreturn]] void ReaderChild(const std::string& display, int out, bool leave) {
  ::Display* d = XOpenDisplay(display.c_str());
  if (!d) _exit(1);
  ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  // The parts are announced by their writing on this window.
  XSelectInput(d, w, PropertyChangeMask);
  Atom clipboard = XInternAtom(d, "CLIPBOARD", False), utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom prop = XInternAtom(d, "PROBE_CLIP", False), incr = XInternAtom(d, "INCR", False);
  XConvertSelection(d, clipboard, utf8, prop, w, CurrentTime);
  XFlush(d);
  auto deadline = std::chrono::steady_clock::now() + kGuard;
  std::string text = "(no answer)";
  XEvent e;
  if (NextWindowEvent(d, w, SelectionNotify, e, deadline)) {
    text = "(refused)";
    Atom type = None;
    std::string bytes;
    if (e.xselection.property != None) TakeProperty(d, w, prop, type, bytes);
    if (type == incr) {
      if (leave) _exit(0);
      text = "(stalled)";
      std::string whole;
      while (NextWindowEvent(d, w, PropertyNotify, e, deadline)) {
        if (e.xproperty.atom != prop || e.xproperty.state != PropertyNewValue) continue;
        TakeProperty(d, w, prop, type, bytes);
        if (type == None) continue;  // news of a value already read
        if (bytes.empty()) {
          text = whole;
          break;
        }
        whole += bytes;
        deadline = std::chrono::steady_clock::now() + kGuard;
      }
    } else if (type != None) {
      text = bytes;
    }
  }
  if (write(out, text.data(), text.size()) < 0) _exit(1);
  _exit(0);
}

}  // namespace

namespace {

// Runs `run` (which never returns) in a child process that writes to the
// pipe the Child reads; an owner first reports that it holds the clipboard.
template <class Run>
Probe::Child Spawn(bool owner, Run run) {
  Probe::Child c;
  int fds[2];
  if (pipe(fds) != 0) return c;
  c.pid = fork();
  if (c.pid == 0) {
    close(fds[0]);
    run(fds[1]);
  }
  close(fds[1]);
  c.pipe = fds[0];
  char ok = 0;
  if (c.pid < 0 || (owner && read(c.pipe, &ok, 1) != 1)) c.pid = -1;
  return c;
}

}  // namespace

Probe::Child Probe::ServeClipboard(const std::string& utf8) { return ServeClipboardInPieces(utf8, 0); }

Probe::Child Probe::ServeClipboardInPieces(const std::string& utf8, std::size_t piece) {
  std::string name = DisplayString(dpy_);
  return Spawn(true, [&](int out) { ClipboardChild(name, utf8, out, piece); });
}

Probe::Child Probe::ServeClipboardSlowly(const std::string& latin1) {
  std::string name = DisplayString(dpy_);
  return Spawn(true, [&](int out) { SlowClipboardChild(name, latin1, out); });
}

Probe::Child Probe::ReadClipboard(bool leaveMidway) {
  std::string name = DisplayString(dpy_);
  return Spawn(false, [&](int out) { ReaderChild(name, out, leaveMidway); });
}

bool Probe::Finished(Child& c, std::string& out) {
  if (c.pid <= 0) return true;
  // What the child tells is taken as it comes: a child with much to tell
  // would otherwise wait on a full pipe and never end. While it keeps
  // writing, so does this keep reading.
  bool closed = false;
  for (int wait = 0;;) {
    pollfd fd{c.pipe, POLLIN, 0};
    if (poll(&fd, 1, wait) <= 0) break;
    char buffer[65536];
    const ssize_t n = read(c.pipe, buffer, sizeof buffer);
    if (n <= 0) {
      closed = true;
      break;
    }
    c.told.append(buffer, static_cast<std::size_t>(n));
    wait = 10;
  }
  int status = 0;
  if (waitpid(c.pid, &status, closed ? 0 : WNOHANG) != c.pid) return false;
  char buffer[4096];
  ssize_t n;
  while ((n = read(c.pipe, buffer, sizeof buffer)) > 0) c.told.append(buffer, static_cast<std::size_t>(n));
  close(c.pipe);
  c.pid = -1;
  out = std::move(c.told);
  c.told.clear();
  return true;
}

}  // namespace win::x11
