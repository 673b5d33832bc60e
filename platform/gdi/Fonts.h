// Fonts: LOGFONTA, the HFONT object and the realised faces behind it.
//
// A font handle keeps the LOGFONTA exactly as created (GetObjectA answers
// it unchanged). The first time text is measured or drawn with it, the
// description is realised: the face name goes through the substitution
// table, fontconfig picks the file, FreeType opens it at the pixel size.
// Realisations are shared by every handle with the same description, so a
// painter that creates and deletes the same font per paint costs one table
// lookup.
//
// The screen is 96 dots per inch whatever the display reports: layouts are
// in pixels and must not move with the host's setting.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/GdiObjects.h"

namespace win {

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};
using LOGFONT = LOGFONTA;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE OEM_CHARSET = 255;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

HFONT CreateFontIndirectA(const LOGFONTA* lf);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
inline HFONT CreateFontIndirect(const LOGFONTA* lf) { return CreateFontIndirectA(lf); }

// The face name of the DC's font as it was asked for (the LOGFONT's name,
// not the substitute). Answers the characters copied (with the zero), or
// with a null buffer the length needed.
int GetTextFaceA(HDC hdc, int count, LPSTR faceName);

// Glyph rendering for the whole process: grey-scale anti-aliasing (the
// default) or one bit per pixel, which tests use for exact pixels. Metrics
// are the same in both modes.
enum class TextRenderMode { Grayscale, Monochrome };
void SetTextRenderMode(TextRenderMode mode);
TextRenderMode GetTextRenderMode();

}  // namespace win

namespace win::gdi {

class DC;
class GlyphCache;

// A description realised at one pixel size: the FreeType face and the
// measurements everything else reads. Shared and never changed once made.
struct FontFace {
  ~FontFace();

  void* FtFace = nullptr;  // FT_Face
  std::string File;        // what fontconfig chose
  std::string Family;      // the family of that file
  int EmPixels = 0;        // the em square in pixels
  int EmPixelsX = 0;       // horizontal em (differs with lfWidth)
  bool SynthBold = false;  // the file has no bold of its own
  bool SynthItalic = false;
  bool FixedPitch = false;
  bool Mono = false;       // glyphs rendered one bit per pixel
  long Matrix[4] = {0x10000, 0, 0, 0x10000};  // FreeType's 16.16 rotation (xx, xy, yx, yy)

  // Text metrics in pixels.
  int Ascent = 0, Descent = 0, InternalLeading = 0, ExternalLeading = 0;
  int AveCharWidth = 0, MaxCharWidth = 0;
  int UnderlinePos = 0, UnderlineThickness = 1;  // below the baseline, downwards
  int StrikeoutPos = 0, StrikeoutThickness = 1;  // above the baseline, upwards
  int Escapement = 0;                            // tenths of a degree: 0, 900, 1800 or 2700

  std::unique_ptr<GlyphCache> Glyphs;
  int Height() const { return Ascent + Descent; }
};

class Font : public GdiObject {
 public:
  static constexpr DWORD kType = OBJ_FONT;
  Font() : GdiObject(OBJ_FONT) {}
  int Describe(int size, void* buffer) const override;
  std::string Summary() const override;

  LOGFONTA Log{};
  // Realised on first use; null while the handle was only created or after
  // the cache was flushed (FaceGeneration then differs).
  std::shared_ptr<FontFace> Face;
  unsigned FaceGeneration = 0;
};

// The realised face of a font (realising it now if needed). Never null:
// when no file can be opened at all the call throws, which only happens
// on a machine with no usable fonts.
FontFace& Realize(Font& font);
// The font the DC draws with (the stock system font when none is set).
Font& CurrentFont(const DC& dc);

// Drops every realisation and glyph (after the substitution table or the
// render mode changed). Handles keep working and realise again.
void FlushFontCache();

// The stock fonts, installed by the stock object table on first use.
void EnsureStockFonts();

// Begins reading fontconfig's configuration on a thread of its own. The
// reading (some eighty files of XML on a usual system) is most of what the
// first realised font costs; a program that calls this as it starts does
// its other start-up work meanwhile, and the first font waits only for
// what is left. Without the call the first font reads the configuration
// itself. Calling it again does nothing.
void StartFontConfiguration();

}  // namespace win::gdi
