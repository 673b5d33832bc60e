// The recording tap: any DC can log its drawing calls as text, each with
// its arguments and the state it draws with (text and background colours,
// background mode, pen, brush, font and the effective clip box), so that
// painter tests compare logs while the pixels still land as usual.
#pragma once

#include <string>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

class DC;

class Recorder {
 public:
  // Appends "Call(args) | state" and a line break.
  void Log(const DC& dc, const char* call, const char* fmt, ...) __attribute__((format(printf, 4, 5)));
  std::string Text;
};

std::string ColorText(COLORREF c);  // "#RRGGBB"

}  // namespace win::gdi

namespace win {

// Starts logging the DC's drawing calls (a DC already logging is cleared).
BOOL GdiStartRecording(HDC hdc);
BOOL GdiStopRecording(HDC hdc);
// The log so far ("" for a DC that does not record).
std::string GdiRecording(HDC hdc);
void GdiClearRecording(HDC hdc);

}  // namespace win

// Logs a drawing call when the DC records; costs one test otherwise.
#define ORV_GDI_LOG(dc, call, ...) \
  do {                             \
    if ((dc)->Rec) (dc)->Rec->Log(*(dc), call, __VA_ARGS__); \
  } while (0)
