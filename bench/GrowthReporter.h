// The main of a benchmark program that measures how work grows with its
// input (benchmarks named "Name/size", timed in milliseconds): it runs the
// benchmarks as usual and ends with a table of the best time of each size
// over --benchmark_repetitions and the time ratio of every 10x step (about
// 10 is linear, 100 quadratic).
#pragma once

#include <benchmark/benchmark.h>

#include "BenchMain.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace growth {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.benchmark_name();
      const auto slash = name.find('/');
      if (slash == std::string::npos) continue;
      const long size = std::stol(name.substr(slash + 1));
      double& best = Times[name.substr(0, slash)][size];
      const double t = run.GetAdjustedRealTime();
      if (best == 0 || t < best) best = t;
    }
  }
  std::map<std::string, std::map<long, double>> Times;
};

// Each benchmark's best time per size, and under it the ratio of each
// time to the one at a tenth of the size.
inline void PrintGrowth(const std::map<std::string, std::map<long, double>>& times) {
  std::printf("best time (ms) per size, and growth per 10x step (10 is linear, above 15 a quadratic path):\n");
  for (const auto& [name, sizes] : times) {
    std::printf("  %-34s", name.c_str());
    for (const auto& [size, time] : sizes) std::printf(" %10ld", size);
    std::printf("\n  %-34s", "  time");
    for (const auto& [size, time] : sizes) std::printf(" %10.3f", time);
    std::printf("\n  %-34s %10s", "  growth", "");
    double previous = 0;
    for (const auto& [size, time] : sizes) {
      if (previous > 0) std::printf(" %10.1f", time / previous);
      previous = time;
    }
    std::printf("\n");
  }
}

inline int Main(int argc, char** argv) {
  if (!InitializeInterleaved(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  PrintGrowth(reporter.Times);
  benchmark::Shutdown();
  return 0;
}

}  // namespace growth
