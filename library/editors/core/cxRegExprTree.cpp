#include "library/editors/core/cxRegExprTree.h"

#include <algorithm>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/FormatSettings.h"

bool TcxRegExprSymbol::Check(char& ch, bool ACaseInsensitive) const {
  if (ch == FSymbol) return true;
  if (!ACaseInsensitive || AnsiUpperChar(ch) != AnsiUpperChar(FSymbol)) return false;
  ch = FSymbol;
  return true;
}

// Separators are read when tested, so a compiled mask follows the locale.
bool TcxRegExprTimeSeparator::Check(char& ch, bool) const { return ch == FormatSettings().TimeSeparator; }
bool TcxRegExprTimeSeparator::ForcedChar(char& ch) const {
  ch = FormatSettings().TimeSeparator;
  return true;
}
bool TcxRegExprDateSeparator::Check(char& ch, bool) const { return ch == FormatSettings().DateSeparator; }
bool TcxRegExprDateSeparator::ForcedChar(char& ch) const {
  ch = FormatSettings().DateSeparator;
  return true;
}

void TcxRegExprUserEnumeration::Add(std::unique_ptr<TcxRegExprItem> AItem) {
  if (!AItem->IsFixed()) FFixed = false;
  if (FFixed) AItem->MarkMatches(FTable);
  FItems.push_back(std::move(AItem));
}

std::unique_ptr<TcxRegExprItem> TcxRegExprUserEnumeration::Clone() const {
  auto copy = std::make_unique<TcxRegExprUserEnumeration>(FInverse);
  for (const auto& item : FItems) copy->Add(item->Clone());
  return copy;
}

AnsiString TcxRegExprUserEnumeration::Print() const {
  AnsiString s = FInverse ? "[^" : "[";
  for (const auto& item : FItems) s += item->Print();
  return s + "]";
}

// --- Parse tree -------------------------------------------------------------

AnsiString TcxRegExprParserItem::PrintQuantifier() const {
  switch (FQuantifier) {
    case rqQuestion: return "?";
    case rqStar: return "*";
    case rqPlus: return "+";
    default: return "";
  }
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserSimpleItem::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserSimpleItem>(FState->Clone());
  copy->SetQuantifier(FQuantifier);
  return copy;
}

AnsiString TcxRegExprParserSimpleItem::Print() const {
  return (FState->Item ? FState->Item->Print() : AnsiString()) + PrintQuantifier() +
         (FState->Final ? " (final)" : "") + " --> \r\n";
}

bool TcxRegExprParserAlt::CanEmpty() const {
  return std::all_of(FItems.begin(), FItems.end(), [](const auto& i) { return i->CanEmpty(); });
}

bool TcxRegExprParserAlt::CanMissing() const {
  return std::all_of(FItems.begin(), FItems.end(), [](const auto& i) { return i->CanMissing(); });
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserAlt::SetLastItem(std::unique_ptr<TcxRegExprParserItem> AItem) {
  std::swap(FItems.back(), AItem);
  return AItem;
}

std::unique_ptr<TcxRegExprParserAlt> TcxRegExprParserAlt::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserAlt>();
  copy->FItems.reserve(FItems.size());
  for (const auto& item : FItems) copy->Add(item->Clone());
  return copy;
}

AnsiString TcxRegExprParserAlt::Print() const {
  AnsiString s = "<Start_Alt>\r\n";
  for (const auto& item : FItems) s += item->Print();
  return s + "<Finish_Alt>\r\n";
}

bool TcxRegExprParserAlts::CanEmpty() const {
  return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& a) { return a->CanEmpty(); });
}

bool TcxRegExprParserAlts::ThereIsEmptyAlt() const {
  return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& a) { return a->CanMissing(); });
}

void TcxRegExprParserAlts::CloneInto(TcxRegExprParserAlts& ATarget) const {
  for (const auto& alt : FAlts) ATarget.FAlts.push_back(alt->Clone());
}

AnsiString TcxRegExprParserAlts::Print() const {
  AnsiString s;
  for (const auto& alt : FAlts) s += alt->Print();
  return s;
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserBlockItem::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserBlockItem>();
  copy->SetQuantifier(FQuantifier);
  FAlts.CloneInto(copy->FAlts);
  copy->FStateCount = FStateCount;
  copy->Depth = Depth;
  return copy;
}

AnsiString TcxRegExprParserBlockItem::Print() const {
  return "<Start_Block>\r\n" + FAlts.Print() + "<Finish_Block> --> " + PrintQuantifier() + "\r\n";
}

void TcxRegExprParserBlockItem::Measure() {
  int states = 0, depth = 0;
  for (int a = 0; a < FAlts.Count(); ++a) {
    const TcxRegExprParserAlt* alt = FAlts.Alt(a);
    for (int i = 0; i < alt->Count(); ++i) {
      states += alt->Item(i)->StateCount();
      depth = std::max(depth, alt->Item(i)->Depth);
    }
  }
  FStateCount = states;
  Depth = depth + 1;
}

namespace {

// Marks the states that end a match of the alternative. An item that can
// match nothing (an optional item, or a group whose contents are all
// optional) lets the mark pass on to the item before it.
void MarkFinals(TcxRegExprParserAlt& alt) {
  for (int i = alt.Count() - 1; i >= 0; --i) {
    TcxRegExprParserItem* item = alt.Item(i);
    item->SetFinal();
    if (!item->CanEmpty()) break;
  }
}

void ConnectAlt(TcxRegExprParserAlt& alt);

void ConnectBlock(TcxRegExprParserBlockItem& block) {
  TcxRegExprParserAlts& alts = block.Alts();
  for (int a = 0; a < alts.Count(); ++a) {
    TcxRegExprParserAlt& alt = *alts.Alt(a);
    for (int i = 0; i < alt.Count(); ++i) {
      block.StartState()->Add(alt.Item(i)->EntryState());
      if (!alt.Item(i)->CanMissing()) break;
    }
  }
  if (alts.ThereIsEmptyAlt()) block.StartState()->Add(block.FinishState());
  for (int a = 0; a < alts.Count(); ++a) {
    TcxRegExprParserAlt& alt = *alts.Alt(a);
    ConnectAlt(alt);
    for (int i = alt.Count() - 1; i >= 0; --i) {
      alt.Item(i)->ExitState()->Add(block.FinishState());
      if (!alt.Item(i)->CanMissing()) break;
    }
  }
}

// After an item may come the next one and, past each item that can be
// missing, the one after it. Written out for every item, a run of n
// optional items would take n*n links, and every step of typing would walk
// them; instead each optional item with items after it gets a connector
// for "this item, then what may follow it", shared by every item before
// it. The states the walk reaches, and their order, stay the same.
void ConnectAlt(TcxRegExprParserAlt& alt) {
  const int count = alt.Count();
  TcxRegExprState* follow = nullptr;  // what may come after item i
  std::vector<TcxRegExprState*> follows(static_cast<std::size_t>(count), nullptr);
  for (int j = count - 1; j >= 0; --j) {
    follows[static_cast<std::size_t>(j)] = follow;
    TcxRegExprParserItem* item = alt.Item(j);
    if (follow && item->CanMissing()) {
      TcxRegExprBlockState* link = item->MakeFollowLink();
      link->Add(item->EntryState());
      link->Add(follow);
      follow = link;
    } else {
      follow = item->EntryState();
    }
  }
  for (int i = 0; i < count; ++i) {
    TcxRegExprParserItem* item = alt.Item(i);
    if (auto* block = item->AsBlock()) ConnectBlock(*block);
    TcxRegExprState* exit = item->ExitState();
    if (TcxRegExprState* next = follows[static_cast<std::size_t>(i)]) exit->Add(next);
    if (item->CanRepeat()) exit->Add(item->EntryState());
  }
}

void Collect(TcxRegExprParserAlts& alts, std::vector<TcxRegExprState*>& out) {
  for (int a = 0; a < alts.Count(); ++a) {
    TcxRegExprParserAlt& alt = *alts.Alt(a);
    for (int i = 0; i < alt.Count(); ++i) {
      TcxRegExprParserItem* item = alt.Item(i);
      if (TcxRegExprBlockState* link = item->FollowLink()) out.push_back(link);
      if (auto* block = item->AsBlock()) {
        out.push_back(block->StartState());
        out.push_back(block->FinishState());
        Collect(block->Alts(), out);
      } else {
        out.push_back(item->EntryState());
      }
    }
  }
}

}  // namespace

void TcxRegExprParserBlockItem::SetFinal() {
  for (int a = 0; a < FAlts.Count(); ++a) MarkFinals(*FAlts.Alt(a));
}

void cxRegExprConnect(TcxRegExprParserAlts& ATree) {
  for (int a = 0; a < ATree.Count(); ++a) {
    ConnectAlt(*ATree.Alt(a));
    MarkFinals(*ATree.Alt(a));
  }
}

void cxRegExprCollectStates(TcxRegExprParserAlts& ATree, std::vector<TcxRegExprState*>& AStates) {
  Collect(ATree, AStates);
}
