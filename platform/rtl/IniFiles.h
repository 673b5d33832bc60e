// INI files: named sections of "key=value" lines.
//
// TMemIniFile holds the whole file in memory and writes it back only on
// UpdateFile. Sections and keys compare without regard to letter case and
// keep the order in which they were found or added; values are kept exactly
// as written, quotes included (the property storage tells strings from
// numbers by them). A line "=" is a key with an empty name. Comments and
// other lines without '=' inside a section are kept as they are.
#pragma once

#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Types.h"

class TStrings;

// A section, key or value that could not be read back from the file as it
// was written (a line break in it, an '=' in a key).
ORV_EXCEPTION(EIniFileException, Exception)

namespace orv {

// The text of an INI file, parsed: lines before the first section, then the
// sections with their lines. Sections of the same name are merged.
class IniDocument {
 public:
  struct Line {
    AnsiString Key;  // the whole line when IsKey is false
    AnsiString Value;
    bool IsKey = true;
  };
  struct Section {
    AnsiString Name;
    std::vector<Line> Lines;
    // Position in Lines of the first key of each upper-cased name, so that
    // a section of many keys is read and written in linear time. Lines
    // change only through AddKey and EraseKey, which keep it.
    std::unordered_map<AnsiString, std::size_t> Keys;
  };

  // Lines end at CR LF, LF or CR; blank lines are dropped.
  void Parse(std::string_view text);
  // Every section followed by an empty line; lines end with CR LF.
  AnsiString Text() const;
  void Clear();

  Section* Find(std::string_view name);
  const Section* Find(std::string_view name) const;
  Section& FindOrAdd(std::string_view name);
  bool Erase(std::string_view name);
  static Line* FindKey(Section& section, std::string_view key);
  static void AddKey(Section& section, Line line);
  // Removes the first key of that name; false when there is none.
  static bool EraseKey(Section& section, std::string_view key);

  const std::vector<Section>& Sections() const { return FSections; }

 private:
  void Reindex();

  std::vector<AnsiString> FHeader;
  std::vector<Section> FSections;
  // Position in FSections by upper-cased name, so a file of many sections
  // parses in linear time.
  std::unordered_map<AnsiString, std::size_t> FIndex;
};

}  // namespace orv

class TCustomIniFile : public TObject {
  ORV_CLASS(TCustomIniFile, TObject)
 public:
  explicit TCustomIniFile(const AnsiString& FileName) : FFileName(FileName) {}
  const AnsiString& GetFileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
  virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
  // Decimal, or hexadecimal after "$" or "0x"; anything else (or a number
  // outside 32 bits) gives the default.
  virtual Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default);
  virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value);
  // An integer other than 0 is true.
  virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
  virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

  // The key names of a section, the names of every section, and a
  // section's "key=value" lines; each replaces the list's content.
  virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const AnsiString& Section) = 0;
  virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
  virtual void UpdateFile() = 0;

  // A section is there when the file names it, even without keys.
  virtual bool SectionExists(const AnsiString& Section) = 0;
  virtual bool ValueExists(const AnsiString& Section, const AnsiString& Ident) = 0;

 private:
  AnsiString FFileName;
};

class TMemIniFile : public TCustomIniFile {
  ORV_CLASS(TMemIniFile, TCustomIniFile)
 public:
  // Reads the file when it exists (a missing file is an empty one); a file
  // that exists and cannot be read raises EFOpenError.
  explicit TMemIniFile(const AnsiString& FileName);

  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
  // Raises EIniFileException for a text that would not read back.
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
  void ReadSection(const AnsiString& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) override;
  void EraseSection(const AnsiString& Section) override;
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
  // Writes the whole content with CR LF line ends; the file is replaced
  // only once the new content is complete. Raises EFCreateError.
  void UpdateFile() override;
  bool SectionExists(const AnsiString& Section) override;
  bool ValueExists(const AnsiString& Section, const AnsiString& Ident) override;

  void Clear();
  // The content as the lines of the file, and back.
  void GetStrings(TStrings* List);
  void SetStrings(TStrings* List);

 private:
  orv::IniDocument FDocument;
};
