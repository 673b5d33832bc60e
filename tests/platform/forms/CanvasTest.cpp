// The canvas: drawings checked against pixels, tools selected again after
// they change, clear brushes (bsClear, clNone, clDefault) filling nothing,
// the change notifications around each drawing call, and a canvas moved
// from one DC to another leaving nothing of its own behind.
#include "FormsTestUtil.h"

#include <climits>

#include "platform/forms/Bitmap.h"
#include "platform/gdi/Text.h"

using namespace forms_test;

TEST(Canvas, ShapesDrawWithPenAndBrush) {
  LeakCheck leaks;
  MemCanvas c(12, 12);
  c->GetPen()->SetColor(clRed);
  c->GetBrush()->SetColor(clBlue);
  c->Rectangle(2, 2, 8, 8);
  EXPECT_EQ(c.At(2, 2), clRed);
  EXPECT_EQ(c.At(7, 7), clRed);
  EXPECT_EQ(c.At(3, 3), clBlue);
  EXPECT_EQ(c.At(6, 6), clBlue);
  EXPECT_EQ(c.At(8, 8), clWhite) << "half-open box";

  c->GetBrush()->SetColor(clLime);
  c->FillRect(Rect(0, 10, 12, 12));
  EXPECT_EQ(c.At(0, 10), clLime);
  EXPECT_EQ(c.At(11, 11), clLime);

  c->GetPen()->SetColor(clBlack);
  c->MoveTo(0, 0);
  c->LineTo(5, 0);
  EXPECT_EQ(c.At(4, 0), clBlack);
  EXPECT_EQ(c.At(5, 0), clWhite) << "the end point is left out";
  EXPECT_EQ(c->GetPenPos(), Point(5, 0));
  c->Polyline({Point(0, 9), Point(3, 9), Point(3, 6)});
  EXPECT_EQ(c.At(1, 9), clBlack);
  EXPECT_EQ(c.At(3, 7), clBlack);

  c->SetPixels(11, 0, clBtnFace);
  EXPECT_EQ(c.At(11, 0), TColor(win::RGB(212, 208, 200)));
  EXPECT_EQ(c.At(40, 40), -1) << "outside the bitmap";
}

TEST(Canvas, ClearBrushesFillNothing) {
  LeakCheck leaks;
  for (TColor none : {clNone, clDefault}) {
    MemCanvas c(10, 10);
    c->GetBrush()->SetColor(clBlue);
    c->FillRect(Rect(0, 0, 2, 2));
    c->GetBrush()->SetColor(none);
    c->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(c.At(1, 1), clBlue) << "FillRect painted with colour " << none;
    EXPECT_EQ(c.At(5, 5), clWhite);
    c->FrameRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(c.At(0, 5), clWhite);
    c->GetPen()->SetColor(clRed);
    c->Rectangle(2, 2, 9, 9);
    EXPECT_EQ(c.At(2, 2), clRed) << "the outline is drawn";
    EXPECT_EQ(c.At(5, 5), clWhite) << "the inside is not";
    c->Ellipse(2, 2, 9, 9);
    EXPECT_EQ(c.At(5, 5), clWhite);
  }
  MemCanvas c(10, 10);
  c->GetBrush()->SetStyle(bsClear);
  c->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(c.At(5, 5), clWhite);
}

TEST(Canvas, TextUsesTheFontAndABrushBackgroundOnlyWhenSolid) {
  LeakCheck leaks;
  win::SetTextRenderMode(win::TextRenderMode::Monochrome);
  MemCanvas c(120, 30);
  c->GetFont()->SetName("Arial");
  c->GetFont()->SetColor(clBlack);
  int w8 = c->TextWidth("Hello");
  EXPECT_GT(w8, 0);
  c->GetFont()->SetSize(16);
  EXPECT_GT(c->TextWidth("Hello"), w8) << "a changed font is selected again";
  EXPECT_EQ(c->TextHeight("Hello"), c->TextExtent("Hg").cy);

  c->GetBrush()->SetColor(clYellow);
  c->TextOut(2, 2, "Hi");
  TSize ext = c->TextExtent("Hi");
  EXPECT_EQ(c->GetPenPos(), Point(2 + ext.cx, 2)) << "TextOut moves the pen past the text";
  int yellow = 0;
  for (int y = 2; y < 2 + ext.cy; ++y)
    for (int x = 2; x < 2 + ext.cx; ++x) yellow += c.At(x, y) == clYellow;
  EXPECT_GT(yellow, 0) << "an opaque brush gives the text a background";

  // TextRect clips to its rectangle and fills it unless the brush is clear.
  c->GetBrush()->SetColor(clAqua);
  c->TextRect(Rect(60, 0, 70, 30), 60, 2, "WWWWWW");
  EXPECT_EQ(c.At(69, 28), clAqua);
  EXPECT_EQ(c.At(70, 5), clWhite) << "clipped";
  c->GetBrush()->SetColor(clNone);
  c->TextRect(Rect(80, 0, 120, 30), 80, 2, "W");
  EXPECT_EQ(c.At(119, 28), clWhite);
  int black = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 80; x < 120; ++x) black += c.At(x, y) == clBlack;
  EXPECT_GT(black, 0);
  win::SetTextRenderMode(win::TextRenderMode::Grayscale);
}

TEST(Canvas, TextOutAtTheEndOfTheRangeLeavesThePenThere) {
  // Text written at the far end of the range moves the pen past it as far
  // as positions go, not round to the other end.
  LeakCheck leaks;
  MemCanvas c(20, 20);
  c->MoveTo(INT_MAX, 2);
  const TPoint end = c->GetPenPos();
  c->TextOut(INT_MAX - 5, 2, "Hi");
  EXPECT_EQ(c->GetPenPos(), end);
}

TEST(Canvas, ChangeNotificationsSurroundEachDrawingCall) {
  MemCanvas c(8, 8);
  std::vector<std::string> log;
  c->OnChanging = [&](TObject*) { log.push_back("changing"); };
  c->OnChange = [&](TObject*) { log.push_back("changed"); };
  c->MoveTo(1, 1);
  EXPECT_TRUE(log.empty()) << "moving the pen draws nothing";
  c->FillRect(Rect(0, 0, 2, 2));
  c->LineTo(4, 4);
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "changed", "changing", "changed"}));
  log.clear();
  c->GetBrush()->SetStyle(bsClear);
  c->FillRect(Rect(0, 0, 2, 2));
  EXPECT_TRUE(log.empty()) << "a fill that paints nothing announces nothing";
}

TEST(Canvas, ToolsFollowTheCanvasFromOneDcToAnother) {
  LeakCheck leaks;
  MemCanvas a(6, 6);
  win::HDC other = win::CreateCompatibleDC(nullptr);
  win::HBITMAP bmp = win::CreateBitmap(6, 6, 1, 32, nullptr);
  win::HGDIOBJ old = win::SelectObject(other, win::ToObj(bmp));

  a->GetBrush()->SetColor(clRed);
  win::HDC h = a->GetHandle();
  EXPECT_EQ(h, a.Dc);
  EXPECT_EQ(win::GetCurrentObject(h, win::OBJ_FONT), win::ToObj(a->GetFont()->GetHandle()))
      << "the handle comes with every tool selected";
  EXPECT_EQ(win::GetCurrentObject(h, win::OBJ_BRUSH), win::ToObj(a->GetBrush()->GetHandle()));

  a->SetHandle(other);
  EXPECT_NE(win::GetCurrentObject(a.Dc, win::OBJ_BRUSH), win::ToObj(a->GetBrush()->GetHandle()))
      << "the old DC lets the tools go";
  a->FillRect(Rect(0, 0, 6, 6));
  EXPECT_EQ(win::GetPixel(other, 3, 3), win::RGB(255, 0, 0));
  EXPECT_EQ(win::GetPixel(a.Dc, 3, 3), win::RGB(255, 255, 255));

  // A brush changed while selected is selected again before the next fill;
  // its old handle is gone once the DC lets it go.
  win::HBRUSH was = a->GetBrush()->GetHandle();
  a->GetBrush()->SetColor(clBlue);
  EXPECT_EQ(win::GetObjectType(was), 0u);
  a->FillRect(Rect(0, 0, 3, 3));
  EXPECT_EQ(win::GetPixel(other, 1, 1), win::RGB(0, 0, 255));

  a->SetHandle(a.Dc);
  win::SelectObject(other, old);
  win::DeleteDC(other);
  win::DeleteObject(bmp);
}

TEST(Canvas, WithoutAHandleDrawingIsRefused) {
  LeakCheck leaks;
  TCanvas* c = New<TCanvas>();
  EXPECT_FALSE(c->HandleAllocated());
  EXPECT_THROW(c->FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(c->TextWidth("x"), EInvalidOperation);
  c->Free();
}

TEST(Canvas, CopyRectStretchesWithTheCopyModeAndPenModesCombine) {
  LeakCheck leaks;
  MemCanvas src(4, 4), dst(8, 8);
  src->GetBrush()->SetColor(clRed);
  src->FillRect(Rect(0, 0, 2, 4));
  dst->CopyRect(Rect(0, 0, 8, 8), src.Canvas, Rect(0, 0, 4, 4));
  EXPECT_EQ(dst.At(3, 7), clRed);
  EXPECT_EQ(dst.At(4, 0), clWhite);

  dst->SetCopyMode(cmNotSrcCopy);
  dst->CopyRect(Rect(0, 0, 4, 4), src.Canvas, Rect(0, 0, 4, 4));
  EXPECT_EQ(dst.At(0, 0), clAqua) << "inverted red";
  EXPECT_EQ(dst.At(3, 0), clBlack) << "inverted white";

  // An xor pen drawn twice leaves the picture as it was.
  dst->GetPen()->SetMode(pmXor);
  dst->GetPen()->SetColor(clWhite);
  dst->MoveTo(0, 6);
  dst->LineTo(8, 6);
  EXPECT_EQ(dst.At(2, 6), clAqua) << "red xor white";
  dst->MoveTo(0, 6);
  dst->LineTo(8, 6);
  EXPECT_EQ(dst.At(2, 6), clRed);
}

TEST(Canvas, DrawsGraphicsAndCopiesBitmapsWithAColourReplacedByTheBrush) {
  LeakCheck leaks;
  // A 2 x 2 glyph: red top row, magenta bottom row.
  TBitmap* glyph = New<TBitmap>();
  glyph->SetSize(2, 2);
  glyph->GetCanvas()->GetBrush()->SetColor(clRed);
  glyph->GetCanvas()->FillRect(Rect(0, 0, 2, 1));
  glyph->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  glyph->GetCanvas()->FillRect(Rect(0, 1, 2, 2));

  MemCanvas c(8, 8);
  int changes = 0;
  c->OnChange = [&](TObject*) { ++changes; };
  c->Draw(1, 1, glyph);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(c.At(1, 1), clRed);
  EXPECT_EQ(c.At(2, 2), clFuchsia);
  EXPECT_EQ(c.At(3, 3), clWhite);
  c->StretchDraw(Rect(4, 0, 8, 4), glyph);
  EXPECT_EQ(c.At(7, 1), clRed);
  EXPECT_EQ(c.At(4, 3), clFuchsia) << "stretched to the rectangle";
  c->Draw(0, 0, nullptr);

  // Magenta replaced by a solid brush...
  MemCanvas d(4, 2);
  d->GetBrush()->SetColor(clBlue);
  d->FillRect(Rect(0, 0, 4, 2));
  d->GetBrush()->SetColor(clLime);
  d->BrushCopy(Rect(0, 0, 2, 2), glyph, Rect(0, 0, 2, 2), clFuchsia);
  EXPECT_EQ(d.At(0, 0), clRed);
  EXPECT_EQ(d.At(1, 1), clLime);
  // ...or left out by a clear one, the target showing through.
  d->GetBrush()->SetStyle(bsClear);
  d->BrushCopy(Rect(2, 0, 4, 2), glyph, Rect(0, 0, 2, 2), clFuchsia);
  EXPECT_EQ(d.At(2, 0), clRed);
  EXPECT_EQ(d.At(3, 1), clBlue);
  glyph->Free();
}

TEST(Canvas, RectanglesAtTheEndsOfTheRangeKeepTheirSizesAndEdges) {
  // A rectangle across the whole range is as wide as an Integer reaches,
  // and a graphic placed at the far end stops there: neither wraps round
  // to a negative size that draws nothing or the other end of the range.
  EXPECT_EQ(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX).Width(), INT_MAX);
  EXPECT_EQ(Rect(INT_MIN, 0, INT_MAX, 1).Height(), 1);
  EXPECT_EQ(Rect(5, 5, 2, 2).Width(), -3) << "an inverted rectangle keeps its negative size";
  EXPECT_EQ(Bounds(INT_MAX - 1, INT_MIN + 1, 10, -10), Rect(INT_MAX - 1, INT_MIN + 1, INT_MAX, INT_MIN));

  LeakCheck leaks;
  TBitmap* red = New<TBitmap>();
  red->SetSize(4, 4);
  red->GetCanvas()->GetBrush()->SetColor(clRed);
  red->GetCanvas()->FillRect(Rect(0, 0, 4, 4));
  MemCanvas c(8, 8);
  c->Draw(INT_MAX - 1, INT_MAX - 1, red);
  EXPECT_EQ(c.At(0, 0), clWhite) << "what lies at the far end stays there";
  // Past the drawing layer's coordinate range a copy draws nothing, as
  // the platform's does; it must still measure its rectangle soundly.
  c->CopyRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), red->GetCanvas(), Rect(0, 0, 4, 4));
  red->Free();
}

TEST(Canvas, APatternBitmapTilesFromTheOrigin) {
  LeakCheck leaks;
  TBitmap* tile = New<TBitmap>();
  tile->SetSize(2, 2);
  tile->GetCanvas()->SetPixels(0, 0, clRed);
  tile->GetCanvas()->SetPixels(1, 1, clRed);
  MemCanvas c(5, 3);
  c->GetBrush()->SetColor(clNone);
  c->GetBrush()->SetBitmap(tile);
  EXPECT_FALSE(c->GetBrush()->IsClear()) << "a pattern paints whatever the colour says";
  c->FillRect(Rect(1, 0, 5, 3));
  EXPECT_EQ(c.At(0, 0), clWhite) << "outside the fill";
  EXPECT_EQ(c.At(2, 0), clRed);
  EXPECT_EQ(c.At(1, 0), clWhite);
  EXPECT_EQ(c.At(3, 1), clRed);
  c->GetBrush()->SetBitmap(nullptr);
  tile->Free();
}
