#include "app/core/TerrainFiles.h"

#include <cerrno>
#include <cstring>

#include "platform/rtl/Format.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/StrUtils.h"

namespace frontend {
namespace {

TUserMessage OpenFailure(const AnsiString& fileName, const AnsiString& reason) {
  return {Format("Can't open terrain file\n%s\n\n%s", {fileName, reason}), "File Open Error", umkError};
}

}  // namespace

void ParseKeyValue(std::string_view statement, TTerrainStatements& statements) {
  const std::size_t equals = statement.rfind('=');
  if (equals == std::string_view::npos) return;
  statements.push_back({Trim(statement.substr(0, equals)), Trim(statement.substr(equals + 1))});
}

TTerrainStatements ParseTerrainText(std::string_view bytes) {
  TTerrainStatements statements;
  auto handle = [&](std::size_t from, std::size_t to) {
    const std::string_view statement = bytes.substr(from, to - from);
    // Trimming first keeps a statement of blanks from counting.
    if (!Trim(statement).empty()) ParseKeyValue(Trim(statement), statements);
  };
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of(";\n", start);
    if (end == std::string_view::npos) {
      handle(start, bytes.size());
      break;
    }
    handle(start, end);
    if (bytes[end] == ';') {
      // The rest of the line is a comment.
      const std::size_t lineEnd = bytes.find('\n', end);
      if (lineEnd == std::string_view::npos) break;
      start = lineEnd + 1;
    } else {
      start = end + 1;
    }
  }
  return statements;
}

bool ReadTerrainFile(const AnsiString& fileName, TTerrainStatements& statements, TUserMessage& failure) {
  std::string bytes;
  bool missing = false;
  AnsiString reason;
  if (!orv::os::ReadWholeFile(fileName, bytes, missing, &reason)) {
    failure = OpenFailure(fileName, reason);
    return false;
  }
  statements = ParseTerrainText(bytes);
  return true;
}

TUserMessage MissingFileFailure(const AnsiString& fileName) { return OpenFailure(fileName, std::strerror(ENOENT)); }

std::string TerrainFileText(const TTerrainStatements& statements) {
  std::string text;
  for (const TTerrainStatement& s : statements) {
    text += s.Key;
    text += " = ";
    text += s.Value;
    text += ";\r\n";
  }
  return text;
}

TUserMessage WriteFailure(const AnsiString& fileName, const AnsiString& reason) {
  AnsiString text = Format("Could not write file:\n%s", {fileName});
  if (!reason.empty()) text += "\n\n" + reason;
  return {text, "File Write Error", umkError};
}

bool SaveTerrainFile(const AnsiString& fileName, std::string_view bytes, TUserMessage& failure) {
  AnsiString reason;
  if (orv::os::WriteFileAtomically(fileName, bytes, &reason)) return true;
  failure = WriteFailure(fileName, reason);
  return false;
}

}  // namespace frontend
