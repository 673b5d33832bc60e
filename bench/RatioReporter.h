// The console table, then the ratio of each benchmark's time to the one of
// the size ten times smaller ("Family/size" names): a ratio well above 10
// (over 15) points at a quadratic path.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions a size reports its iterations and then aggregates:
    // the median stands for the size (the mean, deviation and variation do
    // not), and without one the last iteration does.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && run.run_type != Run::RT_Iteration) continue;
      std::string name = run.run_name.function_name + "/" + run.run_name.args;
      const size_t slash = name.find('/');
      auto& times = Times[name.substr(0, slash)];
      const std::string size = name.substr(slash + 1);
      auto it = std::find_if(times.begin(), times.end(), [&](const auto& t) { return t.first == size; });
      if (it == times.end())
        times.push_back({size, run.GetAdjustedRealTime()});
      else if (median || !Medians.count(name))
        it->second = run.GetAdjustedRealTime();
      if (median) Medians.insert(name);
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
  std::set<std::string> Medians;
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
