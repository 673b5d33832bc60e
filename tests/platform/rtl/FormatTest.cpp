#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Locale.h"

namespace {

AnsiString FormatError(std::string_view fmt, std::initializer_list<TVarRec> args) {
  try {
    Format(fmt, args);
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "<no error>";
}

}  // namespace

TEST(FormatText, MessagesOfTheApplication) {
  EXPECT_EQ(Format("Version: %d.%02d", {1, 4}), "Version: 1.04");
  EXPECT_EQ(Format("Details for '%s'", {"Run"}), "Details for 'Run'");
  EXPECT_EQ(Format("Item %d", {12}), "Item 12");
  EXPECT_EQ(Format("%s = %s;", {AnsiString("Width"), "3"}), "Width = 3;");
  EXPECT_EQ(Format("100%% done", {}), "100% done");
}

TEST(FormatText, IntegerConversions) {
  EXPECT_EQ(Format("[%5d][%-5d][%.3d][%d]", {42, 42, -4, Int64{-9000000000}}), "[   42][42   ][-004][-9000000000]");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("%x %.4X %x", {255, 10, Int64{-1}}), "FF 000A FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%*d|%-*d", {4, 7, 3, 8}), "   7|8  ");
  EXPECT_EQ(Format("%.*d", {3, 5}), "005");
  EXPECT_EQ(Format("%03d|%04x|%03d", {-5, 255, 1234}), "-05|00FF|1234");
  // Left-justified, the width pads with blanks after the number.
  EXPECT_EQ(Format("[%-05d][%-04x][%-03d]", {7, 255, -5}), "[7    ][FF  ][-5 ]");
}

TEST(FormatText, IndexSpecifiersMoveTheArgumentPointer) {
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b", "c"}), "b a b");
  EXPECT_EQ(Format("%0:s-%0:s", {"x"}), "x-x");
  // After the last argument there is nothing left for the next specifier.
  EXPECT_EQ(FormatError("%2:d %d", {1, 2, 3}), "Format '%2:d %d' invalid or incompatible with argument");
  EXPECT_EQ(Format("%1:d %d", {1, 2, 3}), "2 3");
}

TEST(FormatText, FloatConversionsInBothLocales) {
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(Format("%f", {1.005}), "1.00");  // its 18 digits are 1.00499999999999989
    EXPECT_EQ(Format("%f", {0.125}), "0.13");  // an exact half goes away from zero
    EXPECT_EQ(Format("%.3f|%8.1f", {2.0, -3.25}), "2.000|    -3.3");
    EXPECT_EQ(Format("%e", {1.5}), "1.50000000000000E+000");
    EXPECT_EQ(Format("%.3e", {-123456.0}), "-1.23E+005");
    EXPECT_EQ(Format("%g|%g|%.3g", {0.1, 1E20, 1234.5}), "0.1|1E20|1.23E3");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%m|%.0m", {-1234.5, 2.5}), "($1,234.50)|$3");
    EXPECT_EQ(Format("%f", {Currency{12345}}), "1.23");  // 1.2345: exact digits, half away
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(Format("%.2f", {1.5}), "1,50");
  EXPECT_EQ(Format("%n", {1234.5}), "1.234,50");
  EXPECT_EQ(Format("%m", {1234.5}), "1.234,50 \x80");
  EXPECT_EQ(Format("%g", {0.25}), "0,25");
}

// A Currency has up to 19 significant digits and all of them are exact:
// an amount near the ends of its range keeps its last decimal in every
// fixed form instead of being rounded on an 18th digit.
TEST(FormatText, CurrencyAmountsKeepEveryDigitToTheEndsOfTheRange) {
  ScopedLocale us("en-US");
  const Currency largest{std::numeric_limits<Int64>::max()};
  const Currency smallest{std::numeric_limits<Int64>::min()};
  EXPECT_EQ(Format("%.4f|%.4n", {largest, largest}), "922337203685477.5807|922,337,203,685,477.5807");
  EXPECT_EQ(Format("%.4m", {smallest}), "($922,337,203,685,477.5808)");
  EXPECT_EQ(Format("%.4f", {Currency{1234567890123456789}}), "123456789012345.6789");
  // The usual two decimals still round the exact digits, half away from zero.
  EXPECT_EQ(Format("%f|%m", {largest, smallest}), "922337203685477.58|($922,337,203,685,477.58)");
  // A double has no 19th digit to show.
  EXPECT_EQ(Format("%.4f", {922337203685477.5807}), "922337203685477.6250");
}

TEST(FormatText, StringsCharactersAndPointers) {
  WideString w = u"Gr\u00FC\u00DFe \u20AC \u4E2D";
  EXPECT_EQ(Format("%s", {w}), "Gr\xFC\xDF" "e \x80 ?");
  EXPECT_EQ(Format("%.3s|%6s|%-3s|", {"abcdef", "ab", "x"}), "abc|    ab|x  |");
  EXPECT_EQ(Format("%s%s", {'a', u'b'}), "ab");
  EXPECT_EQ(Format("%p", {reinterpret_cast<const void*>(std::uintptr_t{0xABC})}), "0000000000000ABC");
}

TEST(FormatText, MismatchesRaiseTheConvertError) {
  EXPECT_EQ(FormatError("%d", {"text"}), "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%s", {5}), "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%f", {5}), "Format '%f' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%d %d", {5}), "Format '%d %d' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%3:d", {1, 2}), "Format '%3:d' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%q", {1}), "Format '%q' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("50%", {}), "Format '50%' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%*d", {"w", 1}), "Format '%*d' invalid or incompatible with argument");
  // A width or precision past the written limit is refused from the
  // arguments too, before it can ask for gigabytes of padding.
  EXPECT_EQ(FormatError("%*d", {2000000000, 1}), "Format '%*d' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%.*d", {2000000000, 1}), "Format '%.*d' invalid or incompatible with argument");
  EXPECT_EQ(FormatError("%1000000d", {1}), "Format '%1000000d' invalid or incompatible with argument");
  EXPECT_EQ(Format("%*d", {100000, 1}).size(), 100000u);
  EXPECT_EQ(FormatError("%d", {true}), "Format '%d' invalid or incompatible with argument");
}
