#include "app/core/ValueRows.h"

#include "platform/rtl/Locale.h"

using namespace frontend;

namespace {

TDefinitionTable Definitions(const char* text) {
  TDefinitionTable defs;
  std::vector<TUserMessage> messages;
  ParseDefinitionText(text, defs, messages);
  EXPECT_TRUE(messages.empty()) << messages[0].Text;
  return defs;
}

const char* const kSample =
    "width;Map width;I;16;512;128;Width of the map in tiles;The width.;\n"
    "roughness;Roughness;F;0.0;1.0;0.5;Terrain roughness;How rough.;\n"
    "islands;Islands;B;0;1;0;Create islands;Islands.;\n"
    "climate;Climate;L;0;2;1;Climate zone;Climate.;Cold;Temperate;Hot;\n"
    "season;Season;L;1;6;2;Starting season;Season.;Early spring;Spring;Summer;Autumn;Winter;Deep winter;\n"
    "name;Map name;S;;;Untitled;Name of the map;Name.;\n";

// A row as "category tag caption = value", the value with its kind.
std::string Describe(const TValueRowSetup& row) {
  static const char* const kCategory[] = {"ok", "unused", "unknown"};
  std::string value = VarToStr(row.Value);
  if (row.Value.VType() == varString) value = "'" + value + "'";
  return std::string(kCategory[row.Category]) + " " + std::to_string(row.Tag) + " " + row.Caption + " = " + value;
}

std::vector<std::string> Describe(const TValueRowPlan& plan) {
  std::vector<std::string> out;
  for (const TValueRowSetup& row : plan.Rows) out.push_back(Describe(row));
  return out;
}

std::string Text(const TERRAIN_KEY_DEF* def, const Variant& value) {
  AnsiString text;
  return RowValueText(def, value, text) ? text : "<not a number>";
}

}  // namespace

TEST(ValueRows, AFileSortsIntoKnownUnsetAndUnknownValues) {
  ScopedLocale en("en-US");
  const TDefinitionTable defs = Definitions(kSample);
  const TValueRowPlan plan = PlanValueRows(
      defs, ParseTerrainText("width = 256;\nroughness = 0.75; c\nclimate = 0;\nseason = 3;\nseed = 12345;\na=b=c;\n"
                             "no equals\nwidth = 300;\nseed = 1;"),
      "maps/alpine.tt");
  EXPECT_EQ(Describe(plan), (std::vector<std::string>{
                                "ok 0 Map width = 256", "ok 1 Roughness = 0.75", "unused 2 Islands = 0",
                                "ok 3 Climate = 0", "ok 4 Season = 'Summer'", "unused 5 Map name = 'Untitled'",
                                "unknown 4 seed = '12345'", "unknown 5 a=b = 'c'", "unknown 7 seed = '1'"}));
  EXPECT_FALSE(plan.InvalidValues);
  EXPECT_EQ(plan.Rows[6].Hint, "Unknown Key");
  EXPECT_EQ(plan.Rows[0].Hint, "Width of the map in tiles");

  // The defaults as a file: every definition is then a known value.
  const TValueRowPlan defaults = PlanValueRows(defs, DefaultStatements(defs), "");
  EXPECT_EQ(Describe(defaults),
            (std::vector<std::string>{"ok 0 Map width = 128", "ok 1 Roughness = 0.5", "ok 2 Islands = 0",
                                      "ok 3 Climate = 1", "ok 4 Season = 'Spring'", "ok 5 Map name = 'Untitled'"}));
}

TEST(ValueRows, EachKindIsSetUpForItsEditor) {
  const TDefinitionTable defs = Definitions(
      "i;I;I;-5;32;3;h;d;\n"
      "f1;Fine;F;0;9;1.5;h;d;\n"
      "f2;Coarse;F;0;9.5;1.5;h;d;\n"
      "f3;Narrowed;F;0.1;9.1;1.5;h;d;\n"
      "b;B;B;2;7;7;h;d;\n"
      "radio;Radio;L;0;3;2;h;d;A;B;C;D;\n"
      "combo;Combo;L;1;5;1;h;d;One;Two;Three;Four;Five;\n"
      "s;S;S;;;x;h;d;\n");
  const TValueRowPlan plan = PlanValueRows(defs, ParseTerrainText("combo = 3;\nf1 = 2.25;"), "f.tt");
  ASSERT_EQ(plan.Rows.size(), 8u);
  const auto& i = plan.Rows[0];
  EXPECT_EQ(i.Kind, vrkIntegerSpin);
  EXPECT_EQ(i.ValueType, rvtInteger);
  EXPECT_EQ(i.MinValue, -5);
  EXPECT_EQ(i.MaxValue, 32);
  EXPECT_EQ(i.Increment, 1.0);
  EXPECT_EQ(i.LargeIncrement, 10.0);
  EXPECT_EQ(i.Value.VType(), varInteger);

  // Decimal bounds are kept in single precision, and the step follows them:
  // 0.1 .. 9.1 spans a little more than 9, so it steps by 1.
  EXPECT_EQ(plan.Rows[1].Kind, vrkFloatSpin);
  EXPECT_EQ(plan.Rows[1].ValueType, rvtFloat);
  EXPECT_EQ(plan.Rows[1].Increment, 0.1);
  EXPECT_EQ(plan.Rows[1].LargeIncrement, 1.0);
  EXPECT_EQ(plan.Rows[1].Value.VType(), varDouble);
  EXPECT_EQ(plan.Rows[1].Value.AsDouble(), 2.25);
  EXPECT_EQ(plan.Rows[2].Increment, 1.0);
  EXPECT_EQ(plan.Rows[2].LargeIncrement, 10.0);
  EXPECT_EQ(plan.Rows[3].MinValue, double(0.1f));
  EXPECT_NE(plan.Rows[3].MinValue, 0.1);
  EXPECT_EQ(plan.Rows[3].Increment, 1.0);

  const auto& b = plan.Rows[4];
  EXPECT_EQ(b.Kind, vrkCheckBox);
  EXPECT_EQ(b.ValueType, rvtInteger);
  EXPECT_EQ(b.DisplayUnchecked + "/" + b.DisplayChecked, "2/7");
  EXPECT_EQ(b.ValueUnchecked, 2);
  EXPECT_EQ(b.ValueChecked, 7);
  EXPECT_EQ(VarToStr(b.Value), "7");

  const auto& radio = plan.Rows[5];
  EXPECT_EQ(radio.Kind, vrkRadioGroup);  // four items
  EXPECT_EQ(radio.ValueType, rvtInteger);
  EXPECT_EQ(radio.DefaultValue, 0);
  EXPECT_EQ(radio.FirstItemValue, 0);
  EXPECT_EQ(radio.Items, (std::vector<AnsiString>{"A", "B", "C", "D"}));
  EXPECT_EQ(VarToStr(radio.Value), "2");

  const auto& combo = plan.Rows[6];
  EXPECT_EQ(combo.Kind, vrkComboBox);  // five items
  EXPECT_EQ(combo.ValueType, rvtString);
  EXPECT_EQ(combo.Items.size(), 5u);
  EXPECT_EQ(VarToStr(combo.Value), "Three");  // value 3 from Min 1
  EXPECT_EQ(Text(&defs[6], combo.Value), "3");

  EXPECT_EQ(plan.Rows[7].Kind, vrkText);
  EXPECT_EQ(plan.Rows[7].ValueType, rvtString);
}

TEST(ValueRows, ValuesThatDoNotFitShowTheirDefaultOrStayAsTheyAre) {
  ScopedLocale en("en-US");
  const TDefinitionTable defs = Definitions(kSample);
  const TTerrainStatements statements =
      ParseTerrainText("width = wide;\nroughness = ;\nislands = 0.5;\nclimate = 7;\nseason = 9;\nname = ok;");
  const TValueRowPlan plan = PlanValueRows(defs, statements, "/maps/odd.tt");
  ASSERT_TRUE(plan.InvalidValues);
  EXPECT_EQ(*plan.InvalidValues,
            (TUserMessage{"These values of /maps/odd.tt are not valid and show their defaults:\n"
                          "width = wide\nroughness = \nislands = 0.5",
                          "Terrain File Value Error"}));
  // A radio group keeps a number outside its items; a drop-down list shows
  // the number as it stands.
  EXPECT_EQ(Describe(plan), (std::vector<std::string>{"ok 0 Map width = 128", "ok 1 Roughness = 0.5",
                                                      "ok 2 Islands = 0", "ok 3 Climate = 7", "ok 4 Season = '9'",
                                                      "ok 5 Map name = 'ok'"}));
  // Both go back to the file unchanged.
  TTerrainStatements written;
  TUserMessage failure;
  std::vector<TValueRowContent> rows;
  for (const auto& row : plan.Rows) rows.push_back({row.Category, row.Tag, row.Caption, row.Value});
  ASSERT_TRUE(TerrainStatementsOf(rows, defs, "x.tt", written, failure));
  EXPECT_EQ(written[3], (TTerrainStatement{"climate", "7"}));
  EXPECT_EQ(written[4], (TTerrainStatement{"season", "9"}));
}

TEST(ValueRows, FileTextsOfValuesAreTheSameInEveryLocale) {
  const TDefinitionTable defs = Definitions(
      "f;F;F;0;10;1;h;d;\n"
      "l;L;L;1;6;1;h;d;Low;Mid;High;Mid;Top;Peak;\n"
      "i;I;I;0;10;1;h;d;\n");
  for (const char* locale : {"en-US", "de-DE"}) {
    SCOPED_TRACE(locale);
    ScopedLocale fixture(locale);
    EXPECT_EQ(Text(&defs[0], 2.0), "2");
    EXPECT_EQ(Text(&defs[0], 2.5), "2.5");
    EXPECT_EQ(Text(&defs[0], 0.05), "0.05");
    EXPECT_EQ(Text(&defs[0], 1.2346), "1.235");
    EXPECT_EQ(Text(&defs[0], 0.0001), "0");
    EXPECT_EQ(Text(&defs[0], 1234567.0), "1234567");
    EXPECT_EQ(Text(&defs[0], -0.5), "-0.5");
    EXPECT_EQ(Text(&defs[0], Null()), "<not a number>");
    EXPECT_EQ(Text(&defs[0], "abc"), "<not a number>");
    // A value read under this locale writes back as it was read.
    const TValueRowPlan plan = PlanValueRows(defs, ParseTerrainText("f = 0.75;"), "f.tt");
    EXPECT_EQ(Text(&defs[0], plan.Rows[0].Value), "0.75");

    EXPECT_EQ(Text(&defs[1], "High"), "3");
    EXPECT_EQ(Text(&defs[1], "Mid"), "2");  // the first of two equal captions
    EXPECT_EQ(Text(&defs[1], "Nowhere"), "Nowhere");
    EXPECT_EQ(Text(&defs[2], 7), "7");
    EXPECT_EQ(Text(nullptr, "as it is"), "as it is");
  }
}
