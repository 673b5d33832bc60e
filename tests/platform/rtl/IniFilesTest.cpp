#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/StringList.h"
#include "support/TempDir.h"

namespace {

std::vector<AnsiString> Lines(TStrings* list) {
  std::vector<AnsiString> out;
  for (Integer i = 0; i < list->GetCount(); ++i) out.push_back(list->Get(i));
  return out;
}

struct IniFixture : ::testing::Test {
  TempDir tmp;
  TOwned<TStringList> list{New<TStringList>()};
  using V = std::vector<AnsiString>;
};

}  // namespace

TEST_F(IniFixture, StorageSectionsRoundTripWithQuotesAndTheEmptyKey) {
  const std::string path = tmp / "grid.ini";
  {
    TMemIniFile ini(path);
    ini.WriteString("Grid/Rows/0: TcxEditorRow", "", "");
    ini.WriteString("Grid/Rows/0: TcxEditorRow", "Caption", "\"12\"");
    ini.WriteString("Grid/Rows/0: TcxEditorRow", "Height", "17");
    ini.WriteString("Grid/Rows/0: TcxEditorRow", "Filter", "\"a=b\"");
    ini.WriteString("Grid/Rows/0: TcxEditorRow", "Pad", "  x  ");
    ini.WriteString("Grid: TcxVerticalGrid", "Name", "\"caf\xE9\"");
    ini.UpdateFile();
  }
  EXPECT_EQ(tmp.Read("grid.ini"),
            "[Grid/Rows/0: TcxEditorRow]\r\n=\r\nCaption=\"12\"\r\nHeight=17\r\nFilter=\"a=b\"\r\nPad=  x  \r\n\r\n"
            "[Grid: TcxVerticalGrid]\r\nName=\"caf\xE9\"\r\n\r\n");

  TMemIniFile back(path);
  EXPECT_EQ(back.ReadString("grid/rows/0: TCXEDITORROW", "caption", "?"), "\"12\"");  // quotes kept
  EXPECT_EQ(back.ReadString("Grid/Rows/0: TcxEditorRow", "Filter", "?"), "\"a=b\"");
  EXPECT_EQ(back.ReadString("Grid/Rows/0: TcxEditorRow", "Pad", "?"), "  x  ");
  EXPECT_EQ(back.ReadString("Grid: TcxVerticalGrid", "Name", "?"), "\"caf\xE9\"");
  EXPECT_EQ(back.ReadString("Grid: TcxVerticalGrid", "Missing", "?"), "?");
  back.ReadSection("Grid/Rows/0: TcxEditorRow", list.get());
  EXPECT_EQ(Lines(list.get()), (V{"", "Caption", "Height", "Filter", "Pad"}));
  back.ReadSections(list.get());
  EXPECT_EQ(Lines(list.get()), (V{"Grid/Rows/0: TcxEditorRow", "Grid: TcxVerticalGrid"}));
  EXPECT_TRUE(back.ValueExists("Grid/Rows/0: TcxEditorRow", ""));
}

TEST_F(IniFixture, HandWrittenFilesKeepTheirCommentsAndMergeRepeatedSections) {
  tmp.Write("hand.ini",
            "; written by hand\n"
            "[Main]  \r\n"
            "  Width = 640\r"
            "; the height follows\n"
            "\n"
            "orphan line\n"
            "[Other]\n"
            "a=1\n"
            "[MAIN]\n"
            "Height=480\n"
            "Width=800\n");
  TMemIniFile ini(tmp / "hand.ini");
  EXPECT_EQ(ini.ReadString("main", "Width", "?"), " 640");  // the value keeps its blank
  EXPECT_EQ(ini.ReadInteger("main", "Width", 0), 640);
  EXPECT_EQ(ini.ReadInteger("Main", "Height", 0), 480);
  ini.ReadSection("Main", list.get());
  EXPECT_EQ(Lines(list.get()), (V{"Width", "Height", "Width"}));
  ini.ReadSectionValues("Other", list.get());
  EXPECT_EQ(Lines(list.get()), (V{"a=1"}));

  ini.WriteString("Other", "b", "2");
  ini.UpdateFile();
  EXPECT_EQ(tmp.Read("hand.ini"),
            "; written by hand\r\n"
            "[Main]\r\nWidth= 640\r\n; the height follows\r\norphan line\r\nHeight=480\r\nWidth=800\r\n\r\n"
            "[Other]\r\na=1\r\nb=2\r\n\r\n");
}

TEST_F(IniFixture, NumbersAndBooleansFallBackToTheDefault) {
  TMemIniFile ini("");
  const std::pair<const char*, Integer> cases[] = {
      {"42", 42}, {"-7", -7}, {" 12", 12}, {"0x1F", 31}, {"$ff", 255}, {"$FFFFFFFF", -1},
      {"12abc", -99}, {"", -99}, {"99999999999", -99}, {"2147483648", -99}, {"-2147483648", INT32_MIN},
  };
  for (const auto& [text, expected] : cases) {
    ini.WriteString("N", "v", text);
    EXPECT_EQ(ini.ReadInteger("N", "v", -99), expected) << text;
  }
  ini.WriteBool("B", "on", true);
  ini.WriteBool("B", "off", false);
  EXPECT_EQ(ini.ReadString("B", "on", ""), "1");
  EXPECT_TRUE(ini.ReadBool("B", "on", false));
  EXPECT_FALSE(ini.ReadBool("B", "off", true));
  EXPECT_TRUE(ini.ReadBool("B", "missing", true));
  ini.WriteInteger("N", "v", -12);
  EXPECT_EQ(ini.ReadString("N", "v", ""), "-12");
}

TEST_F(IniFixture, TextThatWouldNotReadBackIsRefused) {
  TMemIniFile ini(tmp / "safe.ini");
  ini.WriteString("S", "k", "v");
  EXPECT_THROW(ini.WriteString("S", "k", "x\r\n[Admin]\r\nTrusted=1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", ";note", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "k ", "v"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "[x", "y]"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S\nT", "k", "v"), EIniFileException);
  EXPECT_EQ(ini.ReadString("S", "k", "?"), "v");
  ini.ReadSections(list.get());
  EXPECT_EQ(Lines(list.get()), (V{"S"}));
}

TEST_F(IniFixture, EditingSectionsAndKeys) {
  TMemIniFile ini(tmp / "edit.ini");
  ini.WriteString("A", "x", "1");
  ini.WriteString("A", "y", "2");
  ini.WriteString("B", "z", "3");
  ini.DeleteKey("a", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  EXPECT_TRUE(ini.ValueExists("A", "y"));
  ini.EraseSection("b");
  EXPECT_FALSE(ini.SectionExists("B"));
  ini.WriteString("Empty", "k", "v");
  ini.DeleteKey("Empty", "k");
  EXPECT_TRUE(ini.SectionExists("Empty"));

  ini.GetStrings(list.get());
  EXPECT_EQ(Lines(list.get()), (V{"[A]", "y=2", "", "[Empty]", ""}));
  list->SetText("[C]\r\n=\r\nq=\"r\"\r\n");
  ini.SetStrings(list.get());
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.ReadString("C", "q", ""), "\"r\"");
  ini.Clear();
  ini.ReadSections(list.get());
  EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(IniFixture, FileProblemsRaise) {
  TMemIniFile missing(tmp / "not-yet.ini");  // a file that is not there yet is empty
  EXPECT_FALSE(missing.SectionExists("A"));
  TMemIniFile nowhere(tmp / "no/such/dir/x.ini");
  nowhere.WriteString("A", "b", "c");
  try {
    nowhere.UpdateFile();
    ADD_FAILURE() << "saved into a folder that is not there";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + tmp / "no/such/dir/x.ini" + "\". No such file or directory");
  }
  EXPECT_THROW(TMemIniFile{tmp.Path()}, EFOpenError);  // a directory does not read
}
