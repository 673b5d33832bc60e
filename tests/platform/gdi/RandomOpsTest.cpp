// Thousands of seeded random drawing operations folded into one checksum
// that is compared with a stored value: any change to a pixel rule shows
// up here. The same run with only one kind of drawing call at a time (the
// state changes stay) has a stored value per call, so a change names the
// call whose pixels moved. The same run through the recording tap must give
// the same pixels, and its log must hold every call.
#include "GdiTestUtil.h"

using namespace win;
using namespace gdi_test;

namespace {

struct Tools {
  HDC Src;
  HBITMAP SrcBmp, MonoSrcBmp;
  HDC MonoSrc;
  std::vector<HGDIOBJ> Objects;
  Tools() {
    Src = CreateCompatibleDC(nullptr);
    SrcBmp = CreateBitmap(24, 24, 1, 32, nullptr);
    SelectObject(Src, ToObj(SrcBmp));
    MonoSrc = CreateCompatibleDC(nullptr);
    MonoSrcBmp = CreateBitmap(24, 24, 1, 1, nullptr);
    SelectObject(MonoSrc, ToObj(MonoSrcBmp));
    Rng r(99);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) {
        SetPixel(Src, x, y, r.Next() & 0xFFFFFF);
        SetPixel(MonoSrc, x, y, (r.Next() & 1) ? 0xFFFFFF : 0);
      }
  }
  ~Tools() {
    DeleteDC(Src);
    DeleteDC(MonoSrc);
    DeleteObject(SrcBmp);
    DeleteObject(MonoSrcBmp);
  }
};

constexpr int kFirstDrawing = 7, kLastDrawing = 28;
const char* const kDrawingNames[] = {"FillRect",   "FrameRect",   "InvertRect",       "PatBlt",
                                     "LineTo",     "Rectangle",   "Ellipse",          "RoundRect",
                                     "Pie",        "Chord",       "Arc",              "Polygon",
                                     "Polyline",   "BitBlt",      "StretchBlt",       "SetPixel",
                                     "DrawEdge",   "DrawFocusRect", "region fills",   "DrawFrameControl",
                                     "TransparentBlt", "AlphaBlend"};

// Runs the operations on the canvas; answers how many drawing calls it made.
// With `only` set, drawing calls of other kinds are skipped (their numbers
// are still drawn, so everything else happens as in the full run).
int RunOps(Canvas& c, std::uint64_t seed, int count, const Tools& t, int only = -1) {
  Rng r(seed);
  HDC dc = c.Dc;
  int calls = 0;
  std::uint8_t patBits[16];
  for (auto& b : patBits) b = std::uint8_t(r.Next());
  HBITMAP patBmp = CreateBitmap(8, 8, 1, 1, patBits);
  HBRUSH pattern = CreatePatternBrush(patBmp);
  DeleteObject(patBmp);
  std::vector<HGDIOBJ> made{ToObj(pattern)};
  // Every iteration draws its numbers up front, in order: the order in
  // which a call's arguments are evaluated must not change the run.
  std::uint32_t q[16];
  auto pick = [&](int k, int lo, int hi) { return lo + int(q[k] % std::uint32_t(hi - lo + 1)); };
  auto colorAt = [&](int k) { return COLORREF(q[k] >> 8); };
  auto coordX = [&](int k) { return -8 + int(q[k] % std::uint32_t(c.W + 17)); };
  auto coordY = [&](int k) { return -8 + int(q[k] % std::uint32_t(c.H + 17)); };
  for (int i = 0; i < count; ++i) {
    for (auto& v : q) v = r.Next();
    int op = int(q[0] % 30);
    if (only >= 0 && op >= kFirstDrawing && op <= kLastDrawing && op != only) continue;
    int x0 = coordX(1), y0 = coordY(2), x1 = coordX(3), y1 = coordY(4);
    RECT rc{x0, y0, x1, y1};
    switch (op) {
      case 0: SetROP2(dc, pick(5, R2_BLACK, R2_WHITE)); break;
      case 1: {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        HPEN p = CreatePen(styles[pick(6, 0, 6)], pick(7, 0, 1) ? 1 : pick(8, 2, 5), colorAt(15));
        made.push_back(ToObj(p));
        SelectObject(dc, p);
        break;
      }
      case 2: {
        int kind = pick(9, 0, 3);
        HBRUSH b = kind == 0 ? CreateSolidBrush(colorAt(5))
                   : kind == 1 ? CreateHatchBrush(pick(10, 0, 5), colorAt(6))
                   : kind == 2 ? reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                               : pattern;
        made.push_back(ToObj(b));
        SelectObject(dc, ToObj(b));
        break;
      }
      case 3:
        SetBkColor(dc, colorAt(7));
        SetTextColor(dc, colorAt(8));
        SetBkMode(dc, pick(11, 0, 1) ? OPAQUE : TRANSPARENT);
        break;
      case 4: SetWindowOrgEx(dc, pick(12, -5, 5), pick(13, -5, 5), nullptr); break;
      case 5: {
        int k = pick(14, 0, 3);
        if (k == 0) {
          SelectClipRgn(dc, nullptr);
        } else if (k == 1) {
          IntersectClipRect(dc, x0, y0, x1, y1);
        } else if (k == 2) {
          ExcludeClipRect(dc, x0, y0, x1, y1);
        } else {
          HRGN e = CreateEllipticRgn(x0, y0, x1, y1);
          ExtSelectClipRgn(dc, e, pick(15, RGN_AND, RGN_COPY));
          DeleteObject(e);
        }
        break;
      }
      case 6: {
        if (pick(5, 0, 1)) SaveDC(dc);
        else RestoreDC(dc, -1);
        break;
      }
      case 7: FillRect(dc, &rc, reinterpret_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH))), ++calls; break;
      case 8: FrameRect(dc, &rc, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), ++calls; break;
      case 9: InvertRect(dc, &rc), ++calls; break;
      case 10: {
        static const DWORD rops[] = {PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS};
        PatBlt(dc, x0, y0, x1 - x0, y1 - y0, rops[pick(6, 0, 4)]), ++calls;
        break;
      }
      case 11:
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1), ++calls;
        break;
      case 12: Rectangle(dc, x0, y0, x1, y1), ++calls; break;
      case 13: Ellipse(dc, x0, y0, x1, y1), ++calls; break;
      case 14: RoundRect(dc, x0, y0, x1, y1, pick(7, 0, 12), pick(8, 0, 12)), ++calls; break;
      case 15: Pie(dc, x0, y0, x1, y1, coordX(12), coordY(13), coordX(14), coordY(15)), ++calls; break;
      case 16: Chord(dc, x0, y0, x1, y1, coordX(12), coordY(13), coordX(14), coordY(15)), ++calls; break;
      case 17: Arc(dc, x0, y0, x1, y1, coordX(12), coordY(13), coordX(14), coordY(15)), ++calls; break;
      case 18: {
        POINT pts[6];
        int n = pick(9, 3, 6);
        for (int k = 0; k < n; ++k) pts[k] = {coordX(6 + k), coordY(12 - k)};
        SetPolyFillMode(dc, pick(10, 0, 1) ? ALTERNATE : WINDING);
        Polygon(dc, pts, n), ++calls;
        break;
      }
      case 19: {
        POINT pts[5];
        for (int k = 0; k < 5; ++k) pts[k] = {coordX(6 + k), coordY(14 - k)};
        Polyline(dc, pts, 5), ++calls;
        break;
      }
      case 20:
        BitBlt(dc, x0, y0, pick(11, 0, 24), pick(12, 0, 24), pick(13, 0, 1) ? t.Src : t.MonoSrc, pick(14, 0, 8), pick(15, 0, 8),
               DWORD(pick(5, 0, 255)) << 16),
            ++calls;
        break;
      case 21:
        SetStretchBltMode(dc, pick(6, 0, 1) ? COLORONCOLOR : HALFTONE);
        StretchBlt(dc, x0, y0, x1 - x0, y1 - y0, t.Src, pick(7, 0, 8), pick(8, 0, 8), pick(9, -16, 16), pick(10, -16, 16),
                   SRCCOPY),
            ++calls;
        break;
      case 22: SetPixel(dc, x0, y0, colorAt(9)), ++calls; break;
      case 23: {
        static const UINT edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, BDR_RAISEDINNER};
        DrawEdge(dc, &rc, edges[pick(11, 0, 4)], UINT(pick(12, 0, 15)) | (pick(13, 0, 1) ? BF_MIDDLE : 0) |
                                                 (pick(14, 0, 1) ? BF_SOFT : 0) | (pick(15, 0, 3) == 0 ? BF_FLAT : 0)),
            ++calls;
        break;
      }
      case 24: DrawFocusRect(dc, &rc), ++calls; break;
      case 25: {
        HRGN a = CreateEllipticRgn(x0, y0, x1, y1), b = CreateRectRgn(y0, x0, y1, x1);
        CombineRgn(a, a, b, pick(5, RGN_AND, RGN_DIFF));
        int k = pick(6, 0, 2);
        if (k == 0) FillRgn(dc, a, reinterpret_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        else if (k == 1) FrameRgn(dc, a, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), pick(7, 1, 3), pick(8, 1, 3));
        else InvertRgn(dc, a);
        ++calls;
        DeleteObject(a);
        DeleteObject(b);
        break;
      }
      case 26: {
        static const UINT kinds[][2] = {{DFC_BUTTON, DFCS_BUTTONCHECK},  {DFC_BUTTON, DFCS_BUTTONRADIO},
                                        {DFC_BUTTON, DFCS_BUTTONPUSH},   {DFC_SCROLL, DFCS_SCROLLUP},
                                        {DFC_SCROLL, DFCS_SCROLLSIZEGRIP}, {DFC_BUTTON, DFCS_BUTTON3STATE}};
        int k = pick(9, 0, 5);
        RECT box{x0, y0, x0 + pick(10, 8, 20), y0 + pick(11, 8, 20)};
        DrawFrameControl(dc, &box, kinds[k][0], kinds[k][1] | (pick(12, 0, 1) ? DFCS_CHECKED : 0) |
                                                    (pick(13, 0, 1) ? DFCS_PUSHED : 0)),
            ++calls;
        break;
      }
      case 27: {
        HDC src = pick(14, 0, 1) ? t.Src : t.MonoSrc;
        TransparentBlt(dc, x0, y0, pick(15, 1, 20), pick(5, 1, 20), src, 0, 0, pick(6, 1, 24), pick(7, 1, 24), colorAt(10));
        ++calls;
        break;
      }
      case 28: {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, BYTE(pick(8, 0, 255)), 0};
        AlphaBlend(dc, x0, y0, pick(9, 0, 24), pick(10, 0, 24), t.Src, 0, 0, pick(11, 1, 24), pick(12, 1, 24), bf);
        ++calls;
        break;
      }
      default: SetBrushOrgEx(dc, pick(13, 0, 7), pick(14, 0, 7), nullptr); break;
    }
  }
  // Objects a restore dropped are the caller's to delete, as are the ones
  // still selected once the stock ones go back in.
  while (RestoreDC(dc, -1)) {
  }
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  for (HGDIOBJ h : made) DeleteObject(h);
  return calls;
}

std::uint32_t Checksum(const Canvas& c) {
  std::uint32_t h = 2166136261u;
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      COLORREF v = c.At(x, y);
      for (int k = 0; k < 3; ++k) h = (h ^ ((v >> (8 * k)) & 0xFF)) * 16777619u;
    }
  return h;
}

}  // namespace

TEST(RandomOperations, ChecksumMatchesTheStoredValue) {
  Tools t;
  int live = GdiLiveObjectCount();
  {
    Canvas colour(64, 48);
    RunOps(colour, 2024, 4000, t);
    Canvas mono(64, 48, kWhite, 1);
    RunOps(mono, 7, 2000, t);
    std::uint32_t a = Checksum(colour), b = Checksum(mono);
    if (a != 0x79e73759u || b != 0xb92e60f2u) {
      SaveDCPng(colour.Dc, "random_ops_colour.png");
      SaveDCPng(mono.Dc, "random_ops_mono.png");
    }
    EXPECT_EQ(a, 0x79e73759u) << std::hex << "colour checksum " << a << "; the per-call test names the call";
    EXPECT_EQ(b, 0xb92e60f2u) << std::hex << "monochrome checksum " << b << "; the per-call test names the call";
  }
  EXPECT_EQ(GdiLiveObjectCount(), live) << "the run deletes everything it makes";
}

TEST(RandomOperations, EachDrawingCallAloneMatchesItsStoredValue) {
  static const std::uint32_t kColour[] = {
      0xc827eb79u, 0xe9276c3du, 0x13a2d1dfu, 0x713a72afu, 0xaf770593u, 0xe1c97158u,
      0xcd5b6c5du, 0x1d1eb0e0u, 0xaed4979bu, 0xef56bd8bu, 0x9c595a19u, 0x736a4c5du,
      0xdc598271u, 0xd6f38e8eu, 0x5f900e8du, 0x816558deu, 0x67df4ab5u, 0x17f9d0f4u,
      0x9bbc45cdu, 0x3cfcaab7u, 0x16cf6d00u, 0x075a6220u,
  };
  static const std::uint32_t kMono[] = {
      0x77eb17fbu, 0x9e392aefu, 0xbb07813du, 0xd777984cu, 0x82101cd0u, 0x2181cdbdu,
      0x04648348u, 0xa5c207f5u, 0x3221e1eeu, 0x0a294474u, 0x7ea58415u, 0x5120f8d9u,
      0x825da2acu, 0xcf07fb54u, 0x33c12308u, 0x9421e9fdu, 0x6a3edb71u, 0x2bf3a173u,
      0x9e49ea18u, 0x60912391u, 0x261fd594u, 0x63dcca0eu,
  };
  static_assert(std::size(kColour) == kLastDrawing - kFirstDrawing + 1 && std::size(kMono) == std::size(kColour));
  Tools t;
  for (int op = kFirstDrawing; op <= kLastDrawing; ++op) {
    const int i = op - kFirstDrawing;
    Canvas colour(64, 48);
    RunOps(colour, 2024, 4000, t, op);
    Canvas mono(64, 48, kWhite, 1);
    RunOps(mono, 7, 2000, t, op);
    EXPECT_EQ(Checksum(colour), kColour[i]) << kDrawingNames[i] << " draws other colour pixels than before";
    EXPECT_EQ(Checksum(mono), kMono[i]) << kDrawingNames[i] << " draws other monochrome pixels than before";
  }
}

TEST(RandomOperations, RecordingTapGivesIdenticalPixelsAndLogsEveryCall) {
  Tools t;
  Canvas plain(64, 48), taped(64, 48);
  int calls = RunOps(plain, 31337, 1500, t);
  ASSERT_TRUE(GdiStartRecording(taped.Dc));
  int calls2 = RunOps(taped, 31337, 1500, t);
  ASSERT_EQ(calls, calls2);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(plain.At(x, y), taped.At(x, y)) << x << "," << y;
  std::string log = GdiRecording(taped.Dc);
  int lines = int(std::count(log.begin(), log.end(), '\n'));
  EXPECT_GE(lines, calls) << "every drawing call is in the log";
  GdiStopRecording(taped.Dc);
  EXPECT_EQ(GdiRecording(taped.Dc), "");
}

TEST(RecordingTap, LogLinesCarryTheDrawingState) {
  Canvas c(20, 20);
  GdiStartRecording(c.Dc);
  SetTextColor(c.Dc, kRed);
  SetBkMode(c.Dc, TRANSPARENT);
  IntersectClipRect(c.Dc, 2, 3, 10, 12);
  HPEN dot = CreatePen(PS_DOT, 1, kBlue);
  SelectObject(c.Dc, dot);
  Rectangle(c.Dc, 1, 1, 5, 5);
  RECT r{0, 0, 4, 4};
  FillRect(c.Dc, &r, reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)));
  EXPECT_EQ(GdiRecording(c.Dc),
            "Rectangle(1,1,5,5) text=#FF0000 bk=#FFFFFF transparent pen=dot/1/#0000FF brush=solid/#FFFFFF "
            "font=\"System\" 16 w700 clip=2,3,10,12\n"
            "FillRect(0,0,4,4 brush=sys15/#D4D0C8) text=#FF0000 bk=#FFFFFF transparent pen=dot/1/#0000FF "
            "brush=solid/#FFFFFF font=\"System\" 16 w700 clip=2,3,10,12\n");
  SelectObject(c.Dc, GetStockObject(BLACK_PEN));
  DeleteObject(dot);
}
