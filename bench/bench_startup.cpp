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
// fault costs, and with where each program's pages are once its picture
// stands; ORV_STARTUP_TRACE=1 prints each start's samples over time.
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
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
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
// The resident pages of the last start of each program, by kind.
std::map<std::string, std::vector<long>> gPages;

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
// Where a start's pages are, by kind of memory: what halving them would
// have to take away.
enum PageKind { pkWindowPixels, pkHeap, pkProgramRead, pkProgramWritten, pkLibraries, pkAnonymous, pkKinds };
constexpr const char* kPageKinds[pkKinds] = {"window pixels", "heap", "program code and constants",
                                             "program pages written", "other files", "anonymous"};

struct Faults {
  long Minor = 0, Major = 0;
  long MinorByFirstFrame = 0;
  long Pages[pkKinds] = {};
};

// The resident pages of a running child by kind, from its smaps: the
// shared segment the window's pixels live in, the heap, the program's
// pages read (code and constants) and written since it was mapped (its
// data and the pointer tables relocation fills), other files (libraries,
// fonts, the locale), and anonymous memory (the loader, thread stacks, the
// X connection's buffers, the main stack). A file's pages count as mapped,
// which the kernel maps up to 16 to a fault.
void ResidentPagesByKind(pid_t APid, const std::string& AProgram, long (&APages)[pkKinds]) {
  std::ifstream smaps("/proc/" + std::to_string(APid) + "/smaps");
  std::string line, name;
  bool program = false;
  long rss = 0;
  auto add = [&](long AKilobytes, PageKind AKind) { APages[AKind] += AKilobytes / 4; };
  while (std::getline(smaps, line)) {
    std::istringstream in(line);
    std::string first;
    in >> first;
    if (!first.empty() && first.find('-') != std::string::npos && first.back() != ':') {
      // A mapping's header: range, permissions, offset, device, inode, name.
      std::string perms, offset, device, inode;
      in >> perms >> offset >> device >> inode;
      (void)perms;
      std::getline(in, name);
      name.erase(0, name.find_first_not_of(' '));
      program = name == AProgram;
      rss = 0;
    } else if (first == "Rss:") {
      in >> rss;
    } else if (first == "Private_Dirty:") {
      long dirty = 0;
      in >> dirty;
      if (name.rfind("/SYSV", 0) == 0) add(rss, pkWindowPixels);
      else if (name == "[heap]") add(rss, pkHeap);
      else if (program) add(dirty, pkProgramWritten), add(rss - dirty, pkProgramRead);
      else if (!name.empty() && name[0] == '/') add(rss, pkLibraries);
      else add(rss, pkAnonymous);
    }
  }
}

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
  if (first >= 0) {
    char program[PATH_MAX];
    if (realpath(argv[0], program)) ResidentPagesByKind(pid, program, AFaults.Pages);
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

void Run(benchmark::State& state, const char* AName, const std::function<std::vector<std::string>()>& AArgs,
         const std::string& AFolder) {
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
    gPages[AName].assign(std::begin(faults.Pages), std::end(faults.Pages));
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
  Run(state, "BM_FrontEnd", [] { return std::vector<std::string>{ORV_PROGRAM_PATH}; }, ORV_PROGRAM_FOLDER);
}

void BM_XlibFloor(benchmark::State& state) {
  Run(state, "BM_XlibFloor",
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
    // Where the pages are once the picture stands: what halving the front
    // end's pages would have to take away. The window's pixels, the heap
    // and the pages relocation writes are written whatever the start does
    // first; a file's pages count as mapped (up to 16 a fault).
    const std::vector<long>& ours_ = gPages["BM_FrontEnd"];
    const std::vector<long>& floors = gPages["BM_XlibFloor"];
    if (ours_.size() == pkKinds && floors.size() == pkKinds) {
      long total = 0, floorTotal = 0;
      std::printf("Resident pages once the picture stands, front end / floor:");
      for (int k = 0; k < pkKinds; ++k) {
        std::printf("%s %s %ld / %ld", k ? "," : "", kPageKinds[k], ours_[k], floors[k]);
        total += ours_[k];
        floorTotal += floors[k];
      }
      std::printf("; in all %ld / %ld\n", total, floorTotal);
    }
  }
  std::map<std::string, double> Times, MinorFaults, FaultsByFrame;
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  return RunBenchmarks(argc, argv, reporter, gFailed, "bench_startup: a program showed no window (see MISMATCH above)");
}
