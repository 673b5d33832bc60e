// Painting editors the way a grid paints cells without an editor window:
// properties, a style with a look and feel, one view data and a view info,
// calculated at a place of a bitmap canvas with the mouse where a state
// wants it, and painted there. Shared by the painting stories and the
// contact sheets of the concrete editors.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/editors/ConcreteEditorSession.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/PainterCanvas.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Recorder.h"
#include "platform/win/Focus.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"
#include "platform/win/WindowDC.h"
#include "platform/rtl/Owned.h"

namespace edit_paint {

// The look of an editor: its look-and-feel kind (or the theme), the border
// of a stand-alone editor and the style of its buttons.
struct Look {
  const char* Name;
  TcxLookAndFeelKind Kind;
  bool Native;
  TcxEditBorderStyle Border;
  TcxEditButtonStyle Buttons;
};

inline const Look kLooks[] = {
    {"3-D", lfStandard, false, ebs3D, bts3D},
    {"flat", lfFlat, false, ebsFlat, btsFlat},
    {"simple", lfStandard, false, ebsNone, btsSimple},
    {"hot-flat", lfStandard, false, ebsSingle, btsHotFlat},
    {"ultra-flat", lfUltraFlat, false, ebsUltraFlat, btsUltraFlat},
    {"Office-11", lfOffice11, false, ebsOffice11, btsOffice11},
    {"themed", lfStandard, true, ebsSingle, btsDefault},
};

// Where the mouse is and what it does.
enum class Mouse { Away, Over, Down };

template <class S = TcxEditStyle>
TOwned<S> MakeStyle(const Look& ALook) {
  TOwned<S> style(New<S>(nullptr, false));
  style->GetLookAndFeel()->SetKind(ALook.Kind);
  style->GetLookAndFeel()->SetNativeStyle(ALook.Native);
  style->SetEditBorderStyle(ALook.Border);
  if (ALook.Buttons != btsDefault) style->SetButtonStyle(ALook.Buttons);
  style->SetHotTrack(true);
  style->SetColor(clWindow);
  return style;
}

// Calculates AInfo at ABounds with the mouse at P and paints it there. A
// focused text editor shows its text in its inner edit, without the frame
// a cell draws: AInnerEdit paints it so.
inline void PaintCell(TcxCanvas* ACanvas, TcxCustomEditViewData* AViewData, TcxCustomEditViewInfo* AInfo,
                      const TRect& ABounds, const Variant& AValue, TPoint P, Mouse AMouse, bool AInnerEdit = false) {
  const TcxMouseButton button = AMouse == Mouse::Down ? cxmbLeft : cxmbNone;
  const TShiftState shift = AMouse == Mouse::Down ? TShiftState{ssLeft} : TShiftState{};
  if (AMouse == Mouse::Away) P = TPoint(-100, -100);
  AViewData->CalculateEx(ACanvas, ABounds, P, button, shift, AInfo, AMouse == Mouse::Down);
  AViewData->EditValueToDrawValue(ACanvas, AValue, AInfo);
  if (AInnerEdit) AInfo->Focused = false;
  AInfo->PaintEx(ACanvas);
}

// A label in the sheet's small font.
inline void Label(TcxCanvas* ACanvas, const std::string& AText, const TRect& R, Integer AFlags = cxAlignLeft) {
  TOwned<TFont> font(New<TFont>());
  font->SetName("Tahoma");
  font->SetSize(8);
  ACanvas->SetFont(font.get());
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->GetFont()->SetColor(clBtnText);
  ACanvas->DrawTexT(AText, R, AFlags | cxAlignVCenter | cxSingleLine);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

// Paints a control's window into the canvas with its client area's
// top-left at P, as its own painting would (its child windows not).
inline void PaintControlInto(TWinControl* AControl, TcxCanvas* ACanvas, TPoint P) {
  const win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  win::OffsetViewportOrgEx(dc, P.X, P.Y, nullptr);
  AControl->Perform(win::WM_PAINT, reinterpret_cast<win::WPARAM>(dc), 0);
  win::RestoreDC(dc, saved);
}

// An owner-drawn button drawn into the canvas at P as its window would
// draw it.
inline void DrawItemInto(TWinControl* AControl, TcxCanvas* ACanvas, TPoint P) {
  const win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  win::OffsetViewportOrgEx(dc, P.X, P.Y, nullptr);
  win::DRAWITEMSTRUCT item{};
  item.CtlType = win::ODT_BUTTON;
  item.itemAction = win::ODA_DRAWENTIRE;
  item.hwndItem = AControl->HandleAllocated() ? AControl->GetHandle() : nullptr;
  if (item.hwndItem && win::GetFocus() == item.hwndItem) item.itemState |= win::ODS_FOCUS;
  item.hDC = dc;
  item.rcItem = win::RECT{0, 0, AControl->GetWidth(), AControl->GetHeight()};
  AControl->Perform(win::CN_DRAWITEM, 0, reinterpret_cast<win::LPARAM>(&item));
  win::RestoreDC(dc, saved);
}

// Text pixels are exact in the monochrome mode while this lives.
class MonochromeText {
 public:
  MonochromeText() : FPrevious(win::GetTextRenderMode()) { win::SetTextRenderMode(win::TextRenderMode::Monochrome); }
  ~MonochromeText() { win::SetTextRenderMode(FPrevious); }
  MonochromeText(const MonochromeText&) = delete;
  MonochromeText& operator=(const MonochromeText&) = delete;

 private:
  win::TextRenderMode FPrevious;
};

// The bounding box of the pixels of AColor inside R; empty when none.
inline TRect ColorBox(PainterCanvas& ACanvas, const TRect& R, TColor AColor) {
  TRect box(R.Right, R.Bottom, R.Left, R.Top);
  const TColor rgb = ColorToRGB(AColor);
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (ACanvas.At(x, y) == rgb) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return box.Left < box.Right ? box : TRect();
}

// A window and every visible child window on it, as the screen shows
// them (the surface of its top-level window, children and all), copied
// into ADest at AOrigin.
inline void GrabWindow(TWinControl* AControl, TcxCanvas* ADest, TPoint AOrigin) {
  AControl->Repaint();
  win::test::PumpUntilIdle();
  const win::HWND top = win::GetAncestor(AControl->GetHandle(), win::GA_ROOT);
  win::RECT window{}, root{};
  win::GetWindowRect(AControl->GetHandle(), &window);
  win::GetWindowRect(top, &root);
  win::HDC dc = win::GetWindowDC(top);
  win::BitBlt(ADest->GetHandle(), AOrigin.X, AOrigin.Y, AControl->GetWidth(), AControl->GetHeight(), dc,
              window.Left - root.Left, window.Top - root.Top, win::SRCCOPY);
  win::ReleaseDC(top, dc);
}

// ---- The recording DC's log, read back ----

// One drawing call of the log: its name, its arguments, and the state it
// drew with.
struct Call {
  std::string Name, Args, State;
  bool Has(const std::string& AWhat) const {
    return Args.find(AWhat) != std::string::npos || State.find(AWhat) != std::string::npos;
  }
  // The quoted text of a text call.
  std::string Text() const {
    const std::size_t open = Args.find('"'), close = Args.rfind('"');
    return open == std::string::npos || close == open ? std::string() : Args.substr(open + 1, close - open - 1);
  }
  // A "key=value" of the state, e.g. Value("text") is "#808080".
  std::string Value(const std::string& AKey) const {
    const std::size_t at = State.find(AKey + "=");
    if (at == std::string::npos) return {};
    const std::size_t end = State.find(' ', at);
    return State.substr(at + AKey.size() + 1, end - at - AKey.size() - 1);
  }
  // The font's height as logged ("font=\"Name\" -11 ...").
  int FontHeight() const {
    const std::size_t at = State.find("font=\"");
    const std::size_t close = at == std::string::npos ? at : State.find('"', at + 6);
    return close == std::string::npos ? 0 : std::atoi(State.c_str() + close + 2);
  }
};

inline std::vector<Call> Parse(const std::string& ALog) {
  std::vector<Call> calls;
  std::size_t at = 0;
  while (at < ALog.size()) {
    const std::size_t end = std::min(ALog.find('\n', at), ALog.size());
    const std::string line = ALog.substr(at, end - at);
    at = end + 1;
    // "Name(args) text=... bk=... font=... clip=...": the state begins
    // with the text colour.
    const std::size_t open = line.find('('), close = line.rfind(") text=");
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    calls.push_back(Call{line.substr(0, open), line.substr(open + 1, close - open - 1), line.substr(close + 2)});
  }
  return calls;
}

// The text calls, in order: DrawText where the painter lays text out
// (each goes on to an ExtTextOut of its own), else the plain outputs.
inline std::vector<Call> Texts(const std::vector<Call>& ACalls) {
  std::vector<Call> texts;
  for (const Call& call : ACalls)
    if (call.Name == "DrawText") texts.push_back(call);
  if (texts.empty())
    for (const Call& call : ACalls)
      if ((call.Name == "ExtTextOut" || call.Name == "TextOut") && !call.Text().empty()) texts.push_back(call);
  return texts;
}

// Paints a control's client area into a fresh canvas with the recorder on.
inline std::vector<Call> Record(TWinControl* AControl) {
  PainterCanvas canvas(std::max(AControl->GetWidth(), 1), std::max(AControl->GetHeight(), 1));
  win::GdiStartRecording(canvas.get()->GetHandle());
  PaintControlInto(AControl, canvas.get(), TPoint(0, 0));
  std::vector<Call> calls = Parse(win::GdiRecording(canvas.get()->GetHandle()));
  win::GdiStopRecording(canvas.get()->GetHandle());
  return calls;
}

// A colour as the log writes it.
inline std::string Hex(TColor AColor) { return win::gdi::ColorText(ColorToRGB(AColor)); }

}  // namespace edit_paint
