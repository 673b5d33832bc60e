// Resource strings: numbered 8-bit texts kept in string tables per module.
// Units declare their texts as records and read them with LoadResString, so
// that a translation (or a test) can replace any text by its number.
// A unit's table is registered by its start-up step (a table that lives in
// a static library must be registered explicitly: the linker drops a unit
// nobody calls).
//
//   inline const TResStringRec SReadError{"rtl", 61};
#pragma once

#include <initializer_list>
#include <utility>

#include "platform/rtl/Types.h"

struct TResStringRec {
  const char* Module;  // the string table's module name
  Integer Identifier;
};

// The text of a resource string; a missing entry gives an empty text.
AnsiString LoadResString(const TResStringRec& rec);
// The text by module and number, or false when there is none.
bool FindResString(const AnsiString& module, Integer id, AnsiString& text);

// Adds (or replaces) entries of a module's string table.
void RegisterResStrings(const AnsiString& module, std::initializer_list<std::pair<Integer, const char*>> entries);
void RegisterResString(const AnsiString& module, Integer id, const AnsiString& text);
