// Bitmaps: device-dependent bitmaps (monochrome, or 32-bit colour) and DIB
// sections (1, 4, 8, 24 or 32 bits, top-down or bottom-up, with a pointer
// straight to their bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Surface.h"

namespace win::gdi {

// A bitmap's bits, zeroed by the allocator rather than cleared here: a
// large block comes straight from the system, whose pages read as zero and
// are taken only as they are first written (an off-screen buffer the size
// of a grid costs the rows painted in it, not all of them at once).
class ZeroedBits {
 public:
  // n zero bytes, replacing what was held.
  void Allocate(std::size_t n) {
    auto* p = static_cast<std::uint8_t*>(std::calloc(n ? n : 1, 1));
    if (!p) throw std::bad_alloc();
    block_.reset(p);
    size_ = n;
  }
  std::uint8_t* data() const { return block_.get(); }
  std::size_t size() const { return size_; }

 private:
  struct Free {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint8_t[], Free> block_;
  std::size_t size_ = 0;
};

class Bitmap : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_BITMAP;
  Bitmap() : GdiObject(OBJ_BITMAP) {}
  int Describe(int size, void* buffer) const override;

  Surface Surf;
  ZeroedBits Storage;                 // the bits (owned in every case)
  std::vector<RGBQUAD> Colors;        // colour table (monochrome: black, white)
  bool IsDib = false;
  BITMAPINFOHEADER DibHeader{};
  GdiObject* SelectedIn = nullptr;  // the memory DC holding it, if any

  // The address of the bits as the format stores them (the bottom row first
  // for a bottom-up DIB section).
  void* Bits() { return Storage.data(); }
};

// A device-dependent bitmap of 1 or 32 bits, cleared to 0; nullptr when the
// size is not sensible.
Bitmap* NewBitmap(int width, int height, int bpp);

// Bytes per row of a DIB of the given width and depth (rows are padded to
// four bytes); 0 on overflow.
std::size_t DibStride(std::int64_t width, int bpp);

// Whether a DIB header's size lies between the smallest and the largest (40 to
// 124 bytes), so that what follows it can be found.
bool DibHeaderSizeOk(const BITMAPINFOHEADER& h);

// Describes `rows` rows of a packed DIB (header, masks, colour table, bits)
// for reading, in the header's row order. The caller's bits must hold those
// rows; the header is read only as far as its size, masks and colour count
// say. Only uncompressed 1, 4, 8, 24 and 32 bits (and 32 bits with the
// standard masks) are accepted here.
bool DibView(const BITMAPINFO* info, const void* bits, std::int64_t rows, Surface& out,
             std::vector<RGBQUAD>& palette);

}  // namespace win::gdi

namespace win {

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
BOOL GetBitmapDimensionEx(HBITMAP hbm, SIZE* size);

}  // namespace win
