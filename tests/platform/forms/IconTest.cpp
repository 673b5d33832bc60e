// Icons: ICO files are read with the image nearest to 32 x 32 shown and
// drawn through its mask; the file's bytes are written back unchanged and
// a handle taken over is written as a file of its own; damaged files are
// refused with the icon as it was.
#include "FormsTestUtil.h"

#include "platform/forms/Bitmap.h"
#include "platform/forms/Icon.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Icons.h"
#include "support/TempDir.h"

using namespace forms_test;

namespace {

void Put16(std::string& o, unsigned v) {
  o += static_cast<char>(v & 0xFF);
  o += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& o, unsigned v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

// One image of an ICO file: the header, the colours (BGRA, top-down here,
// written bottom-up) and the mask ('1' = see-through).
struct IconImage {
  int Width;
  int Height;
  std::vector<unsigned> Pixels;   // 0xRRGGBB, or with alpha in the top byte
  std::vector<std::string> Mask;  // rows of '0' and '1'
  std::string Dib() const {
    std::string o;
    Put32(o, 40);
    Put32(o, Width);
    Put32(o, Height * 2);
    Put16(o, 1);
    Put16(o, 32);
    for (int i = 0; i < 6; ++i) Put32(o, 0);
    for (int y = Height - 1; y >= 0; --y)
      for (int x = 0; x < Width; ++x) Put32(o, Pixels[y * Width + x]);
    int stride = (Width + 31) / 32 * 4;
    for (int y = Height - 1; y >= 0; --y) {
      std::string row(stride, '\0');
      for (int x = 0; x < Width; ++x)
        if (Mask[y][x] == '1') row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
      o += row;
    }
    return o;
  }
};

std::string IcoFile(const std::vector<IconImage>& images) {
  std::string o;
  Put16(o, 0);
  Put16(o, 1);
  Put16(o, images.size());
  std::vector<std::string> dibs;
  for (const IconImage& i : images) dibs.push_back(i.Dib());
  unsigned offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    o += static_cast<char>(images[i].Width);
    o += static_cast<char>(images[i].Height);
    o += std::string(2, '\0');
    Put16(o, 1);
    Put16(o, 32);
    Put32(o, dibs[i].size());
    Put32(o, offset);
    offset += dibs[i].size();
  }
  for (const std::string& d : dibs) o += d;
  return o;
}

// 4 x 4: red, with a see-through right column, and the bottom-left pixel
// white under a set mask bit, which inverts what is below.
IconImage RedSquare() {
  IconImage i{4, 4, std::vector<unsigned>(16, 0xFF0000), {"0001", "0001", "0001", "1001"}};
  for (int y = 0; y < 4; ++y) i.Pixels[y * 4 + 3] = 0;
  i.Pixels[12] = 0xFFFFFF;
  return i;
}

IconImage Plain(int side, unsigned colour) {
  return IconImage{side, side, std::vector<unsigned>(side * side, colour),
                   std::vector<std::string>(side, std::string(side, '0'))};
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

// A canvas filled with green, the icon drawn at (1, 1).
void DrawOnGreen(MemCanvas& c, TGraphic* g) {
  c->GetBrush()->SetColor(clLime);
  c->FillRect(Rect(0, 0, 8, 8));
  c->Draw(1, 1, g);
}

}  // namespace

TEST(Icon, DrawnThroughItsMask) {
  LeakCheck leaks;
  TIcon* icon = New<TIcon>();
  Load(icon, IcoFile({RedSquare()}));
  EXPECT_EQ(icon->GetWidth(), 4);
  EXPECT_EQ(icon->GetHeight(), 4);
  EXPECT_TRUE(icon->GetTransparent());
  icon->SetTransparent(false);  // icons are masked all the same
  MemCanvas c(8, 8);
  DrawOnGreen(c, icon);
  EXPECT_EQ(c.At(1, 1), clRed);
  EXPECT_EQ(c.At(3, 3), clRed);
  EXPECT_EQ(c.At(4, 1), clLime) << "the see-through column";
  EXPECT_EQ(c.At(1, 4), clFuchsia) << "a set mask bit under white inverts";
  EXPECT_EQ(c.At(0, 0), clLime);
  EXPECT_EQ(c.At(5, 5), clLime);
  icon->Free();
}

TEST(Icon, AlphaChannelMakesPixelsSeeThrough) {
  LeakCheck leaks;
  IconImage i = Plain(2, 0xFF0000FF);  // opaque blue
  i.Pixels[1] = 0x100000FF;            // almost transparent blue
  TIcon* icon = New<TIcon>();
  Load(icon, IcoFile({i}));
  MemCanvas c(8, 8);
  DrawOnGreen(c, icon);
  EXPECT_EQ(c.At(1, 1), clBlue);
  EXPECT_EQ(c.At(2, 1), clLime);
  icon->Free();
}

TEST(Icon, ShowsTheImageNearestTo32AndKeepsTheOthers) {
  LeakCheck leaks;
  TempDir dir;
  std::string file = IcoFile({Plain(16, 0x0000FF), Plain(32, 0x00FF00), Plain(48, 0xFF0000)});
  std::string name = dir.Write("three.ico", file);
  TPicture* p = New<TPicture>();
  p->LoadFromFile(name);
  TIcon* icon = p->GetIcon();
  EXPECT_EQ(p->GetGraphic(), icon) << "the icon read, not a new one";
  icon->HandleNeeded();
  EXPECT_EQ(icon->GetWidth(), 32);
  EXPECT_NE(icon->GetHandle(), nullptr);
  MemCanvas c(40, 40);
  c->Draw(0, 0, icon);
  EXPECT_EQ(c.At(31, 31), clLime);
  p->SaveToFile(dir / "copy.ico");
  EXPECT_EQ(dir.Read("copy.ico"), file) << "every image of the file is written back";
  p->Free();
}

TEST(Icon, HandleTakenOverIsSavedAsAFileOfItsOwn) {
  LeakCheck leaks;
  TIcon* source = New<TIcon>();
  Load(source, IcoFile({RedSquare()}));
  TIcon* icon = New<TIcon>();
  TIcon* copy = New<TIcon>();
  copy->Assign(source);
  EXPECT_EQ(Bytes(copy), Bytes(source));
  icon->SetHandle(copy->ReleaseHandle());
  EXPECT_TRUE(copy->Empty());
  EXPECT_EQ(icon->GetWidth(), 4);
  std::string saved = Bytes(icon);
  EXPECT_NE(saved, Bytes(source)) << "written anew at 32 bits";

  TIcon* back = New<TIcon>();
  Load(back, saved);
  MemCanvas c(8, 8);
  DrawOnGreen(c, back);
  EXPECT_EQ(c.At(1, 1), clRed);
  EXPECT_EQ(c.At(4, 2), clLime);
  EXPECT_EQ(c.At(1, 4), clFuchsia) << "the inverting pixel survives";

  EXPECT_THROW(icon->SetHandle(reinterpret_cast<win::HICON>(std::uintptr_t(0x1234))), EInvalidGraphic);
  EXPECT_EQ(icon->GetWidth(), 4);
  back->Free();
  copy->Free();
  icon->Free();
  source->Free();
}

TEST(Icon, MonochromeHandleDrawsAllFourMaskCombinations) {
  LeakCheck leaks;
  // Masks twice as high, AND above XOR, rows padded to 16 bits. Columns:
  // AND/XOR 0/0 black, 0/1 white, 1/0 see-through, 1/1 inverted.
  const unsigned char bits[] = {0x30, 0, 0x50, 0};
  win::HBITMAP masks = win::CreateBitmap(4, 2, 1, 1, bits);
  win::ICONINFO info{win::TRUE, 0, 0, masks, nullptr};
  TIcon* icon = New<TIcon>();
  icon->SetHandle(win::CreateIconIndirect(&info));
  win::DeleteObject(masks);
  EXPECT_EQ(icon->GetWidth(), 4);
  EXPECT_EQ(icon->GetHeight(), 1);
  TIcon* back = New<TIcon>();
  Load(back, Bytes(icon));
  for (TIcon* i : {icon, back}) {
    MemCanvas c(8, 8);
    DrawOnGreen(c, i);
    EXPECT_EQ(c.At(1, 1), clBlack);
    EXPECT_EQ(c.At(2, 1), clWhite);
    EXPECT_EQ(c.At(3, 1), clLime);
    EXPECT_EQ(c.At(4, 1), clFuchsia);
  }
  back->Free();
  icon->Free();
}

TEST(Icon, MadeFromABitmapItsCanvasHoldsItShowsThatBitmapsPixels) {
  LeakCheck leaks;
  // The picture has just been drawn on, so its canvas's DC still holds its
  // handle; the icon copies the pixels all the same. The mask, drawn on as
  // well, is see-through at its white pixel.
  TBitmap* picture = New<TBitmap>();
  picture->SetPixelFormat(pf32bit);
  picture->SetSize(2, 2);
  picture->GetCanvas()->GetBrush()->SetColor(clRed);
  picture->GetCanvas()->FillRect(Rect(0, 0, 2, 2));
  TBitmap* mask = New<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(2, 2);
  mask->GetCanvas()->GetBrush()->SetColor(clBlack);
  mask->GetCanvas()->FillRect(Rect(0, 0, 2, 2));
  mask->GetCanvas()->SetPixels(1, 1, clWhite);
  picture->GetCanvas()->SetPixels(1, 1, clBlack);  // black where see-through
  win::ICONINFO info{win::TRUE, 0, 0, mask->GetHandle(), picture->GetHandle()};
  TIcon* icon = New<TIcon>();
  icon->SetHandle(win::CreateIconIndirect(&info));
  MemCanvas c(8, 8);
  DrawOnGreen(c, icon);
  EXPECT_EQ(c.At(1, 1), clRed);
  EXPECT_EQ(c.At(2, 1), clRed);
  EXPECT_EQ(c.At(2, 2), clLime);
  icon->Free();
  mask->Free();
  picture->Free();
}

TEST(Icon, DamagedFilesAreRefusedAndLeaveTheIconAsItWas) {
  LeakCheck leaks;
  std::string good = IcoFile({RedSquare()});
  TIcon* icon = New<TIcon>();
  Load(icon, good);
  int changes = 0;
  icon->OnChange = [&](TObject*) { ++changes; };

  auto with = [&](std::size_t at, std::string bytes) {
    std::string s = good;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  std::string cut = good.substr(0, good.size() - 4);
  cut[6 + 8] = static_cast<char>(cut[6 + 8] - 4);  // the directory agrees
  std::string png = IcoFile({Plain(2, 0)});
  png.replace(22, 4, "\x89PNG");
  std::string bigger = IcoFile({Plain(2, 0)});
  bigger.replace(22 + 4, 4, std::string("\x00\x10\x00\x00", 4));  // width 4096
  const std::pair<const char*, std::string> damaged[] = {
      {"no images", with(4, std::string("\0\0", 2))},
      {"a cursor file", with(2, std::string("\2\0", 2))},
      {"directory cut short", good.substr(0, 12)},
      {"image past the end", with(6 + 12, std::string("\xF0\xFF\0\0", 4))},
      {"image size past the end", with(6 + 8, std::string("\xF0\xFF\0\0", 4))},
      {"mask cut off", cut},
      {"height not doubled", with(22 + 8, std::string("\x05\0\0\0", 4))},
      {"compressed images only", png},
      {"larger than an icon can be", bigger},
  };
  for (const auto& [what, bytes] : damaged) {
    TStringStream in(bytes);
    EXPECT_THROW(icon->LoadFromStream(&in), EInvalidGraphic) << what;
    EXPECT_EQ(in.GetPosition(), 0) << what;
    EXPECT_EQ(Bytes(icon), good) << what;
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(icon->GetWidth(), 4);
  icon->Free();
}

TEST(Icon, SizeIsItsOwnAndTheClipboardHoldsNone) {
  LeakCheck leaks;
  TIcon* icon = New<TIcon>();
  Load(icon, IcoFile({RedSquare()}));
  icon->SetWidth(4);
  EXPECT_THROW(icon->SetWidth(8), EInvalidGraphic);
  EXPECT_THROW(icon->SetHeight(2), EInvalidGraphic);
  Word format = 0;
  win::HANDLE data = nullptr;
  win::HPALETTE palette = nullptr;
  EXPECT_THROW(icon->SaveToClipboardFormat(format, data, palette), EInvalidGraphic);
  EXPECT_THROW(icon->LoadFromClipboardFormat(win::CF_BITMAP, nullptr, nullptr), EInvalidGraphic);
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(0)) << "no icon format is registered";

  // An icon assigned to a bitmap is drawn onto it.
  TBitmap* b = New<TBitmap>();
  b->Assign(icon);
  EXPECT_EQ(b->GetWidth(), 4);
  EXPECT_EQ(b->GetCanvas()->GetPixels(0, 0), clRed);
  b->Free();
  icon->Free();
}
