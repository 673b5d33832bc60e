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
// becomes '?', so such a name is listed but does not open again: it names
// another file or none. exact, when given, tells whether the name came
// through whole.
AnsiString FromOsName(const std::string& name, bool* exact = nullptr);

// The API error code for an errno value.
win::DWORD ErrorFromErrno(int err);
// Sets the last error from errno and answers FALSE.
win::BOOL FailWithErrno();

// Packs a time as a file date: local time, date in the high word and time
// in 2-second steps in the low word; clamped to 1980..2107.
Integer PackFileDate(std::time_t t);

// The most a reader takes of a text file it reads whole (definitions,
// terrain files, INI files, the registry store, string lists, the font
// answers) and of the bytes of a picture or stream loaded from a file.
// Larger files are refused as "File too large": an outside file never
// decides how much memory the program takes.
constexpr Int64 kTextFileLimit = Int64(64) << 20;
constexpr Int64 kDataFileLimit = Int64(256) << 20;

// The reason given for a named pipe, a device or a socket where a file is
// expected; the system has no words of its own for it.
constexpr const char* kNotRegularFile = "Not a regular file";

// Opens a file (the system's open flags, a name in the system's form)
// without waiting for anything: a named pipe with no one at its other end
// or a device would hold the caller for good. Only a regular file, or a
// link to one, is kept; O_CREAT makes a missing one. -1 on failure, with
// errno and the last error set (EISDIR for a folder, EINVAL for any other
// special file) and, when asked for, the reason in words.
int OpenRegularFile(const std::string& osName, int flags, AnsiString* reason = nullptr);

// Reads a whole regular file of at most limit bytes. False when it cannot
// be read, with the last error set and, when asked for, the reason in
// words; missing tells a file that is not there from one that would not
// open or read.
bool ReadWholeFile(const AnsiString& name, std::string& bytes, bool& missing, AnsiString* reason = nullptr,
                   Int64 limit = kTextFileLimit);
// The same for a name already in the system's form (UTF-8).
bool ReadWholeOsFile(const std::string& osName, std::string& bytes, bool& missing, AnsiString* reason = nullptr,
                     Int64 limit = kTextFileLimit);

// Replaces a regular file by the given bytes so that, whatever fails, it
// holds either its old bytes or the whole new ones. The bytes go to a
// temporary file beside it, which is then renamed over it; on any failure
// the temporary file goes again. A symbolic link is followed and its
// target replaced; a file the user may not write is refused, as writing it
// in place would be; the replacement keeps the old file's permission bits.
// When no temporary file can be made beside it (a folder the user may not
// write to, a name too long for a suffix), the file is written in place:
// its new size is reserved first, its old bytes are kept, and they are
// written back when any later write fails. Bytes beyond the process's
// file-size limit are refused before anything is written ("File too
// large"), and a write that meets the limit all the same fails like a full
// disk: the limit's signal is held off meanwhile, so it never ends the
// program in the middle of a save. False on any failure, with the last
// error set and, when asked for, the system's reason in words.
bool WriteFileAtomically(const AnsiString& name, std::string_view bytes, AnsiString* reason = nullptr);

}  // namespace orv::os
