#include "platform/gdi/Recorder.h"

#include <cstdarg>
#include <cstdio>

#include "platform/gdi/DeviceContext.h"

namespace win::gdi {

std::string ColorText(COLORREF c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buf;
}

namespace {

const char* PenStyleName(UINT style) {
  static const char* names[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "null", "insideframe", "user", "alternate"};
  return style < 9 ? names[style] : "?";
}

std::string PenText(const DC& dc) {
  const Pen* p = dc.S.CurPen;
  if (!p) return "none";
  if (p->Style == PS_NULL) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s/%d/%s", PenStyleName(p->Style), p->Width, ColorText(dc.PenColor()).c_str());
  return buf;
}

std::string BrushText(const DC& dc) {
  const Brush* b = dc.S.CurBrush;
  if (!b) return "none";
  if (b->DcBrush) return "solid/" + ColorText(dc.S.DcBrushColor);
  return b->Summary();
}

}  // namespace

void Recorder::Log(const DC& dc, const char* call, const char* fmt, ...) {
  char args[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(args, sizeof args, fmt, ap);
  va_end(ap);
  const TRect& b = dc.Eff.Box();
  // The clip box in logical coordinates, as GetClipBox reports it.
  char clip[96];
  if (dc.Eff.IsEmpty())
    std::snprintf(clip, sizeof clip, "empty");
  else
    std::snprintf(clip, sizeof clip, "%d,%d,%d,%d", b.Left - dc.OffX, b.Top - dc.OffY, b.Right - dc.OffX,
                  b.Bottom - dc.OffY);
  Text += call;
  Text += '(';
  Text += args;
  Text += ") text=" + ColorText(dc.S.TextColor) + " bk=" + ColorText(dc.S.BkColor) +
          (dc.S.BkMode == TRANSPARENT ? " transparent" : " opaque") + " pen=" + PenText(dc) +
          " brush=" + BrushText(dc) + " font=" + (dc.S.CurFont ? dc.S.CurFont->Summary() : std::string("none")) +
          " clip=" + clip + "\n";
}

}  // namespace win::gdi

namespace win {

using namespace gdi;

BOOL GdiStartRecording(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!dc->Rec) dc->Rec = new Recorder;
  dc->Rec->Text.clear();
  return TRUE;
}

BOOL GdiStopRecording(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  delete dc->Rec;
  dc->Rec = nullptr;
  return TRUE;
}

std::string GdiRecording(HDC hdc) {
  DC* dc = LookupDC(hdc);
  return dc && dc->Rec ? dc->Rec->Text : std::string();
}

void GdiClearRecording(HDC hdc) {
  DC* dc = LookupDC(hdc);
  if (dc && dc->Rec) dc->Rec->Text.clear();
}

}  // namespace win
