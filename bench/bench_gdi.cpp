// The drawing tier's hot calls against pixman in the same run: solid fills
// (FillRect, PatBlt), copies (BitBlt SRCCOPY), one-pixel lines and frames,
// and region combination on banded regions of 8 to about 10^4 rectangles.
// Before timing, every pair is checked once to give the same result (the
// same pixels, the same region) and a mismatch fails the run. Each pair is
// printed with the ratio of our time to pixman's; the goal is at most 1.5
// at every size.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"

using namespace win;

namespace {

constexpr int kSide = 512;
// RGB(10, 20, 30) as the 32-bit DIB holds it (blue in the low byte), the
// colour both sides fill with.
constexpr std::uint32_t kPixel = 0x000A141E;

// A memory DC over a 512 x 512 DIB section, whose bits pixman works on too.
struct Target {
  HDC Dc = nullptr;
  HBITMAP Bmp = nullptr;
  std::uint32_t* Bits = nullptr;
  Target() {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<std::uint32_t*>(bits);
    Dc = CreateCompatibleDC(nullptr);
    SelectObject(Dc, ToObj(Bmp));
  }
};

Target& Dst() {
  static Target t;
  return t;
}
Target& Src() {
  static Target t;
  return t;
}

void FillRectOurs(benchmark::State& st) {
  int n = int(st.range(0));
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  RECT r{3, 5, 3 + n, 5 + n};
  for (auto _ : st) {
    FillRect(Dst().Dc, &r, b);
    benchmark::ClobberMemory();
  }
  DeleteObject(b);
}

void FillPixman(benchmark::State& st) {
  int n = int(st.range(0));
  for (auto _ : st) {
    pixman_fill(Dst().Bits, kSide, 32, 3, 5, n, n, kPixel);
    benchmark::ClobberMemory();
  }
}

void PatBltOurs(benchmark::State& st) {
  int n = int(st.range(0));
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  HGDIOBJ old = SelectObject(Dst().Dc, ToObj(b));
  for (auto _ : st) {
    PatBlt(Dst().Dc, 3, 5, n, n, PATCOPY);
    benchmark::ClobberMemory();
  }
  SelectObject(Dst().Dc, old);
  DeleteObject(b);
}

void BitBltOurs(benchmark::State& st) {
  int n = int(st.range(0));
  for (auto _ : st) {
    BitBlt(Dst().Dc, 3, 5, n, n, Src().Dc, 7, 1, SRCCOPY);
    benchmark::ClobberMemory();
  }
}

void BltPixman(benchmark::State& st) {
  int n = int(st.range(0));
  for (auto _ : st) {
    pixman_blt(Src().Bits, Dst().Bits, kSide, kSide, 32, 32, 7, 1, 3, 5, n, n);
    benchmark::ClobberMemory();
  }
}

// A one-pixel horizontal line of 64 pixels, against a 64 x 1 fill.
void LineToOurs(benchmark::State& st) {
  for (auto _ : st) {
    MoveToEx(Dst().Dc, 3, 9, nullptr);
    LineTo(Dst().Dc, 67, 9);
    benchmark::ClobberMemory();
  }
}

void LinePixman(benchmark::State& st) {
  for (auto _ : st) {
    pixman_fill(Dst().Bits, kSide, 32, 3, 9, 64, 1, 0);
    benchmark::ClobberMemory();
  }
}

// A diagonal one-pixel line: no pixman counterpart, reported alone.
void DiagonalLineToOurs(benchmark::State& st) {
  for (auto _ : st) {
    MoveToEx(Dst().Dc, 3, 9, nullptr);
    LineTo(Dst().Dc, 67, 50);
    benchmark::ClobberMemory();
  }
}

void FrameRectOurs(benchmark::State& st) {
  int n = int(st.range(0));
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  RECT r{3, 5, 3 + n, 5 + n};
  for (auto _ : st) {
    FrameRect(Dst().Dc, &r, b);
    benchmark::ClobberMemory();
  }
  DeleteObject(b);
}

void FramePixman(benchmark::State& st) {
  int n = int(st.range(0));
  for (auto _ : st) {
    pixman_fill(Dst().Bits, kSide, 32, 3, 5, n, 1, kPixel);
    pixman_fill(Dst().Bits, kSide, 32, 3, 5 + n - 1, n, 1, kPixel);
    pixman_fill(Dst().Bits, kSide, 32, 3, 6, 1, n - 2, kPixel);
    pixman_fill(Dst().Bits, kSide, 32, 3 + n - 1, 6, 1, n - 2, kPixel);
    benchmark::ClobberMemory();
  }
}

// Two banded regions: a checkerboard of k x k cells and the same board
// shifted by half a cell.
std::vector<RECT> Board(int k, int shift) {
  std::vector<RECT> r;
  for (int y = 0; y < k; ++y)
    for (int x = 0; x < k; ++x)
      if ((x + y) % 2 == 0) r.push_back({x * 16 + shift, y * 16 + shift, x * 16 + 16 + shift, y * 16 + 16 + shift});
  return r;
}

HRGN OurBoard(int k, int shift) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  for (const RECT& rc : Board(k, shift)) {
    HRGN p = CreateRectRgnIndirect(&rc);
    CombineRgn(r, r, p, RGN_OR);
    DeleteObject(p);
  }
  return r;
}

void PixmanBoard(pixman_region32_t* out, int k, int shift) {
  pixman_region32_init(out);
  for (const RECT& rc : Board(k, shift)) {
    pixman_region32_t p;
    pixman_region32_init_rect(&p, rc.Left, rc.Top, std::uint32_t(rc.Right - rc.Left), std::uint32_t(rc.Bottom - rc.Top));
    pixman_region32_union(out, out, &p);
    pixman_region32_fini(&p);
  }
}

void CombineRgnOurs(benchmark::State& st) {
  int k = int(st.range(0)), mode = int(st.range(1));
  HRGN a = OurBoard(k, 0), b = OurBoard(k, 8), d = CreateRectRgn(0, 0, 0, 0);
  for (auto _ : st) benchmark::DoNotOptimize(CombineRgn(d, a, b, mode));
  for (HRGN h : {a, b, d}) DeleteObject(h);
}

void CombinePixman(benchmark::State& st) {
  int k = int(st.range(0)), mode = int(st.range(1));
  pixman_region32_t a, b, d;
  PixmanBoard(&a, k, 0);
  PixmanBoard(&b, k, 8);
  pixman_region32_init(&d);
  for (auto _ : st) {
    if (mode == RGN_AND) benchmark::DoNotOptimize(pixman_region32_intersect(&d, &a, &b));
    else if (mode == RGN_OR) benchmark::DoNotOptimize(pixman_region32_union(&d, &a, &b));
    else benchmark::DoNotOptimize(pixman_region32_subtract(&d, &a, &b));
  }
  pixman_region32_fini(&a);
  pixman_region32_fini(&b);
  pixman_region32_fini(&d);
}

// --- Agreement ----------------------------------------------------------------

bool gMismatch = false;

void Agree(bool AOk, const std::string& AWhat) {
  if (AOk) return;
  std::fprintf(stderr, "MISMATCH: %s\n", AWhat.c_str());
  gMismatch = true;
}

// Both sides draw once on the same background; the pixels must agree.
void SamePixels(const std::string& AWhat, const std::function<void()>& AOurs, const std::function<void()>& APeer) {
  const std::size_t n = std::size_t(kSide) * kSide;
  for (std::size_t i = 0; i < n; ++i) Src().Bits[i] = std::uint32_t(i * 2654435761u) & 0x00FFFFFF;
  std::vector<std::uint32_t> ours(n);
  std::fill(Dst().Bits, Dst().Bits + n, 0x00FFFFFF);
  AOurs();
  std::memcpy(ours.data(), Dst().Bits, n * 4);
  std::fill(Dst().Bits, Dst().Bits + n, 0x00FFFFFF);
  APeer();
  Agree(std::memcmp(ours.data(), Dst().Bits, n * 4) == 0, AWhat + ": pixels differ");
}

void CheckDrawing() {
  HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
  for (int n : {1, 8, 64, 256}) {
    const std::string size = "/" + std::to_string(n);
    RECT r{3, 5, 3 + n, 5 + n};
    SamePixels("FillRect" + size, [&] { FillRect(Dst().Dc, &r, b); },
               [&] { pixman_fill(Dst().Bits, kSide, 32, 3, 5, n, n, kPixel); });
    SamePixels("PatBlt" + size,
               [&] {
                 HGDIOBJ old = SelectObject(Dst().Dc, ToObj(b));
                 PatBlt(Dst().Dc, 3, 5, n, n, PATCOPY);
                 SelectObject(Dst().Dc, old);
               },
               [&] { pixman_fill(Dst().Bits, kSide, 32, 3, 5, n, n, kPixel); });
    SamePixels("BitBlt" + size, [&] { BitBlt(Dst().Dc, 3, 5, n, n, Src().Dc, 7, 1, SRCCOPY); },
               [&] { pixman_blt(Src().Bits, Dst().Bits, kSide, kSide, 32, 32, 7, 1, 3, 5, n, n); });
  }
  SamePixels("LineTo64",
             [&] {
               MoveToEx(Dst().Dc, 3, 9, nullptr);
               LineTo(Dst().Dc, 67, 9);
             },
             [&] { pixman_fill(Dst().Bits, kSide, 32, 3, 9, 64, 1, 0); });
  for (int n : {8, 64, 256}) {
    RECT r{3, 5, 3 + n, 5 + n};
    SamePixels("FrameRect/" + std::to_string(n), [&] { FrameRect(Dst().Dc, &r, b); },
               [&] {
                 pixman_fill(Dst().Bits, kSide, 32, 3, 5, n, 1, kPixel);
                 pixman_fill(Dst().Bits, kSide, 32, 3, 5 + n - 1, n, 1, kPixel);
                 pixman_fill(Dst().Bits, kSide, 32, 3, 6, 1, n - 2, kPixel);
                 pixman_fill(Dst().Bits, kSide, 32, 3 + n - 1, 6, 1, n - 2, kPixel);
               });
  }
  DeleteObject(b);
}

// The combined regions agree rectangle for rectangle with pixman's.
void CheckRegions(int k, int mode) {
  HRGN a = OurBoard(k, 0), bo = OurBoard(k, 8), d = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(d, a, bo, mode);
  pixman_region32_t pa, pb, pd;
  PixmanBoard(&pa, k, 0);
  PixmanBoard(&pb, k, 8);
  pixman_region32_init(&pd);
  if (mode == RGN_AND) pixman_region32_intersect(&pd, &pa, &pb);
  else if (mode == RGN_OR) pixman_region32_union(&pd, &pa, &pb);
  else pixman_region32_subtract(&pd, &pa, &pb);
  int count = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&pd, &count);
  HRGN peer = CreateRectRgn(0, 0, 0, 0);
  for (int i = 0; i < count; ++i) {
    HRGN p = CreateRectRgn(boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2);
    CombineRgn(peer, peer, p, RGN_OR);
    DeleteObject(p);
  }
  Agree(EqualRgn(d, peer) != FALSE, "CombineRgn " + std::to_string(k) + "/" + std::to_string(mode) + ": regions differ");
  for (HRGN h : {a, bo, d, peer}) DeleteObject(h);
  pixman_region32_fini(&pa);
  pixman_region32_fini(&pb);
  pixman_region32_fini(&pd);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {1, 8, 64, 256}) b->Arg(n);
}
// Checkerboards of k x k cells hold k^2 / 2 rectangles: 8, 128, about
// 10^3 and about 10^4.
constexpr int kBoards[] = {4, 16, 45, 142};
void Boards(benchmark::internal::Benchmark* b) {
  for (int k : kBoards)
    for (int mode : {RGN_AND, RGN_OR, RGN_DIFF}) b->Args({k, mode});
}

// Names are "<operation>/<ours|pixman>"; the reporter pairs them.
BENCHMARK(FillRectOurs)->Name("FillRect/ours")->Apply(Sizes);
BENCHMARK(FillPixman)->Name("FillRect/pixman")->Apply(Sizes);
BENCHMARK(PatBltOurs)->Name("PatBlt/ours")->Apply(Sizes);
BENCHMARK(FillPixman)->Name("PatBlt/pixman")->Apply(Sizes);
BENCHMARK(BitBltOurs)->Name("BitBlt/ours")->Apply(Sizes);
BENCHMARK(BltPixman)->Name("BitBlt/pixman")->Apply(Sizes);
BENCHMARK(LineToOurs)->Name("LineTo64/ours");
BENCHMARK(LinePixman)->Name("LineTo64/pixman");
BENCHMARK(DiagonalLineToOurs)->Name("DiagonalLineTo/ours");
BENCHMARK(FrameRectOurs)->Name("FrameRect/ours")->Arg(8)->Arg(64)->Arg(256);
BENCHMARK(FramePixman)->Name("FrameRect/pixman")->Arg(8)->Arg(64)->Arg(256);
BENCHMARK(CombineRgnOurs)->Name("CombineRgn/ours")->Apply(Boards);
BENCHMARK(CombinePixman)->Name("CombineRgn/pixman")->Apply(Boards);

// Prints the usual table, then one line per pair with the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      // With repetitions, pair the medians only.
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      std::string name = r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
      for (const char* side : {"/ours", "/pixman"}) {
        auto pos = name.find(side);
        if (pos == std::string::npos) continue;
        std::string key = name.substr(0, pos) + name.substr(pos + std::string(side).size());
        (side[1] == 'o' ? Ours : Peer)[key] = r.GetAdjustedCPUTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-28s %12s %12s %8s\n", "operation", "ours ns", "pixman ns", "ratio");
    for (const auto& [key, ours] : Ours) {
      auto it = Peer.find(key);
      if (it == Peer.end()) continue;
      std::printf("%-28s %12.1f %12.1f %8.2f%s\n", key.c_str(), ours, it->second, ours / it->second,
                  ours / it->second > 1.5 ? "  (over 1.5)" : "");
    }
  }

 private:
  std::map<std::string, double> Ours, Peer;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CheckDrawing();
  for (int k : kBoards)
    for (int mode : {RGN_AND, RGN_OR, RGN_DIFF}) CheckRegions(k, mode);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (gMismatch) std::fprintf(stderr, "bench_gdi: ours and pixman disagree (see MISMATCH above)\n");
  return gMismatch ? 1 : 0;
}
