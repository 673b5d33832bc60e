#include "platform/theme/ThemeParts.h"

#include <array>

#include "platform/rtl/Collation.h"
#include "platform/rtl/Numbers.h"
#include "platform/theme/ThemeApi.h"

namespace win::theme {
namespace {

using enum Look;
using enum Mark;

// ---- State groups ----
constexpr std::array kQuad{Normal, Hot, Pressed, Disabled};
constexpr std::array kPush{Normal, Hot, Pressed, Disabled, Accent};
constexpr std::array kEnabledDisabled{Normal, Disabled};
// Edit fields: normal, hot, selected, disabled, focused, read-only.
constexpr std::array kEdit{Normal, Hot, Accent, Disabled, Accent, ReadOnly};
constexpr std::array kHeader{Normal, Hot, Pressed};
constexpr std::array kSingle{Normal};
constexpr std::array kGroupButton{Normal, Hot, Pressed};
// Tab items: normal, hot, selected, disabled.
constexpr std::array kTabStates{Normal, Hot, Accent, Disabled};
// Tool buttons: flat, hot, pressed, disabled, checked, hot and checked.
constexpr std::array kTool{Flat, Hot, Pressed, Disabled, Checked, HotChecked};

constexpr std::array kNoMark{None};
constexpr std::array kRadioMarks{None, Dot};
constexpr std::array kCheckMarks{None, Check, Mixed};
constexpr std::array kArrowMarks{Up, Down, Left, Right};
constexpr std::array kUp{Up};
constexpr std::array kDown{Down};
constexpr std::array kLeft{Left};
constexpr std::array kRight{Right};
constexpr std::array kTreeMarks{Plus, Minus};
constexpr std::array kCross{Cross};
// Size box: aligned right, aligned left (the grip faces that corner).
constexpr std::array kSizeBoxMarks{Right, Left};

constexpr RECT M(int all) { return {all, all, all, all}; }
constexpr RECT M(int l, int t, int r, int b) { return {l, t, r, b}; }

// Fields in table order: part, shape, looks, groups, true size, min size,
// fixed size, margins, partly transparent, vertical.
constexpr std::array kButton{
    PartInfo{1, Shape::PushButton, kPush, kNoMark, {75, 23}, {8, 8}, false, M(3), true, false},
    PartInfo{2, Shape::RadioButton, kQuad, kRadioMarks, {13, 13}, {13, 13}, true, M(0), true, false},
    PartInfo{3, Shape::CheckBox, kQuad, kCheckMarks, {13, 13}, {13, 13}, true, M(0), true, false},
    PartInfo{4, Shape::GroupBox, kEnabledDisabled, kNoMark, {20, 20}, {6, 6}, false, M(4, 8, 4, 4), true, false},
};
constexpr std::array kScrollBar{
    PartInfo{1, Shape::ScrollArrow, kQuad, kArrowMarks, {16, 16}, {8, 8}, false, M(2), true, false},
    PartInfo{2, Shape::ScrollThumb, kQuad, kNoMark, {16, 16}, {8, 8}, false, M(2), true, false},
    PartInfo{3, Shape::ScrollThumb, kQuad, kNoMark, {16, 16}, {8, 8}, false, M(2), true, true},
    PartInfo{4, Shape::ScrollTrack, kQuad, kNoMark, {16, 16}, {1, 1}, false, M(0), false, false},
    PartInfo{5, Shape::ScrollTrack, kQuad, kNoMark, {16, 16}, {1, 1}, false, M(0), false, false},
    PartInfo{6, Shape::ScrollTrack, kQuad, kNoMark, {16, 16}, {1, 1}, false, M(0), false, true},
    PartInfo{7, Shape::ScrollTrack, kQuad, kNoMark, {16, 16}, {1, 1}, false, M(0), false, true},
    PartInfo{8, Shape::ScrollGripper, kQuad, kNoMark, {8, 8}, {8, 8}, false, M(0), true, false},
    PartInfo{9, Shape::ScrollGripper, kQuad, kNoMark, {8, 8}, {8, 8}, false, M(0), true, true},
    PartInfo{10, Shape::SizeBox, kSingle, kSizeBoxMarks, {16, 16}, {16, 16}, false, M(0), true, false},
};
constexpr std::array kEditParts{
    PartInfo{1, Shape::EditField, kEdit, kNoMark, {40, 21}, {4, 4}, false, M(2), false, false},
};
constexpr std::array kComboBox{
    PartInfo{1, Shape::DropButton, kQuad, kDown, {17, 19}, {8, 8}, false, M(2), true, false},
};
constexpr std::array kSpin{
    PartInfo{1, Shape::SpinButton, kQuad, kUp, {15, 10}, {6, 5}, false, M(1), true, true},
    PartInfo{2, Shape::SpinButton, kQuad, kDown, {15, 10}, {6, 5}, false, M(1), true, true},
    PartInfo{3, Shape::SpinButton, kQuad, kRight, {10, 15}, {5, 6}, false, M(1), true, false},
    PartInfo{4, Shape::SpinButton, kQuad, kLeft, {10, 15}, {5, 6}, false, M(1), true, false},
};
constexpr std::array kHeaderParts{
    PartInfo{1, Shape::HeaderItem, kHeader, kNoMark, {40, 21}, {4, 4}, false, M(2), false, false},
    PartInfo{2, Shape::HeaderItem, kHeader, kNoMark, {40, 21}, {4, 4}, false, M(2), false, false},
    PartInfo{3, Shape::HeaderItem, kHeader, kNoMark, {40, 21}, {4, 4}, false, M(2), false, false},
};
constexpr std::array kListView{
    PartInfo{5, Shape::ListFrame, kSingle, kNoMark, {40, 40}, {2, 2}, false, M(1), false, false},
};
constexpr std::array kTreeView{
    PartInfo{2, Shape::TreeGlyph, kSingle, kTreeMarks, {9, 9}, {9, 9}, true, M(0), true, false},
};
constexpr std::array kExplorerBar{
    PartInfo{6, Shape::GroupButton, kGroupButton, kUp, {17, 17}, {17, 17}, true, M(0), true, false},
    PartInfo{7, Shape::GroupButton, kGroupButton, kDown, {17, 17}, {17, 17}, true, M(0), true, false},
    PartInfo{8, Shape::GroupHead, kSingle, kNoMark, {60, 25}, {8, 8}, false, M(8, 2, 8, 2), true, false},
};
constexpr std::array kTrackBar{
    PartInfo{1, Shape::FooterCell, kSingle, kNoMark, {40, 18}, {2, 2}, false, M(1), false, false},
};
constexpr std::array kTab{
    PartInfo{1, Shape::TabItem, kTabStates, kNoMark, {60, 21}, {8, 6}, false, M(6, 3, 6, 2), true, false},
    PartInfo{9, Shape::TabPane, kSingle, kNoMark, {40, 40}, {2, 2}, false, M(1), false, false},
};
constexpr std::array kWindow{
    PartInfo{19, Shape::CloseButton, kQuad, kCross, {13, 13}, {13, 13}, true, M(0), true, false},
};
constexpr std::array kToolBar{
    PartInfo{1, Shape::ToolButton, kTool, kNoMark, {23, 22}, {6, 6}, false, M(3), true, false},
};

constexpr std::array kClasses{
    ClassInfo{"Button", kButton},        ClassInfo{"ScrollBar", kScrollBar},
    ClassInfo{"Edit", kEditParts},       ClassInfo{"ComboBox", kComboBox},
    ClassInfo{"Spin", kSpin},            ClassInfo{"Header", kHeaderParts},
    ClassInfo{"ListView", kListView},    ClassInfo{"TreeView", kTreeView},
    ClassInfo{"ExplorerBar", kExplorerBar}, ClassInfo{"TrackBar", kTrackBar},
    ClassInfo{"Tab", kTab},              ClassInfo{"Window", kWindow},
    ClassInfo{"ToolBar", kToolBar},
};

constexpr COLORREF kText = RGB(28, 32, 38);
constexpr COLORREF kGreyText = RGB(150, 155, 162);

}  // namespace

const PartInfo* ClassInfo::Find(int part) const {
  for (const PartInfo& p : Parts)
    if (p.Part == part) return &p;
  return nullptr;
}

std::span<const ClassInfo> Classes() { return kClasses; }

const ClassInfo* FindClass(std::string_view name) {
  for (const ClassInfo& c : kClasses)
    if (SameText(c.Name, name)) return &c;
  return nullptr;
}

bool ResolveState(const PartInfo& part, int state, StateInfo& out) {
  if (state == 0) state = 1;
  if (state < 1 || state > part.StateCount()) return false;
  const auto n = static_cast<int>(part.Looks.size());
  out.Kind = part.Looks[static_cast<std::size_t>((state - 1) % n)];
  out.Symbol = part.Groups[static_cast<std::size_t>((state - 1) / n)];
  return true;
}

COLORREF Mix(COLORREF a, COLORREF b, int w) {
  auto c = [&](int s) {
    int x = (a >> s) & 0xFF, y = (b >> s) & 0xFF;
    return static_cast<COLORREF>((x * (256 - w) + y * w + 128) >> 8) << s;
  };
  return c(0) | c(8) | c(16);
}

Face ButtonFace(Look look) {
  switch (look) {
    case Hot:
      return {RGB(72, 138, 201), RGB(247, 251, 255), RGB(209, 229, 248), kText, RGB(30, 86, 146)};
    case Pressed:
      return {RGB(44, 100, 156), RGB(184, 211, 237), RGB(214, 232, 249), kText, RGB(22, 64, 110)};
    case Disabled:
      return {RGB(198, 202, 208), RGB(246, 247, 248), RGB(238, 239, 241), kGreyText, RGB(178, 182, 188)};
    case Accent:
      return {RGB(44, 100, 156), RGB(255, 255, 255), RGB(226, 230, 236), kText, RGB(66, 74, 86)};
    case Checked:
      return {RGB(72, 138, 201), RGB(226, 239, 252), RGB(196, 222, 247), kText, RGB(30, 86, 146)};
    case HotChecked:
      return {RGB(44, 100, 156), RGB(210, 230, 250), RGB(178, 210, 243), kText, RGB(22, 64, 110)};
    case Normal:
    case ReadOnly:
    case Flat:
      break;
  }
  return {RGB(140, 149, 162), RGB(255, 255, 255), RGB(226, 230, 236), kText, RGB(66, 74, 86)};
}

Face FieldFace(Look look) {
  switch (look) {
    case Hot:
      return {RGB(72, 138, 201), RGB(234, 243, 252), RGB(255, 255, 255), kText, RGB(30, 86, 146)};
    case Pressed:
      return {RGB(44, 100, 156), RGB(204, 225, 245), RGB(234, 243, 252), kText, RGB(22, 64, 110)};
    case Disabled:
      return {RGB(198, 202, 208), RGB(244, 245, 246), RGB(244, 245, 246), kGreyText, RGB(178, 182, 188)};
    case Accent:
      return {RGB(44, 100, 156), RGB(255, 255, 255), RGB(255, 255, 255), kText, RGB(33, 96, 160)};
    case ReadOnly:
      return {RGB(170, 177, 187), RGB(239, 240, 242), RGB(239, 240, 242), kText, RGB(66, 74, 86)};
    case Normal:
    case Checked:
    case HotChecked:
    case Flat:
      break;
  }
  return {RGB(140, 149, 162), RGB(240, 242, 245), RGB(255, 255, 255), kText, RGB(33, 96, 160)};
}

bool PartColor(const ClassInfo& cls, const PartInfo& part, const StateInfo& state, int prop, COLORREF& out) {
  bool field = part.Kind == Shape::EditField || part.Kind == Shape::ListFrame || part.Kind == Shape::TabPane ||
               part.Kind == Shape::CheckBox || part.Kind == Shape::RadioButton;
  Face f = field ? FieldFace(state.Kind) : ButtonFace(state.Kind);
  // Fields are flat inside: their fill is the colour at the bottom, which
  // is where text sits on a check box's row and all of an edit field.
  COLORREF fill = field ? f.Bottom : Mix(f.Top, f.Bottom, 128);
  switch (prop) {
    case TMT_BORDERCOLOR: out = f.Frame; return true;
    case TMT_FILLCOLOR: out = fill; return true;
    case TMT_TEXTCOLOR: out = f.Text; return true;
    case TMT_FACECOLOR:
      if (cls.Name != "Button") return false;
      out = fill;
      return true;
    default: return false;
  }
}

// Geometry is summed in 64 bits and held to Integer: a rectangle at the
// ends of Integer has a middle and insets though its width does not fit.
RECT PartBox(const PartInfo& part, const RECT& rect) {
  if (!part.FixedSize) return rect;
  const Int64 x = rect.Left + (Int64(rect.Right) - rect.Left - part.TrueSize.cx) / 2;
  const Int64 y = rect.Top + (Int64(rect.Bottom) - rect.Top - part.TrueSize.cy) / 2;
  return {ClampToInteger(x), ClampToInteger(y), ClampToInteger(x + part.TrueSize.cx),
          ClampToInteger(y + part.TrueSize.cy)};
}

RECT ContentRect(const PartInfo& part, const RECT& rect) {
  RECT box = PartBox(part, rect);
  return {ClampToInteger(Int64(box.Left) + part.Margins.Left), ClampToInteger(Int64(box.Top) + part.Margins.Top),
          ClampToInteger(Int64(box.Right) - part.Margins.Right),
          ClampToInteger(Int64(box.Bottom) - part.Margins.Bottom)};
}

}  // namespace win::theme
