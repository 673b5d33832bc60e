#include "platform/rtl/ObjectText.h"

#include <gtest/gtest.h>

namespace {

AnsiString ToBinary(const AnsiString& text) {
  TStringStream in(text), out;
  ObjectTextToBinary(in, out);
  return out.GetDataString();
}

AnsiString ToText(const AnsiString& binary) {
  TStringStream in(binary), out;
  ObjectBinaryToText(in, out);
  return out.GetDataString();
}

// Every kind of value the text form has, written as the converter writes it.
const char* const kCanonical =
    "object Main: TMainForm\r\n"
    "  Left = 10\r\n"
    "  Top = -300\r\n"
    "  Big = 5000000000\r\n"
    "  Ratio = 1.5\r\n"
    "  Tiny = 1e-300\r\n"
    "  Whole = 3.0\r\n"
    "  Scale = 0.25s\r\n"
    "  Price = 12.3456c\r\n"
    "  Debt = -0.5c\r\n"
    "  When = 45000.5d\r\n"
    "  Caption = 'It''s'#13#10'done'\r\n"
    "  Euro = 'cost '#8364\r\n"
    "  Empty = ''\r\n"
    "  Color = clBtnFace\r\n"
    "  Visible = True\r\n"
    "  Enabled = False\r\n"
    "  Link = nil\r\n"
    "  Ref = Other.Button1\r\n"
    "  Anchors = [akLeft, akTop]\r\n"
    "  None = []\r\n"
    "  OptionsView.RowHeaderWidth = 120\r\n"
    "  Lines.Strings = (\r\n"
    "    'one'\r\n"
    "    2\r\n"
    "    (\r\n"
    "      x))\r\n"
    "  NoLines = ()\r\n"
    "  Glyph.Data = {\r\n"
    "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\r\n"
    "    FF}\r\n"
    "  NoData = {}\r\n"
    "  Items = <\r\n"
    "    item\r\n"
    "      Caption = 'first'\r\n"
    "      Width = 30\r\n"
    "    end\r\n"
    "    item [4]\r\n"
    "    end>\r\n"
    "  NoItems = <>\r\n"
    "  object Panel1: TPanel\r\n"
    "    object Button1: TButton [2]\r\n"
    "      OnClick = Button1Click\r\n"
    "    end\r\n"
    "  end\r\n"
    "  inherited Inner: TFrame\r\n"
    "  end\r\n"
    "  inline TUnnamed\r\n"
    "  end\r\n"
    "end\r\n";

std::string Message(const AnsiString& text) {
  try {
    ToBinary(text);
  } catch (const EParserError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(ObjectText, TextToBinaryToTextIsStable) {
  AnsiString binary = ToBinary(kCanonical);
  EXPECT_EQ(ToText(binary), kCanonical);
  EXPECT_EQ(ToBinary(ToText(binary)), binary);
}

// A single written out as text reads back to the same bits: the shortest
// text of 7.038531e-26 lies so near the half-way point between two singles
// that rounding it to a double first would land on the neighbour.
TEST(ObjectText, SinglesComeBackBitForBitThroughText) {
  for (float value : {7.038531e-26f, 0.1f, 1.0f / 3, 3.4028235e38f, 1e-45f, 1.1754944e-38f, -2.5e-20f}) {
    TStringStream binary;
    TWriter writer(&binary);
    writer.WriteSignature();
    writer.WriteStr("T");
    writer.WriteStr("A");
    writer.WriteStr("S");
    writer.WriteSingle(value);
    writer.WriteListEnd();
    writer.WriteListEnd();
    const AnsiString written = binary.GetDataString();
    EXPECT_EQ(ToBinary(ToText(written)), written) << value << "\n" << ToText(written);
  }
  // Beyond the single range the text still underflows to zero or is refused.
  EXPECT_NE(ToBinary("object A: T\n S = 1e-50s\nend").find(AnsiString("\1S\x0F\0\0\0\0", 7)), AnsiString::npos);
  EXPECT_EQ(Message("object A: T\n S = 1e39s\nend"), "Floating point number out of range at line 2, column 6");
}

TEST(ObjectText, BinaryLayoutIsTheFilerForm) {
  AnsiString binary = ToBinary(
      "object F: TF\n"
      "  A = 1\n"
      "  object B: TB\n"
      "  end\n"
      "end\n");
  EXPECT_EQ(binary, AnsiString("TPF0\2TF\1F\1A\2\1\0\2TB\1B\0\0\0", 22));
}

TEST(ObjectText, OtherSpellingsSettleOnTheCanonicalForm) {
  const char* loose =
      "OBJECT Main : TMainForm\n"
      "  Left = $0A\n"
      "  Color = $FFFFFFFF\n"
      "  Wide = $100000000\n"
      "  Neg = -$10\n"
      "  Caption = 'a' +\n"
      "     'b' + #65'c'\n"
      "  Hex = #$41\n"
      "  Set = [ a,b ]\n"
      "  Data = { 0a 0B\n 0c }\n"
      "  Exp = 2E3\n"
      "  Yes = TRUE\n"
      "END";
  const char* canonical =
      "object Main: TMainForm\r\n"
      "  Left = 10\r\n"
      "  Color = -1\r\n"
      "  Wide = 4294967296\r\n"
      "  Neg = -16\r\n"
      "  Caption = 'abAc'\r\n"
      "  Hex = 'A'\r\n"
      "  Set = [a, b]\r\n"
      "  Data = {\r\n"
      "    0A0B0C}\r\n"
      "  Exp = 2000.0\r\n"
      "  Yes = True\r\n"
      "end\r\n";
  EXPECT_EQ(ToText(ToBinary(loose)), canonical);
  // Characters with codes above 127 make a wide string; 8-bit bytes stay bytes.
  AnsiString b = ToBinary("object A: T\n S = #233\n T = '\xE9'\nend");
  EXPECT_NE(b.find(AnsiString("\1S\x12\1\0\0\0\xE9\0", 9)), AnsiString::npos);
  EXPECT_NE(b.find(AnsiString("\1T\6\1\xE9", 5)), AnsiString::npos);
}

TEST(ObjectText, SyntaxErrorsNameLineAndColumn) {
  EXPECT_EQ(Message("object A: T\n  X 1\nend"), "'=' expected at line 2, column 5");
  EXPECT_EQ(Message("object A: T\n  S = 'open\nend"), "Unterminated string at line 2, column 7");
  EXPECT_EQ(Message("object A: T\n  X = 1\n"), "'end' expected at line 3, column 1");
  EXPECT_EQ(Message("thing A: T\nend"), "'object' expected at line 1, column 1");
  EXPECT_EQ(Message("object A: T\nend\nextra"), "End of file expected at line 3, column 1");
  EXPECT_EQ(Message("object A: T\n X = {0A1}\nend"), "Odd number of hexadecimal digits at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = 99999999999999999999\nend"), "Integer out of range at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = ;\nend"), "Invalid character #59 at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = 'a' +\nend"), "String expected at line 3, column 1");
  EXPECT_EQ(Message("object A: T\n X = 1.5q\nend"), "Invalid number at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = 1.23456c\nend"), "Invalid currency value at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = #70000\nend"), "Invalid character code at line 2, column 6");
  EXPECT_EQ(Message("object A: T\n X = <\n  item\n  Y = 1\n >\nend"), "Property name expected at line 5, column 2");
}

TEST(ObjectText, DeepNestingIsRefused) {
  AnsiString lists = "object A: T\n X = " + AnsiString(5000, '(') + AnsiString(5000, ')') + "\nend";
  EXPECT_THROW(ToBinary(lists), EParserError);
  AnsiString objects;
  for (int i = 0; i < 500; ++i) objects += "object A: T\n";
  for (int i = 0; i < 500; ++i) objects += "end\n";
  EXPECT_THROW(ToBinary(objects), EParserError);
}

TEST(ObjectText, DamagedBinaryIsAReadError) {
  AnsiString binary = ToBinary(kCanonical);
  for (std::size_t n = 0; n < binary.size(); ++n)
    EXPECT_THROW(ToText(binary.substr(0, n)), EReadError) << n;
}
