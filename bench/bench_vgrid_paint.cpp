// The vertical grid's repaint and scrolling at 10^2 .. 10^5 rows: an
// 800 x 600 grid, ultra-flat, default paint style, over a fully expanded
// seeded tree (depth up to 4, every third row a category, editor rows of
// text, integer and float spin and check box values) on the headless back
// end. A full repaint, a layout with a repaint (top row at the start and
// in the middle, cell auto height off and on), one line, one page and a
// thumb track to the middle, and a focus move down one row should cost the
// same at every size: only the rows on screen are laid out and painted.
// Each reports its allocations per operation. The peer, when Qt 5 Widgets
// is there, is a QTreeView over a QStandardItemModel of the same tree (a
// caption and a value column) rendered into a QImage, repainted whole and
// scrolled by one row.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "PeerReporter.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxSpinEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/grid/GridStartup.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/NumberText.h"

#ifdef ORV_HAVE_QT5_WIDGETS
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>
#endif

// Every allocation of the process is counted, so that an operation can
// report how many it made.
namespace {
std::atomic<std::int64_t> Allocations{0};
}  // namespace

void* operator new(std::size_t ASize) {
  ++Allocations;
  if (void* p = std::malloc(ASize ? ASize : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }

namespace {

void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t n : {100, 1000, 10000, 100000}) b->Arg(n);
  b->Unit(benchmark::kMicrosecond);
}

struct Caption {
  AnsiString Text;
  AnsiString Value;
  Integer Level;
};

// The seeded tree, as captions and values in tree order.
std::vector<Caption> Tree(Integer ACount) {
  std::vector<Caption> tree;
  tree.reserve(static_cast<size_t>(ACount));
  unsigned seed = 2024;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
  Integer depth = 0;
  for (Integer i = 0; i < ACount; ++i) {
    while (depth > 0 && next() % 4 == 0) --depth;
    if (i % 3 == 0) {
      tree.push_back({"Category " + IntToStr(i), "", depth});
      if (depth < 3) ++depth;
    } else {
      tree.push_back({"Parameter " + IntToStr(i), IntToStr(Integer(next() % 1000)), depth});
    }
  }
  return tree;
}

class Scene {
 public:
  explicit Scene(Integer ACount) {
    RegisterGridUnits();
    session = new forms::test::Session;
    form = TCustomForm::CreateNew<TForm>(nullptr);
    form->SetBoundsRect({0, 0, 840, 660});
    grid = New<TcxVerticalGrid>(form);
    grid->SetParent(form);
    grid->SetBoundsRect({0, 0, 800, 600});
    grid->GetLookAndFeel()->SetKind(lfUltraFlat);
    grid->GetOptionsView()->SetRowHeaderWidth(300);
    const std::vector<Caption> tree = Tree(ACount);
    std::vector<TcxCustomRow*> parents;
    grid->BeginUpdate();
    for (size_t i = 0; i < tree.size(); ++i) {
      const Caption& c = tree[i];
      parents.resize(static_cast<size_t>(c.Level));
      TcxCustomRow* parent = parents.empty() ? nullptr : parents.back();
      if (c.Value.empty()) {
        auto* category = static_cast<TcxCategoryRow*>(grid->AddChild(parent, TcxCategoryRow::StaticClass()));
        category->GetProperties()->SetCaption(c.Text);
        parents.push_back(category);
        continue;
      }
      auto* row = static_cast<TcxEditorRow*>(grid->AddChild(parent, TcxEditorRow::StaticClass()));
      TcxEditorRowProperties* properties = row->GetProperties();
      properties->SetCaption(c.Text);
      switch (i % 4) {
        case 0:
          properties->SetEditPropertiesClass(TcxTextEditProperties::StaticClass());
          properties->GetDataBinding()->SetValueTypeClass(TcxStringValueType::Class());
          break;
        case 1:
          properties->SetEditPropertiesClass(TcxSpinEditProperties::StaticClass());
          properties->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
          break;
        case 2:
          properties->SetEditPropertiesClass(TcxSpinEditProperties::StaticClass());
          properties->GetDataBinding()->SetValueTypeClass(TcxFloatValueType::Class());
          break;
        default:
          properties->SetEditPropertiesClass(TcxCheckBoxProperties::StaticClass());
          properties->GetDataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
          break;
      }
      properties->SetValue(Variant(c.Value));
    }
    grid->EndUpdate();
    form->Show();
    win::test::PumpUntilIdle();
  }
  ~Scene() {
    form->Free();
    delete session;
  }
  void Paint() {
    grid->Invalidate();
    win::test::PumpUntilIdle();
  }
  void Scroll(TScrollCode ACode, Integer APos = 0) {
    grid->GetVGController()->Scroll(sbVertical, ACode, APos);
    win::test::PumpUntilIdle();
  }
  Integer Middle() { return grid->GetVGViewInfo()->GetVisibleRowCount() / 2; }

  forms::test::Session* session;
  TForm* form;
  TcxVerticalGrid* grid;
};

// The allocations per iteration since the counter was read.
void Report(benchmark::State& state, std::int64_t AStart) {
  state.counters["allocs/op"] =
      benchmark::Counter(double(Allocations.load() - AStart) / double(std::max<int64_t>(1, state.iterations())));
}

void BM_FullRepaint(benchmark::State& state) {
  Scene scene(static_cast<Integer>(state.range(0)));
  scene.Scroll(scTrack, scene.Middle());
  const std::int64_t start = Allocations.load();
  for (auto _ : state) scene.Paint();
  Report(state, start);
}
BENCHMARK(BM_FullRepaint)->Apply(Sizes);

void LayoutAndRepaint(benchmark::State& state, bool AMiddle, bool AAutoHeight) {
  Scene scene(static_cast<Integer>(state.range(0)));
  scene.grid->GetOptionsView()->SetCellAutoHeight(AAutoHeight);
  if (AMiddle) scene.Scroll(scTrack, scene.Middle());
  scene.grid->LayoutChanged();
  win::test::PumpUntilIdle();
  const std::int64_t start = Allocations.load();
  for (auto _ : state) {
    scene.grid->LayoutChanged();
    win::test::PumpUntilIdle();
  }
  Report(state, start);
}
void BM_LayoutRepaintTop(benchmark::State& state) { LayoutAndRepaint(state, false, false); }
void BM_LayoutRepaintMiddle(benchmark::State& state) { LayoutAndRepaint(state, true, false); }
void BM_LayoutRepaintMiddleAutoHeight(benchmark::State& state) { LayoutAndRepaint(state, true, true); }
BENCHMARK(BM_LayoutRepaintTop)->Apply(Sizes);
BENCHMARK(BM_LayoutRepaintMiddle)->Apply(Sizes);
BENCHMARK(BM_LayoutRepaintMiddleAutoHeight)->Apply(Sizes);

// Down and up in turn, so that every iteration is one step from the middle.
void ScrollBy(benchmark::State& state, TScrollCode ADown, TScrollCode AUp) {
  Scene scene(static_cast<Integer>(state.range(0)));
  scene.Scroll(scTrack, scene.Middle());
  bool down = true;
  const std::int64_t start = Allocations.load();
  for (auto _ : state) {
    scene.Scroll(down ? ADown : AUp);
    down = !down;
  }
  Report(state, start);
}
void BM_ScrollLine(benchmark::State& state) { ScrollBy(state, scLineDown, scLineUp); }
void BM_ScrollPage(benchmark::State& state) { ScrollBy(state, scPageDown, scPageUp); }
BENCHMARK(BM_ScrollLine)->Apply(Sizes);
BENCHMARK(BM_ScrollPage)->Apply(Sizes);

void BM_ThumbTrackToMiddle(benchmark::State& state) {
  Scene scene(static_cast<Integer>(state.range(0)));
  bool middle = true;
  const std::int64_t start = Allocations.load();
  for (auto _ : state) {
    scene.Scroll(scTrack, middle ? scene.Middle() : 0);
    middle = !middle;
  }
  Report(state, start);
}
BENCHMARK(BM_ThumbTrackToMiddle)->Apply(Sizes);

// The focus moves down one row and back: the two rows are laid out again
// in place and only they are repainted.
void BM_FocusMoveDown(benchmark::State& state) {
  Scene scene(static_cast<Integer>(state.range(0)));
  scene.Scroll(scTrack, scene.Middle());
  TcxvgCustomViewInfo* viewInfo = scene.grid->GetVGViewInfo();
  TcxCustomRow* first = viewInfo->GetRowsViewInfo()[4]->GetRow();
  TcxCustomRow* second = viewInfo->GetRowsViewInfo()[5]->GetRow();
  scene.grid->SetFocusedRow(first);
  win::test::PumpUntilIdle();
  bool down = true;
  const std::int64_t start = Allocations.load();
  for (auto _ : state) {
    scene.grid->SetFocusedRow(down ? second : first);
    win::test::PumpUntilIdle();
    down = !down;
  }
  Report(state, start);
}
BENCHMARK(BM_FocusMoveDown)->Apply(Sizes);

#ifdef ORV_HAVE_QT5_WIDGETS
// The peer: the same tree in a two-column tree view, rendered off screen.
class QtScene {
 public:
  explicit QtScene(Integer ACount) : image(800, 600, QImage::Format_RGB32) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QApplication::instance()) new QApplication(argc, argv);
    model = new QStandardItemModel(0, 2);
    std::vector<QStandardItem*> parents;
    for (const Caption& c : Tree(ACount)) {
      parents.resize(static_cast<size_t>(c.Level));
      QList<QStandardItem*> row{new QStandardItem(QString::fromLatin1(c.Text.c_str())),
                                new QStandardItem(QString::fromLatin1(c.Value.c_str()))};
      if (parents.empty())
        model->appendRow(row);
      else
        parents.back()->appendRow(row);
      if (c.Value.empty()) parents.push_back(row[0]);
    }
    view = new QTreeView;
    view->setModel(model);
    view->resize(800, 600);
    view->expandAll();
    view->show();
    Render();
  }
  ~QtScene() {
    delete view;
    delete model;
  }
  void Render() { view->render(&image); }

  QImage image;
  QStandardItemModel* model = nullptr;
  QTreeView* view = nullptr;
};

void BM_QtFullRepaint(benchmark::State& state) {
  QtScene scene(static_cast<Integer>(state.range(0)));
  QScrollBar* bar = scene.view->verticalScrollBar();
  bar->setValue(bar->maximum() / 2);
  for (auto _ : state) scene.Render();
}
BENCHMARK(BM_QtFullRepaint)->Apply(Sizes);

void BM_QtScrollLine(benchmark::State& state) {
  QtScene scene(static_cast<Integer>(state.range(0)));
  QScrollBar* bar = scene.view->verticalScrollBar();
  bar->setValue(bar->maximum() / 2);
  bool down = true;
  for (auto _ : state) {
    bar->setValue(bar->value() + (down ? 1 : -1));
    scene.Render();
    down = !down;
  }
}
BENCHMARK(BM_QtScrollLine)->Apply(Sizes);
#endif

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* size : {"100", "1000", "10000", "100000"})
    for (const char* name : {"FullRepaint/", "ScrollLine/"})
      pairs.push_back({std::string("BM_") + name + size, std::string("BM_Qt") + name + size});
  PeerReporter reporter("the Qt tree view", pairs);
  return RunWithPeer(argc, argv, reporter);
}
