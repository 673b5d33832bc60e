// The data controller's hot paths at 10^3..10^6 records, and the same
// sort, group-with-summaries and filter workloads on two peers in the same
// run: a sorting and filtering proxy model over a table model (when Qt 5 is
// installed) and std::stable_sort over plain structs as the floor. At the
// end a table gives the ratios to the peers and the growth of each
// workload per tenfold step (over 15 flags a quadratic path).
//
// Records: Integer, Float, Currency, DateTime, Boolean and String (8..16
// letters, about 30 % repeated), each null in about 10 % of the records;
// fixed seed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxCustomDataSummary.h"
#include "library/data/cxData.h"

#if ORV_HAVE_QT5
#include <QtCore/QAbstractTableModel>
#include <QtCore/QCoreApplication>
#include <QtCore/QSortFilterProxyModel>
#endif

namespace {

// ---------------------------------------------------------------------------
// The records

struct Row {
  bool NullI, NullF, NullC, NullD, NullB, NullS;
  Integer I;
  double F;
  Int64 C;  // currency units of 1/10000
  double D;
  bool B;
  std::string S;
};

enum Column { colInteger, colFloat, colCurrency, colDateTime, colBoolean, colString, colCount };

const std::vector<Row>& Rows(Integer ACount) {
  static std::map<Integer, std::vector<Row>> cache;
  auto it = cache.find(ACount);
  if (it != cache.end()) return it->second;
  std::mt19937 random(12345);
  auto chance = [&](int APercent) { return static_cast<int>(random() % 100) < APercent; };
  std::vector<Row> rows(static_cast<size_t>(ACount));
  for (Integer i = 0; i < ACount; ++i) {
    Row& r = rows[static_cast<size_t>(i)];
    r.NullI = chance(10), r.NullF = chance(10), r.NullC = chance(10);
    r.NullD = chance(10), r.NullB = chance(10), r.NullS = chance(10);
    r.I = static_cast<Integer>(random() % 1000000);
    r.F = static_cast<double>(random() % 10000000) / 100.0;
    r.C = static_cast<Int64>(random() % 100000000);
    r.D = 40000 + static_cast<double>(random() % 3650) + static_cast<double>(random() % 86400) / 86400.0;
    r.B = (random() & 1) != 0;
    if (i > 0 && chance(30)) {
      r.S = rows[random() % static_cast<size_t>(i)].S;
    } else {
      const int length = 8 + static_cast<int>(random() % 9);
      for (int k = 0; k < length; ++k) {
        const char c = static_cast<char>('a' + random() % 26);
        r.S += chance(20) ? static_cast<char>(c - 'a' + 'A') : c;
      }
    }
  }
  return cache.emplace(ACount, std::move(rows)).first->second;
}

// The value every filter workload looks for.
Integer FilterInteger(Integer ACount) { return Rows(ACount)[static_cast<size_t>(ACount / 2)].I; }

// ---------------------------------------------------------------------------
// Our controller

class BenchItem : public TObject {};

class BenchController : public TcxDataController {
 public:
  explicit BenchController(TComponent* AOwner) : TcxDataController(AOwner) {}
  ~BenchController() override {
    for (BenchItem* item : Items) delete item;
  }
  TObject* GetItem(Integer AIndex) override { return Items.at(static_cast<size_t>(AIndex)); }
  Integer AddTypedItem(TcxValueTypeClass AType) {
    Items.push_back(new BenchItem);
    AddItem(Items.back());
    ChangeValueTypeClass(GetItemCount() - 1, AType);
    return GetItemCount() - 1;
  }
  std::vector<BenchItem*> Items;
};

BenchController* MakeController() {
  auto* c = New<BenchController>(nullptr);
  c->AddTypedItem(TcxIntegerValueType::Class());
  c->AddTypedItem(TcxFloatValueType::Class());
  c->AddTypedItem(TcxCurrencyValueType::Class());
  c->AddTypedItem(TcxDateTimeValueType::Class());
  c->AddTypedItem(TcxBooleanValueType::Class());
  c->AddTypedItem(TcxStringValueType::Class());
  return c;
}

void Fill(BenchController* c, const std::vector<Row>& rows) {
  c->BeginUpdate();
  for (const Row& r : rows) {
    const Integer record = c->AppendRecord();
    if (!r.NullI) c->SetValue(record, colInteger, r.I);
    if (!r.NullF) c->SetValue(record, colFloat, r.F);
    if (!r.NullC) c->SetValue(record, colCurrency, Currency::FromRaw(r.C));
    if (!r.NullD) c->SetValue(record, colDateTime, TDateTime(r.D));
    if (!r.NullB) c->SetValue(record, colBoolean, r.B);
    if (!r.NullS) c->SetValue(record, colString, AnsiString(r.S));
  }
  c->EndUpdate();
}

// One filled controller per size, kept for the run; every workload leaves
// its view as it found it.
BenchController* Controller(Integer ACount) {
  static std::map<Integer, BenchController*> cache;
  BenchController*& c = cache[ACount];
  if (!c) {
    c = MakeController();
    Fill(c, Rows(ACount));
  }
  return c;
}

void AddSummaries(BenchController* c) {
  TcxDataSummary* s = c->GetSummary();
  s->BeginUpdate();
  for (TcxSummaryKind kind : {skSum, skCount, skAverage, skMin, skMax}) {
    for (TcxDataSummaryItems* items :
         std::initializer_list<TcxDataSummaryItems*>{s->GetDefaultGroupSummaryItems(), s->GetFooterSummaryItems()}) {
      TcxDataSummaryItem* item = items->Add();
      item->SetItemLink(c->Items[colFloat]);
      item->SetKind(kind);
    }
  }
  s->EndUpdate();
}

void ClearSummaries(BenchController* c) {
  TcxDataSummary* s = c->GetSummary();
  s->BeginUpdate();
  s->GetDefaultGroupSummaryItems()->Clear();
  s->GetFooterSummaryItems()->Clear();
  s->EndUpdate();
}

void SetCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Orv_Fill(benchmark::State& state) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    BenchController* c = MakeController();
    Fill(c, rows);
    state.PauseTiming();
    c->Free();
    state.ResumeTiming();
  }
  SetCounters(state);
}

enum SortKind { sortInteger, sortString, sortStringNoCase, sortStringAnsi, sortThree, sortDescending };

void BM_Orv_Sort(benchmark::State& state, SortKind AKind) {
  BenchController* c = Controller(static_cast<Integer>(state.range(0)));
  const TcxDataControllerOptions options = c->GetOptions();
  if (AKind == sortStringNoCase) c->SetOptions(options + dcoCaseInsensitive);
  if (AKind == sortStringAnsi) c->SetOptions(options + dcoAnsiSort);
  for (auto _ : state) {
    switch (AKind) {
      case sortInteger: c->ChangeSorting(colInteger, soAscending); break;
      case sortDescending: c->ChangeSorting(colInteger, soDescending); break;
      case sortThree:
        c->BeginUpdate();
        c->ChangeSorting(colBoolean, soAscending);
        c->ChangeSorting(colString, soAscending);
        c->ChangeSorting(colInteger, soDescending);
        c->EndUpdate();
        break;
      default: c->ChangeSorting(colString, soAscending); break;
    }
    state.PauseTiming();
    c->ClearSorting(false);
    state.ResumeTiming();
  }
  c->SetOptions(options);
  SetCounters(state);
}

// Grouping by the String column with Sum, Count, Avg, Min and Max of the
// Float column in the footer and in every group.
void BM_Orv_GroupSummaries(benchmark::State& state, int ALevels) {
  BenchController* c = Controller(static_cast<Integer>(state.range(0)));
  AddSummaries(c);
  for (auto _ : state) {
    c->BeginUpdate();
    if (ALevels > 1) c->GetGroups()->ChangeGrouping(colBoolean, 0);
    c->GetGroups()->ChangeGrouping(colString, ALevels > 1 ? 1 : 0);
    c->EndUpdate();
    state.PauseTiming();
    c->GetGroups()->ClearGrouping();
    state.ResumeTiming();
  }
  ClearSummaries(c);
  SetCounters(state);
}

void BM_Orv_ExpandCollapse(benchmark::State& state) {
  BenchController* c = Controller(static_cast<Integer>(state.range(0)));
  c->GetGroups()->ChangeGrouping(colString, 0);
  for (auto _ : state) {
    c->GetGroups()->FullExpand();
    c->GetGroups()->FullCollapse();
  }
  c->GetGroups()->ClearGrouping();
  SetCounters(state);
}

enum FilterKind { filterIntegerEquals, filterLikeContains };

void BM_Orv_Filter(benchmark::State& state, FilterKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  BenchController* c = Controller(count);
  TcxDataFilterCriteria* filter = c->GetFilter();
  if (AKind == filterIntegerEquals)
    filter->AddItem(c->Items[colInteger], foEqual, FilterInteger(count), "");
  else
    filter->AddItem(c->Items[colString], foLike, "%abc%", "");
  for (auto _ : state) {
    filter->SetActive(true);
    benchmark::DoNotOptimize(c->GetRowCount());
    state.PauseTiming();
    filter->SetActive(false);
    state.ResumeTiming();
  }
  filter->Clear();
  SetCounters(state);
}

// One edit outside a bracket in a sorted, grouped and summarised view.
void BM_Orv_EditInView(benchmark::State& state) {
  const Integer count = static_cast<Integer>(state.range(0));
  BenchController* c = Controller(count);
  AddSummaries(c);
  c->ChangeSorting(colInteger, soAscending);
  c->GetGroups()->ChangeGrouping(colBoolean, 0);
  std::mt19937 random(7);
  for (auto _ : state) c->SetValue(static_cast<Integer>(random() % count), colFloat, static_cast<double>(random() % 1000));
  c->GetGroups()->ClearGrouping();
  c->ClearSorting(false);
  ClearSummaries(c);
  state.SetItemsProcessed(state.iterations());
}

void BM_Orv_SaveStream(benchmark::State& state) {
  BenchController* c = Controller(static_cast<Integer>(state.range(0)));
  Int64 bytes = 0;
  for (auto _ : state) {
    TMemoryStream ms;
    c->SaveToStream(&ms);
    bytes += ms.GetSize();
  }
  state.SetBytesProcessed(bytes);
}

void BM_Orv_LoadStream(benchmark::State& state) {
  BenchController* source = Controller(static_cast<Integer>(state.range(0)));
  TMemoryStream ms;
  source->SaveToStream(&ms);
  BenchController* c = MakeController();
  for (auto _ : state) {
    ms.SetPosition(0);
    c->LoadFromStream(&ms);
  }
  c->Free();
  state.SetBytesProcessed(state.iterations() * ms.GetSize());
}

// ---------------------------------------------------------------------------
// The floor: std::stable_sort and plain loops over the structs

// Nulls first, as the controller orders them.
template <class Null, class Less>
auto NullsFirst(Null ANull, Less ALess) {
  return [=](const Row& a, const Row& b) {
    const bool na = ANull(a), nb = ANull(b);
    if (na || nb) return na && !nb;
    return ALess(a, b);
  };
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
  });
}

void BM_Plain_Sort(benchmark::State& state, SortKind AKind) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<Row> copy = rows;
    state.ResumeTiming();
    switch (AKind) {
      case sortInteger:
        std::stable_sort(copy.begin(), copy.end(),
                         NullsFirst([](const Row& r) { return r.NullI; }, [](const Row& a, const Row& b) { return a.I < b.I; }));
        break;
      case sortDescending:
        std::stable_sort(copy.begin(), copy.end(), [](const Row& a, const Row& b) {
          if (a.NullI || b.NullI) return b.NullI && !a.NullI;
          return b.I < a.I;
        });
        break;
      case sortStringNoCase:
        std::stable_sort(copy.begin(), copy.end(),
                         NullsFirst([](const Row& r) { return r.NullS; },
                                    [](const Row& a, const Row& b) { return LessNoCase(a.S, b.S); }));
        break;
      default:
        std::stable_sort(copy.begin(), copy.end(),
                         NullsFirst([](const Row& r) { return r.NullS; }, [](const Row& a, const Row& b) { return a.S < b.S; }));
        break;
    }
    benchmark::DoNotOptimize(copy.data());
    state.PauseTiming();
    copy = {};
    state.ResumeTiming();
  }
  SetCounters(state);
}

struct Accumulator {
  double Sum = 0, Min = 0, Max = 0;
  Integer Count = 0, Values = 0;
  void Add(const Row& r) {
    ++Count;
    if (r.NullF) return;
    Min = Values ? std::min(Min, r.F) : r.F;
    Max = Values ? std::max(Max, r.F) : r.F;
    Sum += r.F;
    ++Values;
  }
  double Average() const { return Count ? Sum / Count : 0; }
};

void BM_Plain_GroupSummaries(benchmark::State& state) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<Row> copy = rows;
    state.ResumeTiming();
    std::stable_sort(copy.begin(), copy.end(),
                     NullsFirst([](const Row& r) { return r.NullS; }, [](const Row& a, const Row& b) { return a.S < b.S; }));
    std::vector<Accumulator> groups;
    Accumulator footer;
    for (size_t i = 0; i < copy.size(); ++i) {
      if (i == 0 || copy[i].NullS != copy[i - 1].NullS || copy[i].S != copy[i - 1].S) groups.emplace_back();
      groups.back().Add(copy[i]);
      footer.Add(copy[i]);
    }
    benchmark::DoNotOptimize(groups.data());
    benchmark::DoNotOptimize(footer.Average());
    state.PauseTiming();
    copy = {};
    state.ResumeTiming();
  }
  SetCounters(state);
}

void BM_Plain_Filter(benchmark::State& state, FilterKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  const std::vector<Row>& rows = Rows(count);
  const Integer wanted = FilterInteger(count);
  for (auto _ : state) {
    std::vector<Integer> kept;
    for (Integer i = 0; i < count; ++i) {
      const Row& r = rows[static_cast<size_t>(i)];
      const bool keep = AKind == filterIntegerEquals ? !r.NullI && r.I == wanted
                                                     : !r.NullS && r.S.find("abc") != std::string::npos;
      if (keep) kept.push_back(i);
    }
    benchmark::DoNotOptimize(kept.data());
  }
  SetCounters(state);
}

// ---------------------------------------------------------------------------
// The proxy model peer

#if ORV_HAVE_QT5

class RowModel : public QAbstractTableModel {
 public:
  explicit RowModel(const std::vector<Row>& ARows) {
    FRows.reserve(static_cast<int>(ARows.size()));
    for (const Row& r : ARows) {
      QVector<QVariant> v(colCount);
      if (!r.NullI) v[colInteger] = r.I;
      if (!r.NullF) v[colFloat] = r.F;
      if (!r.NullC) v[colCurrency] = static_cast<double>(r.C) / 10000.0;
      if (!r.NullD) v[colDateTime] = r.D;
      if (!r.NullB) v[colBoolean] = r.B;
      if (!r.NullS) v[colString] = QString::fromStdString(r.S);
      FRows.push_back(v);
    }
  }
  int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : FRows.size(); }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : colCount; }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return QVariant();
    return FRows[index.row()][index.column()];
  }

 private:
  QVector<QVector<QVariant>> FRows;
};

class FilterProxy : public QSortFilterProxyModel {
 public:
  void SetFilter(int AKind, int AInteger) {
    FKind = AKind;
    FInteger = AInteger;
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int ARow, const QModelIndex& AParent) const override {
    if (FKind < 0) return true;
    if (FKind == filterIntegerEquals) {
      const QVariant v = sourceModel()->index(ARow, colInteger, AParent).data();
      return v.isValid() && v.toInt() == FInteger;
    }
    const QVariant v = sourceModel()->index(ARow, colString, AParent).data();
    return v.isValid() && v.toString().contains(QLatin1String("abc"));
  }

 private:
  int FKind = -1;
  int FInteger = 0;
};

struct QtPeer {
  std::unique_ptr<RowModel> Model;
  std::unique_ptr<FilterProxy> Proxy;
};

QtPeer& Peer(Integer ACount) {
  static std::map<Integer, QtPeer> cache;
  QtPeer& p = cache[ACount];
  if (!p.Model) {
    p.Model = std::make_unique<RowModel>(Rows(ACount));
    p.Proxy = std::make_unique<FilterProxy>();
    p.Proxy->setSourceModel(p.Model.get());
  }
  return p;
}

void BM_Qt_Sort(benchmark::State& state, SortKind AKind) {
  FilterProxy* proxy = Peer(static_cast<Integer>(state.range(0))).Proxy.get();
  proxy->setSortCaseSensitivity(AKind == sortStringNoCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
  for (auto _ : state) {
    switch (AKind) {
      case sortInteger: proxy->sort(colInteger, Qt::AscendingOrder); break;
      case sortDescending: proxy->sort(colInteger, Qt::DescendingOrder); break;
      default: proxy->sort(colString, Qt::AscendingOrder); break;
    }
    state.PauseTiming();
    proxy->sort(-1);
    state.ResumeTiming();
  }
  proxy->setSortCaseSensitivity(Qt::CaseSensitive);
  SetCounters(state);
}

// The proxy sorts by the String column; the groups and their summaries
// come from one walk over the sorted rows.
void BM_Qt_GroupSummaries(benchmark::State& state) {
  FilterProxy* proxy = Peer(static_cast<Integer>(state.range(0))).Proxy.get();
  for (auto _ : state) {
    proxy->sort(colString, Qt::AscendingOrder);
    struct Group {
      double Sum = 0, Min = 0, Max = 0;
      int Count = 0, Values = 0;
    };
    std::vector<Group> groups;
    QVariant previous;
    const int rows = proxy->rowCount();
    for (int r = 0; r < rows; ++r) {
      const QVariant key = proxy->index(r, colString).data();
      if (r == 0 || key != previous) groups.emplace_back();
      previous = key;
      Group& g = groups.back();
      ++g.Count;
      const QVariant v = proxy->index(r, colFloat).data();
      if (!v.isValid()) continue;
      const double f = v.toDouble();
      g.Min = g.Values ? std::min(g.Min, f) : f;
      g.Max = g.Values ? std::max(g.Max, f) : f;
      g.Sum += f;
      ++g.Values;
    }
    benchmark::DoNotOptimize(groups.data());
    state.PauseTiming();
    proxy->sort(-1);
    state.ResumeTiming();
  }
  SetCounters(state);
}

// A proxy that filters from scratch: taking rows out of a live proxy one
// range at a time grows faster than linearly at a million rows, so every
// iteration maps the whole source anew, as the controller's pass does.
void BM_Qt_Filter(benchmark::State& state, FilterKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  RowModel* model = Peer(count).Model.get();
  for (auto _ : state) {
    state.PauseTiming();
    auto proxy = std::make_unique<FilterProxy>();
    proxy->SetFilter(AKind, FilterInteger(count));
    state.ResumeTiming();
    proxy->setSourceModel(model);
    benchmark::DoNotOptimize(proxy->rowCount());
    state.PauseTiming();
    proxy.reset();
    state.ResumeTiming();
  }
  SetCounters(state);
}

#endif

// ---------------------------------------------------------------------------
// Registration

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1000, 10000, 100000, 1000000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
  b->MeasureProcessCPUTime();
  b->UseRealTime();
}

void Register() {
  benchmark::RegisterBenchmark("Fill/orv", BM_Orv_Fill)->Apply(Sizes);
  const std::pair<const char*, SortKind> sorts[] = {{"SortInteger", sortInteger},
                                                    {"SortString", sortString},
                                                    {"SortStringNoCase", sortStringNoCase},
                                                    {"SortStringAnsi", sortStringAnsi},
                                                    {"SortThreeFields", sortThree},
                                                    {"SortDescending", sortDescending}};
  for (const auto& [name, kind] : sorts) {
    const std::string n = name;
    benchmark::RegisterBenchmark((n + "/orv").c_str(), BM_Orv_Sort, kind)->Apply(Sizes);
    if (kind == sortStringAnsi || kind == sortThree) continue;
    benchmark::RegisterBenchmark((n + "/plain").c_str(), BM_Plain_Sort, kind)->Apply(Sizes);
#if ORV_HAVE_QT5
    benchmark::RegisterBenchmark((n + "/qt").c_str(), BM_Qt_Sort, kind)->Apply(Sizes);
#endif
  }
  benchmark::RegisterBenchmark("GroupSummaries/orv", BM_Orv_GroupSummaries, 1)->Apply(Sizes);
  benchmark::RegisterBenchmark("GroupSummaries/plain", BM_Plain_GroupSummaries)->Apply(Sizes);
#if ORV_HAVE_QT5
  benchmark::RegisterBenchmark("GroupSummaries/qt", BM_Qt_GroupSummaries)->Apply(Sizes);
#endif
  benchmark::RegisterBenchmark("GroupTwoLevelsSummaries/orv", BM_Orv_GroupSummaries, 2)->Apply(Sizes);
  benchmark::RegisterBenchmark("ExpandCollapseAll/orv", BM_Orv_ExpandCollapse)->Apply(Sizes);
  const std::pair<const char*, FilterKind> filters[] = {{"FilterIntegerEquals", filterIntegerEquals},
                                                        {"FilterLikeContains", filterLikeContains}};
  for (const auto& [name, kind] : filters) {
    const std::string n = name;
    benchmark::RegisterBenchmark((n + "/orv").c_str(), BM_Orv_Filter, kind)->Apply(Sizes);
    benchmark::RegisterBenchmark((n + "/plain").c_str(), BM_Plain_Filter, kind)->Apply(Sizes);
#if ORV_HAVE_QT5
    benchmark::RegisterBenchmark((n + "/qt").c_str(), BM_Qt_Filter, kind)->Apply(Sizes);
#endif
  }
  benchmark::RegisterBenchmark("EditInSortedGroupedView/orv", BM_Orv_EditInView)
      ->Apply(Sizes)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("SaveStream/orv", BM_Orv_SaveStream)->Apply(Sizes);
  benchmark::RegisterBenchmark("LoadStream/orv", BM_Orv_LoadStream)->Apply(Sizes);
}

// Keeps the time of every run for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        Times[run.benchmark_name()] = run.GetAdjustedRealTime() * Scale(run.time_unit);
  }
  static double Scale(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond: return 1e-6;
      case benchmark::kMicrosecond: return 1e-3;
      case benchmark::kSecond: return 1e3;
      default: return 1;
    }
  }
  // Milliseconds; negative when the run is missing.
  double Ms(const std::string& workload, const char* who, int n) const {
    auto it = Times.find(workload + "/" + who + "/" + std::to_string(n) + "/process_time/real_time");
    return it == Times.end() ? -1 : it->second;
  }
  std::map<std::string, double> Times;
};

void PrintRatios(const RatioReporter& r) {
  std::printf("\n%-28s %8s %12s %12s %12s %10s %10s\n", "workload", "records", "orv ms", "qt ms", "plain ms",
              "qt/orv", "orv/plain");
  for (const char* w : {"SortInteger", "SortString", "SortStringNoCase", "SortDescending", "GroupSummaries",
                        "FilterIntegerEquals", "FilterLikeContains"}) {
    for (int n : {1000, 10000, 100000, 1000000}) {
      const double orv = r.Ms(w, "orv", n), qt = r.Ms(w, "qt", n), plain = r.Ms(w, "plain", n);
      if (orv < 0) continue;
      char qtText[16] = "-", plainText[16] = "-", qtRatio[16] = "-", plainRatio[16] = "-";
      if (qt >= 0) std::snprintf(qtText, sizeof qtText, "%.3f", qt), std::snprintf(qtRatio, sizeof qtRatio, "%.1fx", qt / orv);
      if (plain >= 0)
        std::snprintf(plainText, sizeof plainText, "%.3f", plain),
            std::snprintf(plainRatio, sizeof plainRatio, "%.2fx", orv / plain);
      std::printf("%-28s %8d %12.3f %12s %12s %10s %10s\n", w, n, orv, qtText, plainText, qtRatio, plainRatio);
    }
  }
  std::printf("\nGrowth per tenfold step (over 15 flags a quadratic path)\n");
  std::map<std::string, bool> seen;
  for (const auto& [name, ms] : r.Times) {
    const std::string workload = name.substr(0, name.find('/'));
    if (seen[workload]) continue;
    seen[workload] = true;
    std::printf("%-28s", workload.c_str());
    for (int n : {10000, 100000, 1000000}) {
      const double a = r.Ms(workload, "orv", n / 10), b = r.Ms(workload, "orv", n);
      if (a > 0 && b >= 0)
        std::printf(" %8.1f%s", b / a, b / a > 15 ? "!" : " ");
      else
        std::printf(" %9s", "-");
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
#if ORV_HAVE_QT5
  QCoreApplication app(argc, argv);
#endif
  Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
