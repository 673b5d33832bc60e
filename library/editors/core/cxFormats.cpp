#include "library/editors/core/cxFormats.h"

#include <algorithm>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TcxFormatController)

namespace {

TcxFormatController* FController = nullptr;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Text as a quoted literal of the pattern language; a quote inside is
// doubled so that names like "o'clock" keep the mask intact.
AnsiString Quoted(const AnsiString& s) {
  AnsiString q = "'";
  for (char c : s) {
    if (c == '\'') q += '\'';
    q += c;
  }
  return q + "'";
}

// --- Tokenizer --------------------------------------------------------------

struct ParseState {
  TcxDateTimeFormatInfo& Info;
  bool Is12Hour = false;
};

void AddLiteral(ParseState& st, const AnsiString& text) {
  auto& items = st.Info.Items;
  if (!items.empty() && items.back().Kind == dtikString)
    items.back().Data += text;
  else
    items.push_back({dtikString, text});
}

void AddItem(ParseState& st, TcxDateTimeFormatItemKind kind, const AnsiString& data) {
  if (kind != dtikString && kind != dtikDateSeparator && kind != dtikTimeSeparator) {
    // Only the first occurrence of a field counts.
    if (st.Info.DefinedItems[kind]) return;
    st.Info.DefinedItems[kind] = true;
  }
  st.Info.Items.push_back({kind, data});
}

bool StartsWithNoCase(const AnsiString& s, std::size_t at, const char* word) {
  for (std::size_t k = 0; word[k]; ++k)
    if (at + k >= s.size() || Upper(s[at + k]) != word[k]) return false;
  return true;
}

bool ParseLevel(const AnsiString& format, ParseState& st, int depth) {
  // A format reached through another one may not lead further in.
  if (depth >= 2) return true;
  const AnsiString f = format.empty() ? AnsiString("C") : format;
  const TFormatSettings& fs = FormatSettings();
  bool hourSeen = false, suffixSeen = false;
  char lastToken = ' ';
  std::size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    if (IsLeadByte(c)) {
      AddLiteral(st, f.substr(i, 2));
      i += 2;
      lastToken = ' ';
      continue;
    }
    char token = Upper(c);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    std::size_t count = 1;
    while (i + count < f.size() && f[i + count] == c) ++count;
    const auto repeated = [&](char letter, std::size_t most) { return AnsiString(std::min(count, most), letter); };
    switch (token) {
      case '"':
      case '\'': {
        std::size_t close = f.find(c, i + 1);
        if (close == AnsiString::npos) close = f.size();
        AddLiteral(st, f.substr(i + 1, close - i - 1));
        i = std::min(close + 1, f.size());
        continue;
      }
      case '/':
        for (std::size_t k = 0; k < count; ++k) AddItem(st, dtikDateSeparator, "");
        break;
      case ':':
        for (std::size_t k = 0; k < count; ++k) AddItem(st, dtikTimeSeparator, "");
        break;
      case 'A': {
        std::size_t len = 1;
        if (StartsWithNoCase(f, i, "AM/PM")) {
          AddItem(st, dtikTimeSuffix, f.substr(i, 5));
          len = 5;
          suffixSeen = true;
        } else if (StartsWithNoCase(f, i, "A/P")) {
          AddItem(st, dtikTimeSuffix, f.substr(i, 3));
          len = 3;
          suffixSeen = true;
        } else if (StartsWithNoCase(f, i, "AMPM")) {
          AddItem(st, dtikTimeSuffix, "AMPM");
          len = 4;
          suffixSeen = true;
        } else if (StartsWithNoCase(f, i, "AAAA")) {
          AddItem(st, dtikDay, "DDDD");
          len = 4;
        } else if (StartsWithNoCase(f, i, "AAA")) {
          AddItem(st, dtikDay, "DDD");
          len = 3;
        } else {
          AddLiteral(st, AnsiString(1, c));
        }
        i += len;
        continue;
      }
      case 'C':
        if (!ParseLevel(fs.ShortDateFormat, st, depth + 1)) return false;
        AddLiteral(st, " ");
        if (!ParseLevel(fs.LongTimeFormat, st, depth + 1)) return false;
        break;
      case 'D':
        if (count <= 4)
          AddItem(st, dtikDay, AnsiString(count, 'D'));
        else if (!ParseLevel(count == 5 ? fs.ShortDateFormat : fs.LongDateFormat, st, depth + 1))
          return false;
        break;
      case 'E':
      case 'Y': AddItem(st, dtikYear, count > 2 ? "YYYY" : "YY"); break;
      case 'G': return false;  // eras have no place in an edit mask
      case 'H':
        AddItem(st, dtikHour, repeated('H', 2));
        hourSeen = true;
        break;
      case 'M': AddItem(st, dtikMonth, repeated('M', 4)); break;
      case 'N': AddItem(st, dtikMin, repeated('N', 2)); break;
      case 'S': AddItem(st, dtikSec, repeated('S', 2)); break;
      case 'Z': AddItem(st, dtikMSec, repeated('Z', 3)); break;
      case 'T':
        if (!ParseLevel(count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, st, depth + 1)) return false;
        break;
      default: AddLiteral(st, AnsiString(count, c)); break;
    }
    i += count;
  }
  if (hourSeen) st.Is12Hour = suffixSeen;
  return true;
}

AnsiString SeparatorMask(char separator) {
  if (separator == '\0') return "";
  if (separator == ' ') return "' '";
  return AnsiString("\\") + separator;
}

Integer SuffixLength(const AnsiString& data) {
  const AnsiString u = UpperCase(data);
  if (u == "A/P") return 1;
  if (u == "AM/PM") return 2;
  const TFormatSettings& fs = FormatSettings();
  return static_cast<Integer>(std::max(fs.TimeAMString.size(), fs.TimePMString.size()));
}

AnsiString Spaced(const AnsiString& a, const AnsiString& b, bool space) {
  if (a.empty() || b.empty()) return a + b;
  return space ? a + " " + b : a + b;
}

}  // namespace

// --- Descriptions ------------------------------------------------------------

bool TcxFormatController::ParseDateTimeFormat(const AnsiString& AFormat, TcxDateTimeFormatInfo& AInfo) {
  AInfo = TcxDateTimeFormatInfo{};
  ParseState st{AInfo};
  if (!ParseLevel(AFormat, st, 0)) {
    AInfo = TcxDateTimeFormatInfo{};
    return false;
  }
  auto hour = std::find_if(AInfo.Items.begin(), AInfo.Items.end(), [](auto& i) { return i.Kind == dtikHour; });
  if (hour != AInfo.Items.end()) {
    hour->Data = (st.Is12Hour ? "12" : "24") + hour->Data;
  } else {
    // A marker without an hour means nothing.
    auto suffix =
        std::find_if(AInfo.Items.begin(), AInfo.Items.end(), [](auto& i) { return i.Kind == dtikTimeSuffix; });
    if (suffix != AInfo.Items.end()) {
      AInfo.Items.erase(suffix);
      AInfo.DefinedItems[dtikTimeSuffix] = false;
    }
  }
  return true;
}

AnsiString TcxFormatController::GetStandardEditMask(const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind) {
  if (AInfo.Items.empty()) return "";
  const bool time = AKind == dtmkTime;
  AnsiString mask = time ? "" : "!";
  for (const auto& item : AInfo.Items) {
    switch (item.Kind) {
      case dtikString:
        for (char c : item.Data) mask += AnsiString("\\") + c;
        break;
      case dtikYear: mask += item.Data.size() == 2 ? "99" : "9999"; break;
      case dtikMonth:
      case dtikDay: mask += item.Data.size() >= 3 ? "lll" : "99"; break;
      case dtikHour:
      case dtikMin:
      case dtikSec: mask += time ? "00" : "99"; break;
      case dtikMSec: break;
      case dtikTimeSuffix: mask += AnsiString(static_cast<std::size_t>(SuffixLength(item.Data)), 'c'); break;
      case dtikDateSeparator: mask += "/"; break;
      case dtikTimeSeparator: mask += ":"; break;
    }
  }
  return mask + (time ? ";1;0" : ";1; ");
}

AnsiString TcxFormatController::GetRegExprEditMask(const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind) {
  if (AKind == dtmkDateTime || AInfo.Items.empty()) return "";
  const TFormatSettings& fs = FormatSettings();
  AnsiString mask;
  for (const auto& item : AInfo.Items) {
    if (item.Kind == dtikString) {
      mask += Quoted(item.Data);
      continue;
    }
    if (AKind == dtmkDate) {
      switch (item.Kind) {
        case dtikYear: mask += item.Data.size() == 2 ? "\\d\\d" : "\\d\\d\\d\\d"; break;
        case dtikMonth: {
          mask += "((0?[1-9]|1[012])|(";
          const auto& names = item.Data.size() == 4 ? fs.LongMonthNames : fs.ShortMonthNames;
          for (std::size_t m = 0; m < names.size(); ++m) mask += (m ? "|" : "") + Quoted(names[m]);
          mask += "))";
          break;
        }
        case dtikDay: mask += "([012]?[1-9]|[123]0|31)"; break;
        case dtikDateSeparator: mask += SeparatorMask(fs.DateSeparator); break;
        default: break;
      }
    } else {
      switch (item.Kind) {
        case dtikHour:
          mask += item.Data.compare(0, 2, "12") == 0 ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])";
          break;
        case dtikMin:
        case dtikSec: mask += "[0-5]?\\d"; break;
        case dtikTimeSuffix: {
          const AnsiString u = UpperCase(item.Data);
          if (u == "A/P") {
            mask += "(A|P)?";
          } else if (u == "AM/PM") {
            mask += "(AM|PM)?";
          } else if (!fs.TimeAMString.empty() || !fs.TimePMString.empty()) {
            if (fs.TimeAMString.empty() || fs.TimePMString.empty())
              mask += "(" + Quoted(fs.TimeAMString + fs.TimePMString) + ")?";
            else
              mask += "(" + Quoted(fs.TimeAMString) + "|" + Quoted(fs.TimePMString) + ")?";
          }
          break;
        }
        case dtikTimeSeparator: mask += SeparatorMask(fs.TimeSeparator); break;
        default: break;
      }
    }
  }
  return mask;
}

AnsiString TcxFormatController::GetMaskedEditFormat(const TcxDateTimeFormatInfo& AInfo) {
  AnsiString format;
  for (const auto& item : AInfo.Items) {
    switch (item.Kind) {
      case dtikString: format += "'" + item.Data + "'"; break;
      case dtikYear: format += LowerCase(item.Data); break;
      case dtikMonth: format += item.Data.size() >= 3 ? "mmm" : "mm"; break;
      case dtikDay: format += item.Data.size() >= 3 ? "ddd" : "dd"; break;
      case dtikHour: format += "hh"; break;
      case dtikMin: format += "nn"; break;
      case dtikSec: format += "ss"; break;
      case dtikMSec: break;
      case dtikTimeSuffix: format += LowerCase(item.Data); break;
      case dtikDateSeparator: format += "/"; break;
      case dtikTimeSeparator: format += ":"; break;
    }
  }
  return format;
}

Integer TcxFormatController::GetDateTimeFormatItemStandardMaskZoneLength(const TcxDateTimeFormatItem& AItem) {
  switch (AItem.Kind) {
    case dtikString: return static_cast<Integer>(AItem.Data.size());
    case dtikYear: return AItem.Data.size() == 2 ? 2 : 4;
    case dtikMonth:
    case dtikDay: return AItem.Data.size() >= 3 ? 3 : 2;
    case dtikHour:
    case dtikMin:
    case dtikSec: return 2;
    case dtikTimeSuffix: return SuffixLength(AItem.Data);
    case dtikDateSeparator:
    case dtikTimeSeparator: return 1;
    case dtikMSec: return 0;
  }
  return 0;
}

Integer TcxFormatController::GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& AInfo) {
  Integer total = 0;
  for (const auto& item : AInfo.Items) total += GetDateTimeFormatItemStandardMaskZoneLength(item);
  return total;
}

bool TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& AInfo, Integer APosition,
                                                                TcxDateTimeFormatItemInfo& AItemInfo) {
  if (APosition < 1) return false;
  Integer start = 1;
  for (const auto& item : AInfo.Items) {
    const Integer length = GetDateTimeFormatItemStandardMaskZoneLength(item);
    if (start + length > APosition) {
      AItemInfo.Kind = item.Kind;
      AItemInfo.ItemZoneStart = start;
      AItemInfo.ItemZoneLength = length;
      const AnsiString u = UpperCase(item.Data);
      AItemInfo.TimeSuffixKind = u == "A/P" ? tskAP : u == "AM/PM" ? tskAMPM : tskAMPMString;
      return true;
    }
    start += length;
  }
  return false;
}

// --- Locale values -------------------------------------------------------------

AnsiString TcxFormatController::GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind AKind) const {
  const TFormatSettings& fs = FormatSettings();
  switch (AKind) {
    case dtmkDate: return fs.ShortDateFormat;
    case dtmkTime: return fs.LongTimeFormat;
    default: return fs.ShortDateFormat + " " + fs.LongTimeFormat;
  }
}

AnsiString TcxFormatController::GetDateEditFormat(bool AIsMasked) const {
  const AnsiString& f = FormatSettings().ShortDateFormat;
  AnsiString result;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    const bool lone = (c == 'd' || c == 'M') && (i == 0 || f[i - 1] != c) && (i + 1 == f.size() || f[i + 1] != c);
    result += c;
    if (lone) result += c;
  }
  if (AIsMasked) {
    std::size_t first = result.find('M');
    if (first != AnsiString::npos) {
      std::size_t end = first;
      while (end < result.size() && result[end] == 'M') ++end;
      if (end - first > 3) result.erase(first + 3, end - first - 3);
    }
  }
  return result;
}

AnsiString TcxFormatController::ReadLocaleCurrencyFormat() const {
  const Locale& l = CurrentLocale();
  AnsiString number = ",0." + AnsiString(static_cast<std::size_t>(std::max(l.CurrencyDecimals, 0)), '0');
  AnsiString symbol;
  for (char c : l.CurrencyString) {
    if (c == ',' || c == '.')
      symbol += AnsiString("'") + c + "'";
    else
      symbol += c;
  }
  // Spaces stand only between a symbol and the number; with no symbol
  // there is nothing to keep apart.
  const auto S = [&](const AnsiString& a, const AnsiString& b) { return Spaced(a, b, true); };
  AnsiString positive;
  switch (l.CurrencyFormat) {
    case 1: positive = number + symbol; break;
    case 2: positive = S(symbol, number); break;
    case 3: positive = S(number, symbol); break;
    default: positive = symbol + number; break;
  }
  AnsiString negative;
  switch (l.NegCurrFormat) {
    case 1: negative = "-" + symbol + number; break;
    case 2: negative = symbol + "-" + number; break;
    case 3: negative = symbol + number + "-"; break;
    case 4: negative = "(" + number + symbol + ")"; break;
    case 5: negative = "-" + number + symbol; break;
    case 6: negative = number + "-" + symbol; break;
    case 7: negative = number + symbol + "-"; break;
    case 8: negative = "-" + S(number, symbol); break;
    case 9: negative = "-" + S(symbol, number); break;
    case 10: negative = S(number, symbol) + "-"; break;
    case 11: negative = S(symbol, number) + "-"; break;
    case 12: negative = S(symbol, "-" + number); break;
    case 13: negative = S(number + "-", symbol); break;
    case 14: negative = "(" + S(symbol, number) + ")"; break;
    case 15: negative = "(" + S(number, symbol) + ")"; break;
    default: negative = "(" + symbol + number + ")"; break;
  }
  return positive + ";" + negative;
}

TDay TcxFormatController::ReadLocaleStartOfWeek() const {
  char buf[8] = "0";
  int n = win::GetLocaleInfoA(win::LOCALE_USER_DEFAULT, win::LOCALE_IFIRSTDAYOFWEEK, buf, sizeof buf);
  int localeDay = n > 1 && buf[0] >= '0' && buf[0] <= '6' ? buf[0] - '0' : 0;
  // The locale counts from Monday (0), the week days here from Sunday.
  return static_cast<TDay>((localeDay + 1) % 7);
}

// --- The controller ------------------------------------------------------------

TcxFormatController::TcxFormatController() { GetFormats(); }

TcxFormatController::~TcxFormatController() {
  StopWatchingSettings();
  if (FController == this) FController = nullptr;
}

void TcxFormatController::GetFormats() {
  if (!FController) FController = this;
  if (!FAssignedCurrencyFormat) FCurrencyFormat = ReadLocaleCurrencyFormat();
  if (!FAssignedStartOfWeek) FStartOfWeek = ReadLocaleStartOfWeek();
  CalculateDateEditMasks(true);
  FDateEditFormat = GetDateEditFormat(false);
}

void TcxFormatController::CalculateDateEditMasks(bool AUseSmartInputWhenRegExpr) {
  ParseDateTimeFormat(GetDateTimeDisplayFormat(dtmkDate), FDateFormatInfo);
  ParseDateTimeFormat(GetDateTimeDisplayFormat(dtmkTime), FTimeFormatInfo);
  ParseDateTimeFormat(GetDateTimeDisplayFormat(dtmkDateTime), FDateTimeFormatInfo);
  FLocaleStandardDateEditMask = GetStandardEditMask(FDateFormatInfo, dtmkDate);
  if (!FAssignedStandardDateEditMask) FStandardDateEditMask = FLocaleStandardDateEditMask;
  const AnsiString datePart = GetRegExprEditMask(FDateFormatInfo, dtmkDate);
  if (!FAssignedRegExprDateEditMask) {
    FRegExprDateEditMask = datePart;
    if (AUseSmartInputWhenRegExpr) AddDateRegExprMaskSmartInput(FRegExprDateEditMask, false);
  }
  if (!FAssignedRegExprDateTimeEditMask) {
    // The time, with the blank before it, may be left out.
    FRegExprDateTimeEditMask = datePart + "(' '" + GetRegExprEditMask(FTimeFormatInfo, dtmkTime) + ")?";
    if (AUseSmartInputWhenRegExpr) AddDateRegExprMaskSmartInput(FRegExprDateTimeEditMask, true);
  }
  if (!FAssignedStandardDateTimeEditMask)
    FStandardDateTimeEditMask = GetStandardEditMask(FDateTimeFormatInfo, dtmkDateTime);
  FMaskedDateEditFormat = GetMaskedEditFormat(FDateFormatInfo);
  FMaskedDateTimeEditFormat = GetMaskedEditFormat(FDateTimeFormatInfo);
}

void TcxFormatController::EndUpdate() {
  if (FLockCount > 0 && --FLockCount == 0) NotifyListeners();
}

void TcxFormatController::FormatChanged() {
  if (FLockCount != 0) return;
  GetFormats();
  NotifyListeners();
}

void TcxFormatController::NotifyListeners() {
  ForEachListener([](IcxFormatControllerListener* l) { l->FormatChanged(); });
}

void TcxFormatController::TimeChanged() {
  ForEachListener([](IcxFormatControllerListener* l) {
    if (auto* l2 = dynamic_cast<IcxFormatControllerListener2*>(l)) l2->TimeChanged();
  });
}

// A listener may leave (or join) while it is told: the ones listening when
// it began are told while they still listen. One that leaves leaves a hole
// in its place and one that joins goes after the end the walk began with.
template <class F>
void TcxFormatController::ForEachListener(F&& ATell) {
  ++FNotifying;
  orv::ScopeExit done([this] {
    if (--FNotifying == 0) TidyListeners();
  });
  const std::size_t count = FListeners.size();
  for (std::size_t i = 0; i < count; ++i)
    if (IcxFormatControllerListener* l = FListeners[i]) ATell(l);
}

bool TcxFormatController::IsListening(const IcxFormatControllerListener* AListener) const {
  const std::size_t place = AListener->FFormatListenerPlace;
  return place < FListeners.size() && FListeners[place] == AListener;
}

void TcxFormatController::AddListener(IcxFormatControllerListener* AListener) {
  if (!AListener || IsListening(AListener)) return;
  if (GetListenerCount() == 0) StartWatchingSettings();
  AListener->FFormatListenerPlace = FListeners.size();
  FListeners.push_back(AListener);
}

void TcxFormatController::RemoveListener(IcxFormatControllerListener* AListener) {
  if (!AListener || !IsListening(AListener)) return;
  FListeners[AListener->FFormatListenerPlace] = nullptr;
  AListener->FFormatListenerPlace = ~std::size_t{0};
  ++FListenerHoles;
  if (FNotifying == 0) TidyListeners();
  if (GetListenerCount() == 0) StopWatchingSettings();
}

void TcxFormatController::TidyListeners() {
  while (!FListeners.empty() && !FListeners.back()) {
    FListeners.pop_back();
    --FListenerHoles;
  }
  if (FListenerHoles <= FListeners.size() / 2) return;
  std::erase(FListeners, nullptr);
  FListenerHoles = 0;
  for (std::size_t i = 0; i < FListeners.size(); ++i) FListeners[i]->FFormatListenerPlace = i;
}

// The platform tells of regional-settings changes through the locale
// service; the controller hears them only while someone listens to it.
void TcxFormatController::StartWatchingSettings() {
  if (FSettingsWatch != 0) return;
  FWatchToken = std::make_shared<TcxFormatController*>(this);
  FSettingsWatch = AddLocaleListener([token = std::weak_ptr<TcxFormatController*>(FWatchToken)] {
    if (auto self = token.lock()) (*self)->SettingsChanged();
  });
}

void TcxFormatController::StopWatchingSettings() {
  if (FSettingsWatch != 0) RemoveLocaleListener(FSettingsWatch);
  FSettingsWatch = 0;
  FWatchToken.reset();
}

void TcxFormatController::SettingsChanged() {
  // A failure while re-reading must not stop the locale service from
  // telling its other listeners; the formats then stay as they were.
  try {
    GetFormatSettings();
    GetFormats();
    NotifyListeners();
  } catch (const Exception&) {
  }
}

void TcxFormatController::SetFlag(bool& AFlag, bool AValue) {
  if (AFlag == AValue) return;
  AFlag = AValue;
  FormatChanged();
}

namespace {
template <class T>
bool Assign(bool& assigned, T& field, const T& value) {
  assigned = true;
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TcxFormatController::SetCurrencyFormat(const AnsiString& AValue) {
  if (Assign(FAssignedCurrencyFormat, FCurrencyFormat, AValue)) FormatChanged();
}
void TcxFormatController::SetRegExprDateEditMask(const AnsiString& AValue) {
  if (Assign(FAssignedRegExprDateEditMask, FRegExprDateEditMask, AValue)) FormatChanged();
}
void TcxFormatController::SetRegExprDateTimeEditMask(const AnsiString& AValue) {
  if (Assign(FAssignedRegExprDateTimeEditMask, FRegExprDateTimeEditMask, AValue)) FormatChanged();
}
void TcxFormatController::SetStandardDateEditMask(const AnsiString& AValue) {
  if (Assign(FAssignedStandardDateEditMask, FStandardDateEditMask, AValue)) FormatChanged();
}
void TcxFormatController::SetStandardDateTimeEditMask(const AnsiString& AValue) {
  if (Assign(FAssignedStandardDateTimeEditMask, FStandardDateTimeEditMask, AValue)) FormatChanged();
}
void TcxFormatController::SetStartOfWeek(TDay AValue) {
  if (Assign(FAssignedStartOfWeek, FStartOfWeek, AValue)) FormatChanged();
}

void TcxFormatController::SetFirstWeekOfYear(TcxFirstWeekOfYear AValue) {
  if (FFirstWeekOfYear == AValue) return;
  FFirstWeekOfYear = AValue;
  FormatChanged();
}

void TcxFormatController::SetUseRtlDateTimeFormats(bool AValue) {
  if (FUseRtlDateTimeFormats == AValue) return;
  FUseRtlDateTimeFormats = AValue;
  MinYear = AValue ? 1 : 100;
  FormatChanged();
}

TcxFormatController* cxFormatController() {
  if (!FController) New<TcxFormatController>();  // becomes the process's controller
  return FController;
}

void cxFormats_Finalize() {
  TcxFormatController* c = FController;
  FController = nullptr;
  Free(c);
}
