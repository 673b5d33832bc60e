// The rows of the value grid as data: which parameters a terrain file sets
// ("Ok Values"), which it leaves at their defaults ("Unused Values") and
// which keys no definition knows ("Unknown Values"); how each row is set up
// for its kind; and the way back, from the rows' values to the file's text.
//
// The window maps each set-up onto one editor row of its grid in the order
// given here, and hands the rows' values back for writing; nothing here
// knows a grid.
#pragma once

#include <optional>
#include <vector>

#include "app/core/ParameterDefinitions.h"
#include "app/core/TerrainFiles.h"
#include "app/core/UserMessages.h"
#include "platform/rtl/Variant.h"

namespace frontend {

enum TValueCategory { vcOk, vcUnused, vcUnknown };

// How a row edits its value: spin editors for I and F, a check box for B, a
// radio group for lists of fewer than 5 items, a fixed drop-down list for
// longer ones, a text editor for S and for unknown keys.
enum TValueRowKind { vrkIntegerSpin, vrkFloatSpin, vrkCheckBox, vrkRadioGroup, vrkComboBox, vrkText };
// The value type the row's value is kept in.
enum TRowValueType { rvtInteger, rvtFloat, rvtString };

// Lists of this many items or more drop down; shorter ones are radio groups.
constexpr Integer kDropDownListItems = 5;

TValueRowKind RowKindOf(const TERRAIN_KEY_DEF& def);
TRowValueType RowValueTypeOf(TValueRowKind kind);

// One row of the value grid. The settings are applied in the order the
// fields are listed: value type, kind (the edit properties), bounds and
// items, the value, then the spin steps. A check box takes its unchecked
// state before its checked one.
struct TValueRowSetup {
  TValueCategory Category = vcOk;
  // The definition's index, or for an unknown key the statement's index.
  Integer Tag = 0;
  AnsiString Caption;
  AnsiString Hint;
  TRowValueType ValueType = rvtString;
  TValueRowKind Kind = vrkText;
  // Spin rows. Decimal bounds are narrowed to single precision, as the
  // editor keeps them; the step follows from the narrowed bounds.
  double MinValue = 0, MaxValue = 0;
  // Check box rows.
  AnsiString DisplayUnchecked, DisplayChecked;
  Integer ValueUnchecked = 0, ValueChecked = 0;
  // Radio group rows: the value when no button is chosen, and button j
  // stands for FirstItemValue + j. Drop-down rows: the items in order.
  Integer DefaultValue = 0;
  Integer FirstItemValue = 0;
  std::vector<AnsiString> Items;
  Variant Value;
  double Increment = 0, LargeIncrement = 0;
};

struct TValueRowPlan {
  // The definitions in their order, each under "Ok Values" or "Unused
  // Values", then the unknown keys in file order.
  std::vector<TValueRowSetup> Rows;
  // Values that do not convert: their rows show the definition's default,
  // and the window marks the file modified so only the user's own Save
  // writes the replacement.
  std::optional<TUserMessage> InvalidValues;
};

// The rows for a terrain file's statements (fileName names it in the
// message about values that do not convert).
TValueRowPlan PlanValueRows(const TDefinitionTable& defs, const TTerrainStatements& statements,
                            const AnsiString& fileName);
// The statements of a file that sets every parameter to its default.
TTerrainStatements DefaultStatements(const TDefinitionTable& defs);

// The file text of a row's value: decimals with at most three decimals and
// '.' whatever the locale, drop-down captions as their list values (a text
// matching no caption unchanged), everything else as its text. def is null
// for an unknown key. False for a decimal that is empty or no number.
bool RowValueText(const TERRAIN_KEY_DEF* def, const Variant& value, AnsiString& text);

// A row as the window hands it back for writing.
struct TValueRowContent {
  TValueCategory Category = vcOk;
  Integer Tag = 0;     // as in TValueRowSetup
  AnsiString Caption;  // an unknown key's row writes its caption as the key
  Variant Value;
};

// The statements a save writes: the "Ok Values" rows, then the "Unused
// Values" rows, then the unknown keys, each in row order. shown holds the
// statements the rows were planned from: a drop-down row still showing the
// caption its file value (or default) showed writes that text back, since
// a caption can stand for more than one number (captions that repeat, a
// number outside the items that reads like one). False with the message to show
// when a value cannot be written: a decimal that is no number, or a text
// that would not read back (';', '=' or a line break).
bool TerrainStatementsOf(const std::vector<TValueRowContent>& rows, const TDefinitionTable& defs,
                         const TTerrainStatements& shown, const AnsiString& fileName, TTerrainStatements& out,
                         TUserMessage& failure);
// Writes the rows to a file: the whole text is made first, so a value that
// cannot be written leaves the disk untouched. An empty name writes nothing
// and answers false without a message. What was written goes to written
// when given: the next save goes back from it, not from the file read.
bool WriteTerrainFile(const AnsiString& fileName, const std::vector<TValueRowContent>& rows,
                      const TDefinitionTable& defs, const TTerrainStatements& shown,
                      std::optional<TUserMessage>& failure, TTerrainStatements* written = nullptr);

}  // namespace frontend
