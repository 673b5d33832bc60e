// The edge between the program and the operating system: names cross it
// converted from code page 1252 to UTF-8 (and back), and the system's error
// numbers come back as the API's error codes.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace orv::os {

constexpr win::DWORD ERROR_INVALID_NAME = 123;
constexpr win::DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr win::DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr win::DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr win::DWORD ERROR_DIRECTORY = 267;
constexpr win::DWORD ERROR_WRITE_FAULT = 29;
constexpr win::DWORD ERROR_DISK_FULL = 112;

// The UTF-8 form of a 1252 name. A name with a zero byte inside cannot be
// passed to the system without being cut short, so it is refused (false,
// with ERROR_INVALID_NAME as the last error).
bool ToOsName(const AnsiString& name, std::string& out);
// The 1252 form of a name read from the system; a character 1252 lacks
// becomes '?', so such a name is listed but does not open again.
AnsiString FromOsName(const std::string& name);

// The API error code for an errno value.
win::DWORD ErrorFromErrno(int err);
// Sets the last error from errno and answers FALSE.
win::BOOL FailWithErrno();

// Packs a time as a file date: local time, date in the high word and time
// in 2-second steps in the low word; clamped to 1980..2107.
Integer PackFileDate(std::time_t t);

// Reads a whole file. False when it cannot be read; missing tells a file
// that is not there from one that would not open or read.
bool ReadWholeFile(const AnsiString& name, std::string& bytes, bool& missing);
// Replaces a file by the given bytes through a temporary file beside it, so
// that a failed write (a full disk) leaves the old content in place. A
// symbolic link is followed and its target replaced; a file the user may not
// write is refused, as writing it in place would be; the replacement keeps
// the old file's permission bits. When no temporary file can be made beside
// it (a folder the user may not write to), the file is written in place,
// with every write and the close checked. False on any failure, with the
// last error set and, when asked for, the system's reason in words.
bool WriteFileAtomically(const AnsiString& name, std::string_view bytes, AnsiString* reason = nullptr);

}  // namespace orv::os
