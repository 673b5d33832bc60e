// Metafile playback of every record kind: a drawing recorded by the
// platform's own recorder plays back pixel for pixel as it was drawn, and
// scaled into a larger rectangle; hand-built records of both formats draw
// their text, bitmaps, regions and clips and follow their mapping; the
// picture's clipping never leaves the clip it is drawn in.
#include "FormsTestUtil.h"
#include "MetafileBytes.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

#include "platform/forms/Metafile.h"
#include "platform/gdi/Text.h"

using namespace forms_test;
using namespace win;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);

// An enhanced metafile of the records, its frame w x h pixels at 96 per
// inch.
std::string Emf(int w, int h, const std::string& body) {
  const std::string all = body + Record(EMR_EOF, Words32({0, 16, 20}));
  return EnhancedMetafile({0, 0, unsigned(w - 1), unsigned(h - 1)},
                          {0, 0, unsigned(w * 2540 / 96), unsigned(h * 2540 / 96)}, 20, 8, all);
}

// A placeable metafile with bounds (0, 0)-(w, h) at 96 units per inch.
std::string Wmf(int w, int h, const std::string& records) {
  return PlaceableMetafile(w, h, 8, records + WmfRecord(META_EOF, ""));
}

// A bottom-up 2 x 2 DIB of 32 bits: red and green on top, blue and black
// below.
std::string Dib2x2() {
  std::string d = Words32({40, 2, 2});
  Put16(d, 1);
  Put16(d, 32);
  d += Words32({0, 16, 0, 0, 0, 0});
  // Rows bottom first, pixels B G R X.
  d += Words32({0x000000FF, 0x00000000, 0x00FF0000, 0x0000A000});
  return d;
}

TMetafile* Load(const std::string& bytes) {
  TMetafile* m = New<TMetafile>();
  TStringStream s(bytes);
  m->LoadFromStream(&s);
  return m;
}

// Records what draw() draws and answers the metafile's bytes.
std::string Recorded(int w, int h, const std::function<void(HDC)>& draw) {
  const RECT frame{0, 0, w * 2540 / 96, h * 2540 / 96};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, "story");
  EXPECT_NE(dc, nullptr);
  draw(dc);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  std::string bytes(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  GetEnhMetaFileBits(emf, UINT(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  DeleteEnhMetaFile(emf);
  return bytes;
}

int Differences(MemCanvas& a, MemCanvas& b, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += a.At(x, y) != b.At(x, y);
  return n;
}

// A drawing that uses every kind of record the recorder writes.
void Everything(HDC dc) {
  // Lines and shapes with pens and brushes of every kind.
  HPEN dashed = CreatePen(PS_DASH, 1, kBlue);
  LOGBRUSH lb{BS_SOLID, kGreen, 0};
  HPEN flat = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, &lb, 0, nullptr);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, kRed);
  HBRUSH red = CreateSolidBrush(kRed);
  HBITMAP tile = CreateBitmap(8, 8, 1, 1, nullptr);
  HBRUSH pattern = CreatePatternBrush(tile);
  SelectObject(dc, ToObj(dashed));
  MoveToEx(dc, 4, 4, nullptr);
  LineTo(dc, 60, 4);
  const POINT zig[] = {{4, 10}, {20, 20}, {36, 10}, {52, 20}};
  Polyline(dc, zig, 4);
  SelectObject(dc, ToObj(flat));
  const POINT corner[] = {{70, 30}, {70, 8}, {100, 8}};
  Polyline(dc, corner, 3);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, ToObj(hatch));
  Rectangle(dc, 4, 24, 30, 44);
  SetBkMode(dc, TRANSPARENT);
  Ellipse(dc, 34, 24, 60, 44);
  SelectObject(dc, ToObj(pattern));
  SetTextColor(dc, kBlue);
  RoundRect(dc, 104, 4, 140, 28, 10, 10);
  SelectObject(dc, ToObj(red));
  Pie(dc, 104, 30, 140, 60, 140, 45, 122, 30);
  Chord(dc, 4, 48, 30, 70, 30, 59, 4, 59);
  Arc(dc, 34, 48, 60, 70, 60, 59, 34, 59);
  const POINT two[] = {{64, 40}, {80, 40}, {72, 52}, {84, 40}, {100, 40}, {92, 52}};
  const INT counts[] = {3, 3};
  PolyPolygon(dc, two, counts, 2);
  const POINT curve[] = {{64, 60}, {70, 40}, {90, 80}, {100, 60}};
  PolyBezier(dc, curve, 4);
  SetPixel(dc, 2, 90, kRed);

  // Text in a font of its own, aligned and opaque.
  HFONT font = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  SelectObject(dc, ToObj(font));
  SetTextColor(dc, kRed);
  SetBkColor(dc, RGB(255, 255, 0));
  SetBkMode(dc, OPAQUE);
  TextOutA(dc, 4, 72, "Metafile", 8);
  SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
  const RECT box{80, 70, 140, 90};
  ExtTextOutA(dc, 140, 86, ETO_OPAQUE, &box, "right", 5, nullptr);
  SetTextAlign(dc, TA_LEFT | TA_TOP);

  // Blits from a bitmap, a stretched one and a DIB.
  HDC src = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(6, 6, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(src, ToObj(bm));
  PatBlt(src, 0, 0, 6, 6, WHITENESS);
  HBRUSH blue = CreateSolidBrush(kBlue);
  const RECT half{0, 0, 3, 6};
  FillRect(src, &half, blue);
  BitBlt(dc, 110, 62, 6, 6, src, 0, 0, SRCCOPY);
  StretchBlt(dc, 118, 62, 12, 12, src, 0, 0, 6, 6, SRCCOPY);
  const std::string dib = Dib2x2();
  StretchDIBits(dc, 132, 62, 8, 8, 0, 0, 2, 2, dib.data() + 40, reinterpret_cast<const BITMAPINFO*>(dib.data()),
                DIB_RGB_COLORS, SRCCOPY);
  SelectObject(src, old);
  DeleteObject(bm);
  DeleteDC(src);

  // Fills, frames and regions.
  const RECT fill{4, 92, 20, 96};
  FillRect(dc, &fill, blue);
  const RECT frame{24, 90, 40, 96};
  FrameRect(dc, &frame, red);
  const RECT inverted{44, 90, 60, 96};
  InvertRect(dc, &inverted);
  HRGN oval = CreateEllipticRgn(64, 86, 84, 96);
  FillRgn(dc, oval, blue);
  FrameRgn(dc, oval, red, 1, 1);
  DeleteObject(oval);

  // Clipping, in a saved state: a cross drawn through an oval clip and a
  // clip rectangle; then a path.
  SaveDC(dc);
  HRGN clip = CreateEllipticRgn(88, 88, 108, 96);
  ExtSelectClipRgn(dc, clip, RGN_COPY);
  DeleteObject(clip);
  ExcludeClipRect(dc, 96, 88, 100, 96);
  SelectObject(dc, ToObj(red));
  PatBlt(dc, 84, 86, 30, 10, PATCOPY);
  RestoreDC(dc, -1);
  IntersectClipRect(dc, 0, 0, 144, 96);
  BeginPath(dc);
  MoveToEx(dc, 112, 88, nullptr);
  LineTo(dc, 140, 88);
  LineTo(dc, 126, 95);
  CloseFigure(dc);
  EndPath(dc);
  SelectObject(dc, ToObj(blue));
  StrokeAndFillPath(dc);

  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  for (HGDIOBJ o : {ToObj(dashed), ToObj(flat), ToObj(hatch), ToObj(red), ToObj(tile), ToObj(pattern), ToObj(font),
                    ToObj(blue)})
    DeleteObject(o);
}

class MetafilePlayback : public ::testing::Test {
 protected:
  void SetUp() override { SetTextRenderMode(TextRenderMode::Monochrome); }
  void TearDown() override { SetTextRenderMode(TextRenderMode::Grayscale); }
};

}  // namespace

TEST_F(MetafilePlayback, ARecordedDrawingPlaysBackAsItWasDrawn) {
  LeakCheck leaks;
  MemCanvas direct(144, 96), played(144, 96);
  Everything(direct.Dc);
  TMetafile* m = Load(Recorded(144, 96, Everything));
  ASSERT_FALSE(m->Empty());
  EXPECT_EQ(m->GetWidth(), 144);
  EXPECT_EQ(m->GetHeight(), 96);
  played->Draw(0, 0, m);
  SaveDCPng(direct.Dc, "metafile_direct.png");
  SaveDCPng(played.Dc, "metafile_played.png");
  EXPECT_EQ(Differences(direct, played, 144, 96), 0) << "compare metafile_direct.png with metafile_played.png";
  EXPECT_EQ(played.At(2, 90), clRed) << "a single pixel";
  m->Free();
}

TEST_F(MetafilePlayback, APictureScaledIntoALargerRectangleScalesEveryRecord) {
  LeakCheck leaks;
  TMetafile* m = Load(Recorded(144, 96, Everything));
  MemCanvas once(144, 96), twice(288, 192);
  once->Draw(0, 0, m);
  twice->StretchDraw(Rect(0, 0, 288, 192), m);
  SaveDCPng(twice.Dc, "metafile_twice.png");
  // Filled areas land at twice their place.
  EXPECT_EQ(twice.At(2 * 10, 2 * 93), clBlue) << "the filled rectangle";
  EXPECT_EQ(twice.At(2 * 74, 2 * 91), clBlue) << "the region";
  // The bitmaps: a DIB pixel 4 x 4 once is 8 x 8 twice.
  EXPECT_EQ(once.At(133, 63), clRed);
  EXPECT_EQ(twice.At(2 * 132 + 1, 2 * 62 + 1), clRed);
  EXPECT_EQ(twice.At(2 * 132 + 7, 2 * 62 + 7), clRed);
  EXPECT_EQ(twice.At(2 * 136 + 1, 2 * 62 + 1), TColor(kGreen));
  EXPECT_EQ(twice.At(2 * 112, 2 * 64), clBlue) << "the copied bitmap's blue half";
  // Text is drawn in a font twice as tall: its ink is twice as high.
  auto inkRows = [](MemCanvas& c, int x0, int x1, int y0, int y1) {
    int first = -1, last = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (c.At(x, y) == clRed) {
          if (first < 0) first = y;
          last = y;
        }
    return last - first + 1;
  };
  const int small = inkRows(once, 4, 60, 72, 86), big = inkRows(twice, 8, 120, 144, 172);
  EXPECT_GT(small, 6);
  EXPECT_NEAR(big, 2 * small, 2);
  m->Free();
}

TEST_F(MetafilePlayback, TheRecordersMappingModesScaleWhatFollows) {
  LeakCheck leaks;
  const std::string bytes = Recorded(100, 100, [](HDC dc) {
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(dc, ToObj(red));
    SelectObject(dc, GetStockObject(NULL_PEN));
    EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
    SetWindowExtEx(dc, 1000, 1000, nullptr);
    SetViewportExtEx(dc, 100, 100, nullptr);
    SIZE ext{};
    GetWindowExtEx(dc, &ext);
    EXPECT_EQ(ext, (SIZE{1000, 1000}));
    Rectangle(dc, 100, 100, 511, 311);  // (10, 10)-(51, 31) in pixels, without its pen's room
    // A tenth of a millimetre with y upwards: 254 units are an inch.
    SetMapMode(dc, MM_LOMETRIC);
    SetViewportOrgEx(dc, 0, 100, nullptr);
    HBRUSH blue = CreateSolidBrush(kBlue);
    SelectObject(dc, ToObj(blue));
    Rectangle(dc, 0, 254 / 4 + 1, 254 / 4 + 1, 0);  // the bottom-left quarter inch
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(blue);
  });
  TMetafile* m = Load(bytes);
  MemCanvas c(100, 100);
  c->Draw(0, 0, m);
  EXPECT_EQ(c.At(10, 10), clRed);
  EXPECT_EQ(c.At(49, 29), clRed);
  EXPECT_EQ(c.At(50, 20), clWhite);
  EXPECT_EQ(c.At(9, 20), clWhite);
  EXPECT_EQ(c.At(1, 98), clBlue) << "y grows upwards from the viewport's origin";
  EXPECT_EQ(c.At(22, 78), clBlue);
  EXPECT_EQ(c.At(26, 70), clWhite);
  // Other DCs keep the text mapping.
  HDC plain = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetMapMode(plain, MM_ANISOTROPIC), 0);
  EXPECT_TRUE(SetWindowExtEx(plain, 10, 10, nullptr));
  SIZE ext{};
  GetWindowExtEx(plain, &ext);
  EXPECT_EQ(ext, (SIZE{1, 1}));
  DeleteDC(plain);
  m->Free();

  // A mapping that scales a drawing far past what the header's fields
  // hold: its bounds and the frame made from them stop at the ends of the
  // range, still running left to right and top to bottom.
  HDC far = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  SetMapMode(far, MM_ANISOTROPIC);
  SetWindowExtEx(far, 1, 1, nullptr);
  SetViewportExtEx(far, 1 << 30, 1 << 30, nullptr);
  Rectangle(far, -3, -3, 4, 4);
  HENHMETAFILE emf = CloseEnhMetaFile(far);
  std::string header(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  GetEnhMetaFileBits(emf, UINT(header.size()), reinterpret_cast<BYTE*>(header.data()));
  DeleteEnhMetaFile(emf);
  ASSERT_GE(header.size(), 40u);
  auto field = [&](std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, header.data() + at, sizeof v);
    return v;
  };
  const RECT bounds{field(8), field(12), field(16), field(20)}, frame{field(24), field(28), field(32), field(36)};
  EXPECT_LT(bounds.Left, -(1 << 30));
  EXPECT_GT(bounds.Right, 1 << 30);
  EXPECT_LT(bounds.Top, -(1 << 30));
  EXPECT_GT(bounds.Bottom, 1 << 30);
  EXPECT_LT(frame.Left, 0);
  EXPECT_GT(frame.Right, 1 << 30);
  EXPECT_LT(frame.Top, 0);
  EXPECT_GT(frame.Bottom, 1 << 30);
}

TEST_F(MetafilePlayback, TextSpacedPastTheRangeLeavesThePenWhereDrawingDoes) {
  // Advances, and a character spacing, that add up far past the coordinate
  // range: the recorder sums them as drawing does, held in the range, and
  // moves the current position just as far.
  auto run = [](HDC dc) {
    SetTextAlign(dc, TA_UPDATECP);
    MoveToEx(dc, 5, 5, nullptr);
    const int dx[3] = {INT_MAX, INT_MAX, INT_MAX};
    ExtTextOutA(dc, 0, 0, 0, nullptr, "WWW", 3, dx);
    POINT afterAdvances{};
    GetCurrentPositionEx(dc, &afterAdvances);
    SetTextCharacterExtra(dc, INT_MAX);
    TextOutA(dc, 0, 0, "WWWWWWWWWWWWWWWWWWWWWWWW", 24);
    POINT afterSpacing{};
    GetCurrentPositionEx(dc, &afterSpacing);
    return std::pair{afterAdvances, afterSpacing};
  };
  MemCanvas direct(10, 10);
  const auto drawn = run(direct.Dc);
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  const auto recorded = run(dc);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
  EXPECT_EQ(drawn.first, recorded.first);
  EXPECT_EQ(drawn.second, recorded.second);
  EXPECT_GT(recorded.second.X, recorded.first.X);
}

TEST_F(MetafilePlayback, HandBuiltEnhancedRecordsDrawTextBitmapsRegionsAndClips) {
  LeakCheck leaks;
  // A font (LOGFONTW: height -20, weight 700, "Arial"), then red text on a
  // transparent background at (10, 10), each character 20 pixels on.
  std::string face;
  for (char ch : std::string("Arial")) Put16(face, static_cast<unsigned char>(ch));
  face.resize(64, '\0');
  std::string font = Words32({1, unsigned(-20), 0, 0, 0, 700}) + std::string(8, '\0') + face;
  std::string text = Words32({0, 0, 0, 0, 1, 0, 0, 10, 10, 2, 76, 0, 0, 0, 0, 0, 80});
  Put16(text, 'I');
  Put16(text, 'I');
  text += Words32({20, 20});
  // A 2 x 2 DIB stretched to 20 x 20 at (60, 10).
  const std::string dib = Dib2x2();
  std::string stretch = Words32({0, 0, 0, 0, 60, 10, 0, 0, 2, 2, 80, 40, 120, 16, 0, SRCCOPY, 20, 20}) + dib;
  // A region of two rectangles filled with a stock black brush, and the
  // same region as the clip for a red blit over it.
  std::string rgn = Words32({32, 1, 2, 32, 10, 40, 50, 60, 10, 40, 20, 50, 30, 50, 50, 60});
  std::string fill = Words32({10, 40, 50, 60, unsigned(rgn.size()), 0x80000000u | BLACK_BRUSH}) + rgn;
  std::string clip = Words32({unsigned(rgn.size()), RGN_COPY}) + rgn;
  std::string body = Record(EMR_EXTCREATEFONTINDIRECTW, font) + Record(EMR_SELECTOBJECT, Words32({1})) +
                     Record(EMR_SETTEXTCOLOR, Words32({kRed})) + Record(EMR_SETBKMODE, Words32({TRANSPARENT})) +
                     Record(EMR_EXTTEXTOUTW, text) + Record(EMR_STRETCHDIBITS, stretch) +
                     Record(EMR_FILLRGN, fill) + Record(EMR_SAVEDC, "") +
                     Record(EMR_EXTSELECTCLIPRGN, clip) +
                     Record(EMR_CREATEBRUSHINDIRECT, Words32({2, BS_SOLID, kRed, 0})) +
                     Record(EMR_SELECTOBJECT, Words32({2})) +
                     Record(EMR_BITBLT, Words32({0, 0, 0, 0, 0, 40, 100, 5, PATCOPY, 0, 0, 0x3F800000, 0, 0,
                                                 0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0})) +
                     Record(EMR_RESTOREDC, Words32({unsigned(-1)})) +
                     // The clip is gone again: a blue bar across.
                     Record(EMR_CREATEBRUSHINDIRECT, Words32({3, BS_SOLID, kBlue, 0})) +
                     Record(EMR_SELECTOBJECT, Words32({3})) + Record(EMR_SELECTOBJECT, Words32({0x80000000u | NULL_PEN})) +
                     Record(EMR_RECTANGLE, Words32({0, 70, 101, 76})) +
                     // A clip rectangle and a scaled window: 10 units a pixel.
                     Record(EMR_INTERSECTCLIPRECT, Words32({0, 80, 30, 100})) +
                     Record(EMR_SETMAPMODE, Words32({MM_ANISOTROPIC})) +
                     Record(EMR_SETWINDOWEXTEX, Words32({10, 10})) + Record(EMR_SETVIEWPORTEXTEX, Words32({1, 1})) +
                     Record(EMR_RECTANGLE, Words32({0, 800, 1001, 1001}));
  TMetafile* m = Load(Emf(100, 100, body));
  MemCanvas c(100, 100);
  c->Draw(0, 0, m);
  SaveDCPng(c.Dc, "metafile_hand_built.png");
  // The text: two bars of red, the second 20 pixels after the first.
  int firstInk = -1;
  for (int x = 10; x < 30 && firstInk < 0; ++x)
    for (int y = 10; y < 30; ++y)
      if (c.At(x, y) == clRed) firstInk = x;
  ASSERT_GE(firstInk, 10);
  bool second = false;
  for (int y = 10; y < 30; ++y) second = second || c.At(firstInk + 20, y) == clRed;
  EXPECT_TRUE(second) << "the advance put the second character 20 pixels on";
  // The DIB's quadrants, each 10 x 10.
  EXPECT_EQ(c.At(61, 11), clRed);
  EXPECT_EQ(c.At(78, 11), TColor(kGreen));
  EXPECT_EQ(c.At(61, 28), clBlue);
  EXPECT_EQ(c.At(78, 28), clBlack);
  // The region in black, red where it clipped the blit's band.
  EXPECT_EQ(c.At(12, 47), clBlack);
  EXPECT_EQ(c.At(35, 55), clBlack);
  EXPECT_EQ(c.At(12, 55), clWhite);
  EXPECT_EQ(c.At(25, 47), clWhite);
  EXPECT_EQ(c.At(12, 42), clRed) << "the blit inside the clip region";
  EXPECT_EQ(c.At(62, 42), clWhite) << "and not outside it";
  // After the restored state the clip is gone.
  EXPECT_EQ(c.At(50, 72), clBlue);
  // The scaled rectangle stops at the clip rectangle's right edge.
  EXPECT_EQ(c.At(10, 90), clBlue);
  EXPECT_EQ(c.At(29, 90), clBlue);
  EXPECT_EQ(c.At(31, 90), clWhite);
  EXPECT_EQ(c.At(10, 79), clWhite);
  m->Free();
}

TEST_F(MetafilePlayback, HandBuiltPlaceableRecordsDrawTextBitmapsAndRegions) {
  LeakCheck leaks;
  std::string font = Words16({-20, 0, 0, 0, 700}) + std::string(8, '\0') + "Arial" + std::string(3, '\0');
  std::string text = Words16({2}) + "II" + Words16({10, 10});  // length, string, y, x
  std::string dib = Dib2x2();
  // Raster operation, colour use, source height, width, y, x, destination
  // height, width, y, x, then the DIB.
  std::string stretch = Words32({SRCCOPY}) + Words16({DIB_RGB_COLORS, 2, 2, 0, 0, 20, 20, 10, 60}) + dib;
  // A region of one scan: rows 40-60, columns 10-20 and 30-40.
  std::string region = Words16({0, 6, 0, 0, 0, 1, 0, 10, 40, 40, 60}) + Words16({4, 40, 60, 10, 20, 30, 40, 4});
  std::string records = WmfRecord(META_CREATEFONTINDIRECT, font) + WmfRecord(META_SELECTOBJECT, Words16({0})) +
                        WmfRecord(META_SETTEXTCOLOR, Words32({kRed})) +
                        WmfRecord(META_SETBKMODE, Words16({TRANSPARENT})) + WmfRecord(META_TEXTOUT, text) +
                        WmfRecord(META_STRETCHDIB, stretch) + WmfRecord(META_CREATEREGION, region) +
                        WmfRecord(META_CREATEBRUSHINDIRECT, Words16({BS_SOLID}) + Words32({kBlue}) + Words16({0})) +
                        WmfRecord(META_FILLREGION, Words16({1, 2})) +
                        // The region as the clip, then a red bar across it.
                        WmfRecord(META_SAVEDC, "") + WmfRecord(META_SELECTCLIPREGION, Words16({1})) +
                        WmfRecord(META_CREATEBRUSHINDIRECT, Words16({BS_SOLID}) + Words32({kRed}) + Words16({0})) +
                        WmfRecord(META_SELECTOBJECT, Words16({3})) +
                        WmfRecord(META_RECTANGLE, Words16({56, 100, 44, 0})) +
                        // A window ten times the bounds: 10 units a pixel.
                        WmfRecord(META_RESTOREDC, Words16({-1})) +
                        WmfRecord(META_SETWINDOWORG, Words16({0, 0})) +
                        WmfRecord(META_SETWINDOWEXT, Words16({1000, 1000})) +
                        WmfRecord(META_RECTANGLE, Words16({1000, 1000, 800, 800}));
  TMetafile* m = Load(Wmf(100, 100, records));
  MemCanvas c(100, 100);
  c->Draw(0, 0, m);
  SaveDCPng(c.Dc, "metafile_placeable.png");
  bool text_ = false;
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 40; ++x) text_ = text_ || c.At(x, y) == clRed;
  EXPECT_TRUE(text_);
  EXPECT_EQ(c.At(61, 11), clRed);
  EXPECT_EQ(c.At(78, 11), TColor(kGreen));
  EXPECT_EQ(c.At(61, 28), clBlue);
  EXPECT_EQ(c.At(15, 41), clBlue) << "the region filled";
  EXPECT_EQ(c.At(25, 41), clWhite) << "between its two parts";
  EXPECT_EQ(c.At(35, 50), clRed) << "the bar inside the clip region";
  EXPECT_EQ(c.At(15, 50), clRed);
  EXPECT_EQ(c.At(50, 50), clWhite) << "and not outside it";
  EXPECT_EQ(c.At(80, 85), clBlack) << "the scaled rectangle's frame runs at (80, 80)";
  EXPECT_EQ(c.At(85, 80), clBlack);
  EXPECT_EQ(c.At(79, 85), clWhite);
  EXPECT_EQ(c.At(85, 85), clWhite) << "the brush the saved state had";
  m->Free();
}

TEST_F(MetafilePlayback, APicturesClipStaysInsideTheClipItIsDrawnIn) {
  LeakCheck leaks;
  // The picture selects a clip of its own, as large as it is, and fills
  // everything; the canvas allowed only its left half.
  std::string all = Words32({32, 1, 1, 16, 0, 0, 100, 100, 0, 0, 100, 100});
  std::string body = Record(EMR_EXTSELECTCLIPRGN, Words32({unsigned(all.size()), RGN_COPY}) + all) +
                     Record(EMR_SELECTOBJECT, Words32({0x80000000u | BLACK_BRUSH})) +
                     Record(EMR_BITBLT, Words32({0, 0, 0, 0, 0, 0, 100, 100, PATCOPY, 0, 0, 0x3F800000, 0, 0,
                                                 0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0})) +
                     // Back to no clip of its own: still inside the canvas's.
                     Record(EMR_EXTSELECTCLIPRGN, Words32({0, RGN_COPY})) +
                     Record(EMR_SELECTOBJECT, Words32({0x80000000u | GRAY_BRUSH})) +
                     Record(EMR_BITBLT, Words32({0, 0, 0, 0, 0, 90, 100, 10, PATCOPY, 0, 0, 0x3F800000, 0, 0,
                                                 0x3F800000, 0, 0, 0, 0, 0, 0, 0, 0}));
  TMetafile* m = Load(Emf(100, 100, body));
  MemCanvas c(100, 100);
  IntersectClipRect(c.Dc, 0, 0, 50, 100);
  c->Draw(0, 0, m);
  // The canvas has its own clip back.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.Dc, rgn), 1);
  RECT box{};
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box, (RECT{0, 0, 50, 100}));
  DeleteObject(rgn);
  SelectClipRgn(c.Dc, nullptr);
  EXPECT_EQ(c.At(10, 10), clBlack);
  EXPECT_EQ(c.At(60, 10), clWhite);
  EXPECT_EQ(c.At(60, 95), clWhite);
  EXPECT_NE(c.At(10, 95), clWhite);
  m->Free();
}

TEST_F(MetafilePlayback, RecordsThatDoNotHoldWhatTheySayAreSkipped) {
  LeakCheck leaks;
  // A DIB whose rows are not all there, text whose string lies past the
  // record, a region counting more rectangles than it has: none draws,
  // the rectangle after them does.
  std::string dib = Dib2x2();
  std::string shortBits = Words32({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 80, 40, 120, 8, 0, SRCCOPY, 50, 50}) +
                          dib.substr(0, 48);
  std::string text = Words32({0, 0, 0, 0, 1, 0, 0, 10, 10, 500, 76, 0, 0, 0, 0, 0, 0});
  std::string rgn = Words32({32, 1, 1000, 16, 0, 0, 100, 100, 0, 0, 100, 100});
  std::string body = Record(EMR_STRETCHDIBITS, shortBits) + Record(EMR_EXTTEXTOUTW, text) +
                     Record(EMR_FILLRGN, Words32({0, 0, 100, 100, unsigned(rgn.size()), 0x80000000u | BLACK_BRUSH}) + rgn) +
                     Record(EMR_EXTSELECTCLIPRGN, Words32({unsigned(rgn.size()), RGN_COPY}) + rgn) +
                     Record(EMR_SELECTOBJECT, Words32({0x80000000u | BLACK_BRUSH})) +
                     Record(EMR_RECTANGLE, Words32({60, 60, 90, 90}));
  TMetafile* m = Load(Emf(100, 100, body));
  MemCanvas c(100, 100);
  c->Draw(0, 0, m);
  EXPECT_EQ(c.At(5, 5), clWhite);
  EXPECT_EQ(c.At(30, 30), clWhite);
  EXPECT_EQ(c.At(75, 75), clBlack);
  m->Free();
}
