#include "library/editors/cxCheckBoxViewInfo.h"

#include <algorithm>
#include <optional>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/cxCheckBox.h"
#include "library/foundation/cxWindowHelpers.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Paint.h"

ORV_REGISTER(TcxCustomCheckBoxViewData)
ORV_REGISTER(TcxCustomCheckBoxViewInfo)

namespace {

// The theme's check-box part of the button class.
constexpr int kCheckBoxPart = 3;
// Where the mask is black the brush is painted, where white the
// destination stays.
constexpr win::DWORD kMaskedBrushRop = 0xB8074A;

TBitmap* gCheckMarkMask = nullptr;
// Where the mask is black, within the mask.
TRect gCheckMarkBounds{};

// A hot editor's check takes the next heavier border.
TcxEditBorderStyle HotBorderStyle(TcxEditBorderStyle AStyle) {
  static const TcxEditBorderStyle hot[] = {ebsFlat, ebsThick, ebsThick, ebs3D, ebs3D, ebsUltraFlat, ebsOffice11};
  return hot[AStyle];
}

// Keeps a DC's whole state (clip region, colours, objects) and puts it back.
class TDCState {
 public:
  explicit TDCState(TcxCanvas* ACanvas) : FDC(ACanvas->GetHandle()), FSaved(win::SaveDC(FDC)) {}
  ~TDCState() { win::RestoreDC(FDC, FSaved); }
  TDCState(const TDCState&) = delete;
  TDCState& operator=(const TDCState&) = delete;

 private:
  win::HDC FDC;
  int FSaved;
};

void FrameWidth(TcxCanvas* ACanvas, TRect& R, TColor AColor, Integer AWidth) {
  ACanvas->FrameRect(R, AColor, AWidth);
  R = cxRectInflate(R, -AWidth, -AWidth);
}

// The mark of the mask painted in AColor, the mask's cell centred on R and
// clipped to it.
void DrawMaskedMark(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  TBitmap* mask = gCheckMarkMask;
  if (!mask || cxRectIsEmpty(R)) return;
  const Integer w = mask->GetWidth(), h = mask->GetHeight();
  const Integer x = R.Left + (cxRectWidth(R) - w) / 2;
  const Integer y = R.Top + (cxRectHeight(R) - h) / 2;
  // The mark lies well inside its cell; only a check smaller than the mark
  // needs the clip.
  std::optional<TDCState> state;
  if (!cxRectContain(R, cxRectOffset(gCheckMarkBounds, x, y))) {
    state.emplace(ACanvas);
    ACanvas->IntersectClipRect(R);
  }
  const win::HDC dc = ACanvas->GetHandle();
  const auto text = win::SetTextColor(dc, 0x000000);
  const auto back = win::SetBkColor(dc, 0xFFFFFF);
  const auto previous = win::SelectObject(dc, GetSolidBrush(AColor));
  win::BitBlt(dc, x, y, w, h, mask->GetCanvas()->GetHandle(), 0, 0, kMaskedBrushRop);
  win::SelectObject(dc, previous);
  win::SetBkColor(dc, back);
  win::SetTextColor(dc, text);
}

// The platform's check, clipped to what lies inside the border.
void DrawFrameControlMark(TcxCanvas* ACanvas, const TRect& AFrameRect, const TRect& AInside, TcxCheckBoxState AState,
                          TcxEditCheckState ACheckState, TcxEditBorderStyle ABorderStyle,
                          TcxCheckBoxNullValueShowingStyle ANullStyle) {
  using namespace win;
  UINT flags = DFCS_BUTTONCHECK;
  const bool checkedLook = AState == cbsChecked || (AState == cbsGrayed && ANullStyle == nssGrayedChecked);
  if (ACheckState != ecsDisabled) {
    if (AState == cbsChecked) flags |= DFCS_CHECKED;
    if (AState == cbsGrayed) {
      flags |= DFCS_BUTTON3STATE;
      if (ANullStyle == nssInactive) flags |= DFCS_INACTIVE;
      if (ANullStyle == nssGrayedChecked) flags |= DFCS_CHECKED;
    }
    if (ACheckState == ecsPressed) flags |= DFCS_PUSHED;
  } else {
    flags |= DFCS_BUTTON3STATE | DFCS_PUSHED | (checkedLook ? DFCS_CHECKED : DFCS_INACTIVE);
  }
  if (ABorderStyle != ebs3D) flags |= DFCS_FLAT;
  TDCState state(ACanvas);
  ACanvas->IntersectClipRect(AInside);
  RECT r = AFrameRect;
  DrawFrameControl(ACanvas->GetHandle(), &r, DFC_BUTTON, flags);
}

}  // namespace

// ---------------------------------------------------------------------------
// Check drawing.

TBitmap* cxEditCheckMarkMask() { return gCheckMarkMask; }

void cxCreateEditCheckMarkMask() {
  if (gCheckMarkMask) return;
  const TSize size = TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass())->CheckButtonSize();
  win::HBITMAP check = win::LoadBitmapA(nullptr, win::MAKEINTRESOURCEA(win::OBM_CHECK));
  if (!check) return;
  const win::HDC dc = win::CreateCompatibleDC(nullptr);
  const auto previous = win::SelectObject(dc, check);
  TBitmap* mask = New<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(size.cx, size.cy);
  TCanvas* canvas = mask->GetCanvas();
  for (Integer y = 0; y < size.cy; ++y)
    for (Integer x = 0; x < size.cx; ++x)
      canvas->SetPixels(x, y, win::GetPixel(dc, x + size.cx, y) != win::GetPixel(dc, x, y) ? clBlack : clWhite);
  win::SelectObject(dc, previous);
  win::DeleteDC(dc);
  win::DeleteObject(check);
  gCheckMarkBounds = TRect(size.cx, size.cy, 0, 0);
  for (Integer y = 0; y < size.cy; ++y)
    for (Integer x = 0; x < size.cx; ++x)
      if (canvas->GetPixels(x, y) == clBlack)
        gCheckMarkBounds = TRect(std::min(gCheckMarkBounds.Left, x), std::min(gCheckMarkBounds.Top, y),
                                 std::max(gCheckMarkBounds.Right, x + 1), std::max(gCheckMarkBounds.Bottom, y + 1));
  gCheckMarkMask = mask;
}

void cxFreeEditCheckMarkMask() { FreeAndNil(gCheckMarkMask); }

Integer GetEditCheckGlyphIndex(TcxCheckBoxState AState, TcxEditCheckState ACheckState, bool AGrayedShowingGlyphs,
                               Integer AGlyphCount) {
  if (AGlyphCount < 1) return 0;
  const Integer rowLength = !AGrayedShowingGlyphs && AGlyphCount % 3 != 0 && AGlyphCount % 2 == 0 ? 2 : 3;
  Integer index = static_cast<Integer>(AState) + (ACheckState == ecsPressed ? rowLength : 0);
  if (index >= AGlyphCount && index >= rowLength) index %= rowLength;
  // A short strip shows its last image rather than reading beside it.
  return std::min(index, AGlyphCount - 1);
}

TSize GetEditCheckSize(TcxCanvas*, bool ANativeStyle, TBitmap* AGlyph, Integer AGlyphCount) {
  if (AGlyphCount >= 1 && VerifyBitmap(AGlyph)) return TSize{AGlyph->GetWidth() / AGlyphCount, AGlyph->GetHeight()};
  if (AreVisualStylesMustBeUsed(ANativeStyle, totButton))
    return TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())->CheckButtonSize();
  return TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass())->CheckButtonSize();
}

Integer GetEditCheckBorderOffset(TcxContainerBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph) {
  if (ANativeStyle || AHasGlyph) return 0;
  return 2 - GetContainerBorderWidth(ABorderStyle);
}

Integer GetEditCheckBorderOffset(TcxEditBorderStyle ABorderStyle, bool ANativeStyle, bool AHasGlyph) {
  return GetEditCheckBorderOffset(static_cast<TcxContainerBorderStyle>(ABorderStyle), ANativeStyle, AHasGlyph);
}

Integer GetEditCheckBorderOffset(TcxLookAndFeelKind ALookAndFeelKind, bool ANativeStyle, bool AHasGlyph) {
  if (ANativeStyle || AHasGlyph) return 0;
  return 2 - GetContainerBorderWidth(ALookAndFeelKind);
}

void DrawEditCheck(TcxCanvas* ACanvas, const TRect& ACheckRect, TcxCheckBoxState AState,
                   TcxEditCheckState ACheckState, TBitmap* AGlyph, Integer AGlyphCount,
                   TcxEditBorderStyle ABorderStyle, bool ANativeStyle, TColor ABorderColor, TColor ABackgroundColor,
                   bool ADrawBackground, bool AIsDesigning, bool AFocused, bool AGrayedShowingGlyphs,
                   TcxCheckBoxNullValueShowingStyle ANullValueShowingStyle) {
  if (!ADrawBackground) ABackgroundColor = clNone;
  if (AState == cbsGrayed && ANullValueShowingStyle == nssUnchecked) AState = cbsUnchecked;

  if (AGlyphCount >= 1 && VerifyBitmap(AGlyph)) {
    const Integer index = GetEditCheckGlyphIndex(AState, ACheckState, AGrayedShowingGlyphs, AGlyphCount);
    const Integer imageWidth = AGlyph->GetWidth() / AGlyphCount;
    const Integer w = cxRectWidth(ACheckRect), h = cxRectHeight(ACheckRect);
    if (w < 1 || h < 1 || imageWidth < 1) return;
    TOwned<TBitmap> image(cxCreateBitmap(w, h));
    const Integer top = (AGlyph->GetHeight() - h) / 2;
    image->GetCanvas()->CopyRect(TRect(0, 0, w, h), AGlyph->GetCanvas(),
                                 TRect(imageWidth * index, top, imageWidth * index + w, top + h));
    image->SetTransparentColor(AGlyph->GetTransparentColor());
    DrawGlyph(ACanvas, ACheckRect.Left, ACheckRect.Top, image.get(), ACheckState != ecsDisabled,
              ABackgroundColor == clNone ? clNone : ColorToRGB(ABackgroundColor));
    return;
  }

  if (ANativeStyle) {
    if (TdxTheme theme = OpenTheme(totButton))
      ::DrawThemeBackground(theme, ACanvas->GetHandle(), kCheckBoxPart, 4 * AState + ACheckState + 1, ACheckRect);
    return;
  }

  TRect R = ACheckRect;
  const Integer offset = GetEditCheckBorderOffset(ABorderStyle, false, false);
  if (ADrawBackground && offset >= 1) ACanvas->FrameRect(R, ABackgroundColor, offset);
  R = cxRectInflate(R, -offset, -offset);
  const TRect frame = R;
  const bool disabled = ACheckState == ecsDisabled;
  switch (ABorderStyle) {
    case ebsNone: break;
    case ebsSingle: FrameWidth(ACanvas, R, ABorderColor, 1); break;
    case ebsThick: FrameWidth(ACanvas, R, ABorderColor, 2); break;
    case ebsFlat:
      ACanvas->DrawEdge(R, true, true);
      R = cxRectInflate(R, -1, -1);
      FrameWidth(ACanvas, R, clBtnFace, 1);
      break;
    case ebs3D:
      ACanvas->DrawEdge(R, true, true);
      R = cxRectInflate(R, -1, -1);
      ACanvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight);
      R = cxRectInflate(R, -1, -1);
      break;
    case ebsUltraFlat:
    case ebsOffice11: {
      TColor color;
      if (ABorderStyle == ebsOffice11 && ACheckState == ecsNormal && !AIsDesigning && !AFocused)
        color = clBtnText;
      else if ((ACheckState == ecsNormal || disabled) && (!AIsDesigning || disabled) && (disabled || !AFocused))
        color = clBtnShadow;
      else
        color = GetEditBorderHighlightColor(ABorderStyle == ebsOffice11);
      FrameWidth(ACanvas, R, color, 1);
      break;
    }
  }

  if (ABorderStyle == ebsUltraFlat || ABorderStyle == ebsOffice11) {
    TColor fill;
    switch (ACheckState) {
      case ecsNormal: fill = AState == cbsGrayed && ANullValueShowingStyle == nssInactive ? clBtnFace : clWindow; break;
      case ecsDisabled: fill = clBtnFace; break;
      default: fill = GetEditButtonHighlightColor(ACheckState == ecsPressed, ABorderStyle == ebsOffice11); break;
    }
    cxEditFillRect(ACanvas, R, fill);
    if (AState == cbsChecked || (AState == cbsGrayed && ANullValueShowingStyle == nssGrayedChecked))
      DrawMaskedMark(ACanvas, R, disabled || AState == cbsGrayed ? clBtnShadow : clBtnText);
    return;
  }
  // The platform's check fills the inside of the border; its own frame,
  // a size larger, lies under the border drawn above and stays clipped.
  DrawFrameControlMark(ACanvas, frame, R, AState, ACheckState,
                       ABorderStyle, ANullValueShowingStyle);
}

void DrawCheckBoxText(TcxCanvas* ACanvas, const AnsiString& AText, TFont* AFont, TColor ATextColor, const TRect& R,
                      Integer ADrawTextFlags, bool AEnabled) {
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawTexT(AText, R, ADrawTextFlags, AEnabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// View data.

TcxCustomCheckBoxProperties* TcxCustomCheckBoxViewData::GetProperties() const {
  return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEditViewData::GetProperties());
}

TcxEditBorderStyle TcxCustomCheckBoxViewData::GetBorderStyle() {
  return GetStyle()->HasBorder() ? TcxCustomEditViewData::GetBorderStyle() : ebsNone;
}

Integer TcxCustomCheckBoxViewData::GetDrawTextFlags() {
  TcxCustomCheckBoxProperties* properties = GetProperties();
  Integer flags = properties->GetAlignment() == taCenter ? cxAlignHCenter : cxAlignLeft;
  flags |= cxShowPrefix;
  if (properties->GetMultiLine())
    flags |= cxWordBreak | cxDontClip;
  else
    flags |= cxSingleLine;
  flags |= properties->GetMultiLine() && !GetIsInplace() ? cxAlignTop : cxAlignVCenter;
  return flags;
}

void TcxCustomCheckBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton, TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  TcxCustomCheckBoxProperties* properties = GetProperties();
  TcxCustomEditStyle* style = GetStyle();
  viewInfo->DrawTextFlags = GetDrawTextFlags();
  if (Edit) viewInfo->Text = Edit->GetEditControl()->GetText();

  const bool embedded = properties->IsEmbeddedEdit();
  if (GetIsInplace() && !embedded && !properties->GetUseAlignmentWhenInplace() && viewInfo->Text.empty())
    viewInfo->Alignment = taCenter;
  else
    viewInfo->Alignment = properties->GetAlignment();

  const TcxEditBorderStyle borderStyle = style->GetEditBorderStyle();
  viewInfo->CheckBoxBorderStyle = viewInfo->HotState == chsSelected ? HotBorderStyle(borderStyle) : borderStyle;
  viewInfo->CheckBoxGlyph = properties->GetGlyphIfAny();
  viewInfo->CheckBoxGlyphCount = properties->GetGlyphCount();
  viewInfo->NullValueShowingStyle = properties->GetNullStyle();
  viewInfo->HasGlyph = viewInfo->CheckBoxGlyphCount >= 1 && VerifyBitmap(viewInfo->CheckBoxGlyph);
  const bool native = AreVisualStylesMustBeUsed(style->GetLookAndFeel()->GetNativeStyle(), totButton);
  viewInfo->NativeStyle = native;
  viewInfo->CheckBoxBorderOffset = GetEditCheckBorderOffset(viewInfo->CheckBoxBorderStyle, native, viewInfo->HasGlyph);
  const TSize checkSize = GetEditCheckSize(ACanvas, native, viewInfo->CheckBoxGlyph, viewInfo->CheckBoxGlyphCount);

  CalculateRects(ACanvas, viewInfo, checkSize);
  CalculateCheckBoxState(viewInfo, P, AButton, AShift);
  CalculateFocusRect(ACanvas, viewInfo);
  if (GetIsInplace() && viewInfo->CheckBoxBorderStyle == ebsSingle)
    viewInfo->BorderColor =
        viewInfo->CheckBoxCheckState == ecsHot || (IsDesigning && Enabled) ? clHighlight : clBtnShadow;
  viewInfo->IsTextColorAssigned = style->IsValueAssigned(csvTextColor);
}

void TcxCustomCheckBoxViewData::CalculateRects(TcxCanvas*, TcxCustomEditViewInfo* AViewInfo,
                                               const TSize& ACheckSize) {
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  const bool embedded = GetProperties()->IsEmbeddedEdit();
  TRect& check = viewInfo->CheckBoxRect;
  TRect& text = viewInfo->TextRect;
  check = text = viewInfo->ClientRect;
  const TAlignment alignment = viewInfo->Alignment;
  if (GetIsInplace()) {
    if (alignment == taLeftJustify) {
      text.Right -= 2;
      if (!embedded) check.Left += 2;
    } else if (alignment == taRightJustify) {
      text.Left += 2;
      if (!embedded) check.Right -= 2;
    }
    text.Top += ContentOffset.Top;
    text.Bottom -= ContentOffset.Bottom;
  } else {
    text = cxRectInflate(text, -2, -2);
    if (!embedded) text.Top -= 1;
    if (!viewInfo->NativeStyle || !embedded) check = cxRectInflate(check, -2, -2);
  }
  if (ACheckSize.cy < cxRectHeight(check)) {
    check.Top += (cxRectHeight(check) - ACheckSize.cy) / 2;
    check.Bottom = check.Top + ACheckSize.cy;
  }
  if (ACheckSize.cx >= cxRectWidth(check)) {
    text.Right = text.Left;
  } else if (alignment == taCenter) {
    check.Left += (cxRectWidth(check) - ACheckSize.cx) / 2;
    check.Right = check.Left + ACheckSize.cx;
  } else if (alignment == taRightJustify) {
    check.Left = check.Right - ACheckSize.cx;
    text.Right = check.Left - 3;
  } else {
    check.Right = check.Left + ACheckSize.cx;
    text.Left = check.Right + 3;
  }
  // Room for the embossed copy of a disabled caption.
  if (!Enabled && !viewInfo->NativeStyle) {
    ++text.Right;
    ++text.Bottom;
  }
}

void TcxCustomCheckBoxViewData::CalculateCheckBoxState(TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                                       TcxMouseButton AButton, TShiftState AShift) {
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  auto* checkBox = Edit ? dynamic_cast<TcxCustomCheckBox*>(Edit->GetEditControl()) : nullptr;
  const TShiftState leftOnly{ssLeft};
  const TShiftState mouse = AShift - TShiftState{ssShift, ssAlt, ssCtrl, ssDouble};
  if (!Enabled)
    viewInfo->CheckBoxCheckState = ecsDisabled;
  else if (checkBox && checkBox->GetSpaceHeld())
    viewInfo->CheckBoxCheckState = ecsPressed;
  else if (IsDesigning || !cxRectPtIn(viewInfo->Bounds, P))
    viewInfo->CheckBoxCheckState = ecsNormal;
  else if (mouse.Empty())
    viewInfo->CheckBoxCheckState = ecsHot;
  else if (mouse == leftOnly && (AButton == cxmbLeft || viewInfo->CheckBoxCheckState == ecsPressed))
    viewInfo->CheckBoxCheckState = ecsPressed;
  else
    viewInfo->CheckBoxCheckState = ecsNormal;
}

void TcxCustomCheckBoxViewData::CalculateFocusRect(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  TRect& focus = viewInfo->FocusRect;
  focus = TRect();
  if (!viewInfo->Focused) return;
  const bool center = viewInfo->Alignment == taCenter;
  if (!GetIsInplace() && center) return;
  if (GetIsInplace() && !(center && viewInfo->PaintOptions.Contains(epoShowFocusRectWhenInplace))) return;
  TRect limit;
  if (center) {
    focus = cxRectInflate(viewInfo->ClientRect, -1, -1);
    limit = viewInfo->Bounds;
  } else {
    if (viewInfo->Text.empty()) return;
    focus = viewInfo->TextRect;
    if (!GetProperties()->GetFullFocusRect()) {
      ACanvas->SetFont(GetStyle()->GetVisibleFont());
      ACanvas->TextExtent(viewInfo->Text, focus, viewInfo->DrawTextFlags);
    }
    focus = cxRectInflate(focus, 1, 1);
    limit = cxRectInflate(viewInfo->TextRect, 1, 1);
  }
  if (cxRectIsEmpty(focus)) return;
  cxRectIntersect(focus, focus, limit);
  focus.Right = std::min(focus.Right, viewInfo->Bounds.Right);
}

void TcxCustomCheckBoxViewData::EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  // A preview of the kind shows the check checked.
  viewInfo->CheckBoxState = PreviewMode ? cbsChecked : GetProperties()->GetState(AValue);
  if (GetIsInplace() && !GetProperties()->IsEmbeddedEdit()) viewInfo->Text.clear();
  CalculateFocusRect(ACanvas, viewInfo);
}

TSize TcxCustomCheckBoxViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                                 const TcxEditSizeProperties& AEditSizeProperties,
                                                                 TSize& MinContentSize,
                                                                 TcxCustomEditViewInfo* AViewInfo) {
  MinContentSize = TSize{0, 0};
  auto* viewInfo = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  TSize result = cxRectSize(viewInfo->CheckBoxRect);
  ACanvas->SetFont(GetStyle()->GetVisibleFont());
  const bool captionShown = !viewInfo->Text.empty() && viewInfo->Alignment != taCenter;
  if (AIsInplace) {
    if (captionShown)
      result.cx = ACanvas->TextWidth(RemoveAccelChars(viewInfo->Text)) +
                  (viewInfo->TextRect.Left - viewInfo->Bounds.Left) + (viewInfo->Bounds.Right - viewInfo->TextRect.Right);
    else
      result.cx += 4;
    result.cy += 2 * (1 - viewInfo->CheckBoxBorderOffset);
  } else if (!viewInfo->NativeStyle) {
    result.cy += 4;
  }
  const AnsiString sample = viewInfo->Alignment == taCenter || AIsInplace ? AnsiString("Gg") : viewInfo->Text;
  TcxEditSizeProperties sizeProperties = AEditSizeProperties;
  sizeProperties.MaxLineCount = GetProperties()->GetMultiLine() ? 0 : 1;
  const TSize text = GetTextEditContentSize(ACanvas, this, sample.empty() ? AnsiString("Gg") : sample,
                                            static_cast<Cardinal>(viewInfo->DrawTextFlags), sizeProperties, 0,
                                            viewInfo->NativeStyle);
  result.cy = std::max(result.cy, text.cy);
  return result;
}

// ---------------------------------------------------------------------------
// View info.

void TcxCustomCheckBoxViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxCustomCheckBoxViewInfo*>(Source)) {
    Alignment = source->Alignment;
    CheckBoxRect = source->CheckBoxRect;
    FocusRect = source->FocusRect;
    CheckBoxBorderStyle = source->CheckBoxBorderStyle;
    CheckBoxBorderOffset = source->CheckBoxBorderOffset;
    CheckBoxGlyph = source->CheckBoxGlyph;
    CheckBoxGlyphCount = source->CheckBoxGlyphCount;
    HasGlyph = source->HasGlyph;
    CheckBoxCheckState = source->CheckBoxCheckState;
    NullValueShowingStyle = source->NullValueShowingStyle;
    CheckBoxState = source->CheckBoxState;
    IsTextColorAssigned = source->IsTextColorAssigned;
  }
  TcxCustomTextEditViewInfo::Assign(Source);
}

void TcxCustomCheckBoxViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  CheckBoxRect = cxRectOffset(CheckBoxRect, DX, DY);
  FocusRect = cxRectOffset(FocusRect, DX, DY);
}

namespace {

// Only the check's look differs between the two.
bool OnlyCheckDiffers(const TcxCustomCheckBoxViewInfo* A, const TcxCustomCheckBoxViewInfo* B) {
  return A->Bounds == B->Bounds && A->CheckBoxRect == B->CheckBoxRect && A->FocusRect == B->FocusRect &&
         A->TextRect == B->TextRect && A->Text == B->Text && A->Enabled == B->Enabled &&
         A->BackgroundColor == B->BackgroundColor && A->TextColor == B->TextColor &&
         A->Alignment == B->Alignment && A->NativeState == B->NativeState;
}

bool CheckDiffers(const TcxCustomCheckBoxViewInfo* A, const TcxCustomCheckBoxViewInfo* B) {
  return A->CheckBoxCheckState != B->CheckBoxCheckState || A->CheckBoxState != B->CheckBoxState ||
         A->CheckBoxBorderStyle != B->CheckBoxBorderStyle || A->BorderColor != B->BorderColor;
}

}  // namespace

TcxRegion* TcxCustomCheckBoxViewInfo::GetUpdateRegion(TcxContainerViewInfo* AViewInfo) {
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  if (!old) return TcxCustomTextEditViewInfo::GetUpdateRegion(AViewInfo);
  if (!OnlyCheckDiffers(this, old)) return New<TcxRegion>(Bounds);
  return CheckDiffers(this, old) ? New<TcxRegion>(CheckBoxRect) : New<TcxRegion>();
}

bool TcxCustomCheckBoxViewInfo::Repaint(TWinControl* AControl, const TRect& AInnerEditRect,
                                        TcxContainerViewInfo* AViewInfo) {
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  if (!old || !AControl->HandleAllocated()) return TcxCustomTextEditViewInfo::Repaint(AControl, AInnerEditRect, AViewInfo);
  const bool whole = !OnlyCheckDiffers(this, old);
  if (!whole && !CheckDiffers(this, old)) return false;
  const win::RECT r = cxRectOffset(whole ? Bounds : CheckBoxRect, Left, Top);
  win::InvalidateRect(AControl->GetHandle(), &r, false);
  return true;
}

void TcxCustomCheckBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  const bool transparent = IsBackgroundTransparent();
  bool checkTransparent = transparent && HasGlyph;
  if (NativeStyle && !HasGlyph)
    if (TdxTheme theme = OpenTheme(totButton))
      checkTransparent = checkTransparent ||
                         ::IsThemeBackgroundPartiallyTransparent(theme, kCheckBoxPart, 4 * CheckBoxState +
                                                                                           CheckBoxCheckState + 1);
  // The library's own check covers every pixel of its rectangle, so the
  // background may run under it: one plain fill instead of a fill around a
  // hole, which costs a clip region per cell.
  const bool opaqueCheck = !HasGlyph && !NativeStyle && !transparent;
  if (opaqueCheck && GetDrawBackgroundStyle() == dbsSimpleFill)
    cxEditFillRect(ACanvas, Bounds, BackgroundColor);
  else
    DrawEditBackground(ACanvas, Bounds, cxRectInflate(CheckBoxRect, -CheckBoxBorderOffset, -CheckBoxBorderOffset),
                       checkTransparent || opaqueCheck);
  // Under an opaque check the background is there already: the check does
  // not fill its margin again.
  DrawEditCheck(ACanvas, CheckBoxRect, CheckBoxState, CheckBoxCheckState, CheckBoxGlyph, CheckBoxGlyphCount,
                CheckBoxBorderStyle, NativeStyle, BorderColor, BackgroundColor, !transparent && !opaqueCheck,
                IsDesigning, Focused, true, NullValueShowingStyle);
  if (Alignment != taCenter) {
    const bool enabled = Enabled || HasInnerControl || IsTextColorAssigned || NativeStyle;
    DrawCheckBoxText(ACanvas, Text, Font, TextColor, TextRect, DrawTextFlags, enabled);
  }
  if (!cxRectIsEmpty(FocusRect)) {
    ACanvas->GetFont()->SetColor(TextColor);
    ACanvas->SetBrushColor(BackgroundColor);
    ACanvas->DrawFocusRect(FocusRect);
  }
}
