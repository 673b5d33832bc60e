#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Files.h"
#include "platform/rtl/FindFiles.h"
#include "support/TempDir.h"

namespace {

struct Found {
  AnsiString Name;
  Integer Attr;
};

std::vector<Found> List(const AnsiString& pattern, Integer attr, Integer* firstResult = nullptr) {
  std::vector<Found> out;
  TSearchRec sr;
  Integer r = FindFirst(pattern, attr, sr);
  if (firstResult) *firstResult = r;
  if (r != 0) return out;
  for (; r == 0; r = FindNext(sr)) out.push_back({sr.Name, sr.Attr});
  EXPECT_EQ(r, static_cast<Integer>(win::ERROR_NO_MORE_FILES));
  FindClose(sr);
  return out;
}

std::vector<AnsiString> Names(const std::vector<Found>& found) {
  std::vector<AnsiString> names;
  for (const Found& f : found) names.push_back(f.Name);
  return names;
}

// A start directory like the front end's: terrain files in mixed case, a
// hidden one, a subdirectory, a hidden directory and a link back to the
// directory itself.
class FindFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp.Write("b.tt", "b=1;");
    tmp.Write("A.tt", "a=1;");
    tmp.Write("c.TT", "c=1;");
    tmp.Write(".hidden.tt", "h=1;");
    tmp.Write("notes.txt", "n");
    tmp.Write("README", "r");
    tmp.Write("maps/deep/d.tt", "d=1;");
    tmp.Write("maps/m.tt", "m=1;");
    tmp.MakeDir(".git");
    ASSERT_EQ(symlink(".", (tmp / "loop").c_str()), 0);
    ASSERT_EQ(symlink("maps/m.tt", (tmp / "link.tt").c_str()), 0);
  }
  AnsiString At(const AnsiString& pattern) const { return tmp.Path() + "/" + pattern; }
  TempDir tmp;
};

}  // namespace

TEST_F(FindFilesTest, PlainFilesMatchCaseInsensitivelyInSortedOrder) {
  EXPECT_EQ(Names(List(At("*.tt"), 0)), (std::vector<AnsiString>{"A.tt", "b.tt", "c.TT", "link.tt"}));
  EXPECT_EQ(Names(List(At("?.TT"), 0)), (std::vector<AnsiString>{"A.tt", "b.tt", "c.TT"}));
  EXPECT_EQ(Names(List(At("*.*"), 0)),
            (std::vector<AnsiString>{"A.tt", "b.tt", "c.TT", "link.tt", "loop", "notes.txt", "README"}));
  EXPECT_EQ(Names(List(At("readme"), 0)), (std::vector<AnsiString>{"README"}));
}

TEST_F(FindFilesTest, HiddenAndDirectoryEntriesOnlyWhenAskedFor) {
  EXPECT_EQ(Names(List(At("*.tt"), faHidden)), (std::vector<AnsiString>{".hidden.tt", "A.tt", "b.tt", "c.TT", "link.tt"}));

  const auto withDirs = List(At("*.*"), faDirectory);
  EXPECT_EQ(Names(withDirs),
            (std::vector<AnsiString>{"A.tt", "b.tt", "c.TT", "link.tt", "loop", "maps", "notes.txt", "README"}));
  std::map<AnsiString, Integer> attrs;
  for (const Found& f : withDirs) attrs[f.Name] = f.Attr;
  EXPECT_EQ(attrs["maps"], faDirectory);
  EXPECT_EQ(attrs["loop"], faSymLink);  // never announced as a directory
  EXPECT_EQ(attrs["link.tt"], faSymLink | faArchive);
  EXPECT_EQ(attrs["A.tt"], faArchive);

  const auto all = Names(List(At("*"), faDirectory | faHidden));
  EXPECT_NE(std::find(all.begin(), all.end(), ".git"), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), ".."), all.end());
}

TEST_F(FindFilesTest, RecursiveScanThroughALinkLoopEnds) {
  // The front end's scan: files of a directory, then every entry with the
  // directory attribute, depth first.
  std::vector<AnsiString> seen;
  std::function<void(const AnsiString&, int)> scan = [&](const AnsiString& dir, int depth) {
    ASSERT_LT(depth, 10) << "the scan loops";
    seen.push_back(dir + "/");
    for (const Found& f : List(dir + "/*.tt", 0))
      if (!(f.Attr & faDirectory)) seen.push_back(dir + "/" + f.Name);
    for (const Found& f : List(dir + "/*.*", faDirectory))
      if ((f.Attr & faDirectory) && f.Name != "." && f.Name != "..") scan(dir + "/" + f.Name, depth + 1);
  };
  CurrentDirGuard cd(tmp.Path());
  scan(".", 0);
  EXPECT_EQ(seen, (std::vector<AnsiString>{"./", "./A.tt", "./b.tt", "./c.TT", "./link.tt", "./maps/", "./maps/m.tt",
                                           "./maps/deep/", "./maps/deep/d.tt"}));
}

TEST_F(FindFilesTest, EntriesCarrySizeTimeAndReadOnly) {
  tmp.Write("big.dat", std::string(70000, 'x'));
  ASSERT_EQ(chmod((tmp / "big.dat").c_str(), 0444), 0);
  TSearchRec sr;
  ASSERT_EQ(FindFirst(At("BIG.DAT"), 0, sr), 0);
  EXPECT_EQ(sr.Name, "big.dat");
  EXPECT_EQ(sr.Size, 70000);
  EXPECT_EQ(sr.Attr, faArchive | faReadOnly);
  EXPECT_EQ(sr.Time, FileAge(tmp / "big.dat"));
  EXPECT_EQ(FindNext(sr), static_cast<Integer>(win::ERROR_NO_MORE_FILES));
  FindClose(sr);
  EXPECT_EQ(FindNext(sr), static_cast<Integer>(win::ERROR_NO_MORE_FILES));  // closed: still safe
}

TEST_F(FindFilesTest, FailuresTellMissingDirectoryFromNoMatch) {
  Integer r = -1;
  EXPECT_TRUE(List(At("*.xyz"), faAnyFile, &r).empty());
  EXPECT_EQ(r, static_cast<Integer>(win::ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(List(At("nowhere/*.tt"), faAnyFile, &r).empty());
  EXPECT_EQ(r, static_cast<Integer>(win::ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(List(At("b.tt/*.*"), faAnyFile, &r).empty());
  EXPECT_EQ(r, static_cast<Integer>(win::ERROR_PATH_NOT_FOUND));
}

TEST(Masks, WildcardsBacktrackAcrossRepeatedLetters) {
  EXPECT_TRUE(MatchesMask("terrain_temp_.txt", "*temp*.TXT"));
  EXPECT_TRUE(MatchesMask("aaab", "*a?b"));
  EXPECT_TRUE(MatchesMask("\xE9t\xE9.tt", "\xC9*.tt"));  // 1252 letters fold too
  EXPECT_FALSE(MatchesMask("a.tt", "*.t"));
  EXPECT_FALSE(MatchesMask("a.tt", "?"));
  EXPECT_TRUE(MatchesMask("noext", "*.*"));
  EXPECT_TRUE(MatchesMask("", "*"));
}
