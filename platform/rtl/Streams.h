// Streams: a byte sequence with a position, read and written in blocks.
//
//   TMemoryStream* ms = New<TMemoryStream>();
//   ms->WriteBuffer(&header, sizeof header);
//   ms->SetPosition(0);
//   ms->ReadBuffer(&header, sizeof header);   // EReadError when short
//
// TStream is the abstract base; TMemoryStream keeps its bytes in memory,
// THandleStream/TFileStream work on an open file, TStringStream on an
// AnsiString, and TResourceStream reads an embedded resource. The component
// helpers (ReadComponent, WriteComponent) go through the filer (Filer.h).
#pragma once

#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File modes: one access mode, optionally or-ed with a share mode (share
// modes are accepted and ignored: the host has no such locking).
constexpr Word fmCreate = 0xFF00;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

class TComponent;

class TStream : public TObject {
  ORV_CLASS(TStream, TObject)
 public:
  // Transfer up to count bytes; the answer is the number moved (0 at the end).
  virtual Int64 Read(void* buffer, Int64 count) = 0;
  virtual Int64 Write(const void* buffer, Int64 count) = 0;
  // Moves the position and answers the new one.
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

  // Whole transfers: a short one raises EReadError / EWriteError.
  void ReadBuffer(void* buffer, Int64 count);
  void WriteBuffer(const void* buffer, Int64 count);

  Int64 GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
  virtual Int64 GetSize();
  // Streams that cannot change their size raise EStreamError.
  virtual void SetSize(Int64 size);

  // Copies count bytes from source's position (0: all of source, from its
  // start) and answers the number copied.
  Int64 CopyFrom(TStream* source, Int64 count);

  // Component streaming in the binary form (Filer.h). ReadComponent reads
  // into instance, or creates the root by class name when it is null.
  TComponent* ReadComponent(TComponent* instance);
  void WriteComponent(TComponent* instance);
  void WriteDescendent(TComponent* instance, TComponent* ancestor);

 protected:
  TStream() = default;
  // Raises the EWriteError of a short write; a stream that knows why it
  // could not write says so.
  [[noreturn]] virtual void WriteFailed();
};

// A stream over an open host file descriptor; it does not close it.
class THandleStream : public TStream {
  ORV_CLASS(THandleStream, TStream)
 public:
  explicit THandleStream(int handle) : FHandle(handle) {}

  int GetHandle() const { return FHandle; }
  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  void SetSize(Int64 size) override;

 protected:
  int FHandle = -1;
  // The system's error number of the last write that fell short.
  int FWriteError = 0;
};

class TFileStream : public THandleStream {
  ORV_CLASS(TFileStream, THandleStream)
 public:
  // fmCreate creates or truncates the file (EFCreateError on failure);
  // the fmOpen modes open an existing file (EFOpenError). Only regular
  // files open, and opening never waits (os::OpenRegularFile). Failures,
  // and writes that fall short, name the file and the reason.
  TFileStream(const AnsiString& fileName, Word mode);
  ~TFileStream() override;

  const AnsiString& GetFileName() const { return FFileName; }

 protected:
  [[noreturn]] void WriteFailed() override;

 private:
  AnsiString FFileName;
};

// The whole content of a regular file of at most `limit` bytes; a file
// that is missing, special (a named pipe, a device), larger or unreadable
// raises EFOpenError naming the file and the reason.
std::string LoadFileContent(const AnsiString& fileName, Int64 limit);

// Replaces a file's content by `bytes` at once: on any failure (a full disk,
// a file the user may not write) the old file stays as it was and
// EFCreateError names the file and the system's reason.
void SaveFileContent(const AnsiString& fileName, std::string_view bytes);

// A stream over a block of memory it does not own; read-only.
class TCustomMemoryStream : public TStream {
  ORV_CLASS(TCustomMemoryStream, TStream)
 public:
  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return FSize; }

  void* GetMemory() const { return FMemory; }
  void SaveToStream(TStream* stream);
  void SaveToFile(const AnsiString& fileName);

 protected:
  TCustomMemoryStream() = default;
  void SetPointer(void* memory, Int64 size);

  Byte* FMemory = nullptr;
  Int64 FSize = 0;
  Int64 FPosition = 0;
};

// A growable block of memory.
class TMemoryStream : public TCustomMemoryStream {
  ORV_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;

  Int64 Write(const void* buffer, Int64 count) override;
  void SetSize(Int64 size) override;
  void Clear();
  // Replace the contents with all of stream / the file, position 0.
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const AnsiString& fileName);

 private:
  void Reserve(Int64 capacity);
  std::vector<Byte> FData;
};

// A stream over an AnsiString; DataString is the whole contents.
class TStringStream : public TStream {
  ORV_CLASS(TStringStream, TStream)
 public:
  TStringStream() = default;
  explicit TStringStream(AnsiString data) : FData(std::move(data)) {}

  Int64 Read(void* buffer, Int64 count) override;
  Int64 Write(const void* buffer, Int64 count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return static_cast<Int64>(FData.size()); }
  void SetSize(Int64 size) override;

  const AnsiString& GetDataString() const { return FData; }
  // Up to count bytes from the position.
  AnsiString ReadString(Int64 count);
  void WriteString(const AnsiString& s) { WriteBuffer(s.data(), static_cast<Int64>(s.size())); }

 private:
  AnsiString FData;
  Int64 FPosition = 0;
};

// A read-only stream over an embedded resource (Resources.h); a missing
// resource raises EResNotFound.
class TResourceStream : public TCustomMemoryStream {
  ORV_CLASS(TResourceStream, TCustomMemoryStream)
 public:
  TResourceStream(const AnsiString& name, const AnsiString& type);
  Int64 Write(const void* buffer, Int64 count) override;
};
