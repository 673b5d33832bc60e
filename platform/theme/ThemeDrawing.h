// Procedural drawing of the theme's parts: soft gradients, one-pixel
// frames with rounded corners, glyphs. Everything goes through the
// drawing tier's public calls, so clipping, origins and recording DCs
// behave as for any painter; corner and curve pixels are blended with what
// the DC already holds, so the result depends only on the part, the state,
// the rectangle and the pixels below.
#pragma once

#include "platform/theme/ThemeParts.h"

namespace win::theme {

// Draws the part in its state over rect. The DC's state is kept.
void DrawPart(HDC hdc, const PartInfo& part, const StateInfo& state, const RECT& rect);

// Three-dimensional edges in the part's colours: the outer and inner rings
// the BDR_ bits ask for, on the BF_ sides; BF_MIDDLE fills the inside.
// Answers the rectangle left inside the rings.
RECT DrawEdgeRings(HDC hdc, const Face& face, const RECT& rect, UINT edge, UINT flags);

// The region a part covers inside rect (corner pixels it leaves alone
// are outside; round parts are round). The caller owns the region.
HRGN PartRegion(const PartInfo& part, const RECT& rect);

}  // namespace win::theme
