// The sample files a new user starts the program on must load cleanly and
// show every kind of row.
#include <set>

#include "app/core/TerrainFileTree.h"
#include "app/core/ValueRows.h"

using namespace frontend;

TEST(Examples, TheSampleFilesLoadCleanlyAndShowEveryKindOfRow) {
  const char* source = getenv("ORVANTA_SOURCE_DIR");
  ASSERT_TRUE(source);
  const AnsiString examples = AnsiString(source) + "/examples";

  TDefinitionTable defs;
  std::vector<TUserMessage> messages;
  ASSERT_TRUE(LoadDefinitions(examples + "/tarvikwin.tdf", defs, messages));
  EXPECT_TRUE(messages.empty());
  std::set<std::string> kinds;
  for (const TValueRowSetup& row : PlanValueRows(defs, {}, "").Rows) {
    std::string kind = std::to_string(row.Kind);
    if (row.Kind == vrkFloatSpin) kind += row.Increment == 0.1 ? " by 0.1" : " by 1.0";
    kinds.insert(kind);
  }
  EXPECT_EQ(kinds, (std::set<std::string>{std::to_string(vrkIntegerSpin), std::to_string(vrkFloatSpin) + " by 0.1",
                                          std::to_string(vrkFloatSpin) + " by 1.0", std::to_string(vrkCheckBox),
                                          std::to_string(vrkRadioGroup), std::to_string(vrkComboBox),
                                          std::to_string(vrkText)}));

  std::vector<std::string> files;
  bool unknownKeys = false;
  for (const TFileTreeRow& row : ScanTerrainTree(examples)) {
    if (!row.IsFile) continue;
    files.push_back(row.Path.substr(examples.size()));
    TTerrainStatements statements;
    TUserMessage failure;
    ASSERT_TRUE(ReadTerrainFile(row.Path, statements, failure));
    const TValueRowPlan plan = PlanValueRows(defs, statements, row.Path);
    EXPECT_FALSE(plan.InvalidValues) << row.Path;
    for (const TValueRowSetup& r : plan.Rows) unknownKeys = unknownKeys || r.Category == vcUnknown;
  }
  EXPECT_EQ(files, (std::vector<std::string>{"/lowlands.tt", "/maps/alpine.tt", "/maps/island chain.tt",
                                             "/maps/deep/desert.tt"}));
  EXPECT_TRUE(unknownKeys);
}
