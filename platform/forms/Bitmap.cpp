#include "platform/forms/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Clipboard.h"

using namespace win;

namespace {

gdi::Surface* SurfaceOf(HBITMAP h) {
  gdi::Bitmap* b = h ? gdi::LookupAs<gdi::Bitmap>(h) : nullptr;
  return b ? &b->Surf : nullptr;
}

// Copies the top-left w x h pixels of one bitmap into another of any
// format. A monochrome target takes the nearer of black and white.
void CopyPixels(HBITMAP from, HBITMAP to, int w, int h) {
  gdi::Surface* src = SurfaceOf(from);
  gdi::Surface* dst = SurfaceOf(to);
  if (!src || !dst) return;
  w = std::min({w, src->Width, dst->Width});
  h = std::min({h, src->Height, dst->Height});
  if (w <= 0 || h <= 0) return;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(w));
  for (int y = 0; y < h; ++y) {
    gdi::LoadSpan(*src, 0, y, w, row.data());
    if (dst->IsMono() && !src->IsMono())
      for (std::uint32_t& v : row) v = gdi::ColorToMono(gdi::PixelToColor(v));
    gdi::StoreSpan(*dst, 0, y, w, row.data());
  }
}

// The format a handle's depth stands for.
TPixelFormat FormatOfDepth(int bpp, bool dib) {
  switch (bpp) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 32: return dib ? pf32bit : pfDevice;
    default: return pfCustom;
  }
}

// A memory DC holding a bitmap for the length of a scope.
class ScopedDC {
 public:
  explicit ScopedDC(HBITMAP bitmap) : Dc(CreateCompatibleDC(nullptr)), Old(SelectObject(Dc, ToObj(bitmap))) {}
  ~ScopedDC() {
    SelectObject(Dc, Old);
    DeleteDC(Dc);
  }
  ScopedDC(const ScopedDC&) = delete;
  ScopedDC& operator=(const ScopedDC&) = delete;
  HDC Dc;

 private:
  HGDIOBJ Old;
};

// The format a new image of a bitmap gets: the depths the bitmap makes
// itself stay, others (read from foreign handles) become device bitmaps.
TPixelFormat StorageFormat(TPixelFormat format) {
  return format == pf1bit || format == pf24bit || format == pf32bit ? format : pfDevice;
}

[[noreturn]] void TooLarge() { throw EOutOfResources("Out of system resources"); }

}  // namespace

// The canvas of a bitmap: a memory DC made when first drawn on, holding
// the bitmap's current handle; it lets the handle go whenever the bitmap
// replaces it.
class TBitmapCanvas : public TCanvas {
  ORV_CLASS(TBitmapCanvas, TCanvas)
 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (!FDC) return;
    HDC dc = FDC;
    FDC = nullptr;
    SetHandle(nullptr);
    SelectObject(dc, FOldBitmap);
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    // An empty bitmap's canvas draws into the DC's own 1 x 1 bitmap,
    // which nobody sees.
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) TooLarge();
    FOldBitmap = FBitmap->FHandle ? SelectObject(dc, ToObj(FBitmap->FHandle)) : nullptr;
    FDC = dc;
    SetHandle(dc);
  }

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

TBitmap::~TBitmap() {
  FreeContext();
  ::Free(FCanvas);
  ReleaseMask();
  if (FHandle) DeleteObject(FHandle);
}

HBITMAP TBitmap::NewImage(Integer Width, Integer Height, TPixelFormat Format) {
  if (Width <= 0 || Height <= 0) return nullptr;
  if (std::int64_t(Width) * Height > kBmpMaxPixels) TooLarge();
  HBITMAP h;
  if (Format == pf1bit) {
    h = CreateBitmap(Width, Height, 1, 1, nullptr);
  } else {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = Format == pf24bit ? 24 : 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    h = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (!h) TooLarge();
  ScopedDC dc(h);
  PatBlt(dc.Dc, 0, 0, Width, Height, WHITENESS);
  return h;
}

void TBitmap::Replace(HBITMAP Handle, Integer Width, Integer Height, TPixelFormat Format) {
  FreeContext();
  ReleaseMask();
  if (FHandle) DeleteObject(FHandle);
  FHandle = Handle;
  FWidth = Handle ? Width : 0;
  FHeight = Handle ? Height : 0;
  FPixelFormat = Format;
}

void TBitmap::FreeContext() {
  if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

void TBitmap::ReleaseMask() {
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = nullptr;
}

void TBitmap::Changed(TObject* Sender) {
  ReleaseMask();
  inherited::Changed(Sender);
}

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = New<TBitmapCanvas>(this);
    FCanvas->OnChange = TNotifyEvent::Bind<&TBitmap::CanvasChanged>(this);
  }
  return FCanvas;
}

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  TPixelFormat format = StorageFormat(FPixelFormat);
  HBITMAP h = NewImage(AWidth, AHeight, format);
  if (h && FHandle) CopyPixels(FHandle, h, FWidth, FHeight);
  // A bitmap with one side 0 keeps the other, so setting the sides one by
  // one comes out right.
  Replace(h, AWidth, AHeight, format);
  FWidth = AWidth;
  FHeight = AHeight;
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  if (Value != pfDevice && Value != pf1bit && Value != pf24bit && Value != pf32bit)
    throw EInvalidGraphic("Unsupported pixel format");
  HBITMAP h = NewImage(FWidth, FHeight, Value);
  if (h) CopyPixels(FHandle, h, FWidth, FHeight);
  Integer w = FWidth, hgt = FHeight;
  Replace(h, w, hgt, Value);
  FWidth = w;
  FHeight = hgt;
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value != GetMonochrome()) SetPixelFormat(Value ? pf1bit : pfDevice);
}

void* TBitmap::GetScanLine(Integer Row) {
  gdi::Surface* s = SurfaceOf(FHandle);
  if (!s || Row < 0 || Row >= FHeight) throw EInvalidGraphic("Scan line index out of range");
  return s->Row(Row);
}

HBITMAP TBitmap::GetHandle() { return FHandle; }

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  TPixelFormat format = FPixelFormat;
  BITMAP bm{};
  if (Value) {
    if (GetObjectA(Value, sizeof bm, &bm) != sizeof bm) throw EInvalidGraphic("Invalid bitmap handle");
    DIBSECTION ds{};
    bool dib = GetObjectA(Value, sizeof ds, &ds) == sizeof ds;
    format = FormatOfDepth(bm.bmBitsPixel, dib);
    if (!dib && bm.bmBitsPixel != 1 && bm.bmBitsPixel != 32) {
      // No DC holds a device-dependent bitmap of this depth, so the canvas
      // could neither draw on it nor draw it: its pixels go into an image
      // of the bitmap's own and the handle handed over is let go.
      format = StorageFormat(format);
      HBITMAP own = NewImage(bm.bmWidth, bm.bmHeight, format);
      CopyPixels(Value, own, bm.bmWidth, bm.bmHeight);
      DeleteObject(Value);
      Value = own;
    }
  }
  Replace(Value, bm.bmWidth, bm.bmHeight, format);
  Changed(this);
}

HBITMAP TBitmap::GetMaskHandle() {
  if (!FMaskHandle && FHandle) {
    HBITMAP mask = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
    if (!mask) TooLarge();
    gdi::Surface* src = SurfaceOf(FHandle);
    gdi::Surface* dst = SurfaceOf(mask);
    auto key = static_cast<COLORREF>(ColorToRGB(GetTransparentColor())) & 0xFFFFFF;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(FWidth));
    for (int y = 0; y < FHeight; ++y) {
      gdi::LoadSpan(*src, 0, y, FWidth, row.data());
      for (std::uint32_t& v : row) v = (gdi::PixelToColor(v) & 0xFFFFFF) == key ? gdi::kMonoWhite : 0;
      gdi::StoreSpan(*dst, 0, y, FWidth, row.data());
    }
    FMaskHandle = mask;
  }
  return FMaskHandle;
}

TColor TBitmap::GetTransparentColor() {
  if (FTransparentColor != clDefault) return ColorToRGB(FTransparentColor);
  if (Empty()) return clNone;
  if (GetMonochrome()) return clWhite;
  return GetCanvas()->GetPixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  TTransparentMode mode = Value == clDefault ? tmAuto : tmFixed;
  if (Value == FTransparentColor && mode == FTransparentMode) return;
  FTransparentColor = Value;
  FTransparentMode = mode;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  SetTransparentColor(Value == tmAuto ? clDefault : GetTransparentColor());
}

void TBitmap::Mask(TColor TransparentColor) {
  TColor keep = FTransparentColor;
  FTransparentColor = TransparentColor;
  ReleaseMask();
  HBITMAP mask = GetMaskHandle();
  FMaskHandle = nullptr;  // it becomes the image
  FTransparentColor = keep;
  Integer w = FWidth, h = FHeight;
  Replace(mask, w, h, pf1bit);
  Changed(this);
}

void TBitmap::DoAssign(TPersistent* Source) {
  if (!Source) {
    if (!FHandle) return;
    Replace(nullptr, 0, 0, FPixelFormat);
    Changed(this);
  } else if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    TPixelFormat format = StorageFormat(b->FPixelFormat);
    HBITMAP h = NewImage(b->FWidth, b->FHeight, format);
    if (h) CopyPixels(b->FHandle, h, b->FWidth, b->FHeight);
    Replace(h, b->FWidth, b->FHeight, format);
    FWidth = b->FWidth;
    FHeight = b->FHeight;
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed(this);
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    Integer w = g->GetWidth(), h = g->GetHeight();
    TPixelFormat format = StorageFormat(FPixelFormat);
    Replace(NewImage(w, h, format), w, h, format);
    FWidth = std::max(w, 0);
    FHeight = std::max(h, 0);
    if (!g->Empty() && FHandle) GetCanvas()->StretchDraw(Rect(0, 0, w, h), g);
    Changed(this);
  } else {
    inherited::DoAssign(Source);
  }
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || !FHandle) return;
  HDC dst = CanvasDC(ACanvas);
  HDC src = CanvasDC(GetCanvas());
  int w = Rect.Width(), h = Rect.Height();
  bool stretch = w != FWidth || h != FHeight;
  int oldMode = stretch ? SetStretchBltMode(dst, COLORONCOLOR) : 0;
  if (FTransparent) {
    TransparentBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight,
                   static_cast<COLORREF>(ColorToRGB(GetTransparentColor())) & 0xFFFFFF);
  } else {
    // A monochrome bitmap shows black and white whatever the target's
    // text and background colours are.
    COLORREF text = 0, back = 0;
    if (GetMonochrome()) {
      text = SetTextColor(dst, RGB(0, 0, 0));
      back = SetBkColor(dst, RGB(255, 255, 255));
    }
    StretchBlt(dst, Rect.Left, Rect.Top, w, h, src, 0, 0, FWidth, FHeight, static_cast<DWORD>(ACanvas->GetCopyMode()));
    if (GetMonochrome()) {
      SetTextColor(dst, text);
      SetBkColor(dst, back);
    }
  }
  if (stretch) SetStretchBltMode(dst, oldMode);
}

// ---- Reading and writing ----

void TBitmap::LoadBytes(const void* Data, std::size_t Size) {
  if (Size == 0) {
    Assign(nullptr);
    return;
  }
  BmpImage image = ReadBmp(Data, Size);
  TPixelFormat format = image.BitCount == 24 ? pf24bit : image.BitCount == 32 ? pf32bit : pfDevice;
  if (image.BitCount == 1 && std::all_of(image.Pixels.begin(), image.Pixels.end(), [](std::uint32_t p) {
        return (p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF;
      }))
    format = pf1bit;
  HBITMAP h = NewImage(image.Width, image.Height, format);
  if (gdi::Surface* s = SurfaceOf(h))
    for (int y = 0; y < image.Height; ++y)
      gdi::StoreSpan(*s, 0, y, image.Width, image.Pixels.data() + std::size_t(y) * std::size_t(image.Width));
  Replace(h, image.Width, image.Height, format);
  Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) {
  std::vector<Byte> bytes;
  ReadPicture(Stream, bytes, [this](const Byte* data, std::size_t available) {
    // The file header says how long the file is; what follows it belongs
    // to someone else. A header that says nothing useful gives the rest.
    constexpr std::size_t kHeader = 14;
    if (available < kHeader) throw EInvalidGraphic("Invalid bitmap: truncated file header");
    if (data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Invalid bitmap: not a bitmap");
    const std::uint32_t size = std::uint32_t(data[2]) | std::uint32_t(data[3]) << 8 |
                               std::uint32_t(data[4]) << 16 | std::uint32_t(data[5]) << 24;
    const std::size_t length = size > kHeader && size <= available ? size : available;
    LoadBytes(data, length);
    return length;
  });
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty() || !FHandle) return;
  std::vector<std::uint8_t> bytes = WriteBmp(FHandle);
  Stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

void TBitmap::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, sizeof size);
  if (size < 0 || size > Stream->GetSize() - Stream->GetPosition())
    throw EInvalidGraphic("Invalid bitmap: the data is shorter than its size says");
  std::vector<Byte> bytes(static_cast<std::size_t>(size));
  if (size) Stream->ReadBuffer(bytes.data(), size);
  LoadBytes(bytes.data(), bytes.size());
}

void TBitmap::WriteData(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  if (!Empty() && FHandle) bytes = WriteBmp(FHandle);
  auto size = static_cast<Integer>(bytes.size());
  Stream->WriteBuffer(&size, sizeof size);
  Stream->WriteBuffer(bytes.data(), size);
}

void TBitmap::LoadFromResourceName(HINSTANCE, const AnsiString& ResName) {
  const TResourceData* data = FindResourceData(ResName, "BITMAP");
  if (!data) throw EResNotFound("Resource %s not found", {ResName});
  LoadBytes(data->Data, data->Size);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, Integer ResID) {
  LoadFromResourceName(Instance, "#" + std::to_string(ResID));
}

void TBitmap::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE) {
  if (AFormat != CF_BITMAP) throw EInvalidGraphic("Unsupported clipboard format");
  auto source = reinterpret_cast<HBITMAP>(AData);
  BITMAP bm{};
  if (!source || GetObjectA(source, sizeof bm, &bm) != sizeof bm) throw EInvalidGraphic("Invalid bitmap handle");
  DIBSECTION ds{};
  TPixelFormat format = StorageFormat(FormatOfDepth(bm.bmBitsPixel, GetObjectA(source, sizeof ds, &ds) == sizeof ds));
  HBITMAP h = NewImage(bm.bmWidth, bm.bmHeight, format);
  if (h) CopyPixels(source, h, bm.bmWidth, bm.bmHeight);
  Replace(h, bm.bmWidth, bm.bmHeight, format);
  Changed(this);
}

void TBitmap::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  AFormat = static_cast<Word>(CF_BITMAP);
  APalette = nullptr;
  HBITMAP copy = NewImage(FWidth, FHeight, StorageFormat(FPixelFormat));
  if (copy) CopyPixels(FHandle, copy, FWidth, FHeight);
  AData = reinterpret_cast<HANDLE>(copy);
}

ORV_REGISTER(TBitmapCanvas)
// A bitmap streams as its "Data" value alone.
ORV_REGISTER(TBitmap)
