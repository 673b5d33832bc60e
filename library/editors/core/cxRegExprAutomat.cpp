#include "library/editors/core/cxRegExpr.h"
#include "library/editors/core/cxRegExprTree.h"

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> ATree, TcxRegExpr* AOwner)
    : FTree(std::move(ATree)), FStartState(std::make_unique<TcxRegExprSimpleState>(nullptr)), FOwner(AOwner) {
  cxRegExprConnect(*FTree);
  for (int a = 0; a < FTree->Count(); ++a) {
    TcxRegExprParserAlt& alt = *FTree->Alt(a);
    for (int i = 0; i < alt.Count(); ++i) {
      FStartState->Add(alt.Item(i)->EntryState());
      if (!alt.Item(i)->CanMissing()) break;
    }
  }
  // The empty text is a whole match when some alternative can match nothing.
  FStartState->Final = FTree->CanEmpty();
  FAllStates.push_back(FStartState.get());
  cxRegExprCollectStates(*FTree, FAllStates);
  for (TcxRegExprState* s : FAllStates)
    if (!s->IsBlock) FSimpleStates.push_back(static_cast<TcxRegExprSimpleState*>(s));
  FCurrent.push_back(FStartState.get());
}

TcxRegExprAutomat::~TcxRegExprAutomat() = default;

// The union of the successors' expansions, written out, repeats a state
// once for every path that reaches it; patterns like (a|a)* would double
// the set with every character. Keeping only the last occurrence of each
// state gives the same answers. It is computed directly: walking the
// expansion backwards and keeping first sightings yields the last
// occurrences in reverse, and a connector seen once need not be expanded
// again, since all it stands for has been seen already. That also cuts the
// loops a repeated group that can match nothing would otherwise make.
void TcxRegExprAutomat::Expand(const TcxRegExprStates& ASource, TcxRegExprStates& AResult) {
  if (++FGeneration == 0) {
    for (TcxRegExprState* s : FAllStates) s->Mark = 0;
    FGeneration = 1;
  }
  AResult.clear();
  FWork.clear();
  for (TcxRegExprSimpleState* s : ASource) FWork.insert(FWork.end(), s->Successors.begin(), s->Successors.end());
  while (!FWork.empty()) {
    TcxRegExprState* s = FWork.back();
    FWork.pop_back();
    if (s->Mark == FGeneration) continue;
    s->Mark = FGeneration;
    if (s->IsBlock)
      FWork.insert(FWork.end(), s->Successors.begin(), s->Successors.end());
    else
      AResult.push_back(static_cast<TcxRegExprSimpleState*>(s));
  }
  std::reverse(AResult.begin(), AResult.end());
}

TcxRegExprStates TcxRegExprAutomat::TakeSpare() {
  if (FSpare.empty()) return {};
  TcxRegExprStates set = std::move(FSpare.back());
  FSpare.pop_back();
  set.clear();
  return set;
}

void TcxRegExprAutomat::Recycle(TcxRegExprStates&& ASet) { FSpare.push_back(std::move(ASet)); }

void TcxRegExprAutomat::Push(TcxRegExprStates&& ASet) { FStack.push_back(std::move(ASet)); }

bool TcxRegExprAutomat::Next(char& ch, bool ACaseInsensitive) {
  Expand(FCurrent, FCandidates);
  TcxRegExprStates next = TakeSpare();
  for (TcxRegExprSimpleState* s : FCandidates)
    if (s->Item->Check(ch, ACaseInsensitive)) next.push_back(s);
  if (next.empty()) {
    Recycle(std::move(next));
    return false;
  }
  Push(std::move(FCurrent));
  FCurrent = std::move(next);
  return true;
}

bool TcxRegExprAutomat::Prev() {
  if (FStack.empty()) return false;
  Recycle(std::move(FCurrent));
  FCurrent = std::move(FStack.back());
  FStack.pop_back();
  return true;
}

void TcxRegExprAutomat::Reset() {
  while (!FStack.empty()) {
    Recycle(std::move(FStack.back()));
    FStack.pop_back();
  }
  FCurrent.clear();
  FCurrent.push_back(FStartState.get());
}

bool TcxRegExprAutomat::IsStart() const { return !FCurrent.empty() && FCurrent.front() == FStartState.get(); }

bool TcxRegExprAutomat::IsFinal(const TcxRegExprStates& AStates) {
  for (const TcxRegExprSimpleState* s : AStates)
    if (s->Final) return true;
  return false;
}

bool TcxRegExprAutomat::IsFinal() const { return IsFinal(FCurrent); }

void TcxRegExprAutomat::GetAllNextStates(TcxRegExprStates& AResult) { Expand(FCurrent, AResult); }

bool TcxRegExprAutomat::Equ(const TcxRegExprStates& AStates, char& ch) {
  if (AStates.empty()) return false;
  char first = '\0';
  for (std::size_t i = 0; i < AStates.size(); ++i) {
    char c;
    if (!AStates[i]->Item || !AStates[i]->Item->ForcedChar(c)) return false;
    if (i == 0)
      first = c;
    else if (c != first)
      return false;
  }
  ch = first;
  return true;
}

void TcxRegExprAutomat::Update() {
  if (IsFinal()) return;
  TcxRegExprStates next = TakeSpare();
  Expand(FCurrent, next);
  char c;
  // Every forced step takes a state the walk has not been through since
  // the last choice, so a run of forced characters is never longer than
  // the states there are; the bound only guards that invariant.
  for (std::size_t steps = 0; steps <= FSimpleStates.size() && Equ(next, c); ++steps) {
    FOwner->DoSymbolUpdate(c);
    Push(std::move(FCurrent));
    FCurrent = std::move(next);
    next = TakeSpare();
    if (IsFinal()) break;
    Expand(FCurrent, next);
  }
  Recycle(std::move(next));
}

void TcxRegExprAutomat::ReUpdate() {
  char c;
  if (!Equ(FCurrent, c) || FStack.empty()) return;
  TcxRegExprStates succ = TakeSpare();
  TcxRegExprStates p = std::move(FStack.back());
  FStack.pop_back();
  for (;;) {
    Expand(p, succ);
    if (!Equ(succ, c) || IsFinal(p)) {
      Push(std::move(p));
      break;
    }
    FOwner->DoSymbolDelete();
    Recycle(std::move(FCurrent));
    FCurrent = std::move(p);
    if (!Equ(FCurrent, c) || FStack.empty()) break;
    p = std::move(FStack.back());
    FStack.pop_back();
  }
  Recycle(std::move(succ));
}

AnsiString TcxRegExprAutomat::Print() const { return FTree->Print(); }
