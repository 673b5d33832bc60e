// The parameter definition file "tarvikwin.tdf": one definition per line,
// each field terminated by ';':
//
//   key;caption;type;min;max;default;hint;description;[item;...]
//
// The type is exactly one of I (integer), F (decimal), B (Boolean), L (list)
// or S (text). Numbers use '.' as the decimal point whatever the locale; in
// the description the two characters backslash and "n" stand for a line
// break. A list has one item caption per value min .. max.
//
// Every faulty line gives one message and is left out; reading goes on with
// the next line, so one bad line never costs the others.
#pragma once

#include <vector>

#include "app/core/UserMessages.h"
#include "platform/rtl/Types.h"

namespace frontend {

constexpr const char* kDefinitionFileName = "tarvikwin.tdf";

// Codes of the type field, in the order of the letters I, F, B, L, S.
enum TParameterType : Byte { ptInteger = 0, ptFloat = 1, ptBoolean = 2, ptList = 3, ptString = 4 };

// One parameter definition. Min, Max and Default keep the file's text; the
// readers convert them where a number is needed.
struct TERRAIN_KEY_DEF {
  AnsiString Key;  // trimmed as terrain files' keys are, then compared exactly
  AnsiString Caption;
  Byte Type = ptString;
  AnsiString Min;
  AnsiString Max;
  AnsiString Default;
  AnsiString Hint;
  AnsiString Description;  // line breaks are CR LF
  Integer ItemCount = 0;   // lists only
  std::vector<AnsiString> Items;  // lists only: the caption of Min + j at j
};

using TDefinitionTable = std::vector<TERRAIN_KEY_DEF>;

// Raised inside the line parser when a line holds no further ';'.
enum TARVIK_EXCEPTIONS { teTokenMissing = 0 };

// Cuts the text before the first ';' off the line and answers it; the line
// keeps what follows that ';' and count grows by one. Without a ';' raises
// teTokenMissing and leaves both unchanged.
AnsiString NextToken(AnsiString& line, Integer& count);

// Replaces the first '.' by the locale's decimal separator.
AnsiString LocalizeDecimal(const AnsiString& text);
// An empty text is 0; otherwise the text with its '.' localized, read by
// the locale-aware conversion. Raises EConvertError for anything else.
Extended TextToFloat(const AnsiString& text);
Integer TextToInt(const AnsiString& text);  // raises EConvertError

// The value a decimal row holds for a file text: like TextToFloat, but an
// empty text is no number. False when the text is not one.
bool TryDecimalValue(const AnsiString& text, Extended& value);

// Checks one trimmed, non-empty line and appends its definition; a faulty
// line appends nothing and fills message instead.
bool ParseDefinitionLine(const AnsiString& line, TDefinitionTable& defs, TUserMessage& message);

// Reads the definition file into defs, one message per faulty line. False
// (with the one message that the file is required, and why it could not
// be read) when the file cannot be read at all.
bool LoadDefinitions(const AnsiString& fileName, TDefinitionTable& defs, std::vector<TUserMessage>& messages);
// The same over the file's bytes: lines end with LF, blanks and control
// characters at either end are trimmed, empty lines are skipped.
void ParseDefinitionText(std::string_view bytes, TDefinitionTable& defs, std::vector<TUserMessage>& messages);

// What the parameter details dialog shows of a definition.
struct TParameterDetails {
  AnsiString Caption;   // "Details for '<caption>'"
  AnsiString TypeName;  // "Number without Decimals", "Decimal Number", ...
  AnsiString Min, Max, Default;
  AnsiString Description;
};
AnsiString ParameterTypeName(Byte type);
TParameterDetails ParameterDetails(const TERRAIN_KEY_DEF& def);

}  // namespace frontend
