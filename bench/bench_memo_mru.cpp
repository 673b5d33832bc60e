// Memo cells and the most-recently-used list. 1,000 memo cells without
// editor windows whose values are 100 KB texts, each laid out, given its
// value and painted (EditorBenchCells.h), beside 1,000 text-editor cells
// holding the same first lines in the same run ("to_text"): a cell shows
// only its first line, looked for within 250 characters, so "per_cell"
// must be the same for 1 KB and 100 KB values. And AddItem into an MRU
// list of 1,000 texts, a new text each time (the oldest leaves).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "EditorBenchCells.h"
#include "library/editors/cxMRUEdit.h"
#include "library/editors/cxMemo.h"
#include "platform/rtl/Owned.h"

namespace {

using namespace editor_bench;

// Values of ALength characters whose first line is a short sentence.
std::vector<Variant> LongTexts(std::size_t ALength) {
  std::vector<Variant> values;
  for (int i = 0; i < 3; ++i) {
    AnsiString text = "Note " + std::to_string(i) + " about the map\r\n";
    text.append(ALength - text.size(), static_cast<char>('a' + i));
    values.emplace_back(text);
  }
  return values;
}

void BM_MemoCells(benchmark::State& state) {
  MeasureAgainstText(state, New<TcxMemoProperties>(nullptr), LongTexts(static_cast<std::size_t>(state.range(0))),
                     CellValue::Edit,
                     {Variant("Note 0 about the map"), Variant("Note 1 about the map"), Variant("Note 2 about the map")});
}
BENCHMARK(BM_MemoCells)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);


void BM_MRUAddItem(benchmark::State& state) {
  StartConcreteUnits();
  TOwned<TcxMRUEdit> edit(New<TcxMRUEdit>(nullptr));
  TcxMRUEditProperties* properties = edit->GetProperties();
  properties->SetMaxItemCount(1000);
  for (int i = 0; i < 1000; ++i) edit->AddItem("text " + std::to_string(i));
  int next = 1000;
  for (auto _ : state) edit->AddItem("text " + std::to_string(next++));
  benchmark::DoNotOptimize(properties->GetLookupItems()->GetCount());
}
BENCHMARK(BM_MRUAddItem)->Unit(benchmark::kMicrosecond);

}  // namespace
