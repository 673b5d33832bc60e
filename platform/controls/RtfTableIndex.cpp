#include "platform/controls/RtfTableIndex.h"

namespace orv::rtf {

TableIndex::TableIndex(Document& Doc) : doc_(Doc) {
  for (std::size_t i = 0; i < doc_.Fonts.size(); ++i) fonts_.emplace(doc_.Fonts[i].Name, static_cast<int>(i));
  for (std::size_t i = 0; i < doc_.Colors.size(); ++i)
    if (!doc_.Colors[i].Automatic) colors_.emplace(doc_.Colors[i].Color, static_cast<int>(i));
}

int TableIndex::Font(const AnsiString& Name) {
  const auto [at, added] = fonts_.emplace(Name, static_cast<int>(doc_.Fonts.size()));
  if (added) doc_.Fonts.push_back(rtf::Font{Name});
  return at->second;
}

int TableIndex::Color(TColor Color) {
  // Colour 0 of an empty table is the automatic one; a first real colour
  // there would recolour every run that never asked for one.
  if (doc_.Colors.empty()) doc_.Colors.push_back(ColorEntry{true, 0});
  const auto [at, added] = colors_.emplace(Color, static_cast<int>(doc_.Colors.size()));
  if (added) doc_.Colors.push_back(ColorEntry{false, Color});
  return at->second;
}

}  // namespace orv::rtf
