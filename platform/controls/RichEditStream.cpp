// The rich edit's streams: EM_STREAMIN reads through the caller's
// callback as plain or rich text and replaces the content (or the
// selection) only once everything read well; EM_STREAMOUT writes the
// content (or the selection) the same two ways. Rich text passes through
// the document model of the rich text unit.
#include <algorithm>

#include "platform/controls/RichEditState.h"
#include "platform/controls/Rtf.h"
#include "platform/controls/RtfTableIndex.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

namespace win::rich {

LONG StreamChunk = 4096;

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n' || c == '\v'; }

// Lone CRs and LFs become CR LF, the control's one line break.
std::string WithLineBreaks(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\r' || in[i] == '\n') {
      out += "\r\n";
      if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else {
      out += in[i];
    }
  }
  return out;
}

// ---- The document model and the control's content ----

ParaFormat FromModel(const orv::rtf::ParaFormat& p) {
  ParaFormat f;
  using orv::rtf::Alignment;
  f.alignment = p.Align == Alignment::Center  ? PFA_CENTER
                : p.Align == Alignment::Right ? PFA_RIGHT
                : p.Align == Alignment::Justify ? PFA_JUSTIFY
                                                 : PFA_LEFT;
  auto bounded = [](long long v) { return static_cast<LONG>(std::clamp<long long>(v, -0xFFFFFF, 0xFFFFFF)); };
  f.startIndent = bounded(static_cast<long long>(p.LeftIndent) + p.FirstIndent);
  f.offset = bounded(-static_cast<long long>(p.FirstIndent));
  f.rightIndent = bounded(p.RightIndent);
  f.bullet = p.Bullets == orv::rtf::Numbering::Bullet;
  for (int tab : p.Tabs)
    if (tab > 0 && tab <= 0xFFFFFF && f.tabs.size() < MAX_TAB_STOPS) f.tabs.push_back(tab);
  std::sort(f.tabs.begin(), f.tabs.end());
  f.tabs.erase(std::unique(f.tabs.begin(), f.tabs.end()), f.tabs.end());
  return f;
}

orv::rtf::ParaFormat ToModel(const ParaFormat& f) {
  orv::rtf::ParaFormat p;
  using orv::rtf::Alignment;
  p.Align = f.alignment == PFA_CENTER  ? Alignment::Center
            : f.alignment == PFA_RIGHT ? Alignment::Right
            : f.alignment == PFA_JUSTIFY ? Alignment::Justify
                                         : Alignment::Left;
  p.FirstIndent = static_cast<int>(-f.offset);
  p.LeftIndent = static_cast<int>(f.startIndent + f.offset);
  p.RightIndent = static_cast<int>(f.rightIndent);
  p.Bullets = f.bullet ? orv::rtf::Numbering::Bullet : orv::rtf::Numbering::None;
  for (LONG tab : f.tabs) p.Tabs.push_back(static_cast<int>(tab));
  return p;
}

// A colour-table entry as the control's colour: automatic when the entry
// is, or when the position names none.
bool ColorOf(const orv::rtf::Document& doc, int index, COLORREF& out) {
  if (index < 0 || static_cast<std::size_t>(index) >= doc.Colors.size()) return false;
  const auto& entry = doc.Colors[static_cast<std::size_t>(index)];
  if (entry.Automatic) return false;
  out = static_cast<COLORREF>(entry.Color) & 0x00FFFFFF;
  return true;
}

CharFormat FromModel(const orv::rtf::Document& doc, const orv::rtf::CharFormat& c, const CharFormat& base) {
  CharFormat f = base;
  const AnsiString face = orv::rtf::FontName(doc, c);
  if (!face.empty()) f.face = face.substr(0, LF_FACESIZE - 1);
  f.height = std::clamp<LONG>(static_cast<LONG>(c.Size) * 10, 20, 1638 * 20);
  f.effects = (c.Bold ? CFE_BOLD : 0) | (c.Italic ? CFE_ITALIC : 0) | (c.Underline ? CFE_UNDERLINE : 0) |
              (c.StrikeOut ? CFE_STRIKEOUT : 0) | (c.Protected ? CFE_PROTECTED : 0);
  f.autoColor = !ColorOf(doc, c.Color, f.color);
  if (f.autoColor) f.color = 0;
  f.highlight = c.Highlight > 0 && ColorOf(doc, c.Highlight, f.back);
  if (!f.highlight) f.back = 0;
  return f;
}

orv::rtf::CharFormat ToModel(orv::rtf::TableIndex& tables, const CharFormat& f) {
  orv::rtf::CharFormat c;
  c.Font = tables.Font(f.face);
  c.Size = std::clamp<int>(static_cast<int>(f.height / 10), 1, orv::rtf::kMaxSize);
  c.Bold = (f.effects & CFE_BOLD) != 0;
  c.Italic = (f.effects & CFE_ITALIC) != 0;
  c.Underline = (f.effects & CFE_UNDERLINE) != 0;
  c.StrikeOut = (f.effects & CFE_STRIKEOUT) != 0;
  c.Protected = (f.effects & CFE_PROTECTED) != 0;
  c.Color = f.autoColor ? 0 : tables.Color(static_cast<TColor>(f.color));
  c.Highlight = f.highlight ? tables.Color(static_cast<TColor>(f.back)) : 0;
  return c;
}

// A read document as the control's content: paragraphs joined by CR LF
// (a line break inside a paragraph starts a paragraph formatted alike),
// runs covering every character, breaks taking the format before them.
// In plain text every character takes base and every paragraph the
// default.
Content ContentOf(const orv::rtf::Document& doc, const CharFormat& base, const ParaFormat& basePara, bool plain) {
  Content c;
  auto add = [&](std::string_view text, const CharFormat& format) {
    if (text.empty()) return;
    c.text.append(text);
    if (!c.runs.empty() && c.runs.back().format == format) c.runs.back().length += static_cast<int>(text.size());
    else c.runs.push_back({static_cast<int>(text.size()), format});
  };
  const std::size_t count = doc.Paragraphs.size();
  for (std::size_t k = 0; k < count; ++k) {
    const auto& para = doc.Paragraphs[k];
    const ParaFormat pf = plain ? basePara : FromModel(para.Format);
    CharFormat last = c.runs.empty() ? base : c.runs.back().format;
    for (const auto& run : para.Runs) {
      const CharFormat cf = plain ? base : FromModel(doc, run.Format, base);
      std::size_t from = 0;
      for (std::size_t i = 0; i <= run.Text.size(); ++i) {
        if (i < run.Text.size() && !IsBreak(run.Text[i])) continue;
        add(std::string_view(run.Text).substr(from, i - from), cf);
        if (i < run.Text.size()) {
          add("\r\n", cf);
          c.paras.push_back(pf);
          if (run.Text[i] == '\r' && i + 1 < run.Text.size() && run.Text[i + 1] == '\n') ++i;
        }
        from = i + 1;
      }
      last = cf;
    }
    c.paras.push_back(pf);  // the paragraph's own break, or the last one
    if (k + 1 < count) add("\r\n", last);
  }
  if (c.paras.empty()) c.paras.push_back(basePara);
  return c;
}

orv::rtf::Document DocumentOf(const Content& c) {
  orv::rtf::Document doc;
  doc.Colors.push_back({true, 0});  // colour 0 is the automatic one
  orv::rtf::TableIndex tables(doc);
  std::size_t para = 0;
  auto paraFormat = [&] { return para < c.paras.size() ? ToModel(c.paras[para]) : orv::rtf::ParaFormat{}; };
  doc.Paragraphs.push_back({paraFormat(), {}});
  std::size_t pos = 0;
  for (const Run& run : c.runs) {
    const std::string_view text = std::string_view(c.text).substr(pos, static_cast<std::size_t>(run.length));
    pos += static_cast<std::size_t>(run.length);
    const orv::rtf::CharFormat format = ToModel(tables, run.format);
    std::size_t from = 0;
    for (;;) {
      const std::size_t brk = text.find("\r\n", from);
      const std::string_view piece =
          text.substr(from, brk == std::string_view::npos ? std::string_view::npos : brk - from);
      if (!piece.empty()) {
        auto& runs = doc.Paragraphs.back().Runs;
        if (!runs.empty() && runs.back().Format == format) runs.back().Text.append(piece);
        else runs.push_back({format, AnsiString(piece)});
      }
      if (brk == std::string_view::npos) break;
      ++para;
      doc.Paragraphs.push_back({paraFormat(), {}});
      from = brk + 2;
    }
  }
  return doc;
}

// The content cut to room characters, never between a CR and its LF.
void CutTo(Content& c, std::size_t room) {
  if (c.text.size() <= room) return;
  if (room > 0 && c.text[room - 1] == '\r' && room < c.text.size() && c.text[room] == '\n') --room;
  c.text.resize(room);
  int left = static_cast<int>(room);
  std::vector<Run> runs;
  for (const Run& run : c.runs) {
    if (left <= 0) break;
    runs.push_back({std::min(run.length, left), run.format});
    left -= run.length;
  }
  c.runs.swap(runs);
  int breaks = 0;
  for (std::size_t i = 0; i + 1 < c.text.size(); ++i)
    if (c.text[i] == '\r' && c.text[i + 1] == '\n') ++breaks, ++i;
  if (c.paras.size() > static_cast<std::size_t>(breaks) + 1) c.paras.resize(static_cast<std::size_t>(breaks) + 1);
}

}  // namespace

// Reads everything first: a callback that fails, data that is not what
// the format says, or a callback that claims more than it was given room
// for, leaves the control as it was and sets dwError.
LRESULT StreamIn(HWND hwnd, WPARAM format, EDITSTREAM* stream) {
  RichState* state = RichOf(hwnd);
  if (!state || !stream || !stream->pfnCallback) return 0;
  const WPARAM kind = format & (SF_TEXT | SF_RTF);
  if (kind != SF_TEXT && kind != SF_RTF) return 0;
  stream->dwError = 0;
  const bool selection = (format & SFF_SELECTION) != 0;
  DWORD a = 0, b = 0;
  SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  const int from = selection ? static_cast<int>(a) : 0;
  const int to = selection ? static_cast<int>(b) : state->Length();
  const auto limit = static_cast<long long>(SendMessageA(hwnd, EM_GETLIMITTEXT, 0, 0));
  const long long room = std::max<long long>(0, limit - (state->Length() - (to - from)));
  std::string data;
  const LONG chunkSize = StreamChunk;
  std::string chunk(static_cast<std::size_t>(chunkSize), '\0');
  for (;;) {
    // Plain text past the limit would be cut anyway: stop reading there.
    if (kind == SF_TEXT && static_cast<long long>(data.size()) > room) break;
    LONG got = 0;
    const DWORD error =
        stream->pfnCallback(stream->dwCookie, reinterpret_cast<BYTE*>(chunk.data()), chunkSize, &got);
    if (!(state = RichOf(hwnd))) return 0;
    if (error != 0) {
      stream->dwError = error;
      return 0;
    }
    if (got < 0 || got > chunkSize) {
      stream->dwError = kStreamBadData;
      return 0;
    }
    if (got == 0) break;
    data.append(chunk.data(), static_cast<std::size_t>(got));
  }
  const CharFormat base = selection && from < to ? state->FormatAt(from) : selection ? state->InsertionFormat(from)
                                                                                      : state->Default();
  Content content;
  if (kind == SF_RTF) {
    orv::rtf::Document doc;
    if (orv::rtf::Read(data, doc) != orv::rtf::ReadStatus::Ok) {
      stream->dwError = kStreamBadData;
      return 0;
    }
    content = ContentOf(doc, base, state->DefaultPara(), state->PlainText());
  } else {
    content.text = WithLineBreaks(data);
    if (!content.text.empty()) content.runs.push_back({static_cast<int>(content.text.size()), base});
    if (!selection) content.paras.assign(1 + std::count(content.text.begin(), content.text.end(), '\n'),
                                         state->DefaultPara());
  }
  CutTo(content, static_cast<std::size_t>(room));
  if (selection) {
    // The last paragraph read joins the one the selection ends in, which
    // keeps its format.
    int breaks = 0;
    for (std::size_t i = 0; i + 1 < content.text.size(); ++i)
      if (content.text[i] == '\r' && content.text[i + 1] == '\n') ++breaks, ++i;
    if (content.paras.size() > static_cast<std::size_t>(breaks)) content.paras.resize(static_cast<std::size_t>(breaks));
  }
  const auto count = static_cast<LRESULT>(content.text.size());
  const std::string text = content.text;
  state->Incoming(std::move(content));
  // The text goes in with its formats: laid out once, after both.
  if (selection) {
    const int end = from + static_cast<int>(count);
    detail::ReplaceEditText(hwnd, from, to, text, detail::EditFormats::History::Record, end, end, true);
  } else {
    detail::ReplaceEditText(hwnd, 0, to, text, detail::EditFormats::History::Forget, 0, 0, true);
    if (IsWindow(hwnd)) SendMessageA(hwnd, EM_SETMODIFY, FALSE, 0);
  }
  return count;
}

LRESULT StreamOut(HWND hwnd, WPARAM format, EDITSTREAM* stream) {
  RichState* state = RichOf(hwnd);
  if (!state || !stream || !stream->pfnCallback) return 0;
  const WPARAM kind = format & (SF_TEXT | SF_RTF);
  if (kind != SF_TEXT && kind != SF_RTF) return 0;
  stream->dwError = 0;
  int from = 0, to = state->Length();
  if (format & SFF_SELECTION) {
    DWORD a = 0, b = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    from = static_cast<int>(a);
    to = static_cast<int>(b);
  }
  const std::string_view text = detail::EditTextOf(hwnd);
  std::string data;
  if (kind == SF_RTF) {
    // Each paragraph written takes the format of the paragraph it comes
    // from, the last one too when the stretch ends inside it.
    Content content = state->Take(from, to, text);
    content.paras.assign(1, state->ParaFormatAt(from));
    for (std::size_t i = 0; i + 1 < content.text.size(); ++i)
      if (content.text[i] == '\r' && content.text[i + 1] == '\n')
        content.paras.push_back(state->ParaFormatAt(from + static_cast<int>(i) + 2)), ++i;
    data = orv::rtf::Write(DocumentOf(content));
  }
  else data.assign(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  const LONG chunkSize = StreamChunk;
  std::size_t done = 0;
  while (done < data.size()) {
    const auto size = static_cast<LONG>(std::min<std::size_t>(data.size() - done, static_cast<std::size_t>(chunkSize)));
    LONG wrote = 0;
    const DWORD error =
        stream->pfnCallback(stream->dwCookie, reinterpret_cast<BYTE*>(data.data() + done), size, &wrote);
    if (error != 0) {
      stream->dwError = error;
      break;
    }
    // A callback that takes nothing, or claims more than it got, would
    // never finish: it ends the stream as an error.
    if (wrote <= 0 || wrote > size) {
      stream->dwError = kStreamBadData;
      break;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return static_cast<LRESULT>(done);
}

}  // namespace win::rich
