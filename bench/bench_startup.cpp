// The front end's start-up under Xvfb: from exec to its first painted frame,
// in the same run as the floor, a plain Xlib program (startup_floor.c) that
// maps a window of the same size and fills it once it is exposed.
//
// Both are watched from outside, the same way: this program starts the
// server, listens on the root window for the program's window to be mapped,
// and from the exec on samples the window's pixels (a row and a column
// through the middle) until they have not changed for a while. The first
// painted frame is the first sample that already shows what the window
// finally shows. Each row also gives the page faults of a start (the
// child's own, read from the kernel when it is reaped: what it touched up
// to its first frame and the little it touched after; and, read while it
// runs, those taken by the time the first frame was seen), and the table ends
// with the ratio to the floor and the machine's load, which moves what a
// fault costs; ORV_STARTUP_TRACE=1 prints each start's samples over time.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "platform/x11/X11Probe.h"

namespace {

using Clock = std::chrono::steady_clock;

bool gFailed = false;

win::x11::Xvfb& Server() {
  static win::x11::Xvfb server;
  return server;
}

// The size of the front end's window, learnt from its first start; the
// floor's window takes it.
int gWidth = 0, gHeight = 0;

// What the window shows along its middle row and column.
std::vector<unsigned long> Sample(Display* ADisplay, Window AWindow, int AWidth, int AHeight) {
  std::vector<unsigned long> out;
  if (XImage* row = XGetImage(ADisplay, AWindow, 0, AHeight / 2, static_cast<unsigned>(AWidth), 1, AllPlanes, ZPixmap)) {
    for (int x = 0; x < AWidth; ++x) out.push_back(XGetPixel(row, x, 0));
    XDestroyImage(row);
  }
  if (XImage* column =
          XGetImage(ADisplay, AWindow, AWidth / 2, 0, 1, static_cast<unsigned>(AHeight), AllPlanes, ZPixmap)) {
    for (int y = 0; y < AHeight; ++y) out.push_back(XGetPixel(column, 0, y));
    XDestroyImage(column);
  }
  return out;
}

// The page faults of one start: minor (a page mapped or zeroed) and major
// (read from disk), over the whole run and by the first painted frame.
struct Faults {
  long Minor = 0, Major = 0;
  long MinorByFirstFrame = 0;
};

// The minor faults a running child has taken so far, all its threads
// together (the tenth field of its stat line, after the name in brackets).
long MinorFaultsSoFar(pid_t APid) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(APid));
  FILE* f = std::fopen(path, "r");
  if (!f) return -1;
  char line[1024] = {};
  const size_t n = std::fread(line, 1, sizeof line - 1, f);
  std::fclose(f);
  line[n] = 0;
  const char* p = std::strrchr(line, ')');
  if (!p) return -1;
  // state ppid pgrp session tty_nr tpgid flags, then minflt
  long minflt = -1;
  if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %ld", &minflt) != 1) return -1;
  return minflt;
}

// Starts AArgs in AFolder on the server and answers the seconds from the
// exec to the first painted frame (negative when the program showed no
// window), with the start's page faults in AFaults.
double TimeToFirstFrame(const std::vector<std::string>& AArgs, const std::string& AFolder, Faults& AFaults) {
  Display* display = XOpenDisplay(Server().Display().c_str());
  if (!display) return -1;
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);
  std::vector<char*> argv;
  for (const std::string& a : AArgs) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string env = "DISPLAY=" + Server().Display();
  const auto t0 = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    putenv(const_cast<char*>(env.c_str()));
    if (!AFolder.empty() && chdir(AFolder.c_str()) != 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  // The program's window: the first one mapped on the root.
  Window window = 0;
  const auto deadline = t0 + std::chrono::seconds(10);
  while (!window && Clock::now() < deadline) {
    while (XPending(display)) {
      XEvent e;
      XNextEvent(display, &e);
      if (e.type == MapNotify && e.xmap.event == root && !e.xmap.override_redirect) window = e.xmap.window;
    }
    if (!window) usleep(50);
  }
  double first = -1;
  if (window) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    if (gWidth == 0) {
      gWidth = attributes.width;
      gHeight = attributes.height;
    }
    // Sample until the pixels have been still for half a second.
    struct Taken {
      Clock::time_point when;
      std::vector<unsigned long> pixels;
      long faults;  // the child's minor faults when the picture was seen
    };
    std::vector<Taken> samples;
    auto stillSince = Clock::now();
    while (Clock::now() - stillSince < std::chrono::milliseconds(500) && Clock::now() < deadline) {
      std::vector<unsigned long> s = Sample(display, window, attributes.width, attributes.height);
      const auto now = Clock::now();
      if (samples.empty() || s != samples.back().pixels) {
        samples.push_back({now, std::move(s), MinorFaultsSoFar(pid)});
        stillSince = now;
      }
      // A breath between samples, so that the watching does not crowd out
      // the program watched.
      usleep(100);
    }
    if (std::getenv("ORV_STARTUP_TRACE"))
      for (const Taken& t : samples) {
        size_t same = 0;
        for (size_t i = 0; i < t.pixels.size() && i < samples.back().pixels.size(); ++i)
          same += t.pixels[i] == samples.back().pixels[i];
        std::fprintf(stderr, "  %.1f ms: %zu of %zu sampled pixels final, %ld faults\n",
                     std::chrono::duration<double, std::milli>(t.when - t0).count(), same, t.pixels.size(), t.faults);
      }
    // The first sample that shows the final picture.
    for (const Taken& t : samples)
      if (t.pixels == samples.back().pixels) {
        first = std::chrono::duration<double>(t.when - t0).count();
        AFaults.MinorByFirstFrame = t.faults;
        break;
      }
  }
  kill(pid, SIGTERM);
  struct rusage usage {};
  int status = 0;
  wait4(pid, &status, 0, &usage);
  AFaults.Minor = usage.ru_minflt;
  AFaults.Major = usage.ru_majflt;
  XCloseDisplay(display);
  return first;
}

void Run(benchmark::State& state, const std::function<std::vector<std::string>()>& AArgs, const std::string& AFolder) {
  if (!Server().Running()) {
    state.SkipWithError("Xvfb is not there");
    return;
  }
  double minor = 0, major = 0, byFirst = 0;
  for (auto _ : state) {
    Faults faults;
    const double seconds = TimeToFirstFrame(AArgs(), AFolder, faults);
    if (seconds < 0) {
      std::fprintf(stderr, "MISMATCH: %s showed no window\n", AArgs().front().c_str());
      gFailed = true;
      state.SkipWithError("no window");
      return;
    }
    state.SetIterationTime(seconds);
    minor += static_cast<double>(faults.Minor);
    major += static_cast<double>(faults.Major);
    byFirst += static_cast<double>(faults.MinorByFirstFrame);
  }
  state.counters["minflt"] = benchmark::Counter(minor, benchmark::Counter::kAvgIterations);
  state.counters["majflt"] = benchmark::Counter(major, benchmark::Counter::kAvgIterations);
  state.counters["minflt@frame"] = benchmark::Counter(byFirst, benchmark::Counter::kAvgIterations);
}

// The load over the last minute, which moves what a page fault costs.
double Load() {
  double load[1] = {-1};
  return getloadavg(load, 1) == 1 ? load[0] : -1;
}

void BM_FrontEnd(benchmark::State& state) {
  Run(state, [] { return std::vector<std::string>{ORV_PROGRAM_PATH}; }, ORV_PROGRAM_FOLDER);
}

void BM_XlibFloor(benchmark::State& state) {
  Run(state,
      [] {
        return std::vector<std::string>{ORV_FLOOR_PATH, std::to_string(gWidth > 0 ? gWidth : 640),
                                        std::to_string(gHeight > 0 ? gHeight : 480)};
      },
      "");
}

BENCHMARK(BM_FrontEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);
BENCHMARK(BM_XlibFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

// The medians, and the front end's ratio to the floor.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        Times[r.run_name.function_name] = r.GetAdjustedRealTime();
        const auto minor = r.counters.find("minflt");
        if (minor != r.counters.end()) MinorFaults[r.run_name.function_name] = minor->second.value;
        const auto byFrame = r.counters.find("minflt@frame");
        if (byFrame != r.counters.end()) FaultsByFrame[r.run_name.function_name] = byFrame->second.value;
      }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double ours = Times["BM_FrontEnd"], floor = Times["BM_XlibFloor"];
    if (ours > 0 && floor > 0)
      std::printf("\nFirst painted frame: front end %.1f ms, Xlib floor %.1f ms (%dx%d), ratio %.1f (goal within 5: %s)\n"
                  "Page faults per start: front end %.0f, Xlib floor %.0f (by the first frame %.0f and %.0f); "
                  "load %.2f on %ld processors\n",
                  ours, floor, gWidth, gHeight, ours / floor, ours / floor <= 5 ? "met" : "MISSED",
                  MinorFaults["BM_FrontEnd"], MinorFaults["BM_XlibFloor"], FaultsByFrame["BM_FrontEnd"],
                  FaultsByFrame["BM_XlibFloor"], Load(), sysconf(_SC_NPROCESSORS_ONLN));
  }
  std::map<std::string, double> Times, MinorFaults, FaultsByFrame;
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  return RunBenchmarks(argc, argv, reporter, gFailed, "bench_startup: a program showed no window (see MISMATCH above)");
}
