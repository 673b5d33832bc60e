#include "platform/rtl/ResourceStrings.h"

#include <map>
#include <string_view>

namespace {

// An entry's module and number. Lookups compare the number first and take
// the module as it is given, so finding a text copies no name.
struct TKey {
  AnsiString Module;
  Integer Id;
};
struct TKeyView {
  std::string_view Module;
  Integer Id;
};
struct TKeyLess {
  using is_transparent = void;
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    if (a.Id != b.Id) return a.Id < b.Id;
    return std::string_view(a.Module) < std::string_view(b.Module);
  }
};

std::map<TKey, AnsiString, TKeyLess>& Tables() {
  static std::map<TKey, AnsiString, TKeyLess> tables;
  return tables;
}

const AnsiString* Find(std::string_view module, Integer id) {
  auto& t = Tables();
  auto it = t.find(TKeyView{module, id});
  return it == t.end() ? nullptr : &it->second;
}

}  // namespace

bool FindResString(const AnsiString& module, Integer id, AnsiString& text) {
  const AnsiString* found = Find(module, id);
  if (!found) return false;
  text = *found;
  return true;
}

AnsiString LoadResString(const TResStringRec& rec) {
  const AnsiString* found = Find(rec.Module ? rec.Module : "", rec.Identifier);
  return found ? *found : AnsiString();
}

void RegisterResStrings(const AnsiString& module, std::initializer_list<std::pair<Integer, const char*>> entries) {
  auto& t = Tables();
  for (const auto& [id, text] : entries) t[TKey{module, id}] = text;
}

void RegisterResString(const AnsiString& module, Integer id, const AnsiString& text) {
  Tables()[TKey{module, id}] = text;
}
