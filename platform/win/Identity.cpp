#include "platform/win/Identity.h"

#include <cstring>

namespace win {
namespace {

constexpr DWORD kMajor = 5;
constexpr DWORD kMinor = 1;
constexpr DWORD kBuild = 2600;

}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memset(info, 0, size);
  info->dwOSVersionInfoSize = size;
  info->dwMajorVersion = kMajor;
  info->dwMinorVersion = kMinor;
  info->dwBuildNumber = kBuild;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  if (size == sizeof(OSVERSIONINFOEXA)) reinterpret_cast<OSVERSIONINFOEXA*>(info)->wProductType = 1;  // workstation
  return TRUE;
}

DWORD GetVersion() { return kMajor | (kMinor << 8) | (kBuild << 16); }

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

}  // namespace win
