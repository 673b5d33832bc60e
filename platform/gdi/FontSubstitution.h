// Which installed family stands in for a face name. The program's layouts
// were made for faces this system does not have ("Tahoma", "MS Sans Serif",
// "Arial"); each maps to a metric-compatible family that is installed with
// the program. The table lives here rather than in fontconfig's files so
// that every machine measures text the same way, and tests can change it.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

namespace win::gdi {

// The proportional and fixed-pitch families of the table, and what stands
// in when those are not installed.
inline constexpr const char* kSansFamily = "Liberation Sans";
inline constexpr const char* kMonoFamily = "Liberation Mono";
inline constexpr const char* kSansFallback = "DejaVu Sans Condensed";
inline constexpr const char* kMonoFallback = "DejaVu Sans Mono";

// Whether a description asks for fixed pitch: the pitch bits, the modern
// family, or a face the table knows as fixed.
bool WantsFixedPitch(const char* face, BYTE pitchAndFamily);

// The families to try for a face, best first: the table's substitute (or
// the face itself when the table does not know it), then the proportional
// or fixed family, then its fallback. The caller takes the first that is
// installed.
void SubstituteCandidates(const char* face, BYTE pitchAndFamily, std::vector<std::string>& out);

// Test hooks. An entry maps a face name (any case) to a family; an empty
// family removes the entry. Changes flush the realised fonts.
void SetFontSubstitute(const std::string& face, const std::string& family);
void ResetFontSubstitutes();
// Families treated as not installed (to see what a machine without them
// draws with); an empty list shows everything again.
void SetHiddenFontFamilies(std::vector<std::string> families);
bool IsFamilyHidden(const std::string& family);

}  // namespace win::gdi
