// The ratio table, then our time over the peer's for the pairs of
// benchmarks (ours, the peer's) that both ran: below 1 we are faster.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "RatioReporter.h"

class PeerReporter : public RatioReporter {
 public:
  PeerReporter(std::string APeer, std::vector<std::pair<std::string, std::string>> APairs)
      : FPeer(std::move(APeer)), FPairs(std::move(APairs)) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    RatioReporter::ReportRuns(runs);
    for (const Run& run : runs) FTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    RatioReporter::Finalize();
    std::printf("\nOur time / %s's:\n", FPeer.c_str());
    for (const auto& [ours, peer] : FPairs) {
      auto a = FTimes.find(ours), b = FTimes.find(peer);
      if (a != FTimes.end() && b != FTimes.end() && b->second > 0)
        std::printf("  %-52s %8.2f\n", ours.c_str(), a->second / b->second);
    }
  }

 private:
  std::string FPeer;
  std::vector<std::pair<std::string, std::string>> FPairs;
  std::map<std::string, double> FTimes;
};

// Runs every benchmark of the program through a PeerReporter.
inline int RunWithPeer(int argc, char** argv, PeerReporter& AReporter) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(&AReporter);
  benchmark::Shutdown();
  return 0;
}
