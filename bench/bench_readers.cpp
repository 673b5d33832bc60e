// Readers of outside input at 10^3, 10^4 and 10^5 items: an INI file of
// many sections, a registry store with many values in one key and a layout
// with many children. Each must grow linearly; the program ends with the
// time ratio of every 10x step (about 10 is linear, 100 quadratic). A peer
// of plainly linear work on standard containers (a hash index and a vector
// of named lists, as the INI reader builds) shows what the machine's
// caches and allocator add at the large sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Component.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Registry.h"

namespace {

std::string IniText(int sections) {
  std::string text;
  for (int i = 0; i < sections; ++i) text += "[Section" + std::to_string(i) + "]\r\nKey=Value\r\n";
  return text;
}

void BM_IniParse(benchmark::State& state) {
  const std::string text = IniText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    orv::IniDocument doc;
    doc.Parse(text);
    benchmark::DoNotOptimize(doc.Sections().size());
  }
}
BENCHMARK(BM_IniParse)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_RegistryDecode(benchmark::State& state) {
  orv::registry::Key root;
  auto key = std::make_unique<orv::registry::Key>();
  key->Name = "Values";
  for (int i = 0; i < state.range(0); ++i)
    key->Values.push_back({"Value" + std::to_string(i), win::REG_SZ, "data"});
  root.SubKeys.emplace(key->Name, std::move(key));
  const std::string bytes = orv::registry::Encode(root);
  for (auto _ : state) {
    orv::registry::Key decoded;
    if (!orv::registry::Decode(bytes, decoded)) state.SkipWithError("the store did not decode");
    benchmark::DoNotOptimize(decoded.SubKeys.size());
  }
}
BENCHMARK(BM_RegistryDecode)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_LayoutRead(benchmark::State& state) {
  RegisterClass(TComponent::StaticClass());
  std::string text = "object Root: TComponent\n";
  for (int i = 0; i < state.range(0); ++i) text += "  object Child" + std::to_string(i) + ": TComponent\n  end\n";
  text += "end\n";
  for (auto _ : state) {
    TComponent* root = New<TComponent>(nullptr);
    ReadComponentFromText(text, root);
    benchmark::DoNotOptimize(root->GetComponentCount());
    root->Free();
  }
}
BENCHMARK(BM_LayoutRead)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_LinearPeer(benchmark::State& state) {
  struct Line {
    std::string Key, Value;
  };
  struct Section {
    std::string Name;
    std::vector<Line> Lines;
  };
  for (auto _ : state) {
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> index;
    for (int i = 0; i < state.range(0); ++i) {
      const std::string name = "SECTION" + std::to_string(i);
      auto [it, added] = index.emplace(name, sections.size());
      if (added) sections.push_back({name, {}});
      sections[it->second].Lines.push_back({"Key", std::to_string(i)});
    }
    benchmark::DoNotOptimize(sections.size());
  }
}
BENCHMARK(BM_LinearPeer)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps the best time of each size (over
// --benchmark_repetitions) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.benchmark_name();
      const auto slash = name.find('/');
      const long size = std::stol(name.substr(slash + 1));
      double& best = Times[name.substr(0, slash)][size];
      const double t = run.GetAdjustedRealTime();
      if (best == 0 || t < best) best = t;
    }
  }
  std::map<std::string, std::map<long, double>> Times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\ngrowth per 10x step (10 is linear):\n");
  for (const auto& [name, times] : reporter.Times) {
    std::printf("  %-20s", name.c_str());
    double previous = 0;
    for (const auto& [size, time] : times) {
      if (previous > 0) std::printf(" %6.1f", time / previous);
      previous = time;
    }
    std::printf("\n");
  }
  benchmark::Shutdown();
  return 0;
}
