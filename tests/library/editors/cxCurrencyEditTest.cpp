// The currency editor through typing: keys refused when the text would no
// longer be an amount, both separator keys typing the locale's decimal
// separator, numbers below the smallest double refused, empty texts
// posting Null or 0, bounds clamping only where defined, typed amounts
// past a bound refused, and the unfocused text in the locale's currency
// format.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "ConcreteEditorSession.h"
#include "library/editors/cxCurrencyEdit.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Keyboard.h"

using namespace win;

namespace {

class CurrencyEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxCurrencyEdit* MakeCurrency() {
    auto* edit = Make<TcxCurrencyEdit>({10, 10, 160, 31});
    edit->GetProperties()->OnEditValueChanged = [this](TObject* Sender) {
      log.push_back("value " + edit_test::Text(static_cast<TcxCurrencyEdit*>(Sender)->GetEditValue()));
    };
    return edit;
  }
  static std::string TextOf(TcxCurrencyEdit* edit) { return edit->GetText(); }
};

TEST_F(CurrencyEdit, KeysThatWouldBreakTheAmountAreRefused) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  Show();
  Focus(edit);
  Type("12.345");
  // Two decimals by the locale's currency digits: the third is refused.
  EXPECT_EQ(TextOf(edit), "12.34");
  SelectAllAndType(edit, "abc");
  EXPECT_EQ(TextOf(edit), "12.34");
  // ',' types the decimal separator too, unless it is the thousand key
  // with grouping on.
  SelectAllAndType(edit, "7,5");
  EXPECT_EQ(TextOf(edit), "7.5");
  edit->GetProperties()->SetUseThousandSeparator(true);
  SelectAllAndType(edit, "1,000.25");
  EXPECT_EQ(TextOf(edit), "1,000.25");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetValue(), 1000.25);

  // A number too small for a double is not 0: refused when typed whole...
  edit->GetProperties()->SetDecimalPlaces(4);
  Focus(edit);
  edit->SelectAll();
  edit->SetSelText("1e-400");
  EXPECT_NE(TextOf(edit), "1e-400");
  // ...and reported when it arrives by code; a written 0 is fine.
  Variant text(AnsiString("1e-400"));
  AnsiString error;
  bool failed = false;
  edit->GetProperties()->ValidateDisplayValue(text, error, failed, edit);
  EXPECT_TRUE(failed);
  double value = -1;
  EXPECT_TRUE(edit->GetProperties()->StrToFloatEx("0", value));
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(edit->GetProperties()->StrToFloatEx("1e-400", value));
  // An exponent counts the decimals up to the 'E' only.
  EXPECT_TRUE(edit->GetProperties()->IsTextValid("1.5E3"));
}

TEST_F(CurrencyEdit, EmptyTextsPostNullOrZeroAndValueClampsOnlyToADefinedBound) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  edit->GetProperties()->SetNullString("none");
  edit->SetValue(5);
  Show();
  Focus(edit);
  SelectAllAndType(edit, "");
  Press(VK_BACK);
  other->SetFocus();
  Pump();
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
  EXPECT_EQ(TextOf(edit), "none");
  EXPECT_EQ(log, (edit_test::Log{"value <null>"}));
  // Not Nullable: the same empty text posts 0, shown formatted.
  edit->GetProperties()->SetNullable(false);
  edit->SetValue(5);
  Focus(edit);
  edit->SelectAll();
  Press(VK_BACK);
  other->SetFocus();
  Pump();
  EXPECT_EQ(edit->GetEditValue().AsDouble(), 0);
  EXPECT_EQ(TextOf(edit), "$0.00");
  EXPECT_EQ(log, (edit_test::Log{"value 0"}));

  // Only a defined bound clamps.
  edit->SetValue(-50);
  EXPECT_EQ(edit->GetValue(), -50);
  edit->GetProperties()->SetMinValue(-10);
  edit->GetProperties()->SetMaxValue(100);
  edit->SetValue(-50);
  EXPECT_EQ(edit->GetValue(), -10);
  edit->SetValue(500);
  EXPECT_EQ(edit->GetValue(), 100);
}

TEST_F(CurrencyEdit, ATypedAmountPastABoundIsRefusedAndTheOldValueKept) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  edit->GetProperties()->SetMinValue(10);
  edit->GetProperties()->SetMaxValue(100);
  edit->SetValue(50);
  Show();
  Focus(edit);
  // The text is read as the amount it is, not compared as a string.
  ExpectRefused(edit, "150", "Value out of bounds");
  EXPECT_EQ(edit->GetValue(), 50);
  SelectAllAndType(edit, "5");
  EXPECT_FALSE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->GetValue(), 50);
  EXPECT_TRUE(log.empty());
  // In range, the bound itself included: taken, and shown as an amount.
  SelectAllAndType(edit, "100");
  EXPECT_TRUE(edit->ValidateEdit(true));
  other->SetFocus();
  Pump();
  EXPECT_EQ(edit->GetValue(), 100);
  EXPECT_EQ(TextOf(edit), "$100.00");
  EXPECT_EQ(log, (edit_test::Log{"value 100"}));
}

// A bound with more digits than its text shows (0.1 + 0.2 shows "0.3"):
// its text retyped is the bound, taken and stored as it is.
TEST_F(CurrencyEdit, ABoundsOwnTextIsTakenAsTheBound) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  const double least = 0.1 + 0.2, most = 0.7 + 0.2;  // 0.30000000000000004, 0.9000000000000001
  edit->GetProperties()->SetMinMaxValues(least, most);
  edit->SetValue(0);
  EXPECT_EQ(edit->GetValue(), least);
  Show();
  for (const auto& [typed, bound] : {std::pair{"0.3", least}, std::pair{"0.9", most}}) {
    SCOPED_TRACE(typed);
    Focus(edit);
    SelectAllAndType(edit, "0.5");
    SelectAllAndType(edit, typed);
    EXPECT_TRUE(edit->ValidateEdit(true));
    other->SetFocus();
    Pump();
    EXPECT_EQ(edit->GetValue(), bound);
  }
  // Whatever lies further out is still refused.
  Focus(edit);
  ExpectRefused(edit, "0.29", "Value out of bounds");
  ExpectRefused(edit, "0.91", "Value out of bounds");
}

TEST_F(CurrencyEdit, UnfocusedTextUsesTheLocalesCurrencyFormat) {
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  edit->SetValue(-1234.5);
  Show();
  other->SetFocus();
  Pump();
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(TextOf(edit), "($1,234.50)");
    Focus(edit);
    EXPECT_EQ(TextOf(edit), "-1234.5");
    other->SetFocus();
    Pump();
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(TextOf(edit), "-1.234,50 \x80");
  Focus(edit);
  // The German decimal key is ',', and '.' types it as well.
  SelectAllAndType(edit, "2.5");
  EXPECT_EQ(TextOf(edit), "2,5");
  other->SetFocus();
  Pump();
  EXPECT_EQ(TextOf(edit), "2,50 \x80");
}

// An amount that arrives as a Currency (from a money field) is shown from
// its own digits: near the ends of its range a double would show other
// cents than the editor holds.
TEST_F(CurrencyEdit, ACurrencyValueShowsItsOwnCentsToTheEndsOfTheRange) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  Show();
  other->SetFocus();
  Pump();
  edit->SetEditValue(Variant(Currency{1'000'000'000'000'000'100}));
  EXPECT_EQ(TextOf(edit), "$100,000,000,000,000.01");
  edit->SetEditValue(Variant(Currency{std::numeric_limits<Int64>::min()}));
  EXPECT_EQ(TextOf(edit), "($922,337,203,685,477.58)");
  // A display format of the program's own works the same way.
  edit->GetProperties()->SetDisplayFormat("0.0000");
  edit->SetEditValue(Variant(Currency{std::numeric_limits<Int64>::max()}));
  EXPECT_EQ(TextOf(edit), "922337203685477.5807");
}

// The same amount edited: the focused text carries every digit of the
// Currency, and what the user leaves or types is read back as a Currency,
// so the cents of a large amount survive focusing, editing and posting.
TEST_F(CurrencyEdit, ACurrencyValueKeepsItsCentsThroughEditing) {
  ScopedLocale us("en-US");
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  Show();
  other->SetFocus();
  Pump();
  const Currency amount{123'456'789'012'345'600};  // 12,345,678,901,234.56
  edit->SetEditValue(Variant(amount));
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "12345678901234.56");
  other->SetFocus();
  Pump();
  ASSERT_EQ(VarType(edit->GetEditValue()), varCurrency);
  EXPECT_EQ(edit->GetEditValue().AsCurrency().Value, amount.Value);
  EXPECT_EQ(TextOf(edit), "$12,345,678,901,234.56");

  // One digit edited: the new amount exactly, still a Currency.
  Focus(edit);
  edit->SetSelection(0, 1);
  Type("9");
  other->SetFocus();
  Pump();
  ASSERT_EQ(VarType(edit->GetEditValue()), varCurrency);
  EXPECT_EQ(edit->GetEditValue().AsCurrency().Value, 923'456'789'012'345'600);
  EXPECT_EQ(log, (edit_test::Log{"value 92345678901234.56"}));

  // In place, the grid takes the amount the editor holds.
  auto* row = Row<TcxCurrencyEditProperties>();
  TcxCustomEdit* cell = Open(row, Variant(Currency{987'654'321'098'765'400}));
  EXPECT_EQ(cell->GetText(), "98765432109876.54");
  log.clear();
  Close(cell);
  EXPECT_EQ(log, (edit_test::Log{"take 98765432109876.54"}));
  cell = Open(row, Variant(Currency{987'654'321'098'765'400}));
  cell->SelectAll();
  Type("98765432109876.55");
  log.clear();
  Close(cell);
  EXPECT_EQ(log, (edit_test::Log{"take 98765432109876.55"}));
  EXPECT_EQ(VarType(cell->GetEditValue()), varCurrency);
}

// With UseDisplayFormatWhenEditing the focused text is the formatted
// amount, currency sign, grouping and brackets included: a digit typed
// into it or deleted from it makes the new amount, a key that would break
// the amount is still refused.
TEST_F(CurrencyEdit, AnAmountEditedInItsDisplayFormatIsTaken) {
  TcxCurrencyEdit* edit = MakeCurrency();
  auto* other = Make<TcxCurrencyEdit>({10, 50, 160, 71});
  edit->GetProperties()->SetUseDisplayFormatWhenEditing(true);
  Show();
  auto edited = [&](const Variant& AValue, Integer AStart, Integer ALength, const std::string& ATyped) {
    edit->SetEditValue(AValue);
    Focus(edit);
    const std::string before = TextOf(edit);
    edit->SetSelection(AStart, ALength);
    if (ATyped.empty())
      Press(VK_DELETE);
    else
      Type(ATyped);
    const std::string typed = TextOf(edit);
    other->SetFocus();
    Pump();
    EXPECT_FALSE(edit->IsFocused()) << before << " edited to " << typed << " was refused";
    return before + " > " + typed;
  };
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(edited(Variant(1234.5), 1, 1, "9"), "$1,234.50 > $9,234.50");
    EXPECT_DOUBLE_EQ(edit->GetValue(), 9234.5);
    EXPECT_EQ(edited(Variant(1234.5), 3, 1, ""), "$1,234.50 > $1,34.50");
    EXPECT_DOUBLE_EQ(edit->GetValue(), 134.5);
    EXPECT_EQ(edited(Variant(-1234.5), 3, 0, "7"), "($1,234.50) > ($17,234.50)");
    EXPECT_DOUBLE_EQ(edit->GetValue(), -17234.5);
    // A Currency keeps its exactness through the formatted text.
    EXPECT_EQ(edited(Variant(Currency{123'456'789'012'345'600}), 1, 1, "9"),
              "$12,345,678,901,234.56 > $92,345,678,901,234.56");
    ASSERT_EQ(VarType(edit->GetEditValue()), varCurrency);
    EXPECT_EQ(edit->GetEditValue().AsCurrency().Value, 923'456'789'012'345'600);
    // A third decimal and a letter are no amount.
    Focus(edit);
    edit->SetSelection(0, 0);
    Press(VK_END);
    Type("1x");
    EXPECT_EQ(TextOf(edit), "$92,345,678,901,234.56");
    other->SetFocus();
    Pump();
  }
  ScopedLocale de("de-DE");
  EXPECT_EQ(edited(Variant(1234.5), 2, 1, "8"), "1.234,50 \x80 > 1.834,50 \x80");
  EXPECT_DOUBLE_EQ(edit->GetValue(), 1834.5);
  Focus(edit);
  edit->SetSelection(6, 0);
  Type("9");
  EXPECT_EQ(TextOf(edit), "1.834,50 \x80") << "three decimals are refused";
}

}  // namespace
