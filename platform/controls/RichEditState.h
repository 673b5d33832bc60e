// What a rich edit keeps beside the engine's text: character runs and
// paragraphs covering the text, the undo and redo history, and the
// control's settings (text mode, event mask, scroll bars, background).
// The engine tells it of every change through the EditFormats hooks; the
// window procedure and its topic files (streaming, page formatting, text
// queries) read and change it.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/controls/EditControl.h"
#include "platform/controls/RichEditControl.h"

namespace win::rich {

struct CharFormat {
  DWORD effects = 0;  // CFE_BOLD, CFE_ITALIC, CFE_UNDERLINE, CFE_STRIKEOUT, CFE_PROTECTED
  bool autoColor = true;
  COLORREF color = 0;
  std::string face = "Arial";
  LONG height = 200;  // twips
  // A band behind the text; only streamed text sets it.
  bool highlight = false;
  COLORREF back = 0;
  bool operator==(const CharFormat&) const = default;

  // Takes the attributes cf's mask names.
  void Apply(const CHARFORMATA& cf);
  void Fill(CHARFORMATA& cf, DWORD mask) const;
  // The mask bits on which other agrees with this.
  DWORD Agreeing(const CharFormat& other) const;
};

struct ParaFormat {
  WORD alignment = PFA_LEFT;
  LONG startIndent = 0;  // twips: the first line
  LONG rightIndent = 0;
  LONG offset = 0;  // the other lines, from the first
  bool bullet = false;
  std::vector<LONG> tabs;  // twips, ascending, at most MAX_TAB_STOPS
  bool operator==(const ParaFormat&) const = default;

  // Takes what pf's mask names; false (and no change) when a value is
  // out of range.
  bool Apply(const PARAFORMAT& pf);
  void Fill(PARAFORMAT& pf, DWORD mask) const;
  DWORD Agreeing(const ParaFormat& other) const;
};

struct Run {
  int length = 0;
  CharFormat format;
  bool operator==(const Run&) const = default;
};

// A stretch of the text with its formats: the runs covering it, and the
// formats of the paragraphs whose breaks lie in it, followed by the last
// paragraph's when the stretch reaches the end of the text.
struct Content {
  std::string text;
  std::vector<Run> runs;
  std::vector<ParaFormat> paras;
};

class RichState final : public detail::EditFormats {
 public:
  ~RichState() override;
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Window() const { return hwnd_; }

  // ---- The engine's hooks ----
  void Replaced(const Change& change) override;
  void Reset(std::string_view text) override;
  void SelectionSet(int anchor, int caret) override;
  std::vector<Span> Spans(int from, int to) const override;
  int LineHeight() const override;
  Paragraph ParagraphAt(int start) const override;
  bool KeepsHistory() const override { return true; }
  bool MayReplace(int from, int to) override;
  bool Notifies(int code) const override;
  int LeadingGap() const override { return selectionBar ? kSelectionBarWidth : 0; }
  BarRule BarRuleOf(int bar) const override;
  bool Background(COLORREF& colour) const override;

  // ---- Characters ----
  int Length() const { return length_; }
  // The format text typed at i takes.
  CharFormat InsertionFormat(int i) const;
  CharFormat FormatAt(int i) const;
  void ApplyToRange(int from, int to, const CHARFORMATA& cf);
  // A format for what is typed or put at the caret next.
  void ApplyAtCaret(int caret, const CHARFORMATA& cf);
  void ApplyToAll(const CHARFORMATA& cf);
  // The default format, to change; Touched() must follow a change.
  CharFormat& Default() { return default_; }
  // The format of [from, to) and the attributes all of it shares.
  DWORD Describe(int from, int to, CharFormat& out) const;
  // Whether [from, to) touches protected text; an empty range does when
  // it lies inside it.
  bool Protected(int from, int to) const;
  std::vector<detail::RichRun> Runs(std::string_view text) const;
  // The formats over [from, to): (end, format) in order.
  std::vector<std::pair<int, CharFormat>> FormatsIn(int from, int to) const;
  HFONT FontFor(const CharFormat& f) const;

  // ---- Paragraphs ----
  // The paragraph holding i (the last for the end), and where it starts.
  int ParaIndex(int i, int* start = nullptr) const;
  // The paragraphs [from, to) touches, as a stretch of the text: from the
  // first one's start to after the last one's break.
  void ParaSpan(int from, int to, int& start, int& end) const;
  const ParaFormat& ParaFormatAt(int i) const { return paras_[static_cast<std::size_t>(ParaIndex(i))].format; }
  DWORD DescribeParas(int from, int to, ParaFormat& out) const;
  // Each paragraph [from, to) touches takes what pf names; false, and no
  // change, when a value would be out of range for any of them.
  bool ApplyParas(int from, int to, const PARAFORMAT& pf);
  ParaFormat& DefaultPara() { return defaultPara_; }

  // ---- Stretches of content ----
  // [from, to) of text (the control's text as it stands) with its formats.
  Content Take(int from, int to, std::string_view text) const;
  // The formats the next change's inserted text takes, instead of the
  // format before it.
  void Incoming(Content content) { incoming_ = std::move(content); }
  // Counts every change of text or format, so caches know when to go.
  unsigned Generation() const { return generation_; }
  void Touched() { ++generation_; }

  // ---- History ----
  // Records before (a Take of the stretch at from) as what a change of
  // formats there replaced.
  void RecordFormatChange(int from, Content before);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Puts the last step back (or does it again), through the engine so the
  // text, the lines and the parent follow. False with nothing to do.
  bool Undo();
  bool Redo();
  void ClearHistory();

  // ---- Settings ----
  DWORD eventMask = ENM_NONE;
  DWORD textMode = TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE;
  bool selectionBar = false;
  // By SB_HORZ, SB_VERT: the bars the window has (from its style at
  // creation or EM_SHOWSCROLLBAR), and those EM_SHOWSCROLLBAR hid.
  bool barWanted[2] = {false, false};
  bool barHidden[2] = {false, false};
  bool ownBackground = false;
  COLORREF background = 0;
  // The message under way, which EN_PROTECTED names.
  UINT message = 0;
  WPARAM messageW = 0;
  LPARAM messageL = 0;
  // Outermost-message bookkeeping for EN_SELCHANGE and EN_REQUESTRESIZE.
  int depth = 0;
  int requestedHeight = -1;
  // Lines laid out for EM_FORMATRANGE, kept between the calls for pages.
  struct PageCache;
  std::shared_ptr<PageCache> pageCache;

  bool PlainText() const { return (textMode & TM_PLAINTEXT) != 0; }

 private:
  struct Para {
    int length = 0;  // with its CR LF; the last paragraph has none
    ParaFormat format;
  };
  struct Step {
    int at = 0;
    Content before;  // what goes back
    int length = 0;  // what stands there now
    bool typing = false;
  };

  // The run holding i (runs_.size() past the end) and where it starts,
  // found by halving over where each run starts. Those starts are worked
  // out when asked for, from the first run a change touched on: a change
  // near the end (a log growing) costs what its own runs cost.
  std::size_t RunIndex(int i, int& start) const;
  void RunsChangedFrom(std::size_t k) { runStartsValid_ = std::min(runStartsValid_, k); }
  void ParasChangedFrom(std::size_t k) { paraStartsValid_ = std::min(paraStartsValid_, k); }
  std::size_t SplitAt(int i);
  // Erases [at, at + count) and answers the index of the run after it.
  std::size_t Erase(int at, int count);
  // Drops empty runs and joins equal neighbours among runs [first - 1,
  // last + 1): around the runs a change put in or took out.
  void Merge(std::size_t first, std::size_t last);
  void ReplaceRuns(const Change& change);
  void ReplaceParas(const Change& change);
  // Adds the runs and the formats of the paragraphs whose breaks lie in
  // [from, to) to c (the last paragraph's when to is the end).
  void FormatsOf(int from, int to, Content& c) const;
  void Remember(const Change& change);
  bool Replay(std::vector<Step>& from, std::vector<Step>& to);
  int Height(const CharFormat& f) const;

  HWND hwnd_ = nullptr;
  std::vector<Run> runs_;
  std::vector<Para> paras_{Para{}};
  int length_ = 0;
  CharFormat default_;
  ParaFormat defaultPara_;
  std::optional<CharFormat> pending_;
  int pendingAt_ = -1;
  std::optional<Content> incoming_;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  bool typingJoins_ = false;  // the next typed character may join the last step
  unsigned generation_ = 0;
  mutable unsigned lineHeightGeneration_ = 0;
  mutable int lineHeight_ = 0;
  // runStarts_[k] is where run k starts, right for k < runStartsValid_;
  // the same for the paragraphs.
  mutable std::vector<int> runStarts_;
  mutable std::size_t runStartsValid_ = 0;
  mutable std::vector<int> paraStarts_;
  mutable std::size_t paraStartsValid_ = 0;
  mutable std::map<std::tuple<std::string, LONG, DWORD>, HFONT> fonts_;
  mutable std::map<HFONT, int> heights_;
};

// The state of a rich edit, or null for any other window.
RichState* RichOf(HWND hwnd);
// The formats as a rich edit's state, or null for any others.
RichState* AsRich(detail::EditFormats* formats);
// Sends the parent WM_NOTIFY with code; its answer, 0 without a parent.
LRESULT NotifyParent(HWND hwnd, UINT code, NMHDR& header);

// Twips and pixels at a resolution (dots per inch).
inline int TwipsToPixels(LONG twips, int dpi) {
  return static_cast<int>((static_cast<long long>(twips) * dpi + (twips >= 0 ? 720 : -720)) / 1440);
}
inline LONG PixelsToTwips(int pixels, int dpi) {
  return dpi > 0 ? static_cast<LONG>(static_cast<long long>(pixels) * 1440 / dpi) : 0;
}

// The topics of the window procedure.
// The room a stream callback is offered per call (4,096 bytes); a test
// sets another so that it can put bytes exactly at a call's edge.
extern LONG StreamChunk;
LRESULT StreamIn(HWND hwnd, WPARAM format, EDITSTREAM* stream);
LRESULT StreamOut(HWND hwnd, WPARAM format, EDITSTREAM* stream);
LRESULT FormatRange(HWND hwnd, bool render, FORMATRANGE* range);
LRESULT FindText(HWND hwnd, WPARAM flags, FINDTEXTEXA* find);
LRESULT GetTextEx(HWND hwnd, const GETTEXTEX* how, char* buffer);
LRESULT GetTextLengthEx(HWND hwnd, const GETTEXTLENGTHEX* how);

}  // namespace win::rich
