#include "app/core/TerrainFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/core/TerrainFileTree.h"
#include "app/core/ValueRows.h"
#include "app/SampleDefinitions.h"
#include "support/FileSizeLimit.h"
#include "support/HangGuard.h"
#include "support/OrdinaryUser.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

const char* const kAlpine =
    "width = 256;\n"
    "roughness = 0.75;   comment after the semicolon\n"
    "climate = 0;\n"
    "season = 3;\n"
    "seed = 12345;\n"
    "a=b=c;\n"
    "no equals here\n"
    "climate = 2; a duplicate: the first value counts\n"
    "seed = 777;";

// The rows handed back as the window holds them, unedited.
std::vector<TValueRowContent> Unedited(const TValueRowPlan& plan) {
  std::vector<TValueRowContent> rows;
  for (const TValueRowSetup& row : plan.Rows) rows.push_back({row.Category, row.Tag, row.Caption, row.Value});
  return rows;
}

class TerrainFileTest : public ::testing::Test {
 protected:
  // Reads a file, plans its rows and saves them unedited to target.
  bool RoundTrip(const std::string& source, const std::string& target, std::optional<TUserMessage>& failure) {
    TTerrainStatements statements;
    TUserMessage readFailure;
    EXPECT_TRUE(ReadTerrainFile(source, statements, readFailure));
    return WriteTerrainFile(target, Unedited(PlanValueRows(defs, statements, source)), defs, statements, failure);
  }
  std::vector<TValueRowContent> Rows(const char* text) {
    return Unedited(PlanValueRows(defs, ParseTerrainText(text), "f.tt"));
  }
  TempDir tmp;
  TDefinitionTable defs = sample::Definitions();
};

}  // namespace

TEST(TerrainStatements, ReadLikeTheGeneratorReadsThem) {
  const TTerrainStatements s = ParseTerrainText(
      "a = 1; b = 2\r\n"  // a second statement on a line is lost
      "  spaced key\t=\t spaced value  \r\n"
      "x=y=z\n"
      "no equals\n"
      ";only a comment\n"
      "\n"
      " = empty key\n"
      "empty value =\n"
      "last = line without end");
  EXPECT_EQ(s, (TTerrainStatements{{"a", "1"},
                                   {"spaced key", "spaced value"},
                                   {"x=y", "z"},
                                   {"", "empty key"},
                                   {"empty value", ""},
                                   {"last", "line without end"}}));
  EXPECT_EQ(TerrainFileText({{"a", "1"}, {"x=y", "z"}}), "a = 1;\r\nx=y = z;\r\n");

  // A file that cannot be read leaves what was read before alone.
  TTerrainStatements kept = s;
  TUserMessage failure;
  EXPECT_FALSE(ReadTerrainFile("/no/such/dir/a.tt", kept, failure));
  EXPECT_EQ(failure,
            (TUserMessage{"Can't open terrain file\n/no/such/dir/a.tt\n\nNo such file or directory", "File Open Error"}));
  EXPECT_EQ(kept, s);
}

TEST_F(TerrainFileTest, ASavedFileHasTheKnownValuesFirstThenTheDefaultsThenTheUnknownKeys) {
  const std::string alpine = tmp.Write("maps/alpine.tt", kAlpine);
  std::optional<TUserMessage> failure;
  ASSERT_TRUE(RoundTrip(alpine, tmp / "saved.tt", failure));
  EXPECT_EQ(tmp.Read("saved.tt"),
            "width = 256;\r\nroughness = 0.75;\r\nclimate = 0;\r\nseason = 3;\r\n"
            "islands = 0;\r\nname = Untitled;\r\n"
            "seed = 12345;\r\na=b = c;\r\nseed = 777;\r\n");
  // Read again, every parameter is set, so all take their definitions' order.
  ASSERT_TRUE(RoundTrip(tmp / "saved.tt", tmp / "again.tt", failure));
  EXPECT_EQ(tmp.Read("again.tt"),
            "width = 256;\r\nroughness = 0.75;\r\nislands = 0;\r\nclimate = 0;\r\nseason = 3;\r\n"
            "name = Untitled;\r\nseed = 12345;\r\na=b = c;\r\nseed = 777;\r\n");

  // A file without a known key writes every default, and keeps however
  // many unknown statements it has.
  std::string text;
  for (int i = 0; i < 250; ++i) text += "key" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
  const std::string big = tmp.Write("big.tt", text);
  ASSERT_TRUE(RoundTrip(big, big, failure));
  const std::string saved = tmp.Read("big.tt");
  EXPECT_EQ(saved.substr(0, 102), "width = 128;\r\nroughness = 0.5;\r\nislands = 0;\r\nclimate = 1;\r\nseason = 2;\r\n"
                                 "name = Untitled;\r\nkey0 = 0;\r\n");
  EXPECT_EQ(saved.substr(saved.size() - 17), "\r\nkey249 = 249;\r\n");
}

TEST_F(TerrainFileTest, AValueThatCannotBeWrittenLeavesTheFileUntouched) {
  const std::string file = tmp.Write("keep.tt", "width = 300;\n");
  // The failure's reason, "" when the file was written.
  auto save = [&](std::size_t row, const Variant& value) {
    std::vector<TValueRowContent> rows = Rows("name = x;\nnote = fine;");
    rows[row].Value = value;
    std::optional<TUserMessage> failure;
    if (WriteTerrainFile(file, rows, defs, {}, failure)) return std::string();
    EXPECT_EQ(failure->Caption, "File Write Error");
    EXPECT_EQ(failure->Text.substr(0, 22 + file.size()), "Could not write file:\n" + file);
    return failure->Text.substr(22 + file.size());
  };
  EXPECT_EQ(save(1, Null()), "\n\nThe value of 'Roughness' is not a valid number.");  // emptied in its editor
  for (const char* text : {"a;b", "a=b", "two\r\nlines", "line\nbreak"})
    EXPECT_EQ(save(6, text), "\n\nThe value of 'note' contains ';', '=' or a line break.") << text;
  EXPECT_EQ(save(5, "semi;colon"), "\n\nThe value of 'Map name' contains ';', '=' or a line break.");
  EXPECT_EQ(tmp.Read("keep.tt"), "width = 300;\n");

  // No name: nothing to write and nothing to say.
  std::optional<TUserMessage> failure;
  EXPECT_FALSE(WriteTerrainFile("", Rows(""), defs, {}, failure));
  EXPECT_FALSE(failure);
}

TEST_F(TerrainFileTest, AWriteThatFailsSaysSoAndKeepsTheOldFile) {
  std::optional<TUserMessage> failure;
  const std::string folder = tmp.MakeDir("folder.tt");
  EXPECT_FALSE(WriteTerrainFile(folder, Rows(""), defs, {}, failure));
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, (TUserMessage{"Could not write file:\n" + folder + "\n\nIs a directory", "File Write Error"}));
  EXPECT_FALSE(WriteTerrainFile(tmp / "nowhere/x.tt", Rows(""), defs, {}, failure));
  EXPECT_EQ(failure->Text, "Could not write file:\n" + tmp / "nowhere/x.tt" + "\n\nNo such file or directory");

  // Permission bits stay; a link stays a link and its target is replaced.
  const std::string real = tmp.Write("real.tt", "old");
  chmod(real.c_str(), 0640);
  ASSERT_EQ(symlink("real.tt", (tmp / "link.tt").c_str()), 0);
  ASSERT_TRUE(WriteTerrainFile(tmp / "link.tt", Rows("width = 20;"), defs, {}, failure));
  struct stat st;
  ASSERT_EQ(lstat((tmp / "link.tt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(tmp.Read("real.tt").substr(0, 13), "width = 20;\r\n");

  // A read-only file is refused and kept; a file the user may write in a
  // folder he may not is written in place, and a size limit the new bytes
  // would pass leaves it as it was.
  chmod(tmp.Path().c_str(), 0755);
  const std::string locked = tmp.Write("locked.tt", "old");
  chmod(locked.c_str(), 0444);
  const std::string shut = tmp.MakeDir("shut");
  const std::string inShut = tmp.Write("shut/open.tt", "old");
  chmod(inShut.c_str(), 0666);
  chmod(shut.c_str(), 0555);
  const std::string answer = AsOrdinaryUser([&] {
    std::optional<TUserMessage> f;
    std::string out = WriteTerrainFile(locked, Rows(""), defs, {}, f) ? "locked written" : "locked refused";
    {
      FileSizeLimit limit(8);
      out += WriteTerrainFile(inShut, Rows("width = 21;"), defs, {}, f) ? ", limited written" : ", limited refused";
    }
    out += " (" + f->Text.substr(f->Text.rfind('\n') + 1) + ", " + tmp.Read("shut/open.tt") + ")";
    out += WriteTerrainFile(inShut, Rows("width = 21;"), defs, {}, f) ? ", open written" : ", open refused";
    return out;
  });
  chmod(shut.c_str(), 0755);
  EXPECT_EQ(answer, "locked refused, limited refused (File too large, old), open written");
  EXPECT_EQ(tmp.Read("locked.tt"), "old");
  EXPECT_EQ(tmp.Read("shut/open.tt").substr(0, 13), "width = 21;\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shut), {}), 1);  // nothing left beside it
}

TEST_F(TerrainFileTest, APipeOrADeviceAmongTheFilesIsNeitherListedNorWaitedFor) {
  HangGuard guard;
  tmp.Write("a.tt", "width = 1;");
  ASSERT_EQ(symlink("a.tt", (tmp / "linked.tt").c_str()), 0);
  ASSERT_EQ(mkfifo((tmp / "x.tt").c_str(), 0666), 0);
  ASSERT_EQ(symlink("/dev/zero", (tmp / "zero.tt").c_str()), 0);
  std::string listed;
  for (const TFileTreeRow& row : ScanTerrainTree(tmp.Path())) listed += row.Caption + " ";
  EXPECT_EQ(listed, "./ a.tt linked.tt ");
  // Picked by name all the same, each is refused at once for what it is.
  for (const std::string& name : {tmp / "x.tt", tmp / "zero.tt"}) {
    TTerrainStatements statements;
    TUserMessage failure;
    EXPECT_FALSE(ReadTerrainFile(name, statements, failure));
    EXPECT_EQ(failure.Text, "Can't open terrain file\n" + name + "\n\nNot a regular file");
    std::optional<TUserMessage> written;
    EXPECT_FALSE(WriteTerrainFile(name, Rows("width = 2;"), defs, {}, written));
    EXPECT_EQ(written->Text, "Could not write file:\n" + name + "\n\nNot a regular file");
  }
}
