#include "platform/rtl/Files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/rtl/OsEdge.h"

using orv::os::FailWithErrno;
using orv::os::ToOsName;

namespace win {

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buf) {
  std::vector<char> raw(256);
  while (!getcwd(raw.data(), raw.size())) {
    if (errno != ERANGE) {
      FailWithErrno();
      return 0;
    }
    raw.resize(raw.size() * 2);
  }
  const AnsiString dir = orv::os::FromOsName(raw.data());
  const DWORD length = static_cast<DWORD>(dir.size());
  if (!buf || size < length + 1) return length + 1;
  std::memcpy(buf, dir.c_str(), length + 1);
  return length;
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  std::string os;
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ToOsName(path, os)) return FALSE;
  if (chdir(os.c_str()) != 0) return FailWithErrno();
  return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
  std::string os;
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ToOsName(path, os)) return FALSE;
  if (unlink(os.c_str()) != 0) return FailWithErrno();
  return TRUE;
}

}  // namespace win

namespace {

bool StatName(const AnsiString& name, struct stat& st) {
  std::string os;
  return ToOsName(name, os) && !os.empty() && stat(os.c_str(), &st) == 0;
}

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
Integer DaysFromEpoch(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int fromUnix = era * 146097 + doe - 719468;
  return fromUnix + 25569;
}

}  // namespace

bool FileExists(const AnsiString& name) {
  struct stat st;
  return StatName(name, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& name) {
  struct stat st;
  return StatName(name, st) && S_ISDIR(st.st_mode);
}

namespace {
// The A functions take zero-terminated names; a name with a zero byte
// inside would reach them cut short and act on another file.
bool Terminable(const AnsiString& name) {
  if (name.find('\0') == AnsiString::npos) return true;
  win::SetLastError(orv::os::ERROR_INVALID_NAME);
  return false;
}
}  // namespace

bool DeleteFile(const AnsiString& name) { return Terminable(name) && win::DeleteFileA(name.c_str()); }

bool RenameFile(const AnsiString& oldName, const AnsiString& newName) {
  std::string from, to;
  if (!ToOsName(oldName, from) || !ToOsName(newName, to)) return false;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) {
    FailWithErrno();
    return false;
  }
  // A file system without the no-replace flag: check, then rename.
  struct stat st;
  if (lstat(to.c_str(), &st) == 0) {
    win::SetLastError(win::ERROR_ALREADY_EXISTS);
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0 || FailWithErrno();
}

bool CreateDir(const AnsiString& dir) {
  std::string os;
  if (!ToOsName(dir, os)) return false;
  return mkdir(os.c_str(), 0777) == 0 || FailWithErrno();
}

bool ForceDirectories(const AnsiString& dir) {
  const AnsiString path = ExcludeTrailingPathDelimiter(dir);
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  const AnsiString parent = ExtractFileDir(path);
  if (parent != path && !parent.empty() && !ForceDirectories(parent)) return false;
  return CreateDir(path) || DirectoryExists(path);
}

AnsiString GetCurrentDir() {
  const win::DWORD needed = win::GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return AnsiString();
  AnsiString dir(needed, '\0');
  const win::DWORD length = win::GetCurrentDirectoryA(needed, dir.data());
  dir.resize(length < needed ? length : 0);
  return dir;
}

bool SetCurrentDir(const AnsiString& dir) {
  return Terminable(dir) && win::SetCurrentDirectoryA(dir.c_str());
}

Integer FileAge(const AnsiString& name) {
  struct stat st;
  if (!StatName(name, st) || S_ISDIR(st.st_mode)) return -1;
  return orv::os::PackFileDate(st.st_mtim.tv_sec);
}

TFileStamp FileStamp(const AnsiString& name) {
  struct stat st;
  if (!StatName(name, st) || S_ISDIR(st.st_mode)) return {};
  return {true, Int64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, Int64(st.st_size)};
}

TDateTime FileDateToDateTime(Integer fileDate) {
  const auto packed = static_cast<std::uint32_t>(fileDate);
  const int date = static_cast<int>(packed >> 16), time = static_cast<int>(packed & 0xFFFF);
  const int day = date & 31, month = date >> 5 & 15, year = (date >> 9) + 1980;
  const int seconds = (time >> 11) * 3600 + (time >> 5 & 63) * 60 + (time & 31) * 2;
  return TDateTime(DaysFromEpoch(year, month, day) + seconds / 86400.0);
}

AnsiString ExtractFileName(const AnsiString& path) {
  const auto slash = path.rfind(PathDelim);
  return slash == AnsiString::npos ? path : path.substr(slash + 1);
}

AnsiString ExtractFilePath(const AnsiString& path) {
  const auto slash = path.rfind(PathDelim);
  return slash == AnsiString::npos ? AnsiString() : path.substr(0, slash + 1);
}

AnsiString ExtractFileDir(const AnsiString& path) {
  const auto slash = path.rfind(PathDelim);
  if (slash == AnsiString::npos) return AnsiString();
  return path.substr(0, slash == 0 ? 1 : slash);
}

namespace {
// The position of the extension's dot, or npos when the last name has none.
std::size_t ExtensionDot(const AnsiString& path) {
  const auto dot = path.rfind('.');
  const auto slash = path.rfind(PathDelim);
  if (dot == AnsiString::npos || (slash != AnsiString::npos && dot < slash)) return AnsiString::npos;
  return dot;
}
}  // namespace

AnsiString ExtractFileExt(const AnsiString& path) {
  const auto dot = ExtensionDot(path);
  return dot == AnsiString::npos ? AnsiString() : path.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& path, const AnsiString& ext) {
  const auto dot = ExtensionDot(path);
  return (dot == AnsiString::npos ? path : path.substr(0, dot)) + ext;
}

AnsiString ExpandFileName(const AnsiString& path) {
  if (path.empty()) return AnsiString();
  const AnsiString full = path[0] == PathDelim ? path : IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  while (start <= full.size()) {
    auto end = full.find(PathDelim, start);
    if (end == AnsiString::npos) end = full.size();
    const AnsiString part = full.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  AnsiString out;
  for (const AnsiString& part : parts) out += PathDelim + part;
  if (out.empty()) return AnsiString(1, PathDelim);
  if (path.back() == PathDelim) out += PathDelim;
  return out;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  return !path.empty() && path.back() == PathDelim ? path : path + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  // The root keeps its delimiter: without it "/" would turn into "", which
  // names the current directory instead.
  if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}
