#include "app/core/ValueRows.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "platform/rtl/FloatText.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberText.h"

namespace frontend {

namespace {

// The bound as the spin editor keeps a decimal bound: in single precision,
// so 0.1 becomes 0.100000001490116.
double Narrowed(Extended value) {
  if (std::fabs(value) > std::numeric_limits<float>::max())
    return value > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
  return static_cast<float>(value);
}

Integer IntegerOr0(const AnsiString& text) { return StrToIntDef(text, 0); }

// The value a row of the definition shows for a file text; false when the
// text does not convert to the row's kind of value.
bool RowValue(const TERRAIN_KEY_DEF& def, TValueRowKind kind, const AnsiString& text, Variant& value) {
  Integer i;
  Extended d;
  switch (kind) {
    case vrkIntegerSpin:
    case vrkCheckBox:
    case vrkRadioGroup:
      if (!TryStrToInt(text, i)) return false;
      value = i;
      return true;
    case vrkFloatSpin:
      if (!TryDecimalValue(text, d)) return false;
      value = d;
      return true;
    case vrkComboBox: {
      if (!TryStrToInt(text, i)) return false;
      // A value outside the items shows as it stands, and goes back to the
      // file unchanged as it matches no caption.
      const Int64 index = Int64(i) - IntegerOr0(def.Min);
      value = index >= 0 && index < Int64(def.Items.size()) ? Variant(def.Items[std::size_t(index)]) : Variant(text);
      return true;
    }
    case vrkText:
      value = text;
      return true;
  }
  return false;
}

TValueRowSetup SetupFor(const TERRAIN_KEY_DEF& def) {
  TValueRowSetup row;
  row.Caption = def.Caption;
  row.Hint = def.Hint;
  row.Kind = RowKindOf(def);
  row.ValueType = RowValueTypeOf(row.Kind);
  switch (row.Kind) {
    case vrkIntegerSpin:
      row.MinValue = IntegerOr0(def.Min);
      row.MaxValue = IntegerOr0(def.Max);
      row.Increment = 1.0;
      row.LargeIncrement = 10.0;
      break;
    case vrkFloatSpin: {
      Extended min = 0, max = 0;
      TryStrToFloat(LocalizeDecimal(def.Min), min);
      TryStrToFloat(LocalizeDecimal(def.Max), max);
      row.MinValue = Narrowed(min);
      row.MaxValue = Narrowed(max);
      row.Increment = row.MaxValue - row.MinValue + 1 <= 10.0 ? 0.1 : 1.0;
      row.LargeIncrement = 10 * row.Increment;
      break;
    }
    case vrkCheckBox:
      row.ValueUnchecked = IntegerOr0(def.Min);
      row.DisplayUnchecked = IntToStr(row.ValueUnchecked);
      row.ValueChecked = IntegerOr0(def.Max);
      row.DisplayChecked = IntToStr(row.ValueChecked);
      break;
    case vrkRadioGroup:
      row.DefaultValue = row.FirstItemValue = IntegerOr0(def.Min);
      row.Items = def.Items;
      break;
    case vrkComboBox:
      row.FirstItemValue = IntegerOr0(def.Min);
      row.Items = def.Items;
      break;
    case vrkText:
      break;
  }
  return row;
}

// "%.3f" with '.' whatever the locale, then without trailing zeros and
// without a trailing point: 2.0 "2", 0.05 "0.05", 1.2346 "1.235".
AnsiString DecimalFileText(double value) {
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3);
  AnsiString text(buf, result.ptr);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// The text a drop-down row was planned from (the file's value, else the
// default, as PlanValueRows chose), when the row still shows what that
// text showed. The row holds a caption, and going back from a caption
// finds the first item so captioned, which need not be the number planned.
bool KeptFileValue(const TERRAIN_KEY_DEF& def, const Variant& value,
                   const std::unordered_map<AnsiString, const AnsiString*>& shownValue, AnsiString& text) {
  const auto found = shownValue.find(def.Key);
  Variant showed;
  const AnsiString* planned = nullptr;
  if (found != shownValue.end() && RowValue(def, vrkComboBox, *found->second, showed))
    planned = found->second;
  else if (RowValue(def, vrkComboBox, def.Default, showed))
    planned = &def.Default;
  if (!planned || VarToStr(showed) != VarToStr(value)) return false;
  text = *planned;
  return true;
}

// A text that another read would cut short or split differently.
bool SurvivesTheFormat(const AnsiString& text) { return text.find_first_of(";=\r\n") == AnsiString::npos; }

}  // namespace

TValueRowKind RowKindOf(const TERRAIN_KEY_DEF& def) {
  switch (def.Type) {
    case ptInteger: return vrkIntegerSpin;
    case ptFloat: return vrkFloatSpin;
    case ptBoolean: return vrkCheckBox;
    case ptList: return def.ItemCount < kDropDownListItems ? vrkRadioGroup : vrkComboBox;
    default: return vrkText;
  }
}

TRowValueType RowValueTypeOf(TValueRowKind kind) {
  switch (kind) {
    case vrkFloatSpin: return rvtFloat;
    case vrkComboBox:
    case vrkText: return rvtString;
    default: return rvtInteger;
  }
}

TValueRowPlan PlanValueRows(const TDefinitionTable& defs, const TTerrainStatements& statements,
                            const AnsiString& fileName) {
  TValueRowPlan plan;
  AnsiString invalid;
  // A key set twice counts with its first value.
  std::unordered_map<AnsiString, const TTerrainStatement*> firstOfKey;
  for (const TTerrainStatement& s : statements) firstOfKey.emplace(s.Key, &s);
  std::unordered_set<AnsiString> definedKeys;
  for (std::size_t i = 0; i < defs.size(); ++i) {
    const TERRAIN_KEY_DEF& def = defs[i];
    definedKeys.insert(def.Key);
    TValueRowSetup row = SetupFor(def);
    row.Tag = static_cast<Integer>(i);
    const auto found = firstOfKey.find(def.Key);
    const TTerrainStatement* set = found != firstOfKey.end() ? found->second : nullptr;
    row.Category = set ? vcOk : vcUnused;
    if (!set || !RowValue(def, row.Kind, set->Value, row.Value)) {
      if (set) invalid += "\n" + set->Key + " = " + set->Value;
      if (!RowValue(def, row.Kind, def.Default, row.Value)) row.Value = Null();
    }
    plan.Rows.push_back(std::move(row));
  }
  for (std::size_t j = 0; j < statements.size(); ++j) {
    if (definedKeys.count(statements[j].Key)) continue;
    TValueRowSetup row;
    row.Category = vcUnknown;
    row.Tag = static_cast<Integer>(j);
    row.Caption = statements[j].Key;
    row.Hint = "Unknown Key";
    row.Value = statements[j].Value;
    plan.Rows.push_back(std::move(row));
  }
  if (!invalid.empty())
    plan.InvalidValues = TUserMessage{
        Format("These values of %s are not valid and show their defaults:", {fileName}) + invalid,
        "Terrain File Value Error", umkError};
  return plan;
}

TTerrainStatements DefaultStatements(const TDefinitionTable& defs) {
  TTerrainStatements statements;
  for (const TERRAIN_KEY_DEF& def : defs) statements.push_back({def.Key, def.Default});
  return statements;
}

bool RowValueText(const TERRAIN_KEY_DEF* def, const Variant& value, AnsiString& text) {
  text = VarToStr(value);
  if (!def) return true;
  switch (RowKindOf(*def)) {
    case vrkFloatSpin: {
      Extended d;
      if (!TryStrToFloat(text, d) || !std::isfinite(d)) return false;
      text = DecimalFileText(d);
      return true;
    }
    case vrkComboBox:
      for (std::size_t j = 0; j < def->Items.size(); ++j)
        if (def->Items[j] == text) {
          text = IntToStr(Int64(IntegerOr0(def->Min)) + Int64(j));
          break;
        }
      return true;
    default:
      return true;
  }
}

bool TerrainStatementsOf(const std::vector<TValueRowContent>& rows, const TDefinitionTable& defs,
                         const TTerrainStatements& shown, const AnsiString& fileName, TTerrainStatements& out,
                         TUserMessage& failure) {
  out.clear();
  // As the rows were planned: a key set twice counts with its first value.
  std::unordered_map<AnsiString, const AnsiString*> shownValue;
  for (const TTerrainStatement& s : shown) shownValue.emplace(s.Key, &s.Value);
  for (TValueCategory category : {vcOk, vcUnused, vcUnknown})
    for (const TValueRowContent& row : rows) {
      if (row.Category != category) continue;
      const bool known = category != vcUnknown && row.Tag >= 0 && std::size_t(row.Tag) < defs.size();
      const TERRAIN_KEY_DEF* def = known ? &defs[std::size_t(row.Tag)] : nullptr;
      AnsiString text;
      const bool kept = def && RowKindOf(*def) == vrkComboBox && KeptFileValue(*def, row.Value, shownValue, text);
      if (!kept && !RowValueText(def, row.Value, text)) {
        failure = WriteFailure(fileName, Format("The value of '%s' is not a valid number.", {row.Caption}));
        return false;
      }
      if (!SurvivesTheFormat(text)) {
        failure = WriteFailure(fileName,
                               Format("The value of '%s' contains ';', '=' or a line break.", {row.Caption}));
        return false;
      }
      out.push_back({def ? def->Key : row.Caption, text});
    }
  return true;
}

bool WriteTerrainFile(const AnsiString& fileName, const std::vector<TValueRowContent>& rows,
                      const TDefinitionTable& defs, const TTerrainStatements& shown,
                      std::optional<TUserMessage>& failure, TTerrainStatements* written) {
  failure.reset();
  if (fileName.empty()) return false;
  TTerrainStatements statements;
  TUserMessage message;
  if (!TerrainStatementsOf(rows, defs, shown, fileName, statements, message) ||
      !SaveTerrainFile(fileName, TerrainFileText(statements), message)) {
    failure = message;
    return false;
  }
  if (written) *written = std::move(statements);
  return true;
}

}  // namespace frontend
