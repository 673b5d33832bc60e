#include "platform/rtl/FindFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/OsEdge.h"
#include "platform/rtl/WinTypes.h"

namespace {

constexpr Integer faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;

struct Entry {
  AnsiString Name;
  bool Exact = true;
  Integer Attr;
  Int64 Size;
  Integer Time;
};

struct SearchState {
  std::vector<Entry> Entries;
  std::size_t Next = 0;
};

// The attributes of one directory entry; false when it vanished meanwhile.
bool Describe(int dirFd, const char* osName, const AnsiString& name, Entry& e) {
  struct stat st;
  if (fstatat(dirFd, osName, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  e.Attr = 0;
  const bool link = S_ISLNK(st.st_mode);
  if (link) {
    e.Attr |= faSymLink;
    struct stat target;
    // A link reports what it points to, except that a directory behind it
    // is never announced as one; a dangling link is an empty file.
    if (fstatat(dirFd, osName, &target, 0) == 0) st = target;
    else st.st_size = 0;
  }
  if (S_ISDIR(st.st_mode)) {
    if (!link) e.Attr |= faDirectory;
  } else if (S_ISREG(st.st_mode)) {
    e.Attr |= faArchive;
  } else if (!S_ISLNK(st.st_mode)) {  // still the link itself when it points nowhere
    // A named pipe, a device or a socket, or a link to one, is the
    // system's: a search for files never finds it, as reading one would
    // wait for good or never end.
    e.Attr |= faSysFile;
    st.st_size = 0;
  }
  if (!(st.st_mode & S_IWUSR)) e.Attr |= faReadOnly;
  if (!name.empty() && name[0] == '.') e.Attr |= faHidden;
  e.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<Int64>(st.st_size);
  e.Time = orv::os::PackFileDate(st.st_mtim.tv_sec);
  e.Name = name;
  return true;
}

void Fill(TSearchRec& F, const Entry& e) {
  F.Name = e.Name;
  F.Exact = e.Exact;
  F.Attr = e.Attr;
  F.Size = e.Size;
  F.Time = e.Time;
}

}  // namespace

bool MatchesMask(const AnsiString& name, const AnsiString& mask) {
  if (mask == "*.*" || mask == "*") return true;
  // Greedy matching that remembers the last '*' and retries from there:
  // linear in practice and never recursive.
  std::size_t n = 0, m = 0, starM = AnsiString::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || AnsiUpperChar(mask[m]) == AnsiUpperChar(name[n]))) {
      ++m;
      ++n;
    } else if (starM != AnsiString::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

Integer FindFirst(const AnsiString& path, Integer attr, TSearchRec& F) {
  FindClose(F);
  F.ExcludeAttr = ~attr & faSpecial;
  const AnsiString mask = ExtractFileName(path);
  AnsiString dir = ExtractFilePath(path);
  if (dir.empty()) dir = ".";
  std::string osDir;
  if (!orv::os::ToOsName(dir, osDir)) return static_cast<Integer>(win::ERROR_PATH_NOT_FOUND);
  if (mask.empty()) return static_cast<Integer>(win::ERROR_FILE_NOT_FOUND);

  DIR* d = opendir(osDir.c_str());
  if (!d) return static_cast<Integer>(win::ERROR_PATH_NOT_FOUND);
  auto state = std::make_shared<SearchState>();
  while (const dirent* de = readdir(d)) {
    bool exact = true;
    const AnsiString name = orv::os::FromOsName(de->d_name, &exact);
    if (!MatchesMask(name, mask)) continue;
    Entry e;
    if (!Describe(dirfd(d), de->d_name, name, e)) continue;
    e.Exact = exact;
    if (e.Attr & F.ExcludeAttr) continue;
    state->Entries.push_back(std::move(e));
  }
  closedir(d);
  if (state->Entries.empty()) return static_cast<Integer>(win::ERROR_FILE_NOT_FOUND);

  std::sort(state->Entries.begin(), state->Entries.end(), [](const Entry& a, const Entry& b) {
    const Integer c = AnsiCompareText(a.Name, b.Name);
    if (c != 0) return c < 0;
    const Integer s = CompareStr(a.Name, b.Name);
    // A name listed with '?' comes after the one really named so.
    return s != 0 ? s < 0 : a.Exact > b.Exact;
  });
  Fill(F, state->Entries[0]);
  state->Next = 1;
  F.FindHandle = std::move(state);
  return 0;
}

Integer FindNext(TSearchRec& F) {
  auto* state = static_cast<SearchState*>(F.FindHandle.get());
  if (!state || state->Next >= state->Entries.size()) return static_cast<Integer>(win::ERROR_NO_MORE_FILES);
  Fill(F, state->Entries[state->Next++]);
  return 0;
}

void FindClose(TSearchRec& F) { F.FindHandle.reset(); }
