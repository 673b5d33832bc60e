// Windows that float above all others and never take the activation: a
// menu, the open list of a drop-down, a hint.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/win/WindowStyles.h"

// The creation parameters of such a window, of the given style: a
// top-level popup kept off the taskbar and above every other window, that
// a click never activates, its class saving the pixels it covers.
inline void FloatingPopupParams(TCreateParams& Params, win::DWORD Style) {
  Params.Style = Style;
  Params.ExStyle = win::WS_EX_TOOLWINDOW | win::WS_EX_TOPMOST | win::WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= win::CS_SAVEBITS;
}
