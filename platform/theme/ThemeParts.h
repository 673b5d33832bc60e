// The one table behind the theme module: which classes it knows, their
// parts and states, and for each part its shape, sizes, content margins,
// transparency and colours. Drawing, measuring and colour queries all read
// it, so a part's size, content rectangle and pixels never disagree.
#pragma once

#include <span>
#include <string_view>

#include "platform/gdi/GdiTypes.h"

namespace win::theme {

// How a part is drawn (ThemeDrawing.cpp has one routine per shape).
enum class Shape {
  PushButton,
  RadioButton,
  CheckBox,
  GroupBox,
  ScrollArrow,
  ScrollThumb,
  ScrollTrack,
  ScrollGripper,
  SizeBox,
  EditField,
  DropButton,
  SpinButton,
  HeaderItem,
  ListFrame,
  TreeGlyph,
  GroupButton,
  GroupHead,
  FooterCell,
  TabItem,
  TabPane,
  CloseButton,
  ToolButton,
};

// The visual state a state number stands for.
enum class Look { Normal, Hot, Pressed, Disabled, Accent, ReadOnly, Checked, HotChecked, Flat };

// Where a glyph points or what it marks; parts with several groups of
// states (check boxes, scroll arrows) take it from the group.
enum class Mark { None, Check, Mixed, Dot, Up, Down, Left, Right, Plus, Minus, Cross };

struct PartInfo {
  int Part;
  Shape Kind;
  std::span<const Look> Looks;    // one group of states, from state 1
  std::span<const Mark> Groups;   // the mark of each group; states = looks x groups
  SIZE TrueSize;                  // what the part looks best at
  SIZE MinSize;                   // below this it cannot be drawn sensibly
  bool FixedSize;                 // drawn at TrueSize, centred in the rectangle
  RECT Margins;                   // content insets: left, top, right, bottom
  bool PartlyTransparent;         // leaves pixels of what lies below
  bool Vertical;                  // long side vertical (thumbs, tracks, grippers, spin)

  int StateCount() const { return static_cast<int>(Looks.size() * Groups.size()); }
};

struct ClassInfo {
  std::string_view Name;
  std::span<const PartInfo> Parts;
  const PartInfo* Find(int part) const;
};

// The classes the module draws, in table order.
std::span<const ClassInfo> Classes();
// A class by name, ignoring ASCII case; null for a name the module lacks.
const ClassInfo* FindClass(std::string_view name);

// A state resolved against its part: state 0 stands for the part's first
// state, as painters pass it for parts with one look.
struct StateInfo {
  Look Kind;
  Mark Symbol;
};
// False when the state lies outside the part's states.
bool ResolveState(const PartInfo& part, int state, StateInfo& out);

// ---- Colours ----
struct Face {
  COLORREF Frame;
  COLORREF Top;     // gradient, first row (or column)
  COLORREF Bottom;  // gradient, last row
  COLORREF Text;
  COLORREF Glyph;
};
// The face a raised, clickable element shows in a look.
Face ButtonFace(Look look);
// The face of a field (edit, check box and radio interiors, lists).
Face FieldFace(Look look);
// The colour property of a part in a state (TMT_BORDERCOLOR, TMT_FILLCOLOR,
// TMT_TEXTCOLOR, and TMT_FACECOLOR for the button class); false for a
// property the part does not define.
bool PartColor(const ClassInfo& cls, const PartInfo& part, const StateInfo& state, int prop, COLORREF& out);

// a and b mixed component by component, b weighing weightOfB256 / 256
// (rounded to nearest).
COLORREF Mix(COLORREF a, COLORREF b, int weightOfB256);

// ---- Geometry ----
// Where a part is drawn inside a rectangle: the rectangle itself, or for
// fixed-size parts their true size centred in it.
RECT PartBox(const PartInfo& part, const RECT& rect);
RECT ContentRect(const PartInfo& part, const RECT& rect);

}  // namespace win::theme
