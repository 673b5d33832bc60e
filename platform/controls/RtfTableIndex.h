// Positions of a rich text document's fonts and colours by name and by
// value, for whoever builds a document to write: a lookup costs the same
// however many entries the tables hold, so writing a text in n fonts or
// colours costs n lookups, not n times the table.
#pragma once

#include <unordered_map>

#include "platform/controls/Rtf.h"

namespace orv::rtf {

class TableIndex {
 public:
  // Indexes the entries Doc holds already; the first of equal entries is
  // the one found. Doc outlives the index, and its tables change only
  // through the index while it lives.
  explicit TableIndex(Document& Doc);

  // The position of the font or colour, added to the table when missing.
  int Font(const AnsiString& Name);
  int Color(TColor Color);

 private:
  Document& doc_;
  std::unordered_map<AnsiString, int> fonts_;
  std::unordered_map<TColor, int> colors_;  // real colours only, never the automatic one
};

}  // namespace orv::rtf
