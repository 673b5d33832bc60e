// What the file side asks the window to tell the user: the text and
// caption of one modal message box and its icon. The file side never shows
// a box itself, so it runs without windows and its texts can be checked
// byte for byte.
#pragma once

#include "platform/rtl/Types.h"

namespace frontend {

enum TUserMessageKind { umkError, umkInformation };

struct TUserMessage {
  AnsiString Text;
  AnsiString Caption;
  TUserMessageKind Kind = umkError;
  bool operator==(const TUserMessage&) const = default;
};

}  // namespace frontend
