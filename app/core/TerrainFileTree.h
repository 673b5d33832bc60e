// The terrain files (*.tt) below the start directory, grouped by directory
// the way the file grid shows them: one category row per directory,
// captioned with its path relative to the start directory ("./",
// "./maps/", "./maps/deep/"), holding a row per terrain file and then the
// category rows of its subdirectories, each subtree complete before the
// next (depth first). Entries come in the directory search's order: sorted
// without regard to case. Hidden entries are left out, links to
// directories are not followed, and a directory that cannot be listed
// still has its category row.
#pragma once

#include <vector>

#include "platform/rtl/Types.h"

namespace frontend {

// What a file row carries: the file's full path.
struct TERRAIN_FILE_INFO {
  AnsiString Path;
};

struct TFileTreeRow {
  bool IsFile = false;   // a terrain file, else a directory's category row
  Integer Parent = -1;   // index of the parent row in the list; -1 for the top
  AnsiString Caption;    // "./maps/", or the file name with its extension
  AnsiString Path;       // files: StartDir + "/maps/" + name, shown as the hint
};

std::vector<TFileTreeRow> ScanTerrainTree(const AnsiString& startDir);

}  // namespace frontend
