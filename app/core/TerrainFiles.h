// Terrain files (*.tt): the generator's input, a list of statements
//
//   key = value;   anything after the semicolon is ignored
//
// Reading: a ';' ends a statement and the rest of its line is skipped; a
// line without ';' is a statement up to its end. The LAST '=' splits key
// and value, both trimmed; statements without '=' and empty ones are
// ignored. Writing: one "key = value;" line per statement, ended by CR LF.
#pragma once

#include <string_view>
#include <vector>

#include "app/core/UserMessages.h"
#include "platform/rtl/Types.h"

namespace frontend {

// The temporary terrain file of a run on the current values.
constexpr const char* kTemporaryTerrainFile = "terrain_temp_.txt";

struct TTerrainStatement {
  AnsiString Key;
  AnsiString Value;
  bool operator==(const TTerrainStatement&) const = default;
};
using TTerrainStatements = std::vector<TTerrainStatement>;

// Appends the pair of one trimmed statement; without '=' nothing happens.
void ParseKeyValue(std::string_view statement, TTerrainStatements& statements);
// The statements of a file's bytes, in file order.
TTerrainStatements ParseTerrainText(std::string_view bytes);
// Reads a terrain file; false with the message to show when it cannot be
// read, its reason after a blank line (the statements are then left as
// they were). Only a regular file of at most 64 MB is read.
bool ReadTerrainFile(const AnsiString& fileName, TTerrainStatements& statements, TUserMessage& failure);
// What ReadTerrainFile says of a file that is not there.
TUserMessage MissingFileFailure(const AnsiString& fileName);

// The bytes of a terrain file holding the statements in their order.
std::string TerrainFileText(const TTerrainStatements& statements);
// Puts the bytes on disk so that a failed write leaves the old file as it
// was (os::WriteFileAtomically: the file a symbolic link points to is the
// one replaced, with its permission bits). False with the message to show,
// naming the reason, on any failure.
bool SaveTerrainFile(const AnsiString& fileName, std::string_view bytes, TUserMessage& failure);

// The message of a file that cannot be written, with an optional reason
// after a blank line.
TUserMessage WriteFailure(const AnsiString& fileName, const AnsiString& reason = {});

}  // namespace frontend
