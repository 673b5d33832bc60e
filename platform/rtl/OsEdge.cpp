#include "platform/rtl/OsEdge.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
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

AnsiString FromOsName(const std::string& name, bool* exact) {
  AnsiString ansi = Utf8ToAnsi(name);
  if (exact) *exact = AnsiToUtf8(ansi) == name;
  return ansi;
}

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

namespace {

// Answers false (or -1) after a failure: errno and the last error from err,
// the reason in words when asked for (the given text, else the system's).
bool Refuse(int err, AnsiString* reason, const char* text = nullptr) {
  if (reason) *reason = text ? text : strerror(err);
  win::SetLastError(ErrorFromErrno(err));
  errno = err;
  return false;
}

// What a file that is not a regular one is refused as.
bool RefuseSpecial(mode_t mode, AnsiString* reason) {
  return S_ISDIR(mode) ? Refuse(EISDIR, reason) : Refuse(EINVAL, reason, kNotRegularFile);
}

}  // namespace

int OpenRegularFile(const std::string& osName, int flags, AnsiString* reason) {
  const int fd = open(osName.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  struct stat st;
  if (fd < 0) {
    const int err = errno;
    // A pipe opened for writing with no reader, or a device without its
    // driver, fails to open at all: the cause is what it is, not that.
    if (err == ENXIO && stat(osName.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) RefuseSpecial(st.st_mode, reason);
    else Refuse(err, reason);
    return -1;
  }
  if (fstat(fd, &st) != 0) {
    const int err = errno;
    close(fd);
    Refuse(err, reason);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd);
    RefuseSpecial(st.st_mode, reason);
    return -1;
  }
  // Reads and writes of a regular file never wait anyway; the flag goes so
  // that nothing downstream has to think about it.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool ReadWholeOsFile(const std::string& osName, std::string& bytes, bool& missing, AnsiString* reason, Int64 limit) {
  missing = false;
  bytes.clear();
  const int fd = OpenRegularFile(osName, O_RDONLY, reason);
  if (fd < 0) {
    missing = errno == ENOENT;
    return false;
  }
  // The size is where reading starts from, not where it stops: a file
  // that grows meanwhile is still held to the limit.
  struct stat st;
  const int refused = fstat(fd, &st) != 0 ? errno : st.st_size > limit ? EFBIG : 0;
  if (refused != 0) {
    close(fd);
    return Refuse(refused, reason);
  }
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || static_cast<Int64>(bytes.size()) + got > limit) {
      const int err = got < 0 ? errno : EFBIG;
      close(fd);
      bytes.clear();
      return Refuse(err, reason);
    }
    if (got == 0) break;
    bytes.append(buf, static_cast<std::size_t>(got));
  }
  close(fd);
  return true;
}

bool ReadWholeFile(const AnsiString& name, std::string& bytes, bool& missing, AnsiString* reason, Int64 limit) {
  missing = false;
  bytes.clear();
  std::string os;
  if (!ToOsName(name, os)) {
    if (reason) *reason = "The name holds a NUL byte";
    return false;
  }
  return ReadWholeOsFile(os, bytes, missing, reason, limit);
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

// Writes all the bytes at the offset; a write that takes nothing is a full
// disk.
bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Reads up to size bytes from the start; fewer when the file is shorter.
bool ReadAllAt(int fd, std::string& bytes, off_t size) {
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return true;
}

// Writes a file over its own bytes, for when no file can be made beside
// it. The new size is reserved first, so a full disk or a size limit stops
// the save before a byte changes; the old bytes are kept, and any later
// failure writes them back. A file this made is removed again on failure.
bool WriteInPlace(const std::string& target, std::string_view bytes, bool existed, AnsiString* reason) {
  const int fd = OpenRegularFile(target, O_RDWR | (existed ? 0 : O_CREAT), reason);
  if (fd < 0) return false;
  std::string old;
  struct stat st;
  bool touched = false;
  auto undo = [&] {
    const int err = errno;
    if (touched) WriteAllAt(fd, old, 0);
    if (ftruncate(fd, static_cast<off_t>(old.size())) == 0) fsync(fd);
    close(fd);
    if (!existed) unlink(target.c_str());
    return Refuse(err, reason);
  };
  if (fstat(fd, &st) != 0 || !ReadAllAt(fd, old, st.st_size)) {
    const int err = errno;
    close(fd);
    if (!existed) unlink(target.c_str());
    return Refuse(err, reason);
  }
  if (!bytes.empty()) {
    const int reserved = posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    // A file system that cannot reserve at all still gets the write-back.
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) {
      errno = reserved;
      return undo();
    }
  }
  touched = true;
  // Cut short only after the new bytes are in: the old ones are written
  // back into blocks the file still holds.
  if (!WriteAllAt(fd, bytes, 0) || ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || fsync(fd) != 0)
    return undo();
  if (close(fd) != 0) return Refuse(errno, reason);
  return true;
}

// Holds the file-size signal off the calling thread while a save writes:
// a write past the process's file-size limit then fails with EFBIG, and
// the save goes back to the old bytes, instead of the signal ending the
// program half way, whatever the program does with that signal. A signal
// the writes raised is taken before the thread's own mask returns; one
// that was waiting already is left for the program.
class FileSizeSignalHeld {
 public:
  FileSizeSignalHeld() {
    sigemptyset(&signal_);
    sigaddset(&signal_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &signal_, &saved_);
    sigset_t pending;
    waiting_ = sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
  }
  ~FileSizeSignalHeld() {
    const int err = errno;
    const timespec now{0, 0};
    if (!waiting_)
      while (sigtimedwait(&signal_, nullptr, &now) == SIGXFSZ) {
      }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    errno = err;
  }
  FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
  FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

 private:
  sigset_t signal_{}, saved_{};
  bool waiting_ = false;
};

// Whether a file of this size would pass the process's file-size limit.
bool BeyondSizeLimit(std::size_t size) {
  rlimit limit{};
  return getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
         static_cast<rlim_t>(size) > limit.rlim_cur;
}

}  // namespace

bool WriteFileAtomically(const AnsiString& name, std::string_view bytes, AnsiString* reason) {
  std::string target;
  if (!ToOsName(name, target)) {
    if (reason) *reason = "The name holds a NUL byte";
    return false;
  }
  if (!ResolveLinks(target)) return Refuse(errno, reason);
  struct stat old;
  const bool exists = stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Refuse(errno, reason);
  if (exists && !S_ISREG(old.st_mode)) return RefuseSpecial(old.st_mode, reason);
  // Replacing needs only the folder to be writable; writing in place needs
  // the file to be. The answer must not depend on how the bytes get there.
  if (exists && access(target.c_str(), W_OK) != 0) return Refuse(errno, reason);
  // Bytes the file may not grow to are refused before anything is written.
  if (BeyondSizeLimit(bytes.size())) return Refuse(EFBIG, reason);
  const FileSizeSignalHeld held;

  static std::atomic<unsigned> serial{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = target + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++serial);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return WriteInPlace(target, bytes, exists, reason);
  // On any failure the temporary file goes, and the error reported is the
  // one that made it go.
  auto discard = [&](bool isOpen) {
    const int err = errno;
    if (isOpen) close(fd);
    unlink(temp.c_str());
    return Refuse(err, reason);
  };
  if (exists && fchmod(fd, old.st_mode & 07777) != 0) return discard(true);
  if (!WriteAllAt(fd, bytes, 0) || fsync(fd) != 0) return discard(true);
  if (close(fd) != 0) return discard(false);
  if (rename(temp.c_str(), target.c_str()) != 0) return discard(false);
  return true;
}

}  // namespace orv::os
