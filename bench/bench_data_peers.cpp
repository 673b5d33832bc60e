// The data controller's hot paths at 10^3..10^6 records, and the same
// sort, group-with-summaries, filter and edit workloads on peers in the
// same run: a sorting and filtering proxy model over a table model (when
// Qt 5 is installed), and floors, what a program that knows its data does:
// a stable sort of (key, index) pairs; that sort and one walk computing
// every group's summaries; a scan of a contiguous column of the filtered
// values beside their null bytes (a loop over 80-byte structs is shown
// too). Before timing, each workload checks once that ours and its peers
// agree (the sorted order, every group's summaries, the footer, filter
// counts) and a mismatch fails the run. Each workload times only its
// measured part with a clock (no timer pauses on either side), three
// repetitions; the table at the end gives the medians' ratios, the growth
// of each workload per tenfold step (over 15 flags a quadratic path) and
// whether the goals are met.
//
// Records: Integer, Float, Currency, DateTime, Boolean and String (8..16
// letters, about 30 % repeated), each null in about 10 % of the records;
// fixed seed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <numeric>
#include <set>
#include <memory>
#include <random>
#include <string>
#include <string_view>
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
// Timing and agreement

using Clock = std::chrono::steady_clock;

// Runs AWork as one timed iteration: only it is measured.
template <class F>
void Timed(benchmark::State& state, F&& AWork) {
  const auto t0 = Clock::now();
  AWork();
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
}

bool gMismatch = false;

// A disagreement between ours and a peer fails the run.
void Agree(benchmark::State& state, bool AOk, const std::string& AWhat) {
  if (AOk) return;
  std::fprintf(stderr, "MISMATCH at %ld records: %s\n", static_cast<long>(state.range(0)), AWhat.c_str());
  gMismatch = true;
}

// Each check runs once per workload and size.
bool FirstTime(const std::string& AKey) {
  static std::set<std::string> done;
  return done.insert(AKey).second;
}

bool Near(double a, double b) { return a == b || std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)); }

// The sort key of a record as text that orders and compares as the
// workload's key does (nulls as "~null", upper-cased for no case).
enum SortKind { sortInteger, sortString, sortStringNoCase, sortStringAnsi, sortThree, sortDescending };

std::string KeyText(const Row& r, SortKind AKind) {
  switch (AKind) {
    case sortInteger:
    case sortDescending: return r.NullI ? "~null" : std::to_string(r.I);
    case sortStringNoCase: {
      if (r.NullS) return "~null";
      std::string u = r.S;
      for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return u;
    }
    default: return r.NullS ? "~null" : r.S;
  }
}

// ---------------------------------------------------------------------------
// Our controller

class BenchItem : public TObject {};

class BenchController : public TcxDataController {
 public:
  explicit BenchController(TComponent* AOwner) : TcxDataController(AOwner) {}
  ~BenchController() override {
    for (BenchItem* item : Items) item->Free();
  }
  TObject* GetItem(Integer AIndex) override { return Items.at(static_cast<size_t>(AIndex)); }
  Integer AddTypedItem(TcxValueTypeClass AType) {
    Items.push_back(New<BenchItem>());
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

// The plain floor's answers, used by the checks.
std::vector<Integer> PlainOrder(const std::vector<Row>& ARows, SortKind AKind);
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
struct PlainGroups {
  Integer Groups = 0;
  Accumulator Footer;
};
// The floor's groups in sorted order with their summaries, and the footer.
PlainGroups PlainGroupSummaries(const std::vector<Row>& ARows, std::vector<Accumulator>* AGroups = nullptr);
Integer PlainFilterCount(Integer ACount, int AKind);

void BM_Orv_Fill(benchmark::State& state) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  for (auto _ : state) {
    BenchController* c = nullptr;
    Timed(state, [&] {
      c = MakeController();
      Fill(c, rows);
    });
    c->Free();
  }
  SetCounters(state);
}

void BM_Orv_Sort(benchmark::State& state, SortKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  BenchController* c = Controller(count);
  const TcxDataControllerOptions options = c->GetOptions();
  if (AKind == sortStringNoCase) c->SetOptions(options + dcoCaseInsensitive);
  if (AKind == sortStringAnsi) c->SetOptions(options + dcoAnsiSort);
  auto sort = [&] {
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
  };
  if (AKind != sortStringAnsi && AKind != sortThree && FirstTime("sort" + std::to_string(AKind) + "/" + std::to_string(count))) {
    // The keys in row order agree with the plain sort's.
    sort();
    const std::vector<Row>& rows = Rows(count);
    const std::vector<Integer> plain = PlainOrder(rows, AKind);
    // Equal keys keep the record order on both sides: the orders are one.
    bool same = c->GetRowCount() == count;
    for (Integer i = 0; same && i < count; ++i) same = c->GetFilteredRecordIndex(i) == plain[static_cast<size_t>(i)];
    Agree(state, same, "sort order of ours and the floor's");
    c->ClearSorting(false);
  }
  for (auto _ : state) {
    Timed(state, sort);
    c->ClearSorting(false);
  }
  c->SetOptions(options);
  SetCounters(state);
}

// Grouping by the String column with Sum, Count, Avg, Min and Max of the
// Float column in the footer and in every group.
void BM_Orv_GroupSummaries(benchmark::State& state, int ALevels) {
  const Integer count = static_cast<Integer>(state.range(0));
  BenchController* c = Controller(count);
  AddSummaries(c);
  auto group = [&] {
    c->BeginUpdate();
    if (ALevels > 1) c->GetGroups()->ChangeGrouping(colBoolean, 0);
    c->GetGroups()->ChangeGrouping(colString, ALevels > 1 ? 1 : 0);
    c->EndUpdate();
  };
  if (ALevels == 1 && FirstTime("group/" + std::to_string(count))) {
    // The group count, every group's summaries in order and the footer's.
    group();
    std::vector<Accumulator> floor;
    const PlainGroups plain = PlainGroupSummaries(Rows(count), &floor);
    TcxDataSummary* s = c->GetSummary();
    TcxDataGroups* groups = c->GetDataControllerInfo()->GetDataGroups();
    Agree(state, groups->GetItemCount() == plain.Groups, "group count");
    // Items: Sum, Count, Average, Min, Max; a sum or extreme of nulls alone
    // is null in the controller and 0 in the floor.
    auto same = [](const Variant& AValue, const Accumulator& A, int AItem) {
      const bool none = A.Values == 0;
      switch (AItem) {
        case 0: return VarIsNull(AValue) ? A.Count == 0 : Near(AValue.AsDouble(), A.Sum);
        case 1: return AValue.AsInteger() == A.Count;
        case 2: return VarIsNull(AValue) ? A.Count == 0 : Near(AValue.AsDouble(), A.Average());
        case 3: return VarIsNull(AValue) ? none : !none && AValue.AsDouble() == A.Min;
        default: return VarIsNull(AValue) ? none : !none && AValue.AsDouble() == A.Max;
      }
    };
    Integer wrong = -1;
    for (Integer g = 0; wrong < 0 && g < groups->GetItemCount() && g < plain.Groups; ++g)
      for (int item = 0; item < 5; ++item)
        if (!same(s->GetGroupSummaryValue(g, item), floor[static_cast<size_t>(g)], item)) wrong = g;
    Agree(state, wrong < 0, "summaries of group " + std::to_string(wrong));
    for (int item = 0; item < 5; ++item)
      Agree(state, same(s->GetFooterSummaryValue(item), plain.Footer, item), "footer item " + std::to_string(item));
    c->GetGroups()->ClearGrouping();
  }
  for (auto _ : state) {
    Timed(state, group);
    c->GetGroups()->ClearGrouping();
  }
  ClearSummaries(c);
  SetCounters(state);
}

void BM_Orv_ExpandCollapse(benchmark::State& state) {
  BenchController* c = Controller(static_cast<Integer>(state.range(0)));
  c->GetGroups()->ChangeGrouping(colString, 0);
  for (auto _ : state)
    Timed(state, [&] {
      c->GetGroups()->FullExpand();
      c->GetGroups()->FullCollapse();
    });
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
  if (FirstTime("filter" + std::to_string(AKind) + "/" + std::to_string(count))) {
    filter->SetActive(true);
    Agree(state, c->GetRowCount() == PlainFilterCount(count, AKind), "filtered row count");
    filter->SetActive(false);
  }
  for (auto _ : state) {
    Timed(state, [&] {
      filter->SetActive(true);
      benchmark::DoNotOptimize(c->GetRowCount());
    });
    filter->SetActive(false);
  }
  filter->Clear();
  SetCounters(state);
}

// One edit outside a bracket, at a random record, in a view sorted by the
// Integer column and grouped by the Boolean one, with summaries of the
// Float column in the groups and the footer: of the summed Float field, of
// the sort key (the record moves) or of the group key (the record leaves
// its group for another). The edited values are put back afterwards, so
// later workloads see the data the peers see.
enum EditKind { editSummed, editSortKey, editGroupKey };

Column EditedColumn(EditKind AKind) {
  return AKind == editSummed ? colFloat : AKind == editSortKey ? colInteger : colBoolean;
}

// The new value of an edit: the group key flips, so the record always
// changes group.
Variant EditValue(EditKind AKind, std::mt19937& ARandom, const Variant& AOld) {
  switch (AKind) {
    case editSummed: return static_cast<double>(ARandom() % 1000);
    case editSortKey: return static_cast<Integer>(ARandom() % 1000000);
    default: return VarIsNull(AOld) ? Variant(true) : Variant(!AOld.AsBoolean());
  }
}

Variant RowValue(const Row& r, Column AColumn) {
  switch (AColumn) {
    case colFloat: return r.NullF ? Null() : Variant(r.F);
    case colInteger: return r.NullI ? Null() : Variant(r.I);
    default: return r.NullB ? Null() : Variant(r.B);
  }
}

void BM_Orv_Edit(benchmark::State& state, EditKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  BenchController* c = Controller(count);
  AddSummaries(c);
  c->ChangeSorting(colInteger, soAscending);
  c->GetGroups()->ChangeGrouping(colBoolean, 0);
  const Variant footerSum = c->GetSummary()->GetFooterSummaryValue(0);
  const Integer column = EditedColumn(AKind);
  std::mt19937 random(7);
  std::vector<Integer> edited;
  for (auto _ : state) {
    const Integer record = static_cast<Integer>(random() % static_cast<unsigned>(count));
    const Variant value = EditValue(AKind, random, c->GetValue(record, column));
    Timed(state, [&] { c->SetValue(record, column, value); });
    edited.push_back(record);
  }
  const std::vector<Row>& rows = Rows(count);
  c->BeginUpdate();
  for (Integer r : edited) c->SetValue(r, column, RowValue(rows[static_cast<size_t>(r)], EditedColumn(AKind)));
  c->EndUpdate();
  Agree(state, VarSameValue(c->GetSummary()->GetFooterSummaryValue(0), footerSum), "footer sum restored after the edits");
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
    Timed(state, [&] { c->SaveToStream(&ms); });
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
    Timed(state, [&] { c->LoadFromStream(&ms); });
  }
  c->Free();
  state.SetBytesProcessed(state.iterations() * ms.GetSize());
}

// ---------------------------------------------------------------------------
// The floors: what a program that knows its data does

// The sort floor: the keys taken once into (key, index) pairs, the pairs
// stable-sorted (equal keys keep the record order, as in the controller)
// and the indexes read out. Integer keys are one number with the nulls
// below (or, descending, above) every value; text keys are a pointer to
// the text.
void FloorSort(const std::vector<Row>& ARows, SortKind AKind, std::vector<Integer>& AOrder) {
  const size_t n = ARows.size();
  AOrder.resize(n);
  if (AKind == sortInteger || AKind == sortDescending) {
    std::vector<std::pair<std::uint64_t, Integer>> pairs(n);
    for (size_t i = 0; i < n; ++i) {
      const Row& r = ARows[i];
      const std::uint64_t key = r.NullI ? 0 : (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.I) ^ 0x80000000u) + 1);
      pairs[i] = {AKind == sortDescending ? ~key : key, static_cast<Integer>(i)};
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < n; ++i) AOrder[i] = pairs[i].second;
    return;
  }
  // Text keys point at the text (for no case at an upper-cased copy made
  // once); a null key points nowhere.
  std::string upper;
  if (AKind == sortStringNoCase) {
    size_t size = 0;
    for (const Row& r : ARows) size += r.NullS ? 0 : r.S.size();
    upper.reserve(size);
  }
  std::vector<std::pair<std::string_view, Integer>> pairs(n);
  for (size_t i = 0; i < n; ++i) {
    const Row& r = ARows[i];
    std::string_view key;
    if (!r.NullS && AKind == sortStringNoCase) {
      const size_t at = upper.size();
      for (char c : r.S) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
      key = std::string_view(upper.data() + at, r.S.size());
    } else if (!r.NullS) {
      key = r.S;
    }
    pairs[i] = {key, static_cast<Integer>(i)};
  }
  std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
    if (!a.first.data() || !b.first.data()) return !a.first.data() && b.first.data();
    return a.first < b.first;
  });
  for (size_t i = 0; i < n; ++i) AOrder[i] = pairs[i].second;
}

std::vector<Integer> PlainOrder(const std::vector<Row>& ARows, SortKind AKind) {
  std::vector<Integer> order;
  FloorSort(ARows, AKind, order);
  return order;
}

void BM_Floor_Sort(benchmark::State& state, SortKind AKind) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  std::vector<Integer> order;
  for (auto _ : state) {
    order.clear();
    order.shrink_to_fit();
    Timed(state, [&] {
      FloorSort(rows, AKind, order);
      benchmark::DoNotOptimize(order.data());
    });
  }
  SetCounters(state);
}

// Null strings make one group, as in the controller.
bool SameGroup(const Row& a, const Row& b) { return a.NullS == b.NullS && (a.NullS || a.S == b.S); }

// The grouping floor: the pair sort by the String column, then one walk
// over the sorted indexes that opens a group where the key changes and
// adds every record to its group's summaries and the footer's.
PlainGroups FloorGroupSummaries(const std::vector<Row>& ARows, std::vector<Integer>& AOrder,
                                std::vector<Accumulator>& AGroups) {
  FloorSort(ARows, sortString, AOrder);
  PlainGroups out;
  AGroups.clear();
  const Row* previous = nullptr;
  for (Integer i : AOrder) {
    const Row& r = ARows[static_cast<size_t>(i)];
    if (!previous || !SameGroup(r, *previous)) AGroups.emplace_back();
    previous = &r;
    AGroups.back().Add(r);
    out.Footer.Add(r);
  }
  out.Groups = static_cast<Integer>(AGroups.size());
  return out;
}

PlainGroups PlainGroupSummaries(const std::vector<Row>& ARows, std::vector<Accumulator>* AGroups) {
  std::vector<Integer> order;
  std::vector<Accumulator> groups;
  return FloorGroupSummaries(ARows, order, AGroups ? *AGroups : groups);
}

void BM_Floor_GroupSummaries(benchmark::State& state) {
  const std::vector<Row>& rows = Rows(static_cast<Integer>(state.range(0)));
  std::vector<Integer> order;
  std::vector<Accumulator> groups;
  for (auto _ : state) {
    order.clear();
    order.shrink_to_fit();
    groups.clear();
    groups.shrink_to_fit();
    Timed(state, [&] {
      const PlainGroups g = FloorGroupSummaries(rows, order, groups);
      benchmark::DoNotOptimize(groups.data());
      benchmark::DoNotOptimize(g.Footer.Average());
    });
  }
  SetCounters(state);
}

bool PlainKeeps(const Row& r, int AKind, Integer AWanted) {
  return AKind == filterIntegerEquals ? !r.NullI && r.I == AWanted : !r.NullS && r.S.find("abc") != std::string::npos;
}

Integer PlainFilterCount(Integer ACount, int AKind) {
  const Integer wanted = FilterInteger(ACount);
  Integer n = 0;
  for (const Row& r : Rows(ACount)) n += PlainKeeps(r, AKind, wanted);
  return n;
}

// Times AScan, which fills AKept, once per iteration from an empty list.
template <class Scan>
void TimeKept(benchmark::State& state, std::vector<Integer>& AKept, Scan&& AScan) {
  for (auto _ : state) {
    AKept.clear();
    AKept.shrink_to_fit();
    Timed(state, [&] {
      AScan();
      benchmark::DoNotOptimize(AKept.data());
    });
  }
  SetCounters(state);
}

// A plain program's loop over its rows (80-byte structs).
void BM_Plain_Filter(benchmark::State& state, FilterKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  const std::vector<Row>& rows = Rows(count);
  const Integer wanted = FilterInteger(count);
  std::vector<Integer> kept;
  TimeKept(state, kept, [&] {
    for (Integer i = 0; i < count; ++i)
      if (PlainKeeps(rows[static_cast<size_t>(i)], AKind, wanted)) kept.push_back(i);
  });
}

// The filter floor: the filtered field as a contiguous column of its values
// beside a column of null bytes, scanned once.
struct FilterColumn {
  std::vector<Integer> Integers;
  std::vector<std::string> Strings;
  std::vector<Byte> Nulls;
};

const FilterColumn& Column(Integer ACount, FilterKind AKind) {
  static std::map<std::pair<Integer, int>, FilterColumn> cache;
  FilterColumn& c = cache[{ACount, AKind}];
  if (!c.Nulls.empty() || ACount == 0) return c;
  for (const Row& r : Rows(ACount)) {
    if (AKind == filterIntegerEquals) {
      c.Integers.push_back(r.NullI ? 0 : r.I);
      c.Nulls.push_back(r.NullI);
    } else {
      c.Strings.push_back(r.NullS ? std::string() : r.S);
      c.Nulls.push_back(r.NullS);
    }
  }
  return c;
}

void BM_Floor_Filter(benchmark::State& state, FilterKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  const FilterColumn& column = Column(count, AKind);
  const Integer wanted = FilterInteger(count);
  std::vector<Integer> kept;
  TimeKept(state, kept, [&] {
    const Byte* nulls = column.Nulls.data();
    if (AKind == filterIntegerEquals) {
      const Integer* values = column.Integers.data();
      for (Integer i = 0; i < count; ++i)
        if (!nulls[i] && values[i] == wanted) kept.push_back(i);
    } else {
      const std::string* values = column.Strings.data();
      for (Integer i = 0; i < count; ++i)
        if (!nulls[i] && values[i].find("abc") != std::string::npos) kept.push_back(i);
    }
  });
  if (FirstTime("floorfilter" + std::to_string(AKind) + "/" + std::to_string(count)))
    Agree(state, static_cast<Integer>(kept.size()) == PlainFilterCount(count, AKind), "column scan's count");
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
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override {
    if (role != Qt::EditRole || !index.isValid()) return false;
    FRows[index.row()][index.column()] = value;
    emit dataChanged(index, index);
    return true;
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
  // Nulls sort first, as in the controller (the proxy's own order puts
  // them last).
  bool lessThan(const QModelIndex& ALeft, const QModelIndex& ARight) const override {
    const QVariant a = ALeft.data(), b = ARight.data();
    if (!a.isValid() || !b.isValid()) return !a.isValid() && b.isValid();
    if (a.type() == QVariant::String) return QString::compare(a.toString(), b.toString(), sortCaseSensitivity()) < 0;
    if (a.type() == QVariant::Int) return a.toInt() < b.toInt();
    return a.toDouble() < b.toDouble();
  }
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
  const Integer count = static_cast<Integer>(state.range(0));
  FilterProxy* proxy = Peer(count).Proxy.get();
  proxy->setSortCaseSensitivity(AKind == sortStringNoCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
  auto sort = [&] {
    switch (AKind) {
      case sortInteger: proxy->sort(colInteger, Qt::AscendingOrder); break;
      case sortDescending: proxy->sort(colInteger, Qt::DescendingOrder); break;
      default: proxy->sort(colString, Qt::AscendingOrder); break;
    }
  };
  if (FirstTime("qtsort" + std::to_string(AKind) + "/" + std::to_string(count))) {
    sort();
    const std::vector<Row>& rows = Rows(count);
    const std::vector<Integer> plain = PlainOrder(rows, AKind);
    bool same = proxy->rowCount() == count;
    Integer i = 0;
    for (; same && i < count; ++i)
      same = KeyText(rows[static_cast<size_t>(proxy->mapToSource(proxy->index(i, 0)).row())], AKind) ==
             KeyText(rows[static_cast<size_t>(plain[static_cast<size_t>(i)])], AKind);
    Agree(state, same,
          "sort order of the proxy model and the plain sort" +
              (same ? std::string()
                    : " at row " + std::to_string(i - 1) + ": " +
                          KeyText(rows[static_cast<size_t>(proxy->mapToSource(proxy->index(i - 1, 0)).row())], AKind) +
                          " / " + KeyText(rows[static_cast<size_t>(plain[static_cast<size_t>(i - 1)])], AKind)));
    proxy->sort(-1);
  }
  for (auto _ : state) {
    Timed(state, sort);
    proxy->sort(-1);
  }
  proxy->setSortCaseSensitivity(Qt::CaseSensitive);
  SetCounters(state);
}

// The proxy sorts by the String column; the groups, their summaries and
// the footer's come from one walk over the sorted rows.
void BM_Qt_GroupSummaries(benchmark::State& state) {
  const Integer count = static_cast<Integer>(state.range(0));
  FilterProxy* proxy = Peer(count).Proxy.get();
  struct Group {
    double Sum = 0, Min = 0, Max = 0;
    int Count = 0, Values = 0;
    void Add(const QVariant& v) {
      ++Count;
      if (!v.isValid()) return;
      const double f = v.toDouble();
      Min = Values ? std::min(Min, f) : f;
      Max = Values ? std::max(Max, f) : f;
      Sum += f;
      ++Values;
    }
  };
  std::vector<Group> groups;
  Group footer;
  auto run = [&] {
    proxy->sort(colString, Qt::AscendingOrder);
    groups.clear();
    footer = Group();
    QVariant previous;
    const int rows = proxy->rowCount();
    for (int r = 0; r < rows; ++r) {
      const QVariant key = proxy->index(r, colString).data();
      if (r == 0 || key != previous) groups.emplace_back();
      previous = key;
      const QVariant v = proxy->index(r, colFloat).data();
      groups.back().Add(v);
      footer.Add(v);
    }
    benchmark::DoNotOptimize(groups.data());
    benchmark::DoNotOptimize(footer.Count ? footer.Sum / footer.Count : 0);
  };
  if (FirstTime("qtgroup/" + std::to_string(count))) {
    run();
    std::vector<Accumulator> floor;
    const PlainGroups plain = PlainGroupSummaries(Rows(count), &floor);
    Agree(state, static_cast<Integer>(groups.size()) == plain.Groups, "proxy model group count");
    bool same = true;
    for (size_t g = 0; same && g < groups.size() && g < floor.size(); ++g)
      same = Near(groups[g].Sum, floor[g].Sum) && groups[g].Count == floor[g].Count &&
             groups[g].Values == floor[g].Values && (!floor[g].Values || (groups[g].Min == floor[g].Min &&
                                                                           groups[g].Max == floor[g].Max));
    Agree(state, same, "proxy model group summaries");
    Agree(state, Near(footer.Sum, plain.Footer.Sum) && footer.Count == plain.Footer.Count &&
                     footer.Min == plain.Footer.Min && footer.Max == plain.Footer.Max,
          "proxy model footer summaries");
    proxy->sort(-1);
  }
  for (auto _ : state) {
    Timed(state, run);
    proxy->sort(-1);
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
    auto proxy = std::make_unique<FilterProxy>();
    proxy->SetFilter(AKind, FilterInteger(count));
    Timed(state, [&] {
      proxy->setSourceModel(model);
      benchmark::DoNotOptimize(proxy->rowCount());
    });
    if (FirstTime("qtfilter" + std::to_string(AKind) + "/" + std::to_string(count)))
      Agree(state, proxy->rowCount() == PlainFilterCount(count, AKind), "proxy model filtered row count");
  }
  SetCounters(state);
}

// The same edits through the proxy model with dynamic re-sorting, the
// value set in the source. The proxy sorts by one column and has no groups
// or summaries: the summed field's and the sort key's edits run in the view
// sorted by the Integer column; the group key's in a view sorted by the
// Boolean column, the closest the proxy has to a group change (the record
// moves to the other run of equal keys).
void BM_Qt_Edit(benchmark::State& state, EditKind AKind) {
  const Integer count = static_cast<Integer>(state.range(0));
  QtPeer& peer = Peer(count);
  FilterProxy* proxy = peer.Proxy.get();
  proxy->setDynamicSortFilter(true);
  proxy->sort(AKind == editGroupKey ? colBoolean : colInteger, Qt::AscendingOrder);
  const int column = EditedColumn(AKind);
  std::mt19937 random(7);
  std::vector<Integer> edited;
  for (auto _ : state) {
    const Integer record = static_cast<Integer>(random() % static_cast<unsigned>(count));
    const QModelIndex index = peer.Model->index(record, column);
    const QVariant old = index.data();
    QVariant value;
    switch (AKind) {
      case editSummed: value = static_cast<double>(random() % 1000); break;
      case editSortKey: value = static_cast<int>(random() % 1000000); break;
      default: value = old.isValid() ? !old.toBool() : true; break;
    }
    Timed(state, [&] { peer.Model->setData(index, value); });
    edited.push_back(record);
  }
  const std::vector<Row>& rows = Rows(count);
  for (Integer r : edited) {
    const Row& row = rows[static_cast<size_t>(r)];
    QVariant v;
    switch (AKind) {
      case editSummed: v = row.NullF ? QVariant() : QVariant(row.F); break;
      case editSortKey: v = row.NullI ? QVariant() : QVariant(row.I); break;
      default: v = row.NullB ? QVariant() : QVariant(row.B); break;
    }
    peer.Model->setData(peer.Model->index(r, column), v);
  }
  proxy->sort(-1);
  proxy->setDynamicSortFilter(false);
  state.SetItemsProcessed(state.iterations());
}

#endif

// ---------------------------------------------------------------------------
// Registration

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1000, 10000, 100000, 1000000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
  b->UseManualTime();
  b->Repetitions(3);
  b->ReportAggregatesOnly(true);
}

const std::pair<const char*, EditKind> kEdits[] = {
    {"EditSummedField", editSummed}, {"EditSortKey", editSortKey}, {"EditGroupKey", editGroupKey}};

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
    benchmark::RegisterBenchmark((n + "/floor").c_str(), BM_Floor_Sort, kind)->Apply(Sizes);
#if ORV_HAVE_QT5
    benchmark::RegisterBenchmark((n + "/qt").c_str(), BM_Qt_Sort, kind)->Apply(Sizes);
#endif
  }
  benchmark::RegisterBenchmark("GroupSummaries/orv", BM_Orv_GroupSummaries, 1)->Apply(Sizes);
  benchmark::RegisterBenchmark("GroupSummaries/floor", BM_Floor_GroupSummaries)->Apply(Sizes);
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
    benchmark::RegisterBenchmark((n + "/floor").c_str(), BM_Floor_Filter, kind)->Apply(Sizes);
#if ORV_HAVE_QT5
    benchmark::RegisterBenchmark((n + "/qt").c_str(), BM_Qt_Filter, kind)->Apply(Sizes);
#endif
  }
  for (const auto& [name, kind] : kEdits) {
    const std::string n = name;
    benchmark::RegisterBenchmark((n + "/orv").c_str(), BM_Orv_Edit, kind)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
#if ORV_HAVE_QT5
    benchmark::RegisterBenchmark((n + "/qt").c_str(), BM_Qt_Edit, kind)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
#endif
  }
  benchmark::RegisterBenchmark("SaveStream/orv", BM_Orv_SaveStream)->Apply(Sizes);
  benchmark::RegisterBenchmark("LoadStream/orv", BM_Orv_LoadStream)->Apply(Sizes);
}

// Keeps the median of every workload's repetitions for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      // A single repetition reports the iteration itself.
      if (!median && run.run_type != Run::RT_Iteration) continue;
      // "Workload/who/records", without the timing suffixes.
      const std::string key = run.run_name.function_name + "/" + run.run_name.args;
      if (median || !Times.count(key)) Times[key] = run.GetAdjustedRealTime() * Scale(run.time_unit);
    }
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
    auto it = Times.find(workload + "/" + who + "/" + std::to_string(n));
    return it == Times.end() ? -1 : it->second;
  }
  std::map<std::string, double> Times;
};

void PrintRatios(const RatioReporter& r) {
  std::printf("\nMedians of the repetitions, milliseconds (floor: a program that knows its data; plain: a loop\n"
              "over 80-byte structs)\n%-24s %8s %11s %11s %11s %11s %8s %10s\n",
              "workload", "records", "orv", "qt", "floor", "plain", "qt/orv", "orv/floor");
  auto text = [](double v) {
    char b[24] = "-";
    if (v >= 0) std::snprintf(b, sizeof b, v < 1 ? "%.4f" : "%.2f", v);
    return std::string(b);
  };
  for (const char* w : {"SortInteger", "SortString", "SortStringNoCase", "SortDescending", "GroupSummaries",
                        "FilterIntegerEquals", "FilterLikeContains", "EditSummedField", "EditSortKey",
                        "EditGroupKey"}) {
    for (int n : {1000, 10000, 100000, 1000000}) {
      const double orv = r.Ms(w, "orv", n), qt = r.Ms(w, "qt", n), floor = r.Ms(w, "floor", n),
                   plain = r.Ms(w, "plain", n);
      if (orv <= 0) continue;
      char qtRatio[16] = "-", floorRatio[16] = "-";
      if (qt >= 0) std::snprintf(qtRatio, sizeof qtRatio, "%.1fx", qt / orv);
      if (floor > 0) std::snprintf(floorRatio, sizeof floorRatio, "%.2fx", orv / floor);
      std::printf("%-24s %8d %11s %11s %11s %11s %8s %10s\n", w, n, text(orv).c_str(), text(qt).c_str(),
                  text(floor).c_str(), text(plain).c_str(), qtRatio, floorRatio);
    }
  }
  std::printf("The proxy model has no groups or summaries: its edits keep only the sort, and its group key\n"
              "edit moves the record within a view sorted by the group column.\n");
  std::printf("\nGrowth per tenfold step (over 15 flags a quadratic path)\n");
  std::set<std::string> seen;
  for (const auto& [name, ms] : r.Times) {
    const std::string workload = name.substr(0, name.find('/'));
    if (!seen.insert(workload).second) continue;
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
  std::printf("\nGoals at 10^6 records\n");
  // A goal whose runs are missing says so.
  auto goal = [&](const char* what, double figure, double limit, const char* unit) {
    if (!(figure > 0))
      std::printf("  %-58s %10s  not measured\n", what, "-");
    else
      std::printf("  %-58s %8.2f%s  %s\n", what, figure, unit, figure <= limit ? "met" : "MISSED");
  };
  auto ratio = [&](const char* w, const char* a, int na, const char* b, int nb) {
    const double x = r.Ms(w, a, na), y = r.Ms(w, b, nb);
    return x > 0 && y > 0 ? x / y : -1;
  };
  const int m = 1000000;
  for (const char* w : {"SortInteger", "SortString", "SortStringNoCase"})
    goal((std::string(w) + " within 1.3x of the pair sort").c_str(), ratio(w, "orv", m, "floor", m), 1.3, "x");
  goal("group by String + summaries within 1.5x of pair sort + walk", ratio("GroupSummaries", "orv", m, "floor", m),
       1.5, "x");
  for (const char* f : {"FilterIntegerEquals", "FilterLikeContains"})
    goal((std::string(f) + " within 2x of a column scan").c_str(), ratio(f, "orv", m, "floor", m), 2, "x");
  goal("one edit of the summed field under 50 us", r.Ms("EditSummedField", "orv", m) * 1000, 50, " us");
  goal("one edit of the summed field flat: under 1.5x from 10^3 to 10^6",
       ratio("EditSummedField", "orv", m, "orv", 1000), 1.5, "x");
  // A record that moves (sort key) or changes group (group key) is moved in
  // the record list: linear in the distance it travels, never a full pass.
  const double groupEdit = r.Ms("EditGroupKey", "orv", m), regroup = r.Ms("GroupSummaries", "orv", m);
  goal("a group key edit under 1/20 of grouping anew", groupEdit > 0 && regroup > 0 ? groupEdit / regroup : -1, 0.05,
       "x");
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
  if (gMismatch) std::fprintf(stderr, "bench_data_peers: ours and a peer disagree (see MISMATCH above)\n");
  return gMismatch ? 1 : 0;
}
