// The locale's formats as the editors need them: the currency display
// format, the first day of the week, and, parsed from the date and time
// formats, edit masks (classic and pattern masks) and edit formats for
// masked date editors. One controller serves the process; editors listen
// to it and hear when the formats change, because the user changed the
// regional settings or a program assigned one of its properties.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "library/editors/core/cxDateUtils.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Object.h"

enum TcxDateTimeEditMaskKind { dtmkDate, dtmkTime, dtmkDateTime };
enum TcxDateTimeFormatItemKind : Byte {
  dtikString, dtikYear, dtikMonth, dtikDay, dtikHour, dtikMin, dtikSec, dtikMSec, dtikTimeSuffix,
  dtikDateSeparator, dtikTimeSeparator
};
enum TcxTimeSuffixKind { tskAP, tskAMPM, tskAMPMString };

struct TcxDateTimeFormatItem {
  TcxDateTimeFormatItemKind Kind = dtikString;
  // Literal text; the field's letters ("MMMM", "YY"; hours prefixed "12"
  // or "24"); the suffix as written ("AM/PM", "a/p", "AMPM").
  AnsiString Data;
  bool operator==(const TcxDateTimeFormatItem&) const = default;
};

struct TcxDateTimeFormatInfo {
  std::array<bool, 11> DefinedItems{};
  std::vector<TcxDateTimeFormatItem> Items;
};

struct TcxDateTimeFormatItemInfo {
  TcxDateTimeFormatItemKind Kind = dtikString;
  Integer ItemZoneStart = 0;  // 1-based, in the classic mask's text
  Integer ItemZoneLength = 0;
  TcxTimeSuffixKind TimeSuffixKind = tskAP;
};

class IcxFormatControllerListener {
 public:
  virtual ~IcxFormatControllerListener() = default;
  virtual void FormatChanged() = 0;

 private:
  friend class TcxFormatController;
  // Where the listener lies in the controller's list while it listens, so
  // that joining and leaving need no index beside the list. The controller
  // trusts it only where the list holds this listener at that place.
  std::size_t FFormatListenerPlace = ~std::size_t{0};
};
ORV_INTERFACE(IcxFormatControllerListener, "{B3852E68-1672-4897-9DA9-68AFB9F0F8E4}")

// Offered besides the first by listeners that also want to hear of
// changes of the system time.
class IcxFormatControllerListener2 {
 public:
  virtual ~IcxFormatControllerListener2() = default;
  virtual void TimeChanged() = 0;
};
ORV_INTERFACE(IcxFormatControllerListener2, "{B1E9D958-7C19-492E-ADF1-93F40690C3F7}")

class TcxFormatController : public TObject {
  ORV_CLASS(TcxFormatController, TObject)
 public:
  TcxFormatController();
  ~TcxFormatController() override;
  TcxFormatController(const TcxFormatController&) = delete;
  TcxFormatController& operator=(const TcxFormatController&) = delete;

  virtual void AddListener(IcxFormatControllerListener* AListener);
  virtual void RemoveListener(IcxFormatControllerListener* AListener);
  int GetListenerCount() const { return static_cast<int>(FListeners.size() - FListenerHoles); }
  // Whether the controller is hearing the platform's settings changes; it
  // does so only while someone listens to it.
  bool IsWatchingSettings() const { return FSettingsWatch != 0; }

  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  // Re-reads the formats and tells the listeners (not inside an update).
  void FormatChanged();
  void NotifyListeners();
  void TimeChanged();

  AnsiString GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind AKind) const;
  AnsiString GetDateEditFormat(bool AIsMasked) const;
  // The values the locale gives, regardless of assignments.
  AnsiString ReadLocaleCurrencyFormat() const;
  TDay ReadLocaleStartOfWeek() const;

  // Properties. Assigning one of the first six marks it as the program's:
  // locale changes leave it alone from then on.
  const AnsiString& GetCurrencyFormat() const { return FCurrencyFormat; }
  void SetCurrencyFormat(const AnsiString& AValue);
  const AnsiString& GetRegExprDateEditMask() const { return FRegExprDateEditMask; }
  void SetRegExprDateEditMask(const AnsiString& AValue);
  const AnsiString& GetRegExprDateTimeEditMask() const { return FRegExprDateTimeEditMask; }
  void SetRegExprDateTimeEditMask(const AnsiString& AValue);
  const AnsiString& GetStandardDateEditMask() const { return FStandardDateEditMask; }
  void SetStandardDateEditMask(const AnsiString& AValue);
  const AnsiString& GetStandardDateTimeEditMask() const { return FStandardDateTimeEditMask; }
  void SetStandardDateTimeEditMask(const AnsiString& AValue);
  TDay GetStartOfWeek() const { return FStartOfWeek; }
  void SetStartOfWeek(TDay AValue);
  TcxFirstWeekOfYear GetFirstWeekOfYear() const { return FFirstWeekOfYear; }
  void SetFirstWeekOfYear(TcxFirstWeekOfYear AValue);
  bool GetUseRtlDateTimeFormats() const { return FUseRtlDateTimeFormats; }
  void SetUseRtlDateTimeFormats(bool AValue);

  bool GetAssignedCurrencyFormat() const { return FAssignedCurrencyFormat; }
  void SetAssignedCurrencyFormat(bool AValue) { SetFlag(FAssignedCurrencyFormat, AValue); }
  bool GetAssignedRegExprDateEditMask() const { return FAssignedRegExprDateEditMask; }
  void SetAssignedRegExprDateEditMask(bool AValue) { SetFlag(FAssignedRegExprDateEditMask, AValue); }
  bool GetAssignedRegExprDateTimeEditMask() const { return FAssignedRegExprDateTimeEditMask; }
  void SetAssignedRegExprDateTimeEditMask(bool AValue) { SetFlag(FAssignedRegExprDateTimeEditMask, AValue); }
  bool GetAssignedStandardDateEditMask() const { return FAssignedStandardDateEditMask; }
  void SetAssignedStandardDateEditMask(bool AValue) { SetFlag(FAssignedStandardDateEditMask, AValue); }
  bool GetAssignedStandardDateTimeEditMask() const { return FAssignedStandardDateTimeEditMask; }
  void SetAssignedStandardDateTimeEditMask(bool AValue) { SetFlag(FAssignedStandardDateTimeEditMask, AValue); }
  bool GetAssignedStartOfWeek() const { return FAssignedStartOfWeek; }
  void SetAssignedStartOfWeek(bool AValue) { SetFlag(FAssignedStartOfWeek, AValue); }

  const AnsiString& GetDateEditFormat() const { return FDateEditFormat; }
  const AnsiString& GetLocaleStandardDateEditMask() const { return FLocaleStandardDateEditMask; }
  const AnsiString& GetMaskedDateEditFormat() const { return FMaskedDateEditFormat; }
  const AnsiString& GetMaskedDateTimeEditFormat() const { return FMaskedDateTimeEditFormat; }
  const TcxDateTimeFormatInfo& GetDateFormatInfo() const { return FDateFormatInfo; }
  const TcxDateTimeFormatInfo& GetDateTimeFormatInfo() const { return FDateTimeFormatInfo; }
  const TcxDateTimeFormatInfo& GetTimeFormatInfo() const { return FTimeFormatInfo; }

  // Format descriptions and what is built from them.
  static bool ParseDateTimeFormat(const AnsiString& AFormat, TcxDateTimeFormatInfo& AInfo);
  static AnsiString GetStandardEditMask(const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind);
  static AnsiString GetRegExprEditMask(const TcxDateTimeFormatInfo& AInfo, TcxDateTimeEditMaskKind AKind);
  static AnsiString GetMaskedEditFormat(const TcxDateTimeFormatInfo& AInfo);
  static Integer GetDateTimeFormatItemStandardMaskZoneLength(const TcxDateTimeFormatItem& AItem);
  static Integer GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& AInfo);
  static bool GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& AInfo, Integer APosition,
                                                    TcxDateTimeFormatItemInfo& AItemInfo);

 private:
  void GetFormats();
  void CalculateDateEditMasks(bool AUseSmartInputWhenRegExpr);
  void SettingsChanged();
  void SetFlag(bool& AFlag, bool AValue);
  void StartWatchingSettings();
  void StopWatchingSettings();
  bool IsListening(const IcxFormatControllerListener* AListener) const;
  template <class F>
  void ForEachListener(F&& ATell);
  void TidyListeners();

  bool FAssignedCurrencyFormat = false;
  bool FAssignedRegExprDateEditMask = false;
  bool FAssignedRegExprDateTimeEditMask = false;
  bool FAssignedStandardDateEditMask = false;
  bool FAssignedStandardDateTimeEditMask = false;
  bool FAssignedStartOfWeek = false;
  AnsiString FCurrencyFormat;
  AnsiString FDateEditFormat;
  AnsiString FLocaleStandardDateEditMask;
  TcxDateTimeFormatInfo FDateFormatInfo;
  TcxDateTimeFormatInfo FDateTimeFormatInfo;
  TcxDateTimeFormatInfo FTimeFormatInfo;
  TcxFirstWeekOfYear FFirstWeekOfYear = fwySystem;
  // The listeners in the order they came; each knows its place, so
  // joining, leaving and asking whether one listens cost the same however
  // many listen. One that leaves from the middle leaves a hole (null),
  // closed once holes are half the list; holes at the end go at once, as
  // listeners mostly leave last first. While listeners are told, the list
  // keeps its holes and its length, so that the walk misses none of them
  // and reaches none that joined meanwhile.
  std::vector<IcxFormatControllerListener*> FListeners;
  std::size_t FListenerHoles = 0;
  Integer FNotifying = 0;
  Integer FLockCount = 0;
  AnsiString FMaskedDateEditFormat;
  AnsiString FMaskedDateTimeEditFormat;
  AnsiString FRegExprDateEditMask;
  AnsiString FRegExprDateTimeEditMask;
  AnsiString FStandardDateEditMask;
  AnsiString FStandardDateTimeEditMask;
  TDay FStartOfWeek = dSunday;
  bool FUseRtlDateTimeFormats = false;
  LocaleListenerId FSettingsWatch = 0;
  // Lets a settings notice already under way skip a controller that
  // stopped watching (or was freed) meanwhile.
  std::shared_ptr<TcxFormatController*> FWatchToken;
};

// The process's controller, made on first use.
TcxFormatController* cxFormatController();
// The shut-down step: frees the process's controller.
void cxFormats_Finalize();
