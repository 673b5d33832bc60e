// Files and directories: the current directory, deleting and renaming,
// existence and age of files, path arithmetic and directory creation.
//
// Names are AnsiString (code page 1252) everywhere in the program and are
// converted to the file system's UTF-8 only here, at the edge. Paths use '/'
// as their one delimiter.
#pragma once

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace win {

// Copies the current directory into buf (size bytes, the terminating zero
// included) and answers its length. When buf is too small nothing is
// copied and the answer is the size needed, zero included; 0 means failure
// (see GetLastError).
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buf);
BOOL SetCurrentDirectoryA(LPCSTR path);
// A missing file answers FALSE (ERROR_FILE_NOT_FOUND) and changes nothing.
BOOL DeleteFileA(LPCSTR path);

}  // namespace win

constexpr char PathDelim = '/';
constexpr char PathSep = ':';

bool FileExists(const AnsiString& name);  // a file, not a directory
bool DirectoryExists(const AnsiString& name);
bool DeleteFile(const AnsiString& name);
// Refuses to replace an existing file, as the platform's rename does.
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
bool CreateDir(const AnsiString& dir);
// Creates the directory and every missing parent; true when it exists
// afterwards.
bool ForceDirectories(const AnsiString& dir);
AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& dir);

// The modification time of a file as a packed file date (local time, date
// in the high word, time with 2-second steps in the low word), or -1 when
// the file does not exist. Later times compare greater.
Integer FileAge(const AnsiString& name);
TDateTime FileDateToDateTime(Integer fileDate);

// What tells one version of a file from the next: whether it exists, its
// modification time to the nanosecond and its size.
struct TFileStamp {
  bool Exists = false;
  Int64 ModifiedNs = 0;
  Int64 Size = 0;
  bool operator==(const TFileStamp&) const = default;
};
// A directory counts as no file.
TFileStamp FileStamp(const AnsiString& name);

// Path arithmetic. The "path" keeps its trailing delimiter, the "dir" does
// not (except the root, which stays "/").
AnsiString ExtractFileName(const AnsiString& path);
AnsiString ExtractFilePath(const AnsiString& path);
AnsiString ExtractFileDir(const AnsiString& path);
// The extension with its dot, or "" when the name has none.
AnsiString ExtractFileExt(const AnsiString& path);
AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext);
// An absolute path with "." and ".." resolved, relative names taken from
// the current directory; symbolic links are not followed.
AnsiString ExpandFileName(const AnsiString& path);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
