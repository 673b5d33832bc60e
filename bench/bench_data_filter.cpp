// The data layer's hot paths: variant comparison per kind pair, value
// storage writes and reads per value type, filter evaluation over a
// million records, and a controller filter's first activation on a field
// against a later one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxData.h"
#include "library/data/cxDataStorage.h"
#include "library/data/cxFilter.h"
#include "platform/rtl/DateTime.h"

namespace {

// ---------------------------------------------------------------------------
// VarCompare

Variant Sample(int kind, int i) {
  switch (kind) {
    case 0: return Null();
    case 1: return Integer(i);
    case 2: return Int64(i) * 3;
    case 3: return i * 0.5;
    case 4: return Currency::FromRaw(i * 100);
    case 5: return TDateTime(45000 + i * 0.25);
    case 6: return AnsiString("text ") + std::to_string(i);
    case 7: return WideString(u"wide");
    case 8: return (i & 1) != 0;
    default: return AnsiString(std::to_string(i));
  }
}
const char* const kKindNames[] = {"Null", "Integer", "Int64", "Double", "Currency", "Date", "String",
                                  "WideString", "Boolean", "NumericText"};

void BM_VarCompare(benchmark::State& state) {
  const int a = static_cast<int>(state.range(0)), b = static_cast<int>(state.range(1));
  std::vector<Variant> left, right;
  for (int i = 0; i < 256; ++i) {
    left.push_back(Sample(a, i));
    right.push_back(Sample(b, 255 - i));
  }
  state.SetLabel(std::string(kKindNames[a]) + "/" + kKindNames[b]);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VarCompare(left[i & 255], right[i & 255]));
    ++i;
  }
}
BENCHMARK(BM_VarCompare)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 3, 6, 9}});

// ---------------------------------------------------------------------------
// Value storage

TcxValueTypeClass StorageType(int i) { return cxValueTypeClassList()->GetItem(i); }

Variant StorageSample(TcxValueTypeClass type, int i) {
  if (type == TcxStringValueType::Class() || type == TcxWideStringValueType::Class()) return "value " + std::to_string(i);
  if (type == TcxBooleanValueType::Class()) return (i & 1) != 0;
  if (type == TcxDateTimeValueType::Class() || type == TcxSQLTimeStampValueType::Class())
    return TDateTime(45000 + (i % 1000));
  return i % 30000;
}

void BM_StorageFill(benchmark::State& state) {
  TcxValueTypeClass type = StorageType(static_cast<int>(state.range(0)));
  state.SetLabel(type->Caption());
  constexpr int kRecords = 10000;
  for (auto _ : state) {
    TcxDataStorage storage;
    TcxValueDef* def = storage.GetValueDefs()->Add(type, true, false, nullptr);
    storage.SetRecordCount(kRecords);
    for (int r = 0; r < kRecords; ++r) storage.SetValue(r, def, StorageSample(type, r));
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StorageFill)->DenseRange(0, 12);

void BM_StorageRead(benchmark::State& state) {
  TcxValueTypeClass type = StorageType(static_cast<int>(state.range(0)));
  state.SetLabel(type->Caption());
  constexpr int kRecords = 10000;
  TcxDataStorage storage;
  TcxValueDef* def = storage.GetValueDefs()->Add(type, true, false, nullptr);
  storage.SetRecordCount(kRecords);
  for (int r = 0; r < kRecords; ++r) storage.SetValue(r, def, StorageSample(type, r));
  for (auto _ : state)
    for (int r = 0; r < kRecords; ++r) benchmark::DoNotOptimize(storage.GetValue(r, def));
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_StorageRead)->DenseRange(0, 12);

// ---------------------------------------------------------------------------
// Filter evaluation

struct Field : TObject {
  explicit Field(int index) : Index(index) {}
  int Index;
};

struct Row {
  Variant Values[4];
};

class TBenchFilterItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TBenchFilterItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(void* AData) override {
    return static_cast<Row*>(AData)->Values[static_cast<Field*>(GetItemLink())->Index];
  }
};

class TBenchCriteria : public TcxFilterCriteria {
  ORV_CLASS(TBenchCriteria, TcxFilterCriteria)
 public:
  TcxFilterCriteriaItemClass GetItemClass() override { return TBenchFilterItem::StaticClass(); }
};

constexpr int kRows = 1000000;

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::vector<Row> out(kRows);
    for (int i = 0; i < kRows; ++i) {
      out[i].Values[0] = i % 1000;
      out[i].Values[1] = "name" + std::to_string(i % 9973) + (i % 7 == 0 ? "abc" : "xyz");
      out[i].Values[2] = TDateTime(44000 + i % 2000);
      out[i].Values[3] = (i % 3) == 0 ? Null() : Variant(i % 50);
    }
    return out;
  }();
  return rows;
}

Field F0(0), F1(1), F2(2), F3(3);

void RunFilter(benchmark::State& state, TBenchCriteria& criteria) {
  const std::vector<Row>& rows = Rows();
  for (auto _ : state) {
    int passed = 0;
    for (const Row& r : rows) passed += criteria.DoFilterData(const_cast<Row*>(&r));
    benchmark::DoNotOptimize(passed);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FilterEqual(benchmark::State& state) {
  TBenchCriteria c;
  c.AddItem(&F0, foEqual, 500, "500");
  RunFilter(state, c);
}
BENCHMARK(BM_FilterEqual)->Unit(benchmark::kMillisecond);

void BM_FilterLikeContains(benchmark::State& state) {
  TBenchCriteria c;
  c.AddItem(&F1, foLike, "%abc%", "%abc%");
  RunFilter(state, c);
}
BENCHMARK(BM_FilterLikeContains)->Unit(benchmark::kMillisecond);

void BM_FilterBetweenDates(benchmark::State& state) {
  TBenchCriteria c;
  c.AddItem(&F2, foBetween, VarArrayOf({TDateTime(44500), TDateTime(45000)}), "");
  RunFilter(state, c);
}
BENCHMARK(BM_FilterBetweenDates)->Unit(benchmark::kMillisecond);

void BM_FilterInList10(benchmark::State& state) {
  TBenchCriteria c;
  c.AddItem(&F0, foInList, VarArrayOf({1, 7, 42, 99, 120, 333, 500, 640, 777, 999}), "");
  RunFilter(state, c);
}
BENCHMARK(BM_FilterInList10)->Unit(benchmark::kMillisecond);

void BM_FilterFiveConditionTree(benchmark::State& state) {
  TBenchCriteria c;
  c.AddItem(&F0, foGreater, 100, "");
  TcxFilterCriteriaItemList* any = c.GetRoot()->AddItemList(fboOr);
  any->AddItem(&F1, foLike, "name1%", "");
  any->AddItem(&F3, foEqual, Null(), "");
  c.AddItem(&F2, foLess, TDateTime(45500), "");
  c.GetRoot()->AddItemList(fboNotAnd)->AddItem(&F0, foEqual, 777, "");
  RunFilter(state, c);
}
BENCHMARK(BM_FilterFiveConditionTree)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// A controller filter's first activation on a field against a later one,
// and the naming of the field in a condition (the field's column is read
// out of the record blocks then): each iteration fills a fresh controller
// untimed, then times the three.

class TFirstUseItem : public TObject {};

class TFirstUseController : public TcxDataController {
 public:
  explicit TFirstUseController(TComponent* AOwner) : TcxDataController(AOwner) {}
  ~TFirstUseController() override {
    for (TFirstUseItem* item : Items) item->Free();
  }
  TObject* GetItem(Integer AIndex) override { return Items.at(static_cast<size_t>(AIndex)); }
  void AddTypedItem(TcxValueTypeClass AType) {
    Items.push_back(New<TFirstUseItem>());
    AddItem(Items.back());
    ChangeValueTypeClass(GetItemCount() - 1, AType);
  }
  std::vector<TFirstUseItem*> Items;
};

// Integer, Float and String fields, one in ten of each null, the texts of
// 8 to 16 letters in mixed case (some hold "abc").
TFirstUseController* FilledController(Integer ACount) {
  auto* c = New<TFirstUseController>(nullptr);
  c->AddTypedItem(TcxIntegerValueType::Class());
  c->AddTypedItem(TcxFloatValueType::Class());
  c->AddTypedItem(TcxStringValueType::Class());
  std::mt19937 random(12345);
  c->BeginUpdate();
  for (Integer i = 0; i < ACount; ++i) {
    const Integer record = c->AppendRecord();
    if (random() % 10) c->SetValue(record, 0, static_cast<Integer>(random() % 1000));
    if (random() % 10) c->SetValue(record, 1, static_cast<double>(random() % 100000) / 100.0);
    if (random() % 10) {
      std::string text;
      const int length = 8 + static_cast<int>(random() % 9);
      for (int k = 0; k < length; ++k) text += static_cast<char>((random() % 5 ? 'a' : 'A') + random() % 26);
      c->SetValue(record, 2, AnsiString(text));
    }
  }
  c->EndUpdate();
  return c;
}

double Median(std::vector<double> AValues) {
  if (AValues.empty()) return 0;
  std::sort(AValues.begin(), AValues.end());
  return AValues[AValues.size() / 2];
}

double Load() {
  double load[1] = {0};
  return getloadavg(load, 1) == 1 ? load[0] : -1;
}

void BM_FilterFirstActivation(benchmark::State& state) {
  const bool like = state.range(0) != 0;
  const Integer count = static_cast<Integer>(state.range(1));
  std::vector<double> naming, first, later;
  bool same = true;
  for (auto _ : state) {
    TFirstUseController* c = FilledController(count);
    TcxDataFilterCriteria* filter = c->GetFilter();
    const auto named = std::chrono::steady_clock::now();
    if (like)
      filter->AddItem(c->Items[2], foLike, "%abc%", "");
    else
      filter->AddItem(c->Items[0], foEqual, 500, "");
    naming.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - named).count());
    auto activate = [&](std::vector<Integer>& AKept) {
      const auto t0 = std::chrono::steady_clock::now();
      filter->SetActive(true);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      for (Integer i = 0; i < c->GetFilteredRecordCount(); ++i) AKept.push_back(c->GetFilteredRecordIndex(i));
      filter->SetActive(false);
      return seconds;
    };
    std::vector<Integer> firstKept, laterKept;
    const double f = activate(firstKept);
    const double l = activate(laterKept);
    same = same && firstKept == laterKept;
    first.push_back(f), later.push_back(l);
    state.SetIterationTime(f);
    c->Free();
  }
  if (!same) state.SkipWithError("the first and a later activation keep different records");
  const double f = Median(first), l = Median(later);
  state.counters["name_ms"] = Median(naming) * 1e3;
  state.counters["first_ms"] = f * 1e3;
  state.counters["later_ms"] = l * 1e3;
  state.counters["first/later"] = l > 0 ? f / l : 0;
  state.counters["load"] = Load();
  state.SetLabel(like ? "LIKE '%abc%'" : "Integer =");
}
BENCHMARK(BM_FilterFirstActivation)
    ->ArgsProduct({{0, 1}, {10000, 100000, 1000000}})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

ORV_REGISTER(TBenchFilterItem)
ORV_REGISTER(TBenchCriteria)
