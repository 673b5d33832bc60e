#include "app/core/ParameterDefinitions.h"

#include <filesystem>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Locale.h"
#include "support/TempDir.h"

using namespace frontend;

namespace {

const char* const kSample =
    "width;Map width;I;16;512;128;Width of the map in tiles;The width of the generated map.\\nMust be a multiple "
    "of 8.;\r\n"
    "roughness;Roughness;F;0.0;1.0;0.5;Terrain roughness;How rough the terrain is.;\r\n"
    "\r\n"
    "  islands;Islands;B;0;1;0;Create islands;When set, the generator creates islands.;\t\r\n"
    "climate;Climate;L;0;2;1;Climate zone;Climate of the map.;Cold;Temperate;Hot;\n"
    "season;Season;L;1;6;2;Starting season;Season at start.;Early spring;Spring;Summer;Autumn;Winter;Deep winter;\n"
    "name;Map name;S;;;Untitled;Name of the map;Name written into the map header.;";  // no LF at the end

struct Parsed {
  TDefinitionTable Defs;
  std::vector<TUserMessage> Messages;
};

Parsed Parse(std::string_view text) {
  Parsed p;
  ParseDefinitionText(text, p.Defs, p.Messages);
  return p;
}

// The one message a single faulty line gives, as "caption|text".
std::string MessageOf(const std::string& line) {
  const Parsed p = Parse(line);
  if (p.Messages.size() != 1 || !p.Defs.empty()) return "<accepted>";
  EXPECT_EQ(p.Messages[0].Kind, umkError);
  return p.Messages[0].Caption + "|" + p.Messages[0].Text;
}

}  // namespace

TEST(DefinitionFile, TheSampleFileGivesEveryKindOfDefinition) {
  const Parsed p = Parse(kSample);
  EXPECT_TRUE(p.Messages.empty());
  ASSERT_EQ(p.Defs.size(), 6u);

  const TERRAIN_KEY_DEF& width = p.Defs[0];
  EXPECT_EQ(width.Key, "width");
  EXPECT_EQ(width.Caption, "Map width");
  EXPECT_EQ(width.Type, ptInteger);
  EXPECT_EQ(width.Min + "/" + width.Max + "/" + width.Default, "16/512/128");
  EXPECT_EQ(width.Hint, "Width of the map in tiles");
  EXPECT_EQ(width.Description, "The width of the generated map.\r\nMust be a multiple of 8.");

  EXPECT_EQ(p.Defs[1].Type, ptFloat);
  EXPECT_EQ(p.Defs[1].Min, "0.0");  // the raw text
  EXPECT_EQ(p.Defs[2].Key, "islands");  // blanks and tabs around a line are trimmed
  EXPECT_EQ(p.Defs[3].ItemCount, 3);
  EXPECT_EQ(p.Defs[3].Items, (std::vector<AnsiString>{"Cold", "Temperate", "Hot"}));
  EXPECT_EQ(p.Defs[4].ItemCount, 6);
  EXPECT_EQ(p.Defs[4].Items.back(), "Deep winter");
  EXPECT_EQ(p.Defs[5].Type, ptString);
  EXPECT_EQ(p.Defs[5].Min + p.Defs[5].Max, "");
  EXPECT_EQ(p.Defs[5].Default, "Untitled");

  const TParameterDetails details = ParameterDetails(p.Defs[1]);
  EXPECT_EQ(details.Caption, "Details for 'Roughness'");
  EXPECT_EQ(details.TypeName, "Decimal Number");
  EXPECT_EQ(details.Min + " " + details.Max + " " + details.Default, "0.0 1.0 0.5");
  EXPECT_EQ(ParameterTypeName(ptInteger), "Number without Decimals");
  EXPECT_EQ(ParameterTypeName(ptBoolean), "Boolean");
  EXPECT_EQ(ParameterTypeName(ptList), "List");
  EXPECT_EQ(ParameterTypeName(ptString), "String");
  EXPECT_EQ(ParameterTypeName(9), "Unknown");
}

TEST(DefinitionFile, EachFaultyLineHasItsOwnMessage) {
  const char* const kError = "Definition File Error|";
  const char* const kValueError = "Definition File Value Error|";
  const std::vector<std::pair<std::string, std::string>> table = {
      {"short;Short;I;0;10;5;hint;desc",
       std::string(kError) + "The definition line only contains 7 arguments. 8 is needed."},
      {"nothing at all", std::string(kError) + "The definition line only contains 0 arguments. 8 is needed."},
      {"x;X;i;0;1;0;h;d;", std::string(kError) + "Unknown definition type (3rd argument): 'i'"},
      {"x;X; I;0;1;0;h;d;", std::string(kError) + "Unknown definition type (3rd argument): ' I'"},
      {"same;Same;I;5;5;5;h;d;", std::string(kValueError) + "Incorrect min (5) and max (5) values in definition file."},
      {"down;Down;F;2.5;1;2;h;d;",
       std::string(kValueError) + "Incorrect min (2.5) and max (1) values in definition file."},
      {"big;Big;L;0;10;0;h;d;a;b;c;d;e;f;g;h;i;j;k;",
       std::string(kValueError) + "Incorrect number of list elements (11) in definition file."},
      {"one;One;L;0;0;0;h;d;a;", std::string(kValueError) + "Incorrect min (0) and max (0) values in definition file."},
      // Bounds and defaults that are no numbers of their kind drop the line
      // and reading goes on.
      {"odd;Odd;I;a;9;1;h;d;", std::string(kValueError) + "Incorrect min (a) and max (9) values in definition file."},
      {"half;Half;I;1.5;9;2;h;d;",
       std::string(kValueError) + "Incorrect min (1.5) and max (9) values in definition file."},
      {"hex;Hex;B;$0;1;0;h;d;", std::string(kValueError) + "Incorrect min ($0) and max (1) values in definition file."},
      {"bad;Bad;I;0;9;x;h;d;", std::string(kValueError) + "Incorrect default value (x) in definition file."},
      {"fbad;FBad;F;0;9;;h;d;", std::string(kValueError) + "Incorrect default value () in definition file."},
      {"lbad;LBad;L;0;1;1.0;h;d;a;b;", std::string(kValueError) + "Incorrect default value (1.0) in definition file."},
  };
  for (const auto& [line, expected] : table) EXPECT_EQ(MessageOf(line), expected) << line;

  // Accepted as they stand.
  for (const char* line : {"full;Full;I;0;10;5;hint;desc;", "after;After;I;0;10;5;h;d;ignored text",
                           "text;Text;S;;;;h;d;", "neg;Neg;F;-1;;-0.5;h;d;"})
    EXPECT_EQ(MessageOf(line), "<accepted>") << line;
}

TEST(DefinitionFile, ListsTakeTheirItemsAndNumberTheMissingOnes) {
  const Parsed p = Parse("short;Short;L;1;3;1;h;d;First;Second;\nblank;Blank; L ;1;2;1;h;d;\n"
                         "exact;Exact;L;-1;0;0;h;d; spaced ;;extra;");
  ASSERT_EQ(p.Defs.size(), 2u);
  EXPECT_EQ(p.Defs[0].Items, (std::vector<AnsiString>{"First", "Second", "Item 3"}));
  EXPECT_EQ(p.Defs[1].Items, (std::vector<AnsiString>{" spaced ", ""}));  // tokens are not trimmed
  EXPECT_EQ(p.Defs[1].ItemCount, 2);
  ASSERT_EQ(p.Messages.size(), 1u);
  EXPECT_EQ(p.Messages[0].Text, "Unknown definition type (3rd argument): ' L '");
}

TEST(DefinitionFile, GoodLinesAroundBadOnesAllStayAndTheTableGrows) {
  std::string text;
  for (int i = 0; i < 150; ++i) {
    text += "k" + std::to_string(i) + ";K;I;0;9;1;h;d;\n";
    if (i % 50 == 0) text += "broken;line\n";
  }
  const Parsed p = Parse(text);
  EXPECT_EQ(p.Defs.size(), 150u);
  EXPECT_EQ(p.Defs[149].Key, "k149");
  EXPECT_EQ(p.Messages.size(), 3u);
}

TEST(DefinitionFile, DecimalsUseTheirPointWhateverTheLocale) {
  for (const char* locale : {"en-US", "de-DE"}) {
    ScopedLocale fixture(locale);
    const Parsed p = Parse("mix;Mix;F;0.5;1.5;0.75;h;d;\n");
    EXPECT_TRUE(p.Messages.empty()) << locale;
    EXPECT_EQ(TextToFloat("1.5"), 1.5) << locale;
    EXPECT_EQ(TextToFloat(""), 0.0);
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(LocalizeDecimal("1.2.3"), "1,2.3");  // only the first point
  EXPECT_THROW(TextToFloat("1.2.3"), EConvertError);
  EXPECT_THROW(TextToInt("12a"), EConvertError);
}

TEST(DefinitionFile, AMissingFileIsReportedAndEndsTheReading) {
  TempDir tmp;
  CurrentDirGuard cd(tmp.Path());
  TDefinitionTable defs(1);
  std::vector<TUserMessage> messages;
  EXPECT_FALSE(LoadDefinitions(kDefinitionFileName, defs, messages));
  EXPECT_TRUE(defs.empty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0],
            (TUserMessage{"Can't open definition file\ntarvikwin.tdf\nThis file is required.", "File Open Error"}));

  tmp.MakeDir(kDefinitionFileName);  // a folder of that name cannot be read either
  messages.clear();
  EXPECT_FALSE(LoadDefinitions(kDefinitionFileName, defs, messages));

  std::filesystem::remove(tmp / kDefinitionFileName);
  tmp.Write(kDefinitionFileName, std::string(kSample) + "\nx;y\n");
  messages.clear();
  EXPECT_TRUE(LoadDefinitions(kDefinitionFileName, defs, messages));
  EXPECT_EQ(defs.size(), 6u);
  EXPECT_EQ(messages.size(), 1u);
}
