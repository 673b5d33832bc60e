// Metafiles: enhanced and placeable metafiles take their size from the
// header, play their shapes into the rectangle they are drawn in, are
// written back byte for byte, travel over the clipboard and refuse damaged
// files with the metafile and the stream as they were.
#include "FormsTestUtil.h"
#include "MetafileBytes.h"

#include "platform/forms/Bitmap.h"
#include "platform/forms/Metafile.h"
#include "platform/win/Clipboard.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

using namespace forms_test;

namespace {

// An enhanced metafile 100 x 50 pixels: a red rectangle without a frame
// at (10, 10)-(50, 40) and a blue vertical line at x = 60.
std::string Emf() {
  std::string body = Record(39, {1, 0, 0x0000FF, 0})       // red brush as object 1
                     + Record(37, {1})                     // select it
                     + Record(37, {0x80000008})            // the stock null pen
                     + Record(43, {10, 10, 50, 40})        // rectangle
                     + Record(38, {2, 0, 1, 0, 0xFF0000})  // blue pen as object 2
                     + Record(37, {2}) + Record(27, {60, 5}) + Record(54, {60, 45})
                     + Record(40, {2})  // deleted while selected
                     + Record(14, {0, 16, 20});
  return EnhancedMetafile({0, 0, 99, 49}, {0, 0, 2646, 1323}, 11, 3, body);
}

// A placeable metafile with bounds (0, 0)-(100, 50) at 96 units per inch:
// a red rectangle (10, 10)-(50, 40) with the default black frame.
std::string Wmf() {
  std::string records = WmfRecord(0x02FC, {0, 0x00FF, 0x0000, 0})  // red brush, object 0
                        + WmfRecord(0x012D, {0})                   // select it
                        + WmfRecord(0x041B, {40, 50, 10, 10})      // rectangle: bottom, right, top, left
                        + WmfRecord(0x0000, {});
  return PlaceableMetafile(100, 50, 1, records);
}

std::string Bytes(TGraphic* g) {
  TStringStream s("");
  g->SaveToStream(&s);
  return s.GetDataString();
}

void Load(TGraphic* g, const std::string& bytes) {
  TStringStream s(bytes);
  g->LoadFromStream(&s);
}

}  // namespace

TEST(Metafile, EnhancedMetafilePlaysIntoTheRectangleItIsDrawnIn) {
  LeakCheck leaks;
  TMetafile* m = New<TMetafile>();
  Load(m, Emf());
  EXPECT_TRUE(m->GetEnhanced());
  EXPECT_EQ(m->GetWidth(), 100);
  EXPECT_EQ(m->GetHeight(), 50);

  MemCanvas c(120, 60);
  c->GetPen()->SetColor(clLime);
  c->Draw(0, 0, m);
  EXPECT_EQ(c.At(10, 10), clRed);
  EXPECT_EQ(c.At(48, 38), clRed);
  EXPECT_EQ(c.At(49, 39), clWhite) << "without a pen the fill stops a pixel short, as drawn directly";
  EXPECT_EQ(c.At(5, 5), clWhite);
  EXPECT_EQ(c.At(60, 20), clBlue);
  EXPECT_EQ(c.At(61, 20), clWhite);
  // The canvas draws with its own tools again afterwards.
  c->MoveTo(0, 55);
  c->LineTo(10, 55);
  EXPECT_EQ(c.At(5, 55), clLime);

  MemCanvas s(220, 110);
  s->StretchDraw(Rect(10, 0, 210, 100), m);
  EXPECT_EQ(s.At(31, 21), clRed);
  EXPECT_EQ(s.At(108, 78), clRed);
  EXPECT_EQ(s.At(112, 78), clWhite);
  EXPECT_EQ(s.At(25, 21), clWhite);
  m->Free();
}

TEST(Metafile, PlaceableMetafilePlaysWithItsObjects) {
  LeakCheck leaks;
  TMetafile* m = New<TMetafile>();
  Load(m, Wmf());
  EXPECT_FALSE(m->GetEnhanced());
  EXPECT_EQ(m->GetWidth(), 100);
  EXPECT_EQ(m->GetHeight(), 50);
  MemCanvas c(120, 60);
  c->Draw(0, 0, m);
  EXPECT_EQ(c.At(10, 10), clBlack) << "the stock pen frames the rectangle";
  EXPECT_EQ(c.At(20, 20), clRed);
  EXPECT_EQ(c.At(55, 20), clWhite);
  m->Free();
}

TEST(Metafile, BytesAreWrittenBackAsReadAndOnlyANewSizeChangesThem) {
  LeakCheck leaks;
  TempDir dir;
  std::string emf = Emf();
  TPicture* p = New<TPicture>();
  p->LoadFromFile(dir.Write("shapes.emf", emf));
  TMetafile* m = p->GetMetafile();
  EXPECT_EQ(p->GetGraphic(), m);
  p->SaveToFile(dir / "copy.emf");
  EXPECT_EQ(dir.Read("copy.emf"), emf);
  // Saving over it on a full disk keeps the old file whole.
  {
    FileSizeLimit full(16);
    EXPECT_THROW(p->SaveToFile(dir / "copy.emf"), EFCreateError);
  }
  EXPECT_EQ(dir.Read("copy.emf"), emf);

  // What follows the metafile in a stream stays there.
  TMetafile* w = New<TMetafile>();
  TStringStream in("ab" + Wmf() + "tail");
  in.SetPosition(2);
  w->LoadFromStream(&in);
  EXPECT_EQ(in.GetPosition(), Int64(2 + Wmf().size()));
  EXPECT_EQ(Bytes(w), Wmf());

  int changes = 0;
  w->OnChange = [&](TObject*) { ++changes; };
  w->SetWidth(200);
  m->SetHeight(25);
  EXPECT_EQ(changes, 1);
  for (TMetafile* resized : {w, m}) {
    TMetafile* back = New<TMetafile>();
    Load(back, Bytes(resized));
    EXPECT_EQ(back->GetWidth(), resized == w ? 200 : 100);
    EXPECT_EQ(back->GetHeight(), resized == w ? 50 : 25);
    back->Free();
  }
  EXPECT_EQ(Bytes(w).size(), Wmf().size());
  // Sizes the header cannot hold are refused.
  EXPECT_THROW(m->SetWidth(0x7FFFFFFF), EInvalidGraphic);
  EXPECT_THROW(w->SetHeight(100000), EInvalidGraphic);
  EXPECT_THROW(w->SetHeight(-1), EInvalidGraphic);
  EXPECT_EQ(m->GetWidth(), 100);
  EXPECT_EQ(w->GetHeight(), 50);
  w->Free();
  p->Free();
}

TEST(Metafile, TravelsOverTheClipboard) {
  LeakCheck leaks;
  for (const std::string& file : {Wmf(), Emf()}) {
    TMetafile* m = New<TMetafile>();
    Load(m, file);
    Word format = 0;
    win::HANDLE data = nullptr;
    win::HPALETTE palette = nullptr;
    m->SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, m->GetEnhanced() ? win::CF_ENHMETAFILE : win::CF_METAFILEPICT);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(format));

    TPicture* p = New<TPicture>();
    p->LoadFromClipboardFormat(format, data, palette);
    ASSERT_NE(dynamic_cast<TMetafile*>(p->GetGraphic()), nullptr);
    EXPECT_EQ(p->GetWidth(), 100);
    EXPECT_EQ(p->GetHeight(), 50);
    MemCanvas c(120, 60);
    c->Draw(0, 0, p->GetGraphic());
    EXPECT_EQ(c.At(20, 20), clRed) << "pasted shapes land where they were";
    EXPECT_EQ(c.At(55, 20), clWhite);
    win::GlobalFree(data);
    p->Free();
    m->Free();
  }

  // A picture block without a size, or cut short, is refused.
  TMetafile* m = New<TMetafile>();
  win::METAFILEPICT pict{win::MM_ANISOTROPIC, 0, 0, nullptr};
  win::HANDLE sizeless = win::GlobalFromBytes(&pict, sizeof pict);
  win::HANDLE shortBlock = win::GlobalFromBytes(&pict, 4);
  EXPECT_THROW(m->LoadFromClipboardFormat(win::CF_METAFILEPICT, sizeless, nullptr), EInvalidGraphic);
  EXPECT_THROW(m->LoadFromClipboardFormat(win::CF_METAFILEPICT, shortBlock, nullptr), EInvalidGraphic);
  EXPECT_THROW(m->LoadFromClipboardFormat(win::CF_BITMAP, shortBlock, nullptr), EInvalidGraphic);
  EXPECT_TRUE(m->Empty());
  win::GlobalFree(sizeless);
  win::GlobalFree(shortBlock);
  m->Free();
}

TEST(Metafile, DamagedFilesAreRefusedAndLeaveTheMetafileAsItWas) {
  LeakCheck leaks;
  std::string emf = Emf(), wmf = Wmf();
  auto with = [](std::string s, std::size_t at, std::string bytes) { return s.replace(at, bytes.size(), bytes); };
  const std::pair<const char*, std::string> damaged[] = {
      {"neither kind", std::string("GIF89a, not a metafile at all")},
      {"enhanced: no signature", with(emf, 40, "XXXX")},
      {"enhanced: longer than the data", with(emf, 48, std::string("\xFF\xFF\0\0", 4))},
      {"enhanced: cut short", emf.substr(0, emf.size() - 30)},
      {"enhanced: a record past the end", with(emf, 88 + 4, std::string("\xF0\xFF\0\0", 4))},
      {"enhanced: a record too short", with(emf, 88 + 4, std::string("\4\0\0\0", 4))},
      {"enhanced: an empty frame", with(emf, 32, std::string(4, '\0'))},
      // Edges any 32-bit number may hold, but a size no picture has.
      {"enhanced: a frame too tall", with(emf, 28, std::string("\0\0\0\x80", 4))},
      {"enhanced: a frame too wide", with(emf, 24, std::string("\0\0\0\x80", 4))},
      {"placeable: empty bounds", with(wmf, 10, std::string(2, '\0'))},
      {"placeable: no units per inch", with(wmf, 14, std::string(2, '\0'))},
      {"placeable: longer than the data", with(wmf, 22 + 6, std::string("\xFF\xFF\0\0", 4))},
      {"placeable: a record of no length", with(wmf, 40, std::string(4, '\0'))},
      {"placeable: header cut short", wmf.substr(0, 30)},
  };
  TMetafile* m = New<TMetafile>();
  Load(m, wmf);
  int changes = 0;
  m->OnChange = [&](TObject*) { ++changes; };
  for (const auto& [what, bytes] : damaged) {
    TStringStream in(bytes);
    EXPECT_THROW(m->LoadFromStream(&in), EInvalidGraphic) << what;
    EXPECT_EQ(in.GetPosition(), 0) << what;
    EXPECT_EQ(Bytes(m), wmf) << what;
  }
  EXPECT_EQ(changes, 0);
  m->Free();
}
