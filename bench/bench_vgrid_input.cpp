// The vertical grid's input and its multi-record layout: Down across 1,000
// rows (with ImmediateEditor and AlwaysShowEditor each on and off, so that
// an editor opens and closes on every row when asked), one mouse move of a
// divider drag, and the layout and paint of 10 to 200 records side by side
// over 50 rows, with cell auto height off and on. A step of Down costs the
// same wherever the focus is; a move of the drag costs a layout of what is
// on show; the records' layout grows with the records on show, never with
// their square. The peers, when Qt 5 Widgets is there, run the same steps
// off screen: Down in a tree view of 1,000 rows, a section resize of its
// header, and a table view of 50 rows by as many columns as records, each
// rendered into an image after the step.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "PeerReporter.h"
#include "library/grid/GridStartup.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"

#ifdef ORV_HAVE_QT5_WIDGETS
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#endif

// A grid showing its records side by side.
class TBenchRecordsGrid : public TcxVerticalGrid {
  ORV_CLASS(TBenchRecordsGrid, TcxVerticalGrid)
 public:
  explicit TBenchRecordsGrid(TComponent* AOwner) : TcxVerticalGrid(AOwner) {}
  TcxControlOptionsViewClass GetOptionsViewClass() override { return TcxvgMultiRecordsOptionsView::StaticClass(); }

 protected:
  TcxvgLayoutStyle GetViewLayoutStyle() override { return lsMultiRecordView; }
};

ORV_REGISTER(TBenchRecordsGrid)

namespace {

// Each record column is this wide; the grid is wide enough for them all.
constexpr Integer kRecordWidth = 24;
constexpr Integer kRecordRows = 50;
// 10, 100 and 200 records on show, cell auto height off and on.
void RecordsOnShow(benchmark::internal::Benchmark* b) {
  b->ArgNames({"records", "autoheight"});
  for (int64_t autoHeight : {0, 1})
    for (int64_t records : {10, 100, 200}) b->Args({records, autoHeight});
  b->Unit(benchmark::kMicrosecond);
}
// Wide enough for every record whatever the least width of a value cell.
constexpr Integer GridWidth(Integer ARecords) { return 200 + ARecords * 2 * kRecordWidth; }

template <class TGrid>
struct Bench {
  explicit Bench(Integer AWidth = 800) {
    RegisterGridUnits();
    session = new forms::test::Session;
    form = TCustomForm::CreateNew<TForm>(nullptr);
    form->SetBoundsRect({0, 0, AWidth + 20, 640});
    form->Show();
    grid = New<TGrid>(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, AWidth, 600);
  }
  ~Bench() {
    form->Free();
    delete session;
  }
  // ACount editor rows of integers under one category, and the focus on
  // the category.
  void Build(Integer ACount) {
    grid->BeginUpdate();
    TcxCustomRow* category = grid->AddChild(nullptr, TcxCategoryRow::StaticClass());
    for (Integer i = 0; i < ACount; ++i) {
      auto* row = static_cast<TcxEditorRow*>(grid->AddChild(category, TcxEditorRow::StaticClass()));
      row->GetProperties()->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
      row->GetProperties()->SetValue(Variant(i));
    }
    grid->EndUpdate();
    grid->SetFocus();
    grid->SetFocusedRow(category);
    win::test::PumpUntilIdle();
  }
  forms::test::Session* session;
  TForm* form;
  TGrid* grid;
};

// Range 0: plain; 1: ImmediateEditor; 2: AlwaysShowEditor.
void BM_DownAcross1000Rows(benchmark::State& state) {
  Bench<TcxVerticalGrid> bench;
  bench.Build(1000);
  TcxvgOptionsBehavior* behavior = bench.grid->GetOptionsBehavior();
  behavior->SetImmediateEditor(state.range(0) == 1);
  behavior->SetAlwaysShowEditor(state.range(0) == 2);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      win::test::KeyPress(win::VK_DOWN);
      win::test::PumpUntilIdle();
    }
    state.PauseTiming();
    win::test::KeyDown(win::VK_CONTROL);
    win::test::KeyPress(win::VK_PRIOR);
    win::test::KeyUp(win::VK_CONTROL);
    win::test::PumpUntilIdle();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DownAcross1000Rows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One mouse move of a drag of the header divider, at 100 .. 100,000 rows.
void BM_DividerDragMove(benchmark::State& state) {
  Bench<TcxVerticalGrid> bench;
  bench.Build(static_cast<Integer>(state.range(0)));
  TcxvgCustomViewInfo* viewInfo = bench.grid->GetVGViewInfo();
  const Integer x = bench.grid->GetOptionsView()->GetRowHeaderWidth() + viewInfo->GetVertLineWidth();
  win::test::MouseMove(bench.grid->GetHandle(), {x, 40});
  win::test::MouseDown();
  win::test::PumpUntilIdle();
  Integer step = 0;
  for (auto _ : state) {
    win::test::MouseMove(bench.grid->GetHandle(), {x + (++step % 2 ? 1 : 0), 40});
    win::test::PumpUntilIdle();
  }
  win::test::MouseUp();
  win::test::PumpUntilIdle();
}
BENCHMARK(BM_DividerDragMove)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The layout and paint of state.range(0) records on show over 50 rows;
// range 1 turns cell auto height on.
void BM_MultiRecordLayoutPaint(benchmark::State& state) {
  const auto records = static_cast<Integer>(state.range(0));
  Bench<TBenchRecordsGrid> bench(GridWidth(records));
  TBenchRecordsGrid* grid = bench.grid;
  grid->GetOptionsView()->SetRowHeaderWidth(100);
  grid->GetOptionsView()->SetValueWidth(kRecordWidth);
  grid->GetOptionsView()->SetCellAutoHeight(state.range(1) != 0);
  bench.Build(kRecordRows);
  TcxCustomDataController* data = grid->GetDataController();
  grid->BeginUpdate();
  data->SetRecordCount(records);
  for (Integer r = 0; r < records; ++r)
    for (Integer i = 0; i < kRecordRows; ++i) data->SetValue(r, i, Variant(r * kRecordRows + i));
  grid->EndUpdate();
  grid->LayoutChanged();
  win::test::PumpUntilIdle();
  if (grid->GetVGViewInfo()->GetVisibleValueCount() != records) {
    const std::string error = std::to_string(grid->GetVGViewInfo()->GetVisibleValueCount()) + " of " +
                              std::to_string(data->GetRecordCount()) + " records on show";
    state.SkipWithError(error.c_str());
  }
  for (auto _ : state) {
    grid->LayoutChanged();
    grid->Invalidate();
    win::test::PumpUntilIdle();
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_MultiRecordLayoutPaint)->Apply(RecordsOnShow);

#ifdef ORV_HAVE_QT5_WIDGETS
void StartQt() {
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// 1,000 rows under one parent in a two-column tree view.
struct QtTree {
  explicit QtTree(int ACount) : image(800, 600, QImage::Format_RGB32) {
    StartQt();
    model = new QStandardItemModel(0, 2);
    auto* category = new QStandardItem(QStringLiteral("Category"));
    model->appendRow(category);
    for (int i = 0; i < ACount; ++i)
      category->appendRow({new QStandardItem(QString::number(i)), new QStandardItem(QString::number(i))});
    view = new QTreeView;
    view->setModel(model);
    view->resize(800, 600);
    view->expandAll();
    view->show();
    view->setFocus();
    view->setCurrentIndex(model->index(0, 0));
    view->render(&image);
  }
  ~QtTree() {
    delete view;
    delete model;
  }
  QImage image;
  QStandardItemModel* model = nullptr;
  QTreeView* view = nullptr;
};

void BM_QtDownAcross1000Rows(benchmark::State& state) {
  QtTree tree(1000);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
      QApplication::sendEvent(tree.view, &down);
      tree.view->render(&tree.image);
    }
    state.PauseTiming();
    tree.view->setCurrentIndex(tree.model->index(0, 0));
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_QtDownAcross1000Rows)->Unit(benchmark::kMillisecond);

void BM_QtSectionResize(benchmark::State& state) {
  QtTree tree(static_cast<int>(state.range(0)));
  QHeaderView* header = tree.view->header();
  const int width = header->sectionSize(0);
  int step = 0;
  for (auto _ : state) {
    header->resizeSection(0, width + (++step % 2 ? 1 : 0));
    tree.view->render(&tree.image);
  }
}
BENCHMARK(BM_QtSectionResize)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// 50 rows by ACount columns, each column a record.
void BM_QtTableLayoutPaint(benchmark::State& state) {
  StartQt();
  const int records = static_cast<int>(state.range(0));
  QStandardItemModel model(kRecordRows, records);
  for (int r = 0; r < records; ++r)
    for (int i = 0; i < kRecordRows; ++i) model.setItem(i, r, new QStandardItem(QString::number(r * kRecordRows + i)));
  QTableView view;
  view.setModel(&model);
  view.horizontalHeader()->setDefaultSectionSize(kRecordWidth);
  if (state.range(1) != 0) view.verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  view.resize(GridWidth(records), 600);
  view.show();
  QImage image(view.size(), QImage::Format_RGB32);
  view.render(&image);
  for (auto _ : state) {
    view.doItemsLayout();
    view.render(&image);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_QtTableLayoutPaint)->Apply(RecordsOnShow);
#endif

}  // namespace

int main(int argc, char** argv) {
  PeerReporter reporter(
      "the Qt view",
      {{"BM_DownAcross1000Rows/0", "BM_QtDownAcross1000Rows"},
       {"BM_DownAcross1000Rows/2", "BM_QtDownAcross1000Rows"},
       {"BM_DividerDragMove/1000", "BM_QtSectionResize/1000"},
       {"BM_DividerDragMove/100000", "BM_QtSectionResize/100000"},
       {"BM_MultiRecordLayoutPaint/records:10/autoheight:0", "BM_QtTableLayoutPaint/records:10/autoheight:0"},
       {"BM_MultiRecordLayoutPaint/records:200/autoheight:0", "BM_QtTableLayoutPaint/records:200/autoheight:0"},
       {"BM_MultiRecordLayoutPaint/records:10/autoheight:1", "BM_QtTableLayoutPaint/records:10/autoheight:1"},
       {"BM_MultiRecordLayoutPaint/records:200/autoheight:1", "BM_QtTableLayoutPaint/records:200/autoheight:1"}});
  return RunWithPeer(argc, argv, reporter);
}
