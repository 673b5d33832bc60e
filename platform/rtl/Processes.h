// Processes: starting a program, asking whether it still runs and how it
// ended, waiting for it and ending it.
//
// Every child started here is kept in a table until it has been collected,
// and the table is swept on every call, so no ended child stays behind as a
// zombie even when its handles were closed without asking for its exit.
// All calls go through the launcher of ProcessLauncher.h, which tests
// replace by a fake.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace win {

struct SECURITY_ATTRIBUTES {
  DWORD nLength = 0;
  LPVOID lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = FALSE;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct STARTUPINFOA {
  DWORD cb = 0;
  LPSTR lpReserved = nullptr;
  LPSTR lpDesktop = nullptr;
  LPSTR lpTitle = nullptr;
  DWORD dwX = 0, dwY = 0, dwXSize = 0, dwYSize = 0;
  DWORD dwXCountChars = 0, dwYCountChars = 0, dwFillAttribute = 0;
  DWORD dwFlags = 0;
  WORD wShowWindow = 0;
  WORD cbReserved2 = 0;
  BYTE* lpReserved2 = nullptr;
  HANDLE hStdInput = nullptr;
  HANDLE hStdOutput = nullptr;
  HANDLE hStdError = nullptr;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess = nullptr;
  HANDLE hThread = nullptr;
  DWORD dwProcessId = 0;
  DWORD dwThreadId = 0;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// The program runs in a session of its own with standard input from
// /dev/null; its output still goes where the caller's goes.
constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD PROCESS_ALL_ACCESS = 0x001F0FFF;
constexpr DWORD PROCESS_TERMINATE = 0x0001;
constexpr DWORD PROCESS_QUERY_INFORMATION = 0x0400;
constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// Starts lpApplicationName, taken as a file name relative to the current
// directory (the search path is never consulted), with lpCommandLine split
// into its arguments: blanks separate them, double quotes group, 2n
// backslashes before a quote give n backslashes and the quote groups, 2n+1
// give n and a literal quote, other backslashes are literal, and "" inside
// a group is a literal quote. Without an application name the first
// argument names the program. lpEnvironment is null or a block of
// "NAME=value" strings ended by an empty one; lpCurrentDirectory is the
// child's directory or null. A program that cannot be started answers FALSE
// at once with the reason in GetLastError (ERROR_FILE_NOT_FOUND,
// ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT, ERROR_DIRECTORY). Without
// bInheritHandles the program gets the standard streams and no other file,
// pipe or socket the caller holds open; with it, every one not marked
// close-on-exec. Both handles of the answer refer to the new process; close
// them with CloseHandle.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation);
// The start-up information this process was given: none beyond its size.
void GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo);

// A handle to a child started here that has not been collected yet; null
// with ERROR_INVALID_PARAMETER for any other process id.
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// STILL_ACTIVE while the process runs; afterwards its exit status, or
// 128 + n when signal n ended it.
BOOL GetExitCodeProcess(HANDLE hProcess, DWORD* lpExitCode);
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
// Ends the process; its exit code becomes uExitCode. FALSE
// (ERROR_ACCESS_DENIED) when it had ended already.
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);
BOOL CloseHandle(HANDLE hObject);

}  // namespace win

namespace orv {
// Splits a command line into arguments by the rules above.
std::vector<AnsiString> SplitCommandLine(const AnsiString& commandLine);
// Children started and not yet collected, and process and thread handles
// not yet closed, for leak checks in tests.
std::size_t LiveChildCount();
std::size_t OpenProcessHandleCount();
}  // namespace orv
