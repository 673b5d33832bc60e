#include "platform/rtl/OsEdge.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

namespace {

// The file a name finally stands for: symbolic links are followed (relative
// ones from their own folder), even when the last one points nowhere yet.
bool ResolveLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISLNK(st.st_mode)) return true;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
    const ssize_t got = readlink(path.c_str(), target.data(), target.size());
    if (got < 0) return false;
    target.resize(static_cast<std::size_t>(got));
    if (!target.empty() && target[0] != '/') {
      const std::size_t slash = path.rfind('/');
      if (slash != std::string::npos) target.insert(0, path, 0, slash + 1);
    }
    path = std::move(target);
  }
  errno = ELOOP;
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const AnsiString& name, std::string_view bytes, AnsiString* reason) {
  auto fail = [&] {
    const int err = errno;
    if (reason) *reason = strerror(err);
    win::SetLastError(ErrorFromErrno(err));
    return false;
  };
  std::string target;
  if (!ToOsName(name, target)) {
    if (reason) *reason = "The name holds a NUL byte";
    return false;
  }
  if (!ResolveLinks(target)) return fail();
  struct stat old;
  const bool exists = stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return fail();
  // Replacing needs only the folder to be writable; writing in place needs
  // the file to be. The answer must not depend on how the bytes get there.
  if (exists && access(target.c_str(), W_OK) != 0) return fail();
  if (exists && !S_ISREG(old.st_mode)) {
    errno = EISDIR;
    return fail();
  }

  static std::atomic<unsigned> serial{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++serial);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    // No file can be made beside the target (a folder the user may not
    // write to, a name too long for a suffix): the target is written in
    // place, with every write and the close still checked.
    fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return fail();
    if (!WriteAll(fd, bytes) || fsync(fd) != 0) {
      const int err = errno;
      close(fd);
      errno = err;
      return fail();
    }
    if (close(fd) != 0) return fail();
    return true;
  }
  // On any failure the temporary file goes, and the error reported is the
  // one that made it go.
  auto discard = [&](bool isOpen) {
    const int err = errno;
    if (isOpen) close(fd);
    unlink(temp.c_str());
    errno = err;
    return fail();
  };
  if (exists && fchmod(fd, old.st_mode & 07777) != 0) return discard(true);
  if (!WriteAll(fd, bytes) || fsync(fd) != 0) return discard(true);
  if (close(fd) != 0) return discard(false);
  if (rename(temp.c_str(), target.c_str()) != 0) return discard(false);
  return true;
}

}  // namespace orv::os
