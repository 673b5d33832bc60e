#include "platform/x11/X11Selection.h"

#include <X11/Xlib.h>

namespace win::x11 {

void AnswerSelectionRequest(::Display* display, const XEvent& request, unsigned long property) {
  const XSelectionRequestEvent& r = request.xselectionrequest;
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = r.requestor;
  reply.xselection.selection = r.selection;
  reply.xselection.target = r.target;
  reply.xselection.time = r.time;
  reply.xselection.property = property;
  XSendEvent(display, r.requestor, False, 0, &reply);
}

}  // namespace win::x11
