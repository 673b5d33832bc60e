// Answers to the requests X sends a selection's owner: the owner puts the
// value on the requestor's window (or does not), then tells the requestor
// which property holds it. The back end serving the clipboard and the
// probe's stand-ins for other programs answer alike.
#pragma once

struct _XDisplay;
union _XEvent;

namespace win::x11 {

// Sends the requestor of `request` (a SelectionRequest event) the notice
// that the value is in `property` of its window; None says it was refused.
// The caller flushes.
void AnswerSelectionRequest(_XDisplay* display, const _XEvent& request, unsigned long property);

}  // namespace win::x11
