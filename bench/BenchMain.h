// The main of a benchmark program that reports through a reporter of its
// own and checks its peers: the benchmarks run, and the exit status is 1
// when a check failed (AFailed), with AFailedText on stderr.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>

inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& AReporter, const bool& AFailed,
                         const char* AFailedText) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&AReporter);
  benchmark::Shutdown();
  if (AFailed) std::fprintf(stderr, "%s\n", AFailedText);
  return AFailed ? 1 : 0;
}
