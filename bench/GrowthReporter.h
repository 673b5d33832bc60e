// The main of a benchmark program that measures how work grows with its
// input: it runs the benchmarks as usual and ends with the time ratio of
// every 10x step of each (about 10 is linear, 100 quadratic), from the
// best time of each size over --benchmark_repetitions.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
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

inline void PrintGrowth(const std::map<std::string, std::map<long, double>>& times) {
  std::printf("growth per 10x step (10 is linear, above 15 a quadratic path):\n");
  for (const auto& [name, sizes] : times) {
    std::printf("  %-28s", name.c_str());
    double previous = 0;
    for (const auto& [size, time] : sizes) {
      if (previous > 0) std::printf(" %6.1f", time / previous);
      previous = time;
    }
    std::printf("\n");
  }
}

inline int Main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  PrintGrowth(reporter.Times);
  benchmark::Shutdown();
  return 0;
}

}  // namespace growth
