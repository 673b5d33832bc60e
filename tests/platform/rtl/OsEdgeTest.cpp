// Files at the edge to the system under faults: a save that fails part way
// leaves the old bytes whole, and every reader of an outside file meets a
// named pipe, a device or an oversized file with an error at once.
#include "platform/rtl/OsEdge.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TextFile.h"
#include "support/FileSizeLimit.h"
#include "support/HangGuard.h"
#include "support/TempDir.h"
#include "support/UnderFileSizeLimit.h"

namespace {

// The disk under these stories: once armed, the first write that would
// reach byte At stops there with Error, the bytes before it written, as a
// disk does that fills up; later writes go through.
struct {
  bool Armed = false;
  off_t At = 0;
  int Error = 0;
} fault;

}  // namespace

extern "C" ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
  static const auto real = reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(dlsym(RTLD_NEXT, "pwrite"));
  if (fault.Armed && offset + static_cast<off_t>(n) > fault.At) {
    if (offset >= fault.At) {
      fault.Armed = false;
      errno = fault.Error;
      return -1;
    }
    n = static_cast<size_t>(fault.At - offset);
  }
  return real(fd, buf, n, offset);
}

namespace {

// What a save says, "saved" when it went through.
std::string Save(const std::string& name, const std::string& bytes) {
  try {
    SaveFileContent(name, bytes);
  } catch (const EFCreateError& e) {
    return e.what();
  }
  return "saved";
}

std::string Failure(const std::function<void()>& read) {
  try {
    read();
  } catch (const Exception& e) {
    return e.what();
  }
  return "read";
}

}  // namespace

TEST(FilesWrittenInPlace, AWriteThatFailsAtAnyByteLeavesTheOldBytesWholeAndSaysWhy) {
  TempDir tmp;
  // No temporary file fits beside a name this long: the file is written
  // over its own bytes.
  const std::string leaf(255, 'n'), name = tmp.Write(leaf, std::string(8000, 'o'));
  const auto cannot = [&](const char* why) { return "Cannot create file \"" + name + "\". " + why; };
  {
    FileSizeLimit limit(9000);
    EXPECT_EQ(Save(name, std::string(12000, 'n')), cannot("File too large"));
  }
  // The disk fails at byte 4096 of a longer and of a shorter content.
  for (std::size_t size : {12000u, 6000u}) {
    fault = {true, 4096, ENOSPC};
    EXPECT_EQ(Save(name, std::string(size, 'n')), cannot("No space left on device"));
    EXPECT_TRUE(tmp.Read(leaf) == std::string(8000, 'o')) << tmp.Read(leaf).size() << " bytes after " << size;
  }
  EXPECT_EQ(Save(name, "new"), "saved");
  EXPECT_EQ(tmp.Read(leaf), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()), {}), 1);
}

// A program that leaves the file-size limit's signal as the system has it
// (it ends the program) saves under "ulimit -f": the save fails and says
// why, the program goes on, the file keeps its old bytes and nothing is
// left beside it. So too when a file written in place is already larger
// than the limit and its old bytes go back after a full disk.
TEST(FilesUnderASizeLimit, ASaveFailsWithoutEndingAProgramThatLeavesTheSignalAlone) {
  TempDir tmp;
  const std::string name = tmp.Write("kept.txt", "old bytes");
  const std::string told = UnderFileSizeLimit(64, [&] { return Save(name, std::string(1000, 'n')); });
  EXPECT_EQ(told, "Cannot create file \"" + name + "\". File too large");
  EXPECT_EQ(tmp.Read("kept.txt"), "old bytes");

  const std::string leaf(255, 'n'), inPlace = tmp.Write(leaf, std::string(12000, 'o'));
  EXPECT_EQ(UnderFileSizeLimit(9000, [&] { return Save(inPlace, std::string(10000, 'n')); }),
            "Cannot create file \"" + inPlace + "\". File too large");
  EXPECT_EQ(UnderFileSizeLimit(9000,
                               [&] {
                                 fault = {true, 4096, ENOSPC};
                                 return Save(inPlace, std::string(6000, 'n'));
                               }),
            "Cannot create file \"" + inPlace + "\". No space left on device");
  EXPECT_TRUE(tmp.Read(leaf) == std::string(12000, 'o')) << tmp.Read(leaf).size() << " bytes";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.Path()), {}), 2);

  // Under a limit it fits, the same program saves.
  EXPECT_EQ(UnderFileSizeLimit(64, [&] { return Save(name, "new"); }), "saved");
  EXPECT_EQ(tmp.Read("kept.txt"), "new");
}

TEST(SpecialFiles, EveryReaderRefusesAPipeOrADeviceAtOnceAndNamesIt) {
  HangGuard guard;
  TempDir tmp;
  const std::string pipe = tmp / "x.ini", zero = tmp / "zero.ini", full = tmp / "full.ini";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
  for (const std::string& name : {pipe, zero, full}) {
    const std::string cannot = "Cannot open file \"" + name + "\". Not a regular file";
    EXPECT_EQ(Failure([&] { TFileStream s(name, fmOpenRead); }), cannot);
    EXPECT_EQ(Failure([&] { TStringList().LoadFromFile(name); }), cannot);
    EXPECT_EQ(Failure([&] { TMemoryStream().LoadFromFile(name); }), cannot);
    // Storage, style sheets and grid layouts read an INI file before they
    // save it.
    EXPECT_EQ(Failure([&] { TMemIniFile ini(name); }), cannot);
    EXPECT_EQ(crt::fopen(name.c_str(), "r"), nullptr);
    EXPECT_EQ(Save(name, "new"), "Cannot create file \"" + name + "\". Not a regular file");
  }
  {
    orv::registry::ScopedRoot root(pipe);
    TRegistry reg;
    EXPECT_EQ(Failure([&] {
                reg.OpenKey("\\Grid", true);
                reg.CloseKey();
              }),
              "Failed to write the registry to " + pipe + ": the file there cannot be read (Not a regular file)");
  }
  // Causes named: a folder, a name too long for the system.
  const std::string folder = tmp.MakeDir("folder.ini"), tooLong = tmp / std::string(300, 'l');
  EXPECT_EQ(Failure([&] { TMemIniFile ini(folder); }), "Cannot open file \"" + folder + "\". Is a directory");
  EXPECT_EQ(Failure([&] { TMemIniFile ini(tooLong); }), "Cannot open file \"" + tooLong + "\". File name too long");
  EXPECT_EQ(Save(tooLong, "new"), "Cannot create file \"" + tooLong + "\". File name too long");
}

TEST(SpecialFiles, AFileLargerThanTheReadersTakeIsRefusedByName) {
  TempDir tmp;
  const std::string big = tmp.Write("big.txt", "");
  ASSERT_EQ(truncate(big.c_str(), orv::os::kTextFileLimit + 1), 0);  // sparse: no room taken
  EXPECT_EQ(Failure([&] { TStringList().LoadFromFile(big); }), "Cannot open file \"" + big + "\". File too large");
  TMemoryStream stream;  // streams and pictures take more
  stream.LoadFromFile(big);
  ASSERT_EQ(truncate(big.c_str(), orv::os::kDataFileLimit + 1), 0);
  EXPECT_EQ(Failure([&] { stream.LoadFromFile(big); }), "Cannot open file \"" + big + "\". File too large");
  EXPECT_EQ(stream.GetSize(), orv::os::kTextFileLimit + 1);
}
