// Directory search: FindFirst / FindNext / FindClose over a pattern such as
// "maps/*.tt".
//
// The entries come sorted by name without regard to letter case (the order
// the system lists a directory in is arbitrary); a name listed with '?'
// for characters 1252 lacks comes after one really written so. The pattern's last name
// may hold the wildcards '*' and '?', matched without regard to case; "*.*"
// matches every name, with or without a dot. Names starting with '.' count
// as hidden, and there is no system attribute. A symbolic link to a
// directory carries faSymLink and never faDirectory, so a recursive scan
// that follows faDirectory cannot loop.
#pragma once

#include <memory>

#include "platform/rtl/Types.h"

constexpr Integer faReadOnly = 0x01;
constexpr Integer faHidden = 0x02;
constexpr Integer faSysFile = 0x04;
constexpr Integer faVolumeID = 0x08;
constexpr Integer faDirectory = 0x10;
constexpr Integer faArchive = 0x20;
constexpr Integer faSymLink = 0x400;
constexpr Integer faAnyFile = 0x3F;

struct TSearchRec {
  Integer Time = 0;  // packed file date, as FileAge answers it
  Int64 Size = 0;
  Integer Attr = 0;
  AnsiString Name;
  // False when the name on disk has characters 1252 lacks: Name shows '?'
  // in their place and names another file or none, so the entry cannot be
  // reached through it.
  bool Exact = true;
  // Hidden, system and directory entries are left out unless asked for.
  Integer ExcludeAttr = 0;
  std::shared_ptr<void> FindHandle;
};

// Starts a search. Attr asks for hidden (faHidden), system (faSysFile) and
// directory (faDirectory) entries on top of the ordinary files, which are
// always listed. Answers 0 with the first entry in F, or an error code:
// ERROR_FILE_NOT_FOUND when nothing matches, ERROR_PATH_NOT_FOUND when the
// directory cannot be listed.
Integer FindFirst(const AnsiString& path, Integer attr, TSearchRec& F);
// Answers 0 with the next entry, or ERROR_NO_MORE_FILES.
Integer FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// Wildcard match of one name, without regard to case.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);
