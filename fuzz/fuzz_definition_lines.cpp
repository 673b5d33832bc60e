// Feeds arbitrary bytes to the definition reader, in either locale: every
// line gives a definition or a message, never a crash, and every accepted
// definition can show its default in its row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "app/core/ValueRows.h"
#include "platform/rtl/Locale.h"

using namespace frontend;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the locale, so '.' meets ',' as the separator.
  ScopedLocale locale(data[0] & 1 ? "de-DE" : "en-US");
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  TDefinitionTable defs;
  std::vector<TUserMessage> messages;
  ParseDefinitionText(text, defs, messages);
  std::size_t lines = 1;
  for (char c : text) lines += c == '\n';
  if (defs.size() + messages.size() > lines) std::abort();
  for (const TERRAIN_KEY_DEF& def : defs) {
    if (def.Type > ptString) std::abort();
    if (def.Type == ptList && (def.ItemCount < 2 || def.ItemCount > 10 || def.Items.size() != std::size_t(def.ItemCount)))
      std::abort();
  }
  // Definitions sharing a key share the file's value too, so only with
  // keys of their own must every default fit its row.
  std::set<AnsiString> keys;
  for (const TERRAIN_KEY_DEF& def : defs) keys.insert(def.Key);
  const TValueRowPlan plan = PlanValueRows(defs, DefaultStatements(defs), "f.tt");
  if (plan.Rows.size() != defs.size() || (plan.InvalidValues && keys.size() == defs.size())) std::abort();
  return 0;
}
