// Text as a grid repaint uses it: a 20-character cell text drawn with
// ExtTextOut and measured with GetTextExtentPoint32, in the default
// grey-scale mode with "Tahoma" -11, and a paragraph drawn with DrawText,
// word break and end ellipsis. The reference draws the same string
// through FreeType's own cache (character map and small-bitmap caches) and
// blends it into a 32-bit buffer the same way, so the ratio shows what the
// drawing tier adds on top of glyph rendering. The program ends with the
// ratio ExtTextOut / reference. Before timing, ours and the reference draw
// once each on white and every pixel must agree.
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

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "BenchMain.h"
#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontSubstitution.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"

namespace {

using namespace win;

bool gMismatch = false;

constexpr char kText[] = "Invoice 2024-0117 ok";  // 20 characters
constexpr int kLen = 20;
static_assert(sizeof kText == kLen + 1);

// A 400 x 40 32-bit canvas whose pixels the checks read.
struct Canvas {
  Canvas() {
    Dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<std::uint32_t*>(bits);
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
  void Clear() { std::fill(Bits, Bits + 400 * 40, 0x00FFFFFFu); }
  HDC Dc;
  HBITMAP Bmp;
  std::uint32_t* Bits = nullptr;
  HFONT Font;
  HGDIOBJ Old, OldFont;
};

// Ours and the reference drew the same text on white: every pixel must
// agree in colour (the reference's buffer carries an alpha byte, which is
// not compared).
void ComparePixels(const char* AWhat, const std::uint32_t* AOurs, const std::vector<std::uint32_t>& AReference) {
  // Once per program, however often the benchmark is entered.
  static std::set<std::string> compared;
  if (!compared.insert(AWhat).second) return;
  int differ = 0, worst = 0, inked = 0;
  for (std::size_t i = 0; i < AReference.size(); ++i) {
    const std::uint32_t a = AOurs[i] & 0x00FFFFFFu, b = AReference[i] & 0x00FFFFFFu;
    inked += a != 0x00FFFFFFu;
    if (a == b) continue;
    ++differ;
    for (int sh = 0; sh < 24; sh += 8) worst = std::max(worst, std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)));
  }
  std::fprintf(stderr, "%s: %d of %d inked pixels differ from the reference (largest channel difference %d)\n",
               AWhat, differ, inked, worst);
  if (differ > 0 || inked == 0) {
    std::fprintf(stderr, "MISMATCH: %s draws other pixels than the reference\n", AWhat);
    gMismatch = true;
  }
}

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

// The cell text through the reference's caches, blended like ours.
void DrawReferenceLine(FtReference& ARef, FTC_ImageTypeRec& AType) {
  const std::uint32_t ink = 0x00000000u;
  int pen = 2;
  const int baseline = 2 + 10;
  for (int i = 0; i < kLen; ++i) {
    FT_UInt index = FTC_CMapCache_Lookup(ARef.CMaps, AType.face_id, -1, static_cast<unsigned char>(kText[i]));
    FTC_SBit sbit = nullptr;
    if (FTC_SBitCache_Lookup(ARef.SBits, &AType, index, &sbit, nullptr) != 0 || !sbit) {
      ++ARef.Misses;
      continue;
    }
    for (int y = 0; y < sbit->height; ++y) {
      std::uint32_t* row = ARef.Pixels.data() + std::size_t(baseline - sbit->top + y) * 400 + pen + sbit->left;
      const std::uint8_t* cov = sbit->buffer + y * sbit->pitch;
      for (int x = 0; x < sbit->width; ++x) {
        unsigned c = cov[x];
        if (c == 255) row[x] = ink;
        else if (c) {
          std::uint32_t d = row[x], out = 0;
          for (int sh = 0; sh < 24; sh += 8) {
            unsigned dv = (d >> sh) & 0xFF, sv = (ink >> sh) & 0xFF;
            out |= std::uint32_t((sv * c + dv * (255 - c) + 127) / 255) << sh;
          }
          row[x] = out;
        }
      }
    }
    pen += sbit->xadvance;
  }
}

void BM_FreeTypeCachedReference(benchmark::State& state) {
  FtReference ref;
  FTC_ImageTypeRec type{};
  type.face_id = reinterpret_cast<FTC_FaceID>(1);
  type.width = 11;
  type.height = 11;
  type.flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;
  {
    // Before timing: ExtTextOut and the reference draw the same pixels.
    SetTextRenderMode(TextRenderMode::Grayscale);
    Canvas c;
    c.Clear();
    RECT r{0, 0, 300, 20};
    ExtTextOutA(c.Dc, 2, 2, ETO_CLIPPED, &r, kText, kLen, nullptr);
    DrawReferenceLine(ref, type);
    ComparePixels("ExtTextOut", c.Bits, ref.Pixels);
  }
  long allocsAfterFirst = -1;
  bool first = true;
  for (auto _ : state) {
    // The first pass fills the cache; what allocates after it is a miss.
    if (!first && allocsAfterFirst < 0) allocsAfterFirst = ref.Allocs;
    first = false;
    DrawReferenceLine(ref, type);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kLen);
  state.counters["misses"] = double(ref.Misses);
  state.counters["allocs/string"] =
      benchmark::Counter(double(allocsAfterFirst < 0 ? 0 : ref.Allocs - allocsAfterFirst), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FreeTypeCachedReference);

// --- A paragraph: DrawText with word break and end ellipsis -----------------------

constexpr char kParagraph[] =
    "Invoices for March and April were posted on 2024-04-17; see "
    "ledger/2024/april/reconciliation-of-the-outstanding-items for the open "
    "entries, then reconcile the totals with the bank statement before closing.";
constexpr int kParagraphWidth = 160;

void BM_DrawTextWrapped(benchmark::State& state) {
  SetTextRenderMode(TextRenderMode::Grayscale);
  Canvas c;
  RECT r{2, 2, 2 + kParagraphWidth, 38};
  for (auto _ : state) {
    RECT box = r;
    DrawTextA(c.Dc, kParagraph, -1, &box, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(sizeof kParagraph - 1));
}
BENCHMARK(BM_DrawTextWrapped);

// The same paragraph laid out by hand over FreeType's caches: advances
// from the small-bitmap cache, greedy breaks at blanks (blanks at a break
// belong to neither line, a word wider than the line stays whole and ends
// in "..." where it no longer fits), every line blended, clipped to the box.
struct ParagraphReference {
  FtReference Ref;
  FTC_ImageTypeRec Type{};
  ParagraphReference() {
    Type.face_id = reinterpret_cast<FTC_FaceID>(1);
    Type.width = 11;
    Type.height = 11;
    Type.flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;
  }
  FTC_SBit Glyph(char ch) {
    FT_UInt index = FTC_CMapCache_Lookup(Ref.CMaps, Type.face_id, -1, static_cast<unsigned char>(ch));
    FTC_SBit sbit = nullptr;
    if (FTC_SBitCache_Lookup(Ref.SBits, &Type, index, &sbit, nullptr) != 0) ++Ref.Misses;
    return sbit;
  }
  int Advance(char ch) {
    FTC_SBit g = Glyph(ch);
    return g ? g->xadvance : 0;
  }
  int Width(const std::string& AText, std::size_t AFrom, std::size_t ATo) {
    int w = 0;
    for (std::size_t i = AFrom; i < ATo; ++i) w += Advance(AText[i]);
    return w;
  }
  // The lines as [begin, end) ranges.
  void Wrap(const std::string& AText, int ALimit, std::vector<std::pair<std::size_t, std::size_t>>& ALines) {
    ALines.clear();
    std::size_t start = 0;
    const std::size_t n = AText.size();
    while (start < n) {
      std::size_t end = start, fits = start;
      int w = 0;
      while (end < n) {
        std::size_t wordEnd = end;
        while (wordEnd < n && AText[wordEnd] != ' ') ++wordEnd;
        const int ww = Width(AText, end, wordEnd);
        if (fits > start && w + ww > ALimit) break;
        w += ww;
        fits = wordEnd;
        end = wordEnd;
        while (end < n && AText[end] == ' ') w += Advance(AText[end++]);
      }
      ALines.emplace_back(start, fits);
      start = end;
      while (start < n && AText[start] == ' ') ++start;
    }
  }
  void DrawLine(const std::string& AText, int AX, int ABaseline, int AClipBottom) {
    int pen = AX;
    for (char ch : AText) {
      FTC_SBit sbit = Glyph(ch);
      if (!sbit) continue;
      for (int y = 0; y < sbit->height; ++y) {
        const int py = ABaseline - sbit->top + y;
        if (py < 0 || py >= AClipBottom) continue;
        std::uint32_t* row = Ref.Pixels.data() + std::size_t(py) * 400 + pen + sbit->left;
        const std::uint8_t* cov = sbit->buffer + y * sbit->pitch;
        for (int x = 0; x < sbit->width; ++x) {
          const unsigned c = cov[x];
          if (c == 255) row[x] = 0;
          else if (c) {
            std::uint32_t d = row[x], out = 0;
            for (int s = 0; s < 24; s += 8) out |= std::uint32_t((((d >> s) & 0xFF) * (255 - c) + 127) / 255) << s;
            row[x] = out;
          }
        }
      }
      pen += sbit->xadvance;
    }
  }
  // Lays out and draws; answers the number of lines.
  int Draw(const std::string& AText, int ALimit, int ALineHeight, int ABottom) {
    thread_local std::vector<std::pair<std::size_t, std::size_t>> lines;
    thread_local std::string shown;
    Wrap(AText, ALimit, lines);
    int top = 2;
    for (const auto& [b, e] : lines) {
      shown.assign(AText, b, e - b);
      int w = Width(shown, 0, shown.size());
      if (w > ALimit) {
        const int dots = 3 * Advance('.');
        while (!shown.empty() && w + dots > ALimit) {
          w -= Advance(shown.back());
          shown.pop_back();
        }
        shown += "...";
      }
      if (top < ABottom) DrawLine(shown, 2, top + 10, std::min(ABottom, 40));
      top += ALineHeight;
    }
    return static_cast<int>(lines.size());
  }
};

void BM_DrawTextWrappedReference(benchmark::State& state) {
  ParagraphReference ref;
  // The same number of lines as DrawText lays out.
  Canvas c;
  RECT calc{2, 2, 2 + kParagraphWidth, 38};
  const int height = DrawTextA(c.Dc, kParagraph, -1, &calc, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX | DT_CALCRECT);
  TEXTMETRICA tm{};
  GetTextMetricsA(c.Dc, &tm);
  const int lines = ref.Draw(kParagraph, kParagraphWidth, tm.tmHeight, 38);
  if (tm.tmHeight <= 0 || height / tm.tmHeight != lines) {
    std::fprintf(stderr, "MISMATCH: DrawText lays out %d lines, the FreeType layout %d\n",
                 tm.tmHeight > 0 ? height / tm.tmHeight : -1, lines);
    gMismatch = true;
  }
  // And the same pixels, each on white.
  SetTextRenderMode(TextRenderMode::Grayscale);
  c.Clear();
  RECT box{2, 2, 2 + kParagraphWidth, 38};
  DrawTextA(c.Dc, kParagraph, -1, &box, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
  ref.Ref.Pixels.assign(400 * 40, 0xFFFFFFFFu);
  ref.Draw(kParagraph, kParagraphWidth, tm.tmHeight, 38);
  ComparePixels("DrawText", c.Bits, ref.Ref.Pixels);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ref.Draw(kParagraph, kParagraphWidth, tm.tmHeight, 38));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(sizeof kParagraph - 1));
  state.counters["misses"] = double(ref.Ref.Misses);
}
BENCHMARK(BM_DrawTextWrappedReference);

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
      else if (name == "BM_DrawTextWrapped") Wrapped = r.GetAdjustedCPUTime();
      else if (name == "BM_DrawTextWrappedReference") WrappedReference = r.GetAdjustedCPUTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (Ours > 0 && Reference > 0)
      std::printf("\nExtTextOut / FreeType cache reference: %.1f ns / %.1f ns = %.2f\n", Ours, Reference,
                  Ours / Reference);
    if (Wrapped > 0 && WrappedReference > 0)
      std::printf("DrawText word break + ellipsis / FreeType layout: %.1f ns / %.1f ns = %.2f\n", Wrapped,
                  WrappedReference, Wrapped / WrappedReference);
  }

 private:
  double Ours = 0, Reference = 0, Wrapped = 0, WrappedReference = 0;
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  return RunBenchmarks(argc, argv, reporter, gMismatch,
                       "bench_text: ours and the reference disagree (see MISMATCH above)");
}
