// Which display a program shows its windows on, decided once at start:
// ORVANTA_BACKEND=headless keeps every window off screen; otherwise X when
// DISPLAY is set and the connection opens, and headless when it is not set
// or the display cannot be reached (a program started without a display
// still runs, its windows simply unseen). A program's start-up calls this
// before it creates its first window.
#pragma once

namespace win {

// Applies the rule above and makes the chosen back end the active one.
void StartDefaultBackEnd();

}  // namespace win
