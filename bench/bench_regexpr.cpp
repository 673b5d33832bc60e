// The mask pattern engine: compile cost, cost per typed character and for
// typing whole values, forced insertion, whole-text checks and the case-
// insensitive overhead; with PCRE2 installed, the same masks and inputs
// through its partial matching (re-matching the whole text at each key),
// reported side by side as ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "BenchMain.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/core/cxRegExpr.h"
#include "library/editors/core/cxStandardMask.h"
#include "platform/rtl/Locale.h"

#ifdef ORV_HAVE_PCRE2
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#endif

namespace {

void CompileText(TcxRegExpr& re, const std::string& pattern) {
  TStringStream source(pattern);
  re.Compile(&source);
}

// --- Compile ------------------------------------------------------------------

std::string WordAlternation(int words) {
  std::string s;
  for (int i = 0; i < words; ++i) s += (i ? "|'" : "'") + std::string("word") + std::to_string(i) + "'";
  return s;
}

std::string Errors(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "a{x}";
  return s;
}

struct CompileCase {
  const char* name;
  std::string pattern;
};

std::vector<CompileCase> CompileCases() {
  std::vector<CompileCase> cases;
  {
    ScopedLocale us("en-US");
    cxFormats_Finalize();
    cases.push_back({"us_date_smart", cxFormatController()->GetRegExprDateEditMask()});
    cases.push_back({"us_datetime_smart", cxFormatController()->GetRegExprDateTimeEditMask()});
  }
  {
    ScopedLocale de("de-DE");
    cxFormats_Finalize();
    cases.push_back({"de_date_smart", cxFormatController()->GetRegExprDateEditMask()});
    cases.push_back({"de_datetime_smart", cxFormatController()->GetRegExprDateTimeEditMask()});
  }
  cxFormats_Finalize();
  cases.push_back({"digits_1_10", "\\d{1,10}"});
  cases.push_back({"pairs_2_8", "(ab|cd){2,8}"});
  cases.push_back({"references", "(\\d\\d)-\\1-\\1"});
  cases.push_back({"words_200", WordAlternation(200)});
  cases.push_back({"errors_1", Errors(1)});
  cases.push_back({"errors_5", Errors(5)});
  cases.push_back({"errors_20", Errors(20)});
  for (int len : {10, 100, 1000, 10000}) {
    std::string p;
    while (static_cast<int>(p.size()) + 5 <= len) p += "[a-z]";
    cases.push_back({nullptr, p});
    cases.back().name = len == 10 ? "length_10" : len == 100 ? "length_100" : len == 1000 ? "length_1000" : "length_10000";
  }
  return cases;
}

void BM_Compile(benchmark::State& state, std::string pattern) {
  int states = 0;
  for (auto _ : state) {
    TcxRegExpr re;
    try {
      CompileText(re, pattern);
      states = re.GetAutomat()->GetSimpleStateCount();
    } catch (const EcxRegExprError& e) {
      benchmark::DoNotOptimize(e.GetErrors().Count());
    }
  }
  state.counters["states"] = states;
  state.counters["pattern_chars"] = static_cast<double>(pattern.size());
}

#ifdef ORV_HAVE_PCRE2
// The same pattern in PCRE2's syntax: quoted runs become escaped literals
// and the separators their en-US characters.
std::string ToPcre(const std::string& AMask) {
  std::string out;
  for (std::size_t i = 0; i < AMask.size(); ++i) {
    const char c = AMask[i];
    if (c == '\'' ) {
      for (++i; i < AMask.size(); ++i) {
        if (AMask[i] == '\'') {
          if (i + 1 < AMask.size() && AMask[i + 1] == '\'') {
            out += "'";
            ++i;
            continue;
          }
          break;
        }
        if (std::string("\\^$.|?*+()[]{}/").find(AMask[i]) != std::string::npos) out += '\\';
        out += AMask[i];
      }
    } else if (c == '\\' && i + 1 < AMask.size() && (AMask[i + 1] == '/' || AMask[i + 1] == ':')) {
      out += AMask[++i];
    } else {
      out += c;
    }
  }
  return out;
}

// PCRE2's compile of the same pattern, without JIT, as the compile peer.
void BM_CompilePcre2(benchmark::State& state, std::string pattern) {
  const std::string p = ToPcre(pattern);
  for (auto _ : state) {
    int err;
    PCRE2_SIZE offset;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), PCRE2_ANCHORED, &err, &offset,
                                     nullptr);
    if (!code) {
      state.SkipWithError(("PCRE2 refuses " + p).c_str());
      break;
    }
    pcre2_code_free(code);
  }
}
#endif

// --- Typing ---------------------------------------------------------------------

bool gMismatch = false;

// Each check is reported once, however often its benchmark is entered.
void Agree(bool AOk, const std::string& AWhat) {
  static std::set<std::string> reported;
  if (AOk || !reported.insert(AWhat).second) return;
  std::fprintf(stderr, "MISMATCH: %s\n", AWhat.c_str());
  gMismatch = true;
}


struct TypingCase {
  const char* name;
  const char* ours;
  const char* pcre;
  std::string (*value)(int n);
};

std::string Digits(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + i % 10);
  return s;
}
std::string Letters(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}
std::string Pairs(int n) {
  std::string s;
  while (static_cast<int>(s.size()) < n) s += s.size() % 4 ? "cd" : "ab";
  return s.substr(0, static_cast<std::size_t>(n & ~1));
}
std::string As(int n) { return std::string(static_cast<std::size_t>(n), 'a'); }

const TypingCase kTyping[] = {
    {"letters", "[a-z]+", "[a-z]+", Letters},
    {"pairs", "(ab|cd)*", "(?:ab|cd)*", Pairs},
    {"digit_runs", "(\\d|\\d\\d)*", "(?:\\d|\\d\\d)*", Digits},
    {"same_twice", "(a|a)*", "(?:a|a)*", As},
    {"stars", "\\d*\\d*\\d*\\d*", "\\d*\\d*\\d*\\d*", Digits},
};

// Typing a whole value: Reset, then one step per character.
void BM_TypeOurs(benchmark::State& state, const TypingCase& c) {
  const int n = static_cast<int>(state.range(0));
  const std::string text = c.value(n);
  TcxRegExpr re;
  CompileText(re, c.ours);
  std::size_t largest = 0, sum = 0;
  for (auto _ : state) {
    re.Reset();
    largest = sum = 0;
    for (char ch : text) {
      char k = ch;
      if (!re.Next(k)) state.SkipWithError("refused");
      const std::size_t size = re.GetAutomat()->GetCurrentStates().size();
      largest = std::max(largest, size);
      sum += size;
    }
  }
  state.counters["keys"] = benchmark::Counter(static_cast<double>(text.size()),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["max_set"] = static_cast<double>(largest);
  state.counters["sum_set"] = static_cast<double>(sum);
}

#ifdef ORV_HAVE_PCRE2
pcre2_code* CompileAnchored(const char* pattern) {
  int err;
  PCRE2_SIZE offset;
  return pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, PCRE2_ANCHORED, &err, &offset,
                       nullptr);
}

struct Pcre {
  explicit Pcre(const char* pattern) {
    code = CompileAnchored(pattern);
    if (code) pcre2_jit_compile(code, PCRE2_JIT_PARTIAL_HARD);
    data = pcre2_match_data_create_from_pattern(code, nullptr);
  }
  ~Pcre() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
  // Whether the text can still be completed to a match: a partial match,
  // or a whole match that takes all of it (a match of a shorter start
  // would accept a text the mask refuses).
  bool Prefix(const char* text, std::size_t len) {
    int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text), len, 0, PCRE2_PARTIAL_HARD, data, nullptr);
    return rc == PCRE2_ERROR_PARTIAL || (rc >= 0 && pcre2_get_ovector_pointer(data)[1] == len);
  }
  pcre2_code* code;
  pcre2_match_data* data;
};

// PCRE2's restartable DFA matching, the peer for typed input: each key is
// one more segment of the subject, continuing the partial match the keys
// before it left (PCRE2_DFA_RESTART with PCRE2_PARTIAL_HARD), so a key
// costs the same however long the text is.
struct PcreDfa {
  explicit PcreDfa(const char* pattern) {
    code = CompileAnchored(pattern);
    data = pcre2_match_data_create(32, nullptr);
  }
  ~PcreDfa() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
  void Reset() { partial = done = false; }
  // Whether the text so far and this key can still be completed to a
  // match. A complete match that cannot grow ends the typing: only a
  // partial match can be continued.
  bool Key(char AKey) {
    if (done) return false;
    const int rc = pcre2_dfa_match(code, reinterpret_cast<PCRE2_SPTR>(&AKey), 1, 0,
                                   PCRE2_PARTIAL_HARD | (partial ? PCRE2_DFA_RESTART : 0), data, nullptr, workspace,
                                   sizeof workspace / sizeof workspace[0]);
    partial = rc == PCRE2_ERROR_PARTIAL;
    done = rc >= 0;
    return partial || done;
  }
  pcre2_code* code;
  pcre2_match_data* data;
  int workspace[4096];
  bool partial = false, done = false;
};

// The same keys through PCRE2's DFA matcher, one segment per key.
void BM_TypePcre2Dfa(benchmark::State& state, const TypingCase& c) {
  const int n = static_cast<int>(state.range(0));
  const std::string text = c.value(n);
  auto re = std::make_unique<PcreDfa>(c.pcre);
  for (auto _ : state) {
    re->Reset();
    for (char ch : text)
      if (!re->Key(ch)) state.SkipWithError("refused");
  }
  state.counters["keys"] = benchmark::Counter(static_cast<double>(text.size()),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The same keys through PCRE2: each key re-matches the text so far.
void BM_TypePcre2(benchmark::State& state, const TypingCase& c) {
  const int n = static_cast<int>(state.range(0));
  const std::string text = c.value(n);
  Pcre re(c.pcre);
  for (auto _ : state)
    for (std::size_t len = 1; len <= text.size(); ++len)
      if (!re.Prefix(text.data(), len)) state.SkipWithError("refused");
  state.counters["keys"] = benchmark::Counter(static_cast<double>(text.size()),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// All three in one measurement, reported as ratios (above 1: ours is
// faster): against the DFA peer first, then against matching the whole
// text again at every key. Before timing, the three must accept every key.
void BM_TypeRatio(benchmark::State& state, const TypingCase& c) {
  using clock = std::chrono::steady_clock;
  const int n = static_cast<int>(state.range(0));
  const std::string text = c.value(n);
  TcxRegExpr ours;
  CompileText(ours, c.ours);
  Pcre peer(c.pcre);
  auto dfa = std::make_unique<PcreDfa>(c.pcre);
  ours.Reset();
  dfa->Reset();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char k = text[i];
    const bool a = ours.Next(k), b = peer.Prefix(text.data(), i + 1), d = dfa->Key(text[i]);
    Agree(a && b && d, std::string("typing ") + c.name + ": a key refused at " + std::to_string(i));
  }
  double oursNs = 0, peerNs = 0, dfaNs = 0;
  for (auto _ : state) {
    auto t0 = clock::now();
    ours.Reset();
    for (char ch : text) {
      char k = ch;
      benchmark::DoNotOptimize(ours.Next(k));
    }
    auto t1 = clock::now();
    for (std::size_t len = 1; len <= text.size(); ++len) benchmark::DoNotOptimize(peer.Prefix(text.data(), len));
    auto t2 = clock::now();
    dfa->Reset();
    for (char ch : text) benchmark::DoNotOptimize(dfa->Key(ch));
    auto t3 = clock::now();
    oursNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
    peerNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
    dfaNs += std::chrono::duration<double, std::nano>(t3 - t2).count();
  }
  const double keys = static_cast<double>(text.size()) * static_cast<double>(state.iterations());
  state.counters["ours_ns_per_key"] = oursNs / keys;
  state.counters["dfa_ns_per_key"] = dfaNs / keys;
  state.counters["pcre2_ns_per_key"] = peerNs / keys;
  state.counters["dfa_over_ours"] = oursNs > 0 ? dfaNs / oursNs : 0;
  state.counters["pcre2_over_ours"] = oursNs > 0 ? peerNs / oursNs : 0;
}
#endif

// Per key cost of one step and one step back on short date texts.
void BM_NextPrevDate(benchmark::State& state) {
  ScopedLocale us("en-US");
  cxFormats_Finalize();
  TcxRegExpr re;
  CompileText(re, cxFormatController()->GetRegExprDateTimeEditMask());
  const std::string text = "12/31/2008 11:59:59 PM";
  for (auto _ : state) {
    re.Reset();
    for (char ch : text) {
      char k = ch;
      benchmark::DoNotOptimize(re.Next(k));
    }
    while (re.Prev()) {
    }
  }
  state.counters["keys"] = benchmark::Counter(static_cast<double>(text.size() * 2),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  cxFormats_Finalize();
}

// Forced insertion after each digit and its removal on every step back.
void BM_ForcedInsertion(benchmark::State& state, const char* mask, const char* digits) {
  TcxRegExpr re;
  int inserted = 0;
  re.OnSymbolUpdate = [&](char) { ++inserted; };
  re.OnSymbolDelete = [&] { --inserted; };
  CompileText(re, mask);
  for (auto _ : state) {
    re.SetUpdateOn(false);
    re.Reset();
    re.SetUpdateOn(true);
    for (const char* p = digits; *p; ++p) {
      char k = *p;
      benchmark::DoNotOptimize(re.Next(k));
    }
    while (re.Prev()) {
    }
  }
  benchmark::DoNotOptimize(inserted);
}

// Whole texts: a compile per call against one compiled engine.
void BM_WholeTexts(benchmark::State& state, bool precompiled) {
  const std::string mask = "((0?[1-9]|1[012]))\\/([012]?[1-9]|[123]0|31)\\/\\d\\d\\d\\d";
  std::vector<std::string> dates;
  for (int i = 0; i < 10000; ++i)
    dates.push_back(std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/" + std::to_string(1990 + i % 30));
  TcxRegExpr re;
  CompileText(re, mask);
  for (auto _ : state) {
    int valid = 0;
    for (const auto& d : dates) {
      if (precompiled) {
        re.Reset();
        valid += re.NextEx(d).size() == d.size() && re.IsFinal();
      } else {
        valid += cxRegExpr::IsTextFullValid(d, mask);
      }
    }
    if (valid != 10000) state.SkipWithError("a date was refused");
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_CaseInsensitive(benchmark::State& state, bool caseInsensitive) {
  TcxRegExpr re;
  CompileText(re, "('x'|'X'|'y'|'Y')*");
  re.SetCaseInsensitive(caseInsensitive);
  const std::string text(200, 'x');
  for (auto _ : state) {
    re.Reset();
    benchmark::DoNotOptimize(re.NextEx(text));
  }
  state.SetItemsProcessed(state.iterations() * 200);
}

// --- Typing a value end to end --------------------------------------------------


// The standard mask engine as an editor drives it: each key is placed into
// the text, the display form is formatted and validated, and the key is
// kept when the display stays valid.
AnsiString TypeStandard(const TcxStandardMask& AMask, const std::string& AKeys) {
  AnsiString typed, shown;
  for (char key : AKeys) {
    AnsiString candidate = typed + key;
    shown = candidate;
    AMask.Format(shown, true, false);
    if (AMask.IsValid(shown)) typed = candidate;
  }
  shown = typed;
  AMask.Format(shown, true, false);
  return shown;
}

void BM_TypeStandardMask(benchmark::State& state, const char* AMask, std::string AKeys, std::string AShown) {
  TcxStandardMask mask;
  mask.Compile(AMask);
  Agree(TypeStandard(mask, AKeys) == AShown, std::string("standard mask ") + AMask + " shows " + AShown);
  for (auto _ : state) benchmark::DoNotOptimize(TypeStandard(mask, AKeys));
  state.counters["keys"] = benchmark::Counter(static_cast<double>(AKeys.size()),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The pattern engine as an editor drives it: forced characters inserted
// after each key, the value complete at the end.
struct RegexTyping {
  TcxRegExpr Re;
  AnsiString Text;
  explicit RegexTyping(const std::string& APattern) {
    CompileText(Re, APattern);
    Re.OnSymbolUpdate = [this](char c) { Text += c; };
    Re.SetUpdateOn(true);
  }
  bool Type(const std::string& AKeys) {
    Re.SetUpdateOn(false);
    Re.Reset();
    Re.SetUpdateOn(true);
    Text.clear();
    for (char key : AKeys) {
      // Forced characters the key brings follow it.
      const std::size_t at = Text.size();
      char k = key;
      if (Re.Next(k)) Text.insert(at, 1, k);
    }
    return Re.IsFinal();
  }
};

void BM_TypeRegexMask(benchmark::State& state, std::string APattern, std::string AKeys, std::string AShown) {
  RegexTyping typing(APattern);
  Agree(typing.Type(AKeys) && typing.Text == AShown, "pattern typing shows " + AShown + ", not " + typing.Text);
  for (auto _ : state) benchmark::DoNotOptimize(typing.Type(AKeys));
  state.counters["keys"] = benchmark::Counter(static_cast<double>(AKeys.size()),
                                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

#ifdef ORV_HAVE_PCRE2
// PCRE2 has no forced characters: it gets the whole shown text, one
// partial match per key.
void BM_TypeRegexMaskPcre2(benchmark::State& state, std::string APattern, std::string AShown) {
  Pcre re(ToPcre(APattern).c_str());
  bool all = true;
  for (std::size_t len = 1; len <= AShown.size(); ++len) all = all && re.Prefix(AShown.data(), len);
  Agree(all, "PCRE2 refuses a prefix of " + AShown);
  for (auto _ : state)
    for (std::size_t len = 1; len <= AShown.size(); ++len) benchmark::DoNotOptimize(re.Prefix(AShown.data(), len));
}
#endif

const int kRegistered = [] {
  for (const auto& c : CompileCases()) {
    benchmark::RegisterBenchmark((std::string("Compile/") + c.name).c_str(), BM_Compile, c.pattern);
#ifdef ORV_HAVE_PCRE2
    if (std::string(c.name).rfind("errors", 0) != 0)
      benchmark::RegisterBenchmark((std::string("CompilePcre2/") + c.name).c_str(), BM_CompilePcre2, c.pattern);
#endif
  }
  for (const auto& c : kTyping) {
    auto* b = benchmark::RegisterBenchmark((std::string("Type/ours/") + c.name).c_str(), BM_TypeOurs, c);
#ifdef ORV_HAVE_PCRE2
    auto* p = benchmark::RegisterBenchmark((std::string("Type/pcre2/") + c.name).c_str(), BM_TypePcre2, c);
    auto* d = benchmark::RegisterBenchmark((std::string("Type/pcre2dfa/") + c.name).c_str(), BM_TypePcre2Dfa, c);
    auto* r = benchmark::RegisterBenchmark((std::string("Type/ratio/") + c.name).c_str(), BM_TypeRatio, c);
#endif
    for (int n : {5, 20, 80, 320}) {
      b->Arg(n);
#ifdef ORV_HAVE_PCRE2
      p->Arg(n);
      d->Arg(n);
      r->Arg(n);
#endif
    }
  }
  benchmark::RegisterBenchmark("TypeValue/standard/phone", BM_TypeStandardMask, "!(999) 000-0000;1;_",
                               std::string("5551234567"), std::string("(555) 123-4567"));
  benchmark::RegisterBenchmark("TypeValue/standard/date", BM_TypeStandardMask, "!99/99/0000;1;_",
                               std::string("12312008"), std::string("12/31/2008"));
  {
    ScopedLocale us("en-US");
    cxFormats_Finalize();
    const std::string date = cxFormatController()->GetRegExprDateEditMask();
    const std::string dateTime = cxFormatController()->GetRegExprDateTimeEditMask();
    cxFormats_Finalize();
    benchmark::RegisterBenchmark("TypeValue/regex/us_date", BM_TypeRegexMask, date, std::string("12/31/2008"),
                                 std::string("12/31/2008"));
    benchmark::RegisterBenchmark("TypeValue/regex/us_datetime", BM_TypeRegexMask, dateTime,
                                 std::string("12/31/2008 11:59:59 PM"), std::string("12/31/2008 11:59:59 PM"));
#ifdef ORV_HAVE_PCRE2
    benchmark::RegisterBenchmark("TypeValue/pcre2/us_date", BM_TypeRegexMaskPcre2, date, std::string("12/31/2008"));
    benchmark::RegisterBenchmark("TypeValue/pcre2/us_datetime", BM_TypeRegexMaskPcre2, dateTime,
                                 std::string("12/31/2008 11:59:59 PM"));
#endif
  }
  benchmark::RegisterBenchmark("NextPrev/us_datetime_smart", BM_NextPrevDate);
  benchmark::RegisterBenchmark("Forced/literal_run", BM_ForcedInsertion, "'ABC-DEF-'\\d\\d\\d", "123");
  benchmark::RegisterBenchmark("Forced/date", BM_ForcedInsertion, "\\d\\d/\\d\\d/\\d\\d\\d\\d", "12312008");
  benchmark::RegisterBenchmark("WholeTexts/compile_each", BM_WholeTexts, false);
  benchmark::RegisterBenchmark("WholeTexts/precompiled", BM_WholeTexts, true);
  benchmark::RegisterBenchmark("Case/sensitive", BM_CaseInsensitive, false);
  benchmark::RegisterBenchmark("Case/insensitive", BM_CaseInsensitive, true);
  return 0;
}();

}  // namespace

namespace {

// Prints the usual table, then the ratios to PCRE2: compile time (ours /
// PCRE2 without JIT, goal within 2) and typing (PCRE2's DFA matcher / ours
// and PCRE2 / ours per key, above 1 means ours is faster), medians when
// repeated.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred || (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median")) continue;
      const std::string name = r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
      Times[name] = r.GetAdjustedRealTime();
      auto it = r.counters.find("pcre2_over_ours");
      if (it != r.counters.end()) Typing[name] = it->second;
      it = r.counters.find("dfa_over_ours");
      if (it != r.counters.end()) TypingDfa[name] = it->second;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-28s %12s %12s %8s\n", "compile", "ours ns", "pcre2 ns", "ratio");
    for (const auto& [name, ours] : Times) {
      if (name.rfind("Compile/", 0) != 0) continue;
      auto peer = Times.find("CompilePcre2/" + name.substr(8));
      if (peer == Times.end()) continue;
      std::printf("%-28s %12.0f %12.0f %8.2f%s\n", name.substr(8).c_str(), ours, peer->second, ours / peer->second,
                  ours / peer->second > 2 ? "  (over 2)" : "");
    }
    std::printf("\n%-28s %12s %12s   %s\n", "typing", "dfa / ours", "pcre2 / ours",
                "per key; above 1: ours is faster (dfa: restartable partial matching; pcre2: the\n"
                "                                                      whole text matched again at every key)");
    for (const auto& [name, ratio] : Typing) {
      const auto dfa = TypingDfa.find(name);
      const double d = dfa == TypingDfa.end() ? 0 : dfa->second;
      std::printf("%-28s %12.2f %12.2f%s\n", name.substr(11).c_str(), d, ratio, d < 1 ? "  (behind the dfa)" : "");
    }
    for (const char* v : {"us_date", "us_datetime"}) {
      auto ours = Times.find(std::string("TypeValue/regex/") + v), peer = Times.find(std::string("TypeValue/pcre2/") + v);
      if (ours != Times.end() && peer != Times.end())
        std::printf("%-28s %8.2f  (a whole value, pcre2 / ours)\n", v, peer->second / ours->second);
    }
  }
  std::map<std::string, double> Times, Typing, TypingDfa;
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  return RunBenchmarks(argc, argv, reporter, gMismatch, "bench_regexpr: a check failed (see MISMATCH above)");
}
