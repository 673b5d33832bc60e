#include "library/editors/cxRichEditRenderer.h"

#include "library/editors/cxRichEdit.h"
#include "platform/forms/Application.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

using namespace win;

namespace {

TcxRichInnerEdit* Renderer = nullptr;

constexpr LONG kTwipsPerInch = 1440;
// Taller than any line can be (sizes stop at 1,638 points).
constexpr LONG kTallestPage = 1024 * kTwipsPerInch;

// The renderer's text through the line list: rich text (plain text when
// it is none), or plain text in memo mode, where rich text is shown as
// nothing, not read.
// Text that cannot be read at all leaves the renderer empty: a cell never
// shows the cell painted before it.
void LoadValue(TcxRichInnerEdit* ARenderer, const Variant& AValue) {
  const AnsiString text = VarToStr(AValue);
  if (ARenderer->GetMemoMode() && IsRichText(text)) {
    ARenderer->SetText(AnsiString());
    return;
  }
  try {
    TStringStream stream(text);
    ARenderer->GetRichLines()->LoadFromStream(&stream);
  } catch (const EOutOfResources&) {
    ARenderer->SetText(AnsiString());
  }
}

void Prepare(TcxRichInnerEdit* ARenderer, const Variant& AValue, TcxCustomRichEditProperties* AProperties,
             TFont* AFont, TColor ATextColor, TColor ABackground) {
  const bool memoMode = AProperties && AProperties->GetMemoMode();
  const bool plainText = AProperties && AProperties->GetPlainText();
  ARenderer->SetMemoMode(memoMode);
  ARenderer->SetPlainText(plainText || memoMode);
  ARenderer->SetAlignment(AProperties ? AProperties->GetAlignment()->GetHorz() : taLeftJustify);
  ARenderer->HandleNeeded();
  // Text that is not rich text shown as such takes the cell's font and
  // colour; the window gives loaded plain text its default format, so the
  // default is set before the text comes in.
  const bool richShown = IsRichText(VarToStr(AValue)) && !memoMode && !plainText;
  if (!richShown && AFont) {
    TTextAttributes* attributes = ARenderer->GetDefAttributes();
    attributes->SetName(AFont->GetName());
    attributes->SetSize(AFont->GetSize());
    attributes->SetStyle(AFont->GetStyle());
    attributes->SetColor(ATextColor);
  }
  LoadValue(ARenderer, AValue);
  SendMessageA(ARenderer->GetHandle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(ABackground)));
}

}  // namespace

TcxRichInnerEdit* cxRichRenderer() {
  if (Renderer) return Renderer;
  if (!Application) return nullptr;
  Renderer = New<TcxRichInnerEdit>(nullptr);
  Renderer->SetVisible(false);
  Renderer->SetParentWindow(Application->GetHandle());
  Renderer->HandleNeeded();
  return Renderer;
}

void cxFreeRichRenderer() { FreeAndNil(Renderer); }

Integer cxDrawRichEditText(HDC ADC, const TRect& R, const Variant& AValue, TcxCustomRichEditProperties* AProperties,
                           TFont* AFont, TColor ATextColor, TColor ABackground, bool AMeasureOnly) {
  TcxRichInnerEdit* renderer = cxRichRenderer();
  if (!renderer) return -1;
  const Integer width = R.Right - R.Left, height = R.Bottom - R.Top;
  if (!AMeasureOnly) {
    RECT all{0, 0, width, height};
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(ABackground)));
    FillRect(ADC, &all, brush);
    DeleteObject(brush);
  }
  Prepare(renderer, AValue, AProperties, AFont, ATextColor, ABackground);
  const HWND wnd = renderer->GetHandle();
  SendMessageA(wnd, EM_FORMATRANGE, 0, 0);
  int dpiX = GetDeviceCaps(ADC, LOGPIXELSX), dpiY = GetDeviceCaps(ADC, LOGPIXELSY);
  if (dpiX <= 0) dpiX = 96;
  if (dpiY <= 0) dpiY = 96;
  const LONG pageWidth = static_cast<LONG>(width) * kTwipsPerInch / dpiX;
  LONG pageHeight = AMeasureOnly ? kTwipsPerInch : static_cast<LONG>(height) * kTwipsPerInch / dpiY;
  FORMATRANGE range{};
  range.hdc = ADC;
  range.hdcTarget = ADC;
  range.chrg = {0, -1};
  GETTEXTLENGTHEX how{GTL_PRECISE | GTL_USECRLF, 0};
  const auto length = static_cast<LONG>(SendMessageA(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
  LONG used = 0;
  for (;;) {
    range.rc = RECT{0, 0, pageWidth, pageHeight};
    range.rcPage = range.rc;
    const auto next = static_cast<LONG>(SendMessageA(wnd, EM_FORMATRANGE, AMeasureOnly ? 0 : 1,
                                                     reinterpret_cast<LPARAM>(&range)));
    // A page takes whole lines only: one that takes none while text is
    // left (a line taller than the cell, or than the inch measured at a
    // time) grows until it takes that line, which is measured whole and
    // drawn as far as the cell shows it.
    if (next <= range.chrg.cpMin && next < length && pageWidth > 0 && pageHeight > 0 &&
        pageHeight <= kTallestPage / 2) {
      pageHeight *= 2;
      continue;
    }
    // One page is drawn; measuring goes on while the formatter advances
    // and text is left.
    if (!AMeasureOnly) break;
    if (next <= range.chrg.cpMin) break;
    used += range.rc.Bottom;
    if (next >= length) break;
    range.chrg.cpMin = next;
  }
  SendMessageA(wnd, EM_FORMATRANGE, 0, 0);
  return AMeasureOnly ? static_cast<Integer>(static_cast<long long>(used) * dpiY / kTwipsPerInch) : 0;
}

AnsiString cxRichEditPlainText(const Variant& AValue) {
  TcxRichInnerEdit* renderer = cxRichRenderer();
  if (!renderer) return VarToStr(AValue);
  renderer->SetMemoMode(false);
  renderer->SetPlainText(false);
  renderer->HandleNeeded();
  try {
    SetRichEditText(renderer, AValue);
  } catch (const EOutOfResources&) {
    return VarToStr(AValue);
  }
  return renderer->GetRichText();
}
