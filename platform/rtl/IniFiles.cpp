#include "platform/rtl/IniFiles.h"

#include <algorithm>

#include "platform/rtl/Collation.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(EIniFileException)
ORV_REGISTER(TCustomIniFile)
ORV_REGISTER(TMemIniFile)

namespace orv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

void IniDocument::Clear() {
  FHeader.clear();
  FSections.clear();
  FIndex.clear();
}

void IniDocument::Reindex() {
  FIndex.clear();
  for (std::size_t i = 0; i < FSections.size(); ++i) FIndex.emplace(AnsiUpperCase(FSections[i].Name), i);
}

void IniDocument::Parse(std::string_view text) {
  Clear();
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n' && (pos == end || text[end] == '\r')) ++pos;

    const std::string_view line = TrimLeft(raw);
    const std::string_view trimmed = TrimRight(line);
    if (trimmed.empty()) continue;
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      current = &FindOrAdd(trimmed.substr(1, trimmed.size() - 2));
      continue;
    }
    const auto eq = line.find('=');
    if (!current) {
      FHeader.emplace_back(line);
    } else if (line.front() == ';' || eq == std::string_view::npos) {
      current->Lines.push_back({AnsiString(line), AnsiString(), false});
    } else {
      // "Width = 640" names the key Width; the value keeps its blanks.
      AddKey(*current, {AnsiString(TrimRight(line.substr(0, eq))), AnsiString(line.substr(eq + 1)), true});
    }
  }
}

AnsiString IniDocument::Text() const {
  AnsiString out;
  for (const AnsiString& h : FHeader) out += h + "\r\n";
  for (const Section& s : FSections) {
    out += "[" + s.Name + "]\r\n";
    for (const Line& l : s.Lines) {
      out += l.Key;
      if (l.IsKey) out += "=" + l.Value;
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

IniDocument::Section* IniDocument::Find(std::string_view name) {
  auto it = FIndex.find(AnsiUpperCase(name));
  return it == FIndex.end() ? nullptr : &FSections[it->second];
}

const IniDocument::Section* IniDocument::Find(std::string_view name) const {
  return const_cast<IniDocument*>(this)->Find(name);
}

IniDocument::Section& IniDocument::FindOrAdd(std::string_view name) {
  auto [it, added] = FIndex.emplace(AnsiUpperCase(name), FSections.size());
  if (added) FSections.push_back({AnsiString(name), {}, {}});
  return FSections[it->second];
}

bool IniDocument::Erase(std::string_view name) {
  auto it = FIndex.find(AnsiUpperCase(name));
  if (it == FIndex.end()) return false;
  FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(it->second));
  Reindex();
  return true;
}

IniDocument::Line* IniDocument::FindKey(Section& section, std::string_view key) {
  auto it = section.Keys.find(AnsiUpperCase(key));
  return it == section.Keys.end() ? nullptr : &section.Lines[it->second];
}

void IniDocument::AddKey(Section& section, Line line) {
  section.Keys.try_emplace(AnsiUpperCase(line.Key), section.Lines.size());
  section.Lines.push_back(std::move(line));
}

bool IniDocument::EraseKey(Section& section, std::string_view key) {
  auto it = section.Keys.find(AnsiUpperCase(key));
  if (it == section.Keys.end()) return false;
  section.Lines.erase(section.Lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  // The lines after it moved up, and a later key of the name may now come
  // first.
  section.Keys.clear();
  for (std::size_t i = 0; i < section.Lines.size(); ++i)
    if (section.Lines[i].IsKey) section.Keys.try_emplace(AnsiUpperCase(section.Lines[i].Key), i);
  return true;
}

}  // namespace orv

// ---------------------------------------------------------------------------

namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool ParseInteger(std::string_view s, Integer& out) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  Int64 value = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    value = value * base + digit;
    if (value > 0xFFFFFFFFLL) return false;
  }
  if (base == 16 && !negative) {
    out = static_cast<Integer>(static_cast<std::uint32_t>(value));  // $FFFFFFFF is -1
    return true;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return false;
  out = static_cast<Integer>(value);
  return true;
}

}  // namespace

Integer TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default) {
  Integer value;
  return ParseInteger(ReadString(Section, Ident, AnsiString()), value) ? value : Default;
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

TMemIniFile::TMemIniFile(const AnsiString& FileName) : TCustomIniFile(FileName) {
  if (FileName.empty()) return;
  std::string bytes;
  bool missing = false;
  AnsiString reason;
  if (!orv::os::ReadWholeFile(FileName, bytes, missing, &reason)) {
    if (missing) return;
    throw EFOpenError("Cannot open file \"%s\". %s", {FileName, reason});
  }
  FDocument.Parse(bytes);
}

AnsiString TMemIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
  auto* s = FDocument.Find(Section);
  auto* line = s ? orv::IniDocument::FindKey(*s, Ident) : nullptr;
  return line ? line->Value : Default;
}

void TMemIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  // Anything that would read back as something else is refused here rather
  // than found missing or altered after the next load.
  if (HasLineBreak(Section)) throw EIniFileException("Invalid section name: %s", {Section});
  if (HasLineBreak(Ident) || Ident.find('=') != AnsiString::npos ||
      (!Ident.empty() && (Ident[0] == ' ' || Ident[0] == '\t' || Ident[0] == ';' || Ident[0] == '[' ||
                          Ident.back() == ' ' || Ident.back() == '\t')))
    throw EIniFileException("Invalid key name: %s", {Ident});
  if (HasLineBreak(Value)) throw EIniFileException("Invalid value for %s: line breaks cannot be stored", {Ident});
  auto& s = FDocument.FindOrAdd(Section);
  if (auto* line = orv::IniDocument::FindKey(s, Ident))
    line->Value = Value;
  else
    orv::IniDocument::AddKey(s, {Ident, Value, true});
}

void TMemIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
  auto update = orv::UpdateScope(Strings);
  Strings->Clear();
  if (const auto* s = FDocument.Find(Section))
    for (const auto& line : s->Lines)
      if (line.IsKey) Strings->Add(line.Key);
}

void TMemIniFile::ReadSections(TStrings* Strings) {
  auto update = orv::UpdateScope(Strings);
  Strings->Clear();
  for (const auto& s : FDocument.Sections()) Strings->Add(s.Name);
}

void TMemIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
  auto update = orv::UpdateScope(Strings);
  Strings->Clear();
  if (const auto* s = FDocument.Find(Section))
    for (const auto& line : s->Lines)
      if (line.IsKey) Strings->Add(line.Key + "=" + line.Value);
}

void TMemIniFile::EraseSection(const AnsiString& Section) { FDocument.Erase(Section); }

void TMemIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  if (auto* s = FDocument.Find(Section)) orv::IniDocument::EraseKey(*s, Ident);
}

void TMemIniFile::UpdateFile() {
  SaveFileContent(GetFileName(), FDocument.Text());
}

bool TMemIniFile::SectionExists(const AnsiString& Section) { return FDocument.Find(Section) != nullptr; }

bool TMemIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
  auto* s = FDocument.Find(Section);
  return s && orv::IniDocument::FindKey(*s, Ident);
}

void TMemIniFile::Clear() { FDocument.Clear(); }

void TMemIniFile::GetStrings(TStrings* List) {
  auto update = orv::UpdateScope(List);
  List->Clear();
  const AnsiString text = FDocument.Text();
  // One string per line; the text ends with a line end, which adds no line.
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    List->Add(text.substr(pos, end - pos));
    pos = end + 2;
  }
}

void TMemIniFile::SetStrings(TStrings* List) {
  AnsiString text;
  for (Integer i = 0; i < List->GetCount(); ++i) text += List->Get(i) + "\n";
  FDocument.Parse(text);
}
