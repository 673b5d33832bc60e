// The clipboard is X's CLIPBOARD selection. Setting data makes this
// process its owner: the formats stay here and other programs are served
// text on request (TARGETS, UTF8_STRING, text/plain;charset=utf-8, STRING).
// Reading while another program owns it asks for its text and waits a
// bounded time for the answer (a big text comes in pieces, each waited for
// as long, up to kMaxPasteBytes); other formats exist only between our own
// windows. What another program holds is fetched at most once per turn of
// the message loop. Losing the selection is counted, so that the window
// system drops what it kept of ours. A text of ours too big for one
// request goes to other programs in parts (INCR), driven by their events
// while the loop runs on.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/rtl/CodePage.h"
#include "platform/win/Clipboard.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Selection.h"
#include "platform/x11/X11Text.h"

namespace win::x11 {
namespace {

constexpr int kWaitMs = 1000;
// The most text another program's copy can paste here (bytes as sent).
constexpr std::size_t kMaxPasteBytes = std::size_t(64) << 20;
// The most bytes of ours one part of a transfer carries: the server holds
// each part until the requestor has read it.
constexpr std::size_t kPartBytes = std::size_t(256) << 10;

// The text we hold, as 1252 bytes with CR LF; false when there is none.
bool HeldText(const std::map<UINT, std::string>& clip, std::string& text) {
  if (auto it = clip.find(CF_TEXT); it != clip.end()) {
    text = it->second;
    return true;
  }
  if (auto it = clip.find(CF_UNICODETEXT); it != clip.end()) {
    std::u16string w(it->second.size() / 2, u'\0');
    std::memcpy(w.data(), it->second.data(), w.size() * 2);
    text = WideToAnsi(w);
    return true;
  }
  return false;
}

}  // namespace

void X11BackEnd::SetClipboard(UINT format, std::string data) {
  clip[format] = std::move(data);
  if (!ownsClipboard) {
    // The time of the last input event may be older than another owner's
    // claim, and the server would then refuse ours: copying is always the
    // user's latest wish.
    XSetSelectionOwner(dpy, atoms.clipboard, helper, CurrentTime);
    ownsClipboard = XGetSelectionOwner(dpy, atoms.clipboard) == helper;
  }
}

void X11BackEnd::ClearClipboard() {
  // Emptying makes us the owner of an empty clipboard: another program's
  // text is gone for everyone, as the user asked.
  clip.clear();
  XSetSelectionOwner(dpy, atoms.clipboard, helper, CurrentTime);
  ownsClipboard = XGetSelectionOwner(dpy, atoms.clipboard) == helper;
}

bool X11BackEnd::GetClipboard(UINT format, std::string& data) const {
  if (ownsClipboard || XGetSelectionOwner(dpy, atoms.clipboard) == None) {
    auto it = clip.find(format);
    if (it == clip.end()) return false;
    data = it->second;
    return true;
  }
  if (format != CF_TEXT && format != CF_UNICODETEXT) return false;
  if (!foreignFetched) {
    foreignFetched = true;
    foreignOk = ReadForeignText(foreignText);
  }
  if (!foreignOk) return false;
  if (format == CF_TEXT) {
    data = foreignText;
  } else {
    WideString w = AnsiToWide(foreignText);
    data.assign(reinterpret_cast<const char*>(w.data()), w.size() * 2);
  }
  return true;
}

// Asks the owner for UTF-8 text, then Latin-1, and waits for each answer
// at most kWaitMs. Events arriving meanwhile stay queued for the loop.
// An owner slow to answer may answer an earlier question after we stopped
// waiting: such an answer is not the one to this question (its bytes may
// be of another form), and what it names is not read.
bool X11BackEnd::ReadForeignText(std::string& out) const {
  XEvent e;
  for (XId target : {atoms.utf8String, atoms.string}) {
    while (XCheckTypedWindowEvent(dpy, helper, SelectionNotify, &e)) {
    }
    XDeleteProperty(dpy, helper, atoms.transferProperty);
    XConvertSelection(dpy, atoms.clipboard, target, atoms.transferProperty, helper,
                      lastTime ? lastTime : CurrentTime);
    const bool answered = WaitForHelperEvent(SelectionNotify, e, [&](const XEvent& x) {
      return x.xselection.selection == atoms.clipboard && x.xselection.target == target;
    });
    if (!answered) return false;  // an owner that does not answer has nothing for us
    if (e.xselection.property == None) continue;
    // The news of the answer's own writing is queued before the answer;
    // a transfer in pieces must not take it for its first piece.
    while (XCheckTypedWindowEvent(dpy, helper, PropertyNotify, &e)) {
    }
    Atom type = None;
    int format = 0;
    std::string bytes;
    if (!TakeTransfer(type, format, bytes) || type == None) continue;
    if (type == atoms.incr ? ReadPieces(bytes) : format == 8) {
      out = target == atoms.utf8String ? ClipboardFromUtf8(bytes) : ClipboardFromLatin1(bytes);
      return true;
    }
  }
  return false;
}

// A text too big for one property comes in pieces (INCR): reading the
// announcement deleted it, which asks the owner for the first piece; each
// piece read and deleted asks for the next, and an empty one ends the text.
// An owner that stalls between pieces, sends other than bytes, or more than
// any paste can hold gives no text at all rather than part of one.
bool X11BackEnd::ReadPieces(std::string& bytes) const {
  for (;;) {
    XEvent e;
    const bool arrived = WaitForHelperEvent(PropertyNotify, e, [&](const XEvent& x) {
      return x.xproperty.atom == atoms.transferProperty && x.xproperty.state == PropertyNewValue;
    });
    if (!arrived) return false;
    Atom type = None;
    int format = 0;
    std::string piece;
    if (!TakeTransfer(type, format, piece)) return false;
    if (type == None) continue;  // news of a value already read
    if (format != 8 || piece.size() > kMaxPasteBytes - bytes.size()) return false;
    if (piece.empty()) return true;
    bytes += piece;
  }
}

// Reads the value our helper window was given and deletes it (which asks
// an owner sending in pieces for the next): its type (None when there is
// none), its format, and its bytes when they are bytes.
bool X11BackEnd::TakeTransfer(unsigned long& type, int& format, std::string& bytes) const {
  Atom actual = None;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, helper, atoms.transferProperty, 0, 0x7FFFFFF, True, AnyPropertyType, &actual, &format,
                         &count, &after, &data) != Success)
    return false;
  type = actual;
  bytes.clear();
  if (data && format == 8) bytes.assign(reinterpret_cast<const char*>(data), count);
  if (data) XFree(data);
  return true;
}

// Waits at most kWaitMs for an event of the helper window that matches.
// Others of its kind that do not match are dropped (stale answers); events
// of every other kind stay queued for the loop.
bool X11BackEnd::WaitForHelperEvent(int type, XEvent& e, const std::function<bool(const XEvent&)>& matches) const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  for (;;) {
    if (XCheckTypedWindowEvent(dpy, helper, type, &e)) {
      if (matches(e)) return true;
      continue;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    XFlush(dpy);
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
    XEventsQueued(dpy, QueuedAfterReading);
  }
}

void X11BackEnd::OnSelectionRequest(XEvent& e) {
  XSelectionRequestEvent& r = e.xselectionrequest;
  Atom answer = None;
  // Old clients name no property: the target then serves as one.
  Atom property = r.property == None ? r.target : r.property;
  std::string text;
  if (r.selection == atoms.clipboard && ownsClipboard && HeldText(clip, text)) {
    if (r.target == atoms.targets) {
      Atom targets[] = {atoms.targets, atoms.utf8String, atoms.textPlainUtf8, atoms.string};
      XChangeProperty(dpy, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(targets), 4);
      answer = property;
    } else if (r.target == atoms.utf8String || r.target == atoms.textPlainUtf8 || r.target == atoms.string) {
      std::string bytes = r.target == atoms.string ? ClipboardToLatin1(text) : ClipboardToUtf8(text);
      if (bytes.size() <= LargestProperty()) {
        XChangeProperty(dpy, r.requestor, property, r.target, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        answer = property;
      } else if (StartOutgoing(r.requestor, property, r.target, std::move(bytes))) {
        answer = property;
      }
    }
  }
  AnswerSelectionRequest(dpy, e, answer);
  XFlush(dpy);
}

std::size_t X11BackEnd::LargestProperty() const {
  const long units = XExtendedMaxRequestSize(dpy) ? XExtendedMaxRequestSize(dpy) : XMaxRequestSize(dpy);
  // The request's own header and the property's names take some of it.
  return static_cast<std::size_t>(units) * 4 - 64;
}

// Announces a transfer in parts: the property says INCR with the size,
// and the requestor's deleting it asks for the first part. We hear of the
// deletions and of the window's end through its events, selected here.
bool X11BackEnd::StartOutgoing(XId window, XId property, XId type, std::string bytes) {
  // A new request to the same place ends an earlier transfer there.
  for (std::size_t i = 0; i < outgoing.size(); ++i)
    if (outgoing[i].window == window && outgoing[i].property == property) {
      DropOutgoing(i);
      break;
    }
  // The event masks of our own windows are theirs: none of ours asks us
  // while we own the clipboard, and changing them would deafen the window.
  if (window == helper || SurfaceOfWindow(window)) return false;
  XSelectInput(dpy, window, PropertyChangeMask | StructureNotifyMask);
  // A window already gone would never tell us of its end: the transfer
  // would wait for it forever.
  XWindowAttributes wa;
  if (!XGetWindowAttributes(dpy, window, &wa)) return false;
  long size = static_cast<long>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
  XChangeProperty(dpy, window, property, atoms.incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
  outgoing.push_back({window, property, type, std::move(bytes), 0});
  return true;
}

// The requestor read the last part (or the announcement): the next one
// goes in its place, an empty one after the text, which ends the transfer.
void X11BackEnd::SendNextPart(XEvent& e) {
  if (e.xproperty.state != PropertyDelete) return;
  for (std::size_t i = 0; i < outgoing.size(); ++i) {
    Outgoing& o = outgoing[i];
    if (o.window != e.xproperty.window || o.property != e.xproperty.atom) continue;
    const std::size_t n = std::min({kPartBytes, LargestProperty(), o.bytes.size() - o.sent});
    XChangeProperty(dpy, o.window, o.property, o.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(o.bytes.data() + o.sent), static_cast<int>(n));
    o.sent += n;
    if (n == 0) DropOutgoing(i);
    XFlush(dpy);
    return;
  }
}

void X11BackEnd::ForgetRequestor(XId window) {
  for (std::size_t i = outgoing.size(); i-- > 0;)
    if (outgoing[i].window == window) outgoing.erase(outgoing.begin() + static_cast<std::ptrdiff_t>(i));
}

// Ends a transfer; the window's events are no longer ours to hear once
// no other transfer goes there.
void X11BackEnd::DropOutgoing(std::size_t index) {
  const XId window = outgoing[index].window;
  outgoing.erase(outgoing.begin() + static_cast<std::ptrdiff_t>(index));
  for (const Outgoing& o : outgoing)
    if (o.window == window) return;
  XSelectInput(dpy, window, NoEventMask);
}

std::uint64_t X11BackEnd::ClipboardTakeovers() {
  // The news that another program copied may still wait in the queue
  // behind other events; the server knows it now.
  if (ownsClipboard && XGetSelectionOwner(dpy, atoms.clipboard) != helper) LoseClipboard();
  return takeovers;
}

void X11BackEnd::LoseClipboard() {
  ownsClipboard = false;
  clip.clear();
  foreignFetched = false;
  while (!outgoing.empty()) DropOutgoing(outgoing.size() - 1);
  ++takeovers;
}

void X11BackEnd::OnSelectionClear(XEvent& e) {
  if (e.xselectionclear.selection != atoms.clipboard || !ownsClipboard) return;
  // Another program put something on the clipboard: ours is gone. Unless
  // we have taken it back since the news was sent.
  if (XGetSelectionOwner(dpy, atoms.clipboard) != helper) LoseClipboard();
}

}  // namespace win::x11
