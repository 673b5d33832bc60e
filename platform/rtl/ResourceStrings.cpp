#include "platform/rtl/ResourceStrings.h"

#include <map>

namespace {
std::map<std::pair<AnsiString, Integer>, AnsiString>& Tables() {
  static std::map<std::pair<AnsiString, Integer>, AnsiString> tables;
  return tables;
}
}  // namespace

bool FindResString(const AnsiString& module, Integer id, AnsiString& text) {
  auto& t = Tables();
  auto it = t.find({module, id});
  if (it == t.end()) return false;
  text = it->second;
  return true;
}

AnsiString LoadResString(const TResStringRec& rec) {
  AnsiString text;
  FindResString(rec.Module ? rec.Module : "", rec.Identifier, text);
  return text;
}

void RegisterResStrings(const AnsiString& module, std::initializer_list<std::pair<Integer, const char*>> entries) {
  auto& t = Tables();
  for (const auto& [id, text] : entries) t[{module, id}] = text;
}

void RegisterResString(const AnsiString& module, Integer id, const AnsiString& text) { Tables()[{module, id}] = text; }
