// Opening a document or a web address with the desktop's preferred
// program. Only the verb "open" exists: the target is handed to xdg-open as
// one argument (never through a shell), so text a user typed cannot run
// commands. The opener runs on in its own session; nothing waits for it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win/Handles.h"

namespace win {

constexpr int SE_ERR_FNF = 2;        // the opener could not be started
constexpr int SE_ERR_NOASSOC = 31;   // a verb other than "open", or nothing to open

// Verb "open" in any case, or none. Answers a value above 32 once the
// opener runs. parameters are not passed (the opener takes one target);
// directory is the opener's working directory; show is ignored.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
inline HINSTANCE ShellExecute(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show) {
  return ShellExecuteA(hwnd, verb, file, parameters, directory, show);
}

// Tests: instead of starting anything, the recorder receives the argument
// vector (UTF-8) and the working directory, and answers whether the opener
// "started". Null restores real starting.
using ShellOpenRecorder = std::function<bool(const std::vector<std::string>& argv, const std::string& directory)>;
void SetShellOpenRecorder(ShellOpenRecorder recorder);

}  // namespace win
