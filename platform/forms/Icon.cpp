#include "platform/forms/Icon.h"

#include <cstdlib>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/win/Icons.h"

using namespace win;

namespace {

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic("Invalid icon: %s", {AnsiString(why)}); }

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
void Put16(std::vector<std::uint8_t>& o, std::uint32_t v) {
  o.push_back(std::uint8_t(v));
  o.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

constexpr std::size_t kDirSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Directory entries give a side in one byte (0 meaning 256); images are
// never larger.
constexpr int kMaxSide = 256;

// Rows of ICO bitmaps are padded to 32 bits.
std::size_t Stride(int width, int bpp) { return (std::size_t(width) * std::size_t(bpp) + 31) / 32 * 4; }

struct Entry {
  std::uint32_t Offset;
  std::uint32_t Size;
  int Bpp;
  int Width;
  int Height;
};

// The mask and colour of one image, ready to become an icon. The bitmaps
// are freed on every way out.
struct ImageBitmaps {
  HBITMAP Color = nullptr;
  HBITMAP Mask = nullptr;
  ImageBitmaps() = default;
  ImageBitmaps(const ImageBitmaps&) = delete;
  ImageBitmaps& operator=(const ImageBitmaps&) = delete;
  ~ImageBitmaps() {
    if (Color) DeleteObject(Color);
    if (Mask) DeleteObject(Mask);
  }
};

// Decodes one image (a DIB twice as high as the picture: the colours, then
// the AND mask, both bottom-up) into an icon handle.
HICON DecodeImage(const std::uint8_t* dib, std::size_t size) {
  if (size >= 4 && std::memcmp(dib, "\x89PNG", 4) == 0) Bad("compressed images are not supported");
  if (size < kInfoHeaderSize) Bad("truncated image header");
  std::uint32_t hsize = U32(dib);
  if (hsize < kInfoHeaderSize || hsize > size) Bad("image header size");
  auto width = static_cast<std::int32_t>(U32(dib + 4));
  auto doubled = static_cast<std::int32_t>(U32(dib + 8));
  int bpp = U16(dib + 14);
  std::uint32_t compression = U32(dib + 16);
  std::uint32_t clrUsed = U32(dib + 32);
  if (width <= 0 || width > kMaxSide || doubled <= 0 || doubled % 2 != 0 || doubled / 2 > kMaxSide)
    Bad("image size");
  int height = doubled / 2;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) Bad("bit count");
  if (compression != BI_RGB) Bad("compression");
  std::uint64_t colors = 0;
  if (bpp <= 8) {
    if (clrUsed > (1u << bpp)) Bad("colour count");
    colors = clrUsed ? clrUsed : (1u << bpp);
  } else if (clrUsed) {
    Bad("colour count");
  }
  std::uint64_t xorOffset = hsize + colors * 4;
  std::uint64_t andOffset = xorOffset + std::uint64_t(Stride(width, bpp)) * std::uint64_t(height);
  std::uint64_t end = andOffset + std::uint64_t(Stride(width, 1)) * std::uint64_t(height);
  if (end > size) Bad("truncated image");

  // The colours: the DIB reader reads them once told the picture's own
  // height.
  std::vector<std::uint8_t> colour(dib, dib + andOffset);
  std::int32_t h = height;
  std::memcpy(colour.data() + 8, &h, 4);
  BmpImage image = ReadDib(colour.data(), colour.size());
  if (image.Width != width || image.Height != height) Bad("image size");

  // The mask, 1 = see-through. A 32-bit image with an alpha channel is
  // also see-through where it is mostly transparent; see-through pixels
  // are made black so that the XOR leaves the target alone.
  int maskStride = (width + 15) / 16 * 2;
  std::vector<std::uint8_t> maskBits(std::size_t(maskStride) * std::size_t(height), 0);
  const std::uint8_t* andBits = dib + andOffset;
  std::size_t andStride = Stride(width, 1);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = andBits + std::size_t(height - 1 - y) * andStride;
    for (int x = 0; x < width; ++x) {
      bool clear = (row[x / 8] >> (7 - x % 8)) & 1;
      std::uint32_t& pixel = image.Pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
      if (image.HasAlpha && (pixel >> 24) < 128) {
        clear = true;
        pixel = 0;
      }
      if (clear)
        maskBits[std::size_t(y) * std::size_t(maskStride) + std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    }
  }
  for (std::uint32_t& pixel : image.Pixels) pixel &= 0xFFFFFF;

  ImageBitmaps bitmaps;
  bitmaps.Color = BmpImageToBitmap(image);
  bitmaps.Mask = CreateBitmap(width, height, 1, 1, maskBits.data());
  if (!bitmaps.Color || !bitmaps.Mask) throw EOutOfResources("Out of system resources");
  ICONINFO info{TRUE, 0, 0, bitmaps.Mask, bitmaps.Color};
  HICON icon = CreateIconIndirect(&info);
  if (!icon) throw EOutOfResources("Out of system resources");
  return icon;
}

int Distance(const Entry& e) { return std::abs(e.Width - 32) + std::abs(e.Height - 32); }

// Decodes the image of an ICO file that an icon shows into an icon handle
// (owned by the caller), checking every directory entry against the bytes
// given.
HICON ReadIcon(const void* Data, std::size_t Size) {
  const auto* d = static_cast<const std::uint8_t*>(Data);
  if (!d || Size < kDirSize) Bad("truncated directory");
  if (U16(d) != 0 || U16(d + 2) != 1) Bad("not an icon file");
  std::size_t count = U16(d + 4);
  if (count == 0) Bad("no images");
  if (Size < kDirSize + count * kEntrySize) Bad("truncated directory");
  const Entry* best = nullptr;
  std::vector<Entry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = d + kDirSize + i * kEntrySize;
    Entry entry{U32(e + 12), U32(e + 8), U16(e + 6), e[0] ? e[0] : 256, e[1] ? e[1] : 256};
    if (entry.Size == 0 || entry.Offset < kDirSize + count * kEntrySize || entry.Offset > Size ||
        entry.Size > Size - entry.Offset)
      Bad("image offset");
    // The directory's depth may be missing; the image's header has it.
    if (entry.Size >= kInfoHeaderSize && U32(d + entry.Offset) == kInfoHeaderSize)
      entry.Bpp = U16(d + entry.Offset + 14);
    // Compressed images cannot be shown; they are kept in the file.
    if (entry.Size >= 4 && std::memcmp(d + entry.Offset, "\x89PNG", 4) == 0) entry.Bpp = -1;
    entries.push_back(entry);
  }
  for (const Entry& e : entries) {
    if (e.Bpp < 0) continue;
    if (!best || Distance(e) < Distance(*best) || (Distance(e) == Distance(*best) && e.Bpp > best->Bpp)) best = &e;
  }
  if (!best) Bad("compressed images are not supported");
  return DecodeImage(d + best->Offset, best->Size);
}

}  // namespace

// ---- TIcon ----

TIcon::TIcon() { FTransparent = true; }

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::Replace(std::vector<std::uint8_t> Data, HICON Handle) {
  if (FHandle) DestroyIcon(FHandle);
  FData = std::move(Data);
  FHandle = Handle;
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (Handle && detail::GetCreatedIconInfo(Handle, &info)) {
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    FWidth = bm.bmWidth;
    FHeight = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  Changed(this);
}

void TIcon::DoAssign(TPersistent* Source) {
  if (!Source) {
    if (FHandle || !FData.empty()) Replace({}, nullptr);
  } else if (auto* i = dynamic_cast<TIcon*>(Source)) {
    HICON copy = nullptr;
    ICONINFO info{};
    if (i->FHandle && detail::GetCreatedIconInfo(i->FHandle, &info)) {
      copy = CreateIconIndirect(&info);
      DeleteObject(info.hbmMask);
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (!copy) throw EOutOfResources("Out of system resources");
    }
    FTransparent = i->FTransparent;
    Replace(i->FData, copy);
  } else {
    inherited::DoAssign(Source);
  }
}

void TIcon::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  HICON handle = nullptr;
  if (!ReadPicture(Stream, bytes, [&handle](const Byte* data, std::size_t size) {
        handle = ReadIcon(data, size);
        return size;
      }))
    return;
  Replace(std::move(bytes), handle);
}

std::vector<std::uint8_t> TIcon::Encode() const {
  ICONINFO info{};
  if (!FHandle || !detail::GetCreatedIconInfo(FHandle, &info)) throw EInvalidGraphic("Invalid icon handle");
  int w = FWidth, h = FHeight;
  // The colours and the mask as pixels, rows top-down; a monochrome icon's
  // colours are the XOR half of its mask.
  std::vector<std::uint32_t> colour(std::size_t(w) * std::size_t(h)), mask(colour.size());
  gdi::Surface* maskSurface = &gdi::LookupAs<gdi::Bitmap>(info.hbmMask)->Surf;
  gdi::Surface* colourSurface = info.hbmColor ? &gdi::LookupAs<gdi::Bitmap>(info.hbmColor)->Surf : maskSurface;
  int colourTop = info.hbmColor ? 0 : h;
  for (int y = 0; y < h; ++y) {
    gdi::LoadSpan(*colourSurface, 0, colourTop + y, w, colour.data() + std::size_t(y) * std::size_t(w));
    gdi::LoadSpan(*maskSurface, 0, y, w, mask.data() + std::size_t(y) * std::size_t(w));
  }
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);

  std::size_t xorSize = Stride(w, 32) * std::size_t(h), andStride = Stride(w, 1), andSize = andStride * std::size_t(h);
  std::uint32_t imageSize = static_cast<std::uint32_t>(kInfoHeaderSize + xorSize + andSize);
  std::vector<std::uint8_t> o;
  o.reserve(kDirSize + kEntrySize + imageSize);
  Put16(o, 0);
  Put16(o, 1);
  Put16(o, 1);
  o.push_back(std::uint8_t(w >= 256 ? 0 : w));
  o.push_back(std::uint8_t(h >= 256 ? 0 : h));
  o.push_back(0);  // colour count
  o.push_back(0);
  Put16(o, 1);   // planes
  Put16(o, 32);  // bit count
  Put32(o, imageSize);
  Put32(o, kDirSize + kEntrySize);
  Put32(o, kInfoHeaderSize);
  Put32(o, std::uint32_t(w));
  Put32(o, std::uint32_t(h * 2));
  Put16(o, 1);
  Put16(o, 32);
  Put32(o, BI_RGB);
  Put32(o, std::uint32_t(xorSize + andSize));
  for (int i = 0; i < 4; ++i) Put32(o, 0);
  // Bottom-up rows; alpha is opaque where the mask shows the colour. An
  // alpha channel cannot say "invert what is below", so an icon with such
  // pixels gets none and its mask alone decides.
  bool inverts = false;
  for (std::size_t i = 0; i < colour.size(); ++i) inverts = inverts || (mask[i] && (colour[i] & 0xFFFFFF));
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      Put32(o, (colour[i] & 0xFFFFFF) | (mask[i] || inverts ? 0u : 0xFF000000u));
    }
  for (int y = h - 1; y >= 0; --y) {
    std::size_t rowStart = o.size();
    o.resize(rowStart + andStride, 0);
    for (int x = 0; x < w; ++x)
      if (mask[std::size_t(y) * std::size_t(w) + std::size_t(x)])
        o[rowStart + std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
  }
  return o;
}

void TIcon::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FData.empty()) FData = Encode();
  Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

void TIcon::LoadFromClipboardFormat(Word, HANDLE, HPALETTE) {
  throw EInvalidGraphic("The clipboard does not hold icons");
}

void TIcon::SaveToClipboardFormat(Word&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic("The clipboard does not hold icons");
}

void TIcon::SetWidth(Integer Value) {
  if (Value != FWidth) throw EInvalidGraphic("Cannot change the size of an icon");
}

void TIcon::SetHeight(Integer Value) {
  if (Value != FHeight) throw EInvalidGraphic("Cannot change the size of an icon");
}

HICON TIcon::GetHandle() { return FHandle; }

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  ICONINFO info{};
  if (Value) {
    if (!detail::GetCreatedIconInfo(Value, &info)) throw EInvalidGraphic("Invalid icon handle");
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  Replace({}, Value);
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  Replace({}, nullptr);
  return h;
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(CanvasDC(ACanvas), Rect.Left, Rect.Top, FHandle, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

ORV_REGISTER(TIcon)
