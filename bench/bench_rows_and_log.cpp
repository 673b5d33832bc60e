// Row and log work as the front end does it, from 10^2 to 10^5 items
// (10^6 for adding and freeing rows and for the log): adding rows of text
// editors to a vertical grid (each editor listens to the format
// controller), freeing them inside the grid's update bracket, freeing a
// form that holds such a grid, the front end showing a terrain file of
// unknown keys after another such file and closing with one shown, and log
// lines added to a memo and to the front end's rich edit log. Each must
// grow linearly: the program ends with every workload's best times and the
// ratio of each 10x step (about 10 is linear, 100 quadratic). Beside them,
// floors do the same data work by hand on standard containers: what the
// machine's caches and allocator cost at each size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "GrowthReporter.h"
#include "app/Orvanta.h"
#include "app/Tarvikui.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxMemo.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/controls/Memo.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/TestHooks.h"
#include "tests/support/TempDir.h"

namespace {

void UpTo(benchmark::internal::Benchmark* b, int64_t largest) {
  for (int64_t n = 100; n <= largest; n *= 10) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
}
void ToE5(benchmark::internal::Benchmark* b) { UpTo(b, 100000); }
void ToE6(benchmark::internal::Benchmark* b) { UpTo(b, 1000000); }
// The freeing workloads time themselves (see Freeing).
void FreeingToE5(benchmark::internal::Benchmark* b) { ToE5(b->UseManualTime()); }
void FreeingToE6(benchmark::internal::Benchmark* b) { ToE6(b->UseManualTime()); }

// The units of the program, started once for the whole run.
void StartSession() {
  static forms::test::Session* session = [] {
    RegisterOrvantaUnits();
    return new forms::test::Session();
  }();
  (void)session;
}

TForm* ShownForm() {
  StartSession();
  TForm* form = TCustomForm::CreateNew<TForm>(Application);
  form->SetBounds(0, 0, 500, 400);
  form->Show();
  return form;
}

TcxVerticalGrid* GridOn(TForm* AForm) {
  auto* grid = New<TcxVerticalGrid>(AForm);
  grid->SetBounds(0, 0, 480, 380);
  grid->SetParent(AForm);
  return grid;
}

// Writes a buffer three times the size of the last-level cache, so that
// what a workload made outside the clock is out of the caches when the
// clock starts, at every size alike: a form is closed long after its rows
// were made. Without it the rows made at 10^3 (1.6 MB) were still in the
// caches and those at 10^4 were not, and the step between the two measured
// the caches, the floor's as much as the library's.
void EvictCaches() {
  static std::vector<unsigned char> buffer(96u << 20);
  static unsigned char pass = 0;
  std::memset(buffer.data(), ++pass, buffer.size());
  benchmark::DoNotOptimize(buffer.data());
  benchmark::ClobberMemory();
}

// Frees at least 10^4 rows per measurement: below that size, as many
// grids or forms as make 10^4 rows are made outside the clock and freed
// one after another, and the time is one's share. A measurement then
// frees as much memory at 10^2 as at 10^4, cold at every size alike, and
// the step to 10^4 is what freeing one more row costs, not how much of
// the rows the processor's tables and prefetchers hold: with one form a
// measurement, the floor that frees bare blocks grew 16 to 20 in that
// step. What grows faster than the rows still shows, in every share. (Not
// more than 10^4: a thousand grids on one form make each grid's update
// bracket walk a thousand siblings.)
// AClear, where given, runs on each after the clock, as the rest of the
// loop did.
template <class Made>
void Freeing(benchmark::State& state, const std::function<Made()>& AMake, const std::function<void(Made&)>& AFree,
             const std::function<void(Made&)>& AClear = nullptr) {
  const std::size_t batch = static_cast<std::size_t>(std::max<int64_t>(1, 10000 / state.range(0)));
  for (auto _ : state) {
    std::vector<Made> made;
    for (std::size_t i = 0; i < batch; ++i) made.push_back(AMake());
    EvictCaches();
    const auto start = std::chrono::steady_clock::now();
    for (Made& m : made) AFree(m);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count() / static_cast<double>(batch));
    if (AClear)
      for (Made& m : made) AClear(m);
  }
}

// ACount rows with text editors of their own under one category, added in
// the grid's update bracket.
TcxCategoryRow* AddTextRows(TcxVerticalGrid* AGrid, int64_t ACount) {
  AGrid->BeginUpdate();
  auto* category = static_cast<TcxCategoryRow*>(AGrid->Add(TcxCategoryRow::StaticClass()));
  for (int64_t i = 0; i < ACount; ++i) {
    auto* row = static_cast<TcxEditorRow*>(AGrid->AddChild(category, TcxEditorRow::StaticClass()));
    row->GetProperties()->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
  }
  AGrid->EndUpdate();
  return category;
}

// ---- Rows ----

void BM_AddRows(benchmark::State& state) {
  TForm* form = ShownForm();
  for (auto _ : state) {
    TcxVerticalGrid* grid = GridOn(form);
    AddTextRows(grid, state.range(0));
    state.PauseTiming();
    grid->Free();
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  form->Free();
}
BENCHMARK(BM_AddRows)->Apply(ToE6);

// The rows go last first, as the front end empties a category.
void BM_FreeRowsInBracket(benchmark::State& state) {
  TForm* form = ShownForm();
  struct GridRows {
    TcxVerticalGrid* Grid;
    TcxCategoryRow* Category;
  };
  Freeing<GridRows>(
      state,
      [&] {
        TcxVerticalGrid* grid = GridOn(form);
        TcxCategoryRow* category = AddTextRows(grid, state.range(0));
        win::test::PumpUntilIdle();
        return GridRows{grid, category};
      },
      [](GridRows& g) {
        g.Grid->BeginUpdate();
        while (g.Category->GetCount() > 0) g.Category->GetRow(g.Category->GetCount() - 1)->Free();
        g.Grid->EndUpdate();
      },
      [&](GridRows& g) {
        if (g.Grid->GetRows()->GetCount() != 1) state.SkipWithError("rows left");
        g.Grid->Free();
        win::test::PumpUntilIdle();
      });
  form->Free();
}
BENCHMARK(BM_FreeRowsInBracket)->Apply(FreeingToE6);

void BM_FreeFormWithGrid(benchmark::State& state) {
  Freeing<TForm*>(
      state,
      [&] {
        TForm* form = ShownForm();
        AddTextRows(GridOn(form), state.range(0));
        win::test::PumpUntilIdle();
        return form;
      },
      [](TForm*& form) { form->Free(); });
}
BENCHMARK(BM_FreeFormWithGrid)->Apply(FreeingToE5);

// The floor of the row workloads: rows as plain records with a caption, a
// value and an ID, in their category's list, an ID index and a set of
// listeners, added and then freed last first (both ways together).
void BM_FloorRowsByHand(benchmark::State& state) {
  struct Row {
    int Id;
    std::string Caption, Value;
  };
  for (auto _ : state) {
    std::vector<std::unique_ptr<Row>> category;
    std::unordered_map<int, Row*> ids;
    std::unordered_set<const Row*> listeners;
    for (int i = 0; i < state.range(0); ++i) {
      category.push_back(std::make_unique<Row>(Row{i, "key" + std::to_string(i), "value"}));
      ids.emplace(i, category.back().get());
      listeners.insert(category.back().get());
    }
    while (!category.empty()) {
      ids.erase(category.back()->Id);
      listeners.erase(category.back().get());
      category.pop_back();
    }
    benchmark::DoNotOptimize(ids.size());
  }
}
BENCHMARK(BM_FloorRowsByHand)->Apply(ToE6);

// The floor of freeing rows as the grid's rows lie in memory: each row the
// nine heap blocks a row of text editors takes, of the same sizes and made
// in the same order, written when made; freed last first, each block's
// lines read before it goes as a destructor would, and nothing else. Made
// outside the clock, as BM_FreeRowsInBracket makes its rows: what freeing
// rows of this size costs in the caches and the allocator alone.
void BM_FloorFreeRowBlocks(benchmark::State& state) {
  static constexpr std::size_t kBlocks[] = {336, 192, 368, 32, 40, 80, 48, 56, 480};
  using Row = std::array<unsigned char*, std::size(kBlocks)>;
  unsigned sum = 0;
  Freeing<std::vector<Row>>(
      state,
      [&] {
        std::vector<Row> rows(static_cast<std::size_t>(state.range(0)));
        for (std::size_t r = 0; r < rows.size(); ++r)
          for (std::size_t b = 0; b < std::size(kBlocks); ++b) {
            rows[r][b] = static_cast<unsigned char*>(::operator new(kBlocks[b]));
            std::memset(rows[r][b], static_cast<int>(r & 0xFF), kBlocks[b]);
          }
        return rows;
      },
      [&](std::vector<Row>& rows) {
        for (std::size_t r = rows.size(); r-- > 0;)
          for (std::size_t b = 0; b < std::size(kBlocks); ++b) {
            for (std::size_t at = 0; at < kBlocks[b]; at += 64) sum += rows[r][b][at];
            ::operator delete(rows[r][b]);
          }
      });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_FloorFreeRowBlocks)->Apply(FreeingToE6);

// ---- The front end ----

// A start folder with the example definitions and two terrain files of
// ACount unknown keys each.
struct FrontEnd {
  explicit FrontEnd(int64_t ACount) {
    StartSession();
    std::ifstream defs(std::string(ORV_EXAMPLES_DIR) + "/tarvikwin.tdf", std::ios::binary);
    folder.Write("tarvikwin.tdf", std::string(std::istreambuf_iterator<char>(defs), {}));
    for (const char* name : {"a.tt", "b.tt"}) {
      std::string keys;
      for (int64_t i = 0; i < ACount; ++i)
        keys += "unknown" + std::to_string(i) + "=" + name + std::to_string(i) + ";\r\n";
      folder.Write(name, keys);
    }
    cd = std::make_unique<CurrentDirGuard>(folder.Path());
  }
  ~FrontEnd() {
    if (form) form->Free();
    win::test::PumpUntilIdle();
  }
  void Open() {
    form = New<TMainForm>(Application);
    form->Show();
    win::test::PumpUntilIdle();
  }
  void Close() {
    form->Free();
    form = nullptr;
    win::test::PumpUntilIdle();
  }
  // Picks a file as a click on its row does.
  void Pick(const std::string& AName) {
    TcxVerticalGridRows* rows = form->cxVGTerrainFiles->GetRows();
    for (Integer i = 0; i < rows->GetCount(); ++i)
      if (auto* row = dynamic_cast<TcxEditorRow*>(rows->GetRow(i)))
        if (row->GetProperties()->Hint == folder / AName) {
          form->cxVGTerrainFiles->SetFocusedRow(row);
          form->cxVGTerrainFilesClick(form->cxVGTerrainFiles);
          win::test::PumpUntilIdle();
          return;
        }
  }
  TempDir folder;
  std::unique_ptr<CurrentDirGuard> cd;
  TMainForm* form = nullptr;
};

// Each pick frees the rows of the file shown and reads the other.
void BM_FrontEndShowUnknownKeys(benchmark::State& state) {
  FrontEnd frontEnd(state.range(0));
  frontEnd.Open();
  frontEnd.Pick("a.tt");
  bool second = false;
  for (auto _ : state) frontEnd.Pick((second = !second) ? "b.tt" : "a.tt");
  if (frontEnd.form->GetCurrentFile() != frontEnd.folder / (second ? "b.tt" : "a.tt"))
    state.SkipWithError("not shown");
}
BENCHMARK(BM_FrontEndShowUnknownKeys)->Apply(ToE5);

void BM_FrontEndCloseWithUnknownKeys(benchmark::State& state) {
  FrontEnd frontEnd(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    frontEnd.Open();
    frontEnd.Pick("a.tt");
    if (frontEnd.form->GetCurrentFile() != frontEnd.folder / "a.tt") state.SkipWithError("not shown");
    EvictCaches();
    state.ResumeTiming();
    frontEnd.Close();
  }
}
BENCHMARK(BM_FrontEndCloseWithUnknownKeys)->Apply(ToE5);

// The floor of showing a file: its statements read by hand into keys and
// values.
void BM_FloorReadStatementsByHand(benchmark::State& state) {
  FrontEnd frontEnd(state.range(0));
  for (auto _ : state) {
    std::ifstream in(frontEnd.folder / "a.tt", std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    std::vector<std::pair<std::string, std::string>> statements;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t eq = text.find('=', at), semi = text.find(';', eq), end = text.find('\n', semi);
      statements.emplace_back(text.substr(at, eq - at), text.substr(eq + 1, semi - eq - 1));
      at = end == std::string::npos ? text.size() : end + 1;
    }
    benchmark::DoNotOptimize(statements.size());
  }
}
BENCHMARK(BM_FloorReadStatementsByHand)->Apply(ToE5);

// ---- The log ----

template <class Edit>
Edit* NewLog(TForm* AForm) {
  auto* log = New<Edit>(AForm);
  log->SetBounds(0, 0, 480, 380);
  log->SetScrollBars(ssVertical);
  log->SetParent(AForm);
  log->HandleNeeded();
  return log;
}

// The library's memo editor as a log, its value following its text.
TcxMemo* NewCxLog(TForm* AForm) {
  auto* memo = New<TcxMemo>(AForm);
  memo->SetBounds(0, 0, 480, 380);
  memo->GetProperties()->SetScrollBars(ssVertical);
  memo->SetParent(AForm);
  memo->HandleNeeded();
  return memo;
}

// Lines added one by one to a log that NewMemo makes.
template <auto NewMemo>
void LinesAdd(benchmark::State& state) {
  TForm* form = ShownForm();
  for (auto _ : state) {
    state.PauseTiming();
    auto* memo = NewMemo(form);
    state.ResumeTiming();
    for (int i = 0; i < state.range(0); ++i) memo->GetLines()->Add("map " + std::to_string(i) + " created");
    state.PauseTiming();
    if (memo->GetLines()->GetCount() != state.range(0)) state.SkipWithError("lines lost");
    memo->Free();
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  form->Free();
}

void BM_MemoLinesAdd(benchmark::State& state) { LinesAdd<NewLog<TMemo>>(state); }
BENCHMARK(BM_MemoLinesAdd)->Apply(ToE6);

void BM_CxMemoLinesAdd(benchmark::State& state) { LinesAdd<NewCxLog>(state); }
BENCHMARK(BM_CxMemoLinesAdd)->Apply(ToE6);

// Each line as the front end logs it: the caret to the end, a colour and
// weight, the line added, the caret to the end and scrolled into view.
void BM_RichLogLines(benchmark::State& state) {
  TForm* form = ShownForm();
  const TColor colours[] = {clBlack, clRed, clGreen, clBlue};
  for (auto _ : state) {
    state.PauseTiming();
    auto* log = NewLog<TRichEdit>(form);
    state.ResumeTiming();
    for (int i = 0; i < state.range(0); ++i) {
      log->SetSelStart(log->GetTextLen());
      log->GetSelAttributes()->SetColor(colours[i % 4]);
      log->GetSelAttributes()->SetStyle(i % 4 == 1 ? TFontStyles{fsBold} : TFontStyles{});
      log->GetLines()->Add("map " + std::to_string(i) + " created");
      log->SetSelStart(log->GetTextLen());
      win::SendMessageA(log->GetHandle(), win::EM_SCROLLCARET, 0, 0);
    }
    state.PauseTiming();
    if (log->GetLines()->GetCount() != state.range(0)) state.SkipWithError("lines lost");
    log->Free();
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  form->Free();
}
BENCHMARK(BM_RichLogLines)->Apply(ToE6);

// The floor of a log: the text in one string and where each line starts.
void BM_FloorLogByHand(benchmark::State& state) {
  for (auto _ : state) {
    std::string text;
    std::vector<std::size_t> starts;
    for (int i = 0; i < state.range(0); ++i) {
      starts.push_back(text.size());
      text += "map " + std::to_string(i) + " created\r\n";
    }
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_FloorLogByHand)->Apply(ToE6);

}  // namespace

int main(int argc, char** argv) { return growth::Main(argc, argv); }
