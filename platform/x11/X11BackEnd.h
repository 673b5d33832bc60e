// The back end that shows top-level windows on an X display. A program's
// start-up calls StartDefaultBackEnd (BackEndChoice.h), which picks it when
// DISPLAY is set and the connection opens and stays headless otherwise. No
// X type appears outside this folder's .cpp files.
#pragma once

#include <memory>
#include <string>

#include "platform/win/BackEnd.h"

namespace win {

// Makes "x11" selectable by name.
void RegisterX11BackEnd();

// Opens a connection to the display (empty: $DISPLAY); null when it cannot.
std::unique_ptr<IBackEnd> OpenX11BackEnd(const std::string& display = {});

}  // namespace win
