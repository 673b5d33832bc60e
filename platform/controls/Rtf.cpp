#include "platform/controls/Rtf.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <utility>

#include "platform/controls/RtfTableIndex.h"
#include "platform/rtl/CodePage.h"

namespace orv::rtf {

AnsiString FontName(const Document& Doc, const CharFormat& Format) {
  const int count = static_cast<int>(Doc.Fonts.size());
  if (Format.Font >= 0 && Format.Font < count) return Doc.Fonts[Format.Font].Name;
  if (Doc.DefaultFont >= 0 && Doc.DefaultFont < count) return Doc.Fonts[Doc.DefaultFont].Name;
  return {};
}

int AddFont(Document& Doc, const AnsiString& Name) { return TableIndex(Doc).Font(Name); }

int AddColor(Document& Doc, TColor Color) { return TableIndex(Doc).Color(Color); }

const char* ReadStatusText(ReadStatus Status) {
  switch (Status) {
    case ReadStatus::Ok: return "OK";
    case ReadStatus::NotRtf: return "The data is not rich text";
    case ReadStatus::TooDeep: return "The rich text nests its groups too deeply";
    case ReadStatus::BadControlWord: return "The rich text holds a control word that is too long";
  }
  return "Unknown rich text error";
}

namespace {

// Where the text of a group goes.
enum class Dest : std::uint8_t { Text, FontTable, ColorTable, Bullet, Skip };

struct State {
  Dest Destination = Dest::Text;
  // While reading, Font holds the font's number as the data gives it (-1:
  // the default font); numbers become table positions once all is read.
  CharFormat Char;
  ParaFormat Para;
  int UnicodeSkip = 1;  // \uc: fallback characters after each \u
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

// Groups that hold no text of the document even when not marked "\*".
bool IsSkippedDestination(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "stylesheet", "info",    "pict",    "object",  "header",  "headerl",  "headerr", "headerf",
      "footer",     "footerl", "footerr", "footerf", "footnote", "pntext", "pntxta",  "pntxtb",
      "fldinst"};
  return std::find(std::begin(kWords), std::end(kWords), word) != std::end(kWords);
}

// Named characters of 1252 that writers often spell as control words.
int NamedCharacter(std::string_view word) {
  static constexpr std::pair<std::string_view, unsigned char> kNames[] = {
      {"emdash", 0x97},   {"endash", 0x96},   {"lquote", 0x91}, {"rquote", 0x92},
      {"ldblquote", 0x93}, {"rdblquote", 0x94}, {"bullet", 0x95}};
  for (const auto& [name, byte] : kNames)
    if (name == word) return byte;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}

  ReadStatus Read(Document& out) {
    if (!data_.starts_with("{\\rtf")) return ReadStatus::NotRtf;
    while (pos_ < data_.size() && !done_) {
      const char c = data_[pos_];
      ReadStatus status = ReadStatus::Ok;
      switch (c) {
        case '{': status = OpenGroup(); break;
        case '}': CloseGroup(); break;
        case '\\': status = Control(); break;
        case '\r':
        case '\n': ++pos_; break;
        default:
          ++pos_;
          PlainByte(c);
          break;
      }
      if (status != ReadStatus::Ok) return status;
    }
    Finish();
    out = std::move(doc_);
    return ReadStatus::Ok;
  }

 private:
  State& Current() { return stack_.back(); }

  // "\*" marks the group it stands in as one that may be skipped unless the
  // next control word names a destination this reader knows.
  void SettleStar() {
    if (!star_) return;
    star_ = false;
    Current().Destination = Dest::Skip;
  }

  ReadStatus OpenGroup() {
    ++pos_;
    if (!stack_.empty()) SettleStar();
    unicodeFallback_ = 0;
    if (static_cast<int>(stack_.size()) >= kMaxDepth) return ReadStatus::TooDeep;
    stack_.push_back(stack_.empty() ? State{} : stack_.back());
    return ReadStatus::Ok;
  }

  void CloseGroup() {
    ++pos_;
    star_ = false;
    unicodeFallback_ = 0;
    const State& closing = stack_.back();
    if (closing.Destination == Dest::FontTable && fontPending_) CommitFont();
    if (closing.Destination == Dest::ColorTable && colorPending_) CommitColor();
    if (stack_.size() == 1) {
      lastPara_ = closing.Para;
      done_ = true;
    }
    stack_.pop_back();
  }

  ReadStatus Control() {
    ++pos_;
    if (pos_ >= data_.size()) return ReadStatus::Ok;
    const char c = data_[pos_];
    if (IsLetter(c)) return ControlWord();
    ++pos_;
    if (c == '*') {
      star_ = true;
      return ReadStatus::Ok;
    }
    SettleStar();
    if (c == '\'') {
      int value = 0, digits = 0;
      while (digits < 2 && pos_ < data_.size() && HexValue(data_[pos_]) >= 0) {
        value = value * 16 + HexValue(data_[pos_++]);
        ++digits;
      }
      // A cut-off escape stands for nothing.
      if (digits == 2) Character(static_cast<char>(value));
      else if (unicodeFallback_ > 0) --unicodeFallback_;
      return ReadStatus::Ok;
    }
    if (unicodeFallback_ > 0) {
      --unicodeFallback_;
      return ReadStatus::Ok;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}': Character(c); break;
      case '~': Character(static_cast<char>(0xA0)); break;
      case '_': Character('-'); break;
      case '\r':
      case '\n': EndParagraph(); break;
      default: break;  // optional hyphens and the like show nothing
    }
    return ReadStatus::Ok;
  }

  ReadStatus ControlWord() {
    const std::size_t start = pos_;
    while (pos_ < data_.size() && IsLetter(data_[pos_])) {
      if (pos_ - start >= static_cast<std::size_t>(kMaxWordLength)) return ReadStatus::BadControlWord;
      ++pos_;
    }
    const std::string_view word = data_.substr(start, pos_ - start);
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    // Digits beyond the range saturate; reading them all keeps the parse
    // in step with the data.
    while (pos_ < data_.size() && IsDigit(data_[pos_])) {
      hasParam = true;
      value = std::min<long long>(value * 10 + (data_[pos_++] - '0'), INT_MAX);
    }
    if (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
    const int param = static_cast<int>(negative ? -value : value);
    Apply(word, hasParam, param);
    return ReadStatus::Ok;
  }

  void Apply(std::string_view word, bool hasParam, int param) {
    if (word == "bin") {
      // Binary data is never text; it may hold braces and backslashes.
      const std::size_t count = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
      pos_ += std::min(count, data_.size() - pos_);
      if (unicodeFallback_ > 0) --unicodeFallback_;
      return;
    }
    if (unicodeFallback_ > 0) {
      --unicodeFallback_;
      return;
    }
    State& state = Current();
    if (star_) {
      star_ = false;
      if (word == "pn" && state.Destination != Dest::Skip) {
        StartBullet();
        return;
      }
      state.Destination = Dest::Skip;
      return;
    }
    if (state.Destination == Dest::Skip) return;
    if (word == "uc") {
      state.UnicodeSkip = Clamp(hasParam ? param : 1, 0, 255);
      return;
    }
    if (word == "u") {
      if (hasParam) Unicode(param);
      return;
    }
    if (IsSkippedDestination(word)) {
      state.Destination = Dest::Skip;
      return;
    }
    switch (state.Destination) {
      case Dest::Text: TextWord(word, hasParam, param); break;
      case Dest::FontTable:
        if (word == "f") {
          if (fontPending_) CommitFont();
          fontPending_ = true;
          fontNumber_ = hasParam ? param : -1;
        }
        break;
      case Dest::ColorTable:
        if (word == "red" || word == "green" || word == "blue") {
          const int component = Clamp(hasParam ? param : 0, 0, 255);
          if (word == "red") red_ = component;
          else if (word == "green") green_ = component;
          else blue_ = component;
          colorPending_ = true;
          colorGiven_ = true;
        }
        break;
      case Dest::Bullet:
      case Dest::Skip: break;
    }
  }

  void TextWord(std::string_view word, bool hasParam, int param) {
    State& state = Current();
    CharFormat& ch = state.Char;
    ParaFormat& para = state.Para;
    const bool on = !hasParam || param != 0;
    if (word == "fonttbl") state.Destination = Dest::FontTable;
    else if (word == "colortbl") state.Destination = Dest::ColorTable;
    else if (word == "pn") StartBullet();
    else if (word == "deff") defaultFont_ = hasParam ? param : 0;
    else if (word == "pard") para = ParaFormat{};
    // A page or section ends the paragraph before it as well; the text on
    // either side never runs together.
    else if (word == "par" || word == "page" || word == "sect") EndParagraph();
    else if (word == "line") Character('\v');
    else if (word == "tab") Character('\t');
    else if (word == "plain") ch = CharFormat{};
    else if (word == "f") ch.Font = hasParam && param >= 0 ? param : -1;
    else if (word == "fs") ch.Size = hasParam ? Clamp(param, 1, kMaxSize) : kDefaultSize;
    else if (word == "b") ch.Bold = on;
    else if (word == "i") ch.Italic = on;
    else if (word == "ul") ch.Underline = on;
    else if (word == "ulnone") ch.Underline = false;
    else if (word == "strike") ch.StrikeOut = on;
    else if (word == "protect") ch.Protected = on;
    else if (word == "cf") ch.Color = hasParam ? std::max(param, 0) : 0;
    else if (word == "highlight") ch.Highlight = hasParam ? std::max(param, 0) : 0;
    else if (word == "ql") para.Align = Alignment::Left;
    else if (word == "qc") para.Align = Alignment::Center;
    else if (word == "qr") para.Align = Alignment::Right;
    else if (word == "qj") para.Align = Alignment::Justify;
    else if (word == "li") para.LeftIndent = Twips(hasParam, param);
    else if (word == "ri") para.RightIndent = Twips(hasParam, param);
    else if (word == "fi") para.FirstIndent = Twips(hasParam, param);
    else if (word == "tx") {
      if (hasParam && para.Tabs.size() < kMaxTabs) para.Tabs.push_back(Clamp(param, 0, kMaxTwips));
    } else if (const int named = NamedCharacter(word); named >= 0) {
      Character(static_cast<char>(named));
    }
  }

  static int Twips(bool hasParam, int param) { return hasParam ? Clamp(param, -kMaxTwips, kMaxTwips) : 0; }

  // The bullet belongs to the paragraph state of the group around "{\*\pn".
  void StartBullet() {
    Current().Destination = Dest::Bullet;
    Current().Para.Bullets = Numbering::Bullet;
    if (stack_.size() >= 2) stack_[stack_.size() - 2].Para.Bullets = Numbering::Bullet;
  }

  void Unicode(int param) {
    // Parameters are signed 16-bit: code points above 32767 come negative.
    const long long code = param < 0 ? static_cast<long long>(param) + 65536 : param;
    const bool high = code >= 0xD800 && code <= 0xDBFF;
    const bool low = code >= 0xDC00 && code <= 0xDFFF;
    if (low && afterHighSurrogate_) {
      // The second half of a pair whose '?' is already written.
      afterHighSurrogate_ = false;
    } else {
      int byte = code >= 0 && code <= 0xFFFF && !high && !low ? cp1252::FromUnicode(static_cast<char32_t>(code)) : -1;
      Character(static_cast<char>(byte < 0 ? '?' : byte));
      afterHighSurrogate_ = high;
    }
    unicodeFallback_ = Current().UnicodeSkip;
  }

  void PlainByte(char c) {
    SettleStar();
    if (unicodeFallback_ > 0) {
      --unicodeFallback_;
      return;
    }
    const Dest dest = Current().Destination;
    if (c == ';' && dest == Dest::FontTable) {
      CommitFont();
      return;
    }
    if (c == ';' && dest == Dest::ColorTable) {
      CommitColor();
      return;
    }
    Character(c);
  }

  // One character of text, wherever the current group's text goes.
  void Character(char c) {
    if (unicodeFallback_ > 0) {
      --unicodeFallback_;
      return;
    }
    afterHighSurrogate_ = false;
    const State& state = Current();
    switch (state.Destination) {
      case Dest::Text: {
        std::vector<Run>& runs = para_.Runs;
        if (runs.empty() || !(runs.back().Format == state.Char)) runs.push_back(Run{state.Char, {}});
        runs.back().Text.push_back(c);
        break;
      }
      case Dest::FontTable:
        fontPending_ = true;
        if (fontName_.size() < kMaxFontName) fontName_.push_back(c);
        break;
      case Dest::ColorTable:
      case Dest::Bullet:
      case Dest::Skip: break;
    }
  }

  void EndParagraph() {
    if (Current().Destination != Dest::Text) return;
    para_.Format = Current().Para;
    doc_.Paragraphs.push_back(std::move(para_));
    para_ = Paragraph{};
  }

  void CommitFont() {
    const int position = static_cast<int>(doc_.Fonts.size());
    doc_.Fonts.push_back(Font{std::move(fontName_)});
    // The first entry with a number keeps it.
    if (fontNumber_ >= 0) fontNumbers_.emplace(fontNumber_, position);
    fontPending_ = false;
    fontNumber_ = -1;
    fontName_.clear();
  }

  void CommitColor() {
    ColorEntry entry;
    entry.Automatic = !colorGiven_;
    if (colorGiven_) entry.Color = red_ | (green_ << 8) | (blue_ << 16);
    doc_.Colors.push_back(entry);
    colorPending_ = colorGiven_ = false;
    red_ = green_ = blue_ = 0;
  }

  int FontPosition(int number) const {
    const auto at = fontNumbers_.find(number);
    return at != fontNumbers_.end() ? at->second : -1;
  }

  // Font numbers become positions (an unknown one the default font),
  // colours outside the table the automatic one, and runs that now look
  // alike become one.
  void Finish() {
    if (!stack_.empty()) lastPara_ = stack_.front().Para;
    para_.Format = lastPara_;
    doc_.Paragraphs.push_back(std::move(para_));
    doc_.DefaultFont = FontPosition(defaultFont_);
    const int colors = static_cast<int>(doc_.Colors.size());
    for (Paragraph& paragraph : doc_.Paragraphs) {
      std::vector<Run> merged;
      for (Run& run : paragraph.Runs) {
        CharFormat& f = run.Format;
        const int position = f.Font >= 0 ? FontPosition(f.Font) : -1;
        f.Font = position >= 0 ? position : doc_.DefaultFont;
        if (f.Color >= colors) f.Color = 0;
        if (f.Highlight >= colors) f.Highlight = 0;
        if (run.Text.empty()) continue;
        if (!merged.empty() && merged.back().Format == f) merged.back().Text += run.Text;
        else merged.push_back(std::move(run));
      }
      paragraph.Runs = std::move(merged);
    }
  }

  std::string_view data_;
  std::size_t pos_ = 0;
  bool done_ = false;
  std::vector<State> stack_;
  bool star_ = false;
  int unicodeFallback_ = 0;
  bool afterHighSurrogate_ = false;

  Document doc_;
  Paragraph para_;
  ParaFormat lastPara_;
  int defaultFont_ = 0;

  std::unordered_map<int, int> fontNumbers_;  // number to position
  bool fontPending_ = false;
  int fontNumber_ = -1;
  AnsiString fontName_;

  bool colorPending_ = false;
  bool colorGiven_ = false;
  int red_ = 0, green_ = 0, blue_ = 0;
};

// --- writing ---

void WriteHex(AnsiString& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\'";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 15];
}

void WriteText(AnsiString& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\v') {
      out += "\\line ";
    } else if (byte < 0x20 || byte >= 0x7F) {
      WriteHex(out, byte);
    } else {
      out += c;
    }
  }
}

// Font names end at a plain ';' and know no tab or line.
void WriteName(AnsiString& out, std::string_view name) {
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == ';' || byte < 0x20 || byte >= 0x7F) {
      WriteHex(out, byte);
    } else {
      out += c;
    }
  }
}

void WriteWord(AnsiString& out, std::string_view word, int value) {
  out += '\\';
  out += word;
  out += std::to_string(value);
}

void WriteFlag(AnsiString& out, bool on, std::string_view word) {
  if (on) {
    out += '\\';
    out += word;
  }
}

}  // namespace

ReadStatus Read(std::string_view Data, Document& Out) { return Reader(Data).Read(Out); }

AnsiString Write(const Document& Doc) {
  AnsiString out = "{\\rtf1\\ansi\\ansicpg1252";
  // A default font the table lacks is named by a number no entry has.
  WriteWord(out, "deff", Doc.DefaultFont >= 0 ? Doc.DefaultFont : static_cast<int>(Doc.Fonts.size()));
  if (!Doc.Fonts.empty()) {
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < Doc.Fonts.size(); ++i) {
      out += '{';
      WriteWord(out, "f", static_cast<int>(i));
      out += ' ';
      WriteName(out, Doc.Fonts[i].Name);
      out += ";}";
    }
    out += '}';
  }
  if (!Doc.Colors.empty()) {
    out += "{\\colortbl";
    for (const ColorEntry& entry : Doc.Colors) {
      if (!entry.Automatic) {
        WriteWord(out, "red", entry.Color & 0xFF);
        WriteWord(out, "green", (entry.Color >> 8) & 0xFF);
        WriteWord(out, "blue", (entry.Color >> 16) & 0xFF);
      }
      out += ';';
    }
    out += '}';
  }
  out += "\r\n";
  for (std::size_t p = 0; p < Doc.Paragraphs.size(); ++p) {
    const Paragraph& paragraph = Doc.Paragraphs[p];
    const ParaFormat& para = paragraph.Format;
    out += "\\pard";
    switch (para.Align) {
      case Alignment::Left: break;
      case Alignment::Center: out += "\\qc"; break;
      case Alignment::Right: out += "\\qr"; break;
      case Alignment::Justify: out += "\\qj"; break;
    }
    if (para.LeftIndent != 0) WriteWord(out, "li", para.LeftIndent);
    if (para.RightIndent != 0) WriteWord(out, "ri", para.RightIndent);
    if (para.FirstIndent != 0) WriteWord(out, "fi", para.FirstIndent);
    for (const int tab : para.Tabs) WriteWord(out, "tx", tab);
    if (para.Bullets == Numbering::Bullet) out += "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}";
    for (const Run& run : paragraph.Runs) {
      const CharFormat& f = run.Format;
      out += "\\plain";
      if (f.Font >= 0 && f.Font != Doc.DefaultFont) WriteWord(out, "f", f.Font);
      if (f.Size != kDefaultSize) WriteWord(out, "fs", f.Size);
      WriteFlag(out, f.Bold, "b");
      WriteFlag(out, f.Italic, "i");
      WriteFlag(out, f.Underline, "ul");
      WriteFlag(out, f.StrikeOut, "strike");
      WriteFlag(out, f.Protected, "protect");
      if (f.Color != 0) WriteWord(out, "cf", f.Color);
      if (f.Highlight != 0) WriteWord(out, "highlight", f.Highlight);
      out += ' ';
      WriteText(out, run.Text);
    }
    if (p + 1 < Doc.Paragraphs.size()) out += "\\par\r\n";
  }
  out += "}";
  return out;
}

}  // namespace orv::rtf
