#include "platform/rtl/ObjectText.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Resources.h"

namespace {

// ---------------------------------------------------------------------------
// Text to binary

enum TokenKind { tokEof, tokIdent, tokInteger, tokFloat, tokString, tokBinary, tokSymbol };

struct Token {
  TokenKind Kind = tokEof;
  AnsiString Text;   // identifier, number text, or the symbol
  int Line = 1;
  int Column = 1;
  // Strings: the 8-bit form, and the wide form when a code above 127 asks
  // for it.
  AnsiString Str;
  WideString WStr;
  bool Wide = false;
  std::vector<Byte> Bytes;  // binary data
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class TextParser {
 public:
  TextParser(std::string_view text, TWriter& writer) : FText(text), FWriter(writer) { Next(); }

  void ParseRoot() {
    FWriter.WriteSignature();
    ParseObject(0);
    if (FTok.Kind != tokEof) Error("End of file expected");
  }

 private:
  [[noreturn]] void Error(const AnsiString& what) { ErrorAt(what, FTok.Line, FTok.Column); }
  [[noreturn]] void ErrorAt(const AnsiString& what, int line, int column) {
    throw EParserError("%s at line %d, column %d", {what, line, column});
  }

  char Peek(std::size_t ahead = 0) const { return FPos + ahead < FText.size() ? FText[FPos + ahead] : '\0'; }
  bool AtEnd(std::size_t ahead = 0) const { return FPos + ahead >= FText.size(); }
  void Advance() {
    if (FText[FPos] == '\n') {
      ++FLine;
      FColumn = 1;
    } else {
      ++FColumn;
    }
    ++FPos;
  }

  void Next() {
    while (!AtEnd() && static_cast<unsigned char>(Peek()) <= ' ') Advance();
    FTok = Token();
    FTok.Line = FLine;
    FTok.Column = FColumn;
    if (AtEnd()) return;
    char c = Peek();
    if (IsIdentStart(c)) {
      std::size_t start = FPos;
      for (;;) {
        while (!AtEnd() && IsIdentChar(Peek())) Advance();
        if (Peek() == '.' && IsIdentStart(Peek(1))) {
          Advance();
          continue;
        }
        break;
      }
      FTok.Kind = tokIdent;
      FTok.Text.assign(FText.substr(start, FPos - start));
      return;
    }
    if (IsDigit(c) || c == '$' || (c == '-' && (IsDigit(Peek(1)) || Peek(1) == '$'))) return ScanNumber();
    if (c == '\'' || c == '#') return ScanString();
    if (c == '{') return ScanBinary();
    if (std::strchr("=:[](),<>+", c)) {
      FTok.Kind = tokSymbol;
      FTok.Text.assign(1, c);
      Advance();
      return;
    }
    Error(Format("Invalid character #%d", {static_cast<int>(static_cast<unsigned char>(c))}));
  }

  void ScanNumber() {
    std::size_t start = FPos;
    if (Peek() == '-') Advance();
    if (Peek() == '$') {
      Advance();
      if (HexValue(Peek()) < 0) Error("Invalid hexadecimal number");
      while (!AtEnd() && HexValue(Peek()) >= 0) Advance();
      FTok.Kind = tokInteger;
    } else {
      while (!AtEnd() && IsDigit(Peek())) Advance();
      FTok.Kind = tokInteger;
      if (Peek() == '.' && IsDigit(Peek(1))) {
        FTok.Kind = tokFloat;
        Advance();
        while (!AtEnd() && IsDigit(Peek())) Advance();
      }
      if ((Peek() == 'e' || Peek() == 'E') &&
          (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
        FTok.Kind = tokFloat;
        Advance();
        if (Peek() == '+' || Peek() == '-') Advance();
        while (!AtEnd() && IsDigit(Peek())) Advance();
      }
      char s = Peek();
      if ((s == 's' || s == 'S' || s == 'c' || s == 'C' || s == 'd' || s == 'D') && !IsIdentChar(Peek(1))) {
        FTok.Kind = tokFloat;
        Advance();
      }
    }
    if (!AtEnd() && IsIdentChar(Peek())) Error("Invalid number");
    FTok.Text.assign(FText.substr(start, FPos - start));
  }

  void ScanString() {
    FTok.Kind = tokString;
    std::vector<char32_t> units;  // a code above 255 marks a wide string
    AnsiString bytes;
    auto literal = [&](char b) {
      bytes += b;
      units.push_back(orv::cp1252::ToUnicode[static_cast<unsigned char>(b)]);
    };
    for (;;) {
      if (Peek() == '\'') {
        Advance();
        for (;;) {
          if (AtEnd() || Peek() == '\r' || Peek() == '\n') Error("Unterminated string");
          char b = Peek();
          Advance();
          if (b == '\'') {
            if (Peek() != '\'') break;
            Advance();
          }
          literal(b);
        }
      } else if (Peek() == '#') {
        Advance();
        unsigned long code = 0;
        bool any = false;
        if (Peek() == '$') {
          Advance();
          for (int d; (d = HexValue(Peek())) >= 0; Advance()) {
            code = code * 16 + static_cast<unsigned>(d);
            any = true;
            if (code > 0xFFFF) Error("Invalid character code");
          }
        } else {
          for (; IsDigit(Peek()); Advance()) {
            code = code * 10 + static_cast<unsigned>(Peek() - '0');
            any = true;
            if (code > 0xFFFF) Error("Invalid character code");
          }
        }
        if (!any) Error("Invalid character code");
        if (code >= 128) FTok.Wide = true;
        bytes += static_cast<char>(code & 0xFF);
        units.push_back(static_cast<char32_t>(code));
      } else {
        break;
      }
    }
    FTok.Str = std::move(bytes);
    if (FTok.Wide) {
      FTok.WStr.reserve(units.size());
      for (char32_t u : units) FTok.WStr.push_back(static_cast<char16_t>(u));
    }
  }

  void ScanBinary() {
    FTok.Kind = tokBinary;
    Advance();
    int high = -1;
    for (;;) {
      if (AtEnd()) Error("Unterminated binary data");
      char c = Peek();
      if (c == '}') {
        Advance();
        break;
      }
      if (static_cast<unsigned char>(c) <= ' ') {
        Advance();
        continue;
      }
      int d = HexValue(c);
      if (d < 0) ErrorAt("Invalid binary data", FLine, FColumn);
      Advance();
      if (high < 0) {
        high = d;
      } else {
        FTok.Bytes.push_back(static_cast<Byte>(high << 4 | d));
        high = -1;
      }
    }
    if (high >= 0) Error("Odd number of hexadecimal digits");
  }

  bool IsSymbol(char c) const { return FTok.Kind == tokSymbol && FTok.Text[0] == c; }
  bool IsKeyword(const char* word) const { return FTok.Kind == tokIdent && SameText(FTok.Text, word); }
  bool IsObjectKeyword() const { return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline"); }
  void Expect(char c) {
    if (!IsSymbol(c)) Error(Format("'%s' expected", {AnsiString(1, c)}));
    Next();
  }
  AnsiString ExpectIdent(bool dotted) {
    if (FTok.Kind != tokIdent || (!dotted && FTok.Text.find('.') != AnsiString::npos)) Error("Identifier expected");
    if (FTok.Text.size() > 255) Error("Identifier too long");
    AnsiString s = FTok.Text;
    Next();
    return s;
  }
  void Enter(int depth) {
    if (depth > MaxFilerNesting) Error("Nesting too deep");
  }

  Int64 IntegerValue(const Token& t) {
    std::string_view s = t.Text;
    bool negative = false;
    if (s.front() == '-') {
      negative = true;
      s.remove_prefix(1);
    }
    UInt64 magnitude = 0;
    if (s.front() == '$') {
      s.remove_prefix(1);
      while (s.size() > 1 && s.front() == '0') s.remove_prefix(1);
      if (s.size() > 16) ErrorAt("Integer out of range", t.Line, t.Column);
      for (char c : s) magnitude = magnitude << 4 | static_cast<unsigned>(HexValue(c));
      // Up to eight digits are a 32-bit pattern: $FFFFFFFF is -1.
      Int64 v = s.size() <= 8 ? static_cast<Int64>(static_cast<Integer>(static_cast<Cardinal>(magnitude)))
                              : static_cast<Int64>(magnitude);
      return negative ? static_cast<Int64>(0 - static_cast<UInt64>(v)) : v;
    }
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (ec != std::errc() || end != s.data() + s.size() ||
        magnitude > (negative ? UInt64(1) << 63 : (UInt64(1) << 63) - 1))
      ErrorAt("Integer out of range", t.Line, t.Column);
    return negative ? static_cast<Int64>(0 - magnitude) : static_cast<Int64>(magnitude);
  }

  void WriteFloatToken(const Token& t) {
    std::string_view s = t.Text;
    char suffix = 0;
    char last = s.back();
    if (!IsDigit(last)) {
      suffix = static_cast<char>(last | 0x20);
      s.remove_suffix(1);
    }
    if (suffix == 'c') return WriteCurrencyText(t, s);
    std::string_view digits = s;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    double v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (end != digits.data() + digits.size() || (ec != std::errc() && ec != std::errc::result_out_of_range))
      ErrorAt("Invalid floating point number", t.Line, t.Column);
    if (ec == std::errc::result_out_of_range) ErrorAt("Floating point number out of range", t.Line, t.Column);
    if (s.front() == '-') v = -v;
    if (suffix == 's') {
      // A single is read as a single: going through double first rounds
      // twice, and the shortest text of some singles then lands on the
      // neighbouring one. Beyond the single range the double path decides
      // (underflow to zero, overflow refused) as before.
      float f = 0;
      auto [fend, fec] = std::from_chars(digits.data(), digits.data() + digits.size(), f);
      if (fec == std::errc() && fend == digits.data() + digits.size()) {
        FWriter.WriteSingle(s.front() == '-' ? -f : f);
        return;
      }
      if (std::isinf(static_cast<float>(v))) ErrorAt("Floating point number out of range", t.Line, t.Column);
      FWriter.WriteSingle(static_cast<float>(v));
    } else if (suffix == 'd') {
      FWriter.WriteDate(v);
    } else {
      FWriter.WriteFloat(v);
    }
  }

  // Currency is exact: whole units and up to four decimals, no rounding
  // through binary floating point.
  void WriteCurrencyText(const Token& t, std::string_view s) {
    bool negative = false;
    if (s.front() == '-') {
      negative = true;
      s.remove_prefix(1);
    }
    if (s.find_first_of("eE") != std::string_view::npos) ErrorAt("Invalid currency value", t.Line, t.Column);
    std::size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    if (frac.size() > 4) ErrorAt("Invalid currency value", t.Line, t.Column);
    UInt64 raw = 0;
    for (char c : whole) {
      if (raw > (UINT64_MAX - 9) / 10) ErrorAt("Currency value out of range", t.Line, t.Column);
      raw = raw * 10 + static_cast<unsigned>(c - '0');
    }
    for (std::size_t i = 0; i < 4; ++i) {
      if (raw > (UINT64_MAX - 9) / 10) ErrorAt("Currency value out of range", t.Line, t.Column);
      raw = raw * 10 + (i < frac.size() ? static_cast<unsigned>(frac[i] - '0') : 0);
    }
    if (raw > (negative ? UInt64(1) << 63 : (UInt64(1) << 63) - 1))
      ErrorAt("Currency value out of range", t.Line, t.Column);
    FWriter.WriteCurrency(Currency::FromRaw(negative ? static_cast<Int64>(0 - raw) : static_cast<Int64>(raw)));
  }

  void ParseString() {
    AnsiString bytes;
    WideString wide;
    bool isWide = false;
    for (;;) {
      if (FTok.Kind != tokString) Error("String expected");
      if (FTok.Wide && !isWide) {
        isWide = true;
        wide = AnsiToWide(bytes);
      }
      if (isWide) {
        wide += FTok.Wide ? FTok.WStr : AnsiToWide(FTok.Str);
      }
      bytes += FTok.Str;
      if (bytes.size() > static_cast<std::size_t>(INT32_MAX) / 2) Error("String too long");
      Next();
      if (!IsSymbol('+')) break;
      Next();
    }
    if (isWide)
      FWriter.WriteWideString(wide);
    else
      FWriter.WriteString(bytes);
  }

  void ParseValue(int depth) {
    Enter(depth);
    switch (FTok.Kind) {
      case tokInteger:
        FWriter.WriteInteger(IntegerValue(FTok));
        Next();
        return;
      case tokFloat:
        WriteFloatToken(FTok);
        Next();
        return;
      case tokString:
        ParseString();
        return;
      case tokIdent:
        if (FTok.Text.size() > 255) Error("Identifier too long");
        FWriter.WriteIdent(FTok.Text);
        Next();
        return;
      case tokBinary:
        FWriter.WriteBinary(FTok.Bytes.data(), static_cast<Int64>(FTok.Bytes.size()));
        Next();
        return;
      case tokSymbol:
        break;
      case tokEof:
        Error("Property value expected");
    }
    if (IsSymbol('[')) {
      Next();
      std::vector<AnsiString> names;
      if (!IsSymbol(']')) {
        for (;;) {
          names.push_back(ExpectIdent(false));
          if (!IsSymbol(',')) break;
          Next();
        }
      }
      Expect(']');
      FWriter.WriteSet(names);
    } else if (IsSymbol('(')) {
      Next();
      FWriter.WriteListBegin();
      while (!IsSymbol(')')) ParseValue(depth + 1);
      Next();
      FWriter.WriteListEnd();
    } else if (IsSymbol('<')) {
      Next();
      FWriter.WriteValue(vaCollection);
      while (!IsSymbol('>')) {
        if (!IsKeyword("item")) Error("'item' expected");
        Next();
        if (IsSymbol('[')) {
          Next();
          if (FTok.Kind != tokInteger) Error("Integer expected");
          FWriter.WriteInteger(IntegerValue(FTok));
          Next();
          Expect(']');
        }
        FWriter.WriteListBegin();
        while (!IsKeyword("end")) ParseProperty(depth + 1);
        Next();
        FWriter.WriteListEnd();
      }
      Next();
      FWriter.WriteListEnd();
    } else {
      Error("Property value expected");
    }
  }

  void ParseProperty(int depth) {
    Enter(depth);
    if (FTok.Kind != tokIdent) Error("Property name expected");
    FWriter.WriteStr(ExpectIdent(true));
    Expect('=');
    ParseValue(depth + 1);
  }

  void ParseObject(int depth) {
    Enter(depth);
    TFilerFlags flags;
    if (IsKeyword("inherited"))
      flags.Include(ffInherited);
    else if (IsKeyword("inline"))
      flags.Include(ffInline);
    else if (!IsKeyword("object"))
      Error("'object' expected");
    Next();
    AnsiString name, className = ExpectIdent(false);
    if (IsSymbol(':')) {
      Next();
      name = className;
      className = ExpectIdent(false);
    }
    Integer childPos = 0;
    if (IsSymbol('[')) {
      Next();
      if (FTok.Kind != tokInteger) Error("Integer expected");
      Int64 v = IntegerValue(FTok);
      if (v < INT32_MIN || v > INT32_MAX) Error("Integer out of range");
      childPos = static_cast<Integer>(v);
      flags.Include(ffChildPos);
      Next();
      Expect(']');
    }
    FWriter.WritePrefix(flags, childPos);
    FWriter.WriteStr(className);
    FWriter.WriteStr(name);
    while (FTok.Kind == tokIdent && !IsObjectKeyword() && !IsKeyword("end")) ParseProperty(depth + 1);
    FWriter.WriteListEnd();
    while (IsObjectKeyword()) ParseObject(depth + 1);
    if (!IsKeyword("end")) Error("'end' expected");
    Next();
    FWriter.WriteListEnd();
  }

  std::string_view FText;
  TWriter& FWriter;
  std::size_t FPos = 0;
  int FLine = 1;
  int FColumn = 1;
  Token FTok;
};

// ---------------------------------------------------------------------------
// Binary to text

class TextWriter {
 public:
  explicit TextWriter(TStream& input) : FReader(&input) {}

  AnsiString Convert() {
    FReader.ReadSignature();
    WriteObject(0);
    return std::move(FOut);
  }

 private:
  void Indent(int level) { FOut.append(static_cast<std::size_t>(level) * 2, ' '); }
  void NewLine() { FOut += "\r\n"; }
  void Enter(int depth) {
    if (depth > MaxFilerNesting) throw EReadError("Stream nesting too deep");
  }

  void WriteObject(int level) {
    Enter(level);
    TFilerFlags flags;
    Integer childPos;
    FReader.ReadPrefix(flags, childPos);
    AnsiString className = FReader.ReadStr();
    AnsiString name = FReader.ReadStr();
    Indent(level);
    FOut += flags.Contains(ffInline) ? "inline " : flags.Contains(ffInherited) ? "inherited " : "object ";
    if (!name.empty()) FOut += name + ": ";
    FOut += className;
    if (flags.Contains(ffChildPos)) FOut += " [" + std::to_string(childPos) + "]";
    NewLine();
    while (!FReader.EndOfList()) WriteProperty(level + 1);
    FReader.ReadListEnd();
    while (!FReader.EndOfList()) WriteObject(level + 1);
    FReader.ReadListEnd();
    Indent(level);
    FOut += "end";
    NewLine();
  }

  void WriteProperty(int level) {
    Indent(level);
    FOut += FReader.ReadStr();
    FOut += " = ";
    WriteValue(level);
    NewLine();
  }

  static void AppendAnsiString(AnsiString& out, const AnsiString& s) {
    if (s.empty()) {
      out += "''";
      return;
    }
    bool quoted = false;
    for (char c : s) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u >= ' ' && u != 127) {
        if (!quoted) out += '\'';
        quoted = true;
        out += c;
        if (c == '\'') out += '\'';
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + std::to_string(u);
      }
    }
    if (quoted) out += '\'';
  }

  static void AppendWideString(AnsiString& out, const WideString& s) {
    if (s.empty()) {
      out += "''";
      return;
    }
    bool quoted = false;
    for (char16_t c : s) {
      if (c >= ' ' && c < 127) {
        if (!quoted) out += '\'';
        quoted = true;
        out += static_cast<char>(c);
        if (c == '\'') out += '\'';
      } else {
        if (quoted) out += '\'';
        quoted = false;
        out += '#' + std::to_string(static_cast<unsigned>(c));
      }
    }
    if (quoted) out += '\'';
  }

  template <class F>
  static AnsiString FloatText(F v) {
    if (!std::isfinite(v)) throw EReadError("Invalid floating point value");
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    AnsiString s(buf, r.ptr);
    if (s.find_first_of(".e") == AnsiString::npos) s += ".0";
    return s;
  }

  static AnsiString CurrencyText(Int64 raw) {
    UInt64 mag = raw < 0 ? 0 - static_cast<UInt64>(raw) : static_cast<UInt64>(raw);
    AnsiString frac = std::to_string(mag % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    while (frac.size() > 1 && frac.back() == '0') frac.pop_back();
    return (raw < 0 ? "-" : "") + std::to_string(mag / 10000) + "." + frac + "c";
  }

  void WriteValue(int level) {
    Enter(level);
    switch (FReader.NextValue()) {
      case vaList:
        FReader.ReadValue();
        FOut += '(';
        while (!FReader.EndOfList()) {
          NewLine();
          Indent(level + 1);
          WriteValue(level + 1);
        }
        FReader.ReadListEnd();
        FOut += ')';
        return;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64:
        FOut += std::to_string(FReader.ReadInt64());
        return;
      case vaExtended:
        FOut += FloatText(FReader.ReadFloat());
        return;
      case vaSingle:
        FOut += FloatText(FReader.ReadSingle()) + "s";
        return;
      case vaDate:
        FOut += FloatText(FReader.ReadFloat()) + "d";
        return;
      case vaCurrency:
        FOut += CurrencyText(FReader.ReadCurrency().Value);
        return;
      case vaString:
      case vaLString:
        AppendAnsiString(FOut, FReader.ReadString());
        return;
      case vaWString:
      case vaUTF8String:
        AppendWideString(FOut, FReader.ReadWideString());
        return;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull:
        FOut += FReader.ReadIdent();
        return;
      case vaBinary: {
        FReader.ReadValue();
        std::vector<Byte> data = FReader.ReadBinaryBytes();
        static const char hex[] = "0123456789ABCDEF";
        FOut += '{';
        for (std::size_t i = 0; i < data.size(); ++i) {
          if (i % 32 == 0) {
            NewLine();
            Indent(level + 1);
          }
          FOut += hex[data[i] >> 4];
          FOut += hex[data[i] & 15];
        }
        FOut += '}';
        return;
      }
      case vaSet: {
        FReader.ReadValue();
        FOut += '[';
        bool first = true;
        for (const AnsiString& n : FReader.ReadSetNames()) {
          if (!first) FOut += ", ";
          first = false;
          FOut += n;
        }
        FOut += ']';
        return;
      }
      case vaCollection:
        FReader.ReadValue();
        FOut += '<';
        while (!FReader.EndOfList()) {
          NewLine();
          Indent(level + 1);
          FOut += "item";
          TValueType t = FReader.NextValue();
          if (t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64)
            FOut += " [" + std::to_string(FReader.ReadInt64()) + "]";
          NewLine();
          FReader.ReadListBegin();
          while (!FReader.EndOfList()) WriteProperty(level + 2);
          FReader.ReadListEnd();
          Indent(level + 1);
          FOut += "end";
        }
        FReader.ReadListEnd();
        FOut += '>';
        return;
    }
  }

  TReader FReader;
  AnsiString FOut;
};

}  // namespace

void ObjectTextToBinary(TStream& input, TStream& output) {
  Int64 count = input.GetSize() - input.GetPosition();
  AnsiString text(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  input.ReadBuffer(text.data(), static_cast<Int64>(text.size()));
  TWriter writer(&output);
  TextParser parser(text, writer);
  parser.ParseRoot();
}

void ObjectBinaryToText(TStream& input, TStream& output) {
  TextWriter converter(input);
  AnsiString text = converter.Convert();
  output.WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}

TComponent* ReadComponentFromText(const AnsiString& text, TComponent* root) {
  TStringStream in(text);
  TMemoryStream binary;
  ObjectTextToBinary(in, binary);
  binary.SetPosition(0);
  return binary.ReadComponent(root);
}

AnsiString ComponentToText(TComponent* root) {
  TMemoryStream binary;
  binary.WriteComponent(root);
  binary.SetPosition(0);
  TStringStream out;
  ObjectBinaryToText(binary, out);
  return out.GetDataString();
}

TComponent* ReadComponentResource(const AnsiString& name, TComponent* root) {
  TResourceStream res(name, RT_RCDATA);
  char sig[4] = {};
  bool binary = res.Read(sig, 4) == 4 && std::memcmp(sig, FilerSignature, 4) == 0;
  res.SetPosition(0);
  if (binary) return res.ReadComponent(root);
  TMemoryStream converted;
  ObjectTextToBinary(res, converted);
  converted.SetPosition(0);
  return converted.ReadComponent(root);
}
