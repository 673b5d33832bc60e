// The main of a benchmark program that reports through a reporter of its
// own and checks its peers: the benchmarks run, and the exit status is 1
// when a check failed (AFailed), with AFailedText on stderr.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

// Initialises the benchmark library with the command line. Repetitions
// run interleaved, in random order, unless the command line says
// otherwise: a spell of the machine running slow (another guest, memory
// traffic) then slows every benchmark and size a little instead of one
// throughout, which would show as a ratio or a step of growth the work
// does not have. Answers false on an argument the library does not know.
inline bool InitializeInterleaved(int argc, char** argv) {
  static std::vector<char*> args;
  args.assign(argv, argv + argc);
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  bool given = false;
  for (int i = 1; i < argc; ++i) given |= std::strstr(argv[i], "random_interleaving") != nullptr;
  if (!given) args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  return !benchmark::ReportUnrecognizedArguments(count, args.data());
}

inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& AReporter, const bool& AFailed,
                         const char* AFailedText) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks(&AReporter);
  benchmark::Shutdown();
  if (AFailed) std::fprintf(stderr, "%s\n", AFailedText);
  return AFailed ? 1 : 0;
}
