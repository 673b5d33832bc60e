#include "app/core/ParameterDefinitions.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/StrUtils.h"

namespace frontend {

namespace {

constexpr const char* kDefinitionError = "Definition File Error";
constexpr const char* kDefinitionValueError = "Definition File Value Error";

// The integer and the number a bound stands for, when it is both.
bool IntegerBound(const AnsiString& text, Extended& asNumber) {
  Integer i;
  if (!TryStrToInt(text, i)) return false;
  try {
    asNumber = TextToFloat(text);
  } catch (const EConvertError&) {
    return false;  // "$1F" is an integer, but no number to compare
  }
  return true;
}

bool DecimalBound(const AnsiString& text, Extended& asNumber) {
  try {
    asNumber = TextToFloat(text);
  } catch (const EConvertError&) {
    return false;
  }
  return true;
}

// Backslash-n pairs become CR LF, left to right. The inserted CR LF never
// forms a new pair with what precedes it, so one pass finds them all.
AnsiString ExpandLineBreaks(const AnsiString& text) {
  AnsiString out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool TypeCode(const AnsiString& token, Byte& type) {
  static const char* const kLetters[] = {"I", "F", "B", "L", "S"};
  for (Byte t = 0; t < 5; ++t)
    if (token == kLetters[t]) {
      type = t;
      return true;
    }
  return false;
}

}  // namespace

AnsiString NextToken(AnsiString& line, Integer& count) {
  const std::size_t semicolon = line.find(';');
  if (semicolon == AnsiString::npos) throw teTokenMissing;
  AnsiString token = line.substr(0, semicolon);
  line.erase(0, semicolon + 1);
  ++count;
  return token;
}

AnsiString LocalizeDecimal(const AnsiString& text) {
  // The query leaves the buffer alone when it fails, so '.' stays.
  char separator[10] = ".";
  win::GetLocaleInfoA(win::LOCALE_USER_DEFAULT, win::LOCALE_SDECIMAL, separator, sizeof separator);
  AnsiString out = text;
  const std::size_t dot = out.find('.');
  if (dot != AnsiString::npos) out.replace(dot, 1, separator);
  return out;
}

Extended TextToFloat(const AnsiString& text) {
  if (text.empty()) return 0;
  return StrToFloat(LocalizeDecimal(text));
}

Integer TextToInt(const AnsiString& text) { return StrToInt(text); }

bool TryDecimalValue(const AnsiString& text, Extended& value) {
  return !text.empty() && TryStrToFloat(LocalizeDecimal(text), value);
}

bool ParseDefinitionLine(const AnsiString& lineText, TDefinitionTable& defs, TUserMessage& message) {
  auto fail = [&](const char* caption, const AnsiString& text) {
    message = {text, caption, umkError};
    return false;
  };
  AnsiString line = lineText;
  Integer count = 0;
  TERRAIN_KEY_DEF def;
  AnsiString typeToken;
  try {
    // A terrain file's keys are read trimmed: a key with blanks around it
    // would match none of them, so each save would write it again ahead of
    // the file's own value.
    def.Key = Trim(NextToken(line, count));
    def.Caption = NextToken(line, count);
    typeToken = NextToken(line, count);
    def.Min = NextToken(line, count);
    def.Max = NextToken(line, count);
    def.Default = NextToken(line, count);
    def.Hint = NextToken(line, count);
    def.Description = NextToken(line, count);
  } catch (TARVIK_EXCEPTIONS) {
    return fail(kDefinitionError, Format("The definition line only contains %d arguments. 8 is needed.", {count}));
  }
  def.Description = ExpandLineBreaks(def.Description);
  if (!TypeCode(typeToken, def.Type))
    return fail(kDefinitionError, Format("Unknown definition type (3rd argument): '%s'", {typeToken}));
  if (def.Type == ptString) {
    defs.push_back(std::move(def));
    return true;
  }

  // Bounds that are no numbers of their kind are reported like bounds in
  // the wrong order: the line cannot describe a row either way.
  const bool integral = def.Type != ptFloat;
  Extended min = 0, max = 0;
  const bool boundsRead = integral ? IntegerBound(def.Min, min) && IntegerBound(def.Max, max)
                                   : DecimalBound(def.Min, min) && DecimalBound(def.Max, max);
  if (!boundsRead || !(min < max))
    return fail(kDefinitionValueError,
                Format("Incorrect min (%s) and max (%s) values in definition file.", {def.Min, def.Max}));

  if (def.Type == ptList) {
    const Int64 n = Int64(TextToInt(def.Max)) - TextToInt(def.Min) + 1;
    if (n < 2 || n > 10)
      return fail(kDefinitionValueError, Format("Incorrect number of list elements (%d) in definition file.", {n}));
    for (Int64 j = 0; j < n; ++j) def.Items.push_back(Format("Item %d", {j + 1}));
    try {
      for (auto& item : def.Items) item = NextToken(line, count);
    } catch (TARVIK_EXCEPTIONS) {
      // Items without a token keep their numbered captions.
    }
    def.ItemCount = static_cast<Integer>(n);
  }

  // The row shows the default whenever a file does not set the key, so it
  // has to be a value the row can hold.
  Integer asInteger;
  Extended asNumber;
  if (integral ? !TryStrToInt(def.Default, asInteger) : !TryDecimalValue(def.Default, asNumber))
    return fail(kDefinitionValueError, Format("Incorrect default value (%s) in definition file.", {def.Default}));

  defs.push_back(std::move(def));
  return true;
}

void ParseDefinitionText(std::string_view bytes, TDefinitionTable& defs, std::vector<TUserMessage>& messages) {
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const AnsiString line = Trim(bytes.substr(start, end - start));
    TUserMessage message;
    if (!line.empty() && !ParseDefinitionLine(line, defs, message)) messages.push_back(std::move(message));
    start = end + 1;
  }
}

bool LoadDefinitions(const AnsiString& fileName, TDefinitionTable& defs, std::vector<TUserMessage>& messages) {
  defs.clear();
  std::string bytes;
  bool missing = false;
  AnsiString reason;
  if (!orv::os::ReadWholeFile(fileName, bytes, missing, &reason)) {
    messages.push_back({Format("Can't open definition file\n%s\nThis file is required.\n\n%s", {fileName, reason}),
                        "File Open Error", umkError});
    return false;
  }
  ParseDefinitionText(bytes, defs, messages);
  return true;
}

AnsiString ParameterTypeName(Byte type) {
  switch (type) {
    case ptInteger: return "Number without Decimals";
    case ptFloat: return "Decimal Number";
    case ptBoolean: return "Boolean";
    case ptList: return "List";
    case ptString: return "String";
    default: return "Unknown";
  }
}

TParameterDetails ParameterDetails(const TERRAIN_KEY_DEF& def) {
  return {Format("Details for '%s'", {def.Caption}), ParameterTypeName(def.Type), def.Min, def.Max, def.Default,
          def.Description};
}

}  // namespace frontend
