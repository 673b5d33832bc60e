#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/Messages.h"

namespace win {

UINT RegisterWindowMessageA(const char* name) {
  static std::vector<std::string> names;  // index i holds REGISTERED_MESSAGE_FIRST + i
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  for (std::size_t i = 0; i < names.size(); ++i)
    if (strcasecmp(names[i].c_str(), name) == 0) return REGISTERED_MESSAGE_FIRST + static_cast<UINT>(i);
  if (names.size() > REGISTERED_MESSAGE_LAST - REGISTERED_MESSAGE_FIRST) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  names.emplace_back(name);
  return REGISTERED_MESSAGE_FIRST + static_cast<UINT>(names.size() - 1);
}

}  // namespace win
