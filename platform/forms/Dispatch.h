// Message dispatch of the class library. A message reaches a control
// through its WindowProc (a replaceable delegate, WndProc by default), then
// WndProc, then Dispatch, which looks the number up in the handler tables of
// the control's class and its ancestors, most derived first; a number no
// class handles goes to DefaultHandler, and from there to the window
// class's own procedure.
//
// A handler is a method taking TMessage&, registered with one line next to
// its declaration:
//
//   class TMyControl : public TCustomControl {
//     ORV_CLASS(TMyControl, TCustomControl)
//     void WMSize(TMessage& Message);
//     ORV_MESSAGE(WM_SIZE, WMSize)
//   };
//
// Inside a handler, Inherited(Message) hands the message on to the handler
// the parent classes have for it, or to DefaultHandler when none has one.
#pragma once

#include <cstdint>

#include "platform/rtl/Events.h"
#include "platform/rtl/Object.h"
#include "platform/win/Handles.h"
#include "platform/win/Messages.h"

struct TMessage {
  win::UINT Msg = 0;
  win::WPARAM WParam = 0;
  win::LPARAM LParam = 0;
  win::LRESULT Result = 0;

  win::WORD WParamLo() const { return win::LOWORD(WParam); }
  win::WORD WParamHi() const { return win::HIWORD(WParam); }
  win::WORD LParamLo() const { return win::LOWORD(static_cast<win::DWORD_PTR>(LParam)); }
  win::WORD LParamHi() const { return win::HIWORD(static_cast<win::DWORD_PTR>(LParam)); }
  // Mouse messages: the client point packed in lParam, signed.
  TPoint Pos() const { return {win::GET_X_LPARAM(LParam), win::GET_Y_LPARAM(LParam)}; }
};

using TWndMethod = Event<void(TMessage& Message)>;

namespace orv {

using MessageHandler = void (*)(TObject* self, TMessage& message);

// Adds a handler of one message number for a class; answers true so a
// static member can carry the registration.
bool AddMessageHandler(TClass (*cls)(), win::UINT msg, MessageHandler handler);
// The handler of cls itself (not its ancestors), or null.
MessageHandler FindOwnMessageHandler(TClass cls, win::UINT msg);
// The nearest handler from cls upward, or null.
MessageHandler FindMessageHandler(TClass cls, win::UINT msg);

}  // namespace orv

#define ORV_MESSAGE(Msg, Method)                                                          \
  struct orv_message_##Method {                                                           \
    static void Call(TObject* self, TMessage& message) {                                  \
      static_cast<orv_self*>(self)->Method(message);                                      \
    }                                                                                     \
  };                                                                                      \
  static inline const bool orv_message_registered_##Method =                              \
      ::orv::AddMessageHandler(&orv_self::StaticClass, Msg, &orv_message_##Method::Call);
