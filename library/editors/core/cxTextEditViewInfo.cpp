#include "library/editors/core/cxTextEditViewInfo.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/foundation/cxGeometry.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"

ORV_REGISTER(TcxCustomTextEditViewData)
ORV_REGISTER(TcxCustomTextEditViewInfo)

namespace {

bool IsFixedListOrNoEdit(TcxEditEditingStyle AStyle) { return AStyle == esFixedList || AStyle == esNoEdit; }

// A stand-alone text editor that cannot be typed into shows its text one
// pixel further in, as a list does.
bool NeedsAlignmentPixel(TcxCustomEditViewData* AViewData) {
  auto* textViewData = dynamic_cast<TcxCustomTextEditViewData*>(AViewData);
  return textViewData && !AViewData->GetIsInplace() &&
         IsFixedListOrNoEdit(textViewData->GetProperties()->GetEditingStyle());
}

Integer ZgHeight(TcxCanvas* ACanvas) { return ACanvas->TextHeight("Zg"); }

}  // namespace

// --- unit routines -------------------------------------------------------------

AnsiString CheckCharsRegister(const AnsiString& S, TEditCharCase ACharCase) {
  switch (ACharCase) {
    case ecUpperCase: return AnsiUpperCase(S);
    case ecLowerCase: return AnsiLowerCase(S);
    default: return S;
  }
}

void RemoveThousandSeparator(AnsiString& S) {
  const char separator = FormatSettings().ThousandSeparator;
  S.erase(std::remove(S.begin(), S.end(), separator), S.end());
}

bool cxStrToNumber(AnsiString S, double& Value) {
  constexpr double kSmallest = 5.0e-324, kLargest = 1.7e308;
  RemoveThousandSeparator(S);
  double number = 0;
  bool underflow = false;
  const double magnitude = TryStrToFloat(S, number, underflow) && !underflow ? std::fabs(number) : -1;
  if (magnitude == 0 || (magnitude >= kSmallest && magnitude <= kLargest)) {
    Value = number;
    return true;
  }
  Value = 0;
  return false;
}

void RemoveExponentialPart(AnsiString& S, AnsiString& AExponentialPart) {
  const std::size_t pos = AnsiUpperCase(S).find('E');
  if (pos == AnsiString::npos) {
    AExponentialPart.clear();
    return;
  }
  AExponentialPart = S.substr(pos);
  S.erase(pos);
}

AnsiString InsertThousandSeparator(const AnsiString& S) {
  const std::size_t first = S.find_first_not_of(' ');
  if (first == AnsiString::npos) return S;
  const std::size_t last = S.find_last_not_of(' ');
  const AnsiString leading = S.substr(0, first);
  const AnsiString trailing = S.substr(last + 1);
  AnsiString text = S.substr(first, last - first + 1);
  AnsiString exponent;
  RemoveExponentialPart(text, exponent);
  RemoveThousandSeparator(text);

  // Counted from the last integer digit leftwards; a sign or any other
  // character before the digits ends the grouping.
  const char separator = FormatSettings().ThousandSeparator;
  const std::size_t decimal = text.find(FormatSettings().DecimalSeparator);
  std::size_t end = decimal == AnsiString::npos ? text.size() : decimal;
  std::size_t begin = end;
  while (begin > 0 && std::isdigit(static_cast<unsigned char>(text[begin - 1]))) --begin;
  AnsiString grouped;
  grouped.reserve(text.size() + (end - begin) / 3 + leading.size() + trailing.size() + exponent.size());
  grouped.append(leading);
  grouped.append(text, 0, begin);
  for (std::size_t i = begin; i < end; ++i) {
    if (i > begin && (end - i) % 3 == 0) grouped.push_back(separator);
    grouped.push_back(text[i]);
  }
  grouped.append(text, end, AnsiString::npos);
  grouped.append(exponent);
  grouped.append(trailing);
  return grouped;
}

void SeparateDigitGroups(IcxTextEditDigitGroupsEdit* AEdit) {
  const AnsiString text = InsertThousandSeparator(AEdit->GetText());
  AnsiString plain = text;
  RemoveThousandSeparator(plain);
  Extended number = 0;
  if (!TryStrToFloat(plain, number)) return;

  const char separator = FormatSettings().ThousandSeparator;
  const AnsiString before = AEdit->GetText().substr(0, std::max<Integer>(0, AEdit->GetSelStart()));
  const Integer kept =
      static_cast<Integer>(before.size()) - static_cast<Integer>(std::count(before.begin(), before.end(), separator));
  AEdit->SetInternalDisplayValue(text);
  if (kept == 0) return;
  Integer counted = 0;
  for (Integer i = 0; i < static_cast<Integer>(text.size()); ++i) {
    if (text[i] == separator) continue;
    if (++counted == kept) {
      AEdit->SetSelStart(i + 1);
      return;
    }
  }
}

TRect GetTextEditDrawTextOffset(TcxCustomEditViewData* AViewData) {
  TRect result = AViewData->EditContentParams.Offsets;
  if (NeedsAlignmentPixel(AViewData)) {
    if (AViewData->VertAlignment == taTopJustify) {
      ++result.Top;
      --result.Bottom;
    }
    if (AViewData->HorzAlignment == taRightJustify)
      ++result.Right;
    else
      ++result.Left;
  }
  return result;
}

TRect GetTextEditDrawTextOffset(TAlignment, bool AIsInplace) { return EditContentDefaultOffsets[AIsInplace]; }

TSize GetTextEditContentSize(TcxCanvas* ACanvas, TcxCustomEditViewData* AViewData, const AnsiString& AText,
                             Cardinal ADrawTextFlags, const TcxEditSizeProperties& AEditSizeProperties,
                             Integer ALineCount, bool ACorrectWidth) {
  ACanvas->SetFont(AViewData->GetStyle()->GetVisibleFont());
  const TRect offsets = [&] {
    if (auto* textViewData = dynamic_cast<TcxCustomTextEditViewData*>(AViewData))
      return textViewData->GetDrawTextOffset();
    return GetTextEditDrawTextOffset(AViewData);
  }();
  Integer alignmentPixel = 0;
  if (NeedsAlignmentPixel(AViewData)) {
    auto* textViewData = static_cast<TcxCustomTextEditViewData*>(AViewData);
    if (!(textViewData->IsComboBoxStyle() && AViewData->IsNativeStyle())) alignmentPixel = 1;
  }
  const Integer zg = ZgHeight(ACanvas);
  const bool allowZeroHeight = AViewData->GetPaintOptions().Contains(epoAllowZeroHeight);
  TSize result{0, 0};

  if (AEditSizeProperties.Width < 0) {
    if (ADrawTextFlags & cxtfSingleLine) {
      result.cy = zg;
      result.cx = AText.empty() ? 0 : ACanvas->TextWidth(AText);
    } else {
      Integer limit = ALineCount > 0 ? ALineCount : AEditSizeProperties.MaxLineCount;
      if (!AText.empty()) {
        TcxTextParams params = cxCalcTextParams(ACanvas->GetCanvas(), ADrawTextFlags | cxtfCalcRect);
        TcxTextRows rows;
        Integer rowCount = 0;
        const TRect room(0, 0, INT_MAX / 2, INT_MAX / 2);
        cxMakeTextRows(ACanvas->GetCanvas(), AText, room, params, rows, rowCount, std::max(0, limit));
        if (limit > 0) rowCount = std::min(rowCount, limit);
        result.cx = cxGetLongestTextRowWidth(rows, rowCount);
      }
      result.cy = ALineCount > 0 ? zg * ALineCount : zg;
    }
    result.cx += alignmentPixel;
    if (ACorrectWidth) result.cx += offsets.Left + offsets.Right;
  } else if (ALineCount > 0) {
    result.cy = zg * ALineCount;
    result.cx = AEditSizeProperties.Width;
  } else {
    Integer room = AEditSizeProperties.Width - alignmentPixel;
    if (AViewData->GetIsInplace()) room -= 2;
    if (room > 0) {
      result.cx = AEditSizeProperties.Width;
      if (AText.empty()) {
        result.cy = allowZeroHeight ? 0 : zg;
      } else {
        Cardinal flags = ADrawTextFlags | cxtfReturnRowCount;
        if (flags & cxtfSingleLine) flags = (flags & ~cxtfSingleLine) | cxtfWholeRows | cxtfWordBreak;
        flags &= ~Cardinal(0x30);
        TRect R(0, 0, room, INT_MAX / 2);
        Integer rowCount = cxTextOut(ACanvas, AText, R, flags | cxtfCalcRect);
        if (AEditSizeProperties.MaxLineCount > 0) rowCount = std::min(rowCount, AEditSizeProperties.MaxLineCount);
        result.cy = zg * rowCount;
      }
    } else {
      result.cx = 0;
      result.cy = AText.empty() && allowZeroHeight ? 0 : zg;
    }
  }
  if (result.cy > 0) result.cy += offsets.Top + offsets.Bottom;
  return result;
}

TColor InvertColor(TColor AColor) { return TColor(ColorToRGB(AColor) ^ 0xFFFFFF); }

void InternalTextOut(TcxCanvas* ACanvas, const AnsiString& AText, TcxTextOutData& ATextOutData,
                     bool& ATextRowsPrepared, const TRect& ATextRect, Cardinal ADrawTextFlags, Integer ASelStart,
                     Integer ASelLength, TColor ASelBackgroundColor, TColor ASelTextColor, Integer AMaxLineCount) {
  cxPrepareCanvas(ACanvas->GetCanvas());
  const win::HDC dc = ACanvas->GetHandle();
  if (!ATextRowsPrepared) {
    ATextOutData.TextParams = cxCalcTextParams(dc, ADrawTextFlags);
    ATextOutData.TextRect = cxPrepareRect(ATextRect, ATextOutData.TextParams, 0, 0);
    ATextOutData.TextRows.clear();
    ATextOutData.TextRowCount = 0;
    if (!cxRectIsEmpty(ATextOutData.TextRect)) {
      cxMakeTextRows(dc, AText, ATextOutData.TextRect, ATextOutData.TextParams, ATextOutData.TextRows,
                     ATextOutData.TextRowCount, AMaxLineCount);
      if (AMaxLineCount > 0) ATextOutData.TextRowCount = std::min(ATextOutData.TextRowCount, AMaxLineCount);
      cxPlaceTextRows(dc, ATextOutData.TextRect, ATextOutData.TextParams, ATextOutData.TextRows,
                      ATextOutData.TextRowCount);
    }
    ATextRowsPrepared = true;
  }
  const Integer length = static_cast<Integer>(AText.size());
  if (ASelStart < 0 || ASelStart >= length || ASelLength < 0)
    ASelLength = 0;
  else
    ASelLength = std::min(ASelLength, length - ASelStart);
  cxTextRowsOutHighlight(dc, ATextOutData.TextRect, ATextOutData.TextParams, ATextOutData.TextRows,
                         ATextOutData.TextRowCount, ASelStart, ASelLength, ASelBackgroundColor, ASelTextColor,
                         false);
}

void DrawEditText(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  if (AViewInfo->Text.empty()) return;
  if (AViewInfo->Font) ACanvas->SetFont(AViewInfo->Font);
  ACanvas->GetFont()->SetColor(AViewInfo->DrawSelected ? clHighlightText : AViewInfo->TextColor);
  AViewInfo->PrepareCanvasFont(ACanvas);
  InternalTextOut(ACanvas, AViewInfo->Text, AViewInfo->TextOutData, AViewInfo->TextRowsPrepared, AViewInfo->TextRect,
                  static_cast<Cardinal>(AViewInfo->DrawTextFlags), AViewInfo->SelStart, AViewInfo->SelLength,
                  AViewInfo->SelBackgroundColor, AViewInfo->SelTextColor, AViewInfo->MaxLineCount);
}

void DrawTextEdit(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  const bool transparent = AViewInfo->Transparent || (AViewInfo->Edit && AViewInfo->Edit->IsTransparent());
  TcxEditBackgroundPaintingStyle paintingStyle = bpsSolid;
  if (AViewInfo->ComboBoxStyle)
    paintingStyle = IsFixedListOrNoEdit(AViewInfo->EditingStyle) ? bpsComboListEdit : bpsComboEdit;
  DrawCustomEdit(ACanvas, AViewInfo, !transparent && !AViewInfo->DrawSelected, paintingStyle);

  TRect R = AViewInfo->ClientRect;
  if (!AViewInfo->IsInplace) {
    if ((AViewInfo->BorderStyle == ebsNone || AViewInfo->DrawSelected) && !transparent &&
        AViewInfo->EditingStyle != esNoEdit)
      ACanvas->FrameRect(R, AViewInfo->BackgroundColor);
    R = cxRectInflate(R, -1, -1);
  }
  if (AViewInfo->CustomDrawHandler) {
    AViewInfo->CustomDrawHandler(ACanvas, R);
  } else {
    if (AViewInfo->DrawSelected) {
      ACanvas->SetBrushColor(clHighlight);
      ACanvas->FillRect(R);
    }
    if (!AViewInfo->IsEditClass) AViewInfo->DrawText(ACanvas);
  }
  if (!AViewInfo->IsEditClass && AViewInfo->Focused && !AViewInfo->IsInplace && !AViewInfo->HasPopupWindow) {
    ACanvas->SetBrushColor(AViewInfo->DrawSelected ? clHighlight : AViewInfo->BackgroundColor);
    ACanvas->GetFont()->SetColor(AViewInfo->DrawSelected ? clHighlightText : clBtnText);
    ACanvas->GetCanvas()->DrawFocusRect(R);
  }
}

// --- view data ---------------------------------------------------------------------

void TcxCustomTextEditViewData::InitCacheData() {
  TcxCustomEditViewData::InitCacheData();
  FIsValueEditorWithValueFormatting = GetProperties()->IsValueEditorWithValueFormatting();
}

bool TcxCustomTextEditViewData::GetIsEditClass() {
  // The editor decides whether its inner edit is shown; a grid cell
  // without an editor always draws its text itself.
  return Edit && Edit->IsEditClass();
}

Integer TcxCustomTextEditViewData::GetDrawTextFlags() {
  Integer flags = 0;
  if (HorzAlignment == taRightJustify)
    flags = cxMakeFormat(taRight, taTop);
  else if (HorzAlignment == taCenter)
    flags = cxMakeFormat(taCenterX, taTop);
  if (VertAlignment == taBottomJustify)
    flags |= cxMakeFormat(taLeft, taBottom);
  else if (VertAlignment == taVCenter)
    flags |= cxMakeFormat(taLeft, taCenterY);
  return flags | cxtfSingleLine | cxtfKeepTop | cxtfKeepLeft;
}

TRect TcxCustomTextEditViewData::GetDrawTextOffset() { return GetTextEditDrawTextOffset(this); }

TRect TcxCustomTextEditViewData::GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  TRect result = TcxCustomEditViewData::GetClientExtent(ACanvas, AViewInfo);
  if (!GetIsInplace() && IsComboBoxStyle() && AViewInfo->IsNative) ++result.Right;
  return result;
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(const Variant& V, TcxCustomEditViewInfo* AViewInfo) {
  if (auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo))
    info->Text = GetProperties()->DisplayValueToDisplayText(VarToStr(V));
}

void TcxCustomTextEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AValue,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!info) return;
  info->Text = GetIsValueSource() ? AnsiString() : EditValueToDisplayText(AValue);
  info->TextRowsPrepared = false;
  PrepareSelection(info);
}

AnsiString TcxCustomTextEditViewData::InternalEditValueToDisplayText(const Variant& AEditValue) {
  TcxCustomTextEditProperties* properties = GetProperties();
  AnsiString text;
  if (FIsValueEditorWithValueFormatting) {
    text = VarToStr(AEditValue);
  } else {
    try {
      text = VarToStr(properties->GetDefaultDisplayValue(AEditValue, InternalFocused()));
    } catch (const EConvertError&) {
      // Painting never raises; the value shows as it is.
      text = VarToStr(AEditValue);
    }
  }
  return properties->DisplayValueToDisplayText(text);
}

TSize TcxCustomTextEditViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                            const TcxEditSizeProperties& AEditSizeProperties) {
  const TSize inherited = TcxCustomEditViewData::InternalGetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
  TSize result = GetTextEditContentSize(ACanvas, this, EditValueToDisplayText(AEditValue),
                                        static_cast<Cardinal>(GetDrawTextFlags()), AEditSizeProperties);
  result.cx = std::max(result.cx, inherited.cx);
  result.cy = std::max(result.cy, inherited.cy);
  return result;
}

void TcxCustomTextEditViewData::PrepareSelection(TcxCustomEditViewInfo* AViewInfo) {
  auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!info) return;
  info->SelStart = SelStart;
  info->SelLength = SelLength;
  if (SelLength == 0) return;
  if (SelBackgroundColor != clDefault) {
    info->SelBackgroundColor = SelBackgroundColor;
    info->SelTextColor = SelTextColor != clDefault ? SelTextColor : InvertColor(SelBackgroundColor);
  } else if (SelTextColor != clDefault) {
    info->SelTextColor = SelTextColor;
    info->SelBackgroundColor = InvertColor(SelTextColor);
  } else if (GetStyle()->GetColor() == clHighlight) {
    info->SelBackgroundColor = TColor(0);
    info->SelTextColor = TColor(0xFFFFFF);
  } else {
    info->SelBackgroundColor = clHighlight;
    info->SelTextColor = clHighlightText;
  }
}

Integer TcxCustomTextEditViewData::MultiLineDrawTextFlags(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  Integer flags = GetDrawTextFlags();
  if (AViewInfo->Text.empty()) return flags;
  ACanvas->SetFont(GetStyle()->GetVisibleFont());
  Integer width = cxRectWidth(AViewInfo->TextRect);
  if (HorzAlignment == taRightJustify) ++width;
  if (width <= 0) return flags;
  TRect R(0, 0, width, INT_MAX / 2);
  const Cardinal measure = (static_cast<Cardinal>(flags) & ~cxtfSingleLine) | cxtfReturnRowCount | cxtfWholeRows |
                           cxtfWordBreak | cxtfCalcRect;
  const Integer rowCount = cxTextOut(ACanvas, AViewInfo->Text, R, measure);
  if (rowCount > 1) {
    flags = (flags & ~Integer(cxtfSingleLine)) | Integer(cxtfWholeRows | cxtfWordBreak);
    if (ZgHeight(ACanvas) * rowCount > cxRectHeight(AViewInfo->TextRect)) flags &= ~0x30;
  }
  return flags;
}

void TcxCustomTextEditViewData::PrepareDrawTextFlags(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!info) return;
  TcxCustomTextEditProperties* properties = GetProperties();
  if (!properties->IsMultiLine() && properties->GetSupportedOperations().Contains(esoAutoHeight) &&
      GetPaintOptions().Contains(epoAutoHeight))
    info->DrawTextFlags = MultiLineDrawTextFlags(ACanvas, info);
  else
    info->DrawTextFlags = GetDrawTextFlags();
  if (GetPaintOptions().Contains(epoShowEndEllipsis)) info->DrawTextFlags |= cxtfEndEllipsis;
  info->ComboBoxStyle = IsComboBoxStyle();
}

void TcxCustomTextEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton, TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!info) return;
  info->DrawSelected = false;
  info->EditingStyle = GetProperties()->GetEditingStyle();
  info->IsEditClass = GetIsEditClass();
  info->HasPopupWindow = Edit && Edit->GetEditControl() && Edit->GetEditControl()->HasPopupWindow();
  const TRect offsets = GetDrawTextOffset();
  TRect textRect = info->ClientRect;
  textRect.Left += offsets.Left;
  textRect.Top += offsets.Top;
  textRect.Right -= offsets.Right;
  textRect.Bottom -= offsets.Bottom;
  if (!GetIsInplace()) {
    ACanvas->SetFont(GetStyle()->GetVisibleFont());
    const Integer zg = ZgHeight(ACanvas);
    if (cxRectHeight(textRect) < zg) textRect.Bottom = std::min(textRect.Top + zg, info->ClientRect.Bottom);
  }
  info->TextRect = textRect;
  info->MaxLineCount = GetMaxLineCount();
  info->TextRowsPrepared = false;
  PrepareDrawTextFlags(ACanvas, info);
}

// --- view info -----------------------------------------------------------------------

void TcxCustomTextEditViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxCustomTextEditViewInfo*>(Source)) {
    Text = source->Text;
    TextRect = source->TextRect;
    DrawTextFlags = source->DrawTextFlags;
    SelStart = source->SelStart;
    SelLength = source->SelLength;
    SelBackgroundColor = source->SelBackgroundColor;
    SelTextColor = source->SelTextColor;
    DrawSelected = source->DrawSelected;
    IsEditClass = source->IsEditClass;
    // The rows point into the source's text; this copy lays out anew.
    TextRowsPrepared = false;
  }
  TcxCustomEditViewInfo::Assign(Source);
}

TcxRegion* TcxCustomTextEditViewInfo::GetUpdateRegion(TcxContainerViewInfo* AViewInfo) {
  TcxRegion* region = TcxCustomEditViewInfo::GetUpdateRegion(AViewInfo);
  auto* other = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (other && (other->Text != Text || other->TextRect != TextRect || other->DrawTextFlags != DrawTextFlags ||
                other->SelStart != SelStart || other->SelLength != SelLength ||
                other->DrawSelected != DrawSelected || other->IsEditClass != IsEditClass)) {
    region->Free();
    return New<TcxRegion>(Bounds);
  }
  return region;
}

void TcxCustomTextEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::Offset(DX, DY);
  TextRect = cxRectOffset(TextRect, DX, DY);
  if (TextRowsPrepared) {
    TextOutData.TextRect = cxRectOffset(TextOutData.TextRect, DX, DY);
    for (TcxTextRow& row : TextOutData.TextRows) {
      row.Left += DX;
      row.Top += DY;
    }
  }
}

void TcxCustomTextEditViewInfo::DrawText(TcxCanvas* ACanvas) { DrawEditText(ACanvas, this); }

void TcxCustomTextEditViewInfo::InternalPaint(TcxCanvas* ACanvas) { DrawTextEdit(ACanvas, this); }

Integer TcxCustomTextEditViewInfo::GetTextBaseLine() {
  Integer F = 0;
  if (Font) {
    TcxScreenCanvas* screenCanvas = cxScreenCanvas();
    screenCanvas->SetFont(Font);
    F = screenCanvas->TextHeight("Zg");
  }
  switch (DrawTextFlags & 0x30) {
    case 0x20: return TextRect.Bottom - 1;
    case 0x10: return TextRect.Top + (cxRectHeight(TextRect) - F) / 2 + F - 1;
    default: return TextRect.Top + F - 1;
  }
}

bool TcxCustomTextEditViewInfo::NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, const TRect& AVisibleBounds,
                                             AnsiString& AText, bool& AIsMultiLine, TRect& ATextRect) {
  TRect hintRect = TextRect;
  if (!cxRectIsEmpty(AVisibleBounds)) {
    const TRect moved = cxRectOffset(AVisibleBounds, Left, Top);
    cxRectIntersect(hintRect, moved, TextRect);
  }
  if (!cxRectPtIn(hintRect, P) || Text.empty()) return false;

  const Cardinal flags = static_cast<Cardinal>(DrawTextFlags);
  const bool wraps = (flags & cxtfWordBreak) && !(flags & cxtfSingleLine);
  if (Font) ACanvas->SetFont(Font);
  TcxTextParams params = cxCalcTextParams(ACanvas->GetCanvas(), flags);
  TRect room = TextRect;
  if (!wraps) room.Right = INT_MAX / 2;
  room.Bottom = INT_MAX / 2;
  TcxTextRows rows;
  Integer rowCount = 0;
  cxMakeTextRows(ACanvas->GetCanvas(), Text, room, params, rows, rowCount);
  cxPlaceTextRows(ACanvas->GetHandle(), room, params, rows, rowCount);
  bool fits = true;
  for (Integer i = 0; i < rowCount && fits; ++i) {
    AnsiString row(rows[i].Text, rows[i].TextLength);
    row.erase(row.find_last_not_of(" \t") + 1);
    const Integer width = row.empty() ? 0 : ACanvas->TextWidth(row);
    if (width > cxRectWidth(TextRect) || rows[i].Left + width > TextRect.Right) fits = false;
  }
  if (fits && rowCount > 0 && rows[rowCount - 1].Top + params.TextHeight > TextRect.Bottom) fits = false;
  if (fits) return false;
  AText = Text;
  AIsMultiLine = wraps;
  ATextRect = cxRectOffset(TextRect, -Left, -Top);
  return true;
}
