// Colours and the drawing tools of the class library: fonts, pens and
// brushes. Each tool keeps a description (what the properties say) and the
// drawing handle made from it on first use; a change of a property that the
// handle depends on lets the handle go, and every real change is announced
// once through OnChange, which is how a canvas learns to select the tool
// again.
#pragma once

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypeInfo.h"

class TBitmap;

// ---- Colours ----

// A system colour is clSystemColor + its colour-table index.
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | win::COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | win::COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | win::COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | win::COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | win::COLOR_MENU;
constexpr TColor clWindow = clSystemColor | win::COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | win::COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | win::COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | win::COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | win::COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | win::COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | win::COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | win::COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | win::COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | win::COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | win::COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | win::COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | win::COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | win::COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | win::COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | win::COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | win::COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | win::COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | win::COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | win::COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | win::COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | win::COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | win::COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | win::COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | win::COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// The RGB value of a colour: system colours through the colour table as it
// is now; clNone, clDefault and plain colours unchanged.
TColor ColorToRGB(TColor Color);

// Colour names for layouts ("clBtnFace"); other values as "$00BBGGRR".
bool ColorToIdent(Integer Color, AnsiString& Ident);
bool IdentToColor(const AnsiString& Ident, Integer& Color);
AnsiString ColorToString(TColor Color);
// A name or a number; anything else raises EConvertError.
TColor StringToColor(const AnsiString& S);
// Type information of colour properties: read and written by name.
const TTypeInfo* ColorTypeInfo();

// ---- Tool descriptions ----

ORV_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = Set<TFontStyle>;
ORV_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = Byte;
// Character set names for layouts ("DEFAULT_CHARSET").
bool CharsetToIdent(Integer Charset, AnsiString& Ident);
bool IdentToCharset(const AnsiString& Ident, Integer& Charset);
const TTypeInfo* CharsetTypeInfo();
using TFontName = AnsiString;

ORV_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
ORV_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
         pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
ORV_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

// The binary raster operation of a pen mode (R2_*).
int PenModeToRop2(TPenMode Mode);

// The base of the drawing tools: a change notification that can be held
// back while several properties change, so that one Assign announces
// itself once.
class TGraphicsObject : public TPersistent {
  ORV_CLASS(TGraphicsObject, TPersistent)
 public:
  TNotifyEvent OnChange;

 protected:
  TGraphicsObject() = default;
  // Announces a change now, or once the outermost update ends.
  virtual void Changed();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

 private:
  int FUpdateCount = 0;
  bool FChangedWhileUpdating = false;
};

// A text font. Size is in points at 96 pixels per inch; Height is the
// character height in pixels, negative as the platform's font descriptions
// have it (Size 8 = Height -11). Handle is made on first use; a handle
// given from outside is taken over (the font deletes it) and its
// description becomes the font's properties.
class TFont : public TGraphicsObject {
  ORV_CLASS(TFont, TGraphicsObject)
 public:
  TFont();
  ~TFont() override;

  const TFontName& GetName() const { return FName; }
  void SetName(const TFontName& Value);
  Integer GetSize() const;
  void SetSize(Integer Value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer Value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  Integer GetPixelsPerInch() const { return FPixelsPerInch; }

  win::HFONT GetHandle();
  void SetHandle(win::HFONT Value);
  // The description the handle is made from.
  win::LOGFONTA GetLogFont() const;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void ReleaseHandle();
  void DescriptionChanged();

  TFontName FName;
  Integer FHeight;
  TFontStyles FStyle;
  TColor FColor;
  TFontCharset FCharset;
  TFontPitch FPitch = fpDefault;
  Integer FPixelsPerInch = 96;
  win::HFONT FHandle = nullptr;
  bool FForeignHandle = false;  // given through SetHandle, not made here
};

class TPen : public TGraphicsObject {
  ORV_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  ~TPen() override;

  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  Integer GetWidth() const { return FWidth; }
  // Widths below 1 are taken as 1.
  void SetWidth(Integer Value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // The mode is a DC setting, not part of the handle.
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode Value);

  win::HPEN GetHandle();
  // Takes the handle over and reads its colour, width and style.
  void SetHandle(win::HPEN Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void ReleaseHandle();

  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  win::HPEN FHandle = nullptr;
};

// A fill. A brush whose colour is clNone or clDefault paints nothing, like
// a clear one: its handle is a hollow brush. Bitmap (not owned) makes a
// pattern brush of the bitmap's pixels as they are when the handle is
// made; the bitmap must outlive its use here or be set back to nil.
class TBrush : public TGraphicsObject {
  ORV_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  ~TBrush() override;

  TColor GetColor() const { return FColor; }
  // A colour other than clNone and clDefault makes a clear brush solid.
  void SetColor(TColor Value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  TBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

  // True when the brush paints nothing (bsClear, clNone or clDefault,
  // and no pattern bitmap).
  bool IsClear() const;

  win::HBRUSH GetHandle();
  // Takes the handle over and reads its colour and style.
  void SetHandle(win::HBRUSH Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void ReleaseHandle();

  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  win::HBRUSH FHandle = nullptr;
};
