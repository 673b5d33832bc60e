// Text as a grid repaint uses it: a 20-character cell text drawn with
// ExtTextOut and measured with GetTextExtentPoint32, in the default
// grey-scale mode with "Tahoma" -11. The reference draws the same string
// through FreeType's own cache (character map and small-bitmap caches) and
// blends it into a 32-bit buffer the same way, so the ratio shows what the
// drawing tier adds on top of glyph rendering. The program ends with the
// ratio ExtTextOut / reference.
//
// The reference's library allocates through zero-filling hooks: the cache
// manager of the FreeType in use leaves its running byte count to whatever
// the heap held before, and with a non-zero start every lookup takes the
// cache as over budget, flushes the glyph it has just rendered and renders
// it again on the next call. A fresh small program gets zeroed pages and
// hides this; inside the benchmark the heap is already used and the
// reference turned into outline rendering per glyph (about 15 times slower).
// The "allocs/string" counter shows the cache serving hits: it stays at 0.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H
#include FT_MODULE_H
#include FT_SYSTEM_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontSubstitution.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"

namespace {

using namespace win;

constexpr char kText[] = "Invoice 2024-0117 ok";  // 20 characters
constexpr int kLen = 20;
static_assert(sizeof kText == kLen + 1);

struct Canvas {
  Canvas() {
    Dc = CreateCompatibleDC(nullptr);
    Bmp = CreateBitmap(400, 40, 1, 32, nullptr);
    Old = SelectObject(Dc, ToObj(Bmp));
    Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    OldFont = SelectObject(Dc, ToObj(Font));
    SetBkMode(Dc, TRANSPARENT);
  }
  ~Canvas() {
    SelectObject(Dc, OldFont);
    SelectObject(Dc, Old);
    DeleteObject(Font);
    DeleteObject(Bmp);
    DeleteDC(Dc);
  }
  HDC Dc;
  HBITMAP Bmp;
  HFONT Font;
  HGDIOBJ Old, OldFont;
};

void BM_ExtTextOut(benchmark::State& state) {
  SetTextRenderMode(TextRenderMode::Grayscale);
  Canvas c;
  RECT r{0, 0, 300, 20};
  for (auto _ : state) {
    ExtTextOutA(c.Dc, 2, 2, ETO_CLIPPED, &r, kText, kLen, nullptr);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLen);
}
BENCHMARK(BM_ExtTextOut);

void BM_GetTextExtentPoint32(benchmark::State& state) {
  Canvas c;
  SIZE size{};
  for (auto _ : state) {
    GetTextExtentPoint32A(c.Dc, kText, kLen, &size);
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * kLen);
}
BENCHMARK(BM_GetTextExtentPoint32);

// The reference: the same file at the same size through FreeType's cache.
struct FtReference {
  static FT_Error Requester(FTC_FaceID, FT_Library lib, FT_Pointer data, FT_Face* face) {
    auto* self = static_cast<FtReference*>(data);
    return FT_New_Face(lib, self->File.c_str(), 0, face);
  }
  // Every block starts zeroed, so the cache manager's byte count starts
  // at 0 whatever the heap held before. Allocations are counted: a lookup
  // the cache serves allocates nothing.
  static void* Alloc(FT_Memory memory, long size) {
    ++static_cast<FtReference*>(memory->user)->Allocs;
    return std::calloc(1, std::size_t(size));
  }
  static void Free(FT_Memory, void* block) { std::free(block); }
  static void* Realloc(FT_Memory memory, long, long newSize, void* block) {
    ++static_cast<FtReference*>(memory->user)->Allocs;
    return std::realloc(block, std::size_t(newSize));
  }
  FtReference() {
    Canvas c;  // realises the font to learn which file stands in for Tahoma
    File = gdi::DcFace(*gdi::LookupDC(c.Dc)).File;
    Memory.user = this;
    Memory.alloc = &Alloc;
    Memory.free = &Free;
    Memory.realloc = &Realloc;
    FT_New_Library(&Memory, &Lib);
    FT_Add_Default_Modules(Lib);
    FT_Set_Default_Properties(Lib);
    FTC_Manager_New(Lib, 0, 0, 0, &Requester, this, &Manager);
    FTC_CMapCache_New(Manager, &CMaps);
    FTC_SBitCache_New(Manager, &SBits);
    Pixels.assign(400 * 40, 0xFFFFFFFFu);
  }
  ~FtReference() {
    FTC_Manager_Done(Manager);
    FT_Done_Library(Lib);
  }
  FtReference(const FtReference&) = delete;
  FtReference& operator=(const FtReference&) = delete;
  FT_MemoryRec_ Memory{};
  std::string File;
  FT_Library Lib = nullptr;
  FTC_Manager Manager = nullptr;
  FTC_CMapCache CMaps = nullptr;
  FTC_SBitCache SBits = nullptr;
  std::vector<std::uint32_t> Pixels;
  long Misses = 0;
  long Allocs = 0;
};

void BM_FreeTypeCachedReference(benchmark::State& state) {
  FtReference ref;
  FTC_ImageTypeRec type{};
  type.face_id = reinterpret_cast<FTC_FaceID>(1);
  type.width = 11;
  type.height = 11;
  type.flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;
  const std::uint32_t ink = 0x00000000u;
  long allocsAfterFirst = -1;
  bool first = true;
  for (auto _ : state) {
    // The first pass fills the cache; what allocates after it is a miss.
    if (!first && allocsAfterFirst < 0) allocsAfterFirst = ref.Allocs;
    first = false;
    int pen = 2;
    const int baseline = 2 + 10;
    for (int i = 0; i < kLen; ++i) {
      FT_UInt index = FTC_CMapCache_Lookup(ref.CMaps, type.face_id, -1, static_cast<unsigned char>(kText[i]));
      FTC_SBit sbit = nullptr;
      if (FTC_SBitCache_Lookup(ref.SBits, &type, index, &sbit, nullptr) != 0 || !sbit) {
        ++ref.Misses;
        continue;
      }
      for (int y = 0; y < sbit->height; ++y) {
        std::uint32_t* row = ref.Pixels.data() + std::size_t(baseline - sbit->top + y) * 400 + pen + sbit->left;
        const std::uint8_t* cov = sbit->buffer + y * sbit->pitch;
        for (int x = 0; x < sbit->width; ++x) {
          unsigned c = cov[x];
          if (c == 255) row[x] = ink;
          else if (c) {
            std::uint32_t d = row[x], out = 0;
            for (int s = 0; s < 24; s += 8) {
              unsigned dv = (d >> s) & 0xFF, sv = (ink >> s) & 0xFF;
              out |= std::uint32_t((sv * c + dv * (255 - c) + 127) / 255) << s;
            }
            row[x] = out;
          }
        }
      }
      pen += sbit->xadvance;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLen);
  state.counters["misses"] = double(ref.Misses);
  state.counters["allocs/string"] =
      benchmark::Counter(double(allocsAfterFirst < 0 ? 0 : ref.Allocs - allocsAfterFirst), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FreeTypeCachedReference);

// Prints the usual table, then the ratio of ExtTextOut to the reference.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      // With repetitions, pair the medians only.
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      const std::string& name = r.run_name.function_name;
      if (name == "BM_ExtTextOut") Ours = r.GetAdjustedCPUTime();
      else if (name == "BM_FreeTypeCachedReference") Reference = r.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (Ours > 0 && Reference > 0)
      std::printf("\nExtTextOut / FreeType cache reference: %.1f ns / %.1f ns = %.2f\n", Ours, Reference,
                  Ours / Reference);
  }

 private:
  double Ours = 0, Reference = 0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
