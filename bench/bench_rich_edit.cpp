// The rich text editor's costs. 100 rich-text cells of about 2 KB of rich
// text each, without editor windows, painted the first time (the renderer
// lays each value out into the cell's bitmap) and again (the cached bitmap
// copied), per cell, beside 100 memo cells holding the same text as plain
// text in the same run ("memo_per_cell"); the height of the same cells for
// a width; 10 KB to 1 MB of rich text and of plain text streamed into and
// out of the editor through its line list, in MB/s, with the growth per
// 10x step printed at the end (about 10 is linear); and
// AdjustRichLineBreaks over 1 MB.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "EditorBenchCells.h"
#include "GrowthReporter.h"
#include "library/editors/cxMemo.h"
#include "library/editors/cxRichEdit.h"
#include "platform/rtl/Owned.h"

namespace {

using namespace editor_bench;

constexpr Integer kRichCells = 100;
constexpr Integer kRichCellHeight = 60;

// About ASize bytes of the front end's log as rich text: lines of black,
// red, blue and green runs.
AnsiString LogRtf(std::size_t ASize, int ASeed = 0) {
  AnsiString rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;"
      "\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\\f0\\fs16 ";
  for (int line = 0; rtf.size() < ASize; ++line)
    rtf += "\\cf1 Tile " + std::to_string(line + ASeed) + " {\\b ready} \\cf2 warning\\cf1  at \\cf3 row " +
           std::to_string(line * 7) + "\\cf1 , \\cf4 done\\cf1\\par ";
  return rtf + "}";
}

// The same lines as plain text.
AnsiString LogText(std::size_t ASize) {
  AnsiString text;
  for (int line = 0; text.size() < ASize; ++line)
    text += "Tile " + std::to_string(line) + " ready warning at row " + std::to_string(line * 7) + ", done\r\n";
  return text;
}

std::vector<Variant> RichValues() {
  std::vector<Variant> values;
  for (int i = 0; i < 3; ++i) values.emplace_back(LogRtf(2048, i * 100));
  return values;
}

// Frames of rich cells and memo cells, alternately, so that both meet the
// same machine state; "per_cell" is a rich cell's time.
void RichCells(benchmark::State& state, bool ARepaint) {
  StartConcreteUnits();
  CellFrame rich(New<TcxRichEditProperties>(nullptr), RichValues(), CellValue::Edit, kRichCells, kRichCellHeight);
  CellFrame memo(New<TcxMemoProperties>(nullptr), {Variant(LogText(2048))}, CellValue::Edit, kRichCells,
                 kRichCellHeight);
  rich.Paint();
  double memoSeconds = 0;
  int memoFrames = 0;
  for (auto _ : state) {
    if (ARepaint)
      rich.Repaint();
    else
      rich.Paint();
    state.PauseTiming();
    const auto start = std::chrono::steady_clock::now();
    memo.Paint();
    memoSeconds += SecondsSince(start);
    ++memoFrames;
    state.ResumeTiming();
  }
  state.counters["per_cell"] = benchmark::Counter(static_cast<double>(state.iterations()) * kRichCells,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["memo_per_cell"] = benchmark::Counter(memoSeconds / memoFrames / kRichCells);
}

void BM_RichCellsFirstPaint(benchmark::State& state) { RichCells(state, false); }
BENCHMARK(BM_RichCellsFirstPaint)->Unit(benchmark::kMillisecond);

void BM_RichCellsRepaint(benchmark::State& state) { RichCells(state, true); }
BENCHMARK(BM_RichCellsRepaint)->Unit(benchmark::kMillisecond);

void BM_RichCellHeight(benchmark::State& state) {
  StartConcreteUnits();
  TOwned<TcxRichEditProperties> properties(New<TcxRichEditProperties>(nullptr));
  TOwned<TcxEditStyle> style(New<TcxEditStyle>(nullptr, true));
  const std::vector<Variant> values = RichValues();
  TcxEditSizeProperties size;
  size.Width = 240;
  size.Height = -1;
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        properties->GetEditSize(cxScreenCanvas(), style.get(), true, values[i++ % values.size()], size));
  state.counters["per_cell"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RichCellHeight)->Unit(benchmark::kMicrosecond);

// Streams ASize bytes into the editor's lines and out again.
void Stream(benchmark::State& state, const AnsiString& AData, bool APlain) {
  StartConcreteUnits();
  auto* edit = New<TcxRichEdit>(TheScreen().form);
  edit->SetParent(TheScreen().form);
  edit->GetProperties()->SetPlainText(APlain);
  for (auto _ : state) {
    TStringStream in(AData);
    edit->GetLines()->LoadFromStream(&in);
    TStringStream out;
    edit->GetLines()->SaveToStream(&out);
    benchmark::DoNotOptimize(out.GetSize());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(AData.size()) * 2);
  edit->Free();
}

void BM_StreamRtf(benchmark::State& state) {
  Stream(state, LogRtf(static_cast<std::size_t>(state.range(0))), false);
}
BENCHMARK(BM_StreamRtf)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_StreamText(benchmark::State& state) {
  Stream(state, LogText(static_cast<std::size_t>(state.range(0))), true);
}
BENCHMARK(BM_StreamText)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_AdjustRichLineBreaks(benchmark::State& state) {
  AnsiString text;
  for (int line = 0; text.size() < static_cast<std::size_t>(state.range(0)); ++line)
    text += "line " + std::to_string(line) + (line % 3 == 0 ? "\r" : line % 3 == 1 ? "\n" : "\r\n");
  for (auto _ : state) benchmark::DoNotOptimize(AdjustRichLineBreaks(text, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_AdjustRichLineBreaks)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return growth::Main(argc, argv); }
