#include "platform/controls/RichEditState.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Text.h"
#include "platform/win/Messages.h"
#include "platform/win/Window.h"
#include "platform/win/WindowProc.h"

namespace win::rich {
namespace {

constexpr DWORD kEffects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED;
constexpr DWORD kAllMasks =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_COLOR | CFM_FACE | CFM_SIZE;
constexpr DWORD kAllParaMasks =
    PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_NUMBERING;
// Sizes a run may take, in twips (1 to 1,638 points).
constexpr LONG kMinHeight = 20;
constexpr LONG kMaxHeight = 1638 * 20;
// Indents and tab stops keep to 24 bits of twips, either sign.
constexpr LONG kMaxTwips = 0xFFFFFF;
// Steps the history keeps; the oldest go first.
constexpr std::size_t kUndoLevels = 100;

int Breaks(std::string_view text) {
  int n = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\r' && text[i + 1] == '\n') ++n, ++i;
  return n;
}

}  // namespace

// ---- Formats ----

void CharFormat::Apply(const CHARFORMATA& cf) {
  for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT, CFM_PROTECTED})
    if (cf.dwMask & bit) effects = (effects & ~bit) | (cf.dwEffects & bit);
  if (cf.dwMask & CFM_COLOR) {
    autoColor = (cf.dwEffects & CFE_AUTOCOLOR) != 0;
    color = cf.crTextColor & 0x00FFFFFF;
  }
  if (cf.dwMask & CFM_FACE) {
    const std::string name(cf.szFaceName, strnlen(cf.szFaceName, LF_FACESIZE));
    if (!name.empty()) face = name;
  }
  if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0) height = std::clamp(cf.yHeight, kMinHeight, kMaxHeight);
}

void CharFormat::Fill(CHARFORMATA& cf, DWORD mask) const {
  cf.dwMask = mask;
  cf.dwEffects = effects | (autoColor ? CFE_AUTOCOLOR : 0);
  cf.yHeight = height;
  cf.yOffset = 0;
  cf.crTextColor = color;
  cf.bCharSet = 0;
  cf.bPitchAndFamily = 0;
  std::memset(cf.szFaceName, 0, sizeof cf.szFaceName);
  std::memcpy(cf.szFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
}

DWORD CharFormat::Agreeing(const CharFormat& other) const {
  DWORD mask = kAllMasks;
  for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT, CFM_PROTECTED})
    if ((effects & bit) != (other.effects & bit)) mask &= ~bit;
  if (autoColor != other.autoColor || (!autoColor && color != other.color)) mask &= ~CFM_COLOR;
  if (face != other.face) mask &= ~CFM_FACE;
  if (height != other.height) mask &= ~CFM_SIZE;
  return mask;
}

bool ParaFormat::Apply(const PARAFORMAT& pf) {
  ParaFormat next = *this;
  auto inRange = [](long long v) { return v >= -kMaxTwips && v <= kMaxTwips; };
  if (pf.dwMask & PFM_STARTINDENT) {
    const long long v = (pf.dwMask & PFM_OFFSETINDENT) ? static_cast<long long>(startIndent) + pf.dxStartIndent
                                                         : pf.dxStartIndent;
    if (!inRange(v)) return false;
    next.startIndent = static_cast<LONG>(v);
  } else if (pf.dwMask & PFM_OFFSETINDENT) {
    const long long v = static_cast<long long>(startIndent) + pf.dxStartIndent;
    if (!inRange(v)) return false;
    next.startIndent = static_cast<LONG>(v);
  }
  if (pf.dwMask & PFM_RIGHTINDENT) {
    if (!inRange(pf.dxRightIndent)) return false;
    next.rightIndent = pf.dxRightIndent;
  }
  if (pf.dwMask & PFM_OFFSET) {
    if (!inRange(pf.dxOffset)) return false;
    next.offset = pf.dxOffset;
  }
  // The other lines start at the first line's indent plus the offset: an
  // indent as well, held to the same bounds (rich text could carry it no
  // further, and it would come back changed from a save and a load).
  if (!inRange(static_cast<long long>(next.startIndent) + next.offset)) return false;
  if (pf.dwMask & PFM_ALIGNMENT) {
    if (pf.wAlignment < PFA_LEFT || pf.wAlignment > PFA_JUSTIFY) return false;
    next.alignment = pf.wAlignment;
  }
  if (pf.dwMask & PFM_NUMBERING) {
    if (pf.wNumbering != 0 && pf.wNumbering != PFN_BULLET) return false;
    next.bullet = pf.wNumbering == PFN_BULLET;
  }
  if (pf.dwMask & PFM_TABSTOPS) {
    if (pf.cTabCount < 0 || pf.cTabCount > MAX_TAB_STOPS) return false;
    next.tabs.clear();
    for (int k = 0; k < pf.cTabCount; ++k) {
      const LONG at = pf.rgxTabs[k] & 0x00FFFFFF;  // the high byte holds kinds this control does not draw
      if (at > 0) next.tabs.push_back(at);
    }
    std::sort(next.tabs.begin(), next.tabs.end());
    next.tabs.erase(std::unique(next.tabs.begin(), next.tabs.end()), next.tabs.end());
  }
  *this = std::move(next);
  return true;
}

void ParaFormat::Fill(PARAFORMAT& pf, DWORD mask) const {
  pf.dwMask = mask;
  pf.wNumbering = bullet ? PFN_BULLET : 0;
  pf.wReserved = 0;
  pf.dxStartIndent = startIndent;
  pf.dxRightIndent = rightIndent;
  pf.dxOffset = offset;
  pf.wAlignment = alignment;
  pf.cTabCount = static_cast<SHORT>(tabs.size());
  std::fill(std::begin(pf.rgxTabs), std::end(pf.rgxTabs), 0);
  std::copy(tabs.begin(), tabs.end(), pf.rgxTabs);
}

DWORD ParaFormat::Agreeing(const ParaFormat& other) const {
  DWORD mask = kAllParaMasks;
  if (startIndent != other.startIndent) mask &= ~PFM_STARTINDENT;
  if (rightIndent != other.rightIndent) mask &= ~PFM_RIGHTINDENT;
  if (offset != other.offset) mask &= ~PFM_OFFSET;
  if (alignment != other.alignment) mask &= ~PFM_ALIGNMENT;
  if (bullet != other.bullet) mask &= ~PFM_NUMBERING;
  if (tabs != other.tabs) mask &= ~PFM_TABSTOPS;
  return mask;
}

// ---- The engine's hooks ----

RichState::~RichState() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

void RichState::Replaced(const Change& change) {
  // Text only put in can only make lines taller: the height known before
  // is brought up to date from the new runs instead of found again.
  const bool heightKept = change.removed.empty() && lineHeightGeneration_ == generation_ && lineHeight_ > 0;
  Remember(change);
  ReplaceRuns(change);
  ReplaceParas(change);
  length_ += static_cast<int>(change.inserted.size()) - static_cast<int>(change.removed.size());
  incoming_.reset();
  pending_.reset();
  ++generation_;
  if (heightKept) {
    const int end = change.at + static_cast<int>(change.inserted.size());
    int pos = 0;
    for (std::size_t k = RunIndex(change.at, pos); k < runs_.size() && pos < end; pos += runs_[k++].length)
      lineHeight_ = std::max(lineHeight_, Height(runs_[k].format));
    lineHeightGeneration_ = generation_;
  }
}

void RichState::ReplaceRuns(const Change& change) {
  const int at = change.at;
  const auto removed = static_cast<int>(change.removed.size());
  const auto inserted = static_cast<int>(change.inserted.size());
  const CharFormat format = removed > 0 ? FormatAt(at) : InsertionFormat(at);
  const std::size_t first = Erase(at, removed);
  std::size_t last = first;
  if (inserted > 0) {
    std::vector<Run> fresh;
    int covered = 0;
    if (incoming_) {
      for (const Run& run : incoming_->runs) {
        const int take = std::min(run.length, inserted - covered);
        if (take > 0) fresh.push_back({take, run.format});
        covered += std::max(0, take);
      }
    }
    if (covered < inserted) fresh.push_back({inserted - covered, format});
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), fresh.begin(), fresh.end());
    RunsChangedFrom(first);
    last = first + fresh.size();
  }
  Merge(first, last);
}

// A paragraph's format lives with its break: the breaks removed take
// theirs along, the paragraph the change ends in keeps its own, and every
// break put in starts a paragraph formatted like it (or as the incoming
// content says).
void RichState::ReplaceParas(const Change& change) {
  int start = 0;
  const int a = ParaIndex(change.at, &start);
  const int r = Breaks(change.removed);
  const int last = std::min(a + r, static_cast<int>(paras_.size()) - 1);
  int joined = 0;
  for (int k = a; k <= last; ++k) joined += paras_[static_cast<std::size_t>(k)].length;
  const ParaFormat surviving = paras_[static_cast<std::size_t>(last)].format;
  const int head = change.at - start;
  const int tail = joined - head - static_cast<int>(change.removed.size());
  std::vector<Para> fresh;
  std::size_t from = 0;
  int pending = head;
  const std::vector<ParaFormat>* given = incoming_ ? &incoming_->paras : nullptr;
  for (;;) {
    const std::size_t brk = change.inserted.find("\r\n", from);
    if (brk == std::string_view::npos) break;
    const std::size_t k = fresh.size();
    fresh.push_back({pending + static_cast<int>(brk + 2 - from),
                     given && k < given->size() ? (*given)[k] : surviving});
    pending = 0;
    from = brk + 2;
  }
  const std::size_t k = fresh.size();
  fresh.push_back({pending + static_cast<int>(change.inserted.size() - from) + tail,
                   given && given->size() == k + 1 ? (*given)[k] : surviving});
  paras_.erase(paras_.begin() + a, paras_.begin() + last + 1);
  paras_.insert(paras_.begin() + a, fresh.begin(), fresh.end());
  ParasChangedFrom(static_cast<std::size_t>(a));
}

void RichState::Reset(std::string_view text) {
  runs_.clear();
  RunsChangedFrom(0);
  ParasChangedFrom(0);
  length_ = static_cast<int>(text.size());
  if (length_ > 0) runs_.push_back({length_, default_});
  paras_.clear();
  std::size_t from = 0;
  for (;;) {
    const std::size_t brk = text.find("\r\n", from);
    if (brk == std::string_view::npos) break;
    paras_.push_back({static_cast<int>(brk + 2 - from), defaultPara_});
    from = brk + 2;
  }
  paras_.push_back({static_cast<int>(text.size() - from), defaultPara_});
  pending_.reset();
  incoming_.reset();
  ClearHistory();
  ++generation_;
}

// A format chosen for an empty selection waits for the text typed or
// put there, and lapses when the caret goes elsewhere. Any move ends the
// typing step too.
void RichState::SelectionSet(int anchor, int caret) {
  if (pending_ && (anchor != caret || caret != pendingAt_)) pending_.reset();
  typingJoins_ = false;
}

std::vector<RichState::Span> RichState::Spans(int from, int to) const {
  std::vector<Span> spans;
  int pos = 0;
  for (std::size_t k = RunIndex(from, pos); k < runs_.size(); ++k) {
    const Run& run = runs_[k];
    const int end = pos + run.length;
    if (end > from && pos < to) {
      const CharFormat& f = run.format;
      spans.push_back({std::min(end, to), FontFor(f), f.color, f.autoColor, f.highlight, f.back});
    }
    pos = end;
    if (pos >= to) break;
  }
  if (spans.empty() || spans.back().end < to)
    spans.push_back({to, FontFor(default_), default_.color, default_.autoColor, false, 0});
  return spans;
}

// Every line is as tall as the tallest font in use. Worked out once per
// change, and only for runs whose font differs from the one before (a log
// alternates colours in one font).
int RichState::LineHeight() const {
  if (lineHeightGeneration_ == generation_ && lineHeight_ > 0) return lineHeight_;
  int height = Height(default_);
  const CharFormat* last = nullptr;
  for (const Run& run : runs_) {
    const CharFormat& f = run.format;
    if (last && last->height == f.height && ((last->effects ^ f.effects) & (CFE_BOLD | CFE_ITALIC)) == 0 &&
        last->face == f.face)
      continue;
    height = std::max(height, Height(f));
    last = &f;
  }
  lineHeightGeneration_ = generation_;
  lineHeight_ = height;
  return height;
}

RichState::Paragraph RichState::ParagraphAt(int start) const {
  const ParaFormat& f = ParaFormatAt(start);
  constexpr int dpi = 96;
  Paragraph p;
  p.firstIndent = std::max(0, TwipsToPixels(f.startIndent, dpi));
  p.indent = std::max(0, TwipsToPixels(f.startIndent + f.offset, dpi));
  p.rightIndent = std::max(0, TwipsToPixels(f.rightIndent, dpi));
  p.align = f.alignment == PFA_RIGHT    ? Align::Right
            : f.alignment == PFA_CENTER  ? Align::Center
            : f.alignment == PFA_JUSTIFY ? Align::Justify
                                         : Align::Left;
  for (LONG tab : f.tabs) p.tabs.push_back(TwipsToPixels(tab, dpi));
  if (f.bullet) {
    // The bullet hangs at the first line's indent; the text follows it
    // at the other lines' indent, or after the bullet and a blank.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ToObj(FontFor(FormatAt(start))));
    SIZE size{};
    GetTextExtentPoint32A(dc, "\x95 ", 2, &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    p.bullet = true;
    p.bulletX = p.firstIndent;
    p.firstIndent = std::max(p.indent, p.firstIndent + static_cast<int>(size.cx));
  }
  return p;
}

bool RichState::MayReplace(int from, int to) {
  if (!(eventMask & ENM_PROTECTED) || !Protected(from, to)) return true;
  ENPROTECTED note{};
  note.msg = message;
  note.wParam = messageW;
  note.lParam = messageL;
  note.chrg = {from, to};
  HWND hwnd = hwnd_;
  const LRESULT refused = NotifyParent(hwnd, EN_PROTECTED, note.nmhdr);
  return refused == 0 && IsWindow(hwnd);
}

bool RichState::Notifies(int code) const {
  if (code == EN_CHANGE) return (eventMask & ENM_CHANGE) != 0;
  if (code == EN_HSCROLL || code == EN_VSCROLL) return (eventMask & ENM_SCROLL) != 0;
  return true;
}

// Bars hide while everything fits, unless ES_DISABLENOSCROLL keeps them
// shown disabled.
RichState::BarRule RichState::BarRuleOf(int bar) const {
  if (bar < 0 || bar > 1) return BarRule::Style;
  if (barHidden[bar]) return BarRule::Hidden;
  if (static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)) & ES_DISABLENOSCROLL) return BarRule::Style;
  return barWanted[bar] ? BarRule::Auto : BarRule::Style;
}

bool RichState::Background(COLORREF& colour) const {
  if (ownBackground) colour = background;
  return ownBackground;
}

// ---- Characters ----

CharFormat RichState::InsertionFormat(int i) const {
  if (pending_ && pendingAt_ == i) return *pending_;
  if (i > 0) return FormatAt(i - 1);
  if (!runs_.empty()) return runs_.front().format;
  return default_;
}

CharFormat RichState::FormatAt(int i) const {
  int pos = 0;
  const std::size_t k = RunIndex(i, pos);
  if (k < runs_.size()) return runs_[k].format;
  return runs_.empty() ? default_ : runs_.back().format;
}

namespace {

// Brings starts[k] (where item k begins) up to date from valid on, and
// answers the last item beginning at or before i (0 before the first).
template <class Item>
std::size_t StartIndex(const std::vector<Item>& items, std::vector<int>& starts, std::size_t& valid, int i) {
  const std::size_t n = items.size();
  starts.resize(n);
  for (std::size_t k = std::min(valid, n); k < n; ++k) starts[k] = k == 0 ? 0 : starts[k - 1] + items[k - 1].length;
  valid = n;
  const auto after = std::upper_bound(starts.begin(), starts.end(), i);
  return after == starts.begin() ? 0 : static_cast<std::size_t>(after - starts.begin()) - 1;
}

}  // namespace

std::size_t RichState::RunIndex(int i, int& start) const {
  std::size_t k = StartIndex(runs_, runStarts_, runStartsValid_, i);
  if (k < runs_.size() && runStarts_[k] + runs_[k].length <= i) ++k;  // past the end
  start = k < runs_.size() ? runStarts_[k] : runs_.empty() ? 0 : runStarts_.back() + runs_.back().length;
  return k;
}

void RichState::ApplyToRange(int from, int to, const CHARFORMATA& cf) {
  const std::size_t a = SplitAt(from), b = SplitAt(to);
  for (std::size_t k = a; k < b; ++k) runs_[k].format.Apply(cf);
  Merge(a, b);
  ++generation_;
}

void RichState::ApplyAtCaret(int caret, const CHARFORMATA& cf) {
  CharFormat format = InsertionFormat(caret);
  format.Apply(cf);
  pending_ = format;
  pendingAt_ = caret;
}

void RichState::ApplyToAll(const CHARFORMATA& cf) {
  ApplyToRange(0, Length(), cf);
  if (pending_) pending_->Apply(cf);
}

DWORD RichState::Describe(int from, int to, CharFormat& out) const {
  out = FormatAt(from);
  DWORD mask = kAllMasks;
  int pos = 0;
  for (std::size_t k = RunIndex(from, pos); k < runs_.size() && pos < to; pos += runs_[k++].length)
    mask &= out.Agreeing(runs_[k].format);
  return mask;
}

bool RichState::Protected(int from, int to) const {
  if (from == to) {
    return from > 0 && from < Length() && (FormatAt(from - 1).effects & CFE_PROTECTED) &&
           (FormatAt(from).effects & CFE_PROTECTED);
  }
  int pos = 0;
  for (std::size_t k = RunIndex(from, pos); k < runs_.size() && pos < to; pos += runs_[k++].length)
    if (runs_[k].format.effects & CFE_PROTECTED) return true;
  return false;
}

std::vector<detail::RichRun> RichState::Runs(std::string_view text) const {
  std::vector<detail::RichRun> out;
  std::size_t pos = 0;
  for (const Run& run : runs_) {
    const auto& f = run.format;
    out.push_back({std::string(text.substr(pos, static_cast<std::size_t>(run.length))), f.autoColor, f.color,
                   f.effects, f.face, f.height});
    pos += static_cast<std::size_t>(run.length);
  }
  return out;
}

std::vector<std::pair<int, CharFormat>> RichState::FormatsIn(int from, int to) const {
  std::vector<std::pair<int, CharFormat>> out;
  int pos = 0;
  for (std::size_t k = RunIndex(from, pos); k < runs_.size(); ++k) {
    const Run& run = runs_[k];
    const int end = pos + run.length;
    if (end > from && pos < to) out.emplace_back(std::min(end, to), run.format);
    pos = end;
    if (pos >= to) break;
  }
  if (out.empty() || out.back().first < to) out.emplace_back(to, runs_.empty() ? default_ : runs_.back().format);
  return out;
}

std::size_t RichState::SplitAt(int i) {
  int pos = 0;
  const std::size_t k = RunIndex(i, pos);
  if (k >= runs_.size() || pos >= i) return k;
  const int end = pos + runs_[k].length;
  runs_[k].length = i - pos;
  runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(k) + 1, Run{end - i, runs_[k].format});
  RunsChangedFrom(k + 1);
  return k + 1;
}

std::size_t RichState::Erase(int at, int count) {
  const std::size_t a = SplitAt(at);
  if (count <= 0) return a;
  const std::size_t b = SplitAt(at + count);
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(a), runs_.begin() + static_cast<std::ptrdiff_t>(b));
  RunsChangedFrom(a);
  return a;
}

// The runs outside the window were merged already, so only the window's
// are looked at.
void RichState::Merge(std::size_t first, std::size_t last) {
  const std::size_t lo = first > 0 ? first - 1 : 0;
  const std::size_t hi = std::min(last + 1, runs_.size());
  if (lo >= hi) return;
  std::size_t out = lo;
  for (std::size_t k = lo; k < hi; ++k) {
    if (runs_[k].length <= 0) continue;
    if (out > lo && runs_[out - 1].format == runs_[k].format) {
      runs_[out - 1].length += runs_[k].length;
    } else {
      if (out != k) runs_[out] = std::move(runs_[k]);
      ++out;
    }
  }
  runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(out), runs_.begin() + static_cast<std::ptrdiff_t>(hi));
  RunsChangedFrom(lo);
}

HFONT RichState::FontFor(const CharFormat& f) const {
  const DWORD drawn = f.effects & (kEffects & ~CFE_PROTECTED);
  const auto key = std::make_tuple(f.face, f.height, drawn);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  LOGFONTA lf{};
  lf.lfHeight = -TwipsToPixels(f.height, 96);
  lf.lfWeight = (drawn & CFE_BOLD) ? 700 : 400;
  lf.lfItalic = (drawn & CFE_ITALIC) ? 1 : 0;
  lf.lfUnderline = (drawn & CFE_UNDERLINE) ? 1 : 0;
  lf.lfStrikeOut = (drawn & CFE_STRIKEOUT) ? 1 : 0;
  std::memcpy(lf.lfFaceName, f.face.data(), std::min<std::size_t>(f.face.size(), LF_FACESIZE - 1));
  HFONT font = CreateFontIndirectA(&lf);
  fonts_.emplace(key, font);
  return font;
}

int RichState::Height(const CharFormat& f) const {
  HFONT font = FontFor(f);
  if (auto it = heights_.find(font); it != heights_.end()) return it->second;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(font));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  heights_.emplace(font, tm.tmHeight);
  return tm.tmHeight;
}

// ---- Paragraphs ----

// Every paragraph but the last holds its CR LF, so the one starting last
// at or before i holds i.
int RichState::ParaIndex(int i, int* start) const {
  const std::size_t k = StartIndex(paras_, paraStarts_, paraStartsValid_, i);
  if (start) *start = paraStarts_[k];
  return static_cast<int>(k);
}

void RichState::ParaSpan(int from, int to, int& start, int& end) const {
  ParaIndex(from, &start);
  int lastStart = 0;
  const int b = ParaIndex(std::max(from, to - 1), &lastStart);
  end = lastStart + paras_[static_cast<std::size_t>(b)].length;
}

DWORD RichState::DescribeParas(int from, int to, ParaFormat& out) const {
  int start = 0, end = 0;
  ParaSpan(from, to, start, end);
  const int a = ParaIndex(start);
  const int b = ParaIndex(std::max(start, end - 1));
  out = paras_[static_cast<std::size_t>(a)].format;
  DWORD mask = kAllParaMasks;
  for (int k = a; k <= b; ++k) mask &= out.Agreeing(paras_[static_cast<std::size_t>(k)].format);
  return mask;
}

bool RichState::ApplyParas(int from, int to, const PARAFORMAT& pf) {
  int start = 0, end = 0;
  ParaSpan(from, to, start, end);
  const int a = ParaIndex(start);
  const int b = ParaIndex(std::max(start, end - 1));
  std::vector<ParaFormat> next;
  for (int k = a; k <= b; ++k) {
    next.push_back(paras_[static_cast<std::size_t>(k)].format);
    if (!next.back().Apply(pf)) return false;
  }
  for (int k = a; k <= b; ++k)
    paras_[static_cast<std::size_t>(k)].format = std::move(next[static_cast<std::size_t>(k - a)]);
  ++generation_;
  return true;
}

// ---- Stretches of content ----

Content RichState::Take(int from, int to, std::string_view text) const {
  Content c;
  c.text.assign(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  FormatsOf(from, to, c);
  return c;
}

void RichState::FormatsOf(int from, int to, Content& c) const {
  int pos = 0;
  for (std::size_t k = RunIndex(from, pos); k < runs_.size() && pos < to; pos += runs_[k++].length) {
    const int a = std::max(pos, from), b = std::min(pos + runs_[k].length, to);
    if (a < b) c.runs.push_back({b - a, runs_[k].format});
  }
  // A paragraph's break lies in [end - 2, end); the last one's "break" is
  // the end of the text.
  int start = 0;
  const std::size_t last = paras_.size() - 1;
  for (auto k = static_cast<std::size_t>(ParaIndex(from, &start)); k < last; ++k) {
    const int end = start + paras_[k].length;
    if (end > to) break;
    if (end - 2 >= from) c.paras.push_back(paras_[k].format);
    start = end;
  }
  if (to == Length()) c.paras.push_back(paras_[last].format);
}

// ---- History ----

void RichState::Remember(const Change& change) {
  switch (change.history) {
    case History::Keep: return;
    case History::Forget: ClearHistory(); return;
    case History::Record:
    case History::Typing: break;
  }
  const int removedEnd = change.at + static_cast<int>(change.removed.size());
  const bool typing = change.history == History::Typing;
  if (typing && typingJoins_ && !undo_.empty() && undo_.back().typing && change.removed.empty() &&
      undo_.back().at + undo_.back().length == change.at) {
    undo_.back().length += static_cast<int>(change.inserted.size());
  } else {
    // Take over the removed text alone: the text itself is not the
    // control's yet, but the runs and paragraphs are.
    Content before;
    before.text.assign(change.removed);
    FormatsOf(change.at, removedEnd, before);
    undo_.push_back({change.at, std::move(before), static_cast<int>(change.inserted.size()), typing});
    const std::size_t levels = (textMode & TM_SINGLELEVELUNDO) ? 1 : kUndoLevels;
    if (undo_.size() > levels) undo_.erase(undo_.begin(), undo_.end() - static_cast<std::ptrdiff_t>(levels));
  }
  typingJoins_ = typing;
  redo_.clear();
}

void RichState::RecordFormatChange(int from, Content before) {
  const auto length = static_cast<int>(before.text.size());
  undo_.push_back({from, std::move(before), length, false});
  const std::size_t levels = (textMode & TM_SINGLELEVELUNDO) ? 1 : kUndoLevels;
  if (undo_.size() > levels) undo_.erase(undo_.begin());
  redo_.clear();
  typingJoins_ = false;
}

bool RichState::Replay(std::vector<Step>& from, std::vector<Step>& to) {
  if (from.empty()) return false;
  Step step = std::move(from.back());
  from.pop_back();
  const std::string_view text = detail::EditTextOf(hwnd_);
  if (step.at < 0 || step.at + step.length > static_cast<int>(text.size())) return false;
  to.push_back({step.at, Take(step.at, step.at + step.length, text), static_cast<int>(step.before.text.size()), false});
  const int at = step.at, length = step.length;
  const auto restored = static_cast<int>(step.before.text.size());
  const std::string restoredText = step.before.text;
  incoming_ = std::move(step.before);
  typingJoins_ = false;
  // The engine may free this state before it returns (a parent that
  // destroys the control from EN_CHANGE): nothing here is touched after.
  detail::ReplaceEditText(hwnd_, at, at + length, restoredText, History::Keep, at, at + restored);
  return true;
}

bool RichState::Undo() { return Replay(undo_, redo_); }
bool RichState::Redo() { return Replay(redo_, undo_); }

void RichState::ClearHistory() {
  undo_.clear();
  redo_.clear();
  typingJoins_ = false;
}

}  // namespace win::rich
