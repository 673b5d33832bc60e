#include "app/core/ValueRows.h"

#include "app/SampleDefinitions.h"
#include "platform/rtl/Locale.h"

using namespace frontend;

namespace {

// The rows as "category tag caption = value", texts quoted.
std::vector<std::string> Describe(const TValueRowPlan& plan) {
  static const char* const kCategory[] = {"ok", "unused", "unknown"};
  std::vector<std::string> out;
  for (const TValueRowSetup& row : plan.Rows) {
    const std::string value = row.Value.VType() == varString ? "'" + VarToStr(row.Value) + "'" : VarToStr(row.Value);
    out.push_back(std::string(kCategory[row.Category]) + " " + std::to_string(row.Tag) + " " + row.Caption + " = " +
                  value);
  }
  return out;
}

std::string Text(const TERRAIN_KEY_DEF* def, const Variant& value) {
  AnsiString text;
  return RowValueText(def, value, text) ? text : "<not a number>";
}

}  // namespace

TEST(ValueRows, AFileSortsIntoKnownUnsetAndUnknownValues) {
  ScopedLocale en("en-US");
  const TDefinitionTable defs = sample::Definitions();
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
  EXPECT_EQ(Describe(PlanValueRows(defs, DefaultStatements(defs), ""))[4], "ok 4 Season = 'Spring'");
}

TEST(ValueRows, EachKindIsSetUpForItsEditor) {
  const TDefinitionTable defs = sample::Definitions(
      "i;I;I;-5;32;3;h;d;\n"
      "f1;Fine;F;0;9;1.5;h;d;\n"
      "f2;Coarse;F;0;9.5;1.5;h;d;\n"
      "f3;Narrowed;F;0.1;9.1;1.5;h;d;\n"
      "b;B;B;2;7;7;h;d;\n"
      "radio;Radio;L;3;6;4;h;d;A;B;C;D;\n"
      "combo;Combo;L;1;5;1;h;d;One;Two;Three;Four;Five;\n"
      "s;S;S;;;x;h;d;\n");
  const std::vector<TValueRowSetup> rows = PlanValueRows(defs, ParseTerrainText("combo = 3;"), "f.tt").Rows;
  std::vector<std::pair<TValueRowKind, TRowValueType>> kinds;
  for (const auto& row : rows) kinds.push_back({row.Kind, row.ValueType});
  EXPECT_EQ(kinds, (std::vector<std::pair<TValueRowKind, TRowValueType>>{
                       {vrkIntegerSpin, rvtInteger}, {vrkFloatSpin, rvtFloat}, {vrkFloatSpin, rvtFloat},
                       {vrkFloatSpin, rvtFloat}, {vrkCheckBox, rvtInteger}, {vrkRadioGroup, rvtInteger},
                       {vrkComboBox, rvtString}, {vrkText, rvtString}}));
  EXPECT_EQ(rows[0].MinValue, -5);
  EXPECT_EQ(rows[0].MaxValue, 32);
  EXPECT_EQ(rows[0].Increment + rows[0].LargeIncrement, 11.0);
  // Decimal bounds are kept in single precision and the step follows them:
  // 0 .. 9 steps by 0.1, 0 .. 9.5 by 1, and so does 0.1 .. 9.1, which spans
  // a little more than 9 once narrowed.
  EXPECT_EQ(rows[1].Increment, 0.1);
  EXPECT_EQ(rows[1].LargeIncrement, 1.0);
  EXPECT_EQ(rows[2].Increment, 1.0);
  EXPECT_EQ(rows[3].MinValue, double(0.1f));
  EXPECT_EQ(rows[3].Increment, 1.0);
  EXPECT_EQ(rows[4].DisplayUnchecked + rows[4].DisplayChecked, "27");
  EXPECT_EQ(rows[4].ValueUnchecked * 10 + rows[4].ValueChecked, 27);
  EXPECT_EQ(rows[5].DefaultValue, 3);
  EXPECT_EQ(rows[5].FirstItemValue, 3);
  EXPECT_EQ(rows[5].Items.size(), 4u);
  EXPECT_EQ(VarToStr(rows[6].Value), "Three");  // value 3 from Min 1
  EXPECT_EQ(Text(&defs[6], rows[6].Value), "3");
}

TEST(ValueRows, ValuesThatDoNotFitShowTheirDefaultOrStayAsTheyAre) {
  ScopedLocale en("en-US");
  const TDefinitionTable defs = sample::Definitions();
  const TValueRowPlan plan = PlanValueRows(
      defs, ParseTerrainText("width = wide;\nroughness = ;\nislands = 0.5;\nclimate = 7;\nseason = 9;"), "/m/odd.tt");
  ASSERT_TRUE(plan.InvalidValues);
  EXPECT_EQ(*plan.InvalidValues,
            (TUserMessage{"These values of /m/odd.tt are not valid and show their defaults:\n"
                          "width = wide\nroughness = \nislands = 0.5",
                          "Terrain File Value Error"}));
  // A radio group keeps a number outside its items; a drop-down list shows
  // it as it stands. Both go back to the file unchanged.
  EXPECT_EQ(Describe(plan), (std::vector<std::string>{"ok 0 Map width = 128", "ok 1 Roughness = 0.5",
                                                      "ok 2 Islands = 0", "ok 3 Climate = 7", "ok 4 Season = '9'",
                                                      "unused 5 Map name = 'Untitled'"}));
  EXPECT_EQ(Text(&defs[3], plan.Rows[3].Value), "7");
  EXPECT_EQ(Text(&defs[4], plan.Rows[4].Value), "9");
}

// A drop-down row holds a caption, and a caption can stand for more than
// one number: a caption that repeats, or a number outside the items that
// reads like one. A row left as it was planned writes the number it was
// planned from, the file's or the default; a caption the user picked
// writes its first item's number.
TEST(ValueRows, ADropDownRowLeftAsPlannedWritesTheNumberItWasPlannedFrom) {
  const TDefinitionTable defs = sample::Definitions(
      "size;Size;L;0;4;2;h;d;64;128;256;512;1024;\n"
      "level;Level;L;1;6;1;h;d;Low;Mid;High;Mid;Top;Peak;\n"
      "unset;Unset;L;0;4;256;h;d;64;128;256;512;1024;\n");
  const TTerrainStatements file = ParseTerrainText("size = 128;\nlevel = 4;\nlevel = 5;");
  const TValueRowPlan plan = PlanValueRows(defs, file, "f.tt");
  EXPECT_EQ(Describe(plan),
            (std::vector<std::string>{"ok 0 Size = '128'", "ok 1 Level = 'Mid'", "unused 2 Unset = '256'"}));
  std::vector<TValueRowContent> rows;
  for (const TValueRowSetup& row : plan.Rows) rows.push_back({row.Category, row.Tag, row.Caption, row.Value});
  auto written = [&](const TTerrainStatements& shown) {
    TTerrainStatements out;
    TUserMessage failure;
    EXPECT_TRUE(TerrainStatementsOf(rows, defs, shown, "f.tt", out, failure));
    std::string text;
    for (const TTerrainStatement& s : out) text += s.Key + "=" + s.Value + " ";
    return text;
  };
  EXPECT_EQ(written(file), "size=128 level=4 unset=256 ");
  // Planned from the defaults, the first two show other captions: the
  // captions go back as the user would have picked them.
  EXPECT_EQ(written({}), "size=1 level=2 unset=256 ");
  rows[0].Value = "512";
  rows[1].Value = "Top";
  rows[2].Value = "256";
  EXPECT_EQ(written(file), "size=3 level=5 unset=256 ");
  rows[2].Value = "128";
  EXPECT_EQ(written(file), "size=3 level=5 unset=1 ");
}

TEST(ValueRows, FileTextsOfValuesAreTheSameInEveryLocale) {
  const TDefinitionTable defs = sample::Definitions("f;F;F;0;10;1;h;d;\nl;L;L;1;6;1;h;d;Low;Mid;High;Mid;Top;Peak;\n");
  for (const char* locale : {"en-US", "de-DE"}) {
    SCOPED_TRACE(locale);
    ScopedLocale fixture(locale);
    const std::vector<std::pair<Variant, std::string>> decimals = {
        {2.0, "2"},     {2.5, "2.5"},   {0.05, "0.05"}, {1.2346, "1.235"},       {0.0001, "0"},
        {1234567.0, "1234567"}, {-0.5, "-0.5"}, {Null(), "<not a number>"}, {"abc", "<not a number>"}};
    for (const auto& [value, text] : decimals) EXPECT_EQ(Text(&defs[0], value), text) << VarToStr(value);
    // A value read under this locale writes back as it was read.
    EXPECT_EQ(Text(&defs[0], PlanValueRows(defs, ParseTerrainText("f = 0.75;"), "").Rows[0].Value), "0.75");
    EXPECT_EQ(Text(&defs[1], "High"), "3");
    EXPECT_EQ(Text(&defs[1], "Mid"), "2");  // the first of two equal captions
    EXPECT_EQ(Text(&defs[1], "Nowhere"), "Nowhere");
    EXPECT_EQ(Text(nullptr, 12), "12");
  }
}
