#include <sys/stat.h>
#include <utime.h>

#include <cstdio>
#include <ctime>

#include "platform/rtl/Files.h"
#include "platform/rtl/FindFiles.h"
#include "platform/rtl/TextFile.h"
#include "support/TempDir.h"

TEST(PathArithmetic, SplitsNamesAtTheLastDelimiterOnly) {
  EXPECT_EQ(ExtractFileName("/home/u/maps/a.tt"), "a.tt");
  EXPECT_EQ(ExtractFilePath("/home/u/maps/a.tt"), "/home/u/maps/");
  EXPECT_EQ(ExtractFileDir("/home/u/maps/a.tt"), "/home/u/maps");
  EXPECT_EQ(ExtractFileDir("/a.tt"), "/");
  EXPECT_EQ(ExtractFileDir("a.tt"), "");
  EXPECT_EQ(ExtractFileExt("/home/u/maps/a.tt"), ".tt");
  EXPECT_EQ(ExtractFileExt("/home/u.v/maps/readme"), "");  // the dot belongs to a directory
  EXPECT_EQ(ExtractFileExt("archive.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/home/u.v/maps/readme", ".txt"), "/home/u.v/maps/readme.txt");
  EXPECT_EQ(ChangeFileExt("terrain.tt", ".bak"), "terrain.bak");
  EXPECT_EQ(ChangeFileExt("terrain.tt", ""), "terrain");
  EXPECT_EQ(IncludeTrailingPathDelimiter("."), "./");
  EXPECT_EQ(IncludeTrailingPathDelimiter("./"), "./");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("./maps/"), "./maps");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");  // the root stays the root
}

TEST(PathArithmetic, ExpandFileNameResolvesDotsAgainstTheCurrentDirectory) {
  TempDir tmp;
  tmp.MakeDir("maps/deep");
  CurrentDirGuard cd(tmp.Path());
  const AnsiString here = GetCurrentDir();
  EXPECT_EQ(ExpandFileName("maps/./deep/../a.tt"), here + "/maps/a.tt");
  EXPECT_EQ(ExpandFileName("maps/"), here + "/maps/");
  EXPECT_EQ(ExpandFileName("/x/../../y"), "/y");
  EXPECT_EQ(ExpandFileName("/.."), "/");
}

TEST(CurrentDirectory, BufferTooSmallAnswersTheSizeNeededAndCopiesNothing) {
  TempDir tmp;
  CurrentDirGuard cd(tmp.Path());
  const AnsiString dir = GetCurrentDir();
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof small, small), dir.size() + 1);
  EXPECT_EQ(small[0], 'x');
  char buf[500];
  EXPECT_EQ(win::GetCurrentDirectoryA(sizeof buf, buf), dir.size());
  EXPECT_EQ(AnsiString(buf), dir);

  tmp.MakeDir("sub");
  EXPECT_TRUE(win::SetCurrentDirectoryA("sub"));
  EXPECT_EQ(GetCurrentDir(), dir + "/sub");
  EXPECT_FALSE(win::SetCurrentDirectoryA("missing"));
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetCurrentDir(), dir + "/sub");
}

TEST(FileOperations, DeletingAMissingFileFailsAndTouchesNothing) {
  TempDir tmp;
  tmp.Write("keep.txt", "k");
  CurrentDirGuard cd(tmp.Path());
  win::SetLastError(0);
  EXPECT_FALSE(win::DeleteFileA("terrain_temp_.txt"));
  EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(FileExists("keep.txt"));

  // A name with a zero byte inside must not delete the file named by its
  // first part.
  EXPECT_FALSE(DeleteFile(AnsiString("keep.txt\0.bak", 13)));
  EXPECT_TRUE(FileExists("keep.txt"));
  EXPECT_TRUE(DeleteFile("keep.txt"));
  EXPECT_FALSE(FileExists("keep.txt"));
}

TEST(FileOperations, ExistenceRenameAndDirectories) {
  TempDir tmp;
  const AnsiString a = tmp.Write("a.tt", "1"), b = tmp.Write("b.tt", "2");
  EXPECT_TRUE(FileExists(a));
  EXPECT_FALSE(FileExists(tmp.Path()));
  EXPECT_TRUE(DirectoryExists(tmp.Path()));
  EXPECT_FALSE(DirectoryExists(a));

  EXPECT_FALSE(RenameFile(a, b));  // never replaces the target
  EXPECT_EQ(tmp.Read("b.tt"), "2");
  EXPECT_TRUE(RenameFile(a, tmp / "c.tt"));
  EXPECT_EQ(tmp.Read("c.tt"), "1");

  EXPECT_TRUE(ForceDirectories(tmp / "x/y/z/"));
  EXPECT_TRUE(DirectoryExists(tmp / "x/y/z"));
  EXPECT_TRUE(ForceDirectories(tmp / "x/y"));
  EXPECT_FALSE(CreateDir(tmp / "x"));
  EXPECT_FALSE(ForceDirectories(tmp / "c.tt/sub"));  // a file stands in the way
}

TEST(FileOperations, FileAgeIsTheLocalModificationTime) {
  TempDir tmp;
  const AnsiString f = tmp.Write("generatedname.txt", "map1\n");
  EXPECT_EQ(FileAge(tmp / "missing"), -1);
  EXPECT_EQ(FileAge(tmp.Path()), -1);

  std::tm when{};
  when.tm_year = 2024 - 1900, when.tm_mon = 2, when.tm_mday = 5;
  when.tm_hour = 10, when.tm_min = 20, when.tm_sec = 31, when.tm_isdst = -1;
  const utimbuf times{mktime(&when), mktime(&when)};
  ASSERT_EQ(utime(f.c_str(), &times), 0);
  const Integer age = FileAge(f);
  // 2024-03-05 is day 45356; the seconds fall to the even step below.
  EXPECT_DOUBLE_EQ(FileDateToDateTime(age).Value, 45356 + (10 * 3600 + 20 * 60 + 30) / 86400.0);

  const utimbuf later{times.actime + 3600, times.modtime + 3600};
  ASSERT_EQ(utime(f.c_str(), &later), 0);
  EXPECT_GT(FileAge(f), age);
}

TEST(FileNames, CrossTheSystemEdgeAsUtf8) {
  TempDir tmp;
  const AnsiString name = "caf\xE9.tt";  // 1252
  crt::FILE* f = crt::fopen((tmp.Path() + "/" + name).c_str(), "w");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(crt::fclose(f), 0);
  EXPECT_TRUE(std::filesystem::exists(tmp / "caf\xC3\xA9.tt"));
  EXPECT_TRUE(FileExists(tmp.Path() + "/" + name));

  // A name 1252 cannot spell is listed with '?' and then does not open.
  tmp.Write("\xD0\xB6.tt", "x");  // Cyrillic zhe
  TSearchRec sr;
  ASSERT_EQ(FindFirst(tmp.Path() + "/?.tt", faAnyFile, sr), 0);
  EXPECT_EQ(sr.Name, "?.tt");
  FindClose(sr);
  EXPECT_EQ(crt::fopen((tmp.Path() + "/" + sr.Name).c_str(), "r"), nullptr);
  EXPECT_TRUE(std::filesystem::exists(tmp / "\xD0\xB6.tt"));
}

TEST(TextFiles, WritesCrLfAndReadsEveryByteBack) {
  TempDir tmp;
  const std::string path = tmp / "terrain_temp_.txt";
  crt::FILE* out = crt::fopen(path.c_str(), "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(crt::fprintf(out, "%s=%s;\n", "Seed", "42"), 9);
  crt::fprintf(out, "%d\x1A%c\n", 7, 'z');
  EXPECT_EQ(crt::fgetc(out), EOF);  // not open for reading
  EXPECT_EQ(crt::fclose(out), 0);
  EXPECT_EQ(tmp.Read("terrain_temp_.txt"), "Seed=42;\r\n7\x1Az\r\n");

  crt::FILE* in = crt::fopen(path.c_str(), "r");
  ASSERT_NE(in, nullptr);
  std::string back;
  for (int c; (c = crt::fgetc(in)) != EOF;) back += static_cast<char>(c);
  EXPECT_EQ(back, "Seed=42;\n7\x1Az\n");
  EXPECT_EQ(crt::fclose(in), 0);

  tmp.Write("lone.txt", "a\rb\r");
  crt::FILE* lone = crt::fopen((tmp / "lone.txt").c_str(), "r");
  back.clear();
  for (int c; (c = crt::fgetc(lone)) != EOF;) back += static_cast<char>(c);
  EXPECT_EQ(back, "a\rb\r");  // a CR without LF stays
  crt::fclose(lone);

  crt::FILE* bin = crt::fopen((tmp / "b.bin").c_str(), "wb");
  crt::fprintf(bin, "x\n");
  crt::fclose(bin);
  EXPECT_EQ(tmp.Read("b.bin"), "x\n");
}

TEST(TextFiles, FailuresAreReportedNotSwallowed) {
  TempDir tmp;
  EXPECT_EQ(crt::fopen((tmp / "missing.txt").c_str(), "r"), nullptr);
  EXPECT_EQ(crt::fopen((tmp / "x.txt").c_str(), "a+"), nullptr);
  EXPECT_EQ(crt::fgetc(nullptr), EOF);
  EXPECT_LT(crt::fprintf(nullptr, "x"), 0);
  EXPECT_EQ(crt::fclose(nullptr), EOF);

  // The full device accepts the buffered text; the loss shows at close.
  crt::FILE* full = crt::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  crt::fprintf(full, "%s\n", "Created Map File:");
  EXPECT_EQ(crt::fclose(full), EOF);
}
