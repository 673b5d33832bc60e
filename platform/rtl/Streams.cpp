#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TStream)
ORV_REGISTER(THandleStream)
ORV_REGISTER(TFileStream)
ORV_REGISTER(TCustomMemoryStream)
ORV_REGISTER(TMemoryStream)
ORV_REGISTER(TStringStream)
ORV_REGISTER(TResourceStream)

namespace {

// The new position of a seek within a stream of `size` bytes; positions
// past the end are allowed (a later write fills the gap with zeros),
// negative ones are not.
Int64 SeekTarget(Int64 position, Int64 size, Int64 offset, TSeekOrigin origin) {
  Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
  Int64 target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0)
    throw EStreamError("Invalid stream position");
  return target;
}

// The offset of p inside a block of size bytes, or -1 outside it. A write
// may take its bytes from the very block it grows, which growing moves: the
// source is found again by this offset afterwards.
std::ptrdiff_t OffsetInside(const void* p, const void* block, std::size_t size) {
  const auto b = reinterpret_cast<std::uintptr_t>(block), q = reinterpret_cast<std::uintptr_t>(p);
  return block && q >= b && q - b < size ? static_cast<std::ptrdiff_t>(q - b) : -1;
}

// Host file names are UTF-8; ours are code page 1252.
std::string HostPath(const AnsiString& fileName) { return AnsiToUtf8(fileName); }

}  // namespace

// ---------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* buffer, Int64 count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, Int64 count) {
  if (count < 0) throw EWriteError("Stream write error");
  if (count != 0 && Write(buffer, count) != count) WriteFailed();
}

void TStream::WriteFailed() { throw EWriteError("Stream write error"); }

Int64 TStream::GetSize() {
  Int64 pos = Seek(0, soCurrent);
  Int64 size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) { throw EStreamError("Stream size cannot be changed"); }

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->GetSize();
  }
  if (count < 0) throw EReadError("Stream read error");
  constexpr Int64 kChunk = 64 * 1024;
  std::vector<Byte> buffer(static_cast<std::size_t>(std::min(count, kChunk)));
  Int64 left = count;
  while (left > 0) {
    Int64 n = std::min(left, kChunk);
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

// ---------------------------------------------------------------------------
// THandleStream / TFileStream

Int64 THandleStream::Read(void* buffer, Int64 count) {
  Int64 done = 0;
  while (done < count) {
    ssize_t n = ::read(FHandle, static_cast<Byte*>(buffer) + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

Int64 THandleStream::Write(const void* buffer, Int64 count) {
  Int64 done = 0;
  while (done < count) {
    ssize_t n = ::write(FHandle, static_cast<const Byte*>(buffer) + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      FWriteError = n < 0 ? errno : ENOSPC;
      break;
    }
    done += n;
  }
  return done;
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t pos = ::lseek(FHandle, static_cast<off_t>(offset), whence);
  if (pos < 0) throw EStreamError("Invalid stream position");
  return pos;
}

void THandleStream::SetSize(Int64 size) {
  if (size < 0 || ::ftruncate(FHandle, static_cast<off_t>(size)) != 0)
    throw EStreamError("Stream size cannot be changed");
  if (GetPosition() > size) Seek(0, soEnd);
}

TFileStream::TFileStream(const AnsiString& fileName, Word mode) : THandleStream(-1), FFileName(fileName) {
  std::string path = HostPath(fileName);
  AnsiString reason;
  if ((mode & fmCreate) == fmCreate) {
    FHandle = orv::os::OpenRegularFile(path, O_RDWR | O_CREAT | O_TRUNC, &reason);
    if (FHandle < 0) throw EFCreateError("Cannot create file \"%s\". %s", {fileName, reason});
  } else {
    const int access = mode & 3;
    const int flags = access == fmOpenRead ? O_RDONLY : access == fmOpenWrite ? O_WRONLY : O_RDWR;
    if (access == 3) reason = strerror(EINVAL);
    else FHandle = orv::os::OpenRegularFile(path, flags, &reason);
    if (FHandle < 0) throw EFOpenError("Cannot open file \"%s\". %s", {fileName, reason});
  }
}

void TFileStream::WriteFailed() {
  throw EWriteError("Cannot write to file \"%s\". %s", {FFileName, AnsiString(strerror(FWriteError))});
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::string LoadFileContent(const AnsiString& fileName, Int64 limit) {
  std::string bytes;
  bool missing = false;
  AnsiString reason;
  if (!orv::os::ReadWholeFile(fileName, bytes, missing, &reason, limit))
    throw EFOpenError("Cannot open file \"%s\". %s", {fileName, reason});
  return bytes;
}

void SaveFileContent(const AnsiString& fileName, std::string_view bytes) {
  AnsiString reason;
  if (!orv::os::WriteFileAtomically(fileName, bytes, &reason))
    throw EFCreateError("Cannot create file \"%s\". %s", {fileName, reason});
}

// ---------------------------------------------------------------------------
// TCustomMemoryStream / TMemoryStream

void TCustomMemoryStream::SetPointer(void* memory, Int64 size) {
  FMemory = static_cast<Byte*>(memory);
  FSize = size;
}

Int64 TCustomMemoryStream::Read(void* buffer, Int64 count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  Int64 n = std::min(count, FSize - FPosition);
  std::memcpy(buffer, FMemory + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

Int64 TCustomMemoryStream::Write(const void*, Int64) { throw EStreamError("Stream is read-only"); }

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  FPosition = SeekTarget(FPosition, FSize, offset, origin);
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) { stream->WriteBuffer(FMemory, FSize); }

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName) {
  SaveFileContent(fileName, std::string_view(reinterpret_cast<const char*>(FMemory), static_cast<std::size_t>(FSize)));
}

void TMemoryStream::Reserve(Int64 capacity) {
  // Nothing addresses more than the host can; a request beyond it (or a
  // failed allocation) is a stream error rather than a crash.
  if (capacity < 0 || static_cast<UInt64>(capacity) > FData.max_size())
    throw EStreamError("Out of memory while expanding memory stream");
  try {
    if (static_cast<std::size_t>(capacity) > FData.size()) FData.resize(static_cast<std::size_t>(capacity));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  } catch (const std::length_error&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  FMemory = FData.data();
}

Int64 TMemoryStream::Write(const void* buffer, Int64 count) {
  if (count <= 0) return 0;
  Int64 end;
  if (__builtin_add_overflow(FPosition, count, &end)) throw EStreamError("Out of memory while expanding memory stream");
  const std::ptrdiff_t own = OffsetInside(buffer, FData.data(), FData.size());
  if (end > FSize) {
    if (end > static_cast<Int64>(FData.size())) {
      // Grow geometrically so that many small writes stay linear.
      Int64 grown = std::max<Int64>(end, static_cast<Int64>(FData.size()) + static_cast<Int64>(FData.size()) / 2);
      try {
        Reserve(grown);
      } catch (const EStreamError&) {
        Reserve(end);
      }
    }
    // Bytes between the old end and the position read as zeros.
    if (FPosition > FSize) std::memset(FMemory + FSize, 0, static_cast<std::size_t>(FPosition - FSize));
    FSize = end;
  }
  if (own >= 0) buffer = FMemory + own;
  std::memmove(FMemory + FPosition, buffer, static_cast<std::size_t>(count));
  FPosition = end;
  return count;
}

void TMemoryStream::SetSize(Int64 size) {
  if (size < 0) throw EStreamError("Stream size cannot be changed");
  Int64 old = FSize;
  Reserve(size);
  if (size > old) std::memset(FMemory + old, 0, static_cast<std::size_t>(size - old));
  FSize = size;
  if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
  std::vector<Byte>().swap(FData);
  FMemory = nullptr;
  FSize = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  if (stream == this) {
    FPosition = 0;
    return;
  }
  // Read into scratch first: a failing read leaves the old contents whole.
  stream->SetPosition(0);
  const Int64 count = stream->GetSize();
  TMemoryStream scratch;
  scratch.SetSize(count);
  stream->ReadBuffer(scratch.FMemory, count);
  FData.swap(scratch.FData);
  FMemory = FData.data();
  FSize = count;
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  const std::string bytes = LoadFileContent(fileName, orv::os::kDataFileLimit);
  std::vector<Byte>(bytes.begin(), bytes.end()).swap(FData);
  FMemory = FData.data();
  FSize = static_cast<Int64>(FData.size());
  FPosition = 0;
}

// ---------------------------------------------------------------------------
// TStringStream

Int64 TStringStream::Read(void* buffer, Int64 count) {
  Int64 size = GetSize();
  if (count <= 0 || FPosition >= size) return 0;
  Int64 n = std::min(count, size - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

Int64 TStringStream::Write(const void* buffer, Int64 count) {
  if (count <= 0) return 0;
  Int64 end;
  if (__builtin_add_overflow(FPosition, count, &end)) throw EStreamError("Out of memory while expanding memory stream");
  const std::ptrdiff_t own = OffsetInside(buffer, FData.data(), FData.size());
  if (end > GetSize()) SetSize(end);
  if (own >= 0) buffer = FData.data() + own;
  std::memmove(FData.data() + FPosition, buffer, static_cast<std::size_t>(count));
  FPosition = end;
  return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
  FPosition = SeekTarget(FPosition, GetSize(), offset, origin);
  return FPosition;
}

void TStringStream::SetSize(Int64 size) {
  if (size < 0 || static_cast<UInt64>(size) > FData.max_size()) throw EStreamError("Stream size cannot be changed");
  try {
    FData.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  if (FPosition > size) FPosition = size;
}

AnsiString TStringStream::ReadString(Int64 count) {
  Int64 size = GetSize();
  if (count <= 0 || FPosition >= size) return AnsiString();
  Int64 n = std::min(count, size - FPosition);
  AnsiString out = FData.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
  FPosition += n;
  return out;
}

// ---------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(const AnsiString& name, const AnsiString& type) {
  const TResourceData* res = FindResourceData(name, type);
  if (!res) throw EResNotFound("Resource %s not found", {name});
  SetPointer(const_cast<Byte*>(res->Data), static_cast<Int64>(res->Size));
}

Int64 TResourceStream::Write(const void*, Int64) { throw EStreamError("Can't write to a read-only resource stream"); }
