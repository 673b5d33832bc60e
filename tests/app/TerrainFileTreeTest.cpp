#include "app/core/TerrainFileTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include "support/OrdinaryUser.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

// The rows as the grid shows them: indented by level, files with their
// full path relative to the start directory.
std::string Outline(const std::vector<TFileTreeRow>& rows, const std::string& startDir) {
  std::string out;
  for (const TFileTreeRow& row : rows) {
    int level = 0;
    for (Integer p = row.Parent; p >= 0; p = rows[std::size_t(p)].Parent) ++level;
    out += std::string(std::size_t(2 * level), ' ') + row.Caption;
    if (!row.Reachable) out += " (unreachable)";
    if (row.IsFile) {
      EXPECT_EQ(row.Path.substr(0, startDir.size()), startDir);
      out += " @" + row.Path.substr(startDir.size());
    }
    out += "\n";
  }
  return out;
}

}  // namespace

TEST(TerrainFileTree, TerrainFilesAreListedByDirectoryDepthFirst) {
  TempDir tmp;
  for (const char* name : {"tarvikwin.tdf", "tarvik.exe", "a.tt", "notes.txt", ".hidden.tt", "maps/b.tt",
                           "maps/c.TT", "maps/with space.tt", "maps/deep/d.tt", "Zeta/z.tt", ".git/x.tt"})
    tmp.Write(name, "width = 1;");
  tmp.MakeDir("empty");
  // A link to a directory is neither scanned nor listed, whatever its name.
  ASSERT_EQ(symlink("maps", (tmp / "loop").c_str()), 0);
  ASSERT_EQ(symlink("maps", (tmp / "folder.tt").c_str()), 0);
  // A link to a file is a file.
  ASSERT_EQ(symlink("a.tt", (tmp / "linked.tt").c_str()), 0);

  EXPECT_EQ(Outline(ScanTerrainTree(tmp.Path()), tmp.Path()),
            "./\n"
            "  a.tt @/a.tt\n"
            "  linked.tt @/linked.tt\n"
            "  ./empty/\n"
            "  ./maps/\n"
            "    b.tt @/maps/b.tt\n"
            "    c.TT @/maps/c.TT\n"
            "    with space.tt @/maps/with space.tt\n"
            "    ./maps/deep/\n"
            "      d.tt @/maps/deep/d.tt\n"
            "  ./Zeta/\n"
            "    z.tt @/Zeta/z.tt\n");
}

TEST(TerrainFileTree, AnEmptyOrUnreadableTreeStillShowsItsDirectories) {
  TempDir tmp;
  EXPECT_EQ(Outline(ScanTerrainTree(tmp.Path()), tmp.Path()), "./\n");

  tmp.Write("top.tt", "");
  tmp.Write("locked/hidden.tt", "");
  tmp.Write("locked/inner/deeper.tt", "");
  chmod(tmp.Path().c_str(), 0755);
  chmod((tmp / "locked").c_str(), 0);
  const std::string outline =
      AsOrdinaryUser([&] { return Outline(ScanTerrainTree(tmp.Path()), tmp.Path()); });
  chmod((tmp / "locked").c_str(), 0755);
  EXPECT_EQ(outline, "./\n  top.tt @/top.tt\n  ./locked/\n");
}

// Names with characters 1252 lacks are listed with '?' in their place,
// after the names really written so. Such a row reaches nothing: not the
// file or folder beside it that really has the '?', whose rows are their own.
TEST(TerrainFileTree, ANameListedWithAQuestionMarkNeverStandsForTheOneReallyNamedSo) {
  TempDir tmp;
  tmp.Write("a\xD0\x96" "b.tt", "width = 1;");
  tmp.Write("a?b.tt", "width = 2;");
  tmp.Write("d\xD0\x96r/lost.tt", "");
  tmp.Write("d?r/found.tt", "");
  EXPECT_EQ(Outline(ScanTerrainTree(tmp.Path()), tmp.Path()),
            "./\n"
            "  a?b.tt @/a?b.tt\n"
            "  a?b.tt (unreachable) @/a?b.tt\n"
            "  ./d?r/\n"
            "    found.tt @/d?r/found.tt\n"
            "  ./d?r/ (unreachable)\n");
}
