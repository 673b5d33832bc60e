// Random masks from the shared part of both languages, and random typed
// texts: "can this text still become a match" and "is it a whole match"
// must agree with PCRE2's anchored partial matching.
#include <random>

#include "library/editors/core/cxRegExpr.h"

#ifdef ORV_HAVE_PCRE2
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace {

struct Pattern {
  std::string ours, pcre;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : FRng(seed) {}

  Pattern Alternatives(int depth) {
    Pattern p = Sequence(depth);
    while (Pick(4) == 0) {
      Pattern q = Sequence(depth);
      p.ours += "|" + q.ours;
      p.pcre += "|" + q.pcre;
    }
    return p;
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRng); }

  Pattern Sequence(int depth) {
    Pattern p;
    for (int i = 0, n = 1 + Pick(3); i < n; ++i) {
      Pattern item = Item(depth);
      // A blank keeps two quoted texts apart ('' inside quotes is a quote).
      p.ours += (p.ours.empty() ? "" : " ") + item.ours;
      p.pcre += item.pcre;
    }
    return p;
  }

  Pattern Item(int depth) {
    static const char* kAtoms[][2] = {{"a", "a"},       {"b", "b"},         {"[ab]", "[ab]"}, {"[^a]", "[^a]"},
                                      {"\\d", "\\d"},   {".", "."},         {"'ab'", "(?:ab)"}, {"[0-1c]", "[0-1c]"}};
    Pattern p;
    bool quoted = false;
    if (depth < 3 && Pick(4) == 0) {
      Pattern inner = Alternatives(depth + 1);
      p = {"(" + inner.ours + ")", "(?:" + inner.pcre + ")"};
    } else {
      const int atom = Pick(8);
      p = {kAtoms[atom][0], kAtoms[atom][1]};
      quoted = atom == 6;
    }
    static const char* kQuantifiers[] = {"", "", "", "?", "*", "+", "{2}", "{1,}", "{0,2}", "{1,3}"};
    const std::string q = kQuantifiers[Pick(10)];
    if (!q.empty()) {
      p.ours += q;
      // A quoted text is a run of single characters: the quantifier takes
      // its last one.
      p.pcre = quoted ? "a(?:b)" + q : "(?:" + p.pcre + ")" + q;
    }
    return p;
  }

  std::mt19937 FRng;
};

struct Pcre {
  // Anchored at both ends: a match must take the whole text.
  explicit Pcre(const std::string& pattern) {
    int err;
    PCRE2_SIZE offset;
    const std::string whole = "(?:" + pattern + ")\\z";
    code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(whole.c_str()), whole.size(), PCRE2_ANCHORED, &err, &offset,
                         nullptr);
    data = code ? pcre2_match_data_create_from_pattern(code, nullptr) : nullptr;
  }
  ~Pcre() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
  int Match(const std::string& text, uint32_t options) {
    return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, options, data, nullptr);
  }
  bool Completable(const std::string& text) {
    int rc = Match(text, PCRE2_PARTIAL_HARD);
    return rc >= 0 || rc == PCRE2_ERROR_PARTIAL;
  }
  bool Whole(const std::string& text) { return Match(text, 0) >= 0; }
  pcre2_code* code;
  pcre2_match_data* data;
};

}  // namespace

TEST(RegExprDifferential, PrefixAndWholeMatchesAgreeWithPcre2) {
  Generator gen(20240607);
  std::mt19937 textRng(7);
  const std::string alphabet = "ab01c";
  int compared = 0;
  for (int m = 0; m < 1500; ++m) {
    const Pattern p = gen.Alternatives(0);
    TcxRegExpr re;
    try {
      TStringStream source(p.ours);
      re.Compile(&source);
    } catch (const EcxRegExprError&) {
      continue;  // combinations the mask language refuses (a repeated empty group)
    }
    Pcre peer(p.pcre);
    ASSERT_NE(peer.code, nullptr) << p.pcre;
    for (int t = 0; t < 6; ++t) {
      re.Reset();
      std::string typed;
      const int length = std::uniform_int_distribution<int>(0, 7)(textRng);
      ASSERT_EQ(re.IsFinal(), peer.Whole(typed)) << p.ours << " on the empty text";
      for (int i = 0; i < length; ++i) {
        const char c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(textRng)];
        char k = c;
        const bool taken = re.Next(k);
        ASSERT_EQ(taken, peer.Completable(typed + c)) << p.ours << " / " << p.pcre << " typing " << typed + c;
        if (!taken) break;
        typed += c;
        ASSERT_EQ(re.IsFinal(), peer.Whole(typed)) << p.ours << " / " << p.pcre << " at " << typed;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 3000);
}

#else
TEST(RegExprDifferential, PrefixAndWholeMatchesAgreeWithPcre2) { GTEST_SKIP() << "PCRE2 is not installed"; }
#endif
