// Rich text format: a reader and a writer over a small document model that
// knows nothing of windows. The rich edit streams its content through it;
// anything else that holds formatted text can do the same.
//
// The model is what the rich edit can show: a font table, a colour table,
// paragraphs with their alignment, indents, bullet and tab stops, and runs
// of code-page-1252 text that share one character format. Inside a run's
// text '\t' is a tab and '\v' a line break within the paragraph; paragraphs
// themselves hold no break.
//
// Every input is untrusted. The reader runs in one pass over the data,
// bounds group nesting, control-word length, numeric parameters and font
// names, and either fills the document or leaves it untouched and says
// why. Its tables keep every entry the data holds: each takes at least a
// byte of the data, so they grow no faster than it, and a table the
// writer wrote whole reads back whole. A document it reads writes back to
// text that reads as the same document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rtl/Types.h"

namespace orv::rtf {

// Bounds that keep hostile data from costing more than its own size.
constexpr int kMaxDepth = 256;         // nested groups
constexpr int kMaxWordLength = 32;     // letters of one control word
constexpr std::size_t kMaxFontName = 255;  // bytes
constexpr std::size_t kMaxTabs = 32;       // tab stops of one paragraph
constexpr int kMaxTwips = 0xFFFFFF;        // largest indent or tab position, either sign

constexpr int kDefaultSize = 24;  // half-points, the size text has before any \fs
constexpr int kMaxSize = 3276;    // half-points

struct Font {
  AnsiString Name;
  bool operator==(const Font&) const = default;
};

// An automatic entry (written as an empty one) stands for the text's own
// colour; Color is then meaningless and left 0.
struct ColorEntry {
  bool Automatic = false;
  TColor Color = 0;  // 0x00BBGGRR
  bool operator==(const ColorEntry&) const = default;
};

struct CharFormat {
  // Position in the font table; -1 is the document's default font.
  int Font = -1;
  int Size = kDefaultSize;  // half-points, 1..kMaxSize
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool Protected = false;  // \protect: text the reader's control guards against change
  // Positions in the colour table. Colour 0 is the automatic colour when the
  // table is empty or starts with an automatic entry; highlight 0 is none.
  int Color = 0;
  int Highlight = 0;
  bool operator==(const CharFormat&) const = default;
};

enum class Alignment : std::uint8_t { Left, Center, Right, Justify };
enum class Numbering : std::uint8_t { None, Bullet };

struct ParaFormat {
  Alignment Align = Alignment::Left;
  // Twips. The first line starts at LeftIndent + FirstIndent.
  int LeftIndent = 0;
  int RightIndent = 0;
  int FirstIndent = 0;
  Numbering Bullets = Numbering::None;
  std::vector<int> Tabs;  // twips from the left margin, at most kMaxTabs
  bool operator==(const ParaFormat&) const = default;
};

struct Run {
  CharFormat Format;
  AnsiString Text;
  bool operator==(const Run&) const = default;
};

struct Paragraph {
  ParaFormat Format;
  std::vector<Run> Runs;  // never empty text; neighbours differ in format
  bool operator==(const Paragraph&) const = default;
};

struct Document {
  std::vector<Font> Fonts;
  std::vector<ColorEntry> Colors;
  int DefaultFont = -1;  // position in Fonts, -1 for none
  // A read document has at least one paragraph; the text after the last
  // paragraph mark is the last one, so "a\par b" is two and "a\par" is "a"
  // followed by an empty one.
  std::vector<Paragraph> Paragraphs;
  bool operator==(const Document&) const = default;
};

// The font a format names: its own, else the default one; empty when the
// document names neither.
AnsiString FontName(const Document& Doc, const CharFormat& Format);
// The position of a font or colour, added to the table when it is missing.
// For whoever adds a few entries; each call looks through the whole table,
// so a builder adding many keeps a TableIndex (RtfTableIndex.h) instead.
int AddFont(Document& Doc, const AnsiString& Name);
int AddColor(Document& Doc, TColor Color);

enum class ReadStatus : std::uint8_t {
  Ok,
  NotRtf,          // the data does not start with "{\rtf"
  TooDeep,         // groups nest deeper than kMaxDepth
  BadControlWord,  // a control word longer than kMaxWordLength
};

// Reads Data into Out, replacing what it held; on any status but Ok, Out
// is unchanged. Unknown control words are ignored and unknown "{\*...}"
// groups skipped; data that ends before its groups close keeps what it
// read, and anything after the outermost group is ignored.
ReadStatus Read(std::string_view Data, Document& Out);

// Short English text of a status, for messages.
const char* ReadStatusText(ReadStatus Status);

// The document as rich text: 1252 throughout, bytes outside printable
// ASCII as hexadecimal escapes, one paragraph mark per line.
AnsiString Write(const Document& Doc);

}  // namespace orv::rtf
