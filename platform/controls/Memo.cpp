#include "platform/controls/Memo.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/EditControl.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowStyles.h"

using namespace win;

void RegisterMemoClasses() { RegisterClasses({TCustomMemo::StaticClass(), TMemo::StaticClass()}); }

namespace {

LRESULT Send(TCustomMemo* memo, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(memo->GetHandle(), msg, wParam, lParam);
}

}  // namespace

ORV_REGISTER(TMemoStrings)
ORV_REGISTER(TCustomMemo)
ORV_REGISTER(TMemo, ORV_PROP(Lines), ORV_PROP(Alignment).Default(taLeftJustify), ORV_PROP(BorderStyle).Default(bsSingle), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(MaxLength).Default(0), ORV_PROP(ReadOnly).Default(false),
             ORV_PROP(ScrollBars).Default(ssNone), ORV_PROP(WantReturns).Default(true),
             ORV_PROP(WantTabs).Default(false), ORV_PROP(WordWrap).Default(true), ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnChange))

// ---- Lines ----

// A memo that cannot have a window yet (no parent) keeps its lines in its
// text; they are read and changed as a string list of it.
bool TMemoStrings::Windowless() const {
  return !FMemo->HandleAllocated() && !FMemo->GetParent() && !FMemo->GetParentWindow();
}

template <class F>
auto TMemoStrings::OnText(F&& change) const {
  TStringList* list = New<TStringList>();
  orv::ScopeExit done([&] { list->Free(); });
  list->SetTextStr(FMemo->GetText());
  return change(list);
}

template <class F>
void TMemoStrings::ChangeText(F&& change) {
  OnText([&](TStringList* list) {
    change(list);
    FMemo->SetText(list->GetTextStr());
  });
}

// The line count without the empty line after a final line break.
Integer TMemoStrings::GetCount() const {
  if (Windowless()) return OnText([](TStringList* list) { return list->GetCount(); });
  return ReadTail(-1).Count;
}

// The last line decides both: an empty one follows a final line break (or
// is the empty text), and a line holds no break, so a non-empty one ends
// in the text's last character. The last character is read only when
// ATextLength (the text's length) is given.
TMemoStrings::Tail TMemoStrings::ReadTail(LRESULT ATextLength) const {
  const auto lines = static_cast<Integer>(Send(FMemo, EM_GETLINECOUNT));
  const LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(lines - 1));
  const LRESULT length = Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(start));
  if (length == 0) return {lines - 1, static_cast<AnsiChar>(start > 0 ? '\n' : 0)};
  Tail tail{lines, 0};
  if (ATextLength < 0) return tail;
  // A last line longer than a line copy reaches, or one that does not
  // reach the end, is read from the whole text.
  if (start >= 0 && length <= 0xFFFF && start + length == ATextLength) {
    AnsiString line(static_cast<std::size_t>(std::max<LRESULT>(length, sizeof(WORD))), '\0');
    const auto size = static_cast<WORD>(length);
    std::memcpy(line.data(), &size, sizeof size);
    const LRESULT copied = Send(FMemo, EM_GETLINE, static_cast<WPARAM>(lines - 1), reinterpret_cast<LPARAM>(line.data()));
    if (copied == length) tail.Last = line[static_cast<std::size_t>(length - 1)];
  }
  if (tail.Last == 0) {
    const AnsiString text = FMemo->GetText();
    tail.Last = text.empty() ? AnsiChar(0) : text.back();
  }
  return tail;
}

AnsiString TMemoStrings::Get(Integer Index) const {
  if (Windowless())
    return OnText([&](TStringList* list) { return Index >= 0 && Index < list->GetCount() ? list->Get(Index) : AnsiString(); });
  const LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  if (Index < 0 || start < 0) return AnsiString();
  const auto length = static_cast<std::size_t>(Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(start)));
  // A line longer than a line copy reaches is read from the whole text.
  if (length > 0xFFFF) return FMemo->GetText().substr(static_cast<std::size_t>(start), length);
  AnsiString line(std::max<std::size_t>(length, sizeof(WORD)), '\0');
  const auto size = static_cast<WORD>(std::min<std::size_t>(length, 0xFFFF));
  std::memcpy(line.data(), &size, sizeof size);
  const LRESULT copied = Send(FMemo, EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(line.data()));
  line.resize(static_cast<std::size_t>(copied));
  return line;
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

// A line is taken out with its line break; the last one with the break
// before it.
void TMemoStrings::Delete(Integer Index) {
  if (Windowless()) {
    return ChangeText([&](TStringList* list) {
      if (Index >= 0 && Index < list->GetCount()) list->Delete(Index);
    });
  }
  const Integer count = GetCount();
  if (Index < 0 || Index >= count) return;
  auto start = static_cast<LRESULT>(Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index)));
  LRESULT end = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index + 1));
  if (end < 0) {
    end = Send(FMemo, WM_GETTEXTLENGTH);
    if (Index > 0) {
      const LRESULT previous = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index - 1));
      start = previous + Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(previous));
    }
  }
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(start), end);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
}

// Inserting before line Count appends: a line break first when the text
// does not end in one, and every added line ends with its own.
void TMemoStrings::Insert(Integer Index, const AnsiString& S) {
  if (Index < 0) return;
  if (Windowless()) return ChangeText([&](TStringList* list) { list->Insert(std::min(Index, list->GetCount()), S); });
  const LRESULT length = Send(FMemo, WM_GETTEXTLENGTH);
  const Tail tail = ReadTail(length);
  if (Index >= tail.Count) return Append(S, length, tail);
  const LRESULT at = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(at), at);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>((S + "\r\n").c_str()));
}

// Adding reads the end of the text once: a log adds lines one by one, and
// each costs what the line costs.
Integer TMemoStrings::Add(const AnsiString& S) {
  if (Windowless()) return TStrings::Add(S);
  const LRESULT length = Send(FMemo, WM_GETTEXTLENGTH);
  const Tail tail = ReadTail(length);
  Append(S, length, tail);
  return tail.Count;
}

void TMemoStrings::Append(const AnsiString& S, LRESULT ATextLength, const Tail& ATail) {
  AnsiString line = S + "\r\n";
  if (ATail.Last != 0 && ATail.Last != '\n') line = "\r\n" + line;
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(ATextLength), ATextLength);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TMemoStrings::Put(Integer Index, const AnsiString& S) {
  if (Windowless()) {
    return ChangeText([&](TStringList* list) {
      if (Index >= 0 && Index < list->GetCount()) list->Put(Index, S);
    });
  }
  const LRESULT start = Send(FMemo, EM_LINEINDEX, static_cast<WPARAM>(Index));
  if (Index < 0 || start < 0) return;
  const LRESULT length = Send(FMemo, EM_LINELENGTH, static_cast<WPARAM>(start));
  Send(FMemo, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  Send(FMemo, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

AnsiString TMemoStrings::GetTextStr() const { return FMemo->GetText(); }

// Lone CRs and LFs become CR LF, the memo's line break.
void TMemoStrings::SetTextStr(std::string_view Value) {
  AnsiString text;
  text.reserve(Value.size());
  for (std::size_t i = 0; i < Value.size(); ++i) {
    if (Value[i] == '\r' || Value[i] == '\n') {
      text += "\r\n";
      if (Value[i] == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
    } else {
      text += Value[i];
    }
  }
  FMemo->SetText(text);
}

// ---- The memo ----

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FControlStyle.Exclude(csFixedHeight);
  FWidth = 185;
  FHeight = 89;
  SetAutoSelect(false);
  FLines = New<TMemoStrings>(this);
}

TCustomMemo::~TCustomMemo() { FreeAndNil(FLines); }

void TCustomMemo::ReplaceLines(TStrings* Value) {
  FreeAndNil(FLines);
  FLines = Value;
}

TPoint TCustomMemo::GetCaretPos() {
  DWORD start = 0, end = 0;
  Send(this, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  // Where a line is cut inside a word, its end is the next line's start:
  // a caret there shows on either line, and the control's own line for
  // its caret says which.
  const bool caretAtEnd = win::detail::EditCaretIndex(GetHandle()) == static_cast<int>(end);
  const auto line =
      static_cast<Integer>(Send(this, EM_LINEFROMCHAR, caretAtEnd ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(end)));
  return TPoint{static_cast<Integer>(end) - static_cast<Integer>(Send(this, EM_LINEINDEX, static_cast<WPARAM>(line))),
                line};
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  const LRESULT at = Send(this, EM_LINEINDEX, static_cast<WPARAM>(Value.Y)) + Value.X;
  Send(this, EM_SETSEL, static_cast<WPARAM>(at), at);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomMemo::SetWantReturns(bool Value) {
  if (FWantReturns == Value) return;
  FWantReturns = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TCustomMemo::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FWantReturns) Params.Style |= ES_WANTRETURN;
  if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

// Enter and Tab reach the text only when the memo wants them.
void TCustomMemo::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if ((Key == '\r' && !FWantReturns) || (Key == '\t' && !FWantTabs)) Key = 0;
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  auto code = static_cast<UINT>(Message.Result);
  if (FWantReturns) code |= DLGC_WANTALLKEYS;
  else code &= ~DLGC_WANTALLKEYS;
  if (FWantTabs) code |= DLGC_WANTTAB;
  else code &= ~DLGC_WANTTAB;
  Message.Result = static_cast<LRESULT>(code);
}
