// The console table, then the ratio of each benchmark's time to the one of
// the size ten times smaller ("Family/size" names): a ratio well above 10
// (over 15) points at a quadratic path.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      std::string name = run.benchmark_name();
      name = name.substr(0, name.find("/iterations:"));
      const size_t slash = name.find('/');
      Times[name.substr(0, slash)].push_back({name.substr(slash + 1), run.GetAdjustedRealTime()});
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nRatio of each 10x step (over 15 flags a quadratic path):\n");
    for (const auto& [family, times] : Times) {
      std::printf("  %-36s", family.c_str());
      for (size_t i = 1; i < times.size(); ++i) {
        const double ratio = times[i - 1].second > 0 ? times[i].second / times[i - 1].second : 0;
        std::printf("  %s->%s: %5.1f%s", times[i - 1].first.c_str(), times[i].first.c_str(), ratio,
                    ratio > 15 ? " !" : "");
      }
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, std::vector<std::pair<std::string, double>>> Times;
};

// Runs every benchmark of the program through the reporter.
#define ORV_RATIO_BENCHMARK_MAIN()                  \
  int main(int argc, char** argv) {                 \
    benchmark::Initialize(&argc, argv);             \
    RatioReporter reporter;                         \
    benchmark::RunSpecifiedBenchmarks(&reporter);   \
    benchmark::Shutdown();                          \
    return 0;                                       \
  }
