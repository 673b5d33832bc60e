#include "platform/forms/Metafile.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/MetafilePlayer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MetafileRecords.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Clipboard.h"

using namespace win;

namespace {

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic("Invalid metafile: %s", {AnsiString(why)}); }

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::int16_t S16(const std::uint8_t* p) { return static_cast<std::int16_t>(U16(p)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }
void Set16(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}
void Set32(std::uint8_t* p, std::uint32_t v) {
  Set16(p, v & 0xFFFF);
  Set16(p + 2, v >> 16);
}

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kWmfHeaderSize = 18;
constexpr int kHundredthsPerInch = 2540;
constexpr int kPixelsPerInch = 96;

std::size_t CheckEnhanced(const std::uint8_t* d, std::size_t size) {
  if (size < kEmfHeaderSize) Bad("truncated header");
  std::uint32_t headerSize = U32(d + 4), total = U32(d + 48);
  if (U32(d + 40) != kEmfSignature) Bad("signature");
  if (headerSize < kEmfHeaderSize || headerSize % 4 || headerSize > total) Bad("header size");
  if (total > size) Bad("truncated file");
  // The frame's edges may lie anywhere, but its size must be a number the
  // picture can answer for its width and height.
  const std::int64_t frameWidth = std::int64_t(S32(d + 32)) - S32(d + 24);
  const std::int64_t frameHeight = std::int64_t(S32(d + 36)) - S32(d + 28);
  if (frameWidth <= 0 || frameHeight <= 0 || frameWidth > INT32_MAX || frameHeight > INT32_MAX) Bad("frame");
  for (std::size_t at = headerSize;;) {
    if (at == total) return total;  // the end without an end record: tolerated
    if (total - at < 8) Bad("truncated record");
    std::uint32_t type = U32(d + at), length = U32(d + at + 4);
    if (length < 8 || length % 4 || length > total - at) Bad("record size");
    at += length;
    if (type == EMR_EOF) return total;
  }
}

std::size_t CheckPlaceable(const std::uint8_t* d, std::size_t size) {
  if (size < kPlaceableSize + kWmfHeaderSize) Bad("truncated header");
  if (S16(d + 10) <= S16(d + 6) || S16(d + 12) <= S16(d + 8)) Bad("bounds");
  if (U16(d + 14) == 0) Bad("units per inch");
  const std::uint8_t* w = d + kPlaceableSize;
  if ((U16(w) != 1 && U16(w) != 2) || U16(w + 2) != kWmfHeaderSize / 2) Bad("header");
  std::uint64_t total = kPlaceableSize + std::uint64_t(U32(w + 6)) * 2;
  if (total < kPlaceableSize + kWmfHeaderSize) Bad("header size");
  if (total > size) Bad("truncated file");
  for (std::size_t at = kPlaceableSize + kWmfHeaderSize;;) {
    if (at == total) return std::size_t(total);
    if (total - at < 6) Bad("truncated record");
    std::uint64_t length = std::uint64_t(U32(d + at)) * 2;
    if (length < 6 || length > total - at) Bad("record size");
    std::uint16_t function = U16(d + at + 4);
    at += std::size_t(length);
    if (function == META_EOF) return std::size_t(total);
  }
}

// The window extent a metafile's records set, if any: the size of its
// drawing in its own units.
bool WindowExtent(const std::uint8_t* records, std::size_t size, int& w, int& h, int& x, int& y) {
  bool found = false;
  x = y = 0;
  for (std::size_t at = kWmfHeaderSize; at + 6 <= size;) {
    std::size_t length = std::size_t(U32(records + at)) * 2;
    if (length < 6 || length > size - at) break;
    std::uint16_t function = U16(records + at + 4);
    if (function == META_SETWINDOWEXT && length >= 10) {  // height, width
      h = S16(records + at + 6);
      w = S16(records + at + 8);
      found = w != 0 && h != 0;
    } else if (function == META_SETWINDOWORG && length >= 10) {  // y, x
      y = S16(records + at + 6);
      x = S16(records + at + 8);
    } else if (function == META_EOF) {
      break;
    }
    at += length;
  }
  return found;
}

void CheckSum(std::vector<std::uint8_t>& d) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 20; i += 2) sum ^= U16(d.data() + i);
  Set16(d.data() + 20, sum);
}

// The length of the metafile at the start of the bytes, checked record by
// record.
std::size_t CheckMetafile(const void* Data, std::size_t Size, bool& Enhanced) {
  const auto* d = static_cast<const std::uint8_t*>(Data);
  if (!d || Size < 4) Bad("truncated header");
  Enhanced = U32(d) == EMR_HEADER;
  if (Enhanced) return CheckEnhanced(d, Size);
  if (U32(d) == kPlaceableKey) return CheckPlaceable(d, Size);
  Bad("not a metafile");
}

}  // namespace

// ---- TMetafile ----

void TMetafile::DoAssign(TPersistent* Source) {
  if (!Source) {
    if (FData.empty()) return;
    FData.clear();
    FEnhanced = false;
    Changed(this);
  } else if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    FData = m->FData;
    FEnhanced = m->FEnhanced;
    FTransparent = m->FTransparent;
    Changed(this);
  } else {
    inherited::DoAssign(Source);
  }
}

void TMetafile::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  bool enhanced = false;
  if (!ReadPicture(Stream, bytes, [&enhanced](const Byte* data, std::size_t size) {
        return CheckMetafile(data, size, enhanced);
      }))
    return;
  FData = std::move(bytes);
  FEnhanced = enhanced;
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

namespace {

// The pixels between two edges of the header, worked out in 64 bits: the
// edges are the file's own numbers and their distance need not fit 32.
Integer EdgesToPixels(std::int64_t from, std::int64_t to, std::int64_t unitsPerInch) {
  if (unitsPerInch <= 0) return 0;
  const std::int64_t units = to - from;
  const std::int64_t half = unitsPerInch / 2;
  const std::int64_t pixels = (units * kPixelsPerInch + (units < 0 ? -half : half)) / unitsPerInch;
  return ClampToInteger(pixels);
}

}  // namespace

Integer TMetafile::GetWidth() const {
  if (FData.empty()) return 0;
  const std::uint8_t* d = FData.data();
  if (FEnhanced) return EdgesToPixels(S32(d + 24), S32(d + 32), kHundredthsPerInch);
  return EdgesToPixels(S16(d + 6), S16(d + 10), U16(d + 14));
}

Integer TMetafile::GetHeight() const {
  if (FData.empty()) return 0;
  const std::uint8_t* d = FData.data();
  if (FEnhanced) return EdgesToPixels(S32(d + 28), S32(d + 36), kHundredthsPerInch);
  return EdgesToPixels(S16(d + 8), S16(d + 12), U16(d + 14));
}

void TMetafile::SetWidth(Integer Value) { SetSize(Value, GetHeight()); }

void TMetafile::SetHeight(Integer Value) { SetSize(GetWidth(), Value); }

void TMetafile::SetSize(Integer AWidth, Integer AHeight) {
  if (FData.empty() || (AWidth == GetWidth() && AHeight == GetHeight())) return;
  if (AWidth <= 0 || AHeight <= 0) throw EInvalidGraphic("Invalid metafile size");
  std::uint8_t* d = FData.data();
  if (FEnhanced) {
    const std::int64_t width = std::int64_t(AWidth) * kHundredthsPerInch / kPixelsPerInch;
    const std::int64_t height = std::int64_t(AHeight) * kHundredthsPerInch / kPixelsPerInch;
    const std::int64_t right = S32(d + 24) + width, bottom = S32(d + 28) + height;
    // The frame must stay one this reader takes back.
    if (width > INT32_MAX || height > INT32_MAX || right > INT32_MAX || bottom > INT32_MAX)
      throw EInvalidGraphic("Invalid metafile size");
    Set32(d + 32, std::uint32_t(right));
    Set32(d + 36, std::uint32_t(bottom));
  } else {
    int inch = U16(d + 14);
    int right = S16(d + 6) + MulDiv(AWidth, inch, kPixelsPerInch);
    int bottom = S16(d + 8) + MulDiv(AHeight, inch, kPixelsPerInch);
    if (right > 32767 || bottom > 32767 || right <= S16(d + 6) || bottom <= S16(d + 8))
      throw EInvalidGraphic("Invalid metafile size");
    Set16(d + 10, std::uint32_t(right));
    Set16(d + 12, std::uint32_t(bottom));
    CheckSum(FData);
  }
  Changed(this);
}

void TMetafile::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE) {
  if (AFormat != CF_METAFILEPICT && AFormat != CF_ENHMETAFILE) throw EInvalidGraphic("Unsupported clipboard format");
  std::size_t size = GlobalSize(AData);
  auto* block = static_cast<const std::uint8_t*>(GlobalLock(AData));
  if (!block) throw EInvalidGraphic("Invalid clipboard data");
  std::vector<std::uint8_t> bytes;
  bool enhanced = false;
  try {
    if (AFormat == CF_ENHMETAFILE) {
      bytes.assign(block, block + CheckMetafile(block, size, enhanced));
      if (!enhanced) Bad("not an enhanced metafile");
    } else {
      // Give the records the placeable header they lack, sized from the
      // extents (hundredths of a millimetre) or else from the window
      // extent the records set, taken as pixels.
      METAFILEPICT pict{};
      if (size < sizeof pict) Bad("truncated picture");
      std::memcpy(&pict, block, sizeof pict);
      const std::uint8_t* records = block + sizeof pict;
      std::size_t recordsSize = size - sizeof pict;
      int w = 0, h = 0, x = 0, y = 0, inch = kPixelsPerInch;
      bool window = WindowExtent(records, recordsSize, w, h, x, y);
      if (pict.xExt > 0 && pict.yExt > 0) {
        if (window && w > 0 && h > 0) {
          inch = std::max(1, MulDiv(w, kHundredthsPerInch, pict.xExt));
        } else {
          x = y = 0;
          w = std::min<LONG>(pict.xExt, 32767);
          h = std::min<LONG>(pict.yExt, 32767);
          inch = kHundredthsPerInch;
        }
      } else if (!window || w <= 0 || h <= 0) {
        Bad("no size");
      }
      if (inch > 0xFFFF || x + w > 32767 || y + h > 32767) Bad("size");
      bytes.assign(kPlaceableSize, 0);
      std::uint8_t* p = bytes.data();
      Set32(p, kPlaceableKey);
      Set16(p + 6, std::uint32_t(x));
      Set16(p + 8, std::uint32_t(y));
      Set16(p + 10, std::uint32_t(x + w));
      Set16(p + 12, std::uint32_t(y + h));
      Set16(p + 14, std::uint32_t(inch));
      CheckSum(bytes);
      bytes.insert(bytes.end(), records, records + recordsSize);
      bytes.resize(CheckMetafile(bytes.data(), bytes.size(), enhanced));
    }
  } catch (...) {
    GlobalUnlock(AData);
    throw;
  }
  GlobalUnlock(AData);
  FData = std::move(bytes);
  FEnhanced = enhanced;
  Changed(this);
}

void TMetafile::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  AFormat = 0;
  AData = nullptr;
  APalette = nullptr;
  if (FData.empty()) return;
  if (FEnhanced) {
    AData = GlobalFromBytes(FData.data(), FData.size());
    AFormat = static_cast<Word>(CF_ENHMETAFILE);
  } else {
    std::vector<std::uint8_t> block(sizeof(METAFILEPICT));
    METAFILEPICT pict{MM_ANISOTROPIC, MulDiv(GetWidth(), kHundredthsPerInch, kPixelsPerInch),
                      MulDiv(GetHeight(), kHundredthsPerInch, kPixelsPerInch), nullptr};
    std::memcpy(block.data(), &pict, sizeof pict);
    // The records without the placeable header, which held their bounds:
    // window origin and extent records say it instead, first thing.
    const std::uint8_t* d = FData.data();
    std::int16_t bounds[4] = {S16(d + 6), S16(d + 8), S16(d + 10), S16(d + 12)};
    std::uint8_t window[20] = {};
    Set32(window, 5);
    Set16(window + 4, META_SETWINDOWORG);
    Set16(window + 6, std::uint16_t(bounds[1]));
    Set16(window + 8, std::uint16_t(bounds[0]));
    Set32(window + 10, 5);
    Set16(window + 14, META_SETWINDOWEXT);
    Set16(window + 16, std::uint16_t(bounds[3] - bounds[1]));
    Set16(window + 18, std::uint16_t(bounds[2] - bounds[0]));
    std::size_t header = block.size();
    block.insert(block.end(), FData.begin() + kPlaceableSize, FData.begin() + kPlaceableSize + kWmfHeaderSize);
    Set32(block.data() + header + 6, U32(block.data() + header + 6) + sizeof window / 2);
    block.insert(block.end(), window, window + sizeof window);
    block.insert(block.end(), FData.begin() + kPlaceableSize + kWmfHeaderSize, FData.end());
    AData = GlobalFromBytes(block.data(), block.size());
    AFormat = static_cast<Word>(CF_METAFILEPICT);
  }
  if (!AData) {
    AFormat = 0;
    throw EOutOfResources("Out of system resources");
  }
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FData.empty() || Rect.Width() == 0 || Rect.Height() == 0) return;
  HDC dc = CanvasDC(ACanvas);
  if (FEnhanced)
    PlayEnhancedMetafile(FData.data(), dc, Rect);
  else
    PlayPlaceableMetafile(FData.data(), dc, Rect);
  // The records changed what the DC holds; the canvas selects its tools
  // again on its next call.
  ACanvas->Refresh();
}

ORV_REGISTER(TMetafile)
