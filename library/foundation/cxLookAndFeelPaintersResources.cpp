// The painters' process-wide resources: indicator glyphs, scroll-bar
// patterns, auto-hide pins, the check-box cell size and the radio-button
// images. Each is made on first use and lives until the unit's shut-down.
#include <algorithm>
#include <array>
#include <vector>

#include "library/foundation/cxLookAndFeelPainters.h"
#include "library/foundation/cxPaintBounds.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysBitmaps.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Owned.h"

void cxRegisterPainterBitmaps();

namespace {

TImageList* gIndicatorImages = nullptr;
TBitmap* gScrollBarBitmaps[2] = {nullptr, nullptr};
// The system colours the scroll bar bitmaps were last drawn in.
TColor gScrollBarColours[3] = {clNone, clNone, clNone};
TBitmap* gAutoHideBitmaps[2] = {nullptr, nullptr};
TSize gCheckButtonCellSize{0, 0};
TcxCustomLookAndFeelPainterClass gOffice11RadioPainter;

void RegisterBitmapsOnce() {
  static bool registered = false;
  if (registered) return;
  cxRegisterPainterBitmaps();
  registered = true;
}

TBitmap* LoadResourceBitmap(const char* AName) {
  RegisterBitmapsOnce();
  TBitmap* bitmap = New<TBitmap>();
  try {
    bitmap->LoadFromResourceName(nullptr, AName);
  } catch (...) {
    bitmap->Free();
    throw;
  }
  return bitmap;
}

// ---------------------------------------------------------------------------
// Radio-button images.
//
// The circle and the dot are measured once from the platform's own radio
// glyph, so the painters' radio buttons have the system's size and dot
// position. Every pixel of the circle gets a class (outside, the two halves
// of the outer and inner rings, interior, dot); an image is the class map
// coloured for one combination of kind, state and flags.

enum PixelClass : Byte {
  pcOutside,
  pcOuterLight,  // outer ring, upper-left half
  pcOuterDark,   // outer ring, lower-right half
  pcInnerLight,
  pcInnerDark,
  pcInterior,
  pcDot
};

// The looks of radio images, one per kind of painter.
enum RadioKind : Integer { rkFlat, rkStandard, rkUltraFlat, rkOffice11 };
constexpr Integer kRadioKinds = 4;
constexpr Integer kRadioImageCount = 2 * 2 * kRadioKinds * 2 * 4;

class TcxRadioButtonImageList {
 public:
  TcxRadioButtonImageList() : FImages(New<TImageList>(nullptr)) {}
  ~TcxRadioButtonImageList() {
    FreeAndNil(FImages);
    FreeAndNil(FMask);
  }

  TImageList* Images() { return FImages; }
  TSize Size() const { return {FImages->GetWidth(), FImages->GetHeight()}; }
  Integer ImageIndex(TcxButtonState AState, bool AChecked, Integer AKind, bool AFlagA, bool AFlagB) const;
  void Prepare();
  void Rebuild() {
    FImages->Clear();
    Prepare();
  }

 private:
  void Measure();
  void BuildClassMap();
  void AddImage(TcxButtonState AState, bool AChecked, Integer AKind, bool AFlagA, bool AFlagB);
  Byte& Class(Integer X, Integer Y) { return FClassMap[Y * FCircle.cx + X]; }

  TImageList* FImages;
  TBitmap* FMask = nullptr;
  bool FMeasured = false;
  TPoint FCircleOrigin{0, 0};  // in the glyph cell
  TSize FCircle{0, 0};
  TRect FDot{};  // relative to the circle's origin
  std::vector<Byte> FClassMap;
  std::array<Integer, kRadioImageCount> FIndexTable{};
};

TcxRadioButtonImageList* gRadioButtonImages = nullptr;

// Runs of black pixels along the columns (or rows): the first and the
// count of lines that hold one.
void BlackExtent(TBitmap* ABitmap, bool AColumns, Integer& AFirst, Integer& ACount) {
  AFirst = -1;
  ACount = 0;
  const Integer lines = AColumns ? ABitmap->GetWidth() : ABitmap->GetHeight();
  const Integer length = AColumns ? ABitmap->GetHeight() : ABitmap->GetWidth();
  for (Integer i = 0; i < lines; ++i)
    for (Integer j = 0; j < length; ++j) {
      const TColor c = AColumns ? ABitmap->GetCanvas()->GetPixels(i, j) : ABitmap->GetCanvas()->GetPixels(j, i);
      if (c == clBlack) {
        if (AFirst < 0) AFirst = i;
        ++ACount;
        break;
      }
    }
}

void TcxRadioButtonImageList::Measure() {
  const TSize cell = cxCheckButtonCellSize();
  TOwned<TBitmap> work(cxCreateBitmap(cell, pf24bit));
  TCanvas* canvas = work->GetCanvas();
  TRect r{0, 0, cell.cx, cell.cy};

  canvas->GetBrush()->SetColor(clBlack);
  canvas->FillRect(r);
  win::DrawFrameControl(canvas->GetHandle(), &r, win::DFC_BUTTON, win::DFCS_BUTTONRADIOMASK | win::DFCS_FLAT);
  Integer left, width, top, height;
  BlackExtent(work.get(), true, left, width);
  BlackExtent(work.get(), false, top, height);
  if (width < 4 || height < 4) {
    // A renderer that draws no usable circle: take the whole cell.
    left = top = 0;
    width = cell.cx;
    height = cell.cy;
  }
  FCircleOrigin = {left, top};
  FCircle = {width, height};

  canvas->GetBrush()->SetColor(clBlack);
  canvas->FillRect(r);
  win::DrawFrameControl(canvas->GetHandle(), &r, win::DFC_BUTTON,
                        win::DFCS_BUTTONRADIOIMAGE | win::DFCS_CHECKED | win::DFCS_FLAT);
  // Walks from a start pixel while the colour is the dot's, never past the
  // circle; answers the last pixel of the run in that direction.
  const TColor dot = ColorToRGB(clWindowText);
  const TRect circle = cxRectBounds(left, top, width, height);
  auto isDot = [&](Integer x, Integer y) { return cxRectPtIn(circle, x, y) && canvas->GetPixels(x, y) == dot; };
  auto walk = [&](Integer x, Integer y, Integer dx, Integer dy) {
    while (isDot(x + dx, y + dy)) {
      x += dx;
      y += dy;
    }
    return dx ? x : y;
  };
  const Integer vx = left + width / 2 - 1, vy = top + height / 2 - 2;
  const Integer hx = left + width / 2 - 2, hy = top + height / 2 - 1;
  if (isDot(vx, vy) && isDot(hx, hy)) {
    const Integer dotTop = walk(vx, vy, 0, -1), dotBottom = walk(vx, vy, 0, 1) + 1;
    const Integer dotLeft = walk(hx, hy, -1, 0), dotRight = walk(hx, hy, 1, 0) + 1;
    FDot = {dotLeft - left, dotTop - top, dotRight - left, dotBottom - top};
  } else {
    // No dot where the system puts it: a centred dot a third of the circle.
    const Integer size = std::max(2, std::min(width, height) / 3);
    FDot = cxRectBounds((width - size) / 2, (height - size) / 2, size, size);
  }
}

void TcxRadioButtonImageList::BuildClassMap() {
  const Integer w = FCircle.cx, h = FCircle.cy;
  FClassMap.assign(static_cast<std::size_t>(w * h), pcOutside);
  auto upperLeft = [&](Integer x, Integer y, bool AOnDiagonalDark) {
    const Integer lhs = (h - 1) * (w - 1 - x), rhs = (w - 1) * y;
    if (lhs == rhs) return !AOnDiagonalDark;
    return lhs > rhs;
  };

  TOwned<TBitmap> shape(cxCreateBitmap(w, h, pf24bit));
  TCanvas* canvas = shape->GetCanvas();
  canvas->GetBrush()->SetColor(clWhite);
  canvas->FillRect({0, 0, w, h});
  canvas->GetPen()->SetColor(clBlack);
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->RoundRect(0, 0, w, h, w - 1, h - 1);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (canvas->GetPixels(x, y) == clBlack) Class(x, y) = upperLeft(x, y, false) ? pcOuterLight : pcOuterDark;

  // The interior: between the ring's pixels of each row.
  for (Integer y = 0; y < h; ++y) {
    Integer first = -1, last = -1;
    for (Integer x = 0; x < w; ++x)
      if (Class(x, y) != pcOutside) {
        if (first < 0) first = x;
        last = x;
      }
    for (Integer x = first + 1; first >= 0 && x < last; ++x)
      if (Class(x, y) == pcOutside) Class(x, y) = pcInterior;
  }

  // The inner ring: the first and last interior pixels of every row and
  // every column.
  auto inner = [&](Integer x, Integer y) {
    return upperLeft(x, y, x > w / 2 - 1) ? pcInnerLight : pcInnerDark;
  };
  std::vector<TPoint> ring;
  for (Integer y = 0; y < h; ++y) {
    Integer first = -1, last = -1;
    for (Integer x = 0; x < w; ++x)
      if (Class(x, y) == pcInterior) {
        if (first < 0) first = x;
        last = x;
      }
    if (first >= 0) ring.insert(ring.end(), {{first, y}, {last, y}});
  }
  for (Integer x = 0; x < w; ++x) {
    Integer first = -1, last = -1;
    for (Integer y = 0; y < h; ++y)
      if (Class(x, y) == pcInterior) {
        if (first < 0) first = y;
        last = y;
      }
    if (first >= 0) ring.insert(ring.end(), {{x, first}, {x, last}});
  }
  for (const TPoint& p : ring) Class(p.X, p.Y) = static_cast<Byte>(inner(p.X, p.Y));

  // The dot.
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(clWhite);
  canvas->FillRect({0, 0, w, h});
  canvas->GetBrush()->SetColor(clBlack);
  canvas->Ellipse(FDot);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (canvas->GetPixels(x, y) == clBlack && Class(x, y) != pcOutside) Class(x, y) = pcDot;

  // The mask: black where the circle is.
  FreeAndNil(FMask);
  FMask = cxCreateBitmap(w, h, pf1bit);
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      FMask->GetCanvas()->SetPixels(x, y, Class(x, y) == pcOutside ? clWhite : clBlack);
}

// The painter whose colours the Office-11 radio images take.
TcxCustomLookAndFeelPainterClass Office11Painter() {
  return gOffice11RadioPainter ? gOffice11RadioPainter
                               : TcxCustomLookAndFeelPainterClass(TcxUltraFlatLookAndFeelPainter::StaticClass());
}

TColor Office11SelectedBorderColor() {
  auto* ultraFlat = dynamic_cast<const TcxUltraFlatLookAndFeelPainter*>(Office11Painter().Get()->ClassMethods());
  return ultraFlat ? ultraFlat->BorderHighlightColor() : clHighlight;
}

TColor Office11DisabledTextColor() { return Office11Painter()->ButtonSymbolColor(cxbsDisabled); }

void TcxRadioButtonImageList::AddImage(TcxButtonState AState, bool AChecked, Integer AKind, bool AFlagA,
                                       bool AFlagB) {
  const bool disabled = AState == cxbsDisabled, hotOrPressed = AState == cxbsHot || AState == cxbsPressed;
  TColor background;
  if (AKind == rkOffice11) {
    background = AState == cxbsNormal ? clWindow : Office11Painter()->ButtonColor(AState);
  } else if (disabled) {
    background = clBtnFace;
  } else if (AKind == rkUltraFlat) {
    background = AState == cxbsHot ? GetLightSelColor() : AState == cxbsPressed ? GetLightDownedSelColor() : clWindow;
  } else {
    background = AState == cxbsPressed ? clBtnFace : clWindow;
  }

  TColor colors[7];
  colors[pcOutside] = clBlack;
  colors[pcInterior] = background;
  switch (AKind) {
    case rkFlat:
      colors[pcOuterLight] = clBtnShadow;
      colors[pcOuterDark] = clBtnHighlight;
      colors[pcInnerLight] = colors[pcInnerDark] = cl3DLight;
      break;
    case rkStandard:
      colors[pcOuterLight] = clBtnShadow;
      colors[pcOuterDark] = clBtnHighlight;
      colors[pcInnerLight] = cl3DDkShadow;
      colors[pcInnerDark] = cl3DLight;
      break;
    case rkUltraFlat: {
      const bool highlighted = AFlagB || hotOrPressed || (AFlagA && !disabled);
      colors[pcOuterLight] = colors[pcOuterDark] = highlighted ? clHighlight : clBtnShadow;
      colors[pcInnerLight] = colors[pcInnerDark] = background;
      break;
    }
    default: {
      const bool plain = !disabled && !AFlagA && !AFlagB && !hotOrPressed;
      colors[pcOuterLight] = colors[pcOuterDark] =
          plain ? clBtnText : disabled ? Office11DisabledTextColor() : Office11SelectedBorderColor();
      colors[pcInnerLight] = colors[pcInnerDark] = background;
      break;
    }
  }
  if (!AChecked)
    colors[pcDot] = background;
  else if (!disabled)
    colors[pcDot] = clWindowText;
  else
    colors[pcDot] = AKind == rkOffice11 ? Office11DisabledTextColor() : clBtnShadow;

  TColor rgb[7];
  for (int i = 0; i < 7; ++i) rgb[i] = ColorToRGB(colors[i]);
  TOwned<TBitmap> image(cxCreateBitmap(FCircle, pf24bit));
  TCanvas* canvas = image->GetCanvas();
  for (Integer y = 0; y < FCircle.cy; ++y)
    for (Integer x = 0; x < FCircle.cx; ++x) canvas->SetPixels(x, y, rgb[Class(x, y)]);
  FImages->Add(image.get(), FMask);
}

Integer TcxRadioButtonImageList::ImageIndex(TcxButtonState AState, bool AChecked, Integer AKind, bool AFlagA,
                                            bool AFlagB) const {
  // A default button has no image of its own: it looks like a normal one.
  const Integer state = std::max<Integer>(AState, cxbsNormal) - 1;
  const Integer combination = state + 4 * (((AFlagB * 2 + AFlagA) * kRadioKinds + AKind) * 2 + AChecked);
  return FIndexTable[combination];
}

void TcxRadioButtonImageList::Prepare() {
  if (FImages->GetCount() > 0) return;
  if (!FMeasured) {
    Measure();
    BuildClassMap();
    FImages->SetWidth(FCircle.cx);
    FImages->SetHeight(FCircle.cy);
    FImages->SetMasked(true);
    FMeasured = true;
  }
  // Images are added with A outermost and the state innermost; the table
  // finds them from the combination index, which nests B outside A.
  Integer position = 0;
  FImages->BeginUpdate();
  for (Integer a = 0; a < 2; ++a)
    for (Integer b = 0; b < 2; ++b)
      for (Integer kind = 0; kind < kRadioKinds; ++kind)
        for (Integer checked = 0; checked < 2; ++checked)
          for (Integer state = cxbsNormal; state <= cxbsDisabled; ++state) {
            AddImage(static_cast<TcxButtonState>(state), checked, kind, a, b);
            FIndexTable[(state - 1) + 4 * (((b * 2 + a) * kRadioKinds + kind) * 2 + checked)] = position++;
          }
  FImages->EndUpdate();
}

TcxRadioButtonImageList* RadioButtonImages() {
  PrepareRadioButtonImageList();
  return gRadioButtonImages;
}

RadioKind RadioKindOf(TcxLookAndFeelStyle AStyle) {
  switch (AStyle) {
    case lfsFlat: return rkFlat;
    case lfsUltraFlat: return rkUltraFlat;
    case lfsOffice11: return rkOffice11;
    default: return rkStandard;
  }
}

}  // namespace

// ---------------------------------------------------------------------------

TCustomImageList* cxIndicatorImages() {
  if (!gIndicatorImages) {
    static constexpr const char* kNames[] = {"CX_ARROWBITMAP",    "CX_EDITBITMAP",       "CX_INSERTBITMAP",
                                             "CX_MULTIDOTBITMAP", "CX_MULTIARROWBITMAP", "CX_FILTERBITMAP"};
    TImageList* images = New<TImageList>(nullptr);
    try {
      for (const char* name : kNames) {
        TOwned<TBitmap> bitmap(LoadResourceBitmap(name));
        if (images->GetCount() == 0) {
          images->SetWidth(bitmap->GetWidth());
          images->SetHeight(bitmap->GetHeight());
        }
        images->AddMasked(bitmap.get(), clWhite);
      }
    } catch (...) {
      images->Free();
      throw;
    }
    gIndicatorImages = images;
  }
  return gIndicatorImages;
}

TBitmap* cxScrollBarBitmap(Integer AIndex) {
  if (!gScrollBarBitmaps[0]) UpdateScrollBarBitmaps();
  return gScrollBarBitmaps[AIndex == 0 ? 0 : 1];
}

void UpdateScrollBarBitmaps() {
  const TColor face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(cl3DDkShadow);
  // Every scroll bar asks as its colour changes; the bitmaps show only the
  // system's colours, so they are drawn again only when those change.
  const bool same = gScrollBarBitmaps[0] && gScrollBarBitmaps[1] && gScrollBarColours[0] == face &&
                    gScrollBarColours[1] == light && gScrollBarColours[2] == dark;
  if (same) return;
  for (TBitmap*& bitmap : gScrollBarBitmaps)
    if (!bitmap) bitmap = cxCreateBitmap(8, 8, pf24bit);
  gScrollBarColours[0] = face;
  gScrollBarColours[1] = light;
  gScrollBarColours[2] = dark;
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x) {
      const bool even = (x % 2) == (y % 2);
      gScrollBarBitmaps[0]->GetCanvas()->SetPixels(x, y, even ? face : light);
      gScrollBarBitmaps[1]->GetCanvas()->SetPixels(x, y, even ? clBlack : dark);
    }
}

TBitmap* cxAutoHideOnBitmap() {
  if (!gAutoHideBitmaps[0]) {
    gAutoHideBitmaps[0] = LoadResourceBitmap("CX_AUTOHIDEON");
    gAutoHideBitmaps[0]->SetTransparentColor(clWhite);
    gAutoHideBitmaps[0]->SetTransparent(true);
  }
  return gAutoHideBitmaps[0];
}

TBitmap* cxAutoHideOffBitmap() {
  if (!gAutoHideBitmaps[1]) {
    gAutoHideBitmaps[1] = LoadResourceBitmap("CX_AUTOHIDEOFF");
    gAutoHideBitmaps[1]->SetTransparentColor(clWhite);
    gAutoHideBitmaps[1]->SetTransparent(true);
  }
  return gAutoHideBitmaps[1];
}

TSize cxCheckButtonCellSize() {
  if (gCheckButtonCellSize.cx == 0) {
    win::HBITMAP bitmap = win::LoadBitmap(nullptr, win::MAKEINTRESOURCEA(win::OBM_CHECKBOXES));
    win::BITMAP info{};
    if (bitmap && win::GetObjectA(bitmap, sizeof info, &info) == sizeof info)
      gCheckButtonCellSize = {info.bmWidth / 4, info.bmHeight / 3};
    if (bitmap) win::DeleteObject(bitmap);
    if (gCheckButtonCellSize.cx <= 0 || gCheckButtonCellSize.cy <= 0) gCheckButtonCellSize = {13, 13};
  }
  return gCheckButtonCellSize;
}

void PrepareRadioButtonImageList() {
  if (!gRadioButtonImages) gRadioButtonImages = new TcxRadioButtonImageList;
  gRadioButtonImages->Prepare();
}

void cxLookAndFeelPaintersSystemPaletteChanged() {
  if (gScrollBarBitmaps[0]) UpdateScrollBarBitmaps();
  if (gRadioButtonImages) gRadioButtonImages->Rebuild();
}

void cxSetOffice11RadioButtonPainter(TcxCustomLookAndFeelPainterClass APainter) {
  if (gOffice11RadioPainter == APainter) return;
  gOffice11RadioPainter = APainter;
  if (gRadioButtonImages) gRadioButtonImages->Rebuild();
}

void cxLookAndFeelPaintersFinalize() {
  delete gRadioButtonImages;
  gRadioButtonImages = nullptr;
  for (TBitmap*& bitmap : gAutoHideBitmaps) FreeAndNil(bitmap);
  for (TBitmap*& bitmap : gScrollBarBitmaps) FreeAndNil(bitmap);
  FreeAndNil(gIndicatorImages);
  gCheckButtonCellSize = {0, 0};
}

// ---------------------------------------------------------------------------
// Radio buttons.

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, Integer X, Integer Y,
                                                  TcxButtonState AButtonState, bool AChecked, bool AFocused,
                                                  TColor ABrushColor, bool AIsDesigning) const {
  TcxRadioButtonImageList* list = RadioButtonImages();
  const Integer index = list->ImageIndex(AButtonState, AChecked, RadioKindOf(LookAndFeelStyle()), AIsDesigning, AFocused);
  // Held as drawing holds it, so the image's far corner still fits.
  const TPoint at = cxPointHeld(X, Y);
  if (ABrushColor == clDefault) {
    list->Images()->Draw(ACanvas->GetCanvas(), at.X, at.Y, index, true);
    return;
  }
  const TSize size = list->Size();
  TOwned<TBitmap> composed(cxCreateBitmap(size, pf24bit));
  TCanvas* canvas = composed->GetCanvas();
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(ABrushColor);
  canvas->FillRect({0, 0, size.cx, size.cy});
  list->Images()->Draw(canvas, 0, 0, index, true);
  ACanvas->Draw(at.X, at.Y, composed.get());
}

TSize TcxCustomLookAndFeelPainter::RadioButtonSize() const { return RadioButtonImages()->Size(); }
