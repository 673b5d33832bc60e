// The mask language of regular-expression editors: a small pattern language
// compiled into a nondeterministic automaton over single characters, walked
// one typed character at a time.
//
//   TcxRegExpr re;
//   TStringStream src("\\d\\d/\\d\\d");
//   re.Compile(&src);                 // EcxRegExprError with every error found
//   char ch = '1';
//   re.Next(ch);                      // true: the prefix can still complete
//   re.IsFinal();                     // false until the whole mask matched
//
// There are no anchors and no captures: matching always starts at the
// beginning, Next answers whether the text typed so far is a prefix of some
// match, IsFinal whether it is a whole match. A reference \1..\9 repeats the
// pattern of a parenthesised group, not the text it matched.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "library/editors/core/cxEditErrors.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Streams.h"

enum TcxRegExprLexemCode {
  relcSymbol, relcSpecial, relcInteger, relcAll, relcId, relcNotId, relcDigit, relcNotDigit,
  relcSpace, relcNotSpace, relcReference, relcDateSeparator, relcTimeSeparator
};

struct TcxLexem {
  Integer Char = 0;  // position in the line, the first character being 1
  TcxRegExprLexemCode Code = relcSymbol;
  Integer Line = 0;
  AnsiString Value;
};

class TcxLexems {
 public:
  void Add(const TcxLexem& ALexem) { FItems.push_back(ALexem); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxLexem Items(int AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)); }
  const TcxLexem& operator[](int AIndex) const { return FItems[static_cast<std::size_t>(AIndex)]; }

 private:
  std::vector<TcxLexem> FItems;
};

// One compile error with where it was found (line 0: no place).
class TcxRegExprError : public TObject {
  ORV_CLASS(TcxRegExprError, TObject)
 public:
  TcxRegExprError() = default;
  TcxRegExprError(Integer ALine, Integer AChar, const AnsiString& AMessage)
      : FChar(AChar), FLine(ALine), FMessage(AMessage) {}

  Integer GetChar() const { return FChar; }
  Integer GetLine() const { return FLine; }
  const AnsiString& GetMessage() const { return FMessage; }
  TcxRegExprError Clone() const { return *this; }
  // "Line<n>, Char<m>: <message>", or the message alone without a place.
  AnsiString GetFullMessage() const;

 private:
  Integer FChar = 0;
  Integer FLine = 0;
  AnsiString FMessage;
};

class TcxRegExprErrors {
 public:
  void Add(const TcxRegExprError& AError) { FItems.push_back(AError); }
  void Clear() { FItems.clear(); }
  TcxRegExprErrors Clone() const { return *this; }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TcxRegExprError& Items(int AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)); }

 private:
  std::vector<TcxRegExprError> FItems;
};

// Raised by a failing compile. It holds its own copy of the errors, so it
// stays valid after the compiler that raised it is gone; its message is
// the full messages of the errors, one per line.
class EcxRegExprError : public EcxEditError {
  ORV_CLASS(EcxRegExprError, EcxEditError)
 public:
  EcxRegExprError() = default;
  explicit EcxRegExprError(const TcxRegExprErrors& AErrors);
  const TcxRegExprErrors& GetErrors() const { return FErrors; }
  [[noreturn]] void Raise() const override { throw *this; }

 private:
  TcxRegExprErrors FErrors;
};

class TcxRegExprSimpleState;
class TcxRegExprState;
class TcxRegExprParserAlts;
class TcxRegExpr;

// The walk of the compiled automaton: the set of states reached by the
// characters taken so far, and the sets before each of them.
using TcxRegExprStates = std::vector<TcxRegExprSimpleState*>;

class TcxRegExprAutomat {
 public:
  TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> ATree, TcxRegExpr* AOwner);
  ~TcxRegExprAutomat();
  TcxRegExprAutomat(const TcxRegExprAutomat&) = delete;
  TcxRegExprAutomat& operator=(const TcxRegExprAutomat&) = delete;

  bool Next(char& ch, bool ACaseInsensitive);
  bool Prev();
  void Reset();
  bool IsStart() const;
  bool IsFinal() const;
  // The simple states one character away from the current set.
  void GetAllNextStates(TcxRegExprStates& AResult);
  void Update();
  void ReUpdate();
  AnsiString Print() const;

  const TcxRegExprStates& GetCurrentStates() const { return FCurrent; }
  int GetStackDepth() const { return static_cast<int>(FStackStarts.size()); }
  int GetSimpleStateCount() const { return static_cast<int>(FSimpleStates.size()); }

  // Forced character test of a state set: every member stands for the same
  // literal character (a symbol or a separator).
  static bool Equ(const TcxRegExprStates& AStates, char& ch);
  static bool IsFinal(const TcxRegExprStates& AStates);

 private:
  // The distinct simple states reached from ASource through one
  // successor step, each kept at its last place in the union of the
  // successors' expansions.
  void Expand(const TcxRegExprStates& ASource, TcxRegExprStates& AResult);
  // One state's successors, expanded backwards under the current marks
  // (appended to AResult).
  void WalkBack(const TcxRegExprSimpleState* AState, TcxRegExprStates& AResult);
  void NextGeneration();
  // The previous sets live end to end in one array, so typing forward
  // allocates nothing once the array has grown.
  void Push(const TcxRegExprStates& ASet);
  // A set the successor table knows goes on the stack by its number.
  void Push(int ASet);
  // Answers the popped set's number in the table, -1 for none.
  int Pop(TcxRegExprStates& ASet);

  // The successor table: each set of states met while typing gets a number
  // and a row that says, per character, which set follows (a number),
  // that none does, or that it is not known yet. A repeated situation then
  // costs one lookup instead of the walk. Case-insensitive steps and sets
  // whose candidates include the locale's separators always walk; the
  // table stops growing at kMaxTableSets sets (then it walks too).
  static constexpr std::size_t kMaxTableSets = 512;
  static constexpr int kUnknown = -1, kRefused = -2, kWalk = -3;
  struct TableSet {
    TcxRegExprStates States;
    std::array<int, 256> Next;
  };
  struct SetHash {
    std::size_t operator()(const TcxRegExprStates& ASet) const noexcept;
  };
  // The number of a set, entering it when new; -1 when the table is full.
  int Intern(const TcxRegExprStates& ASet);
  // Walks the current set for ch into FNext; false when a candidate's
  // answer may change (it must not be kept).
  bool Step(char& ch, bool ACaseInsensitive);

  std::unique_ptr<TcxRegExprParserAlts> FTree;
  std::unique_ptr<TcxRegExprSimpleState> FStartState;
  TcxRegExpr* FOwner;
  TcxRegExprStates FCurrent;
  int FCurrentSet = -1;  // FCurrent's number in the table, -1 when not known
  int FStartSet = -1;
  TcxRegExprStates FStackItems;
  std::vector<std::size_t> FStackStarts;
  std::vector<int> FStackSets;
  std::vector<std::unique_ptr<TableSet>> FTable;
  std::unordered_map<TcxRegExprStates, int, SetHash> FTableIndex;
  TcxRegExprStates FNext;
  TcxRegExprStates FPrevious;
  std::vector<TcxRegExprState*> FAllStates;
  std::vector<TcxRegExprSimpleState*> FSimpleStates;
  std::vector<TcxRegExprState*> FWork;
  TcxRegExprStates FCandidates;
  unsigned FGeneration = 0;
};

using TcxSymbolDeleteEvent = Event<void()>;
using TcxSymbolUpdateEvent = Event<void(char ASymbol)>;

class TcxRegExpr : public TObject {
  ORV_CLASS(TcxRegExpr, TObject)
 public:
  TcxRegExpr();
  ~TcxRegExpr() override;
  TcxRegExpr(const TcxRegExpr&) = delete;
  TcxRegExpr& operator=(const TcxRegExpr&) = delete;

  // Compiles the pattern read from the stream's position to its end.
  // Raises EcxRegExprError with all errors of the failing phase.
  void Compile(TStream* AStream);
  void Clear();
  bool IsCompiled() const { return FCompiled; }

  // Matching; each raises EcxEditError on an uncompiled expression.
  bool Next(char& ch);
  AnsiString NextEx(const AnsiString& AText);
  bool Prev();
  void Reset();
  bool IsStart() const;
  bool IsFinal() const;
  void SetUpdateOn(bool AValue);
  bool GetUpdateOn() const { return FUpdateOn; }
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool AValue) { FCaseInsensitive = AValue; }

  const TcxRegExprErrors& GetErrors() const { return FErrors; }
  const TcxLexems& GetLexems() const { return FLexems; }
  TcxRegExprAutomat* GetAutomat() const { return FAutomat.get(); }
  AnsiString Print() const;

  TcxSymbolDeleteEvent OnSymbolDelete;
  TcxSymbolUpdateEvent OnSymbolUpdate;

 private:
  friend class TcxRegExprAutomat;
  friend class TcxRegExprParser;
  void CheckCompiled() const;
  [[noreturn]] void RaiseErrors();
  void DoSymbolDelete();
  void DoSymbolUpdate(char ASymbol);

  std::unique_ptr<TcxRegExprAutomat> FAutomat;
  bool FCaseInsensitive = false;
  bool FCompiled = false;
  bool FFirstCompile = true;
  bool FUpdateOn = false;
  TcxRegExprErrors FErrors;
  TcxLexems FLexems;
  AnsiString FPattern;
};

// Whole-text checks, compiling the mask for the one call. A mask that does
// not compile raises EcxRegExprError.
namespace cxRegExpr {
bool IsTextValid(const AnsiString& AText, const AnsiString& AMask);
bool IsTextFullValid(const AnsiString& AText, const AnsiString& AMask);
}  // namespace cxRegExpr
