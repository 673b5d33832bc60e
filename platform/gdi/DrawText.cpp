// Formatted text: lines, word breaks, tabs, '&' prefixes, ellipses and
// alignment in a rectangle, drawn line by line as runs.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/Recorder.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/TextRun.h"
#include "platform/rtl/Numbers.h"

namespace win::gdi {

namespace {

constexpr const char kEllipsis[] = "...";

// One line as it will be drawn: the bytes (tabs turned into blanks) with
// the advance of each, and the character the prefix underlines.
struct Line {
  std::string Text;
  std::vector<int> Dx;
  int Width = 0;
  int Underline = -1;
};

class Layout {
 public:
  Layout(DC& dc, FontFace& face, UINT fmt, int tabStep)
      : Dc(dc), Glyphs(*face.Glyphs), Fmt(fmt), Stops{0, nullptr, tabStep} {}

  // The advance of a character at a position of its line.
  int Advance(char c, int pos, int& breaks) const {
    if (c == '\t' && (Fmt & DT_EXPANDTABS)) return Stops.Next(pos) - pos;
    return SpacedAdvance(Dc, Glyphs, static_cast<unsigned char>(c), breaks);
  }

  // Fills `out` with display[from, to) laid out from position 0.
  void Build(const std::string& display, int underline, int from, int to, Line& out) const {
    out.Text.assign(display, std::size_t(from), std::size_t(to - from));
    out.Dx.resize(out.Text.size());
    out.Underline = underline >= from && underline < to ? underline - from : -1;
    int pos = 0, breaks = 0;
    for (std::size_t i = 0; i < out.Text.size(); ++i) {
      int a = Advance(out.Text[i], pos, breaks);
      if (out.Text[i] == '\t' && (Fmt & DT_EXPANDTABS)) out.Text[i] = ' ';
      out.Dx[i] = a;
      pos = HeldSum(pos, a);
    }
    out.Width = pos;
  }

  int Width(const char* s, int n) const {
    int pos = 0, breaks = 0;
    for (int i = 0; i < n; ++i) pos = HeldSum(pos, Advance(s[i], pos, breaks));
    return pos;
  }

  // The widths of every leading part of s: out[k] is Width(s, k). One pass,
  // so shortening a long line costs what the line costs, not its square.
  void Prefixes(const std::string& s, std::vector<int>& out) const {
    out.assign(s.size() + 1, 0);
    int pos = 0, breaks = 0;
    for (std::size_t i = 0; i < s.size(); ++i) out[i + 1] = pos = HeldSum(pos, Advance(s[i], pos, breaks));
  }

  // Shortens a line that is wider than `limit` with an ellipsis.
  void Ellipsize(Line& line, int limit) const {
    if (line.Width <= limit) return;
    const int dots = Width(kEllipsis, 3);
    std::vector<int> widths;
    std::string src = line.Text;
    int ul = line.Underline;
    std::size_t sep = std::string::npos;
    if (Fmt & DT_PATH_ELLIPSIS) sep = src.find_last_of("\\/");
    if (sep != std::string::npos && sep > 0) {
      // Keep the last path element whole and drop characters before it.
      const std::string tail = src.substr(sep);
      const int tailW = Width(tail.data(), int(tail.size()));
      int keep = int(sep);
      Prefixes(src, widths);
      while (keep > 0 && widths[std::size_t(keep)] + dots + tailW > limit) --keep;
      std::string shown = src.substr(0, std::size_t(keep)) + kEllipsis + tail;
      int newUl = ul < 0 ? -1 : ul < keep ? ul : ul >= int(sep) ? ul - int(sep) + keep + 3 : -1;
      Rebuild(shown, newUl, line);
      if (line.Width <= limit) return;
      src = line.Text;
      ul = line.Underline;
    }
    // End (or word) ellipsis: as many leading characters as fit with the
    // dots after them.
    int keep = int(src.size());
    Prefixes(src, widths);
    while (keep > 0 && widths[std::size_t(keep)] + dots > limit) --keep;
    if ((Fmt & DT_WORD_ELLIPSIS) && keep > 0 && keep < int(src.size()) && src[std::size_t(keep)] != ' ') {
      int k = keep;
      while (k > 0 && src[std::size_t(k - 1)] != ' ') --k;
      if (k > 0) keep = k;
    }
    Rebuild(src.substr(0, std::size_t(keep)) + kEllipsis, ul < keep ? ul : -1, line);
  }

 private:
  void Rebuild(const std::string& text, int underline, Line& line) const {
    Build(text, underline, 0, int(text.size()), line);
  }

  DC& Dc;
  GlyphCache& Glyphs;
  UINT Fmt;
  TabStops Stops;
};

// Removes '&' prefixes: "&&" is one '&', '&x' underlines x (the last such
// character counts). Answers the index of the underlined character or -1.
int StripPrefixes(const char* s, int n, std::string& out, bool hide) {
  out.clear();
  int ul = -1;
  for (int i = 0; i < n; ++i) {
    if (s[i] != '&') {
      out += s[i];
      continue;
    }
    if (i + 1 < n && s[i + 1] == '&') {
      out += '&';
      ++i;
      continue;
    }
    if (i + 1 < n && !hide) ul = int(out.size());
  }
  return ul;
}

// Splits a logical line into the [from, to) ranges of its visual lines.
void WrapLine(const Layout& lay, const std::string& d, int limit, bool breakWords, std::vector<int>& ranges) {
  const int n = int(d.size());
  int start = 0;
  while (true) {
    int pos = 0, breaks = 0, i = start;
    while (i < n) {
      int a = lay.Advance(d[std::size_t(i)], pos, breaks);
      if (HeldSum(pos, a) > limit && i > start) break;
      pos = HeldSum(pos, a);
      ++i;
    }
    if (i >= n) {
      ranges.push_back(start);
      ranges.push_back(n);
      return;
    }
    int end, next;
    if (d[std::size_t(i)] == ' ') {
      end = i;
      next = i;
    } else {
      int b = i;
      while (b > start && d[std::size_t(b - 1)] != ' ') --b;
      if (b > start) {
        end = b;
        next = b;
      } else if (breakWords) {
        end = next = i;
      } else {
        // A word wider than the line stays whole.
        end = i;
        while (end < n && d[std::size_t(end)] != ' ') ++end;
        next = end;
      }
    }
    // Blanks at the break belong to neither line.
    while (end > start && d[std::size_t(end - 1)] == ' ') --end;
    while (next < n && d[std::size_t(next)] == ' ') ++next;
    ranges.push_back(start);
    ranges.push_back(end);
    if (next >= n) return;
    start = next;
  }
}


int DrawTextImpl(DC& dc, LPSTR writable, const char* text, int count, RECT* rect, UINT fmt, DRAWTEXTPARAMS* params) {
  if (!rect || count < -1 || (count > 0 && !text) || (params && params->cbSize != sizeof(DRAWTEXTPARAMS))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // A count of 0 draws and measures nothing: the rectangle stays as it was.
  if (count == 0) {
    if (params) params->uiLengthDrawn = 0;
    return 0;
  }
  if (!text) text = "";
  if (count == -1) count = int(std::strlen(text));
  ORV_GDI_LOG(&dc, "DrawText", "\"%.*s\" %d,%d,%d,%d fmt=0x%X", count, text ? text : "", rect->Left, rect->Top,
              rect->Right, rect->Bottom, fmt);

  FontFace& face = DcFace(dc);
  int tabChars = 8;
  if (fmt & DT_TABSTOP) {
    // The tab length shares the second byte with other flags, which then
    // do not apply.
    tabChars = int((fmt >> 8) & 0xFF);
    fmt &= ~UINT(0xFF00);
    if (tabChars == 0) tabChars = 8;
  }
  if (params && params->iTabLength > 0) tabChars = params->iTabLength;
  const int leftMargin = params ? params->iLeftMargin : 0;
  const int rightMargin = params ? params->iRightMargin : 0;
  // Lines are laid out in the rectangle held within the coordinate range,
  // as drawing holds every position: a rectangle reaching to the ends of
  // the 32-bit range (one that means "no limit") then never overflows.
  const RECT box{ClampCoord(rect->Left), ClampCoord(rect->Top), ClampCoord(rect->Right), ClampCoord(rect->Bottom)};
  const int left = ClampCoord(static_cast<long long>(box.Left) + leftMargin);
  const int right = ClampCoord(static_cast<long long>(box.Right) - rightMargin);
  const int limit = right - left;
  const int lineH = face.Height() + ((fmt & DT_EXTERNALLEADING) ? face.ExternalLeading : 0);
  if (count == 0) {
    // An empty text measures no width, and no height either unless it is
    // one line (then it is that line's height, as the answer is); drawn, it
    // still answers a line's height.
    if (fmt & DT_CALCRECT) {
      rect->Right = rect->Left;
      rect->Bottom = ClampToInteger(static_cast<long long>(rect->Top) + ((fmt & DT_SINGLELINE) ? lineH : 0));
    }
    if (params) params->uiLengthDrawn = 0;
    return lineH;
  }
  const bool single = fmt & DT_SINGLELINE;
  const bool calc = fmt & DT_CALCRECT;
  const bool ellipsis = fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
  Layout lay(dc, face, fmt, ClampCoord(static_cast<long long>(tabChars) * face.AveCharWidth));

  int y = box.Top;
  if (single && !calc) {
    if (fmt & DT_VCENTER) y = (box.Top + box.Bottom - lineH) / 2;
    else if (fmt & DT_BOTTOM) y = box.Bottom - lineH;
  }
  const int firstY = y;

  thread_local std::string display;
  thread_local std::vector<int> ranges;
  thread_local Line line;
  RunOptions run;
  run.UseDcAlign = false;
  run.Align = TA_LEFT | TA_TOP;
  if (!(fmt & DT_NOCLIP)) {
    run.Options = ETO_CLIPPED;
    run.Rect = rect;
  }

  int maxW = 0, lines = 0;
  std::string firstShown;
  bool shortened = false;
  int at = 0;
  while (at < count) {
    // The next logical line.
    int end = at;
    if (!single)
      while (end < count && text[end] != '\r' && text[end] != '\n') ++end;
    else
      end = count;
    int next = end;
    if (next < count) next += (text[next] == '\r' && next + 1 < count && text[next + 1] == '\n') ? 2 : 1;

    int ul = -1;
    if (fmt & DT_NOPREFIX) display.assign(text + at, std::size_t(end - at));
    else ul = StripPrefixes(text + at, end - at, display, fmt & DT_HIDEPREFIX);

    ranges.clear();
    if ((fmt & DT_WORDBREAK) && !single) WrapLine(lay, display, limit, fmt & DT_EDITCONTROL, ranges);
    else {
      ranges.push_back(0);
      ranges.push_back(int(display.size()));
    }
    for (std::size_t r = 0; r < ranges.size(); r += 2) {
      lay.Build(display, ul, ranges[r], ranges[r + 1], line);
      if (ellipsis && line.Width > limit) {
        lay.Ellipsize(line, limit);
        shortened = true;
      }
      if (lines == 0 && (fmt & DT_MODIFYSTRING)) firstShown = line.Text;
      if (line.Width > maxW) maxW = line.Width;
      // A partly visible line after the first is left out in edit-control
      // mode.
      bool visible = !(fmt & DT_EDITCONTROL) || lines == 0 || y + lineH <= box.Bottom;
      if (!calc && visible) {
        int x = left;
        if (fmt & DT_CENTER) x = left + (limit - line.Width) / 2;
        else if (fmt & DT_RIGHT) x = right - line.Width;
        run.Dx = line.Dx.data();
        run.UnderlineIndex = line.Underline;
        DrawRun(dc, x, y, line.Text.data(), int(line.Text.size()), run);
      }
      ++lines;
      // Lines past the coordinate range pile up at its end, out of sight.
      y = HeldSum(y, lineH);
    }
    at = next;
  }

  // The height of a text taller than an int reaches is held at its end.
  const long long height = static_cast<long long>(lines) * lineH;
  if (calc) {
    // The measure goes back from the caller's own corner, as far as an int
    // reaches.
    rect->Right = ClampToInteger(static_cast<long long>(rect->Left) + leftMargin + maxW + rightMargin);
    rect->Bottom = ClampToInteger(static_cast<long long>(rect->Top) + height);
  }
  if (params) params->uiLengthDrawn = UINT(count);
  // The shortened text goes back only when it fits where the text was.
  if ((fmt & DT_MODIFYSTRING) && writable && shortened && lines == 1 && int(firstShown.size()) <= count) {
    std::memcpy(writable, firstShown.data(), firstShown.size());
    if (int(firstShown.size()) < count) writable[firstShown.size()] = 0;
  }
  if (single && !calc && (fmt & (DT_VCENTER | DT_BOTTOM))) return ClampToInteger(firstY - box.Top + height);
  return ClampToInteger(height);
}

}  // namespace

}  // namespace win::gdi

namespace win {

using namespace gdi;

int DrawTextA(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // The text is read-only here: a shortened text is never written back.
  return DrawTextImpl(*dc, nullptr, text, count, rect, format, nullptr);
}

int DrawTextExA(HDC hdc, LPSTR text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return DrawTextImpl(*dc, text, text, count, rect, format, params);
}

}  // namespace win
