#include "platform/gdi/WindowDCs.h"

#include <unordered_set>

#include "platform/gdi/DeviceContext.h"

namespace win {
namespace {

// Handles are never handed out twice, so a forgotten entry cannot mark a
// later DC.
std::unordered_set<HDC>& Held() {
  static std::unordered_set<HDC> held;
  return held;
}

}  // namespace

void HoldWindowDC(HDC hdc) {
  if (gdi::LookupDC(hdc)) Held().insert(hdc);
}

bool IsWindowDC(HDC hdc) { return Held().count(hdc) != 0; }

BOOL ReleaseWindowDC(HDC hdc) {
  Held().erase(hdc);
  return DeleteDC(hdc);
}

}  // namespace win
