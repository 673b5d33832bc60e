#include "platform/forms/JpegImage.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/forms/Bitmap.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/win/Clipboard.h"

using namespace win;

// ---- The codec ----
//
// libjpeg reports a fatal error by calling error_exit, which must not
// return. It is C code, built without unwind tables, so an exception thrown
// from there could not pass through it; instead the error manager jumps
// back to the setjmp in the function that called libjpeg, which has no
// object with a destructor in its frame, destroys the codec and reports
// the message. The C++ side turns that report into EInvalidGraphic.

namespace {

// Progressive files may have any number of scans, each making the decoder
// pass over the whole picture again; more than this is no real picture.
constexpr int kMaxScans = 1000;
// The most libjpeg may allocate for one picture; larger needs would go to
// a backing store, which this build does not have, and fail cleanly.
constexpr long kMaxCodecMemory = 512L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr Base;  // first, so the codec's err pointer is ours
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings are not printed. Compressed data that ends early or holds a
// code no table has would decode as grey from there on; that is damage,
// refused like any other, and at once, so that a few bytes claiming a
// huge picture cost nothing. Other warnings (stray bytes between markers,
// say) leave the picture whole and are let pass.
void EmitMessage(j_common_ptr cinfo, int level) {
  int code = cinfo->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE)) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
  }
}

void OutputMessage(j_common_ptr) {}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.Base);
  err.Base.error_exit = ErrorExit;
  err.Base.emit_message = EmitMessage;
  err.Base.output_message = OutputMessage;
  err.Message[0] = '\0';
}

void CheckScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->Message, sizeof err->Message, "too many scans");
    std::longjmp(err->Jump, 1);
  }
}

// Decoded pixels, R, G, B per pixel, rows top-down.
struct RawImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;
};

// Answers false with the reason in err.Message. No local here has a
// destructor, so the jump back skips nothing; the pixel buffer belongs to
// the caller.
bool DecodeRaw(const std::uint8_t* data, std::size_t size, RawImage& out, ErrorManager& err) {
  jpeg_decompress_struct cinfo;
  jpeg_progress_mgr progress;
  InitErrors(err);
  cinfo.err = &err.Base;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxCodecMemory;
  progress.progress_monitor = CheckScans;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (std::int64_t(cinfo.image_width) * cinfo.image_height > kBmpMaxPixels) {
    std::snprintf(err.Message, sizeof err.Message, "picture too large");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.Width = static_cast<int>(cinfo.output_width);
  out.Height = static_cast<int>(cinfo.output_height);
  out.Rgb.resize(std::size_t(out.Width) * std::size_t(out.Height) * 3);
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * cinfo.output_components, 1);
  // Adobe's CMYK files store the inks inverted.
  bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    std::uint8_t* dst = out.Rgb.data() + std::size_t(cinfo.output_scanline) * std::size_t(out.Width) * 3;
    jpeg_read_scanlines(&cinfo, row, 1);
    const JSAMPLE* src = row[0];
    if (!cmyk) {
      std::memcpy(dst, src, std::size_t(out.Width) * 3);
      continue;
    }
    for (int x = 0; x < out.Width; ++x, src += 4, dst += 3) {
      int c = src[0], m = src[1], y = src[2], k = src[3];
      if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
      }
      dst[0] = static_cast<std::uint8_t>(c * k / 255);
      dst[1] = static_cast<std::uint8_t>(m * k / 255);
      dst[2] = static_cast<std::uint8_t>(y * k / 255);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Compresses R, G, B rows; the result is a buffer libjpeg allocated with
// malloc, handed to the caller (who frees it) only on success.
bool EncodeRaw(const RawImage& in, int quality, unsigned char*& outData, unsigned long& outSize,
               ErrorManager& err) {
  jpeg_compress_struct cinfo;
  outData = nullptr;
  outSize = 0;
  InitErrors(err);
  cinfo.err = &err.Base;
  if (setjmp(err.Jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(outData);
    outData = nullptr;
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &outData, &outSize);
  cinfo.image_width = static_cast<JDIMENSION>(in.Width);
  cinfo.image_height = static_cast<JDIMENSION>(in.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(in.Rgb.data() + std::size_t(cinfo.next_scanline) * std::size_t(in.Width) * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

// ---- TJPEGImage ----

TJPEGImage::~TJPEGImage() { ::Free(FBitmap); }

TBitmap* TJPEGImage::Decode(const std::uint8_t* Data, std::size_t Size) {
  RawImage raw;
  ErrorManager err;
  if (!DecodeRaw(Data, Size, raw, err)) throw EInvalidGraphic("Invalid JPEG picture: %s", {AnsiString(err.Message)});
  TBitmap* bitmap = New<TBitmap>();
  try {
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(raw.Width, raw.Height);
    for (int y = 0; y < raw.Height; ++y) {
      auto* dst = static_cast<std::uint8_t*>(bitmap->GetScanLine(y));
      const std::uint8_t* src = raw.Rgb.data() + std::size_t(y) * std::size_t(raw.Width) * 3;
      for (int x = 0; x < raw.Width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    }
  } catch (...) {
    bitmap->Free();
    throw;
  }
  return bitmap;
}

void TJPEGImage::Replace(std::vector<std::uint8_t> Data, TBitmap* Bitmap) {
  ::Free(FBitmap);
  FData = std::move(Data);
  FBitmap = Bitmap;
  FWidth = Bitmap ? Bitmap->GetWidth() : 0;
  FHeight = Bitmap ? Bitmap->GetHeight() : 0;
  Changed(this);
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value) {
  FCompressionQuality = std::clamp(Value, 1, 100);
}

void TJPEGImage::DoAssign(TPersistent* Source) {
  if (!Source) {
    Replace({}, nullptr);
  } else if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    TBitmap* copy = nullptr;
    if (j->FBitmap) {
      copy = New<TBitmap>();
      copy->Assign(j->FBitmap);
    }
    FCompressionQuality = j->FCompressionQuality;
    Replace(j->FData, copy);
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    // The pixels as they are drawn, kept at 24 bits, since that is all a
    // JPEG file holds.
    TBitmap* copy = New<TBitmap>();
    try {
      copy->Assign(g);
      copy->SetTransparent(false);
      copy->SetPixelFormat(pf24bit);
    } catch (...) {
      copy->Free();
      throw;
    }
    if (copy->Empty()) {
      copy->Free();
      copy = nullptr;
    }
    Replace({}, copy);
  } else {
    inherited::DoAssign(Source);
  }
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest))
    b->Assign(FBitmap);
  else
    inherited::AssignTo(Dest);
}

void TJPEGImage::Compress() {
  if (Empty() || !FBitmap) return;
  RawImage raw;
  raw.Width = FWidth;
  raw.Height = FHeight;
  raw.Rgb.resize(std::size_t(FWidth) * std::size_t(FHeight) * 3);
  for (int y = 0; y < FHeight; ++y) {
    const auto* src = static_cast<const std::uint8_t*>(FBitmap->GetScanLine(y));
    std::uint8_t* dst = raw.Rgb.data() + std::size_t(y) * std::size_t(FWidth) * 3;
    for (int x = 0; x < FWidth; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  ErrorManager err;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (!EncodeRaw(raw, FCompressionQuality, out, size, err))
    throw EInvalidGraphic("Cannot compress the JPEG picture: %s", {AnsiString(err.Message)});
  FData.assign(out, out + size);
  std::free(out);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  TBitmap* bitmap = nullptr;
  if (!ReadPicture(Stream, bytes, [&bitmap](const Byte* data, std::size_t size) {
        bitmap = Decode(data, size);
        return size;
      }))
    return;
  Replace(std::move(bytes), bitmap);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  if (FData.empty()) Compress();
  Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

void TJPEGImage::LoadFromClipboardFormat(Word AFormat, HANDLE AData, HPALETTE APalette) {
  if (AFormat != CF_BITMAP) throw EInvalidGraphic("Unsupported clipboard format");
  TBitmap* bitmap = New<TBitmap>();
  try {
    bitmap->LoadFromClipboardFormat(AFormat, AData, APalette);
    Assign(bitmap);
  } catch (...) {
    bitmap->Free();
    throw;
  }
  bitmap->Free();
}

void TJPEGImage::SaveToClipboardFormat(Word& AFormat, HANDLE& AData, HPALETTE& APalette) {
  AFormat = 0;
  AData = nullptr;
  APalette = nullptr;
  if (FBitmap) FBitmap->SaveToClipboardFormat(AFormat, AData, APalette);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap);
}

ORV_REGISTER(TJPEGImage)
