#include "platform/win/Metrics.h"

#include <array>
#include <cstddef>
#include <limits>
#include <map>
#include <utility>

#include "platform/win/BackEnd.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursors.h"
#include "platform/win/Modules.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

constexpr COLORREF Rgb(int r, int g, int b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

constexpr int kColorCount = 31;

constexpr COLORREF kClassicColors[kColorCount] = {
    Rgb(212, 208, 200),  // scroll bar
    Rgb(58, 110, 165),   // desktop
    Rgb(10, 36, 106),    // active caption
    Rgb(128, 128, 128),  // inactive caption
    Rgb(212, 208, 200),  // menu
    Rgb(255, 255, 255),  // window
    Rgb(0, 0, 0),        // window frame
    Rgb(0, 0, 0),        // menu text
    Rgb(0, 0, 0),        // window text
    Rgb(255, 255, 255),  // caption text
    Rgb(212, 208, 200),  // active border
    Rgb(212, 208, 200),  // inactive border
    Rgb(128, 128, 128),  // application work space
    Rgb(10, 36, 106),    // highlight
    Rgb(255, 255, 255),  // highlight text
    Rgb(212, 208, 200),  // button face
    Rgb(128, 128, 128),  // button shadow
    Rgb(128, 128, 128),  // grey text
    Rgb(0, 0, 0),        // button text
    Rgb(212, 208, 200),  // inactive caption text
    Rgb(255, 255, 255),  // button highlight
    Rgb(64, 64, 64),     // 3-D dark shadow
    Rgb(212, 208, 200),  // 3-D light
    Rgb(0, 0, 0),        // info text
    Rgb(255, 255, 225),  // info background
    Rgb(181, 181, 181),  // (unnamed)
    Rgb(0, 0, 128),      // hot light
    Rgb(166, 202, 240),  // gradient active caption
    Rgb(192, 192, 192),  // gradient inactive caption
    Rgb(49, 106, 197),   // menu highlight
    Rgb(236, 233, 216),  // menu bar
};

// The classic metrics, looked up by index (drawing a scroll bar asks for
// several); kScreenMetric where the screen answers.
constexpr int kScreenMetric = std::numeric_limits<int>::min();
using MetricTable = std::array<int, 96>;

const MetricTable& Classic() {
  static const std::pair<int, int> values[] = {
      {SM_CXVSCROLL, 16},    {SM_CYHSCROLL, 16},   {SM_CYCAPTION, 19},     {SM_CXBORDER, 1},
      {SM_CYBORDER, 1},      {SM_CXDLGFRAME, 3},   {SM_CYDLGFRAME, 3},     {SM_CYVTHUMB, 16},
      {SM_CXHTHUMB, 16},     {SM_CXICON, 32},      {SM_CYICON, 32},        {SM_CXCURSOR, 32},
      {SM_CYCURSOR, 32},     {SM_CYMENU, 19},      {SM_MOUSEPRESENT, 1},   {SM_CYVSCROLL, 16},
      {SM_CXHSCROLL, 16},    {SM_DEBUG, 0},        {SM_SWAPBUTTON, 0},     {SM_CXMIN, 112},
      {SM_CYMIN, 27},        {SM_CXSIZE, 18},      {SM_CYSIZE, 18},        {SM_CXFRAME, 4},
      {SM_CYFRAME, 4},       {SM_CXMINTRACK, 112}, {SM_CYMINTRACK, 27},    {SM_CXDOUBLECLK, 4},
      {SM_CYDOUBLECLK, 4},   {SM_CXICONSPACING, 75}, {SM_CYICONSPACING, 75}, {SM_MENUDROPALIGNMENT, 0},
      {SM_CMOUSEBUTTONS, 3}, {SM_CXEDGE, 2},       {SM_CYEDGE, 2},         {SM_CXMINSPACING, 160},
      {SM_CYMINSPACING, 24}, {SM_CXSMICON, 16},    {SM_CYSMICON, 16},      {SM_CYSMCAPTION, 16},
      {SM_CXSMSIZE, 12},     {SM_CYSMSIZE, 15},    {SM_CXMENUSIZE, 18},    {SM_CYMENUSIZE, 18},
      {SM_CXMINIMIZED, 160}, {SM_CYMINIMIZED, 24}, {SM_NETWORK, 1},        {SM_CXDRAG, 4},
      {SM_CYDRAG, 4},        {SM_CXMENUCHECK, 13}, {SM_CYMENUCHECK, 13},   {SM_MOUSEWHEELPRESENT, 1},
      {SM_SAMEDISPLAYFORMAT, 1}, {SM_CXFOCUSBORDER, 1}, {SM_CYFOCUSBORDER, 1},
  };
  static const MetricTable table = [] {
    MetricTable t;
    t.fill(kScreenMetric);
    for (const auto& [index, value] : values) t[static_cast<std::size_t>(index)] = value;
    return t;
  }();
  return table;
}

struct MetricState {
  std::map<int, int> overrides;
  COLORREF colors[kColorCount];
  MetricState() { std::copy(std::begin(kClassicColors), std::end(kClassicColors), colors); }
};

MetricState& S() {
  static MetricState s;
  return s;
}

int ScreenMetric(int index) {
  RECT primary{0, 0, 1024, 768}, work = PrimaryWorkArea(), virt = VirtualScreen();
  auto monitors = BackEnd().Monitors();
  for (auto& m : monitors)
    if (m.primary) primary = m.bounds;
  int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
  switch (index) {
    case SM_CXSCREEN: return primary.Width();
    case SM_CYSCREEN: return primary.Height();
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - GetSystemMetrics(SM_CYCAPTION);
    case SM_CXMAXIMIZED: return work.Width() + 2 * fx;
    case SM_CYMAXIMIZED: return work.Height() + 2 * fy;
    case SM_CXMAXTRACK: return virt.Width() + 2 * fx;
    case SM_CYMAXTRACK: return virt.Height() + 2 * fy;
    case SM_XVIRTUALSCREEN: return virt.Left;
    case SM_YVIRTUALSCREEN: return virt.Top;
    case SM_CXVIRTUALSCREEN: return virt.Width();
    case SM_CYVIRTUALSCREEN: return virt.Height();
    case SM_CMONITORS: return static_cast<int>(monitors.size());
    default: return 0;
  }
}

}  // namespace

void SetSystemMetric(int index, int value) { S().overrides[index] = value; }

// The drawing tier paints system colours from this table.
COLORREF TableColor(int index) { return GetSysColor(index); }
const bool lookupInstalled = (SetSysColorLookup(TableColor), true);

// A fresh session puts back every environment setting of the window system.
void ResetMetrics() {
  (void)lookupInstalled;
  S() = MetricState{};
  SetSysColorLookup(TableColor);
  ResetSystemParameters();
  ResetCursors();
  ResetModules();
  ResetClipboard();
}

}  // namespace detail

using namespace detail;

int GetSystemMetrics(int index) {
  auto& o = S().overrides;
  if (!o.empty())
    if (auto it = o.find(index); it != o.end()) return it->second;
  const MetricTable& c = Classic();
  if (index >= 0 && static_cast<std::size_t>(index) < c.size() && c[static_cast<std::size_t>(index)] != kScreenMetric)
    return c[static_cast<std::size_t>(index)];
  return ScreenMetric(index);
}

DWORD GetSysColor(int index) {
  return index >= 0 && index < kColorCount ? S().colors[index] : 0;
}

BOOL SetSysColors(int count, const int* indices, const COLORREF* colors) {
  if (count < 0 || (count > 0 && (!indices || !colors))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (int i = 0; i < count; ++i)
    if (indices[i] >= 0 && indices[i] < kColorCount) S().colors[indices[i]] = colors[i] & 0x00FFFFFF;
  std::vector<HWND> tops;
  for (Window* t : TopLevels()) tops.push_back(t->handle);
  for (HWND h : tops)
    if (Window* t = Peek(h)) Deliver(t, WM_SYSCOLORCHANGE, 0, 0, true);
  return TRUE;
}

}  // namespace win
