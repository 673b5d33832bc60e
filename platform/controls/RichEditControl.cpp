#include "platform/controls/RichEditControl.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

#include "platform/controls/EditControl.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Text.h"
#include "platform/win/Cursors.h"
#include "platform/win/Messages.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowProc.h"

namespace win {
namespace {

constexpr DWORD kEffects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
constexpr DWORD kAllMasks = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_FACE | CFM_SIZE;
// Sizes a run may take, in twips (1 to 1,638 points).
constexpr LONG kMinHeight = 20;
constexpr LONG kMaxHeight = 1638 * 20;

struct CharFormat {
  DWORD effects = 0;
  bool autoColor = true;
  COLORREF color = 0;
  std::string face = "Arial";
  LONG height = 200;
  bool operator==(const CharFormat&) const = default;

  // Takes the attributes cf's mask names.
  void Apply(const CHARFORMATA& cf) {
    for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT})
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

  void Fill(CHARFORMATA& cf, DWORD mask) const {
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

  // The mask bits on which other agrees with this.
  DWORD Agreeing(const CharFormat& other) const {
    DWORD mask = kAllMasks;
    for (DWORD bit : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT})
      if ((effects & bit) != (other.effects & bit)) mask &= ~bit;
    if (autoColor != other.autoColor || (!autoColor && color != other.color)) mask &= ~CFM_COLOR;
    if (face != other.face) mask &= ~CFM_FACE;
    if (height != other.height) mask &= ~CFM_SIZE;
    return mask;
  }
};

// The runs cover the text exactly; neighbours never share a format.
class RichFormats final : public detail::EditFormats {
 public:
  ~RichFormats() override {
    for (auto& [key, font] : fonts_) DeleteObject(font);
  }

  void Replaced(int at, int removed, int inserted) override {
    const CharFormat format = removed > 0 ? FormatAt(at) : InsertionFormat(at);
    Erase(at, removed);
    if (inserted > 0) runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(SplitAt(at)), Run{inserted, format});
    pending_.reset();
    Merge();
  }

  void Reset(int length) override {
    runs_.clear();
    if (length > 0) runs_.push_back({length, default_});
    pending_.reset();
  }

  // A format chosen for an empty selection waits for the text typed or
  // put there, and lapses when the caret goes elsewhere.
  void SelectionSet(int anchor, int caret) override {
    if (pending_ && (anchor != caret || caret != pendingAt_)) pending_.reset();
  }

  std::vector<Span> Spans(int from, int to) const override {
    std::vector<Span> spans;
    int pos = 0;
    for (const Run& run : runs_) {
      const int end = pos + run.length;
      if (end > from && pos < to)
        spans.push_back({std::min(end, to), FontFor(run.format), run.format.color, run.format.autoColor});
      pos = end;
      if (pos >= to) break;
    }
    if (spans.empty() || spans.back().end < to) spans.push_back({to, FontFor(default_), default_.color, default_.autoColor});
    return spans;
  }

  int LineHeight() const override {
    int height = Height(default_);
    for (const Run& run : runs_) height = std::max(height, Height(run.format));
    return height;
  }

  // ---- What the messages do ----

  int Length() const {
    int length = 0;
    for (const Run& run : runs_) length += run.length;
    return length;
  }

  // The format text typed at i takes.
  CharFormat InsertionFormat(int i) const {
    if (pending_ && pendingAt_ == i) return *pending_;
    if (i > 0) return FormatAt(i - 1);
    if (!runs_.empty()) return runs_.front().format;
    return default_;
  }

  CharFormat FormatAt(int i) const {
    int pos = 0;
    for (const Run& run : runs_) {
      if (i < pos + run.length) return run.format;
      pos += run.length;
    }
    return runs_.empty() ? default_ : runs_.back().format;
  }

  void ApplyToRange(int from, int to, const CHARFORMATA& cf) {
    const std::size_t a = SplitAt(from), b = SplitAt(to);
    for (std::size_t k = a; k < b; ++k) runs_[k].format.Apply(cf);
    Merge();
  }

  void ApplyAtCaret(int caret, const CHARFORMATA& cf) {
    CharFormat format = InsertionFormat(caret);
    format.Apply(cf);
    pending_ = format;
    pendingAt_ = caret;
  }

  void ApplyToAll(const CHARFORMATA& cf) {
    ApplyToRange(0, Length(), cf);
    if (pending_) pending_->Apply(cf);
  }

  CharFormat& Default() { return default_; }

  // The format of [from, to) and the attributes all of it shares.
  DWORD Describe(int from, int to, CharFormat& out) const {
    out = FormatAt(from);
    DWORD mask = kAllMasks;
    int pos = 0;
    for (const Run& run : runs_) {
      if (pos + run.length > from && pos < to) mask &= out.Agreeing(run.format);
      pos += run.length;
    }
    return mask;
  }

  std::vector<detail::RichRun> Runs(const std::string& text) const {
    std::vector<detail::RichRun> out;
    int pos = 0;
    for (const Run& run : runs_) {
      const auto& f = run.format;
      out.push_back({text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(run.length)), f.autoColor,
                     f.color, f.effects, f.face, f.height});
      pos += run.length;
    }
    return out;
  }

 private:
  struct Run {
    int length;
    CharFormat format;
  };

  // Makes a run boundary fall at i; the index of the run starting there.
  std::size_t SplitAt(int i) {
    int pos = 0;
    for (std::size_t k = 0; k < runs_.size(); ++k) {
      if (pos == i) return k;
      const int end = pos + runs_[k].length;
      if (i < end) {
        runs_[k].length = i - pos;
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(k) + 1, Run{end - i, runs_[k].format});
        return k + 1;
      }
      pos = end;
    }
    return runs_.size();
  }

  void Erase(int at, int count) {
    if (count <= 0) return;
    const std::size_t a = SplitAt(at), b = SplitAt(at + count);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(a), runs_.begin() + static_cast<std::ptrdiff_t>(b));
  }

  void Merge() {
    std::vector<Run> merged;
    for (const Run& run : runs_) {
      if (run.length <= 0) continue;
      if (!merged.empty() && merged.back().format == run.format) merged.back().length += run.length;
      else merged.push_back(run);
    }
    runs_.swap(merged);
  }

  HFONT FontFor(const CharFormat& f) const {
    const auto key = std::make_tuple(f.face, f.height, f.effects & kEffects);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    LOGFONTA lf{};
    lf.lfHeight = -static_cast<LONG>((f.height * 96 + 720) / 1440);
    lf.lfWeight = (f.effects & CFE_BOLD) ? 700 : 400;
    lf.lfItalic = (f.effects & CFE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (f.effects & CFE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (f.effects & CFE_STRIKEOUT) ? 1 : 0;
    std::memcpy(lf.lfFaceName, f.face.data(), std::min<std::size_t>(f.face.size(), LF_FACESIZE - 1));
    HFONT font = CreateFontIndirectA(&lf);
    fonts_.emplace(key, font);
    return font;
  }

  int Height(const CharFormat& f) const {
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

  std::vector<Run> runs_;
  CharFormat default_;
  std::optional<CharFormat> pending_;
  int pendingAt_ = -1;
  mutable std::map<std::tuple<std::string, LONG, DWORD>, HFONT> fonts_;
  mutable std::map<HFONT, int> heights_;
};

detail::EditFormats* MakeFormats() { return new RichFormats; }

RichFormats* RichOf(HWND hwnd) { return dynamic_cast<RichFormats*>(detail::FormatsOf(hwnd)); }

LRESULT Engine(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return detail::EditProcWithFormats(hwnd, msg, wParam, lParam, &MakeFormats);
}

void Selection(HWND hwnd, int& from, int& to) {
  DWORD a = 0, b = 0;
  Engine(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  from = static_cast<int>(a);
  to = static_cast<int>(b);
}

LRESULT SetCharFormat(HWND hwnd, WPARAM scope, const CHARFORMATA* cf) {
  RichFormats* formats = RichOf(hwnd);
  if (!formats || !cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
  if (scope & SCF_ALL) {
    formats->ApplyToAll(*cf);
  } else if (scope & SCF_SELECTION) {
    int from, to;
    Selection(hwnd, from, to);
    if (from == to) {
      formats->ApplyAtCaret(from, *cf);  // nothing drawn changes yet
      return 1;
    }
    formats->ApplyToRange(from, to, *cf);
  } else {
    formats->Default().Apply(*cf);
    if (formats->Length() == 0) formats->Reset(0);
  }
  detail::FormatsChanged(hwnd);
  return 1;
}

LRESULT GetCharFormat(HWND hwnd, WPARAM scope, CHARFORMATA* cf) {
  RichFormats* formats = RichOf(hwnd);
  if (!formats || !cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
  CharFormat format;
  DWORD mask = kAllMasks;
  if (scope & SCF_SELECTION) {
    int from, to;
    Selection(hwnd, from, to);
    if (from == to) format = formats->InsertionFormat(from);
    else mask = formats->Describe(from, to, format);
  } else {
    format = formats->Default();
  }
  format.Fill(*cf, mask);
  return static_cast<LRESULT>(mask);
}

// A font given to the window becomes the default format.
void TakeFont(HWND hwnd, HFONT font) {
  RichFormats* formats = RichOf(hwnd);
  LOGFONTA lf{};
  if (!formats || !font || !GetObjectA(font, sizeof lf, &lf)) return;
  CharFormat& f = formats->Default();
  f.face.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  const LONG pixels = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  if (pixels > 0) f.height = std::clamp(pixels * 1440 / 96, kMinHeight, kMaxHeight);
  f.effects = (lf.lfWeight >= 600 ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0) |
              (lf.lfUnderline ? CFE_UNDERLINE : 0) | (lf.lfStrikeOut ? CFE_STRIKEOUT : 0);
  if (formats->Length() == 0) formats->Reset(0);
}

}  // namespace

namespace detail {

LRESULT RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
      SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(style | ES_MULTILINE));
      break;
    }
    case EM_EXSETSEL: {
      const auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
      if (!range) return 0;
      Engine(hwnd, EM_SETSEL, static_cast<WPARAM>(range->cpMin), range->cpMax);
      DWORD a = 0, b = 0;
      Engine(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
      return static_cast<LRESULT>(b);
    }
    case EM_EXGETSEL: {
      auto* range = reinterpret_cast<CHARRANGE*>(lParam);
      if (!range) return 0;
      DWORD a = 0, b = 0;
      Engine(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
      range->cpMin = static_cast<LONG>(a);
      range->cpMax = static_cast<LONG>(b);
      return 0;
    }
    case EM_SETCHARFORMAT: return SetCharFormat(hwnd, wParam, reinterpret_cast<const CHARFORMATA*>(lParam));
    case EM_GETCHARFORMAT: return GetCharFormat(hwnd, wParam, reinterpret_cast<CHARFORMATA*>(lParam));
    case EM_GETTEXTLENGTHEX: return Engine(hwnd, WM_GETTEXTLENGTH, 0, 0);
    case WM_SETFONT: {
      TakeFont(hwnd, reinterpret_cast<HFONT>(wParam));
      const LRESULT r = Engine(hwnd, msg, wParam, lParam);
      FormatsChanged(hwnd);
      return r;
    }
    default: break;
  }
  return Engine(hwnd, msg, wParam, lParam);
}

std::vector<RichRun> RichRunsOf(HWND hwnd) {
  const RichFormats* formats = RichOf(hwnd);
  if (!formats) return {};
  const auto length = static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return formats->Runs(text);
}

}  // namespace detail

void RegisterRichEditModules() {
  auto classes = [](LPCSTR module, LPCSTR withA, LPCSTR bare) {
    SetModuleLoadAction(module, [module, withA, bare] {
      for (LPCSTR name : {withA, bare}) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
        wc.lpfnWndProc = &detail::RichEditProc;
        wc.cbWndExtra = sizeof(void*);
        wc.hInstance = GetModuleHandleA(module);
        wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
      }
    });
  };
  classes("Msftedit", "RICHEDIT50A", "RICHEDIT50");
  classes("Riched20", "RICHEDIT20A", "RICHEDIT20");
}

}  // namespace win
