// Rich text read into the document model and written back: what a real
// document carries comes through, escapes and Unicode fall-backs decode to
// the right bytes, and hostile data gets a clear answer instead of a crash.
#include "platform/controls/Rtf.h"

#include <gtest/gtest.h>

using namespace orv::rtf;

namespace {

Document ReadOk(std::string_view data) {
  Document doc;
  EXPECT_EQ(Read(data, doc), ReadStatus::Ok) << data;
  return doc;
}

// The document's text with runs joined and paragraphs split by '|'.
std::string PlainText(const Document& doc) {
  std::string text;
  for (std::size_t p = 0; p < doc.Paragraphs.size(); ++p) {
    if (p) text += '|';
    for (const Run& run : doc.Paragraphs[p].Runs) text += run.Text;
  }
  return text;
}

void ExpectRoundTrip(const Document& doc) {
  const AnsiString written = Write(doc);
  Document again;
  ASSERT_EQ(Read(written, again), ReadStatus::Ok) << written;
  EXPECT_EQ(again, doc) << written;
  EXPECT_EQ(Write(again), written);
}

const char* const kFormatted =
    "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman Times New Roman;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
    "{\\*\\generator Some writer 1.0;}\\viewkind4\\uc1"
    "\\pard\\qc\\li720\\ri360\\fi-360\\tx1440\\tx2880\\f0\\fs20 Centred \\b bold\\b0  \\i it\\i0  \\ul un\\ulnone  "
    "\\strike gone\\strike0\\par\r\n"
    "\\pard\\qr\\plain\\cf1\\highlight2 red on green\\par\r\n"
    "\\pard{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'B7}}\\qj bullet\\par\r\n"
    "}";

TEST(RtfReading, AFormattedDocumentComesThroughWholeAndWritesBackTheSame) {
  const Document doc = ReadOk(kFormatted);
  ASSERT_EQ(doc.Fonts.size(), 2u);
  EXPECT_EQ(doc.Fonts[1].Name, "Times New Roman");
  EXPECT_EQ(doc.DefaultFont, 1);
  ASSERT_EQ(doc.Colors.size(), 3u);
  EXPECT_TRUE(doc.Colors[0].Automatic);
  EXPECT_EQ(doc.Colors[2].Color, 0x008000);
  EXPECT_EQ(PlainText(doc), "Centred bold it un gone|red on green|bullet|");

  const Paragraph& first = doc.Paragraphs[0];
  EXPECT_EQ(first.Format.Align, Alignment::Center);
  EXPECT_EQ(first.Format.LeftIndent, 720);
  EXPECT_EQ(first.Format.RightIndent, 360);
  EXPECT_EQ(first.Format.FirstIndent, -360);
  EXPECT_EQ(first.Format.Tabs, (std::vector<int>{1440, 2880}));
  ASSERT_EQ(first.Runs.size(), 8u);  // plain and styled runs take turns
  EXPECT_EQ(first.Runs[1].Text, "bold");
  EXPECT_TRUE(first.Runs[1].Format.Bold);
  EXPECT_EQ(first.Runs[1].Format.Size, 20);
  EXPECT_EQ(FontName(doc, first.Runs[1].Format), "Arial");
  EXPECT_TRUE(first.Runs[3].Format.Italic);
  EXPECT_TRUE(first.Runs[5].Format.Underline);
  EXPECT_TRUE(first.Runs[7].Format.StrikeOut);
  EXPECT_EQ(first.Runs[6].Text, " ");

  // \plain goes back to the default font and size; the paragraph keeps \qr.
  const Paragraph& second = doc.Paragraphs[1];
  EXPECT_EQ(second.Format.Align, Alignment::Right);
  EXPECT_EQ(second.Format.LeftIndent, 0);
  ASSERT_EQ(second.Runs.size(), 1u);
  EXPECT_EQ(FontName(doc, second.Runs[0].Format), "Times New Roman");
  EXPECT_EQ(second.Runs[0].Format.Size, kDefaultSize);
  EXPECT_EQ(second.Runs[0].Format.Color, 1);
  EXPECT_EQ(second.Runs[0].Format.Highlight, 2);

  // The bullet's own text is not document text.
  EXPECT_EQ(doc.Paragraphs[2].Format.Bullets, Numbering::Bullet);
  EXPECT_EQ(doc.Paragraphs[2].Format.Align, Alignment::Justify);
  EXPECT_EQ(doc.Paragraphs[3].Format.Bullets, Numbering::Bullet);  // the state after the last mark

  ExpectRoundTrip(doc);
}

TEST(RtfReading, GroupsKeepTheirFormatToThemselves) {
  const Document doc = ReadOk("{\\rtf1 a{\\b b{\\i c}d}e{\\ul\\plain f}}");
  const auto& runs = doc.Paragraphs[0].Runs;
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[0].Text, "a");
  EXPECT_EQ(runs[1].Text, "b");
  EXPECT_TRUE(runs[2].Format.Bold && runs[2].Format.Italic);
  EXPECT_EQ(runs[3].Text, "d");
  EXPECT_TRUE(runs[3].Format.Bold && !runs[3].Format.Italic);
  // "e" and the \plain "f" share the plain format, so they are one run.
  EXPECT_EQ(runs[4].Text, "ef");
  EXPECT_EQ(runs[4].Format, CharFormat{});
  // Protection is a character format like the others, and written back.
  const Document guarded = ReadOk("{\\rtf1 {\\protect kept}\\protect1 too\\protect0  free}");
  const auto& parts = guarded.Paragraphs[0].Runs;
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].Text, "kepttoo");
  EXPECT_TRUE(parts[0].Format.Protected);
  EXPECT_FALSE(parts[1].Format.Protected);
  ExpectRoundTrip(guarded);
}

TEST(RtfEscapes, EveryByteSurvivesAndEscapesDecode) {
  Document doc = ReadOk("{\\rtf1 \\{x\\}\\\\ caf\\'e9\\'E9 a\\tab b\\line c\\par d}");
  EXPECT_EQ(PlainText(doc), "{x}\\ caf\xe9\xe9 a\tb\vc|d");

  // Text that holds every byte, the ones that mean something to the
  // format among them, reads back byte for byte.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  doc = Document{};
  doc.Fonts.push_back(Font{"Odd; {name} \\ \xe9"});
  doc.DefaultFont = 0;
  doc.Paragraphs.push_back(Paragraph{{}, {orv::rtf::Run{CharFormat{0}, all}}});
  const AnsiString written = Write(doc);
  for (const char c : written) {
    EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << int(c);
  }
  ExpectRoundTrip(doc);
}

TEST(RtfUnicode, FallBackCharactersAreSkippedAsTheCountSays) {
  // \u8364 is the euro sign, byte 0x80 in 1252; the '?' after it is its
  // fall-back for readers without Unicode and must not show.
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1 \\u8364?\\u233?}")), "\x80\xe9");
  // Characters 1252 lacks become one '?' each, a surrogate pair too.
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1 a\\u9731?b\\u-10179?\\u-8704?c}")), "a?b?c");
  // \uc2 skips two fall-backs, a hexadecimal escape counting as one.
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1\\uc2 \\u20013\\'d6\\'d0x}")), "?x");
  // \uc0 skips nothing; a negative count reads as code points above 32767.
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1\\uc0\\u233 x\\u-7 y}")), "\xe9x?y");
  // The count belongs to the group, and a group's end stops the skipping.
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1 {\\uc3\\u233 ab}cd\\u233 ef}")), "\xe9" "cd\xe9" "f");
  // In the font table \u spells the name.
  const Document doc = ReadOk("{\\rtf1{\\fonttbl{\\f0 Caf\\u233 e;}}x}");
  EXPECT_EQ(doc.Fonts[0].Name, "Caf\xe9");
}

TEST(RtfMalformed, DataThatIsNotRichTextIsRefusedAndTheDocumentKept) {
  Document doc = ReadOk("{\\rtf1 keep}");
  const Document before = doc;
  for (std::string_view bad : {"", "{", "{\\RTF1 x}", " {\\rtf1 x}", "plain text", "{\\rt"}) {
    EXPECT_EQ(Read(bad, doc), ReadStatus::NotRtf) << bad;
    EXPECT_EQ(doc, before);
  }
  EXPECT_STREQ(ReadStatusText(ReadStatus::NotRtf), "The data is not rich text");
}

TEST(RtfMalformed, BracesOutOfBalanceKeepWhatWasWritten) {
  // Data cut off before its groups close keeps the text it had.
  Document doc = ReadOk("{\\rtf1\\pard\\qc one\\par {\\b two");
  EXPECT_EQ(PlainText(doc), "one|two");
  EXPECT_EQ(doc.Paragraphs[1].Format.Align, Alignment::Center);
  EXPECT_TRUE(doc.Paragraphs[1].Runs[0].Format.Bold);
  // Anything after the outermost group is not part of the document.
  doc = ReadOk("{\\rtf1 in} out } {\\b more}");
  EXPECT_EQ(PlainText(doc), "in");
  ExpectRoundTrip(doc);
}

TEST(RtfMalformed, HostileStructureGetsAClearAnswer) {
  Document doc = ReadOk("{\\rtf1 keep}");
  const Document before = doc;
  std::string deep = "{\\rtf1 ";
  for (int i = 0; i < kMaxDepth; ++i) deep += '{';
  EXPECT_EQ(Read(deep, doc), ReadStatus::TooDeep);
  EXPECT_EQ(doc, before);
  // One group less than the bound is fine.
  deep = "{\\rtf1 " + std::string(kMaxDepth - 1, '{') + "x" + std::string(kMaxDepth, '}');
  EXPECT_EQ(PlainText(ReadOk(deep)), "x");

  const std::string word(kMaxWordLength + 1, 'a');
  EXPECT_EQ(Read("{\\rtf1 \\" + word + " x}", doc), ReadStatus::BadControlWord);
  EXPECT_EQ(doc, before);
  EXPECT_EQ(PlainText(ReadOk("{\\rtf1 \\" + word.substr(1) + " x}")), "x");
}

TEST(RtfMalformed, NumbersStayInTheirBoundsAndTablesKeepEveryEntry) {
  Document doc = ReadOk(
      "{\\rtf1\\pard\\li99999999999999999999\\ri-99999999999999999999\\fs99999999999999 a"
      "\\fs-5 b\\cf99999999999 c\\f-3 d\\tx-40 \\'4}");
  const Paragraph& p = doc.Paragraphs[0];
  EXPECT_EQ(p.Format.LeftIndent, kMaxTwips);
  EXPECT_EQ(p.Format.RightIndent, -kMaxTwips);
  EXPECT_EQ(p.Format.Tabs, (std::vector<int>{0}));
  ASSERT_EQ(p.Runs.size(), 2u);
  EXPECT_EQ(p.Runs[0].Format.Size, kMaxSize);
  EXPECT_EQ(p.Runs[1].Format.Size, 1);
  EXPECT_EQ(p.Runs[1].Text, "bcd");  // colour and font outside the tables are the automatic and default ones
  ExpectRoundTrip(doc);

  // Tables keep every entry, each costing at least a byte of the data;
  // numbers are found by position however many there are. Tab stops stop
  // at their bound.
  constexpr int kEntries = 3000;
  std::string tables = "{\\rtf1{\\fonttbl";
  for (int i = 0; i < kEntries; ++i)
    tables += "{\\f" + std::to_string(kEntries - 1 - i) + " F" + std::to_string(i) + ";}";
  tables += "}{\\colortbl;";
  for (int i = 1; i < kEntries; ++i)
    tables += "\\red" + std::to_string(i % 256) + "\\blue" + std::to_string(i / 256) + ";";
  std::string tabs;
  for (std::size_t i = 0; i <= kMaxTabs; ++i) tabs += "\\tx" + std::to_string(100 * (i + 1));
  doc = ReadOk(tables + "}" + tabs + " \\f0\\cf2999 x}");
  ASSERT_EQ(doc.Fonts.size(), static_cast<std::size_t>(kEntries));
  ASSERT_EQ(doc.Colors.size(), static_cast<std::size_t>(kEntries));
  EXPECT_EQ(doc.Paragraphs[0].Format.Tabs.size(), kMaxTabs);
  EXPECT_EQ(FontName(doc, doc.Paragraphs[0].Runs[0].Format), "F2999");
  const int colour = doc.Paragraphs[0].Runs[0].Format.Color;
  EXPECT_EQ(doc.Colors[static_cast<std::size_t>(colour)].Color, (2999 % 256) | ((2999 / 256) << 16));
  ExpectRoundTrip(doc);
}

TEST(RtfMalformed, WhatTheReaderDoesNotKnowLeavesNoTrace) {
  // Unknown words and "\*" groups vanish, binary data is passed over even
  // when it holds braces, and non-text groups add no text.
  const Document doc = ReadOk(
      "{\\rtf1\\fancyword12 a{\\*\\unknown {nested \\par} x}b\\bin4 }{\\}c"
      "{\\info{\\title T}}{\\stylesheet{\\s1 Normal;}}{\\pict 0a0b}d\\emdash\\~e\r\nf\\\r\ng}");
  EXPECT_EQ(PlainText(doc), "abc" "d\x97\xa0" "ef|g");
  // A font table without groups, a number gap and a colour without ';'.
  const Document tables = ReadOk("{\\rtf1\\deff7{\\fonttbl\\f7 Arial;\\f2 Mono}{\\colortbl\\red9}\\f2 x\\plain y}");
  ASSERT_EQ(tables.Fonts.size(), 2u);
  EXPECT_EQ(tables.DefaultFont, 0);
  EXPECT_EQ(tables.Paragraphs[0].Runs[0].Format.Font, 1);
  EXPECT_EQ(FontName(tables, tables.Paragraphs[0].Runs[1].Format), "Arial");
  EXPECT_EQ(tables.Colors, (std::vector<ColorEntry>{{false, 9}}));
  ExpectRoundTrip(tables);
}

TEST(RtfReading, PageAndSectionBreaksEndTheirParagraph) {
  const Document doc = ReadOk("{\\rtf1 one\\page two\\sect\\sectd three\\pagebb  four\\par five}");
  EXPECT_EQ(PlainText(doc), "one|two|three four|five");
  ExpectRoundTrip(doc);
}

TEST(RtfWriting, ABuiltDocumentNamesItsFontsAndColoursOnce) {
  Document doc;
  CharFormat red;
  red.Font = AddFont(doc, "Arial");
  red.Color = AddColor(doc, 0x0000FF);
  EXPECT_EQ(AddFont(doc, "Arial"), red.Font);
  EXPECT_EQ(AddColor(doc, 0x0000FF), red.Color);
  // The automatic colour keeps position 0 so that uncoloured runs stay so.
  EXPECT_TRUE(doc.Colors[0].Automatic);
  EXPECT_EQ(red.Color, 1);
  doc.Paragraphs.push_back(Paragraph{{}, {orv::rtf::Run{CharFormat{}, "plain "}, orv::rtf::Run{red, "red"}}});
  doc.Paragraphs.push_back(Paragraph{});
  ExpectRoundTrip(doc);
  EXPECT_EQ(PlainText(ReadOk(Write(doc))), "plain red|");
}

}  // namespace
