#include "library/editors/core/cxFormats.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EngineFixtures.h"
#include "library/editors/core/cxRegExpr.h"
#include "library/editors/core/cxStandardMask.h"
#include "platform/rtl/FormatSettings.h"

using fixtures::EngineLocale;

namespace {

// "M(M) /() D(D) /() Y(YYYY)": the kinds and data of a description.
AnsiString Items(const TcxDateTimeFormatInfo& info) {
  static const char* kKinds[] = {"'", "Y", "M", "D", "H", "N", "S", "Z", "T", "/", ":"};
  AnsiString s;
  for (const auto& item : info.Items) {
    if (!s.empty()) s += " ";
    s += AnsiString(kKinds[item.Kind]) + "(" + item.Data + ")";
  }
  return s;
}

TcxDateTimeFormatInfo Parsed(const AnsiString& format) {
  TcxDateTimeFormatInfo info;
  TcxFormatController::ParseDateTimeFormat(format, info);
  return info;
}

struct Listener : IcxFormatControllerListener {
  void FormatChanged() override { log += "F"; }
  AnsiString log;
};

// Writes its name to a log shared by several, then does what a test asks.
struct NamedListener : IcxFormatControllerListener {
  NamedListener(std::string AName, std::string* ALog) : name(std::move(AName)), log(ALog) {}
  void FormatChanged() override {
    *log += name;
    if (then) then();
  }
  std::string name;
  std::string* log;
  std::function<void()> then;
};

struct TimeListener : IcxFormatControllerListener, IcxFormatControllerListener2 {
  void FormatChanged() override { log += "F"; }
  void TimeChanged() override { log += "T"; }
  AnsiString log;
};

}  // namespace

TEST(FormatController, UsFormats) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  EXPECT_EQ(Items(c->GetDateFormatInfo()), "M(M) /() D(D) /() Y(YYYY)");
  EXPECT_EQ(c->GetStandardDateEditMask(), "!99/99/9999;1; ");
  EXPECT_EQ(c->GetRegExprDateEditMask().substr(0, 50), "(((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|");
  EXPECT_EQ(c->GetDateEditFormat(), "MM/dd/yyyy");
  EXPECT_EQ(Items(c->GetTimeFormatInfo()), "H(12H) :() N(NN) :() S(SS) '( ) T(AMPM)");
  const AnsiString timeMask = TcxFormatController::GetRegExprEditMask(c->GetTimeFormatInfo(), dtmkTime);
  EXPECT_EQ(timeMask, "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?");
  EXPECT_EQ(TcxFormatController::GetDateTimeFormatItemStandardMaskZoneLength(c->GetTimeFormatInfo().Items.back()), 2);
  EXPECT_EQ(TcxFormatController::GetStandardEditMask(c->GetTimeFormatInfo(), dtmkTime), "00:00:00\\ cc;1;0");
  EXPECT_EQ(c->GetCurrencyFormat(), "$,0.00;-$,0.00");
  EXPECT_EQ(c->GetStartOfWeek(), dSunday);
  EXPECT_EQ(c->GetMaskedDateEditFormat(), "mm/dd/yyyy");
  EXPECT_EQ(c->GetMaskedDateTimeEditFormat(), "mm/dd/yyyy' 'hh:nn:ss' 'ampm");
  EXPECT_EQ(c->GetStandardDateTimeEditMask(), "!99/99/9999\\ 99:99:99\\ cc;1; ");
}

TEST(FormatController, GermanFormats) {
  EngineLocale env(fixtures::GermanLocale());
  TcxFormatController* c = cxFormatController();
  EXPECT_EQ(Items(c->GetDateFormatInfo()), "D(DD) '(.) M(MM) '(.) Y(YYYY)");
  EXPECT_EQ(c->GetStandardDateEditMask(), "!99\\.99\\.9999;1; ");
  EXPECT_EQ(c->GetDateEditFormat(), "dd.MM.yyyy");
  EXPECT_EQ(c->GetCurrencyFormat(), ",0.00 \x80;-,0.00 \x80");
  EXPECT_EQ(Items(c->GetTimeFormatInfo()), "H(24HH) :() N(NN) :() S(SS)");
  EXPECT_EQ(TcxFormatController::GetRegExprEditMask(c->GetTimeFormatInfo(), dtmkTime),
            "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d");
  EXPECT_EQ(c->GetStartOfWeek(), dMonday);
}

TEST(FormatController, LocaleMasksWorkInTheEngines) {
  for (const Locale& l : {fixtures::UsLocale(), fixtures::GermanLocale()}) {
    EngineLocale env(l);
    TcxFormatController* c = cxFormatController();
    const bool us = l.Name == "en-US";
    TcxStandardMask m;
    m.Compile(c->GetStandardDateEditMask());
    EXPECT_EQ(m.GetFullEmptyString(), us ? "  /  /    " : "  .  .    ");
    AnsiString typed = us ? "12/31/2008" : "31.12.2008";
    EXPECT_TRUE(m.IsFullValid(typed));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid(typed, c->GetRegExprDateEditMask())) << l.Name;
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("today-3", c->GetRegExprDateEditMask()));
    EXPECT_FALSE(cxRegExpr::IsTextFullValid("now", c->GetRegExprDateEditMask()));
    const AnsiString dt = c->GetRegExprDateTimeEditMask();
    EXPECT_TRUE(cxRegExpr::IsTextFullValid(typed, dt));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid(typed + (us ? " 1:05:09 PM" : " 13:05:09"), dt)) << dt;
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("now", dt));
  }
  EngineLocale env(fixtures::UsLocale());
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("Dec/31/2008", cxFormatController()->GetRegExprDateEditMask()));
}

TEST(FormatController, Tokenizer) {
  EngineLocale env(fixtures::UsLocale());
  EXPECT_EQ(Items(Parsed("hh:nn")), "H(24HH) :() N(NN)");
  EXPECT_EQ(Items(Parsed("HH:MM")), "H(24HH) :() N(NN)") << "M right after an hour is minutes";
  EXPECT_EQ(Items(Parsed("yyyy yyyy")), "Y(YYYY) '( )") << "only the first year counts";
  EXPECT_EQ(Items(Parsed("dddd d mmmmm yy")), "D(DDDD) '(  ) M(MMMM) '( ) Y(YY)");
  EXPECT_EQ(Items(Parsed("h:mm a/p")), "H(12H) :() N(NN) '( ) T(a/p)");
  EXPECT_EQ(Items(Parsed("h:mm am/pm")), "H(12H) :() N(NN) '( ) T(am/pm)");
  EXPECT_EQ(Items(Parsed("'at' h")), "'(at ) H(24H)");
  EXPECT_EQ(Items(Parsed("\"x")), "'(x)") << "an unclosed quote takes the rest";
  EXPECT_EQ(Items(Parsed("d AMPM")), "D(D) '( )") << "a marker without an hour is dropped";
  EXPECT_EQ(Items(Parsed("aaaa zzzz")), "D(DDDD) '( ) Z(ZZZ)");
  EXPECT_EQ(Items(Parsed("")), Items(Parsed("C")));
  EXPECT_EQ(Items(Parsed("C")), "M(M) /() D(D) /() Y(YYYY) '( ) H(12H) :() N(NN) :() S(SS) '( ) T(AMPM)");
  TcxDateTimeFormatInfo era;
  EXPECT_FALSE(TcxFormatController::ParseDateTimeFormat("gg yyyy", era));
  EXPECT_TRUE(era.Items.empty());
  EXPECT_EQ(TcxFormatController::GetStandardEditMask(era, dtmkDate), "");
  EXPECT_EQ(TcxFormatController::GetRegExprEditMask(era, dtmkDate), "");
  // A format that reaches itself is followed one level in only.
  FormatSettings().ShortDateFormat = "d C";
  EXPECT_EQ(Items(Parsed("C")), "D(D) '(   ) H(12H) :() N(NN) :() S(SS) '( ) T(AMPM)");
}

TEST(FormatController, StandardMaskZones) {
  EngineLocale env(fixtures::UsLocale());
  const TcxDateTimeFormatInfo& info = cxFormatController()->GetDateTimeFormatInfo();
  // "MM/DD/YYYY HH:NN:SS AM"
  EXPECT_EQ(TcxFormatController::GetDateTimeStandardMaskStringLength(info), 22);
  TcxDateTimeFormatItemInfo zone;
  ASSERT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, 4, zone));
  EXPECT_EQ(zone.Kind, dtikDay);
  EXPECT_EQ(zone.ItemZoneStart, 4);
  EXPECT_EQ(zone.ItemZoneLength, 2);
  ASSERT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, 22, zone));
  EXPECT_EQ(zone.Kind, dtikTimeSuffix);
  EXPECT_EQ(zone.ItemZoneStart, 21);
  EXPECT_EQ(zone.TimeSuffixKind, tskAMPMString);
  EXPECT_FALSE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, 23, zone));
  EXPECT_FALSE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, 0, zone));
  EXPECT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(Parsed("h:mm a/p"), 7, zone));
  EXPECT_EQ(zone.TimeSuffixKind, tskAP);
  EXPECT_EQ(zone.ItemZoneLength, 1);
}

TEST(FormatController, CurrencyPatterns) {
  const char* expected[16] = {"($,0.00)", "-$,0.00", "$-,0.00", "$,0.00-", "(,0.00$)", "-,0.00$",
                              ",0.00-$", ",0.00$-", "-,0.00 $", "-$ ,0.00", ",0.00 $-", "$ ,0.00-",
                              "$ -,0.00", ",0.00- $", "($ ,0.00)", "(,0.00 $)"};
  for (int neg = 0; neg < 16; ++neg) {
    Locale l = fixtures::UsLocale();
    l.NegCurrFormat = neg;
    EngineLocale env(l);
    EXPECT_EQ(cxFormatController()->GetCurrencyFormat(), AnsiString("$,0.00;") + expected[neg]) << neg;
  }
  Locale odd = fixtures::UsLocale();
  odd.CurrencyString = "S.,";
  odd.CurrencyDecimals = 0;
  odd.CurrencyFormat = 2;
  EngineLocale env(odd);
  EXPECT_EQ(cxFormatController()->GetCurrencyFormat(), "S'.'',' ,0.;-S'.'',',0.");
  Locale none = fixtures::UsLocale();
  none.CurrencyString = "";
  none.CurrencyFormat = 3;
  none.NegCurrFormat = 8;
  fixtures::SwitchLocale noSymbol(none);
  EXPECT_EQ(cxFormatController()->GetCurrencyFormat(), ",0.00;-,0.00");
}

TEST(FormatController, ListenersHearLocaleChangesWhileRegistered) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  Listener a;
  TimeListener b;
  EXPECT_FALSE(c->IsWatchingSettings());
  c->AddListener(&a);
  c->AddListener(&a);
  c->AddListener(&b);
  EXPECT_EQ(c->GetListenerCount(), 2);
  EXPECT_TRUE(c->IsWatchingSettings());

  c->SetStandardDateEditMask("!99/99/99;1;_");
  EXPECT_EQ(a.log, "F");
  {
    ScopedLocale de(fixtures::GermanLocale());
    EXPECT_EQ(a.log, "FF") << "the settings change re-reads the formats";
    EXPECT_EQ(c->GetStandardDateEditMask(), "!99/99/99;1;_") << "assigned: kept";
    EXPECT_EQ(c->GetLocaleStandardDateEditMask(), "!99\\.99\\.9999;1; ");
    EXPECT_EQ(c->GetRegExprDateEditMask().substr(0, 23), "(([012]?[1-9]|[123]0|31");
    EXPECT_EQ(c->GetStartOfWeek(), dMonday);
  }
  EXPECT_EQ(c->GetStartOfWeek(), dSunday);
  c->TimeChanged();
  EXPECT_EQ(b.log, "FFFT") << "only listeners that take time changes hear them";
  EXPECT_EQ(a.log, "FFF");

  c->BeginUpdate();
  c->SetCurrencyFormat("x");
  c->SetStartOfWeek(dFriday);
  c->BeginUpdate();
  c->EndUpdate();
  EXPECT_EQ(a.log, "FFF");
  c->EndUpdate();
  EXPECT_EQ(a.log, "FFFF") << "one notice for the whole update";
  c->SetCurrencyFormat("x");
  EXPECT_EQ(a.log, "FFFF") << "an unchanged value tells nobody";

  c->RemoveListener(&a);
  EXPECT_TRUE(c->IsWatchingSettings());
  c->RemoveListener(&b);
  EXPECT_FALSE(c->IsWatchingSettings());
  {
    ScopedLocale de(fixtures::GermanLocale());
    EXPECT_EQ(a.log, "FFFF");
  }
}

// Every editor of a grid row listens: joining and leaving cost the same
// however many listen, and the listeners still hear in the order they
// came, each one once.
TEST(FormatController, ListenersHearInTheOrderTheyCameEachOnce) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  std::string log;
  NamedListener a("a", &log), b("b", &log), c1("c", &log), d("d", &log), late("L", &log);
  for (NamedListener* l : {&a, &b, &c1, &d, &b, &a}) c->AddListener(l);
  EXPECT_EQ(c->GetListenerCount(), 4);
  c->NotifyListeners();
  EXPECT_EQ(log, "abcd");

  // One that leaves and comes back hears last.
  c->RemoveListener(&b);
  c->RemoveListener(&b);
  c->AddListener(&b);
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "acdb");

  // One that leaves while the others are told is not told; one that joins
  // then hears from the next notice on.
  a.then = [&] {
    c->RemoveListener(&d);
    c->AddListener(&late);
  };
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "acb");
  a.then = nullptr;
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "acbL");

  for (NamedListener* l : {&a, &b, &c1, &d, &late}) c->RemoveListener(l);
  EXPECT_EQ(c->GetListenerCount(), 0);
  EXPECT_FALSE(c->IsWatchingSettings());
}

// Listeners leave from the middle in any number, some while others are
// told of a time change: the rest keep the order they came in, one that
// left is told nothing, and every one can leave and come back.
TEST(FormatController, ListenersLeavingFromTheMiddleLeaveTheOthersInOrder) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  std::string log;
  std::vector<std::unique_ptr<NamedListener>> named;
  for (char n = 'a'; n <= 'j'; ++n) named.push_back(std::make_unique<NamedListener>(std::string(1, n), &log));
  for (auto& l : named) c->AddListener(l.get());
  for (char n : std::string("bcdefg")) c->RemoveListener(named[static_cast<std::size_t>(n - 'a')].get());
  EXPECT_EQ(c->GetListenerCount(), 4);
  c->NotifyListeners();
  EXPECT_EQ(log, "ahij");

  c->AddListener(named[2].get());
  c->RemoveListener(named[7].get());
  c->AddListener(named[7].get());
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "aijch");

  // A time change: the first to hear sends the one after it away.
  struct Leaver : IcxFormatControllerListener, IcxFormatControllerListener2 {
    void FormatChanged() override {}
    void TimeChanged() override {
      log += name;
      if (then) then();
    }
    std::string name;
    std::string log;
    std::function<void()> then;
  };
  Leaver first, second;
  first.name = "1";
  second.name = "2";
  first.then = [&] { c->RemoveListener(&second); };
  c->AddListener(&first);
  c->AddListener(&second);
  c->TimeChanged();
  EXPECT_EQ(first.log + second.log, "1") << "one that left before its turn hears nothing";

  c->RemoveListener(&first);
  for (auto& l : named) c->RemoveListener(l.get());
  EXPECT_EQ(c->GetListenerCount(), 0);
  EXPECT_FALSE(c->IsWatchingSettings());
}

// A listener told of a change frees the listeners after it, which leave
// as they go, and makes new ones: the walk reaches none of them, the next
// notice finds the others in the order they came, and a listener that left
// a controller since freed joins the next one afresh.
TEST(FormatController, ListenersFreedAndMadeWhileOthersAreToldAreNeitherReachedNorLost) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  std::string log;
  struct Leaving : NamedListener {
    using NamedListener::NamedListener;
    ~Leaving() override { cxFormatController()->RemoveListener(this); }
  };
  std::vector<std::unique_ptr<Leaving>> all;
  for (char n = 'a'; n <= 'h'; ++n) {
    all.push_back(std::make_unique<Leaving>(std::string(1, n), &log));
    c->AddListener(all.back().get());
  }
  all[2]->then = [&] {
    all.resize(3);
    for (char n : std::string("xyz")) {
      all.push_back(std::make_unique<Leaving>(std::string(1, n), &log));
      c->AddListener(all.back().get());
    }
  };
  c->NotifyListeners();
  EXPECT_EQ(log, "abc");
  EXPECT_EQ(c->GetListenerCount(), 6);
  all[2]->then = nullptr;
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "abcxyz");

  // Half of them leave from the middle, and the rest close up.
  for (std::size_t i : {1, 3, 4}) c->RemoveListener(all[i].get());
  c->AddListener(all[3].get());
  log.clear();
  c->NotifyListeners();
  EXPECT_EQ(log, "aczx");

  NamedListener kept("k", &log);
  c->AddListener(&kept);
  cxFormats_Finalize();
  all.clear();
  TcxFormatController* next = cxFormatController();
  EXPECT_EQ(next->GetListenerCount(), 0);
  next->AddListener(&kept);
  next->AddListener(&kept);
  EXPECT_EQ(next->GetListenerCount(), 1);
  log.clear();
  next->NotifyListeners();
  EXPECT_EQ(log, "k");
  next->RemoveListener(&kept);
  EXPECT_EQ(next->GetListenerCount(), 0);
}

TEST(FormatController, AssignedFlagsGiveValuesBackToTheLocale) {
  EngineLocale env(fixtures::UsLocale());
  TcxFormatController* c = cxFormatController();
  c->SetStartOfWeek(dMonday);
  EXPECT_TRUE(c->GetAssignedStartOfWeek());
  c->SetAssignedStartOfWeek(false);
  EXPECT_EQ(c->GetStartOfWeek(), dSunday);
  c->SetCurrencyFormat("0");
  c->SetAssignedCurrencyFormat(false);
  EXPECT_EQ(c->GetCurrencyFormat(), "$,0.00;-$,0.00");
  EXPECT_EQ(c->GetDateEditFormat(true), "MM/dd/yyyy");
  FormatSettings().ShortDateFormat = "d-MMMM-yyyy";
  EXPECT_EQ(c->GetDateEditFormat(false), "dd-MMMM-yyyy");
  EXPECT_EQ(c->GetDateEditFormat(true), "dd-MMM-yyyy");
}

TEST(FormatController, OnlyOneProcessController) {
  EngineLocale env(fixtures::UsLocale());
  auto* own = New<TcxFormatController>();
  EXPECT_EQ(cxFormatController(), own) << "the first one made becomes the process's";
  own->Free();
  TcxFormatController* next = cxFormatController();
  EXPECT_NE(next, nullptr);
  EXPECT_EQ(cxFormatController(), next);
}

TEST(FormatController, ControllerFreedDuringASettingsNoticeIsNotCalled) {
  fixtures::SwitchLocale us(fixtures::UsLocale());
  // Another listener of the locale service, told first, frees the controller
  // whose own notice is already queued behind it.
  const LocaleListenerId first = AddLocaleListener([] { cxFormats_Finalize(); });
  Listener a;
  cxFormatController()->AddListener(&a);
  SetLocale(fixtures::GermanLocale());
  RemoveLocaleListener(first);
  EXPECT_EQ(a.log, "");
  EXPECT_NE(cxFormatController(), nullptr) << "a new controller is made on demand";
}
