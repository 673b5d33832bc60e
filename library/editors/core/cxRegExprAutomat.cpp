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

namespace {
// Successor lists longer than this are walked every time instead of kept,
// so that memory stays linear in the pattern (a?a?a?... would otherwise
// keep a quadratic number of entries).
constexpr std::size_t kMaxCachedClosure = 64;
}  // namespace

void TcxRegExprAutomat::NextGeneration() {
  if (++FGeneration == 0) {
    for (TcxRegExprState* s : FAllStates) s->Mark = 0;
    FGeneration = 1;
  }
}

// The union of the successors' expansions, written out, repeats a state
// once for every path that reaches it; patterns like (a|a)* would double
// the set with every character. Keeping only the last occurrence of each
// state gives the same answers. It is computed directly: walking the
// written-out union backwards and keeping first sightings yields the last
// occurrences in reverse, and a connector seen once need not be expanded
// again, since all it stands for has been seen already. That also cuts the
// loops a repeated group that can match nothing would otherwise make.
//
// WalkBack walks one state's part of that union, backwards, under the
// marks of the current generation, and appends what it sights first.
void TcxRegExprAutomat::WalkBack(const TcxRegExprSimpleState* AState, TcxRegExprStates& AResult) {
  FWork.assign(AState->Successors.begin(), AState->Successors.end());
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
}

// A member's part is walked once and kept when short. A set whose
// members all keep theirs joins the kept parts, last member first, keeping
// first sightings: the common case of a few short parts. Otherwise the set
// is one backward walk over its members' parts, the last member first, all
// under one generation of marks: what a later member's part has sighted is
// not walked again for an earlier one, so a step costs the states and
// links it reaches once, however much the parts overlap (in a?a?a?... each
// member reaches every later state).
void TcxRegExprAutomat::Expand(const TcxRegExprStates& ASource, TcxRegExprStates& AResult) {
  AResult.clear();
  bool kept = true;
  for (TcxRegExprSimpleState* s : ASource) {
    if (!s->ClosureKnown) {
      s->ClosureKnown = true;
      NextGeneration();
      WalkBack(s, AResult);
      s->ClosureCached = AResult.size() <= kMaxCachedClosure;
      if (s->ClosureCached) s->Closure.assign(AResult.rbegin(), AResult.rend());
      AResult.clear();
    }
    kept = kept && s->ClosureCached;
  }
  if (kept && ASource.size() == 1) {
    AResult = ASource[0]->Closure;
    return;
  }
  NextGeneration();
  for (auto it = ASource.rbegin(); it != ASource.rend(); ++it) {
    if (kept) {
      for (auto at = (*it)->Closure.rbegin(); at != (*it)->Closure.rend(); ++at) {
        if ((*at)->Mark == FGeneration) continue;
        (*at)->Mark = FGeneration;
        AResult.push_back(*at);
      }
    } else {
      WalkBack(*it, AResult);
    }
  }
  std::reverse(AResult.begin(), AResult.end());
}

void TcxRegExprAutomat::Push(const TcxRegExprStates& ASet) {
  FStackStarts.push_back(FStackItems.size());
  FStackSets.push_back(-1);
  FStackItems.insert(FStackItems.end(), ASet.begin(), ASet.end());
}

void TcxRegExprAutomat::Push(int ASet) {
  FStackStarts.push_back(FStackItems.size());
  FStackSets.push_back(ASet);
}

int TcxRegExprAutomat::Pop(TcxRegExprStates& ASet) {
  const std::size_t start = FStackStarts.back();
  const int set = FStackSets.back();
  FStackStarts.pop_back();
  FStackSets.pop_back();
  if (set >= 0) {
    ASet = FTable[static_cast<std::size_t>(set)]->States;
    return set;
  }
  ASet.assign(FStackItems.begin() + static_cast<std::ptrdiff_t>(start), FStackItems.end());
  FStackItems.resize(start);
  return -1;
}

std::size_t TcxRegExprAutomat::SetHash::operator()(const TcxRegExprStates& ASet) const noexcept {
  std::size_t h = ASet.size();
  for (const TcxRegExprSimpleState* s : ASet)
    h = (h ^ reinterpret_cast<std::uintptr_t>(s)) * 0x9E3779B97F4A7C15ull + (h >> 29);
  return h;
}

int TcxRegExprAutomat::Intern(const TcxRegExprStates& ASet) {
  auto it = FTableIndex.find(ASet);
  if (it != FTableIndex.end()) return it->second;
  if (FTable.size() >= kMaxTableSets) return -1;
  auto set = std::make_unique<TableSet>();
  set->States = ASet;
  set->Next.fill(kUnknown);
  const int number = static_cast<int>(FTable.size());
  FTable.push_back(std::move(set));
  FTableIndex.emplace(ASet, number);
  return number;
}

bool TcxRegExprAutomat::Step(char& ch, bool ACaseInsensitive) {
  Expand(FCurrent, FCandidates);
  FNext.clear();
  bool fixed = !ACaseInsensitive;
  for (TcxRegExprSimpleState* s : FCandidates) {
    fixed = fixed && s->Item->IsFixed();
    if (s->Item->Check(ch, ACaseInsensitive)) FNext.push_back(s);
  }
  return fixed;
}

bool TcxRegExprAutomat::Next(char& ch, bool ACaseInsensitive) {
  if (!ACaseInsensitive) {
    if (FCurrentSet < 0) {
      FCurrentSet = Intern(FCurrent);
      if (FStartSet < 0 && IsStart() && FCurrent.size() == 1) FStartSet = FCurrentSet;
    }
    if (FCurrentSet >= 0) {
      int& next = FTable[static_cast<std::size_t>(FCurrentSet)]->Next[static_cast<unsigned char>(ch)];
      if (next == kUnknown) {
        const int from = FCurrentSet;
        const bool fixed = Step(ch, false);
        const int to = !fixed ? kWalk : FNext.empty() ? kRefused : Intern(FNext);
        // A full table leaves the entry unknown.
        if (to != -1) next = to;
        if (FNext.empty()) return false;
        Push(from);
        FCurrent.swap(FNext);
        FCurrentSet = to >= 0 ? to : -1;
        return true;
      }
      if (next == kRefused) return false;
      if (next >= 0) {
        Push(FCurrentSet);
        FCurrentSet = next;
        FCurrent = FTable[static_cast<std::size_t>(next)]->States;
        return true;
      }
    }
  }
  Step(ch, ACaseInsensitive);
  if (FNext.empty()) return false;
  if (FCurrentSet >= 0)
    Push(FCurrentSet);
  else
    Push(FCurrent);
  FCurrent.swap(FNext);
  FCurrentSet = -1;
  return true;
}

bool TcxRegExprAutomat::Prev() {
  if (FStackStarts.empty()) return false;
  FCurrentSet = Pop(FCurrent);
  return true;
}

void TcxRegExprAutomat::Reset() {
  FStackItems.clear();
  FStackStarts.clear();
  FStackSets.clear();
  FCurrent.clear();
  FCurrent.push_back(FStartState.get());
  // The start set enters the table with the first key, not with the compile.
  FCurrentSet = FStartSet;
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
  Expand(FCurrent, FNext);
  char c;
  // Every forced step takes a state the walk has not been through since
  // the last choice, so a run of forced characters is never longer than
  // the states there are; the bound only guards that invariant.
  for (std::size_t steps = 0; steps <= FSimpleStates.size() && Equ(FNext, c); ++steps) {
    FOwner->DoSymbolUpdate(c);
    if (FCurrentSet >= 0)
      Push(FCurrentSet);
    else
      Push(FCurrent);
    FCurrent.swap(FNext);
    FCurrentSet = -1;
    if (IsFinal()) break;
    Expand(FCurrent, FNext);
  }
}

void TcxRegExprAutomat::ReUpdate() {
  char c;
  if (!Equ(FCurrent, c) || FStackStarts.empty()) return;
  int previous = Pop(FPrevious);
  for (;;) {
    Expand(FPrevious, FNext);
    if (!Equ(FNext, c) || IsFinal(FPrevious)) {
      if (previous >= 0)
        Push(previous);
      else
        Push(FPrevious);
      break;
    }
    FOwner->DoSymbolDelete();
    FCurrent.swap(FPrevious);
    FCurrentSet = previous;
    if (!Equ(FCurrent, c) || FStackStarts.empty()) break;
    previous = Pop(FPrevious);
  }
}

AnsiString TcxRegExprAutomat::Print() const { return FTree->Print(); }
