#include "platform/rtl/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>

#include "platform/rtl/OsEdge.h"

namespace crt {

struct FILE {
  std::FILE* Stream = nullptr;
  bool Writing = false;
  bool Text = true;
  int Pending = EOF;  // a byte read ahead while looking for LF after CR
};

FILE* fopen(const char* path, const char* mode) {
  if (!path || !mode) {
    errno = EINVAL;
    return nullptr;
  }
  const std::string m = mode;
  bool writing, text;
  if (m == "r" || m == "rt") {
    writing = false, text = true;
  } else if (m == "w" || m == "wt") {
    writing = true, text = true;
  } else if (m == "rb") {
    writing = false, text = false;
  } else if (m == "wb") {
    writing = true, text = false;
  } else {
    errno = EINVAL;
    return nullptr;
  }
  std::string osPath;
  if (!orv::os::ToOsName(path, osPath)) {
    errno = EINVAL;
    return nullptr;
  }
  std::FILE* stream = nullptr;
  if (writing) {
    stream = std::fopen(osPath.c_str(), "wb");
  } else {
    // What is read comes from outside: a named pipe or a device opens
    // without waiting and is refused, like anything but a regular file.
    const int fd = orv::os::OpenRegularFile(osPath, O_RDONLY);
    if (fd >= 0 && !(stream = fdopen(fd, "rb"))) close(fd);
  }
  if (!stream) return nullptr;
  return new FILE{stream, writing, text};
}

int fgetc(FILE* f) {
  if (!f || f->Writing) return EOF;
  int c = f->Pending;
  if (c != EOF) {
    f->Pending = EOF;
  } else {
    c = std::fgetc(f->Stream);
  }
  if (c == '\r' && f->Text) {
    const int next = std::fgetc(f->Stream);
    if (next == '\n') return '\n';
    f->Pending = next;
  }
  return c;
}

int fprintf(FILE* f, const char* format, ...) {
  if (!f || !f->Writing || !format) return -1;
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(copy);
    return -1;
  }
  std::string big;
  const char* text = small;
  if (static_cast<std::size_t>(length) >= sizeof small) {
    big.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(big.data(), big.size(), format, copy);
    text = big.data();
  }
  va_end(copy);
  const char* p = text;
  const char* end = text + length;
  while (p < end) {
    const char* nl = f->Text ? static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))) : nullptr;
    const char* stop = nl ? nl : end;
    if (std::fwrite(p, 1, static_cast<std::size_t>(stop - p), f->Stream) != static_cast<std::size_t>(stop - p)) return -1;
    if (!nl) break;
    if (std::fwrite("\r\n", 1, 2, f->Stream) != 2) return -1;
    p = nl + 1;
  }
  return length;
}

int fclose(FILE* f) {
  if (!f) return EOF;
  // A full disk often shows only when the buffer is flushed; the error flag
  // keeps an earlier failed write from going unnoticed.
  bool failed = f->Writing && (std::fflush(f->Stream) != 0 || std::ferror(f->Stream));
  if (std::fclose(f->Stream) != 0) failed = true;
  delete f;
  return failed ? EOF : 0;
}

}  // namespace crt
