// The mask pattern engine: compile cost, cost per typed character and for
// typing whole values, forced insertion, whole-text checks and the case-
// insensitive overhead; with PCRE2 installed, the same masks and inputs
// through its partial matching (re-matching the whole text at each key),
// reported side by side as ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "library/editors/core/cxFormats.h"
#include "library/editors/core/cxRegExpr.h"
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
struct Pcre {
  explicit Pcre(const char* pattern) {
    int err;
    PCRE2_SIZE offset;
    code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, PCRE2_ANCHORED, &err, &offset,
                         nullptr);
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

// Both in one measurement, reported as a ratio (above 1: ours is faster).
void BM_TypeRatio(benchmark::State& state, const TypingCase& c) {
  using clock = std::chrono::steady_clock;
  const int n = static_cast<int>(state.range(0));
  const std::string text = c.value(n);
  TcxRegExpr ours;
  CompileText(ours, c.ours);
  Pcre peer(c.pcre);
  double oursNs = 0, peerNs = 0;
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
    oursNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
    peerNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
  }
  const double keys = static_cast<double>(text.size()) * static_cast<double>(state.iterations());
  state.counters["ours_ns_per_key"] = oursNs / keys;
  state.counters["pcre2_ns_per_key"] = peerNs / keys;
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
    auto* r = benchmark::RegisterBenchmark((std::string("Type/ratio/") + c.name).c_str(), BM_TypeRatio, c);
#endif
    for (int n : {5, 20, 80, 320}) {
      b->Arg(n);
#ifdef ORV_HAVE_PCRE2
      p->Arg(n);
      r->Arg(n);
#endif
    }
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
