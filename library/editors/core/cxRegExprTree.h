// The inside of a compiled mask: character items, states and the parse
// tree that owns them. Used by the compiler and the automaton only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "library/editors/core/cxRegExpr.h"

// --- Character items --------------------------------------------------------

class TcxRegExprItem {
 public:
  virtual ~TcxRegExprItem() = default;
  // Whether the typed character matches; a case-insensitive symbol match
  // replaces it by the pattern's character.
  virtual bool Check(char& ch, bool ACaseInsensitive) const = 0;
  virtual std::unique_ptr<TcxRegExprItem> Clone() const = 0;
  virtual AnsiString Print() const = 0;
  // The one character the item stands for, when it is a literal (a symbol
  // or a separator, read at the moment of asking).
  virtual bool ForcedChar(char&) const { return false; }
  // Whether the answers never change (the locale's separators may).
  virtual bool IsFixed() const { return true; }
  // Marks the characters a fixed item matches case-sensitively in a
  // 256-bit table.
  virtual void MarkMatches(std::array<std::uint64_t, 4>& ATable) const {
    for (int c = 0; c < 256; ++c) {
      char ch = static_cast<char>(c);
      if (Check(ch, false)) ATable[static_cast<std::size_t>(c) >> 6] |= std::uint64_t{1} << (c & 63);
    }
  }
};

class TcxRegExprSymbol : public TcxRegExprItem {
 public:
  explicit TcxRegExprSymbol(char ASymbol) : FSymbol(ASymbol) {}
  bool Check(char& ch, bool ACaseInsensitive) const override;
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprSymbol>(FSymbol); }
  AnsiString Print() const override { return AnsiString(1, FSymbol); }
  bool ForcedChar(char& ch) const override {
    ch = FSymbol;
    return true;
  }
  void MarkMatches(std::array<std::uint64_t, 4>& ATable) const override {
    const auto c = static_cast<unsigned char>(FSymbol);
    ATable[c >> 6] |= std::uint64_t{1} << (c & 63);
  }

 private:
  char FSymbol;
};

class TcxRegExprTimeSeparator : public TcxRegExprItem {
 public:
  bool Check(char& ch, bool) const override;
  bool IsFixed() const override { return false; }
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprTimeSeparator>(); }
  AnsiString Print() const override { return ":"; }
  bool ForcedChar(char& ch) const override;
};

class TcxRegExprDateSeparator : public TcxRegExprItem {
 public:
  bool Check(char& ch, bool) const override;
  bool IsFixed() const override { return false; }
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprDateSeparator>(); }
  AnsiString Print() const override { return "/"; }
  bool ForcedChar(char& ch) const override;
};

class TcxRegExprSubrange : public TcxRegExprItem {
 public:
  TcxRegExprSubrange(char AFirst, char ALast) : FFirst(AFirst), FLast(ALast) {}
  bool Check(char& ch, bool) const override {
    auto c = static_cast<unsigned char>(ch);
    return static_cast<unsigned char>(FFirst) <= c && c <= static_cast<unsigned char>(FLast);
  }
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprSubrange>(FFirst, FLast); }
  AnsiString Print() const override { return AnsiString(1, FFirst) + "-" + AnsiString(1, FLast); }
  void MarkMatches(std::array<std::uint64_t, 4>& ATable) const override {
    for (int c = static_cast<unsigned char>(FFirst); c <= static_cast<unsigned char>(FLast); ++c)
      ATable[static_cast<std::size_t>(c) >> 6] |= std::uint64_t{1} << (c & 63);
  }

 private:
  char FFirst, FLast;
};

class TcxRegExprEnumeration : public TcxRegExprItem {
 public:
  explicit TcxRegExprEnumeration(bool AInverse) : FInverse(AInverse) {}
  bool Check(char& ch, bool ACaseInsensitive) const final { return Matches(ch, ACaseInsensitive) != FInverse; }
  bool GetInverse() const { return FInverse; }

 protected:
  virtual bool Matches(char& ch, bool ACaseInsensitive) const = 0;
  bool FInverse;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  void Add(std::unique_ptr<TcxRegExprItem> AItem);
  int Count() const { return static_cast<int>(FItems.size()); }
  bool IsFixed() const override { return FFixed; }
  std::unique_ptr<TcxRegExprItem> Clone() const override;
  AnsiString Print() const override;

 protected:
  bool Matches(char& ch, bool ACaseInsensitive) const override {
    // Without case folding nothing changes the character, so a class of
    // fixed characters answers from its table.
    if (!ACaseInsensitive && FFixed) {
      const auto c = static_cast<unsigned char>(ch);
      return (FTable[c >> 6] >> (c & 63)) & 1;
    }
    for (const auto& item : FItems)
      if (item->Check(ch, ACaseInsensitive)) return true;
    return false;
  }

 private:
  std::vector<std::unique_ptr<TcxRegExprItem>> FItems;
  // Members whose answer never changes (all but the locale separators).
  bool FFixed = true;
  std::array<std::uint64_t, 4> FTable{};
};

class TcxRegExprDigit : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprDigit>(FInverse); }
  AnsiString Print() const override { return FInverse ? "\\D" : "\\d"; }

 protected:
  bool Matches(char& ch, bool) const override { return ch >= '0' && ch <= '9'; }
};

class TcxRegExprIdLetter : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprIdLetter>(FInverse); }
  AnsiString Print() const override { return FInverse ? "\\W" : "\\w"; }

 protected:
  bool Matches(char& ch, bool) const override {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
  }
};

inline bool cxRegExprIsSpace(char c) {
  return c == ' ' || c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

class TcxRegExprSpace : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprSpace>(FInverse); }
  AnsiString Print() const override { return FInverse ? "\\S" : "\\s"; }

 protected:
  bool Matches(char& ch, bool) const override { return cxRegExprIsSpace(ch); }
};

class TcxRegExprAll : public TcxRegExprItem {
 public:
  bool Check(char&, bool) const override { return true; }
  std::unique_ptr<TcxRegExprItem> Clone() const override { return std::make_unique<TcxRegExprAll>(); }
  AnsiString Print() const override { return "."; }
};

// --- States -----------------------------------------------------------------

// A node of the automaton. Simple states take one character; block states
// are connectors that stand for the states behind them.
class TcxRegExprState {
 public:
  explicit TcxRegExprState(bool AIsBlock) : IsBlock(AIsBlock) {}
  virtual ~TcxRegExprState() = default;
  void Add(TcxRegExprState* AState) { Successors.push_back(AState); }

  const bool IsBlock;
  std::vector<TcxRegExprState*> Successors;
  unsigned Mark = 0;  // the automaton's walk generation that last saw it
};

class TcxRegExprSimpleState : public TcxRegExprState {
 public:
  explicit TcxRegExprSimpleState(std::unique_ptr<TcxRegExprItem> AItem)
      : TcxRegExprState(false), Item(std::move(AItem)) {}
  std::unique_ptr<TcxRegExprSimpleState> Clone() const {
    return std::make_unique<TcxRegExprSimpleState>(Item ? Item->Clone() : nullptr);
  }

  std::unique_ptr<TcxRegExprItem> Item;  // none for the start state
  bool Final = false;
  // The simple states one character away, kept by the automaton once
  // known when the list is short.
  std::vector<TcxRegExprSimpleState*> Closure;
  bool ClosureKnown = false;
  bool ClosureCached = false;
};

class TcxRegExprBlockState : public TcxRegExprState {
 public:
  TcxRegExprBlockState() : TcxRegExprState(true) {}
};

// --- Parse tree -------------------------------------------------------------

enum TcxRegExprQuantifier { rqSimple, rqQuestion, rqStar, rqPlus };

class TcxRegExprParserBlockItem;

class TcxRegExprParserItem {
 public:
  virtual ~TcxRegExprParserItem() = default;
  virtual bool CanEmpty() const = 0;
  virtual std::unique_ptr<TcxRegExprParserItem> Clone() const = 0;
  virtual AnsiString Print() const = 0;
  virtual void SetFinal() = 0;
  virtual TcxRegExprState* EntryState() = 0;
  virtual TcxRegExprState* ExitState() = 0;
  // Simple states in this item (clones cost as many).
  virtual int StateCount() const = 0;
  // The item as a group, none for a simple item.
  virtual TcxRegExprParserBlockItem* AsBlock() { return nullptr; }

  bool CanMissing() const { return FQuantifier == rqQuestion || FQuantifier == rqStar; }
  bool CanRepeat() const { return FQuantifier == rqStar || FQuantifier == rqPlus; }
  bool NotQuantifier() const { return FQuantifier == rqSimple; }
  TcxRegExprQuantifier GetQuantifier() const { return FQuantifier; }
  void SetQuantifier(TcxRegExprQuantifier AQuantifier) { FQuantifier = AQuantifier; }

  // Blocks nested inside this item (0 for a simple item).
  int Depth = 0;

  // The connector standing for this item and, while items can be missing,
  // the ones after it: made when the alternative is connected, owned here.
  TcxRegExprBlockState* MakeFollowLink() {
    FFollowLink = std::make_unique<TcxRegExprBlockState>();
    return FFollowLink.get();
  }
  TcxRegExprBlockState* FollowLink() const { return FFollowLink.get(); }

 protected:
  AnsiString PrintQuantifier() const;
  TcxRegExprQuantifier FQuantifier = rqSimple;

 private:
  std::unique_ptr<TcxRegExprBlockState> FFollowLink;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
 public:
  explicit TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprSimpleState> AState) : FState(std::move(AState)) {}
  bool CanEmpty() const override { return CanMissing(); }
  std::unique_ptr<TcxRegExprParserItem> Clone() const override;
  AnsiString Print() const override;
  void SetFinal() override { FState->Final = true; }
  TcxRegExprState* EntryState() override { return FState.get(); }
  TcxRegExprState* ExitState() override { return FState.get(); }
  int StateCount() const override { return 1; }
  TcxRegExprSimpleState* GetState() const { return FState.get(); }

 private:
  std::unique_ptr<TcxRegExprSimpleState> FState;
};

class TcxRegExprParserAlt {
 public:
  bool CanEmpty() const;
  bool CanMissing() const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegExprParserItem* Item(int AIndex) const { return FItems[static_cast<std::size_t>(AIndex)].get(); }
  TcxRegExprParserItem* GetFirstItem() const { return FItems.empty() ? nullptr : FItems.front().get(); }
  TcxRegExprParserItem* GetLastItem() const { return FItems.empty() ? nullptr : FItems.back().get(); }
  void Add(std::unique_ptr<TcxRegExprParserItem> AItem) { FItems.push_back(std::move(AItem)); }
  // Puts AItem in the last item's place and hands the old one back.
  std::unique_ptr<TcxRegExprParserItem> SetLastItem(std::unique_ptr<TcxRegExprParserItem> AItem);
  std::unique_ptr<TcxRegExprParserAlt> Clone() const;
  AnsiString Print() const;

 private:
  std::vector<std::unique_ptr<TcxRegExprParserItem>> FItems;
};

class TcxRegExprParserAlts {
 public:
  bool CanEmpty() const;
  bool ThereIsEmptyAlt() const;  // some alternative can be skipped whole
  int Count() const { return static_cast<int>(FAlts.size()); }
  TcxRegExprParserAlt* Alt(int AIndex) const { return FAlts[static_cast<std::size_t>(AIndex)].get(); }
  TcxRegExprParserAlt& AddAlt() {
    FAlts.push_back(std::make_unique<TcxRegExprParserAlt>());
    return *FAlts.back();
  }
  TcxRegExprParserAlt* LastAlt() const { return FAlts.empty() ? nullptr : FAlts.back().get(); }
  void CloneInto(TcxRegExprParserAlts& ATarget) const;
  AnsiString Print() const;

 private:
  std::vector<std::unique_ptr<TcxRegExprParserAlt>> FAlts;
};

class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
 public:
  TcxRegExprParserBlockItem()
      : FStart(std::make_unique<TcxRegExprBlockState>()), FFinish(std::make_unique<TcxRegExprBlockState>()) {}
  bool CanEmpty() const override { return CanMissing() || FAlts.CanEmpty(); }
  std::unique_ptr<TcxRegExprParserItem> Clone() const override;
  AnsiString Print() const override;
  void SetFinal() override;
  TcxRegExprState* EntryState() override { return FStart.get(); }
  TcxRegExprState* ExitState() override { return FFinish.get(); }
  int StateCount() const override { return FStateCount; }
  TcxRegExprParserBlockItem* AsBlock() override { return this; }

  TcxRegExprParserAlts& Alts() { return FAlts; }
  const TcxRegExprParserAlts& Alts() const { return FAlts; }
  TcxRegExprBlockState* StartState() const { return FStart.get(); }
  TcxRegExprBlockState* FinishState() const { return FFinish.get(); }
  // Recounts states and depth from the direct items (after the block's
  // contents are complete).
  void Measure();

 private:
  TcxRegExprParserAlts FAlts;
  std::unique_ptr<TcxRegExprBlockState> FStart;
  std::unique_ptr<TcxRegExprBlockState> FFinish;
  int FStateCount = 0;
};

// Connects the automaton of a parsed tree and marks its final states.
void cxRegExprConnect(TcxRegExprParserAlts& ATree);
// Every state of the tree, for the automaton's bookkeeping.
void cxRegExprCollectStates(TcxRegExprParserAlts& ATree, std::vector<TcxRegExprState*>& AStates);
