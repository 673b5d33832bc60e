// Monitors from RandR when the server has it (else the root window as one
// monitor), each with the desktop's work area (_NET_WORKAREA, where a
// window manager publishes what its panels leave free) cut to it. Kept
// until the screen or the work area changes. The layer's 96 DPI stays
// whatever the server reports.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

#include "platform/x11/X11Connection.h"

namespace win::x11 {
namespace {

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return a;  // no overlap: the panels are elsewhere
  return r;
}

}  // namespace

void X11BackEnd::RefreshMonitors() const {
  monitors.clear();
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (XRRQueryExtension(dpy, &eventBase, &errorBase) && XRRQueryVersion(dpy, &major, &minor) &&
      (major > 1 || (major == 1 && minor >= 5))) {
    int n = 0;
    if (XRRMonitorInfo* m = XRRGetMonitors(dpy, root, True, &n)) {
      for (int i = 0; i < n; ++i) {
        MonitorInfo info;
        info.bounds = {m[i].x, m[i].y, m[i].x + m[i].width, m[i].y + m[i].height};
        info.primary = m[i].primary != 0;
        monitors.push_back(info);
      }
      XRRFreeMonitors(m);
    }
  }
  if (monitors.empty()) {
    MonitorInfo info;
    info.bounds = {0, 0, DisplayWidth(dpy, screen), DisplayHeight(dpy, screen)};
    monitors.push_back(info);
  }
  if (std::none_of(monitors.begin(), monitors.end(), [](const MonitorInfo& m) { return m.primary; }))
    monitors.front().primary = true;
  // The primary monitor first, as the window system lists them.
  std::stable_partition(monitors.begin(), monitors.end(), [](const MonitorInfo& m) { return m.primary; });

  RECT work{};
  bool haveWork = false;
  if (const std::vector<long> v = PropertyLongs(root, atoms.netWorkarea, XA_CARDINAL, 4); v.size() >= 4) {
    work = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
            static_cast<int>(v[1] + v[3])};
    haveWork = work.Right > work.Left && work.Bottom > work.Top;
  }
  for (MonitorInfo& m : monitors) m.work = haveWork ? Intersect(m.bounds, work) : m.bounds;
  monitorsValid = true;
}

std::vector<MonitorInfo> X11BackEnd::Monitors() const {
  if (!monitorsValid) RefreshMonitors();
  return monitors;
}

}  // namespace win::x11
