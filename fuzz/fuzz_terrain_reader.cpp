// Feeds arbitrary bytes to the terrain reader and sorts them into the value
// rows of a fixed set of definitions: never a crash, and whatever a save
// accepts to write reads back as exactly the statements it wrote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/core/ValueRows.h"

using namespace frontend;

namespace {

const TDefinitionTable& Definitions() {
  static const TDefinitionTable defs = [] {
    TDefinitionTable d;
    std::vector<TUserMessage> messages;
    ParseDefinitionText(
        "width;Map width;I;16;512;128;h;d;\n"
        "roughness;Roughness;F;0.0;1.0;0.5;h;d;\n"
        "level;Level;F;-100;100;0;h;d;\n"
        "islands;Islands;B;0;1;0;h;d;\n"
        "climate;Climate;L;0;2;1;h;d;Cold;Temperate;Hot;\n"
        "season;Season;L;1;6;2;h;d;Early spring;Spring;Summer;Autumn;Winter;Deep winter;\n"
        "name;Map name;S;;;Untitled;h;d;\n",
        d, messages);
    return d;
  }();
  return defs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TTerrainStatements statements = ParseTerrainText(bytes);
  for (const TTerrainStatement& s : statements)
    if ((s.Key + s.Value).find_first_of(";\n") != AnsiString::npos) std::abort();

  const TValueRowPlan plan = PlanValueRows(Definitions(), statements, "f.tt");
  std::vector<TValueRowContent> rows;
  for (const TValueRowSetup& row : plan.Rows) rows.push_back({row.Category, row.Tag, row.Caption, row.Value});
  TTerrainStatements written;
  TUserMessage failure;
  if (TerrainStatementsOf(rows, Definitions(), statements, "f.tt", written, failure) &&
      ParseTerrainText(TerrainFileText(written)) != written)
    std::abort();
  return 0;
}
