#include "library/editors/core/cxRegExpr.h"

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxRegExprTree.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TcxRegExprError)
ORV_REGISTER(EcxRegExprError)
ORV_REGISTER(TcxRegExpr)

namespace {

// Masks come from developers but also reach filter editors from data, so a
// compile refuses what would exhaust memory or the stack.
constexpr int kMaxQuantifierCopies = 1000;
constexpr int kMaxStates = 100000;
constexpr int kMaxDepth = 1000;

AnsiString Text(const TResStringRec& rec) { return cxEditResString(rec); }
AnsiString Text(const TResStringRec& rec, const AnsiString& arg) { return Format(cxEditResString(rec), {arg}); }

AnsiString JoinMessages(const TcxRegExprErrors& errors) {
  AnsiString s;
  for (int i = 0; i < errors.Count(); ++i) {
    if (i) s += "\r\n";
    s += errors.Items(i).GetFullMessage();
  }
  return s;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

}  // namespace

AnsiString TcxRegExprError::GetFullMessage() const {
  if (FLine <= 0) return FMessage;
  AnsiString s = Text(scxRegExprLine) + IntToStr(FLine);
  if (FChar > 0) s += ", " + Text(scxRegExprChar) + IntToStr(FChar);
  return s + ": " + FMessage;
}

EcxRegExprError::EcxRegExprError(const TcxRegExprErrors& AErrors)
    : EcxEditError(JoinMessages(AErrors)), FErrors(AErrors.Clone()) {}

// --- Scanner and parser -----------------------------------------------------

class TcxRegExprParser {
 public:
  explicit TcxRegExprParser(TcxRegExpr& AOwner) : FOwner(AOwner), FText(AOwner.FPattern) {}

  void Scan();
  std::unique_ptr<TcxRegExprParserAlts> Parse();

 private:
  // Scanner.
  bool AtEnd() const { return FPos >= FText.size(); }
  char Peek() const { return FText[FPos]; }
  char ReadChar();
  void AddLexem(TcxRegExprLexemCode code, const AnsiString& value, int line, int ch) {
    FOwner.FLexems.Add(TcxLexem{ch, code, line, value});
  }
  void AddLexem(TcxRegExprLexemCode code, const AnsiString& value) { AddLexem(code, value, FLine, FChar); }
  void AddError(int line, int ch, const AnsiString& message) { FOwner.FErrors.Add(TcxRegExprError(line, ch, message)); }
  void AddErrorHere(const AnsiString& message) { AddError(FLine, FChar, message); }
  void AddErrorAfterEnd(const AnsiString& message) { AddError(FLine, FChar + 1, message); }
  void ScanEscape();
  void ScanString();
  void ScanClass();
  void ScanQuantifier();

  // Parser.
  enum class AltEnd { End, Bar, Close };
  bool LexAtEnd() const { return FIndex >= FOwner.FLexems.Count(); }
  const TcxLexem& Cur() const { return FOwner.FLexems[FIndex]; }
  static bool IsSpecial(const TcxLexem& l, char c) { return l.Code == relcSpecial && l.Value[0] == c; }
  void AddError(const TcxLexem& l, const AnsiString& message) { AddError(l.Line, l.Char, message); }
  void ParseAlts(TcxRegExprParserAlts& alts, bool inGroup);
  AltEnd ParseAlt(TcxRegExprParserAlt& alt, bool inGroup);
  void ParseGroup(const TcxLexem& open, TcxRegExprParserAlt& alt);
  void ParseEnumeration(TcxRegExprParserAlt& alt);
  void ApplyQuantifier(const TcxLexem& l, TcxRegExprParserAlt& alt);
  void ApplyCountedQuantifier(const TcxLexem& open, TcxRegExprParserAlt& alt);
  void AddReference(const TcxLexem& l, TcxRegExprParserAlt& alt);
  std::unique_ptr<TcxRegExprItem> MakeItem(const TcxLexem& l) const;
  std::unique_ptr<TcxRegExprParserItem> MakeSimpleItem(std::unique_ptr<TcxRegExprItem> item) {
    ++FStates;
    return std::make_unique<TcxRegExprParserSimpleItem>(std::make_unique<TcxRegExprSimpleState>(std::move(item)));
  }
  void Retire(std::unique_ptr<TcxRegExprParserItem> item) { FRetired.push_back(std::move(item)); }

  TcxRegExpr& FOwner;
  const AnsiString& FText;
  std::size_t FPos = 0;
  int FLine = 1;
  int FChar = 0;
  int FIndex = 0;
  int FStates = 0;
  // Groups by their opening parenthesis, for references. A group replaced
  // by a quantifier's copies is kept in FRetired so references still reach
  // its pattern.
  std::vector<TcxRegExprParserBlockItem*> FBlocks;
  std::vector<std::unique_ptr<TcxRegExprParserItem>> FRetired;
};

char TcxRegExprParser::ReadChar() {
  char c = FText[FPos++];
  if (c == '\r') ++FLine;
  if (c == '\n')
    FChar = 0;
  else
    ++FChar;
  return c;
}

void TcxRegExprParser::Scan() {
  int depth = 0;
  bool tooDeep = false;
  while (!AtEnd()) {
    char c = ReadChar();
    if (cxRegExprIsSpace(c)) continue;
    switch (c) {
      case '(':
        AddLexem(relcSpecial, "(");
        if (++depth > kMaxDepth && !tooDeep) {
          tooDeep = true;
          AddErrorHere(Format(Text(scxRegExprTooDeepNesting), {kMaxDepth}));
        }
        break;
      case ')':
        AddLexem(relcSpecial, ")");
        --depth;
        break;
      case '*': case '+': case '?': case '|':
        AddLexem(relcSpecial, AnsiString(1, c));
        break;
      case '{':
        AddLexem(relcSpecial, "{");
        ScanQuantifier();
        break;
      case '[':
        AddLexem(relcSpecial, "[");
        ScanClass();
        break;
      case '\\': ScanEscape(); break;
      case '\'': ScanString(); break;
      case '.': AddLexem(relcAll, "."); break;
      case '/': AddLexem(relcDateSeparator, "/"); break;
      case ':': AddLexem(relcTimeSeparator, ":"); break;
      default: AddLexem(relcSymbol, AnsiString(1, c)); break;
    }
  }
  if (depth > 0) AddError(0, 0, Text(scxRegExprMissing, ")"));
  if (depth < 0) AddError(0, 0, Text(scxRegExprUnnecessary, ")"));
}

void TcxRegExprParser::ScanEscape() {
  const int line = FLine, pos = FChar;
  if (AtEnd()) return;  // a backslash at the very end stands for nothing
  char c = ReadChar();
  auto add = [&](TcxRegExprLexemCode code, const AnsiString& value) { AddLexem(code, value, line, pos); };
  switch (c) {
    case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
      add(relcReference, AnsiString(1, c));
      return;
    case 'd': add(relcDigit, "d"); return;
    case 'D': add(relcNotDigit, "D"); return;
    case 'w': add(relcId, "w"); return;
    case 'W': add(relcNotId, "W"); return;
    case 's': add(relcSpace, "s"); return;
    case 'S': add(relcNotSpace, "S"); return;
    case 't': add(relcSymbol, "\t"); return;
    case 'n': add(relcSymbol, "\n"); return;
    case 'r': add(relcSymbol, "\r"); return;
    case 'f': add(relcSymbol, "\f"); return;
    case 'a': add(relcSymbol, "\a"); return;
    case 'e': add(relcSymbol, "\x1B"); return;
    case 'p': add(relcSymbol, AnsiString(1, FormatSettings().DecimalSeparator)); return;
    case 'x': {
      int code = 0;
      for (int k = 0; k < 2; ++k) {
        if (AtEnd()) {
          AddErrorAfterEnd(Text(scxRegExprHexNumberExpected0));
          return;
        }
        char h = ReadChar();
        if (!IsHex(h)) {
          AddErrorHere(Text(scxRegExprHexNumberExpected, AnsiString(1, h)));
          return;
        }
        code = code * 16 + HexValue(h);
      }
      add(relcSymbol, AnsiString(1, static_cast<char>(code)));
      return;
    }
    default:
      if (cxRegExprIsSpace(c))
        AddErrorHere(Text(scxRegExprIncorrectSpace));
      else
        add(relcSymbol, AnsiString(1, c));
  }
}

void TcxRegExprParser::ScanString() {
  while (!AtEnd()) {
    char c = ReadChar();
    if (c == '\'') {
      if (AtEnd() || Peek() != '\'') return;
      ReadChar();
    }
    AddLexem(relcSymbol, AnsiString(1, c));
  }
  AddErrorAfterEnd(Text(scxRegExprMissing, " ' "));
}

void TcxRegExprParser::ScanClass() {
  bool first = true;
  for (;;) {
    if (AtEnd()) {
      AddErrorAfterEnd(Text(scxRegExprMissing, "]"));
      return;
    }
    char c = ReadChar();
    if (cxRegExprIsSpace(c)) continue;
    const bool atFirst = first;
    first = false;
    switch (c) {
      case ']': AddLexem(relcSpecial, "]"); return;
      case '\\': ScanEscape(); continue;
      case '\'': ScanString(); continue;
      case '/': AddLexem(relcDateSeparator, "/"); continue;
      case ':': AddLexem(relcTimeSeparator, ":"); continue;
      default: break;
    }
    if (atFirst && c == '^') {
      AddLexem(relcSpecial, "^");
    } else if (!atFirst && c == '-') {
      // A dash before the closing bracket is itself; elsewhere a range.
      std::size_t look = FPos;
      while (look < FText.size() && cxRegExprIsSpace(FText[look])) ++look;
      AddLexem(look < FText.size() && FText[look] == ']' ? relcSymbol : relcSpecial, "-");
    } else {
      AddLexem(relcSymbol, AnsiString(1, c));
    }
  }
}

void TcxRegExprParser::ScanQuantifier() {
  for (;;) {
    if (AtEnd()) {
      AddErrorAfterEnd(Text(scxRegExprMissing, "}"));
      return;
    }
    char c = ReadChar();
    if (cxRegExprIsSpace(c)) continue;
    if (c >= '0' && c <= '9') {
      const int line = FLine, pos = FChar;
      AnsiString digits(1, c);
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') digits += ReadChar();
      AddLexem(relcInteger, digits, line, pos);
    } else if (c == ',') {
      AddLexem(relcSpecial, ",");
    } else if (c == '}') {
      AddLexem(relcSpecial, "}");
      return;
    } else {
      AddErrorHere(Text(scxRegExprIllegalSymbol, c == '\'' ? AnsiString(" ' ") : AnsiString(1, c)));
    }
  }
}

std::unique_ptr<TcxRegExprParserAlts> TcxRegExprParser::Parse() {
  auto tree = std::make_unique<TcxRegExprParserAlts>();
  ParseAlts(*tree, false);
  return tree;
}

void TcxRegExprParser::ParseAlts(TcxRegExprParserAlts& alts, bool inGroup) {
  while (ParseAlt(alts.AddAlt(), inGroup) == AltEnd::Bar) {
  }
}

std::unique_ptr<TcxRegExprItem> TcxRegExprParser::MakeItem(const TcxLexem& l) const {
  switch (l.Code) {
    case relcAll: return std::make_unique<TcxRegExprAll>();
    case relcId: return std::make_unique<TcxRegExprIdLetter>(false);
    case relcNotId: return std::make_unique<TcxRegExprIdLetter>(true);
    case relcDigit: return std::make_unique<TcxRegExprDigit>(false);
    case relcNotDigit: return std::make_unique<TcxRegExprDigit>(true);
    case relcSpace: return std::make_unique<TcxRegExprSpace>(false);
    case relcNotSpace: return std::make_unique<TcxRegExprSpace>(true);
    case relcDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
    case relcTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
    default: return std::make_unique<TcxRegExprSymbol>(l.Value.empty() ? '\0' : l.Value[0]);
  }
}

TcxRegExprParser::AltEnd TcxRegExprParser::ParseAlt(TcxRegExprParserAlt& alt, bool inGroup) {
  if (LexAtEnd()) {
    AddError(0, 0, Text(scxRegExprCantCreateEmptyAlt));
    return AltEnd::End;
  }
  if (IsSpecial(Cur(), '|')) {
    AddError(Cur(), Text(scxRegExprCantCreateEmptyAlt));
    ++FIndex;
    return AltEnd::Bar;
  }
  if (inGroup && IsSpecial(Cur(), ')')) {
    AddError(Cur(), Text(scxRegExprCantCreateEmptyBlock));
    ++FIndex;
    return AltEnd::Close;
  }
  while (!LexAtEnd()) {
    const TcxLexem& l = Cur();
    ++FIndex;
    switch (l.Code) {
      case relcSpecial:
        switch (l.Value[0]) {
          case '|': return AltEnd::Bar;
          case ')':
            if (inGroup) return AltEnd::Close;
            AddError(l, Text(scxRegExprIllegalSymbol, l.Value));
            break;
          case '(': ParseGroup(l, alt); break;
          case '[': ParseEnumeration(alt); break;
          case '*': case '+': case '?': ApplyQuantifier(l, alt); break;
          case '{': ApplyCountedQuantifier(l, alt); break;
          case ',': break;
          default: AddError(l, Text(scxRegExprIllegalSymbol, l.Value)); break;
        }
        break;
      case relcInteger: AddError(l, Text(scxRegExprIllegalIntegerValue)); break;
      case relcReference: AddReference(l, alt); break;
      default: alt.Add(MakeSimpleItem(MakeItem(l))); break;
    }
  }
  return AltEnd::End;
}

void TcxRegExprParser::ParseGroup(const TcxLexem& open, TcxRegExprParserAlt& alt) {
  auto block = std::make_unique<TcxRegExprParserBlockItem>();
  FBlocks.push_back(block.get());
  ParseAlts(block->Alts(), true);
  block->Measure();
  if (block->Depth > kMaxDepth) {
    AddError(open, Format(Text(scxRegExprTooDeepNesting), {kMaxDepth}));
    Retire(std::move(block));
    return;
  }
  alt.Add(std::move(block));
}

void TcxRegExprParser::ParseEnumeration(TcxRegExprParserAlt& alt) {
  bool inverse = false;
  if (!LexAtEnd() && IsSpecial(Cur(), '^')) {
    inverse = true;
    ++FIndex;
  }
  if (!LexAtEnd() && IsSpecial(Cur(), ']')) {
    AddError(Cur(), Text(scxRegExprCantCreateEmptyEnum));
    ++FIndex;
    return;
  }
  auto isElement = [](const TcxLexem& l) { return l.Code != relcSpecial; };
  auto enumeration = std::make_unique<TcxRegExprUserEnumeration>(inverse);
  const int count = FOwner.FLexems.Count();
  while (!LexAtEnd()) {
    const TcxLexem& l = Cur();
    ++FIndex;
    if (IsSpecial(l, ']')) break;
    if (!isElement(l)) {
      AddError(l, Text(scxRegExprIllegalSymbol, l.Value));
      continue;
    }
    if (FIndex + 1 < count && IsSpecial(Cur(), '-') && isElement(FOwner.FLexems[FIndex + 1])) {
      const TcxLexem& last = FOwner.FLexems[FIndex + 1];
      FIndex += 2;
      const char a = l.Value.empty() ? '\0' : l.Value[0];
      const char b = last.Value.empty() ? '\0' : last.Value[0];
      if (static_cast<unsigned char>(a) < static_cast<unsigned char>(b))
        enumeration->Add(std::make_unique<TcxRegExprSubrange>(a, b));
      else
        AddError(last, Text(scxRegExprSubrangeOrder));
      continue;
    }
    enumeration->Add(MakeItem(l));
  }
  alt.Add(MakeSimpleItem(std::move(enumeration)));
}

void TcxRegExprParser::ApplyQuantifier(const TcxLexem& l, TcxRegExprParserAlt& alt) {
  TcxRegExprParserItem* prev = alt.GetLastItem();
  if (!prev) {
    AddError(l, Text(scxRegExprIllegalQuantifier, l.Value));
    return;
  }
  const char c = l.Value[0];
  if (c != '?' && prev->CanEmpty()) {
    AddError(l, Text(c == '+' ? scxRegExprCantUsePlusQuantifier : scxRegExprCantUseStarQuantifier));
    return;
  }
  const TcxRegExprQuantifier q = c == '?' ? rqQuestion : c == '*' ? rqStar : rqPlus;
  if (prev->NotQuantifier()) {
    prev->SetQuantifier(q);
    return;
  }
  if (prev->Depth + 1 > kMaxDepth) {
    AddError(l, Format(Text(scxRegExprTooDeepNesting), {kMaxDepth}));
    return;
  }
  // A second quantifier applies to the quantified item as a whole.
  auto block = std::make_unique<TcxRegExprParserBlockItem>();
  auto* raw = block.get();
  auto held = alt.SetLastItem(std::move(block));
  raw->Alts().AddAlt().Add(std::move(held));
  raw->Measure();
  raw->SetQuantifier(q);
}

void TcxRegExprParser::ApplyCountedQuantifier(const TcxLexem& open, TcxRegExprParserAlt& alt) {
  TcxRegExprParserItem* prev = alt.GetLastItem();
  if (!prev) {
    AddError(open, Text(scxRegExprIncorrectParameterQuantifier));
    return;
  }
  const TcxLexem* last = &open;
  auto next = [&]() -> const TcxLexem* {
    if (LexAtEnd()) return nullptr;
    last = &Cur();
    ++FIndex;
    return last;
  };
  auto fail = [&] { AddError(*last, Text(scxRegExprIncorrectParameterQuantifier)); };
  const TcxLexem* l = next();
  if (!l || l->Code != relcInteger) return fail();
  const int n = StrToInt(l->Value);
  int m = n;
  bool orMore = false;
  l = next();
  if (!l || l->Code != relcSpecial) return fail();
  if (l->Value == ",") {
    l = next();
    if (!l) return fail();
    if (IsSpecial(*l, '}')) {
      orMore = true;
    } else if (l->Code == relcInteger) {
      m = StrToInt(l->Value);
      l = next();
      if (!l || !IsSpecial(*l, '}') || m < n) return fail();
    } else {
      return fail();
    }
  } else if (l->Value != "}") {
    return fail();
  }
  if (prev->CanMissing()) {
    AddError(open, Text(scxRegExprCantUseParameterQuantifier));
    return;
  }
  const Int64 copies = orMore ? Int64(n) + 1 : m;
  if (copies > kMaxQuantifierCopies || FStates + copies * prev->StateCount() > kMaxStates) {
    AddError(open, Format(Text(scxRegExprTooLargeQuantifier), {kMaxQuantifierCopies}));
    return;
  }
  if (prev->Depth + 1 + (m - n) > kMaxDepth) {
    AddError(open, Format(Text(scxRegExprTooDeepNesting), {kMaxDepth}));
    return;
  }
  FStates += static_cast<int>(copies * prev->StateCount());
  auto block = std::make_unique<TcxRegExprParserBlockItem>();
  TcxRegExprParserAlt& body = block->Alts().AddAlt();
  for (int i = 0; i < n; ++i) body.Add(prev->Clone());
  if (orMore) {
    auto star = prev->Clone();
    star->SetQuantifier(rqStar);
    body.Add(std::move(star));
  } else if (m > n) {
    // x{2,4} is x x (x x?)?: built from the innermost optional copy out.
    std::unique_ptr<TcxRegExprParserItem> chain = prev->Clone();
    chain->SetQuantifier(rqQuestion);
    for (int r = 2; r <= m - n; ++r) {
      auto outer = std::make_unique<TcxRegExprParserBlockItem>();
      TcxRegExprParserAlt& a = outer->Alts().AddAlt();
      a.Add(prev->Clone());
      a.Add(std::move(chain));
      outer->Measure();
      outer->SetQuantifier(rqQuestion);
      chain = std::move(outer);
    }
    body.Add(std::move(chain));
  }
  block->Measure();
  Retire(alt.SetLastItem(std::move(block)));
}

void TcxRegExprParser::AddReference(const TcxLexem& l, TcxRegExprParserAlt& alt) {
  const std::size_t k = static_cast<std::size_t>(l.Value[0] - '0');
  if (k > FBlocks.size()) {
    AddError(l, Text(scxRegExprTooBigReferenceNumber));
    return;
  }
  TcxRegExprParserBlockItem* group = FBlocks[k - 1];
  // A group still open has not been measured yet.
  group->Measure();
  if (FStates + group->StateCount() > kMaxStates || group->Depth > kMaxDepth) {
    AddError(l, Text(scxRegExprTooLargeReference));
    return;
  }
  FStates += group->StateCount();
  alt.Add(group->Clone());
}

// --- TcxRegExpr -------------------------------------------------------------

TcxRegExpr::TcxRegExpr() = default;
TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Clear() {
  FAutomat.reset();
  FCompiled = false;
  FErrors.Clear();
  FLexems.Clear();
  FPattern.clear();
}

void TcxRegExpr::RaiseErrors() {
  FLexems.Clear();
  throw EcxRegExprError(FErrors);
}

void TcxRegExpr::Compile(TStream* AStream) {
  if (!FFirstCompile) Clear();
  FFirstCompile = false;
  if (!AStream) {
    FErrors.Add(TcxRegExprError(0, 0, Text(scxRegExprNotAssignedSourceStream)));
    RaiseErrors();
  }
  const Int64 size = AStream->GetSize() - AStream->GetPosition();
  FPattern.resize(static_cast<std::size_t>(size > 0 ? size : 0));
  if (!FPattern.empty()) AStream->ReadBuffer(FPattern.data(), static_cast<Int64>(FPattern.size()));
  bool blank = true;
  for (char c : FPattern)
    if (!cxRegExprIsSpace(c)) blank = false;
  if (blank) {
    FErrors.Add(TcxRegExprError(0, 0, Text(scxRegExprEmptySourceStream)));
    RaiseErrors();
  }
  TcxRegExprParser parser(*this);
  parser.Scan();
  if (FErrors.Count()) RaiseErrors();
  std::unique_ptr<TcxRegExprParserAlts> tree = parser.Parse();
  if (FErrors.Count()) RaiseErrors();
  FAutomat = std::make_unique<TcxRegExprAutomat>(std::move(tree), this);
  FCompiled = true;
  if (FUpdateOn) FAutomat->Update();
}

void TcxRegExpr::CheckCompiled() const {
  if (!FCompiled) throw EcxEditError(cxEditResString(scxRegExprNotCompiled));
}

bool TcxRegExpr::Next(char& ch) {
  CheckCompiled();
  if (!FAutomat->Next(ch, FCaseInsensitive)) return false;
  if (FUpdateOn && !FAutomat->IsFinal()) FAutomat->Update();
  return true;
}

AnsiString TcxRegExpr::NextEx(const AnsiString& AText) {
  CheckCompiled();
  AnsiString taken;
  taken.reserve(AText.size());
  for (char c : AText)
    if (FAutomat->Next(c, FCaseInsensitive)) taken += c;
  return taken;
}

bool TcxRegExpr::Prev() {
  CheckCompiled();
  if (FUpdateOn) FAutomat->ReUpdate();
  return FAutomat->Prev();
}

void TcxRegExpr::Reset() {
  CheckCompiled();
  FAutomat->Reset();
}

bool TcxRegExpr::IsStart() const {
  CheckCompiled();
  return FAutomat->IsStart();
}

bool TcxRegExpr::IsFinal() const {
  CheckCompiled();
  return FAutomat->IsFinal();
}

void TcxRegExpr::SetUpdateOn(bool AValue) {
  FUpdateOn = AValue;
  if (AValue && FCompiled) FAutomat->Update();
}

AnsiString TcxRegExpr::Print() const { return FAutomat ? FAutomat->Print() : AnsiString(); }

void TcxRegExpr::DoSymbolDelete() {
  if (OnSymbolDelete) OnSymbolDelete();
}

void TcxRegExpr::DoSymbolUpdate(char ASymbol) {
  if (OnSymbolUpdate) OnSymbolUpdate(ASymbol);
}

namespace cxRegExpr {

namespace {
bool WalkText(const AnsiString& AText, const AnsiString& AMask, bool AFull) {
  TcxRegExpr re;
  TStringStream source(AMask);
  re.Compile(&source);
  for (char c : AText)
    if (!re.Next(c)) return false;
  return !AFull || re.IsFinal();
}
}  // namespace

bool IsTextValid(const AnsiString& AText, const AnsiString& AMask) { return WalkText(AText, AMask, false); }
bool IsTextFullValid(const AnsiString& AText, const AnsiString& AMask) { return WalkText(AText, AMask, true); }

}  // namespace cxRegExpr
