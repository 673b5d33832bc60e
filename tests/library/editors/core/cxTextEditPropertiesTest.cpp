// Text editor properties: which values the bounds let through, what a
// cell shows for a value (formats, password echo, letter case) and that
// painting never fails on a value it cannot read as a number, which list
// texts are acceptable, where the edit format comes from, what a copy
// takes along (and that a copy onto itself loses nothing), and that a locale change re-formats every editor once.
#include <gtest/gtest.h>

#include <vector>

#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Owned.h"

// A numeric kind of the test's own, as the spin and currency editors are.
class TTestNumericTextProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TTestNumericTextProperties, TcxCustomTextEditProperties)
 public:
  explicit TTestNumericTextProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {}
  bool Grouping = false;
  bool IsEditValueNumeric() const override { return true; }
  bool HasDigitGrouping(bool) const override { return Grouping; }
};
inline ORV_REGISTER(TTestNumericTextProperties, ORV_PROP(AssignedValues),
                    ORV_PROP(DisplayFormat).StoredBy<&TcxCustomTextEditProperties::IsDisplayFormatStored>(),
                    ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
                    ORV_PROP(MaxValue).StoredBy<&TcxCustomTextEditProperties::IsMaxValueStored>())

// A repository item of the numeric kind, to read and write layouts with.
class TTestNumericRepositoryItem : public TcxEditRepositoryItem {
  ORV_CLASS(TTestNumericRepositoryItem, TcxEditRepositoryItem)
 public:
  explicit TTestNumericRepositoryItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TClass GetEditPropertiesClass() const override { return TTestNumericTextProperties::StaticClass(); }
  TTestNumericTextProperties* GetProperties() const {
    return static_cast<TTestNumericTextProperties*>(TcxEditRepositoryItem::GetProperties());
  }
  void SetProperties(TTestNumericTextProperties* Value) { TcxEditRepositoryItem::SetProperties(Value); }
};
inline ORV_REGISTER(TTestNumericRepositoryItem, ORV_PROP(Properties))

// A list kind, as the combo boxes are: an editing style and lookup data.
class TTestListTextProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TTestListTextProperties, TcxCustomTextEditProperties)
 public:
  explicit TTestListTextProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {}
  TcxEditEditingStyle Style = esFixedList;
  TcxEditEditingStyle GetEditingStyle() const override { return Style; }
  TClass GetLookupDataClass() const override { return TStringList::StaticClass(); }
};
inline ORV_REGISTER(TTestListTextProperties)

namespace {

// An editor being validated: it reads its text as a number, as a numeric
// editor does, and has no validation handler.
struct NumberEdit : IcxEditControl {
  bool HasValidateHandler() const override { return false; }
  void DoOnValidate(Variant&, AnsiString&, bool&) override {}
  AnsiString GetCurrentDisplayText() const override { return {}; }
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) override {
    Extended value = 0;
    EditValue = TryStrToFloat(VarToStr(ADisplayValue), value) ? Variant(double(value)) : ADisplayValue;
  }
  bool InternalFocused() override { return true; }
};

// Counts the change notices of one properties object, and those that
// arrived as a locale change.
struct Notices : TObject {
  Integer All = 0;
  Integer FormatChanges = 0;
  void Changed(TObject* Sender) {
    ++All;
    if (static_cast<TcxCustomTextEditProperties*>(Sender)->IsFormatChanging()) ++FormatChanges;
  }
  TNotifyEvent Handler() { return TNotifyEvent::Bind<&Notices::Changed>(this); }
};

class TextEditPropertiesTest : public ::testing::Test {
 protected:
  edit_test::EditorSession session;
  TOwned<TTestNumericTextProperties> number{New<TTestNumericTextProperties>(nullptr)};
  TOwned<TcxTextEditProperties> text{New<TcxTextEditProperties>(nullptr)};
  TOwned<TcxTestDefaultValuesProvider> provider{New<TcxTestDefaultValuesProvider>(nullptr)};
  NumberEdit edit;

  // Whether the numeric editor accepts AText, with the error text it gives.
  bool Accepts(const AnsiString& AText, AnsiString* AErrorText = nullptr) {
    Variant value = AText;
    AnsiString errorText;
    bool error = false;
    number->ValidateDisplayValue(value, errorText, error, &edit);
    if (AErrorText) *AErrorText = errorText;
    return !error;
  }
};

TEST_F(TextEditPropertiesTest, BoundsLetThroughWhatTheAssignedValuesAllow) {
  // Neither bound set, both 0: anything goes.
  EXPECT_FALSE(number->IsValueBoundsDefined());
  EXPECT_TRUE(Accepts("-1000000"));
  EXPECT_TRUE(Accepts("1000000"));

  // Only the maximum 10 set: it lies above the minimum 0, so both are in force.
  number->SetMaxValue(10);
  AnsiString errorText;
  EXPECT_FALSE(Accepts("-5", &errorText));
  EXPECT_EQ(errorText, "Value out of bounds");
  EXPECT_FALSE(Accepts("11"));
  EXPECT_TRUE(Accepts("0")) << "a bound itself passes";
  EXPECT_TRUE(Accepts("10"));
  EXPECT_TRUE(Accepts("abc")) << "a text that is no number is not the bounds' business";

  // Only the minimum 5 set, above the maximum 0: it is alone in force.
  number->GetAssignedValues()->RestoreDefaults();
  number->SetMinValue(5);
  EXPECT_TRUE(number->IsValueBoundDefined(evbMin));
  EXPECT_FALSE(number->IsValueBoundDefined(evbMax));
  EXPECT_FALSE(Accepts("3"));
  EXPECT_TRUE(Accepts("100"));

  // Both set to 5: no bound at all.
  number->SetMinMaxValues(5, 5);
  EXPECT_FALSE(number->IsValueBoundsDefined());
  EXPECT_TRUE(Accepts("3"));
  EXPECT_TRUE(Accepts("100"));

  // Unset bounds come from the bound data.
  number->GetAssignedValues()->RestoreDefaults();
  provider->Answers.MinValue = -1;
  provider->Answers.MaxValue = 1;
  number->SetIDefaultValuesProvider(provider.get());
  EXPECT_FALSE(Accepts("2"));
  EXPECT_TRUE(Accepts("1"));
  number->SetIDefaultValuesProvider(nullptr);

  // A text editor has no bounds whatever the values say.
  text->SetMaxValue(10);
  Variant value = AnsiString("11");
  bool error = false;
  AnsiString message;
  text->ValidateDisplayValue(value, message, error, &edit);
  EXPECT_FALSE(error);
}

TEST_F(TextEditPropertiesTest, PasswordEchoAndLetterCaseShapeTheShownText) {
  text->SetEchoMode(eemPassword);
  EXPECT_EQ(text->GetDisplayText(AnsiString("secret")), "******");
  EXPECT_EQ(text->GetDisplayText(AnsiString("")), "") << "an empty text stays empty";
  text->SetPasswordChar('#');
  EXPECT_EQ(text->GetDisplayText(AnsiString("abc")), "###");

  text->SetEchoMode(eemNormal);
  text->SetCharCase(ecUpperCase);
  EXPECT_EQ(text->GetDisplayText(AnsiString("\xE9t\xE9 ok")), "\xC9T\xC9 OK") << "the code page's letters too";
  text->SetCharCase(ecLowerCase);
  EXPECT_EQ(text->GetDisplayText(AnsiString("MiXeD")), "mixed");
}

TEST_F(TextEditPropertiesTest, DisplayFormatShowsUnfocusedAndTheGeneralTextWhileEditing) {
  number->SetDisplayFormat("0.00");
  EXPECT_EQ(number->GetDisplayText(3.14159), "3.14");
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(3.14159, true)), "3.14159");
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(AnsiString("3.14159"), false)), "3.14")
      << "a number held as text is formatted too";

  number->SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(3.14159, true)), "3.14");
  number->SetUseDisplayFormatWhenEditing(false);

  // Digit grouping while editing; the edit format wins over it.
  number->Grouping = true;
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(1234567.25, true)), "1,234,567.25");
  number->SetEditFormat("0.0");
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(1234567.25, true)), "1234567.3");

  // A Currency is edited with all its digits, where a double's text stops
  // at fifteen.
  number->Grouping = false;
  number->GetAssignedValues()->SetEditFormat(false);
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(Variant(Currency{123'456'789'012'345'600}), true)),
            "12345678901234.56");
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(Variant(Currency{15'000}), true)), "1.5");
  EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(12345678901234.56, true)), "12345678901234.6");

  // An empty value shows nothing.
  EXPECT_EQ(number->GetDisplayText(Null()), "");
  EXPECT_EQ(number->GetDisplayText(AnsiString()), "");
}

TEST_F(TextEditPropertiesTest, PaintingNeverRaisesWhileAskingDirectlyStillDoes) {
  number->SetDisplayFormat("0.00");
  // A grid cell holding text that is no number shows the text.
  EXPECT_EQ(number->GetDisplayText(AnsiString("n/a")), "n/a");

  Variant shown = AnsiString("before");
  try {
    number->PrepareDisplayValue(AnsiString("n/a"), shown, false);
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.GetMessage(), "Could not convert to numeric value");
  }
  EXPECT_EQ(VarToStr(shown), "before") << "a failed preparation changes nothing";

  // A value that is neither a number nor a string is refused likewise.
  EXPECT_THROW(number->PrepareDisplayValue(Variant(TDateTime(45000.5)), shown, true), EConvertError);
  EXPECT_EQ(VarToStr(shown), "before");
}

TEST_F(TextEditPropertiesTest, AFixedListAcceptsOnlyItsItemsAndTheEmptyText) {
  TOwned<TTestListTextProperties> list(New<TTestListTextProperties>(nullptr));
  list->GetLookupItems()->Add("Apple");
  list->GetLookupItems()->Add("Avocado");
  list->SetCharCase(ecUpperCase);

  Variant value = AnsiString("Pear");
  EXPECT_FALSE(list->IsEditValueValid(value, false));
  EXPECT_EQ(VarToStr(value), "Pear") << "a refused text is left alone";
  value = AnsiString("apple");
  EXPECT_TRUE(list->IsEditValueValid(value, false)) << "letter case aside";
  EXPECT_EQ(VarToStr(value), "APPLE") << "an accepted text takes the letter case";
  value = AnsiString();
  EXPECT_TRUE(list->IsEditValueValid(value, false));

  // A list that can be typed into freely accepts any text.
  list->Style = esEdit;
  value = AnsiString("Pear");
  EXPECT_TRUE(list->IsEditValueValid(value, false));
}

TEST_F(TextEditPropertiesTest, SettingsTellTheEditorOnceAndOnlyOnAChange) {
  Notices notices;
  text->OnPropertiesChanged = notices.Handler();

  text->SetViewStyle(vsHideCursor);
  EXPECT_EQ(text->GetViewStyle(), vsHideCursor);
  EXPECT_EQ(text->GetEditingStyle(), esNoEdit);
  EXPECT_EQ(notices.All, 1) << "both settings change as one";
  text->SetHideCursor(false);
  EXPECT_EQ(text->GetViewStyle(), vsNormal);
  text->SetViewStyle(vsButtonsOnly);
  EXPECT_EQ(text->GetButtonsViewStyle(), bvsButtonsOnly);
  EXPECT_TRUE(text->GetHideCursor());
  text->SetViewStyle(vsNormal);
  EXPECT_EQ(text->GetButtonsViewStyle(), bvsNormal);
  EXPECT_FALSE(text->GetHideCursor());

  notices.All = 0;
  text->SetMaxLength(-3);
  EXPECT_EQ(text->GetMaxLength(), 0);
  EXPECT_TRUE(text->GetAssignedValues()->GetMaxLength()) << "a negative length counts as set";
  EXPECT_EQ(notices.All, 1);
  text->SetMaxLength(0);
  EXPECT_EQ(notices.All, 1) << "the same length again is no change";
}

TEST_F(TextEditPropertiesTest, EditFormatComesFromTheFirstSourceThatHasOne) {
  number->SetIDefaultValuesProvider(provider.get());
  bool isCurrency = true, isOnGetText = true;
  auto format = [&] { return number->InternalGetEditFormat(isCurrency, isOnGetText, nullptr); };

  provider->Answers.Currency = true;
  EXPECT_EQ(format(), "");
  EXPECT_TRUE(isCurrency) << "with nothing else, the data's currency flag";
  EXPECT_FALSE(isOnGetText);

  number->SetDisplayFormat("0.0");
  EXPECT_EQ(format(), "") << "a display format is no edit format unless asked for";
  EXPECT_FALSE(isCurrency);
  number->SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(format(), "0.0");

  provider->Answers.EditFormat = "0.000";
  EXPECT_EQ(format(), "0.000") << "the data's edit format comes before the display format";

  provider->Answers.OnGetTextAssigned = true;
  EXPECT_EQ(format(), "");
  EXPECT_TRUE(isOnGetText) << "the data formats the text itself";

  number->SetEditFormat("#");
  EXPECT_EQ(format(), "#") << "the editor's own edit format comes first";
  EXPECT_FALSE(isOnGetText);
  number->SetIDefaultValuesProvider(nullptr);
}

TEST_F(TextEditPropertiesTest, ACopyTakesTheFlaggedValuesOnlyWhereTheSourceSetThem) {
  TOwned<TTestNumericTextProperties> source(New<TTestNumericTextProperties>(nullptr));
  source->SetDisplayFormat("0.0");
  source->SetMaxValue(10);
  source->SetEchoMode(eemPassword);
  source->GetLookupItems()->Add("b");
  source->GetLookupItems()->Add("a");
  source->SetLookupItemsSorted(true);

  number->SetEditFormat("#");
  number->SetMinValue(-3);
  Notices notices;
  number->OnPropertiesChanged = notices.Handler();
  number->Assign(source.get());

  EXPECT_EQ(notices.All, 1) << "one change for the whole copy";
  TcxTextEditPropertiesValues* values = number->GetAssignedValues();
  EXPECT_TRUE(values->GetDisplayFormat());
  EXPECT_EQ(number->GetDisplayFormat(), "0.0");
  EXPECT_TRUE(values->GetMaxValue());
  EXPECT_EQ(number->GetMaxValue(), 10);
  EXPECT_FALSE(values->GetEditFormat()) << "the source's unset edit format is unset here too";
  EXPECT_FALSE(values->GetMinValue());
  EXPECT_EQ(number->GetMinValue(), 0);
  EXPECT_FALSE(values->GetMaxLength());
  EXPECT_EQ(number->GetEchoMode(), eemPassword);
  EXPECT_TRUE(number->GetLookupItemsSorted());
  ASSERT_EQ(number->GetLookupItems()->GetCount(), 2);
  EXPECT_EQ(number->GetLookupItems()->Get(0), "a");
}

TEST_F(TextEditPropertiesTest, ACopyOntoItselfKeepsEverySettingAndTellsNobody) {
  // A setting screen that applies "the editor's properties" to the same
  // editor hands the properties their own object.
  number->SetDisplayFormat("0.0");
  number->SetEditFormat("#");
  number->SetMaxLength(8);
  number->SetMaxValue(10);
  number->SetMinValue(-3);
  number->SetReadOnly(true);
  number->GetLookupItems()->Add("b");
  number->GetLookupItems()->Add("a");
  number->SetLookupItemsSorted(true);
  Notices notices;
  number->OnPropertiesChanged = notices.Handler();
  number->Assign(number.get());

  TcxTextEditPropertiesValues* values = number->GetAssignedValues();
  EXPECT_TRUE(values->GetDisplayFormat());
  EXPECT_EQ(number->GetDisplayFormat(), "0.0");
  EXPECT_TRUE(values->GetEditFormat());
  EXPECT_TRUE(values->GetMaxLength());
  EXPECT_EQ(number->GetMaxLength(), 8);
  EXPECT_TRUE(values->GetMaxValue());
  EXPECT_EQ(number->GetMaxValue(), 10);
  EXPECT_TRUE(values->GetMinValue());
  EXPECT_EQ(number->GetMinValue(), -3);
  EXPECT_TRUE(values->GetReadOnly());
  EXPECT_TRUE(number->GetReadOnly());
  EXPECT_TRUE(number->GetLookupItemsSorted());
  EXPECT_EQ(number->GetLookupItems()->GetCount(), 2);
  EXPECT_EQ(notices.All, 0) << "nothing changed";
}

TEST_F(TextEditPropertiesTest, ALocaleChangeReachesEveryPropertiesObjectOnceAndReformats) {
  TOwned<TcxTextEditProperties> other(New<TcxTextEditProperties>(nullptr));
  Notices numberNotices, textNotices, otherNotices;
  number->OnPropertiesChanged = numberNotices.Handler();
  text->OnPropertiesChanged = textNotices.Handler();
  other->OnPropertiesChanged = otherNotices.Handler();
  number->SetDisplayFormat("#,##0.00");
  EXPECT_EQ(number->GetDisplayText(1234.5), "1,234.50");
  numberNotices.All = 0;
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(numberNotices.FormatChanges, 1);
    EXPECT_EQ(textNotices.FormatChanges, 1);
    EXPECT_EQ(otherNotices.FormatChanges, 1);
    EXPECT_EQ(numberNotices.All, 1);
    EXPECT_FALSE(number->IsFormatChanging()) << "the flag is up only during the notice";
    EXPECT_EQ(number->GetDisplayText(1234.5), "1.234,50");
    EXPECT_EQ(VarToStr(number->GetDefaultDisplayValue(AnsiString("0,5"), true)), "0,5");
  }
  EXPECT_EQ(numberNotices.FormatChanges, 2) << "going back is a change too";
  EXPECT_EQ(number->GetDisplayText(1234.5), "1,234.50");

  // A freed object hears nothing more.
  other.reset();
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(textNotices.FormatChanges, 3);
  }
}

TEST_F(TextEditPropertiesTest, ALayoutKeepsWhichValuesWereSetAndReadsTheOldMark) {
  RegisterClasses({TTestNumericRepositoryItem::StaticClass()});
  TOwned<TTestNumericRepositoryItem> item(New<TTestNumericRepositoryItem>(nullptr));
  item->SetName("Item1");
  TTestNumericTextProperties* props = item->GetProperties();
  props->SetDisplayFormat("");  // set, and empty: only the mark can tell
  props->SetMaxValue(0);
  props->SetMaxLength(5);
  const AnsiString written = ComponentToText(item.get());
  EXPECT_NE(written.find("AssignedValues.DisplayFormat = True"), AnsiString::npos) << written;
  EXPECT_NE(written.find("AssignedValues.MaxValue = True"), AnsiString::npos) << written;
  EXPECT_EQ(written.find("AssignedValues.MaxLength"), AnsiString::npos) << "the length itself tells";
  EXPECT_NE(written.find("MaxLength = 5"), AnsiString::npos) << written;
  EXPECT_EQ(written.find("IsDisplayFormatAssigned"), AnsiString::npos) << "the old mark is never written";

  TOwned<TComponent> read(ReadComponentFromText(written, nullptr));
  auto* back = static_cast<TTestNumericRepositoryItem*>(read.get())->GetProperties();
  EXPECT_TRUE(back->GetAssignedValues()->GetDisplayFormat());
  EXPECT_TRUE(back->GetAssignedValues()->GetMaxValue());
  EXPECT_TRUE(back->GetAssignedValues()->GetMaxLength());
  EXPECT_EQ(back->GetMaxLength(), 5);

  // An older layout carries the mark on the properties themselves.
  TOwned<TComponent> old(ReadComponentFromText("object Item2: TTestNumericRepositoryItem\r\n"
                                               "  Properties.IsDisplayFormatAssigned = True\r\n"
                                               "end\r\n",
                                               nullptr));
  auto* oldProps = static_cast<TTestNumericRepositoryItem*>(old.get())->GetProperties();
  EXPECT_TRUE(oldProps->GetAssignedValues()->GetDisplayFormat());
  EXPECT_EQ(oldProps->GetDisplayFormat(), "");
}

}  // namespace
