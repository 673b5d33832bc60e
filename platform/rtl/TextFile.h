// C-style text files for byte-wise reading and formatted writing:
//
//   crt::FILE* f = crt::fopen("generatedname.txt", "r");
//   for (int c; (c = crt::fgetc(f)) != EOF && c != '\n';) name += char(c);
//   crt::fclose(f);
//
// Text mode ("r", "w", "rt", "wt") reads CR LF as "\n" and writes "\n" as
// CR LF; binary mode ("rb", "wb") passes bytes through. The byte 0x1A is an
// ordinary byte in both. Paths are 1252 names. These live in their own
// namespace so that the C library's functions of the same names stay
// reachable.
#pragma once

#include <cstdio>

namespace crt {

struct FILE;

// Null (with errno set) when the file cannot be opened or the mode is not
// one of the above. A file opened for reading must be a regular one (a
// link to one included): a named pipe or a device is refused at once.
FILE* fopen(const char* path, const char* mode);
// The next byte (0..255), or EOF at the end, on an error or for a file
// opened for writing.
int fgetc(FILE* f);
// printf formatting; answers the number of bytes the caller's text had
// before line ends were widened, or a negative number on failure.
int fprintf(FILE* f, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Closes the file and frees the handle; EOF when anything written to it
// did not reach the disk.
int fclose(FILE* f);

}  // namespace crt
