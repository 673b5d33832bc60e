// A vertical grid of typed rows built as a program builds one, at 10^4,
// 10^5 and 10^6 rows: a grid on a shown form, every tenth row a category
// at the top, the others editor rows under the last category, each with a
// caption, an editor kind (text, spin, check box in turn), the value type
// that goes with it (String, Integer, Boolean) and a value; inside an
// update bracket, and at 10^3..10^5 rows outside one too (there every
// row costs a layout of the rows on show). The measurement ends with the
// grid laid out and painted. The peer (at every size), when Qt 5
// Widgets is there, is a QTreeView over a QStandardItemModel of the same
// tree (a category item holding items of a caption and a typed value),
// expanded as the grid shows it and rendered once; the model is given to
// the view before it is filled (as a view made with its window is) and
// after (as a model filled first is). The measurements run in random
// order, each repetition (--benchmark_repetitions) on its own; every
// grid and model is checked (row count, captions, kinds, values) after it
// is measured, and a wrong one fails the program. The table at the end
// gives the best processor time (the machine may be shared; the wall time
// of that run beside it), the bytes each row holds and the pages it first
// touches per 1,000 rows, our time over the faster peer's, and the growth
// of each 10x step (about 10 is linear).
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstring>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/grid/GridStartup.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/TestHooks.h"

#ifdef ORV_HAVE_QT5_WIDGETS
#include <QApplication>
#include <QImage>
#include <QStandardItemModel>
#include <QTreeView>
#endif

namespace {

bool Failed = false;

// Every tenth row is a category; the others cycle through the three kinds.
constexpr int kCategoryEvery = 10;
enum TRowKind { rkText, rkSpin, rkCheck };
TRowKind KindOf(int AIndex) { return static_cast<TRowKind>(AIndex % 3); }
bool IsCategory(int AIndex) { return AIndex % kCategoryEvery == 0; }
int IntegerValue(int AIndex) { return AIndex * 7 % 1000; }
bool BooleanValue(int AIndex) { return AIndex % 2 == 1; }

// The bytes the heap hands out at the moment.
double HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

// The processor time the process has taken, in seconds. The machine may
// be shared: the time on the wall grows with what else runs, this does not.
double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The pages the process has touched for the first time so far: memory a
// build takes fresh from the system costs a fault a page.
double PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

// What a size's measurements leave for the table.
struct TResult {
  double Seconds = 0;  // processor time, the best of the repetitions
  double Wall = 0;     // time on the wall of that repetition
  double BytesPerRow = 0;
  double FaultsPerRow = 0;  // of that repetition
};
std::map<std::string, std::map<int, TResult>> Results;

void Record(benchmark::State& state, const std::string& AName, double ASeconds, double AWall, double ABytes,
            double AFaults) {
  const int rows = static_cast<int>(state.range(0));
  TResult& result = Results[AName][rows];
  if (result.Seconds == 0 || ASeconds < result.Seconds) {
    result.Seconds = ASeconds;
    result.Wall = AWall;
    result.FaultsPerRow = AFaults / rows;
  }
  result.BytesPerRow = ABytes / rows;
  state.counters["B/row"] = ABytes / rows;
  state.counters["us/row"] = ASeconds * 1e6 / rows;
}

void Fail(benchmark::State& state, const std::string& AWhat) {
  Failed = true;
  state.SkipWithError(AWhat.c_str());
}

// The captions and texts, made once per size outside the measurement as a
// program has them before it builds its rows.
struct TInput {
  explicit TInput(int ACount) {
    captions.reserve(static_cast<size_t>(ACount));
    for (int i = 0; i < ACount; ++i)
      captions.push_back((IsCategory(i) ? "Category " : "Parameter ") + IntToStr(i));
  }
  std::vector<AnsiString> captions;
};

// ---------------------------------------------------------------------------
// Ours

class TScene {
 public:
  TScene() {
    RegisterGridUnits();
    session = new forms::test::Session;
    form = TCustomForm::CreateNew<TForm>(nullptr);
    form->SetBoundsRect({0, 0, 840, 660});
    form->Show();
  }
  ~TScene() {
    form->Free();
    delete session;
  }
  forms::test::Session* session;
  TForm* form;
};

TScene& Scene() {
  static TScene scene;
  return scene;
}

// Out of line, so that a profiler can single the build out
// (valgrind --toggle-collect='*BuildGrid*').
[[gnu::noinline]] TcxVerticalGrid* BuildGrid(const TInput& AInput, bool ABracket) {
  TForm* form = Scene().form;
  auto* grid = New<TcxVerticalGrid>(form);
  grid->SetBoundsRect({0, 0, 800, 600});
  grid->SetParent(form);
  if (ABracket) grid->BeginUpdate();
  TcxCustomRow* category = nullptr;
  const int count = static_cast<int>(AInput.captions.size());
  for (int i = 0; i < count; ++i) {
    if (IsCategory(i)) {
      category = grid->Add(TcxCategoryRow::StaticClass());
      static_cast<TcxCategoryRow*>(category)->GetProperties()->SetCaption(AInput.captions[i]);
      continue;
    }
    auto* row = static_cast<TcxEditorRow*>(grid->AddChild(category, TcxEditorRow::StaticClass()));
    TcxEditorRowProperties* properties = row->GetProperties();
    properties->SetCaption(AInput.captions[i]);
    switch (KindOf(i)) {
      case rkText:
        properties->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
        properties->GetDataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        properties->SetValue(Variant(AInput.captions[i]));
        break;
      case rkSpin:
        properties->SetEditPropertiesClass(TcxSpinEditProperties::StaticClass());
        properties->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
        properties->SetValue(Variant(IntegerValue(i)));
        break;
      case rkCheck:
        properties->SetEditPropertiesClass(TcxCheckBoxProperties::StaticClass());
        properties->GetDataBinding()->SetValueTypeClass(TcxBooleanValueType::Class());
        properties->SetValue(Variant(BooleanValue(i)));
        break;
    }
  }
  if (ABracket) grid->EndUpdate();
  win::test::PumpUntilIdle();
  return grid;
}

// The first wrong row of the grid, or an empty text.
std::string CheckGrid(TcxVerticalGrid* AGrid, const TInput& AInput) {
  TcxVerticalGridRows* rows = AGrid->GetRows();
  const int count = static_cast<int>(AInput.captions.size());
  if (rows->GetCount() != count) return "grid: " + std::to_string(rows->GetCount()) + " rows";
  if (AGrid->GetVGViewInfo()->GetVisibleRowCount() <= 0) return "grid: no row on show";
  TClass kinds[] = {TcxTextEditProperties::StaticClass(), TcxSpinEditProperties::StaticClass(),
                    TcxCheckBoxProperties::StaticClass()};
  TcxValueTypeClass types[] = {TcxStringValueType::Class(), TcxIntegerValueType::Class(),
                               TcxBooleanValueType::Class()};
  for (int i = 0; i < count; ++i) {
    TcxCustomRow* row = rows->GetRow(i);
    const std::string at = "grid row " + std::to_string(i) + ": ";
    if (IsCategory(i)) {
      auto* category = dynamic_cast<TcxCategoryRow*>(row);
      if (!category || category->GetParentRow() != AGrid->GetRoot()) return at + "no category at the top";
      if (category->GetProperties()->GetCaption() != AInput.captions[i]) return at + "caption";
      continue;
    }
    auto* editor = dynamic_cast<TcxEditorRow*>(row);
    if (!editor || !dynamic_cast<TcxCategoryRow*>(editor->GetParentRow())) return at + "no editor row in a category";
    TcxEditorRowProperties* properties = editor->GetProperties();
    if (properties->GetCaption() != AInput.captions[i]) return at + "caption";
    const TRowKind kind = KindOf(i);
    if (properties->GetEditPropertiesClass() != kinds[kind] || !properties->GetEditProperties() ||
        properties->GetEditProperties()->ClassType() != kinds[kind])
      return at + "editor kind";
    if (properties->GetDataBinding()->GetValueTypeClass() != types[kind]) return at + "value type";
    const Variant value = properties->GetValue();
    const bool good = kind == rkText   ? value.VType() == varString && VarToStr(value) == AInput.captions[i]
                      : kind == rkSpin ? value.VType() == varInteger && value.AsInteger() == IntegerValue(i)
                                       : value.VType() == varBoolean && value.AsBoolean() == BooleanValue(i);
    if (!good) return at + "value " + std::string(VarToStr(value));
  }
  return {};
}

void RunOurs(benchmark::State& state, const std::string& AName, bool ABracket) {
  // The first grid made loads the fonts: a small one is made and freed
  // before any is measured.
  static const bool warm = [] {
    BuildGrid(TInput(100), true)->Free();
    return true;
  }();
  (void)warm;
  const TInput input(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const double heap = HeapBytes();
    const double faults = PageFaults();
    const auto start = std::chrono::steady_clock::now();
    const double processStart = ProcessSeconds();
    TcxVerticalGrid* grid = BuildGrid(input, ABracket);
    const double seconds = ProcessSeconds() - processStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double bytes = HeapBytes() - heap;
    const double faulted = PageFaults() - faults;
    state.PauseTiming();
    const std::string error = CheckGrid(grid, input);
    grid->Free();
    state.ResumeTiming();
    state.SetIterationTime(seconds);  // the processor time
    if (!error.empty()) {
      Fail(state, error);
      break;
    }
    Record(state, AName, seconds, wall, bytes, faulted);
  }
}

void BM_Grid(benchmark::State& state) { RunOurs(state, "grid", true); }
void BM_GridUnbracketed(benchmark::State& state) { RunOurs(state, "grid, no bracket", false); }

// ---------------------------------------------------------------------------
// The peer

#ifdef ORV_HAVE_QT5_WIDGETS
struct TQtInput {
  explicit TQtInput(const TInput& AInput) {
    captions.reserve(AInput.captions.size());
    for (const AnsiString& caption : AInput.captions) captions.push_back(QString::fromStdString(caption));
  }
  std::vector<QString> captions;
};

struct TQtTree {
  QStandardItemModel* model;
  QTreeView* view;
};

TQtTree BuildQt(const TQtInput& AInput, bool AModelFirst, QImage& AImage);

// The first view made loads the fonts and styles: a small one is made and
// deleted before any is measured.
void StartQt() {
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (QApplication::instance()) return;
  new QApplication(argc, argv);
  QImage image(800, 600, QImage::Format_RGB32);
  const TQtTree tree = BuildQt(TQtInput(TInput(100)), true, image);
  delete tree.view;
  delete tree.model;
}

[[gnu::noinline]] TQtTree BuildQt(const TQtInput& AInput, bool AModelFirst, QImage& AImage) {
  auto* model = new QStandardItemModel(0, 2);
  auto* view = new QTreeView;
  view->resize(800, 600);
  if (AModelFirst) view->setModel(model);
  QStandardItem* root = model->invisibleRootItem();
  QStandardItem* category = nullptr;
  const int count = static_cast<int>(AInput.captions.size());
  for (int i = 0; i < count; ++i) {
    if (IsCategory(i)) {
      category = new QStandardItem(AInput.captions[i]);
      root->appendRow(category);
      continue;
    }
    auto* caption = new QStandardItem(AInput.captions[i]);
    auto* value = new QStandardItem;
    switch (KindOf(i)) {
      case rkText: value->setData(AInput.captions[i], Qt::EditRole); break;
      case rkSpin: value->setData(IntegerValue(i), Qt::EditRole); break;
      case rkCheck: value->setData(BooleanValue(i), Qt::EditRole); break;
    }
    category->appendRow({caption, value});
  }
  if (!AModelFirst) view->setModel(model);
  view->expandAll();
  view->show();
  view->render(&AImage);
  return {model, view};
}

std::string CheckQt(const TQtTree& ATree, const TQtInput& AInput) {
  QStandardItemModel* model = ATree.model;
  const int count = static_cast<int>(AInput.captions.size());
  int seen = 0;
  for (int c = 0; c < model->rowCount(); ++c) {
    QStandardItem* category = model->item(c);
    const std::string at = "Qt row " + std::to_string(seen) + ": ";
    if (!IsCategory(seen) || category->text() != AInput.captions[seen]) return at + "category";
    if (!ATree.view->isExpanded(category->index())) return at + "folded";
    ++seen;
    for (int r = 0; r < category->rowCount(); ++r, ++seen) {
      const std::string atRow = "Qt row " + std::to_string(seen) + ": ";
      if (seen >= count || IsCategory(seen)) return atRow + "too many rows";
      if (category->child(r, 0)->text() != AInput.captions[seen]) return atRow + "caption";
      const QVariant value = category->child(r, 1)->data(Qt::EditRole);
      const TRowKind kind = KindOf(seen);
      const bool good = kind == rkText   ? value.type() == QVariant::String && value.toString() == AInput.captions[seen]
                        : kind == rkSpin ? value.type() == QVariant::Int && value.toInt() == IntegerValue(seen)
                                         : value.type() == QVariant::Bool && value.toBool() == BooleanValue(seen);
      if (!good) return atRow + "value";
    }
  }
  if (seen != count) return "Qt: " + std::to_string(seen) + " rows";
  return {};
}

void RunQt(benchmark::State& state, const std::string& AName, bool AModelFirst) {
  StartQt();
  const TInput input(static_cast<int>(state.range(0)));
  const TQtInput qtInput(input);
  QImage image(800, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    const double heap = HeapBytes();
    const double faults = PageFaults();
    const auto start = std::chrono::steady_clock::now();
    const double processStart = ProcessSeconds();
    const TQtTree tree = BuildQt(qtInput, AModelFirst, image);
    const double seconds = ProcessSeconds() - processStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double bytes = HeapBytes() - heap;
    const double faulted = PageFaults() - faults;
    state.PauseTiming();
    const std::string error = CheckQt(tree, qtInput);
    delete tree.view;
    delete tree.model;
    state.ResumeTiming();
    state.SetIterationTime(seconds);  // the processor time
    if (!error.empty()) {
      Fail(state, error);
      break;
    }
    Record(state, AName, seconds, wall, bytes, faulted);
  }
}

void BM_QtModelFirst(benchmark::State& state) { RunQt(state, "Qt, model given first", true); }
void BM_QtModelAfter(benchmark::State& state) { RunQt(state, "Qt, model given after", false); }
#endif

// Ours and the peers at each size.
void Register() {
  for (int rows : {1000, 10000, 100000, 1000000}) {
    auto add = [rows](const char* AName, void (*AFunction)(benchmark::State&)) {
      benchmark::RegisterBenchmark(AName, AFunction)->Arg(rows)->Iterations(1)->UseManualTime()->Unit(
          benchmark::kMillisecond);
    };
    // Outside a bracket every row costs a layout of the rows on show: only
    // the three smaller sizes are built so.
    if (rows <= 100000) add("BM_GridUnbracketed", BM_GridUnbracketed);
    if (rows >= 10000) add("BM_Grid", BM_Grid);
#ifdef ORV_HAVE_QT5_WIDGETS
    add("BM_QtModelFirst", BM_QtModelFirst);
    add("BM_QtModelAfter", BM_QtModelAfter);
#endif
  }
}

void PrintTable() {
  std::FILE* loadFile = std::fopen("/proc/loadavg", "r");
  char load[64] = "?";
  if (loadFile) {
    if (!std::fgets(load, sizeof load, loadFile)) load[0] = 0;
    std::fclose(loadFile);
  }
  std::printf("\nBest processor time (and the wall time of that run), bytes held per row (load average %.*s):\n", 14,
              load);
  std::printf("  %-24s %8s %10s %10s %8s %7s %9s %10s %7s\n", "", "rows", "ms", "wall ms", "us/row", "B/row",
              "faults/kr", "ours/peer", "growth");
  for (const auto& [name, sizes] : Results) {
    double previous = 0;
    for (const auto& [rows, result] : sizes) {
      // The faster peer of the same size.
      double peer = 0;
      for (const auto& [other, otherSizes] : Results) {
        if (other.rfind("Qt", 0) != 0) continue;
        auto it = otherSizes.find(rows);
        if (it != otherSizes.end() && (peer == 0 || it->second.Seconds < peer)) peer = it->second.Seconds;
      }
      char ratio[16] = "", growth[16] = "";
      if (name.rfind("Qt", 0) != 0 && peer > 0) std::snprintf(ratio, sizeof ratio, "%.2f", result.Seconds / peer);
      if (previous > 0) std::snprintf(growth, sizeof growth, "%.1f", result.Seconds / previous);
      std::printf("  %-24s %8d %10.1f %10.1f %8.2f %7.0f %9.0f %10s %7s\n", name.c_str(), rows, result.Seconds * 1e3,
                  result.Wall * 1e3, result.Seconds * 1e6 / rows, result.BytesPerRow, result.FaultsPerRow * 1000,
                  ratio, growth);
      previous = result.Seconds;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!InitializeInterleaved(argc, argv)) return 1;
  Register();
  benchmark::RunSpecifiedBenchmarks();
  PrintTable();
  benchmark::Shutdown();
  if (Failed) std::fprintf(stderr, "bench_vgrid_typed_rows: a grid or model was built wrong\n");
  return Failed ? 1 : 0;
}
