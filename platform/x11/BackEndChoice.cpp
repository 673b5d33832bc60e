#include "platform/x11/BackEndChoice.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/win/HeadlessBackEnd.h"
#include "platform/x11/X11BackEnd.h"

namespace win {

void StartDefaultBackEnd() {
  RegisterX11BackEnd();
  const char* requested = std::getenv("ORVANTA_BACKEND");
  std::string name = requested ? requested : "";
  const char* display = std::getenv("DISPLAY");
  std::unique_ptr<IBackEnd> chosen;
  if (name != "headless") {
    // A misspelt name must not quietly cost the user the screen: say so,
    // and go on as if none were given.
    if (!name.empty() && name != "x11")
      std::fprintf(stderr, "ORVANTA_BACKEND=%s names no back end (headless or x11); the default applies\n",
                   name.c_str());
    if (display && *display) chosen = OpenX11BackEnd(display);
  }
  if (!chosen) chosen = std::make_unique<HeadlessBackEnd>();
  SetBackEnd(std::move(chosen));
}

}  // namespace win
