#include "platform/gdi/Fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <future>
#include <map>
#include <mutex>
#include <tuple>
#include <stdexcept>
#include <vector>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontMatchStore.h"
#include "platform/gdi/FontSubstitution.h"
#include "platform/gdi/GlyphCache.h"

namespace win {

namespace {
TextRenderMode renderMode = TextRenderMode::Grayscale;
}

void SetTextRenderMode(TextRenderMode mode) {
  if (mode == renderMode) return;
  renderMode = mode;
  gdi::FlushFontCache();
}

TextRenderMode GetTextRenderMode() { return renderMode; }

}  // namespace win

namespace win::gdi {

namespace {

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) throw std::runtime_error("FreeType could not be initialised");
    return l;
  }();
  return lib;
}

// What realises identically: two descriptions with the same key share a
// face. The face name is folded because fontconfig and the table ignore
// case.
struct FaceKey {
  std::string Face;
  int Height, Width, Weight, Escapement;
  bool Italic, Fixed, Mono;
  bool operator<(const FaceKey& o) const {
    return std::tie(Face, Height, Width, Weight, Escapement, Italic, Fixed, Mono) <
           std::tie(o.Face, o.Height, o.Width, o.Weight, o.Escapement, o.Italic, o.Fixed, o.Mono);
  }
};

using Match = FontMatch;

// Descriptions kept realised past the last handle that asked for them.
constexpr std::size_t kKeptFaces = 64;

// Faces by the description asked for, and by the family that stands in
// for it: descriptions that differ only in a face name the table maps to
// the same family ("Tahoma", "MS Shell Dlg") share one realisation, its
// file opened once and its glyphs rendered once. fontconfig's answers are
// kept by family, weight and slant, which is all they depend on: a new
// size of a face costs no match.
//
// Faces no font handle holds are kept for the next handle that asks (a
// painter that makes its font per paint), but only the most recently asked
// for: each face keeps its glyph bitmaps, and a program that zooms through
// sizes would otherwise keep every size it ever showed.
struct FaceCache {
  struct Entry {
    std::shared_ptr<FontFace> Face;
    unsigned long long Asked = 0;  // when a handle last asked for it
  };
  std::map<FaceKey, Entry> Faces;
  std::map<FaceKey, std::shared_ptr<FontFace>> ByFamily;
  std::map<std::tuple<std::string, int, bool>, std::shared_ptr<const Match>> Matches;
  unsigned Generation = 1;
  unsigned long long Clock = 0;
  // Past this many descriptions the faces no handle holds are let go; then
  // twice what is left, so trimming costs each realisation a constant share.
  std::size_t TrimAt = kKeptFaces;
};

FaceCache& Cache() {
  static FaceCache c;
  return c;
}

bool SameFamily(const char* a, const std::string& b) {
  return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a), reinterpret_cast<const FcChar8*>(b.c_str())) == 0;
}

static_assert(FC_WEIGHT_REGULAR == 80 && FC_SLANT_ROMAN == 0, "FontMatch's defaults are fontconfig's");

// fontconfig's configuration, read once: early on a thread of its own
// (StartFontConfiguration) or by the first match.
struct Configuration {
  std::once_flag started;
  std::shared_future<bool> read;
};

Configuration& TheConfiguration() {
  static Configuration c;
  return c;
}

bool ReadConfiguration(bool early) {
  // Read ahead of time, the reading gives way: the thread that builds the
  // windows must not wait for the processor behind it (woken from a round
  // trip to the display, it could be queued behind the reading for a whole
  // time slice). Niceness belongs to the thread on Linux.
  if (early) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
  return FcInit() == FcTrue;
}

void BeginReading(std::launch how) {
  Configuration& c = TheConfiguration();
  std::call_once(c.started, [&c, how] {
    c.read = std::async(how, ReadConfiguration, how == std::launch::async).share();
    // fontconfig keeps its configuration until told otherwise; release it
    // at exit so leak checkers see a clean process (after a reading still
    // under way has ended).
    std::atexit([] {
      if (TheConfiguration().read.get()) FcFini();
    });
  });
}

bool ConfigurationReady() {
  static const bool ready = [] {
    BeginReading(std::launch::deferred);
    return TheConfiguration().read.get();
  }();
  return ready;
}

bool AskFontconfig(const std::string& family, int weight, bool italic, Match& out);

// Asks fontconfig for a family in a weight and slant; answers false when
// what it offers is another family (fontconfig always offers something).
// An answer the program's store still holds is taken from there.
bool MatchFamily(const std::string& family, int weight, bool italic, Match& out) {
  if (IsFamilyHidden(family)) return false;
  FontMatchStore* store = ActiveFontMatchStore();
  bool installed = false;
  if (store && store->Find(family, weight, italic, installed, out)) return installed;
  if (!ConfigurationReady()) return false;
  const bool found = AskFontconfig(family, weight, italic, out);
  if (store) store->Remember(family, weight, italic, found ? &out : nullptr);
  return found;
}

bool AskFontconfig(const std::string& family, int weight, bool italic, Match& out) {
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? FW_NORMAL : weight));
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  if (!found) return false;
  bool ok = false;
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    if (SameFamily(reinterpret_cast<const char*>(s), family)) ok = true;
  FcChar8* file = nullptr;
  if (ok && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
    out.File = reinterpret_cast<const char*>(file);
    out.Family = family;
    FcPatternGetInteger(found, FC_INDEX, 0, &out.Index);
    FcPatternGetInteger(found, FC_WEIGHT, 0, &out.FcWeight);
    FcPatternGetInteger(found, FC_SLANT, 0, &out.FcSlant);
  } else {
    ok = false;
  }
  FcPatternDestroy(found);
  return ok;
}

int CeilDiv(long long a, long long b) { return int((a + b - 1) / b); }
int RoundDiv(long long a, long long b) { return int(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b)); }

// Opens the file and works out the pixel size and the metrics.
std::shared_ptr<FontFace> Open(const LOGFONTA& lf, const Match& m, const FaceKey& key) {
  FT_Face ft = nullptr;
  if (FT_New_Face(Library(), m.File.c_str(), m.Index, &ft) != 0) return nullptr;
  if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0 || !FT_IS_SCALABLE(ft)) {
    FT_Done_Face(ft);
    return nullptr;
  }
  auto face = std::make_shared<FontFace>();
  face->FtFace = ft;
  face->File = m.File;
  face->Family = m.Family;
  face->Mono = key.Mono;
  face->FixedPitch = FT_IS_FIXED_WIDTH(ft);

  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  const TT_HoriHeader* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  const long long upem = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
  long long winA = os2 && os2->version != 0xFFFF ? os2->usWinAscent : ft->ascender;
  long long winD = os2 && os2->version != 0xFFFF ? os2->usWinDescent : -ft->descender;
  if (winA + winD <= 0) {
    winA = upem * 4 / 5;
    winD = upem / 5;
  }

  // A negative height is the em in pixels, a positive one the whole cell;
  // the cell then holds the largest em that fits it. Worked out in 64 bits:
  // the most negative height has no 32-bit size.
  const long long cell = lf.lfHeight == 0 ? 16 : lf.lfHeight;
  int em = int(std::min<long long>(cell < 0 ? -cell : cell * upem / (winA + winD), 2000));
  // Ascent and descent round up each on its own; shrink until the cell holds.
  if (cell > 0)
    while (em > 1 && CeilDiv(winA * em, upem) + CeilDiv(winD * em, upem) > cell) --em;
  if (em < 1) em = 1;
  face->EmPixels = em;

  // A width asks for that average character width: scale the em
  // horizontally to get it.
  int emX = em;
  const long long avgUnits = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
  if (lf.lfWidth > 0) {
    // Held to the widest em before it becomes an int: the widest widths
    // would not fit one.
    emX = int(std::clamp<long long>((static_cast<long long>(lf.lfWidth) * upem + avgUnits / 2) / avgUnits, 1, 4000));
  }
  face->EmPixelsX = emX;
  if (FT_Set_Pixel_Sizes(ft, FT_UInt(emX), FT_UInt(em)) != 0) return nullptr;

  face->Ascent = CeilDiv(winA * em, upem);
  face->Descent = CeilDiv(winD * em, upem);
  face->InternalLeading = face->Ascent + face->Descent - em;
  if (face->InternalLeading < 0) face->InternalLeading = 0;
  if (hhea) {
    long long line = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
    long long extra = line - (winA + winD);
    face->ExternalLeading = extra > 0 ? RoundDiv(extra * em, upem) : 0;
  }
  face->AveCharWidth = RoundDiv(avgUnits * emX, upem);
  if (face->AveCharWidth < 1) face->AveCharWidth = 1;
  face->MaxCharWidth = RoundDiv(static_cast<long long>(ft->max_advance_width) * emX, upem);

  face->UnderlineThickness = std::max(1, RoundDiv(static_cast<long long>(ft->underline_thickness) * em, upem));
  face->UnderlinePos = std::max(1, RoundDiv(-static_cast<long long>(ft->underline_position) * em, upem));
  if (face->UnderlinePos + face->UnderlineThickness > face->Descent)
    face->UnderlinePos = std::max(0, face->Descent - face->UnderlineThickness);
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    face->StrikeoutThickness = std::max(1, RoundDiv(os2->yStrikeoutSize * em, upem));
    face->StrikeoutPos = RoundDiv(os2->yStrikeoutPosition * em, upem);
  } else {
    face->StrikeoutPos = face->Ascent / 3;
  }

  // Weight and slant the file lacks are synthesised.
  face->SynthBold = key.Weight >= FW_SEMIBOLD && m.FcWeight < FC_WEIGHT_DEMIBOLD;
  face->SynthItalic = key.Italic && m.FcSlant == FC_SLANT_ROMAN;

  face->Escapement = key.Escapement;
  if (key.Escapement != 0) {
    double a = key.Escapement * M_PI / 1800.0;
    double c = std::cos(a), s = std::sin(a);
    // Exact quarter turns stay exact.
    auto fix = [](double v) { return long(std::lround(v * 65536.0)); };
    face->Matrix[0] = fix(c);
    face->Matrix[1] = fix(-s);
    face->Matrix[2] = fix(s);
    face->Matrix[3] = fix(c);
    FT_Matrix mat{face->Matrix[0], face->Matrix[1], face->Matrix[2], face->Matrix[3]};
    FT_Set_Transform(ft, &mat, nullptr);
  }
  face->Glyphs = std::make_unique<GlyphCache>(*face);
  return face;
}

FaceKey KeyOf(const LOGFONTA& lf) {
  FaceKey k;
  char name[LF_FACESIZE + 1];
  std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
  name[LF_FACESIZE] = 0;
  for (char* p = name; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = char(*p - 'A' + 'a');
  k.Face = name;
  k.Height = lf.lfHeight;
  k.Width = int(std::min<long long>(std::llabs(lf.lfWidth), INT_MAX));
  k.Weight = lf.lfWeight <= 0 ? FW_NORMAL : (lf.lfWeight > 1000 ? 1000 : lf.lfWeight);
  int e = lf.lfEscapement % 3600;
  k.Escapement = e < 0 ? e + 3600 : e;
  k.Italic = lf.lfItalic != 0;
  k.Fixed = WantsFixedPitch(name, lf.lfPitchAndFamily);
  k.Mono = GetTextRenderMode() == TextRenderMode::Monochrome || lf.lfQuality == NONANTIALIASED_QUALITY;
  return k;
}

// fontconfig's file for a family in a weight and slant, null when the
// family is not installed; asked once.
const Match* MatchOf(FaceCache& cache, const std::string& family, int weight, bool italic) {
  auto [it, added] = cache.Matches.try_emplace({family, weight, italic});
  if (added) {
    auto m = std::make_shared<Match>();
    if (MatchFamily(family, weight, italic, *m)) it->second = std::move(m);
  }
  return it->second.get();
}

// Lets go of the faces only the cache holds, those asked for longest ago
// first, until at most kKeptFaces descriptions remain (the faces handles
// hold always stay).
void Trim(FaceCache& cache) {
  struct Use {
    long CacheRefs = 0;     // the cache's own references to the face
    std::size_t Keys = 0;   // descriptions that realise to it
    unsigned long long Asked = 0;
  };
  std::map<const FontFace*, Use> uses;
  for (const auto& [key, e] : cache.Faces) {
    Use& u = uses[e.Face.get()];
    ++u.CacheRefs;
    ++u.Keys;
    u.Asked = std::max(u.Asked, e.Asked);
  }
  for (const auto& [key, f] : cache.ByFamily) ++uses[f.get()].CacheRefs;
  std::vector<std::pair<unsigned long long, const FontFace*>> idle;
  for (const auto& [key, e] : cache.Faces) {
    const Use& u = uses[e.Face.get()];
    if (e.Face.use_count() == u.CacheRefs && u.Asked == e.Asked) idle.emplace_back(u.Asked, e.Face.get());
  }
  std::sort(idle.begin(), idle.end());
  std::size_t described = cache.Faces.size();
  std::map<const FontFace*, bool> drop;
  for (const auto& [asked, face] : idle) {
    if (described <= kKeptFaces) break;
    if (drop.emplace(face, true).second) described -= uses[face].Keys;
  }
  std::erase_if(cache.Faces, [&](const auto& kv) { return drop.count(kv.second.Face.get()) != 0; });
  std::erase_if(cache.ByFamily, [&](const auto& kv) { return drop.count(kv.second.get()) != 0; });
  cache.TrimAt = std::max(kKeptFaces, 2 * cache.Faces.size());
}

std::shared_ptr<FontFace> RealizeKey(const LOGFONTA& lf) {
  FaceKey key = KeyOf(lf);
  FaceCache& cache = Cache();
  auto it = cache.Faces.find(key);
  if (it != cache.Faces.end()) {
    it->second.Asked = ++cache.Clock;
    return it->second.Face;
  }
  LOGFONTA fixed = lf;
  fixed.lfWidth = key.Width;
  std::vector<std::string> candidates;
  SubstituteCandidates(key.Face.c_str(), key.Fixed ? BYTE(FIXED_PITCH) : lf.lfPitchAndFamily, candidates);
  std::shared_ptr<FontFace> face;
  for (const std::string& family : candidates) {
    // What Open reads: the family's file and everything of the description
    // but the face name and the pitch (which only chose the candidates).
    FaceKey same = key;
    same.Face = family;
    same.Fixed = false;
    if (auto shared = cache.ByFamily.find(same); shared != cache.ByFamily.end()) {
      face = shared->second;
      break;
    }
    if (const Match* m = MatchOf(cache, family, key.Weight, key.Italic)) face = Open(fixed, *m, key);
    if (face) {
      cache.ByFamily.emplace(same, face);
      break;
    }
  }
  if (!face) throw std::runtime_error("No usable font is installed (looked for " + candidates.front() + ")");
  cache.Faces.emplace(key, FaceCache::Entry{face, ++cache.Clock});
  if (cache.Faces.size() > cache.TrimAt) Trim(cache);
  return face;
}

std::string FaceName(const LOGFONTA& lf) {
  char name[LF_FACESIZE + 1];
  std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
  name[LF_FACESIZE] = 0;
  return name;
}

Font* MakeFont(const LOGFONTA& lf) {
  auto* f = new Font;
  f->Log = lf;
  // The name is kept as given but always terminated.
  f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
  return f;
}

Font* StockFont(LONG height, LONG weight, BYTE pitch, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfPitchAndFamily = pitch;
  std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
  return MakeFont(lf);
}

}  // namespace

FontFace::~FontFace() {
  Glyphs.reset();
  if (FtFace) FT_Done_Face(static_cast<FT_Face>(FtFace));
}

int Font::Describe(int size, void* buffer) const {
  if (!buffer) return int(sizeof(LOGFONTA));
  if (size < int(sizeof(LOGFONTA))) return 0;
  std::memcpy(buffer, &Log, sizeof(LOGFONTA));
  return int(sizeof(LOGFONTA));
}

std::string Font::Summary() const {
  char buf[128];
  std::snprintf(buf, sizeof buf, "\"%s\" %d w%d%s%s%s", FaceName(Log).c_str(), int(Log.lfHeight), int(Log.lfWeight),
                Log.lfItalic ? " italic" : "", Log.lfUnderline ? " underline" : "", Log.lfStrikeOut ? " strikeout" : "");
  std::string s = buf;
  if (Log.lfEscapement) s += " esc" + std::to_string(Log.lfEscapement);
  return s;
}

FontFace& Realize(Font& font) {
  if (!font.Face || font.FaceGeneration != Cache().Generation) {
    font.Face = RealizeKey(font.Log);
    font.FaceGeneration = Cache().Generation;
  }
  return *font.Face;
}

Font& CurrentFont(const DC& dc) {
  GdiObject* o = dc.S.CurFont;
  if (o && o->Type == OBJ_FONT) return *static_cast<Font*>(o);
  return *static_cast<Font*>(StockObject(SYSTEM_FONT));
}

void FlushFontCache() {
  FaceCache& c = Cache();
  c.TrimAt = kKeptFaces;
  c.Faces.clear();
  c.ByFamily.clear();
  c.Matches.clear();
  ++c.Generation;
}

void StartFontConfiguration() { BeginReading(std::launch::async); }

void EnsureStockFonts() {
  static bool made = false;
  if (made) return;
  made = true;
  SetStockObject(SYSTEM_FONT, StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System"));
  SetStockObject(DEVICE_DEFAULT_FONT, StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System"));
  SetStockObject(DEFAULT_GUI_FONT, StockFont(-11, FW_NORMAL, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg"));
  SetStockObject(ANSI_VAR_FONT, StockFont(13, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif"));
  SetStockObject(ANSI_FIXED_FONT, StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier"));
  SetStockObject(OEM_FIXED_FONT, StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal"));
  SetStockObject(SYSTEM_FIXED_FONT, StockFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys"));
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
  if (!lf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return reinterpret_cast<HFONT>(Register(MakeFont(*lf)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strikeOut);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", faceName);
  return CreateFontIndirectA(&lf);
}

int GetTextFaceA(HDC hdc, int count, LPSTR faceName) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::string name = FaceName(CurrentFont(*dc).Log);
  if (!faceName) return int(name.size()) + 1;
  if (count <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t n = std::min(name.size(), std::size_t(count - 1));
  std::memcpy(faceName, name.data(), n);
  faceName[n] = 0;
  return int(n) + 1;
}

}  // namespace win
