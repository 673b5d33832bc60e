// The terrain files (*.tt) below the start directory, grouped by directory
// the way the file grid shows them: one category row per directory,
// captioned with its path relative to the start directory ("./",
// "./maps/", "./maps/deep/"), holding a row per terrain file and then the
// category rows of its subdirectories, each subtree complete before the
// next (depth first). Entries come in the directory search's order: sorted
// without regard to case. Hidden entries are left out, links to
// directories are not followed, and a directory that cannot be listed
// still has its category row. A name with characters 1252 lacks is listed
// with '?' in their place; its row cannot be reached (a directory's shows
// nothing below it), even when a file really named so stands beside it.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"

namespace frontend {

// What a file row carries: the file's full path, and whether it reaches
// the file (see TFileTreeRow::Reachable).
struct TERRAIN_FILE_INFO {
  AnsiString Path;
  bool Reachable = true;
};

struct TFileTreeRow {
  bool IsFile = false;   // a terrain file, else a directory's category row
  Integer Parent = -1;   // index of the parent row in the list; -1 for the top
  AnsiString Caption;    // "./maps/", or the file name with its extension
  AnsiString Path;       // files: StartDir + "/maps/" + name, shown as the hint
  // False when a name on the way has characters 1252 lacks: Path then
  // names another file or none, and the row opens as none would.
  bool Reachable = true;
};

std::vector<TFileTreeRow> ScanTerrainTree(const AnsiString& startDir);

}  // namespace frontend
