// The definitions the file side's tests share: one of each kind of row.
#pragma once

#include "app/core/ParameterDefinitions.h"

namespace sample {

inline const char* const kDefinitions =
    "width;Map width;I;16;512;128;Width of the map in tiles;The width.;\n"
    "roughness;Roughness;F;0.0;1.0;0.5;Terrain roughness;How rough.;\n"
    "islands;Islands;B;0;1;0;Create islands;Islands.;\n"
    "climate;Climate;L;0;2;1;Climate zone;Climate.;Cold;Temperate;Hot;\n"
    "season;Season;L;1;6;2;Starting season;Season.;Early spring;Spring;Summer;Autumn;Winter;Deep winter;\n"
    "name;Map name;S;;;Untitled;Name of the map;Name.;\n";

// Definitions that must read without a message.
inline frontend::TDefinitionTable Definitions(const char* text = kDefinitions) {
  frontend::TDefinitionTable defs;
  std::vector<frontend::TUserMessage> messages;
  frontend::ParseDefinitionText(text, defs, messages);
  EXPECT_TRUE(messages.empty());
  return defs;
}

}  // namespace sample
