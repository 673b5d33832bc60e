#include "platform/rtl/OsEdge.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/rtl/CodePage.h"

namespace orv::os {

bool ToOsName(const AnsiString& name, std::string& out) {
  if (name.find('\0') != AnsiString::npos) {
    win::SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  out = AnsiToUtf8(name);
  return true;
}

AnsiString FromOsName(const std::string& name) { return Utf8ToAnsi(name); }

win::DWORD ErrorFromErrno(int err) {
  switch (err) {
    case 0: return win::ERROR_SUCCESS;
    case ENOENT: return win::ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return win::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return win::ERROR_ACCESS_DENIED;
    case EEXIST: return win::ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case ENOMEM: return win::ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EIO: return ERROR_WRITE_FAULT;
    case EINVAL: return win::ERROR_INVALID_PARAMETER;
    case EBADF: return win::ERROR_INVALID_HANDLE;
    default: return win::ERROR_INVALID_FUNCTION;
  }
}

win::BOOL FailWithErrno() {
  win::SetLastError(ErrorFromErrno(errno));
  return win::FALSE;
}

Integer PackFileDate(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  int year = tm.tm_year + 1900;
  if (year < 1980) return (1 << 5 | 1) << 16;  // 1980-01-01 00:00:00
  if (year > 2107) year = 2107;
  const std::uint32_t date = static_cast<std::uint32_t>((year - 1980) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  const std::uint32_t time = static_cast<std::uint32_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
  return static_cast<Integer>(date << 16 | time);
}

bool ReadWholeFile(const AnsiString& name, std::string& bytes, bool& missing) {
  missing = false;
  bytes.clear();
  std::string os;
  if (!ToOsName(name, os)) return false;
  const int fd = open(os.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    missing = errno == ENOENT;
    FailWithErrno();
    return false;
  }
  char buf[65536];
  for (;;) {
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      FailWithErrno();
      close(fd);
      return false;
    }
    if (got == 0) break;
    bytes.append(buf, static_cast<std::size_t>(got));
  }
  close(fd);
  return true;
}

bool WriteFileAtomically(const AnsiString& name, std::string_view bytes) {
  std::string os;
  if (!ToOsName(name, os)) return false;
  const std::string temp = os + ".tmp" + std::to_string(getpid());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return FailWithErrno();
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      FailWithErrno();
      close(fd);
      unlink(temp.c_str());
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  const bool synced = fsync(fd) == 0;
  if (!synced) FailWithErrno();
  if (close(fd) != 0 || !synced) {
    if (synced) FailWithErrno();
    unlink(temp.c_str());
    return false;
  }
  if (rename(temp.c_str(), os.c_str()) != 0) {
    FailWithErrno();
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace orv::os
