#include "app/core/ParameterDefinitions.h"

#include <filesystem>

#include "app/core/TerrainFiles.h"
#include "platform/rtl/Locale.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

const char* const kSample =
    "width;Map width;I;16;512;128;Width of the map;The width.\\nA multiple of 8.;\r\n"
    "\r\n"
    "  islands;Islands;B;0;1;0;Create islands;Islands.;\t\r\n"
    "season;Season;L;1;6;2;Season;At start.;Early spring;Spring;Summer;Autumn;Winter;Deep winter;\n"
    "name;Map name;S;;;Untitled;Name of the map;Name.;";  // no LF at the end

struct Parsed {
  TDefinitionTable Defs;
  std::vector<TUserMessage> Messages;
};

Parsed Parse(std::string_view text) {
  Parsed p;
  ParseDefinitionText(text, p.Defs, p.Messages);
  return p;
}

// What a single line gives: "caption|text" of its message, or its items.
std::string Outcome(const std::string& line) {
  const Parsed p = Parse(line);
  if (p.Messages.size() == 1 && p.Defs.empty()) return p.Messages[0].Caption + "|" + p.Messages[0].Text;
  if (p.Messages.empty() && p.Defs.size() == 1) {
    std::string items = "accepted";
    for (const AnsiString& item : p.Defs[0].Items) items += " [" + item + "]";
    return items;
  }
  return "<more than one outcome>";
}

}  // namespace

TEST(DefinitionFile, TheFileGivesOneDefinitionPerLine) {
  const Parsed p = Parse(kSample);
  EXPECT_TRUE(p.Messages.empty());
  ASSERT_EQ(p.Defs.size(), 4u);
  const TERRAIN_KEY_DEF& width = p.Defs[0];
  EXPECT_EQ(width.Key + "|" + width.Caption + "|" + width.Min + "|" + width.Max + "|" + width.Default + "|" +
                width.Hint + "|" + width.Description,
            "width|Map width|16|512|128|Width of the map|The width.\r\nA multiple of 8.");
  EXPECT_EQ(width.Type, ptInteger);
  EXPECT_EQ(p.Defs[1].Key, "islands");  // blanks and tabs around a line are trimmed
  EXPECT_EQ(p.Defs[2].ItemCount, 6);
  EXPECT_EQ(p.Defs[2].Items.back(), "Deep winter");
  EXPECT_EQ(p.Defs[3].Default, "Untitled");

  const TParameterDetails details = ParameterDetails(p.Defs[2]);
  EXPECT_EQ(details.Caption + "|" + details.TypeName + "|" + details.Min + "|" + details.Max + "|" + details.Default,
            "Details for 'Season'|List|1|6|2");
  EXPECT_EQ(ParameterTypeName(ptFloat), "Decimal Number");
  EXPECT_EQ(ParameterTypeName(9), "Unknown");
}

// A terrain file's keys are read trimmed, so a key written with blanks
// around it in the definitions still names the value the file sets.
TEST(DefinitionFile, AKeyIsReadTrimmedAsTerrainFilesReadTheirKeys) {
  const Parsed p = Parse("width ;Map width;I;16;512;128;h;d;\n seed\t;Seed;I;0;99;1;h;d;\n");
  ASSERT_EQ(p.Defs.size(), 2u);
  EXPECT_EQ(p.Defs[0].Key, "width");
  EXPECT_EQ(p.Defs[1].Key, "seed");
  const TTerrainStatements file = ParseTerrainText("width = 256;\n\tseed\t= 7;");
  ASSERT_EQ(file.size(), 2u);
  EXPECT_EQ(file[0].Key + "|" + file[1].Key, p.Defs[0].Key + "|" + p.Defs[1].Key);
}

TEST(DefinitionFile, EachFaultyLineHasItsOwnMessage) {
  const std::string error = "Definition File Error|", value = "Definition File Value Error|";
  const std::string minMax = " values in definition file.";
  const std::vector<std::pair<std::string, std::string>> table = {
      {"short;Short;I;0;10;5;hint;desc", error + "The definition line only contains 7 arguments. 8 is needed."},
      {"nothing at all", error + "The definition line only contains 0 arguments. 8 is needed."},
      {"x;X;i;0;1;0;h;d;", error + "Unknown definition type (3rd argument): 'i'"},
      {"x;X; I;0;1;0;h;d;", error + "Unknown definition type (3rd argument): ' I'"},
      {"same;Same;I;5;5;5;h;d;", value + "Incorrect min (5) and max (5)" + minMax},
      {"down;Down;F;2.5;1;2;h;d;", value + "Incorrect min (2.5) and max (1)" + minMax},
      {"big;Big;L;0;10;0;h;d;a;b;c;d;e;f;g;h;i;j;k;", value + "Incorrect number of list elements (11) in definition file."},
      {"one;One;L;0;0;0;h;d;a;", value + "Incorrect min (0) and max (0)" + minMax},
      // Bounds and defaults that are no numbers of their kind drop the line.
      {"odd;Odd;I;a;9;1;h;d;", value + "Incorrect min (a) and max (9)" + minMax},
      {"half;Half;I;1.5;9;2;h;d;", value + "Incorrect min (1.5) and max (9)" + minMax},
      {"hex;Hex;B;$0;1;0;h;d;", value + "Incorrect min ($0) and max (1)" + minMax},
      {"bad;Bad;I;0;9;x;h;d;", value + "Incorrect default value (x) in definition file."},
      {"fbad;FBad;F;0;9;;h;d;", value + "Incorrect default value () in definition file."},
      {"lbad;LBad;L;0;1;1.0;h;d;a;b;", value + "Incorrect default value (1.0) in definition file."},
      // Accepted as they stand; list items are tokens as they stand too.
      {"after;After;I;0;10;5;h;d;ignored text", "accepted"},
      {"text;Text;S;;;;h;d;", "accepted"},
      {"neg;Neg;F;-1;;-0.5;h;d;", "accepted"},
      {"few;Few;L;1;3;1;h;d;First; second ;", "accepted [First] [ second ] [Item 3]"},
      {"more;More;L;0;1;1;h;d;a;b;c;", "accepted [a] [b]"},
  };
  for (const auto& [line, expected] : table) EXPECT_EQ(Outcome(line), expected) << line;

  // Good lines around bad ones all stay, however many there are.
  std::string text;
  for (int i = 0; i < 150; ++i) text += "k" + std::to_string(i) + ";K;I;0;9;1;h;d;\n" + (i % 50 ? "" : "bad;\n");
  const Parsed p = Parse(text);
  EXPECT_EQ(p.Defs.size(), 150u);
  EXPECT_EQ(p.Messages.size(), 3u);
}

TEST(DefinitionFile, DecimalsUseTheirPointWhateverTheLocale) {
  for (const char* locale : {"en-US", "de-DE"}) {
    ScopedLocale fixture(locale);
    EXPECT_EQ(Outcome("mix;Mix;F;0.5;1.5;0.75;h;d;"), "accepted") << locale;
    EXPECT_EQ(TextToFloat("1.5"), 1.5) << locale;
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(LocalizeDecimal("1.2.3"), "1,2.3");  // only the first point
}

TEST(DefinitionFile, AMissingFileIsReportedAndEndsTheReading) {
  TempDir tmp;
  CurrentDirGuard cd(tmp.Path());
  TDefinitionTable defs(1);
  std::vector<TUserMessage> messages;
  EXPECT_FALSE(LoadDefinitions(kDefinitionFileName, defs, messages));
  EXPECT_TRUE(defs.empty());
  EXPECT_EQ(messages,
            (std::vector<TUserMessage>{
                {"Can't open definition file\ntarvikwin.tdf\nThis file is required.\n\nNo such file or directory",
                 "File Open Error"}}));
  tmp.MakeDir(kDefinitionFileName);  // a folder of that name cannot be read either
  EXPECT_FALSE(LoadDefinitions(kDefinitionFileName, defs, messages));
}
