// EM_FORMATRANGE: the rich edit's content laid out for a page of any
// device context, in the resolution of that context, and drawn there or
// only measured. The lines stay cached between the calls for successive
// pages until the content, the width or the resolution changes, or a call
// without a range clears them.
#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "platform/controls/RichEditState.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/Metrics.h"
#include "platform/win/Paint.h"
#include "platform/gdi/Text.h"

namespace win::rich {

struct RichState::PageCache {
  struct Line {
    int start = 0, end = 0, next = 0;
    int x = 0;       // where its first character goes, from the page's left
    int height = 0;
    std::vector<int> pos;  // x of each boundary from the line's first character
    bool bullet = false;
    int bulletX = 0;
    bool justified = false;  // pos stretched to the page's width
  };
  int width = -1, dpiX = 0, dpiY = 0;
  unsigned generation = 0;
  std::vector<Line> lines;
  std::map<std::tuple<std::string, LONG, DWORD>, std::pair<HFONT, int>> fonts;  // font, height

  ~PageCache() {
    for (auto& [key, font] : fonts) DeleteObject(font.first);
  }

  // The font of a format at the page's resolution, and its height.
  std::pair<HFONT, int> Font(HDC dc, const CharFormat& f) {
    const DWORD drawn = f.effects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
    const auto key = std::make_tuple(f.face, f.height, drawn);
    if (auto it = fonts.find(key); it != fonts.end()) return it->second;
    LOGFONTA lf{};
    lf.lfHeight = -std::max(1, TwipsToPixels(f.height, dpiY));
    lf.lfWeight = (drawn & CFE_BOLD) ? 700 : 400;
    lf.lfItalic = (drawn & CFE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (drawn & CFE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (drawn & CFE_STRIKEOUT) ? 1 : 0;
    std::memcpy(lf.lfFaceName, f.face.data(), std::min<std::size_t>(f.face.size(), LF_FACESIZE - 1));
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, ToObj(font));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    return fonts.emplace(key, std::make_pair(font, static_cast<int>(tm.tmHeight))).first->second;
  }

  // Calls piece(a, b, format) for the stretches of [from, to) in one
  // format without a tab, and for each tab alone.
  template <class F>
  static void Pieces(const RichState& state, std::string_view text, int from, int to, F&& piece) {
    int at = from;
    for (const auto& [end, format] : state.FormatsIn(from, to)) {
      while (at < end) {
        int stop = at + 1;
        if (text[static_cast<std::size_t>(at)] != '\t')
          while (stop < end && text[static_cast<std::size_t>(stop)] != '\t') ++stop;
        piece(at, stop, format);
        at = stop;
      }
    }
  }

  void Layout(const RichState& state, std::string_view text, HDC dc) {
    lines.clear();
    const int len = static_cast<int>(text.size());
    const int defaultTab = std::max(1, TwipsToPixels(720, dpiX));
    int p = 0;
    for (;;) {
      const std::size_t brk = text.find("\r\n", static_cast<std::size_t>(p));
      const int end = brk == std::string_view::npos ? len : static_cast<int>(brk);
      const int next = brk == std::string_view::npos ? len : end + 2;
      const ParaFormat& para = state.ParaFormatAt(p);
      int first = std::max(0, TwipsToPixels(para.startIndent, dpiX));
      const int rest = std::max(0, TwipsToPixels(para.startIndent + para.offset, dpiX));
      const int right = std::max(0, TwipsToPixels(para.rightIndent, dpiX));
      int bulletX = 0;
      if (para.bullet) {
        HGDIOBJ old = SelectObject(dc, ToObj(Font(dc, state.FormatAt(p)).first));
        SIZE size{};
        GetTextExtentPoint32A(dc, "\x95 ", 2, &size);
        SelectObject(dc, old);
        bulletX = first;
        first = std::max(rest, first + static_cast<int>(size.cx));
      }
      // Measure the paragraph in its fonts; tabs go to the next stop.
      std::vector<int> pos(static_cast<std::size_t>(end - p) + 1, 0);
      Pieces(state, text, p, end, [&](int a, int b, const CharFormat& f) {
        int* out = pos.data() + (a - p);
        if (text[static_cast<std::size_t>(a)] == '\t') {
          const int x = out[0] + first;
          int stop = (x / defaultTab + 1) * defaultTab;
          for (LONG tab : para.tabs)
            if (const int px = TwipsToPixels(tab, dpiX); px > x) {
              stop = px;
              break;
            }
          out[1] = stop - first;
          return;
        }
        HGDIOBJ old = SelectObject(dc, ToObj(Font(dc, f).first));
        SIZE size{};
        GetTextExtentExPointA(dc, text.data() + a, b - a, 0, nullptr, out + 1, &size);
        for (int k = 1; k <= b - a; ++k) out[k] += out[0];
        SelectObject(dc, old);
      });
      auto roomFor = [&](int indent) { return std::max(1, width - indent - right); };
      const std::vector<int> ends = detail::WrapParagraph(text.substr(static_cast<std::size_t>(p),
                                                                      static_cast<std::size_t>(end - p)),
                                                          pos, roomFor(first), roomFor(rest));
      int a = p;
      for (int e : ends) {
        const int b = p + e;
        Line line;
        line.start = a;
        line.end = b;
        line.next = b < end ? b : next;
        const int x0 = pos[static_cast<std::size_t>(a - p)];
        for (int k = a; k <= b; ++k) line.pos.push_back(pos[static_cast<std::size_t>(k - p)] - x0);
        const int indent = a == p ? first : rest;
        if (para.alignment == PFA_JUSTIFY && b < end)
          line.justified = detail::JustifyLine(
              text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)), line.pos, roomFor(indent));
        const int spare = roomFor(indent) - line.pos.back();
        line.x = indent;
        if (spare > 0 && para.alignment == PFA_CENTER) line.x += spare / 2;
        else if (spare > 0 && para.alignment == PFA_RIGHT) line.x += spare;
        line.height = Font(dc, state.FormatAt(a)).second;
        if (a < b)
          for (const auto& [stop, f] : state.FormatsIn(a, b)) line.height = std::max(line.height, Font(dc, f).second);
        line.bullet = a == p && para.bullet;
        line.bulletX = bulletX;
        lines.push_back(std::move(line));
        a = b;
      }
      if (brk == std::string_view::npos) break;
      p = next;
    }
  }

  void Draw(const RichState& state, std::string_view text, HDC dc, const Line& line, int from, int left, int top) {
    const COLORREF own = GetSysColor(COLOR_WINDOWTEXT);
    auto colourOf = [&](const CharFormat& f) { return f.autoColor ? own : f.color; };
    if (line.bullet && from == line.start) {
      const CharFormat f = state.FormatAt(line.start);
      SelectObject(dc, ToObj(Font(dc, f).first));
      SetTextColor(dc, colourOf(f));
      TextOutA(dc, left + line.bulletX, top, "\x95", 1);
    }
    Pieces(state, text, from, line.end, [&](int a, int b, const CharFormat& f) {
      const int x0 = left + line.x + line.pos[static_cast<std::size_t>(a - line.start)];
      const int x1 = left + line.x + line.pos[static_cast<std::size_t>(b - line.start)];
      if (f.highlight) {
        RECT band{x0, top, x1, top + line.height};
        HBRUSH brush = CreateSolidBrush(f.back);
        FillRect(dc, &band, brush);
        DeleteObject(brush);
      }
      if (text[static_cast<std::size_t>(a)] == '\t') return;
      SelectObject(dc, ToObj(Font(dc, f).first));
      SetTextColor(dc, colourOf(f));
      if (!line.justified) {
        TextOutA(dc, x0, top, text.data() + a, b - a);
        return;
      }
      std::vector<int> dx(static_cast<std::size_t>(b - a));
      for (int k = a; k < b; ++k)
        dx[static_cast<std::size_t>(k - a)] = line.pos[static_cast<std::size_t>(k + 1 - line.start)] -
                                              line.pos[static_cast<std::size_t>(k - line.start)];
      ExtTextOutA(dc, x0, top, 0, nullptr, text.data() + a, static_cast<UINT>(b - a), dx.data());
    });
  }
};

LRESULT FormatRange(HWND hwnd, bool render, FORMATRANGE* range) {
  RichState* state = RichOf(hwnd);
  if (!state) return 0;
  if (!range) {
    state->pageCache.reset();
    return 0;
  }
  HDC dc = range->hdc;
  if (!dc) return 0;
  const std::string_view text = detail::EditTextOf(hwnd);
  const int len = static_cast<int>(text.size());
  const int cpMin = std::clamp<int>(range->chrg.cpMin, 0, len);
  const int cpMax = range->chrg.cpMax < 0 || range->chrg.cpMax > len ? len : std::max<int>(range->chrg.cpMax, cpMin);
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  if (dpiX <= 0) dpiX = 96;
  if (dpiY <= 0) dpiY = 96;
  const RECT& rc = range->rc;
  const int left = TwipsToPixels(rc.Left, dpiX), top = TwipsToPixels(rc.Top, dpiY);
  const int width = TwipsToPixels(rc.Right, dpiX) - left;
  const int height = TwipsToPixels(rc.Bottom, dpiY) - top;
  if (width <= 0 || height <= 0) {
    range->rc.Bottom = rc.Top;
    return cpMin;
  }
  auto& cache = state->pageCache;
  if (!cache || cache->width != width || cache->dpiX != dpiX || cache->dpiY != dpiY ||
      cache->generation != state->Generation()) {
    auto fresh = std::make_shared<RichState::PageCache>();
    fresh->width = width;
    fresh->dpiX = dpiX;
    fresh->dpiY = dpiY;
    fresh->generation = state->Generation();
    fresh->Layout(*state, text, dc);
    cache = fresh;
  }
  const auto& lines = cache->lines;
  auto it = std::upper_bound(lines.begin(), lines.end(), cpMin,
                             [](int v, const RichState::PageCache::Line& l) { return v < l.start; });
  std::size_t k = it == lines.begin() ? 0 : static_cast<std::size_t>(it - lines.begin()) - 1;
  int used = 0;
  int next = cpMin;
  const int saved = render ? SaveDC(dc) : 0;
  if (render) SetBkMode(dc, TRANSPARENT);
  for (; k < lines.size(); ++k) {
    const auto& line = lines[k];
    if (line.start >= cpMax && cpMax < len) break;
    if (used + line.height > height) break;  // the page is full
    if (render) cache->Draw(*state, text, dc, line, std::max(cpMin, line.start), left, top + used);
    used += line.height;
    next = std::min(line.next, cpMax);
    if (line.next >= cpMax) break;
  }
  if (render) RestoreDC(dc, saved);
  range->rc.Bottom = rc.Top + PixelsToTwips(used, dpiY);
  return next;
}

}  // namespace win::rich
