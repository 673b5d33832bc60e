#include "platform/forms/Graphics.h"

#include <algorithm>
#include <cstring>

#include "platform/forms/Bitmap.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/PenBrush.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/NumberText.h"
#include "platform/win/Metrics.h"

// ---- Colours ----

TColor ColorToRGB(TColor Color) {
  if (Color < 0) return static_cast<TColor>(win::GetSysColor(Color & 0xFF));
  return Color;
}

namespace {

struct ColorName {
  TColor Value;
  const char* Name;
};

// Plain colours first, so a value that has two names (clSilver and
// clLtGray) writes as the first.
constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

struct CharsetName {
  Integer Value;
  const char* Name;
};

constexpr CharsetName kCharsetNames[] = {
    {0, "ANSI_CHARSET"},          {1, "DEFAULT_CHARSET"},      {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},          {128, "SHIFTJIS_CHARSET"},   {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},       {134, "GB2312_CHARSET"},     {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},       {162, "TURKISH_CHARSET"},    {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},      {178, "ARABIC_CHARSET"},     {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"},     {222, "THAI_CHARSET"},       {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
};

bool IdentToCharsetValue(const AnsiString& ident, Int64& value) {
  Integer c;
  if (!IdentToCharset(ident, c)) return false;
  value = c;
  return true;
}

bool CharsetValueToIdent(Int64 value, AnsiString& ident) { return CharsetToIdent(static_cast<Integer>(value), ident); }

bool IdentToColorValue(const AnsiString& ident, Int64& value) {
  Integer c;
  if (!IdentToColor(ident, c)) return false;
  value = c;
  return true;
}

bool ColorValueToIdent(Int64 value, AnsiString& ident) { return ColorToIdent(static_cast<Integer>(value), ident); }

}  // namespace

bool ColorToIdent(Integer Color, AnsiString& Ident) {
  for (const ColorName& n : kColorNames)
    if (n.Value == Color) {
      Ident = n.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const AnsiString& Ident, Integer& Color) {
  for (const ColorName& n : kColorNames)
    if (SameText(Ident, n.Name)) {
      Color = n.Value;
      return true;
    }
  return false;
}

AnsiString ColorToString(TColor Color) {
  AnsiString s;
  if (ColorToIdent(Color, s)) return s;
  return "$" + IntToHex(Color, 8);
}

TColor StringToColor(const AnsiString& S) {
  Integer c;
  if (IdentToColor(S, c)) return c;
  return StrToInt(S);
}

const TTypeInfo* ColorTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = "TColor";
    t.OrdType = otSLong;
    t.MinValue = INT32_MIN;
    t.MaxValue = INT32_MAX;
    t.IdentToInt = &IdentToColorValue;
    t.IntToIdent = &ColorValueToIdent;
    return t;
  }();
  return &info;
}

bool CharsetToIdent(Integer Charset, AnsiString& Ident) {
  for (const CharsetName& n : kCharsetNames)
    if (n.Value == Charset) {
      Ident = n.Name;
      return true;
    }
  return false;
}

bool IdentToCharset(const AnsiString& Ident, Integer& Charset) {
  for (const CharsetName& n : kCharsetNames)
    if (SameText(Ident, n.Name)) {
      Charset = n.Value;
      return true;
    }
  return false;
}

const TTypeInfo* CharsetTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkInteger;
    t.Name = "TFontCharset";
    t.OrdType = otUByte;
    t.MinValue = 0;
    t.MaxValue = 255;
    t.IdentToInt = &IdentToCharsetValue;
    t.IntToIdent = &CharsetValueToIdent;
    return t;
  }();
  return &info;
}

int PenModeToRop2(TPenMode Mode) {
  static constexpr int kRop2[] = {win::R2_BLACK,       win::R2_WHITE,      win::R2_NOP,         win::R2_NOT,
                                  win::R2_COPYPEN,     win::R2_NOTCOPYPEN, win::R2_MERGEPENNOT, win::R2_MASKPENNOT,
                                  win::R2_MERGENOTPEN, win::R2_MASKNOTPEN, win::R2_MERGEPEN,    win::R2_NOTMERGEPEN,
                                  win::R2_MASKPEN,     win::R2_NOTMASKPEN, win::R2_XORPEN,      win::R2_NOTXORPEN};
  return Mode >= pmBlack && Mode <= pmNotXor ? kRop2[Mode] : win::R2_COPYPEN;
}

// ---- TGraphicsObject ----

void TGraphicsObject::Changed() {
  if (FUpdateCount > 0) {
    FChangedWhileUpdating = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TGraphicsObject::EndUpdate() {
  if (--FUpdateCount == 0 && FChangedWhileUpdating) {
    FChangedWhileUpdating = false;
    Changed();
  }
}

// ---- TFont ----

TFont::TFont() : FName("MS Sans Serif"), FHeight(-11), FColor(clWindowText), FCharset(win::DEFAULT_CHARSET) {}

TFont::~TFont() { ReleaseHandle(); }

void TFont::ReleaseHandle() {
  // A DC that still holds the handle keeps the object until it selects
  // another one.
  if (FHandle) win::DeleteObject(FHandle);
  FHandle = nullptr;
  FForeignHandle = false;
}

void TFont::DescriptionChanged() {
  ReleaseHandle();
  Changed();
}

void TFont::DoAssign(TPersistent* Source) {
  auto* src = dynamic_cast<TFont*>(Source);
  if (!src) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  try {
    SetName(src->FName);
    SetHeight(src->FHeight);
    SetStyle(src->FStyle);
    SetCharset(src->FCharset);
    SetPitch(src->FPitch);
    SetColor(src->FColor);
    // A handle given from outside may say more than the properties (an
    // escapement); the copy is the source's font, not that one.
    if (FForeignHandle) DescriptionChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TFont::SetName(const TFontName& Value) {
  // An empty name keeps the current face, as the platform would pick one
  // at random.
  if (Value.empty() || Value == FName) return;
  FName = Value;
  DescriptionChanged();
}

Integer TFont::GetSize() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(Integer Value) {
  // The pixels of that many points, rounded as MulDiv rounds, but worked
  // out in 64 bits: a size whose height lies past the range gets the
  // largest height rather than MulDiv's -1 (a one-pixel font).
  const Int64 pixels = static_cast<Int64>(Value) * FPixelsPerInch;
  SetHeight(ClampToInteger(-((pixels >= 0 ? pixels + 36 : pixels - 36) / 72)));
}

void TFont::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  DescriptionChanged();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  DescriptionChanged();
}

void TFont::SetColor(TColor Value) {
  // The colour is a DC setting; the handle stays.
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  DescriptionChanged();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  DescriptionChanged();
}

win::LOGFONTA TFont::GetLogFont() const {
  win::LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? win::FW_BOLD : win::FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = win::OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = win::CLIP_DEFAULT_PRECIS;
  lf.lfQuality = win::DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == fpFixed      ? win::FIXED_PITCH
                        : FPitch == fpVariable ? win::VARIABLE_PITCH
                                               : win::DEFAULT_PITCH;
  std::size_t n = std::min<std::size_t>(FName.size(), win::LF_FACESIZE - 1);
  std::memcpy(lf.lfFaceName, FName.data(), n);
  return lf;
}

win::HFONT TFont::GetHandle() {
  if (!FHandle) {
    win::LOGFONTA lf = GetLogFont();
    FHandle = win::CreateFontIndirectA(&lf);
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TFont::SetHandle(win::HFONT Value) {
  if (Value == FHandle) return;
  win::LOGFONTA lf{};
  if (Value && win::GetObjectA(Value, sizeof lf, &lf) != sizeof lf)
    throw EInvalidOperation("Invalid font handle");
  ReleaseHandle();
  if (!Value) {
    Changed();
    return;
  }
  // The properties follow the handle's description; the handle itself is
  // kept, with whatever else it says (an escapement), until a property
  // changes again.
  FHandle = Value;
  FForeignHandle = true;
  lf.lfFaceName[win::LF_FACESIZE - 1] = 0;
  if (lf.lfFaceName[0]) FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = {};
  if (lf.lfWeight >= win::FW_SEMIBOLD) FStyle.Include(fsBold);
  if (lf.lfItalic) FStyle.Include(fsItalic);
  if (lf.lfUnderline) FStyle.Include(fsUnderline);
  if (lf.lfStrikeOut) FStyle.Include(fsStrikeOut);
  FCharset = lf.lfCharSet;
  win::BYTE pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == win::FIXED_PITCH ? fpFixed : pitch == win::VARIABLE_PITCH ? fpVariable : fpDefault;
  Changed();
}

// ---- TPen ----

TPen::~TPen() { ReleaseHandle(); }

void TPen::ReleaseHandle() {
  if (FHandle) win::DeleteObject(FHandle);
  FHandle = nullptr;
}

void TPen::DoAssign(TPersistent* Source) {
  auto* src = dynamic_cast<TPen*>(Source);
  if (!src) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  SetColor(src->FColor);
  SetWidth(src->FWidth);
  SetStyle(src->FStyle);
  SetMode(src->FMode);
  EndUpdate();
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  ReleaseHandle();
  Changed();
}

void TPen::SetWidth(Integer Value) {
  Value = std::max(Value, 1);
  if (Value == FWidth) return;
  FWidth = Value;
  ReleaseHandle();
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  ReleaseHandle();
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

win::HPEN TPen::GetHandle() {
  if (!FHandle) {
    // clNone and clDefault are not colours a pen can draw in: such a pen
    // draws nothing.
    bool none = FColor == clNone || FColor == clDefault;
    FHandle = win::CreatePen(none ? win::PS_NULL : static_cast<int>(FStyle), FWidth,
                             static_cast<COLORREF>(ColorToRGB(FColor)) & 0xFFFFFF);
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TPen::SetHandle(win::HPEN Value) {
  if (Value == FHandle) return;
  win::LOGPEN lp{};
  if (Value && win::GetObjectA(Value, sizeof lp, &lp) != sizeof lp) throw EInvalidOperation("Invalid pen handle");
  ReleaseHandle();
  if (Value) {
    FHandle = Value;
    FColor = static_cast<TColor>(lp.lopnColor);
    FWidth = std::max(lp.lopnWidth.X, 1);
    // The pen styles are the platform's style numbers in order.
    win::UINT style = lp.lopnStyle & win::PS_STYLE_MASK;
    FStyle = style <= win::PS_INSIDEFRAME ? static_cast<TPenStyle>(style) : psSolid;
  }
  Changed();
}

// ---- TBrush ----

TBrush::~TBrush() { ReleaseHandle(); }

void TBrush::ReleaseHandle() {
  if (FHandle) win::DeleteObject(FHandle);
  FHandle = nullptr;
}

void TBrush::DoAssign(TPersistent* Source) {
  auto* src = dynamic_cast<TBrush*>(Source);
  if (!src) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  if (src->FColor != FColor || src->FStyle != FStyle || src->FBitmap != FBitmap) {
    FColor = src->FColor;
    FStyle = src->FStyle;
    FBitmap = src->FBitmap;
    ReleaseHandle();
    Changed();
  }
  EndUpdate();
}

bool TBrush::IsClear() const {
  if (FBitmap && !FBitmap->Empty()) return false;
  return FStyle == bsClear || FColor == clNone || FColor == clDefault;
}

void TBrush::SetColor(TColor Value) {
  TBrushStyle style = FStyle == bsClear && Value != clNone && Value != clDefault ? bsSolid : FStyle;
  if (Value == FColor && style == FStyle) return;
  FColor = Value;
  FStyle = style;
  ReleaseHandle();
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle && !FBitmap) return;
  FStyle = Value;
  // A style given explicitly replaces a pattern.
  FBitmap = nullptr;
  ReleaseHandle();
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  ReleaseHandle();
  Changed();
}

win::HBRUSH TBrush::GetHandle() {
  if (!FHandle) {
    if (FBitmap && !FBitmap->Empty()) {
      FHandle = win::CreatePatternBrush(FBitmap->GetHandle());
    } else if (IsClear()) {
      win::LOGBRUSH lb{win::BS_NULL, 0, 0};
      FHandle = win::CreateBrushIndirect(&lb);
    } else {
      auto color = static_cast<COLORREF>(ColorToRGB(FColor)) & 0xFFFFFF;
      FHandle = FStyle == bsSolid ? win::CreateSolidBrush(color)
                                  : win::CreateHatchBrush(FStyle - bsHorizontal + win::HS_HORIZONTAL, color);
    }
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return FHandle;
}

void TBrush::SetHandle(win::HBRUSH Value) {
  if (Value == FHandle) return;
  win::LOGBRUSH lb{};
  if (Value && win::GetObjectA(Value, sizeof lb, &lb) != sizeof lb) throw EInvalidOperation("Invalid brush handle");
  ReleaseHandle();
  if (Value) {
    FHandle = Value;
    FBitmap = nullptr;
    FColor = static_cast<TColor>(lb.lbColor);
    switch (lb.lbStyle) {
      case win::BS_NULL: FStyle = bsClear; break;
      case win::BS_HATCHED:
        FStyle = lb.lbHatch <= win::HS_DIAGCROSS ? static_cast<TBrushStyle>(bsHorizontal + lb.lbHatch) : bsSolid;
        break;
      default: FStyle = bsSolid;
    }
  }
  Changed();
}

ORV_REGISTER(TGraphicsObject)
ORV_REGISTER(TFont, ORV_PROP(Charset).As(CharsetTypeInfo()), ORV_PROP(Color).As(ColorTypeInfo()), ORV_PROP(Height), ORV_PROP(Name),
             ORV_PROP(Pitch).Default(fpDefault), ORV_PROP(Size).Stored(false), ORV_PROP(Style))
ORV_REGISTER(TPen, ORV_PROP(Color).As(ColorTypeInfo()).Default(clBlack), ORV_PROP(Mode).Default(pmCopy),
             ORV_PROP(Style).Default(psSolid), ORV_PROP(Width).Default(1))
ORV_REGISTER(TBrush, ORV_PROP(Color).As(ColorTypeInfo()).Default(clWhite), ORV_PROP(Style).Default(bsSolid))
