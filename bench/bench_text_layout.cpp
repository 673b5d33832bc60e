// The editors' text layout on texts of 10^2 to 10^5 characters in a
// 200-pixel-wide rectangle with word break: drawn, drawn with tabs expanded,
// and measured (cxtfCalcRect), each against the platform's DrawText with
// DT_WORDBREAK (and DT_EXPANDTABS, DT_CALCRECT) on the same text as the
// peer. The rectangle is tall enough for every row, so the whole text is
// laid out. "Tahoma" -11 in the default grey-scale mode on a 200 x 200
// page; rows below the page are laid out and clipped by the drawing tier.
// The program ends with the ratio to the peer at every size and the time
// ratio of every 10x step (about 10 is linear, 100 quadratic).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "GrowthReporter.h"
#include "library/editors/core/cxEditTextUtils.h"
#include "platform/gdi/Bitmaps.h"

namespace {

using namespace win;

// Words of 1 to 10 letters, a paragraph break every 60 words or so, and
// with tabs one gap in eight a tab.
AnsiString MakeText(size_t ALength, bool ATabs) {
  std::mt19937 random(unsigned(ALength) + (ATabs ? 1 : 0));
  AnsiString s;
  s.reserve(ALength);
  while (s.size() < ALength) {
    for (unsigned n = 1 + random() % 10; n > 0 && s.size() < ALength; --n) s += char('a' + random() % 26);
    if (random() % 60 == 0)
      s += "\r\n";
    else
      s += ATabs && random() % 8 == 0 ? '\t' : ' ';
  }
  s.resize(ALength);
  return s;
}

struct Page {
  Page() {
    SetTextRenderMode(TextRenderMode::Grayscale);
    Dc = CreateCompatibleDC(nullptr);
    Bmp = CreateBitmap(200, 200, 1, 32, nullptr);
    OldBmp = SelectObject(Dc, Bmp);
    Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    OldFont = SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
  }
  ~Page() {
    SelectObject(Dc, OldFont);
    SelectObject(Dc, OldBmp);
    DeleteObject(Font);
    DeleteObject(Bmp);
    DeleteDC(Dc);
  }
  HDC Dc;
  HBITMAP Bmp, OldBmp;
  HFONT Font, OldFont;
};

constexpr TRect kRect{0, 0, 200, 1 << 24};
constexpr Cardinal kFormat = cxMakeFormat(taLeft, taTop) | cxtfWordBreak;

enum Mode { mDraw, mDrawTabs, mMeasure };

void Ours(benchmark::State& state, Mode AMode) {
  Page page;
  const AnsiString text = MakeText(size_t(state.range(0)), AMode == mDrawTabs);
  const Cardinal format =
      kFormat | (AMode == mDrawTabs ? cxtfExpandTabs : 0) | (AMode == mMeasure ? cxtfCalcRect : 0);
  for (auto _ : state) {
    TRect r = kRect;
    benchmark::DoNotOptimize(cxTextOut(page.Dc, text, r, format));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Peer(benchmark::State& state, Mode AMode) {
  Page page;
  const AnsiString text = MakeText(size_t(state.range(0)), AMode == mDrawTabs);
  const UINT format = DT_WORDBREAK | DT_NOPREFIX | (AMode == mDrawTabs ? DT_EXPANDTABS : 0) |
                      (AMode == mMeasure ? DT_CALCRECT : 0);
  for (auto _ : state) {
    TRect r = kRect;
    benchmark::DoNotOptimize(DrawTextA(page.Dc, text.data(), int(text.size()), &r, format));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_cxTextOut_Draw(benchmark::State& state) { Ours(state, mDraw); }
void BM_cxTextOut_DrawTabs(benchmark::State& state) { Ours(state, mDrawTabs); }
void BM_cxTextOut_Measure(benchmark::State& state) { Ours(state, mMeasure); }
void BM_DrawText_Draw(benchmark::State& state) { Peer(state, mDraw); }
void BM_DrawText_DrawTabs(benchmark::State& state) { Peer(state, mDrawTabs); }
void BM_DrawText_Measure(benchmark::State& state) { Peer(state, mMeasure); }

#define TEXT_SIZES RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_cxTextOut_Draw)->TEXT_SIZES;
BENCHMARK(BM_DrawText_Draw)->TEXT_SIZES;
BENCHMARK(BM_cxTextOut_DrawTabs)->TEXT_SIZES;
BENCHMARK(BM_DrawText_DrawTabs)->TEXT_SIZES;
BENCHMARK(BM_cxTextOut_Measure)->TEXT_SIZES;
BENCHMARK(BM_DrawText_Measure)->TEXT_SIZES;

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  growth::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& times = reporter.Times;
  std::printf("\ncxTextOut / DrawText at 10^2 .. 10^5 characters:\n");
  for (const char* mode : {"Draw", "DrawTabs", "Measure"}) {
    const auto ours = times.find(std::string("BM_cxTextOut_") + mode);
    const auto peer = times.find(std::string("BM_DrawText_") + mode);
    if (ours == times.end() || peer == times.end()) continue;
    std::printf("  %-10s", mode);
    for (const auto& [size, time] : ours->second)
      if (const auto p = peer->second.find(size); p != peer->second.end() && p->second > 0)
        std::printf(" %6.2f", time / p->second);
    std::printf("\n");
  }
  growth::PrintGrowth(times);
  benchmark::Shutdown();
  return 0;
}
