#include "library/data/cxLike.h"

namespace {

enum class Tok { Char, Any, Star };

// The pattern as the matcher sees it: the core (the pattern without its
// trailing run of percent wildcards) followed by a tail that stands for
// that run. A single trailing wildcard accepts whatever is left; a run of
// two or more needs at least one character left first, so it reads as
// "one character, then anything".
struct Pattern {
  std::string_view Core;
  char Percent;
  char Underscore;
  size_t Tail;  // 0, 1 (Star) or 2 (Any, Star)

  size_t Size() const { return Core.size() + Tail; }
  Tok Kind(size_t i) const {
    if (i < Core.size()) {
      char c = Core[i];
      if (c == Percent) return Tok::Star;
      if (c == Underscore) return Tok::Any;
      return Tok::Char;
    }
    return Tail == 1 || i > Core.size() ? Tok::Star : Tok::Any;
  }
};

}  // namespace

bool LikeStr(std::string_view AStr, std::string_view APattern, char APercentWildcard, char AUnderscoreWildcard) {
  size_t coreEnd = APattern.size();
  size_t trailing = 0;
  while (coreEnd > 0 && APattern[coreEnd - 1] == APercentWildcard) {
    --coreEnd;
    ++trailing;
  }
  Pattern p{APattern.substr(0, coreEnd), APercentWildcard, AUnderscoreWildcard, trailing == 0 ? 0u : trailing == 1 ? 1u : 2u};
  const size_t n = AStr.size();
  const size_t m = p.Size();
  // Greedy matching that returns to the last star: every percent wildcard
  // inside the core is followed by a token that consumes a character, so
  // the "at least one character left" rule holds by itself there.
  size_t si = 0, pi = 0;
  size_t star = SIZE_MAX, mark = 0;
  while (si < n) {
    if (pi < m) {
      Tok t = p.Kind(pi);
      if (t == Tok::Star) {
        star = pi++;
        mark = si;
        continue;
      }
      if (t == Tok::Any || AStr[si] == p.Core[pi]) {
        ++si;
        ++pi;
        continue;
      }
    }
    if (star == SIZE_MAX) return false;
    pi = star + 1;
    si = ++mark;
  }
  while (pi < m && p.Kind(pi) == Tok::Star) ++pi;
  return pi == m;
}

cxLike::TcxFilterLikeOperator LikeOperatorByPattern(AnsiString& APattern, char APercentWildcard) {
  const char w = APercentWildcard;
  AnsiString collapsed;
  collapsed.reserve(APattern.size());
  for (char c : APattern)
    if (!(c == w && !collapsed.empty() && collapsed.back() == w)) collapsed.push_back(c);
  APattern = std::move(collapsed);
  if (APattern.size() > 1) {
    bool starts = APattern.front() == w;
    bool ends = APattern.back() == w;
    if (starts && ends) {
      APattern = APattern.substr(1, APattern.size() - 2);
      return floContains;
    }
    if (starts) {
      APattern.erase(0, 1);
      return floEndsWith;
    }
    if (ends) {
      APattern.pop_back();
      return floBeginsWith;
    }
  }
  return floLike;
}
