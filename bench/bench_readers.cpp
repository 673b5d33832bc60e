// Readers of outside input at 10^3, 10^4 and 10^5 items: an INI file of
// many sections, a registry store with many values in one key, a layout
// with many children, and stored properties of many collection items
// restored from an INI file and from a stream. Each must grow linearly; the program ends with the
// time ratio of every 10x step (about 10 is linear, 100 quadratic). A peer
// of plainly linear work on standard containers (a hash index and a vector
// of named lists, as the INI reader builds) shows what the machine's
// caches and allocator add at the large sizes.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "GrowthReporter.h"
#include "library/foundation/cxStorage.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Registry.h"
#include "tests/support/TempDir.h"

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

// An owner of many stored items, as a grid's columns are stored.
class TBenchItem : public TCollectionItem {
  ORV_CLASS(TBenchItem, TCollectionItem)
 public:
  explicit TBenchItem(TCollection* ACollection) : TCollectionItem(ACollection) {}
  AnsiString GetText() const { return FText; }
  void SetText(const AnsiString& Value) { FText = Value; }

 private:
  AnsiString FText;
};

class TBenchOwner : public TComponent {
  ORV_CLASS(TBenchOwner, TComponent)
 public:
  explicit TBenchOwner(TComponent* AOwner) : TComponent(AOwner), FItems(New<TCollection>(TBenchItem::StaticClass())) {
    SetName("Owner");
  }
  ~TBenchOwner() override { FItems->Free(); }
  TCollection* GetItems() const { return FItems; }
  void SetItems(TCollection* Value) { FItems->Assign(Value); }

 private:
  TCollection* FItems;
};

}  // namespace

ORV_REGISTER(TBenchItem, ORV_PROP(Text))
ORV_REGISTER(TBenchOwner, ORV_PROP(Items))

namespace {

TBenchOwner* OwnerOf(int items) {
  auto* owner = New<TBenchOwner>(nullptr);
  for (int i = 0; i < items; ++i) static_cast<TBenchItem*>(owner->GetItems()->Add())->SetText(std::to_string(i));
  return owner;
}

// The items are stored, then restored over an owner holding as many.
template <class Store, class Restore>
void RestoreStoredItems(benchmark::State& state, Store store, Restore restore) {
  TBenchOwner* source = OwnerOf(static_cast<int>(state.range(0)));
  TBenchOwner* target = OwnerOf(static_cast<int>(state.range(0)));
  store(source);
  for (auto _ : state) restore(target);
  if (static_cast<TBenchItem*>(target->GetItems()->GetItem(0))->GetText() != "0") state.SkipWithError("not restored");
  target->Free();
  source->Free();
}

void BM_StorageRestoreIni(benchmark::State& state) {
  TempDir dir;
  const std::string file = dir / "owner.ini";
  RestoreStoredItems(
      state,
      [&](TBenchOwner* owner) {
        TcxStorage storage(file);
        storage.SetStorageModes(TcxStorageModes{smSavePublishedClassProperties});
        storage.StoreToIni(owner);
      },
      [&](TBenchOwner* owner) {
        TcxStorage storage(file);
        storage.SetStorageModes(TcxStorageModes{smSavePublishedClassProperties});
        storage.RestoreFromIni(owner);
      });
}
BENCHMARK(BM_StorageRestoreIni)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_StorageRestoreStream(benchmark::State& state) {
  TMemoryStream stream;
  RestoreStoredItems(
      state,
      [&](TBenchOwner* owner) {
        TcxStorage storage(&stream);
        storage.SetStorageModes(TcxStorageModes{smSavePublishedClassProperties});
        storage.StoreToStream(owner);
      },
      [&](TBenchOwner* owner) {
        stream.SetPosition(0);
        TcxStorage storage(&stream);
        storage.SetStorageModes(TcxStorageModes{smSavePublishedClassProperties});
        storage.RestoreFromStream(owner);
      });
}
BENCHMARK(BM_StorageRestoreStream)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

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

}  // namespace

int main(int argc, char** argv) { return growth::Main(argc, argv); }
