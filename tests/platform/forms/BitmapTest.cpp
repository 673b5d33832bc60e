// Bitmaps: a 0 x 0 bitmap safe everywhere, scan lines and canvas pixels
// showing the same storage, sizes and formats that keep what still fits,
// BMP round trips at every depth, bad streams refused without touching the
// bitmap, and the transparent colour with its mask.
#include "FormsTestUtil.h"

#include <cstring>

#include "platform/forms/Bitmap.h"
#include "platform/forms/ImageList.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Clipboard.h"

using namespace forms_test;

namespace {

// A bitmap of the format with a few distinct pixels drawn on its canvas.
TBitmap* Sample(TPixelFormat format, int w = 5, int h = 4) {
  TBitmap* b = New<TBitmap>();
  b->SetPixelFormat(format);
  b->SetSize(w, h);
  TCanvas* c = b->GetCanvas();
  c->GetBrush()->SetColor(clBlack);
  c->FillRect(Rect(0, 0, 2, 2));
  if (format != pf1bit) {
    c->SetPixels(w - 1, 0, clRed);
    c->SetPixels(0, h - 1, clLime);
    c->SetPixels(w - 1, h - 1, TColor(win::RGB(12, 34, 56)));
  }
  return b;
}

std::vector<TColor> Pixels(TBitmap* b) {
  std::vector<TColor> out;
  for (int y = 0; y < b->GetHeight(); ++y)
    for (int x = 0; x < b->GetWidth(); ++x) out.push_back(b->GetCanvas()->GetPixels(x, y));
  return out;
}

std::string Bytes(TMemoryStream& s) {
  return std::string(static_cast<const char*>(s.GetMemory()), static_cast<std::size_t>(s.GetSize()));
}

}  // namespace

TEST(Bitmap, ZeroByZeroIsSafeEverywhere) {
  LeakCheck leaks;
  TBitmap* b = New<TBitmap>();
  EXPECT_TRUE(b->Empty());
  EXPECT_EQ(b->GetHandle(), nullptr);
  EXPECT_EQ(b->GetMaskHandle(), nullptr);
  EXPECT_EQ(b->GetTransparentColor(), clNone);
  EXPECT_THROW(b->GetScanLine(0), EInvalidGraphic);

  // Its canvas draws into nothing.
  b->GetCanvas()->GetBrush()->SetColor(clRed);
  b->GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  b->GetCanvas()->TextOut(0, 0, "x");
  EXPECT_TRUE(b->Empty());

  // Drawn, saved, copied, masked, listed: nothing happens and nothing fails.
  MemCanvas target(4, 4);
  target->Draw(0, 0, b);
  target->StretchDraw(Rect(0, 0, 4, 4), b);
  target->BrushCopy(Rect(0, 0, 4, 4), b, Rect(0, 0, 0, 0), clWhite);
  EXPECT_EQ(target.At(1, 1), clWhite);
  TMemoryStream saved;
  b->SaveToStream(&saved);
  EXPECT_EQ(saved.GetSize(), 0);
  TBitmap* copy = New<TBitmap>();
  copy->Assign(b);
  EXPECT_TRUE(copy->Empty());
  b->Mask(clWhite);
  b->SetPixelFormat(pf24bit);
  b->SetTransparent(true);
  TImageList* list = New<TImageList>(nullptr);
  EXPECT_EQ(list->AddMasked(b, clDefault), -1);
  EXPECT_EQ(list->Add(b, nullptr), -1);

  // One side set: still empty, no pixels, the side remembered.
  b->SetWidth(5);
  EXPECT_TRUE(b->Empty());
  EXPECT_EQ(b->GetWidth(), 5);
  EXPECT_EQ(b->GetHandle(), nullptr);
  b->SetHeight(3);
  ASSERT_FALSE(b->Empty());
  EXPECT_EQ(b->GetCanvas()->GetPixels(4, 2), clWhite) << "a new bitmap is white";
  // Shrunk to nothing again (a quarter turn goes through height 0).
  b->SetHeight(0);
  EXPECT_TRUE(b->Empty());
  EXPECT_EQ(b->GetHandle(), nullptr);
  b->SetSize(3, 5);
  EXPECT_EQ(b->GetCanvas()->GetPixels(2, 4), clWhite);

  list->Free();
  copy->Free();
  b->Free();
}

TEST(Bitmap, ScanLinesAndCanvasPixelsShareTheStorage) {
  LeakCheck leaks;
  TBitmap* b = New<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(4, 3);
  auto* row1 = static_cast<std::uint32_t*>(b->GetScanLine(1));
  row1[2] = 0x00FF0000;  // B, G, R, A bytes: red
  EXPECT_EQ(b->GetCanvas()->GetPixels(2, 1), clRed);
  EXPECT_EQ(b->GetCanvas()->GetPixels(2, 0), clWhite) << "rows are top-down";
  b->GetCanvas()->SetPixels(0, 2, clBlue);
  EXPECT_EQ(static_cast<std::uint32_t*>(b->GetScanLine(2))[0] & 0xFFFFFF, 0x0000FFu);
  EXPECT_THROW(b->GetScanLine(3), EInvalidGraphic);
  EXPECT_THROW(b->GetScanLine(-1), EInvalidGraphic);

  b->SetPixelFormat(pf24bit);
  EXPECT_EQ(b->GetCanvas()->GetPixels(2, 1), clRed) << "converted with the pixels";
  auto* rgb = static_cast<Byte*>(b->GetScanLine(1));
  EXPECT_EQ(rgb[6], 0x00);
  EXPECT_EQ(rgb[8], 0xFF) << "B, G, R bytes";
  rgb[0] = 0xFF, rgb[1] = 0x00, rgb[2] = 0x00;
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 1), clBlue);

  b->SetPixelFormat(pf1bit);
  EXPECT_TRUE(b->GetMonochrome());
  auto* bits = static_cast<Byte*>(b->GetScanLine(0));
  EXPECT_EQ(bits[0] & 0xF0, 0xF0) << "white row, most significant bit first";
  bits[0] = 0x70;  // pixel 0 black, 1 to 3 white
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clBlack);
  EXPECT_EQ(b->GetCanvas()->GetPixels(1, 0), clWhite);
  b->Free();
}

TEST(Bitmap, NewSizesKeepWhatFitsAndFormatsConvert) {
  LeakCheck leaks;
  TBitmap* b = Sample(pfDevice);
  int changes = 0;
  b->OnChange = [&](TObject*) { ++changes; };
  b->SetSize(7, 6);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b->GetCanvas()->GetPixels(4, 0), clRed) << "old pixels stay";
  EXPECT_EQ(b->GetCanvas()->GetPixels(6, 5), clWhite) << "new ones are white";
  b->SetSize(2, 2);
  EXPECT_EQ(b->GetCanvas()->GetPixels(1, 1), clBlack);

  // To one bit: the nearer of black and white.
  b->SetSize(3, 1);
  b->GetCanvas()->SetPixels(0, 0, TColor(win::RGB(60, 60, 60)));
  b->GetCanvas()->SetPixels(1, 0, TColor(win::RGB(200, 200, 200)));
  b->SetMonochrome(true);
  EXPECT_EQ(b->GetPixelFormat(), pf1bit);
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clBlack);
  EXPECT_EQ(b->GetCanvas()->GetPixels(1, 0), clWhite);
  b->SetMonochrome(false);
  EXPECT_EQ(b->GetPixelFormat(), pfDevice);
  EXPECT_THROW(b->SetPixelFormat(pf8bit), EInvalidGraphic);
  EXPECT_EQ(b->GetPixelFormat(), pfDevice);

  // Drawing on the canvas is a change of the bitmap.
  changes = 0;
  b->SetModified(false);
  b->GetCanvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(b->GetModified());
  b->Free();
}

TEST(Bitmap, AHandleOfADepthNoDCHoldsIsStillDrawnOnAndDrawn) {
  LeakCheck leaks;
  // A 24-bit device-dependent bitmap, red then blue: it keeps its depth
  // and its pixels, and the canvas draws on it.
  const std::uint8_t bits[] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
  TBitmap* b = New<TBitmap>();
  b->SetHandle(win::CreateBitmap(2, 1, 1, 24, bits));
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clRed);
  EXPECT_EQ(b->GetCanvas()->GetPixels(1, 0), clBlue);
  b->GetCanvas()->SetPixels(1, 0, clLime);
  EXPECT_EQ(static_cast<const std::uint8_t*>(b->GetScanLine(0))[4], 0xFF) << "the canvas drew into the pixels";
  TBitmap* shown = New<TBitmap>();
  shown->SetSize(2, 1);
  shown->GetCanvas()->Draw(0, 0, b);
  EXPECT_EQ(shown->GetCanvas()->GetPixels(0, 0), clRed);
  EXPECT_EQ(shown->GetCanvas()->GetPixels(1, 0), clLime);
  // An 8-bit one shows its standard colours through a screen-deep image.
  const std::uint8_t indices[] = {9, 12};
  b->SetHandle(win::CreateBitmap(2, 1, 1, 8, indices));
  EXPECT_EQ(b->GetPixelFormat(), pfDevice);
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clRed);
  EXPECT_EQ(b->GetCanvas()->GetPixels(1, 0), clBlue);
  shown->Free();
  b->Free();
}

TEST(Bitmap, BmpRoundTripsAtEveryDepth) {
  LeakCheck leaks;
  for (TPixelFormat format : {pfDevice, pf1bit, pf24bit, pf32bit}) {
    TBitmap* b = Sample(format);
    TMemoryStream stream;
    b->SaveToStream(&stream);
    const Byte trailer[3] = {1, 2, 3};
    stream.WriteBuffer(trailer, 3);
    stream.SetPosition(0);
    TBitmap* back = New<TBitmap>();
    back->LoadFromStream(&stream);
    EXPECT_EQ(stream.GetPosition(), stream.GetSize() - 3) << "the file's own length is read, no more";
    EXPECT_EQ(back->GetWidth(), 5);
    EXPECT_EQ(back->GetHeight(), 4);
    EXPECT_EQ(back->GetPixelFormat(), format == pfDevice ? pf32bit : format) << "format " << format;
    EXPECT_EQ(Pixels(back), Pixels(b)) << "format " << format;
    back->Free();
    b->Free();
  }
}

TEST(Bitmap, BadStreamsAreRefusedAndLeaveTheBitmapAsItWas) {
  LeakCheck leaks;
  TBitmap* good = Sample(pf24bit);
  TMemoryStream file;
  good->SaveToStream(&file);
  std::string bytes = Bytes(file);

  TBitmap* b = Sample(pfDevice, 3, 2);
  std::vector<TColor> before = Pixels(b);
  int changes = 0;
  b->OnChange = [&](TObject*) { ++changes; };
  for (std::size_t cut : {bytes.size() / 2, std::size_t(20), std::size_t(3)}) {
    TStringStream truncated(bytes.substr(0, cut));
    EXPECT_THROW(b->LoadFromStream(&truncated), EInvalidGraphic) << cut << " bytes";
    EXPECT_EQ(truncated.GetPosition(), 0) << "the stream is put back";
  }
  TStringStream garbage(std::string(64, 'x'));
  EXPECT_THROW(b->LoadFromStream(&garbage), EInvalidGraphic);
  EXPECT_EQ(b->GetWidth(), 3);
  EXPECT_EQ(b->GetHeight(), 2);
  EXPECT_EQ(Pixels(b), before);
  EXPECT_EQ(changes, 0);

  // An empty stream is an empty bitmap.
  TStringStream empty("");
  b->LoadFromStream(&empty);
  EXPECT_TRUE(b->Empty());
  b->Free();
  good->Free();
}

TEST(Bitmap, TransparentColorDefaultsToTheBottomLeftPixel) {
  LeakCheck leaks;
  TBitmap* b = Sample(pfDevice);  // bottom-left is lime
  EXPECT_EQ(b->GetTransparentMode(), tmAuto);
  EXPECT_EQ(b->GetTransparentColor(), clLime);
  b->GetCanvas()->SetPixels(0, 3, clYellow);
  EXPECT_EQ(b->GetTransparentColor(), clYellow) << "auto follows the pixel";

  b->SetTransparentColor(clBtnFace);
  EXPECT_EQ(b->GetTransparentMode(), tmFixed);
  EXPECT_EQ(b->GetTransparentColor(), TColor(win::RGB(212, 208, 200)));
  b->SetTransparentMode(tmAuto);
  EXPECT_EQ(b->GetTransparentColor(), clYellow);
  b->SetTransparentMode(tmFixed);
  b->GetCanvas()->SetPixels(0, 3, clRed);
  EXPECT_EQ(b->GetTransparentColor(), clYellow) << "fixed keeps the colour it had";

  // The mask marks the transparent pixels white; drawing transparently
  // lets the target show there.
  b->SetTransparentColor(clWhite);
  win::HBITMAP mask = b->GetMaskHandle();
  ASSERT_NE(mask, nullptr);
  win::BITMAP bm{};
  ASSERT_EQ(win::GetObjectA(mask, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  b->SetTransparent(true);
  MemCanvas target(5, 4);
  target->GetBrush()->SetColor(clBlue);
  target->FillRect(Rect(0, 0, 5, 4));
  target->Draw(0, 0, b);
  EXPECT_EQ(target.At(2, 2), clBlue) << "white was see-through";
  EXPECT_EQ(target.At(0, 0), clBlack);
  EXPECT_EQ(target.At(4, 0), clRed);

  TBitmap* mono = Sample(pf1bit);
  EXPECT_EQ(mono->GetTransparentColor(), clWhite);
  mono->Free();
  b->Free();
}

TEST(Bitmap, MaskTurnsTheBitmapIntoItsMask) {
  LeakCheck leaks;
  TBitmap* b = Sample(pfDevice);
  b->Mask(clRed);
  EXPECT_TRUE(b->GetMonochrome());
  EXPECT_EQ(b->GetCanvas()->GetPixels(4, 0), clWhite);
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clBlack);
  EXPECT_EQ(b->GetCanvas()->GetPixels(2, 2), clBlack) << "white was not the colour";
  b->Free();
}

TEST(Bitmap, AssignCopiesAndDrawingOtherGraphicsFills) {
  LeakCheck leaks;
  TBitmap* a = Sample(pf24bit);
  a->SetTransparent(true);
  a->SetTransparentColor(clRed);
  TBitmap* b = New<TBitmap>();
  b->Assign(a);
  EXPECT_EQ(Pixels(b), Pixels(a));
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_TRUE(b->GetTransparent());
  EXPECT_EQ(b->GetTransparentColor(), clRed);
  b->GetCanvas()->SetPixels(1, 1, clYellow);
  EXPECT_EQ(a->GetCanvas()->GetPixels(1, 1), clBlack) << "the copy is independent";
  b->Assign(nullptr);
  EXPECT_TRUE(b->Empty());
  TPen* pen = New<TPen>();
  EXPECT_THROW(b->Assign(pen), EConvertError);
  pen->Free();
  a->Free();
  b->Free();
}

TEST(Bitmap, ResourcesAndClipboardData) {
  LeakCheck leaks;
  TBitmap* src = Sample(pf24bit);
  TMemoryStream file;
  src->SaveToStream(&file);
  RegisterResource("TESTGLYPH", "BITMAP", file.GetMemory(), static_cast<std::size_t>(file.GetSize()));
  RegisterResource("#4101", "BITMAP", file.GetMemory(), static_cast<std::size_t>(file.GetSize()));
  TBitmap* b = New<TBitmap>();
  b->LoadFromResourceName(nullptr, "TestGlyph");
  EXPECT_EQ(Pixels(b), Pixels(src));
  b->Assign(nullptr);
  b->LoadFromResourceID(nullptr, 4101);
  EXPECT_EQ(b->GetWidth(), 5);
  EXPECT_THROW(b->LoadFromResourceName(nullptr, "NOSUCHGLYPH"), EResNotFound);
  EXPECT_EQ(b->GetWidth(), 5);
  UnregisterResource("TESTGLYPH", "BITMAP");
  UnregisterResource("#4101", "BITMAP");

  Word format = 0;
  win::HANDLE data = nullptr;
  win::HPALETTE palette = nullptr;
  src->SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, win::CF_BITMAP);
  ASSERT_NE(data, nullptr);
  EXPECT_NE(reinterpret_cast<win::HBITMAP>(data), src->GetHandle()) << "a copy for the receiver";
  TBitmap* pasted = New<TBitmap>();
  pasted->LoadFromClipboardFormat(format, data, palette);
  EXPECT_EQ(Pixels(pasted), Pixels(src));
  EXPECT_THROW(pasted->LoadFromClipboardFormat(win::CF_TEXT, data, palette), EInvalidGraphic);
  EXPECT_EQ(pasted->GetWidth(), 5);
  win::DeleteObject(reinterpret_cast<win::HBITMAP>(data));
  pasted->Free();
  b->Free();
  src->Free();
}
