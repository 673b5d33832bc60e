#include "platform/gdi/FontSubstitution.h"

#include <map>

#include "platform/gdi/Fonts.h"

namespace win::gdi {

namespace {

std::string Folded(const char* s) {
  std::string out;
  for (; s && *s; ++s) {
    char c = *s;
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    out += c;
  }
  return out;
}

std::map<std::string, std::string> DefaultTable() {
  return {
      {"tahoma", kSansFamily},          {"ms sans serif", kSansFamily}, {"ms shell dlg", kSansFamily},
      {"ms shell dlg 2", kSansFamily},  {"arial", kSansFamily},         {"system", kSansFamily},
      {"", kSansFamily},                {"courier new", kMonoFamily},   {"courier", kMonoFamily},
      {"fixedsys", kMonoFamily},        {"terminal", kMonoFamily},      {"lucida console", kMonoFamily},
  };
}

std::map<std::string, std::string>& Table() {
  static std::map<std::string, std::string> table = DefaultTable();
  return table;
}

std::vector<std::string>& Hidden() {
  static std::vector<std::string> hidden;
  return hidden;
}

}  // namespace

bool WantsFixedPitch(const char* face, BYTE pitchAndFamily) {
  // A face the table knows decides by its entry; any other by the pitch.
  auto it = Table().find(Folded(face));
  if (it != Table().end()) return it->second == kMonoFamily;
  return (pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN;
}

void SubstituteCandidates(const char* face, BYTE pitchAndFamily, std::vector<std::string>& out) {
  out.clear();
  const bool fixed = WantsFixedPitch(face, pitchAndFamily);
  auto it = Table().find(Folded(face));
  if (it != Table().end()) out.push_back(it->second);
  else if (face && *face) out.emplace_back(face);
  for (const char* family : {fixed ? kMonoFamily : kSansFamily, fixed ? kMonoFallback : kSansFallback}) {
    bool known = false;
    for (const std::string& c : out) known = known || c == family;
    if (!known) out.emplace_back(family);
  }
}

bool IsFamilyHidden(const std::string& family) {
  for (const std::string& h : Hidden())
    if (Folded(h.c_str()) == Folded(family.c_str())) return true;
  return false;
}

void SetHiddenFontFamilies(std::vector<std::string> families) {
  Hidden() = std::move(families);
  FlushFontCache();
}

void SetFontSubstitute(const std::string& face, const std::string& family) {
  std::string key = Folded(face.c_str());
  if (family.empty()) Table().erase(key);
  else Table()[key] = family;
  FlushFontCache();
}

void ResetFontSubstitutes() {
  Table() = DefaultTable();
  FlushFontCache();
}

}  // namespace win::gdi
