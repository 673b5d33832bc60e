#include "platform/gdi/FontMatchStore.h"

#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "platform/rtl/OsEdge.h"

namespace win::gdi {
namespace {

constexpr const char* kHeader = "orvanta font matches 1";
constexpr const char* kEnd = ".";

// What fontconfig reads from the environment: another configuration file,
// search path or root, and the folders its user configuration lies in.
constexpr const char* kEnvironment[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
                                        "XDG_CONFIG_HOME", "XDG_DATA_HOME"};

// A file's or folder's state as far as the answers go: its modification
// time to the nanosecond and its size, or "-" when it is not there. A
// folder's time moves when a file in it comes or goes.
std::string StampOf(const std::string& APath) {
  struct stat st;
  if (stat(APath.c_str(), &st) != 0) return "-";
  return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + "/" +
         std::to_string(st.st_size);
}

std::string EnvironmentValue(const char* AName) {
  const char* v = std::getenv(AName);
  return v ? std::string("=") + v : std::string("!");
}

std::string Folder(const std::string& APath) {
  const std::string::size_type slash = APath.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : APath.substr(0, slash);
}

void AddList(FcStrList* AList, std::set<std::string>& AInto, bool AWithFolders) {
  if (!AList) return;
  while (FcChar8* s = FcStrListNext(AList)) {
    std::string path = reinterpret_cast<const char*>(s);
    if (AWithFolders) AInto.insert(Folder(path));
    AInto.insert(std::move(path));
  }
  FcStrListDone(AList);
}

// Everything the configuration in use was drawn from: the configuration
// files and their folders (a file added beside them may be included next
// time), the font folders, and the places of a user configuration that
// may not exist yet.
std::set<std::string> ConfigurationSources() {
  std::set<std::string> sources;
  AddList(FcConfigGetConfigFiles(nullptr), sources, true);
  AddList(FcConfigGetConfigDirs(nullptr), sources, false);
  AddList(FcConfigGetFontDirs(nullptr), sources, false);
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  std::string config = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  if (config.empty() && !home.empty()) config = home + "/.config";
  if (!config.empty()) {
    sources.insert(config);
    sources.insert(config + "/fontconfig");
    sources.insert(config + "/fontconfig/fonts.conf");
  }
  if (!home.empty()) {
    sources.insert(home + "/.fonts.conf");
    sources.insert(home + "/.fonts");
  }
  return sources;
}

bool Plain(const std::string& AText) { return AText.find_first_of("\t\n\r") == std::string::npos; }

std::vector<std::string> Fields(const std::string& ALine) {
  std::vector<std::string> out;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type tab = ALine.find('\t', start);
    out.push_back(ALine.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

bool Number(const std::string& AText, int& AValue) {
  if (AText.empty() || AText.size() > 9) return false;
  char* end = nullptr;
  const long v = std::strtol(AText.c_str(), &end, 10);
  if (*end != 0) return false;
  AValue = static_cast<int>(v);
  return true;
}

}  // namespace

bool FontMatchStore::Open(const std::string& APath) {
  FPath = APath;
  FValid = false;
  FAnswers.clear();
  // The store is read like any outside file: a named pipe or a device in
  // its place must not hold the start for good.
  std::string bytes;
  bool missing = false;
  if (!orv::os::ReadWholeOsFile(APath, bytes, missing)) return false;
  std::istringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  std::map<Key, Answer> answers;
  std::set<std::string> environment, sources;
  bool ended = false;
  while (std::getline(in, line)) {
    const std::vector<std::string> f = Fields(line);
    if (ended) return false;
    if (f[0] == kEnd && f.size() == 1) {
      ended = true;
    } else if (f[0] == "E" && f.size() == 3) {
      if (EnvironmentValue(f[1].c_str()) != f[2]) return false;
      environment.insert(f[1]);
    } else if (f[0] == "S" && f.size() == 3) {
      if (StampOf(f[2]) != f[1]) return false;
      sources.insert(f[2]);
    } else if (f[0] == "M" && f.size() == 9) {
      int weight = 0, italic = 0, installed = 0;
      Answer a;
      if (!Number(f[2], weight) || !Number(f[3], italic) || !Number(f[4], installed) ||
          !Number(f[5], a.Match.Index) || !Number(f[6], a.Match.FcWeight) || !Number(f[7], a.Match.FcSlant))
        return false;
      a.Installed = installed != 0;
      if (a.Installed) {
        a.Match.Family = f[1];
        a.Match.File = f[8];
        if (!sources.count(a.Match.File)) return false;
      }
      answers[{f[1], weight, italic != 0}] = a;
    } else {
      return false;
    }
  }
  // A store cut short, or written under another environment, says nothing.
  if (!ended) return false;
  for (const char* name : kEnvironment)
    if (!environment.count(name)) return false;
  FAnswers = std::move(answers);
  FValid = true;
  return true;
}

bool FontMatchStore::Find(const std::string& AFamily, int AWeight, bool AItalic, bool& AInstalled,
                          FontMatch& AMatch) const {
  auto it = FAnswers.find({AFamily, AWeight, AItalic});
  if (it == FAnswers.end()) return false;
  AInstalled = it->second.Installed;
  if (AInstalled) AMatch = it->second.Match;
  return true;
}

void FontMatchStore::Remember(const std::string& AFamily, int AWeight, bool AItalic, const FontMatch* AMatch) {
  Answer& a = FAnswers[{AFamily, AWeight, AItalic}];
  a.Installed = AMatch != nullptr;
  a.Match = AMatch ? *AMatch : FontMatch{};
  Save();
}

void FontMatchStore::Save() {
  if (FPath.empty()) return;
  std::ostringstream out;
  out << kHeader << '\n';
  for (const char* name : kEnvironment) out << "E\t" << name << '\t' << EnvironmentValue(name) << '\n';
  std::set<std::string> sources = ConfigurationSources();
  for (const auto& [key, a] : FAnswers)
    if (a.Installed) sources.insert(a.Match.File);
  for (const std::string& s : sources) {
    // A name the format cannot carry leaves the store unwritten: answers
    // that cannot be checked are not kept.
    if (!Plain(s)) return;
    out << "S\t" << StampOf(s) << '\t' << s << '\n';
  }
  for (const auto& [key, a] : FAnswers) {
    const auto& [family, weight, italic] = key;
    if (!Plain(family) || !Plain(a.Match.File)) return;
    out << "M\t" << family << '\t' << weight << '\t' << (italic ? 1 : 0) << '\t' << (a.Installed ? 1 : 0) << '\t'
        << a.Match.Index << '\t' << a.Match.FcWeight << '\t' << a.Match.FcSlant << '\t' << a.Match.File << '\n';
  }
  out << kEnd << '\n';
  // Written beside and renamed over: a program starting meanwhile reads
  // the old store or the new one, never half of one.
  const std::string folder = Folder(FPath);
  for (std::string::size_type i = 1; i <= folder.size(); ++i)
    if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
  const std::string temporary = FPath + "." + std::to_string(getpid());
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return;
    file << out.str();
    if (!file.flush()) {
      file.close();
      std::remove(temporary.c_str());
      return;
    }
  }
  if (std::rename(temporary.c_str(), FPath.c_str()) != 0) std::remove(temporary.c_str());
}

namespace {
std::unique_ptr<FontMatchStore>& TheStore() {
  static std::unique_ptr<FontMatchStore> store;
  return store;
}
}  // namespace

bool UseFontMatchStore(const std::string& APath) {
  if (APath.empty()) {
    TheStore().reset();
    return false;
  }
  auto store = std::make_unique<FontMatchStore>();
  const bool valid = store->Open(APath);
  TheStore() = std::move(store);
  return valid;
}

FontMatchStore* ActiveFontMatchStore() { return TheStore().get(); }

}  // namespace win::gdi
