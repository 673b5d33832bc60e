#include "app/core/TerrainFileTree.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/FindFiles.h"

#include <utility>

namespace frontend {

namespace {

// The entries a search finds, closed again before the caller recurses.
template <class F>
void ForEachEntry(const AnsiString& pattern, Integer attr, F&& f) {
  TSearchRec sr;
  for (Integer r = FindFirst(pattern, attr, sr); r == 0; r = FindNext(sr)) f(sr);
  FindClose(sr);
}

class TTreeScan {
 public:
  explicit TTreeScan(const AnsiString& startDir) : FStartDir(startDir) {}

  // relative is "." or "./maps/deep"; the folder on disk is the start
  // directory followed by what comes after the dot.
  // A folder reached through a name 1252 cannot hold is not listed: its
  // name names another folder or none.
  void ScanDirectory(const AnsiString& relative, Integer parent, bool reachable = true) {
    const Integer row = Add({false, parent, relative + "/", {}, reachable});
    if (!reachable) return;
    const AnsiString folder = FStartDir + relative.substr(1);
    ForEachEntry(folder + "/*.tt", 0, [&](const TSearchRec& sr) {
      const AnsiString path = folder + "/" + sr.Name;
      // A link to a directory is no terrain file, whatever its name.
      if (sr.Exact && (sr.Attr & faSymLink) && DirectoryExists(path)) return;
      Add({true, row, sr.Name, path, sr.Exact});
    });
    std::vector<std::pair<AnsiString, bool>> subdirectories;
    ForEachEntry(folder + "/*.*", faDirectory, [&](const TSearchRec& sr) {
      if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..") subdirectories.push_back({sr.Name, sr.Exact});
    });
    for (const auto& [name, exact] : subdirectories) ScanDirectory(relative + "/" + name, row, exact);
  }

  std::vector<TFileTreeRow> Rows;

 private:
  Integer Add(TFileTreeRow row) {
    Rows.push_back(std::move(row));
    return static_cast<Integer>(Rows.size() - 1);
  }

  AnsiString FStartDir;
};

}  // namespace

std::vector<TFileTreeRow> ScanTerrainTree(const AnsiString& startDir) {
  TTreeScan scan(startDir);
  scan.ScanDirectory(".", -1);
  return std::move(scan.Rows);
}

}  // namespace frontend
